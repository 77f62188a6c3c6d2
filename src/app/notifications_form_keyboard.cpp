// The keyboard's path through the main form: raw input, the hotkey actions
// and the monitor key sequence, and the monitor's view of the form.
#include "app/notifications_form.h"

namespace varnolet {

void TNotificationsForm::OnRawInput(std::uintptr_t rawInputHandle) {
  if (HandleRawInput(objects_.RawInput.Keyboard, objects_.HotkeyTable, keySequence_, inputState,
                     rawInputHandle))
    view_.ShowDebugForm();
}

bool TNotificationsForm::HotkeyAction(const std::u16string* parameter) {
  // A copy: disabling hotkeys reloads the identifier list the parameter points into.
  const std::u16string identifier = *parameter;
  const HotkeyActionPlan plan = PlanHotkeyAction(
      identifier, hotkeysEnabled == 1, playbackDevices, static_cast<std::size_t>(playbackCount),
      recordingDevices, static_cast<std::size_t>(recordingCount),
      [](const DEVICEINFO& device) -> const std::u16string& { return device.id; });

  if (plan.disableHotkeys) {
    settings[setting::Hotkeys] = 0;
    options_.UpdateForm();
    // The hotkeys are saved as they were loaded, those of absent devices
    // included; the Options dialog's slots may hold a cancelled dialog's edits.
    const std::vector<HotkeySlot> slots = LoadedHotkeySlots(loadedHotkeys, hotkeyIdentifiers);
    ApplySavedHotkeys(SaveHotkeyConfiguration(hotkeyServices_, hotkeyFields_, settings[setting::Hotkeys],
                                              options_.Checked(OptionsControl::checkHotkeys), slots));
    view_.LoadPicture(u"IMG_1");
    ShowNotification(String(37));
  }

  if (plan.toggleNotifications) {
    if (notificationsEnabled) {
      // Shown first, while notifications are still on.
      ShowNotification(String(38));
      settings[setting::Notifications] = 0;
      options_.UpdateForm();
      SaveNotifications();
      view_.LoadPicture(u"IMG_2");
    } else {
      settings[setting::Notifications] = 1;
      options_.UpdateForm();
      SaveNotifications();
      view_.LoadPicture(u"IMG_2");
      ShowNotification(String(39));
    }
  }

  // A device is announced only when the switch worked.
  if (plan.playbackDevice >= 0) {
    const DEVICEINFO device = playbackDevices[static_cast<std::size_t>(plan.playbackDevice)];
    const std::int32_t failures = ChangeDefaultRenderDevice(plan.playbackDevice);
    UpdatePopupMenuExecute();
    if (failures == 0) {
      view_.LoadPicture(u"IMG_3");
      ShowNotification(device.name);
    }
  }
  if (plan.recordingDevice >= 0) {
    const DEVICEINFO device = recordingDevices[static_cast<std::size_t>(plan.recordingDevice)];
    const std::int32_t failures = ChangeDefaultCaptureDevice(plan.recordingDevice);
    UpdatePopupMenuExecute();
    if (failures == 0) {
      view_.LoadPicture(u"IMG_4");
      ShowNotification(device.name);
    }
  }
  return true;
}

MonitorSnapshot TNotificationsForm::Snapshot() {
  MonitorSnapshot snapshot;
  snapshot.windowsDescription = objects_.WindowsVersion.GetDescription();
  snapshot.applicationPath = applicationDirectory;
  snapshot.dataPath = applicationDataPath;
  snapshot.executablePath = applicationPath;
  snapshot.registryKey = registryKeyPath;
  snapshot.settings = settings;
  snapshot.playback = {playbackDevices, static_cast<std::size_t>(playbackCount), defaultPlaybackIndex};
  snapshot.recording = {recordingDevices, static_cast<std::size_t>(recordingCount), defaultRecordingIndex};
  snapshot.deviceLinks = deviceLinks;
  snapshot.loadedHotkeys = loadedHotkeys;
  snapshot.hotkeyIdentifiers = hotkeyIdentifiers;
  snapshot.log = activityLog.Lines();
  return snapshot;
}

}  // namespace varnolet
