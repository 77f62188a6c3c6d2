// The Device Link feature: the map of links (dlmap.dat), the process watcher's
// subscription and the engine that switches when a linked program starts.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "audio/audio_devices.h"
#include "link/device_link_engine.h"
#include "link/device_link_file.h"
#include "link/processes.h"
#include "support/registry.h"

namespace varnolet {

class DeviceLinkFeature {
 public:
  // `setting`: the DeviceLink setting, which this feature changes when it
  // switches Device Link off or applies the dialog's box.
  DeviceLinkFeature(std::int32_t& setting, DeviceSwitch& devices, SwitchAnnouncer& announcer,
                    CProcesses& processes, CDrive& drive, ClsidApi& clsid, ActivityLog& log)
      : setting_(setting),
        processes_(processes),
        drive_(drive),
        log_(log),
        engine_(setting, links_, devices, announcer, processes, clsid, log) {}
  // The watcher outlives this feature, and COM may still deliver a batch
  // while it lets go of its subscription: its callback is cleared first.
  ~DeviceLinkFeature() { processes_.SetCallback({}); }
  DeviceLinkFeature(const DeviceLinkFeature&) = delete;
  DeviceLinkFeature& operator=(const DeviceLinkFeature&) = delete;

  // The map file is <dataPath>\Varnolet 7\Data\dlmap.dat.
  void UseDataPath(const std::u16string& dataPath);
  // Every process-creation batch from now on runs the engine.
  void Listen() {
    processes_.SetCallback([this] { return engine_.DeviceLinkCallback(); });
  }
  // Loads the map, then subscribes or unsubscribes by the setting. False only
  // when the subscription failed; any failure marks the feature failed.
  bool Initialize();
  // Start-up, once the tray icon is visible: Device Link that failed to
  // start while on is off for this run (the registry keeps the user's
  // choice). True when the caller must say so (StringId::DeviceLinkOffAfterFailedLoad).
  bool SwitchOffIfFailed();
  // The Options dialog's OK: the box's state, the dialog's list. Failures
  // show their balloon through `showBalloon` (a text of the string table).
  bool Apply(bool checked, const std::vector<DEVICELINK>& dialogLinks, CRegistry& registry,
             const std::u16string& settingsKey, std::function<void(StringId)> showBalloon);

  // The engine's run on one process-creation batch.
  bool ProcessStarted() { return engine_.DeviceLinkCallback(); }
  const std::vector<DEVICELINK>& Links() const { return links_; }
  bool Failed() const { return failed_; }

 private:
  std::int32_t& setting_;
  CProcesses& processes_;
  CDrive& drive_;
  ActivityLog& log_;
  std::vector<DEVICELINK> links_;
  std::optional<DeviceLinkFile> file_;  // made once the data path is known
  bool failed_ = false;
  // Off for this run only: the registry keeps the user's choice until an OK
  // applies the box ticked.
  bool offForRun_ = false;
  CDeviceLinkEngine engine_;
};

}  // namespace varnolet
