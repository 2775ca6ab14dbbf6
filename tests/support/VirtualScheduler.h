#pragma once

#include <cstdint>
#include <functional>

#include "runtime/Scheduler.h"
#include "runtime/TaskQueue.h"

// Virtual time for tests: nothing runs until Advance, which runs every due deadline and
// posted task in time order (ties in creation order) and leaves the clock at the target.
class VirtualScheduler : public Scheduler {
public:
  std::int64_t NowMs() const override { return now_; }
  TaskId Schedule(std::int64_t delayMs, std::function<void()> fn) override;
  void Cancel(TaskId id) override;
  void Post(std::function<void()> fn) override;

  void Advance(std::int64_t ms);
  // Runs what is due now (posted tasks included) without moving the clock.
  void RunPending() { Advance(0); }
  // Advances until pred holds or maxMs have passed, one millisecond at a time; true when it held.
  bool AdvanceUntil(const std::function<bool()>& pred, std::int64_t maxMs);
  // Number of tasks waiting, posted ones included.
  std::size_t Pending() const;
  // Number of tasks posted (from any thread) that no Advance has taken yet; safe from any thread.
  std::size_t Posted() const;

private:
  std::int64_t now_ = 0;
  TTaskQueue queue_;
};
