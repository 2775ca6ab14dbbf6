#pragma once

// The thermal drift correction window: the coefficients a transmitter needs from readings
// taken at two temperatures, for the acquisition and for the output current.

#include <array>

#include "app/Form.h"
#include "app/StdCtrls.h"
#include "app/core/DeriveDrift.h"
#include "controls/MyControls.h"

class QAction;
class QMenuBar;

class TDeriveForm : public TForm {
  Q_OBJECT

public:
  explicit TDeriveForm(TAppContext& app);

  // The device's coefficients of the acquisition group (1) and the output group (2).
  void SetCoefs1(float zero, float gain);
  void SetCoefs2(float zero, float gain);
  // What job 316 sends: corrected zero and gain of the acquisition group, then of the
  // output group.
  std::array<float, 4> CorrectedCoefs() const;

  // Kept between showings.
  float Ta = 0, Te = 0, dT = 0;
  TDriftGroup DriftAcq;
  TDriftGroup DriftOut;

  void BtLectureClick();
  void BtCalculClick();
  void BtInitClick();
  void BtEcritureClick();
  void BtRetourClick();
  void AD293Click();
  void LT2078Click();

  TMaskEdit* EdTa = nullptr;
  TMaskEdit* EdTe = nullptr;
  TMaskEdit* EdZ1a = nullptr;
  TMaskEdit* EdZ1e = nullptr;
  TMaskEdit* EdPE1a = nullptr;
  TMaskEdit* EdPE1e = nullptr;
  TMaskEdit* EdZ2a = nullptr;
  TMaskEdit* EdZ2e = nullptr;
  TMaskEdit* EdPE2a = nullptr;
  TMaskEdit* EdPE2e = nullptr;
  TEdit* LbCoefZ1 = nullptr;
  TEdit* LbCoefG1 = nullptr;
  TEdit* LbCoefZc1 = nullptr;
  TEdit* LbCoefGc1 = nullptr;
  TEdit* LbCoefZ2 = nullptr;
  TEdit* LbCoefG2 = nullptr;
  TEdit* LbCoefZc2 = nullptr;
  TEdit* LbCoefGc2 = nullptr;
  TButtonLangue* BtInit = nullptr;
  TButtonLangue* BtLecture = nullptr;
  TButtonLangue* BtCalcul = nullptr;
  TButtonLangue* BtEcriture = nullptr;
  TButtonLangue* BtRetour = nullptr;
  QMenuBar* MainMenu = nullptr;
  QAction* AD293 = nullptr;
  QAction* LT2078 = nullptr;

protected:
  void FormShow() override;

private:
  QWidget* BuildGroup(int n, const char* anglais, const char* francais, const char* row1, const char* row2);
  void ShowCoef(TEdit* edit, float value);
  void ShowComputed();
};
