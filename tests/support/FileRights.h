#pragma once

// File rights in tests that run as root, as the build machines do: root passes every right,
// so what an ordinary user meets is checked as "nobody", in a child process that gives root
// up or on the calling thread alone.

#include <sys/fsuid.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

// Runs check as a user whom file rights bind (this process when it is not root, else a child
// that became "nobody"). True when check held.
inline bool AsUnprivileged(const std::function<bool()>& check) {
  if (geteuid() != 0) return check();
  const pid_t child = fork();
  if (child == 0) {
    const bool held = setgid(65534) == 0 && setuid(65534) == 0 && check();
    _exit(held ? 0 : 1);
  }
  int status = 0;
  return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// While one lives, the file rights bind the calling thread as they bind "nobody": root gives
// up only its file-system identity, and only on this thread, so windows and their timers go
// on as they were.
class OrdinaryFileRights {
public:
  OrdinaryFileRights() : root_(geteuid() == 0) {
    if (root_) {
      setfsgid(65534);
      setfsuid(65534);
    }
  }
  ~OrdinaryFileRights() {
    if (root_) {
      setfsuid(0);
      setfsgid(0);
    }
  }
  OrdinaryFileRights(const OrdinaryFileRights&) = delete;
  OrdinaryFileRights& operator=(const OrdinaryFileRights&) = delete;

private:
  bool root_;
};
