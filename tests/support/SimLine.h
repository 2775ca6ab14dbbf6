#pragma once

// The timing of a HART line between the master's modem and a simulated transmitter, on a
// Scheduler (virtual time in the HART tests, real time in the end-to-end tests).

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <span>
#include <vector>

#include "SimTransmitter.h"
#include "runtime/Scheduler.h"

class SimLine {
public:
  SimLine(Scheduler& s, SimTransmitter& t, std::function<void(std::vector<std::uint8_t>)> deliver);
  ~SimLine();  // withdraws every delivery still to come
  SimLine(const SimLine&) = delete;
  SimLine& operator=(const SimLine&) = delete;

  double ByteTimeMs = 11000.0 / 1200.0;  // 1200 bit/s, 11 bits a character: ~9.17 ms
  int TurnaroundMs = 20;                 // after the request's last byte left the line
  int ChunkBytes = 1;                    // bytes per delivery (one notification each)

  // Call when the master hands bytes to its modem: the request occupies the line for
  // bytes.size() * ByteTimeMs (after what the master sent before, when that is still on the
  // line); the transmitter reads it when its last byte has arrived; the answer starts
  // TurnaroundMs (+ Faults.ExtraDelayMs) after that, and its bytes are delivered in
  // ChunkBytes pieces, each at the first whole millisecond at which its last byte has
  // arrived. Deliveries go through Scheduler::Schedule (called on the scheduler's thread).
  void MasterSent(std::span<const std::uint8_t> bytes);

private:
  // Runs fn at the first whole millisecond at or after the time atMs.
  void At(double atMs, std::function<void()> fn);

  Scheduler& scheduler_;
  SimTransmitter& transmitter_;
  std::function<void(std::vector<std::uint8_t>)> deliver_;
  double masterFreeAt_ = 0;  // when the master's bytes sent so far have left the line
  std::set<Scheduler::TaskId> scheduled_;
};
