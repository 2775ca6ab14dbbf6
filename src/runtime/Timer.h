#pragma once

#include "runtime/Events.h"
#include "runtime/Scheduler.h"

// A periodic timer on the user-interface thread. Enabled from creation. Changing
// Interval restarts the wait; writing the value it already has changes nothing. A late
// tick fires once: the next one is due a whole interval after it ran, never a burst.
// An interval of 0 or less never ticks.
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
  void Arm();
  void Disarm();
  void Tick();

  Scheduler& scheduler_;
  int interval_;
  bool enabled_ = true;
  bool armed_ = false;
  Scheduler::TaskId task_ = 0;
};
