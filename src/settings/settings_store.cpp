#include "settings/settings_store.h"

namespace varnolet {

namespace {

struct SettingRow {
  int slot;
  const char16_t* name;
  const char16_t* failedRead;
  const char16_t* retrieved;
};

// In the order they are read.
constexpr SettingRow kReadOrder[] = {
    {setting::Language, u"Language",
     u"  -Could not retrieve Language setting from registry, using default value",
     u"  -Retrieved language setting"},
    {setting::Startup, u"Startup",
     u"  -Could not retrieve Startup setting from registry, using default value",
     u"  -Retrieved startup setting"},
    {setting::Splash, u"Splash",
     u"  -Could not retrieve Splash screen setting from registry, using default value",
     u"  -Retrieved splash screen setting"},
    {setting::DeviceLink, u"DeviceLink",
     u"  -Could not retrieve Device Link setting from registry, using default value",
     u"  -Retrieved device link setting"},
    {setting::Notifications, u"Notifications",
     u"  -Could not retrieve Notifications setting from registry, using default value",
     u"  -Retrieved notifications setting"},
    {setting::Hotkeys, u"Hotkeys",
     u"  -Could not retrieve Hotkeys setting from registry, using default value",
     u"  -Retrieved hotkeys setting"},
    {setting::Role, u"Role", u"  -Could not retrieve Device role setting from registry, using default value",
     u"  -Retrieved device role setting"},
};

const char16_t* NameOf(int slot) {
  for (const SettingRow& row : kReadOrder)
    if (row.slot == slot) return row.name;
  return u"";
}

}  // namespace

bool SettingsStore::Load() {
  if (!registry_.CreateKey(reg::kCurrentUser, keyPath_)) {
    log_.AddLog(u"  -Could not open registry key HKEY_CURRENT_USER\\", keyPath_);
    return false;
  }
  for (const SettingRow& row : kReadOrder) {
    std::uint32_t value = static_cast<std::uint32_t>(kDefaultSettings[static_cast<std::size_t>(row.slot)]);
    if (!registry_.GetValue(row.name, value)) {
      registry_.SetValue(row.name, value);
      log_.AddLog(row.failedRead);
    }
    log_.AddLog(row.retrieved);
    (*this)[row.slot] = static_cast<std::int32_t>(value);
  }
  registry_.CloseKey();
  return true;
}

bool SettingsStore::Write(int slot, const char16_t* failedLine) {
  if (registry_.SetValue(reg::kCurrentUser, keyPath_, NameOf(slot),
                         static_cast<std::uint32_t>((*this)[slot])))
    return true;
  log_.AddLog(failedLine, registry_.GetLastErrorText());
  return false;
}

}  // namespace varnolet
