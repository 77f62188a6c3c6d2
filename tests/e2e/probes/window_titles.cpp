// Lists the top-level windows of a Wine desktop, as a witness for the
// end-to-end scenarios: what a program shows (its message boxes, its
// notification and monitor windows, the shell's balloons) and which window
// has the foreground. Written as UTF-8, one tab-separated line each:
//   window      <visible 0|1>  <process id>  <process base name>  <class>  <title>
//   text        <class>  <text of the window>            (tooltips: the tip's text)
//   child       <dialog title>  <class>  <text>           (children of dialog boxes)
//   taskbar     <text>                                     (each visible button of the taskbar,
//                                                          "Start" included)
//   foreground  <process base name>  <class>  <title>     (or "foreground -" when none)
//   input       <active class>  <focus class>  <menu owner class>  <flags in hex>
//               (the foreground thread's state: where typed keys go; "-" for none)
// A tooltip's own title is empty; the text it shows is answered by
// WM_GETTEXT, which is the way the shell's balloon texts are read.
// Usage: window_titles.exe <desktop name> <output file>
#include <windows.h>

#include <string>

#include "probe_text.h"
#include <vector>

namespace {

using probe::ClassOf;
using probe::Flat;
using probe::TitleOf;
using probe::Utf8;

// The text a window answers to WM_GETTEXT (marshalled across processes),
// with a time limit so that a hung window cannot stop the probe.
std::wstring AskedText(HWND window) {
  wchar_t text[1024] = {};
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                           &copied))
    return L"";
  return Flat(text);
}

DWORD ProcessIdOf(HWND window) {
  DWORD id = 0;
  GetWindowThreadProcessId(window, &id);
  return id;
}

std::wstring ProcessOf(HWND window) {
  const DWORD id = ProcessIdOf(window);
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
  if (process == nullptr) return L"?";
  wchar_t path[MAX_PATH * 2] = {};
  DWORD size = MAX_PATH * 2;
  const BOOL known = QueryFullProcessImageNameW(process, 0, path, &size);
  CloseHandle(process);
  if (!known) return L"?";
  std::wstring full(path, size);
  const std::size_t slash = full.find_last_of(L"\\/");
  return slash == std::wstring::npos ? full : full.substr(slash + 1);
}

BOOL CALLBACK Collect(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  // The thread has no window yet, so it may move to the program's desktop;
  // from then on EnumWindows and GetForegroundWindow answer for that desktop.
  HDESK desktop = OpenDesktopW(argv[1], 0, FALSE, GENERIC_ALL);
  if (desktop == nullptr || !SetThreadDesktop(desktop)) return 3;

  std::vector<HWND> windows;
  EnumWindows(Collect, reinterpret_cast<LPARAM>(&windows));

  std::string out;
  for (HWND window : windows) {
    const std::wstring type = ClassOf(window);
    const std::wstring title = TitleOf(window);
    const bool visible = IsWindowVisible(window) != FALSE;
    out += "window\t" + std::string(visible ? "1" : "0") + "\t" + std::to_string(ProcessIdOf(window)) + "\t" +
           Utf8(ProcessOf(window)) + "\t" + Utf8(type) + "\t" + Utf8(title) + "\n";
    if (visible && type == L"tooltips_class32")
      out += "text\t" + Utf8(type) + "\t" + Utf8(AskedText(window)) + "\n";
    if (visible && type == L"#32770") {
      std::vector<HWND> children;
      EnumChildWindows(window, Collect, reinterpret_cast<LPARAM>(&children));
      for (HWND child : children)
        out += "child\t" + Utf8(title) + "\t" + Utf8(ClassOf(child)) + "\t" + Utf8(TitleOf(child)) + "\n";
    }
    if (visible && type == L"Shell_TrayWnd") {
      // Wine's taskbar: the Start button, then one button per window shown there.
      std::vector<HWND> children;
      EnumChildWindows(window, Collect, reinterpret_cast<LPARAM>(&children));
      for (HWND child : children)
        if (IsWindowVisible(child) && ClassOf(child) == L"Button")
          out += "taskbar\t" + Utf8(TitleOf(child)) + "\n";
    }
  }
  HWND foreground = GetForegroundWindow();
  if (foreground != nullptr)
    out += "foreground\t" + Utf8(ProcessOf(foreground)) + "\t" + Utf8(ClassOf(foreground)) + "\t" +
           Utf8(TitleOf(foreground)) + "\n";
  else
    out += "foreground\t-\n";
  GUITHREADINFO input{};
  input.cbSize = sizeof input;
  if (GetGUIThreadInfo(0, &input)) {
    auto name = [](HWND window) { return window != nullptr ? Utf8(ClassOf(window)) : std::string("-"); };
    char flags[16];
    wsprintfA(flags, "%lx", input.flags);
    out += "input\t" + name(input.hwndActive) + "\t" + name(input.hwndFocus) + "\t" +
           name(input.hwndMenuOwner) + "\t" + flags + "\n";
  }

  HANDLE file =
      CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 4;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, out.data(), static_cast<DWORD>(out.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == out.size() ? 0 : 5;
}
