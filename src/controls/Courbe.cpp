#include "controls/Courbe.h"

TCourbe::TCourbe(TObject* owner) : owner_(owner) { Clear(); }

void TCourbe::Clear() {
  RangeStart = 0.0;
  RangeEnd = 0.0;
  Flag = false;
}

double TCourbe::Evaluate(double) { return 0.0; }
