// The Options dialog's Win32 view under Wine: its size at the system's dpi and
// after a dpi change, the pages switching from the category column, the
// keyboard (Tab order, Shift+Tab, Enter, Esc), the warning timer, and texts
// with "&" shown literally.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "settings/options_window_win32.h"
#include "ui/controls_win32.h"
#include "wine_support.h"

namespace varnolet {
namespace {

using C = OptionsControl;

constexpr UINT kDpiChanged = 0x02E0;

int Scaled(int designPixels, int dpi) {
  return MulDiv(designPixels, dpi, 120);
}

SIZE ClientSize(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return {client.right, client.bottom};
}

// A control's rectangle in its dialog's client coordinates.
RECT InDialog(HWND dialog, HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (ui::TranslateDialogMessage(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// A key as the program's message loop sees it: through the dialog's keyboard
// handling first.
void PressKey(HWND focus, WPARAM key, bool shift = false) {
  BYTE keys[256]{};
  GetKeyboardState(keys);
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  SetKeyboardState(keys);
  MSG down{focus, WM_KEYDOWN, key, 1, GetTickCount(), {}};
  if (!ui::TranslateDialogMessage(down)) {
    TranslateMessage(&down);
    DispatchMessageW(&down);
  }
  MSG up{focus, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001), GetTickCount(), {}};
  if (!ui::TranslateDialogMessage(up)) DispatchMessageW(&up);
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  Pump();
}

std::wstring TextOf(HWND window) {
  wchar_t text[256]{};
  GetWindowTextW(window, text, 256);
  return text;
}

class OptionsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::Window::Args args;
    args.className = L"Varnolet7OptionsTestOwner";
    args.style = WS_POPUP;
    owner_.Create(args);
    view_ = std::make_unique<OptionsWindow>(owner_.Handle());
    view_->MakeWindow();
    // As the form does: a category brings its page to the front; OK and
    // Cancel close the dialog.
    view_->handlers.categorySelected = [this](int category) {
      categories_.push_back(category);
      view_->BringToFront(kPages[category]);
    };
    view_->handlers.buttonClicked = [this](C button) {
      buttons_.push_back(button);
      if (button == C::BtnOK || button == C::BtnCancel) view_->HideDialog();
    };
  }

  void TearDown() override {
    view_.reset();
    owner_.Destroy();
    Pump();
  }

  // The controls Tab visits from the focused one on, until it comes back.
  std::vector<HWND> TabCycle(bool backwards) {
    std::vector<HWND> visited{GetFocus()};
    for (int step = 0; step < 40; ++step) {
      PressKey(GetFocus(), VK_TAB, backwards);
      if (GetFocus() == visited.front()) break;
      visited.push_back(GetFocus());
    }
    return visited;
  }

  HWND H(C control) const { return view_->ControlHandle(control); }

  static constexpr C kPages[] = {C::GroupBoxGeneral, C::GroupBoxDeviceRole, C::GroupBoxDeviceLink,
                                 C::GroupBoxHotkeys, C::GroupBoxAbout};

  ui::Window owner_;
  std::unique_ptr<OptionsWindow> view_;
  std::vector<int> categories_;
  std::vector<C> buttons_;
};

TEST_F(OptionsWindowTest, ClientAreaIs600By332DesignPixelsAtTheSystemDpi) {
  const int dpi = view_->Dpi();
  ASSERT_EQ(dpi, 96) << "the test prefix runs at 96 dpi";
  EXPECT_EQ(ClientSize(view_->Handle()).cx, 480);
  EXPECT_EQ(ClientSize(view_->Handle()).cy, 266);
  // Caption but no caption buttons, and no taskbar button (owned, not an app window).
  const LONG style = GetWindowLongW(view_->Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_FALSE(style & WS_SYSMENU);
  EXPECT_EQ(GetWindow(view_->Handle(), GW_OWNER), owner_.Handle());
  EXPECT_FALSE(GetWindowLongW(view_->Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
  // OK and Cancel at their places, 75 x 25.
  const RECT ok = InDialog(view_->Handle(), H(C::BtnOK));
  EXPECT_EQ(ok.left, Scaled(436, dpi));
  EXPECT_EQ(ok.top, Scaled(303, dpi));
  EXPECT_EQ(ok.right - ok.left, Scaled(75, dpi));
  const RECT cancel = InDialog(view_->Handle(), H(C::BtnCancel));
  EXPECT_EQ(cancel.left, Scaled(517, dpi));
  // Centred in the work area.
  RECT area{}, outer{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  GetWindowRect(view_->Handle(), &outer);
  EXPECT_NEAR((outer.left + outer.right) / 2, (area.left + area.right) / 2, 1);
  EXPECT_NEAR((outer.top + outer.bottom) / 2, (area.top + area.bottom) / 2, 1);
}

TEST_F(OptionsWindowTest, DpiChangeResizesPlacesAndRefontsAtTheSuggestedPlace) {
  // A move to a 144-dpi screen: the system suggests a rectangle there.
  RECT suggested{200, 150, 200 + 740, 150 + 440};
  SendMessageW(view_->Handle(), kDpiChanged, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(view_->Dpi(), 144);
  EXPECT_EQ(ClientSize(view_->Handle()).cx, 720);
  EXPECT_EQ(ClientSize(view_->Handle()).cy, 398);
  RECT outer{};
  GetWindowRect(view_->Handle(), &outer);
  EXPECT_EQ(outer.left, 200);
  EXPECT_EQ(outer.top, 150);
  const RECT ok = InDialog(view_->Handle(), H(C::BtnOK));
  EXPECT_EQ(ok.left, Scaled(436, 144));
  EXPECT_EQ(ok.bottom - ok.top, Scaled(25, 144));
  // Controls inside a page scale too: the Device Link page's program button.
  const RECT page = InDialog(view_->Handle(), H(C::GroupBoxDeviceLink));
  const RECT select = InDialog(view_->Handle(), H(C::BtnSelectPlaybackDevicesProgram));
  EXPECT_EQ(page.left, Scaled(135, 144));
  EXPECT_EQ(select.left - page.left, Scaled(400, 144));
  // The font follows: Tahoma -13 at 120 dpi.
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(H(C::checkStartup), WM_GETFONT, 0, 0)), sizeof font, &font);
  EXPECT_EQ(font.lfHeight, -Scaled(13, 144));
  // A wider dialog (a long category caption) keeps the new dpi.
  view_->SetClientWidth(C::Dialog, 619);
  EXPECT_EQ(ClientSize(view_->Handle()).cx, Scaled(619, 144));
  // And back to 96.
  RECT back{10, 10, 10 + 500, 10 + 300};
  SendMessageW(view_->Handle(), kDpiChanged, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&back));
  EXPECT_EQ(ClientSize(view_->Handle()).cx, Scaled(619, 96));
  EXPECT_EQ(ClientSize(view_->Handle()).cy, 266);
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(H(C::checkStartup), WM_GETFONT, 0, 0)), sizeof font, &font);
  EXPECT_EQ(font.lfHeight, -Scaled(13, 96));
}

TEST_F(OptionsWindowTest, EachCategoryShowsItsPageAlone) {
  view_->ShowDialog();
  Pump();
  for (int category : {1, 2, 3, 4, 0}) {
    SCOPED_TRACE(category);
    categories_.clear();
    SendMessageW(view_->CategoryButton(category), BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(categories_, std::vector<int>{category});
    EXPECT_EQ(view_->CategoryButton(category), GetFocus());
    for (int page = 0; page < 5; ++page)
      EXPECT_EQ(IsWindowVisible(H(kPages[page])) != FALSE, page == category);
  }
  // The arrow keys move through the column and switch the page as they go.
  categories_.clear();
  PressKey(GetFocus(), VK_DOWN);
  EXPECT_EQ(categories_, std::vector<int>{1});
  EXPECT_TRUE(IsWindowVisible(H(C::GroupBoxDeviceRole)));
}

struct TabCase {
  int category;
  std::vector<C> order;  // after the category column
};

TEST_F(OptionsWindowTest, TabVisitsThePageInReadingOrderAndShiftTabGoesBack) {
  const TabCase cases[] = {
      {0,
       {C::checkStartup, C::checkSplash, C::checkNotifications, C::checkHotkeys, C::checkDeviceLink,
        C::comboLanguage, C::BtnOK, C::BtnCancel}},
      {2,
       {C::comboLinkPlaybackDevices, C::BtnClearRenderLink, C::BtnSelectPlaybackDevicesProgram,
        C::comboLinkRecordingDevices, C::BtnClearCaptureLink, C::BtnSelectRecordingDevicesProgram, C::BtnOK,
        C::BtnCancel}},
      {3,
       {C::comboHotkeys,
        C::checkAltHotkeys,
        C::checkCtrlHotkeys,
        C::checkShiftHotkeys,
        C::comboNotifications,
        C::checkAltNotifications,
        C::checkCtrlNotifications,
        C::checkShiftNotifications,
        C::comboPlaybackDevices,
        C::comboPlaybackHotkey,
        C::checkAltPlaybackDevices,
        C::checkCtrlPlaybackDevices,
        C::checkShiftPlaybackDevices,
        C::comboRecordingDevices,
        C::comboRecordingHotkey,
        C::checkAltRecordingDevices,
        C::checkCtrlRecordingDevices,
        C::checkShiftRecordingDevices,
        C::BtnOK,
        C::BtnCancel}},
      {4, {C::LblLink1, C::LblLink2, C::BtnOK, C::BtnCancel}},
  };
  view_->ShowDialog();
  Pump();
  for (const TabCase& test : cases) {
    SCOPED_TRACE(test.category);
    SendMessageW(view_->CategoryButton(test.category), BM_CLICK, 0, 0);
    Pump();
    std::vector<HWND> expected{view_->CategoryButton(test.category)};
    for (C control : test.order) expected.push_back(H(control));
    EXPECT_EQ(TabCycle(false), expected);
    std::vector<HWND> backwards{expected.front()};
    backwards.insert(backwards.end(), expected.rbegin(), expected.rend() - 1);
    EXPECT_EQ(TabCycle(true), backwards);
  }
}

TEST_F(OptionsWindowTest, EscIsCancelAndEnterIsOk) {
  view_->ShowDialog();
  Pump();
  ASSERT_TRUE(view_->Visible());
  SetFocus(H(C::checkSplash));
  PressKey(GetFocus(), VK_ESCAPE);
  EXPECT_EQ(buttons_, std::vector<C>{C::BtnCancel});
  EXPECT_FALSE(view_->Visible());

  buttons_.clear();
  view_->ShowDialog();
  Pump();
  ASSERT_TRUE(view_->Visible());
  SetFocus(H(C::checkSplash));
  PressKey(GetFocus(), VK_RETURN);
  EXPECT_EQ(buttons_, std::vector<C>{C::BtnOK});
  EXPECT_FALSE(view_->Visible());

  // Alt+F4 on a dialog without a close box is Cancel too.
  buttons_.clear();
  view_->ShowDialog();
  SendMessageW(view_->Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(buttons_, std::vector<C>{C::BtnCancel});
}

TEST_F(OptionsWindowTest, UserChoicesReachTheFormAndProgramSettingsDoNot) {
  std::vector<std::pair<C, int>> events;
  view_->handlers.checkClicked = [&](C box, bool checked) { events.emplace_back(box, checked ? 1 : 0); };
  view_->handlers.listSelected = [&](C list, int index) { events.emplace_back(list, index); };
  view_->SetChecked(C::checkAltPlaybackDevices, true);
  view_->SetItems(C::comboHotkeys, {u"0", u"1", u"None"});
  view_->SelectItem(C::comboHotkeys, 2);
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(SendMessageW(H(C::checkAltPlaybackDevices), BM_GETCHECK, 0, 0), BST_CHECKED);

  SendMessageW(H(C::checkAltPlaybackDevices), BM_CLICK, 0, 0);
  // A user's choice in a list: the list's own selection change notification.
  SendMessageW(H(C::comboHotkeys), CB_SETCURSEL, 1, 0);
  SendMessageW(GetParent(H(C::comboHotkeys)), WM_COMMAND,
               MAKEWPARAM(GetDlgCtrlID(H(C::comboHotkeys)), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(H(C::comboHotkeys)));
  const std::vector<std::pair<C, int>> expected{{C::checkAltPlaybackDevices, 0}, {C::comboHotkeys, 1}};
  EXPECT_EQ(events, expected);

  // Replacing an item keeps the selection.
  view_->SetItemText(C::comboHotkeys, 1, u"-");
  EXPECT_EQ(SendMessageW(H(C::comboHotkeys), CB_GETCURSEL, 0, 0), 1);
  wchar_t item[8]{};
  SendMessageW(H(C::comboHotkeys), CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(item));
  EXPECT_STREQ(item, L"-");
}

TEST_F(OptionsWindowTest, AnAmpersandInANameShowsLiterally) {
  view_->SetText(C::checkStartup, u"Rock & Roll");
  EXPECT_EQ(TextOf(H(C::checkStartup)), L"Rock && Roll");  // a button reads "&&" as one "&"
  view_->SetText(C::editLinkPlaybackDevices, u"Tom & Jerry Player");
  EXPECT_EQ(TextOf(H(C::editLinkPlaybackDevices)), L"Tom & Jerry Player");
  EXPECT_TRUE(GetWindowLongW(H(C::editLinkPlaybackDevices), GWL_STYLE) & SS_NOPREFIX);
  view_->SetItems(C::comboLinkPlaybackDevices, {u"Speakers & Headphones"});
  wchar_t item[64]{};
  SendMessageW(H(C::comboLinkPlaybackDevices), CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(item));
  EXPECT_STREQ(item, L"Speakers & Headphones");
  view_->SetText(C::Dialog, u"Options");
  EXPECT_EQ(TextOf(view_->Handle()), L"Options");
}

TEST_F(OptionsWindowTest, WarningTimerTicksIntoTheFormUntilStopped) {
  int ticks = 0;
  view_->handlers.timer = [&] {
    ++ticks;
    view_->StopTimer();
  };
  view_->StartTimer(30);
  const DWORD start = GetTickCount();
  while (ticks == 0 && GetTickCount() - start < 2000) {
    Pump();
    Sleep(5);
  }
  EXPECT_EQ(ticks, 1);
  Sleep(100);
  Pump();
  EXPECT_EQ(ticks, 1);
}

}  // namespace
}  // namespace varnolet
