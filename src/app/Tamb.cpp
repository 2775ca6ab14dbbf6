#include "app/Tamb.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/Texts.h"
#include "app/UiServices.h"
#include "app/core/DisplayFormat.h"

namespace {


// The list the window runs, by slot: the peak reading loops at 0-1; the peak reset at 2 and
// the trim at 4 each run once, then go back to the loop.
constexpr int ResetSlot = 2;
constexpr int TrimSlot = 4;

}  // namespace

TTambForm::TTambForm(TAppContext& app) : TForm(app, "TambForm") {
  TEdition& e = app.Edition;

  Label1 = MakeLangue<TLabelLangue>(e, this, "Label1", "Please enter the temperature", "Veuillez entrer la température");
  Label2 = MakeLangue<TLabelLangue>(e, this, "Label2", "of the transmitter:", "du transmetteur :");
  EdTamb = new TMaskEdit(this);
  EdTamb->setObjectName("EdTamb");
  EdTamb->Beep = [this] { App().Ui.Beep(); };
  EdTamb->setFixedWidth(EdTamb->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
  auto* degrees = new QLabel(QStringLiteral("°C"), this);
  Label3 = MakeLangue<TLabelLangue>(e, this, "Label3", "Minimum temperature", "Température minimum");
  LbTMin = new TLabel(this);
  LbTMin->setObjectName("LbTMin");
  LbTMin->SetCaption(Cp("0°C"));
  Label4 = MakeLangue<TLabelLangue>(e, this, "Label4", "Maximum temperature", "Température maximum");
  LbTmax = new TLabel(this);
  LbTmax->setObjectName("LbTmax");
  LbTmax->SetCaption(Cp("0°C"));
  BtTamb = MakeLangue<TButtonLangue>(e, this, "BtTamb", "Correction", "Correction");
  BtRAZ = MakeLangue<TButtonLangue>(e, this, "BtRAZ", "Reset (Min/Max)", "Remise à zéro (Min/Max)");
  BtRetour = MakeLangue<TButtonLangue>(e, this, "BtRetour", "Return", "Retour");

  auto* grid = new QGridLayout;
  grid->addWidget(Label1, 0, 0, 1, 3);
  grid->addWidget(Label2, 1, 0);
  auto* value = new QHBoxLayout;
  value->addWidget(EdTamb);
  value->addWidget(degrees);
  grid->addLayout(value, 1, 1);
  grid->addWidget(BtTamb, 1, 2);
  grid->addWidget(Label3, 2, 0);
  grid->addWidget(LbTMin, 2, 1);
  grid->addWidget(Label4, 3, 0);
  grid->addWidget(LbTmax, 3, 1);
  grid->addWidget(BtRAZ, 2, 2, 2, 1);
  grid->setColumnStretch(1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(BtRetour);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(BtTamb, &QPushButton::clicked, this, [this] { BtTambClick(); });
  connect(BtRAZ, &QPushButton::clicked, this, [this] { BtRAZClick(); });
  connect(BtRetour, &QPushButton::clicked, this, [this] { BtRetourClick(); });
}

// Starts the peak reading loop; the busy flag stays as it is.
void TTambForm::FormShow() {
  SetCaption(Tx(Langue(), "Ambient temperature trim", "Ajustage de la température"));
  const char ds = App().FormatSettings.DecimalSeparator;
  EdTamb->SetEditMask(std::string("!00") + ds + "0;1;_");
  EdTamb->SetText(std::string("25") + ds + "0");
  TJobList& jobs = App().Jobs;
  jobs.LastJob = 206;
  jobs.JobIndex = 0;
  const std::int32_t list[] = {206, Job::Restart, 315, Job::Restart, 314, Job::Restart, Job::Idle};
  for (int i = 0; i < 7; ++i) jobs.Set(i, list[i]);
}

void TTambForm::ShowPeakValues(int minimum, int maximum) {
  LbTMin->SetCaption(std::to_string(minimum));
  LbTmax->SetCaption(std::to_string(maximum));
}

std::string TTambForm::AmbientText() const { return EdTamb->Text(); }

// A temperature that is no number is refused here, before the list is moved.
void TTambForm::BtTambClick() {
  if (!StrToFloat(AmbientText(), App().FormatSettings)) {
    App().Ui.ReportError(FloatConversionErrorText(Langue(), AmbientText()));
    return;
  }
  App().Jobs.JobIndex = TrimSlot;
}

void TTambForm::BtRAZClick() {
  App().Jobs.JobIndex = ResetSlot;
  App().Jobs.Set(ResetSlot, 315);
}

void TTambForm::BtRetourClick() { Close(); }

// However the window closes, the reading loop ends.
void TTambForm::FormClose() { App().Jobs.Start(Job::EndOfSequence); }
