// The registration window: the number typed, the job that sends it, a number that does not
// convert, and the registration reaching the device.

#include <gtest/gtest.h>

#include "app/Ns.h"
#include "app/StdCtrls.h"
#include "app/core/DisplayFormat.h"
#include "controls/MyControls.h"
#include "support/AppFixture.h"

namespace {
std::vector<std::int32_t> ListOf(const TJobList& j) { return {j.List.begin(), j.List.begin() + j.Length()}; }
}  // namespace

TEST(NsTest, RegisteringQueuesJob409WithTheTypedNumber) {
  AppWorld world;
  TNSForm& f = *world.Program->Forms.NSForm;
  EXPECT_EQ(f.IdentText(), "0000000");
  f.EdIdent->SetText("1234567");
  f.BtnRegister->click();
  EXPECT_EQ(f.IdentText(), "1234567");
  EXPECT_EQ(ListOf(world.Jobs()), (std::vector<std::int32_t>{409, 500}));
  EXPECT_TRUE(world.Jobs().Busy);
  EXPECT_TRUE(world.Ui.ErrorReports.empty());
}

TEST(NsTest, ANumberThatDoesNotConvertIsReportedAndNothingIsQueued) {
  for (TLangue langue : {TLangue::Anglais, TLangue::Francais}) {
    AppWorld world(langue);
    TNSForm& f = *world.Program->Forms.NSForm;
    for (const char* text : {"", "       ", "12 34"}) {
      world.Ui.ErrorReports.clear();
      world.Jobs().SetIdle();
      world.Jobs().Busy = false;
      f.EdIdent->SetText(text);
      f.BtnRegister->click();
      EXPECT_EQ(world.Ui.ErrorReports, (std::vector<std::string>{FloatConversionErrorText(langue, text)})) << text;
      EXPECT_EQ(world.Jobs().Length(), 0) << text;
      EXPECT_FALSE(world.Jobs().Busy) << text;
    }
  }
}

TEST(NsTest, CancelCloses) {
  AppWorld world;
  TNSForm& f = *world.Program->Forms.NSForm;
  f.Show();
  f.BitBtn1->click();
  EXPECT_FALSE(f.Visible());
  EXPECT_EQ(world.Jobs().Length(), 0);
}

TEST(NsTest, TheDeviceTakesTheNumberAndTheWindowClosesOnItsAnswer) {
  AppWorld world;
  world.Connect();
  TNSForm& f = *world.Program->Forms.NSForm;
  f.Show();
  f.EdIdent->SetText("1234567");
  const std::size_t from = world.Sim.Requests.size();
  f.BtnRegister->click();
  world.Main().Evenement.SetInterval(50);
  ASSERT_TRUE(world.Sched.AdvanceUntil([&] { return !f.Visible(); }, 10000));
  ASSERT_GT(world.Sim.Requests.size(), from);
  EXPECT_EQ(world.Sim.Requests[from].Command, 128);
  EXPECT_EQ(world.Sim.Identity.DeviceId, 1234567u);
  EXPECT_EQ(world.Jobs().At(0), 100);  // the loop is searched again
}

TEST(NsTest, CaptionsOfBothEditions) {
  AppWorld en(TLangue::Anglais);
  AppWorld fr(TLangue::Francais);
  TNSForm& e = *en.Program->Forms.NSForm;
  TNSForm& f = *fr.Program->Forms.NSForm;
  EXPECT_EQ(e.Caption(), "Transmitter registration");
  EXPECT_EQ(f.Caption(), "Inscription du transmetteur");
  EXPECT_EQ(e.BtnRegister->ShownCaption(), "Erase and register the number");
  EXPECT_EQ(f.BtnRegister->ShownCaption(), "RAZ et inscription du n\xB0");
  EXPECT_EQ(f.Label2->ShownCaption(), "Cette fonction effacera toutes les donn\xE9" "es");
  EXPECT_EQ(e.BitBtn1->ShownCaption(), "Cancel");
}
