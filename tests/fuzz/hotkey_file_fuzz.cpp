// The hotkey map reader on arbitrary bytes: it must never read past the end,
// reserve for counts the bytes cannot hold, or give a hotkey the bytes do not
// spell out; what it reads must write and read back the same.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "fakes/fake_utf8.h"
#include "input/hotkey_map.h"

namespace {

using namespace varnolet;

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

// Only the stored positions may be set, and only to 1.
void CheckPattern(const DEVICEINPUT& pattern) {
  for (std::size_t i = 0; i < key::kCount; ++i) {
    const std::uint8_t flag = pattern.keyboard.keys[i];
    const bool stored = i < 48 || i == key::kAlt || i == key::kCtrl || i == key::kShift;
    Require(flag == 0 || (stored && flag == 1));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fakes::FakeUtf8 utf8;
  const std::span<const std::uint8_t> bytes(data, size);
  static const HotkeySlot untouched;
  std::vector<HotkeySlot> hotkeys = {untouched};
  const HotkeyMapFault fault = ReadHotkeyMap(bytes, utf8, hotkeys);
  if (fault != HotkeyMapFault::None) {
    // A rejected map leaves the list as it was.
    Require(hotkeys.size() == 1 && hotkeys[0].identifier == untouched.identifier);
    Require(hotkeys[0].pattern.keyboard.keys == untouched.pattern.keyboard.keys);
    return 0;
  }
  Require(size == 0 || size >= 19 + 55 * hotkeys.size());
  for (const HotkeySlot& slot : hotkeys) CheckPattern(slot.pattern);

  // What was read writes and reads back the same; a slot holding the none
  // identifier is never written.
  std::vector<HotkeyMapPiece> pieces;
  const std::vector<std::uint8_t> written = WriteHotkeyMap(hotkeys, utf8, &pieces);
  std::size_t total = 0;
  for (const HotkeyMapPiece& piece : pieces) total += piece.size;
  Require(total == written.size());
  std::vector<HotkeySlot> again;
  Require(ReadHotkeyMap(written, utf8, again) == HotkeyMapFault::None);
  std::size_t j = 0;
  for (const HotkeySlot& slot : hotkeys) {
    if (slot.identifier == hotkey_id::kNone) continue;
    Require(j < again.size());
    Require(again[j].identifier == slot.identifier);
    Require(again[j].pattern.keyboard.keys == slot.pattern.keyboard.keys);
    ++j;
  }
  Require(j == again.size());
  return 0;
}
