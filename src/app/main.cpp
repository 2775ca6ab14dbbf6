// The main window's life cycle, its lamps, the link and model events, and the builders of
// the standard job lists.

#include "app/main.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>

#include "app/commcfg.h"
#include "app/Dessin.h"
#include "app/Erreur.h"
#include "app/Texts.h"
#include "app/UiServices.h"
#include "app/core/DeviceType.h"

TMainForm::TMainForm(TAppContext& app)
    : QMainWindow(nullptr), Transmetteur(app.Langue()), Evenement(app.Sched), TimerTest(app.Sched, 250), app_(app) {
  setObjectName("MainForm");
  Transmetteur.FormatSettings = app.FormatSettings;
  Transmetteur.Dialogs = &app.Ui;
  TimerTest.SetEnabled(false);

  BuildMenus();
  BuildPages();
  for (TMaskEdit* edit : findChildren<TMaskEdit*>()) edit->Beep = [this] { app_.Ui.Beep(); };
  BuildStatusBar();
  SetRangeMasks(this, 99);
  SetStartupMasks();

  // FormCreate: the one link of the program, bound to this window.
  MainHart = std::make_unique<THART>(app.Sched, Langue(), app.Backends.Serial ? app.Backends.Serial() : nullptr,
                                     app.Backends.Hid);
  MainHart->OnSendComplete = [this](TObject* s) { CommSendComplete(s); };
  MainHart->OnDataArrival = [this](TObject* s) { CommDataArrival(s); };
  MainHart->OnModemChange = [this](TObject* s) { CommModemChange(s); };
  MainHart->OnCommError = [this](TObject* s) { CommCommError(s); };

  Transmetteur.OnConnect = [this](TObject* s) { TransmetteurConnect(s); };
  Transmetteur.OnDisconnect = [this](TObject* s) { TransmetteurDisconnect(s); };
  Transmetteur.OnError = [this](TObject* s) { TransmetteurError(s); };

  Evenement.OnTimer = [this](TObject* s) { EvenementTimer(s); };

  TabbedNotebook->OnChanging = [this](int newTab, bool& allow) { TabbedNotebookChange(this, newTab, allow); };
  connect(ResetMenu, &QAction::triggered, this, [this] { ResetMenuClick(this); });
  connect(DateTimePicker, &QDateEdit::dateChanged, this, [this] { DateTimePickerChange(this); });
  BindSearchPage();
  BindButtons();
  BindMenus();
}

TMainForm::~TMainForm() { FormClose(); }

void TMainForm::closeEvent(QCloseEvent* event) {
  QMainWindow::closeEvent(event);
  FormClose();
  QCoreApplication::quit();  // an open dialog would keep the event loop, and the program, alive
}

void TMainForm::FormShow() {
  app_.FormatSettings.ShortDateFormat = "DD/MM/YYYY";
  Transmetteur.FormatSettings = app_.FormatSettings;
  // The pages' captions, hints and combo items are the edition's since the window's
  // creation; the menu and the masks are set again as the start-up does.
  TranslateMenu(menuBar()->actions());
  SetStartupMasks();
  PopupMenu.Items(0).Caption = Tx(Langue(), "Send", "Envoyer");
  PopupMenu.Items(1).Caption = Tx(Langue(), "Refresh", "Relire");
  MainHart->MasterAdress = TMasterAdress::Host_Communicator;
  HHC->setChecked(false);
  HOST->setChecked(true);
  setWindowTitle(Q(EditionCaption() + " - HART"));
  Developpement->menuAction()->setVisible(false);
  Gr_Aj_Mes->hide();
  Gr_Tamb->hide();

  TCfgForm& cfg = *Forms().CfgForm;
  cfg.Tag = 10;
  for (const std::string& arg : app_.Args) {
    if (QString::fromLocal8Bit(arg.c_str()).toLower() == QStringLiteral("-notimer")) cfg.Tag = 0;
  }
  cfg.ShowModal();
  if (cfg.NoPortChosen()) close();  // the program ends
  StatusBar->show();
  PVFormat = 0;
  ResetToSearch();
}

void TMainForm::TranslateMenu(const QList<QAction*>& items) {
  // The captions of the tagged items, by tag.
  static constexpr const char* MenuTexts[14][2] = {
      {"", ""},
      {"System", "Système"},
      {"Exit", "Quitter"},
      {"Setup", "Configuration"},
      {"Transmitter", "Transmetteur"},
      {"Status", "Etat"},
      {"Read all", "Lecture complète"},
      {"Write", "Ecriture"},
      {"Reset", "Remise à  zéro"},
      {"Disconnect", "Déconnexion"},
      {"Records", "Enregistrements"},
      {"Load", "Charge"},
      {"Save", "Sauve"},
      {"Preamble length", "Longueur du préambule"},
  };
  for (QAction* item : items) {
    const int tag = MenuTag(*item);
    if (tag >= 1 && tag <= 13) item->setText(QString::fromUtf8(Texte(Langue(), MenuTexts[tag][0], MenuTexts[tag][1])));
    if (QMenu* sub = item->menu()) TranslateMenu(sub->actions());
  }
}

std::string TMainForm::EditionCaption() const {
  return Tx(Langue(), "Corvin English Version", "Corvin Version Française");
}

// The masks of the number edits that do not follow the transmitter's decimals, with the
// locale's decimal separator.
void TMainForm::SetStartupMasks() {
  const std::string ds(1, FormatSettings().DecimalSeparator);
  for (TMaskEdit* e : {EdAlr1, EdHys1, EdAlr2, EdHys2}) e->SetEditMask("!###0" + ds + "00;1;_");
  for (TMaskEdit* e : {EdDel1, EdDel2}) e->SetEditMask("!90;1;_");
  EdDAMP->SetEditMask("!90" + ds + "0;1;_");
  EdAI1N->SetEditMask("!##0" + ds + "00;1;_");
  for (TMaskEdit* e : {EdAI1UL, EdAI1LL}) e->SetEditMask("!###0" + ds + "0;1;_");
}

// Closes the port and frees the link; the sequencer stops first, so that no tick runs on a
// freed link.
void TMainForm::FormClose() {
  Evenement.SetEnabled(false);
  TimerTest.SetEnabled(false);
  if (MainHart) {
    MainHart->ClosePort();
    MainHart.reset();
  }
}

// ---------------------------------------------------------------------------------------
// Lamps and the link's events

void TMainForm::CommSendComplete(TObject*) { CTS_LED->SetLedStatus(false); }

void TMainForm::CommModemChange(TObject*) { CD_LED->SetLedStatus(true); }

void TMainForm::CommCommError(TObject*) {
  if (!MainHart) return;
  SetStatusPanel(1, MainHart->Erreur.GetMessage());
  if (MainHart->Erreur.GetCode() == 768) Transmetteur.SetConnected(0);
}

void TMainForm::TransmetteurConnect(TObject*) {
  if (!BtnSearchTAG->isChecked()) CurrentAddress = ScanAddress;
  Connect->SetCaption("* Connected *");
}

void TMainForm::TransmetteurDisconnect(TObject*) {
  if (OfflineMode) return;
  Connect->SetCaption("* Disconnected *");
  app_.Ui.Beep();
}

void TMainForm::TransmetteurError(TObject*) {
  const std::string message = Transmetteur.GetErrorMessage();
  if (!message.empty() && Forms().ErreurForm) Forms().ErreurForm->ShowError(message);
}

// ---------------------------------------------------------------------------------------
// Page gating

// Every page change, the user's or the program's, comes here first: none while a user
// sequence runs; the alarm and display pages only for the maker's devices that have them.
void TMainForm::TabbedNotebookChange(TObject*, int newTab, bool& allowChange) {
  if (Jobs().Busy) {
    app_.Ui.Beep();
    allowChange = false;
  }
  ConfigurationMenu->setEnabled(true);
  if (!allowChange) return;
  const Byte t = Transmetteur.DeviceType;
  const unsigned s = DeviceSensorCode(t);
  switch (newTab) {
    case 0:
      TransmetteurMenu->setEnabled(false);
      Jobs().SetIdle();
      break;
    case 1:
      TransmetteurMenu->setEnabled(true);
      StProd->SetCaption(Transmetteur.ManufacturerName + " / " + Transmetteur.ModelName);
      Jobs().StartMeasurePolling();
      ConfigurationMenu->setEnabled(false);
      break;
    case 2:
      TransmetteurMenu->setEnabled(true);
      Jobs().SetIdle();
      break;
    case 3:
      TransmetteurMenu->setEnabled(false);
      Jobs().SetIdle();
      SensorPageControl->setCurrentIndex(static_cast<int>(DeviceInputKind(t)));
      break;
    case 4:
      TransmetteurMenu->setEnabled(false);
      Jobs().SetIdle();
      break;
    case 5:
      TransmetteurMenu->setEnabled(false);
      Jobs().SetIdle();
      // The alarm commands are the maker's own: another maker's device never opens it.
      allowChange = Transmetteur.Is_Ostrel &&
                    ((t & 0x70) == 0x20 || (t & 0x70) == 0x40 || t == 0x57 || t == 0x5B);
      break;
    case 6:
      TransmetteurMenu->setEnabled(false);
      Jobs().SetIdle();
      allowChange = Transmetteur.Is_Ostrel &&
                    ((t & 0x71) == 0x41 || s == 6 || s == 10 || s == 14 || s == 18 || s == 22 || t == 0x57);
      break;
    case 7:
      allowChange = false;
      break;
    default:
      break;
  }
}

void TMainForm::ResetMenuClick(TObject*) { Jobs().Insert(400); }

void TMainForm::DateTimePickerChange(TObject*) {
  TFormatSettings fs = FormatSettings();
  fs.ShortDateFormat = "DD/MM/YYYY";
  const QDate d = DateTimePicker->date();
  if (const auto dt = TryEncodeDate(d.year(), d.month(), d.day())) Transmetteur.DateText = DateToStr(*dt, fs).substr(0, 10);
}

std::string TMainForm::StatusPanel(int panel) const {
  return panel == 0 || panel == 1 ? FromQ(statusPanels_[panel]->text()) : std::string();
}

void TMainForm::SetStatusPanel(int panel, const std::string& text) {
  if (panel == 0 || panel == 1) statusPanels_[panel]->setText(Q(text));
}

// ---------------------------------------------------------------------------------------
// The standard job lists

bool TMainForm::IsJobSupported(std::int32_t code) const { return ::IsJobSupported(Transmetteur, code); }

void TMainForm::StartMeasurePolling() { Jobs().StartMeasurePolling(); }

void TMainForm::StartInfoRead() {
  Jobs().StartInfoRead(JobCapabilities(Transmetteur));
  TabbedNotebook->setEnabled(false);
}

void TMainForm::StartFullRead() {
  Jobs().StartFullRead(JobCapabilities(Transmetteur));
  TabbedNotebook->setEnabled(false);
}

void TMainForm::RefreshPage() {
  switch (TabbedNotebook->PageIndex()) {
    case 1: StartMeasurePolling(); break;
    case 2: StartInfoRead(); break;
    default: break;
  }
}

// Back to the search page with an idle list; the pages stay locked until a user sequence
// ends.
void TMainForm::ResetToSearch() {
  Jobs().SetIdle();
  Connect->SetCaption("HART");
  if (Forms().DessinForm) Forms().DessinForm->Close();
  StProd->SetCaption("");
  Jobs().Busy = false;  // the search page is always reachable from here
  TabbedNotebook->SetPageIndex(0);
  Jobs().Busy = true;
  // A full read that was under way disabled the notebook until its end, which the idle
  // list no longer reaches: the search page must stay usable.
  TabbedNotebook->setEnabled(true);
  if (OfflineMode) {
    Transmetteur.DeviceId = 0;
    Transmetteur.ManufacturerName = "Ostrel";
    Transmetteur.ModelName = "XT Offline";
    Connect->SetCaption("HART Offline");
    ShowIdentity(this);
  }
}
