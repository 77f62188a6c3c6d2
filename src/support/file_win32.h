#pragma once

#include "support/file.h"

namespace varnolet {

class Win32FileApi final : public FileApi {
 public:
  FileHandle OpenHandle(const std::u16string& path, std::uint32_t access, std::uint32_t share,
                        std::uint32_t creation, std::uint32_t attributes) override;
  bool MovePointer(FileHandle handle, std::int64_t distance, std::uint32_t method) override;
  bool WriteBytes(FileHandle handle, const void* data, std::uint32_t count, std::uint32_t* written) override;
  bool ReadBytes(FileHandle handle, void* data, std::uint32_t count, std::uint32_t* read) override;
  bool QuerySize(FileHandle handle, std::uint64_t* size) override;
  bool CloseFileHandle(FileHandle handle) override;
  bool MakeDirectory(const std::u16string& path) override;
  std::uint32_t LogicalDriveStrings(std::uint32_t length, char16_t* buffer) override;
  std::uint32_t Attributes(const std::u16string& path) override;
  std::uint32_t VersionInfoSize(const std::u16string& path) override;
  bool VersionInfo(const std::u16string& path, std::uint32_t size, void* data) override;
  bool QueryVersionValue(const void* block, const std::u16string& subBlock, const void** value,
                         std::uint32_t* length) override;
  bool MoveReplacing(const std::u16string& from, const std::u16string& to) override;
  bool RemoveFile(const std::u16string& path) override;
};

}  // namespace varnolet
