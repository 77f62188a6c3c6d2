// Another program for the Wine tests to watch: Wine's notepad, started by the
// test and ended by it (by its process handle).
#pragma once

#include <windows.h>

#include <string>

#include "support/wide_win32.h"

namespace varnolet::wine {

// Processes the messages of this thread for `milliseconds`.
inline void PumpMessages(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  } while (GetTickCount() - start < milliseconds);
}

class Notepad {
 public:
  Notepad() = default;
  ~Notepad() { End(); }
  Notepad(const Notepad&) = delete;
  Notepad& operator=(const Notepad&) = delete;

  // The full path the system folder gives: <system folder>\notepad.exe.
  static std::u16string SystemPath() {
    wchar_t system[MAX_PATH];
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    return from_wide(system, length) + u"\\notepad.exe";
  }

  // Starts notepad shown with `show` and waits until it takes input. False
  // when it could not be started.
  bool Start(WORD show = SW_SHOWNORMAL) {
    End();
    previousForeground_ = GetForegroundWindow();
    const std::u16string path = SystemPath();
    std::u16string command = u"\"" + path + u"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show;
    if (!CreateProcessW(as_wide(path), as_wide(command.data()), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info_))
      return false;
    started_ = true;
    WaitForInputIdle(info_.hProcess, 10000);
    return true;
  }

  // Its visible, unowned top-level window; waits up to `milliseconds` for it.
  HWND Window(DWORD milliseconds = 10000) {
    const DWORD start = GetTickCount();
    while (started_ && window_ == nullptr) {
      EnumWindows(&Notepad::Match, reinterpret_cast<LPARAM>(this));
      if (window_ != nullptr || GetTickCount() - start > milliseconds) break;
      PumpMessages(50);
    }
    return window_;
  }

  // Makes its window the foreground window; true once the system reports it so.
  bool BringToFront() {
    HWND window = Window();
    if (window == nullptr) return false;
    for (int attempt = 0; attempt < 50 && GetForegroundWindow() != window; ++attempt) {
      SetForegroundWindow(window);
      PumpMessages(100);
    }
    return GetForegroundWindow() == window;
  }

  // Ends notepad by force. A foreground process ended that way leaves the
  // session without a foreground window, and a later test program that sends
  // input would get none: the foreground goes back to the window that had it
  // when notepad started.
  void End() {
    if (!started_) return;
    TerminateProcess(info_.hProcess, 0);
    WaitForSingleObject(info_.hProcess, 10000);
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
    started_ = false;
    window_ = nullptr;
    info_ = {};
    if (GetForegroundWindow() == nullptr && previousForeground_ != nullptr && IsWindow(previousForeground_))
      SetForegroundWindow(previousForeground_);
  }

  DWORD ProcessId() const { return info_.dwProcessId; }
  DWORD ThreadId() const { return info_.dwThreadId; }

 private:
  static BOOL CALLBACK Match(HWND window, LPARAM self) {
    auto* notepad = reinterpret_cast<Notepad*>(self);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != notepad->info_.dwProcessId || !IsWindowVisible(window) ||
        GetWindow(window, GW_OWNER) != nullptr)
      return TRUE;
    notepad->window_ = window;
    return FALSE;
  }

  PROCESS_INFORMATION info_{};
  bool started_ = false;
  HWND window_ = nullptr;
  HWND previousForeground_ = nullptr;
};

}  // namespace varnolet::wine
