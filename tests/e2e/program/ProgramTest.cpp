// The whole program in real time against the simulated transmitter on a pseudo-terminal:
// its objects built as the program's main() builds them, on the Qt event loop, with a line
// that goes away under it and another taken with Setup; and the real corvin-en process.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include "app/Program.h"
#include "app/QtScheduler.h"
#include "app/commcfg.h"
#include "app/main.h"
#include "support/FakeSerial.h"
#include "support/RecordingUi.h"
#include "support/SimTransmitter.h"

namespace fs = std::filesystem;

namespace {

// A temporary folder that is the current one while it lives: the ini file goes there.
class TempCwd {
public:
  TempCwd() {
    dir_ = fs::temp_directory_path() / ("corvin-e2e-" + std::to_string(::getpid()) + "-" + std::to_string(++count_));
    fs::create_directories(dir_);
    old_ = fs::current_path();
    fs::current_path(dir_);
  }
  ~TempCwd() {
    fs::current_path(old_);
    fs::remove_all(dir_);
  }
  const fs::path& Dir() const { return dir_; }

private:
  static inline int count_ = 0;
  fs::path dir_, old_;
};

void WriteIni(const std::string& text) { std::ofstream("Corvin.ini", std::ios::binary) << text; }

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The commands of the requests from `first` on. An answer cut short or lost makes the
// sequencer send the same request again (on a busy machine, the port's reader thread held up
// in the middle of an answer is enough): such a repeat is listed once and counted in repeats.
std::vector<int> CommandsFrom(const SimTransmitter& sim, std::size_t first, int& repeats) {
  std::vector<int> commands;
  repeats = 0;
  for (std::size_t i = first; i < sim.Requests.size(); ++i) {
    const int command = sim.Requests[i].Command;
    if (!commands.empty() && commands.back() == command) {
      ++repeats;
    } else {
      commands.push_back(command);
    }
  }
  return commands;
}

// Runs the Qt event loop until pred holds; false after timeoutMs.
bool Until(const std::function<bool()>& pred, int timeoutMs) { return QTest::qWaitFor(pred, timeoutMs); }

}  // namespace

TEST(Program, FindsTakesAndPollsTheTransmitterOnComOne) {
  TempCwd cwd;
  WriteIni("[CONFIG]\r\nPORT=1\r\n");
  PtyPair pty;
  ASSERT_TRUE(pty.Ok());
  pty.PointCom(1);
  for (int n = 2; n <= 4; ++n) PointComNowhere(n);

  QtScheduler scheduler;
  SimTransmitter sim;
  auto line = std::make_unique<PtyLine>(scheduler, pty, sim);
  RecordingUi ui;
  // The port dialog runs modally while the event loop turns, until it confirms itself.
  ui.OnModal["CfgForm"] = [](TForm& f) { Until([&] { return !f.Visible(); }, 3000); };
  TProgram program(TLangue::Anglais, scheduler, ui, TFormatSettings{}, {}, {"-notimer"});
  TMainForm& m = program.MainForm();

  m.FormShow();
  ASSERT_FALSE(program.Forms.CfgForm->NoPortChosen());
  ASSERT_EQ(m.TabbedNotebook->PageIndex(), 0);
  EXPECT_TRUE(program.Jobs.Busy);

  // The search: the device answers at address 0.
  std::set<std::string> statuses;  // every job text the window showed
  int failedTicks = 0;              // ticks that found the link's last exchange failed
  TNotifyEvent tick = m.Evenement.OnTimer;
  m.Evenement.OnTimer = [&, tick](TObject* s) {
    if (m.MainHart->Erreur.GetCode() != 0 && !m.MainHart->RequestRefused) ++failedTicks;
    tick(s);
    statuses.insert(m.StatusPanel(0));
  };
  m.BtnSeach->click();
  ASSERT_TRUE(Until([&] { return statuses.count("Device found at address 0 !") > 0 && program.Jobs.JobIndex == 5; }, 15000));
  EXPECT_EQ(m.Connect->Caption(), "* Connected *");

  // The device's node, then "Use this device": the full read.
  QTreeWidgetItem* node = m.TreeView->Node(1);
  m.TreeView->SetSelected(node);
  QTest::mouseDClick(m.TreeView->viewport(), Qt::LeftButton, {}, m.TreeView->visualItemRect(node).center());
  ASSERT_TRUE(m.BtnProd->isEnabled());
  const std::size_t before = sim.Requests.size();
  failedTicks = 0;
  m.BtnProd->click();
  ASSERT_TRUE(Until([&] { return !program.Jobs.Busy; }, 20000));
  int repeats = 0;
  EXPECT_EQ(CommandsFrom(sim, before, repeats), (std::vector<int>{13, 12, 16, 15, 14, 195, 198, 137}));
  EXPECT_LE(repeats, failedTicks);
  EXPECT_EQ(m.EdMessage->Text().substr(0, 10), "TEST BENCH");
  EXPECT_EQ(m.EdURV->Text(), "100.00");
  EXPECT_EQ(m.EdSNb->Text(), "120034");

  // The measures are polled without end on the transmitter page.
  m.TabbedNotebook->SetPageIndex(1);
  const std::size_t polled = sim.Requests.size();
  failedTicks = 0;
  std::vector<int> polling;
  ASSERT_TRUE(Until([&] { return (polling = CommandsFrom(sim, polled, repeats)).size() >= 4; }, 10000));
  EXPECT_EQ(polling[0], 1);
  EXPECT_EQ(polling[1], 2);
  EXPECT_LE(repeats, failedTicks);
  ASSERT_TRUE(Until([&] { return m.LbCurrent->Caption() == "8.000 mA"; }, 3000));

  // The transmitter goes silent: the program runs on and says so.
  sim.Faults.Silent = true;
  ASSERT_TRUE(Until([&] { return m.Connect->Caption() == "* Disconnected *"; }, 10000));
  EXPECT_EQ(m.StatusPanel(1), "No response");
  sim.Faults.Silent = false;
  ASSERT_TRUE(Until([&] { return m.Connect->Caption() == "* Connected *" || m.StatusPanel(1).empty(); }, 10000));

  // The transmitter and its line go away for good: the far end of the terminal is closed and
  // the port hangs up under the program, which runs on and says so.
  ASSERT_TRUE(Until([&] { return m.Transmetteur.GetConnected() == 1; }, 10000));
  const int beeps = ui.Beeps;
  line.reset();
  pty.CloseFar();
  ASSERT_TRUE(Until([&] { return m.Connect->Caption() == "* Disconnected *"; }, 10000));
  EXPECT_EQ(m.StatusPanel(1), "No response");
  EXPECT_EQ(ui.Beeps, beeps + 1);
  // Still alive: its timers run on time and the polling goes on asking, without a beep more.
  QElapsedTimer alive;
  alive.start();
  bool ticked = false;
  QTimer::singleShot(100, [&] { ticked = true; });
  ASSERT_TRUE(Until([&] { return ticked; }, 2000));
  EXPECT_LT(alive.elapsed(), 1000);
  QTest::qWait(3000);
  EXPECT_EQ(m.TabbedNotebook->PageIndex(), 1);
  EXPECT_EQ(m.Connect->Caption(), "* Disconnected *");
  EXPECT_EQ(ui.Beeps, beeps + 1);

  // Another line on COM1, taken with Setup (from the search page: the polling page disables
  // it): the search finds the device again, and the first thing the new line hears is the
  // search's request.
  PtyPair again;
  ASSERT_TRUE(again.Ok());
  again.PointCom(1);
  SimTransmitter back;
  PtyLine backLine(scheduler, again, back);
  ui.OnModal["CfgForm"] = [](TForm& f) {
    auto& cfg = static_cast<TCfgForm&>(f);
    EXPECT_TRUE(cfg.RBtnCOM1->isChecked());
    cfg.BtnOK->click();
  };
  EXPECT_FALSE(m.ConfigurationMenu->isEnabled());
  m.TabbedNotebook->SetPageIndex(0);
  ASSERT_TRUE(m.ConfigurationMenu->isEnabled());
  m.ConfigurationMenu->trigger();
  ASSERT_EQ(ui.ModalRuns.size(), 2u);
  ASSERT_EQ(m.TabbedNotebook->PageIndex(), 0);
  statuses.clear();
  m.BtnSeach->click();
  ASSERT_TRUE(Until([&] { return statuses.count("Device found at address 0 !") > 0 && program.Jobs.JobIndex == 5; }, 15000));
  EXPECT_EQ(m.Connect->Caption(), "* Connected *");
  std::vector<int> heard;
  for (const SimRequest& r : back.Requests) heard.push_back(r.Command);
  EXPECT_EQ(heard, (std::vector<int>{0, 13}));  // the identity at address 0, then the tag
  ASSERT_FALSE(back.Requests.empty());
  EXPECT_FALSE(back.Requests[0].LongFrame);
  m.FormClose();
}

// ---------------------------------------------------------------------------------------
// The real program

namespace {

// Starts corvin-en offscreen in the current folder; gives its process id.
pid_t StartProgram(const std::vector<std::string>& args) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::vector<char*> argv{const_cast<char*>(CORVIN_EN_PATH)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(CORVIN_EN_PATH, argv.data());
    ::_exit(127);
  }
  return pid;
}

// Waits for the process to end; its exit code, or -1 when it still runs after timeoutMs.
int WaitEnd(pid_t pid, int timeoutMs) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < timeoutMs) {
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    QTest::qWait(20);
  }
  return -1;
}

void Stop(pid_t pid) {
  ::kill(pid, SIGKILL);
  int status = 0;
  ::waitpid(pid, &status, 0);
}

}  // namespace

TEST(Program, OpensTheSavedPortAtTheLinesSettingsAndRunsOn) {
  TempCwd cwd;
  WriteIni("[CONFIG]\r\nPORT=1\r\n");
  PtyPair pty;
  ASSERT_TRUE(pty.Ok());
  pty.PointCom(1);
  const pid_t pid = StartProgram({"-notimer"});
  termios t{};
  ASSERT_TRUE(Until([&] { return pty.NearSettings(t) && cfgetospeed(&t) == B1200; }, 10000));
  EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  // A pseudo-terminal keeps the odd-parity choice but drops the parity enable itself.
  EXPECT_TRUE(t.c_cflag & PARODD);
  EXPECT_TRUE(t.c_cflag & CSTOPB);
  EXPECT_EQ(WaitEnd(pid, 1500), -1);  // still running
  Stop(pid);
  EXPECT_EQ(ReadFile("Corvin.ini"), "[CONFIG]\r\nPORT=1\r\n");
}

TEST(Program, EndsByItselfWhenTheSavedPortIsGone) {
  TempCwd cwd;
  WriteIni("[CONFIG]\r\nPORT=3\r\n");
  PointComNowhere(3);
  const pid_t pid = StartProgram({"-NoTimer"});
  const int code = WaitEnd(pid, 15000);
  if (code == -1) Stop(pid);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(ReadFile("Corvin.ini"), "[CONFIG]\r\nPORT=0\r\n");
}
