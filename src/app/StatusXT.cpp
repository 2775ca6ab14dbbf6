#include "app/StatusXT.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/StdCtrls.h"
#include "app/Texts.h"
#include "app/UiServices.h"
#include "app/core/DisplayFormat.h"
#include "app/core/StatusXTValues.h"
#include "app/main.h"
#include "controls/MyControls.h"

namespace {

template <class T>
T* New(TEdition& edition, QWidget* parent, const char* name, const char* anglais, const char* francais) {
  auto* control = new T(edition, parent);
  control->setObjectName(name);
  SetTexts(*control, anglais, francais);
  return control;
}

TMaskEdit* NewNumberEdit(QWidget* parent, const char* name, const char* mask, const char* text) {
  auto* edit = new TMaskEdit(parent);
  edit->setObjectName(name);
  edit->SetEditMask(mask);
  edit->SetText(text);
  edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
  return edit;
}

}  // namespace

TStatusXTForm::TStatusXTForm(TAppContext& app) : TForm(app, "StatusXTForm") {
  TEdition& ed = app.Edition;
  SetCaption(Tx(Langue(), "Transmitter status register", "Etat du transmetteur"));

  GroupBox1 = New<TGroupBoxLangue>(ed, this, "GroupBox1", "EEPROM", "EEPROM");
  CkWP = New<TCheckBoxLangue>(ed, GroupBox1, "CkWP", "Write protection", "Protection Ecriture");
  CkCache = New<TCheckBoxLangue>(ed, GroupBox1, "CkCache", "Cache memory (read)", "Mémoire Cache (Lecture)");
  EEPRM_CTRL = New<TButtonLangue>(ed, GroupBox1, "EEPRM_CTRL", "Refresh the cache memory", "Rafraichir la mémoire cache");
  connect(EEPRM_CTRL, &QPushButton::clicked, this, [this] { EEPRM_CTRLClick(this); });
  auto* eeprom = new QVBoxLayout(GroupBox1);
  eeprom->addWidget(CkWP);
  eeprom->addWidget(CkCache);
  eeprom->addWidget(EEPRM_CTRL);

  GroupBox2 = New<TGroupBoxLangue>(ed, this, "GroupBox2", "Fault 1", "Défaut 1");
  BtnDef1_L = New<TRadioButtonLangue>(ed, GroupBox2, "BtnDef1_L", "3.8 mA", "3,8 mA");
  BtnDef1_H = New<TRadioButtonLangue>(ed, GroupBox2, "BtnDef1_H", "22.0 mA", "22,0 mA");
  auto* fault1 = new QVBoxLayout(GroupBox2);
  fault1->addWidget(BtnDef1_L);
  fault1->addWidget(BtnDef1_H);

  GroupBox3 = New<TGroupBoxLangue>(ed, this, "GroupBox3", "Fault 2", "Défaut 2");
  BtnDef2_L = New<TRadioButtonLangue>(ed, GroupBox3, "BtnDef2_L", "3.8 mA", "3,8 mA");
  BtnDef2_H = New<TRadioButtonLangue>(ed, GroupBox3, "BtnDef2_H", "22.0 mA", "22,0 mA");
  auto* fault2 = new QVBoxLayout(GroupBox3);
  fault2->addWidget(BtnDef2_L);
  fault2->addWidget(BtnDef2_H);

  auto* numbers = new QWidget(this);
  Label1 = New<TLabelLangue>(ed, numbers, "Label1", "Low power mode duration", "Durée du mode 'Low Power'");
  EdLPM = NewNumberEdit(numbers, "EdLPM", "!99;1;_", "10");
  Label2 = New<TLabelLangue>(ed, numbers, "Label2", "Microcontroller frequency", "Fréquence du microcontrôleur");
  // Three digits: the frequency's byte reaches 255, and a shorter edit would cut what the
  // device answered and write the cut value back.
  EdQZ = NewNumberEdit(numbers, "EdQZ", "!999;1;_", "31");
  for (TMaskEdit* edit : {EdLPM, EdQZ}) edit->Beep = [this] { App().Ui.Beep(); };
  auto* numberGrid = new QGridLayout(numbers);
  numberGrid->setContentsMargins(0, 0, 0, 0);
  numberGrid->addWidget(Label1, 0, 0);
  numberGrid->addWidget(EdLPM, 0, 1);
  numberGrid->addWidget(Label2, 1, 0);
  numberGrid->addWidget(EdQZ, 1, 1);
  numberGrid->setColumnStretch(0, 1);

  BtLecture = New<TBitBtnLangue>(ed, this, "BtLecture", "Read", "Lecture");
  BtEcriture = New<TBitBtnLangue>(ed, this, "BtEcriture", "Write", "Ecriture");
  BtRetour = New<TBitBtnLangue>(ed, this, "BtRetour", "Return", "Retour");
  connect(BtLecture, &QPushButton::clicked, this, [this] { BtLectureClick(this); });
  connect(BtEcriture, &QPushButton::clicked, this, [this] { BtEcritureClick(this); });
  connect(BtRetour, &QPushButton::clicked, this, [this] { BtRetourClick(this); });

  auto* faults = new QHBoxLayout;
  faults->addWidget(GroupBox2);
  faults->addWidget(GroupBox3);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(BtLecture);
  buttons->addWidget(BtEcriture);
  buttons->addWidget(BtRetour);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(GroupBox1);
  layout->addLayout(faults);
  layout->addWidget(numbers);
  layout->addLayout(buttons);
}

void TStatusXTForm::ShowStatusRegister(const TXmt& xmt) {
  CkWP->setChecked(xmt.WriteProtect != 0);
  CkCache->setChecked(xmt.CacheMemory != 0);
  (xmt.Fault1High != 0 ? BtnDef1_H : BtnDef1_L)->setChecked(true);
  (xmt.Fault2High != 0 ? BtnDef2_H : BtnDef2_L)->setChecked(true);
  EdQZ->SetText(std::to_string(xmt.CpuFrequency));
  EdLPM->SetText(std::to_string(xmt.LowPowerDuration));
}

bool TStatusXTForm::StatusFormToXmt() {
  TXmt& xmt = App().Forms.MainForm->Transmetteur;
  xmt.WriteProtect = CkWP->isChecked() ? 1 : 0;
  xmt.CacheMemory = CkCache->isChecked() ? 1 : 0;
  // A fault current that is not 3.8 mA is 22.0 mA, and the window then shows it so.
  if (BtnDef1_L->isChecked()) {
    xmt.Fault1High = 0;
  } else {
    xmt.Fault1High = 1;
    BtnDef1_H->setChecked(true);
  }
  if (BtnDef2_L->isChecked()) {
    xmt.Fault2High = 0;
  } else {
    xmt.Fault2High = 1;
    BtnDef2_H->setChecked(true);
  }

  const TStatusNumbersCheck check = CheckStatusNumbers(EdLPM->Text(), EdQZ->Text());
  switch (check.Result) {
    case TStatusNumbersResult::NotANumber:
      App().Ui.ReportError(IntConversionErrorText(Langue(), check.BadText));
      return false;
    case TStatusNumbersResult::OutOfRange:
      App().Ui.Beep();
      return false;
    case TStatusNumbersResult::Ok:
      break;
  }
  xmt.LowPowerDuration = check.LowPowerDuration;
  xmt.CpuFrequency = check.CpuFrequency;
  xmt.BuildStatusRegister();
  return true;
}

void TStatusXTForm::FormShow() { App().Jobs.Start(205); }

void TStatusXTForm::BtLectureClick(TObject*) { App().Jobs.Start(205); }

void TStatusXTForm::EEPRM_CTRLClick(TObject*) { App().Jobs.Start(408); }

// The list is written in place: this button leaves Busy as it is.
void TStatusXTForm::BtEcritureClick(TObject*) {
  if (!StatusFormToXmt()) return;
  TJobList& jobs = App().Jobs;
  jobs.LastJob = 308;
  jobs.JobIndex = 0;
  jobs.Set(0, 308);
  jobs.Set(1, 205);
  jobs.Set(2, Job::EndOfSequence);
  jobs.Set(3, 0);
}

void TStatusXTForm::BtRetourClick(TObject*) { Close(); }
