// Starts a program, waits until it ends and records its exit code, so that a
// scenario can see what the program returned (the Wine desktop that shows it
// does not pass the code on). A GUI program: it opens no console window.
// The record file gets, as the program goes:
//   started <process id>
//   exit <exit code in decimal>          (or "failed <error code>" when it could not start)
// Usage: launcher.exe [--desktop NAME] <record file> <program> [arguments...]
//   --desktop NAME   start the program on that desktop (of the window station
//                    WinSta0) instead of the launcher's own
// The program's working folder is its own folder.
#include <windows.h>

#include <string>

namespace {

void Record(const std::wstring& path, const std::string& line) {
  HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  const std::string text = line + "\n";
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

// One argument of a command line, quoted as CommandLineToArgvW reads it back.
std::wstring Quoted(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
  std::wstring out = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  return out + L"\"";
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv == nullptr) return 2;
  int next = 1;
  std::wstring desktop;
  if (argc > next + 1 && std::wstring(argv[next]) == L"--desktop") {
    desktop = L"WinSta0\\" + std::wstring(argv[next + 1]);
    next += 2;
  }
  if (argc < next + 2) return 2;
  const std::wstring record = argv[next];
  const std::wstring program = argv[next + 1];
  std::wstring commandLine = Quoted(program);
  for (int i = next + 2; i < argc; ++i) commandLine += L" " + Quoted(argv[i]);
  const std::size_t slash = program.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? std::wstring() : program.substr(0, slash);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!desktop.empty()) startup.lpDesktop = desktop.data();
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
    Record(record, "failed " + std::to_string(GetLastError()));
    return 1;
  }
  Record(record, "started " + std::to_string(process.dwProcessId));
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  Record(record, "exit " + std::to_string(code));
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  LocalFree(argv);
  return 0;
}
