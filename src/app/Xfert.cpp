#include "app/Xfert.h"

#include <QProgressBar>
#include <QVBoxLayout>
#include <algorithm>

#include "app/Texts.h"

TXfertForm::TXfertForm(TAppContext& app) : TForm(app, "XfertForm") {
  setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
  Progress = new QProgressBar(this);
  Progress->setObjectName(QStringLiteral("Progress"));
  Progress->setFixedSize(361, 16);
  Progress->setTextVisible(false);
  Progress->setRange(0, 100);
  Progress->setValue(0);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 9, 6);
  layout->addWidget(Progress);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  SetCaption(TransferTitle());
}

std::string TXfertForm::TransferTitle() const {
  return Tx(Langue(), "Transferring Linearization data", "Transfert des données de linéarisation");
}

void TXfertForm::FormShow() { SetCaption(TransferTitle()); }

void TXfertForm::StartProgress(int max) {
  Show();
  // A position outside the new range is kept at its nearer end, as a progress bar does.
  const int position = Progress->value();
  const int top = std::max(0, max);
  Progress->setRange(0, top);
  Progress->setValue(std::clamp(position, 0, top));
}

void TXfertForm::SetPosition(int position) {
  Progress->setValue(std::clamp(position, Progress->minimum(), Progress->maximum()));
}
