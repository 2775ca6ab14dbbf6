#pragma once

// The point trim's stepping through the points 0 %, 25 %, 50 %, 75 %, 100 % (indexes 0 to 4).

struct TTrimStep {
  int Point = 0;         // the point this press trims
  int NextChecked = -1;  // the button checked after the press; -1: the check is left alone
};

// checked: the index of the checked button, -1 when none is. The check moves on to the next
// point and stays on the last; with no check, point 0 is trimmed and nothing gets checked.
TTrimStep TrimPointStep(int checked);
