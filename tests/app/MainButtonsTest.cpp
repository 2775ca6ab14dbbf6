// The write and read buttons of the main window's pages: the job lists they start for each
// kind of device, the values they put into the model first, the sensor kind sheets, the
// alarm scaling warning, the write protection, and what reaches the simulated transmitter,
// bad input included.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Texts.h"
#include "app/WrnAlr.h"
#include "support/AppFixture.h"

namespace {

using TList = std::vector<std::int32_t>;

// The jobs of the list up to its terminating 0.
TList ListOf(const TJobList& l) {
  TList jobs;
  for (int i = 0; i < TJobList::Slots && l.At(i) != 0; ++i) jobs.push_back(l.At(i));
  return jobs;
}

// A list that is running somewhere in its middle, as a button finds it.
void Disturb(TJobList& l) {
  l.StartList({201, 200, 204, 203, 202, 205, 206, 213, 500});
  l.JobIndex = 4;
  l.LastJob = 203;
  l.Busy = false;
}

void Send(TBitBtnAlt* b) { b->click(); }

// The shared popup opened over the button, then its item ("Send" 0, "Refresh" 1).
void Popup(TMainForm& m, TBitBtnAlt* b, int item) {
  bool handled = true;
  b->ContextPopup(b, 0, 0, handled);
  ASSERT_FALSE(handled);
  m.PopupMenu.Items(item).Click();
}

// The program with the simulated transmitter of the given maker and type connected.
std::unique_ptr<AppWorld> ConnectedWorld(Byte manufacturer, Byte type, TLangue langue = TLangue::Anglais) {
  auto w = std::make_unique<AppWorld>(langue);
  w->Sim.Identity.ManufacturerId = manufacturer;
  w->Sim.Identity.DeviceType = type;
  w->Connect();
  return w;
}

constexpr Byte Maker = 250;
constexpr Byte Foreign = 17;

// Runs the sequencer until the list is idle again.
bool RunToIdle(AppWorld& w, std::int64_t maxMs = 60000) {
  return w.Sched.AdvanceUntil([&] { return w.Jobs().At(w.Jobs().JobIndex) == 0 && w.Jobs().CurrentJob == 0; }, maxMs);
}

std::vector<int> CommandsFrom(const AppWorld& w, std::size_t first) {
  std::vector<int> all = w.Commands();
  return {all.begin() + static_cast<std::ptrdiff_t>(std::min(first, all.size())), all.end()};
}

bool Has(const std::vector<int>& v, int x) { return std::find(v.begin(), v.end(), x) != v.end(); }

}  // namespace

// ---------------------------------------------------------------------------------------
// The lists of the two-action buttons, for another maker's device

TEST(MainButtons, EveryTwoActionButtonStartsItsSendAndRefreshList) {
  auto w = ConnectedWorld(Foreign, 0x16);
  TMainForm& m = w->Main();
  ASSERT_FALSE(m.Transmetteur.Is_Ostrel);
  struct Case {
    TBitBtnAlt* Button;
    TList SendList;
    TList RefreshList;
    std::int32_t RefreshLast;
  };
  const std::vector<Case> cases = {
      {m.BtnWR_TAG, {303, 500, 201, 1}, {201, 1}, 201},
      {m.BtnWR_DESC, {303, 500, 201, 1}, {201, 1}, 201},
      {m.BtnWR_DATE, {303, 500, 201, 1}, {201, 1}, 201},
      {m.BtnWR_MSG, {307, 500, 200, 1}, {200, 1}, 200},
      {m.BtnWR_UNIT, {301, 202, 203, 500}, {202, 203, 500}, 202},
      {m.BtnWR_RANGE, {302, 203, 202, 500}, {203, 500}, 203},
      {m.BtnWR_DAMP, {304, 203, 500}, {203, 500}, 203},
      {m.BtnWR_DEF, {308, 205, 500}, {205, 500}, 205},
      {m.BtnWR_SN, {306, 202, 500}, {202, 500}, 202},
      {m.BtnWR_ASSNB, {305, 204, 500}, {204, 500}, 204},
      {m.BtnWR_Alr1, {320, 500, 500}, {220, 500, 500}, 220},
      {m.BtnWR_Alr2, {321, 500, 500}, {221, 500, 500}, 221},
      {m.Btn_WR_ExStatus, {322, 202, 203, 220, 221, 500, 500}, {222, 500, 500}, 222},
      {m.BtnWR_PV, {319, 219, 202, 203, 500, 500}, {219, 202, 203, 500, 500}, 219},
      {m.BtnWR_EXTRA, {}, {223, 213, 202, 500}, 213},
  };
  TJobList& l = w->Jobs();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Button->objectName().toStdString());
    // A click and the popup's "Send" both run the send; "Refresh" the refresh.
    for (int way = 0; way < 2 && !c.SendList.empty(); ++way) {
      Disturb(l);
      if (way == 0) {
        Send(c.Button);
      } else {
        Popup(m, c.Button, 0);
      }
      EXPECT_EQ(ListOf(l), c.SendList);
      EXPECT_EQ(l.LastJob, c.SendList.front());
      EXPECT_EQ(l.JobIndex, 0);
      EXPECT_TRUE(l.Busy);
    }
    Disturb(l);
    Popup(m, c.Button, 1);
    EXPECT_EQ(ListOf(l), c.RefreshList);
    EXPECT_EQ(l.LastJob, c.RefreshLast);
    EXPECT_EQ(l.JobIndex, 0);
    EXPECT_TRUE(l.Busy);
  }
  // No sensor kind is checked on another maker's device: its send changes nothing.
  Disturb(l);
  const TJobList before = l;
  Send(m.BtnWR_EXTRA);
  EXPECT_EQ(l.List, before.List);
  EXPECT_EQ(l.LastJob, 203);
  EXPECT_FALSE(l.Busy);
}

// The unit, range and display sends hold a device-specific read only where the device
// has it.
TEST(MainButtons, FilteredListsFollowTheDeviceCapabilities) {
  struct Case {
    const char* Name;
    Byte Manufacturer;
    Byte Type;
    TList Unit;
    TList Range;
    TList Display;
  };
  const Case cases[] = {
      {"another maker", Foreign, 0x28, {301, 202, 203, 500}, {302, 203, 202, 500}, {322, 202, 203, 220, 221, 500, 500}},
      {"bits 5 and 7", Maker, 0x28, {301, 202, 203, 222, 219, 500}, {302, 203, 222, 202, 219, 500},
       {322, 219, 202, 203, 220, 221, 500, 500}},
      {"bit 7 without bit 5", Maker, 0x40, {301, 202, 203, 222, 500}, {302, 203, 222, 202, 500},
       {322, 202, 203, 220, 221, 500, 500}},
      {"bit 5 without bit 7", Maker, 0x1A, {301, 202, 203, 219, 500}, {302, 203, 202, 219, 500},
       {322, 219, 202, 203, 220, 221, 500, 500}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    auto w = ConnectedWorld(c.Manufacturer, c.Type);
    TMainForm& m = w->Main();
    TJobList& l = w->Jobs();
    const struct {
      TBitBtnAlt* Button;
      const TList& Expected;
      bool Appended;  // built from slot 0 on: the slots behind its 0 stay
    } sends[] = {{m.BtnWR_UNIT, c.Unit, true}, {m.BtnWR_RANGE, c.Range, true}, {m.Btn_WR_ExStatus, c.Display, false}};
    for (const auto& s : sends) {
      Disturb(l);
      const std::int32_t behind = l.At(static_cast<int>(s.Expected.size()) + 1);
      Send(s.Button);
      EXPECT_EQ(ListOf(l), s.Expected) << s.Button->objectName().toStdString();
      EXPECT_EQ(l.LastJob, s.Expected.front());
      EXPECT_EQ(l.JobIndex, 0);
      EXPECT_TRUE(l.Busy);
      if (s.Appended) {
        EXPECT_EQ(l.At(static_cast<int>(s.Expected.size()) + 1), behind) << "slots behind the 0 keep their jobs";
      }
    }
  }
}

TEST_F(AppFixture, OnlyTheFailureModeAndProtectionButtonsHurryTheSequencer) {
  TMainForm& m = Main();
  struct Case {
    std::function<void()> Click;
    const char* Name;
    bool Hurries;
  };
  const Case cases[] = {
      {[&] { Send(m.BtnWR_DEF); }, "DEF send", true},
      {[&] { Popup(m, m.BtnWR_DEF, 1); }, "DEF refresh", true},
      {[&] { m.BtnLock->click(); }, "BtnLock", true},
      {[&] { m.BtnUnlock->click(); }, "BtnUnlock", true},
      {[&] { Send(m.BtnWR_TAG); }, "TAG send", false},
      {[&] { Popup(m, m.BtnWR_UNIT, 1); }, "UNIT refresh", false},
      {[&] { Send(m.BtnWR_Alr1); }, "alarm send", false},
  };
  for (const Case& c : cases) {
    m.Evenement.SetInterval(2500);
    c.Click();
    EXPECT_EQ(m.Evenement.Interval(), c.Hurries ? 50 : 2500) << c.Name;
  }
}

TEST_F(AppFixture, SingleActionButtonsStartOneJob) {
  TMainForm& m = Main();
  const std::pair<QAbstractButton*, std::int32_t> cases[] = {
      {m.BtnLin1, 311}, {m.BtnLin2, 312},   {m.BtnParamCheck, 225}, {m.BtnRomCheck, 207}, {m.BtStack, 214},
      {m.BtMaxSeg, 411}, {m.RdUnLock, 412}, {m.RdLock, 413},        {m.BitBtn1, 414},     {m.BtnE, 415},
      {m.BtnZ, 416},     {m.BtnResetCfg, 419},
  };
  for (const auto& [button, job] : cases) {
    Disturb(World.Jobs());
    button->click();
    EXPECT_EQ(ListOf(World.Jobs()), (TList{job, 500})) << button->objectName().toStdString();
    EXPECT_EQ(World.Jobs().LastJob, job);
    EXPECT_TRUE(World.Jobs().Busy);
  }
  Disturb(World.Jobs());
  m.BitBtnLangue3->click();
  EXPECT_EQ(ListOf(World.Jobs()), (TList{224, 500}));
}

// ---------------------------------------------------------------------------------------
// Failure mode and write protection

TEST_F(AppFixture, FailureModeRebuildsTheStatusWord) {
  TMainForm& m = Main();
  TXmt& x = m.Transmetteur;
  x.WriteProtect = 1;
  x.CacheMemory = 0;
  x.Fault1High = 1;
  x.LowPowerDuration = 3;
  x.CpuFrequency = 2;
  for (bool high : {true, false}) {
    SetChecked(high ? *m.RdDefHigh : *m.RdDefLow, true);
    x.Fault2High = high ? 0 : 1;
    x.StatusRegister = 0;
    Send(m.BtnWR_DEF);
    EXPECT_EQ(x.Fault2High, high ? 1 : 0);
    EXPECT_EQ(x.StatusRegister, 0x200 + 0x30 + (high ? 8 : 0) + 4 + 1) << high;
  }
}

TEST_F(AppFixture, LockButtonsChangeOnlyBitZeroAndSwapThemselves) {
  TMainForm& m = Main();
  TXmt& x = m.Transmetteur;
  x.WriteProtect = 0;
  x.StatusRegister = 0x1E8F;
  m.BtnLock->show();
  m.BtnUnlock->hide();
  m.BtnLock->click();
  EXPECT_EQ(x.StatusRegister, 0x1E8E);
  EXPECT_TRUE(m.BtnLock->isHidden());
  EXPECT_FALSE(m.BtnUnlock->isHidden());
  EXPECT_EQ(ListOf(World.Jobs()), (TList{308, 205, 500}));
  m.BtnUnlock->click();
  EXPECT_EQ(x.StatusRegister, 0x1E8F);
  EXPECT_FALSE(m.BtnLock->isHidden());
  EXPECT_TRUE(m.BtnUnlock->isHidden());
  EXPECT_EQ(x.WriteProtect, 0);
}

TEST(MainButtons, TheLockBitReachesTheTransmitter) {
  auto w = ConnectedWorld(Maker, 0x16);
  TMainForm& m = w->Main();
  w->Sim.State.StatusRegister = 0x1E8E;
  m.Transmetteur.StatusRegister = 0x1E8E;
  m.BtnUnlock->click();
  ASSERT_TRUE(RunToIdle(*w));
  EXPECT_EQ(w->Sim.State.StatusRegister, 0x1E8F);
  m.BtnLock->click();
  ASSERT_TRUE(RunToIdle(*w));
  EXPECT_EQ(w->Sim.State.StatusRegister, 0x1E8E);
}

// ---------------------------------------------------------------------------------------
// Sensor kind sheets

TEST_F(AppFixture, TheCheckedSensorKindRaisesItsPanel) {
  TMainForm& m = Main();
  struct Case {
    Byte Type;
    TPanel* Active;
    bool LimitsShown;
  };
  const Case cases[] = {
      {0x00, m.PanV, false},  {0x16, m.PanR, false},  {0x0C, m.PanTC, false}, {0x08, m.PanPot, false},
      {0x1A, m.PanPot, false}, {154, m.PanPot, true}, {218, m.PanPot, true},  {203, m.PanPot, true},
      {75, m.PanPot, true},
  };
  m.Transmetteur.Is_Ostrel = true;
  for (const Case& c : cases) {
    m.Transmetteur.DeviceType = c.Type;
    m.ShowIdentity(nullptr);  // checks the kind, which runs its handler
    for (TPanel* p : {m.PanV, m.PanR, m.PanTC, m.PanPot}) {
      const bool on = p == c.Active;
      EXPECT_EQ(p->frameShape(), on ? QFrame::Panel : QFrame::NoFrame) << int(c.Type) << p->objectName().toStdString();
      if (on) {
        EXPECT_EQ(p->frameShadow(), QFrame::Raised);
      }
      EXPECT_EQ(p->isEnabled(), on) << int(c.Type) << p->objectName().toStdString();
    }
    EXPECT_EQ(!m.PanPot2->isHidden(), c.LimitsShown) << int(c.Type);
  }
}

TEST_F(AppFixture, SensorSendFormsTheSensorByteOfTheCheckedKind) {
  TMainForm& m = Main();
  TXmt& x = m.Transmetteur;
  struct Case {
    Byte Type;
    QComboBox* TypeBox;
    int TypeItem;
    QComboBox* ConnectionBox;
    int ConnectionItem;
    Byte Kind;
    Byte Info;
  };
  const Case cases[] = {
      {0x0C, m.CbTC1, 1, m.CbTC2, 1, 3, 209},  // K, cold junction off
      {0x16, m.CbR1, 2, m.CbR2, 3, 1, 114},    // Pt500, 4 wires
      {0x00, m.CbV1, 1, m.CbV2, 2, 0, 33},     // 2-10 / 4-20, PV = AI1+AI2
      {0x16, m.CbR1, 7, m.CbR2, 0, 1, 71},     // Ni1000, 3 wires
  };
  x.Is_Ostrel = true;
  for (const Case& c : cases) {
    x.DeviceType = c.Type;
    m.ShowIdentity(nullptr);
    c.TypeBox->setCurrentIndex(c.TypeItem);
    c.ConnectionBox->setCurrentIndex(c.ConnectionItem);
    Disturb(World.Jobs());
    Send(m.BtnWR_EXTRA);
    EXPECT_EQ(x.SensorInfo, c.Info) << int(c.Type);
    EXPECT_EQ(x.SensorKind, c.Kind);
    EXPECT_EQ(x.SensorConnection, c.ConnectionItem);
    EXPECT_EQ(x.SensorType, c.TypeItem);
    EXPECT_EQ(ListOf(World.Jobs()), (TList{317, 202, 500}));
    EXPECT_EQ(World.Jobs().LastJob, 317);
  }
}

TEST_F(AppFixture, PotentiometerSendWritesTheLimitsOnlyWhereTheyShow) {
  TMainForm& m = Main();
  TXmt& x = m.Transmetteur;
  x.Is_Ostrel = true;
  x.SensorInfo = 0x5A;
  x.DeviceType = 0x08;  // potentiometer without limits
  m.ShowIdentity(nullptr);
  ASSERT_TRUE(m.RbPot->isChecked());
  Disturb(World.Jobs());
  const TJobList before = World.Jobs();
  Send(m.BtnWR_EXTRA);
  EXPECT_EQ(World.Jobs().List, before.List);
  EXPECT_EQ(World.Jobs().LastJob, before.LastJob);
  EXPECT_FALSE(World.Jobs().Busy);
  EXPECT_EQ(x.SensorInfo, 0x5A);

  x.DeviceType = 203;
  m.ShowIdentity(nullptr);
  Send(m.BtnWR_EXTRA);
  EXPECT_EQ(ListOf(World.Jobs()), (TList{323, 500}));
  EXPECT_EQ(x.SensorInfo, 0x5A);
}

TEST_F(AppFixture, SensorSendWithoutAChosenItemBeepsAndSendsNothing) {
  TMainForm& m = Main();
  TXmt& x = m.Transmetteur;
  struct Case {
    const char* Kind;
    Byte Type;  // a device type of that sensor kind
    QComboBox* TypeBox;
    QComboBox* ConnectionBox;
  };
  const Case cases[] = {
      {"thermocouple", 0x0C, m.CbTC1, m.CbTC2},
      {"resistor", 0x16, m.CbR1, m.CbR2},
      {"voltage", 0x00, m.CbV1, m.CbV2},
  };
  x.Is_Ostrel = true;
  for (const Case& c : cases) {
    x.DeviceType = c.Type;
    m.ShowIdentity(nullptr);
    for (QComboBox* box : {c.TypeBox, c.ConnectionBox}) {
      SCOPED_TRACE(std::string(c.Kind) + " " + box->objectName().toStdString());
      c.TypeBox->setCurrentIndex(1);
      c.ConnectionBox->setCurrentIndex(1);
      box->setCurrentIndex(-1);
      x.SensorInfo = 0x5A;
      x.SensorKind = 2;
      x.SensorConnection = 2;
      x.SensorType = 2;
      Disturb(World.Jobs());
      const int beeps = World.Ui.Beeps;
      Send(m.BtnWR_EXTRA);
      EXPECT_EQ(World.Ui.Beeps, beeps + 1);
      EXPECT_EQ(x.SensorInfo, 0x5A);
      EXPECT_EQ(x.SensorKind, 2);
      EXPECT_EQ(x.SensorConnection, 2);
      EXPECT_EQ(x.SensorType, 2);
      EXPECT_FALSE(World.Jobs().Busy);
      EXPECT_EQ(World.Jobs().LastJob, 203);
      EXPECT_EQ(ListOf(World.Jobs()), (TList{201, 200, 204, 203, 202, 205, 206, 213, 500}));
    }
  }
}

TEST(MainButtons, TheSensorByteReachesTheTransmitter) {
  auto w = ConnectedWorld(Maker, 0x0C);
  TMainForm& m = w->Main();
  ASSERT_TRUE(m.RbTC->isChecked());
  m.CbTC1->setCurrentIndex(1);
  m.CbTC2->setCurrentIndex(1);
  Send(m.BtnWR_EXTRA);
  ASSERT_TRUE(RunToIdle(*w));
  EXPECT_EQ(w->Sim.State.SensorInfo, 209);
}

TEST(MainButtons, PotentiometerResetUsesTheLocaleSeparator) {
  for (char ds : {'.', ','}) {
    TFormatSettings fs;
    fs.DecimalSeparator = ds;
    AppWorld w(TLangue::Anglais, fs);
    Disturb(w.Jobs());
    const TJobList before = w.Jobs();
    w.Main().BitBtnLangue4->click();
    const std::string s(1, ds);
    EXPECT_EQ(w.Main().EdAI1N->Text(), "75" + s + "00");
    EXPECT_EQ(w.Main().EdAI1UL->Text(), "100" + s + "0");
    EXPECT_EQ(w.Main().EdAI1LL->Text(), "-100" + s + "0");
    EXPECT_EQ(w.Jobs().List, before.List);  // no job
  }
}

// ---------------------------------------------------------------------------------------
// The display page's write and its alarm scaling warning

TEST_F(AppFixture, DisplaySendWarnsOfRescaledAlarmsFirst) {
  TMainForm& m = Main();
  TXmt& x = m.Transmetteur;
  struct Case {
    int Position;  // of the track bar: 4 - decimals
    Byte DeviceDecimals;
    bool Editable;
    const char* Factor;  // null: no warning
  };
  const Case cases[] = {
      {2, 1, true, "/ 10"}, {4, 2, true, "x 100"}, {1, 0, true, "/ 1000"},
      {2, 1, false, nullptr}, {2, 2, true, nullptr},
  };
  for (const Case& c : cases) {
    m.TrackBarPDaf->setValue(c.Position);
    x.DecimalPoint = c.DeviceDecimals;
    x.Alarm1.SetPointEditable = c.Editable;
    World.Ui.ModalRuns.clear();
    std::string shown;
    int tagShown = -1;
    TList listWhileShown;
    World.Ui.OnModal["WarningAlrForm"] = [&](TForm& f) {
      shown = static_cast<TWarningAlrForm&>(f).Label2->Caption();
      tagShown = f.Tag;
      listWhileShown = ListOf(World.Jobs());
    };
    Disturb(World.Jobs());
    const TList before = ListOf(World.Jobs());
    Send(m.Btn_WR_ExStatus);
    if (c.Factor) {
      ASSERT_EQ(World.Ui.ModalRuns, std::vector<std::string>{"WarningAlrForm"});
      EXPECT_EQ(shown, c.Factor);
      EXPECT_EQ(tagShown, std::abs((4 - c.Position) - c.DeviceDecimals));
      EXPECT_EQ(listWhileShown, before) << "the list starts once the warning is closed";
      EXPECT_EQ(m.Forms().WarningAlrForm->Tag, 0);
    } else {
      EXPECT_TRUE(World.Ui.ModalRuns.empty());
    }
    // The warning cannot cancel the write.
    EXPECT_EQ(ListOf(World.Jobs()), (TList{322, 202, 203, 220, 221, 500, 500}));
  }
}

// ---------------------------------------------------------------------------------------
// The lists on the wire

TEST(MainButtons, TagSendFreesThePagesAfterItsFirst500) {
  auto w = ConnectedWorld(Maker, 0x16);
  TMainForm& m = w->Main();
  m.TabbedNotebook->SetPageIndex(1);
  ASSERT_EQ(m.TabbedNotebook->PageIndex(), 1);
  m.EdTAG->SetText("NEWTAG");
  const std::size_t first = w->Sim.Requests.size();
  Send(m.BtnWR_TAG);
  ASSERT_TRUE(w->Sched.AdvanceUntil([&] { return !w->Jobs().Busy; }, 10000));
  EXPECT_EQ(CommandsFrom(*w, first), (std::vector<int>{18}));
  EXPECT_EQ(w->Sim.State.Tag.substr(0, w->Sim.State.Tag.find_last_not_of(' ') + 1), "NEWTAG");
  // Jobs 201 and 1 still to run, yet the pages are free.
  EXPECT_EQ(w->Jobs().At(w->Jobs().JobIndex), 201);
  m.TabbedNotebook->SetPageIndex(2);
  EXPECT_EQ(m.TabbedNotebook->PageIndex(), 2);
}

TEST(MainButtons, MessageRefreshKeepsThePagesLockedWhileThePollingRuns) {
  auto w = ConnectedWorld(Maker, 0x16);
  TMainForm& m = w->Main();
  m.TabbedNotebook->SetPageIndex(1);
  Popup(m, m.BtnWR_MSG, 1);
  EXPECT_EQ(ListOf(w->Jobs()), (TList{200, 1}));
  EXPECT_TRUE(w->Jobs().Busy);
  const std::size_t first = w->Sim.Requests.size();
  w->Advance(5000);
  const std::vector<int> sent = CommandsFrom(*w, first);
  ASSERT_GE(sent.size(), 3u);
  EXPECT_EQ(sent[0], 12);
  EXPECT_TRUE(Has(sent, 1) && Has(sent, 2)) << "the measure polling runs";
  EXPECT_TRUE(w->Jobs().Busy);
  const int beeps = w->Ui.Beeps;
  m.TabbedNotebook->SetPageIndex(2);
  EXPECT_EQ(m.TabbedNotebook->PageIndex(), 1);
  EXPECT_EQ(w->Ui.Beeps, beeps + 1);
}

// Numbers that do not convert, or that the device cannot hold, are never sent; the rest of
// the list still runs.
TEST(MainButtons, BadNumbersTypedOnThePagesSendNothingWrong) {
  struct Case {
    const char* Name;
    TMaskEdit* TMainForm::*Edit;
    const char* Typed;
    TBitBtnAlt* TMainForm::*Button;
    int Command;   // the write that must not go out
    int ReadBack;  // the read of the list that still runs; 0 none, -1 no list at all
    bool Beep;     // else a report
  };
  const std::vector<Case> cases = {
      {"upper range", &TMainForm::EdURV, "1-2", &TMainForm::BtnWR_RANGE, 35, 15, true},
      {"lower range", &TMainForm::EdLRV, "-", &TMainForm::BtnWR_RANGE, 35, 15, true},
      {"damping", &TMainForm::EdDAMP, ".", &TMainForm::BtnWR_DAMP, 34, 15, false},
      {"serial letters", &TMainForm::EdSNb, "12AB", &TMainForm::BtnWR_SN, 49, 14, false},
      {"serial too big", &TMainForm::EdSNb, "16777216", &TMainForm::BtnWR_SN, 49, 14, false},
      {"serial negative", &TMainForm::EdSNb, "-1", &TMainForm::BtnWR_SN, 49, 14, false},
      {"serial fraction", &TMainForm::EdSNb, "12.5", &TMainForm::BtnWR_SN, 49, 14, false},
      {"assembly empty", &TMainForm::EdAssNb, "", &TMainForm::BtnWR_ASSNB, 19, 16, false},
      {"assembly huge", &TMainForm::EdAssNb, "1e30", &TMainForm::BtnWR_ASSNB, 19, 16, false},
      {"alarm set point", &TMainForm::EdAlr1, "-", &TMainForm::BtnWR_Alr1, 211, 0, true},
      {"alarm delay", &TMainForm::EdDel2, "", &TMainForm::BtnWR_Alr2, 211, 0, true},
      {"PV upper", &TMainForm::EdUPV, "+", &TMainForm::BtnWR_PV, 207, 208, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    auto w = ConnectedWorld(Maker, 203);
    TMainForm& m = w->Main();
    for (TMaskEdit* e : {m.EdURV, m.EdLRV, m.EdUPV, m.EdLPV}) e->SetText("10.00");
    m.EdDAMP->SetText("1.0");
    m.EdSNb->SetText("1234");
    m.EdAssNb->SetText("5678");
    for (TMaskEdit* e : {m.EdAlr1, m.EdHys1, m.EdAlr2, m.EdHys2}) e->SetText("1.00");
    for (TMaskEdit* e : {m.EdDel1, m.EdDel2}) e->SetText("5");
    TMaskEdit* edit = m.*c.Edit;
    edit->clear();
    QTest::keyClicks(edit, QString::fromLatin1(c.Typed));
    const std::size_t first = w->Sim.Requests.size();
    const int beeps = w->Ui.Beeps;
    Send(m.*c.Button);
    EXPECT_EQ(w->Jobs().Busy, c.ReadBack >= 0);
    ASSERT_TRUE(RunToIdle(*w));
    const std::vector<int> sent = CommandsFrom(*w, first);
    EXPECT_FALSE(Has(sent, c.Command));
    if (c.ReadBack > 0) {
      EXPECT_TRUE(Has(sent, c.ReadBack)) << "the read-back still runs";
    } else {
      EXPECT_TRUE(sent.empty());
    }
    if (c.Beep) {
      EXPECT_GE(w->Ui.Beeps, beeps + 1);
      EXPECT_TRUE(w->Ui.ErrorReports.empty());
    } else {
      ASSERT_EQ(w->Ui.ErrorReports.size(), 1u);
      EXPECT_NE(w->Ui.ErrorReports[0].find(c.Typed), std::string::npos) << w->Ui.ErrorReports[0];
    }
  }
}

TEST(MainButtons, PotentiometerLimitsThatDoNotConvertAreNotSent) {
  auto w = ConnectedWorld(Maker, 203);
  TMainForm& m = w->Main();
  ASSERT_FALSE(m.PanPot2->isHidden());
  m.EdAI1N->clear();
  QTest::keyClicks(m.EdAI1N, QStringLiteral("."));
  const std::size_t first = w->Sim.Requests.size();
  Send(m.BtnWR_EXTRA);
  ASSERT_TRUE(RunToIdle(*w));
  EXPECT_FALSE(Has(CommandsFrom(*w, first), 143));
  EXPECT_GE(w->Ui.Beeps, 1);
}

TEST(MainButtons, OutOfRangeReportsInTheFrenchEdition) {
  auto w = ConnectedWorld(Maker, 0x16, TLangue::Francais);
  w->Main().EdSNb->SetText("99999999");
  Send(w->Main().BtnWR_SN);
  ASSERT_TRUE(RunToIdle(*w));
  ASSERT_EQ(w->Ui.ErrorReports.size(), 1u);
  EXPECT_EQ(w->Ui.ErrorReports[0], Cp("« 99999999 » est hors limites : entrez un nombre entier de 0 à 16777215"));
}
