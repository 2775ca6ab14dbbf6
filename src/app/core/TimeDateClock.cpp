#include "app/core/TimeDateClock.h"

#include <cmath>

namespace {

std::string TwoDigits(int v) { return v < 10 ? "0" + std::to_string(v) : std::to_string(v); }

}  // namespace

std::string ClockText(TDateTime dt, const TFormatSettings& fs) {
  int hour = 0, minute = 0, second = 0, ms = 0;
  DecodeTime(dt, hour, minute, second, ms);
  return DateToStr(dt, fs) + "  " + TwoDigits(hour) + ":" + TwoDigits(minute) + ":" + TwoDigits(second);
}

std::string ExchangeDelayText(TDateTime delay) {
  return std::to_string(std::llround(delay * 86400000.0)) + " ms";
}
