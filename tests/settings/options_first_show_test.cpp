// The Options dialog's window is made at its first showing. Until then the
// form tells its view nothing; what the hotkey actions changed meanwhile is
// kept, and the first showing looks exactly as it would had the window been
// there from the start, and so does every later one.
#include <gtest/gtest.h>

#include <functional>

#include "fakes/form_rig.h"
#include "input/hotkey_file.h"

namespace varnolet {
namespace {

using fakes::Endpoint;
using fakes::FakeOptionsView;
using fakes::FormRig;
using fakes::kAppDir;
using C = OptionsControl;

const std::u16string kKey(kSettingsKey);

// One rig arranged as a user's: a playback and a recording device, no splash.
void Arrange(FormRig& rig) {
  rig.registry.SetDword(kKey, u"Splash", 1);
  rig.audio.render = {Endpoint(u"{0.0.0.00000000}.{11111111-1111-1111-1111-111111111111}", u"Headset")};
  rig.audio.capture = {Endpoint(u"{0.0.1.00000000}.{33333333-3333-3333-3333-333333333333}", u"Microphone")};
}

void Hotkey(TNotificationsForm& form, const char16_t* identifier) {
  const std::u16string parameter = identifier;
  form.HotkeyAction(&parameter);
}

// Everything the view shows, compared between two rigs.
void ExpectSameView(const FakeOptionsView& lazy, const FakeOptionsView& eager) {
  for (int i = 0; i < kOptionsControlCount; ++i) {
    SCOPED_TRACE(testing::Message() << "control " << i);
    const FakeOptionsView::Shown& a = lazy.controls[static_cast<std::size_t>(i)];
    const FakeOptionsView::Shown& b = eager.controls[static_cast<std::size_t>(i)];
    EXPECT_EQ(a.text, b.text);
    EXPECT_EQ(a.checked, b.checked);
    EXPECT_EQ(a.enabled, b.enabled);
    EXPECT_EQ(a.visible, b.visible);
    EXPECT_EQ(a.items, b.items);
    EXPECT_EQ(a.selected, b.selected);
    EXPECT_EQ(a.left, b.left);
    EXPECT_EQ(a.width, b.width);
  }
  EXPECT_EQ(lazy.categories, eager.categories);
  EXPECT_EQ(lazy.selectedCategory, eager.selectedCategory);
  EXPECT_EQ(lazy.frontPage, eager.frontPage);
  EXPECT_EQ(lazy.dialogVisible, eager.dialogVisible);
  EXPECT_EQ(lazy.timerRunning, eager.timerRunning);
  EXPECT_EQ(lazy.applicationHidden, eager.applicationHidden);
  EXPECT_EQ(lazy.showCalls, eager.showCalls);
}

TEST(OptionsFirstShowTest, WindowIsMadeAtTheFirstShowingAndKeptForTheNext) {
  FormRig rig(false);
  Arrange(rig);
  TNotificationsForm& form = rig.Start();
  // The hotkey actions update the dialog before it was ever shown.
  Hotkey(form, hotkey_id::kNotifications);
  EXPECT_FALSE(rig.options.Checked(C::checkNotifications));
  EXPECT_EQ(rig.optionsView.windowsMade, 0);

  form.MenuOptionsClick();
  EXPECT_EQ(rig.optionsView.windowsMade, 1);
  EXPECT_TRUE(rig.optionsView.dialogVisible);
  EXPECT_FALSE(rig.optionsView[C::checkNotifications].checked);
  rig.options.ButtonClicked(C::BtnCancel);
  form.MenuOptionsClick();
  EXPECT_EQ(rig.optionsView.windowsMade, 1);
  EXPECT_TRUE(rig.optionsView.dialogVisible);
  // Nothing was told to a window that did not exist.
  EXPECT_EQ(rig.optionsView.toldWithoutWindow, 0);
}

TEST(OptionsFirstShowTest, ShowingLooksAsIfTheWindowHadAlwaysBeenThere) {
  struct Case {
    const char* name;
    // Arranges the fakes before start.
    std::function<void(FormRig&)> arrange;
    // Runs between start and the first showing.
    std::function<void(FormRig&)> before;
    // Runs after the first showing (and before the last comparison).
    std::function<void(FormRig&)> after;
  };
  const auto nothing = [](FormRig&) {};
  const auto greek = [](FormRig& rig) {
    std::vector<std::u16string> table = FormRig::EnglishStrings();
    table[15] = u"Σύνδεση συσκευής";  // a long category caption widens the list
    table[10] = u"Εκκίνηση με τα Windows";
    rig.languages.Add(std::u16string(kAppDir) + u"\\Language\\Greek.dll", table);
    rig.registry.SetDword(kKey, u"Language", 1);
  };
  const Case cases[] = {
      {"shown at once", nothing, nothing, nothing},
      {"notifications hotkey before the showing", nothing,
       [](FormRig& rig) { Hotkey(*rig.form, hotkey_id::kNotifications); }, nothing},
      {"disable-hotkeys hotkey before the showing", nothing,
       [](FormRig& rig) { Hotkey(*rig.form, hotkey_id::kDisableHotkeys); }, nothing},
      {"Greek texts and the widened layout, hotkey before", greek,
       [](FormRig& rig) { Hotkey(*rig.form, hotkey_id::kNotifications); }, nothing},
      {"communications role on Vista, hotkey before",
       [](FormRig& rig) {
         rig.registry.SetDword(kKey, u"Role", 10);
         rig.version.record.minorVersion = 0;
         rig.version.record.buildNumber = 6002;
       },
       [](FormRig& rig) {
         ASSERT_TRUE(rig.objects->WindowsVersion.Initialize());
         Hotkey(*rig.form, hotkey_id::kNotifications);
       },
       nothing},
      {"cancelled edits, a page, then a hotkey and a second showing", nothing, nothing,
       [](FormRig& rig) {
         rig.options.CategorySelected(3);
         rig.options.CheckClicked(C::checkSplash, true);
         rig.options.ListSelected(C::comboLanguage, 1);
         rig.options.ButtonClicked(C::BtnCancel);
         Hotkey(*rig.form, hotkey_id::kNotifications);
         rig.form->MenuOptionsClick();
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FormRig lazy(false);
    FormRig eager;
    for (FormRig* rig : {&lazy, &eager}) {
      Arrange(*rig);
      c.arrange(*rig);
      rig->Start();
      c.before(*rig);
    }
    ASSERT_EQ(lazy.optionsView.windowsMade, 0);
    for (FormRig* rig : {&lazy, &eager}) rig->form->MenuOptionsClick();
    ExpectSameView(lazy.optionsView, eager.optionsView);
    for (FormRig* rig : {&lazy, &eager}) c.after(*rig);
    ExpectSameView(lazy.optionsView, eager.optionsView);
    EXPECT_EQ(lazy.Lines(), eager.Lines());
    EXPECT_EQ(lazy.optionsView.windowsMade, 1);
    EXPECT_EQ(lazy.optionsView.toldWithoutWindow, 0);
  }
}

}  // namespace
}  // namespace varnolet
