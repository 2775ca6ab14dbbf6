#pragma once

// The progress window of a linearisation transfer.

#include <string>

#include "app/Form.h"

class QProgressBar;

class TXfertForm : public TForm {
  Q_OBJECT

public:
  explicit TXfertForm(TAppContext& app);

  // Shows the window with a bar from 0 to max (the position is left as it is).
  void StartProgress(int max);
  // Positions beyond the bar's ends stop at them.
  void SetPosition(int position);

  QProgressBar* Progress = nullptr;

protected:
  void FormShow() override;

private:
  std::string TransferTitle() const;
};
