// What the simulated transmitter does with each command: the writes it applies and the data
// it answers. A write is answered with what the device holds afterwards, so a write and its
// read share one answer layout.

#include <algorithm>
#include <utility>

#include "SimTransmitter.h"
#include "SimWire.h"

namespace {

constexpr int kTooFewParameters = 5;
constexpr int kLowerRangeTooHigh = 9, kLowerRangeTooLow = 10, kUpperRangeTooHigh = 11, kUpperRangeTooLow = 12;
constexpr int kAccessDenied = 16;
constexpr int kUnknownCommand = 64;

// Every command the device knows, with the request data it needs.
constexpr std::pair<int, std::size_t> kRequestBytes[] = {
    {0, 0},    {1, 0},    {2, 0},    {3, 0},    {6, 1},    {11, 6},   {12, 0},   {13, 0},   {14, 0},   {15, 0},
    {16, 0},   {17, 24},  {18, 21},  {19, 3},   {21, 32},  {34, 4},   {35, 9},   {38, 0},   {39, 1},   {40, 4},
    {41, 0},   {42, 0},   {44, 1},   {45, 4},   {46, 4},   {47, 1},   {48, 0},   {49, 3},   {89, 10},  {90, 0},
    {128, 8},  {129, 4},  {133, 1},  {134, 0},  {135, 0},  {136, 1},  {137, 0},  {138, 0},  {139, 0},  {140, 1},
    {143, 9},  {144, 1},  {189, 0},  {190, 0},  {191, 0},  {192, 1},  {193, 3},  {194, 2},  {195, 0},  {196, 0},
    {197, 2},  {198, 0},  {199, 16}, {200, 0},  {201, 9},  {202, 1},  {203, 2},  {204, 0},  {205, 0},  {206, 2},
    {207, 9},  {208, 0},  {210, 0},  {211, 8},  {212, 1},  {213, 2},  {214, 0},
};

constexpr int kLockCode = 7163, kUnlockCode = 4410;

void PutDate(SimBytes& out, const std::array<std::uint8_t, 3>& date) { out.insert(out.end(), date.begin(), date.end()); }

std::array<std::uint8_t, 3> GetDate(std::span<const std::uint8_t> d, std::size_t i) {
  return {SimAt(d, i), SimAt(d, i + 1), SimAt(d, i + 2)};
}

}  // namespace

int SimTransmitter::Apply(std::uint8_t command, std::span<const std::uint8_t> d) {
  const auto known = std::find_if(std::begin(kRequestBytes), std::end(kRequestBytes),
                                  [command](const auto& e) { return e.first == command; });
  if (known == std::end(kRequestBytes)) return kUnknownCommand;
  if (d.size() < known->second) return kTooFewParameters;

  SimState& s = State;
  switch (command) {
    case 6: Identity.PollingAddress = d[0]; break;
    case 17: s.Message = SimGetPacked(d, 0, 32); break;
    case 18:
      s.Tag = SimGetPacked(d, 0, 8);
      s.Descriptor = SimGetPacked(d, 6, 16);
      s.Day = d[18];
      s.Month = d[19];
      s.YearSince1900 = d[20];
      break;
    case 19: s.FinalAssemblyNumber = SimGetU24(d, 0); break;
    case 34: s.Damping = SimGetF32(d, 0); break;
    case 35: {
      // Range values beyond the sensor's limits are refused, the upper value checked first.
      const float upper = SimGetF32(d, 1), lower = SimGetF32(d, 5);
      if (upper > s.SensorUpperLimit) return kUpperRangeTooHigh;
      if (upper < s.SensorLowerLimit) return kUpperRangeTooLow;
      if (lower > s.SensorUpperLimit) return kLowerRangeTooHigh;
      if (lower < s.SensorLowerLimit) return kLowerRangeTooLow;
      s.RangeUnitCode = d[0];
      s.UpperRangeValue = upper;
      s.LowerRangeValue = lower;
      break;
    }
    case 40: s.FixedCurrent = SimGetF32(d, 0); break;
    case 44:
      // The range values are given in the PV unit.
      s.PVUnitCode = d[0];
      s.RangeUnitCode = d[0];
      break;
    case 45: s.DacZeroTrim = SimGetF32(d, 0); break;
    case 46: s.DacGainTrim = SimGetF32(d, 0); break;
    case 47: s.TransferFunction = d[0]; break;
    case 49: s.SensorSerialNumber = SimGetU24(d, 0); break;
    case 89:
      s.ClockDate = s.ClockSetDate = GetDate(d, 1);
      s.ClockTime = s.ClockSetTime = (std::uint32_t{SimGetU16(d, 4)} << 16) | SimGetU16(d, 6);
      break;
    case 128:
      // Registration is guarded by its two signature bytes.
      if (d[6] != 'R' || d[7] != '6') return kAccessDenied;
      Identity.DeviceId = SimGetU24(d, 0);
      s.RegistrationDate = GetDate(d, 3);
      break;
    case 129: s.AmbientTrim = SimGetF32(d, 0); break;
    case 133: s.MidScalePoint = d[0]; break;
    case 136: s.SensorInfo = d[0]; break;
    case 140: s.SelectedInput = d[0]; break;
    case 143:
      if (d[0] == 1) {
        s.AI1UpperLimit = SimGetF32(d, 1);
        s.AI1LowerLimit = SimGetF32(d, 5);
      }
      break;
    case 193: s.Eeprom[d[0]] = static_cast<std::uint16_t>(SimGetU16(d, 1)); break;
    case 194: s.StatusRegister = static_cast<std::uint16_t>(SimGetU16(d, 0)); break;
    case 197:
      s.PeakMinimum = d[0];
      s.PeakMaximum = d[1];
      break;
    case 199:
      s.DriftZ1 = SimGetF32(d, 0);
      s.DriftG1 = SimGetF32(d, 4);
      s.DriftZ2 = SimGetF32(d, 8);
      s.DriftG2 = SimGetF32(d, 12);
      break;
    case 201: s.Points[d[0]] = {SimGetF32(d, 1), SimGetF32(d, 5)}; break;
    case 203: s.SegmentCount = d[0]; break;
    case 206: {
      const unsigned code = SimGetU16(d, 0);
      if (code == kLockCode) s.LockState = 1;
      if (code == kUnlockCode) s.LockState = 0;
      break;
    }
    case 207:
      s.PVRangeUnitCode = d[0];
      s.PVUpperValue = SimGetF32(d, 1);
      s.PVLowerValue = SimGetF32(d, 5);
      break;
    case 211:
      if (d[0] == 1 || d[0] == 2) std::copy(d.begin(), d.begin() + 8, s.Alarms[d[0] - 1].begin());
      break;
    case 213: s.ExtendedStatus = static_cast<std::uint16_t>(SimGetU16(d, 0)); break;
    default: break;  // reads, actions and trims change nothing the device reports
  }
  return 0;
}

std::vector<std::uint8_t> SimTransmitter::IdentityData() const {
  const SimIdentity& id = Identity;
  SimBytes out{254, id.ManufacturerId, id.DeviceType, id.PreamblesRequested, id.UniversalRevision,
               id.DeviceRevision, id.SoftwareRevision,
               static_cast<std::uint8_t>((id.HardwareRevision << 3) | (id.SignalingCode & 0x07)), 0};
  SimPutU24(out, id.DeviceId);
  if (id.SendConfigChangeCounter) {
    SimPutU8(out, static_cast<unsigned>(AnswerPreambles));
    SimPutU8(out, 4);  // device variables
    SimPutU16(out, id.ConfigChangeCounter);
    SimPutU8(out, 0);  // extended device status
    SimPutU16(out, id.ManufacturerId);
    SimPutU16(out, id.ManufacturerId);  // private label distributor
    SimPutU8(out, 1);  // device profile: process automation
  }
  return out;
}

std::vector<std::uint8_t> SimTransmitter::AnswerData(std::uint8_t command, std::span<const std::uint8_t> d) const {
  const SimState& s = State;
  SimBytes out;
  switch (command) {
    case 0:
    case 11:
    case 21:
    case 128: return IdentityData();
    case 1:
      SimPutU8(out, s.PVUnitCode);
      SimPutF32(out, s.PV);
      break;
    case 2:
      SimPutF32(out, s.LoopCurrent);
      SimPutF32(out, s.PercentOfRange);
      break;
    case 3:
      SimPutF32(out, s.LoopCurrent);
      for (const auto& [unit, value] : {std::pair{s.PVUnitCode, s.PV}, std::pair{s.SVUnitCode, s.SV},
                                         std::pair{s.TVUnitCode, s.TV}, std::pair{s.QVUnitCode, s.QV}}) {
        SimPutU8(out, unit);
        SimPutF32(out, value);
      }
      break;
    case 6: SimPutU8(out, Identity.PollingAddress); break;
    case 12:
    case 17: SimPutPacked(out, s.Message, 32); break;
    case 13:
    case 18:
      SimPutPacked(out, s.Tag, 8);
      SimPutPacked(out, s.Descriptor, 16);
      out.insert(out.end(), {s.Day, s.Month, s.YearSince1900});
      break;
    case 14:
      SimPutU24(out, s.SensorSerialNumber);
      SimPutU8(out, s.SensorUnitCode);
      SimPutF32(out, s.SensorUpperLimit);
      SimPutF32(out, s.SensorLowerLimit);
      SimPutF32(out, s.MinimumSpan);
      break;
    case 15:
      out = {s.AlarmSelection, s.TransferFunction, s.RangeUnitCode};
      SimPutF32(out, s.UpperRangeValue);
      SimPutF32(out, s.LowerRangeValue);
      SimPutF32(out, s.Damping);
      SimPutU8(out, s.WriteProtect);
      SimPutU8(out, Identity.ManufacturerId);  // private label distributor
      break;
    case 16:
    case 19: SimPutU24(out, s.FinalAssemblyNumber); break;
    case 34: SimPutF32(out, s.Damping); break;
    case 35:
      SimPutU8(out, s.RangeUnitCode);
      SimPutF32(out, s.UpperRangeValue);
      SimPutF32(out, s.LowerRangeValue);
      break;
    case 39: SimPutU8(out, SimAt(d, 0)); break;
    case 40: SimPutF32(out, s.FixedCurrent); break;
    case 44: SimPutU8(out, s.PVUnitCode); break;
    case 45: SimPutF32(out, s.DacZeroTrim); break;
    case 46: SimPutF32(out, s.DacGainTrim); break;
    case 47: SimPutU8(out, s.TransferFunction); break;
    case 48: out.assign(s.AdditionalStatus.begin(), s.AdditionalStatus.begin() + std::min<std::ptrdiff_t>(std::ssize(s.AdditionalStatus), 25)); break;
    case 49: SimPutU24(out, s.SensorSerialNumber); break;
    case 89:
      SimPutU8(out, SimAt(d, 0));  // the time-set code as asked
      PutDate(out, s.ClockSetDate);
      SimPutU16(out, s.ClockSetTime >> 16);
      SimPutU16(out, s.ClockSetTime & 0xFFFF);
      SimPutU16(out, 0);
      break;
    case 90:
      PutDate(out, s.ClockDate);
      SimPutU16(out, s.ClockTime >> 16);
      SimPutU16(out, s.ClockTime & 0xFFFF);
      PutDate(out, s.ClockSetDate);
      SimPutU16(out, s.ClockSetTime >> 16);
      SimPutU16(out, s.ClockSetTime & 0xFFFF);
      SimPutU8(out, s.ClockFlags);
      break;
    case 129: SimPutF32(out, s.AmbientTrim); break;
    case 133: SimPutU8(out, s.MidScalePoint); break;
    case 136:
    case 137: SimPutU8(out, s.SensorInfo); break;
    case 140: SimPutU8(out, s.SelectedInput); break;
    case 143:
    case 144:
      // Limits are kept for input 1; another selector is answered as asked (143) or empty (144).
      SimPutU8(out, SimAt(d, 0));
      if (SimAt(d, 0) == 1) {
        SimPutF32(out, s.AI1UpperLimit);
        SimPutF32(out, s.AI1LowerLimit);
      } else {
        for (std::size_t i = 1; i <= 8; ++i) SimPutU8(out, command == 143 ? SimAt(d, i) : 0);
      }
      break;
    case 189: SimPutU16(out, s.ParamChecksum); break;
    case 190: SimPutU16(out, s.RomChecksum); break;
    case 191: SimPutU16(out, s.TopOfStack); break;
    case 192:
    case 193: {
      SimPutU8(out, SimAt(d, 0));
      const auto word = s.Eeprom.find(SimAt(d, 0));
      SimPutU16(out, word == s.Eeprom.end() ? 0 : word->second);
      break;
    }
    case 194:
    case 195: SimPutU16(out, s.StatusRegister); break;
    case 196: SimPutU8(out, s.SelfTestResult); break;
    case 197:
    case 198: out = {s.PeakMinimum, s.PeakMaximum}; break;
    case 199:
    case 200:
      for (float v : {s.DriftZ1, s.DriftG1, s.DriftZ2, s.DriftG2}) SimPutF32(out, v);
      break;
    case 201:
    case 202:
      SimPutU8(out, SimAt(d, 0));
      SimPutF32(out, s.Points[SimAt(d, 0)].X);
      SimPutF32(out, s.Points[SimAt(d, 0)].Y);
      break;
    case 203: out = {s.SegmentCount, 0}; break;
    case 204: SimPutU8(out, s.SegmentCount); break;
    case 205: SimPutU8(out, s.MaxSegments); break;
    case 206: SimPutU8(out, s.LockState); break;
    case 207:
    case 208:
      SimPutU8(out, s.PVRangeUnitCode);
      SimPutF32(out, s.PVUpperValue);
      SimPutF32(out, s.PVLowerValue);
      break;
    case 210:
      SimPutF32(out, s.AdcValue1);
      SimPutF32(out, s.AdcValue2);
      break;
    case 211:
    case 212: {
      // Alarms 1 and 2 are kept; another number is answered as asked (211) or empty (212).
      const std::uint8_t n = SimAt(d, 0);
      SimPutU8(out, n);
      for (std::size_t i = 1; i < 8; ++i)
        SimPutU8(out, n == 1 || n == 2 ? s.Alarms[n - 1][i] : command == 211 ? SimAt(d, i) : 0);
      break;
    }
    case 213:
    case 214: SimPutU16(out, s.ExtendedStatus); break;
    default: break;  // 38, 41, 42, 134, 135, 138, 139: actions without answer data
  }
  return out;
}
