#include "audio/endpoints_win32.h"

#include <windows.h>
#include <mmdeviceapi.h>
#include <objbase.h>
#include <propidl.h>

#include "audio/core_audio_ids_win32.h"
#include "support/wide_win32.h"

namespace varnolet {

// The Vista policy-configuration interface has no public declaration: after
// IUnknown come nine methods this program never calls, then SetDefaultEndpoint
// as the thirteenth entry of the virtual table. A COM interface is released,
// never deleted, so it has no virtual destructor. It must not sit in an
// anonymous namespace: the compiler would then know every class derived from
// it in the program (none; the object comes from another module) and treat the
// call as unreachable.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
struct IPolicyConfigVistaCalls : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Unused1() = 0;
  virtual HRESULT STDMETHODCALLTYPE Unused2() = 0;
  virtual HRESULT STDMETHODCALLTYPE Unused3() = 0;
  virtual HRESULT STDMETHODCALLTYPE Unused4() = 0;
  virtual HRESULT STDMETHODCALLTYPE Unused5() = 0;
  virtual HRESULT STDMETHODCALLTYPE Unused6() = 0;
  virtual HRESULT STDMETHODCALLTYPE Unused7() = 0;
  virtual HRESULT STDMETHODCALLTYPE Unused8() = 0;
  virtual HRESULT STDMETHODCALLTYPE Unused9() = 0;
  virtual HRESULT STDMETHODCALLTYPE SetDefaultEndpoint(LPCWSTR id, ERole role) = 0;
};
#pragma GCC diagnostic pop

// The Core Audio values the core names by number, as the system defines them.
static_assert(audio::kRender == eRender && audio::kCapture == eCapture);
static_assert(audio::kRoleConsole == eConsole && audio::kRoleMultimedia == eMultimedia &&
              audio::kRoleCommunications == eCommunications);
static_assert(audio::kStateActive == DEVICE_STATE_ACTIVE && audio::kStorageRead == STGM_READ);
static_assert(audio::kTypeEmpty == VT_EMPTY && audio::kTypeWideString == VT_LPWSTR);
static_assert(audio::kOk == S_OK);

using namespace core_audio;

namespace {

template <typename Interface>
Interface* As(AudioObject object) {
  return reinterpret_cast<Interface*>(object);
}

template <typename Interface>
AudioObject Handle(Interface* pointer) {
  return reinterpret_cast<AudioObject>(pointer);
}

}  // namespace

std::int32_t Win32CoreAudioApi::CreateObject(AudioClass which, AudioObject* object) {
  const GUID* classId = &kDeviceEnumeratorClass;
  const GUID* interfaceId = &kDeviceEnumeratorInterface;
  if (which == AudioClass::PolicyConfigVista) {
    classId = &kPolicyVistaClass;
    interfaceId = &kPolicyVistaInterface;
  } else if (which == AudioClass::PolicyConfig7) {
    classId = &kPolicy7Class;
    interfaceId = &kPolicy7Interface;
  }
  void* pointer = nullptr;
  const HRESULT result = CoCreateInstance(*classId, nullptr, CLSCTX_ALL, *interfaceId, &pointer);
  *object = SUCCEEDED(result) ? reinterpret_cast<AudioObject>(pointer) : kNoAudioObject;
  return result;
}

std::int32_t Win32CoreAudioApi::EnumEndpoints(AudioObject enumerator, std::int32_t dataFlow,
                                              std::uint32_t stateMask, AudioObject* collection) {
  IMMDeviceCollection* pointer = nullptr;
  const HRESULT result = As<IMMDeviceEnumerator>(enumerator)
                             ->EnumAudioEndpoints(static_cast<EDataFlow>(dataFlow), stateMask, &pointer);
  *collection = SUCCEEDED(result) ? Handle(pointer) : kNoAudioObject;
  return result;
}

std::int32_t Win32CoreAudioApi::CollectionCount(AudioObject collection, std::uint32_t* count) {
  UINT value = 0;
  const HRESULT result = As<IMMDeviceCollection>(collection)->GetCount(&value);
  if (SUCCEEDED(result)) *count = value;
  return result;
}

std::int32_t Win32CoreAudioApi::CollectionItem(AudioObject collection, std::uint32_t index,
                                               AudioObject* device) {
  IMMDevice* pointer = nullptr;
  const HRESULT result = As<IMMDeviceCollection>(collection)->Item(index, &pointer);
  *device = SUCCEEDED(result) ? Handle(pointer) : kNoAudioObject;
  return result;
}

std::int32_t Win32CoreAudioApi::DefaultEndpoint(AudioObject enumerator, std::int32_t dataFlow,
                                                std::int32_t role, AudioObject* device) {
  IMMDevice* pointer = nullptr;
  const HRESULT result =
      As<IMMDeviceEnumerator>(enumerator)
          ->GetDefaultAudioEndpoint(static_cast<EDataFlow>(dataFlow), static_cast<ERole>(role), &pointer);
  *device = SUCCEEDED(result) ? Handle(pointer) : kNoAudioObject;
  return result;
}

std::int32_t Win32CoreAudioApi::EndpointId(AudioObject device, std::u16string* id) {
  LPWSTR buffer = nullptr;
  const HRESULT result = As<IMMDevice>(device)->GetId(&buffer);
  if (SUCCEEDED(result)) *id = from_wide(buffer);
  CoTaskMemFree(buffer);
  return result;
}

std::int32_t Win32CoreAudioApi::OpenStore(AudioObject device, std::uint32_t access, AudioObject* store) {
  IPropertyStore* pointer = nullptr;
  const HRESULT result = As<IMMDevice>(device)->OpenPropertyStore(access, &pointer);
  *store = SUCCEEDED(result) ? Handle(pointer) : kNoAudioObject;
  return result;
}

std::int32_t Win32CoreAudioApi::FriendlyName(AudioObject store, PropertyValue* value) {
  PROPVARIANT variant;
  PropVariantInit(&variant);
  const HRESULT result = As<IPropertyStore>(store)->GetValue(kFriendlyNameKey, &variant);
  if (SUCCEEDED(result)) {
    value->type = variant.vt;
    value->text = variant.vt == VT_LPWSTR ? from_wide(variant.pwszVal) : std::u16string();
  }
  PropVariantClear(&variant);
  return result;
}

std::int32_t Win32CoreAudioApi::SetDefaultEndpoint(AudioObject policy, const std::u16string& id,
                                                   std::int32_t role) {
  return As<IPolicyConfigVistaCalls>(policy)->SetDefaultEndpoint(as_wide(id), static_cast<ERole>(role));
}

void Win32CoreAudioApi::ReleaseObject(AudioObject object) {
  if (object != kNoAudioObject) As<IUnknown>(object)->Release();
}

}  // namespace varnolet
