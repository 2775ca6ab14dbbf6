// The sequencer in virtual time: the real main window and link, the simulated transmitter
// on a timed line; tick times to the millisecond, the requests on the wire, the list.

#include <gtest/gtest.h>

#include <algorithm>

#include "app/Texts.h"
#include "app/Erreur.h"
#include "app/core/JobList.h"
#include "support/AppFixture.h"

namespace {

// One request as the transmitter's line saw it.
struct TSentRequest {
  int Command = -1;
  int ShortAddress = -1;  // the polling address of a short frame
  std::int64_t AtMs = 0;
};

TSentRequest Parse(const FakeTransport::TSent& sent) {
  const std::string& b = sent.Bytes;
  std::size_t i = 0;
  while (i < b.size() && static_cast<unsigned char>(b[i]) == 0xFF) ++i;
  TSentRequest r;
  r.AtMs = sent.AtMs;
  if (i >= b.size()) return r;
  const bool isLong = (static_cast<unsigned char>(b[i]) & 0x80) != 0;
  const std::size_t command = i + 1 + (isLong ? 5 : 1);
  if (!isLong && i + 1 < b.size()) r.ShortAddress = static_cast<unsigned char>(b[i + 1]) & 0x0F;
  if (command < b.size()) r.Command = static_cast<unsigned char>(b[command]);
  return r;
}

// Records when answers reach the window.
struct Scenario {
  explicit Scenario(TLangue langue = TLangue::Anglais) : World(langue) {
    TNotifyEvent original = World.Main().MainHart->OnDataArrival;
    World.Main().MainHart->OnDataArrival = [this, original](TObject* s) {
      Arrivals.push_back(World.Sched.NowMs());
      original(s);
    };
  }

  std::vector<TSentRequest> Sent(std::size_t from = 0) const {
    std::vector<TSentRequest> out;
    for (std::size_t i = from; i < World.Fake.Sent.size(); ++i) out.push_back(Parse(World.Fake.Sent[i]));
    return out;
  }
  std::vector<int> Commands(std::size_t from = 0) const {
    std::vector<int> out;
    for (const TSentRequest& r : Sent(from)) out.push_back(r.Command);
    return out;
  }
  bool UntilSent(std::size_t n, std::int64_t maxMs = 20000) {
    return World.Sched.AdvanceUntil([&] { return World.Fake.Sent.size() >= n; }, maxMs);
  }
  // From now on every tick is recorded: its time and the job it ran.
  void RecordTicks() {
    TNotifyEvent original = World.Main().Evenement.OnTimer;
    World.Main().Evenement.OnTimer = [this, original](TObject* t) {
      original(t);
      Ticks.push_back({World.Sched.NowMs(), World.Jobs().CurrentJob});
    };
  }

  struct TTick {
    std::int64_t AtMs;
    std::int32_t Job;
  };
  AppWorld World;
  std::vector<std::int64_t> Arrivals;
  std::vector<TTick> Ticks;
};

}  // namespace

TEST(SequencerTest, AnAnsweredListRunsFiftyMillisecondsAfterEachAnswerAndFallsIntoPolling) {
  Scenario s;
  s.World.Connect();
  const std::size_t from = s.World.Fake.Sent.size();
  const std::size_t arrivalsFrom = s.Arrivals.size();
  s.World.Jobs().StartList({303, 500, 201, 1});
  ASSERT_TRUE(s.UntilSent(from + 6));
  const auto sent = s.Sent(from);
  EXPECT_EQ(s.Commands(from), (std::vector<int>{18, 13, 1, 2, 1, 2}));
  const auto& a = s.Arrivals;
  ASSERT_GE(a.size(), arrivalsFrom + 5);
  EXPECT_EQ(sent[1].AtMs, a[arrivalsFrom] + 100);  // 500 at +50, 201 at +100
  for (std::size_t k = 2; k < 6; ++k) EXPECT_EQ(sent[k].AtMs, a[arrivalsFrom + k - 1] + 50) << k;
  EXPECT_FALSE(s.World.Jobs().Busy);
  EXPECT_TRUE(s.World.Main().TabbedNotebook->isEnabled());
}

TEST(SequencerTest, AnUnansweredRequestIsSentAgainEveryTwoAndAHalfSeconds) {
  Scenario s;
  s.World.Connect();
  s.World.Sim.Faults.Silent = true;
  const std::size_t from = s.World.Fake.Sent.size();
  s.World.Jobs().StartList({303, 500, 201, 1});
  ASSERT_TRUE(s.UntilSent(from + 4));
  const auto sent = s.Sent(from);
  EXPECT_EQ(s.Commands(from), (std::vector<int>{18, 18, 18, 18}));
  for (std::size_t k = 1; k < 4; ++k) EXPECT_EQ(sent[k].AtMs - sent[k - 1].AtMs, 2500);
  EXPECT_TRUE(s.World.Jobs().Busy);
  EXPECT_EQ(s.World.Main().StatusPanel(0), "Write Tag/Descriptor/Date");
}

TEST(SequencerTest, AFailedReadBackIsNotRepeatedWhenPollingFollows) {
  Scenario s;
  s.World.Connect();
  const std::size_t from = s.World.Fake.Sent.size();
  const std::size_t answers = s.Arrivals.size();
  s.World.Jobs().StartList({303, 500, 201, 1});
  ASSERT_TRUE(s.World.Sched.AdvanceUntil([&] { return s.Arrivals.size() > answers; }, 3000));  // 303 answered
  s.World.Sim.Faults.Silent = true;  // the 201 read-back goes unanswered
  ASSERT_TRUE(s.World.AdvanceUntilRequests(1));
  s.World.Sim.Faults.Silent = false;
  ASSERT_TRUE(s.UntilSent(from + 3));
  const auto sent = s.Sent(from);
  EXPECT_EQ(sent[1].Command, 13);
  EXPECT_EQ(sent[2].Command, 1);  // job 1 at the index runs itself
  EXPECT_EQ(sent[2].AtMs - sent[1].AtMs, 2500);
}

// A write the device refuses is answered: it goes out once, the refusal is shown once, and
// the list goes on to its end and the read-back, whether or not a supervision check of the
// link fell between the request and its answer (which leaves the link's code at "No
// response"). With the usual preambles the exchange of command 35 outlasts the checks'
// period, so a check always falls inside; with the fewest preambles on both sides it can
// fall outside. The list starts at an idle tick, every 250 ms, while the checks come every
// 520 ms: a later click meets the checks at another phase, and 26 clicks sweep the period.
TEST(SequencerTest, ARefusedWriteGoesOutOnceAndTheListGoesOn) {
  struct Line {
    bool FewPreambles;
    int Step;  // idle ticks between the clicks tried
  };
  for (const TLangue langue : {TLangue::Anglais, TLangue::Francais}) {
    bool checkInside = false, checkOutside = false;
    for (const Line line : {Line{false, 4}, Line{true, 1}}) {
      for (int startMs = 0; startMs < 26 * 250; startMs += line.Step * 250) {
        SCOPED_TRACE(std::string(langue == TLangue::Anglais ? "English" : "French") +
                     (line.FewPreambles ? ", few preambles" : "") + ", start at +" + std::to_string(startMs) + " ms");
        Scenario s(langue);
        s.World.Connect();
        TMainForm& m = s.World.Main();
        THART& hart = *m.MainHart;
        if (line.FewPreambles) {
          m.Preambles5->trigger();
          s.World.Sim.AnswerPreambles = 2;
        }
        TNotifyEvent arrival = hart.OnDataArrival;
        hart.OnDataArrival = [&, arrival](TObject* sender) {
          if (hart.AnswerCommand == 35) (hart.Erreur.GetCode() != 0 ? checkInside : checkOutside) = true;
          arrival(sender);
        };
        s.World.Advance(startMs);
        m.EdURV->SetText("900.00");  // above the sensor's 850: "Upper range value too high"
        m.EdLRV->SetText("0.00");
        m.BtnWR_RANGEClick(&m);
        const std::size_t from = s.World.Fake.Sent.size();

        // The user closes the error window each time it shows.
        int errorWindows = 0;
        TErreurForm& error = *s.World.Program->Forms.ErreurForm;
        auto closeErrors = [&] {
          if (error.Visible()) {
            ++errorWindows;
            EXPECT_EQ(error.LbErreur->Caption(), langue == TLangue::Anglais ? "Upper range value too high"
                                                                            : "Valeur haute d'\xE9" "chelle trop haute");
            error.Close();
          }
          return false;
        };
        ASSERT_TRUE(s.World.Sched.AdvanceUntil([&] { closeErrors(); return !s.World.Jobs().Busy; }, 10000));
        s.World.Sched.AdvanceUntil(closeErrors, 10000);  // ten seconds more: nothing comes back

        const std::vector<int> sent = s.Commands(from);
        ASSERT_GE(sent.size(), 2u);
        EXPECT_EQ(sent[0], 35);
        EXPECT_EQ(std::count(sent.begin(), sent.end(), 35), 1);
        EXPECT_EQ(sent[1], 15) << "the read-back of the range";
        EXPECT_EQ(errorWindows, 1);
        EXPECT_EQ(s.World.Jobs().LastJob, 0) << "the list ran to its end";
        EXPECT_TRUE(m.TabbedNotebook->isEnabled());
        EXPECT_FLOAT_EQ(s.World.Xmt().UpperRangeValue, 100.0f) << "the read-back shows what the device kept";
      }
    }
    EXPECT_TRUE(checkInside) << "a supervision check fell inside the exchange";
    EXPECT_TRUE(checkOutside) << "no supervision check fell inside the exchange";
  }
}

TEST(SequencerTest, AnIdleListTicksFourTimesASecondAndSendsNothing) {
  Scenario s;
  s.World.Connect();
  const std::size_t from = s.World.Fake.Sent.size();
  s.World.Main().SetStatusPanel(0, "something");
  int ticks = 0;
  TNotifyEvent original = s.World.Main().Evenement.OnTimer;
  s.World.Main().Evenement.OnTimer = [&, original](TObject* t) {
    ++ticks;
    original(t);
  };
  s.World.Advance(250);  // to the next tick of the 250 ms pace
  ticks = 0;
  s.World.Advance(1000);
  EXPECT_EQ(ticks, 4);
  EXPECT_EQ(s.World.Fake.Sent.size(), from);
  EXPECT_EQ(s.World.Main().StatusPanel(0), "");
  EXPECT_EQ(s.World.Main().Evenement.Interval(), 250);
}

TEST(SequencerTest, AFailingLinkReplaysTheLastJobOnlyWhenItIsAboveTheSearchJobs) {
  Scenario s;
  s.World.Connect();
  s.World.Sim.Faults.Silent = true;
  TJobList& jobs = s.World.Jobs();
  jobs.Start(200);
  ASSERT_TRUE(s.World.AdvanceUntilRequests(1));
  s.World.Advance(1000);  // the link reports the missing answer
  ASSERT_NE(s.World.Main().MainHart->Erreur.GetCode(), 0);

  // A list written without LastJob: the job issued last goes out instead of its first job.
  const std::size_t from = s.World.Fake.Sent.size();
  jobs.List = {};
  jobs.List[0] = 307;
  jobs.List[1] = 500;
  jobs.JobIndex = 0;
  ASSERT_TRUE(s.UntilSent(from + 1));
  EXPECT_EQ(s.Commands(from), (std::vector<int>{12}));

  // With a LastJob of the polling, the job at the index runs (the list is not lost).
  jobs.LastJob = 1;
  ASSERT_TRUE(s.UntilSent(from + 2));
  EXPECT_EQ(s.Commands(from).back(), 17);
  EXPECT_EQ(jobs.List[0], 307);
  EXPECT_EQ(jobs.JobIndex, 0);
}

TEST(SequencerTest, RelativeJumpsStayInsideTheList) {
  // A jump in a slot of the list, run by the tick: the next slot is its own plus
  // (code - 2010) when that lies in 0 to 24, else the one after it.
  struct Case {
    int slot;
    std::int32_t code;
    int next;
  };
  for (const Case& c : std::vector<Case>{{7, 2005, 2},
                                         {3, 2000, 4},  // -7: ignored
                                         {10, 2000, 0},
                                         {5, 2011, 6},
                                         {4, 2020, 14},
                                         {14, 2020, 24},
                                         {15, 2020, 16},  // 25 holds only the list's end
                                         {24, 2020, 25},
                                         {6, 2010, 6}}) {
    SCOPED_TRACE(std::to_string(c.code) + " in slot " + std::to_string(c.slot));
    Scenario s;
    s.World.Connect();
    TJobList& jobs = s.World.Jobs();
    jobs.List = {};
    jobs.List[static_cast<std::size_t>(c.slot)] = c.code;
    // 200 (command 12) where the jump leads, 201 (command 13) in the slot after the jump.
    if (c.next != c.slot && c.next < 25) jobs.List[static_cast<std::size_t>(c.next)] = 200;
    if (c.slot + 1 != c.next && c.slot + 1 < 25) jobs.List[static_cast<std::size_t>(c.slot + 1)] = 201;
    jobs.JobIndex = c.slot;
    jobs.LastJob = 7;
    s.RecordTicks();
    const std::size_t from = s.World.Fake.Sent.size();
    s.World.Main().Evenement.SetInterval(50);
    s.World.Advance(50);
    ASSERT_EQ(s.Ticks.size(), 1u);
    EXPECT_EQ(s.Ticks[0].Job, c.code);
    EXPECT_EQ(jobs.JobIndex, c.next);
    EXPECT_EQ(jobs.LastJob, c.code);
    EXPECT_EQ(s.World.Main().Evenement.Interval(), 50);
    EXPECT_EQ(s.World.Fake.Sent.size(), from);
    s.World.Advance(50);  // the next tick runs the slot the jump chose
    ASSERT_EQ(s.Ticks.size(), 2u);
    EXPECT_EQ(s.Ticks[1].Job, jobs.List[static_cast<std::size_t>(c.next)]);
    EXPECT_EQ(s.Commands(from), jobs.List[static_cast<std::size_t>(c.next)] == 200 ? std::vector<int>{12} : std::vector<int>{});
  }
}

TEST(SequencerTest, AListStartedBeforeTheLinksFirstReportRunsItsFirstJobTwice) {
  Scenario s;
  s.World.Connect();
  s.World.Main().MainHart->Erreur.Code = -1;  // as before the link's first report
  const std::size_t from = s.World.Fake.Sent.size();
  s.World.Jobs().StartList({201, 500});
  ASSERT_TRUE(s.UntilSent(from + 2));
  EXPECT_EQ(s.Commands(from), (std::vector<int>{13, 13}));
  s.World.Advance(1000);
  EXPECT_EQ(s.World.Fake.Sent.size(), from + 2);
  EXPECT_FALSE(s.World.Jobs().Busy);
}

TEST(SequencerTest, OfflineEveryTickEndsTheSequenceAndNothingIsSent) {
  Scenario s;
  s.World.Main().OfflineMode = true;
  s.World.Jobs().StartList({303, 500, 201, 1});
  s.World.Main().Evenement.SetInterval(50);
  s.World.Advance(50);
  EXPECT_FALSE(s.World.Jobs().Busy);
  EXPECT_EQ(s.World.Main().Evenement.Interval(), 50);
  s.World.Advance(1000);
  EXPECT_TRUE(s.World.Fake.Sent.empty());
}

TEST(SequencerTest, UnsupportedJobsAreSkippedSilentlyWithTheirPause) {
  struct Case {
    std::int32_t job;
    int manufacturer;
    int interval;
  };
  for (const Case& c : std::vector<Case>{{223, 250, 2500}, {224, 250, 2500}, {323, 250, 2500}, {213, 17, 50}, {317, 17, 50}}) {
    Scenario s;
    s.World.Sim.Identity.ManufacturerId = static_cast<std::uint8_t>(c.manufacturer);
    s.World.Connect();
    const std::size_t from = s.World.Fake.Sent.size();
    s.World.Main().SetStatusPanel(0, "before");
    s.World.Main().Evenement.SetInterval(1234);
    s.World.Main().RunJob(c.job);
    EXPECT_EQ(s.World.Main().Evenement.Interval(), c.interval) << c.job;
    EXPECT_EQ(s.World.Main().StatusPanel(0), "before") << c.job;
    EXPECT_FALSE(s.World.Main().AI1NominalPending) << c.job;
    s.World.Advance(100);
    EXPECT_EQ(s.World.Fake.Sent.size(), from) << c.job;
  }
}

TEST(SequencerTest, CodesWithoutAJobSendNothingAndTheNextTickFollowsAfterTwoAndAHalfSeconds) {
  for (std::int32_t code : {3, 99, 105, 211, 216, 399, 502, 1999, 2021, -1}) {
    Scenario s;
    s.World.Connect();
    s.World.Main().SetStatusPanel(0, "before");
    s.RecordTicks();
    const std::size_t from = s.World.Fake.Sent.size();
    s.World.Jobs().StartList({code, 500});
    s.World.Main().Evenement.SetInterval(50);
    s.World.Advance(50 + 2500);
    ASSERT_EQ(s.Ticks.size(), 2u) << code;
    EXPECT_EQ(s.Ticks[0].Job, code);
    EXPECT_EQ(s.Ticks[1].Job, 500) << code;
    EXPECT_EQ(s.Ticks[1].AtMs - s.Ticks[0].AtMs, 2500) << code;
    EXPECT_EQ(s.World.Fake.Sent.size(), from) << code;
    EXPECT_FALSE(s.World.Jobs().Busy) << code;
    EXPECT_EQ(s.World.Jobs().JobIndex, 2) << code;
  }
}

TEST(SequencerTest, AResetWaitsFiveSecondsForItsAnswer) {
  for (bool silent : {false, true}) {
    SCOPED_TRACE(silent ? "no answer" : "answered");
    Scenario s;
    s.World.Connect();
    s.World.Sim.Faults.Silent = silent;
    s.RecordTicks();
    const std::size_t from = s.World.Fake.Sent.size();
    const std::size_t answers = s.Arrivals.size();
    s.World.Jobs().Start(400);
    s.World.Main().Evenement.SetInterval(50);
    s.World.Advance(50);
    ASSERT_EQ(s.Ticks.size(), 1u);
    EXPECT_EQ(s.World.Main().Evenement.Interval(), 5000);
    s.World.Advance(5000);
    ASSERT_GE(s.Ticks.size(), 2u);
    if (silent) {
      // A device that resets may well not answer: the list goes on once it had the time.
      EXPECT_EQ(s.Ticks.size(), 2u);
      EXPECT_EQ(s.Ticks[1].AtMs - s.Ticks[0].AtMs, 5000);
      EXPECT_EQ(s.Ticks[1].Job, 500);
      EXPECT_EQ(s.Commands(from), (std::vector<int>{42}));
    } else {
      ASSERT_EQ(s.Arrivals.size(), answers + 1);
      EXPECT_EQ(s.Ticks[1].AtMs, s.Arrivals[answers] + 50);
      EXPECT_EQ(s.Ticks[1].Job, 500);
      EXPECT_EQ(s.Commands(from), (std::vector<int>{42}));
    }
  }
}

TEST(SequencerTest, TheSecondSearchStepOfAFoundDeviceReadsItsTagAndWaitsThreeQuartersOfASecond) {
  for (bool silent : {false, true}) {
    SCOPED_TRACE(silent ? "no answer" : "answered");
    Scenario s;
    s.World.Connect();  // the model is connected, as after an answer to the second command 0
    s.World.Main().ScanAddress = 0;
    s.World.Main().ScanLimit = 16;
    s.World.Jobs().StartList({100, 101, 102, 103, 104});
    s.World.Jobs().JobIndex = 2;
    s.World.Sim.Faults.Silent = silent;
    s.RecordTicks();
    const std::size_t from = s.World.Fake.Sent.size();
    const std::size_t answers = s.Arrivals.size();
    s.World.Main().Evenement.SetInterval(50);
    s.World.Advance(50);
    ASSERT_EQ(s.Ticks.size(), 1u);
    EXPECT_EQ(s.Ticks[0].Job, 102);
    EXPECT_EQ(s.World.Main().StatusPanel(0), "Device found at address 0 !");
    EXPECT_EQ(s.World.Jobs().JobIndex, 3);
    EXPECT_EQ(s.World.Main().Evenement.Interval(), 750);
    EXPECT_EQ(s.Commands(from), (std::vector<int>{13}));
    s.World.Advance(750);
    ASSERT_EQ(s.Ticks.size(), 2u);
    EXPECT_EQ(s.Ticks[1].Job, 103);
    EXPECT_EQ(s.Ticks[1].AtMs - s.Ticks[0].AtMs, silent ? 750 : s.Arrivals[answers] + 50 - s.Ticks[0].AtMs);
    EXPECT_EQ(s.World.Jobs().JobIndex, 5);
    EXPECT_EQ(TTreeView::StateIndex(*s.World.Main().TreeView->Node(1)), 2);
    EXPECT_EQ(s.Commands(from), (std::vector<int>{13}));
  }
}

TEST(SequencerTest, RefreshPageRestartsThePollingOnlyOnThePagesThatPoll) {
  Scenario s;
  s.World.Connect();
  TMainForm& m = s.World.Main();
  TJobList& jobs = s.World.Jobs();
  auto fill = [&] {
    jobs.StartList({201, 200, 204});
    jobs.JobIndex = 1;
    jobs.LastJob = 7;
    jobs.Busy = false;
  };
  for (int page : {0, 3}) {
    m.TabbedNotebook->SetPageIndex(page);
    ASSERT_EQ(m.TabbedNotebook->PageIndex(), page);
    fill();
    m.RefreshPage();
    EXPECT_EQ(jobs.At(0), 201) << page;
    EXPECT_EQ(jobs.At(1), 200) << page;
    EXPECT_EQ(jobs.At(2), 204) << page;
    EXPECT_EQ(jobs.JobIndex, 1) << page;
    EXPECT_EQ(jobs.LastJob, 7) << page;
  }

  m.TabbedNotebook->SetPageIndex(1);
  ASSERT_EQ(m.TabbedNotebook->PageIndex(), 1);
  fill();
  m.RefreshPage();
  EXPECT_EQ(jobs.At(0), 1);
  EXPECT_EQ(jobs.At(1), 0);
  EXPECT_EQ(jobs.JobIndex, 0);
  EXPECT_EQ(jobs.LastJob, 7);
  EXPECT_FALSE(jobs.Busy);
  const std::size_t from = s.World.Fake.Sent.size();
  ASSERT_TRUE(s.UntilSent(from + 2));
  EXPECT_EQ(s.Commands(from), (std::vector<int>{1, 2}));
}

TEST(SequencerTest, ATagTheDeviceCannotKeepIsNotSearchedForWhenTheJobRuns) {
  // The text of the search changed after the click; the check of the click holds at every
  // run of the job.
  for (const char* typed : {"TT~101", "TT\u00C9101", "TT\u03A9101"}) {
    SCOPED_TRACE(typed);
    Scenario s;
    s.World.Connect();  // the link's last answer was good: nothing replays the search by itself
    TMainForm& m = s.World.Main();
    m.BtnSearchTAG->setChecked(true);
    m.EditConnectbyTAG->SetText("TT-101");
    m.BtnRecherche(nullptr);
    ASSERT_EQ(s.World.Jobs().At(0), 111);
    m.EditConnectbyTAG->setText(QString::fromUtf8(typed));
    const std::size_t from = s.World.Fake.Sent.size();
    const int beeps = s.World.Ui.Beeps;
    s.World.Advance(50);
    EXPECT_EQ(s.World.Fake.Sent.size(), from);
    EXPECT_EQ(s.World.Ui.Beeps, beeps + 1);
    EXPECT_FALSE(m.CTS_LED->LedStatus());
    s.World.Advance(2500);  // asked again, refused again
    EXPECT_EQ(s.World.Fake.Sent.size(), from);
    EXPECT_EQ(s.World.Ui.Beeps, beeps + 2);
    EXPECT_TRUE(s.World.Ui.Messages.empty());

    m.EditConnectbyTAG->SetText("TT-101");  // mended: the search goes on
    ASSERT_TRUE(s.UntilSent(from + 2, 6000));
    EXPECT_EQ(s.Commands(from), (std::vector<int>{11, 13}));
    EXPECT_EQ(s.World.Ui.Beeps, beeps + 2);
  }
}

TEST(SequencerTest, MeasurePollingAlternatesTheMeasureReadAndTheCurrent) {
  for (bool detail : {false, true}) {
    Scenario s;
    s.World.Connect();
    s.World.Main().DetailPanel->setVisible(detail);
    const std::size_t from = s.World.Fake.Sent.size();
    s.World.Main().StartMeasurePolling();
    ASSERT_TRUE(s.UntilSent(from + 4));
    const int measure = detail ? 3 : 1;
    EXPECT_EQ(s.Commands(from), (std::vector<int>{measure, 2, measure, 2}));
    EXPECT_EQ(s.World.Main().JobStatusText(1), detail ? "Read measures" : "Read measure");
    EXPECT_EQ(s.World.Jobs().Length(), 1);  // one slot, jobs 1 and 2 taking turns
  }
}

TEST(SequencerTest, SearchOfAnEmptyLoopAsksEveryAddressTwiceThenGivesUp) {
  Scenario s;
  s.World.Sim.Faults.Silent = true;
  s.World.Main().BtnRecherche(nullptr);
  const std::int64_t t0 = s.World.Sched.NowMs();
  ASSERT_TRUE(s.UntilSent(32, 70000));
  const auto sent = s.Sent();
  for (int k = 0; k < 16; ++k) {
    const TSentRequest& first = sent[static_cast<std::size_t>(2 * k)];
    const TSentRequest& second = sent[static_cast<std::size_t>(2 * k + 1)];
    EXPECT_EQ(first.Command, 0);
    EXPECT_EQ(first.ShortAddress, k);
    EXPECT_EQ(second.ShortAddress, k);
    EXPECT_EQ(first.AtMs, t0 + 50 + 3750 * k) << k;
    EXPECT_EQ(second.AtMs, first.AtMs + 2500) << k;
  }
  s.World.Advance(750 + 500 + 1);  // job 102 of the last address, then job 104
  EXPECT_EQ(s.World.Main().StatusPanel(0), "No device ...");
  EXPECT_EQ(s.World.Main().ScanAddress, 0);
  EXPECT_EQ(s.World.Jobs().At(0), 0);
  s.World.Advance(5000);
  EXPECT_EQ(s.World.Fake.Sent.size(), 32u);
}

TEST(SequencerTest, SearchFindsTheDeviceAtAddressThree) {
  Scenario s;
  s.World.Sim.Identity.PollingAddress = 3;
  s.World.Main().BtnRecherche(nullptr);
  ASSERT_TRUE(s.World.Sched.AdvanceUntil([&] { return s.World.Jobs().JobIndex == 5; }, 40000));
  s.World.Advance(3000);
  const auto sent = s.Sent();
  std::vector<int> addresses;
  for (const TSentRequest& r : sent) addresses.push_back(r.Command == 0 ? r.ShortAddress : 100 + r.Command);
  EXPECT_EQ(addresses, (std::vector<int>{0, 0, 1, 1, 2, 2, 3, 113}));
  TMainForm& m = s.World.Main();
  EXPECT_EQ(m.CurrentAddress, 3);
  EXPECT_EQ(m.Connect->Caption(), "* Connected *");
  QTreeWidgetItem* node = m.TreeView->Node(4);
  EXPECT_EQ(TTreeView::StateIndex(*node), 2);
  EXPECT_EQ(TTreeView::SelectedIndex(*node), -1);
  EXPECT_EQ(TTreeView::Text(*node), s.World.Xmt().Tag);
  EXPECT_TRUE(s.World.Jobs().Busy);  // until the user takes the device
}

TEST(SequencerTest, TagSearchWithNobodyAnsweringIsRepeatedByTheRetryRule) {
  Scenario s;
  s.World.Sim.Faults.Silent = true;
  s.World.Main().BtnSearchTAG->setChecked(true);
  s.World.Main().BtnRecherche(nullptr);
  ASSERT_TRUE(s.UntilSent(3));
  const auto sent = s.Sent();
  EXPECT_EQ(s.Commands(), (std::vector<int>{11, 11, 11}));
  EXPECT_EQ(sent[1].AtMs - sent[0].AtMs, 2500);
  EXPECT_EQ(s.World.Main().StatusPanel(0), "Searching !! !");
  EXPECT_EQ(s.World.Main().CurrentAddress, 0);
}

TEST(SequencerTest, StatusTextsOfBothEditions) {
  struct Case {
    std::int32_t job;
    bool state;  // job 1: the detail panel shown; jobs 101 and 102: a device found
    const char* anglais;
    const char* francais;
  };
  Scenario en(TLangue::Anglais), fr(TLangue::Francais);
  for (Scenario* s : {&en, &fr}) {
    s->World.Main().ScanAddress = 7;
    s->World.Main().SegmentCounter = 12;
  }
  for (const Case& c : std::vector<Case>{
           {0, false, "", ""},
           {1, false, "Read measure", "Lecture des mesures"},
           {1, true, "Read measures", "Lecture de la mesure"},
           {2, false, "Read current", "Lecture du courant"},
           {100, false, "Search any HART device at address 7 !", "Recherche d'un transmetteur à l'adresse 7 !"},
           {101, false, "Searching !!", "Recherche d'un transmetteur !!"},
           {101, true, "Device found at address 7 !", "Transmetteur trouvé à l'adresse 7 !"},
           {102, false, "", ""},
           {102, true, "Device found at address 7 !", "Transmetteur trouvé à l'adresse 7 !"},
           {103, false, "", ""},
           {104, false, "No device ...", "Aucun transmetteur ..."},
           {111, false, "Searching !! !", "Recherche d'un transmetteur !! !"},
           {112, false, "Searching !! !", "Recherche d'un transmetteur !! !"},
           {200, false, "Read message", "Lecture du Message"},
           {201, false, "Read Tag/Descriptor/Date", "Lecture du TAG/Descripeur/Date"},
           {202, false, "Read sensor information", "Lecture des informations du capteur"},
           {203, false, "Read output information", "Lecture des informations de la sortie"},
           {204, false, "Read assembly number", "Lecture du du numéro d'assemblage"},
           {205, false, "Read status register", "Lecture du registre d'état"},
           {206, false, "Read peak thermal value", "Lecture des températures extrèmes"},
           {207, false, "Read ROM checksum", "Lecture du numéro de la ROM"},
           {208, false, "Read segment number", "Lecture du nombre de segment"},
           {209, false, "Read segments ...N° 12", "Lecture des segments ...N° 12"},
           {210, false, "Read autotest result", "Lecture du resultat de l'autotest"},
           {212, false, "Read thermal drift correction parameter", "Lecture des coefficients de correction en température"},
           {213, false, "Read more information about sensor", "Lecture des informations suplémentaires du capteur"},
           {214, false, "Read top of stack", "Lecture du max de la pile CPU"},
           {215, false, "Read E²PROM value", "Lecture de l'E²PROM"},
           {219, false, "Read PV Range informations", "Lecture des informations d'échelle de PV"},
           {220, false, "Read Alarm 1 informations", "Lecture des informations de l'alarme 1"},
           {221, false, "Read Alarm 2 informations", "Lecture des informations de l'alarme 2"},
           {222, false, "Read extended status register", "Lecture du registre d'état étendu"},
           {223, false, "Read secondary input limits", "Lecture des limites de l'entrée secondaire"},
           {224, false, "Read measure", "Lecture des mesures"},
           {225, false, "Lecture ParamCHK", "Lecture ParamCHK"},
           {250, false, "", ""},
           {251, false, "", ""},
           {300, false, "Write polling address", "Ecriture de l'adresse"},
           {301, false, "Write units", "Ecriture de l'unité de mesure"},
           {302, false, "Write range values", "Ecriture des valeurs d'échelle"},
           {303, false, "Write Tag/Descriptor/Date", "Ecriture du TAG/Descripeur/Date"},
           {304, false, "Write damping value", "Ecriture du Facteur d'amortissement"},
           {305, false, "Write assembly number", "Ecriture du numéro d'assemblage"},
           {306, false, "Write serial number", "Ecriture du numéro de série du capteur"},
           {307, false, "Write message", "Ecriture du Message"},
           {308, false, "Write status register", "Ecriture du registre d'état"},
           {309, false, "Write segments ...N° 12", "Ecriture des segments ...N° 12"},
           {310, false, "Write transfert function", "Ecriture de la fonction de transfert"},
           {311, false, "Enable linearization", "Valide la linéarisation utilisateur"},
           {312, false, "Disable linearization", "Inhibe la linéarisation utilisateur"},
           {313, false, "Write segment number", "Ecriture du nombre de segments"},
           {314, false, "Trim ambient temperature", "Ecriture de température ambiante"},
           {315, false, "Write peak thermal value", "Ecriture des températures extrèmes"},
           {316, false, "Write thermal drift correction parameter", "Ecriture des coefficients de correction en température"},
           {317, false, "Write more information about sensor", "Ecriture des informations suplémentaires du capteur"},
           {318, false, "Write E²PROM value", "Ecriture de l'E²PROM"},
           {319, false, "Write PV Range informations", "Ecriture des informations d'échelle de PV"},
           {320, false, "Write Alarm 1 informations", "Ecriture des informations de l'alarme 1"},
           {321, false, "Write Alarm 2 informations", "Ecriture des informations de l'alarme 2"},
           {322, false, "Write extended status register", "Ecriture du registre d'état étendu"},
           {323, false, "Write secondary input limits", "Ecriture des limites de l'entrée secondaire"},
           {350, false, "", ""},
           {400, false, "Reset device", "Reset du transmetteur"},
           {401, false, "Autotest running", "Autotest du transmetteur"},
           {402, false, "fix current value", "Programmation du courant"},
           {403, false, "Trim current (4mA)", "Ajustage du courant (4mA)"},
           {404, false, "Trim current (20mA)", "Ajustage du courant (20mA)"},
           {405, false, "Trim sensor offset", "Ajustage du zéro de la mesure"},
           {406, false, "Trim sensor full scale", "Ajustage de la PE de la mesure"},
           {407, false, "Trim mid-scale points", "Ajustage des segment de la mesure"},
           {408, false, "Refresh cache memory", "Rafraichissement du cache en lecture"},
           {409, false, "Register device", "Initialise le transmetteur"},
           {410, false, "Clear segment number", "Efface le nombre de segments"},
           {411, false, "Read maximum available number of segments", "Lecture du nombre maximum de segment"},
           {412, false, "Lock / Unlock access function", "Accès aux verrouillage des fonctions"},
           {413, false, "Lock / Unlock access function", "Accès aux verrouillage des fonctions"},
           {414, false, "Read ADC Values", "Lecture des valeurs du convertisseur"},
           {415, false, "PE reference value setting", "Ajustage de la valeur de la référence (PE)"},
           {416, false, "Z reference value setting", "Ajustage de la valeur de la référence (Z)"},
           {417, false, "Read additionnal device status (Cmd 48)", "Lecture des états supplèmentaires (Cmd 48)"},
           {418, false, "Select Input", "Sélectionne une entrée"},
           {419, false, "Reset configuration changed flag", "Efface le témoin de changement de configuration"},
           {500, false, "", ""},
           {501, false, "", ""},
           {2005, false, "", ""},
           // Codes without a job show nothing.
           {3, false, "", ""},
           {105, false, "", ""},
           {211, false, "", ""},
           {216, false, "", ""},
           {2021, false, "", ""},
           {-1, false, "", ""},
       }) {
    for (Scenario* s : {&en, &fr}) {
      TMainForm& m = s->World.Main();
      m.DetailPanel->setVisible(c.job == 1 && c.state);
      m.Transmetteur.SetConnected((c.job == 101 || c.job == 102) && c.state ? 1 : 0);
    }
    EXPECT_EQ(en.World.Main().JobStatusText(c.job), Cp(c.anglais)) << c.job << " " << c.state;
    EXPECT_EQ(fr.World.Main().JobStatusText(c.job), Cp(c.francais)) << c.job << " " << c.state;
  }
  EXPECT_EQ(fr.World.Main().JobStatusText(206), "Lecture des temp\xE9ratures extr\xE8mes");  // Windows-1252
}

TEST(SequencerTest, ClosingTheMainWindowStopsTheLinkAndTheTicksWhateverElseIsOpen) {
  Scenario s;
  s.World.Connect();
  s.World.Main().StartMeasurePolling();
  s.World.Program->Forms.ErreurForm->Show();
  s.World.Main().close();
  EXPECT_EQ(s.World.Main().MainHart, nullptr);
  const std::size_t sent = s.World.Fake.Sent.size();
  s.World.Advance(5000);
  EXPECT_EQ(s.World.Fake.Sent.size(), sent);
}
