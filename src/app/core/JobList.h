#pragma once

// The job list: the one channel between the windows and the HART link. The main window's
// sequencer runs one job per tick from it; the windows and the answer dispatch fill it.
// Also the device-type capabilities that decide which device-specific jobs a transmitter
// understands.

#include <array>
#include <cstdint>
#include <initializer_list>

class TXmt;

// Control codes and the job codes other code names.
namespace Job {
constexpr std::int32_t Idle = 0;
constexpr std::int32_t EndOfSequence = 500;
constexpr std::int32_t Restart = 501;
constexpr std::int32_t JumpFirst = 2000;  // 2000..2020: relative jumps of code - 2010 slots
constexpr std::int32_t JumpLast = 2020;
constexpr std::int32_t LastSearchJob = 104;  // jobs 0..104 carry on while the link fails
}  // namespace Job

class TJobList {
public:
  static constexpr int Slots = 26;  // at most 25 jobs and the terminating 0

  std::array<std::int32_t, Slots> List{};
  std::int32_t JobIndex = 0;
  std::int32_t CurrentJob = 0;
  std::int32_t LastJob = 0;
  bool Busy = false;

  // A user sequence of one job: code, 500, 0; Busy. Slots behind slot 2 stay as they are.
  void Start(std::int32_t code);
  // Makes code the next job without disturbing the rest: steps back over the job that ran
  // last, or shifts the list up to its 0 one slot when at slot 0. A shift that would carry
  // the 0 beyond the last slot changes nothing. Several inserts between two ticks run in the
  // reverse order of the calls.
  void Insert(std::int32_t code);
  // Slot index := code, slot index + 1 := 0; returns index + 1. An index that leaves no room
  // for the 0 changes nothing and returns index.
  int Append(std::int32_t code, int index);
  // Starts a list: LastJob := its first job, JobIndex := 0, the jobs and a 0 in the slots,
  // Busy. A list too long for the slots is cut to 25 jobs.
  void StartList(std::initializer_list<std::int32_t> jobs);
  // Slots 0 and 1 := 0, JobIndex := 0 (an idle list); Busy and LastJob unchanged.
  void SetIdle();
  // The slot's code; 0 outside the slots.
  std::int32_t At(int slot) const;
  void Set(int slot, std::int32_t code);
  // The number of jobs from slot 0 up to, not including, the first 0.
  int Length() const;

  // The standard sequences. Measure polling: jobs 1 and 2 take turns in slot 0 (neither
  // Busy nor LastJob changes).
  void StartMeasurePolling();
  // Identity, configuration and status: 201, 200, 204, 203, 202, 205, 206, 213, 500; Busy.
  // 205 and 206 only when the transmitter supports them (213 is checked when it runs).
  void StartInfoRead(std::uint32_t capabilities);
  // Every item the transmitter supports, then 500; Busy.
  void StartFullRead(std::uint32_t capabilities);
};

// Capability bits of a transmitter, from its device type; only bit 0 for another maker's
// device.
std::uint32_t JobCapabilities(const TXmt& xmt);
// True when code stands in the job group of one of the capability bits.
bool IsJobSupported(std::uint32_t capabilities, std::int32_t code);
bool IsJobSupported(const TXmt& xmt, std::int32_t code);
