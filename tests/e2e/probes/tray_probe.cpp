// A small tray program for the rig's own test: it exercises everything a
// scenario of the real program relies on (tray icon, right-button popup menu
// with submenus, keyboard choice, the policy stand-in, Wine's defaults)
// without the program itself. Its menu lists the endpoints through the
// project's audio classes; the default of each direction is checked and
// disabled; a choice makes the endpoint the multimedia and communications
// default. Every event is appended to the log file named on the command line:
//   menu                         the popup menu opened
//   chose render|capture <position from 1> ok|failed <reason>
//   exit
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "audio/endpoints.h"
#include "audio/endpoints_win32.h"
#include "support/clock_win32.h"
#include "support/system_messages_win32.h"
#include "support/wide_win32.h"

namespace {

using varnolet::DEVICEINFO;

constexpr UINT kTrayMessage = WM_APP + 1;
constexpr UINT kRenderBase = 100;
constexpr UINT kCaptureBase = 200;
constexpr UINT kExit = 300;

std::wstring g_logPath;
NOTIFYICONDATAW g_icon{};
varnolet::CEnumerationInterface* g_audio = nullptr;
std::vector<DEVICEINFO> g_render;
std::vector<DEVICEINFO> g_capture;

void Log(const std::u16string& line) {
  const std::wstring text = varnolet::as_wide(line + u"\n");
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                        nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), bytes, nullptr,
                      nullptr);
  HANDLE file = CreateFileW(g_logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
  CloseHandle(file);
}

HMENU DeviceMenu(varnolet::CCollectionInterface& collection, std::vector<DEVICEINFO>& devices, UINT base) {
  devices.clear();
  if (collection.Enumerate()) devices = collection.GetDevices();
  DEVICEINFO current;
  collection.GetDefaultMultimediaDevice(current);
  HMENU menu = CreatePopupMenu();
  for (std::size_t i = 0; i < devices.size(); ++i) {
    const bool isDefault = devices[i].id == current.id;
    AppendMenuW(menu, MF_STRING | (isDefault ? MF_CHECKED | MF_GRAYED : 0u), base + static_cast<UINT>(i),
                varnolet::as_wide(devices[i].name));
  }
  if (devices.empty()) AppendMenuW(menu, MF_STRING | MF_GRAYED, 0, L"(none)");
  return menu;
}

void Choose(const char16_t* direction, varnolet::CCollectionInterface& collection, const DEVICEINFO& device,
            std::size_t position) {
  int failures = 0;
  failures += collection.SetDefaultMultimediaDevice(device) ? 0 : 1;
  failures += collection.SetDefaultCommunicationsDevice(device) ? 0 : 1;
  std::u16string line = u"chose ";
  line += direction;
  line += u" ";
  for (char c : std::to_string(position + 1)) line += static_cast<char16_t>(c);
  line += failures == 0 ? u" ok" : u" failed " + g_audio->GetLastErrorText();
  Log(line);
}

void OpenMenu(HWND window) {
  HMENU playback = DeviceMenu(g_audio->RenderCollection(), g_render, kRenderBase);
  HMENU recording = DeviceMenu(g_audio->CaptureCollection(), g_capture, kCaptureBase);
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(playback), L"Playback");
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(recording), L"Recording");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, kExit, L"Exit");
  POINT cursor;
  GetCursorPos(&cursor);
  SetForegroundWindow(window);
  Log(u"menu");
  const UINT command = static_cast<UINT>(
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, window, nullptr));
  PostMessageW(window, WM_NULL, 0, 0);
  DestroyMenu(menu);
  if (command >= kRenderBase && command < kRenderBase + g_render.size()) {
    Choose(u"render", g_audio->RenderCollection(), g_render[command - kRenderBase], command - kRenderBase);
  } else if (command >= kCaptureBase && command < kCaptureBase + g_capture.size()) {
    Choose(u"capture", g_audio->CaptureCollection(), g_capture[command - kCaptureBase],
           command - kCaptureBase);
  } else if (command == kExit) {
    Log(u"exit");
    Shell_NotifyIconW(NIM_DELETE, &g_icon);
    PostQuitMessage(0);
  }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kTrayMessage) {
    if (LOWORD(lParam) == WM_RBUTTONUP) OpenMenu(window);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
  g_logPath = commandLine;
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  int status = 0;
  {
    varnolet::Win32CoreAudioApi api;
    varnolet::Win32SystemMessages messages;
    varnolet::CrtClock clock;
    varnolet::CEnumerationInterface audio(api, messages, clock);
    g_audio = &audio;

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"VarnoletTrayProbe";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(L"VarnoletTrayProbe", L"Tray probe", 0, 0, 0, 0, 0, nullptr, nullptr,
                                instance, nullptr);
    g_icon.cbSize = sizeof g_icon;
    g_icon.hWnd = window;
    g_icon.uID = 1;
    g_icon.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    g_icon.uCallbackMessage = kTrayMessage;
    g_icon.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    lstrcpynW(g_icon.szTip, L"Tray probe", ARRAYSIZE(g_icon.szTip));
    if (!Shell_NotifyIconW(NIM_ADD, &g_icon)) status = 2;
    Log(status == 0 ? u"ready" : u"no tray icon");

    MSG message;
    while (status == 0 && GetMessageW(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    g_audio = nullptr;
  }
  CoUninitialize();
  return status;
}
