// A settable system: message texts, the thread's last error code and the clock.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "support/system_messages.h"
#include "support/time_stamp.h"

namespace varnolet::fakes {

class FakeSystem final : public SystemMessages, public Clock {
 public:
  FakeSystem();

  std::u16string MessageText(std::uint32_t code, MessageWidth width) override;
  std::uint32_t LastErrorCode() override { return lastError; }
  LocalTime Now() override { return now; }

  // The text this fake gives for a code ("" when it has none).
  std::u16string Text(std::uint32_t code) const;

  std::map<std::uint32_t, std::u16string> texts;
  std::uint32_t lastError = 0;
  LocalTime now{2026, 12, 8, 9, 5, 3};  // stamps read 8/12/2026 9:5:3
  std::vector<std::pair<std::uint32_t, MessageWidth>> asked;
};

// The stamp every entry of a FakeSystem-driven component begins with.
inline constexpr char16_t kStamp[] = u"8/12/2026 9:5:3";

}  // namespace varnolet::fakes
