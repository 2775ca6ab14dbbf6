#include "model/Format.h"

#include <cctype>
#include <algorithm>
#include <cmath>
#include <cstdio>

// ---------------------------------------------------------------------------------------
// Numbers

std::string FormatFloat00(double value, const TFormatSettings& fs) { return FormatFixed(value, 2, fs); }

std::string FormatFixed(double value, int decimals, const TFormatSettings& fs) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  const std::size_t places = static_cast<std::size_t>(std::clamp(decimals, 0, 20));

  // The exact decimal form of a double needs far fewer than 40 fraction digits to tell a
  // half at the rounding place from its neighbours, so rounding these digits is exact.
  const double magnitude = std::fabs(value);
  char buf[400];  // up to 309 integer digits, the point and 40 decimals
  std::snprintf(buf, sizeof buf, "%.40f", magnitude);
  const std::string exact(buf);

  // The C library writes the process locale's decimal point, of one byte or more (Qt sets
  // the user's locale at start-up): the digits are taken on either side of whatever it is.
  const std::size_t point = exact.find_first_not_of("0123456789");
  const std::size_t fraction = exact.find_first_of("0123456789", point);
  std::string digits = exact.substr(0, point) + exact.substr(fraction, places);  // value x 10^places
  const bool roundUp = exact[fraction + places] >= '5';  // halves go away from zero
  if (roundUp) {
    std::size_t i = digits.size();
    while (i > 0) {
      --i;
      if (digits[i] == '9') {
        digits[i] = '0';
      } else {
        ++digits[i];
        break;
      }
      if (i == 0) digits.insert(digits.begin(), '1');
    }
  }
  // At least one integer digit ("##0"), no leading zeros beyond it.
  std::size_t firstNonZero = 0;
  while (firstNonZero + places + 1 < digits.size() && digits[firstNonZero] == '0') ++firstNonZero;
  digits.erase(0, firstNonZero);

  const bool isZero = digits.find_first_not_of('0') == std::string::npos;
  std::string text = (value < 0 && !isZero) ? "-" : "";
  text += digits.substr(0, digits.size() - places);
  if (places > 0) {
    text += fs.DecimalSeparator;
    text += digits.substr(digits.size() - places);
  }
  return text;
}

// ---------------------------------------------------------------------------------------
// Dates and times

namespace {

constexpr double MsPerDay = 86400000.0;

constexpr bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

constexpr int MonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

constexpr int DaysInMonth(int year, int month) {
  return month == 2 && IsLeapYear(year) ? 29 : MonthDays[month - 1];
}

// Days from 1 January of year 1 (proleptic Gregorian) to the given date.
constexpr long long DaysFromYearOne(int year, int month, int day) {
  const long long y = year - 1;
  long long n = y * 365 + y / 4 - y / 100 + y / 400;
  for (int m = 1; m < month; ++m) n += DaysInMonth(year, m);
  return n + day - 1;
}

// 30 December 1899, the day 0 of a date-time value.
constexpr long long DayZero = DaysFromYearOne(1899, 12, 30);

// Splits a value into whole days and milliseconds of the day: the date is the truncated
// value, the time the fraction's magnitude, as the program's date-time values always were.
void Split(TDateTime dt, long long& days, long long& ms) {
  days = static_cast<long long>(std::trunc(dt));
  ms = std::llround(std::fabs(dt - std::trunc(dt)) * MsPerDay);
  if (ms >= static_cast<long long>(MsPerDay)) {
    ms -= static_cast<long long>(MsPerDay);
    days += dt < 0 ? -1 : 1;
  }
}

}  // namespace

bool IsValidDate(int year, int month, int day) {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

bool IsValidTime(int hour, int minute, int second, int ms) {
  return hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60 && ms >= 0 && ms < 1000;
}

std::optional<TDateTime> TryEncodeDate(int year, int month, int day) {
  if (!IsValidDate(year, month, day)) return std::nullopt;
  return static_cast<TDateTime>(DaysFromYearOne(year, month, day) - DayZero);
}

std::optional<TDateTime> TryEncodeTime(int hour, int minute, int second, int ms) {
  if (!IsValidTime(hour, minute, second, ms)) return std::nullopt;
  return (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + ms) / MsPerDay;
}

void DecodeDate(TDateTime dt, int& year, int& month, int& day) {
  long long days = 0, ms = 0;
  Split(dt, days, ms);
  long long n = days + DayZero;  // days since 1 January of year 1
  if (n < 0) n = 0;
  // 400 years are 146097 days, 100 years 36524, 4 years 1461, one year 365.
  long long y = 1 + 400 * (n / 146097);
  n %= 146097;
  long long c = n / 36524;
  if (c == 4) c = 3;  // the last day of a 400-year cycle
  y += 100 * c;
  n -= c * 36524;
  y += 4 * (n / 1461);
  n %= 1461;
  long long k = n / 365;
  if (k == 4) k = 3;  // the last day of a leap year
  y += k;
  n -= k * 365;
  year = static_cast<int>(y);
  month = 1;
  while (n >= DaysInMonth(year, month)) {
    n -= DaysInMonth(year, month);
    ++month;
  }
  day = static_cast<int>(n) + 1;
}

void DecodeTime(TDateTime dt, int& hour, int& minute, int& second, int& ms) {
  long long days = 0, t = 0;
  Split(dt, days, t);
  hour = static_cast<int>(t / 3600000);
  minute = static_cast<int>(t / 60000 % 60);
  second = static_cast<int>(t / 1000 % 60);
  ms = static_cast<int>(t % 1000);
}

std::string DateToStr(TDateTime dt, const TFormatSettings& fs) {
  int year = 0, month = 0, day = 0;
  DecodeDate(dt, year, month, day);
  const std::string& f = fs.ShortDateFormat;
  std::string text;
  char num[16];
  for (std::size_t i = 0; i < f.size();) {
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(f[i])));
    std::size_t run = 1;
    while (i + run < f.size() && std::toupper(static_cast<unsigned char>(f[i + run])) == c) ++run;
    if (c == 'D' || c == 'M') {
      const int v = c == 'D' ? day : month;
      std::snprintf(num, sizeof num, run >= 2 ? "%02d" : "%d", v);
      text += num;
    } else if (c == 'Y') {
      if (run <= 2)
        std::snprintf(num, sizeof num, "%02d", year % 100);
      else
        std::snprintf(num, sizeof num, "%04d", year);
      text += num;
    } else if (c == '/') {
      text.append(run, fs.DateSeparator);
    } else {
      text.append(f, i, run);
    }
    i += run;
  }
  return text;
}

std::optional<TDateTime> StrToDate(const std::string& text, const TFormatSettings& fs) {
  // The order of day, month and year is the order of their first letters in the format.
  std::string order;
  for (const char ch : fs.ShortDateFormat) {
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    if ((c == 'D' || c == 'M' || c == 'Y') && order.find(c) == std::string::npos) order += c;
  }
  if (order.size() != 3) return std::nullopt;

  int values[3] = {0, 0, 0};
  int yearDigits = 0;
  std::size_t i = 0;
  auto skipBlanks = [&] {
    while (i < text.size() && text[i] == ' ') ++i;
  };
  for (int part = 0; part < 3; ++part) {
    skipBlanks();
    if (part > 0) {
      if (i >= text.size() || text[i] != fs.DateSeparator) return std::nullopt;
      ++i;
      skipBlanks();
    }
    int digits = 0;
    int v = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
      if (++digits > 4) return std::nullopt;
      v = v * 10 + (text[i] - '0');
      ++i;
    }
    if (digits == 0) return std::nullopt;
    values[part] = v;
    if (order[static_cast<std::size_t>(part)] == 'Y') yearDigits = digits;
  }
  skipBlanks();
  if (i != text.size()) return std::nullopt;

  int day = 0, month = 0, year = 0;
  for (int part = 0; part < 3; ++part) {
    const char c = order[static_cast<std::size_t>(part)];
    (c == 'D' ? day : c == 'M' ? month : year) = values[part];
  }
  // A year of one or two digits: 00..49 are 2000..2049, 50..99 are 1950..1999.
  if (yearDigits <= 2) year += year < 50 ? 2000 : 1900;
  return TryEncodeDate(year, month, day);
}
