// The two fading notification windows under Wine, made as the program makes
// them (MainWindow: the main form's own window and the link window, both owned
// by the application's hidden window) and shown by the portable windows
// through the Win32 view: another program keeps the foreground and the
// keyboard, no taskbar button appears, the sizes and places the view produces
// follow the arithmetic, and the fade runs on the windows' own timers to the
// end.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window_win32.h"
#include "app/notification_window.h"
#include "support/text.h"
#include "wine_notepad.h"
#include "wine_support.h"

namespace varnolet {
namespace {

using wine::Notepad;
using wine::PumpMessages;

// Set in the environment of the copy of this program that runs on a Wine
// virtual desktop (see NoTaskbarButtonOnWinesTaskbar).
constexpr wchar_t kTaskbarChild[] = L"VARNOLET_TASKBAR_CHILD";

int Scaled(int designPixels, int dpi) {
  return MulDiv(designPixels, dpi, 120);
}

// The width of a text in Tahoma of a design height, measured here, apart from the view.
int TextWidth(const std::u16string& text, int designHeight, int dpi) {
  HFONT font =
      CreateFontW(Scaled(designHeight, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH, L"Tahoma");
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, font);
  SIZE size{0, 0};
  GetTextExtentPoint32W(screen, as_wide(text), static_cast<int>(text.size()), &size);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  DeleteObject(font);
  return size.cx;
}

BYTE AlphaOf(HWND window) {
  BYTE alpha = 0;
  DWORD flags = 0;
  GetLayeredWindowAttributes(window, nullptr, &alpha, &flags);
  return alpha;
}

// Who has the foreground, and the active and focused windows of a program's GUI thread.
struct Focus {
  HWND foreground = nullptr;
  HWND active = nullptr;
  HWND focus = nullptr;
  friend bool operator==(const Focus&, const Focus&) = default;
};

Focus FocusOf(DWORD thread) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(thread, &info);
  return {GetForegroundWindow(), info.hwndActive, info.hwndFocus};
}

std::ostream& operator<<(std::ostream& out, const Focus& focus) {
  return out << "foreground " << focus.foreground << ", active " << focus.active << ", focus " << focus.focus;
}

// One step of a window's fade: when it came (ms after the show) and the alpha after it.
struct Tick {
  DWORD at;
  std::uint8_t alpha;
};

// Wine's taskbar (explorer's Shell_TrayWnd on a virtual desktop) keeps a
// button for every top-level window: a child button whose control identifier
// is the window's handle, visible when Wine gives that window a button.
std::vector<HWND> WindowsWithTaskbarButtons() {
  std::vector<HWND> windows;
  HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr);
  if (tray == nullptr || !IsWindowVisible(tray)) return windows;
  EnumChildWindows(
      tray,
      [](HWND child, LPARAM list) -> BOOL {
        wchar_t name[32] = {};
        GetClassNameW(child, name, 32);
        const auto window = reinterpret_cast<HWND>(GetWindowLongPtrW(child, GWLP_ID));
        if (lstrcmpiW(name, L"Button") == 0 && window != nullptr && IsWindowVisible(child))
          reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

bool Contains(const std::vector<HWND>& windows, HWND window) {
  return std::find(windows.begin(), windows.end(), window) != windows.end();
}

// Sets the work area for the life of the object (not saved to the user's
// profile), as a taskbar along another edge would, and puts the old one back.
class WorkAreaOverride {
 public:
  explicit WorkAreaOverride(const RECT& area) {
    saved_ = SystemParametersInfoW(SPI_GETWORKAREA, 0, &old_, 0) != FALSE;
    RECT wanted = area;
    set_ = saved_ && SystemParametersInfoW(SPI_SETWORKAREA, 0, &wanted, 0) != FALSE;
  }
  ~WorkAreaOverride() {
    if (set_) SystemParametersInfoW(SPI_SETWORKAREA, 0, &old_, 0);
  }
  WorkAreaOverride(const WorkAreaOverride&) = delete;
  WorkAreaOverride& operator=(const WorkAreaOverride&) = delete;
  bool Set() const { return set_; }

 private:
  RECT old_{};
  bool saved_ = false;
  bool set_ = false;
};

// The work areas the size tests run under: the system's own, and the screen
// less 40 pixels at the top, as with a taskbar along the top edge.
std::vector<RECT> WorkAreas() {
  RECT own{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &own, 0);
  return {own, RECT{0, 40, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}};
}

class NotificationWindowsWineTest : public testing::Test {
 protected:
  void SetUp() override {
    // The application's own hidden window, as the entry makes it: the owner
    // of the program's windows, never shown.
    ui::Window::Args args;
    args.className = L"Varnolet7Application";
    args.title = L"Varnolet 7";
    args.style = WS_POPUP;
    ASSERT_TRUE(application.Create(args));
    mainWindow = std::make_unique<MainWindow>(application.Handle());
    singleWindow = reinterpret_cast<HWND>(mainWindow->Handle());
    linkWindow = LinkWindowOfThisThread();
    ASSERT_NE(linkWindow, nullptr);
    dpi = ui::DpiOf(singleWindow);
    // The start-up prepares the main form's window once; the link window is
    // prepared at every show. Each window has a counter of its own here, so
    // that every test sees the first notification of a run.
    PrepareNotificationWindow(mainWindow->SingleNotification());
    single = std::make_unique<NotificationWindow>(mainWindow->SingleNotification(), notificationsEnabled,
                                                  singleTicks);
    link = std::make_unique<LinkNotificationWindow>(mainWindow->LinkNotification(), notificationsEnabled,
                                                    linkTicks);
  }

  void TearDown() override {
    link.reset();
    single.reset();
    mainWindow.reset();
    application.Destroy();
  }

  // The link window MainWindow makes beside its own, found by its window class.
  static HWND LinkWindowOfThisThread() {
    struct Search {
      HWND found;
      int count;
    } search{nullptr, 0};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
          auto* s = reinterpret_cast<Search*>(data);
          wchar_t name[64] = {};
          GetClassNameW(window, name, 64);
          if (lstrcmpW(name, L"Varnolet7LinkNotification") == 0) {
            s->found = window;
            ++s->count;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.count == 1 ? search.found : nullptr;
  }

  // This thread's message loop for up to `milliseconds`, or until `done`. A
  // tick of a window's timer goes to that window's TimerNTimer, as the main
  // form's handlers pass it on; every fade step is kept.
  void RunLoop(DWORD milliseconds, const std::function<bool()>& done) {
    const DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < milliseconds) {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_TIMER && message.hwnd == singleWindow) Step(*single, singleSteps);
        if (message.message == WM_TIMER && message.hwnd == linkWindow) Step(*link, linkSteps);
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
  }

  template <class Window>
  void Step(Window& window, std::vector<Tick>& steps) {
    // A tick already queued when the timer stopped is no step.
    if (!window.Fade().TimerEnabled()) return;
    window.TimerNTimer();
    steps.push_back({GetTickCount() - shownAt, window.Fade().Alpha()});
  }

  // Shows a window twice (a second notification while the first is up) with
  // notepad in the foreground: notepad keeps the foreground, its active
  // window and its keyboard focus.
  void ExpectShowKeepsTheForeground(HWND window, const std::function<void(int)>& show) {
    Notepad notepad;
    ASSERT_TRUE(notepad.Start());
    ASSERT_TRUE(notepad.BringToFront()) << "notepad never became the foreground window";
    const Focus before = FocusOf(notepad.ThreadId());
    ASSERT_EQ(before.active, notepad.Window());
    ASSERT_NE(before.focus, nullptr);
    for (int round = 0; round < 2; ++round) {
      SCOPED_TRACE(round);
      show(round);
      PumpMessages(500);
      EXPECT_TRUE(IsWindowVisible(window));
      EXPECT_EQ(AlphaOf(window), 255);
      EXPECT_EQ(FocusOf(notepad.ThreadId()), before);
    }
  }

  // `area`: the work area the system reports now.
  void ExpectPlacedByTheArithmetic(HWND window, const NotificationPlacement& placement, const RECT& area) {
    RECT reported{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &reported, 0));
    ASSERT_TRUE(EqualRect(&reported, &area));
    RECT outer{};
    ASSERT_TRUE(GetWindowRect(window, &outer));
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    // The height of the work area, not its bottom edge, less the window and a gap.
    EXPECT_EQ(outer.top, (area.bottom - area.top) - height - Scaled(20, dpi));
    EXPECT_EQ(outer.left, GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2);
    EXPECT_EQ(placement.Top(), outer.top);
    EXPECT_EQ(placement.Left(), outer.left);
  }

  static SIZE ClientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right - client.left, client.bottom - client.top};
  }

  ui::Window application;
  std::unique_ptr<MainWindow> mainWindow;
  HWND singleWindow = nullptr;
  HWND linkWindow = nullptr;
  int dpi = 96;
  bool notificationsEnabled = true;
  std::uint16_t singleTicks = 0;
  std::uint16_t linkTicks = 0;
  std::unique_ptr<NotificationWindow> single;
  std::unique_ptr<LinkNotificationWindow> link;
  DWORD shownAt = 0;
  std::vector<Tick> singleSteps;
  std::vector<Tick> linkSteps;
};

// ------------------------------------------------------------ styles

TEST_F(NotificationWindowsWineTest, BothWindowsAreOwnedToolWindowsWithoutCaptionOrInput) {
  for (HWND window : {singleWindow, linkWindow}) {
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(AlphaOf(window), 0);
  }
  single->ShowNotification(u"Headset");
  link->ShowLinkNotification(u"Headset", u"Microphone");
  PumpMessages(200);

  for (HWND window : {singleWindow, linkWindow}) {
    SCOPED_TRACE(window == singleWindow ? "single window" : "link window");
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(AlphaOf(window), 255);
    // Owned by the application's window and a tool window, never an
    // application window: the system gives it no taskbar button.
    EXPECT_EQ(GetWindow(window, GW_OWNER), application.Handle());
    const auto exStyle = static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE));
    EXPECT_NE(exStyle & WS_EX_TOOLWINDOW, 0u);
    EXPECT_EQ(exStyle & WS_EX_APPWINDOW, 0u);
    EXPECT_NE(exStyle & WS_EX_TOPMOST, 0u);
    EXPECT_NE(exStyle & WS_EX_LAYERED, 0u);
    // PrepareNotificationWindow: no caption, no input.
    const auto style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
    EXPECT_EQ(style & WS_CAPTION, 0u);
    EXPECT_FALSE(IsWindowEnabled(window));
  }
  // The owner, the one window that could carry a button, stays hidden.
  EXPECT_FALSE(IsWindowVisible(application.Handle()));
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(application.Handle(), GWL_EXSTYLE)) & WS_EX_APPWINDOW, 0u);
}

// ------------------------------------------------------------ foreground

TEST_F(NotificationWindowsWineTest, TheSingleWindowLeavesTheForegroundWithTheUsersProgram) {
  ExpectShowKeepsTheForeground(
      singleWindow, [this](int round) { single->ShowNotification(round == 0 ? u"Headset" : u"Ακουστικά"); });
}

TEST_F(NotificationWindowsWineTest, TheLinkWindowLeavesTheForegroundWithTheUsersProgram) {
  ExpectShowKeepsTheForeground(linkWindow, [this](int round) {
    link->ShowLinkNotification(round == 0 ? u"Headset" : u"Ακουστικά", u"Microphone");
  });
}

// ------------------------------------------------------------ size and place

TEST_F(NotificationWindowsWineTest, TheSingleWindowIsSizedToItsTextAndPlacedAboveTheWorkAreasFoot) {
  const std::u16string names[] = {u"Headset", u"Ακουστικά", std::u16string(60, u'W'),
                                  std::u16string(200, u'W')};  // the last one wider than the screen
  for (const RECT& area : WorkAreas()) {
    const WorkAreaOverride workArea(area);
    ASSERT_TRUE(workArea.Set());
    for (const std::u16string& name : names) {
      SCOPED_TRACE("work area top " + std::to_string(area.top) + ", " + Narrow(name.substr(0, 12)) + " (" +
                   std::to_string(name.size()) + " characters)");
      single->ShowNotification(name);
      const SIZE client = ClientSize(singleWindow);
      // Img's width + 16 high; the label + Img's width + 24 wide.
      EXPECT_EQ(client.cy, Scaled(40, dpi) + Scaled(16, dpi));
      EXPECT_EQ(client.cx, TextWidth(name, -15, dpi) + Scaled(40, dpi) + Scaled(24, dpi));
      ExpectPlacedByTheArithmetic(singleWindow, single->Placement(), area);
    }
  }
  EXPECT_LT(single->Placement().Left(), 0);  // the 200-character name
}

TEST_F(NotificationWindowsWineTest, TheLinkWindowTakesTheLabelOfTheNameWithMoreCharacters) {
  struct Case {
    std::u16string playback;
    std::u16string recording;
    bool playbackLabel;  // whose label sets the width
  };
  const Case cases[] = {
      {u"Speakers10", u"Microphone12", false},    // 10 and 12 characters
      {u"Monitor of Headset", u"Headset", true},  // the playback name is longer
      {u"AAAA", u"iiii", false},                  // a tie takes the recording label
      {u"WWWWWWWWWW", u"iiiiiiiiiiii", false},    // fewer characters, yet the wider label
      {u"Ακουστικά", u"Monitor of Ακουστικά", false},
  };
  for (const RECT& area : WorkAreas()) {
    const WorkAreaOverride workArea(area);
    ASSERT_TRUE(workArea.Set());
    for (const Case& c : cases) {
      SCOPED_TRACE("work area top " + std::to_string(area.top) + ", " + Narrow(c.playback) + " / " +
                   Narrow(c.recording));
      link->ShowLinkNotification(c.playback, c.recording);
      const SIZE client = ClientSize(linkWindow);
      const int text = TextWidth(c.playbackLabel ? c.playback : c.recording, -12, dpi);
      EXPECT_EQ(client.cy, Scaled(60, dpi));
      EXPECT_EQ(client.cx, Scaled(20, dpi) + text + Scaled(24, dpi));
      ExpectPlacedByTheArithmetic(linkWindow, link->Placement(), area);
    }
  }
}

// ------------------------------------------------------------ fade

TEST_F(NotificationWindowsWineTest, TheFadeRunsOnEachWindowsTimerAndEndsHidden) {
  single->ShowNotification(u"Headset");
  link->ShowLinkNotification(u"Headset", u"Microphone");
  shownAt = GetTickCount();
  EXPECT_EQ(AlphaOf(singleWindow), 255);
  EXPECT_EQ(AlphaOf(linkWindow), 255);

  RunLoop(15000, [this] { return !IsWindowVisible(singleWindow) && !IsWindowVisible(linkWindow); });

  struct Run {
    const char* name;
    HWND window;
    const NotificationFade& fade;
    const std::vector<Tick>& steps;
  };
  for (const Run& run : {Run{"single window", singleWindow, single->Fade(), singleSteps},
                         Run{"link window", linkWindow, link->Fade(), linkSteps}}) {
    SCOPED_TRACE(run.name);
    // One step per tick from 255 down to 0.
    ASSERT_EQ(run.steps.size(), 255u);
    // The first notification of a run holds for two ticks a second apart,
    // then fades one step per 10 ms tick (stretched by the timer's resolution).
    EXPECT_GE(run.steps[0].at, 900u);
    EXPECT_EQ(run.steps[0].alpha, 254);
    EXPECT_GE(run.steps[1].at - run.steps[0].at, 900u);
    EXPECT_EQ(run.steps[1].alpha, 253);
    EXPECT_LT(run.steps[2].at - run.steps[1].at, 500u);
    EXPECT_GE(run.steps.back().at - run.steps[1].at, 253u * 10u * 9u / 10u);
    EXPECT_EQ(run.steps.back().alpha, 0);
    // Hidden, transparent, the timer stopped and back at its hold interval.
    EXPECT_FALSE(IsWindowVisible(run.window));
    EXPECT_EQ(AlphaOf(run.window), 0);
    EXPECT_FALSE(run.fade.TimerEnabled());
    EXPECT_EQ(run.fade.TimerInterval(), notification::kHoldInterval);
    EXPECT_EQ(run.fade.Ticks(), 255);
  }
}

// ------------------------------------------------------------ taskbar

// Wine's taskbar exists on a virtual desktop only: this test starts a copy of
// this program on one (explorer /desktop=...), where the copy, seeing the
// variable kTaskbarChild, shows both windows with notepad in the foreground
// and reads the taskbar's buttons. The copy's result comes back as gtest XML.
TEST_F(NotificationWindowsWineTest, NoTaskbarButtonOnWinesTaskbar) {
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  const std::u16string filter = Ascii(std::string(test->test_suite_name()) + "." + test->name());

  if (GetEnvironmentVariableW(kTaskbarChild, nullptr, 0) != 0) {
    // ---- the copy on the virtual desktop
    Notepad notepad;
    ASSERT_TRUE(notepad.Start());
    ASSERT_TRUE(notepad.BringToFront());
    // The program's tray icon; Wine shows its taskbar with the first icon.
    mainWindow->SetTrayVisible(true);
    PumpMessages(500);
    single->ShowNotification(u"Headset");
    link->ShowLinkNotification(u"Headset", u"Microphone");
    PumpMessages(500);
    // A plain window of this process, shown without activation: Wine gives it
    // a button (the listing sees this process's windows) and recounts.
    ui::Window control;
    ui::Window::Args args;
    args.className = L"VarnoletTaskbarControl";
    args.title = L"Control";
    args.style = WS_OVERLAPPEDWINDOW;
    args.width = 200;
    args.height = 100;
    ASSERT_TRUE(control.Create(args));
    ShowWindow(control.Handle(), SW_SHOWNOACTIVATE);
    PumpMessages(1000);

    const std::vector<HWND> buttons = WindowsWithTaskbarButtons();
    EXPECT_TRUE(Contains(buttons, notepad.Window())) << "no button for notepad: the taskbar is not read";
    EXPECT_TRUE(Contains(buttons, control.Handle()));
    EXPECT_TRUE(IsWindowVisible(singleWindow));
    EXPECT_TRUE(IsWindowVisible(linkWindow));
    EXPECT_FALSE(Contains(buttons, singleWindow));
    EXPECT_FALSE(Contains(buttons, linkWindow));
    EXPECT_FALSE(Contains(buttons, application.Handle()));
    EXPECT_EQ(GetForegroundWindow(), notepad.Window());
    mainWindow->SetTrayVisible(false);
    return;
  }

  // ---- the test itself: start the copy on a fresh virtual desktop
  wchar_t self[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::u16string report = wine::FreshFolder(u"taskbar") + u"report.xml";
  const std::u16string desktop = u"VarnoletTaskbar" + Decimal(GetCurrentProcessId());
  std::u16string command = u"explorer.exe /desktop=" + desktop + u",1024x768 \"" + from_wide(self, length) +
                           u"\" --gtest_filter=" + filter + u" \"--gtest_output=xml:" + report + u"\"";

  // Everything the copy starts lives in a job that ends with the test.
  HANDLE job = CreateJobObjectW(nullptr, nullptr);
  ASSERT_NE(job, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
  SetEnvironmentVariableW(kTaskbarChild, L"1");
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION explorer{};
  const BOOL started = CreateProcessW(nullptr, as_wide(command.data()), nullptr, nullptr, FALSE,
                                      CREATE_SUSPENDED, nullptr, nullptr, &startup, &explorer);
  SetEnvironmentVariableW(kTaskbarChild, nullptr);
  if (!started) CloseHandle(job);
  ASSERT_TRUE(started) << GetLastError();
  AssignProcessToJobObject(job, explorer.hProcess);
  ResumeThread(explorer.hThread);
  // The desktop closes once the copy has ended.
  const DWORD waited = WaitForSingleObject(explorer.hProcess, 90000);
  if (waited != WAIT_OBJECT_0) TerminateJobObject(job, 1);
  CloseHandle(explorer.hThread);
  CloseHandle(explorer.hProcess);
  CloseHandle(job);
  ASSERT_EQ(waited, WAIT_OBJECT_0) << "the virtual desktop did not close";

  const std::string xml = wine::ReadWholeFile(report);
  ASSERT_FALSE(xml.empty()) << "the copy wrote no report";
  EXPECT_NE(xml.find("tests=\"1\""), std::string::npos) << xml;
  EXPECT_NE(xml.find("failures=\"0\""), std::string::npos) << xml;
  EXPECT_NE(xml.find("errors=\"0\""), std::string::npos) << xml;
  EXPECT_EQ(xml.find("<skipped"), std::string::npos) << xml;
  EXPECT_NE(xml.find(Narrow(filter.substr(filter.find(u'.') + 1))), std::string::npos) << xml;
}

}  // namespace
}  // namespace varnolet
