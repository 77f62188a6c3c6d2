#include "support/activity_log.h"

#include <gtest/gtest.h>

#include "fakes/fake_files.h"
#include "fakes/fake_system.h"
#include "fakes/fake_utf8.h"

namespace varnolet {
namespace {

using fakes::FakeFiles;
using fakes::FakeSystem;
using fakes::FakeUtf8;

constexpr char16_t kData[] = u"C:\\Users\\u\\AppData\\Roaming";
constexpr char16_t kLogPath[] = u"C:\\Users\\u\\AppData\\Roaming\\Varnolet 7\\Data\\VRN.log";

class ActivityLogTest : public testing::Test {
 protected:
  FakeSystem system;
  FakeFiles files{system};
  FakeUtf8 utf8;
  CDrive drive{files, system, system};
  ActivityLog log{system, system};
};

TEST_F(ActivityLogTest, LinesJoinStampTextAndExtraWithNothingBetweenTheLastTwo) {
  log.AddLog(u"Get registry settings . . .");
  log.AddLog(u"  -Could not create log file, ", u"Access is denied.");
  system.now = {2027, 1, 1, 0, 0, 5};
  log.AddLog(u"  -", u"");
  const std::vector<std::u16string> expected = {
      u"8/12/2026 9:5:3 :: Get registry settings . . .",
      u"8/12/2026 9:5:3 ::   -Could not create log file, Access is denied.",
      u"1/1/2027 0:0:5 ::   -",
  };
  EXPECT_EQ(log.Lines(), expected);
}

TEST_F(ActivityLogTest, SystemErrorTextIsTheTextOfTheLastErrorAtWidth255) {
  system.lastError = 126;
  EXPECT_EQ(log.SystemErrorText(), system.Text(126));
  EXPECT_EQ(system.asked.back(), std::make_pair(std::uint32_t{126}, MessageWidth::Width255));
  system.lastError = 0x2FFFFFFF;
  EXPECT_EQ(log.SystemErrorText(), u"");
}

TEST_F(ActivityLogTest, LogFileIsUtf8WithAMarkAndLineFeeds) {
  files.AddFolder(u"C:\\Users\\u\\AppData\\Roaming\\Varnolet 7\\Data");
  files.AddFile(kLogPath, std::string("old run\r\n"));
  log.AddLog(u"  -", u"Ακουστικά");
  log.AddLog(u"Exit");
  EXPECT_TRUE(log.WriteLogFile(drive, kData, utf8));
  EXPECT_EQ(files.Text(kLogPath),
            "\xEF\xBB\xBF"
            "8/12/2026 9:5:3 ::   -\xCE\x91\xCE\xBA\xCE\xBF\xCF\x85\xCF\x83\xCF\x84\xCE\xB9\xCE\xBA\xCE\xAC\n"
            "8/12/2026 9:5:3 :: Exit\n");
  EXPECT_EQ(files.OpenHandleCount(), 0);
}

TEST_F(ActivityLogTest, EmptyLogGivesJustTheMark) {
  files.AddFolder(u"C:\\Users\\u\\AppData\\Roaming\\Varnolet 7\\Data");
  EXPECT_TRUE(log.WriteLogFile(drive, kData, utf8));
  EXPECT_EQ(files.Text(kLogPath), "\xEF\xBB\xBF");
}

TEST_F(ActivityLogTest, MissingDataFolderFailsWithALineAndNoFile) {
  log.AddLog(u"Exit");
  EXPECT_FALSE(log.WriteLogFile(drive, kData, utf8));
  EXPECT_FALSE(files.Exists(kLogPath));
  ASSERT_EQ(log.Lines().size(), 2u);
  EXPECT_EQ(log.Lines()[1], u"8/12/2026 9:5:3 ::   -Could not create log file, " + system.Text(3));
}

}  // namespace
}  // namespace varnolet
