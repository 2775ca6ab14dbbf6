#pragma once

// The modem base of the HART master: sends a request and takes the received bytes through
// the chosen transport, and forwards the transport's three notifications to its hooks. It
// owns the two transports, the serial HART modem and the USB HART modem, chooses one by the
// port number and lists the ports.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "comm/Comm.h"
#include "comm/HidBackend.h"
#include "comm/SerialBackend.h"
#include "comm/USB.h"
#include "runtime/Events.h"
#include "runtime/Scheduler.h"

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

// One entry of the port list.
struct TPortInfo {
  std::string Caption;  // the text shown for the port
  std::string Device;   // the device name
  bool Available = false;
};

class TCustomModem : public TObject {
public:
  // Port numbers.
  static constexpr int USBPortBase = 5000;  // 5000 + n: USB HART modem n (from 0)

  // Without transports of its own: a test chooses one with UseTransport.
  TCustomModem();
  // With the serial port and the USB modem; the back-ends are the platform's when null.
  explicit TCustomModem(Scheduler& scheduler, std::unique_ptr<SerialBackend> serialBackend = nullptr,
                        std::shared_ptr<HidBackend> hidBackend = nullptr);
  ~TCustomModem() override;

  // The two transports (null without them).
  std::unique_ptr<TComm> SerialPort;
  std::unique_ptr<TUSBHIDModem> USBModem;
  // Set only when a transport is chosen; ClosePort keeps it.
  TPortKind PortKind = TPortKind::None;

  TNotifyEvent OnRXFrame;   // received data were notified
  TNotifyEvent OnCDChange;  // the carrier detect changed
  TNotifyEvent OnEndOfTx;   // a transmission ended

  // Fills the six entries: COM1 to COM4 with whether each could be opened now, the first USB
  // HART modem found, and an unused last entry. Call it with the port closed.
  void ListPorts(std::array<TPortInfo, 6>& Ports);
  // Chooses and opens the transport of PortNo: below 1 none, 1 to 4 COM1 to COM4, 5000 + n
  // the USB modem n. Msg gets the transport's status text ('' for none).
  void OpenPort(int PortNo, std::string& Msg);

  // Hands the first len bytes of s to the transport; false with no transport, an empty s
  // or a len outside 0..size of s. The USB modem takes frames of at most 255 bytes.
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
  // Lowers RTS of the serial port first (whichever transport is chosen), then fires
  // OnEndOfTx.
  void DoEndOfTx();

  // Chooses the transport (not owned; nullptr for none) and binds its notifications. The
  // previous transport's notifications are unbound.
  void UseTransport(TModemTransport* transport, TPortKind kind);
  TModemTransport* Transport() const { return transport_; }

private:
  class TSerialSide;
  class TUSBSide;

  // Binds and sets up the side that PortKind names.
  void SetupTransport();
  void Unbind();

  std::unique_ptr<TSerialSide> serialSide_;
  std::unique_ptr<TUSBSide> usbSide_;
  TModemTransport* transport_ = nullptr;
};
