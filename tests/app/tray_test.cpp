// The tray menu of the main form: the device lists, the check marks and the
// item clicks, on scripted endpoints (the switching routine itself is the
// audio devices feature's, tested with it).
#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/form_rig.h"

namespace varnolet {
namespace {

using fakes::Endpoint;
using fakes::FormRig;
using Lines = std::vector<std::u16string>;

const std::u16string kKey(kSettingsKey);
const std::u16string kHeadset = u"{0.0.0.00000000}.{11111111-1111-1111-1111-111111111111}";
const std::u16string kSpeakers = u"{0.0.0.00000000}.{22222222-2222-2222-2222-222222222222}";
const std::u16string kMicrophone = u"{0.0.1.00000000}.{33333333-3333-3333-3333-333333333333}";

class TrayTest : public testing::Test {
 protected:
  void SetUp() override {
    rig.registry.SetDword(kKey, u"Splash", 1);
    rig.audio.render = {Endpoint(kHeadset, u"Headset"), Endpoint(kSpeakers, u"Ακουστικά")};
    rig.audio.capture = {Endpoint(kMicrophone, u"Microphone")};
    rig.audio.defaults[{audio::kRender, audio::kRoleMultimedia}] = kSpeakers;
    rig.audio.defaults[{audio::kCapture, audio::kRoleMultimedia}] = kMicrophone;
  }
  TNotificationsForm& Start() { return rig.Start(); }

  std::vector<std::pair<std::u16string, std::int32_t>> SetCalls() const {
    std::vector<std::pair<std::u16string, std::int32_t>> calls;
    for (const auto& call : rig.audio.setCalls) calls.emplace_back(call.id, call.role);
    return calls;
  }

  FormRig rig;
};

TEST_F(TrayTest, MenuListsTheDevicesAndChecksAndDisablesTheDefaults) {
  TNotificationsForm& form = Start();
  form.TrayMouseDown();
  ASSERT_EQ(rig.view.playbackItems.size(), 2u);
  EXPECT_EQ(rig.view.playbackItems[0].caption, u"Headset");
  EXPECT_FALSE(rig.view.playbackItems[0].checked);
  EXPECT_TRUE(rig.view.playbackItems[0].enabled);
  EXPECT_EQ(rig.view.playbackItems[1].caption, u"Ακουστικά");
  EXPECT_EQ(rig.view.playbackItems[1].tag, 1);
  EXPECT_TRUE(rig.view.playbackItems[1].checked);
  EXPECT_FALSE(rig.view.playbackItems[1].enabled);
  ASSERT_EQ(rig.view.recordingItems.size(), 1u);
  EXPECT_TRUE(rig.view.recordingItems[0].checked);
  EXPECT_EQ(rig.view.captions, (Lines{u"Playback", u"Recording", u"Options", u"Exit"}));
  EXPECT_EQ(form.Devices().Playback().defaultIndex, 1);
}

TEST_F(TrayTest, TwoEndpointsWithOneNameAreCheckedByIdentifier) {
  rig.audio.render = {Endpoint(kHeadset, u"Speakers"), Endpoint(kSpeakers, u"Speakers")};
  Start().TrayMouseDown();
  ASSERT_EQ(rig.view.playbackItems.size(), 2u);
  EXPECT_FALSE(rig.view.playbackItems[0].checked);
  EXPECT_TRUE(rig.view.playbackItems[1].checked);
}

TEST_F(TrayTest, EmptyOrFailedDirectionsShowAPlaceholderThatDoesNothing) {
  struct Case {
    const char* name;
    bool failCapture;
    bool noRender;
    std::u16string playback;
    std::u16string recording;
    bool captureLine;
  };
  const Case cases[] = {
      {"NoPlayback", false, true, u"No playback devices found", u"Microphone", false},
      {"CaptureFails", true, false, u"Headset", u"Could not detect recording devices", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FormRig local;
    local.registry.SetDword(kKey, u"Splash", 1);
    if (!c.noRender) local.audio.render = {Endpoint(kHeadset, u"Headset")};
    local.audio.capture = {Endpoint(kMicrophone, u"Microphone")};
    if (c.failCapture) local.audio.failures.FailAlways("EnumEndpoints:capture", fakes::kUnspecifiedError);
    TNotificationsForm& form = local.Start();
    form.TrayMouseDown();
    ASSERT_FALSE(local.view.playbackItems.empty());
    ASSERT_FALSE(local.view.recordingItems.empty());
    EXPECT_EQ(local.view.playbackItems[0].caption, c.playback);
    EXPECT_EQ(local.view.recordingItems[0].caption, c.recording);
    const bool placeholder = c.noRender || c.failCapture;
    const auto& item = c.noRender ? local.view.playbackItems[0] : local.view.recordingItems[0];
    EXPECT_EQ(item.clickable, !placeholder);
    const Lines lines = local.Lines();
    const std::u16string line = u"  -Could not enumerate capture audio endpoint devices, " +
                                local.system.Text(fakes::kUnspecifiedError);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), line), c.captureLine ? 2 : 0);  // start-up and the press
    // The other direction is unaffected.
    EXPECT_EQ(form.PlaybackDevices().size(), c.noRender ? 0u : 1u);
  }
}

// The count asked before the second endpoint fails: the enumeration fails as
// a whole, and a later count that succeeds again never outgrows the list the
// form holds.
TEST_F(TrayTest, AFailedCountNeverLetsTheFormIndexPastItsLists) {
  rig.audio.render.push_back(
      Endpoint(u"{0.0.0.00000000}.{44444444-4444-4444-4444-444444444444}", u"Line Out"));
  rig.audio.failures.FailAfter("CollectionCount", 1, fakes::kUnspecifiedError);
  TNotificationsForm& form = Start();
  EXPECT_TRUE(form.PlaybackDevices().empty());
  EXPECT_TRUE(form.Devices().Playback().failed);
  const Lines lines = rig.Lines();
  EXPECT_NE(std::find_if(lines.begin(), lines.end(),
                         [](const std::u16string& line) {
                           return line.rfind(u"  -Could not enumerate render audio endpoint devices, ", 0) ==
                                  0;
                         }),
            lines.end());
  form.UpdatePopupMenuExecute();
  ASSERT_EQ(rig.view.playbackItems.size(), 1u);
  EXPECT_FALSE(rig.view.playbackItems[0].clickable);
  // A click on a position the failed list does not hold switches nothing.
  form.PlaybackItemClick(2);
  EXPECT_TRUE(rig.audio.setCalls.empty());

  // The next tray click enumerates again, and this time every count succeeds.
  form.TrayMouseDown();
  ASSERT_EQ(form.PlaybackDevices().size(), 3u);
  ASSERT_EQ(rig.view.playbackItems.size(), 3u);
  EXPECT_EQ(rig.view.playbackItems[2].caption, u"Line Out");
  form.PlaybackItemClick(2);
  EXPECT_EQ(SetCalls().size(), 2u);
  EXPECT_EQ(SetCalls().front().first, u"{0.0.0.00000000}.{44444444-4444-4444-4444-444444444444}");
  form.PlaybackItemClick(3);
  EXPECT_EQ(SetCalls().size(), 2u);
}

TEST_F(TrayTest, ItemClickSwitchesMovesTheCheckAndShowsTheBalloonOnlyAfterASuccess) {
  TNotificationsForm& form = Start();
  form.TrayMouseDown();
  form.PlaybackItemClick(0);
  rig.audio.defaults[{audio::kRender, audio::kRoleMultimedia}] = kHeadset;  // what the system now reports
  EXPECT_EQ(rig.view.balloons, Lines{u"Headset"});
  form.TrayMouseDown();
  EXPECT_TRUE(rig.view.playbackItems[0].checked);
  EXPECT_FALSE(rig.view.playbackItems[1].checked);

  // A refused switch names the device nowhere but in the log's reason.
  rig.audio.failures.FailAlways("SetDefaultEndpoint", fakes::kElementNotFound);
  form.PlaybackItemClick(1);
  EXPECT_EQ(rig.view.balloons, Lines{u"Headset"});
  EXPECT_EQ(rig.Lines().back(),
            u"  -Could not change default render device, " + rig.system.Text(fakes::kElementNotFound));
}

TEST_F(TrayTest, NoBalloonWhileNotificationsAreOff) {
  rig.registry.SetDword(kKey, u"Notifications", 0);
  TNotificationsForm& form = Start();
  form.TrayMouseDown();
  form.RecordingItemClick(0);
  EXPECT_EQ(SetCalls().size(), 2u);
  EXPECT_TRUE(rig.view.balloons.empty());
}

TEST_F(TrayTest, DefaultThatCannotBeReadKeepsThePreviousIndex) {
  TNotificationsForm& form = Start();
  form.TrayMouseDown();
  EXPECT_EQ(form.Devices().Playback().defaultIndex, 1);
  rig.audio.failures.FailAlways("DefaultEndpoint:render", fakes::kElementNotFound);
  form.TrayMouseDown();
  // The field keeps the default read before, whose item is still listed.
  EXPECT_TRUE(rig.view.playbackItems[1].checked);
  EXPECT_EQ(form.Devices().Playback().defaultIndex, 1);

  FormRig fresh;  // never read: nothing is checked
  fresh.audio.render = {Endpoint(kHeadset, u"Headset")};
  fresh.audio.failures.FailAlways("DefaultEndpoint:render", fakes::kElementNotFound);
  fresh.Start().TrayMouseDown();
  EXPECT_FALSE(fresh.view.playbackItems[0].checked);
}

TEST_F(TrayTest, RebuildAskedForWhileTheMenuIsOpenWaitsForItToClose) {
  TNotificationsForm& form = Start();
  form.TrayMouseDown();
  form.MenuOpened();
  rig.view.playbackItems.clear();
  rig.view.captions.clear();
  form.UpdatePopupMenuExecute();  // a hotkey or Device Link switched meanwhile
  EXPECT_TRUE(rig.view.playbackItems.empty());
  form.MenuClosed();
  EXPECT_EQ(rig.view.playbackItems.size(), 2u);
  EXPECT_EQ(rig.view.captions.size(), 4u);
}

TEST_F(TrayTest, ExitEmptiesTheDeviceItemsWritesTheLogAndEnds) {
  TNotificationsForm& form = Start();
  form.TrayMouseDown();
  form.MenuExitClick();
  EXPECT_TRUE(rig.view.playbackItems.empty());
  EXPECT_TRUE(rig.view.recordingItems.empty());
  EXPECT_TRUE(rig.view.terminated);
  EXPECT_TRUE(rig.files.Exists(std::u16string(fakes::kDataDir) + u"\\VRN.log"));
}

TEST_F(TrayTest, OptionsItemShowsTheDialogAndAgainOnlyBringsItToTheFront) {
  TNotificationsForm& form = Start();
  form.MenuOptionsClick();
  EXPECT_TRUE(rig.optionsView.dialogVisible);
  EXPECT_TRUE(rig.options.Visible());
  EXPECT_EQ(rig.optionsView.applicationHidden, 1);  // FormShow ran
  EXPECT_EQ(rig.optionsView[OptionsControl::Dialog].text, u"Options");
  // A second Options while it is open refills nothing.
  rig.options.CheckClicked(OptionsControl::checkStartup, true);
  form.MenuOptionsClick();
  EXPECT_EQ(rig.optionsView.showCalls, 2);
  EXPECT_EQ(rig.optionsView.applicationHidden, 1);
  EXPECT_TRUE(rig.options.Checked(OptionsControl::checkStartup));
}

// An empty list says why where it is shown: in the menu, as an item that
// cannot be clicked, and on the monitor's endpoint tab, as the default.
TEST_F(TrayTest, AnEmptyListShowsWhyInTheMenuAndOnTheMonitor) {
  struct Case {
    bool fail;  // the enumeration fails, else it finds no endpoint
    std::u16string playback;
    std::u16string recording;
  };
  const Case cases[] = {
      {false, u"No playback devices found", u"No recording devices found"},
      {true, u"Could not detect playback devices", u"Could not detect recording devices"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fail ? "failed" : "none");
    FormRig local;
    local.registry.SetDword(kKey, u"Splash", 1);
    if (c.fail) local.audio.failures.FailAlways("CollectionCount", fakes::kUnspecifiedError);
    TNotificationsForm& form = local.Start();
    form.UpdatePopupMenuExecute();
    ASSERT_EQ(local.view.playbackItems.size(), 1u);
    EXPECT_EQ(local.view.playbackItems[0].caption, c.playback);
    EXPECT_FALSE(local.view.playbackItems[0].clickable);
    EXPECT_FALSE(local.view.playbackItems[0].checked);
    ASSERT_EQ(local.view.recordingItems.size(), 1u);
    EXPECT_EQ(local.view.recordingItems[0].caption, c.recording);
    const MonitorSnapshot snapshot = form.Snapshot();
    EXPECT_TRUE(DeviceListLines(snapshot.playback).empty());
    EXPECT_EQ(DefaultDeviceLines(snapshot.playback),
              (Lines{u"Default:", u"Device name: " + c.playback, u"Device GUID: "}));
    EXPECT_EQ(DefaultDeviceLines(snapshot.recording),
              (Lines{u"Default:", u"Device name: " + c.recording, u"Device GUID: "}));
  }
}

}  // namespace
}  // namespace varnolet
