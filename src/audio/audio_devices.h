// The audio devices the program offers: the two endpoint lists as last
// enumerated (endpoints only; where a list is shown, an empty one shows its
// "no devices" or "failed" item), the current default of each, and the one
// switching routine every default change goes through.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "audio/endpoints.h"
#include "support/activity_log.h"

namespace varnolet {

inline constexpr char16_t kPlaybackPicture[] = u"IMG_3";
inline constexpr char16_t kRecordingPicture[] = u"IMG_4";

// What switching a default needs of the device lists.
class DeviceSwitch {
 public:
  virtual ~DeviceSwitch() = default;
  // The endpoints of the playback (render) or recording list, in menu order.
  virtual std::span<const DEVICEINFO> Devices(bool render) const = 0;
  // Makes the endpoint at `position` the default for the roles the Role
  // setting names: the number of failed calls, 0 on success.
  virtual std::int32_t SwitchTo(bool render, std::int32_t position) = 0;
  // The endpoint enumerator's last error text.
  virtual std::u16string ErrorText() const = 0;
};

// How a switch is shown to the user once it happened.
class SwitchAnnouncer {
 public:
  virtual ~SwitchAnnouncer() = default;
  // The tray menu is rebuilt (its check follows the new default).
  virtual void MenuChanged() = 0;
  // The single notification with a picture ("IMG_3", "IMG_4") and a device name.
  virtual void Announce(std::u16string_view picture, const std::u16string& name) = 0;
  // The Device Link notification with both names.
  virtual void AnnounceBoth(const std::u16string& playback, const std::u16string& recording) = 0;
};

// One direction: its endpoints, whether the last enumeration failed, and the
// default as last asked for.
struct DeviceDirection {
  std::vector<DEVICEINFO> devices;
  bool failed = false;
  DEVICEINFO defaultDevice;
  int defaultIndex = 0;
};

class AudioDevices final : public DeviceSwitch {
 public:
  // `role`: the Role setting, read at each switch.
  AudioDevices(CEnumerationInterface& enumeration, ActivityLog& log, const std::int32_t& role)
      : enumeration_(enumeration), log_(log), role_(role) {}

  // Enumerates both directions again; a failure adds its line to the log.
  void Enumerate();
  // Asks the system for the default of a direction and finds it in the list
  // (by identifier: two endpoints may share a name). After a failed query the
  // default keeps what it held; the index keeps its value when the default
  // is not listed. The position of the default, or -1.
  int RefreshDefault(bool render);

  const DeviceDirection& Playback() const { return playback_; }
  const DeviceDirection& Recording() const { return recording_; }
  const DeviceDirection& Direction(bool render) const { return render ? playback_ : recording_; }

  std::span<const DEVICEINFO> Devices(bool render) const override { return Direction(render).devices; }
  // A position outside the list names no device: the calls then fail as for
  // an endpoint that is gone.
  std::int32_t SwitchTo(bool render, std::int32_t position) override;
  std::u16string ErrorText() const override { return enumeration_.GetLastErrorText(); }

 private:
  CCollectionInterface& Collection(bool render) {
    return render ? enumeration_.RenderCollection() : enumeration_.CaptureCollection();
  }
  void EnumerateDirection(bool render, const char16_t* failureLine);

  CEnumerationInterface& enumeration_;
  ActivityLog& log_;
  const std::int32_t& role_;
  DeviceDirection playback_;
  DeviceDirection recording_;
};

}  // namespace varnolet
