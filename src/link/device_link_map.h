// The bytes of the device-link map dlmap.dat, read and written without
// touching a file: bytes in, links or the reason for rejecting them out;
// links in, bytes out. The file work around them (open, read, replace, the
// log lines) is the device-link file's.
//
// Layout: signature B1 B2 B3, N (unsigned 32-bit little-endian), then N
// records: the endpoint GUID (16 bytes, binary GUID layout), L1, L1 UTF-16LE
// code units of the product name, L2, L2 code units of the program path.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "link/com_guid.h"

namespace varnolet {

// One audio endpoint linked to one program.
struct DEVICELINK {
  ComGuid endpoint;            // the endpoint GUID (see EndpointIdToGuid)
  std::u16string productName;  // "ProductName" of the program's version resource, or empty
  std::u16string programPath;  // full path of the program's executable
  friend bool operator==(const DEVICELINK&, const DEVICELINK&) = default;
};

namespace device_link_map {
inline constexpr std::array<std::uint8_t, 3> kSignature = {0xB1, 0xB2, 0xB3};
inline constexpr std::uint32_t kSmallestMap = 7;  // signature and count
}  // namespace device_link_map

// Why the bytes of a map were rejected.
enum class DeviceLinkMapFault {
  None,
  TooShort,        // fewer bytes than the signature and the count (and not empty)
  WrongSignature,  // the first three bytes are not the signature
  CountTooLarge,   // the count needs more bytes than the map has
  RecordCut,       // a record runs past the end
};

// Reads a whole map. 0 bytes are a map without links. On success `links`
// holds the records in file order; on a fault it is left as it was. Bytes
// after the last record are not looked at.
DeviceLinkMapFault ReadDeviceLinkMap(std::span<const std::uint8_t> bytes, std::vector<DEVICELINK>& links);

// The pieces of a written map in file order, each written with a write of
// its own; an empty text is its length alone, without a piece of its own.
enum class DeviceLinkMapField { Signature, Data };
struct DeviceLinkMapPiece {
  DeviceLinkMapField field;
  std::uint32_t size;
};

// The bytes of a map holding `links` in order; `pieces`, when given,
// receives the pieces the bytes are made of.
std::vector<std::uint8_t> WriteDeviceLinkMap(const std::vector<DEVICELINK>& links,
                                             std::vector<DeviceLinkMapPiece>* pieces = nullptr);

}  // namespace varnolet
