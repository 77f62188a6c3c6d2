// Hotkey map files written out byte by byte, for the tests and the fuzz seeds.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

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

}  // namespace varnolet::test_files
