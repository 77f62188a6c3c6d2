// What the Options dialog reads of the main form, and its OK.
#include "app/notifications_form.h"

namespace varnolet {

bool TNotificationsForm::IsVistaWorkstation() const {
  return objects_.WindowsVersion.IsVistaWorkstation();
}

std::u16string TNotificationsForm::ProductName(const std::u16string& path) {
  return objects_.Drive.Directory.File.FileInformation.Get(path, u"ProductName");
}

ComGuid TNotificationsForm::EndpointGuid(const std::u16string& endpointId) {
  return EndpointIdToGuid(endpointId, objects_.ports.clsid, activityLog);
}

void TNotificationsForm::ApplyOptions() {
  AddLog(u"Initializing new program settings . . .");
  // A failing step reports itself; the next one still runs.
  SaveLanguage();
  SaveStartup();
  SaveSplash();
  SaveNotifications();
  SaveDeviceLink();
  SaveHotkeys();
  SaveRole();
}

}  // namespace varnolet
