#include "app/notification_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_notification_view.h"

namespace varnolet {
namespace {

using fakes::FakeNotificationView;

// ---------------------------------------------------------------- fade timeline

class FadeTest : public testing::Test {
 protected:
  // Runs the clock to `time` with the single window's ticks.
  void RunUntil(std::int64_t time) {
    view.RunUntil(time, [this] { window.TimerNTimer(); });
  }
  void ShowAt(std::int64_t time, const std::u16string& text) {
    RunUntil(time);
    window.ShowNotification(text);
  }

  FakeNotificationView view;
  bool enabled = true;
  std::uint16_t ticks = 0;  // a fresh run
  NotificationWindow window{view, enabled, ticks};
};

TEST_F(FadeTest, TheFirstNotificationOfARunHoldsForTwoTicks) {
  ShowAt(0, u"Headset");
  EXPECT_TRUE(view.visible);
  EXPECT_EQ(view.alpha, 255);
  EXPECT_EQ(view.timerInterval, 1000u);
  RunUntil(999);
  EXPECT_EQ(view.alpha, 255);
  RunUntil(1000);
  EXPECT_EQ(view.alpha, 254);
  EXPECT_EQ(view.timerInterval, 1000u);  // the counter is 1: still holding
  RunUntil(1999);
  EXPECT_EQ(view.alpha, 254);
  RunUntil(2000);
  EXPECT_EQ(view.alpha, 253);
  EXPECT_EQ(view.timerInterval, 10u);
  RunUntil(2010);
  EXPECT_EQ(view.alpha, 252);
  RunUntil(4529);
  EXPECT_TRUE(view.visible);
  EXPECT_EQ(view.alpha, 1);
  RunUntil(6000);
  EXPECT_FALSE(view.visible);
  EXPECT_EQ(view.hiddenAt, 4530);  // about 4.5 s after it appeared
  EXPECT_EQ(view.alpha, 0);
  EXPECT_FALSE(view.timerRunning);
  EXPECT_FALSE(window.Fade().TimerEnabled());
  EXPECT_EQ(window.Fade().TimerInterval(), 1000u);
  EXPECT_EQ(ticks, 255);
}

TEST_F(FadeTest, LaterNotificationsHoldForOneTick) {
  ShowAt(0, u"Headset");
  ShowAt(10000, u"Speakers");
  EXPECT_EQ(view.timerInterval, 1000u);  // the timer was stopped and set back to 1000 ms
  RunUntil(10999);
  EXPECT_EQ(view.alpha, 255);
  RunUntil(11000);
  EXPECT_EQ(view.alpha, 254);
  EXPECT_EQ(view.timerInterval, 10u);
  RunUntil(20000);
  EXPECT_EQ(view.hiddenAt, 13540);  // about 3.5 s
  EXPECT_EQ(ticks, 255 + 255);
  EXPECT_FALSE(view.timerRunning);
}

TEST_F(FadeTest, ASecondNotificationWithinASecondKeepsTheFirstOnesSchedule) {
  struct Case {
    std::uint16_t ticksBefore;
    std::int64_t hidden;
  };
  for (const Case c : {Case{0, 4530}, Case{7, 3540}}) {
    SCOPED_TRACE(c.ticksBefore);
    FakeNotificationView v;
    bool on = true;
    std::uint16_t counter = c.ticksBefore;
    NotificationWindow w(v, on, counter);
    const auto tick = [&w] { w.TimerNTimer(); };
    w.ShowNotification(u"Headset");
    v.RunUntil(600, tick);
    w.ShowNotification(u"Speakers");
    EXPECT_EQ(v.labels[NotificationLabel::DeviceName], u"Speakers");
    EXPECT_EQ(v.alpha, 255);
    EXPECT_EQ(v.timerStarts, 1);  // the running timer was left alone
    v.RunUntil(1000, tick);
    EXPECT_EQ(v.alpha, 254);
    v.RunUntil(10000, tick);
    EXPECT_EQ(v.hiddenAt, c.hidden);
  }
}

TEST_F(FadeTest, ANotificationDuringTheFadeRestartsItFromFullOpacityWithoutAHold) {
  ticks = 2;  // not the first of the run
  ShowAt(0, u"Headset");
  RunUntil(2005);
  EXPECT_EQ(view.alpha, 154);
  window.ShowNotification(u"Speakers");
  EXPECT_EQ(view.alpha, 255);
  EXPECT_EQ(view.timerInterval, 10u);
  RunUntil(2010);
  EXPECT_EQ(view.alpha, 254);
  RunUntil(10000);
  EXPECT_EQ(view.hiddenAt, 4550);  // about 2.5 s after the second notification
}

TEST_F(FadeTest, WithNotificationsOffNothingChanges) {
  enabled = false;
  window.ShowNotification(u"Headset");
  EXPECT_TRUE(view.calls.empty());
  EXPECT_TRUE(view.labels.empty());
  EXPECT_FALSE(view.visible);

  // Switched off while a notification fades: that one goes on unchanged.
  enabled = true;
  ticks = 2;
  ShowAt(0, u"Headset");
  RunUntil(1500);
  const std::uint8_t alpha = view.alpha;
  const std::size_t calls = view.calls.size();
  enabled = false;
  window.ShowNotification(u"Speakers");
  EXPECT_EQ(view.alpha, alpha);
  EXPECT_EQ(view.calls.size(), calls);
  EXPECT_EQ(view.labels[NotificationLabel::DeviceName], u"Headset");
  RunUntil(10000);
  EXPECT_EQ(view.hiddenAt, 3540);
}

TEST_F(FadeTest, TheCounterWrapsAfter65535TicksAndTheNextNotificationHoldsLonger) {
  ticks = 65535;
  ShowAt(0, u"Headset");
  RunUntil(1000);  // counter 0
  RunUntil(2000);  // counter 1
  EXPECT_EQ(view.alpha, 253);
  EXPECT_EQ(view.timerInterval, 1000u);
  RunUntil(3000);  // counter 2: the fade begins
  EXPECT_EQ(view.timerInterval, 10u);
  RunUntil(10000);
  EXPECT_EQ(view.hiddenAt, 5520);
}

TEST_F(FadeTest, ATickAfterTheWindowWasHiddenChangesNothing) {
  ShowAt(0, u"Headset");
  RunUntil(10000);
  const std::uint16_t counted = ticks;
  window.TimerNTimer();
  EXPECT_EQ(view.alpha, 0);
  EXPECT_EQ(ticks, counted);
  EXPECT_FALSE(view.visible);
}

TEST(NotificationCountersTest, EachWindowClassHasOneCounterForTheProcess) {
  EXPECT_NE(&NotificationWindow::ProcessTicks(), &LinkNotificationWindow::ProcessTicks());
  EXPECT_EQ(&NotificationWindow::ProcessTicks(), &NotificationWindow::ProcessTicks());
  FakeNotificationView single;
  FakeNotificationView link;
  bool on = true;
  NotificationWindow window(single, on);
  LinkNotificationWindow linkWindow(link, on);
  const std::uint16_t singleBefore = NotificationWindow::ProcessTicks();
  const std::uint16_t linkBefore = LinkNotificationWindow::ProcessTicks();
  window.ShowNotification(u"Headset");
  single.RunUntil(1000, [&] { window.TimerNTimer(); });
  EXPECT_EQ(NotificationWindow::ProcessTicks(), static_cast<std::uint16_t>(singleBefore + 1));
  EXPECT_EQ(LinkNotificationWindow::ProcessTicks(), linkBefore);
}

TEST(NotificationOrderTest, ShowSetsTheTextSizeAndPlaceBeforeShowingAndStartsTheTimerLast) {
  FakeNotificationView view;
  bool on = true;
  std::uint16_t ticks = 0;
  NotificationWindow window(view, on, ticks);
  window.ShowNotification(u"Headset");
  EXPECT_EQ(view.calls, (std::vector<std::string>{"SetLabelText", "SetClientSize", "MoveTo", "SetAlpha255",
                                                  "ShowInactive", "StartTimer1000"}));
  EXPECT_EQ(view.inputEnabled, true);  // the main form was prepared once at start, not here
}

// ---------------------------------------------------------------- window arithmetic

struct Shown {
  PixelSize client;
  int left;
  int top;
};

Shown ShowSingle(FakeNotificationView& view, const std::u16string& text) {
  bool on = true;
  std::uint16_t ticks = 0;
  NotificationWindow window(view, on, ticks);
  window.ShowNotification(text);
  return Shown{view.client, view.left, view.top};
}

TEST(NotificationArithmeticTest, TheSingleWindowSitsAboveTheWorkAreaCentredOnTheScreen) {
  struct Case {
    const char* name;
    ScreenRect workArea;
    int screenWidth;
    std::u16string text;  // 7 pixels a character
    PixelSize client;
    int left;
    int top;
  };
  // 32 characters of 7 pixels and an 'i' of 6: label 230, client 294 x 56, outer 300 x 62.
  const std::u16string name230 = std::u16string(32, u'x') + u"i";
  const Case cases[] = {
      {"TaskbarAtTheBottom", {0, 0, 1920, 1040}, 1920, name230, {294, 56}, 810, 958},
      {"TaskbarAtTheTop", {0, 40, 1920, 1080}, 1920, name230, {294, 56}, 810, 958},
      {"TaskbarAtTheLeft", {60, 0, 1920, 1080}, 1920, name230, {294, 56}, 810, 998},
      {"OddWidthsTruncate", {0, 0, 1921, 1040}, 1921, u"ab", {78, 56}, 960 - 42, 958},
      {"SixtyCharactersWiden", {0, 0, 1920, 1040}, 1920, std::u16string(60, u'x'), {484, 56}, 960 - 245, 958},
      {"WiderThanTheScreen", {0, 0, 400, 400}, 400, std::u16string(100, u'x'), {764, 56}, 200 - 385, 318},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeNotificationView view;
    view.charWidths[u'i'] = 6;
    view.workArea = c.workArea;
    view.screenWidth = c.screenWidth;
    const Shown shown = ShowSingle(view, c.text);
    EXPECT_EQ(shown.client.width, c.client.width);
    EXPECT_EQ(shown.client.height, c.client.height);
    EXPECT_EQ(shown.left, c.left);
    EXPECT_EQ(shown.top, c.top);
  }
}

TEST(NotificationArithmeticTest, TheSpecimenWindowOf300By62) {
  FakeNotificationView view;
  view.frame = PixelSize{6, 6};
  view.charWidths[u'x'] = 230;  // one character, label 230: client 294 x 56, outer 300 x 62
  const Shown bottom = ShowSingle(view, u"x");
  EXPECT_EQ(view.OuterSize().width, 300);
  EXPECT_EQ(view.OuterSize().height, 62);
  EXPECT_EQ(bottom.top, 958);  // 1040 - 62 - 20
  EXPECT_EQ(bottom.left, 810);
  view.workArea = ScreenRect{0, 40, 1920, 1080};
  EXPECT_EQ(ShowSingle(view, u"x").top, 958);  // the work area's height, not its bottom edge
}

TEST(NotificationArithmeticTest, AFailedWorkAreaQueryKeepsTheTop) {
  FakeNotificationView view;
  view.workAreaAnswers = false;
  bool on = true;
  std::uint16_t ticks = 0;
  NotificationWindow window(view, on, ticks);
  window.ShowNotification(u"Headset");
  EXPECT_EQ(view.top, 0);  // nothing known yet
  view.workAreaAnswers = true;
  window.ShowNotification(u"Headset");
  EXPECT_EQ(view.top, 958);
  view.workAreaAnswers = false;
  view.workArea = ScreenRect{0, 0, 1920, 500};
  window.ShowNotification(u"Headset");
  EXPECT_EQ(view.top, 958);
  EXPECT_EQ(window.Placement().Top(), 958);
}

TEST(NotificationArithmeticTest, DesignSizesFollowTheMonitorsDpi) {
  FakeNotificationView view;
  view.dpi = 144;
  view.imageWidth = 48;  // Img 40 at 144 dpi
  const Shown shown = ShowSingle(view, u"ab");
  EXPECT_EQ(shown.client.height, 48 + 19);      // 16 design pixels: 19
  EXPECT_EQ(shown.client.width, 14 + 48 + 29);  // 24 design pixels: 29
  EXPECT_EQ(shown.top, 1040 - (67 + 6) - 24);   // 20 design pixels: 24
}

Shown ShowLink(FakeNotificationView& view, const std::u16string& playback, const std::u16string& recording) {
  bool on = true;
  std::uint16_t ticks = 0;
  LinkNotificationWindow window(view, on, ticks);
  window.ShowLinkNotification(playback, recording);
  return Shown{view.client, view.left, view.top};
}

TEST(LinkNotificationTest, TheLabelOfTheNameWithMoreCharactersSetsTheWidth) {
  struct Case {
    const char* name;
    std::u16string playback;
    std::u16string recording;
    int textWidth;
  };
  // 'W' is 14 pixels wide, 'i' 3, anything else 7.
  const Case cases[] = {
      {"PlaybackLonger", u"Speakers-001", u"Headset-01", 12 * 7},
      {"RecordingLonger", u"Headset-01", u"Speakers-001", 12 * 7},
      {"TieTakesTheRecordingLabel", u"WWWWWWWWWW", u"iiiiiiiiii", 10 * 3},
      {"FewerCharactersButWider", u"WWWWWWWWWW", u"iiiiiiiiiiii", 12 * 3},
      {"FewerCharactersButWiderRecording", u"iiiiiiiiiiii", u"WWWWWWWWWW", 12 * 3},
      {"BothEmpty", u"", u"", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeNotificationView view;
    view.imageWidth = 20;
    view.charWidths = {{u'W', 14}, {u'i', 3}};
    const Shown shown = ShowLink(view, c.playback, c.recording);
    EXPECT_EQ(view.labels[NotificationLabel::RenderDevice], c.playback);
    EXPECT_EQ(view.labels[NotificationLabel::CaptureDevice], c.recording);
    EXPECT_EQ(shown.client.width, 20 + c.textWidth + 24);
    EXPECT_EQ(shown.client.height, 60);
    EXPECT_EQ(shown.top, 1040 - 66 - 20);
    EXPECT_EQ(shown.left, 960 - (20 + c.textWidth + 24 + 6) / 2);
  }
}

TEST(LinkNotificationTest, EveryShowPreparesTheWindowFirst) {
  FakeNotificationView view;
  view.imageWidth = 20;
  bool on = true;
  std::uint16_t ticks = 0;
  LinkNotificationWindow window(view, on, ticks);
  window.ShowLinkNotification(u"Headset", u"Microphone");
  EXPECT_EQ(view.calls,
            (std::vector<std::string>{"WindowStyle", "SetWindowStyle", "UpdateFrame", "DisableInput",
                                      "SetLabelText", "SetLabelText", "SetClientSize", "MoveTo",
                                      "SetAlpha255", "ShowInactive", "StartTimer1000"}));
  EXPECT_EQ(view.style, 0x160F0000u);  // WS_CAPTION removed
  EXPECT_EQ(view.frameUpdates, std::vector<std::uint32_t>{0x37});
  EXPECT_FALSE(view.inputEnabled);
  window.ShowLinkNotification(u"Headset", u"Microphone");
  EXPECT_EQ(view.frameUpdates.size(), 2u);
}

TEST(LinkNotificationTest, WithNotificationsOffNothingHappens) {
  FakeNotificationView view;
  bool on = false;
  std::uint16_t ticks = 0;
  LinkNotificationWindow window(view, on, ticks);
  window.ShowLinkNotification(u"Headset", u"Microphone");
  EXPECT_TRUE(view.calls.empty());
  EXPECT_TRUE(view.labels.empty());
}

TEST(LinkNotificationTest, TheLinkWindowFadesOnItsOwnCounter) {
  FakeNotificationView view;
  view.imageWidth = 20;
  bool on = true;
  std::uint16_t ticks = 0;
  LinkNotificationWindow window(view, on, ticks);
  window.ShowLinkNotification(u"Headset", u"Microphone");
  view.RunUntil(10000, [&] { window.TimerNTimer(); });
  EXPECT_EQ(view.hiddenAt, 4530);
  window.ShowLinkNotification(u"Headset", u"Microphone");
  view.RunUntil(20000, [&] { window.TimerNTimer(); });
  EXPECT_EQ(view.hiddenAt, 13540);
}

TEST(PrepareNotificationWindowTest, ClearsTheCaptionRecomputesTheFrameAndTakesNoInput) {
  FakeNotificationView view;
  view.style = 0xFFFFFFFFu;
  PrepareNotificationWindow(view);
  EXPECT_EQ(view.style, 0xFF3FFFFFu);
  EXPECT_EQ(view.frameUpdates, std::vector<std::uint32_t>{0x37});
  EXPECT_FALSE(view.inputEnabled);
  EXPECT_FALSE(view.visible);
}

}  // namespace
}  // namespace varnolet
