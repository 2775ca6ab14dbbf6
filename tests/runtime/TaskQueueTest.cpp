#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <thread>
#include <vector>

#include "runtime/TaskQueue.h"

namespace {

// Takes every task due by `until` and runs it, as a scheduler does.
void RunUntil(TTaskQueue& q, std::int64_t until) {
  while (auto t = q.TakeNext(until)) t->Fn();
}

}  // namespace

TEST(TaskQueueTest, TakesByDueTimeThenInCreationOrder) {
  TTaskQueue q;
  std::string order;
  auto add = [&](std::int64_t due, char c) { return q.Schedule(due, [&order, c] { order += c; }); };
  add(10, 'c');
  add(5, 'a');
  add(10, 'd');
  const auto x = add(7, 'x');
  add(5, 'b');
  add(-3, '0');  // a deadline in the past comes first
  EXPECT_EQ(q.NextDue(), -3);
  EXPECT_TRUE(q.Cancel(x));
  EXPECT_FALSE(q.Cancel(x));  // twice is harmless
  EXPECT_FALSE(q.Cancel(9999));
  EXPECT_EQ(q.Size(), 5u);

  EXPECT_FALSE(q.TakeNext(-4));
  RunUntil(q, 9);
  EXPECT_EQ(order, "0ab");
  EXPECT_EQ(q.NextDue(), 10);
  RunUntil(q, 10);
  EXPECT_EQ(order, "0abcd");
  EXPECT_EQ(q.Size(), 0u);
  EXPECT_FALSE(q.NextDue());
}

TEST(TaskQueueTest, ATakenTaskCarriesItsIdAndDueAndCannotBeCancelled) {
  TTaskQueue q;
  const auto id = q.Schedule(LLONG_MAX, [] {});
  const auto t = q.TakeNext(LLONG_MAX);
  ASSERT_TRUE(t);
  EXPECT_EQ(t->Id, id);
  EXPECT_EQ(t->Due, LLONG_MAX);
  EXPECT_FALSE(q.Cancel(id));
  // A task that cancels a later one, or schedules one due at once, while the queue is run.
  std::string order;
  TTaskQueue::TaskId later = 0;
  q.Schedule(1, [&] {
    order += 'a';
    q.Cancel(later);
    q.Schedule(1, [&] { order += 'c'; });
  });
  later = q.Schedule(1, [&] { order += 'x'; });
  q.Schedule(2, [&] { order += 'd'; });
  RunUntil(q, 2);
  EXPECT_EQ(order, "acd");
}

TEST(TaskQueueTest, PostedTasksJoinInFifoOrderAtTheirTime) {
  TTaskQueue q;
  std::string order;
  q.Schedule(5, [&] { order += 'b'; });
  q.Schedule(7, [&] { order += 'c'; });
  q.Post([&] { order += 'd'; });     // due when it joins
  q.Post([&] { order += 'a'; }, 3);  // due when it was posted
  q.Post([&] { order += 'e'; });
  EXPECT_EQ(q.Size(), 2u);
  EXPECT_EQ(q.PostedCount(), 3u);
  q.TakePosted(7);  // at a tie the tasks already queued come first
  EXPECT_EQ(q.PostedCount(), 0u);
  EXPECT_EQ(q.Size(), 5u);
  RunUntil(q, 7);
  EXPECT_EQ(order, "abcde");
}

TEST(TaskQueueTest, PostsFromOtherThreadsKeepEachThreadsOrderWhileTheOwnerRuns) {
  TTaskQueue q;
  constexpr int PerThread = 2000;
  std::vector<std::vector<int>> seen(3);
  std::vector<std::thread> posters;
  for (std::size_t t = 0; t < seen.size(); ++t)
    posters.emplace_back([&q, &seen, t] {
      for (int i = 0; i < PerThread; ++i) q.Post([&seen, t, i] { seen[t].push_back(i); });
    });
  // The owner takes and runs while the others post.
  std::size_t ran = 0;
  while (ran < seen.size() * PerThread) {
    q.TakePosted(0);
    while (auto task = q.TakeNext(0)) {
      task->Fn();
      ++ran;
    }
  }
  for (auto& p : posters) p.join();
  for (const auto& s : seen) {
    ASSERT_EQ(s.size(), static_cast<std::size_t>(PerThread));
    for (int i = 0; i < PerThread; ++i) ASSERT_EQ(s[static_cast<std::size_t>(i)], i);
  }
  EXPECT_EQ(q.PostedCount(), 0u);
  EXPECT_EQ(q.Size(), 0u);
}
