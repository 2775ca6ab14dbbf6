#pragma once

// The communication status window: the field-device status byte of every answer, and on
// request the additional device status of command 48.

#include "app/Form.h"
#include "app/StdCtrls.h"
#include "controls/Group.h"
#include "controls/MyControls.h"

class QTableWidget;
class QTabWidget;

class TStatusCommForm : public TForm {
  Q_OBJECT

public:
  explicit TStatusCommForm(TAppContext& app);

  // The eight status boxes from the status byte of an answer (CK7 bit 7 ... CK0 bit 0);
  // bit 4 (more status available) enables the read button, which then stays enabled.
  void ShowDeviceStatus(int status);
  // The pages below the status boxes from the model's command 48 fields.
  void ShowAdditionalStatus();
  // Back to the status boxes alone (the height after any answer other than 48).
  void ShowStatusBoxesOnly();

  void BtnReadAddStatusClick();

  QGroupBox* GroupBox1 = nullptr;
  TCheckBoxLangue* CK0 = nullptr;
  TCheckBoxLangue* CK1 = nullptr;
  TCheckBoxLangue* CK2 = nullptr;
  TCheckBoxLangue* CK3 = nullptr;
  TCheckBoxLangue* CK4 = nullptr;
  TCheckBoxLangue* CK5 = nullptr;
  TCheckBoxLangue* CK6 = nullptr;
  TCheckBoxLangue* CK7 = nullptr;
  TBitBtnLangue* BtnReadAddStatus = nullptr;
  QTabWidget* PageControl1 = nullptr;
  TGroupLed* ExtDevStatus = nullptr;
  TEdit* EdOpMode = nullptr;
  TGroupLed* StdStatus0 = nullptr;
  TGroupBoxLangue* GrSStatus1 = nullptr;
  TGroupBoxLangue* GrSStatus2 = nullptr;
  TGroupBoxLangue* GrSStatus3 = nullptr;
  TEdit* EdCPU_Bug_Address = nullptr;
  QTableWidget* StrGrAddStatus = nullptr;
  QTableWidget* StrGrAddStatusMore = nullptr;
  TGroupLed* GrLedAS_0 = nullptr;
  TGroupLed* GrLedAF_0 = nullptr;

protected:
  void FormShow() override;
  void FormClose() override;

private:
  void SetHeight(int height);
  QWidget* BuildStandardPage();
  QWidget* BuildSpecificPage();
  QWidget* BuildOutputsPage();
};
