#pragma once

// The serial port component: opens COM1 to COM10, sets the line, reads and writes, drives DTR
// and RTS, and turns port events into notify events on the user-interface thread. An open port
// has two worker threads: the event thread, which waits for the port and reads what comes, and
// the end-of-transmission thread, which waits until the port says the written bytes are out.

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "comm/SerialBackend.h"
#include "runtime/Events.h"
#include "runtime/Scheduler.h"

enum class TBaudRate : std::uint8_t {
  ___110,
  ___300,
  ___600,
  __1200,
  __2400,
  __4800,
  __9600,
  _14400,
  _19200,
  _38400,
  _56000,
  _57600,
  _115_K,
  _128_K,
  _256_K,
};
enum class TParity : std::uint8_t { NONE, EVEN, ODD, MARK };
enum class TStopBits : std::uint8_t { ONE, ONE5, TWO };

// Line values of the enumerations; a value outside the tables gives 0.
int BaudRateValue(TBaudRate rate);
int ParityValue(TParity parity);    // 0 none, 1 odd, 2 even, 3 mark
int StopBitsValue(TStopBits bits);  // 0 one, 1 one and a half, 2 two

// The device that serves COMn: the path in the environment variable CORVIN_COMn when it is set,
// else /dev/ttyS(n-1). Empty for n below 1.
std::string ComDevicePath(int portNo);

// Codes of the port events, as the event thread hands them to DoCommEvent.
enum TCommEvent : int {
  ceRXFLAG = 1,   // the event character was received
  ceRXCHAR = 2,   // characters were received
  ceCDOn = 3,
  ceCDOff = 4,
  ceRINGOn = 5,
  ceRINGOff = 6,
  ceCTSOn = 7,
  ceCTSOff = 8,
  ceDSROn = 9,
  ceDSROff = 10,
  ceTXEMPTY = 11,
  ceERR = 12,     // a line error (parity, framing)
};

// Read and write time-outs, in milliseconds.
struct TCommTimeouts {
  int ReadIntervalTimeout = 0;
  int ReadTotalTimeoutMultiplier = 0;
  int ReadTotalTimeoutConstant = 0;
  int WriteTotalTimeoutMultiplier = 0;
  int WriteTotalTimeoutConstant = 0;
};

class TCustomComm : public TObject {
public:
  // Largest read and write, and the size of the port's queues.
  static constexpr int BufferSize = 240;

  // backend: the platform port; the POSIX one when null.
  explicit TCustomComm(Scheduler& scheduler, std::unique_ptr<SerialBackend> backend = nullptr);
  ~TCustomComm() override;

  // Opens and configures COM<PortNo> (1 to 10) with the current properties and starts the
  // threads. Msg receives the status text. A port that is open is closed first.
  virtual void Open(int PortNo, std::string& Msg);
  // Stops the threads, restores the old settings and closes; false when no port was open.
  // Nothing the threads handed over runs after it.
  bool Close();
  // Sets the read interval time-out; true when a port is open to take it.
  bool SetReadIntervalTimeout(int ms);
  // Whether COM1 to COM4 could be opened now.
  std::array<bool, 4> ProbePorts();

  // What has been received, at most 240 bytes; it does not wait.
  virtual void Read(std::string& S);
  // Writes the first Count bytes of S (at most 240); true when all of them went out.
  virtual bool Write(const std::string& S, int Count);

  bool ModemDTR() const { return modemDTR_; }
  virtual void SetModemDTR(bool Value);
  bool ModemRTS() const { return modemRTS_; }
  virtual void SetModemRTS(bool Value);

  // Line settings, taken at Open.
  TBaudRate BaudRate() const { return baudRate_; }
  void SetBaudRate(TBaudRate v) { baudRate_ = v; }
  TParity Parity() const { return parity_; }
  void SetParity(TParity v) { parity_ = v; }
  TStopBits StopBits() const { return stopBits_; }
  void SetStopBits(TStopBits v) { stopBits_ = v; }
  std::uint8_t ByteSize() const { return byteSize_; }
  void SetByteSize(std::uint8_t v) { byteSize_ = v; }
  char EventChar() const { return eventChar_; }
  void SetEventChar(char v) { eventChar_ = v; }

  virtual std::intptr_t GetHandle() const;  // 0 while no port is open
  virtual int GetRxCount() const { return bytesRead_; }
  virtual bool GetCD() const { return cd_; }
  virtual bool GetRING() const { return ring_; }
  virtual bool GetCTS() const { return cts_; }
  virtual bool GetDSR() const { return dsr_; }
  virtual bool GetTxBusy() const { return txBusy_; }

  // Time one character takes on the open line, in ms.
  float CharTime() const { return charTime_; }
  const TCommTimeouts& Timeouts() const { return timeouts_; }
  // The last status text: that of Open, or the not-available text once the port is gone.
  const std::string& StatusText() const { return statusText_; }
  // What the open port turned out not to support (TSerialUnsupported bits).
  unsigned Unsupported() const { return backend_->Unsupported(); }

  TNotifyEvent OnCDChange;
  TNotifyEvent OnRINGChange;
  TNotifyEvent OnCTSChange;
  TNotifyEvent OnDSRChange;
  TNotifyEvent OnRXChar;
  TNotifyEvent OnEvRXCha;
  TNotifyEvent OnStartOfTx;
  TNotifyEvent OnEndOfTx;
  // A read was asked of a port that is not open (the program beeps).
  TNotifyEvent OnBeep;

protected:
  virtual void DoCommEvent(int Code);
  void DoEndOfTx();

private:
  void StartThreads();
  void StopThreads();
  void EventLoop();
  void EndOfTxLoop();
  void ArmEndOfTx(int ms);
  void TryEndOfTx();

  Scheduler& scheduler_;
  std::unique_ptr<SerialBackend> backend_;
  TPostGate gate_;

  bool modemDTR_ = false;
  bool modemRTS_ = false;
  TBaudRate baudRate_ = TBaudRate::__1200;
  TParity parity_ = TParity::NONE;
  TStopBits stopBits_ = TStopBits::ONE;
  std::uint8_t byteSize_ = 8;
  char eventChar_ = 0;

  int portNo_ = 0;
  float charTime_ = 0.0f;
  TCommTimeouts timeouts_;
  std::string statusText_;
  bool cd_ = false, ring_ = false, cts_ = false, dsr_ = false;
  bool txBusy_ = false;
  int bytesRead_ = 0;

  // Received bytes, filled by the event thread, taken by Read.
  std::mutex rxMutex_;
  std::string rx_;

  // Event thread.
  std::thread eventThread_;
  std::atomic<bool> eventStop_{false};
  std::uint8_t watchedChar_ = 0;
  unsigned linesAtOpen_ = 0;
  bool watchLinesAtOpen_ = false;

  // End of transmission: it fires once both the deadline (Count x character time after the
  // write began, kept on the scheduler) and the port's drain of that write have passed.
  std::thread endOfTxThread_;
  std::mutex drainMutex_;
  std::condition_variable drainWake_;
  bool drainStop_ = false;
  std::uint64_t drainWanted_ = 0;  // the last write whose drain is asked for
  std::uint64_t drainDone_ = 0;    // the last write the port has drained
  std::uint64_t txGen_ = 0;        // the last write (user-interface thread only)
  bool endOfTxPending_ = false;
  bool deadlinePassed_ = false;
  bool deadlineArmed_ = false;
  Scheduler::TaskId deadlineTask_ = 0;
};

class TComm : public TCustomComm {
public:
  using TCustomComm::TCustomComm;
};
