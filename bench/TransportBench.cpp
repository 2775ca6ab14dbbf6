// Measures the transports on this machine:
// (a) the delay from the last byte of an answer, written on the far end of a pseudo-terminal
//     by the simulated transmitter at line pace, to the HART link's notification;
// (b) the CPU time of an open, idle serial port;
// (c) the CPU time of the USB modem's I/O thread, idle against the fake modem.
// The delays are given against one character time at 1200 bit/s (9.2 ms), the CPU times
// against one core.

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "comm/Comm.h"
#include "comm/HART.h"
#include "comm/USB.h"
#include "model/Xmt.h"
#include "support/FakeHid.h"
#include "support/FakeSerial.h"
#include "support/RealTimeLoop.h"
#include "support/SimTransmitter.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kCharacterMs = 11000.0 / 1200.0;

double CpuSeconds() {
  rusage u{};
  ::getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0.0;
  std::sort(v.begin(), v.end());
  const auto i = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
  return v[std::min(i, v.size() - 1)];
}

void PrintDelays(const char* what, const std::vector<double>& ms) {
  const double median = Percentile(ms, 0.5), p99 = Percentile(ms, 0.99);
  std::printf("    %-34s %6zu samples: median %.3f ms = %.4f char, p99 %.3f ms = %.4f char\n", what, ms.size(), median,
              median / kCharacterMs, p99, p99 / kCharacterMs);
}

// (a): gives false when the link did not answer.
bool MeasureNotificationDelay(int answers) {
  RealTimeLoop loop;
  PtyPair pty;
  if (!pty.Ok()) return false;
  pty.PointCom(1);
  SimTransmitter sim;
  TXmt xmt;
  THART hart(loop);
  PtyLine far(loop, pty, sim);

  Clock::time_point delivered{};
  bool waiting = false;
  double lastDelay = 0;
  std::vector<double> everyByte, lastByte;
  int arrivals = 0;
  far.OnDelivered = [&](const std::vector<std::uint8_t>&) {
    delivered = Clock::now();
    waiting = true;
  };
  hart.OnModemChange = [&](TObject*) {
    if (!waiting) return;
    waiting = false;
    lastDelay = std::chrono::duration<double, std::milli>(Clock::now() - delivered).count();
    everyByte.push_back(lastDelay);
  };
  hart.OnDataArrival = [&](TObject*) {
    ++arrivals;
    lastByte.push_back(lastDelay);
    hart.HandleResponse(xmt);
  };
  std::string msg;
  hart.OpenPort(1, msg);
  for (int i = 0; i < answers; ++i) {
    const int before = arrivals;
    hart.ReadUniqueIdentifier(0);
    if (!loop.RunUntil([&] { return arrivals > before; }, 5000)) return false;
  }
  hart.ClosePort();
  std::printf("(a) last answer byte on the line -> link notification, %d answers of command 0\n", answers);
  PrintDelays("last byte of each answer:", lastByte);
  PrintDelays("every answer byte:", everyByte);
  std::printf("    aim: p99 under 1 ms\n");
  return true;
}

void MeasureIdleSerial(int seconds) {
  RealTimeLoop loop;
  PtyPair pty;
  pty.PointCom(1);
  TComm comm(loop);
  std::string msg;
  comm.Open(1, msg);
  const double cpu0 = CpuSeconds();
  loop.RunFor(seconds * 1000);
  const double cpu = CpuSeconds() - cpu0;
  comm.Close();
  std::printf("(b) open serial port, idle, %d s: CPU %.4f s = %.3f %% of one core   aim: under 0.5 %%\n", seconds, cpu,
              100.0 * cpu / seconds);
}

void MeasureIdleUSB(int seconds) {
  RealTimeLoop loop;
  auto fake = std::make_shared<FakeHidModem>();
  fake->SetSilent(true);
  TUSBHIDModem usb(loop, fake);
  usb.SetPid(9);
  std::string msg;
  usb.Open(0, msg);
  const double cpu0 = CpuSeconds();
  loop.RunFor(seconds * 1000);
  const double cpu = CpuSeconds() - cpu0;
  usb.StopDevice();
  std::printf("(c) USB modem I/O thread, idle on a silent fake, %d s: CPU %.4f s = %.3f %% of one core   aim: under 0.5 %%\n",
              seconds, cpu, 100.0 * cpu / seconds);
}

}  // namespace

int main(int argc, char** argv) {
  const int answers = argc > 1 ? std::max(1, std::atoi(argv[1])) : 40;
  const int seconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
  std::printf("one character time at 1200 bit/s, 11 bits: %.2f ms\n", kCharacterMs);
  if (!MeasureNotificationDelay(answers)) {
    std::fprintf(stderr, "(a) failed: no answer over the pseudo-terminal\n");
    return 1;
  }
  MeasureIdleSerial(seconds);
  MeasureIdleUSB(seconds);
  return 0;
}
