#include "fakes/fake_files.h"

#include <algorithm>
#include <cstring>

#include "support/text.h"

namespace varnolet::fakes {

namespace {
constexpr std::uint32_t kInvalidHandleError = 6;
constexpr std::uint32_t kNegativeSeek = 131;
constexpr std::uint32_t kResourceTypeNotFound = 1813;
constexpr std::uint32_t kAttributeDirectory = 0x10;
constexpr std::uint32_t kAttributeArchive = 0x20;
}  // namespace

FakeFiles::FakeFiles(FakeSystem& system, std::vector<std::u16string> driveList)
    : drives(std::move(driveList)), system_(system) {}

std::u16string FakeFiles::Key(const std::u16string& path) {
  std::u16string key = path;
  for (char16_t& c : key) c = UpperChar(c);
  // A trailing backslash names the same folder, except on a drive root.
  while (key.size() > 3 && key.back() == u'\\') key.pop_back();
  return key;
}

std::u16string FakeFiles::ParentKey(const std::u16string& key) {
  const std::size_t slash = key.rfind(u'\\');
  if (slash == std::u16string::npos) return {};
  if (slash == 2 && key.size() > 1 && key[1] == u':') return key.substr(0, 3);
  return key.substr(0, slash);
}

bool FakeFiles::RootExists(const std::u16string& key) const {
  for (const std::u16string& drive : drives)
    if (Key(drive) == key) return true;
  for (const std::u16string& root : networkRoots_)
    if (Key(root) == key) return true;
  return false;
}

bool FakeFiles::ParentExists(const std::u16string& key) const {
  const std::u16string parent = ParentKey(key);
  if (parent.empty()) return false;
  if (RootExists(parent)) return true;
  auto node = nodes_.find(parent);
  return node != nodes_.end() && node->second.folder;
}

bool FakeFiles::Fail(const char* op) {
  if (auto code = failures.Take(op)) return Error(*code);
  return true;
}

bool FakeFiles::Error(std::uint32_t code) {
  system_.lastError = code;
  return false;
}

FakeFiles::Open* FakeFiles::Find(FileHandle handle) {
  auto found = handles_.find(handle);
  return found == handles_.end() ? nullptr : &found->second;
}

FileHandle FakeFiles::OpenHandle(const std::u16string& path, std::uint32_t, std::uint32_t,
                                 std::uint32_t creation, std::uint32_t) {
  if (!Fail("OpenHandle")) return kInvalidFileHandle;
  const std::u16string key = Key(path);
  auto node = nodes_.find(key);
  if (node != nodes_.end() && node->second.folder) return Error(win_error::kAccessDenied), kInvalidFileHandle;
  if (node == nodes_.end() && !ParentExists(key)) {
    // A missing parent folder reports path-not-found; a missing drive too.
    return Error(win_error::kPathNotFound), kInvalidFileHandle;
  }
  switch (creation) {
    case file_access::kCreateNew:
      if (node != nodes_.end()) return Error(win_error::kFileExists), kInvalidFileHandle;
      nodes_[key] = Node{path, false, {}, std::nullopt};
      break;
    case file_access::kCreateAlways:
      if (node != nodes_.end()) {
        node->second.bytes.clear();
        // Windows reports ERROR_ALREADY_EXISTS on success when the file existed.
        system_.lastError = win_error::kAlreadyExists;
      } else {
        nodes_[key] = Node{path, false, {}, std::nullopt};
      }
      break;
    case file_access::kOpenExisting:
      if (node == nodes_.end()) return Error(win_error::kFileNotFound), kInvalidFileHandle;
      break;
    default:
      return Error(87), kInvalidFileHandle;
  }
  const FileHandle handle = nextHandle_;
  nextHandle_ += 4;
  handles_[handle] = Open{key, 0};
  return handle;
}

bool FakeFiles::MovePointer(FileHandle handle, std::int64_t distance, std::uint32_t method) {
  if (!Fail("MovePointer")) return false;
  Open* open = Find(handle);
  if (open == nullptr) return Error(kInvalidHandleError);
  const auto size = static_cast<std::int64_t>(nodes_[open->key].bytes.size());
  std::int64_t base = 0;
  if (method == FileOrigin::Current) base = static_cast<std::int64_t>(open->position);
  if (method == FileOrigin::End) base = size;
  if (base + distance < 0) return Error(kNegativeSeek);
  open->position = static_cast<std::uint64_t>(base + distance);
  return true;
}

bool FakeFiles::WriteBytes(FileHandle handle, const void* data, std::uint32_t count, std::uint32_t* written) {
  *written = 0;
  if (!Fail("WriteBytes")) return false;
  Open* open = Find(handle);
  if (open == nullptr) return Error(kInvalidHandleError);
  std::vector<std::uint8_t>& bytes = nodes_[open->key].bytes;
  if (bytes.size() < open->position + count) bytes.resize(open->position + count, 0);
  if (count != 0) std::memcpy(bytes.data() + open->position, data, count);
  open->position += count;
  *written = count;
  return true;
}

bool FakeFiles::ReadBytes(FileHandle handle, void* data, std::uint32_t count, std::uint32_t* read) {
  *read = 0;
  if (!Fail("ReadBytes")) return false;
  Open* open = Find(handle);
  if (open == nullptr) return Error(kInvalidHandleError);
  const std::vector<std::uint8_t>& bytes = nodes_[open->key].bytes;
  // A read at or past the end succeeds with fewer (or no) bytes.
  const std::uint64_t available = open->position < bytes.size() ? bytes.size() - open->position : 0;
  const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(available, count));
  if (n != 0) std::memcpy(data, bytes.data() + open->position, n);
  open->position += n;
  *read = n;
  return true;
}

bool FakeFiles::QuerySize(FileHandle handle, std::uint64_t* size) {
  if (!Fail("QuerySize")) return false;
  Open* open = Find(handle);
  if (open == nullptr) return Error(kInvalidHandleError);
  *size = nodes_[open->key].bytes.size();
  return true;
}

bool FakeFiles::CloseFileHandle(FileHandle handle) {
  if (!Fail("CloseFileHandle")) return false;
  if (handles_.erase(handle) != 1) return Error(kInvalidHandleError);
  return true;
}

bool FakeFiles::MakeDirectory(const std::u16string& path) {
  if (!Fail("MakeDirectory")) return false;
  const std::u16string key = Key(path);
  if (RootExists(key) || nodes_.count(key) == 1) return Error(win_error::kAlreadyExists);
  if (!ParentExists(key)) return Error(win_error::kPathNotFound);
  std::u16string name = path;
  while (name.size() > 3 && name.back() == u'\\') name.pop_back();
  nodes_[key] = Node{name, true, {}, std::nullopt};
  return true;
}

std::uint32_t FakeFiles::LogicalDriveStrings(std::uint32_t length, char16_t* buffer) {
  if (!Fail("LogicalDriveStrings")) return 0;
  std::u16string list;
  for (const std::u16string& drive : drives) {
    list += drive;
    list += u'\0';
  }
  // The system's result is the length without the final NUL, or the size needed.
  if (list.size() + 1 > length) return static_cast<std::uint32_t>(list.size() + 1);
  std::copy(list.begin(), list.end(), buffer);
  buffer[list.size()] = u'\0';
  return static_cast<std::uint32_t>(list.size());
}

std::uint32_t FakeFiles::Attributes(const std::u16string& path) {
  if (!Fail("Attributes")) return kInvalidFileAttributes;
  const std::u16string key = Key(path);
  if (RootExists(key)) return kAttributeDirectory;
  auto node = nodes_.find(key);
  if (node != nodes_.end()) return node->second.folder ? kAttributeDirectory : kAttributeArchive;
  Error(ParentExists(key) ? win_error::kFileNotFound : win_error::kPathNotFound);
  return kInvalidFileAttributes;
}

std::uint32_t FakeFiles::VersionInfoSize(const std::u16string& path) {
  if (!Fail("VersionInfoSize")) return 0;
  auto node = nodes_.find(Key(path));
  if (node == nodes_.end()) return Error(win_error::kFileNotFound), 0;
  if (!node->second.version) return Error(kResourceTypeNotFound), 0;
  return 64;
}

bool FakeFiles::VersionInfo(const std::u16string& path, std::uint32_t size, void* data) {
  if (!Fail("VersionInfo")) return false;
  auto node = nodes_.find(Key(path));
  if (node == nodes_.end()) return Error(win_error::kFileNotFound);
  if (!node->second.version) return Error(kResourceTypeNotFound);
  if (size < sizeof(std::uint32_t)) return Error(122);
  // The block only carries which file it was read from.
  versionBlocks_.push_back(node->first);
  const auto id = static_cast<std::uint32_t>(versionBlocks_.size());
  std::memcpy(data, &id, sizeof id);
  return true;
}

bool FakeFiles::QueryVersionValue(const void* block, const std::u16string& subBlock, const void** value,
                                  std::uint32_t* length) {
  *value = nullptr;
  *length = 0;
  if (!Fail("QueryVersionValue")) return false;
  std::uint32_t id = 0;
  std::memcpy(&id, block, sizeof id);
  if (id == 0 || id > versionBlocks_.size()) return Error(87);
  const VersionResource& resource = *nodes_[versionBlocks_[id - 1]].version;
  if (subBlock == u"\\VarFileInfo\\Translation") {
    if (resource.translation.empty()) return Error(kResourceTypeNotFound);
    *value = resource.translation.data();
    *length = static_cast<std::uint32_t>(resource.translation.size() * sizeof(std::uint16_t));
    return true;
  }
  auto found = resource.strings.find(subBlock);
  if (found == resource.strings.end()) return Error(kResourceTypeNotFound);
  *value = found->second.c_str();
  *length = static_cast<std::uint32_t>(found->second.size() + 1);
  return true;
}

bool FakeFiles::MoveReplacing(const std::u16string& from, const std::u16string& to) {
  if (!Fail("MoveReplacing")) return false;
  const std::u16string fromKey = Key(from);
  const std::u16string toKey = Key(to);
  auto source = nodes_.find(fromKey);
  if (source == nodes_.end()) return Error(win_error::kFileNotFound);
  if (!ParentExists(toKey)) return Error(win_error::kPathNotFound);
  for (const auto& [handle, open] : handles_)
    if (open.key == fromKey || open.key == toKey) return Error(32);
  Node moved = source->second;
  moved.name = to;
  nodes_.erase(source);
  nodes_[toKey] = moved;
  return true;
}

bool FakeFiles::RemoveFile(const std::u16string& path) {
  if (!Fail("RemoveFile")) return false;
  auto node = nodes_.find(Key(path));
  if (node == nodes_.end()) return Error(win_error::kFileNotFound);
  if (node->second.folder) return Error(win_error::kAccessDenied);
  nodes_.erase(node);
  return true;
}

void FakeFiles::AddFolder(const std::u16string& path) {
  const std::u16string key = Key(path);
  if (key.empty() || RootExists(key) || nodes_.count(key) == 1) return;
  std::u16string parent = path;
  while (parent.size() > 3 && parent.back() == u'\\') parent.pop_back();
  const std::size_t slash = parent.rfind(u'\\');
  if (slash != std::u16string::npos && slash > 2) AddFolder(parent.substr(0, slash));
  nodes_[key] = Node{parent, true, {}, std::nullopt};
}

void FakeFiles::AddFile(const std::u16string& path, const std::vector<std::uint8_t>& bytes) {
  const std::size_t slash = path.rfind(u'\\');
  if (slash != std::u16string::npos && slash > 2) AddFolder(path.substr(0, slash));
  Node& node = nodes_[Key(path)];
  node.name = path;
  node.folder = false;
  node.bytes = bytes;
}

void FakeFiles::AddFile(const std::u16string& path, const std::string& bytes) {
  AddFile(path, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

void FakeFiles::AddNetworkShare(const std::u16string& root) {
  networkRoots_.push_back(root);
}

bool FakeFiles::Exists(const std::u16string& path) const {
  const std::u16string key = Key(path);
  return RootExists(key) || nodes_.count(key) == 1;
}

bool FakeFiles::IsFolder(const std::u16string& path) const {
  auto node = nodes_.find(Key(path));
  return node != nodes_.end() && node->second.folder;
}

std::optional<std::vector<std::uint8_t>> FakeFiles::Bytes(const std::u16string& path) const {
  auto node = nodes_.find(Key(path));
  if (node == nodes_.end() || node->second.folder) return std::nullopt;
  return node->second.bytes;
}

std::string FakeFiles::Text(const std::u16string& path) const {
  auto bytes = Bytes(path);
  return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

std::vector<std::u16string> FakeFiles::Paths() const {
  std::vector<std::u16string> paths;
  for (const auto& [key, node] : nodes_) paths.push_back(node.name);
  return paths;
}

void FakeFiles::SetVersionResource(const std::u16string& path, VersionResource resource) {
  auto node = nodes_.find(Key(path));
  if (node == nodes_.end()) {
    AddFile(path);
    node = nodes_.find(Key(path));
  }
  node->second.version = std::move(resource);
}

}  // namespace varnolet::fakes
