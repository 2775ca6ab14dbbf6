#include "comm/USB.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <system_error>

namespace {

// Longest wait for an input report before the I/O thread looks at its stop flag again.
constexpr int kReadWaitMs = 50;
// Wait between two attempts to open a device that does not open.
constexpr int kReopenMs = 100;
// The modem's report length when the device does not say.
constexpr int kModemReportLength = 65;

// A device string in the program's single-byte character set (Windows-1252); a character it
// cannot hold becomes '?'.
std::string ToSingleByte(const std::wstring& w) {
  static constexpr std::pair<wchar_t, unsigned char> kHigh[] = {
      {0x20AC, 0x80}, {0x201A, 0x82}, {0x0192, 0x83}, {0x201E, 0x84}, {0x2026, 0x85}, {0x2020, 0x86},
      {0x2021, 0x87}, {0x02C6, 0x88}, {0x2030, 0x89}, {0x0160, 0x8A}, {0x2039, 0x8B}, {0x0152, 0x8C},
      {0x017D, 0x8E}, {0x2018, 0x91}, {0x2019, 0x92}, {0x201C, 0x93}, {0x201D, 0x94}, {0x2022, 0x95},
      {0x2013, 0x96}, {0x2014, 0x97}, {0x02DC, 0x98}, {0x2122, 0x99}, {0x0161, 0x9A}, {0x203A, 0x9B},
      {0x0153, 0x9C}, {0x017E, 0x9E}, {0x0178, 0x9F}};
  std::string s;
  for (wchar_t c : w) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      s.push_back(static_cast<char>(c));
      continue;
    }
    char b = '?';
    for (const auto& [code, byte] : kHigh)
      if (code == c) b = static_cast<char>(byte);
    s.push_back(b);
  }
  return s;
}

int MsLeft(std::chrono::steady_clock::time_point until) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
  return static_cast<int>(std::max<std::int64_t>(left.count(), 0));
}

}  // namespace

// ---- TUSBThread

bool TUSBThread::Start(const std::string& path, TCallbacks callbacks) {
  Stop();
  path_ = path;
  callbacks_ = std::move(callbacks);
  connected_ = false;
  {
    std::lock_guard<std::mutex> lock(slotMutex_);
    stop_ = false;
    slot_ = TSlot::Free;
    withdrawn_ = false;
  }
  running_ = true;
  try {
    thread_ = std::thread(&TUSBThread::Loop, this);
  } catch (const std::system_error&) {
    running_ = false;
    return false;
  }
  return true;
}

void TUSBThread::Stop() {
  {
    std::lock_guard<std::mutex> lock(slotMutex_);
    stop_ = true;
  }
  slotChanged_.notify_all();
  if (thread_.joinable()) thread_.join();
  running_ = false;
  DropPending();
}

void TUSBThread::SetInputReportLength(int n) { inputLength_ = std::clamp(n, 0, ReportBufferSize); }

int TUSBThread::CopyInput(std::uint8_t* dst, int max) const {
  std::lock_guard<std::mutex> lock(inputMutex_);
  const int n = std::clamp(inputCount_, 0, std::max(max, 0));
  std::memcpy(dst, input_.data(), static_cast<std::size_t>(n));
  return n;
}

TUSBThread::THandOver TUSBThread::HandOver(const std::uint8_t* report, int len, int timeoutMs) {
  if (!running_) return THandOver::NotRunning;
  len = std::clamp(len, 0, ReportBufferSize);
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
  std::unique_lock<std::mutex> lock(slotMutex_);
  // An acknowledgement being written is let through first.
  if (!slotChanged_.wait_until(lock, until, [this] { return slot_ != TSlot::Writing || stop_; }))
    return THandOver::TimedOut;
  if (stop_) return THandOver::NotRunning;
  std::memcpy(output_.data(), report, static_cast<std::size_t>(len));
  outputLength_ = len;
  slot_ = TSlot::Waiting;
  awaited_ = true;
  slotChanged_.notify_all();
  slotChanged_.wait_until(lock, until, [this] { return slot_ == TSlot::Sent || slot_ == TSlot::Dropped || stop_; });
  awaited_ = false;
  THandOver result = stop_ ? THandOver::NotRunning : THandOver::TimedOut;
  if (slot_ == TSlot::Sent) result = THandOver::Sent;
  if (slot_ == TSlot::Dropped) result = THandOver::Dropped;
  // A report not taken in time is withdrawn; one being written ends unclaimed, and is not
  // written again when this write fails.
  if (slot_ == TSlot::Writing) {
    withdrawn_ = true;
  } else {
    slot_ = TSlot::Free;
  }
  return result;
}

bool TUSBThread::Offer(const std::uint8_t* report, int len) {
  len = std::clamp(len, 0, ReportBufferSize);
  std::lock_guard<std::mutex> lock(slotMutex_);
  if (stop_ || reserved_ || awaited_ || slot_ == TSlot::Writing) return false;
  std::memcpy(output_.data(), report, static_cast<std::size_t>(len));
  outputLength_ = len;
  slot_ = TSlot::Waiting;
  return true;
}

void TUSBThread::Reserve(bool on) {
  std::lock_guard<std::mutex> lock(slotMutex_);
  reserved_ = on;
}

bool TUSBThread::SleepUnlessStopped(int ms) {
  std::unique_lock<std::mutex> lock(slotMutex_);
  return !slotChanged_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stop_; });
}

void TUSBThread::DropPending() {
  {
    std::lock_guard<std::mutex> lock(slotMutex_);
    if (slot_ != TSlot::Waiting) return;
    slot_ = TSlot::Dropped;
  }
  slotChanged_.notify_all();
}

// Writes the report waiting in the slot, if any; false when the device failed.
bool TUSBThread::WritePending(HidDevice& dev) {
  std::array<std::uint8_t, ReportBufferSize> out;
  int len = 0;
  {
    std::lock_guard<std::mutex> lock(slotMutex_);
    if (slot_ != TSlot::Waiting) return true;
    out = output_;
    len = outputLength_;
    slot_ = TSlot::Writing;
  }
  const int written = dev.WriteReport(out.data(), len);
  {
    std::lock_guard<std::mutex> lock(slotMutex_);
    // A short or failed write waits for the next cycle, unless nobody wants it any more.
    if (written == len) {
      slot_ = TSlot::Sent;
    } else {
      slot_ = withdrawn_ ? TSlot::Free : TSlot::Waiting;
    }
    withdrawn_ = false;
  }
  slotChanged_.notify_all();
  return written >= 0;
}

void TUSBThread::Loop() {
  std::unique_ptr<HidDevice> dev;
  std::array<std::uint8_t, ReportBufferSize> buf{};
  auto stopping = [this] {
    std::lock_guard<std::mutex> lock(slotMutex_);
    return stop_;
  };

  while (!stopping()) {
    if (!dev) {
      dev = backend_.OpenPath(path_);
      if (!dev) {
        if (connected_ && callbacks_.Disconnect) callbacks_.Disconnect();
        connected_ = false;
        DropPending();
        SleepUnlessStopped(kReopenMs);
        continue;
      }
      if (!connected_ && callbacks_.Connect) callbacks_.Connect();
      connected_ = true;
    }

    const int len = inputLength_;
    if (len > 0) {
      const int n = dev->ReadReport(buf.data(), len, kReadWaitMs);
      if (n < 0) {
        dev.reset();  // opened again at once; a disconnection shows when that fails
        continue;
      }
      if (n == 0) continue;  // no report yet: the modem paces the writes
      {
        std::lock_guard<std::mutex> lock(inputMutex_);
        std::memcpy(input_.data(), buf.data(), static_cast<std::size_t>(std::min(n, ReportBufferSize)));
        inputCount_ = std::min(n, ReportBufferSize);
      }
      if (callbacks_.Read) callbacks_.Read(inputCount_);
    } else {
      // Nothing to read: wait for a report to write.
      std::unique_lock<std::mutex> lock(slotMutex_);
      slotChanged_.wait_for(lock, std::chrono::milliseconds(kReadWaitMs),
                            [this] { return stop_ || slot_ == TSlot::Waiting; });
    }
    if (!WritePending(*dev)) dev.reset();
  }
}

// ---- TCustomUSB

TCustomUSB::TCustomUSB(Scheduler& scheduler, std::shared_ptr<HidBackend> backend)
    : backend_(backend ? std::move(backend) : MakeHidBackend()),
      gate_(scheduler),
      readCallback_([this](int count) { TCustomUSB::DoRxData(count); }),
      thread_(*backend_) {}

TCustomUSB::~TCustomUSB() { StopThread(); }

void TCustomUSB::DoRxData(int Count) {
  rxCount_ = Count;
  PostToUI([this] { OnRXFrame(this); });
}

int TCustomUSB::Write(const std::uint8_t* Buf, int Len) { return WriteReport(Buf, Len, 100); }

int TCustomUSB::WriteReport(const std::uint8_t* Buf, int Len, int timeoutMs) {
  return thread_.HandOver(Buf, Len, timeoutMs) == TUSBThread::THandOver::Sent ? Len : -1;
}

void TCustomUSB::StopThread() {
  thread_.Stop();
  gate_.Close();
}

bool TCustomUSB::StartThread(const std::string& path) {
  TUSBThread::TCallbacks callbacks;
  callbacks.Read = readCallback_;
  callbacks.Connect = [this] { PostToUI([this] { DoConnect(); }); };
  callbacks.Disconnect = [this] { PostToUI([this] { DoDisconnect(); }); };
  return thread_.Start(path, std::move(callbacks));
}

// ---- THIDDevice

THIDDevice::THIDDevice(Scheduler& scheduler, std::shared_ptr<HidBackend> backend)
    : TCustomUSB(scheduler, std::move(backend)) {}

int THIDDevice::Enumerate() {
  Paths().Clear();
  for (const auto& path : Backend().Enumerate(vid_, pid_, ViewRegisteredDevices())) Paths().Add(path);
  return Paths().GetCount();
}

std::string THIDDevice::GetDevicePath(int Index) { return Paths().GetItem(Index); }

bool THIDDevice::DeviceText(int N, bool (HidDevice::*get)(std::wstring&), std::string& s) {
  if (N < 1 || N > Paths().GetCount()) return false;
  auto dev = Backend().OpenPath(Paths().GetItem(N - 1));
  std::wstring w;
  if (!dev || !((*dev).*get)(w)) return false;
  s = ToSingleByte(w);
  return true;
}

std::string THIDDevice::GetManufacturerString(int N) {
  std::string s;
  return DeviceText(N, &HidDevice::GetManufacturerString, s) ? s : std::string();
}

std::string THIDDevice::GetProductString(int N) {
  std::string s;
  return DeviceText(N, &HidDevice::GetProductString, s) ? s : std::string();
}

std::string THIDDevice::GetSerialNumberString(int N) {
  std::string s;
  return DeviceText(N, &HidDevice::GetSerialNumberString, s) ? s : std::string("unknown");
}

bool THIDDevice::HasDevice(int Index) {
  const int n = Enumerate();
  return n > 0 && Index >= 0 && Index < n;
}

bool THIDDevice::SelectDevice(int Index) {
  if (!HasDevice(Index)) return false;
  return StartThread(GetDevicePath(Index));
}

bool THIDDevice::OpenDevice(int Index) {
  if (!HasDevice(Index)) return false;
  const std::string path = GetDevicePath(Index);
  auto dev = Backend().OpenPath(path);
  if (!dev) {
    // Not permitted, most often: nothing is opened.
    StopThread();
    return false;
  }
  int input = kModemReportLength, output = kModemReportLength;
  if (!dev->GetReportLengths(input, output) || input <= 0 || output <= 0) {
    input = output = kModemReportLength;
  }
  dev.reset();
  StopThread();
  IOThread().SetInputReportLength(input);
  outputReportLength_ = std::min(output, TUSBThread::ReportBufferSize);
  return StartThread(path);
}

void THIDDevice::StopDevice() {
  StopThread();
  OnDisconnect(this);
}

int THIDDevice::Read(std::uint8_t* Buf, int Len) {
  std::array<std::uint8_t, TUSBThread::ReportBufferSize> report{};
  IOThread().CopyInput(report.data(), TUSBThread::ReportBufferSize);
  const int n = std::clamp(Len, 0, TUSBThread::ReportBufferSize - 1);
  std::memcpy(Buf, report.data() + 1, static_cast<std::size_t>(n));
  return n;
}

int THIDDevice::Write(const std::uint8_t* Buf, int Len) { return WriteBytes(Buf, Len, 100); }

int THIDDevice::WriteBytes(const std::uint8_t* Buf, int Len, int timeoutMs) {
  if (outputReportLength_ <= 0) return -2;  // no device opened
  std::array<std::uint8_t, TUSBThread::ReportBufferSize> report{};
  const int n = std::clamp(Len, 0, outputReportLength_ - 1);
  if (n > 0) std::memcpy(report.data() + 1, Buf, static_cast<std::size_t>(n));
  return WriteReport(report.data(), outputReportLength_, timeoutMs) - 1;
}

// ---- TCustomUSBHIDModem

TCustomUSBHIDModem::TCustomUSBHIDModem(Scheduler& scheduler, std::shared_ptr<HidBackend> backend)
    : THIDDevice(scheduler, std::move(backend)) {
  SetReadCallback([this](int count) { TCustomUSBHIDModem::DoRxData(count); });
}

// The I/O thread calls the report handler of this class: it stops before the members go.
TCustomUSBHIDModem::~TCustomUSBHIDModem() { StopThread(); }

void TCustomUSBHIDModem::Open(int Index, std::string& Msg) {
  Msg = std::string("Le dispositif USB") + (OpenDevice(Index) ? " est ouvert." : " n'est pas ouvert.");
}

void TCustomUSBHIDModem::DoRxData(int Count) {
  std::array<std::uint8_t, TUSBThread::ReportBufferSize> r{};
  const int n = std::min(IOThread().CopyInput(r.data(), TUSBThread::ReportBufferSize), Count);
  HandleReport(std::span<const std::uint8_t>(r.data(), static_cast<std::size_t>(std::max(n, 0))));
}

void TCustomUSBHIDModem::HandleReport(std::span<const std::uint8_t> report) {
  // Held in a zeroed buffer of the largest report, so that no index below reads past it.
  std::array<std::uint8_t, TUSBThread::ReportBufferSize> r{};
  const int n = static_cast<int>(std::min<std::size_t>(report.size(), r.size()));
  std::copy_n(report.begin(), n, r.begin());
  if (n < 5) return;  // not even the header

  const int offset = r[1];
  const int length = r[2] & 0x3F;
  const bool last = (r[2] & 0x80) != 0;
  carrierDetect_ = (r[3] & 0x02) != 0;
  transmitting_ = (r[3] & 0x01) != 0;
  if (r[3] != lastStatus_) {
    lastStatus_ = r[3];
    PostToUI([this] { OnStatusChange(this); });
  }
  acknowledged_ = r[4];
  receivedTo_ = offset + length;

  // Only what the report holds, and only within the receive buffer.
  const int copied = std::max(0, std::min({length, n - 5, ReceiveBufferSize - offset}));
  std::memcpy(receive_.data() + offset, r.data() + 5, static_cast<std::size_t>(copied));

  if (last) {
    const int frameLength = std::min(offset + length, ReceiveBufferSize);
    {
      std::lock_guard<std::mutex> lock(frameMutex_);
      frame_ = receive_;
      frameLength_ = frameLength;
    }
    if (frameLength != prevFrameLength_) PostToUI([this] { OnRXFrame(this); });
    prevFrameLength_ = frameLength;
  } else {
    prevFrameLength_ = 0;
  }

  if (carrierDetect_ != prevCarrierDetect_) PostToUI([this] { OnCDChange(this); });
  if (prevTransmitting_ && !transmitting_) PostToUI([this] { OnEndOfTx(this); });
  prevCarrierDetect_ = carrierDetect_;
  prevTransmitting_ = transmitting_;

  // Tell the modem how far its frame has come; Write does it in its own reports.
  const int receivedTo = receivedTo_;
  if (receivedTo != lastAcknowledged_) {
    std::array<std::uint8_t, TUSBThread::ReportBufferSize> ack{};
    ack[4] = static_cast<std::uint8_t>(receivedTo);
    const int len = OutputReportLength() > 0 ? OutputReportLength() : kModemReportLength;
    if (IOThread().Offer(ack.data(), len)) lastAcknowledged_ = receivedTo;
  }
}

int TCustomUSBHIDModem::Write(const std::uint8_t* Buf, int Len) {
  if (Len < 0 || Len > MaxFrame || (Len > 0 && Buf == nullptr) || !IOThread().Running()) return -1;
  IOThread().Reserve(true);  // no acknowledgement reports while the frame goes out
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(FrameWriteMs);
  int position = 0, result = -1, len = Len;
  bool lastPass = false;
  while (!lastPass) {
    const int n = std::min(len - position, ChunkSize);
    std::array<std::uint8_t, 4 + ChunkSize> chunk{};  // report bytes 1 onwards
    chunk[0] = static_cast<std::uint8_t>(position);
    chunk[1] = static_cast<std::uint8_t>(n > 0 ? n : 0x80);
    chunk[2] = 0;
    chunk[3] = static_cast<std::uint8_t>(receivedTo_.load());
    if (n > 0) std::memcpy(chunk.data() + 4, Buf + position, static_cast<std::size_t>(n));
    const int end = position + n;

    const int wait = std::min(MsLeft(until), HandOverMs);
    if (wait <= 0 || WriteBytes(chunk.data(), 4 + n, wait) < 0) lastPass = true;

    if (acknowledged_ == end) {
      position += ChunkSize;
      if (end == len) {
        if (len == 0) {
          lastPass = true;  // the end chunk is acknowledged
        } else {
          result = Len;  // every byte arrived; the empty end chunk follows
          len = 0;
          position = 0;
        }
      }
    }
    if (MsLeft(until) <= 0) lastPass = true;
  }
  IOThread().Reserve(false);
  return result;
}

int TCustomUSBHIDModem::RxCount() const {
  std::lock_guard<std::mutex> lock(frameMutex_);
  return frameLength_;
}

int TCustomUSBHIDModem::ReadFrame(std::uint8_t* Buf) {
  std::lock_guard<std::mutex> lock(frameMutex_);
  std::memcpy(Buf, frame_.data(), static_cast<std::size_t>(frameLength_));
  return frameLength_;
}

int TCustomUSBHIDModem::Read(std::uint8_t* Buf, int Len) {
  const int n = std::clamp(Len, 0, ReceiveBufferSize);
  std::lock_guard<std::mutex> lock(frameMutex_);
  std::memcpy(Buf, frame_.data(), static_cast<std::size_t>(n));
  return n;
}
