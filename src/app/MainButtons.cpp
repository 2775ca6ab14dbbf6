// The write and read buttons of the pages. No button talks to the device: each fills the
// job list (some first put values into the model), and the sequencer runs the jobs at its
// next ticks. The write jobs read their page's controls when they run, and the read-back
// jobs of each list refresh the page through the answer dispatch.

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>

#include "app/Texts.h"
#include "app/UiServices.h"
#include "app/WrnAlr.h"
#include "app/core/DisplayFormat.h"
#include "app/main.h"

void TMainForm::BindButtons() {
  auto pair = [this](TBitBtnAlt* button, void (TMainForm::*click)(TObject*), void (TMainForm::*alt)(TObject*)) {
    button->OnClick = [this, click](TObject* s) { (this->*click)(s); };
    button->OnAltClick = [this, alt](TObject* s) { (this->*alt)(s); };
  };
  for (TBitBtnAlt* b : {BtnWR_TAG, BtnWR_DESC, BtnWR_DATE}) {
    pair(b, &TMainForm::BtnWR_TAGClick, &TMainForm::BtnWR_TAGAltClick);
  }
  pair(BtnWR_MSG, &TMainForm::BtnWR_MSGClick, &TMainForm::BtnWR_MSGAltClick);
  pair(BtnWR_UNIT, &TMainForm::BtnWR_UNITClick, &TMainForm::BtnWR_UNITAltClick);
  pair(BtnWR_RANGE, &TMainForm::BtnWR_RANGEClick, &TMainForm::BtnWR_RangeAltClick);
  pair(BtnWR_DAMP, &TMainForm::BtnWR_DAMPClick, &TMainForm::BtnWR_RangeAltClick);
  pair(BtnWR_DEF, &TMainForm::BtnWR_DEFClick, &TMainForm::BtnWR_DEFAltClick);
  pair(BtnWR_SN, &TMainForm::BtnWR_SNClick, &TMainForm::BtnWR_SNAltClick);
  pair(BtnWR_ASSNB, &TMainForm::BtnWR_ASSNBClick, &TMainForm::BtnWR_ASSNBAltClick);
  pair(BtnWR_EXTRA, &TMainForm::BtnWR_EXTRAClick, &TMainForm::BtnWR_EXTRAAltClick);
  pair(BtnWR_Alr1, &TMainForm::BtnWR_Alr1Click, &TMainForm::BtnWR_Alr1AltClick);
  pair(BtnWR_Alr2, &TMainForm::BtnWR_Alr2Click, &TMainForm::BtnWR_Alr2AltClick);
  pair(Btn_WR_ExStatus, &TMainForm::Btn_WR_ExStatusClick, &TMainForm::Btn_RD_ExStatusAltClick);
  pair(BtnWR_PV, &TMainForm::BtnWR_PVClick, &TMainForm::BtnWR_PVAltClick);

  auto click = [this](QAbstractButton* button, void (TMainForm::*handler)(TObject*)) {
    connect(button, &QAbstractButton::clicked, this, [this, handler] { (this->*handler)(this); });
  };
  click(BtnLin1, &TMainForm::BtnLin10Click);
  click(BtnLin2, &TMainForm::BtnLin20Click);
  click(BtnLock, &TMainForm::BtnLock0Click);
  click(BtnUnlock, &TMainForm::BtnUnlock0Click);
  click(BitBtnLangue3, &TMainForm::BitBtnLangue3Click);
  click(BitBtnLangue4, &TMainForm::BitBtnLangue4Click);
  click(BtnParamCheck, &TMainForm::BtnParamCheckClick);
  click(BtnRomCheck, &TMainForm::BtnRomCheckClick);
  click(BtStack, &TMainForm::BtStackClick);
  click(BtMaxSeg, &TMainForm::BtMaxSegClick);
  click(BitBtn1, &TMainForm::BtnReadADCClick);
  click(BtnE, &TMainForm::BtnEClick);
  click(BtnZ, &TMainForm::BtnZClick);
  click(BtnResetCfg, &TMainForm::BtnResetCfgClick);

  // A radio button runs its handler whenever it becomes checked, by the user or by the
  // program (the identity display checks the sensor kind).
  auto checked = [this](QAbstractButton* button, void (TMainForm::*handler)(TObject*)) {
    connect(button, &QAbstractButton::toggled, this, [this, handler](bool on) {
      if (on) (this->*handler)(this);
    });
  };
  checked(RbV, &TMainForm::RbV0Click);
  checked(RbR, &TMainForm::RbR0Click);
  checked(RbPot, &TMainForm::RbPot0Click);
  checked(RbTC, &TMainForm::RbTC0Click);
  checked(RdUnLock, &TMainForm::RdUnLockClick);
  checked(RdLock, &TMainForm::RdLockClick);
}

// ---------------------------------------------------------------------------------------
// List builders

void TMainForm::StartFilteredList(std::int32_t write, std::initializer_list<std::int32_t> jobs) {
  TJobList& list = Jobs();
  list.LastJob = write;
  list.JobIndex = 0;
  int slot = 0;
  for (std::int32_t code : jobs) {
    if (IsJobSupported(code)) slot = list.Append(code, slot);
  }
  list.Append(Job::EndOfSequence, slot);
  list.Busy = true;
}

void TMainForm::StartInsertedList(std::initializer_list<std::int32_t> jobs) {
  TJobList& list = Jobs();
  list.Start(Job::EndOfSequence);
  for (auto it = std::rbegin(jobs); it != std::rend(jobs); ++it) list.Insert(*it);
  list.Busy = true;
}

// ---------------------------------------------------------------------------------------
// Transmitter page: tag, descriptor, date and message. Their lists end in the measure
// polling of the page.

void TMainForm::BtnWR_TAGClick(TObject*) { Jobs().StartList({303, 500, 201, 1}); }

void TMainForm::BtnWR_TAGAltClick(TObject*) { Jobs().StartList({201, 1}); }

void TMainForm::BtnWR_MSGClick(TObject*) { Jobs().StartList({307, 500, 200, 1}); }

void TMainForm::BtnWR_MSGAltClick(TObject*) { Jobs().StartList({200, 1}); }

// ---------------------------------------------------------------------------------------
// Parameters page

void TMainForm::BtnWR_UNITClick(TObject*) { StartFilteredList(301, {301, 202, 203, 222, 219}); }

void TMainForm::BtnWR_UNITAltClick(TObject*) { Jobs().StartList({202, 203, 500}); }

void TMainForm::BtnWR_RANGEClick(TObject*) { StartFilteredList(302, {302, 203, 222, 202, 219}); }

void TMainForm::BtnWR_RangeAltClick(TObject*) { Jobs().StartList({203, 500}); }

void TMainForm::BtnWR_DAMPClick(TObject*) { Jobs().StartList({304, 203, 500}); }

// The failure current goes with the whole status word; the first job runs at once.
void TMainForm::BtnWR_DEFClick(TObject*) {
  Transmetteur.Fault2High = RdDefHigh->isChecked() ? 1 : 0;
  Transmetteur.BuildStatusRegister();
  Jobs().StartList({308, 205, 500});
  Evenement.SetInterval(50);
}

void TMainForm::BtnWR_DEFAltClick(TObject*) {
  Jobs().StartList({205, 500});
  Evenement.SetInterval(50);
}

void TMainForm::BtnLin10Click(TObject*) { Jobs().Start(311); }

void TMainForm::BtnLin20Click(TObject*) { Jobs().Start(312); }

// Only bit 0 of the status word changes; the read-back shows the device's protection.
void TMainForm::SetWriteProtection(bool locked) {
  BtnLock->setVisible(locked);
  BtnUnlock->setVisible(!locked);
  if (locked) {
    Transmetteur.StatusRegister |= 1;
  } else {
    Transmetteur.StatusRegister &= ~std::int32_t{1};
  }
  Jobs().StartList({308, 205, 500});
  Evenement.SetInterval(50);
}

void TMainForm::BtnLock0Click(TObject*) { SetWriteProtection(false); }

void TMainForm::BtnUnlock0Click(TObject*) { SetWriteProtection(true); }

// ---------------------------------------------------------------------------------------
// Sensor page: serial and assembly numbers

void TMainForm::BtnWR_SNClick(TObject*) { Jobs().StartList({306, 202, 500}); }

void TMainForm::BtnWR_SNAltClick(TObject*) { Jobs().StartList({202, 500}); }

void TMainForm::BtnWR_ASSNBClick(TObject*) { Jobs().StartList({305, 204, 500}); }

void TMainForm::BtnWR_ASSNBAltClick(TObject*) { Jobs().StartList({204, 500}); }

// ---------------------------------------------------------------------------------------
// Sensor page: the sensor kind

void TMainForm::ShowSensorPanel(TPanel* active) {
  for (TPanel* panel : {PanR, PanTC, PanV, PanPot}) {
    const bool on = panel == active;
    panel->setFrameStyle(on ? QFrame::Panel | QFrame::Raised : QFrame::NoFrame);
    panel->setEnabled(on);
  }
}

void TMainForm::RbR0Click(TObject*) {
  ShowSensorPanel(PanR);
  PanPot2->hide();
}

void TMainForm::RbTC0Click(TObject*) {
  ShowSensorPanel(PanTC);
  PanPot2->hide();
}

void TMainForm::RbV0Click(TObject*) {
  ShowSensorPanel(PanV);
  PanPot2->hide();
}

// The secondary input's limits exist only on these device types.
void TMainForm::RbPot0Click(TObject*) {
  ShowSensorPanel(PanPot);
  const Byte t = Transmetteur.DeviceType;
  PanPot2->setVisible(t == 154 || t == 218 || t == 203 || t == 75);
}

void TMainForm::SendSensorInfo(Byte kind, const QComboBox* connection, const QComboBox* type) {
  // No item chosen would send a wrong sensor to the device.
  if (connection->currentIndex() < 0 || type->currentIndex() < 0) {
    app_.Ui.Beep();
    return;
  }
  Transmetteur.SensorKind = kind;
  Transmetteur.SensorConnection = static_cast<Byte>(connection->currentIndex());
  Transmetteur.SensorType = static_cast<Byte>(type->currentIndex());
  Transmetteur.SensorInfo = SensorInfoByte(Transmetteur.SensorKind, Transmetteur.SensorConnection, Transmetteur.SensorType);
  Jobs().StartList({317, 202, 500});
}

// The identity display checks at most one kind, so at most one branch acts.
void TMainForm::BtnWR_EXTRAClick(TObject*) {
  if (RbPot->isChecked() && !PanPot2->isHidden()) Jobs().StartList({323, 500});
  if (RbTC->isChecked()) SendSensorInfo(3, CbTC2, CbTC1);
  if (RbR->isChecked()) SendSensorInfo(1, CbR2, CbR1);
  if (RbV->isChecked()) SendSensorInfo(0, CbV2, CbV1);
}

// While the link fails, the sequencer sends LastJob again: the sensor information, not
// the limits, which only some devices answer.
void TMainForm::BtnWR_EXTRAAltClick(TObject*) {
  Jobs().StartList({223, 213, 202, 500});
  Jobs().LastJob = 213;
}

void TMainForm::BitBtnLangue3Click(TObject*) { Jobs().StartList({224, 500}); }

void TMainForm::BitBtnLangue4Click(TObject*) {
  const char ds = FormatSettings().DecimalSeparator;
  EdAI1N->SetText(std::string("75") + ds + "00");
  EdAI1UL->SetText(std::string("100") + ds + "0");
  EdAI1LL->SetText(std::string("-100") + ds + "0");
}

// ---------------------------------------------------------------------------------------
// Alarms and display pages

void TMainForm::BtnWR_Alr1Click(TObject*) { StartInsertedList({320}); }

void TMainForm::BtnWR_Alr1AltClick(TObject*) { StartInsertedList({220}); }

void TMainForm::BtnWR_Alr2Click(TObject*) { StartInsertedList({321}); }

void TMainForm::BtnWR_Alr2AltClick(TObject*) { StartInsertedList({221}); }

// The device scales alarm 1's set point by the display's decimals: a change of decimals
// changes the alarm values it shows, which the user is told before the write.
void TMainForm::Btn_WR_ExStatusClick(TObject*) {
  const int d = LCD->PointDecimal() - static_cast<int>(Transmetteur.DecimalPoint);
  if (Transmetteur.Alarm1.SetPointEditable && d != 0 && Forms().WarningAlrForm) {
    Forms().WarningAlrForm->Tag = d;
    Forms().WarningAlrForm->ShowModal();
  }
  if (IsJobSupported(219)) {
    StartInsertedList({322, 219, 202, 203, 220, 221});
  } else {
    StartInsertedList({322, 202, 203, 220, 221});
  }
}

void TMainForm::Btn_RD_ExStatusAltClick(TObject*) { StartInsertedList({222}); }

void TMainForm::BtnWR_PVClick(TObject*) { StartInsertedList({319, 219, 202, 203}); }

void TMainForm::BtnWR_PVAltClick(TObject*) { StartInsertedList({219, 202, 203}); }

// ---------------------------------------------------------------------------------------
// The maker page's job buttons

void TMainForm::BtnParamCheckClick(TObject*) { Jobs().Start(225); }

void TMainForm::BtnRomCheckClick(TObject*) { Jobs().Start(207); }

void TMainForm::BtStackClick(TObject*) { Jobs().Start(214); }

void TMainForm::BtMaxSegClick(TObject*) { Jobs().Start(411); }

void TMainForm::RdUnLockClick(TObject*) { Jobs().Start(412); }

void TMainForm::RdLockClick(TObject*) { Jobs().Start(413); }

void TMainForm::BtnReadADCClick(TObject*) { Jobs().Start(414); }

void TMainForm::BtnEClick(TObject*) { Jobs().Start(415); }

void TMainForm::BtnZClick(TObject*) { Jobs().Start(416); }

void TMainForm::BtnResetCfgClick(TObject*) { Jobs().Start(419); }
