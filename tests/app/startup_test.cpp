#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/form_rig.h"
#include "input/input_test_files.h"
#include "support/text.h"

namespace varnolet {
namespace {

using fakes::FormRig;
using fakes::kAppData;
using fakes::kAppDir;
using fakes::kDataDir;
using Lines = std::vector<std::u16string>;

const std::u16string kKey(kSettingsKey);

Lines FirstRunSettingsLines() {
  return {
      u"Get registry settings . . .",
      u"  -Could not retrieve Language setting from registry, using default value",
      u"  -Retrieved language setting",
      u"  -Could not retrieve Startup setting from registry, using default value",
      u"  -Retrieved startup setting",
      u"  -Could not retrieve Splash screen setting from registry, using default value",
      u"  -Retrieved splash screen setting",
      u"  -Could not retrieve Device Link setting from registry, using default value",
      u"  -Retrieved device link setting",
      u"  -Could not retrieve Notifications setting from registry, using default value",
      u"  -Retrieved notifications setting",
      u"  -Could not retrieve Hotkeys setting from registry, using default value",
      u"  -Retrieved hotkeys setting",
      u"  -Could not retrieve Device role setting from registry, using default value",
      u"  -Retrieved device role setting",
  };
}

TEST(StartupTest, FirstRunCreatesFoldersFilesAndDefaults) {
  FormRig rig;
  TNotificationsForm& form = rig.Start();

  const Lines expected = [] {
    Lines lines = {
        u"Get application path . . . ",     u"  -C:\\Program Files\\Varnolet 7\\Varnolet7.exe",
        u"Get application data path . . .", u"  -C:\\Users\\u\\AppData\\Roaming",
        u"Get application directory . . .", u"  -C:\\Program Files\\Varnolet 7",
        u"Creating user folders . . .",     u"  -Users folder structure verified",
    };
    for (const std::u16string& line : FirstRunSettingsLines()) lines.push_back(line);
    for (const char16_t* line :
         {u"Loading string resources . . .", u"  -String resources loaded",
          u"Initializing startup setting . . .", u"  -Disabled", u"Initializing splash screen setting . . .",
          u"  -Enabled", u"Initializing notifications setting . . . ", u"  -Enabled",
          u"Initializing device link setting . . .", u"  -Device link configuration file is empty",
          u"  -Device link configuration file loaded", u"  -Disabled",
          u"  -Unregistered from receiving new process notification", u"Intializing hotkeys setting . . .",
          u"  -Hotkeys configurations file is empty", u"  -Hotkeys configuration file loaded", u"  -Enabled",
          u"  -Registed hotkeys configuration", u"  -Registered to receive keyboard notifications"})
      lines.push_back(line);
    return lines;
  }();
  // The whole log of a first run: the endpoint enumeration that ends the
  // sequence logs nothing when it works.
  EXPECT_EQ(rig.Lines(), expected);

  EXPECT_TRUE(rig.files.IsFolder(std::u16string(kAppData) + u"\\Varnolet 7"));
  EXPECT_TRUE(rig.files.IsFolder(kDataDir));
  EXPECT_EQ(rig.files.Bytes(std::u16string(kDataDir) + u"\\dlmap.dat"), std::vector<std::uint8_t>{});
  EXPECT_EQ(rig.files.Bytes(std::u16string(kDataDir) + u"\\hmap.dat"), std::vector<std::uint8_t>{});
  EXPECT_EQ(rig.files.OpenHandleCount(), 0);

  const std::pair<const char16_t*, std::uint32_t> values[] = {
      {u"Language", 0}, {u"Startup", 0}, {u"Splash", 0},    {u"Notifications", 1},
      {u"Hotkeys", 1},  {u"Role", 11},   {u"DeviceLink", 0}};
  for (const auto& [name, value] : values)
    EXPECT_EQ(rig.registry.GetDword(kKey, name), value) << Narrow(name);
  EXPECT_EQ(form.Settings(), kDefaultSettings);
  EXPECT_TRUE(form.ShowSplashFlag());
  EXPECT_TRUE(form.NotificationsEnabled());
  EXPECT_EQ(rig.languages.requested, Lines{std::u16string(kAppDir) + u"\\Language\\English.dll"});
  EXPECT_EQ(rig.languages.Loaded(), 0);
}

TEST(StartupTest, SecondRunCreatesNothingAndReadsTheStoredValues) {
  FormRig rig;
  rig.Start();
  rig.form.reset();
  rig.view = fakes::RecordingView();
  rig.registry.SetDword(kKey, u"Role", 10);
  rig.registry.SetDword(kKey, u"Splash", 1);
  // A valid, empty hotkey map: the 19-byte header with count 0.
  const std::string emptyMap("\xEF\xBB\xBF\xC2\xD1\xCD\x2D\xCC\xC1\xD0\x2D\xD6\xC1\xC9\xCB\0\0\0\0", 19);
  rig.files.AddFile(std::u16string(kDataDir) + u"\\hmap.dat", emptyMap);
  const auto pathsBefore = rig.files.Paths();

  TNotificationsForm& form = rig.Start();
  EXPECT_EQ(rig.Section(u"Creating user folders . . .", u"Get registry settings . . ."),
            (Lines{u"Creating user folders . . .", u"  -Users folder structure verified"}));
  EXPECT_EQ(rig.Section(u"Get registry settings . . .", u"Loading string resources . . ."),
            (Lines{u"Get registry settings . . .", u"  -Retrieved language setting",
                   u"  -Retrieved startup setting", u"  -Retrieved splash screen setting",
                   u"  -Retrieved device link setting", u"  -Retrieved notifications setting",
                   u"  -Retrieved hotkeys setting", u"  -Retrieved device role setting"}));
  EXPECT_EQ(rig.files.Paths(), pathsBefore);
  EXPECT_EQ(rig.files.Text(std::u16string(kDataDir) + u"\\hmap.dat"), emptyMap);
  EXPECT_EQ(form.Settings()[setting::Role], 10);
  EXPECT_FALSE(form.ShowSplashFlag());
  // Without the splash the tray icon is visible at once.
  EXPECT_TRUE(rig.view.trayVisible);
  EXPECT_FALSE(rig.view.splashShown);
}

TEST(StartupTest, MissingAppDataFolderCreatesNothingAndStillVerifies) {
  FormRig rig;
  rig.environment.variables[u"APPDATA"] = u"C:\\Users\\gone\\AppData\\Roaming";
  rig.Start();
  EXPECT_EQ(rig.Section(u"Creating user folders . . .", u"Get registry settings . . ."),
            (Lines{u"Creating user folders . . .", u"  -Users folder structure verified"}));
  EXPECT_FALSE(rig.files.Exists(u"C:\\Users\\gone"));
  EXPECT_EQ(rig.files.failures.CountOf("MakeDirectory"), 0);
}

TEST(StartupTest, UnreadableAppDataFallsBackToTheProgramPath) {
  FormRig rig;
  rig.environment.variableReadFails = true;
  rig.files.AddFile(rig.environment.modulePath);
  rig.Start();
  EXPECT_EQ(rig.Section(u"Get application data path . . .", u"Get application directory . . ."),
            (Lines{u"Get application data path . . .", u"  -Could not retrieve application data path",
                   u"  -C:\\Program Files\\Varnolet 7\\Varnolet7.exe"}));
  // The folders would go below the executable file itself: the system reports
  // path-not-found for them, so nothing is created.
  EXPECT_EQ(rig.Section(u"Creating user folders . . .", u"Get registry settings . . ."),
            (Lines{u"Creating user folders . . .", u"  -Users folder structure verified"}));
  EXPECT_EQ(rig.files.failures.CountOf("MakeDirectory"), 0);
}

TEST(StartupTest, FolderStepStopsAtTheFirstFailure) {
  struct Case {
    const char* name;
    const char* op;
    int passes;
    std::u16string line;
  };
  FormRig texts;
  const Case cases[] = {
      {"Root", "MakeDirectory", 0,
       u"  -Could not create application data root folder, " + texts.system.Text(5)},
      {"Sub", "MakeDirectory", 1, u"  -Could not create application data subfolder, " + texts.system.Text(5)},
      {"LinkFile", "OpenHandle", 0,
       u"  -Could not create application device link configuration file, " + texts.system.Text(5)},
      {"LinkClose", "CloseFileHandle", 0, u"  -Could not close device link configuration file"},
      {"HotkeyFile", "OpenHandle", 1,
       u"  -Could not create application hotkeys configuration file, " + texts.system.Text(5)},
      {"HotkeyClose", "CloseFileHandle", 1, u"  -Could not close hotkeys configuration file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FormRig rig;
    rig.files.failures.FailAfter(c.op, c.passes, 5);
    rig.Start();
    EXPECT_EQ(rig.Section(u"Creating user folders . . .", u"Get registry settings . . ."),
              (Lines{u"Creating user folders . . .", c.line}));
  }
}

TEST(StartupTest, ModulePathLongerThanAnyBufferIsReadWhole) {
  FormRig rig;
  rig.environment.modulePath = u"C:\\" + std::u16string(700, u'v') + u"\\Varnolet7.exe";
  rig.Start();
  EXPECT_EQ(rig.form->ApplicationPath(), rig.environment.modulePath);
  EXPECT_EQ(rig.environment.moduleFileNameCalls, 10);  // 2, 4, ... 1024 characters
}

TEST(StartupTest, SettingsKeyThatCannotBeOpenedWarnsInEnglishAndKeepsDefaults) {
  FormRig rig;
  rig.registry.failures.FailNext("CreateKeyEx", 5);
  rig.languages.Add(std::u16string(kAppDir) + u"\\Language\\English.dll",
                    std::vector<std::u16string>(48, u"X"));
  TNotificationsForm& form = rig.Start();
  EXPECT_EQ(
      rig.Section(u"Get registry settings . . .", u"Loading string resources . . ."),
      (Lines{
          u"Get registry settings . . .",
          u"  -Could not open registry key HKEY_CURRENT_USER\\Software\\Kestrova Technologies\\Varnolet 7"}));
  ASSERT_EQ(rig.view.warnings.size(), 1u);
  EXPECT_EQ(rig.view.warnings[0].text, u"Could not load user settings, using defaults");
  EXPECT_EQ(rig.view.warnings[0].caption, u"Warning!");
  EXPECT_EQ(form.Settings(), kDefaultSettings);
  EXPECT_EQ(form.String(StringId::Warning), u"X");  // the library loaded after the box
}

TEST(StartupTest, ValueStoredAsLongTextIsReplacedByTheDefaultAsNumber) {
  FormRig rig;
  rig.registry.SetString(kKey, u"Hotkeys", u"enabled");
  TNotificationsForm& form = rig.Start();
  const Lines lines = rig.Lines();
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      u"  -Could not retrieve Hotkeys setting from registry, using default value"),
            lines.end());
  EXPECT_EQ(form.Settings()[setting::Hotkeys], 1);
  EXPECT_EQ(rig.registry.GetDword(kKey, u"Hotkeys"), 1u);
}

TEST(StartupTest, StoredValuesAreTakenWithoutRangeChecks) {
  FormRig rig;
  rig.registry.SetDword(kKey, u"Role", 0);
  rig.registry.SetDword(kKey, u"Notifications", 0);
  rig.registry.SetDword(kKey, u"Language", 2);
  TNotificationsForm& form = rig.Start();
  EXPECT_EQ(form.Settings()[setting::Role], 0);
  EXPECT_FALSE(form.NotificationsEnabled());
  EXPECT_EQ(
      rig.Section(u"Initializing notifications setting . . . ", u"Initializing device link setting . . ."),
      (Lines{u"Initializing notifications setting . . . ", u"\t-Disabled"}));
  // Language 2 names no library: the load fails, the slot falls back to 0 in
  // memory and the registry keeps 2.
  EXPECT_EQ(rig.languages.requested, Lines{kAppDir});
  EXPECT_EQ(rig.Section(u"Loading string resources . . .", u"Initializing startup setting . . ."),
            (Lines{u"Loading string resources . . .",
                   u"  -Could not load string resources, " + rig.system.Text(126)}));
  EXPECT_EQ(form.Settings()[setting::Language], 0);
  EXPECT_EQ(rig.registry.GetDword(kKey, u"Language"), 2u);
}

TEST(StartupTest, LanguageLibraryFailuresKeepTheBuiltInTexts) {
  struct Case {
    const char* name;
    std::int32_t language;
    bool addGreek;
    std::u16string line;
  };
  FormRig texts;
  const Case cases[] = {
      {"MissingGreek", 1, false, u"  -Could not load string resources, " + texts.system.Text(126)},
      {"GreekWithout47", 1, true, u"  -Could not load string resource with ID: 47"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FormRig rig;
    rig.registry.SetDword(kKey, u"Language", static_cast<std::uint32_t>(c.language));
    if (c.addGreek) {
      std::vector<std::u16string> greek(47, u"Ελληνικά");
      rig.languages.Add(std::u16string(kAppDir) + u"\\Language\\Greek.dll", greek);
    }
    TNotificationsForm& form = rig.Start();
    EXPECT_EQ(rig.Section(u"Loading string resources . . .", u"Initializing startup setting . . ."),
              (Lines{u"Loading string resources . . .", c.line}));
    EXPECT_EQ(form.StringTable(), FormRig::EnglishStrings());
    EXPECT_EQ(form.Settings()[setting::Language], 0);
    EXPECT_EQ(rig.registry.GetDword(kKey, u"Language"), 1u);
    EXPECT_EQ(rig.languages.Loaded(), 0);
  }
}

TEST(StartupTest, GreekLibraryReplacesTheWholeTable) {
  FormRig rig;
  rig.registry.SetDword(kKey, u"Language", 1);
  std::vector<std::u16string> greek;
  for (int i = 0; i < 48; ++i) greek.push_back(u"Κείμενο " + Decimal(i));
  rig.languages.Add(std::u16string(kAppDir) + u"\\Language\\Greek.dll", greek);
  TNotificationsForm& form = rig.Start();
  EXPECT_EQ(form.StringTable(), greek);
  EXPECT_EQ(form.Settings()[setting::Language], 1);
}

TEST(StartupTest, SplashHidesTheTrayIconUntilItEndsAndKeepsStartupBalloons) {
  FormRig rig;
  TNotificationsForm& form = rig.Start();
  EXPECT_TRUE(rig.view.splashShown);
  EXPECT_FALSE(rig.view.trayVisible);
  // A balloon raised meanwhile waits for the icon.
  form.ShowBalloon(u"Could not load hotkeys, hotkeys are disabled");
  EXPECT_TRUE(rig.view.balloons.empty());
  form.SplashFinished();
  EXPECT_TRUE(rig.view.trayVisible);
  ASSERT_EQ(rig.view.balloons.size(), 1u);
  EXPECT_EQ(rig.view.balloons[0], u"Could not load hotkeys, hotkeys are disabled");
  const auto& events = rig.view.events;
  EXPECT_EQ(std::vector<std::u16string>(events.end() - 2, events.end()),
            (std::vector<std::u16string>{u"tray:visible",
                                         u"balloon:Could not load hotkeys, hotkeys are disabled"}));
  // Later balloons show at once.
  form.ShowBalloon(u"x");
  EXPECT_EQ(rig.view.balloons.back(), u"x");
}

// Hotkeys that fail to start are off for the run: the setting is 0 in
// memory, the table is emptied before the second initialisation, raw input
// is unregistered and a balloon says so; the registry keeps its value.
TEST(StartupTest, HotkeysThatFailToStartAreOffForTheRunOnly) {
  FormRig rig;
  rig.registry.SetDword(kKey, u"Splash", 1);
  rig.files.AddFolder(kDataDir);
  std::vector<std::uint8_t> map = test_files::Header(1);
  test_files::Record(map, {13}, 1, 0, 1, test_files::Narrow(hotkey_id::kNotifications));  // Ctrl+Alt+1
  rig.files.AddFile(std::u16string(kDataDir) + u"\\hmap.dat", map);
  rig.rawInput.failures.FailNext("RegisterDevice", 5);
  TNotificationsForm& form = rig.Start();

  const Lines lines = rig.Lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), u"Intializing hotkeys setting . . ."), 2);
  EXPECT_NE(std::find_if(lines.begin(), lines.end(),
                         [](const std::u16string& line) {
                           return line.rfind(u"  -Could not register to receive keyboard notifications, ",
                                             0) == 0;
                         }),
            lines.end());
  EXPECT_EQ(form.Settings()[setting::Hotkeys], 0);
  EXPECT_FALSE(form.HotkeysEnabled());
  EXPECT_EQ(rig.objects->HotkeyTable.Items().size(), 1u);  // emptied, then loaded once more
  EXPECT_TRUE(rig.rawInput.Registered().empty());
  EXPECT_EQ(rig.view.balloons, Lines{u"Could not load hotkeys, hotkeys are disabled"});
  EXPECT_EQ(rig.registry.GetDword(kKey, u"Hotkeys"), 1u);
}

TEST(StartupTest, NotificationWindowIsPreparedAfterTheTrayIconOrSplash) {
  FormRig rig;
  rig.registry.SetDword(kKey, u"Splash", 1);
  rig.Start();
  // Nothing was done to the notification window before the icon showed; then
  // it lost its caption and its input.
  EXPECT_EQ(rig.view.notificationCallsBeforeTray, 0);
  EXPECT_FALSE(rig.view.single.inputEnabled);
  EXPECT_EQ(rig.view.single.style & 0x00C00000u, 0u);
}

}  // namespace
}  // namespace varnolet
