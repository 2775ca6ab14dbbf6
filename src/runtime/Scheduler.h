#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

// The one source of time and of the user-interface thread.
class Scheduler {
public:
  using TaskId = std::uint64_t;

  virtual ~Scheduler() = default;

  // Current time in milliseconds (monotonic).
  virtual std::int64_t NowMs() const = 0;

  // Runs fn once on the user-interface thread, delayMs from now (0 or less: as soon
  // as possible). Only to be called on the user-interface thread.
  virtual TaskId Schedule(std::int64_t delayMs, std::function<void()> fn) = 0;

  // Withdraws a scheduled task; nothing happens for a task that ran or is unknown.
  virtual void Cancel(TaskId id) = 0;

  // The only thread-safe entry: runs fn later on the user-interface thread, in FIFO order.
  virtual void Post(std::function<void()> fn) = 0;
};

// Posts work from any thread and drops whatever has not run yet once it is closed.
// Close runs on the user-interface thread, where the posted work runs too, so a task
// either ran before Close or never runs.
class TPostGate {
public:
  explicit TPostGate(Scheduler& scheduler) : scheduler_(&scheduler), open_(std::make_shared<bool>(true)) {}
  TPostGate(const TPostGate&) = delete;
  TPostGate& operator=(const TPostGate&) = delete;
  ~TPostGate() { Close(); }

  void Post(std::function<void()> fn) {
    std::shared_ptr<bool> open;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      open = open_;
    }
    scheduler_->Post([open, fn = std::move(fn)] {
      if (*open) fn();
    });
  }

  // Drops pending work; later posts go to a fresh gate.
  void Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    *open_ = false;
    open_ = std::make_shared<bool>(true);
  }

private:
  Scheduler* scheduler_;
  std::mutex mutex_;
  std::shared_ptr<bool> open_;
};
