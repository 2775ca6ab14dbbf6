// The clock window with a fake computer clock: the lists it writes, the delay it measures
// and the time it sends, the timer, and every way of closing it.

#include <gtest/gtest.h>

#include <QTabWidget>
#include <array>
#include <functional>

#include "app/TimeDate.h"
#include "app/Texts.h"
#include "app/core/TimeDateClock.h"
#include "support/AppFixture.h"
#include "support/WindowSystemClose.h"

namespace {

constexpr double Ms = 1.0 / 86400000.0;

std::vector<std::int32_t> Slots(const TJobList& j, int n) {
  std::vector<std::int32_t> out;
  for (int i = 0; i < n; ++i) out.push_back(j.At(i));
  return out;
}

struct TimeDateTest : AppFixture {
  TimeDateTest() {
    Form().Now = [this] { return Clock; };
  }
  TTimeDateFrom& Form() const { return *World.Program->Forms.TimeDateFrom; }
  TDateTime Clock = *TryEncodeDate(2024, 3, 15) + *TryEncodeTime(10, 0, 0, 0);
};

TEST_F(TimeDateTest, ShowingSendsNothingAndOpensTheFirstPage) {
  World.Jobs().StartMeasurePolling();
  Form().PageControl1->setCurrentIndex(1);
  World.Jobs().StartMeasurePolling();
  Form().Close();
  World.Jobs().StartMeasurePolling();
  Form().Show();
  EXPECT_EQ(Form().PageControl1->currentIndex(), 0);
  EXPECT_EQ(World.Jobs().At(0), 1);
  EXPECT_EQ(Form().Label7->Caption(), "Label7");
  EXPECT_EQ(Form().Label5->Caption(), "Label5");
  EXPECT_EQ(Form().Caption(), "TimeDateFrom");
}

TEST_F(TimeDateTest, ReadLoopsOnTheClockReadingAndShowsTheAnswer) {
  Form().Show();
  for (const bool busy : {false, true}) {
    World.Jobs().Busy = busy;
    World.Jobs().JobIndex = 4;
    Form().BtnReadTime->click();
    EXPECT_EQ(Slots(World.Jobs(), 3), (std::vector<std::int32_t>{251, 501, 0}));
    EXPECT_EQ(World.Jobs().JobIndex, 0);
    EXPECT_EQ(World.Jobs().LastJob, 251);
    EXPECT_EQ(World.Jobs().Busy, busy);
  }
  TXmt& x = World.Xmt();
  x.DeviceClock = *TryEncodeDate(2024, 1, 2) + *TryEncodeTime(3, 4, 5, 0);
  x.LastClockSet = *TryEncodeDate(2023, 12, 31) + *TryEncodeTime(23, 59, 58, 0);
  x.ClockFlags = 3;
  Form().ClockReadAnswer(nullptr, x);
  EXPECT_EQ(Form().Label7->Caption(), "02/01/2024  03:04:05");
  EXPECT_EQ(Form().Label9->Caption(), "31/12/2023  23:59:58");
  EXPECT_EQ(Form().Label10->Caption(), "3");
}

TEST_F(TimeDateTest, AdjustPageMeasuresTheExchangeAndSendsTheTimeAdvancedByIt) {
  Form().Show();
  World.Jobs().Busy = true;
  Form().PageControl1->setCurrentIndex(1);
  EXPECT_EQ(Slots(World.Jobs(), 5), (std::vector<std::int32_t>{250, 501, 350, 501, 0}));
  EXPECT_EQ(World.Jobs().LastJob, 250);
  EXPECT_EQ(World.Jobs().JobIndex, 0);
  EXPECT_TRUE(World.Jobs().Busy);
  EXPECT_TRUE(Form().DateTimeTimer.Enabled());
  EXPECT_EQ(Form().SendTime(), 0.0) << "the first request carries 0";

  TXmt& x = World.Xmt();
  x.DeviceClock = *TryEncodeDate(2024, 3, 15) + *TryEncodeTime(9, 59, 0, 0);
  Clock += 180 * Ms;
  Form().ClockSetAnswer(nullptr, x);
  EXPECT_EQ(Form().Label5->Caption(), "180 ms");
  EXPECT_EQ(Form().Label3->Caption(), "15/03/2024  09:59:00");
  EXPECT_NEAR((Form().SendTime() - Clock) / Ms, 180.0, 1e-3);

  Clock += 205 * Ms;
  Form().ClockSetAnswer(nullptr, x);
  EXPECT_EQ(Form().Label5->Caption(), "205 ms");
  EXPECT_NEAR((Form().SendTime() - Clock) / Ms, 205.0, 1e-3);

  Form().BtnSynchro->click();
  EXPECT_EQ(World.Jobs().JobIndex, 2);

  Form().PageControl1->setCurrentIndex(0);
  EXPECT_EQ(Slots(World.Jobs(), 3), (std::vector<std::int32_t>{500, 500, 0}));
  EXPECT_FALSE(Form().DateTimeTimer.Enabled());
}

// Until an exchange has been measured on this visit of "Adjust Time", the time to send is 0
// (30/12/1899) or one left from long ago: the button beeps and the setting is not asked for.
TEST_F(TimeDateTest, SynchronisingWaitsForAnExchangeMeasuredOnThePage) {
  TXmt& x = World.Xmt();
  struct Step {
    const char* what;
    std::function<void(TTimeDateFrom&)> act;
    bool sets;  // BtnSynchro then moves the list to the setting
  };
  const std::vector<Step> steps = {
      {"page just chosen", [](TTimeDateFrom& f) { f.PageControl1->setCurrentIndex(1); }, false},
      {"an answer came", [&x](TTimeDateFrom& f) { f.ClockSetAnswer(nullptr, x); }, true},
      {"the page left and chosen again", [](TTimeDateFrom& f) {
         f.PageControl1->setCurrentIndex(0);
         f.PageControl1->setCurrentIndex(1);
       }, false},
      {"an answer on the new visit", [&x](TTimeDateFrom& f) { f.ClockSetAnswer(nullptr, x); }, true},
      {"closed and opened again", [](TTimeDateFrom& f) {
         f.Close();
         f.Show();
         f.PageControl1->setCurrentIndex(1);
       }, false},
  };
  Form().Show();
  for (const Step& s : steps) {
    s.act(Form());
    World.Jobs().JobIndex = 0;
    const int beeps = World.Ui.Beeps;
    Form().BtnSynchro->click();
    EXPECT_EQ(World.Jobs().JobIndex, s.sets ? 2 : 0) << s.what;
    EXPECT_EQ(World.Ui.Beeps, beeps + (s.sets ? 0 : 1)) << s.what;
  }
}

TEST_F(TimeDateTest, TheTimerShowsTheComputersTime) {
  World.Advance(300);
  EXPECT_EQ(Form().Label4->Caption(), "15/03/2024  10:00:00") << "the timer runs from the window's creation";
  Clock += 61000 * Ms;
  World.Advance(250);
  EXPECT_EQ(Form().Label4->Caption(), "15/03/2024  10:01:01");
}

TEST_F(TimeDateTest, EveryWayOfClosingEndsTheListAndStopsTheTimer) {
  const std::vector<std::pair<const char*, std::function<void(TTimeDateFrom&)>>> ways = {
      {"close button", [](TTimeDateFrom& f) { f.BtnClose->click(); }},
      {"close box", [](TTimeDateFrom& f) { f.Close(); }},
      {"Esc", [](TTimeDateFrom& f) { f.reject(); }},
      {"window system", [](TTimeDateFrom& f) { WindowSystemClose(f); }},
  };
  for (const auto& [what, close] : ways) {
    Form().Show();
    Form().PageControl1->setCurrentIndex(1);
    ASSERT_TRUE(Form().DateTimeTimer.Enabled());
    close(Form());
    EXPECT_FALSE(Form().Visible()) << what;
    EXPECT_EQ(Slots(World.Jobs(), 3), (std::vector<std::int32_t>{500, 500, 0})) << what;
    EXPECT_FALSE(Form().DateTimeTimer.Enabled()) << what;
  }
}

TEST(TimeDateFrench, TextsOfTheFrenchEdition) {
  AppWorld w(TLangue::Francais);
  TTimeDateFrom& f = *w.Program->Forms.TimeDateFrom;
  f.Show();
  EXPECT_EQ(f.BtnSynchro->ShownCaption(), "Synchroniser");
  EXPECT_EQ(f.BtnClose->ShownCaption(), "Fermer");
  EXPECT_EQ(f.PageControl1->tabText(1), QString::fromUtf8("Réglage de l'heure"));
}

// Through the link, with the computer's clock running in virtual time: each exchange is
// measured, the setting goes out once with the time advanced by the last delay, then the
// measuring loop resumes.
TEST(TimeDateLink, SynchronisingSetsTheClockOnce) {
  AppWorld w;
  w.Connect();
  TTimeDateFrom& f = *w.Program->Forms.TimeDateFrom;
  const TDateTime base = *TryEncodeDate(2024, 3, 15) + *TryEncodeTime(10, 0, 0, 0);
  f.Now = [&] { return base + static_cast<double>(w.Sched.NowMs()) * Ms; };
  std::vector<std::int64_t> answers;
  w.Ui.OnModal["TimeDateFrom"] = [&](TForm&) {
    f.PageControl1->setCurrentIndex(1);
    ASSERT_TRUE(w.AdvanceUntilRequests(3));
    w.Advance(400);
    const std::string delay = f.Label5->Caption();
    ASSERT_NE(delay, "Label5");
    const std::size_t before = w.Sim.Requests.size();
    f.BtnSynchro->click();
    ASSERT_TRUE(w.AdvanceUntilRequests(1));
    // The setting carries SendTime: the computer's time of the last answer, 50 ms before
    // the request went out, advanced by the delay measured.
    const std::vector<std::uint8_t>& d = w.Sim.Requests.back().Data;
    ASSERT_GE(d.size(), 8u);
    EXPECT_EQ(d[0], 1);
    EXPECT_EQ((std::vector<std::uint8_t>{d[1], d[2], d[3]}), (std::vector<std::uint8_t>{15, 3, 124})) << "15/03/2024";
    const std::uint32_t ticks = static_cast<std::uint32_t>(d[4]) << 24 | static_cast<std::uint32_t>(d[5]) << 16 |
                                static_cast<std::uint32_t>(d[6]) << 8 | d[7];
    EXPECT_EQ(ticks % 32, 0u) << "whole milliseconds";
    const std::int64_t sentAt = w.Fake.Sent.back().AtMs;
    const double expected = 10 * 3600000.0 + static_cast<double>(sentAt - 50) + std::stoi(f.Label5->Caption());
    EXPECT_NEAR(ticks / 32.0, expected, 1.0);
    EXPECT_EQ(w.Sim.State.ClockSetDate, (std::array<std::uint8_t, 3>{15, 3, 124}));
    EXPECT_EQ(w.Sim.State.ClockSetTime, ticks);
    ASSERT_TRUE(w.AdvanceUntilRequests(2));
    std::vector<int> codes;
    for (std::size_t i = before; i < w.Sim.Requests.size(); ++i) {
      ASSERT_EQ(w.Sim.Requests[i].Command, 89);
      codes.push_back(w.Sim.Requests[i].Data.at(0));
    }
    EXPECT_EQ(codes, (std::vector<int>{1, 0, 0})) << "one setting, then the measuring goes on";
    f.BtnClose->click();
  };
  f.ShowModal();
  const std::size_t count = w.Sim.Requests.size();
  w.Advance(5000);
  EXPECT_EQ(w.Sim.Requests.size(), count) << "the close ended the loop";
  EXPECT_FALSE(w.Jobs().Busy);
  // The delay measured is one exchange in virtual time.
  const std::string shown = f.Label5->Caption();
  const int ms = std::stoi(shown);
  EXPECT_GT(ms, 100);
  EXPECT_LT(ms, 1000);
  EXPECT_EQ(shown, std::to_string(ms) + " ms");
}

// The device takes the setting but its answer is lost: the sequencer sends the setting
// again 2.5 s later, and that one carries the time of its own sending, not the one before.
TEST(TimeDateLink, ASettingRepeatedAfterALostAnswerCarriesItsOwnTime) {
  AppWorld w;
  w.Connect();
  const std::size_t offset = w.Fake.Sent.size() - w.Sim.Requests.size();  // sends not for the device
  TTimeDateFrom& f = *w.Program->Forms.TimeDateFrom;
  const TDateTime base = *TryEncodeDate(2024, 3, 15) + *TryEncodeTime(10, 0, 0, 0);
  f.Now = [&] { return base + static_cast<double>(w.Sched.NowMs()) * Ms; };
  f.Show();
  f.PageControl1->setCurrentIndex(1);
  ASSERT_TRUE(w.AdvanceUntilRequests(3));
  w.Advance(400);
  const int delay = std::stoi(f.Label5->Caption());
  const std::size_t sends = w.Fake.Sent.size();
  f.BtnSynchro->click();
  // The setting is on the line: its answer, and the ones after it, come back damaged.
  ASSERT_TRUE(w.Sched.AdvanceUntil([&] { return w.Fake.Sent.size() > sends; }, 3000));
  w.Sim.Faults.CorruptByteIndex = 4;
  w.Advance(6000);
  std::vector<std::pair<std::int64_t, std::uint32_t>> settings;  // when sent, the time it carries
  for (std::size_t i = 0; i < w.Sim.Requests.size(); ++i) {
    const SimRequest& r = w.Sim.Requests[i];
    if (r.Command != 89 || r.Data.at(0) != 1) continue;
    const std::uint32_t ticks = static_cast<std::uint32_t>(r.Data[4]) << 24 | static_cast<std::uint32_t>(r.Data[5]) << 16 |
                                static_cast<std::uint32_t>(r.Data[6]) << 8 | r.Data[7];
    settings.emplace_back(w.Fake.Sent.at(i + offset).AtMs, ticks);
  }
  ASSERT_GE(settings.size(), 3u) << "the setting is repeated";
  EXPECT_GE(settings[1].first - settings[0].first, 2500);
  for (const auto& [sentAt, ticks] : settings) {
    EXPECT_NEAR(ticks / 32.0, 10 * 3600000.0 + static_cast<double>(sentAt - 50) + delay, 1.0) << "sent at " << sentAt;
  }
  EXPECT_EQ(w.Sim.State.ClockSetTime, settings.back().second) << "the device keeps the last one";
  w.Sim.Faults.CorruptByteIndex = -1;
  f.BtnClose->click();
}

}  // namespace
