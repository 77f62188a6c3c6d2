// The Options dialog's hotkey page: four rows (Disable hotkeys,
// Notifications, Playback devices, Recording devices), the slots they edit,
// and the "-" marks that keep each key to one hotkey.
#include "settings/options_form.h"

namespace varnolet {

namespace {

using C = OptionsControl;

// Key-list index of a slot's key: the first set flag among key positions
// 12-47, or "None".
int KeyIndexOf(const DEVICEINPUT& pattern) {
  for (int i = 0; i < kNoKey; ++i)
    if (pattern.keyboard.keys[static_cast<std::size_t>(key::kDigit0 + i)] != 0) return i;
  return kNoKey;
}

bool IsKey(int index) {
  return index >= 0 && index < kNoKey;
}

}  // namespace

OptionsControl TOptionsForm::KeyList(int row) {
  switch (row) {
    case 1:
      return C::comboHotkeys;
    case 2:
      return C::comboNotifications;
    case 3:
      return C::comboPlaybackHotkey;
    default:
      return C::comboRecordingHotkey;
  }
}

std::array<OptionsControl, 3> TOptionsForm::Modifiers(int row) {
  switch (row) {
    case 1:
      return {C::checkAltHotkeys, C::checkCtrlHotkeys, C::checkShiftHotkeys};
    case 2:
      return {C::checkAltNotifications, C::checkCtrlNotifications, C::checkShiftNotifications};
    case 3:
      return {C::checkAltPlaybackDevices, C::checkCtrlPlaybackDevices, C::checkShiftPlaybackDevices};
    default:
      return {C::checkAltRecordingDevices, C::checkCtrlRecordingDevices, C::checkShiftRecordingDevices};
  }
}

int TOptionsForm::RowSlot(int row) const {
  const int playback = static_cast<int>(playbackDevices.size());
  int slot = -1;
  if (row == 1) slot = 0;
  if (row == 2) slot = 1;
  // A device row addresses its slot through the selected device; with no
  // device of its kind it has none.
  if (row == 3) {
    const int d = Selected(C::comboPlaybackDevices);
    if (d >= 0 && d < playback) slot = 2 + d;
  }
  if (row == 4) {
    const int d = Selected(C::comboRecordingDevices);
    if (d >= 0 && d < static_cast<int>(recordingDevices.size())) slot = 2 + playback + d;
  }
  if (slot >= static_cast<int>(hotkeySlots.size())) return -1;
  return slot;
}

// ------------------------------------------------------------ showing

void TOptionsForm::ResetKeyLists() {
  for (int row = 1; row <= 4; ++row)
    for (int i = 0; i < kKeyItemCount; ++i) SetItemText(KeyList(row), i, KeyCaption(i));
  lastHotkeysKey = kNoKey;
  lastNotificationsKey = kNoKey;
  refusedRows_ = 0;
  if (timerEnabled_) {
    timerEnabled_ = false;
    if (Drawn()) view_.StopTimer();
  }
  SetVisible(C::LblWarning, false);
}

void TOptionsForm::FillSlots() {
  std::vector<std::u16string> playbackIds;
  std::vector<std::u16string> recordingIds;
  for (const DEVICEINFO& device : playbackDevices) playbackIds.push_back(device.id);
  for (const DEVICEINFO& device : recordingDevices) recordingIds.push_back(device.id);
  const std::vector<HOTKEY>& loaded = host_->LoadedHotkeys();
  const std::vector<std::u16string>& identifiers = host_->HotkeyIdentifiers();
  hotkeySlots = varnolet::FillSlots(loaded, identifiers, playbackIds, recordingIds);
  slotKeys.assign(hotkeySlots.size(), -1);

  // A stored hotkey of a device that is not here now is carried through the
  // next save as it is, and its key stays taken.
  absentDeviceHotkeys.clear();
  for (std::size_t i = 0; i < loaded.size() && i < identifiers.size(); ++i) {
    const std::u16string& id = identifiers[i];
    if (id == hotkey_id::kDisableHotkeys || id == hotkey_id::kNotifications || id == hotkey_id::kNone)
      continue;
    bool present = false;
    for (const std::u16string& device : playbackIds) present = present || device == id;
    for (const std::u16string& device : recordingIds) present = present || device == id;
    if (present) continue;
    HotkeySlot slot;
    slot.pattern = loaded[i];
    slot.identifier = id;
    absentDeviceHotkeys.push_back(std::move(slot));
  }
  for (const HotkeySlot& slot : absentDeviceHotkeys) {
    const int index = KeyIndexOf(slot.pattern);
    if (!IsKey(index)) continue;
    for (int row = 1; row <= 4; ++row) SetItemText(KeyList(row), index, options_text::kUsedKey);
  }
}

void TOptionsForm::EnableDeviceRows() {
  const bool playback = !playbackDevices.empty();
  const bool recording = !recordingDevices.empty();
  SetEnabled(C::comboPlaybackDevices, playback);
  SetEnabled(C::comboPlaybackHotkey, playback);
  for (C box : Modifiers(3)) SetEnabled(box, playback);
  SetEnabled(C::comboRecordingDevices, recording);
  SetEnabled(C::comboRecordingHotkey, recording);
  for (C box : Modifiers(4)) SetEnabled(box, recording);
}

std::vector<HotkeySlot> TOptionsForm::HotkeysToSave() const {
  std::vector<HotkeySlot> slots = hotkeySlots;
  slots.insert(slots.end(), absentDeviceHotkeys.begin(), absentDeviceHotkeys.end());
  return slots;
}

// ------------------------------------------------------------ actions

void TOptionsForm::UpdateHotkeys() {
  UpdateHotkeysKey();
  UpdateHotkeysModifier();
  UpdateNotificationsKey();
  UpdateNotificationsModifier();
  UpdateRenderDeviceHotkeysKey();
  UpdateRenderDeviceHotkeysModifier();
  UpdateCaptureDeviceHotkeysKey();
  UpdateCaptureDeviceHotkeysModifier();
}

void TOptionsForm::UpdateKey(int row) {
  const int slot = RowSlot(row);
  SelectItem(KeyList(row),
             slot < 0 ? kNoKey : KeyIndexOf(hotkeySlots[static_cast<std::size_t>(slot)].pattern));
  // The row shows its slot's own key now.
  refusedRows_ &= ~(1u << row);
}

void TOptionsForm::UpdateModifier(int row) {
  const int slot = RowSlot(row);
  const std::array<C, 3> boxes = Modifiers(row);
  constexpr int kPositions[] = {key::kAlt, key::kCtrl, key::kShift};
  for (std::size_t m = 0; m < 3; ++m) {
    State(boxes[m]).tag = 1;
    const bool set =
        slot >= 0 && hotkeySlots[static_cast<std::size_t>(slot)]
                             .pattern.keyboard.keys[static_cast<std::size_t>(kPositions[m])] != 0;
    SetChecked(boxes[m], set);
  }
  for (C box : boxes) State(box).tag = 0;
}

void TOptionsForm::UpdateCaption(int row) {
  const bool playback = row == 3;
  const int count = static_cast<int>(playback ? playbackDevices.size() : recordingDevices.size());
  const int first = playback ? 2 : 2 + static_cast<int>(playbackDevices.size());
  const int selected = Selected(playback ? C::comboPlaybackDevices : C::comboRecordingDevices);
  for (int d = 0; d < count; ++d) {
    const int index = slotKeys[static_cast<std::size_t>(first + d)];
    if (!IsKey(index)) continue;
    SetItemText(KeyList(row), index,
                d == selected ? KeyCaption(index) : std::u16string(options_text::kUsedKey));
  }
}

// ------------------------------------------------------------ handlers

void TOptionsForm::comboPlaybackDevicesClick() {
  UpdateRenderDeviceHotkeysCaption();
  UpdateRenderDeviceHotkeysKey();
  UpdateRenderDeviceHotkeysModifier();
}

void TOptionsForm::comboRecordingDevicesClick() {
  UpdateCaptureDeviceHotkeysCaption();
  UpdateCaptureDeviceHotkeysKey();
  UpdateCaptureDeviceHotkeysModifier();
}

void TOptionsForm::ModifierClick(C box) {
  if (Control(box).tag != 0) return;
  for (int row = 1; row <= 4; ++row)
    for (C modifier : Modifiers(row))
      if (modifier == box) StoreSlot(row);
}

void TOptionsForm::KeyListClick(int row) {
  if (!IsKeyFree(row)) return;
  refusedRows_ &= ~(1u << row);
  StoreSlot(row);
  MarkUsedKeys(row);
}

bool TOptionsForm::IsKeyFree(int row) {
  const OptionsControlState& list = Control(KeyList(row));
  if (list.selected < 0 || list.selected >= static_cast<int>(list.items.size())) return true;
  if (list.items[static_cast<std::size_t>(list.selected)] != options_text::kUsedKey) return true;
  refusedRows_ |= 1u << row;
  // A second refusal within the second shows the warning for a full second again.
  if (timerEnabled_ && Drawn()) view_.StopTimer();
  timerEnabled_ = true;
  if (Drawn()) view_.StartTimer(1000);
  SetVisible(C::LblWarning, true);
  return false;
}

void TOptionsForm::TimerTimer() {
  timerEnabled_ = false;
  if (Drawn()) view_.StopTimer();
  SetVisible(C::LblWarning, false);
  // Every row whose choice was refused shows its slot's own key again: the
  // slot never took the refused key.
  for (int row = 1; row <= 4; ++row)
    if ((refusedRows_ & (1u << row)) != 0) UpdateKey(row);
  refusedRows_ = 0;
}

// ------------------------------------------------------------ routines

void TOptionsForm::StoreSlot(int row) {
  const int slot = RowSlot(row);
  if (slot < 0) return;
  int index = Selected(KeyList(row));
  if (index < 0) return;
  HotkeySlot& target = hotkeySlots[static_cast<std::size_t>(slot)];
  // While a refused choice is on show the slot keeps its own key.
  if ((refusedRows_ & (1u << row)) != 0) index = KeyIndexOf(target.pattern);
  for (int i = 0; i < kNoKey; ++i)
    target.pattern.keyboard.keys[static_cast<std::size_t>(key::kDigit0 + i)] = 0;
  const std::array<C, 3> boxes = Modifiers(row);
  target.pattern.keyboard.keys[key::kAlt] = Checked(boxes[0]) ? 1 : 0;
  target.pattern.keyboard.keys[key::kCtrl] = Checked(boxes[1]) ? 1 : 0;
  target.pattern.keyboard.keys[key::kShift] = Checked(boxes[2]) ? 1 : 0;
  if (IsKey(index)) target.pattern.keyboard.keys[static_cast<std::size_t>(key::kDigit0 + index)] = 1;
  if (index == kNoKey) {
    target.identifier = hotkey_id::kNone;
  } else if (row == 1) {
    target.identifier = hotkey_id::kDisableHotkeys;
  } else if (row == 2) {
    target.identifier = hotkey_id::kNotifications;
  } else if (row == 3) {
    target.identifier = playbackDevices[static_cast<std::size_t>(slot - 2)].id;
  } else {
    target.identifier =
        recordingDevices[static_cast<std::size_t>(slot - 2 - static_cast<int>(playbackDevices.size()))].id;
  }
}

bool TOptionsForm::IsAbsentDeviceKey(int index) const {
  for (const HotkeySlot& slot : absentDeviceHotkeys)
    if (KeyIndexOf(slot.pattern) == index) return true;
  return false;
}

// Item `index` becomes "-" in the key lists of the other three rows.
void TOptionsForm::MarkKey(int row, int index) {
  if (!IsKey(index)) return;
  for (int other = 1; other <= 4; ++other)
    if (other != row) SetItemText(KeyList(other), index, options_text::kUsedKey);
}

// Item `index` gets its character back in the other three rows, unless a
// hotkey of an absent device holds it.
void TOptionsForm::UnmarkKey(int row, int index) {
  if (!IsKey(index) || IsAbsentDeviceKey(index)) return;
  for (int other = 1; other <= 4; ++other)
    if (other != row) SetItemText(KeyList(other), index, KeyCaption(index));
}

void TOptionsForm::MarkFixedRow(int row, int& lastKey, int slot) {
  const int i = Selected(KeyList(row));
  if (i == kNoKey || i < 0) {
    slotKeys[static_cast<std::size_t>(slot)] = -1;
    UnmarkKey(row, lastKey);
    lastKey = kNoKey;
  } else if (i != lastKey) {
    slotKeys[static_cast<std::size_t>(slot)] = i;
    MarkKey(row, i);
    UnmarkKey(row, lastKey);
    lastKey = i;
  }
}

void TOptionsForm::MarkDeviceRow(int row) {
  const bool playback = row == 3;
  const int count = static_cast<int>(playback ? playbackDevices.size() : recordingDevices.size());
  const int first = playback ? 2 : 2 + static_cast<int>(playbackDevices.size());
  for (int d = 0; d < count; ++d) {
    int& marked = slotKeys[static_cast<std::size_t>(first + d)];
    const int i = KeyIndexOf(hotkeySlots[static_cast<std::size_t>(first + d)].pattern);
    if (i == kNoKey) {
      UnmarkKey(row, marked);
      marked = -1;
    } else if (i != marked) {
      UnmarkKey(row, marked);
      marked = i;
      MarkKey(row, i);
    }
  }
  if (playback) {
    UpdateRenderDeviceHotkeysKey();
    UpdateRenderDeviceHotkeysCaption();
  } else {
    UpdateCaptureDeviceHotkeysKey();
    UpdateCaptureDeviceHotkeysCaption();
  }
}

void TOptionsForm::MarkUsedKeys(int row) {
  if (slotKeys.size() < 2) return;  // not shown yet: no slots
  if (row == 1) MarkFixedRow(1, lastHotkeysKey, 0);
  if (row == 2) MarkFixedRow(2, lastNotificationsKey, 1);
  if (row == 3 || row == 4) MarkDeviceRow(row);
}

}  // namespace varnolet
