// The hotkeys feature on its own: what a fired hotkey does, through the
// device lists, the announcements and the two setting commands it is given.
#include "input/hotkeys_feature.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_files.h"
#include "fakes/fake_input_timer.h"
#include "fakes/fake_raw_input.h"
#include "fakes/fake_system.h"
#include "fakes/fake_utf8.h"
#include "input_test_files.h"
#include "support/text.h"

namespace varnolet {
namespace {

using fakes::FakeFiles;
using fakes::FakeRawInput;
using fakes::FakeSequenceTimer;
using fakes::FakeSystem;
using fakes::FakeUtf8;
using Journal = std::vector<std::string>;

constexpr char16_t kData[] = u"C:\\Users\\u\\AppData\\Roaming";
constexpr char16_t kPath[] = u"C:\\Users\\u\\AppData\\Roaming\\Varnolet 7\\Data\\hmap.dat";
constexpr char16_t kSpeakers[] = u"{0.0.0.00000000}.{11111111-0000-0000-0000-000000000001}";
constexpr char16_t kHeadset[] = u"{0.0.0.00000000}.{11111111-0000-0000-0000-000000000002}";
constexpr char16_t kMicrophone[] = u"{0.0.1.00000000}.{22222222-0000-0000-0000-000000000001}";

// The lists, the announcements and the commands as the feature sees them;
// every action goes to the journal.
class FakeProgram final : public DeviceSwitch, public SwitchAnnouncer, public HotkeyCommands {
 public:
  std::span<const DEVICEINFO> Devices(bool render) const override { return render ? playback : recording; }
  std::int32_t SwitchTo(bool render, std::int32_t position) override {
    journal.push_back((render ? "render " : "capture ") + std::to_string(position));
    return failures;
  }
  std::u16string ErrorText() const override { return {}; }
  void MenuChanged() override { journal.push_back("menu"); }
  void Announce(std::u16string_view picture, const std::u16string& name) override {
    journal.push_back("picture " + Narrow(picture));
    journal.push_back("show " + Narrow(name));
  }
  void AnnounceBoth(const std::u16string&, const std::u16string&) override { journal.push_back("both"); }
  void DisableHotkeys() override { journal.push_back("disable"); }
  void ToggleNotifications() override { journal.push_back("toggle"); }

  std::vector<DEVICEINFO> playback{{u"Speakers", kSpeakers}, {u"Headset", kHeadset}};
  std::vector<DEVICEINFO> recording{{u"Microphone", kMicrophone}};
  std::int32_t failures = 0;
  Journal journal;
};

class HotkeysFeatureTest : public testing::Test {
 protected:
  void SetUp() override {
    files.AddFolder(u"C:\\Users\\u\\AppData\\Roaming\\Varnolet 7\\Data");
    files.AddFile(kPath, test_files::Bytes(test_files::kCtrlShiftVNotifications));
    feature.UseDataPath(kData);
  }

  bool Fire(const std::u16string& identifier) { return feature.Fire(&identifier); }

  FakeSystem system;
  FakeFiles files{system};
  FakeUtf8 utf8;
  CDrive drive{files, system, system};
  ActivityLog log{system, system};
  FakeRawInput rawApi{system};
  CRawInput raw{rawApi, system, system};
  CHotkeys table{system, system};
  FakeSequenceTimer timer;
  FakeProgram program;
  std::int32_t setting = 1;
  HotkeysFeature feature{
      setting, HotkeyFileAccess{drive, utf8, log, {}}, table, raw, 0x20044, timer, program, program, program};
};

TEST_F(HotkeysFeatureTest, AFiredHotkeyDoesWhatItsIdentifierNames) {
  struct Case {
    const char* name;
    std::u16string identifier;
    std::int32_t setting;   // the Hotkeys setting the feature started with
    std::int32_t failures;  // of the switch
    Journal expected;
  };
  const Case cases[] = {
      {"disable while on", hotkey_id::kDisableHotkeys, 1, 0, {"disable"}},
      {"disable while off", hotkey_id::kDisableHotkeys, 0, 0, {}},
      {"notifications", hotkey_id::kNotifications, 1, 0, {"toggle"}},
      {"notifications while off", hotkey_id::kNotifications, 0, 0, {"toggle"}},
      {"playback device", kHeadset, 1, 0, {"render 1", "menu", "picture IMG_3", "show Headset"}},
      {"recording device", kMicrophone, 1, 0, {"capture 0", "menu", "picture IMG_4", "show Microphone"}},
      {"failed switch", kSpeakers, 1, 1, {"render 0", "menu"}},
      {"absent device", u"{0.0.0.00000000}.{99999999-0000-0000-0000-000000000009}", 1, 0, {}},
      {"empty identifier", u"", 1, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    setting = c.setting;
    table.Clear();
    ASSERT_TRUE(feature.Initialize());
    program.failures = c.failures;
    program.journal.clear();
    EXPECT_TRUE(Fire(c.identifier));
    EXPECT_EQ(program.journal, c.expected);
  }
}

TEST_F(HotkeysFeatureTest, TheTableRunsTheFeaturesOwnAction) {
  ASSERT_TRUE(feature.Initialize());
  ASSERT_EQ(feature.Loaded().size(), 1u);
  ASSERT_EQ(table.Items().size(), 1u);
  // Ctrl+Shift+V, as the map holds it.
  EXPECT_TRUE(table.ExecuteMatching(feature.Loaded()[0]));
  EXPECT_EQ(program.journal, Journal{"toggle"});
  EXPECT_EQ(table.Items()[0].callback.context, &feature);
}

TEST_F(HotkeysFeatureTest, HotkeysThatFailedToStartAreOffForTheRunUntilABoxTickedIsApplied) {
  files.AddFile(kPath, std::vector<std::uint8_t>{'X', 0, 0xFF});  // not a hotkey map
  feature.Initialize();
  EXPECT_TRUE(feature.SwitchOffIfFailed());
  EXPECT_EQ(setting, 0);
  EXPECT_TRUE(feature.OffForRun());
  EXPECT_FALSE(feature.Enabled());
  EXPECT_FALSE(feature.SwitchOffIfFailed());  // once only: the setting is 0 now

  EXPECT_EQ(feature.Apply(false, {}), SaveHotkeysOutcome::Reloaded);
  EXPECT_TRUE(feature.OffForRun());
  EXPECT_EQ(feature.Apply(true, {}), SaveHotkeysOutcome::Reloaded);
  EXPECT_FALSE(feature.OffForRun());
  EXPECT_EQ(setting, 1);
  EXPECT_TRUE(feature.Enabled());
}

TEST_F(HotkeysFeatureTest, HotkeysThatStartedStayOn) {
  ASSERT_TRUE(feature.Initialize());
  EXPECT_FALSE(feature.SwitchOffIfFailed());
  EXPECT_EQ(setting, 1);
  EXPECT_FALSE(feature.OffForRun());
}

}  // namespace
}  // namespace varnolet
