#include "app/core/DisplayFormat.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

std::string FormatFloat(const std::string& pattern, double value, const TFormatSettings& fs) {
  const std::size_t point = pattern.find('.');
  const std::string intPart = pattern.substr(0, point);
  const std::string fracPart = point == std::string::npos ? std::string() : pattern.substr(point + 1);

  int minIntDigits = 0;
  for (char c : intPart) minIntDigits += c == '0';
  int decimals = 0, optionalDecimals = 0;
  for (char c : fracPart) {
    if (c == '0') {
      ++decimals;
      optionalDecimals = 0;
    } else if (c == '#') {
      ++decimals;
      ++optionalDecimals;
    }
  }

  std::string text = FormatFixed(value, decimals, fs);
  if (!std::isfinite(value)) return text;

  const bool negative = !text.empty() && text[0] == '-';
  if (negative) text.erase(0, 1);
  std::size_t sep = decimals > 0 ? text.find(fs.DecimalSeparator) : text.size();
  std::string whole = text.substr(0, sep);
  std::string fraction = decimals > 0 ? text.substr(sep + 1) : std::string();

  // "#" before the point: no digit is owed, so a zero integer part disappears (".5").
  if (whole == "0" && minIntDigits == 0) whole.clear();
  while (static_cast<int>(whole.size()) < minIntDigits) whole.insert(whole.begin(), '0');
  for (int i = 0; i < optionalDecimals && !fraction.empty() && fraction.back() == '0'; ++i) fraction.pop_back();

  std::string out = negative ? "-" : "";
  out += whole;
  if (!fraction.empty()) {
    out += fs.DecimalSeparator;
    std::size_t next = 0;
    for (char c : fracPart) {
      if (c == '0' || c == '#') {
        if (next < fraction.size()) out += fraction[next++];
      } else if (next < fraction.size()) {
        out += c;
      }
    }
  }
  if (out.empty() || out == "-") out += '0';
  return out;
}

namespace {

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<double> StrToFloat(const std::string& text, const TFormatSettings& fs) {
  const std::string t = Trimmed(text);
  // Checked by hand first, so that only the forms a user types get through ("nan", "inf"
  // and hexadecimal do not).
  std::string plain;
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) plain += t[i++];
  int mantissaDigits = 0;
  while (i < t.size() && IsDigit(t[i])) plain += t[i++], ++mantissaDigits;
  if (i < t.size() && t[i] == fs.DecimalSeparator) {
    plain += '.';
    ++i;
    while (i < t.size() && IsDigit(t[i])) plain += t[i++], ++mantissaDigits;
  }
  if (mantissaDigits == 0) return std::nullopt;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    plain += t[i++];
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) plain += t[i++];
    int exponentDigits = 0;
    while (i < t.size() && IsDigit(t[i])) plain += t[i++], ++exponentDigits;
    if (exponentDigits == 0) return std::nullopt;
  }
  if (i != t.size()) return std::nullopt;

  const char* begin = plain.data() + (plain[0] == '+' ? 1 : 0);
  double v = 0;
  const auto [end, ec] = std::from_chars(begin, plain.data() + plain.size(), v);
  if (end != plain.data() + plain.size()) return std::nullopt;
  if (ec == std::errc::result_out_of_range) return std::nullopt;
  if (ec != std::errc()) return std::nullopt;
  return v;
}

std::optional<std::int32_t> StrToInt(const std::string& text) {
  const std::string t = Trimmed(text);
  if (t.empty()) return std::nullopt;
  // One sign at most: after a '+' only digits may follow ("+-5" is no number).
  const char* begin = t.data() + (t[0] == '+' ? 1 : 0);
  if (begin == t.data() + t.size() || !(IsDigit(*begin) || (*begin == '-' && begin == t.data()))) return std::nullopt;
  std::int32_t v = 0;
  const auto [end, ec] = std::from_chars(begin, t.data() + t.size(), v);
  if (ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
  return v;
}

std::string FloatConversionErrorText(TLangue langue, const std::string& text) {
  return "'" + text + "'" + Texte(langue, " is not a valid floating point value", " n'est pas une valeur en virgule flottante correcte");
}

std::string IntConversionErrorText(TLangue langue, const std::string& text) {
  return "'" + text + "'" + Texte(langue, " is not a valid integer value", " n'est pas une valeur enti\xE8re correcte");
}

std::string IntToHex(std::uint32_t value, int digits) {
  static const char* const hex = "0123456789ABCDEF";
  std::string text;
  do {
    text.insert(text.begin(), hex[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  while (static_cast<int>(text.size()) < digits) text.insert(text.begin(), '0');
  return text;
}

std::optional<std::int16_t> StrToScaledInt16(const std::string& text, int scale, const TFormatSettings& fs) {
  const auto v = StrToFloat(text, fs);
  if (!v) return std::nullopt;
  // The product of the typed value itself, kept in single precision: rounding the value to
  // single first would move a product such as 1000 x -32.7605 off its half. Held within
  // twice the limits first, where it clamps all the same, so that the cast stays defined.
  const float p = static_cast<float>(std::clamp(scale * *v, -65536.0, 65536.0));
  if (p >= 32767.0f) return std::int16_t{32767};
  if (p <= -32768.0f) return std::int16_t{-32768};
  return static_cast<std::int16_t>(std::nearbyint(p));  // the default rounding: halves to even
}

namespace {

// Number patterns of 0 to 4 decimals, the same width for all.
const char* const DecimalsFormat[5] = {"####0", "###0.0", "##0.00", "#0.000", "0.0000"};

// "!" + hashes + "0", then the separator and the decimals' zeros when there are any.
std::string NumberMask(int hashes, char ds, int decimals) {
  std::string mask = "!" + std::string(static_cast<std::size_t>(hashes), '#') + "0";
  if (decimals > 0) mask += ds + std::string(static_cast<std::size_t>(decimals), '0');
  return mask + ";1;_";
}

}  // namespace

std::string RangeEditMask(unsigned decimals, char ds) {
  const int d = static_cast<int>(decimals);
  return decimals <= 4 ? NumberMask(5 - d, ds, d) : NumberMask(4, ds, 2);
}

std::string RangeNumberFormat(unsigned decimals) { return decimals <= 4 ? DecimalsFormat[decimals] : "###0.00"; }

std::string AlarmEditMask(unsigned decimals, char ds) {
  const int d = static_cast<int>(decimals);
  return decimals <= 4 ? NumberMask(4 - d, ds, d) : NumberMask(4, ds, 3);
}

std::string AlarmNumberFormat(unsigned decimals) { return decimals <= 4 ? DecimalsFormat[decimals] : "###0.000"; }

int AlarmScale(unsigned decimals) {
  int scale = 1;
  for (unsigned i = 0; i < decimals && scale < 1000000000; ++i) scale *= 10;
  return scale;
}

TAlarmInfo AlarmRecord(const TAlarmInfo& model, std::int16_t setPoint, std::int16_t hysteresis, std::int16_t delay,
                       bool normallyOpen) {
  TAlarmInfo r;
  r.SetPointEditable = model.SetPointEditable;
  r.HysteresisEditable = model.HysteresisEditable;
  r.DelayEditable = model.DelayEditable;
  r.RelayEditable = model.RelayEditable;
  r.Decimals = model.Decimals;
  r.SetPoint = setPoint;
  r.Hysteresis = hysteresis;
  r.Delay = static_cast<Byte>(static_cast<std::uint16_t>(delay) & 0xFF);
  r.RelayNormallyClosed = normallyOpen ? 0 : 255;
  return r;
}

namespace {
constexpr std::array<std::int32_t, 3> PercentUnits{0, 57, -1};
constexpr std::array<std::int32_t, 7> ResistanceUnits{0, 32, 33, 34, 35, 37, -1};
constexpr std::array<std::int32_t, 7> ThermocoupleUnits{0, 32, 33, 34, 35, 36, -1};
constexpr std::array<std::int32_t, 21> ProcessUnits{0,  57, 49, 48, 45, 47, 44,  41,  236, 43, 40,
                                                    42, 46, 113, 112, 111, 60, 61, 62, 63, -1};
}  // namespace

std::span<const std::int32_t> PercentUnitList() { return PercentUnits; }
std::span<const std::int32_t> ResistanceUnitList() { return ResistanceUnits; }
std::span<const std::int32_t> ThermocoupleUnitList() { return ThermocoupleUnits; }
std::span<const std::int32_t> ProcessUnitList() { return ProcessUnits; }

int GaugePosition(double percent) {
  if (std::isnan(percent)) return 0;
  if (percent <= 0) return 0;
  if (percent >= 100) return 100;
  return static_cast<int>(percent);
}

TAI1Percents AI1Percents(double nominal, double upperLimit, double lowerLimit) {
  if (nominal == 0) return {};
  return {(upperLimit - nominal) * 100 / nominal, (nominal - lowerLimit) * 100 / nominal};
}

TAI1Limits AI1Limits(double nominal, double upperPercent, double lowerPercent) {
  return {static_cast<float>(nominal * (1 + upperPercent / 100)), static_cast<float>(nominal * (1 + lowerPercent / 100))};
}

std::int32_t DisplayWord(int digitMode, int pointDecimal, bool unitShown) {
  return (digitMode & 3) | (pointDecimal << 8) | (unitShown ? 0x800 : 0);
}

std::uint8_t SensorInfoByte(int kind, int connection, int type) {
  return static_cast<std::uint8_t>(((kind & 3) << 6) | ((connection & 3) << 4) | (type & 15));
}
