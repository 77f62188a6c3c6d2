#include "support/error_log.h"

#include "support/text.h"

namespace varnolet {

bool ErrorLog::Failed(std::int64_t result) const {
  switch (rule_.failure) {
    case ErrorRule::Failure::NonZero:
      return static_cast<std::uint32_t>(result) != 0;
    case ErrorRule::Failure::Zero:
      return result == 0;
    case ErrorRule::Failure::MinusOne:
      return static_cast<std::uint32_t>(result) == 0xFFFFFFFFu;
  }
  return true;
}

bool ErrorLog::CheckResult(std::int64_t result, std::u16string_view entry) {
  if (!Failed(result)) return true;
  // Take the number before anything else runs, so nothing can overwrite the
  // thread's last error code in between.
  const std::uint32_t number = rule_.number == ErrorRule::Number::Result ? static_cast<std::uint32_t>(result)
                                                                         : messages_.LastErrorCode();
  Record(messages_.MessageText(number, MessageWidth::Unbroken), entry);
  return false;
}

void ErrorLog::RecordStatus(std::uint32_t status, std::u16string_view entry) {
  std::u16string message = messages_.MessageText(status, MessageWidth::Unbroken);
  if (message.empty()) message = u"0x" + HexLower(status, 8);
  Record(message, entry);
}

void ErrorLog::Record(const std::u16string& message, std::u16string_view entry) {
  std::u16string line = TimeStamp(clock_);
  line += u": ";
  if (rule_.accumulate)
    lastErrorText_ += message;
  else
    lastErrorText_ = message;
  line += entry;
  line += message;
  entries_.push_back(std::move(line));
}

void ErrorLog::AddError(std::u16string_view entry) {
  std::u16string line = TimeStamp(clock_);
  line += u": ";
  line += entry;
  entries_.push_back(std::move(line));
  const std::size_t comma = entry.rfind(u',');
  lastErrorText_ =
      comma == std::u16string_view::npos ? std::u16string(entry) : std::u16string(entry.substr(comma + 1));
}

}  // namespace varnolet
