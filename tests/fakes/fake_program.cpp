#include "fakes/fake_program.h"

#include <algorithm>

namespace varnolet::fakes {

std::uint32_t FakeEnvironment::ModuleFileName(char16_t* buffer, std::uint32_t size) {
  ++moduleFileNameCalls;
  // As the system does: the path cut to the buffer, the whole size reported when cut.
  const auto n = static_cast<std::uint32_t>(std::min<std::size_t>(modulePath.size(), size));
  std::copy(modulePath.begin(), modulePath.begin() + n, buffer);
  if (n < size) {
    buffer[n] = u'\0';
    return n;
  }
  if (size > 0) buffer[size - 1] = u'\0';
  system_.lastError = 122;  // ERROR_INSUFFICIENT_BUFFER
  return size;
}

std::uint32_t FakeEnvironment::EnvironmentVariable(const std::u16string& name, char16_t* buffer,
                                                   std::uint32_t size) {
  auto found = variables.find(name);
  if (found == variables.end()) {
    system_.lastError = 203;  // ERROR_ENVVAR_NOT_FOUND
    return 0;
  }
  const std::u16string& value = found->second;
  if (buffer == nullptr || size <= value.size()) return static_cast<std::uint32_t>(value.size() + 1);
  if (variableReadFails) {
    system_.lastError = 203;
    return 0;
  }
  std::copy(value.begin(), value.end(), buffer);
  buffer[value.size()] = u'\0';
  return static_cast<std::uint32_t>(value.size());
}

bool FakeEnvironment::OpenNamedMutex(const std::u16string& name) {
  return std::find(mutexes.begin(), mutexes.end(), name) != mutexes.end();
}

LibraryHandle FakeLanguages::LoadResources(const std::u16string& path) {
  requested.push_back(path);
  if (libraries_.count(path) == 0) {
    system_.lastError = missingError;
    return 0;
  }
  const LibraryHandle handle = next_;
  next_ += 0x1000;
  loaded_[handle] = path;
  return handle;
}

int FakeLanguages::ReadString(LibraryHandle library, std::uint32_t id, char16_t* buffer, int size) {
  auto found = loaded_.find(library);
  if (found == loaded_.end()) return 0;
  const std::vector<std::u16string>& strings = libraries_[found->second];
  if (id >= strings.size() || strings[id].empty() || size <= 0) return 0;
  const std::u16string& text = strings[id];
  const auto n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(size - 1));
  std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n), buffer);
  buffer[n] = u'\0';
  return static_cast<int>(n);
}

void FakeLanguages::Release(LibraryHandle library) {
  loaded_.erase(library);
}

void FakeLanguages::Add(const std::u16string& path, std::vector<std::u16string> strings) {
  libraries_[path] = std::move(strings);
}

}  // namespace varnolet::fakes
