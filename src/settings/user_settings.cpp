// The settings store of the main form: reading the seven values with their
// defaults, acting on them at start-up, and the save step of each.
#include "app/notifications_form.h"

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

}  // namespace

void TNotificationsForm::LoadSettings() {
  CRegistry& registry = objects_.Registry;
  if (!registry.CreateKey(reg::kCurrentUser, registryKeyPath)) {
    AddLog(u"  -Could not open registry key HKEY_CURRENT_USER\\", registryKeyPath);
    // The language library is not loaded yet: this box is always English.
    ShowWarning(String(23));
    return;
  }
  for (const SettingRow& row : kReadOrder) {
    std::uint32_t value = static_cast<std::uint32_t>(kDefaultSettings[static_cast<std::size_t>(row.slot)]);
    if (!registry.GetValue(row.name, value)) {
      registry.SetValue(row.name, value);
      AddLog(row.failedRead);
    }
    AddLog(row.retrieved);
    settings[static_cast<std::size_t>(row.slot)] = static_cast<std::int32_t>(value);
  }
  registry.CloseKey();
}

bool TNotificationsForm::InitializeStartup() {
  AddLog(u"Initializing startup setting . . .");
  CRegistry& registry = objects_.Registry;
  if (settings[setting::Startup] == 0) {
    registry.DeleteValue(reg::kCurrentUser, std::u16string(kRunKey), std::u16string(kRunValue));
    AddLog(u"  -Disabled");
  } else {
    // Quoted, so that a path with blanks (C:\Program Files\...) cannot be
    // read as a shorter program name followed by arguments.
    registry.SetValue(reg::kCurrentUser, std::u16string(kRunKey), std::u16string(kRunValue),
                      u"\"" + applicationPath + u"\"");
    AddLog(u"  -Enabled");
  }
  return true;
}

bool TNotificationsForm::InitializeSplash() {
  AddLog(u"Initializing splash screen setting . . .");
  showSplash = settings[setting::Splash] == 0;
  AddLog(showSplash ? u"  -Enabled" : u"  -Disabled");
  return true;
}

bool TNotificationsForm::InitializeNotifications() {
  AddLog(u"Initializing notifications setting . . . ");
  notificationsEnabled = settings[setting::Notifications] != 0;
  AddLog(notificationsEnabled ? u"  -Enabled" : u"\t-Disabled");
  return true;
}

bool TNotificationsForm::SaveSetting(int slot, const std::u16string& name, const std::u16string& failedLine,
                                     int balloon) {
  CRegistry& registry = objects_.Registry;
  if (registry.SetValue(reg::kCurrentUser, registryKeyPath, name,
                        static_cast<std::uint32_t>(settings[static_cast<std::size_t>(slot)])))
    return true;
  AddLog(failedLine, registry.GetLastErrorText());
  ShowBalloon(String(balloon));
  return false;
}

void TNotificationsForm::SaveLanguage() {
  const int index = options_.Selected(OptionsControl::comboLanguage);
  if (index == settings[setting::Language]) return;
  settings[setting::Language] = index;
  LoadLanguage();
  SaveSetting(setting::Language, u"Language", u"  -Could not save Language setting to registry, ", 31);
}

void TNotificationsForm::SaveStartup() {
  settings[setting::Startup] = options_.Checked(OptionsControl::checkStartup) ? 1 : 0;
  InitializeStartup();
  SaveSetting(setting::Startup, u"Startup", u"  -Could not save Startup setting to registry, ", 32);
}

void TNotificationsForm::SaveSplash() {
  settings[setting::Splash] = options_.Checked(OptionsControl::checkSplash) ? 1 : 0;
  InitializeSplash();
  SaveSetting(setting::Splash, u"Splash", u"  -Could not save Splash screen setting to registry, ", 33);
}

void TNotificationsForm::SaveNotifications() {
  settings[setting::Notifications] = options_.Checked(OptionsControl::checkNotifications) ? 1 : 0;
  InitializeNotifications();
  SaveSetting(setting::Notifications, u"Notifications",
              u"  -Could not save Notifications setting to registry, ", 34);
}

void TNotificationsForm::SaveDeviceLink() {
  const bool checked = options_.Checked(OptionsControl::checkDeviceLink);
  if (checked) deviceLinkOffForRun_ = false;
  // The map file is written and reloaded before the registry value; its
  // failures end the step with their own balloon. While start-up has Device
  // Link off for this run and the box stays clear, the registry keeps the
  // user's choice.
  varnolet::SaveDeviceLink(
      *linkFile_,
      DeviceLinkApply{checked, options_.links, settings[setting::DeviceLink],
                      [this] { return InitializeDeviceLink(); }, objects_.Registry, registryKeyPath,
                      [this](std::int32_t id) { ShowBalloon(String(id)); }, !deviceLinkOffForRun_});
}

void TNotificationsForm::SaveHotkeys() {
  const bool checked = options_.Checked(OptionsControl::checkHotkeys);
  if (checked) hotkeysOffForRun_ = false;
  ApplySavedHotkeys(SaveHotkeyConfiguration(hotkeyServices_, hotkeyFields_, settings[setting::Hotkeys],
                                            checked, options_.HotkeysToSave()));
}

void TNotificationsForm::ApplySavedHotkeys(SaveHotkeysOutcome outcome) {
  switch (outcome) {
    case SaveHotkeysOutcome::FileNotSaved:
      // Shown also when the hotkeys are being turned off: the edits are lost.
      ShowBalloon(String(40));
      break;
    case SaveHotkeysOutcome::NotReloaded:
      ShowBalloon(String(40));
      break;
    case SaveHotkeysOutcome::Reloaded:
      // Off for this run only: the registry keeps the user's choice.
      if (hotkeysOffForRun_) break;
      SaveSetting(setting::Hotkeys, u"Hotkeys", u"  -Could not save Hotkeys setting to registry, ", 35);
      break;
  }
}

void TNotificationsForm::SaveRole() {
  settings[setting::Role] =
      (options_.Checked(OptionsControl::checkMultimedia) ? device_role::Multimedia : 0) +
      (options_.Checked(OptionsControl::checkCommunications) ? device_role::Communications : 0);
  SaveSetting(setting::Role, u"Role", u"  -Could not save Device Role setting to registry, ", 36);
}

}  // namespace varnolet
