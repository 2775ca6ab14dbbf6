#pragma once

// The development log window: a memo that nothing writes into.

#include "app/Form.h"

class QPlainTextEdit;

class TMemoLogForm : public TForm {
  Q_OBJECT

public:
  explicit TMemoLogForm(TAppContext& app);

  QPlainTextEdit* Log = nullptr;
};
