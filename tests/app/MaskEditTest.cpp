// The masked number edits: their places are fixed (at most the mask's integer positions, the
// separator at its place, at most its decimals); a digit typed where the separator stands
// goes on after it; whatever has no place, typed or put in at once, is refused with a beep
// and leaves the text as it was; and the texts the program writes into them stay editable.

#include <gtest/gtest.h>

#include <functional>

#include <QClipboard>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QTest>

#include "app/Ajsa.h"
#include "app/Derive.h"
#include "app/E2Prom.h"
#include "app/Ns.h"
#include "app/StatusXT.h"
#include "app/StdCtrls.h"
#include "app/Tamb.h"
#include "app/Texts.h"
#include "app/tstloop.h"
#include "controls/MyControls.h"
#include "support/AppFixture.h"

namespace {

// A masked edit on its own, its beeps counted.
struct MaskEdit {
  explicit MaskEdit(const std::string& mask) {
    Edit.SetEditMask(mask);
    Edit.Beep = [this] { ++Beeps; };
  }
  TMaskEdit Edit;
  int Beeps = 0;
};

std::string Typed(TMaskEdit& edit, const char* keys) {
  edit.clear();
  QTest::keyClicks(&edit, QString::fromLatin1(keys));
  return edit.Text();
}

// Keys one by one; '\b' is Backspace, '\x7f' Delete, '\x1a' Ctrl+Z, '<' and '>' the arrows.
void Press(TMaskEdit& edit, const std::string& keys) {
  for (char k : keys) {
    switch (k) {
      case '\b': QTest::keyClick(&edit, Qt::Key_Backspace); break;
      case '\x7f': QTest::keyClick(&edit, Qt::Key_Delete); break;
      case '\x1a': QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier); break;
      case '<': QTest::keyClick(&edit, Qt::Key_Left); break;
      case '>': QTest::keyClick(&edit, Qt::Key_Right); break;
      default: QTest::keyClicks(&edit, QString(QLatin1Char(k))); break;
    }
  }
}

// Ctrl+V with the text on the clipboard.
void Paste(TMaskEdit& edit, const std::string& text) {
  QGuiApplication::clipboard()->setText(Q(text));
  QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
}

TEST(MaskEditTyping, TheTypedTextKeepsTheMasksPlaces) {
  struct Case {
    const char* mask;
    const char* keys;
    const char* text;
    int beeps;  // the keys refused
  };
  const Case cases[] = {
      // loop test: two integer places, two decimals
      {"!90,00;1;_", "1200", "12,00", 0},
      {"!90,00;1;_", "99999", "99,99", 1},
      {"!90,00;1;_", "12,5", "12,5", 0},
      {"!90,00;1;_", "4", "4", 0},
      {"!90,00;1;_", " 4,00", " 4,00", 0},
      {"!90,00;1;_", "1,234", "1,23", 1},
      {"!90,00;1;_", "12,00,5", "12,00", 2},
      {"!90,00;1;_", "-5", "5", 1},
      {"!90.00;1;_", "1,5", "15", 1},
      // current trim: a reading typed without its separator goes on after it
      {"!90,0000;1;_", "39870", "39,870", 0},
      {"!90,0000;1;_", "3,9870", "3,9870", 0},
      {"!90,0000;1;_", "3,98701", "3,9870", 1},
      {"!90,0000;1;_", "3.987", "39,87", 1},
      {"!90.0000;1;_", "20.0001", "20.0001", 0},
      // signed masks: a sign among the places of '#'
      {"!###0.00;1;_", "-100.25", "-100.25", 0},
      {"!###0.00;1;_", "12345", "1234.5", 0},
      {"!###0.00;1;_", "-1000.5", "-100.05", 1},
      {"!###0.00;1;_", "1-2", "1-2", 0},
      {"!###0.00;1;_", ".5", ".5", 0},
      {"!#999,99;1;_", "-12,50", "-12,50", 0},
      {"!99,999;1;_", "20,0001", "20,000", 1},
      {"!99,9;1;_", "125", "12,5", 0},
      {"!0.0000;1;_", "10", "1.0", 0},
      {"!0.0000;1;_", "-1", "1", 1},
      // no separator: the length alone, digits and blanks
      {"!90;1;_", "123", "12", 1},
      {"!999;1;_", "2555", "255", 1},
      {"!999;1;_", "25.5", "255", 1},
      {"!9999990;0;_", "12345678", "1234567", 1},
      {"!000;1;_", "07F1", "071", 1},
      {"!##0;1;_", "-12", "-12", 0},
  };
  for (const Case& c : cases) {
    MaskEdit m(c.mask);
    EXPECT_EQ(Typed(m.Edit, c.keys), c.text) << c.mask << " typed " << c.keys;
    EXPECT_EQ(m.Beeps, c.beeps) << c.mask << " typed " << c.keys;
  }
}

// A new mask replaces the old one's rule.
TEST(MaskEditTyping, ANewMaskTakesOver) {
  TMaskEdit edit;
  edit.SetEditMask("!90.00;1;_");
  EXPECT_EQ(Typed(edit, "1234"), "12.34");
  edit.SetEditMask("!####0.0;1;_");
  EXPECT_EQ(Typed(edit, "1234.5"), "1234.5");
  edit.SetEditMask("!9;1;_");
  EXPECT_EQ(Typed(edit, "1234"), "1");
}

// The loop test and the current trim as they are shown: a current of 100 mA or more cannot be
// typed; a third digit goes after the separator.
TEST(MaskEditTyping, TheLoopTestAndTheCurrentTrimHoldTwoIntegerDigits) {
  TFormatSettings fs;
  fs.DecimalSeparator = ',';
  AppWorld w(TLangue::Anglais, fs);
  TTstLoopForm& loop = *w.Program->Forms.TstLoopForm;
  loop.Show();
  loop.RadioButtonLangue1->click();
  EXPECT_EQ(Typed(*loop.EdTestVal, "1250"), "12,50");
  loop.btGO->click();
  EXPECT_EQ(w.Xmt().FixedCurrent, 12.5f);
  EXPECT_EQ(Typed(*loop.EdTestVal, "20,5"), "20,5");
  loop.Close();

  TAjustSAForm& trim = *w.Program->Forms.AjustSAForm;
  trim.Tag = 0;
  trim.Show();
  EXPECT_EQ(Typed(*trim.EdCurrent, "39870"), "39,870");
  EXPECT_EQ(Typed(*trim.EdCurrent, "3,98701"), "3,9870");
  trim.Close();
}

// Every text that the windows write into their masked edits is one the mask takes, so that
// the user can go on editing it. The EEPROM addresses are shown in hexadecimal while their
// masks take digits only, as the window is specified.
TEST(MaskEditTyping, TheProgramsOwnTextsFitTheirMasks) {
  for (char ds : {',', '.'}) {
    SCOPED_TRACE(std::string(1, ds));
    TFormatSettings fs;
    fs.DecimalSeparator = ds;
    AppWorld w(TLangue::Anglais, fs);
    w.Sim.Identity.DeviceType = 203;
    w.Connect();
    w.Jobs().StartFullRead(JobCapabilities(w.Xmt()));
    w.Main().Evenement.SetInterval(50);
    ASSERT_TRUE(w.Sched.AdvanceUntil([&] { return !w.Jobs().Busy; }, 60000));
    TForms& forms = w.Program->Forms;
    forms.TstLoopForm->Show();
    forms.AjustSAForm->Tag = 1;
    forms.AjustSAForm->Show();
    forms.TambForm->Show();
    forms.DeriveForm->Show();
    forms.StatusXTForm->Show();
    forms.NSForm->Show();
    w.Advance(3000);
    const std::vector<QWidget*> windows = {forms.MainForm, forms.TstLoopForm, forms.AjustSAForm, forms.TambForm,
                                           forms.DeriveForm, forms.StatusXTForm, forms.NSForm};
    int checked = 0;
    for (QWidget* window : windows) {
      for (TMaskEdit* edit : window->findChildren<TMaskEdit*>()) {
        if (edit->EditMask().empty()) continue;
        ++checked;
        // Typed again key by key, over the whole text, it comes back as it was.
        const std::string shown = edit->Text();
        edit->setEnabled(true);
        edit->selectAll();
        QTest::keyClicks(edit, Q(shown));
        EXPECT_EQ(edit->Text(), shown) << edit->objectName().toStdString() << " " << edit->EditMask();
      }
    }
    EXPECT_GE(checked, 30);
    EXPECT_EQ(w.Ui.Beeps, 0);
  }
}

// Every masked edit of every window beeps through the desktop services when it refuses.
TEST(MaskEditTyping, EveryWindowsEditsBeepThroughTheDesktopServices) {
  AppWorld w;
  TForms& forms = w.Program->Forms;
  forms.TstLoopForm->Show();
  forms.AjustSAForm->Show();
  forms.TambForm->Show();
  const std::vector<QWidget*> windows = {forms.MainForm,  forms.TstLoopForm,  forms.AjustSAForm, forms.TambForm,
                                         forms.DeriveForm, forms.StatusXTForm, forms.NSForm,      forms.E2PromForm};
  int checked = 0;
  for (QWidget* window : windows) {
    for (TMaskEdit* edit : window->findChildren<TMaskEdit*>()) {
      if (edit->EditMask().empty()) continue;
      ++checked;
      const std::string before = edit->Text();
      const int beeps = w.Ui.Beeps;
      edit->setEnabled(true);
      edit->selectAll();
      Paste(*edit, "12345678901234567890");
      EXPECT_EQ(edit->Text(), before) << edit->objectName().toStdString();
      EXPECT_EQ(w.Ui.Beeps, beeps + 1) << edit->objectName().toStdString();
    }
  }
  EXPECT_GE(checked, 32);
}

// The masks of the range values and alarms at each of their decimals, the loop test's and the
// current trim's, with their own texts: typed key by key over the whole text, or pasted over
// it. Written with ',' as the separator and '.' as the other one; each case runs as written
// and again with the two swapped.
TEST(MaskEditTyping, TheDisplayAndTrimMasksTypedAndPasted) {
  enum How { Typed, Pasted };
  struct Case {
    const char* mask;
    const char* start;
    How how;
    const char* input;
    const char* shown;  // what the edit shows afterwards, and what will be sent
    int beeps;
  };
  const Case cases[] = {
      // range values, 0 to 4 decimals and the default
      {"!#####0;1;_", "0", Typed, "-123456", "-12345", 1},
      {"!#####0;1;_", "0", Pasted, "123456", "123456", 0},
      {"!#####0;1;_", "0", Pasted, "1234567", "0", 1},
      {"!####0,0;1;_", "0,0", Typed, "123456", "12345,6", 0},
      {"!####0,0;1;_", "0,0", Pasted, "123456", "0,0", 1},
      {"!###0,00;1;_", "0,00", Typed, "12345", "1234,5", 0},
      {"!###0,00;1;_", "0,00", Typed, "-1250", "-125,0", 0},
      {"!###0,00;1;_", "0,00", Pasted, "1250", "1250", 0},
      {"!###0,00;1;_", "0,00", Pasted, "12500", "0,00", 1},
      {"!###0,00;1;_", "0,00", Pasted, "12,505", "0,00", 1},
      {"!##0,000;1;_", "0,000", Typed, "1234567", "123,456", 1},
      {"!#0,0000;1;_", "0,0000", Typed, "39870", "39,870", 0},
      {"!#0,0000;1;_", "0,0000", Pasted, "39870", "0,0000", 1},
      {"!####0,00;1;_", "0,00", Typed, "-1234567", "-1234,56", 1},
      // alarm set points and hystereses, 0 to 4 decimals and the default
      {"!####0;1;_", "0", Typed, "-12345", "-1234", 1},
      {"!####0;1;_", "0", Pasted, "-12345", "0", 1},
      {"!###0,0;1;_", "0,0", Typed, "25555", "2555,5", 0},
      {"!##0,00;1;_", "0,00", Typed, "1250", "125,0", 0},
      {"!#0,000;1;_", "0,000", Typed, "-1,5", "-1,5", 0},
      {"!0,0000;1;_", "0,0000", Typed, "12", "1,2", 0},
      {"!0,0000;1;_", "0,0000", Pasted, "12", "0,0000", 1},
      {"!####0,000;1;_", "0,000", Typed, "12,3456", "12,345", 1},
      // loop test
      {"!90,00;1;_", "12,00", Typed, "1250", "12,50", 0},
      {"!90,00;1;_", "12,00", Typed, "99999", "99,99", 1},
      {"!90,00;1;_", "12,00", Typed, "1,2,3", "1,23", 1},
      {"!90,00;1;_", "12,00", Pasted, "1250", "12,00", 1},
      {"!90,00;1;_", "12,00", Pasted, "12,5", "12,5", 0},
      // current trim at 4 mA and at 20 mA
      {"!90,0000;1;_", " 4,0000", Typed, "39870", "39,870", 0},
      {"!90,0000;1;_", " 4,0000", Typed, "3,9870", "3,9870", 0},
      {"!90,0000;1;_", " 4,0000", Typed, "3,98701", "3,9870", 1},
      {"!90,0000;1;_", " 4,0000", Typed, "3.987", "39,87", 1},
      {"!90,0000;1;_", " 4,0000", Typed, "4a", "4", 1},
      {"!90,0000;1;_", " 4,0000", Pasted, "39870", " 4,0000", 1},
      {"!90,0000;1;_", " 4,0000", Pasted, "3.987", " 4,0000", 1},
      {"!90,0000;1;_", " 4,0000", Pasted, "3,987", "3,987", 0},
      {"!90,0000;1;_", "20,0000", Typed, "199990", "19,9990", 0},
      {"!90,0000;1;_", "20,0000", Pasted, "20,00001", "20,0000", 1},
  };
  auto swapped = [](std::string text) {
    for (char& c : text) c = c == ',' ? '.' : c == '.' ? ',' : c;
    return text;
  };
  for (const Case& c : cases) {
    for (bool swap : {false, true}) {
      auto as = [&](const char* text) { return swap ? swapped(text) : std::string(text); };
      MaskEdit m(as(c.mask));
      m.Edit.SetText(as(c.start));
      m.Edit.selectAll();
      if (c.how == Typed) {
        Press(m.Edit, as(c.input));
      } else {
        Paste(m.Edit, as(c.input));
      }
      const std::string what = as(c.mask) + (c.how == Typed ? " typed " : " pasted ") + as(c.input);
      EXPECT_EQ(m.Edit.Text(), as(c.shown)) << what;
      EXPECT_EQ(m.Beeps, c.beeps) << what;
    }
  }
}

// Where the cursor stands: typing inside the text and over a selection, Backspace and Delete
// (the separator keeps its place when the digits on both sides would not fit together), and
// a text the program set longer than the mask, which the user can shorten (and undo that)
// but not lengthen.
TEST(MaskEditTyping, TheCursorAndTheSelection) {
  struct Case {
    const char* mask;
    const char* start;   // set by the program
    int from, length;    // the selection; the cursor alone at `from` when the length is 0
    const char* keys;    // as Press takes them
    const char* text;
    int cursor;
    int beeps;
  };
  const Case cases[] = {
      // typing inside the text
      {"!90,00;1;_", "1,50", 1, 0, "2", "12,50", 2, 0},
      {"!90,00;1;_", "12,50", 1, 0, "3", "12,50", 1, 1},
      {"!90,00;1;_", "12,5", 2, 0, "3", "12,35", 4, 0},
      {"!90,00;1;_", "12,5", 2, 0, "30", "12,35", 4, 1},
      {"!90,00;1;_", "12,50", 2, 0, ",", "12,50", 3, 0},
      {"!90,00;1;_", "12,50", 5, 0, "1", "12,50", 5, 1},
      {"!90,00;1;_", "12,50", 0, 0, "-", "12,50", 0, 1},
      // over a selection
      {"!90,00;1;_", "12,50", 0, 2, "9", "9,50", 1, 0},
      {"!90,00;1;_", "12,50", 3, 2, "7", "12,7", 4, 0},
      {"!90,00;1;_", "12,50", 1, 1, "3", "13,50", 2, 0},
      {"!90,00;1;_", "12,50", 1, 3, "3", "12,50", 4, 1},
      {"!90,0000;1;_", " 4,0000", 0, 7, "39870", "39,870", 6, 0},
      // Backspace and Delete
      {"!90,00;1;_", "12,50", 3, 0, "\b", "12,50", 2, 0},
      {"!90,00;1;_", "12,50", 3, 0, "\b\b", "1,50", 1, 0},
      {"!90,00;1;_", "12,", 3, 0, "\b", "12", 2, 0},
      {"!90,00;1;_", "4,5", 2, 0, "\b", "45", 1, 0},
      {"!90,00;1;_", "12,50", 2, 0, "\x7f", "12,50", 3, 0},
      {"!90,00;1;_", "12,50", 2, 0, "\x7f\x7f", "12,0", 3, 0},
      {"!90,00;1;_", "12,50", 1, 3, "\x7f", "10", 1, 0},
      {"!90,00;1;_", "12,50", 2, 2, "\x7f", "12,50", 4, 1},
      // a text longer than the mask
      {"!#0,0000;1;_", "123,4567", 8, 0, "8", "123,4567", 8, 1},
      {"!#0,0000;1;_", "123,4567", 8, 0, "\b", "123,456", 7, 0},
      {"!#0,0000;1;_", "123,4567", 8, 0, "\b\b\b\b\b\b5", "12,5", 4, 0},
      {"!#0,0000;1;_", "123,4567", 0, 0, "\x7f", "23,4567", 0, 0},
      {"!#0,0000;1;_", "123,4567", 0, 1, "9", "123,4567", 1, 1},
      {"!#0,0000;1;_", "123,4567", 8, 0, "\b\b\x1a", "123,4567", 8, 0},
      {"!#0,0000;1;_", "123,4567", 8, 0, "\b<>\b\x1a", "123,456", 7, 0},
      {"!#0,0000;1;_", "123,4567", 8, 0, "\b\x1a" "8", "123,4567", 8, 1},
      {"!####0;1;_", "-12345", 6, 0, "\b5", "-1234", 5, 1},
  };
  for (const Case& c : cases) {
    MaskEdit m(c.mask);
    m.Edit.SetText(c.start);
    if (c.length > 0) {
      m.Edit.setSelection(c.from, c.length);
    } else {
      m.Edit.setCursorPosition(c.from);
    }
    Press(m.Edit, c.keys);
    const std::string what = std::string(c.mask) + " \"" + c.start + "\" at " + std::to_string(c.from);
    EXPECT_EQ(m.Edit.Text(), c.text) << what;
    EXPECT_EQ(m.Edit.cursorPosition(), c.cursor) << what;
    EXPECT_EQ(m.Beeps, c.beeps) << what;
  }
}

// A text put in at once, whichever way (pasted at the cursor, dropped, inserted, committed by
// an input method), is taken whole when the mask holds the result, else refused with a
// beep; an input method's single character is a keystroke.
TEST(MaskEditTyping, ATextPutInAtOnceIsTakenWholeOrNotAtAll) {
  struct Way {
    const char* what;
    std::function<void(TMaskEdit&, const QString&)> put;
  };
  const Way ways[] = {
      {"pasted", [](TMaskEdit& e, const QString& t) { Paste(e, FromQ(t)); }},
      {"inserted", [](TMaskEdit& e, const QString& t) { e.insert(t); }},
      {"committed", [](TMaskEdit& e, const QString& t) {
         QInputMethodEvent commit;
         commit.setCommitString(t);
         QCoreApplication::sendEvent(&e, &commit);
       }},
      {"dropped", [](TMaskEdit& e, const QString& t) {
         QMimeData data;
         data.setText(t);
         const QPoint end(e.width() - 2, e.height() / 2);
         QDragEnterEvent enter(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
         QCoreApplication::sendEvent(&e, &enter);
         QDropEvent drop(end, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
         QCoreApplication::sendEvent(&e, &drop);
       }},
  };
  struct Case {
    const char* put;
    const char* text;
    int beeps;
  };
  for (const Way& way : ways) {
    for (const Case& c : {Case{"0", "12,50", 0}, Case{"05", "12,5", 1}, Case{"5,", "12,5", 1}, Case{"x", "12,5", 1}}) {
      MaskEdit m("!90,00;1;_");
      m.Edit.resize(120, 24);
      m.Edit.SetText("12,5");
      m.Edit.end(false);
      way.put(m.Edit, QString::fromLatin1(c.put));
      EXPECT_EQ(m.Edit.Text(), c.text) << way.what << " " << c.put;
      EXPECT_EQ(m.Beeps, c.beeps) << way.what << " " << c.put;
    }
  }

  // A keyboard that goes through the input method: its characters are typed like keys.
  MaskEdit m("!90,0000;1;_");
  for (QChar c : QStringLiteral("39870x")) {
    QInputMethodEvent commit;
    commit.setCommitString(QString(c));
    QCoreApplication::sendEvent(&m.Edit, &commit);
  }
  EXPECT_EQ(m.Edit.Text(), "39,870");
  EXPECT_EQ(m.Beeps, 1);
}

}  // namespace

// A value longer than its mask (a range of 123.4567 while the display shows four decimals,
// an alarm of -12345 at no decimal) is shown whole and read back whole: cut, the write that
// follows would send another value. Typing still follows the mask, and once the user has
// shortened the text the mask's length holds again.
TEST(MaskEditTyping, ATextTheProgramSetsIsNeverCut) {
  struct Case {
    const char* mask;
    const char* text;
  };
  for (const Case& c : {Case{"!#0.0000;1;_", "123.4567"}, Case{"!####0;1;_", "-12345"}, Case{"!##0,000;1;_", "-200,000"}}) {
    TMaskEdit edit;
    edit.SetEditMask(c.mask);
    edit.SetText(c.text);
    EXPECT_EQ(edit.Text(), c.text) << c.mask;
    EXPECT_EQ(edit.MaskLength(), static_cast<int>(std::string(c.mask).find(';')) - 1) << c.mask;
    // A new mask does not cut it either.
    edit.SetEditMask(c.mask);
    EXPECT_EQ(edit.Text(), c.text) << c.mask;
  }

  TMaskEdit edit;
  edit.SetEditMask("!####0;1;_");
  edit.SetText("-12345");
  edit.setFocus();
  edit.end(false);
  QTest::keyClick(&edit, Qt::Key_Backspace);  // "-1234" fits the mask: the user's own text
  EXPECT_EQ(edit.Text(), "-1234");
  QTest::keyClick(&edit, Qt::Key_5);  // and may not grow past it again
  EXPECT_EQ(edit.Text(), "-1234");
  EXPECT_EQ(Typed(edit, "-123456"), "-1234");
}

