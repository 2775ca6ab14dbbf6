// The masked number edits: what the user can type follows the mask's places (at most its
// integer positions, the separator at its place, at most its decimals), and the texts the
// program writes into them stay editable.

#include <gtest/gtest.h>

#include <QTest>

#include "app/Ajsa.h"
#include "app/Derive.h"
#include "app/Ns.h"
#include "app/StatusXT.h"
#include "app/StdCtrls.h"
#include "app/Tamb.h"
#include "app/tstloop.h"
#include "controls/MyControls.h"
#include "support/AppFixture.h"

namespace {

std::string Typed(TMaskEdit& edit, const char* keys) {
  edit.clear();
  QTest::keyClicks(&edit, QString::fromLatin1(keys));
  return edit.Text();
}

TEST(MaskEditTyping, TheTypedTextKeepsTheMasksPlaces) {
  struct Case {
    const char* mask;
    const char* keys;
    const char* text;
  };
  const Case cases[] = {
      // loop test: two integer places, two decimals
      {"!90,00;1;_", "1200", "12"},
      {"!90,00;1;_", "99999", "99"},
      {"!90,00;1;_", "12,5", "12,5"},
      {"!90,00;1;_", "4", "4"},
      {"!90,00;1;_", " 4,00", " 4,00"},
      {"!90,00;1;_", "1,234", "1,23"},
      {"!90,00;1;_", "12,00,5", "12,00"},
      {"!90,00;1;_", "-5", "5"},
      {"!90.00;1;_", "1,5", "15"},
      // current trim: a reading typed without its separator stays two digits
      {"!90,0000;1;_", "39870", "39"},
      {"!90,0000;1;_", "3,9870", "3,9870"},
      {"!90,0000;1;_", "3,98701", "3,9870"},
      {"!90,0000;1;_", "3.987", "39"},
      {"!90.0000;1;_", "20.0001", "20.0001"},
      // signed masks: a sign among the places of '#'
      {"!###0.00;1;_", "-100.25", "-100.25"},
      {"!###0.00;1;_", "12345", "1234"},
      {"!###0.00;1;_", "-1000.5", "-100.5"},
      {"!###0.00;1;_", "1-2", "1-2"},
      {"!###0.00;1;_", ".5", ".5"},
      {"!#999,99;1;_", "-12,50", "-12,50"},
      {"!99,999;1;_", "20,0001", "20,000"},
      {"!99,9;1;_", "125", "12"},
      {"!0.0000;1;_", "10", "1"},
      {"!0.0000;1;_", "-1", "1"},
      // no separator: the length alone, digits and blanks
      {"!90;1;_", "123", "12"},
      {"!999;1;_", "2555", "255"},
      {"!999;1;_", "25.5", "255"},
      {"!9999990;0;_", "12345678", "1234567"},
      {"!000;1;_", "07F1", "071"},
      {"!##0;1;_", "-12", "-12"},
  };
  for (const Case& c : cases) {
    TMaskEdit edit;
    edit.SetEditMask(c.mask);
    EXPECT_EQ(Typed(edit, c.keys), c.text) << c.mask << " typed " << c.keys;
  }
}

// A new mask replaces the old one's rule.
TEST(MaskEditTyping, ANewMaskTakesOver) {
  TMaskEdit edit;
  edit.SetEditMask("!90.00;1;_");
  EXPECT_EQ(Typed(edit, "1234"), "12");
  edit.SetEditMask("!####0.0;1;_");
  EXPECT_EQ(Typed(edit, "1234.5"), "1234.5");
  edit.SetEditMask("!9;1;_");
  EXPECT_EQ(Typed(edit, "1234"), "1");
}

// The loop test and the current trim as they are shown: a current of 100 mA or more, or a
// reading without its separator, cannot be typed.
TEST(MaskEditTyping, TheLoopTestAndTheCurrentTrimHoldTwoIntegerDigits) {
  TFormatSettings fs;
  fs.DecimalSeparator = ',';
  AppWorld w(TLangue::Anglais, fs);
  TTstLoopForm& loop = *w.Program->Forms.TstLoopForm;
  loop.Show();
  loop.RadioButtonLangue1->click();
  EXPECT_EQ(Typed(*loop.EdTestVal, "1200"), "12");
  loop.btGO->click();
  EXPECT_EQ(w.Xmt().FixedCurrent, 12.0f);
  EXPECT_EQ(Typed(*loop.EdTestVal, "20,5"), "20,5");
  loop.Close();

  TAjustSAForm& trim = *w.Program->Forms.AjustSAForm;
  trim.Tag = 0;
  trim.Show();
  EXPECT_EQ(Typed(*trim.EdCurrent, "39870"), "39");
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
        EXPECT_TRUE(edit->hasAcceptableInput())
            << edit->objectName().toStdString() << " " << edit->EditMask() << " \"" << edit->Text() << '"';
      }
    }
    EXPECT_GE(checked, 30);
  }
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

