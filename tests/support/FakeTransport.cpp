#include "support/FakeTransport.h"

#include <algorithm>
#include <cmath>

FakeTransport::FakeTransport(Scheduler& scheduler) : scheduler_(scheduler) {}

FakeTransport::~FakeTransport() {
  for (auto id : tasks_) scheduler_.Cancel(id);
}

bool FakeTransport::Send(const std::string& bytes, int len) {
  const std::size_t n = std::min(bytes.size(), static_cast<std::size_t>(std::max(len, 0)));
  std::string sent = bytes.substr(0, n);
  Sent.push_back({sent, scheduler_.NowMs()});
  if (!AcceptSends) return false;
  if (sendRoute_) sendRoute_(sent);
  const auto delay = static_cast<std::int64_t>(std::ceil(static_cast<double>(n) * EndOfTxByteMs));
  tasks_.push_back(scheduler_.Schedule(delay, [this] {
    if (OnEndOfTx) OnEndOfTx();
  }));
  return n == static_cast<std::size_t>(len);
}

std::string FakeTransport::Receive() {
  const std::size_t n = std::min<std::size_t>(pending_.size(), 240);
  std::string out = pending_.substr(0, n);
  pending_.erase(0, n);
  rxCount_ = static_cast<int>(n);
  return out;
}

void FakeTransport::Deliver(const std::string& chunk) {
  pending_ += chunk;
  if (OnRXFrame) OnRXFrame();
}

void FakeTransport::Deliver(std::span<const std::uint8_t> chunk) {
  Deliver(std::string(chunk.begin(), chunk.end()));
}

void FakeTransport::ScriptAt(std::int64_t atMs, const std::string& bytes) {
  tasks_.push_back(scheduler_.Schedule(atMs - scheduler_.NowMs(), [this, bytes] { Deliver(bytes); }));
}

void FakeTransport::FireCDChange() {
  if (OnCDChange) OnCDChange();
}

std::function<void(std::vector<std::uint8_t>)> FakeTransport::Deliverer() {
  return [this](std::vector<std::uint8_t> chunk) { Deliver(std::span<const std::uint8_t>(chunk)); };
}
