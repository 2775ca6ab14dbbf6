#include "app/core/AjlinPoint.h"

TTrimStep TrimPointStep(int checked) {
  constexpr int lastPoint = 4;
  TTrimStep step;
  if (checked < 0 || checked > lastPoint) return step;
  step.Point = checked;
  step.NextChecked = checked < lastPoint ? checked + 1 : lastPoint;
  return step;
}
