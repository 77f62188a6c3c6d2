// The Core Audio calls behind CoreAudioApi: IMMDeviceEnumerator and its
// collections, devices and property stores, and the policy-configuration
// object's SetDefaultEndpoint. Calls only; COM must be initialised on the thread.
#pragma once

#include "audio/endpoints.h"

namespace varnolet {

class Win32CoreAudioApi final : public CoreAudioApi {
 public:
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
};

}  // namespace varnolet
