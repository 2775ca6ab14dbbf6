#include "support/FakeHid.h"

#include <algorithm>
#include <cstring>
#include <thread>

class FakeHidModem::Device : public HidDevice {
public:
  Device(FakeHidModem& modem, int plugCount) : modem_(modem), plugCount_(plugCount) {}

  bool GetManufacturerString(std::wstring& s) override { return Text(modem_.Manufacturer, s); }
  bool GetProductString(std::wstring& s) override { return Text(modem_.Product, s); }
  bool GetSerialNumberString(std::wstring& s) override { return Text(modem_.Serial, s); }
  bool GetReportLengths(int& input, int& output) override {
    if (!modem_.SaysReportLengths) return false;
    input = modem_.InputLength;
    output = modem_.OutputLength;
    return true;
  }
  int ReadReport(std::uint8_t* buf, int len, int timeoutMs) override {
    return modem_.Read(buf, len, timeoutMs, plugCount_);
  }
  int WriteReport(const std::uint8_t* buf, int len) override { return modem_.Write(buf, len, plugCount_); }

private:
  bool Text(const std::wstring& value, std::wstring& s) const {
    if (!modem_.HasStrings) return false;
    s = value;
    return true;
  }

  FakeHidModem& modem_;
  int plugCount_;
};

FakeHidModem::~FakeHidModem() = default;

void FakeHidModem::SetPlugged(bool on) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (plugged_ && !on) ++plugCount_;
    plugged_ = on;
  }
  changed_.notify_all();
}

void FakeHidModem::SetOpenable(bool on) {
  std::lock_guard<std::mutex> lock(mutex_);
  openable_ = on;
}

void FakeHidModem::SetSilent(bool on) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    silent_ = on;
  }
  changed_.notify_all();
}

void FakeHidModem::SetAcknowledging(bool on) {
  std::lock_guard<std::mutex> lock(mutex_);
  acknowledging_ = on;
}

void FakeHidModem::SetStatus(std::uint8_t status) {
  std::lock_guard<std::mutex> lock(mutex_);
  status_ = status;
}

void FakeHidModem::SetReportPeriodMs(int ms) {
  std::lock_guard<std::mutex> lock(mutex_);
  periodMs_ = ms;
}

void FakeHidModem::StallNextWrite(int ms) {
  std::lock_guard<std::mutex> lock(mutex_);
  stallMs_ = ms;
}

void FakeHidModem::Script(TReport report) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    script_.push_back(std::move(report));
  }
  changed_.notify_all();
}

void FakeHidModem::SendFrame(TReport frame) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    tx_ = std::move(frame);
    txConfirmed_ = 0;
    txDelivered_ = false;
  }
  changed_.notify_all();
}

std::vector<FakeHidModem::TReport> FakeHidModem::Written() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return written_;
}

std::vector<std::chrono::steady_clock::time_point> FakeHidModem::WrittenAt() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return writtenAt_;
}

std::vector<FakeHidModem::TReport> FakeHidModem::Frames() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return frames_;
}

bool FakeHidModem::FrameDelivered() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return txDelivered_;
}

int FakeHidModem::ReportsServed() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return served_;
}

int FakeHidModem::Opens() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return opens_;
}

bool FakeHidModem::WaitIdle(int timeoutMs) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [this] { return script_.empty() && waitingReads_ > 0; });
}

bool FakeHidModem::WaitWritten(std::size_t n, int timeoutMs) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return written_.size() >= n; });
}

std::vector<std::string> FakeHidModem::Enumerate(std::uint16_t vendorId, std::uint16_t productId, bool includeAbsent) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> paths;
  if (vendorId != VendorId || productId != ProductId) return paths;
  if (plugged_) paths.push_back(Path);
  if (includeAbsent) paths.insert(paths.end(), RegisteredAbsent.begin(), RegisteredAbsent.end());
  return paths;
}

std::unique_ptr<HidDevice> FakeHidModem::OpenPath(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (path != Path || !plugged_ || !openable_) return nullptr;
  ++opens_;
  return std::make_unique<Device>(*this, plugCount_);
}

int FakeHidModem::Read(std::uint8_t* buf, int len, int timeoutMs, int plugCount) {
  using Clock = std::chrono::steady_clock;
  std::unique_lock<std::mutex> lock(mutex_);
  const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
  ++waitingReads_;
  changed_.notify_all();
  int result = 0;
  for (;;) {
    if (!plugged_ || plugCount != plugCount_) {
      result = -1;
      break;
    }
    const auto now = Clock::now();
    std::fill(buf, buf + len, 0);
    if (!script_.empty()) {
      const TReport r = std::move(script_.front());
      script_.pop_front();
      result = std::min<int>(len, static_cast<int>(r.size()));
      std::copy(r.begin(), r.begin() + result, buf);
      break;
    }
    if (!silent_ && now >= nextReport_) {
      nextReport_ = now + std::chrono::milliseconds(periodMs_);
      buf[3] = status_;
      buf[4] = static_cast<std::uint8_t>(acknowledged_);
      if (txConfirmed_ < tx_.size()) {
        const std::size_t n = std::min<std::size_t>(60, tx_.size() - txConfirmed_);
        buf[1] = static_cast<std::uint8_t>(txConfirmed_);
        buf[2] = static_cast<std::uint8_t>(n | (txConfirmed_ + n == tx_.size() ? 0x80 : 0));
        for (std::size_t i = 0; i < n && 5 + i < static_cast<std::size_t>(len); ++i) buf[5 + i] = tx_[txConfirmed_ + i];
      }
      result = len;
      break;
    }
    if (now >= until) break;
    const auto wake = silent_ ? until : std::min(until, nextReport_);
    changed_.wait_until(lock, wake);
  }
  if (result > 0) ++served_;
  --waitingReads_;
  changed_.notify_all();
  return result;
}

int FakeHidModem::Write(const std::uint8_t* buf, int len, int plugCount) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!plugged_ || plugCount != plugCount_) return -1;
  if (stallMs_ > 0) {
    const int ms = stallMs_;
    stallMs_ = 0;
    lock.unlock();
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return -1;
  }
  written_.emplace_back(buf, buf + len);
  writtenAt_.push_back(std::chrono::steady_clock::now());
  changed_.notify_all();
  if (len < 5) return len;
  const int offset = buf[1], lengthByte = buf[2], receivedTo = buf[4];

  // How far the host has the modem's frame.
  if (txConfirmed_ < tx_.size()) {
    const std::size_t n = std::min<std::size_t>(60, tx_.size() - txConfirmed_);
    if (static_cast<std::size_t>(receivedTo) == txConfirmed_ + n) {
      txConfirmed_ += n;
      if (txConfirmed_ == tx_.size()) txDelivered_ = true;
    }
  }

  if (lengthByte == 0x80) {
    // The end chunk completes the host's frame.
    if (rxEnd_ > 0) frames_.emplace_back(rx_.begin(), rx_.begin() + rxEnd_);
    rxEnd_ = 0;
    acknowledged_ = 0;
  } else if ((lengthByte & 0x3F) > 0) {
    const int n = std::min(lengthByte & 0x3F, len - 5);
    for (int i = 0; i < n && offset + i < 256; ++i) rx_[static_cast<std::size_t>(offset + i)] = buf[5 + i];
    rxEnd_ = std::max(rxEnd_, offset + n);
    if (acknowledging_) acknowledged_ = offset + n;
  }
  return len;
}
