#pragma once

// Texts of the clock window: a date-time as the short date, two blanks and the time, and
// the measured exchange delay.

#include <string>

#include "model/Format.h"

// The short date of fs, two blanks, then hours, minutes and seconds ("15/03/2024  08:05:09").
std::string ClockText(TDateTime dt, const TFormatSettings& fs);

// A delay (in days, as date-times count) in milliseconds to the nearest integer, with " ms".
std::string ExchangeDelayText(TDateTime delay);
