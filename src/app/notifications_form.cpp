#include "app/notifications_form.h"

#include "support/text.h"

namespace varnolet {

namespace {

constexpr char16_t kAppData[] = u"APPDATA";

}  // namespace

TNotificationsForm::TNotificationsForm(ProcessObjects& objects, ProcessEnvironment& environment,
                                       LanguageLibraries& libraries, TOptionsForm& options,
                                       NotificationsView& view)
    : objects_(objects),
      environment_(environment),
      libraries_(libraries),
      options_(options),
      view_(view),
      activityLog(objects.ports.clock, objects.ports.messages),
      notification_(view.SingleNotification(), notificationsEnabled),
      linkNotification_(view.LinkNotification(), notificationsEnabled),
      timerD_(view),
      keySequence_(timerD_),
      hotkeyServices_{HotkeyFileAccess{objects.Drive, objects.ports.utf8, activityLog, {}},
                      objects.HotkeyTable, objects.RawInput, view.Handle(),
                      BindHotkeyAction<&TNotificationsForm::HotkeyAction>(*this)},
      hotkeyFields_{loadedHotkeys, hotkeyIdentifiers, hotkeysEnabled, hotkeyInitFailed},
      engine_(*this, objects.Processes, objects.ports.clsid, activityLog),
      watcherCallback_(objects.Processes) {
  options_.AttachHost(*this);
  // Defaults and the built-in texts come first: everything after may read them.
  settings = kDefaultSettings;
  stringTable.assign(kBuiltInStrings.begin(), kBuiltInStrings.end());

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
  applicationPath = buffer;
  AddLog(u"  -", applicationPath);

  AddLog(u"Get application data path . . .");
  const std::uint32_t needed = environment_.EnvironmentVariable(kAppData, nullptr, 0);
  std::u16string data(needed, u'\0');
  const std::uint32_t read = environment_.EnvironmentVariable(kAppData, data.data(), needed);
  if (read == 0 || read >= needed) {
    AddLog(u"  -Could not retrieve application data path");
    data = applicationPath;
  } else {
    data.resize(read);
  }
  AddLog(u"  -", data);
  applicationDataPath = data;
  hotkeyServices_.file.path = HotkeyFilePath(applicationDataPath);
  linkFile_.emplace(activityLog, objects_.Drive, DeviceLinkFile::MapPath(applicationDataPath));

  AddLog(u"Get application directory . . .");
  const std::size_t slash = applicationPath.rfind(u'\\');
  applicationDirectory = slash == std::u16string::npos ? std::u16string() : applicationPath.substr(0, slash);
  AddLog(u"  -", applicationDirectory);

  AddLog(u"Creating user folders . . .");
  CreateUserFolders();

  AddLog(u"Get registry settings . . .");
  LoadSettings();

  AddLog(u"Loading string resources . . .");
  LoadLanguage();

  watcherCallback_.Set([this](std::int32_t parameter) { return DeviceLinkCallback(parameter); });

  RunFeatureInitialization();
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
  const std::u16string root = applicationDataPath + u"\\Varnolet 7";
  const std::u16string data = root + u"\\Data";

  if (missing(root) && !drive.Directory.Create(root)) {
    AddLog(u"  -Could not create application data root folder, ", drive.GetLastErrorText());
    return;
  }
  if (missing(data) && !drive.Directory.Create(data)) {
    AddLog(u"  -Could not create application data subfolder, ", drive.GetLastErrorText());
    return;
  }
  const std::u16string links = data + u"\\dlmap.dat";
  if (missing(links)) {
    if (!file.Create(links)) {
      AddLog(u"  -Could not create application device link configuration file, ", drive.GetLastErrorText());
      return;
    }
    if (!file.Close()) {
      AddLog(u"  -Could not close device link configuration file");
      return;
    }
  }
  const std::u16string hotkeys = data + u"\\hmap.dat";
  if (missing(hotkeys)) {
    if (!file.Create(hotkeys)) {
      AddLog(u"  -Could not create application hotkeys configuration file, ", drive.GetLastErrorText());
      return;
    }
    if (!file.Close()) {
      AddLog(u"  -Could not close hotkeys configuration file");
      return;
    }
  }
  AddLog(u"  -Users folder structure verified");
}

void TNotificationsForm::RunFeatureInitialization() {
  if (!startupPending) return;
  startupPending = false;

  InitializeStartup();
  InitializeSplash();
  InitializeNotifications();
  InitializeDeviceLink();
  InitializeHotkeys();

  if (showSplash)
    view_.ShowSplash();
  else
    MakeTrayVisible();

  PrepareNotificationWindow(view_.SingleNotification());

  // Features that failed are off for this run; the registry keeps its values.
  if (SwitchOffFailedDeviceLink(deviceLinkFailed, settings[setting::DeviceLink],
                                [this] { return InitializeDeviceLink(); })) {
    deviceLinkOffForRun_ = true;
    ShowBalloon(String(link_strings::kDeviceLinkDisabled));
  }
  if (hotkeyInitFailed != 0 && settings[setting::Hotkeys] == 1) {
    hotkeysOffForRun_ = true;
    settings[setting::Hotkeys] = 0;
    objects_.HotkeyTable.Clear();
    InitializeHotkeys();
    ShowBalloon(String(30));
  }

  EnumerateAudioDevicesExecute();
}

// ------------------------------------------------------------------ texts

bool TNotificationsForm::LoadLanguage() {
  std::u16string path = applicationDirectory;
  if (settings[setting::Language] == 0) path += u"\\Language\\English.dll";
  if (settings[setting::Language] == 1) path += u"\\Language\\Greek.dll";

  const LibraryHandle library = libraries_.LoadResources(path);
  if (library == 0) {
    AddLog(u"  -Could not load string resources, ", SystemErrorText());
    settings[setting::Language] = 0;
    return false;
  }
  std::vector<std::u16string> list;
  const bool read = ReadStringTable(library, list);
  // The library is released on both paths; nothing of it is kept.
  libraries_.Release(library);
  if (!read) {
    settings[setting::Language] = 0;
    return false;
  }
  stringTable = std::move(list);
  return true;
}

bool TNotificationsForm::ReadStringTable(LibraryHandle library, std::vector<std::u16string>& list) {
  constexpr int kBufferSize = 2048;
  std::u16string buffer(kBufferSize, u'\0');
  list.clear();
  for (std::uint32_t id = 0; id < kStringCount; ++id) {
    const int length = libraries_.ReadString(library, id, buffer.data(), kBufferSize);
    if (length <= 0) {
      AddLog(u"  -Could not load string resource with ID: ", Decimal(id));
      list.clear();
      return false;
    }
    list.emplace_back(buffer.data(),
                      static_cast<std::size_t>(length < kBufferSize ? length : kBufferSize - 1));
  }
  AddLog(u"  -String resources loaded");
  return true;
}

void TNotificationsForm::ShowWarning(const std::u16string& text) {
  view_.ShowWarningBox(text, String(0));
}

bool TNotificationsForm::WriteLogFile() {
  return activityLog.WriteLogFile(objects_.Drive, applicationDataPath, objects_.ports.utf8);
}

// ------------------------------------------------------------- features

bool TNotificationsForm::InitializeDeviceLink() {
  return linkFile_->InitializeDeviceLink(settings[setting::DeviceLink], objects_.Processes, deviceLinkFailed,
                                         deviceLinks);
}

bool TNotificationsForm::InitializeHotkeys() {
  return varnolet::InitializeHotkeys(hotkeyServices_, hotkeyFields_, settings[setting::Hotkeys]);
}

}  // namespace varnolet
