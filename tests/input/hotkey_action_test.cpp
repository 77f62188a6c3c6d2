#include "input/hotkey_action.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnolet {
namespace {

constexpr char16_t kHeadset[] = u"{0.0.0.00000000}.{5f1e3c2a-0b4d-4e6f-8a9b-0c1d2e3f4a5b}";
constexpr char16_t kSpeakers[] = u"{0.0.0.00000000}.{11111111-2222-3333-4444-555555555555}";
constexpr char16_t kMicrophone[] = u"{0.0.1.00000000}.{7a6b5c4d-3e2f-4a1b-9c8d-7e6f5a4b3c2d}";
constexpr char16_t kUnplugged[] = u"{0.0.1.00000000}.{99999999-8888-7777-6666-555555555555}";

struct Device {
  std::u16string name;
  std::u16string identifier;
};

const std::u16string& IdentifierOf(const Device& device) {
  return device.identifier;
}

// ------------------------------------------------------------------ decision

TEST(HotkeyActionPlanTest, NamesWhatEachIdentifierDoes) {
  const std::vector<Device> playback = {{u"Speakers", kSpeakers}, {u"Headset", kHeadset}};
  const std::vector<Device> recording = {{u"Microphone", kMicrophone}};
  auto plan = [&](std::u16string_view identifier, bool enabled) {
    return PlanHotkeyAction(identifier, enabled, playback, playback.size(), recording, recording.size(),
                            IdentifierOf);
  };

  HotkeyActionPlan p = plan(hotkey_id::kDisableHotkeys, true);
  EXPECT_TRUE(p.disableHotkeys);
  EXPECT_FALSE(p.toggleNotifications);
  EXPECT_EQ(p.playbackDevice, -1);
  EXPECT_EQ(p.recordingDevice, -1);
  EXPECT_FALSE(plan(hotkey_id::kDisableHotkeys, false).disableHotkeys);  // hotkeys already off: nothing

  p = plan(hotkey_id::kNotifications, false);
  EXPECT_TRUE(p.toggleNotifications);
  EXPECT_FALSE(p.disableHotkeys);

  p = plan(kHeadset, true);
  EXPECT_EQ(p.playbackDevice, 1);
  EXPECT_EQ(p.recordingDevice, -1);
  EXPECT_FALSE(p.disableHotkeys || p.toggleNotifications);
  EXPECT_EQ(plan(kMicrophone, true).recordingDevice, 0);

  p = plan(kUnplugged, true);  // an absent device does nothing
  EXPECT_EQ(p.playbackDevice, -1);
  EXPECT_EQ(p.recordingDevice, -1);
  EXPECT_FALSE(p.disableHotkeys || p.toggleNotifications);
}

TEST(HotkeyActionPlanTest, APlaceholderEntryNeverMatches) {
  // With no playback device the list holds only its placeholder, count 0.
  const std::vector<Device> playback = {{u"No playback devices found", u""}};
  const std::vector<Device> recording = {{u"Microphone", kMicrophone}, {u"Stale", kHeadset}};
  const HotkeyActionPlan p = PlanHotkeyAction(u"", true, playback, 0, recording, 1, IdentifierOf);
  EXPECT_EQ(p.playbackDevice, -1);
  EXPECT_EQ(p.recordingDevice, -1);
  // An entry beyond the count is not a device.
  EXPECT_EQ(FindDeviceByIdentifier(recording, 1, kHeadset, IdentifierOf), -1);
  EXPECT_EQ(FindDeviceByIdentifier(recording, 5, kHeadset, IdentifierOf), 1);
}

}  // namespace
}  // namespace varnolet
