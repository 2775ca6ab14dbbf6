#include "app/Memolog.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

TMemoLogForm::TMemoLogForm(TAppContext& app) : TForm(app, "MemoLogForm") {
  SetCaption("MemoLogForm");
  Log = new QPlainTextEdit(this);
  Log->setObjectName("Log");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Log);
  resize(300, 400);
}
