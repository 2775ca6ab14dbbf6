#pragma once

// The current trim: the 4 mA (Tag 0) and 20 mA (Tag 1) outputs trimmed against a
// reference meter.

#include <string>

#include "app/Form.h"
#include "app/StdCtrls.h"
#include "controls/MyControls.h"

class TAjustSAForm : public TForm {
  Q_OBJECT

public:
  explicit TAjustSAForm(TAppContext& app);

  // The current the transmitter is fixed at during the trim (4.0 or 20.0 mA).
  float TrimTarget = 4.0f;
  // The last meter reading that converted; kept between openings.
  float TrimReading = 0.0f;

  void Button1Click();

  TGroupBoxLangue* GroupBoxLangue1 = nullptr;
  TLabelLangue* LabelLangue1 = nullptr;
  TLabelLangue* LabelLangue2 = nullptr;
  TLabelLangue* LabelLangue3 = nullptr;
  TMaskEdit* EdCurrent = nullptr;
  TButtonLangue* Button1 = nullptr;  // "Correction"

protected:
  void FormShow() override;
  void FormClose() override;

private:
  // The edit's text for the target current.
  std::string TargetText() const;
};
