#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "comm/USB.h"
#include "support/FakeHid.h"
#include "support/RealTimeLoop.h"
#include "support/VirtualScheduler.h"

namespace {

using TReport = FakeHidModem::TReport;
using Clock = std::chrono::steady_clock;

// A modem-to-host report of 65 bytes.
TReport Chunk(int offset, int lengthByte, std::uint8_t status, std::uint8_t acknowledged, const TReport& data = {}) {
  TReport r(65, 0);
  r[1] = static_cast<std::uint8_t>(offset);
  r[2] = static_cast<std::uint8_t>(lengthByte);
  r[3] = status;
  r[4] = acknowledged;
  for (std::size_t i = 0; i < data.size() && 5 + i < r.size(); ++i) r[5 + i] = data[i];
  return r;
}

TReport Bytes(std::size_t n, std::uint8_t first, std::uint8_t step = 1) {
  TReport v(n);
  for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<std::uint8_t>(first + i * step);
  return v;
}

bool IsAcknowledgement(const TReport& r, std::uint8_t count) {
  if (r.size() != 65 || r[4] != count) return false;
  for (std::size_t i = 0; i < r.size(); ++i)
    if (i != 4 && r[i] != 0) return false;
  return true;
}

// The chunks the host wrote, as (offset, length byte), with repeats of one chunk folded.
std::vector<std::pair<int, int>> FoldedChunks(const std::vector<TReport>& written) {
  std::vector<std::pair<int, int>> chunks;
  for (const auto& r : written) {
    if (r[2] == 0) continue;  // acknowledgement
    const std::pair<int, int> c{r[1], r[2]};
    if (chunks.empty() || chunks.back() != c) chunks.push_back(c);
  }
  return chunks;
}

// The longest time between from and to in which the host wrote no report, from its report
// `first` on.
Clock::duration LongestPause(const FakeHidModem& fake, std::size_t first, Clock::time_point from, Clock::time_point to) {
  const auto at = fake.WrittenAt();
  Clock::duration longest{0};
  Clock::time_point last = from;
  for (std::size_t i = first; i < at.size(); ++i) {
    longest = std::max(longest, at[i] - last);
    last = at[i];
  }
  return std::max(longest, to - last);
}

struct USBModem : ::testing::Test {
  RealTimeLoop loop;
  std::shared_ptr<FakeHidModem> fake = std::make_shared<FakeHidModem>();
  std::unique_ptr<TUSBHIDModem> modem;
  std::vector<std::string> events;

  void SetUp() override {
    modem = std::make_unique<TUSBHIDModem>(loop, fake);
    modem->SetPid(9);
    modem->OnRXFrame = [this](TObject* s) { events.push_back(s == modem.get() ? "rx" : "rx?"); };
    modem->OnStatusChange = [this](TObject*) { events.push_back("status"); };
    modem->OnCDChange = [this](TObject*) { events.push_back("cd"); };
    modem->OnEndOfTx = [this](TObject*) { events.push_back("eot"); };
    modem->OnConnect = [this](TObject*) { events.push_back("connect"); };
    modem->OnDisconnect = [this](TObject*) { events.push_back("disconnect"); };
  }

  void Open() {
    std::string msg;
    modem->Open(0, msg);
    ASSERT_EQ(msg, "Le dispositif USB est ouvert.");
  }
  // Opens a modem that speaks only when scripted, and lets the connection show.
  void OpenScripted() {
    fake->SetSilent(true);
    Open();
    ASSERT_TRUE(loop.RunUntil([this] { return !events.empty(); }, 5000));
    events.clear();
  }
  // Serves reports and runs what the I/O thread handed over.
  void Serve(const std::vector<TReport>& reports) {
    for (const auto& r : reports) fake->Script(r);
    ASSERT_TRUE(fake->WaitIdle(5000));
    loop.RunFor(20);
  }
  std::string Frame() {
    std::string s(static_cast<std::size_t>(modem->RxCount()), '\0');
    modem->Read(reinterpret_cast<std::uint8_t*>(s.data()), modem->RxCount());
    return s;
  }
  std::size_t Count(const std::string& e) const { return static_cast<std::size_t>(std::count(events.begin(), events.end(), e)); }
};

}  // namespace

TEST(USBDevice, EnumerationMatchesTheIdsAndGivesTheDeviceStrings) {
  RealTimeLoop loop;
  auto fake = std::make_shared<FakeHidModem>();
  fake->Manufacturer = L"Caf\u00e9 \u20ac \u4e2d";
  fake->RegisteredAbsent = {"fake-hid:gone"};
  THIDDevice dev(loop, fake);
  EXPECT_EQ(dev.Vid(), 0x0451);
  EXPECT_EQ(dev.Pid(), 4);
  EXPECT_EQ(dev.Enumerate(), 0);  // the modem is product 9
  EXPECT_EQ(dev.GetDevicePath(0), "");

  dev.SetPid(9);
  EXPECT_EQ(dev.Enumerate(), 1);
  EXPECT_EQ(dev.GetDevicePath(0), "fake-hid:0");
  EXPECT_EQ(dev.GetDevicePath(1), "");
  EXPECT_EQ(dev.GetManufacturerString(1), "Caf\xE9 \x80 ?");  // in the program's character set
  EXPECT_EQ(dev.GetProductString(1), "HART USB Modem");
  EXPECT_EQ(dev.GetSerialNumberString(1), "0001");

  // Device 2 does not exist, a device without strings and one that does not open.
  struct Case {
    int n;
    bool strings, openable;
  };
  for (const Case& c : {Case{2, true, true}, Case{0, true, true}, Case{1, false, true}, Case{1, true, false}}) {
    fake->HasStrings = c.strings;
    fake->SetOpenable(c.openable);
    EXPECT_EQ(dev.GetManufacturerString(c.n), "") << c.n;
    EXPECT_EQ(dev.GetProductString(c.n), "") << c.n;
    EXPECT_EQ(dev.GetSerialNumberString(c.n), "unknown") << c.n;
  }

  dev.SetViewRegisteredDevices(true);
  EXPECT_EQ(dev.Enumerate(), 2);
  EXPECT_EQ(dev.GetDevicePath(1), "fake-hid:gone");
}

TEST_F(USBModem, OpenNeedsADeviceThatOpensAndTakesItsReportLengths) {
  std::string msg;
  modem->Open(1, msg);  // only one modem
  EXPECT_EQ(msg, "Le dispositif USB n'est pas ouvert.");
  fake->SetOpenable(false);  // present but not permitted
  modem->Open(0, msg);
  EXPECT_EQ(msg, "Le dispositif USB n'est pas ouvert.");
  EXPECT_EQ(modem->Write(Bytes(5, 1).data(), 5), -1);
  fake->SetOpenable(true);

  modem->Open(0, msg);
  EXPECT_EQ(msg, "Le dispositif USB est ouvert.");
  EXPECT_EQ(modem->InputReportLength(), 65);  // the device does not say
  EXPECT_EQ(modem->OutputReportLength(), 65);
  fake->SaysReportLengths = true;
  fake->InputLength = 33;
  fake->OutputLength = 17;
  modem->Open(0, msg);
  EXPECT_EQ(modem->InputReportLength(), 33);
  EXPECT_EQ(modem->OutputReportLength(), 17);
}

TEST_F(USBModem, AFrameGoesOutInChunksEachRepeatedUntilAcknowledged) {
  fake->SetReportPeriodMs(1);
  Open();
  const TReport frame = Bytes(130, 7, 3);
  EXPECT_EQ(modem->Write(frame.data(), 130), 130);
  EXPECT_EQ(fake->Frames(), (std::vector<TReport>{frame}));
  const auto written = fake->Written();
  EXPECT_EQ(FoldedChunks(written), (std::vector<std::pair<int, int>>{{0, 60}, {60, 60}, {120, 10}, {0, 0x80}}));
  for (const auto& r : written) {
    ASSERT_EQ(r.size(), 65u);
    EXPECT_EQ(r[0], 0);  // report id
    EXPECT_EQ(r[3], 0);  // control byte
    const int n = r[2] & 0x7F;
    for (int i = 0; i < 60; ++i) {
      const std::uint8_t expected = i < n ? frame[static_cast<std::size_t>(r[1] + i)] : 0;
      ASSERT_EQ(r[static_cast<std::size_t>(5 + i)], expected) << "chunk at " << int(r[1]);
    }
  }

  // No data: only the end chunk goes, and that is not a frame sent.
  const std::size_t before = fake->Written().size();
  EXPECT_EQ(modem->Write(nullptr, 0), -1);
  const auto after = fake->Written();
  ASSERT_GT(after.size(), before);
  for (std::size_t i = before; i < after.size(); ++i) EXPECT_EQ(after[i][2], 0x80);

  // A frame longer than the counts can acknowledge is refused.
  const TReport tooLong = Bytes(256, 0);
  const std::size_t count = fake->Written().size();
  EXPECT_EQ(modem->Write(tooLong.data(), 256), -1);
  EXPECT_EQ(fake->Written().size(), count);
}

TEST_F(USBModem, NoAcknowledgementGoesOutWhileAFrameIsSent) {
  fake->SetReportPeriodMs(1);
  Open();
  fake->SendFrame(Bytes(20, 0x40));
  const TReport frame = Bytes(130, 1);
  ASSERT_EQ(modem->Write(frame.data(), 130), 130);
  ASSERT_TRUE(loop.RunUntil([this] { return fake->FrameDelivered() && Count("rx") == 1; }, 5000));
  const TReport sentToHost = Bytes(20, 0x40);
  EXPECT_EQ(Frame(), std::string(sentToHost.begin(), sentToHost.end()));

  const auto written = fake->Written();
  std::size_t first = written.size(), last = 0;
  for (std::size_t i = 0; i < written.size(); ++i) {
    if (written[i][2] == 0) continue;
    first = std::min(first, i);
    last = i;
  }
  for (std::size_t i = first; i <= last; ++i) EXPECT_NE(written[i][2], 0) << "acknowledgement inside the frame at " << i;
}

TEST_F(USBModem, WriteGivesUpWithinItsBoundOnAModemThatDoesNotTakeTheFrame) {
  struct Case {
    bool silent, acknowledging;
    int atLeastMs;  // a report not taken in 100 ms ends it; repeats without acknowledgement last 1 s
  };
  for (const Case& c : {Case{false, false, 900}, Case{true, true, 90}}) {
    fake->SetSilent(c.silent);
    fake->SetAcknowledging(c.acknowledging);
    Open();
    const TReport frame = Bytes(10, 1);
    const std::size_t before = fake->Written().size();
    const auto t0 = Clock::now();
    EXPECT_EQ(modem->Write(frame.data(), 10), -1);
    const auto t1 = Clock::now();
    const auto took = t1 - t0;
    EXPECT_LT(took, std::chrono::seconds(3));
    if (took >= std::chrono::milliseconds(c.atLeastMs)) continue;
    // Sooner only when a report was not taken in 100 ms, which a busy machine can cause by
    // holding up the I/O thread: the modem then went at least 50 ms without a report from
    // the host, as a hand-over of 100 ms lets at most one report through.
    EXPECT_FALSE(c.silent) << "ended after " << took.count() << " ns";
    EXPECT_GE(LongestPause(*fake, before, t0, t1), std::chrono::milliseconds(50))
        << "ended after " << took.count() << " ns while the modem took every report";
  }
  // The silent modem's last report was withdrawn: it does not go out once the modem speaks.
  auto dataChunks = [this] {
    const auto w = fake->Written();
    return std::count_if(w.begin(), w.end(), [](const TReport& r) { return r[2] != 0; });
  };
  const auto before = dataChunks();
  fake->SetSilent(false);
  loop.RunFor(200);
  EXPECT_EQ(dataChunks(), before);
}

TEST_F(USBModem, AReportStillBeingWrittenWhenWriteGivesUpIsNotSentLater) {
  Open();
  fake->StallNextWrite(250);  // the I/O thread takes the first chunk; its write fails late
  const TReport frame = Bytes(10, 1);
  const auto t0 = Clock::now();
  EXPECT_EQ(modem->Write(frame.data(), 10), -1);
  EXPECT_LT(Clock::now() - t0, std::chrono::milliseconds(250));  // the hand-over's wait ended it
  loop.RunFor(500);  // the modem works again
  for (const auto& r : fake->Written()) EXPECT_EQ(r[2], 0) << "a chunk of the abandoned frame went out";
  EXPECT_TRUE(fake->Frames().empty());
}

TEST_F(USBModem, AReceivedFrameIsAnnouncedOnceAndAcknowledgedOnlyWhenDue) {
  OpenScripted();
  const TReport data = Bytes(10, 0x30);
  const std::string text(data.begin(), data.end());
  Serve({Chunk(0, 10 | 0x80, 0, 0, data)});
  EXPECT_EQ(events, (std::vector<std::string>{"rx"}));
  EXPECT_EQ(modem->RxCount(), 10);
  EXPECT_EQ(Frame(), text);
  EXPECT_EQ(Frame(), text);  // the same frame again until another one completes
  auto written = fake->Written();
  ASSERT_EQ(written.size(), 1u);
  EXPECT_TRUE(IsAcknowledgement(written[0], 10));

  Serve({Chunk(0, 10 | 0x80, 0, 0, data)});  // the last chunk again: neither announced nor acknowledged
  EXPECT_EQ(events.size(), 1u);
  EXPECT_EQ(fake->Written().size(), 1u);

  Serve({Chunk(0, 0, 0, 0)});  // a report without the last-chunk flag
  Serve({Chunk(0, 10 | 0x80, 0, 0, data)});
  EXPECT_EQ(events, (std::vector<std::string>{"rx", "rx"}));
  written = fake->Written();
  ASSERT_EQ(written.size(), 3u);
  EXPECT_TRUE(IsAcknowledgement(written[1], 0));
  EXPECT_TRUE(IsAcknowledgement(written[2], 10));

  // A frame in two chunks is announced when its last chunk has come.
  const TReport long1 = Bytes(60, 1), long2 = Bytes(5, 100);
  Serve({Chunk(0, 60, 0, 0, long1)});
  EXPECT_EQ(events.size(), 2u);
  EXPECT_EQ(modem->RxCount(), 10);  // the last complete frame still
  Serve({Chunk(60, 5 | 0x80, 0, 0, long2)});
  EXPECT_EQ(events.size(), 3u);
  TReport whole = long1;
  whole.insert(whole.end(), long2.begin(), long2.end());
  EXPECT_EQ(Frame(), std::string(whole.begin(), whole.end()));
}

TEST_F(USBModem, ChunkBytesAreTakenOnlyFromTheReportAndKeptWithinTheBuffer) {
  OpenScripted();
  // A length of 63 in a 65-byte report: only the 60 bytes the report holds are taken.
  Serve({Chunk(3, 60, 0, 0, TReport(60, 0xAA))});
  Serve({Chunk(0, 63 | 0x80, 0, 0, TReport(60, 0x11))});
  EXPECT_EQ(modem->RxCount(), 63);
  EXPECT_EQ(Frame(), std::string(60, '\x11') + std::string(3, '\xAA'));

  // A chunk reaching beyond the 257-byte buffer is cut at its end.
  Serve({Chunk(250, 60 | 0x80, 0, 0, TReport(60, 0x22))});
  EXPECT_EQ(modem->RxCount(), 257);
  const std::string frame = Frame();
  EXPECT_EQ(frame.substr(250), std::string(7, '\x22'));

  // A report too short for its header is ignored, status included.
  events.clear();
  Serve({TReport{0, 0, 0x85, 0x02}});
  EXPECT_TRUE(events.empty());
}

TEST_F(USBModem, StatusBitsGiveTheirEvents) {
  OpenScripted();
  const std::vector<std::pair<std::uint8_t, std::vector<std::string>>> steps = {
      {0x02, {"status", "cd"}},   // carrier detect rises
      {0x03, {"status"}},         // transmitting rises
      {0x02, {"status", "eot"}},  // transmitting falls
      {0x82, {"status"}},         // another bit
      {0x80, {"status", "cd"}},   // carrier detect falls
      {0x80, {}},                 // no change
  };
  for (const auto& [status, expected] : steps) {
    events.clear();
    Serve({Chunk(0, 0, status, 0)});
    EXPECT_EQ(events, expected) << int(status);
  }
}

TEST_F(USBModem, AnUnpluggedModemIsReportedOnceAndFailsWritesAtOnce) {
  Open();
  ASSERT_TRUE(loop.RunUntil([this] { return Count("connect") == 1; }, 5000));
  fake->SetPlugged(false);
  ASSERT_TRUE(loop.RunUntil([this] { return Count("disconnect") == 1; }, 5000));
  loop.RunFor(300);
  EXPECT_EQ(Count("disconnect"), 1u);
  const TReport frame = Bytes(10, 1);
  const auto t0 = Clock::now();
  EXPECT_EQ(modem->Write(frame.data(), 10), -1);
  EXPECT_LT(Clock::now() - t0, std::chrono::milliseconds(500));
  fake->SetPlugged(true);
  ASSERT_TRUE(loop.RunUntil([this] { return Count("connect") == 2; }, 5000));
  EXPECT_EQ(modem->Write(frame.data(), 10), 10);
}

TEST_F(USBModem, StopDeviceStopsTheThreadAndDropsWhatItHandedOver) {
  OpenScripted();
  fake->Script(Chunk(0, 4 | 0x80, 0x02, 0, Bytes(4, 1)));
  ASSERT_TRUE(fake->WaitIdle(5000));  // handled on the I/O thread, not yet delivered
  modem->StopDevice();
  EXPECT_EQ(events, (std::vector<std::string>{"disconnect"}));
  const int served = fake->ReportsServed();
  fake->Script(Chunk(0, 0, 0, 0));
  loop.RunFor(200);
  EXPECT_EQ(events, (std::vector<std::string>{"disconnect"}));
  EXPECT_EQ(fake->ReportsServed(), served);
  const TReport frame = Bytes(3, 1);
  EXPECT_EQ(modem->Write(frame.data(), 3), -1);
  EXPECT_EQ(modem->RxCount(), 4);  // the frame that came stays readable
}

TEST(USBHidapi, APathThatDoesNotOpenGivesNoDevice) {
  auto backend = MakeHidBackend();
  EXPECT_EQ(backend->OpenPath(""), nullptr);
  EXPECT_EQ(backend->OpenPath("/nonexistent/hidraw9"), nullptr);
  RealTimeLoop loop;
  TUSBHIDModem modem(loop);  // hidapi: whatever is plugged in here, index 7 is not
  std::string msg;
  modem.Open(7, msg);
  EXPECT_EQ(msg, "Le dispositif USB n'est pas ouvert.");
}

// The report handler takes a report on the calling thread as it does on the I/O thread, so a
// modem that was never opened assembles frames and fires its events all the same.
TEST(USBReportHandler, TakesReportsOnTheCallingThread) {
  VirtualScheduler sched;
  TUSBHIDModem modem(sched, std::make_shared<FakeHidModem>());
  std::vector<std::string> events;
  modem.OnRXFrame = [&](TObject*) { events.push_back("rx"); };
  modem.OnStatusChange = [&](TObject*) { events.push_back("status"); };
  modem.OnCDChange = [&](TObject*) { events.push_back("cd"); };
  modem.OnEndOfTx = [&](TObject*) { events.push_back("eot"); };

  const TReport frame = Bytes(70, 1);
  modem.HandleReport(Chunk(0, 60, 0x03, 0, TReport(frame.begin(), frame.begin() + 60)));
  modem.HandleReport(TReport{0, 60, 0x8A, 0x00});  // too short for its header: ignored
  modem.HandleReport(Chunk(60, 10 | 0x80, 0x02, 0, TReport(frame.begin() + 60, frame.end())));
  modem.HandleReport(Chunk(60, 10 | 0x80, 0x02, 0, TReport(frame.begin() + 60, frame.end())));  // again
  // Nothing runs before the scheduler runs what was posted.
  EXPECT_TRUE(events.empty());
  sched.RunPending();
  EXPECT_EQ(events, (std::vector<std::string>{"status", "cd", "status", "rx", "eot"}));
  ASSERT_EQ(modem.RxCount(), 70);
  TReport read(70);
  EXPECT_EQ(modem.Read(read.data(), 70), 70);
  EXPECT_EQ(read, frame);

  // A report of exactly the header and the bytes it holds: nothing is read beyond it.
  modem.HandleReport(TReport{0, 0, 0x83, 0x02, 0, 0xEE});
  sched.RunPending();
  EXPECT_EQ(modem.RxCount(), 3);
  EXPECT_EQ(modem.Read(read.data(), 3), 3);
  EXPECT_EQ(read[0], 0xEE);
  EXPECT_EQ(read[1], 2);  // the rest of the buffer as the last frame left it
}
