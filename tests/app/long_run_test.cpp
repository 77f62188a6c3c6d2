// Weeks of use in a few seconds: the whole main form on fakes through a long
// schedule of typing, hotkeys, menu switches, notifications, Device Link
// events and Options dialogs. Nothing the program holds may grow with use:
// afterwards every COM object, handle, key, library and subscription the
// fakes hand out is back to its count before the run.
//
// The form is driven only as its window would drive it: raw input, the tray
// menu's handlers, the timers, the process watcher's events and the Options
// dialog's handlers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "fakes/form_rig.h"
#include "input/input_test_files.h"

namespace varnolet {
namespace {

using fakes::Endpoint;
using fakes::FormRig;
using fakes::GuidOf;
using fakes::KeyboardRecord;
using C = OptionsControl;

const std::u16string kKey(kSettingsKey);
const std::u16string kHotkeyFile = std::u16string(fakes::kDataDir) + u"\\hmap.dat";
const std::u16string kNotepad = u"C:\\windows\\notepad.exe";
const std::u16string kPlayer = u"C:\\Program Files\\Player\\player.exe";

const std::u16string kHeadsetGuid = u"{11111111-1111-1111-1111-111111111111}";
const std::u16string kSpeakersGuid = u"{22222222-2222-2222-2222-222222222222}";
const std::u16string kMicrophoneGuid = u"{33333333-3333-3333-3333-333333333333}";
const std::u16string kLineInGuid = u"{44444444-4444-4444-4444-444444444444}";
const std::u16string kHeadset = u"{0.0.0.00000000}." + kHeadsetGuid;
const std::u16string kSpeakers = u"{0.0.0.00000000}." + kSpeakersGuid;
const std::u16string kMicrophone = u"{0.0.1.00000000}." + kMicrophoneGuid;
const std::u16string kLineIn = u"{0.0.1.00000000}." + kLineInGuid;

struct Key {
  std::uint16_t make;
  std::uint16_t virtualKey;
};
constexpr Key kCtrl{0x1D, 0x11}, kAlt{0x38, 0x12};

// The four device hotkeys: Ctrl+Alt+1 to 4, at key positions 13 to 16.
struct DeviceHotkey {
  Key key;
  int position;
  bool render;
  const std::u16string* id;
};
const DeviceHotkey kDeviceHotkeys[] = {
    {{0x02, '1'}, 13, true, &kHeadset},
    {{0x03, '2'}, 14, true, &kSpeakers},
    {{0x04, '3'}, 15, false, &kMicrophone},
    {{0x05, '4'}, 16, false, &kLineIn},
};

// Letters typed between the hotkeys (no modifier held: they match nothing).
constexpr Key kLetters[] = {{0x1E, 'A'}, {0x1F, 'S'}, {0x20, 'D'}, {0x21, 'F'}, {0x22, 'G'},
                            {0x23, 'H'}, {0x24, 'J'}, {0x26, 'L'}, {0x12, 'E'}, {0x13, 'R'}};
// The monitor's key sequence.
constexpr Key kMonitorSequence[] = {{0x10, 'Q'}, {0x2D, 'X'}, {0x11, 'W'}, {0x14, 'T'},
                                    {0x2C, 'Z'}, {0x25, 'K'}, {0x19, 'P'}, {0x2F, 'V'}};

// ---- the schedule: 100 blocks, each opened by one Options dialog
constexpr int kBlocks = 100;
constexpr int kSwitchesPerBlock = 100;  // half by the tray menu, half by hotkey
constexpr int kKeyEventsPerBlock = 1000;
constexpr int kLinkEventsPerBlock = 10;
constexpr int kFadeMs = 10000;  // longer than any notification stays

// Notifications are on in every fifth block.
bool NotificationsOn(int block) {
  return block % 5 == 0;
}
// Device Link is off in every twentieth block from the twentieth; the block
// after one gets its events too.
bool LinkOn(int block) {
  return block <= 0 || block % 20 != 0;
}
int LinkEvents(int block) {
  if (!LinkOn(block)) return 0;
  return LinkOn(block - 1) ? kLinkEventsPerBlock : 2 * kLinkEventsPerBlock;
}
// The role cycles through both, multimedia, communications.
std::int32_t RoleOf(int block) {
  const std::int32_t roles[] = {device_role::Both, device_role::Multimedia, device_role::Communications};
  return roles[block % 3];
}
// English and Greek take turns every ten blocks.
int LanguageOf(int block) {
  return (block / 10) % 2;
}

// Every count the fakes keep of what the program holds, by name.
using Counts = std::vector<std::pair<std::string, int>>;

// Everything the run held goes with the form and the process-wide objects.
void ExpectAllGoesWithTheForm(FormRig& rig) {
  rig.form.reset();
  rig.objects.reset();
  EXPECT_EQ(rig.audio.Live(), 0);
  EXPECT_EQ(rig.files.OpenHandleCount(), 0);
  EXPECT_EQ(rig.registry.OpenHandleCount(), 0);
  EXPECT_EQ(rig.processes.OpenHandles(), 0);
  EXPECT_EQ(rig.token.OpenHandles(), 0);
  EXPECT_EQ(rig.wmi.LiveObjects(), 0);
  EXPECT_EQ(rig.wmi.ActiveSubscriptions(), 0);
  EXPECT_EQ(rig.wmi.apartmentDepth, 1);  // the program's own
  EXPECT_TRUE(rig.wmi.misuse.empty());
}

Counts Held(const FormRig& rig) {
  using Kind = fakes::FakeCoreAudio::Kind;
  return {
      {"audio objects", rig.audio.Live()},
      {"audio enumerators", rig.audio.LiveOf(Kind::Enumerator)},
      {"audio policy objects", rig.audio.LiveOf(Kind::PolicyVista) + rig.audio.LiveOf(Kind::Policy7)},
      {"audio collections", rig.audio.LiveOf(Kind::Collection)},
      {"audio devices", rig.audio.LiveOf(Kind::Device)},
      {"audio property stores", rig.audio.LiveOf(Kind::Store)},
      {"audio double releases", rig.audio.badReleases},
      {"audio calls on dead objects", rig.audio.badHandles},
      {"open files", rig.files.OpenHandleCount()},
      {"open registry keys", rig.registry.OpenHandleCount()},
      {"open process handles", rig.processes.OpenHandles()},
      {"open token handles", rig.token.OpenHandles()},
      {"WMI objects", rig.wmi.LiveObjects()},
      {"WMI event sinks", rig.wmi.LiveSinks()},
      {"WMI subscriptions", rig.wmi.ActiveSubscriptions()},
      {"WMI misuse", static_cast<int>(rig.wmi.misuse.size())},
      {"COM apartment depth", rig.wmi.apartmentDepth},
      {"language libraries", rig.languages.Loaded()},
      {"raw input device classes", static_cast<int>(rig.rawInput.Registered().size())},
      {"pending raw input records", rig.rawInput.Pending()},
      {"notification window shown", rig.view.single.visible ? 1 : 0},
      {"notification timer", rig.view.single.timerRunning ? 1 : 0},
      {"link window shown", rig.view.link.visible ? 1 : 0},
      {"link timer", rig.view.link.timerRunning ? 1 : 0},
      {"Options dialog shown", rig.optionsView.dialogVisible ? 1 : 0},
      {"Options timer", rig.optionsView.timerRunning ? 1 : 0},
      {"key sequence timer", rig.view.timerDRunning ? 1 : 0},
  };
}

// A main form on fakes with four devices, four device hotkeys, two linked
// programs and the helpers that act as the user and the system.
class Session {
 public:
  Session() {
    rig.registry.SetDword(kKey, u"Splash", 1);  // no splash: the icon is there at once
    rig.registry.SetDword(kKey, u"DeviceLink", 1);
    rig.registry.SetDword(kKey, u"Notifications", 1);
    rig.registry.SetDword(kKey, u"Role", static_cast<std::uint32_t>(device_role::Both));
    // The Run key is there, as on every system: start-up deletes the value
    // under it, and the registry object keeps the last key it opened itself
    // until the next one, so one key is held before the run and after it.
    rig.registry.AddKey(std::u16string(kRunKey));

    std::vector<std::uint8_t> map = test_files::Header(4);
    for (const DeviceHotkey& hotkey : kDeviceHotkeys)
      test_files::Record(map, {hotkey.position}, 1, 0, 1, test_files::Narrow(*hotkey.id));
    rig.files.AddFile(kHotkeyFile, map);
    hotkeyMap = map;

    // The Greek library: the English table marked, so that its captions tell.
    std::vector<std::u16string> greek = FormRig::EnglishStrings();
    for (std::u16string& text : greek) text = u"Ελ " + text;
    rig.languages.Add(std::u16string(fakes::kAppDir) + u"\\Language\\Greek.dll", greek);

    rig.audio.render = {Endpoint(kHeadset, u"Headset"), Endpoint(kSpeakers, u"Speakers")};
    rig.audio.capture = {Endpoint(kMicrophone, u"Microphone"), Endpoint(kLineIn, u"Line In")};
    for (std::int32_t role : {audio::kRoleMultimedia, audio::kRoleCommunications}) {
      rig.audio.defaults[{audio::kRender, role}] = kSpeakers;
      rig.audio.defaults[{audio::kCapture, role}] = kLineIn;
    }
    expectedDefaults = rig.audio.defaults;

    WriteLinks({{GuidOf(kHeadsetGuid), u"Notepad", kNotepad},
                {GuidOf(kMicrophoneGuid), u"Notepad", kNotepad},
                {GuidOf(kSpeakersGuid), u"Player", kPlayer},
                {GuidOf(kLineInGuid), u"Player", kPlayer}});
    // The linked programs, with the product names the dialog reads from them.
    for (const auto& [path, product] : {std::pair{kNotepad, u"Notepad"}, std::pair{kPlayer, u"Player"}}) {
      rig.files.AddFile(path, std::string("MZ"));
      rig.files.SetVersionResource(
          path, {{0x0409, 0x04B0}, {{u"\\StringFileInfo\\040904b0\\ProductName", product}}});
    }
    rig.processes.Add(4, u"C:\\windows\\system32\\services.exe");
    rig.processes.Add(5, u"C:\\windows\\explorer.exe");
  }

  void WriteLinks(const std::vector<DEVICELINK>& links) {
    rig.files.AddFolder(fakes::kDataDir);
    ActivityLog log(rig.system, rig.system);
    CDrive drive(rig.files, rig.system, rig.system);
    DeviceLinkFile file(log, drive, DeviceLinkFile::MapPath(fakes::kAppData));
    ASSERT_TRUE(file.SaveDeviceLinks(links));
  }

  TNotificationsForm& form() { return *rig.form; }

  // ---- the keyboard, as the window's WM_INPUT handler passes it on
  void Event(Key key, std::uint32_t message) {
    const std::uintptr_t handle = rig.rawInput.Deliver(KeyboardRecord(key.make, 0, key.virtualKey, message));
    form().OnRawInput(handle);
    rig.rawInput.Retire(handle);  // the system frees the record once the message is handled
    ++keyEvents;
  }
  void Press(Key key) {
    Event(key, fakes::kKeyDown);
    Event(key, fakes::kKeyUp);
  }
  // A pause in the typing: TimerD fires when it runs.
  void Pause() {
    if (rig.view.timerDRunning) form().TimerDTimer();
  }
  void Type(int presses) {
    for (int i = 0; i < presses; ++i)
      Press(kLetters[static_cast<std::size_t>(letter++) % std::size(kLetters)]);
    Pause();
  }
  void TypeMonitorSequence() {
    Pause();
    for (Key key : kMonitorSequence) Press(key);
    Pause();
  }

  // ---- what a switch should leave as the defaults
  void Switched(bool render, const std::u16string& id) {
    const std::int32_t role = currentRole;
    const std::int32_t flow = render ? audio::kRender : audio::kCapture;
    if (role % 10 == 1) expectedDefaults[{flow, audio::kRoleMultimedia}] = id;
    if (role / 10 == 1) expectedDefaults[{flow, audio::kRoleCommunications}] = id;
    expectedSetCalls += role == device_role::Both ? 2 : 1;
    ++switches;
  }

  // ---- the notification windows' timers run until the window is gone
  void FadeSingle() {
    fakes::FakeNotificationView& window = rig.view.single;
    if (!window.visible) return;
    ++notificationsShown;
    window.RunUntil(window.now + kFadeMs, [this] { form().TimerNTimer(); });
    EXPECT_FALSE(window.visible);
  }
  void FadeLink() {
    fakes::FakeNotificationView& window = rig.view.link;
    if (!window.visible) return;
    ++linkNotificationsShown;
    window.RunUntil(window.now + kFadeMs, [this] { form().LinkTimerNTimer(); });
    EXPECT_FALSE(window.visible);
  }

  // ---- one of each of the user's actions
  void OptionsCycle(int block) {
    form().MenuOptionsClick();
    ASSERT_TRUE(rig.optionsView.dialogVisible);
    rig.options.CategorySelected(block % 5);
    rig.options.CheckClicked(C::checkNotifications, NotificationsOn(block));
    rig.options.CheckClicked(C::checkDeviceLink, LinkOn(block));
    rig.options.CheckClicked(C::checkHotkeys, true);
    const std::int32_t role = RoleOf(block);
    rig.options.CheckClicked(C::checkMultimedia, role % 10 == 1);
    rig.options.CheckClicked(C::checkCommunications, role / 10 == 1);
    rig.options.ListSelected(C::comboLanguage, LanguageOf(block));
    // One playback device's link is cleared and made again with its program.
    const int device = block % 2;
    rig.options.CategorySelected(2);
    rig.options.ListSelected(C::comboLinkPlaybackDevices, device);
    rig.options.ButtonClicked(C::BtnClearRenderLink);
    rig.optionsView.picks = {device == 0 ? kNotepad : kPlayer};
    rig.options.ButtonClicked(C::BtnSelectPlaybackDevicesProgram);
    rig.options.CategorySelected(block % 5);
    rig.options.ButtonClicked(C::BtnOK);
    currentRole = role;
    ++optionsConfirmed;
  }

  void MenuSwitch(bool playback) {
    form().TrayMouseDown();
    const std::vector<MenuItemModel>& items = playback ? rig.view.playbackItems : rig.view.recordingItems;
    // The default's item is checked and disabled: the user picks another.
    const MenuItemModel* pick = nullptr;
    for (const MenuItemModel& item : items)
      if (item.enabled && !item.checked) pick = &item;
    if (pick == nullptr) {
      ++menuMisses;
      return;
    }
    const int tag = pick->tag;
    const std::u16string& id =
        (playback ? rig.audio.render : rig.audio.capture)[static_cast<std::size_t>(tag)].id;
    const std::size_t balloonsBefore = rig.view.balloons.size();
    if (playback)
      form().PlaybackItemClick(tag);
    else
      form().RecordingItemClick(tag);
    Switched(playback, id);
    if (rig.view.balloons.size() > balloonsBefore) ++balloonsShown;
  }

  void HotkeySwitch(const DeviceHotkey& hotkey) {
    Event(kCtrl, fakes::kKeyDown);
    Event(kAlt, fakes::kKeyDown);
    Event(hotkey.key, fakes::kKeyDown);
    Event(hotkey.key, fakes::kKeyUp);
    Event(kAlt, fakes::kKeyUp);
    Event(kCtrl, fakes::kKeyUp);
    Switched(hotkey.render, *hotkey.id);
    FadeSingle();
  }

  // A linked program starts: it is listed last when the watcher's event comes.
  void LinkEvent() {
    const bool notepad = linkEvents % 2 == 0;
    rig.processes.processes.pop_back();
    rig.processes.Add(nextProcessId++, notepad ? kNotepad : kPlayer);
    rig.wmi.Deliver(1);
    ++linkEvents;
    Switched(true, notepad ? kHeadset : kSpeakers);
    Switched(false, notepad ? kMicrophone : kLineIn);
    FadeLink();
  }

  // The fakes record every call for the tests that read them; a long run
  // counts what it needs and drops the records after each block, so that
  // they do not slow it down.
  std::vector<fakes::FailureScript*> Scripts() {
    return {&rig.audio.failures,     &rig.files.failures, &rig.registry.failures, &rig.rawInput.failures,
            &rig.processes.failures, &rig.token.failures, &rig.wmi.failures,      &rig.clsid.failures};
  }
  void ForgetRecords() {
    setCalls += rig.audio.setCalls.size();
    balloons += rig.view.balloons.size();
    for (fakes::FailureScript* script : Scripts()) script->ForgetCalls();
    rig.audio.setCalls.clear();
    rig.audio.stateMasks.clear();
    rig.audio.storeAccess.clear();
    rig.view.balloons.clear();
    rig.view.events.clear();
    rig.view.single.calls.clear();
    rig.view.link.calls.clear();
    rig.wmi.calls.clear();
    rig.wmi.released.clear();
    rig.system.asked.clear();
    rig.processes.bufferSizes.clear();
    rig.processes.openAccess.clear();
    rig.rawInput.calls.clear();
    rig.clsid.texts.clear();
    rig.optionsView.pickerTitles.clear();
    rig.optionsView.pickerFilters.clear();
  }

  // A little of everything, with the settings of the given block.
  void Round(int block) {
    OptionsCycle(block);
    MenuSwitch(true);
    MenuSwitch(false);
    for (const DeviceHotkey& hotkey : kDeviceHotkeys) HotkeySwitch(hotkey);
    Type(5);
    LinkEvent();
    LinkEvent();
    TypeMonitorSequence();
  }

  void Block(int block) {
    OptionsCycle(block);
    const int hotkeySwitches = kSwitchesPerBlock / 2;
    const int links = LinkEvents(block);
    // The letters fill the block's key events up to its share.
    const int fillerPresses =
        (kKeyEventsPerBlock - hotkeySwitches * 6 - 2 * static_cast<int>(std::size(kMonitorSequence))) / 2;
    for (int i = 0; i < hotkeySwitches; ++i) {
      MenuSwitch(i % 2 == 0);
      HotkeySwitch(kDeviceHotkeys[static_cast<std::size_t>(i + block) % std::size(kDeviceHotkeys)]);
      Type(fillerPresses / hotkeySwitches + (i < fillerPresses % hotkeySwitches ? 1 : 0));
      if (links > 0 && i % (hotkeySwitches / links) == 0 && i / (hotkeySwitches / links) < links) LinkEvent();
    }
    TypeMonitorSequence();
    ForgetRecords();
  }

  FormRig rig;
  std::map<std::pair<std::int32_t, std::int32_t>, std::u16string> expectedDefaults;
  std::int32_t currentRole = device_role::Both;
  std::size_t expectedSetCalls = 0;
  std::size_t setCalls = 0;  // what Core Audio was asked, over the whole run
  std::size_t balloons = 0;
  std::vector<std::uint8_t> hotkeyMap;  // the file as written before start
  std::uint32_t nextProcessId = 1000;
  std::size_t letter = 0;
  int keyEvents = 0;
  int switches = 0;
  int linkEvents = 0;
  int notificationsShown = 0;
  int linkNotificationsShown = 0;
  int balloonsShown = 0;
  int optionsConfirmed = 0;
  int menuMisses = 0;  // menus that offered no device to switch to
};

class LongRunTest : public testing::Test, protected Session {};

TEST_F(LongRunTest, NothingTheProgramHoldsGrowsWithUse) {
  rig.Start();
  ASSERT_EQ(form().LoadedHotkeys().size(), 4u);
  ASSERT_EQ(form().DeviceLinks().size(), 4u);
  ASSERT_EQ(rig.wmi.ActiveSubscriptions(), 1);
  ASSERT_TRUE(rig.view.trayVisible);
  ASSERT_EQ(rig.registry.OpenHandleCount(), 1);
  const std::vector<DEVICELINK> links = form().DeviceLinks();
  const Counts before = Held(rig);
  for (fakes::FailureScript* script : Scripts()) script->RecordCalls(false);

  for (int block = 0; block < kBlocks; ++block) {
    SCOPED_TRACE("block " + std::to_string(block));
    Block(block);
    if (testing::Test::HasFatalFailure()) return;
  }

  // The schedule ran as planned.
  EXPECT_EQ(keyEvents, kBlocks * kKeyEventsPerBlock);
  EXPECT_EQ(switches - 2 * linkEvents, kBlocks * kSwitchesPerBlock);
  EXPECT_EQ(linkEvents, 1000);
  EXPECT_EQ(optionsConfirmed, kBlocks);
  EXPECT_EQ(menuMisses, 0);

  // What the user saw: a notification for every hotkey switch made while
  // notifications were on, a balloon for every such menu switch, the link
  // window for every Device Link switch then, the monitor for every sequence.
  int notifyingBlocks = 0;
  int notifyingLinkEvents = 0;
  for (int block = 0; block < kBlocks; ++block) {
    if (!NotificationsOn(block)) continue;
    ++notifyingBlocks;
    notifyingLinkEvents += LinkEvents(block);
  }
  EXPECT_EQ(notificationsShown, notifyingBlocks * kSwitchesPerBlock / 2);
  EXPECT_EQ(notificationsShown, 1000);
  EXPECT_EQ(balloonsShown, notifyingBlocks * kSwitchesPerBlock / 2);
  EXPECT_EQ(balloons, static_cast<std::size_t>(balloonsShown));  // no failure balloon
  EXPECT_EQ(linkNotificationsShown, notifyingLinkEvents);
  EXPECT_EQ(rig.view.debugFormShown, kBlocks);

  // What Core Audio saw: every switch with the roles of its block, and the
  // last switch of each direction and role is the default.
  EXPECT_EQ(setCalls, expectedSetCalls);
  EXPECT_EQ(rig.audio.defaults, expectedDefaults);

  // The settings the last dialog confirmed, in the registry.
  const int last = kBlocks - 1;
  EXPECT_EQ(rig.registry.GetDword(kKey, u"Role"), static_cast<std::uint32_t>(RoleOf(last)));
  EXPECT_EQ(rig.registry.GetDword(kKey, u"Notifications"), NotificationsOn(last) ? 1u : 0u);
  EXPECT_EQ(rig.registry.GetDword(kKey, u"DeviceLink"), LinkOn(last) ? 1u : 0u);
  EXPECT_EQ(rig.registry.GetDword(kKey, u"Language"), static_cast<std::uint32_t>(LanguageOf(last)));
  EXPECT_EQ(rig.view.captions.front(), LanguageOf(last) == 1 ? u"Ελ Playback" : u"Playback");

  // The hotkeys and links saved by every OK are those loaded at start.
  EXPECT_EQ(form().LoadedHotkeys().size(), 4u);
  EXPECT_EQ(rig.files.Bytes(kHotkeyFile), hotkeyMap);
  const std::vector<DEVICELINK> linksAfter = form().DeviceLinks();
  ASSERT_EQ(linksAfter.size(), links.size());
  for (const DEVICELINK& link : links)
    EXPECT_NE(std::find(linksAfter.begin(), linksAfter.end(), link), linksAfter.end());
  EXPECT_TRUE(rig.optionsView.messages.empty());  // never "already linked"

  // Nothing held grows.
  const Counts after = Held(rig);
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t i = 0; i < before.size(); ++i)
    EXPECT_EQ(after[i].second, before[i].second) << before[i].first;

  ExpectAllGoesWithTheForm(rig);
}

// The same actions with one call of one system service failing on the way,
// at each place it is used: whatever the failure leaves undone, nothing it
// had opened, made or subscribed stays held once the next round has run.
// (A close that fails is left out: the handle is the system's to drop, and
// closing it again could close another handle that took its value. So is a
// cancellation that fails while Device Link subscribes anew: the watcher
// then lets go of its old subscription on purpose and leaves it to WMI.)
TEST(LongRunFailuresTest, AFailureOnTheWayLeavesNothingHeld) {
  using Script = fakes::FailureScript& (*)(FormRig&);
  const Script audio = [](FormRig& r) -> fakes::FailureScript& { return r.audio.failures; };
  const Script files = [](FormRig& r) -> fakes::FailureScript& { return r.files.failures; };
  const Script registry = [](FormRig& r) -> fakes::FailureScript& { return r.registry.failures; };
  const Script rawInput = [](FormRig& r) -> fakes::FailureScript& { return r.rawInput.failures; };
  const Script processes = [](FormRig& r) -> fakes::FailureScript& { return r.processes.failures; };
  const Script wmi = [](FormRig& r) -> fakes::FailureScript& { return r.wmi.failures; };
  const Script clsid = [](FormRig& r) -> fakes::FailureScript& { return r.clsid.failures; };
  constexpr std::uint32_t kDenied = 5;  // ERROR_ACCESS_DENIED
  constexpr std::uint32_t kFailed = fakes::kUnspecifiedError;
  struct Case {
    Script script;
    const char* op;
    std::uint32_t code;
  };
  const Case cases[] = {
      {audio, "EnumEndpoints:render", kFailed},
      {audio, "EnumEndpoints:capture", kFailed},
      {audio, "CollectionCount", kFailed},
      {audio, "CollectionItem", kFailed},
      {audio, "EndpointId", kFailed},
      {audio, "OpenStore", kFailed},
      {audio, "FriendlyName", kFailed},
      {audio, "DefaultEndpoint:render", kFailed},
      {audio, "DefaultEndpoint:capture", kFailed},
      {audio, "SetDefaultEndpoint", kFailed},
      {files, "OpenHandle", kDenied},
      {files, "WriteBytes", kDenied},
      {files, "ReadBytes", kDenied},
      {files, "QuerySize", kDenied},
      {files, "MoveReplacing", kDenied},
      {files, "VersionInfoSize", kDenied},
      {files, "VersionInfo", kDenied},
      {files, "QueryVersionValue", kDenied},
      {registry, "OpenKeyEx", kDenied},
      {registry, "SetValueEx", kDenied},
      {rawInput, "SizeQuery", kDenied},
      {rawInput, "ReadInputData", kDenied},
      {rawInput, "RegisterDevice", kDenied},
      {processes, "ListProcessIds", kDenied},
      {processes, "OpenProcessHandle", kDenied},
      {processes, "ModuleBaseName", kDenied},
      {processes, "ModuleFullPath", kDenied},
      {wmi, "EnterApartment", kFailed},
      {wmi, "CreateLocator", kFailed},
      {wmi, "ConnectServer", kFailed},
      {wmi, "SetProxyBlanket", kFailed},
      {wmi, "CreateUnsecuredApartment", kFailed},
      {wmi, "CreateObjectStub", kFailed},
      {wmi, "QueryObjectSink", kFailed},
      {wmi, "ExecNotificationQueryAsync", kFailed},
      {clsid, "ClsidFromText", kFailed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.op);
    Session session;
    FormRig& rig = session.rig;
    rig.Start();
    session.Round(0);
    const Counts before = Held(rig);
    fakes::FailureScript& script = c.script(rig);
    const int calls = script.CountOf(c.op);
    script.FailNext(c.op, c.code);
    session.Round(0);
    ASSERT_GT(script.CountOf(c.op), calls) << "the failure never came";
    session.Round(0);
    const Counts after = Held(rig);
    for (std::size_t i = 0; i < before.size(); ++i)
      EXPECT_EQ(after[i].second, before[i].second) << before[i].first;

    ExpectAllGoesWithTheForm(rig);
  }
}

}  // namespace
}  // namespace varnolet
