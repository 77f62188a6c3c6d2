#include "settings/options_window_win32.h"

#include <commdlg.h>
#include <shellapi.h>

#include "support/wide_win32.h"

namespace varnolet {

namespace {

using C = OptionsControl;

constexpr int kDesignHeight = 332;
constexpr int kCategoryColumnId = 900;
constexpr int kFirstControlId = 1000;

// Positions inside the dialog (for its direct controls) or inside the page
// that holds the control; design pixels at 120 dpi.
struct Place {
  C control;
  int kind;
  C parent;  // Dialog, or the page holding it
  ui::Bounds bounds;
  const wchar_t* text;
};

// Kinds, as OptionsWindow::Kind.
enum : int { kPage, kCheck, kList, kLabel, kField, kButton, kPictureButton, kLink, kPicture };

// The About page's texts until the form sets its own.
constexpr const wchar_t* kAuthor = L"Written by Kestrova Technologies";
constexpr const wchar_t* kContact = L"Contact: varnolet@kestrova.example";
constexpr const wchar_t* kLink1 = L"https://openclipart.org";
constexpr const wchar_t* kLink2 = L"https://commons.wikimedia.org";

// In creation order, which is the tab order: reading order within each page.
// The rows' fields come after their clear buttons so that a clear button
// lies above the field it sits in.
const Place kPlaces[] = {
    // pages
    {C::GroupBoxGeneral, kPage, C::Dialog, {135, 8, 457, 289}, L"General"},
    {C::GroupBoxDeviceRole, kPage, C::Dialog, {135, 8, 457, 289}, L"Device Role"},
    {C::GroupBoxDeviceLink, kPage, C::Dialog, {135, 8, 457, 289}, L"Device Link"},
    {C::GroupBoxHotkeys, kPage, C::Dialog, {135, 8, 457, 289}, L"  Hotkeys  "},
    {C::GroupBoxAbout, kPage, C::Dialog, {135, 8, 457, 289}, L"About"},
    // General
    {C::checkStartup, kCheck, C::GroupBoxGeneral, {16, 28, 300, 21}, L"Start with Windows"},
    {C::checkSplash, kCheck, C::GroupBoxGeneral, {16, 56, 300, 21}, L"Disable splash screen"},
    {C::checkNotifications, kCheck, C::GroupBoxGeneral, {16, 84, 300, 21}, L"Show notifications"},
    {C::checkHotkeys, kCheck, C::GroupBoxGeneral, {16, 112, 300, 21}, L"Enable hotkeys"},
    {C::checkDeviceLink, kCheck, C::GroupBoxGeneral, {16, 140, 300, 21}, L"Enable Device Link"},
    {C::LblLanguage, kLabel, C::GroupBoxGeneral, {18, 184, 300, 17}, L"Language"},
    {C::comboLanguage, kList, C::GroupBoxGeneral, {16, 204, 180, 21}, L""},
    // Device Role
    {C::checkMultimedia, kCheck, C::GroupBoxDeviceRole, {16, 28, 300, 21}, L"Multimedia"},
    {C::checkCommunications, kCheck, C::GroupBoxDeviceRole, {16, 56, 300, 21}, L"Communications"},
    {C::GroupBoxNote, kPage, C::GroupBoxDeviceRole, {16, 100, 425, 60}, L""},
    {C::LblNote,
     kLabel,
     C::GroupBoxNote,
     {12, 24, 400, 30},
     L"This feauture is not available on Windows Vista"},
    // Device Link
    {C::LblLinkPlaybackDevices, kLabel, C::GroupBoxDeviceLink, {23, 58, 400, 17}, L"Playback devices:"},
    {C::comboLinkPlaybackDevices, kList, C::GroupBoxDeviceLink, {15, 85, 423, 21}, L""},
    {C::BtnClearRenderLink, kPictureButton, C::GroupBoxDeviceLink, {373, 117, 20, 21}, L""},
    {C::editLinkPlaybackDevices, kField, C::GroupBoxDeviceLink, {15, 115, 379, 25}, L""},
    {C::BtnSelectPlaybackDevicesProgram, kButton, C::GroupBoxDeviceLink, {400, 115, 38, 25}, L". . ."},
    {C::ImgChain, kPicture, C::GroupBoxDeviceLink, {220, 153, 16, 16}, L""},
    {C::LblLinkRecordingDevices, kLabel, C::GroupBoxDeviceLink, {23, 155, 190, 17}, L"Recording devices:"},
    {C::comboLinkRecordingDevices, kList, C::GroupBoxDeviceLink, {15, 178, 423, 21}, L""},
    {C::BtnClearCaptureLink, kPictureButton, C::GroupBoxDeviceLink, {373, 210, 20, 21}, L""},
    {C::editLinkRecordingDevices, kField, C::GroupBoxDeviceLink, {15, 208, 379, 25}, L""},
    {C::BtnSelectRecordingDevicesProgram, kButton, C::GroupBoxDeviceLink, {400, 208, 38, 25}, L". . ."},
    // Hotkeys: each row's label, then its device list, key list and modifiers
    {C::LblHotkeys, kLabel, C::GroupBoxHotkeys, {18, 26, 420, 17}, L"Disable hotkeys:"},
    {C::comboHotkeys, kList, C::GroupBoxHotkeys, {16, 46, 64, 21}, L""},
    {C::checkAltHotkeys, kCheck, C::GroupBoxHotkeys, {92, 46, 46, 21}, L"Alt"},
    {C::checkCtrlHotkeys, kCheck, C::GroupBoxHotkeys, {144, 46, 48, 21}, L"Ctrl"},
    {C::checkShiftHotkeys, kCheck, C::GroupBoxHotkeys, {198, 46, 54, 21}, L"Shift"},
    {C::LblNotifications, kLabel, C::GroupBoxHotkeys, {18, 86, 420, 17}, L"Enable\\Disable notifications:"},
    {C::comboNotifications, kList, C::GroupBoxHotkeys, {16, 106, 64, 21}, L""},
    {C::checkAltNotifications, kCheck, C::GroupBoxHotkeys, {92, 106, 46, 21}, L"Alt"},
    {C::checkCtrlNotifications, kCheck, C::GroupBoxHotkeys, {144, 106, 48, 21}, L"Ctrl"},
    {C::checkShiftNotifications, kCheck, C::GroupBoxHotkeys, {198, 106, 54, 21}, L"Shift"},
    {C::LblPlaybackDevices, kLabel, C::GroupBoxHotkeys, {18, 146, 420, 17}, L"Playback devices:"},
    {C::comboPlaybackDevices, kList, C::GroupBoxHotkeys, {16, 166, 172, 21}, L""},
    {C::comboPlaybackHotkey, kList, C::GroupBoxHotkeys, {196, 166, 64, 21}, L""},
    {C::checkAltPlaybackDevices, kCheck, C::GroupBoxHotkeys, {272, 166, 46, 21}, L"Alt"},
    {C::checkCtrlPlaybackDevices, kCheck, C::GroupBoxHotkeys, {324, 166, 48, 21}, L"Ctrl"},
    {C::checkShiftPlaybackDevices, kCheck, C::GroupBoxHotkeys, {378, 166, 54, 21}, L"Shift"},
    {C::LblRecordingDevices, kLabel, C::GroupBoxHotkeys, {18, 206, 420, 17}, L"Recording devices:"},
    {C::comboRecordingDevices, kList, C::GroupBoxHotkeys, {16, 226, 172, 21}, L""},
    {C::comboRecordingHotkey, kList, C::GroupBoxHotkeys, {196, 226, 64, 21}, L""},
    {C::checkAltRecordingDevices, kCheck, C::GroupBoxHotkeys, {272, 226, 46, 21}, L"Alt"},
    {C::checkCtrlRecordingDevices, kCheck, C::GroupBoxHotkeys, {324, 226, 48, 21}, L"Ctrl"},
    {C::checkShiftRecordingDevices, kCheck, C::GroupBoxHotkeys, {378, 226, 54, 21}, L"Shift"},
    // About
    {C::ImgAbout, kPicture, C::GroupBoxAbout, {16, 30, 130, 242}, L""},
    {C::LblTitle, kLabel, C::GroupBoxAbout, {164, 34, 280, 26}, L"Varnolet v1.0"},
    {C::LblAuthor, kLabel, C::GroupBoxAbout, {164, 72, 280, 34}, kAuthor},
    {C::LblContact, kLabel, C::GroupBoxAbout, {164, 112, 280, 17}, kContact},
    {C::LblResources, kLabel, C::GroupBoxAbout, {164, 206, 280, 17}, L"Artwork resources thanks to: "},
    {C::LblLink1, kLink, C::GroupBoxAbout, {164, 226, 280, 19}, kLink1},
    {C::LblLink2, kLink, C::GroupBoxAbout, {164, 248, 280, 19}, kLink2},
    // under the pages
    {C::LblWarning, kLabel, C::Dialog, {135, 307, 290, 17}, L"Specified key is already selected"},
    {C::BtnOK, kButton, C::Dialog, {436, 303, 75, 25}, L"OK"},
    {C::BtnCancel, kButton, C::Dialog, {517, 303, 75, 25}, L"Cancel"},
};

constexpr int Index(C control) {
  return static_cast<int>(control);
}

bool IsPage(C control) {
  return control == C::GroupBoxGeneral || control == C::GroupBoxDeviceRole ||
         control == C::GroupBoxDeviceLink || control == C::GroupBoxHotkeys || control == C::GroupBoxAbout;
}

int CALLBACK FoundFont(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

// Tahoma where the system has it, the system's message font otherwise.
std::wstring DialogFace() {
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(wanted.lfFaceName, L"Tahoma", LF_FACESIZE);
  bool found = false;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(screen, &wanted, &FoundFont, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  if (found) return L"Tahoma";
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
    return metrics.lfMessageFont.lfFaceName;
  return L"MS Shell Dlg 2";
}

HFONT MakeFont(const std::wstring& face, int height, int weight, bool italic) {
  return CreateFontW(height, 0, 0, 0, weight, italic ? TRUE : FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH, face.c_str());
}

// "Executable file|*exe" as the file dialog reads it: pairs separated by
// nulls, the list ended by two.
std::wstring FilterOf(const std::u16string& filter) {
  std::wstring converted(as_wide(filter));
  for (wchar_t& c : converted)
    if (c == L'|') c = L'\0';
  converted.push_back(L'\0');
  converted.push_back(L'\0');
  return converted;
}

DWORD DialogStyle() {
  return WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
}
DWORD DialogExStyle() {
  return WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
}

}  // namespace

OptionsWindow::OptionsWindow(HWND owner) : owner_(owner) {}

void OptionsWindow::MakeWindow() {
  if (HasWindow()) return;
  dpi_ = ui::DpiOf(nullptr);
  window_.onMessage = [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return OnMessage(message, wParam, lParam, result);
  };
  ui::Window::Args args;
  args.className = L"Varnolet7Options";
  args.title = L"Options";
  args.style = DialogStyle();
  args.exStyle = DialogExStyle();
  args.owner = owner_;
  args.background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_.Create(args);
  dpi_ = ui::DpiOf(window_.Handle());
  timer_.onTimer = [this] {
    if (handlers.timer) handlers.timer();
  };
  CreateFonts();
  Build();
  ApplyFonts();
  ResizeToClient();
  Centre();
  ui::RegisterDialog(window_.Handle());
}

OptionsWindow::~OptionsWindow() {
  if (HasWindow()) ui::UnregisterDialog(window_.Handle());
  timer_.Enable(false);
  owned_.clear();
  window_.Destroy();
  for (HFONT font : {font_, italic_, title_})
    if (font != nullptr) DeleteObject(font);
}

void OptionsWindow::CreateFonts() {
  static const std::wstring face = DialogFace();
  font_ = MakeFont(face, -ui::Scale(13, dpi_), FW_NORMAL, false);
  italic_ = MakeFont(face, -ui::Scale(13, dpi_), FW_NORMAL, true);
  title_ = MakeFont(face, -ui::Scale(20, dpi_), FW_BOLD, false);
}

HWND OptionsWindow::ParentOf(C page) const {
  if (page == C::Dialog) return window_.Handle();
  return controls_[static_cast<std::size_t>(Index(page))]->Handle();
}

void OptionsWindow::Build() {
  HWND dialog = window_.Handle();
  ui::CategoryList::Args column;
  column.parent = dialog;
  column.id = kCategoryColumnId;
  column.bounds = {8, 8, 121, 289};
  column.buttonHeight = 30;
  column.captions = {L"General", L"Device Role", L"Device Link", L"Hotkeys", L"About"};
  categories_.Create(column);
  categories_.onChange = [this](int index) {
    if (handlers.categorySelected) handlers.categorySelected(index);
  };
  controls_[static_cast<std::size_t>(Index(C::OptionsMenu))] = &categories_;

  for (const Place& place : kPlaces) {
    const C control = place.control;
    const int id = control == C::BtnOK       ? IDOK
                   : control == C::BtnCancel ? IDCANCEL
                                             : kFirstControlId + Index(control);
    HWND parent = ParentOf(place.parent);
    std::unique_ptr<ui::Control> made;
    switch (place.kind) {
      case kPage: {
        auto page = std::make_unique<ui::Page>();
        page->Create({parent, id, place.text, place.bounds});
        if (IsPage(control)) pages_.push_back(page.get());
        made = std::move(page);
        break;
      }
      case kCheck: {
        auto box = std::make_unique<ui::CheckBox>();
        box->Create({parent, id, place.text, place.bounds});
        box->onClick = [this, control](bool checked) {
          if (handlers.checkClicked) handlers.checkClicked(control, checked);
        };
        made = std::move(box);
        break;
      }
      case kList: {
        auto list = std::make_unique<ui::DropDownList>();
        ui::DropDownList::Args listArgs;
        listArgs.parent = parent;
        listArgs.id = id;
        listArgs.bounds = place.bounds;
        list->Create(listArgs);
        list->onChange = [this, control](int index) {
          if (handlers.listSelected) handlers.listSelected(control, index);
        };
        made = std::move(list);
        break;
      }
      case kLabel:
      case kField: {
        auto label = std::make_unique<ui::Label>();
        ui::Label::Args labelArgs;
        labelArgs.parent = parent;
        labelArgs.id = id;
        labelArgs.text = place.text;
        labelArgs.bounds = place.bounds;
        labelArgs.framed = place.kind == kField;
        if (labelArgs.framed) labelArgs.inset = 22;  // the clear button lies in the field's right end
        if (control == C::LblWarning) labelArgs.colour = RGB(255, 0, 0);
        label->Create(labelArgs);
        made = std::move(label);
        break;
      }
      case kButton:
      case kPictureButton: {
        auto button = std::make_unique<ui::Button>();
        ui::Button::Args buttonArgs;
        buttonArgs.parent = parent;
        buttonArgs.id = id;
        buttonArgs.text = place.text;
        buttonArgs.bounds = place.bounds;
        buttonArgs.defaultButton = control == C::BtnOK;
        if (place.kind == kPictureButton) buttonArgs.picture = ui::LoadBitmapResource(L"IMG_CLEAR");
        button->Create(buttonArgs);
        button->onClick = [this, control] {
          if (handlers.buttonClicked) handlers.buttonClicked(control);
        };
        made = std::move(button);
        break;
      }
      case kLink: {
        auto link = std::make_unique<ui::LinkLabel>();
        link->Create({parent, id, place.text, place.bounds});
        link->onClick = [this, control] {
          if (handlers.buttonClicked) handlers.buttonClicked(control);
        };
        made = std::move(link);
        break;
      }
      case kPicture: {
        auto picture = std::make_unique<ui::Picture>();
        picture->Create({parent, id, place.bounds,
                         ui::LoadBitmapResource(control == C::ImgAbout ? L"IMG_ABOUT" : L"IMG_CHAIN")});
        made = std::move(picture);
        break;
      }
      default:
        break;
    }
    controls_[static_cast<std::size_t>(Index(control))] = made.get();
    kinds_[static_cast<std::size_t>(Index(control))] = static_cast<Kind>(place.kind);
    owned_.push_back(std::move(made));
  }
  // Hidden at first: the warning, the Vista note, the chain; every page but the first.
  for (C hidden : {C::LblWarning, C::GroupBoxNote, C::ImgChain}) Find(hidden)->SetVisible(false);
  // The link fields are read-only and disabled, as their text is only shown.
  for (C field : {C::editLinkPlaybackDevices, C::editLinkRecordingDevices}) Find(field)->SetEnabled(false);
  static_cast<ui::DropDownList*>(Find(C::comboLanguage))
      ->SetItems({L"English", L"\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac"});
  categories_.Select(0);
  BringToFront(C::GroupBoxGeneral);
  PlaceAll();
}

void OptionsWindow::ApplyFonts() {
  categories_.SetAllFonts(font_);
  for (const auto& control : owned_) control->SetFont(font_);
  for (ui::Page* page : pages_) page->SetFrameFont(font_);
  static_cast<ui::Page*>(Find(C::GroupBoxNote))->SetFrameFont(font_);
  Find(C::LblWarning)->SetFont(italic_);
  Find(C::LblTitle)->SetFont(title_);
}

void OptionsWindow::PlaceAll() {
  categories_.PlaceAll(dpi_);
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    ui::Control* control = controls_[i];
    if (control == nullptr || control == &categories_) continue;
    if (kinds_[i] == Kind::Page)
      static_cast<ui::Page*>(control)->PlaceFrame(dpi_);
    else
      control->Place(dpi_);
  }
}

void OptionsWindow::ResizeToClient() {
  RECT frame{0, 0, ui::Scale(clientWidth_, dpi_), ui::Scale(kDesignHeight, dpi_)};
  AdjustWindowRectEx(&frame, DialogStyle(), FALSE, DialogExStyle());
  SetWindowPos(window_.Handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void OptionsWindow::Centre() {
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  RECT outer{};
  GetWindowRect(window_.Handle(), &outer);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  SetWindowPos(window_.Handle(), nullptr, area.left + (area.right - area.left - width) / 2,
               area.top + (area.bottom - area.top - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

ui::Control* OptionsWindow::Find(C control) const {
  const int index = Index(control);
  if (index < 0 || index >= kOptionsControlCount) return nullptr;
  return controls_[static_cast<std::size_t>(index)];
}

ui::Control* OptionsWindow::FindById(int id) const {
  if (id == IDOK) return Find(C::BtnOK);
  if (id == IDCANCEL) return Find(C::BtnCancel);
  const int index = id - kFirstControlId;
  if (index < 0 || index >= kOptionsControlCount) return nullptr;
  return controls_[static_cast<std::size_t>(index)];
}

HWND OptionsWindow::ControlHandle(C control) const {
  ui::Control* found = Find(control);
  return found != nullptr ? found->Handle() : nullptr;
}

bool OptionsWindow::Visible() const {
  return IsWindowVisible(window_.Handle()) != FALSE;
}

// ------------------------------------------------------------- OptionsView

void OptionsWindow::ShowDialog() {
  HWND dialog = window_.Handle();
  if (!Visible()) {
    Centre();
    ShowWindow(dialog, SW_SHOW);
    // Each showing starts at the selected category.
    focus_ = categories_.ButtonHandle(categories_.Selected());
    if (focus_ != nullptr) SetFocus(focus_);
  }
  SetForegroundWindow(dialog);
  BringWindowToTop(dialog);
}

void OptionsWindow::HideDialog() {
  timer_.Enable(false);
  ShowWindow(window_.Handle(), SW_HIDE);
}

void OptionsWindow::HideApplicationWindow() {
  ShowWindow(owner_, SW_HIDE);
}

void OptionsWindow::SetText(C control, const std::u16string& text) {
  if (control == C::Dialog) {
    SetWindowTextW(window_.Handle(), as_wide(text));
    return;
  }
  ui::Control* found = Find(control);
  if (found == nullptr || found == &categories_) return;
  found->SetText(std::wstring(as_wide(text)));
}

void OptionsWindow::SetCategoryText(int category, const std::u16string& text) {
  categories_.SetCaption(category, std::wstring(as_wide(text)));
}

void OptionsWindow::SetChecked(C control, bool checked) {
  ui::Control* found = Find(control);
  if (found != nullptr && kinds_[static_cast<std::size_t>(Index(control))] == Kind::Check)
    static_cast<ui::CheckBox*>(found)->SetChecked(checked);
}

void OptionsWindow::SetEnabled(C control, bool enabled) {
  if (ui::Control* found = Find(control)) found->SetEnabled(enabled);
}

void OptionsWindow::SetVisible(C control, bool visible) {
  if (ui::Control* found = Find(control)) found->SetVisible(visible);
}

void OptionsWindow::SetItems(C list, const std::vector<std::u16string>& items) {
  ui::Control* found = Find(list);
  if (found == nullptr || kinds_[static_cast<std::size_t>(Index(list))] != Kind::List) return;
  std::vector<std::wstring> converted;
  converted.reserve(items.size());
  for (const std::u16string& item : items) converted.emplace_back(as_wide(item));
  static_cast<ui::DropDownList*>(found)->SetItems(converted);
}

void OptionsWindow::SetItemText(C list, int index, const std::u16string& text) {
  ui::Control* found = Find(list);
  if (found == nullptr || kinds_[static_cast<std::size_t>(Index(list))] != Kind::List) return;
  static_cast<ui::DropDownList*>(found)->SetItemText(index, std::wstring(as_wide(text)));
}

void OptionsWindow::SelectItem(C list, int index) {
  ui::Control* found = Find(list);
  if (found == nullptr || kinds_[static_cast<std::size_t>(Index(list))] != Kind::List) return;
  static_cast<ui::DropDownList*>(found)->Select(index);
}

void OptionsWindow::SelectCategory(int category) {
  categories_.Select(category);
}

void OptionsWindow::BringToFront(C page) {
  if (!IsPage(page)) return;
  ui::Control* front = Find(page);
  // The page on top is the only one shown, so Tab never reaches a covered page.
  HWND focus = GetFocus();
  for (ui::Page* other : pages_)
    if (other != front) {
      if (focus != nullptr && IsChild(other->Handle(), focus))
        SetFocus(categories_.ButtonHandle(categories_.Selected()));
      other->SetVisible(false);
    }
  static_cast<ui::Page*>(front)->BringToFront();
}

void OptionsWindow::SetLeft(C control, int left) {
  if (ui::Control* found = Find(control)) found->SetLeft(left);
}

void OptionsWindow::SetClientWidth(C control, int width) {
  if (control == C::Dialog) {
    clientWidth_ = width;
    ResizeToClient();
    return;
  }
  if (control == C::OptionsMenu) {
    // The column's border lies outside its client area.
    categories_.SetWidth(width);
    categories_.PlaceAll(dpi_);
    return;
  }
  if (ui::Control* found = Find(control)) found->SetWidth(width);
}

void OptionsWindow::StartTimer(std::uint32_t intervalMs) {
  timer_.Enable(false);
  timer_.SetInterval(intervalMs);
  timer_.Enable(true);
}

void OptionsWindow::StopTimer() {
  timer_.Enable(false);
}

bool OptionsWindow::PickProgram(const std::u16string& title, const std::u16string& filter,
                                std::u16string& path) {
  std::wstring file(32768, L'\0');
  const std::wstring filters = FilterOf(filter);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = window_.Handle();
  dialog.lpstrFilter = filters.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrTitle = as_wide(title);
  dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (!GetOpenFileNameW(&dialog)) return false;
  path = from_wide(file.c_str());
  return true;
}

void OptionsWindow::ShowMessage(const std::u16string& text) {
  MessageBoxW(window_.Handle(), as_wide(text), L"Varnolet 7", MB_OK);
}

void OptionsWindow::OpenAddress(const std::u16string& address) {
  ShellExecuteW(nullptr, L"open", as_wide(address), nullptr, nullptr, SW_SHOWNORMAL);
}

// ----------------------------------------------------------------- messages

bool OptionsWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (categories_.ButtonCommand(id, HIWORD(wParam))) return true;
      ui::Control* control = FindById(id);
      // Enter and Esc reach OK and Cancel as commands without a control.
      if (control != nullptr && control->Command(HIWORD(wParam))) return true;
      return false;
    }
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (categories_.ButtonDraw(item)) {
        result = TRUE;
        return true;
      }
      ui::Control* control = FindById(static_cast<int>(item.CtlID));
      if (control != nullptr && control->Draw(item)) {
        result = TRUE;
        return true;
      }
      return false;
    }
    case WM_CTLCOLORSTATIC:
      for (const auto& control : owned_)
        if (control->Handle() == reinterpret_cast<HWND>(lParam)) {
          HBRUSH brush = control->Colour(reinterpret_cast<HDC>(wParam));
          if (brush == nullptr) return false;
          result = reinterpret_cast<LRESULT>(brush);
          return true;
        }
      return false;
    case WM_TIMER:
      if (wParam == timer_.Id()) {
        timer_.Tick();
        return true;
      }
      return false;
    case WM_NEXTDLGCTL: {
      // The keyboard's moves between controls (Tab, arrows): as a dialog box does.
      HWND next = lParam != 0 ? reinterpret_cast<HWND>(wParam)
                              : GetNextDlgTabItem(window_.Handle(), GetFocus(), wParam != 0 ? TRUE : FALSE);
      if (next != nullptr) SetFocus(next);
      return true;
    }
    case WM_CLOSE:
      // Alt+F4 is Cancel.
      if (handlers.buttonClicked) handlers.buttonClicked(C::BtnCancel);
      return true;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && handlers.activated) handlers.activated();
      // The focus goes back where it was when the dialog is activated again.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window_.Handle(), focus)) focus_ = focus;
      } else if (focus_ != nullptr && IsWindowVisible(focus_)) {
        SetFocus(focus_);
        return true;
      }
      return false;
    case 0x02E0: {  // WM_DPICHANGED: new fonts and sizes, at the suggested place
      dpi_ = HIWORD(wParam);
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      // The controls let go of the old fonts before they are deleted.
      const HFONT old[] = {font_, italic_, title_};
      CreateFonts();
      ApplyFonts();
      for (HFONT font : old) DeleteObject(font);
      PlaceAll();
      RECT frame{0, 0, ui::Scale(clientWidth_, dpi_), ui::Scale(kDesignHeight, dpi_)};
      AdjustWindowRectEx(&frame, DialogStyle(), FALSE, DialogExStyle());
      SetWindowPos(window_.Handle(), nullptr, suggested->left, suggested->top, frame.right - frame.left,
                   frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
      InvalidateRect(window_.Handle(), nullptr, TRUE);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace varnolet
