#include "support/clock_win32.h"

#include <ctime>

namespace varnolet {

LocalTime CrtClock::Now() {
  const std::time_t now = std::time(nullptr);
  // One process-wide calendar record, as localtime keeps it; every stamp is
  // taken on the GUI thread.
  const std::tm* parts = std::localtime(&now);
  LocalTime time;
  if (parts == nullptr) return time;
  time.year = parts->tm_year + 1900;
  time.month = parts->tm_mon + 1;
  time.day = parts->tm_mday;
  time.hour = parts->tm_hour;
  time.minute = parts->tm_min;
  time.second = parts->tm_sec;
  return time;
}

}  // namespace varnolet
