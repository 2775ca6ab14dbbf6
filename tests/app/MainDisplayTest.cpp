// What the main window shows of a transmitter's identity, by its device type, and the
// range masks that follow its decimals.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>

#include "app/Dessin.h"
#include "app/Texts.h"
#include "app/core/DisplayFormat.h"
#include "model/Units.h"
#include "support/AppFixture.h"

namespace {

std::vector<std::int32_t> ListOf(const TUnits& u) {
  std::vector<std::int32_t> codes;
  for (std::int32_t c : u.List()) {
    if (c == TCustomUnits::EndOfList) break;
    codes.push_back(c);
  }
  return codes;
}

std::vector<std::int32_t> Codes(std::span<const std::int32_t> list) { return {list.begin(), list.end() - 1}; }

bool Shown(const QWidget* w) { return !w->isHidden(); }

}  // namespace

TEST_F(AppFixture, IdentityOfAnotherMakersDeviceShowsNoMakerControls) {
  TMainForm& m = Main();
  m.Transmetteur.Is_Ostrel = false;
  m.Transmetteur.DeviceType = 0x48;
  m.Transmetteur.DeviceId = 4660;
  m.Transmetteur.ManufacturerName = "Other";
  m.Transmetteur.ModelName = "Model X";
  m.Transmetteur.ConfigChangeCounter = 9;
  m.ShowIdentity(nullptr);
  for (QWidget* w : std::initializer_list<QWidget*>{m.BtnPV, m.BtnZero, m.BtnPE, m.GrPDafMod, m.GrPVRange, m.GrBoxDef,
                                                    m.SensorPageControl, m.CkDispUnit}) {
    EXPECT_FALSE(Shown(w)) << w->objectName().toStdString();
  }
  EXPECT_FALSE(m.BtnLock->isEnabled());
  EXPECT_FALSE(m.BtnLin1->isEnabled());
  EXPECT_EQ(m.LbIdent->Caption(), "4660");
  EXPECT_EQ(m.LbMarque->Caption(), "Other");
  EXPECT_EQ(m.LbProduit->Caption(), "Model X");
  EXPECT_EQ(m.EdCfgCC->Text(), "9");
  EXPECT_EQ(m.Range_Unit->List()[34], UnitRow(34).Code);  // every unit
  EXPECT_EQ(m.RangeFormat, "###0.00");
}

TEST_F(AppFixture, IdentityOfTheMakersDeviceTypes) {
  TMainForm& m = Main();
  struct Case {
    Byte type;
    QAbstractButton* checked;  // null: none
    std::vector<QWidget*> enabled;
    std::vector<QWidget*> shown;
    std::span<const std::int32_t> (*units)();  // null: every unit
    bool pvToo;
  };
  const std::vector<QWidget*> allShown = {m.GrPDafMod, m.CkDispUnit, m.GrPVRange, m.BtnZero, m.BtnPE, m.BtnPV};
  const std::vector<Case> cases = {
      {0x00, m.RbV, {m.CbV1, m.CbV2}, {}, PercentUnitList, false},
      {0x30, m.RbV, {m.CbV1, m.CbV2}, {}, PercentUnitList, false},
      {0x04, m.RbR, {}, {}, ResistanceUnitList, false},
      {0x08, m.RbPot, {}, {}, PercentUnitList, false},
      {0x0C, m.RbTC, {m.CbTC1, m.CbTC2}, {}, ThermocoupleUnitList, false},
      {0x16, m.RbR, {m.CbR1, m.CbR2}, {}, ResistanceUnitList, false},
      {0x1A, m.RbPot, {}, {m.BtnPV}, ProcessUnitList, true},
      {0x2C, m.RbTC, {}, {}, ThermocoupleUnitList, false},
      {0x28, m.RbPot, {}, {m.GrPDafMod, m.GrPVRange, m.BtnPV}, ProcessUnitList, true},
      {0x44, m.RbR, {m.CbR1, m.CbR2}, {m.GrPDafMod, m.CkDispUnit}, ResistanceUnitList, false},
      {0x48, m.RbPot, {}, allShown, ProcessUnitList, true},
      {0x58, m.RbPot, {}, allShown, ProcessUnitList, true},
      {0x20, nullptr, {}, {}, nullptr, false},
      {0x60, nullptr, {}, {}, nullptr, false},
  };
  const std::vector<QWidget*> combos = {m.CbR1, m.CbR2, m.CbTC1, m.CbTC2, m.CbV1, m.CbV2, m.CbPot1, m.CbPot2};
  auto has = [](const std::vector<QWidget*>& ws, QWidget* w) { return std::find(ws.begin(), ws.end(), w) != ws.end(); };
  for (const Case& c : cases) {
    m.PV_Unit->SetAllUnits();
    m.Transmetteur.Is_Ostrel = true;
    m.Transmetteur.DeviceType = c.type;
    m.ShowIdentity(nullptr);
    const std::string name = "type " + std::to_string(c.type);
    for (QAbstractButton* r : std::initializer_list<QAbstractButton*>{m.RbV, m.RbR, m.RbPot, m.RbTC}) {
      EXPECT_EQ(r->isChecked(), r == c.checked) << name << " " << r->objectName().toStdString();
    }
    for (QWidget* combo : combos) EXPECT_EQ(combo->isEnabled(), has(c.enabled, combo)) << name << " " << combo->objectName().toStdString();
    for (QWidget* w : allShown) EXPECT_EQ(Shown(w), has(c.shown, w)) << name << " " << w->objectName().toStdString();
    if (c.units) {
      EXPECT_EQ(ListOf(*m.Range_Unit), Codes(c.units())) << name;
      if (c.pvToo) {
        EXPECT_EQ(ListOf(*m.PV_Unit), Codes(c.units())) << name;
      }
    } else {
      EXPECT_EQ(ListOf(*m.Range_Unit).size(), 35u) << name;
    }
    if (!c.pvToo) {
      EXPECT_EQ(ListOf(*m.PV_Unit).size(), 35u) << name;
    }
    EXPECT_TRUE(Shown(m.GrBoxDef));
    EXPECT_TRUE(Shown(m.SensorPageControl));
    EXPECT_TRUE(m.BtnLock->isEnabled());
  }
}

TEST_F(AppFixture, FaultCurrentsAndLinearisationByDeviceType) {
  TMainForm& m = Main();
  m.Transmetteur.Is_Ostrel = true;
  m.Transmetteur.DeviceType = 0x40;
  m.ShowIdentity(nullptr);
  EXPECT_EQ(m.RdDefLow->Caption(), "3.5 mA");
  EXPECT_EQ(m.RdDefLow->Hint(), "Default current value = 3.5 mA");
  EXPECT_EQ(m.RdDefHigh->Caption(), "22.0 mA");
  EXPECT_TRUE(m.BtnLin1->isEnabled());  // input kind 0
  m.Transmetteur.DeviceType = 0x30;
  m.ShowIdentity(nullptr);
  EXPECT_EQ(m.RdDefLow->Caption(), "3.8 mA");
  m.Transmetteur.DeviceType = 0x34;  // input kind 1: no linearisation
  m.ShowIdentity(nullptr);
  EXPECT_FALSE(m.BtnLin1->isEnabled());
  EXPECT_FALSE(m.BtnLin2->isEnabled());
}

TEST_F(AppFixture, TheLinearisationWindowsTransfersFollowTheInputKind) {
  TMainForm& m = Main();
  TDessinForm& dessin = *World.Program->Forms.DessinForm;
  struct Case {
    bool maker;
    Byte type;
    bool before;  // the transfer buttons' state before the identity is shown
    bool after;
    bool lin;     // BtnLin1 and BtnLin2 enabled
  };
  for (const Case& c : std::vector<Case>{
           {true, 0x40, false, true, true},   // input kind 0
           {true, 0x48, false, true, true},   // input kind 2
           {true, 0x44, true, false, false},  // input kind 1
           {true, 0x4C, true, false, false},  // input kind 3
           {false, 0x44, true, true, false},  // another maker's device: left as they were
           {false, 0x40, false, false, false},
       }) {
    const std::string name = (c.maker ? "maker's type " : "other type ") + std::to_string(c.type);
    dessin.EnableTransfers(c.before);
    m.Transmetteur.Is_Ostrel = c.maker;
    m.Transmetteur.DeviceType = c.type;
    m.ShowIdentity(nullptr);
    EXPECT_EQ(dessin.Btn_WR->isEnabled(), c.after) << name;
    EXPECT_EQ(dessin.Btn_RD->isEnabled(), c.after) << name;
    EXPECT_EQ(m.BtnLin1->isEnabled(), c.lin) << name;
    EXPECT_EQ(m.BtnLin2->isEnabled(), c.lin) << name;
  }
}

TEST(MainDisplay, AlarmsShowTheirDecimalsInEitherLocale) {
  // One set point and hysteresis, shown and read back for every number of decimals; "."
  // stands for the locale's separator. Above 4 decimals the scale still follows them.
  struct Row {
    Byte decimals;
    const char* mask;
    const char* setPoint;
    const char* hysteresis;
    std::int16_t setPointBack;
    std::int16_t hysteresisBack;
  };
  for (char ds : {'.', ','}) {
    TFormatSettings fs;
    fs.DecimalSeparator = ds;
    AppWorld w(TLangue::Anglais, fs);
    TMainForm& m = w.Main();
    auto local = [ds](std::string text) {
      for (char& c : text)
        if (c == '.') c = ds;
      return text;
    };
    for (const Row& r : std::initializer_list<Row>{
             {0, "!####0;1;_", "1234", "10", 1234, 10},
             {1, "!###0.0;1;_", "123.4", "1.0", 1234, 10},
             {2, "!##0.00;1;_", "12.34", "0.10", 1234, 10},
             {3, "!#0.000;1;_", "1.234", "0.010", 1234, 10},
             {4, "!0.0000;1;_", "0.1234", "0.0010", 1234, 10},
             {5, "!####0.000;1;_", "0.012", "0.000", 1200, 0},
         }) {
      const int alarm = 1 + r.decimals % 2;  // both alarms' controls in turn
      SCOPED_TRACE("alarm " + std::to_string(alarm) + ", " + std::to_string(r.decimals) + " decimals, '" + ds + "'");
      TAlarmInfo a;
      a.SetPointEditable = a.HysteresisEditable = a.DelayEditable = a.RelayEditable = true;
      a.Decimals = r.decimals;
      a.SetPoint = 1234;
      a.Hysteresis = 10;
      a.Delay = 4;
      (alarm == 1 ? m.Transmetteur.Alarm1 : m.Transmetteur.Alarm2) = a;
      m.ShowAlarm(nullptr, alarm);
      TMaskEdit* setPoint = alarm == 1 ? m.EdAlr1 : m.EdAlr2;
      TMaskEdit* hysteresis = alarm == 1 ? m.EdHys1 : m.EdHys2;
      EXPECT_EQ(setPoint->EditMask(), local(r.mask));
      EXPECT_EQ(hysteresis->EditMask(), local(r.mask));
      EXPECT_EQ(setPoint->Text(), local(r.setPoint));
      EXPECT_EQ(hysteresis->Text(), local(r.hysteresis));
      EXPECT_EQ((alarm == 1 ? m.EdDel1 : m.EdDel2)->Text(), "4");
      const auto back = m.BuildAlarmRecord(nullptr, alarm);
      ASSERT_TRUE(back);
      EXPECT_EQ(back->SetPoint, r.setPointBack);
      EXPECT_EQ(back->Hysteresis, r.hysteresisBack);
      EXPECT_EQ(back->Decimals, r.decimals);
    }
    EXPECT_EQ(w.Ui.Beeps, 0);
  }
}

TEST(MainDisplay, RangeMasksUseTheLocaleSeparator) {
  TFormatSettings fs;
  fs.DecimalSeparator = ',';
  AppWorld w(TLangue::Anglais, fs);
  w.Main().SetRangeMasks(nullptr, 2);
  for (TMaskEdit* e : {w.Main().EdURV, w.Main().EdLRV, w.Main().EdUPV, w.Main().EdLPV}) EXPECT_EQ(e->EditMask(), "!###0,00;1;_");
  EXPECT_EQ(w.Main().RangeFormat, "##0.00");
  w.Main().SetRangeMasks(nullptr, 7);
  EXPECT_EQ(w.Main().EdURV->EditMask(), "!####0,00;1;_");
  EXPECT_EQ(w.Main().RangeFormat, "###0.00");
}

TEST_F(AppFixture, AlarmRecordsBothWays) {
  TMainForm& m = Main();
  TAlarmInfo a;
  a.SetPointEditable = false;
  a.HysteresisEditable = true;
  a.DelayEditable = true;
  a.RelayEditable = true;
  a.Decimals = 1;
  a.SetPoint = 255;
  a.Hysteresis = 10;
  a.Delay = 7;
  a.RelayNormallyClosed = 1;
  m.Transmetteur.Alarm1 = a;
  m.ShowAlarm(nullptr, 1);
  EXPECT_EQ(m.EdAlr1->Text(), "25.5");
  EXPECT_EQ(m.EdHys1->Text(), "1.0");
  EXPECT_EQ(m.EdDel1->Text(), "7");
  EXPECT_FALSE(m.EdAlr1->isEnabled());
  EXPECT_TRUE(m.RdRelNf1->isChecked());
  const auto back = m.BuildAlarmRecord(nullptr, 1);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->SetPoint, 255);
  EXPECT_EQ(back->Hysteresis, 10);
  EXPECT_EQ(back->Delay, 7);
  EXPECT_EQ(back->RelayNormallyClosed, 255);
  EXPECT_FALSE(back->SetPointEditable);

  m.Transmetteur.Alarm1.Decimals = 2;
  m.Transmetteur.Alarm2.Decimals = 1;
  m.EdAlr2->SetText("12.5");
  m.EdHys2->SetText("0.5");
  m.EdDel2->SetText("3");
  ASSERT_TRUE(m.BuildAlarmRecord(nullptr, 2));
  EXPECT_EQ(m.BuildAlarmRecord(nullptr, 2)->SetPoint, 125);
  m.EdDel2->SetText("three");
  const int beeps = World.Ui.Beeps;
  EXPECT_FALSE(m.BuildAlarmRecord(nullptr, 2));
  EXPECT_EQ(World.Ui.Beeps, beeps + 1);
  m.EdHys2->SetText("");
  EXPECT_FALSE(m.BuildAlarmRecord(nullptr, 2));
  EXPECT_EQ(World.Ui.Beeps, beeps + 3);  // a beep for each text that is not a number
  m.EdHys2->SetText("0.5");
  m.EdDel2->SetText("3");
  m.ShowAlarm(nullptr, 3);  // no such alarm: nothing changes
  EXPECT_EQ(m.EdAlr2->Text(), "12.5");
  EXPECT_EQ(*m.BuildAlarmRecord(nullptr, 3), TAlarmInfo{});
}
