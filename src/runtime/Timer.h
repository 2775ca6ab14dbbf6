#pragma once

#include <cstdint>

#include "runtime/Events.h"
#include "runtime/Scheduler.h"

// A periodic timer on the user-interface thread. Enabled from creation. Each tick is due an
// interval after the previous deadline, however late the previous tick ran, so small delays
// do not add up. A tick late by a whole interval or more fires once, and the next one is due
// an interval after it ran: never a burst of catch-up ticks. Changing Interval, or enabling
// the timer again, restarts the wait from that moment; writing the value it already has
// changes nothing. An interval of 0 or less never ticks.
class TTimer : public TObject {
public:
  explicit TTimer(Scheduler& scheduler, int intervalMs = 1000);
  ~TTimer() override;

  int Interval() const { return interval_; }
  void SetInterval(int ms);

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  TNotifyEvent OnTimer;

private:
  // Arms the next tick one interval after start, when enabled with an interval above 0.
  void ArmFrom(std::int64_t start);
  void ArmAt(std::int64_t due);
  void Disarm();
  void Tick();

  Scheduler& scheduler_;
  int interval_;
  bool enabled_ = true;
  bool armed_ = false;
  std::int64_t due_ = 0;  // the deadline of the armed tick, or of the last one
  Scheduler::TaskId task_ = 0;
};
