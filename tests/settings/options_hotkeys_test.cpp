// The Options dialog's hotkey page on a whole main form: the key lists and
// their "-" marks, the slots, the refused choice and its warning, and what
// OK writes to the hotkey map.
#include <gtest/gtest.h>

#include "fakes/form_rig.h"
#include "input/input_test_files.h"

namespace varnolet {
namespace {

using fakes::Endpoint;
using fakes::FormRig;
using C = OptionsControl;
using Lines = std::vector<std::u16string>;

const std::u16string kKey(kSettingsKey);
const std::u16string kHotkeyFile = std::u16string(fakes::kDataDir) + u"\\hmap.dat";
const std::u16string kHeadset = u"{0.0.0.00000000}.{11111111-1111-1111-1111-111111111111}";
const std::u16string kSpeakers = u"{0.0.0.00000000}.{22222222-2222-2222-2222-222222222222}";
const std::u16string kMicrophone = u"{0.0.1.00000000}.{33333333-3333-3333-3333-333333333333}";
const std::u16string kAbsent = u"{0.0.0.00000000}.{99999999-9999-9999-9999-999999999999}";

// Key-list indices.
constexpr int k1 = 1, kD = 13, kM = 22, kP = 25, kV = 30;

class OptionsHotkeysTest : public testing::Test {
 protected:
  void SetUp() override {
    rig.registry.SetDword(kKey, u"Splash", 1);
    rig.audio.render = {Endpoint(kHeadset, u"Headset"), Endpoint(kSpeakers, u"Speakers")};
    rig.audio.capture = {Endpoint(kMicrophone, u"Microphone")};
  }
  void WriteMap(const std::vector<std::uint8_t>& bytes) { rig.files.AddFile(kHotkeyFile, bytes); }
  TNotificationsForm& Open() {
    TNotificationsForm& form = rig.form ? *rig.form : rig.Start();
    form.MenuOptionsClick();
    return form;
  }
  // The hotkeys that hmap.dat holds now, read back by the program's own reader.
  std::vector<HotkeySlot> Saved() {
    ActivityLog log(rig.system, rig.system);
    CDrive drive(rig.files, rig.system, rig.system);
    HotkeyFileAccess access{drive, rig.utf8, log, kHotkeyFile};
    std::vector<HOTKEY> hotkeys;
    std::vector<std::u16string> ids;
    EXPECT_TRUE(LoadHotkeyFile(access, hotkeys, ids));
    std::vector<HotkeySlot> slots;
    for (std::size_t i = 0; i < hotkeys.size(); ++i) {
      HotkeySlot slot;
      slot.pattern = hotkeys[i];
      slot.identifier = ids[i];
      slots.push_back(slot);
    }
    return slots;
  }
  const std::u16string& Item(C list, int index) const {
    return rig.optionsView[list].items.at(static_cast<std::size_t>(index));
  }
  TOptionsForm& options() { return rig.options; }
  FormRig rig;
};

TEST_F(OptionsHotkeysTest, KeyListsHoldTheDigitsAndLettersWithVBeforeUAndNone) {
  Open();
  Lines expected;
  for (char16_t c = u'0'; c <= u'9'; ++c) expected.push_back(std::u16string(1, c));
  for (char16_t c = u'A'; c <= u'T'; ++c) expected.push_back(std::u16string(1, c));
  expected.insert(expected.end(), {u"V", u"U", u"W", u"X", u"Y", u"Z", u"None"});
  for (C list : {C::comboHotkeys, C::comboNotifications, C::comboPlaybackHotkey, C::comboRecordingHotkey}) {
    EXPECT_EQ(rig.optionsView[list].items, expected);
    EXPECT_EQ(rig.optionsView[list].selected, kNoKey);
  }
  EXPECT_EQ(rig.optionsView[C::comboPlaybackDevices].items, (Lines{u"Headset", u"Speakers"}));
  EXPECT_EQ(rig.optionsView[C::comboRecordingDevices].items, (Lines{u"Microphone"}));
}

TEST_F(OptionsHotkeysTest, ChoosingAKeyMarksItInTheOtherRowsAndNoneGivesItBack) {
  Open();
  const C others[] = {C::comboNotifications, C::comboPlaybackHotkey, C::comboRecordingHotkey};
  options().ListSelected(C::comboHotkeys, kP);
  for (C list : others) EXPECT_EQ(Item(list, kP), u"-");
  EXPECT_EQ(Item(C::comboHotkeys, kP), u"P");
  EXPECT_EQ(options().lastHotkeysKey, kP);
  EXPECT_EQ(options().slotKeys[0], kP);

  options().ListSelected(C::comboHotkeys, kNoKey);
  for (C list : others) EXPECT_EQ(Item(list, kP), u"P");
  EXPECT_EQ(options().slotKeys[0], -1);

  options().ListSelected(C::comboHotkeys, kP);
  for (C list : others) EXPECT_EQ(Item(list, kP), u"-");
  // Moving to another key frees the old one.
  options().ListSelected(C::comboHotkeys, kD);
  for (C list : others) {
    EXPECT_EQ(Item(list, kP), u"P");
    EXPECT_EQ(Item(list, kD), u"-");
  }
}

TEST_F(OptionsHotkeysTest, RefusedKeyShowsTheWarningAndThenTheSlotsOwnKey) {
  std::vector<std::uint8_t> map = test_files::Header(2);
  test_files::Record(map, {key::kLetterV}, 0, 1, 1, test_files::Narrow(hotkey_id::kNotifications));
  test_files::Record(map, {key::kLetterA + 3}, 1, 0, 1, test_files::Narrow(hotkey_id::kDisableHotkeys));  // D
  WriteMap(map);
  Open();
  ASSERT_EQ(rig.optionsView[C::comboHotkeys].selected, kD);
  ASSERT_EQ(Item(C::comboHotkeys, kV), u"-");

  options().ListSelected(C::comboHotkeys, kV);
  EXPECT_TRUE(rig.optionsView[C::LblWarning].visible);
  EXPECT_EQ(rig.optionsView[C::LblWarning].text, u"Specified key is already used");
  EXPECT_TRUE(rig.optionsView.timerRunning);
  EXPECT_EQ(rig.optionsView.timerInterval, 1000u);
  // Ticking a modifier meanwhile keeps the slot's own key.
  options().CheckClicked(C::checkShiftHotkeys, true);
  // A second refusal within the second, in another row.
  options().ListSelected(C::comboPlaybackHotkey, kD);
  EXPECT_TRUE(rig.optionsView[C::LblWarning].visible);

  options().TimerTicked();
  EXPECT_FALSE(rig.optionsView[C::LblWarning].visible);
  EXPECT_FALSE(rig.optionsView.timerRunning);
  EXPECT_EQ(rig.optionsView[C::comboHotkeys].selected, kD);
  EXPECT_EQ(rig.optionsView[C::comboPlaybackHotkey].selected, kNoKey);
  EXPECT_EQ(Item(C::comboHotkeys, kV), u"-");

  options().ButtonClicked(C::BtnOK);
  const std::vector<HotkeySlot> saved = Saved();
  ASSERT_EQ(saved.size(), 2u);
  EXPECT_EQ(saved[0].identifier, hotkey_id::kDisableHotkeys);
  EXPECT_EQ(saved[0].pattern.keyboard.keys[key::kLetterA + 3], 1);
  EXPECT_EQ(saved[0].pattern.keyboard.keys[key::kLetterV], 0);
  EXPECT_EQ(saved[0].pattern.keyboard.keys[key::kShift], 1);
  EXPECT_EQ(saved[1].identifier, hotkey_id::kNotifications);
}

TEST_F(OptionsHotkeysTest, TwoPlaybackDevicesShareOneKeyList) {
  Open();
  options().ListSelected(C::comboPlaybackHotkey, k1);  // Headset
  EXPECT_EQ(Item(C::comboPlaybackHotkey, k1), u"1");
  EXPECT_EQ(Item(C::comboHotkeys, k1), u"-");

  options().ListSelected(C::comboPlaybackDevices, 1);  // Speakers
  EXPECT_EQ(rig.optionsView[C::comboPlaybackHotkey].selected, kNoKey);
  EXPECT_EQ(Item(C::comboPlaybackHotkey, k1), u"-");
  options().ListSelected(C::comboPlaybackHotkey, k1);  // refused for the second device
  EXPECT_TRUE(rig.optionsView[C::LblWarning].visible);
  options().TimerTicked();
  options().ListSelected(C::comboPlaybackHotkey, kM);
  options().CheckClicked(C::checkAltPlaybackDevices, true);

  options().ListSelected(C::comboPlaybackDevices, 0);
  EXPECT_EQ(rig.optionsView[C::comboPlaybackHotkey].selected, k1);
  EXPECT_EQ(Item(C::comboPlaybackHotkey, k1), u"1");
  EXPECT_EQ(Item(C::comboPlaybackHotkey, kM), u"-");
  EXPECT_FALSE(rig.optionsView[C::checkAltPlaybackDevices].checked);

  options().ButtonClicked(C::BtnOK);
  const std::vector<HotkeySlot> saved = Saved();
  ASSERT_EQ(saved.size(), 2u);
  EXPECT_EQ(saved[0].identifier, kHeadset);
  EXPECT_EQ(saved[1].identifier, kSpeakers);
  EXPECT_EQ(saved[1].pattern.keyboard.keys[key::kAlt], 1);
}

TEST_F(OptionsHotkeysTest, AltWithNoneStoresNothing) {
  Open();
  options().CheckClicked(C::checkAltHotkeys, true);
  options().CheckClicked(C::checkCtrlNotifications, true);
  options().ButtonClicked(C::BtnOK);
  EXPECT_TRUE(Saved().empty());
}

TEST_F(OptionsHotkeysTest, CtrlShiftVForNotificationsIsRecordByte42) {
  Open();
  options().ListSelected(C::comboNotifications, kV);
  options().CheckClicked(C::checkCtrlNotifications, true);
  options().CheckClicked(C::checkShiftNotifications, true);
  options().ButtonClicked(C::BtnOK);
  const std::vector<std::uint8_t> bytes = *rig.files.Bytes(kHotkeyFile);
  ASSERT_GT(bytes.size(), hotkey_file::kHeaderSize + hotkey_file::kFixedRecordSize);
  EXPECT_EQ(bytes[15], 1u);  // one record
  const std::size_t record = hotkey_file::kHeaderSize;
  for (std::size_t i = 0; i < hotkey_file::kKeyBytes; ++i)
    EXPECT_EQ(bytes[record + i], i == 42 ? 1u : 0u) << i;
  EXPECT_EQ(bytes[record + 48], 0u);  // Alt
  EXPECT_EQ(bytes[record + 49], 1u);  // Shift
  EXPECT_EQ(bytes[record + 50], 1u);  // Ctrl
  // The typed chord now works.
  ASSERT_EQ(rig.objects->HotkeyTable.Items().size(), 1u);
  EXPECT_EQ(*rig.objects->HotkeyTable.Items()[0].parameter, hotkey_id::kNotifications);
}

TEST_F(OptionsHotkeysTest, HotkeyOfAnAbsentDeviceIsKeptWithItsKeyTaken) {
  std::vector<std::uint8_t> map = test_files::Header(2);
  test_files::Record(map, {key::kDigit0 + 2}, 1, 0, 1, test_files::Narrow(kAbsent));      // Ctrl+Alt+2
  test_files::Record(map, {key::kDigit0 + 1}, 1, 0, 1, test_files::Narrow(kMicrophone));  // Ctrl+Alt+1
  WriteMap(map);
  Open();
  for (C list : {C::comboHotkeys, C::comboNotifications, C::comboPlaybackHotkey, C::comboRecordingHotkey})
    EXPECT_EQ(Item(list, 2), u"-");
  options().ListSelected(C::comboHotkeys, 2);
  EXPECT_TRUE(rig.optionsView[C::LblWarning].visible);
  options().TimerTicked();
  // Another key taken and given back leaves the absent device's key taken.
  options().ListSelected(C::comboNotifications, kP);
  options().ListSelected(C::comboNotifications, kNoKey);
  EXPECT_EQ(Item(C::comboHotkeys, 2), u"-");
  options().CheckClicked(C::checkStartup, true);  // an unrelated change
  options().ButtonClicked(C::BtnOK);
  const std::vector<HotkeySlot> saved = Saved();
  ASSERT_EQ(saved.size(), 2u);
  EXPECT_EQ(saved[0].identifier, kMicrophone);
  EXPECT_EQ(saved[1].identifier, kAbsent);
  EXPECT_EQ(saved[1].pattern.keyboard.keys[key::kDigit0 + 2], 1);
  // Shown again: still taken.
  rig.form->MenuOptionsClick();
  EXPECT_EQ(Item(C::comboPlaybackHotkey, 2), u"-");
}

TEST_F(OptionsHotkeysTest, KeysOfACancelledDialogAreFreeAtTheNextShowing) {
  Open();
  options().ListSelected(C::comboHotkeys, kP);
  options().ListSelected(C::comboPlaybackDevices, 1);
  options().ListSelected(C::comboPlaybackHotkey, kM);
  options().ListSelected(C::comboRecordingHotkey, kD);
  options().ButtonClicked(C::BtnCancel);
  rig.form->MenuOptionsClick();
  EXPECT_EQ(rig.optionsView[C::comboHotkeys].selected, kNoKey);
  EXPECT_EQ(rig.optionsView[C::comboPlaybackHotkey].selected, kNoKey);
  EXPECT_EQ(options().lastHotkeysKey, kNoKey);
  for (C list : {C::comboHotkeys, C::comboNotifications, C::comboPlaybackHotkey, C::comboRecordingHotkey})
    for (int key : {kP, kM, kD}) EXPECT_EQ(Item(list, key), KeyCaption(key));
  options().ListSelected(C::comboNotifications, kM);
  EXPECT_FALSE(rig.optionsView[C::LblWarning].visible);
}

TEST_F(OptionsHotkeysTest, DeviceRowWithoutDevicesChangesNoSlot) {
  rig.audio.capture.clear();
  Open();
  EXPECT_TRUE(rig.optionsView[C::comboRecordingDevices].items.empty());
  for (C control : {C::comboRecordingDevices, C::comboRecordingHotkey, C::checkAltRecordingDevices,
                    C::checkCtrlRecordingDevices, C::checkShiftRecordingDevices})
    EXPECT_FALSE(rig.optionsView[control].enabled);
  EXPECT_TRUE(rig.optionsView[C::comboPlaybackHotkey].enabled);
  const std::vector<HotkeySlot> before = options().hotkeySlots;
  options().ListSelected(C::comboRecordingHotkey, kM);
  options().CheckClicked(C::checkAltRecordingDevices, true);
  ASSERT_EQ(options().hotkeySlots.size(), before.size());
  for (std::size_t i = 0; i < before.size(); ++i) {
    EXPECT_EQ(options().hotkeySlots[i].identifier, before[i].identifier);
    EXPECT_EQ(options().hotkeySlots[i].pattern.keyboard.keys, before[i].pattern.keyboard.keys);
  }
}

TEST_F(OptionsHotkeysTest, SlotsKeepTheirIdentifiersWhenTheDeviceListsAreRebuilt) {
  TNotificationsForm& form = Open();
  options().ListSelected(C::comboPlaybackDevices, 1);  // Speakers
  options().ListSelected(C::comboPlaybackHotkey, kM);
  // A tray click rebuilds the main form's lists with other devices meanwhile.
  rig.audio.render = {Endpoint(kAbsent, u"Other")};
  form.Devices().Enumerate();
  options().CheckClicked(C::checkCtrlPlaybackDevices, true);
  options().ButtonClicked(C::BtnOK);
  const std::vector<HotkeySlot> saved = Saved();
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(saved[0].identifier, kSpeakers);
  EXPECT_EQ(saved[0].pattern.keyboard.keys[key::kCtrl], 1);
}

TEST_F(OptionsHotkeysTest, UncheckingEnableHotkeysSavesReloadsAndStopsTheKeyboard) {
  std::vector<std::uint8_t> map = test_files::Header(1);
  test_files::Record(map, {key::kLetterV}, 0, 1, 1, test_files::Narrow(hotkey_id::kNotifications));
  WriteMap(map);
  TNotificationsForm& form = Open();
  ASSERT_TRUE(form.HotkeysEnabled());
  options().CheckClicked(C::checkHotkeys, false);
  options().ButtonClicked(C::BtnOK);
  EXPECT_FALSE(form.HotkeysEnabled());
  EXPECT_EQ(form.Settings()[setting::Hotkeys], 0);
  EXPECT_EQ(rig.registry.GetDword(kKey, u"Hotkeys"), 0u);
  EXPECT_EQ(Saved().size(), 1u);  // the file is still written
  EXPECT_EQ(rig.Section(u"Intializing hotkeys setting . . .").back(),
            u"  -Unregistered from receiving keyboard notifications");
  EXPECT_TRUE(rig.rawInput.Registered().empty());  // raw keyboard input is off
}

}  // namespace
}  // namespace varnolet
