#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "comm/Comm.h"
#include "support/FakeSerial.h"
#include "support/RealTimeLoop.h"
#include "support/VirtualScheduler.h"

namespace {

std::string AllByteValues() {
  std::string s;
  for (int i = 0; i < 256; ++i) s.push_back(static_cast<char>(i));
  return s;
}

std::string PortText(int n, const char* state) { return "Le port de communication n\xB0" + std::to_string(n) + state; }

void ModemLine(TCustomComm& c) {
  c.SetBaudRate(TBaudRate::__1200);
  c.SetParity(TParity::ODD);
  c.SetStopBits(TStopBits::TWO);
  c.SetByteSize(8);
  c.SetEventChar('\xFF');
}

double CpuMs() {
  rusage u{};
  ::getrusage(RUSAGE_SELF, &u);
  return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000.0 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
}

// A serial port in memory: the test sets the modem lines and queues received bytes; the
// event thread's next wait then reports them together.
class ScriptedSerial : public SerialBackend {
public:
  void Arrive(const std::string& bytes, unsigned lines, bool lineError) {
    {
      std::lock_guard<std::mutex> lock(m_);
      in_ += bytes;
      lines_ = lines;
      lineError_ = lineError;
      ready_ = true;
    }
    cv_.notify_all();
  }

  bool Open(const std::string&) override { return open_ = true; }
  bool IsOpen() const override { return open_; }
  int Handle() const override { return open_ ? 42 : -1; }
  bool CanOpen(const std::string&) override { return !open_; }
  bool Configure(const TSerialLine&) override { return true; }
  void Purge(bool, bool) override {}
  bool SetRTS(bool) override { return true; }
  bool SetDTR(bool) override { return true; }
  bool ModemLines(unsigned& lines) override {
    std::lock_guard<std::mutex> lock(m_);
    lines = lines_;
    return true;
  }
  TSerialWait Wait(int timeoutMs, bool) override {
    std::unique_lock<std::mutex> lock(m_);
    const bool any = cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs < 0 ? 60000 : timeoutMs),
                                  [this] { return ready_ || woken_; });
    if (woken_) {
      woken_ = false;
      return TSerialWait::Woken;
    }
    if (!any) return TSerialWait::Timeout;
    ready_ = false;
    return in_.empty() ? TSerialWait::Timeout : TSerialWait::Input;
  }
  void Wake() override {
    {
      std::lock_guard<std::mutex> lock(m_);
      woken_ = true;
    }
    cv_.notify_all();
  }
  int Read(std::uint8_t* buf, int max, bool& lineError) override {
    std::lock_guard<std::mutex> lock(m_);
    const int n = std::min<int>(max, static_cast<int>(in_.size()));
    for (int i = 0; i < n; ++i) buf[i] = static_cast<std::uint8_t>(in_[static_cast<std::size_t>(i)]);
    in_.erase(0, static_cast<std::size_t>(n));
    lineError = lineError_;
    lineError_ = false;
    return n;
  }
  int Write(const std::uint8_t*, int n) override { return n; }
  bool Drain() override { return true; }
  void Close() override { open_ = false; }
  unsigned Unsupported() const override { return 0; }

private:
  std::mutex m_;
  std::condition_variable cv_;
  std::string in_;
  unsigned lines_ = 0;
  bool lineError_ = false;
  bool ready_ = false;
  bool woken_ = false;
  bool open_ = false;
};

// Exposes the event dispatcher.
struct DispatchComm : TComm {
  using TComm::TComm;
  using TCustomComm::DoCommEvent;
};

// Waits until the end-of-transmission thread has drained the count-th write and queued its
// hand-over, and takes the hand-over.
bool WaitDrained(VirtualScheduler& sched, RecordingSerial& r, int count) {
  if (!r.WaitDrainHandedOver(sched, count)) return false;
  sched.RunPending();
  return true;
}

struct CommPty : ::testing::Test {
  PtyPair pty;
  void SetUp() override {
    ASSERT_TRUE(pty.Ok());
    pty.PointCom(1);
    for (int n = 2; n <= 4; ++n) PointComNowhere(n);
  }
};

}  // namespace

TEST(CommLineValues, EnumerationsGiveTheirLineValuesAndZeroOutsideTheTables) {
  const std::vector<std::pair<TBaudRate, int>> rates = {
      {TBaudRate::___110, 110},     {TBaudRate::___300, 300},     {TBaudRate::___600, 600},
      {TBaudRate::__1200, 1200},    {TBaudRate::__2400, 2400},    {TBaudRate::__4800, 4800},
      {TBaudRate::__9600, 9600},    {TBaudRate::_14400, 14400},   {TBaudRate::_19200, 19200},
      {TBaudRate::_38400, 38400},   {TBaudRate::_56000, 56000},   {TBaudRate::_57600, 57600},
      {TBaudRate::_115_K, 115200},  {TBaudRate::_128_K, 128000},  {TBaudRate::_256_K, 256000},
      {static_cast<TBaudRate>(15), 0}};
  for (const auto& [rate, value] : rates) EXPECT_EQ(BaudRateValue(rate), value) << static_cast<int>(rate);

  EXPECT_EQ(ParityValue(TParity::NONE), 0);
  EXPECT_EQ(ParityValue(TParity::EVEN), 2);
  EXPECT_EQ(ParityValue(TParity::ODD), 1);
  EXPECT_EQ(ParityValue(TParity::MARK), 3);
  EXPECT_EQ(ParityValue(static_cast<TParity>(9)), 0);
  EXPECT_EQ(StopBitsValue(TStopBits::ONE), 0);
  EXPECT_EQ(StopBitsValue(TStopBits::ONE5), 1);
  EXPECT_EQ(StopBitsValue(TStopBits::TWO), 2);
  EXPECT_EQ(StopBitsValue(static_cast<TStopBits>(7)), 0);
}

TEST(CommDevicePath, EnvironmentNamesTheDeviceElseTheNthSerialDevice) {
  ::unsetenv("CORVIN_COM3");
  EXPECT_EQ(ComDevicePath(3), "/dev/ttyS2");
  EXPECT_EQ(ComDevicePath(1).empty(), false);
  ::setenv("CORVIN_COM3", "/dev/pts/77", 1);
  EXPECT_EQ(ComDevicePath(3), "/dev/pts/77");
  EXPECT_EQ(ComDevicePath(0), "");
}

TEST(CommErrorMarks, MarkedCharactersBecomeQuestionMarksAndDoubledFFIsOneFF) {
  struct Case {
    std::vector<std::string> pieces;  // as the reads give them
    std::string out;
    bool error;
  };
  const std::vector<Case> cases = {
      {{"abc"}, "abc", false},
      {{std::string("\xFF\xFF", 2)}, "\xFF", false},
      {{std::string("a\xFF\x00zb", 5)}, "a?b", true},
      {{std::string("a\xFF", 2), std::string("\x00", 1), "zb"}, "a?b", true},  // mark split over reads
      {{std::string("\xFF", 1), std::string("\xFF\x11\x13", 3)}, "\xFF\x11\x13", false},
      {{std::string("\xFF\x00\x00", 3)}, "?", true},  // a break
  };
  for (const auto& c : cases) {
    TErrorMarkDecoder d;
    std::string out;
    bool error = false;
    for (const auto& p : c.pieces) {
      std::uint8_t buf[16];
      const int n = d.Decode(reinterpret_cast<const std::uint8_t*>(p.data()), static_cast<int>(p.size()), buf, error);
      out.append(reinterpret_cast<const char*>(buf), static_cast<std::size_t>(n));
    }
    EXPECT_EQ(out, c.out);
    EXPECT_EQ(error, c.error) << c.out;
  }
}

TEST_F(CommPty, TheWakeUpWorksEvenWhenTheBackEndWasMadeWithoutDescriptorsToSpare) {
  // Made while no descriptor can be had, then used once they can: Close relies on Wake.
  // (A sanitizer build checks object types through a pipe of its own; a back-end made
  // beforehand spares it that while no descriptor is free.)
  MakeSerialBackend();
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
  const int next = ::dup(0);
  ASSERT_GE(next, 0);
  ::close(next);
  rlimit low = saved;
  low.rlim_cur = static_cast<rlim_t>(next);
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
  auto backend = MakeSerialBackend();
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &saved), 0);

  ASSERT_TRUE(backend->Open(pty.Path()));
  backend->Wake();
  const auto t0 = std::chrono::steady_clock::now();
  EXPECT_EQ(backend->Wait(2000, false), TSerialWait::Woken);
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(1));
  backend->Close();
}

TEST_F(CommPty, OpenGivesTheStatusTextAndAPortThatIsMissingFailsQuietly) {
  RealTimeLoop loop;
  TComm comm(loop);
  ModemLine(comm);
  std::string msg;
  comm.Open(1, msg);
  EXPECT_EQ(msg, PortText(1, " est ouvert."));
  EXPECT_NE(comm.GetHandle(), 0);
  EXPECT_FLOAT_EQ(comm.CharTime(), 10.0f);
  EXPECT_EQ(comm.Timeouts().ReadIntervalTimeout, 250);
  EXPECT_TRUE(comm.SetReadIntervalTimeout(50));
  EXPECT_EQ(comm.Timeouts().ReadIntervalTimeout, 50);
  // A pseudo-terminal keeps neither modem lines nor parity: noted, and the port works on.
  EXPECT_NE(comm.Unsupported() & suModemControl, 0u);
  EXPECT_NE(comm.Unsupported() & suParity, 0u);
  EXPECT_TRUE(comm.Close());
  EXPECT_FALSE(comm.Close());
  EXPECT_EQ(comm.GetHandle(), 0);
  EXPECT_FALSE(comm.SetReadIntervalTimeout(50));

  int beeps = 0;
  comm.OnBeep = [&](TObject*) { ++beeps; };
  for (int port : {2, 0, 11}) {
    comm.Open(port, msg);
    EXPECT_EQ(msg, PortText(port, " n'est pas disponible."));
    EXPECT_EQ(comm.StatusText(), msg);
    EXPECT_EQ(comm.GetHandle(), 0);
  }
  EXPECT_FALSE(comm.Write("abc", 3));
  std::string s = "x";
  comm.Read(s);
  EXPECT_EQ(s, "");
  EXPECT_EQ(comm.GetRxCount(), 0);
  EXPECT_EQ(beeps, 1);
}

TEST_F(CommPty, EveryByteValuePassesBothWaysAndReadsAndWritesStopAt240) {
  RealTimeLoop loop;
  TComm comm(loop);
  ModemLine(comm);
  std::string msg;
  comm.Open(1, msg);
  ASSERT_NE(comm.GetHandle(), 0) << msg;

  // Far to near: every notification on this (the user-interface) thread, no read above 240.
  const auto uiThread = std::this_thread::get_id();
  std::string got;
  int notifications = 0, offThread = 0, flags = 0;
  comm.OnRXChar = [&](TObject* sender) {
    ++notifications;
    if (std::this_thread::get_id() != uiThread || sender != &comm) ++offThread;
    for (std::string part = "x"; !part.empty(); got += part) {
      comm.Read(part);
      EXPECT_LE(part.size(), 240u);
      EXPECT_EQ(comm.GetRxCount(), static_cast<int>(part.size()));
    }
  };
  comm.OnEvRXCha = [&](TObject*) { ++flags; };
  const std::string all = AllByteValues();
  ASSERT_TRUE(pty.WriteFar(all));
  ASSERT_TRUE(loop.RunUntil([&] { return got.size() >= all.size(); }, 5000));
  // The bytes can be read before the event of the 0xFF among them has run.
  EXPECT_TRUE(loop.RunUntil([&] { return flags >= 1; }, 5000)) << "the event character 0xFF came";
  loop.RunFor(50);  // nothing more comes
  EXPECT_EQ(got, all);
  EXPECT_GE(notifications, 1);
  EXPECT_EQ(offThread, 0);

  // Near to far: a write of 256 bytes sends the first 240 and says so.
  EXPECT_TRUE(comm.Write(all, 256));
  EXPECT_EQ(pty.ReadFar(240, 5000), all.substr(0, 240));
  EXPECT_EQ(pty.ReadFarSome(200), "");
  EXPECT_TRUE(comm.Write(all.substr(240), 16));
  EXPECT_EQ(pty.ReadFar(16, 5000), all.substr(240));

  // Unread bytes are handed out 240 at a time. The block ends with the event character, whose
  // event comes once every byte before it is there to read.
  comm.OnRXChar = nullptr;
  const std::string block = all.substr(0, 255) + all.substr(0, 44) + '\xFF';  // 300 bytes
  flags = 0;
  ASSERT_TRUE(pty.WriteFar(block));
  ASSERT_TRUE(loop.RunUntil([&] { return flags >= 1; }, 5000));
  std::string part;
  comm.Read(part);
  EXPECT_EQ(part, block.substr(0, 240));
  comm.Read(part);
  EXPECT_EQ(part, block.substr(240));
  EXPECT_EQ(comm.GetRxCount(), 60);
  comm.Read(part);
  EXPECT_EQ(part, "");
}

TEST_F(CommPty, ASecondOpenIsRefusedAndProbingLeavesPortsClosed) {
  RealTimeLoop loop;
  TComm first(loop), second(loop);
  std::string msg;
  first.Open(1, msg);
  ASSERT_EQ(msg, PortText(1, " est ouvert."));
  second.Open(1, msg);
  EXPECT_EQ(msg, PortText(1, " n'est pas disponible."));
  EXPECT_EQ(second.ProbePorts(), (std::array<bool, 4>{false, false, false, false}));
  first.Close();
  EXPECT_EQ(second.ProbePorts(), (std::array<bool, 4>{true, false, false, false}));
  EXPECT_EQ(second.GetHandle(), 0);
  first.Open(1, msg);  // the probe left it free
  EXPECT_EQ(msg, PortText(1, " est ouvert."));
}

TEST_F(CommPty, CloseIsPromptAndNothingHandedOverRunsAfterIt) {
  RealTimeLoop loop;
  TComm comm(loop);
  ModemLine(comm);
  std::string msg;
  comm.Open(1, msg);
  int events = 0;
  comm.OnRXChar = [&](TObject*) { ++events; };
  comm.OnEndOfTx = [&](TObject*) { ++events; };

  ASSERT_TRUE(comm.Write("ping", 4));  // its end of transmission is still to come
  ASSERT_TRUE(pty.WriteFar("pong"));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the event thread hands it over meanwhile
  const auto t0 = std::chrono::steady_clock::now();
  EXPECT_TRUE(comm.Close());
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(1));
  ASSERT_TRUE(pty.WriteFar("late"));
  loop.RunFor(200);
  EXPECT_EQ(events, 0);
  EXPECT_EQ(pty.ReadFar(10, 200), "ping");  // and nothing else: no wake-up byte on the line
}

TEST_F(CommPty, AHangUpIsReportedOnceAndNotSpunOn) {
  RealTimeLoop loop;
  TComm comm(loop);
  ModemLine(comm);
  std::string msg;
  comm.Open(1, msg);
  ASSERT_EQ(msg, PortText(1, " est ouvert."));
  pty.CloseFar();
  ASSERT_TRUE(loop.RunUntil([&] { return comm.StatusText() == PortText(1, " n'est pas disponible."); }, 5000));
  const double cpu0 = CpuMs();
  loop.RunFor(400);
  EXPECT_LT(CpuMs() - cpu0, 200.0);  // a spinning thread would take the whole 400 ms
  EXPECT_FALSE(comm.Write("x", 1));
  EXPECT_TRUE(comm.Close());
}

TEST(CommEvents, OneWaitGivesCarrierThenCharactersThenTheEventCharacter) {
  RealTimeLoop loop;
  auto scripted = std::make_unique<ScriptedSerial>();
  ScriptedSerial* port = scripted.get();
  TComm comm(loop, std::move(scripted));
  comm.SetEventChar('\x06');
  std::vector<std::string> events;
  comm.OnCDChange = [&](TObject*) { events.push_back(comm.GetCD() ? "cd on" : "cd off"); };
  comm.OnCTSChange = [&](TObject*) { events.push_back(comm.GetCTS() ? "cts on" : "cts off"); };
  comm.OnRXChar = [&](TObject*) { events.push_back("rx"); };
  comm.OnEvRXCha = [&](TObject*) { events.push_back("flag"); };
  std::string msg;
  comm.Open(1, msg);
  port->Arrive("\x02\x06", smlCD | smlCTS, true);  // a line error gives no event
  ASSERT_TRUE(loop.RunUntil([&] { return events.size() >= 4; }, 5000));
  loop.RunFor(50);
  EXPECT_EQ(events, (std::vector<std::string>{"cd on", "cts on", "rx", "flag"}));
  port->Arrive("A", 0, false);
  ASSERT_TRUE(loop.RunUntil([&] { return events.size() >= 7; }, 5000));
  EXPECT_EQ(events, (std::vector<std::string>{"cd on", "cts on", "rx", "flag", "cd off", "cts off", "rx"}));
}

TEST(CommEvents, EachCodeSetsItsLineAndFiresItsEvent) {
  VirtualScheduler sched;
  DispatchComm comm(sched, std::make_unique<ScriptedSerial>());
  std::string fired;
  comm.OnEvRXCha = [&](TObject*) { fired += "F"; };
  comm.OnRXChar = [&](TObject*) { fired += "X"; };
  comm.OnCDChange = [&](TObject*) { fired += comm.GetCD() ? "C" : "c"; };
  comm.OnRINGChange = [&](TObject*) { fired += comm.GetRING() ? "R" : "r"; };
  comm.OnCTSChange = [&](TObject*) { fired += comm.GetCTS() ? "T" : "t"; };
  comm.OnDSRChange = [&](TObject*) { fired += comm.GetDSR() ? "D" : "d"; };
  comm.OnEndOfTx = [&](TObject*) { fired += "E"; };
  const std::vector<std::pair<int, std::string>> table = {
      {1, "F"}, {2, "X"}, {3, "C"}, {4, "c"}, {5, "R"}, {6, "r"}, {7, "T"},
      {8, "t"}, {9, "D"}, {10, "d"}, {11, ""}, {12, ""}, {0, ""}, {99, ""}};
  for (const auto& [code, expected] : table) {
    fired.clear();
    comm.DoCommEvent(code);
    EXPECT_EQ(fired, expected) << code;
  }
}

// A port over a pseudo-terminal in virtual time, with its lines and drains recorded.
struct CommRecorded : ::testing::Test {
  PtyPair pty;
  VirtualScheduler sched;
  RecordingSerial* r = nullptr;
  std::unique_ptr<TComm> port;

  void SetUp() override {
    ASSERT_TRUE(pty.Ok());
    pty.PointCom(1);
    auto rec = std::make_unique<RecordingSerial>();
    r = rec.get();
    port = std::make_unique<TComm>(sched, std::move(rec));
  }
};

TEST_F(CommRecorded, RtsAndDtrAreStoredWhileClosedAndAppliedAtOpenRtsFirst) {
  TComm& comm = *port;
  comm.SetModemDTR(true);
  comm.SetModemRTS(false);
  EXPECT_TRUE(r->Changes().empty());  // nothing to drive while closed
  std::string msg;
  comm.Open(1, msg);
  comm.SetModemRTS(true);
  comm.SetModemRTS(false);
  std::string seen;
  for (const auto& c : r->Changes()) seen += std::string(1, c.Line) + (c.On ? "1" : "0") + " ";
  // Open applies RTS then DTR; each RTS change applies DTR again, as ModemDTR says.
  EXPECT_EQ(seen, "R0 D1 D1 R1 D1 R0 D1 ");
}

TEST_F(CommRecorded, EndOfTxFiresCountCharacterTimesAfterTheWriteAndOnlyForTheLastWrite) {
  TComm& comm = *port;
  ModemLine(comm);
  std::vector<std::int64_t> ends;
  comm.OnEndOfTx = [&](TObject*) { ends.push_back(sched.NowMs()); };
  std::string msg;
  comm.Open(1, msg);
  ASSERT_NE(comm.GetHandle(), 0);
  sched.Advance(1000);
  EXPECT_TRUE(ends.empty());  // opening ends no transmission

  int drains = 0;
  struct Case {
    int count;
    std::int64_t afterMs;  // 10 ms a character at 1200 bit/s 8O2
  };
  for (const Case& c : {Case{12, 120}, Case{20, 200}, Case{300, 2400}, Case{0, 0}}) {
    ends.clear();
    const std::int64_t t0 = sched.NowMs();
    EXPECT_TRUE(comm.Write(std::string(static_cast<std::size_t>(c.count), 'x'), c.count));
    EXPECT_EQ(comm.GetTxBusy(), true);
    ASSERT_TRUE(WaitDrained(sched, *r, ++drains));
    if (c.afterMs > 0) {
      sched.Advance(c.afterMs - 1);
      EXPECT_TRUE(ends.empty()) << c.count;
    }
    sched.AdvanceUntil([&] { return !ends.empty(); }, 5000);
    EXPECT_EQ(ends, (std::vector<std::int64_t>{t0 + c.afterMs})) << c.count;
    EXPECT_EQ(comm.GetTxBusy(), false);
  }
  EXPECT_EQ(pty.ReadFar(600, 500).size(), 12u + 20u + 240u);

  // A second write before the first one's end replaces its deadline.
  ends.clear();
  const std::int64_t t0 = sched.NowMs();
  comm.Write("123456789012", 12);
  ASSERT_TRUE(WaitDrained(sched, *r, ++drains));
  sched.Advance(50);
  comm.Write("123456789012", 12);
  ASSERT_TRUE(WaitDrained(sched, *r, ++drains));
  sched.Advance(119);
  EXPECT_TRUE(ends.empty());
  sched.Advance(1);
  sched.Advance(1000);
  EXPECT_EQ(ends, (std::vector<std::int64_t>{t0 + 170}));

  // Never before the port says the bytes are out.
  ends.clear();
  r->HoldDrains();
  comm.Write("12345", 5);
  sched.Advance(500);
  EXPECT_TRUE(ends.empty());
  r->ReleaseDrains();
  ASSERT_TRUE(r->WaitDrains(++drains, 5000));
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (ends.empty() && std::chrono::steady_clock::now() < until) {
    sched.RunPending();  // the hand-over of the drain fires it, without a further deadline
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_EQ(ends, (std::vector<std::int64_t>{sched.NowMs()}));
}
