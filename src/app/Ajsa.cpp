#include "app/Ajsa.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/Texts.h"
#include "app/UiServices.h"
#include "app/core/DisplayFormat.h"
#include "app/main.h"


TAjustSAForm::TAjustSAForm(TAppContext& app) : TForm(app, "AjustSAForm") {
  TEdition& e = app.Edition;

  GroupBoxLangue1 = MakeLangue<TGroupBoxLangue>(e, this, "GroupBoxLangue1", "Calibration operation", "Méthode d'ajustage");
  LabelLangue1 = MakeLangue<TLabelLangue>(e, GroupBoxLangue1, "LabelLangue1", "1 - Connect reference meter",
                                      "1 - Connectez un Ampèremètre dans la boucle");
  LabelLangue2 = MakeLangue<TLabelLangue>(e, GroupBoxLangue1, "LabelLangue2", "2 - Enter meter value ",
                                      "2 - Veuillez indiquer la valeur du courant");
  LabelLangue3 = MakeLangue<TLabelLangue>(e, GroupBoxLangue1, "LabelLangue3", "3 - Send value to the transmitter",
                                      "3 - Appuyez sur correction pour appliquer la valeur.");
  EdCurrent = new TMaskEdit(GroupBoxLangue1);
  EdCurrent->setObjectName("EdCurrent");
  EdCurrent->Beep = [this] { App().Ui.Beep(); };
  EdCurrent->setFixedWidth(EdCurrent->fontMetrics().horizontalAdvance(QStringLiteral("00000000")) + 12);
  auto* mA = new QLabel(QStringLiteral("mA"), GroupBoxLangue1);
  Button1 = MakeLangue<TButtonLangue>(e, GroupBoxLangue1, "Button1", "Correction", "Correction");

  auto* value = new QHBoxLayout;
  value->addSpacing(16);
  value->addWidget(EdCurrent);
  value->addWidget(mA);
  value->addStretch();
  auto* group = new QVBoxLayout(GroupBoxLangue1);
  group->addWidget(LabelLangue1);
  group->addWidget(LabelLangue2);
  group->addLayout(value);
  group->addWidget(LabelLangue3);
  auto* button = new QHBoxLayout;
  button->addStretch();
  button->addWidget(Button1);
  group->addLayout(button);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(GroupBoxLangue1);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

std::string TAjustSAForm::TargetText() const {
  const char ds = App().FormatSettings.DecimalSeparator;
  return (Tag == 1 ? std::string("20") : std::string(" 4")) + ds + "0000";
}

// Puts the transmitter on the target current at once.
void TAjustSAForm::FormShow() {
  SetCaption(Tx(Langue(), "Trim current", "Ajustage du courant"));
  const char ds = App().FormatSettings.DecimalSeparator;
  EdCurrent->SetEditMask(std::string("!90") + ds + "0000;1;_");
  TrimTarget = Tag == 1 ? 20.0f : 4.0f;
  EdCurrent->SetText(TargetText());
  App().Forms.MainForm->Transmetteur.FixedCurrent = TrimTarget;
  App().Jobs.Start(402);
}

// A reading equal to the target ends the trim; any other one is sent as the measured
// current and the user reads the meter again. A text that is no number sends nothing.
void TAjustSAForm::Button1Click() {
  const auto v = StrToFloat(EdCurrent->Text(), App().FormatSettings);
  if (!v) {
    App().Ui.Beep();
    return;
  }
  TrimReading = static_cast<float>(*v);
  if (TrimReading == TrimTarget) {
    Close();
    return;
  }
  App().Forms.MainForm->Transmetteur.MeasuredCurrent = TrimReading;
  App().Jobs.Start(Tag == 1 ? 404 : 403);
  EdCurrent->SetText(TargetText());
}

// However the window closes, the transmitter leaves the fixed-current mode.
void TAjustSAForm::FormClose() {
  App().Forms.MainForm->Transmetteur.FixedCurrent = 0;
  App().Jobs.Start(402);
}
