#include "support/AppFixture.h"

#include <cstdlib>

std::string PortPath(int n) { return "/nonexistent/corvin-test-com" + std::to_string(n); }

AppWorld::AppWorld(TLangue langue, TFormatSettings fs, AppPorts ports) {
  Fake.Attach(Line);
  std::vector<std::string> present;
  for (int n = 1; n <= 4; ++n) ::setenv(("CORVIN_COM" + std::to_string(n)).c_str(), PortPath(n).c_str(), 1);
  for (int n : ports.Ports) present.push_back(PortPath(n));
  auto serial = std::make_unique<ProbeSerial>(present);
  Serial = serial.get();
  Hid->SetPlugged(ports.USB);
  TBackends backends;
  // The link takes the one back-end made for it.
  auto made = std::make_shared<std::unique_ptr<SerialBackend>>(std::move(serial));
  backends.Serial = [made] { return std::move(*made); };
  backends.Hid = Hid;
  Program = std::make_unique<TProgram>(langue, Sched, Ui, fs, std::move(backends), ports.Args);
  Main().MainHart->UseTransport(&Fake, TPortKind::Serial);
}

AppWorld::~AppWorld() { Program.reset(); }

std::vector<int> AppWorld::Commands() const {
  std::vector<int> commands;
  for (const SimRequest& r : Sim.Requests) commands.push_back(r.Command);
  return commands;
}

bool AppWorld::AdvanceUntilRequests(std::size_t n, std::int64_t maxMs) {
  const std::size_t target = Sim.Requests.size() + n;
  return Sched.AdvanceUntil([&] { return Sim.Requests.size() >= target; }, maxMs);
}

void AppWorld::Connect() {
  Main().ScanAddress = Sim.Identity.PollingAddress;
  Main().ScanLimit = 16;
  ASSERT_TRUE(RunList({100, 101, 102, 103, 104}));
  ASSERT_EQ(Xmt().GetConnected(), 1);
  Jobs().Busy = false;
  Main().TabbedNotebook->setEnabled(true);
}

bool AppWorld::RunList(std::initializer_list<std::int32_t> jobs, std::int64_t maxMs) {
  Jobs().StartList(jobs);
  Main().Evenement.SetInterval(50);
  return Sched.AdvanceUntil([&] { return Jobs().At(Jobs().JobIndex) == 0 && Jobs().CurrentJob == 0; }, maxMs);
}
