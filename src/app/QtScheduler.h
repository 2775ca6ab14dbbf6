#pragma once

// The program's scheduler on the Qt event loop: one precise single-shot timer aimed at the
// earliest deadline of the task queue. Posts from other threads wake the loop through a
// queued call, so the tasks run in the same order as in virtual time.

#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>

#include "runtime/Scheduler.h"
#include "runtime/TaskQueue.h"

class QtScheduler : public Scheduler {
public:
  // Create it on the user-interface thread, once the application object exists.
  QtScheduler();
  QtScheduler(const QtScheduler&) = delete;
  QtScheduler& operator=(const QtScheduler&) = delete;
  ~QtScheduler() override;

  // Milliseconds of a steady clock since the scheduler was created.
  std::int64_t NowMs() const override;
  TaskId Schedule(std::int64_t delayMs, std::function<void()> fn) override;
  void Cancel(TaskId id) override;
  // Safe from any thread.
  void Post(std::function<void()> fn) override;

private:
  // Runs every task due now, posted ones included, then aims the timer at the next deadline.
  void RunDue();
  void Aim();

  std::chrono::steady_clock::time_point start_;
  TTaskQueue queue_;
  QTimer timer_;
  std::atomic<bool> wakePending_{false};  // a queued wake-up has not run yet
};
