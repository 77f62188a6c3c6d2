#include "audio/endpoints.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fakes/fake_audio_endpoints.h"
#include "fakes/fake_system.h"

namespace varnolet {
namespace {

using fakes::Endpoint;
using fakes::FakeCoreAudio;
using fakes::FakeEndpoint;
using fakes::FakeSystem;
using fakes::kElementNotFound;
using fakes::kStamp;
using Kind = fakes::FakeCoreAudio::Kind;

constexpr std::uint32_t kClassNotRegistered = fakes::kClassNotRegistered;
constexpr std::uint32_t kUnspecified = fakes::kUnspecifiedError;
constexpr std::uint32_t kAccessDenied = 0x80070005u;  // no text in the fake system: an empty message

const std::u16string kSpeakers = u"{0.0.0.00000000}.{11111111-1111-1111-1111-111111111111}";
const std::u16string kHeadset = u"{0.0.0.00000000}.{22222222-2222-2222-2222-222222222222}";
const std::u16string kGreek = u"{0.0.0.00000000}.{33333333-3333-3333-3333-333333333333}";
const std::u16string kMicrophone = u"{0.0.1.00000000}.{44444444-4444-4444-4444-444444444444}";
const std::u16string kLineIn = u"{0.0.1.00000000}.{55555555-5555-5555-5555-555555555555}";

std::u16string Line(std::u16string_view entry) {
  return std::u16string(kStamp) + u": " + std::u16string(entry);
}

class EndpointsTest : public testing::Test {
 protected:
  EndpointsTest() {
    audio.render = {Endpoint(kSpeakers, u"Speakers"), Endpoint(kHeadset, u"Headset"),
                    Endpoint(kGreek, u"Ακουστικά")};
    audio.capture = {Endpoint(kMicrophone, u"Microphone"), Endpoint(kLineIn, u"Line In")};
    audio.defaults[{audio::kRender, audio::kRoleMultimedia}] = kHeadset;
    audio.defaults[{audio::kCapture, audio::kRoleMultimedia}] = kMicrophone;
  }

  // Line for a failed system call: the entry followed by the system's text.
  std::u16string Failed(std::u16string_view entry, std::uint32_t code) const {
    return Line(entry) + system.Text(code);
  }

  FakeSystem system;
  FakeCoreAudio audio;
};

// ---------------------------------------------------------------- Initialize

TEST_F(EndpointsTest, ConstructionCreatesTheThreeObjectsInOrder) {
  CEnumerationInterface enumeration(audio, system, system);
  EXPECT_EQ(audio.failures.Calls(),
            (std::vector<std::string>{"CreateObject:DeviceEnumerator", "CreateObject:PolicyConfigVista",
                                      "CreateObject:PolicyConfig7"}));
  EXPECT_TRUE(enumeration.HasEnumerator());
  EXPECT_TRUE(enumeration.HasPolicyConfigVista());
  EXPECT_TRUE(enumeration.HasPolicyConfig7());
  EXPECT_EQ(enumeration.Result(), 0);
  EXPECT_TRUE(enumeration.Log().Entries().empty());
  EXPECT_EQ(enumeration.GetLastErrorText(), u"");
  EXPECT_EQ(enumeration.RenderCollection().DataFlow(), audio::kRender);
  EXPECT_EQ(enumeration.CaptureCollection().DataFlow(), audio::kCapture);
}

TEST_F(EndpointsTest, InitializeStopsAtTheFirstFailureAndRecordsItsEntry) {
  struct Case {
    const char* failing;
    std::u16string entry;
    int created;  // objects created before the failure
  };
  const Case cases[] = {
      {"CreateObject:DeviceEnumerator",
       u"CEnumerationInterface,Initialize(),CoCreateInstance(),MMDeviceEnumerator,", 0},
      {"CreateObject:PolicyConfigVista",
       u"CEnumerationInterface,Initialize(),CoInitializeEx(),PolicyConfigVistaClient,", 1},
      {"CreateObject:PolicyConfig7",
       u"CEnumerationInterface,Initialize(),CoInitializeEx(),PolicyConfigClient,", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failing);
    FakeCoreAudio api;
    api.failures.FailNext(c.failing, kClassNotRegistered);
    {
      CEnumerationInterface enumeration(api, system, system);
      EXPECT_EQ(api.failures.Calls().size(), static_cast<std::size_t>(c.created + 1));
      EXPECT_EQ(api.Live(), c.created);
      EXPECT_EQ(enumeration.HasEnumerator(), c.created >= 1);
      EXPECT_EQ(enumeration.HasPolicyConfigVista(), c.created >= 2);
      EXPECT_FALSE(enumeration.HasPolicyConfig7());
      EXPECT_EQ(static_cast<std::uint32_t>(enumeration.Result()), kClassNotRegistered);
      EXPECT_EQ(enumeration.Log().Entries(),
                std::vector<std::u16string>{Failed(c.entry, kClassNotRegistered)});
      EXPECT_EQ(enumeration.GetLastErrorText(), system.Text(kClassNotRegistered));
    }
    EXPECT_EQ(api.Live(), 0);
    EXPECT_EQ(api.badReleases, 0);
  }
}

TEST_F(EndpointsTest, InitializeAgainReplacesWhatItHeld) {
  CEnumerationInterface enumeration(audio, system, system);
  EXPECT_TRUE(enumeration.Initialize());
  EXPECT_EQ(audio.Live(), 3);
  EXPECT_EQ(audio.badReleases, 0);
}

TEST_F(EndpointsTest, WithoutTheEnumeratorEveryQueryFailsWithoutCallingTheSystem) {
  audio.failures.FailNext("CreateObject:DeviceEnumerator", kClassNotRegistered);
  CEnumerationInterface enumeration(audio, system, system);
  const std::size_t callsAfterStart = audio.failures.Calls().size();
  CCollectionInterface& render = enumeration.RenderCollection();
  DEVICEINFO device{u"before", u"before-id"};

  EXPECT_FALSE(render.Enumerate());
  EXPECT_EQ(enumeration.GetLastErrorText(), u"Enumeration interface is not initialized");
  EXPECT_EQ(render.GetDevicesCount(), -1);
  EXPECT_FALSE(render.GetDefaultMultimediaDevice(device));
  EXPECT_EQ(device, (DEVICEINFO{u"before", u"before-id"}));
  EXPECT_FALSE(render.SetDefaultMultimediaDevice(DEVICEINFO{u"Headset", kHeadset}));
  EXPECT_FALSE(render.SetDefaultCommunicationsDevice(DEVICEINFO{u"Headset", kHeadset}));
  EXPECT_EQ(audio.failures.Calls().size(), callsAfterStart);

  const std::vector<std::u16string> expected = {
      Failed(u"CEnumerationInterface,Initialize(),CoCreateInstance(),MMDeviceEnumerator,",
             kClassNotRegistered),
      Line(u"CCollectionInterface,Enumerate(),NULL,NULL,Enumeration interface is not initialized"),
      Line(u"CCollectionInterface,GetDevicesCount(),NULL,NULL,Enumeration interface is not initialized"),
      Line(u"CCollectionInterface,GetDefaultMultimediaDevice(),NULL,NULL,Enumeration interface is not "
           u"initialized"),
      Line(u"CCollectionInterface,SetDefaultMultimediaDevice(),NULL,NULL,Policy configuration interface is "
           u"not "
           u"initialized"),
      Line(u"CCollectionInterface,SetDefaultCommunicationsDevice(),NULL,NULL,Policy configuration interface "
           u"is not "
           u"initialized"),
  };
  EXPECT_EQ(enumeration.Log().Entries(), expected);
  EXPECT_EQ(enumeration.GetLastErrorText(), u"Policy configuration interface is not initialized");
}

TEST_F(EndpointsTest, WithoutTheVistaPolicyObjectQueriesWorkAndSwitchesFail) {
  audio.failures.FailNext("CreateObject:PolicyConfigVista", kClassNotRegistered);
  CEnumerationInterface enumeration(audio, system, system);
  CCollectionInterface& render = enumeration.RenderCollection();
  EXPECT_TRUE(render.Enumerate());
  EXPECT_EQ(render.Devices().size(), 3u);
  DEVICEINFO device;
  EXPECT_TRUE(render.GetDefaultMultimediaDevice(device));
  EXPECT_FALSE(render.SetDefaultMultimediaDevice(render.Devices()[0]));
  EXPECT_TRUE(audio.setCalls.empty());
  EXPECT_EQ(
      enumeration.Log().Entries().back(),
      Line(u"CCollectionInterface,SetDefaultMultimediaDevice(),NULL,NULL,Policy configuration interface is "
           u"not initialized"));
}

// ---------------------------------------------------------------- Enumerate

TEST_F(EndpointsTest, EnumerateListsTheActiveEndpointsInCollectionOrder) {
  CEnumerationInterface enumeration(audio, system, system);
  CCollectionInterface& render = enumeration.RenderCollection();
  CCollectionInterface& capture = enumeration.CaptureCollection();
  ASSERT_TRUE(render.Enumerate());
  ASSERT_TRUE(capture.Enumerate());
  EXPECT_EQ(
      render.GetDevices(),
      (std::vector<DEVICEINFO>{{u"Speakers", kSpeakers}, {u"Headset", kHeadset}, {u"Ακουστικά", kGreek}}));
  EXPECT_EQ(capture.GetDevices(),
            (std::vector<DEVICEINFO>{{u"Microphone", kMicrophone}, {u"Line In", kLineIn}}));
  EXPECT_EQ(render.GetDevicesCount(), 3);
  EXPECT_EQ(capture.GetDevicesCount(), 2);
  EXPECT_EQ(audio.stateMasks, (std::vector<std::uint32_t>{audio::kStateActive, audio::kStateActive}));
  for (std::uint32_t access : audio.storeAccess) EXPECT_EQ(access, audio::kStorageRead);
  EXPECT_TRUE(enumeration.Log().Entries().empty());
  // Only the two collections stay held beside the three top-level objects.
  EXPECT_EQ(audio.Live(), 5);
  EXPECT_EQ(audio.LiveOf(Kind::Collection), 2);
  EXPECT_EQ(audio.badHandles, 0);
}

TEST_F(EndpointsTest, TheCountIsAskedAgainBeforeEveryItem) {
  CEnumerationInterface enumeration(audio, system, system);
  ASSERT_TRUE(enumeration.RenderCollection().Enumerate());
  const std::vector<std::string> expected = {
      "EnumEndpoints:render", "CollectionCount", "CollectionItem", "EndpointId",      "OpenStore",
      "FriendlyName",         "ReleaseObject",   "ReleaseObject",  "CollectionCount", "CollectionItem",
      "EndpointId",           "OpenStore",       "FriendlyName",   "ReleaseObject",   "ReleaseObject",
      "CollectionCount",      "CollectionItem",  "EndpointId",     "OpenStore",       "FriendlyName",
      "ReleaseObject",        "ReleaseObject",   "CollectionCount"};
  const std::vector<std::string>& calls = audio.failures.Calls();
  EXPECT_EQ(std::vector<std::string>(calls.begin() + 3, calls.end()), expected);
}

TEST_F(EndpointsTest, EnumerationFailureOfOneDirectionLeavesTheOtherIntact) {
  audio.failures.FailNext("EnumEndpoints:capture", kUnspecified);
  CEnumerationInterface enumeration(audio, system, system);
  CCollectionInterface& render = enumeration.RenderCollection();
  CCollectionInterface& capture = enumeration.CaptureCollection();
  EXPECT_TRUE(render.Enumerate());
  EXPECT_FALSE(capture.Enumerate());
  EXPECT_EQ(render.Devices().size(), 3u);
  EXPECT_TRUE(capture.Devices().empty());
  EXPECT_FALSE(capture.HasCollection());
  EXPECT_EQ(static_cast<std::uint32_t>(capture.Result()), kUnspecified);
  EXPECT_EQ(enumeration.Log().Entries(),
            std::vector<std::u16string>{
                Failed(u"CCollectionInterface,Enumerate(),EnumAudioEndpoints(),NULL,", kUnspecified)});
  EXPECT_EQ(enumeration.GetLastErrorText(), system.Text(kUnspecified));
  // The failed direction has no collection to count; the other still counts.
  EXPECT_EQ(capture.GetDevicesCount(), -1);
  EXPECT_EQ(enumeration.GetLastErrorText(), u"Collection interface is not initialized");
  EXPECT_EQ(render.GetDevicesCount(), 3);
}

TEST_F(EndpointsTest, NoActiveEndpointsGiveAnEmptyListAndACountOfZero) {
  audio.capture.clear();
  CEnumerationInterface enumeration(audio, system, system);
  CCollectionInterface& capture = enumeration.CaptureCollection();
  EXPECT_TRUE(capture.Enumerate());
  EXPECT_TRUE(capture.Devices().empty());
  EXPECT_EQ(capture.GetDevicesCount(), 0);
  EXPECT_TRUE(enumeration.Log().Entries().empty());
  // The capture query then finds no default: the GetDefaultAudioEndpoint entry.
  DEVICEINFO device;
  EXPECT_FALSE(capture.GetDefaultMultimediaDevice(device));
  EXPECT_EQ(enumeration.Log().Entries(),
            std::vector<std::u16string>{
                Failed(u"CCollectionInterface,GetDefaultMultimediaDevice(),GetDefaultAudioEndpoint(),NULL,",
                       kElementNotFound)});
}

TEST_F(EndpointsTest, TwoEndpointsWithTheSameNameAreBothListedByTheirIds) {
  audio.render = {Endpoint(kSpeakers, u"Speakers"), Endpoint(kHeadset, u"Speakers")};
  CEnumerationInterface enumeration(audio, system, system);
  ASSERT_TRUE(enumeration.RenderCollection().Enumerate());
  EXPECT_EQ(enumeration.RenderCollection().Devices(),
            (std::vector<DEVICEINFO>{{u"Speakers", kSpeakers}, {u"Speakers", kHeadset}}));
}

TEST_F(EndpointsTest, ANameThatIsNotAWideStringGivesAnEmptyName) {
  audio.render = {FakeEndpoint{kSpeakers, PropertyValue{0, u""}},         // VT_EMPTY
                  FakeEndpoint{kHeadset, PropertyValue{19, u"ignored"}},  // VT_UI4
                  FakeEndpoint{kGreek, PropertyValue{audio::kTypeWideString, u""}}};
  CEnumerationInterface enumeration(audio, system, system);
  ASSERT_TRUE(enumeration.RenderCollection().Enumerate());
  EXPECT_EQ(enumeration.RenderCollection().Devices(),
            (std::vector<DEVICEINFO>{{u"", kSpeakers}, {u"", kHeadset}, {u"", kGreek}}));
  EXPECT_TRUE(enumeration.Log().Entries().empty());
}

TEST_F(EndpointsTest, AFailedItemStepEndsEnumerationKeepingTheRecordsSoFar) {
  struct Case {
    const char* failing;
    std::u16string entry;
  };
  const Case cases[] = {
      {"CollectionItem", u"CCollectionInterface,Enumerate(),Item(),NULL,"},
      {"EndpointId", u"CCollectionInterface,Enumerate(),GetId(),NULL,"},
      {"OpenStore", u"CCollectionInterface,Enumerate(),OpenPropertyStore(),NULL,"},
      {"FriendlyName", u"CCollectionInterface,Enumerate(),GetValue(),PHKEY_Device_FriendlyName,"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failing);
    FakeCoreAudio api;
    api.render = audio.render;
    api.failures.FailAfter(c.failing, 1, kElementNotFound);  // the second endpoint fails
    {
      CEnumerationInterface enumeration(api, system, system);
      CCollectionInterface& render = enumeration.RenderCollection();
      EXPECT_FALSE(render.Enumerate());
      EXPECT_EQ(render.Devices(), (std::vector<DEVICEINFO>{{u"Speakers", kSpeakers}}));
      EXPECT_EQ(enumeration.Log().Entries(), std::vector<std::u16string>{Failed(c.entry, kElementNotFound)});
      EXPECT_EQ(enumeration.GetLastErrorText(), system.Text(kElementNotFound));
      EXPECT_EQ(static_cast<std::uint32_t>(render.Result()), kElementNotFound);
      // Nothing of the failed endpoint stays held; the collection does.
      EXPECT_EQ(api.LiveOf(Kind::Device), 0);
      EXPECT_EQ(api.LiveOf(Kind::Store), 0);
      EXPECT_TRUE(render.HasCollection());
      EXPECT_EQ(render.GetDevicesCount(), 3);
    }
    EXPECT_EQ(api.Live(), 0);
    EXPECT_EQ(api.badReleases, 0);
  }
}

TEST_F(EndpointsTest, AFailedCountEndsTheEnumerationWithFalse) {
  audio.failures.FailAfter("CollectionCount", 2, kUnspecified);  // asked before the third endpoint
  CEnumerationInterface enumeration(audio, system, system);
  CCollectionInterface& render = enumeration.RenderCollection();
  EXPECT_FALSE(render.Enumerate());
  EXPECT_EQ(render.Devices(), (std::vector<DEVICEINFO>{{u"Speakers", kSpeakers}, {u"Headset", kHeadset}}));
  EXPECT_EQ(enumeration.Log().Entries(),
            std::vector<std::u16string>{
                Failed(u"CCollectionInterface,GetDevicesCount(),GetCount(),NULL,", kUnspecified)});
  EXPECT_EQ(enumeration.GetLastErrorText(), system.Text(kUnspecified));
  // Nothing of the failed item step is held.
  EXPECT_EQ(audio.LiveOf(Kind::Device), 0);
  EXPECT_EQ(audio.LiveOf(Kind::Store), 0);
}

// A call may succeed with a status other than S_OK (S_FALSE) and still hand
// out an object. The component takes only S_OK; the object that came with a
// rejected result is given back, never dropped.
TEST_F(EndpointsTest, AnObjectHandedOutWithARejectedSuccessCodeIsReleased) {
  constexpr std::uint32_t kFalse = 1;  // S_FALSE
  struct Case {
    const char* op;
    std::function<bool(CEnumerationInterface&)> run;
    const char16_t* entry;
    int liveAfter;  // the objects the component still holds after the rejection
  };
  const std::vector<Case> cases = {
      {"CreateObject:PolicyConfig7", [](CEnumerationInterface& e) { return e.Initialize(); },
       u"CEnumerationInterface,Initialize(),CoInitializeEx(),PolicyConfigClient,", 2},
      {"EnumEndpoints:render", [](CEnumerationInterface& e) { return e.RenderCollection().Enumerate(); },
       u"CCollectionInterface,Enumerate(),EnumAudioEndpoints(),NULL,", 3},
      {"CollectionItem", [](CEnumerationInterface& e) { return e.RenderCollection().Enumerate(); },
       u"CCollectionInterface,Enumerate(),Item(),NULL,", 4},
      {"OpenStore", [](CEnumerationInterface& e) { return e.RenderCollection().Enumerate(); },
       u"CCollectionInterface,Enumerate(),OpenPropertyStore(),NULL,", 4},
      {"DefaultEndpoint:render",
       [](CEnumerationInterface& e) {
         DEVICEINFO device;
         return e.RenderCollection().GetDefaultMultimediaDevice(device);
       },
       u"CCollectionInterface,GetDefaultMultimediaDevice(),GetDefaultAudioEndpoint(),NULL,", 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.op);
    FakeCoreAudio api;
    api.render = audio.render;
    api.defaults = audio.defaults;
    {
      CEnumerationInterface enumeration(api, system, system);
      api.failures.FailNext(c.op, kFalse);
      EXPECT_FALSE(c.run(enumeration));
      ASSERT_FALSE(enumeration.Log().Entries().empty());
      EXPECT_EQ(enumeration.Log().Entries().back().rfind(Line(c.entry), 0), 0u);
      // The enumerator, the policy objects it made and, once listed, the
      // collection; nothing of the rejected call.
      EXPECT_EQ(api.Live(), c.liveAfter);
      EXPECT_EQ(api.LiveOf(Kind::Device), 0);
      EXPECT_EQ(api.LiveOf(Kind::Store), 0);
    }
    EXPECT_EQ(api.Live(), 0);
    EXPECT_EQ(api.badReleases, 0);
  }
}

TEST_F(EndpointsTest, CountingANeverEnumeratedCollectionFails) {
  CEnumerationInterface enumeration(audio, system, system);
  EXPECT_EQ(enumeration.RenderCollection().GetDevicesCount(), -1);
  EXPECT_EQ(
      enumeration.Log().Entries(),
      std::vector<std::u16string>{
          Line(u"CCollectionInterface,GetDevicesCount(),NULL,NULL,Collection interface is not initialized")});
  EXPECT_EQ(enumeration.GetLastErrorText(), u"Collection interface is not initialized");
}

TEST_F(EndpointsTest, EnumeratingAgainReplacesTheListAndTheCollection) {
  CEnumerationInterface enumeration(audio, system, system);
  CCollectionInterface& render = enumeration.RenderCollection();
  ASSERT_TRUE(render.Enumerate());
  const AudioObject first = audio.LiveHandle(Kind::Collection);
  audio.render.erase(audio.render.begin() + 1);  // the headset is unplugged
  ASSERT_TRUE(render.Enumerate());
  EXPECT_EQ(render.Devices(), (std::vector<DEVICEINFO>{{u"Speakers", kSpeakers}, {u"Ακουστικά", kGreek}}));
  EXPECT_EQ(audio.LiveOf(Kind::Collection), 1);
  EXPECT_NE(audio.LiveHandle(Kind::Collection), first);
  EXPECT_EQ(render.GetDevicesCount(), 2);
  EXPECT_EQ(audio.badReleases, 0);
}

TEST_F(EndpointsTest, AFailedEnumerationEmptiesTheEarlierList) {
  CEnumerationInterface enumeration(audio, system, system);
  CCollectionInterface& render = enumeration.RenderCollection();
  ASSERT_TRUE(render.Enumerate());
  audio.failures.FailNext("EnumEndpoints:render", kUnspecified);
  EXPECT_FALSE(render.Enumerate());
  EXPECT_TRUE(render.Devices().empty());
  EXPECT_EQ(audio.LiveOf(Kind::Collection), 0);
}

// ---------------------------------------------------------------- default query

TEST_F(EndpointsTest, TheDefaultIsTheMultimediaEndpointOfTheDirection) {
  audio.defaults[{audio::kRender, audio::kRoleConsole}] = kSpeakers;
  audio.defaults[{audio::kRender, audio::kRoleCommunications}] = kGreek;
  CEnumerationInterface enumeration(audio, system, system);
  DEVICEINFO playback;
  DEVICEINFO recording;
  EXPECT_TRUE(enumeration.RenderCollection().GetDefaultMultimediaDevice(playback));
  EXPECT_TRUE(enumeration.CaptureCollection().GetDefaultMultimediaDevice(recording));
  EXPECT_EQ(playback, (DEVICEINFO{u"Headset", kHeadset}));
  EXPECT_EQ(recording, (DEVICEINFO{u"Microphone", kMicrophone}));
  EXPECT_TRUE(enumeration.Log().Entries().empty());
  EXPECT_EQ(audio.Live(), 3);  // device and store released
}

TEST_F(EndpointsTest, AFailedDefaultQueryKeepsWhatTheRecordHeldBeforeTheFailingStep) {
  struct Case {
    const char* failing;
    std::u16string entry;
    DEVICEINFO after;
  };
  const DEVICEINFO before{u"Old name", u"old-id"};
  const Case cases[] = {
      {"DefaultEndpoint:render",
       u"CCollectionInterface,GetDefaultMultimediaDevice(),GetDefaultAudioEndpoint(),NULL,", before},
      {"EndpointId", u"CCollectionInterface,GetDefaultMultimediaDevice(),GetId(),NULL,", before},
      {"OpenStore", u"CCollectionInterface,GetDefaultMultimediaDevice(),OpenPropertyStore(),NULL,",
       DEVICEINFO{u"Old name", kHeadset}},
      {"FriendlyName",
       u"CCollectionInterface,GetDefaultMultimediaDevice(),GetValue(),PKEY_Device_FriendlyName,",
       DEVICEINFO{u"Old name", kHeadset}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failing);
    FakeCoreAudio api;
    api.render = audio.render;
    api.defaults = audio.defaults;
    api.failures.FailNext(c.failing, kAccessDenied);
    {
      CEnumerationInterface enumeration(api, system, system);
      DEVICEINFO device = before;
      EXPECT_FALSE(enumeration.RenderCollection().GetDefaultMultimediaDevice(device));
      EXPECT_EQ(device, c.after);
      EXPECT_EQ(enumeration.Log().Entries(),
                std::vector<std::u16string>{Line(c.entry + system.Text(kAccessDenied))});
      EXPECT_EQ(enumeration.GetLastErrorText(), system.Text(kAccessDenied));
      EXPECT_EQ(api.LiveOf(Kind::Device), 0);
      EXPECT_EQ(api.LiveOf(Kind::Store), 0);
    }
    EXPECT_EQ(api.Live(), 0);
    EXPECT_EQ(api.badReleases, 0);
  }
}

// ---------------------------------------------------------------- switching

TEST_F(EndpointsTest, SwitchingCallsTheVistaPolicyObjectWithTheRole) {
  CEnumerationInterface enumeration(audio, system, system);
  const AudioObject vista = audio.LiveHandle(Kind::PolicyVista);
  CCollectionInterface& render = enumeration.RenderCollection();
  CCollectionInterface& capture = enumeration.CaptureCollection();
  EXPECT_TRUE(render.SetDefaultMultimediaDevice(DEVICEINFO{u"Speakers", kSpeakers}));
  EXPECT_TRUE(render.SetDefaultCommunicationsDevice(DEVICEINFO{u"Speakers", kSpeakers}));
  EXPECT_TRUE(capture.SetDefaultMultimediaDevice(DEVICEINFO{u"Line In", kLineIn}));
  ASSERT_EQ(audio.setCalls.size(), 3u);
  const std::pair<std::u16string, std::int32_t> expected[] = {{kSpeakers, audio::kRoleMultimedia},
                                                              {kSpeakers, audio::kRoleCommunications},
                                                              {kLineIn, audio::kRoleMultimedia}};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(audio.setCalls[i].policy, vista);
    EXPECT_EQ(audio.setCalls[i].id, expected[i].first);
    EXPECT_EQ(audio.setCalls[i].role, expected[i].second);
  }
  EXPECT_EQ(render.Result(), 0);
  EXPECT_TRUE(enumeration.Log().Entries().empty());
  // The query sees the change; the console default is untouched.
  DEVICEINFO device;
  EXPECT_TRUE(render.GetDefaultMultimediaDevice(device));
  EXPECT_EQ(device.id, kSpeakers);
  EXPECT_EQ(audio.defaults.count({audio::kRender, audio::kRoleConsole}), 0u);
}

TEST_F(EndpointsTest, FailedSwitchesAreRecordedAndTheLastErrorTextIsTheSecondFailures) {
  CEnumerationInterface enumeration(audio, system, system);
  CCollectionInterface& render = enumeration.RenderCollection();
  audio.failures.FailNext("SetDefaultEndpoint", kUnspecified);
  const DEVICEINFO gone{u"Gone", u"{0.0.0.00000000}.{99999999-9999-9999-9999-999999999999}"};
  EXPECT_FALSE(render.SetDefaultMultimediaDevice(gone));
  EXPECT_EQ(enumeration.GetLastErrorText(), system.Text(kUnspecified));
  EXPECT_FALSE(render.SetDefaultCommunicationsDevice(gone));  // the endpoint does not exist
  EXPECT_EQ(static_cast<std::uint32_t>(render.Result()), kElementNotFound);
  const std::vector<std::u16string> expected = {
      Failed(u"CCollectionInterface,SetDefaultMultimediaDevice(),SetDefaultEndpoint(),Multimedia,",
             kUnspecified),
      Failed(u"CCollectionInterface,SetDefaultCommunicationsDevice(),SetDefaultEndpoint(),Communications,",
             kElementNotFound),
  };
  EXPECT_EQ(enumeration.Log().Entries(), expected);
  EXPECT_EQ(enumeration.GetLastErrorText(), system.Text(kElementNotFound));
  // A later success records nothing and keeps the text.
  EXPECT_TRUE(render.SetDefaultMultimediaDevice(DEVICEINFO{u"Headset", kHeadset}));
  EXPECT_EQ(enumeration.Log().Entries().size(), 2u);
  EXPECT_EQ(enumeration.GetLastErrorText(), system.Text(kElementNotFound));
}

TEST_F(EndpointsTest, OnlyTheIdOfTheRecordIsUsedAndAnyCollectionCanSwitchAnyDirection) {
  CEnumerationInterface enumeration(audio, system, system);
  EXPECT_TRUE(enumeration.RenderCollection().SetDefaultMultimediaDevice(DEVICEINFO{u"", kMicrophone}));
  ASSERT_EQ(audio.setCalls.size(), 1u);
  EXPECT_EQ(audio.setCalls[0].id, kMicrophone);
}

// ---------------------------------------------------------------- ownership

TEST_F(EndpointsTest, DestructionReleasesEveryObjectOnce) {
  {
    CEnumerationInterface enumeration(audio, system, system);
    ASSERT_TRUE(enumeration.RenderCollection().Enumerate());
    ASSERT_TRUE(enumeration.CaptureCollection().Enumerate());
    DEVICEINFO device;
    ASSERT_TRUE(enumeration.RenderCollection().GetDefaultMultimediaDevice(device));
    EXPECT_EQ(audio.Live(), 5);
  }
  EXPECT_EQ(audio.Live(), 0);
  EXPECT_EQ(audio.badReleases, 0);
  EXPECT_EQ(audio.badHandles, 0);
}

TEST_F(EndpointsTest, ReleasingTheObjectsLeavesLaterOperationsToFailAsUninitialised) {
  CEnumerationInterface enumeration(audio, system, system);
  ASSERT_TRUE(enumeration.RenderCollection().Enumerate());
  enumeration.ReleaseObjects();
  EXPECT_EQ(audio.Live(), 0);
  EXPECT_FALSE(enumeration.HasEnumerator());
  EXPECT_FALSE(enumeration.RenderCollection().Enumerate());
  EXPECT_EQ(enumeration.GetLastErrorText(), u"Enumeration interface is not initialized");
  EXPECT_FALSE(enumeration.RenderCollection().SetDefaultMultimediaDevice(DEVICEINFO{u"Headset", kHeadset}));
  EXPECT_TRUE(audio.setCalls.empty());
  EXPECT_EQ(audio.badReleases, 0);
}

}  // namespace
}  // namespace varnolet
