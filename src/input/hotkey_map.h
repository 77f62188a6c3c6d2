// The bytes of the hotkey map hmap.dat, read and written without touching a
// file: bytes in, hotkeys or the reason for rejecting them out; hotkeys in,
// bytes out. The file work around them (open, read, replace, the log lines)
// is the hotkey file's.
//
// Layout (little-endian): EF BB BF, the 12-byte signature, a 32-bit count,
// then per hotkey the flags of key positions 0-47, the Alt, Shift and Ctrl
// flags, a 32-bit byte length N and the identifier in UTF-8 (N bytes).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "input/raw_input.h"
#include "support/utf8.h"

namespace varnolet {

// Identifier texts of the hotkeys that are not bound to an endpoint.
namespace hotkey_id {
inline constexpr char16_t kDisableHotkeys[] = u"{0.0.0.00000000}.{00000000-0000-0000-0000-00000000000H}";
inline constexpr char16_t kNotifications[] = u"{0.0.0.00000000}.{00000000-0000-0000-0000-00000000000N}";
// Marks an Options slot without a hotkey; never written to the file.
inline constexpr char16_t kNone[] = u"{0.0.0.00000000}.{00000000-0000-0000-0000-000000000000}";
}  // namespace hotkey_id

namespace hotkey_file {
inline constexpr std::array<std::uint8_t, 3> kEncoding = {0xEF, 0xBB, 0xBF};
// "ΒΡΝ-ΜΑΠ-ΦΑΙΛ" in code page 1253.
inline constexpr std::array<std::uint8_t, 12> kSignature = {0xC2, 0xD1, 0xCD, 0x2D, 0xCC, 0xC1,
                                                            0xD0, 0x2D, 0xD6, 0xC1, 0xC9, 0xCB};
inline constexpr std::uint32_t kHeaderSize = 19;
inline constexpr std::uint32_t kKeyBytes = 48;         // key positions 0-47
inline constexpr std::uint32_t kFlagBytes = 51;        // the keys, then Alt, Shift, Ctrl
inline constexpr std::uint32_t kFixedRecordSize = 55;  // the flags and N
}  // namespace hotkey_file

// One hotkey as the Options dialog edits it and the map stores it: the
// pattern (key positions 12-47 and the derived modifiers 67, 70 and 73) and
// its own copy of the identifier, so that the slot stays valid when the
// device lists are rebuilt. A slot whose identifier is the none identifier
// holds no hotkey.
struct HotkeySlot {
  DEVICEINPUT pattern;
  std::u16string identifier = hotkey_id::kNone;
};

// Why the bytes of a map were rejected.
enum class HotkeyMapFault {
  None,
  TooShort,        // shorter than the header (and not empty)
  WrongSignature,  // the 12 bytes after the encoding mark are not the signature
  CountTooLarge,   // the count needs more bytes than the map has
  RecordCut,       // a record's identifier runs past the end
};

// Reads a whole map. 0 bytes are a map without hotkeys. On success `hotkeys`
// holds one slot per record, in file order, with only the stored flags set
// (to 1); an identifier that is not UTF-8 becomes empty. On a fault `hotkeys`
// is left as it was. The encoding mark is not checked, and bytes after the
// last record are not looked at.
HotkeyMapFault ReadHotkeyMap(std::span<const std::uint8_t> bytes, Utf8Codec& utf8,
                             std::vector<HotkeySlot>& hotkeys);

// The pieces of a written map in file order, each written with a write of
// its own so that a failed write can say what it was writing.
enum class HotkeyMapField { Encoding, Signature, Count, Flags, Length, Identifier };
struct HotkeyMapPiece {
  HotkeyMapField field;
  std::uint32_t size;
};

// The bytes of a map holding the slots that hold a hotkey, in slot order;
// `pieces`, when given, receives the pieces the bytes are made of.
std::vector<std::uint8_t> WriteHotkeyMap(const std::vector<HotkeySlot>& slots, Utf8Codec& utf8,
                                         std::vector<HotkeyMapPiece>* pieces = nullptr);

}  // namespace varnolet
