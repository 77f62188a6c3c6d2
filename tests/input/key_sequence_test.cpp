#include "input/key_sequence.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_input_timer.h"

namespace varnolet {
namespace {

using fakes::FakeSequenceTimer;

constexpr std::uint16_t kShiftKey = 0x10;  // VK_SHIFT

DEVICEINPUT Event(std::uint16_t virtualKey, bool press) {
  DEVICEINPUT state;
  state.keyboard.virtualKey = virtualKey;
  state.keyboard.pressed = press ? 1 : 0;
  state.keyboard.released = press ? 0 : 1;
  return state;
}

class KeySequenceTest : public testing::Test {
 protected:
  // Presses and releases each key; true when a press completed the sequence.
  int Type(std::u16string_view keys) {
    int matches = 0;
    for (char16_t key : keys) {
      matches += sequence.KeyEvent(Event(key, true)) ? 1 : 0;
      matches += sequence.KeyEvent(Event(key, false)) ? 1 : 0;
    }
    return matches;
  }

  FakeSequenceTimer timer;
  MonitorKeySequence sequence{timer};
};

TEST_F(KeySequenceTest, StartsIdle) {
  EXPECT_EQ(sequence.TypedKeys(), u"");
  EXPECT_EQ(sequence.Interval(), 250u);
  EXPECT_FALSE(sequence.TimerRunning());
}

TEST_F(KeySequenceTest, TheIntervalGrowsWithEachKeyAndTheSequenceMatches) {
  EXPECT_EQ(Type(u"QXWTZKPV"), 1);
  EXPECT_EQ(timer.restarts, (std::vector<std::uint32_t>{500, 625, 708, 770, 820, 861, 896, 927}));
  // A match empties the text at once and leaves the timer running.
  EXPECT_EQ(sequence.TypedKeys(), u"");
  EXPECT_TRUE(timer.running);
  EXPECT_EQ(timer.interval, 927u);

  sequence.TimerElapsed();
  EXPECT_FALSE(timer.running);
  EXPECT_EQ(sequence.Interval(), 250u);
  EXPECT_EQ(Type(u"QXWTZKPV"), 1);
}

TEST_F(KeySequenceTest, ReleasesAddNothing) {
  EXPECT_FALSE(sequence.KeyEvent(Event('Q', false)));
  EXPECT_EQ(sequence.TypedKeys(), u"");
  EXPECT_TRUE(timer.restarts.empty());
}

TEST_F(KeySequenceTest, HoldingShiftPutsItsPressesIntoTheText) {
  int matches = 0;
  for (char16_t key : std::u16string_view(u"QXWTZKPV")) {
    matches += sequence.KeyEvent(Event(kShiftKey, true)) ? 1 : 0;
    matches += sequence.KeyEvent(Event(key, true)) ? 1 : 0;
    matches += sequence.KeyEvent(Event(key, false)) ? 1 : 0;
  }
  EXPECT_EQ(matches, 0);
  EXPECT_EQ(sequence.TypedKeys(),
            (std::u16string{kShiftKey, u'Q', kShiftKey, u'X', kShiftKey, u'W', kShiftKey, u'T'}));
}

TEST_F(KeySequenceTest, AStrayKeyFirstHidesTheSequenceUntilThePause) {
  EXPECT_EQ(Type(u"AQXWTZKPV"), 0);
  EXPECT_EQ(sequence.TypedKeys(), u"AQXWTZKP");
  sequence.TimerElapsed();
  EXPECT_EQ(Type(u"QXWTZKPV"), 1);
}

TEST_F(KeySequenceTest, ANinthKeyIsIgnoredUntilTheTimerFires) {
  EXPECT_EQ(Type(u"ABCDEFGH"), 0);
  const std::size_t restarts = timer.restarts.size();
  EXPECT_FALSE(sequence.KeyEvent(Event('I', true)));
  EXPECT_EQ(sequence.TypedKeys(), u"ABCDEFGH");
  EXPECT_EQ(timer.restarts.size(), restarts);  // the timer is not restarted either

  sequence.TimerElapsed();
  EXPECT_EQ(sequence.TypedKeys(), u"");
  EXPECT_EQ(Type(u"Q"), 0);
  EXPECT_EQ(timer.restarts.back(), 500u);
}

TEST_F(KeySequenceTest, APauseStartsOver) {
  EXPECT_EQ(Type(u"QXWT"), 0);
  sequence.TimerElapsed();
  EXPECT_EQ(Type(u"ZKPV"), 0);
  EXPECT_EQ(sequence.TypedKeys(), u"ZKPV");
}

TEST_F(KeySequenceTest, AfterAMatchTheRunningIntervalKeepsGrowing) {
  EXPECT_EQ(Type(u"QXWTZKPV"), 1);
  EXPECT_EQ(Type(u"Q"), 0);  // before the timer fired: counts from the last interval
  EXPECT_EQ(timer.restarts.back(), 927u + 250u);
}

TEST_F(KeySequenceTest, RepeatedPressesCountAsKeys) {
  for (int i = 0; i < 3; ++i) sequence.KeyEvent(Event('Q', true));
  EXPECT_EQ(sequence.TypedKeys(), u"QQQ");
}

}  // namespace
}  // namespace varnolet
