// Device Link on the main form: start-up with the setting on, the engine
// reached through the process watcher's callback, and the save step.
#include <gtest/gtest.h>

#include "fakes/form_rig.h"

namespace varnolet {
namespace {

using fakes::Endpoint;
using fakes::FormRig;
using fakes::GuidOf;
using Lines = std::vector<std::u16string>;

const std::u16string kKey(kSettingsKey);
const std::u16string kLinkFile = std::u16string(fakes::kDataDir) + u"\\dlmap.dat";
const std::u16string kHeadsetGuid = u"{11111111-1111-1111-1111-111111111111}";
const std::u16string kMicrophoneGuid = u"{33333333-3333-3333-3333-333333333333}";
const std::u16string kNotepad = u"C:\\windows\\notepad.exe";

class DeviceLinkFormTest : public testing::Test {
 protected:
  void SetUp() override {
    rig.registry.SetDword(kKey, u"DeviceLink", 1);
    rig.audio.render = {Endpoint(u"{0.0.0.00000000}." + kHeadsetGuid, u"Headset")};
    rig.audio.capture = {Endpoint(u"{0.0.1.00000000}." + kMicrophoneGuid, u"Microphone")};
    rig.processes.Add(4, u"C:\\windows\\system32\\services.exe");
  }

  // Writes the map through the program's own writer before the form starts.
  void WriteLinks(const std::vector<DEVICELINK>& links) {
    rig.files.AddFolder(fakes::kDataDir);
    ActivityLog log(rig.system, rig.system);
    CDrive drive(rig.files, rig.system, rig.system);
    DeviceLinkFile file(log, drive, DeviceLinkFile::MapPath(fakes::kAppData));
    ASSERT_TRUE(file.SaveDeviceLinks(links));
  }

  FormRig rig;
};

TEST_F(DeviceLinkFormTest, SubscriptionThatFailsAtStartTurnsDeviceLinkOffForTheRun) {
  rig.wmi.failures.FailAlways("CreateUnsecuredApartment", fakes::kClassNotRegistered);
  TNotificationsForm& form = rig.Start();
  const Lines lines =
      rig.Section(u"Initializing device link setting . . .", u"Intializing hotkeys setting . . .");
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[3], u"  -Enabled");
  EXPECT_EQ(lines[4].rfind(u"  -Could not register to receive process notifications, ", 0), 0u);
  // The second initialisation, run once the icon's state is settled, unsubscribes.
  const Lines all = rig.Lines();
  EXPECT_EQ(all.back(), u"  -Unregistered from receiving new process notification");
  EXPECT_EQ(form.Settings()[setting::DeviceLink], 0);
  EXPECT_EQ(rig.registry.GetDword(kKey, u"DeviceLink"), 1u);
  // The splash hides the icon: the balloon waits for it.
  EXPECT_TRUE(rig.view.balloons.empty());
  form.SplashFinished();
  EXPECT_EQ(rig.view.balloons, Lines{u"Could not load Device Link, Device Link is disabled"});
}

TEST_F(DeviceLinkFormTest, LinkedProgramStartSwitchesThroughTheWatchersCallback) {
  WriteLinks({{GuidOf(kHeadsetGuid), u"Notepad", kNotepad}, {GuidOf(kMicrophoneGuid), u"Notepad", kNotepad}});
  TNotificationsForm& form = rig.Start();
  ASSERT_EQ(form.DeviceLinks().size(), 2u);
  ASSERT_EQ(rig.wmi.ActiveSubscriptions(), 1);

  rig.processes.Add(1200, kNotepad);
  rig.wmi.Deliver(3);  // one batch of three creation events: one callback
  std::vector<std::u16string> ids;
  for (const auto& call : rig.audio.setCalls) ids.push_back(call.id);
  EXPECT_EQ(ids, (Lines{u"{0.0.0.00000000}." + kHeadsetGuid, u"{0.0.0.00000000}." + kHeadsetGuid,
                        u"{0.0.1.00000000}." + kMicrophoneGuid, u"{0.0.1.00000000}." + kMicrophoneGuid}));
  EXPECT_EQ(rig.view.link.labels[NotificationLabel::RenderDevice], u"Headset");
  EXPECT_EQ(rig.view.link.labels[NotificationLabel::CaptureDevice], u"Microphone");
  EXPECT_TRUE(rig.view.link.visible);

  // The same process listed last again changes nothing.
  rig.wmi.Deliver(1);
  EXPECT_EQ(rig.audio.setCalls.size(), 4u);
}

TEST_F(DeviceLinkFormTest, NothingHappensWhileDeviceLinkIsOff) {
  rig.registry.SetDword(kKey, u"DeviceLink", 0);
  WriteLinks({{GuidOf(kHeadsetGuid), u"Notepad", kNotepad}});
  TNotificationsForm& form = rig.Start();
  rig.processes.Add(1200, kNotepad);
  EXPECT_TRUE(form.DeviceLink().ProcessStarted());
  EXPECT_TRUE(rig.audio.setCalls.empty());
}

TEST_F(DeviceLinkFormTest, SaveStepWritesTheMapReloadsItAndSavesTheSetting) {
  rig.registry.SetDword(kKey, u"DeviceLink", 0);
  TNotificationsForm& form = rig.Start();
  rig.options.CheckClicked(OptionsControl::checkDeviceLink, true);
  rig.options.links = {{GuidOf(kHeadsetGuid), u"Notepad", kNotepad}};
  form.SaveDeviceLink();
  EXPECT_EQ(form.DeviceLinks(), rig.options.links);
  EXPECT_EQ(rig.registry.GetDword(kKey, u"DeviceLink"), 1u);
  EXPECT_EQ(rig.wmi.ActiveSubscriptions(), 1);

  // A map that cannot be written keeps the live list and the registry value.
  rig.options.links.clear();
  rig.options.CheckClicked(OptionsControl::checkDeviceLink, false);
  rig.files.failures.FailAlways("OpenHandle", 5);
  form.SaveDeviceLink();
  EXPECT_EQ(form.DeviceLinks().size(), 1u);
  EXPECT_EQ(rig.registry.GetDword(kKey, u"DeviceLink"), 1u);
}

// The watcher outlives the form and COM may deliver a batch at any moment
// until the subscription is gone: no batch may reach a form that is gone or
// going. (The sanitize tier reports any touch of freed memory.)
TEST_F(DeviceLinkFormTest, NoBatchReachesAFormThatIsGone) {
  WriteLinks({{GuidOf(kHeadsetGuid), u"Notepad", kNotepad}});
  rig.registry.SetDword(kKey, u"Splash", 1);
  rig.Start();
  ASSERT_EQ(rig.wmi.ActiveSubscriptions(), 1);
  rig.processes.Add(1200, kNotepad);

  // After the form is destroyed, while the watcher still listens.
  rig.form.reset();
  rig.wmi.Deliver(1);
  EXPECT_TRUE(rig.audio.setCalls.empty());

  // From inside the cancellation the watcher's destructor makes.
  int delivered = 0;
  rig.wmi.duringCancel = [&] {
    ++delivered;
    rig.wmi.Deliver(1);
  };
  rig.objects.reset();
  EXPECT_EQ(delivered, 1);
  EXPECT_TRUE(rig.audio.setCalls.empty());
  EXPECT_TRUE(rig.wmi.misuse.empty());
}

// Start-up throws after subscribing; while the exception box pumps
// messages, a batch still arrives: before the devices were listed it switches
// nothing, and once the form is gone it reaches nothing.
TEST_F(DeviceLinkFormTest, NoBatchSwitchesForAFormWhoseStartThrew) {
  WriteLinks({{GuidOf(kHeadsetGuid), u"Notepad", kNotepad}});
  rig.view.splashThrows = true;  // the splash comes after Device Link has subscribed
  EXPECT_THROW(rig.Start(), std::runtime_error);
  ASSERT_EQ(rig.wmi.ActiveSubscriptions(), 1);
  rig.processes.Add(1200, kNotepad);
  rig.wmi.Deliver(1);
  EXPECT_TRUE(rig.audio.setCalls.empty());
  rig.form.reset();
  rig.wmi.Deliver(1);
  EXPECT_TRUE(rig.audio.setCalls.empty());
  rig.objects.reset();
  EXPECT_EQ(rig.wmi.ActiveSubscriptions(), 0);
}

}  // namespace
}  // namespace varnolet
