#pragma once

// The two numbers of the status register window, checked before the register word is built:
// the low-power duration has four bits of the word and the processor frequency eight, so a
// larger value would spill into the neighbouring bits.

#include <cstdint>
#include <string>

constexpr int MaxLowPowerDuration = 15;
constexpr int MaxCpuFrequency = 255;

enum class TStatusNumbersResult {
  Ok,
  NotANumber,  // BadText is the text that does not convert
  OutOfRange,  // a whole number that does not fit its bits
};

struct TStatusNumbersCheck {
  TStatusNumbersResult Result = TStatusNumbersResult::Ok;
  std::string BadText;
  std::uint8_t LowPowerDuration = 0;
  std::uint8_t CpuFrequency = 0;
};

// The texts of the duration and frequency edits. A text that does not convert is reported
// first (the duration before the frequency), then a value outside its bits.
TStatusNumbersCheck CheckStatusNumbers(const std::string& lowPowerDuration, const std::string& cpuFrequency);
