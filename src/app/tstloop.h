#pragma once

// The loop test: the output current fixed at 4 mA, 20 mA or a typed value.

#include "app/Form.h"
#include "app/StdCtrls.h"
#include "controls/MyControls.h"

class TTstLoopForm : public TForm {
  Q_OBJECT

public:
  explicit TTstLoopForm(TAppContext& app);

  // The loop current chosen, in mA; kept between openings.
  float TestCurrent = 4.0f;

  void ck4Click();
  void ck20Click();
  void ckuserClick();
  void EdTestValChange();
  void btGOClick();
  void BitBtn1Click();

  TGroupBoxLangue* GroupBoxLangue1 = nullptr;
  TRadioButtonLangue* ck4 = nullptr;
  TRadioButtonLangue* ck20 = nullptr;
  TRadioButtonLangue* RadioButtonLangue1 = nullptr;  // "Other value ..."
  TMaskEdit* EdTestVal = nullptr;
  TButtonLangue* btGO = nullptr;
  TBitBtnLangue* BitBtnLangue1 = nullptr;  // "Return"

protected:
  void FormShow() override;
  void FormClose() override;
};
