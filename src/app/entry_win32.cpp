// The program's entry point: the one place where the Win32 adapters and the
// process-wide objects are made, inside the GUI thread's COM apartment.
#include <windows.h>
#include <objbase.h>

#include <memory>

#include "app/entry.h"
#include "app/main_window_win32.h"
#include "diag/debug_form_win32.h"
#include "diag/monitor_pages.h"
#include "app/notifications_form.h"
#include "app/process_objects.h"
#include "app/program_ports_win32.h"
#include "app/win32_ports_win32.h"
#include "settings/options_form.h"
#include "settings/options_window_win32.h"
#include "support/wide_win32.h"
#include "ui/controls_win32.h"

namespace varnolet {
namespace {

// System DLLs come from the system folder only, never from the program's
// folder or the current one. SetDefaultDllDirectories exists on Windows 7
// with KB2533623 and later; older systems keep SetDllDirectoryW("").
void RestrictDllSearch() {
  SetDllDirectoryW(L"");
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (setDefault != nullptr) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

class Win32EntryHost final : public EntryHost {
 public:
  Win32EntryHost(ProcessObjects& objects, ProcessEnvironment& environment, LanguageLibraries& libraries)
      : objects_(objects), environment_(environment), libraries_(libraries) {
    // The application's own hidden window: owner of the program's message
    // boxes and of its windows, never shown.
    ui::Window::Args args;
    args.className = L"Varnolet7Application";
    args.title = L"Varnolet 7";
    args.style = WS_POPUP;
    application_.Create(args);
  }

  void ShowWarning(bool ownedByApplication, const std::u16string& text,
                   const std::u16string& caption) override {
    MessageBoxW(ownedByApplication ? application_.Handle() : nullptr, as_wide(text), as_wide(caption),
                MB_ICONWARNING);
  }

  void ShowException(const std::u16string& message) override {
    MessageBoxW(application_.Handle(), as_wide(message), L"Varnolet 7", MB_ICONSTOP);
  }

  void CreateForms() override {
    mainWindow_ = std::make_unique<MainWindow>(application_.Handle());
    // The Options dialog is made before the main form, which reads it.
    optionsWindow_ = std::make_unique<OptionsWindow>(application_.Handle());
    optionsForm_ = std::make_unique<TOptionsForm>(*optionsWindow_);
    ConnectOptions(*optionsWindow_, *optionsForm_);
    form_ =
        std::make_unique<TNotificationsForm>(objects_, environment_, libraries_, *optionsForm_, *mainWindow_);
    mainWindow_->Attach(form_.get());
    form_->Start();
    TNotificationsForm* form = form_.get();
    debugForm_ = std::make_unique<DebugFormWindow>(
        application_.Handle(), [form](int tab) { return MonitorPage(tab, *form); },
        [this] { return MonitorCaption(objects_.ports.clock.Now()); });
    mainWindow_->debugForm = debugForm_.get();
    // TDlNotificationsForm's window is made with the main window, whose view
    // the form holds from its construction on.
  }

  void RunMessageLoop() override {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      // Tab, Enter, Esc and Alt+letters of the dialog windows.
      if (ui::TranslateDialogMessage(message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }

 private:
  // The dialog's window hands the user's events to the form.
  static void ConnectOptions(OptionsWindow& window, TOptionsForm& form) {
    window.handlers.categorySelected = [&form](int category) { form.CategorySelected(category); };
    window.handlers.checkClicked = [&form](OptionsControl box, bool checked) {
      form.CheckClicked(box, checked);
    };
    window.handlers.listSelected = [&form](OptionsControl list, int index) {
      form.ListSelected(list, index);
    };
    window.handlers.buttonClicked = [&form](OptionsControl button) { form.ButtonClicked(button); };
    window.handlers.timer = [&form] { form.TimerTicked(); };
    window.handlers.activated = [&form] { form.Activated(); };
  }

  ProcessObjects& objects_;
  ProcessEnvironment& environment_;
  LanguageLibraries& libraries_;
  ui::Window application_;
  std::unique_ptr<MainWindow> mainWindow_;
  std::unique_ptr<OptionsWindow> optionsWindow_;
  std::unique_ptr<TOptionsForm> optionsForm_;
  std::unique_ptr<TNotificationsForm> form_;
  std::unique_ptr<DebugFormWindow> debugForm_;
};

}  // namespace
}  // namespace varnolet

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  varnolet::RestrictDllSearch();
  // One single-threaded apartment for the GUI thread, entered before any
  // object that uses COM is made and left after every one is released.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int exitCode = 0;
  {
    varnolet::Win32Ports adapters;
    varnolet::ProcessObjects objects(adapters.Bundle());
    varnolet::Win32ProcessEnvironment environment;
    varnolet::Win32LanguageLibraries libraries;
    varnolet::Win32EntryHost host(objects, environment, libraries);
    exitCode = varnolet::ProgramEntry(objects, environment, host);
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return exitCode;
}
