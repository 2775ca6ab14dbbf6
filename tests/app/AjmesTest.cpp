// The sensor trim: the trim its Tag chooses goes in front of the running list, and its
// caption in both editions.

#include <gtest/gtest.h>

#include <QPushButton>

#include "app/Ajmes.h"
#include "controls/MyControls.h"
#include "support/AppFixture.h"

TEST(AjmesTest, CorrectionPutsTheTrimOfTheTagNextAndCloses) {
  struct Case {
    int tag;
    std::int32_t job;
  };
  AppWorld world;
  TAjustCaptForm& f = *world.Program->Forms.AjustCaptForm;
  for (const Case& c : {Case{0, 405}, Case{1, 406}, Case{7, 406}}) {
    world.Jobs().StartList({1, 2});
    world.Jobs().JobIndex = 1;  // job 1 ran last
    f.Tag = c.tag;
    world.Ui.OnModal["AjustCaptForm"] = [](TForm& form) { static_cast<TAjustCaptForm&>(form).Button2->click(); };
    f.ShowModal();
    EXPECT_FALSE(f.Visible());
    // the trim runs at the next tick, then the list goes on where it was
    EXPECT_EQ(world.Jobs().At(world.Jobs().JobIndex), c.job) << c.tag;
    EXPECT_EQ(world.Jobs().At(world.Jobs().JobIndex + 1), 2) << c.tag;
    EXPECT_EQ(world.Jobs().LastJob, c.job);
  }
}

TEST(AjmesTest, ClosingWithoutCorrectionQueuesNothing) {
  AppWorld world;
  TAjustCaptForm& f = *world.Program->Forms.AjustCaptForm;
  f.ShowModal();
  EXPECT_EQ(world.Jobs().Length(), 0);
}

TEST(AjmesTest, CaptionsOfBothEditions) {
  AppWorld en(TLangue::Anglais);
  AppWorld fr(TLangue::Francais);
  TAjustCaptForm& e = *en.Program->Forms.AjustCaptForm;
  TAjustCaptForm& f = *fr.Program->Forms.AjustCaptForm;
  e.ShowModal();
  f.ShowModal();
  EXPECT_EQ(e.Caption(), "Trim measure");
  EXPECT_EQ(f.Caption(), "Ajustage de la mesure");
  EXPECT_EQ(e.GroupBoxLangue1->ShownCaption(), "Calibration operation");
  EXPECT_EQ(f.GroupBoxLangue1->ShownCaption(), "M\xE9thode d'ajustage");
  EXPECT_EQ(e.LabelLangue3->ShownCaption(), "2 - Trim value");
  EXPECT_EQ(f.LabelLangue3->ShownCaption(), "3 - Appuyez sur correction pour appliquer la valeur.");
}
