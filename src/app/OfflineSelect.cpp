#include "app/OfflineSelect.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include "app/StdCtrls.h"
#include "app/Texts.h"
#include "app/core/OfflineSelectModels.h"
#include "app/main.h"
#include "controls/MyControls.h"

TOfflineSelectForm::TOfflineSelectForm(TAppContext& app) : TForm(app, "OfflineSelectForm") {
  TEdition& ed = app.Edition;
  SetCaption(Tx(Langue(), "Selection", "Sélection"));

  LabelLangue1 = new TLabelLangue(ed, this);
  LabelLangue1->setObjectName("LabelLangue1");
  SetTexts(*LabelLangue1, "Model", "Modèle");
  CbSelectXT = new QComboBox(this);
  CbSelectXT->setObjectName("CbSelectXT");
  for (const TOfflineModel& model : OfflineModels()) CbSelectXT->addItem(QString::fromLatin1(model.Name));
  CbSelectXT->setCurrentIndex(-1);
  connect(CbSelectXT, &QComboBox::currentIndexChanged, this, [this] { CbSelectXTChange(this); });

  BtnSelect = new TBitBtnLangue(ed, this);
  BtnSelect->setObjectName("BtnSelect");
  SetTexts(*BtnSelect, "Select", "Sélectionner");
  connect(BtnSelect, &QPushButton::clicked, this, [this] { BtnSelectClick(this); });

  TbPV = new QSlider(Qt::Horizontal, this);
  TbPV->setObjectName("TbPV");
  TbPV->setRange(0, 100);
  TbPV->setPageStep(1);
  TbPV->setTickInterval(10);
  TbPV->setTickPosition(QSlider::TicksBothSides);
  TbPV->hide();
  connect(TbPV, &QSlider::valueChanged, this, [this] { TbPVChange(this); });
  LbPV = new TLabel(this);
  LbPV->setObjectName("LbPV");
  LbPV->SetCaption("PV");
  LbPV->hide();

  auto* choice = new QHBoxLayout;
  choice->addWidget(LabelLangue1);
  choice->addWidget(CbSelectXT, 1);
  auto* pv = new QHBoxLayout;
  pv->addWidget(TbPV, 1);
  pv->addWidget(LbPV);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(BtnSelect);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(choice);
  layout->addLayout(pv);
  layout->addLayout(buttons);
  setMinimumWidth(220);
}

// Setting the choice here is not the user's change, so the change handler does not run.
void TOfflineSelectForm::FormShow() {
  {
    const QSignalBlocker blocker(CbSelectXT);
    CbSelectXT->setCurrentIndex(-1);
  }
  TbPV->setEnabled(false);
}

void TOfflineSelectForm::CbSelectXTChange(TObject*) {
  const TOfflineModel* model = OfflineModelAt(CbSelectXT->currentIndex());
  TbPV->setEnabled(model != nullptr);
  if (model && model->SetsPVRange) {
    TbPV->setRange(model->PVMin, model->PVMax);
    TbPV->setTickInterval(model->PVTickFrequency);
  }
}

void TOfflineSelectForm::TbPVChange(TObject*) { LbPV->SetCaption("PV : " + std::to_string(TbPV->value())); }

void TOfflineSelectForm::BtnSelectClick(TObject*) {
  const TOfflineModel* model = OfflineModelAt(CbSelectXT->currentIndex());
  if (!model) return;
  TXmt& xmt = App().Forms.MainForm->Transmetteur;
  xmt.DeviceType = model->DeviceType;
  if (model->TakesPV) xmt.PV = static_cast<float>(TbPV->value());
  Close();
}
