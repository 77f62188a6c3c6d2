#include "diag/monitor_pages.h"

#include <algorithm>

#include "input/hotkey_file.h"
#include "support/text.h"

namespace varnolet {

namespace {

constexpr char16_t kValue[] = u"    -";

std::u16string Value(const std::u16string& text) {
  return kValue + text;
}

const std::u16string* NameByIdentifier(const MonitorDeviceList& list, const std::u16string& identifier) {
  for (std::size_t i = 0; i < list.devices.size(); ++i)
    if (list.devices[i].id == identifier) return &list.devices[i].name;
  return nullptr;
}

const std::u16string* NameByGuidText(const MonitorDeviceList& list, const std::u16string& guid) {
  for (std::size_t i = 0; i < list.devices.size(); ++i) {
    const std::u16string& identifier = list.devices[i].id;
    if (identifier.size() > kEndpointIdPrefixLength &&
        identifier.compare(kEndpointIdPrefixLength, std::u16string::npos, guid) == 0)
      return &list.devices[i].name;
  }
  return nullptr;
}

// The key names of the Options key lists for positions 12-47.
std::u16string KeyName(const HOTKEY& hotkey) {
  static constexpr char16_t kNames[] = u"0123456789ABCDEFGHIJKLMNOPQRSTVUWXYZ";
  for (int position = key::kFirstHotkeyKey; position <= key::kLastHotkeyKey; ++position)
    if (hotkey.keyboard.keys[static_cast<std::size_t>(position)] != 0)
      return std::u16string(1, kNames[position - key::kFirstHotkeyKey]);
  return u"None";
}

std::u16string ModifierWords(const HOTKEY& hotkey) {
  const auto& keys = hotkey.keyboard.keys;
  std::u16string words;
  if (keys[key::kAlt] != 0) words += u" Alt";
  if (keys[key::kCtrl] != 0) words += u" Ctrl";
  if (keys[key::kShift] != 0) words += u" Shift";
  return words.empty() ? std::u16string(u" None") : words;
}

std::u16string HotkeyName(const MonitorSnapshot& snapshot, const std::u16string& identifier) {
  if (identifier == hotkey_id::kDisableHotkeys) return u"Disable Hotkeys";
  if (identifier == hotkey_id::kNotifications) return u"Enable\\Disable Notifications";
  if (identifier.empty()) return {};
  if (const std::u16string* name = NameByIdentifier(snapshot.playback, identifier)) return *name;
  if (const std::u16string* name = NameByIdentifier(snapshot.recording, identifier)) return *name;
  return {};
}

}  // namespace

std::vector<std::u16string> GeneralPage(const MonitorSnapshot& s) {
  return {
      u"", u"Windows OS information:",  Value(s.windowsDescription),
      u"", u"Application path:",        Value(s.applicationPath),
      u"", u"Application data path:",   Value(s.dataPath),
      u"", u"Application executable:",  Value(s.executablePath),
      u"", u"Associated registry key:", Value(u"HKEY_CURRENT_USER\\" + s.registryKey),
  };
}

std::vector<std::u16string> SettingsPage(const MonitorSnapshot& s) {
  struct Word {
    std::int32_t value;
    const char16_t* text;
  };
  struct Row {
    const char16_t* title;
    int slot;
    std::vector<Word> words;
  };
  const Row rows[] = {
      {u"Language:", setting::Language, {{0, u"English"}, {1, u"Greek"}}},
      {u"Start with Windows:", setting::Startup, {{1, u"Enabled"}, {0, u"Disabled"}}},
      {u"Splash screen:", setting::Splash, {{0, u"Enabled"}, {1, u"Disabled"}}},
      {u"Notifications:", setting::Notifications, {{1, u"Enabled"}, {0, u"Disabled"}}},
      {u"Device Link:", setting::DeviceLink, {{1, u"Enabled"}, {0, u"Disabled"}}},
      {u"Hotkeys:", setting::Hotkeys, {{1, u"Enabled"}, {0, u"Disabled"}}},
      {u"Device Role:",
       setting::Role,
       {{1, u"Multimedia"}, {10, u"Communications"}, {11, u"Multimedia & Communications"}}},
  };
  std::vector<std::u16string> lines;
  for (const Row& row : rows) {
    std::u16string word;
    for (const Word& candidate : row.words)
      if (candidate.value == s.settings[static_cast<std::size_t>(row.slot)]) word = candidate.text;
    lines.push_back(u"");
    lines.push_back(row.title);
    lines.push_back(Value(word));
  }
  return lines;
}

std::vector<std::u16string> DeviceListLines(const MonitorDeviceList& list) {
  std::vector<std::u16string> lines;
  for (std::size_t i = 0; i < list.devices.size(); ++i) {
    lines.push_back(Decimal(static_cast<std::int64_t>(i)) + u".)");
    lines.push_back(u"Device name: " + list.devices[i].name);
    lines.push_back(u"Device GUID: " + list.devices[i].id);
    lines.push_back(u"");
  }
  return lines;
}

std::vector<std::u16string> DefaultDeviceLines(const MonitorDeviceList& list) {
  // A default index outside the list (devices removed since) shows the first
  // endpoint; an empty list shows its text without an identifier.
  DEVICEINFO shown{list.emptyText, {}};
  if (!list.devices.empty()) {
    const bool inside =
        list.defaultIndex >= 0 && static_cast<std::size_t>(list.defaultIndex) < list.devices.size();
    shown = list.devices[inside ? static_cast<std::size_t>(list.defaultIndex) : 0];
  }
  return {u"Default:", u"Device name: " + shown.name, u"Device GUID: " + shown.id};
}

std::vector<std::u16string> DeviceLinksPage(const MonitorSnapshot& s) {
  std::vector<std::u16string> lines{u""};
  if (s.deviceLinks.empty()) {
    lines.push_back(u"No Device Link configuration has been set");
    return lines;
  }
  for (std::size_t i = 0; i < s.deviceLinks.size(); ++i) {
    const DEVICELINK& link = s.deviceLinks[i];
    const std::u16string guid = GuidText(link.endpoint);
    const std::u16string* name = NameByGuidText(s.playback, guid);
    if (name == nullptr) name = NameByGuidText(s.recording, guid);
    lines.push_back(Decimal(static_cast<std::int64_t>(i)) + u".)");
    lines.push_back(u"Device name: " + (name != nullptr ? *name : std::u16string()));
    lines.push_back(u"Program path: " + link.programPath);
    lines.push_back(u"Program Name: " + link.productName);
    lines.push_back(u"");
  }
  return lines;
}

std::vector<std::u16string> HotkeysPage(const MonitorSnapshot& s) {
  std::vector<std::u16string> lines{u""};
  if (s.loadedHotkeys.empty()) {
    lines.push_back(u"No Hotkeys configuration has been set");
    return lines;
  }
  for (std::size_t i = 0; i < s.loadedHotkeys.size(); ++i) {
    const HOTKEY& hotkey = s.loadedHotkeys[i];
    const std::u16string identifier =
        i < s.hotkeyIdentifiers.size() ? s.hotkeyIdentifiers[i] : std::u16string();
    lines.push_back(Decimal(static_cast<std::int64_t>(i)) + u".) " + HotkeyName(s, identifier) +
                    u", Modifiers:" + ModifierWords(hotkey) + u", Key: " + KeyName(hotkey));
    lines.push_back(u"");
  }
  return lines;
}

std::vector<std::u16string> LogPage(const MonitorSnapshot& s) {
  return s.log;
}

std::vector<std::u16string> MonitorPage(int index, MonitorSource& source) {
  switch (index) {
    case monitor::kGeneralTab:
      return GeneralPage(source.Snapshot());
    case monitor::kSettingsTab:
      return SettingsPage(source.Snapshot());
    case monitor::kRenderDevicesTab:
    case monitor::kCaptureDevicesTab: {
      const bool render = index == monitor::kRenderDevicesTab;
      const MonitorSnapshot before = source.Snapshot();
      std::vector<std::u16string> lines = DeviceListLines(render ? before.playback : before.recording);
      source.UpdatePopupMenu();
      const MonitorSnapshot after = source.Snapshot();
      for (std::u16string& line : DefaultDeviceLines(render ? after.playback : after.recording))
        lines.push_back(std::move(line));
      return lines;
    }
    case monitor::kDeviceLinksTab:
      return DeviceLinksPage(source.Snapshot());
    case monitor::kHotkeysTab:
      return HotkeysPage(source.Snapshot());
    case monitor::kLogTab:
      return LogPage(source.Snapshot());
    default:
      return {};
  }
}

std::u16string GuidText(const ComGuid& guid) {
  std::u16string text = u"{";
  text += HexLower(guid.data1, 8);
  text += u'-';
  text += HexLower(guid.data2, 4);
  text += u'-';
  text += HexLower(guid.data3, 4);
  text += u'-';
  for (std::size_t i = 0; i < guid.data4.size(); ++i) {
    if (i == 2) text += u'-';
    text += HexLower(guid.data4[i], 2);
  }
  text += u'}';
  return text;
}

std::u16string MonitorCaption(const LocalTime& now) {
  return std::u16string(monitor::kCaption) + u"  -  " + TimeStampText(now);
}

}  // namespace varnolet
