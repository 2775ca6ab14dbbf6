#include "BenchSupport.h"

#include <sys/prctl.h>
#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "app/Form.h"
#include "app/Program.h"
#include "app/QtScheduler.h"
#include "app/QtUiServices.h"
#include "app/main.h"
#include "support/FakeSerial.h"
#include "support/RealTimeLoop.h"
#include "support/SimTransmitter.h"

namespace fs = std::filesystem;

namespace bench {

namespace {

// A number field of /proc/self/status; 0 when it is missing.
double StatusField(const std::string& name) {
  std::ifstream in("/proc/self/status");
  for (std::string line; std::getline(in, line);)
    if (line.rfind(name, 0) == 0) return std::stod(line.substr(name.size()));
  return 0.0;
}

}  // namespace

double ResidentMB() { return StatusField("VmRSS:") / 1024.0; }

int Threads() { return static_cast<int>(StatusField("Threads:")); }

int OpenDescriptors() {
  int n = 0;
  std::error_code error;
  for (fs::directory_iterator it("/proc/self/fd", error), end; !error && it != end; it.increment(error)) ++n;
  return n - 1;
}

namespace {
volatile std::sig_atomic_t simStop = 0;
}  // namespace

pid_t StartSimulator(PtyPair& pty) {
  const pid_t parent = ::getpid();
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  ::prctl(PR_SET_PDEATHSIG, SIGTERM);
  std::signal(SIGTERM, [](int) { simStop = 1; });
  if (::getppid() != parent) ::_exit(0);
  {
    RealTimeLoop loop;
    SimTransmitter sim;
    PtyLine line(loop, pty, sim);
    while (!simStop) loop.RunFor(200);
  }
  ::_exit(0);
}

void RunFor(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
  loop.exec();
}

bool RunUntil(const std::function<bool()>& pred, int timeoutMs) {
  QEventLoop loop;
  QTimer look;
  QObject::connect(&look, &QTimer::timeout, &loop, [&] {
    if (pred()) loop.quit();
  });
  look.start(20);
  QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
  loop.exec();
  return pred();
}

TBenchFolder::TBenchFolder(const std::string& prefix)
    : dir_(fs::temp_directory_path() / (prefix + "-" + std::to_string(::getpid()))) {
  fs::create_directories(dir_);
  fs::current_path(dir_);
  std::ofstream("Corvin.ini", std::ios::binary) << "[CONFIG]\r\nPORT=1\r\n";
}

TBenchFolder::~TBenchFolder() {
  std::error_code error;
  fs::current_path(fs::temp_directory_path(), error);
  fs::remove_all(dir_, error);
}

void PointPorts(const PtyPair& pty) {
  pty.PointCom(1);
  for (int n = 2; n <= 4; ++n) PointComNowhere(n);
}

std::unique_ptr<TProgram> StartProgram(QtScheduler& scheduler, QtUiServices& ui) {
  auto program = std::make_unique<TProgram>(TLangue::Anglais, scheduler, ui, TFormatSettings{}, TBackends{},
                                            std::vector<std::string>{"-notimer"});
  TMainForm& m = program->MainForm();
  ui.Parent = &m;
  m.show();
  m.FormShow();
  return program;
}

bool TakeDevice(TProgram& program) {
  TMainForm& m = program.MainForm();
  m.BtnSeach->click();
  if (!RunUntil([&] { return program.Jobs.JobIndex == 5 && m.Connect->Caption() == "* Connected *"; }, 20000))
    return false;
  m.TreeView->SetSelected(m.TreeView->Node(1));
  m.TreeViewDblClick(&m);
  m.BtnProd->click();
  return RunUntil([&] { return !program.Jobs.Busy; }, 30000);
}

}  // namespace bench
