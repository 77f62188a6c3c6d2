// The seven user settings: their slots, registry names and defaults.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

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

}  // namespace varnolet
