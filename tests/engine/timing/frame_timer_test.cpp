#include "engine/timing/frame_timer.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/headless.h"

namespace {

class FrameTimerTest : public ::testing::Test {
 protected:
  FrameTimerTest() : timer(app) {
    timer.SetInterval(16);
    timer.OnTimer = [this](int32_t lag) { ticks.push_back(lag); };
    timer.Loaded();  // enabled by default: starts now, measuring from the current clock
  }
  // One idle call `ms` milliseconds after the previous one.
  void IdleAfter(uint32_t ms) {
    machine.Advance(ms);
    timer.Idle();
  }

  platform::headless::HeadlessPlatform machine = MakeHeadlessPlatform();
  TApplication app{machine};
  TFrameTimer timer;
  std::vector<int32_t> ticks;
};

TEST_F(FrameTimerTest, LagCountIsTheWholeIntervalsElapsedWithTheRemainderDropped) {
  struct Case {
    uint32_t gap;
    int32_t lag;
  };
  const Case cases[] = {{16, 1}, {33, 2}, {47, 2}, {48, 3}, {20, 1}, {100, 6}};
  for (const Case& c : cases) {
    ticks.clear();
    IdleAfter(c.gap);
    ASSERT_EQ(ticks.size(), 1u) << c.gap;
    EXPECT_EQ(ticks[0], c.lag) << c.gap;
  }
}

TEST_F(FrameTimerTest, NoTickBeforeTheIntervalAndTheNextMeasuredFromTheTickNotTheIdleCall) {
  IdleAfter(15);
  EXPECT_TRUE(ticks.empty());
  EXPECT_EQ(timer.MillisecondsUntilDue(), 1u);
  IdleAfter(1);
  EXPECT_EQ(ticks, std::vector<int32_t>({1}));
  IdleAfter(10);
  IdleAfter(5);
  EXPECT_EQ(ticks.size(), 1u);
  IdleAfter(1);
  EXPECT_EQ(ticks.size(), 2u);
}

TEST_F(FrameTimerTest, IntervalZeroTicksOnEveryIdleCallWithTheElapsedMilliseconds) {
  timer.SetInterval(0);
  EXPECT_EQ(timer.Interval(), 0u);
  timer.Idle();  // 0 ms: still a tick, LagCount at least 1
  IdleAfter(7);
  IdleAfter(1);
  EXPECT_EQ(ticks, std::vector<int32_t>({1, 7, 1}));
  timer.SetInterval(-5);  // stored as 0
  EXPECT_EQ(timer.Interval(), 0u);
}

TEST_F(FrameTimerTest, TheClockWrappingAroundIsHarmless) {
  machine.clockImpl.now = 0xFFFFFFF8u;
  timer.Resume();
  IdleAfter(16);  // the clock has wrapped to 8
  EXPECT_EQ(ticks, std::vector<int32_t>({1}));
}

TEST_F(FrameTimerTest, TheFirstTickAfterResumeMeasuresFromTheResume) {
  machine.Advance(500);  // time passes while suspended
  timer.Resume();
  IdleAfter(16);
  EXPECT_EQ(ticks, std::vector<int32_t>({1}));
}

TEST_F(FrameTimerTest, FramesPerSecondIsCountedOverAtLeastASecond) {
  for (int i = 0; i < 62; ++i) IdleAfter(16);  // 992 ms
  EXPECT_EQ(timer.FramesPerSecond(), 0);
  IdleAfter(16);  // 63 ticks in 1008 ms: 62.5, brought to the even neighbour
  EXPECT_EQ(timer.FramesPerSecond(), 62);
  for (int i = 0; i < 50; ++i) IdleAfter(20);  // 50 ticks in 1000 ms
  EXPECT_EQ(timer.FramesPerSecond(), 50);
}

TEST_F(FrameTimerTest, AnActiveOnlyTimerStopsWhileTheApplicationIsInactive) {
  int activations = 0;
  int deactivations = 0;
  timer.OnActivate = [&] { ++activations; };
  timer.OnDeactivate = [&] { ++deactivations; };
  app.SetActive(false);
  EXPECT_EQ(app.IdleHook(), nullptr);
  machine.Advance(300);
  app.SetActive(true);
  EXPECT_EQ(app.IdleHook(), &timer);
  IdleAfter(16);  // measured from the reactivation
  EXPECT_EQ(ticks, std::vector<int32_t>({1}));
  EXPECT_EQ(activations, 1);
  EXPECT_EQ(deactivations, 1);
}

TEST_F(FrameTimerTest, ATimerThatIsNotActiveOnlyKeepsTickingAndBothEventsFireEvenWhenDisabled) {
  TFrameTimer other(app);
  int otherEvents = 0;
  other.OnActivate = other.OnDeactivate = [&] { ++otherEvents; };
  other.SetEnabled(false);
  other.Loaded();

  timer.SetActiveOnly(false);
  timer.SetEnabled(false);
  timer.SetEnabled(true);
  app.SetActive(false);
  IdleAfter(16);
  EXPECT_EQ(ticks.size(), 1u);
  app.SetActive(true);
  EXPECT_EQ(otherEvents, 2);
}

TEST_F(FrameTimerTest, DisablingTheOtherTimerAfterEnablingThisOneWouldRemoveTheHook) {
  // There is one hook: the switch must disable the running timer first.
  TFrameTimer game(app);
  game.SetEnabled(false);
  game.Loaded();
  game.SetEnabled(true);
  EXPECT_EQ(app.IdleHook(), &game);
  timer.SetEnabled(false);
  EXPECT_EQ(app.IdleHook(), nullptr);
}

TEST(ApplicationLoop, SleepsUntilTheTimerIsDueInsteadOfPolling) {
  auto machine = MakeHeadlessPlatform();
  TApplication app(machine);
  TFrameTimer timer(app);
  timer.SetInterval(16);
  std::vector<uint32_t> tickTimes;
  timer.OnTimer = [&](int32_t) {
    tickTimes.push_back(machine.clockImpl.now);
    if (tickTimes.size() == 5) app.Terminate();
  };
  timer.Loaded();
  const uint32_t start = machine.clockImpl.now;
  app.Run([](const platform::Event&) {});
  EXPECT_EQ(tickTimes,
            std::vector<uint32_t>({start + 16, start + 32, start + 48, start + 64, start + 80}));
  // Every pass slept until the next tick was due.
  for (const uint32_t wait : machine.eventsImpl.waits) EXPECT_EQ(wait, 16u);
  EXPECT_EQ(machine.eventsImpl.waits.size(), 5u);
}

TEST(ApplicationLoop, AnExceptionFromAHandlerIsReportedAndTheLoopGoesOn) {
  auto machine = MakeHeadlessPlatform();
  TApplication app(machine);
  std::vector<std::string> errors;
  app.SetErrorHandler([&](const char* message) { errors.emplace_back(message); });
  machine.KeyDown(65);
  machine.KeyDown(66);
  std::vector<uint16_t> seen;
  app.ProcessMessages([&](const platform::Event& event) {
    seen.push_back(event.key);
    if (event.key == 65) throw std::runtime_error("Image 'x' not found");
  });
  EXPECT_EQ(errors, std::vector<std::string>({"Image 'x' not found"}));
  EXPECT_EQ(seen, std::vector<uint16_t>({65, 66}));
}

}  // namespace
