#include "link/device_link_engine.h"

namespace varnolet {

std::int32_t CDeviceLinkEngine::Find(const ComGuid& endpoint, std::span<const DEVICEINFO> devices) {
  for (std::size_t i = 0; i < devices.size(); ++i) {
    const ComGuid guid = EndpointIdToGuid(devices[i].id, clsid_, log_);
    // A failed conversion gives the null GUID, which names no endpoint.
    if (!guid.IsNull() && guid == endpoint) return static_cast<std::int32_t>(i);
  }
  return -1;
}

bool CDeviceLinkEngine::Switch(bool render, std::int32_t position) {
  const std::int32_t failures = devices_.SwitchTo(render, position);
  if (failures == 0) return true;
  log_.AddLog(render ? u"  -Could not change render audio endpoint device (Device Link), "
                     : u"  -Could not change capture audio endpoint device (Device Link), ",
              devices_.ErrorText());
  return false;
}

bool CDeviceLinkEngine::Lists(const PROCESSESINFO& snapshot, const ActedOn& process) {
  for (std::uint32_t i = 0; i < snapshot.count; ++i)
    if (snapshot.ids[i] == process.id && snapshot.paths[i] == process.path) return true;
  return false;
}

void CDeviceLinkEngine::SwitchOne(bool render, std::int32_t position) {
  const std::u16string name = devices_.Devices(render)[static_cast<std::size_t>(position)].name;
  if (!Switch(render, position)) return;  // a failed switch is not announced
  announcer_.MenuChanged();
  announcer_.Announce(render ? kPlaybackPicture : kRecordingPicture, name);
}

bool CDeviceLinkEngine::DeviceLinkCallback() {
  if (setting_ == 0) return true;

  PROCESSESINFO snapshot;
  if (!processes_.Enumerate(snapshot, false)) {
    log_.AddLog(u"  -Could not enumerate processes, ", processes_.GetLastErrorText());
    return false;
  }
  const bool complete = snapshot.paths.size() >= snapshot.count && snapshot.ids.size() >= snapshot.count;
  // A process that has ended is forgotten, so that a later start under its
  // identifier (of the same program or another) is a start again.
  if (actedOn_ && complete && !Lists(snapshot, *actedOn_)) actedOn_.reset();
  // Nothing could be listed: there is no started program to look at.
  if (snapshot.count == 0 || !complete) return true;

  // The process the system lists last is taken as the one that started.
  const std::size_t last = snapshot.count - 1;
  const std::u16string& started = snapshot.paths[last];
  std::vector<ComGuid> matches;
  for (const DEVICELINK& link : links_)
    if (link.programPath == started) matches.push_back(link.endpoint);
  if (matches.empty()) return true;

  // When the program that really started could not be listed, the last entry
  // is an older process: the one this engine already acted on is not a new start.
  const std::uint32_t process = snapshot.ids[last];
  if (actedOn_ && actedOn_->id == process && actedOn_->path == started) return true;
  actedOn_ = ActedOn{process, started};

  // Only links whose endpoint is present count: a link kept for an absent
  // device must not stop the program's present links from acting.
  std::size_t present = 0;
  std::int32_t render = -1;
  std::int32_t capture = -1;
  for (const ComGuid& endpoint : matches) {
    const std::int32_t inPlayback = Find(endpoint, devices_.Devices(true));
    const std::int32_t inRecording = Find(endpoint, devices_.Devices(false));
    if (inPlayback == -1 && inRecording == -1) continue;
    ++present;
    if (inPlayback != -1) render = inPlayback;
    if (inRecording != -1) capture = inRecording;
  }
  if (present > 2) return true;

  // One link, or two of which only one endpoint is present (or both in the
  // same list): the single path for what was found.
  if (present <= 1 || render == -1 || capture == -1) {
    if (render != -1) SwitchOne(true, render);
    if (capture != -1) SwitchOne(false, capture);
    return true;
  }

  // Playback and recording: both switched, one window for both.
  const std::u16string playback = devices_.Devices(true)[static_cast<std::size_t>(render)].name;
  const std::u16string recording = devices_.Devices(false)[static_cast<std::size_t>(capture)].name;
  const bool rendered = Switch(true, render);
  const bool captured = Switch(false, capture);
  announcer_.MenuChanged();
  if (rendered && captured)
    announcer_.AnnounceBoth(playback, recording);
  else if (rendered)
    announcer_.Announce(kPlaybackPicture, playback);
  else if (captured)
    announcer_.Announce(kRecordingPicture, recording);
  return true;
}

}  // namespace varnolet
