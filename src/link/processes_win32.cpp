#include "link/processes_win32.h"

#include <windows.h>
#include <objbase.h>
#include <psapi.h>
#include <wbemidl.h>

#include <new>

#include "link/com_guid_win32.h"
#include "support/wide_win32.h"

namespace varnolet {

namespace {

static_assert(sizeof(DWORD) == sizeof(std::uint32_t));

// The access rights, attributes, result codes and interface identifiers the
// core names by value, as the system defines them.
static_assert(process_access::kQueryAndRead == (PROCESS_QUERY_INFORMATION | PROCESS_VM_READ));
static_assert(token_access::kAdjustAndQuery == (TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY));
static_assert(privilege_attributes::kEnabled == SE_PRIVILEGE_ENABLED && privilege_attributes::kDisabled == 0);
static_assert(com_status::kOk == S_OK && com_status::kFalse == S_FALSE &&
              com_status::kTooLate == RPC_E_TOO_LATE && com_status::kNoInterface == E_NOINTERFACE &&
              com_status::kPointerMissing == E_POINTER && com_status::kNoError == WBEM_S_NO_ERROR);
static_assert(wmi::kSendStatus == WBEM_FLAG_SEND_STATUS);

constexpr bool SameGuid(const ComGuid& core, const GUID& system) {
  if (core.data1 != system.Data1 || core.data2 != system.Data2 || core.data3 != system.Data3) return false;
  for (std::size_t i = 0; i < 8; ++i)
    if (core.data4[i] != system.Data4[i]) return false;
  return true;
}
static_assert(SameGuid(com_iid::kIUnknown, __uuidof(IUnknown)));
static_assert(SameGuid(com_iid::kIWbemObjectSink, __uuidof(IWbemObjectSink)));

template <class Interface>
Interface* As(ComRef object) {
  return reinterpret_cast<Interface*>(object);
}
ComRef Ref(void* object) {
  return reinterpret_cast<ComRef>(object);
}
HANDLE ToHandle(std::uintptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

// A BSTR for the length of one call.
class SystemString {
 public:
  explicit SystemString(const std::u16string& text) : text_(SysAllocString(as_wide(text))) {}
  ~SystemString() { SysFreeString(text_); }
  SystemString(const SystemString&) = delete;
  SystemString& operator=(const SystemString&) = delete;
  BSTR get() const { return text_; }

 private:
  BSTR text_;
};

// The program's sink as the system sees it: an IWbemObjectSink whose every
// call goes to the portable part, which keeps the count and owns the object.
class Win32EventSink final : public CProcesses::CEventSink {
 public:
  explicit Win32EventSink(CProcesses& owner) : CEventSink(owner), facade_(*this) {}
  void* ComInterface() override { return static_cast<IWbemObjectSink*>(&facade_); }

 private:
// COM interfaces have no virtual destructor: objects are destroyed through Release.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
  class Facade final : public IWbemObjectSink {
   public:
    explicit Facade(Win32EventSink& sink) : sink_(sink) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
      return sink_.QueryInterface(ToComGuid(iid), object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return sink_.AddRef(); }
    // May destroy this object: nothing of it is touched after the call.
    ULONG STDMETHODCALLTYPE Release() override { return sink_.Release(); }
    HRESULT STDMETHODCALLTYPE Indicate(LONG count, IWbemClassObject** objects) override {
      return sink_.Indicate(count, reinterpret_cast<void**>(objects));
    }
    HRESULT STDMETHODCALLTYPE SetStatus(LONG flags, HRESULT result, BSTR text,
                                        IWbemClassObject* object) override {
      return sink_.SetStatus(flags, result, reinterpret_cast<const char16_t*>(text), object);
    }

   private:
    Win32EventSink& sink_;
  };
#pragma GCC diagnostic pop

  Facade facade_;
};

}  // namespace

// --------------------------------------------------------- Win32ProcessApi

bool Win32ProcessApi::ListProcessIds(std::uint32_t* ids, std::uint32_t bytes, std::uint32_t* returned) {
  DWORD got = 0;
  const BOOL ok = EnumProcesses(reinterpret_cast<DWORD*>(ids), bytes, &got);
  *returned = got;
  return ok != FALSE;
}

ProcessHandle Win32ProcessApi::OpenProcessHandle(std::uint32_t access, std::uint32_t id) {
  return reinterpret_cast<ProcessHandle>(OpenProcess(access, FALSE, id));
}

std::uint32_t Win32ProcessApi::ModuleBaseName(ProcessHandle process, char16_t* buffer, std::uint32_t length) {
  return GetModuleBaseNameW(ToHandle(process), nullptr, as_wide(buffer), length);
}

std::uint32_t Win32ProcessApi::ModuleFullPath(ProcessHandle process, char16_t* buffer, std::uint32_t length) {
  return GetModuleFileNameExW(ToHandle(process), nullptr, as_wide(buffer), length);
}

bool Win32ProcessApi::CloseProcessHandle(ProcessHandle process) {
  return CloseHandle(ToHandle(process)) != FALSE;
}

// ----------------------------------------------------------- Win32TokenApi

bool Win32TokenApi::LookupPrivilegeId(const std::u16string& name, PrivilegeId* id) {
  LUID luid{};
  if (!LookupPrivilegeValueW(nullptr, as_wide(name), &luid)) return false;
  id->lowPart = luid.LowPart;
  id->highPart = luid.HighPart;
  return true;
}

TokenHandle Win32TokenApi::OpenOwnToken(std::uint32_t access) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), access, &token)) return 0;
  return reinterpret_cast<TokenHandle>(token);
}

bool Win32TokenApi::AdjustPrivilege(TokenHandle token, PrivilegeId id, std::uint32_t attributes) {
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Luid.LowPart = id.lowPart;
  privileges.Privileges[0].Luid.HighPart = id.highPart;
  privileges.Privileges[0].Attributes = attributes;
  return AdjustTokenPrivileges(ToHandle(token), FALSE, &privileges, 0, nullptr, nullptr) != FALSE;
}

bool Win32TokenApi::CloseTokenHandle(TokenHandle token) {
  return CloseHandle(ToHandle(token)) != FALSE;
}

// ------------------------------------------------------------- Win32WmiApi

std::int32_t Win32WmiApi::EnterApartment() {
  return CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
}

void Win32WmiApi::LeaveApartment() {
  CoUninitialize();
}

std::int32_t Win32WmiApi::InitializeSecurity() {
  return CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                              RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
}

std::int32_t Win32WmiApi::CreateLocator(ComRef* locator) {
  IWbemLocator* created = nullptr;
  const HRESULT result = CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                          reinterpret_cast<void**>(&created));
  *locator = SUCCEEDED(result) ? Ref(created) : 0;
  return result;
}

std::int32_t Win32WmiApi::ConnectServer(ComRef locator, const std::u16string& nameSpace, ComRef* services) {
  const SystemString space(nameSpace);
  IWbemServices* connected = nullptr;
  const HRESULT result = As<IWbemLocator>(locator)->ConnectServer(space.get(), nullptr, nullptr, nullptr, 0,
                                                                  nullptr, nullptr, &connected);
  *services = SUCCEEDED(result) ? Ref(connected) : 0;
  return result;
}

std::int32_t Win32WmiApi::SetProxyBlanket(ComRef services) {
  return CoSetProxyBlanket(As<IUnknown>(services), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                           RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
}

std::int32_t Win32WmiApi::CreateUnsecuredApartment(ComRef* apartment) {
  IUnsecuredApartment* created = nullptr;
  const HRESULT result = CoCreateInstance(CLSID_UnsecuredApartment, nullptr, CLSCTX_LOCAL_SERVER,
                                          IID_IUnsecuredApartment, reinterpret_cast<void**>(&created));
  *apartment = SUCCEEDED(result) ? Ref(created) : 0;
  return result;
}

CProcesses::CEventSink* Win32WmiApi::NewEventSink(CProcesses& owner) {
  return new (std::nothrow) Win32EventSink(owner);
}

std::int32_t Win32WmiApi::CreateObjectStub(ComRef apartment, CProcesses::CEventSink& sink, ComRef* stub) {
  IUnknown* created = nullptr;
  auto* object = static_cast<IWbemObjectSink*>(sink.ComInterface());
  const HRESULT result = As<IUnsecuredApartment>(apartment)->CreateObjectStub(object, &created);
  *stub = SUCCEEDED(result) ? Ref(created) : 0;
  return result;
}

std::int32_t Win32WmiApi::QueryObjectSink(ComRef stub, ComRef* stubSink) {
  IWbemObjectSink* sink = nullptr;
  const HRESULT result =
      As<IUnknown>(stub)->QueryInterface(IID_IWbemObjectSink, reinterpret_cast<void**>(&sink));
  *stubSink = SUCCEEDED(result) ? Ref(sink) : 0;
  return result;
}

std::int32_t Win32WmiApi::ExecNotificationQueryAsync(ComRef services, const std::u16string& language,
                                                     const std::u16string& query, std::int32_t flags,
                                                     ComRef sink) {
  const SystemString queryLanguage(language);
  const SystemString queryText(query);
  return As<IWbemServices>(services)->ExecNotificationQueryAsync(queryLanguage.get(), queryText.get(), flags,
                                                                 nullptr, As<IWbemObjectSink>(sink));
}

std::int32_t Win32WmiApi::CancelAsyncCall(ComRef services, ComRef sink) {
  return As<IWbemServices>(services)->CancelAsyncCall(As<IWbemObjectSink>(sink));
}

void Win32WmiApi::ReleaseObject(ComRef object) {
  if (object != 0) As<IUnknown>(object)->Release();
}

}  // namespace varnolet
