// The thermal drift coefficients against worked values, their special values, the presets,
// the checks that refuse a computation, and the "0.000 E-00" text.

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>

#include "app/core/DeriveDrift.h"

namespace {

std::uint32_t Bits(float v) { return std::bit_cast<std::uint32_t>(v); }

TDriftGroup Group(float za, float pea, float ze, float pee, float z, float g) {
  TDriftGroup group;
  group.Za = za;
  group.PEa = pea;
  group.Ze = ze;
  group.PEe = pee;
  group.Z = z;
  group.G = g;
  return group;
}

TEST(DriftConstants, AreTheSinglesTheDeviceExpects) {
  EXPECT_EQ(Bits(DriftNoCoefficient), 0x3A83126Fu);
  EXPECT_EQ(Bits(DriftInfiniteCoefficient), 0x7E967699u);
}

// Expected bits worked out with exact rational arithmetic, rounded to single where the
// formula stores a single.
struct WorkedCase {
  const char* what;
  float Ta, Te;
  TDriftGroup group;
  std::uint32_t gc, zc;
};

class DriftWorkedTest : public ::testing::TestWithParam<WorkedCase> {};

TEST_P(DriftWorkedTest, GivesTheWorkedCoefficients) {
  const WorkedCase& c = GetParam();
  const auto r = ComputeDrift(c.Ta, c.Te, c.group, c.group);
  ASSERT_TRUE(r.has_value()) << c.what;
  EXPECT_EQ(Bits(r->Acq.Gc), c.gc) << c.what << " gain " << r->Acq.Gc;
  EXPECT_EQ(Bits(r->Acq.Zc), c.zc) << c.what << " zero " << r->Acq.Zc;
  EXPECT_EQ(Bits(r->Out.Gc), c.gc);
  EXPECT_EQ(Bits(r->Out.Zc), c.zc);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DriftWorkedTest,
    ::testing::Values(
        // Unchanged readings keep the coefficients, within single rounding: 499.99997, 999.99994.
        WorkedCase{"unchanged readings", 25, 55, Group(0, 280, 0, 280, 1000, 500), 0x43F9FFFFu, 0x4479FFFFu},
        WorkedCase{"acquisition drift", 25, 55, Group(0, 280, 0.5f, 280.25f, 1234.5f, 512.5f), 0x4400FE8Fu, 0x42DA8AD0u},
        WorkedCase{"negative coefficients", 25, 55, Group(0, 280, 0.5f, 280.25f, -2000, -300), 0xC3953333u, 0x42FF1758u},
        WorkedCase{"output current drift", 25, 55, Group(4, 20, 4.012f, 19.981f, 0.75f, 1.5f), 0x3FBFA325u, 0x3F3F94A9u},
        // l comes out exactly 0 for both: the infinite coefficient, not a division.
        WorkedCase{"l of zero", 25, 26, Group(1, 201, 0, 100, 4, 4), 0x7E967699u, 0x7E967699u},
        // A transmitter coefficient of 0 gives 0.001 without further computation.
        WorkedCase{"transmitter zero and gain of 0", 25, 55, Group(0, 280, 0.5f, 280.25f, 0, 0), 0x3A83126Fu, 0x3A83126Fu}));

TEST(DriftCompute, EachGroupUsesItsOwnReadingsAndCoefficients) {
  const auto r = ComputeDrift(25, 55, Group(0, 280, 0, 280, 1000, 0), Group(4, 20, 4.012f, 19.981f, 0.75f, 1.5f));
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->dT, 30.0f);
  EXPECT_EQ(Bits(r->Acq.Gc), 0x3A83126Fu);
  EXPECT_EQ(Bits(r->Acq.Zc), 0x4479FFFFu);
  EXPECT_EQ(Bits(r->Out.Gc), 0x3FBFA325u);
  EXPECT_EQ(Bits(r->Out.Zc), 0x3F3F94A9u);
  // The readings and the transmitter's coefficients travel with the result.
  EXPECT_EQ(r->Out.Ze, 4.012f);
  EXPECT_EQ(r->Out.G, 1.5f);
}

TEST(DriftCompute, RefusesWhatWouldDivideByZeroOrOverflow) {
  const TDriftGroup good = Group(0, 280, 0, 280, 1000, 500);
  EXPECT_FALSE(ComputeDrift(25, 25, good, good)) << "equal temperatures";
  EXPECT_FALSE(ComputeDrift(25, 55, Group(0, 280, 7, 7, 1000, 500), good)) << "zero span at Te";
  EXPECT_FALSE(ComputeDrift(25, 55, good, Group(4, 4, 4, 20, 1, 1))) << "zero span at Ta";
  // 2 / G overflows the single: no infinite or NaN coefficient is produced.
  EXPECT_FALSE(ComputeDrift(25, 55, Group(0, 280, 0, 280, 1000, 1e-39f), good));
}

TEST(DriftFields, ReadWithTheFixedCommaWhateverTheLocale) {
  const TDriftTexts texts{"25,0", "55,0", "  0,00", "  0,50", "280,00", "280,25", " 4,000", " 4,012", "20,000", "19,981"};
  const auto r = ReadDriftFields(texts);
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->Ta, 25.0f);
  EXPECT_EQ(r->Te, 55.0f);
  EXPECT_EQ(r->Acq.Za, 0.0f);
  EXPECT_EQ(r->Acq.Ze, 0.5f);
  EXPECT_EQ(r->Acq.PEa, 280.0f);
  EXPECT_EQ(r->Acq.PEe, 280.25f);
  EXPECT_EQ(r->Out.Za, 4.0f);
  EXPECT_EQ(r->Out.Ze, 4.012f);
  EXPECT_EQ(r->Out.PEa, 20.0f);
  EXPECT_EQ(r->Out.PEe, 19.981f);
}

TEST(DriftFields, NameTheFirstFieldThatIsNoNumber) {
  const TDriftTexts good{"25,0", "55,0", "0,00", "0,00", "280,00", "280,00", "4,000", "4,000", "20,000", "20,000"};
  struct Bad {
    int field;
    const char* text;
  };
  for (const Bad b : {Bad{1, "  , "}, Bad{0, "25.0"}, Bad{5, ""}, Bad{9, "2O,000"}, Bad{3, "-"}}) {
    TDriftTexts texts = good;
    texts[static_cast<std::size_t>(b.field)] = b.text;
    int bad = -1;
    EXPECT_FALSE(ReadDriftFields(texts, &bad)) << b.text;
    EXPECT_EQ(bad, b.field) << b.text;
  }
}

TEST(DriftPresets, GiveTheirFourCoefficients) {
  const auto ad = DriftPresetCoefficients(TDriftPreset::AD293);
  ASSERT_TRUE(ad.has_value());
  EXPECT_EQ((*ad)[0], 1500.0f);
  EXPECT_EQ((*ad)[1], 100000.0f);
  EXPECT_EQ(Bits((*ad)[2]), 0x7E967699u);
  EXPECT_EQ((*ad)[3], -80000.0f);
  const auto lt = DriftPresetCoefficients(TDriftPreset::LT2078);
  ASSERT_TRUE(lt.has_value());
  EXPECT_EQ(*lt, (std::array<float, 4>{400.0f, 11210.0f, 6000.0f, -41000.0f}));
  EXPECT_FALSE(DriftPresetCoefficients(TDriftPreset::None));
}

TEST(DriftText, WritesOneDigitThreeDecimalsAndTheExponent) {
  TFormatSettings dot;
  TFormatSettings comma;
  comma.DecimalSeparator = ',';
  struct Case {
    float value;
    const char* text;
  };
  for (const Case c : {Case{0, "0.000 E00"}, Case{500, "5.000 E02"}, Case{499.99997f, "5.000 E02"},
                       Case{0.001f, "1.000 E-03"}, Case{1e38f, "1.000 E38"}, Case{-80000, "-8.000 E04"},
                       Case{1.0625f, "1.063 E00"},  // an exact half rounds away from zero
                       Case{-1.0625f, "-1.063 E00"}, Case{9.9996f, "1.000 E01"}, Case{1234567, "1.235 E06"},
                       Case{1.5e-20f, "1.500 E-20"}}) {
    EXPECT_EQ(DriftCoefficientText(c.value, dot), c.text) << c.value;
  }
  EXPECT_EQ(DriftCoefficientText(1500, comma), "1,500 E03");
  EXPECT_EQ(DriftCoefficientText(std::numeric_limits<float>::infinity(), dot), "INF");
  EXPECT_EQ(DriftCoefficientText(-std::numeric_limits<float>::infinity(), dot), "-INF");
  EXPECT_EQ(DriftCoefficientText(std::numeric_limits<float>::quiet_NaN(), dot), "NAN");
  EXPECT_EQ(DriftCoefficientText(-std::numeric_limits<float>::quiet_NaN(), comma), "NAN");
}

}  // namespace
