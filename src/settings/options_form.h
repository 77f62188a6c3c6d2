// TOptionsForm: the Options dialog. It holds the state of every control and
// the dialog's own fields (the hotkey slots and their keys, the working list
// of device links, its copies of the two device lists, the saved layout), and
// has the dialog's handlers and actions. It draws through an OptionsView and
// reads the main form through an OptionsHost; OK asks the host to apply the
// settings, and the host's save steps read the state kept here.
//
// The view forwards the user's events through a handful of generic entry
// points, which dispatch to the named handlers:
//
//   Show()                     the tray menu's Options: FormShow and show the
//                              dialog, or only bring it to the front when it
//                              is visible already
//   Activated()                the window became active: FormActivate
//   CategorySelected(i)        a category button: OptionsMenuSelectedCategoryChange
//   CheckClicked(box, state)   the user toggled a check box (the twelve
//                              modifier boxes of the hotkey page have handlers;
//                              the others only keep their state)
//   ListSelected(list, i)      the user chose item i of a drop-down list
//                              (comboHotkeys, comboNotifications,
//                              comboPlaybackHotkey, comboRecordingHotkey,
//                              comboPlaybackDevices, comboRecordingDevices,
//                              comboLinkPlaybackDevices,
//                              comboLinkRecordingDevices; comboLanguage only
//                              keeps it)
//   ButtonClicked(control)     BtnOK (Enter), BtnCancel (Esc and closing the
//                              window), BtnSelectPlaybackDevicesProgram,
//                              BtnSelectRecordingDevicesProgram,
//                              BtnClearRenderLink, BtnClearCaptureLink, and the
//                              link labels LblLink1 and LblLink2
//   TimerTicked()              the warning's timer: TimerTimer
//
// Changes the form makes itself (SetChecked, SelectItem, ...) reach the view
// and raise no event. The view's window is made at the first Show: what the
// form set before (its construction, UpdateForm from the hotkey actions) is
// kept here and told to the new window then, so the first showing looks as it
// would had the window existed from the start.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "audio/endpoints.h"
#include "input/hotkey_file.h"
#include "link/device_link_file.h"
#include "settings/options_host.h"
#include "settings/options_view.h"

namespace varnolet {

// What a control shows.
struct OptionsControlState {
  std::u16string text;
  bool checked = false;
  bool enabled = true;
  bool visible = true;
  std::vector<std::u16string> items;  // drop-down lists
  int selected = -1;                  // drop-down lists
  int left = 0;                       // design pixels; 0 when the form never moves it
  int width = 0;                      // client width in design pixels; 0 when never set
  int tag = 0;
};

namespace options_layout {
inline constexpr int kFontPointSize = 8;  // Tahoma, height -13 at 120 dpi
inline constexpr int kClientWidth = 600;
inline constexpr int kClientHeight = 332;
inline constexpr int kMenuWidth = 121;
inline constexpr int kPageLeft = 135;
inline constexpr int kPageWidth = 457;
inline constexpr int kButtonWidth = 75;
inline constexpr int kOkLeft = 436;
inline constexpr int kCancelLeft = 517;
// Below this, the category list keeps its designed width.
inline constexpr int kWideningThreshold = 89;
}  // namespace options_layout

namespace options_text {
inline constexpr char16_t kTitle[] = u"Varnolet v1.0";
inline constexpr char16_t kAuthor[] = u"Written by Kestrova Technologies";
inline constexpr char16_t kContact[] = u"Contact: varnolet@kestrova.example";
inline constexpr char16_t kResources[] = u"Artwork resources thanks to: ";
inline constexpr char16_t kLink1[] = u"https://openclipart.org";
inline constexpr char16_t kLink2[] = u"https://commons.wikimedia.org";
inline constexpr char16_t kPickerTitle[] = u"Select a program to link";
inline constexpr char16_t kPickerFilter[] = u"Executable file|*exe";
inline constexpr char16_t kUsedKey[] = u"-";
}  // namespace options_text

// Index of "None" in the key lists; 0-35 are the keys of key positions 12-47.
inline constexpr int kNoKey = 36;
inline constexpr int kKeyItemCount = 37;
// The caption of key-list item i: "0"-"9", "A"-"T", "V", "U", "W"-"Z", "None".
std::u16string KeyCaption(int index);

class TOptionsForm {
 public:
  // The four key lists select "None" and the layout values are saved.
  explicit TOptionsForm(OptionsView& view);
  TOptionsForm(const TOptionsForm&) = delete;
  TOptionsForm& operator=(const TOptionsForm&) = delete;

  // The main form, from its constructor on.
  void AttachHost(OptionsHost& host) { host_ = &host; }

  // ---- entry points of the view (see above)
  void Show();
  void Activated() { FormActivate(); }
  void CategorySelected(int category);
  void CheckClicked(OptionsControl box, bool checked);
  void ListSelected(OptionsControl list, int index);
  void ButtonClicked(OptionsControl control);
  void TimerTicked() { TimerTimer(); }

  // ---- handlers
  void FormShow();
  void FormActivate() {}
  void OptionsMenuSelectedCategoryChange();
  void BtnOKClick();
  void BtnCancelClick();
  void LblLink1LinkClick();
  void LblLink2LinkClick();
  void TimerTimer();
  // hotkey page
  void comboHotkeysClick() { KeyListClick(1); }
  void comboNotificationsClick() { KeyListClick(2); }
  void comboPlaybackHotkeyClick() { KeyListClick(3); }
  void comboRecordingHotkeyClick() { KeyListClick(4); }
  void comboPlaybackDevicesClick();
  void comboRecordingDevicesClick();
  void ModifierClick(OptionsControl box);  // the twelve check-box handlers
  // Device Link page
  void comboLinkPlaybackDevicesChange() { UpdateRenderLinkInformation(); }
  void comboLinkRecordingDevicesChange() { UpdateCaptureLinkInformation(); }
  void BtnSelectPlaybackDevicesProgramClick() { SelectProgram(0); }
  void BtnSelectRecordingDevicesProgramClick() { SelectProgram(1); }
  void BtnClearRenderLinkClick() { ClearLink(0); }
  void BtnClearCaptureLinkClick() { ClearLink(1); }

  // ---- actions
  void UpdateForm();
  void UpdateMenu();
  void UpdateCheckBoxes();
  void UpdateHotkeys();
  void UpdateHotkeysKey() { UpdateKey(1); }
  void UpdateHotkeysModifier() { UpdateModifier(1); }
  void UpdateNotificationsKey() { UpdateKey(2); }
  void UpdateNotificationsModifier() { UpdateModifier(2); }
  void UpdateRenderDeviceHotkeysKey() { UpdateKey(3); }
  void UpdateRenderDeviceHotkeysModifier() { UpdateModifier(3); }
  void UpdateRenderDeviceHotkeysCaption() { UpdateCaption(3); }
  void UpdateCaptureDeviceHotkeysKey() { UpdateKey(4); }
  void UpdateCaptureDeviceHotkeysModifier() { UpdateModifier(4); }
  void UpdateCaptureDeviceHotkeysCaption() { UpdateCaption(4); }
  void UpdateRenderLinkInformation();
  void UpdateCaptureLinkInformation();

  // ---- routines of the hotkey page; rows 1 Disable hotkeys, 2 Notifications,
  // 3 Playback devices, 4 Recording devices
  void FillSlots();
  void StoreSlot(int row);
  void MarkUsedKeys(int row);
  bool IsKeyFree(int row);
  // ---- routine of the Device Link page; flow 0 playback, 1 recording
  bool IsProgramLinked(const std::u16string& path, int flow);

  // ---- what the save steps and the tests read
  bool Visible() const { return visible_; }
  const OptionsControlState& Control(OptionsControl control) const {
    return controls_[static_cast<std::size_t>(control)];
  }
  bool Checked(OptionsControl box) const { return Control(box).checked; }
  int Selected(OptionsControl list) const { return Control(list).selected; }
  int SelectedCategory() const { return category_; }
  bool TimerEnabled() const { return timerEnabled_; }
  // What the hotkey map receives on OK: the slots that hold a hotkey, then the
  // stored hotkeys of devices that were absent when the dialog was shown.
  std::vector<HotkeySlot> HotkeysToSave() const;

  // ---- the dialog's fields
  std::vector<HotkeySlot> hotkeySlots;
  std::vector<int> slotKeys;
  int lastHotkeysKey = kNoKey;
  int lastNotificationsKey = kNoKey;
  std::vector<DEVICELINK> links;  // the working list of the Device Link page
  // Stored hotkeys of devices absent at the showing: kept as they are.
  std::vector<HotkeySlot> absentDeviceHotkeys;
  // The device lists as they were at the showing (name and identifier).
  std::vector<DEVICEINFO> playbackDevices;
  std::vector<DEVICEINFO> recordingDevices;
  // Layout values saved at construction.
  int savedClientWidth = 0;
  int savedMenuWidth = 0;
  int savedPageLeft = 0;
  int savedOkLeft = 0;

 private:
  OptionsControlState& State(OptionsControl control) { return controls_[static_cast<std::size_t>(control)]; }
  void SetText(OptionsControl control, const std::u16string& text);
  void SetChecked(OptionsControl control, bool checked);
  void SetEnabled(OptionsControl control, bool enabled);
  void SetVisible(OptionsControl control, bool visible);
  void SetItems(OptionsControl list, std::vector<std::u16string> items);
  void SetItemText(OptionsControl list, int index, const std::u16string& text);
  void SelectItem(OptionsControl list, int index);
  void SetLeft(OptionsControl control, int left);
  void SetClientWidth(OptionsControl control, int width);
  const std::u16string& String(int id) const;
  // The view has a window to tell.
  bool Drawn() const { return view_.HasWindow(); }
  // Tells a newly made window every control state the form has set.
  void DrawAll();

  // hotkey page helpers
  void KeyListClick(int row);
  void UpdateKey(int row);
  void UpdateModifier(int row);
  void UpdateCaption(int row);
  int RowSlot(int row) const;  // -1: the row has no slot (no device of its kind)
  static OptionsControl KeyList(int row);
  static std::array<OptionsControl, 3> Modifiers(int row);  // Alt, Ctrl, Shift
  void MarkKey(int row, int index);
  void UnmarkKey(int row, int index);
  void MarkFixedRow(int row, int& lastKey, int slot);
  void MarkDeviceRow(int row);
  bool IsAbsentDeviceKey(int index) const;
  void ResetKeyLists();
  void EnableDeviceRows();

  // Device Link page helpers
  bool SelectedEndpoint(int flow, ComGuid& guid);
  void UpdateLinkInformation(int flow);
  void SelectProgram(int flow);
  void ClearLink(int flow);

  OptionsView& view_;
  OptionsHost* host_ = nullptr;
  std::array<OptionsControlState, kOptionsControlCount> controls_;
  std::array<std::u16string, 5> categories_;
  int category_ = 0;
  bool visible_ = false;
  bool timerEnabled_ = false;
  // Rows whose refused key choice is on show until the warning ends (bit r).
  unsigned refusedRows_ = 0;
  // Which states of each control the form has set (SetBit), so that DrawAll
  // tells a new window those and leaves the rest as the window was built.
  enum SetBit : unsigned char {
    kSetText = 1,
    kSetChecked = 2,
    kSetEnabled = 4,
    kSetVisible = 8,
    kSetItems = 16,
    kSetSelected = 32,
    kSetLeft = 64,
    kSetWidth = 128
  };
  std::array<unsigned char, kOptionsControlCount> set_{};
  bool categoryTextsSet_ = false;
  bool categoryShown_ = false;  // a category was selected or its page brought to the front
};

}  // namespace varnolet
