#include "app/tstloop.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/Texts.h"
#include "app/UiServices.h"
#include "app/core/DisplayFormat.h"
#include "app/main.h"


TTstLoopForm::TTstLoopForm(TAppContext& app) : TForm(app, "TstLoopForm") {
  setWindowFlag(Qt::Tool);
  TEdition& e = app.Edition;

  GroupBoxLangue1 = MakeLangue<TGroupBoxLangue>(e, this, "GroupBoxLangue1", "Current value", "Valeur du courant");
  ck4 = MakeLangue<TRadioButtonLangue>(e, GroupBoxLangue1, "ck4", "4 mA", "4 mA");
  ck20 = MakeLangue<TRadioButtonLangue>(e, GroupBoxLangue1, "ck20", "20 mA", "20 mA");
  RadioButtonLangue1 = MakeLangue<TRadioButtonLangue>(e, GroupBoxLangue1, "RadioButtonLangue1", "Other value ...", "Autre valeur ...");
  EdTestVal = new TMaskEdit(GroupBoxLangue1);
  EdTestVal->setObjectName("EdTestVal");
  EdTestVal->Beep = [this] { App().Ui.Beep(); };
  EdTestVal->setFixedWidth(EdTestVal->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
  EdTestVal->setEnabled(false);
  ck4->setChecked(true);
  auto* mA = new QLabel(QStringLiteral("mA"), GroupBoxLangue1);

  auto* group = new QGridLayout(GroupBoxLangue1);
  group->addWidget(ck4, 0, 0, 1, 3);
  group->addWidget(ck20, 1, 0, 1, 3);
  group->addWidget(RadioButtonLangue1, 2, 0);
  group->addWidget(EdTestVal, 2, 1);
  group->addWidget(mA, 2, 2);

  btGO = MakeLangue<TButtonLangue>(e, this, "btGO", "TEST", "TEST");
  BitBtnLangue1 = MakeLangue<TBitBtnLangue>(e, this, "BitBtnLangue1", "Return", "Retour");
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(btGO);
  buttons->addStretch();
  buttons->addWidget(BitBtnLangue1);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(GroupBoxLangue1);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(ck4, &QRadioButton::clicked, this, [this] { ck4Click(); });
  connect(ck20, &QRadioButton::clicked, this, [this] { ck20Click(); });
  connect(RadioButtonLangue1, &QRadioButton::clicked, this, [this] { ckuserClick(); });
  connect(EdTestVal, &QLineEdit::textChanged, this, [this] { EdTestValChange(); });
  connect(btGO, &QPushButton::clicked, this, [this] { btGOClick(); });
  connect(BitBtnLangue1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
}

void TTstLoopForm::FormShow() {
  SetCaption(Tx(Langue(), "Loop test", "Test de boucle"));
  const char ds = App().FormatSettings.DecimalSeparator;
  EdTestVal->SetEditMask(std::string("!90") + ds + "00;1;_");
  EdTestVal->SetText(std::string("12") + ds + "00");
  EdTestVal->setEnabled(false);
  ck4->setChecked(true);
  TestCurrent = 4.0f;
}

void TTstLoopForm::ck4Click() {
  EdTestVal->setEnabled(false);
  TestCurrent = 4.0f;
}

void TTstLoopForm::ck20Click() {
  EdTestVal->setEnabled(false);
  TestCurrent = 20.0f;
}

void TTstLoopForm::ckuserClick() {
  EdTestVal->setEnabled(true);
  EdTestValChange();
}

// Follows the typed value quietly: a text half typed is no error yet.
void TTstLoopForm::EdTestValChange() {
  if (!RadioButtonLangue1->isChecked()) return;
  if (const auto v = StrToFloat(EdTestVal->Text(), App().FormatSettings)) TestCurrent = static_cast<float>(*v);
}

void TTstLoopForm::btGOClick() {
  if (RadioButtonLangue1->isChecked()) {
    const auto v = StrToFloat(EdTestVal->Text(), App().FormatSettings);
    if (!v) {
      App().Ui.ReportError(FloatConversionErrorText(Langue(), EdTestVal->Text()));
      return;
    }
    TestCurrent = static_cast<float>(*v);
  }
  App().Forms.MainForm->Transmetteur.FixedCurrent = TestCurrent;
  App().Jobs.Start(402);
}

void TTstLoopForm::BitBtn1Click() { Close(); }

// However the window closes, the transmitter leaves the fixed-current mode.
void TTstLoopForm::FormClose() {
  App().Forms.MainForm->Transmetteur.FixedCurrent = 0;
  App().Jobs.Start(402);
}
