// Scripted Core Audio: endpoints per direction, defaults per direction and
// role, failure injection per call, and a ledger of every object handed out
// so that a test can see what was released (and what was released twice).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "audio/endpoints.h"
#include "fakes/failure_script.h"

namespace varnolet::fakes {

// COM results the fake gives on its own.
inline constexpr std::uint32_t kElementNotFound = 0x80070490u;  // HRESULT_FROM_WIN32(ERROR_NOT_FOUND)
inline constexpr std::uint32_t kClassNotRegistered = 0x80040154u;
inline constexpr std::uint32_t kUnspecifiedError = 0x80004005u;

struct FakeEndpoint {
  std::u16string id;
  PropertyValue name;
};

// A wide-string friendly name.
inline FakeEndpoint Endpoint(std::u16string id, std::u16string name) {
  return FakeEndpoint{std::move(id), PropertyValue{audio::kTypeWideString, std::move(name)}};
}

class FakeCoreAudio final : public CoreAudioApi {
 public:
  // Failure points, named by operation; the collection-level calls also carry
  // the direction (":render" / ":capture") so that one direction can fail alone:
  //   "CreateObject:DeviceEnumerator", "CreateObject:PolicyConfigVista",
  //   "CreateObject:PolicyConfig7", "EnumEndpoints:render", "EnumEndpoints:capture",
  //   "DefaultEndpoint:render", "DefaultEndpoint:capture", "CollectionCount",
  //   "CollectionItem", "EndpointId", "OpenStore", "FriendlyName", "SetDefaultEndpoint".
  FailureScript failures;

  // The active endpoints of each direction, in collection order.
  std::vector<FakeEndpoint> render;
  std::vector<FakeEndpoint> capture;
  // Default endpoint id per (data flow, role); none means the query finds nothing.
  std::map<std::pair<std::int32_t, std::int32_t>, std::u16string> defaults;

  struct SetCall {
    AudioObject policy;
    std::u16string id;
    std::int32_t role;
  };
  std::vector<SetCall> setCalls;

  std::int32_t CreateObject(AudioClass which, AudioObject* object) override;
  std::int32_t EnumEndpoints(AudioObject enumerator, std::int32_t dataFlow, std::uint32_t stateMask,
                             AudioObject* collection) override;
  std::int32_t CollectionCount(AudioObject collection, std::uint32_t* count) override;
  std::int32_t CollectionItem(AudioObject collection, std::uint32_t index, AudioObject* device) override;
  std::int32_t DefaultEndpoint(AudioObject enumerator, std::int32_t dataFlow, std::int32_t role,
                               AudioObject* device) override;
  std::int32_t EndpointId(AudioObject device, std::u16string* id) override;
  std::int32_t OpenStore(AudioObject device, std::uint32_t access, AudioObject* store) override;
  std::int32_t FriendlyName(AudioObject store, PropertyValue* value) override;
  std::int32_t SetDefaultEndpoint(AudioObject policy, const std::u16string& id, std::int32_t role) override;
  void ReleaseObject(AudioObject object) override;

  enum class Kind { Enumerator, PolicyVista, Policy7, Collection, Device, Store };
  // Objects handed out and not yet released.
  int Live() const { return static_cast<int>(live_.size()); }
  int LiveOf(Kind kind) const;
  // The handle of the one live object of a kind (kNoAudioObject when none).
  AudioObject LiveHandle(Kind kind) const;
  // Releases of handles that were not live (a double release or a stray handle).
  int badReleases = 0;
  // Calls made with a handle that is not live or of the wrong kind.
  int badHandles = 0;
  // Every state mask EnumEndpoints was asked for, and every store access.
  std::vector<std::uint32_t> stateMasks;
  std::vector<std::uint32_t> storeAccess;

 private:
  struct Object {
    Kind kind;
    std::vector<FakeEndpoint> endpoints;  // a collection's snapshot; a device's or store's endpoint at [0]
  };
  AudioObject Hand(Object object);
  const Object* Find(AudioObject handle, Kind kind);
  std::vector<FakeEndpoint>* ListOf(std::int32_t dataFlow);

  std::map<AudioObject, Object> live_;
  AudioObject next_ = 0x1000;
};

}  // namespace varnolet::fakes
