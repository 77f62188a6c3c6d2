// The audio devices feature on scripted endpoints: the lists without any
// placeholder, the default found by identifier, and the switching routine.
#include "audio/audio_devices.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "fakes/fake_audio_endpoints.h"
#include "fakes/fake_system.h"
#include "fakes/log_lines.h"
#include "settings/user_settings.h"

namespace varnolet {
namespace {

using fakes::Endpoint;
using fakes::FakeCoreAudio;
using fakes::FakeSystem;
using Lines = std::vector<std::u16string>;

const std::u16string kHeadset = u"{0.0.0.00000000}.{11111111-1111-1111-1111-111111111111}";
const std::u16string kSpeakers = u"{0.0.0.00000000}.{22222222-2222-2222-2222-222222222222}";
const std::u16string kMicrophone = u"{0.0.1.00000000}.{33333333-3333-3333-3333-333333333333}";

class AudioDevicesTest : public testing::Test {
 protected:
  AudioDevicesTest() {
    audio.render = {Endpoint(kHeadset, u"Headset"), Endpoint(kSpeakers, u"Ακουστικά")};
    audio.capture = {Endpoint(kMicrophone, u"Microphone")};
    audio.defaults[{audio::kRender, audio::kRoleMultimedia}] = kSpeakers;
    audio.defaults[{audio::kCapture, audio::kRoleMultimedia}] = kMicrophone;
  }

  std::vector<std::pair<std::u16string, std::int32_t>> SetCalls() const {
    std::vector<std::pair<std::u16string, std::int32_t>> calls;
    for (const auto& call : audio.setCalls) calls.emplace_back(call.id, call.role);
    return calls;
  }
  Lines Logged() const { return fakes::UnstampedLines(log); }

  FakeSystem system;
  FakeCoreAudio audio;
  CEnumerationInterface enumeration{audio, system, system};
  ActivityLog log{system, system};
  std::int32_t role = device_role::Both;
  AudioDevices devices{enumeration, log, role};
};

TEST_F(AudioDevicesTest, ListsHoldTheEndpointsOnlyAndSayWhetherTheEnumerationFailed) {
  devices.Enumerate();
  EXPECT_EQ(devices.Playback().devices,
            (std::vector<DEVICEINFO>{{u"Headset", kHeadset}, {u"Ακουστικά", kSpeakers}}));
  EXPECT_FALSE(devices.Playback().failed);
  EXPECT_EQ(devices.Devices(false).size(), 1u);
  EXPECT_TRUE(Logged().empty());

  // No capture endpoint at all: an empty list, not a failure.
  audio.capture.clear();
  devices.Enumerate();
  EXPECT_TRUE(devices.Recording().devices.empty());
  EXPECT_FALSE(devices.Recording().failed);

  // A failed enumeration empties the list and says so in the log.
  audio.failures.FailAlways("CollectionCount", fakes::kUnspecifiedError);
  devices.Enumerate();
  EXPECT_TRUE(devices.Playback().devices.empty());
  EXPECT_TRUE(devices.Playback().failed);
  ASSERT_FALSE(Logged().empty());
  EXPECT_EQ(Logged().front(), u"  -Could not enumerate render audio endpoint devices, " +
                                  system.Text(fakes::kUnspecifiedError));
}

TEST_F(AudioDevicesTest, TheDefaultIsFoundByIdentifierAndKeptWhenItCannotBeRead) {
  devices.Enumerate();
  EXPECT_EQ(devices.RefreshDefault(true), 1);
  EXPECT_EQ(devices.Playback().defaultIndex, 1);
  EXPECT_EQ(devices.Playback().defaultDevice.id, kSpeakers);
  EXPECT_EQ(devices.RefreshDefault(false), 0);

  // A default plugged in since the enumeration names no position; the index keeps its value.
  const std::u16string lineOut = u"{0.0.0.00000000}.{44444444-4444-4444-4444-444444444444}";
  audio.render.push_back(Endpoint(lineOut, u"Line Out"));
  audio.defaults[{audio::kRender, audio::kRoleMultimedia}] = lineOut;
  EXPECT_EQ(devices.RefreshDefault(true), -1);
  EXPECT_EQ(devices.Playback().defaultDevice.id, lineOut);
  EXPECT_EQ(devices.Playback().defaultIndex, 1);

  // A failed query keeps the default read before.
  audio.defaults[{audio::kRender, audio::kRoleMultimedia}] = kHeadset;
  ASSERT_EQ(devices.RefreshDefault(true), 0);
  audio.failures.FailAlways("DefaultEndpoint:render", fakes::kElementNotFound);
  EXPECT_EQ(devices.RefreshDefault(true), 0);
  EXPECT_EQ(devices.Playback().defaultDevice.id, kHeadset);
}

TEST_F(AudioDevicesTest, RolesMakeTheirCallsInOrderAndCountFailures) {
  struct Case {
    std::int32_t role;
    std::vector<std::int32_t> roles;  // the roles asked of the policy object, in order
    int failures;                     // calls that fail
    std::int32_t expectedResult;
  };
  const Case cases[] = {
      {1, {audio::kRoleMultimedia}, 0, 0},
      {10, {audio::kRoleCommunications}, 0, 0},
      {11, {audio::kRoleMultimedia, audio::kRoleCommunications}, 0, 0},
      {0, {audio::kRoleMultimedia, audio::kRoleCommunications}, 0, 0},
      {11, {audio::kRoleMultimedia, audio::kRoleCommunications}, 1, 1},
      {11, {audio::kRoleMultimedia, audio::kRoleCommunications}, 2, 2},
  };
  devices.Enumerate();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "role " << c.role << ", failures " << c.failures);
    role = c.role;
    audio.setCalls.clear();
    const std::size_t logged = log.Lines().size();
    if (c.failures == 1) audio.failures.FailNext("SetDefaultEndpoint", fakes::kElementNotFound);
    if (c.failures == 2) {
      audio.failures.FailNext("SetDefaultEndpoint", fakes::kUnspecifiedError);
      audio.failures.FailNext("SetDefaultEndpoint", fakes::kElementNotFound);
    }
    EXPECT_EQ(devices.SwitchTo(true, 0), c.expectedResult);
    std::vector<std::int32_t> roles;
    for (const auto& call : audio.setCalls) {
      EXPECT_EQ(call.id, kHeadset);
      roles.push_back(call.role);
    }
    EXPECT_EQ(roles, c.roles);
    const Lines all = Logged();
    const Lines lines(all.begin() + static_cast<std::ptrdiff_t>(logged), all.end());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], u"Changing default render device . . .");
    // After two failures the reason is the second one's.
    EXPECT_EQ(lines[1], c.failures == 0 ? u"  -Headset"
                                        : u"  -Could not change default render device, " +
                                              system.Text(fakes::kElementNotFound));
  }
}

TEST_F(AudioDevicesTest, CaptureSwitchUsesTheRecordingListAndItsTexts) {
  role = device_role::Multimedia;
  devices.Enumerate();
  EXPECT_EQ(devices.SwitchTo(false, 0), 0);
  EXPECT_EQ(SetCalls(), (std::vector<std::pair<std::u16string, std::int32_t>>{{kMicrophone, 1}}));
  EXPECT_EQ(Logged(), (Lines{u"Changing default capture device . . .", u"  -Microphone"}));
}

TEST_F(AudioDevicesTest, APositionOutsideTheListFailsAsAnEndpointThatIsGone) {
  devices.Enumerate();
  for (const std::int32_t position : {-1, 2}) {
    SCOPED_TRACE(position);
    EXPECT_GT(devices.SwitchTo(true, position), 0);
    for (const auto& call : audio.setCalls) EXPECT_TRUE(call.id.empty());
  }
}

}  // namespace
}  // namespace varnolet
