// Fakes of the program shell's ports and a view that records what the main
// form asked it to show.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/notifications_view.h"
#include "app/program_ports.h"
#include "fakes/fake_notification_view.h"
#include "fakes/fake_system.h"

namespace varnolet::fakes {

class FakeEnvironment final : public ProcessEnvironment {
 public:
  explicit FakeEnvironment(FakeSystem& system) : system_(system) {}

  std::uint32_t ModuleFileName(char16_t* buffer, std::uint32_t size) override;
  std::uint32_t EnvironmentVariable(const std::u16string& name, char16_t* buffer,
                                    std::uint32_t size) override;
  std::uint16_t SystemDefaultUILanguage() override { return uiLanguage; }
  bool OpenNamedMutex(const std::u16string& name) override;
  void CreateNamedMutex(const std::u16string& name) override { mutexes.push_back(name); }

  std::u16string modulePath = u"C:\\Program Files\\Varnolet 7\\Varnolet7.exe";
  std::map<std::u16string, std::u16string> variables{{u"APPDATA", u"C:\\Users\\u\\AppData\\Roaming"}};
  bool variableReadFails = false;  // the length is reported but the read fails
  std::uint16_t uiLanguage = 1033;
  std::vector<std::u16string> mutexes;
  int moduleFileNameCalls = 0;

 private:
  FakeSystem& system_;
};

// Language libraries by path: string identifier to text.
class FakeLanguages final : public LanguageLibraries {
 public:
  explicit FakeLanguages(FakeSystem& system) : system_(system) {}

  LibraryHandle LoadResources(const std::u16string& path) override;
  int ReadString(LibraryHandle library, std::uint32_t id, char16_t* buffer, int size) override;
  void Release(LibraryHandle library) override;

  // A library with the given strings; `missing` identifiers are left out.
  void Add(const std::u16string& path, std::vector<std::u16string> strings);
  int Loaded() const { return static_cast<int>(loaded_.size()); }

  std::uint32_t missingError = 126;  // what a missing library leaves as the last error
  std::vector<std::u16string> requested;

 private:
  FakeSystem& system_;
  std::map<std::u16string, std::vector<std::u16string>> libraries_;
  std::map<LibraryHandle, std::u16string> loaded_;
  LibraryHandle next_ = 0x10000;
};

class RecordingView final : public NotificationsView {
 public:
  std::uintptr_t Handle() override { return 0x1234; }
  void ShowWarningBox(const std::u16string& text, const std::u16string& caption) override {
    warnings.push_back({text, caption});
    events.push_back(u"warning:" + text);
  }
  void SetTrayVisible(bool visible) override {
    trayVisible = visible;
    notificationCallsBeforeTray = static_cast<int>(single.calls.size());
    events.push_back(visible ? u"tray:visible" : u"tray:hidden");
  }
  void ShowTrayBalloon(const std::u16string& text) override {
    balloons.push_back(text);
    events.push_back(u"balloon:" + text);
  }
  void SetMenuCaptions(const std::u16string& playback, const std::u16string& recording,
                       const std::u16string& options, const std::u16string& exit) override {
    captions = {playback, recording, options, exit};
  }
  void SetDeviceItems(DeviceMenu menu, const std::vector<MenuItemModel>& items) override {
    (menu == DeviceMenu::Playback ? playbackItems : recordingItems) = items;
  }
  void ShowSplash() override {
    if (splashThrows) throw std::runtime_error("the splash window could not be made");
    splashShown = true;
    events.push_back(u"splash");
  }
  void ShowDebugForm() override {
    ++debugFormShown;
    events.push_back(u"monitor");
  }
  NotificationView& SingleNotification() override { return single; }
  NotificationView& LinkNotification() override { return link; }
  void LoadPicture(std::u16string_view resource) override {
    picture = std::u16string(resource);
    events.push_back(u"picture:" + picture);
  }
  void RestartTimerD(std::uint32_t intervalMs) override {
    timerDRunning = true;
    timerDInterval = intervalMs;
  }
  void StopTimerD() override { timerDRunning = false; }
  void Terminate() override {
    terminated = true;
    events.push_back(u"terminate");
  }

  struct Warning {
    std::u16string text;
    std::u16string caption;
  };
  std::vector<Warning> warnings;
  std::vector<std::u16string> balloons;
  std::vector<std::u16string> events;
  std::vector<std::u16string> captions;
  std::vector<MenuItemModel> playbackItems;
  std::vector<MenuItemModel> recordingItems;
  bool trayVisible = false;
  bool splashShown = false;
  bool splashThrows = false;  // a window that cannot be made, as the toolkit reports it
  bool terminated = false;
  int debugFormShown = 0;
  int notificationCallsBeforeTray = -1;
  FakeNotificationView single;
  FakeNotificationView link;
  std::u16string picture;
  bool timerDRunning = false;
  std::uint32_t timerDInterval = 0;
};

}  // namespace varnolet::fakes
