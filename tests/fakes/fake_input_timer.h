// TimerD of the key sequence: records what the sequence asked of it.
#pragma once

#include <cstdint>
#include <vector>

#include "input/key_sequence.h"

namespace varnolet::fakes {

class FakeSequenceTimer final : public SequenceTimer {
 public:
  void Restart(std::uint32_t intervalMs) override {
    running = true;
    interval = intervalMs;
    restarts.push_back(intervalMs);
  }
  void Stop() override { running = false; }

  bool running = false;
  std::uint32_t interval = 0;
  std::vector<std::uint32_t> restarts;
};

}  // namespace varnolet::fakes
