#include "SimLine.h"

#include <algorithm>
#include <cmath>

SimLine::SimLine(Scheduler& s, SimTransmitter& t, std::function<void(std::vector<std::uint8_t>)> deliver)
    : scheduler_(s), transmitter_(t), deliver_(std::move(deliver)) {}

SimLine::~SimLine() {
  for (Scheduler::TaskId id : scheduled_) scheduler_.Cancel(id);
}

void SimLine::At(double atMs, std::function<void()> fn) {
  // A small tolerance keeps sums such as 12 x 9.1666... ms on their whole millisecond.
  const auto due = static_cast<std::int64_t>(std::ceil(atMs - 1e-6));
  auto id = std::make_shared<Scheduler::TaskId>(0);
  *id = scheduler_.Schedule(due - scheduler_.NowMs(), [this, id, fn = std::move(fn)] {
    scheduled_.erase(*id);
    fn();
  });
  scheduled_.insert(*id);
}

void SimLine::MasterSent(std::span<const std::uint8_t> bytes) {
  const double start = std::max(static_cast<double>(scheduler_.NowMs()), masterFreeAt_);
  const double end = start + static_cast<double>(bytes.size()) * ByteTimeMs;
  masterFreeAt_ = end;
  At(end, [this, end, request = std::vector<std::uint8_t>(bytes.begin(), bytes.end())] {
    std::optional<std::vector<std::uint8_t>> answer = transmitter_.Feed(request);
    if (!answer) return;
    const double answerStart = end + TurnaroundMs + transmitter_.Faults.ExtraDelayMs;
    const std::size_t chunk = static_cast<std::size_t>(std::max(ChunkBytes, 1));
    for (std::size_t from = 0; from < answer->size(); from += chunk) {
      const std::size_t to = std::min(from + chunk, answer->size());
      std::vector<std::uint8_t> piece(answer->begin() + static_cast<std::ptrdiff_t>(from),
                                      answer->begin() + static_cast<std::ptrdiff_t>(to));
      At(answerStart + static_cast<double>(to) * ByteTimeMs, [this, piece = std::move(piece)] { deliver_(piece); });
    }
  });
}
