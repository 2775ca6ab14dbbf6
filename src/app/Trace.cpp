#include "app/Trace.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/StdCtrls.h"
#include "app/Texts.h"
#include "controls/MyControls.h"

TTraceForm::TTraceForm(TAppContext& app) : TForm(app, "TraceForm") {
  TEdition& ed = app.Edition;
  SetCaption("Trace");

  auto* counters = new QGridLayout;
  const auto addCounter = [&](int row, TLabelLangue*& caption, TLabel*& value, const char* captionName,
                              const char* valueName, const char* anglais, const char* francais) {
    caption = new TLabelLangue(ed, this);
    caption->setObjectName(captionName);
    SetTexts(*caption, anglais, francais);
    value = new TLabel(this);
    value->setObjectName(valueName);
    value->SetCaption("0");
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    counters->addWidget(caption, row, 0);
    counters->addWidget(value, row, 1);
  };
  addCounter(0, LabelLangue1, LbRxChars, "LabelLangue1", "LbRxChars", "Received characters:", "Caractères reçus :");
  addCounter(1, LabelLangue2, LbRequests, "LabelLangue2", "LbRequests", "Requests:", "Requêtes :");
  addCounter(2, LabelLangue3, LbAnswers, "LabelLangue3", "LbAnswers", "Answers:", "Réponses :");
  counters->setColumnStretch(2, 1);

  StringGrid1 = new QTableWidget(5, 5, this);
  StringGrid1->setObjectName("StringGrid1");
  StringGrid1->horizontalHeader()->setDefaultSectionSize(64);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(counters);
  layout->addWidget(StringGrid1, 1);
  resize(400, 300);
}
