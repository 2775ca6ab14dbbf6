#pragma once

// The linearisation point trim: one of the points 0 %, 25 %, 50 %, 75 %, 100 %. The check
// moves on after each trim and is kept from one opening to the next.

#include <array>

#include "app/Form.h"

class QGroupBox;
class TBitBtnLangue;
class TButtonLangue;
class TGroupBoxLangue;
class TRadioButtonLangue;

class TAjLINForm : public TForm {
  Q_OBJECT

public:
  explicit TAjLINForm(TAppContext& app);

  // Trims the checked point (job 407) and checks the next one.
  void btGOClick(TObject* sender);
  void BtRetourClick(TObject* sender);

  TGroupBoxLangue* RadioGroup1 = nullptr;
  TRadioButtonLangue* RBt0 = nullptr;
  TRadioButtonLangue* RBt25 = nullptr;
  TRadioButtonLangue* RBt50 = nullptr;
  TRadioButtonLangue* RBt75 = nullptr;
  TRadioButtonLangue* RBt100 = nullptr;
  TButtonLangue* btGO = nullptr;
  TButtonLangue* BtRetour = nullptr;

private:
  std::array<TRadioButtonLangue*, 5> points_{};
};
