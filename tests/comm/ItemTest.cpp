#include <gtest/gtest.h>

#include "comm/Item.h"

TEST(ItemList, CountsWhatIsAddedAndGivesEmptyOutsideTheList) {
  TItemList list;
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(list.Add("first"), 1);
  EXPECT_EQ(list.Add(""), 2);
  EXPECT_EQ(list.Add("third"), 3);
  const std::vector<std::pair<int, std::string>> items = {{-1, ""}, {0, "first"}, {1, ""}, {2, "third"}, {3, ""}};
  for (const auto& [index, text] : items) EXPECT_EQ(list.GetItem(index), text) << index;
  list.Clear();
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(list.GetItem(0), "");
  EXPECT_EQ(list.Add("again"), 1);
}
