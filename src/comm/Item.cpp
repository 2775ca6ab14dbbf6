#include "comm/Item.h"

std::string TItemList::GetItem(int Index) const {
  if (Index < 0 || Index >= count_) return {};
  return items_[static_cast<std::size_t>(Index)];
}

void TItemList::Clear() {
  items_.clear();
  count_ = 0;
}

int TItemList::Add(const std::string& S) {
  items_.push_back(S);
  return ++count_;
}
