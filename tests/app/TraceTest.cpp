// The development windows: their captions and labels in both editions, and nothing in them.

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QTableWidget>

#include "app/Memolog.h"
#include "app/StdCtrls.h"
#include "app/Trace.h"
#include "controls/MyControls.h"
#include "support/AppFixture.h"

TEST(TraceTest, CountersAreLabelledInTheEditionsLanguageAndEmpty) {
  AppWorld en(TLangue::Anglais);
  AppWorld fr(TLangue::Francais);
  TTraceForm& e = *en.Program->Forms.TraceForm;
  TTraceForm& f = *fr.Program->Forms.TraceForm;
  EXPECT_EQ(e.Caption(), "Trace");
  EXPECT_EQ(f.Caption(), "Trace");
  EXPECT_EQ(e.LabelLangue1->ShownCaption(), "Received characters:");
  EXPECT_EQ(f.LabelLangue1->ShownCaption(), "Caract\xE8res re\xE7us :");
  EXPECT_EQ(f.LabelLangue2->ShownCaption(), "Requ\xEAtes :");
  EXPECT_EQ(e.LabelLangue3->ShownCaption(), "Answers:");
  EXPECT_EQ(e.LbRxChars->Caption(), "0");
  EXPECT_EQ(e.StringGrid1->item(0, 0), nullptr);

  TMemoLogForm& m = *fr.Program->Forms.MemoLogForm;
  EXPECT_EQ(m.Caption(), "MemoLogForm");
  EXPECT_EQ(m.Log->objectName(), "Log");
  EXPECT_TRUE(m.Log->toPlainText().isEmpty());
}
