// The tray icon of the main form: its balloons, the device lists, the popup
// menu and the two switching routines every default change goes through.
#include "app/notifications_form.h"

namespace varnolet {

// ------------------------------------------------------------- balloons

void TNotificationsForm::ShowBalloon(const std::u16string& text) {
  if (trayVisible_)
    view_.ShowTrayBalloon(text);
  else
    pendingBalloon_ = text;
}

void TNotificationsForm::MakeTrayVisible() {
  trayVisible_ = true;
  view_.SetTrayVisible(true);
  if (!pendingBalloon_.empty()) {
    view_.ShowTrayBalloon(pendingBalloon_);
    pendingBalloon_.clear();
  }
}

void TNotificationsForm::SplashFinished() {
  MakeTrayVisible();
}

// ----------------------------------------------------------- device lists

void TNotificationsForm::TrayMouseDown() {
  EnumerateAudioDevicesExecute();
  UpdatePopupMenuExecute();
}

void TNotificationsForm::EnumerateDirection(CCollectionInterface& collection,
                                            std::vector<DEVICEINFO>& devices, int& count, int noDevices,
                                            int failed, const std::u16string& failureLine) {
  if (collection.Enumerate()) {
    // The count is the list's own size: no index into a device list is ever
    // bounded by anything but that list.
    devices = collection.GetDevices();
    count = static_cast<int>(devices.size());
    if (count == 0) devices.push_back(DEVICEINFO{String(noDevices), {}});
  } else {
    AddLog(failureLine, objects_.Enumeration.GetLastErrorText());
    devices.push_back(DEVICEINFO{String(failed), {}});
  }
}

void TNotificationsForm::EnumerateAudioDevicesExecute() {
  playbackCount = 0;
  recordingCount = 0;
  playbackDevices.clear();
  recordingDevices.clear();
  EnumerateDirection(objects_.Enumeration.RenderCollection(), playbackDevices, playbackCount, 26, 24,
                     u"  -Could not enumerate render audio endpoint devices, ");
  EnumerateDirection(objects_.Enumeration.CaptureCollection(), recordingDevices, recordingCount, 27, 25,
                     u"  -Could not enumerate capture audio endpoint devices, ");
  totalDevices = playbackCount + recordingCount;
}

std::span<const DEVICEINFO> TNotificationsForm::PlaybackDevices() const {
  return std::span<const DEVICEINFO>(playbackDevices).first(static_cast<std::size_t>(playbackCount));
}

std::span<const DEVICEINFO> TNotificationsForm::RecordingDevices() const {
  return std::span<const DEVICEINFO>(recordingDevices).first(static_cast<std::size_t>(recordingCount));
}

// ------------------------------------------------------------- the menu

void TNotificationsForm::RebuildDeviceItems(DeviceMenu menu, const std::vector<DEVICEINFO>& devices,
                                            int count, CCollectionInterface& collection,
                                            DEVICEINFO& defaultDevice, int& defaultIndex,
                                            std::vector<MenuItemModel>& items, int& itemCount) {
  items.clear();
  itemCount = 0;
  for (int i = 0; i < count; ++i) {
    items.push_back(MenuItemModel{devices[static_cast<std::size_t>(i)].name, itemCount, false, true, true});
    ++itemCount;
  }
  // The check follows the identifier: two endpoints may share a name. After
  // a failed query the field keeps what it held.
  collection.GetDefaultMultimediaDevice(defaultDevice);
  for (int i = 0; i < count; ++i) {
    if (devices[static_cast<std::size_t>(i)].id == defaultDevice.id) {
      items[static_cast<std::size_t>(i)].checked = true;
      items[static_cast<std::size_t>(i)].enabled = false;
      defaultIndex = i;
      break;
    }
  }
  if (count == 0) {
    items.push_back(MenuItemModel{devices.front().name, itemCount, false, true, false});
    ++itemCount;
  }
  view_.SetDeviceItems(menu, items);
}

void TNotificationsForm::UpdatePopupMenuExecute() {
  // The open menu's items stay as they are until it closes.
  if (menuOpen_) {
    rebuildPending_ = true;
    return;
  }
  view_.SetMenuCaptions(String(2), String(3), String(1), String(5));
  RebuildDeviceItems(DeviceMenu::Playback, playbackDevices, playbackCount,
                     objects_.Enumeration.RenderCollection(), defaultPlayback, defaultPlaybackIndex,
                     playbackMenuItems, playbackMenuItemCount);
  RebuildDeviceItems(DeviceMenu::Recording, recordingDevices, recordingCount,
                     objects_.Enumeration.CaptureCollection(), defaultRecording, defaultRecordingIndex,
                     recordingMenuItems, recordingMenuItemCount);
}

void TNotificationsForm::MenuOpened() {
  menuOpen_ = true;
}

void TNotificationsForm::MenuClosed() {
  menuOpen_ = false;
  if (rebuildPending_) {
    rebuildPending_ = false;
    UpdatePopupMenuExecute();
  }
}

// --------------------------------------------------------- switching

std::int32_t TNotificationsForm::ChangeDefaultDevice(bool render, std::int32_t tag) {
  AddLog(render ? u"Changing default render device . . ." : u"Changing default capture device . . .");
  std::int32_t failures = 0;
  const std::int32_t role = settings[setting::Role];
  const std::vector<DEVICEINFO>& devices = render ? playbackDevices : recordingDevices;
  CCollectionInterface& collection =
      render ? objects_.Enumeration.RenderCollection() : objects_.Enumeration.CaptureCollection();
  // A position outside the list names no device; the calls then fail as for
  // an endpoint that is gone.
  const DEVICEINFO device = tag >= 0 && static_cast<std::size_t>(tag) < devices.size()
                                ? devices[static_cast<std::size_t>(tag)]
                                : DEVICEINFO{};
  if (role == device_role::Multimedia) {
    failures += collection.SetDefaultMultimediaDevice(device) ? 0 : 1;
  } else if (role == device_role::Communications) {
    failures += collection.SetDefaultCommunicationsDevice(device) ? 0 : 1;
  } else {
    failures += collection.SetDefaultMultimediaDevice(device) ? 0 : 1;
    failures += collection.SetDefaultCommunicationsDevice(device) ? 0 : 1;
  }
  if (failures == 0)
    AddLog(u"  -", device.name);
  else
    AddLog(render ? u"  -Could not change default render device, "
                  : u"  -Could not change default capture device, ",
           objects_.Enumeration.GetLastErrorText());
  return failures;
}

std::int32_t TNotificationsForm::ChangeDefaultRenderDevice(std::int32_t tag) {
  return ChangeDefaultDevice(true, tag);
}

std::int32_t TNotificationsForm::ChangeDefaultCaptureDevice(std::int32_t tag) {
  return ChangeDefaultDevice(false, tag);
}

void TNotificationsForm::PlaybackItemClick(int tag) {
  if (tag < 0 || tag >= playbackCount) return;
  // The name is taken before the rebuild replaces the items.
  const std::u16string name = playbackDevices[static_cast<std::size_t>(tag)].name;
  const std::int32_t failures = ChangeDefaultRenderDevice(tag);
  UpdatePopupMenuExecute();
  // Only a switch that happened is announced; a failure's reason is in the log.
  if (notificationsEnabled && failures == 0) ShowBalloon(name);
}

void TNotificationsForm::RecordingItemClick(int tag) {
  if (tag < 0 || tag >= recordingCount) return;
  const std::u16string name = recordingDevices[static_cast<std::size_t>(tag)].name;
  const std::int32_t failures = ChangeDefaultCaptureDevice(tag);
  UpdatePopupMenuExecute();
  if (notificationsEnabled && failures == 0) ShowBalloon(name);
}

// Showing the dialog again only brings it to the front.
void TNotificationsForm::MenuOptionsClick() {
  options_.Show();
}

void TNotificationsForm::MenuExitClick() {
  playbackMenuItems.clear();
  recordingMenuItems.clear();
  view_.SetDeviceItems(DeviceMenu::Playback, {});
  view_.SetDeviceItems(DeviceMenu::Recording, {});
  WriteLogFile();
  view_.Terminate();
}

// --------------------------------------------------------- notifications

void TNotificationsForm::ShowLinkNotification(const std::u16string& playback,
                                              const std::u16string& recording) {
  linkNotification_.ShowLinkNotification(playback, recording);
}

}  // namespace varnolet
