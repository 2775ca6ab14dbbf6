#include <gtest/gtest.h>

#include <memory>
#include <chrono>
#include <thread>
#include <vector>

#include "runtime/Timer.h"
#include "support/RealTimeLoop.h"
#include "support/VirtualScheduler.h"

namespace {

struct TimerFixture : ::testing::Test {
  VirtualScheduler sched;
  std::vector<std::int64_t> ticks;
  void Record(TTimer& t) {
    t.OnTimer = [this](TObject*) { ticks.push_back(sched.NowMs()); };
  }
};

}  // namespace

TEST_F(TimerFixture, TicksEveryIntervalFromCreation) {
  TTimer t(sched, 20);
  EXPECT_TRUE(t.Enabled());
  Record(t);
  sched.Advance(100);
  EXPECT_EQ(ticks, (std::vector<std::int64_t>{20, 40, 60, 80, 100}));
}

TEST_F(TimerFixture, ChangedIntervalRestartsTheWaitSameValueChangesNothing) {
  TTimer t(sched, 250);
  Record(t);
  sched.Advance(200);
  t.SetInterval(250);  // same value: the tick stays at 250
  sched.Advance(50);
  EXPECT_EQ(ticks, (std::vector<std::int64_t>{250}));
  sched.Advance(100);  // now 350
  t.SetInterval(2500);
  t.SetInterval(50);  // next tick 50 ms after this change
  sched.Advance(49);
  EXPECT_EQ(ticks.size(), 1u);
  sched.Advance(1);
  EXPECT_EQ(ticks, (std::vector<std::int64_t>{250, 400}));
}

TEST_F(TimerFixture, IntervalChangedInsideTheHandlerCountsFromTheTick) {
  TTimer t(sched, 100);
  t.OnTimer = [&](TObject*) {
    ticks.push_back(sched.NowMs());
    t.SetInterval(ticks.size() % 2 ? 30 : 100);
  };
  sched.Advance(300);
  EXPECT_EQ(ticks, (std::vector<std::int64_t>{100, 130, 230, 260}));
}

TEST_F(TimerFixture, DisabledTimerIsSilentAndReenablingStartsAFreshWait) {
  TTimer t(sched, 100);
  Record(t);
  sched.Advance(90);
  t.SetEnabled(false);
  sched.Advance(500);
  EXPECT_TRUE(ticks.empty());
  t.SetEnabled(true);
  sched.Advance(100);
  EXPECT_EQ(ticks, (std::vector<std::int64_t>{690}));
  t.SetInterval(0);  // an interval of 0 never ticks
  sched.Advance(1000);
  EXPECT_EQ(ticks.size(), 1u);
}

TEST(TimerRealTime, LateTickFiresOnceWithoutCatchUp) {
  RealTimeLoop loop;
  TTimer t(loop, 10);
  std::vector<std::int64_t> at;
  t.OnTimer = [&](TObject*) {
    at.push_back(loop.NowMs());
    if (at.size() == 1) std::this_thread::sleep_for(std::chrono::milliseconds(60));  // five ticks missed
  };
  loop.RunUntil([&] { return at.size() >= 4; }, 5000);
  ASSERT_GE(at.size(), 4u);
  // After the stall: one late tick, then whole intervals again; never two ticks in a row.
  for (std::size_t i = 2; i < at.size(); ++i) EXPECT_GE(at[i] - at[i - 1], 9) << "tick " << i;
}

TEST_F(TimerFixture, TimerDestroyedInItsHandlerStops) {
  auto t = std::make_unique<TTimer>(sched, 10);
  int calls = 0;
  t->OnTimer = [&](TObject*) {
    ++calls;
    t.reset();
  };
  sched.Advance(100);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(sched.Pending(), 0u);
}
