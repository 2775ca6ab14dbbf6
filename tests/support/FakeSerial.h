#pragma once

// Serial test doubles: a pseudo-terminal pair that stands in for a serial HART modem (the
// program opens the near end through CORVIN_COMn, the test talks on the far end), and a
// back-end wrapper that records every RTS/DTR change and every drain.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <termios.h>
#include <thread>
#include <algorithm>
#include <chrono>
#include <vector>

#include "comm/SerialBackend.h"
#include "runtime/Scheduler.h"
#include "support/SimLine.h"
#include "support/VirtualScheduler.h"

class PtyPair {
public:
  PtyPair();
  ~PtyPair();
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  bool Ok() const { return far_ >= 0; }
  // The near end's device path.
  const std::string& Path() const { return path_; }
  // Makes COMn open the near end.
  void PointCom(int n) const;

  // Writes on the far end; true when every byte was taken.
  bool WriteFar(const std::string& bytes);
  // Reads from the far end until n bytes came or timeoutMs passed; gives what came.
  std::string ReadFar(std::size_t n, int timeoutMs);
  // Waits at most timeoutMs for bytes on the far end and gives those that are there.
  std::string ReadFarSome(int timeoutMs);
  // The far end goes away: the near end sees a hang-up.
  void CloseFar();
  // The line settings the program gave the near end; false when they cannot be read.
  bool NearSettings(termios& settings) const;

private:
  int far_ = -1;
  int nearHold_ = -1;  // keeps the near end in being while the program has it closed
  std::string path_;
};

// A simulated HART line on the far end of a pseudo-terminal, in real time: what the program's
// port writes is handed to the line on the scheduler's thread, and the answer bytes the line
// delivers, at its pace, are written on the far end.
class PtyLine {
public:
  PtyLine(Scheduler& scheduler, PtyPair& pty, SimTransmitter& transmitter);
  ~PtyLine();
  PtyLine(const PtyLine&) = delete;
  PtyLine& operator=(const PtyLine&) = delete;

  SimLine& Line() { return line_; }
  // Runs on the scheduler's thread after each chunk of an answer was written on the far end.
  std::function<void(const std::vector<std::uint8_t>&)> OnDelivered;

private:
  PtyPair& pty_;
  TPostGate gate_;
  SimLine line_;
  std::atomic<bool> stop_{false};
  std::thread reader_;
};

// Points COMn at a path that does not exist.
void PointComNowhere(int n);

// Forwards to a real back-end and records the modem-control lines and the drains.
class RecordingSerial : public SerialBackend {
public:
  explicit RecordingSerial(std::unique_ptr<SerialBackend> inner = MakeSerialBackend());

  struct TChange {
    char Line;  // 'R' (RTS) or 'D' (DTR)
    bool On;
  };
  std::vector<TChange> Changes() const;
  // The RTS changes alone, in order.
  std::vector<bool> RtsLog() const;
  // The last RTS value set; false before any.
  bool Rts() const;

  // While held, a drain does not return until Release (the port "still sends").
  void HoldDrains();
  void ReleaseDrains();
  // Waits in real time until count drains have returned.
  bool WaitDrains(int count, int timeoutMs);
  int Drains() const;
  // Waits in real time until count drains have returned and the end-of-transmission thread
  // has posted its hand-over of the last one to sched; the hand-over is left to run. False
  // after timeoutMs.
  bool WaitDrainHandedOver(VirtualScheduler& sched, int count, int timeoutMs = 5000);

  bool Open(const std::string& path) override { return inner_->Open(path); }
  bool IsOpen() const override { return inner_->IsOpen(); }
  int Handle() const override { return inner_->Handle(); }
  bool CanOpen(const std::string& path) override { return inner_->CanOpen(path); }
  bool Configure(const TSerialLine& line) override { return inner_->Configure(line); }
  void Purge(bool input, bool output) override;
  bool SetRTS(bool on) override;
  bool SetDTR(bool on) override;
  bool ModemLines(unsigned& lines) override { return inner_->ModemLines(lines); }
  TSerialWait Wait(int timeoutMs, bool watchPort) override { return inner_->Wait(timeoutMs, watchPort); }
  void Wake() override { inner_->Wake(); }
  int Read(std::uint8_t* buf, int max, bool& lineError) override { return inner_->Read(buf, max, lineError); }
  int Write(const std::uint8_t* buf, int n) override { return inner_->Write(buf, n); }
  bool Drain() override;
  void Close() override { inner_->Close(); }
  unsigned Unsupported() const override { return inner_->Unsupported(); }

private:
  std::unique_ptr<SerialBackend> inner_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<TChange> changes_;
  bool hold_ = false;
  int drains_ = 0;
};

// A serial back-end that reaches no device: it records every path it is asked about and
// every byte written, and opens only the path it is told is there.
class ProbeSerial : public SerialBackend {
public:
  explicit ProbeSerial(std::string present) : present_{std::move(present)} {}
  // Several paths that are there (none for an empty list).
  explicit ProbeSerial(std::vector<std::string> present) : present_(std::move(present)) {}

  std::vector<std::string> Asked() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return asked_;
  }
  std::string Written() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return written_;
  }

  bool Open(const std::string& path) override {
    std::lock_guard<std::mutex> lock(mutex_);
    asked_.push_back("open " + path);
    open_ = IsPresent(path);
    return open_;
  }
  bool IsOpen() const override {
    std::lock_guard<std::mutex> lock(mutex_);
    return open_;
  }
  int Handle() const override { return -1; }
  bool CanOpen(const std::string& path) override {
    std::lock_guard<std::mutex> lock(mutex_);
    asked_.push_back("probe " + path);
    return IsPresent(path);
  }
  bool Configure(const TSerialLine&) override { return true; }
  void Purge(bool, bool) override {}
  bool SetRTS(bool) override { return false; }
  bool SetDTR(bool) override { return false; }
  bool ModemLines(unsigned&) override { return false; }
  TSerialWait Wait(int timeoutMs, bool) override {
    std::unique_lock<std::mutex> lock(mutex_);
    auto woken = [this] { return woken_; };
    if (timeoutMs < 0)
      wake_.wait(lock, woken);
    else
      wake_.wait_for(lock, std::chrono::milliseconds(timeoutMs), woken);
    const bool was = woken_;
    woken_ = false;
    return was ? TSerialWait::Woken : TSerialWait::Timeout;
  }
  void Wake() override {
    std::lock_guard<std::mutex> lock(mutex_);
    woken_ = true;
    wake_.notify_all();
  }
  int Read(std::uint8_t*, int, bool&) override { return 0; }
  int Write(const std::uint8_t* buf, int n) override {
    std::lock_guard<std::mutex> lock(mutex_);
    written_.append(reinterpret_cast<const char*>(buf), static_cast<std::size_t>(n));
    return n;
  }
  bool Drain() override { return true; }
  void Close() override {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = false;
  }
  unsigned Unsupported() const override { return suModemControl | suModemStatus; }

private:
  bool IsPresent(const std::string& path) const {
    return std::find(present_.begin(), present_.end(), path) != present_.end();
  }

  const std::vector<std::string> present_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::vector<std::string> asked_;
  std::string written_;
  bool open_ = false;
  bool woken_ = false;
};

