// The Win32 side of a fading notification window: a layered, caption-less,
// topmost window that paints its pictures and labels and never takes the
// focus. One class serves the main form's single window and the link window.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "app/notification_window.h"
#include "ui/window_win32.h"

namespace varnolet {

class NotificationWindowView final : public NotificationView {
 public:
  // Where a picture and a label sit, in design pixels at 120 dpi.
  struct Picture {
    int x, y, size;
  };
  struct Label {
    NotificationLabel label;
    int x, y;
    int fontHeight;  // design height of the Tahoma font, negative
  };
  struct Layout {
    std::vector<Picture> pictures;
    std::vector<Label> labels;
    int imageWidth;  // design width of the picture the arithmetic adds
  };

  NotificationWindowView(ui::Window& window, Layout layout, UINT_PTR timerId);
  ~NotificationWindowView() override;
  NotificationWindowView(const NotificationWindowView&) = delete;
  NotificationWindowView& operator=(const NotificationWindowView&) = delete;

  // The pictures, in the order of the layout's pictures; the view owns them.
  void SetPicture(std::size_t index, HBITMAP bitmap);
  void SetIcon(std::size_t index, HICON icon);
  void Paint(HDC dc, const RECT& client);

  void SetLabelText(NotificationLabel label, const std::u16string& text) override;
  int LabelWidth(NotificationLabel label) override;
  int ImageWidth() override { return Scaled(layout_.imageWidth); }
  int Scaled(int designPixels) override { return ui::Scale(designPixels, Dpi()); }
  void SetClientSize(int width, int height) override;
  PixelSize OuterSize() override;
  void MoveTo(int left, int top) override;
  bool WorkArea(ScreenRect& area) override;
  int ScreenWidth() override { return GetSystemMetrics(SM_CXSCREEN); }
  void SetAlpha(std::uint8_t alpha) override;
  void ShowInactive() override;
  void Hide() override { ShowWindow(window_.Handle(), SW_HIDE); }
  void StartTimer(std::uint32_t intervalMs) override {
    SetTimer(window_.Handle(), timerId_, intervalMs, nullptr);
  }
  void StopTimer() override { KillTimer(window_.Handle(), timerId_); }
  std::uint32_t WindowStyle() override;
  void SetWindowStyle(std::uint32_t style) override;
  void UpdateFrame(std::uint32_t swpFlags) override;
  void EnableInput(bool enabled) override { EnableWindow(window_.Handle(), enabled ? TRUE : FALSE); }

 private:
  HFONT FontOf(int designHeight);
  // The window's dpi, read once the window exists.
  int Dpi();
  const Label* Find(NotificationLabel label) const;

  ui::Window& window_;
  Layout layout_;
  UINT_PTR timerId_;
  int dpi_ = 0;
  std::map<NotificationLabel, std::wstring> texts_;
  std::map<int, HFONT> fonts_;
  std::vector<HBITMAP> bitmaps_;
  std::vector<HICON> icons_;
};

// The design layouts of the two windows.
NotificationWindowView::Layout SingleNotificationLayout();
NotificationWindowView::Layout LinkNotificationLayout();

}  // namespace varnolet
