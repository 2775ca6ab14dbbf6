// The communication status window: the status boxes of every answer, the read button, the
// additional status pages of command 48 and the window's two heights.

#include <gtest/gtest.h>

#include <QAction>
#include <QTabWidget>
#include <QTableWidget>

#include "app/StatusComm.h"
#include "app/Texts.h"
#include "controls/Group.h"
#include "controls/MyControls.h"
#include "support/AppFixture.h"

namespace {

struct StatusCommTest : AppFixture {
  TStatusCommForm& Form() const { return *World.Program->Forms.StatusCommForm; }
  std::vector<bool> Boxes() const {
    const TStatusCommForm& f = Form();
    return {f.CK0->isChecked(), f.CK1->isChecked(), f.CK2->isChecked(), f.CK3->isChecked(),
            f.CK4->isChecked(), f.CK5->isChecked(), f.CK6->isChecked(), f.CK7->isChecked()};
  }
  void SetAdditional(std::int32_t count, std::initializer_list<std::pair<int, Byte>> bytes) {
    TXmt& x = World.Xmt();
    x.AdditionalStatusCount = count;
    x.AdditionalStatus.fill(0);
    for (auto [i, v] : bytes) x.AdditionalStatus[static_cast<std::size_t>(i)] = v;
  }
  static std::string Cell(const QTableWidget& grid, int row, int col) { return FromQ(grid.item(row, col)->text()); }
};

// The four LED groups have no space between their LEDs; each caption of a column stands
// beside its LED.
TEST_F(StatusCommTest, TheLedsOfAGroupTouchAndTheirCaptionsStandBesideThem) {
  Form().Show();
  World.Xmt().AdditionalStatusCount = 24;
  Form().ShowAdditionalStatus();
  struct Case {
    TGroupLed* group;
    int width, height;
  };
  for (const Case& c : {Case{Form().ExtDevStatus, 16, 48}, Case{Form().StdStatus0, 16, 96},
                        Case{Form().GrLedAS_0, 128, 16}, Case{Form().GrLedAF_0, 128, 16}}) {
    SCOPED_TRACE(c.group->objectName().toStdString());
    EXPECT_EQ(c.group->Spacing(), 0);
    EXPECT_EQ(c.group->size(), QSize(c.width, c.height));
    if (c.height == 16) continue;
    const QList<TLabelLangue*> captions = c.group->parentWidget()->findChildren<TLabelLangue*>();
    ASSERT_EQ(captions.size(), c.height / 16);
    for (int i = 0; i < captions.size(); ++i) EXPECT_EQ(captions[i]->y(), c.group->y() + 16 * i) << i;
  }
}

TEST_F(StatusCommTest, StatusBoxesFollowTheStatusByteAndTheUserCannotTickThem) {
  struct Case {
    int status;
    std::vector<bool> boxes;  // CK0..CK7
  };
  for (const Case& c : {Case{0x80, {false, false, false, false, false, false, false, true}},
                        Case{0x01, {true, false, false, false, false, false, false, false}},
                        Case{0x4A, {false, true, false, true, false, false, true, false}},
                        Case{0xFF, {true, true, true, true, true, true, true, true}},
                        Case{0x00, {false, false, false, false, false, false, false, false}}}) {
    Form().ShowDeviceStatus(c.status);
    EXPECT_EQ(Boxes(), c.boxes) << c.status;
  }
  for (TCheckBoxLangue* ck : {Form().CK0, Form().CK4, Form().CK7}) EXPECT_FALSE(ck->isEnabled());
}

TEST_F(StatusCommTest, TheReadButtonIsEnabledByBitFourAndStaysEnabled) {
  EXPECT_FALSE(Form().BtnReadAddStatus->isEnabled());
  Form().ShowDeviceStatus(0x80);
  EXPECT_FALSE(Form().BtnReadAddStatus->isEnabled());
  Form().ShowDeviceStatus(0x10);
  EXPECT_TRUE(Form().BtnReadAddStatus->isEnabled());
  Form().ShowDeviceStatus(0x80);
  EXPECT_TRUE(Form().BtnReadAddStatus->isEnabled());
  Form().ShowDeviceStatus(0x00);
  EXPECT_TRUE(Form().BtnReadAddStatus->isEnabled());

  Form().BtnReadAddStatus->click();
  EXPECT_EQ(World.Jobs().At(0), 417);
  EXPECT_EQ(World.Jobs().At(1), 500);
  EXPECT_EQ(World.Jobs().At(2), 0);
  EXPECT_TRUE(World.Jobs().Busy);
}

TEST_F(StatusCommTest, HeightIsTheBoxesAloneOrWithThePages) {
  Form().Show();
  EXPECT_EQ(Form().height(), 234);
  EXPECT_EQ(Form().Caption(), "Transmitter status");
  SetAdditional(24, {});
  Form().ShowAdditionalStatus();
  EXPECT_EQ(Form().height(), 714);
  Form().ShowStatusBoxesOnly();
  EXPECT_EQ(Form().height(), 234);
  Form().ShowAdditionalStatus();
  EXPECT_EQ(Form().height(), 714);
  // An answer that carried no status byte keeps the boxes alone.
  SetAdditional(0, {});
  Form().ShowAdditionalStatus();
  EXPECT_EQ(Form().height(), 234);
  // Showing again starts from the boxes alone.
  SetAdditional(24, {});
  Form().ShowAdditionalStatus();
  Form().Close();
  Form().Show();
  EXPECT_EQ(Form().height(), 234);
}

TEST_F(StatusCommTest, AdditionalStatusFillsThePages) {
  SetAdditional(24, {{0, 0x05}, {1, 0x12}, {2, 0x34}, {6, 0x04}, {7, 250}, {8, 0x21}, {10, 0x81}, {13, 0x02}, {14, 0x01}});
  Form().ShowAdditionalStatus();
  const QTableWidget& g = *Form().StrGrAddStatus;
  EXPECT_EQ(g.columnCount(), 48);
  EXPECT_EQ(Cell(g, 0, 0), "HWD_Test");
  EXPECT_EQ(Cell(g, 1, 0), "1");
  EXPECT_EQ(Cell(g, 0, 1), "OSC_Fault");
  EXPECT_EQ(Cell(g, 1, 1), "0");
  EXPECT_EQ(Cell(g, 0, 2), "SP_Underflow");
  EXPECT_EQ(Cell(g, 1, 2), "1");
  for (int c = 7; c < 48; ++c) EXPECT_EQ(Cell(g, 0, c), std::to_string(c));
  EXPECT_EQ(Form().EdCPU_Bug_Address->Text(), "1234");
  EXPECT_EQ(Form().ExtDevStatus->Value(), 0x04);
  EXPECT_TRUE(Form().ExtDevStatus->Led(3).LedStatus());
  EXPECT_EQ(Form().EdOpMode->Text(), "Reserved");
  EXPECT_EQ(Form().StdStatus0->Value(), 0x21);
  EXPECT_EQ(Form().GrLedAS_0->Value(), 0x81);
  EXPECT_EQ(Form().GrLedAF_0->Value(), 0x02);
  const QTableWidget& more = *Form().StrGrAddStatusMore;
  EXPECT_EQ(more.columnCount(), 80);
  EXPECT_EQ(Cell(more, 0, 0), "0");
  EXPECT_EQ(Cell(more, 1, 0), "1");
  EXPECT_EQ(Cell(more, 0, 79), "79");
  EXPECT_EQ(Cell(more, 1, 79), "0");

  SetAdditional(24, {{7, 1}});
  Form().ShowAdditionalStatus();
  EXPECT_EQ(Form().EdOpMode->Text(), "Undefined");
  EXPECT_EQ(Cell(g, 1, 0), "0");
}

TEST_F(StatusCommTest, ClosingUnchecksTheStatusMenuItem) {
  Main().StatusCommMenu->setChecked(true);
  Form().Show();
  Form().Close();
  EXPECT_FALSE(Main().StatusCommMenu->isChecked());
  Main().StatusCommMenu->setChecked(true);
  Form().Show();
  Form().reject();  // Esc
  EXPECT_FALSE(Main().StatusCommMenu->isChecked());
}

TEST(StatusCommFrench, CaptionsAndOperatingModeInFrench) {
  AppWorld w(TLangue::Francais);
  TStatusCommForm& f = *w.Program->Forms.StatusCommForm;
  f.Show();
  EXPECT_EQ(f.Caption(), Cp("État du transmetteur"));
  EXPECT_EQ(f.CK7->ShownCaption(), Cp("Défaut matériel"));
  EXPECT_EQ(f.BtnReadAddStatus->ShownHint(), Cp("Lire les états supplémentaires de l'appareil"));
  w.Xmt().AdditionalStatusCount = 24;
  w.Xmt().AdditionalStatus[7] = 255;
  f.ShowAdditionalStatus();
  EXPECT_EQ(f.EdOpMode->Text(), Cp("Réservé"));
  EXPECT_EQ(f.PageControl1->tabText(1), QString::fromUtf8("Spécifique"));
}

// The read button and a command 48 answer through the link: the window opens with its pages.
TEST(StatusCommLink, ACommandFortyEightAnswerOpensThePages) {
  AppWorld w;
  w.Connect();
  TStatusCommForm& f = *w.Program->Forms.StatusCommForm;
  w.Sim.Faults.DeviceStatus = 0x10;
  w.Sim.State.AdditionalStatus = {0x05, 0x12, 0x34, 0, 0, 0, 0x01, 0, 0, 0, 0, 0, 0, 0, 0x01};
  w.Jobs().StartMeasurePolling();
  ASSERT_TRUE(w.AdvanceUntilRequests(1));
  w.Advance(1000);
  EXPECT_TRUE(f.CK4->isChecked());
  ASSERT_TRUE(f.BtnReadAddStatus->isEnabled());
  EXPECT_EQ(f.height(), 234);

  f.BtnReadAddStatus->click();
  ASSERT_TRUE(w.Sched.AdvanceUntil([&] { return !w.Sim.Requests.empty() && w.Sim.Requests.back().Command == 48; }, 10000));
  ASSERT_TRUE(w.Sched.AdvanceUntil([&] { return f.Visible(); }, 5000));
  EXPECT_TRUE(w.Main().StatusCommMenu->isChecked());
  EXPECT_EQ(f.height(), 714);
  EXPECT_EQ(f.EdCPU_Bug_Address->Text(), "1234");
  EXPECT_EQ(FromQ(f.StrGrAddStatus->item(1, 2)->text()), "1");
  EXPECT_EQ(FromQ(f.StrGrAddStatusMore->item(1, 0)->text()), "1");
  EXPECT_EQ(f.ExtDevStatus->Value(), 1);
  // The next answer of another command shows the boxes alone again.
  w.Jobs().StartMeasurePolling();
  ASSERT_TRUE(w.AdvanceUntilRequests(2));
  w.Advance(1000);
  EXPECT_EQ(f.height(), 234);
}

}  // namespace
