// The load form's groups and the Update's plan: which groups a device is offered, the job
// list each choice gives, the values copied, and the groups a damaged file cannot give.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "app/core/DisplayFormat.h"
#include "app/core/JobList.h"
#include "app/core/LoadQueue.h"

namespace {

using Jobs = std::vector<std::int32_t>;

constexpr std::uint32_t OtherMaker = 0x001;
constexpr std::uint32_t Type22 = 0x013;   // sensor description, no segments
constexpr std::uint32_t Type26 = 0x027;   // segments and PV range, no extended status
constexpr std::uint32_t Type203 = 0x1E7;  // all but the sensor description
constexpr std::uint32_t Everything = 0x1FF;

// A plausible file of a maker's device.
TXmtRecord File() {
  TXmtRecord r;
  r.SetMagic();
  r.SetByte(TXmtRecord::OffPollingAddress, 3);
  r.SetString(TXmtRecord::OffTag, 10, "TT-205");
  r.SetString(TXmtRecord::OffDescriptor, 20, "BOILER OUT");
  r.SetString(TXmtRecord::OffDate, 10, "15/03/2024");
  r.SetString(TXmtRecord::OffMessage, 40, "CHECKED");
  r.SetInt32(TXmtRecord::OffRangeUnit, 1);
  r.SetSingle(TXmtRecord::OffUpperRangeValue, 150.0f);
  r.SetSingle(TXmtRecord::OffLowerRangeValue, -50.0f);
  r.SetSingle(TXmtRecord::OffDamping, 2.5f);
  r.SetInt32(TXmtRecord::OffFinalAssemblyNumber, 70001);
  r.SetInt32(TXmtRecord::OffSensorSerialNumber, 120035);
  r.SetByte(TXmtRecord::OffSensorInfo, 0x5A);
  r.SetByte(TXmtRecord::OffTransferFunction, 0);
  r.SetByte(TXmtRecord::OffWriteProtect, 1);
  r.SetByte(TXmtRecord::OffCacheMemory, 0);
  r.SetByte(TXmtRecord::OffFault1High, 1);
  r.SetByte(TXmtRecord::OffFault2High, 0);
  r.SetInt32(TXmtRecord::OffSegmentCount, 3);
  for (int i = 0; i < TXmtRecord::PointCount; ++i) r.SetPoint(i, 10.0f * i, 100.0f + i);
  r.SetByte(TXmtRecord::OffPVUnit, 2);
  r.SetSingle(TXmtRecord::OffPVUpperValue, 400.0f);
  r.SetSingle(TXmtRecord::OffPVLowerValue, 4.0f);
  TAlarmInfo a;
  a.SetPointEditable = true;
  a.Decimals = 1;
  a.SetPoint = 1000;
  a.Hysteresis = 10;
  a.Delay = 5;
  r.SetAlarm(TXmtRecord::OffAlarm1, a);
  a.SetPoint = -1000;
  a.RelayNormallyClosed = 1;
  r.SetAlarm(TXmtRecord::OffAlarm2, a);
  r.SetByte(TXmtRecord::OffDecimalPoint, 2);
  r.SetByte(TXmtRecord::OffLastDigitStep, 1);
  r.SetSingle(TXmtRecord::OffAI1UpperLimit, 153.0f);
  r.SetSingle(TXmtRecord::OffAI1LowerLimit, 147.0f);
  return r;
}

TLoadRequest Choose(std::initializer_list<int> groups, std::uint32_t caps = Everything) {
  TLoadRequest r;
  r.Capabilities = caps;
  for (int g : groups) r.Chosen[static_cast<std::size_t>(g)] = true;
  return r;
}

TLoadRequest All(std::uint32_t caps) {
  TLoadRequest r = Choose({}, caps);
  for (int g : OfferedLoadGroups(caps)) r.Chosen[static_cast<std::size_t>(g)] = true;
  return r;
}

}  // namespace

TEST(LoadQueueTest, GroupsOfferedFollowTheCapabilities) {
  struct Case {
    std::uint32_t caps;
    std::vector<int> groups;
  };
  for (const Case& c : std::initializer_list<Case>{
           {OtherMaker, {1, 2, 3, 4, 5, 6, 7}},
           {Type22, {1, 2, 3, 4, 5, 6, 7, 10, 11}},
           {Type26, {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12}},
           {Type203, {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15}},
           {Everything, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
       }) {
    EXPECT_EQ(OfferedLoadGroups(c.caps), c.groups) << std::hex << c.caps;
  }
  EXPECT_EQ(LoadGroupTestJob(0), 0);
  EXPECT_EQ(LoadGroupTestJob(16), 0);
}

TEST(LoadQueueTest, ItemsAreKnownByTheirTwoDigitPrefix) {
  EXPECT_EQ(LoadGroupOfItem("01 - Polling Address"), 1);
  EXPECT_EQ(LoadGroupOfItem("15 - x"), 15);
  EXPECT_EQ(LoadGroupOfItem("1 - x"), 0);
  EXPECT_EQ(LoadGroupOfItem("x1"), 0);
  EXPECT_EQ(LoadGroupOfItem(""), 0);
  EXPECT_EQ(MaskPositions("!###0.00;1;_"), 7);
  EXPECT_EQ(MaskPositions("!90,0;1;_"), 4);
  EXPECT_EQ(MaskPositions(""), 0);
}

TEST(LoadQueueTest, JobListsOfTheChoices) {
  TXmtRecord tf253 = File();
  tf253.SetByte(TXmtRecord::OffTransferFunction, 253);
  struct Case {
    const char* what;
    TLoadRequest request;
    const TXmtRecord& file;
    Jobs jobs;
  };
  const TXmtRecord file = File();
  for (const Case& c : std::initializer_list<Case>{
           {"nothing chosen", Choose({}), file, {202, 203, 500}},
           {"another maker's seven groups", All(OtherMaker), file, {300, 303, 307, 302, 304, 306, 305, 202, 203, 500}},
           {"the PV range right after the message", Choose({3, 12}), file, {307, 322, 319, 219, 202, 203, 500}},
           {"the PV range without the extended status", Choose({12}, Type26), file, {319, 219, 202, 203, 500}},
           {"transfer function 253 enables the table", Choose({9}), tf253, {311, 202, 203, 500}},
           {"any other transfer function disables it", Choose({9}), file, {312, 202, 203, 500}},
           {"the table, its points, then its segment number", Choose({8}), file, {312, 309, 313, 202, 203, 500}},
           {"sensor, status register, alarms, limits", Choose({15, 14, 13, 11, 10}), file,
            {317, 213, 308, 205, 320, 321, 323, 202, 203, 500}},
           {"every group", All(Everything), file,
            {300, 303, 307, 322, 319, 219, 302, 304, 306, 305, 312, 309, 313, 312, 317, 213, 308, 205, 320, 321, 323, 202, 203, 500}},
       }) {
    const TLoadPlan plan = BuildLoadPlan(c.file, c.request);
    EXPECT_EQ(plan.Jobs, c.jobs) << c.what;
    EXPECT_TRUE(plan.Refused.empty()) << c.what;
    EXPECT_LT(static_cast<int>(plan.Jobs.size()), TJobList::Slots) << c.what;
  }
}

TEST(LoadQueueTest, CopiesOfEveryGroup) {
  TLoadRequest request = All(Everything);
  request.RangeFormat = "##0.00";
  const TLoadPlan plan = BuildLoadPlan(File(), request);
  const TLoadCopies& c = plan.Copies;
  EXPECT_EQ(c.NewPollingAddress, Byte{3});
  ASSERT_TRUE(c.TagDescriptorDate);
  EXPECT_EQ(c.TagDescriptorDate->Tag, "TT-205");
  EXPECT_EQ(c.TagDescriptorDate->Descriptor, "BOILER OUT");
  EXPECT_EQ(c.TagDescriptorDate->Date, TryEncodeDate(2024, 3, 15));
  EXPECT_EQ(c.Message, "CHECKED");
  ASSERT_TRUE(c.Display);
  EXPECT_EQ(c.Display->DecimalPoint, 2);
  EXPECT_EQ(c.Display->LastDigitStep, 1);
  EXPECT_EQ(c.Display->TrackBarPosition, 2);
  ASSERT_TRUE(c.PVRange);
  EXPECT_EQ(c.PVRange->UnitRow, 2);
  EXPECT_EQ(c.PVRange->Upper, "400.00");
  EXPECT_EQ(c.PVRange->Lower, "4.00");
  ASSERT_TRUE(c.Range);
  EXPECT_EQ(c.Range->UnitRow, 1);
  EXPECT_EQ(c.Range->Upper, "150.00");
  EXPECT_EQ(c.Range->Lower, "-50.00");
  EXPECT_EQ(c.Damping, "2.5");
  EXPECT_EQ(c.SensorSerialNumber, "120035");
  EXPECT_EQ(c.AssemblyNumber, "70001");
  ASSERT_TRUE(c.Curve);
  EXPECT_EQ(c.Curve->LastIndex, 3);
  EXPECT_EQ(c.Curve->Points, (std::vector<TLoadPoint>{{0, 100}, {10, 101}, {20, 102}, {30, 103}}));
  EXPECT_EQ(c.SensorInfo, Byte{0x5A});
  ASSERT_TRUE(c.Status);
  EXPECT_EQ(c.Status->WriteProtect, 1);
  EXPECT_EQ(c.Status->CacheMemory, 0);
  EXPECT_EQ(c.Status->Fault1High, 1);
  EXPECT_EQ(c.Status->Fault2High, 0);
  ASSERT_TRUE(c.Alarm1 && c.Alarm2);
  EXPECT_EQ(c.Alarm1->SetPoint, 1000);
  EXPECT_EQ(c.Alarm2->SetPoint, -1000);
  EXPECT_EQ(c.Alarm2->RelayNormallyClosed, 1);
  ASSERT_TRUE(c.AI1);
  EXPECT_EQ(c.AI1->UpperLimit, 153.0f);
  EXPECT_EQ(c.AI1->LowerLimit, 147.0f);
  EXPECT_EQ(c.AI1->Nominal, "150.00");
  EXPECT_EQ(c.AI1->UpperPercent, "2.0");
  EXPECT_EQ(c.AI1->LowerPercent, "-2.0");
}

TEST(LoadQueueTest, NothingIsCopiedForGroupsNotChosen) {
  const TLoadPlan plan = BuildLoadPlan(File(), Choose({3}));
  const TLoadCopies& c = plan.Copies;
  EXPECT_TRUE(c.Message);
  EXPECT_FALSE(c.NewPollingAddress || c.TagDescriptorDate || c.Display || c.PVRange || c.Range || c.Damping ||
               c.SensorSerialNumber || c.AssemblyNumber || c.Curve || c.SensorInfo || c.Status || c.Alarm1 || c.Alarm2 || c.AI1);
}

TEST(LoadQueueTest, DisplayDecimalsAndTheTrackBar) {
  struct Case {
    int decimals;
    std::optional<int> position;
  };
  for (const Case& c : std::initializer_list<Case>{{0, 4}, {2, 2}, {4, 0}, {5, std::nullopt}, {6, std::nullopt}, {7, std::nullopt}}) {
    TXmtRecord file = File();
    file.SetByte(TXmtRecord::OffDecimalPoint, static_cast<Byte>(c.decimals));
    const TLoadPlan plan = BuildLoadPlan(file, Choose({12}));
    ASSERT_TRUE(plan.Copies.Display) << c.decimals;
    EXPECT_EQ(plan.Copies.Display->DecimalPoint, c.decimals);
    EXPECT_EQ(plan.Copies.Display->TrackBarPosition, c.position) << c.decimals;
  }
  // The range masks follow the file's decimals only where the device has them.
  TXmtRecord file = File();
  EXPECT_EQ(LoadRangeDecimals(file, Everything), 2u);
  EXPECT_EQ(LoadRangeDecimals(file, Type26), ~0u);
}

TEST(LoadQueueTest, TheFilesDateIsReadAsDayMonthYearWhateverTheProgramsFormat) {
  struct Case {
    const char* text;
    std::optional<TDateTime> date;
  };
  TLoadRequest request = Choose({2});
  request.Format.DateSeparator = '.';
  request.Format.ShortDateFormat = "YYYY/MM/DD";
  for (const Case& c : std::initializer_list<Case>{
           {"15/03/2024", TryEncodeDate(2024, 3, 15)},
           {"01/12/1999", TryEncodeDate(1999, 12, 1)},
           {"", std::nullopt},
           {"31/02/2024", std::nullopt},
           {"2024.03.15", std::nullopt},
           {"15-03-2024", std::nullopt},
           {"\xFF\xFF/\x01", std::nullopt},
       }) {
    TXmtRecord file = File();
    file.SetString(TXmtRecord::OffDate, 10, c.text);
    const TLoadPlan plan = BuildLoadPlan(file, request);
    ASSERT_TRUE(plan.Copies.TagDescriptorDate) << c.text;
    EXPECT_EQ(plan.Copies.TagDescriptorDate->Date, c.date) << c.text;
    EXPECT_EQ(plan.Jobs, (Jobs{303, 202, 203, 500})) << "a date that does not convert still writes tag and descriptor";
  }
}

TEST(LoadQueueTest, StringsAtFullLengthAndLengthBytesBeyondTheirFields) {
  TXmtRecord file = File();
  file.SetString(TXmtRecord::OffTag, 10, "ABCDEFGHIJ");
  file.SetString(TXmtRecord::OffMessage, 40, std::string(40, 'M'));
  file.SetByte(TXmtRecord::OffDescriptor, 255);  // a damaged length byte
  const TLoadPlan plan = BuildLoadPlan(file, Choose({2, 3}));
  EXPECT_EQ(plan.Copies.TagDescriptorDate->Tag, "ABCDEFGHIJ");
  EXPECT_EQ(plan.Copies.TagDescriptorDate->Descriptor.size(), 20u);
  EXPECT_EQ(plan.Copies.Message, std::string(40, 'M'));
}

TEST(LoadQueueTest, SegmentNumbersOutsideOneToFortySevenRefuseTheTableAlone) {
  for (const std::int32_t n : {0, -1, 48, 1000, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()}) {
    TXmtRecord file = File();
    file.SetInt32(TXmtRecord::OffSegmentCount, n);
    const TLoadPlan plan = BuildLoadPlan(file, Choose({7, 8, 9}));
    EXPECT_EQ(plan.Jobs, (Jobs{305, 312, 202, 203, 500})) << n;
    EXPECT_FALSE(plan.Copies.Curve) << n;
    ASSERT_EQ(plan.Refused.size(), 1u) << n;
    EXPECT_EQ(plan.Refused[0], std::make_pair(8, TLoadRefusal::BadSegmentNumber));
  }
  for (const std::int32_t n : {1, 47}) {
    TXmtRecord file = File();
    file.SetInt32(TXmtRecord::OffSegmentCount, n);
    const TLoadPlan plan = BuildLoadPlan(file, Choose({8}));
    ASSERT_TRUE(plan.Copies.Curve) << n;
    EXPECT_EQ(plan.Copies.Curve->LastIndex, n);
    EXPECT_EQ(plan.Copies.Curve->Points.size(), static_cast<std::size_t>(n) + 1);
    EXPECT_EQ(plan.Copies.Curve->Points.back(), (TLoadPoint{10.0f * n, 100.0f + n}));
  }
}

// Values the device or the page cannot take: the group is refused whole, the others go on.
TEST(LoadQueueTest, DamagedValuesRefuseTheirGroupOnly) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  TLoadRequest narrow = Choose({});
  narrow.Lengths = {7, 4, 32767, 32767, 6, 6, 2};  // the main window's masks
  struct Case {
    const char* what;
    int group;
    std::function<void(TXmtRecord&)> damage;
  };
  auto alarm = [](int off, auto change) {
    return [=](TXmtRecord& r) {
      TAlarmInfo a = r.GetAlarm(off);
      change(a);
      r.SetAlarm(off, a);
    };
  };
  for (const Case& c : std::vector<Case>{
           {"polling address 16", 1, [](TXmtRecord& r) { r.SetByte(TXmtRecord::OffPollingAddress, 16); }},
           {"polling address 255", 1, [](TXmtRecord& r) { r.SetByte(TXmtRecord::OffPollingAddress, 255); }},
           {"unit row past the table", 4, [](TXmtRecord& r) { r.SetInt32(TXmtRecord::OffRangeUnit, 36); }},
           {"negative unit row", 4, [](TXmtRecord& r) { r.SetInt32(TXmtRecord::OffRangeUnit, -1); }},
           {"upper range NaN", 4, [&](TXmtRecord& r) { r.SetSingle(TXmtRecord::OffUpperRangeValue, nan); }},
           {"lower range infinite", 4, [&](TXmtRecord& r) { r.SetSingle(TXmtRecord::OffLowerRangeValue, -inf); }},
           {"range longer than its mask", 4, [](TXmtRecord& r) { r.SetSingle(TXmtRecord::OffUpperRangeValue, 123456.0f); }},
           {"damping NaN", 5, [&](TXmtRecord& r) { r.SetSingle(TXmtRecord::OffDamping, nan); }},
           {"negative damping", 5, [](TXmtRecord& r) { r.SetSingle(TXmtRecord::OffDamping, -1.0f); }},
           {"damping longer than its mask", 5, [](TXmtRecord& r) { r.SetSingle(TXmtRecord::OffDamping, 100.0f); }},
           {"negative serial number", 6, [](TXmtRecord& r) { r.SetInt32(TXmtRecord::OffSensorSerialNumber, -1); }},
           {"serial number past 24 bits", 6, [](TXmtRecord& r) { r.SetInt32(TXmtRecord::OffSensorSerialNumber, 0x1000000); }},
           {"assembly number past 24 bits", 7, [](TXmtRecord& r) { r.SetInt32(TXmtRecord::OffFinalAssemblyNumber, 0x7FFFFFFF); }},
           {"a point NaN", 8, [&](TXmtRecord& r) { r.SetPoint(2, 1.0f, nan); }},
           {"a point infinite", 8, [&](TXmtRecord& r) { r.SetPoint(0, inf, 1.0f); }},
           {"display decimals 8", 12, [](TXmtRecord& r) { r.SetByte(TXmtRecord::OffDecimalPoint, 8); }},
           {"PV unit row past the table", 12, [](TXmtRecord& r) { r.SetByte(TXmtRecord::OffPVUnit, 200); }},
           {"PV value NaN", 12, [&](TXmtRecord& r) { r.SetSingle(TXmtRecord::OffPVLowerValue, nan); }},
           {"alarm decimals 5", 13, alarm(TXmtRecord::OffAlarm1, [](TAlarmInfo& a) { a.Decimals = 5; })},
           {"alarm set point longer than its mask", 13,
            alarm(TXmtRecord::OffAlarm1, [](TAlarmInfo& a) { a.Decimals = 0; a.SetPoint = -32768; })},
           {"alarm delay longer than its mask", 14, alarm(TXmtRecord::OffAlarm2, [](TAlarmInfo& a) { a.Delay = 250; })},
           {"limit NaN", 15, [&](TXmtRecord& r) { r.SetSingle(TXmtRecord::OffAI1UpperLimit, nan); }},
           {"limits whose middle overflows", 15, [](TXmtRecord& r) {
              r.SetSingle(TXmtRecord::OffAI1UpperLimit, 3e38f);
              r.SetSingle(TXmtRecord::OffAI1LowerLimit, 3e38f);
            }},
           {"limits around a nominal of 0", 15, [](TXmtRecord& r) {
              r.SetSingle(TXmtRecord::OffAI1UpperLimit, 5.0f);
              r.SetSingle(TXmtRecord::OffAI1LowerLimit, -5.0f);
            }},
           {"nominal longer than its mask", 15, [](TXmtRecord& r) {
              r.SetSingle(TXmtRecord::OffAI1UpperLimit, 2000.0f);
              r.SetSingle(TXmtRecord::OffAI1LowerLimit, 1990.0f);
            }},
       }) {
    TXmtRecord file = File();
    c.damage(file);
    TLoadRequest request = narrow;
    request.Chosen[3] = true;
    request.Chosen[static_cast<std::size_t>(c.group)] = true;
    const TLoadPlan plan = BuildLoadPlan(file, request);
    EXPECT_EQ(plan.Jobs, (Jobs{307, 202, 203, 500})) << c.what;
    ASSERT_EQ(plan.Refused.size(), 1u) << c.what;
    EXPECT_EQ(plan.Refused[0], std::make_pair(c.group, TLoadRefusal::BadValue)) << c.what;
    EXPECT_TRUE(plan.Copies.Message) << c.what;
    EXPECT_FALSE(plan.Copies.NewPollingAddress || plan.Copies.Range || plan.Copies.Damping || plan.Copies.SensorSerialNumber ||
                 plan.Copies.AssemblyNumber || plan.Copies.Curve || plan.Copies.Display || plan.Copies.PVRange ||
                 plan.Copies.Alarm1 || plan.Copies.Alarm2 || plan.Copies.AI1)
        << c.what;
  }
}

// The limits go into a nominal value and two percentages; what job 323 sends back from those
// texts is the file's limits to the edits' resolution.
TEST(LoadQueueTest, SecondaryLimitsRoundTripThroughTheEdits) {
  struct Case {
    float upper, lower;
    const char *nominal, *up, *down;
  };
  TFormatSettings comma;
  comma.DecimalSeparator = ',';
  for (const Case& c : std::initializer_list<Case>{
           {153.0f, 147.0f, "150,00", "2,0", "-2,0"},
           {0.0f, 0.0f, "0,00", "0,0", "0,0"},
           {110.0f, 90.0f, "100,00", "10,0", "-10,0"},
           {80.0f, 40.0f, "60,00", "33,3", "-33,3"},
           {75.5f, 75.5f, "75,50", "0,0", "0,0"},
       }) {
    TXmtRecord file = File();
    file.SetSingle(TXmtRecord::OffAI1UpperLimit, c.upper);
    file.SetSingle(TXmtRecord::OffAI1LowerLimit, c.lower);
    TLoadRequest request = Choose({15});
    request.Format = comma;
    request.Lengths.AI1Nominal = 6;
    request.Lengths.AI1Percent = 6;
    const TLoadPlan plan = BuildLoadPlan(file, request);
    ASSERT_TRUE(plan.Copies.AI1) << c.upper << " " << c.lower;
    EXPECT_EQ(plan.Copies.AI1->Nominal, c.nominal);
    EXPECT_EQ(plan.Copies.AI1->UpperPercent, c.up);
    EXPECT_EQ(plan.Copies.AI1->LowerPercent, c.down);
    const TAI1Limits sent = AI1Limits(*StrToFloat(c.nominal, comma), *StrToFloat(c.up, comma), *StrToFloat(c.down, comma));
    EXPECT_NEAR(sent.Upper, c.upper, 0.05);
    EXPECT_NEAR(sent.Lower, c.lower, 0.05);
  }
}
