// The keyboard path of every key event while hotkeys are on: decode one raw
// keyboard record into the live state and run ExecuteMatching over 32
// hotkeys; reported per event with the heap allocations it made.
#include <benchmark/benchmark.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "bench/allocation_count.h"
#include "input/hotkey_action.h"
#include "input/hotkeys.h"
#include "input/key_sequence.h"
#include "input/raw_input.h"

namespace varnolet {
namespace {

class QuietSystem final : public SystemMessages, public Clock {
 public:
  std::u16string MessageText(std::uint32_t, MessageWidth) override { return {}; }
  std::uint32_t LastErrorCode() override { return 0; }
  LocalTime Now() override { return {}; }
};

// Two keyboard records, a press and a release of one key; the handle picks one.
class TwoRecords final : public RawInputApi {
 public:
  TwoRecords(std::uint16_t makeCode, std::uint16_t virtualKey) {
    for (int i = 0; i < 2; ++i) {
      std::array<std::uint8_t, raw_layout::kKeyboardRecordSize>& r = records_[static_cast<std::size_t>(i)];
      r.fill(0);
      r[raw_layout::kType] = raw_layout::kTypeKeyboard;
      r[raw_layout::kSize] = raw_layout::kKeyboardRecordSize;
      std::memcpy(&r[raw_layout::kMakeCode], &makeCode, 2);
      std::memcpy(&r[raw_layout::kVirtualKey], &virtualKey, 2);
      const std::uint32_t message = i == 0 ? 0x0100 : 0x0101;
      std::memcpy(&r[raw_layout::kMessage], &message, 4);
    }
  }
  bool RegisterDevice(const RawInputDevice&) override { return true; }
  std::uint32_t ReadInputData(std::uintptr_t handle, void* data, std::uint32_t* size) override {
    if (data == nullptr) {
      *size = raw_layout::kKeyboardRecordSize;
      return 0;
    }
    std::memcpy(data, records_[handle & 1].data(), raw_layout::kKeyboardRecordSize);
    return raw_layout::kKeyboardRecordSize;
  }
  std::int16_t KeyState(int) override { return 0; }

 private:
  std::array<std::array<std::uint8_t, raw_layout::kKeyboardRecordSize>, 2> records_;
};

class NoTimer final : public SequenceTimer {
 public:
  void Restart(std::uint32_t) override {}
  void Stop() override {}
};

bool CountFired(void* context, const std::u16string*) {
  ++*static_cast<std::uint64_t*>(context);
  return true;
}

// 32 hotkeys as the system builds them: Ctrl+Alt with a digit or letter each.
// With `lastMatches`, the last one is Shift+V (pressed below); else none matches.
struct Table {
  Table(QuietSystem& system, bool lastMatches) : table(system, system) {
    identifiers.resize(32);
    std::vector<HOTKEY> hotkeys(32);
    for (std::size_t i = 0; i < 32; ++i) {
      identifiers[i] =
          u"{0.0.0.00000000}.{00000000-0000-0000-0000-0000000000" + std::u16string(1, u'A' + i % 26) + u"}";
      HOTKEY& h = hotkeys[i];
      h.keyboard.keys[static_cast<std::size_t>(key::kDigit0) + i] = 1;
      h.keyboard.keys[key::kCtrl] = h.keyboard.keys[key::kAlt] = 1;
      h.parameter = &identifiers[i];
      h.callback = HotkeyCallback{&CountFired, &fired};
    }
    if (lastMatches) {
      hotkeys[31].keyboard.keys = {};
      hotkeys[31].keyboard.keys[key::kLetterV] = 1;
    }
    table.Register(hotkeys);
  }
  CHotkeys table;
  std::vector<std::u16string> identifiers;
  std::uint64_t fired = 0;
};

void KeyboardPath(benchmark::State& state, bool lastMatches) {
  QuietSystem system;
  TwoRecords api(0x2F, 'V');
  CRawInput raw(api, system, system);
  Table hotkeys(system, lastMatches);
  DEVICEINPUT inputState;
  std::uintptr_t handle = 0;
  const std::uint64_t before = bench::AllocationCount();
  for (auto _ : state) {
    raw.Keyboard.Query(handle, inputState);
    benchmark::DoNotOptimize(hotkeys.table.ExecuteMatching(inputState));
    handle ^= 1;  // press, release, press, ...
  }
  const std::uint64_t allocations = bench::AllocationCount() - before;
  state.counters["allocs/event"] = benchmark::Counter(static_cast<double>(allocations) / state.iterations());
  state.counters["fired"] = benchmark::Counter(static_cast<double>(hotkeys.fired));
}

void BM_KeyboardPath_NoMatch(benchmark::State& state) {
  KeyboardPath(state, false);
}
void BM_KeyboardPath_LastOf32Matches(benchmark::State& state) {
  KeyboardPath(state, true);
}

// The whole raw input handler: query, match, key sequence.
void BM_RawInputHandler(benchmark::State& state) {
  QuietSystem system;
  TwoRecords api(0x2F, 'V');
  CRawInput raw(api, system, system);
  Table hotkeys(system, false);
  NoTimer timer;
  MonitorKeySequence sequence(timer);
  DEVICEINPUT inputState;
  std::uintptr_t handle = 0;
  std::uint64_t events = 0;
  const std::uint64_t before = bench::AllocationCount();
  for (auto _ : state) {
    benchmark::DoNotOptimize(HandleRawInput(raw.Keyboard, hotkeys.table, sequence, inputState, handle));
    handle ^= 1;
    if (++events % 16 == 0) sequence.TimerElapsed();  // the sequence window closes now and then
  }
  const std::uint64_t allocations = bench::AllocationCount() - before;
  state.counters["allocs/event"] = benchmark::Counter(static_cast<double>(allocations) / state.iterations());
}

void BM_QueryOnly(benchmark::State& state) {
  QuietSystem system;
  TwoRecords api(0x2F, 'V');
  CRawInput raw(api, system, system);
  DEVICEINPUT inputState;
  std::uintptr_t handle = 0;
  for (auto _ : state) {
    raw.Keyboard.Query(handle, inputState);
    benchmark::DoNotOptimize(inputState);
    handle ^= 1;
  }
}
void BM_MatchOnly(benchmark::State& state) {
  QuietSystem system;
  Table hotkeys(system, false);
  DEVICEINPUT inputState;
  inputState.keyboard.keys[key::kLetterV] = 1;
  for (auto _ : state) benchmark::DoNotOptimize(hotkeys.table.ExecuteMatching(inputState));
}
BENCHMARK(BM_QueryOnly);
BENCHMARK(BM_MatchOnly);
BENCHMARK(BM_KeyboardPath_NoMatch);
BENCHMARK(BM_KeyboardPath_LastOf32Matches);
BENCHMARK(BM_RawInputHandler);

}  // namespace
}  // namespace varnolet
