// The entry routine: the version gate, the single-instance test and the
// creation of the forms, with the windows behind a small host interface.
#pragma once

#include <cstdint>
#include <string>

#include "app/process_objects.h"
#include "app/program_ports.h"

namespace varnolet {

inline constexpr char16_t kInstanceMutexName[] = u"A2A86ED61A5911E1A4D0C50A4924019B";
inline constexpr std::uint16_t kGreekLanguage = 1032;

struct WarningTexts {
  std::u16string text;
  std::u16string caption;
};

// The refusal shown on a system before Windows Vista, in the system's UI language.
WarningTexts VersionGateTexts(std::uint16_t uiLanguage, const std::u16string& productName);

// The "already running" warning in the program's own language: opens (and on a
// first run creates) the settings key and reads Language from it.
WarningTexts InstanceTexts(CRegistry& registry);

class EntryHost {
 public:
  virtual ~EntryHost() = default;
  // MessageBoxW with MB_ICONWARNING; owned by the application's hidden window
  // or by no window.
  virtual void ShowWarning(bool ownedByApplication, const std::u16string& text,
                           const std::u16string& caption) = 0;
  // The message box of an exception that escaped the program.
  virtual void ShowException(const std::u16string& message) = 0;
  // Creates TNotificationsForm, TOptionsForm, TDebugForm and TDlNotificationsForm, in this order.
  virtual void CreateForms() = 0;
  // Runs the message loop until Exit.
  virtual void RunMessageLoop() = 0;
};

// Runs the program; the exit code is 0 on every path.
int ProgramEntry(ProcessObjects& objects, ProcessEnvironment& environment, EntryHost& host);

}  // namespace varnolet
