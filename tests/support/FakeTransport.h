#pragma once

// A transport for tests that behaves like a serial HART modem in virtual time: it records
// every Send, delivers scripted bytes with one receive notification per chunk, and hands
// them out in reads of at most 240 bytes. It knows nothing of HART frames.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "comm/Modem.h"
#include "runtime/Scheduler.h"

class FakeTransport : public TModemTransport {
public:
  explicit FakeTransport(Scheduler& scheduler);
  ~FakeTransport() override;

  struct TSent {
    std::string Bytes;
    std::int64_t AtMs;
  };
  std::vector<TSent> Sent;     // every Send, the first len bytes, with the time it was called
  std::vector<bool> RtsLog;    // every SetRts, in order
  int CloseCount = 0;
  bool AcceptSends = true;     // false: Send records the bytes but reports a failure
  // Line time of one byte for the end-of-transmission notification; 0 fires it right after
  // Send (through the scheduler), otherwise after ceil(len * EndOfTxByteMs) ms.
  double EndOfTxByteMs = 0;

  bool Send(const std::string& bytes, int len) override;
  std::string Receive() override;
  int RxCount() override { return rxCount_; }
  void Close() override { ++CloseCount; }
  void SetRts(bool on) override { RtsLog.push_back(on); }

  // Appends chunk to the pending bytes and notifies once.
  void Deliver(const std::string& chunk);
  void Deliver(std::span<const std::uint8_t> chunk);
  // Delivers bytes at the virtual time atMs (now when it has passed).
  void ScriptAt(std::int64_t atMs, const std::string& bytes);
  void FireCDChange();

  // Bytes not yet taken by Receive.
  const std::string& Pending() const { return pending_; }
  // The last Send as a byte string; empty when nothing was sent.
  std::string LastSent() const { return Sent.empty() ? std::string() : Sent.back().Bytes; }

  // A delivery callback for a simulated line: each chunk goes to Deliver.
  std::function<void(std::vector<std::uint8_t>)> Deliverer();
  // Every later Send also goes to line.MasterSent (a SimLine, or anything with that call).
  template <class Line>
  void Attach(Line& line) {
    sendRoute_ = [&line](const std::string& bytes) {
      line.MasterSent(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    };
  }

private:
  Scheduler& scheduler_;
  std::string pending_;
  int rxCount_ = 0;
  std::function<void(const std::string&)> sendRoute_;
  std::vector<Scheduler::TaskId> tasks_;
};
