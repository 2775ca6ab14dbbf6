// The answer dispatch: every answer the link accepts ends here. It lets the link decode the
// answer into the model, shows what the answered command brought (in this window or in the
// window that waits for it), queues follow-up jobs, shows the device status byte and sets
// the sequencer's next tick 50 ms ahead.

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>

#include "app/Derive.h"
#include "app/Dessin.h"
#include "app/E2Prom.h"
#include "app/Erreur.h"
#include "app/InSelect.h"
#include "app/Ns.h"
#include "app/StatusComm.h"
#include "app/StatusXT.h"
#include "app/Tamb.h"
#include "app/Texts.h"
#include "app/TimeDate.h"
#include "app/UiServices.h"
#include "app/Xfert.h"
#include "app/core/DisplayFormat.h"
#include "app/main.h"
#include "app/tstXT.h"
#include "model/Units.h"

void TMainForm::CommDataArrival(TObject* sender) {
  if (!MainHart) return;
  MainHart->HandleResponse(Transmetteur);
  CD_LED->SetLedStatus(false);
  // Only answers of a successful command carry data; the link decodes no other.
  if (Transmetteur.GetErrorCode() < 64) DispatchAnswer(sender, MainHart->LastCommand);

  const int status = Transmetteur.GetDeviceStatus();
  TStatusCommForm& statusForm = *Forms().StatusCommForm;
  statusForm.ShowDeviceStatus(status);
  LbDEP->setVisible((status & 0x03) != 0);  // a variable out of its limits
  if (MainHart->LastCommand == 48) {
    statusForm.ShowAdditionalStatus();
  } else {
    statusForm.ShowStatusBoxesOnly();
  }
  Evenement.SetInterval(50);
}

namespace {

// The text of a PV and its unit.
std::string ValueAndUnit(const char* pattern, float value, std::int32_t unitCode, TLangue langue,
                         const TFormatSettings& fs) {
  return FormatFloat(pattern, value, fs) + "  " + UnitCodeToText(static_cast<Byte>(unitCode), langue);
}

}  // namespace

void TMainForm::DispatchAnswer(TObject* sender, std::int32_t command) {
  TXmt& x = Transmetteur;
  const TFormatSettings& fs = FormatSettings();
  auto range = [&](float v) { return FormatFloat(RangeFormat, v, fs); };

  switch (command) {
    case 0:
      ShowIdentity(sender);
      break;
    case 1:
      switch (PVFormat) {
        case 0: LbPV->SetCaption(x.PVText); break;
        case 1: LbPV->SetCaption(ValueAndUnit("0.0", x.PV, x.PVUnitCode, Langue(), fs)); break;
        case 2: LbPV->SetCaption(ValueAndUnit("0", x.PV, x.PVUnitCode, Langue(), fs)); break;
        default: break;
      }
      break;
    case 2:
      LbCurrent->SetCaption(FormatFloat("0.000", x.LoopCurrent, fs) + " mA");
      LbPourcent->SetCaption(FormatFloat("0.00", x.PercentOfRange, fs) + " %");
      Gauge->setValue(GaugePosition(x.PercentOfRange));
      if (Forms().DessinForm->Visible()) {
        // The over-range mark as the previous answer left it.
        Forms().DessinForm->ShowMeasure(!LbDEP->isHidden(), LbPV->Caption(), x.PercentOfRange);
      }
      break;
    case 3:
      switch (PVFormat) {
        case 0: LbPV->SetCaption(ValueAndUnit("0.00", x.PV, x.PVUnitCode, Langue(), fs)); break;
        case 1: LbPV->SetCaption(ValueAndUnit("0.0", x.PV, x.PVUnitCode, Langue(), fs)); break;
        case 2: LbPV->SetCaption(ValueAndUnit("0", x.PV, x.PVUnitCode, Langue(), fs)); break;
        default: break;
      }
      LbPV1->SetCaption(x.PVText);
      LbPV2->SetCaption(x.SVText);
      LbPV3->SetCaption(x.TVText);
      LbPV4->SetCaption(x.QVText);
      if (AI1NominalPending) {
        SecondaryInputNominalStep();
        AI1NominalPending = false;
      }
      break;
    case 6: MovePollingAddressNode(); break;
    case 11:
      ShowIdentity(sender);
      ShowDeviceInfo(sender);
      break;
    case 12:
    case 17:
      EdMessage->SetText(x.Message);
      break;
    case 13:
    case 18: {
      if (QTreeWidgetItem* node = AddressNode(MainHart->PollingAddress)) TTreeView::SetText(*node, x.Tag);
      EdTAG->SetText(x.Tag);
      EdDescripteur->SetText(x.Descriptor);
      TFormatSettings dateFormat = fs;
      dateFormat.ShortDateFormat = "DD/MM/YYYY";
      if (const auto date = StrToDate(x.DateText, dateFormat)) {
        int y = 0, m = 0, d = 0;
        DecodeDate(*date, y, m, d);
        const QSignalBlocker programmatic(DateTimePicker);  // its change handler is the user's
        DateTimePicker->setDate(QDate(y, m, d));
      }
      break;
    }
    case 14:
      EdSNb->SetText(FormatFloat("######0", x.SensorSerialNumber, fs));
      LbLSL->SetCaption(range(x.SensorLowerLimit));
      LbUSL->SetCaption(range(x.SensorUpperLimit));
      LbMinSpan->SetCaption(range(x.MinimumSpan));
      Sensor_Unit->SetUniteNb(x.SensorUnit);
      break;
    case 15:
      ShowLinearisationButtons();
      EdLRV->SetText(range(x.LowerRangeValue));
      EdURV->SetText(range(x.UpperRangeValue));
      EdDAMP->SetText(FormatFloat("#0.0", x.Damping, fs));
      Range_Unit->SetUniteNb(x.RangeUnit);
      PV_Unit->SetUniteNb(x.SensorUnit);
      break;
    case 16:
    case 19:
      EdAssNb->SetText(FormatFloat("######0", x.FinalAssemblyNumber, fs));
      break;
    case 41:
      if (x.Is_Ostrel) Jobs().Insert(210);  // the self-test result is read next
      break;
    case 44:
      Range_Unit->SetUniteNb(x.RangeUnit);
      break;
    case 47:
      ShowLinearisationButtons();
      break;
    case 48:
      Forms().StatusCommForm->Show();
      StatusCommMenu->setChecked(true);
      break;
    case 89:
      Forms().TimeDateFrom->ClockSetAnswer(sender, x);
      break;
    case 90:
      Forms().TimeDateFrom->ClockReadAnswer(sender, x);
      break;
    case 128:
      Forms().NSForm->Close();
      Jobs().Busy = false;
      TabbedNotebook->SetPageIndex(0);
      BtnRecherche(sender);
      break;
    case 136:
    case 137:
      ShowSensorDescription();
      break;
    case 140:
      Forms().InputSelectForm->Close();
      break;
    case 143:
    case 144:
      SecondaryInputLimitStep();
      break;
    case 189:
      LbParamCheck->SetCaption(IntToHex(static_cast<std::uint32_t>(x.ParamChecksum) & 0xFFFF, 4));
      break;
    case 190:
      LbRomCheck->SetCaption(WordText(x.RomChecksum));
      break;
    case 191:
      LbStackStatus->SetCaption(WordText(x.TopOfStack));
      break;
    case 192:
    case 193:
      Forms().E2PromForm->WordReceived(static_cast<Byte>(x.EepromAddress & 0xFF), x.EepromValue);
      break;
    case 194:
    case 195:
      Forms().StatusXTForm->ShowStatusRegister(x);
      BtnLock->setVisible(x.WriteProtect != 0);
      BtnUnlock->setVisible(x.WriteProtect == 0);
      SetChecked(*RdDefLow, x.Fault2High == 0);
      SetChecked(*RdDefHigh, x.Fault2High == 1);
      break;
    case 196:
      Forms().TstXTForm->ShowSelfTestResult(x.SelfTestResult);
      break;
    case 197:
    case 198:
      Forms().TambForm->ShowPeakValues(x.PeakMinimum, x.PeakMaximum);
      break;
    case 200:
      Forms().DeriveForm->SetCoefs1(x.DriftZ1, x.DriftG1);
      Forms().DeriveForm->SetCoefs2(x.DriftZ2, x.DriftG2);
      break;
    case 201: UploadStep(); break;
    case 202: DownloadStep(); break;
    case 204: SegmentCountStep(); break;
    case 205:
      LbMaxSeg->SetCaption(x.LockState == 1 ? std::string("--") : std::to_string(x.MaxSegments));
      break;
    case 206:
      if (x.LockState == 1) {
        LbMaxSeg->SetCaption("--");
        Jobs().Start(312);  // a locked device has its linearisation switched off
      }
      if (x.LockState == 255) {
        SetChecked(*RdLock, false);
        SetChecked(*RdUnLock, false);
      }
      break;
    case 208:
      PV_Unit->SetUniteNb(x.SensorUnit);
      EdUPV->SetText(range(x.PVUpperValue));
      EdLPV->SetText(range(x.PVLowerValue));
      break;
    case 210:
      lbADC_V1->SetCaption(FormatFloat("0.000 000 000", x.AdcValue1, fs));
      lbADC_V2->SetCaption(FormatFloat("0.000 000 000", x.AdcValue2, fs));
      break;
    case 211:
    case 212:
      ShowAlarm(sender, x.AlarmSelector);
      break;
    case 213:
    case 214:
      SetRangeMasks(sender, x.DecimalPoint);
      if (x.DecimalPoint <= 4) TrackBarPDaf->setValue(4 - x.DecimalPoint);
      CkDispUnit->setChecked(x.UnitDisplay != 0);
      switch (x.LastDigitStep) {
        case 0: RdMod0->setChecked(true); break;
        case 1: RdMod2->setChecked(true); break;
        case 2: RdMod5->setChecked(true); break;
        case 3: RdMod10->setChecked(true); break;
        default: break;
      }
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------------------------------
// Steps of the cases

// The tree node of a polling address; null for an address the tree has no node for.
QTreeWidgetItem* TMainForm::AddressNode(int address) const {
  return address >= 0 && address <= 15 ? TreeView->Node(address + 1) : nullptr;
}

// Command 6: the connected device's node moves to its new address.
void TMainForm::MovePollingAddressNode() {
  const int n = MainHart->PollingAddress;
  QTreeWidgetItem* target = AddressNode(n);
  QTreeWidgetItem* current = AddressNode(CurrentAddress);
  if (!target || !current) {
    app_.Ui.Beep();
    return;
  }
  const std::string text = TTreeView::Text(*current);
  const int image = TTreeView::ImageIndex(*current);
  const int selected = TTreeView::SelectedIndex(*current);
  const int state = TTreeView::StateIndex(*current);
  TTreeView::SetText(*target, text);
  TreeView->SetImages(*target, image, selected, state);
  TreeView->SetSelected(target);
  TTreeView::SetText(*current, std::to_string(CurrentAddress));
  TreeView->SetImages(*current, -1, 1, -1);
  current->setSelected(false);
  if (TreeView->Selected() == current) TreeView->SetSelected(nullptr);
  CurrentAddress = n;
}

void TMainForm::ShowLinearisationButtons() {
  const bool table = Transmetteur.TransferFunction == 253;
  BtnLin1->setVisible(!table);
  BtnLin2->setVisible(table);
}

void TMainForm::ShowSensorDescription() {
  const TXmt& x = Transmetteur;
  switch (x.SensorKind) {
    case 0:
      CbV2->setCurrentIndex(x.SensorConnection);
      CbV1->setCurrentIndex(x.SensorType & 1);
      break;
    case 1:
      CbR2->setCurrentIndex(x.SensorConnection);
      CbR1->setCurrentIndex(x.SensorType);
      break;
    case 3:
      if (x.SensorConnection <= 1) CbTC2->setCurrentIndex(x.SensorConnection);
      CbTC1->setCurrentIndex(x.SensorType);
      break;
    default:
      break;
  }
}

std::string TMainForm::WordText(std::int32_t word) {
  return IntToHex((static_cast<std::uint32_t>(word) >> 8) & 0xFF, 2) + IntToHex(static_cast<std::uint32_t>(word) & 0xFF, 2);
}

// Shows the secondary input's limits as percentages of a nominal value.
void TMainForm::ShowAI1Nominal(double nominal) {
  const TFormatSettings& fs = FormatSettings();
  const TAI1Percents p = AI1Percents(nominal, Transmetteur.AI1UpperLimit, Transmetteur.AI1LowerLimit);
  EdAI1N->SetText(FormatFloat("##0.00", nominal, fs));
  EdAI1UL->SetText(FormatFloat("##0.0", p.Upper, fs));
  EdAI1LL->SetText(FormatFloat("##0.0", -p.Lower, fs));
}

// Answer 3 after job 224: the secondary variable becomes the nominal value.
void TMainForm::SecondaryInputNominalStep() {
  const float n = Transmetteur.SV;
  if (n >= 0 && n <= 150) {
    ShowAI1Nominal(n);
    ImgWrnAI1N->hide();
  } else {
    app_.Ui.Beep();
    ImgWrnAI1N->setToolTip(Q(Tx(Langue(), "Bad potentionmeter value", "Valeur du potentiomètre incorrecte")));
    ImgWrnAI1N->show();
  }
}

// Answers 143 and 144: the limits, and their middle as the nominal value.
void TMainForm::SecondaryInputLimitStep() {
  const TFormatSettings& fs = FormatSettings();
  LbAI1N->SetCaption(FormatFloat("##0.0", 100, fs));
  LbAI1UL->SetCaption(FormatFloat("##0.0", Transmetteur.AI1UpperLimit, fs));
  LbAI1LL->SetCaption(FormatFloat("##0.0", Transmetteur.AI1LowerLimit, fs));
  const float nominal = (Transmetteur.AI1UpperLimit + Transmetteur.AI1LowerLimit) / 2.0f;
  ShowAI1Nominal(nominal);
}

// Answer 201 of "PC->XT": the next point, until the last one was acknowledged.
void TMainForm::UploadStep() {
  TXfertForm& xfert = *Forms().XfertForm;
  if (SegmentCounter == 0) {
    UploadCount = Forms().DessinForm->Draw1->LastIndex;
    xfert.StartProgress(UploadCount);
  }
  xfert.SetPosition(SegmentCounter + 1);
  // The device's table ends at point 47.
  if (UploadCount > SegmentCounter && SegmentCounter < 47) {
    if (Jobs().JobIndex > 0) --Jobs().JobIndex;  // job 309 runs again
    ++SegmentCounter;
  } else {
    xfert.Close();
  }
}

// Answer 202 of "XT->PC": the point is kept, and the next one asked until the last; then
// the curve takes them all, so that a transfer that fails half-way leaves it as it was.
void TMainForm::DownloadStep() {
  const std::int32_t u = Transmetteur.SegmentIndex;
  Forms().XfertForm->SetPosition(u + 1);
  const std::int32_t count = Transmetteur.SegmentCount;
  // Only a point of the transfer under way, of a count the device's table can hold.
  if (u != SegmentCounter || count < 1 || count > 47 || u > count) return;
  DownloadPoints[static_cast<std::size_t>(u)] = {Transmetteur.SegmentX, Transmetteur.SegmentY};
  if (count == SegmentCounter) {
    TDraw& draw = *Forms().DessinForm->Draw1;
    std::copy(DownloadPoints.begin(), DownloadPoints.begin() + count + 1, draw.Points.begin());
    draw.LastIndex = count;
    draw.UpdateCurve();
    Jobs().Set(0, Job::EndOfSequence);
    Jobs().Set(1, 0);
    Forms().XfertForm->Close();
  } else {
    if (Jobs().JobIndex > 0) --Jobs().JobIndex;  // job 209 runs again
    ++SegmentCounter;
  }
}

// Answer 204, the first of "XT->PC": the number of segments to read.
void TMainForm::SegmentCountStep() {
  const std::int32_t v = Transmetteur.SegmentCount;
  if (v >= 1 && v <= 47) {
    Forms().XfertForm->SetPosition(0);
    Forms().XfertForm->StartProgress(v);
    SegmentCounter = 0;
  } else if (v != 0) {
    Transmetteur.SegmentCount = 0;
    Forms().ErreurForm->ShowError(Tx(Langue(), "Bad segment number", "Nombre de segments incorrect"));
  }
}
