// The small Win32 form toolkit: one window base with the message plumbing,
// timers, the tray icon and popup menus. Forms set handler members; nothing
// here decides anything about the program.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace varnolet::ui {

// Pixels of the design (at 120 dpi) scaled to a window's real dpi.
int DpiOf(HWND window);
int Scale(int designPixels, int dpi);

class Window {
 public:
  struct Args {
    const wchar_t* className = L"Varnolet7Window";
    const wchar_t* title = L"";
    DWORD style = WS_POPUP;
    DWORD exStyle = 0;
    int x = 0, y = 0, width = 0, height = 0;
    HWND owner = nullptr;
    HBRUSH background = nullptr;
  };

  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  bool Create(const Args& args);
  void Destroy();
  HWND Handle() const { return hwnd_; }

  // Handlers a form sets. onMessage sees every message first; returning true
  // stops the default handling with the given result.
  std::function<bool(UINT, WPARAM, LPARAM, LRESULT&)> onMessage;
  std::function<void(HDC, const RECT&)> onPaint;
  std::function<void()> onClose;  // default: hide

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
};

// A window timer; ticks arrive through the message loop.
class Timer {
 public:
  Timer(Window& owner, UINT_PTR id, UINT interval) : owner_(owner), id_(id), interval_(interval) {}
  ~Timer() { Enable(false); }
  void Enable(bool enabled);
  // Changing the interval of a running timer restarts its countdown.
  void SetInterval(UINT interval);
  bool Enabled() const { return enabled_; }
  UINT Interval() const { return interval_; }
  UINT_PTR Id() const { return id_; }
  // Called by the owner's message handler for WM_TIMER with this id.
  void Tick() {
    if (onTimer) onTimer();
  }
  std::function<void()> onTimer;

 private:
  Window& owner_;
  UINT_PTR id_;
  UINT interval_;
  bool enabled_ = false;
};

// The notification-area icon of a window.
class TrayIcon {
 public:
  static constexpr UINT kCallbackMessage = WM_APP + 1;

  TrayIcon(Window& owner, UINT id) : owner_(owner), id_(id) {}
  ~TrayIcon() { SetVisible(false); }
  void SetIcon(HICON icon) { icon_ = icon; }
  void SetTip(const std::wstring& tip) { tip_ = tip; }
  void SetVisible(bool visible);
  bool Visible() const { return visible_; }
  // A balloon without a title.
  void ShowBalloon(const std::wstring& text, UINT timeout);
  // Handles the icon's callback message and the shell's restart; true when handled.
  bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

  std::function<void(UINT button)> onMouseDown;  // WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN
  std::function<void()> onRightButtonUp;

 private:
  bool Notify(DWORD message, UINT flags, const std::wstring& info = {}, UINT timeout = 0);

  Window& owner_;
  UINT id_;
  HICON icon_ = nullptr;
  std::wstring tip_;
  bool visible_ = false;
  UINT taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
};

// Processes the messages waiting in the queue, without blocking.
void ProcessMessages();

// Loads a bitmap resource of the program by name ("IMG_1").
HBITMAP LoadBitmapResource(const wchar_t* name);

}  // namespace varnolet::ui
