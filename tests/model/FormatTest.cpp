#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "model/Format.h"

TEST(FormatFloat00, TwoDecimalsHalvesAwayFromZeroOnTheExactValue) {
  const TFormatSettings dot;
  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {
      {0.0, "0.00"},
      {23.456f, "23.46"},
      {100.0, "100.00"},
      {0.5, "0.50"},
      {1234567.0, "1234567.00"},
      {0.125, "0.13"},    // an exact half goes away from zero
      {-0.125, "-0.13"},
      {0.375, "0.38"},
      {2.675, "2.67"},    // the double is 2.67499999..., below the half
      {1.005, "1.00"},    // 1.00499999...
      {1.015, "1.01"},    // 1.01499999...
      {9.995, "9.99"},    // 9.99499999...
      {9.996, "10.00"},   // carries into a new integer digit
      {99.999, "100.00"},
      {-0.004, "0.00"},   // a negative value that rounds to zero has no minus sign
      {-0.0, "0.00"},
      {-0.005, "-0.01"},  // -0.00500000000000000010...
      {-12.3456, "-12.35"},
      {3.4028234663852886e38, "340282346638528859811704183484516925440.00"},
      {1e-300, "0.00"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatFloat00(c.value, dot), c.text) << c.value;

  TFormatSettings comma;
  comma.DecimalSeparator = ',';
  EXPECT_EQ(FormatFloat00(-1.5, comma), "-1,50");
  EXPECT_EQ(FormatFloat00(std::nan(""), dot), "NAN");
  EXPECT_EQ(FormatFloat00(-INFINITY, dot), "-INF");
}

TEST(FormatFixed, OtherDecimalCountsRoundTheSameWay) {
  TFormatSettings comma;
  comma.DecimalSeparator = ',';
  struct Case {
    double value;
    int decimals;
    const char* text;
  };
  const Case cases[] = {
      {0.0, 1, "0,0"},     {0.25, 1, "0,3"},     {-0.25, 1, "-0,3"}, {0.04, 1, "0,0"}, {-0.04, 1, "0,0"},
      {99.96, 1, "100,0"}, {1234.5f, 1, "1234,5"}, {2.5, 0, "3"},     {-0.4, 0, "0"},   {7.0, 3, "7,000"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatFixed(c.value, c.decimals, comma), c.text) << c.value << "/" << c.decimals;
}

TEST(DateTime, EncodeCountsDaysFromTheLastDaysOf1899) {
  EXPECT_EQ(TryEncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(TryEncodeDate(1900, 1, 1), 2.0);
  EXPECT_EQ(TryEncodeDate(1900, 3, 1), 61.0);  // 1900 is not a leap year
  EXPECT_EQ(TryEncodeDate(2000, 1, 1), 36526.0);
  EXPECT_EQ(TryEncodeDate(2023, 7, 5), 45112.0);
  EXPECT_EQ(TryEncodeDate(1, 1, 1), -693593.0);
  EXPECT_EQ(TryEncodeTime(12, 0, 0, 0), 0.5);
  EXPECT_EQ(TryEncodeTime(1, 30, 0, 0), 5400000.0 / 86400000.0);
}

TEST(DateTime, StrictValidation) {
  struct Case {
    int y, m, d;
    bool valid;
  };
  const Case dates[] = {
      {2000, 2, 29, true}, {1900, 2, 29, false}, {2023, 2, 29, false}, {2024, 2, 29, true},
      {2023, 2, 30, false}, {2023, 4, 31, false}, {2023, 12, 31, true}, {2023, 13, 1, false},
      {2023, 0, 1, false}, {2023, 1, 0, false}, {0, 1, 1, false}, {9999, 12, 31, true}, {10000, 1, 1, false},
  };
  for (const Case& c : dates) {
    EXPECT_EQ(IsValidDate(c.y, c.m, c.d), c.valid) << c.d << "/" << c.m << "/" << c.y;
    EXPECT_EQ(TryEncodeDate(c.y, c.m, c.d).has_value(), c.valid);
  }
  EXPECT_TRUE(IsValidTime(23, 59, 59, 999));
  EXPECT_FALSE(IsValidTime(24, 0, 0, 0));
  EXPECT_FALSE(IsValidTime(0, 60, 0, 0));
  EXPECT_FALSE(IsValidTime(0, 0, 60, 0));
  EXPECT_FALSE(IsValidTime(0, 0, 0, 1000));
  EXPECT_FALSE(TryEncodeTime(-1, 0, 0, 0).has_value());
}

TEST(DateTime, DecodeGivesBackWhatWasEncoded) {
  const int dates[][3] = {{1899, 12, 30}, {1900, 2, 28}, {1900, 3, 1},  {2000, 2, 29},
                          {2000, 12, 31}, {2023, 7, 5},  {2155, 12, 31}, {9999, 12, 31}};
  for (const auto& d : dates) {
    const TDateTime dt = *TryEncodeDate(d[0], d[1], d[2]) + *TryEncodeTime(13, 45, 7, 250);
    int y = 0, m = 0, day = 0, h = 0, mi = 0, s = 0, ms = 0;
    DecodeDate(dt, y, m, day);
    DecodeTime(dt, h, mi, s, ms);
    EXPECT_EQ((std::array<int, 7>{y, m, day, h, mi, s, ms}), (std::array<int, 7>{d[0], d[1], d[2], 13, 45, 7, 250}));
  }
  // Dates before day 0 are negative values; their whole days still decode.
  const int early[][3] = {{1, 1, 1}, {1600, 12, 31}, {1600, 2, 29}, {1899, 12, 29}};
  for (const auto& d : early) {
    int y = 0, m = 0, day = 0;
    DecodeDate(*TryEncodeDate(d[0], d[1], d[2]), y, m, day);
    EXPECT_EQ((std::array<int, 3>{y, m, day}), (std::array<int, 3>{d[0], d[1], d[2]}));
  }
  int h = 0, mi = 0, s = 0, ms = 0;
  DecodeTime(*TryEncodeTime(23, 59, 59, 999), h, mi, s, ms);
  EXPECT_EQ((std::array<int, 4>{h, mi, s, ms}), (std::array<int, 4>{23, 59, 59, 999}));
}

TEST(DateTime, DateTextsInTheGivenFormat) {
  const TDateTime dt = *TryEncodeDate(2023, 7, 5);
  struct Case {
    char sep;
    const char* format;
    const char* text;
  };
  const Case cases[] = {
      {'/', "DD/MM/YYYY", "05/07/2023"}, {'.', "dd/mm/yyyy", "05.07.2023"}, {'-', "YYYY/MM/DD", "2023-07-05"},
      {'/', "M/D/YYYY", "7/5/2023"},     {'/', "dd/mm/yy", "05/07/23"},     {'/', "d-m-yyyy", "5-7-2023"},
  };
  for (const Case& c : cases) {
    TFormatSettings fs;
    fs.DateSeparator = c.sep;
    fs.ShortDateFormat = c.format;
    EXPECT_EQ(DateToStr(dt, fs), c.text) << c.format;
  }
}

TEST(DateTime, StrToDateReadsTheFormatsOrderAndRefusesWhatDoesNotExist) {
  TFormatSettings dmy;
  EXPECT_EQ(StrToDate("05/07/2023", dmy), TryEncodeDate(2023, 7, 5));
  EXPECT_EQ(StrToDate(" 5/7/2023 ", dmy), TryEncodeDate(2023, 7, 5));
  EXPECT_EQ(StrToDate("05/07/23", dmy), TryEncodeDate(2023, 7, 5));
  EXPECT_EQ(StrToDate("05/07/87", dmy), TryEncodeDate(1987, 7, 5));
  TFormatSettings ymd;
  ymd.DateSeparator = '-';
  ymd.ShortDateFormat = "yyyy/mm/dd";
  EXPECT_EQ(StrToDate("2023-07-05", ymd), TryEncodeDate(2023, 7, 5));
  for (const char* bad : {"30/02/2023", "31/04/2023", "00/01/2023", "01/13/2023", "", "05/07", "05-07-2023",
                          "05/07/2023x", "a/b/c", "05//2023", "123456/1/2023"})
    EXPECT_FALSE(StrToDate(bad, dmy).has_value()) << bad;
}
