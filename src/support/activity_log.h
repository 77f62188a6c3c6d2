// The activity log: the program's running record of what it did
// and what went wrong, one line per step, written to VRN.log at Exit.
#pragma once

#include <string>
#include <vector>

#include "support/file.h"
#include "support/system_messages.h"
#include "support/time_stamp.h"
#include "support/utf8.h"

namespace varnolet {

class ActivityLog {
 public:
  ActivityLog(Clock& clock, SystemMessages& messages) : clock_(clock), messages_(messages) {}

  // Appends "stamp :: text" followed by the extra text (nothing in between).
  void AddLog(const std::u16string& text, const std::u16string& extra = {});

  // The system's text for the thread's last error code ("" when it has none).
  std::u16string SystemErrorText();

  // Replaces <dataPath>\Varnolet 7\Data\VRN.log with the lines: a UTF-8 mark,
  // then each line in UTF-8 followed by a line feed.
  bool WriteLogFile(CDrive& drive, const std::u16string& dataPath, Utf8Codec& utf8);

  const std::vector<std::u16string>& Lines() const { return lines_; }

 private:
  Clock& clock_;
  SystemMessages& messages_;
  std::vector<std::u16string> lines_;
};

}  // namespace varnolet
