#include "support/file.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "support/text.h"

#include "fakes/fake_files.h"
#include "fakes/fake_system.h"

namespace varnolet {
namespace {

using fakes::FakeFiles;
using fakes::FakeSystem;
using fakes::kStamp;

std::u16string Line(std::u16string_view entry) {
  return std::u16string(kStamp) + u": " + std::u16string(entry);
}

constexpr char16_t kNoDrive[] = u"CDrive,CheckDrive(),NULL,NULL,The drive specified does not exist";
constexpr char16_t kExtractFailed[] = u"CDrive,ExtractPath(),CheckDrive(),NULL,Function Failed";
constexpr char16_t kInvalidPath[] = u"CDrive,CheckPath(),NULL,NULL,The path specified is invalid";
constexpr char16_t kNoPath[] = u"CDrive,CheckPath(),NULL,NULL,No path specified";

class FileTest : public testing::Test {
 protected:
  FakeSystem system;
  FakeFiles files{system};
  CDrive drive{files, system, system};
  CFile& file = drive.Directory.File;

  std::vector<std::uint8_t> Bytes(const std::u16string& path) {
    return files.Bytes(path).value_or(std::vector<std::uint8_t>{});
  }
};

// ------------------------------------------------------------ resolution

struct ResolveCase {
  const char* name;
  std::u16string given;
  std::u16string path;       // resolved file or directory path
  std::u16string directory;  // current directory afterwards
  std::u16string root;       // current drive root afterwards
  std::vector<std::u16string> entries;
};

class FilePathTest : public FileTest, public testing::WithParamInterface<ResolveCase> {};

TEST_P(FilePathTest, ResolvesAsTheFileOperationsDo) {
  const ResolveCase& c = GetParam();
  files.AddNetworkShare(u"\\\\server\\share");
  file.Truncate(c.given);
  EXPECT_EQ(file.CurrentPath(), c.path);
  EXPECT_EQ(drive.Directory.CurrentPath(), c.directory);
  EXPECT_EQ(drive.CurrentRoot(), c.root);
  std::vector<std::u16string> driveEntries;
  for (const std::u16string& line : drive.Log().Entries())
    if (line.find(u": CDrive,") != std::u16string::npos) driveEntries.push_back(line);
  std::vector<std::u16string> expected;
  for (const std::u16string& entry : c.entries) expected.push_back(Line(entry));
  EXPECT_EQ(driveEntries, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FilePathTest,
    testing::Values(
        ResolveCase{"Relative", u"Data\\x.dat", u"C:\\Data\\x.dat", u"C:\\Data\\", u"C:\\", {}},
        ResolveCase{"Absolute",
                    u"D:\\Varnolet 7\\Data\\hmap.dat",
                    u"D:\\Varnolet 7\\Data\\hmap.dat",
                    u"D:\\Varnolet 7\\Data\\",
                    u"D:\\",
                    {}},
        ResolveCase{"LowerCaseRoot", u"d:\\x\\y.dat", u"d:\\x\\y.dat", u"d:\\x\\", u"d:\\", {}},
        ResolveCase{"UnknownDrive", u"Q:\\a.dat", u"Q:\\a.dat", u"Q:\\", u"C:\\", {kNoDrive, kExtractFailed}},
        ResolveCase{"TwoCharacters", u"C:", u"C:\\C:", u"C:\\", u"C:\\", {kInvalidPath}},
        ResolveCase{"NoBackslash", u"x.dat", u"C:\\x.dat", u"C:\\", u"C:\\", {}},
        ResolveCase{"Empty", u"", u"C:\\", u"C:\\", u"C:\\", {kNoPath}},
        ResolveCase{"NetworkShare",
                    u"\\\\server\\share\\Varnolet 7\\Data\\hmap.dat",
                    u"\\\\server\\share\\Varnolet 7\\Data\\hmap.dat",
                    u"\\\\server\\share\\Varnolet 7\\Data\\",
                    u"C:\\",
                    {}}),
    [](const testing::TestParamInfo<ResolveCase>& row) { return row.param.name; });

TEST_F(FileTest, DirectoryPathsAreResolvedWithATrailingBackslash) {
  struct Case {
    std::u16string given;
    std::u16string path;
  };
  files.AddNetworkShare(u"\\\\server\\share");
  const Case cases[] = {
      {u"\\Data", u"C:\\Data\\"},
      {u"Logs", u"C:\\Logs\\"},
      {u"C:\\Users\\x", u"C:\\Users\\x\\"},
      {u"C:\\Users\\y\\", u"C:\\Users\\y\\"},
      {u"\\\\server\\share\\Varnolet 7", u"\\\\server\\share\\Varnolet 7\\"},
  };
  files.AddFolder(u"C:\\Users");
  for (const Case& c : cases) {
    EXPECT_TRUE(drive.Directory.Create(c.given)) << Narrow(c.given);
    EXPECT_EQ(drive.Directory.CurrentPath(), c.path);
    EXPECT_TRUE(files.IsFolder(c.path));
  }
}

TEST_F(FileTest, CreatingAnExistingFolderFailsWithTheSystemText) {
  files.AddFolder(u"C:\\Data");
  EXPECT_FALSE(drive.Directory.Create(u"C:\\Data"));
  EXPECT_EQ(drive.Log().Entries().back(),
            Line(u"CDirectory,Create(),CreateDirectory(),NULL," + system.Text(win_error::kAlreadyExists)));
  EXPECT_EQ(drive.GetLastErrorText(), system.Text(win_error::kAlreadyExists));
}

// ---------------------------------------------------------------- drives

TEST(DriveListTest, RootsInTheSystemOrderAndTheFirstAsCurrent) {
  FakeSystem system;
  FakeFiles files(system, {u"A:\\", u"C:\\", u"D:\\"});
  CDrive drive(files, system, system);
  EXPECT_EQ(drive.Drives(), (std::vector<std::u16string>{u"A:\\", u"C:\\", u"D:\\"}));
  EXPECT_EQ(drive.CurrentRoot(), u"A:\\");
  EXPECT_TRUE(drive.CheckDrive(u"c:\\"));
  EXPECT_TRUE(drive.CheckDrive(u"C:\\"));
  EXPECT_FALSE(drive.CheckDrive(u"E:\\"));
}

TEST(DriveListTest, NoDrivesLeavesTheSystemDriveAsRoot) {
  FakeSystem system;
  FakeFiles files(system, {});
  CDrive drive(files, system, system);
  EXPECT_TRUE(drive.Drives().empty());
  EXPECT_EQ(drive.CurrentRoot(), u"C:\\");
}

TEST(DriveListTest, FailedDriveQueryIsRecorded) {
  FakeSystem system;
  FakeFiles files(system);
  files.failures.FailNext("LogicalDriveStrings", 5);
  CDrive drive(files, system, system);
  EXPECT_EQ(drive.Log().Entries().back(),
            Line(u"CDrive,GetDrives(),GetLogicalDriveStrings(),NULL," + system.Text(5)));
  EXPECT_EQ(drive.CurrentRoot(), u"C:\\");
}

// ----------------------------------------------------------------- files

TEST_F(FileTest, CreateFailsOnAnExistingFileAndTruncateEmptiesIt) {
  files.AddFile(u"C:\\d\\x.dat", std::string("abc"));
  EXPECT_FALSE(file.Create(u"C:\\d\\x.dat"));
  EXPECT_EQ(drive.GetLastErrorText(), system.Text(win_error::kFileExists));
  EXPECT_EQ(drive.Log().Entries().back(),
            Line(u"CFile,Create(),CreateFile(),NULL," + system.Text(win_error::kFileExists)));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(drive.LastResult(), 0);

  EXPECT_TRUE(file.Truncate(u"C:\\d\\x.dat"));
  EXPECT_TRUE(file.Close());
  EXPECT_TRUE(Bytes(u"C:\\d\\x.dat").empty());
}

TEST_F(FileTest, OpenOfAMissingFileLeavesNoFileOpen) {
  EXPECT_FALSE(file.Open(u"C:\\missing.dat"));
  EXPECT_EQ(drive.GetLastErrorText(), system.Text(win_error::kFileNotFound));
  std::uint32_t size = 0;
  EXPECT_FALSE(file.Size(size));
  EXPECT_EQ(drive.Log().Entries().back(), Line(u"CFile,Size(),NULL,NULL,No file is currently open"));
}

TEST_F(FileTest, MarksAreWrittenOnlyFromTheBeginning) {
  struct Case {
    ByteOrderMark mark;
    std::uint32_t origin;
    std::vector<std::uint8_t> bytes;
  };
  const Case cases[] = {
      {ByteOrderMark::Utf16LE, FileOrigin::Begin, {0xFF, 0xFE, 'h', 0}},
      {ByteOrderMark::Utf16BE, FileOrigin::Begin, {0xFE, 0xFF, 'h', 0}},
      {ByteOrderMark::Utf8, FileOrigin::Begin, {0xEF, 0xBB, 0xBF, 'h', 0}},
      {ByteOrderMark::None, FileOrigin::Begin, {'h', 0}},
      {static_cast<ByteOrderMark>(7), FileOrigin::Begin, {'h', 0}},
      {ByteOrderMark::Utf16LE, FileOrigin::Current, {'h', 0}},
      {ByteOrderMark::Utf8, FileOrigin::End, {'h', 0}},
  };
  const std::uint8_t data[] = {'h', 0};
  for (const Case& c : cases) {
    ASSERT_TRUE(file.Truncate(u"C:\\m.dat"));
    EXPECT_TRUE(file.Write(data, 2, c.origin, c.mark));
    ASSERT_TRUE(file.Close());
    EXPECT_EQ(Bytes(u"C:\\m.dat"), c.bytes) << static_cast<int>(c.mark) << " " << c.origin;
  }
}

TEST_F(FileTest, FailedMarkWriteKeepsTheDataBack) {
  ASSERT_TRUE(file.Truncate(u"C:\\m.dat"));
  files.failures.FailNext("WriteBytes", 112);
  const std::uint8_t data[] = {'h', 0};
  EXPECT_FALSE(file.Write(data, 2, FileOrigin::Begin, ByteOrderMark::Utf16LE));
  EXPECT_EQ(drive.Log().Entries().back(),
            Line(u"CFile,Write(),WriteFile(),UTF16LE Byte Order Mark," + system.Text(112)));
  ASSERT_TRUE(file.Close());
  EXPECT_TRUE(Bytes(u"C:\\m.dat").empty());
}

TEST_F(FileTest, FailedPointerMoveIsRecordedAndTheWriteGoesOn) {
  ASSERT_TRUE(file.Truncate(u"C:\\m.dat"));
  files.failures.FailNext("MovePointer", 87);
  const std::uint8_t data[] = {1, 2};
  EXPECT_TRUE(file.Write(data, 2, FileOrigin::Current, ByteOrderMark::None));
  const auto& entries = drive.Log().Entries();
  ASSERT_GE(entries.size(), 2u);
  EXPECT_EQ(entries[entries.size() - 2],
            Line(u"CFile,SetPointer(),SetFilePointerEx(),NULL," + system.Text(87)));
  EXPECT_EQ(entries.back(), Line(u"CFile,Write(),SetPointer(),NULL,Function failed"));
  ASSERT_TRUE(file.Close());
  EXPECT_EQ(Bytes(u"C:\\m.dat"), (std::vector<std::uint8_t>{1, 2}));
}

TEST_F(FileTest, ReadPastTheEndSucceedsAndLeavesTheBufferAlone) {
  files.AddFile(u"C:\\r.dat", std::string("ab"));
  ASSERT_TRUE(file.Open(u"C:\\r.dat"));
  std::uint8_t buffer[4] = {9, 9, 9, 9};
  EXPECT_TRUE(file.Read(buffer, 4, FileOrigin::Current));
  EXPECT_EQ(buffer[0], 'a');
  EXPECT_EQ(buffer[1], 'b');
  EXPECT_EQ(buffer[2], 9);
  std::uint8_t more[2] = {7, 7};
  EXPECT_TRUE(file.Read(more, 2, FileOrigin::Current));
  EXPECT_EQ(more[0], 7);
  std::uint32_t size = 0;
  EXPECT_TRUE(file.Size(size));
  EXPECT_EQ(size, 2u);
  EXPECT_TRUE(file.Close());
}

TEST_F(FileTest, OperationsWithoutAnOpenFileRecordTheirEntries) {
  std::uint8_t byte = 0;
  std::uint32_t size = 0;
  EXPECT_FALSE(file.Write(&byte, 1, FileOrigin::Current, ByteOrderMark::None));
  EXPECT_FALSE(file.Read(&byte, 1, FileOrigin::Current));
  EXPECT_FALSE(file.SetPointer(0, FileOrigin::Begin));
  EXPECT_FALSE(file.Size(size));
  EXPECT_FALSE(file.Close());
  const std::vector<std::u16string> expected = {
      Line(u"CFile,Write(),NULL,NULL,No file is currently open"),
      Line(u"CFile,Read(),NULL,NULL,No file is currently open"),
      Line(u"CFile,SetPointer(),NULL,NULL,No file is currently open"),
      Line(u"CFile,Size(),NULL,NULL,No file is currently open"),
      Line(u"CFile,Close(),NULL,NULL,No file currently open"),
  };
  EXPECT_EQ(drive.Log().Entries(), expected);
  EXPECT_EQ(drive.GetLastErrorText(), u"No file currently open");
  EXPECT_TRUE(files.failures.Calls().size() == 1);  // only the drive query at construction
}

TEST_F(FileTest, CloseTwiceFailsTheSecondTime) {
  ASSERT_TRUE(file.Truncate(u"C:\\c.dat"));
  EXPECT_TRUE(file.Close());
  EXPECT_FALSE(file.Close());
  EXPECT_EQ(drive.GetLastErrorText(), u"No file currently open");
  EXPECT_EQ(files.OpenHandleCount(), 0);
}

TEST_F(FileTest, FailedCloseKeepsTheHandle) {
  ASSERT_TRUE(file.Truncate(u"C:\\c.dat"));
  files.failures.FailNext("CloseFileHandle", 6);
  EXPECT_FALSE(file.Close());
  EXPECT_EQ(drive.Log().Entries().back(), Line(u"CFile,Close(),CloseHandle(),NULL," + system.Text(6)));
  EXPECT_TRUE(file.IsOpen());
  EXPECT_TRUE(file.Close());
}

TEST_F(FileTest, SizeFailureUsesItsOwnEntry) {
  ASSERT_TRUE(file.Truncate(u"C:\\s.dat"));
  files.failures.FailNext("QuerySize", 6);
  std::uint32_t size = 5;
  EXPECT_FALSE(file.Size(size));
  EXPECT_EQ(size, 5u);
  EXPECT_EQ(drive.Log().Entries().back(), Line(u"CFile,Size(),NULL,NULL," + system.Text(6)));
}

TEST_F(FileTest, DestroyingTheFamilyClosesAnOpenFile) {
  {
    CDrive local(files, system, system);
    ASSERT_TRUE(local.Directory.File.Truncate(u"C:\\open.dat"));
    EXPECT_EQ(files.OpenHandleCount(), 1);
  }
  EXPECT_EQ(files.OpenHandleCount(), 0);
}

// --------------------------------------------------- replace and discard

TEST_F(FileTest, ReplacePutsTheFileInPlaceAndRecordsAFailure) {
  files.AddFile(u"C:\\d\\x.dat", std::string("old"));
  files.AddFile(u"C:\\d\\x.dat.tmp", std::string("new"));
  EXPECT_TRUE(file.Replace(u"C:\\d\\x.dat.tmp", u"C:\\d\\x.dat"));
  EXPECT_EQ(files.Text(u"C:\\d\\x.dat"), "new");
  EXPECT_FALSE(files.Exists(u"C:\\d\\x.dat.tmp"));
  EXPECT_TRUE(drive.Log().Entries().empty());

  EXPECT_FALSE(file.Replace(u"C:\\d\\x.dat.tmp", u"C:\\d\\x.dat"));
  EXPECT_EQ(drive.GetLastErrorText(), system.Text(win_error::kFileNotFound));
  EXPECT_EQ(drive.Log().Entries().back(),
            Line(u"CFile,Replace(),MoveFileEx(),NULL," + system.Text(win_error::kFileNotFound)));
  EXPECT_EQ(drive.LastResult(), 0);
}

TEST_F(FileTest, DiscardRemovesAFileAndKeepsTheReasonWhenItCannot) {
  files.AddFile(u"C:\\d\\x.dat.tmp", std::string("new"));
  file.Discard(u"C:\\d\\x.dat.tmp");
  EXPECT_FALSE(files.Exists(u"C:\\d\\x.dat.tmp"));

  ASSERT_FALSE(file.Open(u"C:\\d\\missing.dat"));
  const std::size_t entries = drive.Log().Entries().size();
  files.AddFile(u"C:\\d\\x.dat.tmp", std::string("new"));
  files.failures.FailNext("RemoveFile", win_error::kAccessDenied);
  file.Discard(u"C:\\d\\x.dat.tmp");
  EXPECT_TRUE(files.Exists(u"C:\\d\\x.dat.tmp"));
  EXPECT_EQ(drive.GetLastErrorText(), system.Text(win_error::kFileNotFound));
  EXPECT_EQ(drive.Log().Entries().size(), entries);
}

// A safe replace that fails at any step leaves the file as it was, removes
// the replacement and keeps the failed step's own reason.
struct SafeReplaceCase {
  const char* name;
  const char* operation;  // the file call that fails
  int passes;             // its calls that succeed first
  bool contentWritten;    // what the content writer returns
  ReplaceStep step;
  std::uint32_t reason;  // the system error of the last error text
};

class SafeReplaceTest : public FileTest, public testing::WithParamInterface<SafeReplaceCase> {};

TEST_P(SafeReplaceTest, StopsAtTheFailedStep) {
  const SafeReplaceCase& c = GetParam();
  const std::u16string path = u"C:\\d\\map.dat";
  system.texts[112] = u"There is not enough space on the disk. ";
  files.AddFile(path, std::string("old"));
  ASSERT_FALSE(file.Open(u"C:\\d\\missing.dat"));  // an earlier reason, which the failure replaces
  if (c.operation != nullptr) files.failures.FailAfter(c.operation, c.passes, c.reason);
  // The cleanup's own removal fails too: it must not become the reason.
  if (c.step != ReplaceStep::Done && c.step != ReplaceStep::Create)
    files.failures.FailNext("RemoveFile", win_error::kAccessDenied);
  const ReplaceStep step = ReplaceSafely(file, path, [&] {
    if (!file.Write("new", 3, FileOrigin::Current, ByteOrderMark::None)) return false;
    return c.contentWritten;
  });
  EXPECT_EQ(step, c.step);
  EXPECT_EQ(file.IsOpen(), c.step == ReplaceStep::Close);  // a failed close keeps the handle
  EXPECT_EQ(files.Text(path), c.step == ReplaceStep::Done ? "new" : "old");
  EXPECT_EQ(files.failures.CountOf("RemoveFile"),
            c.step == ReplaceStep::Done || c.step == ReplaceStep::Create ? 0 : 1);
  EXPECT_EQ(drive.GetLastErrorText(), system.Text(c.reason));
}

INSTANTIATE_TEST_SUITE_P(
    Steps, SafeReplaceTest,
    testing::Values(
        SafeReplaceCase{"Done", nullptr, 0, true, ReplaceStep::Done, win_error::kFileNotFound},
        SafeReplaceCase{"Create", "OpenHandle", 0, true, ReplaceStep::Create, win_error::kAccessDenied},
        SafeReplaceCase{"Write", "WriteBytes", 0, true, ReplaceStep::Content, 112},
        SafeReplaceCase{"ContentRefused", nullptr, 0, false, ReplaceStep::Content, win_error::kFileNotFound},
        SafeReplaceCase{"Close", "CloseFileHandle", 0, true, ReplaceStep::Close, 6},
        SafeReplaceCase{"Replace", "MoveReplacing", 0, true, ReplaceStep::Replace, 32}),
    [](const testing::TestParamInfo<SafeReplaceCase>& row) { return std::string(row.param.name); });

// ------------------------------------------------------ version resources

TEST_F(FileTest, ProductNameComesFromTheFirstTranslation) {
  files.SetVersionResource(u"C:\\p\\a.exe", {{0x0408, 0x04E4, 0x0409, 0x04B0},
                                             {{u"\\StringFileInfo\\040804e4\\ProductName", u"Πρόγραμμα"},
                                              {u"\\StringFileInfo\\040904b0\\ProductName", u"Program"}}});
  EXPECT_EQ(file.FileInformation.Get(u"C:\\p\\a.exe", u"ProductName"), u"Πρόγραμμα");
  EXPECT_TRUE(drive.Log().Entries().empty());
}

TEST_F(FileTest, VersionResourceFailuresGiveAnEmptyTextAndTheirEntry) {
  struct Case {
    const char* name;
    std::function<void(FakeFiles&)> arrange;
    std::u16string key;
    std::u16string entry;
  };
  const std::u16string path = u"C:\\p\\b.exe";
  const Case cases[] = {
      {"NoResource", [&](FakeFiles& f) { f.AddFile(path); }, u"ProductName",
       u"CFile::CFileInformation,Get(),GetFileVersionInfoSize(),Specified file,"},
      {"ReadFails",
       [&](FakeFiles& f) {
         f.SetVersionResource(path, {{0x0409, 0x04B0}, {}});
         f.failures.FailNext("VersionInfo", 5);
       },
       u"ProductName", u"CFile::CFileInformation,Get(),GetFileVersionInfo(),Specified file,"},
      {"NoTranslation",
       [&](FakeFiles& f) {
         f.SetVersionResource(path, {{}, {}});
       },
       u"ProductName", u"CFile::CFileInformation,Get(),VerQueryValue(),Specified file,"},
      {"HalfAPair",
       [&](FakeFiles& f) {
         f.SetVersionResource(path, {{0x0409}, {}});
       },
       u"ProductName", u"CFile::CFileInformation,Get(),VerQueryValue(),Specified file,"},
      {"NoSuchKey",
       [&](FakeFiles& f) {
         f.SetVersionResource(path, {{0x0409, 0x04B0}, {}});
       },
       u"ProductName", u"CFile::CFileInformation,Get(),VerQueryValue(),Specified file,"},
      {"KeyTooLong",
       [&](FakeFiles& f) {
         f.SetVersionResource(path, {{0x0409, 0x04B0}, {}});
       },
       std::u16string(1010, u'k'), u"CFile::CFileInformation,Get(),StringCchPrintf(),Specified file,"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeSystem sys;
    FakeFiles fake(sys);
    CDrive local(fake, sys, sys);
    c.arrange(fake);
    EXPECT_EQ(local.Directory.File.FileInformation.Get(path, c.key), u"");
    ASSERT_FALSE(local.Log().Entries().empty());
    const std::u16string& last = local.Log().Entries().back();
    EXPECT_EQ(last.substr(0, std::u16string(kStamp).size() + 2 + c.entry.size()), Line(c.entry));
  }
}

}  // namespace
}  // namespace varnolet
