// The loop test: the current it fixes, how the choices change it, typed values that do not
// convert, values typed and pasted by the user, and the fixed current of 0 sent however the
// window closes.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

#include "app/Texts.h"
#include "app/core/DisplayFormat.h"
#include "app/tstloop.h"
#include "support/AppFixture.h"
#include "support/WindowSystemClose.h"

namespace {

TFormatSettings Comma() {
  TFormatSettings fs;
  fs.DecimalSeparator = ',';
  return fs;
}

float BigEndianFloat(const std::vector<std::uint8_t>& d, std::size_t at) {
  const std::uint32_t bits = static_cast<std::uint32_t>(d.at(at)) << 24 | static_cast<std::uint32_t>(d.at(at + 1)) << 16 |
                             static_cast<std::uint32_t>(d.at(at + 2)) << 8 | d.at(at + 3);
  float f = 0;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

struct LoopTest : ::testing::Test {
  explicit LoopTest(TFormatSettings fs = {}) : World(TLangue::Anglais, fs) {}
  AppWorld World;
  TTstLoopForm& Form() const { return *World.Program->Forms.TstLoopForm; }
  // The list a JobListStart(code) leaves.
  bool Started(std::int32_t code) const {
    const TJobList& j = World.Jobs();
    return j.At(0) == code && j.At(1) == 500 && j.At(2) == 0 && j.JobIndex == 0 && j.Busy;
  }
};

TEST_F(LoopTest, ShowingPreparesFourMilliamperesAndTestFixesThem) {
  Form().TestCurrent = 17.0f;
  Form().Show();
  EXPECT_EQ(Form().Caption(), "Loop test");
  EXPECT_EQ(Form().EdTestVal->Text(), "12.00");
  EXPECT_EQ(Form().EdTestVal->EditMask(), "!90.00;1;_");
  EXPECT_FALSE(Form().EdTestVal->isEnabled());
  EXPECT_TRUE(Form().ck4->isChecked());
  Form().btGO->click();
  EXPECT_EQ(World.Xmt().FixedCurrent, 4.0f);
  EXPECT_TRUE(Started(402));
}

// Each step is a user action; after it, the current TEST would fix and whether the edit is
// enabled.
struct Step {
  const char* what;
  std::function<void(TTstLoopForm&)> act;
  float current;
  bool editEnabled;
};

TEST_F(LoopTest, CurrentFollowsTheChoices) {
  Form().Show();
  const std::vector<Step> steps = {
      {"20 mA", [](TTstLoopForm& f) { f.ck20->click(); }, 20.0f, false},
      {"other value", [](TTstLoopForm& f) { f.RadioButtonLangue1->click(); }, 12.0f, true},
      {"typed 15.5", [](TTstLoopForm& f) { f.EdTestVal->setText("15.5"); }, 15.5f, true},
      {"half typed, no number yet", [](TTstLoopForm& f) { f.EdTestVal->setText(" ."); }, 15.5f, true},
      {"typed 7", [](TTstLoopForm& f) { f.EdTestVal->setText("7"); }, 7.0f, true},
      {"4 mA", [](TTstLoopForm& f) { f.ck4->click(); }, 4.0f, false},
      {"text changed while another choice holds", [](TTstLoopForm& f) { f.EdTestVal->setText("9"); }, 4.0f, false},
      {"other value again takes the text", [](TTstLoopForm& f) { f.RadioButtonLangue1->click(); }, 9.0f, true},
  };
  for (const Step& s : steps) {
    s.act(Form());
    EXPECT_EQ(Form().TestCurrent, s.current) << s.what;
    EXPECT_EQ(Form().EdTestVal->isEnabled(), s.editEnabled) << s.what;
  }
  World.Ui.ErrorReports.clear();
  Form().btGO->click();
  EXPECT_EQ(World.Xmt().FixedCurrent, 9.0f);
  EXPECT_TRUE(World.Ui.ErrorReports.empty());
}

TEST_F(LoopTest, AnOtherValueThatIsNoNumberFixesNoCurrent) {
  Form().Show();
  Form().btGO->click();
  World.Jobs().StartMeasurePolling();
  World.Jobs().Busy = false;
  World.Xmt().FixedCurrent = 4.0f;
  Form().RadioButtonLangue1->click();
  Form().EdTestVal->setText(" .  ");
  Form().btGO->click();
  ASSERT_EQ(World.Ui.ErrorReports.size(), 1u);
  EXPECT_EQ(World.Ui.ErrorReports[0], FloatConversionErrorText(TLangue::Anglais, " .  "));
  EXPECT_EQ(World.Xmt().FixedCurrent, 4.0f);
  EXPECT_EQ(World.Jobs().At(0), 1) << "the list was left alone";
  EXPECT_FALSE(World.Jobs().Busy);
  EXPECT_TRUE(Form().Visible());
}

TEST_F(LoopTest, EveryWayOfClosingLeavesTheFixedCurrentMode) {
  const std::vector<std::pair<const char*, std::function<void(TTstLoopForm&)>>> ways = {
      {"Return", [](TTstLoopForm& f) { f.BitBtnLangue1->click(); }},
      {"close box", [](TTstLoopForm& f) { f.Close(); }},
      {"Esc", [](TTstLoopForm& f) { f.reject(); }},
      {"window system", [](TTstLoopForm& f) { WindowSystemClose(f); }},
  };
  for (const auto& [what, close] : ways) {
    Form().Show();
    Form().ck20->click();
    Form().btGO->click();
    ASSERT_EQ(World.Xmt().FixedCurrent, 20.0f);
    close(Form());
    EXPECT_FALSE(Form().Visible()) << what;
    EXPECT_EQ(World.Xmt().FixedCurrent, 0.0f) << what;
    EXPECT_TRUE(Started(402)) << what;
  }
}

TEST(LoopTexts, TheCaptionsOfBothEditions) {
  AppWorld en(TLangue::Anglais);
  AppWorld fr(TLangue::Francais);
  TTstLoopForm& e = *en.Program->Forms.TstLoopForm;
  TTstLoopForm& f = *fr.Program->Forms.TstLoopForm;
  e.Show();
  f.Show();
  EXPECT_EQ(e.Caption(), "Loop test");
  EXPECT_EQ(f.Caption(), "Test de boucle");
  struct Case {
    std::function<std::string(TTstLoopForm&)> shown;
    const char* anglais;
    const char* francais;
  };
  const Case cases[] = {
      {[](TTstLoopForm& t) { return t.GroupBoxLangue1->ShownCaption(); }, "Current value", "Valeur du courant"},
      {[](TTstLoopForm& t) { return t.ck4->ShownCaption(); }, "4 mA", "4 mA"},
      {[](TTstLoopForm& t) { return t.ck20->ShownCaption(); }, "20 mA", "20 mA"},
      {[](TTstLoopForm& t) { return t.RadioButtonLangue1->ShownCaption(); }, "Other value ...", "Autre valeur ..."},
      {[](TTstLoopForm& t) { return t.btGO->ShownCaption(); }, "TEST", "TEST"},
      {[](TTstLoopForm& t) { return t.BitBtnLangue1->ShownCaption(); }, "Return", "Retour"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.shown(e), c.anglais);
    EXPECT_EQ(c.shown(f), c.francais);
  }
}

struct LoopCommaTest : LoopTest {
  LoopCommaTest() : LoopTest(Comma()) {}
};

// Through the link: 12,00 fixes 12 mA, closing sends 0.
TEST_F(LoopCommaTest, TheTypedCurrentAndTheZeroOfTheCloseReachTheTransmitter) {
  World.Connect();
  World.Ui.OnModal["TstLoopForm"] = [this](TForm&) {
    EXPECT_EQ(Form().EdTestVal->Text(), "12,00");
    Form().RadioButtonLangue1->click();
    Form().btGO->click();
    ASSERT_TRUE(World.AdvanceUntilRequests(1));
    EXPECT_EQ(World.Sim.State.FixedCurrent, 12.0f);
    EXPECT_TRUE(Form().Visible());
  };
  Form().ShowModal();
  ASSERT_TRUE(World.AdvanceUntilRequests(1));
  const SimRequest& last = World.Sim.Requests.back();
  EXPECT_EQ(last.Command, 40);
  EXPECT_EQ(BigEndianFloat(last.Data, 0), 0.0f);
  EXPECT_EQ(World.Sim.State.FixedCurrent, 0.0f);
}

// Through the link, from the keyboard: "1250" typed goes on after the separator and fixes
// the 12,50 mA the edit shows; the same digits pasted are refused with a beep and the edit's
// text stays, so TEST fixes that one again.
TEST_F(LoopCommaTest, TheCurrentFixedIsTheOneShown) {
  World.Connect();
  World.Ui.OnModal["TstLoopForm"] = [this](TForm&) {
    TMaskEdit& edit = *Form().EdTestVal;
    Form().RadioButtonLangue1->click();
    edit.selectAll();
    QTest::keyClicks(&edit, QStringLiteral("1250"));
    EXPECT_EQ(edit.Text(), "12,50");
    Form().btGO->click();
    ASSERT_TRUE(World.AdvanceUntilRequests(1));
    EXPECT_EQ(World.Sim.Requests.back().Command, 40);
    EXPECT_EQ(BigEndianFloat(World.Sim.Requests.back().Data, 0), 12.5f);
    EXPECT_EQ(World.Sim.State.FixedCurrent, 12.5f);

    QGuiApplication::clipboard()->setText(QStringLiteral("1250"));
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(World.Ui.Beeps, 1);
    EXPECT_EQ(edit.Text(), "12,50");
    Form().btGO->click();
    ASSERT_TRUE(World.AdvanceUntilRequests(1));
    EXPECT_EQ(BigEndianFloat(World.Sim.Requests.back().Data, 0), 12.5f);
  };
  Form().ShowModal();
  ASSERT_TRUE(World.AdvanceUntilRequests(1));
  EXPECT_EQ(World.Sim.State.FixedCurrent, 0.0f);
}

}  // namespace
