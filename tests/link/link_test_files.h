// Device-link map files written out byte by byte, for the map tests, the map
// file tests and the fuzz seeds.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "link/device_link_map.h"

namespace varnolet::test_files {

using Bytes = std::vector<std::uint8_t>;

inline Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// The one-link example: render endpoint {00112233-4455-6677-8899-AABBCCDDEEFF}, "Ab", C:\x.exe.
inline const Bytes kOneLink = {0xB1, 0xB2, 0xB3, 0x01, 0x00, 0x00, 0x00, 0x33, 0x22, 0x11, 0x00, 0x55, 0x44,
                               0x77, 0x66, 0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0x02, 0x00, 0x00,
                               0x00, 0x41, 0x00, 0x62, 0x00, 0x08, 0x00, 0x00, 0x00, 0x43, 0x00, 0x3A, 0x00,
                               0x5C, 0x00, 0x78, 0x00, 0x2E, 0x00, 0x65, 0x00, 0x78, 0x00, 0x65, 0x00};
inline const Bytes kEmptyList = {0xB1, 0xB2, 0xB3, 0x00, 0x00, 0x00, 0x00};
// The GUID bytes of the one-link example's endpoint.
inline const Bytes kRecordHead = {0x33, 0x22, 0x11, 0x00, 0x55, 0x44, 0x77, 0x66,
                                  0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};

// Maps whose bytes are rejected, and why.
struct DamagedLinkMap {
  const char* name;
  Bytes bytes;
  DeviceLinkMapFault fault;
};

inline std::vector<DamagedLinkMap> DamagedLinkMaps() {
  using F = DeviceLinkMapFault;
  const Bytes oneRecord = {0xB1, 0xB2, 0xB3, 0x01, 0x00, 0x00, 0x00};
  return {
      {"OneByte", {0xB1}, F::TooShort},
      {"TwoBytes", {0xB1, 0xB2}, F::TooShort},
      {"ThreeBytes", {0xB1, 0xB2, 0xB3}, F::TooShort},
      {"FourBytes", {0xB1, 0xB2, 0xB3, 0x00}, F::TooShort},
      {"FiveBytes", {0xB1, 0xB2, 0xB3, 0x00, 0x00}, F::TooShort},
      {"SixBytes", {0xB1, 0xB2, 0xB3, 0x00, 0x00, 0x00}, F::TooShort},
      {"Utf8Mark", {0xEF, 0xBB, 0xBF, 0x00, 0x00, 0x00, 0x00}, F::WrongSignature},
      {"OtherSignature", {0xB1, 0xB2, 0xB4, 0x00, 0x00, 0x00, 0x00, 0x01}, F::WrongSignature},
      {"CountWithNoRecord", oneRecord, F::CountTooLarge},
      {"HugeCount", Concat({{0xB1, 0xB2, 0xB3, 0xFF, 0xFF, 0xFF, 0xFF}, kRecordHead, Bytes(8, 0)}),
       F::CountTooLarge},
      {"ShortRecord", Concat({oneRecord, kRecordHead, {0x00}}), F::CountTooLarge},
      {"NameLongerThanTheFile", Concat({oneRecord, kRecordHead, {0x64, 0, 0, 0, 0x41, 0, 0, 0, 0, 0}}),
       F::RecordCut},
      {"HugeNameLength", Concat({oneRecord, kRecordHead, {0xFF, 0xFF, 0xFF, 0xFF}, Bytes(4, 0)}),
       F::RecordCut},
      {"PathLongerThanTheFile",
       Concat({oneRecord, kRecordHead, {0x01, 0, 0, 0, 0x41, 0}, {0x09, 0, 0, 0, 0x43, 0, 0x3A, 0}}),
       F::RecordCut},
      {"NoPathLength", Concat({oneRecord, kRecordHead, {0x02, 0, 0, 0, 0x41, 0, 0x62, 0, 0x00, 0x00}}),
       F::RecordCut},
      {"SecondRecordMissing",
       Concat({{0xB1, 0xB2, 0xB3, 0x02, 0x00, 0x00, 0x00},
               kRecordHead,
               {0x10, 0, 0, 0},
               Bytes(32, 0x41),
               {0x00, 0, 0, 0},
               Bytes(4, 0)}),
       F::RecordCut},
  };
}

}  // namespace varnolet::test_files
