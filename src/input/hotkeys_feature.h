// The hotkeys feature: the hotkeys loaded from hmap.dat, their registration
// in the hotkey table, raw keyboard input, the monitor key sequence, and what
// a fired hotkey does. The table calls Fire directly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/audio_devices.h"
#include "input/hotkey_action.h"
#include "input/hotkey_file.h"
#include "input/key_sequence.h"

namespace varnolet {

// What a hotkey asks of the program besides switching a device.
class HotkeyCommands {
 public:
  virtual ~HotkeyCommands() = default;
  // The disable-hotkeys hotkey, while hotkeys are on.
  virtual void DisableHotkeys() = 0;
  // The notifications hotkey.
  virtual void ToggleNotifications() = 0;
};

class HotkeysFeature {
 public:
  // `setting`: the Hotkeys setting, which this feature changes when it turns
  // hotkeys off. `window`: the raw input target.
  HotkeysFeature(std::int32_t& setting, HotkeyFileAccess file, CHotkeys& table, CRawInput& rawInput,
                 std::uintptr_t window, SequenceTimer& timer, DeviceSwitch& devices,
                 SwitchAnnouncer& announcer, HotkeyCommands& commands);
  HotkeysFeature(const HotkeysFeature&) = delete;
  HotkeysFeature& operator=(const HotkeysFeature&) = delete;

  // The map file is <dataPath>\Varnolet 7\Data\hmap.dat.
  void UseDataPath(const std::u16string& dataPath) { services_.file.path = HotkeyFilePath(dataPath); }
  // Load, register, then raw input by the setting. Any failed step marks the
  // feature failed.
  bool Initialize() { return InitializeHotkeys(services_, fields_, setting_); }
  // Start-up, once the tray icon is visible: hotkeys that failed to start
  // while on are off for this run (the registry keeps the user's choice).
  // True when the caller must say so (string 30).
  bool SwitchOffIfFailed();
  // Saves the slots to the map and loads it again; the setting takes
  // `enable`. A ticked box ends an off-for-this-run.
  SaveHotkeysOutcome Apply(bool enable, const std::vector<HotkeySlot>& slots);
  // Saves the hotkeys as they were loaded (those of absent devices included).
  SaveHotkeysOutcome SaveLoaded(bool enable);
  // Whether the registry is to keep the user's choice (off for this run only).
  bool OffForRun() const { return offForRun_; }

  // WM_INPUT: the first matching hotkey runs, the key sequence is fed. True
  // when the monitor window is to be shown. Allocates nothing.
  bool OnRawInput(std::uintptr_t rawInputHandle) {
    return HandleRawInput(services_.rawInput.Keyboard, services_.table, keySequence_, inputState_,
                          rawInputHandle);
  }
  void SequenceTimerElapsed() { keySequence_.TimerElapsed(); }
  // The action of every loaded hotkey; `parameter` is its identifier.
  bool Fire(const std::u16string* parameter);

  bool Enabled() const { return enabled_ == 1; }
  const std::vector<HOTKEY>& Loaded() const { return loaded_; }
  const std::vector<std::u16string>& Identifiers() const { return identifiers_; }
  const DEVICEINPUT& InputState() const { return inputState_; }
  const MonitorKeySequence& KeySequence() const { return keySequence_; }

 private:
  void Switch(bool render, int position);

  std::int32_t& setting_;
  DeviceSwitch& devices_;
  SwitchAnnouncer& announcer_;
  HotkeyCommands& commands_;
  std::vector<HOTKEY> loaded_;
  std::vector<std::u16string> identifiers_;
  std::uint8_t enabled_ = 0;
  std::uint8_t initFailed_ = 0;
  bool offForRun_ = false;
  DEVICEINPUT inputState_;
  MonitorKeySequence keySequence_;
  HotkeyServices services_;
  HotkeyFields fields_;
};

}  // namespace varnolet
