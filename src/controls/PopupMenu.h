#pragma once

// Context menus of the program's controls: items with a caption, an enabled flag and an
// assignable click handler, so a control can rebind an item before the menu opens. How a
// menu is shown is a hook (TMenuPresenter), so tests can see what would open and choose
// an item themselves.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "runtime/Events.h"

class TMenuItem : public TObject {
public:
  TMenuItem() = default;
  TMenuItem(std::string name, std::string caption, TNotifyEvent onClick = {});

  std::string Name;
  std::string Caption;  // Windows-1252
  bool Enabled = true;
  bool Default = false;  // shown bold
  TNotifyEvent OnClick;

  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem& Items(int i) { return *items_.at(static_cast<std::size_t>(i)); }
  const TMenuItem& Items(int i) const { return *items_.at(static_cast<std::size_t>(i)); }
  TMenuItem& Add(std::string name, std::string caption, TNotifyEvent::Handler onClick = {});

  // What choosing the item does: its handler runs with the item as sender. A disabled item
  // or one with sub-items does nothing.
  void Click();

private:
  std::vector<std::unique_ptr<TMenuItem>> items_;
};

class TPopupMenu : public TMenuItem {
public:
  TPopupMenu() : alive_(std::make_shared<bool>(true)) {}
  ~TPopupMenu() override { *alive_ = false; }

  // False once the menu is destroyed: a menu still on screen must not reach its items.
  std::shared_ptr<const bool> Alive() const { return alive_; }

private:
  std::shared_ptr<bool> alive_;
};

// Opens a menu at a position on the screen; the user's choice calls the item's Click.
using TMenuPresenter = std::function<void(TPopupMenu& menu, int screenX, int screenY)>;

// MessageBeep(0) of refused input.
using TBeepHook = std::function<void()>;
