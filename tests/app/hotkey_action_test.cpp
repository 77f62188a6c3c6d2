// The keyboard's path through the main form: hotkeys typed as raw input
// records, their actions, and the monitor key sequence.
#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/form_rig.h"
#include "input/input_test_files.h"

namespace varnolet {
namespace {

using fakes::Endpoint;
using fakes::FormRig;
using fakes::KeyboardRecord;

const std::u16string kKey(kSettingsKey);
const std::u16string kHotkeyFile = std::u16string(fakes::kDataDir) + u"\\hmap.dat";
const std::string kHeadset = "{0.0.0.00000000}.{11111111-1111-1111-1111-111111111111}";
const std::string kMicrophone = "{0.0.1.00000000}.{33333333-3333-3333-3333-333333333333}";
const std::string kAbsent = "{0.0.0.00000000}.{99999999-9999-9999-9999-999999999999}";

// Key positions of the map's records, and scan codes of the keys typed.
constexpr int kPosition1 = 13, kPosition2 = 14, kPositionD = 25, kPositionM = 34, kPositionV = 42;
struct Key {
  std::uint16_t make;
  std::uint16_t virtualKey;
};
constexpr Key kCtrl{0x1D, 0x11}, kShift{0x2A, 0x10}, kAlt{0x38, 0x12};
constexpr Key kV{0x2F, 'V'}, kD{0x20, 'D'}, k1{0x02, '1'}, k2{0x03, '2'}, kM{0x32, 'M'};

class HotkeyActionTest : public testing::Test {
 protected:
  void SetUp() override {
    std::vector<std::uint8_t> map = test_files::Header(5);
    test_files::Record(map, {kPositionV}, 0, 1, 1,
                       test_files::Narrow(hotkey_id::kNotifications));  // Ctrl+Shift+V
    test_files::Record(map, {kPositionD}, 1, 0, 1,
                       test_files::Narrow(hotkey_id::kDisableHotkeys));  // Ctrl+Alt+D
    test_files::Record(map, {kPosition1}, 1, 0, 1, kHeadset);            // Ctrl+Alt+1
    test_files::Record(map, {kPosition2}, 1, 0, 1, kAbsent);             // Ctrl+Alt+2
    test_files::Record(map, {kPositionM}, 1, 0, 1, kMicrophone);         // Ctrl+Alt+M
    mapBytes = map;
    rig.files.AddFile(kHotkeyFile, map);
    rig.registry.SetDword(kKey, u"Splash", 1);
    rig.audio.render = {Endpoint(u"{0.0.0.00000000}.{11111111-1111-1111-1111-111111111111}", u"Headset"),
                        Endpoint(u"{0.0.0.00000000}.{22222222-2222-2222-2222-222222222222}", u"Speakers")};
    rig.audio.capture = {Endpoint(u"{0.0.1.00000000}.{33333333-3333-3333-3333-333333333333}", u"Microphone")};
  }

  void Event(Key key, std::uint32_t message) {
    form().OnRawInput(rig.rawInput.Deliver(KeyboardRecord(key.make, 0, key.virtualKey, message)));
  }
  // Holds the modifiers, presses and releases the key, releases the modifiers.
  void Chord(std::initializer_list<Key> modifiers, Key key) {
    for (Key modifier : modifiers) Event(modifier, fakes::kKeyDown);
    Event(key, fakes::kKeyDown);
    Event(key, fakes::kKeyUp);
    for (Key modifier : modifiers) Event(modifier, fakes::kKeyUp);
    form().TimerDTimer();  // a pause: the typed-key text starts again
  }
  TNotificationsForm& form() { return *rig.form; }
  std::u16string Shown() { return rig.view.single.labels[NotificationLabel::DeviceName]; }

  FormRig rig;
  std::vector<std::uint8_t> mapBytes;
};

TEST_F(HotkeyActionTest, NotificationsHotkeyTurnsThemOffThenOnAndShowsBoth) {
  rig.Start();
  ASSERT_EQ(form().LoadedHotkeys().size(), 5u);
  Chord({kCtrl, kShift}, kV);
  // Shown while notifications were still on, then switched off and saved.
  EXPECT_EQ(Shown(), u"Notifications disabled");
  EXPECT_FALSE(form().NotificationsEnabled());
  EXPECT_EQ(rig.registry.GetDword(kKey, u"Notifications"), 0u);
  EXPECT_EQ(rig.view.picture, u"IMG_2");
  EXPECT_FALSE(rig.options.Checked(OptionsControl::checkNotifications));  // the dialog's box follows

  Chord({kCtrl, kShift}, kV);
  EXPECT_EQ(Shown(), u"Notifications enabled");
  EXPECT_TRUE(form().NotificationsEnabled());
  EXPECT_EQ(rig.registry.GetDword(kKey, u"Notifications"), 1u);
  EXPECT_TRUE(rig.view.single.visible);
}

TEST_F(HotkeyActionTest, DisableHotkeysSavesEveryLoadedHotkeyAndStopsRawInput) {
  rig.Start();
  ASSERT_EQ(rig.rawInput.Registered().size(), 1u);
  // The table is emptied and reloaded from inside the matching callback.
  Chord({kCtrl, kAlt}, kD);
  EXPECT_EQ(rig.registry.GetDword(kKey, u"Hotkeys"), 0u);
  EXPECT_FALSE(form().HotkeysEnabled());
  EXPECT_TRUE(rig.rawInput.Registered().empty());
  EXPECT_EQ(Shown(), u"Hotkeys disabled");
  EXPECT_EQ(rig.view.picture, u"IMG_1");
  // Every hotkey is still in the file, the absent device's included, as loaded.
  EXPECT_EQ(rig.files.Bytes(kHotkeyFile), mapBytes);
  EXPECT_EQ(form().LoadedHotkeys().size(), 5u);
  // The reloaded table points into the identifiers loaded with it.
  const std::vector<HOTKEY>& items = rig.objects->HotkeyTable.Items();
  ASSERT_EQ(items.size(), 5u);
  for (std::size_t i = 0; i < items.size(); ++i)
    EXPECT_EQ(items[i].parameter, &form().HotkeyIdentifiers()[i]);

  // Pressed again (the action called as the table would): nothing more happens.
  const std::size_t lines = rig.Lines().size();
  const std::u16string id(hotkey_id::kDisableHotkeys);
  form().Hotkeys().Fire(&id);
  EXPECT_EQ(rig.Lines().size(), lines);
}

TEST_F(HotkeyActionTest, DisableHotkeysWithNotificationsOffShowsNothing) {
  rig.registry.SetDword(kKey, u"Notifications", 0);
  rig.Start();
  Chord({kCtrl, kAlt}, kD);
  EXPECT_EQ(rig.registry.GetDword(kKey, u"Hotkeys"), 0u);
  EXPECT_EQ(Shown(), u"");
  EXPECT_FALSE(rig.view.single.visible);
}

TEST_F(HotkeyActionTest, DeviceHotkeySwitchesAndAnnouncesOnlyASuccess) {
  rig.Start();
  Chord({kCtrl, kAlt}, k1);
  ASSERT_EQ(rig.audio.setCalls.size(), 2u);  // Role 11: multimedia, then communications
  EXPECT_EQ(rig.audio.setCalls[0].role, audio::kRoleMultimedia);
  EXPECT_EQ(rig.audio.setCalls[1].role, audio::kRoleCommunications);
  EXPECT_EQ(Shown(), u"Headset");
  EXPECT_EQ(rig.view.picture, u"IMG_3");
  EXPECT_EQ(rig.view.playbackItems.size(), 2u);  // the menu was rebuilt

  Chord({kCtrl, kAlt}, kM);
  EXPECT_EQ(Shown(), u"Microphone");
  EXPECT_EQ(rig.view.picture, u"IMG_4");

  rig.audio.failures.FailAlways("SetDefaultEndpoint", fakes::kElementNotFound);
  rig.view.picture.clear();
  rig.view.single.labels.clear();
  Chord({kCtrl, kAlt}, k1);
  EXPECT_EQ(Shown(), u"");
  EXPECT_EQ(rig.view.picture, u"");
  EXPECT_EQ(rig.Lines().back(),
            u"  -Could not change default render device, " + rig.system.Text(fakes::kElementNotFound));
}

// The keyboard repeats a held key: every repeat matches again and switches again.
TEST_F(HotkeyActionTest, HoldingADeviceHotkeySwitchesAgainWithEveryRepeat) {
  rig.Start();
  Event(kCtrl, fakes::kKeyDown);
  Event(kAlt, fakes::kKeyDown);
  Event(k1, fakes::kKeyDown);
  Event(k1, fakes::kKeyDown);  // automatic repeat
  Event(k1, fakes::kKeyDown);
  Event(k1, fakes::kKeyUp);
  Event(kAlt, fakes::kKeyUp);
  Event(kCtrl, fakes::kKeyUp);
  EXPECT_EQ(rig.audio.setCalls.size(), 6u);  // three switches, two roles each
  const std::vector<std::u16string> lines = rig.Lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), u"Changing default render device . . ."), 3);
}

// A record that cannot be read leaves the held state as it was, and that
// state is matched again: the lost release of "1" still holds Ctrl+Alt+1.
TEST_F(HotkeyActionTest, ARecordThatCannotBeReadStillEvaluatesTheUnchangedState) {
  rig.Start();
  Event(kCtrl, fakes::kKeyDown);
  Event(kAlt, fakes::kKeyDown);
  Event(k1, fakes::kKeyDown);
  rig.rawInput.failures.FailNext("SizeQuery", 6);
  Event(k1, fakes::kKeyUp);
  EXPECT_EQ(rig.audio.setCalls.size(), 4u);
  EXPECT_EQ(Shown(), u"Headset");
}

TEST_F(HotkeyActionTest, HotkeyOfAnAbsentDeviceDoesNothing) {
  rig.Start();
  const std::size_t lines = rig.Lines().size();
  Chord({kCtrl, kAlt}, k2);
  EXPECT_TRUE(rig.audio.setCalls.empty());
  EXPECT_EQ(rig.Lines().size(), lines);
  EXPECT_EQ(Shown(), u"");
}

TEST_F(HotkeyActionTest, MonitorSequenceOpensTheMonitorOnlyWhenTypedIntoAnEmptyText) {
  rig.Start();
  const Key sequence[] = {{0x10, 'Q'}, {0x2D, 'X'}, {0x11, 'W'}, {0x14, 'T'},
                          {0x2C, 'Z'}, {0x25, 'K'}, {0x19, 'P'}, {0x2F, 'V'}};
  auto type = [&] {
    for (Key key : sequence) {
      Event(key, fakes::kKeyDown);
      Event(key, fakes::kKeyUp);
    }
  };
  Event(kD, fakes::kKeyDown);  // a stray key first
  Event(kD, fakes::kKeyUp);
  type();
  EXPECT_EQ(rig.view.debugFormShown, 0);
  EXPECT_TRUE(rig.view.timerDRunning);
  form().TimerDTimer();  // the pause ends the text
  type();
  EXPECT_EQ(rig.view.debugFormShown, 1);
}

TEST_F(HotkeyActionTest, MonitorPagesReadTheForm) {
  rig.Start();
  form().TrayMouseDown();
  const std::vector<std::u16string> general = MonitorPage(monitor::kGeneralTab, form());
  ASSERT_EQ(general.size(), 15u);
  EXPECT_EQ(general[5], u"    -C:\\Program Files\\Varnolet 7");
  EXPECT_EQ(general[14], u"    -HKEY_CURRENT_USER\\Software\\Kestrova Technologies\\Varnolet 7");
  const std::vector<std::u16string> hotkeys = MonitorPage(monitor::kHotkeysTab, form());
  EXPECT_EQ(hotkeys[1], u"0.) Enable\\Disable Notifications, Modifiers: Ctrl Shift, Key: V");
  EXPECT_EQ(hotkeys[5], u"2.) Headset, Modifiers: Alt Ctrl, Key: 1");
  const std::vector<std::u16string> log = MonitorPage(monitor::kLogTab, form());
  EXPECT_EQ(log, form().Log().Lines());
}

}  // namespace
}  // namespace varnolet
