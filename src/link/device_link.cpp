#include "link/device_link.h"

namespace varnolet {

void DeviceLinkFeature::UseDataPath(const std::u16string& dataPath) {
  file_.emplace(log_, drive_, DeviceLinkFile::MapPath(dataPath));
}

bool DeviceLinkFeature::Initialize() {
  return file_->InitializeDeviceLink(setting_, processes_, failed_, links_);
}

bool DeviceLinkFeature::SwitchOffIfFailed() {
  if (!SwitchOffFailedDeviceLink(failed_, setting_, [this] { return Initialize(); })) return false;
  offForRun_ = true;
  return true;
}

bool DeviceLinkFeature::Apply(bool checked, const std::vector<DEVICELINK>& dialogLinks, CRegistry& registry,
                              const std::u16string& settingsKey, std::function<void(StringId)> showBalloon) {
  if (checked) offForRun_ = false;
  // The map file is written and reloaded before the registry value; its
  // failures end the step with their own balloon. While start-up has Device
  // Link off for this run and the box stays clear, the registry keeps the
  // user's choice.
  return SaveDeviceLink(
      *file_, DeviceLinkApply{checked, dialogLinks, setting_, [this] { return Initialize(); }, registry,
                              settingsKey, std::move(showBalloon), !offForRun_});
}

}  // namespace varnolet
