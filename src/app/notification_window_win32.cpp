#include "app/notification_window_win32.h"

#include "support/wide_win32.h"

namespace varnolet {

// The style mask and SetWindowPos flags the portable window uses, as the system defines them.
static_assert(notification::kStyleWithoutCaption == static_cast<std::uint32_t>(~WS_CAPTION));
static_assert(notification::kFrameChangedFlags ==
              (SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED));

NotificationWindowView::Layout SingleNotificationLayout() {
  // Img 40 x 40 at 8, 8; LblDeviceName at 54, 19; Tahoma -15.
  return {{{8, 8, 40}}, {{NotificationLabel::DeviceName, 54, 19, -15}}, 40};
}

NotificationWindowView::Layout LinkNotificationLayout() {
  // ImgRenderDevice and ImgCaptureDevice 20 x 20 at 8, 8 and 8, 34; the labels
  // at 34, 11 and 34, 37 in Tahoma -12.
  return {{{8, 8, 20}, {8, 34, 20}},
          {{NotificationLabel::RenderDevice, 34, 11, -12}, {NotificationLabel::CaptureDevice, 34, 37, -12}},
          20};
}

NotificationWindowView::NotificationWindowView(ui::Window& window, Layout layout, UINT_PTR timerId)
    : window_(window), layout_(std::move(layout)), timerId_(timerId) {
  bitmaps_.resize(layout_.pictures.size(), nullptr);
  icons_.resize(layout_.pictures.size(), nullptr);
}

NotificationWindowView::~NotificationWindowView() {
  for (HBITMAP bitmap : bitmaps_)
    if (bitmap != nullptr) DeleteObject(bitmap);
  for (HICON icon : icons_)
    if (icon != nullptr) DestroyIcon(icon);
  for (const auto& [height, font] : fonts_) DeleteObject(font);
}

void NotificationWindowView::SetPicture(std::size_t index, HBITMAP bitmap) {
  if (index >= bitmaps_.size()) return;
  if (bitmaps_[index] != nullptr) DeleteObject(bitmaps_[index]);
  bitmaps_[index] = bitmap;
  // A picture loaded while the window is visible is shown at once.
  InvalidateRect(window_.Handle(), nullptr, TRUE);
}

void NotificationWindowView::SetIcon(std::size_t index, HICON icon) {
  if (index >= icons_.size()) return;
  if (icons_[index] != nullptr) DestroyIcon(icons_[index]);
  icons_[index] = icon;
}

int NotificationWindowView::Dpi() {
  if (dpi_ == 0 && window_.Handle() != nullptr) dpi_ = ui::DpiOf(window_.Handle());
  return dpi_ != 0 ? dpi_ : ui::DpiOf(nullptr);
}

HFONT NotificationWindowView::FontOf(int designHeight) {
  auto found = fonts_.find(designHeight);
  if (found != fonts_.end()) return found->second;
  HFONT font =
      CreateFontW(ui::Scale(designHeight, Dpi()), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH, L"Tahoma");
  fonts_[designHeight] = font;
  return font;
}

const NotificationWindowView::Label* NotificationWindowView::Find(NotificationLabel label) const {
  for (const Label& candidate : layout_.labels)
    if (candidate.label == label) return &candidate;
  return nullptr;
}

void NotificationWindowView::SetLabelText(NotificationLabel label, const std::u16string& text) {
  texts_[label] = std::wstring(as_wide(text));
  InvalidateRect(window_.Handle(), nullptr, TRUE);
}

int NotificationWindowView::LabelWidth(NotificationLabel label) {
  const Label* layout = Find(label);
  if (layout == nullptr) return 0;
  const std::wstring& text = texts_[label];
  HDC dc = GetDC(window_.Handle());
  HGDIOBJ old = SelectObject(dc, FontOf(layout->fontHeight));
  SIZE size{0, 0};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(window_.Handle(), dc);
  return size.cx;
}

void NotificationWindowView::SetClientSize(int width, int height) {
  HWND window = window_.Handle();
  RECT frame{0, 0, width, height};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)));
  SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

PixelSize NotificationWindowView::OuterSize() {
  RECT rect{};
  GetWindowRect(window_.Handle(), &rect);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

void NotificationWindowView::MoveTo(int left, int top) {
  SetWindowPos(window_.Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool NotificationWindowView::WorkArea(ScreenRect& area) {
  RECT rect{};
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &rect, 0)) return false;
  area = {rect.left, rect.top, rect.right, rect.bottom};
  return true;
}

void NotificationWindowView::SetAlpha(std::uint8_t alpha) {
  SetLayeredWindowAttributes(window_.Handle(), 0, alpha, LWA_ALPHA);
}

void NotificationWindowView::ShowInactive() {
  // On top and visible without activation: the user's window keeps the focus.
  SetWindowPos(window_.Handle(), HWND_TOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(window_.Handle(), nullptr, TRUE);
}

std::uint32_t NotificationWindowView::WindowStyle() {
  return static_cast<std::uint32_t>(GetWindowLongW(window_.Handle(), GWL_STYLE));
}

void NotificationWindowView::SetWindowStyle(std::uint32_t style) {
  SetWindowLongW(window_.Handle(), GWL_STYLE, static_cast<LONG>(style));
}

void NotificationWindowView::UpdateFrame(std::uint32_t swpFlags) {
  SetWindowPos(window_.Handle(), nullptr, 0, 0, 0, 0, swpFlags);
}

void NotificationWindowView::Paint(HDC dc, const RECT& client) {
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  for (std::size_t i = 0; i < layout_.pictures.size(); ++i) {
    const Picture& picture = layout_.pictures[i];
    const int x = Scaled(picture.x), y = Scaled(picture.y), size = Scaled(picture.size);
    if (bitmaps_[i] != nullptr) {
      HDC memory = CreateCompatibleDC(dc);
      HGDIOBJ old = SelectObject(memory, bitmaps_[i]);
      BITMAP info{};
      GetObjectW(bitmaps_[i], sizeof info, &info);
      SetStretchBltMode(dc, HALFTONE);
      StretchBlt(dc, x, y, size, size, memory, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
      SelectObject(memory, old);
      DeleteDC(memory);
    } else if (icons_[i] != nullptr) {
      DrawIconEx(dc, x, y, icons_[i], size, size, 0, nullptr, DI_NORMAL);
    }
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  for (const Label& label : layout_.labels) {
    const std::wstring& text = texts_[label.label];
    HGDIOBJ old = SelectObject(dc, FontOf(label.fontHeight));
    TextOutW(dc, Scaled(label.x), Scaled(label.y), text.c_str(), static_cast<int>(text.size()));
    SelectObject(dc, old);
  }
}

}  // namespace varnolet
