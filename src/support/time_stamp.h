// Port: the calendar clock behind every time stamp, and the stamp text.
#pragma once

#include <string>

namespace varnolet {

// Local calendar time as the C library's localtime gives it, month 1-12.
struct LocalTime {
  int year = 1970;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() = 0;  // time + localtime
};

// day/month/year hour:minute:second, plain decimal without leading zeros:
// 9:05:03 on 8 December 2026 reads 8/12/2026 9:5:3.
std::u16string TimeStampText(const LocalTime& time);

inline std::u16string TimeStamp(Clock& clock) {
  return TimeStampText(clock.Now());
}

}  // namespace varnolet
