#include "app/commcfg.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>

#include "app/Texts.h"
#include "app/UiServices.h"
#include "app/core/IniFile.h"
#include "app/main.h"

namespace {
QRadioButton* Radio(QWidget* parent, QLayout* layout, const char* name, const char* caption) {
  auto* b = new QRadioButton(QString::fromUtf8(caption), parent);
  b->setObjectName(name);
  layout->addWidget(b);
  return b;
}
}  // namespace

TCfgForm::TCfgForm(TAppContext& app) : TForm(app, "CfgForm"), Timer1(app.Sched, 500) {
  SetCaption("Configuration");
  setWindowFlag(Qt::WindowStaysOnTopHint);
  Tag = 10;

  auto* top = new QVBoxLayout(this);
  GroupBox1 = new QGroupBox(QStringLiteral("Port"), this);
  GroupBox1->setObjectName("GroupBox1");
  auto* ports = new QVBoxLayout(GroupBox1);
  RBtnOFFLINE = Radio(GroupBox1, ports, "RBtnOFFLINE", "OFFLINE");
  RBtnCOM1 = Radio(GroupBox1, ports, "RBtnCOM1", "COM1");
  RBtnCOM2 = Radio(GroupBox1, ports, "RBtnCOM2", "COM2");
  RBtnCOM3 = Radio(GroupBox1, ports, "RBtnCOM3", "COM3");
  RBtnCOM4 = Radio(GroupBox1, ports, "RBtnCOM4", "COM4");
  RBtnCOM5 = Radio(GroupBox1, ports, "RBtnCOM5", "USB");
  RBtnCOM6 = Radio(GroupBox1, ports, "RBtnCOM6", "VCOM");
  RBtnCOM0 = Radio(GroupBox1, ports, "RBtnCOM0", "");
  RBtnCOM5->setEnabled(false);
  RBtnCOM6->setEnabled(false);
  RBtnCOM0->hide();
  RBtnCOM0->setChecked(true);
  top->addWidget(GroupBox1);

  BtnOK = new QPushButton(QStringLiteral("Ok"), this);
  BtnOK->setObjectName("BtnOK");
  BtnOK->setMinimumWidth(120);
  top->addWidget(BtnOK, 0, Qt::AlignHCenter);
  connect(BtnOK, &QPushButton::clicked, this, [this] { BtnOKClick(); });

  Timer1.OnTimer = [this](TObject*) { Timer1Timer(); };
}

void TCfgForm::FormShow() {
  // The countdown runs from the showing, whatever the timer's phase was.
  Timer1.SetEnabled(false);
  Timer1.SetEnabled(true);
  CfgCountdown = Tag;
  CfgClosedByOK = false;

  THART& hart = *App().Forms.MainForm->MainHart;
  hart.ClosePort();
  std::array<TPortInfo, 6> list;
  hart.ListPorts(list);
  const std::array<QRadioButton*, 4> coms = {RBtnCOM1, RBtnCOM2, RBtnCOM3, RBtnCOM4};
  for (std::size_t i = 0; i < coms.size(); ++i) coms[i]->setEnabled(list[i].Available);
  RBtnCOM5->setEnabled(list[4].Available);
  RBtnCOM5->setToolTip(list[4].Available ? Q(list[4].Caption) : QString());

  const int port = ReadIniInteger(IniPath, "CONFIG", "PORT", 0);
  QRadioButton* preselected = nullptr;
  if (port >= 1 && port <= 4) {
    preselected = coms[static_cast<std::size_t>(port - 1)];
  } else if (port == 5000 || port == 5) {
    preselected = RBtnCOM5;
  } else if (port == -1) {
    preselected = RBtnOFFLINE;
  } else {
    CfgCountdown = -1;
  }
  // A saved port that cannot be used now is not checked; the countdown still runs, and what
  // an earlier showing left checked stays so.
  if (preselected && preselected->isEnabled()) preselected->setChecked(true);
}

void TCfgForm::Timer1Timer() {
  if (CfgCountdown < 0) {
    BtnOK->setText(QStringLiteral("Ok"));
    return;
  }
  BtnOK->setText(QStringLiteral("Ok (%1)").arg(CfgCountdown));
  if (CfgCountdown == 0) BtnOKClick();
  --CfgCountdown;
}

void TCfgForm::BtnOKClick() {
  TMainForm& main = *App().Forms.MainForm;
  main.OfflineMode = false;
  int port = 0;
  const std::array<std::pair<QRadioButton*, int>, 6> choices = {
      {{RBtnCOM1, 1}, {RBtnCOM2, 2}, {RBtnCOM3, 3}, {RBtnCOM4, 4}, {RBtnCOM5, TCustomModem::USBPortBase}, {RBtnOFFLINE, -1}}};
  for (const auto& [button, number] : choices) {
    if (button->isChecked()) {
      port = number;
      break;
    }
  }
  if (port != 0) {
    std::string status;
    main.MainHart->OpenPort(port, status);
    if (port == -1) main.OfflineMode = true;
  } else {
    App().Ui.Beep();
  }
  // A failed write keeps the old file; the choice holds for this run all the same.
  WriteIniInteger(IniPath, "CONFIG", "PORT", port);
  CfgCountdown = -1;
  CfgClosedByOK = true;
  Close();
}

// Closing the dialog by any means confirms the current choice.
void TCfgForm::FormClose() {
  if (!CfgClosedByOK) BtnOKClick();
}
