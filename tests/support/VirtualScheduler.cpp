#include "VirtualScheduler.h"

Scheduler::TaskId VirtualScheduler::Schedule(std::int64_t delayMs, std::function<void()> fn) {
  queue_.TakePosted(now_);  // posted earlier means runs earlier at the same time
  return queue_.Schedule(now_ + (delayMs > 0 ? delayMs : 0), std::move(fn));
}

void VirtualScheduler::Cancel(TaskId id) { queue_.Cancel(id); }

void VirtualScheduler::Post(std::function<void()> fn) { queue_.Post(std::move(fn)); }

void VirtualScheduler::Advance(std::int64_t ms) {
  const std::int64_t target = now_ + (ms > 0 ? ms : 0);
  for (;;) {
    queue_.TakePosted(now_);
    auto task = queue_.TakeNext(target);
    if (!task) break;
    if (task->Due > now_) now_ = task->Due;
    task->Fn();
  }
  now_ = target;
}

bool VirtualScheduler::AdvanceUntil(const std::function<bool()>& pred, std::int64_t maxMs) {
  RunPending();
  for (std::int64_t i = 0; i < maxMs; ++i) {
    if (pred()) return true;
    Advance(1);
  }
  return pred();
}

std::size_t VirtualScheduler::Pending() const { return queue_.Size() + queue_.PostedCount(); }

std::size_t VirtualScheduler::Posted() const { return queue_.PostedCount(); }
