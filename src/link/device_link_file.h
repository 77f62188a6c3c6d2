// The device-link map file dlmap.dat: the writer and the reader that keep the
// DEVICELINK records between runs (their bytes are link/device_link_map.h's),
// the device-link initialisation (load the file, then subscribe to or
// unsubscribe from process-creation events), the device-link part of the
// Options dialog's apply step, and the endpoint identifier to GUID
// conversion.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "support/activity_log.h"
#include "link/com_guid.h"
#include "link/device_link_map.h"
#include "link/processes.h"
#include "support/file.h"
#include "support/registry.h"
#include "support/string_id.h"

namespace varnolet {

// Port: CLSIDFromString.
class ClsidApi {
 public:
  virtual ~ClsidApi() = default;
  // The COM result code; the GUID is written on success.
  virtual std::int32_t ClsidFromText(const std::u16string& text, ComGuid* guid) = 0;
};

namespace clsid_status {
inline constexpr std::int32_t kClassString = static_cast<std::int32_t>(0x800401F3u);  // CO_E_CLASSSTRING
inline constexpr std::int32_t kClassNotRegistered =
    static_cast<std::int32_t>(0x80040154u);                                            // REGDB_E_CLASSNOTREG
inline constexpr std::int32_t kReadRegistry = static_cast<std::int32_t>(0x80040150u);  // REGDB_E_READREGDB
}  // namespace clsid_status

// Characters of "{0.0.0.00000000}." before an endpoint identifier's GUID.
inline constexpr std::size_t kEndpointIdPrefixLength = 17;

// The GUID of an endpoint identifier ("{0.0.0.00000000}.{GUID}" or
// "{0.0.1.00000000}.{GUID}"). A failed conversion adds its line to the
// activity log and gives the all-zero GUID, which matches no link. An
// identifier with nothing after its prefix converts as an improperly
// formatted class string without calling the system.
ComGuid EndpointIdToGuid(const std::u16string& endpointId, ClsidApi& clsid, ActivityLog& log);

// Reads and writes dlmap.dat through the one file object of `drive`; every
// step writes its lines to the activity log.
class DeviceLinkFile {
 public:
  // `path`: the map file, <data path>\Varnolet 7\Data\dlmap.dat (MapPath).
  DeviceLinkFile(ActivityLog& log, CDrive& drive, std::u16string path);

  static std::u16string MapPath(const std::u16string& dataPath);
  const std::u16string& Path() const { return path_; }
  // Where a damaged map is kept before the file is reset.
  std::u16string DamagedPath() const { return path_ + u".bad"; }
  // Where the writer builds the new map before it replaces the file.
  std::u16string PendingPath() const { return path_ + kReplacementSuffix; }

  // Writes the links to a new file beside the map and replaces the map with
  // it only when every byte was written; a failed save leaves the map as it was.
  bool SaveDeviceLinks(std::vector<DEVICELINK> links);

  // Reads the map into `links`. The file is never trusted: a count or a
  // length that the bytes left cannot hold fails the load before anything is
  // reserved or read. `links` changes only when the load succeeds (and not
  // for a 0-byte file).
  bool LoadDeviceLinks(std::vector<DEVICELINK>& links);

  // Whether the last failed load read the file's bytes and rejected them
  // (false when the file could not be opened, sized or read).
  bool LastLoadRejected() const { return lastLoadRejected_; }

  ActivityLog& Log() { return log_; }
  // The file layer's last error text.
  std::u16string FileErrorText() const { return drive_.GetLastErrorText(); }

  // Loads the map into `links`, then subscribes to process-creation events
  // when `deviceLinkSetting` is non-zero or unsubscribes when it is 0. A
  // rejected map is kept as dlmap.dat.bad and the map reset to 0 bytes; any
  // failed load or failed subscription sets `failed`. False only when the
  // subscription failed.
  bool InitializeDeviceLink(std::int32_t deviceLinkSetting, CProcesses& processes, bool& failed,
                            std::vector<DEVICELINK>& links);

 private:
  enum class Load { Loaded, Empty, NotRead, Rejected };
  Load Read(std::vector<DEVICELINK>& links);
  bool WriteAll(const std::vector<std::uint8_t>& bytes, const std::vector<DeviceLinkMapPiece>& pieces);
  void KeepDamagedMap();

  ActivityLog& log_;
  CDrive& drive_;
  std::u16string path_;
  bool lastLoadRejected_ = false;
};

// The device-link part of the Options dialog's OK (SaveDeviceLink).
struct DeviceLinkApply {
  bool checked;                                // checkDeviceLink
  const std::vector<DEVICELINK>& dialogLinks;  // the dialog's working list
  std::int32_t& deviceLinkSetting;             // the DeviceLink setting
  std::function<bool()> initializeDeviceLink;  // DeviceLinkFeature::Initialize
  CRegistry& registry;
  std::u16string settingsKey;                 // under HKEY_CURRENT_USER
  std::function<void(StringId)> showBalloon;  // tray balloon with a string-table text
  bool writeSetting = true;                   // false: the registry value is left as it is
};

// The DeviceLink setting takes the check box's state; the dialog's list is saved to the map
// and Device Link initialised again; only then is "DeviceLink" written to the
// registry (unless writeSetting is false). A failure shows its balloon and
// ends the step. True when the step got through.
bool SaveDeviceLink(DeviceLinkFile& file, const DeviceLinkApply& apply);

// Start-up, once the tray icon is visible: Device Link that failed to start
// while its setting is 1 is switched off for this run (the registry keeps 1)
// and initialised again, which unsubscribes. True when the caller must show
// the balloon StringId::DeviceLinkOffAfterFailedLoad.
bool SwitchOffFailedDeviceLink(bool failed, std::int32_t& deviceLinkSetting,
                               const std::function<bool()>& initializeDeviceLink);

}  // namespace varnolet
