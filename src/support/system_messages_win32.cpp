#include "support/system_messages_win32.h"

#include <windows.h>

#include "support/wide_win32.h"

namespace varnolet {

std::u16string Win32SystemMessages::MessageText(std::uint32_t code, MessageWidth width) {
  const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                      FORMAT_MESSAGE_IGNORE_INSERTS |
                      (width == MessageWidth::Unbroken ? FORMAT_MESSAGE_MAX_WIDTH_MASK : 0xFF);
  wchar_t* buffer = nullptr;
  // With FORMAT_MESSAGE_ALLOCATE_BUFFER the size is the minimum to allocate.
  const DWORD length =
      FormatMessageW(flags, nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 1024, nullptr);
  std::u16string text;
  if (length != 0 && buffer != nullptr) text = from_wide(buffer, length);
  if (buffer != nullptr) LocalFree(buffer);
  return text;
}

std::uint32_t Win32SystemMessages::LastErrorCode() {
  return GetLastError();
}

}  // namespace varnolet
