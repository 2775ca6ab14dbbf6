// Texts of the clock window.

#include <gtest/gtest.h>

#include "app/core/TimeDateClock.h"

namespace {

TEST(ClockText, ShortDateTwoBlanksAndTheTime) {
  const TDateTime dt = *TryEncodeDate(2024, 3, 15) + *TryEncodeTime(8, 5, 9, 600);
  EXPECT_EQ(ClockText(dt, TFormatSettings{}), "15/03/2024  08:05:09");
  TFormatSettings us;
  us.DateSeparator = '-';
  us.ShortDateFormat = "YYYY/MM/DD";
  EXPECT_EQ(ClockText(dt, us), "2024-03-15  08:05:09");
  EXPECT_EQ(ClockText(0, TFormatSettings{}), "30/12/1899  00:00:00");
}

TEST(ExchangeDelayText, MillisecondsToTheNearest) {
  const double ms = 1.0 / 86400000.0;
  EXPECT_EQ(ExchangeDelayText(180 * ms), "180 ms");
  EXPECT_EQ(ExchangeDelayText(180.4 * ms), "180 ms");
  EXPECT_EQ(ExchangeDelayText(180.6 * ms), "181 ms");
  EXPECT_EQ(ExchangeDelayText(0), "0 ms");
  EXPECT_EQ(ExchangeDelayText(2.5 / 86400.0), "2500 ms");
}

}  // namespace
