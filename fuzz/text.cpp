// Dates, numbers and packed ASCII both ways. Packed groups and texts of the packed
// character set come back as they went; dates come back from their text in every short
// date format and separator, times to the millisecond; numbers come back from their text
// within half of the last decimal; the wire's number encodings read back as written; and
// any text given to the readers is either refused or reads as what it says.

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <string>

#include "FuzzInput.h"
#include "app/core/DisplayFormat.h"
#include "comm/HART.h"
#include "model/Format.h"
#include "model/Utils.h"

namespace {

TFormatSettings Settings(fuzz::Input& in) {
  static const char* const formats[] = {"DD/MM/YYYY", "D/M/YYYY", "MM/DD/YYYY", "M/d/yyyy", "YYYY/MM/DD", "yyyy/M/d",
                                        "dd/MM/yy",   "yy/MM/dd", "d/M/yy"};
  static const char separators[] = {'/', '.', '-'};
  TFormatSettings fs;
  fs.DecimalSeparator = in.Bool() ? ',' : '.';
  fs.DateSeparator = separators[in.Byte() % std::size(separators)];
  fs.ShortDateFormat = formats[in.Byte() % std::size(formats)];
  return fs;
}

bool TwoDigitYears(const TFormatSettings& fs) { return fs.ShortDateFormat.find("YYY") == std::string::npos &&
                                                       fs.ShortDateFormat.find("yyy") == std::string::npos; }

void Packed(fuzz::Input& in) {
  // Any three bytes unpack to four characters of the set, which pack to the same bytes.
  const Byte p0 = in.Byte(), p1 = in.Byte(), p2 = in.Byte();
  TPackedAscii pa;
  PackedAsciiToStr(pa, p0, p1, p2);
  const std::string four = GetAsciiPart(pa);
  FUZZ_CHECK(four.size() == 4);
  for (char c : four) FUZZ_CHECK(static_cast<Byte>(c) >= 0x20 && static_cast<Byte>(c) <= 0x5F);
  TPackedAscii back;
  StrToPackedAscii(back, four);
  FUZZ_CHECK(GetPackedPart(back) == std::string({static_cast<char>(p0), static_cast<char>(p1), static_cast<char>(p2)}));

  // A text of the set (lower case is sent as upper case) comes back padded or cut.
  const int chars = 4 * static_cast<int>(in.Range(1, 8));
  std::string text = in.Text(static_cast<std::size_t>(in.Range(0, 40)));
  const std::string packed = HartEncode::PackedText(text, chars);
  FUZZ_CHECK(packed.size() == static_cast<std::size_t>(chars / 4 * 3));
  const std::string unpacked =
      UnpackText(std::span<const Byte>(reinterpret_cast<const Byte*>(packed.data()), packed.size()), chars / 4);
  FUZZ_CHECK(unpacked.size() == static_cast<std::size_t>(chars));
  const bool ofTheSet = std::all_of(text.begin(), text.end(), [](char c) {
    const auto b = static_cast<Byte>(c);
    return (b >= 0x20 && b <= 0x5F) || (b >= 'a' && b <= 'z');
  });
  if (ofTheSet) {
    std::string expected = text.substr(0, static_cast<std::size_t>(chars));
    expected.resize(static_cast<std::size_t>(chars), ' ');
    for (char& c : expected)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    FUZZ_CHECK(unpacked == expected);
  }
}

void Dates(fuzz::Input& in) {
  const TFormatSettings fs = Settings(in);
  const int year = static_cast<int>(in.Range(-2, 10001));
  const int month = static_cast<int>(in.Range(-1, 14));
  const int day = static_cast<int>(in.Range(-1, 32));
  const auto date = TryEncodeDate(year, month, day);
  FUZZ_CHECK(date.has_value() == IsValidDate(year, month, day));
  if (date) {
    int y = 0, m = 0, d = 0;
    DecodeDate(*date, y, m, d);
    FUZZ_CHECK(y == year && m == month && d == day);
    const std::string text = DateToStr(*date, fs);
    const auto back = StrToDate(text, fs);
    if (!TwoDigitYears(fs) || (year >= 1950 && year <= 2049)) {
      FUZZ_CHECK(back.has_value());
      FUZZ_CHECK(*back == *date);
    }
    // With the time of day, as the device's clock gives it (years from 1900 on).
    const int hour = static_cast<int>(in.Range(0, 23)), minute = static_cast<int>(in.Range(0, 59));
    const int second = static_cast<int>(in.Range(0, 59)), ms = static_cast<int>(in.Range(0, 999));
    const auto time = TryEncodeTime(hour, minute, second, ms);
    FUZZ_CHECK(time.has_value());
    if (year >= 1900) {
      const TDateTime moment = *date + *time;
      int h = 0, mi = 0, s = 0, msec = 0;
      DecodeTime(moment, h, mi, s, msec);
      FUZZ_CHECK(h == hour && mi == minute && s == second && msec == ms);
      DecodeDate(moment, y, m, d);
      FUZZ_CHECK(y == year && m == month && d == day);
      FUZZ_CHECK(DateToStr(moment, fs) == text);
    }
  }
  // Any text: a date it gives writes as a text that gives the same date.
  const std::string text = in.Text(24);
  if (const auto read = StrToDate(text, fs)) {
    int y = 0, m = 0, d = 0;
    DecodeDate(*read, y, m, d);
    FUZZ_CHECK(IsValidDate(y, m, d));
    // A format of two-digit years writes only the years 1950 to 2049 unambiguously.
    if (!TwoDigitYears(fs) || (y >= 1950 && y <= 2049)) {
      const auto again = StrToDate(DateToStr(*read, fs), fs);
      FUZZ_CHECK(again && *again == *read);
    }
  }
}

void Numbers(fuzz::Input& in) {
  const TFormatSettings fs = Settings(in);
  double value;
  const Byte kind = in.Byte();
  if (kind < 128) {
    value = static_cast<std::int32_t>(in.U32()) / 1000.0;
  } else {
    const std::uint64_t bits = std::uint64_t{in.U32()} << 32 | in.U32();
    value = std::bit_cast<double>(bits);
    if (!std::isfinite(value)) value = 0;
  }
  const int decimals = static_cast<int>(in.Range(0, 20));
  const std::string text = FormatFixed(value, decimals, fs);
  const auto back = StrToFloat(text, fs);
  FUZZ_CHECK(back.has_value());
  const double half = 0.5 * std::pow(10.0, -decimals);
  const double ulp = std::fabs(std::nextafter(value, 0.0) - value);
  FUZZ_CHECK(std::fabs(*back - value) <= half * (1 + 1e-9) + ulp);
  FUZZ_CHECK(FormatFloat00(value, fs) == FormatFixed(value, 2, fs));
  FUZZ_CHECK(FormatFloat("##0.00", value, fs) == FormatFloat00(value, fs));

  const auto whole = static_cast<std::int32_t>(in.U32());
  FUZZ_CHECK(StrToInt(std::to_string(whole)) == whole);

  // Any text: a whole number is also a number of the same value.
  const std::string typed = in.Text(24);
  const auto f = StrToFloat(typed, fs);
  if (const auto i = StrToInt(typed)) {
    FUZZ_CHECK(f.has_value());
    FUZZ_CHECK(*f == static_cast<double>(*i));
  }
  if (f) FUZZ_CHECK(std::isfinite(*f));
}

void Wire(fuzz::Input& in) {
  // Singles below 2^127 read back as written (negative zero as zero); the rest as 0.
  const float v = in.RawFloat();
  const auto b = HartEncode::F32(v);
  const double back = BytesToSingle(b[0], b[1], b[2], b[3]);
  if (std::isfinite(v) && std::fabs(v) < 0x1p127f)
    FUZZ_CHECK(back == static_cast<double>(v));
  else
    FUZZ_CHECK(back == 0.0);
  FUZZ_CHECK(!std::signbit(back) || back != 0.0);

  const std::int32_t u24 = static_cast<std::int32_t>(in.U32() & 0xFFFFFF);
  const auto c = HartEncode::U24(u24);
  FUZZ_CHECK(Bytes3ToInt(c[0], c[1], c[2]) == u24);
  const std::int32_t u16 = in.U16();
  const auto w = HartEncode::U16(u16);
  FUZZ_CHECK(w[0] * 256 + w[1] == u16);
  const auto i16 = static_cast<std::int16_t>(in.U16());
  const auto s = HartEncode::I16(i16);
  FUZZ_CHECK(static_cast<std::int16_t>(static_cast<std::uint16_t>(s[0] << 8 | s[1])) == i16);
  // A positive value with a fraction gives the low 24 bits of its whole part.
  const double any = static_cast<double>(in.U32()) + in.Byte() / 256.0;
  const auto d = HartEncode::U24(any);
  FUZZ_CHECK(Bytes3ToInt(d[0], d[1], d[2]) == (static_cast<std::int64_t>(std::trunc(any)) & 0xFFFFFF));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  switch (in.Byte() % 4) {
    case 0: Packed(in); break;
    case 1: Dates(in); break;
    case 2: Numbers(in); break;
    default: Wire(in); break;
  }
  return 0;
}
