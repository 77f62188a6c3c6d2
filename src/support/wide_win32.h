// The one conversion point between the core's UTF-16 text and Win32's wide
// strings. char16_t and wchar_t have the same size and representation on
// Windows, so the conversion is a reinterpretation. Included only by adapters.
#pragma once

#include <string>
#include <string_view>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 wide characters are UTF-16 units");

namespace varnolet {

inline const wchar_t* as_wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline wchar_t* as_wide(char16_t* text) {
  return reinterpret_cast<wchar_t*>(text);
}
inline const wchar_t* as_wide(const char16_t* text) {
  return reinterpret_cast<const wchar_t*>(text);
}

inline std::u16string from_wide(const wchar_t* text) {
  return text ? std::u16string(reinterpret_cast<const char16_t*>(text)) : std::u16string();
}
inline std::u16string from_wide(const wchar_t* text, std::size_t length) {
  return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

}  // namespace varnolet
