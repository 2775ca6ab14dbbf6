// Builds the main window's controls: the main menu, the status bar, the window's frame
// with the link's state and lamps above the notebook, and the search, transmitter and
// parameter pages (the other pages: MainPagesSetup.cpp). Only what the window shows and
// holds at creation is set here; the handlers are bound by the other files of the window.

#include <QActionGroup>
#include <QBoxLayout>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QLinearGradient>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QStatusBar>
#include <tuple>

#include "app/MainPageKit.h"
#include "app/core/DisplayFormat.h"

using namespace mainpages;

namespace {

// The glyph of the write buttons: an arrow towards the transmitter.
QIcon SendGlyph() {
  QPixmap picture(16, 16);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0, 90, 0), 1));
  p.setBrush(QColor(40, 170, 40));
  const QPointF arrow[] = {{1.5, 5.5}, {8.5, 5.5}, {8.5, 2}, {14.5, 8}, {8.5, 14}, {8.5, 10.5}, {1.5, 10.5}};
  p.drawPolygon(arrow, 7);
  return QIcon(picture);
}

// The tree's pictures: 0 the computer, 1 a selected address, 2 a device found there.
QVariantList TreeImages() {
  auto canvas = [] {
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    return picture;
  };
  QPixmap pc = canvas();
  {
    QPainter p(&pc);
    p.setPen(Qt::black);
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(1, 1, 13, 9);
    p.fillRect(3, 3, 10, 6, QColor(30, 80, 200));
    p.drawRect(6, 11, 3, 1);
    p.drawRect(3, 13, 9, 1);
  }
  QPixmap address = canvas();
  {
    QPainter p(&address);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(0, 0, 120));
    p.setBrush(QColor(60, 120, 230));
    const QPointF arrow[] = {{4, 2.5}, {12.5, 8}, {4, 13.5}};
    p.drawPolygon(arrow, 3);
  }
  QPixmap device = canvas();
  {
    QPainter p(&device);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(0, 80, 0));
    p.setBrush(QColor(60, 190, 60));
    p.drawEllipse(QRectF(2.5, 0.5, 11, 10));
    p.setBrush(QColor(150, 150, 150));
    p.drawRect(QRectF(6.5, 10.5, 3, 5));
    p.setPen(QPen(Qt::white, 1.5));
    p.drawLine(QPointF(8, 5.5), QPointF(11, 3));
  }
  return {QIcon(pc), QIcon(address), QIcon(device)};
}

// The maker's picture in the bottom right corner.
QPixmap MakerPicture() {
  QPixmap picture(92, 30);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient shade(0, 0, 0, 30);
  shade.setColorAt(0, QColor(50, 100, 180));
  shade.setColorAt(1, QColor(10, 40, 110));
  p.setPen(Qt::NoPen);
  p.setBrush(shade);
  p.drawRoundedRect(QRectF(0, 0, 92, 30), 6, 6);
  QFont font = p.font();
  font.setBold(true);
  font.setPixelSize(17);
  font.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(picture.rect(), Qt::AlignCenter, QStringLiteral("OSTREL"));
  return picture;
}


}  // namespace

namespace mainpages {

TLabel* ValueLabel(QWidget* parent, const char* name) {
  auto* label = Named(new TLabel(parent), name);
  label->SetCaption("----");
  label->setMinimumWidth(70);
  return label;
}

TMaskEdit* NumberEdit(QWidget* parent, const char* name) {
  auto* edit = Named(new TMaskEdit(parent), name);
  edit->setMaximumWidth(120);
  return edit;
}

QComboBox* Combo(QWidget* parent, const char* name, std::initializer_list<const char*> items) {
  auto* combo = Named(new QComboBox(parent), name);
  for (const char* item : items) combo->addItem(QString::fromUtf8(item));
  return combo;
}

TBitBtnAlt* WriteButton(QWidget* parent, const char* name, TPopupMenu& menu, const QString& hint) {
  auto* button = Named(new TBitBtnAlt(parent), name);
  button->setFixedSize(25, 25);
  button->setIcon(SendGlyph());
  button->setIconSize(QSize(16, 16));
  button->setToolTip(hint);
  button->PopupMenu = &menu;
  return button;
}

}  // namespace mainpages

// ---------------------------------------------------------------------------------------
// Menus and status bar

void TMainForm::BuildMenus() {
  const TLangue langue = Langue();
  // Tagged items take their caption from TranslateMenu at the end.
  auto caption = [](int tag, const char* untagged) { return QString::fromUtf8(tag > 0 ? "" : untagged); };
  auto submenu = [&](QWidget* owner, const char* name, int tag, const char* untagged = "") {
    auto* menu = Named(new QMenu(caption(tag, untagged), owner), name);
    SetMenuTag(*menu->menuAction(), tag);
    if (auto* bar = qobject_cast<QMenuBar*>(owner))
      bar->addMenu(menu);
    else
      static_cast<QMenu*>(owner)->addMenu(menu);
    return menu;
  };
  auto item = [&](QMenu* menu, const char* name, int tag, const char* untagged = "") {
    QAction* action = Named(menu->addAction(caption(tag, untagged)), name);
    SetMenuTag(*action, tag);
    return action;
  };

  QMenuBar* bar = Named(menuBar(), "MainMenu");

  Systme1 = submenu(bar, "Systme1", 1);
  ConfigurationMenu = item(Systme1, "ConfigurationMenu", 3);
  NBPreambles = submenu(Systme1, "NBPreambles", 13);
  auto* preambles = new QActionGroup(NBPreambles);
  preambles->setExclusive(true);
  for (auto [slot, name, count] :
       {std::tuple{&Preambles5, "Preambles5", "5"}, std::tuple{&Preambles7, "Preambles7", "7"},
        std::tuple{&Preambles10, "Preambles10", "10"}, std::tuple{&Preambles20, "Preambles20", "20"}}) {
    *slot = item(NBPreambles, name, 0, count);
    (*slot)->setCheckable(true);
    preambles->addAction(*slot);
  }
  Preambles7->setChecked(true);  // the link's own default
  Quitter1 = item(Systme1, "Quitter1", 2);

  TransmetteurMenu = submenu(bar, "TransmetteurMenu", 4);
  TransmetteurMenu->setEnabled(false);
  StatusCommMenu = item(TransmetteurMenu, "StatusCommMenu", 5);
  StatusCommMenu->setCheckable(true);
  Lecture1 = item(TransmetteurMenu, "Lecture1", 6);
  Ecriture1 = item(TransmetteurMenu, "Ecriture1", 7);
  Ecriture1->setVisible(false);
  ResetMenu = item(TransmetteurMenu, "ResetMenu", 8);
  Dconnexion1 = item(TransmetteurMenu, "Dconnexion1", 9);
  Dconnexion1->setVisible(false);

  Rglages1 = submenu(bar, "Rglages1", 10);
  Charge1 = item(Rglages1, "Charge1", 11);
  Sauve1 = item(Rglages1, "Sauve1", 12);

  // The maker's own menu keeps its French captions in both editions.
  Developpement = submenu(bar, "Developpement", 0, "Ostrel");
  Trace1 = item(Developpement, "Trace1", 0, "Trace");
  E2Prom1 = item(Developpement, "E2Prom1", 0, "E2Prom");
  MemoLog = item(Developpement, "MemoLog", 0, "Loggeur");
  MemoLog->setCheckable(true);
  AdresseDuMaitre = submenu(Developpement, "AdresseDuMaitre", 0, "Adresse du maitre");
  auto* masters = new QActionGroup(AdresseDuMaitre);
  masters->setExclusive(true);
  HHC = item(AdresseDuMaitre, "HHC", 0, "HHC");
  HOST = item(AdresseDuMaitre, "HOST", 0, "HOST");
  for (QAction* master : {HHC, HOST}) {
    master->setCheckable(true);
    masters->addAction(master);
  }
  Liretout1 = item(Developpement, "Liretout1", 0, "Lire tout");
  Editiondessegments1 = item(Developpement, "Editiondessegments1", 0, "Edition des segments");
  HiddenItem = item(Developpement, "HiddenItem", 0, "");
  HiddenItem->setVisible(false);

  TranslateMenu(bar->actions());

  // The write buttons' menu: a click and "Send" write, "Refresh" reads back.
  TMenuItem& send = PopupMenu.Add("Send", Tx(langue, "Send", "Envoyer"));
  send.Default = true;
  PopupMenu.Add("Refresh", Tx(langue, "Refresh", "Relire"));
}

void TMainForm::BuildStatusBar() {
  StatusBar = Named(new QStatusBar(this), "StatusBar");
  const int widths[2] = {300, 100};  // job texts, then link errors
  for (int i = 0; i < 2; ++i) {
    auto* panel = new QLabel(StatusBar);
    panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setFixedWidth(widths[i]);
    StatusBar->addWidget(panel);
    statusPanels_[i] = panel;
  }
  setStatusBar(StatusBar);
}

// ---------------------------------------------------------------------------------------
// The window's frame: the link's state above the notebook, the exit button and the maker's
// picture below it.

void TMainForm::BuildPages() {
  TKit k(*this);
  auto* central = Named(new QWidget(this), "Central");
  auto* column = new QVBoxLayout(central);

  auto* top = new QHBoxLayout;
  StProd = Named(new TStaticText(central), "StProd");
  StProd->setMinimumWidth(260);
  Connect = Named(new TStaticText(central), "Connect");
  Connect->SetCaption("HART Offline");
  Connect->setMinimumWidth(150);
  CTS_LED = k.Langue<TledLangue>(central, "CTS_LED", "", "", "Transmit", "Emission");
  CTS_LED->SetKind(TLedKind::Red);
  CD_LED = k.Langue<TledLangue>(central, "CD_LED", "", "", "Receive", "Réception");
  CD_LED->SetKind(TLedKind::Green);
  top->addWidget(StProd, 1);
  top->addWidget(Connect);
  top->addSpacing(8);
  top->addWidget(CTS_LED);
  top->addWidget(CD_LED);
  column->addLayout(top);

  TabbedNotebook = Named(new TTabbedNotebook(central), "TabbedNotebook");
  TabbedNotebook->addTab(BuildScanningPage(), k.Tr("Scanning", "Identification"));
  TabbedNotebook->addTab(BuildTransmitterPage(), k.Tr("Transmitter", "Transmetteur"));
  TabbedNotebook->addTab(BuildParametersPage(), k.Tr("Parameters", "Paramètres"));
  TabbedNotebook->addTab(BuildSensorPage(), k.Tr("Sensor", "Sonde"));
  TabbedNotebook->addTab(BuildCalibratePage(), k.Tr("Calibrate/Test", "Ajustage/Test"));
  TabbedNotebook->addTab(BuildAlarmsPage(), k.Tr("Alarms", "Alarmes"));
  TabbedNotebook->addTab(BuildDisplayPage(), k.Tr("Display", "Affichage"));
  TabbedNotebook->addTab(BuildMakerPage(), QStringLiteral("Ostrel"));
  column->addWidget(TabbedNotebook, 1);

  auto* bottom = new QHBoxLayout;
  BtRet = k.Langue<TBitBtnLangue>(central, "BtRet", "Exit", "Quitter", "Close application", "Fermer l'application");
  Image1 = Named(new QLabel(central), "Image1");
  Image1->setPixmap(MakerPicture());
  Image1->setToolTip(QStringLiteral("OSTREL"));
  bottom->addStretch(1);
  bottom->addWidget(BtRet);
  bottom->addSpacing(8);
  bottom->addWidget(Image1);
  column->addLayout(bottom);

  setCentralWidget(central);
  setWindowTitle(Q(EditionCaption()));
  resize(800, 600);
}

// ---------------------------------------------------------------------------------------
// Page 0: the search on the loop, the device tree and the device information.

QWidget* TMainForm::BuildScanningPage() {
  TKit k(*this);
  auto* page = new QWidget;
  auto* row = new QHBoxLayout(page);

  GroupBoxLangue1 = k.Langue<TGroupBoxLangue>(page, "GroupBoxLangue1", "Search", "Recherche",
                                              "Search device on the loop", "Rechercher un transmetteur sur la boucle");
  auto* search = new QVBoxLayout(GroupBoxLangue1);
  BtnSearchOne = k.Langue<TRadioButtonLangue>(GroupBoxLangue1, "BtnSearchOne", "Only the first device found",
                                              "Seulement le premier transmetteur trouvé");
  BtnSearchOne->setChecked(true);
  BtnSearchAll = k.Langue<TRadioButtonLangue>(GroupBoxLangue1, "BtnSearchAll", "All devices", "Tous les transmetteurs");
  BtnSearchTAG = k.Langue<TRadioButtonLangue>(GroupBoxLangue1, "BtnSearchTAG", "By TAG", "Par TAG");
  EditConnectbyTAG = Named(new TEdit(GroupBoxLangue1), "EditConnectbyTAG");
  EditConnectbyTAG->setMaxLength(8);
  EditConnectbyTAG->SetText("RV210");
  EditConnectbyTAG->setToolTip(QStringLiteral("TAG"));
  EditConnectbyTAG->setEnabled(false);
  // Tags are searched in upper case: what is typed shows in upper case at once.
  connect(EditConnectbyTAG, &QLineEdit::textEdited, EditConnectbyTAG, [edit = EditConnectbyTAG](const QString& text) {
    const QString upper = text.toUpper();
    if (upper == text) return;
    const int cursor = edit->cursorPosition();
    edit->setText(upper);
    edit->setCursorPosition(cursor);
  });
  BtnSeach =
      k.Langue<TBitBtnLangue>(GroupBoxLangue1, "BtnSeach", "Scan for device ...", "Rechercher un transmetteur ...");
  for (QWidget* w :
       std::initializer_list<QWidget*>{BtnSearchOne, BtnSearchAll, BtnSearchTAG, EditConnectbyTAG, BtnSeach})
    search->addWidget(w);
  search->addStretch(1);

  TreeView = Named(new TTreeView(page), "TreeView");
  TreeView->setProperty("ImageList", TreeImages());
  auto* root = new QTreeWidgetItem(TreeView);
  TTreeView::SetText(*root, "PC");
  TreeView->SetImages(*root, 0, 0, 0);
  for (int address = 0; address < 16; ++address) {
    auto* node = new QTreeWidgetItem(root);
    TTreeView::SetText(*node, std::to_string(address));
    TreeView->SetImages(*node, -1, 1, -1);
  }
  TreeView->expandAll();
  TreeView->setDragEnabled(true);
  TreeView->setAcceptDrops(true);
  TreeView->setDropIndicatorShown(true);
  TreeView->setDragDropMode(QAbstractItemView::DragDrop);
  TreeView->setMinimumWidth(150);
  TreeView->setMaximumWidth(240);

  GrInfo = Named(new QGroupBox(page), "GrInfo");
  auto* info = new QVBoxLayout(GrInfo);
  LbProdInfo = Named(new TLabel(GrInfo), "LbProdInfo");
  LbProdInfo->SetCaption("Type");
  LbProdInfo->setWordWrap(true);
  InfoPanel = Named(new TPanel(GrInfo), "InfoPanel");
  auto* revisions = new QGridLayout(InfoPanel);
  struct TRevision {
    TLabelLangue*& Caption;
    const char* CaptionName;
    const char* Anglais;
    const char* Francais;
    TLabel*& Value;
    const char* ValueName;
  };
  const TRevision rows[] = {
      {LabelLangue12, "LabelLangue12", "Universal commands Rev.", "Rév. des commandes universelles", LbComUniv,
       "LbComUniv"},
      {LabelLangue13, "LabelLangue13", "Transmitter specific Rev.", "Rév. des commandes spécifiques", LbSpec,
       "LbSpec"},
      {LabelLangue14, "LabelLangue14", "Hardware Rev.", "Rév. matérielle", LbHard, "LbHard"},
      {LabelLangue15, "LabelLangue15", "Software Rev", "Rév. logicielle", LbSoft, "LbSoft"},
  };
  int line = 0;
  for (const TRevision& r : rows) {
    r.Caption = k.Langue<TLabelLangue>(InfoPanel, r.CaptionName, r.Anglais, r.Francais);
    r.Value = Named(new TLabel(InfoPanel), r.ValueName);
    r.Value->SetCaption("0");
    revisions->addWidget(r.Caption, line, 0);
    revisions->addWidget(r.Value, line++, 1);
  }
  InfoPanel->hide();
  BtnProd = k.Langue<TBitBtnLangue>(GrInfo, "BtnProd", "Use this device", "Utiliser ce transmetteur");
  BtnProd->setEnabled(false);
  info->addWidget(LbProdInfo);
  info->addWidget(InfoPanel);
  info->addStretch(1);
  info->addWidget(BtnProd);

  row->addWidget(GroupBoxLangue1);
  row->addWidget(TreeView, 1);
  row->addWidget(GrInfo, 1);
  return page;
}

// ---------------------------------------------------------------------------------------
// Page 1: the measure, the identity, tag, descriptor, date and message.

QWidget* TMainForm::BuildTransmitterPage() {
  TKit k(*this);
  auto* page = new QWidget;
  auto* columns = new QHBoxLayout(page);
  auto* left = new QVBoxLayout;
  auto* right = new QVBoxLayout;

  auto* measure = k.Langue<TGroupBoxLangue>(page, nullptr, "Measure", "Mesure");
  auto* m = new QGridLayout(measure);
  LbPV = ValueLabel(measure, "LbPV");
  QFont big = LbPV->font();
  big.setPointSize(big.pointSize() + 8);
  big.setBold(true);
  LbPV->setFont(big);
  LbPV->setAlignment(Qt::AlignCenter);
  LbPV->setToolTip(k.Tr("Primary Variable", "Mesure principale (PV)"));
  LbPourcent = ValueLabel(measure, "LbPourcent");
  LbPourcent->setToolTip(k.Tr("Percent of range", "Mesure en pourcent"));
  Gauge = Named(new QProgressBar(measure), "Gauge");
  Gauge->setRange(0, 100);
  Gauge->setValue(0);
  Gauge->setToolTip(k.Tr("Percent of range", "Mesure en pourcent"));
  LbCurrent = ValueLabel(measure, "LbCurrent");
  LbDEP = k.Langue<TLabelLangue>(measure, "LbDEP", "OverRange", "Hors échelle");
  LbDEP->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold"));
  LbDEP->hide();
  m->addWidget(LbPV, 0, 0, 1, 2);
  m->addWidget(k.Caption(measure, "Percent of range", "Pourcentage de l'échelle"), 1, 0);
  m->addWidget(LbPourcent, 1, 1);
  m->addWidget(Gauge, 2, 0, 1, 2);
  m->addWidget(k.Caption(measure, "Output current", "Courant de sortie"), 3, 0);
  m->addWidget(LbCurrent, 3, 1);
  m->addWidget(LbDEP, 4, 0, 1, 2, Qt::AlignCenter);
  left->addWidget(measure);

  BitBtnLangue1 = k.Langue<TBitBtnLangue>(page, "BitBtnLangue1", "About measure", "Détails de la mesure",
                                          "More information about measure", "Plus d'informations sur la mesure");
  left->addWidget(BitBtnLangue1);

  DetailPanel = Named(new TPanel(page), "DetailPanel");
  auto* d = new QGridLayout(DetailPanel);
  struct TVariable {
    TLabel*& Value;
    const char* Name;
    const char* Anglais;
    const char* Francais;
  };
  const TVariable variables[] = {
      {LbPV1, "LbPV1", "Primary variable", "Variable primaire"},
      {LbPV2, "LbPV2", "Secondary variable", "Variable secondaire"},
      {LbPV3, "LbPV3", "Tertiary variable", "Variable tertiaire"},
      {LbPV4, "LbPV4", "Quaternary variable", "Variable quaternaire"},
  };
  int line = 0;
  for (const TVariable& v : variables) {
    v.Value = ValueLabel(DetailPanel, v.Name);
    d->addWidget(k.Caption(DetailPanel, v.Anglais, v.Francais), line, 0);
    d->addWidget(v.Value, line++, 1);
  }
  BtnZero = k.Langue<TBitBtnLangue>(DetailPanel, "BtnZero", "Zero sensor trim       ", "Ajustage du zéro du capteur");
  BtnPE = k.Langue<TBitBtnLangue>(DetailPanel, "BtnPE", "Full scale sensor trim", "Ajustage pleine échelle du capteur");
  BtnPV = k.Langue<TBitBtnLangue>(DetailPanel, "BtnPV", "PV Range Value", "Echelle de la PV");
  for (QWidget* button : std::initializer_list<QWidget*>{BtnZero, BtnPE, BtnPV}) d->addWidget(button, line++, 0, 1, 2);
  DetailPanel->hide();  // the "About measure" button shows it
  left->addWidget(DetailPanel);
  left->addStretch(1);

  auto* identity = k.Langue<TGroupBoxLangue>(page, nullptr, "Identification", "Identification");
  auto* id = new QGridLayout(identity);
  LbMarque = Named(new TLabel(identity), "LbMarque");
  LbMarque->setToolTip(k.Tr("Manufacturer", "Fabricant"));
  LbProduit = Named(new TLabel(identity), "LbProduit");
  LbProduit->setToolTip(k.Tr("Type", "Modèle"));
  LbIdent = Named(new TLabel(identity), "LbIdent");
  LbIdent->setToolTip(k.Tr("Id code", "Numéro d'identifcation"));
  id->addWidget(k.Caption(identity, "Manufacturer", "Fabricant"), 0, 0);
  id->addWidget(LbMarque, 0, 1);
  id->addWidget(k.Caption(identity, "Model", "Modèle"), 1, 0);
  id->addWidget(LbProduit, 1, 1);
  id->addWidget(k.Caption(identity, "Id code", "Numéro d'identification"), 2, 0);
  id->addWidget(LbIdent, 2, 1);
  id->setColumnStretch(1, 1);
  right->addWidget(identity);

  auto* texts = k.Langue<TGroupBoxLangue>(page, nullptr, "Tag / Descriptor / Date / Message",
                                          "TAG / Descripteur / Date / Message");
  auto* t = new QGridLayout(texts);
  const QString sendHint = k.SendHint();
  EdTAG = Named(new TEdit(texts), "EdTAG");
  EdTAG->setMaxLength(8);
  EdTAG->setMaximumWidth(120);
  BtnWR_TAG = WriteButton(texts, "BtnWR_TAG", PopupMenu, sendHint);
  LbDescripteur = k.Langue<TLabelLangue>(texts, "LbDescripteur", "Descriptor", "Descripteur");
  EdDescripteur = Named(new TEdit(texts), "EdDescripteur");
  EdDescripteur->setMaxLength(16);
  EdDescripteur->setMaximumWidth(200);
  EdDescripteur->setToolTip(k.Tr("Descriptor", "Descripteur"));
  BtnWR_DESC = WriteButton(texts, "BtnWR_DESC", PopupMenu, sendHint);
  DateTimePicker = Named(new QDateEdit(QDate::currentDate(), texts), "DateTimePicker");
  DateTimePicker->setCalendarPopup(true);
  // Only the dates a device can keep can be picked.
  DateTimePicker->setDateRange(QDate(TMainForm::FirstDeviceYear, 1, 1), QDate(TMainForm::LastDeviceYear, 12, 31));
  const QLocale dateLocale = k.Edition() == TLangue::Francais ? QLocale(QLocale::French, QLocale::France)
                                                               : QLocale(QLocale::English, QLocale::UnitedKingdom);
  DateTimePicker->setLocale(dateLocale);
  DateTimePicker->setDisplayFormat(dateLocale.dateFormat(QLocale::LongFormat));
  DateTimePicker->setToolTip(QStringLiteral("Date"));
  BtnWR_DATE = WriteButton(texts, "BtnWR_DATE", PopupMenu, sendHint);
  EdMessage = Named(new TEdit(texts), "EdMessage");
  EdMessage->setMaxLength(32);
  EdMessage->setMinimumWidth(250);
  BtnWR_MSG = WriteButton(texts, "BtnWR_MSG", PopupMenu, sendHint);
  t->addWidget(k.Caption(texts, "Tag", "TAG"), 0, 0);
  t->addWidget(EdTAG, 0, 1);
  t->addWidget(BtnWR_TAG, 0, 2);
  t->addWidget(LbDescripteur, 1, 0);
  t->addWidget(EdDescripteur, 1, 1);
  t->addWidget(BtnWR_DESC, 1, 2);
  t->addWidget(k.Caption(texts, "Date", "Date"), 2, 0);
  t->addWidget(DateTimePicker, 2, 1);
  t->addWidget(BtnWR_DATE, 2, 2);
  t->addWidget(k.Caption(texts, "Message", "Message"), 3, 0);
  t->addWidget(EdMessage, 3, 1);
  t->addWidget(BtnWR_MSG, 3, 2);
  t->setColumnStretch(3, 1);
  right->addWidget(texts);
  right->addStretch(1);

  columns->addLayout(left, 2);
  columns->addLayout(right, 3);
  return page;
}

// ---------------------------------------------------------------------------------------
// Page 2: range and unit, damping, failure current, linearisation and write protection.

QWidget* TMainForm::BuildParametersPage() {
  TKit k(*this);
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);

  auto* range = k.Langue<TGroupBoxLangue>(page, nullptr, "Range", "Echelle");
  auto* r = new QGridLayout(range);
  Range_Unit = Named(new TUnits(App().Sched, Langue(), range), "Range_Unit");
  Range_Unit->SetEnabled(true);
  BtnWR_UNIT = WriteButton(range, "BtnWR_UNIT", PopupMenu, k.SendHint());
  EdURV = NumberEdit(range, "EdURV");
  EdURV->setToolTip(k.Tr("Value for 20mA output current", "Valeur à laquelle le courant sera de 20,0 mA"));
  EdLRV = NumberEdit(range, "EdLRV");
  EdLRV->setToolTip(k.Tr("Valeur for 4mA output current", "Valeur à laquelle le courant sera de 4,0 mA"));
  BtnWR_RANGE = WriteButton(range, "BtnWR_RANGE", PopupMenu, k.SendHint());
  r->addWidget(k.Caption(range, "Unit", "Unité"), 0, 0);
  r->addWidget(Range_Unit, 0, 1);
  r->addWidget(BtnWR_UNIT, 0, 2);
  r->addWidget(k.Caption(range, "Upper range value", "Valeur haute de l'échelle"), 1, 0);
  r->addWidget(EdURV, 1, 1);
  r->addWidget(BtnWR_RANGE, 1, 2, 2, 1);
  r->addWidget(k.Caption(range, "Lower range value", "Valeur basse de l'échelle"), 2, 0);
  r->addWidget(EdLRV, 2, 1);
  r->setRowStretch(3, 1);
  r->setColumnStretch(3, 1);

  auto* filter = k.Langue<TGroupBoxLangue>(page, nullptr, "Filter", "Filtre");
  auto* f = new QGridLayout(filter);
  EdDAMP = NumberEdit(filter, "EdDAMP");
  EdDAMP->setToolTip(k.Tr("Time constant (in seconds)", "Temps de réponse du courant (en Seconde)"));
  BtnWR_DAMP = WriteButton(filter, "BtnWR_DAMP", PopupMenu, k.SendHint());
  f->addWidget(k.Caption(filter, "Damping (s)", "Amortissement (s)"), 0, 0);
  f->addWidget(EdDAMP, 0, 1);
  f->addWidget(BtnWR_DAMP, 0, 2);
  f->setRowStretch(1, 1);
  f->setColumnStretch(3, 1);

  GrBoxDef = k.Langue<TGroupBoxLangue>(page, "GrBoxDef", "Failure Mode", "Mode de défaut");
  auto* def = new QGridLayout(GrBoxDef);
  RdDefLow = k.Langue<TRadioButtonLangue>(GrBoxDef, "RdDefLow", "3,8 mA", "3,8 mA");
  RdDefLow->setChecked(true);
  RdDefHigh = k.Langue<TRadioButtonLangue>(GrBoxDef, "RdDefHigh", "22,0 mA", "22,0 mA");
  BtnWR_DEF = WriteButton(GrBoxDef, "BtnWR_DEF", PopupMenu, k.SendHint());
  def->addWidget(RdDefLow, 0, 0);
  def->addWidget(RdDefHigh, 1, 0);
  def->addWidget(BtnWR_DEF, 0, 1, 2, 1);
  def->setRowStretch(2, 1);

  // One button of each pair shows: linearisation off and writes allowed, until the device
  // tells otherwise.
  auto* options = k.Langue<TGroupBoxLangue>(page, nullptr, "Linearization / Protection", "Linéarisation / Protection");
  auto* o = new QGridLayout(options);
  BtnLin1 = k.Langue<TBitBtnLangue>(options, "BtnLin1", "Linearization", "Linéarisation", "Enable linearization mode",
                                    "Activer la linéarisation");
  BtnLin2 = k.Langue<TBitBtnLangue>(options, "BtnLin2", "Linearization", "Linéarisation", "Disable linearization mode",
                                    "Désactiver la linéarisation");
  BtnLin2->hide();
  BtnLock = k.Langue<TBitBtnLangue>(options, "BtnLock", "Protection", "Protection", "Unlock write protection",
                                    "Déverrouiller la protection en écriture");
  BtnLock->hide();
  BtnUnlock = k.Langue<TBitBtnLangue>(options, "BtnUnlock", "Protection", "Protection", "Lock write protection",
                                      "Verrouiller la protection en écriture");
  o->addWidget(BtnLin1, 0, 0);
  o->addWidget(BtnLin2, 0, 0);
  o->addWidget(BtnLock, 0, 1);
  o->addWidget(BtnUnlock, 0, 1);
  o->setRowStretch(1, 1);

  grid->addWidget(range, 0, 0);
  grid->addWidget(filter, 0, 1);
  grid->addWidget(GrBoxDef, 1, 0);
  grid->addWidget(options, 1, 1);
  grid->setRowStretch(2, 1);
  return page;
}

