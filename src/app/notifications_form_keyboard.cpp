// The keyboard's path through the main form: raw input, the two hotkey
// commands that change the program's settings, and the monitor's view of the form.
#include "app/notifications_form.h"

namespace varnolet {

void TNotificationsForm::OnRawInput(std::uintptr_t rawInputHandle) {
  if (hotkeys_.OnRawInput(rawInputHandle)) view_.ShowDebugForm();
}

void TNotificationsForm::DisableHotkeys() {
  settings_[setting::Hotkeys] = 0;
  options_.UpdateForm();
  // The hotkeys are saved as they were loaded, those of absent devices
  // included; the Options dialog's slots may hold a cancelled dialog's edits.
  ApplySavedHotkeys(hotkeys_.SaveLoaded(options_.Checked(OptionsControl::checkHotkeys)));
  view_.LoadPicture(u"IMG_1");
  notification_.ShowNotification(String(StringId::HotkeysDisabled));
}

void TNotificationsForm::ToggleNotifications() {
  if (notificationsEnabled_) {
    // Shown first, while notifications are still on.
    notification_.ShowNotification(String(StringId::NotificationsDisabled));
    settings_[setting::Notifications] = 0;
    options_.UpdateForm();
    SaveNotifications();
    view_.LoadPicture(u"IMG_2");
  } else {
    settings_[setting::Notifications] = 1;
    options_.UpdateForm();
    SaveNotifications();
    view_.LoadPicture(u"IMG_2");
    notification_.ShowNotification(String(StringId::NotificationsEnabled));
  }
}

MonitorSnapshot TNotificationsForm::Snapshot() {
  MonitorSnapshot snapshot;
  snapshot.windowsDescription = objects_.WindowsVersion.GetDescription();
  snapshot.applicationPath = applicationDirectory_;
  snapshot.dataPath = applicationDataPath_;
  snapshot.executablePath = applicationPath_;
  snapshot.registryKey = settings_.KeyPath();
  snapshot.settings = settings_.Values();
  const DeviceDirection& playback = devices_.Playback();
  const DeviceDirection& recording = devices_.Recording();
  snapshot.playback = {
      playback.devices,
      String(playback.failed ? StringId::CouldNotDetectPlayback : StringId::NoPlaybackDevices),
      playback.defaultIndex};
  snapshot.recording = {
      recording.devices,
      String(recording.failed ? StringId::CouldNotDetectRecording : StringId::NoRecordingDevices),
      recording.defaultIndex};
  snapshot.deviceLinks = deviceLink_.Links();
  snapshot.loadedHotkeys = hotkeys_.Loaded();
  snapshot.hotkeyIdentifiers = hotkeys_.Identifiers();
  snapshot.log = activityLog_.Lines();
  return snapshot;
}

}  // namespace varnolet
