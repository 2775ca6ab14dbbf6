#include "app/QtScheduler.h"

#include <QMetaObject>
#include <algorithm>
#include <limits>

QtScheduler::QtScheduler() : start_(std::chrono::steady_clock::now()) {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { RunDue(); });
}

QtScheduler::~QtScheduler() { timer_.stop(); }

std::int64_t QtScheduler::NowMs() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_).count();
}

Scheduler::TaskId QtScheduler::Schedule(std::int64_t delayMs, std::function<void()> fn) {
  const std::int64_t now = NowMs();
  queue_.TakePosted(now);  // posted earlier means runs earlier at the same time
  const TaskId id = queue_.Schedule(now + std::max<std::int64_t>(delayMs, 0), std::move(fn));
  Aim();
  return id;
}

void QtScheduler::Cancel(TaskId id) {
  if (queue_.Cancel(id)) Aim();
}

void QtScheduler::Post(std::function<void()> fn) {
  queue_.Post(std::move(fn), NowMs());
  // One wake-up at a time: the flag is cleared on the user-interface thread before it takes
  // the posted tasks, so a post that comes after that takes a wake-up of its own.
  if (!wakePending_.exchange(true))
    QMetaObject::invokeMethod(&timer_, [this] {
      wakePending_ = false;
      RunDue();
    }, Qt::QueuedConnection);
}

void QtScheduler::RunDue() {
  // Only what is due when the run starts, so that tasks that keep scheduling work at once do
  // not hold off painting and input. What a task posts joins before the next task is taken,
  // as in virtual time.
  const std::int64_t now = NowMs();
  for (;;) {
    queue_.TakePosted(now);
    auto task = queue_.TakeNext(now);
    if (!task) break;
    task->Fn();
  }
  Aim();
}

void QtScheduler::Aim() {
  const auto due = queue_.NextDue();
  if (!due) {
    timer_.stop();
    return;
  }
  const std::int64_t wait = std::clamp<std::int64_t>(*due - NowMs(), 0, std::numeric_limits<int>::max());
  timer_.start(static_cast<int>(wait));
}
