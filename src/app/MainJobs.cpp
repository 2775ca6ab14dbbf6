// The sequencer and the job table. Each tick of Evenement runs one job of the list: a
// status text and at most one request to the device, or a step of the list itself. The
// answer comes back through the dispatch (MainDispatch.cpp), which shortens the wait for
// the next tick to 50 ms.

#include <QComboBox>
#include <QDateEdit>
#include <QStatusBar>
#include <cmath>
#include <cstdio>

#include "app/Derive.h"
#include "app/Dessin.h"
#include "app/Ns.h"
#include "app/Tamb.h"
#include "app/Texts.h"
#include "app/TimeDate.h"
#include "app/UiServices.h"
#include "app/core/DisplayFormat.h"
#include "app/main.h"

// ---------------------------------------------------------------------------------------
// The sequencer

void TMainForm::EvenementTimer(TObject*) {
  if (!MainHart) return;
  TJobList& jobs = Jobs();
  jobs.CurrentJob = jobs.At(jobs.JobIndex);
  // A request the device answered by refusing it is done with: sent again it would only be
  // refused again, so the list goes on as after an answer.
  if (MainHart->Erreur.GetCode() == 0 || MainHart->RequestRefused) {
    if (jobs.CurrentJob != 0 && jobs.JobIndex < TJobList::Slots - 1) ++jobs.JobIndex;
    jobs.LastJob = jobs.CurrentJob;
  } else if (jobs.CurrentJob > Job::LastSearchJob && jobs.LastJob > Job::LastSearchJob) {
    // The link failed: the job issued last goes out again instead of the next one.
    jobs.CurrentJob = jobs.LastJob;
  }
  Evenement.SetInterval(2500);  // the answer's time-out; an answer makes it 50 ms
  if (OfflineMode) jobs.CurrentJob = Job::EndOfSequence;
  RunJob(jobs.CurrentJob);
}

// ---------------------------------------------------------------------------------------
// The job table

namespace {
using F = TMainForm;

// The device's linearisation table holds the points 0 to 47; an index or a segment count
// beyond it would reach the device cut to a byte or as a point it has not.
bool InDeviceTable(std::int32_t index) { return index >= 0 && index <= 47; }
}  // namespace

// clang-format off
const TMainForm::TJobRow TMainForm::JobTable[] = {
  // Idle, measure polling and search.
  {0, -1, TJobKind::Status, "", "", TJobArg::None, 0, [](F& f) { f.Evenement.SetInterval(250); return false; }},
  {1, 0, TJobKind::Request, "Read measure", "Lecture des mesures", TJobArg::None, 0,
   [](F& f) { bool sent = f.MainHart->ReadPrimaryVariable(f.Transmetteur); f.AfterMeasureRead(); return sent; }},
  {1, 1, TJobKind::Request, "Read measures", "Lecture de la mesure", TJobArg::None, 0,
   [](F& f) { bool sent = f.MainHart->ReadDynamicVariables(f.Transmetteur); f.AfterMeasureRead(); return sent; }},
  {2, -1, TJobKind::Request, "Read current", "Lecture du courant", TJobArg::None, 0,
   [](F& f) {
     bool sent = f.MainHart->ReadCurrentAndPercent(f.Transmetteur);
     f.Jobs().JobIndex = 0;
     f.Jobs().Set(0, 1);
     return sent;
   }},
  {100, -1, TJobKind::Request, "Search any HART device at address %d !", "Recherche d'un transmetteur à l'adresse %d !", TJobArg::ScanAddress, 0,
   [](F& f) {
     bool sent = f.MainHart->ReadUniqueIdentifier(f.ScanAddress);
     f.MarkSearchedNode();
     f.Jobs().JobIndex = 1;
     return sent;
   }},
  {101, 1, TJobKind::Request, "Device found at address %d !", "Transmetteur trouvé à l'adresse %d !", TJobArg::ScanAddress, 0,
   [](F& f) { f.Jobs().JobIndex = 3; return f.MainHart->ReadTagDescriptorDate(f.Transmetteur); }},
  {101, 0, TJobKind::Request, "Searching !!", "Recherche d'un transmetteur !!", TJobArg::None, 0,
   [](F& f) {
     bool sent = f.MainHart->ReadUniqueIdentifier(f.ScanAddress);
     f.Jobs().JobIndex = 2;
     f.Evenement.SetInterval(750);
     return sent;
   }},
  {102, 1, TJobKind::Request, "Device found at address %d !", "Transmetteur trouvé à l'adresse %d !", TJobArg::ScanAddress, 0,
   [](F& f) {
     f.Jobs().JobIndex = 3;
     f.Evenement.SetInterval(750);
     return f.MainHart->ReadTagDescriptorDate(f.Transmetteur);
   }},
  {102, 0, TJobKind::Control, nullptr, nullptr, TJobArg::None, 0,
   [](F& f) {
     ++f.ScanAddress;
     f.Jobs().JobIndex = f.ScanAddress < f.ScanLimit ? 0 : 4;
     f.Evenement.SetInterval(500);
     return false;
   }},
  {103, -1, TJobKind::Control, nullptr, nullptr, TJobArg::None, 0, [](F& f) { f.MarkFoundNode(); f.Jobs().JobIndex = 5; return false; }},
  {104, -1, TJobKind::Status, "No device ...", "Aucun transmetteur ...", TJobArg::None, 0,
   [](F& f) {
     f.SetStatusPanel(1, "");
     f.TreeView->SetSelected(f.TreeView->Node(0));
     f.ScanAddress = 0;
     f.Jobs().Set(0, 0);
     return false;
   }},
  {111, -1, TJobKind::Request, "Searching !! !", "Recherche d'un transmetteur !! !", TJobArg::None, 0,
   [](F& f) {
     // The tag is read as the job runs: one changed since the click that the device cannot
     // keep is not asked for, and the job stays next until the text is one it can.
     if (!f.SearchTagFits()) {
       f.App().Ui.Beep();
       f.Jobs().JobIndex = 0;
       return false;
     }
     f.Jobs().JobIndex = 1;
     return f.MainHart->FindByTag(f.EditConnectbyTAG->Text());
   }},
  {112, -1, TJobKind::Request, "Searching !! !", "Recherche d'un transmetteur !! !", TJobArg::None, 0,
   [](F& f) { f.Jobs().JobIndex = 2; return f.MainHart->ReadTagDescriptorDate(f.Transmetteur); }},

  // Reads.
  {200, -1, TJobKind::Request, "Read message", "Lecture du Message", TJobArg::None, 0, [](F& f) { return f.MainHart->ReadMessage(f.Transmetteur); }},
  {201, -1, TJobKind::Request, "Read Tag/Descriptor/Date", "Lecture du TAG/Descripeur/Date", TJobArg::None, 0,
   [](F& f) { return f.MainHart->ReadTagDescriptorDate(f.Transmetteur); }},
  {202, -1, TJobKind::Request, "Read sensor information", "Lecture des informations du capteur", TJobArg::None, 0,
   [](F& f) { return f.MainHart->ReadSensorInformation(f.Transmetteur); }},
  {203, -1, TJobKind::Request, "Read output information", "Lecture des informations de la sortie", TJobArg::None, 0,
   [](F& f) { return f.MainHart->ReadOutputInformation(f.Transmetteur); }},
  {204, -1, TJobKind::Request, "Read assembly number", "Lecture du du numéro d'assemblage", TJobArg::None, 0,
   [](F& f) { return f.MainHart->ReadAssemblyNumber(f.Transmetteur); }},
  {205, -1, TJobKind::Request, "Read status register", "Lecture du registre d'état", TJobArg::None, 0,
   [](F& f) { return f.MainHart->ReadStatusRegister(f.Transmetteur); }},
  {206, -1, TJobKind::Request, "Read peak thermal value", "Lecture des températures extrèmes", TJobArg::None, 0,
   [](F& f) { return f.MainHart->ReadPeakThermalValue(f.Transmetteur); }},
  {207, -1, TJobKind::Request, "Read ROM checksum", "Lecture du numéro de la ROM", TJobArg::None, 0,
   [](F& f) { return f.MainHart->ReadRomChecksum(f.Transmetteur); }},
  {208, -1, TJobKind::Request, "Read segment number", "Lecture du nombre de segment", TJobArg::None, 0,
   [](F& f) { return f.MainHart->ReadSegmentNumber(f.Transmetteur); }},
  {209, -1, TJobKind::Request, "Read segments ...N° %d", "Lecture des segments ...N° %d", TJobArg::SegmentCounter, 0,
   [](F& f) {
     return InDeviceTable(f.SegmentCounter) && f.MainHart->ReadSegment(f.Transmetteur, static_cast<Byte>(f.SegmentCounter));
   }},
  {210, -1, TJobKind::Request, "Read autotest result", "Lecture du resultat de l'autotest", TJobArg::None, 0,
   [](F& f) { return f.MainHart->ReadAutotestResult(f.Transmetteur); }},
  {212, -1, TJobKind::Request, "Read thermal drift correction parameter", "Lecture des coefficients de correction en température", TJobArg::None, 0,
   [](F& f) { return f.MainHart->ReadThermalDriftCorrection(f.Transmetteur); }},
  {213, -1, TJobKind::Request, "Read more information about sensor", "Lecture des informations suplémentaires du capteur", TJobArg::None, 50,
   [](F& f) { return f.MainHart->ReadSensorInfo(f.Transmetteur); }},
  {214, -1, TJobKind::Request, "Read top of stack", "Lecture du max de la pile CPU", TJobArg::None, 0,
   [](F& f) { return f.MainHart->ReadTopOfStack(f.Transmetteur); }},
  {215, -1, TJobKind::Request, "Read E²PROM value", "Lecture de l'E²PROM", TJobArg::None, 0,
   [](F& f) { return f.MainHart->ReadE2PromValue(f.Transmetteur, static_cast<std::uint16_t>(f.Transmetteur.EepromAddress)); }},
  {219, -1, TJobKind::Request, "Read PV Range informations", "Lecture des informations d'échelle de PV", TJobArg::None, 0,
   [](F& f) { return f.MainHart->ReadPVRangeInfo(f.Transmetteur); }},
  {220, -1, TJobKind::Request, "Read Alarm 1 informations", "Lecture des informations de l'alarme 1", TJobArg::None, 0,
   [](F& f) { return f.MainHart->ReadAlarmInfo(f.Transmetteur, 1); }},
  {221, -1, TJobKind::Request, "Read Alarm 2 informations", "Lecture des informations de l'alarme 2", TJobArg::None, 0,
   [](F& f) { return f.MainHart->ReadAlarmInfo(f.Transmetteur, 2); }},
  {222, -1, TJobKind::Request, "Read extended status register", "Lecture du registre d'état étendu", TJobArg::None, 0,
   [](F& f) { return f.MainHart->ReadExtendedStatus(f.Transmetteur); }},
  {223, -1, TJobKind::Request, "Read secondary input limits", "Lecture des limites de l'entrée secondaire", TJobArg::None, 2500,
   [](F& f) { return f.MainHart->ReadSecondaryInputLimits(f.Transmetteur, 1); }},
  {224, -1, TJobKind::Request, "Read measure", "Lecture des mesures", TJobArg::None, 2500,
   [](F& f) {
     f.AI1NominalPending = true;
     return f.MainHart->ReadDynamicVariables(f.Transmetteur);
   }},
  {225, -1, TJobKind::Request, "Lecture ParamCHK", "Lecture ParamCHK", TJobArg::None, 0,
   [](F& f) { return f.MainHart->ReadParamChecksum(f.Transmetteur); }},
  {250, -1, TJobKind::Quiet, nullptr, nullptr, TJobArg::None, 0,
   [](F& f) { return f.MainHart->SetRealTimeClock(f.Transmetteur, 0, f.ClockSendTime()); }},
  {251, -1, TJobKind::Quiet, nullptr, nullptr, TJobArg::None, 0, [](F& f) { return f.MainHart->ReadRealTimeClock(f.Transmetteur); }},

  // Writes.
  {300, -1, TJobKind::Request, "Write polling address", "Ecriture de l'adresse", TJobArg::None, 0,
   [](F& f) { return f.MainHart->WritePollingAddress(f.Transmetteur, f.NewPollingAddress); }},
  {301, -1, TJobKind::Request, "Write units", "Ecriture de l'unité de mesure", TJobArg::None, 0,
   [](F& f) { return f.MainHart->WriteUnits(f.Transmetteur, static_cast<Byte>(f.Range_Unit->CodeUnite())); }},
  {302, -1, TJobKind::Request, "Write range values", "Ecriture des valeurs d'échelle", TJobArg::None, 0,
   [](F& f) {
     const auto upper = f.JobNumber(f.EdURV->Text(), false);
     const auto lower = f.JobNumber(f.EdLRV->Text(), false);
     if (!upper || !lower) return false;
     return f.MainHart->WriteRangeValues(f.Transmetteur, static_cast<Byte>(f.Range_Unit->CodeUnite()),
                                         static_cast<float>(*upper), static_cast<float>(*lower));
   }},
  {303, -1, TJobKind::Request, "Write Tag/Descriptor/Date", "Ecriture du TAG/Descripeur/Date", TJobArg::None, 0,
   [](F& f) {
     const auto date = f.JobDateText();
     if (!date) return false;
     try {
       return f.MainHart->WriteTagDescriptorDate(f.Transmetteur, f.EdTAG->Text(), f.EdDescripteur->Text(), *date);
     } catch (const EConvertError&) {
       f.App().Ui.ReportError(IntConversionErrorText(f.Langue(), *date));
       return false;
     }
   }},
  {304, -1, TJobKind::Request, "Write damping value", "Ecriture du Facteur d'amortissement", TJobArg::None, 0,
   [](F& f) {
     const auto v = f.JobNumber(f.EdDAMP->Text(), true);
     return v && f.MainHart->WriteDampingValue(f.Transmetteur, static_cast<float>(*v));
   }},
  {305, -1, TJobKind::Request, "Write assembly number", "Ecriture du numéro d'assemblage", TJobArg::None, 0,
   [](F& f) {
     const auto v = f.JobNumber24(f.EdAssNb->Text());
     return v && f.MainHart->WriteAssemblyNumber(f.Transmetteur, *v);
   }},
  {306, -1, TJobKind::Request, "Write serial number", "Ecriture du numéro de série du capteur", TJobArg::None, 0,
   [](F& f) {
     const auto v = f.JobNumber24(f.EdSNb->Text());
     return v && f.MainHart->WriteSerialNumber(f.Transmetteur, *v);
   }},
  {307, -1, TJobKind::Request, "Write message", "Ecriture du Message", TJobArg::None, 0,
   [](F& f) { return f.MainHart->WriteMessage(f.Transmetteur, f.EdMessage->Text()); }},
  {308, -1, TJobKind::Request, "Write status register", "Ecriture du registre d'état", TJobArg::None, 0,
   [](F& f) { return f.MainHart->WriteStatusRegister(f.Transmetteur, f.Transmetteur.StatusRegister); }},
  {309, -1, TJobKind::Request, "Write segments ...N° %d", "Ecriture des segments ...N° %d", TJobArg::SegmentCounter, 0,
   [](F& f) {
     if (!InDeviceTable(f.SegmentCounter)) return false;
     const TRealPoint p = f.Forms().DessinForm->Draw1->Points[static_cast<std::size_t>(f.SegmentCounter)];
     return f.MainHart->WriteSegment(f.Transmetteur, f.SegmentCounter, p.X, p.Y);
   }},
  {310, -1, TJobKind::Request, "Write transfert function", "Ecriture de la fonction de transfert", TJobArg::None, 0,
   [](F& f) { return f.MainHart->WriteTransferFunction(f.Transmetteur, f.Transmetteur.TransferFunction); }},
  {311, -1, TJobKind::Request, "Enable linearization", "Valide la linéarisation utilisateur", TJobArg::None, 0,
   [](F& f) {
     bool sent = f.MainHart->WriteTransferFunction(f.Transmetteur, 253);
     f.SegmentCounter = 0;
     return sent;
   }},
  {312, -1, TJobKind::Request, "Disable linearization", "Inhibe la linéarisation utilisateur", TJobArg::None, 0,
   [](F& f) {
     bool sent = f.MainHart->WriteTransferFunction(f.Transmetteur, 0);
     f.SegmentCounter = 0;
     return sent;
   }},
  {313, -1, TJobKind::Request, "Write segment number", "Ecriture du nombre de segments", TJobArg::None, 0,
   [](F& f) {
     const std::int32_t count = f.Forms().DessinForm->Draw1->LastIndex;
     return InDeviceTable(count) && f.MainHart->WriteSegmentNumber(f.Transmetteur, count);
   }},
  {314, -1, TJobKind::Request, "Trim ambient temperature", "Ecriture de température ambiante", TJobArg::None, 0,
   [](F& f) {
     const auto v = f.JobNumber(f.Forms().TambForm->AmbientText(), false);
     return v && f.MainHart->TrimAmbientTemperature(f.Transmetteur, static_cast<float>(*v));
   }},
  {315, -1, TJobKind::Request, "Write peak thermal value", "Ecriture des températures extrèmes", TJobArg::None, 0,
   [](F& f) { return f.MainHart->WritePeakThermalValue(f.Transmetteur, 120, static_cast<Byte>(-120)); }},
  {316, -1, TJobKind::Request, "Write thermal drift correction parameter", "Ecriture des coefficients de correction en température", TJobArg::None, 0,
   [](F& f) {
     const auto c = f.Forms().DeriveForm->CorrectedCoefs();
     return f.MainHart->WriteThermalDriftCorrection(f.Transmetteur, c[0], c[1], c[2], c[3]);
   }},
  {317, -1, TJobKind::Request, "Write more information about sensor", "Ecriture des informations suplémentaires du capteur", TJobArg::None, 50,
   [](F& f) { return f.MainHart->WriteSensorInfo(f.Transmetteur, f.Transmetteur.SensorInfo); }},
  {318, -1, TJobKind::Request, "Write E²PROM value", "Ecriture de l'E²PROM", TJobArg::None, 0,
   [](F& f) {
     return f.MainHart->WriteE2PromValue(f.Transmetteur, static_cast<std::uint16_t>(f.Transmetteur.EepromAddress),
                                         static_cast<std::uint16_t>(f.Transmetteur.EepromValue));
   }},
  {319, -1, TJobKind::Request, "Write PV Range informations", "Ecriture des informations d'échelle de PV", TJobArg::None, 0,
   [](F& f) {
     const auto upper = f.JobNumber(f.EdUPV->Text(), false);
     const auto lower = f.JobNumber(f.EdLPV->Text(), false);
     if (!upper || !lower) return false;
     return f.MainHart->WritePVRangeInfo(f.Transmetteur, static_cast<Byte>(f.PV_Unit->CodeUnite()),
                                         static_cast<float>(*upper), static_cast<float>(*lower));
   }},
  {320, -1, TJobKind::Request, "Write Alarm 1 informations", "Ecriture des informations de l'alarme 1", TJobArg::None, 0,
   [](F& f) {
     const auto record = f.BuildAlarmRecord(&f, 1);
     return record && f.MainHart->WriteAlarmInfo(f.Transmetteur, 1, *record);
   }},
  {321, -1, TJobKind::Request, "Write Alarm 2 informations", "Ecriture des informations de l'alarme 2", TJobArg::None, 0,
   [](F& f) {
     const auto record = f.BuildAlarmRecord(&f, 2);
     return record && f.MainHart->WriteAlarmInfo(f.Transmetteur, 2, *record);
   }},
  {322, -1, TJobKind::Request, "Write extended status register", "Ecriture du registre d'état étendu", TJobArg::None, 0,
   [](F& f) { return f.MainHart->WriteExtendedStatus(f.Transmetteur, f.DisplayWordOfPage()); }},
  {323, -1, TJobKind::Request, "Write secondary input limits", "Ecriture des limites de l'entrée secondaire", TJobArg::None, 2500,
   [](F& f) {
     const auto nominal = f.JobNumber(f.EdAI1N->Text(), false);
     const auto upper = f.JobNumber(f.EdAI1UL->Text(), false);
     const auto lower = f.JobNumber(f.EdAI1LL->Text(), false);
     if (!nominal || !upper || !lower) return false;
     const TAI1Limits limits = AI1Limits(*nominal, *upper, *lower);
     return f.MainHart->WriteSecondaryInputLimits(f.Transmetteur, 1, limits.Upper, limits.Lower);
   }},
  {350, -1, TJobKind::Quiet, nullptr, nullptr, TJobArg::None, 0,
   [](F& f) { return f.MainHart->SetRealTimeClock(f.Transmetteur, 1, f.ClockSendTime()); }},

  // Actions, trims and tests.
  {400, -1, TJobKind::Request, "Reset device", "Reset du transmetteur", TJobArg::None, 0,
   [](F& f) {
     f.Evenement.SetInterval(5000);
     return f.MainHart->ResetDevice(f.Transmetteur);
   }},
  {401, -1, TJobKind::Request, "Autotest running", "Autotest du transmetteur", TJobArg::None, 0,
   [](F& f) { return f.MainHart->PerformSelfTest(f.Transmetteur); }},
  {402, -1, TJobKind::Request, "fix current value", "Programmation du courant", TJobArg::None, 0,
   [](F& f) { return f.MainHart->FixCurrent(f.Transmetteur, f.Transmetteur.FixedCurrent); }},
  {403, -1, TJobKind::Request, "Trim current (4mA)", "Ajustage du courant (4mA)", TJobArg::None, 0,
   [](F& f) { return f.MainHart->TrimCurrentZero(f.Transmetteur, f.Transmetteur.MeasuredCurrent); }},
  {404, -1, TJobKind::Request, "Trim current (20mA)", "Ajustage du courant (20mA)", TJobArg::None, 0,
   [](F& f) { return f.MainHart->TrimCurrentGain(f.Transmetteur, f.Transmetteur.MeasuredCurrent); }},
  {405, -1, TJobKind::Request, "Trim sensor offset", "Ajustage du zéro de la mesure", TJobArg::None, 0,
   [](F& f) { return f.MainHart->TrimSensorOffset(f.Transmetteur); }},
  {406, -1, TJobKind::Request, "Trim sensor full scale", "Ajustage de la PE de la mesure", TJobArg::None, 0,
   [](F& f) { return f.MainHart->TrimSensorFullScale(f.Transmetteur); }},
  {407, -1, TJobKind::Request, "Trim mid-scale points", "Ajustage des segment de la mesure", TJobArg::None, 0,
   [](F& f) { return f.MainHart->TrimMidScalePoints(f.Transmetteur, f.Transmetteur.TrimPoint); }},
  {408, -1, TJobKind::Request, "Refresh cache memory", "Rafraichissement du cache en lecture", TJobArg::None, 0,
   [](F& f) { return f.MainHart->RefreshCacheMemory(f.Transmetteur); }},
  {409, -1, TJobKind::Request, "Register device", "Initialise le transmetteur", TJobArg::None, 0,
   [](F& f) {
     const auto v = f.JobNumber(f.Forms().NSForm->IdentText(), true);
     return v && f.MainHart->RegisterDevice(f.Transmetteur, *v);
   }},
  {410, -1, TJobKind::Request, "Clear segment number", "Efface le nombre de segments", TJobArg::None, 0,
   [](F& f) { return f.MainHart->WriteSegmentNumber(f.Transmetteur, 0); }},
  {411, -1, TJobKind::Request, "Read maximum available number of segments", "Lecture du nombre maximum de segment", TJobArg::None, 0,
   [](F& f) { return f.MainHart->ReadMaxSegments(f.Transmetteur); }},
  {412, -1, TJobKind::Request, "Lock / Unlock access function", "Accès aux verrouillage des fonctions", TJobArg::None, 0,
   [](F& f) { return f.MainHart->WriteAccessLock(f.Transmetteur, 4410); }},
  {413, -1, TJobKind::Request, "Lock / Unlock access function", "Accès aux verrouillage des fonctions", TJobArg::None, 0,
   [](F& f) { return f.MainHart->WriteAccessLock(f.Transmetteur, 7163); }},
  {414, -1, TJobKind::Request, "Read ADC Values", "Lecture des valeurs du convertisseur", TJobArg::None, 0,
   [](F& f) { return f.MainHart->ReadADCValues(f.Transmetteur); }},
  {415, -1, TJobKind::Request, "PE reference value setting", "Ajustage de la valeur de la référence (PE)", TJobArg::None, 0,
   [](F& f) { return f.MainHart->SetPEReference(f.Transmetteur); }},
  {416, -1, TJobKind::Request, "Z reference value setting", "Ajustage de la valeur de la référence (Z)", TJobArg::None, 0,
   [](F& f) { return f.MainHart->SetZReference(f.Transmetteur); }},
  {417, -1, TJobKind::Request, "Read additionnal device status (Cmd 48)", "Lecture des états supplèmentaires (Cmd 48)", TJobArg::None, 0,
   [](F& f) { return f.MainHart->ReadAdditionalStatus(f.Transmetteur); }},
  {418, -1, TJobKind::Request, "Select Input", "Sélectionne une entrée", TJobArg::None, 0,
   [](F& f) { return f.MainHart->SelectInput(f.Transmetteur, static_cast<Byte>(f.Transmetteur.SelectedInput)); }},
  {419, -1, TJobKind::Request, "Reset configuration changed flag", "Efface le témoin de changement de configuration", TJobArg::None, 0,
   [](F& f) { return f.MainHart->ResetConfigChangedFlag(f.Transmetteur); }},

  // Control codes.
  {500, -1, TJobKind::Status, "", "", TJobArg::None, 0,
   [](F& f) {
     f.TabbedNotebook->setEnabled(true);
     f.Jobs().Busy = false;
     f.Evenement.SetInterval(50);
     return false;
   }},
  {501, -1, TJobKind::Control, nullptr, nullptr, TJobArg::None, 0,
   [](F& f) {
     f.Jobs().JobIndex = 0;
     f.Evenement.SetInterval(50);
     return false;
   }},
};
// clang-format on


const TMainForm::TJobRow* TMainForm::FindJobRow(std::int32_t code, bool variant) {
  for (const TJobRow& row : JobTable) {
    if (row.Code == code && (row.Variant < 0 || row.Variant == static_cast<int>(variant))) return &row;
  }
  return nullptr;
}

// The state that chooses between a job's two forms: the detail panel for the measure
// read, a connected device for the search steps.
bool TMainForm::JobVariant(std::int32_t code) const {
  switch (code) {
    case 1: return !DetailPanel->isHidden();
    case 101:
    case 102: return Transmetteur.GetConnected() != 0;
    default: return false;
  }
}

// The row's status text in the edition's language, with its number in place of "%d".
std::string TMainForm::StatusOf(const TJobRow& row) const {
  const char* text = Texte(Langue(), row.Anglais, row.Francais);
  if (text == nullptr) return {};
  std::string s = Cp(text);
  const auto at = s.find("%d");
  if (at != std::string::npos) {
    const std::int32_t number = row.Arg == TJobArg::ScanAddress ? ScanAddress : SegmentCounter;
    s.replace(at, 2, std::to_string(number));
  }
  return s;
}

std::string TMainForm::JobStatusText(std::int32_t code) const {
  const TJobRow* row = FindJobRow(code, JobVariant(code));
  return row ? StatusOf(*row) : std::string();
}

void TMainForm::RunJob(std::int32_t code) {
  if (code >= Job::JumpFirst && code <= Job::JumpLast) {
    // A relative jump from the slot of this entry; the index has moved on already.
    const std::int32_t target = Jobs().JobIndex + code - (Job::JumpFirst + 11);
    if (target >= 0 && target <= TJobList::Slots - 2) Jobs().JobIndex = target;
    Evenement.SetInterval(50);
    return;
  }
  const TJobRow* row = FindJobRow(code, JobVariant(code));
  if (!row || !MainHart) return;  // no such job: the next tick follows after 2500 ms
  if (row->SkipMs > 0 && !IsJobSupported(code)) {
    Evenement.SetInterval(row->SkipMs);
    return;
  }
  const std::string status = StatusOf(*row);
  switch (row->Kind) {
    case TJobKind::Request:
      BeginRequest(status);
      // A job that sent nothing (a number that did not convert) leaves the lamp off.
      if (!row->Run(*this)) CTS_LED->SetLedStatus(false);
      break;
    case TJobKind::Status:
      SetStatusPanel(0, status);
      row->Run(*this);
      break;
    case TJobKind::Quiet:
    case TJobKind::Control:
      row->Run(*this);
      break;
  }
}

void TMainForm::BeginRequest(const std::string& status) {
  SetStatusPanel(0, status);
  SetStatusPanel(1, "");
  CTS_LED->SetLedStatus(true);
}

// ---------------------------------------------------------------------------------------
// What the jobs read and do besides their request

std::optional<double> TMainForm::JobNumber(const std::string& text, bool report) {
  const auto v = StrToFloat(text, FormatSettings());
  if (v) return v;
  if (report) {
    app_.Ui.ReportError(FloatConversionErrorText(Langue(), text));
  } else {
    app_.Ui.Beep();
  }
  return std::nullopt;
}

std::optional<double> TMainForm::JobNumber24(const std::string& text) {
  const auto v = JobNumber(text, true);
  if (!v || (*v >= 0 && *v <= 16777215.0 && std::trunc(*v) == *v)) return v;
  app_.Ui.ReportError(Tx(Langue(), "'", "« ") + text +
                      Tx(Langue(), "' is out of range: enter a whole number from 0 to 16777215",
                         " » est hors limites : entrez un nombre entier de 0 à 16777215"));
  return std::nullopt;
}

void TMainForm::AfterMeasureRead() {
  if (AI1NominalPending) {
    Jobs().Start(Job::EndOfSequence);
  } else {
    Jobs().JobIndex = 0;
    Jobs().Set(0, 2);
  }
}

void TMainForm::MarkSearchedNode() {
  if (ScanAddress < 0 || ScanAddress > 15) return;
  QTreeWidgetItem* node = TreeView->Node(ScanAddress + 1);
  TreeView->SetImages(*node, -1, 1, -1);
  TreeView->SetSelected(node);
  TTreeView::SetText(*node, std::to_string(ScanAddress));
}

void TMainForm::MarkFoundNode() {
  if (ScanAddress < 0 || ScanAddress > 15) return;
  QTreeWidgetItem* node = TreeView->Node(ScanAddress + 1);
  TreeView->SetImages(*node, TTreeView::ImageIndex(*node), -1, 2);
}

std::optional<std::string> TMainForm::JobDateText() {
  TFormatSettings fs = FormatSettings();
  fs.ShortDateFormat = "DD/MM/YYYY";
  const QDate d = DateTimePicker->date();
  const auto dt = TryEncodeDate(d.year(), d.month(), d.day());
  const std::string text = dt ? DateToStr(*dt, fs) : std::string();
  // The device keeps the year as year - 1900 in one byte: another year would be written as
  // a wrong one.
  if (dt && (d.year() < FirstDeviceYear || d.year() > LastDeviceYear)) {
    const std::string first = DateToStr(*TryEncodeDate(FirstDeviceYear, 1, 1), fs);
    const std::string last = DateToStr(*TryEncodeDate(LastDeviceYear, 12, 31), fs);
    app_.Ui.ReportError(Tx(Langue(), "'", "« ") + text +
                        Tx(Langue(), "' is out of range: enter a date from ", " » est hors limites : entrez une date du ") +
                        first + Tx(Langue(), " to ", " au ") + last);
    return std::nullopt;
  }
  return text;
}

TDateTime TMainForm::ClockSendTime() const { return Forms().TimeDateFrom->SendTime(); }

std::int32_t TMainForm::DisplayWordOfPage() const {
  int mode = 0;
  if (RdMod2->isChecked()) mode = 1;
  if (RdMod5->isChecked()) mode = 2;
  if (RdMod10->isChecked()) mode = 3;
  return DisplayWord(mode, LCD->PointDecimal(), CkDispUnit->isChecked());
}
