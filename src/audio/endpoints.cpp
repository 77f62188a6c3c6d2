#include "audio/endpoints.h"

namespace varnolet {

namespace {

// The friendly name a property value gives: its text when it holds a wide
// string, otherwise (empty, or a value of another type) an empty name.
std::u16string NameOf(const PropertyValue& value) {
  return value.type == audio::kTypeWideString ? value.text : std::u16string();
}

// A call may hand out an object together with a result the component
// rejects (a positive success code such as S_FALSE): the reference is given
// back, so that no rejected result leaks an object.
void GiveBack(CoreAudioApi& api, AudioObject& object) {
  if (object != kNoAudioObject) api.ReleaseObject(object);
  object = kNoAudioObject;
}

}  // namespace

// ------------------------------------------------------------ enumerator

CEnumerationInterface::CEnumerationInterface(CoreAudioApi& api, SystemMessages& messages, Clock& clock)
    : api_(api),
      log_(messages, clock, error_rules::kEnumeration),
      render_(*this, audio::kRender),
      capture_(*this, audio::kCapture) {
  Initialize();
}

CEnumerationInterface::~CEnumerationInterface() {
  ReleaseObjects();
}

bool CEnumerationInterface::Create(AudioClass which, AudioObject& object, std::u16string_view entry) {
  if (object != kNoAudioObject) {
    api_.ReleaseObject(object);
    object = kNoAudioObject;
  }
  result_ = api_.CreateObject(which, &object);
  if (log_.CheckResult(result_, entry)) return true;
  GiveBack(api_, object);
  return false;
}

bool CEnumerationInterface::Initialize() {
  return Create(AudioClass::DeviceEnumerator, enumerator_,
                u"CEnumerationInterface,Initialize(),CoCreateInstance(),MMDeviceEnumerator,") &&
         Create(AudioClass::PolicyConfigVista, policyVista_,
                u"CEnumerationInterface,Initialize(),CoInitializeEx(),PolicyConfigVistaClient,") &&
         Create(AudioClass::PolicyConfig7, policy7_,
                u"CEnumerationInterface,Initialize(),CoInitializeEx(),PolicyConfigClient,");
}

void CEnumerationInterface::ReleaseOwn() {
  for (AudioObject* object : {&policy7_, &policyVista_, &enumerator_}) {
    if (*object != kNoAudioObject) api_.ReleaseObject(*object);
    *object = kNoAudioObject;
  }
}

void CEnumerationInterface::ReleaseObjects() {
  render_.ReleaseObjects();
  capture_.ReleaseObjects();
  ReleaseOwn();
}

// ------------------------------------------------------------ collection

CCollectionInterface::CCollectionInterface(CEnumerationInterface& owner, std::int32_t dataFlow)
    : owner_(owner), dataFlow_(dataFlow) {}

CCollectionInterface::~CCollectionInterface() {
  ReleaseObjects();
}

void CCollectionInterface::ReleaseItem() {
  value_ = PropertyValue{};
  if (store_ != kNoAudioObject) owner_.api_.ReleaseObject(store_);
  store_ = kNoAudioObject;
  if (device_ != kNoAudioObject) owner_.api_.ReleaseObject(device_);
  device_ = kNoAudioObject;
}

void CCollectionInterface::ReleaseObjects() {
  ReleaseItem();
  if (collection_ != kNoAudioObject) owner_.api_.ReleaseObject(collection_);
  collection_ = kNoAudioObject;
}

bool CCollectionInterface::Enumerate() {
  CoreAudioApi& api = owner_.api_;
  ErrorLog& log = owner_.log_;
  devices_.clear();
  if (owner_.enumerator_ == kNoAudioObject) {
    log.AddError(u"CCollectionInterface,Enumerate(),NULL,NULL,Enumeration interface is not initialized");
    return false;
  }
  if (collection_ != kNoAudioObject) api.ReleaseObject(collection_);
  collection_ = kNoAudioObject;
  result_ = api.EnumEndpoints(owner_.enumerator_, dataFlow_, audio::kStateActive, &collection_);
  if (!log.CheckResult(result_, u"CCollectionInterface,Enumerate(),EnumAudioEndpoints(),NULL,")) {
    GiveBack(api, collection_);
    return false;
  }
  // The count is asked again before every item; a failed count ends the
  // enumeration as any other failed call does.
  for (std::uint32_t i = 0;; ++i) {
    const std::int32_t count = GetDevicesCount();
    if (count < 0) return false;
    if (static_cast<std::int64_t>(i) >= count) break;
    DEVICEINFO record;
    result_ = api.CollectionItem(collection_, i, &device_);
    if (!log.CheckResult(result_, u"CCollectionInterface,Enumerate(),Item(),NULL,")) {
      GiveBack(api, device_);
      return false;
    }
    result_ = api.EndpointId(device_, &record.id);
    if (!log.CheckResult(result_, u"CCollectionInterface,Enumerate(),GetId(),NULL,")) {
      ReleaseItem();
      return false;
    }
    result_ = api.OpenStore(device_, audio::kStorageRead, &store_);
    if (!log.CheckResult(result_, u"CCollectionInterface,Enumerate(),OpenPropertyStore(),NULL,")) {
      ReleaseItem();
      return false;
    }
    value_ = PropertyValue{};
    result_ = api.FriendlyName(store_, &value_);
    if (!log.CheckResult(result_,
                         u"CCollectionInterface,Enumerate(),GetValue(),PHKEY_Device_FriendlyName,")) {
      ReleaseItem();
      return false;
    }
    record.name = NameOf(value_);
    devices_.push_back(std::move(record));
    ReleaseItem();
  }
  return true;
}

std::int32_t CCollectionInterface::GetDevicesCount() {
  ErrorLog& log = owner_.log_;
  if (owner_.enumerator_ == kNoAudioObject) {
    log.AddError(
        u"CCollectionInterface,GetDevicesCount(),NULL,NULL,Enumeration interface is not initialized");
    return -1;
  }
  if (collection_ == kNoAudioObject) {
    log.AddError(u"CCollectionInterface,GetDevicesCount(),NULL,NULL,Collection interface is not initialized");
    return -1;
  }
  result_ = owner_.api_.CollectionCount(collection_, &count_);
  if (!log.CheckResult(result_, u"CCollectionInterface,GetDevicesCount(),GetCount(),NULL,")) return -1;
  return static_cast<std::int32_t>(count_);
}

bool CCollectionInterface::GetDefaultMultimediaDevice(DEVICEINFO& device) {
  CoreAudioApi& api = owner_.api_;
  ErrorLog& log = owner_.log_;
  if (owner_.enumerator_ == kNoAudioObject) {
    log.AddError(
        u"CCollectionInterface,GetDefaultMultimediaDevice(),NULL,NULL,Enumeration interface is not "
        u"initialized");
    return false;
  }
  ReleaseItem();
  result_ = api.DefaultEndpoint(owner_.enumerator_, dataFlow_, audio::kRoleMultimedia, &device_);
  if (!log.CheckResult(
          result_, u"CCollectionInterface,GetDefaultMultimediaDevice(),GetDefaultAudioEndpoint(),NULL,")) {
    GiveBack(api, device_);
    return false;
  }
  std::u16string id;
  result_ = api.EndpointId(device_, &id);
  if (!log.CheckResult(result_, u"CCollectionInterface,GetDefaultMultimediaDevice(),GetId(),NULL,")) {
    ReleaseItem();
    return false;
  }
  device.id = std::move(id);
  result_ = api.OpenStore(device_, audio::kStorageRead, &store_);
  if (!log.CheckResult(result_,
                       u"CCollectionInterface,GetDefaultMultimediaDevice(),OpenPropertyStore(),NULL,")) {
    ReleaseItem();
    return false;
  }
  value_ = PropertyValue{};
  result_ = api.FriendlyName(store_, &value_);
  if (!log.CheckResult(
          result_,
          u"CCollectionInterface,GetDefaultMultimediaDevice(),GetValue(),PKEY_Device_FriendlyName,")) {
    ReleaseItem();
    return false;
  }
  device.name = NameOf(value_);
  ReleaseItem();
  return true;
}

bool CCollectionInterface::SetDefault(const DEVICEINFO& device, std::int32_t role, std::u16string_view entry,
                                      std::u16string_view missingEntry) {
  if (owner_.policyVista_ == kNoAudioObject) {
    owner_.log_.AddError(missingEntry);
    return false;
  }
  result_ = owner_.api_.SetDefaultEndpoint(owner_.policyVista_, device.id, role);
  return owner_.log_.CheckResult(result_, entry);
}

bool CCollectionInterface::SetDefaultMultimediaDevice(DEVICEINFO device) {
  return SetDefault(device, audio::kRoleMultimedia,
                    u"CCollectionInterface,SetDefaultMultimediaDevice(),SetDefaultEndpoint(),Multimedia,",
                    u"CCollectionInterface,SetDefaultMultimediaDevice(),NULL,NULL,Policy configuration "
                    u"interface is not initialized");
}

bool CCollectionInterface::SetDefaultCommunicationsDevice(DEVICEINFO device) {
  return SetDefault(
      device, audio::kRoleCommunications,
      u"CCollectionInterface,SetDefaultCommunicationsDevice(),SetDefaultEndpoint(),Communications,",
      u"CCollectionInterface,SetDefaultCommunicationsDevice(),NULL,NULL,Policy configuration interface "
      u"is not initialized");
}

}  // namespace varnolet
