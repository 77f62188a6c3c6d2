#include "app/notification_window.h"

namespace varnolet {

void PrepareNotificationWindow(NotificationView& view) {
  view.SetWindowStyle(view.WindowStyle() & notification::kStyleWithoutCaption);
  view.UpdateFrame(notification::kFrameChangedFlags);
  view.EnableInput(false);
}

// ------------------------------------------------------------ fade

void NotificationFade::EnableTimer() {
  if (timerEnabled_) return;  // a running timer keeps its interval and phase
  timerEnabled_ = true;
  view_.StartTimer(interval_);
}

void NotificationFade::DisableTimer() {
  if (!timerEnabled_) return;
  timerEnabled_ = false;
  view_.StopTimer();
}

void NotificationFade::SetInterval(std::uint32_t interval) {
  if (interval == interval_) return;
  interval_ = interval;
  if (timerEnabled_) view_.StartTimer(interval_);  // a new interval restarts the timer
}

void NotificationFade::Restart() {
  alpha_ = notification::kOpaque;
  view_.SetAlpha(alpha_);
  view_.ShowInactive();
  EnableTimer();
}

void NotificationFade::TimerNTimer() {
  // A tick can only come from the running timer; one left in the queue after
  // the window was hidden changes nothing.
  if (!timerEnabled_) return;
  ++ticks_;
  if (ticks_ > 1) SetInterval(notification::kFadeInterval);
  --alpha_;
  view_.SetAlpha(alpha_);
  if (alpha_ == 0) {
    DisableTimer();
    SetInterval(notification::kHoldInterval);
    view_.Hide();
  }
}

// ------------------------------------------------------------ placement

void NotificationPlacement::Place(NotificationView& view) {
  const PixelSize outer = view.OuterSize();
  ScreenRect area;
  if (view.WorkArea(area))
    top_ = (area.bottom - area.top) - outer.height - view.Scaled(notification::kBottomGap);
  left_ = view.ScreenWidth() / 2 - outer.width / 2;
  view.MoveTo(left_, top_);
}

// ------------------------------------------------------------ single window

std::uint16_t& NotificationWindow::ProcessTicks() {
  static std::uint16_t ticks = 0;
  return ticks;
}

void NotificationWindow::ShowNotification(const std::u16string& text) {
  if (!notificationsEnabled_) return;
  view_.SetLabelText(NotificationLabel::DeviceName, text);
  const int image = view_.ImageWidth();
  view_.SetClientSize(
      view_.LabelWidth(NotificationLabel::DeviceName) + image + view_.Scaled(notification::kSideMargins),
      image + view_.Scaled(notification::kSingleImageMargin));
  placement_.Place(view_);
  fade_.Restart();
}

// ------------------------------------------------------------ link window

std::uint16_t& LinkNotificationWindow::ProcessTicks() {
  static std::uint16_t ticks = 0;
  return ticks;
}

void LinkNotificationWindow::ShowLinkNotification(const std::u16string& playbackName,
                                                  const std::u16string& recordingName) {
  if (!notificationsEnabled_) return;
  PrepareNotificationWindow(view_);
  view_.SetLabelText(NotificationLabel::RenderDevice, playbackName);
  view_.SetLabelText(NotificationLabel::CaptureDevice, recordingName);
  // The label of the name with more characters sets the width; a tie takes the recording label.
  const int textWidth = playbackName.size() > recordingName.size()
                            ? view_.LabelWidth(NotificationLabel::RenderDevice)
                            : view_.LabelWidth(NotificationLabel::CaptureDevice);
  view_.SetClientSize(view_.ImageWidth() + textWidth + view_.Scaled(notification::kSideMargins),
                      view_.Scaled(notification::kLinkClientHeight));
  placement_.Place(view_);
  fade_.Restart();
}

}  // namespace varnolet
