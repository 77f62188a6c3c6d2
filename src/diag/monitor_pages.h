// The texts of the monitor window TDebugForm: one builder per tab, each
// giving the memo's lines from a plain snapshot of what the main form holds.
// English only, whatever the language setting.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "audio/endpoints.h"
#include "input/hotkeys.h"
#include "link/device_link_file.h"
#include "settings/user_settings.h"
#include "support/time_stamp.h"

namespace varnolet {

namespace monitor {
inline constexpr int kTabCount = 7;
inline constexpr int kGeneralTab = 0;
inline constexpr int kSettingsTab = 1;
inline constexpr int kRenderDevicesTab = 2;
inline constexpr int kCaptureDevicesTab = 3;
inline constexpr int kDeviceLinksTab = 4;
inline constexpr int kHotkeysTab = 5;
inline constexpr int kLogTab = 6;
inline constexpr const char16_t* kTabNames[kTabCount] = {
    u"General", u"Settings", u"Render Devices", u"Capture Devices", u"Device Links", u"Hotkeys", u"Log"};
inline constexpr char16_t kCaption[] = u"Varnolet 7 Monitor";
}  // namespace monitor

// A device list as the main form holds it: the endpoints, the text an empty
// list shows in their place ("no devices" or why the enumeration failed), and
// the index of the current default.
struct MonitorDeviceList {
  std::vector<DEVICEINFO> devices;
  std::u16string emptyText;
  int defaultIndex = 0;
};

// Everything the monitor shows.
struct MonitorSnapshot {
  // General
  std::u16string windowsDescription;  // CWindowsVersion::GetDescription()
  std::u16string applicationPath;     // the executable's folder
  std::u16string dataPath;            // the APPDATA folder
  std::u16string executablePath;      // the executable's full path
  std::u16string registryKey;         // the settings key under HKEY_CURRENT_USER
  // Settings: the seven values, by the setting:: names
  UserSettings settings{};
  // Endpoints
  MonitorDeviceList playback;
  MonitorDeviceList recording;
  // Device links, loaded hotkeys with their identifiers, activity log lines
  std::vector<DEVICELINK> deviceLinks;
  std::vector<HOTKEY> loadedHotkeys;
  std::vector<std::u16string> hotkeyIdentifiers;
  std::vector<std::u16string> log;
};

// What the monitor reads from the main form.
class MonitorSource {
 public:
  virtual ~MonitorSource() = default;
  virtual MonitorSnapshot Snapshot() = 0;
  // The main form's UpdatePopupMenu action: rebuilds the tray menu and
  // refreshes the default index of each list.
  virtual void UpdatePopupMenu() = 0;
};

std::vector<std::u16string> GeneralPage(const MonitorSnapshot& snapshot);
std::vector<std::u16string> SettingsPage(const MonitorSnapshot& snapshot);
// The endpoint tabs in two parts: the list, then (after UpdatePopupMenu) the default.
std::vector<std::u16string> DeviceListLines(const MonitorDeviceList& list);
std::vector<std::u16string> DefaultDeviceLines(const MonitorDeviceList& list);
std::vector<std::u16string> DeviceLinksPage(const MonitorSnapshot& snapshot);
std::vector<std::u16string> HotkeysPage(const MonitorSnapshot& snapshot);
std::vector<std::u16string> LogPage(const MonitorSnapshot& snapshot);

// The memo's lines for tab `index` (0-6; none for any other). The endpoint
// tabs list the endpoints, run UpdatePopupMenu, then show the default as it is afterwards.
std::vector<std::u16string> MonitorPage(int index, MonitorSource& source);

// The endpoint GUID in registry form, lower case, every group zero-padded.
std::u16string GuidText(const ComGuid& guid);

// "Varnolet 7 Monitor  -  " and the time stamp: the caption clock.
std::u16string MonitorCaption(const LocalTime& now);

}  // namespace varnolet
