// corvin-sim: the simulated transmitter on a pseudo-terminal, for trying the program without
// a modem. It prints the device to give the program as COM1 and answers until stopped.
//
//   corvin-sim [polling address 0-15] [device type 0-255]

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/FakeSerial.h"
#include "support/RealTimeLoop.h"
#include "support/SimTransmitter.h"

namespace {
volatile std::sig_atomic_t stop = 0;
void Stop(int) { stop = 1; }
}  // namespace

int main(int argc, char** argv) {
  SimTransmitter sim;
  if (argc > 1) sim.Identity.PollingAddress = static_cast<std::uint8_t>(std::strtoul(argv[1], nullptr, 0) & 0x0F);
  if (argc > 2) sim.Identity.DeviceType = static_cast<std::uint8_t>(std::strtoul(argv[2], nullptr, 0));
  PtyPair pty;
  if (!pty.Ok()) {
    std::fprintf(stderr, "corvin-sim: no pseudo-terminal available\n");
    return 1;
  }
  RealTimeLoop loop;
  PtyLine line(loop, pty, sim);
  std::signal(SIGINT, Stop);
  std::signal(SIGTERM, Stop);
  std::printf("CORVIN_COM1=%s\n", pty.Path().c_str());
  std::printf("Simulated transmitter at polling address %d, device type %d; Ctrl-C stops it.\n",
              sim.Identity.PollingAddress, sim.Identity.DeviceType);
  std::fflush(stdout);
  std::size_t answered = 0;
  while (!stop) {
    loop.RunFor(200);
    if (sim.Requests.size() != answered) {
      answered = sim.Requests.size();
      std::printf("\rrequests: %zu", answered);
      std::fflush(stdout);
    }
  }
  std::printf("\n");
  return 0;
}
