// The transmitter self-test window: the fault boxes, the lamps and the width a result
// gives, and the self-test through the link.

#include <gtest/gtest.h>

#include "app/Texts.h"
#include "app/tstXT.h"
#include "support/AppFixture.h"

namespace {

struct TstXTTest : AppFixture {
  TTstXTForm& Form() const { return *World.Program->Forms.TstXTForm; }
  std::vector<bool> Faults() const {
    const TTstXTForm& f = Form();
    return {f.CK0->isChecked(), f.CK1->isChecked(), f.CK2->isChecked(), f.CK3->isChecked(), f.CK7->isChecked()};
  }
};

TEST_F(TstXTTest, ShowingIsNarrowWithBothLampsOff) {
  Form().ShowSelfTestResult(0x81);
  Form().Show();
  EXPECT_EQ(Form().Caption(), "Transmitter test");
  EXPECT_EQ(Form().width(), 185);
  EXPECT_FALSE(Form().Led_OK->LedStatus());
  EXPECT_FALSE(Form().Led_HS->LedStatus());
  EXPECT_FALSE(Form().GroupBox1->isEnabled());
  EXPECT_GE(Form().GroupBox1->x(), 185) << "the fault group lies beyond the narrow window";
}

TEST_F(TstXTTest, AResultShowsItsFaultBitsLampsAndWidth) {
  struct Case {
    Byte result;
    std::vector<bool> faults;  // CK0..CK3, CK7
    int width;
    bool pass;
  };
  Form().Show();
  for (const Case& c : {Case{0x00, {false, false, false, false, false}, 185, true},
                        Case{0x01, {true, false, false, false, false}, 335, false},
                        Case{0x8F, {true, true, true, true, true}, 335, false},
                        Case{0x70, {false, false, false, false, false}, 185, true},  // bits 4-6 are no faults
                        Case{0x80, {false, false, false, false, true}, 335, false},
                        Case{0x0A, {false, true, false, true, false}, 335, false},
                        Case{0x40, {false, false, false, false, false}, 185, true}}) {
    Form().ShowSelfTestResult(c.result);
    EXPECT_EQ(Faults(), c.faults) << int(c.result);
    EXPECT_EQ(Form().width(), c.width) << int(c.result);
    EXPECT_EQ(Form().Led_OK->LedStatus(), c.pass) << int(c.result);
    EXPECT_EQ(Form().Led_HS->LedStatus(), !c.pass) << int(c.result);
  }
}

TEST_F(TstXTTest, TestPutsTheLampsOffAndStartsTheSelfTest) {
  Form().Show();
  Form().ShowSelfTestResult(0x01);
  Form().BitBtn2->click();
  EXPECT_FALSE(Form().Led_OK->LedStatus());
  EXPECT_FALSE(Form().Led_HS->LedStatus());
  EXPECT_EQ(World.Jobs().At(0), 401);
  EXPECT_EQ(World.Jobs().At(1), 500);
  World.Jobs().StartMeasurePolling();
  Form().BitBtnLangue1->click();
  EXPECT_FALSE(Form().Visible());
  EXPECT_EQ(World.Jobs().At(0), 1) << "Return sends nothing";
}

TEST(TstXTFrench, TextsOfTheFrenchEdition) {
  AppWorld w(TLangue::Francais);
  TTstXTForm& f = *w.Program->Forms.TstXTForm;
  f.Show();
  EXPECT_EQ(f.Caption(), "Test transmetteur");
  EXPECT_EQ(f.GroupBox1->ShownCaption(), Cp("Défauts"));
  EXPECT_EQ(f.LabelLangue1->ShownCaption(), Cp("Réussi"));
  EXPECT_EQ(f.LabelLangue2->ShownCaption(), Cp("Echoué"));
  EXPECT_EQ(f.CK2->ShownCaption(), "DEP 1 BAS");
  EXPECT_EQ(f.BitBtnLangue1->ShownCaption(), "Retour");
}

// The self-test of one of the maker's devices reads the result and shows the faults; another
// maker's device gets no result read.
TEST(TstXTLink, TheMakersDeviceShowsItsFaultsAnotherMakersShowsNone) {
  for (const bool maker : {true, false}) {
    AppWorld w;
    if (!maker) w.Sim.Identity.ManufacturerId = 17;
    w.Sim.State.SelfTestResult = 0x84;
    w.Connect();
    TTstXTForm& f = *w.Program->Forms.TstXTForm;
    f.Show();
    f.BitBtn2->click();
    w.Main().Evenement.SetInterval(50);
    w.Advance(5000);
    const std::vector<int> expected = maker ? std::vector<int>{41, 196} : std::vector<int>{41};
    std::vector<int> sent;
    for (int c : w.Commands())
      if (c == 41 || c == 196) sent.push_back(c);
    EXPECT_EQ(sent, expected) << maker;
    EXPECT_EQ(f.CK2->isChecked(), maker);
    EXPECT_EQ(f.CK7->isChecked(), maker);
    EXPECT_EQ(f.width(), maker ? 335 : 185);
    EXPECT_EQ(f.Led_HS->LedStatus(), maker);
  }
}

}  // namespace
