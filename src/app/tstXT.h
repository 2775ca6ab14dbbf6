#pragma once

// The transmitter self-test window.

#include "app/Form.h"
#include "controls/Led.h"
#include "controls/MyControls.h"
#include "model/Utils.h"

class TTstXTForm : public TForm {
  Q_OBJECT

public:
  explicit TTstXTForm(TAppContext& app);

  // The window's widths: the lamps alone, and with the fault group.
  static constexpr int NarrowWidth = 185;
  static constexpr int WideWidth = 335;

  // The result byte of the self-test: its fault bits, the lamps and the window's width.
  void ShowSelfTestResult(Byte result);

  void BitBtn2Click();
  void BitBtn1Click();

  Tled* Led_OK = nullptr;
  Tled* Led_HS = nullptr;
  TLabelLangue* LabelLangue1 = nullptr;  // "Pass"
  TLabelLangue* LabelLangue2 = nullptr;  // "Fail"
  TBitBtnLangue* BitBtn2 = nullptr;      // "TEST"
  TGroupBoxLangue* GroupBox1 = nullptr;  // the faults
  TCheckBoxLangue* CK0 = nullptr;
  TCheckBoxLangue* CK1 = nullptr;
  TCheckBoxLangue* CK2 = nullptr;
  TCheckBoxLangue* CK3 = nullptr;
  TCheckBoxLangue* CK7 = nullptr;
  TBitBtnLangue* BitBtnLangue1 = nullptr;  // "Return"

protected:
  void FormShow() override;

private:
  void SetWidth(int width);
};
