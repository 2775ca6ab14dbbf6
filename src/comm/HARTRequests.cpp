// One request operation per HART command the program sends.

#include <algorithm>
#include <cctype>
#include <climits>
#include <vector>

#include "comm/HART.h"

namespace {

// Request data in wire order.
class TData {
public:
  TData& U8(std::int32_t v) {
    bytes_.push_back(static_cast<Byte>(v & 0xFF));
    return *this;
  }
  template <std::size_t N>
  TData& Add(const std::array<Byte, N>& b) {
    bytes_.insert(bytes_.end(), b.begin(), b.end());
    return *this;
  }
  TData& Add(const std::string& b) {
    bytes_.insert(bytes_.end(), b.begin(), b.end());
    return *this;
  }
  TData& F32(float v) { return Add(HartEncode::F32(v)); }
  std::span<const Byte> Bytes() const { return bytes_; }

private:
  std::vector<Byte> bytes_;
};

// A whole decimal number, optionally signed, after leading blanks; anything else throws.
std::int32_t StrToInt(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  const std::size_t first = i;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > INT_MAX + 1LL) break;
  }
  if (i == first || i != text.size() || (negative ? -value < INT_MIN : value > INT_MAX))
    throw EConvertError("'" + text + "' is not a valid integer value");
  return static_cast<std::int32_t>(negative ? -value : value);
}

// The date text read day first: a one-character part when the next character is the
// separator, else a two-character part followed by one separator; then four year digits.
std::array<Byte, 3> ParseDayFirstDate(const std::string& text, char separator) {
  std::size_t pos = 0;
  auto part = [&]() {
    const std::string two = pos < text.size() ? text.substr(pos, 2) : std::string();
    if (two.size() >= 2 && two[1] == separator) {
      pos += 2;
      return StrToInt(two.substr(0, 1));
    }
    pos += 3;
    return StrToInt(two);
  };
  const std::int32_t day = part();
  const std::int32_t month = part();
  const std::int32_t year = StrToInt(pos < text.size() ? text.substr(pos, 4) : std::string());
  return HartEncode::Date(day, month, year);
}

}  // namespace

// ---------------------------------------------------------------------------------------
void TCustomHART::BeginRequest(std::int32_t expected) {
  LastCommand = -1;
  ExpectedCommand = expected;
  RequestRefused = false;
}

bool TCustomHART::SendRequest(const TRequestTemplate& t, std::span<const Byte, 5> address,
                              std::span<const Byte> data) {
  SendTxBuffer(PlaceFrame(t, address, data));
  return true;  // a request that got lost shows as no answer
}

bool TCustomHART::Request(TXmt& xmt, Byte command, std::span<const Byte> data) {
  BeginRequest(command == 42 || command == 128 ? -1 : command);
  SendTxBuffer(BuildLongFrame(*FindRequestTemplate(command), xmt, static_cast<int>(data.size()), data));
  return true;
}

bool TCustomHART::Broadcast(Byte command, std::span<const Byte> data) {
  BeginRequest(command);
  const std::array<Byte, 5> address{MasterBit(), 0, 0, 0, 0};
  return SendRequest(*FindRequestTemplate(command), address, data);
}

// ---------------------------------------------------------------------------------------
bool TCustomHART::ReadPrimaryVariable(TXmt& xmt) { return Request(xmt, 1); }
bool TCustomHART::ReadCurrentAndPercent(TXmt& xmt) { return Request(xmt, 2); }
bool TCustomHART::ReadDynamicVariables(TXmt& xmt) { return Request(xmt, 3); }
bool TCustomHART::ReadMessage(TXmt& xmt) { return Request(xmt, 12); }
bool TCustomHART::ReadTagDescriptorDate(TXmt& xmt) { return Request(xmt, 13); }
bool TCustomHART::ReadSensorInformation(TXmt& xmt) { return Request(xmt, 14); }
bool TCustomHART::ReadOutputInformation(TXmt& xmt) { return Request(xmt, 15); }
bool TCustomHART::ReadAssemblyNumber(TXmt& xmt) { return Request(xmt, 16); }
bool TCustomHART::ResetConfigChangedFlag(TXmt& xmt) { return Request(xmt, 38); }
bool TCustomHART::PerformSelfTest(TXmt& xmt) { return Request(xmt, 41); }
bool TCustomHART::ResetDevice(TXmt& xmt) { return Request(xmt, 42); }
bool TCustomHART::ReadAdditionalStatus(TXmt& xmt) { return Request(xmt, 48); }
bool TCustomHART::ReadRealTimeClock(TXmt& xmt) { return Request(xmt, 90); }
bool TCustomHART::TrimSensorFullScale(TXmt& xmt) { return Request(xmt, 134); }
bool TCustomHART::TrimSensorOffset(TXmt& xmt) { return Request(xmt, 135); }
bool TCustomHART::ReadSensorInfo(TXmt& xmt) { return Request(xmt, 137); }
bool TCustomHART::SetPEReference(TXmt& xmt) { return Request(xmt, 138); }
bool TCustomHART::SetZReference(TXmt& xmt) { return Request(xmt, 139); }
bool TCustomHART::ReadParamChecksum(TXmt& xmt) { return Request(xmt, 189); }
bool TCustomHART::ReadRomChecksum(TXmt& xmt) { return Request(xmt, 190); }
bool TCustomHART::ReadTopOfStack(TXmt& xmt) { return Request(xmt, 191); }
bool TCustomHART::ReadStatusRegister(TXmt& xmt) { return Request(xmt, 195); }
bool TCustomHART::ReadAutotestResult(TXmt& xmt) { return Request(xmt, 196); }
bool TCustomHART::ReadPeakThermalValue(TXmt& xmt) { return Request(xmt, 198); }
bool TCustomHART::ReadThermalDriftCorrection(TXmt& xmt) { return Request(xmt, 200); }
bool TCustomHART::ReadSegmentNumber(TXmt& xmt) { return Request(xmt, 204); }
bool TCustomHART::ReadMaxSegments(TXmt& xmt) { return Request(xmt, 205); }
bool TCustomHART::ReadPVRangeInfo(TXmt& xmt) { return Request(xmt, 208); }
bool TCustomHART::ReadADCValues(TXmt& xmt) { return Request(xmt, 210); }
bool TCustomHART::ReadExtendedStatus(TXmt& xmt) { return Request(xmt, 214); }

// ---------------------------------------------------------------------------------------
bool TCustomHART::WritePollingAddress(TXmt& xmt, Byte address) { return Request(xmt, 6, TData().U8(address).Bytes()); }

bool TCustomHART::WriteMessage(TXmt& xmt, const std::string& message) {
  return Request(xmt, 17, TData().Add(HartEncode::PackedText(message, 32)).Bytes());
}

bool TCustomHART::WriteTagDescriptorDate(TXmt& xmt, const std::string& tag, const std::string& descriptor,
                                         const std::string& date) {
  BeginRequest(18);
  const auto dateBytes = ParseDayFirstDate(date, xmt.FormatSettings.DateSeparator);  // may throw
  TData d;
  d.Add(HartEncode::PackedText(tag, 8)).Add(HartEncode::PackedText(descriptor, 16)).Add(dateBytes);
  SendTxBuffer(BuildLongFrame(*FindRequestTemplate(18), xmt, 21, d.Bytes()));
  return true;
}

bool TCustomHART::WriteAssemblyNumber(TXmt& xmt, double number) {
  return Request(xmt, 19, TData().Add(HartEncode::U24(number)).Bytes());
}

bool TCustomHART::WriteDampingValue(TXmt& xmt, float seconds) { return Request(xmt, 34, TData().F32(seconds).Bytes()); }

bool TCustomHART::WriteRangeValues(TXmt& xmt, Byte unitCode, float upper, float lower) {
  return Request(xmt, 35, TData().U8(unitCode).F32(upper).F32(lower).Bytes());
}

bool TCustomHART::RefreshCacheMemory(TXmt& xmt) { return Request(xmt, 39, TData().U8(0x01).Bytes()); }

bool TCustomHART::FixCurrent(TXmt& xmt, float milliamps) { return Request(xmt, 40, TData().F32(milliamps).Bytes()); }

bool TCustomHART::WriteUnits(TXmt& xmt, Byte unitCode) { return Request(xmt, 44, TData().U8(unitCode).Bytes()); }

bool TCustomHART::TrimCurrentZero(TXmt& xmt, float milliamps) {
  return Request(xmt, 45, TData().F32(milliamps).Bytes());
}

bool TCustomHART::TrimCurrentGain(TXmt& xmt, float milliamps) {
  return Request(xmt, 46, TData().F32(milliamps).Bytes());
}

bool TCustomHART::WriteTransferFunction(TXmt& xmt, Byte code) { return Request(xmt, 47, TData().U8(code).Bytes()); }

bool TCustomHART::WriteSerialNumber(TXmt& xmt, double number) {
  return Request(xmt, 49, TData().Add(HartEncode::U24(number)).Bytes());
}

bool TCustomHART::SetRealTimeClock(TXmt& xmt, Byte code, TDateTime moment) {
  int year, month, day, hour, minute, second, ms;
  DecodeDate(moment, year, month, day);
  DecodeTime(moment, hour, minute, second, ms);
  const auto ticks = static_cast<std::uint32_t>((((hour * 60 + minute) * 60 + second) * 1000 + ms)) * 32u;
  TData d;
  d.U8(code).Add(HartEncode::Date(day, month, year));
  d.U8(static_cast<std::int32_t>(ticks >> 24)).U8(static_cast<std::int32_t>(ticks >> 16));
  d.U8(static_cast<std::int32_t>(ticks >> 8)).U8(static_cast<std::int32_t>(ticks));
  d.U8(0).U8(0);
  return Request(xmt, 89, d.Bytes());
}

bool TCustomHART::RegisterDevice(TXmt& xmt, double serialNumber) {
  int year, month, day;
  DecodeDate(Now(), year, month, day);
  // The signature bytes that end the data stay as the template holds them.
  return Request(xmt, 128, TData().Add(HartEncode::U24(serialNumber)).Add(HartEncode::Date(day, month, year)).Bytes());
}

bool TCustomHART::TrimAmbientTemperature(TXmt& xmt, float temperature) {
  return Request(xmt, 129, TData().F32(temperature).Bytes());
}

bool TCustomHART::TrimMidScalePoints(TXmt& xmt, Byte value) { return Request(xmt, 133, TData().U8(value).Bytes()); }

bool TCustomHART::WriteSensorInfo(TXmt& xmt, Byte value) { return Request(xmt, 136, TData().U8(value).Bytes()); }

bool TCustomHART::SelectInput(TXmt& xmt, Byte input) { return Request(xmt, 140, TData().U8(input).Bytes()); }

bool TCustomHART::WriteSecondaryInputLimits(TXmt& xmt, Byte selector, float upper, float lower) {
  return Request(xmt, 143, TData().U8(selector).F32(upper).F32(lower).Bytes());
}

bool TCustomHART::ReadSecondaryInputLimits(TXmt& xmt, Byte selector) {
  return Request(xmt, 144, TData().U8(selector).Bytes());
}

bool TCustomHART::ReadE2PromValue(TXmt& xmt, std::uint16_t address) {
  return Request(xmt, 192, TData().U8(address).Bytes());
}

bool TCustomHART::WriteE2PromValue(TXmt& xmt, std::uint16_t address, std::uint16_t value) {
  return Request(xmt, 193, TData().U8(address).U8(value >> 8).U8(value).Bytes());
}

bool TCustomHART::WriteStatusRegister(TXmt& xmt, std::int32_t word) {
  return Request(xmt, 194, TData().Add(HartEncode::U16(word)).Bytes());
}

bool TCustomHART::WritePeakThermalValue(TXmt& xmt, Byte first, Byte second) {
  return Request(xmt, 197, TData().U8(first).U8(second).Bytes());
}

bool TCustomHART::WriteThermalDriftCorrection(TXmt& xmt, float v1, float v2, float v3, float v4) {
  return Request(xmt, 199, TData().F32(v1).F32(v2).F32(v3).F32(v4).Bytes());
}

bool TCustomHART::WriteSegment(TXmt& xmt, std::int32_t index, float x, float y) {
  Request(xmt, 201, TData().U8(index).F32(x).F32(y).Bytes());
  // The record holds 48 points; SetPoint stores nothing for other indexes.
  xmt.LiveRecord.SetPoint(index, x, y);
  return true;
}

bool TCustomHART::ReadSegment(TXmt& xmt, Byte index) { return Request(xmt, 202, TData().U8(index).Bytes()); }

bool TCustomHART::WriteSegmentNumber(TXmt& xmt, std::int32_t count) {
  Request(xmt, 203, TData().U8(count).U8(0).Bytes());
  xmt.LiveRecord.SetInt32(TXmtRecord::OffSegmentCount, count);
  return true;
}

bool TCustomHART::WriteAccessLock(TXmt& xmt, std::int32_t code) {
  return Request(xmt, 206, TData().U8(code / 256).U8(code % 256).Bytes());
}

bool TCustomHART::WritePVRangeInfo(TXmt& xmt, Byte unitCode, float upper, float lower) {
  return Request(xmt, 207, TData().U8(unitCode).F32(upper).F32(lower).Bytes());
}

bool TCustomHART::WriteAlarmInfo(TXmt& xmt, Byte alarm, const TAlarmInfo& info) {
  const int flags = info.Decimals + (info.SetPointEditable ? 0x10 : 0) + (info.HysteresisEditable ? 0x20 : 0) +
                    (info.DelayEditable ? 0x40 : 0) + (info.RelayEditable ? 0x80 : 0);
  TData d;
  d.U8(alarm).U8(flags).Add(HartEncode::I16(info.SetPoint)).Add(HartEncode::I16(info.Hysteresis));
  d.U8(info.Delay).U8(info.RelayNormallyClosed);
  return Request(xmt, 211, d.Bytes());
}

bool TCustomHART::ReadAlarmInfo(TXmt& xmt, Byte alarm) { return Request(xmt, 212, TData().U8(alarm).Bytes()); }

bool TCustomHART::WriteExtendedStatus(TXmt& xmt, std::int32_t word) {
  return Request(xmt, 213, TData().Add(HartEncode::U16(word)).Bytes());
}

// ---------------------------------------------------------------------------------------
bool TCustomHART::ReadUniqueIdentifier(int pollingAddress) {
  BeginRequest(0);
  const std::array<Byte, 5> address{static_cast<Byte>((pollingAddress + MasterBit()) & 0xFF), 0, 0, 0, 0};
  return SendRequest(*FindRequestTemplate(0), address, {});
}

bool TCustomHART::FindByTag(const std::string& tag) {
  return Broadcast(11, TData().Add(HartEncode::PackedText(tag, 8)).Bytes());
}

bool TCustomHART::FindByLongTag(const std::string& longTag) {
  std::string text = longTag.substr(0, 32);
  text.resize(32, ' ');
  return Broadcast(21, TData().Add(text).Bytes());
}

bool TCustomHART::SendExpansionTestFrame(const TXmt& xmt) {
  LastCommand = -1;  // ExpectedCommand stays as it was
  RequestRefused = false;
  static constexpr std::array<Byte, 19> Head{0xFF, 0xFF, 0xFF, 0xFF, 0xA6, 0xAF, 0xFA, 0x12, 0x34, 0x56,
                                            0x55, 0x01, 0x0F, 0xD8, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  const std::array<Byte, 8> frame{0x82, static_cast<Byte>(xmt.LongAddress[0] & 0x3F), xmt.LongAddress[1],
                                  xmt.LongAddress[2], xmt.LongAddress[3], xmt.LongAddress[4], 0x00, 0x00};
  const Byte check = static_cast<Byte>(frame[0] ^ CheckByteXor(frame, 7));
  auto out = std::copy(Head.begin(), Head.end(), TxBuffer.begin());
  out = std::copy(frame.begin(), frame.end(), out);
  *out++ = check;
  *out = 0x00;
  SendTxBuffer(28);
  return true;
}
