#pragma once

// The clock window: reads the device's real-time clock and sets it from the computer's.
// To set it, it first measures how long one exchange takes by sending the clock command in
// its reading mode again and again, then sends the computer's time advanced by that delay.

#include <functional>

#include "app/Form.h"
#include "app/StdCtrls.h"
#include "controls/MyControls.h"
#include "model/Format.h"
#include "model/Xmt.h"
#include "runtime/Timer.h"

class QPushButton;

class TTimeDateFrom : public TForm {
  Q_OBJECT

public:
  explicit TTimeDateFrom(TAppContext& app);

  void ClockSetAnswer(TObject* sender, TXmt& xmt);
  void ClockReadAnswer(TObject* sender, TXmt& xmt);
  // The moment jobs 250 and 350 send: the computer's time at the last answer advanced by the
  // exchange delay then measured (0 before any answer). A request that goes out later than
  // the tick after that answer, one repeated after a lost answer, is advanced by its
  // lateness as well, so that the device is never set to a time gone by.
  TDateTime SendTime() const;

  // The computer's clock; the local time unless a test sets its own.
  std::function<TDateTime()> Now;

  void PageControl1Change();
  void BtnReadTimeClick();
  void BtnSynchroClick();
  void BtnCloseClick();
  void DateTimeTimerTimer();

  QTabWidget* PageControl1 = nullptr;
  QWidget* TabSheet2 = nullptr;      // "Time & Date"
  QWidget* TabAdjustTime = nullptr;  // "Adjust Time"
  TLabelLangue* Label6 = nullptr;
  TLabel* Label7 = nullptr;  // device time
  TLabelLangue* Label8 = nullptr;
  TLabel* Label9 = nullptr;   // time of the last setting
  TLabel* Label10 = nullptr;  // clock flags
  TButtonLangue* BtnReadTime = nullptr;
  TLabelLangue* Label1 = nullptr;
  TLabel* Label4 = nullptr;  // computer time
  TLabelLangue* Label2 = nullptr;
  TLabel* Label3 = nullptr;  // device time of the last exchange
  TLabel* Label5 = nullptr;  // exchange delay
  TButtonLangue* BtnSynchro = nullptr;
  TButtonLangue* BtnClose = nullptr;
  TTimer DateTimeTimer;

protected:
  void FormShow() override;
  void FormClose() override;

private:
  TDateTime sendTime_ = 0;
  TDateTime clockMark_ = 0;  // the computer's time of the last clock exchange
  bool measured_ = false;    // an exchange was measured since "Adjust Time" was chosen
  bool answered_ = false;    // an exchange was measured once
  TDateTime answeredAt_ = 0;  // the computer's time of the answer sendTime_ comes from
};
