#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "support/RealTimeLoop.h"
#include "support/VirtualScheduler.h"

TEST(VirtualSchedulerTest, RunsInTimeOrderTiesInCreationOrder) {
  VirtualScheduler s;
  std::string order;
  s.Schedule(10, [&] { order += 'b'; });
  s.Schedule(5, [&] { order += 'a'; });
  s.Schedule(10, [&] { order += 'c'; });
  auto id = s.Schedule(7, [&] { order += 'x'; });
  s.Cancel(id);
  s.Cancel(id);  // twice is harmless
  s.Post([&] { order += '0'; });
  s.Advance(9);
  EXPECT_EQ(order, "0a");
  EXPECT_EQ(s.NowMs(), 9);
  s.Advance(1);
  EXPECT_EQ(order, "0abc");
}

TEST(VirtualSchedulerTest, TasksScheduledWhileRunningRunInTheSameAdvanceWhenDue) {
  VirtualScheduler s;
  std::string order;
  s.Schedule(5, [&] {
    order += 'a';
    s.Schedule(5, [&] { order += 'b'; });
    s.Post([&] { order += 'p'; });
  });
  s.Advance(10);
  EXPECT_EQ(order, "apb");
}

TEST(VirtualSchedulerTest, PostFromAnotherThreadRunsOnTheAdvancingThread) {
  VirtualScheduler s;
  std::atomic<bool> ran{false};
  std::thread::id where;
  std::thread t([&] { s.Post([&] { where = std::this_thread::get_id(); ran = true; }); });
  t.join();
  EXPECT_FALSE(ran);
  s.RunPending();
  EXPECT_TRUE(ran);
  EXPECT_EQ(where, std::this_thread::get_id());
}

TEST(PostGateTest, WorkPostedBeforeCloseNeverRunsAfterIt) {
  VirtualScheduler s;
  int runs = 0;
  TPostGate gate(s);
  gate.Post([&] { ++runs; });
  gate.Close();
  s.RunPending();
  EXPECT_EQ(runs, 0);
  gate.Post([&] { ++runs; });  // a reopened gate works again
  s.RunPending();
  EXPECT_EQ(runs, 1);
}

TEST(RealTimeLoopTest, RunsDeadlinesAndPostsFromOtherThreads) {
  RealTimeLoop loop;
  std::atomic<int> hits{0};
  const auto t0 = loop.NowMs();  // before the deadline is set: starting the thread takes time
  loop.Schedule(30, [&] { ++hits; });
  std::thread t([&] { loop.Post([&] { ++hits; }); });
  EXPECT_TRUE(loop.RunUntil([&] { return hits == 2; }, 2000));
  t.join();
  EXPECT_GE(loop.NowMs() - t0, 29);
  EXPECT_FALSE(loop.RunUntil([] { return false; }, 20));
}
