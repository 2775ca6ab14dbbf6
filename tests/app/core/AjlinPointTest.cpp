// The point trim's stepping: which point a press trims and where the check goes.

#include <gtest/gtest.h>

#include <vector>

#include "app/core/AjlinPoint.h"

TEST(TrimPointStepTest, StepsThroughThePointsAndStaysOnTheLast) {
  struct Case {
    int checked, point, next;
  };
  const Case cases[] = {{0, 0, 1}, {1, 1, 2}, {2, 2, 3}, {3, 3, 4}, {4, 4, 4}, {-1, 0, -1}, {5, 0, -1}};
  for (const Case& c : cases) {
    const TTrimStep step = TrimPointStep(c.checked);
    EXPECT_EQ(step.Point, c.point) << "checked " << c.checked;
    EXPECT_EQ(step.NextChecked, c.next) << "checked " << c.checked;
  }
}

TEST(TrimPointStepTest, SixPressesFromTheFirstPointTrimTheFiveThenTheLastAgain) {
  int checked = 0;
  std::vector<int> points;
  for (int i = 0; i < 6; ++i) {
    const TTrimStep step = TrimPointStep(checked);
    points.push_back(step.Point);
    checked = step.NextChecked;
  }
  EXPECT_EQ(points, (std::vector<int>{0, 1, 2, 3, 4, 4}));
  EXPECT_EQ(checked, 4);
}
