#include <gtest/gtest.h>

#include <functional>

#include "fakes/form_rig.h"
#include "support/text.h"

namespace varnolet {
namespace {

using fakes::FormRig;
using fakes::kAppDir;
using Lines = std::vector<std::u16string>;

const std::u16string kKey(kSettingsKey);
const std::u16string kRun(kRunKey);

class SaveStepsTest : public testing::Test {
 protected:
  void SetUp() override {
    rig.registry.SetDword(kKey, u"Splash", 1);  // no splash: balloons show at once
    rig.registry.AddKey(kRun);
    rig.Start();
  }
  TNotificationsForm& form() { return *rig.form; }
  FormRig rig;
};

TEST_F(SaveStepsTest, EachStepWritesItsSlotFromItsControl) {
  struct Case {
    const char* name;
    std::function<void(TOptionsForm&)> set;
    std::function<void(TNotificationsForm&)> save;
    const char16_t* value;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {"Startup", [](TOptionsForm& o) { o.CheckClicked(OptionsControl::checkStartup, true); },
       [](TNotificationsForm& f) { f.SaveStartup(); }, u"Startup", 1},
      {"Splash", [](TOptionsForm& o) { o.CheckClicked(OptionsControl::checkSplash, false); },
       [](TNotificationsForm& f) { f.SaveSplash(); }, u"Splash", 0},
      {"Notifications", [](TOptionsForm& o) { o.CheckClicked(OptionsControl::checkNotifications, false); },
       [](TNotificationsForm& f) { f.SaveNotifications(); }, u"Notifications", 0},
      {"DeviceLink", [](TOptionsForm& o) { o.CheckClicked(OptionsControl::checkDeviceLink, false); },
       [](TNotificationsForm& f) { f.SaveDeviceLink(); }, u"DeviceLink", 0},
      {"RoleMultimedia",
       [](TOptionsForm& o) {
         o.CheckClicked(OptionsControl::checkMultimedia, true);
         o.CheckClicked(OptionsControl::checkCommunications, false);
       },
       [](TNotificationsForm& f) { f.SaveRole(); }, u"Role", 1},
      {"RoleCommunications",
       [](TOptionsForm& o) {
         o.CheckClicked(OptionsControl::checkMultimedia, false);
         o.CheckClicked(OptionsControl::checkCommunications, true);
       },
       [](TNotificationsForm& f) { f.SaveRole(); }, u"Role", 10},
      {"RoleBoth",
       [](TOptionsForm& o) {
         o.CheckClicked(OptionsControl::checkMultimedia, true);
         o.CheckClicked(OptionsControl::checkCommunications, true);
       },
       [](TNotificationsForm& f) { f.SaveRole(); }, u"Role", 11},
      {"RoleNone",
       [](TOptionsForm& o) {
         o.CheckClicked(OptionsControl::checkMultimedia, false);
         o.CheckClicked(OptionsControl::checkCommunications, false);
       },
       [](TNotificationsForm& f) { f.SaveRole(); }, u"Role", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.set(rig.options);
    const std::size_t before = rig.Lines().size();
    c.save(form());
    EXPECT_EQ(rig.registry.GetDword(kKey, c.value), c.expected);
    EXPECT_TRUE(rig.view.balloons.empty());
    // Only the initialise step's own lines are added; nothing of the save itself.
    for (std::size_t i = before; i < rig.Lines().size(); ++i)
      EXPECT_EQ(rig.Lines()[i].find(u"Could not"), std::u16string::npos) << Narrow(rig.Lines()[i]);
  }
  // The initialise steps ran with the new values.
  EXPECT_FALSE(form().NotificationsEnabled());
  EXPECT_TRUE(form().ShowSplashFlag());
}

TEST_F(SaveStepsTest, FailedWriteLogsTheRegistryReasonAndShowsTheStepsBalloon) {
  struct Case {
    std::function<void(TNotificationsForm&)> save;
    std::u16string line;
    StringId balloon;
  };
  const Case cases[] = {
      {[](TNotificationsForm& f) { f.SaveSplash(); },
       u"  -Could not save Splash screen setting to registry, ", StringId::CouldNotSaveSplash},
      {[](TNotificationsForm& f) { f.SaveNotifications(); },
       u"  -Could not save Notifications setting to registry, ", StringId::CouldNotSaveNotifications},
      {[](TNotificationsForm& f) { f.SaveDeviceLink(); },
       u"  -Could not save device link setting to registry, ", StringId::CouldNotSaveDeviceLink},
      {[](TNotificationsForm& f) { f.SaveHotkeys(); }, u"  -Could not save Hotkeys setting to registry, ",
       StringId::CouldNotSaveHotkeys},
      {[](TNotificationsForm& f) { f.SaveRole(); }, u"  -Could not save Device Role setting to registry, ",
       StringId::CouldNotSaveRole},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.line));
    rig.view.balloons.clear();
    rig.registry.failures.FailNext("SetValueEx", 5);
    c.save(form());
    EXPECT_EQ(rig.Lines().back(), c.line + rig.system.Text(5));
    ASSERT_EQ(rig.view.balloons.size(), 1u);
    EXPECT_EQ(rig.view.balloons[0], kBuiltInStrings[Index(c.balloon)]);
  }
}

TEST_F(SaveStepsTest, StartupWritesTheQuotedPathOrDeletesTheRunValue) {
  rig.options.CheckClicked(OptionsControl::checkStartup, true);
  form().SaveStartup();
  EXPECT_EQ(rig.registry.GetString(kRun, u"Varnolet 7"), u"\"C:\\Program Files\\Varnolet 7\\Varnolet7.exe\"");
  EXPECT_EQ(rig.Section(u"Initializing startup setting . . .").back(), u"  -Enabled");
  rig.options.CheckClicked(OptionsControl::checkStartup, false);
  form().SaveStartup();
  EXPECT_FALSE(rig.registry.Get(kRun, u"Varnolet 7").has_value());
  EXPECT_EQ(rig.Lines().back(), u"  -Disabled");
  // Deleting a value that is not there still reports "Disabled" and nothing else.
  form().SaveStartup();
  EXPECT_EQ(rig.Lines().back(), u"  -Disabled");
  EXPECT_EQ(rig.objects->Registry.Log().Entries().back(),
            std::u16string(fakes::kStamp) + u": CRegistry,DeleteValue(),RegDeleteValue(),NULL," +
                rig.system.Text(2));
}

TEST_F(SaveStepsTest, StartupWriteFailureIsLoggedWithItsBalloon) {
  rig.options.CheckClicked(OptionsControl::checkStartup, true);
  rig.registry.failures.FailAfter("SetValueEx", 1, 5);  // the Run value goes through, the setting does not
  form().SaveStartup();
  EXPECT_EQ(rig.Lines().back(), u"  -Could not save Startup setting to registry, " + rig.system.Text(5));
  EXPECT_EQ(rig.view.balloons, Lines{u"Could not save startup setting"});
}

TEST_F(SaveStepsTest, LanguageIsWrittenOnlyWhenItChangesAndReloadsTheTextsFirst) {
  std::vector<std::u16string> greek;
  for (int i = 0; i < 48; ++i) greek.push_back(u"Ελληνικό " + Decimal(i));
  rig.languages.Add(std::u16string(kAppDir) + u"\\Language\\Greek.dll", greek);

  const std::size_t before = rig.Lines().size();
  const int writes = rig.registry.failures.CountOf("SetValueEx");
  rig.options.ListSelected(OptionsControl::comboLanguage, 0);
  form().SaveLanguage();
  EXPECT_EQ(rig.Lines().size(), before);  // same language: nothing written or logged
  EXPECT_EQ(rig.registry.failures.CountOf("SetValueEx"), writes);

  rig.options.ListSelected(OptionsControl::comboLanguage, 1);
  rig.registry.failures.FailNext("SetValueEx", 5);
  form().SaveLanguage();
  EXPECT_EQ(form().StringTable(), greek);
  EXPECT_EQ(rig.Lines().back(), u"  -Could not save Language setting to registry, " + rig.system.Text(5));
  EXPECT_EQ(rig.view.balloons,
            Lines{greek[Index(StringId::CouldNotSaveLanguage)]});  // already in the new language
  EXPECT_EQ(form().Settings()[setting::Language], 1);

  form().UpdatePopupMenuExecute();
  EXPECT_EQ(rig.view.captions, (Lines{greek[2], greek[3], greek[1], greek[5]}));
}

TEST_F(SaveStepsTest, ChoosingAMissingLanguageWritesEnglish) {
  rig.options.ListSelected(OptionsControl::comboLanguage, 1);
  form().SaveLanguage();
  EXPECT_EQ(form().Settings()[setting::Language], 0);
  EXPECT_EQ(rig.registry.GetDword(kKey, u"Language"), 0u);
  EXPECT_EQ(rig.Lines().back(), u"  -Could not load string resources, " + rig.system.Text(126));
}

TEST_F(SaveStepsTest, ExitWritesTheLogAndEndsTheLoop) {
  form().MenuExitClick();
  EXPECT_TRUE(rig.view.terminated);
  const std::string text = rig.files.Text(std::u16string(fakes::kDataDir) + u"\\VRN.log");
  ASSERT_GE(text.size(), 3u);
  EXPECT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_EQ(text.substr(3, text.find('\n') - 3), "8/12/2026 9:5:3 :: Get application path . . . ");
  EXPECT_EQ(text.find('\r'), std::string::npos);
}

}  // namespace
}  // namespace varnolet
