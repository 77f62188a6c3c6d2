// Fakes of the process watcher's ports: a process table, an access token and
// a COM/WMI that keeps reference counts, the apartment depth and the active
// subscriptions, records every call and can deliver event batches.
// FailureScript operations: FakeProcessTable "ListProcessIds",
// "OpenProcessHandle", "ModuleBaseName", "ModuleFullPath", "CloseProcessHandle";
// FakeToken "LookupPrivilegeId", "OpenOwnToken", "AdjustPrivilege",
// "CloseTokenHandle"; FakeWmi "EnterApartment", "InitializeSecurity",
// "CreateLocator", "ConnectServer", "SetProxyBlanket",
// "CreateUnsecuredApartment", "CreateObjectStub", "QueryObjectSink",
// "ExecNotificationQueryAsync", "CancelAsyncCall" (the code is the COM status
// the call returns; for the Win32-style calls it becomes the last error).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "fakes/failure_script.h"
#include "fakes/fake_system.h"
#include "link/processes.h"

namespace varnolet::fakes {

// System error codes the process fakes report.
namespace process_error {
inline constexpr std::uint32_t kAccessDenied = 5;
inline constexpr std::uint32_t kInvalidParameter = 87;
inline constexpr std::uint32_t kPartialCopy = 299;  // a process that is ending
inline constexpr std::uint32_t kNoSuchPrivilege = 1313;
inline constexpr std::uint32_t kNotAllAssigned = 1300;
}  // namespace process_error

class FakeProcessTable final : public ProcessApi {
 public:
  struct Process {
    std::uint32_t id = 0;
    std::u16string name;
    std::u16string path;
    bool opens = true;         // false: another user's or a protected process
    bool nameReadable = true;  // false: ended or unreadable between listing and reading
    bool pathReadable = true;
  };

  explicit FakeProcessTable(FakeSystem& system) : system_(system) {}

  bool ListProcessIds(std::uint32_t* ids, std::uint32_t bytes, std::uint32_t* returned) override;
  ProcessHandle OpenProcessHandle(std::uint32_t access, std::uint32_t id) override;
  std::uint32_t ModuleBaseName(ProcessHandle process, char16_t* buffer, std::uint32_t length) override;
  std::uint32_t ModuleFullPath(ProcessHandle process, char16_t* buffer, std::uint32_t length) override;
  bool CloseProcessHandle(ProcessHandle process) override;

  // A process named after its path's last part.
  void Add(std::uint32_t id, const std::u16string& path);

  std::vector<Process> processes;
  FailureScript failures;
  std::vector<std::uint32_t> bufferSizes;  // bytes offered to each ListProcessIds
  std::vector<std::uint32_t> openAccess;   // access asked by each OpenProcessHandle
  int OpenHandles() const { return static_cast<int>(open_.size()); }

 private:
  std::uint32_t Copy(ProcessHandle process, bool path, char16_t* buffer, std::uint32_t length);
  bool Fail(const char* op);

  FakeSystem& system_;
  std::map<ProcessHandle, std::uint32_t> open_;  // handle -> process id
  ProcessHandle next_ = 0x400;
};

class FakeToken final : public TokenApi {
 public:
  explicit FakeToken(FakeSystem& system);

  bool LookupPrivilegeId(const std::u16string& name, PrivilegeId* id) override;
  TokenHandle OpenOwnToken(std::uint32_t access) override;
  bool AdjustPrivilege(TokenHandle token, PrivilegeId id, std::uint32_t attributes) override;
  bool CloseTokenHandle(TokenHandle token) override;

  struct Adjustment {
    TokenHandle token;
    PrivilegeId id;
    std::uint32_t attributes;
  };

  std::map<std::u16string, PrivilegeId> known;  // names the system recognises
  std::set<std::int64_t> held;                  // privileges the token has (by LowPart | HighPart << 32)
  std::set<std::int64_t> enabled;
  std::vector<Adjustment> adjustments;
  std::vector<std::uint32_t> openAccess;
  FailureScript failures;
  int OpenHandles() const { return static_cast<int>(open_.size()); }
  static std::int64_t Key(PrivilegeId id) {
    return static_cast<std::int64_t>(id.lowPart) | static_cast<std::int64_t>(id.highPart) << 32;
  }

 private:
  bool Fail(const char* op);

  FakeSystem& system_;
  std::set<TokenHandle> open_;
  TokenHandle next_ = 0x800;
};

class FakeWmi final : public WmiApi {
 public:
  FakeWmi() = default;
  ~FakeWmi() override;

  std::int32_t EnterApartment() override;
  void LeaveApartment() override;
  std::int32_t InitializeSecurity() override;
  std::int32_t CreateLocator(ComRef* locator) override;
  std::int32_t ConnectServer(ComRef locator, const std::u16string& nameSpace, ComRef* services) override;
  std::int32_t SetProxyBlanket(ComRef services) override;
  std::int32_t CreateUnsecuredApartment(ComRef* apartment) override;
  CProcesses::CEventSink* NewEventSink(CProcesses& owner) override;
  std::int32_t CreateObjectStub(ComRef apartment, CProcesses::CEventSink& sink, ComRef* stub) override;
  std::int32_t QueryObjectSink(ComRef stub, ComRef* stubSink) override;
  std::int32_t ExecNotificationQueryAsync(ComRef services, const std::u16string& language,
                                          const std::u16string& query, std::int32_t flags,
                                          ComRef sink) override;
  std::int32_t CancelAsyncCall(ComRef services, ComRef sink) override;
  void ReleaseObject(ComRef object) override;

  // Delivers one batch of `events` creation events to every active subscription.
  void Deliver(std::int32_t events);
  // Runs inside CancelAsyncCall, before the subscription ends: COM may deliver
  // a pending batch to the thread during that cross-process call.
  std::function<void()> duringCancel;

  // Objects with references left (the program's sinks included).
  int LiveObjects() const;
  int LiveOf(const std::string& kind) const;
  int ActiveSubscriptions() const { return static_cast<int>(subscriptions_.size()); }
  int LiveSinks() const { return liveSinks_; }
  int SinksMade() const { return sinksMade_; }

  // Depth of CoInitializeEx on the thread; the program itself holds 1.
  int apartmentDepth = 1;
  bool securitySet = false;
  FailureScript failures;
  std::vector<std::string> calls;     // every port call, in order
  std::vector<std::string> released;  // kind of each object released, in order
  std::vector<std::string> misuse;    // calls on dead or wrong objects; empty in a good run
  std::u16string nameSpace, language, query;
  std::int32_t flags = 0;

 private:
  struct Object {
    std::string kind;  // "locator", "services", "apartment", "stub"
    int references = 1;
    CProcesses::CEventSink* sink = nullptr;  // the sink a stub holds
  };
  class CountedSink;

  std::int32_t Scripted(const char* op);
  ComRef Make(const std::string& kind);
  Object* Live(ComRef object, const std::string& kind, const char* op);
  void Drop(ComRef object);

  std::map<ComRef, Object> objects_;
  std::set<ComRef> subscriptions_;
  ComRef next_ = 0x1000;
  int liveSinks_ = 0;
  int sinksMade_ = 0;
};

}  // namespace varnolet::fakes
