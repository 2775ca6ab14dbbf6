#include "app/core/LoadQueue.h"

#include <cmath>

#include "app/core/DisplayFormat.h"
#include "app/core/JobList.h"
#include "model/Units.h"

namespace {

constexpr std::int32_t TestJobs[LoadGroup::Count] = {300, 303, 307, 302, 304, 306, 305, 309, 310, 317, 308, 319, 320, 321, 323};

// The device keeps serial and assembly numbers in 24 bits.
constexpr std::int32_t Max24 = 0xFFFFFF;
// The device's linearisation table takes 1 to 47 segments.
constexpr std::int32_t MaxSegments = 47;
// The display shows 0 to 7 decimals; the track bar offers 0 to 4.
constexpr int MaxDecimalPoint = 7;
constexpr int TrackBarDecimals = 4;
// The alarm page shows set points with at most 4 decimals.
constexpr unsigned MaxAlarmDecimals = 4;

bool Fits(const std::string& text, int length) { return static_cast<int>(text.size()) <= length; }

bool ValidUnitRow(std::int32_t row) { return row >= 0 && row < UnitCount; }

// Builds the plan group by group; a group either passes whole or is refused.
class TPlanner {
public:
  TPlanner(const TXmtRecord& file, const TLoadRequest& request) : f_(file), r_(request) {}

  TLoadPlan Build() {
    for (int group : LoadGroupOrder) {
      if (group >= 1 && group <= LoadGroup::Count && r_.Chosen[static_cast<std::size_t>(group)]) Take(group);
    }
    Queue({202, 203, Job::EndOfSequence});
    return std::move(plan_);
  }

private:
  void Queue(std::initializer_list<std::int32_t> jobs) { plan_.Jobs.insert(plan_.Jobs.end(), jobs); }
  void Refuse(int group, TLoadRefusal why) { plan_.Refused.emplace_back(group, why); }
  bool Supported(std::int32_t job) const { return IsJobSupported(r_.Capabilities, job); }
  std::string Range(float v) const { return FormatFloat(r_.RangeFormat, v, r_.Format); }

  // A range pair for the range edits; empty when a value cannot be shown there.
  std::optional<TLoadRangeCopy> RangePair(std::int32_t unitRow, float upper, float lower) const {
    if (!ValidUnitRow(unitRow) || !std::isfinite(upper) || !std::isfinite(lower)) return std::nullopt;
    TLoadRangeCopy c{unitRow, Range(upper), Range(lower)};
    if (!Fits(c.Upper, r_.Lengths.Range) || !Fits(c.Lower, r_.Lengths.Range)) return std::nullopt;
    return c;
  }

  std::optional<std::string> Number24(std::int32_t v, int length) const {
    if (v < 0 || v > Max24) return std::nullopt;
    std::string text = FormatFloat("######0", v, r_.Format);
    if (!Fits(text, length)) return std::nullopt;
    return text;
  }

  bool AlarmFits(const TAlarmInfo& a) const {
    if (a.Decimals > MaxAlarmDecimals) return false;
    const std::string format = AlarmNumberFormat(a.Decimals);
    const double scale = AlarmScale(a.Decimals);
    const int positions = MaskPositions(AlarmEditMask(a.Decimals, r_.Format.DecimalSeparator));
    return Fits(FormatFloat(format, a.SetPoint / scale, r_.Format), positions) &&
           Fits(FormatFloat(format, a.Hysteresis / scale, r_.Format), positions) &&
           Fits(FormatFloat("#0", a.Delay, r_.Format), r_.Lengths.AlarmDelay);
  }

  // The nominal value and the two percentages that job 323 turns back into the limits.
  std::optional<TLoadAI1Copy> AI1(float upper, float lower) const {
    if (!std::isfinite(upper) || !std::isfinite(lower)) return std::nullopt;
    const float nominal = (upper + lower) / 2.0f;
    if (!std::isfinite(nominal)) return std::nullopt;
    const TAI1Percents p = AI1Percents(nominal, upper, lower);
    TLoadAI1Copy c{upper, lower, FormatFloat("##0.00", nominal, r_.Format), FormatFloat("##0.0", p.Upper, r_.Format),
                   FormatFloat("##0.0", -p.Lower, r_.Format)};
    if (!Fits(c.Nominal, r_.Lengths.AI1Nominal) || !Fits(c.UpperPercent, r_.Lengths.AI1Percent) ||
        !Fits(c.LowerPercent, r_.Lengths.AI1Percent)) {
      return std::nullopt;
    }
    // What job 323 will send from these texts must be the file's limits to the edits'
    // resolution (half a unit of the last digit of each); a nominal value of 0 cannot carry
    // limits that are not 0.
    const auto n = StrToFloat(c.Nominal, r_.Format);
    const auto pu = StrToFloat(c.UpperPercent, r_.Format);
    const auto pl = StrToFloat(c.LowerPercent, r_.Format);
    if (!n || !pu || !pl) return std::nullopt;
    const TAI1Limits sent = AI1Limits(*n, *pu, *pl);
    auto close = [&](float got, float want, double percent) {
      const double tolerance = 0.006 * (1 + std::fabs(percent) / 100) + 0.0006 * std::fabs(*n);
      return std::fabs(static_cast<double>(got) - want) <= tolerance;
    };
    if (!close(sent.Upper, upper, *pu) || !close(sent.Lower, lower, *pl)) return std::nullopt;
    return c;
  }
  void Take(int group) {
    TLoadCopies& c = plan_.Copies;
    switch (group) {
      case LoadGroup::PollingAddress: {
        const Byte address = f_.GetByte(TXmtRecord::OffPollingAddress);
        if (address > 15) return Refuse(group, TLoadRefusal::BadValue);
        c.NewPollingAddress = address;
        Queue({300});
        break;
      }
      case LoadGroup::TagDescriptorDate: {
        // The file's date is always DD/MM/YYYY, whatever the program's own date format.
        TFormatSettings dateFormat = r_.Format;
        dateFormat.DateSeparator = '/';
        dateFormat.ShortDateFormat = "DD/MM/YYYY";
        c.TagDescriptorDate = TLoadTagCopy{f_.GetString(TXmtRecord::OffTag, 10), f_.GetString(TXmtRecord::OffDescriptor, 20),
                                           StrToDate(f_.GetString(TXmtRecord::OffDate, 10), dateFormat)};
        Queue({303});
        break;
      }
      case LoadGroup::Message:
        c.Message = f_.GetString(TXmtRecord::OffMessage, 40);
        Queue({307});
        break;
      case LoadGroup::PVRange: {
        const bool extended = Supported(322);
        std::optional<TLoadDisplayCopy> display;
        if (extended) {
          const Byte decimals = f_.GetByte(TXmtRecord::OffDecimalPoint);
          if (decimals > MaxDecimalPoint) return Refuse(group, TLoadRefusal::BadValue);
          display = TLoadDisplayCopy{decimals, f_.GetByte(TXmtRecord::OffLastDigitStep), std::nullopt};
          if (decimals <= TrackBarDecimals) display->TrackBarPosition = TrackBarDecimals - decimals;
        }
        const auto pv = RangePair(f_.GetByte(TXmtRecord::OffPVUnit), f_.GetSingle(TXmtRecord::OffPVUpperValue),
                                  f_.GetSingle(TXmtRecord::OffPVLowerValue));
        if (!pv) return Refuse(group, TLoadRefusal::BadValue);
        c.Display = display;
        c.PVRange = pv;
        if (extended) Queue({322});
        Queue({319, 219});
        break;
      }
      case LoadGroup::RangeAndUnit: {
        const auto range = RangePair(f_.GetInt32(TXmtRecord::OffRangeUnit), f_.GetSingle(TXmtRecord::OffUpperRangeValue),
                                     f_.GetSingle(TXmtRecord::OffLowerRangeValue));
        if (!range) return Refuse(group, TLoadRefusal::BadValue);
        c.Range = range;
        Queue({302});
        break;
      }
      case LoadGroup::Damping: {
        const float seconds = f_.GetSingle(TXmtRecord::OffDamping);
        if (!std::isfinite(seconds) || seconds < 0) return Refuse(group, TLoadRefusal::BadValue);
        std::string text = FormatFloat("#0.0", seconds, r_.Format);
        if (!Fits(text, r_.Lengths.Damping)) return Refuse(group, TLoadRefusal::BadValue);
        c.Damping = text;
        Queue({304});
        break;
      }
      case LoadGroup::SensorSerialNumber:
        c.SensorSerialNumber = Number24(f_.GetInt32(TXmtRecord::OffSensorSerialNumber), r_.Lengths.SerialNumber);
        if (!c.SensorSerialNumber) return Refuse(group, TLoadRefusal::BadValue);
        Queue({306});
        break;
      case LoadGroup::AssemblyNumber:
        c.AssemblyNumber = Number24(f_.GetInt32(TXmtRecord::OffFinalAssemblyNumber), r_.Lengths.AssemblyNumber);
        if (!c.AssemblyNumber) return Refuse(group, TLoadRefusal::BadValue);
        Queue({305});
        break;
      case LoadGroup::LinearizationTable: {
        const std::int32_t n = f_.GetInt32(TXmtRecord::OffSegmentCount);
        if (n < 1 || n > MaxSegments) return Refuse(group, TLoadRefusal::BadSegmentNumber);
        TLoadCurveCopy curve{n, {}};
        for (int i = 0; i <= n; ++i) {
          const TLoadPoint p{f_.PointX(i), f_.PointY(i)};
          if (!std::isfinite(p.X) || !std::isfinite(p.Y)) return Refuse(group, TLoadRefusal::BadValue);
          curve.Points.push_back(p);
        }
        c.Curve = std::move(curve);
        Queue({312, 309, 313});
        break;
      }
      case LoadGroup::TransferFunction:
        Queue({f_.GetByte(TXmtRecord::OffTransferFunction) == 253 ? 311 : 312});
        break;
      case LoadGroup::SensorType:
        c.SensorInfo = f_.GetByte(TXmtRecord::OffSensorInfo);
        Queue({317, 213});
        break;
      case LoadGroup::StatusRegister:
        c.Status = TLoadStatusCopy{f_.GetByte(TXmtRecord::OffWriteProtect), f_.GetByte(TXmtRecord::OffCacheMemory),
                                   f_.GetByte(TXmtRecord::OffFault1High), f_.GetByte(TXmtRecord::OffFault2High)};
        Queue({308, 205});
        break;
      case LoadGroup::Alarm1:
      case LoadGroup::Alarm2: {
        const bool first = group == LoadGroup::Alarm1;
        const TAlarmInfo a = f_.GetAlarm(first ? TXmtRecord::OffAlarm1 : TXmtRecord::OffAlarm2);
        if (!AlarmFits(a)) return Refuse(group, TLoadRefusal::BadValue);
        (first ? c.Alarm1 : c.Alarm2) = a;
        Queue({first ? 320 : 321});
        break;
      }
      case LoadGroup::SecondaryLimits:
        c.AI1 = AI1(f_.GetSingle(TXmtRecord::OffAI1UpperLimit), f_.GetSingle(TXmtRecord::OffAI1LowerLimit));
        if (!c.AI1) return Refuse(group, TLoadRefusal::BadValue);
        Queue({323});
        break;
      default:
        break;
    }
  }

  const TXmtRecord& f_;
  const TLoadRequest& r_;
  TLoadPlan plan_;
};

}  // namespace

std::int32_t LoadGroupTestJob(int group) {
  return group >= 1 && group <= LoadGroup::Count ? TestJobs[group - 1] : 0;
}

std::vector<int> OfferedLoadGroups(std::uint32_t capabilities) {
  std::vector<int> groups;
  for (int g = 1; g <= LoadGroup::Count; ++g) {
    if (IsJobSupported(capabilities, LoadGroupTestJob(g))) groups.push_back(g);
  }
  return groups;
}

int LoadGroupOfItem(const std::string& item) {
  if (item.size() < 2 || item[0] < '0' || item[0] > '9' || item[1] < '0' || item[1] > '9') return 0;
  return (item[0] - '0') * 10 + (item[1] - '0');
}

unsigned LoadRangeDecimals(const TXmtRecord& file, std::uint32_t capabilities) {
  return IsJobSupported(capabilities, 322) ? file.GetByte(TXmtRecord::OffDecimalPoint) : ~0u;
}

int MaskPositions(const std::string& mask) {
  int n = 0;
  for (char ch : mask.substr(0, mask.find(';'))) {
    if (ch != '!') ++n;
  }
  return n;
}

TLoadPlan BuildLoadPlan(const TXmtRecord& file, const TLoadRequest& request) { return TPlanner(file, request).Build(); }
