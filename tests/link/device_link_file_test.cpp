#include "link/device_link_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "support/text.h"

#include "fakes/fake_files.h"
#include "fakes/fake_link.h"
#include "fakes/fake_processes.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_system.h"
#include "link_test_files.h"

namespace varnolet {
namespace {

using fakes::FakeClsid;
using fakes::FakeFiles;
using fakes::FakeProcessTable;
using fakes::FakeRegistry;
using fakes::FakeSystem;
using fakes::FakeToken;
using fakes::FakeWmi;
using fakes::GuidOf;
using fakes::kStamp;
using test_files::Bytes;
using test_files::Concat;
using test_files::DamagedLinkMap;
using test_files::kEmptyList;
using test_files::kOneLink;
using test_files::kRecordHead;

std::u16string L(std::u16string_view text, std::u16string_view extra = {}) {
  return std::u16string(kStamp) + u" :: " + std::u16string(text) + std::u16string(extra);
}

constexpr char16_t kRenderId[] = u"{0.0.0.00000000}.{00112233-4455-6677-8899-AABBCCDDEEFF}";

class DeviceLinkFileTest : public testing::Test {
 protected:
  DeviceLinkFileTest() {
    files.AddFolder(data + u"\\Varnolet 7\\Data");
    system.texts[299] = u"Only part of a request was completed. ";
  }

  DEVICELINK Example() { return DEVICELINK{EndpointIdToGuid(kRenderId, clsid, log), u"Ab", u"C:\\x.exe"}; }
  Bytes FileBytes(const std::u16string& at) { return files.Bytes(at).value_or(Bytes{}); }
  bool Initialize(std::int32_t setting) {
    return map.InitializeDeviceLink(setting, processes, failed, links);
  }

  FakeSystem system;
  FakeFiles files{system};
  CDrive drive{files, system, system};
  ActivityLog log{system, system};
  FakeClsid clsid;
  const std::u16string data = u"C:\\Users\\Ann\\AppData\\Roaming";
  const std::u16string path = DeviceLinkFile::MapPath(data);
  DeviceLinkFile map{log, drive, path};

  FakeProcessTable table{system};
  FakeToken token{system};
  FakeWmi wmi;
  CPrivileges privileges{token, system, system};
  CProcesses processes{wmi, table, privileges, system, system};
  bool failed = false;
  // The main form's list before a load: a failed load must leave it as it is.
  const std::vector<DEVICELINK> kBefore = {
      DEVICELINK{GuidOf(u"{99999999-0000-0000-0000-000000000001}"), u"Old", u"C:\\old.exe"}};
  std::vector<DEVICELINK> links = kBefore;
};

TEST_F(DeviceLinkFileTest, MapPathIsInTheDataFolder) {
  EXPECT_EQ(path, u"C:\\Users\\Ann\\AppData\\Roaming\\Varnolet 7\\Data\\dlmap.dat");
  EXPECT_EQ(map.DamagedPath(), path + u".bad");
}

// ------------------------------------------------------------------- save

TEST_F(DeviceLinkFileTest, OneLinkIsWrittenAsFiftyOneBytes) {
  ASSERT_TRUE(map.SaveDeviceLinks({Example()}));
  EXPECT_EQ(FileBytes(path), kOneLink);
  EXPECT_EQ(kOneLink.size(), 51u);
  EXPECT_FALSE(files.Exists(map.PendingPath()));
  EXPECT_EQ(files.OpenHandleCount(), 0);
  EXPECT_TRUE(log.Lines().empty());
}

TEST_F(DeviceLinkFileTest, AnEmptyListIsTheSignatureAndAZeroCount) {
  files.AddFile(path, kOneLink);
  ASSERT_TRUE(map.SaveDeviceLinks({}));
  EXPECT_EQ(FileBytes(path), kEmptyList);
}

TEST_F(DeviceLinkFileTest, SavedLinksLoadBackInOrder) {
  const std::vector<DEVICELINK> saved = {
      Example(),
      DEVICELINK{GuidOf(u"{0A0B0C0D-1111-2222-3333-444455556666}"), u"",
                 u"D:\\\u03A0\u03C1\u03CC\u03B3\u03C1\u03B1\u03BC\u03BC\u03B1\\rec.exe"},
      DEVICELINK{GuidOf(u"{FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFE}"), u"Player Pro", u"C:\\x.exe"}};
  ASSERT_TRUE(map.SaveDeviceLinks(saved));
  ASSERT_TRUE(map.LoadDeviceLinks(links));
  EXPECT_EQ(links, saved);
  EXPECT_TRUE(log.Lines().empty());
  EXPECT_EQ(files.OpenHandleCount(), 0);
}

class SaveWriteFailureTest : public DeviceLinkFileTest, public testing::WithParamInterface<int> {};

TEST_P(SaveWriteFailureTest, LeavesThePreviousMap) {
  const int write = GetParam();  // one link: signature, N, GUID, L1, name, L2, path
  files.AddFile(path, kEmptyList);
  files.failures.FailAfter("WriteBytes", write, 112);  // disk full
  system.texts[112] = u"There is not enough space on the disk. ";

  EXPECT_FALSE(map.SaveDeviceLinks({Example()}));
  const std::u16string line = write == 0 ? u"  -Could not write signature to device link configuration file, "
                                         : u"  -Could not write data to device link configuration file, ";
  EXPECT_EQ(log.Lines(), std::vector<std::u16string>{L(line, system.Text(112))});
  EXPECT_EQ(FileBytes(path), kEmptyList);
  EXPECT_FALSE(files.Exists(map.PendingPath()));
  EXPECT_EQ(files.OpenHandleCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(EachWrite, SaveWriteFailureTest, testing::Range(0, 7));

struct SaveStepFailure {
  const char* name;
  const char* op;
  int passes;
  const char16_t* line;
};

class SaveStepFailureTest : public DeviceLinkFileTest, public testing::WithParamInterface<SaveStepFailure> {};

TEST_P(SaveStepFailureTest, LeavesThePreviousMap) {
  const SaveStepFailure& c = GetParam();
  files.AddFile(path, kOneLink);
  files.failures.FailAfter(c.op, c.passes, 5);
  EXPECT_FALSE(map.SaveDeviceLinks({}));
  EXPECT_EQ(log.Lines(), std::vector<std::u16string>{L(c.line, system.Text(5))});
  EXPECT_EQ(FileBytes(path), kOneLink);
  EXPECT_FALSE(files.Exists(map.PendingPath()));
}

INSTANTIATE_TEST_SUITE_P(
    Steps, SaveStepFailureTest,
    testing::Values(SaveStepFailure{"Create", "OpenHandle", 0,
                                    u"  -Could not create device link configuration file, "},
                    SaveStepFailure{"Close", "CloseFileHandle", 0,
                                    u"  -Could not close device link configuration file, "},
                    SaveStepFailure{"Replace", "MoveReplacing", 0,
                                    u"  -Could not replace device link configuration file, "}),
    [](const testing::TestParamInfo<SaveStepFailure>& row) { return std::string(row.param.name); });

// ------------------------------------------------------------------- load

TEST_F(DeviceLinkFileTest, TheOneLinkExampleLoads) {
  files.AddFile(path, kOneLink);
  ASSERT_TRUE(map.LoadDeviceLinks(links));
  EXPECT_EQ(links, std::vector<DEVICELINK>{Example()});
  EXPECT_EQ(links[0].endpoint.data1, 0x00112233u);
}

TEST_F(DeviceLinkFileTest, AZeroByteFileLoadsAndLeavesTheListAlone) {
  files.AddFile(path, Bytes{});
  ASSERT_TRUE(Initialize(0));
  EXPECT_EQ(links, kBefore);
  EXPECT_EQ(log.Lines(),
            (std::vector<std::u16string>{L(u"Initializing device link setting . . ."),
                                         L(u"  -Device link configuration file is empty"),
                                         L(u"  -Device link configuration file loaded"), L(u"  -Disabled"),
                                         L(u"  -Unregistered from receiving new process notification")}));
  EXPECT_FALSE(failed);
  EXPECT_EQ(files.OpenHandleCount(), 0);
}

TEST_F(DeviceLinkFileTest, AnEmptyListLoadsAsNoLinks) {
  files.AddFile(path, kEmptyList);
  ASSERT_TRUE(Initialize(0));
  EXPECT_TRUE(links.empty());
  EXPECT_EQ(log.Lines()[1], L(u"  -Device link configuration file loaded"));
  EXPECT_FALSE(failed);
}

class RejectedMapTest : public DeviceLinkFileTest, public testing::WithParamInterface<DamagedLinkMap> {};

TEST_P(RejectedMapTest, IsKeptAsBadAndResetWithTheListUnchanged) {
  const DamagedLinkMap& c = GetParam();
  files.AddFile(path, c.bytes);
  files.AddFile(map.DamagedPath(), "an older damaged map");

  EXPECT_TRUE(Initialize(0));  // false only for a failed subscription
  const std::u16string reason = c.fault == DeviceLinkMapFault::WrongSignature
                                    ? L(u"  -Could not verify file signature, ", drive.GetLastErrorText())
                                    : L(u"  -Device link configuration file has an invalid format");
  EXPECT_EQ(log.Lines(),
            (std::vector<std::u16string>{
                L(u"Initializing device link setting . . ."), reason,
                L(u"  -Could not load device link configuration file, ", drive.GetLastErrorText()),
                L(u"  -Damaged device link configuration file kept as ", map.DamagedPath()),
                L(u"  -Disabled"), L(u"  -Unregistered from receiving new process notification")}));
  EXPECT_TRUE(failed);
  EXPECT_EQ(links, kBefore);
  ASSERT_TRUE(files.Exists(path));
  EXPECT_TRUE(FileBytes(path).empty());
  EXPECT_EQ(FileBytes(map.DamagedPath()), c.bytes);
  EXPECT_EQ(files.OpenHandleCount(), 0);

  // The next load finds the empty map.
  EXPECT_TRUE(map.LoadDeviceLinks(links));
  EXPECT_EQ(links, kBefore);
}

INSTANTIATE_TEST_SUITE_P(Cases, RejectedMapTest, testing::ValuesIn(test_files::DamagedLinkMaps()),
                         [](const testing::TestParamInfo<DamagedLinkMap>& row) {
                           return std::string(row.param.name);
                         });

TEST_F(DeviceLinkFileTest, ACountPastTheEndIsRejectedBeforeAnyRecordIsRead) {
  // Room for one record, a count of four billion.
  files.AddFile(path, Concat({{0xB1, 0xB2, 0xB3, 0xFF, 0xFF, 0xFF, 0xFF}, kRecordHead, Bytes(8, 0)}));
  EXPECT_FALSE(map.LoadDeviceLinks(links));
  EXPECT_TRUE(map.LastLoadRejected());
  EXPECT_EQ(files.failures.CountOf("ReadBytes"), 2);  // the signature, then the rest
  EXPECT_EQ(links, kBefore);
}

struct UntouchedCase {
  const char* name;
  const char* op;
  int passes;
  std::uint32_t code;
  const char16_t* line;  // the reader's own line, or nullptr
};

class UnreadMapTest : public DeviceLinkFileTest, public testing::WithParamInterface<UntouchedCase> {};

TEST_P(UnreadMapTest, IsLeftUntouched) {
  const UntouchedCase& c = GetParam();
  files.AddFile(path, kOneLink);
  files.failures.FailAfter(c.op, c.passes, c.code);

  EXPECT_TRUE(Initialize(0));
  std::vector<std::u16string> expected = {L(u"Initializing device link setting . . .")};
  if (c.line != nullptr) expected.push_back(L(c.line, system.Text(c.code)));
  expected.push_back(L(u"  -Could not load device link configuration file, ", system.Text(c.code)));
  expected.push_back(L(u"  -Disabled"));
  expected.push_back(L(u"  -Unregistered from receiving new process notification"));
  EXPECT_EQ(log.Lines(), expected);
  EXPECT_TRUE(failed);
  EXPECT_EQ(links, kBefore);
  EXPECT_EQ(FileBytes(path), kOneLink);
  EXPECT_FALSE(files.Exists(map.DamagedPath()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnreadMapTest,
    testing::Values(UntouchedCase{"Open", "OpenHandle", 0, 32,
                                  u"  -Could not open device link configuration file, "},
                    UntouchedCase{"Size", "QuerySize", 0, 6,
                                  u"  -Could not determine device link configuration file size, "},
                    UntouchedCase{"Signature", "ReadBytes", 0, 299,
                                  u"  -Could not read evice link configuration file signature, "},
                    UntouchedCase{"CountAndRecords", "ReadBytes", 1, 299, nullptr},
                    UntouchedCase{"Close", "CloseFileHandle", 0, 6,
                                  u" --Could not close device link configuration file, "}),
    [](const testing::TestParamInfo<UntouchedCase>& row) { return std::string(row.param.name); });

TEST_F(DeviceLinkFileTest, AMissingMapIsNotCreatedByTheLoad) {
  EXPECT_TRUE(Initialize(0));
  EXPECT_EQ(log.Lines()[1], L(u"  -Could not open device link configuration file, ", system.Text(2)));
  EXPECT_TRUE(failed);
  EXPECT_FALSE(files.Exists(path));
}

TEST_F(DeviceLinkFileTest, ADamagedMapThatCannotBeKeptIsStillReset) {
  files.AddFile(path, Bytes{0xEF, 0xBB, 0xBF, 0x41, 0x42, 0x43, 0x44});
  files.failures.FailNext("MoveReplacing", 5);
  Initialize(0);
  EXPECT_EQ(log.Lines()[3], L(u"  -Could not keep damaged device link configuration file, ", system.Text(5)));
  EXPECT_TRUE(FileBytes(path).empty());
  EXPECT_FALSE(files.Exists(map.DamagedPath()));
}

TEST_F(DeviceLinkFileTest, AFailedResetIsLogged) {
  files.AddFile(path, Bytes{0xB1, 0xB2});
  files.failures.FailAfter("OpenHandle", 1, 5);
  Initialize(0);
  EXPECT_EQ(log.Lines()[4], L(u"  -Could not reset device link configuration file, ", system.Text(5)));
  EXPECT_EQ(log.Lines()[5], L(u"  -Disabled"));
  EXPECT_TRUE(failed);
}

TEST_F(DeviceLinkFileTest, AFailedCloseAfterTheResetIsLogged) {
  files.AddFile(path, Bytes{0xB1, 0xB2});
  files.failures.FailAfter("CloseFileHandle", 1, 6);
  Initialize(0);
  EXPECT_EQ(log.Lines()[4], L(u"  -Could not close device link configuration file, ", system.Text(6)));
}

// -------------------------------------------------------- InitializeDeviceLink

TEST_F(DeviceLinkFileTest, EnabledLoadsAndSubscribes) {
  files.AddFile(path, kOneLink);
  ASSERT_TRUE(Initialize(1));
  EXPECT_EQ(log.Lines(),
            (std::vector<std::u16string>{L(u"Initializing device link setting . . ."),
                                         L(u"  -Device link configuration file loaded"), L(u"  -Enabled"),
                                         L(u"  -Registered for receiving new process notification")}));
  EXPECT_EQ(links, std::vector<DEVICELINK>{Example()});
  EXPECT_FALSE(failed);
  EXPECT_EQ(wmi.ActiveSubscriptions(), 1);

  // Run again (after the Options dialog): still one subscription.
  ASSERT_TRUE(Initialize(1));
  EXPECT_EQ(wmi.ActiveSubscriptions(), 1);
  // Switched off: unsubscribed.
  ASSERT_TRUE(Initialize(0));
  EXPECT_EQ(wmi.ActiveSubscriptions(), 0);
  EXPECT_EQ(processes.Log().Entries().size(), 0u);
}

TEST_F(DeviceLinkFileTest, AFailedSubscriptionSetsTheFlag) {
  files.AddFile(path, kOneLink);
  wmi.failures.FailNext("CreateUnsecuredApartment", 0x80040154u);
  EXPECT_FALSE(Initialize(1));
  EXPECT_EQ(log.Lines().back(),
            L(u"  -Could not register to receive process notifications, ", system.Text(0x80040154u)));
  EXPECT_TRUE(failed);
  EXPECT_EQ(links, std::vector<DEVICELINK>{Example()});  // the links stay loaded
}

TEST_F(DeviceLinkFileTest, AFailedStartSwitchesDeviceLinkOffForTheRun) {
  files.AddFile(path, kOneLink);
  wmi.failures.FailNext("CreateUnsecuredApartment", 0x80040154u);
  std::int32_t setting = 1;
  Initialize(setting);
  ASSERT_TRUE(failed);
  int runs = 0;
  EXPECT_TRUE(SwitchOffFailedDeviceLink(failed, setting, [&] {
    ++runs;
    return Initialize(setting);
  }));
  EXPECT_EQ(setting, 0);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(log.Lines().back(), L(u"  -Unregistered from receiving new process notification"));
  EXPECT_EQ(wmi.apartmentDepth, 1);
}

TEST_F(DeviceLinkFileTest, NothingIsSwitchedOffWithoutAFailureOrWhenOff) {
  int runs = 0;
  const auto again = [&] {
    ++runs;
    return true;
  };
  std::int32_t setting = 1;
  EXPECT_FALSE(SwitchOffFailedDeviceLink(false, setting, again));
  EXPECT_EQ(setting, 1);
  setting = 0;
  EXPECT_FALSE(SwitchOffFailedDeviceLink(true, setting, again));
  EXPECT_EQ(runs, 0);
}

// ------------------------------------------------------------ EndpointIdToGuid

struct ConversionCase {
  const char* name;
  std::u16string id;
  std::optional<std::uint32_t> result;  // what the system answers, when it is asked
  bool asked;
  ComGuid guid;
  const char16_t* line;  // nullptr: none
};

class EndpointIdToGuidTest : public DeviceLinkFileTest, public testing::WithParamInterface<ConversionCase> {};

TEST_P(EndpointIdToGuidTest, GivesTheGuidAndTheLine) {
  const ConversionCase& c = GetParam();
  if (c.result) clsid.failures.FailNext("ClsidFromText", *c.result);
  const ComGuid guid = EndpointIdToGuid(c.id, clsid, log);
  EXPECT_EQ(guid, c.guid);
  if (c.asked)
    EXPECT_EQ(clsid.texts, std::vector<std::u16string>{c.id.substr(17)});
  else
    EXPECT_TRUE(clsid.texts.empty());
  if (c.line)
    EXPECT_EQ(log.Lines(), std::vector<std::u16string>{L(c.line)});
  else
    EXPECT_TRUE(log.Lines().empty());
}

const ComGuid kExampleGuid{0x00112233, 0x4455, 0x6677, {0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF}};
constexpr char16_t kBadFormat[] =
    u"  -Could not convert CLSID string, The class string was improperly formatted";

INSTANTIATE_TEST_SUITE_P(
    Cases, EndpointIdToGuidTest,
    testing::Values(
        ConversionCase{"RenderWithLeadingZero", kRenderId, std::nullopt, true, kExampleGuid, nullptr},
        ConversionCase{
            "Capture", u"{0.0.1.00000000}.{a45c254e-df1c-4efd-8020-67d146a850e0}", std::nullopt, true,
            ComGuid{0xA45C254E, 0xDF1C, 0x4EFD, {0x80, 0x20, 0x67, 0xD1, 0x46, 0xA8, 0x50, 0xE0}}, nullptr},
        ConversionCase{"ClassString", kRenderId, 0x800401F3u, true, ComGuid{}, kBadFormat},
        ConversionCase{"NotRegistered", kRenderId, 0x80040154u, true, ComGuid{},
                       u"  -Could not convert CLSID string, The CLSID was not found in the registry"},
        ConversionCase{"RegistryUnreadable", kRenderId, 0x80040150u, true, ComGuid{},
                       u"  -Could not convert CLSID string, The registry could not be opened for reading"},
        ConversionCase{"OtherError", kRenderId, 0x80070057u, true, ComGuid{},
                       u"  -Could not convert CLSID string, Unknown error"},
        ConversionCase{"OtherSuccessCode", kRenderId, 1u, true, ComGuid{},
                       u"  -Could not convert CLSID string, Unknown error"},
        ConversionCase{"NoBraces", u"{0.0.0.00000000}.00112233-4455-6677-8899-AABBCCDDEEFF", std::nullopt,
                       true, ComGuid{}, kBadFormat},
        ConversionCase{"Empty", u"", std::nullopt, false, ComGuid{}, kBadFormat},
        ConversionCase{"ShorterThanThePrefix", u"{0.0.0.00000000}", std::nullopt, false, ComGuid{},
                       kBadFormat},
        ConversionCase{"OnlyThePrefix", u"{0.0.0.00000000}.", std::nullopt, false, ComGuid{}, kBadFormat}),
    [](const testing::TestParamInfo<ConversionCase>& row) { return std::string(row.param.name); });

// ----------------------------------------------------------- SaveDeviceLink

class SaveDeviceLinkTest : public DeviceLinkFileTest {
 protected:
  SaveDeviceLinkTest() { registry_api.AddKey(kKey); }

  bool Apply(bool checked) {
    return SaveDeviceLink(map,
                          DeviceLinkApply{checked, dialogLinks, setting,
                                          [this] {
                                            ++initializations;
                                            return Initialize(setting) && initializeResult;
                                          },
                                          registry, kKey, [this](StringId id) { balloons.push_back(id); }});
  }

  static constexpr char16_t kKey[] = u"Software\\Kestrova Technologies\\Varnolet 7";
  FakeRegistry registry_api;
  CRegistry registry{registry_api, system, system};
  std::vector<DEVICELINK> dialogLinks = {
      DEVICELINK{GuidOf(u"{00112233-4455-6677-8899-AABBCCDDEEFF}"), u"Ab", u"C:\\x.exe"}};
  std::int32_t setting = 0;
  bool initializeResult = true;
  int initializations = 0;
  std::vector<StringId> balloons;
};

TEST_F(SaveDeviceLinkTest, SavesInitialisesAndWritesTheSetting) {
  ASSERT_TRUE(Apply(true));
  EXPECT_EQ(setting, 1);
  EXPECT_EQ(FileBytes(path), kOneLink);
  EXPECT_EQ(links, dialogLinks);  // reloaded from the file
  EXPECT_EQ(wmi.ActiveSubscriptions(), 1);
  EXPECT_EQ(registry_api.GetDword(kKey, u"DeviceLink"), 1u);
  EXPECT_TRUE(balloons.empty());

  ASSERT_TRUE(Apply(false));
  EXPECT_EQ(setting, 0);
  EXPECT_EQ(wmi.ActiveSubscriptions(), 0);
  EXPECT_EQ(registry_api.GetDword(kKey, u"DeviceLink"), 0u);
}

// The balloon shows also while Device Link is being turned off: the edits are lost.
TEST_F(SaveDeviceLinkTest, AMapThatCannotBeSavedEndsTheStep) {
  for (const bool checked : {true, false}) {
    balloons.clear();
    files.failures.FailNext("OpenHandle", 5);
    EXPECT_FALSE(Apply(checked));
    EXPECT_EQ(log.Lines().back(), L(u"  -Could not save device link configuration file, ", system.Text(5)));
    EXPECT_EQ(balloons, std::vector<StringId>{StringId::CouldNotLoadDeviceLinkMap});
    EXPECT_EQ(initializations, 0);
    EXPECT_FALSE(registry_api.GetDword(kKey, u"DeviceLink").has_value());
  }
}

// A failed replace is the reason on both lines, whatever the file layer
// failed on earlier and whether or not the replacement file can be removed.
struct ReplaceReasonCase {
  const char* name;
  bool earlierFailure;  // an open of a missing file failed before the save
  bool removalFails;    // the replacement file cannot be removed either
};

class ReplaceReasonTest : public SaveDeviceLinkTest, public testing::WithParamInterface<ReplaceReasonCase> {};

TEST_P(ReplaceReasonTest, IsTheReplacesOwn) {
  const ReplaceReasonCase& c = GetParam();
  files.AddFile(path, kEmptyList);
  if (c.earlierFailure) {
    ASSERT_FALSE(drive.Directory.File.Open(data + u"\\missing.dat"));
  }
  files.failures.FailNext("MoveReplacing", 32);
  if (c.removalFails) files.failures.FailNext("RemoveFile", 5);

  EXPECT_FALSE(Apply(true));
  EXPECT_EQ(log.Lines(), (std::vector<std::u16string>{
                             L(u"  -Could not replace device link configuration file, ", system.Text(32)),
                             L(u"  -Could not save device link configuration file, ", system.Text(32))}));
  EXPECT_EQ(FileBytes(path), kEmptyList);
  EXPECT_EQ(files.Exists(map.PendingPath()), c.removalFails);
  EXPECT_EQ(files.failures.CountOf("RemoveFile"), 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReplaceReasonTest,
                         testing::Values(ReplaceReasonCase{"Alone", false, false},
                                         ReplaceReasonCase{"AfterAnEarlierFailure", true, false},
                                         ReplaceReasonCase{"WithAFailedRemoval", true, true}),
                         [](const testing::TestParamInfo<ReplaceReasonCase>& row) {
                           return std::string(row.param.name);
                         });

TEST_F(SaveDeviceLinkTest, AFailedInitialisationShowsItsBalloon) {
  initializeResult = false;
  EXPECT_FALSE(Apply(true));
  EXPECT_EQ(balloons, std::vector<StringId>{StringId::CouldNotLoadDeviceLinkMap});
  EXPECT_FALSE(registry_api.GetDword(kKey, u"DeviceLink").has_value());
}

TEST_F(SaveDeviceLinkTest, AFailedRegistryWriteShowsItsBalloon) {
  registry_api.failures.FailAlways("SetValueEx", 5);
  EXPECT_FALSE(Apply(true));
  EXPECT_EQ(log.Lines().back(),
            L(u"  -Could not save device link setting to registry, ", registry.GetLastErrorText()));
  EXPECT_FALSE(registry.GetLastErrorText().empty());
  EXPECT_EQ(balloons, std::vector<StringId>{StringId::CouldNotSaveDeviceLink});
  EXPECT_EQ(setting, 1);  // the run keeps the new value
}

}  // namespace
}  // namespace varnolet
