// Counts the windows one program owns in a Wine desktop, hidden ones
// included, for the long-run check that nothing piles up: its top-level
// windows, all their descendants, and its message-only windows with theirs.
// The program is found by its executable's base name (the first process of
// that name). Written as UTF-8, one tab-separated line each:
//   process   <process id>                      (or "process -" when none runs)
//   total     <top + child + message>
//   top       <count>
//   child     <count>
//   message   <count>
//   window    top|child|message  <visible 0|1>  <class>  <title>   (each window)
// With "close TITLE-PREFIX" after the output file it also posts WM_CLOSE to
// each visible top-level window of the program whose title starts so (a
// window's close box, as a user clicks it).
// Usage: process_windows.exe <desktop name> <exe base name> <output file> [close <title prefix>]
#include <windows.h>
#include <tlhelp32.h>

#include <string>

#include "probe_text.h"
#include <vector>

namespace {

using probe::ClassOf;
using probe::TitleOf;
using probe::Utf8;

DWORD ProcessIdOf(HWND window) {
  DWORD id = 0;
  GetWindowThreadProcessId(window, &id);
  return id;
}

DWORD FindProcess(const std::wstring& exe) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  DWORD found = 0;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && found == 0;
       more = Process32NextW(snapshot, &entry))
    if (lstrcmpiW(entry.szExeFile, exe.c_str()) == 0) found = entry.th32ProcessID;
  CloseHandle(snapshot);
  return found;
}

BOOL CALLBACK Collect(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

std::vector<HWND> Descendants(HWND window) {
  std::vector<HWND> children;
  EnumChildWindows(window, Collect, reinterpret_cast<LPARAM>(&children));
  return children;
}

struct Listing {
  std::string lines;
  int top = 0;
  int child = 0;
  int message = 0;

  void Add(const char* kind, HWND window, int& count) {
    ++count;
    lines += std::string("window\t") + kind + "\t" + (IsWindowVisible(window) ? "1" : "0") + "\t" +
             Utf8(ClassOf(window)) + "\t" + Utf8(TitleOf(window)) + "\n";
  }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) return 2;
  // Moved to the program's desktop before this thread has any window.
  HDESK desktop = OpenDesktopW(argv[1], 0, FALSE, GENERIC_ALL);
  if (desktop == nullptr || !SetThreadDesktop(desktop)) return 3;
  const std::wstring closePrefix = argc >= 6 && lstrcmpW(argv[4], L"close") == 0 ? argv[5] : L"";

  const DWORD process = FindProcess(argv[2]);
  Listing listing;
  std::string out;
  if (process == 0) {
    out = "process\t-\n";
  } else {
    std::vector<HWND> tops;
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&tops));
    for (HWND top : tops) {
      if (ProcessIdOf(top) != process) continue;
      listing.Add("top", top, listing.top);
      for (HWND child : Descendants(top)) listing.Add("child", child, listing.child);
      if (!closePrefix.empty() && IsWindowVisible(top) && TitleOf(top).rfind(closePrefix, 0) == 0)
        PostMessageW(top, WM_CLOSE, 0, 0);
    }
    // Message-only windows are not among the top-level ones.
    for (HWND window = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); window != nullptr;
         window = FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr)) {
      if (ProcessIdOf(window) != process) continue;
      listing.Add("message", window, listing.message);
      for (HWND child : Descendants(window)) listing.Add("child", child, listing.child);
    }
    out = "process\t" + std::to_string(process) + "\n" + "total\t" +
          std::to_string(listing.top + listing.child + listing.message) + "\n" + "top\t" +
          std::to_string(listing.top) + "\n" + "child\t" + std::to_string(listing.child) + "\n" +
          "message\t" + std::to_string(listing.message) + "\n" + listing.lines;
  }

  HANDLE file =
      CreateFileW(argv[3], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 4;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, out.data(), static_cast<DWORD>(out.size()), &written, nullptr);
  CloseHandle(file);
  if (!ok || written != out.size()) return 5;
  return process == 0 ? 6 : 0;
}
