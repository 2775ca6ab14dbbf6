#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "runtime/Scheduler.h"

// A plain real-time event loop on the calling thread, for the end-to-end tests of the
// transports, which run before any window exists. The thread that calls RunFor or
// RunUntil is the user-interface thread.
class RealTimeLoop : public Scheduler {
public:
  RealTimeLoop();

  std::int64_t NowMs() const override;
  TaskId Schedule(std::int64_t delayMs, std::function<void()> fn) override;
  void Cancel(TaskId id) override;
  void Post(std::function<void()> fn) override;

  // Runs tasks for ms milliseconds of real time.
  void RunFor(std::int64_t ms);
  // Runs tasks until pred holds (checked after every task) or timeoutMs pass; true when it held.
  bool RunUntil(const std::function<bool()>& pred, std::int64_t timeoutMs);

private:
  struct Key {
    std::int64_t due;
    std::uint64_t seq;
    bool operator<(const Key& o) const { return due != o.due ? due < o.due : seq < o.seq; }
  };
  bool RunOne(std::int64_t until);

  std::chrono::steady_clock::time_point start_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::uint64_t seq_ = 0;
  std::map<Key, std::pair<TaskId, std::function<void()>>> queue_;
  std::map<TaskId, Key> keys_;
};
