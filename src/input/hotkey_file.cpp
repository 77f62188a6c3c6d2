#include "input/hotkey_file.h"

#include <utility>

namespace varnolet {

namespace {

// The file positions of the modifier bytes after the 48 key flags.
constexpr int kStoredModifiers[] = {key::kAlt, key::kShift, key::kCtrl};

std::uint32_t LittleEndian32(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
         (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

std::array<std::uint8_t, 4> LittleEndianBytes(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

bool HoldsHotkey(const HotkeySlot& slot) {
  return slot.identifier != hotkey_id::kNone;
}

HotkeySlot SlotOf(const HOTKEY& hotkey, const std::u16string& identifier) {
  HotkeySlot slot;
  slot.pattern = hotkey;  // the DEVICEINPUT part
  slot.identifier = identifier;
  return slot;
}

}  // namespace

std::u16string HotkeyFilePath(const std::u16string& dataPath) {
  return dataPath + hotkey_file::kRelativePath;
}

std::vector<HotkeySlot> LoadedHotkeySlots(const std::vector<HOTKEY>& loadedHotkeys,
                                          const std::vector<std::u16string>& hotkeyIdentifiers) {
  std::vector<HotkeySlot> slots;
  slots.reserve(loadedHotkeys.size());
  for (std::size_t i = 0; i < loadedHotkeys.size(); ++i) {
    // The identifier list and the hotkeys are filled together; a missing
    // entry can only mean an empty identifier.
    const std::u16string identifier = i < hotkeyIdentifiers.size() ? hotkeyIdentifiers[i] : std::u16string();
    slots.push_back(SlotOf(loadedHotkeys[i], identifier));
  }
  return slots;
}

std::vector<HotkeySlot> FillSlots(const std::vector<HOTKEY>& loadedHotkeys,
                                  const std::vector<std::u16string>& hotkeyIdentifiers,
                                  const std::vector<std::u16string>& playbackIdentifiers,
                                  const std::vector<std::u16string>& recordingIdentifiers) {
  const std::size_t playback = playbackIdentifiers.size();
  std::vector<HotkeySlot> slots(2 + playback + recordingIdentifiers.size());
  for (std::size_t i = 0; i < loadedHotkeys.size() && i < hotkeyIdentifiers.size(); ++i) {
    const std::u16string& identifier = hotkeyIdentifiers[i];
    if (identifier == hotkey_id::kDisableHotkeys) {
      slots[0] = SlotOf(loadedHotkeys[i], identifier);
    } else if (identifier == hotkey_id::kNotifications) {
      slots[1] = SlotOf(loadedHotkeys[i], identifier);
    } else {
      for (std::size_t d = 0; d < playback; ++d)
        if (playbackIdentifiers[d] == identifier) slots[2 + d] = SlotOf(loadedHotkeys[i], identifier);
      for (std::size_t d = 0; d < recordingIdentifiers.size(); ++d)
        if (recordingIdentifiers[d] == identifier)
          slots[2 + playback + d] = SlotOf(loadedHotkeys[i], identifier);
    }
  }
  return slots;
}

// ------------------------------------------------------------------- save

bool SaveHotkeyFile(HotkeyFileAccess& access, const std::vector<HotkeySlot>& slots) {
  CFile& file = access.drive.Directory.File;
  ActivityLog& log = access.log;

  std::uint32_t count = 0;
  for (const HotkeySlot& slot : slots) count += HoldsHotkey(slot) ? 1 : 0;

  // A failed write adds its line; the replacement file is then dropped and
  // hmap.dat stays as it was.
  const auto content = [&] {
    const auto write = [&](const void* bytes, std::uint32_t size, const char16_t* line) {
      if (file.Write(bytes, size, FileOrigin::Current, ByteOrderMark::None)) return true;
      if (line != nullptr) log.AddLog(line, access.drive.GetLastErrorText());
      return false;
    };
    const char16_t* const kDataFailure = u"  -Could not write data to hotkeys configuration file, ";

    if (!write(hotkey_file::kEncoding.data(), hotkey_file::kEncoding.size(),
               u"  -Could not write encoding to hotkeys configuration file, "))
      return false;
    if (!write(hotkey_file::kSignature.data(), hotkey_file::kSignature.size(),
               u"  -Could not write signature to hotkeys configuration file, "))
      return false;
    const auto countBytes = LittleEndianBytes(count);
    if (!write(countBytes.data(), countBytes.size(), kDataFailure)) return false;

    for (const HotkeySlot& slot : slots) {
      if (!HoldsHotkey(slot)) continue;
      std::array<std::uint8_t, hotkey_file::kFlagBytes> flags{};
      const auto& keys = slot.pattern.keyboard.keys;
      for (std::uint32_t i = 0; i < hotkey_file::kKeyBytes; ++i) flags[i] = keys[i] != 0 ? 1 : 0;
      for (std::uint32_t m = 0; m < 3; ++m)
        flags[hotkey_file::kKeyBytes + m] = keys[static_cast<std::size_t>(kStoredModifiers[m])] != 0 ? 1 : 0;
      if (!write(flags.data(), flags.size(), nullptr)) return false;  // the flags fail without a line

      const std::string identifier = access.utf8.Encode(slot.identifier);
      const auto lengthBytes = LittleEndianBytes(static_cast<std::uint32_t>(identifier.size()));
      if (!write(lengthBytes.data(), lengthBytes.size(), kDataFailure)) return false;
      if (!write(identifier.data(), static_cast<std::uint32_t>(identifier.size()), kDataFailure))
        return false;
    }
    return true;
  };

  switch (ReplaceSafely(file, access.path, content)) {
    case ReplaceStep::Done:
      return true;
    case ReplaceStep::Create:
      log.AddLog(u"  -Coud not create hotkeys configuration file, ", access.drive.GetLastErrorText());
      break;
    case ReplaceStep::Content:
      break;
    case ReplaceStep::Close:
      log.AddLog(u"  -Could not close hotkeys configuration file, ", access.drive.GetLastErrorText());
      break;
    case ReplaceStep::Replace:
      log.AddLog(u"  -Could not replace hotkeys configuration file, ", access.drive.GetLastErrorText());
      break;
  }
  return false;
}

// ------------------------------------------------------------------- load

bool LoadHotkeyFile(HotkeyFileAccess& access, std::vector<HOTKEY>& loadedHotkeys,
                    std::vector<std::u16string>& hotkeyIdentifiers, HotkeyFileFault* fault) {
  CFile& file = access.drive.Directory.File;
  ActivityLog& log = access.log;
  HotkeyFileFault ignored = HotkeyFileFault::None;
  HotkeyFileFault& reason = fault != nullptr ? *fault : ignored;
  reason = HotkeyFileFault::None;

  // Every failure after the open closes the file before returning.
  auto fail = [&](HotkeyFileFault why, const char16_t* line, const std::u16string& detail) {
    if (line != nullptr) log.AddLog(line, detail);
    file.Close();
    reason = why;
    return false;
  };
  auto errorText = [&] { return access.drive.GetLastErrorText(); };

  if (!file.Open(access.path)) {
    log.AddLog(u"  -Could not open hotkeys configuration file, ", errorText());
    reason = HotkeyFileFault::Unreadable;
    return false;
  }
  std::uint32_t size = 0;
  if (!file.Size(size))
    return fail(HotkeyFileFault::Unreadable, u"  -Could not determine hotkeys configuration file size, ",
                errorText());
  if (size == 0) {
    log.AddLog(u"  -Hotkeys configurations file is empty");
    file.Close();
    loadedHotkeys.clear();
    hotkeyIdentifiers.clear();
    return true;
  }
  // Anything shorter than the header cannot be a map, whatever its bytes.
  if (size < hotkey_file::kHeaderSize)
    return fail(HotkeyFileFault::Rejected, u"  -Hotkeys configuration file has an invalid format", {});

  std::array<std::uint8_t, 3> encoding{};
  if (!file.Read(encoding.data(), encoding.size(), FileOrigin::Begin))
    return fail(HotkeyFileFault::Unreadable, u"  -Could not verify hotkeys configuration file encoding, ",
                errorText());
  // The encoding bytes are not checked: a file with other first bytes still loads.
  std::array<std::uint8_t, 12> signature{};
  if (!file.Read(signature.data(), signature.size(), FileOrigin::Current))
    return fail(HotkeyFileFault::Unreadable, u"  -Could not read file signature, ", errorText());
  if (signature != hotkey_file::kSignature)
    return fail(HotkeyFileFault::Rejected, u"  -Could not verify file signature, ", errorText());
  std::array<std::uint8_t, 4> countBytes{};
  if (!file.Read(countBytes.data(), countBytes.size(), FileOrigin::Current))
    return fail(HotkeyFileFault::Unreadable, nullptr, {});
  const std::uint32_t count = LittleEndian32(countBytes.data());

  // Every record takes at least 55 bytes: a count the file cannot hold is
  // refused before anything is reserved for it.
  std::uint32_t remaining = size - hotkey_file::kHeaderSize;
  if (count > remaining / hotkey_file::kFixedRecordSize) return fail(HotkeyFileFault::Rejected, nullptr, {});

  std::vector<HOTKEY> hotkeys;
  std::vector<std::u16string> identifiers;
  hotkeys.reserve(count);
  identifiers.reserve(count);
  std::string bytes;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (remaining < hotkey_file::kFixedRecordSize) return fail(HotkeyFileFault::Rejected, nullptr, {});
    std::array<std::uint8_t, hotkey_file::kFlagBytes> flags{};
    if (!file.Read(flags.data(), flags.size(), FileOrigin::Current))
      return fail(HotkeyFileFault::Unreadable, nullptr, {});
    std::array<std::uint8_t, 4> lengthBytes{};
    if (!file.Read(lengthBytes.data(), lengthBytes.size(), FileOrigin::Current))
      return fail(HotkeyFileFault::Unreadable, nullptr, {});
    remaining -= hotkey_file::kFixedRecordSize;
    const std::uint32_t length = LittleEndian32(lengthBytes.data());
    if (length > remaining) return fail(HotkeyFileFault::Rejected, nullptr, {});

    bytes.assign(length, '\0');
    if (length != 0 && !file.Read(bytes.data(), length, FileOrigin::Current))
      return fail(HotkeyFileFault::Unreadable, nullptr, {});
    remaining -= length;

    HOTKEY hotkey;
    auto& keys = hotkey.keyboard.keys;
    for (std::uint32_t k = 0; k < hotkey_file::kKeyBytes; ++k) keys[k] = flags[k] != 0 ? 1 : 0;
    for (std::uint32_t m = 0; m < 3; ++m)
      keys[static_cast<std::size_t>(kStoredModifiers[m])] = flags[hotkey_file::kKeyBytes + m] != 0 ? 1 : 0;
    std::u16string identifier;
    if (!access.utf8.Decode(bytes, identifier)) identifier.clear();  // not UTF-8: an empty identifier
    hotkeys.push_back(hotkey);
    identifiers.push_back(std::move(identifier));
  }

  if (!file.Close()) {
    log.AddLog(u"  -Could not close hotkeys configuration file, ", errorText());
    reason = HotkeyFileFault::Unreadable;
    return false;
  }
  // The identifiers do not move when the list is moved: the parameters set
  // here stay valid in the caller's list.
  for (std::size_t i = 0; i < hotkeys.size(); ++i) hotkeys[i].parameter = &identifiers[i];
  loadedHotkeys = std::move(hotkeys);
  hotkeyIdentifiers = std::move(identifiers);
  return true;
}

// ------------------------------------------------------------- initialise

namespace {

// A map whose bytes were rejected is kept as hmap.dat.bad (replacing an
// older copy) and hmap.dat is reset to empty. If the copy cannot be made the
// file is left as it is: hotkeys are off for this run and the next start
// tries again.
void SetDamagedFileAside(HotkeyFileAccess& access) {
  ActivityLog& log = access.log;
  CFile& file = access.drive.Directory.File;
  const std::u16string damaged = access.path + hotkey_file::kDamagedSuffix;
  if (!file.Replace(access.path, damaged)) {
    log.AddLog(u"  -Could not keep damaged hotkeys configuration file, ", access.drive.GetLastErrorText());
    return;
  }
  log.AddLog(u"  -Damaged hotkeys configuration file kept as ", damaged);
  if (!file.Truncate(access.path)) {
    log.AddLog(u"  -Could not reset hotkeys configuration file, ", access.drive.GetLastErrorText());
    return;
  }
  if (!file.Close())
    log.AddLog(u"  -Could not close hotkeys configuration file, ", access.drive.GetLastErrorText());
}

}  // namespace

bool InitializeHotkeys(HotkeyServices& services, HotkeyFields& fields, std::int32_t hotkeysSetting) {
  ActivityLog& log = services.file.log;
  log.AddLog(u"Intializing hotkeys setting . . .");

  HotkeyFileFault fault = HotkeyFileFault::None;
  if (LoadHotkeyFile(services.file, fields.loadedHotkeys, fields.hotkeyIdentifiers, &fault)) {
    log.AddLog(u"  -Hotkeys configuration file loaded");
    for (HOTKEY& hotkey : fields.loadedHotkeys) hotkey.callback = services.action;
    if (!services.table.Register(fields.loadedHotkeys)) {
      log.AddLog(u"  -Hotkeys registration failed, ", services.table.GetLastErrorText());
      fields.hotkeyInitFailed = 1;
      return false;
    }
  } else {
    log.AddLog(u"  -Could not load hotkeys configuration file, ", services.file.drive.GetLastErrorText());
    // Only a file whose bytes were rejected is reset; one that could not be
    // opened, sized or read (locked, access denied) is left untouched.
    if (fault == HotkeyFileFault::Rejected) SetDamagedFileAside(services.file);
    fields.hotkeyInitFailed = 1;
  }

  CRawInput::CDevice& keyboard = services.rawInput.Keyboard;
  if (hotkeysSetting == 0) {
    fields.hotkeysEnabled = 0;
    keyboard.UnRegister();
    log.AddLog(u"  -Disabled");
    log.AddLog(u"  -Registed hotkeys configuration");
    log.AddLog(u"  -Unregistered from receiving keyboard notifications");
    return true;
  }
  fields.hotkeysEnabled = 1;
  log.AddLog(u"  -Enabled");
  log.AddLog(u"  -Registed hotkeys configuration");
  if (!keyboard.Register(services.window, 1)) {
    log.AddLog(u"  -Could not register to receive keyboard notifications, ",
               services.rawInput.GetLastErrorText());
    fields.hotkeyInitFailed = 1;
    return false;
  }
  log.AddLog(u"  -Registered to receive keyboard notifications");
  return true;
}

SaveHotkeysOutcome SaveHotkeyConfiguration(HotkeyServices& services, HotkeyFields& fields,
                                           std::int32_t& hotkeysSetting, bool enableHotkeys,
                                           const std::vector<HotkeySlot>& slots) {
  if (enableHotkeys) {
    hotkeysSetting = 1;
  } else {
    hotkeysSetting = 0;
    services.rawInput.Keyboard.UnRegister();
  }
  if (!SaveHotkeyFile(services.file, slots)) {
    services.file.log.AddLog(u"  -Could not save hotkeys configuration file, ",
                             services.file.drive.GetLastErrorText());
    return SaveHotkeysOutcome::FileNotSaved;
  }
  services.table.Clear();
  if (!InitializeHotkeys(services, fields, hotkeysSetting)) return SaveHotkeysOutcome::NotReloaded;
  return SaveHotkeysOutcome::Reloaded;
}

}  // namespace varnolet
