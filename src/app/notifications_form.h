// TNotificationsForm: the main form. It owns the features (the audio devices,
// the hotkeys, Device Link, the settings store, the texts), wires them to each
// other and to its view, and runs the start-up sequence in Start(). Its
// handlers are the tray icon's menu, the timers and raw keyboard input.
// Portable: it reaches the system only through the process-wide objects, the
// program ports and its view.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/notification_window.h"
#include "app/notifications_view.h"
#include "app/process_objects.h"
#include "app/program_ports.h"
#include "app/texts.h"
#include "audio/audio_devices.h"
#include "diag/monitor_pages.h"
#include "input/hotkeys_feature.h"
#include "link/device_link.h"
#include "settings/options_form.h"
#include "settings/options_host.h"
#include "settings/settings_store.h"
#include "support/activity_log.h"

namespace varnolet {

class TNotificationsForm final : public MonitorSource,
                                 public OptionsHost,
                                 private SwitchAnnouncer,
                                 private HotkeyCommands {
 public:
  // Wires the features; nothing runs before Start(). The Options dialog,
  // made before, reads this form until the form goes.
  TNotificationsForm(ProcessObjects& objects, ProcessEnvironment& environment, LanguageLibraries& libraries,
                     TOptionsForm& options, NotificationsView& view);
  ~TNotificationsForm() override;
  TNotificationsForm(const TNotificationsForm&) = delete;
  TNotificationsForm& operator=(const TNotificationsForm&) = delete;

  // The start-up sequence: paths, folders, settings, texts, then the features
  // in their order, the tray icon (or the splash) and the first enumeration.
  void Start();

  // ---- the view's handlers
  void TrayMouseDown();
  void MenuOpened();
  void MenuClosed();
  void PlaybackItemClick(int tag);
  void RecordingItemClick(int tag);
  void MenuOptionsClick();
  void MenuExitClick();
  void SplashFinished();  // the splash window's timer ended
  void OnRawInput(std::uintptr_t rawInputHandle);
  void TimerNTimer() { notification_.TimerNTimer(); }
  void LinkTimerNTimer() { linkNotification_.TimerNTimer(); }
  void TimerDTimer() { hotkeys_.SequenceTimerElapsed(); }

  // ---- the tray icon
  // Rebuilds the menu's device items; while the menu is open, once it closes.
  void UpdatePopupMenuExecute();
  // Shows the balloon now, or as soon as the tray icon becomes visible.
  void ShowBalloon(const std::u16string& text);

  // ---- the seven save steps of the Options dialog's OK, in their order
  void SaveLanguage();
  void SaveStartup();
  void SaveSplash();
  void SaveNotifications();
  void SaveDeviceLink();
  void SaveHotkeys();
  void SaveRole();

  // ---- MonitorSource
  MonitorSnapshot Snapshot() override;
  void UpdatePopupMenu() override { UpdatePopupMenuExecute(); }

  // ---- OptionsHost
  const UserSettings& Settings() const override { return settings_.Values(); }
  const std::u16string& String(StringId id) const override { return texts_.String(id); }
  std::span<const DEVICEINFO> PlaybackDevices() const override { return devices_.Devices(true); }
  std::span<const DEVICEINFO> RecordingDevices() const override { return devices_.Devices(false); }
  const std::vector<DEVICELINK>& DeviceLinks() const override { return deviceLink_.Links(); }
  const std::vector<HOTKEY>& LoadedHotkeys() const override { return hotkeys_.Loaded(); }
  const std::vector<std::u16string>& HotkeyIdentifiers() const override { return hotkeys_.Identifiers(); }
  bool IsVistaWorkstation() const override;
  std::u16string ProductName(const std::u16string& path) override;
  ComGuid EndpointGuid(const std::u16string& endpointId) override;
  void ApplyOptions() override;

  // ---- the features and what start-up found, for the other forms and the tests
  AudioDevices& Devices() { return devices_; }
  HotkeysFeature& Hotkeys() { return hotkeys_; }
  DeviceLinkFeature& DeviceLink() { return deviceLink_; }
  UserSettings& MutableSettings() { return settings_.Values(); }
  const std::vector<std::u16string>& StringTable() const { return texts_.Table(); }
  const ActivityLog& Log() const { return activityLog_; }
  const std::u16string& ApplicationPath() const { return applicationPath_; }
  const std::u16string& ApplicationDataPath() const { return applicationDataPath_; }
  bool ShowSplashFlag() const { return showSplash_; }
  bool NotificationsEnabled() const { return notificationsEnabled_; }
  bool HotkeysEnabled() const { return hotkeys_.Enabled(); }

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

  // ---- SwitchAnnouncer
  void MenuChanged() override { UpdatePopupMenuExecute(); }
  void Announce(std::u16string_view picture, const std::u16string& name) override;
  void AnnounceBoth(const std::u16string& playback, const std::u16string& recording) override;
  // ---- HotkeyCommands
  void DisableHotkeys() override;
  void ToggleNotifications() override;

  void AddLog(const std::u16string& text, const std::u16string& extra = {}) {
    activityLog_.AddLog(text, extra);
  }
  void FindPaths();
  void CreateUserFolders();
  void ApplyStartup();
  void ApplySplash();
  void ApplyNotifications();
  void MakeTrayVisible();
  bool SaveSetting(int slot, const char16_t* failedLine, StringId balloon);
  void ApplySavedHotkeys(SaveHotkeysOutcome outcome);
  void RebuildDeviceItems(bool render);
  void ItemClick(bool render, int tag);

  ProcessObjects& objects_;
  ProcessEnvironment& environment_;
  TOptionsForm& options_;
  NotificationsView& view_;

  std::u16string applicationPath_;
  std::u16string applicationDirectory_;
  std::u16string applicationDataPath_;
  bool showSplash_ = false;
  bool notificationsEnabled_ = false;

  // ---- the features, in the order they are made
  ActivityLog activityLog_;
  SettingsStore settings_;
  Texts texts_;
  AudioDevices devices_;
  NotificationWindow notification_;
  LinkNotificationWindow linkNotification_;
  TimerD timerD_;
  HotkeysFeature hotkeys_;
  // Last, so that the process watcher's callback is the first thing to go.
  DeviceLinkFeature deviceLink_;

  // Tray icon state kept by the form: a balloon raised while the icon is
  // hidden (during the splash) waits for it; a menu rebuild asked for while
  // the menu is open waits until it closes.
  bool trayVisible_ = false;
  std::u16string pendingBalloon_;
  bool menuOpen_ = false;
  bool rebuildPending_ = false;
};

}  // namespace varnolet
