#include "input/key_sequence.h"

namespace varnolet {

bool MonitorKeySequence::KeyEvent(const DEVICEINPUT& state) {
  if (state.keyboard.pressed != 1) return false;
  if (length_ >= kMaxKeys) return false;
  // Each next key must come before the current interval has run out; the
  // interval grows by 250 / (n + 1) for the n-th key: 500, 625, 708, ... 927.
  interval_ += kBaseInterval / static_cast<std::uint32_t>(length_ + 1);
  running_ = true;
  timer_.Restart(interval_);
  typed_[length_++] = static_cast<char16_t>(state.keyboard.virtualKey);
  if (TypedKeys() != kSequence) return false;
  // A match empties the text at once; the timer keeps running and only resets when it fires.
  length_ = 0;
  return true;
}

void MonitorKeySequence::TimerElapsed() {
  length_ = 0;
  interval_ = kBaseInterval;
  running_ = false;
  timer_.Stop();
}

}  // namespace varnolet
