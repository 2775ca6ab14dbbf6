#pragma once

// The registration window: the device takes a new serial number and erases its settings.

#include <string>

#include "app/Form.h"

class TBitBtnLangue;
class TLabelLangue;
class TMaskEdit;

class TNSForm : public TForm {
  Q_OBJECT

public:
  explicit TNSForm(TAppContext& app);

  // The serial number typed by the user, as job 409 sends it (Windows-1252).
  std::string IdentText() const;

  // Starts job 409 when the typed number converts; otherwise reports it and sends nothing.
  void BtnRegisterClick(TObject* sender);
  void BitBtn1Click(TObject* sender);

  // The warning (1 to 6), then the request for the number and why (7 to 9).
  TLabelLangue* Label1 = nullptr;
  TLabelLangue* Label2 = nullptr;
  TLabelLangue* Label3 = nullptr;
  TLabelLangue* Label4 = nullptr;
  TLabelLangue* Label5 = nullptr;
  TLabelLangue* Label6 = nullptr;
  TLabelLangue* Label7 = nullptr;
  TLabelLangue* Label8 = nullptr;
  TLabelLangue* Label9 = nullptr;
  TMaskEdit* EdIdent = nullptr;
  TBitBtnLangue* BtnRegister = nullptr;
  TBitBtnLangue* BitBtn1 = nullptr;
};
