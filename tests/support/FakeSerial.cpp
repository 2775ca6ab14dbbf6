#include "support/FakeSerial.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cerrno>

PtyPair::PtyPair() {
  const int far = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (far < 0) return;
  char name[128];
  if (::grantpt(far) != 0 || ::unlockpt(far) != 0 || ::ptsname_r(far, name, sizeof name) != 0) {
    ::close(far);
    return;
  }
  path_ = name;
  nearHold_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  // The far end is raw too, so that every byte passes both ways unchanged.
  termios t{};
  if (::tcgetattr(far, &t) == 0) {
    ::cfmakeraw(&t);
    ::tcsetattr(far, TCSANOW, &t);
  }
  ::fcntl(far, F_SETFL, ::fcntl(far, F_GETFL) | O_NONBLOCK);
  far_ = far;
}

PtyPair::~PtyPair() {
  CloseFar();
  if (nearHold_ >= 0) ::close(nearHold_);
}

void PtyPair::PointCom(int n) const { ::setenv(("CORVIN_COM" + std::to_string(n)).c_str(), path_.c_str(), 1); }

void PointComNowhere(int n) {
  ::setenv(("CORVIN_COM" + std::to_string(n)).c_str(), ("/nonexistent/corvin-com" + std::to_string(n)).c_str(), 1);
}

bool PtyPair::WriteFar(const std::string& bytes) {
  std::size_t done = 0;
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (far_ >= 0 && done < bytes.size()) {
    const ssize_t w = ::write(far_, bytes.data() + done, bytes.size() - done);
    if (w > 0) {
      done += static_cast<std::size_t>(w);
    } else if (w < 0 && errno != EAGAIN && errno != EINTR) {
      return false;
    } else {
      if (std::chrono::steady_clock::now() > until) return false;
      pollfd p{far_, POLLOUT, 0};
      ::poll(&p, 1, 10);
    }
  }
  return done == bytes.size();
}

std::string PtyPair::ReadFar(std::size_t n, int timeoutMs) {
  std::string got;
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (far_ >= 0 && got.size() < n) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd p{far_, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
    char buf[512];
    const ssize_t r = ::read(far_, buf, std::min(sizeof buf, n - got.size()));
    if (r > 0) {
      got.append(buf, static_cast<std::size_t>(r));
    } else if (r == 0 || (errno != EAGAIN && errno != EINTR)) {
      // Nobody has the near end open: wait for the program to open it.
      ::poll(nullptr, 0, 5);
    }
  }
  return got;
}

std::string PtyPair::ReadFarSome(int timeoutMs) {
  if (far_ < 0) return {};
  pollfd p{far_, POLLIN, 0};
  if (::poll(&p, 1, timeoutMs) <= 0) return {};
  char buf[512];
  const ssize_t r = ::read(far_, buf, sizeof buf);
  if (r > 0) return std::string(buf, static_cast<std::size_t>(r));
  if (r == 0 || (errno != EAGAIN && errno != EINTR)) ::poll(nullptr, 0, 5);  // the near end is closed
  return {};
}

bool PtyPair::NearSettings(termios& settings) const { return nearHold_ >= 0 && ::tcgetattr(nearHold_, &settings) == 0; }

void PtyPair::CloseFar() {
  if (far_ >= 0) ::close(far_);
  far_ = -1;
}

PtyLine::PtyLine(Scheduler& scheduler, PtyPair& pty, SimTransmitter& transmitter)
    : pty_(pty),
      gate_(scheduler),
      line_(scheduler, transmitter, [this](std::vector<std::uint8_t> chunk) {
        pty_.WriteFar(std::string(chunk.begin(), chunk.end()));
        if (OnDelivered) OnDelivered(chunk);
      }) {
  reader_ = std::thread([this] {
    while (!stop_) {
      const std::string bytes = pty_.ReadFarSome(20);
      if (bytes.empty()) continue;
      gate_.Post([this, bytes] {
        line_.MasterSent(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
      });
    }
  });
}

PtyLine::~PtyLine() {
  stop_ = true;
  reader_.join();
  gate_.Close();
}

RecordingSerial::RecordingSerial(std::unique_ptr<SerialBackend> inner) : inner_(std::move(inner)) {}

std::vector<RecordingSerial::TChange> RecordingSerial::Changes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return changes_;
}

std::vector<bool> RecordingSerial::RtsLog() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<bool> log;
  for (const auto& c : changes_)
    if (c.Line == 'R') log.push_back(c.On);
  return log;
}

bool RecordingSerial::Rts() const {
  const auto log = RtsLog();
  return !log.empty() && log.back();
}

bool RecordingSerial::SetRTS(bool on) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    changes_.push_back({'R', on});
  }
  return inner_->SetRTS(on);
}

bool RecordingSerial::SetDTR(bool on) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    changes_.push_back({'D', on});
  }
  return inner_->SetDTR(on);
}

void RecordingSerial::Purge(bool input, bool output) {
  if (output) ReleaseDrains();  // a purge of the output ends a drain
  inner_->Purge(input, output);
}

void RecordingSerial::HoldDrains() {
  std::lock_guard<std::mutex> lock(mutex_);
  hold_ = true;
}

void RecordingSerial::ReleaseDrains() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    hold_ = false;
  }
  changed_.notify_all();
}

bool RecordingSerial::Drain() {
  const bool ok = inner_->Drain();
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return !hold_; });
  ++drains_;
  changed_.notify_all();
  return ok;
}

bool RecordingSerial::WaitDrains(int count, int timeoutMs) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return drains_ >= count; });
}

int RecordingSerial::Drains() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return drains_;
}

bool RecordingSerial::WaitDrainHandedOver(VirtualScheduler& sched, int count, int timeoutMs) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  if (!WaitDrains(count, timeoutMs)) return false;
  // The drain returns before its thread posts the hand-over.
  while (sched.Posted() == 0) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}
