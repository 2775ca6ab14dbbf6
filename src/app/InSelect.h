#pragma once

// The input selection asked before a sensor trim on a device with two inputs. It leaves
// the choice in the model's SelectedInput: 1 or 2 once the device has taken it (the answer
// to command 140 closes the window), -1 when the user cancels; a cancel after "Next" ends
// the sequence, so the request is not sent again.

#include "app/Form.h"

class TButtonLangue;
class TGroupBoxLangue;
class TRadioButtonLangue;

class TInputSelectForm : public TForm {
  Q_OBJECT

public:
  explicit TInputSelectForm(TAppContext& app);

  void BtnCancelClick(TObject* sender);
  // Asks the device for the checked input (job 418); the window stays open for the answer.
  void BtnNextClick(TObject* sender);

  TGroupBoxLangue* GroupBoxLangue1 = nullptr;
  TRadioButtonLangue* RdV1 = nullptr;
  TRadioButtonLangue* RdV2 = nullptr;
  TButtonLangue* BtnCancel = nullptr;
  TButtonLangue* BtnNext = nullptr;

protected:
  void FormShow() override;
  // Esc and a close by the desktop count as "Cancel", so that no trim follows.
  void reject() override;
  void closeEvent(QCloseEvent* event) override;

private:
  // "Cancel": no input, and the request still unanswered goes no more.
  void Cancel();
  bool asked_ = false;  // "Next" sent the request since the window was shown
};
