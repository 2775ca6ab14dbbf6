#include "runtime/Timer.h"

TTimer::TTimer(Scheduler& scheduler, int intervalMs) : scheduler_(scheduler), interval_(intervalMs) {
  ArmFrom(scheduler_.NowMs());
}

TTimer::~TTimer() { Disarm(); }

void TTimer::SetInterval(int ms) {
  if (ms == interval_) return;
  interval_ = ms;
  Disarm();
  ArmFrom(scheduler_.NowMs());
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Disarm();
  ArmFrom(scheduler_.NowMs());
}

void TTimer::ArmFrom(std::int64_t start) {
  if (!enabled_ || interval_ <= 0) return;
  ArmAt(start + interval_);
}

void TTimer::ArmAt(std::int64_t due) {
  due_ = due;
  task_ = scheduler_.Schedule(due - scheduler_.NowMs(), [this] { Tick(); });
  armed_ = true;
}

void TTimer::Disarm() {
  if (armed_) scheduler_.Cancel(task_);
  armed_ = false;
}

void TTimer::Tick() {
  armed_ = false;
  if (enabled_ && interval_ > 0) {
    // The period runs from the deadline, not from the moment this tick ran, so small delays
    // do not add up. A tick late by a whole interval or more stands for every tick it
    // missed: the next one comes a full interval after it (a fresh start, as on enabling),
    // never a burst of catch-up ticks.
    const std::int64_t now = scheduler_.NowMs();
    const std::int64_t next = due_ + interval_;
    ArmAt(next > now ? next : now + interval_);
  }
  OnTimer(this);  // may change the interval, disable or destroy this timer
}
