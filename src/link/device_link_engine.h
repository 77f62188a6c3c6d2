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

#include "app/activity_log.h"
#include "audio/endpoints.h"
#include "link/device_link_file.h"
#include "link/processes.h"

namespace varnolet {

// What the engine needs of the main form.
class DeviceLinkHost {
 public:
  virtual ~DeviceLinkHost() = default;
  // UserSettings slot 6.
  virtual std::int32_t DeviceLinkSetting() const = 0;
  // The live list, as last loaded from the map file.
  virtual const std::vector<DEVICELINK>& DeviceLinks() const = 0;
  // The endpoints of each list, in menu order, without a placeholder entry.
  virtual std::span<const DEVICEINFO> PlaybackDevices() const = 0;
  virtual std::span<const DEVICEINFO> RecordingDevices() const = 0;
  // The switching routines, given a position in the list as a menu item's
  // tag gives it: the number of failed calls, 0 on success.
  virtual std::int32_t ChangeDefaultRenderDevice(std::int32_t position) = 0;
  virtual std::int32_t ChangeDefaultCaptureDevice(std::int32_t position) = 0;
  // The endpoint enumerator's last error text.
  virtual std::u16string EnumerationErrorText() const = 0;
  // Executes the UpdatePopupMenu action.
  virtual void UpdatePopupMenu() = 0;
  // Loads a bitmap resource ("IMG_3", "IMG_4") into the single notification's picture.
  virtual void LoadPicture(std::u16string_view resource) = 0;
  // The fading announcements; both show nothing while notifications are disabled.
  virtual void ShowNotification(const std::u16string& text) = 0;
  virtual void ShowLinkNotification(const std::u16string& playback, const std::u16string& recording) = 0;
};

inline constexpr char16_t kPlaybackPicture[] = u"IMG_3";
inline constexpr char16_t kRecordingPicture[] = u"IMG_4";

class CDeviceLinkEngine {
 public:
  CDeviceLinkEngine(DeviceLinkHost& host, CProcesses& processes, ClsidApi& clsid, ActivityLog& log)
      : host_(host), processes_(processes), clsid_(clsid), log_(log) {}

  // The process-creation callback: takes a snapshot and, when its last entry
  // is a linked program, switches and announces. False when the snapshot failed.
  bool DeviceLinkCallback(std::int32_t parameter);

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

  DeviceLinkHost& host_;
  CProcesses& processes_;
  ClsidApi& clsid_;
  ActivityLog& log_;
  // The linked process a run last looked at, by identifier and path: the system
  // reuses identifiers, so the identifier alone does not name one process.
  // Forgotten by the first snapshot that no longer lists it.
  std::optional<ActedOn> actedOn_;
};

}  // namespace varnolet
