#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

#include "runtime/Scheduler.h"
#include "runtime/TaskQueue.h"

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
  bool RunOne(std::int64_t until);

  std::chrono::steady_clock::time_point start_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  TTaskQueue queue_;  // guarded by mutex_, so that a deadline may be set from any thread
};
