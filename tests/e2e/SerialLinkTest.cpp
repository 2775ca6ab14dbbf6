// The HART master over the serial port over a pseudo-terminal, with the simulated transmitter
// answering on the far end at the pace of a 1200 bit/s line, in real time.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "comm/HART.h"
#include "model/Xmt.h"
#include "support/FakeSerial.h"
#include "support/RealTimeLoop.h"
#include "support/SimTransmitter.h"

namespace {

using Clock = std::chrono::steady_clock;

struct SerialLink : ::testing::Test {
  RealTimeLoop loop;
  PtyPair pty;
  SimTransmitter sim;
  TXmt xmt;
  std::unique_ptr<THART> hart;
  std::unique_ptr<PtyLine> far;
  int arrivals = 0, sendsComplete = 0;
  std::vector<std::string> commErrors;

  void SetUp() override {
    ASSERT_TRUE(pty.Ok());
    pty.PointCom(1);
    hart = std::make_unique<THART>(loop);
    far = std::make_unique<PtyLine>(loop, pty, sim);
    hart->OnDataArrival = [this](TObject*) {
      ++arrivals;
      hart->HandleResponse(xmt);
    };
    hart->OnSendComplete = [this](TObject*) { ++sendsComplete; };
    hart->OnCommError = [this](TObject*) { commErrors.push_back(hart->Erreur.GetMessage()); };
    std::string msg;
    hart->OpenPort(1, msg);
    ASSERT_EQ(msg, "Le port de communication n\xB0" "1 est ouvert.");
  }
  void TearDown() override {
    if (hart) hart->ClosePort();
  }

  // Runs a request until its answer was decoded; gives how long that took, or a negative
  // duration when no answer came within 5 s.
  std::chrono::milliseconds Exchange(const std::function<void()>& request) {
    const int before = arrivals;
    const auto t0 = Clock::now();
    request();
    if (!loop.RunUntil([&] { return arrivals > before; }, 5000)) return std::chrono::milliseconds(-1);
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0);
  }
};

}  // namespace

TEST_F(SerialLink, SearchReadAndWriteAreAnsweredAndDecodedAtLinePace) {
  // Command 0 at polling address 0: 7 preambles + 5 + trailing byte out, 5 preambles + 24 back.
  const auto search = Exchange([&] { hart->ReadUniqueIdentifier(0); });
  ASSERT_GT(search.count(), 0) << "no answer to command 0";
  EXPECT_EQ(hart->AnswerCommand, 0);
  EXPECT_EQ(xmt.GetConnected(), 1);
  EXPECT_EQ(xmt.ManufacturerId, 250);
  EXPECT_EQ(xmt.DeviceType, 0x16);
  EXPECT_EQ(xmt.DeviceId, 0x010203);
  EXPECT_EQ(xmt.LongAddress, (std::array<Byte, 5>{250, 0x16, 1, 2, 3}));
  // The answer alone takes 29 characters of 9.2 ms, and the master waits 120 ms of silence.
  EXPECT_GT(search.count(), 29 * 9 + 120);
  EXPECT_LT(search.count(), 5000);

  const auto read = Exchange([&] { hart->ReadTagDescriptorDate(xmt); });
  ASSERT_GT(read.count(), 0) << "no answer to command 13";
  EXPECT_EQ(hart->AnswerCommand, 13);
  EXPECT_EQ(xmt.Tag, "TT-101  ");
  EXPECT_EQ(xmt.Descriptor, "SIMULATED XMTR  ");
  EXPECT_EQ(xmt.DateText, "15/03/2024");

  const auto write = Exchange([&] { hart->WriteTagDescriptorDate(xmt, "pt-7", "bench", "5/7/2023"); });
  ASSERT_GT(write.count(), 0) << "no answer to command 18";
  EXPECT_EQ(hart->AnswerCommand, 18);
  EXPECT_EQ(xmt.Tag, "PT-7    ");
  EXPECT_EQ(xmt.Descriptor, "BENCH" + std::string(11, ' '));
  EXPECT_EQ(xmt.DateText, "05/07/2023");
  EXPECT_EQ(sim.State.Tag, "PT-7    ");
  EXPECT_EQ(sim.State.YearSince1900, 123);

  // Every request ended its transmission, and nothing went wrong on the link.
  EXPECT_EQ(sendsComplete, 3);
  EXPECT_EQ(hart->Erreur.GetCode(), 0);
  EXPECT_TRUE(commErrors.empty());
  ASSERT_EQ(sim.Requests.size(), 3u);
  EXPECT_EQ(sim.Requests[0].Command, 0);
  EXPECT_FALSE(sim.Requests[0].LongFrame);
  EXPECT_EQ(sim.Requests[1].Command, 13);
  EXPECT_EQ(sim.Requests[2].Command, 18);
  EXPECT_TRUE(sim.Requests[2].LongFrame);
}

TEST_F(SerialLink, ASilentTransmitterGivesNoResponseAndTheNextAnswerClearsIt) {
  sim.Faults.Silent = true;
  hart->ReadUniqueIdentifier(0);
  ASSERT_TRUE(loop.RunUntil([&] { return !commErrors.empty(); }, 8000));
  EXPECT_EQ(commErrors.front(), "No response");
  EXPECT_EQ(arrivals, 0);

  sim.Faults.Silent = false;
  ASSERT_GT(Exchange([&] { hart->ReadUniqueIdentifier(0); }).count(), 0);
  EXPECT_EQ(xmt.DeviceId, 0x010203);
}
