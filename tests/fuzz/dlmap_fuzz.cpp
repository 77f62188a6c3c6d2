// The dlmap.dat reader on any bytes: it must never read past the end, never
// reserve what the file cannot hold, close the file, and a map it accepts
// must be written back as the same bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "support/activity_log.h"
#include "fakes/fake_files.h"
#include "fakes/fake_system.h"
#include "link/device_link_file.h"

using namespace varnolet;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fakes::FakeSystem system;
  fakes::FakeFiles files{system};
  CDrive drive{files, system, system};
  ActivityLog log{system, system};
  const std::u16string path = DeviceLinkFile::MapPath(u"C:\\Data");
  files.AddFolder(u"C:\\Data\\Varnolet 7\\Data");
  files.AddFile(path, std::vector<std::uint8_t>(data, data + size));

  DeviceLinkFile map{log, drive, path};
  std::vector<DEVICELINK> links;
  const bool loaded = map.LoadDeviceLinks(links);
  if (files.OpenHandleCount() != 0) __builtin_trap();
  // The fake files never fail: a load fails only by rejecting the bytes.
  if (!loaded && !map.LastLoadRejected()) __builtin_trap();
  if (loaded && size > 0) {
    if (!map.SaveDeviceLinks(links)) __builtin_trap();
    const std::vector<std::uint8_t> saved = files.Bytes(path).value_or(std::vector<std::uint8_t>{});
    if (saved.size() > size) __builtin_trap();
    for (std::size_t i = 0; i < saved.size(); ++i)
      if (saved[i] != data[i]) __builtin_trap();
  }
  return 0;
}
