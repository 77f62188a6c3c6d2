// Device Link inside one Wine program: the real main form (TNotificationsForm)
// on the Win32 adapters of every port, started from the registry and a
// dlmap.dat written by the program's own writer in a fresh application-data
// folder, with a view that records what the form shows. Core Audio lists the
// tree's PulseAudio endpoints and the policy stand-in makes the switches
// (fixture wine_audio, hence the suite's name). Wine delivers no
// process-creation events (its WMI has no unsecured apartment), so the test
// starts notepad and makes the call a subscription would bring: Indicate on
// the program's own IWbemObjectSink.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmdeviceapi.h>
#include <objbase.h>
#include <wbemidl.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/main_window_win32.h"
#include "app/notifications_form.h"
#include "app/program_ports_win32.h"
#include "app/win32_ports_win32.h"
#include "audio/core_audio_ids_win32.h"
#include "fakes/fake_options_view.h"
#include "fakes/fake_program.h"
#include "fakes/log_lines.h"
#include "link/device_link_file.h"
#include "wine_notepad.h"
#include "wine_support.h"

namespace varnolet {
namespace {

using wine::Notepad;

const wchar_t kDriverKey[] = L"Software\\Wine\\Drivers\\winepulse.drv";
const std::wstring kStandinServerKey = std::wstring(L"Software\\Classes\\CLSID\\") +
                                       core_audio::kPolicyVistaClassText.data() + L"\\InprocServer32";
const wchar_t* const kDefaultValues[] = {L"DefaultOutput", L"DefaultVoiceOutput", L"DefaultInput",
                                         L"DefaultVoiceInput"};

// ---------------------------------------------------------------- what Wine reports

std::u16string ReadText(HKEY root, const wchar_t* subKey, const wchar_t* name) {
  wchar_t buffer[1024] = {};
  DWORD size = sizeof buffer - sizeof(wchar_t);
  if (RegGetValueW(root, subKey, name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) return u"";
  return from_wide(buffer);
}

void WriteText(const wchar_t* name, const std::u16string& value) {
  RegSetKeyValueW(HKEY_CURRENT_USER, kDriverKey, name, REG_SZ, as_wide(value),
                  static_cast<DWORD>((value.size() + 1) * sizeof(char16_t)));
}

// Core Audio's own default endpoint of a direction and role, asked directly.
std::u16string WineDefault(EDataFlow flow, ERole role) {
  IMMDeviceEnumerator* enumerator = nullptr;
  if (FAILED(CoCreateInstance(core_audio::kDeviceEnumeratorClass, nullptr, CLSCTX_ALL,
                              core_audio::kDeviceEnumeratorInterface, reinterpret_cast<void**>(&enumerator))))
    return u"";
  std::u16string id;
  IMMDevice* device = nullptr;
  if (SUCCEEDED(enumerator->GetDefaultAudioEndpoint(flow, role, &device))) {
    LPWSTR text = nullptr;
    if (SUCCEEDED(device->GetId(&text))) id = from_wide(text);
    CoTaskMemFree(text);
    device->Release();
  }
  enumerator->Release();
  return id;
}

// The stand-in's journal beside its registered DLL: one "identifier,role" line per call.
std::vector<std::string> JournalLines() {
  const std::u16string server = ReadText(HKEY_LOCAL_MACHINE, kStandinServerKey.c_str(), nullptr);
  const std::u16string path = server.substr(0, server.rfind(u'\\') + 1) + u"policy_journal.txt";
  return wine::LinesOf(wine::ReadWholeFile(path));
}

std::vector<std::string> JournalSince(std::size_t count) {
  const std::vector<std::string> lines = JournalLines();
  return count < lines.size()
             ? std::vector<std::string>(lines.begin() + static_cast<std::ptrdiff_t>(count), lines.end())
             : std::vector<std::string>();
}

std::string Call(const DEVICEINFO& device, int role) {
  return Narrow(device.id) + "," + std::to_string(role);
}

// ---------------------------------------------------------------- the program in this process

// The GUI thread's apartment, entered before the first COM object is made.
class Apartment {
 public:
  Apartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~Apartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  Apartment(const Apartment&) = delete;
  Apartment& operator=(const Apartment&) = delete;
  bool Entered() const { return SUCCEEDED(result_); }

 private:
  HRESULT result_;
};

class AudioDeviceLinkWineTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(apartment.Entered());
    // A fresh application-data folder for the program's files.
    wchar_t saved[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"APPDATA", saved, MAX_PATH) != 0) savedAppData = from_wide(saved);
    appData = wine::FreshFolder(Ascii(testing::UnitTest::GetInstance()->current_test_info()->name()));
    appData.pop_back();  // no trailing backslash, as the system gives it
    SetEnvironmentVariableW(L"APPDATA", as_wide(appData));
    CreateDirectoryW(as_wide(appData + u"\\Varnolet 7"), nullptr);
    CreateDirectoryW(as_wide(appData + u"\\Varnolet 7\\Data"), nullptr);
    // Every test starts from Wine's own choice of defaults.
    for (const wchar_t* value : kDefaultValues) RegDeleteKeyValueW(HKEY_CURRENT_USER, kDriverKey, value);
    RegDeleteTreeW(HKEY_CURRENT_USER, as_wide(std::u16string(kSettingsKey)));
  }

  void TearDown() override {
    if (mainWindow) mainWindow->Attach(nullptr);
    form.reset();
    mainWindow.reset();
    application.Destroy();
    RegDeleteTreeW(HKEY_CURRENT_USER, as_wide(std::u16string(kSettingsKey)));
    for (const wchar_t* value : kDefaultValues) RegDeleteKeyValueW(HKEY_CURRENT_USER, kDriverKey, value);
    SetEnvironmentVariableW(L"APPDATA", savedAppData ? as_wide(*savedAppData) : nullptr);
  }

  // The endpoint of a direction with a friendly name, as the program lists it.
  DEVICEINFO Endpoint(bool render, const std::u16string& name) {
    CCollectionInterface& collection =
        render ? objects.Enumeration.RenderCollection() : objects.Enumeration.CaptureCollection();
    EXPECT_TRUE(collection.Enumerate()) << Narrow(objects.Enumeration.GetLastErrorText());
    for (const DEVICEINFO& device : collection.Devices())
      if (device.name == name) return device;
    ADD_FAILURE() << "no endpoint named " << Narrow(name);
    return {};
  }

  DEVICELINK LinkTo(const DEVICEINFO& device, const std::u16string& path) {
    ActivityLog conversion(adapters.clock, adapters.messages);
    const ComGuid endpoint = EndpointIdToGuid(device.id, adapters.clsid, conversion);
    EXPECT_TRUE(conversion.Lines().empty());
    EXPECT_FALSE(endpoint.IsNull());
    return DEVICELINK{endpoint, u"Notepad", path};
  }

  void SetSetting(const wchar_t* name, DWORD value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, as_wide(std::u16string(kSettingsKey)), name, REG_DWORD, &value,
                    sizeof value);
  }

  // The registry a user with Device Link on would have, the links written by
  // the program's own writer, then the main form with its start-up sequence,
  // on the recording view or, with `realWindows`, on the program's own
  // MainWindow (owned by an application window made as the entry makes it).
  void StartProgram(DWORD role, const std::vector<DEVICELINK>& links, bool realWindows = false) {
    SetSetting(L"Language", 0);
    SetSetting(L"Startup", 0);
    SetSetting(L"Splash", 1);  // no splash: the tray icon at once
    SetSetting(L"Notifications", 1);
    SetSetting(L"Hotkeys", 0);
    SetSetting(L"Role", role);
    SetSetting(L"DeviceLink", 1);
    ActivityLog writing(adapters.clock, adapters.messages);
    DeviceLinkFile map(writing, objects.Drive, DeviceLinkFile::MapPath(appData));
    ASSERT_TRUE(map.SaveDeviceLinks(links)) << Narrow(objects.Drive.GetLastErrorText());

    if (realWindows) {
      ui::Window::Args args;
      args.className = L"Varnolet7Application";
      args.title = L"Varnolet 7";
      args.style = WS_POPUP;
      ASSERT_TRUE(application.Create(args));
      mainWindow = std::make_unique<MainWindow>(application.Handle());
      form = std::make_unique<TNotificationsForm>(objects, environment, libraries, options, *mainWindow);
      mainWindow->Attach(form.get());
    } else {
      form = std::make_unique<TNotificationsForm>(objects, environment, libraries, options, view);
    }
    form->Start();
    ASSERT_EQ(form->ApplicationDataPath(), appData);
    EXPECT_TRUE(HasLine(u"  -Device link configuration file loaded"));
    EXPECT_EQ(form->DeviceLinks(), links);
    // Wine cannot subscribe (no unsecured apartment): the start-up turns
    // Device Link off for the run and says so. The engine is driven here as a
    // working subscription would drive it.
    EXPECT_TRUE(HasLineStarting(u"  -Could not register to receive process notifications, "));
    EXPECT_EQ(form->Settings()[setting::DeviceLink], 0);
    if (!realWindows) {
      ASSERT_FALSE(view.balloons.empty());
      EXPECT_EQ(view.balloons.back(), form->String(StringId::DeviceLinkOffAfterFailedLoad));
      view.balloons.clear();
    }
    form->MutableSettings()[setting::DeviceLink] = 1;
  }

  // The activity log without time stamps.
  std::vector<std::u16string> Lines() const { return fakes::UnstampedLines(form->Log()); }
  std::vector<std::u16string> LinesSince(std::size_t count) const {
    const std::vector<std::u16string> all = Lines();
    return std::vector<std::u16string>(all.begin() + static_cast<std::ptrdiff_t>(count), all.end());
  }
  bool HasLine(const std::u16string& wanted) const {
    for (const std::u16string& line : Lines())
      if (line == wanted) return true;
    return false;
  }
  bool HasLineStarting(const std::u16string& start) const {
    for (const std::u16string& line : Lines())
      if (line.starts_with(start)) return true;
    return false;
  }

  // The snapshot the engine will take: notepad, started last, is its last entry.
  void ExpectNotepadListedLast(const Notepad& notepad) {
    PROCESSESINFO snapshot;
    ASSERT_TRUE(objects.Processes.Enumerate(snapshot, false)) << Narrow(objects.Processes.GetLastErrorText());
    ASSERT_GT(snapshot.count, 0u);
    ASSERT_EQ(snapshot.ids.size(), snapshot.count);
    ASSERT_EQ(snapshot.paths.size(), snapshot.count);
    EXPECT_EQ(snapshot.ids.back(), notepad.ProcessId());
    EXPECT_EQ(snapshot.names.back(), u"notepad.exe");
    EXPECT_EQ(snapshot.paths.back(), Notepad::SystemPath());
  }

  // What WMI does with a batch of process-creation events: Indicate on the
  // sink the program hands it, through the sink's COM interface.
  HRESULT DeliverProcessCreation(LONG events = 1) {
    CProcesses::CEventSink* sink = adapters.wmi.NewEventSink(objects.Processes);
    if (sink == nullptr) return E_OUTOFMEMORY;
    auto* object = static_cast<IWbemObjectSink*>(sink->ComInterface());
    object->AddRef();
    std::vector<IWbemClassObject*> objectsOfEvents(static_cast<std::size_t>(events), nullptr);
    const HRESULT result = object->Indicate(events, objectsOfEvents.data());
    object->Release();
    return result;
  }

  // The playback item the rebuilt menu checks.
  static std::u16string Checked(const std::vector<MenuItemModel>& items) {
    for (const MenuItemModel& item : items)
      if (item.checked) return item.caption;
    return u"";
  }

  Apartment apartment;
  Win32Ports adapters;
  ProcessObjects objects{adapters.Bundle()};
  Win32ProcessEnvironment environment;
  Win32LanguageLibraries libraries;
  fakes::FakeOptionsView optionsView;
  TOptionsForm options{optionsView};
  fakes::RecordingView view;
  ui::Window application;
  std::unique_ptr<MainWindow> mainWindow;
  std::unique_ptr<TNotificationsForm> form;
  std::u16string appData;
  std::optional<std::u16string> savedAppData;
};

// ---------------------------------------------------------------- tests

TEST_F(AudioDeviceLinkWineTest, APlaybackLinkMakesTheEndpointTheDefaultForBothRolesWhenNotepadStarts) {
  const DEVICEINFO headset = Endpoint(true, u"Headset");
  const DEVICEINFO target = Endpoint(true, u"Ακουστικά");
  ASSERT_FALSE(target.id.empty());
  // Another endpoint is the default before, so that the switch shows.
  WriteText(L"DefaultOutput", headset.id);
  WriteText(L"DefaultVoiceOutput", headset.id);
  ASSERT_NO_FATAL_FAILURE(StartProgram(11, {LinkTo(target, Notepad::SystemPath())}));
  EXPECT_EQ(WineDefault(eRender, eMultimedia), headset.id);

  Notepad notepad;
  ASSERT_TRUE(notepad.Start(SW_SHOWMINNOACTIVE));
  ASSERT_NO_FATAL_FAILURE(ExpectNotepadListedLast(notepad));
  const std::size_t journaled = JournalLines().size();
  const std::size_t logged = form->Log().Lines().size();

  EXPECT_EQ(DeliverProcessCreation(), WBEM_S_NO_ERROR);

  // Role 11: multimedia, then communications, for the linked endpoint.
  EXPECT_EQ(JournalSince(journaled), (std::vector<std::string>{Call(target, 1), Call(target, 2)}));
  EXPECT_EQ(WineDefault(eRender, eMultimedia), target.id);
  EXPECT_EQ(WineDefault(eRender, eCommunications), target.id);
  EXPECT_EQ(WineDefault(eRender, eConsole), target.id);
  // The recording defaults are not touched.
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kDriverKey, L"DefaultInput"), u"");
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kDriverKey, L"DefaultVoiceInput"), u"");
  // The switching routine's lines and none of the engine's own.
  EXPECT_EQ(LinesSince(logged),
            (std::vector<std::u16string>{u"Changing default render device . . .", u"  -" + target.name}));
  // The menu is rebuilt with the check moved; the single window announces it.
  EXPECT_EQ(Checked(view.playbackItems), target.name);
  EXPECT_EQ(view.picture, u"IMG_3");
  EXPECT_EQ(view.single.labels[NotificationLabel::DeviceName], target.name);
  EXPECT_TRUE(view.single.visible);
  EXPECT_FALSE(view.link.visible);
  EXPECT_TRUE(view.balloons.empty());

  // A second batch while the same notepad is still the newest process: no new start.
  EXPECT_EQ(DeliverProcessCreation(3), WBEM_S_NO_ERROR);
  EXPECT_EQ(JournalLines().size(), journaled + 2);

  // A second notepad is a new start: it switches again.
  WriteText(L"DefaultOutput", headset.id);
  WriteText(L"DefaultVoiceOutput", headset.id);
  Notepad second;
  ASSERT_TRUE(second.Start(SW_SHOWMINNOACTIVE));
  ASSERT_NO_FATAL_FAILURE(ExpectNotepadListedLast(second));
  EXPECT_EQ(DeliverProcessCreation(), WBEM_S_NO_ERROR);
  EXPECT_EQ(JournalSince(journaled + 2), (std::vector<std::string>{Call(target, 1), Call(target, 2)}));
  EXPECT_EQ(WineDefault(eRender, eMultimedia), target.id);
}

TEST_F(AudioDeviceLinkWineTest, ARecordingLinkWithTheMultimediaRoleSwitchesTheInputDefaultOnly) {
  const DEVICEINFO monitor = Endpoint(false, u"Monitor of Headset");
  const DEVICEINFO target = Endpoint(false, u"Microphone");
  ASSERT_FALSE(target.id.empty());
  WriteText(L"DefaultInput", monitor.id);
  ASSERT_NO_FATAL_FAILURE(StartProgram(1, {LinkTo(target, Notepad::SystemPath())}));

  Notepad notepad;
  ASSERT_TRUE(notepad.Start(SW_SHOWMINNOACTIVE));
  ASSERT_NO_FATAL_FAILURE(ExpectNotepadListedLast(notepad));
  const std::size_t journaled = JournalLines().size();
  const std::size_t logged = form->Log().Lines().size();

  EXPECT_EQ(DeliverProcessCreation(), WBEM_S_NO_ERROR);

  // Role 1: the multimedia call only.
  EXPECT_EQ(JournalSince(journaled), (std::vector<std::string>{Call(target, 1)}));
  EXPECT_EQ(WineDefault(eCapture, eMultimedia), target.id);
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kDriverKey, L"DefaultInput"), target.id);
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kDriverKey, L"DefaultVoiceInput"), u"");
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kDriverKey, L"DefaultOutput"), u"");
  EXPECT_EQ(LinesSince(logged),
            (std::vector<std::u16string>{u"Changing default capture device . . .", u"  -" + target.name}));
  EXPECT_EQ(Checked(view.recordingItems), target.name);
  EXPECT_EQ(view.picture, u"IMG_4");
  EXPECT_EQ(view.single.labels[NotificationLabel::DeviceName], target.name);
  EXPECT_TRUE(view.single.visible);
}

TEST_F(AudioDeviceLinkWineTest, AProgramLinkedForPlaybackAndRecordingShowsBothInTheCombinedWindow) {
  const DEVICEINFO playback = Endpoint(true, u"Ακουστικά");
  const DEVICEINFO recording = Endpoint(false, u"Microphone");
  ASSERT_FALSE(playback.id.empty());
  ASSERT_FALSE(recording.id.empty());
  ASSERT_NO_FATAL_FAILURE(
      StartProgram(11, {LinkTo(recording, Notepad::SystemPath()), LinkTo(playback, Notepad::SystemPath())}));

  Notepad notepad;
  ASSERT_TRUE(notepad.Start(SW_SHOWMINNOACTIVE));
  ASSERT_NO_FATAL_FAILURE(ExpectNotepadListedLast(notepad));
  const std::size_t journaled = JournalLines().size();
  const std::size_t logged = form->Log().Lines().size();

  EXPECT_EQ(DeliverProcessCreation(), WBEM_S_NO_ERROR);

  // Playback first, whatever the order of the links.
  EXPECT_EQ(JournalSince(journaled), (std::vector<std::string>{Call(playback, 1), Call(playback, 2),
                                                               Call(recording, 1), Call(recording, 2)}));
  EXPECT_EQ(WineDefault(eRender, eMultimedia), playback.id);
  EXPECT_EQ(WineDefault(eCapture, eCommunications), recording.id);
  EXPECT_EQ(LinesSince(logged),
            (std::vector<std::u16string>{u"Changing default render device . . .", u"  -" + playback.name,
                                         u"Changing default capture device . . .", u"  -" + recording.name}));
  EXPECT_EQ(Checked(view.playbackItems), playback.name);
  EXPECT_EQ(Checked(view.recordingItems), recording.name);
  EXPECT_EQ(view.link.labels[NotificationLabel::RenderDevice], playback.name);
  EXPECT_EQ(view.link.labels[NotificationLabel::CaptureDevice], recording.name);
  EXPECT_TRUE(view.link.visible);
  EXPECT_FALSE(view.single.visible);
}

TEST_F(AudioDeviceLinkWineTest, OnTheProgramsOwnWindowsTheAnnouncementFadesOutThroughTheMainWindowsTimer) {
  const DEVICEINFO target = Endpoint(true, u"Ακουστικά");
  ASSERT_FALSE(target.id.empty());
  ASSERT_NO_FATAL_FAILURE(StartProgram(11, {LinkTo(target, Notepad::SystemPath())}, true));
  const HWND single = reinterpret_cast<HWND>(mainWindow->Handle());
  EXPECT_FALSE(IsWindowVisible(single));

  Notepad notepad;
  ASSERT_TRUE(notepad.Start(SW_SHOWMINNOACTIVE));
  ASSERT_NO_FATAL_FAILURE(ExpectNotepadListedLast(notepad));
  const std::size_t journaled = JournalLines().size();
  EXPECT_EQ(DeliverProcessCreation(), WBEM_S_NO_ERROR);
  EXPECT_EQ(JournalSince(journaled), (std::vector<std::string>{Call(target, 1), Call(target, 2)}));

  // Shown at full opacity, then the main window's timer ticks into the form
  // until the window is hidden again.
  EXPECT_TRUE(IsWindowVisible(single));
  BYTE alpha = 0;
  GetLayeredWindowAttributes(single, nullptr, &alpha, nullptr);
  EXPECT_EQ(alpha, 255);
  const DWORD start = GetTickCount();
  while (IsWindowVisible(single) && GetTickCount() - start < 15000) wine::PumpMessages(50);
  EXPECT_FALSE(IsWindowVisible(single));
  GetLayeredWindowAttributes(single, nullptr, &alpha, nullptr);
  EXPECT_EQ(alpha, 0);
  // At least the hold of one second and 254 steps of 10 ms.
  EXPECT_GE(GetTickCount() - start, 1000u + 254u * 10u * 9u / 10u);
}

TEST_F(AudioDeviceLinkWineTest, APathDifferingOnlyInLetterCaseSwitchesNothing) {
  const DEVICEINFO target = Endpoint(true, u"Ακουστικά");
  std::u16string path = Notepad::SystemPath();
  for (char16_t& c : path) c = UpperChar(c);
  ASSERT_NE(path, Notepad::SystemPath());
  ASSERT_NO_FATAL_FAILURE(StartProgram(11, {LinkTo(target, path)}));

  Notepad notepad;
  ASSERT_TRUE(notepad.Start(SW_SHOWMINNOACTIVE));
  ASSERT_NO_FATAL_FAILURE(ExpectNotepadListedLast(notepad));
  const std::size_t journaled = JournalLines().size();
  const std::size_t logged = form->Log().Lines().size();

  EXPECT_EQ(DeliverProcessCreation(), WBEM_S_NO_ERROR);

  EXPECT_EQ(JournalLines().size(), journaled);
  EXPECT_TRUE(LinesSince(logged).empty());
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kDriverKey, L"DefaultOutput"), u"");
  EXPECT_FALSE(view.single.visible);
  EXPECT_TRUE(view.picture.empty());
}

}  // namespace
}  // namespace varnolet
