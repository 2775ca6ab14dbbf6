// The sequencer in virtual time: the real main window and link, the simulated transmitter
// on a timed line; tick times to the millisecond, the requests on the wire, the list.

#include <gtest/gtest.h>

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

  AppWorld World;
  std::vector<std::int64_t> Arrivals;
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
  Scenario s;
  TMainForm& m = s.World.Main();
  s.World.Jobs().JobIndex = 8;  // job 2005 in slot 7, the index moved on already
  m.RunJob(2005);
  EXPECT_EQ(s.World.Jobs().JobIndex, 2);
  EXPECT_EQ(m.Evenement.Interval(), 50);
  s.World.Jobs().JobIndex = 4;  // job 2000 in slot 3 would go to -7
  m.RunJob(2000);
  EXPECT_EQ(s.World.Jobs().JobIndex, 4);
  s.World.Jobs().JobIndex = 25;
  m.RunJob(2020);
  EXPECT_EQ(s.World.Jobs().JobIndex, 25);
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
    const char* anglais;
    const char* francais;
  };
  Scenario en(TLangue::Anglais), fr(TLangue::Francais);
  for (Scenario* s : {&en, &fr}) {
    s->World.Main().ScanAddress = 7;
    s->World.Main().SegmentCounter = 12;
  }
  for (const Case& c : std::vector<Case>{
           {0, "", ""},
           {1, "Read measure", "Lecture des mesures"},
           {2, "Read current", "Lecture du courant"},
           {100, "Search any HART device at address 7 !", "Recherche d'un transmetteur à l'adresse 7 !"},
           {101, "Searching !!", "Recherche d'un transmetteur !!"},
           {102, "", ""},
           {104, "No device ...", "Aucun transmetteur ..."},
           {111, "Searching !! !", "Recherche d'un transmetteur !! !"},
           {201, "Read Tag/Descriptor/Date", "Lecture du TAG/Descripeur/Date"},
           {204, "Read assembly number", "Lecture du du numéro d'assemblage"},
           {209, "Read segments ...N° 12", "Lecture des segments ...N° 12"},
           {215, "Read E²PROM value", "Lecture de l'E²PROM"},
           {250, "", ""},
           {309, "Write segments ...N° 12", "Ecriture des segments ...N° 12"},
           {310, "Write transfert function", "Ecriture de la fonction de transfert"},
           {412, "Lock / Unlock access function", "Accès aux verrouillage des fonctions"},
           {413, "Lock / Unlock access function", "Accès aux verrouillage des fonctions"},
           {417, "Read additionnal device status (Cmd 48)", "Lecture des états supplèmentaires (Cmd 48)"},
           {500, "", ""},
           {211, "", ""},
       }) {
    EXPECT_EQ(en.World.Main().JobStatusText(c.job), Cp(c.anglais)) << c.job;
    EXPECT_EQ(fr.World.Main().JobStatusText(c.job), Cp(c.francais)) << c.job;
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
