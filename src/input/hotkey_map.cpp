#include "input/hotkey_map.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace varnolet {

namespace {

// The file positions of the modifier bytes after the 48 key flags.
constexpr int kStoredModifiers[] = {key::kAlt, key::kShift, key::kCtrl};

std::uint32_t LittleEndian32(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
         (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

void AppendLittleEndian32(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

bool HoldsHotkey(const HotkeySlot& slot) {
  return slot.identifier != hotkey_id::kNone;
}

}  // namespace

HotkeyMapFault ReadHotkeyMap(std::span<const std::uint8_t> bytes, Utf8Codec& utf8,
                             std::vector<HotkeySlot>& hotkeys) {
  if (bytes.empty()) {
    hotkeys.clear();
    return HotkeyMapFault::None;
  }
  if (bytes.size() < hotkey_file::kHeaderSize) return HotkeyMapFault::TooShort;
  // The encoding bytes are not checked: a map with other first bytes still loads.
  const std::span<const std::uint8_t> signature = bytes.subspan(hotkey_file::kEncoding.size(), 12);
  if (!std::equal(signature.begin(), signature.end(), hotkey_file::kSignature.begin()))
    return HotkeyMapFault::WrongSignature;
  const std::uint32_t count = LittleEndian32(bytes.data() + 15);

  // Every record takes at least 55 bytes: a count the map cannot hold is
  // refused before anything is reserved for it.
  std::span<const std::uint8_t> rest = bytes.subspan(hotkey_file::kHeaderSize);
  if (count > rest.size() / hotkey_file::kFixedRecordSize) return HotkeyMapFault::CountTooLarge;

  std::vector<HotkeySlot> read;
  read.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    if (rest.size() < hotkey_file::kFixedRecordSize) return HotkeyMapFault::RecordCut;
    const std::uint8_t* flags = rest.data();
    const std::uint32_t length = LittleEndian32(flags + hotkey_file::kFlagBytes);
    rest = rest.subspan(hotkey_file::kFixedRecordSize);
    if (length > rest.size()) return HotkeyMapFault::RecordCut;

    HotkeySlot& slot = read.emplace_back();
    auto& keys = slot.pattern.keyboard.keys;
    for (std::uint32_t k = 0; k < hotkey_file::kKeyBytes; ++k) keys[k] = flags[k] != 0 ? 1 : 0;
    for (std::uint32_t m = 0; m < 3; ++m)
      keys[static_cast<std::size_t>(kStoredModifiers[m])] = flags[hotkey_file::kKeyBytes + m] != 0 ? 1 : 0;
    const std::string_view identifier(reinterpret_cast<const char*>(rest.data()), length);
    if (!utf8.Decode(identifier, slot.identifier)) slot.identifier.clear();  // not UTF-8: an empty identifier
    rest = rest.subspan(length);
  }
  hotkeys = std::move(read);
  return HotkeyMapFault::None;
}

std::vector<std::uint8_t> WriteHotkeyMap(const std::vector<HotkeySlot>& slots, Utf8Codec& utf8,
                                         std::vector<HotkeyMapPiece>* pieces) {
  std::vector<std::uint8_t> bytes;
  std::vector<HotkeyMapPiece> made;
  // Each piece covers the bytes appended since the one before.
  std::size_t pieceStart = 0;
  const auto endPiece = [&](HotkeyMapField field) {
    made.push_back({field, static_cast<std::uint32_t>(bytes.size() - pieceStart)});
    pieceStart = bytes.size();
  };

  const auto count = static_cast<std::uint32_t>(std::count_if(slots.begin(), slots.end(), HoldsHotkey));
  bytes.insert(bytes.end(), hotkey_file::kEncoding.begin(), hotkey_file::kEncoding.end());
  endPiece(HotkeyMapField::Encoding);
  bytes.insert(bytes.end(), hotkey_file::kSignature.begin(), hotkey_file::kSignature.end());
  endPiece(HotkeyMapField::Signature);
  AppendLittleEndian32(bytes, count);
  endPiece(HotkeyMapField::Count);

  for (const HotkeySlot& slot : slots) {
    if (!HoldsHotkey(slot)) continue;
    const auto& keys = slot.pattern.keyboard.keys;
    for (std::uint32_t i = 0; i < hotkey_file::kKeyBytes; ++i) bytes.push_back(keys[i] != 0 ? 1 : 0);
    for (const int modifier : kStoredModifiers)
      bytes.push_back(keys[static_cast<std::size_t>(modifier)] != 0 ? 1 : 0);
    endPiece(HotkeyMapField::Flags);

    const std::string identifier = utf8.Encode(slot.identifier);
    AppendLittleEndian32(bytes, static_cast<std::uint32_t>(identifier.size()));
    endPiece(HotkeyMapField::Length);
    bytes.insert(bytes.end(), identifier.begin(), identifier.end());
    endPiece(HotkeyMapField::Identifier);
  }
  if (pieces != nullptr) *pieces = std::move(made);
  return bytes;
}

}  // namespace varnolet
