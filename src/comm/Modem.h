#pragma once

// The modem base of the HART master: sends a request and takes the received bytes through
// the chosen transport, and forwards the transport's three notifications to its hooks.

#include <cstdint>
#include <functional>
#include <string>

#include "runtime/Events.h"

// The chosen transport: none, the serial HART modem or the USB HART modem.
enum class TPortKind : std::uint8_t { None = 0, Serial = 1, USB = 2 };

// One transport as TCustomModem uses it. The serial port, the USB modem and the test fake
// implement it; the modem sets the three notifications and the transport calls them on the
// user-interface thread.
class TModemTransport {
public:
  virtual ~TModemTransport() = default;
  // True when all len bytes were accepted.
  virtual bool Send(const std::string& bytes, int len) = 0;
  // The bytes of the last reception (serial: one read of at most 240 bytes; USB: the last
  // complete frame).
  virtual std::string Receive() = 0;
  // The number of valid bytes of the last reception.
  virtual int RxCount() = 0;
  virtual void Close() = 0;
  // The request-to-send line; only the serial port has one.
  virtual void SetRts(bool /*on*/) {}

  std::function<void()> OnRXFrame, OnCDChange, OnEndOfTx;
};

class TCustomModem : public TObject {
public:
  TCustomModem() = default;
  ~TCustomModem() override;

  // Set only when a transport is chosen; ClosePort keeps it.
  TPortKind PortKind = TPortKind::None;

  TNotifyEvent OnRXFrame;   // received data were notified
  TNotifyEvent OnCDChange;  // the carrier detect changed
  TNotifyEvent OnEndOfTx;   // a transmission ended

  // Hands the first len bytes of s to the transport; false with no transport, an empty s
  // or a len outside 0..size of s.
  bool Send(const std::string& s, int len);
  // Empty with no transport.
  std::string Receive();
  // 0 with no transport.
  int RxCount();
  // Closes the chosen transport; PortKind keeps its value.
  void ClosePort();

  // The forwarders the chosen transport's notifications call.
  void DoRXFrame();
  void DoCDChange();
  // Lowers RTS first, then fires OnEndOfTx.
  void DoEndOfTx();

  // Chooses the transport (not owned; nullptr for none) and binds its notifications. The
  // previous transport's notifications are unbound.
  void UseTransport(TModemTransport* transport, TPortKind kind);
  TModemTransport* Transport() const { return transport_; }

private:
  void Unbind();

  TModemTransport* transport_ = nullptr;
};
