// TSplashForm: the borderless start-up picture, shown for 2.5 seconds in the
// centre of the screen; the only window made on demand and destroyed after use.
#pragma once

#include <windows.h>

#include <functional>

#include "ui/window_win32.h"

namespace varnolet {

class TSplashForm {
 public:
  // Creates and shows the window; `onFinished` runs when its timer ends.
  TSplashForm(HWND owner, std::function<void()> onFinished);
  ~TSplashForm();
  TSplashForm(const TSplashForm&) = delete;
  TSplashForm& operator=(const TSplashForm&) = delete;

  HWND Handle() const { return window_.Handle(); }

 private:
  void TimerTimer();

  ui::Window window_;
  ui::Timer timer_{window_, 1, 2500};
  HBITMAP picture_ = nullptr;
  std::function<void()> onFinished_;
};

}  // namespace varnolet
