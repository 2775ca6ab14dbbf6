#include "app/InSelect.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/Texts.h"
#include "app/main.h"
#include "controls/MyControls.h"

TInputSelectForm::TInputSelectForm(TAppContext& app) : TForm(app, "InputSelectForm") {
  TEdition& ed = app.Edition;
  // A tool window without the close box: it ends by "Cancel" or by the device's answer.
  setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  SetCaption("Attention !");

  GroupBoxLangue1 = new TGroupBoxLangue(ed, this);
  GroupBoxLangue1->setObjectName("GroupBoxLangue1");
  SetTexts(*GroupBoxLangue1, "Input Select", "Sélection de l'entrée");
  RdV1 = new TRadioButtonLangue(ed, GroupBoxLangue1);
  RdV1->setObjectName("RdV1");
  SetTexts(*RdV1, "Input n°1", "Entrée n°1");
  RdV1->setChecked(true);
  RdV2 = new TRadioButtonLangue(ed, GroupBoxLangue1);
  RdV2->setObjectName("RdV2");
  SetTexts(*RdV2, "Input n°2", "Entrée n°2");
  auto* group = new QVBoxLayout(GroupBoxLangue1);
  group->addWidget(RdV1);
  group->addWidget(RdV2);

  BtnCancel = new TButtonLangue(ed, this);
  BtnCancel->setObjectName("BtnCancel");
  SetTexts(*BtnCancel, "Cancel", "Annuler");
  BtnNext = new TButtonLangue(ed, this);
  BtnNext->setObjectName("BtnNext");
  SetTexts(*BtnNext, "Next", "Suivant");
  BtnNext->setAutoDefault(false);
  connect(BtnCancel, &QPushButton::clicked, this, [this] { BtnCancelClick(this); });
  connect(BtnNext, &QPushButton::clicked, this, [this] { BtnNextClick(this); });

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(BtnCancel);
  buttons->addStretch();
  buttons->addWidget(BtnNext);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(GroupBoxLangue1);
  layout->addLayout(buttons);
}

void TInputSelectForm::FormShow() {
  asked_ = false;
  BtnCancel->setFocus();
}

void TInputSelectForm::BtnCancelClick(TObject*) {
  Cancel();
  Close();
}

void TInputSelectForm::BtnNextClick(TObject*) {
  TXmt& xmt = App().Forms.MainForm->Transmetteur;
  if (RdV1->isChecked()) xmt.SelectedInput = 1;
  if (RdV2->isChecked()) xmt.SelectedInput = 2;
  App().Jobs.Start(418);
  asked_ = true;
}

// A request the device has not answered would go out again at every tick, and a late
// answer would switch the input the user gave up: the sequence ends here instead. Job 500
// stands both at the index and as the last job, so the retry rule can only repeat it.
void TInputSelectForm::Cancel() {
  App().Forms.MainForm->Transmetteur.SelectedInput = -1;
  if (asked_) App().Jobs.Start(Job::EndOfSequence);
  asked_ = false;
}

void TInputSelectForm::reject() { BtnCancelClick(this); }

void TInputSelectForm::closeEvent(QCloseEvent* event) {
  if (event->spontaneous()) Cancel();
  TForm::closeEvent(event);
}
