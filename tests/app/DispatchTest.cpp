// The answer dispatch through what the windows show: each answer comes from the simulated
// transmitter over the real link, as the job that asks for it runs.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QSlider>
#include <functional>
#include <limits>

#include "app/Dessin.h"
#include "app/Erreur.h"
#include "app/InSelect.h"
#include "app/Ns.h"
#include "app/StatusComm.h"
#include "app/Tamb.h"
#include "app/Texts.h"
#include "app/TimeDate.h"
#include "app/Xfert.h"
#include "app/core/DisplayFormat.h"
#include "model/Units.h"
#include "support/AppFixture.h"

namespace {

// A maker's device of type 203, which has the alarms, the display and the secondary input.
struct Dispatch : ::testing::Test {
  explicit Dispatch(TLangue langue = TLangue::Anglais, TFormatSettings fs = {}) : World(langue, fs) {
    World.Sim.Identity.DeviceType = 203;
    TNotifyEvent original = World.Main().MainHart->OnDataArrival;
    World.Main().MainHart->OnDataArrival = [this, original](TObject* s) {
      ++Answers;
      original(s);
    };
    World.Connect();
  }
  // Runs one job as a window starts it and lets its sequence end.
  void Run(std::int32_t job) {
    World.Jobs().Start(job);
    World.Main().Evenement.SetInterval(50);
    ASSERT_TRUE(World.Sched.AdvanceUntil([&] { return !World.Jobs().Busy; }, 10000)) << job;
  }
  // Runs one job; `meanwhile` runs once its request reached the device, before the answer
  // comes back, so that only the answer can bring back what the window shows.
  void RunMeanwhile(std::int32_t job, const std::function<void()>& meanwhile) {
    World.Jobs().Start(job);
    World.Main().Evenement.SetInterval(50);
    ASSERT_TRUE(World.AdvanceUntilRequests(1)) << job;
    meanwhile();
    ASSERT_TRUE(World.Sched.AdvanceUntil([&] { return !World.Jobs().Busy; }, 10000)) << job;
  }
  // Runs a measure job of the polling, up to its answer.
  void Measure(std::int32_t job) {
    const int before = Answers;
    World.Jobs().StartList({job});
    World.Main().Evenement.SetInterval(50);
    ASSERT_TRUE(World.Sched.AdvanceUntil([&] { return Answers > before; }, 10000)) << job;
    World.Jobs().SetIdle();
  }
  int Answers = 0;
  TMainForm& M() const { return World.Main(); }
  TXmt& X() const { return World.Xmt(); }
  SimState& S() { return World.Sim.State; }

  AppWorld World;
};

std::string Unit(int code) { return UnitCodeToText(static_cast<Byte>(code), TLangue::Anglais); }

}  // namespace

TEST_F(Dispatch, MeasuresFollowThePVFormat) {
  S().PV = 21.46f;
  M().PVFormat = 2;
  Measure(1);
  EXPECT_EQ(M().LbPV->Caption(), "21  " + Unit(32));
  M().PVFormat = 1;
  Measure(1);
  EXPECT_EQ(M().LbPV->Caption(), "21.5  " + Unit(32));
  M().PVFormat = 0;
  Measure(1);
  EXPECT_EQ(M().LbPV->Caption(), X().PVText);
  M().DetailPanel->show();
  Measure(1);  // the dynamic variables show two decimals in format 0
  EXPECT_EQ(M().LbPV->Caption(), "21.46  " + Unit(32));
  EXPECT_EQ(M().LbPV1->Caption(), X().PVText);
  EXPECT_EQ(M().LbPV2->Caption(), X().SVText);
}

TEST_F(Dispatch, CurrentAndGauge) {
  struct Case {
    float percent;
    int gauge;
    const char* text;
  };
  for (const Case& c : {Case{104.7f, 100, "104.70 %"}, Case{-2.4f, 0, "-2.40 %"}, Case{57.5f, 57, "57.50 %"}}) {
    S().PercentOfRange = c.percent;
    S().LoopCurrent = 12.3456f;
    Measure(2);
    EXPECT_EQ(M().Gauge->value(), c.gauge);
    EXPECT_EQ(M().LbPourcent->Caption(), c.text);
    EXPECT_EQ(M().LbCurrent->Caption(), "12.346 mA");
  }
}

TEST_F(Dispatch, SecondaryInputNominalValueFromTheMeasure) {
  X().AI1UpperLimit = 51;
  X().AI1LowerLimit = 49;
  S().SV = 50;
  Run(224);
  EXPECT_EQ(M().EdAI1N->Text(), "50.00");
  EXPECT_EQ(M().EdAI1UL->Text(), "2.0");
  EXPECT_EQ(M().EdAI1LL->Text(), "-2.0");
  EXPECT_TRUE(M().ImgWrnAI1N->isHidden());
  EXPECT_FALSE(M().AI1NominalPending);

  S().SV = 0;
  Run(224);
  EXPECT_EQ(M().EdAI1N->Text(), "0.00");
  EXPECT_EQ(M().EdAI1UL->Text(), "0.0");

  const int beeps = World.Ui.Beeps;
  S().SV = 151;
  Run(224);
  EXPECT_EQ(World.Ui.Beeps, beeps + 1);
  EXPECT_FALSE(M().ImgWrnAI1N->isHidden());
  EXPECT_EQ(FromQ(M().ImgWrnAI1N->toolTip()), "Bad potentionmeter value");
  EXPECT_EQ(M().EdAI1N->Text(), "0.00");  // kept
  EXPECT_FALSE(M().AI1NominalPending);
}

TEST_F(Dispatch, SecondaryInputLimitsAsPercentagesOfTheirMiddle) {
  S().AI1UpperLimit = 51;
  S().AI1LowerLimit = 49;
  Run(223);
  EXPECT_EQ(M().LbAI1N->Caption(), "100.0");
  EXPECT_EQ(M().LbAI1UL->Caption(), "51.0");
  EXPECT_EQ(M().LbAI1LL->Caption(), "49.0");
  EXPECT_EQ(M().EdAI1N->Text(), "50.00");
  EXPECT_EQ(M().EdAI1UL->Text(), "2.0");
  EXPECT_EQ(M().EdAI1LL->Text(), "-2.0");
  S().AI1UpperLimit = 1;
  S().AI1LowerLimit = -1;
  Run(223);
  EXPECT_EQ(M().EdAI1N->Text(), "0.00");
  EXPECT_EQ(M().EdAI1UL->Text(), "0.0");
  EXPECT_EQ(M().EdAI1LL->Text(), "0.0");
}

TEST_F(Dispatch, AMeasureReachesTheOpenLinearisationWindow) {
  TDessinForm& dessin = *World.Program->Forms.DessinForm;
  TDraw& draw = *dessin.Draw1;
  draw.Points[0] = {0, 0};
  draw.Points[1] = {100, 100};
  draw.LastIndex = 1;
  dessin.Show();
  World.Sim.Faults.DeviceStatus = 0x01;  // the PV out of its limits
  Measure(1);
  ASSERT_FALSE(M().LbDEP->isHidden());
  const std::string pv = M().LbPV->Caption();

  // The window's mark follows the main one as the previous answer left it.
  World.Sim.Faults.DeviceStatus = 0;
  S().PercentOfRange = 42.5f;
  Measure(2);
  EXPECT_TRUE(M().LbDEP->isHidden());
  EXPECT_FALSE(dessin.LbDEP->isHidden());
  EXPECT_EQ(dessin.LbPV->Caption(), pv);
  EXPECT_FLOAT_EQ(draw.CrossX, 42.5f);
  S().PercentOfRange = 57.0f;
  Measure(2);
  EXPECT_TRUE(dessin.LbDEP->isHidden());
  EXPECT_FLOAT_EQ(draw.CrossX, 57.0f);

  // A closed window is left alone.
  dessin.Close();
  S().PercentOfRange = 80.0f;
  Measure(2);
  EXPECT_FLOAT_EQ(draw.CrossX, 57.0f);
}

TEST_F(Dispatch, AnswersToTheWritesShowWhatTheDeviceKept) {
  struct Case {
    const char* name;
    std::int32_t job;
    std::function<void()> type;     // what the user typed, sent by the job
    std::function<void()> spoil;    // changed while the request is on its way
    std::function<void()> check;    // what the answer shows
  };
  const std::vector<Case> cases = {
      {"17 message", 307, [&] { M().EdMessage->SetText("new bench"); }, [&] { M().EdMessage->SetText("spoiled"); },
       [&] {
         EXPECT_EQ(M().EdMessage->Text(), X().Message);
         EXPECT_EQ(X().Message.substr(0, 9), "NEW BENCH");
       }},
      {"18 tag, descriptor, date", 303,
       [&] {
         M().EdTAG->SetText("tt-9");
         M().EdDescripteur->SetText("north loop");
         M().DateTimePicker->setDate(QDate(2031, 7, 8));
       },
       [&] {
         M().EdTAG->SetText("x");
         M().EdDescripteur->SetText("y");
         TTreeView::SetText(*M().TreeView->Node(1), "z");
         M().DateTimePicker->setDate(QDate(2001, 1, 1));
       },
       [&] {
         EXPECT_EQ(X().Tag.substr(0, 4), "TT-9");
         EXPECT_EQ(M().EdTAG->Text(), X().Tag);
         EXPECT_EQ(M().EdDescripteur->Text(), X().Descriptor);
         EXPECT_EQ(X().Descriptor.substr(0, 10), "NORTH LOOP");
         EXPECT_EQ(TTreeView::Text(*M().TreeView->Node(1)), X().Tag);
         EXPECT_EQ(M().DateTimePicker->date(), QDate(2031, 7, 8));
       }},
      {"19 assembly number", 305, [&] { M().EdAssNb->SetText("0001234"); }, [&] { M().EdAssNb->SetText("999"); },
       [&] { EXPECT_EQ(M().EdAssNb->Text(), "1234"); }},
      {"44 units", 301, [&] { M().Range_Unit->SetCodeUnite(57); }, [&] { M().Range_Unit->SetCodeUnite(49); },
       [&] { EXPECT_EQ(M().Range_Unit->CodeUnite(), 57); }},
      {"47 linearisation on", 311, [] {}, [&] { M().BtnLin1->show(); M().BtnLin2->hide(); },
       [&] {
         EXPECT_TRUE(M().BtnLin1->isHidden());
         EXPECT_FALSE(M().BtnLin2->isHidden());
       }},
      {"47 linearisation off", 312, [] {}, [&] { M().BtnLin1->hide(); M().BtnLin2->show(); },
       [&] {
         EXPECT_FALSE(M().BtnLin1->isHidden());
         EXPECT_TRUE(M().BtnLin2->isHidden());
       }},
      {"143 secondary input limits", 323,
       [&] {
         M().EdAI1N->SetText("100.00");
         M().EdAI1UL->SetText("5.0");
         M().EdAI1LL->SetText("-3.0");
       },
       [&] { M().LbAI1UL->SetCaption("?"); },
       [&] {
         // The limits written, and their middle as the nominal value.
         EXPECT_EQ(M().LbAI1N->Caption(), "100.0");
         EXPECT_EQ(M().LbAI1UL->Caption(), "105.0");
         EXPECT_EQ(M().LbAI1LL->Caption(), "97.0");
         EXPECT_EQ(M().EdAI1N->Text(), "101.00");
         EXPECT_EQ(M().EdAI1UL->Text(), "4.0");
         EXPECT_EQ(M().EdAI1LL->Text(), "-4.0");
       }},
      {"197 peak values", 315, [] {},
       [&] {
         World.Program->Forms.TambForm->LbTMin->SetCaption("?");
         World.Program->Forms.TambForm->LbTmax->SetCaption("?");
       },
       [&] {
         // The reset values: a minimum above and a maximum below any temperature.
         EXPECT_EQ(World.Program->Forms.TambForm->LbTMin->Caption(), "120");
         EXPECT_EQ(World.Program->Forms.TambForm->LbTmax->Caption(), "-120");
       }},
      {"213 extended status", 322,
       [&] {
         M().RdMod5->setChecked(true);
         M().LCD->SetPointDecimal(3);
         M().CkDispUnit->setChecked(true);
       },
       [&] {
         M().RdMod0->setChecked(true);
         M().CkDispUnit->setChecked(false);
         M().TrackBarPDaf->setValue(4);
         M().SetRangeMasks(nullptr, 0);
       },
       [&] {
         EXPECT_EQ(M().EdURV->EditMask(), "!##0.000;1;_");
         EXPECT_EQ(M().EdLPV->EditMask(), "!##0.000;1;_");
         EXPECT_EQ(M().RangeFormat, "#0.000");
         EXPECT_EQ(M().TrackBarPDaf->value(), 1);
         EXPECT_TRUE(M().CkDispUnit->isChecked());
         EXPECT_TRUE(M().RdMod5->isChecked());
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.type();
    RunMeanwhile(c.job, c.spoil);
    c.check();
  }
}

TEST_F(Dispatch, ReadingTheClockShowsItInTheClockWindow) {
  S().ClockDate = {2, 1, 124};
  S().ClockTime = (3u * 3600 + 4 * 60 + 5) * 32000;
  S().ClockSetDate = {31, 12, 123};
  S().ClockSetTime = (23u * 3600 + 59 * 60 + 58) * 32000;
  S().ClockFlags = 3;
  Run(251);
  TTimeDateFrom& clock = *World.Program->Forms.TimeDateFrom;
  EXPECT_EQ(clock.Label7->Caption(), "02/01/2024  03:04:05");
  EXPECT_EQ(clock.Label9->Caption(), "31/12/2023  23:59:58");
  EXPECT_EQ(clock.Label10->Caption(), "3");
}

TEST_F(Dispatch, ALockStateOfNeitherUnchecksBothLockButtons) {
  {
    const QSignalBlocker quiet(M().RdLock);  // checked as the page shows it, no click
    M().RdLock->setChecked(true);
  }
  M().LbMaxSeg->SetCaption("47");
  S().LockState = 255;
  const int before = Answers;
  M().MainHart->WriteAccessLock(X(), 1234);  // a code the device takes neither way
  ASSERT_TRUE(World.Sched.AdvanceUntil([&] { return Answers > before; }, 5000));
  EXPECT_EQ(X().LockState, 255);
  EXPECT_FALSE(M().RdLock->isChecked());
  EXPECT_FALSE(M().RdUnLock->isChecked());
  EXPECT_EQ(M().LbMaxSeg->Caption(), "47");
  EXPECT_EQ(World.Jobs().At(World.Jobs().JobIndex), 0);  // no linearisation switched off
}

TEST_F(Dispatch, APollingAddressAnswerForTheSameAddressLeavesItsNodePlain) {
  QTreeWidgetItem* node = M().TreeView->Node(1);
  ASSERT_EQ(TTreeView::Text(*node), X().Tag);
  ASSERT_EQ(M().CurrentAddress, 0);
  M().NewPollingAddress = 0;
  Run(300);
  EXPECT_EQ(TTreeView::Text(*node), "0");
  EXPECT_EQ(TTreeView::ImageIndex(*node), -1);
  EXPECT_EQ(TTreeView::StateIndex(*node), -1);
  EXPECT_EQ(TTreeView::SelectedIndex(*node), 1);
  EXPECT_FALSE(node->isSelected());
  EXPECT_NE(M().TreeView->Selected(), node);
  EXPECT_EQ(M().CurrentAddress, 0);
}

TEST_F(Dispatch, PollingAddressMovesTheDevicesNode) {
  QTreeWidgetItem* from = M().TreeView->Node(1);
  const std::string tag = TTreeView::Text(*from);
  ASSERT_EQ(tag, X().Tag);
  M().NewPollingAddress = 3;
  Run(300);
  QTreeWidgetItem* to = M().TreeView->Node(4);
  EXPECT_EQ(TTreeView::Text(*to), tag);
  EXPECT_EQ(TTreeView::StateIndex(*to), 2);
  EXPECT_EQ(M().TreeView->Selected(), to);
  EXPECT_EQ(TTreeView::Text(*from), "0");
  EXPECT_EQ(TTreeView::ImageIndex(*from), -1);
  EXPECT_EQ(TTreeView::StateIndex(*from), -1);
  EXPECT_EQ(TTreeView::SelectedIndex(*from), 1);
  EXPECT_EQ(M().CurrentAddress, 3);

  // An address the tree has no node for: a beep, nothing moves.
  const int beeps = World.Ui.Beeps;
  M().NewPollingAddress = 20;
  Run(300);
  EXPECT_EQ(World.Ui.Beeps, beeps + 1);
  EXPECT_EQ(M().CurrentAddress, 3);
  EXPECT_EQ(TTreeView::Text(*to), tag);
}

TEST_F(Dispatch, IdentityTextsAndDates) {
  S().Message = "HELLO WORLD";
  Run(200);
  EXPECT_EQ(M().EdMessage->Text(), X().Message);
  EXPECT_EQ(X().Message.substr(0, 11), "HELLO WORLD");

  S().Tag = "TT-202";
  S().Descriptor = "BOILER";
  S().Day = 2;
  S().Month = 11;
  S().YearSince1900 = 125;
  Run(201);
  EXPECT_EQ(M().EdTAG->Text(), X().Tag);
  EXPECT_EQ(M().EdDescripteur->Text(), X().Descriptor);
  EXPECT_EQ(M().DateTimePicker->date(), QDate(2025, 11, 2));
  EXPECT_EQ(TTreeView::Text(*M().TreeView->Node(1)), X().Tag);

  Run(204);
  EXPECT_EQ(M().EdAssNb->Text(), "70000");
}

TEST_F(Dispatch, SensorAndOutputInformationInTheRangeFormat) {
  Run(202);
  EXPECT_EQ(M().EdSNb->Text(), "120034");
  EXPECT_EQ(M().LbLSL->Caption(), "-200.00");
  EXPECT_EQ(M().LbUSL->Caption(), "850.00");
  EXPECT_EQ(M().LbMinSpan->Caption(), "10.00");
  EXPECT_EQ(M().Sensor_Unit->UniteNb(), UnitCodeToIndex(32));

  S().TransferFunction = 253;
  S().Damping = 2.25f;
  Run(203);
  EXPECT_EQ(M().EdURV->Text(), "100.00");
  EXPECT_EQ(M().EdLRV->Text(), "0.00");
  EXPECT_EQ(M().EdDAMP->Text(), "2.3");
  EXPECT_TRUE(M().BtnLin1->isHidden());
  EXPECT_FALSE(M().BtnLin2->isHidden());
  EXPECT_EQ(M().Range_Unit->UniteNb(), UnitCodeToIndex(32));

  S().ExtendedStatus = 0x0B02;  // 3 decimals, unit shown, last digit step 2
  Run(222);
  EXPECT_EQ(M().EdURV->EditMask(), "!##0.000;1;_");
  EXPECT_EQ(M().RangeFormat, "#0.000");
  EXPECT_EQ(M().TrackBarPDaf->value(), 1);
  EXPECT_TRUE(M().CkDispUnit->isChecked());
  EXPECT_TRUE(M().RdMod5->isChecked());
  Run(219);
  EXPECT_EQ(M().EdUPV->Text(), "100.000");
  EXPECT_EQ(M().EdLPV->Text(), "0.000");
}

TEST_F(Dispatch, AlarmsShowTheirDecimals) {
  S().Alarms[0] = {1, 0xE1, 0x00, 0xFF, 0x00, 0x0A, 0x05, 0x00};  // sp 255, hyst 10, 1 decimal, sp locked
  Run(220);
  EXPECT_EQ(M().EdAlr1->Text(), "25.5");
  EXPECT_EQ(M().EdHys1->Text(), "1.0");
  EXPECT_EQ(M().EdDel1->Text(), "5");
  EXPECT_EQ(M().EdAlr1->EditMask(), "!###0.0;1;_");
  EXPECT_FALSE(M().EdAlr1->isEnabled());
  EXPECT_TRUE(M().EdHys1->isEnabled());
  EXPECT_TRUE(M().RdRelNo1->isChecked());

  // Alarm 2 with one decimal: 12.5 goes back as 125, the normally closed contact as 255.
  S().Alarms[1] = {2, 0xF1, 0x00, 0x10, 0x00, 0x01, 0x02, 0x01};
  Run(221);
  EXPECT_TRUE(M().RdRelNf2->isChecked());
  M().EdAlr2->SetText("12.5");
  Run(321);
  EXPECT_EQ(S().Alarms[1][2], 0x00);
  EXPECT_EQ(S().Alarms[1][3], 125);
  EXPECT_EQ(S().Alarms[1][7], 255);
  EXPECT_EQ(M().EdAlr2->Text(), "12.5");  // the read-back of the write
}

TEST_F(Dispatch, DeviceSpecificReadOuts) {
  Run(225);
  EXPECT_EQ(M().LbParamCheck->Caption(), "1234");
  Run(207);
  EXPECT_EQ(M().LbRomCheck->Caption(), "BEEF");
  Run(214);
  EXPECT_EQ(M().LbStackStatus->Caption(), "0040");
  Run(414);
  EXPECT_EQ(M().lbADC_V1->Caption(), "1.250 000 000");
  EXPECT_EQ(M().lbADC_V2->Caption(), "0.500 000 000");
  Run(411);
  EXPECT_EQ(M().LbMaxSeg->Caption(), "47");

  X().LockState = 1;  // as a lock answer left it
  Run(411);
  EXPECT_EQ(M().LbMaxSeg->Caption(), "--");
}

TEST_F(Dispatch, LockingTheDeviceSwitchesItsLinearisationOff) {
  S().TransferFunction = 253;
  Run(413);  // the lock code; the answer queues job 312, which the run waits for
  EXPECT_EQ(World.Commands().back(), 47);
  EXPECT_EQ(S().TransferFunction, 0);
  EXPECT_EQ(M().LbMaxSeg->Caption(), "--");
}

TEST_F(Dispatch, StatusRegisterOnTheParametersPage) {
  S().StatusRegister = 0x1E8F;  // write protected, fault 2 high
  Run(205);
  EXPECT_FALSE(M().BtnLock->isHidden());
  EXPECT_TRUE(M().BtnUnlock->isHidden());
  EXPECT_TRUE(M().RdDefHigh->isChecked());
  S().StatusRegister = 0x1E82;  // fault 2 low, not protected
  Run(205);
  EXPECT_TRUE(M().BtnLock->isHidden());
  EXPECT_FALSE(M().BtnUnlock->isHidden());
  EXPECT_TRUE(M().RdDefLow->isChecked());
  EXPECT_FALSE(M().RdDefHigh->isChecked());
}

TEST_F(Dispatch, SensorDescriptionByKind) {
  World.Sim.Identity.DeviceType = 22;  // a type that has the sensor description
  World.Connect();
  S().SensorInfo = 0xD1;  // thermocouple, cold junction off, type K
  Run(213);
  EXPECT_EQ(M().CbTC2->currentIndex(), 1);
  EXPECT_EQ(M().CbTC1->currentIndex(), 1);
  S().SensorInfo = 0x72;  // resistance, 4 wires, Pt500
  Run(213);
  EXPECT_EQ(M().CbR2->currentIndex(), 3);
  EXPECT_EQ(M().CbR1->currentIndex(), 2);
  S().SensorInfo = 0x13;  // voltage, AI2, type 3: its low bit
  Run(213);
  EXPECT_EQ(M().CbV2->currentIndex(), 1);
  EXPECT_EQ(M().CbV1->currentIndex(), 1);

  // The answer to the write (136) shows the same; a kind 2 changes no box, and a
  // thermocouple connection above 1 leaves its box as it was.
  struct Case {
    std::uint8_t info;
    std::vector<int> boxes;  // CbV1, CbV2, CbR1, CbR2, CbTC1, CbTC2 afterwards
  };
  for (const Case& c : {Case{0x00, {0, 0, 2, 3, 1, 1}},    // voltage
                        Case{0xC0, {0, 0, 2, 3, 0, 0}},    // thermocouple, cold junction on
                        Case{0xD2, {0, 0, 2, 3, 2, 1}},    // thermocouple, off
                        Case{0xA5, {0, 0, 2, 3, 2, 1}},    // kind 2
                        Case{0xE3, {0, 0, 2, 3, 3, 1}},    // thermocouple, connection 2
                        Case{0x53, {0, 0, 3, 1, 3, 1}},    // resistance
                        Case{0x21, {1, 2, 3, 1, 3, 1}}}) {  // voltage, AI1+AI2
    X().SensorInfo = c.info;
    Run(317);
    ASSERT_EQ(World.Commands().back(), 136) << int{c.info};
    EXPECT_EQ(S().SensorInfo, c.info);
    const std::vector<int> boxes = {M().CbV1->currentIndex(), M().CbV2->currentIndex(), M().CbR1->currentIndex(),
                                    M().CbR2->currentIndex(), M().CbTC1->currentIndex(), M().CbTC2->currentIndex()};
    EXPECT_EQ(boxes, c.boxes) << int{c.info};
  }
}

TEST_F(Dispatch, SelfTestReadsItsResultOnMakersDevices) {
  const std::size_t from = World.Sim.Requests.size();
  Run(401);
  ASSERT_TRUE(World.Sched.AdvanceUntil([&] { return World.Sim.Requests.size() >= from + 2; }, 5000));
  EXPECT_EQ(World.Sim.Requests[from + 1].Command, 196);
}

TEST_F(Dispatch, StatusByteOfEveryAnswer) {
  World.Sim.Faults.DeviceStatus = 0x12;
  Run(200);
  TStatusCommForm& status = *World.Program->Forms.StatusCommForm;
  EXPECT_TRUE(status.CK1->isChecked());
  EXPECT_TRUE(status.CK4->isChecked());
  EXPECT_FALSE(status.CK0->isChecked());
  EXPECT_FALSE(status.CK7->isChecked());
  EXPECT_TRUE(status.BtnReadAddStatus->isEnabled());
  EXPECT_FALSE(M().LbDEP->isHidden());
  EXPECT_EQ(status.height(), 234);

  World.Sim.Faults.DeviceStatus = 0x80;
  Run(200);
  EXPECT_TRUE(status.CK7->isChecked());
  EXPECT_FALSE(status.CK1->isChecked());
  EXPECT_TRUE(status.BtnReadAddStatus->isEnabled());  // stays enabled
  EXPECT_TRUE(M().LbDEP->isHidden());

  Run(417);
  EXPECT_TRUE(status.Visible());
  EXPECT_TRUE(M().StatusCommMenu->isChecked());
}

TEST_F(Dispatch, AnErrorAnswerSelectsNoCase) {
  const std::string before = M().EdMessage->Text();
  S().Message = "CHANGED";
  World.Sim.Faults.ResponseCode = 5;
  World.Sim.Faults.DeviceStatus = 0x01;
  World.Jobs().Start(200);
  M().Evenement.SetInterval(50);
  ASSERT_TRUE(World.AdvanceUntilRequests(1));
  World.Advance(400);
  EXPECT_EQ(M().EdMessage->Text(), before);
  EXPECT_FALSE(M().LbDEP->isHidden());  // the status byte is shown all the same
  EXPECT_EQ(M().Evenement.Interval(), 50);
}

TEST_F(Dispatch, RegistrationAnswerClosesItsWindowAndSearchesAgain) {
  // From the parameters page, which a busy list may not leave: the answer frees the list
  // before it goes back to the search page, so that its page change is not refused.
  M().TabbedNotebook->SetPageIndex(2);
  ASSERT_EQ(M().TabbedNotebook->PageIndex(), 2);
  World.Program->Forms.NSForm->Show();
  World.Program->Forms.NSForm->EdIdent->SetText("1234567");
  const int beeps = World.Ui.Beeps;
  World.Jobs().Start(409);
  M().Evenement.SetInterval(50);
  ASSERT_TRUE(World.Sched.AdvanceUntil([&] { return !World.Program->Forms.NSForm->Visible(); }, 5000));
  EXPECT_EQ(M().TabbedNotebook->PageIndex(), 0);
  EXPECT_EQ(World.Ui.Beeps, beeps + 1);  // the new search's disconnection only; a refused change beeps too
  EXPECT_EQ(World.Jobs().At(0), 100);
  EXPECT_EQ(World.Jobs().JobIndex, 0);
  EXPECT_TRUE(World.Jobs().Busy);
  EXPECT_EQ(World.Sim.Identity.DeviceId, 1234567u);
  const std::size_t from = World.Sim.Requests.size();
  ASSERT_TRUE(World.AdvanceUntilRequests(1));
  EXPECT_EQ(World.Sim.Requests[from].Command, 0);  // the search of the loop
}

TEST_F(Dispatch, ARefusedRegistrationLeavesItsWindowOpen) {
  M().TabbedNotebook->SetPageIndex(2);
  World.Program->Forms.NSForm->Show();
  World.Program->Forms.NSForm->EdIdent->SetText("1234567");
  World.Sim.Faults.ResponseCode = 16;  // access restricted
  const std::size_t from = World.Sim.Requests.size();
  World.Jobs().Start(409);
  M().Evenement.SetInterval(50);
  ASSERT_TRUE(World.AdvanceUntilRequests(1));
  World.Advance(1000);
  EXPECT_TRUE(World.Program->Forms.NSForm->Visible());
  EXPECT_EQ(M().TabbedNotebook->PageIndex(), 2);
  EXPECT_EQ(World.Jobs().At(0), 409);
  for (std::size_t i = from; i < World.Sim.Requests.size(); ++i) EXPECT_EQ(World.Sim.Requests[i].Command, 128) << "no search";
  EXPECT_NE(World.Sim.Identity.DeviceId, 1234567u);
}

TEST_F(Dispatch, InputSelectionAnswerClosesItsWindow) {
  World.Program->Forms.InputSelectForm->Show();
  X().SelectedInput = 2;
  Run(418);
  EXPECT_FALSE(World.Program->Forms.InputSelectForm->Visible());
  EXPECT_EQ(S().SelectedInput, 2);
}

// ---------------------------------------------------------------------------------------
// Linearisation transfers

namespace {
void SetCurve(TDraw& d, int last) {
  for (int i = 0; i <= last; ++i) d.Points[static_cast<std::size_t>(i)] = {static_cast<float>(i * 10), static_cast<float>(i * i)};
  d.LastIndex = last;
}
}  // namespace

TEST_F(Dispatch, UploadSendsEveryPointThenTheCount) {
  TDraw& draw = *World.Program->Forms.DessinForm->Draw1;
  SetCurve(draw, 3);
  X().SensorSerialNumber = 777;
  World.Jobs().StartList({312, 309, 313, 311, 500});
  M().Evenement.SetInterval(50);
  ASSERT_TRUE(World.Sched.AdvanceUntil([&] { return !World.Jobs().Busy; }, 30000));
  for (int i = 0; i <= 3; ++i) {
    EXPECT_FLOAT_EQ(S().Points[static_cast<std::size_t>(i)].X, i * 10.0f) << i;
    EXPECT_FLOAT_EQ(S().Points[static_cast<std::size_t>(i)].Y, static_cast<float>(i * i)) << i;
  }
  EXPECT_EQ(S().SegmentCount, 3);
  EXPECT_EQ(S().TransferFunction, 253);
  EXPECT_EQ(World.Commands(), (std::vector<int>{0, 13, 47, 201, 201, 201, 201, 203, 47}));  // after the search
  EXPECT_FALSE(World.Program->Forms.XfertForm->Visible());
  EXPECT_EQ(X().SensorSerialNumber, 777);  // the count has a counter of its own
}

TEST_F(Dispatch, UploadNeverSendsAPointBeyondTheDevicesTable) {
  TDraw& draw = *World.Program->Forms.DessinForm->Draw1;
  SetCurve(draw, 60);
  World.Jobs().StartList({312, 309, 500});
  M().Evenement.SetInterval(50);
  ASSERT_TRUE(World.Sched.AdvanceUntil([&] { return !World.Jobs().Busy; }, 60000));
  int writes = 0;
  for (const SimRequest& r : World.Sim.Requests) {
    if (r.Command != 201) continue;
    ++writes;
    EXPECT_LE(r.Data[0], 47);
  }
  EXPECT_EQ(writes, 48);
}

TEST_F(Dispatch, DownloadReadsTheDevicesPoints) {
  for (int i = 0; i <= 3; ++i) S().Points[static_cast<std::size_t>(i)] = {i * 5.0f, i * 7.0f};
  S().SegmentCount = 3;
  TDraw& draw = *World.Program->Forms.DessinForm->Draw1;
  World.Jobs().StartList({208, 209, 500});
  M().Evenement.SetInterval(50);
  ASSERT_TRUE(World.Sched.AdvanceUntil([&] { return !World.Jobs().Busy; }, 30000));
  EXPECT_EQ(draw.LastIndex, 3);
  for (int i = 0; i <= 3; ++i) {
    EXPECT_FLOAT_EQ(draw.Points[static_cast<std::size_t>(i)].X, i * 5.0f);
    EXPECT_FLOAT_EQ(draw.Points[static_cast<std::size_t>(i)].Y, i * 7.0f);
  }
  EXPECT_FALSE(World.Program->Forms.XfertForm->Visible());
  EXPECT_EQ(World.Program->Forms.XfertForm->Progress->value(), 3);  // the last point, at the bar's end
}

TEST_F(Dispatch, ADownloadThatFailsHalfWayLeavesTheCurveAsItWas) {
  TDraw& draw = *World.Program->Forms.DessinForm->Draw1;
  SetCurve(draw, 2);
  S().SegmentCount = 5;
  World.Jobs().StartList({208, 209, 500});
  M().Evenement.SetInterval(50);
  ASSERT_TRUE(World.Sched.AdvanceUntil([&] { return M().SegmentCounter == 2; }, 30000));
  World.Sim.Faults.Silent = true;  // the device goes away
  World.Advance(10000);
  EXPECT_EQ(draw.LastIndex, 2);
  EXPECT_FLOAT_EQ(draw.Points[1].X, 10.0f);
  EXPECT_FLOAT_EQ(draw.Points[2].Y, 4.0f);
}

TEST_F(Dispatch, DownloadOfABadCountReadsNoStrayPoints) {
  struct Case {
    int count;
    bool error;
  };
  for (const Case& c : {Case{0, false}, Case{48, true}, Case{200, true}}) {
    TDraw& draw = *World.Program->Forms.DessinForm->Draw1;
    SetCurve(draw, 2);
    S().SegmentCount = static_cast<std::uint8_t>(c.count);
    World.Program->Forms.ErreurForm->Close();
    const std::size_t from = World.Sim.Requests.size();
    World.Jobs().StartList({208, 209, 500});
    M().Evenement.SetInterval(50);
    ASSERT_TRUE(World.Sched.AdvanceUntil([&] { return !World.Jobs().Busy; }, 30000));
    int reads = 0;
    for (std::size_t i = from; i < World.Sim.Requests.size(); ++i) reads += World.Sim.Requests[i].Command == 202;
    EXPECT_EQ(reads, 1) << c.count;
    EXPECT_EQ(draw.LastIndex, 2) << c.count;
    EXPECT_FLOAT_EQ(draw.Points[1].X, 10.0f) << c.count;
    EXPECT_EQ(World.Program->Forms.ErreurForm->Visible(), c.error) << c.count;
    if (c.error) {
      EXPECT_EQ(World.Program->Forms.ErreurForm->LbErreur->Caption(), "Bad segment number");
      EXPECT_EQ(X().SegmentCount, 0);
    }
  }
}

TEST_F(Dispatch, ImpossibleValuesAndAnswersForAnotherCommandShowNothingWrong) {
  // The model takes a value that is not a number as 0; a huge one fills the gauge.
  S().PercentOfRange = std::numeric_limits<float>::quiet_NaN();
  S().LoopCurrent = std::numeric_limits<float>::infinity();
  Measure(2);
  EXPECT_EQ(M().Gauge->value(), 0);
  EXPECT_EQ(M().LbPourcent->Caption(), "0.00 %");
  EXPECT_EQ(M().LbCurrent->Caption(), "0.000 mA");
  S().PercentOfRange = 1e30f;
  Measure(2);
  EXPECT_EQ(M().Gauge->value(), 100);

  // An answer that carries another command is not taken: the message stays.
  const std::string before = M().EdMessage->Text();
  S().Message = "OTHER";
  World.Sim.Faults.AnswerAsCommand = 13;
  World.Jobs().Start(200);
  M().Evenement.SetInterval(50);
  ASSERT_TRUE(World.AdvanceUntilRequests(1));
  World.Advance(1000);
  EXPECT_EQ(M().EdMessage->Text(), before);
  EXPECT_TRUE(World.Jobs().Busy);  // the request is repeated until a good answer comes
}
