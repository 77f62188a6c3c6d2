#include "link/device_link_engine.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "support/text.h"

#include "fakes/fake_link.h"
#include "fakes/fake_processes.h"
#include "fakes/fake_system.h"

namespace varnolet {
namespace {

using fakes::FakeClsid;
using fakes::FakeProcessTable;
using fakes::FakeSystem;
using fakes::FakeToken;
using fakes::FakeWmi;
using fakes::GuidOf;
using fakes::kStamp;
using Journal = std::vector<std::string>;

std::u16string L(std::u16string_view text, std::u16string_view extra = {}) {
  return std::u16string(kStamp) + u" :: " + std::u16string(text) + std::u16string(extra);
}

// The device lists and the announcements as the engine sees them; every
// action goes to the journal.
class FakeDevices final : public DeviceSwitch, public SwitchAnnouncer {
 public:
  std::span<const DEVICEINFO> Devices(bool render) const override { return render ? playback : recording; }
  std::int32_t SwitchTo(bool render, std::int32_t position) override {
    journal.push_back((render ? "render " : "capture ") + std::to_string(position));
    return render ? renderFailures : captureFailures;
  }
  std::u16string ErrorText() const override { return u"Element not found. "; }
  void MenuChanged() override { journal.push_back("menu"); }
  void Announce(std::u16string_view picture, const std::u16string& name) override {
    journal.push_back("picture " + Narrow(picture));
    journal.push_back("show " + Narrow(name));
  }
  void AnnounceBoth(const std::u16string& playbackName, const std::u16string& recordingName) override {
    journal.push_back("link " + Narrow(playbackName) + " | " + Narrow(recordingName));
  }

  std::int32_t setting = 1;
  std::vector<DEVICELINK> links;
  std::vector<DEVICEINFO> playback;
  std::vector<DEVICEINFO> recording;
  std::int32_t renderFailures = 0;
  std::int32_t captureFailures = 0;
  Journal journal;
};

constexpr char16_t kSpeakers[] = u"{11111111-0000-0000-0000-000000000001}";
constexpr char16_t kHeadset[] = u"{11111111-0000-0000-0000-000000000002}";
constexpr char16_t kMicrophone[] = u"{22222222-0000-0000-0000-000000000001}";
constexpr char16_t kHeadsetMic[] = u"{22222222-0000-0000-0000-000000000002}";
constexpr char16_t kUnplugged[] = u"{33333333-0000-0000-0000-000000000001}";
constexpr char16_t kPlayer[] = u"C:\\Program Files\\Player\\player.exe";
constexpr char16_t kRecorder[] = u"C:\\Tools\\Recorder\\rec.exe";

class DeviceLinkEngineTest : public testing::Test {
 protected:
  DeviceLinkEngineTest() {
    host.playback = {{u"Speakers", u"{0.0.0.00000000}." + std::u16string(kSpeakers)},
                     {u"Headset", u"{0.0.0.00000000}." + std::u16string(kHeadset)}};
    host.recording = {{u"Microphone", u"{0.0.1.00000000}." + std::u16string(kMicrophone)},
                      {u"Headset Mic", u"{0.0.1.00000000}." + std::u16string(kHeadsetMic)}};
    table.Add(4, u"C:\\Windows\\System32\\svchost.exe");
    table.Add(88, u"C:\\Windows\\explorer.exe");
  }

  void Link(const char16_t* endpoint, const char16_t* program) {
    host.links.push_back(DEVICELINK{GuidOf(endpoint), u"", program});
  }
  // A process starts: the system lists it last.
  void Start(std::uint32_t id, const char16_t* program) { table.Add(id, program); }
  bool Run() { return engine.DeviceLinkCallback(); }

  FakeSystem system;
  FakeProcessTable table{system};
  FakeToken token{system};
  FakeWmi wmi;
  CPrivileges privileges{token, system, system};
  CProcesses processes{wmi, table, privileges, system, system};
  FakeClsid clsid;
  ActivityLog log{system, system};
  FakeDevices host;
  CDeviceLinkEngine engine{host.setting, host.links, host, host, processes, clsid, log};
};

TEST_F(DeviceLinkEngineTest, APlaybackLinkSwitchesAndShowsThePlaybackPicture) {
  Link(kHeadset, kPlayer);
  Start(100, kPlayer);
  EXPECT_TRUE(Run());
  EXPECT_EQ(host.journal, (Journal{"render 1", "menu", "picture IMG_3", "show Headset"}));
  EXPECT_TRUE(log.Lines().empty());        // the switching routine writes the lines of a switch
  EXPECT_TRUE(token.adjustments.empty());  // no debug privilege
}

TEST_F(DeviceLinkEngineTest, ARecordingLinkSwitchesAndShowsTheRecordingPicture) {
  Link(kHeadsetMic, kRecorder);
  Start(100, kRecorder);
  EXPECT_TRUE(Run());
  EXPECT_EQ(host.journal, (Journal{"capture 1", "menu", "picture IMG_4", "show Headset Mic"}));
}

TEST_F(DeviceLinkEngineTest, TwoLinksSwitchBothAndShowOneWindowPlaybackFirst) {
  Link(kMicrophone, kRecorder);  // the recording link comes first in the list
  Link(kSpeakers, kRecorder);
  Start(100, kRecorder);
  EXPECT_TRUE(Run());
  EXPECT_EQ(host.journal, (Journal{"render 0", "capture 0", "menu", "link Speakers | Microphone"}));
  EXPECT_TRUE(log.Lines().empty());
}

TEST_F(DeviceLinkEngineTest, AnUnpluggedEndpointDoesNothing) {
  Link(kUnplugged, kPlayer);
  Start(100, kPlayer);
  EXPECT_TRUE(Run());
  EXPECT_TRUE(host.journal.empty());
  EXPECT_TRUE(log.Lines().empty());
}

TEST_F(DeviceLinkEngineTest, APathDifferingInCaseDoesNotMatch) {
  Link(kHeadset, u"C:\\Program Files\\Player\\Player.exe");
  Start(100, kPlayer);
  EXPECT_TRUE(Run());
  EXPECT_TRUE(host.journal.empty());
  EXPECT_TRUE(clsid.texts.empty());  // no match, nothing converted
}

TEST_F(DeviceLinkEngineTest, OfTwoProgramsInOneBatchOnlyTheLastListedCounts) {
  Link(kHeadset, kPlayer);
  Start(100, kPlayer);
  Start(104, u"C:\\Windows\\notepad.exe");
  EXPECT_TRUE(Run());
  EXPECT_TRUE(host.journal.empty());

  table.processes.clear();
  Start(104, u"C:\\Windows\\notepad.exe");
  Start(100, kPlayer);
  EXPECT_TRUE(Run());
  EXPECT_EQ(host.journal, (Journal{"render 1", "menu", "picture IMG_3", "show Headset"}));
}

TEST_F(DeviceLinkEngineTest, ASecondStartSwitchesAgain) {
  Link(kHeadset, kPlayer);
  Start(100, kPlayer);
  EXPECT_TRUE(Run());
  table.processes.pop_back();  // the program ends: nothing happens
  Start(140, kPlayer);         // and starts again
  EXPECT_TRUE(Run());
  EXPECT_EQ(host.journal, (Journal{"render 1", "menu", "picture IMG_3", "show Headset", "render 1", "menu",
                                   "picture IMG_3", "show Headset"}));
}

TEST_F(DeviceLinkEngineTest, TheSameProcessListedLastAgainSwitchesOnce) {
  Link(kHeadset, kPlayer);
  Start(100, kPlayer);
  EXPECT_TRUE(Run());
  // An elevated program starts that cannot be opened: the player is still the last entry.
  table.processes.push_back({300, u"setup.exe", u"C:\\setup.exe", false});
  EXPECT_TRUE(Run());
  EXPECT_TRUE(Run());
  EXPECT_EQ(host.journal, (Journal{"render 1", "menu", "picture IMG_3", "show Headset"}));
}

// Process identifiers are reused by the system: a start is told from a
// repeated event by the identifier together with the program's path, and an
// identifier is forgotten as soon as a snapshot no longer lists it.
struct ProcessIdentityCase {
  const char* name;
  // One snapshot per event: the processes started since the previous event
  // (listed last) and the identifiers that ended before it.
  struct Event {
    std::vector<std::uint32_t> ended;
    std::vector<std::pair<std::uint32_t, const char16_t*>> started;
    bool startedOpens = true;
    bool nothingOpens = false;  // a snapshot in which no process could be opened
  };
  std::vector<Event> events;
  Journal journal;
};

class ProcessIdentityTest : public DeviceLinkEngineTest,
                            public testing::WithParamInterface<ProcessIdentityCase> {};

TEST_P(ProcessIdentityTest, SwitchesOncePerStart) {
  const ProcessIdentityCase& c = GetParam();
  Link(kHeadset, kPlayer);
  Link(kHeadsetMic, kRecorder);
  for (const ProcessIdentityCase::Event& event : c.events) {
    for (const std::uint32_t id : event.ended)
      std::erase_if(table.processes, [id](const FakeProcessTable::Process& p) { return p.id == id; });
    for (const auto& [id, program] : event.started) {
      Start(id, program);
      table.processes.back().opens = event.startedOpens;
    }
    const std::vector<FakeProcessTable::Process> listed = table.processes;
    if (event.nothingOpens)
      for (auto& process : table.processes) process.opens = false;
    EXPECT_TRUE(Run());
    table.processes = listed;
  }
  EXPECT_EQ(host.journal, c.journal);
}

const Journal kPlayerSwitch = {"render 1", "menu", "picture IMG_3", "show Headset"};
const Journal kRecorderSwitch = {"capture 1", "menu", "picture IMG_4", "show Headset Mic"};

Journal Then(Journal first, const Journal& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

constexpr char16_t kNotepad[] = u"C:\\Windows\\notepad.exe";

INSTANTIATE_TEST_SUITE_P(
    Cases, ProcessIdentityTest,
    testing::Values(
        // The player ends and the recorder receives its identifier.
        ProcessIdentityCase{"AnotherLinkedProgramReusingTheId",
                            {{{}, {{100, kPlayer}}}, {{100}, {{100, kRecorder}}}},
                            Then(kPlayerSwitch, kRecorderSwitch)},
        ProcessIdentityCase{"TheSameProgramUnderANewId",
                            {{{}, {{100, kPlayer}}}, {{100}, {{140, kPlayer}}}},
                            Then(kPlayerSwitch, kPlayerSwitch)},
        // The player ends, an unlinked program starts, and the player starts
        // again with its old identifier.
        ProcessIdentityCase{"TheSameProgramUnderItsOldIdAfterItEnded",
                            {{{}, {{100, kPlayer}}}, {{100}, {{104, kNotepad}}}, {{104}, {{100, kPlayer}}}},
                            Then(kPlayerSwitch, kPlayerSwitch)},
        // A snapshot in which no process could be opened does not list the
        // player either.
        ProcessIdentityCase{"TheSameProgramUnderItsOldIdAfterAnEmptySnapshot",
                            {{{}, {{100, kPlayer}}}, {{100}, {}, true, true}, {{}, {{100, kPlayer}}}},
                            Then(kPlayerSwitch, kPlayerSwitch)},
        // A program that cannot be opened starts: the player is still listed last.
        ProcessIdentityCase{"ARepeatedEventForTheSameRunningProcess",
                            {{{}, {{100, kPlayer}}}, {{}, {{300, u"C:\\setup.exe"}}, false}, {{}, {}}},
                            kPlayerSwitch}),
    [](const testing::TestParamInfo<ProcessIdentityCase>& row) { return std::string(row.param.name); });

TEST_F(DeviceLinkEngineTest, AFailedSwitchOfOneLinkIsLoggedAndNotAnnounced) {
  Link(kHeadset, kPlayer);
  Start(100, kPlayer);
  host.renderFailures = 2;
  EXPECT_TRUE(Run());
  EXPECT_EQ(host.journal, (Journal{"render 1"}));
  EXPECT_EQ(log.Lines(),
            std::vector<std::u16string>{L(u"  -Could not change render audio endpoint device (Device Link), ",
                                          u"Element not found. ")});
}

struct TwoLinkFailure {
  const char* name;
  std::int32_t renderFailures;
  std::int32_t captureFailures;
  Journal journal;
  std::vector<std::u16string> lines;
};

class TwoLinkFailureTest : public DeviceLinkEngineTest, public testing::WithParamInterface<TwoLinkFailure> {};

TEST_P(TwoLinkFailureTest, AnnouncesOnlyWhatSwitched) {
  const TwoLinkFailure& c = GetParam();
  Link(kHeadset, kRecorder);
  Link(kHeadsetMic, kRecorder);
  Start(100, kRecorder);
  host.renderFailures = c.renderFailures;
  host.captureFailures = c.captureFailures;
  EXPECT_TRUE(Run());
  EXPECT_EQ(host.journal, c.journal);
  std::vector<std::u16string> lines;
  for (const std::u16string& line : c.lines) lines.push_back(L(line, u"Element not found. "));
  EXPECT_EQ(log.Lines(), lines);
}

constexpr char16_t kRenderFailed[] = u"  -Could not change render audio endpoint device (Device Link), ";
constexpr char16_t kCaptureFailed[] = u"  -Could not change capture audio endpoint device (Device Link), ";

INSTANTIATE_TEST_SUITE_P(
    Cases, TwoLinkFailureTest,
    testing::Values(TwoLinkFailure{"Playback",
                                   1,
                                   0,
                                   {"render 1", "capture 1", "menu", "picture IMG_4", "show Headset Mic"},
                                   {kRenderFailed}},
                    TwoLinkFailure{"Recording",
                                   0,
                                   1,
                                   {"render 1", "capture 1", "menu", "picture IMG_3", "show Headset"},
                                   {kCaptureFailed}},
                    TwoLinkFailure{
                        "Both", 1, 2, {"render 1", "capture 1", "menu"}, {kRenderFailed, kCaptureFailed}}),
    [](const testing::TestParamInfo<TwoLinkFailure>& row) { return std::string(row.param.name); });

TEST_F(DeviceLinkEngineTest, OfTwoLinkedEndpointsOnlyThePresentOneSwitches) {
  Link(kUnplugged, kRecorder);
  Link(kHeadsetMic, kRecorder);
  Start(100, kRecorder);
  EXPECT_TRUE(Run());
  EXPECT_EQ(host.journal, (Journal{"capture 1", "menu", "picture IMG_4", "show Headset Mic"}));
}

TEST_F(DeviceLinkEngineTest, TwoPlaybackLinksSwitchTheLaterOne) {
  Link(kHeadset, kPlayer);
  Link(kSpeakers, kPlayer);
  Start(100, kPlayer);
  EXPECT_TRUE(Run());
  EXPECT_EQ(host.journal, (Journal{"render 0", "menu", "picture IMG_3", "show Speakers"}));
}

TEST_F(DeviceLinkEngineTest, ThreeMatchesDoNothing) {
  Link(kHeadset, kPlayer);
  Link(kHeadsetMic, kPlayer);
  Link(kSpeakers, kPlayer);
  Start(100, kPlayer);
  EXPECT_TRUE(Run());
  EXPECT_TRUE(host.journal.empty());
}

// A link kept for an unplugged device is not counted: the two present links act.
TEST_F(DeviceLinkEngineTest, LinksOfAbsentDevicesAreNotCounted) {
  Link(kUnplugged, kPlayer);
  Link(kHeadset, kPlayer);
  Link(kHeadsetMic, kPlayer);
  Start(100, kPlayer);
  EXPECT_TRUE(Run());
  EXPECT_EQ(host.journal, (Journal{"render 1", "capture 1", "menu", "link Headset | Headset Mic"}));
}

TEST_F(DeviceLinkEngineTest, NothingHappensWhileDeviceLinkIsOff) {
  host.setting = 0;
  Link(kHeadset, kPlayer);
  Start(100, kPlayer);
  EXPECT_TRUE(Run());
  EXPECT_TRUE(host.journal.empty());
  EXPECT_TRUE(table.bufferSizes.empty());  // not even a snapshot
}

TEST_F(DeviceLinkEngineTest, AnEmptySnapshotDoesNothing) {
  Link(kHeadset, kPlayer);
  for (auto& process : table.processes) process.opens = false;
  EXPECT_TRUE(Run());
  EXPECT_TRUE(host.journal.empty());
  EXPECT_TRUE(log.Lines().empty());
}

TEST_F(DeviceLinkEngineTest, AFailedSnapshotIsLogged) {
  Link(kHeadset, kPlayer);
  Start(100, kPlayer);
  table.failures.FailNext("ListProcessIds", 5);
  EXPECT_FALSE(Run());
  EXPECT_EQ(log.Lines(),
            std::vector<std::u16string>{L(u"  -Could not enumerate processes, ", system.Text(5))});
  EXPECT_TRUE(host.journal.empty());
}

TEST_F(DeviceLinkEngineTest, AnUnreadableProcessDoesNotLoseTheRun) {
  Link(kHeadset, kPlayer);
  table.processes.push_back({50, u"ending.exe", u"C:\\ending.exe", true, false});
  Start(100, kPlayer);
  EXPECT_TRUE(Run());
  EXPECT_EQ(host.journal, (Journal{"render 1", "menu", "picture IMG_3", "show Headset"}));
}

TEST_F(DeviceLinkEngineTest, AnIdentifierThatDoesNotConvertIsLoggedAndSkipped) {
  host.playback.insert(host.playback.begin(), DEVICEINFO{u"Odd", u"{0.0.0.00000000}.not-a-guid"});
  Link(kHeadset, kPlayer);
  Start(100, kPlayer);
  EXPECT_TRUE(Run());
  EXPECT_EQ(host.journal, (Journal{"render 2", "menu", "picture IMG_3", "show Headset"}));
  // Once for the playback list; the recording list has no such identifier.
  EXPECT_EQ(log.Lines(),
            std::vector<std::u16string>{
                L(u"  -Could not convert CLSID string, The class string was improperly formatted")});
}

TEST_F(DeviceLinkEngineTest, ALinkWithTheNullGuidMatchesNoFailedConversion) {
  host.playback = {{u"Broken", u""}};
  host.links.push_back(DEVICELINK{ComGuid{}, u"", kPlayer});
  Start(100, kPlayer);
  EXPECT_TRUE(Run());
  EXPECT_TRUE(host.journal.empty());
}

TEST_F(DeviceLinkEngineTest, RunsOncePerDeliveredBatchThroughTheSubscription) {
  Link(kHeadset, kPlayer);
  processes.SetCallback([this] { return engine.DeviceLinkCallback(); });
  ASSERT_TRUE(processes.Notify());
  Start(100, kPlayer);
  wmi.Deliver(3);
  EXPECT_EQ(host.journal, (Journal{"render 1", "menu", "picture IMG_3", "show Headset"}));
}

}  // namespace
}  // namespace varnolet
