// Ports of the program shell: what the entry routine and the main form ask of
// the process and the system besides the support classes' ports.
#pragma once

#include <cstdint>
#include <string>

namespace varnolet {

// The process itself.
class ProcessEnvironment {
 public:
  virtual ~ProcessEnvironment() = default;
  // GetModuleFileNameW for the running module into `buffer` of `size`
  // characters; the number of characters written (size when it was cut).
  virtual std::uint32_t ModuleFileName(char16_t* buffer, std::uint32_t size) = 0;
  // GetEnvironmentVariableW: with too small a buffer (or none) the size needed
  // including the terminator, else the length written; 0 on failure.
  virtual std::uint32_t EnvironmentVariable(const std::u16string& name, char16_t* buffer,
                                            std::uint32_t size) = 0;
  // GetSystemDefaultUILanguage
  virtual std::uint16_t SystemDefaultUILanguage() = 0;
  // OpenMutexW(MUTEX_ALL_ACCESS, FALSE, name) returned a handle (left open).
  virtual bool OpenNamedMutex(const std::u16string& name) = 0;
  // CreateMutexW(nullptr, FALSE, name); the result is not looked at.
  virtual void CreateNamedMutex(const std::u16string& name) = 0;
};

// A loaded language library; 0 is none.
using LibraryHandle = std::uintptr_t;

// Resource-only language libraries.
class LanguageLibraries {
 public:
  virtual ~LanguageLibraries() = default;
  // Loads the library as resources only (nothing in it runs); 0 on failure,
  // with the system's error code left as the thread's last error.
  virtual LibraryHandle LoadResources(const std::u16string& path) = 0;
  // LoadStringW into `buffer` of `size` characters: the length copied, 0 when
  // the string is missing or empty.
  virtual int ReadString(LibraryHandle library, std::uint32_t id, char16_t* buffer, int size) = 0;
  virtual void Release(LibraryHandle library) = 0;
};

}  // namespace varnolet
