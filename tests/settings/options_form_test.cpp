// The Options dialog's frame on a whole main form: what showing it fills in,
// the layout for long captions, the Device Role page, the pages, OK and
// Cancel, and the settings that start-up switched off for one run.
#include <gtest/gtest.h>

#include "fakes/form_rig.h"
#include "support/text.h"

namespace varnolet {
namespace {

using fakes::Endpoint;
using fakes::FormRig;
using fakes::kAppDir;
using C = OptionsControl;
using Lines = std::vector<std::u16string>;

const std::u16string kKey(kSettingsKey);

class OptionsFormTest : public testing::Test {
 protected:
  void SetUp() override {
    rig.registry.SetDword(kKey, u"Splash", 1);  // no splash: balloons show at once
    rig.audio.render = {Endpoint(u"{0.0.0.00000000}.{11111111-1111-1111-1111-111111111111}", u"Headset")};
    rig.audio.capture = {Endpoint(u"{0.0.1.00000000}.{33333333-3333-3333-3333-333333333333}", u"Microphone")};
  }
  TNotificationsForm& Start() { return rig.Start(); }
  TOptionsForm& options() { return rig.options; }
  const fakes::FakeOptionsView& shown() const { return rig.optionsView; }
  int Count(const Lines& lines, const std::u16string& line) {
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
  }
  FormRig rig;
};

TEST_F(OptionsFormTest, ShowingFillsTheTextsFromTheStringTableAndKeepsTheBuiltInOnes) {
  Start().MenuOptionsClick();
  const struct {
    C control;
    StringId id;
  } rows[] = {{C::Dialog, StringId::Options},
              {C::GroupBoxDeviceLink, StringId::DeviceLink},
              {C::checkSplash, StringId::DisableSplashScreen},
              {C::checkDeviceLink, StringId::EnableDeviceLink},
              {C::LblNote, StringId::NotAvailableOnVista},
              {C::LblNotifications, StringId::ToggleNotificationsKey},
              {C::LblWarning, StringId::KeyAlreadyUsed},
              {C::editLinkPlaybackDevices, StringId::PlaybackNotLinked}};
  for (const auto& row : rows) EXPECT_EQ(shown()[row.control].text, kBuiltInStrings[Index(row.id)]);
  EXPECT_EQ(shown().categories, (std::array<std::u16string, 5>{u"General", u"Device Role", u"Device Link",
                                                               u"Hotkeys", u"About"}));
  EXPECT_EQ(shown()[C::BtnOK].text, u"OK");
  EXPECT_EQ(shown()[C::BtnCancel].text, u"Cancel");
  EXPECT_EQ(shown()[C::LblTitle].text, u"Varnolet v1.0");
  EXPECT_EQ(shown()[C::LblResources].text, u"Artwork resources thanks to: ");
  EXPECT_EQ(shown()[C::comboLanguage].items, (Lines{u"English", u"Ελληνικά"}));
  EXPECT_FALSE(shown()[C::LblWarning].visible);
  EXPECT_FALSE(shown()[C::GroupBoxNote].visible);
  EXPECT_EQ(shown().applicationHidden, 1);
}

TEST_F(OptionsFormTest, LongCategoryCaptionWidensTheListAndMovesTheButtons) {
  struct Case {
    const char* name;
    std::u16string deviceLink;  // string 15
    int menu, dialog, pages, ok, cancel;
  };
  const Case cases[] = {
      // 11 characters at 8 points: 88, below 89: the saved layout.
      {"English", u"Device Link", 121, 600, 135, 436, 517},
      // 16 characters: 128, the list 140 wide.
      {"Greek", u"Σύνδεση συσκευής", 140, 619, 154, 455, 536},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FormRig local;
    std::vector<std::u16string> table = FormRig::EnglishStrings();
    table[15] = c.deviceLink;
    table[10] = u"Εκκίνηση με τα Windows";
    local.languages.Add(std::u16string(kAppDir) + u"\\Language\\Greek.dll", table);
    local.registry.SetDword(kKey, u"Language", 1);
    local.Start().MenuOptionsClick();
    const fakes::FakeOptionsView& view = local.optionsView;
    EXPECT_EQ(view.categories[2], c.deviceLink);
    EXPECT_EQ(view[C::OptionsMenu].width, c.menu);
    EXPECT_EQ(view[C::Dialog].width, c.dialog);
    for (C page : {C::GroupBoxGeneral, C::GroupBoxDeviceRole, C::GroupBoxDeviceLink, C::GroupBoxHotkeys,
                   C::GroupBoxAbout})
      EXPECT_EQ(view[page].left, c.pages);
    EXPECT_EQ(view[C::BtnOK].left, c.ok);
    EXPECT_EQ(view[C::BtnCancel].left, c.cancel);
    // Check boxes: characters x 8 + 12.
    EXPECT_EQ(view[C::checkStartup].width, 22 * 8 + 12);
    EXPECT_EQ(view[C::checkSplash].width, 21 * 8 + 12);  // "Disable splash screen"
    EXPECT_EQ(local.options.Control(C::Dialog).width, c.dialog);
  }
}

TEST_F(OptionsFormTest, GreekThenEnglishRestoresTheSavedLayout) {
  std::vector<std::u16string> greek = FormRig::EnglishStrings();
  greek[15] = u"Σύνδεση συσκευής";
  rig.languages.Add(std::u16string(kAppDir) + u"\\Language\\Greek.dll", greek);
  rig.registry.SetDword(kKey, u"Language", 1);
  TNotificationsForm& form = Start();
  form.MenuOptionsClick();
  ASSERT_EQ(shown()[C::Dialog].width, 619);
  options().ListSelected(C::comboLanguage, 0);
  options().ButtonClicked(C::BtnOK);
  form.MenuOptionsClick();
  EXPECT_EQ(shown()[C::Dialog].width, 600);
  EXPECT_EQ(shown()[C::OptionsMenu].width, 121);
  EXPECT_EQ(shown()[C::GroupBoxAbout].left, 135);
  EXPECT_EQ(shown()[C::BtnOK].left, 436);
  EXPECT_EQ(shown()[C::BtnCancel].left, 517);
}

TEST_F(OptionsFormTest, RoleTicksItsBoxes) {
  struct Case {
    std::uint32_t role;
    bool multimedia, communications;
  };
  const Case cases[] = {
      {1, true, false}, {10, false, true}, {11, true, true}, {0, true, true}, {7, true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.role);
    FormRig local;
    local.registry.SetDword(kKey, u"Role", c.role);
    local.Start().MenuOptionsClick();
    EXPECT_EQ(local.optionsView[C::checkMultimedia].checked, c.multimedia);
    EXPECT_EQ(local.optionsView[C::checkCommunications].checked, c.communications);
    EXPECT_TRUE(local.optionsView[C::checkMultimedia].enabled);
    EXPECT_FALSE(local.optionsView[C::GroupBoxNote].visible);
  }
}

TEST_F(OptionsFormTest, VistaWorkstationDisablesTheRoleBoxesAndShowsTheNote) {
  rig.version.record.minorVersion = 0;
  rig.version.record.buildNumber = 6002;
  TNotificationsForm& form = Start();
  ASSERT_TRUE(rig.objects->WindowsVersion.Initialize());
  form.MenuOptionsClick();
  EXPECT_FALSE(shown()[C::checkMultimedia].enabled);
  EXPECT_FALSE(shown()[C::checkCommunications].enabled);
  EXPECT_TRUE(shown()[C::GroupBoxNote].visible);
  EXPECT_EQ(shown()[C::LblNote].text, u"This feauture is not available on Windows Vista");
}

// Each box is ticked by the test that reads its setting: any non-zero value is on.
TEST_F(OptionsFormTest, BoxesAreTickedAsTheSettingsAreRead) {
  rig.registry.SetDword(kKey, u"Notifications", 2);
  rig.registry.SetDword(kKey, u"Startup", 3);
  TNotificationsForm& form = Start();
  ASSERT_TRUE(form.NotificationsEnabled());
  form.MenuOptionsClick();
  EXPECT_TRUE(shown()[C::checkNotifications].checked);
  EXPECT_TRUE(shown()[C::checkStartup].checked);
  options().ButtonClicked(C::BtnOK);
  // An unrelated OK keeps them on.
  EXPECT_TRUE(form.NotificationsEnabled());
  EXPECT_EQ(rig.registry.GetDword(kKey, u"Notifications"), 1u);
  EXPECT_EQ(rig.registry.GetDword(kKey, u"Startup"), 1u);
}

TEST_F(OptionsFormTest, CancelThenReopenShowsTheStoredSettings) {
  TNotificationsForm& form = Start();
  form.MenuOptionsClick();
  const std::size_t lines = rig.Lines().size();
  options().CheckClicked(C::checkStartup, true);
  options().CheckClicked(C::checkNotifications, false);
  options().CheckClicked(C::checkCommunications, false);
  options().ListSelected(C::comboLanguage, 1);
  options().ButtonClicked(C::BtnCancel);
  EXPECT_FALSE(shown().dialogVisible);
  EXPECT_FALSE(options().Visible());
  EXPECT_EQ(rig.Lines().size(), lines);  // nothing applied

  form.MenuOptionsClick();
  EXPECT_TRUE(shown().dialogVisible);
  EXPECT_FALSE(shown()[C::checkStartup].checked);
  EXPECT_TRUE(shown()[C::checkNotifications].checked);
  EXPECT_TRUE(shown()[C::checkCommunications].checked);
  EXPECT_EQ(shown()[C::comboLanguage].selected, 0);
  EXPECT_FALSE(options().Checked(C::checkStartup));
}

TEST_F(OptionsFormTest, OkWithNoChangeRunsAllSevenStepsAfterOneLine) {
  TNotificationsForm& form = Start();
  form.MenuOptionsClick();
  const int writes = rig.registry.failures.CountOf("SetValueEx");
  const std::size_t before = rig.Lines().size();
  options().ButtonClicked(C::BtnOK);
  EXPECT_FALSE(shown().dialogVisible);
  const Lines all = rig.Lines();
  const Lines added(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
  ASSERT_FALSE(added.empty());
  EXPECT_EQ(added.front(), u"Initializing new program settings . . .");
  EXPECT_EQ(Count(added, u"Initializing new program settings . . ."), 1);
  // Startup, splash and notifications in this order, then Device Link, then the hotkeys.
  const Lines heads = {u"Initializing startup setting . . .", u"Initializing splash screen setting . . .",
                       u"Initializing notifications setting . . . ",
                       u"Initializing device link setting . . .", u"Intializing hotkeys setting . . ."};
  std::size_t at = 0;
  for (const std::u16string& head : heads) {
    const auto found = std::find(added.begin() + static_cast<std::ptrdiff_t>(at), added.end(), head);
    ASSERT_NE(found, added.end()) << Narrow(head);
    at = static_cast<std::size_t>(found - added.begin());
  }
  // Six registry writes: every setting but the unchanged language.
  EXPECT_EQ(rig.registry.failures.CountOf("SetValueEx") - writes, 6);
  EXPECT_TRUE(rig.view.balloons.empty());
  EXPECT_EQ(form.Settings(), (UserSettings{0, 0, 1, 1, 1, 11, 0}));
}

// The dialog outlives the main form (the entry destroys the form first): an
// event the dialog still receives afterwards reaches nothing of the form.
TEST_F(OptionsFormTest, AnOkAfterTheMainFormWentReachesNothing) {
  Start().MenuOptionsClick();
  const int writes = rig.registry.failures.CountOf("SetValueEx");
  const int deletes = rig.registry.failures.CountOf("DeleteValue");
  rig.form.reset();
  options().CheckClicked(C::checkStartup, true);
  options().ButtonClicked(C::BtnOK);
  options().Show();
  EXPECT_EQ(rig.registry.failures.CountOf("SetValueEx"), writes);
  EXPECT_EQ(rig.registry.failures.CountOf("DeleteValue"), deletes);
  EXPECT_FALSE(rig.registry.GetString(u"Software\\Microsoft\\Windows\\CurrentVersion\\Run", u"Varnolet 7"));
}

TEST_F(OptionsFormTest, CategoriesBringTheirPagesToTheFront) {
  Start().MenuOptionsClick();
  const C pages[] = {C::GroupBoxGeneral, C::GroupBoxDeviceRole, C::GroupBoxDeviceLink, C::GroupBoxHotkeys,
                     C::GroupBoxAbout};
  for (int i : {4, 0, 3, 1, 2}) {
    options().CategorySelected(i);
    EXPECT_EQ(shown().frontPage, pages[i]);
    EXPECT_EQ(options().SelectedCategory(), i);
  }
  options().CategorySelected(5);  // no such page
  EXPECT_EQ(shown().frontPage, C::GroupBoxDeviceLink);
}

TEST_F(OptionsFormTest, LinkLabelsOpenTheirAddresses) {
  Start().MenuOptionsClick();
  options().ButtonClicked(C::LblLink2);
  options().ButtonClicked(C::LblLink1);
  EXPECT_EQ(shown().addresses, (Lines{options_text::kLink2, options_text::kLink1}));
  EXPECT_EQ(shown()[C::LblLink1].text, options_text::kLink1);
}

TEST_F(OptionsFormTest, UnrelatedOkKeepsDeviceLinkThatStartUpSwitchedOffForTheRun) {
  rig.registry.SetDword(kKey, u"DeviceLink", 1);
  rig.wmi.failures.FailAlways("CreateUnsecuredApartment", fakes::kClassNotRegistered);
  TNotificationsForm& form = Start();
  ASSERT_EQ(form.Settings()[setting::DeviceLink], 0);
  form.MenuOptionsClick();
  EXPECT_FALSE(shown()[C::checkDeviceLink].checked);
  options().CheckClicked(C::checkStartup, true);
  options().ButtonClicked(C::BtnOK);
  EXPECT_EQ(rig.registry.GetDword(kKey, u"DeviceLink"), 1u);
  EXPECT_EQ(rig.registry.GetDword(kKey, u"Startup"), 1u);
  EXPECT_EQ(form.Settings()[setting::DeviceLink], 0);

  // Ticking it applies it; unticking it afterwards is the user's choice and is written.
  rig.wmi.failures = {};
  form.MenuOptionsClick();
  options().CheckClicked(C::checkDeviceLink, true);
  options().ButtonClicked(C::BtnOK);
  EXPECT_EQ(form.Settings()[setting::DeviceLink], 1);
  form.MenuOptionsClick();
  options().CheckClicked(C::checkDeviceLink, false);
  options().ButtonClicked(C::BtnOK);
  EXPECT_EQ(rig.registry.GetDword(kKey, u"DeviceLink"), 0u);
}

TEST_F(OptionsFormTest, UnrelatedOkKeepsHotkeysThatStartUpSwitchedOffForTheRun) {
  rig.files.AddFile(std::u16string(fakes::kDataDir) + u"\\hmap.dat",
                    std::string("\x01\x02\x03"));  // not a hotkey map
  TNotificationsForm& form = Start();
  ASSERT_EQ(form.Settings()[setting::Hotkeys], 0);
  ASSERT_EQ(rig.view.balloons,
            Lines{std::u16string(kBuiltInStrings[Index(StringId::HotkeysOffAfterFailedLoad)])});
  form.MenuOptionsClick();
  EXPECT_FALSE(shown()[C::checkHotkeys].checked);
  options().ButtonClicked(C::BtnOK);
  EXPECT_EQ(rig.registry.GetDword(kKey, u"Hotkeys"), 1u);

  form.MenuOptionsClick();
  options().CheckClicked(C::checkHotkeys, true);
  options().ButtonClicked(C::BtnOK);
  EXPECT_EQ(form.Settings()[setting::Hotkeys], 1);
  EXPECT_EQ(rig.registry.GetDword(kKey, u"Hotkeys"), 1u);
  form.MenuOptionsClick();
  options().CheckClicked(C::checkHotkeys, false);
  options().ButtonClicked(C::BtnOK);
  EXPECT_EQ(rig.registry.GetDword(kKey, u"Hotkeys"), 0u);
}

TEST_F(OptionsFormTest, FailedMapSaveWhileTurningAFeatureOffShowsItsBalloon) {
  struct Case {
    const char* name;
    C box;
    StringId balloon;
  };
  const Case cases[] = {{"DeviceLink", C::checkDeviceLink, StringId::CouldNotLoadDeviceLinkMap},
                        {"Hotkeys", C::checkHotkeys, StringId::CouldNotLoadHotkeyMap}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FormRig local;
    local.registry.SetDword(kKey, u"Splash", 1);
    local.registry.SetDword(kKey, u"DeviceLink", 1);
    TNotificationsForm& form = local.Start();
    form.MenuOptionsClick();
    ASSERT_TRUE(local.options.Checked(c.box));
    // Only the step under test writes its map.
    local.options.CheckClicked(c.box, false);
    local.options.ButtonClicked(C::BtnCancel);
    local.view.balloons.clear();
    local.files.failures.FailNext("WriteBytes", 112);
    if (c.box == C::checkDeviceLink)
      form.SaveDeviceLink();
    else
      form.SaveHotkeys();
    EXPECT_EQ(local.view.balloons, Lines{std::u16string(kBuiltInStrings[Index(c.balloon)])});
  }
}

}  // namespace
}  // namespace varnolet
