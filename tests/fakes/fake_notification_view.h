// A notification window on paper: labels measured from per-character widths,
// a frame of fixed thickness, a settable work area and screen, and a timer
// that a test runs forward in simulated milliseconds.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/notification_window.h"

namespace varnolet::fakes {

class FakeNotificationView final : public NotificationView {
 public:
  // ---- what the window looks like
  std::map<NotificationLabel, std::u16string> labels;
  std::map<char16_t, int> charWidths;  // width of a character in a label; others defaultCharWidth
  int defaultCharWidth = 7;
  int imageWidth = 40;
  int dpi = 120;
  PixelSize frame{6, 6};  // outer size minus client size
  PixelSize client;
  int left = 0;
  int top = 0;
  ScreenRect workArea{0, 0, 1920, 1040};
  bool workAreaAnswers = true;
  int screenWidth = 1920;
  std::uint8_t alpha = 0;
  bool visible = false;
  std::uint32_t style = 0x16CF0000u;  // WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPSIBLINGS
  bool inputEnabled = true;
  std::vector<std::uint32_t> frameUpdates;

  // ---- the timer, in simulated milliseconds
  std::int64_t now = 0;
  bool timerRunning = false;
  std::uint32_t timerInterval = 0;
  std::int64_t due = 0;
  int timerStarts = 0;
  std::int64_t hiddenAt = -1;

  // Every call, in order, by name.
  std::vector<std::string> calls;

  int TextWidth(const std::u16string& text) const {
    int width = 0;
    for (char16_t c : text) {
      auto found = charWidths.find(c);
      width += found == charWidths.end() ? defaultCharWidth : found->second;
    }
    return width;
  }

  // Moves the clock to `time`, firing the timer's ticks on the way; `tick` is
  // the window's TimerNTimer.
  void RunUntil(std::int64_t time, const std::function<void()>& tick) {
    while (timerRunning && due <= time) {
      now = due;
      due = now + timerInterval;  // the next tick, unless this one restarts or stops the timer
      tick();
    }
    now = time;
  }

  void SetLabelText(NotificationLabel label, const std::u16string& text) override {
    calls.push_back("SetLabelText");
    labels[label] = text;
  }
  int LabelWidth(NotificationLabel label) override { return TextWidth(labels[label]); }
  int ImageWidth() override { return imageWidth; }
  int Scaled(int designPixels) override { return (designPixels * dpi + 60) / 120; }
  void SetClientSize(int width, int height) override {
    calls.push_back("SetClientSize");
    client = PixelSize{width, height};
  }
  PixelSize OuterSize() override {
    return PixelSize{client.width + frame.width, client.height + frame.height};
  }
  void MoveTo(int x, int y) override {
    calls.push_back("MoveTo");
    left = x;
    top = y;
  }
  bool WorkArea(ScreenRect& area) override {
    if (workAreaAnswers) area = workArea;
    return workAreaAnswers;
  }
  int ScreenWidth() override { return screenWidth; }
  void SetAlpha(std::uint8_t value) override {
    if (value == 255) calls.push_back("SetAlpha255");
    alpha = value;
  }
  void ShowInactive() override {
    calls.push_back("ShowInactive");
    visible = true;
  }
  void Hide() override {
    calls.push_back("Hide");
    visible = false;
    hiddenAt = now;
  }
  void StartTimer(std::uint32_t intervalMs) override {
    calls.push_back("StartTimer" + std::to_string(intervalMs));
    timerRunning = true;
    timerInterval = intervalMs;
    due = now + intervalMs;
    ++timerStarts;
  }
  void StopTimer() override {
    calls.push_back("StopTimer");
    timerRunning = false;
  }
  std::uint32_t WindowStyle() override {
    calls.push_back("WindowStyle");
    return style;
  }
  void SetWindowStyle(std::uint32_t value) override {
    calls.push_back("SetWindowStyle");
    style = value;
  }
  void UpdateFrame(std::uint32_t swpFlags) override {
    calls.push_back("UpdateFrame");
    frameUpdates.push_back(swpFlags);
  }
  void EnableInput(bool enabled) override {
    calls.push_back(enabled ? "EnableInput" : "DisableInput");
    inputEnabled = enabled;
  }
};

}  // namespace varnolet::fakes
