#pragma once

// The choice of the transmitter model to simulate offline. Select sets the main window's
// model to the chosen type and closes; with nothing chosen it does nothing.

#include "app/Form.h"

class QComboBox;
class QSlider;
class TBitBtnLangue;
class TLabel;
class TLabelLangue;

class TOfflineSelectForm : public TForm {
  Q_OBJECT

public:
  explicit TOfflineSelectForm(TAppContext& app);

  void CbSelectXTChange(TObject* sender);
  void TbPVChange(TObject* sender);
  void BtnSelectClick(TObject* sender);

  TLabelLangue* LabelLangue1 = nullptr;
  QComboBox* CbSelectXT = nullptr;
  TBitBtnLangue* BtnSelect = nullptr;
  // The PV of the simulated RV210P; hidden, so its position stays 0.
  QSlider* TbPV = nullptr;
  TLabel* LbPV = nullptr;

protected:
  // Nothing chosen, the PV bar disabled.
  void FormShow() override;
};
