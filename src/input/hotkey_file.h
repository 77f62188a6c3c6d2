// The hotkey map file hmap.dat: its writer, its reader, and the hotkey
// initialisation that loads it, registers the hotkeys and turns raw keyboard
// input on or off by the Hotkeys setting. The routines work on the hotkeys
// feature's fields and the process-wide objects handed to them; the map's
// bytes are made and taken apart by input/hotkey_map.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "input/hotkey_map.h"
#include "support/activity_log.h"
#include "input/hotkeys.h"
#include "input/raw_input.h"
#include "support/file.h"
#include "support/utf8.h"

namespace varnolet {

namespace hotkey_file {
inline constexpr char16_t kRelativePath[] = u"\\Varnolet 7\\Data\\hmap.dat";
inline constexpr char16_t kDamagedSuffix[] = u".bad";
}  // namespace hotkey_file

// <application-data path>\Varnolet 7\Data\hmap.dat
std::u16string HotkeyFilePath(const std::u16string& dataPath);

// One slot per loaded hotkey, in order, identifiers unchanged: what the
// disable-hotkeys hotkey saves, so that nothing stored is lost (also hotkeys
// of devices that are absent now).
std::vector<HotkeySlot> LoadedHotkeySlots(const std::vector<HOTKEY>& loadedHotkeys,
                                          const std::vector<std::u16string>& hotkeyIdentifiers);

// The Options dialog's slots: 0 disable hotkeys, 1 notifications, 2 + d the
// playback device d, 2 + R + d the recording device d (identifiers of the
// devices present, in list order). A loaded hotkey whose device is absent gets no slot.
std::vector<HotkeySlot> FillSlots(const std::vector<HOTKEY>& loadedHotkeys,
                                  const std::vector<std::u16string>& hotkeyIdentifiers,
                                  const std::vector<std::u16string>& playbackIdentifiers,
                                  const std::vector<std::u16string>& recordingIdentifiers);

// What the hotkey file routines use: the file object (Drive.Directory.File),
// the UTF-8 codec, the activity log, and the path of hmap.dat.
struct HotkeyFileAccess {
  CDrive& drive;
  Utf8Codec& utf8;
  ActivityLog& log;
  std::u16string path;
};

// Writes the slots that hold a hotkey to a temporary file beside hmap.dat and
// replaces hmap.dat with it only when every byte was written and the file closed.
bool SaveHotkeyFile(HotkeyFileAccess& access, const std::vector<HotkeySlot>& slots);

// Why a load failed.
enum class HotkeyFileFault {
  None,
  Unreadable,  // could not be opened, sized, read or closed: the file is left as it is
  Rejected,    // its bytes were read and are not a hotkey map
};

// Reads hmap.dat into temporaries and replaces both lists only on success;
// hotkey i's parameter points to identifier i.
bool LoadHotkeyFile(HotkeyFileAccess& access, std::vector<HOTKEY>& loadedHotkeys,
                    std::vector<std::u16string>& hotkeyIdentifiers, HotkeyFileFault* fault = nullptr);

// The hotkeys feature's fields the initialisation works on.
struct HotkeyFields {
  std::vector<HOTKEY>& loadedHotkeys;
  std::vector<std::u16string>& hotkeyIdentifiers;
  std::uint8_t& hotkeysEnabled;
  std::uint8_t& hotkeyInitFailed;  // set by any failed step, never cleared here
};

// Everything the hotkey initialisation and the hotkey save use.
struct HotkeyServices {
  HotkeyFileAccess file;
  CHotkeys& table;        // HotkeyTable
  CRawInput& rawInput;    // RawInput (its Keyboard device)
  std::uintptr_t window;  // the main form's window: the raw input target
  HotkeyCallback action;  // HotkeysFeature::Fire, every hotkey's action
};

// The hotkey initialisation: load, register, then raw input by the Hotkeys
// setting. The caller empties HotkeyTable first when it runs it again.
bool InitializeHotkeys(HotkeyServices& services, HotkeyFields& fields, std::int32_t hotkeysSetting);

// The hotkey steps of saving the hotkeys (Options OK, disable-hotkeys hotkey).
enum class SaveHotkeysOutcome {
  FileNotSaved,  // show the balloon StringId::CouldNotLoadHotkeyMap when the Hotkeys setting is 1
  NotReloaded,   // show that balloon too; no registry write
  Reloaded,      // write the Hotkeys setting to the registry
};
SaveHotkeysOutcome SaveHotkeyConfiguration(HotkeyServices& services, HotkeyFields& fields,
                                           std::int32_t& hotkeysSetting, bool enableHotkeys,
                                           const std::vector<HotkeySlot>& slots);

}  // namespace varnolet
