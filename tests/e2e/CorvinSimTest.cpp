// corvin-sim, the simulated transmitter program, run as a user runs it: it gives the
// pseudo-terminal to use as COM1, answers the real link there at line pace, and ends on
// SIGTERM; arguments it cannot take are refused with its usage.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "comm/HART.h"
#include "model/Xmt.h"
#include "support/RealTimeLoop.h"

namespace {

using Clock = std::chrono::steady_clock;

// The program with its standard output and error on pipes.
class SimProcess {
public:
  explicit SimProcess(const std::vector<std::string>& args) {
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) return;
    std::vector<char*> argv{const_cast<char*>(CORVIN_SIM_PATH)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(out[1], 1);
      ::dup2(err[1], 2);
      ::execv(CORVIN_SIM_PATH, argv.data());
      ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    out_ = out[0];
    err_ = err[0];
  }
  ~SimProcess() {
    if (pid_ > 0 && !ended_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) ::close(out_);
    if (err_ >= 0) ::close(err_);
  }
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  bool Started() const { return pid_ > 0; }
  pid_t Pid() const { return pid_; }

  // The next line of its output, without its end; empty after timeoutMs.
  std::string Line(int timeoutMs) {
    const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
      const auto end = outText_.find('\n');
      if (end != std::string::npos) {
        std::string line = outText_.substr(0, end);
        outText_.erase(0, end + 1);
        return line;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
      if (left <= 0 || !ReadSome(out_, outText_, static_cast<int>(left))) return {};
    }
  }

  // Waits for the end; its exit code (128 + the signal when a signal ended it), or -1 when it
  // still runs after timeoutMs. Its remaining output and error are read meanwhile.
  int WaitEnd(int timeoutMs) {
    const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < until) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        ended_ = true;
        while (ReadSome(out_, outText_, 0)) {
        }
        while (ReadSome(err_, errText_, 0)) {
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      ReadSome(out_, outText_, 0);
      ReadSome(err_, errText_, 0);
      ::poll(nullptr, 0, 10);
    }
    return -1;
  }

  const std::string& Out() const { return outText_; }
  const std::string& Err() const { return errText_; }

private:
  // Appends what the pipe holds within timeoutMs; false when nothing came.
  static bool ReadSome(int fd, std::string& into, int timeoutMs) {
    pollfd p{fd, POLLIN, 0};
    if (fd < 0 || ::poll(&p, 1, timeoutMs) <= 0) return false;
    char buf[256];
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n <= 0) return false;
    into.append(buf, static_cast<std::size_t>(n));
    return true;
  }

  pid_t pid_ = -1;
  int out_ = -1, err_ = -1;
  bool ended_ = false;
  std::string outText_, errText_;
};

}  // namespace

TEST(CorvinSim, AnswersTheLinkOnTheTerminalItPrintsAndEndsOnSigterm) {
  struct Case {
    std::vector<std::string> args;
    int address;
    int deviceType;
    bool askAddressZero;  // first ask at address 0, which is not its own
  };
  const std::vector<Case> cases = {
      {{}, 0, 0x16, false},
      {{"5", "154"}, 5, 154, true},
      {{"15", "0xFF"}, 15, 255, false},
      {{"010", "0x0a"}, 10, 10, false},  // a leading zero is no octal
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    SimProcess sim(c.args);
    ASSERT_TRUE(sim.Started());
    const std::string first = sim.Line(10000);
    const std::string prefix = "CORVIN_COM1=";
    ASSERT_EQ(first.rfind(prefix, 0), 0u) << first << sim.Err();
    EXPECT_EQ(sim.Line(2000), "Simulated transmitter at polling address " + std::to_string(c.address) +
                                  ", device type " + std::to_string(c.deviceType) + "; Ctrl-C stops it.");
    ::setenv("CORVIN_COM1", first.substr(prefix.size()).c_str(), 1);

    RealTimeLoop loop;
    TXmt xmt;
    int arrivals = 0;
    std::vector<std::string> errors;
    {
      THART hart(loop);
      hart.OnDataArrival = [&](TObject*) {
        ++arrivals;
        hart.HandleResponse(xmt);
      };
      hart.OnCommError = [&](TObject*) { errors.push_back(hart.Erreur.GetMessage()); };
      std::string msg;
      hart.OpenPort(1, msg);
      ASSERT_EQ(msg, "Le port de communication n\xB0" "1 est ouvert.");
      // Another address is not answered: the program's identity is what was asked for.
      if (c.askAddressZero) {
        hart.ReadUniqueIdentifier(0);
        ASSERT_TRUE(loop.RunUntil([&] { return !errors.empty(); }, 8000));
        EXPECT_EQ(errors.back(), "No response");
        EXPECT_EQ(arrivals, 0);
      }
      hart.ReadUniqueIdentifier(c.address);
      ASSERT_TRUE(loop.RunUntil([&] { return arrivals > 0; }, 8000)) << ::testing::PrintToString(errors);
      EXPECT_EQ(hart.AnswerCommand, 0);
      EXPECT_EQ(xmt.GetConnected(), 1);
      EXPECT_EQ(xmt.DeviceType, c.deviceType);
      EXPECT_EQ(xmt.DeviceId, 0x010203);
      hart.ClosePort();
    }

    ASSERT_EQ(::kill(sim.Pid(), SIGTERM), 0);
    EXPECT_EQ(sim.WaitEnd(5000), 0);
    // The request to another address is not its own and not counted.
    EXPECT_NE(sim.Out().find("\rrequests: 1\n"), std::string::npos) << sim.Out();
    EXPECT_EQ(sim.Err(), "");
  }
}

// A number out of range, a text that is no number, or one argument too many: the usage, exit
// code 2, and no terminal offered.
TEST(CorvinSim, RefusesArgumentsItCannotTake) {
  const std::vector<std::vector<std::string>> cases = {
      {"16"},      {"abc"},       {"-1"},         {"+5"},   {" 5"}, {"5 "}, {""},       {"0x"},
      {"0x10"},    {"5x"},        {"1.5"},        {"99999999999"}, {"0", "256"}, {"0", "0x100"},
      {"0", "x"},  {"0", "-0"},   {"1", "2", "3"},
  };
  for (const auto& args : cases) {
    SCOPED_TRACE(::testing::PrintToString(args));
    SimProcess sim(args);
    ASSERT_TRUE(sim.Started());
    EXPECT_EQ(sim.WaitEnd(5000), 2);
    EXPECT_EQ(sim.Err(), "usage: corvin-sim [polling address 0-15] [device type 0-255]\n");
    EXPECT_EQ(sim.Out(), "");
  }
}
