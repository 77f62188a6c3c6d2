// The Device Link feature on its own: the watcher's callback runs its engine
// while the feature lives and nothing after, and a feature that failed to
// start is off for the run.
#include "link/device_link.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fakes/fake_files.h"
#include "fakes/fake_link.h"
#include "fakes/fake_processes.h"
#include "fakes/fake_system.h"
#include "support/text.h"

namespace varnolet {
namespace {

using fakes::FakeClsid;
using fakes::FakeFiles;
using fakes::FakeProcessTable;
using fakes::FakeSystem;
using fakes::FakeToken;
using fakes::FakeWmi;
using fakes::GuidOf;
using Journal = std::vector<std::string>;

constexpr char16_t kData[] = u"C:\\Users\\u\\AppData\\Roaming";
constexpr char16_t kHeadsetGuid[] = u"{11111111-0000-0000-0000-000000000002}";
constexpr char16_t kPlayer[] = u"C:\\Program Files\\Player\\player.exe";

// The lists and the announcements as the engine sees them, in a journal.
class FakeDevices final : public DeviceSwitch, public SwitchAnnouncer {
 public:
  std::span<const DEVICEINFO> Devices(bool render) const override {
    return render ? std::span<const DEVICEINFO>(playback) : std::span<const DEVICEINFO>();
  }
  std::int32_t SwitchTo(bool render, std::int32_t position) override {
    journal.push_back((render ? "render " : "capture ") + std::to_string(position));
    return 0;
  }
  std::u16string ErrorText() const override { return {}; }
  void MenuChanged() override { journal.push_back("menu"); }
  void Announce(std::u16string_view, const std::u16string& name) override {
    journal.push_back("show " + Narrow(name));
  }
  void AnnounceBoth(const std::u16string&, const std::u16string&) override { journal.push_back("both"); }

  std::vector<DEVICEINFO> playback{{u"Headset", u"{0.0.0.00000000}." + std::u16string(kHeadsetGuid)}};
  Journal journal;
};

class DeviceLinkFeatureTest : public testing::Test {
 protected:
  DeviceLinkFeatureTest() {
    files.AddFolder(u"C:\\Users\\u\\AppData\\Roaming\\Varnolet 7\\Data");
    table.Add(4, u"C:\\Windows\\System32\\svchost.exe");
  }

  // The map holds one link to the headset for the player.
  void StartFeature() {
    {
      DeviceLinkFile writer(log, drive, DeviceLinkFile::MapPath(kData));
      ASSERT_TRUE(writer.SaveDeviceLinks({{GuidOf(kHeadsetGuid), u"", kPlayer}}));
    }
    feature.emplace(setting, devices, devices, processes, drive, clsid, log);
    feature->UseDataPath(kData);
    feature->Listen();
    feature->Initialize();
  }

  FakeSystem system;
  FakeFiles files{system};
  CDrive drive{files, system, system};
  ActivityLog log{system, system};
  FakeProcessTable table{system};
  FakeToken token{system};
  FakeWmi wmi;
  CPrivileges privileges{token, system, system};
  CProcesses processes{wmi, table, privileges, system, system};
  FakeClsid clsid;
  FakeDevices devices;
  std::int32_t setting = 1;
  std::optional<DeviceLinkFeature> feature;
};

TEST_F(DeviceLinkFeatureTest, BatchesRunTheEngineWhileTheFeatureLivesAndReachNothingAfter) {
  ASSERT_NO_FATAL_FAILURE(StartFeature());
  ASSERT_EQ(wmi.ActiveSubscriptions(), 1);
  ASSERT_EQ(feature->Links().size(), 1u);
  table.Add(100, kPlayer);
  wmi.Deliver(1);
  EXPECT_EQ(devices.journal, (Journal{"render 0", "menu", "show Headset"}));

  // The watcher outlives the feature: a later batch calls nothing, not even
  // for a snapshot of the processes.
  devices.journal.clear();
  feature.reset();
  table.Add(101, kPlayer);
  const std::size_t listed = table.failures.Calls().size();
  wmi.Deliver(1);
  EXPECT_EQ(table.failures.Calls().size(), listed);
  EXPECT_TRUE(devices.journal.empty());
}

TEST_F(DeviceLinkFeatureTest, AFeatureThatFailedToStartIsOffForTheRunOnce) {
  wmi.failures.FailAlways("CreateUnsecuredApartment",
                          static_cast<std::uint32_t>(clsid_status::kClassNotRegistered));
  ASSERT_NO_FATAL_FAILURE(StartFeature());
  EXPECT_TRUE(feature->Failed());
  EXPECT_TRUE(feature->SwitchOffIfFailed());
  EXPECT_EQ(setting, 0);
  EXPECT_FALSE(feature->SwitchOffIfFailed());  // the setting is 0 now
}

TEST_F(DeviceLinkFeatureTest, AFeatureThatStartedStaysOn) {
  ASSERT_NO_FATAL_FAILURE(StartFeature());
  EXPECT_FALSE(feature->Failed());
  EXPECT_FALSE(feature->SwitchOffIfFailed());
  EXPECT_EQ(setting, 1);
}

}  // namespace
}  // namespace varnolet
