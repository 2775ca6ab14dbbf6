#include "controls/PopupMenu.h"

#include <utility>

TMenuItem::TMenuItem(std::string name, std::string caption, TNotifyEvent onClick)
    : Name(std::move(name)), Caption(std::move(caption)), OnClick(std::move(onClick)) {}

TMenuItem& TMenuItem::Add(std::string name, std::string caption, TNotifyEvent::Handler onClick) {
  items_.push_back(std::make_unique<TMenuItem>(std::move(name), std::move(caption), std::move(onClick)));
  return *items_.back();
}

void TMenuItem::Click() {
  if (!Enabled || !items_.empty()) return;
  OnClick(this);
}
