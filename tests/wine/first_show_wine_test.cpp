// Start-up makes neither the monitor window nor the Options dialog's window,
// and loads neither the common controls library (the monitor's tabs) nor the
// common dialog library (the program picker): each window is made at its
// first showing and kept for the next, and the program imports both
// libraries through the delay-load helper. Each test runs in a process of its
// own (one ctest entry per test), so the libraries a test finds loaded are
// the ones its own steps loaded.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "diag/debug_form_win32.h"
#include "settings/options_form.h"
#include "settings/options_window_win32.h"
#include "wine_notepad.h"

namespace varnolet {
namespace {

using wine::PumpMessages;

bool Loaded(const wchar_t* library) {
  return GetModuleHandleW(library) != nullptr;
}

class FirstShowWineTest : public testing::Test {
 protected:
  void SetUp() override {
    ui::Window::Args args;
    args.className = L"Varnolet7Application";
    args.title = L"Varnolet 7";
    args.style = WS_POPUP;
    ASSERT_TRUE(application.Create(args));
  }
  void TearDown() override {
    application.Destroy();
    PumpMessages(50);
  }

  std::unique_ptr<DebugFormWindow> MakeMonitor() {
    return std::make_unique<DebugFormWindow>(
        application.Handle(),
        [](int) {
          return std::vector<std::u16string>{u"", u"Windows OS information:"};
        },
        [] { return std::u16string(u"Varnolet 7 Monitor  -  1/1/2026 0:0:0"); });
  }

  ui::Window application;
};

TEST_F(FirstShowWineTest, MonitorAndItsCommonControlsComeAtTheFirstShowing) {
  ASSERT_FALSE(Loaded(L"comctl32.dll")) << "loaded before anything was made";
  std::unique_ptr<DebugFormWindow> monitor = MakeMonitor();
  PumpMessages(50);
  EXPECT_EQ(monitor->Handle(), nullptr);
  EXPECT_EQ(FindWindowW(L"Varnolet7Monitor", nullptr), nullptr);
  EXPECT_FALSE(Loaded(L"comctl32.dll"));

  monitor->Show();
  PumpMessages(100);
  const HWND window = monitor->Handle();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_TRUE(Loaded(L"comctl32.dll"));
  EXPECT_NE(FindWindowExW(window, nullptr, WC_TABCONTROLW, nullptr), nullptr);

  // Closing hides it; the next showing reuses the same window.
  SendMessageW(window, WM_CLOSE, 0, 0);
  PumpMessages(50);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_FALSE(IsWindowVisible(window));
  monitor->Show();
  PumpMessages(50);
  EXPECT_EQ(monitor->Handle(), window);
  EXPECT_TRUE(IsWindowVisible(window));
}

TEST_F(FirstShowWineTest, OptionsWindowComesAtTheFirstShowingAndIsKept) {
  OptionsWindow view(application.Handle());
  TOptionsForm form(view);
  // The hotkey actions may update the dialog before it was ever shown.
  form.UpdateForm();
  PumpMessages(50);
  EXPECT_FALSE(view.HasWindow());
  EXPECT_EQ(FindWindowW(L"Varnolet7Options", nullptr), nullptr);

  form.Show();
  PumpMessages(100);
  ASSERT_TRUE(view.HasWindow());
  const HWND window = view.Handle();
  EXPECT_EQ(FindWindowW(L"Varnolet7Options", nullptr), window);
  EXPECT_TRUE(view.Visible());
  // What the form set before the window existed shows in it.
  wchar_t text[64]{};
  GetWindowTextW(view.ControlHandle(OptionsControl::BtnOK), text, 64);
  EXPECT_STREQ(text, L"OK");
  GetWindowTextW(view.ControlHandle(OptionsControl::LblTitle), text, 64);
  EXPECT_STREQ(text, L"Varnolet v1.0");
  EXPECT_FALSE(IsWindowVisible(view.ControlHandle(OptionsControl::LblWarning)));

  form.ButtonClicked(OptionsControl::BtnCancel);
  PumpMessages(50);
  EXPECT_FALSE(view.Visible());
  form.Show();
  PumpMessages(50);
  EXPECT_EQ(view.Handle(), window);
  EXPECT_TRUE(view.Visible());
  form.ButtonClicked(OptionsControl::BtnCancel);
}

TEST_F(FirstShowWineTest, NeitherLibraryIsLoadedUntilItsFirstUse) {
  // Both windows made as start-up makes them: constructed, never shown.
  std::unique_ptr<DebugFormWindow> monitor = MakeMonitor();
  OptionsWindow view(application.Handle());
  TOptionsForm form(view);
  PumpMessages(50);
  EXPECT_FALSE(Loaded(L"comctl32.dll"));
  EXPECT_FALSE(Loaded(L"comdlg32.dll"));

  // The first call through the delay-load thunk loads the library and works.
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_TAB_CLASSES};
  EXPECT_TRUE(InitCommonControlsEx(&controls));
  EXPECT_TRUE(Loaded(L"comctl32.dll"));
  EXPECT_FALSE(Loaded(L"comdlg32.dll"));
}

}  // namespace
}  // namespace varnolet
