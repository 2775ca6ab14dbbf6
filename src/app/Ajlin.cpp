#include "app/Ajlin.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/Texts.h"
#include "app/core/AjlinPoint.h"
#include "controls/MyControls.h"
#include "model/Xmt.h"
#include "app/main.h"

TAjLINForm::TAjLINForm(TAppContext& app) : TForm(app, "AjLINForm") {
  TEdition& ed = app.Edition;
  SetCaption(Tx(Langue(), "Linearisation trim", "Linéarisation Ajustage"));

  RadioGroup1 = new TGroupBoxLangue(ed, this);
  RadioGroup1->setObjectName("RadioGroup1");
  SetTexts(*RadioGroup1, "Range", "Gamme");
  const char* const names[] = {"RBt0", "RBt25", "RBt50", "RBt75", "RBt100"};
  const char* const texts[] = {"0%", "25%", "50%", "75%", "100%"};
  auto* group = new QVBoxLayout(RadioGroup1);
  for (std::size_t i = 0; i < points_.size(); ++i) {
    points_[i] = new TRadioButtonLangue(ed, RadioGroup1);
    points_[i]->setObjectName(names[i]);
    SetTexts(*points_[i], texts[i], texts[i]);
    group->addWidget(points_[i]);
  }
  RBt0 = points_[0];
  RBt25 = points_[1];
  RBt50 = points_[2];
  RBt75 = points_[3];
  RBt100 = points_[4];
  RBt0->setChecked(true);

  btGO = new TButtonLangue(ed, this);
  btGO->setObjectName("btGO");
  SetTexts(*btGO, "Trim", "Ajustage");
  BtRetour = new TButtonLangue(ed, this);
  BtRetour->setObjectName("BtRetour");
  SetTexts(*BtRetour, "Return", "Retour");
  connect(btGO, &QPushButton::clicked, this, [this] { btGOClick(this); });
  connect(BtRetour, &QPushButton::clicked, this, [this] { BtRetourClick(this); });

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(btGO);
  buttons->addStretch();
  buttons->addWidget(BtRetour);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(RadioGroup1);
  layout->addLayout(buttons);
}

void TAjLINForm::btGOClick(TObject*) {
  int checked = -1;
  for (std::size_t i = 0; i < points_.size(); ++i)
    if (points_[i]->isChecked()) checked = static_cast<int>(i);
  const TTrimStep step = TrimPointStep(checked);
  if (step.NextChecked >= 0) points_[static_cast<std::size_t>(step.NextChecked)]->setChecked(true);
  App().Forms.MainForm->Transmetteur.TrimPoint = static_cast<Byte>(step.Point);
  App().Jobs.Start(407);
}

void TAjLINForm::BtRetourClick(TObject*) { Close(); }
