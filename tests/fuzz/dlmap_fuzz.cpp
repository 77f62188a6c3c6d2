// The dlmap.dat reader on any bytes: it must never read past the end, never
// reserve what the bytes cannot hold, and a map it accepts must be written
// back as the same bytes (bytes after the last record aside) and read back
// as the same links.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "link/device_link_map.h"

using namespace varnolet;

namespace {

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  static const DEVICELINK untouched{ComGuid{1, 2, 3, {}}, u"kept", u"C:\\kept.exe"};
  std::vector<DEVICELINK> links = {untouched};
  if (ReadDeviceLinkMap(bytes, links) != DeviceLinkMapFault::None) {
    Require(links.size() == 1 && links[0] == untouched);  // a rejected map leaves the list as it was
    return 0;
  }
  if (size == 0) {
    Require(links.empty());
    return 0;
  }
  std::vector<DeviceLinkMapPiece> pieces;
  const std::vector<std::uint8_t> written = WriteDeviceLinkMap(links, &pieces);
  Require(written.size() <= size);
  Require(std::equal(written.begin(), written.end(), data));
  std::size_t total = 0;
  for (const DeviceLinkMapPiece& piece : pieces) total += piece.size;
  Require(total == written.size());
  std::vector<DEVICELINK> again;
  Require(ReadDeviceLinkMap(written, again) == DeviceLinkMapFault::None);
  Require(again == links);
  return 0;
}
