// The sensor trim: the trim its Tag chooses goes in front of the running list, and its
// caption in both editions.

#include <gtest/gtest.h>

#include <QPushButton>
#include <functional>

#include "app/Ajmes.h"
#include "app/InSelect.h"
#include "app/main.h"
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

// Through the link, from the main window's buttons: the input chosen goes out with command
// 140, then the trim of the button: 135 for the offset, 134 for the full scale.
TEST(AjmesLink, SensorTrimsReachTheTransmitterOnTheChosenInput) {
  struct Sent {
    int command;
    std::vector<std::uint8_t> data;
    bool operator==(const Sent&) const = default;
  };
  struct Case {
    const char* name;
    std::function<QAbstractButton*(TMainForm&)> button;
    bool secondInput;
    std::vector<Sent> sent;
  };
  const Case cases[] = {
      {"offset on input 2", [](TMainForm& m) { return m.BtAjBE; }, true, {{140, {2}}, {135, {}}}},
      {"full scale on input 1", [](TMainForm& m) { return m.BtAjPE; }, false, {{140, {1}}, {134, {}}}},
      {"sensor zero, no input asked", [](TMainForm& m) { return m.BtnZero; }, false, {{135, {}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AppWorld w;
    w.Sim.Identity.DeviceType = 0x40;  // two inputs
    w.Sim.State.SelectedInput = 0;
    w.Connect();
    w.Main().Evenement.SetInterval(50);
    TInputSelectForm& select = *w.Program->Forms.InputSelectForm;
    w.Ui.OnModal["InputSelectForm"] = [&](TForm&) {
      (c.secondInput ? select.RdV2 : select.RdV1)->setChecked(true);
      select.BtnNext->click();
      ASSERT_TRUE(w.Sched.AdvanceUntil([&] { return !select.Visible(); }, 10000));
    };
    w.Ui.OnModal["AjustCaptForm"] = [](TForm& f) { static_cast<TAjustCaptForm&>(f).Button2->click(); };
    const std::size_t from = w.Sim.Requests.size();
    c.button(w.Main())->click();
    w.Advance(5000);
    std::vector<Sent> sent;
    for (std::size_t i = from; i < w.Sim.Requests.size(); ++i) sent.push_back({w.Sim.Requests[i].Command, w.Sim.Requests[i].Data});
    EXPECT_EQ(sent, c.sent);
    EXPECT_EQ(w.Sim.State.SelectedInput, c.sent.size() == 2 ? c.sent[0].data[0] : 0);
  }
}
