// The yardsticks for the start-up bench, cut down from the rig's tray probe:
// the least a tray program does before its icon shows (a hidden window, one
// tray icon, a GetMessage loop), and, built with VARNOLET_BENCH_ENUMERATE,
// the same after one Core Audio enumeration of the active endpoints with
// their friendly names (the least an audio-device tray tool loads and does
// at start). A right click on the icon removes it and ends the program.
#include <windows.h>
#include <shellapi.h>

#ifdef VARNOLET_BENCH_ENUMERATE
#include <mmdeviceapi.h>
#include <objbase.h>
#include <propidl.h>

#include <string>
#include <vector>

#include "audio/core_audio_ids_win32.h"
#endif

namespace {

constexpr UINT kTrayMessage = WM_APP + 1;
NOTIFYICONDATAW g_icon{};

#ifdef VARNOLET_BENCH_ENUMERATE
// The friendly name of every active endpoint, both directions, kept for the
// program's life as a tray tool keeps its device list.
std::vector<std::wstring> EnumerateEndpoints() {
  std::vector<std::wstring> names;
  IMMDeviceEnumerator* enumerator = nullptr;
  if (FAILED(CoCreateInstance(varnolet::core_audio::kDeviceEnumeratorClass, nullptr, CLSCTX_ALL,
                              varnolet::core_audio::kDeviceEnumeratorInterface,
                              reinterpret_cast<void**>(&enumerator))))
    return names;
  IMMDeviceCollection* collection = nullptr;
  if (SUCCEEDED(enumerator->EnumAudioEndpoints(eAll, DEVICE_STATE_ACTIVE, &collection))) {
    UINT count = 0;
    collection->GetCount(&count);
    for (UINT i = 0; i < count; ++i) {
      IMMDevice* device = nullptr;
      if (FAILED(collection->Item(i, &device))) continue;
      IPropertyStore* store = nullptr;
      if (SUCCEEDED(device->OpenPropertyStore(STGM_READ, &store))) {
        PROPVARIANT value;
        PropVariantInit(&value);
        if (SUCCEEDED(store->GetValue(varnolet::core_audio::kFriendlyNameKey, &value)) &&
            value.vt == VT_LPWSTR && value.pwszVal)
          names.emplace_back(value.pwszVal);
        PropVariantClear(&value);
        store->Release();
      }
      device->Release();
    }
    collection->Release();
  }
  enumerator->Release();
  return names;
}
#endif

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kTrayMessage) {
    if (LOWORD(lParam) == WM_RBUTTONUP) {
      Shell_NotifyIconW(NIM_DELETE, &g_icon);
      PostQuitMessage(0);
    }
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
#ifdef VARNOLET_BENCH_ENUMERATE
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  const std::vector<std::wstring> names = EnumerateEndpoints();
  if (names.empty()) return 3;
#endif
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = L"VarnoletBenchTray";
  RegisterClassW(&windowClass);
  HWND window =
      CreateWindowW(L"VarnoletBenchTray", L"Bench tray", 0, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  g_icon.cbSize = sizeof g_icon;
  g_icon.hWnd = window;
  g_icon.uID = 1;
  g_icon.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
  g_icon.uCallbackMessage = kTrayMessage;
  g_icon.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  lstrcpynW(g_icon.szTip, L"Bench tray", ARRAYSIZE(g_icon.szTip));
  if (!Shell_NotifyIconW(NIM_ADD, &g_icon)) return 2;

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
#ifdef VARNOLET_BENCH_ENUMERATE
  CoUninitialize();
#endif
  return 0;
}
