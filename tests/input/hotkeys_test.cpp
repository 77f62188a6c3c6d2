#include "input/hotkeys.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "fakes/fake_system.h"

namespace varnolet {
namespace {

using fakes::FakeSystem;
using fakes::kStamp;

std::u16string Line(std::u16string_view entry) {
  return std::u16string(kStamp) + u": " + std::u16string(entry);
}

constexpr int kP = key::kLetterA + ('P' - 'A');

// A pattern as the system builds them: a key and derived modifiers.
HOTKEY Pattern(std::initializer_list<int> positions, const std::u16string* parameter = nullptr) {
  HOTKEY hotkey;
  for (int position : positions) hotkey.keyboard.keys[static_cast<std::size_t>(position)] = 1;
  hotkey.parameter = parameter;
  return hotkey;
}

// A live state with these keys held and the derived flags as the keyboard update sets them.
DEVICEINPUT Holding(std::initializer_list<int> positions) {
  DEVICEINPUT state;
  auto& keys = state.keyboard.keys;
  for (int position : positions) keys[static_cast<std::size_t>(position)] = 1;
  keys[key::kAlt] = keys[key::kRightAlt] | keys[key::kLeftAlt];
  keys[key::kCtrl] = keys[key::kRightCtrl] | keys[key::kLeftCtrl];
  keys[key::kShift] = keys[key::kRightShift] | keys[key::kLeftShift];
  keys[key::kWindows] = keys[key::kRightWindows] | keys[key::kLeftWindows];
  state.keyboard.pressed = 1;
  return state;
}

// ---------------------------------------------------------------- match rule

struct MatchCase {
  const char* name;
  HOTKEY pattern;
  DEVICEINPUT state;
  bool matches;
};

class MatchRuleTest : public testing::TestWithParam<MatchCase> {};

TEST_P(MatchRuleTest, FollowsTheMatchRule) {
  const MatchCase& c = GetParam();
  EXPECT_EQ(c.pattern.Equals(c.state), c.matches);
  // Through the base class too: HOTKEY's rule overrides DEVICEINPUT's.
  const DEVICEINPUT& base = c.pattern;
  EXPECT_EQ(base.Equals(c.state), c.matches);
}

DEVICEINPUT WithCapsLock(DEVICEINPUT state) {
  state.keyboard.capsLockOn = 1;
  state.keyboard.numLockOn = 1;
  state.keyboard.scrollLockOn = 1;
  return state;
}

DEVICEINPUT WithMouse(DEVICEINPUT state, bool button) {
  state.mouse.x = 500;
  state.mouse.wheel = 120;
  state.mouse.leftButton = button ? 1 : 0;
  return state;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MatchRuleTest,
    testing::Values(MatchCase{"AltCtrlMatchesEitherSide", Pattern({key::kAlt, key::kCtrl, kP}),
                              Holding({key::kLeftAlt, key::kRightCtrl, kP}), true},
                    MatchCase{"AltCtrlWithBothCtrls", Pattern({key::kAlt, key::kCtrl, kP}),
                              Holding({key::kRightAlt, key::kRightCtrl, key::kLeftCtrl, kP}), true},
                    MatchCase{"ExtraShiftPreventsTheMatch", Pattern({key::kAlt, key::kCtrl, kP}),
                              Holding({key::kLeftAlt, key::kRightCtrl, key::kLeftShift, kP}), false},
                    MatchCase{"ExtraWindowsKeyPreventsTheMatch", Pattern({key::kAlt, kP}),
                              Holding({key::kLeftAlt, key::kLeftWindows, kP}), false},
                    MatchCase{"MissingModifierPreventsTheMatch", Pattern({key::kAlt, key::kCtrl, kP}),
                              Holding({key::kLeftAlt, kP}), false},
                    MatchCase{"ExtraKeyPreventsTheMatch", Pattern({key::kCtrl, kP}),
                              Holding({key::kLeftCtrl, kP, key::kKeypad5}), false},
                    MatchCase{"ExtraFunctionKeyPreventsTheMatch", Pattern({key::kCtrl, kP}),
                              Holding({key::kLeftCtrl, kP, key::kF1 + 4}), false},
                    MatchCase{"ExtraModifierSideTestedByDerivedFlag", Pattern({key::kCtrl, kP}),
                              Holding({key::kLeftCtrl, key::kRightAlt, kP}), false},
                    MatchCase{"KeyAloneMatchesAlone", Pattern({kP}), Holding({kP}), true},
                    MatchCase{"KeyAloneNotWithShift", Pattern({kP}), Holding({key::kLeftShift, kP}), false},
                    MatchCase{"KeyAloneNotWithRightAlt", Pattern({kP}), Holding({key::kRightAlt, kP}), false},
                    MatchCase{"WrongKey", Pattern({key::kShift, kP}),
                              Holding({key::kLeftShift, key::kLetterA}), false},
                    MatchCase{"NoKeyHeld", Pattern({key::kShift, kP}), Holding({}), false},
                    MatchCase{"LockStatesIgnored", Pattern({key::kAlt, kP}),
                              WithCapsLock(Holding({key::kLeftAlt, kP})), true},
                    MatchCase{"PointerAndWheelIgnored", Pattern({kP}), WithMouse(Holding({kP}), false), true},
                    MatchCase{"MouseButtonsCompared", Pattern({kP}), WithMouse(Holding({kP}), true), false},
                    // A pattern without derived flags compares the side-specific ones.
                    MatchCase{"SidePatternMatchesItsSide", Pattern({key::kLeftCtrl, kP}),
                              Holding({key::kLeftCtrl, kP}), true},
                    MatchCase{"SidePatternRefusesTheOtherSide", Pattern({key::kLeftCtrl, kP}),
                              Holding({key::kRightCtrl, kP}), false},
                    MatchCase{"TabAndScrollLockCompared", Pattern({key::kShift, key::kTab}),
                              Holding({key::kLeftShift, key::kTab, key::kScrollLock}), false},
                    MatchCase{"LastPositionCompared", Pattern({key::kShift, kP}),
                              Holding({key::kLeftShift, kP, key::kKeypadEnter}), false}),
    [](const testing::TestParamInfo<MatchCase>& p) { return std::string(p.param.name); });

// ------------------------------------------------------------------- table

class HotkeyTableTest : public testing::Test {
 protected:
  // A callback that records the parameters it was called with.
  struct Recorder {
    std::vector<const std::u16string*> calls;
    bool Action(const std::u16string* parameter) {
      calls.push_back(parameter);
      return false;  // ignored by the table
    }
  };

  FakeSystem system;
  CHotkeys table{system, system};
  Recorder recorder;
  std::u16string first = u"first";
  std::u16string second = u"second";
  std::u16string third = u"third";
};

TEST_F(HotkeyTableTest, ConstructionLeavesAnEmptyTableAcceptingEverything) {
  EXPECT_TRUE(table.Items().empty());
  EXPECT_EQ(table.filterParameter, 0);
  EXPECT_TRUE(table.FilterCallback(table, HOTKEY{}, 0));
  EXPECT_EQ(table.GetLastErrorText(), u"");
  HOTKEY hotkey;
  EXPECT_EQ(hotkey.parameter, nullptr);
  EXPECT_TRUE(hotkey.callback(nullptr));  // the default callback does nothing and returns true
}

TEST_F(HotkeyTableTest, RegisterNumbersHotkeysInOrder) {
  ASSERT_TRUE(table.Register(Pattern({key::kAlt, kP}, &first)));
  ASSERT_TRUE(table.Register(Pattern({key::kCtrl, kP}, &second)));
  ASSERT_EQ(table.Items().size(), 2u);
  EXPECT_EQ(table.Items()[0].ID, 0u);
  EXPECT_EQ(table.Items()[1].ID, 1u);
  EXPECT_EQ(table.Items()[1].parameter, &second);
}

TEST_F(HotkeyTableTest, TheSameParameterObjectWithTheSameKeysIsADuplicate) {
  ASSERT_TRUE(table.Register(Pattern({key::kAlt, kP}, &first)));
  // Only the derived flags differ: the same hotkey to the duplicate test.
  EXPECT_FALSE(table.Register(Pattern({key::kCtrl, kP}, &first)));
  EXPECT_EQ(table.GetLastErrorText(), u"Specified hotkey is already registerd");
  EXPECT_EQ(table.Log().Entries(),
            std::vector<std::u16string>{
                Line(u"CHotkeys,Register(),NULL,Item,Specified hotkey is already registerd")});

  // An equal text in another object is another hotkey.
  std::u16string same = first;
  EXPECT_TRUE(table.Register(Pattern({key::kAlt, kP}, &same)));
  EXPECT_EQ(table.Items().size(), 2u);
}

TEST_F(HotkeyTableTest, AListWithARefusedItemLeavesTheTableEmpty) {
  ASSERT_TRUE(table.Register(Pattern({key::kShift, key::kLetterA}, &third)));  // registered before the list
  table.FilterCallback = [](const CHotkeys&, const HOTKEY& candidate, std::int32_t parameter) {
    return candidate.keyboard.keys[static_cast<std::size_t>(parameter)] == 0;
  };
  table.filterParameter = key::kLetterV;
  const std::vector<HOTKEY> list = {Pattern({key::kAlt, kP}, &first),
                                    Pattern({key::kAlt, key::kLetterV}, &second),
                                    Pattern({key::kCtrl, kP}, &third)};
  EXPECT_FALSE(table.Register(list));
  EXPECT_TRUE(table.Items().empty());
  EXPECT_EQ(table.GetLastErrorText(), u"Could not register specified items");
  EXPECT_EQ(table.Log().Entries(),
            (std::vector<std::u16string>{
                Line(u"CHotkeys,Register(),NULL,Item,Specified hotkey does not match filter criteria"),
                Line(u"CHotkeys,Register(),NULL,List,Could not register specified items")}));
}

TEST_F(HotkeyTableTest, AListRegistersEveryItem) {
  const std::vector<HOTKEY> list = {Pattern({key::kAlt, kP}, &first), Pattern({key::kCtrl, kP}, &second)};
  EXPECT_TRUE(table.Register(list));
  ASSERT_EQ(table.Items().size(), 2u);
  EXPECT_EQ(table.Items()[1].ID, 1u);
  EXPECT_TRUE(table.Clear());
  EXPECT_TRUE(table.Items().empty());
  EXPECT_TRUE(table.Register(list));
  EXPECT_EQ(table.Items()[0].ID, 0u);
}

TEST_F(HotkeyTableTest, ExecuteMatchingRunsOnlyTheFirstMatchingHotkey) {
  HOTKEY a = Pattern({key::kAlt, kP}, &first);
  HOTKEY b = Pattern({key::kAlt, kP}, &second);
  HOTKEY c = Pattern({key::kCtrl, kP}, &third);
  for (HOTKEY* h : {&a, &b, &c}) h->callback = BindHotkeyAction<&Recorder::Action>(recorder);
  ASSERT_TRUE(table.Register(std::vector<HOTKEY>{a, b, c}));

  EXPECT_TRUE(table.ExecuteMatching(Holding({key::kRightAlt, kP})));
  EXPECT_TRUE(table.ExecuteMatching(Holding({key::kLeftCtrl, kP})));
  EXPECT_FALSE(table.ExecuteMatching(Holding({key::kLeftCtrl, key::kLeftAlt, kP})));
  EXPECT_FALSE(table.ExecuteMatching(Holding({})));
  EXPECT_EQ(recorder.calls, (std::vector<const std::u16string*>{&first, &third}));
}

// The disable-hotkeys action empties the table and registers a fresh list
// while ExecuteMatching is still on the stack (checked by ASan in the
// sanitizer tree: nothing of the old entries may be read afterwards).
struct Reloader {
  CHotkeys* table = nullptr;
  std::vector<std::u16string>* identifiers = nullptr;
  std::vector<std::u16string> seen;
  bool Reload(const std::u16string* parameter) {
    const std::u16string identifier = *parameter;  // the action works on a copy
    seen.push_back(identifier);
    table->Clear();
    // The identifiers the old parameters pointed into are replaced.
    *identifiers = {u"x1", u"x2", u"x3", u"x4", u"x5", u"x6", u"x7", u"x8", u"x9"};
    std::vector<HOTKEY> fresh;
    for (const std::u16string& text : *identifiers)
      fresh.push_back(Pattern({key::kShift, key::kLetterA}, &text));
    table->Register(fresh);
    table->Clear();
    return true;
  }
};

TEST_F(HotkeyTableTest, ACallbackMayEmptyAndRefillTheTable) {
  auto identifiers = std::make_unique<std::vector<std::u16string>>(
      std::vector<std::u16string>{u"{0.0.0.00000000}.{00000000-0000-0000-0000-00000000000H}", u"other"});
  Reloader reloader{&table, identifiers.get(), {}};
  HOTKEY disable = Pattern({key::kCtrl, kP}, &(*identifiers)[0]);
  disable.callback = BindHotkeyAction<&Reloader::Reload>(reloader);
  HOTKEY other = Pattern({key::kAlt, kP}, &(*identifiers)[1]);
  ASSERT_TRUE(table.Register(std::vector<HOTKEY>{disable, other}));

  EXPECT_TRUE(table.ExecuteMatching(Holding({key::kLeftCtrl, kP})));
  EXPECT_EQ(reloader.seen,
            std::vector<std::u16string>{u"{0.0.0.00000000}.{00000000-0000-0000-0000-00000000000H}"});
  EXPECT_TRUE(table.Items().empty());
  EXPECT_FALSE(table.ExecuteMatching(Holding({key::kLeftCtrl, kP})));
}

}  // namespace
}  // namespace varnolet
