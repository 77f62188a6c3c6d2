#pragma once

#include "app/program_ports.h"

namespace varnolet {

class Win32ProcessEnvironment final : public ProcessEnvironment {
 public:
  std::uint32_t ModuleFileName(char16_t* buffer, std::uint32_t size) override;
  std::uint32_t EnvironmentVariable(const std::u16string& name, char16_t* buffer,
                                    std::uint32_t size) override;
  std::uint16_t SystemDefaultUILanguage() override;
  bool OpenNamedMutex(const std::u16string& name) override;
  void CreateNamedMutex(const std::u16string& name) override;
};

class Win32LanguageLibraries final : public LanguageLibraries {
 public:
  LibraryHandle LoadResources(const std::u16string& path) override;
  int ReadString(LibraryHandle library, std::uint32_t id, char16_t* buffer, int size) override;
  void Release(LibraryHandle library) override;
};

}  // namespace varnolet
