// The lines of an activity log without their time stamps ("stamp :: text"
// gives "text"), for tests that compare what the program logged.
#pragma once

#include <string>
#include <vector>

#include "support/activity_log.h"

namespace varnolet::fakes {

inline std::vector<std::u16string> UnstampedLines(const ActivityLog& log) {
  std::vector<std::u16string> lines;
  for (const std::u16string& line : log.Lines()) {
    const std::size_t at = line.find(u" :: ");
    lines.push_back(at == std::u16string::npos ? line : line.substr(at + 4));
  }
  return lines;
}

}  // namespace varnolet::fakes
