// The Win32 view of TNotificationsForm: the hidden main window (also the
// single notification window), its tray icon, popup menu and timers.
#pragma once

#include <windows.h>

#include <memory>

#include "app/notifications_view.h"
#include "diag/splash_win32.h"
#include "ui/popup_menu_win32.h"
#include "ui/window_win32.h"

namespace varnolet {

class TNotificationsForm;

class MainWindow final : public NotificationsView {
 public:
  // `application` is the application's own hidden window (owner of boxes).
  explicit MainWindow(HWND application);
  ~MainWindow() override;

  void Attach(TNotificationsForm* form) { form_ = form; }

  std::uintptr_t Handle() override { return reinterpret_cast<std::uintptr_t>(window_.Handle()); }
  void ShowWarningBox(const std::u16string& text, const std::u16string& caption) override;
  void SetTrayVisible(bool visible) override;
  void ShowTrayBalloon(const std::u16string& text) override;
  void SetMenuCaptions(const std::u16string& playback, const std::u16string& recording, const std::u16string& options,
                       const std::u16string& exit) override;
  void SetDeviceItems(DeviceMenu menu, const std::vector<MenuItemModel>& items) override;
  void ShowSplash() override;
  void PrepareNotificationWindow() override;
  void ShowOptions() override;
  void Terminate() override;

  // Set by the entry when the Options dialog window exists.
  HWND optionsWindow = nullptr;

 private:
  static constexpr UINT kDestroySplash = WM_APP + 2;
  static constexpr UINT kTrayId = 1;
  static constexpr UINT kPlaybackCommand = 1000;
  static constexpr UINT kRecordingCommand = 2000;

  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  void OpenMenu();

  HWND application_;
  TNotificationsForm* form_ = nullptr;
  ui::Window window_;
  ui::TrayIcon tray_{window_, kTrayId};
  ui::PopupMenu popup_;
  std::unique_ptr<TSplashForm> splash_;
};

}  // namespace varnolet
