#include "app/main_window_win32.h"

#include "app/notifications_form.h"
#include "resource_ids.h"
#include "support/wide_win32.h"

namespace varnolet {

namespace {

constexpr UINT_PTR kLinkTimerN = 11;

std::wstring Wide(const std::u16string& text) {
  return std::wstring(as_wide(text));
}

// A menu item's text marks its access key with "&": a device name shows every
// "&" it has only when each is doubled.
std::wstring MenuCaption(const std::u16string& name) {
  std::wstring caption;
  caption.reserve(name.size());
  for (const wchar_t c : Wide(name)) {
    if (c == L'&') caption += L'&';
    caption += c;
  }
  return caption;
}

// Caption-less, topmost and layered; owned by the application window and a
// tool window, so never a taskbar button; it never takes the activation.
ui::Window::Args NotificationArgs(const wchar_t* className, HWND owner) {
  ui::Window::Args args;
  args.className = className;
  args.title = L"Varnolet 7";
  args.style = WS_POPUP | WS_CAPTION;
  args.exStyle = WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
  args.owner = owner;
  args.width = 1;
  args.height = 1;
  return args;
}

// Another program (the installer, before it replaces the files) asks the
// running program to leave as its Exit command does, log included.
UINT ExitRequestMessage() {
  static const UINT message = RegisterWindowMessageW(L"Varnolet7.Exit");
  return message;
}

HICON LoadSizedIcon(int id, int size) {
  return static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
}

}  // namespace

MainWindow::MainWindow(HWND application)
    : application_(application), singleView_(window_, SingleNotificationLayout(), kTimerN) {
  window_.onMessage = [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return OnMessage(message, wParam, lParam, result);
  };
  window_.onPaint = [this](HDC dc, const RECT& client) { singleView_.Paint(dc, client); };
  window_.Create(NotificationArgs(L"Varnolet7Main", application));
  SetLayeredWindowAttributes(window_.Handle(), 0, 0, LWA_ALPHA);

  linkWindow_.onMessage = [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return OnLinkMessage(message, wParam, lParam, result);
  };
  linkWindow_.onPaint = [this](HDC dc, const RECT& client) { linkView_->Paint(dc, client); };
  linkWindow_.Create(NotificationArgs(L"Varnolet7LinkNotification", application));
  SetLayeredWindowAttributes(linkWindow_.Handle(), 0, 0, LWA_ALPHA);
  linkView_ = std::make_unique<NotificationWindowView>(linkWindow_, LinkNotificationLayout(), kLinkTimerN);
  const int iconSize = linkView_->Scaled(20);
  linkView_->SetIcon(0, LoadSizedIcon(VRN_ICON_LINK_PLAY, iconSize));
  linkView_->SetIcon(1, LoadSizedIcon(VRN_ICON_LINK_RECORD, iconSize));

  HICON icon = LoadSizedIcon(VRN_ICON_PROGRAM, GetSystemMetrics(SM_CXSMICON));
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
  if (message == ExitRequestMessage() && message != 0) {
    if (form_ != nullptr) form_->MenuExitClick();
    return true;
  }
  switch (message) {
    case WM_INPUT:
      if (form_ != nullptr) form_->OnRawInput(static_cast<std::uintptr_t>(lParam));
      // The default handling releases the input's buffers.
      result = DefWindowProcW(window_.Handle(), message, wParam, lParam);
      return true;
    case WM_TIMER:
      if (form_ == nullptr) return true;
      if (wParam == kTimerN) form_->TimerNTimer();
      if (wParam == kTimerD) form_->TimerDTimer();
      return true;
    case WM_MOUSEACTIVATE:
      result = MA_NOACTIVATE;
      return true;
    case kDestroySplash:
      splash_.reset();
      return true;
    default:
      return false;
  }
}

bool MainWindow::OnLinkMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  result = 0;
  if (message == WM_TIMER && wParam == kLinkTimerN) {
    if (form_ != nullptr) form_->LinkTimerNTimer();
    return true;
  }
  if (message == WM_MOUSEACTIVATE) {
    result = MA_NOACTIVATE;
    return true;
  }
  return false;
}

void MainWindow::OpenMenu() {
  if (form_ != nullptr) form_->MenuOpened();
  const UINT command = popup_.Track(window_.Handle());
  if (form_ == nullptr) return;
  form_->MenuClosed();
  Dispatch(command);
}

void MainWindow::Dispatch(UINT command) {
  if (command == ui::PopupMenu::kOptions) form_->MenuOptionsClick();
  if (command == ui::PopupMenu::kExit) form_->MenuExitClick();
  if (command >= kPlaybackCommand && command < kRecordingCommand)
    form_->PlaybackItemClick(static_cast<int>(command - kPlaybackCommand));
  if (command >= kRecordingCommand && command < kRecordingCommand + 1000)
    form_->RecordingItemClick(static_cast<int>(command - kRecordingCommand));
}

void MainWindow::ShowWarningBox(const std::u16string& text, const std::u16string& caption) {
  MessageBoxW(application_, as_wide(text), as_wide(caption), MB_ICONWARNING);
}

void MainWindow::SetTrayVisible(bool visible) {
  tray_.SetVisible(visible);
}

void MainWindow::ShowTrayBalloon(const std::u16string& text) {
  tray_.ShowBalloon(Wide(text), 1000);
}

void MainWindow::SetMenuCaptions(const std::u16string& playback, const std::u16string& recording,
                                 const std::u16string& options, const std::u16string& exit) {
  popup_.SetCaptions(Wide(playback), Wide(recording), Wide(options), Wide(exit));
}

void MainWindow::SetDeviceItems(DeviceMenu menu, const std::vector<MenuItemModel>& items) {
  const UINT base = menu == DeviceMenu::Playback ? kPlaybackCommand : kRecordingCommand;
  std::vector<ui::PopupMenu::Item> converted;
  for (const MenuItemModel& item : items)
    converted.push_back({MenuCaption(item.caption), item.clickable ? base + static_cast<UINT>(item.tag) : 0,
                         item.checked, item.enabled});
  popup_.SetItems(menu == DeviceMenu::Playback ? 0 : 1, converted);
}

void MainWindow::ShowSplash() {
  // Owned by the application's window: an owner that is always on top (the
  // main window is) would make the splash always on top too.
  splash_ = std::make_unique<TSplashForm>(application_, [this] {
    if (form_ != nullptr) form_->SplashFinished();
    // The splash goes away after its own message has been handled.
    PostMessageW(window_.Handle(), kDestroySplash, 0, 0);
  });
}

void MainWindow::ShowDebugForm() {
  if (debugForm != nullptr) debugForm->Show();
}

void MainWindow::LoadPicture(std::u16string_view resource) {
  const std::u16string name(resource);
  singleView_.SetPicture(0, ui::LoadBitmapResource(as_wide(name)));
}

void MainWindow::RestartTimerD(std::uint32_t intervalMs) {
  SetTimer(window_.Handle(), kTimerD, intervalMs, nullptr);
}

void MainWindow::StopTimerD() {
  KillTimer(window_.Handle(), kTimerD);
}

void MainWindow::Terminate() {
  PostQuitMessage(0);
}

}  // namespace varnolet
