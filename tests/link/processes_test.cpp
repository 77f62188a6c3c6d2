#include "link/processes.h"

#include <gtest/gtest.h>

#include <optional>
#include <thread>
#include <vector>

#include "support/text.h"

#include "fakes/fake_processes.h"
#include "fakes/fake_system.h"

namespace varnolet {
namespace {

using fakes::FakeProcessTable;
using fakes::FakeSystem;
using fakes::FakeToken;
using fakes::FakeWmi;
using fakes::kStamp;
namespace process_error = fakes::process_error;

std::u16string Line(std::u16string_view entry) {
  return std::u16string(kStamp) + u": " + std::u16string(entry);
}

const std::vector<std::string> kNotifyCalls = {
    "EnterApartment",  "InitializeSecurity",        "CreateLocator", "ConnectServer",
    "SetProxyBlanket", "CreateUnsecuredApartment",  "NewEventSink",  "CreateObjectStub",
    "QueryObjectSink", "ExecNotificationQueryAsync"};

class ProcessesTest : public testing::Test {
 protected:
  ProcessesTest() {
    system.texts[process_error::kPartialCopy] =
        u"Only part of a ReadProcessMemory or WriteProcessMemory request was completed. ";
    system.texts[process_error::kNoSuchPrivilege] = u"A specified privilege does not exist. ";
    privileges.emplace(token, system, system);
    processes.emplace(wmi, table, *privileges, system, system);
    processes->SetCallback([this] {
      ++callbacks;
      return true;
    });
  }

  const std::vector<std::u16string>& Entries() const { return processes->Log().Entries(); }

  FakeSystem system;
  FakeProcessTable table{system};
  FakeToken token{system};
  FakeWmi wmi;
  std::optional<CPrivileges> privileges;
  std::optional<CProcesses> processes;
  int callbacks = 0;
};

// ------------------------------------------------------------------ Notify

TEST_F(ProcessesTest, NotifySubscribesInTenStepsWithTheCreationQuery) {
  ASSERT_TRUE(processes->Notify());
  EXPECT_EQ(wmi.calls, kNotifyCalls);
  EXPECT_EQ(wmi.nameSpace, u"ROOT\\CIMV2");
  EXPECT_EQ(wmi.language, u"WQL");
  EXPECT_EQ(wmi.query,
            u"SELECT * FROM __InstanceCreationEvent WITHIN 1 WHERE TargetInstance ISA 'Win32_Process'");
  EXPECT_EQ(wmi.flags, 0x80);
  EXPECT_EQ(wmi.ActiveSubscriptions(), 1);
  EXPECT_TRUE(processes->Subscribed());
  EXPECT_EQ(wmi.apartmentDepth, 2);  // the program's own and the watcher's
  EXPECT_TRUE(Entries().empty());
  EXPECT_TRUE(wmi.misuse.empty());
}

TEST_F(ProcessesTest, NotifyAcceptsSecurityAlreadySetAndAFreshApartment) {
  wmi.apartmentDepth = 0;  // nobody entered COM yet: S_OK rather than S_FALSE
  wmi.failures.FailNext("InitializeSecurity", 0x80010119u);
  ASSERT_TRUE(processes->Notify());
  EXPECT_EQ(wmi.apartmentDepth, 1);
  ASSERT_TRUE(processes->UnRegister());
  EXPECT_EQ(wmi.apartmentDepth, 0);
  EXPECT_TRUE(Entries().empty());
}

struct NotifyStep {
  const char* op;
  std::uint32_t status;
  const char16_t* entry;
};

class NotifyFailureTest : public ProcessesTest, public testing::WithParamInterface<NotifyStep> {};

TEST_P(NotifyFailureTest, RecordsTheStepsEntryAndReleasesWhatItObtained) {
  const NotifyStep& step = GetParam();
  wmi.failures.FailNext(step.op, step.status);
  system.lastError = 0;  // COM calls leave the thread's last error alone

  EXPECT_FALSE(processes->Notify());
  // The reason is the COM status's own text, never the stale "success".
  ASSERT_FALSE(system.Text(step.status).empty());
  EXPECT_EQ(Entries(),
            std::vector<std::u16string>{Line(std::u16string(step.entry) + system.Text(step.status))});
  EXPECT_EQ(processes->GetLastErrorText(), system.Text(step.status));
  EXPECT_EQ(static_cast<std::uint32_t>(processes->LastResult()), step.status);
  // Nothing after the failing step, and nothing left over.
  const std::string& lastCall =
      wmi.calls.back() == "LeaveApartment" ? wmi.calls[wmi.calls.size() - 2] : wmi.calls.back();
  EXPECT_EQ(lastCall, step.op);
  EXPECT_FALSE(processes->Subscribed());
  EXPECT_EQ(wmi.LiveObjects(), 0);
  EXPECT_EQ(wmi.apartmentDepth, 1);
  EXPECT_EQ(wmi.ActiveSubscriptions(), 0);
  EXPECT_TRUE(wmi.misuse.empty()) << wmi.misuse.front();

  // The next try starts clean and succeeds.
  ASSERT_TRUE(processes->Notify());
  EXPECT_EQ(wmi.ActiveSubscriptions(), 1);
  EXPECT_EQ(wmi.apartmentDepth, 2);
  wmi.Deliver(1);
  EXPECT_EQ(callbacks, 1);
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, NotifyFailureTest,
    testing::Values(
        NotifyStep{"EnterApartment", 0x80010106u, u"CProcesses,Notify(),CoInitializeEx(),All Processes,"},
        NotifyStep{"InitializeSecurity", 0x8007000Eu,
                   u"CProcesses,Notify(),CoInitializeSecurity(),All Processes,"},
        NotifyStep{"CreateLocator", 0x80040154u,
                   u"CProcesses,Notify(),CoCreateInstance() (1st call),All Processes,"},
        NotifyStep{"ConnectServer", 0x8004100Eu,
                   u"CProcesses,Notify(),SWbemLocator::ConnectServer(),All Processes,"},
        NotifyStep{"SetProxyBlanket", 0x80070005u, u"CProcesses,Notify(),CoSetProxyBlanket(),All Processes,"},
        NotifyStep{"CreateUnsecuredApartment", 0x80040154u,
                   u"CProcesses,Notify(),CoCreateInstance() (2nd call),All Processes,"},
        NotifyStep{"CreateObjectStub", 0x80004005u,
                   u"CProcesses,Notify(),IUnsecuredApartment::CreateObjectStub(),All Processes,"},
        NotifyStep{"QueryObjectSink", 0x80004002u,
                   u"CProcesses,Notify(),IWbemObjectSink::QueryInterface(),All Processes,"},
        NotifyStep{"ExecNotificationQueryAsync", 0x80041003u,
                   u"CProcesses,Notify(),IWbemServices::ExecNotificationQueryAsync(),All Processes,"}),
    [](const testing::TestParamInfo<NotifyStep>& row) { return std::string(row.param.op); });

TEST_F(ProcessesTest, NotifyTwiceLeavesExactlyOneSubscription) {
  ASSERT_TRUE(processes->Notify());
  ASSERT_TRUE(processes->Notify());
  int cancels = 0;
  for (const std::string& call : wmi.calls) cancels += call == "CancelAsyncCall" ? 1 : 0;
  EXPECT_EQ(cancels, 1);
  EXPECT_EQ(wmi.ActiveSubscriptions(), 1);
  EXPECT_EQ(wmi.SinksMade(), 2);
  EXPECT_EQ(wmi.LiveSinks(), 1);  // the first sink is gone
  EXPECT_EQ(wmi.LiveOf("locator"), 1);
  EXPECT_EQ(wmi.LiveOf("services"), 1);
  EXPECT_EQ(wmi.LiveOf("apartment"), 1);
  EXPECT_EQ(wmi.LiveOf("stub"), 1);
  EXPECT_EQ(wmi.apartmentDepth, 2);  // balanced: one CoInitializeEx of the watcher's at a time

  wmi.Deliver(3);
  EXPECT_EQ(callbacks, 1);

  ASSERT_TRUE(processes->UnRegister());
  EXPECT_EQ(wmi.apartmentDepth, 1);
  EXPECT_EQ(wmi.LiveObjects(), 1);  // only the unsecured apartment is kept
  EXPECT_TRUE(Entries().empty());
  EXPECT_TRUE(wmi.misuse.empty());
}

TEST_F(ProcessesTest, NotifyGoesOnWhenTheOldSubscriptionCannotBeCancelled) {
  ASSERT_TRUE(processes->Notify());
  wmi.failures.FailNext("CancelAsyncCall", 0x80041001u);
  ASSERT_TRUE(processes->Notify());
  EXPECT_EQ(Entries(), std::vector<std::u16string>{
                           Line(u"CProcesses,Notify(),IWbemServices::CancelAsyncCall(),All Processes," +
                                system.Text(0x80041001u))});
  // The old subscription still runs in the fake, but its sink was let go and calls nothing.
  EXPECT_EQ(wmi.ActiveSubscriptions(), 2);
  wmi.Deliver(1);
  EXPECT_EQ(callbacks, 1);
}

// -------------------------------------------------------------- UnRegister

TEST_F(ProcessesTest, UnRegisterBeforeNotifyFailsAndChangesNothing) {
  EXPECT_FALSE(processes->UnRegister());
  EXPECT_EQ(Entries(),
            std::vector<std::u16string>{Line(u"CProcesses,UnRegister(),CancelAsyncCall(),IWbemObjectSink "
                                             u"interface,Interface is uninitialized")});
  EXPECT_EQ(processes->GetLastErrorText(), u"Interface is uninitialized");
  EXPECT_TRUE(wmi.calls.empty());
  EXPECT_EQ(wmi.apartmentDepth, 1);
}

TEST_F(ProcessesTest, UnRegisterCancelsReleasesInOrderAndKeepsTheApartment) {
  ASSERT_TRUE(processes->Notify());
  wmi.calls.clear();
  ASSERT_TRUE(processes->UnRegister());
  EXPECT_EQ(wmi.calls, (std::vector<std::string>{"CancelAsyncCall", "LeaveApartment"}));
  // Locator, services, (the program's sink,) the stub, the stub's sink.
  EXPECT_EQ(wmi.released, (std::vector<std::string>{"locator", "services", "stub", "stub"}));
  EXPECT_EQ(wmi.LiveSinks(), 0);
  EXPECT_EQ(wmi.LiveOf("apartment"), 1);
  EXPECT_EQ(wmi.ActiveSubscriptions(), 0);
  EXPECT_EQ(wmi.apartmentDepth, 1);
  EXPECT_FALSE(processes->Subscribed());
  wmi.Deliver(1);
  EXPECT_EQ(callbacks, 0);
  EXPECT_TRUE(wmi.misuse.empty());

  // Unsubscribed again: the second call fails as before any Notify.
  EXPECT_FALSE(processes->UnRegister());
  EXPECT_EQ(processes->GetLastErrorText(), u"Interface is uninitialized");
}

TEST_F(ProcessesTest, AFailedCancelKeepsTheSubscriptionButItsSinkCallsNothingMore) {
  ASSERT_TRUE(processes->Notify());
  wmi.failures.FailNext("CancelAsyncCall", 0x80041001u);
  EXPECT_FALSE(processes->UnRegister());
  EXPECT_EQ(Entries(), std::vector<std::u16string>{
                           Line(u"CProcesses,Notify(),IWbemServices::CancelAsyncCall(),All Processes," +
                                system.Text(0x80041001u))});
  EXPECT_TRUE(wmi.released.empty());
  EXPECT_TRUE(processes->Subscribed());
  // Asked to stop listening: what still arrives is dropped.
  wmi.Deliver(2);
  EXPECT_EQ(callbacks, 0);
  EXPECT_TRUE(processes->UnRegister());
  EXPECT_EQ(wmi.apartmentDepth, 1);
}

// COM may deliver a pending batch while the cancellation (a cross-process
// call) is under way: the sink is detached before it, by every way of
// letting go of the subscription.
TEST_F(ProcessesTest, ABatchDeliveredDuringTheCancellationCallsNothing) {
  const std::vector<std::pair<const char*, std::function<void()>>> ways = {
      {"UnRegister", [this] { EXPECT_TRUE(processes->UnRegister()); }},
      {"Notify again", [this] { EXPECT_TRUE(processes->Notify()); }},
      {"destruction", [this] { processes.reset(); }},
  };
  for (const auto& [name, letGo] : ways) {
    SCOPED_TRACE(name);
    if (!processes) {
      processes.emplace(wmi, table, *privileges, system, system);
      processes->SetCallback([this] {
        ++callbacks;
        return true;
      });
    }
    ASSERT_TRUE(processes->Notify());
    callbacks = 0;
    int delivered = 0;
    wmi.duringCancel = [&] {
      ++delivered;
      wmi.Deliver(1);
    };
    letGo();
    wmi.duringCancel = nullptr;
    EXPECT_EQ(delivered, 1);
    EXPECT_EQ(callbacks, 0);
    EXPECT_TRUE(wmi.misuse.empty());
  }
}

TEST_F(ProcessesTest, DestructionCancelsAndReleasesEverything) {
  ASSERT_TRUE(processes->Notify());
  processes.reset();
  EXPECT_EQ(wmi.LiveObjects(), 0);
  EXPECT_EQ(wmi.ActiveSubscriptions(), 0);
  EXPECT_EQ(wmi.apartmentDepth, 1);
  EXPECT_TRUE(wmi.misuse.empty());
}

// ---------------------------------------------------------------- the sink

class CountingSink final : public CProcesses::CEventSink {
 public:
  CountingSink(CProcesses& owner, bool& destroyed) : CEventSink(owner), destroyed_(destroyed) {}
  ~CountingSink() override { destroyed_ = true; }

 private:
  bool& destroyed_;
};

TEST_F(ProcessesTest, SinkAnswersForItsTwoInterfacesOnly) {
  bool destroyed = false;
  auto* sink = new CountingSink(*processes, destroyed);
  sink->AddRef();

  for (const ComGuid& iid : {com_iid::kIUnknown, com_iid::kIWbemObjectSink}) {
    void* object = nullptr;
    EXPECT_EQ(sink->QueryInterface(iid, &object), 0);
    EXPECT_EQ(object, sink->ComInterface());
  }
  EXPECT_EQ(sink->References(), 3);

  // IWbemServices {9556DC99-828C-11CF-A37E-00AA003240C7}
  const ComGuid services{0x9556DC99, 0x828C, 0x11CF, {0xA3, 0x7E, 0x00, 0xAA, 0x00, 0x32, 0x40, 0xC7}};
  void* object = sink;
  EXPECT_EQ(static_cast<std::uint32_t>(sink->QueryInterface(services, &object)), 0x80004002u);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(sink->References(), 3);
  EXPECT_EQ(static_cast<std::uint32_t>(sink->QueryInterface(com_iid::kIUnknown, nullptr)), 0x80004003u);

  EXPECT_EQ(sink->Release(), 2u);
  EXPECT_EQ(sink->Release(), 1u);
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(sink->Release(), 0u);
  EXPECT_TRUE(destroyed);
}

TEST_F(ProcessesTest, SinkCountsReferencesAcrossThreads) {
  bool destroyed = false;
  auto* sink = new CountingSink(*processes, destroyed);
  sink->AddRef();
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([sink] {
      for (int i = 0; i < 20000; ++i) sink->AddRef();
      for (int i = 0; i < 20000; ++i) sink->Release();
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(sink->References(), 1);
  EXPECT_FALSE(destroyed);
  sink->Release();
  EXPECT_TRUE(destroyed);
}

TEST_F(ProcessesTest, ABatchOfSeveralEventsGivesOneCallback) {
  EXPECT_TRUE(processes->SetCallback([this] {
    ++callbacks;
    return false;  // the result is not looked at
  }));
  bool destroyed = false;
  auto* sink = new CountingSink(*processes, destroyed);
  sink->AddRef();
  void* objects[5] = {};
  EXPECT_EQ(sink->Indicate(5, objects), 0);
  EXPECT_EQ(callbacks, 1);
  EXPECT_EQ(sink->SetStatus(0, 0, nullptr, nullptr), 0);
  EXPECT_EQ(callbacks, 1);
  sink->Detach();
  EXPECT_EQ(sink->Indicate(1, objects), 0);
  EXPECT_EQ(callbacks, 1);
  sink->Release();
}

TEST_F(ProcessesTest, TheFirstCallbackDoesNothing) {
  CProcesses fresh(wmi, table, *privileges, system, system);
  ASSERT_TRUE(fresh.Notify());
  wmi.Deliver(2);
  EXPECT_EQ(callbacks, 0);
}

TEST_F(ProcessesTest, DeliveredBatchesReachTheCallbackOnePerBatch) {
  ASSERT_TRUE(processes->Notify());
  wmi.Deliver(4);
  wmi.Deliver(1);
  EXPECT_EQ(callbacks, 2);
}

// --------------------------------------------------------------- Enumerate

TEST_F(ProcessesTest, EnumerateListsOpenableProcessesInTheSystemsOrder) {
  table.processes.push_back({0, u"", u""});  // the idle process: never opened
  table.Add(4, u"C:\\Windows\\System32\\svchost.exe");
  table.Add(300, u"C:\\Program Files\\Player\\player.exe");
  table.Add(8, u"C:\\Windows\\notepad.exe");
  table.processes.push_back({12, u"lsass.exe", u"C:\\Windows\\System32\\lsass.exe", false});

  PROCESSESINFO info;
  ASSERT_TRUE(processes->Enumerate(info, false));
  EXPECT_EQ(info.count, 3u);
  EXPECT_EQ(info.ids, (std::vector<std::uint32_t>{4, 300, 8}));
  EXPECT_EQ(info.names, (std::vector<std::u16string>{u"svchost.exe", u"player.exe", u"notepad.exe"}));
  EXPECT_EQ(info.paths, (std::vector<std::u16string>{u"C:\\Windows\\System32\\svchost.exe",
                                                     u"C:\\Program Files\\Player\\player.exe",
                                                     u"C:\\Windows\\notepad.exe"}));
  EXPECT_EQ(table.openAccess, std::vector<std::uint32_t>(4, 0x410u));
  EXPECT_EQ(table.bufferSizes, std::vector<std::uint32_t>{4096});
  EXPECT_EQ(table.OpenHandles(), 0);
  EXPECT_TRUE(Entries().empty());  // the unopenable process leaves no entry
  EXPECT_TRUE(token.adjustments.empty());
}

struct UnreadableCase {
  const char* name;
  std::size_t position;  // of the unreadable process among five
  bool path;             // the path, not the name, cannot be read
};

class UnreadableProcessTest : public ProcessesTest, public testing::WithParamInterface<UnreadableCase> {};

TEST_P(UnreadableProcessTest, IsRecordedAndLeftOutAsAWhole) {
  const UnreadableCase& c = GetParam();
  for (std::uint32_t id = 1; id <= 5; ++id) table.Add(id * 10, u"C:\\p\\p" + Decimal(id) + u".exe");
  (c.path ? table.processes[c.position].pathReadable : table.processes[c.position].nameReadable) = false;

  PROCESSESINFO info;
  ASSERT_TRUE(processes->Enumerate(info, false));
  std::vector<std::uint32_t> ids;
  std::vector<std::u16string> names;
  std::vector<std::u16string> paths;
  for (std::size_t i = 0; i < 5; ++i) {
    if (i == c.position) continue;
    ids.push_back(table.processes[i].id);
    names.push_back(table.processes[i].name);
    paths.push_back(table.processes[i].path);
  }
  EXPECT_EQ(info.count, 4u);
  EXPECT_EQ(info.ids, ids);
  EXPECT_EQ(info.names, names);
  EXPECT_EQ(info.paths, paths);
  const std::u16string entry = c.path ? u"CProcesses,Enumerate(),GetModuleFileNameEx,NULL,"
                                      : u"CProcesses,Enumerate(),GetModuleBaseName,NULL,";
  EXPECT_EQ(Entries(), std::vector<std::u16string>{Line(entry + system.Text(process_error::kPartialCopy))});
  EXPECT_EQ(table.OpenHandles(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, UnreadableProcessTest,
    testing::Values(UnreadableCase{"NameInTheMiddle", 2, false}, UnreadableCase{"PathInTheMiddle", 2, true},
                    UnreadableCase{"NameAtTheEnd", 4, false}, UnreadableCase{"PathAtTheEnd", 4, true},
                    UnreadableCase{"NameAtTheStart", 0, false}),
    [](const testing::TestParamInfo<UnreadableCase>& row) { return std::string(row.param.name); });

TEST_F(ProcessesTest, EnumerateAsksAgainWhileTheSystemFillsTheBuffer) {
  for (std::uint32_t id = 1; id <= 2500; ++id) table.Add(id * 4, u"C:\\p\\x" + Decimal(id) + u".exe");
  PROCESSESINFO info;
  ASSERT_TRUE(processes->Enumerate(info, false));
  EXPECT_EQ(table.bufferSizes, (std::vector<std::uint32_t>{4096, 8192, 16384}));
  ASSERT_EQ(info.count, 2500u);
  EXPECT_EQ(info.ids.back(), 10000u);
  EXPECT_EQ(info.paths.back(), u"C:\\p\\x2500.exe");
}

TEST_F(ProcessesTest, EnumerateOfExactlyAFullBufferAsksOnceMore) {
  for (std::uint32_t id = 1; id <= 1024; ++id) table.Add(id, u"C:\\p\\x.exe");
  PROCESSESINFO info;
  ASSERT_TRUE(processes->Enumerate(info, false));
  EXPECT_EQ(table.bufferSizes, (std::vector<std::uint32_t>{4096, 8192}));
  EXPECT_EQ(info.count, 1024u);
}

TEST_F(ProcessesTest, EnumerateFailsWhenTheSystemCannotList) {
  table.Add(4, u"C:\\x.exe");
  table.failures.FailNext("ListProcessIds", 5);
  PROCESSESINFO info;
  EXPECT_FALSE(processes->Enumerate(info, false));
  EXPECT_EQ(Entries(), std::vector<std::u16string>{
                           Line(u"CProcesses,Enumerate(),EnumProcesses(),NULL," + system.Text(5))});
  EXPECT_EQ(info.count, 0u);
  EXPECT_TRUE(info.ids.empty());
}

TEST_F(ProcessesTest, AFailedCloseIsRecordedAndTheListingGoesOn) {
  table.Add(4, u"C:\\a.exe");
  table.Add(8, u"C:\\b.exe");
  table.failures.FailNext("CloseProcessHandle", 6);
  PROCESSESINFO info;
  ASSERT_TRUE(processes->Enumerate(info, false));
  EXPECT_EQ(info.ids, (std::vector<std::uint32_t>{4, 8}));
  EXPECT_EQ(Entries(), std::vector<std::u16string>{
                           Line(u"CProcesses,Enumerate(),CloseHandle(),NULL," + system.Text(6))});
}

TEST_F(ProcessesTest, EnumerateWithTheDebugPrivilegeEnablesAndDisablesIt) {
  table.Add(4, u"C:\\a.exe");
  PROCESSESINFO info;
  ASSERT_TRUE(processes->Enumerate(info, true));
  ASSERT_EQ(token.adjustments.size(), 2u);
  EXPECT_EQ(token.adjustments[0].id, (PrivilegeId{20, 0}));
  EXPECT_EQ(token.adjustments[0].attributes, 2u);
  EXPECT_EQ(token.adjustments[1].id, (PrivilegeId{20, 0}));
  EXPECT_EQ(token.adjustments[1].attributes, 0u);
  EXPECT_EQ(info.count, 1u);
  EXPECT_TRUE(Entries().empty());
}

TEST_F(ProcessesTest, EnumerateGoesOnWhenThePrivilegeCannotBeChanged) {
  table.Add(4, u"C:\\a.exe");
  token.failures.FailAlways("OpenOwnToken", 5);
  PROCESSESINFO info;
  ASSERT_TRUE(processes->Enumerate(info, true));
  EXPECT_EQ(info.count, 1u);
  EXPECT_EQ(Entries(), (std::vector<std::u16string>{
                           Line(u"CProcesses,Enumerate(),CPrivileges::Enable(),NULL," + system.Text(5)),
                           Line(u"CProcesses,Enumerate(),CPrivileges::Disable(),NULL," + system.Text(5))}));
  EXPECT_EQ(processes->GetLastErrorText(), system.Text(5));
}

// -------------------------------------------------------------- CPrivileges

TEST_F(ProcessesTest, EnableAndDisableAdjustTheOwnToken) {
  ASSERT_TRUE(privileges->Enable(u"SeShutdownPrivilege"));
  EXPECT_TRUE(token.enabled.count(FakeToken::Key({19, 0})));
  ASSERT_TRUE(privileges->Disable(u"SeShutdownPrivilege"));
  EXPECT_FALSE(token.enabled.count(FakeToken::Key({19, 0})));
  EXPECT_EQ(token.openAccess, (std::vector<std::uint32_t>{0x28, 0x28}));
  EXPECT_EQ(token.OpenHandles(), 1);  // the newest token is kept, the older one closed
  EXPECT_TRUE(privileges->Log().Entries().empty());
  privileges.reset();
  EXPECT_EQ(token.OpenHandles(), 0);
}

TEST_F(ProcessesTest, APrivilegeTheTokenLacksStillSucceeds) {
  EXPECT_TRUE(privileges->Enable(u"SeTcbPrivilege"));
  EXPECT_TRUE(privileges->Disable(u"SeTcbPrivilege"));
  EXPECT_EQ(token.adjustments.size(), 2u);
  EXPECT_TRUE(privileges->Log().Entries().empty());
}

TEST_F(ProcessesTest, AnUnknownPrivilegeIsRecordedAndStillAdjusted) {
  EXPECT_EQ(privileges->GetPrivilegeID(u"SeNoSuchPrivilege"), (PrivilegeId{0, -1}));
  EXPECT_TRUE(privileges->Enable(u"SeNoSuchPrivilege"));
  const std::u16string entry = Line(u"CPrivileges,GetPrivilegeID(),LookupPrivilegeValue(),NULL," +
                                    system.Text(process_error::kNoSuchPrivilege));
  EXPECT_EQ(privileges->Log().Entries(), (std::vector<std::u16string>{entry, entry}));
  ASSERT_EQ(token.adjustments.size(), 1u);
  EXPECT_EQ(token.adjustments[0].id, (PrivilegeId{0, -1}));
  EXPECT_EQ(token.openAccess.size(), 1u);
}

struct PrivilegeFailure {
  const char* name;
  bool enable;
  const char* op;
  const char16_t* entry;
};

class PrivilegeFailureTest : public ProcessesTest, public testing::WithParamInterface<PrivilegeFailure> {};

TEST_P(PrivilegeFailureTest, RecordsItsEntry) {
  const PrivilegeFailure& c = GetParam();
  token.failures.FailNext(c.op, 5);
  const bool result =
      c.enable ? privileges->Enable(u"SeDebugPrivilege") : privileges->Disable(u"SeDebugPrivilege");
  EXPECT_FALSE(result);
  EXPECT_EQ(privileges->Log().Entries(),
            std::vector<std::u16string>{Line(std::u16string(c.entry) + system.Text(5))});
  EXPECT_EQ(privileges->GetLastErrorText(), system.Text(5));
  EXPECT_EQ(privileges->LastResult(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, PrivilegeFailureTest,
    testing::Values(PrivilegeFailure{"EnableOpen", true, "OpenOwnToken",
                                     u"CPrivilege,Enable(),OpenProcessToken(),Current process,"},
                    PrivilegeFailure{"DisableOpen", false, "OpenOwnToken",
                                     u"CPrivilege,Disable(),OpenProcessToken(),Current process,"},
                    PrivilegeFailure{"EnableAdjust", true, "AdjustPrivilege",
                                     u"CPrivileges,Enable(),AdjustTokenPrivileges(),Current process,"},
                    PrivilegeFailure{"DisableAdjust", false, "AdjustPrivilege",
                                     u"CPrivileges,Disable(),AdjustTokenPrivileges(),Current process,"}),
    [](const testing::TestParamInfo<PrivilegeFailure>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace varnolet
