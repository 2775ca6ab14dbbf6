#pragma once

// The "Last error" window: one message.

#include <string>

#include "app/Form.h"

class TLabel;
class TBitBtnLangue;

class TErreurForm : public TForm {
  Q_OBJECT

public:
  explicit TErreurForm(TAppContext& app);

  // Puts the message in the window and shows it (not modal).
  void ShowError(const std::string& message);

  void BitBtn1Click(TObject* sender);

  TLabel* LbErreur = nullptr;
  TBitBtnLangue* BitBtn1 = nullptr;

protected:
  void FormShow() override;
};
