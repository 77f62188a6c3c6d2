#include "support/activity_log.h"

namespace varnolet {

void ActivityLog::AddLog(const std::u16string& text, const std::u16string& extra) {
  std::u16string line = TimeStamp(clock_);
  line.reserve(line.size() + 4 + text.size() + extra.size());
  line += u" :: ";
  line += text;
  line += extra;
  lines_.push_back(std::move(line));
}

std::u16string ActivityLog::SystemErrorText() {
  return messages_.MessageText(messages_.LastErrorCode(), MessageWidth::Width255);
}

bool ActivityLog::WriteLogFile(CDrive& drive, const std::u16string& dataPath, Utf8Codec& utf8) {
  CFile& file = drive.Directory.File;
  if (!file.Truncate(dataPath + u"\\Varnolet 7\\Data\\VRN.log")) {
    AddLog(u"  -Could not create log file, ", drive.GetLastErrorText());
    return false;
  }
  static constexpr std::uint8_t kMark[] = {0xEF, 0xBB, 0xBF};
  file.Write(kMark, sizeof kMark, FileOrigin::Current, ByteOrderMark::None);
  for (const std::u16string& line : lines_) {
    const std::string bytes = utf8.Encode(line + u'\n');
    file.Write(bytes.data(), static_cast<std::uint32_t>(bytes.size()), FileOrigin::Current,
               ByteOrderMark::None);
  }
  file.Close();
  return true;
}

}  // namespace varnolet
