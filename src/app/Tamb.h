#pragma once

// The ambient temperature trim window, with the peak thermal values. While it is open the
// job list loops on reading the peaks; its buttons move the list's index to run the trim
// or the reset of the peaks once.

#include <string>

#include "app/Form.h"
#include "app/StdCtrls.h"
#include "controls/MyControls.h"

class TTambForm : public TForm {
  Q_OBJECT

public:
  explicit TTambForm(TAppContext& app);

  void ShowPeakValues(int minimum, int maximum);
  // The ambient temperature typed by the user, as job 314 sends it (Windows-1252).
  std::string AmbientText() const;

  void BtTambClick();
  void BtRAZClick();
  void BtRetourClick();

  TLabelLangue* Label1 = nullptr;
  TLabelLangue* Label2 = nullptr;
  TMaskEdit* EdTamb = nullptr;
  TLabelLangue* Label3 = nullptr;
  TLabel* LbTMin = nullptr;
  TLabelLangue* Label4 = nullptr;
  TLabel* LbTmax = nullptr;
  TButtonLangue* BtTamb = nullptr;
  TButtonLangue* BtRAZ = nullptr;
  TButtonLangue* BtRetour = nullptr;

protected:
  void FormShow() override;
  void FormClose() override;
};
