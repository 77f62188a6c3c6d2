// The keyboard's path: the raw input handler's steps and the decision of what
// a fired hotkey does. The hotkeys feature performs the actions (through the
// device lists and the commands it is given); these pieces decide.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

#include "input/hotkey_file.h"
#include "input/hotkeys.h"
#include "input/key_sequence.h"
#include "input/raw_input.h"

namespace varnolet {

// The raw input handler (WM_INPUT): query the keyboard record into the live
// state (the result is not tested: a failed query leaves the state as it
// was), run the first matching hotkey, feed the key sequence. True when the
// monitor window is to be shown. Allocates nothing.
bool HandleRawInput(CRawInput::CDevice& keyboard, CHotkeys& table, MonitorKeySequence& sequence,
                    DEVICEINPUT& inputState, std::uintptr_t rawInputHandle);

// What a hotkey with this identifier does, in the order the action runs it.
struct HotkeyActionPlan {
  bool disableHotkeys = false;       // only while hotkeys are enabled
  bool toggleNotifications = false;  // flip the Notifications setting
  int playbackDevice = -1;           // index in the playback list to switch to, -1 none
  int recordingDevice = -1;          // index in the recording list to switch to, -1 none
};

// The first of the first `count` devices whose endpoint identifier is
// `identifier`; -1 when none is (an absent device) or the identifier is
// empty (a list's placeholder entry never matches).
template <class Devices, class IdentifierOf>
int FindDeviceByIdentifier(const Devices& devices, std::size_t count, std::u16string_view identifier,
                           IdentifierOf identifierOf) {
  if (identifier.empty()) return -1;
  const std::size_t n = std::min<std::size_t>(count, static_cast<std::size_t>(std::size(devices)));
  for (std::size_t i = 0; i < n; ++i)
    if (std::u16string_view(identifierOf(devices[i])) == identifier) return static_cast<int>(i);
  return -1;
}

// The action's decision on a copy of the hotkey's identifier.
template <class Devices, class IdentifierOf>
HotkeyActionPlan PlanHotkeyAction(std::u16string_view identifier, bool hotkeysEnabled,
                                  const Devices& playback, std::size_t playbackCount,
                                  const Devices& recording, std::size_t recordingCount,
                                  IdentifierOf identifierOf) {
  HotkeyActionPlan plan;
  if (identifier == hotkey_id::kDisableHotkeys)
    plan.disableHotkeys = hotkeysEnabled;
  else if (identifier == hotkey_id::kNotifications)
    plan.toggleNotifications = true;
  plan.playbackDevice = FindDeviceByIdentifier(playback, playbackCount, identifier, identifierOf);
  plan.recordingDevice = FindDeviceByIdentifier(recording, recordingCount, identifier, identifierOf);
  return plan;
}

}  // namespace varnolet
