// The input selection: cancelling, asking for an input, and being closed by the answer.

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QTest>

#include "app/InSelect.h"
#include "controls/MyControls.h"
#include "support/AppFixture.h"

namespace {
std::vector<std::int32_t> ListOf(const TJobList& j) { return {j.List.begin(), j.List.begin() + j.Length()}; }

struct InSelect : ::testing::Test {
  TInputSelectForm& F() const { return *World.Program->Forms.InputSelectForm; }
  AppWorld World;
};
}  // namespace

TEST_F(InSelect, CancelAndEscapeLeaveMinusOneAndQueueNothing) {
  const std::function<void(TInputSelectForm&)> ways[] = {
      [](TInputSelectForm& f) { f.BtnCancel->click(); },
      [](TInputSelectForm& f) { QTest::keyClick(&f, Qt::Key_Escape); },
  };
  for (const auto& cancel : ways) {
    World.Xmt().SelectedInput = 0;
    World.Ui.OnModal["InputSelectForm"] = [&](TForm&) { cancel(F()); };
    F().ShowModal();
    EXPECT_EQ(World.Xmt().SelectedInput, -1);
    EXPECT_FALSE(F().Visible());
    EXPECT_EQ(World.Jobs().Length(), 0);
  }
}

TEST_F(InSelect, NextAsksForTheCheckedInputAndWaitsForTheAnswer) {
  struct Case {
    bool second;
    int input;
  };
  for (const Case& c : {Case{false, 1}, Case{true, 2}}) {
    World.Jobs().SetIdle();
    (c.second ? F().RdV2 : F().RdV1)->setChecked(true);
    World.Ui.OnModal["InputSelectForm"] = [&](TForm&) {
      F().BtnNext->click();
      EXPECT_EQ(World.Xmt().SelectedInput, c.input);
      EXPECT_EQ(ListOf(World.Jobs()), (std::vector<std::int32_t>{418, 500}));
      EXPECT_TRUE(F().Visible());  // open until the answer
      F().Close();                 // as the answer's dispatch does
    };
    F().ShowModal();
    EXPECT_FALSE(F().Visible());
    EXPECT_EQ(World.Xmt().SelectedInput, c.input);
  }
}

TEST_F(InSelect, TheDevicesAnswerClosesTheModalWindowWithTheInputItTook) {
  World.Sim.Identity.DeviceType = 203;
  World.Connect();
  World.Ui.OnModal["InputSelectForm"] = [&](TForm&) {
    F().RdV2->setChecked(true);
    F().BtnNext->click();
    World.Main().Evenement.SetInterval(50);
    ASSERT_TRUE(World.Sched.AdvanceUntil([&] { return !F().Visible(); }, 10000));
  };
  F().ShowModal();
  EXPECT_EQ(World.Sim.State.SelectedInput, 2);
  EXPECT_EQ(World.Xmt().SelectedInput, 2);
}

TEST(InSelectTexts, CaptionsOfBothEditions) {
  AppWorld en(TLangue::Anglais);
  AppWorld fr(TLangue::Francais);
  TInputSelectForm& e = *en.Program->Forms.InputSelectForm;
  TInputSelectForm& f = *fr.Program->Forms.InputSelectForm;
  EXPECT_EQ(e.Caption(), "Attention !");
  EXPECT_EQ(e.RdV1->ShownCaption(), "Input n\xB0" "1");
  EXPECT_EQ(f.RdV2->ShownCaption(), "Entr\xE9" "e n\xB0" "2");
  EXPECT_EQ(e.BtnNext->ShownCaption(), "Next");
  EXPECT_EQ(f.BtnNext->ShownCaption(), "Suivant");
  EXPECT_EQ(f.GroupBoxLangue1->ShownCaption(), "S\xE9lection de l'entr\xE9" "e");
  EXPECT_FALSE(e.windowFlags() & Qt::WindowCloseButtonHint);
}
