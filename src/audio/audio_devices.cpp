#include "audio/audio_devices.h"

#include "settings/user_settings.h"

namespace varnolet {

void AudioDevices::EnumerateDirection(bool render, const char16_t* failureLine) {
  DeviceDirection& direction = render ? playback_ : recording_;
  CCollectionInterface& collection = Collection(render);
  direction.devices.clear();
  direction.failed = !collection.Enumerate();
  if (direction.failed)
    log_.AddLog(failureLine, enumeration_.GetLastErrorText());
  else
    direction.devices = collection.GetDevices();
}

void AudioDevices::Enumerate() {
  EnumerateDirection(true, u"  -Could not enumerate render audio endpoint devices, ");
  EnumerateDirection(false, u"  -Could not enumerate capture audio endpoint devices, ");
}

int AudioDevices::RefreshDefault(bool render) {
  DeviceDirection& direction = render ? playback_ : recording_;
  Collection(render).GetDefaultMultimediaDevice(direction.defaultDevice);
  for (std::size_t i = 0; i < direction.devices.size(); ++i) {
    if (direction.devices[i].id == direction.defaultDevice.id) {
      direction.defaultIndex = static_cast<int>(i);
      return direction.defaultIndex;
    }
  }
  return -1;
}

std::int32_t AudioDevices::SwitchTo(bool render, std::int32_t position) {
  log_.AddLog(render ? u"Changing default render device . . ." : u"Changing default capture device . . .");
  const std::vector<DEVICEINFO>& devices = Direction(render).devices;
  CCollectionInterface& collection = Collection(render);
  const DEVICEINFO device = position >= 0 && static_cast<std::size_t>(position) < devices.size()
                                ? devices[static_cast<std::size_t>(position)]
                                : DEVICEINFO{};
  std::int32_t failures = 0;
  if (role_ == device_role::Multimedia) {
    failures += collection.SetDefaultMultimediaDevice(device) ? 0 : 1;
  } else if (role_ == device_role::Communications) {
    failures += collection.SetDefaultCommunicationsDevice(device) ? 0 : 1;
  } else {
    failures += collection.SetDefaultMultimediaDevice(device) ? 0 : 1;
    failures += collection.SetDefaultCommunicationsDevice(device) ? 0 : 1;
  }
  if (failures == 0)
    log_.AddLog(u"  -", device.name);
  else
    log_.AddLog(render ? u"  -Could not change default render device, "
                       : u"  -Could not change default capture device, ",
                enumeration_.GetLastErrorText());
  return failures;
}

}  // namespace varnolet
