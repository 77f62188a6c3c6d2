// The process watcher's adapters against Wine: the process listing, the
// token privileges, the WMI steps and the sink's COM object.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <wbemidl.h>

#include <algorithm>
#include <vector>

#include "link/processes.h"
#include "link/processes_win32.h"
#include "support/clock_win32.h"
#include "support/system_messages_win32.h"
#include "wine_support.h"

namespace varnolet {
namespace {

std::u16string Lower(std::u16string text) {
  for (char16_t& c : text) c = LowerChar(c);
  return text;
}

// The program's COM: the GUI thread is a single-threaded apartment for the whole run.
class ProgramApartment {
 public:
  ProgramApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ProgramApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ProgramApartment(const ProgramApartment&) = delete;
  ProgramApartment& operator=(const ProgramApartment&) = delete;

 private:
  HRESULT result_;
};

// Whether COM is still entered on this thread (a nested entry says S_FALSE).
bool ApartmentEntered() {
  const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (SUCCEEDED(result)) CoUninitialize();
  return result == S_FALSE;
}

class LinkProcessesWineTest : public testing::Test {
 protected:
  ProgramApartment programApartment;
  Win32SystemMessages messages;
  CrtClock clock;
  Win32ProcessApi processApi;
  Win32TokenApi tokenApi;
  Win32WmiApi wmiApi;
  CPrivileges privileges{tokenApi, messages, clock};
  CProcesses processes{wmiApi, processApi, privileges, messages, clock};
};

// ----------------------------------------------------------------- Enumerate

class StartedNotepad {
 public:
  StartedNotepad() {
    wchar_t system[MAX_PATH];
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    path = from_wide(system, length) + u"\\notepad.exe";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINNOACTIVE;
    std::u16string command = u"\"" + path + u"\"";
    started = CreateProcessW(as_wide(path), as_wide(command.data()), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &info) != FALSE;
    if (started) WaitForInputIdle(info.hProcess, 10000);
  }
  ~StartedNotepad() {
    if (!started) return;
    TerminateProcess(info.hProcess, 0);
    WaitForSingleObject(info.hProcess, 10000);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
  StartedNotepad(const StartedNotepad&) = delete;
  StartedNotepad& operator=(const StartedNotepad&) = delete;

  std::u16string path;
  PROCESS_INFORMATION info{};
  bool started = false;
};

TEST_F(LinkProcessesWineTest, EnumerateListsAStartedNotepadWithNameAndPath) {
  StartedNotepad notepad;
  ASSERT_TRUE(notepad.started);

  for (const bool debug : {false, true}) {
    PROCESSESINFO info;
    ASSERT_TRUE(processes.Enumerate(info, debug));
    ASSERT_EQ(info.ids.size(), info.count);
    ASSERT_EQ(info.names.size(), info.count);
    ASSERT_EQ(info.paths.size(), info.count);
    const auto found = std::find(info.ids.begin(), info.ids.end(), notepad.info.dwProcessId);
    ASSERT_NE(found, info.ids.end()) << "debug privilege " << debug;
    const std::size_t at = static_cast<std::size_t>(found - info.ids.begin());
    EXPECT_EQ(Lower(info.names[at]), u"notepad.exe");
    EXPECT_EQ(Lower(info.paths[at]), Lower(notepad.path));

    // This test program is listed as well, with the path the system gives it.
    const auto self = std::find(info.ids.begin(), info.ids.end(), GetCurrentProcessId());
    ASSERT_NE(self, info.ids.end());
    wchar_t own[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, own, MAX_PATH);
    EXPECT_EQ(Lower(info.paths[static_cast<std::size_t>(self - info.ids.begin())]),
              Lower(from_wide(own, length)));
  }
}

// ---------------------------------------------------------------- privileges

bool TokenHolds(const LUID& luid) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  DWORD size = 0;
  GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
  std::vector<std::uint8_t> buffer(size);
  bool holds = false;
  if (GetTokenInformation(token, TokenPrivileges, buffer.data(), size, &size)) {
    const auto* list = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
    for (DWORD i = 0; i < list->PrivilegeCount; ++i) {
      const LUID& held = list->Privileges[i].Luid;
      holds = holds || (held.LowPart == luid.LowPart && held.HighPart == luid.HighPart);
    }
  }
  CloseHandle(token);
  return holds;
}

TEST_F(LinkProcessesWineTest, APrivilegeTheTokenLacksIsEnabledAndDisabledWithoutFailure) {
  std::u16string lacking;
  for (const char16_t* name :
       {u"SeTcbPrivilege", u"SeCreateTokenPrivilege", u"SeAssignPrimaryTokenPrivilege",
        u"SeLockMemoryPrivilege", u"SeTrustedCredManAccessPrivilege", u"SeRelabelPrivilege"}) {
    LUID luid{};
    if (LookupPrivilegeValueW(nullptr, as_wide(name), &luid) && !TokenHolds(luid)) {
      lacking = name;
      break;
    }
  }
  ASSERT_FALSE(lacking.empty()) << "the token holds every candidate privilege";

  EXPECT_TRUE(privileges.Enable(lacking));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ALL_ASSIGNED));
  EXPECT_TRUE(privileges.Disable(lacking));
  EXPECT_TRUE(privileges.Log().Entries().empty());
}

TEST_F(LinkProcessesWineTest, TheDebugPrivilegeIsKnownAndAdjusted) {
  const PrivilegeId id = privileges.GetPrivilegeID(kDebugPrivilege);
  EXPECT_NE(id, (PrivilegeId{0, -1}));
  EXPECT_TRUE(privileges.Enable(kDebugPrivilege));
  EXPECT_TRUE(privileges.Disable(kDebugPrivilege));
  EXPECT_TRUE(privileges.Log().Entries().empty());
}

TEST_F(LinkProcessesWineTest, AnUnknownPrivilegeRecordsTheSystemsText) {
  EXPECT_EQ(privileges.GetPrivilegeID(u"SeNoSuchPrivilege"), (PrivilegeId{0, -1}));
  ASSERT_EQ(privileges.Log().Entries().size(), 1u);
  const std::u16string head = u"CPrivileges,GetPrivilegeID(),LookupPrivilegeValue(),NULL,";
  const std::u16string& entry = privileges.Log().Entries()[0];
  ASSERT_NE(entry.find(head), std::u16string::npos);
  EXPECT_EQ(entry.substr(entry.find(head) + head.size()), wine::SystemText(ERROR_NO_SUCH_PRIVILEGE));
  EXPECT_EQ(privileges.GetLastErrorText(), wine::SystemText(ERROR_NO_SUCH_PRIVILEGE));
}

// ------------------------------------------------------------------ the WMI path

TEST_F(LinkProcessesWineTest, WineConnectsToWmiButHasNoUnsecuredApartment) {
  ASSERT_TRUE(SUCCEEDED(wmiApi.EnterApartment()));
  const HRESULT security = wmiApi.InitializeSecurity();
  EXPECT_TRUE(SUCCEEDED(security) || security == RPC_E_TOO_LATE) << std::hex << security;
  ComRef locator = 0;
  ASSERT_EQ(wmiApi.CreateLocator(&locator), S_OK);
  ComRef services = 0;
  ASSERT_EQ(wmiApi.ConnectServer(locator, u"ROOT\\CIMV2", &services), S_OK);
  EXPECT_TRUE(SUCCEEDED(wmiApi.SetProxyBlanket(services)));
  ComRef apartment = 0;
  EXPECT_EQ(wmiApi.CreateUnsecuredApartment(&apartment), REGDB_E_CLASSNOTREG);
  EXPECT_EQ(apartment, 0u);
  wmiApi.ReleaseObject(services);
  wmiApi.ReleaseObject(locator);
  wmiApi.LeaveApartment();
}

TEST_F(LinkProcessesWineTest, NotifyFailsAtTheUnsecuredApartmentAndLeavesComToTheProgram) {
  SetLastError(ERROR_SUCCESS);
  EXPECT_FALSE(processes.Notify());
  EXPECT_EQ(processes.LastResult(), REGDB_E_CLASSNOTREG);
  ASSERT_EQ(processes.Log().Entries().size(), 1u);
  const std::u16string head = u"CProcesses,Notify(),CoCreateInstance() (2nd call),All Processes,";
  const std::u16string& entry = processes.Log().Entries()[0];
  ASSERT_NE(entry.find(head), std::u16string::npos) << Narrow(entry);
  EXPECT_EQ(entry.substr(entry.find(head) + head.size()), processes.GetLastErrorText());
  // The reason is the system's text for the COM status (Wine has none: then
  // the status itself), not the thread's unchanged last error.
  const std::u16string reason = wine::SystemText(static_cast<DWORD>(REGDB_E_CLASSNOTREG));
  EXPECT_EQ(processes.GetLastErrorText(), reason.empty() ? u"0x80040154" : reason);
  EXPECT_FALSE(processes.Subscribed());
  EXPECT_TRUE(ApartmentEntered());

  // A second try fails the same way; UnRegister finds nothing to cancel.
  EXPECT_FALSE(processes.Notify());
  EXPECT_EQ(processes.Log().Entries().size(), 2u);
  EXPECT_FALSE(processes.UnRegister());
  EXPECT_EQ(processes.GetLastErrorText(), u"Interface is uninitialized");
  EXPECT_TRUE(ApartmentEntered());
}

// --------------------------------------------------------------- the sink

TEST_F(LinkProcessesWineTest, TheSinksComObjectForwardsToThePortablePart) {
  int callbacks = 0;
  processes.SetCallback([&callbacks] {
    ++callbacks;
    return true;
  });
  CProcesses::CEventSink* sink = wmiApi.NewEventSink(processes);
  ASSERT_NE(sink, nullptr);
  auto* object = static_cast<IWbemObjectSink*>(sink->ComInterface());
  EXPECT_EQ(object->AddRef(), 1u);

  IUnknown* unknown = nullptr;
  ASSERT_EQ(object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
  EXPECT_EQ(static_cast<void*>(unknown), static_cast<void*>(object));
  IWbemObjectSink* again = nullptr;
  ASSERT_EQ(object->QueryInterface(IID_IWbemObjectSink, reinterpret_cast<void**>(&again)), S_OK);
  EXPECT_EQ(again, object);
  IWbemServices* services = nullptr;
  EXPECT_EQ(object->QueryInterface(IID_IWbemServices, reinterpret_cast<void**>(&services)), E_NOINTERFACE);
  EXPECT_EQ(services, nullptr);

  IWbemClassObject* events[3] = {};
  EXPECT_EQ(object->Indicate(3, events), WBEM_S_NO_ERROR);
  EXPECT_EQ(callbacks, 1);
  EXPECT_EQ(object->SetStatus(0, S_OK, nullptr, nullptr), WBEM_S_NO_ERROR);
  EXPECT_EQ(callbacks, 1);

  EXPECT_EQ(again->Release(), 2u);
  EXPECT_EQ(unknown->Release(), 1u);
  EXPECT_EQ(object->Release(), 0u);  // gone
}

}  // namespace
}  // namespace varnolet
