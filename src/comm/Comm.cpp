#include "comm/Comm.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace {

// Longest wait of the event thread between two looks at the modem status lines, when the port
// has them (a port reports no change of them by itself).
constexpr int kModemLinesPollMs = 50;
// Received bytes kept for Read; more is dropped, as a full input queue does.
constexpr std::size_t kReceiveLimit = 4096;

std::string PortText(int portNo, const char* state) {
  return std::string("Le port de communication n\xB0") + std::to_string(portNo) + state;
}

}  // namespace

int BaudRateValue(TBaudRate rate) {
  switch (rate) {
    case TBaudRate::___110: return 110;
    case TBaudRate::___300: return 300;
    case TBaudRate::___600: return 600;
    case TBaudRate::__1200: return 1200;
    case TBaudRate::__2400: return 2400;
    case TBaudRate::__4800: return 4800;
    case TBaudRate::__9600: return 9600;
    case TBaudRate::_14400: return 14400;
    case TBaudRate::_19200: return 19200;
    case TBaudRate::_38400: return 38400;
    case TBaudRate::_56000: return 56000;
    case TBaudRate::_57600: return 57600;
    case TBaudRate::_115_K: return 115200;
    case TBaudRate::_128_K: return 128000;
    case TBaudRate::_256_K: return 256000;
  }
  return 0;
}

int ParityValue(TParity parity) {
  switch (parity) {
    case TParity::NONE: return 0;
    case TParity::EVEN: return 2;
    case TParity::ODD: return 1;
    case TParity::MARK: return 3;
  }
  return 0;
}

int StopBitsValue(TStopBits bits) {
  switch (bits) {
    case TStopBits::ONE: return 0;
    case TStopBits::ONE5: return 1;
    case TStopBits::TWO: return 2;
  }
  return 0;
}

std::string ComDevicePath(int portNo) {
  if (portNo < 1) return {};
  const std::string var = "CORVIN_COM" + std::to_string(portNo);
  if (const char* path = std::getenv(var.c_str())) return path;
  return "/dev/ttyS" + std::to_string(portNo - 1);
}

TCustomComm::TCustomComm(Scheduler& scheduler, std::unique_ptr<SerialBackend> backend)
    : scheduler_(scheduler), backend_(backend ? std::move(backend) : MakeSerialBackend()), gate_(scheduler) {}

TCustomComm::~TCustomComm() { Close(); }

void TCustomComm::Open(int PortNo, std::string& Msg) {
  if (backend_->IsOpen()) Close();
  portNo_ = PortNo;
  bytesRead_ = 0;
  const bool opened = PortNo >= 1 && PortNo <= 10 && backend_->Open(ComDevicePath(PortNo));
  if (!opened) {
    Msg = PortText(PortNo, " n'est pas disponible.");
    statusText_ = Msg;
    return;
  }

  const TSerialLine line{BaudRateValue(baudRate_), byteSize_, ParityValue(parity_), StopBitsValue(stopBits_)};
  backend_->Configure(line);  // what the port does not keep shows in Unsupported
  const int bits = byteSize_ + 2 + (line.Parity != 0 ? 1 : 0) + (line.StopBits != 0 ? 1 : 0);
  charTime_ = line.BaudRate > 0 ? static_cast<float>(bits * 1000.0 / line.BaudRate) : 0.0f;
  timeouts_ = TCommTimeouts{250, 1, 5, 0, 0};
  backend_->Purge(true, false);
  {
    std::lock_guard<std::mutex> lock(rxMutex_);
    rx_.clear();
  }
  SetModemRTS(modemRTS_);
  SetModemDTR(modemDTR_);
  watchedChar_ = static_cast<std::uint8_t>(eventChar_);

  try {
    StartThreads();
  } catch (const std::system_error&) {
    StopThreads();
    backend_->Close();
    Msg = PortText(PortNo, " n'est pas disponible.");
    statusText_ = Msg;
    return;
  }
  Msg = PortText(PortNo, " est ouvert.");
  statusText_ = Msg;
}

bool TCustomComm::Close() {
  if (!backend_->IsOpen()) return false;
  StopThreads();
  if (deadlineArmed_) scheduler_.Cancel(deadlineTask_);
  deadlineArmed_ = false;
  endOfTxPending_ = false;
  gate_.Close();  // the threads are joined: whatever they handed over and has not run is dropped
  backend_->Close();
  std::lock_guard<std::mutex> lock(rxMutex_);
  rx_.clear();
  return true;
}

bool TCustomComm::SetReadIntervalTimeout(int ms) {
  timeouts_.ReadIntervalTimeout = ms;
  // Reads take what the event thread has received and never wait, so the time-outs only
  // need a port to belong to.
  return backend_->IsOpen();
}

std::array<bool, 4> TCustomComm::ProbePorts() {
  std::array<bool, 4> result{};
  for (int i = 0; i < 4; ++i) result[static_cast<std::size_t>(i)] = backend_->CanOpen(ComDevicePath(i + 1));
  return result;
}

void TCustomComm::Read(std::string& S) {
  S.clear();
  bytesRead_ = 0;
  if (!backend_->IsOpen()) {
    OnBeep(this);
    return;
  }
  std::lock_guard<std::mutex> lock(rxMutex_);
  const std::size_t n = std::min<std::size_t>(rx_.size(), BufferSize);
  S.assign(rx_, 0, n);
  rx_.erase(0, n);
  bytesRead_ = static_cast<int>(n);
}

bool TCustomComm::Write(const std::string& S, int Count) {
  if (!backend_->IsOpen()) return false;
  const int n = std::clamp(std::min(Count, static_cast<int>(S.size())), 0, BufferSize);
  // The deadline counts from now and covers the bytes that are really sent.
  ArmEndOfTx(static_cast<int>(std::nearbyint(static_cast<double>(n) * charTime_)));
  txBusy_ = true;
  OnStartOfTx(this);
  const int written = n > 0 ? backend_->Write(reinterpret_cast<const std::uint8_t*>(S.data()), n) : 0;
  {
    std::lock_guard<std::mutex> lock(drainMutex_);
    drainWanted_ = txGen_;
  }
  drainWake_.notify_one();
  return written == n;
}

void TCustomComm::SetModemDTR(bool Value) {
  modemDTR_ = Value;
  if (backend_->IsOpen()) backend_->SetDTR(Value);
}

void TCustomComm::SetModemRTS(bool Value) {
  modemRTS_ = Value;
  if (backend_->IsOpen()) backend_->SetRTS(Value);
  SetModemDTR(modemDTR_);
}

std::intptr_t TCustomComm::GetHandle() const {
  const int fd = backend_->Handle();
  return fd < 0 ? 0 : fd;
}

void TCustomComm::DoCommEvent(int Code) {
  switch (Code) {
    case ceRXFLAG: OnEvRXCha(this); break;
    case ceRXCHAR: OnRXChar(this); break;
    case ceCDOn:
    case ceCDOff:
      cd_ = Code == ceCDOn;
      OnCDChange(this);
      break;
    case ceRINGOn:
    case ceRINGOff:
      ring_ = Code == ceRINGOn;
      OnRINGChange(this);
      break;
    case ceCTSOn:
    case ceCTSOff:
      cts_ = Code == ceCTSOn;
      OnCTSChange(this);
      break;
    case ceDSROn:
    case ceDSROff:
      dsr_ = Code == ceDSROn;
      OnDSRChange(this);
      break;
    default:
      // ceTXEMPTY: the end of transmission comes from the end-of-transmission thread;
      // ceERR: nothing.
      break;
  }
}

void TCustomComm::DoEndOfTx() {
  txBusy_ = false;
  OnEndOfTx(this);
}

void TCustomComm::StartThreads() {
  eventStop_ = false;
  {
    std::lock_guard<std::mutex> lock(drainMutex_);
    drainStop_ = false;
    drainWanted_ = drainDone_ = txGen_;
  }
  // Changes of the modem lines count from their state at the open.
  watchLinesAtOpen_ = backend_->ModemLines(linesAtOpen_);
  eventThread_ = std::thread(&TCustomComm::EventLoop, this);
  endOfTxThread_ = std::thread(&TCustomComm::EndOfTxLoop, this);
}

void TCustomComm::StopThreads() {
  eventStop_ = true;
  backend_->Wake();
  {
    std::lock_guard<std::mutex> lock(drainMutex_);
    drainStop_ = true;
  }
  drainWake_.notify_one();
  backend_->Purge(false, true);  // a drain in progress returns
  if (eventThread_.joinable()) eventThread_.join();
  if (endOfTxThread_.joinable()) endOfTxThread_.join();
}

// Event thread: waits for the port, reads what came and hands each event to the
// user-interface thread, in the order carrier, ring, CTS, DSR, characters, event character,
// line error.
void TCustomComm::EventLoop() {
  unsigned lines = linesAtOpen_;
  bool watchLines = watchLinesAtOpen_;
  bool watchPort = true;
  std::uint8_t buf[512];
  auto post = [this](int code) { gate_.Post([this, code] { DoCommEvent(code); }); };

  while (!eventStop_) {
    const TSerialWait wait = backend_->Wait(watchPort && watchLines ? kModemLinesPollMs : -1, watchPort);
    if (eventStop_) break;
    bool gone = wait == TSerialWait::Hangup;

    if (watchPort && watchLines) {
      unsigned now = 0;
      if (backend_->ModemLines(now)) {
        const unsigned changed = now ^ lines;
        if (changed & smlCD) post((now & smlCD) ? ceCDOn : ceCDOff);
        if (changed & smlRING) post((now & smlRING) ? ceRINGOn : ceRINGOff);
        if (changed & smlCTS) post((now & smlCTS) ? ceCTSOn : ceCTSOff);
        if (changed & smlDSR) post((now & smlDSR) ? ceDSROn : ceDSROff);
        lines = now;
      } else {
        watchLines = (backend_->Unsupported() & suModemStatus) == 0;
      }
    }

    if (wait == TSerialWait::Input) {
      bool lineError = false;
      const int n = backend_->Read(buf, static_cast<int>(sizeof buf), lineError);
      if (n < 0) {
        gone = true;
      } else if (n > 0) {
        {
          std::lock_guard<std::mutex> lock(rxMutex_);
          const std::size_t room = kReceiveLimit - std::min(rx_.size(), kReceiveLimit);
          rx_.append(reinterpret_cast<const char*>(buf), std::min<std::size_t>(room, static_cast<std::size_t>(n)));
        }
        post(ceRXCHAR);
        if (std::memchr(buf, watchedChar_, static_cast<std::size_t>(n)) != nullptr) post(ceRXFLAG);
      }
      if (lineError) post(ceERR);
    }

    if (gone && watchPort) {
      // The other side is gone: said once, then only the stop is waited for.
      watchPort = false;
      const int portNo = portNo_;
      gate_.Post([this, portNo] { statusText_ = PortText(portNo, " n'est pas disponible."); });
    }
  }
}

// End-of-transmission thread: drains each write in turn and tells the user-interface thread.
void TCustomComm::EndOfTxLoop() {
  std::unique_lock<std::mutex> lock(drainMutex_);
  for (;;) {
    drainWake_.wait(lock, [this] { return drainStop_ || drainWanted_ > drainDone_; });
    if (drainStop_) return;
    const std::uint64_t gen = drainWanted_;
    lock.unlock();
    backend_->Drain();
    lock.lock();
    drainDone_ = gen;
    gate_.Post([this, gen] {
      if (gen == txGen_) TryEndOfTx();
    });
  }
}

void TCustomComm::ArmEndOfTx(int ms) {
  ++txGen_;
  endOfTxPending_ = true;
  deadlinePassed_ = false;
  if (deadlineArmed_) scheduler_.Cancel(deadlineTask_);
  const std::uint64_t gen = txGen_;
  deadlineTask_ = scheduler_.Schedule(ms, [this, gen] {
    deadlineArmed_ = false;
    if (gen != txGen_) return;
    deadlinePassed_ = true;
    TryEndOfTx();
  });
  deadlineArmed_ = true;
}

void TCustomComm::TryEndOfTx() {
  if (!endOfTxPending_ || !deadlinePassed_) return;
  {
    std::lock_guard<std::mutex> lock(drainMutex_);
    if (drainDone_ < txGen_) return;  // the port still sends: its drain will call again
  }
  endOfTxPending_ = false;
  DoEndOfTx();
}
