#include "fakes/fake_audio_endpoints.h"

namespace varnolet::fakes {

namespace {

std::string Direction(std::int32_t dataFlow) {
  return dataFlow == audio::kRender ? ":render" : ":capture";
}

std::int32_t Code(std::uint32_t code) {
  return static_cast<std::int32_t>(code);
}

// A scripted code with the severity bit clear (S_FALSE) is a success status:
// the call goes on and hands out its object, as the system's calls do, and
// reports that code instead of S_OK.
bool IsFailure(std::uint32_t code) {
  return (code & 0x80000000u) != 0;
}

}  // namespace

AudioObject FakeCoreAudio::Hand(Object object) {
  const AudioObject handle = next_;
  next_ += 0x10;
  live_.emplace(handle, std::move(object));
  return handle;
}

const FakeCoreAudio::Object* FakeCoreAudio::Find(AudioObject handle, Kind kind) {
  auto found = live_.find(handle);
  if (found == live_.end() || found->second.kind != kind) {
    ++badHandles;
    return nullptr;
  }
  return &found->second;
}

std::vector<FakeEndpoint>* FakeCoreAudio::ListOf(std::int32_t dataFlow) {
  if (dataFlow == audio::kRender) return &render;
  if (dataFlow == audio::kCapture) return &capture;
  return nullptr;
}

int FakeCoreAudio::LiveOf(Kind kind) const {
  int n = 0;
  for (const auto& [handle, object] : live_) n += object.kind == kind ? 1 : 0;
  return n;
}

AudioObject FakeCoreAudio::LiveHandle(Kind kind) const {
  for (const auto& [handle, object] : live_)
    if (object.kind == kind) return handle;
  return kNoAudioObject;
}

std::int32_t FakeCoreAudio::CreateObject(AudioClass which, AudioObject* object) {
  const char* names[] = {"CreateObject:DeviceEnumerator", "CreateObject:PolicyConfigVista",
                         "CreateObject:PolicyConfig7"};
  const Kind kinds[] = {Kind::Enumerator, Kind::PolicyVista, Kind::Policy7};
  const int index = static_cast<int>(which);
  std::int32_t status = audio::kOk;
  if (auto code = failures.Take(names[index])) {
    if (IsFailure(*code)) {
      *object = kNoAudioObject;
      return Code(*code);
    }
    status = Code(*code);
  }
  *object = Hand(Object{kinds[index], {}});
  return status;
}

std::int32_t FakeCoreAudio::EnumEndpoints(AudioObject enumerator, std::int32_t dataFlow,
                                          std::uint32_t stateMask, AudioObject* collection) {
  stateMasks.push_back(stateMask);
  std::int32_t status = audio::kOk;
  if (auto code = failures.Take("EnumEndpoints" + Direction(dataFlow))) {
    if (IsFailure(*code)) {
      *collection = kNoAudioObject;
      return Code(*code);
    }
    status = Code(*code);
  }
  std::vector<FakeEndpoint>* list = ListOf(dataFlow);
  if (Find(enumerator, Kind::Enumerator) == nullptr || list == nullptr) return Code(kUnspecifiedError);
  *collection = Hand(Object{Kind::Collection, *list});
  return status;
}

std::int32_t FakeCoreAudio::CollectionCount(AudioObject collection, std::uint32_t* count) {
  if (auto code = failures.Take("CollectionCount")) return Code(*code);
  const Object* object = Find(collection, Kind::Collection);
  if (object == nullptr) return Code(kUnspecifiedError);
  *count = static_cast<std::uint32_t>(object->endpoints.size());
  return audio::kOk;
}

std::int32_t FakeCoreAudio::CollectionItem(AudioObject collection, std::uint32_t index, AudioObject* device) {
  *device = kNoAudioObject;
  std::int32_t status = audio::kOk;
  if (auto code = failures.Take("CollectionItem")) {
    if (IsFailure(*code)) return Code(*code);
    status = Code(*code);
  }
  const Object* object = Find(collection, Kind::Collection);
  if (object == nullptr) return Code(kUnspecifiedError);
  if (index >= object->endpoints.size()) return Code(0x80070057u);  // E_INVALIDARG
  *device = Hand(Object{Kind::Device, {object->endpoints[index]}});
  return status;
}

std::int32_t FakeCoreAudio::DefaultEndpoint(AudioObject enumerator, std::int32_t dataFlow, std::int32_t role,
                                            AudioObject* device) {
  *device = kNoAudioObject;
  std::int32_t status = audio::kOk;
  if (auto code = failures.Take("DefaultEndpoint" + Direction(dataFlow))) {
    if (IsFailure(*code)) return Code(*code);
    status = Code(*code);
  }
  if (Find(enumerator, Kind::Enumerator) == nullptr) return Code(kUnspecifiedError);
  auto found = defaults.find({dataFlow, role});
  std::vector<FakeEndpoint>* list = ListOf(dataFlow);
  if (found == defaults.end() || list == nullptr) return Code(kElementNotFound);
  for (const FakeEndpoint& endpoint : *list) {
    if (endpoint.id == found->second) {
      *device = Hand(Object{Kind::Device, {endpoint}});
      return status;
    }
  }
  return Code(kElementNotFound);
}

std::int32_t FakeCoreAudio::EndpointId(AudioObject device, std::u16string* id) {
  if (auto code = failures.Take("EndpointId")) return Code(*code);
  const Object* object = Find(device, Kind::Device);
  if (object == nullptr) return Code(kUnspecifiedError);
  *id = object->endpoints[0].id;
  return audio::kOk;
}

std::int32_t FakeCoreAudio::OpenStore(AudioObject device, std::uint32_t access, AudioObject* store) {
  storeAccess.push_back(access);
  *store = kNoAudioObject;
  std::int32_t status = audio::kOk;
  if (auto code = failures.Take("OpenStore")) {
    if (IsFailure(*code)) return Code(*code);
    status = Code(*code);
  }
  const Object* object = Find(device, Kind::Device);
  if (object == nullptr) return Code(kUnspecifiedError);
  *store = Hand(Object{Kind::Store, object->endpoints});
  return status;
}

std::int32_t FakeCoreAudio::FriendlyName(AudioObject store, PropertyValue* value) {
  if (auto code = failures.Take("FriendlyName")) return Code(*code);
  const Object* object = Find(store, Kind::Store);
  if (object == nullptr) return Code(kUnspecifiedError);
  *value = object->endpoints[0].name;
  return audio::kOk;
}

std::int32_t FakeCoreAudio::SetDefaultEndpoint(AudioObject policy, const std::u16string& id,
                                               std::int32_t role) {
  setCalls.push_back(SetCall{policy, id, role});
  if (auto code = failures.Take("SetDefaultEndpoint")) return Code(*code);
  if (Find(policy, Kind::PolicyVista) == nullptr) return Code(kUnspecifiedError);
  for (std::int32_t flow : {audio::kRender, audio::kCapture}) {
    for (const FakeEndpoint& endpoint : *ListOf(flow)) {
      if (endpoint.id == id) {
        defaults[{flow, role}] = id;
        return audio::kOk;
      }
    }
  }
  return Code(kElementNotFound);
}

void FakeCoreAudio::ReleaseObject(AudioObject object) {
  failures.Take("ReleaseObject");
  if (live_.erase(object) == 0) ++badReleases;
}

}  // namespace varnolet::fakes
