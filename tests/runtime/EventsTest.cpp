#include <gtest/gtest.h>

#include "runtime/Events.h"

TEST(NotifyEvent, EmptyDoesNothingAndAssignedPassesSender) {
  TNotifyEvent ev;
  EXPECT_FALSE(ev);
  ev(nullptr);  // no effect, no crash

  TObject sender;
  TObject* seen = nullptr;
  int calls = 0;
  ev = [&](TObject* s) {
    seen = s;
    ++calls;
  };
  EXPECT_TRUE(ev.Assigned());
  ev(&sender);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(seen, &sender);

  // A single handler: assigning replaces the previous one.
  int other = 0;
  ev = [&](TObject*) { ++other; };
  ev(&sender);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(other, 1);

  ev = nullptr;
  ev(&sender);
  EXPECT_EQ(other, 1);
}

TEST(NotifyEvent, HandlerMayClearItsOwnEvent) {
  TNotifyEvent ev;
  int calls = 0;
  ev = [&](TObject*) {
    ++calls;
    ev = nullptr;
  };
  ev(nullptr);
  ev(nullptr);
  EXPECT_EQ(calls, 1);
}
