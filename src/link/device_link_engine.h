// The device-link engine: when a linked program starts, its linked playback
// and/or recording endpoint becomes the default, as if picked in the tray
// menu, and the switch is announced.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "support/activity_log.h"
#include "audio/audio_devices.h"
#include "link/device_link_file.h"
#include "link/processes.h"

namespace varnolet {

class CDeviceLinkEngine {
 public:
  // `setting`: the DeviceLink setting; `links`: the live list, as last
  // loaded from the map file. Both are read at each run.
  CDeviceLinkEngine(const std::int32_t& setting, const std::vector<DEVICELINK>& links, DeviceSwitch& devices,
                    SwitchAnnouncer& announcer, CProcesses& processes, ClsidApi& clsid, ActivityLog& log)
      : setting_(setting),
        links_(links),
        devices_(devices),
        announcer_(announcer),
        processes_(processes),
        clsid_(clsid),
        log_(log) {}

  // The process-creation callback: takes a snapshot and, when its last entry
  // is a linked program, switches and announces. False when the snapshot failed.
  bool DeviceLinkCallback();

 private:
  struct ActedOn {
    std::uint32_t id = 0;
    std::u16string path;
  };
  // Whether the snapshot lists that process.
  static bool Lists(const PROCESSESINFO& snapshot, const ActedOn& process);
  // Position of the endpoint whose GUID is `endpoint` in `devices`, or -1.
  std::int32_t Find(const ComGuid& endpoint, std::span<const DEVICEINFO> devices);
  // Switches one endpoint and, when that worked, announces it alone.
  void SwitchOne(bool render, std::int32_t position);
  bool Switch(bool render, std::int32_t position);

  const std::int32_t& setting_;
  const std::vector<DEVICELINK>& links_;
  DeviceSwitch& devices_;
  SwitchAnnouncer& announcer_;
  CProcesses& processes_;
  ClsidApi& clsid_;
  ActivityLog& log_;
  // The linked process a run last looked at, by identifier and path: the system
  // reuses identifiers, so the identifier alone does not name one process.
  // Forgotten by the first snapshot that no longer lists it.
  std::optional<ActedOn> actedOn_;
};

}  // namespace varnolet
