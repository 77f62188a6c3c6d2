#include "input/hotkey_file.h"

#include <utility>

namespace varnolet {

namespace {

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

  std::vector<HotkeyMapPiece> pieces;
  const std::vector<std::uint8_t> bytes = WriteHotkeyMap(slots, access.utf8, &pieces);

  // One write per piece; a failed write adds its line (the flags fail
  // without one). The replacement file is then dropped and hmap.dat stays
  // as it was.
  const auto content = [&] {
    std::size_t offset = 0;
    for (const HotkeyMapPiece& piece : pieces) {
      if (!file.Write(bytes.data() + offset, piece.size, FileOrigin::Current, ByteOrderMark::None)) {
        const char16_t* line = u"  -Could not write data to hotkeys configuration file, ";
        if (piece.field == HotkeyMapField::Encoding)
          line = u"  -Could not write encoding to hotkeys configuration file, ";
        else if (piece.field == HotkeyMapField::Signature)
          line = u"  -Could not write signature to hotkeys configuration file, ";
        else if (piece.field == HotkeyMapField::Flags)
          line = nullptr;
        if (line != nullptr) log.AddLog(line, access.drive.GetLastErrorText());
        return false;
      }
      offset += piece.size;
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
  const char16_t* const kInvalidFormat = u"  -Hotkeys configuration file has an invalid format";

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
  if (size < hotkey_file::kHeaderSize) return fail(HotkeyFileFault::Rejected, kInvalidFormat, {});

  // The encoding mark, the signature, then the rest in one read.
  std::vector<std::uint8_t> bytes(size);
  constexpr std::uint32_t kEncodingSize = hotkey_file::kEncoding.size();
  constexpr std::uint32_t kSignatureEnd = kEncodingSize + hotkey_file::kSignature.size();
  if (!file.Read(bytes.data(), kEncodingSize, FileOrigin::Begin))
    return fail(HotkeyFileFault::Unreadable, u"  -Could not verify hotkeys configuration file encoding, ",
                errorText());
  if (!file.Read(bytes.data() + kEncodingSize, kSignatureEnd - kEncodingSize, FileOrigin::Current))
    return fail(HotkeyFileFault::Unreadable, u"  -Could not read file signature, ", errorText());
  if (!file.Read(bytes.data() + kSignatureEnd, size - kSignatureEnd, FileOrigin::Current))
    return fail(HotkeyFileFault::Unreadable, nullptr, {});

  std::vector<HotkeySlot> read;
  switch (ReadHotkeyMap(bytes, access.utf8, read)) {
    case HotkeyMapFault::None:
      break;
    case HotkeyMapFault::TooShort:
      return fail(HotkeyFileFault::Rejected, kInvalidFormat, {});
    case HotkeyMapFault::WrongSignature:
      return fail(HotkeyFileFault::Rejected, u"  -Could not verify file signature, ", errorText());
    case HotkeyMapFault::CountTooLarge:
    case HotkeyMapFault::RecordCut:
      return fail(HotkeyFileFault::Rejected, nullptr, {});
  }

  if (!file.Close()) {
    log.AddLog(u"  -Could not close hotkeys configuration file, ", errorText());
    reason = HotkeyFileFault::Unreadable;
    return false;
  }
  std::vector<HOTKEY> hotkeys(read.size());
  std::vector<std::u16string> identifiers;
  identifiers.reserve(read.size());
  for (std::size_t i = 0; i < read.size(); ++i) {
    static_cast<DEVICEINPUT&>(hotkeys[i]) = read[i].pattern;
    identifiers.push_back(std::move(read[i].identifier));
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
