#pragma once

// A simulated HART temperature transmitter (slave) for the tests: it reads the master's
// requests from the raw line bytes, answers every command the program sends with the data
// layout a real device gives, keeps an identity and a state that the writes change, and can
// be told to misbehave. It shares no code with the program's HART layer: it is the
// independent other end of the line.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

// What the identity answer (commands 0, 11, 21, 128) carries.
struct SimIdentity {
  std::uint8_t ManufacturerId = 250, DeviceType = 0x16, UniversalRevision = 5, DeviceRevision = 1,
               SoftwareRevision = 1, HardwareRevision = 1, SignalingCode = 0;
  std::uint32_t DeviceId = 0x010203;  // 24 bits
  std::uint8_t PollingAddress = 0;    // 0..15
  std::uint8_t PreamblesRequested = 5;  // identity byte 3
  std::uint16_t ConfigChangeCounter = 0;
  bool SendConfigChangeCounter = true;  // answer long enough to hold data bytes 14-15
};

struct SimPoint {
  float X = 0, Y = 0;
};

// Everything the program reads or writes. Unit fields hold HART unit codes (32 = degC);
// texts hold the characters the device keeps and go on the wire blank-padded and packed.
struct SimState {
  // Tag, descriptor, date (13, 18), message (12, 17), long tag (21).
  std::string Tag = "TT-101";
  std::string Descriptor = "SIMULATED XMTR";
  std::string Message = "TEST BENCH";
  std::string LongTag = "TT-101 SIMULATED";
  std::uint8_t Day = 15, Month = 3, YearSince1900 = 124;

  // Measures (1, 2, 3).
  std::uint8_t PVUnitCode = 32, SVUnitCode = 32, TVUnitCode = 32, QVUnitCode = 32;
  float PV = 25.0f, SV = 21.5f, TV = 0.0f, QV = 0.0f;
  float LoopCurrent = 8.0f, PercentOfRange = 25.0f;

  // Output information (15) and the writes that change it (34, 35, 44, 47).
  std::uint8_t AlarmSelection = 0;
  std::uint8_t TransferFunction = 0;
  std::uint8_t RangeUnitCode = 32;
  float UpperRangeValue = 100.0f, LowerRangeValue = 0.0f;
  float Damping = 1.0f;
  std::uint8_t WriteProtect = 0;  // HART code: 0 not protected, 1 protected

  // Sensor information (14, 49) and final assembly number (16, 19).
  std::uint32_t SensorSerialNumber = 120034;  // 24 bits
  std::uint8_t SensorUnitCode = 32;
  float SensorUpperLimit = 850.0f, SensorLowerLimit = -200.0f, MinimumSpan = 10.0f;
  std::uint32_t FinalAssemblyNumber = 70000;  // 24 bits

  // Fixed current (40; 0 = not fixed) and the current trims (45, 46): the measured current
  // the master last sent.
  float FixedCurrent = 0.0f;
  float DacZeroTrim = 0.0f, DacGainTrim = 0.0f;

  // Additional device status (48): the answer's data bytes as they stand.
  std::vector<std::uint8_t> AdditionalStatus = std::vector<std::uint8_t>(25, 0);

  // Real-time clock (89, 90): dates as day, month, year - 1900; times as 1/32 ms since midnight.
  std::array<std::uint8_t, 3> ClockDate{1, 1, 124};
  std::uint32_t ClockTime = 0;
  std::array<std::uint8_t, 3> ClockSetDate{1, 1, 124};
  std::uint32_t ClockSetTime = 0;
  std::uint8_t ClockFlags = 0;

  // Registration (128): the date bytes sent with it; the serial number becomes the device id.
  std::array<std::uint8_t, 3> RegistrationDate{0, 0, 0};

  // Trims and references (129, 133): the values last sent.
  float AmbientTrim = 0.0f;
  std::uint8_t MidScalePoint = 0;

  // Sensor description (136, 137), selected input (140), secondary input AI1 limits
  // (143, 144; selector 1 only).
  std::uint8_t SensorInfo = 0x5A;
  std::uint8_t SelectedInput = 1;
  float AI1UpperLimit = 153.0f, AI1LowerLimit = 147.0f;

  // Checksums and stack (189, 190, 191).
  std::uint16_t ParamChecksum = 0x1234, RomChecksum = 0xBEEF, TopOfStack = 0x0040;

  // EEPROM words by wire address (192, 193); a word never written reads 0.
  std::map<std::uint8_t, std::uint16_t> Eeprom;

  // Status register (194, 195), self-test result (196).
  std::uint16_t StatusRegister = 0x1EAE;
  std::uint8_t SelfTestResult = 0;

  // Peak temperatures (197, 198) as wire bytes.
  std::uint8_t PeakMinimum = 0xF6, PeakMaximum = 0x2D;  // -10 and 45

  // Thermal drift coefficients (199, 200).
  float DriftZ1 = 0.0f, DriftG1 = 1.0f, DriftZ2 = 0.0f, DriftG2 = 1.0f;

  // Linearisation table (201, 202) and its segment counts (203, 204, 205).
  std::array<SimPoint, 361> Points{};
  std::uint8_t SegmentCount = 0, MaxSegments = 47;

  // Access lock (206): 1 locked, 0 unlocked; code 7163 locks, 4410 unlocks.
  std::uint8_t LockState = 0;

  // PV range (207, 208), ADC readings (210).
  std::uint8_t PVRangeUnitCode = 32;
  float PVUpperValue = 100.0f, PVLowerValue = 0.0f;
  float AdcValue1 = 1.25f, AdcValue2 = 0.5f;

  // Alarms 1 and 2 (211, 212): answer bytes 0-7, byte 0 being the alarm number.
  std::array<std::array<std::uint8_t, 8>, 2> Alarms{{{1, 0xF1, 0x03, 0xE8, 0x00, 0x0A, 0x05, 0x00},
                                                     {2, 0xF1, 0xFC, 0x18, 0x00, 0x0A, 0x05, 0x01}}};

  // Display settings (213, 214): high byte decimal point (bits 0-2) and unit shown (bit 3),
  // low byte last-digit step code.
  std::uint16_t ExtendedStatus = 0x0200;
};

struct SimFaults {                // applied to the next answers (persist until changed)
  int ResponseCode = 0;           // first status byte (0 = success)
  std::uint8_t DeviceStatus = 0;  // second status byte
  bool Silent = false;            // no answer at all
  int ExtraDelayMs = 0;           // answer this much later than normal
  int AnswerAsCommand = -1;       // >= 0: answer carries this command number instead
  int CorruptByteIndex = -1;      // >= 0: xor 0x55 into this byte of the answer (preambles excluded)
};

struct SimRequest {
  bool LongFrame = false;
  bool Broadcast = false;
  bool PrimaryMaster = false;
  std::uint8_t Command = 0;
  std::vector<std::uint8_t> Data;
  int Preambles = 0;
};

class SimTransmitter {
public:
  SimIdentity Identity;
  SimState State;
  SimFaults Faults;
  int AnswerPreambles = 5;            // 0xFF bytes in front of every answer
  std::vector<SimRequest> Requests;   // every well-formed request addressed to it

  // Bytes the master put on the line (preambles, frame, trailing byte), possibly in pieces.
  // Returns the answer (preambles + frame) when a complete request addressed to this device
  // (short frame with its polling address, long frame with its address or broadcast 0) came,
  // and applies the request's writes to State. Empty when nothing is to be answered
  // (incomplete, not for us, bad check byte, Silent).
  // Like a device on a real line it needs two preambles at least, skips noise and other
  // slaves' frames, answers a broadcast only for the searches 11 and 21 (and those only when
  // the tag matches), refuses a request with too few data bytes (code 5), a command it does
  // not know (code 64), a registration without its signature (code 16) and range values
  // beyond the sensor's limits (codes 9 to 12). A response code
  // from Faults answers with the two status bytes alone and applies nothing; a Silent device
  // records the request but neither applies nor answers it. One call answers at most one
  // request; bytes after it wait for the next call.
  std::optional<std::vector<std::uint8_t>> Feed(std::span<const std::uint8_t> bytes);

private:
  struct Frame;
  std::optional<std::vector<std::uint8_t>> Handle(const Frame& f);
  // A request's writes; the response code it earns (0 when applied).
  int Apply(std::uint8_t command, std::span<const std::uint8_t> data);
  // The answer data for command, read from the state (and the request's selectors).
  std::vector<std::uint8_t> AnswerData(std::uint8_t command, std::span<const std::uint8_t> data) const;
  std::vector<std::uint8_t> IdentityData() const;

  std::vector<std::uint8_t> pending_;
};
