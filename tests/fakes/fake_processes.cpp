#include "fakes/fake_processes.h"

#include <algorithm>

namespace varnolet::fakes {

namespace {
constexpr std::int32_t kNotFound = static_cast<std::int32_t>(0x80041002u);  // WBEM_E_NOT_FOUND
constexpr std::uint32_t kInvalidHandle = 6;
}  // namespace

// ------------------------------------------------------- FakeProcessTable

bool FakeProcessTable::Fail(const char* op) {
  if (auto code = failures.Take(op)) {
    system_.lastError = *code;
    return true;
  }
  return false;
}

void FakeProcessTable::Add(std::uint32_t id, const std::u16string& path) {
  const std::size_t slash = path.rfind(u'\\');
  processes.push_back(Process{id, slash == std::u16string::npos ? path : path.substr(slash + 1), path});
}

bool FakeProcessTable::ListProcessIds(std::uint32_t* ids, std::uint32_t bytes, std::uint32_t* returned) {
  bufferSizes.push_back(bytes);
  if (Fail("ListProcessIds")) return false;
  // As the system does: as many identifiers as fit, the rest cut off.
  const std::size_t fit = std::min<std::size_t>(processes.size(), bytes / sizeof(std::uint32_t));
  for (std::size_t i = 0; i < fit; ++i) ids[i] = processes[i].id;
  *returned = static_cast<std::uint32_t>(fit * sizeof(std::uint32_t));
  return true;
}

ProcessHandle FakeProcessTable::OpenProcessHandle(std::uint32_t access, std::uint32_t id) {
  openAccess.push_back(access);
  if (Fail("OpenProcessHandle")) return 0;
  const auto process =
      std::find_if(processes.begin(), processes.end(), [id](const Process& p) { return p.id == id; });
  if (id == 0 || process == processes.end()) {
    system_.lastError = process_error::kInvalidParameter;
    return 0;
  }
  if (!process->opens) {
    system_.lastError = process_error::kAccessDenied;
    return 0;
  }
  const ProcessHandle handle = next_++;
  open_[handle] = id;
  return handle;
}

std::uint32_t FakeProcessTable::Copy(ProcessHandle handle, bool path, char16_t* buffer,
                                     std::uint32_t length) {
  auto open = open_.find(handle);
  if (open == open_.end()) {
    system_.lastError = kInvalidHandle;
    return 0;
  }
  const auto process = std::find_if(processes.begin(), processes.end(),
                                    [&](const Process& p) { return p.id == open->second; });
  if (process == processes.end() || !(path ? process->pathReadable : process->nameReadable)) {
    system_.lastError = process_error::kPartialCopy;
    return 0;
  }
  const std::u16string& text = path ? process->path : process->name;
  const std::uint32_t copied = std::min<std::uint32_t>(static_cast<std::uint32_t>(text.size()), length);
  std::copy_n(text.begin(), copied, buffer);
  if (copied < length) buffer[copied] = u'\0';
  return copied;
}

std::uint32_t FakeProcessTable::ModuleBaseName(ProcessHandle process, char16_t* buffer,
                                               std::uint32_t length) {
  if (Fail("ModuleBaseName")) return 0;
  return Copy(process, false, buffer, length);
}

std::uint32_t FakeProcessTable::ModuleFullPath(ProcessHandle process, char16_t* buffer,
                                               std::uint32_t length) {
  if (Fail("ModuleFullPath")) return 0;
  return Copy(process, true, buffer, length);
}

bool FakeProcessTable::CloseProcessHandle(ProcessHandle process) {
  if (Fail("CloseProcessHandle")) return false;
  if (open_.erase(process) == 0) {
    system_.lastError = kInvalidHandle;
    return false;
  }
  return true;
}

// --------------------------------------------------------------- FakeToken

FakeToken::FakeToken(FakeSystem& system) : system_(system) {
  known = {{u"SeTcbPrivilege", {7, 0}},
           {u"SeShutdownPrivilege", {19, 0}},
           {u"SeDebugPrivilege", {20, 0}},
           {u"SeChangeNotifyPrivilege", {23, 0}}};
  for (const char16_t* name : {u"SeShutdownPrivilege", u"SeDebugPrivilege", u"SeChangeNotifyPrivilege"})
    held.insert(Key(known[name]));
}

bool FakeToken::Fail(const char* op) {
  if (auto code = failures.Take(op)) {
    system_.lastError = *code;
    return true;
  }
  return false;
}

bool FakeToken::LookupPrivilegeId(const std::u16string& name, PrivilegeId* id) {
  if (Fail("LookupPrivilegeId")) return false;
  auto found = known.find(name);
  if (found == known.end()) {
    system_.lastError = process_error::kNoSuchPrivilege;
    return false;
  }
  *id = found->second;
  return true;
}

TokenHandle FakeToken::OpenOwnToken(std::uint32_t access) {
  openAccess.push_back(access);
  if (Fail("OpenOwnToken")) return 0;
  const TokenHandle token = next_++;
  open_.insert(token);
  return token;
}

bool FakeToken::AdjustPrivilege(TokenHandle token, PrivilegeId id, std::uint32_t attributes) {
  adjustments.push_back(Adjustment{token, id, attributes});
  if (Fail("AdjustPrivilege")) return false;
  if (open_.count(token) == 0) {
    system_.lastError = kInvalidHandle;
    return false;
  }
  // As the system does: success, and ERROR_NOT_ALL_ASSIGNED when the token lacks the privilege.
  if (held.count(Key(id)) == 0) {
    system_.lastError = process_error::kNotAllAssigned;
    return true;
  }
  system_.lastError = 0;
  if (attributes & privilege_attributes::kEnabled)
    enabled.insert(Key(id));
  else
    enabled.erase(Key(id));
  return true;
}

bool FakeToken::CloseTokenHandle(TokenHandle token) {
  if (Fail("CloseTokenHandle")) return false;
  if (open_.erase(token) == 0) {
    system_.lastError = kInvalidHandle;
    return false;
  }
  return true;
}

// ----------------------------------------------------------------- FakeWmi

class FakeWmi::CountedSink final : public CProcesses::CEventSink {
 public:
  CountedSink(CProcesses& owner, int& live) : CEventSink(owner), live_(live) { ++live_; }
  ~CountedSink() override { --live_; }

 private:
  int& live_;
};

FakeWmi::~FakeWmi() {
  // Sinks still held by stubs that a test left alive.
  for (auto& [ref, object] : objects_)
    if (object.references > 0 && object.sink != nullptr) object.sink->Release();
}

std::int32_t FakeWmi::Scripted(const char* op) {
  calls.emplace_back(op);
  if (auto code = failures.Take(op)) return static_cast<std::int32_t>(*code);
  return 0;
}

ComRef FakeWmi::Make(const std::string& kind) {
  const ComRef ref = next_;
  next_ += 0x10;
  objects_[ref] = Object{kind, 1, nullptr};
  return ref;
}

FakeWmi::Object* FakeWmi::Live(ComRef ref, const std::string& kind, const char* op) {
  auto found = objects_.find(ref);
  if (found == objects_.end() || found->second.references <= 0 || found->second.kind != kind) {
    misuse.push_back(std::string(op) + ": not a live " + kind);
    return nullptr;
  }
  return &found->second;
}

void FakeWmi::Drop(ComRef ref) {
  auto found = objects_.find(ref);
  if (found == objects_.end() || found->second.references <= 0) {
    misuse.push_back("release of a dead object");
    return;
  }
  if (--found->second.references == 0 && found->second.sink != nullptr) {
    CProcesses::CEventSink* sink = found->second.sink;
    found->second.sink = nullptr;
    sink->Release();
  }
}

std::int32_t FakeWmi::EnterApartment() {
  const std::int32_t code = Scripted("EnterApartment");
  if (code != 0) return code;
  ++apartmentDepth;
  return apartmentDepth == 1 ? com_status::kOk : com_status::kFalse;
}

void FakeWmi::LeaveApartment() {
  calls.emplace_back("LeaveApartment");
  if (apartmentDepth <= 0) {
    misuse.push_back("LeaveApartment without EnterApartment");
    return;
  }
  --apartmentDepth;
}

std::int32_t FakeWmi::InitializeSecurity() {
  const std::int32_t code = Scripted("InitializeSecurity");
  if (code != 0) return code;
  if (securitySet) return com_status::kTooLate;
  securitySet = true;
  return com_status::kOk;
}

std::int32_t FakeWmi::CreateLocator(ComRef* locator) {
  *locator = 0;
  const std::int32_t code = Scripted("CreateLocator");
  if (code != 0) return code;
  *locator = Make("locator");
  return 0;
}

std::int32_t FakeWmi::ConnectServer(ComRef locator, const std::u16string& space, ComRef* services) {
  *services = 0;
  const std::int32_t code = Scripted("ConnectServer");
  Live(locator, "locator", "ConnectServer");
  nameSpace = space;
  if (code != 0) return code;
  *services = Make("services");
  return 0;
}

std::int32_t FakeWmi::SetProxyBlanket(ComRef services) {
  const std::int32_t code = Scripted("SetProxyBlanket");
  Live(services, "services", "SetProxyBlanket");
  return code;
}

std::int32_t FakeWmi::CreateUnsecuredApartment(ComRef* apartment) {
  *apartment = 0;
  const std::int32_t code = Scripted("CreateUnsecuredApartment");
  if (code != 0) return code;
  *apartment = Make("apartment");
  return 0;
}

CProcesses::CEventSink* FakeWmi::NewEventSink(CProcesses& owner) {
  calls.emplace_back("NewEventSink");
  ++sinksMade_;
  return new CountedSink(owner, liveSinks_);
}

std::int32_t FakeWmi::CreateObjectStub(ComRef apartment, CProcesses::CEventSink& sink, ComRef* stub) {
  *stub = 0;
  const std::int32_t code = Scripted("CreateObjectStub");
  Live(apartment, "apartment", "CreateObjectStub");
  if (sink.References() <= 0) misuse.push_back("CreateObjectStub: a sink with no reference");
  if (code != 0) return code;
  *stub = Make("stub");
  sink.AddRef();  // the stub holds the sink
  objects_[*stub].sink = &sink;
  return 0;
}

std::int32_t FakeWmi::QueryObjectSink(ComRef stub, ComRef* stubSink) {
  *stubSink = 0;
  const std::int32_t code = Scripted("QueryObjectSink");
  Object* object = Live(stub, "stub", "QueryObjectSink");
  if (code != 0 || object == nullptr) return code != 0 ? code : com_status::kNoInterface;
  ++object->references;  // the same object, one more reference
  *stubSink = stub;
  return 0;
}

std::int32_t FakeWmi::ExecNotificationQueryAsync(ComRef services, const std::u16string& queryLanguage,
                                                 const std::u16string& text, std::int32_t queryFlags,
                                                 ComRef sink) {
  const std::int32_t code = Scripted("ExecNotificationQueryAsync");
  Live(services, "services", "ExecNotificationQueryAsync");
  Object* object = Live(sink, "stub", "ExecNotificationQueryAsync");
  language = queryLanguage;
  query = text;
  flags = queryFlags;
  if (code != 0 || object == nullptr) return code;
  ++object->references;  // WMI holds the sink while the query runs
  subscriptions_.insert(sink);
  return 0;
}

std::int32_t FakeWmi::CancelAsyncCall(ComRef services, ComRef sink) {
  const std::int32_t code = Scripted("CancelAsyncCall");
  Live(services, "services", "CancelAsyncCall");
  if (duringCancel) duringCancel();
  if (code != 0) return code;
  if (subscriptions_.erase(sink) == 0) return kNotFound;
  Drop(sink);
  return 0;
}

void FakeWmi::ReleaseObject(ComRef object) {
  auto found = objects_.find(object);
  released.push_back(found == objects_.end() ? std::string("?") : found->second.kind);
  Drop(object);
}

void FakeWmi::Deliver(std::int32_t events) {
  const std::set<ComRef> active = subscriptions_;
  for (ComRef sink : active) {
    auto found = objects_.find(sink);
    if (found != objects_.end() && found->second.sink != nullptr)
      found->second.sink->Indicate(events, nullptr);
  }
}

int FakeWmi::LiveObjects() const {
  int live = liveSinks_;
  for (const auto& [ref, object] : objects_) live += object.references > 0 ? 1 : 0;
  return live;
}

int FakeWmi::LiveOf(const std::string& kind) const {
  int live = 0;
  for (const auto& [ref, object] : objects_) live += object.references > 0 && object.kind == kind ? 1 : 0;
  return live;
}

}  // namespace varnolet::fakes
