// The file-system family: the one process-wide CDrive (`Drive`) owns the
// current directory (`Drive.Directory`), which owns the one file object of
// the system (`Drive.Directory.File`). Every file operation goes through them,
// one file at a time; failures go to the one error log that Drive holds.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "support/error_log.h"

namespace varnolet {

// A system file handle; 0 is no file.
using FileHandle = std::uintptr_t;
inline constexpr FileHandle kInvalidFileHandle = ~FileHandle{0};
inline constexpr std::uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;

namespace file_access {
inline constexpr std::uint32_t kReadWrite = 0xC0000000u;  // GENERIC_READ | GENERIC_WRITE
inline constexpr std::uint32_t kShareNone = 0;
inline constexpr std::uint32_t kShareDelete = 4;
inline constexpr std::uint32_t kCreateNew = 1;
inline constexpr std::uint32_t kCreateAlways = 2;
inline constexpr std::uint32_t kOpenExisting = 3;
inline constexpr std::uint32_t kAttributeNormal = 0x80;
}  // namespace file_access

// Move methods of SetPointer, Read and Write.
namespace FileOrigin {
inline constexpr std::uint32_t Begin = 0;
inline constexpr std::uint32_t Current = 1;
inline constexpr std::uint32_t End = 2;
}  // namespace FileOrigin

enum class ByteOrderMark : std::uint32_t { None = 0, Utf8 = 1, Utf16BE = 2, Utf16LE = 3 };

// System error codes the callers test for.
namespace win_error {
inline constexpr std::uint32_t kFileNotFound = 2;
inline constexpr std::uint32_t kPathNotFound = 3;
inline constexpr std::uint32_t kAccessDenied = 5;
inline constexpr std::uint32_t kFileExists = 80;
inline constexpr std::uint32_t kAlreadyExists = 183;
}  // namespace win_error

// Port: the file calls of the family.
class FileApi {
 public:
  virtual ~FileApi() = default;
  // CreateFileW; kInvalidFileHandle on failure.
  virtual FileHandle OpenHandle(const std::u16string& path, std::uint32_t access, std::uint32_t share,
                                std::uint32_t creation, std::uint32_t attributes) = 0;
  // SetFilePointerEx(handle, distance, nullptr, method)
  virtual bool MovePointer(FileHandle handle, std::int64_t distance, std::uint32_t method) = 0;
  virtual bool WriteBytes(FileHandle handle, const void* data, std::uint32_t count,
                          std::uint32_t* written) = 0;
  virtual bool ReadBytes(FileHandle handle, void* data, std::uint32_t count, std::uint32_t* read) = 0;
  // GetFileSizeEx
  virtual bool QuerySize(FileHandle handle, std::uint64_t* size) = 0;
  virtual bool CloseFileHandle(FileHandle handle) = 0;
  // CreateDirectoryW without security attributes
  virtual bool MakeDirectory(const std::u16string& path) = 0;
  // GetLogicalDriveStringsW: roots separated by NULs, ended by a double NUL; 0 on failure
  virtual std::uint32_t LogicalDriveStrings(std::uint32_t length, char16_t* buffer) = 0;
  // GetFileAttributesW; kInvalidFileAttributes on failure
  virtual std::uint32_t Attributes(const std::u16string& path) = 0;
  // GetFileVersionInfoSizeW / GetFileVersionInfoW / VerQueryValueW
  virtual std::uint32_t VersionInfoSize(const std::u16string& path) = 0;
  virtual bool VersionInfo(const std::u16string& path, std::uint32_t size, void* data) = 0;
  virtual bool QueryVersionValue(const void* block, const std::u16string& subBlock, const void** value,
                                 std::uint32_t* length) = 0;
  // MoveFileExW(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
  virtual bool MoveReplacing(const std::u16string& from, const std::u16string& to) = 0;
  // DeleteFileW
  virtual bool RemoveFile(const std::u16string& path) = 0;
};

class CDrive;
class CDirectory;
class CFile;

// What a safe replace writes beside the file it replaces: the file's path
// followed by this suffix.
inline constexpr char16_t kReplacementSuffix[] = u".tmp";

// Where a safe replace stopped.
enum class ReplaceStep {
  Done,     // the file holds the new content
  Create,   // the replacement file could not be created
  Content,  // the content could not be written (the writer added its own lines)
  Close,    // the replacement file could not be closed
  Replace,  // the replacement file could not take the file's place
};

// Writes a file's new content into <path> + kReplacementSuffix through the one
// file object and puts that file in place of <path> in one step, once every
// byte was written and the file closed. `content` writes through the open
// file and returns false when a write failed. On any failure the replacement
// file is discarded and <path> is left as it was; the family's last error text
// is then the failed step's own reason.
ReplaceStep ReplaceSafely(CFile& file, const std::u16string& path, const std::function<bool()>& content);

class CFile {
 public:
  // Reads one string of a file's version resource; "" on any failure.
  class CFileInformation {
   public:
    explicit CFileInformation(CDrive& drive) : drive_(drive) {}
    std::u16string Get(const std::u16string& path, const std::u16string& key);

   private:
    CDrive& drive_;
  };

  explicit CFile(CDrive& drive);
  ~CFile();
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;

  bool Open(const std::u16string& path);
  bool Create(const std::u16string& path);
  bool Truncate(const std::u16string& path);
  bool Write(const void* buffer, std::uint32_t count, std::uint32_t origin, ByteOrderMark mark);
  bool Read(void* buffer, std::uint32_t count, std::uint32_t origin);
  bool SetPointer(std::uint32_t distance, std::uint32_t origin);
  bool Size(std::uint32_t& size);
  bool Close();
  // Puts the file `from` in place of the file `to` in one step, replacing it.
  bool Replace(const std::u16string& from, const std::u16string& to);
  // Removes a file that a failed step left behind. Its own failure is not
  // recorded: the failure that left the file stays the family's last error
  // text, and the file is emptied by the next Truncate of its path anyway.
  void Discard(const std::u16string& path);

  bool IsOpen() const { return handle_ != 0; }
  const std::u16string& CurrentPath() const { return path_; }

  CFileInformation FileInformation;

 private:
  bool OpenWith(const std::u16string& path, std::uint32_t share, std::uint32_t creation,
                std::uint32_t attributes, std::u16string_view entry);

  CDrive& drive_;
  FileHandle handle_ = 0;
  std::u16string path_;
};

class CDirectory {
 public:
  explicit CDirectory(CDrive& drive);
  bool Create(const std::u16string& path);
  const std::u16string& CurrentPath() const { return path_; }

 private:
  friend class CDrive;
  CDrive& drive_;
  std::u16string path_;

 public:
  CFile File;
};

class CDrive {
 public:
  CDrive(FileApi& api, SystemMessages& messages, Clock& clock);
  CDrive(const CDrive&) = delete;
  CDrive& operator=(const CDrive&) = delete;

  bool GetDrives();
  bool CheckDrive(const std::u16string& root);
  bool CheckPath(const std::u16string& path);
  std::u16string ExtractPath(const std::u16string& path);

  std::u16string GetLastErrorText() const { return log_.GetLastErrorText(); }
  const ErrorLog& Log() const { return log_; }
  const std::u16string& CurrentRoot() const { return root_; }
  const std::vector<std::u16string>& Drives() const { return drives_; }
  std::int32_t LastResult() const { return lastResult_; }
  FileApi& Api() { return api_; }

 private:
  friend class CFile;
  friend class CDirectory;
  // Resolves a file path as Open, Create and Truncate do; updates the current
  // drive root and the current directory.
  std::u16string ResolveFilePath(const std::u16string& path);
  std::u16string ResolveDirectoryPath(const std::u16string& path);
  bool Check(std::int64_t result, std::u16string_view entry) {
    lastResult_ = static_cast<std::int32_t>(result != 0);
    return log_.CheckResult(result, entry);
  }

  FileApi& api_;
  std::int32_t lastResult_ = 0;
  std::u16string root_;
  std::vector<std::u16string> drives_;
  ErrorLog log_;

 public:
  CDirectory Directory;
};

}  // namespace varnolet
