#include "app/notifications_form.h"

namespace varnolet {

namespace {

constexpr char16_t kAppData[] = u"APPDATA";

}  // namespace

TNotificationsForm::TNotificationsForm(ProcessObjects& objects, ProcessEnvironment& environment,
                                       LanguageLibraries& libraries, TOptionsForm& options,
                                       NotificationsView& view)
    : objects_(objects),
      environment_(environment),
      options_(options),
      view_(view),
      activityLog_(objects.ports.clock, objects.ports.messages),
      settings_(objects.Registry, activityLog_),
      texts_(libraries, activityLog_),
      devices_(objects.Enumeration, activityLog_, settings_[setting::Role]),
      notification_(view.SingleNotification(), notificationsEnabled_),
      linkNotification_(view.LinkNotification(), notificationsEnabled_),
      timerD_(view),
      hotkeys_(settings_[setting::Hotkeys],
               HotkeyFileAccess{objects.Drive, objects.ports.utf8, activityLog_, {}}, objects.HotkeyTable,
               objects.RawInput, view.Handle(), timerD_, devices_, *this, *this),
      deviceLink_(settings_[setting::DeviceLink], devices_, *this, objects.Processes, objects.Drive,
                  objects.ports.clsid, activityLog_) {
  options_.AttachHost(*this);
}

// The dialog may outlive this form: it reads nothing of it from now on.
TNotificationsForm::~TNotificationsForm() {
  options_.DetachHost(*this);
}

void TNotificationsForm::Start() {
  FindPaths();

  AddLog(u"Creating user folders . . .");
  CreateUserFolders();

  AddLog(u"Get registry settings . . .");
  // The language library is not loaded yet: this box is always English.
  if (!settings_.Load())
    view_.ShowWarningBox(String(StringId::CouldNotLoadSettings), String(StringId::Warning));

  AddLog(u"Loading string resources . . .");
  texts_.Load(applicationDirectory_, settings_[setting::Language]);

  deviceLink_.Listen();

  ApplyStartup();
  ApplySplash();
  ApplyNotifications();
  deviceLink_.Initialize();
  hotkeys_.Initialize();

  if (showSplash_)
    view_.ShowSplash();
  else
    MakeTrayVisible();

  PrepareNotificationWindow(view_.SingleNotification());

  // Features that failed are off for this run; the registry keeps its values.
  if (deviceLink_.SwitchOffIfFailed()) ShowBalloon(String(StringId::DeviceLinkOffAfterFailedLoad));
  if (hotkeys_.SwitchOffIfFailed()) ShowBalloon(String(StringId::HotkeysOffAfterFailedLoad));

  devices_.Enumerate();
}

void TNotificationsForm::FindPaths() {
  AddLog(u"Get application path . . . ");
  // The buffer doubles until the path fits, however long it is.
  std::u16string buffer(2, u'\0');
  for (;;) {
    const std::uint32_t length =
        environment_.ModuleFileName(buffer.data(), static_cast<std::uint32_t>(buffer.size()));
    if (length < buffer.size()) {
      buffer.resize(length);
      break;
    }
    buffer.assign(buffer.size() * 2, u'\0');
  }
  applicationPath_ = buffer;
  AddLog(u"  -", applicationPath_);

  AddLog(u"Get application data path . . .");
  const std::uint32_t needed = environment_.EnvironmentVariable(kAppData, nullptr, 0);
  std::u16string data(needed, u'\0');
  const std::uint32_t read = environment_.EnvironmentVariable(kAppData, data.data(), needed);
  if (read == 0 || read >= needed) {
    AddLog(u"  -Could not retrieve application data path");
    data = applicationPath_;
  } else {
    data.resize(read);
  }
  AddLog(u"  -", data);
  applicationDataPath_ = data;
  hotkeys_.UseDataPath(applicationDataPath_);
  deviceLink_.UseDataPath(applicationDataPath_);

  AddLog(u"Get application directory . . .");
  const std::size_t slash = applicationPath_.rfind(u'\\');
  applicationDirectory_ =
      slash == std::u16string::npos ? std::u16string() : applicationPath_.substr(0, slash);
  AddLog(u"  -", applicationDirectory_);
}

void TNotificationsForm::CreateUserFolders() {
  CDrive& drive = objects_.Drive;
  CFile& file = drive.Directory.File;
  FileApi& files = objects_.ports.files;
  SystemMessages& messages = objects_.ports.messages;
  // Missing means "not found" and nothing else: a folder that cannot be
  // reached for another reason is left alone.
  auto missing = [&](const std::u16string& path) {
    return files.Attributes(path) == kInvalidFileAttributes &&
           messages.LastErrorCode() == win_error::kFileNotFound;
  };
  const std::u16string root = applicationDataPath_ + u"\\Varnolet 7";
  const std::u16string data = root + u"\\Data";

  if (missing(root) && !drive.Directory.Create(root)) {
    AddLog(u"  -Could not create application data root folder, ", drive.GetLastErrorText());
    return;
  }
  if (missing(data) && !drive.Directory.Create(data)) {
    AddLog(u"  -Could not create application data subfolder, ", drive.GetLastErrorText());
    return;
  }
  // An empty map file where there is none; false after a failure, logged.
  auto ensureMap = [&](const std::u16string& path, const char16_t* createFailed,
                       const char16_t* closeFailed) {
    if (!missing(path)) return true;
    if (!file.Create(path)) {
      AddLog(createFailed, drive.GetLastErrorText());
      return false;
    }
    if (!file.Close()) {
      AddLog(closeFailed);
      return false;
    }
    return true;
  };
  if (!ensureMap(data + u"\\dlmap.dat", u"  -Could not create application device link configuration file, ",
                 u"  -Could not close device link configuration file"))
    return;
  if (!ensureMap(data + u"\\hmap.dat", u"  -Could not create application hotkeys configuration file, ",
                 u"  -Could not close hotkeys configuration file"))
    return;
  AddLog(u"  -Users folder structure verified");
}

}  // namespace varnolet
