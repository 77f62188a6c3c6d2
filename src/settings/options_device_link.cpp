// The Options dialog's Device Link page: a playback row and a recording row,
// each linking the selected device with a program in the dialog's working
// list of links.
#include "settings/options_form.h"

namespace varnolet {

namespace {

using C = OptionsControl;

struct LinkRow {
  C devices;
  C edit;
  C clear;
  C select;
  StringId noLink;
  StringId alreadyLinked;
};

const LinkRow& RowOf(int flow) {
  static const LinkRow kRows[] = {
      {C::comboLinkPlaybackDevices, C::editLinkPlaybackDevices, C::BtnClearRenderLink,
       C::BtnSelectPlaybackDevicesProgram, StringId::PlaybackNotLinked, StringId::AlreadyLinkedToPlayback},
      {C::comboLinkRecordingDevices, C::editLinkRecordingDevices, C::BtnClearCaptureLink,
       C::BtnSelectRecordingDevicesProgram, StringId::RecordingNotLinked, StringId::AlreadyLinkedToRecording},
  };
  return kRows[flow == 0 ? 0 : 1];
}

}  // namespace

// The row's endpoint is found by the selected index in the row's own device
// list (the selector holds that list in order), never by its name: two
// devices may share a name. False when the row has no device or its
// identifier gives no GUID.
bool TOptionsForm::SelectedEndpoint(int flow, ComGuid& guid) {
  const std::vector<DEVICEINFO>& devices = flow == 0 ? playbackDevices : recordingDevices;
  const int selected = Selected(RowOf(flow).devices);
  if (host_ == nullptr || selected < 0 || selected >= static_cast<int>(devices.size())) return false;
  guid = host_->EndpointGuid(devices[static_cast<std::size_t>(selected)].id);
  return !guid.IsNull();
}

void TOptionsForm::UpdateRenderLinkInformation() {
  UpdateLinkInformation(0);
}

void TOptionsForm::UpdateCaptureLinkInformation() {
  UpdateLinkInformation(1);
}

void TOptionsForm::UpdateLinkInformation(int flow) {
  const LinkRow& row = RowOf(flow);
  std::u16string text = String(row.noLink);
  ComGuid guid;
  const bool endpoint = SelectedEndpoint(flow, guid);
  if (endpoint) {
    for (const DEVICELINK& link : links) {
      if (link.endpoint != guid) continue;
      text = link.productName.empty() ? link.programPath : link.productName;
      break;
    }
  }
  SetText(row.edit, text);
  // A row without an endpoint can neither link nor clear.
  SetEnabled(row.clear, endpoint);
  SetEnabled(row.select, endpoint);
  const std::u16string& playback = Control(C::editLinkPlaybackDevices).text;
  const std::u16string& recording = Control(C::editLinkRecordingDevices).text;
  SetVisible(C::ImgChain, playback == recording && text != String(row.noLink));
}

bool TOptionsForm::IsProgramLinked(const std::u16string& path, int flow) {
  if (host_ == nullptr) return false;
  const std::vector<DEVICEINFO>& devices = flow == 0 ? playbackDevices : recordingDevices;
  const int selected = Selected(RowOf(flow).devices);
  for (int d = 0; d < static_cast<int>(devices.size()); ++d) {
    if (d == selected) continue;
    const ComGuid guid = host_->EndpointGuid(devices[static_cast<std::size_t>(d)].id);
    if (guid.IsNull()) continue;
    for (const DEVICELINK& link : links)
      if (link.programPath == path && link.endpoint == guid) return true;
  }
  return false;
}

void TOptionsForm::SelectProgram(int flow) {
  const LinkRow& row = RowOf(flow);
  ComGuid guid;
  if (!SelectedEndpoint(flow, guid)) return;
  std::u16string path;
  // The picker opens again after each "already linked" message, until the
  // user cancels or chooses another program.
  while (view_.PickProgram(options_text::kPickerTitle, options_text::kPickerFilter, path)) {
    const std::u16string productName = host_->ProductName(path);
    if (IsProgramLinked(path, flow)) {
      view_.ShowMessage(String(row.alreadyLinked));
      continue;
    }
    bool replaced = false;
    for (DEVICELINK& link : links) {
      if (link.endpoint != guid) continue;
      link.productName = productName;
      link.programPath = path;
      replaced = true;
      break;
    }
    if (!replaced) links.push_back(DEVICELINK{guid, productName, path});
    break;
  }
  UpdateLinkInformation(flow);
}

void TOptionsForm::ClearLink(int flow) {
  ComGuid guid;
  if (!SelectedEndpoint(flow, guid)) return;
  for (auto it = links.begin(); it != links.end(); ++it) {
    if (it->endpoint != guid) continue;
    links.erase(it);
    UpdateLinkInformation(flow);
    return;
  }
}

}  // namespace varnolet
