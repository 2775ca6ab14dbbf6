// Builds the main window's sensor, calibration, alarm, display and maker pages.

#include <QBoxLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>
#include <QTabWidget>
#include <utility>

#include "app/MainPageKit.h"
#include "app/core/DisplayFormat.h"

using namespace mainpages;

// ---------------------------------------------------------------------------------------
// Page 3: sensor serial and assembly numbers, sensor limits, and one sheet per sensor kind.

QWidget* TMainForm::BuildSensorPage() {
  TKit k(*this);
  const char ds = FormatSettings().DecimalSeparator;
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);

  auto* reference = k.Langue<TGroupBoxLangue>(page, nullptr, "Sensor reference", "Référence du capteur");
  auto* r = new QGridLayout(reference);
  EdSNb = NumberEdit(reference, "EdSNb");
  BtnWR_SN = WriteButton(reference, "BtnWR_SN", PopupMenu);
  EdAssNb = NumberEdit(reference, "EdAssNb");
  BtnWR_ASSNB = WriteButton(reference, "BtnWR_ASSNB", PopupMenu);
  r->addWidget(k.Caption(reference, "Sensor serial number", "Numéro de série du capteur"), 0, 0);
  r->addWidget(EdSNb, 0, 1);
  r->addWidget(BtnWR_SN, 0, 2);
  r->addWidget(k.Caption(reference, "Assembly number", "Numéro d'assemblage"), 1, 0);
  r->addWidget(EdAssNb, 1, 1);
  r->addWidget(BtnWR_ASSNB, 1, 2);
  r->setRowStretch(2, 1);
  r->setColumnStretch(3, 1);

  auto* limits = k.Langue<TGroupBoxLangue>(page, nullptr, "Sensor limits", "Limites du capteur");
  auto* l = new QGridLayout(limits);
  LbUSL = ValueLabel(limits, "LbUSL");
  LbLSL = ValueLabel(limits, "LbLSL");
  LbMinSpan = ValueLabel(limits, "LbMinSpan");
  Sensor_Unit = Named(new TUnits(App().Sched, Langue(), limits), "Sensor_Unit");
  Sensor_Unit->SetUniteNb(14);  // percent; the selector stays disabled, the device sets it
  l->addWidget(k.Caption(limits, "Upper sensor limit", "Limite haute du capteur"), 0, 0);
  l->addWidget(LbUSL, 0, 1);
  l->addWidget(k.Caption(limits, "Lower sensor limit", "Limite basse du capteur"), 1, 0);
  l->addWidget(LbLSL, 1, 1);
  l->addWidget(k.Caption(limits, "Minimum span", "Etendue minimale"), 2, 0);
  l->addWidget(LbMinSpan, 2, 1);
  l->addWidget(Sensor_Unit, 0, 2, 3, 1, Qt::AlignCenter);

  // One sheet per sensor kind, each with its radio button, which only the device's type
  // checks, and its panel.
  SensorPageControl = Named(new QTabWidget(page), "SensorPageControl");
  auto sheet = [&](const char* title, TRadioButtonLangue*& radio, const char* radioName, const char* anglais,
                   const char* francais, TPanel*& panel, const char* panelName) {
    auto* w = new QWidget;
    auto* column = new QVBoxLayout(w);
    radio = k.Langue<TRadioButtonLangue>(w, radioName, anglais, francais);
    radio->setEnabled(false);
    radio->setAutoExclusive(false);  // each is alone on its sheet and unchecked by the program
    panel = Named(new TPanel(w), panelName);
    column->addWidget(radio);
    SensorPageControl->addTab(w, QString::fromLatin1(title));
    return column;
  };
  auto panelGrid = [&](TPanel* panel, std::initializer_list<std::pair<TLabelLangue*, QWidget*>> rows) {
    auto* g = new QGridLayout(panel);
    int line = 0;
    for (const auto& [caption, field] : rows) {
      g->addWidget(caption, line, 0);
      g->addWidget(field, line++, 1);
    }
    g->setColumnStretch(3, 1);  // the fields keep the width of their contents
    return g;
  };

  QVBoxLayout* v = sheet("I/V", RbV, "RbV", "Voltage/Current", "Tension/Courant", PanV, "PanV");
  CbV1 = Combo(PanV, "CbV1", {"0-10 / 0-20", "2-10 / 4-20"});
  CbV2 = Combo(PanV, "CbV2", {"PV = AI1", "PV = AI2", "PV = AI1+AI2", "PV = AI1-AI2"});
  BtnEditVolt = k.Langue<TBitBtnLangue>(PanV, "BtnEditVolt", "Lin edit", "Edition lin.", "Linearization editor",
                                        "Editeur de linéarisation");
  panelGrid(PanV, {{k.Caption(PanV, "Input range", "Gamme d'entrée"), CbV1},
                   {k.Caption(PanV, "Primary variable", "Variable primaire"), CbV2}})
      ->addWidget(BtnEditVolt, 0, 2);
  v->addWidget(PanV);
  v->addStretch(1);

  QVBoxLayout* p = sheet("P", RbR, "RbR", "Resistor (RTD)", "Résistance (RTD)", PanR, "PanR");
  CbR1 = Combo(PanR, "CbR1", {"Pt100", "Pt200", "Pt500", "Pt1000", "Ni100", "Ni200", "Ni500", "Ni1000"});
  CbR2 = k.Edition() == TLangue::Francais ? Combo(PanR, "CbR2", {"3 Fils", "2 Fils", "Diff Rt", "4 Fils"})
                                          : Combo(PanR, "CbR2", {"3 Wires", "2 Wires", "Delta Rt", "4 Wires"});
  panelGrid(PanR, {{k.Caption(PanR, "Probe", "Sonde"), CbR1}, {k.Caption(PanR, "Wiring", "Câblage"), CbR2}});
  p->addWidget(PanR);
  p->addStretch(1);

  QVBoxLayout* n = sheet("N", RbPot, "RbPot", "Potentiometer", "Potentiomètre", PanPot, "PanPot");
  CbPot1 = Named(new QComboBox(PanPot), "CbPot1");
  CbPot2 = k.Edition() == TLangue::Francais ? Combo(PanPot, "CbPot2", {"Avec Lin", "Sans Lin"})
                                            : Combo(PanPot, "CbPot2", {"Lin on", "Lin off"});
  BtnEditPot = k.Langue<TBitBtnLangue>(PanPot, "BtnEditPot", "Lin edit", "Edition lin.", "Linearization editor",
                                       "Editeur de linéarisation");
  panelGrid(PanPot, {{k.Caption(PanPot, "Potentiometer", "Potentiomètre"), CbPot1},
                     {k.Caption(PanPot, "Linearization", "Linéarisation"), CbPot2}})
      ->addWidget(BtnEditPot, 2, 0, 1, 2);
  // The secondary input's limits: the device's values, and the nominal value with the
  // deviations in percent that are written.
  PanPot2 = Named(new TPanel(n->parentWidget()), "PanPot2");
  auto* pot = new QGridLayout(PanPot2);
  LbAI1N = ValueLabel(PanPot2, "LbAI1N");
  LbAI1UL = ValueLabel(PanPot2, "LbAI1UL");
  LbAI1LL = ValueLabel(PanPot2, "LbAI1LL");
  EdAI1N = NumberEdit(PanPot2, "EdAI1N");
  EdAI1UL = NumberEdit(PanPot2, "EdAI1UL");
  EdAI1LL = NumberEdit(PanPot2, "EdAI1LL");
  EdAI1UL->SetText(std::string("   2") + ds + "0");
  EdAI1LL->SetText(std::string("  -2") + ds + "0");
  ImgWrnAI1N = Named(new QLabel(PanPot2), "ImgWrnAI1N");
  ImgWrnAI1N->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(16, 16));
  ImgWrnAI1N->hide();
  BitBtnLangue3 = k.Langue<TBitBtnLangue>(PanPot2, "BitBtnLangue3", "Nominal Value", "Valeur nominale");
  BitBtnLangue4 = k.Langue<TBitBtnLangue>(PanPot2, "BitBtnLangue4", "Reset", "Réinitialiser");
  pot->addWidget(k.Caption(PanPot2, "Device", "Transmetteur"), 0, 1);
  pot->addWidget(k.Caption(PanPot2, "New value", "Nouvelle valeur"), 0, 2);
  pot->addWidget(k.Caption(PanPot2, "Nominal value", "Valeur nominale"), 1, 0);
  pot->addWidget(LbAI1N, 1, 1);
  pot->addWidget(EdAI1N, 1, 2);
  pot->addWidget(ImgWrnAI1N, 1, 3);
  pot->addWidget(k.Caption(PanPot2, "Upper limit (%)", "Limite haute (%)"), 2, 0);
  pot->addWidget(LbAI1UL, 2, 1);
  pot->addWidget(EdAI1UL, 2, 2);
  pot->addWidget(k.Caption(PanPot2, "Lower limit (%)", "Limite basse (%)"), 3, 0);
  pot->addWidget(LbAI1LL, 3, 1);
  pot->addWidget(EdAI1LL, 3, 2);
  pot->addWidget(BitBtnLangue3, 4, 0);
  pot->addWidget(BitBtnLangue4, 4, 2);
  pot->setColumnStretch(4, 1);
  auto* potRow = new QHBoxLayout;
  potRow->addWidget(PanPot, 0, Qt::AlignTop);
  potRow->addWidget(PanPot2, 1);
  n->addLayout(potRow);
  n->addStretch(1);

  QVBoxLayout* tc = sheet("T", RbTC, "RbTC", "Thermocouple", "Thermocouple", PanTC, "PanTC");
  CbTC1 = Combo(PanTC, "CbTC1", {"J", "K", "T", "E", "N", "R", "S", "B", "W5"});
  CbTC2 = k.Edition() == TLangue::Francais ? Combo(PanTC, "CbTC2", {"Avec SF", "Sans SF"})
                                           : Combo(PanTC, "CbTC2", {"CJ on", "CJ off"});
  panelGrid(PanTC, {{k.Caption(PanTC, "Type", "Type"), CbTC1},
                    {k.Caption(PanTC, "Cold junction", "Soudure froide"), CbTC2}});
  tc->addWidget(PanTC);
  tc->addStretch(1);

  // Writes the sensor kind and wiring of the sheet shown, or the potentiometer limits.
  BtnWR_EXTRA = WriteButton(page, "BtnWR_EXTRA", PopupMenu, k.SendHint());
  auto* extra = new QHBoxLayout;
  extra->addStretch(1);
  extra->addWidget(k.Caption(page, "Sensor configuration", "Configuration du capteur"));
  extra->addWidget(BtnWR_EXTRA);

  grid->addWidget(reference, 0, 0);
  grid->addWidget(limits, 0, 1);
  grid->addWidget(SensorPageControl, 1, 0, 1, 2);
  grid->addLayout(extra, 2, 0, 1, 2);
  grid->setRowStretch(1, 1);
  return page;
}

// ---------------------------------------------------------------------------------------
// Page 4: loop and transmitter tests and the trims.

QWidget* TMainForm::BuildCalibratePage() {
  TKit k(*this);
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  auto group = [&](TGroupBoxLangue* box, std::initializer_list<QWidget*> buttons) {
    auto* column = new QVBoxLayout(box);
    for (QWidget* button : buttons) column->addWidget(button);
    column->addStretch(1);
    return box;
  };

  auto* tests = k.Langue<TGroupBoxLangue>(page, nullptr, "Tests", "Tests");
  BtTestLoop = k.Langue<TBitBtnLangue>(tests, "BtTestLoop", "Loop test", "Test de boucle");
  BtTestXt = k.Langue<TBitBtnLangue>(tests, "BtTestXt", "Transmitter autotest", "Autotest du transmetteur");
  group(tests, {BtTestLoop, BtTestXt});

  auto* trims = k.Langue<TGroupBoxLangue>(page, nullptr, "Output current trim", "Ajustage du courant de sortie");
  BtAj4 = k.Langue<TBitBtnLangue>(trims, "BtAj4", "D/A C trim (4mA)", "Ajustage du CNA (4mA)");
  BtAj20 = k.Langue<TBitBtnLangue>(trims, "BtAj20", "D/A C trim (20mA)", "Ajustage du CNA (20mA)");
  group(trims, {BtAj4, BtAj20});

  // The maker's trims keep the form's French captions.
  Gr_Aj_Mes = k.Langue<TGroupBoxLangue>(page, "Gr_Aj_Mes", "Measure trim", "Ajustage de la mesure");
  BtAj = Named(new QPushButton(QString::fromUtf8("Ajustage des segments"), Gr_Aj_Mes), "BtAj");
  BtAjPE = Named(new QPushButton(QString::fromUtf8("Ajustage pleine échelle du capteur"), Gr_Aj_Mes), "BtAjPE");
  BtAjBE = Named(new QPushButton(QString::fromUtf8("Ajustage bas d'échelle du capteur"), Gr_Aj_Mes), "BtAjBE");
  group(Gr_Aj_Mes, {BtAj, BtAjPE, BtAjBE});

  Gr_Tamb = k.Langue<TGroupBoxLangue>(page, "Gr_Tamb", "Ambient temperature", "Température ambiante");
  BtTamb =
      k.Langue<TBitBtnLangue>(Gr_Tamb, "BtTamb", "Chip temperature update", "Mise à jour de la température interne");
  group(Gr_Tamb, {BtTamb});

  grid->addWidget(tests, 0, 0);
  grid->addWidget(trims, 0, 1);
  grid->addWidget(Gr_Aj_Mes, 1, 0);
  grid->addWidget(Gr_Tamb, 1, 1);
  grid->setRowStretch(2, 1);
  return page;
}

// ---------------------------------------------------------------------------------------
// Page 5: the two alarms.

QWidget* TMainForm::BuildAlarmsPage() {
  TKit k(*this);
  auto* page = new QWidget;
  auto* column = new QVBoxLayout(page);
  auto* row = new QHBoxLayout;
  column->addLayout(row);
  column->addStretch(1);
  struct TAlarm {
    const char* Anglais;
    const char* Francais;
    TMaskEdit*& SetPoint;
    TMaskEdit*& Hysteresis;
    TMaskEdit*& Delay;
    TRadioButtonLangue*& Open;
    TRadioButtonLangue*& Closed;
    TBitBtnAlt*& Write;
    const char* Names[6];
  };
  const TAlarm alarms[] = {
      {"Alarm 1", "Alarme 1", EdAlr1, EdHys1, EdDel1, RdRelNo1, RdRelNf1, BtnWR_Alr1,
       {"EdAlr1", "EdHys1", "EdDel1", "RdRelNo1", "RdRelNf1", "BtnWR_Alr1"}},
      {"Alarm 2", "Alarme 2", EdAlr2, EdHys2, EdDel2, RdRelNo2, RdRelNf2, BtnWR_Alr2,
       {"EdAlr2", "EdHys2", "EdDel2", "RdRelNo2", "RdRelNf2", "BtnWR_Alr2"}},
  };
  for (const TAlarm& a : alarms) {
    auto* box = k.Langue<TGroupBoxLangue>(page, nullptr, a.Anglais, a.Francais);
    auto* g = new QGridLayout(box);
    a.SetPoint = NumberEdit(box, a.Names[0]);
    a.Hysteresis = NumberEdit(box, a.Names[1]);
    a.Delay = NumberEdit(box, a.Names[2]);
    a.Open = k.Langue<TRadioButtonLangue>(box, a.Names[3], "Normally open", "Normalement ouvert");
    a.Open->setChecked(true);
    a.Closed = k.Langue<TRadioButtonLangue>(box, a.Names[4], "Normally closed", "Normalement fermé");
    a.Write = WriteButton(box, a.Names[5], PopupMenu);
    g->addWidget(k.Caption(box, "Set point", "Seuil"), 0, 0);
    g->addWidget(a.SetPoint, 0, 1);
    g->addWidget(k.Caption(box, "Hysteresis", "Hystérésis"), 1, 0);
    g->addWidget(a.Hysteresis, 1, 1);
    g->addWidget(k.Caption(box, "Delay (s)", "Retard (s)"), 2, 0);
    g->addWidget(a.Delay, 2, 1);
    g->addWidget(k.Caption(box, "Relay", "Relais"), 3, 0);
    g->addWidget(a.Open, 3, 1);
    g->addWidget(a.Closed, 4, 1);
    g->addWidget(a.Write, 5, 1, Qt::AlignRight);
    g->setColumnStretch(2, 1);
    row->addWidget(box);
  }
  return page;
}

// ---------------------------------------------------------------------------------------
// Page 6: the transmitter's display and the PV range.

QWidget* TMainForm::BuildDisplayPage() {
  TKit k(*this);
  auto* page = new QWidget;
  auto* column = new QVBoxLayout(page);
  auto* row = new QHBoxLayout;
  column->addLayout(row);
  column->addStretch(1);

  GrPDafMod = k.Langue<TGroupBoxLangue>(page, "GrPDafMod", "Decimal Point Position / Last Digit Step",
                                        "Position du point décimal / Pas du dernier digit");
  auto* g = new QGridLayout(GrPDafMod);
  TrackBarPDaf = Named(new QSlider(Qt::Horizontal, GrPDafMod), "TrackBarPDaf");
  TrackBarPDaf->setRange(0, 4);
  TrackBarPDaf->setPageStep(1);
  TrackBarPDaf->setTickInterval(1);
  TrackBarPDaf->setTickPosition(QSlider::TicksBelow);
  TrackBarPDaf->setValue(4);
  // The preview of the transmitter's display.
  LCD = Named(new TSEG(GrPDafMod), "LCD");
  LCD->SetStyle(TStyle::LCD);
  LCD->SetNbDigit(4);
  LCD->SetHalfDigit(true);
  LCD->SetNb(-19999);
  LCD->SetPointDecimal(4 - TrackBarPDaf->value());
  auto* steps = new QHBoxLayout;
  struct TStep {
    TRadioButtonLangue*& Radio;
    const char* Name;
    const char* Caption;
  };
  for (const TStep& s : {TStep{RdMod0, "RdMod0", "1"}, TStep{RdMod2, "RdMod2", "2"}, TStep{RdMod5, "RdMod5", "5"},
                         TStep{RdMod10, "RdMod10", "10"}}) {
    s.Radio = k.Langue<TRadioButtonLangue>(GrPDafMod, s.Name, s.Caption, s.Caption);
    steps->addWidget(s.Radio);
  }
  RdMod0->setChecked(true);
  CkDispUnit = k.Langue<TCheckBoxLangue>(GrPDafMod, "CkDispUnit", "Unit display", "Affichage de l'unité");
  Btn_WR_ExStatus = WriteButton(GrPDafMod, "Btn_WR_ExStatus", PopupMenu);
  g->addWidget(LCD, 0, 0, 1, 2, Qt::AlignCenter);
  g->addWidget(k.Caption(GrPDafMod, "Decimal point", "Point décimal"), 1, 0);
  g->addWidget(TrackBarPDaf, 1, 1);
  g->addWidget(k.Caption(GrPDafMod, "Last digit step", "Pas du dernier digit"), 2, 0);
  g->addLayout(steps, 2, 1);
  g->addWidget(CkDispUnit, 3, 0, 1, 2);
  g->addWidget(Btn_WR_ExStatus, 4, 1, Qt::AlignRight);
  g->setRowStretch(5, 1);

  GrPVRange = k.Langue<TGroupBoxLangue>(page, "GrPVRange", "PV Range Value", "Echelle de la PV");
  auto* r = new QGridLayout(GrPVRange);
  PV_Unit = Named(new TUnits(App().Sched, Langue(), GrPVRange), "PV_Unit");
  PV_Unit->SetEnabled(true);
  EdUPV = NumberEdit(GrPVRange, "EdUPV");
  EdLPV = NumberEdit(GrPVRange, "EdLPV");
  BtnWR_PV = WriteButton(GrPVRange, "BtnWR_PV", PopupMenu);
  r->addWidget(k.Caption(GrPVRange, "Unit", "Unité"), 0, 0);
  r->addWidget(PV_Unit, 0, 1);
  r->addWidget(k.Caption(GrPVRange, "Upper PV value", "Valeur haute de la PV"), 1, 0);
  r->addWidget(EdUPV, 1, 1);
  r->addWidget(k.Caption(GrPVRange, "Lower PV value", "Valeur basse de la PV"), 2, 0);
  r->addWidget(EdLPV, 2, 1);
  r->addWidget(BtnWR_PV, 3, 1, Qt::AlignRight);
  r->setRowStretch(4, 1);
  r->setColumnStretch(2, 1);

  row->addWidget(GrPDafMod, 3);
  row->addWidget(GrPVRange, 2);
  return page;
}

// ---------------------------------------------------------------------------------------
// Page 7: the maker's test page. Its buttons and labels keep the form's own French texts.

QWidget* TMainForm::BuildMakerPage() {
  TKit k(*this);
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  auto button = [page](const char* name, const char* caption) {
    return Named(new QPushButton(QString::fromUtf8(caption), page), name);
  };

  BtnParamCheck = button("BtnParamCheck", "Param");
  LbParamCheck = ValueLabel(page, "LbParamCheck");
  BtnRomCheck = button("BtnRomCheck", "Rom");
  LbRomCheck = ValueLabel(page, "LbRomCheck");
  BtStack = button("BtStack", "Stack");
  LbStackStatus = ValueLabel(page, "LbStackStatus");
  BtMaxSeg = button("BtMaxSeg", "MaxSeg");
  LbMaxSeg = ValueLabel(page, "LbMaxSeg");
  BitBtn1 = button("BitBtn1", "ADC");
  lbADC_V1 = ValueLabel(page, "lbADC_V1");
  lbADC_V2 = ValueLabel(page, "lbADC_V2");
  RdUnLock = Named(new QRadioButton(QString::fromUtf8("Linéarisation ON"), page), "RdUnLock");
  RdLock = Named(new QRadioButton(QString::fromUtf8("Linéarisation OFF"), page), "RdLock");
  BtnE = button("BtnE", "PE Vref (E)");
  BtnZ = button("BtnZ", "Z Vref (Z)");
  BtnResetCfg = button("BtnResetCfg", "RESET CONFIGURATION CHANGED");
  BTDerive = button("BTDerive", "Correction des dérives °T");
  BtStatus = button("BtStatus", "Etat du transmetteur");
  BtnInit = button("BtnInit", "1 ère Indentification");
  BtnAjTimeDate = button("BtnAjTimeDate", "TimeDate");
  Button1 = button("Button1", "Button1");
  EdCfgCC = Named(new TEdit(page), "EdCfgCC");

  grid->addWidget(BtnParamCheck, 0, 0);
  grid->addWidget(LbParamCheck, 0, 1);
  grid->addWidget(BtnRomCheck, 1, 0);
  grid->addWidget(LbRomCheck, 1, 1);
  grid->addWidget(BtStack, 2, 0);
  grid->addWidget(LbStackStatus, 2, 1);
  grid->addWidget(BtMaxSeg, 3, 0);
  grid->addWidget(LbMaxSeg, 3, 1);
  grid->addWidget(BitBtn1, 4, 0);
  grid->addWidget(lbADC_V1, 4, 1);
  grid->addWidget(lbADC_V2, 5, 1);
  grid->addWidget(RdUnLock, 6, 0);
  grid->addWidget(RdLock, 6, 1);
  grid->addWidget(BtnE, 0, 2);
  grid->addWidget(BtnZ, 1, 2);
  grid->addWidget(BtnResetCfg, 2, 2);
  grid->addWidget(BTDerive, 3, 2);
  grid->addWidget(BtStatus, 4, 2);
  grid->addWidget(BtnInit, 5, 2);
  grid->addWidget(BtnAjTimeDate, 6, 2);

  auto* modem = Named(new QGroupBox(QStringLiteral("Test Modem"), page), "GrTestModem");
  auto* m = new QGridLayout(modem);
  BtTEST = Named(new QPushButton(QStringLiteral("TEST"), modem), "BtTEST");
  TestLed = k.Langue<TledLangue>(modem, "TestLed", "", "", "Modem test running", "Test du modem en cours");
  BtnTESTExp = Named(new QPushButton(QStringLiteral("TEST Exp"), modem), "BtnTESTExp");
  BtnTESTBroadcast = Named(new QPushButton(QStringLiteral("TESTBroadcast"), modem), "BtnTESTBroadcast");
  EdLongTAG = Named(new TEdit(modem), "EdLongTAG");
  m->addWidget(BtTEST, 0, 0);
  m->addWidget(TestLed, 0, 1);
  m->addWidget(BtnTESTExp, 1, 0);
  m->addWidget(BtnTESTBroadcast, 2, 0);
  m->addWidget(k.Caption(modem, "Long tag", "TAG long"), 3, 0);
  m->addWidget(EdLongTAG, 4, 0, 1, 2);
  grid->addWidget(modem, 0, 3, 5, 1);
  TLabelLangue* counter = k.Caption(page, "Configuration change counter", "Compteur de changements de configuration");
  counter->setWordWrap(true);
  grid->addWidget(counter, 5, 3);
  grid->addWidget(EdCfgCC, 6, 3);
  grid->addWidget(Button1, 7, 3);
  grid->setRowStretch(8, 1);
  grid->setColumnStretch(4, 1);
  return page;
}
