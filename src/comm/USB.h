#pragma once

// USB devices of the HID class by vendor and product id, and the USB HART modem on top.
// TCustomUSB holds the device paths and the I/O thread, THIDDevice finds the devices and
// exchanges whole reports with the chosen one, TCustomUSBHIDModem carries HART frames in
// acknowledged chunks of at most 60 bytes.

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>

#include "comm/HidBackend.h"
#include "comm/Item.h"
#include "runtime/Events.h"
#include "runtime/Scheduler.h"

// The I/O thread: keeps the chosen device open, reads one input report after the other, and
// after each one writes the report waiting in its one-report slot. It reopens the device every
// 100 ms while it cannot be opened. Callbacks run on this thread.
class TUSBThread {
public:
  static constexpr int ReportBufferSize = 256;

  struct TCallbacks {
    std::function<void(int count)> Read;  // after each input report, with its length
    std::function<void()> Connect, Disconnect;
  };

  // How a hand-over of a report ended.
  enum class THandOver { Sent, Dropped, TimedOut, NotRunning };

  explicit TUSBThread(HidBackend& backend) : backend_(backend) {}
  ~TUSBThread() { Stop(); }
  TUSBThread(const TUSBThread&) = delete;
  TUSBThread& operator=(const TUSBThread&) = delete;

  // Starts the cycles on path (not connected yet); false when the thread could not start.
  bool Start(const std::string& path, TCallbacks callbacks);
  // Ends the current cycle and joins the thread; a report still waiting is dropped.
  void Stop();
  bool Running() const { return running_; }

  int InputReportLength() const { return inputLength_; }
  void SetInputReportLength(int n);
  // Copies the last input report (report id in byte 0); gives its length.
  int CopyInput(std::uint8_t* dst, int max) const;

  // Puts a report in the slot and waits until the thread has written it, dropped it, or
  // timeoutMs passed; then it is withdrawn: one still waiting never goes, and one being
  // written is not tried again when that write fails. Replaces an acknowledgement that is
  // still waiting.
  THandOver HandOver(const std::uint8_t* report, int len, int timeoutMs);
  // Puts a report in the slot unless it is in use or reserved; nobody waits for it.
  bool Offer(const std::uint8_t* report, int len);
  // While reserved, Offer refuses.
  void Reserve(bool on);

private:
  enum class TSlot { Free, Waiting, Writing, Sent, Dropped };

  void Loop();
  bool WritePending(HidDevice& dev);
  void DropPending();
  bool SleepUnlessStopped(int ms);

  HidBackend& backend_;
  std::thread thread_;
  std::atomic<bool> running_{false};
  std::atomic<int> inputLength_{0};
  std::string path_;
  TCallbacks callbacks_;
  bool connected_ = false;  // I/O thread only

  mutable std::mutex inputMutex_;
  std::array<std::uint8_t, ReportBufferSize> input_{};
  int inputCount_ = 0;

  std::mutex slotMutex_;
  std::condition_variable slotChanged_;
  bool stop_ = false;
  bool reserved_ = false;
  bool awaited_ = false;    // a hand-over waits for the report in the slot
  bool withdrawn_ = false;  // the report being written was given up: a failed write drops it
  TSlot slot_ = TSlot::Free;
  std::array<std::uint8_t, ReportBufferSize> output_{};
  int outputLength_ = 0;
};

class TCustomUSB : public TObject {
public:
  // backend: the platform's HID access; hidapi when null.
  explicit TCustomUSB(Scheduler& scheduler, std::shared_ptr<HidBackend> backend = nullptr);
  ~TCustomUSB() override;

  // The read callback: stores the count and fires OnRXFrame (on the user-interface thread).
  virtual void DoRxData(int Count);
  // The byte count of the last input report.
  virtual int RxCount() const { return rxCount_; }
  virtual int Enumerate() = 0;
  virtual std::string GetDevicePath(int Index) = 0;
  virtual int Read(std::uint8_t* Buf, int Len) = 0;
  // Hands one report of Len bytes to the I/O thread and waits at most 100 ms until it is
  // written; gives Len, or -1 when it was not (dropped, not taken in time, no thread).
  virtual int Write(const std::uint8_t* Buf, int Len);

  bool ViewRegisteredDevices() const { return viewRegisteredDevices_; }
  void SetViewRegisteredDevices(bool Value) { viewRegisteredDevices_ = Value; }

  TNotifyEvent OnRXFrame;
  TNotifyEvent OnDisconnect;
  TNotifyEvent OnConnect;

protected:
  void DoDisconnect() { OnDisconnect(this); }
  void DoConnect() { OnConnect(this); }

  // Runs fn on the user-interface thread, unless the I/O thread is stopped first.
  void PostToUI(std::function<void()> fn) { gate_.Post(std::move(fn)); }
  // Stops and joins the I/O thread and drops what it handed over and has not run yet.
  void StopThread();
  // Starts the I/O thread on path with this component's callbacks.
  bool StartThread(const std::string& path);
  // The I/O thread's read callback, set by a constructor: it calls the handler of one class
  // directly, so that no virtual call races with the destructors.
  void SetReadCallback(std::function<void(int)> fn) { readCallback_ = std::move(fn); }
  // Hands one report over with a wait of at most timeoutMs (see Write).
  int WriteReport(const std::uint8_t* Buf, int Len, int timeoutMs);

  HidBackend& Backend() { return *backend_; }
  TItemList& Paths() { return paths_; }
  TUSBThread& IOThread() { return thread_; }
  const TUSBThread& IOThread() const { return thread_; }

private:
  std::shared_ptr<HidBackend> backend_;
  TPostGate gate_;
  TItemList paths_;
  bool viewRegisteredDevices_ = false;
  std::atomic<int> rxCount_{0};
  std::function<void(int)> readCallback_;
  TUSBThread thread_;
};

class THIDDevice : public TCustomUSB {
public:
  explicit THIDDevice(Scheduler& scheduler, std::shared_ptr<HidBackend> backend = nullptr);

  std::uint16_t Vid() const { return vid_; }
  void SetVid(std::uint16_t Value) { vid_ = Value; }
  std::uint16_t Pid() const { return pid_; }
  void SetPid(std::uint16_t Value) { pid_ = Value; }

  // Lists the paths of the devices with Vid and Pid; gives their number.
  int Enumerate() override;
  // The path at Index (from 0) of the last enumeration; empty outside the list.
  std::string GetDevicePath(int Index) override;
  // Strings of device N, counted from 1: empty (manufacturer, product) or "unknown" (serial
  // number) when the device does not open or does not give them.
  std::string GetManufacturerString(int N);
  std::string GetProductString(int N);
  std::string GetSerialNumberString(int N);

  // Chooses the device at Index of a new enumeration and starts the I/O thread on it.
  bool SelectDevice(int Index);
  // SelectDevice, then opens the device to read its report lengths (65 and 65 when it does
  // not say). False when there is no such device or it does not open.
  bool OpenDevice(int Index);
  // Stops the I/O thread and fires OnDisconnect.
  void StopDevice();

  // Copies Len bytes of the last input report from byte 1 on (after the report id).
  int Read(std::uint8_t* Buf, int Len) override;
  // Sends Len bytes as one report: id 0, the bytes, zeros to the output report length.
  // Gives the output report length - 1 when it was written, a negative number otherwise.
  int Write(const std::uint8_t* Buf, int Len) override;

  int InputReportLength() const { return IOThread().InputReportLength(); }
  int OutputReportLength() const { return outputReportLength_; }

protected:
  // Write with a wait of at most timeoutMs.
  int WriteBytes(const std::uint8_t* Buf, int Len, int timeoutMs);

private:
  // Enumerates again; true when Index names a device of the list.
  bool HasDevice(int Index);
  bool DeviceText(int N, bool (HidDevice::*get)(std::wstring&), std::string& s);

  std::uint16_t vid_ = 0x0451;
  std::uint16_t pid_ = 4;
  int outputReportLength_ = 0;
};

class TCustomUSBHIDModem : public THIDDevice {
public:
  static constexpr int ChunkSize = 60;
  static constexpr int ReceiveBufferSize = 257;
  static constexpr int MaxFrame = 255;
  static constexpr int HandOverMs = 100;
  static constexpr int FrameWriteMs = 1000;

  explicit TCustomUSBHIDModem(Scheduler& scheduler, std::shared_ptr<HidBackend> backend = nullptr);
  ~TCustomUSBHIDModem() override;

  // OpenDevice(Index); Msg gets the status text.
  void Open(int Index, std::string& Msg);
  // Sends one frame of Len bytes (at most 255) in chunks; gives Len when all its bytes were
  // acknowledged, else -1. Waits 1000 ms at most in all.
  int Write(const std::uint8_t* Buf, int Len) override;
  // Length of the last complete frame.
  int RxCount() const override;
  // Copies the first Len bytes (at most 257) of the last complete frame; gives their number.
  int Read(std::uint8_t* Buf, int Len) override;
  // Copies the whole last complete frame into Buf (257 bytes) and gives its length, both
  // taken together, so a frame completing meanwhile cannot mix with it.
  int ReadFrame(std::uint8_t* Buf);
  // The I/O thread's read callback: hands the input report it read to HandleReport.
  void DoRxData(int Count) override;
  // The report handler: takes one input report (report id in byte 0). The I/O thread calls
  // it for each report it reads; it may be called on another thread only while the I/O
  // thread is not running.
  void HandleReport(std::span<const std::uint8_t> report);

  TNotifyEvent OnStatusChange;
  TNotifyEvent OnCDChange;
  TNotifyEvent OnEndOfTx;

private:
  // I/O thread only.
  bool carrierDetect_ = false, prevCarrierDetect_ = false;
  bool transmitting_ = false, prevTransmitting_ = false;
  std::array<std::uint8_t, ReceiveBufferSize> receive_{};
  int prevFrameLength_ = 0;
  int lastAcknowledged_ = 0;
  std::uint8_t lastStatus_ = 0;

  // Written by the I/O thread, read by Write.
  std::atomic<int> acknowledged_{0};
  std::atomic<int> receivedTo_{0};

  // The last complete frame, as Read and RxCount give it.
  mutable std::mutex frameMutex_;
  std::array<std::uint8_t, ReceiveBufferSize> frame_{};
  int frameLength_ = 0;
};

class TUSBHIDModem : public TCustomUSBHIDModem {
public:
  using TCustomUSBHIDModem::TCustomUSBHIDModem;
};
