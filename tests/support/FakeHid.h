#pragma once

// An in-process USB HART modem behind the HID back-end interface. It speaks the modem's
// report protocol: it takes the host's frames in chunks and acknowledges them by count, sends
// its own frames in chunks of at most 60 bytes, each repeated until the host's count shows it
// arrived, and reports its status byte. It can also serve raw scripted reports, fall silent,
// refuse to open or be unplugged. It records every report the host writes.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "comm/HidBackend.h"

class FakeHidModem : public HidBackend {
public:
  using TReport = std::vector<std::uint8_t>;

  // Identity; set before use.
  std::string Path = "fake-hid:0";
  std::uint16_t VendorId = 0x0451, ProductId = 9;
  std::wstring Manufacturer = L"Fake Maker", Product = L"HART USB Modem", Serial = L"0001";
  bool HasStrings = true;
  bool SaysReportLengths = false;  // else the host takes 65 and 65
  int InputLength = 65, OutputLength = 65;
  std::vector<std::string> RegisteredAbsent;  // listed only when absent devices are asked for

  FakeHidModem() = default;
  ~FakeHidModem() override;

  void SetPlugged(bool on);
  void SetOpenable(bool on);
  // A silent modem sends no report at all (scripted ones still go out).
  void SetSilent(bool on);
  // When false, the host's chunks are stored but never acknowledged.
  void SetAcknowledging(bool on);
  void SetStatus(std::uint8_t status);
  // Time between two reports of a modem that is not silent.
  void SetReportPeriodMs(int ms);
  // The next report the host writes takes ms and then fails, unrecorded (a stalled modem).
  void StallNextWrite(int ms);

  // A raw input report (report id in byte 0), served before anything else.
  void Script(TReport report);
  // Sends a frame to the host.
  void SendFrame(TReport frame);

  std::vector<TReport> Written() const;  // every report the host wrote, in order
  std::vector<std::chrono::steady_clock::time_point> WrittenAt() const;  // when each of them came
  std::vector<TReport> Frames() const;   // every frame the host completed with its end chunk
  bool FrameDelivered() const;           // the frame of SendFrame was acknowledged to its end
  int ReportsServed() const;
  int Opens() const;

  // Waits until every scripted report was served and the host waits for the next one.
  bool WaitIdle(int timeoutMs);
  // Waits until the host has written n reports.
  bool WaitWritten(std::size_t n, int timeoutMs);

  std::vector<std::string> Enumerate(std::uint16_t vendorId, std::uint16_t productId, bool includeAbsent) override;
  std::unique_ptr<HidDevice> OpenPath(const std::string& path) override;

private:
  class Device;
  friend class Device;
  int Read(std::uint8_t* buf, int len, int timeoutMs, int plugCount);
  int Write(const std::uint8_t* buf, int len, int plugCount);

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool plugged_ = true;
  int plugCount_ = 0;  // a device opened before an unplug stays dead
  bool openable_ = true;
  bool silent_ = false;
  bool acknowledging_ = true;
  std::uint8_t status_ = 0;
  int periodMs_ = 2;
  int stallMs_ = 0;
  std::chrono::steady_clock::time_point nextReport_{};
  std::deque<TReport> script_;
  int waitingReads_ = 0;
  int served_ = 0;
  int opens_ = 0;

  // The modem's frame to the host and how far the host has confirmed it.
  TReport tx_;
  std::size_t txConfirmed_ = 0;
  bool txDelivered_ = false;

  // The host's frame being received.
  std::vector<std::uint8_t> rx_ = std::vector<std::uint8_t>(256, 0);
  int rxEnd_ = 0;
  int acknowledged_ = 0;
  std::vector<TReport> frames_;
  std::vector<TReport> written_;
  std::vector<std::chrono::steady_clock::time_point> writtenAt_;
};
