#include "link/processes.h"

#include <algorithm>

namespace varnolet {

namespace {

constexpr std::size_t kFirstIdCapacity = 1024;        // identifiers asked for at first (4096 bytes)
constexpr std::size_t kMostIdCapacity = 1024 * 1024;  // no system lists more processes than this
constexpr std::uint32_t kNameLength = 1024;           // characters of a base name or a full path

bool ComFailed(std::int32_t result) {
  return result < 0;
}

}  // namespace

// ------------------------------------------------------------ CPrivileges

CPrivileges::CPrivileges(TokenApi& api, SystemMessages& messages, Clock& clock)
    : api_(api), log_(messages, clock, error_rules::kPrivileges) {}

CPrivileges::~CPrivileges() {
  if (token_ != 0) api_.CloseTokenHandle(token_);
}

PrivilegeId CPrivileges::GetPrivilegeID(const std::u16string& name) {
  PrivilegeId id;
  const bool found = api_.LookupPrivilegeId(name, &id);
  lastResult_ = found ? 1 : 0;
  if (!log_.CheckResult(lastResult_, u"CPrivileges,GetPrivilegeID(),LookupPrivilegeValue(),NULL,"))
    return PrivilegeId{0, -1};  // low part 0, high part 0xFFFFFFFF: names no privilege
  return id;
}

bool CPrivileges::Enable(const std::u16string& name) {
  return Adjust(name, privilege_attributes::kEnabled,
                u"CPrivilege,Enable(),OpenProcessToken(),Current process,",
                u"CPrivileges,Enable(),AdjustTokenPrivileges(),Current process,");
}

bool CPrivileges::Disable(const std::u16string& name) {
  return Adjust(name, privilege_attributes::kDisabled,
                u"CPrivilege,Disable(),OpenProcessToken(),Current process,",
                u"CPrivileges,Disable(),AdjustTokenPrivileges(),Current process,");
}

bool CPrivileges::Adjust(const std::u16string& name, std::uint32_t attributes, std::u16string_view openEntry,
                         std::u16string_view adjustEntry) {
  const PrivilegeId id = GetPrivilegeID(name);
  // The object holds one token at a time: the one of the previous call goes first.
  if (token_ != 0) {
    api_.CloseTokenHandle(token_);
    token_ = 0;
  }
  const TokenHandle token = api_.OpenOwnToken(token_access::kAdjustAndQuery);
  lastResult_ = token != 0 ? 1 : 0;
  if (!log_.CheckResult(lastResult_, openEntry)) return false;
  token_ = token;
  // A call that succeeds without assigning the privilege (the token lacks it) is a success.
  const bool adjusted = api_.AdjustPrivilege(token_, id, attributes);
  lastResult_ = adjusted ? 1 : 0;
  return log_.CheckResult(lastResult_, adjustEntry);
}

// ----------------------------------------------------- CProcesses::CEventSink

std::int32_t CProcesses::CEventSink::QueryInterface(const ComGuid& iid, void** object) {
  if (object == nullptr) return com_status::kPointerMissing;
  if (iid == com_iid::kIUnknown || iid == com_iid::kIWbemObjectSink) {
    *object = ComInterface();
    AddRef();
    return com_status::kOk;
  }
  *object = nullptr;
  return com_status::kNoInterface;
}

std::uint32_t CProcesses::CEventSink::AddRef() {
  return static_cast<std::uint32_t>(++references_);
}

std::uint32_t CProcesses::CEventSink::Release() {
  const std::int32_t left = --references_;
  if (left == 0) delete this;
  return static_cast<std::uint32_t>(left);
}

std::int32_t CProcesses::CEventSink::Indicate(std::int32_t, void**) {
  // The events carry nothing the program uses: one batch, one callback.
  if (owner_ != nullptr) owner_->RaiseCreated();
  return com_status::kNoError;
}

std::int32_t CProcesses::CEventSink::SetStatus(std::int32_t, std::int32_t, const char16_t*, void*) {
  return com_status::kNoError;
}

// ------------------------------------------------------------- CProcesses

CProcesses::CProcesses(WmiApi& wmi, ProcessApi& processes, CPrivileges& privileges, SystemMessages& messages,
                       Clock& clock)
    : wmi_(wmi),
      processes_(processes),
      privileges_(privileges),
      log_(messages, clock, error_rules::kProcesses) {}

CProcesses::~CProcesses() {
  DropSubscription();
  ReleaseApartment();
}

bool CProcesses::SetCallback(Callback callback) {
  callback_ = std::move(callback);
  return true;
}

bool CProcesses::RaiseCreated() {
  return callback_ ? callback_() : true;
}

void CProcesses::DetachSink() {
  if (sink_ != nullptr) sink_->Detach();
}

void CProcesses::ReleaseSubscriptionObjects() {
  const auto drop = [this](ComRef& object) {
    if (object != 0) wmi_.ReleaseObject(object);
    object = 0;
  };
  // The sink calls nothing once the watcher starts letting go: a batch that
  // COM delivers while a proxy is released is dropped.
  DetachSink();
  drop(locator_);
  drop(services_);
  if (sink_ != nullptr) {
    sink_->Release();
    sink_ = nullptr;
  }
  drop(stub_);
  drop(stubSink_);
}

void CProcesses::ReleaseApartment() {
  if (apartment_ != 0) wmi_.ReleaseObject(apartment_);
  apartment_ = 0;
}

void CProcesses::DropSubscription() {
  if (subscribed_) {
    // Cancelling is a cross-process call during which COM may deliver a
    // pending batch to this thread: the sink is detached before it.
    DetachSink();
    lastResult_ = wmi_.CancelAsyncCall(services_, stubSink_);
    // Whatever the system says, the sink is detached below and calls nothing more.
    if (ComFailed(lastResult_))
      log_.RecordStatus(static_cast<std::uint32_t>(lastResult_),
                        u"CProcesses,Notify(),IWbemServices::CancelAsyncCall(),All Processes,");
    subscribed_ = false;
  }
  ReleaseSubscriptionObjects();
  if (comEntered_) wmi_.LeaveApartment();
  comEntered_ = false;
}

bool CProcesses::NotifyFailed(std::u16string_view entry) {
  // COM calls leave the thread's last error alone: the reason recorded is the
  // system's text for the COM status itself, never a stale "success".
  log_.RecordStatus(static_cast<std::uint32_t>(lastResult_), entry);
  ReleaseSubscriptionObjects();
  ReleaseApartment();
  if (comEntered_) wmi_.LeaveApartment();
  comEntered_ = false;
  return false;
}

bool CProcesses::Notify() {
  DropSubscription();
  ReleaseApartment();  // step 6 makes a new one

  lastResult_ = wmi_.EnterApartment();
  if (lastResult_ != com_status::kOk && lastResult_ != com_status::kFalse)
    return NotifyFailed(u"CProcesses,Notify(),CoInitializeEx(),All Processes,");
  comEntered_ = true;

  lastResult_ = wmi_.InitializeSecurity();
  if (ComFailed(lastResult_) && lastResult_ != com_status::kTooLate)
    return NotifyFailed(u"CProcesses,Notify(),CoInitializeSecurity(),All Processes,");

  lastResult_ = wmi_.CreateLocator(&locator_);
  if (ComFailed(lastResult_))
    return NotifyFailed(u"CProcesses,Notify(),CoCreateInstance() (1st call),All Processes,");

  lastResult_ = wmi_.ConnectServer(locator_, wmi::kNamespace, &services_);
  if (ComFailed(lastResult_))
    return NotifyFailed(u"CProcesses,Notify(),SWbemLocator::ConnectServer(),All Processes,");

  lastResult_ = wmi_.SetProxyBlanket(services_);
  if (ComFailed(lastResult_)) return NotifyFailed(u"CProcesses,Notify(),CoSetProxyBlanket(),All Processes,");

  lastResult_ = wmi_.CreateUnsecuredApartment(&apartment_);
  if (ComFailed(lastResult_))
    return NotifyFailed(u"CProcesses,Notify(),CoCreateInstance() (2nd call),All Processes,");

  sink_ = wmi_.NewEventSink(*this);
  if (sink_ != nullptr) sink_->AddRef();

  lastResult_ =
      sink_ != nullptr ? wmi_.CreateObjectStub(apartment_, *sink_, &stub_) : com_status::kPointerMissing;
  if (ComFailed(lastResult_))
    return NotifyFailed(u"CProcesses,Notify(),IUnsecuredApartment::CreateObjectStub(),All Processes,");

  lastResult_ = wmi_.QueryObjectSink(stub_, &stubSink_);
  if (ComFailed(lastResult_))
    return NotifyFailed(u"CProcesses,Notify(),IWbemObjectSink::QueryInterface(),All Processes,");

  lastResult_ = wmi_.ExecNotificationQueryAsync(services_, wmi::kQueryLanguage, wmi::kCreationQuery,
                                                wmi::kSendStatus, stubSink_);
  if (ComFailed(lastResult_))
    return NotifyFailed(u"CProcesses,Notify(),IWbemServices::ExecNotificationQueryAsync(),All Processes,");

  subscribed_ = true;
  return true;
}

bool CProcesses::UnRegister() {
  if (stubSink_ == 0) {
    log_.AddError(
        u"CProcesses,UnRegister(),CancelAsyncCall(),IWbemObjectSink interface,Interface is uninitialized");
    return false;
  }
  // Detached first: a batch delivered during the cancellation calls nothing.
  DetachSink();
  lastResult_ = wmi_.CancelAsyncCall(services_, stubSink_);
  if (ComFailed(lastResult_)) {
    log_.RecordStatus(static_cast<std::uint32_t>(lastResult_),
                      u"CProcesses,Notify(),IWbemServices::CancelAsyncCall(),All Processes,");
    return false;
  }
  subscribed_ = false;
  ReleaseSubscriptionObjects();
  if (comEntered_) wmi_.LeaveApartment();
  comEntered_ = false;
  return true;
}

bool CProcesses::Enumerate(PROCESSESINFO& info, bool useDebugPrivilege) {
  std::vector<std::uint32_t> ids(kFirstIdCapacity);
  std::size_t listed = 0;
  for (;;) {
    const auto bytes = static_cast<std::uint32_t>(ids.size() * sizeof(std::uint32_t));
    std::uint32_t returned = 0;
    const bool ok = processes_.ListProcessIds(ids.data(), bytes, &returned);
    lastResult_ = ok ? 1 : 0;
    if (!log_.CheckResult(lastResult_, u"CProcesses,Enumerate(),EnumProcesses(),NULL,")) return false;
    listed = std::min(returned, bytes) / sizeof(std::uint32_t);
    // A full buffer may have cut the list short: ask again with more room.
    if (returned < bytes || ids.size() >= kMostIdCapacity) break;
    ids.resize(ids.size() * 2);
  }

  if (useDebugPrivilege && !privileges_.Enable(kDebugPrivilege))
    log_.AddError(u"CProcesses,Enumerate(),CPrivileges::Enable(),NULL," + privileges_.GetLastErrorText());

  std::u16string buffer(kNameLength, u'\0');
  const auto read = [&](std::uint32_t length) { return buffer.substr(0, std::min(length, kNameLength)); };
  for (std::size_t i = 0; i < listed; ++i) {
    const std::uint32_t id = ids[i];
    if (id == 0) continue;
    const ProcessHandle process = processes_.OpenProcessHandle(process_access::kQueryAndRead, id);
    if (process == 0) continue;  // another user's or a protected process: left out without an entry

    // A process that ends or cannot be read between the listing and here is
    // recorded and left out as a whole, so that the three lists stay aligned.
    std::uint32_t length = processes_.ModuleBaseName(process, buffer.data(), kNameLength);
    lastResult_ = static_cast<std::int32_t>(length);
    bool readable = log_.CheckResult(length, u"CProcesses,Enumerate(),GetModuleBaseName,NULL,");
    std::u16string name;
    std::u16string path;
    if (readable) {
      name = read(length);
      length = processes_.ModuleFullPath(process, buffer.data(), kNameLength);
      lastResult_ = static_cast<std::int32_t>(length);
      readable = log_.CheckResult(length, u"CProcesses,Enumerate(),GetModuleFileNameEx,NULL,");
      if (readable) path = read(length);
    }
    if (readable) {
      info.ids.push_back(id);
      info.names.push_back(std::move(name));
      info.paths.push_back(std::move(path));
    }
    const bool closed = processes_.CloseProcessHandle(process);
    lastResult_ = closed ? 1 : 0;
    log_.CheckResult(lastResult_, u"CProcesses,Enumerate(),CloseHandle(),NULL,");
  }
  info.count = static_cast<std::uint32_t>(info.ids.size());

  if (useDebugPrivilege && !privileges_.Disable(kDebugPrivilege))
    log_.AddError(u"CProcesses,Enumerate(),CPrivileges::Disable(),NULL," + privileges_.GetLastErrorText());
  return true;
}

}  // namespace varnolet
