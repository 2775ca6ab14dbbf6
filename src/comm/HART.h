#pragma once

// The HART master: builds request frames, sends them through the modem, decides by line
// silence when an answer is complete, extracts, checks and parses it, reports link errors,
// supervises unanswered requests, and hands answers to the transmitter model.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>

#include "comm/Modem.h"
#include "model/Format.h"
#include "model/Utils.h"
#include "model/Xmt.h"
#include "runtime/Langue.h"
#include "runtime/Scheduler.h"
#include "runtime/Timer.h"

// Master bit of every request: secondary (bit 7 clear) or primary master (bit 7 set).
enum class TMasterAdress : Byte { Hand_Held_Communicator = 0, Host_Communicator = 1 };

// One entry of the request templates: the command and the byte count of its request data.
// Every request is built from its entry's frame.
struct TRequestTemplate {
  Byte Command;
  Byte ByteCount;
};

// The 67 templates, command 0 first.
std::span<const TRequestTemplate> RequestTemplates();
// The template of a command; nullptr for a command the program never sends.
const TRequestTemplate* FindRequestTemplate(Byte command);
// The entry as the table holds it: one byte L = frame length + 1, then the L - 1 bytes of
// the frame with zero address, zero data (but the signature of command 128) and a zero
// check byte.
std::string RequestTemplateEntry(const TRequestTemplate& t);

// Thrown by a request whose text argument does not convert to a number (the date of
// command 18); nothing is sent then.
class EConvertError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// The wire encodings of request data, most significant byte first.
namespace HartEncode {
// high = value div 256, low = value - 256 * high, each its low 8 bits.
std::array<Byte, 2> U16(std::int32_t value);
// 16-bit two's complement.
std::array<Byte, 2> I16(std::int16_t value);
// From a floating value: high = Trunc(x / 65536), middle = Trunc(rest / 256), low =
// Trunc(rest), each its low 8 bits; NaN and infinities give 00 00 00.
std::array<Byte, 3> U24(double value);
// IEEE single, the byte with sign and exponent first.
std::array<Byte, 4> F32(float value);
// The text padded with blanks to `chars` characters (longer ones are cut), a-z turned into
// A-Z, packed 4 characters into 3 bytes.
std::string PackedText(const std::string& text, int chars);
// Day, month, year - 1900, each its low 8 bits.
std::array<Byte, 3> Date(int day, int month, int year);
}  // namespace HartEncode

class TCustomHART : public TCustomModem {
public:
  static constexpr int TxBufferSize = 240;
  static constexpr int RxBufferSize = 240;
  static constexpr int AnswerFrameSize = 80;

  // The link runs its 20 ms timer on scheduler; texts follow langue. The serial and USB
  // transports use the given back-ends, the platform's when null.
  explicit TCustomHART(Scheduler& scheduler, TLangue langue = TLangue::Anglais,
                       std::unique_ptr<SerialBackend> serialBackend = nullptr,
                       std::shared_ptr<HidBackend> hidBackend = nullptr);
  ~TCustomHART() override;

  // Published properties and events; the sender of every event is the link.
  TMasterAdress MasterAdress = TMasterAdress::Hand_Held_Communicator;
  Byte NbPreambles = 7;
  TNotifyEvent OnSendComplete;  // the modem finished transmitting a request
  TNotifyEvent OnDataArrival;   // an answer passed extraction and parsing
  TNotifyEvent OnModemChange;   // the modem notified received data
  TNotifyEvent OnCommError;     // a link error is to be shown

  TLangue Langue;
  // Local date and time of the computer, for the registration request; tests set their own.
  std::function<TDateTime()> Now;

  // Link state.
  std::int32_t ExpectedCommand = 0;     // command of the last request, -1 after 42 and 128
  std::int32_t SupervisionCounter = 0;  // ticks since the last supervision check or read
  std::int32_t SettleCounter = -1;      // -1 idle, else ticks since the last notification
  std::unique_ptr<TTimer> Timer;
  Byte PollingAddress = 0;              // of the last short answer or command-6 answer
  TErreur Erreur;                       // link errors: code 0, 256, 512 or 768
  std::int32_t LastCommand = 0;         // command of the last decoded answer, -1 after a request
  // The device answered the last request, refusing it (a response code not 0): sending it
  // again cannot succeed. False after a request.
  bool RequestRefused = false;

  // Buffers.
  std::array<Byte, TxBufferSize> TxBuffer{};
  std::array<Byte, RxBufferSize> RxBuffer{};
  std::int32_t ReceivedCount = 0;       // as the modem reported it; 0 once extracted
  std::array<Byte, AnswerFrameSize> AnswerFrame{};
  std::int32_t AnswerLength = 0;        // bytes extracted into AnswerFrame

  // Fields of the parsed answer.
  Byte AnswerFrameType = 0;             // delimiter AND 7: 6 slave answer, 2 master request
  Byte AnswerIsLong = 0;
  std::int32_t AnswerDeviceId = 0;
  Byte AnswerCheck = 0;                 // 0 when the check byte is right
  Byte AnswerCommand = 0;
  std::int32_t ResponseCode = 0;
  std::int32_t DeviceStatusByte = 0;
  std::int32_t AnswerByteCount = 0;     // status bytes included
  std::int32_t AnswerDataPosition = 0;  // first data byte after the status bytes

  // Link.
  virtual void DoSendComplete();
  // Sends the first count + 1 bytes of s.
  virtual bool SendFrame(const std::string& s, int count);
  void DataArrived();
  void TimerTick();
  void ReadReceivedData();

  // Frames.
  // Places preambles, the template's frame with the address of xmt and the first n data
  // bytes, the check byte and a trailing 0x00 in the transmit buffer; returns the index of
  // that 0x00, the count to give SendFrame.
  int BuildLongFrame(const TRequestTemplate& t, const TXmt& xmt, int n, std::span<const Byte> data);
  bool ExtractFrame();
  bool ParseFrame();

  // Answers.
  void HandleResponse(TXmt& xmt);
  bool CheckResponseCode(TXmt& xmt);
  void DecodeResponse(TXmt& xmt);
  // The message of a response code of 1 to 127 to the given command.
  std::string ResponseCodeMessage(int code, int command) const;
  // The answer data: the answer frame from AnswerDataPosition on.
  TAnswerData AnswerData() const;

  // Requests without data.
  bool ReadPrimaryVariable(TXmt& xmt);           // 1
  bool ReadCurrentAndPercent(TXmt& xmt);         // 2
  bool ReadDynamicVariables(TXmt& xmt);          // 3
  bool ReadMessage(TXmt& xmt);                   // 12
  bool ReadTagDescriptorDate(TXmt& xmt);         // 13
  bool ReadSensorInformation(TXmt& xmt);         // 14
  bool ReadOutputInformation(TXmt& xmt);         // 15
  bool ReadAssemblyNumber(TXmt& xmt);            // 16
  bool ResetConfigChangedFlag(TXmt& xmt);        // 38
  bool PerformSelfTest(TXmt& xmt);               // 41
  bool ResetDevice(TXmt& xmt);                   // 42, expects no answer
  bool ReadAdditionalStatus(TXmt& xmt);          // 48
  bool ReadRealTimeClock(TXmt& xmt);             // 90
  bool TrimSensorFullScale(TXmt& xmt);           // 134
  bool TrimSensorOffset(TXmt& xmt);              // 135
  bool ReadSensorInfo(TXmt& xmt);                // 137
  bool SetPEReference(TXmt& xmt);                // 138
  bool SetZReference(TXmt& xmt);                 // 139
  bool ReadParamChecksum(TXmt& xmt);             // 189
  bool ReadRomChecksum(TXmt& xmt);               // 190
  bool ReadTopOfStack(TXmt& xmt);                // 191
  bool ReadStatusRegister(TXmt& xmt);            // 195
  bool ReadAutotestResult(TXmt& xmt);            // 196
  bool ReadPeakThermalValue(TXmt& xmt);          // 198
  bool ReadThermalDriftCorrection(TXmt& xmt);    // 200
  bool ReadSegmentNumber(TXmt& xmt);             // 204
  bool ReadMaxSegments(TXmt& xmt);               // 205
  bool ReadPVRangeInfo(TXmt& xmt);               // 208
  bool ReadADCValues(TXmt& xmt);                 // 210
  bool ReadExtendedStatus(TXmt& xmt);            // 214

  // Requests with data.
  bool WritePollingAddress(TXmt& xmt, Byte address);                                  // 6
  bool WriteMessage(TXmt& xmt, const std::string& message);                           // 17
  // The date text is read day first with xmt.FormatSettings.DateSeparator; a part that is
  // not a number throws EConvertError before anything is sent.
  bool WriteTagDescriptorDate(TXmt& xmt, const std::string& tag, const std::string& descriptor,
                              const std::string& date);                               // 18
  bool WriteAssemblyNumber(TXmt& xmt, double number);                                 // 19
  bool WriteDampingValue(TXmt& xmt, float seconds);                                   // 34
  bool WriteRangeValues(TXmt& xmt, Byte unitCode, float upper, float lower);          // 35
  bool RefreshCacheMemory(TXmt& xmt);                                                 // 39
  virtual bool FixCurrent(TXmt& xmt, float milliamps);                                // 40
  bool WriteUnits(TXmt& xmt, Byte unitCode);                                          // 44
  virtual bool TrimCurrentZero(TXmt& xmt, float milliamps);                           // 45
  virtual bool TrimCurrentGain(TXmt& xmt, float milliamps);                           // 46
  bool WriteTransferFunction(TXmt& xmt, Byte code);                                   // 47
  bool WriteSerialNumber(TXmt& xmt, double number);                                   // 49
  bool SetRealTimeClock(TXmt& xmt, Byte code, TDateTime moment);                      // 89
  // Today's date from Now; expects no answer.
  bool RegisterDevice(TXmt& xmt, double serialNumber);                                // 128
  bool TrimAmbientTemperature(TXmt& xmt, float temperature);                          // 129
  bool TrimMidScalePoints(TXmt& xmt, Byte value);                                     // 133
  bool WriteSensorInfo(TXmt& xmt, Byte value);                                        // 136
  bool SelectInput(TXmt& xmt, Byte input);                                            // 140
  bool WriteSecondaryInputLimits(TXmt& xmt, Byte selector, float upper, float lower); // 143
  bool ReadSecondaryInputLimits(TXmt& xmt, Byte selector);                            // 144
  bool ReadE2PromValue(TXmt& xmt, std::uint16_t address);                             // 192
  bool WriteE2PromValue(TXmt& xmt, std::uint16_t address, std::uint16_t value);       // 193
  bool WriteStatusRegister(TXmt& xmt, std::int32_t word);                             // 194
  bool WritePeakThermalValue(TXmt& xmt, Byte first, Byte second);                     // 197
  bool WriteThermalDriftCorrection(TXmt& xmt, float v1, float v2, float v3, float v4);// 199
  // Also stores the point into the live record (indexes 0 to 47 only).
  bool WriteSegment(TXmt& xmt, std::int32_t index, float x, float y);                 // 201
  bool ReadSegment(TXmt& xmt, Byte index);                                            // 202
  // Also stores the count into the live record.
  bool WriteSegmentNumber(TXmt& xmt, std::int32_t count);                             // 203
  bool WriteAccessLock(TXmt& xmt, std::int32_t code);                                 // 206
  bool WritePVRangeInfo(TXmt& xmt, Byte unitCode, float upper, float lower);          // 207
  bool WriteAlarmInfo(TXmt& xmt, Byte alarm, const TAlarmInfo& info);                 // 211
  bool ReadAlarmInfo(TXmt& xmt, Byte alarm);                                          // 212
  bool WriteExtendedStatus(TXmt& xmt, std::int32_t word);                             // 213

  // Requests with their own frames.
  bool ReadUniqueIdentifier(int pollingAddress);  // 0, short frame
  bool FindByTag(const std::string& tag);         // 11, broadcast
  bool FindByLongTag(const std::string& longTag); // 21, broadcast
  // A fixed 29-byte test sequence ending with a command-0 frame to xmt's address.
  bool SendExpansionTestFrame(const TXmt& xmt);

private:
  // The prologue of every request.
  void BeginRequest(std::int32_t expected);
  // Frames and sends a request whose prologue ran.
  bool SendRequest(const TRequestTemplate& t, std::span<const Byte, 5> address, std::span<const Byte> data);
  // Prologue, frame to xmt's address, send.
  bool Request(TXmt& xmt, Byte command, std::span<const Byte> data = {});
  bool Broadcast(Byte command, std::span<const Byte> data);
  // Places the template's frame with the given address (5 bytes; the short frame takes the
  // first) and data; returns the index of the trailing 0x00.
  int PlaceFrame(const TRequestTemplate& t, std::span<const Byte, 5> address, std::span<const Byte> data);
  bool SendTxBuffer(int count);
  Byte MasterBit() const { return MasterAdress == TMasterAdress::Host_Communicator ? 0x80 : 0x00; }
  void ReportLinkError(const std::string& message, std::int32_t code);
};

// The link the program creates.
class THART : public TCustomHART {
public:
  using TCustomHART::TCustomHART;
};
