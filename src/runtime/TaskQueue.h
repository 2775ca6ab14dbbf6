#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

// The ordered queue behind every scheduler: tasks keyed by (due time, sequence number), so
// that tasks due at the same time run in the order they were created. Schedule, Cancel,
// TakePosted and TakeNext belong to the thread that runs the tasks; Post and PostedCount are
// safe from any thread.
class TTaskQueue {
public:
  using TaskId = std::uint64_t;

  struct TTask {
    TaskId Id = 0;
    std::int64_t Due = 0;
    std::function<void()> Fn;
  };

  TTaskQueue() = default;
  TTaskQueue(const TTaskQueue&) = delete;
  TTaskQueue& operator=(const TTaskQueue&) = delete;

  // Adds fn, due at `due`; the id is its sequence number.
  TaskId Schedule(std::int64_t due, std::function<void()> fn);
  // Withdraws a task; false for one that ran, was withdrawn or is unknown.
  bool Cancel(TaskId id);

  // Safe from any thread: fn joins the queue at the next TakePosted, after every task posted
  // before it. It is due at `due` when given (the clock of the posting thread), else at the
  // time it joins.
  void Post(std::function<void()> fn, std::optional<std::int64_t> due = std::nullopt);
  // Moves the posted tasks into the queue in the order they were posted; the ones posted
  // without a time are due at `now`.
  void TakePosted(std::int64_t now);

  // The due time of the first task; none when the queue is empty (posted tasks that have not
  // joined yet are not counted).
  std::optional<std::int64_t> NextDue() const;
  // Removes and gives the first task if it is due at or before `until`.
  std::optional<TTask> TakeNext(std::int64_t until);

  // Tasks in the queue, posted ones that have not joined left out.
  std::size_t Size() const { return tasks_.size(); }
  // Posted tasks that have not joined yet; safe from any thread.
  std::size_t PostedCount() const;

private:
  struct TKey {
    std::int64_t Due;
    TaskId Seq;
    bool operator<(const TKey& o) const { return Due != o.Due ? Due < o.Due : Seq < o.Seq; }
  };
  struct TPosted {
    std::optional<std::int64_t> Due;
    std::function<void()> Fn;
  };

  TaskId seq_ = 0;
  std::map<TKey, std::function<void()>> tasks_;
  std::map<TaskId, std::int64_t> dues_;  // the due time of each task in tasks_, by id
  mutable std::mutex postMutex_;
  std::vector<TPosted> posted_;
};
