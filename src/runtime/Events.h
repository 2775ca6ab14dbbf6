#pragma once

#include <functional>
#include <utility>

// Base of every component that can be the sender of an event.
class TObject {
public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;
};

// A single, assignable handler taking the sender. Empty by default; firing an
// empty event does nothing.
class TNotifyEvent {
public:
  using Handler = std::function<void(TObject* sender)>;

  TNotifyEvent() = default;
  TNotifyEvent(Handler handler) : handler_(std::move(handler)) {}  // NOLINT: assignable from a handler
  TNotifyEvent& operator=(Handler handler) {
    handler_ = std::move(handler);
    return *this;
  }
  TNotifyEvent& operator=(std::nullptr_t) {
    handler_ = nullptr;
    return *this;
  }

  explicit operator bool() const { return static_cast<bool>(handler_); }
  bool Assigned() const { return static_cast<bool>(handler_); }

  // A copy of the handler runs, so a handler may reassign or clear its own event,
  // or destroy the object that owns it.
  void operator()(TObject* sender) const {
    if (handler_) {
      Handler h = handler_;
      h(sender);
    }
  }

private:
  Handler handler_;
};
