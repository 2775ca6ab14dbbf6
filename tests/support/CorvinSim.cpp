// corvin-sim: the simulated transmitter on a pseudo-terminal, for trying the program without
// a modem. It prints the device to give the program as COM1 and answers until stopped.
//
//   corvin-sim [polling address 0-15] [device type 0-255]

#include <csignal>
#include <cstdio>
#include <optional>
#include <string>

#include "support/FakeSerial.h"
#include "support/RealTimeLoop.h"
#include "support/SimTransmitter.h"

namespace {
volatile std::sig_atomic_t stop = 0;
void Stop(int) { stop = 1; }

// A whole number from 0 to max, in decimal or in hexadecimal after "0x"; nothing for any
// other text, so that a mistyped argument is not taken for another device.
std::optional<unsigned> Number(const std::string& text, unsigned max) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::string digits = hex ? text.substr(2) : text;
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  unsigned value = 0;
  for (char c : digits) {
    int d = -1;
    if (c >= '0' && c <= '9') d = c - '0';
    if (hex && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    if (d < 0) return std::nullopt;
    value = value * (hex ? 16 : 10) + static_cast<unsigned>(d);
  }
  if (value > max) return std::nullopt;
  return value;
}

int Usage() {
  std::fprintf(stderr, "usage: corvin-sim [polling address 0-15] [device type 0-255]\n");
  return 2;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc > 3) return Usage();
  SimTransmitter sim;
  if (argc > 1) {
    const auto address = Number(argv[1], 15);
    if (!address) return Usage();
    sim.Identity.PollingAddress = static_cast<std::uint8_t>(*address);
  }
  if (argc > 2) {
    const auto type = Number(argv[2], 255);
    if (!type) return Usage();
    sim.Identity.DeviceType = static_cast<std::uint8_t>(*type);
  }
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
