#include "input/hotkey_action.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_files.h"
#include "fakes/fake_input_timer.h"
#include "fakes/fake_raw_input.h"
#include "fakes/fake_system.h"
#include "fakes/fake_utf8.h"
#include "input_test_files.h"

namespace varnolet {
namespace {

using fakes::FakeFiles;
using fakes::FakeRawInput;
using fakes::FakeSequenceTimer;
using fakes::FakeSystem;
using fakes::FakeUtf8;
using fakes::KeyboardRecord;
using fakes::kKeyDown;
using fakes::kKeyUp;
using test_files::Header;
using test_files::Narrow;
using test_files::Record;

constexpr std::uint16_t kE0Flag = 0x2;  // RI_KEY_E0
constexpr char16_t kPath[] = u"C:\\Users\\u\\AppData\\Roaming\\Varnolet 7\\Data\\hmap.dat";
constexpr char16_t kHeadset[] = u"{0.0.0.00000000}.{5f1e3c2a-0b4d-4e6f-8a9b-0c1d2e3f4a5b}";
constexpr char16_t kSpeakers[] = u"{0.0.0.00000000}.{11111111-2222-3333-4444-555555555555}";
constexpr char16_t kMicrophone[] = u"{0.0.1.00000000}.{7a6b5c4d-3e2f-4a1b-9c8d-7e6f5a4b3c2d}";
constexpr char16_t kUnplugged[] = u"{0.0.1.00000000}.{99999999-8888-7777-6666-555555555555}";

struct Device {
  std::u16string name;
  std::u16string identifier;
};

const std::u16string& IdentifierOf(const Device& device) { return device.identifier; }

// ------------------------------------------------------------------ decision

TEST(HotkeyActionPlanTest, NamesWhatEachIdentifierDoes) {
  const std::vector<Device> playback = {{u"Speakers", kSpeakers}, {u"Headset", kHeadset}};
  const std::vector<Device> recording = {{u"Microphone", kMicrophone}};
  auto plan = [&](std::u16string_view identifier, bool enabled) {
    return PlanHotkeyAction(identifier, enabled, playback, playback.size(), recording, recording.size(), IdentifierOf);
  };

  HotkeyActionPlan p = plan(hotkey_id::kDisableHotkeys, true);
  EXPECT_TRUE(p.disableHotkeys);
  EXPECT_FALSE(p.toggleNotifications);
  EXPECT_EQ(p.playbackDevice, -1);
  EXPECT_EQ(p.recordingDevice, -1);
  EXPECT_FALSE(plan(hotkey_id::kDisableHotkeys, false).disableHotkeys);  // hotkeys already off: nothing

  p = plan(hotkey_id::kNotifications, false);
  EXPECT_TRUE(p.toggleNotifications);
  EXPECT_FALSE(p.disableHotkeys);

  p = plan(kHeadset, true);
  EXPECT_EQ(p.playbackDevice, 1);
  EXPECT_EQ(p.recordingDevice, -1);
  EXPECT_FALSE(p.disableHotkeys || p.toggleNotifications);
  EXPECT_EQ(plan(kMicrophone, true).recordingDevice, 0);

  p = plan(kUnplugged, true);  // an absent device does nothing
  EXPECT_EQ(p.playbackDevice, -1);
  EXPECT_EQ(p.recordingDevice, -1);
  EXPECT_FALSE(p.disableHotkeys || p.toggleNotifications);
}

TEST(HotkeyActionPlanTest, APlaceholderEntryNeverMatches) {
  // With no playback device the list holds only its placeholder, count 0.
  const std::vector<Device> playback = {{u"No playback devices found", u""}};
  const std::vector<Device> recording = {{u"Microphone", kMicrophone}, {u"Stale", kHeadset}};
  const HotkeyActionPlan p = PlanHotkeyAction(u"", true, playback, 0, recording, 1, IdentifierOf);
  EXPECT_EQ(p.playbackDevice, -1);
  EXPECT_EQ(p.recordingDevice, -1);
  // An entry beyond the count is not a device.
  EXPECT_EQ(FindDeviceByIdentifier(recording, 1, kHeadset, IdentifierOf), -1);
  EXPECT_EQ(FindDeviceByIdentifier(recording, 5, kHeadset, IdentifierOf), 1);
}

// ------------------------------------------------------- the keyboard path

// The main form's keyboard fields and hotkey action, wired from the pieces
// as the form wires them.
class KeyboardPathTest : public testing::Test {
 protected:
  void SetUp() override {
    files.AddFolder(u"C:\\Users\\u\\AppData\\Roaming\\Varnolet 7\\Data");
    // Ctrl+Alt+H disables hotkeys, Ctrl+Shift+N toggles notifications,
    // Alt+1 the headset, Alt+2 a recording device that is unplugged.
    std::vector<std::uint8_t> bytes = Header(4);
    Record(bytes, {22 + 7}, 1, 0, 1, Narrow(hotkey_id::kDisableHotkeys));
    Record(bytes, {22 + 13}, 0, 1, 1, Narrow(hotkey_id::kNotifications));
    Record(bytes, {13}, 1, 0, 0, Narrow(kHeadset));
    Record(bytes, {14}, 1, 0, 0, Narrow(kUnplugged));
    fileBytes = bytes;
    files.AddFile(kPath, bytes);
    ASSERT_TRUE(InitializeHotkeys(services, fields, settings[4]));
    ASSERT_EQ(table.Items().size(), 4u);
  }

  bool HotkeyAction(const std::u16string* parameter) {
    const std::u16string identifier = *parameter;  // the lists it points into are replaced below
    const HotkeyActionPlan plan = PlanHotkeyAction(identifier, hotkeysEnabled == 1, playback, playback.size(),
                                                   recording, recording.size(), IdentifierOf);
    if (plan.disableHotkeys) {
      settings[4] = 0;
      outcomes.push_back(SaveHotkeyConfiguration(services, fields, settings[4], false,
                                                 LoadedHotkeySlots(loadedHotkeys, hotkeyIdentifiers)));
      shown.push_back(u"Hotkeys disabled");
    }
    if (plan.playbackDevice >= 0) shown.push_back(playback[static_cast<std::size_t>(plan.playbackDevice)].name);
    if (plan.recordingDevice >= 0) shown.push_back(recording[static_cast<std::size_t>(plan.recordingDevice)].name);
    return true;
  }

  // One key event through the raw input handler.
  bool Key(std::uint16_t makeCode, std::uint16_t flags, std::uint16_t virtualKey, bool down) {
    const std::uintptr_t handle = rawApi.Deliver(KeyboardRecord(makeCode, flags, virtualKey, down ? kKeyDown : kKeyUp));
    return HandleRawInput(raw.Keyboard, table, sequence, inputState, handle);
  }

  FakeSystem system;
  FakeFiles files{system};
  FakeUtf8 utf8;
  CDrive drive{files, system, system};
  ActivityLog log{system, system};
  FakeRawInput rawApi{system};
  CRawInput raw{rawApi, system, system};
  CHotkeys table{system, system};
  FakeSequenceTimer timer;
  MonitorKeySequence sequence{timer};
  DEVICEINPUT inputState;
  std::vector<HOTKEY> loadedHotkeys;
  std::vector<std::u16string> hotkeyIdentifiers;
  std::uint8_t hotkeysEnabled = 0;
  std::uint8_t hotkeyInitFailed = 0;
  std::int32_t settings[7] = {0, 0, 0, 1, 1, 11, 0};
  std::vector<Device> playback = {{u"Speakers", kSpeakers}, {u"Headset", kHeadset}};
  std::vector<Device> recording = {{u"Microphone", kMicrophone}};
  HotkeyFields fields{loadedHotkeys, hotkeyIdentifiers, hotkeysEnabled, hotkeyInitFailed};
  HotkeyServices services{{drive, utf8, log, kPath}, table, raw, 0x20044,
                          BindHotkeyAction<&KeyboardPathTest::HotkeyAction>(*this)};
  std::vector<std::uint8_t> fileBytes;
  std::vector<SaveHotkeysOutcome> outcomes;
  std::vector<std::u16string> shown;
};

TEST_F(KeyboardPathTest, ADeviceHotkeyFiresOnPressAndOnEveryRepeat) {
  Key(0x38, 0, 0x12, true);  // left Alt
  Key(0x02, 0, '1', true);
  Key(0x02, 0, '1', true);  // automatic repeat
  Key(0x02, 0, '1', false);
  Key(0x38, 0, 0x12, false);
  EXPECT_EQ(shown, (std::vector<std::u16string>{u"Headset", u"Headset"}));
}

TEST_F(KeyboardPathTest, AHotkeyOfAnAbsentDeviceDoesNothing) {
  Key(0x38, kE0Flag, 0x12, true);  // right Alt
  Key(0x03, 0, '2', true);
  EXPECT_TRUE(shown.empty());
}

TEST_F(KeyboardPathTest, DisableHotkeysFromInsideTheMatchSavesEveryLoadedHotkey) {
  ASSERT_EQ(rawApi.Registered().size(), 1u);
  const std::u16string* oldIdentifiers = hotkeyIdentifiers.data();
  Key(0x1D, 0, 0x11, true);  // left Ctrl
  Key(0x38, 0, 0x12, true);  // left Alt
  Key(0x23, 0, 'H', true);   // the table is emptied and reloaded inside this call

  EXPECT_EQ(shown, std::vector<std::u16string>{u"Hotkeys disabled"});
  EXPECT_EQ(outcomes, std::vector<SaveHotkeysOutcome>{SaveHotkeysOutcome::Reloaded});
  EXPECT_EQ(settings[4], 0);
  EXPECT_EQ(hotkeysEnabled, 0);
  EXPECT_TRUE(rawApi.Registered().empty());
  // Every hotkey is still in the file, the one of the unplugged device too.
  EXPECT_EQ(files.Bytes(kPath), fileBytes);
  ASSERT_EQ(table.Items().size(), 4u);
  EXPECT_NE(hotkeyIdentifiers.data(), oldIdentifiers);
  EXPECT_EQ(table.Items()[3].parameter, &hotkeyIdentifiers[3]);

  // Pressed again (were its events still arriving), it does nothing.
  Key(0x23, 0, 'H', false);
  Key(0x23, 0, 'H', true);
  EXPECT_EQ(outcomes.size(), 1u);
  EXPECT_EQ(shown.size(), 1u);
}

TEST_F(KeyboardPathTest, TheMonitorSequenceArrivesThroughTheSameEvents) {
  int shows = 0;
  const std::uint16_t codes[] = {0x10, 0x2D, 0x11, 0x14, 0x2C, 0x25, 0x19, 0x2F};  // Q X W T Z K P V
  const char16_t letters[] = u"QXWTZKPV";
  for (int i = 0; i < 8; ++i) {
    shows += Key(codes[i], 0, letters[i], true) ? 1 : 0;
    shows += Key(codes[i], 0, letters[i], false) ? 1 : 0;
  }
  EXPECT_EQ(shows, 1);
  EXPECT_TRUE(shown.empty());
}

TEST_F(KeyboardPathTest, AFailedQueryStillEvaluatesTheUnchangedState) {
  Key(0x38, 0, 0x12, true);
  Key(0x02, 0, '1', true);
  rawApi.failures.FailNext("SizeQuery", 6);
  Key(0x02, 0, '1', false);  // lost: the state still holds Alt+1
  EXPECT_EQ(shown, (std::vector<std::u16string>{u"Headset", u"Headset"}));
}

}  // namespace
}  // namespace varnolet
