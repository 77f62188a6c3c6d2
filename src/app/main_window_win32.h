// The Win32 view of TNotificationsForm: the hidden main window (also the
// single notification window), the link notification window, the tray icon,
// the popup menu, the timers and raw keyboard input.
#pragma once

#include <windows.h>

#include <memory>

#include "app/notification_window_win32.h"
#include "app/notifications_view.h"
#include "diag/debug_form_win32.h"
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
  void SetMenuCaptions(const std::u16string& playback, const std::u16string& recording,
                       const std::u16string& options, const std::u16string& exit) override;
  void SetDeviceItems(DeviceMenu menu, const std::vector<MenuItemModel>& items) override;
  void ShowSplash() override;
  void ShowDebugForm() override;
  NotificationView& SingleNotification() override { return singleView_; }
  NotificationView& LinkNotification() override { return *linkView_; }
  void LoadPicture(std::u16string_view resource) override;
  void RestartTimerD(std::uint32_t intervalMs) override;
  void StopTimerD() override;
  void Terminate() override;

  const ui::PopupMenu& Popup() const { return popup_; }

  // Set by the entry once the other forms exist.
  DebugFormWindow* debugForm = nullptr;

 private:
  static constexpr UINT kDestroySplash = WM_APP + 2;
  static constexpr UINT kTrayId = 1;
  static constexpr UINT_PTR kTimerN = 10;
  static constexpr UINT_PTR kTimerD = 12;
  static constexpr UINT kPlaybackCommand = 1000;
  static constexpr UINT kRecordingCommand = 2000;

  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool OnLinkMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  void OpenMenu();
  void Dispatch(UINT command);

  HWND application_;
  TNotificationsForm* form_ = nullptr;
  ui::Window window_;
  NotificationWindowView singleView_;
  // TDlNotificationsForm's window: made with the main window, since the form
  // keeps its view from the start.
  ui::Window linkWindow_;
  std::unique_ptr<NotificationWindowView> linkView_;
  ui::TrayIcon tray_{window_, kTrayId};
  ui::PopupMenu popup_;
  std::unique_ptr<TSplashForm> splash_;
};

}  // namespace varnolet
