// The file family on real files under Wine.
#include <gtest/gtest.h>

#include <vector>

#include "support/clock_win32.h"
#include "support/file.h"
#include "support/file_win32.h"
#include "support/system_messages_win32.h"
#include "wine_support.h"

namespace varnolet {
namespace {

class FileWineTest : public testing::Test {
 protected:
  void SetUp() override {
    folder = wine::FreshFolder(Ascii(testing::UnitTest::GetInstance()->current_test_info()->name()));
  }

  std::vector<std::uint8_t> Bytes(const std::u16string& path) { return wine::ReadFileBytes(path); }

  Win32FileApi api;
  Win32SystemMessages messages;
  CrtClock clock;
  CDrive drive{api, messages, clock};
  CFile& file = drive.Directory.File;
  std::u16string folder;
};

TEST_F(FileWineTest, DrivesAreWinesAndTheFirstIsCurrent) {
  ASSERT_FALSE(drive.Drives().empty());
  EXPECT_EQ(drive.CurrentRoot(), drive.Drives().front());
  EXPECT_TRUE(drive.CheckDrive(u"C:\\"));
  EXPECT_TRUE(drive.CheckDrive(u"c:\\"));
}

TEST_F(FileWineTest, CreateOnAnExistingFileFailsAndTruncateEmptiesIt) {
  const std::u16string path = folder + u"x.dat";
  ASSERT_TRUE(file.Create(path));
  const std::uint8_t data[] = {1, 2, 3};
  ASSERT_TRUE(file.Write(data, 3, FileOrigin::Current, ByteOrderMark::None));
  ASSERT_TRUE(file.Close());

  EXPECT_FALSE(file.Create(path));
  EXPECT_EQ(drive.GetLastErrorText(), messages.MessageText(ERROR_FILE_EXISTS, MessageWidth::Unbroken));
  EXPECT_FALSE(drive.GetLastErrorText().empty());
  EXPECT_EQ(Bytes(path).size(), 3u);

  ASSERT_TRUE(file.Truncate(path));
  ASSERT_TRUE(file.Close());
  EXPECT_TRUE(Bytes(path).empty());
}

TEST_F(FileWineTest, WriteFromTheBeginningWithTheLittleEndianMark) {
  const std::u16string path = folder + u"w.txt";
  ASSERT_TRUE(file.Truncate(path));
  const char16_t text[] = u"Ab";
  ASSERT_TRUE(file.Write(text, 4, FileOrigin::Begin, ByteOrderMark::Utf16LE));
  ASSERT_TRUE(
      file.Write(text, 2, FileOrigin::Current, ByteOrderMark::Utf16LE));  // no mark from the current position
  ASSERT_TRUE(file.Close());
  EXPECT_EQ(Bytes(path), (std::vector<std::uint8_t>{0xFF, 0xFE, 'A', 0, 'b', 0, 'A', 0}));
}

TEST_F(FileWineTest, ReadPastTheEndSucceedsWithTheBufferUntouched) {
  const std::u16string path = folder + u"r.dat";
  ASSERT_TRUE(file.Truncate(path));
  const std::uint8_t data[] = {'a', 'b'};
  ASSERT_TRUE(file.Write(data, 2, FileOrigin::Current, ByteOrderMark::None));
  ASSERT_TRUE(file.Close());

  ASSERT_TRUE(file.Open(path));
  std::uint32_t size = 0;
  ASSERT_TRUE(file.Size(size));
  EXPECT_EQ(size, 2u);
  std::uint8_t buffer[4] = {9, 9, 9, 9};
  EXPECT_TRUE(file.Read(buffer, 4, FileOrigin::Begin));
  EXPECT_EQ(buffer[0], 'a');
  EXPECT_EQ(buffer[1], 'b');
  EXPECT_EQ(buffer[2], 9);
  EXPECT_EQ(buffer[3], 9);
  std::uint8_t after[2] = {7, 7};
  EXPECT_TRUE(file.Read(after, 2, FileOrigin::Current));
  EXPECT_EQ(after[0], 7);
  ASSERT_TRUE(file.Close());
}

TEST_F(FileWineTest, CloseTwiceFailsTheSecondTime) {
  ASSERT_TRUE(file.Truncate(folder + u"c.dat"));
  EXPECT_TRUE(file.Close());
  EXPECT_FALSE(file.Close());
  EXPECT_EQ(drive.GetLastErrorText(), u"No file currently open");
}

TEST_F(FileWineTest, FoldersAndAttributes) {
  const std::u16string path = folder + u"Varnolet 7\\Data";
  EXPECT_EQ(api.Attributes(path), kInvalidFileAttributes);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  ASSERT_TRUE(drive.Directory.Create(folder + u"Varnolet 7"));
  EXPECT_EQ(api.Attributes(path), kInvalidFileAttributes);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  ASSERT_TRUE(drive.Directory.Create(path));
  EXPECT_EQ(drive.Directory.CurrentPath(), path + u"\\");
  EXPECT_NE(api.Attributes(path) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_FALSE(drive.Directory.Create(path));
  EXPECT_EQ(drive.GetLastErrorText(), messages.MessageText(ERROR_ALREADY_EXISTS, MessageWidth::Unbroken));
}

TEST_F(FileWineTest, MoveReplacingSwapsInTheNewFile) {
  const std::u16string target = folder + u"map.dat";
  const std::u16string fresh = folder + u"map.dat.new";
  for (const auto& [path, byte] : {std::pair{target, std::uint8_t{1}}, std::pair{fresh, std::uint8_t{2}}}) {
    ASSERT_TRUE(file.Truncate(path));
    ASSERT_TRUE(file.Write(&byte, 1, FileOrigin::Current, ByteOrderMark::None));
    ASSERT_TRUE(file.Close());
  }
  EXPECT_TRUE(api.MoveReplacing(fresh, target));
  EXPECT_EQ(Bytes(target), (std::vector<std::uint8_t>{2}));
  EXPECT_EQ(api.Attributes(fresh), kInvalidFileAttributes);
}

TEST_F(FileWineTest, ProductNameFromAVersionResource) {
  const std::u16string with = wine::ProgramFolder() + u"sample_with_version.exe";
  EXPECT_EQ(file.FileInformation.Get(with, u"ProductName"), u"Sample Product");
  EXPECT_EQ(file.FileInformation.Get(with, u"CompanyName"), u"Kestrova Technologies");
  EXPECT_TRUE(drive.Log().Entries().empty());
}

TEST_F(FileWineTest, NoVersionResourceGivesAnEmptyTextAndTheSizeEntry) {
  const std::u16string without = wine::ProgramFolder() + u"sample_without_version.exe";
  EXPECT_EQ(file.FileInformation.Get(without, u"ProductName"), u"");
  ASSERT_EQ(drive.Log().Entries().size(), 1u);
  const std::u16string& entry = drive.Log().Entries()[0];
  const std::u16string head = u": CFile::CFileInformation,Get(),GetFileVersionInfoSize(),Specified file,";
  EXPECT_NE(entry.find(head), std::u16string::npos);
  EXPECT_EQ(entry.substr(entry.find(head) + head.size()), drive.GetLastErrorText());
}

TEST_F(FileWineTest, MissingKeyGivesAnEmptyText) {
  const std::u16string with = wine::ProgramFolder() + u"sample_with_version.exe";
  EXPECT_EQ(file.FileInformation.Get(with, u"NoSuchKey"), u"");
  ASSERT_EQ(drive.Log().Entries().size(), 1u);
  EXPECT_NE(drive.Log().Entries()[0].find(u"CFile::CFileInformation,Get(),VerQueryValue(),Specified file,"),
            std::u16string::npos);
}

}  // namespace
}  // namespace varnolet
