// Helpers shared by the Wine tests.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/text.h"
#include "support/wide_win32.h"

namespace varnolet::wine {

// The folder of the running test program, with a trailing backslash.
inline std::u16string ProgramFolder() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::u16string folder = from_wide(path, length);
  return folder.substr(0, folder.rfind(u'\\') + 1);
}

// A fresh empty folder under the system's temporary folder, named uniquely.
inline std::u16string FreshFolder(const std::u16string& name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  wchar_t unique[MAX_PATH];
  GetTempFileNameW(temp, L"vrn", 0, unique);  // creates an empty file with a unique name
  DeleteFileW(unique);
  std::u16string folder = from_wide(unique) + u"-" + name + u"\\";
  CreateDirectoryW(as_wide(folder), nullptr);
  return folder;
}

// A whole file's bytes ("" when it cannot be opened), read while others may
// still write, rename or delete it.
inline std::string ReadWholeFile(const std::u16string& path) {
  std::string text;
  HANDLE file =
      CreateFileW(as_wide(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return text;
  char chunk[4096];
  DWORD read = 0;
  while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) text.append(chunk, read);
  CloseHandle(file);
  return text;
}

// The same as bytes (none when the file cannot be opened).
inline std::vector<std::uint8_t> ReadFileBytes(const std::u16string& path) {
  const std::string text = ReadWholeFile(path);
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

// The lines of a text that ends each line with a line feed.
inline std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

// The system's own text for a code, as the error log asks for it.
inline std::u16string SystemText(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                          FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
                                      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 1024, nullptr);
  std::u16string text = length ? from_wide(buffer, length) : std::u16string();
  if (buffer) LocalFree(buffer);
  return text;
}

}  // namespace varnolet::wine
