// The models offline mode simulates: device types, which one takes a PV, and the PV bar's
// ranges.

#include <gtest/gtest.h>

#include <string>

#include "app/core/OfflineSelectModels.h"

TEST(OfflineModelsTest, ListsTheFourModelsInOrder) {
  struct Row {
    const char* name;
    int deviceType;
    bool takesPV, setsRange;
    int min, max, frequency;
  };
  const Row expected[] = {{"RV210P", 22, true, true, -200, 850, 50},
                          {"RV210N", 26, false, true, 0, 100, 10},
                          {"WB7", 154, false, true, 0, 100, 10},
                          {"WBL7", 203, false, false, 0, 0, 0}};
  ASSERT_EQ(OfflineModels().size(), 4u);
  for (int i = 0; i < 4; ++i) {
    const TOfflineModel* m = OfflineModelAt(i);
    ASSERT_NE(m, nullptr);
    const Row& r = expected[i];
    EXPECT_EQ(std::string(m->Name), r.name);
    EXPECT_EQ(m->DeviceType, r.deviceType) << r.name;
    EXPECT_EQ(m->TakesPV, r.takesPV) << r.name;
    EXPECT_EQ(m->SetsPVRange, r.setsRange) << r.name;
    if (r.setsRange) {
      EXPECT_EQ(m->PVMin, r.min) << r.name;
      EXPECT_EQ(m->PVMax, r.max) << r.name;
      EXPECT_EQ(m->PVTickFrequency, r.frequency) << r.name;
    }
  }
}

TEST(OfflineModelsTest, NoRowOutsideTheList) {
  EXPECT_EQ(OfflineModelAt(-1), nullptr);
  EXPECT_EQ(OfflineModelAt(4), nullptr);
}
