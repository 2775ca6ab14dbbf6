#include "comm/Modem.h"

#include <algorithm>

namespace {

// A handler for a transport component's event that calls the side's notification, when set.
TNotifyEvent::Handler Forward(const std::function<void()>& notification) {
  return [&notification](TObject*) {
    if (notification) notification();
  };
}

}  // namespace

// The serial HART modem as a transport: RTS goes up before each write and comes down when the
// end of the transmission is signalled.
class TCustomModem::TSerialSide : public TModemTransport {
public:
  explicit TSerialSide(TComm& comm) : comm_(comm) {
    comm_.OnRXChar = Forward(OnRXFrame);
    comm_.OnCDChange = Forward(OnCDChange);
    comm_.OnEndOfTx = Forward(OnEndOfTx);
  }

  bool Send(const std::string& bytes, int len) override {
    comm_.SetModemRTS(true);
    return comm_.Write(bytes, len);
  }
  std::string Receive() override {
    std::string s;
    comm_.Read(s);
    return s;
  }
  int RxCount() override { return comm_.GetRxCount(); }
  void Close() override { comm_.Close(); }
  void SetRts(bool on) override { comm_.SetModemRTS(on); }

private:
  TComm& comm_;
};

// The USB HART modem as a transport: whole frames both ways.
class TCustomModem::TUSBSide : public TModemTransport {
public:
  explicit TUSBSide(TUSBHIDModem& usb) : usb_(usb) {
    usb_.OnRXFrame = [this](TObject*) {
      lastCount_ = -1;  // a new frame: the count is its own until it is read
      if (OnRXFrame) OnRXFrame();
    };
    usb_.OnCDChange = Forward(OnCDChange);
    usb_.OnEndOfTx = Forward(OnEndOfTx);
  }

  bool Send(const std::string& bytes, int len) override {
    if (len > TCustomUSBHIDModem::MaxFrame) return false;  // offsets and counts are single bytes
    std::array<std::uint8_t, 256> buf{};
    std::copy_n(bytes.begin(), len, buf.begin());
    return usb_.Write(buf.data(), len) == len;
  }
  // The frame and its count are taken together; RxCount then gives the count of the frame
  // that Receive gave, even when the I/O thread completed another one in between.
  std::string Receive() override {
    std::array<std::uint8_t, TCustomUSBHIDModem::ReceiveBufferSize> buf{};
    lastCount_ = usb_.ReadFrame(buf.data());
    return std::string(buf.begin(), buf.begin() + lastCount_);
  }
  int RxCount() override { return lastCount_ >= 0 ? lastCount_ : usb_.RxCount(); }
  void Close() override { usb_.StopDevice(); }

private:
  TUSBHIDModem& usb_;
  int lastCount_ = -1;  // count of the last Receive; -1 before it and after a new frame
};

TCustomModem::TCustomModem() = default;

TCustomModem::TCustomModem(Scheduler& scheduler, std::unique_ptr<SerialBackend> serialBackend,
                           std::shared_ptr<HidBackend> hidBackend)
    : SerialPort(std::make_unique<TComm>(scheduler, std::move(serialBackend))),
      USBModem(std::make_unique<TUSBHIDModem>(scheduler, std::move(hidBackend))),
      serialSide_(std::make_unique<TSerialSide>(*SerialPort)),
      usbSide_(std::make_unique<TUSBSide>(*USBModem)) {
  SetupTransport();
}

TCustomModem::~TCustomModem() {
  Unbind();
  // The transports stop their threads before the sides that their events reach go.
  USBModem.reset();
  SerialPort.reset();
}

void TCustomModem::ListPorts(std::array<TPortInfo, 6>& Ports) {
  Ports.fill(TPortInfo{});
  if (!SerialPort || !USBModem) return;
  const std::array<bool, 4> probed = SerialPort->ProbePorts();
  for (int i = 0; i < 4; ++i) {
    TPortInfo& p = Ports[static_cast<std::size_t>(i)];
    p.Caption = "Port serie n\xB0" + std::to_string(i + 1);
    p.Device = "COM" + std::to_string(i + 1);
    p.Available = probed[static_cast<std::size_t>(i)];
  }
  USBModem->SetVid(0x0451);
  USBModem->SetPid(9);
  if (USBModem->Enumerate() > 0) {
    TPortInfo& p = Ports[4];
    p.Caption = std::string("Port USB n\xB0") + "0" + " : " + " " + USBModem->GetManufacturerString(1) + " " + " " +
                USBModem->GetProductString(1) + " " + " {" + USBModem->GetSerialNumberString(1) + "}";
    p.Device = USBModem->GetDevicePath(0);
    p.Available = true;
  }
}

void TCustomModem::OpenPort(int PortNo, std::string& Msg) {
  Msg.clear();
  if (PortNo < 1 || !SerialPort || !USBModem) {
    UseTransport(nullptr, TPortKind::None);
    return;
  }
  if (PortNo < 5) {
    UseTransport(serialSide_.get(), TPortKind::Serial);
    SetupTransport();
    SerialPort->Open(PortNo, Msg);
    SerialPort->SetReadIntervalTimeout(50);
  } else {
    UseTransport(usbSide_.get(), TPortKind::USB);
    SetupTransport();
    USBModem->Open(PortNo - USBPortBase, Msg);
  }
}

void TCustomModem::SetupTransport() {
  switch (PortKind) {
    case TPortKind::USB:
      SerialPort->Close();
      USBModem->SetViewRegisteredDevices(false);
      USBModem->SetVid(0x0451);
      USBModem->SetPid(9);
      break;
    case TPortKind::Serial:
      USBModem->StopDevice();
      SerialPort->SetModemDTR(true);
      SerialPort->SetModemRTS(false);
      SerialPort->SetBaudRate(TBaudRate::__1200);
      SerialPort->SetParity(TParity::ODD);
      SerialPort->SetStopBits(TStopBits::TWO);
      SerialPort->SetByteSize(8);
      SerialPort->SetEventChar('\xFF');
      break;
    case TPortKind::None:
      break;
  }
}

bool TCustomModem::Send(const std::string& s, int len) {
  if (transport_ == nullptr || s.empty()) return false;
  if (len < 0 || static_cast<std::size_t>(len) > s.size()) return false;
  return transport_->Send(s, len);
}

std::string TCustomModem::Receive() { return transport_ != nullptr ? transport_->Receive() : std::string(); }

int TCustomModem::RxCount() { return transport_ != nullptr ? transport_->RxCount() : 0; }

void TCustomModem::ClosePort() {
  if (transport_ != nullptr) transport_->Close();
}

void TCustomModem::DoRXFrame() { OnRXFrame(this); }

void TCustomModem::DoCDChange() { OnCDChange(this); }

void TCustomModem::DoEndOfTx() {
  if (SerialPort) SerialPort->SetModemRTS(false);
  if (transport_ != nullptr && transport_ != serialSide_.get()) transport_->SetRts(false);
  OnEndOfTx(this);
}

void TCustomModem::UseTransport(TModemTransport* transport, TPortKind kind) {
  Unbind();
  transport_ = transport;
  PortKind = kind;
  if (transport_ == nullptr) return;
  transport_->OnRXFrame = [this] { DoRXFrame(); };
  transport_->OnCDChange = [this] { DoCDChange(); };
  transport_->OnEndOfTx = [this] { DoEndOfTx(); };
}

void TCustomModem::Unbind() {
  if (transport_ == nullptr) return;
  transport_->OnRXFrame = nullptr;
  transport_->OnCDChange = nullptr;
  transport_->OnEndOfTx = nullptr;
}
