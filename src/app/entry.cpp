#include "app/entry.h"

#include <exception>

#include "settings/user_settings.h"
#include "support/text.h"

namespace varnolet {

WarningTexts VersionGateTexts(std::uint16_t uiLanguage, const std::u16string& productName) {
  if (uiLanguage == kGreekLanguage)
    return {u"Το Varnolet 7 δεν είναι συμβατό με " + productName, u"Προσοχή!"};
  return {u"Varnolet 7 is not compatible with " + productName, u"Warning!"};
}

WarningTexts InstanceTexts(CRegistry& registry) {
  const WarningTexts english{u"Varnolet 7 is already running", u"Warning"};
  if (!registry.CreateKey(reg::kCurrentUser, std::u16string(kSettingsKey))) return english;
  std::uint32_t language = 0;
  registry.GetValue(u"Language", language);
  registry.CloseKey();
  // Only English and Greek have texts; any other stored value warns in English.
  if (language == 1) return {u"Το Varnolet 7 είναι ήδη ανοιχτό", u"Προσοχή"};
  return english;
}

int ProgramEntry(ProcessObjects& objects, ProcessEnvironment& environment, EntryHost& host) {
  const std::uint16_t uiLanguage = environment.SystemDefaultUILanguage();
  try {
    if (!objects.WindowsVersion.IsVistaOrLater()) {
      const WarningTexts gate = VersionGateTexts(uiLanguage, objects.WindowsVersion.GetName());
      host.ShowWarning(true, gate.text, gate.caption);
      return 0;
    }
    const WarningTexts running = InstanceTexts(objects.Registry);
    if (environment.OpenNamedMutex(kInstanceMutexName)) {
      host.ShowWarning(false, running.text, running.caption);
      return 0;
    }
    environment.CreateNamedMutex(kInstanceMutexName);
    host.CreateForms();
    host.RunMessageLoop();
  } catch (const std::exception& error) {
    std::u16string message;
    if (!objects.ports.utf8.Decode(error.what(), message)) message = Ascii(error.what());
    host.ShowException(message);
  } catch (...) {
    host.ShowException(u"");
  }
  return 0;
}

}  // namespace varnolet
