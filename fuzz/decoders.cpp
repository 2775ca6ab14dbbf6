// Every answer decoder on a span of exactly the answer's bytes, any length from 0 on: it
// reads nothing outside the span (the sanitizers watch), gives the same model as the same
// bytes followed by zeros (bytes past the end read as 0), and leaves texts within their
// fields and values finite.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <span>
#include <vector>

#include "FuzzInput.h"
#include "model/Xmt.h"

namespace {

using TDecoder = std::function<void(TXmt&, TAnswerData, int byteCount)>;

const std::vector<TDecoder>& Decoders() {
  static const std::vector<TDecoder> decoders = {
      [](TXmt& x, TAnswerData d, int n) { x.DecodeIdentity(d, n); },
      [](TXmt& x, TAnswerData d, int) { x.DecodeCmd1(d); },
      [](TXmt& x, TAnswerData d, int) { x.DecodeCmd2(d); },
      [](TXmt& x, TAnswerData d, int) { x.DecodeCmd3(d); },
      [](TXmt& x, TAnswerData d, int) { x.DecodeCmd12(d); },
      [](TXmt& x, TAnswerData d, int) { x.DecodeCmd13(d); },
      [](TXmt& x, TAnswerData d, int) { x.DecodeCmd14(d); },
      [](TXmt& x, TAnswerData d, int) { x.DecodeCmd15(d); },
      [](TXmt& x, TAnswerData d, int) { x.DecodeCmd16(d); },
      [](TXmt& x, TAnswerData d, int) { x.DecodeCmd41(d); },
      [](TXmt& x, TAnswerData d, int) { x.DecodeCmd44(d); },
      [](TXmt& x, TAnswerData d, int) { x.DecodeCmd47(d); },
      [](TXmt& x, TAnswerData d, int n) { x.DecodeCmd48(d, n); },
      [](TXmt& x, TAnswerData d, int) { x.DecodeCmd89(d); },
      [](TXmt& x, TAnswerData d, int) { x.DecodeCmd90(d); },
      [](TXmt& x, TAnswerData d, int) { x.DecodeCmd136(d); },
      [](TXmt& x, TAnswerData d, int) { x.DecodeCmd140(d); },
      [](TXmt& x, TAnswerData d, int) { x.DecodeCmd143(d); },
      [](TXmt& x, TAnswerData d, int) { x.DecodeCmd189(d); },
      [](TXmt& x, TAnswerData d, int) { x.DecodeCmd190(d); },
      [](TXmt& x, TAnswerData d, int) { x.DecodeCmd191(d); },
      [](TXmt& x, TAnswerData d, int) { x.DecodeCmd192(d); },
      [](TXmt& x, TAnswerData d, int) { x.DecodeCmd194(d); },
      [](TXmt& x, TAnswerData d, int) { x.DecodeCmd196(d); },
      [](TXmt& x, TAnswerData d, int) { x.DecodeCmd197(d); },
      [](TXmt& x, TAnswerData d, int) { x.DecodeCmd200(d); },
      [](TXmt& x, TAnswerData d, int) { x.DecodeCmd202(d); },
      [](TXmt& x, TAnswerData d, int) { x.DecodeCmd204(d); },
      [](TXmt& x, TAnswerData d, int) { x.DecodeCmd205(d); },
      [](TXmt& x, TAnswerData d, int) { x.DecodeCmd206(d); },
      [](TXmt& x, TAnswerData d, int) { x.DecodeCmd208(d); },
      [](TXmt& x, TAnswerData d, int) { x.DecodeCmd210(d); },
      [](TXmt& x, TAnswerData d, int) { x.DecodeCmd211(d); },
      [](TXmt& x, TAnswerData d, int) { x.DecodeCmd213(d); },
  };
  return decoders;
}

// Every field a decoder may write, as bytes, for comparing two models. Kept in a buffer of
// its own: allocations would cost more than the decoding.
class TSnapshot {
public:
  template <class T>
  TSnapshot& operator<<(const T& v) {
    Add(&v, sizeof v);
    return *this;
  }
  TSnapshot& operator<<(const std::string& s) {
    *this << s.size();
    Add(s.data(), s.size());
    return *this;
  }
  TSnapshot& operator<<(const TAlarmInfo& a) {
    std::array<Byte, TAlarmInfo::Size> b{};
    a.ToBytes(b);
    return *this << b;
  }
  bool operator==(const TSnapshot& o) const {
    return size_ == o.size_ && std::equal(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(size_), o.bytes_.begin());
  }

private:
  void Add(const void* p, std::size_t n) {
    FUZZ_CHECK(size_ + n <= bytes_.size());
    std::memcpy(bytes_.data() + size_, p, n);
    size_ += n;
  }
  std::array<unsigned char, 4096> bytes_;
  std::size_t size_ = 0;
};

void Snapshot(const TXmt& x, TSnapshot& s) {
  s << x.LiveRecord.Bytes << x.FileImage.Bytes << x.Connected << x.Is_Ostrel << x.ManufacturerName << x.ModelName
    << x.ManufacturerId << x.DeviceType << x.UniversalRevision << x.DeviceRevision << x.SoftwareRevision
    << x.HardwareRevision << x.SignalingCode << x.SensorUnit << x.RangeUnit << x.PV << x.SV << x.AdcValue1
    << x.AdcValue2 << x.PVUnitCode << x.PercentOfRange << x.LoopCurrent << x.UpperRangeValue << x.LowerRangeValue
    << x.SensorUpperLimit << x.SensorLowerLimit << x.PVUpperValue << x.PVLowerValue << x.MinimumSpan << x.Damping
    << x.DriftZ1 << x.DriftG1 << x.DriftZ2 << x.DriftG2 << x.Tag << x.Descriptor << x.DateText << x.Message
    << x.FinalAssemblyNumber << x.SensorSerialNumber << x.PeakMinimum << x.PeakMaximum << x.ParamChecksum
    << x.RomChecksum << x.TopOfStack << x.PVText << x.SVText << x.TVText << x.QVText << x.DeviceId << x.LongAddress
    << x.PollingAddress << x.ConfigChangeCounter << x.DeviceStatus << x.StatusRegister << x.AdditionalStatusCount
    << x.AdditionalStatus << x.WriteProtect << x.CacheMemory << x.Fault1High << x.Fault2High << x.LowPowerDuration
    << x.CpuFrequency << x.SegmentIndex << x.SegmentX << x.SegmentY << x.SegmentCount << x.MaxSegments
    << x.DecimalPoint << x.LastDigitStep << x.TransferFunction << x.SelfTestResult << x.FixedCurrent
    << x.MeasuredCurrent << x.TrimPoint << x.SensorInfo << x.SensorKind << x.SensorConnection << x.SensorType
    << x.LockState << x.EepromAddress << x.EepromValue << x.Alarm1 << x.Alarm2 << x.AlarmSelector << x.SelectedInput
    << x.AI1UpperLimit << x.AI1LowerLimit << x.UnitDisplay << x.DeviceClock << x.LastClockSet << x.ClockFlags
    << x.Erreur->Message << x.Erreur->Level << x.Erreur->Code;
}

void CheckModel(const TXmt& x) {
  // Texts within their fields.
  FUZZ_CHECK(x.ManufacturerName.size() <= 40 && x.ModelName.size() <= 40);
  FUZZ_CHECK(x.Tag.size() <= 10 && x.Descriptor.size() <= 20 && x.DateText.size() <= 10 && x.Message.size() <= 40);
  for (const std::string* t : {&x.PVText, &x.SVText, &x.TVText, &x.QVText}) FUZZ_CHECK(t->size() <= 20);
  FUZZ_CHECK(x.Erreur->Message.size() <= 80);
  FUZZ_CHECK(x.LiveRecord.GetByte(TXmtRecord::OffTag) <= 10);
  FUZZ_CHECK(x.LiveRecord.GetByte(TXmtRecord::OffDescriptor) <= 20);
  FUZZ_CHECK(x.LiveRecord.GetByte(TXmtRecord::OffDate) <= 10);
  FUZZ_CHECK(x.LiveRecord.GetByte(TXmtRecord::OffMessage) <= 40);
  // The record's magic is written only when saving.
  FUZZ_CHECK(x.LiveRecord.GetByte(TXmtRecord::OffMagic) == 0);
  // The wire's singles are never NaN or infinite in the model.
  for (float v : {x.PV, x.SV, x.AdcValue1, x.AdcValue2, x.PercentOfRange, x.LoopCurrent, x.UpperRangeValue,
                  x.LowerRangeValue, x.SensorUpperLimit, x.SensorLowerLimit, x.PVUpperValue, x.PVLowerValue,
                  x.MinimumSpan, x.Damping, x.DriftZ1, x.DriftG1, x.DriftZ2, x.DriftG2, x.SegmentX, x.SegmentY,
                  x.AI1UpperLimit, x.AI1LowerLimit})
    FUZZ_CHECK(std::isfinite(v));
  for (int i = 0; i < TXmtRecord::PointCount; ++i)
    FUZZ_CHECK(std::isfinite(x.LiveRecord.PointX(i)) && std::isfinite(x.LiveRecord.PointY(i)));
  FUZZ_CHECK(std::isfinite(x.DeviceClock) && std::isfinite(x.LastClockSet));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  const auto& decoders = Decoders();
  const std::size_t which = in.Byte() % decoders.size();
  const Byte maker = in.Byte();  // an earlier identity: Is_Ostrel and the names follow the maker
  const bool french = in.Bool();
  // The byte count of the frame: at least the two status bytes, as the parser lets through.
  const int byteCount = static_cast<int>(in.Range(2, 255));

  // The answer's bytes alone, in a buffer of their own size.
  const std::vector<Byte> exact = in.Rest();
  std::vector<Byte> padded = exact;
  padded.resize(exact.size() + 256, 0);

  TSnapshot models[2];
  for (int pass = 0; pass < 2; ++pass) {
    TXmt x(french ? TLangue::Francais : TLangue::Anglais);
    const std::array<Byte, 16> identity{254, maker, 1, 0, 5, 1, 1, 8, 0, 0, 1, 2};
    x.DecodeIdentity(identity, 18);
    const std::vector<Byte>& bytes = pass == 0 ? exact : padded;
    decoders[which](x, TAnswerData(bytes.data(), bytes.size()), byteCount);
    CheckModel(x);
    Snapshot(x, models[pass]);
  }
  FUZZ_CHECK(models[0] == models[1]);
  return 0;
}
