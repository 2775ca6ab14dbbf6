#include "app/Ajmes.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/Texts.h"
#include "controls/MyControls.h"

TAjustCaptForm::TAjustCaptForm(TAppContext& app) : TForm(app, "AjustCaptForm") {
  TEdition& ed = app.Edition;
  GroupBoxLangue1 = new TGroupBoxLangue(ed, this);
  GroupBoxLangue1->setObjectName("GroupBoxLangue1");
  SetTexts(*GroupBoxLangue1, "Calibration operation", "Méthode d'ajustage");
  LabelLangue1 = new TLabelLangue(ed, GroupBoxLangue1);
  LabelLangue1->setObjectName("LabelLangue1");
  SetTexts(*LabelLangue1, "1 - Apply the reference", "1 - Injecter le signal à l'entrée");
  LabelLangue3 = new TLabelLangue(ed, GroupBoxLangue1);
  LabelLangue3->setObjectName("LabelLangue3");
  SetTexts(*LabelLangue3, "2 - Trim value", "3 - Appuyez sur correction pour appliquer la valeur.");

  Button2 = new QPushButton(QStringLiteral("Correction"), GroupBoxLangue1);
  Button2->setObjectName("Button2");
  connect(Button2, &QPushButton::clicked, this, [this] { Button1Click(this); });

  auto* buttonRow = new QHBoxLayout;
  buttonRow->addStretch();
  buttonRow->addWidget(Button2);
  buttonRow->addStretch();
  auto* group = new QVBoxLayout(GroupBoxLangue1);
  group->addWidget(LabelLangue1);
  group->addWidget(LabelLangue3);
  group->addLayout(buttonRow);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(GroupBoxLangue1);
  SetCaption(Tx(Langue(), "Trim measure", "Ajustage de la mesure"));
}

void TAjustCaptForm::FormShow() { SetCaption(Tx(Langue(), "Trim measure", "Ajustage de la mesure")); }

// 405 trims the sensor offset, 406 the full scale; the running list goes on after it.
void TAjustCaptForm::Button1Click(TObject*) {
  App().Jobs.Insert(Tag == 0 ? 405 : 406);
  Close();
}
