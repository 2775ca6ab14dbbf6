#pragma once

// The warning shown when a change of the display decimals rescales the alarm set points.
// The caller puts the change of decimals into Tag and shows the window modally; it tells the
// factor by which the alarm values change, asks nothing, and its closing lets the write go on.

#include <string>

#include "app/Form.h"

class QGroupBox;
class QLabel;
class TLabel;
class TLabelLangue;
class TBitBtnLangue;

class TWarningAlrForm : public TForm {
  Q_OBJECT

public:
  explicit TWarningAlrForm(TAppContext& app);

  // "OK".
  void BitBtnLangue1Click();

  QLabel* Image1 = nullptr;
  TLabelLangue* LabelLangue1 = nullptr;
  TLabel* Label2 = nullptr;
  TBitBtnLangue* BitBtnLangue1 = nullptr;
  QGroupBox* GroupBox1 = nullptr;  // kept hidden
  TLabel* Label1 = nullptr;

protected:
  // Tag (new decimals minus the device's) becomes the factor text; Tag keeps its magnitude.
  void FormShow() override;
  // Tag := 0, however the window closes.
  void FormClose() override;
};
