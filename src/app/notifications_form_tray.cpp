// The tray icon of the main form: its balloons, the popup menu and its
// device items, and the switches picked there.
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

// ------------------------------------------------------------- the menu

void TNotificationsForm::TrayMouseDown() {
  devices_.Enumerate();
  UpdatePopupMenuExecute();
}

void TNotificationsForm::RebuildDeviceItems(bool render) {
  const DeviceDirection& direction = devices_.Direction(render);
  std::vector<MenuItemModel> items;
  for (std::size_t i = 0; i < direction.devices.size(); ++i)
    items.push_back(MenuItemModel{direction.devices[i].name, static_cast<int>(i), false, true, true});
  const int checked = devices_.RefreshDefault(render);
  if (checked >= 0) {
    items[static_cast<std::size_t>(checked)].checked = true;
    items[static_cast<std::size_t>(checked)].enabled = false;
  }
  // An empty list shows why, as an item that cannot be clicked.
  if (items.empty()) {
    const StringId text =
        direction.failed ? (render ? StringId::CouldNotDetectPlayback : StringId::CouldNotDetectRecording)
                         : (render ? StringId::NoPlaybackDevices : StringId::NoRecordingDevices);
    items.push_back(MenuItemModel{String(text), 0, false, true, false});
  }
  view_.SetDeviceItems(render ? DeviceMenu::Playback : DeviceMenu::Recording, items);
}

void TNotificationsForm::UpdatePopupMenuExecute() {
  // The open menu's items stay as they are until it closes.
  if (menuOpen_) {
    rebuildPending_ = true;
    return;
  }
  view_.SetMenuCaptions(String(StringId::Playback), String(StringId::Recording), String(StringId::Options),
                        String(StringId::Exit));
  RebuildDeviceItems(true);
  RebuildDeviceItems(false);
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

void TNotificationsForm::ItemClick(bool render, int tag) {
  const std::span<const DEVICEINFO> devices = devices_.Devices(render);
  if (tag < 0 || static_cast<std::size_t>(tag) >= devices.size()) return;
  // The name is taken before the rebuild replaces the items.
  const std::u16string name = devices[static_cast<std::size_t>(tag)].name;
  const std::int32_t failures = devices_.SwitchTo(render, tag);
  UpdatePopupMenuExecute();
  // Only a switch that happened is announced; a failure's reason is in the log.
  if (notificationsEnabled_ && failures == 0) ShowBalloon(name);
}

void TNotificationsForm::PlaybackItemClick(int tag) {
  ItemClick(true, tag);
}

void TNotificationsForm::RecordingItemClick(int tag) {
  ItemClick(false, tag);
}

// Showing the dialog again only brings it to the front.
void TNotificationsForm::MenuOptionsClick() {
  options_.Show();
}

void TNotificationsForm::MenuExitClick() {
  view_.SetDeviceItems(DeviceMenu::Playback, {});
  view_.SetDeviceItems(DeviceMenu::Recording, {});
  activityLog_.WriteLogFile(objects_.Drive, applicationDataPath_, objects_.ports.utf8);
  view_.Terminate();
}

// --------------------------------------------------------- announcements

void TNotificationsForm::Announce(std::u16string_view picture, const std::u16string& name) {
  view_.LoadPicture(picture);
  notification_.ShowNotification(name);
}

void TNotificationsForm::AnnounceBoth(const std::u16string& playback, const std::u16string& recording) {
  linkNotification_.ShowLinkNotification(playback, recording);
}

}  // namespace varnolet
