#include "diag/monitor_pages.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "input/hotkey_file.h"

namespace varnolet {
namespace {

using Lines = std::vector<std::u16string>;

constexpr char16_t kHeadset[] = u"{0.0.0.00000000}.{0a1b2c3d-0405-0607-0809-0a0b0c0d0e0f}";
constexpr char16_t kSpeakers[] = u"{0.0.0.00000000}.{f1e2d3c4-b5a6-9788-7968-5a4b3c2d1e0f}";
constexpr char16_t kMicrophone[] = u"{0.0.1.00000000}.{12345678-9abc-def0-1234-56789abcdef0}";

// The headset's endpoint GUID: it begins with a zero digit.
constexpr ComGuid kHeadsetGuid{0x0a1b2c3d, 0x0405, 0x0607, {0x08, 0x09, 0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f}};
constexpr ComGuid kMicrophoneGuid{
    0x12345678, 0x9abc, 0xdef0, {0x12, 0x34, 0x56, 0x78, 0x9a, 0xbc, 0xde, 0xf0}};
constexpr ComGuid kUnpluggedGuid{0x00000001, 0x0002, 0x0003, {0, 4, 0, 0, 0, 0, 0, 5}};

MonitorSnapshot Sample() {
  MonitorSnapshot s;
  s.windowsDescription = u"Windows 7 Ultimate Edition, 64-bit, Service Pack 1 (build 7601)";
  s.applicationPath = u"C:\\Program Files\\Varnolet 7";
  s.dataPath = u"C:\\Users\\u\\AppData\\Roaming";
  s.executablePath = u"C:\\Program Files\\Varnolet 7\\Varnolet7.exe";
  s.registryKey = u"Software\\Kestrova Technologies\\Varnolet 7";
  s.settings = {0, 0, 0, 1, 1, 11, 0};
  s.playback = {{{u"Speakers", kSpeakers}, {u"Headset", kHeadset}}, u"No playback devices found", 1};
  s.recording = {{{u"Microphone", kMicrophone}}, u"No recording devices found", 0};
  return s;
}

HOTKEY Hotkey(std::initializer_list<int> positions) {
  HOTKEY hotkey;
  for (int position : positions) hotkey.keyboard.keys[static_cast<std::size_t>(position)] = 1;
  return hotkey;
}

TEST(MonitorPagesTest, TabNamesAndCaption) {
  // The window shows these names on its tabs (checked under Wine).
  EXPECT_EQ(Lines(monitor::kTabNames, monitor::kTabNames + monitor::kTabCount),
            (Lines{u"General", u"Settings", u"Render Devices", u"Capture Devices", u"Device Links",
                   u"Hotkeys", u"Log"}));
  EXPECT_EQ(std::u16string(monitor::kCaption), u"Varnolet 7 Monitor");
  EXPECT_EQ(MonitorCaption(LocalTime{2026, 12, 8, 9, 5, 3}), u"Varnolet 7 Monitor  -  8/12/2026 9:5:3");
}

TEST(MonitorPagesTest, GeneralPageHasItsFifteenLines) {
  EXPECT_EQ(GeneralPage(Sample()),
            (Lines{
                u"",
                u"Windows OS information:",
                u"    -Windows 7 Ultimate Edition, 64-bit, Service Pack 1 (build 7601)",
                u"",
                u"Application path:",
                u"    -C:\\Program Files\\Varnolet 7",
                u"",
                u"Application data path:",
                u"    -C:\\Users\\u\\AppData\\Roaming",
                u"",
                u"Application executable:",
                u"    -C:\\Program Files\\Varnolet 7\\Varnolet7.exe",
                u"",
                u"Associated registry key:",
                u"    -HKEY_CURRENT_USER\\Software\\Kestrova Technologies\\Varnolet 7",
            }));
}

TEST(MonitorPagesTest, SettingsPageNamesEachValue) {
  MonitorSnapshot s = Sample();
  s.settings = {1, 1, 0, 0, 1, 10, 1};
  EXPECT_EQ(SettingsPage(s), (Lines{
                                 u"",
                                 u"Language:",
                                 u"    -Greek",
                                 u"",
                                 u"Start with Windows:",
                                 u"    -Enabled",
                                 u"",
                                 u"Splash screen:",
                                 u"    -Enabled",
                                 u"",
                                 u"Notifications:",
                                 u"    -Disabled",
                                 u"",
                                 u"Device Link:",
                                 u"    -Enabled",
                                 u"",
                                 u"Hotkeys:",
                                 u"    -Enabled",
                                 u"",
                                 u"Device Role:",
                                 u"    -Communications",
                             }));
}

TEST(MonitorPagesTest, SettingsWithoutAWordShowNothingAfterTheHyphen) {
  MonitorSnapshot s = Sample();
  s.settings = {2, -1, 1, 7, 0, 0, 5};
  const Lines lines = SettingsPage(s);
  ASSERT_EQ(lines.size(), 21u);
  EXPECT_EQ(lines[2], u"    -");           // Language 2
  EXPECT_EQ(lines[5], u"    -");           // Start with Windows -1
  EXPECT_EQ(lines[8], u"    -Disabled");   // Splash 1: not shown
  EXPECT_EQ(lines[11], u"    -");          // Notifications 7
  EXPECT_EQ(lines[14], u"    -");          // Device Link 5
  EXPECT_EQ(lines[17], u"    -Disabled");  // Hotkeys 0
  EXPECT_EQ(lines[20], u"    -");          // Role 0
  s.settings[setting::Role] = 11;
  s.settings[setting::Language] = 0;
  EXPECT_EQ(SettingsPage(s)[20], u"    -Multimedia & Communications");
  EXPECT_EQ(SettingsPage(s)[2], u"    -English");
  s.settings[setting::Role] = 1;
  EXPECT_EQ(SettingsPage(s)[20], u"    -Multimedia");
}

// The endpoint tabs, through a source whose menu update changes the lists.
class FakeMonitorSource final : public MonitorSource {
 public:
  MonitorSnapshot Snapshot() override { return snapshot; }
  void UpdatePopupMenu() override {
    ++menuUpdates;
    snapshot = afterUpdate;
  }
  MonitorSnapshot snapshot;
  MonitorSnapshot afterUpdate;
  int menuUpdates = 0;
};

TEST(MonitorPagesTest, RenderDevicesListTheEndpointsThenTheDefaultAfterTheMenuUpdate) {
  FakeMonitorSource source;
  source.snapshot = Sample();
  source.afterUpdate = Sample();
  EXPECT_EQ(MonitorPage(monitor::kRenderDevicesTab, source), (Lines{
                                                                 u"0.)",
                                                                 u"Device name: Speakers",
                                                                 std::u16string(u"Device GUID: ") + kSpeakers,
                                                                 u"",
                                                                 u"1.)",
                                                                 u"Device name: Headset",
                                                                 std::u16string(u"Device GUID: ") + kHeadset,
                                                                 u"",
                                                                 u"Default:",
                                                                 u"Device name: Headset",
                                                                 std::u16string(u"Device GUID: ") + kHeadset,
                                                             }));
  EXPECT_EQ(source.menuUpdates, 1);
  EXPECT_EQ(MonitorPage(monitor::kCaptureDevicesTab, source),
            (Lines{u"0.)", u"Device name: Microphone", std::u16string(u"Device GUID: ") + kMicrophone, u"",
                   u"Default:", u"Device name: Microphone", std::u16string(u"Device GUID: ") + kMicrophone}));
  EXPECT_EQ(source.menuUpdates, 2);
  EXPECT_EQ(MonitorPage(monitor::kGeneralTab, source).size(), 15u);
  EXPECT_EQ(source.menuUpdates, 2);  // only the endpoint tabs update the menu
}

TEST(MonitorPagesTest, AShrunkenListShowsItsFirstEntryAsTheDefault) {
  FakeMonitorSource source;
  source.snapshot = Sample();
  source.afterUpdate = Sample();
  source.afterUpdate.playback = {{{u"Speakers", kSpeakers}}, u"", 1};  // the headset was removed
  const Lines lines = MonitorPage(monitor::kRenderDevicesTab, source);
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(lines[9], u"Device name: Speakers");
  EXPECT_EQ(lines[10], std::u16string(u"Device GUID: ") + kSpeakers);

  MonitorDeviceList negative = {{{u"Speakers", kSpeakers}}, u"", -1};
  EXPECT_EQ(DefaultDeviceLines(negative)[1], u"Device name: Speakers");
}

TEST(MonitorPagesTest, NoDeviceShowsOnlyTheListsTextAsTheDefault) {
  // The default index of a list emptied since still names nothing.
  for (const int defaultIndex : {0, 2}) {
    const MonitorDeviceList none = {{}, u"No recording devices found", defaultIndex};
    EXPECT_TRUE(DeviceListLines(none).empty());
    EXPECT_EQ(DefaultDeviceLines(none),
              (Lines{u"Default:", u"Device name: No recording devices found", u"Device GUID: "}));
  }
  const MonitorDeviceList empty{};
  EXPECT_EQ(DefaultDeviceLines(empty), (Lines{u"Default:", u"Device name: ", u"Device GUID: "}));
}

TEST(MonitorPagesTest, DeviceLinksNameTheirEndpointsByGuid) {
  MonitorSnapshot s = Sample();
  EXPECT_EQ(DeviceLinksPage(s), (Lines{u"", u"No Device Link configuration has been set"}));

  s.deviceLinks = {{kHeadsetGuid, u"Game", u"C:\\Games\\game.exe"},
                   {kMicrophoneGuid, u"", u"C:\\Tools\\rec.exe"},
                   {kUnpluggedGuid, u"Player", u"C:\\Player\\play.exe"}};
  EXPECT_EQ(DeviceLinksPage(s), (Lines{
                                    u"",
                                    u"0.)",
                                    u"Device name: Headset",
                                    u"Program path: C:\\Games\\game.exe",
                                    u"Program Name: Game",
                                    u"",
                                    u"1.)",
                                    u"Device name: Microphone",
                                    u"Program path: C:\\Tools\\rec.exe",
                                    u"Program Name: ",
                                    u"",
                                    u"2.)",
                                    u"Device name: ",
                                    u"Program path: C:\\Player\\play.exe",
                                    u"Program Name: Player",
                                    u"",
                                }));
}

TEST(MonitorPagesTest, GuidTextIsLowerCaseAndZeroPadded) {
  EXPECT_EQ(GuidText(kHeadsetGuid), u"{0a1b2c3d-0405-0607-0809-0a0b0c0d0e0f}");
  EXPECT_EQ(GuidText(kUnpluggedGuid), u"{00000001-0002-0003-0004-000000000005}");
  EXPECT_EQ(GuidText(ComGuid{0xFFFFFFFF, 0xABCD, 0xEF01, {0xFF, 0xEE, 0, 0, 0, 0, 0, 0}}),
            u"{ffffffff-abcd-ef01-ffee-000000000000}");
}

TEST(MonitorPagesTest, HotkeysAreListedWithNameModifiersAndKey) {
  MonitorSnapshot s = Sample();
  EXPECT_EQ(HotkeysPage(s), (Lines{u"", u"No Hotkeys configuration has been set"}));

  s.hotkeyIdentifiers = {hotkey_id::kDisableHotkeys,
                         hotkey_id::kNotifications,
                         kHeadset,
                         kMicrophone,
                         u"{0.0.0.00000000}.{unplugged}",
                         u""};
  s.loadedHotkeys = {Hotkey({key::kCtrl, key::kShift, key::kDigit0 + 9}),
                     Hotkey({key::kAlt, key::kCtrl, key::kShift, key::kLetterV}),
                     Hotkey({key::kLetterU}),
                     Hotkey({key::kF1 + 4}),
                     Hotkey({key::kAlt, key::kLetterW + 3, key::kLetterA}),
                     Hotkey({key::kShift, key::kLetterA + 19})};
  EXPECT_EQ(HotkeysPage(s), (Lines{
                                u"",
                                u"0.) Disable Hotkeys, Modifiers: Ctrl Shift, Key: 9",
                                u"",
                                u"1.) Enable\\Disable Notifications, Modifiers: Alt Ctrl Shift, Key: V",
                                u"",
                                u"2.) Headset, Modifiers: None, Key: U",
                                u"",
                                u"3.) Microphone, Modifiers: None, Key: None",
                                u"",
                                u"4.) , Modifiers: Alt, Key: A",
                                u"",
                                u"5.) , Modifiers: Shift, Key: T",
                                u"",
                            }));
}

TEST(MonitorPagesTest, AHotkeyWithoutAnIdentifierEntryHasNoName) {
  MonitorSnapshot s = Sample();
  s.playback.devices.push_back({u"No playback devices found", u""});  // a placeholder beyond the count
  s.loadedHotkeys = {Hotkey({key::kLetterA + 25})};
  EXPECT_EQ(HotkeysPage(s)[1], u"0.) , Modifiers: None, Key: Z");
}

TEST(MonitorPagesTest, LogPageIsTheActivityLogAsStored) {
  FakeMonitorSource source;
  source.snapshot.log = {u"8/12/2026 9:5:3 :: Intializing hotkeys setting . . .",
                         u"8/12/2026 9:5:3 ::   -Enabled"};
  EXPECT_EQ(MonitorPage(monitor::kLogTab, source), source.snapshot.log);
  EXPECT_TRUE(MonitorPage(7, source).empty());
  EXPECT_TRUE(MonitorPage(-1, source).empty());
  EXPECT_EQ(MonitorPage(monitor::kHotkeysTab, source),
            (Lines{u"", u"No Hotkeys configuration has been set"}));
  EXPECT_EQ(MonitorPage(monitor::kDeviceLinksTab, source),
            (Lines{u"", u"No Device Link configuration has been set"}));
  EXPECT_EQ(MonitorPage(monitor::kSettingsTab, source).size(), 21u);
}

}  // namespace
}  // namespace varnolet
