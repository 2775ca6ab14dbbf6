#include <gtest/gtest.h>

#include <array>
#include <cmath>

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
