#include "app/Derive.h"

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

#include "app/Texts.h"
#include "app/UiServices.h"

namespace {


// The fields keep the ',' of their masks whatever the locale.
TMaskEdit* Field(QWidget* parent, const char* name, const char* mask) {
  auto* edit = new TMaskEdit(parent);
  edit->setObjectName(QLatin1String(name));
  edit->SetEditMask(mask);
  edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("-0000000")) + 12);
  return edit;
}

TEdit* CoefEdit(QWidget* parent, const char* name) {
  auto* edit = new TEdit(parent);
  edit->setObjectName(QLatin1String(name));
  edit->setReadOnly(true);
  edit->SetText("0");
  edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("-0.000 E-00")) + 14);
  return edit;
}

constexpr const char* AcqMask = "!#999,99;1;_";
constexpr const char* OutMask = "!99,999;1;_";

}  // namespace

TDeriveForm::TDeriveForm(TAppContext& app) : TForm(app, "DeriveForm") {
  TEdition& e = app.Edition;
  const TLangue l = app.Langue();
  auto tr = [l](const char* anglais, const char* francais) { return QString::fromUtf8(Texte(l, anglais, francais)); };

  MainMenu = new QMenuBar(this);
  MainMenu->setObjectName("MainMenu");
  QMenu* configuration = MainMenu->addMenu(QStringLiteral("Configuration"));
  AD293 = configuration->addAction(QStringLiteral("AD293"));
  AD293->setObjectName("AD293");
  AD293->setCheckable(true);
  LT2078 = configuration->addAction(QStringLiteral("LT2078"));
  LT2078->setObjectName("LT2078");
  LT2078->setCheckable(true);
  configuration->addSeparator();
  configuration->addAction(tr("Recall ...", "Rappelle ..."));
  configuration->addAction(tr("Save ...", "Enregistre ..."));

  auto* temperatures = MakeLangue<TGroupBoxLangue>(e, this, "GroupBoxTemperatures", "Temperatures", "Températures");
  EdTa = Field(temperatures, "EdTa", "!99,9;1;_");
  EdTe = Field(temperatures, "EdTe", "!99,9;1;_");
  EdTa->SetText("25,0");
  EdTe->SetText("  , ");
  auto* t = new QGridLayout(temperatures);
  t->addWidget(MakeLangue<TLabelLangue>(e, temperatures, nullptr, "Adjustment temperature: Ta =", "Température d'ajustage : Ta ="), 0, 0);
  t->addWidget(EdTa, 0, 1);
  t->addWidget(new QLabel(QStringLiteral("°C"), temperatures), 0, 2);
  t->addWidget(MakeLangue<TLabelLangue>(e, temperatures, nullptr, "Oven temperature: Te =", "Température de l'étuve  : Te ="), 1, 0);
  t->addWidget(EdTe, 1, 1);
  t->addWidget(new QLabel(QStringLiteral("°C"), temperatures), 1, 2);
  t->setColumnStretch(3, 1);

  QWidget* acq = BuildGroup(1, "Acquisition drift", "Dérive de l'acquisition", nullptr, nullptr);
  QWidget* out = BuildGroup(2, "Output current drift", "Dérive du courant de sortie", "4.0 mA", "20.0 mA");

  BtInit = MakeLangue<TButtonLangue>(e, this, "BtInit", "Initialise", "Initialise");
  BtLecture = MakeLangue<TButtonLangue>(e, this, "BtLecture", "Read", "Lecture");
  BtCalcul = MakeLangue<TButtonLangue>(e, this, "BtCalcul", "Compute", "Calcule");
  BtEcriture = MakeLangue<TButtonLangue>(e, this, "BtEcriture", "Write", "Ecriture");
  BtRetour = MakeLangue<TButtonLangue>(e, this, "BtRetour", "Return", "Retour");
  BtCalcul->setEnabled(false);
  BtEcriture->setEnabled(false);
  auto* buttons = new QHBoxLayout;
  for (QWidget* b : {BtInit, BtLecture, BtCalcul, BtEcriture, BtRetour}) buttons->addWidget(b);

  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(MainMenu);
  layout->addWidget(temperatures);
  layout->addWidget(acq);
  layout->addWidget(out);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  for (TMaskEdit* edit : findChildren<TMaskEdit*>()) edit->Beep = [this] { App().Ui.Beep(); };

  connect(BtInit, &QPushButton::clicked, this, [this] { BtInitClick(); });
  connect(BtLecture, &QPushButton::clicked, this, [this] { BtLectureClick(); });
  connect(BtCalcul, &QPushButton::clicked, this, [this] { BtCalculClick(); });
  connect(BtEcriture, &QPushButton::clicked, this, [this] { BtEcritureClick(); });
  connect(BtRetour, &QPushButton::clicked, this, [this] { BtRetourClick(); });
  connect(AD293, &QAction::triggered, this, [this] { AD293Click(); });
  connect(LT2078, &QAction::triggered, this, [this] { LT2078Click(); });
}

// One group: its four readings at Ta and Te, the transmitter's coefficients and the
// computed ones. n is 1 for the acquisition, 2 for the output current.
QWidget* TDeriveForm::BuildGroup(int n, const char* anglais, const char* francais, const char* row1, const char* row2) {
  TEdition& e = App().Edition;
  auto* group = MakeLangue<TGroupBoxLangue>(e, this, n == 1 ? "GroupBoxAcq" : "GroupBoxOut", anglais, francais);
  const bool acq = n == 1;
  const char* mask = acq ? AcqMask : OutMask;
  TMaskEdit*& za = acq ? EdZ1a : EdZ2a;
  TMaskEdit*& ze = acq ? EdZ1e : EdZ2e;
  TMaskEdit*& pea = acq ? EdPE1a : EdPE2a;
  TMaskEdit*& pee = acq ? EdPE1e : EdPE2e;
  za = Field(group, acq ? "EdZ1a" : "EdZ2a", mask);
  ze = Field(group, acq ? "EdZ1e" : "EdZ2e", mask);
  pea = Field(group, acq ? "EdPE1a" : "EdPE2a", mask);
  pee = Field(group, acq ? "EdPE1e" : "EdPE2e", mask);

  auto* readings = new QGridLayout;
  readings->addWidget(new QLabel(QStringLiteral("Ta"), group), 0, 1, Qt::AlignHCenter);
  readings->addWidget(new QLabel(QStringLiteral("Te"), group), 0, 2, Qt::AlignHCenter);
  if (acq) {
    readings->addWidget(MakeLangue<TLabelLangue>(e, group, nullptr, "Zero", "Zéro"), 1, 0);
    readings->addWidget(MakeLangue<TLabelLangue>(e, group, nullptr, "FS", "PE"), 2, 0);
  } else {
    readings->addWidget(new QLabel(QString::fromUtf8(row1), group), 1, 0);
    readings->addWidget(new QLabel(QString::fromUtf8(row2), group), 2, 0);
  }
  readings->addWidget(za, 1, 1);
  readings->addWidget(ze, 1, 2);
  readings->addWidget(pea, 2, 1);
  readings->addWidget(pee, 2, 2);

  auto coefBox = [&](const char* name, const char* en, const char* fr, TEdit*& zero, TEdit*& gain, const char* zName,
                     const char* gName) {
    auto* box = MakeLangue<TGroupBoxLangue>(e, group, name, en, fr);
    zero = CoefEdit(box, zName);
    gain = CoefEdit(box, gName);
    auto* grid = new QGridLayout(box);
    grid->addWidget(MakeLangue<TLabelLangue>(e, box, nullptr, "Zero", "Zéro"), 0, 0);
    grid->addWidget(zero, 0, 1);
    grid->addWidget(MakeLangue<TLabelLangue>(e, box, nullptr, "Gain", "Gain"), 1, 0);
    grid->addWidget(gain, 1, 1);
    return box;
  };
  QWidget* device = acq ? coefBox("GrCoef1", "Transmitter coefficients", "Coefficients du transmetteur", LbCoefZ1,
                                  LbCoefG1, "LbCoefZ1", "LbCoefG1")
                        : coefBox("GrCoef2", "Transmitter coefficients", "Coefficients du transmetteur", LbCoefZ2,
                                  LbCoefG2, "LbCoefZ2", "LbCoefG2");
  QWidget* computed = acq ? coefBox("GrCoefc1", "Computed coefficients", "Coefficients calculés", LbCoefZc1,
                                    LbCoefGc1, "LbCoefZc1", "LbCoefGc1")
                          : coefBox("GrCoefc2", "Computed coefficients", "Coefficients calculés", LbCoefZc2,
                                    LbCoefGc2, "LbCoefZc2", "LbCoefGc2");

  auto* layout = new QHBoxLayout(group);
  layout->addLayout(readings);
  layout->addWidget(device);
  layout->addWidget(computed);
  return group;
}

// Each showing starts from the default readings and reads the transmitter's coefficients.
void TDeriveForm::FormShow() {
  SetCaption(Tx(Langue(), "Thermal drift correction", "Correction des dérives en température"));
  EdTa->SetText("25,0");
  EdTe->SetText("55,0");
  EdZ1a->SetText("  0,00");
  EdZ1e->SetText("  0,00");
  EdPE1a->SetText("280,00");
  EdPE1e->SetText("280,00");
  EdZ2a->SetText(" 4,000");
  EdZ2e->SetText(" 4,000");
  EdPE2a->SetText("20,000");
  EdPE2e->SetText("20,000");
  BtCalcul->setEnabled(false);
  BtEcriture->setEnabled(false);
  App().Jobs.Start(212);
}

void TDeriveForm::ShowCoef(TEdit* edit, float value) { edit->SetText(DriftCoefficientText(value, App().FormatSettings)); }

void TDeriveForm::SetCoefs1(float zero, float gain) {
  DriftAcq.Z = zero;
  DriftAcq.G = gain;
  ShowCoef(LbCoefZ1, zero);
  ShowCoef(LbCoefG1, gain);
  BtCalcul->setEnabled(true);
}

void TDeriveForm::SetCoefs2(float zero, float gain) {
  DriftOut.Z = zero;
  DriftOut.G = gain;
  ShowCoef(LbCoefZ2, zero);
  ShowCoef(LbCoefG2, gain);
  BtCalcul->setEnabled(true);
}

std::array<float, 4> TDeriveForm::CorrectedCoefs() const { return {DriftAcq.Zc, DriftAcq.Gc, DriftOut.Zc, DriftOut.Gc}; }

void TDeriveForm::BtLectureClick() { App().Jobs.Start(212); }

void TDeriveForm::ShowComputed() {
  ShowCoef(LbCoefZc1, DriftAcq.Zc);
  ShowCoef(LbCoefGc1, DriftAcq.Gc);
  ShowCoef(LbCoefZc2, DriftOut.Zc);
  ShowCoef(LbCoefGc2, DriftOut.Gc);
}

// Readings that are no numbers, equal temperatures or a span of zero would make the
// coefficients meaningless: the computation is refused and nothing changes.
void TDeriveForm::BtCalculClick() {
  const TDriftTexts texts{EdTa->Text(),   EdTe->Text(),   EdZ1a->Text(), EdZ1e->Text(), EdPE1a->Text(),
                          EdPE1e->Text(), EdZ2a->Text(), EdZ2e->Text(), EdPE2a->Text(), EdPE2e->Text()};
  const auto readings = ReadDriftFields(texts);
  std::optional<TDriftResult> result;
  if (readings) {
    TDriftGroup acq = DriftAcq;
    TDriftGroup out = DriftOut;
    for (auto [to, from] : {std::pair{&acq, &readings->Acq}, std::pair{&out, &readings->Out}}) {
      to->Za = from->Za;
      to->PEa = from->PEa;
      to->Ze = from->Ze;
      to->PEe = from->PEe;
    }
    result = ComputeDrift(readings->Ta, readings->Te, acq, out);
  }
  if (!result) {
    App().Ui.Beep();
    return;
  }
  Ta = readings->Ta;
  Te = readings->Te;
  dT = result->dT;
  DriftAcq = result->Acq;
  DriftOut = result->Out;
  ShowCoef(LbCoefZ1, DriftAcq.Z);
  ShowCoef(LbCoefG1, DriftAcq.G);
  ShowCoef(LbCoefZ2, DriftOut.Z);
  ShowCoef(LbCoefG2, DriftOut.G);
  ShowComputed();
  BtEcriture->setEnabled(true);
}

// With no preset checked the present computed values stay.
void TDeriveForm::BtInitClick() {
  const TDriftPreset preset = AD293->isChecked()    ? TDriftPreset::AD293
                              : LT2078->isChecked() ? TDriftPreset::LT2078
                                                    : TDriftPreset::None;
  if (const auto c = DriftPresetCoefficients(preset)) {
    DriftAcq.Zc = (*c)[0];
    DriftAcq.Gc = (*c)[1];
    DriftOut.Zc = (*c)[2];
    DriftOut.Gc = (*c)[3];
  }
  ShowComputed();
  BtEcriture->setEnabled(true);
}

void TDeriveForm::BtEcritureClick() { App().Jobs.Start(316); }

void TDeriveForm::BtRetourClick() { Close(); }

void TDeriveForm::AD293Click() {
  AD293->setChecked(true);
  LT2078->setChecked(false);
}

void TDeriveForm::LT2078Click() {
  LT2078->setChecked(true);
  AD293->setChecked(false);
}
