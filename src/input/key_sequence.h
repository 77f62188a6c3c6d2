// The monitor key sequence: the main form collects the virtual-key codes of
// key presses in typedKeys while TimerD runs with a growing interval; the
// eight letters "QXWTZKPV" typed into an empty text open the monitor window.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "input/raw_input.h"

namespace varnolet {

// Port: the key-sequence timer (TimerD). Restart runs it with the interval
// from now on (enabling it and setting its interval); Stop disables it.
class SequenceTimer {
 public:
  virtual ~SequenceTimer() = default;
  virtual void Restart(std::uint32_t intervalMs) = 0;
  virtual void Stop() = 0;
};

class MonitorKeySequence {
 public:
  static constexpr std::u16string_view kSequence = u"QXWTZKPV";
  static constexpr std::size_t kMaxKeys = 8;
  static constexpr std::uint32_t kBaseInterval = 250;  // TimerD's design-time interval

  explicit MonitorKeySequence(SequenceTimer& timer) : timer_(timer) {}

  // After every keyboard event (the raw input handler's last steps): a press
  // adds its virtual-key code while fewer than eight are held and restarts the
  // timer with a longer interval. True when the text is the monitor sequence:
  // the text is emptied and the caller shows the monitor window.
  bool KeyEvent(const DEVICEINPUT& state);

  // TimerDTimer: empty text, base interval, timer off.
  void TimerElapsed();

  std::u16string_view TypedKeys() const { return std::u16string_view(typed_.data(), length_); }
  std::uint32_t Interval() const { return interval_; }
  bool TimerRunning() const { return running_; }

 private:
  SequenceTimer& timer_;
  // At most eight characters: held inline so that a key press never allocates.
  std::array<char16_t, kMaxKeys> typed_{};
  std::size_t length_ = 0;
  std::uint32_t interval_ = kBaseInterval;
  bool running_ = false;
};

}  // namespace varnolet
