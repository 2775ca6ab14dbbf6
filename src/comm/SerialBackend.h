#pragma once

// The operating system's serial port behind a small interface, so that the serial component
// (Comm) carries no platform code. The POSIX back-end (termios) is the one built here; tests
// run it over a pseudo-terminal and may wrap it to record the modem-control lines.

#include <cstdint>
#include <memory>
#include <string>

// Line settings in the serial component's own codes.
struct TSerialLine {
  int BaudRate = 1200;  // bit/s
  int ByteSize = 8;     // data bits, 5 to 8
  int Parity = 0;       // 0 none, 1 odd, 2 even, 3 mark
  int StopBits = 0;     // 0 one, 1 one and a half, 2 two
};

// Modem status lines, as read by ModemLines.
enum TSerialModemLine : unsigned {
  smlCD = 1u,
  smlRING = 2u,
  smlCTS = 4u,
  smlDSR = 8u,
};

// What a port may not support (a pseudo-terminal supports none of these). Each is found out
// once; the back-end then keeps working without it.
enum TSerialUnsupported : unsigned {
  suModemControl = 1u,  // RTS and DTR cannot be set
  suModemStatus = 2u,   // CD, RING, CTS and DSR cannot be read
  suParity = 4u,        // the parity asked for is not kept
  suBaudRate = 8u,      // the rate asked for is not kept
  suStopBits = 16u,     // the stop bits asked for are not kept
};

enum class TSerialWait { Input, Hangup, Woken, Timeout };

class SerialBackend {
public:
  virtual ~SerialBackend() = default;

  // Opens the device for reading and writing, exclusively, without touching its settings.
  // RTS is dropped at once (the system raises it on open). False when it is absent, in use,
  // not a terminal or not permitted, or when no wake-up for Wait can be made.
  virtual bool Open(const std::string& path) = 0;
  virtual bool IsOpen() const = 0;
  // The descriptor while open, -1 otherwise.
  virtual int Handle() const = 0;
  // Whether the device could be opened now; opens and closes a descriptor of its own.
  virtual bool CanOpen(const std::string& path) = 0;

  // Saves the current settings (Close restores them) and sets a raw line: no flow control of
  // any kind, receiver on, modem-control lines ignored for reading, and characters received
  // with a parity error delivered as '?'. False when the port refuses the settings outright.
  virtual bool Configure(const TSerialLine& line) = 0;
  // Discards received bytes, bytes not yet sent, or both.
  virtual void Purge(bool input, bool output) = 0;

  // True when the line was set; false when it could not be (see Unsupported).
  virtual bool SetRTS(bool on) = 0;
  virtual bool SetDTR(bool on) = 0;
  // TSerialModemLine bits; false when they cannot be read.
  virtual bool ModemLines(unsigned& lines) = 0;

  // Waits until bytes can be read, the other side is gone, Wake was called or timeoutMs
  // passed (negative: no limit). With watchPort false only Wake ends the wait.
  virtual TSerialWait Wait(int timeoutMs, bool watchPort) = 0;
  // Ends the current or the next Wait; safe from any thread.
  virtual void Wake() = 0;

  // Reads what has come, without waiting: the number of bytes stored (0 when none), -1 when
  // the other side is gone. lineError is set when a character came with a parity or framing
  // error (it is delivered as '?').
  virtual int Read(std::uint8_t* buf, int max, bool& lineError) = 0;
  // Queues bytes for sending without waiting: the number queued, -1 on failure.
  virtual int Write(const std::uint8_t* buf, int n) = 0;
  // Blocks until every queued byte has left the port (or the queue was purged). Never call
  // it on the user-interface thread.
  virtual bool Drain() = 0;

  // Discards unsent bytes, restores the settings saved by Configure and closes.
  virtual void Close() = 0;

  // TSerialUnsupported bits found so far.
  virtual unsigned Unsupported() const = 0;
};

// Reads a stream in which the port marks errors: FF FF is a data byte FF, FF 00 x is a
// character received with a parity or framing error, delivered as '?'. A mark may be split
// between two calls.
class TErrorMarkDecoder {
public:
  // Decodes n bytes of in into out (room for n); gives the number stored and sets lineError
  // when a marked character was among them.
  int Decode(const std::uint8_t* in, int n, std::uint8_t* out, bool& lineError);
  void Reset() { state_ = 0; }

private:
  int state_ = 0;  // 1 after FF, 2 after FF 00
};

// The POSIX termios back-end.
std::unique_ptr<SerialBackend> MakeSerialBackend();
