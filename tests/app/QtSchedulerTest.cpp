#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/QtScheduler.h"
#include "runtime/Timer.h"
#include "support/VirtualScheduler.h"

namespace {

// Runs the Qt event loop until pred holds or timeoutMs pass; true when it held.
bool Spin(const std::function<bool()>& pred, int timeoutMs = 1500) {
  QElapsedTimer clock;
  clock.start();
  QTimer guard;  // wakes the loop now and then, so the limit is seen whatever else happens
  guard.setTimerType(Qt::PreciseTimer);
  guard.start(5);
  while (!pred() && !clock.hasExpired(timeoutMs)) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  return pred();
}

// The same work on any scheduler: deadlines, a tie, a cancel, a post, and a task that
// schedules and posts more work; order gets the tasks in the order they ran.
void Script(Scheduler& s, std::string& order) {
  s.Schedule(200, [&] { order += 'd'; });
  s.Schedule(100, [&s, &order] {
    order += 'b';
    s.Schedule(100, [&] { order += 'e'; });  // due with 'd', created after it
    s.Post([&] { order += 'c'; });
  });
  const auto x = s.Schedule(150, [&] { order += 'x'; });
  s.Schedule(200, [&] { order += 'D'; });  // ties with 'd', created after it
  s.Post([&] { order += 'a'; });
  s.Cancel(x);
}

}  // namespace

TEST(QtSchedulerTest, RunsTasksInTheOrderOfVirtualTime) {
  std::string virtualOrder;
  VirtualScheduler v;
  Script(v, virtualOrder);
  v.Advance(300);
  ASSERT_EQ(virtualOrder, "abcdDe");

  QtScheduler q;
  std::string order;
  const std::int64_t t0 = q.NowMs();
  std::int64_t bAt = -1;
  Script(q, order);
  q.Schedule(100, [&] { bAt = q.NowMs(); });
  ASSERT_TRUE(Spin([&] { return order.size() == 6; }));
  EXPECT_EQ(order, virtualOrder);
  EXPECT_GE(bAt - t0, 100) << "a deadline never fires early";
  EXPECT_LT(bAt - t0, 600);
  Spin([] { return false; }, 50);
  EXPECT_EQ(order, virtualOrder) << "the cancelled task never runs";
}

TEST(QtSchedulerTest, PostFromAnotherThreadWakesTheLoopAndRunsOnTheGuiThreadInOrder) {
  QtScheduler q;
  constexpr int Count = 200;
  std::vector<int> seen;
  std::atomic<bool> elsewhere{false};
  const auto gui = std::this_thread::get_id();
  QElapsedTimer clock;
  clock.start();
  std::thread poster([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));  // the loop is asleep by then
    for (int i = 0; i < Count; ++i)
      q.Post([&, i] {
        if (std::this_thread::get_id() != gui) elsewhere = true;
        seen.push_back(i);
      });
  });
  const bool done = Spin([&] { return seen.size() == static_cast<std::size_t>(Count); });
  poster.join();
  ASSERT_TRUE(done);
  EXPECT_LT(clock.elapsed(), 1000) << "woken by the posts, with no deadline pending";
  EXPECT_FALSE(elsewhere);
  for (int i = 0; i < Count; ++i) ASSERT_EQ(seen[static_cast<std::size_t>(i)], i);
}

TEST(QtSchedulerTest, ATimerTicksAtItsPeriod) {
  QtScheduler q;
  const std::int64_t t0 = q.NowMs();
  TTimer timer(q, 20);
  std::vector<std::int64_t> ticks;
  timer.OnTimer = [&](TObject*) { ticks.push_back(q.NowMs() - t0); };
  ASSERT_TRUE(Spin([&] { return ticks.size() == 15; }));
  timer.SetEnabled(false);
  for (std::size_t i = 0; i < ticks.size(); ++i) EXPECT_GE(ticks[i], 20 * static_cast<std::int64_t>(i + 1)) << i;
  // On the 20 ms grid: the 15th tick comes at 300 ms, give or take the machine's load.
  EXPECT_LT(ticks.back(), 300 + 150);
  Spin([] { return false; }, 60);
  EXPECT_EQ(ticks.size(), 15u) << "a disabled timer is silent";
}

TEST(QtSchedulerTest, WorkLeftWhenTheSchedulerGoesIsDropped) {
  int runs = 0;
  auto q = std::make_unique<QtScheduler>();
  q->Schedule(0, [&] { ++runs; });
  q->Post([&] { ++runs; });
  q.reset();
  Spin([] { return false; }, 30);
  EXPECT_EQ(runs, 0);
}
