#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <string>

#include "model/Units.h"
#include "model/Utils.h"

namespace {
std::array<Byte, 3> Pack(const std::string& text) {
  TPackedAscii pa;
  StrToPackedAscii(pa, text);
  const std::string p = GetPackedPart(pa);
  return {static_cast<Byte>(p[0]), static_cast<Byte>(p[1]), static_cast<Byte>(p[2])};
}
std::string Unpack(Byte a, Byte b, Byte c) {
  TPackedAscii pa;
  PackedAsciiToStr(pa, a, b, c);
  return GetAsciiPart(pa);
}
}  // namespace

TEST(PackedAscii, KnownGroupsBothWays) {
  EXPECT_EQ(Pack("ABCD"), (std::array<Byte, 3>{0x04, 0x20, 0xC4}));
  EXPECT_EQ(Unpack(0x04, 0x20, 0xC4), "ABCD");
  EXPECT_EQ(Pack("    "), (std::array<Byte, 3>{0x82, 0x08, 0x20}));
  EXPECT_EQ(Unpack(0x82, 0x08, 0x20), "    ");
  EXPECT_EQ(Unpack(0x00, 0x00, 0x00), "@@@@");
  EXPECT_EQ(Pack("ABCDEFG"), Pack("ABCD"));   // only the first four count
  EXPECT_EQ(Pack("AB"), Pack("AB  "));        // a short text packs as if padded
  // Lower case loses 64, not 32: it comes back as punctuation.
  EXPECT_EQ(Unpack(Pack("abcd")[0], Pack("abcd")[1], Pack("abcd")[2]), "!\"#$");
}

TEST(ByteHelpers, CheckByteAndInt24) {
  const Byte buf[] = {0xAA, 0x01, 0x02, 0x04};
  EXPECT_EQ(CheckByteXor(buf, 0), 0);
  EXPECT_EQ(CheckByteXor(buf, 3), 0x07);  // position 0 is left out
  EXPECT_EQ(CheckByteXor(buf, 99), 0x07); // never reads past the buffer
  EXPECT_EQ(Bytes3ToInt(0xFF, 0xFF, 0xFF), 16777215);
  EXPECT_EQ(Bytes3ToInt(0x01, 0x02, 0x03), 66051);
}

TEST(ByteHelpers, BytesToSingleSpecialPatterns) {
  struct Case {
    Byte b[4];
    double expected;
  };
  const Case cases[] = {
      {{0x41, 0x20, 0x00, 0x00}, 10.0},
      {{0x7F, 0xA0, 0x00, 0x00}, 0.0},  // HART not-a-number
      {{0x7F, 0x80, 0x00, 0x00}, 0.0},  // +inf
      {{0xFF, 0xC0, 0x00, 0x00}, 0.0},  // NaN
      {{0x7F, 0x00, 0x00, 0x01}, 0.0},  // finite, exponent 254
      {{0xFF, 0x7F, 0xFF, 0xFF}, 0.0},  // -max single
      {{0x7E, 0xFF, 0xFF, 0xFF}, 1.7014117331926443e38},
      {{0x00, 0x00, 0x00, 0x01}, 1.4012984643248171e-45},  // denormals keep their value
      {{0xC1, 0x20, 0x00, 0x00}, -10.0},
  };
  for (const Case& c : cases) EXPECT_EQ(BytesToSingle(c.b[0], c.b[1], c.b[2], c.b[3]), c.expected);
  const double negZero = BytesToSingle(0x80, 0, 0, 0);
  EXPECT_EQ(negZero, 0.0);
  EXPECT_FALSE(std::signbit(negZero));  // normalised by adding 0.0
}

TEST(UnitTable, LookupsAndTexts) {
  EXPECT_EQ(UnitCodeToIndex(32), 3);
  EXPECT_EQ(UnitCodeToIndex(12), 35);
  EXPECT_EQ(UnitCodeToIndex(0), 0);
  EXPECT_EQ(UnitCodeToIndex(250), 0);
  EXPECT_EQ(UnitCodeToText(37, TLangue::Anglais), "Ohms");
  EXPECT_EQ(UnitCodeToText(37, TLangue::Francais), "Ohm");
  EXPECT_EQ(UnitCodeToText(163, TLangue::Anglais), "KOhms");
  EXPECT_EQ(UnitCodeToText(32, TLangue::Anglais), "\xB0" "C");
  EXPECT_EQ(UnitCodeToText(99, TLangue::Anglais), "");
  EXPECT_STREQ(UnitRow(3).Name(TLangue::Francais), "degr\xE9s Celsius");
  EXPECT_STREQ(UnitRow(35).Name(TLangue::Anglais), "Kilopascal");
}

// Every character of the 6-bit set, in each of the four positions, lands in its own six
// bits of the 24-bit group (first character highest) and comes back unchanged.
TEST(PackedAscii, EveryCharacterInEveryPositionBothWays) {
  for (int pos = 0; pos < 4; ++pos) {
    for (int c = 0x20; c <= 0x5F; ++c) {
      std::string text = "A?Z ";
      text[static_cast<std::size_t>(pos)] = static_cast<char>(c);
      std::uint32_t group = 0;
      for (char ch : text) group = (group << 6) | (static_cast<Byte>(ch) & 63u);
      const std::array<Byte, 3> expected{static_cast<Byte>(group >> 16), static_cast<Byte>(group >> 8),
                                         static_cast<Byte>(group)};
      const auto packed = Pack(text);
      EXPECT_EQ(packed, expected) << "char " << c << " at " << pos;
      EXPECT_EQ(Unpack(packed[0], packed[1], packed[2]), text) << "char " << c << " at " << pos;
    }
  }
  // Bytes above 0x7F lose 64 and keep their low six bits: e acute (0xE9) comes back as ')'.
  EXPECT_EQ(Pack("\xE9" "AAA"), Pack(")AAA"));
  EXPECT_EQ(CheckByteXor(Pack("ABCD"), -1), 0);
}

// The row order and the codes are part of the file format; names in both editions.
TEST(UnitTable, EveryRowInOrderInBothEditions) {
  struct Row {
    int code;
    const char* en;
    const char* fr;
    const char* symbol;
    bool symbolFont;
  };
  const Row rows[UnitCount] = {
      {0, "none", "aucune", "", false},
      {7, "bars", "bar", "b", false},
      {8, "millibars", "millibar", "mb", false},
      {32, "degrees Celsius", "degr\xE9s Celsius", "\xB0" "C", false},
      {33, "degrees Fahrenheit", "degr\xE9s Fahrenheit", "\xB0" "F", false},
      {34, "degrees Rankin", "degr\xE9s Rankin", "\xB0" "R", false},
      {35, "Kelvin", "Kelvin", "K", false},
      {36, "milliVolts", "milliVolt", "mV", false},
      {37, "Ohms", "Ohm", "W", true},
      {39, "milliAmperes", "milliAmp\xE8re", "mA", false},
      {41, "liters", "litre", "l", false},
      {45, "meters", "m\xE8tre", "m", false},
      {48, "centimeters", "centim\xE8tre", "cm", false},
      {49, "millimeters", "millim\xE8tre", "mm", false},
      {57, "percent", "pourcent", "%", false},
      {58, "Volts", "Volt", "V", false},
      {60, "grams", "gramme", "g", false},
      {61, "Kilograms", "Kilogramme", "Kg", false},
      {38, "Hertz", "Hertz", "Hz", false},
      {40, "gallons", "gallons", "USgal", false},
      {42, "Imp gallons", "Imp gallons", "UKgal", false},
      {43, "cubic meters", "m\xE8tre cube", "m\xB3", false},
      {44, "feet", "feet", "ft", false},
      {46, "Barrels", "Baril", "bbl", false},
      {47, "Inches", "Inches", "in", false},
      {62, "Tons", "Tonne", "t", false},
      {63, "Pounds", "Pounds", "lb", false},
      {111, "Cubic yards", "Yards cube", "yd\xB3", false},
      {112, "Cubic feet", "feet cube", "ft\xB3", false},
      {113, "Cubic inches", "inches cube", "in\xB3", false},
      {163, "KOhms", "KOhms", "KW", true},
      {236, "hecto liter", "hecto litre", "hl", false},
      {9, "grams/cm\xB2", "gramme/cm\xB2", "g/cm\xB2", false},
      {10, "Kilograms/cm\xB2", "Kilogramme/cm\xB2", "Kg/cm\xB2", false},
      {11, "pascal", "pascal", "Pa", false},
      {12, "Kilopascal", "Kilopascal", "KPa", false},
  };
  for (int i = 0; i < UnitCount; ++i) {
    const Row& r = rows[i];
    const TUnitInfo& u = UnitRow(i);
    EXPECT_EQ(u.Code, r.code) << "row " << i;
    EXPECT_STREQ(u.Name(TLangue::Anglais), r.en) << "row " << i;
    EXPECT_STREQ(u.Name(TLangue::Francais), r.fr) << "row " << i;
    EXPECT_STREQ(u.Symbol, r.symbol) << "row " << i;
    EXPECT_STREQ(u.FontName, r.symbolFont ? "Symbol" : "NewTimeRoman") << "row " << i;
    const Byte code = static_cast<Byte>(r.code);
    EXPECT_EQ(UnitCodeToIndex(code), i) << "code " << r.code;
    for (TLangue langue : {TLangue::Anglais, TLangue::Francais})
      EXPECT_EQ(UnitCodeToText(code, langue), r.symbolFont ? u.Name(langue) : r.symbol) << "code " << r.code;
  }
  EXPECT_EQ(&UnitRow(-1), &UnitRow(0));
  EXPECT_EQ(&UnitRow(UnitCount), &UnitRow(0));
}
