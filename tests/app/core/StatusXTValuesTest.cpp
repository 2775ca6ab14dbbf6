// The duration and frequency of the status register window: what converts, what fits its
// bits, and which text is reported.

#include <gtest/gtest.h>

#include <string>

#include "app/core/StatusXTValues.h"

namespace {

struct Case {
  const char* lowPower;
  const char* cpu;
  TStatusNumbersResult result;
  const char* badText;
  int lowPowerValue;
  int cpuValue;
};

class CheckStatusNumbersTest : public ::testing::TestWithParam<Case> {};

TEST_P(CheckStatusNumbersTest, ConvertsAndChecksTheBits) {
  const Case& c = GetParam();
  const TStatusNumbersCheck check = CheckStatusNumbers(c.lowPower, c.cpu);
  EXPECT_EQ(check.Result, c.result);
  EXPECT_EQ(check.BadText, c.badText);
  if (c.result == TStatusNumbersResult::Ok) {
    EXPECT_EQ(check.LowPowerDuration, c.lowPowerValue);
    EXPECT_EQ(check.CpuFrequency, c.cpuValue);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, CheckStatusNumbersTest,
    ::testing::Values(Case{"10", "31", TStatusNumbersResult::Ok, "", 10, 31},
                      Case{" 0", " 0", TStatusNumbersResult::Ok, "", 0, 0},          // blanks of the mask
                      Case{"15", "255", TStatusNumbersResult::Ok, "", 15, 255},      // the largest that fit
                      Case{"16", "31", TStatusNumbersResult::OutOfRange, "", 0, 0},  // would carry into bit 8
                      Case{"10", "256", TStatusNumbersResult::OutOfRange, "", 0, 0},
                      Case{"99", "999", TStatusNumbersResult::OutOfRange, "", 0, 0},
                      Case{"-1", "31", TStatusNumbersResult::OutOfRange, "", 0, 0},
                      Case{"10", "-5", TStatusNumbersResult::OutOfRange, "", 0, 0},
                      Case{"", "31", TStatusNumbersResult::NotANumber, "", 0, 0},
                      Case{"  ", "31", TStatusNumbersResult::NotANumber, "  ", 0, 0},
                      Case{"1 0", "31", TStatusNumbersResult::NotANumber, "1 0", 0, 0},
                      Case{"10", "3.1", TStatusNumbersResult::NotANumber, "3.1", 0, 0},
                      // the duration is reported before the frequency, a conversion before a range
                      Case{"x", "y", TStatusNumbersResult::NotANumber, "x", 0, 0},
                      Case{"99", "y", TStatusNumbersResult::NotANumber, "y", 0, 0}));

}  // namespace
