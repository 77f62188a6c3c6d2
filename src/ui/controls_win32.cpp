#include "ui/controls_win32.h"

#include <algorithm>

#include "ui/window_win32.h"

namespace varnolet::ui {

namespace {

constexpr const wchar_t* kPageClass = L"Varnolet7Page";
constexpr const wchar_t* kColumnClass = L"Varnolet7CategoryColumn";
constexpr const wchar_t* kLinkProperty = L"Varnolet7Link";
constexpr COLORREF kLinkColour = RGB(0, 102, 204);
constexpr COLORREF kCategoryFace = RGB(255, 255, 255);
constexpr COLORREF kCategorySelected = RGB(192, 192, 192);

HINSTANCE Instance() {
  return GetModuleHandleW(nullptr);
}

// Windows holding controls pass their children's notifications to their own
// parent, which routes them by control id; a link label gets the hand cursor.
LRESULT CALLBACK ContainerProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return SendMessageW(GetParent(hwnd), message, wParam, lParam);
    case WM_SETCURSOR:
      if (GetPropW(reinterpret_cast<HWND>(wParam), kLinkProperty) != nullptr) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

void RegisterContainer(const wchar_t* name, HBRUSH background) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(Instance(), name, &existing)) return;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &ContainerProcedure;
  windowClass.hInstance = Instance();
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = background;
  windowClass.lpszClassName = name;
  RegisterClassExW(&windowClass);
}

HWND CreateContainer(const wchar_t* className, HBRUSH background, HWND parent, int id) {
  RegisterContainer(className, background);
  return CreateWindowExW(WS_EX_CONTROLPARENT, className, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
}

void PlaceWindow(HWND window, const Bounds& bounds, int dpi) {
  SetWindowPos(window, nullptr, Scale(bounds.x, dpi), Scale(bounds.y, dpi), Scale(bounds.width, dpi),
               Scale(bounds.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// The text of an owner-drawn control, centred vertically at a left indent.
void DrawCaption(HDC dc, RECT area, const std::wstring& text, COLORREF colour, UINT format) {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
            format | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

// A frame's caption has two blanks on either side, a gap in the frame's line.
std::wstring FrameCaption(const std::wstring& text) {
  if (text.empty()) return text;
  return L"  " + Literal(text) + L"  ";
}

// The dialog-like windows of the program, for the message loop.
std::vector<HWND>& Dialogs() {
  static std::vector<HWND> dialogs;
  return dialogs;
}

}  // namespace

std::wstring Literal(const std::wstring& text) {
  std::wstring doubled;
  doubled.reserve(text.size());
  for (wchar_t c : text) {
    doubled += c;
    if (c == L'&') doubled += L'&';
  }
  return doubled;
}

// ----------------------------------------------------------------- Control

Control::~Control() {
  if (hwnd_ != nullptr && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

// Clipped by its siblings: a control lying on another (a clear button on its
// field) is never painted over.
bool Control::CreateChild(HWND parent, int id, const wchar_t* className, const std::wstring& text,
                          DWORD style, DWORD exStyle, const Bounds& bounds) {
  id_ = id;
  bounds_ = bounds;
  dpi_ = DpiOf(parent);
  hwnd_ = CreateWindowExW(exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style,
                          Scale(bounds.x, dpi_), Scale(bounds.y, dpi_), Scale(bounds.width, dpi_),
                          Scale(bounds.height, dpi_), parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), nullptr);
  return hwnd_ != nullptr;
}

void Control::SetBounds(const Bounds& bounds) {
  bounds_ = bounds;
  Place(dpi_);
}

void Control::SetLeft(int left) {
  bounds_.x = left;
  Place(dpi_);
}

void Control::SetWidth(int width) {
  bounds_.width = width;
  Place(dpi_);
}

void Control::Place(int dpi) {
  dpi_ = dpi;
  if (hwnd_ != nullptr) PlaceWindow(hwnd_, bounds_, dpi);
}

void Control::SetFont(HFONT font) {
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void Control::SetText(const std::wstring& text) {
  SetWindowTextW(hwnd_, text.c_str());
}

std::wstring Control::Text() const {
  return WindowText(hwnd_);
}

void Control::SetEnabled(bool enabled) {
  EnableWindow(hwnd_, enabled ? TRUE : FALSE);
}

bool Control::Enabled() const {
  return IsWindowEnabled(hwnd_) != FALSE;
}

void Control::SetVisible(bool visible) {
  ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}

bool Control::Visible() const {
  return (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
}

// ------------------------------------------------------------------ Button

bool Button::Create(const Args& args) {
  mnemonics_ = args.mnemonics;
  DWORD style = WS_TABSTOP | (args.defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
  if (args.picture != nullptr) style |= BS_BITMAP;
  if (!CreateChild(args.parent, args.id, L"BUTTON", mnemonics_ ? args.text : Literal(args.text), style, 0,
                   args.bounds))
    return false;
  if (args.picture != nullptr)
    SendMessageW(hwnd_, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(args.picture));
  return true;
}

void Button::SetText(const std::wstring& text) {
  Control::SetText(mnemonics_ ? text : Literal(text));
}

bool Button::Command(WORD code) {
  if (code != BN_CLICKED) return false;
  if (onClick) onClick();
  return true;
}

// ---------------------------------------------------------------- CheckBox

bool CheckBox::Create(const Args& args) {
  mnemonics_ = args.mnemonics;
  return CreateChild(args.parent, args.id, L"BUTTON", mnemonics_ ? args.text : Literal(args.text),
                     WS_TABSTOP | BS_AUTOCHECKBOX, 0, args.bounds);
}

void CheckBox::SetText(const std::wstring& text) {
  Control::SetText(mnemonics_ ? text : Literal(text));
}

void CheckBox::SetChecked(bool checked) {
  SendMessageW(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool CheckBox::Checked() const {
  return SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool CheckBox::Command(WORD code) {
  if (code != BN_CLICKED) return false;
  if (onClick) onClick(Checked());
  return true;
}

// ------------------------------------------------------------ DropDownList

bool DropDownList::Create(const Args& args) {
  visibleItems_ = args.visibleItems;
  // The window's height is the opened list's; the closed field's follows the font.
  Bounds bounds = args.bounds;
  bounds.height = args.bounds.height * (1 + visibleItems_);
  if (!CreateChild(args.parent, args.id, L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0,
                   bounds))
    return false;
  return true;
}

void DropDownList::SetItems(const std::vector<std::wstring>& items) {
  SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0);
  for (const std::wstring& item : items)
    SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

void DropDownList::SetItemText(int index, const std::wstring& text) {
  if (index < 0 || index >= Count()) return;
  const int selected = Selected();
  SendMessageW(hwnd_, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
  SendMessageW(hwnd_, CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.c_str()));
  if (selected == index) Select(selected);
}

int DropDownList::Count() const {
  return static_cast<int>(SendMessageW(hwnd_, CB_GETCOUNT, 0, 0));
}

std::wstring DropDownList::ItemText(int index) const {
  const LRESULT length = SendMessageW(hwnd_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(hwnd_, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

void DropDownList::Select(int index) {
  SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int DropDownList::Selected() const {
  return static_cast<int>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0));
}

bool DropDownList::Command(WORD code) {
  if (code != CBN_SELCHANGE) return false;
  if (onChange) onChange(Selected());
  return true;
}

// ------------------------------------------------------------------- Label

bool Label::Create(const Args& args) {
  colour_ = args.colour;
  framed_ = args.framed;
  inset_ = args.inset;
  DWORD style = args.framed ? SS_OWNERDRAW : args.centred ? SS_CENTER : SS_LEFT;
  if (!args.mnemonics) style |= SS_NOPREFIX;
  return CreateChild(args.parent, args.id, L"STATIC", args.text, style, 0, args.bounds);
}

void Label::SetText(const std::wstring& text) {
  Control::SetText(text);
  if (framed_) InvalidateRect(hwnd_, nullptr, TRUE);
}

bool Label::Draw(const DRAWITEMSTRUCT& item) {
  if (!framed_) return false;
  RECT area = item.rcItem;
  FillRect(item.hDC, &area, GetSysColorBrush(COLOR_BTNFACE));
  DrawEdge(item.hDC, &area, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  area.right -= Scale(inset_, dpi_);
  InflateRect(&area, -Scale(2, dpi_), 0);
  const std::wstring text = Text();
  HFONT base = reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0));
  LOGFONTW shape{};
  GetObjectW(base, sizeof shape, &shape);
  // Down to four fifths of the font's height while the text does not fit.
  const LONG smallest = shape.lfHeight * 4 / 5;
  HFONT font = nullptr;
  HGDIOBJ old = SelectObject(item.hDC, base);
  for (;;) {
    SIZE size{0, 0};
    GetTextExtentPoint32W(item.hDC, text.c_str(), static_cast<int>(text.size()), &size);
    if (size.cx <= area.right - area.left || shape.lfHeight >= smallest || shape.lfHeight >= -1) break;
    ++shape.lfHeight;  // heights are negative: one pixel smaller
    if (font != nullptr) {
      SelectObject(item.hDC, base);
      DeleteObject(font);
    }
    font = CreateFontIndirectW(&shape);
    SelectObject(item.hDC, font);
  }
  DrawCaption(item.hDC, area, text, GetSysColor(IsWindowEnabled(hwnd_) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT),
              DT_CENTER);
  SelectObject(item.hDC, old);
  if (font != nullptr) DeleteObject(font);
  return true;
}

HBRUSH Label::Colour(HDC dc) {
  if (colour_ == CLR_INVALID) return nullptr;
  SetTextColor(dc, colour_);
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return GetSysColorBrush(COLOR_BTNFACE);
}

// --------------------------------------------------------------- LinkLabel

bool LinkLabel::Create(const Args& args) {
  if (!CreateChild(args.parent, args.id, L"BUTTON", args.text, WS_TABSTOP | BS_OWNERDRAW, 0, args.bounds))
    return false;
  SetPropW(hwnd_, kLinkProperty, hwnd_);
  return true;
}

bool LinkLabel::Command(WORD code) {
  if (code != BN_CLICKED) return false;
  if (onClick) onClick();
  return true;
}

bool LinkLabel::Draw(const DRAWITEMSTRUCT& item) {
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  const std::wstring text = Text();
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0));
  LOGFONTW underlined{};
  GetObjectW(font, sizeof underlined, &underlined);
  underlined.lfUnderline = TRUE;
  HFONT drawing = CreateFontIndirectW(&underlined);
  HGDIOBJ old = SelectObject(item.hDC, drawing);
  RECT measured = item.rcItem;
  DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &measured,
            DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
  DrawCaption(item.hDC, item.rcItem, text, kLinkColour, DT_LEFT);
  SelectObject(item.hDC, old);
  DeleteObject(drawing);
  if (item.itemState & ODS_FOCUS) {
    RECT focus = item.rcItem;
    focus.right = std::min(item.rcItem.right, measured.right + 2);
    DrawFocusRect(item.hDC, &focus);
  }
  return true;
}

// ----------------------------------------------------------------- Picture

Picture::~Picture() {
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
}

bool Picture::Create(const Args& args) {
  bitmap_ = args.bitmap;
  return CreateChild(args.parent, args.id, L"STATIC", L"", SS_OWNERDRAW, 0, args.bounds);
}

void Picture::SetBitmap(HBITMAP bitmap) {
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
  bitmap_ = bitmap;
  InvalidateRect(hwnd_, nullptr, TRUE);
}

bool Picture::Draw(const DRAWITEMSTRUCT& item) {
  if (bitmap_ == nullptr) {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    return true;
  }
  BITMAP info{};
  GetObjectW(bitmap_, sizeof info, &info);
  HDC source = CreateCompatibleDC(item.hDC);
  HGDIOBJ old = SelectObject(source, bitmap_);
  SetStretchBltMode(item.hDC, HALFTONE);
  SetBrushOrgEx(item.hDC, 0, 0, nullptr);
  StretchBlt(item.hDC, item.rcItem.left, item.rcItem.top, item.rcItem.right - item.rcItem.left,
             item.rcItem.bottom - item.rcItem.top, source, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
  return true;
}

// -------------------------------------------------------------------- Page

bool Page::Create(const Args& args) {
  id_ = args.id;
  bounds_ = args.bounds;
  dpi_ = DpiOf(args.parent);
  hwnd_ = CreateContainer(kPageClass, GetSysColorBrush(COLOR_BTNFACE), args.parent, args.id);
  if (hwnd_ == nullptr) return false;
  frame_ = CreateWindowExW(0, L"BUTTON", FrameCaption(args.text).c_str(), WS_CHILD | WS_VISIBLE | BS_GROUPBOX,
                           0, 0, 0, 0, hwnd_, nullptr, Instance(), nullptr);
  PlaceFrame(dpi_);
  return frame_ != nullptr;
}

void Page::SetText(const std::wstring& text) {
  SetWindowTextW(frame_, FrameCaption(text).c_str());
}

void Page::PlaceFrame(int dpi) {
  Place(dpi);
  // The frame lies under the page's controls (it takes no part in the tab order).
  SetWindowPos(frame_, HWND_BOTTOM, 0, 0, Scale(bounds_.width, dpi), Scale(bounds_.height, dpi),
               SWP_NOACTIVATE);
}

void Page::SetFrameFont(HFONT font) {
  SendMessageW(frame_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void Page::BringToFront() {
  // Pages share one place and only one shows at a time; the z-order stays as
  // made, since it is also the tab order.
  ShowWindow(hwnd_, SW_SHOWNA);
}

// ------------------------------------------------------------ CategoryList

bool CategoryList::Create(const Args& args) {
  id_ = args.id;
  bounds_ = args.bounds;
  buttonHeight_ = args.buttonHeight;
  captions_ = args.captions;
  dpi_ = DpiOf(args.parent);
  hwnd_ =
      CreateContainer(kColumnClass, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)), args.parent, args.id);
  if (hwnd_ == nullptr) return false;
  ShowWindow(hwnd_, SW_SHOWNA);
  SetWindowLongW(hwnd_, GWL_STYLE, GetWindowLongW(hwnd_, GWL_STYLE) | WS_BORDER);
  for (std::size_t i = 0; i < captions_.size(); ++i) {
    // One group: Tab enters at the selected button, the arrow keys move within.
    DWORD style = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW | BS_NOTIFY;
    if (i == 0) style |= WS_GROUP;
    HWND button = CreateWindowExW(
        0, L"BUTTON", captions_[i].c_str(), style, 0, 0, 0, 0, hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_ + 1 + static_cast<int>(i))), Instance(), nullptr);
    if (button == nullptr) return false;
    buttons_.push_back(button);
  }
  // The border changed: let the system recompute the client area.
  SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  PlaceAll(dpi_);
  return true;
}

void CategoryList::SetCaption(int index, const std::wstring& caption) {
  if (index < 0 || index >= Count()) return;
  captions_[static_cast<std::size_t>(index)] = caption;
  InvalidateRect(buttons_[static_cast<std::size_t>(index)], nullptr, TRUE);
}

std::wstring CategoryList::Caption(int index) const {
  if (index < 0 || index >= Count()) return {};
  return captions_[static_cast<std::size_t>(index)];
}

HWND CategoryList::ButtonHandle(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return buttons_[static_cast<std::size_t>(index)];
}

void CategoryList::Select(int index) {
  selected_ = index;
  for (int i = 0; i < Count(); ++i) {
    HWND button = buttons_[static_cast<std::size_t>(i)];
    LONG style = GetWindowLongW(button, GWL_STYLE);
    style = i == index ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
    SetWindowLongW(button, GWL_STYLE, style);
    InvalidateRect(button, nullptr, TRUE);
  }
}

void CategoryList::PlaceAll(int dpi) {
  Place(dpi);
  RECT client{};
  GetClientRect(hwnd_, &client);
  const int height = Scale(buttonHeight_, dpi);
  for (int i = 0; i < Count(); ++i)
    SetWindowPos(buttons_[static_cast<std::size_t>(i)], nullptr, 0, i * height, client.right, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void CategoryList::SetAllFonts(HFONT font) {
  for (HWND button : buttons_) SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

bool CategoryList::ButtonCommand(int id, WORD code) {
  if (!OwnsId(id)) return false;
  const int index = id - id_ - 1;
  if ((code == BN_CLICKED || code == BN_SETFOCUS) && index != selected_) {
    Select(index);
    if (onChange) onChange(index);
  }
  return true;
}

bool CategoryList::ButtonDraw(const DRAWITEMSTRUCT& item) {
  const int id = static_cast<int>(item.CtlID);
  if (!OwnsId(id)) return false;
  const int index = id - id_ - 1;
  HBRUSH face = CreateSolidBrush(index == selected_ ? kCategorySelected : kCategoryFace);
  FillRect(item.hDC, &item.rcItem, face);
  DeleteObject(face);
  RECT text = item.rcItem;
  text.left += Scale(8, dpi_);
  text.right -= Scale(4, dpi_);
  DrawCaption(item.hDC, text, captions_[static_cast<std::size_t>(index)], GetSysColor(COLOR_BTNTEXT),
              DT_LEFT);
  if (item.itemState & ODS_FOCUS) {
    RECT focus = item.rcItem;
    InflateRect(&focus, -2, -2);
    DrawFocusRect(item.hDC, &focus);
  }
  return true;
}

// ------------------------------------------------------------------ dialogs

void RegisterDialog(HWND window) {
  if (window != nullptr && std::find(Dialogs().begin(), Dialogs().end(), window) == Dialogs().end())
    Dialogs().push_back(window);
}

void UnregisterDialog(HWND window) {
  std::erase(Dialogs(), window);
}

bool TranslateDialogMessage(MSG& message) {
  for (HWND dialog : Dialogs()) {
    if (message.hwnd != dialog && !IsChild(dialog, message.hwnd)) continue;
    return IsDialogMessageW(dialog, &message) != FALSE;
  }
  return false;
}

}  // namespace varnolet::ui
