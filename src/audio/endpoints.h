// The audio endpoints: the one process-wide CEnumerationInterface holds the
// Core Audio device enumerator, the two policy-configuration objects through
// which defaults change, its error log, and one CCollectionInterface per
// data-flow direction that lists the active endpoints as DEVICEINFO records.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/error_log.h"

namespace varnolet {

// One audio endpoint, copied by value everywhere. A placeholder (empty id,
// a message as name) stands in a list whose enumeration failed or found nothing.
struct DEVICEINFO {
  std::u16string name;  // friendly name, as the system reports it
  std::u16string id;    // endpoint identifier string ({0.0.0.00000000}.{GUID})

  friend bool operator==(const DEVICEINFO&, const DEVICEINFO&) = default;
};

// A COM object held through the port (an interface pointer); 0 is none.
using AudioObject = std::uintptr_t;
inline constexpr AudioObject kNoAudioObject = 0;

namespace audio {
// Data-flow directions (EDataFlow).
inline constexpr std::int32_t kRender = 0;
inline constexpr std::int32_t kCapture = 1;
// Device roles (ERole).
inline constexpr std::int32_t kRoleConsole = 0;
inline constexpr std::int32_t kRoleMultimedia = 1;
inline constexpr std::int32_t kRoleCommunications = 2;
inline constexpr std::uint32_t kStateActive = 1;  // DEVICE_STATE_ACTIVE
inline constexpr std::uint32_t kStorageRead = 0;  // STGM_READ
// Variant types of a property value: none (VT_EMPTY) and a wide string (VT_LPWSTR).
inline constexpr std::uint16_t kTypeEmpty = 0;
inline constexpr std::uint16_t kTypeWideString = 31;
inline constexpr std::int32_t kOk = 0;  // S_OK
}  // namespace audio

// The objects Initialize() creates, each with its class and interface identifier.
enum class AudioClass {
  DeviceEnumerator,   // MMDeviceEnumerator, IMMDeviceEnumerator
  PolicyConfigVista,  // PolicyConfigVistaClient, its {568B9108-...} interface
  PolicyConfig7,      // PolicyConfigClient, its {F8679F50-...} interface
};

// A property value as the property store returned it: its variant type and,
// for a wide string, the text (empty for a null string or any other type).
struct PropertyValue {
  std::uint16_t type = audio::kTypeEmpty;
  std::u16string text;
};

// Port: the Core Audio calls. Each returns the call's COM result code and,
// on success, a new reference in its out parameter that the caller releases.
class CoreAudioApi {
 public:
  virtual ~CoreAudioApi() = default;
  // CoCreateInstance(class, no aggregation, CLSCTX_ALL, interface)
  virtual std::int32_t CreateObject(AudioClass which, AudioObject* object) = 0;
  // IMMDeviceEnumerator::EnumAudioEndpoints
  virtual std::int32_t EnumEndpoints(AudioObject enumerator, std::int32_t dataFlow, std::uint32_t stateMask,
                                     AudioObject* collection) = 0;
  // IMMDeviceCollection::GetCount
  virtual std::int32_t CollectionCount(AudioObject collection, std::uint32_t* count) = 0;
  // IMMDeviceCollection::Item
  virtual std::int32_t CollectionItem(AudioObject collection, std::uint32_t index, AudioObject* device) = 0;
  // IMMDeviceEnumerator::GetDefaultAudioEndpoint
  virtual std::int32_t DefaultEndpoint(AudioObject enumerator, std::int32_t dataFlow, std::int32_t role,
                                       AudioObject* device) = 0;
  // IMMDevice::GetId; the system's buffer is copied and freed (CoTaskMemFree) by the adapter.
  virtual std::int32_t EndpointId(AudioObject device, std::u16string* id) = 0;
  // IMMDevice::OpenPropertyStore
  virtual std::int32_t OpenStore(AudioObject device, std::uint32_t access, AudioObject* store) = 0;
  // IPropertyStore::GetValue(PKEY_Device_FriendlyName); the PROPVARIANT is
  // copied and cleared (PropVariantClear) by the adapter.
  virtual std::int32_t FriendlyName(AudioObject store, PropertyValue* value) = 0;
  // The policy-configuration interface's SetDefaultEndpoint(id, role).
  virtual std::int32_t SetDefaultEndpoint(AudioObject policy, const std::u16string& id,
                                          std::int32_t role) = 0;
  // IUnknown::Release
  virtual void ReleaseObject(AudioObject object) = 0;
};

class CEnumerationInterface;

class CCollectionInterface {
 public:
  CCollectionInterface(CEnumerationInterface& owner, std::int32_t dataFlow);
  ~CCollectionInterface();
  CCollectionInterface(const CCollectionInterface&) = delete;
  CCollectionInterface& operator=(const CCollectionInterface&) = delete;

  // Rebuilds the device list from the active endpoints of this direction.
  bool Enumerate();
  // The number of endpoints in the current collection; -1 on failure.
  std::int32_t GetDevicesCount();
  // A copy of the device list.
  std::vector<DEVICEINFO> GetDevices() const { return devices_; }
  const std::vector<DEVICEINFO>& Devices() const { return devices_; }

  // The multimedia default of this direction. A failure after the identifier
  // was read leaves the new id and the previous name in `device`.
  bool GetDefaultMultimediaDevice(DEVICEINFO& device);
  // Make the record's endpoint the multimedia / communications default.
  bool SetDefaultMultimediaDevice(DEVICEINFO device);
  bool SetDefaultCommunicationsDevice(DEVICEINFO device);

  std::int32_t DataFlow() const { return dataFlow_; }
  std::int32_t Result() const { return result_; }
  std::uint32_t Count() const { return count_; }
  bool HasCollection() const { return collection_ != kNoAudioObject; }

  // Releases every COM object this collection holds.
  void ReleaseObjects();

 private:
  // One SetDefaultEndpoint call on the Vista policy object; `missingEntry` is
  // recorded when that object was never created.
  bool SetDefault(const DEVICEINFO& device, std::int32_t role, std::u16string_view entry,
                  std::u16string_view missingEntry);
  // Releases the endpoint being read: its property value, store and device.
  void ReleaseItem();

  CEnumerationInterface& owner_;
  std::int32_t result_ = 0;
  const std::int32_t dataFlow_;
  AudioObject collection_ = kNoAudioObject;
  AudioObject device_ = kNoAudioObject;
  AudioObject store_ = kNoAudioObject;
  PropertyValue value_;
  std::uint32_t count_ = 0;
  std::vector<DEVICEINFO> devices_;
};

class CEnumerationInterface {
 public:
  // Builds the log and the two collections, then calls Initialize() (its
  // result is not looked at). COM must be initialised on this thread.
  CEnumerationInterface(CoreAudioApi& api, SystemMessages& messages, Clock& clock);
  ~CEnumerationInterface();
  CEnumerationInterface(const CEnumerationInterface&) = delete;
  CEnumerationInterface& operator=(const CEnumerationInterface&) = delete;

  // Creates the device enumerator and the two policy-configuration objects,
  // in that order, stopping at the first failure.
  bool Initialize();
  std::u16string GetLastErrorText() const { return log_.GetLastErrorText(); }

  CCollectionInterface& RenderCollection() { return render_; }
  CCollectionInterface& CaptureCollection() { return capture_; }

  // Releases every COM object held here and by both collections, so that the
  // apartment can be left; later operations fail as uninitialised.
  void ReleaseObjects();

  const ErrorLog& Log() const { return log_; }
  std::int32_t Result() const { return result_; }
  bool HasEnumerator() const { return enumerator_ != kNoAudioObject; }
  bool HasPolicyConfigVista() const { return policyVista_ != kNoAudioObject; }
  bool HasPolicyConfig7() const { return policy7_ != kNoAudioObject; }

 private:
  friend class CCollectionInterface;

  bool Create(AudioClass which, AudioObject& object, std::u16string_view entry);
  void ReleaseOwn();

  CoreAudioApi& api_;
  std::int32_t result_ = 0;
  AudioObject enumerator_ = kNoAudioObject;
  AudioObject policyVista_ = kNoAudioObject;
  AudioObject policy7_ = kNoAudioObject;
  ErrorLog log_;
  CCollectionInterface render_;
  CCollectionInterface capture_;
};

}  // namespace varnolet
