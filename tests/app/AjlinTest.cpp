// The point trim: each press trims the checked point and checks the next; the check is kept
// between openings; the point reaches the device.

#include <gtest/gtest.h>

#include "app/Ajlin.h"
#include "controls/MyControls.h"
#include "support/AppFixture.h"

TEST(AjlinTest, SixPressesFromZeroTrimTheFivePointsThenTheLastAgain) {
  AppWorld world;
  TAjLINForm& f = *world.Program->Forms.AjLINForm;
  std::vector<int> points;
  world.Ui.OnModal["AjLINForm"] = [&](TForm&) {
    for (int i = 0; i < 6; ++i) {
      world.Jobs().SetIdle();
      f.btGO->click();
      points.push_back(world.Xmt().TrimPoint);
      EXPECT_EQ(world.Jobs().At(0), 407);
      EXPECT_EQ(world.Jobs().At(1), 500);
    }
    f.BtRetour->click();
  };
  ASSERT_TRUE(f.RBt0->isChecked());
  f.ShowModal();
  EXPECT_EQ(points, (std::vector<int>{0, 1, 2, 3, 4, 4}));
  EXPECT_FALSE(f.Visible());

  // Reopened, it starts where it was left.
  world.Ui.OnModal["AjLINForm"] = [&](TForm&) { f.btGO->click(); };
  f.ShowModal();
  EXPECT_TRUE(f.RBt100->isChecked());
  EXPECT_EQ(world.Xmt().TrimPoint, 4);
}

TEST(AjlinTest, ThePointReachesTheDevice) {
  AppWorld world;
  world.Sim.Identity.DeviceType = 203;
  world.Connect();
  TAjLINForm& f = *world.Program->Forms.AjLINForm;
  f.RBt50->setChecked(true);
  const std::size_t from = world.Sim.Requests.size();
  f.btGO->click();
  world.Main().Evenement.SetInterval(50);
  ASSERT_TRUE(world.Sched.AdvanceUntil([&] { return !world.Jobs().Busy; }, 10000));
  ASSERT_GT(world.Sim.Requests.size(), from);
  EXPECT_EQ(world.Sim.Requests[from].Command, 133);
  EXPECT_EQ(world.Sim.State.MidScalePoint, 2);
  EXPECT_TRUE(f.RBt75->isChecked());
}

TEST(AjlinTest, CaptionsOfBothEditions) {
  AppWorld en(TLangue::Anglais);
  AppWorld fr(TLangue::Francais);
  TAjLINForm& e = *en.Program->Forms.AjLINForm;
  TAjLINForm& f = *fr.Program->Forms.AjLINForm;
  EXPECT_EQ(e.Caption(), "Linearisation trim");
  EXPECT_EQ(f.Caption(), "Lin\xE9" "arisation Ajustage");
  EXPECT_EQ(e.btGO->ShownCaption(), "Trim");
  EXPECT_EQ(f.btGO->ShownCaption(), "Ajustage");
  EXPECT_EQ(e.RadioGroup1->ShownCaption(), "Range");
  EXPECT_EQ(f.RadioGroup1->ShownCaption(), "Gamme");
  EXPECT_EQ(f.RBt25->ShownCaption(), "25%");
}
