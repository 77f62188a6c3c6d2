// TNotificationsForm: the main form and owner of all run-time state. Its
// constructor runs the start-up sequence; its handlers are the tray icon's
// menu, the timers, raw keyboard input and the feature callbacks. Portable:
// it reaches the system only through the process-wide objects, the program
// ports and its view.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/activity_log.h"
#include "app/builtin_strings.h"
#include "app/notification_window.h"
#include "app/notifications_view.h"
#include "app/process_objects.h"
#include "app/program_ports.h"
#include "diag/monitor_pages.h"
#include "input/hotkey_action.h"
#include "input/hotkey_file.h"
#include "input/key_sequence.h"
#include "link/device_link_engine.h"
#include "link/device_link_file.h"
#include "settings/options_form.h"
#include "settings/options_host.h"
#include "settings/user_settings.h"

namespace varnolet {

class TNotificationsForm final : public DeviceLinkHost, public MonitorSource, public OptionsHost {
 public:
  // Runs the whole start-up sequence. The Options dialog, made before, reads
  // this form from now on.
  TNotificationsForm(ProcessObjects& objects, ProcessEnvironment& environment, LanguageLibraries& libraries,
                     TOptionsForm& options, NotificationsView& view);
  TNotificationsForm(const TNotificationsForm&) = delete;
  TNotificationsForm& operator=(const TNotificationsForm&) = delete;

  // ---- activity log and texts
  void AddLog(const std::u16string& text, const std::u16string& extra = {}) {
    activityLog.AddLog(text, extra);
  }
  std::u16string SystemErrorText() { return activityLog.SystemErrorText(); }
  bool WriteLogFile();
  bool LoadLanguage();
  bool ReadStringTable(LibraryHandle library, std::vector<std::u16string>& list);
  void ShowWarning(const std::u16string& text);
  const std::u16string& String(int id) const override { return stringTable[static_cast<std::size_t>(id)]; }

  // ---- settings
  void LoadSettings();
  bool InitializeStartup();
  bool InitializeSplash();
  bool InitializeNotifications();
  void SaveLanguage();
  void SaveStartup();
  void SaveSplash();
  void SaveNotifications();
  void SaveDeviceLink();
  void SaveHotkeys();
  void SaveRole();

  // ---- features started at start-up
  bool InitializeDeviceLink();
  bool InitializeHotkeys();

  // ---- tray icon, menu and switching
  void TrayMouseDown();
  void EnumerateAudioDevicesExecute();
  void UpdatePopupMenuExecute();
  void MenuOpened();
  void MenuClosed();
  std::int32_t ChangeDefaultRenderDevice(std::int32_t tag) override;
  std::int32_t ChangeDefaultCaptureDevice(std::int32_t tag) override;
  void PlaybackItemClick(int tag);
  void RecordingItemClick(int tag);
  void MenuOptionsClick();
  void MenuExitClick();
  // Shows the balloon now, or as soon as the tray icon becomes visible.
  void ShowBalloon(const std::u16string& text);
  void MakeTrayVisible();
  void SplashFinished();  // the splash window's timer ended

  // ---- notifications
  void ShowNotification(const std::u16string& text) override { notification_.ShowNotification(text); }
  void ShowLinkNotification(const std::u16string& playback, const std::u16string& recording) override;
  void TimerNTimer() { notification_.TimerNTimer(); }
  void LinkTimerNTimer() { linkNotification_.TimerNTimer(); }

  // ---- keyboard
  void OnRawInput(std::uintptr_t rawInputHandle);
  bool HotkeyAction(const std::u16string* parameter);
  void TimerDTimer() { keySequence_.TimerElapsed(); }

  // ---- Device Link
  bool DeviceLinkCallback(std::int32_t parameter) { return engine_.DeviceLinkCallback(parameter); }

  // ---- DeviceLinkHost and MonitorSource
  std::int32_t DeviceLinkSetting() const override { return settings[setting::DeviceLink]; }
  const std::vector<DEVICELINK>& DeviceLinks() const override { return deviceLinks; }
  std::span<const DEVICEINFO> PlaybackDevices() const override;
  std::span<const DEVICEINFO> RecordingDevices() const override;
  std::u16string EnumerationErrorText() const override { return objects_.Enumeration.GetLastErrorText(); }
  void UpdatePopupMenu() override { UpdatePopupMenuExecute(); }
  void LoadPicture(std::u16string_view resource) override { view_.LoadPicture(resource); }
  MonitorSnapshot Snapshot() override;

  // ---- OptionsHost (the rest is above and below)
  bool IsVistaWorkstation() const override;
  std::u16string ProductName(const std::u16string& path) override;
  ComGuid EndpointGuid(const std::u16string& endpointId) override;
  void ApplyOptions() override;

  // ---- read access for the other forms and the tests
  const UserSettings& Settings() const override { return settings; }
  UserSettings& MutableSettings() { return settings; }
  const std::vector<std::u16string>& StringTable() const { return stringTable; }
  const ActivityLog& Log() const { return activityLog; }
  const std::u16string& ApplicationPath() const { return applicationPath; }
  const std::u16string& ApplicationDirectory() const { return applicationDirectory; }
  const std::u16string& ApplicationDataPath() const { return applicationDataPath; }
  bool ShowSplashFlag() const { return showSplash; }
  bool NotificationsEnabled() const { return notificationsEnabled; }
  bool HotkeysEnabled() const { return hotkeysEnabled == 1; }
  bool TrayVisible() const { return trayVisible_; }
  const std::vector<DEVICEINFO>& PlaybackList() const { return playbackDevices; }
  const std::vector<DEVICEINFO>& RecordingList() const { return recordingDevices; }
  int DefaultPlaybackIndex() const { return defaultPlaybackIndex; }
  int DefaultRecordingIndex() const { return defaultRecordingIndex; }
  const std::vector<HOTKEY>& LoadedHotkeys() const override { return loadedHotkeys; }
  const std::vector<std::u16string>& HotkeyIdentifiers() const override { return hotkeyIdentifiers; }
  const DEVICEINPUT& InputState() const { return inputState; }
  const MonitorKeySequence& KeySequence() const { return keySequence_; }

 private:
  // TimerD behind the key sequence's timer interface.
  class TimerD final : public SequenceTimer {
   public:
    explicit TimerD(NotificationsView& view) : view_(view) {}
    void Restart(std::uint32_t intervalMs) override { view_.RestartTimerD(intervalMs); }
    void Stop() override { view_.StopTimerD(); }

   private:
    NotificationsView& view_;
  };

  // Holds the process watcher's creation callback, which captures the form,
  // and clears it when the form goes, whichever way it goes (a constructor
  // that throws after subscribing included): the watcher outlives the form,
  // and COM may still deliver a batch while it lets go of its subscription.
  class WatcherCallback {
   public:
    explicit WatcherCallback(CProcesses& processes) : processes_(processes) {}
    ~WatcherCallback() { processes_.SetCallback({}, 0); }
    WatcherCallback(const WatcherCallback&) = delete;
    WatcherCallback& operator=(const WatcherCallback&) = delete;
    void Set(CProcesses::Callback callback) { processes_.SetCallback(std::move(callback), 0); }

   private:
    CProcesses& processes_;
  };

  void RunFeatureInitialization();
  void CreateUserFolders();
  bool SaveSetting(int slot, const std::u16string& name, const std::u16string& failedLine, int balloon);
  void ApplySavedHotkeys(SaveHotkeysOutcome outcome);
  void EnumerateDirection(CCollectionInterface& collection, std::vector<DEVICEINFO>& devices, int& count,
                          int noDevices, int failed, const std::u16string& failureLine);
  void RebuildDeviceItems(DeviceMenu menu, const std::vector<DEVICEINFO>& devices, int count,
                          CCollectionInterface& collection, DEVICEINFO& defaultDevice, int& defaultIndex,
                          std::vector<MenuItemModel>& items, int& itemCount);
  std::int32_t ChangeDefaultDevice(bool render, std::int32_t tag);

  ProcessObjects& objects_;
  ProcessEnvironment& environment_;
  LanguageLibraries& libraries_;
  TOptionsForm& options_;
  NotificationsView& view_;

  // ---- the form's fields, in the order of its definition
  // (the typed keys of the monitor sequence live in keySequence_; the three
  // pseudo identifiers are the hotkey_id constants)
  const std::u16string registryKeyPath{kSettingsKey};
  UserSettings settings = kDefaultSettings;
  std::vector<std::u16string> stringTable;
  std::u16string applicationPath;
  std::u16string applicationDirectory;
  std::u16string applicationDataPath;
  bool startupPending = true;
  bool showSplash = false;
  bool notificationsEnabled = false;
  std::uint8_t hotkeysEnabled = 0;
  bool deviceLinkFailed = false;
  std::uint8_t hotkeyInitFailed = 0;
  DEVICEINPUT inputState;
  std::vector<HOTKEY> loadedHotkeys;
  std::vector<std::u16string> hotkeyIdentifiers;
  std::vector<DEVICELINK> deviceLinks;
  int totalDevices = 0;
  int playbackCount = 0;
  int recordingCount = 0;
  int playbackMenuItemCount = 0;
  int recordingMenuItemCount = 0;
  int defaultPlaybackIndex = 0;
  int defaultRecordingIndex = 0;
  DEVICEINFO defaultPlayback;
  DEVICEINFO defaultRecording;
  std::vector<DEVICEINFO> playbackDevices;
  std::vector<DEVICEINFO> recordingDevices;
  std::vector<MenuItemModel> playbackMenuItems;
  std::vector<MenuItemModel> recordingMenuItems;
  ActivityLog activityLog;

  // ---- the feature machinery the fields above drive
  NotificationWindow notification_;
  LinkNotificationWindow linkNotification_;
  TimerD timerD_;
  MonitorKeySequence keySequence_;
  HotkeyServices hotkeyServices_;
  HotkeyFields hotkeyFields_;
  std::optional<DeviceLinkFile> linkFile_;  // made once the data path is known
  CDeviceLinkEngine engine_;

  // Tray icon state kept by the form: a balloon raised while the icon is
  // hidden (during the splash) waits for it; a menu rebuild asked for while
  // the menu is open waits until it closes.
  bool trayVisible_ = false;
  std::u16string pendingBalloon_;
  bool menuOpen_ = false;
  bool rebuildPending_ = false;

  // Device Link or hotkeys that start-up switched off for this run only: the
  // registry keeps the user's choice until an OK applies the box ticked.
  bool deviceLinkOffForRun_ = false;
  bool hotkeysOffForRun_ = false;

  // Last, so that it is the first member to go.
  WatcherCallback watcherCallback_;
};

}  // namespace varnolet
