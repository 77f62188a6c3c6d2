// The seven user settings: their slots, registry names and defaults, and the
// state of the Options dialog controls that the save steps read.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "input/hotkey_file.h"
#include "link/device_link_file.h"

namespace varnolet {

// Slot indices of the settings table.
namespace setting {
inline constexpr int Language = 0;
inline constexpr int Startup = 1;
inline constexpr int Splash = 2;
inline constexpr int Notifications = 3;
inline constexpr int Hotkeys = 4;
inline constexpr int Role = 5;
inline constexpr int DeviceLink = 6;
inline constexpr int Count = 7;
}  // namespace setting

using UserSettings = std::array<std::int32_t, setting::Count>;

// Language 0, Startup 0, Splash 0, Notifications 1, Hotkeys 1, Role 11, DeviceLink 0.
inline constexpr UserSettings kDefaultSettings = {0, 0, 0, 1, 1, 11, 0};

// DeviceRole: one decimal digit per role.
namespace device_role {
inline constexpr std::int32_t Multimedia = 1;
inline constexpr std::int32_t Communications = 10;
inline constexpr std::int32_t Both = 11;
}  // namespace device_role

inline constexpr std::u16string_view kSettingsKey = u"Software\\Kestrova Technologies\\Varnolet 7";
inline constexpr std::u16string_view kRunKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr std::u16string_view kRunValue = u"Varnolet 7";

// The controls of the Options dialog that the save steps read. The dialog owns
// this state; hotkey actions refresh it through UpdateForm.
struct OptionsState {
  int languageIndex = 0;  // comboLanguage: 0 English, 1 Greek
  bool startup = false;
  bool splash = false;  // "Disable splash screen"
  bool notifications = true;
  bool deviceLink = false;
  bool hotkeys = true;
  bool multimedia = true;
  bool communications = true;
  // The dialog's working copies, filled each time it is shown.
  std::vector<DEVICELINK> links;
  std::vector<HotkeySlot> hotkeySlots;
};

}  // namespace varnolet
