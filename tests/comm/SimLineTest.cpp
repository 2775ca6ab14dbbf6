// Timing of the simulated line in virtual time, to the millisecond.

#include "support/SimLine.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "support/VirtualScheduler.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Command 1 to the default identity: 5 preambles, 9 frame bytes, the trailing 0x00 (15 bytes,
// 137.5 ms on the line). Its answer is 5 preambles and 16 frame bytes (21 bytes).
const Bytes kReadPV{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x82, 0xBA, 0x16, 0x01, 0x02, 0x03, 0x01, 0x00, 0x2F, 0x00};

struct Delivery {
  std::int64_t AtMs;
  Bytes Chunk;
};

struct SimLineTiming : ::testing::Test {
  VirtualScheduler clock;
  SimTransmitter sim;
  std::vector<Delivery> got;
  SimLine line{clock, sim, [this](Bytes chunk) { got.push_back({clock.NowMs(), std::move(chunk)}); }};

  std::vector<std::int64_t> Times() const {
    std::vector<std::int64_t> t;
    for (const Delivery& d : got) t.push_back(d.AtMs);
    return t;
  }
  std::size_t ByteCount() const {
    std::size_t n = 0;
    for (const Delivery& d : got) n += d.Chunk.size();
    return n;
  }
};

TEST_F(SimLineTiming, ByteByByteAtTheLinePace) {
  line.MasterSent(kReadPV);
  clock.Advance(137);
  EXPECT_TRUE(sim.Requests.empty());  // the check byte is still on the line
  clock.Advance(1);
  EXPECT_EQ(sim.Requests.size(), 1u);
  clock.Advance(1000);
  // The answer starts at 137.5 + 20 ms; byte k has arrived at 157.5 + k x 9.1666 ms.
  ASSERT_EQ(got.size(), 21u);
  EXPECT_EQ(got[0].AtMs, 167);
  EXPECT_EQ(got[1].AtMs, 176);
  EXPECT_EQ(got[2].AtMs, 185);
  EXPECT_EQ(got[20].AtMs, 350);  // exactly 350.0: no rounding up past the whole millisecond
  EXPECT_EQ(got[5].Chunk, Bytes{0x86});
}

TEST_F(SimLineTiming, ChunksTurnaroundAndExtraDelay) {
  struct Case {
    int chunk, turnaround, extra;
    std::vector<std::int64_t> times;
  };
  const Case cases[] = {
      {8, 20, 0, {231, 305, 350}},
      {21, 20, 0, {350}},
      {64, 20, 0, {350}},
      {8, 0, 0, {211, 285, 330}},
      {8, 20, 100, {331, 405, 450}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "chunk " << c.chunk << " turnaround " << c.turnaround << " extra " << c.extra);
    VirtualScheduler s;
    SimTransmitter t;
    std::vector<std::int64_t> times;
    std::size_t bytes = 0;
    SimLine l(s, t, [&](Bytes chunk) {
      times.push_back(s.NowMs());
      bytes += chunk.size();
    });
    l.ChunkBytes = c.chunk;
    l.TurnaroundMs = c.turnaround;
    t.Faults.ExtraDelayMs = c.extra;
    l.MasterSent(kReadPV);
    s.Advance(2000);
    EXPECT_EQ(times, c.times);
    EXPECT_EQ(bytes, 21u);
  }
}

TEST_F(SimLineTiming, ASilentDeviceDeliversNothing) {
  sim.Faults.Silent = true;
  line.MasterSent(kReadPV);
  clock.Advance(5000);
  EXPECT_TRUE(got.empty());
  EXPECT_EQ(sim.Requests.size(), 1u);
  EXPECT_EQ(clock.Pending(), 0u);
}

TEST_F(SimLineTiming, PiecesQueueOnTheLineAndALaterRequestStartsWhenSent) {
  line.ChunkBytes = 64;
  // The same request handed over in two pieces at once ends when one piece would.
  line.MasterSent(Bytes(kReadPV.begin(), kReadPV.begin() + 10));
  line.MasterSent(Bytes(kReadPV.begin() + 10, kReadPV.end()));
  clock.Advance(1000);
  EXPECT_EQ(Times(), std::vector<std::int64_t>{350});
  EXPECT_EQ(ByteCount(), 21u);

  // A request sent at 1000 ms, on a free line, is timed from then.
  line.MasterSent(kReadPV);
  clock.Advance(1000);
  EXPECT_EQ(Times(), (std::vector<std::int64_t>{350, 1350}));
}

TEST(SimLineTest, DestroyedLineDeliversNothingMore) {
  VirtualScheduler clock;
  SimTransmitter sim;
  int deliveries = 0;
  {
    SimLine line(clock, sim, [&](Bytes) { ++deliveries; });
    line.MasterSent(kReadPV);
    clock.Advance(200);  // the request was read, the answer is on its way
    EXPECT_EQ(deliveries, 4);
  }
  clock.Advance(1000);
  EXPECT_EQ(deliveries, 4);
  EXPECT_EQ(clock.Pending(), 0u);
}

}  // namespace
