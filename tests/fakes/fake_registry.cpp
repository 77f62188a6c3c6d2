#include "fakes/fake_registry.h"

#include "support/text.h"

namespace varnolet::fakes {

namespace {
constexpr std::int32_t kInvalidHandle = 6;
}

std::u16string FakeRegistry::Fold(const std::u16string& text) {
  std::u16string folded = text;
  for (char16_t& c : folded) c = LowerChar(c);
  return folded;
}

std::u16string FakeRegistry::Join(const std::u16string& parent, const std::u16string& child) {
  std::u16string path = parent;
  std::u16string rest = child;
  while (!rest.empty() && rest.back() == u'\\') rest.pop_back();
  if (rest.empty()) return path;
  if (!path.empty()) path += u'\\';
  return path + rest;
}

std::optional<std::u16string> FakeRegistry::PathOf(RegKey root) const {
  if (root == reg::kCurrentUser) return std::u16string();
  auto found = handles_.find(root);
  if (found == handles_.end()) return std::nullopt;
  return found->second;
}

RegKey FakeRegistry::NewHandle(const std::u16string& path) {
  const RegKey handle = nextHandle_;
  nextHandle_ += 4;
  handles_[handle] = path;
  return handle;
}

std::int32_t FakeRegistry::CreateKeyEx(RegKey root, const std::u16string& subKey, std::uint32_t,
                                       std::uint32_t, RegKey* key) {
  if (auto code = failures.Take("CreateKeyEx")) return static_cast<std::int32_t>(*code);
  auto base = PathOf(root);
  if (!base) return kInvalidHandle;
  // Create every missing key along the path.
  std::u16string path = *base;
  std::u16string part;
  for (char16_t c : subKey + u"\\") {
    if (c != u'\\') {
      part += c;
      continue;
    }
    if (part.empty()) continue;
    path = Join(path, part);
    keys_.try_emplace(Fold(path));
    part.clear();
  }
  *key = NewHandle(path);
  return reg::kSuccess;
}

std::int32_t FakeRegistry::OpenKeyEx(RegKey root, const std::u16string& subKey, std::uint32_t, RegKey* key) {
  if (auto code = failures.Take("OpenKeyEx")) return static_cast<std::int32_t>(*code);
  auto base = PathOf(root);
  if (!base) return kInvalidHandle;
  const std::u16string path = Join(*base, subKey);
  if (keys_.find(Fold(path)) == keys_.end()) return reg::kFileNotFound;
  *key = NewHandle(path);
  return reg::kSuccess;
}

std::int32_t FakeRegistry::CloseKeyHandle(RegKey key) {
  if (auto code = failures.Take("CloseKey")) return static_cast<std::int32_t>(*code);
  return handles_.erase(key) == 1 ? reg::kSuccess : kInvalidHandle;
}

std::int32_t FakeRegistry::QueryValueEx(RegKey key, const std::u16string& name, std::uint32_t* type,
                                        std::uint8_t* data, std::uint32_t* size) {
  if (auto code = failures.Take("QueryValueEx")) return static_cast<std::int32_t>(*code);
  auto path = handles_.find(key);
  if (path == handles_.end()) return kInvalidHandle;
  const auto& values = keys_[Fold(path->second)];
  auto found = values.find(Fold(name));
  if (found == values.end()) return reg::kFileNotFound;
  const Value& value = found->second;
  *type = value.type;
  const auto needed = static_cast<std::uint32_t>(value.data.size());
  if (data != nullptr && needed > *size) {
    *size = needed;
    return reg::kMoreData;
  }
  if (data != nullptr)
    for (std::uint32_t i = 0; i < needed; ++i) data[i] = value.data[i];
  *size = needed;
  return reg::kSuccess;
}

std::int32_t FakeRegistry::SetValueEx(RegKey key, const std::u16string& name, std::uint32_t type,
                                      const std::uint8_t* data, std::uint32_t size) {
  if (auto code = failures.Take("SetValueEx")) return static_cast<std::int32_t>(*code);
  auto path = handles_.find(key);
  if (path == handles_.end()) return kInvalidHandle;
  Value value;
  value.type = type;
  value.data.assign(data, data + size);
  keys_[Fold(path->second)][Fold(name)] = value;
  return reg::kSuccess;
}

std::int32_t FakeRegistry::DeleteValueOf(RegKey key, const std::u16string& name) {
  if (auto code = failures.Take("DeleteValue")) return static_cast<std::int32_t>(*code);
  auto path = handles_.find(key);
  if (path == handles_.end()) return kInvalidHandle;
  return keys_[Fold(path->second)].erase(Fold(name)) == 1 ? reg::kSuccess : reg::kFileNotFound;
}

void FakeRegistry::AddKey(const std::u16string& path) {
  RegKey key = 0;
  FailureScript saved = failures;
  failures.Clear();
  CreateKeyEx(reg::kCurrentUser, path, 0, 0, &key);
  handles_.erase(key);
  failures = saved;
}

bool FakeRegistry::HasKey(const std::u16string& path) const {
  return keys_.count(Fold(Join(u"", path))) == 1;
}

void FakeRegistry::SetDword(const std::u16string& path, const std::u16string& name, std::uint32_t value) {
  AddKey(path);
  Value stored;
  stored.type = reg::kTypeDword;
  for (int i = 0; i < 4; ++i) stored.data.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  keys_[Fold(Join(u"", path))][Fold(name)] = stored;
}

void FakeRegistry::SetString(const std::u16string& path, const std::u16string& name,
                             const std::u16string& text, bool withTerminator) {
  AddKey(path);
  Value stored;
  stored.type = reg::kTypeString;
  for (char16_t c : text) {
    stored.data.push_back(static_cast<std::uint8_t>(c));
    stored.data.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  if (withTerminator) stored.data.insert(stored.data.end(), {0, 0});
  keys_[Fold(Join(u"", path))][Fold(name)] = stored;
}

std::optional<FakeRegistry::Value> FakeRegistry::Get(const std::u16string& path,
                                                     const std::u16string& name) const {
  auto key = keys_.find(Fold(Join(u"", path)));
  if (key == keys_.end()) return std::nullopt;
  auto value = key->second.find(Fold(name));
  if (value == key->second.end()) return std::nullopt;
  return value->second;
}

std::optional<std::uint32_t> FakeRegistry::GetDword(const std::u16string& path,
                                                    const std::u16string& name) const {
  auto value = Get(path, name);
  if (!value || value->type != reg::kTypeDword || value->data.size() != 4) return std::nullopt;
  std::uint32_t number = 0;
  for (int i = 3; i >= 0; --i) number = number << 8 | value->data[static_cast<std::size_t>(i)];
  return number;
}

std::optional<std::u16string> FakeRegistry::GetString(const std::u16string& path,
                                                      const std::u16string& name) const {
  auto value = Get(path, name);
  if (!value || value->type != reg::kTypeString) return std::nullopt;
  std::u16string text;
  for (std::size_t i = 0; i + 1 < value->data.size(); i += 2)
    text.push_back(static_cast<char16_t>(value->data[i] | value->data[i + 1] << 8));
  while (!text.empty() && text.back() == u'\0') text.pop_back();
  return text;
}

}  // namespace varnolet::fakes
