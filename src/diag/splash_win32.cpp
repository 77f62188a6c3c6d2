#include "diag/splash_win32.h"

#include "resource_ids.h"

namespace varnolet {

TSplashForm::TSplashForm(HWND owner, std::function<void()> onFinished) : onFinished_(std::move(onFinished)) {
  picture_ = ui::LoadBitmapResource(MAKEINTRESOURCEW(VRN_BITMAP_SPLASH));
  const int dpi = ui::DpiOf(nullptr);
  const int width = ui::Scale(400, dpi);
  const int height = ui::Scale(240, dpi);
  ui::Window::Args args;
  args.className = L"Varnolet7Splash";
  // An owned popup without caption or border has no taskbar button.
  args.style = WS_POPUP;
  args.exStyle = WS_EX_TOOLWINDOW;
  args.owner = owner;
  args.width = width;
  args.height = height;
  args.x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  args.y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  window_.onPaint = [this](HDC dc, const RECT& client) {
    if (picture_ == nullptr) return;
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, picture_);
    BITMAP info{};
    GetObjectW(picture_, sizeof info, &info);
    SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
  };
  window_.onMessage = [this](UINT message, WPARAM wParam, LPARAM, LRESULT&) {
    if (message == WM_TIMER && wParam == timer_.Id()) {
      TimerTimer();
      return true;
    }
    return false;
  };
  window_.Create(args);
  ShowWindow(window_.Handle(), SW_SHOWNOACTIVATE);
  UpdateWindow(window_.Handle());
  timer_.Enable(true);
}

TSplashForm::~TSplashForm() {
  timer_.Enable(false);
  window_.Destroy();
  if (picture_ != nullptr) DeleteObject(picture_);
}

void TSplashForm::TimerTimer() {
  timer_.Enable(false);
  ShowWindow(window_.Handle(), SW_HIDE);
  // The owner destroys this window from the callback.
  if (onFinished_) onFinished_();
}

}  // namespace varnolet
