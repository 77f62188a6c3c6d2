// Text helpers the probes share: UTF-8 output, one line per record, and the
// class and title of a window.
#pragma once

#include <windows.h>

#include <string>

namespace probe {

inline std::string Utf8(const std::wstring& text) {
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                        nullptr, nullptr);
  std::string out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), bytes, nullptr,
                      nullptr);
  return out;
}

// Tabs and line breaks inside a text would break the line format.
inline std::wstring Flat(std::wstring text) {
  for (wchar_t& c : text)
    if (c == L'\t' || c == L'\r' || c == L'\n') c = L' ';
  return text;
}

inline std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

inline std::wstring TitleOf(HWND window) {
  wchar_t title[512] = {};
  GetWindowTextW(window, title, 512);
  return Flat(title);
}

}  // namespace probe
