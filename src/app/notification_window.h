// The fading notification windows, as decisions: what ShowNotification and
// ShowLinkNotification do with the label texts, the window's size and place,
// its alpha and its timer, and how TimerNTimer fades the window out. The
// Win32 window applies what these objects ask through NotificationView.
//
//   NotificationWindow      the single window (the main form): one picture, one label
//   LinkNotificationWindow  the device-link window: a playback row and a recording row
//
// Each window class has its own tick counter for the life of the process: it
// counts every tick of that window's timer and is never reset, so only the
// first notification of a run holds for two ticks before it fades.
#pragma once

#include <cstdint>
#include <string>

namespace varnolet {

// The labels of the two windows.
enum class NotificationLabel {
  DeviceName,     // LblDeviceName, single window
  RenderDevice,   // LblRenderDevice, link window
  CaptureDevice,  // LblCaptureDevice, link window
};

struct ScreenRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

struct PixelSize {
  int width = 0;
  int height = 0;
};

namespace notification {
inline constexpr std::uint32_t kHoldInterval = 1000;  // ms, TimerN's design interval
inline constexpr std::uint32_t kFadeInterval = 10;    // ms per fade step
inline constexpr std::uint8_t kOpaque = 255;
// Window style bits PrepareNotificationWindow keeps: everything but WS_CAPTION.
inline constexpr std::uint32_t kStyleWithoutCaption = 0xFF3FFFFFu;
// SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED
inline constexpr std::uint32_t kFrameChangedFlags = 0x37;
// Design sizes, in pixels at 120 dpi.
inline constexpr int kSingleImageMargin = 16;  // client height = picture width + 16
inline constexpr int kSideMargins = 24;        // client width = picture + label + 24
inline constexpr int kLinkClientHeight = 60;
inline constexpr int kBottomGap = 20;  // between the window and the work area's height
}  // namespace notification

// What a notification window's Win32 side does for the portable logic. One
// view per window; everything is in the window's own pixels.
class NotificationView {
 public:
  virtual ~NotificationView() = default;

  // A label takes the text and sizes itself to it; LabelWidth reads its client width.
  virtual void SetLabelText(NotificationLabel label, const std::u16string& text) = 0;
  virtual int LabelWidth(NotificationLabel label) = 0;
  // Width of the window's picture (Img 40, or ImgRenderDevice 20, at 120 dpi).
  virtual int ImageWidth() = 0;
  // A design size at 120 dpi in the monitor's pixels.
  virtual int Scaled(int designPixels) = 0;

  virtual void SetClientSize(int width, int height) = 0;
  // Outer size of the window, frame included.
  virtual PixelSize OuterSize() = 0;
  virtual void MoveTo(int left, int top) = 0;

  // SystemParametersInfoW(SPI_GETWORKAREA); false when the query failed.
  virtual bool WorkArea(ScreenRect& area) = 0;
  // Width of the primary monitor's screen.
  virtual int ScreenWidth() = 0;

  virtual void SetAlpha(std::uint8_t alpha) = 0;
  // Visible and topmost without activating it: the user's window keeps the
  // foreground and the keyboard. No taskbar button.
  virtual void ShowInactive() = 0;
  virtual void Hide() = 0;

  // The window's timer TimerN: (re)start with an interval, or stop it.
  virtual void StartTimer(std::uint32_t intervalMs) = 0;
  virtual void StopTimer() = 0;

  // PrepareNotificationWindow: GetWindowLongW / SetWindowLongW(GWL_STYLE),
  // SetWindowPos(no size/move/z-order change, flags), EnableWindow.
  virtual std::uint32_t WindowStyle() = 0;
  virtual void SetWindowStyle(std::uint32_t style) = 0;
  virtual void UpdateFrame(std::uint32_t swpFlags) = 0;
  virtual void EnableInput(bool enabled) = 0;
};

// Makes a window a bare, inert overlay: no caption, frame recomputed, no input.
void PrepareNotificationWindow(NotificationView& view);

// The alpha and the timer of one window, and its fade.
class NotificationFade {
 public:
  NotificationFade(NotificationView& view, std::uint16_t& ticks) : view_(view), ticks_(ticks) {}

  // Alpha 255, show without activating, enable the timer. A running timer
  // keeps its interval and its phase.
  void Restart();
  // One tick of TimerN.
  void TimerNTimer();

  std::uint8_t Alpha() const { return alpha_; }
  bool TimerEnabled() const { return timerEnabled_; }
  std::uint32_t TimerInterval() const { return interval_; }
  std::uint16_t Ticks() const { return ticks_; }

 private:
  void EnableTimer();
  void DisableTimer();
  void SetInterval(std::uint32_t interval);

  NotificationView& view_;
  std::uint16_t& ticks_;
  std::uint8_t alpha_ = 0;  // AlphaBlendValue 0 at design time
  bool timerEnabled_ = false;
  std::uint32_t interval_ = notification::kHoldInterval;
};

// Where a window goes: top from the work area's height (kept when the query
// fails), left centred on the primary screen.
class NotificationPlacement {
 public:
  void Place(NotificationView& view);
  int Top() const { return top_; }
  int Left() const { return left_; }

 private:
  int top_ = 0;
  int left_ = 0;
};

// What both windows are made of: their view, the main form's notifications
// flag (read at every show), the fade and the placement. `ticks` is the
// window class's counter; the process has one per class.
class FadingWindow {
 public:
  void TimerNTimer() { fade_.TimerNTimer(); }

  const NotificationFade& Fade() const { return fade_; }
  const NotificationPlacement& Placement() const { return placement_; }

 protected:
  FadingWindow(NotificationView& view, const bool& notificationsEnabled, std::uint16_t& ticks)
      : view_(view), notificationsEnabled_(notificationsEnabled), fade_(view, ticks) {}

  NotificationView& view_;
  const bool& notificationsEnabled_;
  NotificationFade fade_;
  NotificationPlacement placement_;
};

// The single notification window (TNotificationsForm as a notification).
class NotificationWindow : public FadingWindow {
 public:
  NotificationWindow(NotificationView& view, const bool& notificationsEnabled,
                     std::uint16_t& ticks = ProcessTicks())
      : FadingWindow(view, notificationsEnabled, ticks) {}

  // The caller has loaded the picture into Img.
  void ShowNotification(const std::u16string& text);

  static std::uint16_t& ProcessTicks();
};

// The device-link window (TDlNotificationsForm).
class LinkNotificationWindow : public FadingWindow {
 public:
  LinkNotificationWindow(NotificationView& view, const bool& notificationsEnabled,
                         std::uint16_t& ticks = ProcessTicks())
      : FadingWindow(view, notificationsEnabled, ticks) {}

  void ShowLinkNotification(const std::u16string& playbackName, const std::u16string& recordingName);

  static std::uint16_t& ProcessTicks();
};

}  // namespace varnolet
