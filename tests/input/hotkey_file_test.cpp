#include "input/hotkey_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_files.h"
#include "fakes/fake_raw_input.h"
#include "fakes/fake_system.h"
#include "fakes/fake_utf8.h"
#include "input_test_files.h"

namespace varnolet {
namespace {

using fakes::FakeFiles;
using fakes::FakeRawInput;
using fakes::FakeSystem;
using fakes::FakeUtf8;
using test_files::Bytes;
using test_files::Header;
using test_files::kCtrlShiftVNotifications;
using test_files::kEmptyMap;
using test_files::Record;

constexpr char16_t kData[] = u"C:\\Users\\u\\AppData\\Roaming";
constexpr char16_t kPath[] = u"C:\\Users\\u\\AppData\\Roaming\\Varnolet 7\\Data\\hmap.dat";
constexpr char16_t kDamaged[] = u"C:\\Users\\u\\AppData\\Roaming\\Varnolet 7\\Data\\hmap.dat.bad";
constexpr char16_t kTemporary[] = u"C:\\Users\\u\\AppData\\Roaming\\Varnolet 7\\Data\\hmap.dat.tmp";
constexpr char16_t kHeadset[] = u"{0.0.0.00000000}.{5f1e3c2a-0b4d-4e6f-8a9b-0c1d2e3f4a5b}";
constexpr char16_t kMicrophone[] = u"{0.0.1.00000000}.{7a6b5c4d-3e2f-4a1b-9c8d-7e6f5a4b3c2d}";
constexpr std::uintptr_t kWindow = 0x20044;

std::u16string L(const std::u16string& text) {
  return u"8/12/2026 9:5:3 :: " + text;
}

HotkeySlot Slot(std::initializer_list<int> positions, const std::u16string& identifier) {
  HotkeySlot slot;
  for (int position : positions) slot.pattern.keyboard.keys[static_cast<std::size_t>(position)] = 1;
  slot.identifier = identifier;
  return slot;
}

class HotkeyFileTest : public testing::Test {
 protected:
  void SetUp() override { files.AddFolder(u"C:\\Users\\u\\AppData\\Roaming\\Varnolet 7\\Data"); }

  bool Action(const std::u16string*) { return true; }

  std::vector<std::uint8_t> FileBytes(const std::u16string& path) {
    return files.Bytes(path).value_or(std::vector<std::uint8_t>{0xDE, 0xAD});
  }

  FakeSystem system;
  FakeFiles files{system};
  FakeUtf8 utf8;
  CDrive drive{files, system, system};
  ActivityLog log{system, system};
  HotkeyFileAccess access{drive, utf8, log, kPath};
  FakeRawInput rawApi{system};
  CRawInput raw{rawApi, system, system};
  CHotkeys table{system, system};
  std::vector<HOTKEY> loadedHotkeys;
  std::vector<std::u16string> hotkeyIdentifiers;
  std::uint8_t hotkeysEnabled = 0;
  std::uint8_t hotkeyInitFailed = 0;
  HotkeyFields fields{loadedHotkeys, hotkeyIdentifiers, hotkeysEnabled, hotkeyInitFailed};
  HotkeyServices services{access, table, raw, kWindow, BindHotkeyAction<&HotkeyFileTest::Action>(*this)};
};

TEST(HotkeyFilePathTest, IsInTheDataFolder) {
  EXPECT_EQ(HotkeyFilePath(kData), kPath);
}

// ------------------------------------------------------------------- save

TEST_F(HotkeyFileTest, NoHotkeyGivesTheNineteenByteHeader) {
  const std::vector<HotkeySlot> slots = {Slot({key::kAlt}, hotkey_id::kNone), Slot({}, hotkey_id::kNone)};
  ASSERT_TRUE(SaveHotkeyFile(access, slots));
  EXPECT_EQ(FileBytes(kPath), Bytes(kEmptyMap));
  EXPECT_EQ(FileBytes(kPath).size(), 19u);
  EXPECT_FALSE(files.Exists(kTemporary));
  EXPECT_EQ(files.OpenHandleCount(), 0);
  EXPECT_TRUE(log.Lines().empty());

  ASSERT_TRUE(LoadHotkeyFile(access, loadedHotkeys, hotkeyIdentifiers));
  EXPECT_TRUE(loadedHotkeys.empty());
  EXPECT_TRUE(hotkeyIdentifiers.empty());
}

TEST_F(HotkeyFileTest, CtrlShiftVForNotificationsIsStoredAsOneRecord) {
  const std::vector<HotkeySlot> slots = {
      Slot({}, hotkey_id::kNone),
      Slot({key::kCtrl, key::kShift, key::kLetterV, key::kLeftCtrl}, hotkey_id::kNotifications)};
  ASSERT_TRUE(SaveHotkeyFile(access, slots));
  EXPECT_EQ(FileBytes(kPath), Bytes(kCtrlShiftVNotifications));  // the layout: hotkey_map_test.cpp
}

TEST_F(HotkeyFileTest, SavedHotkeysLoadBackInSlotOrder) {
  const std::vector<HotkeySlot> slots = {
      Slot({key::kAlt, key::kDigit0 + 9}, hotkey_id::kDisableHotkeys), Slot({}, hotkey_id::kNone),
      Slot({key::kShift, key::kLetterU}, kHeadset), Slot({key::kLetterW + 3}, u"Ακουστικά")};
  ASSERT_TRUE(SaveHotkeyFile(access, slots));
  ASSERT_TRUE(LoadHotkeyFile(access, loadedHotkeys, hotkeyIdentifiers));
  ASSERT_EQ(loadedHotkeys.size(), 3u);
  EXPECT_EQ(hotkeyIdentifiers,
            (std::vector<std::u16string>{hotkey_id::kDisableHotkeys, kHeadset, u"Ακουστικά"}));
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(loadedHotkeys[i].parameter, &hotkeyIdentifiers[i]);
  const auto& keys = loadedHotkeys[1].keyboard.keys;
  EXPECT_EQ(keys[key::kShift], 1);
  EXPECT_EQ(keys[key::kLetterU], 1);
  EXPECT_EQ(keys[key::kAlt] + keys[key::kCtrl] + keys[key::kLetterV], 0);
  EXPECT_EQ(loadedHotkeys[2].keyboard.keys[47], 1);  // Z
  EXPECT_EQ(FileBytes(kPath).size(), 19u + 3 * 55 + 55 + 55 + 18);
}

// A save that fails at any write leaves the previous hmap.dat as it was.
TEST_F(HotkeyFileTest, ASaveFailingAtEachWriteLeavesThePreviousFile) {
  const std::vector<HotkeySlot> slots = {Slot({key::kCtrl, key::kDigit0}, hotkey_id::kNotifications),
                                         Slot({key::kAlt, key::kLetterA}, kHeadset)};
  files.AddFile(kPath, Bytes(kCtrlShiftVNotifications));
  ASSERT_TRUE(SaveHotkeyFile(access, slots));
  const int writes = files.failures.CountOf("WriteBytes");
  ASSERT_EQ(writes, 3 + 2 * 3);

  const std::vector<std::u16string> expected = {
      u"  -Could not write encoding to hotkeys configuration file, ",
      u"  -Could not write signature to hotkeys configuration file, ",
      u"  -Could not write data to hotkeys configuration file, ",
      u"",  // the 51 flag bytes: no line
      u"  -Could not write data to hotkeys configuration file, ",
      u"  -Could not write data to hotkeys configuration file, ",
      u"",
      u"  -Could not write data to hotkeys configuration file, ",
      u"  -Could not write data to hotkeys configuration file, ",
  };
  for (int k = 0; k < writes; ++k) {
    SCOPED_TRACE(k);
    files.AddFile(kPath, Bytes(kCtrlShiftVNotifications));
    const std::size_t before = log.Lines().size();
    files.failures.FailAfter("WriteBytes", k, 112);  // disk full
    system.texts[112] = u"There is not enough space on the disk. ";
    EXPECT_FALSE(SaveHotkeyFile(access, slots));
    EXPECT_EQ(FileBytes(kPath), Bytes(kCtrlShiftVNotifications));
    EXPECT_FALSE(files.Exists(kTemporary));
    EXPECT_EQ(files.OpenHandleCount(), 0);
    if (expected[static_cast<std::size_t>(k)].empty()) {
      EXPECT_EQ(log.Lines().size(), before);
    } else {
      ASSERT_EQ(log.Lines().size(), before + 1);
      EXPECT_EQ(log.Lines().back(), L(expected[static_cast<std::size_t>(k)] + system.Text(112)));
    }
    files.failures.Clear();
  }
}

TEST_F(HotkeyFileTest, FailuresToCreateCloseOrReplaceLeaveThePreviousFile) {
  const std::vector<HotkeySlot> slots = {Slot({key::kCtrl, key::kDigit0}, hotkey_id::kNotifications)};
  files.AddFile(kPath, Bytes(kEmptyMap));

  files.failures.FailNext("OpenHandle", 5);
  EXPECT_FALSE(SaveHotkeyFile(access, slots));
  files.failures.FailNext("CloseFileHandle", 6);
  EXPECT_FALSE(SaveHotkeyFile(access, slots));
  drive.Directory.File.Close();  // the handle kept by the failed close
  files.failures.FailNext("MoveReplacing", 32);
  EXPECT_FALSE(SaveHotkeyFile(access, slots));

  EXPECT_EQ(FileBytes(kPath), Bytes(kEmptyMap));
  EXPECT_FALSE(files.Exists(kTemporary));
  EXPECT_EQ(log.Lines(), (std::vector<std::u16string>{
                             L(u"  -Coud not create hotkeys configuration file, " + system.Text(5)),
                             L(u"  -Could not close hotkeys configuration file, " + system.Text(6)),
                             L(u"  -Could not replace hotkeys configuration file, " + system.Text(32)),
                         }));
}

// ------------------------------------------------------------------- load

TEST_F(HotkeyFileTest, AnEmptyFileLoadsAsNoHotkeys) {
  files.AddFile(kPath, std::vector<std::uint8_t>{});
  loadedHotkeys.resize(2);
  hotkeyIdentifiers.resize(2);
  HotkeyFileFault fault = HotkeyFileFault::Rejected;
  ASSERT_TRUE(LoadHotkeyFile(access, loadedHotkeys, hotkeyIdentifiers, &fault));
  EXPECT_EQ(fault, HotkeyFileFault::None);
  EXPECT_TRUE(loadedHotkeys.empty());
  EXPECT_TRUE(hotkeyIdentifiers.empty());
  EXPECT_EQ(log.Lines(), std::vector<std::u16string>{L(u"  -Hotkeys configurations file is empty")});
  EXPECT_EQ(files.OpenHandleCount(), 0);
}

// Damaged files: each is rejected with its lines; the lists keep what they held.
// The reader's own line for each reason ("" for none).
std::u16string RejectionLine(HotkeyMapFault fault) {
  switch (fault) {
    case HotkeyMapFault::TooShort:
      return u"  -Hotkeys configuration file has an invalid format";
    case HotkeyMapFault::WrongSignature:
      return u"  -Could not verify file signature, ";
    default:
      return u"";
  }
}

using test_files::DamagedHotkeyMap;

class DamagedFileTest : public HotkeyFileTest, public testing::WithParamInterface<DamagedHotkeyMap> {};

TEST_P(DamagedFileTest, IsRejectedAndLeavesTheListsAsTheyWere) {
  const DamagedHotkeyMap& c = GetParam();
  const std::u16string line = RejectionLine(c.fault);
  files.AddFile(kPath, c.bytes);
  std::u16string kept = u"kept";
  loadedHotkeys.resize(1);
  hotkeyIdentifiers = {kept};
  loadedHotkeys[0].parameter = &hotkeyIdentifiers[0];
  const HOTKEY* before = loadedHotkeys.data();

  HotkeyFileFault fault = HotkeyFileFault::None;
  EXPECT_FALSE(LoadHotkeyFile(access, loadedHotkeys, hotkeyIdentifiers, &fault));
  EXPECT_EQ(fault, HotkeyFileFault::Rejected);
  EXPECT_EQ(loadedHotkeys.data(), before);
  EXPECT_EQ(hotkeyIdentifiers, std::vector<std::u16string>{kept});
  EXPECT_EQ(loadedHotkeys[0].parameter, &hotkeyIdentifiers[0]);
  EXPECT_EQ(files.OpenHandleCount(), 0);
  if (line.empty())
    EXPECT_TRUE(log.Lines().empty());
  else
    EXPECT_EQ(log.Lines(), std::vector<std::u16string>{L(line)});
}

// InitializeHotkeys keeps the damaged file as hmap.dat.bad and resets hmap.dat.
TEST_P(DamagedFileTest, IsKeptAsideAndResetByTheInitialisation) {
  const DamagedHotkeyMap& c = GetParam();
  const std::u16string line = RejectionLine(c.fault);
  files.AddFile(kPath, c.bytes);
  EXPECT_TRUE(InitializeHotkeys(services, fields, 1));
  EXPECT_EQ(hotkeyInitFailed, 1);
  EXPECT_EQ(hotkeysEnabled, 1);
  EXPECT_EQ(FileBytes(kPath), std::vector<std::uint8_t>{});
  EXPECT_EQ(FileBytes(kDamaged), c.bytes);
  EXPECT_TRUE(table.Items().empty());

  std::vector<std::u16string> expected = {L(u"Intializing hotkeys setting . . .")};
  if (!line.empty()) expected.push_back(L(line));
  expected.push_back(L(u"  -Could not load hotkeys configuration file, "));
  expected.push_back(L(u"  -Damaged hotkeys configuration file kept as " + std::u16string(kDamaged)));
  expected.push_back(L(u"  -Enabled"));
  expected.push_back(L(u"  -Registed hotkeys configuration"));
  expected.push_back(L(u"  -Registered to receive keyboard notifications"));
  EXPECT_EQ(log.Lines(), expected);

  // The empty file loads on the next start.
  EXPECT_TRUE(LoadHotkeyFile(access, loadedHotkeys, hotkeyIdentifiers));
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedFileTest, testing::ValuesIn(test_files::DamagedHotkeyMaps()),
                         [](const testing::TestParamInfo<DamagedHotkeyMap>& p) {
                           return std::string(p.param.name);
                         });

TEST_F(HotkeyFileTest, ARejectedFileReplacesAnOlderDamagedCopy) {
  files.AddFile(kDamaged, std::string("older"));
  files.AddFile(kPath, std::string("0123456789"));
  InitializeHotkeys(services, fields, 1);
  EXPECT_EQ(files.Text(kDamaged), "0123456789");
  EXPECT_EQ(files.Text(kPath), "");
}

TEST_F(HotkeyFileTest, ARejectedFileThatCannotBeKeptIsNotReset) {
  files.AddFile(kPath, std::string("0123456789"));
  files.failures.FailNext("MoveReplacing", 5);
  InitializeHotkeys(services, fields, 0);
  EXPECT_EQ(files.Text(kPath), "0123456789");
  EXPECT_FALSE(files.Exists(kDamaged));
  EXPECT_EQ(hotkeyInitFailed, 1);
  EXPECT_EQ(log.Lines()[3], L(u"  -Could not keep damaged hotkeys configuration file, " + system.Text(5)));
  EXPECT_EQ(log.Lines()[4], L(u"  -Disabled"));
}

TEST_F(HotkeyFileTest, AFailedResetIsLogged) {
  files.AddFile(kPath, std::string("0123456789"));
  files.failures.FailAfter("OpenHandle", 1, 32);  // the load opens, the reset cannot
  InitializeHotkeys(services, fields, 1);
  EXPECT_EQ(log.Lines()[4], L(u"  -Could not reset hotkeys configuration file, " + system.Text(32)));
  EXPECT_EQ(log.Lines()[5], L(u"  -Enabled"));
  EXPECT_EQ(files.OpenHandleCount(), 0);
}

// Files that cannot be opened, sized or read are left as they are.
struct UnreadableCase {
  const char* name;
  const char* operation;
  int passes;           // calls of the operation that succeed first
  std::u16string line;  // the reader's line ("" for none), followed by the error text
};

class UnreadableFileTest : public HotkeyFileTest, public testing::WithParamInterface<UnreadableCase> {};

TEST_P(UnreadableFileTest, IsLeftUntouchedAndHotkeysAreOffForTheRun) {
  const UnreadableCase& c = GetParam();
  files.AddFile(kPath, Bytes(kCtrlShiftVNotifications));
  files.failures.FailAfter(c.operation, c.passes, 5);
  EXPECT_TRUE(InitializeHotkeys(services, fields, 1));
  EXPECT_EQ(hotkeyInitFailed, 1);
  EXPECT_EQ(FileBytes(kPath), Bytes(kCtrlShiftVNotifications));
  EXPECT_FALSE(files.Exists(kDamaged));
  EXPECT_TRUE(loadedHotkeys.empty());
  EXPECT_TRUE(table.Items().empty());
  // A failed close keeps the handle, as the file object does; every other path closes.
  EXPECT_EQ(files.OpenHandleCount(), std::string(c.operation) == "CloseFileHandle" ? 1 : 0);

  std::vector<std::u16string> expected = {L(u"Intializing hotkeys setting . . .")};
  if (!c.line.empty()) expected.push_back(L(c.line + system.Text(5)));
  expected.push_back(L(u"  -Could not load hotkeys configuration file, " + system.Text(5)));
  expected.push_back(L(u"  -Enabled"));
  expected.push_back(L(u"  -Registed hotkeys configuration"));
  expected.push_back(L(u"  -Registered to receive keyboard notifications"));
  EXPECT_EQ(log.Lines(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnreadableFileTest,
    testing::Values(
        UnreadableCase{"Open", "OpenHandle", 0, u"  -Could not open hotkeys configuration file, "},
        UnreadableCase{"Size", "QuerySize", 0, u"  -Could not determine hotkeys configuration file size, "},
        UnreadableCase{"Encoding", "ReadBytes", 0,
                       u"  -Could not verify hotkeys configuration file encoding, "},
        UnreadableCase{"Signature", "ReadBytes", 1, u"  -Could not read file signature, "},
        UnreadableCase{"CountAndRecords", "ReadBytes", 2, u""},
        UnreadableCase{"Close", "CloseFileHandle", 0, u"  -Could not close hotkeys configuration file, "}),
    [](const testing::TestParamInfo<UnreadableCase>& p) { return std::string(p.param.name); });

TEST_F(HotkeyFileTest, AMissingFileIsNotCreated) {
  EXPECT_TRUE(InitializeHotkeys(services, fields, 1));
  EXPECT_FALSE(files.Exists(kPath));
  EXPECT_EQ(log.Lines()[1], L(u"  -Could not open hotkeys configuration file, " + system.Text(2)));
  EXPECT_EQ(hotkeyInitFailed, 1);
}

// ------------------------------------------------------------- initialise

TEST_F(HotkeyFileTest, InitialisationRegistersTheHotkeysAndRawInput) {
  ASSERT_TRUE(SaveHotkeyFile(access, {Slot({key::kCtrl, key::kLetterA}, kHeadset),
                                      Slot({key::kShift, key::kLetterV}, hotkey_id::kNotifications)}));
  EXPECT_TRUE(InitializeHotkeys(services, fields, 1));
  EXPECT_EQ(hotkeysEnabled, 1);
  EXPECT_EQ(hotkeyInitFailed, 0);
  EXPECT_EQ(log.Lines(), (std::vector<std::u16string>{
                             L(u"Intializing hotkeys setting . . ."),
                             L(u"  -Hotkeys configuration file loaded"),
                             L(u"  -Enabled"),
                             L(u"  -Registed hotkeys configuration"),
                             L(u"  -Registered to receive keyboard notifications"),
                         }));
  ASSERT_EQ(table.Items().size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(table.Items()[i].parameter, &hotkeyIdentifiers[i]);
    EXPECT_EQ(table.Items()[i].callback, services.action);
    EXPECT_EQ(loadedHotkeys[i].callback, services.action);
  }
  ASSERT_EQ(rawApi.Registered().size(), 1u);
  EXPECT_EQ(rawApi.Registered()[0].usage, 6);
  EXPECT_EQ(rawApi.Registered()[0].target, kWindow);
  EXPECT_EQ(rawApi.Registered()[0].flags, 0x100u);
}

TEST_F(HotkeyFileTest, WithHotkeysOffTheFileIsStillLoadedAndRegistered) {
  files.AddFile(kPath, Bytes(kCtrlShiftVNotifications));
  ASSERT_TRUE(raw.Keyboard.Register(kWindow, 1));
  EXPECT_TRUE(InitializeHotkeys(services, fields, 0));
  EXPECT_EQ(hotkeysEnabled, 0);
  EXPECT_EQ(table.Items().size(), 1u);
  EXPECT_TRUE(rawApi.Registered().empty());
  EXPECT_EQ(log.Lines(), (std::vector<std::u16string>{
                             L(u"Intializing hotkeys setting . . ."),
                             L(u"  -Hotkeys configuration file loaded"),
                             L(u"  -Disabled"),
                             L(u"  -Registed hotkeys configuration"),
                             L(u"  -Unregistered from receiving keyboard notifications"),
                         }));
}

TEST_F(HotkeyFileTest, AnEmptyFileIsASuccessWithoutHotkeys) {
  files.AddFile(kPath, std::vector<std::uint8_t>{});
  EXPECT_TRUE(InitializeHotkeys(services, fields, 1));
  EXPECT_EQ(hotkeyInitFailed, 0);
  EXPECT_EQ(log.Lines()[1], L(u"  -Hotkeys configurations file is empty"));
  EXPECT_EQ(log.Lines()[2], L(u"  -Hotkeys configuration file loaded"));
  EXPECT_TRUE(table.Items().empty());
  EXPECT_EQ(rawApi.Registered().size(), 1u);
}

TEST_F(HotkeyFileTest, ARefusedRegistrationStopsBeforeRawInput) {
  files.AddFile(kPath, Bytes(kCtrlShiftVNotifications));
  table.FilterCallback = [](const CHotkeys&, const HOTKEY&, std::int32_t) { return false; };
  EXPECT_FALSE(InitializeHotkeys(services, fields, 1));
  EXPECT_EQ(hotkeyInitFailed, 1);
  EXPECT_TRUE(rawApi.calls.empty());
  EXPECT_EQ(log.Lines().back(), L(u"  -Hotkeys registration failed, Could not register specified items"));
  EXPECT_EQ(log.Lines().size(), 3u);
}

TEST_F(HotkeyFileTest, ARefusedRawInputRegistrationFails) {
  files.AddFile(kPath, Bytes(kEmptyMap));
  rawApi.failures.FailNext("RegisterDevice", 5);
  EXPECT_FALSE(InitializeHotkeys(services, fields, 1));
  EXPECT_EQ(hotkeyInitFailed, 1);
  EXPECT_EQ(hotkeysEnabled, 1);
  EXPECT_EQ(log.Lines().back(),
            L(u"  -Could not register to receive keyboard notifications, " + system.Text(5)));
}

TEST_F(HotkeyFileTest, ALaterSuccessDoesNotClearTheFailedFlag) {
  hotkeyInitFailed = 1;
  files.AddFile(kPath, Bytes(kEmptyMap));
  EXPECT_TRUE(InitializeHotkeys(services, fields, 1));
  EXPECT_EQ(hotkeyInitFailed, 1);
}

// ---------------------------------------------------------------- slots

TEST_F(HotkeyFileTest, LoadedHotkeySlotsSaveEveryLoadedHotkeyUnchanged) {
  std::vector<std::uint8_t> bytes = Header(4);
  Record(bytes, {key::kLetterA}, 0, 0, 1, test_files::Narrow(hotkey_id::kDisableHotkeys));
  Record(bytes, {key::kLetterV}, 0, 1, 1, test_files::Narrow(hotkey_id::kNotifications));
  Record(bytes, {key::kDigit0 + 3}, 1, 0, 0, test_files::Narrow(kMicrophone));  // a device that is absent
  Record(bytes, {key::kLetterW}, 1, 1, 1, "\xFF");                              // not UTF-8: saved as empty
  files.AddFile(kPath, bytes);
  ASSERT_TRUE(LoadHotkeyFile(access, loadedHotkeys, hotkeyIdentifiers));

  const std::vector<HotkeySlot> slots = LoadedHotkeySlots(loadedHotkeys, hotkeyIdentifiers);
  ASSERT_EQ(slots.size(), 4u);
  EXPECT_EQ(slots[2].identifier, kMicrophone);
  ASSERT_TRUE(SaveHotkeyFile(access, slots));
  std::vector<std::uint8_t> expected = Header(4);
  Record(expected, {key::kLetterA}, 0, 0, 1, test_files::Narrow(hotkey_id::kDisableHotkeys));
  Record(expected, {key::kLetterV}, 0, 1, 1, test_files::Narrow(hotkey_id::kNotifications));
  Record(expected, {key::kDigit0 + 3}, 1, 0, 0, test_files::Narrow(kMicrophone));
  Record(expected, {key::kLetterW}, 1, 1, 1, "");
  EXPECT_EQ(FileBytes(kPath), expected);
}

TEST(HotkeySlotsTest, FillSlotsPutsEachLoadedHotkeyInItsRowsSlot) {
  const std::vector<std::u16string> identifiers = {kMicrophone, hotkey_id::kNotifications, u"{absent}",
                                                   kHeadset, hotkey_id::kDisableHotkeys};
  std::vector<HOTKEY> loaded(identifiers.size());
  for (std::size_t i = 0; i < loaded.size(); ++i) {
    loaded[i].keyboard.keys[static_cast<std::size_t>(key::kLetterA) + i] = 1;
    loaded[i].parameter = &identifiers[i];
  }
  const std::vector<std::u16string> playback = {u"{other}", kHeadset};
  const std::vector<std::u16string> recording = {kMicrophone};
  const std::vector<HotkeySlot> slots = FillSlots(loaded, identifiers, playback, recording);
  ASSERT_EQ(slots.size(), 5u);
  EXPECT_EQ(slots[0].identifier, hotkey_id::kDisableHotkeys);
  EXPECT_EQ(slots[0].pattern.keyboard.keys[key::kLetterA + 4], 1);
  EXPECT_EQ(slots[1].identifier, hotkey_id::kNotifications);
  EXPECT_EQ(slots[1].pattern.keyboard.keys[key::kLetterA + 1], 1);
  EXPECT_EQ(slots[2].identifier, hotkey_id::kNone);
  EXPECT_EQ(slots[3].identifier, kHeadset);
  EXPECT_EQ(slots[3].pattern.keyboard.keys[key::kLetterA + 3], 1);
  EXPECT_EQ(slots[4].identifier, kMicrophone);
  EXPECT_EQ(slots[4].pattern.keyboard.keys[key::kLetterA], 1);
  EXPECT_TRUE(FillSlots({}, {}, {}, {}).size() == 2u);
}

// --------------------------------------------------------- save and reload

TEST_F(HotkeyFileTest, SavingWithHotkeysOffUnregistersSavesAndReloads) {
  ASSERT_TRUE(raw.Keyboard.Register(kWindow, 1));
  std::int32_t setting = 1;
  const auto outcome = SaveHotkeyConfiguration(
      services, fields, setting, false, {Slot({key::kAlt, key::kLetterA}, hotkey_id::kDisableHotkeys)});
  EXPECT_EQ(outcome, SaveHotkeysOutcome::Reloaded);
  EXPECT_EQ(setting, 0);
  EXPECT_EQ(hotkeysEnabled, 0);
  EXPECT_TRUE(rawApi.Registered().empty());
  ASSERT_EQ(table.Items().size(), 1u);
  EXPECT_EQ(hotkeyIdentifiers, std::vector<std::u16string>{hotkey_id::kDisableHotkeys});
}

TEST_F(HotkeyFileTest, SavingEmptiesTheTableBeforeReloading) {
  files.AddFile(kPath, Bytes(kCtrlShiftVNotifications));
  ASSERT_TRUE(InitializeHotkeys(services, fields, 1));
  ASSERT_EQ(table.Items().size(), 1u);
  std::int32_t setting = 1;
  EXPECT_EQ(SaveHotkeyConfiguration(services, fields, setting, true,
                                    LoadedHotkeySlots(loadedHotkeys, hotkeyIdentifiers)),
            SaveHotkeysOutcome::Reloaded);
  EXPECT_EQ(setting, 1);
  ASSERT_EQ(table.Items().size(), 1u);  // not registered twice
  EXPECT_EQ(table.Items()[0].parameter, &hotkeyIdentifiers[0]);
  EXPECT_EQ(FileBytes(kPath), Bytes(kCtrlShiftVNotifications));
}

TEST_F(HotkeyFileTest, AFailedSaveOrReloadSaysSo) {
  std::int32_t setting = 1;
  files.failures.FailNext("OpenHandle", 5);
  EXPECT_EQ(SaveHotkeyConfiguration(services, fields, setting, true, {}), SaveHotkeysOutcome::FileNotSaved);
  EXPECT_EQ(log.Lines().back(), L(u"  -Could not save hotkeys configuration file, " + system.Text(5)));

  rawApi.failures.FailNext("RegisterDevice", 5);
  EXPECT_EQ(SaveHotkeyConfiguration(services, fields, setting, true, {}), SaveHotkeysOutcome::NotReloaded);
  EXPECT_EQ(FileBytes(kPath), Bytes(kEmptyMap));
}

// A failed replace is the reason on both lines, whatever the file layer
// failed on earlier and whether or not the replacement file can be removed.
struct ReplaceReasonCase {
  const char* name;
  bool earlierFailure;  // an open of a missing file failed before the save
  bool removalFails;    // the replacement file cannot be removed either
};

class ReplaceReasonTest : public HotkeyFileTest, public testing::WithParamInterface<ReplaceReasonCase> {};

TEST_P(ReplaceReasonTest, IsTheReplacesOwn) {
  const ReplaceReasonCase& c = GetParam();
  files.AddFile(kPath, Bytes(kEmptyMap));
  if (c.earlierFailure) {
    ASSERT_FALSE(drive.Directory.File.Open(std::u16string(kData) + u"\\missing.dat"));
  }
  files.failures.FailNext("MoveReplacing", 32);
  if (c.removalFails) files.failures.FailNext("RemoveFile", 5);

  std::int32_t setting = 1;
  EXPECT_EQ(SaveHotkeyConfiguration(services, fields, setting, true,
                                    {Slot({key::kAlt, key::kLetterA}, hotkey_id::kDisableHotkeys)}),
            SaveHotkeysOutcome::FileNotSaved);
  EXPECT_EQ(log.Lines(), (std::vector<std::u16string>{
                             L(u"  -Could not replace hotkeys configuration file, " + system.Text(32)),
                             L(u"  -Could not save hotkeys configuration file, " + system.Text(32))}));
  EXPECT_EQ(FileBytes(kPath), Bytes(kEmptyMap));
  EXPECT_EQ(files.Exists(kTemporary), c.removalFails);
  EXPECT_EQ(files.failures.CountOf("RemoveFile"), 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReplaceReasonTest,
                         testing::Values(ReplaceReasonCase{"Alone", false, false},
                                         ReplaceReasonCase{"AfterAnEarlierFailure", true, false},
                                         ReplaceReasonCase{"WithAFailedRemoval", true, true}),
                         [](const testing::TestParamInfo<ReplaceReasonCase>& row) {
                           return std::string(row.param.name);
                         });

}  // namespace
}  // namespace varnolet
