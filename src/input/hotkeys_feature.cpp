#include "input/hotkeys_feature.h"

namespace varnolet {

HotkeysFeature::HotkeysFeature(std::int32_t& setting, HotkeyFileAccess file, CHotkeys& table,
                               CRawInput& rawInput, std::uintptr_t window, SequenceTimer& timer,
                               DeviceSwitch& devices, SwitchAnnouncer& announcer, HotkeyCommands& commands)
    : setting_(setting),
      devices_(devices),
      announcer_(announcer),
      commands_(commands),
      keySequence_(timer),
      services_{std::move(file), table, rawInput, window, BindHotkeyAction<&HotkeysFeature::Fire>(*this)},
      fields_{loaded_, identifiers_, enabled_, initFailed_} {}

bool HotkeysFeature::SwitchOffIfFailed() {
  if (initFailed_ == 0 || setting_ != 1) return false;
  offForRun_ = true;
  setting_ = 0;
  services_.table.Clear();
  Initialize();
  return true;
}

SaveHotkeysOutcome HotkeysFeature::Apply(bool enable, const std::vector<HotkeySlot>& slots) {
  if (enable) offForRun_ = false;
  return SaveHotkeyConfiguration(services_, fields_, setting_, enable, slots);
}

SaveHotkeysOutcome HotkeysFeature::SaveLoaded(bool enable) {
  const std::vector<HotkeySlot> slots = LoadedHotkeySlots(loaded_, identifiers_);
  return SaveHotkeyConfiguration(services_, fields_, setting_, enable, slots);
}

bool HotkeysFeature::Fire(const std::u16string* parameter) {
  // A copy: disabling hotkeys reloads the identifier list the parameter points into.
  const std::u16string identifier = *parameter;
  const std::span<const DEVICEINFO> playback = devices_.Devices(true);
  const std::span<const DEVICEINFO> recording = devices_.Devices(false);
  const HotkeyActionPlan plan =
      PlanHotkeyAction(identifier, enabled_ == 1, playback, playback.size(), recording, recording.size(),
                       [](const DEVICEINFO& device) -> const std::u16string& { return device.id; });
  if (plan.disableHotkeys) commands_.DisableHotkeys();
  if (plan.toggleNotifications) commands_.ToggleNotifications();
  if (plan.playbackDevice >= 0) Switch(true, plan.playbackDevice);
  if (plan.recordingDevice >= 0) Switch(false, plan.recordingDevice);
  return true;
}

void HotkeysFeature::Switch(bool render, int position) {
  // A copy of the name, taken before the switch.
  const std::u16string name = devices_.Devices(render)[static_cast<std::size_t>(position)].name;
  const std::int32_t failures = devices_.SwitchTo(render, position);
  announcer_.MenuChanged();
  // A device is announced only when the switch worked.
  if (failures == 0) announcer_.Announce(render ? kPlaybackPicture : kRecordingPicture, name);
}

}  // namespace varnolet
