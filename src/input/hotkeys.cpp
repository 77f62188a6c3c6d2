#include "input/hotkeys.h"

#include <bit>
#include <cstring>

namespace varnolet {

namespace {

// The match rule runs for every hotkey on every key event: it compares the
// key flags eight at a time, masking the modifier positions the rule ignores.
using Word = std::uint64_t;

Word Load(const std::uint8_t* bytes) {
  Word word;
  std::memcpy(&word, bytes, sizeof word);
  return word;
}

// A mask word over eight key positions starting at `first`: all ones at the
// positions in `compared`.
template <std::size_t N>
constexpr Word Mask(int first, const int (&compared)[N]) {
  std::array<std::uint8_t, 8> bytes{};
  for (int position : compared) bytes[static_cast<std::size_t>(position - first)] = 0xFF;
  return std::bit_cast<Word>(bytes);
}

// Positions 64-71 and 72-79 hold Tab, the modifiers, Applications, Print Screen and Scroll Lock.
constexpr int kModifierWordA = 64;
constexpr int kModifierWordB = 72;
constexpr int kDerivedA[] = {key::kTab, key::kAlt, key::kCtrl};
constexpr int kDerivedB[] = {key::kShift, key::kWindows, key::kApplications, key::kPrintScreen,
                             key::kScrollLock};
constexpr int kSidesA[] = {key::kTab,       key::kRightAlt, key::kLeftAlt,
                           key::kRightCtrl, key::kLeftCtrl, key::kRightShift};
constexpr int kSidesB[] = {key::kLeftShift,    key::kRightWindows, key::kLeftWindows,
                           key::kApplications, key::kPrintScreen,  key::kScrollLock};
constexpr Word kDerivedMaskA = Mask(kModifierWordA, kDerivedA);
constexpr Word kDerivedMaskB = Mask(kModifierWordB, kDerivedB);
constexpr Word kSidesMaskA = Mask(kModifierWordA, kSidesA);
constexpr Word kSidesMaskB = Mask(kModifierWordB, kSidesB);

static_assert(key::kCount == 108 && kModifierWordB + 8 == 80);

Word Buttons(const DEVICEINPUT::MOUSE& mouse) {
  return Word{mouse.rightButton} | Word{mouse.middleButton} << 8 | Word{mouse.leftButton} << 16 |
         Word{mouse.xButton1} << 24 | Word{mouse.xButton2} << 32;
}

// A record's key flags and mouse buttons as words: read once from the live
// state, then compared with every pattern.
struct Words {
  explicit Words(const DEVICEINPUT& input) : buttons(Buttons(input.mouse)) {
    const std::uint8_t* keys = input.keyboard.keys.data();
    for (std::size_t i = 0; i < 8; ++i) plain[i] = Load(keys + 8 * i);
    modifiersA = Load(keys + kModifierWordA);
    modifiersB = Load(keys + kModifierWordB);
    for (std::size_t i = 0; i < 3; ++i) tail[i] = Load(keys + 80 + 8 * i);
    tail[3] = Load(keys + 100);  // positions 100-107, overlapping the word before
  }
  Word buttons;
  Word plain[8];  // positions 0-63
  Word modifiersA;
  Word modifiersB;
  Word tail[4];  // positions 80-107
};

// The hotkey match rule, pattern against state.
inline bool Matches(const HOTKEY& hotkey, const Words& state) {
  const std::uint8_t* pattern = hotkey.keyboard.keys.data();
  // Positions 0-63: the function keys, digits, letters and the other plain keys.
  Word difference = Buttons(hotkey.mouse) ^ state.buttons;
  for (std::size_t i = 0; i < 8; ++i) difference |= Load(pattern + 8 * i) ^ state.plain[i];
  if (difference != 0) return false;

  // Positions 64-79: with a derived modifier in the pattern, compare the four
  // derived flags and ignore the sides; without, compare the sides instead.
  const auto& keys = hotkey.keyboard.keys;
  const bool derived = (keys[key::kAlt] | keys[key::kCtrl] | keys[key::kShift] | keys[key::kWindows]) != 0;
  difference = (Load(pattern + kModifierWordA) ^ state.modifiersA) & (derived ? kDerivedMaskA : kSidesMaskA);
  difference |= (Load(pattern + kModifierWordB) ^ state.modifiersB) & (derived ? kDerivedMaskB : kSidesMaskB);
  // Positions 80-107.
  for (std::size_t i = 0; i < 3; ++i) difference |= Load(pattern + 80 + 8 * i) ^ state.tail[i];
  difference |= Load(pattern + 100) ^ state.tail[3];
  return difference == 0;
}

}  // namespace

bool HOTKEY::Equals(const DEVICEINPUT& input) const {
  return Matches(*this, Words(input));
}

bool HOTKEY::IsSameHotkey(const HOTKEY& other) const {
  return DEVICEINPUT::Equals(other) && parameter == other.parameter;
}

bool CHotkeys::Register(HOTKEY hotkey) {
  if (!FilterCallback(*this, hotkey, filterParameter)) {
    log_.AddError(u"CHotkeys,Register(),NULL,Item,Specified hotkey does not match filter criteria");
    return false;
  }
  for (const HOTKEY& registered : items_) {
    if (hotkey.IsSameHotkey(registered)) {
      log_.AddError(u"CHotkeys,Register(),NULL,Item,Specified hotkey is already registerd");
      return false;
    }
  }
  hotkey.ID = static_cast<std::uint32_t>(items_.size());
  items_.push_back(hotkey);
  return true;
}

bool CHotkeys::Register(const std::vector<HOTKEY>& hotkeys) {
  for (const HOTKEY& hotkey : hotkeys) {
    if (!Register(hotkey)) {
      Clear();
      log_.AddError(u"CHotkeys,Register(),NULL,List,Could not register specified items");
      return false;
    }
  }
  return true;
}

bool CHotkeys::ExecuteMatching(DEVICEINPUT input) {
  const Words state(input);
  for (const HOTKEY& hotkey : items_) {
    if (!Matches(hotkey, state)) continue;
    // The callback may empty the table (disable hotkeys reloads it): take what
    // it needs first and touch no entry afterwards.
    const HotkeyCallback callback = hotkey.callback;
    const std::u16string* const parameter = hotkey.parameter;
    callback(parameter);
    return true;
  }
  return false;
}

bool CHotkeys::Clear() {
  items_.clear();
  return items_.empty();
}

}  // namespace varnolet
