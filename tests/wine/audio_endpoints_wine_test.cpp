// The Core Audio adapter under Wine, against the tree's PulseAudio (null
// sinks "Headset" and "Ακουστικά", a null source "Microphone") and the policy
// stand-in registered in the prefix (fixture wine_audio). What the program's
// classes report is compared with Core Audio's own answers, asked here directly.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmdeviceapi.h>
#include <objbase.h>
#include <propidl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "audio/core_audio_ids_win32.h"
#include "audio/endpoints.h"
#include "audio/endpoints_win32.h"
#include "support/clock_win32.h"
#include "support/system_messages_win32.h"
#include "wine_support.h"

namespace varnolet {
namespace {

constexpr DWORD kNotFound = 0x80070490;
const wchar_t kDriverKey[] = L"Software\\Wine\\Drivers\\winepulse.drv";
const std::wstring kStandinServerKey = std::wstring(L"Software\\Classes\\CLSID\\") +
                                       core_audio::kPolicyVistaClassText.data() + L"\\InprocServer32";

// ---------------------------------------------------------------- Core Audio, asked directly

class DirectAudio {
 public:
  DirectAudio() {
    CoCreateInstance(core_audio::kDeviceEnumeratorClass, nullptr, CLSCTX_ALL,
                     core_audio::kDeviceEnumeratorInterface, reinterpret_cast<void**>(&enumerator_));
  }
  ~DirectAudio() {
    if (enumerator_) enumerator_->Release();
  }
  DirectAudio(const DirectAudio&) = delete;
  DirectAudio& operator=(const DirectAudio&) = delete;

  std::vector<DEVICEINFO> List(EDataFlow flow) {
    std::vector<DEVICEINFO> devices;
    IMMDeviceCollection* collection = nullptr;
    if (!enumerator_ || FAILED(enumerator_->EnumAudioEndpoints(flow, DEVICE_STATE_ACTIVE, &collection)))
      return devices;
    UINT count = 0;
    collection->GetCount(&count);
    for (UINT i = 0; i < count; ++i) {
      IMMDevice* device = nullptr;
      if (SUCCEEDED(collection->Item(i, &device))) {
        devices.push_back(Read(device));
        device->Release();
      }
    }
    collection->Release();
    return devices;
  }

  std::u16string Default(EDataFlow flow, ERole role) {
    IMMDevice* device = nullptr;
    if (!enumerator_ || FAILED(enumerator_->GetDefaultAudioEndpoint(flow, role, &device))) return u"";
    const std::u16string id = Read(device).id;
    device->Release();
    return id;
  }

 private:
  static DEVICEINFO Read(IMMDevice* device) {
    DEVICEINFO info;
    LPWSTR id = nullptr;
    if (SUCCEEDED(device->GetId(&id))) info.id = from_wide(id);
    CoTaskMemFree(id);
    IPropertyStore* store = nullptr;
    if (SUCCEEDED(device->OpenPropertyStore(STGM_READ, &store))) {
      PROPVARIANT value;
      PropVariantInit(&value);
      if (SUCCEEDED(store->GetValue(core_audio::kFriendlyNameKey, &value)) && value.vt == VT_LPWSTR)
        info.name = from_wide(value.pwszVal);
      PropVariantClear(&value);
      store->Release();
    }
    return info;
  }

  IMMDeviceEnumerator* enumerator_ = nullptr;
};

// ---------------------------------------------------------------- registry and journal

std::u16string ReadText(HKEY root, const wchar_t* subKey, const wchar_t* name) {
  wchar_t buffer[1024] = {};
  DWORD size = sizeof buffer - sizeof(wchar_t);
  if (RegGetValueW(root, subKey, name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) return u"";
  return from_wide(buffer);
}

// The stand-in writes its journal beside the registered DLL.
std::u16string JournalPath() {
  const std::u16string server = ReadText(HKEY_LOCAL_MACHINE, kStandinServerKey.c_str(), nullptr);
  return server.substr(0, server.rfind(u'\\') + 1) + u"policy_journal.txt";
}

std::vector<std::string> JournalLines() {
  return wine::LinesOf(wine::ReadWholeFile(JournalPath()));
}

std::string Ascii8(const std::u16string& text) {
  return Narrow(text);
}

// ---------------------------------------------------------------- fixture

class AudioEndpointsWineTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    // Every test starts from Wine's own choice of defaults.
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kDriverKey, L"DefaultOutput");
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kDriverKey, L"DefaultInput");
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kDriverKey, L"DefaultVoiceOutput");
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kDriverKey, L"DefaultVoiceInput");
  }
  void TearDown() override { CoUninitialize(); }

  Win32CoreAudioApi api;
  Win32SystemMessages messages;
  CrtClock clock;
};

bool HasName(const std::vector<DEVICEINFO>& devices, const std::u16string& name) {
  return std::any_of(devices.begin(), devices.end(), [&](const DEVICEINFO& d) { return d.name == name; });
}

// {0.0.0.00000000}.{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}: the 17-character
// prefix of the direction, then the endpoint's GUID in braces.
void ExpectIdentifierForm(const std::u16string& id, const std::u16string& prefix) {
  ASSERT_EQ(id.size(), 17u + 38u) << Narrow(id);
  EXPECT_EQ(id.substr(0, 17), prefix) << Narrow(id);
  const std::u16string guid = id.substr(17);
  EXPECT_EQ(guid.front(), u'{');
  EXPECT_EQ(guid.back(), u'}');
  for (std::size_t i = 1; i + 1 < guid.size(); ++i) {
    const char16_t c = guid[i];
    if (i == 9 || i == 14 || i == 19 || i == 24) {
      EXPECT_EQ(c, u'-') << Narrow(id);
    } else {
      EXPECT_TRUE((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F')) << Narrow(id);
    }
  }
}

// ---------------------------------------------------------------- tests

TEST_F(AudioEndpointsWineTest, InitializeCreatesTheEnumeratorAndBothPolicyObjects) {
  CEnumerationInterface audio(api, messages, clock);
  EXPECT_TRUE(audio.HasEnumerator());
  EXPECT_TRUE(audio.HasPolicyConfigVista());
  EXPECT_TRUE(audio.HasPolicyConfig7());
  EXPECT_TRUE(audio.Log().Entries().empty());
}

TEST_F(AudioEndpointsWineTest, EnumerationListsThePulseAudioEndpointsAsCoreAudioDoes) {
  DirectAudio direct;
  CEnumerationInterface audio(api, messages, clock);
  CCollectionInterface& render = audio.RenderCollection();
  CCollectionInterface& capture = audio.CaptureCollection();
  ASSERT_TRUE(render.Enumerate()) << Narrow(audio.GetLastErrorText());
  ASSERT_TRUE(capture.Enumerate()) << Narrow(audio.GetLastErrorText());

  EXPECT_EQ(render.Devices(), direct.List(eRender));
  EXPECT_EQ(capture.Devices(), direct.List(eCapture));
  EXPECT_EQ(render.GetDevicesCount(), static_cast<std::int32_t>(render.Devices().size()));
  EXPECT_EQ(capture.GetDevicesCount(), static_cast<std::int32_t>(capture.Devices().size()));

  EXPECT_TRUE(HasName(render.Devices(), u"Headset"));
  EXPECT_TRUE(HasName(render.Devices(), u"Ακουστικά"));
  EXPECT_TRUE(HasName(capture.Devices(), u"Monitor of Headset"));
  EXPECT_TRUE(HasName(capture.Devices(), u"Monitor of Ακουστικά"));
  EXPECT_TRUE(HasName(capture.Devices(), u"Microphone"));
  for (const DEVICEINFO& device : render.Devices()) ExpectIdentifierForm(device.id, u"{0.0.0.00000000}.");
  for (const DEVICEINFO& device : capture.Devices()) ExpectIdentifierForm(device.id, u"{0.0.1.00000000}.");
  EXPECT_TRUE(audio.Log().Entries().empty());
}

TEST_F(AudioEndpointsWineTest, TheDefaultIsOneOfTheListedEndpoints) {
  DirectAudio direct;
  CEnumerationInterface audio(api, messages, clock);
  for (CCollectionInterface* collection : {&audio.RenderCollection(), &audio.CaptureCollection()}) {
    SCOPED_TRACE(collection->DataFlow());
    ASSERT_TRUE(collection->Enumerate());
    DEVICEINFO current;
    ASSERT_TRUE(collection->GetDefaultMultimediaDevice(current)) << Narrow(audio.GetLastErrorText());
    EXPECT_EQ(current.id, direct.Default(static_cast<EDataFlow>(collection->DataFlow()), eMultimedia));
    const std::vector<DEVICEINFO>& devices = collection->Devices();
    EXPECT_NE(std::find(devices.begin(), devices.end(), current), devices.end()) << Narrow(current.id);
  }
}

TEST_F(AudioEndpointsWineTest, SwitchingThroughThePolicyObjectChangesWinesDefaultPerRole) {
  DirectAudio direct;
  CEnumerationInterface audio(api, messages, clock);
  CCollectionInterface& render = audio.RenderCollection();
  ASSERT_TRUE(render.Enumerate());
  DEVICEINFO before;
  ASSERT_TRUE(render.GetDefaultMultimediaDevice(before));
  const std::vector<DEVICEINFO> devices = render.GetDevices();
  ASSERT_GE(devices.size(), 3u);
  std::vector<DEVICEINFO> others;
  for (const DEVICEINFO& device : devices)
    if (device.id != before.id) others.push_back(device);
  const DEVICEINFO& multimedia = others[0];
  const DEVICEINFO& communications = others[1];
  const std::size_t journaled = JournalLines().size();

  // Communications first: without a voice value of its own, Wine's
  // communications default follows the multimedia one.
  ASSERT_TRUE(render.SetDefaultCommunicationsDevice(communications)) << Narrow(audio.GetLastErrorText());
  EXPECT_EQ(direct.Default(eRender, eCommunications), communications.id);
  EXPECT_EQ(direct.Default(eRender, eMultimedia), before.id);
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kDriverKey, L"DefaultVoiceOutput"), communications.id);
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kDriverKey, L"DefaultOutput"), u"");

  ASSERT_TRUE(render.SetDefaultMultimediaDevice(multimedia)) << Narrow(audio.GetLastErrorText());
  DEVICEINFO now;
  ASSERT_TRUE(render.GetDefaultMultimediaDevice(now));
  EXPECT_EQ(now, multimedia);
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kDriverKey, L"DefaultOutput"), multimedia.id);
  EXPECT_EQ(direct.Default(eRender, eCommunications), communications.id);

  const std::vector<std::string> lines = JournalLines();
  ASSERT_EQ(lines.size(), journaled + 2);
  EXPECT_EQ(lines[journaled], Ascii8(communications.id) + ",2");
  EXPECT_EQ(lines[journaled + 1], Ascii8(multimedia.id) + ",1");
  EXPECT_TRUE(audio.Log().Entries().empty());
}

TEST_F(AudioEndpointsWineTest, ARecordingDeviceBecomesTheInputDefault) {
  DirectAudio direct;
  CEnumerationInterface audio(api, messages, clock);
  CCollectionInterface& capture = audio.CaptureCollection();
  ASSERT_TRUE(capture.Enumerate());
  const DEVICEINFO chosen = capture.Devices().back();
  ASSERT_TRUE(capture.SetDefaultMultimediaDevice(chosen)) << Narrow(audio.GetLastErrorText());
  EXPECT_EQ(direct.Default(eCapture, eMultimedia), chosen.id);
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kDriverKey, L"DefaultInput"), chosen.id);
}

TEST_F(AudioEndpointsWineTest, AnIdentifierWineDoesNotListIsRefusedWithTheSystemsReason) {
  CEnumerationInterface audio(api, messages, clock);
  const DEVICEINFO gone{u"Gone", u"{0.0.0.00000000}.{00000000-0000-0000-0000-000000000000}"};
  EXPECT_FALSE(audio.RenderCollection().SetDefaultMultimediaDevice(gone));
  EXPECT_EQ(static_cast<DWORD>(audio.RenderCollection().Result()), kNotFound);
  const std::u16string reason = wine::SystemText(kNotFound);
  EXPECT_EQ(audio.GetLastErrorText(), reason);
  ASSERT_EQ(audio.Log().Entries().size(), 1u);
  const std::u16string entry =
      u"CCollectionInterface,SetDefaultMultimediaDevice(),SetDefaultEndpoint(),Multimedia," + reason;
  const std::u16string& line = audio.Log().Entries()[0];
  ASSERT_GE(line.size(), entry.size());
  EXPECT_EQ(line.substr(line.size() - entry.size()), entry);
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kDriverKey, L"DefaultOutput"), u"");
  EXPECT_EQ(JournalLines().back(), Ascii8(gone.id) + ",1");
}

}  // namespace
}  // namespace varnolet
