// The main form's Win32 view under Wine, made as the program makes it (owned
// by the application's hidden window): the device items of the tray menu
// read back from the real menu, and the splash window it opens.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/main_window_win32.h"
#include "support/wide_win32.h"
#include "wine_notepad.h"

namespace varnolet {
namespace {

using wine::PumpMessages;

// The text a menu item shows for the string it holds: "&&" shows one "&", a
// single "&" only marks the character after it.
std::u16string ShownText(const std::u16string& held) {
  std::u16string shown;
  for (std::size_t i = 0; i < held.size(); ++i) {
    if (held[i] == u'&' && ++i == held.size()) break;
    shown += held[i];
  }
  return shown;
}

// The window of a class that this thread made, when there is exactly one.
HWND OnlyThreadWindowOfClass(const wchar_t* className) {
  struct Search {
    const wchar_t* className;
    HWND found;
    int count;
  } search{className, nullptr, 0};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        if (lstrcmpW(name, s->className) == 0) {
          s->found = window;
          ++s->count;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.count == 1 ? search.found : nullptr;
}

class MainWindowWineTest : public testing::Test {
 protected:
  void SetUp() override {
    ui::Window::Args args;
    args.className = L"Varnolet7Application";
    args.title = L"Varnolet 7";
    args.style = WS_POPUP;
    ASSERT_TRUE(application.Create(args));
    mainWindow = std::make_unique<MainWindow>(application.Handle());
  }

  void TearDown() override {
    mainWindow.reset();
    application.Destroy();
  }

  ui::Window application;
  std::unique_ptr<MainWindow> mainWindow;
};

TEST_F(MainWindowWineTest, DeviceItemsShowTheirCaptionsAmpersandsIncluded) {
  const std::vector<std::u16string> captions = {u"Speakers & Headset", u"&Front",    u"Rear&",  u"R&&D",
                                                u"A & B & C",          u"Ακουστικά", u"Line In"};
  for (DeviceMenu menu : {DeviceMenu::Playback, DeviceMenu::Recording}) {
    SCOPED_TRACE(menu == DeviceMenu::Playback ? "playback" : "recording");
    std::vector<MenuItemModel> items;
    for (std::size_t i = 0; i < captions.size(); ++i) items.push_back({captions[i], static_cast<int>(i)});
    // A placeholder entry shows its text the same way.
    items.push_back({u"No devices & no luck", 0, false, true, false});
    mainWindow->SetDeviceItems(menu, items);

    HMENU submenu = mainWindow->Popup().Submenu(menu == DeviceMenu::Playback ? 0 : 1);
    ASSERT_EQ(GetMenuItemCount(submenu), static_cast<int>(items.size()));
    for (std::size_t i = 0; i < items.size(); ++i) {
      wchar_t held[256] = {};
      ASSERT_GT(GetMenuStringW(submenu, static_cast<UINT>(i), held, 256, MF_BYPOSITION), 0);
      EXPECT_EQ(ShownText(from_wide(held)), items[i].caption) << "item " << i;
    }
  }
}

TEST_F(MainWindowWineTest, SplashIsANormalWindowNotAlwaysOnTop) {
  // The main window is always on top (it is the single notification window).
  ASSERT_NE(GetWindowLongW(reinterpret_cast<HWND>(mainWindow->Handle()), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  mainWindow->ShowSplash();
  PumpMessages(100);
  HWND splash = OnlyThreadWindowOfClass(L"Varnolet7Splash");
  ASSERT_NE(splash, nullptr);
  EXPECT_TRUE(IsWindowVisible(splash));
  EXPECT_EQ(GetWindowLongW(splash, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  // Still no taskbar button: an owned tool window.
  EXPECT_NE(GetWindow(splash, GW_OWNER), nullptr);
  EXPECT_NE(GetWindowLongW(splash, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
}

}  // namespace
}  // namespace varnolet
