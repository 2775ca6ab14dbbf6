// The job list's operations, the device-type capabilities and the standard sequences.

#include <gtest/gtest.h>

#include <vector>

#include "app/core/JobList.h"
#include "model/Xmt.h"

namespace {

std::vector<std::int32_t> Jobs(const TJobList& j) {
  return {j.List.begin(), j.List.begin() + j.Length()};
}

void Fill(TJobList& j, std::initializer_list<std::int32_t> codes) {
  j.List.fill(0);
  int i = 0;
  for (std::int32_t c : codes) j.List[static_cast<std::size_t>(i++)] = c;
}

std::uint32_t Caps(Byte type, bool maker = true) {
  TXmt x;
  x.DeviceType = type;
  x.Is_Ostrel = maker;
  return JobCapabilities(x);
}

}  // namespace

TEST(JobListTest, StartMakesAOneJobSequenceAndKeepsTheSlotsBehind) {
  TJobList j;
  Fill(j, {1, 2, 3, 4, 5, 6});
  j.JobIndex = 4;
  j.Start(412);
  EXPECT_EQ(Jobs(j), (std::vector<std::int32_t>{412, 500}));
  EXPECT_EQ(j.List[3], 4);
  EXPECT_EQ(j.List[5], 6);
  EXPECT_EQ(j.JobIndex, 0);
  EXPECT_EQ(j.LastJob, 412);
  EXPECT_TRUE(j.Busy);
}

TEST(JobListTest, InsertStepsBackOverTheJobThatRanOrShiftsTheListUp) {
  TJobList j;
  Fill(j, {303, 500, 201, 1});
  j.JobIndex = 3;
  j.Insert(203);
  EXPECT_EQ(Jobs(j), (std::vector<std::int32_t>{303, 500, 203, 1}));
  EXPECT_EQ(j.JobIndex, 2);
  EXPECT_EQ(j.LastJob, 203);
  EXPECT_FALSE(j.Busy);

  TJobList idle;
  idle.Insert(400);
  EXPECT_EQ(Jobs(idle), (std::vector<std::int32_t>{400}));
  EXPECT_EQ(idle.JobIndex, 0);

  // During measure polling the insert runs first and the polling goes on after it.
  TJobList polling;
  Fill(polling, {2});
  polling.Insert(210);
  EXPECT_EQ(Jobs(polling), (std::vector<std::int32_t>{210, 2}));

  // Two inserts between ticks run in the reverse order of the calls.
  TJobList twice;
  Fill(twice, {1});
  twice.Insert(201);
  twice.Insert(303);
  EXPECT_EQ(Jobs(twice), (std::vector<std::int32_t>{303, 201, 1}));
}

TEST(JobListTest, NoOperationWritesPastTheLastSlot) {
  TJobList full;
  for (int i = 0; i < 25; ++i) full.List[static_cast<std::size_t>(i)] = 200 + i;
  full.Insert(400);  // the 0 would leave the list: refused
  EXPECT_EQ(full.List[0], 200);
  EXPECT_EQ(full.List[25], 0);
  EXPECT_EQ(full.Length(), 25);

  TJobList j;
  EXPECT_EQ(j.Append(500, 4), 5);
  EXPECT_EQ(j.List[4], 500);
  EXPECT_EQ(j.List[5], 0);
  EXPECT_EQ(j.Append(7, 24), 25);
  EXPECT_EQ(j.Append(7, 25), 25);  // no room for the 0
  EXPECT_EQ(j.List[25], 0);
  EXPECT_EQ(j.Append(7, -1), -1);
}

TEST(JobListTest, CapabilitiesOfTheWorkedDeviceTypes) {
  struct Case {
    Byte type;
    bool maker;
    std::uint32_t flags;
  };
  for (const Case& c : std::vector<Case>{{22, false, 0x001}, {22, true, 0x013}, {26, true, 0x027}, {154, true, 0x127},
                                          {203, true, 0x1E7}, {218, true, 0x127}, {0x57, true, 0x0D3}, {0x41, true, 0x0D7},
                                          {4, true, 0x00B}}) {
    EXPECT_EQ(Caps(c.type, c.maker), c.flags) << int(c.type) << " maker " << c.maker;
  }
}

TEST(JobListTest, SupportFollowsTheCapabilityGroups) {
  TXmt foreign;
  foreign.DeviceType = 22;
  foreign.Is_Ostrel = false;
  int supported = 0;
  for (std::int32_t code = 0; code < 1000; ++code) supported += IsJobSupported(foreign, code);
  EXPECT_EQ(supported, 13);
  EXPECT_TRUE(IsJobSupported(foreign, 303));
  EXPECT_FALSE(IsJobSupported(foreign, 205));
  EXPECT_FALSE(IsJobSupported(foreign, 213));

  EXPECT_TRUE(IsJobSupported(Caps(22), 213));
  EXPECT_FALSE(IsJobSupported(Caps(22), 208));
  EXPECT_TRUE(IsJobSupported(Caps(26), 208));
  EXPECT_TRUE(IsJobSupported(Caps(26), 219));
  EXPECT_FALSE(IsJobSupported(Caps(26), 213));
  EXPECT_FALSE(IsJobSupported(Caps(203), 3));  // outside the table: never
}

TEST(JobListTest, StandardSequences) {
  TJobList j;
  j.StartFullRead(Caps(22, false));
  EXPECT_EQ(Jobs(j), (std::vector<std::int32_t>{201, 200, 204, 203, 202, 500}));
  EXPECT_EQ(j.LastJob, 201);
  EXPECT_TRUE(j.Busy);

  struct Case {
    Byte type;
    std::vector<std::int32_t> jobs;
  };
  for (const Case& c : std::vector<Case>{
           {22, {201, 200, 204, 203, 202, 205, 206, 213, 500}},
           {26, {201, 200, 204, 203, 202, 205, 206, 208, 209, 219, 500}},
           {154, {201, 200, 204, 203, 202, 205, 206, 208, 209, 219, 223, 500}},
           {0x57, {201, 200, 204, 222, 203, 202, 205, 206, 213, 220, 221, 500}},
           {203, {201, 200, 204, 222, 203, 202, 205, 206, 208, 209, 219, 220, 221, 223, 500}},
       }) {
    j.StartFullRead(Caps(c.type));
    EXPECT_EQ(Jobs(j), c.jobs) << int(c.type);
  }

  j.StartInfoRead(Caps(22));
  EXPECT_EQ(Jobs(j), (std::vector<std::int32_t>{201, 200, 204, 203, 202, 205, 206, 213, 500}));
  j.StartInfoRead(Caps(22, false));  // another maker's device has no status register
  EXPECT_EQ(Jobs(j), (std::vector<std::int32_t>{201, 200, 204, 203, 202, 213, 500}));

  j.Busy = false;
  j.LastJob = 7;
  j.JobIndex = 3;
  j.StartMeasurePolling();
  EXPECT_EQ(Jobs(j), (std::vector<std::int32_t>{1}));
  EXPECT_EQ(j.JobIndex, 0);
  EXPECT_FALSE(j.Busy);
  EXPECT_EQ(j.LastJob, 7);
}
