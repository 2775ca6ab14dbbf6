#pragma once

// The load form's pure logic: the 15 groups of a transmitter file, which of them a device is
// offered, and what the Update does with the chosen ones: the values it copies from the file
// into the main window and the model, and the job list that writes them and reads them back.
// A group whose values the device or the page cannot take is refused whole: nothing of it is
// copied and none of its jobs is queued.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/Format.h"
#include "model/Xmt.h"

namespace LoadGroup {
constexpr int Count = 15;
constexpr int PollingAddress = 1;
constexpr int TagDescriptorDate = 2;
constexpr int Message = 3;
constexpr int RangeAndUnit = 4;
constexpr int Damping = 5;
constexpr int SensorSerialNumber = 6;
constexpr int AssemblyNumber = 7;
constexpr int LinearizationTable = 8;
constexpr int TransferFunction = 9;
constexpr int SensorType = 10;
constexpr int StatusRegister = 11;
constexpr int PVRange = 12;
constexpr int Alarm1 = 13;
constexpr int Alarm2 = 14;
constexpr int SecondaryLimits = 15;
}  // namespace LoadGroup

// The job whose support decides whether a group (1..15) is offered; 0 outside.
std::int32_t LoadGroupTestJob(int group);
// The groups offered to a device of these capabilities, in number order.
std::vector<int> OfferedLoadGroups(std::uint32_t capabilities);
// The number a list item stands for: its first two characters as a number "00"; 0 when they
// are not two digits.
int LoadGroupOfItem(const std::string& item);
// The order in which the Update takes the chosen groups (the PV range right after the message).
constexpr std::array<int, LoadGroup::Count> LoadGroupOrder{1, 2, 3, 12, 4, 5, 6, 7, 8, 9, 10, 11, 13, 14, 15};

// The decimals the range masks take before the copies: the file's display decimals when the
// device has the extended status (job 322), else none (the default row).
unsigned LoadRangeDecimals(const TXmtRecord& file, std::uint32_t capabilities);

// The number of characters an edit mask such as "!###0.00;1;_" holds.
int MaskPositions(const std::string& mask);

// What one chosen group copies. Texts are those the main window's edits take (Windows-1252).
struct TLoadTagCopy {
  std::string Tag, Descriptor;
  std::optional<TDateTime> Date;  // empty: the file's date is empty or not DD/MM/YYYY
};
struct TLoadDisplayCopy {  // only for a device with the extended status
  Byte DecimalPoint = 0;
  Byte LastDigitStep = 0;
  std::optional<int> TrackBarPosition;  // empty for 5 to 7 decimals: the track bar stays
};
struct TLoadRangeCopy {
  int UnitRow = 0;
  std::string Upper, Lower;
};
struct TLoadPoint {
  float X = 0, Y = 0;
  bool operator==(const TLoadPoint&) const = default;
};
struct TLoadCurveCopy {
  std::int32_t LastIndex = 0;
  std::vector<TLoadPoint> Points;  // points 0 to LastIndex
};
struct TLoadStatusCopy {
  Byte WriteProtect = 0, CacheMemory = 0, Fault1High = 0, Fault2High = 0;
};
struct TLoadAI1Copy {
  float UpperLimit = 0, LowerLimit = 0;
  std::string Nominal, UpperPercent, LowerPercent;
};

struct TLoadCopies {
  std::optional<Byte> NewPollingAddress;
  std::optional<TLoadTagCopy> TagDescriptorDate;
  std::optional<std::string> Message;
  std::optional<TLoadDisplayCopy> Display;
  std::optional<TLoadRangeCopy> PVRange;
  std::optional<TLoadRangeCopy> Range;
  std::optional<std::string> Damping;
  std::optional<std::string> SensorSerialNumber;
  std::optional<std::string> AssemblyNumber;
  std::optional<TLoadCurveCopy> Curve;
  std::optional<Byte> SensorInfo;
  std::optional<TLoadStatusCopy> Status;
  std::optional<TAlarmInfo> Alarm1, Alarm2;
  std::optional<TLoadAI1Copy> AI1;
};

enum class TLoadRefusal {
  BadSegmentNumber,  // group 8 with a segment number outside 1..47
  BadValue,          // a value the device or the page's edits cannot take
};

struct TLoadPlan {
  TLoadCopies Copies;
  // The jobs in the order they run, the tail 202, 203, 500 included, without the closing 0.
  std::vector<std::int32_t> Jobs;
  // Chosen groups that were not taken, in the order they were met.
  std::vector<std::pair<int, TLoadRefusal>> Refused;
};

// How many characters the main window's edits hold. A longer text would be cut by the edit
// and a wrong value written, so its group is refused instead. The alarm set point and
// hysteresis edits take the mask of the alarm's decimals (AlarmEditMask).
struct TLoadEditLengths {
  int Range = 32767;  // EdURV, EdLRV, EdUPV, EdLPV, once the range masks are set
  int Damping = 32767;
  int SerialNumber = 32767;
  int AssemblyNumber = 32767;
  int AI1Nominal = 32767;
  int AI1Percent = 32767;
  int AlarmDelay = 32767;
};

struct TLoadRequest {
  std::array<bool, LoadGroup::Count + 1> Chosen{};  // by group number; [0] unused
  std::uint32_t Capabilities = 0x001;
  std::string RangeFormat = "###0.00";  // pattern of range values, as the range masks set it
  TFormatSettings Format;               // the program's settings (its decimal separator)
  TLoadEditLengths Lengths;
};

TLoadPlan BuildLoadPlan(const TXmtRecord& file, const TLoadRequest& request);
