#include "HARTTestFrames.h"

using namespace hart_test;

namespace {

const std::array<int, 5> Dev{0x26, 0x10, 0x0A, 0x0B, 0x0C};

// An answer to command 1 from the fixture's device.
std::string Cmd1Answer(int rc = 0, int command = 1) {
  return LongAnswer(Dev, command, rc, 0, Bytes({0x20, 0x41, 0x20, 0x00, 0x00}));
}

struct SettleCase {
  std::vector<std::int64_t> notifications;  // times of the chunks of one answer
  std::int64_t readAt;
};

}  // namespace

// The link's timer ticks every 20 ms from its creation at 0; a chunk scripted for a tick's
// time arrives just before that tick runs.
TEST_F(LinkFixture, AnswerIsReadAfter120To140MsOfSilenceAndEveryNotificationRestartsTheWait) {
  const std::vector<SettleCase> cases = {
      {{0, 60, 100}, 220},             // 120 ms after the last notification
      {{0, 60, 101}, 240},             // 139 ms
      {{0, 60, 119}, 240},             // 121 ms
      {{5}, 140},                      // 135 ms
      {{0, 100, 200, 300, 400}, 520},  // gaps shorter than the wait: one read after the last
  };
  Address();
  std::int64_t base = 0;
  for (const auto& c : cases) {
    arrivals.clear();
    int changes = 0;
    hart.OnModemChange = [&](TObject* s) { changes += s == &hart ? 1 : 100; };
    const std::string answer = Cmd1Answer();
    const std::size_t piece = answer.size() / c.notifications.size() + 1;
    for (std::size_t i = 0; i < c.notifications.size(); ++i)
      fake.ScriptAt(base + c.notifications[i], answer.substr(i * piece, piece));
    sched.Advance(base + c.readAt - 1 - sched.NowMs());
    EXPECT_TRUE(arrivals.empty()) << "read early, last notification at " << c.notifications.back();
    sched.Advance(1);
    EXPECT_EQ(arrivals, (std::vector<std::int64_t>{base + c.readAt})) << c.notifications.back();
    EXPECT_EQ(changes, static_cast<int>(c.notifications.size()));
    EXPECT_EQ(hart.SettleCounter, -1);
    base += 1000;  // the next case starts on a fresh second, still on the 20 ms grid
    sched.Advance(base - sched.NowMs());
  }
}

TEST_F(LinkFixture, NoResponseIsCountedAtEverySupervisionCheckAndShownFromTheFifth) {
  Address();
  sched.Advance(3000);  // no request yet: nothing to supervise
  EXPECT_EQ(hart.Erreur.GetCode(), -1);

  hart.ReadPrimaryVariable(xmt);  // at 3000; checks run every 520 ms from 0: 3120, 3640...
  sched.Advance(119);
  EXPECT_EQ(hart.Erreur.GetCode(), -1);
  sched.Advance(1);
  EXPECT_EQ(hart.Erreur.GetCode(), 768);
  EXPECT_EQ(hart.Erreur.GetMessage(), "No response");
  EXPECT_EQ(hart.Erreur.Level, 1);
  sched.Advance(4 * 520 - 1);
  EXPECT_EQ(hart.Erreur.Level, 4);
  EXPECT_TRUE(commErrors.empty());
  sched.Advance(1);  // the fifth check, at 5200
  EXPECT_EQ(commErrors, (std::vector<std::string>{"No response"}));
  sched.Advance(520);
  EXPECT_EQ(commErrors.size(), 2u);
  sched.Advance(519);
  EXPECT_EQ(commErrors.size(), 2u);
  sched.Advance(1);
  EXPECT_EQ(commErrors.size(), 3u);

  // An answer to the expected command brings everything back.
  fake.Deliver(Cmd1Answer());
  sched.Advance(140);
  EXPECT_EQ(arrivals.size(), 1u);
  EXPECT_EQ(hart.LastCommand, 1);
  EXPECT_EQ(hart.Erreur.Level, 0);
  EXPECT_EQ(hart.Erreur.GetCode(), 0);
  EXPECT_EQ(hart.Erreur.GetMessage(), "");
  sched.Advance(5000);
  EXPECT_EQ(commErrors.size(), 3u);
  EXPECT_EQ(hart.Erreur.GetCode(), 0);
}

TEST_F(LinkFixture, ResetAndRegistrationAreNeverCountedAsUnanswered) {
  Address();
  for (auto op : {+[](THART& h, TXmt& x) { h.ResetDevice(x); }, +[](THART& h, TXmt& x) { h.RegisterDevice(x, 1); }}) {
    op(hart, xmt);
    EXPECT_EQ(hart.ExpectedCommand, -1);
    EXPECT_EQ(hart.LastCommand, -1);
    sched.Advance(6000);
    EXPECT_EQ(hart.Erreur.GetCode(), -1);
    EXPECT_TRUE(commErrors.empty());
  }
}

TEST_F(LinkFixture, ACheckBetweenRequestAndAnswerCountsOnceAndTheAnswerClearsIt) {
  Address();
  sched.Advance(500);
  hart.ReadPrimaryVariable(xmt);
  fake.ScriptAt(600, Cmd1Answer());
  sched.Advance(20);  // the check at 520
  EXPECT_EQ(hart.Erreur.GetCode(), 768);
  EXPECT_EQ(hart.Erreur.Level, 1);
  EXPECT_TRUE(commErrors.empty());
  sched.Advance(220);  // read at 720
  EXPECT_EQ(arrivals, (std::vector<std::int64_t>{720}));
  EXPECT_EQ(hart.Erreur.GetCode(), 0);
  EXPECT_EQ(hart.Erreur.Level, 0);
  // The read restarts the supervision count: the next check is 500 ms after it, at 1220.
  hart.ReadPrimaryVariable(xmt);
  sched.Advance(479);
  EXPECT_EQ(hart.Erreur.GetCode(), 0);
  sched.Advance(1);
  EXPECT_EQ(hart.Erreur.GetCode(), 768);
}

TEST_F(LinkFixture, ARejectedAnswerCountsAsMissingALateAnswerToAnotherCommandDoesNot) {
  Address();
  // Response code 7: the model reports it, the link counts a missing answer.
  hart.ReadPrimaryVariable(xmt);
  fake.Deliver(Cmd1Answer(7));
  sched.Advance(140);
  EXPECT_EQ(arrivals.size(), 1u);
  EXPECT_EQ(xmt.GetErrorMessage(), "Write protected");
  EXPECT_EQ(xmt.GetErrorCode(), 7);
  EXPECT_EQ(hart.LastCommand, -1);
  sched.Advance(499);  // the read restarted the count: the check comes at 640
  EXPECT_EQ(hart.Erreur.GetCode(), -1);
  sched.Advance(1);
  EXPECT_EQ(hart.Erreur.GetCode(), 768);
  EXPECT_EQ(hart.Erreur.Level, 1);

  // A late answer to command 2 while 1 is expected: decoded, but it neither clears the
  // level nor counts as missing.
  fake.Deliver(LongAnswer(Dev, 2, 0, 0, Bytes({0x41, 0x40, 0x00, 0x00, 0x42, 0x48, 0x00, 0x00})));
  sched.Advance(140);
  EXPECT_EQ(hart.LastCommand, 2);
  EXPECT_FLOAT_EQ(xmt.LoopCurrent, 12.0f);
  EXPECT_EQ(hart.Erreur.Level, 1);
  EXPECT_EQ(hart.Erreur.GetCode(), 768);
  sched.Advance(2000);
  EXPECT_EQ(hart.Erreur.Level, 1);
}

// The sequencer does not send again a request the device refused: the link tells a refusal
// of the request under way from every other answer.
TEST_F(LinkFixture, ARefusalIsKnownOnlyForTheRequestUnderWay) {
  Address();
  struct Case {
    int Command;  // answered command, 1 being expected
    int Code;
    bool Refused;
  } const cases[] = {
      {1, 0, false},     // accepted
      {1, 7, true},      // refused
      {1, 0x82, false},  // a communication error reported by the device: no answer to it
      {2, 7, false},     // a late refusal of another request
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("command " + std::to_string(c.Command) + ", code " + std::to_string(c.Code));
    hart.ReadPrimaryVariable(xmt);
    EXPECT_FALSE(hart.RequestRefused);
    fake.Deliver(Cmd1Answer(c.Code, c.Command));
    sched.Advance(140);
    EXPECT_EQ(hart.RequestRefused, c.Refused);
    sched.Advance(600);
  }
  hart.ReadPrimaryVariable(xmt);
  EXPECT_FALSE(hart.RequestRefused) << "a new request is not yet answered";

  // A device that refuses every request is still taken for gone after five checks.
  commErrors.clear();
  for (int k = 0; k < 6 && commErrors.empty(); ++k) {
    hart.ReadPrimaryVariable(xmt);
    fake.Deliver(Cmd1Answer(7));
    sched.Advance(520);
  }
  EXPECT_TRUE(hart.RequestRefused);
  ASSERT_FALSE(commErrors.empty());
  EXPECT_EQ(hart.Erreur.GetCode(), 768);
}

TEST_F(LinkFixture, EventsOfTheLinkAndTheModem) {
  Address();
  std::vector<std::string> seen;
  hart.OnSendComplete = [&](TObject* s) { seen.push_back(s == &hart ? "sent" : "sent?"); };
  hart.OnModemChange = [&](TObject* s) { seen.push_back(s == &hart ? "change" : "change?"); };
  fake.EndOfTxByteMs = 11000.0 / 1200.0;
  EXPECT_TRUE(hart.ReadPrimaryVariable(xmt));  // 17 bytes on the line: 156 ms
  ASSERT_EQ(fake.Sent.size(), 1u);
  EXPECT_EQ(fake.Sent[0].Bytes.size(), 7u + 9u + 1u);
  sched.Advance(155);
  EXPECT_TRUE(seen.empty());
  sched.Advance(1);
  EXPECT_EQ(seen, (std::vector<std::string>{"sent"}));
  EXPECT_EQ(fake.RtsLog, (std::vector<bool>{false}));
  fake.Deliver("\xFF");
  fake.Deliver("\xFF");
  EXPECT_EQ(seen, (std::vector<std::string>{"sent", "change", "change"}));

  // Without a port a request still reports true; supervision tells the rest.
  hart.UseTransport(nullptr, TPortKind::None);
  EXPECT_TRUE(hart.ReadPrimaryVariable(xmt));
  fake.AcceptSends = false;
  hart.UseTransport(&fake, TPortKind::Serial);
  EXPECT_TRUE(hart.ReadPrimaryVariable(xmt));
}

TEST(LinkConstruction, StateAfterCreation) {
  VirtualScheduler sched;
  THART hart(sched);
  EXPECT_EQ(hart.NbPreambles, 7);
  EXPECT_EQ(hart.MasterAdress, TMasterAdress::Hand_Held_Communicator);
  EXPECT_EQ(hart.ExpectedCommand, 0);
  EXPECT_EQ(hart.LastCommand, 0);
  EXPECT_EQ(hart.SupervisionCounter, 0);
  EXPECT_EQ(hart.SettleCounter, -1);
  EXPECT_EQ(hart.PollingAddress, 0);
  EXPECT_EQ(hart.Erreur.GetCode(), -1);
  EXPECT_EQ(hart.PortKind, TPortKind::None);
  ASSERT_NE(hart.Timer, nullptr);
  EXPECT_EQ(hart.Timer->Interval(), 20);
  EXPECT_TRUE(hart.Timer->Enabled());
  sched.Advance(20 * 26);
  EXPECT_EQ(hart.SupervisionCounter, 0);  // just checked
}

TEST(LinkConstruction, FrenchEditionWordsTheLinkMessages) {
  VirtualScheduler sched;
  FakeTransport fake(sched);
  THART hart(sched, TLangue::Francais);
  hart.UseTransport(&fake, TPortKind::Serial);
  TXmt xmt;
  hart.ReadPrimaryVariable(xmt);
  sched.Advance(520);
  EXPECT_EQ(hart.Erreur.GetMessage(), "Pas de r\xE9ponse");
  fake.Deliver(LongAnswer({0, 0, 0, 0, 0}, 1, 0xC0, 0, ""));
  sched.Advance(140);
  EXPECT_EQ(hart.Erreur.GetMessage(), "Erreur de parit\xE9 de l'appareil");
}

// After a reset or a registration nothing is expected, so the next frame read, whatever it
// carried, finds LastCommand equal to ExpectedCommand (-1) and clears the link's error.
TEST_F(LinkFixture, AfterResetOrRegistrationAnyFrameReadClearsTheLinkError) {
  Address();
  hart.ReadPrimaryVariable(xmt);
  sched.Advance(520);
  ASSERT_EQ(hart.Erreur.GetCode(), 768);
  hart.ResetDevice(xmt);
  std::string bad = Cmd1Answer();
  bad.back() ^= 0x01;
  fake.Deliver(bad);
  sched.Advance(140);
  EXPECT_EQ(commErrors, (std::vector<std::string>{"PC communication error"}));
  EXPECT_TRUE(arrivals.empty());
  EXPECT_EQ(hart.Erreur.GetCode(), 0);
  EXPECT_EQ(hart.Erreur.Level, 0);
  EXPECT_EQ(hart.Erreur.GetMessage(), "");
}
