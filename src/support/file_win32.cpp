#include "support/file_win32.h"

#include <windows.h>

#include "support/wide_win32.h"

namespace varnolet {

namespace {
HANDLE ToHandle(FileHandle handle) {
  return reinterpret_cast<HANDLE>(handle);
}
}  // namespace

static_assert(kInvalidFileAttributes == INVALID_FILE_ATTRIBUTES);
static_assert(file_access::kReadWrite == (GENERIC_READ | GENERIC_WRITE) && file_access::kShareNone == 0 &&
              file_access::kShareDelete == FILE_SHARE_DELETE);
static_assert(file_access::kCreateNew == CREATE_NEW && file_access::kCreateAlways == CREATE_ALWAYS &&
              file_access::kOpenExisting == OPEN_EXISTING &&
              file_access::kAttributeNormal == FILE_ATTRIBUTE_NORMAL);
static_assert(FileOrigin::Begin == FILE_BEGIN && FileOrigin::Current == FILE_CURRENT &&
              FileOrigin::End == FILE_END);
static_assert(win_error::kFileNotFound == ERROR_FILE_NOT_FOUND &&
              win_error::kPathNotFound == ERROR_PATH_NOT_FOUND &&
              win_error::kAccessDenied == ERROR_ACCESS_DENIED &&
              win_error::kFileExists == ERROR_FILE_EXISTS &&
              win_error::kAlreadyExists == ERROR_ALREADY_EXISTS);

FileHandle Win32FileApi::OpenHandle(const std::u16string& path, std::uint32_t access, std::uint32_t share,
                                    std::uint32_t creation, std::uint32_t attributes) {
  HANDLE handle = CreateFileW(as_wide(path), access, share, nullptr, creation, attributes, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return kInvalidFileHandle;
  return reinterpret_cast<FileHandle>(handle);
}

bool Win32FileApi::MovePointer(FileHandle handle, std::int64_t distance, std::uint32_t method) {
  LARGE_INTEGER move;
  move.QuadPart = distance;
  return SetFilePointerEx(ToHandle(handle), move, nullptr, method) != FALSE;
}

bool Win32FileApi::WriteBytes(FileHandle handle, const void* data, std::uint32_t count,
                              std::uint32_t* written) {
  DWORD done = 0;
  const BOOL ok = WriteFile(ToHandle(handle), data, count, &done, nullptr);
  *written = done;
  return ok != FALSE;
}

bool Win32FileApi::ReadBytes(FileHandle handle, void* data, std::uint32_t count, std::uint32_t* read) {
  DWORD done = 0;
  const BOOL ok = ReadFile(ToHandle(handle), data, count, &done, nullptr);
  *read = done;
  return ok != FALSE;
}

bool Win32FileApi::QuerySize(FileHandle handle, std::uint64_t* size) {
  LARGE_INTEGER value;
  if (!GetFileSizeEx(ToHandle(handle), &value)) return false;
  *size = static_cast<std::uint64_t>(value.QuadPart);
  return true;
}

bool Win32FileApi::CloseFileHandle(FileHandle handle) {
  return CloseHandle(ToHandle(handle)) != FALSE;
}

bool Win32FileApi::MakeDirectory(const std::u16string& path) {
  return CreateDirectoryW(as_wide(path), nullptr) != FALSE;
}

std::uint32_t Win32FileApi::LogicalDriveStrings(std::uint32_t length, char16_t* buffer) {
  return GetLogicalDriveStringsW(length, as_wide(buffer));
}

std::uint32_t Win32FileApi::Attributes(const std::u16string& path) {
  return GetFileAttributesW(as_wide(path));
}

std::uint32_t Win32FileApi::VersionInfoSize(const std::u16string& path) {
  DWORD handle = 0;
  return GetFileVersionInfoSizeW(as_wide(path), &handle);
}

bool Win32FileApi::VersionInfo(const std::u16string& path, std::uint32_t size, void* data) {
  return GetFileVersionInfoW(as_wide(path), 0, size, data) != FALSE;
}

bool Win32FileApi::QueryVersionValue(const void* block, const std::u16string& subBlock, const void** value,
                                     std::uint32_t* length) {
  void* found = nullptr;
  UINT size = 0;
  const BOOL ok = VerQueryValueW(block, as_wide(subBlock), &found, &size);
  *value = found;
  *length = size;
  return ok != FALSE;
}

bool Win32FileApi::MoveReplacing(const std::u16string& from, const std::u16string& to) {
  return MoveFileExW(as_wide(from), as_wide(to), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool Win32FileApi::RemoveFile(const std::u16string& path) {
  return DeleteFileW(as_wide(path)) != FALSE;
}

}  // namespace varnolet
