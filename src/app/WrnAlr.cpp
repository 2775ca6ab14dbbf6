#include "app/WrnAlr.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <climits>
#include <cstdint>

#include "app/StdCtrls.h"
#include "app/Texts.h"
#include "controls/MyControls.h"

namespace {

// "/ 100" for two more decimals, "x 10" for one fewer. The power of ten is written out
// digit by digit, so that no change of decimals overflows it; a display has far fewer than
// 99 decimals, so the text stops there whatever Tag holds.
std::string FactorText(std::int64_t d, std::int64_t& n) {
  const char* sign = d > 0 ? "/" : "x";
  n = d > 0 ? d : -d;
  return std::string(sign) + " 1" + std::string(static_cast<std::size_t>(n < 99 ? n : 99), '0');
}

}  // namespace

TWarningAlrForm::TWarningAlrForm(TAppContext& app) : TForm(app, "WarningAlrForm") {
  TEdition& e = app.Edition;
  Image1 = new QLabel(this);
  Image1->setObjectName("Image1");
  Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));

  LabelLangue1 = new TLabelLangue(e, this);
  LabelLangue1->setObjectName("LabelLangue1");
  SetTexts(*LabelLangue1, "Alarms values may change", "Les valeurs des alarmes peuvent changer");

  Label2 = new TLabel(this);
  Label2->setObjectName("Label2");
  Label2->SetCaption("x 100");
  QFont big = Label2->font();
  big.setBold(true);
  big.setPointSizeF(big.pointSizeF() * 1.5);
  Label2->setFont(big);
  Label2->setAlignment(Qt::AlignCenter);

  GroupBox1 = new QGroupBox(this);
  GroupBox1->setObjectName("GroupBox1");
  Label1 = new TLabel(GroupBox1);
  Label1->setObjectName("Label1");
  (new QVBoxLayout(GroupBox1))->addWidget(Label1);
  GroupBox1->hide();

  BitBtnLangue1 = new TBitBtnLangue(e, this);
  BitBtnLangue1->setObjectName("BitBtnLangue1");
  SetTexts(*BitBtnLangue1, "OK", "OK");
  BitBtnLangue1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
  BitBtnLangue1->setDefault(true);
  connect(BitBtnLangue1, &QPushButton::clicked, this, [this] { BitBtnLangue1Click(); });

  auto* texts = new QVBoxLayout;
  texts->addWidget(LabelLangue1);
  texts->addWidget(Label2);
  auto* message = new QHBoxLayout;
  message->addWidget(Image1, 0, Qt::AlignTop);
  message->addLayout(texts, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(BitBtnLangue1);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(message);
  layout->addWidget(GroupBox1);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  SetCaption("Attention !");
}

void TWarningAlrForm::FormShow() {
  SetCaption("Attention !");
  std::int64_t n = 0;
  const std::string text = FactorText(Tag, n);
  Tag = n > INT_MAX ? INT_MAX : static_cast<int>(n);
  Label1->SetCaption(text);
  Label2->SetCaption(text);
  if (const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen()) {
    move(s->availableGeometry().center() - rect().center());
  }
}

void TWarningAlrForm::FormClose() { Tag = 0; }

void TWarningAlrForm::BitBtnLangue1Click() { Close(); }
