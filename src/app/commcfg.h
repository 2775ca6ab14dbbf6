#pragma once

// The port dialog: COM1 to COM4, the USB HART modem or offline. It opens the chosen port
// on the link and keeps the choice in the ini file. At start-up it confirms itself after a
// countdown; from the Setup menu it waits for the user.

#include <QRadioButton>
#include <string>

#include "app/Form.h"
#include "runtime/Timer.h"

class QGroupBox;
class QPushButton;

class TCfgForm : public TForm {
  Q_OBJECT

public:
  explicit TCfgForm(TAppContext& app);

  // The ini file, in the current directory at each read and write.
  static constexpr const char* IniPath = "Corvin.ini";

  // Still checked after the dialog: no port was chosen.
  bool NoPortChosen() const { return RBtnCOM0->isChecked(); }

  void Timer1Timer();
  void BtnOKClick();

  QGroupBox* GroupBox1 = nullptr;
  QRadioButton* RBtnOFFLINE = nullptr;
  QRadioButton* RBtnCOM1 = nullptr;
  QRadioButton* RBtnCOM2 = nullptr;
  QRadioButton* RBtnCOM3 = nullptr;
  QRadioButton* RBtnCOM4 = nullptr;
  QRadioButton* RBtnCOM5 = nullptr;  // the USB modem
  QRadioButton* RBtnCOM6 = nullptr;  // "VCOM", never enabled
  QRadioButton* RBtnCOM0 = nullptr;  // invisible: nothing chosen
  QPushButton* BtnOK = nullptr;
  TTimer Timer1;

  int CfgCountdown = -1;  // ticks before the dialog confirms itself; negative: none
  bool CfgClosedByOK = false;

protected:
  void FormShow() override;
  void FormClose() override;
};
