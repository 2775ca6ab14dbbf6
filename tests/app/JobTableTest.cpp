// The job table: what each job sends, taken from the controls and the model at the moment
// it runs, and what it sends when a field does not hold a number (nothing).

#include <gtest/gtest.h>

#include <QDateEdit>

#include "app/Dessin.h"
#include "app/Ns.h"
#include "app/Tamb.h"
#include "app/Texts.h"
#include "controls/SEGMENTS.h"
#include "support/AppFixture.h"
#include "support/SimWire.h"

namespace {

struct JobTable : ::testing::Test {
  JobTable() {
    World.Sim.Identity.DeviceType = 203;
    World.Connect();
  }
  // Runs one job and its sequence; the request the transmitter received, if any.
  const SimRequest* Send(std::int32_t job) {
    const std::size_t from = World.Sim.Requests.size();
    World.Jobs().Start(job);
    World.Main().Evenement.SetInterval(50);
    EXPECT_TRUE(World.Sched.AdvanceUntil([&] { return !World.Jobs().Busy; }, 10000)) << job;
    return World.Sim.Requests.size() > from ? &World.Sim.Requests[from] : nullptr;
  }
  TMainForm& M() const { return World.Main(); }
  AppWorld World;
};

}  // namespace

TEST_F(JobTable, DisplayWordFromTheDisplayPage) {
  M().RdMod5->setChecked(true);
  M().LCD->SetPointDecimal(2);
  M().CkDispUnit->setChecked(true);
  const SimRequest* r = Send(322);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->Command, 213);
  EXPECT_EQ(SimGetU16(r->Data, 0), 0x0A02u);
}

TEST_F(JobTable, SecondaryInputLimitsFromTheNominalValueAndItsPercentages) {
  M().EdAI1N->SetText("150.00");
  M().EdAI1UL->SetText("   2.0");
  M().EdAI1LL->SetText("  -2.0");
  const SimRequest* r = Send(323);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->Command, 143);
  EXPECT_EQ(r->Data[0], 1);
  EXPECT_FLOAT_EQ(SimGetF32(r->Data, 1), 153.0f);
  EXPECT_FLOAT_EQ(SimGetF32(r->Data, 5), 147.0f);
}

TEST_F(JobTable, ArgumentsFromTheModelAndTheControls) {
  World.Xmt().StatusRegister = 0x1E8F;
  EXPECT_EQ(SimGetU16(Send(308)->Data, 0), 0x1E8Fu);

  const SimRequest* peak = Send(315);  // always the reset values
  EXPECT_EQ(peak->Data[0], 120);
  EXPECT_EQ(peak->Data[1], static_cast<std::uint8_t>(-120));

  EXPECT_EQ(SimGetU16(Send(412)->Data, 0), 4410u);
  EXPECT_EQ(SimGetU16(Send(413)->Data, 0), 7163u);
  EXPECT_EQ(M().JobStatusText(412), M().JobStatusText(413));

  World.Xmt().FixedCurrent = 12.5f;
  EXPECT_FLOAT_EQ(SimGetF32(Send(402)->Data, 0), 12.5f);
  World.Xmt().EepromAddress = 0x1234A;  // low 16 bits
  World.Xmt().EepromValue = 0xBEEF;
  EXPECT_EQ(Send(318)->Data[0], 0x4A);  // the word address goes as one byte

  M().EdTAG->SetText("NEWTAG");
  M().EdDescripteur->SetText("NEW DESC");
  M().DateTimePicker->setDate(QDate(2026, 12, 10));
  Send(303);
  EXPECT_EQ(World.Sim.State.Tag.substr(0, 6), "NEWTAG");
  EXPECT_EQ(World.Sim.State.Day, 10);
  EXPECT_EQ(World.Sim.State.Month, 12);
  EXPECT_EQ(World.Sim.State.YearSince1900, 126);

  M().EdURV->SetText(" 250.00");
  M().EdLRV->SetText(" -50.00");
  Send(302);
  EXPECT_FLOAT_EQ(World.Sim.State.UpperRangeValue, 250.0f);
  EXPECT_FLOAT_EQ(World.Sim.State.LowerRangeValue, -50.0f);
}

TEST_F(JobTable, SegmentJobsTakeTheirPointFromTheCurve) {
  M().SegmentCounter = 12;
  EXPECT_EQ(M().JobStatusText(209), "Read segments ...N\xB0 12");
  const SimRequest* r = Send(209);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->Command, 202);
  EXPECT_EQ(r->Data[0], 12);

  M().SegmentCounter = 0;
  EXPECT_EQ(Send(311)->Data[0], 253);
  EXPECT_EQ(M().SegmentCounter, 0);
  M().SegmentCounter = 5;
  EXPECT_EQ(Send(312)->Data[0], 0);
  EXPECT_EQ(M().SegmentCounter, 0);

  // The device's table holds the points 0 to 47: nothing beyond it is ever asked for or
  // written, neither a point nor a segment count.
  TDraw& draw = *World.Program->Forms.DessinForm->Draw1;
  for (std::int32_t job : {209, 309}) {
    for (std::int32_t point : {-1, 48, 256}) {
      M().SegmentCounter = point;
      EXPECT_EQ(Send(job), nullptr) << job << " point " << point;
    }
  }
  for (std::int32_t count : {-1, 48, 256}) {
    draw.LastIndex = count;
    EXPECT_EQ(Send(313), nullptr) << count;
  }
  M().SegmentCounter = 47;
  EXPECT_EQ(Send(209)->Data[0], 47);
  draw.LastIndex = 47;
  const SimRequest* count = Send(313);
  ASSERT_TRUE(count);
  EXPECT_EQ(count->Command, 203);
  EXPECT_EQ(count->Data[0], 47);
}

TEST_F(JobTable, ClockJobsLeaveTheStatusBarAndTheLamp) {
  for (std::int32_t job : {250, 251, 350}) {
    M().SetStatusPanel(0, "kept");
    M().SetStatusPanel(1, "kept too");
    const std::size_t from = World.Sim.Requests.size();
    World.Jobs().StartList({job, 500});
    // The tick itself, before the end of the transmission could switch a lamp off again.
    M().EvenementTimer(nullptr);
    EXPECT_FALSE(M().CTS_LED->LedStatus()) << job;
    EXPECT_EQ(M().StatusPanel(0), "kept") << job;
    EXPECT_EQ(M().StatusPanel(1), "kept too") << job;
    ASSERT_TRUE(World.Sched.AdvanceUntil([&] { return !World.Jobs().Busy; }, 10000)) << job;
    ASSERT_EQ(World.Sim.Requests.size(), from + 1) << job;
    EXPECT_EQ(World.Sim.Requests[from].Command, job == 251 ? 90 : 89) << job;
  }
  // A request job, by contrast, shows its text and lights the lamp at once.
  World.Jobs().StartList({200, 500});
  M().EvenementTimer(nullptr);
  EXPECT_TRUE(M().CTS_LED->LedStatus());
  EXPECT_EQ(M().StatusPanel(0), "Read message");
  EXPECT_EQ(M().StatusPanel(1), "");
}

TEST_F(JobTable, JobsSendNothingForAFieldThatIsNotANumber) {
  struct Case {
    std::int32_t job;
    std::function<void(TMainForm&)> spoil;
    bool reported;  // the conversion message, else a beep
  };
  auto tamb = [](TMainForm& m) -> TTambForm& { return *m.Forms().TambForm; };
  auto ns = [](TMainForm& m) -> TNSForm& { return *m.Forms().NSForm; };
  const std::vector<Case> cases = {
      {302, [](TMainForm& m) { m.EdURV->SetText("abc"); }, false},
      {302, [](TMainForm& m) { m.EdLRV->SetText(""); }, false},
      {319, [](TMainForm& m) { m.EdUPV->SetText("1,5"); }, false},
      {320, [](TMainForm& m) { m.EdAlr1->SetText("x"); }, false},
      {321, [](TMainForm& m) { m.EdDel2->SetText(" "); }, false},
      {323, [](TMainForm& m) { m.EdAI1N->SetText("--"); }, false},
      {304, [](TMainForm& m) { m.EdDAMP->SetText("1.x"); }, true},
      {305, [](TMainForm& m) { m.EdAssNb->SetText("12a"); }, true},
      {306, [](TMainForm& m) { m.EdSNb->SetText(""); }, true},
      // Texts of dialogs, changed after the dialog queued the job.
      {314, [&](TMainForm& m) { tamb(m).EdTamb->SetText("  . "); }, false},
      {409, [&](TMainForm& m) { ns(m).EdIdent->SetText("12 34"); }, true},
  };
  for (const Case& c : cases) {
    AppWorld w;
    w.Sim.Identity.DeviceType = 203;
    w.Connect();
    for (TMaskEdit* e : {w.Main().EdURV, w.Main().EdLRV, w.Main().EdUPV, w.Main().EdLPV, w.Main().EdAlr1, w.Main().EdHys1,
                         w.Main().EdDel1, w.Main().EdAlr2, w.Main().EdHys2, w.Main().EdDel2, w.Main().EdAI1N,
                         w.Main().EdAI1UL, w.Main().EdAI1LL, w.Main().EdDAMP, w.Main().EdAssNb, w.Main().EdSNb,
                         tamb(w.Main()).EdTamb, ns(w.Main()).EdIdent}) {
      e->SetText("1");
    }
    c.spoil(w.Main());
    const std::size_t from = w.Sim.Requests.size();
    const int beeps = w.Ui.Beeps;
    w.Jobs().StartList({c.job, 500});
    w.Main().Evenement.SetInterval(50);
    w.Advance(50);
    EXPECT_FALSE(w.Main().CTS_LED->LedStatus()) << c.job;
    EXPECT_EQ(w.Main().Evenement.Interval(), 2500) << c.job;
    w.Advance(2500);  // the list goes on
    EXPECT_FALSE(w.Jobs().Busy) << c.job;
    EXPECT_EQ(w.Sim.Requests.size(), from) << c.job;
    if (c.reported) {
      ASSERT_EQ(w.Ui.ErrorReports.size(), 1u) << c.job;
      EXPECT_NE(w.Ui.ErrorReports[0].find("is not a valid floating point value"), std::string::npos);
    } else {
      EXPECT_EQ(w.Ui.Beeps, beeps + 1) << c.job;
      EXPECT_TRUE(w.Ui.ErrorReports.empty()) << c.job;
    }
  }
}

TEST_F(JobTable, DatesTheDeviceCannotKeepAreNeitherPickedNorSent) {
  // The device keeps year - 1900 in one byte: the picker holds no other year.
  QDateEdit& picker = *M().DateTimePicker;
  EXPECT_EQ(picker.minimumDate(), QDate(1900, 1, 1));
  EXPECT_EQ(picker.maximumDate(), QDate(2155, 12, 31));
  picker.setDate(QDate(2200, 6, 1));
  EXPECT_EQ(picker.date(), QDate(2155, 12, 31));
  picker.setDate(QDate(1850, 6, 1));
  EXPECT_EQ(picker.date(), QDate(1900, 1, 1));

  // Both ends go out as they are.
  for (const QDate& d : {QDate(1900, 1, 1), QDate(2155, 12, 31)}) {
    picker.setDate(d);
    ASSERT_TRUE(Send(303));
    EXPECT_EQ(World.Sim.State.YearSince1900, d.year() - 1900);
    EXPECT_EQ(World.Sim.State.Day, d.day());
  }

  // A date beyond them that reaches the job all the same is reported, and nothing is sent;
  // the list goes on as after any refused job.
  picker.setDateRange(QDate(1752, 9, 14), QDate(9999, 12, 31));
  struct Case {
    QDate date;
    const char* report;
  };
  for (const Case& c : {Case{QDate(2156, 1, 1), "'01/01/2156' is out of range: enter a date from 01/01/1900 to 31/12/2155"},
                        Case{QDate(1899, 12, 31), "'31/12/1899' is out of range: enter a date from 01/01/1900 to 31/12/2155"}}) {
    picker.setDate(c.date);
    World.Ui.ErrorReports.clear();
    const std::size_t from = World.Sim.Requests.size();
    World.Jobs().StartList({303, 500});
    M().Evenement.SetInterval(50);
    World.Advance(50);
    EXPECT_FALSE(M().CTS_LED->LedStatus());
    EXPECT_EQ(M().Evenement.Interval(), 2500);
    World.Advance(2500);
    EXPECT_FALSE(World.Jobs().Busy);
    EXPECT_EQ(World.Sim.Requests.size(), from);
    EXPECT_EQ(World.Ui.ErrorReports, std::vector<std::string>{c.report});
    EXPECT_EQ(World.Sim.State.YearSince1900, 255);  // the last date sent stays
  }
}

TEST(JobTableEdition, TheConversionMessageInFrench) {
  AppWorld w(TLangue::Francais);
  w.Main().EdDAMP->SetText("x");
  w.Main().RunJob(304);
  ASSERT_EQ(w.Ui.ErrorReports.size(), 1u);
  EXPECT_EQ(w.Ui.ErrorReports[0], "'x' n'est pas une valeur en virgule flottante correcte");

  w.Main().DateTimePicker->setDateRange(QDate(1752, 9, 14), QDate(9999, 12, 31));
  w.Main().DateTimePicker->setDate(QDate(2200, 3, 4));
  w.Main().RunJob(303);
  ASSERT_EQ(w.Ui.ErrorReports.size(), 2u);
  EXPECT_EQ(w.Ui.ErrorReports[1], Cp("« 04/03/2200 » est hors limites : entrez une date du 01/01/1900 au 31/12/2155"));
}
