// The current trim: the target of each trim, the exact single-precision comparison that
// ends it, the readings sent with jobs 403 and 404, readings that are no numbers, the
// reading typed or pasted by the user, and the fixed current of 0 sent however the window
// closes.

#include <gtest/gtest.h>

#include <functional>

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

#include "app/Ajsa.h"
#include "app/Texts.h"
#include "support/AppFixture.h"
#include "support/WindowSystemClose.h"

namespace {

TFormatSettings Settings(char separator) {
  TFormatSettings fs;
  fs.DecimalSeparator = separator;
  return fs;
}

struct TrimWorld {
  explicit TrimWorld(char separator = '.') : World(TLangue::Anglais, Settings(separator)) {}
  AppWorld World;
  TAjustSAForm& Form() const { return *World.Program->Forms.AjustSAForm; }
  void Open(int tag) {
    Form().Tag = tag;
    Form().Show();
  }
  bool Started(std::int32_t code) const {
    const TJobList& j = World.Jobs();
    return j.At(0) == code && j.At(1) == 500 && j.At(2) == 0 && j.JobIndex == 0 && j.Busy;
  }
  void Correct(const char* reading) {
    Form().EdCurrent->SetText(reading);
    Form().Button1->click();
  }
};

TEST(AjsaTest, ShowingDrivesTheTargetCurrent) {
  struct Case {
    int tag;
    char separator;
    const char* text;
    const char* mask;
    float target;
  };
  for (const Case& c : {Case{0, '.', " 4.0000", "!90.0000;1;_", 4.0f}, Case{1, '.', "20.0000", "!90.0000;1;_", 20.0f},
                        Case{0, ',', " 4,0000", "!90,0000;1;_", 4.0f}, Case{1, ',', "20,0000", "!90,0000;1;_", 20.0f}}) {
    TrimWorld t(c.separator);
    t.Open(c.tag);
    EXPECT_EQ(t.Form().Caption(), "Trim current");
    EXPECT_EQ(t.Form().EdCurrent->Text(), c.text) << c.tag << c.separator;
    EXPECT_EQ(t.Form().EdCurrent->EditMask(), c.mask);
    EXPECT_EQ(t.Form().TrimTarget, c.target);
    EXPECT_EQ(t.World.Xmt().FixedCurrent, c.target);
    EXPECT_TRUE(t.Started(402));
  }
}

TEST(AjsaTest, ReadingsAgainstTheTarget) {
  struct Case {
    int tag;
    const char* reading;
    bool closes;         // the reading equals the target: trimmed
    std::int32_t job;    // otherwise the trim job sent
    float measured;
  };
  for (const Case& c : {Case{0, "4,0000", true, 402, 0}, Case{0, " 4,0", true, 402, 0}, Case{0, "04,0000", true, 402, 0},
                        Case{0, "3,9870", false, 403, 3.987f}, Case{0, "4,0001", false, 403, 4.0001f},
                        Case{0, "3,9999", false, 403, 3.9999f}, Case{1, "20,0000", true, 402, 0},
                        Case{1, "19,9990", false, 404, 19.999f}, Case{1, "20,0001", false, 404, 20.0001f},
                        Case{1, " 4,0000", false, 404, 4.0f}}) {
    TrimWorld t(',');
    t.Open(c.tag);
    t.Correct(c.reading);
    EXPECT_EQ(!t.Form().Visible(), c.closes) << c.reading;
    EXPECT_TRUE(t.Started(c.job)) << c.reading;
    EXPECT_EQ(t.Form().TrimReading, static_cast<float>(c.closes ? t.Form().TrimTarget : c.measured)) << c.reading;
    if (c.closes) {
      EXPECT_EQ(t.World.Xmt().FixedCurrent, 0.0f) << "the close leaves the fixed-current mode";
    } else {
      EXPECT_EQ(t.World.Xmt().MeasuredCurrent, c.measured) << c.reading;
      EXPECT_EQ(t.Form().EdCurrent->Text(), c.tag == 1 ? "20,0000" : " 4,0000") << "back to the target text";
    }
  }
}

TEST(AjsaTest, AReadingThatIsNoNumberBeepsAndSendsNothing) {
  for (const char* bad : {"", "  ,    ", "3,98,7", "abc"}) {
    TrimWorld t(',');
    t.Open(0);
    t.Correct("3,9870");
    t.World.Jobs().StartMeasurePolling();
    t.World.Jobs().Busy = false;
    t.World.Xmt().MeasuredCurrent = 1.5f;
    t.Correct(bad);
    EXPECT_EQ(t.World.Ui.Beeps, 1) << bad;
    EXPECT_TRUE(t.Form().Visible()) << bad;
    EXPECT_EQ(t.World.Jobs().At(0), 1) << bad << ": no job started";
    EXPECT_EQ(t.World.Xmt().MeasuredCurrent, 1.5f) << bad;
    EXPECT_EQ(t.Form().TrimReading, 3.987f) << bad << ": the last reading stays";
  }
}

TEST(AjsaTest, EveryCloseSendsAFixedCurrentOfZero) {
  TrimWorld t;
  const std::vector<std::pair<const char*, std::function<void(TAjustSAForm&)>>> ways = {
      {"close box", [](TAjustSAForm& f) { f.Close(); }},
      {"Esc", [](TAjustSAForm& f) { f.reject(); }},
      {"window system", [](TAjustSAForm& f) { WindowSystemClose(f); }},
  };
  for (const auto& [what, close] : ways) {
    t.Open(1);
    t.Correct("19.5");
    ASSERT_TRUE(t.Started(404));
    close(t.Form());
    EXPECT_EQ(t.World.Xmt().FixedCurrent, 0.0f) << what;
    EXPECT_TRUE(t.Started(402)) << what;
  }
}

TEST(AjsaTest, FrenchTexts) {
  AppWorld w(TLangue::Francais);
  TAjustSAForm& f = *w.Program->Forms.AjustSAForm;
  f.Show();
  EXPECT_EQ(f.Caption(), "Ajustage du courant");
  EXPECT_EQ(f.GroupBoxLangue1->ShownCaption(), Cp("Méthode d'ajustage"));
  EXPECT_EQ(f.LabelLangue1->ShownCaption(), Cp("1 - Connectez un Ampèremètre dans la boucle"));
}

// Through the link: each trim fixes its target current, sends the reading with its command
// (45 for 4 mA, 46 for 20 mA, the four bytes of the single, big-endian), and leaves the
// fixed-current mode when it ends.
TEST(AjsaLink, EachTrimReachesTheTransmitter) {
  struct Case {
    int tag;
    float target;
    const char* reading;
    float measured;
    int command;
    std::vector<std::uint8_t> bytes;
    float SimState::*trimmed;
    float SimState::*untouched;
    const char* done;
  };
  const Case cases[] = {
      {0, 4.0f, "3,9870", 3.987f, 45, {0x40, 0x7F, 0x2B, 0x02}, &SimState::DacZeroTrim, &SimState::DacGainTrim, "4,0000"},
      {1, 20.0f, "20,0130", 20.013f, 46, {0x41, 0xA0, 0x1A, 0xA0}, &SimState::DacGainTrim, &SimState::DacZeroTrim, "20,0000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reading);
    TrimWorld t(',');
    t.World.Connect();
    const std::size_t from = t.World.Sim.Requests.size();
    t.World.Ui.OnModal["AjustSAForm"] = [&t, &c](TForm&) {
      ASSERT_TRUE(t.World.AdvanceUntilRequests(1));
      EXPECT_EQ(t.World.Sim.Requests.back().Command, 40);
      EXPECT_EQ(t.World.Sim.State.FixedCurrent, c.target);
      t.Correct(c.reading);
      ASSERT_TRUE(t.World.AdvanceUntilRequests(1));
      EXPECT_EQ(t.World.Sim.Requests.back().Command, c.command);
      EXPECT_EQ(t.World.Sim.Requests.back().Data, c.bytes);
      EXPECT_EQ(t.World.Sim.State.*c.trimmed, c.measured);
      EXPECT_EQ(t.World.Sim.State.*c.untouched, 0.0f) << "the other trim is left alone";
      t.Correct(c.done);
      EXPECT_FALSE(t.Form().Visible());
    };
    t.Form().Tag = c.tag;
    t.Form().ShowModal();
    ASSERT_TRUE(t.World.AdvanceUntilRequests(1));
    EXPECT_EQ(t.World.Sim.Requests.back().Command, 40);
    EXPECT_EQ(t.World.Sim.State.FixedCurrent, 0.0f);
    t.World.Advance(5000);
    const std::vector<int> all = t.World.Commands();
    EXPECT_EQ(std::vector<int>(all.begin() + static_cast<std::ptrdiff_t>(from), all.end()),
              (std::vector<int>{40, c.command, 40}))
        << "nothing more after the trim";
  }
}

// Through the link, from the keyboard: a reading typed without its separator goes on after
// it and is sent as the edit shows it, 39,870 mA with command 45. The same digits pasted are
// refused with a beep and the target text stays, so "Correction" then ends the trim without
// sending another one.
TEST(AjsaLink, TheReadingSentIsTheOneShown) {
  TrimWorld t(',');
  t.World.Connect();
  const std::size_t from = t.World.Sim.Requests.size();
  t.World.Ui.OnModal["AjustSAForm"] = [&t](TForm&) {
    TMaskEdit& edit = *t.Form().EdCurrent;
    ASSERT_TRUE(t.World.AdvanceUntilRequests(1));
    edit.selectAll();
    QTest::keyClicks(&edit, QStringLiteral("39870"));
    EXPECT_EQ(edit.Text(), "39,870");
    t.Form().Button1->click();
    ASSERT_TRUE(t.World.AdvanceUntilRequests(1));
    EXPECT_EQ(t.World.Sim.Requests.back().Command, 45);
    EXPECT_EQ(t.World.Sim.Requests.back().Data, (std::vector<std::uint8_t>{0x42, 0x1F, 0x7A, 0xE1}));  // 39.87f
    EXPECT_EQ(t.World.Xmt().MeasuredCurrent, 39.87f);
    EXPECT_EQ(t.World.Sim.State.DacZeroTrim, 39.87f);
    EXPECT_EQ(edit.Text(), " 4,0000");
    EXPECT_EQ(t.World.Ui.Beeps, 0);

    QGuiApplication::clipboard()->setText(QStringLiteral("39870"));
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(t.World.Ui.Beeps, 1);
    EXPECT_EQ(edit.Text(), " 4,0000");
    t.Form().Button1->click();
    EXPECT_FALSE(t.Form().Visible()) << "the target read: trimmed";
  };
  t.Form().Tag = 0;
  t.Form().ShowModal();
  ASSERT_TRUE(t.World.AdvanceUntilRequests(1));
  t.World.Advance(5000);
  const std::vector<int> all = t.World.Commands();
  EXPECT_EQ(std::vector<int>(all.begin() + static_cast<std::ptrdiff_t>(from), all.end()), (std::vector<int>{40, 45, 40}));
}

}  // namespace
