#pragma once

// A counted list of strings; the USB modem keeps its device paths in one.

#include <string>
#include <vector>

#include "runtime/Events.h"

class TItemList : public TObject {
public:
  TItemList() = default;
  ~TItemList() override { Clear(); }

  int GetCount() const { return count_; }
  // The string at Index (from 0); empty outside 0 .. count - 1.
  std::string GetItem(int Index) const;
  void Clear();
  // Appends S; gives the new count.
  int Add(const std::string& S);

private:
  int count_ = 0;
  std::vector<std::string> items_;
};
