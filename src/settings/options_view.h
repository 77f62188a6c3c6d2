// What the Options dialog asks of its window: the humble view behind
// TOptionsForm. The form keeps the state of every control (captions, checks,
// selections, list items, what is shown) and tells the view what to show;
// the view forwards the user's clicks and choices back to the form's
// handlers. Sizes and positions are design pixels (120 dpi): the view scales
// them by the window's real dpi.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace varnolet {

// Every control of the dialog the form addresses, by its name. The five
// category buttons of OptionsMenu are addressed by their index (0 General,
// 1 Device Role, 2 Device Link, 3 Hotkeys, 4 About).
enum class OptionsControl : int {
  // the dialog itself (its caption) and its frame
  Dialog,
  OptionsMenu,
  GroupBoxGeneral,
  GroupBoxDeviceRole,
  GroupBoxDeviceLink,
  GroupBoxHotkeys,
  GroupBoxAbout,
  BtnOK,
  BtnCancel,
  // General
  checkStartup,
  checkSplash,
  checkNotifications,
  checkHotkeys,
  checkDeviceLink,
  LblLanguage,
  comboLanguage,
  // Device Role
  checkMultimedia,
  checkCommunications,
  GroupBoxNote,
  LblNote,
  // Device Link
  LblLinkPlaybackDevices,
  comboLinkPlaybackDevices,
  editLinkPlaybackDevices,
  BtnClearRenderLink,
  BtnSelectPlaybackDevicesProgram,
  LblLinkRecordingDevices,
  comboLinkRecordingDevices,
  editLinkRecordingDevices,
  BtnClearCaptureLink,
  BtnSelectRecordingDevicesProgram,
  ImgChain,
  // Hotkeys: four rows
  LblHotkeys,
  comboHotkeys,
  checkAltHotkeys,
  checkCtrlHotkeys,
  checkShiftHotkeys,
  LblNotifications,
  comboNotifications,
  checkAltNotifications,
  checkCtrlNotifications,
  checkShiftNotifications,
  LblPlaybackDevices,
  comboPlaybackDevices,
  comboPlaybackHotkey,
  checkAltPlaybackDevices,
  checkCtrlPlaybackDevices,
  checkShiftPlaybackDevices,
  LblRecordingDevices,
  comboRecordingDevices,
  comboRecordingHotkey,
  checkAltRecordingDevices,
  checkCtrlRecordingDevices,
  checkShiftRecordingDevices,
  LblWarning,
  // About
  ImgAbout,
  LblTitle,
  LblAuthor,
  LblContact,
  LblResources,
  LblLink1,
  LblLink2,
  Count
};

inline constexpr int kOptionsControlCount = static_cast<int>(OptionsControl::Count);

class OptionsView {
 public:
  virtual ~OptionsView() = default;

  // The dialog's window is made when the dialog is first shown, not with the
  // form: until then the form keeps every control's state and tells the view
  // nothing, and MakeWindow is followed by everything the form has set.
  virtual bool HasWindow() const = 0;
  virtual void MakeWindow() = 0;

  // The dialog window: shown (or only brought to the front when it is
  // visible already), hidden.
  virtual void ShowDialog() = 0;
  virtual void HideDialog() = 0;
  // ShowWindow(SW_HIDE) on the application's own window.
  virtual void HideApplicationWindow() = 0;

  // Control state. Text: a caption, a label's or an edit's text, the dialog's
  // caption (Dialog). Shown as given: an "&" in a device or program name is
  // doubled by the view where the control would read it as a mnemonic.
  virtual void SetText(OptionsControl control, const std::u16string& text) = 0;
  virtual void SetCategoryText(int category, const std::u16string& text) = 0;
  virtual void SetChecked(OptionsControl control, bool checked) = 0;
  virtual void SetEnabled(OptionsControl control, bool enabled) = 0;
  virtual void SetVisible(OptionsControl control, bool visible) = 0;
  // Drop-down lists: every item, one item's caption, the selection (-1 none).
  // A selection made by the program raises no click.
  virtual void SetItems(OptionsControl list, const std::vector<std::u16string>& items) = 0;
  virtual void SetItemText(OptionsControl list, int index, const std::u16string& text) = 0;
  virtual void SelectItem(OptionsControl list, int index) = 0;
  // Category list: the selected category (its button silver, the others white).
  virtual void SelectCategory(int category) = 0;
  // Pages: brings a group box to the front of the stack.
  virtual void BringToFront(OptionsControl page) = 0;

  // Layout, in design pixels: a control's left edge, its client width (the
  // dialog's client width for Dialog).
  virtual void SetLeft(OptionsControl control, int left) = 0;
  virtual void SetClientWidth(OptionsControl control, int width) = 0;

  // Timer of the hotkey page's warning, ticking into TOptionsForm::TimerTimer.
  virtual void StartTimer(std::uint32_t intervalMs) = 0;
  virtual void StopTimer() = 0;

  // The program picker owned by the dialog: true with the chosen file's full
  // name, false when the user cancels.
  virtual bool PickProgram(const std::u16string& title, const std::u16string& filter,
                           std::u16string& path) = 0;
  // A message box with an OK button, owned by the dialog.
  virtual void ShowMessage(const std::u16string& text) = 0;
  // ShellExecuteW(no owner, "open", address, no parameters, no directory, SW_SHOWNORMAL).
  virtual void OpenAddress(const std::u16string& address) = 0;
};

}  // namespace varnolet
