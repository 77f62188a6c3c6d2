// TNotificationsForm: the main form and owner of all run-time state. Its
// constructor runs the start-up sequence; its handlers are the tray icon's
// menu, the timers and the feature callbacks. Portable: it reaches the
// system only through the process-wide objects, the program ports and its view.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/activity_log.h"
#include "app/builtin_strings.h"
#include "app/notifications_view.h"
#include "app/process_objects.h"
#include "app/program_ports.h"
#include "settings/user_settings.h"

namespace varnolet {

// Pseudo endpoint identifiers of hotkeys not bound to a device.
inline constexpr std::u16string_view kNoHotkeyId = u"{0.0.0.00000000}.{00000000-0000-0000-0000-000000000000}";
inline constexpr std::u16string_view kDisableHotkeysId = u"{0.0.0.00000000}.{00000000-0000-0000-0000-00000000000H}";
inline constexpr std::u16string_view kNotificationsId = u"{0.0.0.00000000}.{00000000-0000-0000-0000-00000000000N}";

class TNotificationsForm {
 public:
  // Runs the whole start-up sequence.
  TNotificationsForm(ProcessObjects& objects, ProcessEnvironment& environment, LanguageLibraries& libraries,
                     OptionsState& options, NotificationsView& view);
  TNotificationsForm(const TNotificationsForm&) = delete;
  TNotificationsForm& operator=(const TNotificationsForm&) = delete;

  // ---- activity log and texts
  void AddLog(const std::u16string& text, const std::u16string& extra = {}) { activityLog.AddLog(text, extra); }
  std::u16string SystemErrorText() { return activityLog.SystemErrorText(); }
  bool WriteLogFile();
  bool LoadLanguage();
  bool ReadStringTable(LibraryHandle library, std::vector<std::u16string>& list);
  void ShowWarning(const std::u16string& text);
  const std::u16string& String(int id) const { return stringTable[static_cast<std::size_t>(id)]; }

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

  // ---- tray icon and menu
  void TrayMouseDown();
  void EnumerateAudioDevicesExecute();
  void UpdatePopupMenuExecute();
  void MenuOptionsClick();
  void MenuExitClick();
  // Shows the balloon now, or as soon as the tray icon becomes visible.
  void ShowBalloon(const std::u16string& text);
  void MakeTrayVisible();
  void SplashFinished();  // the splash window's timer ended

  // ---- read access for the other forms and the tests
  const UserSettings& Settings() const { return settings; }
  UserSettings& MutableSettings() { return settings; }
  const std::vector<std::u16string>& StringTable() const { return stringTable; }
  const ActivityLog& Log() const { return activityLog; }
  const std::u16string& ApplicationPath() const { return applicationPath; }
  const std::u16string& ApplicationDirectory() const { return applicationDirectory; }
  const std::u16string& ApplicationDataPath() const { return applicationDataPath; }
  bool ShowSplashFlag() const { return showSplash; }
  bool NotificationsEnabled() const { return notificationsEnabled; }
  bool HotkeysEnabled() const { return hotkeysEnabled; }
  bool TrayVisible() const { return trayVisible_; }

 private:
  void RunFeatureInitialization();
  void CreateUserFolders();
  void ReadSetting(int slot, const std::u16string& name, const std::u16string& failedLine,
                   const std::u16string& retrievedLine);
  bool SaveSetting(int slot, const std::u16string& name, const std::u16string& failedLine, int balloon);
  std::u16string DataFolder() const { return applicationDataPath + u"\\Varnolet 7\\Data"; }

  ProcessObjects& objects_;
  ProcessEnvironment& environment_;
  LanguageLibraries& libraries_;
  OptionsState& options_;
  NotificationsView& view_;

  // ---- the form's fields, in the order of its definition
  std::u16string typedKeys;
  const std::u16string noHotkeyId{kNoHotkeyId};
  const std::u16string disableHotkeysId{kDisableHotkeysId};
  const std::u16string notificationsId{kNotificationsId};
  const std::u16string registryKeyPath{kSettingsKey};
  UserSettings settings = kDefaultSettings;
  std::vector<std::u16string> stringTable;
  std::u16string applicationPath;
  std::u16string applicationDirectory;
  std::u16string applicationDataPath;
  bool startupPending = true;
  bool showSplash = false;
  bool notificationsEnabled = false;
  bool hotkeysEnabled = false;
  bool deviceLinkFailed = false;
  bool hotkeyInitFailed = false;
  ActivityLog activityLog;

  // Tray icon state kept by the form: a balloon raised while the icon is
  // hidden (during the splash) waits for it.
  bool trayVisible_ = false;
  std::u16string pendingBalloon_;
};

}  // namespace varnolet
