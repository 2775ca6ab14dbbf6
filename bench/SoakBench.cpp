// A soak of the whole program: its objects built as the programs' main() builds them, on the
// offscreen platform, polling the simulated transmitter on a pseudo-terminal for a given time
// while the line is disturbed three times:
//  1. the transmitter stops answering and comes back: its process is killed (a device losing
//     power, mid-answer perhaps) and a fresh one started on the same line;
//  2. noise: random bytes in bursts of random length and spacing, written on the far end of
//     the line for a few seconds while the transmitter goes on answering;
//  3. the transmitter stops and comes back again, for longer.
// The modem stays connected meanwhile: the far end of the pseudo-terminal is held open while
// no simulator runs, and what the program sends then is lost, as on a loop without a device.
// With "unplug", the third disturbance is the modem pulled out and plugged back instead: the
// near end is hung up, as the kernel does for a USB serial adapter that goes away, and the
// device answers again on the same port (a pseudo-terminal's device node stays in place). The
// program keeps a port that went away closed until the user opens it again: the soak then does
// what the user does, System > Setup and the search.
//
// It prints the exchanges done, the link errors reported (the link's OnCommError, by text),
// for each disturbance whether the polling was answered again after it and how long after its
// end that took, and the resident memory, open file descriptors and threads at the start and
// the end of the soak (and before the first disturbance, and each minute).
//
//   soak_bench [seconds=600] [unplug]

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <poll.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "BenchSupport.h"
#include "app/Program.h"
#include "app/commcfg.h"
#include "app/QtScheduler.h"
#include "app/QtUiServices.h"
#include "app/main.h"
#include "support/FakeSerial.h"

using bench::Clock;
using bench::Ms;

namespace {

double Seconds(Clock::duration d) { return Ms(d) / 1000.0; }

std::string Fixed(double v, int decimals) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  return text;
}

// The far end of the line, in a child process started while this one has no other thread, so
// that it may fork the simulator at any time: it starts the simulator (a fresh process each
// time, as a device powering up) and kills it, throws away what the program sends while no
// simulator listens, writes noise, and hangs up the near end. Each command is one packet on a
// socket pair, answered once done with the moment it was done (the steady clock is the same in
// every process) and a count.
class TLineControl {
public:
  enum : char { Start = 'S', Kill = 'K', Noise = 'N', Hangup = 'H', Quit = 'Q' };
  struct TDone {
    bool Ok = false;
    Clock::time_point At{};
    long long Count = 0;  // Start: the simulator's process id; Noise: the bytes written
  };

  explicit TLineControl(PtyPair& pty) {
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) != 0) return;
    const pid_t parent = ::getpid();
    std::fflush(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(pair[0]);
      ::prctl(PR_SET_PDEATHSIG, SIGKILL);
      if (::getppid() != parent) ::_exit(0);
      Serve(pty, pair[1]);
      ::_exit(0);
    }
    ::close(pair[1]);
    if (pid_ > 0) sock_ = pair[0];
    else ::close(pair[0]);
  }

  ~TLineControl() {
    if (sock_ < 0) return;
    Do(Quit);
    ::close(sock_);
    ::waitpid(pid_, nullptr, 0);
  }

  TLineControl(const TLineControl&) = delete;
  TLineControl& operator=(const TLineControl&) = delete;

  bool Ok() const { return sock_ >= 0; }

  // Sends the command and waits for its answer, on the Qt event loop once there is one.
  TDone Do(char command, std::int32_t arg = 0) {
    TDone done;
    char request[5] = {command};
    std::memcpy(request + 1, &arg, sizeof arg);
    if (sock_ < 0 || ::send(sock_, request, sizeof request, MSG_NOSIGNAL) != sizeof request) return done;
    auto answered = [this] {
      pollfd p{sock_, POLLIN, 0};
      return ::poll(&p, 1, 0) > 0;
    };
    const int timeoutMs = (command == Noise ? arg : 0) + 15000;
    const bool ready = QCoreApplication::instance() != nullptr ? bench::RunUntil(answered, timeoutMs)
                                                               : [&] {
                                                                   pollfd p{sock_, POLLIN, 0};
                                                                   return ::poll(&p, 1, timeoutMs) > 0;
                                                                 }();
    std::int64_t reply[3] = {};
    if (!ready || ::recv(sock_, reply, sizeof reply, 0) != sizeof reply) return done;
    done.Ok = reply[0] != 0;
    done.At = Clock::time_point(Clock::duration(reply[1]));
    done.Count = reply[2];
    return done;
  }

private:
  static void Serve(PtyPair& pty, int sock) {
    pid_t simulator = -1;
    std::mt19937 random(20240315);
    auto stop = [&](int signal) {
      if (simulator <= 0) return;
      ::kill(simulator, signal);
      ::waitpid(simulator, nullptr, 0);
      simulator = -1;
    };
    for (;;) {
      pollfd p{sock, POLLIN, 0};
      const int r = ::poll(&p, 1, simulator > 0 ? -1 : 0);
      if (r == 0) {
        pty.ReadFarSome(50);  // nobody answers: what the program sends is lost on the loop
        continue;
      }
      if (r < 0) continue;
      char request[5];
      if (::recv(sock, request, sizeof request, 0) != sizeof request) break;  // the program is gone
      std::int32_t arg = 0;
      std::memcpy(&arg, request + 1, sizeof arg);
      bool ok = true;
      long long count = 0;
      switch (request[0]) {
        case Start:
          stop(SIGKILL);
          simulator = bench::StartSimulator(pty);
          ok = simulator > 0;
          count = simulator;
          break;
        case Kill:
          ok = simulator > 0;
          stop(SIGKILL);
          break;
        case Noise: {
          // Bursts of 1 to 32 bytes, 0 to 250 ms apart: some run together, others stand
          // apart long enough to be taken as an answer; about the line's own byte rate.
          std::uniform_int_distribution<int> length(1, 32), gap(0, 250), byte(0, 255);
          const Clock::time_point until = Clock::now() + std::chrono::milliseconds(arg);
          while (Clock::now() < until) {
            std::string burst(static_cast<std::size_t>(length(random)), '\0');
            for (char& c : burst) c = static_cast<char>(byte(random));
            if (pty.WriteFar(burst)) count += static_cast<long long>(burst.size());
            std::this_thread::sleep_for(std::chrono::milliseconds(gap(random)));
          }
          break;
        }
        case Hangup: {
          // What the kernel does to the open ports of a USB serial adapter pulled out.
          const int fd = ::open(pty.Path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
          ok = fd >= 0 && ::ioctl(fd, TIOCVHANGUP) == 0;
          if (fd >= 0) ::close(fd);
          break;
        }
        case Quit:
          stop(SIGTERM);
          break;
        default:
          ok = false;
          break;
      }
      const std::int64_t reply[3] = {ok ? 1 : 0, Clock::now().time_since_epoch().count(), count};
      if (::send(sock, reply, sizeof reply, MSG_NOSIGNAL) != sizeof reply || request[0] == Quit) break;
    }
    stop(SIGTERM);
  }

  pid_t pid_ = -1;
  int sock_ = -1;
};

// One disturbance of the line and what the program did through it.
struct TDisturbance {
  std::string Name;
  char Command = 0;
  double At = 0, Lasts = 0;  // planned, in seconds from the soak's start
  bool Done = false;         // its command was carried out
  Clock::time_point Begin{}, End{};
  bool Ended = false;
  std::map<std::string, int> Errors;  // link errors from its beginning to its recovery
  int AnswersDuring = 0;              // answers between its beginning and its end
  bool Disconnected = false;          // the window showed "* Disconnected *"
  std::optional<Clock::time_point> Recovered;       // the first answer after its end
  long long AnswersAtRecovery = 0;
  std::optional<Clock::time_point> ConnectedAgain;  // "* Connected *" shown again
  long long NoiseBytes = 0;
  bool UserSetup = false;  // the user opened the port again and took the device
};

TDisturbance Planned(const std::string& name, char command, double at, double lasts) {
  TDisturbance d;
  d.Name = name;
  d.Command = command;
  d.At = at;
  d.Lasts = lasts;
  return d;
}

// What the link and the model reported during the soak.
struct TSoak {
  std::vector<TDisturbance> Disturbances;
  int Active = -1;  // the disturbance that began last and has not been recovered from
  long long Requests = 0, Answers = 0;
  std::array<long long, 3> Polled{};  // answers to commands 1 and 2
  std::map<std::string, int> Errors, Unexpected;
  int UnexpectedDisconnects = 0;
};

std::string ErrorText(const THART& link) {
  const std::string& text = link.Erreur.GetMessage();
  return text.empty() ? "(no text, code " + std::to_string(link.Erreur.GetCode()) + ")" : text;
}

// The counts of a map of texts, "text" x n, ...
std::string Listed(const std::map<std::string, int>& counts) {
  if (counts.empty()) return "none";
  std::string s;
  for (const auto& [text, n] : counts) s += (s.empty() ? "\"" : ", \"") + text + "\" x" + std::to_string(n);
  return s;
}

const char* Met(bool ok) { return ok ? "yes" : "NO"; }

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::max(60, std::atoi(argv[1])) : 600;
  const bool unplug = argc > 2 && std::string(argv[2]) == "unplug";
  if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);

  PtyPair pty;
  if (!pty.Ok()) {
    std::fprintf(stderr, "no pseudo-terminal available\n");
    return 1;
  }
  std::optional<bench::TBenchFolder> folder(std::in_place, "corvin-soak");
  bench::PointPorts(pty);
  auto line = std::make_unique<TLineControl>(pty);
  if (!line->Ok() || !line->Do(TLineControl::Start).Ok) {
    std::fprintf(stderr, "the simulator did not start\n");
    return 1;
  }

  int qtArgc = 1;
  QApplication application(qtArgc, argv);
  QtScheduler scheduler;
  QtUiServices ui;
  auto program = bench::StartProgram(scheduler, ui);
  TMainForm& m = program->MainForm();
  bench::RunFor(2000);  // the port dialog's end and the first paints
  if (!bench::TakeDevice(*program)) {
    std::fprintf(stderr, "failed: the search or the full read did not end\n");
    return 1;
  }
  m.TabbedNotebook->SetPageIndex(1);
  bench::RunFor(2000);

  // The plan, scaled to the soak's length: 15, 5 and 40 s at the default 10 minutes.
  const double d = seconds;
  TSoak soak;
  const char* stopped = "transmitter stopped, then restarted";
  soak.Disturbances.push_back(Planned(stopped, TLineControl::Kill, 0.15 * d, std::clamp(d / 40, 4.0, 15.0)));
  soak.Disturbances.push_back(Planned("noise on the line", TLineControl::Noise, 0.40 * d, std::clamp(d / 120, 2.0, 5.0)));
  soak.Disturbances.push_back(unplug ? Planned("modem unplugged, then plugged back", TLineControl::Hangup, 0.65 * d,
                                               std::clamp(d / 15, 4.0, 40.0))
                                     : Planned(stopped, TLineControl::Kill, 0.65 * d, std::clamp(d / 15, 4.0, 40.0)));

  // The link's and the model's events, counted on their way to the window.
  THART& link = *m.MainHart;
  const TNotifyEvent sent = link.OnSendComplete, arrival = link.OnDataArrival, error = link.OnCommError;
  const TNotifyEvent connect = m.Transmetteur.OnConnect, disconnect = m.Transmetteur.OnDisconnect;
  auto active = [&soak]() -> TDisturbance* {
    return soak.Active >= 0 ? &soak.Disturbances[static_cast<std::size_t>(soak.Active)] : nullptr;
  };
  link.OnSendComplete = [&, sent](TObject* s) {
    sent(s);
    ++soak.Requests;
  };
  link.OnDataArrival = [&, arrival](TObject* s) {
    arrival(s);  // CommDataArrival
    const Clock::time_point now = Clock::now();
    ++soak.Answers;
    if (link.AnswerCommand == 1 || link.AnswerCommand == 2) ++soak.Polled[link.AnswerCommand];
    if (TDisturbance* a = active()) {
      if (a->Ended) {
        a->Recovered = now;
        a->AnswersAtRecovery = soak.Answers;
        soak.Active = -1;
      } else {
        ++a->AnswersDuring;
      }
    }
  };
  link.OnCommError = [&, error](TObject* s) {
    error(s);
    const std::string text = ErrorText(link);
    ++soak.Errors[text];
    if (TDisturbance* a = active())
      ++a->Errors[text];
    else
      ++soak.Unexpected[text];
  };
  m.Transmetteur.OnConnect = [&, connect](TObject* s) {
    connect(s);
    if (TDisturbance* a = active(); a && a->Disconnected) a->ConnectedAgain = Clock::now();
  };
  m.Transmetteur.OnDisconnect = [&, disconnect](TObject* s) {
    disconnect(s);
    if (TDisturbance* a = active())
      a->Disconnected = true;
    else
      ++soak.UnexpectedDisconnects;
  };

  // Memory, descriptors and threads at the start, before the first disturbance (the reference:
  // Qt's pool threads left from the start-up have ended by then), each minute and at the end.
  struct TSample {
    std::string When;
    double ResidentMB;
    int Descriptors, Threads;
  };
  std::vector<TSample> samples;
  samples.reserve(static_cast<std::size_t>(seconds / 60 + 4));
  const Clock::time_point t0 = Clock::now();
  auto sample = [&](std::string when) {
    samples.push_back({std::move(when), bench::ResidentMB(), bench::OpenDescriptors(), bench::Threads()});
  };
  sample("start of the soak");
  Clock::time_point nextSample = t0 + std::chrono::seconds(60);
  auto runUntil = [&](Clock::time_point until) {
    for (Clock::time_point now = Clock::now(); now < until; now = Clock::now()) {
      bench::RunFor(std::max(1, static_cast<int>(Ms(std::min(until, nextSample) - now))));
      if (Clock::now() >= nextSample) {
        sample(Fixed(Seconds(nextSample - t0) / 60.0, 0) + " min");
        nextSample += std::chrono::seconds(60);
      }
    }
  };
  auto at = [t0](double s) { return t0 + std::chrono::milliseconds(static_cast<long long>(s * 1000)); };
  long long answersBeforeFirst = 0;
  std::size_t reference = 0;

  for (std::size_t i = 0; i < soak.Disturbances.size(); ++i) {
    TDisturbance& dist = soak.Disturbances[i];
    runUntil(at(dist.At));
    if (i == 0) {
      answersBeforeFirst = soak.Answers;
      sample("before the first disturbance");
      reference = samples.size() - 1;
    }
    soak.Active = static_cast<int>(i);
    const int lastsMs = static_cast<int>(dist.Lasts * 1000);
    if (dist.Command == TLineControl::Noise) {
      dist.Begin = Clock::now();
      const TLineControl::TDone done = line->Do(TLineControl::Noise, lastsMs);
      dist.Done = done.Ok;
      dist.End = done.Ok ? done.At : Clock::now();
      dist.NoiseBytes = done.Count;
    } else {
      const TLineControl::TDone done = line->Do(dist.Command);
      dist.Done = done.Ok;
      dist.Begin = done.Ok ? done.At : Clock::now();
      runUntil(dist.Begin + std::chrono::milliseconds(lastsMs));
      if (dist.Command == TLineControl::Kill) {
        const TLineControl::TDone restarted = line->Do(TLineControl::Start);
        dist.Done = dist.Done && restarted.Ok;
        dist.End = restarted.Ok ? restarted.At : Clock::now();
      } else {
        dist.End = Clock::now();  // the device node is there again at once
      }
    }
    dist.Ended = true;
    if (dist.Command == TLineControl::Hangup) {
      // A port that went away stays closed until the user opens it again, as a technician
      // does: a moment later, the search page (Setup is refused while the measures are polled),
      // System > Setup, OK on COM1, then the search and "Use this device".
      runUntil(Clock::now() + std::chrono::seconds(2));
      m.TabbedNotebook->SetPageIndex(0);
      QTimer look;
      QObject::connect(&look, &QTimer::timeout, [&] {
        TCfgForm& cfg = *program->Forms.CfgForm;
        if (cfg.isVisible()) cfg.BtnOK->click();
      });
      look.start(500);
      m.ConfigurationMenu->trigger();
      look.stop();
      dist.UserSetup = bench::TakeDevice(*program);
      m.TabbedNotebook->SetPageIndex(1);
    }
  }
  runUntil(at(d));
  const Clock::time_point tEnd = Clock::now();
  sample("end of the soak");
  const std::string connectedAtEnd = m.Connect->Caption();
  const std::string portAtEnd = link.SerialPort ? link.SerialPort->StatusText() : std::string();

  link.OnSendComplete = sent;
  link.OnDataArrival = arrival;
  link.OnCommError = error;
  m.Transmetteur.OnConnect = connect;
  m.Transmetteur.OnDisconnect = disconnect;
  m.FormClose();
  program.reset();
  line.reset();
  folder.reset();

  // Answers a minute before the first disturbance and after the recovery from the last one.
  const TDisturbance& last = soak.Disturbances.back();
  const double rateBefore = 60.0 * static_cast<double>(answersBeforeFirst) / soak.Disturbances.front().At;
  bool allRecovered = true;
  for (const TDisturbance& dist : soak.Disturbances)
    allRecovered = allRecovered && dist.Done && dist.Recovered && (dist.Command != TLineControl::Hangup || dist.UserSetup);

  double loadAverage = 0;
  ::getloadavg(&loadAverage, 1);
  std::printf("Soak of the whole program, offscreen, polling the simulated transmitter on a pseudo-terminal:\n"
              "%d s (%.1f s measured) on the transmitter page; machine load average %.1f on %ld cores at the end.\n"
              "Stopped transmitter: its process killed and a fresh one started on the same line, the far end\n"
              "held open meanwhile (the modem stays connected; what the program sends is lost).\n%s\n",
              seconds, Seconds(tEnd - t0), loadAverage, ::sysconf(_SC_NPROCESSORS_ONLN),
              unplug ? "Unplugged modem: the near end hung up (TIOCVHANGUP, as for a USB serial adapter pulled out);\n"
                       "the same device can be opened again at once, the transmitter answering on it.\n"
                     : "");
  std::printf("Exchanges done: %lld answers (command 1: %lld, command 2: %lld) to %lld requests sent.\n", soak.Answers,
              soak.Polled[1], soak.Polled[2], soak.Requests);
  std::printf("Answers a minute: %.1f before the first disturbance", rateBefore);
  if (last.Recovered)
    std::printf(", %.1f after the recovery from the last one",
                60.0 * static_cast<double>(soak.Answers - last.AnswersAtRecovery) / Seconds(tEnd - *last.Recovered));
  std::printf(".\n\n");

  std::printf("| disturbance | from | lasted | link errors reported (OnCommError) | answers during | window | "
              "polling answered again |\n|---|---|---|---|---|---|---|\n");
  for (std::size_t i = 0; i < soak.Disturbances.size(); ++i) {
    const TDisturbance& dist = soak.Disturbances[i];
    std::string window = dist.Disconnected ? "\"* Disconnected *\"" : "stayed connected";
    if (dist.Disconnected)
      window += dist.ConnectedAgain
                    ? ", \"* Connected *\" again " + Fixed(Seconds(*dist.ConnectedAgain - dist.End), 2) + " s after its end"
                    : ", never connected again";
    std::string recovered = !dist.Done ? "NOT CARRIED OUT"
                            : dist.Recovered
                                ? "yes, " + Fixed(Seconds(*dist.Recovered - dist.End), 2) + " s after its end"
                                : "NO";
    if (dist.Command == TLineControl::Hangup)
      recovered += dist.UserSetup ? ", after the user's Setup and search" : ", the user's Setup and search failed";
    std::string name = dist.Name;
    if (dist.Command == TLineControl::Noise) name += " (" + std::to_string(dist.NoiseBytes) + " bytes)";
    std::printf("| %zu. %s | %.1f s | %.1f s | %s | %d | %s | %s |\n", i + 1, name.c_str(), Seconds(dist.Begin - t0),
                Seconds(dist.End - dist.Begin), Listed(dist.Errors).c_str(), dist.AnswersDuring, window.c_str(),
                recovered.c_str());
  }
  std::printf("\nLink errors reported, all: %s.\n", Listed(soak.Errors).c_str());
  std::printf("Outside the disturbances: errors %s; disconnections %d.\n", Listed(soak.Unexpected).c_str(),
              soak.UnexpectedDisconnects);
  std::printf("At the end: the window shows \"%s\"; the serial port's status \"%s\".\n\n", connectedAtEnd.c_str(),
              QString::fromLatin1(portAtEnd.c_str()).toUtf8().constData());

  std::printf("| at | resident memory (VmRSS) | open file descriptors | threads |\n|---|---|---|---|\n");
  for (const TSample& at : samples)
    std::printf("| %s | %.2f MB | %d | %d |\n", at.When.c_str(), at.ResidentMB, at.Descriptors, at.Threads);
  const TSample& before = samples[reference];
  const TSample& after = samples.back();
  std::printf("From before the first disturbance to the end: %+.2f MB, %+d descriptors, %+d threads.\n\n",
              after.ResidentMB - before.ResidentMB, after.Descriptors - before.Descriptors,
              after.Threads - before.Threads);

  const bool memoryFlat = after.ResidentMB - before.ResidentMB < 1.0;
  const bool descriptorsFlat = after.Descriptors <= before.Descriptors && after.Threads <= before.Threads;
  std::printf("| aim | met |\n|---|---|\n");
  std::printf("| polling answered again after every disturbance, without any user action%s | %s |\n",
              unplug ? " (the unplugged modem: once the user has opened the port again with Setup)" : "",
              Met(allRecovered));
  std::printf("| no link error and no disconnection outside the disturbances | %s |\n",
              Met(soak.Unexpected.empty() && soak.UnexpectedDisconnects == 0));
  std::printf("| resident memory does not grow (under 1 MB more at the end than before the first disturbance) "
              "| %s |\n", Met(memoryFlat));
  std::printf("| open file descriptors and threads do not grow | %s |\n", Met(descriptorsFlat));
  return allRecovered && soak.Unexpected.empty() && memoryFlat && descriptorsFlat ? 0 : 1;
}
