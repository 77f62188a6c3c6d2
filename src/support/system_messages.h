// Port: the system's message texts and the thread's last error code.
#pragma once

#include <cstdint>
#include <string>

namespace varnolet {

// How the system breaks a long message text.
enum class MessageWidth {
  Unbroken,  // FORMAT_MESSAGE_MAX_WIDTH_MASK: regular line breaks dropped (component error logs)
  Width255,  // maximum line width 0xFF (the activity log's SystemErrorText)
};

class SystemMessages {
 public:
  virtual ~SystemMessages() = default;
  // The system's message text for a number (FormatMessageW from the system
  // table, language 0, inserts not expanded); empty when there is none.
  virtual std::u16string MessageText(std::uint32_t code, MessageWidth width) = 0;
  // The calling thread's last error code (GetLastError).
  virtual std::uint32_t LastErrorCode() = 0;
};

}  // namespace varnolet
