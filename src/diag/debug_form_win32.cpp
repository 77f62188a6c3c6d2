#include "diag/debug_form_win32.h"

#include <commctrl.h>

#include "diag/monitor_pages.h"
#include "support/wide_win32.h"

namespace varnolet {

namespace {

constexpr int kRefreshId = 101;

}  // namespace

DebugFormWindow::DebugFormWindow(HWND owner, std::function<std::vector<std::u16string>(int)> build,
                                 std::function<std::u16string()> caption)
    : owner_(owner), build_(std::move(build)), caption_(std::move(caption)) {}

void DebugFormWindow::MakeWindow() {
  if (window_.Handle() != nullptr) return;
  // The tab control is the common controls library's: it is loaded here, at
  // the first showing, not at start.
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  dpi_ = ui::DpiOf(nullptr);

  // Client area 910 x 367 at 120 dpi, a single border with only the system
  // menu: the frame is computed for the very styles the window is made with.
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  const DWORD exStyle = 0;
  RECT frame{0, 0, ui::Scale(910, dpi_), ui::Scale(367, dpi_)};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  ui::Window::Args args;
  args.className = L"Varnolet7Monitor";
  args.title = as_wide(monitor::kCaption);
  args.style = style;
  args.exStyle = exStyle;
  args.owner = owner_;
  args.width = frame.right - frame.left;
  args.height = frame.bottom - frame.top;
  args.x = (GetSystemMetrics(SM_CXSCREEN) - args.width) / 2;
  args.y = (GetSystemMetrics(SM_CYSCREEN) - args.height) / 2;
  args.background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_.onMessage = [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return OnMessage(message, wParam, lParam, result);
  };
  // Closing only hides the window and stops the clock.
  window_.onClose = [this] {
    timer_.Enable(false);
    ShowWindow(window_.Handle(), SW_HIDE);
  };
  window_.Create(args);
  timer_.onTimer = [this] { UpdateCaption(); };

  font_ = CreateFontW(-ui::Scale(13, dpi_), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH, L"Tahoma");
  HINSTANCE instance = GetModuleHandleW(nullptr);
  tabs_ = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_MULTILINE, 0,
                          0, 0, 0, window_.Handle(), nullptr, instance, nullptr);
  for (int i = 0; i < monitor::kTabCount; ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(as_wide(monitor::kTabNames[i]));
    SendMessageW(tabs_, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  // The memo lies under the Refresh button: clipped by its siblings, it never
  // paints over the button. A vertical scroll bar only; a long line scrolls
  // sideways with the caret rather than wrapping.
  memo_ = CreateWindowExW(0, L"EDIT", L"",
                          WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
                              ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                          0, 0, 0, 0, window_.Handle(), nullptr, instance, nullptr);
  button_ = CreateWindowExW(0, L"BUTTON", L"Refresh", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 0, 0,
                            window_.Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kRefreshId)),
                            instance, nullptr);
  for (HWND control : {tabs_, memo_, button_})
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
  Layout();
}

DebugFormWindow::~DebugFormWindow() {
  timer_.Enable(false);
  window_.Destroy();
  if (font_ != nullptr) DeleteObject(font_);
}

void DebugFormWindow::Layout() {
  auto place = [this](HWND control, int x, int y, int width, int height) {
    SetWindowPos(control, nullptr, ui::Scale(x, dpi_), ui::Scale(y, dpi_), ui::Scale(width, dpi_),
                 ui::Scale(height, dpi_), SWP_NOZORDER | SWP_NOACTIVATE);
  };
  place(tabs_, 8, 8, 897, 353);
  place(memo_, 16, 31, 873, 314);
  place(button_, 778, 311, 75, 25);
  SetWindowPos(memo_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(button_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void DebugFormWindow::Show() {
  MakeWindow();
  ShowWindow(window_.Handle(), SW_SHOW);
  SetForegroundWindow(window_.Handle());
  timer_.Enable(true);
  UpdateCaption();
  Rebuild();
}

void DebugFormWindow::Rebuild() {
  const int tab = static_cast<int>(SendMessageW(tabs_, TCM_GETCURSEL, 0, 0));
  std::u16string text;
  for (const std::u16string& line : build_(tab < 0 ? 0 : tab)) {
    text += line;
    text += u"\r\n";
  }
  SetWindowTextW(memo_, as_wide(text));
}

void DebugFormWindow::UpdateCaption() {
  SetWindowTextW(window_.Handle(), as_wide(caption_()));
}

bool DebugFormWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  switch (message) {
    case WM_TIMER:
      if (wParam == timer_.Id()) {
        timer_.Tick();
        return true;
      }
      return false;
    case WM_COMMAND:
      if (LOWORD(wParam) == kRefreshId && HIWORD(wParam) == BN_CLICKED) {
        Rebuild();
        return true;
      }
      return false;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->hwndFrom == tabs_ && header->code == TCN_SELCHANGE) {
        Rebuild();
        return true;
      }
      return false;
    }
    case WM_CTLCOLORSTATIC:
      // The read-only memo: white background, grey text.
      if (reinterpret_cast<HWND>(lParam) == memo_) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, RGB(255, 255, 255));
        SetTextColor(dc, RGB(128, 128, 128));
        result = reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
        return true;
      }
      return false;
    default:
      return false;
  }
}

}  // namespace varnolet
