// The Win32 view of the monitor window: seven tabs over one read-only memo,
// a Refresh button and a caption clock that runs only while it is shown.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/window_win32.h"

namespace varnolet {

class DebugFormWindow {
 public:
  // `owner`: the application window. `build(tab)` gives the memo lines of a
  // tab (0 General ... 6 Log); `caption()` the caption with its clock. The
  // window is made at the first Show (or MakeWindow), not here: start-up
  // loads neither the window nor the common controls it needs.
  DebugFormWindow(HWND owner, std::function<std::vector<std::u16string>(int)> build,
                  std::function<std::u16string()> caption);
  ~DebugFormWindow();
  DebugFormWindow(const DebugFormWindow&) = delete;
  DebugFormWindow& operator=(const DebugFormWindow&) = delete;

  // Makes the window and its controls once; later calls do nothing.
  void MakeWindow();
  // FormShow: shows the window (made at the first showing), starts the clock
  // and builds the selected tab.
  void Show();
  HWND Handle() const { return window_.Handle(); }

 private:
  void Layout();
  void Rebuild();
  void UpdateCaption();
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  HWND owner_;
  std::function<std::vector<std::u16string>(int)> build_;
  std::function<std::u16string()> caption_;
  ui::Window window_;
  ui::Timer timer_{window_, 1, 1000};
  HWND tabs_ = nullptr;
  HWND memo_ = nullptr;
  HWND button_ = nullptr;
  HFONT font_ = nullptr;
  int dpi_ = 96;
};

}  // namespace varnolet
