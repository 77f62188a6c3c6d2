#include "input/raw_input.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fakes/fake_raw_input.h"
#include "fakes/fake_system.h"

namespace varnolet {
namespace {

using fakes::FakeRawInput;
using fakes::FakeSystem;
using fakes::KeyboardRecord;
using fakes::kKeyDown;
using fakes::kKeyUp;
using fakes::kStamp;
using fakes::kSysKeyDown;
using fakes::kSysKeyUp;
using fakes::MouseRecord;

constexpr std::uint16_t kE0 = 0x2;
constexpr std::uint16_t kE1 = 0x4;

std::u16string Line(std::u16string_view entry) {
  return std::u16string(kStamp) + u": " + std::u16string(entry);
}

// The positions whose flag is set.
std::vector<int> Held(const DEVICEINPUT& state) {
  std::vector<int> held;
  for (std::size_t i = 0; i < key::kCount; ++i)
    if (state.keyboard.keys[i] != 0) held.push_back(static_cast<int>(i));
  return held;
}

// ------------------------------------------------------------ the key table

// The key table as the keyboard reports it: a make code, the prefix it
// needs, and the position it sets.
enum class Prefix { Any, E0, NoE0 };
struct KeyRow {
  std::uint16_t makeCode;
  Prefix prefix;
  int position;
};

const std::vector<KeyRow>& KeyTable() {
  static const std::vector<KeyRow> rows = [] {
    std::vector<KeyRow> r;
    for (int i = 0; i < 10; ++i)
      r.push_back({static_cast<std::uint16_t>(0x3B + i), Prefix::Any, i});  // F1-F10
    r.push_back({0x57, Prefix::Any, 10});
    r.push_back({0x58, Prefix::Any, 11});
    // Digits and letters without the E0 prefix only: with it they are media keys.
    r.push_back({0x0B, Prefix::NoE0, 12});
    for (int i = 0; i < 9; ++i) r.push_back({static_cast<std::uint16_t>(0x02 + i), Prefix::NoE0, 13 + i});
    const std::uint16_t letters[] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24,   // A-J
                                     0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14};  // K-T
    for (int i = 0; i < 20; ++i) r.push_back({letters[i], Prefix::NoE0, 22 + i});
    r.push_back({0x2F, Prefix::NoE0, 42});  // V
    r.push_back({0x16, Prefix::NoE0, 43});  // U
    r.push_back({0x11, Prefix::NoE0, 44});  // W
    r.push_back({0x2D, Prefix::NoE0, 45});  // X
    r.push_back({0x15, Prefix::NoE0, 46});  // Y
    r.push_back({0x2C, Prefix::NoE0, 47});  // Z
    const KeyRow rest[] = {
        {0x29, Prefix::Any, 48},   {0x33, Prefix::Any, 49},   {0x34, Prefix::Any, 50},
        {0x35, Prefix::NoE0, 51},  {0x27, Prefix::Any, 52},   {0x28, Prefix::Any, 53},
        {0x1B, Prefix::Any, 54},   {0x1A, Prefix::Any, 55},   {0x2B, Prefix::Any, 56},
        {0x0D, Prefix::Any, 57},   {0x0C, Prefix::Any, 58},   {0x01, Prefix::Any, 59},
        {0x1C, Prefix::NoE0, 60},  {0x39, Prefix::Any, 61},   {0x0E, Prefix::Any, 62},
        {0x3A, Prefix::Any, 63},   {0x0F, Prefix::Any, 64},   {0x38, Prefix::E0, 65},
        {0x38, Prefix::NoE0, 66},  {0x1D, Prefix::E0, 68},    {0x1D, Prefix::NoE0, 69},
        {0x36, Prefix::Any, 71},   {0x2A, Prefix::NoE0, 72},  {0x5C, Prefix::Any, 74},
        {0x5B, Prefix::Any, 75},   {0x5D, Prefix::Any, 77},   {0x37, Prefix::E0, 78},
        {0x54, Prefix::Any, 78},   {0x46, Prefix::Any, 79},   {0x52, Prefix::E0, 81},
        {0x53, Prefix::E0, 82},    {0x47, Prefix::E0, 83},    {0x4F, Prefix::E0, 84},
        {0x49, Prefix::E0, 85},    {0x51, Prefix::E0, 86},    {0x48, Prefix::E0, 87},
        {0x50, Prefix::E0, 88},    {0x4B, Prefix::E0, 89},    {0x4D, Prefix::E0, 90},
        {0x45, Prefix::Any, 91},   {0x52, Prefix::NoE0, 92},  {0x4F, Prefix::NoE0, 93},
        {0x50, Prefix::NoE0, 94},  {0x51, Prefix::NoE0, 95},  {0x4D, Prefix::NoE0, 96},
        {0x4C, Prefix::Any, 97},   {0x4B, Prefix::NoE0, 98},  {0x47, Prefix::NoE0, 99},
        {0x48, Prefix::NoE0, 100}, {0x49, Prefix::NoE0, 101}, {0x4E, Prefix::Any, 102},
        {0x4A, Prefix::Any, 103},  {0x37, Prefix::NoE0, 104}, {0x35, Prefix::E0, 105},
        {0x53, Prefix::NoE0, 106}, {0x1C, Prefix::E0, 107},
    };
    r.insert(r.end(), std::begin(rest), std::end(rest));
    return r;
  }();
  return rows;
}

// The position the table gives a make code and prefix flags: Pause (1D with
// E1) first, then the rows; -1 when no row applies.
int Expected(std::uint16_t makeCode, std::uint16_t flags) {
  if (makeCode == 0x1D && (flags & kE1) != 0) return key::kPause;
  const bool e0 = (flags & kE0) != 0;
  for (const KeyRow& row : KeyTable()) {
    if (row.makeCode != makeCode) continue;
    if (row.prefix == Prefix::Any || (row.prefix == Prefix::E0) == e0) return row.position;
  }
  return -1;
}

TEST(KeyTableTest, EveryPositionButTheDerivedOnesHasARow) {
  std::vector<int> covered(key::kCount, 0);
  for (const KeyRow& row : KeyTable()) covered[static_cast<std::size_t>(row.position)] = 1;
  covered[key::kPause] = 1;
  for (int derived : {key::kAlt, key::kCtrl, key::kShift, key::kWindows}) {
    EXPECT_EQ(covered[static_cast<std::size_t>(derived)], 0);
    covered[static_cast<std::size_t>(derived)] = 1;
  }
  for (std::size_t i = 0; i < key::kCount; ++i) EXPECT_EQ(covered[i], 1) << "position " << i;
}

TEST(KeyTableTest, EveryMakeCodeWithEveryPrefixSelectsTheTablesPosition) {
  for (std::uint32_t code = 0; code <= 0xFFFF; code += code < 0x100 ? 1 : 0x1F1) {
    for (std::uint16_t flags : {std::uint16_t{0}, kE0, kE1, std::uint16_t(kE0 | kE1), std::uint16_t{0x1}}) {
      const auto makeCode = static_cast<std::uint16_t>(code);
      EXPECT_EQ(KeyPosition(makeCode, flags), Expected(makeCode, flags))
          << "make code " << std::hex << code << " flags " << flags;
    }
  }
}

// Multimedia keys arrive as E0 with a letter's make code; none of them may
// set a letter's flag, or a hotkey on D would fire on Mute.
TEST(KeyTableTest, MediaKeysSetNoDigitOrLetter) {
  struct MediaKey {
    const char* name;
    std::uint16_t makeCode;
    int letterPosition;  // the position the same code sets without E0
  };
  const MediaKey keys[] = {
      {"Mute", 0x20, key::kLetterA + 3},          {"Volume Down", 0x2E, key::kLetterA + 2},
      {"Volume Up", 0x30, key::kLetterA + 1},     {"Play", 0x22, key::kLetterA + 6},
      {"Stop", 0x24, key::kLetterA + 9},          {"Previous", 0x10, key::kLetterA + 16},
      {"Next", 0x19, key::kLetterA + 15},         {"Calculator", 0x21, key::kLetterA + 5},
      {"Browser Home", 0x32, key::kLetterA + 12},
  };
  for (const MediaKey& media : keys) {
    SCOPED_TRACE(media.name);
    EXPECT_EQ(KeyPosition(media.makeCode, kE0), -1);
    EXPECT_EQ(KeyPosition(media.makeCode, 0), media.letterPosition);
    DEVICEINPUT input;
    UpdateKeyboard(input.keyboard, RawKeyboardEvent{media.makeCode, kE0, 0, kKeyDown}, LockStates{});
    for (int position = key::kDigit0; position <= key::kLetterA + 25; ++position)
      EXPECT_FALSE(input.keyboard.keys[static_cast<std::size_t>(position)]) << position;
  }
}

TEST(KeyTableTest, CodesOutsideTheTableSelectNothing) {
  for (std::uint16_t code : {0x00, 0x55, 0x56, 0x59, 0x5A, 0x5E, 0x60, 0x7F, 0xE0, 0xFF}) {
    EXPECT_EQ(KeyPosition(code, 0), -1) << std::hex << code;
    EXPECT_EQ(KeyPosition(code, kE0), -1) << std::hex << code;
  }
  EXPECT_EQ(KeyPosition(0x2A, kE0), -1);  // the fake shift
}

// Every row, pressed and released through Query on a fresh state: the
// row's flag (and a modifier's derived flag) while held, nothing after.
class KeyRowTest : public testing::TestWithParam<KeyRow> {};

TEST_P(KeyRowTest, PressSetsTheRowsFlagAndReleaseClearsIt) {
  const KeyRow& row = GetParam();
  FakeSystem system;
  FakeRawInput api(system);
  CRawInput raw(api, system, system);
  const std::uint16_t flags = row.prefix == Prefix::E0 ? kE0 : 0;

  DEVICEINPUT state;
  ASSERT_TRUE(raw.Keyboard.Query(api.Deliver(KeyboardRecord(row.makeCode, flags, 0x41, kKeyDown)), state));
  std::vector<int> expected{row.position};
  if (row.position == key::kRightAlt || row.position == key::kLeftAlt) expected.push_back(key::kAlt);
  if (row.position == key::kRightCtrl || row.position == key::kLeftCtrl) expected.push_back(key::kCtrl);
  if (row.position == key::kRightShift || row.position == key::kLeftShift) expected.push_back(key::kShift);
  if (row.position == key::kRightWindows || row.position == key::kLeftWindows)
    expected.push_back(key::kWindows);
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Held(state), expected);

  ASSERT_TRUE(raw.Keyboard.Query(api.Deliver(KeyboardRecord(row.makeCode, flags, 0x41, kKeyUp)), state));
  EXPECT_TRUE(Held(state).empty());
}

INSTANTIATE_TEST_SUITE_P(AllRows, KeyRowTest, testing::ValuesIn(KeyTable()));

// ----------------------------------------------------------- keyboard events

class RawInputTest : public testing::Test {
 protected:
  bool Key(std::uint16_t makeCode, std::uint16_t flags, std::uint32_t message, std::uint16_t virtualKey = 0) {
    return raw.Keyboard.Query(api.Deliver(KeyboardRecord(makeCode, flags, virtualKey, message)), state);
  }

  FakeSystem system;
  FakeRawInput api{system};
  CRawInput raw{api, system, system};
  DEVICEINPUT state;
};

TEST_F(RawInputTest, RightAltMarksItsSideAndEitherAltUntilBothAreUp) {
  Key(0x38, kE0, kSysKeyDown);
  EXPECT_EQ(Held(state), (std::vector<int>{key::kRightAlt, key::kAlt}));
  Key(0x38, kE0, kSysKeyUp);
  EXPECT_TRUE(Held(state).empty());

  Key(0x38, 0, kSysKeyDown);    // left Alt
  Key(0x38, kE0, kSysKeyDown);  // right Alt
  Key(0x38, kE0, kSysKeyUp);
  EXPECT_EQ(Held(state), (std::vector<int>{key::kLeftAlt, key::kAlt}));
}

TEST_F(RawInputTest, PrintScreenWithItsFakeShiftMarksOnlyPrintScreen) {
  Key(0x2A, kE0, kKeyDown);
  Key(0x37, kE0, kKeyDown);
  EXPECT_EQ(Held(state), (std::vector<int>{key::kPrintScreen}));

  // The left Shift flag stays as it was: held here.
  Key(0x37, kE0, kKeyUp);
  Key(0x2A, kE0, kKeyUp);
  Key(0x2A, 0, kKeyDown);
  Key(0x2A, kE0, kKeyUp);
  EXPECT_EQ(Held(state), (std::vector<int>{key::kLeftShift, key::kShift}));
}

TEST_F(RawInputTest, KeypadFourAndTheLeftArrowShareAMakeCode) {
  Key(0x4B, 0, kKeyDown);
  EXPECT_EQ(Held(state), (std::vector<int>{key::kKeypad4}));
  Key(0x4B, 0, kKeyUp);
  Key(0x4B, kE0, kKeyDown);
  EXPECT_EQ(Held(state), (std::vector<int>{key::kLeft}));
}

TEST_F(RawInputTest, PauseIsCtrlWithE1AndNeitherCtrl) {
  Key(0x1D, kE1, kKeyDown);
  EXPECT_EQ(Held(state), (std::vector<int>{key::kPause}));
  Key(0x1D, kE1 | kE0, kKeyUp);
  EXPECT_TRUE(Held(state).empty());
  Key(0x1D, kE0, kKeyDown);
  EXPECT_EQ(Held(state), (std::vector<int>{key::kRightCtrl, key::kCtrl}));
}

TEST_F(RawInputTest, LastEventFieldsFollowTheMessage) {
  Key(0x19, 0, kKeyDown, 'P');
  EXPECT_EQ(state.keyboard.pressed, 1);
  EXPECT_EQ(state.keyboard.released, 0);
  EXPECT_EQ(state.keyboard.virtualKey, 'P');

  Key(0x1E, 0, kKeyUp, 'A');
  EXPECT_EQ(state.keyboard.pressed, 0);
  EXPECT_EQ(state.keyboard.released, 1);
  EXPECT_EQ(state.keyboard.virtualKey, 'A');

  Key(0x38, 0, kSysKeyDown, 0x12);  // WM_SYSKEYDOWN is a press too
  EXPECT_EQ(state.keyboard.pressed, 1);
  Key(0x38, 0, 0x0102, 0x12);  // any other message is a release
  EXPECT_EQ(state.keyboard.released, 1);
  EXPECT_EQ(state.keyboard.keys[key::kLeftAlt], 0);
}

TEST_F(RawInputTest, LockStatesComeFromTheLowBitOfTheKeyStateOnEveryEvent) {
  api.keyStates[0x14] = 0x0001;                             // Caps Lock toggled on
  api.keyStates[0x90] = static_cast<std::int16_t>(0xFF80);  // Num Lock down, not toggled
  api.keyStates[0x91] = static_cast<std::int16_t>(0xFF81);  // Scroll Lock down and toggled
  Key(0x1E, 0, kKeyDown);
  EXPECT_EQ(state.keyboard.capsLockOn, 1);
  EXPECT_EQ(state.keyboard.numLockOn, 0);
  EXPECT_EQ(state.keyboard.scrollLockOn, 1);
  Key(0x01, 0, kKeyUp);
  EXPECT_EQ(state.keyboard.capsLockOn, 1);
  api.keyStates.clear();
  Key(0x1E, 0, kKeyUp);
  EXPECT_EQ(state.keyboard.capsLockOn, 0);
  EXPECT_EQ(state.keyboard.scrollLockOn, 0);
}

TEST_F(RawInputTest, AnUnknownCodeStillRefreshesTheDerivedFlagsAndLocks) {
  state.keyboard.keys[key::kLeftCtrl] = 1;  // held, derived flag stale
  api.keyStates[0x14] = 1;
  Key(0x56, 0, kKeyDown, 0xE2);
  EXPECT_EQ(Held(state), (std::vector<int>{key::kLeftCtrl, key::kCtrl}));
  EXPECT_EQ(state.keyboard.capsLockOn, 1);
  EXPECT_EQ(state.keyboard.virtualKey, 0xE2);
}

TEST_F(RawInputTest, RecordsLargerThanTheInlineBufferAreDecodedTheSameWay) {
  std::vector<std::uint8_t> record = KeyboardRecord(0x2F, 0, 'V', kKeyDown);
  record.resize(64, 0xCC);
  ASSERT_TRUE(raw.Keyboard.Query(api.Deliver(record), state));
  EXPECT_EQ(raw.Keyboard.Size(), 64u);
  EXPECT_EQ(Held(state), (std::vector<int>{key::kLetterV}));
  EXPECT_EQ(state.keyboard.virtualKey, 'V');
}

TEST_F(RawInputTest, OtherRecordTypesAndShortRecordsChangeNothing) {
  Key(0x2F, 0, kKeyDown, 'V');
  const DEVICEINPUT before = state;

  std::vector<std::uint8_t> hid = KeyboardRecord(0x1E, 0, 'A', kKeyDown);
  hid[0] = 2;  // RIM_TYPEHID
  hid.resize(60);
  EXPECT_TRUE(raw.Keyboard.Query(api.Deliver(hid), state));
  std::vector<std::uint8_t> shortKeyboard = KeyboardRecord(0x1E, 0, 'A', kKeyDown);
  shortKeyboard.resize(36);
  EXPECT_TRUE(raw.Keyboard.Query(api.Deliver(shortKeyboard), state));
  EXPECT_TRUE(raw.Keyboard.Query(api.Deliver({1, 0, 0}), state));
  EXPECT_EQ(state.keyboard.keys, before.keyboard.keys);
  EXPECT_EQ(state.keyboard.virtualKey, 'V');
  EXPECT_TRUE(raw.Log().Entries().empty());
}

// -------------------------------------------------------------- mouse events

TEST_F(RawInputTest, MouseMovesAbsoluteOrAccumulateAndButtonsPressThenRelease) {
  ASSERT_TRUE(raw.Mouse.Query(api.Deliver(MouseRecord(0, 0, 0, 5, -3)), state));
  ASSERT_TRUE(raw.Mouse.Query(api.Deliver(MouseRecord(0, 0x0400, 0xFF88, 2, 1)), state));  // wheel -120
  EXPECT_EQ(state.mouse.x, 7);
  EXPECT_EQ(state.mouse.y, -2);
  EXPECT_EQ(state.mouse.wheel, 0xFF88u);

  ASSERT_TRUE(
      raw.Mouse.Query(api.Deliver(MouseRecord(1, 0x0001 | 0x0010 | 0x0004, 120, 30000, 40000)), state));
  EXPECT_EQ(state.mouse.x, 30000);
  EXPECT_EQ(state.mouse.y, 40000);
  EXPECT_EQ(state.mouse.wheel, 120u);
  EXPECT_EQ(state.mouse.leftButton, 1);
  EXPECT_EQ(state.mouse.middleButton, 1);
  EXPECT_EQ(state.mouse.rightButton, 1);

  // Presses first, then releases: both of one button leave it released.
  ASSERT_TRUE(raw.Mouse.Query(
      api.Deliver(MouseRecord(1, 0x0040 | 0x0080 | 0x0100 | 0x0002 | 0x0008, 0, 0, 0)), state));
  EXPECT_EQ(state.mouse.xButton1, 0);
  EXPECT_EQ(state.mouse.xButton2, 1);
  EXPECT_EQ(state.mouse.leftButton, 0);
  EXPECT_EQ(state.mouse.rightButton, 0);
  EXPECT_EQ(state.mouse.middleButton, 1);
  ASSERT_TRUE(raw.Mouse.Query(api.Deliver(MouseRecord(1, 0x0020 | 0x0200, 0, 0, 0)), state));
  EXPECT_EQ(state.mouse.middleButton, 0);
  EXPECT_EQ(state.mouse.xButton2, 0);
  EXPECT_TRUE(Held(state).empty());
}

// ------------------------------------------------------------------- equality

TEST(DeviceInputTest, EqualsIgnoresTheDerivedFlagsAndTheLastEvent) {
  DEVICEINPUT a;
  DEVICEINPUT b;
  a.keyboard.keys[key::kAlt] = 1;
  b.keyboard.keys[key::kShift] = 1;
  b.keyboard.pressed = 1;
  b.keyboard.virtualKey = 'Q';
  EXPECT_TRUE(a.Equals(b));

  b.keyboard.numLockOn = 1;
  EXPECT_FALSE(a.Equals(b));
  b.keyboard.numLockOn = 0;
  b.keyboard.keys[key::kLeftAlt] = 1;
  EXPECT_FALSE(a.Equals(b));
  b.keyboard.keys[key::kLeftAlt] = 0;
  b.mouse.wheel = 1;
  EXPECT_FALSE(a.Equals(b));
}

// --------------------------------------------------- registration and errors

TEST_F(RawInputTest, ConstructionHoldsTheMouseAndKeyboardDescriptors) {
  EXPECT_EQ(raw.Descriptor(0).usagePage, 1);
  EXPECT_EQ(raw.Descriptor(0).usage, 2);
  EXPECT_EQ(raw.Descriptor(1).usagePage, 1);
  EXPECT_EQ(raw.Descriptor(1).usage, 6);
  EXPECT_EQ(raw.Descriptor(1).flags, 0u);
  EXPECT_EQ(raw.Descriptor(1).target, 0u);
  EXPECT_EQ(raw.Keyboard.Index(), 1);
  EXPECT_EQ(raw.Mouse.Index(), 0);
}

TEST_F(RawInputTest, RegisterInModeOneSinksInputAndUnRegisterRemovesIt) {
  ASSERT_TRUE(raw.Keyboard.Register(0x20044, 1));
  ASSERT_EQ(api.Registered().size(), 1u);
  EXPECT_EQ(api.Registered()[0].usage, 6);
  EXPECT_EQ(api.Registered()[0].flags, 0x100u);
  EXPECT_EQ(api.Registered()[0].target, 0x20044u);

  ASSERT_TRUE(raw.Keyboard.Register(0x20044, 0));
  EXPECT_EQ(api.Registered()[0].flags, 0u);

  ASSERT_TRUE(raw.Keyboard.UnRegister());
  EXPECT_TRUE(api.Registered().empty());
  EXPECT_EQ(api.calls.back().flags, 0x1u);
  EXPECT_EQ(api.calls.back().target, 0u);
  EXPECT_TRUE(raw.Log().Entries().empty());
}

TEST_F(RawInputTest, FailedRegistrationsAccumulateTheirMessageTexts) {
  EXPECT_FALSE(raw.Keyboard.Register(0, 1));  // an input sink needs a window
  system.texts[1400] = u"Invalid window handle. ";
  EXPECT_FALSE(raw.Keyboard.Register(0xDEAD, 1));
  const std::u16string entry = u"CDevice,Register(),RegisterRawInputDevices(),Specified window,";
  EXPECT_EQ(raw.Log().Entries(),
            (std::vector<std::u16string>{Line(entry + system.Text(87)), Line(entry + system.Text(1400))}));
  EXPECT_EQ(raw.GetLastErrorText(), system.Text(87) + system.Text(1400));
}

TEST_F(RawInputTest, FailedUnRegisterRecordsFunctionFailed) {
  EXPECT_FALSE(raw.Keyboard.UnRegister());  // nothing registered
  EXPECT_EQ(raw.Log().Entries(),
            std::vector<std::u16string>{
                Line(u"CDevice,UnRegister(),RegisterRawInputDevices(),NULL,Function failed")});
  EXPECT_EQ(raw.GetLastErrorText(), u"Function failed");
}

TEST_F(RawInputTest, FailedQueriesLeaveTheStateAndSayWhichStepFailed) {
  Key(0x2F, 0, kKeyDown, 'V');
  const DEVICEINPUT before = state;

  api.failures.FailNext("SizeQuery", 6);
  EXPECT_FALSE(Key(0x1E, 0, kKeyDown, 'A'));
  api.failures.FailNext("ReadInputData", 6);
  EXPECT_FALSE(Key(0x1E, 0, kKeyDown, 'A'));
  std::vector<std::uint8_t> large = KeyboardRecord(0x1E, 0, 'A', kKeyDown);
  large.resize(49);
  api.failures.FailNext("ReadInputData", 6);
  EXPECT_FALSE(raw.Keyboard.Query(api.Deliver(large), state));
  EXPECT_FALSE(raw.Keyboard.Query(0x77, state));  // a handle the system does not know

  EXPECT_EQ(state.keyboard.keys, before.keyboard.keys);
  EXPECT_EQ(state.keyboard.virtualKey, 'V');
  EXPECT_EQ(raw.Log().Entries(),
            (std::vector<std::u16string>{
                Line(u"CDevice,Query(),GetRawInputData,NULL,Could not determine needed buffer size"),
                Line(u"CDevice,Query(),GetRawInputData(),Static buffer,Function failed"),
                Line(u"CDevice,Query(),GetRawInputData(),Dynamic buffer,Function failed"),
                Line(u"CDevice,Query(),GetRawInputData,NULL,Could not determine needed buffer size"),
            }));
  EXPECT_EQ(raw.GetLastErrorText(), u"Could not determine needed buffer size");
}

}  // namespace
}  // namespace varnolet
