#include "link/device_link_file.h"

#include <utility>

namespace varnolet {

// ------------------------------------------------------- EndpointIdToGuid

ComGuid EndpointIdToGuid(const std::u16string& endpointId, ClsidApi& clsid, ActivityLog& log) {
  ComGuid guid;
  // An identifier with no GUID after its prefix is no class string at all.
  std::int32_t result = clsid_status::kClassString;
  if (endpointId.size() > kEndpointIdPrefixLength)
    result = clsid.ClsidFromText(endpointId.substr(kEndpointIdPrefixLength), &guid);
  if (result == 0) return guid;

  switch (result) {
    case clsid_status::kClassString:
      log.AddLog(u"  -Could not convert CLSID string, The class string was improperly formatted");
      break;
    case clsid_status::kClassNotRegistered:
      log.AddLog(u"  -Could not convert CLSID string, The CLSID was not found in the registry");
      break;
    case clsid_status::kReadRegistry:
      log.AddLog(u"  -Could not convert CLSID string, The registry could not be opened for reading");
      break;
    default:
      log.AddLog(u"  -Could not convert CLSID string, Unknown error");
      break;
  }
  return ComGuid{};  // names no endpoint
}

// --------------------------------------------------------- DeviceLinkFile

DeviceLinkFile::DeviceLinkFile(ActivityLog& log, CDrive& drive, std::u16string path)
    : log_(log), drive_(drive), path_(std::move(path)) {}

std::u16string DeviceLinkFile::MapPath(const std::u16string& dataPath) {
  return dataPath + u"\\Varnolet 7\\Data\\dlmap.dat";
}

bool DeviceLinkFile::WriteAll(const std::vector<std::uint8_t>& bytes,
                              const std::vector<DeviceLinkMapPiece>& pieces) {
  CFile& file = drive_.Directory.File;
  std::size_t offset = 0;
  for (const DeviceLinkMapPiece& piece : pieces) {
    if (!file.Write(bytes.data() + offset, piece.size, FileOrigin::Current, ByteOrderMark::None)) {
      log_.AddLog(piece.field == DeviceLinkMapField::Signature
                      ? u"  -Could not write signature to device link configuration file, "
                      : u"  -Could not write data to device link configuration file, ",
                  drive_.GetLastErrorText());
      return false;
    }
    offset += piece.size;
  }
  return true;
}

bool DeviceLinkFile::SaveDeviceLinks(std::vector<DEVICELINK> links) {
  std::vector<DeviceLinkMapPiece> pieces;
  const std::vector<std::uint8_t> bytes = WriteDeviceLinkMap(links, &pieces);
  switch (ReplaceSafely(drive_.Directory.File, path_, [&] { return WriteAll(bytes, pieces); })) {
    case ReplaceStep::Done:
      return true;
    case ReplaceStep::Create:
      log_.AddLog(u"  -Could not create device link configuration file, ", drive_.GetLastErrorText());
      break;
    case ReplaceStep::Content:  // WriteAll added the line
      break;
    case ReplaceStep::Close:
      log_.AddLog(u"  -Could not close device link configuration file, ", drive_.GetLastErrorText());
      break;
    case ReplaceStep::Replace:
      log_.AddLog(u"  -Could not replace device link configuration file, ", drive_.GetLastErrorText());
      break;
  }
  return false;
}

DeviceLinkFile::Load DeviceLinkFile::Read(std::vector<DEVICELINK>& links) {
  CFile& file = drive_.Directory.File;
  if (!file.Open(path_)) {
    log_.AddLog(u"  -Could not open device link configuration file, ", drive_.GetLastErrorText());
    return Load::NotRead;
  }
  std::uint32_t size = 0;
  if (!file.Size(size)) {
    log_.AddLog(u"  -Could not determine device link configuration file size, ", drive_.GetLastErrorText());
    file.Close();
    return Load::NotRead;
  }
  if (size == 0) {
    log_.AddLog(u"  -Device link configuration file is empty");
    file.Close();
    return Load::Empty;
  }
  const auto rejectFormat = [&] {
    log_.AddLog(u"  -Device link configuration file has an invalid format");
    file.Close();
    return Load::Rejected;
  };
  if (size < device_link_map::kSmallestMap) return rejectFormat();

  // The signature, then the rest in one read.
  std::vector<std::uint8_t> bytes(size);
  constexpr std::uint32_t kSignatureSize = device_link_map::kSignature.size();
  if (!file.Read(bytes.data(), kSignatureSize, FileOrigin::Current)) {
    log_.AddLog(u"  -Could not read evice link configuration file signature, ", drive_.GetLastErrorText());
    file.Close();
    return Load::NotRead;
  }
  if (!file.Read(bytes.data() + kSignatureSize, size - kSignatureSize, FileOrigin::Current)) {
    file.Close();
    return Load::NotRead;
  }

  std::vector<DEVICELINK> loaded;
  switch (ReadDeviceLinkMap(bytes, loaded)) {
    case DeviceLinkMapFault::None:
      break;
    case DeviceLinkMapFault::WrongSignature:
      log_.AddLog(u"  -Could not verify file signature, ", drive_.GetLastErrorText());
      file.Close();
      return Load::Rejected;
    case DeviceLinkMapFault::TooShort:
    case DeviceLinkMapFault::CountTooLarge:
    case DeviceLinkMapFault::RecordCut:
      return rejectFormat();
  }
  if (!file.Close()) {
    log_.AddLog(u" --Could not close device link configuration file, ", drive_.GetLastErrorText());
    return Load::NotRead;
  }
  links = std::move(loaded);
  return Load::Loaded;
}

bool DeviceLinkFile::LoadDeviceLinks(std::vector<DEVICELINK>& links) {
  // A load that fails leaves the caller's list as it was.
  const Load result = Read(links);
  lastLoadRejected_ = result == Load::Rejected;
  return result == Load::Loaded || result == Load::Empty;
}

void DeviceLinkFile::KeepDamagedMap() {
  if (drive_.Directory.File.Replace(path_, DamagedPath()))
    log_.AddLog(u"  -Damaged device link configuration file kept as ", DamagedPath());
  else
    log_.AddLog(u"  -Could not keep damaged device link configuration file, ", drive_.GetLastErrorText());
}

bool DeviceLinkFile::InitializeDeviceLink(std::int32_t deviceLinkSetting, CProcesses& processes, bool& failed,
                                          std::vector<DEVICELINK>& links) {
  log_.AddLog(u"Initializing device link setting . . .");
  if (LoadDeviceLinks(links)) {
    log_.AddLog(u"  -Device link configuration file loaded");
  } else {
    log_.AddLog(u"  -Could not load device link configuration file, ", drive_.GetLastErrorText());
    // Only a map whose bytes were read and rejected is reset; one that could
    // not be opened or read may be fine and is left alone.
    if (lastLoadRejected_) {
      KeepDamagedMap();
      CFile& file = drive_.Directory.File;
      if (!file.Truncate(path_))
        log_.AddLog(u"  -Could not reset device link configuration file, ", drive_.GetLastErrorText());
      else if (!file.Close())
        log_.AddLog(u"  -Could not close device link configuration file, ", drive_.GetLastErrorText());
    }
    failed = true;
  }

  if (deviceLinkSetting == 0) {
    log_.AddLog(u"  -Disabled");
    processes.UnRegister();
    log_.AddLog(u"  -Unregistered from receiving new process notification");
    return true;
  }
  log_.AddLog(u"  -Enabled");
  if (!processes.Notify()) {
    log_.AddLog(u"  -Could not register to receive process notifications, ", processes.GetLastErrorText());
    failed = true;
    return false;
  }
  log_.AddLog(u"  -Registered for receiving new process notification");
  return true;
}

// ------------------------------------------------------ the apply steps

bool SaveDeviceLink(DeviceLinkFile& file, const DeviceLinkApply& apply) {
  apply.deviceLinkSetting = apply.checked ? 1 : 0;
  if (!file.SaveDeviceLinks(apply.dialogLinks)) {
    file.Log().AddLog(u"  -Could not save device link configuration file, ", file.FileErrorText());
    // Also when Device Link is being turned off: the user's edits are lost.
    apply.showBalloon(StringId::CouldNotLoadDeviceLinkMap);
    return false;
  }
  if (!apply.initializeDeviceLink()) {
    apply.showBalloon(StringId::CouldNotLoadDeviceLinkMap);
    return false;
  }
  if (!apply.writeSetting) return true;
  if (!apply.registry.SetValue(reg::kCurrentUser, apply.settingsKey, u"DeviceLink",
                               static_cast<std::uint32_t>(apply.deviceLinkSetting))) {
    file.Log().AddLog(u"  -Could not save device link setting to registry, ",
                      apply.registry.GetLastErrorText());
    apply.showBalloon(StringId::CouldNotSaveDeviceLink);
    return false;
  }
  return true;
}

bool SwitchOffFailedDeviceLink(bool failed, std::int32_t& deviceLinkSetting,
                               const std::function<bool()>& initializeDeviceLink) {
  if (!failed || deviceLinkSetting != 1) return false;
  deviceLinkSetting = 0;
  initializeDeviceLink();  // now unsubscribes
  return true;
}

}  // namespace varnolet
