// What the Options dialog reads of the main form, and the one thing it asks
// the main form to do (apply the settings on OK). The main form implements it
// and attaches itself to the dialog when it is constructed.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "audio/endpoints.h"
#include "input/hotkeys.h"
#include "link/com_guid.h"
#include "link/device_link_file.h"
#include "settings/user_settings.h"
#include "support/string_id.h"

namespace varnolet {

class OptionsHost {
 public:
  virtual ~OptionsHost() = default;

  // The seven settings as the running program holds them.
  virtual const UserSettings& Settings() const = 0;
  // A text of the current string table.
  virtual const std::u16string& String(StringId id) const = 0;
  // The devices as the tray menu lists them, without the "no devices" placeholder.
  virtual std::span<const DEVICEINFO> PlaybackDevices() const = 0;
  virtual std::span<const DEVICEINFO> RecordingDevices() const = 0;
  // The main form's device links.
  virtual const std::vector<DEVICELINK>& DeviceLinks() const = 0;
  // The hotkeys as loaded from the hotkey map; hotkey i's identifier is identifier i.
  virtual const std::vector<HOTKEY>& LoadedHotkeys() const = 0;
  virtual const std::vector<std::u16string>& HotkeyIdentifiers() const = 0;
  virtual bool IsVistaWorkstation() const = 0;
  // "ProductName" of a program's version resource; empty when it has none.
  virtual std::u16string ProductName(const std::u16string& path) = 0;
  // The GUID of an endpoint identifier; the null GUID (and a log line) when
  // the identifier cannot be converted.
  virtual ComGuid EndpointGuid(const std::u16string& endpointId) = 0;
  // OK: "Initializing new program settings . . ." and the seven save steps,
  // which read the dialog's state.
  virtual void ApplyOptions() = 0;
};

}  // namespace varnolet
