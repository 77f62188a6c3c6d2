// The device-link map on real files and the endpoint GUID conversion with
// Wine's CLSIDFromString.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <vector>

#include "support/activity_log.h"
#include "link/device_link_file.h"
#include "link/device_link_file_win32.h"
#include "link/link_test_files.h"
#include "link/processes_win32.h"
#include "support/clock_win32.h"
#include "support/file.h"
#include "support/file_win32.h"
#include "support/system_messages_win32.h"
#include "wine_support.h"

namespace varnolet {
namespace {

using Bytes = std::vector<std::uint8_t>;

using test_files::kOneLink;

class LinkMapWineTest : public testing::Test {
 protected:
  void SetUp() override {
    data = wine::FreshFolder(Ascii(testing::UnitTest::GetInstance()->current_test_info()->name()));
    data.pop_back();  // the data path has no trailing backslash
    CreateDirectoryW(as_wide(data + u"\\Varnolet 7"), nullptr);
    CreateDirectoryW(as_wide(data + u"\\Varnolet 7\\Data"), nullptr);
    map.emplace(log, drive, DeviceLinkFile::MapPath(data));
  }

  static Bytes Read(const std::u16string& path) { return wine::ReadFileBytes(path); }
  static void Write(const std::u16string& path, const Bytes& bytes) {
    HANDLE handle = CreateFileW(as_wide(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(handle);
  }
  static bool Exists(const std::u16string& path) {
    return GetFileAttributesW(as_wide(path)) != INVALID_FILE_ATTRIBUTES;
  }

  Win32SystemMessages messages;
  CrtClock clock;
  Win32FileApi files;
  Win32ClsidApi clsid;
  CDrive drive{files, messages, clock};
  ActivityLog log{clock, messages};
  std::u16string data;
  std::optional<DeviceLinkFile> map;
};

TEST_F(LinkMapWineTest, TheOneLinkExampleIsWrittenAndReadBack) {
  const DEVICELINK link{
      EndpointIdToGuid(u"{0.0.0.00000000}.{00112233-4455-6677-8899-AABBCCDDEEFF}", clsid, log), u"Ab",
      u"C:\\x.exe"};
  ASSERT_TRUE(log.Lines().empty());
  Write(map->Path(), Bytes{0xB1, 0xB2, 0xB3, 0, 0, 0, 0});
  ASSERT_TRUE(map->SaveDeviceLinks({link}));
  EXPECT_EQ(Read(map->Path()), kOneLink);
  EXPECT_FALSE(Exists(map->PendingPath()));

  std::vector<DEVICELINK> links;
  ASSERT_TRUE(map->LoadDeviceLinks(links));
  EXPECT_EQ(links, std::vector<DEVICELINK>{link});
  EXPECT_TRUE(log.Lines().empty());
}

TEST_F(LinkMapWineTest, ADamagedMapIsKeptAsBadAndReset) {
  const Bytes damaged = {0xEF, 0xBB, 0xBF, 0x41, 0x42, 0x43, 0x44, 0x45};
  Write(map->Path(), damaged);
  Write(map->DamagedPath(), Bytes{1, 2, 3});
  Win32ProcessApi processApi;
  Win32TokenApi tokenApi;
  Win32WmiApi wmiApi;
  CPrivileges privileges{tokenApi, messages, clock};
  CProcesses processes{wmiApi, processApi, privileges, messages, clock};
  bool failed = false;
  std::vector<DEVICELINK> links;

  EXPECT_TRUE(map->InitializeDeviceLink(0, processes, failed, links));
  EXPECT_TRUE(failed);
  EXPECT_EQ(Read(map->DamagedPath()), damaged);
  ASSERT_TRUE(Exists(map->Path()));
  EXPECT_TRUE(Read(map->Path()).empty());
  EXPECT_TRUE(links.empty());
}

TEST_F(LinkMapWineTest, EndpointIdentifiersConvertWithTheSystem) {
  const ComGuid capture =
      EndpointIdToGuid(u"{0.0.1.00000000}.{a45c254e-df1c-4efd-8020-67d146a850e0}", clsid, log);
  EXPECT_EQ(capture, (ComGuid{0xA45C254E, 0xDF1C, 0x4EFD, {0x80, 0x20, 0x67, 0xD1, 0x46, 0xA8, 0x50, 0xE0}}));
  EXPECT_TRUE(log.Lines().empty());

  ComGuid guid;
  EXPECT_EQ(clsid.ClsidFromText(u"{00112233-4455-6677-8899-AABBCCDDEEFF", &guid), CO_E_CLASSSTRING);
  const ComGuid failedGuid =
      EndpointIdToGuid(u"{0.0.0.00000000}.{00112233-4455-6677-8899-AABBCCDDEEFF", clsid, log);
  EXPECT_TRUE(failedGuid.IsNull());
  ASSERT_EQ(log.Lines().size(), 1u);
  EXPECT_NE(log.Lines()[0].find(u" :: "), std::u16string::npos);
  EXPECT_EQ(log.Lines()[0].substr(log.Lines()[0].find(u" :: ") + 4),
            u"  -Could not convert CLSID string, The class string was improperly formatted");
}

}  // namespace
}  // namespace varnolet
