// Hotkey map files written out byte by byte, for the map tests, the map file
// tests and the fuzz seeds.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "input/hotkey_map.h"

namespace varnolet::test_files {

// The encoding mark, the signature and a record count.
inline std::vector<std::uint8_t> Header(std::uint32_t count) {
  return {0xEF,
          0xBB,
          0xBF,
          0xC2,
          0xD1,
          0xCD,
          0x2D,
          0xCC,
          0xC1,
          0xD0,
          0x2D,
          0xD6,
          0xC1,
          0xC9,
          0xCB,
          static_cast<std::uint8_t>(count),
          static_cast<std::uint8_t>(count >> 8),
          static_cast<std::uint8_t>(count >> 16),
          static_cast<std::uint8_t>(count >> 24)};
}

// Appends one record: the flags of key positions 0-47, Alt, Shift, Ctrl, N and the identifier.
inline void Record(std::vector<std::uint8_t>& bytes, std::initializer_list<int> keys, std::uint8_t alt,
                   std::uint8_t shift, std::uint8_t ctrl, const std::string& identifier) {
  std::vector<std::uint8_t> flags(48, 0);
  for (int key : keys) flags[static_cast<std::size_t>(key)] = 1;
  bytes.insert(bytes.end(), flags.begin(), flags.end());
  bytes.push_back(alt);
  bytes.push_back(shift);
  bytes.push_back(ctrl);
  const auto length = static_cast<std::uint32_t>(identifier.size());
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(length >> (8 * i)));
  bytes.insert(bytes.end(), identifier.begin(), identifier.end());
}

// An ASCII text as bytes.
inline std::string Narrow(std::u16string_view ascii) {
  return std::string(ascii.begin(), ascii.end());
}

enum Sample { kEmptyMap, kCtrlShiftVNotifications };

inline std::vector<std::uint8_t> Bytes(Sample sample) {
  std::vector<std::uint8_t> bytes = Header(sample == kEmptyMap ? 0 : 1);
  if (sample == kCtrlShiftVNotifications)
    Record(bytes, {42}, 0, 1, 1, "{0.0.0.00000000}.{00000000-0000-0000-0000-00000000000N}");
  return bytes;
}

// Maps whose bytes are rejected, and why.
struct DamagedHotkeyMap {
  const char* name;
  std::vector<std::uint8_t> bytes;
  HotkeyMapFault fault;
};

inline std::vector<DamagedHotkeyMap> DamagedHotkeyMaps() {
  using F = HotkeyMapFault;
  const std::string notifications = "{0.0.0.00000000}.{00000000-0000-0000-0000-00000000000N}";
  std::vector<DamagedHotkeyMap> cases;
  cases.push_back({"TenBytes", std::vector<std::uint8_t>(10, 0x41), F::TooShort});
  std::vector<std::uint8_t> noCount = Bytes(kEmptyMap);
  noCount.resize(17);
  cases.push_back({"HeaderWithoutItsCount", noCount, F::TooShort});
  std::vector<std::uint8_t> signature = Bytes(kEmptyMap);
  signature[14] = 0xCC;
  cases.push_back({"WrongSignature", signature, F::WrongSignature});
  // Two records declared, the map ends inside the first.
  std::vector<std::uint8_t> twoDeclared = Header(2);
  Record(twoDeclared, {key::kLetterA}, 1, 0, 0, notifications);
  twoDeclared.resize(19 + 30);
  cases.push_back({"DeclaresTwoEndsInsideTheFirst", twoDeclared, F::CountTooLarge});
  // A count the size cannot hold, though the first record is whole.
  std::vector<std::uint8_t> count = Header(2);
  Record(count, {key::kLetterA}, 1, 0, 0, "abc");
  cases.push_back({"CountTheSizeCannotHold", count, F::CountTooLarge});
  std::vector<std::uint8_t> huge = Header(0xFFFFFFFFu);
  Record(huge, {key::kLetterA}, 1, 0, 0, "abc");
  cases.push_back({"HugeCount", huge, F::CountTooLarge});
  // The identifier runs past the end: no phantom hotkey from stale bytes.
  std::vector<std::uint8_t> cut = Header(1);
  Record(cut, {key::kLetterA}, 1, 0, 0, notifications);
  cut.resize(cut.size() - 1);
  cases.push_back({"IdentifierPastTheEnd", cut, F::RecordCut});
  std::vector<std::uint8_t> hugeLength = Header(1);
  Record(hugeLength, {key::kLetterA}, 1, 0, 0, "abcd");
  hugeLength[19 + 51] = 0xF0, hugeLength[19 + 52] = 0xFF, hugeLength[19 + 53] = 0xFF,
                  hugeLength[19 + 54] = 0xFF;
  cases.push_back({"HugeLength", hugeLength, F::RecordCut});
  // The second record is cut short inside its identifier.
  std::vector<std::uint8_t> second = Header(2);
  Record(second, {key::kLetterA}, 1, 0, 0, "abcdefgh");
  Record(second, {key::kLetterA + 1}, 1, 0, 0, std::string(100, 'x'));
  second.resize(second.size() - 90);
  cases.push_back({"SecondRecordCutShort", second, F::RecordCut});
  return cases;
}

}  // namespace varnolet::test_files
