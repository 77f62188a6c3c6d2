// Lists what Wine's Core Audio reports, as an independent witness for the
// end-to-end rig: every active endpoint in collection order and the default
// of each direction and role. Written as UTF-8, one tab-separated line each:
//   render   <position from 1>  <identifier>  <friendly name>
//   capture  <position from 1>  <identifier>  <friendly name>
//   default  render|capture  console|multimedia|communications  <identifier or ->
// Usage: endpoints_probe.exe <output file>
#include <windows.h>
#include <mmdeviceapi.h>
#include <objbase.h>
#include <propidl.h>

#include <string>

#include "probe_text.h"

#include "audio/core_audio_ids_win32.h"

namespace {

using varnolet::core_audio::kDeviceEnumeratorClass;
using varnolet::core_audio::kDeviceEnumeratorInterface;
using varnolet::core_audio::kFriendlyNameKey;

using probe::Utf8;
std::wstring IdOf(IMMDevice* device) {
  LPWSTR id = nullptr;
  std::wstring text = SUCCEEDED(device->GetId(&id)) && id ? id : L"";
  CoTaskMemFree(id);
  return text;
}

std::wstring NameOf(IMMDevice* device) {
  IPropertyStore* store = nullptr;
  std::wstring name;
  if (SUCCEEDED(device->OpenPropertyStore(STGM_READ, &store))) {
    PROPVARIANT value;
    PropVariantInit(&value);
    if (SUCCEEDED(store->GetValue(kFriendlyNameKey, &value)) && value.vt == VT_LPWSTR && value.pwszVal)
      name = value.pwszVal;
    PropVariantClear(&value);
    store->Release();
  }
  return name;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 3;
  IMMDeviceEnumerator* enumerator = nullptr;
  if (FAILED(CoCreateInstance(kDeviceEnumeratorClass, nullptr, CLSCTX_ALL, kDeviceEnumeratorInterface,
                              reinterpret_cast<void**>(&enumerator)))) {
    CoUninitialize();
    return 4;
  }
  std::wstring out;
  const wchar_t* flows[] = {L"render", L"capture"};
  const wchar_t* roles[] = {L"console", L"multimedia", L"communications"};
  for (int flow = 0; flow < 2; ++flow) {
    IMMDeviceCollection* collection = nullptr;
    if (SUCCEEDED(
            enumerator->EnumAudioEndpoints(static_cast<EDataFlow>(flow), DEVICE_STATE_ACTIVE, &collection))) {
      UINT count = 0;
      collection->GetCount(&count);
      for (UINT i = 0; i < count; ++i) {
        IMMDevice* device = nullptr;
        if (FAILED(collection->Item(i, &device))) continue;
        out += std::wstring(flows[flow]) + L"\t" + std::to_wstring(i + 1) + L"\t" + IdOf(device) + L"\t" +
               NameOf(device) + L"\n";
        device->Release();
      }
      collection->Release();
    }
    for (int role = 0; role < 3; ++role) {
      IMMDevice* device = nullptr;
      std::wstring id = L"-";
      if (SUCCEEDED(enumerator->GetDefaultAudioEndpoint(static_cast<EDataFlow>(flow),
                                                        static_cast<ERole>(role), &device))) {
        id = IdOf(device);
        device->Release();
      }
      out += std::wstring(L"default\t") + flows[flow] + L"\t" + roles[role] + L"\t" + id + L"\n";
    }
  }
  enumerator->Release();
  CoUninitialize();
  const std::string bytes = Utf8(out);
  HANDLE file =
      CreateFileW(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 5;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok ? 0 : 6;
}
