// What the main window shows of the connected transmitter: its identity with the controls
// and units its type allows, the masks and formats that follow its decimals, its alarms,
// and the information panel of the search page.

#include <QComboBox>
#include <QGroupBox>
#include <QTabWidget>

#include "app/Dessin.h"
#include "app/Erreur.h"
#include "app/OfflineSelect.h"
#include "app/Texts.h"
#include "app/UiServices.h"
#include "app/Xfert.h"
#include "app/core/DeviceType.h"
#include "app/core/DisplayFormat.h"
#include "app/core/TagText.h"
#include "app/main.h"
#include "app/tstXT.h"

void TMainForm::SetRangeMasks(TObject*, unsigned decimals) {
  const std::string mask = RangeEditMask(decimals, FormatSettings().DecimalSeparator);
  for (TMaskEdit* edit : {EdURV, EdLRV, EdUPV, EdLPV}) edit->SetEditMask(mask);
  RangeFormat = RangeNumberFormat(decimals);
}

void TMainForm::ShowAlarm(TObject*, int alarm) {
  if (alarm != 1 && alarm != 2) return;
  const TAlarmInfo& a = alarm == 1 ? Transmetteur.Alarm1 : Transmetteur.Alarm2;
  TMaskEdit* setPoint = alarm == 1 ? EdAlr1 : EdAlr2;
  TMaskEdit* hysteresis = alarm == 1 ? EdHys1 : EdHys2;
  TMaskEdit* delay = alarm == 1 ? EdDel1 : EdDel2;
  QAbstractButton* normallyOpen = alarm == 1 ? RdRelNo1 : RdRelNo2;
  QAbstractButton* normallyClosed = alarm == 1 ? RdRelNf1 : RdRelNf2;

  const TFormatSettings& fs = FormatSettings();
  const std::string mask = AlarmEditMask(a.Decimals, fs.DecimalSeparator);
  const std::string format = AlarmNumberFormat(a.Decimals);
  const double scale = AlarmScale(a.Decimals);
  setPoint->SetEditMask(mask);
  hysteresis->SetEditMask(mask);
  setPoint->setEnabled(a.SetPointEditable);
  setPoint->SetText(FormatFloat(format, a.SetPoint / scale, fs));
  hysteresis->setEnabled(a.HysteresisEditable);
  hysteresis->SetText(FormatFloat(format, a.Hysteresis / scale, fs));
  delay->setEnabled(a.DelayEditable);
  delay->SetText(FormatFloat("#0", a.Delay, fs));
  normallyOpen->setEnabled(a.RelayEditable);
  normallyClosed->setEnabled(a.RelayEditable);
  SetChecked(a.RelayNormallyClosed != 0 ? *normallyClosed : *normallyOpen, true);
}

std::optional<TAlarmInfo> TMainForm::BuildAlarmRecord(TObject*, int alarm) {
  if (alarm != 1 && alarm != 2) return TAlarmInfo{};
  const TAlarmInfo& model = alarm == 1 ? Transmetteur.Alarm1 : Transmetteur.Alarm2;
  const int scale = AlarmScale(model.Decimals);
  // Each text that is not a number beeps; nothing is sent then.
  auto convert = [&](const TMaskEdit* edit, int by) {
    const auto v = StrToScaledInt16(edit->Text(), by, FormatSettings());
    if (!v) app_.Ui.Beep();
    return v;
  };
  const auto setPoint = convert(alarm == 1 ? EdAlr1 : EdAlr2, scale);
  const auto hysteresis = convert(alarm == 1 ? EdHys1 : EdHys2, scale);
  const auto delay = convert(alarm == 1 ? EdDel1 : EdDel2, 1);
  if (!setPoint || !hysteresis || !delay) return std::nullopt;
  return AlarmRecord(model, *setPoint, *hysteresis, *delay, (alarm == 1 ? RdRelNo1 : RdRelNo2)->isChecked());
}

void TMainForm::ShowIdentity(TObject* sender) {
  const TXmt& x = Transmetteur;
  Range_Unit->SetAllUnits();
  for (QWidget* w : std::initializer_list<QWidget*>{BtnPV, BtnZero, BtnPE, GrPDafMod, GrPVRange}) w->hide();
  SetRangeMasks(sender, 99);  // the default row until the display's decimals are read
  BtnLock->setEnabled(false);
  BtnUnlock->setEnabled(false);
  GrBoxDef->hide();
  SensorPageControl->hide();
  BtnLin1->setEnabled(false);
  BtnLin2->setEnabled(false);
  CkDispUnit->hide();
  LbIdent->SetCaption(std::to_string(x.DeviceId));
  LbMarque->SetCaption(x.ManufacturerName);
  LbProduit->SetCaption(x.ModelName);

  if (x.Is_Ostrel) {
    BtnLock->setEnabled(true);
    BtnUnlock->setEnabled(true);
    GrBoxDef->show();
    SensorPageControl->show();
    if ((x.DeviceType & 0x70) >= 0x40) {
      SetTexts(*RdDefLow, "3.5 mA", "3,5 mA");
      SetHints(*RdDefLow, "Default current value = 3.5 mA", "Courant de défaut = 3,5 mA");
    } else {
      SetTexts(*RdDefLow, "3.8 mA", "3,8 mA");
      SetHints(*RdDefLow, "Default current value = 3.8 mA", "Courant de défaut = 3,8 mA");
    }
    SetTexts(*RdDefHigh, "22.0 mA", "22,0 mA");
    SetHints(*RdDefHigh, "Default current value = 22.0 mA", "Courant de défaut = 22,0 mA");
    const unsigned k = DeviceInputKind(x.DeviceType);
    const bool linearisable = k == 0 || k == 2;
    if (linearisable) {
      BtnLin1->setEnabled(true);
      BtnLin2->setEnabled(true);
    }
    Forms().DessinForm->EnableTransfers(linearisable);
    for (QWidget* w : std::initializer_list<QWidget*>{CbR1, CbR2, CbTC1, CbTC2, CbV1, CbV2, CbPot1, CbPot2}) w->setEnabled(false);
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{RbV, RbR, RbPot, RbTC}) SetChecked(*b, false);
    ShowSensorKind(DeviceSensorCode(x.DeviceType));
  }
  EdCfgCC->SetText(std::to_string(x.ConfigChangeCounter));
}

// The sensor kind, its controls and the unit lists that the type's sensor code selects.
void TMainForm::ShowSensorKind(unsigned code) {
  auto units = [&](std::span<const std::int32_t> list, bool pvToo) {
    Range_Unit->SetUnitList(list);
    if (pvToo) PV_Unit->SetUnitList(list);
  };
  auto enable = [](std::initializer_list<QWidget*> ws) {
    for (QWidget* w : ws) w->setEnabled(true);
  };
  auto show = [](std::initializer_list<QWidget*> ws) {
    for (QWidget* w : ws) w->show();
  };
  switch (code) {
    case 0: case 4: case 12:
      RbV->setChecked(true);
      enable({CbV1, CbV2});
      units(PercentUnitList(), false);
      break;
    case 1:
      RbR->setChecked(true);
      units(ResistanceUnitList(), false);
      break;
    case 2:
      RbPot->setChecked(true);
      units(PercentUnitList(), false);
      break;
    case 3:
      RbTC->setChecked(true);
      enable({CbTC1, CbTC2});
      units(ThermocoupleUnitList(), false);
      break;
    case 5: case 9: case 13:
      RbR->setChecked(true);
      enable({CbR1, CbR2});
      units(ResistanceUnitList(), false);
      break;
    case 6: case 14:
      RbPot->setChecked(true);
      show({BtnPV});
      units(ProcessUnitList(), true);
      break;
    case 7: case 11:
      RbTC->setChecked(true);
      units(ThermocoupleUnitList(), false);
      break;
    case 10:
      RbPot->setChecked(true);
      show({GrPDafMod, GrPVRange, BtnPV});
      units(ProcessUnitList(), true);
      break;
    case 17: case 21:
      RbR->setChecked(true);
      enable({CbR1, CbR2});
      show({GrPDafMod, CkDispUnit});
      units(ResistanceUnitList(), false);
      break;
    case 18: case 22:
      RbPot->setChecked(true);
      show({GrPDafMod, CkDispUnit, GrPVRange, BtnZero, BtnPE, BtnPV});
      units(ProcessUnitList(), true);
      break;
    default:
      break;  // no kind: the range keeps all units
  }
}

// ---------------------------------------------------------------------------------------
// The search page's information panel and the search button

void TMainForm::ClearDeviceInfo(TObject*) {
  for (TLabel* l : {LbComUniv, LbSpec, LbHard, LbSoft}) l->SetCaption("0");
  LbProdInfo->SetCaption("Type");
  InfoPanel->hide();
  GrInfo->setTitle(QString());
  BtnProd->setEnabled(false);
}

void TMainForm::ShowDeviceInfo(TObject*) {
  const TXmt& x = Transmetteur;
  if (x.GetConnected() == 0) return;
  LbComUniv->SetCaption(std::to_string(x.UniversalRevision));
  LbSpec->SetCaption(std::to_string(x.DeviceRevision));
  LbSoft->SetCaption(std::to_string(x.SoftwareRevision));
  LbHard->SetCaption(std::to_string(x.HardwareRevision));
  LbProdInfo->SetCaption(x.ManufacturerName + " / " + x.ModelName);
  InfoPanel->show();
  if (!BtnSearchTAG->isChecked()) {
    QTreeWidgetItem* selected = TreeView->Selected();
    GrInfo->setTitle(selected ? selected->text(0) : QString());
  }
  BtnProd->setEnabled(true);
}

// The tag asked for goes to the loop as packed text: a character it has not would ask for
// another tag.
bool TMainForm::SearchTagFits() const {
  const auto tag = FromQExactly(EditConnectbyTAG->text());
  return tag && IsPackedText(*tag);
}

void TMainForm::BtnRecherche(TObject* sender) {
  if (BtnSearchTAG->isChecked()) {
    if (!SearchTagFits()) {
      app_.Ui.ShowMessage(Cp(TagCharacterText(Langue())));
      app_.Ui.Beep();
      return;
    }
  }
  if (OfflineMode) Forms().OfflineSelectForm->ShowModal();
  ResetToSearch();
  Jobs().Busy = true;
  Transmetteur.SetConnected(0);
  for (int k = 0; k <= 15; ++k) {
    QTreeWidgetItem* node = TreeView->Node(k + 1);
    TreeView->SetImages(*node, -1, 1, -1);
    TTreeView::SetText(*node, std::to_string(k));
  }
  ClearDeviceInfo(sender);
  if (BtnSearchTAG->isChecked()) {
    Jobs().StartList({111, 112});
  } else {
    Jobs().StartList({100, 101, 102, 103, 104});
  }
  ScanAddress = 0;
  ScanLimit = 16;
  Evenement.SetInterval(50);
  if (Forms().DessinForm) Forms().DessinForm->Close();
  if (Forms().ErreurForm) Forms().ErreurForm->Close();
  if (Forms().TstXTForm) Forms().TstXTForm->Close();
  if (Forms().XfertForm) Forms().XfertForm->Close();
}
