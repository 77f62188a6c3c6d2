#include "app/main_window_win32.h"

#include "app/notifications_form.h"
#include "support/wide_win32.h"

namespace varnolet {

namespace {

std::wstring Wide(const std::u16string& text) { return std::wstring(as_wide(text)); }

}  // namespace

MainWindow::MainWindow(HWND application) : application_(application) {
  ui::Window::Args args;
  args.className = L"Varnolet7Main";
  args.title = L"Varnolet 7";
  // Caption-less, topmost and layered (it doubles as the notification window);
  // owned by the application window and a tool window: never a taskbar button.
  args.style = WS_POPUP;
  args.exStyle = WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
  args.owner = application;
  window_.onMessage = [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return OnMessage(message, wParam, lParam, result);
  };
  window_.Create(args);
  SetLayeredWindowAttributes(window_.Handle(), 0, 0, LWA_ALPHA);

  HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  tray_.SetIcon(icon != nullptr ? icon : LoadIconW(nullptr, IDI_APPLICATION));
  tray_.SetTip(L"Varnolet 7");
  tray_.onMouseDown = [this](UINT) {
    if (form_ != nullptr) form_->TrayMouseDown();
  };
  tray_.onRightButtonUp = [this] { OpenMenu(); };
}

MainWindow::~MainWindow() {
  splash_.reset();
  tray_.SetVisible(false);
}

bool MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  if (tray_.Dispatch(message, wParam, lParam)) return true;
  if (message == kDestroySplash) {
    splash_.reset();
    return true;
  }
  return false;
}

void MainWindow::OpenMenu() {
  const UINT command = popup_.Track(window_.Handle());
  if (form_ == nullptr || command == 0) return;
  if (command == ui::PopupMenu::kOptions) form_->MenuOptionsClick();
  if (command == ui::PopupMenu::kExit) form_->MenuExitClick();
}

void MainWindow::ShowWarningBox(const std::u16string& text, const std::u16string& caption) {
  MessageBoxW(application_, as_wide(text), as_wide(caption), MB_ICONWARNING);
}

void MainWindow::SetTrayVisible(bool visible) { tray_.SetVisible(visible); }

void MainWindow::ShowTrayBalloon(const std::u16string& text) { tray_.ShowBalloon(Wide(text), 1000); }

void MainWindow::SetMenuCaptions(const std::u16string& playback, const std::u16string& recording,
                                 const std::u16string& options, const std::u16string& exit) {
  popup_.SetCaptions(Wide(playback), Wide(recording), Wide(options), Wide(exit));
}

void MainWindow::SetDeviceItems(DeviceMenu menu, const std::vector<MenuItemModel>& items) {
  const UINT base = menu == DeviceMenu::Playback ? kPlaybackCommand : kRecordingCommand;
  std::vector<ui::PopupMenu::Item> converted;
  for (const MenuItemModel& item : items)
    converted.push_back({Wide(item.caption), item.clickable ? base + static_cast<UINT>(item.tag) : 0, item.checked,
                         item.enabled});
  popup_.SetItems(menu == DeviceMenu::Playback ? 0 : 1, converted);
}

void MainWindow::ShowSplash() {
  splash_ = std::make_unique<TSplashForm>(window_.Handle(), [this] {
    if (form_ != nullptr) form_->SplashFinished();
    // The splash goes away after its own message has been handled.
    PostMessageW(window_.Handle(), kDestroySplash, 0, 0);
  });
}

void MainWindow::PrepareNotificationWindow() {
  HWND window = window_.Handle();
  SetWindowLongW(window, GWL_STYLE, GetWindowLongW(window, GWL_STYLE) & static_cast<LONG>(0xFF3FFFFF));
  SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  EnableWindow(window, FALSE);
}

void MainWindow::ShowOptions() {
  if (optionsWindow == nullptr) return;
  ShowWindow(optionsWindow, SW_SHOW);
  SetForegroundWindow(optionsWindow);
}

void MainWindow::Terminate() { PostQuitMessage(0); }

}  // namespace varnolet
