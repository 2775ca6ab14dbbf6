// Number patterns, typed numbers, masks and the values derived from several fields.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/core/DisplayFormat.h"

namespace {
TFormatSettings Comma() {
  TFormatSettings fs;
  fs.DecimalSeparator = ',';
  return fs;
}
const TFormatSettings Point{};
}  // namespace

TEST(DisplayFormatTest, NumberPatterns) {
  struct Case {
    const char* pattern;
    double value;
    const char* text;
  };
  for (const Case& c : std::initializer_list<Case>{
           {"##0.00", 21.459999084472656, "21.46"},
           {"##0.00", -0.004, "0.00"},
           {"##0.00", 1234.5, "1234.50"},
           {"####0", 12.5, "13"},
           {"0.0000", 0.5, "0.5000"},
           {"#0.000", -3.25, "-3.250"},
           {"######0", 120034, "120034"},
           {"#0", 5, "5"},
           {"0", 21.46, "21"},
           {"0.000 000 000", 1.25, "1.250 000 000"},
           {"0.000 000 000", -0.0000000004, "0.000 000 000"},
           {"#.##", 0.5, ".5"},
           {"##0.00", std::numeric_limits<double>::quiet_NaN(), "NAN"},
           {"0.0", -std::numeric_limits<double>::infinity(), "-INF"},
       }) {
    EXPECT_EQ(FormatFloat(c.pattern, c.value, Point), c.text) << c.pattern << " " << c.value;
  }
  EXPECT_EQ(FormatFloat("##0.0", 100, Comma()), "100,0");
}

TEST(DisplayFormatTest, TypedNumbersFollowTheLocaleSeparator) {
  EXPECT_EQ(StrToFloat(" 12.50 ", Point), 12.5);
  EXPECT_EQ(StrToFloat("-3", Point), -3.0);
  EXPECT_EQ(StrToFloat("1e3", Point), 1000.0);
  EXPECT_EQ(StrToFloat("12,5", Comma()), 12.5);
  for (const char* bad : {"", "  ", "12,5", "abc", "1.2.3", "nan", "inf", "0x10", "1e", "--1", "+", "1 2"}) {
    EXPECT_FALSE(StrToFloat(bad, Point)) << bad;
  }
  EXPECT_FALSE(StrToFloat("12.5", Comma()));
  EXPECT_FALSE(StrToFloat("1e999", Point));
  EXPECT_EQ(StrToInt(" 31 "), 31);
  EXPECT_FALSE(StrToInt("3.1"));
  EXPECT_FALSE(StrToInt("99999999999"));
  EXPECT_EQ(IntToHex(0x1234, 4), "1234");
  EXPECT_EQ(IntToHex(0xBE, 4), "00BE");
}

TEST(DisplayFormatTest, ScaledIntegersClampAndRoundHalvesToEven) {
  EXPECT_EQ(StrToScaledInt16("400", 100, Point), 32767);
  EXPECT_EQ(StrToScaledInt16("-400", 100, Point), -32768);
  EXPECT_EQ(StrToScaledInt16("12.5", 1, Point), 12);
  EXPECT_EQ(StrToScaledInt16("13.5", 1, Point), 14);
  EXPECT_EQ(StrToScaledInt16("12.50", 100, Point), 1250);
  EXPECT_EQ(StrToScaledInt16("1e300", 1, Point), 32767);
  EXPECT_FALSE(StrToScaledInt16("12.5x", 1, Point));

  // The product of the typed value itself in single precision: the single of the value,
  // multiplied, would fall off the half (-32761, -32767).
  struct Case {
    const char* text;
    int scale;
    int value;
    bool comma;
  };
  for (const Case& c : std::initializer_list<Case>{
           {"-32.7605", 1000, -32760, false},
           {"-327.675", 100, -32768, false},
           {"32.7605", 1000, 32760, false},
           {"-1e308", 1000, -32768, false},
           {"0,125", 100, 12, true},
       }) {
    EXPECT_EQ(StrToScaledInt16(c.text, c.scale, c.comma ? Comma() : Point), c.value) << c.text;
  }
}

TEST(DisplayFormatTest, MasksAndFormatsFollowTheDecimals) {
  // Every row of both tables; "." stands for the separator of the locale.
  struct Row {
    unsigned decimals;
    const char* rangeMask;
    const char* rangeFormat;
    const char* alarmMask;
    const char* alarmFormat;
    int scale;
  };
  for (const Row& r : std::initializer_list<Row>{
           {0, "!#####0;1;_", "####0", "!####0;1;_", "####0", 1},
           {1, "!####0.0;1;_", "###0.0", "!###0.0;1;_", "###0.0", 10},
           {2, "!###0.00;1;_", "##0.00", "!##0.00;1;_", "##0.00", 100},
           {3, "!##0.000;1;_", "#0.000", "!#0.000;1;_", "#0.000", 1000},
           {4, "!#0.0000;1;_", "0.0000", "!0.0000;1;_", "0.0000", 10000},
           {5, "!####0.00;1;_", "###0.00", "!####0.000;1;_", "###0.000", 100000},
       }) {
    for (char ds : {'.', ','}) {
      auto with = [ds](std::string mask) {
        for (char& c : mask)
          if (c == '.') c = ds;
        return mask;
      };
      EXPECT_EQ(RangeEditMask(r.decimals, ds), with(r.rangeMask)) << r.decimals << ds;
      EXPECT_EQ(AlarmEditMask(r.decimals, ds), with(r.alarmMask)) << r.decimals << ds;
    }
    EXPECT_EQ(RangeNumberFormat(r.decimals), r.rangeFormat) << r.decimals;
    EXPECT_EQ(AlarmNumberFormat(r.decimals), r.alarmFormat) << r.decimals;
    EXPECT_EQ(AlarmScale(r.decimals), r.scale) << r.decimals;
  }

  EXPECT_EQ(RangeEditMask(2, ','), "!###0,00;1;_");
  EXPECT_EQ(RangeNumberFormat(2), "##0.00");
  EXPECT_EQ(RangeEditMask(7, '.'), "!####0.00;1;_");
  EXPECT_EQ(RangeNumberFormat(7), "###0.00");
  EXPECT_EQ(RangeEditMask(0, '.'), "!#####0;1;_");
  EXPECT_EQ(AlarmEditMask(4, ','), "!0,0000;1;_");
  EXPECT_EQ(AlarmNumberFormat(9), "###0.000");
  EXPECT_EQ(AlarmScale(2), 100);
  EXPECT_EQ(AlarmScale(200), 1000000000);
}

TEST(DisplayFormatTest, AlarmRecordFromTheModelAndTheValues) {
  TAlarmInfo model;
  model.SetPointEditable = true;
  model.DelayEditable = true;
  model.Decimals = 2;
  model.SetPoint = 7;
  const TAlarmInfo r = AlarmRecord(model, 1250, 100, 300, false);
  EXPECT_EQ(r.SetPoint, 1250);
  EXPECT_EQ(r.Hysteresis, 100);
  EXPECT_EQ(r.Delay, 300 & 0xFF);
  EXPECT_EQ(r.RelayNormallyClosed, 255);
  EXPECT_TRUE(r.SetPointEditable);
  EXPECT_FALSE(r.HysteresisEditable);
  EXPECT_EQ(r.Decimals, 2);
  EXPECT_EQ(AlarmRecord(model, 1, 1, -1, true).RelayNormallyClosed, 0);
  EXPECT_EQ(AlarmRecord(model, 1, 1, -1, true).Delay, 0xFF);
}

TEST(DisplayFormatTest, DerivedValues) {
  EXPECT_EQ(GaugePosition(104.7), 100);
  EXPECT_EQ(GaugePosition(-2.4), 0);
  EXPECT_EQ(GaugePosition(57.9), 57);
  EXPECT_EQ(GaugePosition(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(GaugePosition(1e300), 100);

  const TAI1Percents p = AI1Percents(50, 51, 49);
  EXPECT_DOUBLE_EQ(p.Upper, 2.0);
  EXPECT_DOUBLE_EQ(p.Lower, 2.0);
  EXPECT_DOUBLE_EQ(AI1Percents(0, 1, -1).Upper, 0.0);
  const TAI1Limits l = AI1Limits(150, 2.0, -2.0);
  EXPECT_FLOAT_EQ(l.Upper, 153.0f);
  EXPECT_FLOAT_EQ(l.Lower, 147.0f);

  EXPECT_EQ(DisplayWord(2, 2, true), 0x0A02);
  EXPECT_EQ(DisplayWord(0, 0, false), 0);
  EXPECT_EQ(SensorInfoByte(3, 1, 1), 209);
  EXPECT_EQ(SensorInfoByte(1, 3, 7), 0x77);
}
