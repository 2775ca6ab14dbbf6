#include "support/AppFixture.h"

AppWorld::AppWorld(TLangue langue, TFormatSettings fs) {
  Fake.Attach(Line);
  Program = std::make_unique<TProgram>(langue, Sched, Ui, fs);
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
