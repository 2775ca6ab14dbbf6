// The thermal drift window: the default readings, the device's coefficients, the
// computation and its refusals, the presets, and the coefficients job 316 sends.

#include <gtest/gtest.h>

#include <QAction>
#include <bit>
#include <cstring>
#include <functional>

#include "app/Derive.h"
#include "app/Texts.h"
#include "support/AppFixture.h"

namespace {

std::uint32_t Bits(float v) { return std::bit_cast<std::uint32_t>(v); }

struct DeriveTest : ::testing::Test {
  explicit DeriveTest(TFormatSettings fs = {}) : World(TLangue::Anglais, fs) {}
  AppWorld World;
  TDeriveForm& Form() const { return *World.Program->Forms.DeriveForm; }
  std::vector<std::string> Computed() const {
    const TDeriveForm& f = Form();
    return {f.LbCoefZc1->Text(), f.LbCoefGc1->Text(), f.LbCoefZc2->Text(), f.LbCoefGc2->Text()};
  }
};

TEST_F(DeriveTest, ShowingResetsTheReadingsAndReadsTheCoefficients) {
  Form().EdTa->SetText("30,0");
  Form().BtCalcul->setEnabled(true);
  Form().BtEcriture->setEnabled(true);
  Form().Show();
  const TDeriveForm& f = Form();
  EXPECT_EQ(f.EdTa->Text(), "25,0");
  EXPECT_EQ(f.EdTe->Text(), "55,0");
  EXPECT_EQ(f.EdZ1a->Text(), "  0,00");
  EXPECT_EQ(f.EdZ1e->Text(), "  0,00");
  EXPECT_EQ(f.EdPE1a->Text(), "280,00");
  EXPECT_EQ(f.EdPE1e->Text(), "280,00");
  EXPECT_EQ(f.EdZ2a->Text(), " 4,000");
  EXPECT_EQ(f.EdZ2e->Text(), " 4,000");
  EXPECT_EQ(f.EdPE2a->Text(), "20,000");
  EXPECT_EQ(f.EdPE2e->Text(), "20,000");
  EXPECT_EQ(f.EdZ1a->EditMask(), "!#999,99;1;_");
  EXPECT_EQ(f.EdZ2a->EditMask(), "!99,999;1;_");
  EXPECT_FALSE(f.BtCalcul->isEnabled());
  EXPECT_FALSE(f.BtEcriture->isEnabled());
  EXPECT_EQ(World.Jobs().At(0), 212);
  EXPECT_EQ(World.Jobs().At(1), 500);
  EXPECT_EQ(f.LbCoefZc1->Text(), "0");
}

TEST_F(DeriveTest, TheDevicesCoefficientsEnableTheComputation) {
  Form().Show();
  Form().SetCoefs1(1000, 500);
  EXPECT_TRUE(Form().BtCalcul->isEnabled());
  Form().SetCoefs2(0.75f, 1.5f);
  EXPECT_EQ(Form().LbCoefZ1->Text(), "1.000 E03");
  EXPECT_EQ(Form().LbCoefG1->Text(), "5.000 E02");
  EXPECT_EQ(Form().LbCoefZ2->Text(), "7.500 E-01");
  EXPECT_EQ(Form().LbCoefG2->Text(), "1.500 E00");
  EXPECT_EQ(Form().DriftAcq.Z, 1000.0f);
  EXPECT_EQ(Form().DriftOut.G, 1.5f);
}

TEST_F(DeriveTest, UnchangedReadingsKeepTheCoefficients) {
  Form().Show();
  Form().SetCoefs1(1000, 500);
  Form().SetCoefs2(0, 2);
  Form().BtCalcul->click();
  EXPECT_EQ(World.Ui.Beeps, 0);
  EXPECT_EQ(Form().dT, 30.0f);
  const auto c = Form().CorrectedCoefs();
  EXPECT_EQ(Bits(c[0]), 0x4479FFFFu);  // 999.99994: within single rounding
  EXPECT_EQ(Bits(c[1]), 0x43F9FFFFu);  // 499.99997
  EXPECT_EQ(Bits(c[2]), 0x3A83126Fu);  // the device's zero of 0 gives 0.001
  EXPECT_FLOAT_EQ(c[3], 2.0f);
  EXPECT_EQ(Computed(), (std::vector<std::string>{"1.000 E03", "5.000 E02", "1.000 E-03", "2.000 E00"}));
  EXPECT_TRUE(Form().BtEcriture->isEnabled());
  Form().BtEcriture->click();
  EXPECT_EQ(World.Jobs().At(0), 316);
}

TEST_F(DeriveTest, ACalculationThatCannotBeMadeBeepsAndChangesNothing) {
  struct Case {
    const char* what;
    std::function<void(TDeriveForm&)> edit;
  };
  const std::vector<Case> cases = {
      {"oven temperature left blank", [](TDeriveForm& f) { f.EdTe->SetText("  , "); }},
      {"decimal point instead of the comma", [](TDeriveForm& f) { f.EdTa->SetText("25.0"); }},
      {"empty reading", [](TDeriveForm& f) { f.EdPE2e->SetText(""); }},
      {"equal temperatures", [](TDeriveForm& f) { f.EdTe->SetText("25,0"); }},
      {"zero span of the acquisition at Te", [](TDeriveForm& f) { f.EdPE1e->SetText("  0,00"); }},
      {"zero span of the output at Ta", [](TDeriveForm& f) { f.EdZ2a->SetText("20,000"); }},
  };
  for (const Case& c : cases) {
    AppWorld w;
    TDeriveForm& f = *w.Program->Forms.DeriveForm;
    f.Show();
    f.SetCoefs1(1000, 500);
    f.SetCoefs2(1, 1);
    f.BtInitClick();  // no preset: shows the present values, 0
    f.BtEcriture->setEnabled(false);
    c.edit(f);
    f.BtCalcul->click();
    EXPECT_EQ(w.Ui.Beeps, 1) << c.what;
    EXPECT_EQ(f.CorrectedCoefs(), (std::array<float, 4>{0, 0, 0, 0})) << c.what;
    EXPECT_EQ(f.LbCoefZc1->Text(), "0.000 E00") << c.what;
    EXPECT_EQ(f.DriftAcq.PEe, 0.0f) << c.what << ": the readings are not taken either";
    EXPECT_EQ(f.dT, 0.0f) << c.what;
    EXPECT_FALSE(f.BtEcriture->isEnabled()) << c.what;
  }
}

TEST_F(DeriveTest, PresetsAndTheirMenuItems) {
  Form().Show();
  Form().BtInit->click();
  EXPECT_EQ(Computed(), (std::vector<std::string>{"0.000 E00", "0.000 E00", "0.000 E00", "0.000 E00"}));
  EXPECT_TRUE(Form().BtEcriture->isEnabled());

  Form().AD293->trigger();
  EXPECT_TRUE(Form().AD293->isChecked());
  EXPECT_FALSE(Form().LT2078->isChecked());
  Form().BtInit->click();
  EXPECT_EQ(Computed(), (std::vector<std::string>{"1.500 E03", "1.000 E05", "1.000 E38", "-8.000 E04"}));
  EXPECT_EQ(Bits(Form().CorrectedCoefs()[2]), 0x7E967699u);

  Form().LT2078->trigger();
  EXPECT_TRUE(Form().LT2078->isChecked());
  EXPECT_FALSE(Form().AD293->isChecked());
  Form().LT2078->trigger();  // choosing it again keeps it chosen
  EXPECT_TRUE(Form().LT2078->isChecked());
  Form().BtInit->click();
  EXPECT_EQ(Form().CorrectedCoefs(), (std::array<float, 4>{400, 11210, 6000, -41000}));
  Form().AD293->trigger();
  EXPECT_FALSE(Form().LT2078->isChecked());
}

struct DeriveCommaTest : DeriveTest {
  static TFormatSettings Comma() {
    TFormatSettings fs;
    fs.DecimalSeparator = ',';
    return fs;
  }
  DeriveCommaTest() : DeriveTest(Comma()) {}
};

// The fields take the comma whatever the locale; the coefficients follow the locale.
TEST_F(DeriveCommaTest, CoefficientsShowTheLocalesSeparator) {
  Form().Show();
  Form().SetCoefs1(1234.5f, 512.5f);
  EXPECT_EQ(Form().LbCoefZ1->Text(), "1,235 E03");
  Form().SetCoefs2(0.75f, 1.5f);
  Form().EdZ1e->SetText("  0,50");
  Form().EdPE1e->SetText("280,25");
  Form().EdZ2e->SetText(" 4,012");
  Form().EdPE2e->SetText("19,981");
  Form().BtCalcul->click();
  const auto c = Form().CorrectedCoefs();
  EXPECT_EQ(Bits(c[0]), 0x42DA8AD0u);
  EXPECT_EQ(Bits(c[1]), 0x4400FE8Fu);
  EXPECT_EQ(Bits(c[2]), 0x3F3F94A9u);
  EXPECT_EQ(Bits(c[3]), 0x3FBFA325u);
  EXPECT_EQ(Form().LbCoefGc1->Text(), "5,160 E02");
}

float BigEndianFloat(const std::vector<std::uint8_t>& d, std::size_t at) {
  const std::uint32_t bits = static_cast<std::uint32_t>(d.at(at)) << 24 | static_cast<std::uint32_t>(d.at(at + 1)) << 16 |
                             static_cast<std::uint32_t>(d.at(at + 2)) << 8 | d.at(at + 3);
  float f = 0;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

// Through the link: the coefficients are read when the window shows, and the computed ones
// go out with command 199 in the order acquisition zero, gain, output zero, gain.
TEST(DeriveLink, ReadComputeAndWrite) {
  AppWorld w;
  w.Connect();
  w.Sim.State.DriftZ1 = 1000;
  w.Sim.State.DriftG1 = 500;
  w.Sim.State.DriftZ2 = 0;
  w.Sim.State.DriftG2 = 2;
  TDeriveForm& f = *w.Program->Forms.DeriveForm;
  w.Ui.OnModal["DeriveForm"] = [&](TForm&) {
    ASSERT_TRUE(w.Sched.AdvanceUntil([&] { return f.BtCalcul->isEnabled(); }, 10000));
    EXPECT_EQ(w.Sim.Requests.back().Command, 200);
    EXPECT_EQ(f.LbCoefG1->Text(), "5.000 E02");
    f.BtCalcul->click();
    f.BtEcriture->click();
    ASSERT_TRUE(w.AdvanceUntilRequests(1));
    f.BtRetour->click();
  };
  f.ShowModal();
  const SimRequest& r = w.Sim.Requests.back();
  ASSERT_EQ(r.Command, 199);
  const auto c = f.CorrectedCoefs();
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(Bits(BigEndianFloat(r.Data, 4 * i)), Bits(c[i])) << i;
  EXPECT_EQ(Bits(c[0]), 0x4479FFFFu);
  EXPECT_EQ(w.Sim.State.DriftG2, c[3]);
}

TEST(DeriveFrench, TextsOfBothEditions) {
  AppWorld fr(TLangue::Francais);
  AppWorld en;
  TDeriveForm& f = *fr.Program->Forms.DeriveForm;
  TDeriveForm& e = *en.Program->Forms.DeriveForm;
  EXPECT_EQ(f.BtCalcul->ShownCaption(), "Calcule");
  EXPECT_EQ(e.BtCalcul->ShownCaption(), "Compute");
  EXPECT_EQ(f.BtRetour->ShownCaption(), "Retour");
  EXPECT_EQ(e.BtRetour->ShownCaption(), "Return");
}

}  // namespace
