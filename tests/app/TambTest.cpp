// The ambient temperature window: the reading loop it writes, the trim and the reset it
// runs once, a temperature that is no number, and the end of the loop when it closes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "app/Tamb.h"
#include "app/Texts.h"
#include "app/core/DisplayFormat.h"
#include "support/AppFixture.h"

namespace {

TFormatSettings Comma() {
  TFormatSettings fs;
  fs.DecimalSeparator = ',';
  return fs;
}

std::vector<std::int32_t> Slots(const TJobList& j, int n) {
  std::vector<std::int32_t> out;
  for (int i = 0; i < n; ++i) out.push_back(j.At(i));
  return out;
}

const std::vector<std::int32_t> Loop = {206, 501, 315, 501, 314, 501, 0};

struct TambTest : AppFixture {
  TTambForm& Form() const { return *World.Program->Forms.TambForm; }
};

TEST_F(TambTest, ShowingStartsThePeakReadingLoopAndLeavesBusyAlone) {
  for (const bool busy : {false, true}) {
    World.Jobs().StartList({1, 2, 3, 4, 5, 6, 7, 8, 9});
    World.Jobs().JobIndex = 5;
    World.Jobs().Busy = busy;
    Form().Show();
    EXPECT_EQ(Slots(World.Jobs(), 7), Loop);
    EXPECT_EQ(World.Jobs().JobIndex, 0);
    EXPECT_EQ(World.Jobs().LastJob, 206);
    EXPECT_EQ(World.Jobs().Busy, busy);
    EXPECT_EQ(Form().AmbientText(), "25.0");
    EXPECT_EQ(Form().EdTamb->EditMask(), "!00.0;1;_");
    Form().Close();
  }
}

TEST_F(TambTest, ButtonsMoveTheIndexToRunTheTrimOrTheResetOnce) {
  Form().Show();
  Form().BtTamb->click();
  EXPECT_EQ(World.Jobs().JobIndex, 4);
  World.Jobs().JobIndex = 1;
  World.Jobs().Set(2, 0);
  Form().BtRAZ->click();
  EXPECT_EQ(World.Jobs().JobIndex, 2);
  EXPECT_EQ(Slots(World.Jobs(), 7), Loop) << "the reset slot holds 315 again";
}

TEST_F(TambTest, ATemperatureThatIsNoNumberIsReportedAndNotSent) {
  Form().Show();
  Form().EdTamb->SetText("  . ");
  Form().BtTamb->click();
  ASSERT_EQ(World.Ui.ErrorReports.size(), 1u);
  EXPECT_EQ(World.Ui.ErrorReports[0], FloatConversionErrorText(TLangue::Anglais, "  . "));
  EXPECT_EQ(World.Jobs().JobIndex, 0) << "the loop goes on reading";
}

TEST_F(TambTest, PeaksShowAsPlainIntegersAndClosingEndsTheLoop) {
  Form().Show();
  Form().ShowPeakValues(-12, 85);
  EXPECT_EQ(Form().LbTMin->Caption(), "-12");
  EXPECT_EQ(Form().LbTmax->Caption(), "85");
  for (const auto& close : std::vector<std::function<void(TTambForm&)>>{
           [](TTambForm& f) { f.BtRetour->click(); }, [](TTambForm& f) { f.Close(); }, [](TTambForm& f) { f.reject(); }}) {
    Form().Show();
    close(Form());
    EXPECT_FALSE(Form().Visible());
    EXPECT_EQ(Slots(World.Jobs(), 3), (std::vector<std::int32_t>{500, 500, 0}));
    EXPECT_EQ(World.Jobs().JobIndex, 0);
  }
}

TEST(TambFrench, TextsOfTheFrenchEdition) {
  AppWorld w(TLangue::Francais);
  TTambForm& f = *w.Program->Forms.TambForm;
  f.Show();
  EXPECT_EQ(f.Caption(), Cp("Ajustage de la température"));
  EXPECT_EQ(f.BtRAZ->ShownCaption(), Cp("Remise à zéro (Min/Max)"));
  EXPECT_EQ(f.BtRetour->ShownCaption(), "Retour");
  AppWorld en;
  EXPECT_EQ(en.Program->Forms.TambForm->BtRAZ->ShownCaption(), "Reset (Min/Max)");
}

float BigEndianFloat(const std::vector<std::uint8_t>& d) {
  const std::uint32_t bits = static_cast<std::uint32_t>(d.at(0)) << 24 | static_cast<std::uint32_t>(d.at(1)) << 16 |
                             static_cast<std::uint32_t>(d.at(2)) << 8 | d.at(3);
  float f = 0;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

// Through the link, with a decimal comma: the peaks are read again and again, the trim goes
// out once with 23.5, and the close ends the loop.
TEST(TambLink, TheLoopTheTrimAndTheEnd) {
  AppWorld w(TLangue::Anglais, Comma());
  w.Connect();
  TTambForm& f = *w.Program->Forms.TambForm;
  const std::size_t from = w.Sim.Requests.size();
  w.Sim.State.PeakMinimum = 0xF4;  // -12
  w.Sim.State.PeakMaximum = 85;
  f.Show();
  ASSERT_TRUE(w.AdvanceUntilRequests(3));
  w.Advance(500);
  EXPECT_EQ(f.LbTMin->Caption(), "-12");
  EXPECT_EQ(f.LbTmax->Caption(), "85");

  f.EdTamb->SetText("23,5");
  f.BtTamb->click();
  ASSERT_TRUE(w.AdvanceUntilRequests(3));
  f.BtRAZ->click();
  ASSERT_TRUE(w.AdvanceUntilRequests(3));
  f.BtRetour->click();
  w.Advance(5000);

  std::vector<int> commands;
  for (std::size_t i = from; i < w.Sim.Requests.size(); ++i) commands.push_back(w.Sim.Requests[i].Command);
  ASSERT_GE(commands.size(), 9u);
  EXPECT_EQ(std::count(commands.begin(), commands.end(), 129), 1);
  EXPECT_EQ(std::count(commands.begin(), commands.end(), 197), 1);
  for (int c : commands) EXPECT_TRUE(c == 198 || c == 129 || c == 197) << c;
  const auto trim = std::find(commands.begin(), commands.end(), 129);
  ASSERT_NE(trim, commands.end());
  EXPECT_EQ(*(trim + 1), 198) << "the reading loop resumes";
  EXPECT_EQ(w.Sim.State.AmbientTrim, 23.5f);
  for (const SimRequest& r : w.Sim.Requests) {
    if (r.Command == 129) {
      EXPECT_EQ(BigEndianFloat(r.Data), 23.5f);
    }
  }
  EXPECT_EQ(commands.back(), 198) << "nothing after the close";
  EXPECT_FALSE(w.Jobs().Busy);
}

}  // namespace
