#pragma once

// The maker's status register window: write protection, cache memory, fault currents,
// low-power duration and processor frequency.

#include "app/Form.h"
#include "model/Xmt.h"

class TBitBtnLangue;
class TButtonLangue;
class TCheckBoxLangue;
class TGroupBoxLangue;
class TLabelLangue;
class TMaskEdit;
class TRadioButtonLangue;

class TStatusXTForm : public TForm {
  Q_OBJECT

public:
  explicit TStatusXTForm(TAppContext& app);

  // The register's parts from the model (answers 194 and 195), whether shown or not.
  void ShowStatusRegister(const TXmt& xmt);
  // Copies the window's controls into the main window's model and builds the register word.
  // The flags are always copied; the duration and frequency only when both are whole numbers
  // that fit their bits. False (after the conversion report or a beep) when they are not.
  bool StatusFormToXmt();

  void BtLectureClick(TObject* sender);
  void EEPRM_CTRLClick(TObject* sender);
  // Writes the register (308), reads it back (205) and ends the sequence.
  void BtEcritureClick(TObject* sender);
  void BtRetourClick(TObject* sender);

  TGroupBoxLangue* GroupBox1 = nullptr;
  TCheckBoxLangue* CkWP = nullptr;
  TCheckBoxLangue* CkCache = nullptr;
  TButtonLangue* EEPRM_CTRL = nullptr;
  TGroupBoxLangue* GroupBox2 = nullptr;
  TRadioButtonLangue* BtnDef1_L = nullptr;
  TRadioButtonLangue* BtnDef1_H = nullptr;
  TGroupBoxLangue* GroupBox3 = nullptr;
  TRadioButtonLangue* BtnDef2_L = nullptr;
  TRadioButtonLangue* BtnDef2_H = nullptr;
  TLabelLangue* Label1 = nullptr;  // of EdLPM
  TMaskEdit* EdLPM = nullptr;
  TLabelLangue* Label2 = nullptr;  // of EdQZ
  TMaskEdit* EdQZ = nullptr;
  TBitBtnLangue* BtLecture = nullptr;
  TBitBtnLangue* BtEcriture = nullptr;
  TBitBtnLangue* BtRetour = nullptr;

protected:
  // The register is read each time the window opens.
  void FormShow() override;
};
