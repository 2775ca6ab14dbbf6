#pragma once

// Number texts of the windows: number patterns such as "##0.00", the edit masks that follow
// a transmitter's decimals, text-to-number conversion with the locale's separator, and the
// values derived from several fields (alarm records, secondary-input limits, the display
// word, the sensor byte).

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "model/Format.h"
#include "model/Xmt.h"
#include "runtime/Langue.h"

// The value in a number pattern: '0' a digit that is always shown, '#' a digit shown only
// when needed, '.' the place of the locale's decimal separator; any other character is
// copied as it stands where it appears in the fraction ("0.000 000 000"). Rounds halves away
// from zero on the decimal value; NaN and infinities give "NAN", "INF", "-INF".
std::string FormatFloat(const std::string& pattern, double value, const TFormatSettings& fs);

// A number typed by the user: blanks around it, an optional sign, digits with at most one
// locale decimal separator, an optional exponent. Empty when the text is not such a number.
std::optional<double> StrToFloat(const std::string& text, const TFormatSettings& fs);
// A whole number with an optional sign and blanks around it; empty when it is not one or
// does not fit 32 bits.
std::optional<std::int32_t> StrToInt(const std::string& text);

// The report of a typed text that is not a number, as the edition words it (Windows-1252).
std::string FloatConversionErrorText(TLangue langue, const std::string& text);
std::string IntConversionErrorText(TLangue langue, const std::string& text);

// The value in hexadecimal upper-case digits, at least `digits` of them.
std::string IntToHex(std::uint32_t value, int digits);

// scale x the text's value, kept in single precision, clamped to the 16-bit range and
// rounded to the nearest integer, halves to even. Empty when the text is not a number.
std::optional<std::int16_t> StrToScaledInt16(const std::string& text, int scale, const TFormatSettings& fs);

// The edit mask of the range and PV range edits, and the pattern of range values, for the
// display's decimals; any value but 0 to 4 gives the default row (two decimals).
std::string RangeEditMask(unsigned decimals, char decimalSeparator);
std::string RangeNumberFormat(unsigned decimals);
// The same for an alarm's set point and hysteresis; any value but 0 to 4 gives three decimals.
std::string AlarmEditMask(unsigned decimals, char decimalSeparator);
std::string AlarmNumberFormat(unsigned decimals);
// 10 to the power of an alarm's decimals (saturating for absurd values).
int AlarmScale(unsigned decimals);

// The alarm record sent with command 211: the flags and decimals of the model's record, the
// set point and hysteresis already scaled by the decimals, the delay's low byte, the relay
// contact.
TAlarmInfo AlarmRecord(const TAlarmInfo& model, std::int16_t setPoint, std::int16_t hysteresis, std::int16_t delay,
                       bool normallyOpen);

// HART unit code lists of the unit selectors, each ended by -1.
std::span<const std::int32_t> PercentUnitList();
std::span<const std::int32_t> ResistanceUnitList();
std::span<const std::int32_t> ThermocoupleUnitList();
std::span<const std::int32_t> ProcessUnitList();

// The gauge position of a percent of range: truncated toward zero, limited to 0..100; NaN
// gives 0.
int GaugePosition(double percent);

// The secondary-input limits as percentages of a nominal value n: hi = (upper - n) x 100 / n
// and lo = (n - lower) x 100 / n, both 0 when n is 0.
struct TAI1Percents {
  double Upper = 0;
  double Lower = 0;
};
TAI1Percents AI1Percents(double nominal, double upperLimit, double lowerLimit);
// The limits that job 323 sends: nominal x (1 + percent / 100).
struct TAI1Limits {
  float Upper = 0;
  float Lower = 0;
};
TAI1Limits AI1Limits(double nominal, double upperPercent, double lowerPercent);

// The display word of command 213: the last-digit mode in bits 1-0, the decimals from bit 8,
// bit 11 when the unit is shown.
std::int32_t DisplayWord(int digitMode, int pointDecimal, bool unitShown);
// The sensor description byte of command 136.
std::uint8_t SensorInfoByte(int kind, int connection, int type);
