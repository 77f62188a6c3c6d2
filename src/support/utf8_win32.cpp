#include "support/utf8_win32.h"

#include <windows.h>

namespace varnolet {

std::string Win32Utf8Codec::Encode(std::u16string_view text) {
  if (text.empty()) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  const int needed = WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string bytes(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, length, bytes.data(), needed, nullptr, nullptr);
  return bytes;
}

bool Win32Utf8Codec::Decode(std::string_view bytes, std::u16string& text) {
  text.clear();
  if (bytes.empty()) return true;
  const int length = static_cast<int>(bytes.size());
  const int needed = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
  if (needed <= 0) return false;
  text.resize(static_cast<std::size_t>(needed));
  if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), length,
                          reinterpret_cast<wchar_t*>(text.data()), needed) != needed) {
    text.clear();
    return false;
  }
  return true;
}

}  // namespace varnolet
