// The menus and the main window's other handlers: setup, preamble length and master
// address, the transmitter menu and its files, the buttons that open the dialog windows,
// the display page's preview and PV unit, the PV label and the detail panel, and the
// maker's page with its modem test and direct requests.

#include <QEvent>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QSlider>
#include <algorithm>
#include <functional>

#include "app/About.h"
#include "app/Ajlin.h"
#include "app/Ajmes.h"
#include "app/Ajsa.h"
#include "app/Derive.h"
#include "app/Dessin.h"
#include "app/E2Prom.h"
#include "app/InSelect.h"
#include "app/Memolog.h"
#include "app/Ns.h"
#include "app/StatusComm.h"
#include "app/StatusXT.h"
#include "app/Tamb.h"
#include "app/TimeDate.h"
#include "app/UiServices.h"
#include "app/commcfg.h"
#include "app/core/DeviceType.h"
#include "app/load.h"
#include "app/main.h"
#include "app/tstXT.h"
#include "app/tstloop.h"

namespace {

// A left click on a widget that has no click of its own (the maker's picture).
class TClickFilter : public QObject {
public:
  TClickFilter(QWidget* target, std::function<void()> onClick) : QObject(target), onClick_(std::move(onClick)) {
    target->installEventFilter(this);
  }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
      onClick_();
      return true;
    }
    return QObject::eventFilter(watched, event);
  }

private:
  std::function<void()> onClick_;
};

}  // namespace

void TMainForm::BindMenus() {
  auto item = [this](QAction* action, void (TMainForm::*handler)(TObject*)) {
    connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(this); });
  };
  item(ConfigurationMenu, &TMainForm::ConfigurationMenuClick);
  item(Preambles5, &TMainForm::Preambles5Click);
  item(Preambles7, &TMainForm::Preambles7Click);
  item(Preambles10, &TMainForm::Preambles10Click);
  item(Preambles20, &TMainForm::Preambles20Click);
  item(Quitter1, &TMainForm::Quitter1Click);
  item(StatusCommMenu, &TMainForm::StatusCommMenuClick);
  item(Lecture1, &TMainForm::Lecture1Click);
  item(Charge1, &TMainForm::Charge1Click);
  item(Sauve1, &TMainForm::Sauve1Click);
  item(E2Prom1, &TMainForm::E2Prom1Click);
  item(MemoLog, &TMainForm::MemoLogClick);
  item(HHC, &TMainForm::HHCClick);
  item(HOST, &TMainForm::HOSTClick);
  item(Editiondessegments1, &TMainForm::BtnLinEditClick);

  auto click = [this](QAbstractButton* button, void (TMainForm::*handler)(TObject*)) {
    connect(button, &QAbstractButton::clicked, this, [this, handler] { (this->*handler)(this); });
  };
  click(BtTestLoop, &TMainForm::BtTestLoop0Click);
  click(BtTestXt, &TMainForm::BtTestXt0Click);
  click(BtAj4, &TMainForm::BtAj40Click);
  click(BtAj20, &TMainForm::BtAj200Click);
  click(BtnZero, &TMainForm::BtnZeroClick);
  click(BtnPE, &TMainForm::BtAjPEClick);
  click(BtnPV, &TMainForm::BtnPVClick);
  click(BitBtnLangue1, &TMainForm::btMESClick);
  click(BtnEditVolt, &TMainForm::BtnLinEditClick);
  click(BtnEditPot, &TMainForm::BtnLinEditClick);
  click(BtRet, &TMainForm::BtRetClick);
  click(BtAj, &TMainForm::BtAjClick);
  click(BtAjPE, &TMainForm::BtAjPEClick);
  click(BtAjBE, &TMainForm::BtAjBEClick);
  click(BtTamb, &TMainForm::BtTambClick);
  click(BTDerive, &TMainForm::BTDeriveClick);
  click(BtStatus, &TMainForm::BtStatusClick);
  click(BtnInit, &TMainForm::BtnInitClick);
  click(BtnAjTimeDate, &TMainForm::BtnAjTimeDateClick);
  click(BtTEST, &TMainForm::BtTESTClick);
  click(BtnTESTExp, &TMainForm::BtnTESTExpClick);
  click(BtnTESTBroadcast, &TMainForm::BtnTESTBroadcastClick);

  // The load form moves the track bar too, and runs the same handler.
  connect(TrackBarPDaf, &QSlider::valueChanged, this, [this] { TrackBarPDafChange(this); });
  PV_Unit->OnChange = [this](TObject* s) { PV_UnitChange(s); };
  LbPV->OnClick = [this](TObject* s) { LbPVClick(s); };
  connect(EdAI1N, &QLineEdit::textChanged, this, [this] { EdAI1NChange(this); });
  connect(EdAI1UL, &QLineEdit::textChanged, this, [this] { EdAI1ULChange(this); });
  connect(EdAI1LL, &QLineEdit::textChanged, this, [this] { EdAI1LLChange(this); });
  new TClickFilter(Image1, [this] { Image1Click(this); });

  TimerTest.OnTimer = [this](TObject* s) { TimerTestTimer(s); };
  Transmetteur.OnLoadedFormDisk = [this](TObject*) { Forms().LoadForm->FileLoaded(); };
}

// ---------------------------------------------------------------------------------------
// System menu

// The port dialog without its countdown, then back to the search.
void TMainForm::ConfigurationMenuClick(TObject*) {
  Forms().CfgForm->Tag = -1;
  Forms().CfgForm->ShowModal();
  ResetToSearch();
}

void TMainForm::SetPreambles(QAction* item, Byte count) {
  for (QAction* a : {Preambles5, Preambles7, Preambles10, Preambles20}) a->setChecked(a == item);
  if (MainHart) MainHart->NbPreambles = count;
}

void TMainForm::Preambles5Click(TObject*) { SetPreambles(Preambles5, 5); }

void TMainForm::Preambles7Click(TObject*) { SetPreambles(Preambles7, 7); }

void TMainForm::Preambles10Click(TObject*) { SetPreambles(Preambles10, 10); }

void TMainForm::Preambles20Click(TObject*) { SetPreambles(Preambles20, 20); }

// Closing the main window ends the program.
void TMainForm::Quitter1Click(TObject*) { close(); }

void TMainForm::BtRetClick(TObject*) { close(); }

// ---------------------------------------------------------------------------------------
// Transmitter and records menus

void TMainForm::StatusCommMenuClick(TObject*) {
  TStatusCommForm& status = *Forms().StatusCommForm;
  if (status.Visible()) {
    status.Close();
    StatusCommMenu->setChecked(false);
  } else {
    status.Show();
    StatusCommMenu->setChecked(true);
  }
}

void TMainForm::Lecture1Click(TObject*) { StartFullRead(); }

void TMainForm::LectureClick(TObject*) { RefreshPage(); }

// A file accepted by the model leads to the load form (OnLoadedFormDisk).
void TMainForm::Charge1Click(TObject*) { Transmetteur.LoadFromDisk(); }

void TMainForm::Sauve1Click(TObject*) { Transmetteur.SaveToDisk(); }

// ---------------------------------------------------------------------------------------
// The maker's menu

void TMainForm::E2Prom1Click(TObject*) { Forms().E2PromForm->Show(); }

// The log window sits against the right edge of the main window, as tall as it.
void TMainForm::MemoLogClick(TObject*) {
  TMemoLogForm& log = *Forms().MemoLogForm;
  if (log.Visible()) {
    log.Close();
  } else {
    log.Show();
  }
  MemoLog->setChecked(log.Visible());
  const QRect main = frameGeometry();
  const int frameHeight = log.frameGeometry().height() - log.height();
  log.move(main.x() + main.width(), main.y());
  log.resize(log.width(), std::max(0, main.height() - frameHeight));
}

void TMainForm::SetMasterAddress(QAction* item, TMasterAdress address) {
  for (QAction* a : {HHC, HOST}) a->setChecked(a == item);
  if (MainHart) MainHart->MasterAdress = address;
}

void TMainForm::HHCClick(TObject*) { SetMasterAddress(HHC, TMasterAdress::Hand_Held_Communicator); }

void TMainForm::HOSTClick(TObject*) { SetMasterAddress(HOST, TMasterAdress::Host_Communicator); }

// ---------------------------------------------------------------------------------------
// Dialog openers

void TMainForm::BtnLinEditClick(TObject*) {
  TDessinForm& dessin = *Forms().DessinForm;
  if (dessin.Visible()) {
    dessin.Close();
  } else {
    dessin.Show();
  }
}

void TMainForm::BtTestLoop0Click(TObject*) { Forms().TstLoopForm->ShowModal(); }

void TMainForm::BtTestXt0Click(TObject*) { Forms().TstXTForm->Show(); }

void TMainForm::BtAj40Click(TObject*) {
  Forms().AjustSAForm->Tag = 0;
  Forms().AjustSAForm->ShowModal();
}

void TMainForm::BtAj200Click(TObject*) {
  Forms().AjustSAForm->Tag = 1;
  Forms().AjustSAForm->ShowModal();
}

void TMainForm::BtnZeroClick(TObject*) {
  Forms().AjustCaptForm->Tag = 0;
  Forms().AjustCaptForm->ShowModal();
}

// A device with two inputs (input kind 0) first asks which input is trimmed; its Cancel
// ends the action.
void TMainForm::SensorTrimWithInput(int tag) {
  Transmetteur.SelectedInput = 0;
  if (DeviceInputKind(Transmetteur.DeviceType) == 0) Forms().InputSelectForm->ShowModal();
  if (Transmetteur.SelectedInput == -1) return;
  Forms().AjustCaptForm->Tag = tag;
  Forms().AjustCaptForm->ShowModal();
}

void TMainForm::BtAjPEClick(TObject*) { SensorTrimWithInput(1); }

void TMainForm::BtAjBEClick(TObject*) { SensorTrimWithInput(0); }

void TMainForm::BtAjClick(TObject*) { Forms().AjLINForm->ShowModal(); }

void TMainForm::BtTambClick(TObject*) { Forms().TambForm->ShowModal(); }

void TMainForm::BTDeriveClick(TObject*) { Forms().DeriveForm->ShowModal(); }

void TMainForm::BtStatusClick(TObject*) { Forms().StatusXTForm->Show(); }

void TMainForm::BtnInitClick(TObject*) { Forms().NSForm->Show(); }

void TMainForm::BtnAjTimeDateClick(TObject*) { Forms().TimeDateFrom->ShowModal(); }

void TMainForm::Image1Click(TObject*) { Forms().AboutBox->ShowModal(); }

// ---------------------------------------------------------------------------------------
// The pages' other controls

// The page change rule may refuse it.
void TMainForm::BtnPVClick(TObject*) { TabbedNotebook->SetPageIndex(6); }

// While the panel shows, the measure polling reads all dynamic variables.
void TMainForm::btMESClick(TObject*) { DetailPanel->setVisible(DetailPanel->isHidden()); }

// Formats 0, 1 and 2 take turns; the next answer shows the new one.
void TMainForm::LbPVClick(TObject*) {
  ++PVFormat;
  if (PVFormat >= 3) PVFormat = 0;
}

void TMainForm::TrackBarPDafChange(TObject*) { LCD->SetPointDecimal(4 - TrackBarPDaf->value()); }

// A PV in percent has no range of its own to write.
void TMainForm::PV_UnitChange(TObject*) {
  const bool percent = PV_Unit->CodeUnite() == 57;
  BtnWR_PV->setEnabled(!percent);
  EdUPV->setVisible(!percent);
  EdLPV->setVisible(!percent);
}

void TMainForm::EdAI1NChange(TObject*) {}

void TMainForm::EdAI1ULChange(TObject*) {}

void TMainForm::EdAI1LLChange(TObject*) {}

// ---------------------------------------------------------------------------------------
// The maker page's modem test and direct requests

void TMainForm::BtTESTClick(TObject*) {
  TimerTest.SetEnabled(!TimerTest.Enabled());
  TestLed->SetLedStatus(TimerTest.Enabled());
}

// Random bytes straight to the modem, with no frame and no answer awaited.
void TMainForm::TimerTestTimer(TObject*) {
  app_.Ui.Beep();
  if (!MainHart) return;
  QRandomGenerator& random = *QRandomGenerator::global();
  const int n = static_cast<int>(random.bounded(48)) + 2;
  std::string bytes(static_cast<std::size_t>(n), '\0');
  for (char& c : bytes) c = static_cast<char>(random.bounded(255));
  MainHart->Send(bytes, n);
}

void TMainForm::BtnTESTExpClick(TObject*) {
  if (MainHart) MainHart->SendExpansionTestFrame(Transmetteur);
}

void TMainForm::BtnTESTBroadcastClick(TObject*) {
  if (MainHart) MainHart->FindByLongTag(EdLongTAG->Text());
}
