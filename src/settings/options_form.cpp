// The Options dialog's frame: the events of the view, showing and hiding,
// the General, Device Role and About pages, the layout for long captions,
// OK and Cancel.
#include "settings/options_form.h"

namespace varnolet {

namespace {

using C = OptionsControl;

constexpr C kPages[] = {C::GroupBoxGeneral, C::GroupBoxDeviceRole, C::GroupBoxDeviceLink, C::GroupBoxHotkeys,
                        C::GroupBoxAbout};

// The check boxes whose width follows their caption.
constexpr C kSizedCheckBoxes[] = {C::checkStartup,       C::checkSplash,  C::checkNotifications,
                                  C::checkDeviceLink,    C::checkHotkeys, C::checkMultimedia,
                                  C::checkCommunications};

// Captions from the string table: control, string.
struct TextRow {
  C control;
  int id;
};
constexpr TextRow kTexts[] = {
    {C::Dialog, 1},
    {C::GroupBoxGeneral, 6},
    {C::GroupBoxDeviceRole, 7},
    {C::GroupBoxDeviceLink, 15},
    {C::GroupBoxHotkeys, 8},
    {C::GroupBoxAbout, 9},
    {C::checkStartup, 10},
    {C::checkSplash, 11},
    {C::checkNotifications, 12},
    {C::checkDeviceLink, 45},
    {C::checkHotkeys, 13},
    {C::LblLanguage, 14},
    {C::checkMultimedia, 16},
    {C::checkCommunications, 17},
    {C::LblNote, 29},
    {C::LblHotkeys, 18},
    {C::LblNotifications, 19},
    {C::LblPlaybackDevices, 20},
    {C::LblRecordingDevices, 21},
    {C::LblWarning, 28},
};
constexpr int kCategoryStrings[] = {6, 7, 15, 8, 9};

const std::u16string kEmpty;

}  // namespace

std::u16string KeyCaption(int index) {
  if (index >= 0 && index <= 9) return std::u16string(1, static_cast<char16_t>(u'0' + index));
  if (index >= 10 && index <= 29) return std::u16string(1, static_cast<char16_t>(u'A' + (index - 10)));
  // The key record keeps V before U; the lists follow it.
  if (index == 30) return u"V";
  if (index == 31) return u"U";
  if (index >= 32 && index <= 35) return std::u16string(1, static_cast<char16_t>(u'W' + (index - 32)));
  return u"None";
}

TOptionsForm::TOptionsForm(OptionsView& view) : view_(view) {
  using namespace options_layout;
  // The built-in captions the string table never replaces.
  SetText(C::BtnOK, u"OK");
  SetText(C::BtnCancel, u"Cancel");
  SetText(C::LblLinkPlaybackDevices, u"Playback devices:");
  SetText(C::LblLinkRecordingDevices, u"Recording devices:");
  SetText(C::BtnSelectPlaybackDevicesProgram, u". . .");
  SetText(C::BtnSelectRecordingDevicesProgram, u". . .");
  SetText(C::LblTitle, options_text::kTitle);
  SetText(C::LblAuthor, options_text::kAuthor);
  SetText(C::LblContact, options_text::kContact);
  SetText(C::LblResources, options_text::kResources);
  SetText(C::LblLink1, options_text::kLink1);
  SetText(C::LblLink2, options_text::kLink2);
  SetItems(C::comboLanguage, {u"English", u"Ελληνικά"});
  SelectItem(C::comboLanguage, 0);

  std::vector<std::u16string> keys;
  for (int i = 0; i < kKeyItemCount; ++i) keys.push_back(KeyCaption(i));
  for (int row = 1; row <= 4; ++row) {
    SetItems(KeyList(row), keys);
    SelectItem(KeyList(row), kNoKey);
  }
  SetVisible(C::GroupBoxNote, false);
  SetVisible(C::LblWarning, false);
  SetVisible(C::ImgChain, false);

  State(C::Dialog).width = kClientWidth;
  State(C::OptionsMenu).width = kMenuWidth;
  for (C page : kPages) {
    State(page).left = kPageLeft;
    State(page).width = kPageWidth;
  }
  State(C::BtnOK).left = kOkLeft;
  State(C::BtnOK).width = kButtonWidth;
  State(C::BtnCancel).left = kCancelLeft;
  State(C::BtnCancel).width = kButtonWidth;
  savedClientWidth = Control(C::Dialog).width;
  savedMenuWidth = Control(C::OptionsMenu).width;
  savedPageLeft = Control(C::GroupBoxGeneral).left;
  savedOkLeft = Control(C::BtnOK).left;
}

// ------------------------------------------------------------ control state

void TOptionsForm::SetText(C control, const std::u16string& text) {
  State(control).text = text;
  set_[static_cast<std::size_t>(control)] |= kSetText;
  if (Drawn()) view_.SetText(control, text);
}

void TOptionsForm::SetChecked(C control, bool checked) {
  State(control).checked = checked;
  set_[static_cast<std::size_t>(control)] |= kSetChecked;
  if (Drawn()) view_.SetChecked(control, checked);
}

void TOptionsForm::SetEnabled(C control, bool enabled) {
  State(control).enabled = enabled;
  set_[static_cast<std::size_t>(control)] |= kSetEnabled;
  if (Drawn()) view_.SetEnabled(control, enabled);
}

void TOptionsForm::SetVisible(C control, bool visible) {
  State(control).visible = visible;
  set_[static_cast<std::size_t>(control)] |= kSetVisible;
  if (Drawn()) view_.SetVisible(control, visible);
}

void TOptionsForm::SetItems(C list, std::vector<std::u16string> items) {
  OptionsControlState& state = State(list);
  state.items = std::move(items);
  state.selected = -1;
  set_[static_cast<std::size_t>(list)] |= kSetItems;
  if (Drawn()) view_.SetItems(list, state.items);
}

void TOptionsForm::SetItemText(C list, int index, const std::u16string& text) {
  OptionsControlState& state = State(list);
  if (index < 0 || index >= static_cast<int>(state.items.size())) return;
  if (state.items[static_cast<std::size_t>(index)] == text) return;
  state.items[static_cast<std::size_t>(index)] = text;
  if (Drawn()) view_.SetItemText(list, index, text);
}

void TOptionsForm::SelectItem(C list, int index) {
  OptionsControlState& state = State(list);
  if (index < -1 || index >= static_cast<int>(state.items.size())) index = -1;
  state.selected = index;
  set_[static_cast<std::size_t>(list)] |= kSetSelected;
  if (Drawn()) view_.SelectItem(list, index);
}

void TOptionsForm::SetLeft(C control, int left) {
  State(control).left = left;
  set_[static_cast<std::size_t>(control)] |= kSetLeft;
  if (Drawn()) view_.SetLeft(control, left);
}

void TOptionsForm::SetClientWidth(C control, int width) {
  State(control).width = width;
  set_[static_cast<std::size_t>(control)] |= kSetWidth;
  if (Drawn()) view_.SetClientWidth(control, width);
}

void TOptionsForm::DrawAll() {
  for (int i = 0; i < kOptionsControlCount; ++i) {
    const C control = static_cast<C>(i);
    const OptionsControlState& state = Control(control);
    const unsigned set = set_[static_cast<std::size_t>(i)];
    if ((set & kSetText) != 0) view_.SetText(control, state.text);
    if ((set & kSetChecked) != 0) view_.SetChecked(control, state.checked);
    if ((set & kSetEnabled) != 0) view_.SetEnabled(control, state.enabled);
    if ((set & kSetVisible) != 0) view_.SetVisible(control, state.visible);
    // The items with their captions as they are now, then the selection.
    if ((set & kSetItems) != 0) view_.SetItems(control, state.items);
    if ((set & (kSetItems | kSetSelected)) != 0) view_.SelectItem(control, state.selected);
    if ((set & kSetLeft) != 0) view_.SetLeft(control, state.left);
    if ((set & kSetWidth) != 0) view_.SetClientWidth(control, state.width);
  }
  if (categoryTextsSet_)
    for (int i = 0; i < 5; ++i) view_.SetCategoryText(i, categories_[static_cast<std::size_t>(i)]);
  if (categoryShown_) {
    view_.SelectCategory(category_);
    if (category_ >= 0 && category_ < static_cast<int>(std::size(kPages)))
      view_.BringToFront(kPages[category_]);
  }
  if (timerEnabled_) view_.StartTimer(1000);
}

const std::u16string& TOptionsForm::String(int id) const {
  if (host_ == nullptr) return kEmpty;
  return host_->String(id);
}

// ------------------------------------------------------------ view events

void TOptionsForm::Show() {
  if (visible_) {
    view_.ShowDialog();  // only to the front
    return;
  }
  if (!Drawn()) {
    view_.MakeWindow();
    DrawAll();
  }
  visible_ = true;
  FormShow();
  view_.ShowDialog();
}

void TOptionsForm::CategorySelected(int category) {
  category_ = category;
  categoryShown_ = true;
  if (Drawn()) view_.SelectCategory(category);
  OptionsMenuSelectedCategoryChange();
}

void TOptionsForm::CheckClicked(C box, bool checked) {
  State(box).checked = checked;
  switch (box) {
    case C::checkAltHotkeys:
    case C::checkCtrlHotkeys:
    case C::checkShiftHotkeys:
    case C::checkAltNotifications:
    case C::checkCtrlNotifications:
    case C::checkShiftNotifications:
    case C::checkAltPlaybackDevices:
    case C::checkCtrlPlaybackDevices:
    case C::checkShiftPlaybackDevices:
    case C::checkAltRecordingDevices:
    case C::checkCtrlRecordingDevices:
    case C::checkShiftRecordingDevices:
      ModifierClick(box);
      break;
    default:
      break;
  }
}

void TOptionsForm::ListSelected(C list, int index) {
  OptionsControlState& state = State(list);
  if (index < -1 || index >= static_cast<int>(state.items.size())) return;
  state.selected = index;
  switch (list) {
    case C::comboHotkeys:
      comboHotkeysClick();
      break;
    case C::comboNotifications:
      comboNotificationsClick();
      break;
    case C::comboPlaybackHotkey:
      comboPlaybackHotkeyClick();
      break;
    case C::comboRecordingHotkey:
      comboRecordingHotkeyClick();
      break;
    case C::comboPlaybackDevices:
      comboPlaybackDevicesClick();
      break;
    case C::comboRecordingDevices:
      comboRecordingDevicesClick();
      break;
    case C::comboLinkPlaybackDevices:
      comboLinkPlaybackDevicesChange();
      break;
    case C::comboLinkRecordingDevices:
      comboLinkRecordingDevicesChange();
      break;
    default:
      break;
  }
}

void TOptionsForm::ButtonClicked(C control) {
  switch (control) {
    case C::BtnOK:
      BtnOKClick();
      break;
    case C::BtnCancel:
      BtnCancelClick();
      break;
    case C::BtnSelectPlaybackDevicesProgram:
      BtnSelectPlaybackDevicesProgramClick();
      break;
    case C::BtnSelectRecordingDevicesProgram:
      BtnSelectRecordingDevicesProgramClick();
      break;
    case C::BtnClearRenderLink:
      BtnClearRenderLinkClick();
      break;
    case C::BtnClearCaptureLink:
      BtnClearCaptureLinkClick();
      break;
    case C::LblLink1:
      LblLink1LinkClick();
      break;
    case C::LblLink2:
      LblLink2LinkClick();
      break;
    default:
      break;
  }
}

// ------------------------------------------------------------ handlers

void TOptionsForm::FormShow() {
  view_.HideApplicationWindow();
  if (host_ == nullptr) return;

  // The dialog's own copies: a rebuild of the main form's lists while the
  // dialog is open cannot move a slot, a selection or a row.
  playbackDevices.assign(host_->PlaybackDevices().begin(), host_->PlaybackDevices().end());
  recordingDevices.assign(host_->RecordingDevices().begin(), host_->RecordingDevices().end());
  std::vector<std::u16string> playbackNames;
  std::vector<std::u16string> recordingNames;
  for (const DEVICEINFO& device : playbackDevices) playbackNames.push_back(device.name);
  for (const DEVICEINFO& device : recordingDevices) recordingNames.push_back(device.name);
  for (C list : {C::comboPlaybackDevices, C::comboLinkPlaybackDevices}) {
    SetItems(list, playbackNames);
    SelectItem(list, playbackNames.empty() ? -1 : 0);
  }
  for (C list : {C::comboRecordingDevices, C::comboLinkRecordingDevices}) {
    SetItems(list, recordingNames);
    SelectItem(list, recordingNames.empty() ? -1 : 0);
  }

  links = host_->DeviceLinks();

  // The hotkey page starts from clean key lists at every showing; the marks
  // come from the slots alone.
  ResetKeyLists();
  hotkeySlots.assign(2 + playbackDevices.size() + recordingDevices.size(), HotkeySlot{});
  slotKeys.assign(hotkeySlots.size(), -1);
  FillSlots();
  EnableDeviceRows();
  UpdateHotkeys();
  for (int row = 1; row <= 4; ++row) MarkUsedKeys(row);
  UpdateForm();
}

void TOptionsForm::OptionsMenuSelectedCategoryChange() {
  if (category_ < 0 || category_ >= static_cast<int>(std::size(kPages))) return;
  categoryShown_ = true;
  if (Drawn()) view_.BringToFront(kPages[category_]);
}

void TOptionsForm::BtnOKClick() {
  visible_ = false;
  if (Drawn()) view_.HideDialog();
  if (host_ != nullptr) host_->ApplyOptions();
}

void TOptionsForm::BtnCancelClick() {
  visible_ = false;
  if (Drawn()) view_.HideDialog();
}

void TOptionsForm::LblLink1LinkClick() {
  view_.OpenAddress(options_text::kLink1);
}

void TOptionsForm::LblLink2LinkClick() {
  view_.OpenAddress(options_text::kLink2);
}

// ------------------------------------------------------------ actions

void TOptionsForm::UpdateForm() {
  for (const TextRow& row : kTexts) SetText(row.control, String(row.id));
  categoryTextsSet_ = true;
  for (int i = 0; i < 5; ++i) {
    categories_[static_cast<std::size_t>(i)] = String(kCategoryStrings[i]);
    if (Drawn()) view_.SetCategoryText(i, categories_[static_cast<std::size_t>(i)]);
  }

  if (host_ != nullptr) {
    // Each box is ticked by the same test that reads the setting at start-up.
    const UserSettings& settings = host_->Settings();
    SetChecked(C::checkStartup, settings[setting::Startup] != 0);
    SetChecked(C::checkSplash, settings[setting::Splash] != 0);
    SetChecked(C::checkNotifications, settings[setting::Notifications] != 0);
    SetChecked(C::checkDeviceLink, settings[setting::DeviceLink] != 0);
    SetChecked(C::checkHotkeys, settings[setting::Hotkeys] != 0);
    // Any language other than Greek is read as English.
    SelectItem(C::comboLanguage, settings[setting::Language] == 1 ? 1 : 0);
    const std::int32_t role = settings[setting::Role];
    SetChecked(C::checkMultimedia, role != device_role::Communications);
    SetChecked(C::checkCommunications, role != device_role::Multimedia);
    const bool vista = host_->IsVistaWorkstation();
    SetEnabled(C::checkMultimedia, !vista);
    SetEnabled(C::checkCommunications, !vista);
    SetVisible(C::GroupBoxNote, vista);
  }

  UpdateRenderLinkInformation();
  UpdateCaptureLinkInformation();
  UpdateMenu();
  UpdateCheckBoxes();
}

void TOptionsForm::UpdateMenu() {
  using namespace options_layout;
  const int w = static_cast<int>(categories_[2].size()) * kFontPointSize;
  if (w < kWideningThreshold) {
    SetClientWidth(C::Dialog, savedClientWidth);
    SetClientWidth(C::OptionsMenu, savedMenuWidth);
    for (C page : kPages) SetLeft(page, savedPageLeft);
    SetLeft(C::BtnOK, savedOkLeft);
    SetLeft(C::BtnCancel, savedOkLeft + Control(C::BtnOK).width + 6);
    return;
  }
  SetClientWidth(C::OptionsMenu, w + 12);
  SetClientWidth(C::Dialog, Control(C::OptionsMenu).width + Control(C::GroupBoxGeneral).width + 22);
  for (C page : kPages) SetLeft(page, Control(C::OptionsMenu).width + 14);
  SetLeft(C::BtnCancel, Control(C::Dialog).width - Control(C::BtnCancel).width - 8);
  SetLeft(C::BtnOK, Control(C::BtnCancel).left - Control(C::BtnOK).width - 6);
}

void TOptionsForm::UpdateCheckBoxes() {
  for (C box : kSizedCheckBoxes)
    SetClientWidth(box, static_cast<int>(Control(box).text.size()) * options_layout::kFontPointSize + 12);
}

}  // namespace varnolet
