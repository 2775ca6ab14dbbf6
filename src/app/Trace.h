#pragma once

// The development trace window: counters of received characters, requests and answers, and
// a grid. Nothing shows or fills it.

#include "app/Form.h"

class QTableWidget;
class TLabel;
class TLabelLangue;

class TTraceForm : public TForm {
  Q_OBJECT

public:
  explicit TTraceForm(TAppContext& app);

  TLabelLangue* LabelLangue1 = nullptr;  // received characters
  TLabel* LbRxChars = nullptr;
  TLabelLangue* LabelLangue2 = nullptr;  // requests
  TLabel* LbRequests = nullptr;
  TLabelLangue* LabelLangue3 = nullptr;  // answers
  TLabel* LbAnswers = nullptr;
  QTableWidget* StringGrid1 = nullptr;
};
