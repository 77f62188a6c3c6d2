// The raw record decode on arbitrary records: a sequence of records, each a
// length byte and that many bytes, queried into one live state. The state
// must stay a state the keyboard could be in, whatever the records say.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fakes/fake_raw_input.h"
#include "fakes/fake_system.h"
#include "input/hotkeys.h"
#include "input/raw_input.h"

namespace {

using namespace varnolet;

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

void CheckState(const DEVICEINPUT& state) {
  const auto& keys = state.keyboard.keys;
  for (std::uint8_t flag : keys) Require(flag <= 1);
  Require(keys[key::kAlt] == (keys[key::kRightAlt] | keys[key::kLeftAlt]));
  Require(keys[key::kCtrl] == (keys[key::kRightCtrl] | keys[key::kLeftCtrl]));
  Require(keys[key::kShift] == (keys[key::kRightShift] | keys[key::kLeftShift]));
  Require(keys[key::kWindows] == (keys[key::kRightWindows] | keys[key::kLeftWindows]));
  Require(state.keyboard.pressed + state.keyboard.released == 1);
  Require(state.keyboard.capsLockOn <= 1 && state.keyboard.numLockOn <= 1 &&
          state.keyboard.scrollLockOn <= 1);
  const auto& mouse = state.mouse;
  Require(mouse.leftButton <= 1 && mouse.rightButton <= 1 && mouse.middleButton <= 1 && mouse.xButton1 <= 1 &&
          mouse.xButton2 <= 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fakes::FakeSystem system;
  fakes::FakeRawInput api(system);
  CRawInput raw(api, system, system);
  CHotkeys table(system, system);
  // Ctrl+Shift+V and Alt+1.
  std::u16string first = u"first";
  std::u16string second = u"second";
  int fired = 0;
  HOTKEY a;
  a.keyboard.keys[key::kCtrl] = a.keyboard.keys[key::kShift] = a.keyboard.keys[key::kLetterV] = 1;
  a.parameter = &first;
  HOTKEY b;
  b.keyboard.keys[key::kAlt] = b.keyboard.keys[key::kDigit1] = 1;
  b.parameter = &second;
  a.callback = b.callback = HotkeyCallback{[](void* context, const std::u16string*) {
                                             ++*static_cast<int*>(context);
                                             return true;
                                           },
                                           &fired};
  table.Register(std::vector<HOTKEY>{a, b});

  DEVICEINPUT state;
  state.keyboard.released = 1;
  std::size_t at = 0;
  while (at < size) {
    const std::size_t length = data[at++];
    const std::size_t take = length < size - at ? length : size - at;
    std::vector<std::uint8_t> record(data + at, data + at + take);
    at += take;
    api.keyStates[0x14] = static_cast<std::int16_t>(length & 1);
    const DEVICEINPUT before = state;
    const bool queried = raw.Keyboard.Query(api.Deliver(record), state);
    Require(queried);
    if (record.size() < 24)
      Require(state.keyboard.keys == before.keyboard.keys && state.mouse == before.mouse);
    CheckState(state);
    const int firedBefore = fired;
    const bool matched = table.ExecuteMatching(state);
    Require(matched == (fired == firedBefore + 1));
    for (std::uint16_t flags = 0; flags < 8; ++flags) {
      const int position = KeyPosition(static_cast<std::uint16_t>(length), flags);
      Require(position >= -1 && position < static_cast<int>(key::kCount));
      Require(position != key::kAlt && position != key::kCtrl && position != key::kShift &&
              position != key::kWindows);
    }
  }
  return 0;
}
