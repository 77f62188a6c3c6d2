// What the Options dialog reads of the main form, and its OK: the seven save
// steps, each acting on its setting and writing it to the settings store.
#include "app/notifications_form.h"

namespace varnolet {

bool TNotificationsForm::IsVistaWorkstation() const {
  return objects_.WindowsVersion.IsVistaWorkstation();
}

std::u16string TNotificationsForm::ProductName(const std::u16string& path) {
  return objects_.Drive.Directory.File.FileInformation.Get(path, u"ProductName");
}

ComGuid TNotificationsForm::EndpointGuid(const std::u16string& endpointId) {
  return EndpointIdToGuid(endpointId, objects_.ports.clsid, activityLog_);
}

void TNotificationsForm::ApplyOptions() {
  AddLog(u"Initializing new program settings . . .");
  // A failing step reports itself; the next one still runs.
  SaveLanguage();
  SaveStartup();
  SaveSplash();
  SaveNotifications();
  SaveDeviceLink();
  SaveHotkeys();
  SaveRole();
}

// ------------------------------------------------- acting on a setting

void TNotificationsForm::ApplyStartup() {
  AddLog(u"Initializing startup setting . . .");
  CRegistry& registry = objects_.Registry;
  if (settings_[setting::Startup] == 0) {
    registry.DeleteValue(reg::kCurrentUser, std::u16string(kRunKey), std::u16string(kRunValue));
    AddLog(u"  -Disabled");
  } else {
    // Quoted, so that a path with blanks (C:\Program Files\...) cannot be
    // read as a shorter program name followed by arguments.
    registry.SetValue(reg::kCurrentUser, std::u16string(kRunKey), std::u16string(kRunValue),
                      u"\"" + applicationPath_ + u"\"");
    AddLog(u"  -Enabled");
  }
}

void TNotificationsForm::ApplySplash() {
  AddLog(u"Initializing splash screen setting . . .");
  showSplash_ = settings_[setting::Splash] == 0;
  AddLog(showSplash_ ? u"  -Enabled" : u"  -Disabled");
}

void TNotificationsForm::ApplyNotifications() {
  AddLog(u"Initializing notifications setting . . . ");
  notificationsEnabled_ = settings_[setting::Notifications] != 0;
  AddLog(notificationsEnabled_ ? u"  -Enabled" : u"\t-Disabled");
}

// ------------------------------------------------------ the save steps

bool TNotificationsForm::SaveSetting(int slot, const char16_t* failedLine, StringId balloon) {
  if (settings_.Write(slot, failedLine)) return true;
  ShowBalloon(String(balloon));
  return false;
}

void TNotificationsForm::SaveLanguage() {
  const int index = options_.Selected(OptionsControl::comboLanguage);
  if (index == settings_[setting::Language]) return;
  settings_[setting::Language] = index;
  texts_.Load(applicationDirectory_, settings_[setting::Language]);
  SaveSetting(setting::Language, u"  -Could not save Language setting to registry, ",
              StringId::CouldNotSaveLanguage);
}

void TNotificationsForm::SaveStartup() {
  settings_[setting::Startup] = options_.Checked(OptionsControl::checkStartup) ? 1 : 0;
  ApplyStartup();
  SaveSetting(setting::Startup, u"  -Could not save Startup setting to registry, ",
              StringId::CouldNotSaveStartup);
}

void TNotificationsForm::SaveSplash() {
  settings_[setting::Splash] = options_.Checked(OptionsControl::checkSplash) ? 1 : 0;
  ApplySplash();
  SaveSetting(setting::Splash, u"  -Could not save Splash screen setting to registry, ",
              StringId::CouldNotSaveSplash);
}

void TNotificationsForm::SaveNotifications() {
  settings_[setting::Notifications] = options_.Checked(OptionsControl::checkNotifications) ? 1 : 0;
  ApplyNotifications();
  SaveSetting(setting::Notifications, u"  -Could not save Notifications setting to registry, ",
              StringId::CouldNotSaveNotifications);
}

void TNotificationsForm::SaveDeviceLink() {
  deviceLink_.Apply(options_.Checked(OptionsControl::checkDeviceLink), options_.links, objects_.Registry,
                    settings_.KeyPath(), [this](StringId id) { ShowBalloon(String(id)); });
}

void TNotificationsForm::SaveHotkeys() {
  ApplySavedHotkeys(hotkeys_.Apply(options_.Checked(OptionsControl::checkHotkeys), options_.HotkeysToSave()));
}

void TNotificationsForm::ApplySavedHotkeys(SaveHotkeysOutcome outcome) {
  switch (outcome) {
    case SaveHotkeysOutcome::FileNotSaved:
      // Shown also when the hotkeys are being turned off: the edits are lost.
      ShowBalloon(String(StringId::CouldNotLoadHotkeyMap));
      break;
    case SaveHotkeysOutcome::NotReloaded:
      ShowBalloon(String(StringId::CouldNotLoadHotkeyMap));
      break;
    case SaveHotkeysOutcome::Reloaded:
      // Off for this run only: the registry keeps the user's choice.
      if (hotkeys_.OffForRun()) break;
      SaveSetting(setting::Hotkeys, u"  -Could not save Hotkeys setting to registry, ",
                  StringId::CouldNotSaveHotkeys);
      break;
  }
}

void TNotificationsForm::SaveRole() {
  settings_[setting::Role] =
      (options_.Checked(OptionsControl::checkMultimedia) ? device_role::Multimedia : 0) +
      (options_.Checked(OptionsControl::checkCommunications) ? device_role::Communications : 0);
  SaveSetting(setting::Role, u"  -Could not save Device Role setting to registry, ",
              StringId::CouldNotSaveRole);
}

}  // namespace varnolet
