#include "app/Ns.h"

#include <QFont>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/StdCtrls.h"
#include "app/Texts.h"
#include "app/UiServices.h"
#include "app/core/DisplayFormat.h"
#include "controls/MyControls.h"

namespace {

TLabelLangue* NewLabel(TEdition& edition, QWidget* parent, const char* name, const char* anglais,
                       const char* francais) {
  auto* label = new TLabelLangue(edition, parent);
  label->setObjectName(name);
  SetTexts(*label, anglais, francais);
  return label;
}

}  // namespace

TNSForm::TNSForm(TAppContext& app) : TForm(app, "NSForm") {
  TEdition& ed = app.Edition;
  SetCaption(Tx(Langue(), "Transmitter registration", "Inscription du transmetteur"));

  auto* warning = new QWidget(this);
  Label1 = NewLabel(ed, warning, "Label1", "Warning!", "Attention !");
  QFont bold = Label1->font();
  bold.setBold(true);
  Label1->setFont(bold);
  Label1->setStyleSheet("color: red");
  Label2 = NewLabel(ed, warning, "Label2", "This function will erase all the data",
                    "Cette fonction effacera toutes les données");
  Label3 = NewLabel(ed, warning, "Label3", "of the transmitter, that is:", "du transmetteur. C'est à dire :");
  Label4 = NewLabel(ed, warning, "Label4", "- TAG, Date, Descriptor", "- TAG, Date, Descripteur");
  Label5 = NewLabel(ed, warning, "Label5", "- Range, Unit", "- Echelle, Unité");
  Label6 = NewLabel(ed, warning, "Label6", "- Trim values ...", "- Valeurs d'ajustage ...");
  auto* warningLayout = new QVBoxLayout(warning);
  warningLayout->setContentsMargins(0, 0, 0, 0);
  warningLayout->setSpacing(2);
  warningLayout->addWidget(Label1);
  for (TLabelLangue* l : {Label2, Label3}) warningLayout->addWidget(l);
  for (TLabelLangue* l : {Label4, Label5, Label6}) {
    l->setIndent(16);
    warningLayout->addWidget(l);
  }

  auto* number = new QGroupBox(this);
  Label7 = NewLabel(ed, number, "Label7", "Enter the serial number", "Entrer le n° de série");
  Label7->setFont(bold);
  Label8 = NewLabel(ed, number, "Label8", "To identify the transmitter, it must",
                    "Afin d'identifier le transmetteur, Il faut");
  Label9 = NewLabel(ed, number, "Label9", "be given a unique serial number.",
                    "lui attribuer un numéro de série unique.");
  EdIdent = new TMaskEdit(number);
  EdIdent->setObjectName("EdIdent");
  EdIdent->SetEditMask("!9999990;0;_");
  EdIdent->Beep = [this] { App().Ui.Beep(); };
  EdIdent->SetText("0000000");
  EdIdent->setToolTip(Q(Tx(Langue(), "Assembly number", "N° d'assemblage")));
  EdIdent->setMinimumWidth(EdIdent->fontMetrics().horizontalAdvance(QStringLiteral("00000000")) + 16);
  auto* numberRow = new QHBoxLayout;
  numberRow->addWidget(Label7);
  numberRow->addStretch();
  numberRow->addWidget(EdIdent);
  auto* numberLayout = new QVBoxLayout(number);
  numberLayout->addLayout(numberRow);
  numberLayout->addWidget(Label8);
  numberLayout->addWidget(Label9);

  BtnRegister = new TBitBtnLangue(ed, this);
  BtnRegister->setObjectName("BtnRegister");
  SetTexts(*BtnRegister, "Erase and register the number", "RAZ et inscription du n°");
  connect(BtnRegister, &QPushButton::clicked, this, [this] { BtnRegisterClick(this); });
  BitBtn1 = new TBitBtnLangue(ed, this);
  BitBtn1->setObjectName("BitBtn1");
  SetTexts(*BitBtn1, "Cancel", "Annuler");
  connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(this); });

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(BtnRegister);
  buttons->addStretch();
  buttons->addWidget(BitBtn1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(warning);
  layout->addWidget(number);
  layout->addLayout(buttons);
}

std::string TNSForm::IdentText() const { return EdIdent->Text(); }

// Job 409 converts the number again when it runs; checking it here keeps a registration,
// which erases the device, from starting on a number that cannot be sent.
void TNSForm::BtnRegisterClick(TObject*) {
  const std::string text = IdentText();
  if (!StrToFloat(text, App().FormatSettings)) {
    App().Ui.ReportError(FloatConversionErrorText(Langue(), text));
    return;
  }
  App().Jobs.Start(409);
}

void TNSForm::BitBtn1Click(TObject*) { Close(); }
