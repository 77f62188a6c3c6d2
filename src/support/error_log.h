// The failure record every support component owns: a last error text and an
// ever-growing list of time-stamped entries "Class,Method(),Call(),Param,Message".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "support/system_messages.h"
#include "support/time_stamp.h"

namespace varnolet {

// How one component judges a system call's result and what it keeps of a failure.
struct ErrorRule {
  enum class Failure {
    NonZero,   // registry status, COM result: 0 is success
    Zero,      // BOOL, handle, count: 0 is failure
    MinusOne,  // raw input: the all-ones 32-bit value is failure
  };
  enum class Number {
    Result,     // the result itself is the message number
    LastError,  // the thread's last error code
  };
  Failure failure;
  Number number;
  bool accumulate;  // append each new message text to the last error text instead of replacing it
};

namespace error_rules {
// One rule per component family.
inline constexpr ErrorRule kEnumeration{ErrorRule::Failure::NonZero, ErrorRule::Number::Result, false};
inline constexpr ErrorRule kDrive{ErrorRule::Failure::Zero, ErrorRule::Number::LastError, false};
inline constexpr ErrorRule kPrivileges{ErrorRule::Failure::Zero, ErrorRule::Number::LastError, false};
inline constexpr ErrorRule kProcesses{ErrorRule::Failure::Zero, ErrorRule::Number::LastError, false};
inline constexpr ErrorRule kRawInput{ErrorRule::Failure::MinusOne, ErrorRule::Number::LastError, true};
inline constexpr ErrorRule kRegistry{ErrorRule::Failure::NonZero, ErrorRule::Number::Result, false};
inline constexpr ErrorRule kWindowsVersion{ErrorRule::Failure::Zero, ErrorRule::Number::LastError, false};
// CHotkeys makes no system calls; only AddError is used.
inline constexpr ErrorRule kHotkeys{ErrorRule::Failure::Zero, ErrorRule::Number::LastError, false};
}  // namespace error_rules

class ErrorLog {
 public:
  ErrorLog(SystemMessages& messages, Clock& clock, ErrorRule rule)
      : messages_(messages), clock_(clock), rule_(rule) {}

  // Judges one system call's result by the component's rule. On failure it
  // records the entry followed by the system's text for the component's
  // message number, updates the last error text and returns false.
  bool CheckResult(std::int64_t result, std::u16string_view entry);

  // Records a failed COM call: its reason is the system's text for the
  // status itself (the thread's last error says nothing about COM), or the
  // status in hexadecimal when the system has no text for it.
  void RecordStatus(std::uint32_t status, std::u16string_view entry);

  // Records a failure the component found itself; the last error text becomes
  // the part of the entry after its last comma.
  void AddError(std::u16string_view entry);

  std::u16string GetLastErrorText() const { return lastErrorText_; }
  const std::vector<std::u16string>& Entries() const { return entries_; }

 private:
  bool Failed(std::int64_t result) const;
  void Record(const std::u16string& message, std::u16string_view entry);

  SystemMessages& messages_;
  Clock& clock_;
  ErrorRule rule_;
  std::u16string lastErrorText_;
  std::vector<std::u16string> entries_;
};

}  // namespace varnolet
