#pragma once

// The sensor trim: sensor offset or full scale after a reference signal was applied.
// Tag 0 trims the offset, any other Tag the full scale.

#include "app/Form.h"

class QPushButton;
class TGroupBoxLangue;
class TLabelLangue;

class TAjustCaptForm : public TForm {
  Q_OBJECT

public:
  explicit TAjustCaptForm(TAppContext& app);

  // "Correction": puts the trim in front of the running list, then closes.
  void Button1Click(TObject* sender);

  TGroupBoxLangue* GroupBoxLangue1 = nullptr;
  TLabelLangue* LabelLangue1 = nullptr;
  TLabelLangue* LabelLangue3 = nullptr;
  QPushButton* Button2 = nullptr;

protected:
  void FormShow() override;
};
