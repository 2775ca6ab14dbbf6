#include "app/Erreur.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/StdCtrls.h"
#include "app/Texts.h"
#include "controls/MyControls.h"

TErreurForm::TErreurForm(TAppContext& app) : TForm(app, "ErreurForm") {
  LbErreur = new TLabel(this);
  LbErreur->setObjectName("LbErreur");
  LbErreur->setAlignment(Qt::AlignCenter);
  LbErreur->setWordWrap(true);
  LbErreur->setMinimumWidth(280);

  BitBtn1 = new TBitBtnLangue(app.Edition, this);
  BitBtn1->setObjectName("BitBtn1");
  SetTexts(*BitBtn1, "&Ok", "&Ok");
  BitBtn1->setDefault(true);
  connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(this); });

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(BitBtn1);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(LbErreur, 1);
  layout->addLayout(buttons);
  SetCaption(Tx(Langue(), "Last error", "Dernière erreur"));
}

void TErreurForm::ShowError(const std::string& message) {
  LbErreur->SetCaption(message);
  Show();
}

void TErreurForm::FormShow() { SetCaption(Tx(Langue(), "Last error", "Dernière erreur")); }

void TErreurForm::BitBtn1Click(TObject*) { Close(); }
