// The texts of the string table by name. Each value is the text's resource
// number in the language libraries (res/lang/*.rc) and its index in the
// built-in English table.
#pragma once

#include <cstddef>
#include <cstdint>

namespace varnolet {

enum class StringId : std::uint16_t {
  Warning = 0,                        // "Warning!"
  Options = 1,                        // the tray menu's item and the dialog's caption
  Playback = 2,                       // the tray menu's playback submenu
  Recording = 3,                      // the tray menu's recording submenu
  CouldNotLoadDeviceLinkMap = 4,      // "Could not load specified Device Link configuration"
  Exit = 5,                           // the tray menu's last item
  General = 6,                        // category
  DeviceRole = 7,                     // category
  Hotkeys = 8,                        // category
  About = 9,                          // category
  StartWithWindows = 10,              // check box
  DisableSplashScreen = 11,           // check box
  ShowNotifications = 12,             // check box
  EnableHotkeys = 13,                 // check box
  Language = 14,                      // label
  DeviceLink = 15,                    // category
  Multimedia = 16,                    // radio choice
  Communications = 17,                // radio choice
  DisableHotkeysKey = 18,             // "Disable hotkeys:"
  ToggleNotificationsKey = 19,        // "Enable\Disable notifications:"
  PlaybackDevices = 20,               // "Playback devices:"
  RecordingDevices = 21,              // "Recording devices:"
  NotCompatibleWith = 22,             // "Varnolet 7 is not compatible with "
  CouldNotLoadSettings = 23,          // "Could not load user settings, using defaults"
  CouldNotDetectPlayback = 24,        // "Could not detect playback devices"
  CouldNotDetectRecording = 25,       // "Could not detect recording devices"
  NoPlaybackDevices = 26,             // "No playback devices found"
  NoRecordingDevices = 27,            // "No recording devices found"
  KeyAlreadyUsed = 28,                // "Specified key is already used"
  NotAvailableOnVista = 29,           // "This feauture is not available on Windows Vista"
  HotkeysOffAfterFailedLoad = 30,     // "Could not load hotkeys, hotkeys are disabled"
  CouldNotSaveLanguage = 31,          // "Could not save language setting"
  CouldNotSaveStartup = 32,           // "Could not save startup setting"
  CouldNotSaveSplash = 33,            // "Could not save splash screen setting"
  CouldNotSaveNotifications = 34,     // "Could not save notification setting"
  CouldNotSaveHotkeys = 35,           // "Could not save hotkeys setting"
  CouldNotSaveRole = 36,              // "Could not save device role setting"
  HotkeysDisabled = 37,               // "Hotkeys disabled"
  NotificationsDisabled = 38,         // "Notifications disabled"
  NotificationsEnabled = 39,          // "Notifications enabled"
  CouldNotLoadHotkeyMap = 40,         // "Could not load specified hotkeys configuration"
  CouldNotSaveDeviceLink = 41,        // "Could not save Device Link setting"
  DeviceLinkOffAfterFailedLoad = 42,  // "Could not load Device Link, Device Link is disabled"
  PlaybackNotLinked = 43,             // "This device is not linked with a program"
  RecordingNotLinked = 44,            // "This device is not linked with a program"
  EnableDeviceLink = 45,              // check box
  AlreadyLinkedToPlayback = 46,       // "This program is already linked with a playback device"
  AlreadyLinkedToRecording = 47,      // "This program is already linked with a recording device"
};

inline constexpr std::size_t kStringCount = 48;

// The index of a text in a string table.
constexpr std::size_t Index(StringId id) {
  return static_cast<std::size_t>(id);
}

}  // namespace varnolet
