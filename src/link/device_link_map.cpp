#include "link/device_link_map.h"

#include <algorithm>
#include <utility>

namespace varnolet {

namespace {

constexpr std::uint64_t kSmallestRecord = 24;  // GUID and two lengths, both strings empty
constexpr std::uint32_t kGuidSize = 16;

std::uint32_t FromLittleEndian(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

void AppendLittleEndian(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

}  // namespace

DeviceLinkMapFault ReadDeviceLinkMap(std::span<const std::uint8_t> bytes, std::vector<DEVICELINK>& links) {
  if (bytes.empty()) {
    links.clear();
    return DeviceLinkMapFault::None;
  }
  if (bytes.size() < device_link_map::kSmallestMap) return DeviceLinkMapFault::TooShort;
  if (!std::equal(device_link_map::kSignature.begin(), device_link_map::kSignature.end(), bytes.begin()))
    return DeviceLinkMapFault::WrongSignature;
  const std::uint32_t count = FromLittleEndian(bytes.data() + 3);
  std::span<const std::uint8_t> rest = bytes.subspan(device_link_map::kSmallestMap);
  if (count > rest.size() / kSmallestRecord) return DeviceLinkMapFault::CountTooLarge;

  // Every step below takes only bytes that are known to be there.
  std::vector<DEVICELINK> read;
  read.reserve(count);
  for (std::uint32_t record = 0; record < count; ++record) {
    DEVICELINK& link = read.emplace_back();
    if (rest.size() < kGuidSize) return DeviceLinkMapFault::RecordCut;
    link.endpoint = ComGuid::FromBytes(rest.data());
    rest = rest.subspan(kGuidSize);
    for (std::u16string* text : {&link.productName, &link.programPath}) {
      if (rest.size() < 4) return DeviceLinkMapFault::RecordCut;
      const std::uint32_t length = FromLittleEndian(rest.data());
      rest = rest.subspan(4);
      if (length > rest.size() / 2) return DeviceLinkMapFault::RecordCut;
      text->resize(length);
      for (std::uint32_t i = 0; i < length; ++i)
        (*text)[i] = static_cast<char16_t>(rest[2 * i] | (rest[2 * i + 1] << 8));
      rest = rest.subspan(2 * std::size_t{length});
    }
  }
  links = std::move(read);
  return DeviceLinkMapFault::None;
}

std::vector<std::uint8_t> WriteDeviceLinkMap(const std::vector<DEVICELINK>& links,
                                             std::vector<DeviceLinkMapPiece>* pieces) {
  std::vector<std::uint8_t> bytes;
  std::vector<DeviceLinkMapPiece> made;
  // Each piece covers the bytes appended since the one before.
  std::size_t pieceStart = 0;
  const auto endPiece = [&](DeviceLinkMapField field) {
    made.push_back({field, static_cast<std::uint32_t>(bytes.size() - pieceStart)});
    pieceStart = bytes.size();
  };

  bytes.insert(bytes.end(), device_link_map::kSignature.begin(), device_link_map::kSignature.end());
  endPiece(DeviceLinkMapField::Signature);
  AppendLittleEndian(bytes, static_cast<std::uint32_t>(links.size()));
  endPiece(DeviceLinkMapField::Data);
  for (const DEVICELINK& link : links) {
    const auto guid = link.endpoint.Bytes();
    bytes.insert(bytes.end(), guid.begin(), guid.end());
    endPiece(DeviceLinkMapField::Data);
    for (const std::u16string* text : {&link.productName, &link.programPath}) {
      AppendLittleEndian(bytes, static_cast<std::uint32_t>(text->size()));
      endPiece(DeviceLinkMapField::Data);
      if (text->empty()) continue;  // a length of 0 and no code units
      for (const char16_t unit : *text) {
        bytes.push_back(static_cast<std::uint8_t>(unit));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
      }
      endPiece(DeviceLinkMapField::Data);
    }
  }
  if (pieces != nullptr) *pieces = std::move(made);
  return bytes;
}

}  // namespace varnolet
