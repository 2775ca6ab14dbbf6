#pragma once

// Number and date texts with the program-wide format settings, and the date-time value of
// the program (days since 30 December 1899, the time of day as the fraction).

#include <optional>
#include <string>

// Read from the system locale at start-up; tests set their own. Helpers take it explicitly.
struct TFormatSettings {
  char DecimalSeparator = '.';
  char DateSeparator = '/';
  // Letters D, M and Y; '/' stands for DateSeparator.
  std::string ShortDateFormat = "DD/MM/YYYY";
};

using TDateTime = double;

// The value with two decimals and at least one integer digit ("##0.00"), halves away from
// zero on the decimal value, with the given decimal separator; "-" only for a negative
// result that is not zero once rounded.
std::string FormatFloat00(double value, const TFormatSettings& fs);

// The same with any number of decimals (0 to 20): "##0.0" for 1, "##0.00" for 2.
std::string FormatFixed(double value, int decimals, const TFormatSettings& fs);

bool IsValidDate(int year, int month, int day);
bool IsValidTime(int hour, int minute, int second, int ms);

// Empty when the date or time does not exist.
std::optional<TDateTime> TryEncodeDate(int year, int month, int day);
std::optional<TDateTime> TryEncodeTime(int hour, int minute, int second, int ms);

void DecodeDate(TDateTime dt, int& year, int& month, int& day);
void DecodeTime(TDateTime dt, int& hour, int& minute, int& second, int& ms);

// The date of dt in the short date format of fs.
std::string DateToStr(TDateTime dt, const TFormatSettings& fs);

// The text read as day, month and year in the order of fs.ShortDateFormat, separated by
// fs.DateSeparator; empty when it does not form an existing date.
std::optional<TDateTime> StrToDate(const std::string& text, const TFormatSettings& fs);
