// Decoders of the universal, common-practice and device-specific HART answers: each turns
// the data bytes of one answer into model fields and, where a transmitter file keeps the
// value, into the live record.

#include <cstdio>
#include <string>

#include "model/Units.h"
#include "model/Xmt.h"
#include "model/XmtAnswer.h"

using answer::At;
using answer::Int24;
using answer::Single;
using answer::Word;

namespace {

// A value for display: two decimals, a blank and the unit text, at most 20 characters.
std::string ValueText(float value, Byte unitCode, const TFormatSettings& fs, TLangue langue) {
  return (FormatFloat00(value, fs) + " " + UnitCodeToText(unitCode, langue)).substr(0, 20);
}

// The date of the device, or nothing when it does not exist. Times count 1/32 ms.
std::optional<TDateTime> DeviceMoment(Byte day, Byte month, Byte yearSince1900, std::uint32_t time32) {
  const std::uint32_t t = time32 >> 5;  // milliseconds since midnight
  const auto date = TryEncodeDate(yearSince1900 + 1900, month, day);
  const auto time = TryEncodeTime(static_cast<int>(t / 3600000), static_cast<int>(t / 60000 % 60),
                                  static_cast<int>(t / 1000 % 60), static_cast<int>(t % 1000));
  if (!date || !time) return std::nullopt;
  return *date + *time;
}

std::uint32_t Time32(TAnswerData data, std::size_t i) {
  return (std::uint32_t{At(data, i)} << 24) | (std::uint32_t{At(data, i + 1)} << 16) |
         (std::uint32_t{At(data, i + 2)} << 8) | At(data, i + 3);
}

// A byte up to 128 is positive, one above it is negative (the devices send 0x80 as +128).
std::int32_t SignedByte(Byte b) { return b <= 128 ? b : b - 256; }

std::int16_t SignedWord(TAnswerData data, std::size_t i) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(Word(data, i)));
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Universal and common-practice answers

void TXmt::DecodeCmd1(TAnswerData data) {
  PVUnitCode = At(data, 0);
  PV = Single(data, 1);
  PVText = ValueText(PV, At(data, 0), FormatSettings, Langue);
  OnChange(this);
}

void TXmt::DecodeCmd2(TAnswerData data) {
  LoopCurrent = Single(data, 0);
  PercentOfRange = Single(data, 4);
  OnChange(this);
}

void TXmt::DecodeCmd3(TAnswerData data) {
  LoopCurrent = Single(data, 0);
  PVUnitCode = At(data, 4);
  PV = Single(data, 5);
  PVText = ValueText(PV, At(data, 4), FormatSettings, Langue);
  SV = Single(data, 10);
  SVText = ValueText(SV, At(data, 9), FormatSettings, Langue);
  TVText = ValueText(Single(data, 15), At(data, 14), FormatSettings, Langue);
  QVText = ValueText(Single(data, 20), At(data, 19), FormatSettings, Langue);
  OnChange(this);
}

void TXmt::DecodeCmd12(TAnswerData data) {
  Message = answer::Text(data, 0, 8);
  LiveRecord.SetString(TXmtRecord::OffMessage, 40, Message);
}

void TXmt::DecodeCmd13(TAnswerData data) {
  Tag = answer::Text(data, 0, 2);
  Descriptor = answer::Text(data, 6, 4);

  int day = At(data, 18);
  if (day == 0) day = 1;
  if (day > 31) day = 31;
  int month = At(data, 19);
  if (month == 0) month = 1;
  if (month > 12) month = 12;
  const int year = At(data, 20) + 1900;
  char date[16];
  std::snprintf(date, sizeof date, "%02d/%02d/%d", day, month, year);
  LiveRecord.SetString(TXmtRecord::OffDate, 10, date);

  // A date that does not exist (30/02) keeps the device's own text.
  const TFormatSettings deviceFormat{FormatSettings.DecimalSeparator, '/', "DD/MM/YYYY"};
  const auto dt = StrToDate(date, deviceFormat);
  DateText = (dt ? DateToStr(*dt, FormatSettings) : std::string(date)).substr(0, 10);

  LiveRecord.SetString(TXmtRecord::OffTag, 10, Tag);
  LiveRecord.SetString(TXmtRecord::OffDescriptor, 20, Descriptor);
}

void TXmt::DecodeCmd14(TAnswerData data) {
  SensorSerialNumber = Int24(data, 0);
  LiveRecord.SetInt32(TXmtRecord::OffSensorSerialNumber, SensorSerialNumber);
  SensorUnit = UnitCodeToIndex(At(data, 3));
  LiveRecord.SetByte(TXmtRecord::OffPVUnit, static_cast<Byte>(SensorUnit & 0xFF));
  SensorUpperLimit = Single(data, 4);
  SensorLowerLimit = Single(data, 8);
  MinimumSpan = Single(data, 12);
}

void TXmt::DecodeCmd15(TAnswerData data) {
  TransferFunction = At(data, 1);
  LiveRecord.SetByte(TXmtRecord::OffTransferFunction, TransferFunction);
  RangeUnit = UnitCodeToIndex(At(data, 2));
  LiveRecord.SetInt32(TXmtRecord::OffRangeUnit, RangeUnit);
  UpperRangeValue = Single(data, 3);
  LiveRecord.SetSingle(TXmtRecord::OffUpperRangeValue, UpperRangeValue);
  LowerRangeValue = Single(data, 7);
  LiveRecord.SetSingle(TXmtRecord::OffLowerRangeValue, LowerRangeValue);
  Damping = Single(data, 11);
  LiveRecord.SetSingle(TXmtRecord::OffDamping, Damping);
  WriteProtect = At(data, 15) & 1;
  LiveRecord.SetByte(TXmtRecord::OffWriteProtect, WriteProtect);
}

void TXmt::DecodeCmd16(TAnswerData data) {
  FinalAssemblyNumber = Int24(data, 0);
  LiveRecord.SetInt32(TXmtRecord::OffFinalAssemblyNumber, FinalAssemblyNumber);
}

void TXmt::DecodeCmd41(TAnswerData) { SelfTestResult = 0; }

void TXmt::DecodeCmd44(TAnswerData data) {
  RangeUnit = UnitCodeToIndex(At(data, 0));
  LiveRecord.SetInt32(TXmtRecord::OffRangeUnit, RangeUnit);
}

void TXmt::DecodeCmd47(TAnswerData data) {
  TransferFunction = At(data, 0);
  LiveRecord.SetByte(TXmtRecord::OffTransferFunction, TransferFunction);
}

void TXmt::DecodeCmd48(TAnswerData data, int byteCount) {
  // Only the data bytes the answer holds; the other slots keep their values.
  const int held = byteCount - 2;
  for (int i = 0; i < static_cast<int>(AdditionalStatus.size()) && i < held; ++i)
    AdditionalStatus[static_cast<std::size_t>(i)] = At(data, static_cast<std::size_t>(i));
  AdditionalStatusCount = held;
}

void TXmt::DecodeCmd89(TAnswerData data) {
  // Byte 0, the time-set code, is not kept. A moment that does not exist keeps the old one.
  if (const auto moment = DeviceMoment(At(data, 1), At(data, 2), At(data, 3), Time32(data, 4))) DeviceClock = *moment;
}

void TXmt::DecodeCmd90(TAnswerData data) {
  auto dayMonthInRange = [&](std::size_t i) {
    return At(data, i) >= 1 && At(data, i) <= 31 && At(data, i + 1) >= 1 && At(data, i + 1) <= 31;
  };
  if (dayMonthInRange(0))
    if (const auto moment = DeviceMoment(At(data, 0), At(data, 1), At(data, 2), Time32(data, 3))) DeviceClock = *moment;
  if (dayMonthInRange(7))
    if (const auto moment = DeviceMoment(At(data, 7), At(data, 8), At(data, 9), Time32(data, 10))) LastClockSet = *moment;
  ClockFlags = At(data, 14);
}

// ---------------------------------------------------------------------------------------
// Device-specific answers

void TXmt::DecodeCmd136(TAnswerData data) {
  SensorInfo = At(data, 0);
  SensorKind = SensorInfo >> 6;
  SensorConnection = (SensorInfo >> 4) & 3;
  SensorType = SensorInfo & 15;
  LiveRecord.SetByte(TXmtRecord::OffSensorInfo, SensorInfo);
}

void TXmt::DecodeCmd140(TAnswerData data) { SelectedInput = At(data, 0); }

void TXmt::DecodeCmd143(TAnswerData data) {
  if (At(data, 0) != 1) return;
  AI1UpperLimit = Single(data, 1);
  AI1LowerLimit = Single(data, 5);
  LiveRecord.SetSingle(TXmtRecord::OffAI1UpperLimit, AI1UpperLimit);
  LiveRecord.SetSingle(TXmtRecord::OffAI1LowerLimit, AI1LowerLimit);
}

void TXmt::DecodeCmd189(TAnswerData data) { ParamChecksum = Word(data, 0); }
void TXmt::DecodeCmd190(TAnswerData data) { RomChecksum = Word(data, 0); }
void TXmt::DecodeCmd191(TAnswerData data) { TopOfStack = Word(data, 0); }

void TXmt::DecodeCmd192(TAnswerData data) {
  EepromAddress = SignedByte(At(data, 0));
  EepromValue = Word(data, 1);
}

void TXmt::DecodeCmd194(TAnswerData data) {
  const std::int32_t w = Word(data, 0);
  WriteProtect = w & 1;
  CacheMemory = (w >> 1) & 1;
  Fault1High = (w >> 2) & 1;
  Fault2High = (w >> 3) & 1;
  LowPowerDuration = (w >> 4) & 15;
  CpuFrequency = static_cast<Byte>(w >> 8);
  StatusRegister = w;
  LiveRecord.SetByte(TXmtRecord::OffWriteProtect, WriteProtect);
  LiveRecord.SetByte(TXmtRecord::OffCacheMemory, CacheMemory);
  LiveRecord.SetByte(TXmtRecord::OffFault1High, Fault1High);
  LiveRecord.SetByte(TXmtRecord::OffFault2High, Fault2High);
}

void TXmt::DecodeCmd196(TAnswerData data) { SelfTestResult = At(data, 0); }

void TXmt::DecodeCmd197(TAnswerData data) {
  PeakMinimum = SignedByte(At(data, 0));
  PeakMaximum = SignedByte(At(data, 1));
}

void TXmt::DecodeCmd200(TAnswerData data) {
  DriftZ1 = Single(data, 0);
  DriftG1 = Single(data, 4);
  DriftZ2 = Single(data, 8);
  DriftG2 = Single(data, 12);
}

void TXmt::DecodeCmd202(TAnswerData data) {
  SegmentIndex = At(data, 0);
  SegmentX = Single(data, 1);
  SegmentY = Single(data, 5);
  // Point 0 is never read back from the device.
  if (SegmentIndex >= 1 && SegmentIndex < TXmtRecord::PointCount) LiveRecord.SetPoint(SegmentIndex, SegmentX, SegmentY);
}

void TXmt::DecodeCmd204(TAnswerData data) {
  SegmentCount = At(data, 0);
  LiveRecord.SetInt32(TXmtRecord::OffSegmentCount, SegmentCount);
}

void TXmt::DecodeCmd205(TAnswerData data) { MaxSegments = At(data, 0); }
void TXmt::DecodeCmd206(TAnswerData data) { LockState = At(data, 0); }

void TXmt::DecodeCmd208(TAnswerData data) {
  SensorUnit = UnitCodeToIndex(At(data, 0));
  PVUpperValue = Single(data, 1);
  PVLowerValue = Single(data, 5);
  LiveRecord.SetByte(TXmtRecord::OffPVUnit, static_cast<Byte>(SensorUnit & 0xFF));
  LiveRecord.SetSingle(TXmtRecord::OffPVUpperValue, PVUpperValue);
  LiveRecord.SetSingle(TXmtRecord::OffPVLowerValue, PVLowerValue);
}

void TXmt::DecodeCmd210(TAnswerData data) {
  AdcValue1 = Single(data, 0);
  AdcValue2 = Single(data, 4);
}

void TXmt::DecodeCmd211(TAnswerData data) {
  AlarmSelector = At(data, 0);
  const Byte flags = At(data, 1);
  TAlarmInfo a;
  a.SetPointEditable = (flags >> 4) & 1;
  a.HysteresisEditable = (flags >> 5) & 1;
  a.DelayEditable = (flags >> 6) & 1;
  a.RelayEditable = (flags >> 7) & 1;
  a.Decimals = flags & 15;
  a.Reserved = 0;
  a.SetPoint = SignedWord(data, 2);
  a.Hysteresis = SignedWord(data, 4);
  a.Delay = At(data, 6);
  a.RelayNormallyClosed = At(data, 7);
  if (AlarmSelector == 1) {
    Alarm1 = a;
    LiveRecord.SetAlarm(TXmtRecord::OffAlarm1, a);
  } else if (AlarmSelector == 2) {
    Alarm2 = a;
    LiveRecord.SetAlarm(TXmtRecord::OffAlarm2, a);
  }
}

void TXmt::DecodeCmd213(TAnswerData data) {
  DecimalPoint = At(data, 0) & 7;
  UnitDisplay = (At(data, 0) >> 3) & 1;
  LastDigitStep = At(data, 1) & 3;
  LiveRecord.SetByte(TXmtRecord::OffDecimalPoint, DecimalPoint);
  LiveRecord.SetByte(TXmtRecord::OffLastDigitStep, LastDigitStep);
  LiveRecord.SetByte(TXmtRecord::OffUnitDisplay, UnitDisplay);
}
