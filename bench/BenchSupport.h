#pragma once

// What the benchmarks of the whole program share: the program built as the programs' main()
// builds it, on the Qt event loop, offscreen, with COM1 on a pseudo-terminal whose far end
// the simulated transmitter answers from a child process; the search and the full read as
// the user does them; and the process's own figures.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

class PtyPair;
class QtScheduler;
class QtUiServices;
class TProgram;

namespace bench {

using Clock = std::chrono::steady_clock;

inline double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// VmRSS of this process in MB.
double ResidentMB();
// Open file descriptors of this process (entries of /proc/self/fd, less the one that lists them).
int OpenDescriptors();
// Threads of this process.
int Threads();

// The simulated transmitter on the far end of the pseudo-terminal, in a child process that ends
// with SIGTERM or with its parent. Call it while the calling process has no other thread.
pid_t StartSimulator(PtyPair& pty);

// Runs the Qt event loop for ms milliseconds; nothing but the program wakes it meanwhile.
void RunFor(int ms);
// Runs the Qt event loop until pred holds (looked at every 20 ms); false after timeoutMs.
bool RunUntil(const std::function<bool()>& pred, int timeoutMs);

// A folder of its own under the temporary one, the current folder while it lives, holding the
// ini file that names COM1; it is removed at the end.
class TBenchFolder {
public:
  explicit TBenchFolder(const std::string& prefix);
  ~TBenchFolder();
  TBenchFolder(const TBenchFolder&) = delete;
  TBenchFolder& operator=(const TBenchFolder&) = delete;

private:
  std::filesystem::path dir_;
};

// COM1 opens the near end of the pseudo-terminal; COM2 to COM4 lead nowhere.
void PointPorts(const PtyPair& pty);

// The program's objects as main() builds them, in English with "-notimer" (the port dialog
// confirms COM1 at its first tick), the main window shown and its FormShow run.
std::unique_ptr<TProgram> StartProgram(QtScheduler& scheduler, QtUiServices& ui);

// The search, then "Use this device" (the full read), as the user does them; false when
// either does not end.
bool TakeDevice(TProgram& program);

}  // namespace bench
