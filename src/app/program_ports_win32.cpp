#include "app/program_ports_win32.h"

#include <windows.h>

#include "support/wide_win32.h"

namespace varnolet {

std::uint32_t Win32ProcessEnvironment::ModuleFileName(char16_t* buffer, std::uint32_t size) {
  return GetModuleFileNameW(nullptr, as_wide(buffer), size);
}

std::uint32_t Win32ProcessEnvironment::EnvironmentVariable(const std::u16string& name, char16_t* buffer,
                                                           std::uint32_t size) {
  return GetEnvironmentVariableW(as_wide(name), buffer == nullptr ? nullptr : as_wide(buffer), size);
}

std::uint16_t Win32ProcessEnvironment::SystemDefaultUILanguage() {
  return GetSystemDefaultUILanguage();
}

bool Win32ProcessEnvironment::OpenNamedMutex(const std::u16string& name) {
  // The handle of another instance's mutex is left to the end of the process.
  return OpenMutexW(MUTEX_ALL_ACCESS, FALSE, as_wide(name)) != nullptr;
}

void Win32ProcessEnvironment::CreateNamedMutex(const std::u16string& name) {
  // Held for the life of the process; its existence is the whole mechanism.
  CreateMutexW(nullptr, FALSE, as_wide(name));
}

LibraryHandle Win32LanguageLibraries::LoadResources(const std::u16string& path) {
  // As resources only: nothing in the library runs.
  HMODULE library =
      LoadLibraryExW(as_wide(path), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  return reinterpret_cast<LibraryHandle>(library);
}

int Win32LanguageLibraries::ReadString(LibraryHandle library, std::uint32_t id, char16_t* buffer, int size) {
  return LoadStringW(reinterpret_cast<HMODULE>(library), id, as_wide(buffer), size);
}

void Win32LanguageLibraries::Release(LibraryHandle library) {
  FreeLibrary(reinterpret_cast<HMODULE>(library));
}

}  // namespace varnolet
