#include "runtime/Timer.h"

TTimer::TTimer(Scheduler& scheduler, int intervalMs) : scheduler_(scheduler), interval_(intervalMs) { Arm(); }

TTimer::~TTimer() { Disarm(); }

void TTimer::SetInterval(int ms) {
  if (ms == interval_) return;
  interval_ = ms;
  Disarm();
  Arm();
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Disarm();
  Arm();
}

void TTimer::Arm() {
  if (!enabled_ || interval_ <= 0) return;
  task_ = scheduler_.Schedule(interval_, [this] { Tick(); });
  armed_ = true;
}

void TTimer::Disarm() {
  if (armed_) scheduler_.Cancel(task_);
  armed_ = false;
}

void TTimer::Tick() {
  armed_ = false;
  Arm();  // the next tick counts from this one, so late ticks never pile up
  OnTimer(this);  // may change the interval, disable or destroy this timer
}
