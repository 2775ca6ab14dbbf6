// The linearisation window as a window among the others: Esc, the live measure that command 2
// answers bring while it shows, and the progress window during real transfers against the
// simulated transmitter.

#include <gtest/gtest.h>

#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <algorithm>
#include <string>
#include <vector>

#include "app/Dessin.h"
#include "app/Xfert.h"
#include "app/load.h"
#include "controls/MyControls.h"
#include "support/AppFixture.h"

namespace {

// The program connected to a transmitter whose curve can be transferred (a voltage input).
struct DessinWindow : ::testing::Test {
  DessinWindow() {
    World.Sim.Identity.DeviceType = 0x10;
    World.Connect();
  }

  TDessinForm& Form() const { return *World.Program->Forms.DessinForm; }
  TDraw& Draw() const { return *Form().Draw1; }
  TXfertForm& Xfert() const { return *World.Program->Forms.XfertForm; }

  std::size_t Count(int command) const {
    return static_cast<std::size_t>(std::count_if(World.Sim.Requests.begin(), World.Sim.Requests.end(),
                                                  [&](const SimRequest& r) { return r.Command == command; }));
  }

  // Runs until two more command 2 requests went out: the answer to the first of them has then
  // been handled.
  bool RunCurrentAnswer() {
    const std::size_t target = Count(2) + 2;
    return World.Sched.AdvanceUntil([&] { return Count(2) >= target; }, 10000);
  }

  AppWorld World;
};

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

// ---------------------------------------------------------------------------------------
// Esc

TEST_F(DessinWindow, EscDoesNotCloseTheEditorButClosesTheOtherWindows) {
  // On the window and its controls; the grid takes Esc for itself (it undoes the last change).
  for (QWidget* target : std::vector<QWidget*>{&Form(), Form().Btn_C, Form().ZoomBar, Form().Btn_Load, Form().Draw1}) {
    SCOPED_TRACE(target->objectName().toStdString());
    Form().Show();
    QTest::keyClick(target, Qt::Key_Escape);
    EXPECT_TRUE(Form().Visible());
  }
  // "Close" still closes it.
  Form().Btn_Quit->click();
  EXPECT_FALSE(Form().Visible());

  TLoadForm& load = *World.Program->Forms.LoadForm;
  for (TForm* other : std::vector<TForm*>{&load, &Xfert()}) {
    SCOPED_TRACE(other->objectName().toStdString());
    other->Show();
    QTest::keyClick(other, Qt::Key_Escape);
    EXPECT_FALSE(other->Visible());
  }
}

// ---------------------------------------------------------------------------------------
// "Measure": the live measure while the window shows

TEST_F(DessinWindow, CurrentAnswersMoveTheMeasureOnlyWhileTheWindowShows) {
  World.Sim.State.PV = 42.5f;
  World.Sim.State.PercentOfRange = 42.0f;
  World.Sim.Faults.DeviceStatus = 0x01;  // the primary variable out of its limits
  Form().Show();
  ASSERT_EQ(Form().LbPV->Caption(), "--.--");
  Form().BitBtnLangue1->click();

  ASSERT_TRUE(RunCurrentAnswer());
  const std::string shown = Form().LbPV->Caption();
  EXPECT_TRUE(Contains(shown, "42.50")) << shown;
  EXPECT_EQ(shown, World.Main().LbPV->Caption());
  EXPECT_FALSE(Form().LbDEP->isHidden());
  EXPECT_FLOAT_EQ(Draw().CrossX, 42.0f);
  EXPECT_FLOAT_EQ(Draw().CrossY, 42.0f);  // on the default straight curve

  // Back in range while it shows: the mark goes.
  World.Sim.Faults.DeviceStatus = 0;
  World.Sim.State.PercentOfRange = 60.0f;
  ASSERT_TRUE(RunCurrentAnswer());
  EXPECT_TRUE(Form().LbDEP->isHidden());
  EXPECT_FLOAT_EQ(Draw().CrossX, 60.0f);

  // Hidden: the answers go on reaching the main window, not the editor.
  World.Sim.Faults.DeviceStatus = 0x01;
  World.Sim.State.PV = 80.0f;
  World.Sim.State.PercentOfRange = 80.0f;
  Form().Close();
  const std::string before = Form().LbPV->Caption();
  ASSERT_TRUE(RunCurrentAnswer());
  EXPECT_TRUE(Contains(World.Main().LbPV->Caption(), "80.00")) << World.Main().LbPV->Caption();
  EXPECT_FALSE(World.Main().LbDEP->isHidden());
  EXPECT_EQ(Form().LbPV->Caption(), before);
  EXPECT_TRUE(Form().LbDEP->isHidden());
  EXPECT_FLOAT_EQ(Draw().CrossX, 60.0f);
}

// ---------------------------------------------------------------------------------------
// The progress window during real transfers

namespace {

// What the progress window showed while it was visible: its range's top and each position.
struct Seen {
  std::vector<int> Maxima;
  std::vector<int> Positions;
};

}  // namespace

TEST_F(DessinWindow, TheProgressWindowShowsWhileTheTransferRuns) {
  struct Case {
    const char* what;
    QPushButton* button;
    int max;                    // the last point's index
    std::vector<int> positions;  // as the points are acknowledged or received
  };
  Form().Show();
  Draw().Points[0] = {-10, -5};
  Draw().Points[1] = {20, 30.5f};
  Draw().Points[2] = {60, 55};
  Draw().Points[3] = {110, 104};
  Draw().LastIndex = 3;
  Draw().UpdateCurve();
  World.Sim.State.SegmentCount = 0;
  const Case cases[] = {
      {"PC->XT of 4 points", Form().Btn_WR, 3, {1, 2, 3}},
      {"XT->PC of the 3 points the device then holds", Form().Btn_RD, 2, {0, 1, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.button == Form().Btn_RD) World.Sim.State.SegmentCount = 2;
    ASSERT_FALSE(Xfert().Visible());
    c.button->click();
    Seen seen;
    bool shown = false;
    const bool ended = World.Sched.AdvanceUntil(
        [&] {
          if (Xfert().Visible()) {
            shown = true;
            const int max = Xfert().Progress->maximum();
            const int position = Xfert().Progress->value();
            if (seen.Maxima.empty() || seen.Maxima.back() != max) seen.Maxima.push_back(max);
            if (seen.Positions.empty() || seen.Positions.back() != position) seen.Positions.push_back(position);
          }
          const TJobList& j = World.Jobs();
          return shown && !Xfert().Visible() && j.At(j.JobIndex) == 0 && j.CurrentJob == 0;
        },
        60000);
    ASSERT_TRUE(ended);
    EXPECT_EQ(seen.Maxima, std::vector<int>{c.max});
    EXPECT_EQ(seen.Positions, c.positions);
    EXPECT_EQ(Xfert().Progress->minimum(), 0);
  }
  EXPECT_EQ(Draw().LastIndex, 2);
  EXPECT_EQ(Draw().Points[2], (TRealPoint{60, 55}));
}
