// A GUID as the core keeps it: the four fields of the system's GUID structure,
// with the binary layout the map files store (first field 4 bytes, second and
// third 2 bytes each, all three little-endian, then the 8 final bytes).
#pragma once

#include <array>
#include <cstdint>

namespace varnolet {

struct ComGuid {
  std::uint32_t data1 = 0;
  std::uint16_t data2 = 0;
  std::uint16_t data3 = 0;
  std::array<std::uint8_t, 8> data4{};

  friend bool operator==(const ComGuid&, const ComGuid&) = default;

  // All sixteen bytes zero: the GUID of no endpoint (a failed conversion).
  bool IsNull() const {
    return data1 == 0 && data2 == 0 && data3 == 0 && data4 == std::array<std::uint8_t, 8>{};
  }

  std::array<std::uint8_t, 16> Bytes() const {
    std::array<std::uint8_t, 16> bytes{};
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(data1 >> (8 * i));
    for (int i = 0; i < 2; ++i) bytes[4 + i] = static_cast<std::uint8_t>(data2 >> (8 * i));
    for (int i = 0; i < 2; ++i) bytes[6 + i] = static_cast<std::uint8_t>(data3 >> (8 * i));
    for (int i = 0; i < 8; ++i) bytes[8 + i] = data4[i];
    return bytes;
  }

  static ComGuid FromBytes(const std::uint8_t* bytes) {
    ComGuid guid;
    for (int i = 0; i < 4; ++i) guid.data1 |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    guid.data2 = static_cast<std::uint16_t>(bytes[4] | (bytes[5] << 8));
    guid.data3 = static_cast<std::uint16_t>(bytes[6] | (bytes[7] << 8));
    for (int i = 0; i < 8; ++i) guid.data4[i] = bytes[8 + i];
    return guid;
  }
};

// Interface identifiers the process watcher's sink answers to.
namespace com_iid {
// {00000000-0000-0000-C000-000000000046}
inline constexpr ComGuid kIUnknown{
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {7C857801-7381-11CF-884D-00AA004B2E24}
inline constexpr ComGuid kIWbemObjectSink{
    0x7C857801, 0x7381, 0x11CF, {0x88, 0x4D, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};
}  // namespace com_iid

}  // namespace varnolet
