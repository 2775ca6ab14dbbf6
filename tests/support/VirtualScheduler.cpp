#include "VirtualScheduler.h"

Scheduler::TaskId VirtualScheduler::Schedule(std::int64_t delayMs, std::function<void()> fn) {
  TakePosted();  // posted earlier means runs earlier at the same time
  const TaskId id = ++seq_;
  const Key key{now_ + (delayMs > 0 ? delayMs : 0), id};
  queue_.emplace(key, std::make_pair(id, std::move(fn)));
  keys_.emplace(id, key);
  return id;
}

void VirtualScheduler::Cancel(TaskId id) {
  auto it = keys_.find(id);
  if (it == keys_.end()) return;
  queue_.erase(it->second);
  keys_.erase(it);
}

void VirtualScheduler::Post(std::function<void()> fn) {
  std::lock_guard<std::mutex> lock(postMutex_);
  posted_.push_back(std::move(fn));
}

void VirtualScheduler::TakePosted() {
  std::vector<std::function<void()>> posted;
  {
    std::lock_guard<std::mutex> lock(postMutex_);
    posted.swap(posted_);
  }
  for (auto& fn : posted) {
    const TaskId id = ++seq_;
    const Key key{now_, id};
    queue_.emplace(key, std::make_pair(id, std::move(fn)));
    keys_.emplace(id, key);
  }
}

void VirtualScheduler::Advance(std::int64_t ms) {
  const std::int64_t target = now_ + (ms > 0 ? ms : 0);
  for (;;) {
    TakePosted();
    auto it = queue_.begin();
    if (it == queue_.end() || it->first.due > target) break;
    if (it->first.due > now_) now_ = it->first.due;
    std::function<void()> fn = std::move(it->second.second);
    keys_.erase(it->second.first);
    queue_.erase(it);
    fn();
  }
  now_ = target;
}

bool VirtualScheduler::AdvanceUntil(const std::function<bool()>& pred, std::int64_t maxMs) {
  RunPending();
  for (std::int64_t i = 0; i < maxMs; ++i) {
    if (pred()) return true;
    Advance(1);
  }
  return pred();
}

std::size_t VirtualScheduler::Pending() const {
  std::lock_guard<std::mutex> lock(postMutex_);
  return queue_.size() + posted_.size();
}

std::size_t VirtualScheduler::Posted() const {
  std::lock_guard<std::mutex> lock(postMutex_);
  return posted_.size();
}
