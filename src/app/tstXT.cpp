#include "app/tstXT.h"

#include <QGridLayout>
#include <QVBoxLayout>
#include <algorithm>

#include "app/Texts.h"
#include "app/main.h"

namespace {

constexpr Byte FaultMask = 0x8F;  // bits 0-3 and 7

}  // namespace

// The lamps and buttons fill the narrow window; the fault group sits to their right and
// shows only when the window is widened.
TTstXTForm::TTstXTForm(TAppContext& app) : TForm(app, "TstXTForm") {
  setWindowFlag(Qt::Tool);
  TEdition& e = app.Edition;

  auto* left = new QWidget(this);
  Led_OK = new Tled(left);
  Led_OK->setObjectName("Led_OK");
  Led_OK->SetKind(TLedKind::Green);
  Led_HS = new Tled(left);
  Led_HS->setObjectName("Led_HS");
  Led_HS->SetKind(TLedKind::Red);
  LabelLangue1 = MakeLangue<TLabelLangue>(e, left, "LabelLangue1", "Pass", "Réussi");
  LabelLangue2 = MakeLangue<TLabelLangue>(e, left, "LabelLangue2", "Fail", "Echoué");
  BitBtn2 = MakeLangue<TBitBtnLangue>(e, left, "BitBtn2", "TEST", "TEST");
  BitBtnLangue1 = MakeLangue<TBitBtnLangue>(e, left, "BitBtnLangue1", "Return", "Retour");

  auto* lamps = new QGridLayout;
  lamps->addWidget(Led_OK, 0, 0);
  lamps->addWidget(LabelLangue1, 0, 1);
  lamps->addWidget(Led_HS, 1, 0);
  lamps->addWidget(LabelLangue2, 1, 1);
  lamps->setColumnStretch(1, 1);
  auto* leftLayout = new QVBoxLayout(left);
  leftLayout->addLayout(lamps);
  leftLayout->addWidget(BitBtn2);
  leftLayout->addStretch();
  leftLayout->addWidget(BitBtnLangue1);

  GroupBox1 = MakeLangue<TGroupBoxLangue>(e, this, "GroupBox1", "Faults", "Défauts");
  GroupBox1->setEnabled(false);
  CK0 = MakeLangue<TCheckBoxLangue>(e, GroupBox1, "CK0", "EEPROM SGN", "EEPROM SGN");
  CK1 = MakeLangue<TCheckBoxLangue>(e, GroupBox1, "CK1", "ADC Stop", "ADC Stop");
  CK2 = MakeLangue<TCheckBoxLangue>(e, GroupBox1, "CK2", "Under range 1", "DEP 1 BAS");
  CK3 = MakeLangue<TCheckBoxLangue>(e, GroupBox1, "CK3", "Under range 2", "DEP 2 BAS");
  CK7 = MakeLangue<TCheckBoxLangue>(e, GroupBox1, "CK7", "EEPROM CSK", "EEPROM CSK");
  auto* faults = new QVBoxLayout(GroupBox1);
  for (QWidget* w : {CK0, CK1, CK2, CK3, CK7}) faults->addWidget(w);
  faults->addStretch();

  const int height = std::max(left->sizeHint().height(), GroupBox1->sizeHint().height()) + 8;
  left->setGeometry(0, 0, NarrowWidth, height);
  GroupBox1->setGeometry(NarrowWidth, 4, WideWidth - NarrowWidth - 6, height - 8);
  setFixedHeight(height);
  SetWidth(NarrowWidth);

  connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
  connect(BitBtnLangue1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
}

void TTstXTForm::SetWidth(int width) { setFixedWidth(width); }

void TTstXTForm::FormShow() {
  SetCaption(Tx(Langue(), "Transmitter test", "Test transmetteur"));
  Led_OK->SetLedStatus(false);
  Led_HS->SetLedStatus(false);
  SetWidth(NarrowWidth);
}

void TTstXTForm::BitBtn2Click() {
  Led_OK->SetLedStatus(false);
  Led_HS->SetLedStatus(false);
  App().Jobs.Start(401);
}

void TTstXTForm::BitBtn1Click() { Close(); }

void TTstXTForm::ShowSelfTestResult(Byte result) {
  CK0->setChecked((result & 0x01) != 0);
  CK1->setChecked((result & 0x02) != 0);
  CK2->setChecked((result & 0x04) != 0);
  CK3->setChecked((result & 0x08) != 0);
  CK7->setChecked((result & 0x80) != 0);
  const bool failed = (result & FaultMask) != 0;
  SetWidth(failed ? WideWidth : NarrowWidth);
  Led_HS->SetLedStatus(failed);
  Led_OK->SetLedStatus(!failed);
}
