#include "RealTimeLoop.h"

RealTimeLoop::RealTimeLoop() : start_(std::chrono::steady_clock::now()) {}

std::int64_t RealTimeLoop::NowMs() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_).count();
}

Scheduler::TaskId RealTimeLoop::Schedule(std::int64_t delayMs, std::function<void()> fn) {
  std::lock_guard<std::mutex> lock(mutex_);
  const TaskId id = queue_.Schedule(NowMs() + (delayMs > 0 ? delayMs : 0), std::move(fn));
  wake_.notify_all();
  return id;
}

void RealTimeLoop::Cancel(TaskId id) {
  std::lock_guard<std::mutex> lock(mutex_);
  queue_.Cancel(id);
}

// The whole queue is guarded here, so a post takes its place at once, due when it was made.
void RealTimeLoop::Post(std::function<void()> fn) { Schedule(0, std::move(fn)); }

// Runs the first task due before `until`, waiting for it; false when none came in time.
bool RealTimeLoop::RunOne(std::int64_t until) {
  std::function<void()> fn;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      const std::int64_t now = NowMs();
      if (auto task = queue_.TakeNext(now)) {
        fn = std::move(task->Fn);
        break;
      }
      if (now >= until) return false;
      std::int64_t next = until;
      if (const auto due = queue_.NextDue(); due && *due < next) next = *due;
      wake_.wait_for(lock, std::chrono::milliseconds(next - now));
    }
  }
  fn();
  return true;
}

void RealTimeLoop::RunFor(std::int64_t ms) {
  const std::int64_t until = NowMs() + ms;
  while (RunOne(until)) {
  }
}

bool RealTimeLoop::RunUntil(const std::function<bool()>& pred, std::int64_t timeoutMs) {
  const std::int64_t until = NowMs() + timeoutMs;
  if (pred()) return true;
  while (RunOne(until)) {
    if (pred()) return true;
  }
  return pred();
}
