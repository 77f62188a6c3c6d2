#include "ui/window_win32.h"

#include <shellapi.h>

namespace varnolet::ui {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

HINSTANCE Instance() {
  return GetModuleHandleW(nullptr);
}

void RegisterClassOnce(const wchar_t* name, HBRUSH background, WNDPROC procedure) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(Instance(), name, &existing)) return;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = Instance();
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = name;
  windowClass.hIcon = LoadIconW(Instance(), MAKEINTRESOURCEW(1));
  RegisterClassExW(&windowClass);
}

}  // namespace

int DpiOf(HWND window) {
  // GetDpiForWindow exists from Windows 10 on; older systems have one dpi.
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (getDpiForWindow != nullptr && window != nullptr) {
    const UINT dpi = getDpiForWindow(window);
    if (dpi != 0) return static_cast<int>(dpi);
  }
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

int Scale(int designPixels, int dpi) {
  return MulDiv(designPixels, dpi, 120);
}

// ------------------------------------------------------------------ Window

Window::~Window() {
  Destroy();
}

bool Window::Create(const Args& args) {
  RegisterClassOnce(args.className, args.background, &Window::Procedure);
  hwnd_ = CreateWindowExW(args.exStyle, args.className, args.title, args.style, args.x, args.y, args.width,
                          args.height, args.owner, nullptr, Instance(), this);
  return hwnd_ != nullptr;
}

void Window::Destroy() {
  if (hwnd_ == nullptr) return;
  HWND window = hwnd_;
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  hwnd_ = nullptr;
  DestroyWindow(window);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* self = static_cast<Window*>(create->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  return self->Handle(message, wParam, lParam);
}

LRESULT Window::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (onMessage && onMessage(message, wParam, lParam, result)) return result;
  switch (message) {
    case WM_PAINT:
      if (onPaint) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd_, &paint);
        RECT client;
        GetClientRect(hwnd_, &client);
        onPaint(dc, client);
        EndPaint(hwnd_, &paint);
        return 0;
      }
      break;
    case WM_CLOSE:
      if (onClose)
        onClose();
      else
        ShowWindow(hwnd_, SW_HIDE);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

// ------------------------------------------------------------------- Timer

void Timer::Enable(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (owner_.Handle() == nullptr) return;
  if (enabled)
    SetTimer(owner_.Handle(), id_, interval_, nullptr);
  else
    KillTimer(owner_.Handle(), id_);
}

void Timer::SetInterval(UINT interval) {
  interval_ = interval;
  if (enabled_ && owner_.Handle() != nullptr) SetTimer(owner_.Handle(), id_, interval_, nullptr);
}

// ---------------------------------------------------------------- TrayIcon

bool TrayIcon::Notify(DWORD message, UINT flags, const std::wstring& info, UINT timeout) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = owner_.Handle();
  data.uID = id_;
  data.uFlags = flags;
  data.uCallbackMessage = kCallbackMessage;
  data.hIcon = icon_;
  lstrcpynW(data.szTip, tip_.c_str(), ARRAYSIZE(data.szTip));
  if (flags & NIF_INFO) {
    lstrcpynW(data.szInfo, info.c_str(), ARRAYSIZE(data.szInfo));
    data.szInfoTitle[0] = L'\0';
    data.uTimeout = timeout;
    data.dwInfoFlags = NIIF_NONE;
  }
  return Shell_NotifyIconW(message, &data) != FALSE;
}

void TrayIcon::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  if (visible)
    Notify(NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP);
  else
    Notify(NIM_DELETE, 0);
}

void TrayIcon::ShowBalloon(const std::wstring& text, UINT timeout) {
  if (visible_) Notify(NIM_MODIFY, NIF_INFO, text, timeout);
}

bool TrayIcon::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == taskbarCreated_ && taskbarCreated_ != 0) {
    // The shell restarted: put the icon back.
    if (visible_) Notify(NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    return true;
  }
  if (message != kCallbackMessage || wParam != id_) return false;
  switch (LOWORD(lParam)) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (onMouseDown) onMouseDown(LOWORD(lParam));
      break;
    case WM_RBUTTONUP:
      if (onRightButtonUp) onRightButtonUp();
      break;
    default:
      break;
  }
  return true;
}

// ------------------------------------------------------------------ helpers

void ProcessMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

HBITMAP LoadBitmapResource(const wchar_t* name) {
  return static_cast<HBITMAP>(LoadImageW(Instance(), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

}  // namespace varnolet::ui
