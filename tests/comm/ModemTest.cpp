#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "comm/Modem.h"
#include "support/FakeTransport.h"
#include "support/VirtualScheduler.h"

namespace {

struct ModemFixture : ::testing::Test {
  VirtualScheduler sched;
  FakeTransport fake{sched};
  TCustomModem modem;
  std::vector<std::string> events;

  void BindAll() {
    modem.OnRXFrame = [this](TObject* s) { events.push_back(s == &modem ? "rx" : "rx?"); };
    modem.OnCDChange = [this](TObject* s) { events.push_back(s == &modem ? "cd" : "cd?"); };
    modem.OnEndOfTx = [this](TObject* s) {
      // RTS must already be down when the end of a transmission is announced.
      const bool rtsDown = !fake.RtsLog.empty() && !fake.RtsLog.back();
      events.push_back(s == &modem && rtsDown ? "eot" : "eot?");
    };
  }
};

}  // namespace

TEST_F(ModemFixture, WithoutTransportNothingIsSentReceivedOrFired) {
  BindAll();
  EXPECT_EQ(modem.PortKind, TPortKind::None);
  EXPECT_FALSE(modem.Send("\xFF\xFF\x82", 3));
  EXPECT_EQ(modem.Receive(), "");
  EXPECT_EQ(modem.RxCount(), 0);
  modem.ClosePort();
  // A transport that is not chosen reaches nothing.
  fake.Deliver("\x06");
  fake.FireCDChange();
  sched.Advance(100);
  EXPECT_TRUE(events.empty());
  EXPECT_TRUE(fake.Sent.empty());
}

TEST_F(ModemFixture, SendHandsTheFirstLenBytesAndRefusesEmptyOrShortInput) {
  modem.UseTransport(&fake, TPortKind::Serial);
  EXPECT_EQ(modem.PortKind, TPortKind::Serial);
  EXPECT_TRUE(modem.Send(std::string("\xFF\x02\x80\x00\x00\x82\x00", 7), 6));
  ASSERT_EQ(fake.Sent.size(), 1u);
  EXPECT_EQ(fake.Sent[0].Bytes, std::string("\xFF\x02\x80\x00\x00\x82", 6));
  EXPECT_FALSE(modem.Send("", 0));
  EXPECT_FALSE(modem.Send("ab", 3));   // more than the text holds
  EXPECT_FALSE(modem.Send("ab", -1));
  EXPECT_EQ(fake.Sent.size(), 1u);
  fake.AcceptSends = false;            // the transport's refusal comes back as false
  EXPECT_FALSE(modem.Send("ab", 2));
}

TEST_F(ModemFixture, NotificationsAreForwardedOncePerChunkAndEndOfTxAfterRtsFalls) {
  BindAll();
  modem.UseTransport(&fake, TPortKind::Serial);
  fake.Deliver("\xFF\xFF");
  fake.Deliver("\x06");  // no Receive in between: two notifications
  fake.FireCDChange();
  ASSERT_TRUE(modem.Send("abc", 3));
  EXPECT_EQ(events, (std::vector<std::string>{"rx", "rx", "cd"}));  // end of tx comes later
  sched.RunPending();
  EXPECT_EQ(events, (std::vector<std::string>{"rx", "rx", "cd", "eot"}));
  EXPECT_EQ(fake.RtsLog, (std::vector<bool>{false}));
  EXPECT_EQ(modem.Receive(), "\xFF\xFF\x06");
  EXPECT_EQ(modem.RxCount(), 3);
}

TEST_F(ModemFixture, EndOfTxCanFollowTheLineTimeOfTheBytes) {
  BindAll();
  fake.EndOfTxByteMs = 11000.0 / 1200.0;
  modem.UseTransport(&fake, TPortKind::USB);
  ASSERT_TRUE(modem.Send(std::string(12, '\xFF'), 12));  // 110 ms on the line
  sched.Advance(109);
  EXPECT_TRUE(events.empty());
  sched.Advance(1);
  EXPECT_EQ(events, (std::vector<std::string>{"eot"}));
}

TEST_F(ModemFixture, ClosePortKeepsTheKindAndAReplacedTransportIsUnbound) {
  BindAll();
  modem.UseTransport(&fake, TPortKind::USB);
  modem.ClosePort();
  EXPECT_EQ(fake.CloseCount, 1);
  EXPECT_EQ(modem.PortKind, TPortKind::USB);

  FakeTransport other(sched);
  modem.UseTransport(&other, TPortKind::Serial);
  fake.Deliver("x");  // the old transport no longer reaches the modem
  other.Deliver("y");
  EXPECT_EQ(events, (std::vector<std::string>{"rx"}));
  EXPECT_EQ(modem.Receive(), "y");
  modem.UseTransport(nullptr, TPortKind::None);
  EXPECT_FALSE(modem.Send("y", 1));
  EXPECT_EQ(modem.RxCount(), 0);
}

TEST(FakeTransportTest, ReadsAtMost240BytesAndDeliversScriptedBytesOnTime) {
  VirtualScheduler sched;
  FakeTransport fake(sched);
  std::vector<std::int64_t> at;
  fake.OnRXFrame = [&] { at.push_back(sched.NowMs()); };
  fake.ScriptAt(30, std::string(200, '\xFF'));
  fake.ScriptAt(50, std::string(100, '\x01'));
  sched.Advance(49);
  EXPECT_EQ(at, (std::vector<std::int64_t>{30}));
  sched.Advance(1);
  EXPECT_EQ(at, (std::vector<std::int64_t>{30, 50}));
  EXPECT_EQ(fake.Receive().size(), 240u);
  EXPECT_EQ(fake.RxCount(), 240);
  EXPECT_EQ(fake.Receive(), std::string(60, '\x01'));
  EXPECT_EQ(fake.RxCount(), 60);
  EXPECT_EQ(fake.Receive(), "");
  EXPECT_EQ(fake.RxCount(), 0);
}
