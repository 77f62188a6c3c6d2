// A virtual file system for the file family: drives, folders and files in
// memory, case-insensitive paths, Win32 error codes in the shared FakeSystem's
// last error, version resources, call recording and failure injection.
// Operations for FailureScript: "OpenHandle", "MovePointer", "WriteBytes",
// "ReadBytes", "QuerySize", "CloseFileHandle", "MakeDirectory",
// "LogicalDriveStrings", "Attributes", "VersionInfoSize", "VersionInfo",
// "QueryVersionValue", "MoveReplacing", "RemoveFile".
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "fakes/failure_script.h"
#include "fakes/fake_system.h"
#include "support/file.h"

namespace varnolet::fakes {

class FakeFiles final : public FileApi {
 public:
  explicit FakeFiles(FakeSystem& system, std::vector<std::u16string> drives = {u"C:\\", u"D:\\"});

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

  // Test access. Folders are created with every missing parent.
  void AddFolder(const std::u16string& path);
  void AddFile(const std::u16string& path, const std::vector<std::uint8_t>& bytes = {});
  void AddFile(const std::u16string& path, const std::string& bytes);
  // A root that is not a drive letter, for network paths (\\server\share).
  void AddNetworkShare(const std::u16string& root);
  bool Exists(const std::u16string& path) const;
  bool IsFolder(const std::u16string& path) const;
  std::optional<std::vector<std::uint8_t>> Bytes(const std::u16string& path) const;
  std::string Text(const std::u16string& path) const;  // the bytes as a std::string ("" when missing)
  int OpenHandleCount() const { return static_cast<int>(handles_.size()); }
  std::vector<std::u16string> Paths() const;  // every folder and file, as named when made

  // A version resource: the translation pairs (language, code page) and the
  // strings by their sub-block name ("\StringFileInfo\040904b0\ProductName").
  struct VersionResource {
    std::vector<std::uint16_t> translation;
    std::map<std::u16string, std::u16string> strings;
  };
  void SetVersionResource(const std::u16string& path, VersionResource resource);

  // Drives reported by LogicalDriveStrings (a later change is not seen by a CDrive made earlier).
  std::vector<std::u16string> drives;
  FailureScript failures;

 private:
  struct Node {
    std::u16string name;  // as first made
    bool folder = false;
    std::vector<std::uint8_t> bytes;
    std::optional<VersionResource> version;
  };
  struct Open {
    std::u16string key;
    std::uint64_t position = 0;
  };

  static std::u16string Key(const std::u16string& path);
  static std::u16string ParentKey(const std::u16string& key);
  bool RootExists(const std::u16string& key) const;
  bool ParentExists(const std::u16string& key) const;
  bool Fail(const char* op);
  bool Error(std::uint32_t code);
  Open* Find(FileHandle handle);

  FakeSystem& system_;
  std::map<std::u16string, Node> nodes_;
  std::vector<std::u16string> networkRoots_;
  std::map<FileHandle, Open> handles_;
  FileHandle nextHandle_ = 0x100;
  // Version blocks handed out, by the id written at their start.
  std::vector<std::u16string> versionBlocks_;
};

}  // namespace varnolet::fakes
