#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "runtime/TaskQueue.h"
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

// Virtual time on a busy user-interface thread: RunNext runs the first task a given time
// after its deadline.
class LateScheduler : public Scheduler {
public:
  std::int64_t NowMs() const override { return now_; }
  TaskId Schedule(std::int64_t delayMs, std::function<void()> fn) override {
    return queue_.Schedule(now_ + std::max<std::int64_t>(delayMs, 0), std::move(fn));
  }
  void Cancel(TaskId id) override { queue_.Cancel(id); }
  void Post(std::function<void()> fn) override { queue_.Post(std::move(fn)); }

  // Runs the first task lateMs after its deadline (at once when that has passed); gives the
  // deadline.
  std::int64_t RunNext(std::int64_t lateMs) {
    queue_.TakePosted(now_);
    auto task = queue_.TakeNext(LLONG_MAX);
    if (!task) return -1;
    now_ = std::max(now_, task->Due + lateMs);
    task->Fn();
    return task->Due;
  }
  std::optional<std::int64_t> NextDue() const { return queue_.NextDue(); }
  std::size_t Pending() const { return queue_.Size(); }

private:
  std::int64_t now_ = 0;
  TTaskQueue queue_;
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

TEST(TimerLate, TicksStayOnTheGridOfTheirDeadlines) {
  // The link's 20 ms timer on a thread that runs each tick a little late: the lateness does
  // not add up, so the 26th tick is still due at 520 ms.
  LateScheduler s;
  TTimer t(s, 20);
  std::vector<std::int64_t> ran;
  t.OnTimer = [&](TObject*) { ran.push_back(s.NowMs()); };
  for (std::int64_t k = 1; k <= 189; ++k) {
    const std::int64_t late = k * 7 % 19;  // 0 to 18 ms, less than an interval
    ASSERT_EQ(s.RunNext(late), 20 * k) << "tick " << k;
    ASSERT_EQ(ran.back(), 20 * k + late);
  }
  EXPECT_EQ(ran.size(), 189u);
  EXPECT_EQ(s.Pending(), 1u);
}

TEST(TimerLate, ATickLateByAWholeIntervalFiresOnceAndTheNextComesAnIntervalLater) {
  struct Case {
    std::int64_t late;     // of the tick due at 60
    std::int64_t nextDue;  // of the tick after it
  };
  for (const Case& c : {Case{5, 80}, Case{19, 80}, Case{20, 100}, Case{60, 140}, Case{65, 145}}) {
    LateScheduler s;
    TTimer t(s, 20);
    int ticks = 0;
    t.OnTimer = [&](TObject*) { ++ticks; };
    s.RunNext(0);
    s.RunNext(0);
    EXPECT_EQ(s.RunNext(c.late), 60);
    EXPECT_EQ(ticks, 3) << c.late;
    EXPECT_EQ(s.Pending(), 1u) << "one tick armed, no catch-up queued";
    EXPECT_EQ(s.NextDue(), c.nextDue) << c.late;
    EXPECT_EQ(s.RunNext(0), c.nextDue);
    EXPECT_EQ(s.NextDue(), c.nextDue + 20) << "then back on a 20 ms period";
  }
}

TEST(TimerLate, ChangesDuringALateTickCountFromThatMoment) {
  LateScheduler s;
  TTimer t(s, 100);
  std::vector<std::int64_t> ran;
  t.OnTimer = [&](TObject*) {
    ran.push_back(s.NowMs());
    if (ran.size() == 1) t.SetInterval(50);
    if (ran.size() == 2) {
      t.SetEnabled(false);
      t.SetEnabled(true);
    }
    if (ran.size() == 3) t.SetInterval(50);  // the same value: the period is kept
  };
  s.RunNext(30);  // due 100, runs at 130: the new interval counts from 130
  EXPECT_EQ(s.NextDue(), 180);
  s.RunNext(5);  // due 180, runs at 185: enabled again at 185
  EXPECT_EQ(s.NextDue(), 235);
  s.RunNext(7);  // due 235, runs at 242
  EXPECT_EQ(s.NextDue(), 285);
  EXPECT_EQ(ran, (std::vector<std::int64_t>{130, 185, 242}));
}

TEST(TimerRealTime, LateTickFiresOnceWithoutCatchUp) {
  RealTimeLoop loop;
  TTimer t(loop, 10);
  std::vector<std::int64_t> at;
  std::int64_t stallEnd = 0;
  t.OnTimer = [&](TObject*) {
    at.push_back(loop.NowMs());
    if (at.size() == 1) {
      std::this_thread::sleep_for(std::chrono::milliseconds(60));  // five ticks missed
      stallEnd = loop.NowMs();
    }
  };
  loop.RunUntil([&] { return at.size() >= 4; }, 5000);
  ASSERT_GE(at.size(), 4u);
  // After the stall: one late tick, then a whole interval before the next. The late tick runs
  // once the stall is over and the interval counts from then, so the next one comes at least
  // 10 ms after the stall's end however busy the machine is, where catch-up ticks would come
  // at once. (Measured from the late tick's handler instead, a pause of the thread between
  // the tick and its handler would shorten the gap.)
  EXPECT_GE(at[1] - at[0], 59);
  EXPECT_GE(at[1], stallEnd);
  EXPECT_GE(at[2] - stallEnd, 10);
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
