// The input selection: cancelling, asking for an input, and being closed by the answer.

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QTest>

#include "app/InSelect.h"
#include "app/main.h"
#include "controls/MyControls.h"
#include "support/AppFixture.h"
#include "support/WindowSystemClose.h"

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

// A close by the window system (there is no close box, but the desktop may close it all the
// same) is a "Cancel": no trim follows, and the request sent by "Next" goes no more.
TEST_F(InSelect, AWindowSystemCloseCancels) {
  for (const bool next : {false, true}) {
    World.Jobs().SetIdle();
    World.Xmt().SelectedInput = 0;
    F().Show();
    if (next) F().BtnNext->click();
    WindowSystemClose(F());
    EXPECT_FALSE(F().Visible()) << next;
    EXPECT_EQ(World.Xmt().SelectedInput, -1) << next;
    EXPECT_EQ(ListOf(World.Jobs()), next ? (std::vector<std::int32_t>{500, 500}) : std::vector<std::int32_t>{}) << next;
  }
}

// A device that does not answer command 140: the request is repeated while the window waits;
// "Cancel" ends the sequence, so the input is not asked for again (and a late answer cannot
// switch it). Once the device answers again the measures are polled as usual.
TEST(InSelectLink, CancelStopsTheUnansweredRequest) {
  AppWorld w;
  w.Sim.Identity.DeviceType = 0x40;  // two inputs
  w.Connect();
  TMainForm& m = w.Main();
  TInputSelectForm& f = *w.Program->Forms.InputSelectForm;
  w.Sim.Faults.Silent = true;
  std::size_t cancelled = 0;
  w.Ui.OnModal["InputSelectForm"] = [&](TForm&) {
    f.RdV2->setChecked(true);
    f.BtnNext->click();
    ASSERT_TRUE(w.AdvanceUntilRequests(2, 10000)) << "sent, then repeated";
    EXPECT_EQ(w.Sim.Requests.back().Command, 140);
    EXPECT_TRUE(f.Visible());
    cancelled = w.Sim.Requests.size();
    f.BtnCancel->click();
  };
  m.BtAjBE->click();
  EXPECT_EQ(w.Ui.ModalRuns, (std::vector<std::string>{"InputSelectForm"})) << "no trim";
  w.Advance(15000);
  EXPECT_EQ(w.Sim.Requests.size(), cancelled) << "nothing is sent after the cancel";
  EXPECT_FALSE(w.Jobs().Busy);

  w.Sim.Faults.Silent = false;
  m.TabbedNotebook->SetPageIndex(1);
  ASSERT_EQ(m.TabbedNotebook->PageIndex(), 1);
  ASSERT_TRUE(w.AdvanceUntilRequests(6));
  for (std::size_t i = cancelled; i < w.Sim.Requests.size(); ++i) {
    const int c = w.Sim.Requests[i].Command;
    EXPECT_TRUE(c == 1 || c == 2 || c == 3) << c;
  }
  EXPECT_EQ(w.Sim.State.SelectedInput, 1) << "the input the user gave up is not taken";
  EXPECT_EQ(m.Transmetteur.GetConnected(), 1);
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
