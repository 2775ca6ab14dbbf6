#pragma once

// The curve base of the curve editor: a range and a flag, and an evaluation that the
// editor's own curve does not use (it evaluates its points itself).

#include "runtime/Events.h"

class TCourbe : public TObject {
public:
  explicit TCourbe(TObject* owner);

  virtual void Clear();
  virtual double Evaluate(double x);

  TObject* Owner() const { return owner_; }

  double RangeStart = 0.0;
  double RangeEnd = 0.0;
  bool Flag = false;

private:
  TObject* owner_;
};
