#include "runtime/TaskQueue.h"

TTaskQueue::TaskId TTaskQueue::Schedule(std::int64_t due, std::function<void()> fn) {
  const TaskId id = ++seq_;
  tasks_.emplace(TKey{due, id}, std::move(fn));
  dues_.emplace(id, due);
  return id;
}

bool TTaskQueue::Cancel(TaskId id) {
  auto it = dues_.find(id);
  if (it == dues_.end()) return false;
  tasks_.erase(TKey{it->second, id});
  dues_.erase(it);
  return true;
}

void TTaskQueue::Post(std::function<void()> fn, std::optional<std::int64_t> due) {
  std::lock_guard<std::mutex> lock(postMutex_);
  posted_.push_back(TPosted{due, std::move(fn)});
}

void TTaskQueue::TakePosted(std::int64_t now) {
  std::vector<TPosted> posted;
  {
    std::lock_guard<std::mutex> lock(postMutex_);
    posted.swap(posted_);
  }
  for (TPosted& p : posted) Schedule(p.Due.value_or(now), std::move(p.Fn));
}

std::optional<std::int64_t> TTaskQueue::NextDue() const {
  if (tasks_.empty()) return std::nullopt;
  return tasks_.begin()->first.Due;
}

std::optional<TTaskQueue::TTask> TTaskQueue::TakeNext(std::int64_t until) {
  auto it = tasks_.begin();
  if (it == tasks_.end() || it->first.Due > until) return std::nullopt;
  TTask task{it->first.Seq, it->first.Due, std::move(it->second)};
  dues_.erase(task.Id);
  tasks_.erase(it);
  return task;
}

std::size_t TTaskQueue::PostedCount() const {
  std::lock_guard<std::mutex> lock(postMutex_);
  return posted_.size();
}
