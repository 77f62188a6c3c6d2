// The process watcher: a WMI subscription to process-creation events that
// calls one registered callback per delivered batch (CProcesses::Notify,
// UnRegister, CEventSink), a snapshot of the running processes with their
// identifiers, base names and full paths (Enumerate), and the privileges of
// the program's own token (CPrivileges).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "link/com_guid.h"
#include "support/error_log.h"

namespace varnolet {

// One snapshot of running processes: entry i of the three lists describes the
// same process, in the order in which the system listed the identifiers.
struct PROCESSESINFO {
  std::uint32_t count = 0;
  std::vector<std::uint32_t> ids;
  std::vector<std::u16string> names;
  std::vector<std::u16string> paths;
};

// System handles and interface pointers as the core holds them; 0 is none.
using ProcessHandle = std::uintptr_t;
using TokenHandle = std::uintptr_t;
using ComRef = std::uintptr_t;

// A locally unique identifier (LUID) of a privilege.
struct PrivilegeId {
  std::uint32_t lowPart = 0;
  std::int32_t highPart = 0;
  friend bool operator==(const PrivilegeId&, const PrivilegeId&) = default;
};

namespace process_access {
inline constexpr std::uint32_t kQueryAndRead = 0x410;  // PROCESS_QUERY_INFORMATION | PROCESS_VM_READ
}  // namespace process_access

namespace token_access {
inline constexpr std::uint32_t kAdjustAndQuery = 0x28;  // TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY
}  // namespace token_access

namespace privilege_attributes {
inline constexpr std::uint32_t kEnabled = 2;  // SE_PRIVILEGE_ENABLED
inline constexpr std::uint32_t kDisabled = 0;
}  // namespace privilege_attributes

// COM result codes the watcher tests for.
namespace com_status {
inline constexpr std::int32_t kOk = 0;                                                   // S_OK
inline constexpr std::int32_t kFalse = 1;                                                // S_FALSE
inline constexpr std::int32_t kTooLate = static_cast<std::int32_t>(0x80010119u);         // RPC_E_TOO_LATE
inline constexpr std::int32_t kNoInterface = static_cast<std::int32_t>(0x80004002u);     // E_NOINTERFACE
inline constexpr std::int32_t kPointerMissing = static_cast<std::int32_t>(0x80004003u);  // E_POINTER
inline constexpr std::int32_t kNoError = 0;                                              // WBEM_S_NO_ERROR
}  // namespace com_status

namespace wmi {
inline constexpr char16_t kNamespace[] = u"ROOT\\CIMV2";
inline constexpr char16_t kQueryLanguage[] = u"WQL";
inline constexpr char16_t kCreationQuery[] =
    u"SELECT * FROM __InstanceCreationEvent WITHIN 1 WHERE TargetInstance ISA 'Win32_Process'";
inline constexpr std::int32_t kSendStatus = 0x80;  // WBEM_FLAG_SEND_STATUS
}  // namespace wmi

inline constexpr char16_t kDebugPrivilege[] = u"SeDebugPrivilege";

class ProcessApi;
class TokenApi;
class WmiApi;

// Enables or disables a named privilege in the program's own access token.
class CPrivileges {
 public:
  CPrivileges(TokenApi& api, SystemMessages& messages, Clock& clock);
  ~CPrivileges();
  CPrivileges(const CPrivileges&) = delete;
  CPrivileges& operator=(const CPrivileges&) = delete;

  // The system's identifier for the name; {0, -1} when it does not know it.
  PrivilegeId GetPrivilegeID(const std::u16string& name);
  bool Enable(const std::u16string& name);
  bool Disable(const std::u16string& name);

  std::u16string GetLastErrorText() const { return log_.GetLastErrorText(); }
  const ErrorLog& Log() const { return log_; }
  std::int32_t LastResult() const { return lastResult_; }

 private:
  bool Adjust(const std::u16string& name, std::uint32_t attributes, std::u16string_view openEntry,
              std::u16string_view adjustEntry);

  TokenApi& api_;
  std::int32_t lastResult_ = 0;
  ErrorLog log_;
  TokenHandle token_ = 0;
};

class CProcesses {
 public:
  // The program's IWbemObjectSink. The COM object the system calls lives in
  // the Windows adapter and forwards every call here; this part keeps the
  // reference count and turns a delivered batch into one callback.
  class CEventSink {
   public:
    explicit CEventSink(CProcesses& owner) : owner_(&owner) {}
    virtual ~CEventSink() = default;
    CEventSink(const CEventSink&) = delete;
    CEventSink& operator=(const CEventSink&) = delete;

    // IUnknown and IWbemObjectSink give the sink's interface with one more
    // reference and 0; any other identifier gives E_NOINTERFACE.
    std::int32_t QueryInterface(const ComGuid& iid, void** object);
    // Interlocked; the new count. Release destroys the sink when it reaches 0.
    std::uint32_t AddRef();
    std::uint32_t Release();
    // One callback per delivered batch, whatever the number of objects; 0.
    std::int32_t Indicate(std::int32_t objectCount, void** objects);
    // Nothing to do; 0.
    std::int32_t SetStatus(std::int32_t flags, std::int32_t result, const char16_t* text, void* object);

    // The pointer handed to the system for this sink (the adapter's COM object).
    virtual void* ComInterface() { return this; }
    // The watcher let go of this sink: a batch that still arrives calls nothing.
    void Detach() { owner_ = nullptr; }
    std::int32_t References() const { return references_.load(); }

   private:
    std::atomic<std::int32_t> references_{0};
    CProcesses* owner_;
  };

  using Callback = std::function<bool()>;

  CProcesses(WmiApi& wmi, ProcessApi& processes, CPrivileges& privileges, SystemMessages& messages,
             Clock& clock);
  ~CProcesses();
  CProcesses(const CProcesses&) = delete;
  CProcesses& operator=(const CProcesses&) = delete;

  // Stores the creation callback; always true.
  bool SetCallback(Callback callback);
  // Subscribes to process-creation events. A subscription that is already
  // active is cancelled and released first, so exactly one is ever active; a
  // failed try releases what it obtained and leaves COM as it found it.
  bool Notify();
  // Cancels the subscription and releases the WMI objects.
  bool UnRegister();
  // Appends a snapshot of the running processes to `info`.
  bool Enumerate(PROCESSESINFO& info, bool useDebugPrivilege);

  std::u16string GetLastErrorText() const { return log_.GetLastErrorText(); }
  const ErrorLog& Log() const { return log_; }
  std::int32_t LastResult() const { return lastResult_; }
  bool Subscribed() const { return subscribed_; }

 private:
  bool RaiseCreated();
  bool NotifyFailed(std::u16string_view entry);
  // Releases, in this order, the locator, the services, the program's sink,
  // the stub and the stub's sink.
  void ReleaseSubscriptionObjects();
  // The program's sink stops calling back (the subscription may still deliver).
  void DetachSink();
  void ReleaseApartment();
  // Cancels an active subscription and releases everything it holds.
  void DropSubscription();

  WmiApi& wmi_;
  ProcessApi& processes_;
  CPrivileges& privileges_;
  std::int32_t lastResult_ = 0;
  ErrorLog log_;
  ComRef locator_ = 0;
  ComRef services_ = 0;
  ComRef apartment_ = 0;
  ComRef stub_ = 0;
  ComRef stubSink_ = 0;
  Callback callback_ = [] { return true; };
  CEventSink* sink_ = nullptr;
  bool subscribed_ = false;
  bool comEntered_ = false;  // this object's own CoInitializeEx, not yet balanced
};

// Port: the process listing calls.
class ProcessApi {
 public:
  virtual ~ProcessApi() = default;
  // EnumProcesses(ids, bytes, returned)
  virtual bool ListProcessIds(std::uint32_t* ids, std::uint32_t bytes, std::uint32_t* returned) = 0;
  // OpenProcess(access, not inheritable, id); 0 when it cannot be opened
  virtual ProcessHandle OpenProcessHandle(std::uint32_t access, std::uint32_t id) = 0;
  // GetModuleBaseNameW / GetModuleFileNameExW for the main module: the number
  // of characters copied, 0 on failure
  virtual std::uint32_t ModuleBaseName(ProcessHandle process, char16_t* buffer, std::uint32_t length) = 0;
  virtual std::uint32_t ModuleFullPath(ProcessHandle process, char16_t* buffer, std::uint32_t length) = 0;
  virtual bool CloseProcessHandle(ProcessHandle process) = 0;
};

// Port: the access-token calls.
class TokenApi {
 public:
  virtual ~TokenApi() = default;
  // LookupPrivilegeValueW on the local system
  virtual bool LookupPrivilegeId(const std::u16string& name, PrivilegeId* id) = 0;
  // OpenProcessToken of the current process; 0 on failure
  virtual TokenHandle OpenOwnToken(std::uint32_t access) = 0;
  // AdjustTokenPrivileges(token, do not disable all, one entry, no previous state)
  virtual bool AdjustPrivilege(TokenHandle token, PrivilegeId id, std::uint32_t attributes) = 0;
  virtual bool CloseTokenHandle(TokenHandle token) = 0;
};

// Port: the COM and WMI calls of the subscription, each returning its COM
// result code. Interface pointers travel as ComRef; ReleaseObject releases one.
class WmiApi {
 public:
  virtual ~WmiApi() = default;
  // CoInitializeEx(no reserved pointer, COINIT_APARTMENTTHREADED) / CoUninitialize
  virtual std::int32_t EnterApartment() = 0;
  virtual void LeaveApartment() = 0;
  // CoInitializeSecurity(no descriptor, -1, no services, default authentication
  // level, impersonate, no list, EOAC_NONE)
  virtual std::int32_t InitializeSecurity() = 0;
  // CoCreateInstance of the WMI locator (in-process) for IWbemLocator
  virtual std::int32_t CreateLocator(ComRef* locator) = 0;
  // IWbemLocator::ConnectServer(namespace, no user, password, locale, flags, authority or context)
  virtual std::int32_t ConnectServer(ComRef locator, const std::u16string& nameSpace, ComRef* services) = 0;
  // CoSetProxyBlanket(services, WINNT, no authorisation, no principal, call level, impersonate, no identity,
  // EOAC_NONE)
  virtual std::int32_t SetProxyBlanket(ComRef services) = 0;
  // CoCreateInstance of the unsecured apartment (local server) for IUnsecuredApartment
  virtual std::int32_t CreateUnsecuredApartment(ComRef* apartment) = 0;
  // A new sink bound to `owner`, with no reference yet.
  virtual CProcesses::CEventSink* NewEventSink(CProcesses& owner) = 0;
  // IUnsecuredApartment::CreateObjectStub for the sink
  virtual std::int32_t CreateObjectStub(ComRef apartment, CProcesses::CEventSink& sink, ComRef* stub) = 0;
  // The stub's IWbemObjectSink (QueryInterface)
  virtual std::int32_t QueryObjectSink(ComRef stub, ComRef* stubSink) = 0;
  // IWbemServices::ExecNotificationQueryAsync(language, query, flags, no context, sink)
  virtual std::int32_t ExecNotificationQueryAsync(ComRef services, const std::u16string& language,
                                                  const std::u16string& query, std::int32_t flags,
                                                  ComRef sink) = 0;
  // IWbemServices::CancelAsyncCall(sink)
  virtual std::int32_t CancelAsyncCall(ComRef services, ComRef sink) = 0;
  virtual void ReleaseObject(ComRef object) = 0;
};

}  // namespace varnolet
