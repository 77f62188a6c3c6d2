// A test-only stand-in for the system's policy-configuration objects
// ("PolicyConfigVistaClient" and "PolicyConfigClient"), which Wine does not
// have. Registered in a test prefix only, never installed with the program.
//
// SetDefaultEndpoint(id, role) appends "id,role" to policy_journal.txt beside
// this DLL, looks for the endpoint among the active ones Core Audio lists (an
// identifier Wine does not list fails with 0x80070490, and so does one named
// in policy_refuse.txt beside this DLL, one identifier a line, or every one
// when that file holds "*"), and writes the identifier to the value Wine reads
// its default from: HKCU\Software\Wine\Drivers\winepulse.drv, DefaultOutput /
// DefaultInput for the console and multimedia roles, DefaultVoiceOutput /
// DefaultVoiceInput for communications.
//
// The interface is laid out by hand as a plain table of function pointers,
// independently of the program's own declaration: three IUnknown entries,
// nine entries that answer E_NOTIMPL, then SetDefaultEndpoint as the 13th.
#include <windows.h>
#include <mmdeviceapi.h>
#include <objbase.h>

#include <string>

#include "audio/core_audio_ids_win32.h"

namespace {

HMODULE g_module = nullptr;
LONG g_objects = 0;

using varnolet::core_audio::kDeviceEnumeratorClass;
using varnolet::core_audio::kDeviceEnumeratorInterface;
using varnolet::core_audio::kPolicy7Class;
using varnolet::core_audio::kPolicy7Interface;
using varnolet::core_audio::kPolicyVistaClass;
using varnolet::core_audio::kPolicyVistaInterface;
constexpr GUID kEndpointInterface = __uuidof(IMMEndpoint);
constexpr GUID kUnknownInterface = __uuidof(IUnknown);
constexpr GUID kClassFactoryInterface = __uuidof(IClassFactory);

constexpr HRESULT kNotFound = static_cast<HRESULT>(0x80070490);  // HRESULT_FROM_WIN32(ERROR_NOT_FOUND)

const wchar_t kDriverKey[] = L"Software\\Wine\\Drivers\\winepulse.drv";

std::wstring ModuleFolder();

// Is the identifier named in the refusal file (or does the file refuse all)?
bool Refused(LPCWSTR id) {
  HANDLE file = CreateFileW((ModuleFolder() + L"policy_refuse.txt").c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::string text;
  char chunk[4096];
  DWORD read = 0;
  while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) text.append(chunk, read);
  CloseHandle(file);
  std::string wanted;
  for (const wchar_t* c = id; *c; ++c) wanted += static_cast<char>(*c < 0x80 ? *c : '?');
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (line == "*" || line == wanted) return true;
    start = end + 1;
  }
  return false;
}

std::wstring ModuleFolder() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(g_module, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.rfind(L'\\') + 1);
}

void AppendJournal(LPCWSTR id, int role) {
  std::wstring line = id ? id : L"(null)";
  line += L"," + std::to_wstring(role) + L"\n";
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0,
                                        nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8.data(), bytes, nullptr,
                      nullptr);
  const std::wstring journal = ModuleFolder() + L"policy_journal.txt";
  HANDLE file = CreateFileW(journal.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
  CloseHandle(file);
}

// The data flow of an endpoint Wine lists as active now, or false when it
// lists none with this id. The listing is asked afresh: Wine keeps endpoints
// that went away, and answers GetDevice for them, until it enumerates again.
bool FlowOf(LPCWSTR id, EDataFlow* flow) {
  IMMDeviceEnumerator* enumerator = nullptr;
  if (FAILED(CoCreateInstance(kDeviceEnumeratorClass, nullptr, CLSCTX_ALL, kDeviceEnumeratorInterface,
                              reinterpret_cast<void**>(&enumerator))))
    return false;
  bool found = false;
  IMMDeviceCollection* collection = nullptr;
  if (SUCCEEDED(enumerator->EnumAudioEndpoints(eAll, DEVICE_STATE_ACTIVE, &collection))) {
    UINT count = 0;
    collection->GetCount(&count);
    for (UINT i = 0; i < count && !found; ++i) {
      IMMDevice* device = nullptr;
      if (FAILED(collection->Item(i, &device))) continue;
      LPWSTR listed = nullptr;
      if (SUCCEEDED(device->GetId(&listed)) && listed && wcscmp(listed, id) == 0) {
        IMMEndpoint* endpoint = nullptr;
        if (SUCCEEDED(device->QueryInterface(kEndpointInterface, reinterpret_cast<void**>(&endpoint)))) {
          found = SUCCEEDED(endpoint->GetDataFlow(flow));
          endpoint->Release();
        }
      }
      CoTaskMemFree(listed);
      device->Release();
    }
    collection->Release();
  }
  enumerator->Release();
  return found;
}

HRESULT WriteDefault(LPCWSTR id, EDataFlow flow, int role) {
  const bool voice = role == eCommunications;
  const wchar_t* value = flow == eRender ? (voice ? L"DefaultVoiceOutput" : L"DefaultOutput")
                                         : (voice ? L"DefaultVoiceInput" : L"DefaultInput");
  HKEY key = nullptr;
  LONG status =
      RegCreateKeyExW(HKEY_CURRENT_USER, kDriverKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  status = RegSetValueExW(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(id),
                          static_cast<DWORD>((wcslen(id) + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return HRESULT_FROM_WIN32(status);
}

// ---------------------------------------------------------------- the policy object

struct PolicyObject;

struct PolicyTable {
  HRESULT(STDMETHODCALLTYPE* QueryInterface)(PolicyObject*, REFIID, void**);
  ULONG(STDMETHODCALLTYPE* AddRef)(PolicyObject*);
  ULONG(STDMETHODCALLTYPE* Release)(PolicyObject*);
  HRESULT(STDMETHODCALLTYPE* Unused[9])(PolicyObject*);
  HRESULT(STDMETHODCALLTYPE* SetDefaultEndpoint)(PolicyObject*, LPCWSTR, int);
};

struct PolicyObject {
  const PolicyTable* table;
  LONG references;
};

HRESULT STDMETHODCALLTYPE PolicyQueryInterface(PolicyObject* self, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  if (IsEqualGUID(iid, kUnknownInterface) || IsEqualGUID(iid, kPolicyVistaInterface) ||
      IsEqualGUID(iid, kPolicy7Interface)) {
    InterlockedIncrement(&self->references);
    *out = self;
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE PolicyAddRef(PolicyObject* self) {
  return static_cast<ULONG>(InterlockedIncrement(&self->references));
}

ULONG STDMETHODCALLTYPE PolicyRelease(PolicyObject* self) {
  const LONG left = InterlockedDecrement(&self->references);
  if (left == 0) {
    delete self;
    InterlockedDecrement(&g_objects);
  }
  return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE PolicyUnused(PolicyObject*) {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE PolicySetDefaultEndpoint(PolicyObject*, LPCWSTR id, int role) {
  AppendJournal(id, role);
  if (id == nullptr) return E_POINTER;
  if (role < eConsole || role > eCommunications) return E_INVALIDARG;
  EDataFlow flow = eRender;
  if (Refused(id) || !FlowOf(id, &flow)) return kNotFound;
  return WriteDefault(id, flow, role);
}

const PolicyTable kPolicyTable = {
    PolicyQueryInterface,
    PolicyAddRef,
    PolicyRelease,
    {PolicyUnused, PolicyUnused, PolicyUnused, PolicyUnused, PolicyUnused, PolicyUnused, PolicyUnused,
     PolicyUnused, PolicyUnused},
    PolicySetDefaultEndpoint,
};

// ---------------------------------------------------------------- class factory

struct FactoryObject;

struct FactoryTable {
  HRESULT(STDMETHODCALLTYPE* QueryInterface)(FactoryObject*, REFIID, void**);
  ULONG(STDMETHODCALLTYPE* AddRef)(FactoryObject*);
  ULONG(STDMETHODCALLTYPE* Release)(FactoryObject*);
  HRESULT(STDMETHODCALLTYPE* CreateInstance)(FactoryObject*, IUnknown*, REFIID, void**);
  HRESULT(STDMETHODCALLTYPE* LockServer)(FactoryObject*, BOOL);
};

struct FactoryObject {
  const FactoryTable* table;
};

HRESULT STDMETHODCALLTYPE FactoryQueryInterface(FactoryObject* self, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  if (IsEqualGUID(iid, kUnknownInterface) || IsEqualGUID(iid, kClassFactoryInterface)) {
    *out = self;
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE FactoryAddRef(FactoryObject*) {
  return 2;
}
ULONG STDMETHODCALLTYPE FactoryRelease(FactoryObject*) {
  return 1;
}

HRESULT STDMETHODCALLTYPE FactoryCreateInstance(FactoryObject*, IUnknown* outer, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  PolicyObject* object = new PolicyObject{&kPolicyTable, 1};
  InterlockedIncrement(&g_objects);
  const HRESULT result = PolicyQueryInterface(object, iid, out);
  PolicyRelease(object);
  return result;
}

HRESULT STDMETHODCALLTYPE FactoryLockServer(FactoryObject*, BOOL) {
  return S_OK;
}

const FactoryTable kFactoryTable = {FactoryQueryInterface, FactoryAddRef, FactoryRelease,
                                    FactoryCreateInstance, FactoryLockServer};
FactoryObject g_factory = {&kFactoryTable};

// ---------------------------------------------------------------- registration

const std::wstring kClassKeys[] = {
    std::wstring(L"Software\\Classes\\CLSID\\") + varnolet::core_audio::kPolicyVistaClassText.data(),
    std::wstring(L"Software\\Classes\\CLSID\\") + varnolet::core_audio::kPolicy7ClassText.data(),
};

LONG SetText(HKEY key, const wchar_t* name, const std::wstring& text) {
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

HRESULT STDAPICALLTYPE StandinGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (!IsEqualGUID(clsid, kPolicyVistaClass) && !IsEqualGUID(clsid, kPolicy7Class))
    return CLASS_E_CLASSNOTAVAILABLE;
  return FactoryQueryInterface(&g_factory, iid, out);
}

HRESULT STDAPICALLTYPE StandinCanUnloadNow() {
  return g_objects == 0 ? S_OK : S_FALSE;
}

HRESULT STDAPICALLTYPE StandinRegisterServer() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(g_module, path, MAX_PATH);
  const std::wstring module(path, length);
  for (const std::wstring& classKey : kClassKeys) {
    const std::wstring server = classKey + L"\\InprocServer32";
    HKEY key = nullptr;
    LONG status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, server.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                  &key, nullptr);
    if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
    status = SetText(key, nullptr, module);
    if (status == ERROR_SUCCESS) status = SetText(key, L"ThreadingModel", L"Both");
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  }
  return S_OK;
}

HRESULT STDAPICALLTYPE StandinUnregisterServer() {
  for (const std::wstring& classKey : kClassKeys) RegDeleteTreeW(HKEY_LOCAL_MACHINE, classKey.c_str());
  return S_OK;
}

}  // extern "C"
