// The monitor window's Win32 view under Wine, made as the program makes it
// (owned by the application's hidden window): its client area is the design
// size at the real dpi, the Refresh button stays visible over the memo, the
// memo scrolls vertically only, and the tabs carry the monitor's tab names.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "diag/debug_form_win32.h"
#include "diag/monitor_pages.h"
#include "support/wide_win32.h"
#include "wine_notepad.h"

namespace varnolet {
namespace {

using wine::PumpMessages;

class MonitorWindowWineTest : public testing::Test {
 protected:
  void SetUp() override {
    ui::Window::Args args;
    args.className = L"Varnolet7Application";
    args.title = L"Varnolet 7";
    args.style = WS_POPUP;
    ASSERT_TRUE(application.Create(args));
    monitor = std::make_unique<DebugFormWindow>(
        application.Handle(),
        [this](int tab) {
          builtTabs.push_back(tab);
          // Long and many lines: enough to scroll both ways and to fill the memo.
          std::vector<std::u16string> lines;
          for (int i = 0; i < 80; ++i) lines.push_back(u"    -" + std::u16string(300, u'W'));
          return lines;
        },
        [] { return std::u16string(u"Varnolet 7 Monitor  -  1/1/2026 0:0:0"); });
    monitor->MakeWindow();
    window = monitor->Handle();
    ASSERT_NE(window, nullptr);
    memo = FindWindowExW(window, nullptr, L"Edit", nullptr);
    button = FindWindowExW(window, nullptr, L"Button", L"Refresh");
    tabs = FindWindowExW(window, nullptr, WC_TABCONTROLW, nullptr);
    ASSERT_NE(memo, nullptr);
    ASSERT_NE(button, nullptr);
    ASSERT_NE(tabs, nullptr);
    dpi = ui::DpiOf(nullptr);
  }

  void TearDown() override {
    monitor.reset();
    application.Destroy();
  }

  // A child's rectangle in its parent's client coordinates.
  RECT ChildRect(HWND child) const {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }

  ui::Window application;
  std::unique_ptr<DebugFormWindow> monitor;
  std::vector<int> builtTabs;
  HWND window = nullptr;
  HWND memo = nullptr;
  HWND button = nullptr;
  HWND tabs = nullptr;
  int dpi = 96;
};

TEST_F(MonitorWindowWineTest, ClientAreaIsTheDesignSizeAtTheRealDpi) {
  monitor->Show();
  PumpMessages(100);
  RECT client{};
  ASSERT_TRUE(GetClientRect(window, &client));
  EXPECT_EQ(client.right - client.left, ui::Scale(910, dpi));
  EXPECT_EQ(client.bottom - client.top, ui::Scale(367, dpi));
  // Centred on the screen.
  RECT outer{};
  ASSERT_TRUE(GetWindowRect(window, &outer));
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top)) / 2);
}

TEST_F(MonitorWindowWineTest, ControlsSitWhereTheDesignPutsThem) {
  struct Case {
    const char* name;
    HWND control;
    int x, y, width, height;
  };
  for (const Case& c : {Case{"tabs", tabs, 8, 8, 897, 353}, Case{"memo", memo, 16, 31, 873, 314},
                        Case{"button", button, 778, 311, 75, 25}}) {
    SCOPED_TRACE(c.name);
    const RECT rect = ChildRect(c.control);
    EXPECT_EQ(rect.left, ui::Scale(c.x, dpi));
    EXPECT_EQ(rect.top, ui::Scale(c.y, dpi));
    EXPECT_EQ(rect.right - rect.left, ui::Scale(c.width, dpi));
    EXPECT_EQ(rect.bottom - rect.top, ui::Scale(c.height, dpi));
  }
}

TEST_F(MonitorWindowWineTest, RefreshButtonStaysVisibleOverTheMemo) {
  monitor->Show();
  PumpMessages(100);
  // The button lies over the memo's lower right corner, above it in the
  // z-order, and the memo is clipped by it: the memo cannot paint where the
  // button is.
  RECT overlap{};
  const RECT memoRect = ChildRect(memo);
  const RECT buttonRect = ChildRect(button);
  ASSERT_TRUE(IntersectRect(&overlap, &memoRect, &buttonRect));
  EXPECT_NE(GetWindowLongW(memo, GWL_STYLE) & WS_CLIPSIBLINGS, 0);
  bool buttonAboveMemo = false;
  for (HWND above = GetWindow(memo, GW_HWNDPREV); above != nullptr; above = GetWindow(above, GW_HWNDPREV))
    buttonAboveMemo = buttonAboveMemo || above == button;
  EXPECT_TRUE(buttonAboveMemo);

  POINT centre{(buttonRect.left + buttonRect.right) / 2, (buttonRect.top + buttonRect.bottom) / 2};
  MapWindowPoints(window, memo, &centre, 1);
  HDC dc = GetDC(memo);
  ASSERT_NE(dc, nullptr);
  EXPECT_FALSE(PtVisible(dc, centre.x, centre.y));
  // The rest of the memo stays paintable.
  EXPECT_TRUE(PtVisible(dc, ui::Scale(20, dpi), ui::Scale(20, dpi)));
  ReleaseDC(memo, dc);
}

TEST_F(MonitorWindowWineTest, MemoScrollsVerticallyOnlyWithoutWordWrap) {
  const LONG style = GetWindowLongW(memo, GWL_STYLE);
  EXPECT_NE(style & WS_VSCROLL, 0);
  EXPECT_EQ(style & WS_HSCROLL, 0);
  EXPECT_NE(style & ES_AUTOHSCROLL, 0);  // lines longer than the memo are not wrapped
  EXPECT_NE(style & ES_MULTILINE, 0);
  EXPECT_NE(style & ES_READONLY, 0);
  monitor->Show();
  PumpMessages(100);
  // Every built line is one memo line.
  EXPECT_EQ(SendMessageW(memo, EM_GETLINECOUNT, 0, 0), 81);
}

TEST_F(MonitorWindowWineTest, TabsCarryTheMonitorsTabNamesInOrder) {
  ASSERT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), monitor::kTabCount);
  for (int i = 0; i < monitor::kTabCount; ++i) {
    wchar_t text[64] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    ASSERT_TRUE(SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(from_wide(text), monitor::kTabNames[i]) << "tab " << i;
  }
  wchar_t caption[64] = {};
  GetWindowTextW(window, caption, 64);
  EXPECT_EQ(from_wide(caption), monitor::kCaption);
}

}  // namespace
}  // namespace varnolet
