#pragma once

// The transmitter model: the one transmitter the program talks to, its 848-byte record
// (also the *.XMT file image), the error holder and the decoders of the HART answers.

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "model/Format.h"
#include "model/Utils.h"
#include "runtime/Events.h"
#include "runtime/Langue.h"

// ---------------------------------------------------------------------------------------
// Error holder: the last message (at most 80 bytes), its code and a level kept in 0..5.
class TErreur : public TObject {
public:
  std::string Message;
  std::int32_t Level = 0;
  std::int32_t Code = -1;

  // Stores message (cut to 80) and code, adds delta to the level (saturating, for any
  // delta) and tells whether the level is now above 4.
  bool Report(const std::string& message, std::int32_t delta, std::int32_t code);
  std::string GetMessage() const { return Message; }
  std::int32_t GetCode() const { return Code; }
};

// ---------------------------------------------------------------------------------------
// Settings of one alarm; 12 bytes in the record (signed 16-bit values little-endian).
struct TAlarmInfo {
  bool SetPointEditable = false;
  bool HysteresisEditable = false;
  bool DelayEditable = false;
  bool RelayEditable = false;
  Byte Decimals = 0;
  Byte Reserved = 0;
  std::int16_t SetPoint = 0;
  std::int16_t Hysteresis = 0;
  Byte Delay = 0;
  Byte RelayNormallyClosed = 0;

  static constexpr int Size = 12;
  void ToBytes(std::span<Byte, Size> out) const;
  static TAlarmInfo FromBytes(std::span<const Byte, Size> in);
  bool operator==(const TAlarmInfo&) const = default;
};

// ---------------------------------------------------------------------------------------
// The transmitter record: 848 bytes, integers and singles little-endian, short strings as
// a length byte and the characters in a field of maximum length + 1. Held as bytes, so a
// file reads and writes byte for byte; fields are reached through typed accessors.
class TXmtRecord {
public:
  static constexpr int Size = 848;

  // Offsets of the fields.
  static constexpr int OffMagic = 0;                 // string[20]
  static constexpr int OffManufacturerId = 21;
  static constexpr int OffDeviceType = 22;
  static constexpr int OffDeviceIdBytes = 23;        // 3 bytes, most significant first
  static constexpr int OffReserved26 = 26;
  static constexpr int OffPollingAddress = 27;
  static constexpr int OffDeviceId = 28;             // int32
  static constexpr int OffTag = 32;                  // string[10]
  static constexpr int OffDescriptor = 43;           // string[20]
  static constexpr int OffDate = 64;                 // string[10], DD/MM/YYYY
  static constexpr int OffMessage = 75;              // string[40]
  static constexpr int OffRangeUnit = 116;           // int32 unit row
  static constexpr int OffUpperRangeValue = 120;     // single
  static constexpr int OffLowerRangeValue = 124;     // single
  static constexpr int OffDamping = 128;             // single
  static constexpr int OffFinalAssemblyNumber = 132; // int32
  static constexpr int OffSensorSerialNumber = 136;  // int32
  static constexpr int OffSensorInfo = 140;
  static constexpr int OffTransferFunction = 141;
  static constexpr int OffWriteProtect = 142;
  static constexpr int OffCacheMemory = 143;
  static constexpr int OffFault1High = 144;
  static constexpr int OffFault2High = 145;
  static constexpr int OffSegmentCount = 148;        // int32
  static constexpr int OffPoints = 152;              // 48 x (X single, Y single)
  static constexpr int PointCount = 48;
  static constexpr int OffPVUnit = 536;              // byte unit row
  static constexpr int OffPVUpperValue = 540;        // single
  static constexpr int OffPVLowerValue = 544;        // single
  static constexpr int OffAlarm1 = 548;              // TAlarmInfo
  static constexpr int OffAlarm2 = 560;              // TAlarmInfo
  static constexpr int OffDecimalPoint = 572;
  static constexpr int OffLastDigitStep = 573;
  static constexpr int OffAI1UpperLimit = 576;       // single
  static constexpr int OffAI1LowerLimit = 580;       // single
  static constexpr int OffUnitDisplay = 592;

  // The magic field: length byte 20 and "[XMT] File V1.0-KVRM".
  static const std::array<Byte, 21>& Magic();

  std::array<Byte, Size> Bytes{};

  Byte GetByte(int off) const;
  void SetByte(int off, Byte v);
  std::int32_t GetInt32(int off) const;
  void SetInt32(int off, std::int32_t v);
  float GetSingle(int off) const;
  void SetSingle(int off, float v);
  // A short string of at most maxLen bytes; a length byte above maxLen reads as maxLen.
  std::string GetString(int off, int maxLen) const;
  // Stores at most maxLen bytes of text; the bytes past its length are left as they are.
  void SetString(int off, int maxLen, const std::string& text);
  TAlarmInfo GetAlarm(int off) const;
  void SetAlarm(int off, const TAlarmInfo& a);
  float PointX(int index) const;
  float PointY(int index) const;
  void SetPoint(int index, float x, float y);  // index 0..47; others store nothing

  bool HasMagic() const;
  void SetMagic();
  // Clamps the length byte of every string field to its field (after a file was read).
  void ClampStringLengths();
};

// ---------------------------------------------------------------------------------------
// What the file operations need from the user interface: a save path, an open path and a
// message box. The Qt dialogs implement it with the main window; tests use a recorder.
struct TFileDialogOptions {
  std::string Title;
  std::string Filter;           // "Text|*.XMT|Text|*.*"
  std::string DefaultExt;       // "XMT"
  std::string InitialDir;       // "."
  std::string FileName;         // proposed name (save only)
  bool OverwritePrompt = false; // save only
};

class TXmtDialogs {
public:
  virtual ~TXmtDialogs() = default;
  // False when the user cancels.
  virtual bool AskSavePath(const TFileDialogOptions& options, std::string& path) = 0;
  virtual bool AskOpenPath(const TFileDialogOptions& options, std::string& path) = 0;
  virtual void ShowMessage(const std::string& text) = 0;
};

// Result of reading a transmitter file.
enum class TLoadResult { Loaded, BadFormat, CannotOpen };

// ---------------------------------------------------------------------------------------
// Answer data: the data bytes after the two status bytes of a response frame, byte 0 first.
// Decoders read bytes past its end as 0.
using TAnswerData = std::span<const Byte>;

class TXmt : public TObject {
public:
  explicit TXmt(TLangue langue = TLangue::Anglais);
  ~TXmt() override;

  // Edition and format settings the texts of the model are built with.
  TLangue Langue;
  TFormatSettings FormatSettings;
  // Dialog steps of SaveToDisk and LoadFromDisk; nothing happens while it is null.
  TXmtDialogs* Dialogs = nullptr;

  // Published properties.
  bool Is_Ostrel = true;
  TNotifyEvent OnError;
  TNotifyEvent OnConnect;
  TNotifyEvent OnDisconnect;
  TNotifyEvent OnChange;
  TNotifyEvent OnLoadedFormDisk;

  Byte Connected = 0;
  std::unique_ptr<TErreur> Erreur;

  TXmtRecord LiveRecord;
  TXmtRecord FileImage;

  std::string ManufacturerName;  // at most 40
  std::string ModelName;         // at most 40
  Byte ManufacturerId = 0;
  Byte DeviceType = 0;
  Byte UniversalRevision = 0;
  Byte DeviceRevision = 0;
  Byte SoftwareRevision = 0;
  Byte HardwareRevision = 0;
  Byte SignalingCode = 0;
  std::int32_t SensorUnit = 0;   // unit rows
  std::int32_t RangeUnit = 0;
  float PV = 0, SV = 0;
  float AdcValue1 = 0, AdcValue2 = 0;
  std::int32_t PVUnitCode = 0;   // HART code, not a row
  float PercentOfRange = 0;
  float LoopCurrent = 0;
  float UpperRangeValue = 0, LowerRangeValue = 0;
  float SensorUpperLimit = 0, SensorLowerLimit = 0;
  float PVUpperValue = 100.0f, PVLowerValue = 0;
  float MinimumSpan = 0;
  float Damping = 0;
  float DriftZ1 = 0, DriftG1 = 0, DriftZ2 = 0, DriftG2 = 0;
  std::string Tag;         // at most 10
  std::string Descriptor;  // at most 20
  std::string DateText;    // at most 10
  std::string Message;     // at most 40
  std::int32_t FinalAssemblyNumber = 0;
  std::int32_t SensorSerialNumber = 0;
  std::int32_t PeakMinimum = 0, PeakMaximum = 0;
  std::int32_t ParamChecksum = 0, RomChecksum = 0, TopOfStack = 0;
  std::string PVText, SVText, TVText, QVText;  // at most 20 each
  std::int32_t DeviceId = 0;
  std::array<Byte, 5> LongAddress{};
  Byte PollingAddress = 0;
  std::int32_t ConfigChangeCounter = 0;
  std::int32_t DeviceStatus = 0;
  std::int32_t StatusRegister = 0;
  std::int32_t AdditionalStatusCount = 0;
  std::array<Byte, 24> AdditionalStatus{};
  Byte WriteProtect = 0;
  Byte CacheMemory = 1;
  Byte Fault1High = 1;
  Byte Fault2High = 1;
  Byte LowPowerDuration = 10;
  Byte CpuFrequency = 30;
  std::int32_t SegmentIndex = 0;
  float SegmentX = 0, SegmentY = 0;
  std::int32_t SegmentCount = 0;
  std::int32_t MaxSegments = 0;
  Byte DecimalPoint = 0;
  Byte LastDigitStep = 0;
  Byte TransferFunction = 0;
  Byte SelfTestResult = 0;
  float FixedCurrent = 0;
  float MeasuredCurrent = 0;
  Byte TrimPoint = 0;
  Byte SensorInfo = 0;
  Byte SensorKind = 0;
  Byte SensorConnection = 0;
  Byte SensorType = 0;
  Byte LockState = 255;
  std::int32_t EepromAddress = 0;
  std::int32_t EepromValue = 0;
  TAlarmInfo Alarm1, Alarm2;
  std::int32_t AlarmSelector = 0;
  std::int32_t SelectedInput = 0;
  float AI1UpperLimit = 0, AI1LowerLimit = 0;
  Byte UnitDisplay = 0;
  TDateTime DeviceClock = 0;
  TDateTime LastClockSet = 0;
  Byte ClockFlags = 0;

  // Connection and errors.
  void SetConnected(Byte state);
  Byte GetConnected() const { return Connected; }
  void ReportError(const std::string& message, std::int32_t delta, std::int32_t code);
  std::string GetErrorMessage() const;
  std::int32_t GetErrorCode() const;
  std::int32_t GetDeviceStatus() const { return DeviceStatus; }
  void SetPollAddress(Byte address);
  // StatusRegister from its six parts (LowPowerDuration masked to 4 bits).
  void BuildStatusRegister();

  // Files. The dialog versions ask through Dialogs; the path versions do the work.
  void SaveToDisk();
  void LoadFromDisk();
  // Writes the magic into LiveRecord and the 848 bytes to path, through a temporary file
  // renamed over the old one. False (and errorText) when the file could not be written.
  bool SaveToFile(const std::string& path, std::string* errorText = nullptr);
  // Reads up to 848 bytes of the file and hands them to LoadFromBytes.
  TLoadResult LoadFromFile(const std::string& path);
  // The bytes of a transmitter file: accepted when there are at least 848 and the first 21
  // are the magic; only the first 848 are used. FileImage changes only for an accepted file,
  // and OnLoadedFormDisk fires then.
  TLoadResult LoadFromBytes(std::span<const Byte> bytes);
  // Writes the magic into LiveRecord and gives its 848 bytes, as SaveToFile writes them.
  std::string SaveToBytes();
  // The proposed save name: Tag without trailing blanks, unsafe characters replaced by '_'.
  std::string ProposedFileName() const;

  // Identity answers 0, 11, 21 and 128; byteCount counts the two status bytes.
  void DecodeIdentity(TAnswerData data, int byteCount);

  // Universal and common-practice answers.
  void DecodeCmd1(TAnswerData data);
  void DecodeCmd2(TAnswerData data);
  void DecodeCmd3(TAnswerData data);
  void DecodeCmd12(TAnswerData data);   // 12, 17
  void DecodeCmd13(TAnswerData data);   // 13, 18
  void DecodeCmd14(TAnswerData data);
  void DecodeCmd15(TAnswerData data);
  void DecodeCmd16(TAnswerData data);   // 16, 19
  void DecodeCmd41(TAnswerData data);
  void DecodeCmd44(TAnswerData data);
  void DecodeCmd47(TAnswerData data);
  void DecodeCmd48(TAnswerData data, int byteCount);
  void DecodeCmd89(TAnswerData data);
  void DecodeCmd90(TAnswerData data);

  // Device-specific answers.
  void DecodeCmd136(TAnswerData data);  // 136, 137
  void DecodeCmd140(TAnswerData data);
  void DecodeCmd143(TAnswerData data);  // 143, 144
  void DecodeCmd189(TAnswerData data);
  void DecodeCmd190(TAnswerData data);
  void DecodeCmd191(TAnswerData data);
  void DecodeCmd192(TAnswerData data);  // 192, 193
  void DecodeCmd194(TAnswerData data);  // 194, 195
  void DecodeCmd196(TAnswerData data);
  void DecodeCmd197(TAnswerData data);  // 197, 198
  void DecodeCmd200(TAnswerData data);
  void DecodeCmd202(TAnswerData data);
  void DecodeCmd204(TAnswerData data);
  void DecodeCmd205(TAnswerData data);
  void DecodeCmd206(TAnswerData data);
  void DecodeCmd208(TAnswerData data);
  void DecodeCmd210(TAnswerData data);
  void DecodeCmd211(TAnswerData data);  // 211, 212
  void DecodeCmd213(TAnswerData data);  // 213, 214
};

// ---------------------------------------------------------------------------------------
// Manufacturer and model tables.
struct TModelName {
  std::int32_t Code;  // HART device type; -1 closes a list
  const char* Name;   // nullptr on the closing row, which reads "Unknown"/"Inconnu"
};

struct TManufacturer {
  std::int32_t Id;
  const char* Name;
  std::span<const TModelName> Models;  // ends with the closing row
};

std::span<const TManufacturer> ManufacturerTable();
// The name of a model row in the given edition (the closing row's "Unknown"/"Inconnu").
std::string ModelRowName(const TModelName& model, TLangue langue);
