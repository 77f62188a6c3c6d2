#include "link/device_link_file.h"

#include <algorithm>
#include <array>

namespace varnolet {

namespace {

constexpr std::array<std::uint8_t, 3> kSignature = {0xB1, 0xB2, 0xB3};
constexpr std::uint32_t kSmallestFile = 7;     // signature and count
constexpr std::uint64_t kSmallestRecord = 24;  // GUID and two lengths, both strings empty
constexpr std::uint32_t kGuidSize = 16;

std::array<std::uint8_t, 4> LittleEndian(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

std::uint32_t FromLittleEndian(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

std::vector<std::uint8_t> Utf16LittleEndian(const std::u16string& text) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(text.size() * 2);
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<std::uint8_t>(unit));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return bytes;
}

}  // namespace

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

bool DeviceLinkFile::WriteAll(const std::vector<DEVICELINK>& links) {
  CFile& file = drive_.Directory.File;
  const auto write = [&](const void* data, std::size_t count, const char16_t* failure) {
    if (file.Write(data, static_cast<std::uint32_t>(count), FileOrigin::Current, ByteOrderMark::None))
      return true;
    log_.AddLog(failure, drive_.GetLastErrorText());
    return false;
  };
  const char16_t* const kDataFailure = u"  -Could not write data to device link configuration file, ";

  if (!write(kSignature.data(), kSignature.size(),
             u"  -Could not write signature to device link configuration file, "))
    return false;
  const auto count = LittleEndian(static_cast<std::uint32_t>(links.size()));
  if (!write(count.data(), count.size(), kDataFailure)) return false;

  for (const DEVICELINK& link : links) {
    const auto guid = link.endpoint.Bytes();
    if (!write(guid.data(), guid.size(), kDataFailure)) return false;
    for (const std::u16string* text : {&link.productName, &link.programPath}) {
      const auto length = LittleEndian(static_cast<std::uint32_t>(text->size()));
      if (!write(length.data(), length.size(), kDataFailure)) return false;
      if (text->empty()) continue;  // a length of 0 and no code units
      const std::vector<std::uint8_t> units = Utf16LittleEndian(*text);
      if (!write(units.data(), units.size(), kDataFailure)) return false;
    }
  }
  return true;
}

bool DeviceLinkFile::SaveDeviceLinks(std::vector<DEVICELINK> links) {
  switch (ReplaceSafely(drive_.Directory.File, path_, [&] { return WriteAll(links); })) {
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
  if (size < kSmallestFile) return rejectFormat();

  std::array<std::uint8_t, 3> signature{};
  if (!file.Read(signature.data(), 3, FileOrigin::Current)) {
    log_.AddLog(u"  -Could not read evice link configuration file signature, ", drive_.GetLastErrorText());
    file.Close();
    return Load::NotRead;
  }
  if (signature != kSignature) {
    log_.AddLog(u"  -Could not verify file signature, ", drive_.GetLastErrorText());
    file.Close();
    return Load::Rejected;
  }

  // Every read below is of a size the bytes left are known to hold.
  std::uint64_t left = size - signature.size();
  const auto readBytes = [&](std::uint8_t* buffer, std::uint32_t count) {
    if (!file.Read(buffer, count, FileOrigin::Current)) return false;
    left -= count;
    return true;
  };
  const auto readNumber = [&](std::uint32_t& value) {
    std::array<std::uint8_t, 4> bytes{};
    if (!readBytes(bytes.data(), 4)) return false;
    value = FromLittleEndian(bytes.data());
    return true;
  };
  const auto readFailed = [&] {
    file.Close();
    return Load::NotRead;
  };

  std::uint32_t count = 0;
  if (!readNumber(count)) return readFailed();
  if (count > left / kSmallestRecord) return rejectFormat();

  std::vector<DEVICELINK> loaded;
  loaded.reserve(std::min<std::uint32_t>(count, 64));  // grows with what is really read
  for (std::uint32_t record = 0; record < count; ++record) {
    DEVICELINK& link = loaded.emplace_back();
    if (left < kGuidSize + 4) return rejectFormat();
    std::array<std::uint8_t, kGuidSize> guid{};
    if (!readBytes(guid.data(), kGuidSize)) return readFailed();
    link.endpoint = ComGuid::FromBytes(guid.data());
    for (std::u16string* text : {&link.productName, &link.programPath}) {
      if (left < 4) return rejectFormat();
      std::uint32_t length = 0;
      if (!readNumber(length)) return readFailed();
      if (length > left / 2) return rejectFormat();
      text->reserve(length);
      for (std::uint32_t i = 0; i < length; ++i) {
        std::array<std::uint8_t, 2> unit{};
        if (!readBytes(unit.data(), 2)) return readFailed();
        text->push_back(static_cast<char16_t>(unit[0] | (unit[1] << 8)));
      }
    }
  }
  // Bytes after the last record are not looked at.
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
    apply.showBalloon(link_strings::kCouldNotLoadConfiguration);
    return false;
  }
  if (!apply.initializeDeviceLink()) {
    apply.showBalloon(link_strings::kCouldNotLoadConfiguration);
    return false;
  }
  if (!apply.writeSetting) return true;
  if (!apply.registry.SetValue(reg::kCurrentUser, apply.settingsKey, u"DeviceLink",
                               static_cast<std::uint32_t>(apply.deviceLinkSetting))) {
    file.Log().AddLog(u"  -Could not save device link setting to registry, ",
                      apply.registry.GetLastErrorText());
    apply.showBalloon(link_strings::kCouldNotSaveSetting);
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
