// What the main form asks of its window: the humble view behind
// TNotificationsForm. The Win32 view implements it with real windows; tests
// record the calls.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/notification_window.h"

namespace varnolet {

enum class DeviceMenu { Playback, Recording };

// One device item of the popup menu.
struct MenuItemModel {
  std::u16string caption;
  int tag = 0;
  bool checked = false;
  bool enabled = true;
  bool clickable = true;  // false: a placeholder without a click handler
};

class NotificationsView {
 public:
  virtual ~NotificationsView() = default;

  // The main form's window handle (target of raw input, owner of the splash).
  virtual std::uintptr_t Handle() = 0;
  // MessageBoxW owned by the application's window, MB_ICONWARNING.
  virtual void ShowWarningBox(const std::u16string& text, const std::u16string& caption) = 0;

  // Tray icon: visibility and the balloon (no title, 1000 ms).
  virtual void SetTrayVisible(bool visible) = 0;
  virtual void ShowTrayBalloon(const std::u16string& text) = 0;

  // Popup menu: captions of the fixed items and the device items of a submenu.
  virtual void SetMenuCaptions(const std::u16string& playback, const std::u16string& recording,
                               const std::u16string& options, const std::u16string& exit) = 0;
  virtual void SetDeviceItems(DeviceMenu menu, const std::vector<MenuItemModel>& items) = 0;

  // Creates and shows the splash window; when it ends it calls SplashFinished().
  virtual void ShowSplash() = 0;
  // Shows the monitor window.
  virtual void ShowDebugForm() = 0;

  // The two fading notification windows: the main form's own window and the
  // link notification window. Their timers tick back into TimerNTimer() and
  // LinkTimerNTimer() of the form.
  virtual NotificationView& SingleNotification() = 0;
  virtual NotificationView& LinkNotification() = 0;
  // Loads a bitmap resource ("IMG_1" ... "IMG_4") into the single window's picture.
  virtual void LoadPicture(std::u16string_view resource) = 0;

  // TimerD, the monitor key sequence's timer: (re)started with an interval, or stopped.
  virtual void RestartTimerD(std::uint32_t intervalMs) = 0;
  virtual void StopTimerD() = 0;
  // Ends the message loop.
  virtual void Terminate() = 0;
};

}  // namespace varnolet
