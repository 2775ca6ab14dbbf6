#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QToolButton>
#include <vector>

#include "CanvasRecorder.h"
#include "controls/UnitsControl.h"
#include "model/Units.h"
#include "support/VirtualScheduler.h"

namespace {

struct UnitsFixture : ::testing::Test {
  VirtualScheduler vs;
  TCustomUnits u{vs};
  int changes = 0;
  UnitsFixture() { u.OnChange = [this](TObject*) { ++changes; }; }
};

void MoveMouseOver(QWidget& w) {
  QMouseEvent ev(QEvent::MouseMove, QPointF(5, 5), w.mapToGlobal(QPointF(5, 5)), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &ev);
}

}  // namespace

TEST_F(UnitsFixture, DefaultListStepsThroughRowsZeroToThirtyFour) {
  EXPECT_EQ(u.UniteNb(), 0);
  EXPECT_EQ(u.Position(), 0);
  const std::vector<int> expected = {1, 2, 3, 4};  // bars, millibars, degrees Celsius, degrees Fahrenheit
  for (int row : expected) {
    u.NextUnit();
    EXPECT_EQ(u.UniteNb(), row);
  }
  EXPECT_EQ(u.CodeUnite(), 33);
  for (int i = 0; i < 40; ++i) u.NextUnit();
  EXPECT_EQ(u.UniteNb(), 34) << "row 35 is not in the default list";
  EXPECT_STREQ(UnitRow(u.UniteNb()).NameAnglais, "pascal");
  EXPECT_EQ(u.Position(), 34);
}

TEST_F(UnitsFixture, AStepThatChangesTheRowFiresTwiceASameRowStepOnce) {
  u.NextUnit();
  EXPECT_EQ(changes, 2);
  const std::int32_t list[] = {32, 32 + 256, -1};  // the same row by its low byte
  u.SetUnitList(list);
  u.SetUniteNb(3);
  changes = 0;
  u.NextUnit();
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(u.Position(), 1);
  u.NextUnit();  // the end mark follows
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(u.Position(), 1);
}

TEST_F(UnitsFixture, StepsWithinARestrictedList) {
  const std::int32_t list[] = {0, 32, 33, 34, 35, 37, -1};
  u.SetUnitList(list);
  u.SetUniteNb(3);
  EXPECT_EQ(u.Position(), 1);
  u.PrevUnit();
  EXPECT_EQ(u.UniteNb(), 0);
  u.PrevUnit();
  EXPECT_EQ(u.Position(), 0);
  u.SetUniteNb(3);
  u.NextUnit();
  EXPECT_EQ(u.UniteNb(), 4);
  EXPECT_STREQ(UnitRow(u.UniteNb()).NameAnglais, "degrees Fahrenheit");
}

TEST_F(UnitsFixture, ShownRowIsKeptWithinTheTable) {
  struct Case {
    int written, shown;
    bool fires;
  };
  for (const Case& c : {Case{40, 35, true}, Case{40, 35, true}, Case{35, 35, false}, Case{3, 3, true}, Case{-3, 0, true},
                        Case{-3, 0, true}, Case{0, 0, false}}) {
    changes = 0;
    u.SetUniteNb(c.written);
    EXPECT_EQ(u.UniteNb(), c.shown) << c.written;
    EXPECT_EQ(changes, c.fires ? 1 : 0) << c.written;
  }
  u.SetUniteNb(40);
  EXPECT_STREQ(UnitRow(u.UniteNb()).NameAnglais, "Kilopascal");
}

TEST_F(UnitsFixture, CodeUniteShowsTheRowOfItsLowByte) {
  u.SetCodeUnite(32);
  EXPECT_EQ(u.UniteNb(), 3);
  EXPECT_EQ(u.Position(), 3);
  EXPECT_EQ(changes, 1);
  u.SetCodeUnite(32);
  EXPECT_EQ(changes, 1) << "the same code again does nothing";
  u.SetCodeUnite(250);
  EXPECT_EQ(u.UniteNb(), 0) << "a code that is not in the table shows none";
  u.SetCodeUnite(33 + 512);
  EXPECT_EQ(u.UniteNb(), 4);
  EXPECT_EQ(u.Position(), 3) << "the list holds no such code";
  EXPECT_EQ(u.CodeUnite(), 33);
}

TEST_F(UnitsFixture, AListWithoutEndMarkIsCutAtTwoHundredFiftyFive) {
  std::vector<std::int32_t> list(300, 32);
  u.SetUnitList(list);
  EXPECT_EQ(u.List()[254], 32);
  EXPECT_EQ(u.List()[255], -1);
  for (int i = 0; i < 300; ++i) u.NextUnit();
  EXPECT_EQ(u.Position(), 254);
}

TEST_F(UnitsFixture, AnEmptyListNeverReachesEntriesOfAnEarlierOne) {
  const std::int32_t empty[] = {-1};
  u.SetUnitList(empty);
  u.NextUnit();
  EXPECT_EQ(u.Position(), 0);
  EXPECT_EQ(u.UniteNb(), 0);
  const std::int32_t unterminated[] = {32, 33};  // a short list without its end mark
  u.SetUnitList(unterminated);
  u.NextUnit();
  u.NextUnit();
  EXPECT_EQ(u.UniteNb(), 4);
  EXPECT_EQ(u.Position(), 1);
}

TEST_F(UnitsFixture, SetAllUnitsRestoresTheDefaultList) {
  const std::int32_t list[] = {57, -1};
  u.SetUnitList(list);
  u.SetAllUnits();
  EXPECT_EQ(u.List()[34], 11);
  EXPECT_EQ(u.List()[35], -1);
  EXPECT_EQ(u.UniteNb(), 0);
}

TEST_F(UnitsFixture, ArrowsHideOnTheTwentySecondTickAfterTheLastMovement) {
  u.SetEnabled(true);
  struct Case {
    std::int64_t showAt, visibleUntil;  // hidden from visibleUntil + 1 on
  };
  for (const Case& c : {Case{0, 2199}, Case{1000, 3199}, Case{2250, 4399}}) {
    VirtualScheduler s;
    TCustomUnits w(s);
    w.SetEnabled(true);
    s.Advance(c.showAt);
    w.ShowArrows();
    s.Advance(c.visibleUntil - c.showAt);
    EXPECT_TRUE(w.ArrowsVisible()) << c.showAt;
    s.Advance(1);
    EXPECT_FALSE(w.ArrowsVisible()) << c.showAt;
  }
}

TEST_F(UnitsFixture, AMovementOrAnArrowClickRestartsTheWait) {
  u.SetEnabled(true);
  u.ShowArrows();
  vs.Advance(2000);
  u.NextUnit();
  vs.Advance(2000);
  EXPECT_TRUE(u.ArrowsVisible());
  u.ShowArrows();
  vs.Advance(2150);
  EXPECT_TRUE(u.ArrowsVisible());
  vs.Advance(100);
  EXPECT_FALSE(u.ArrowsVisible());
}

TEST_F(UnitsFixture, ADisabledSelectorNeverShowsItsArrows) {
  u.ShowArrows();
  EXPECT_FALSE(u.ArrowsVisible()) << "disabled from creation";
  u.SetEnabled(true);
  u.ShowArrows();
  EXPECT_TRUE(u.ArrowsVisible());
  u.SetEnabled(false);
  EXPECT_FALSE(u.ArrowsVisible()) << "hidden at once";
}

TEST(UnitTrace, SymbolAboveNameInTheEditionsLanguage) {
  struct Case {
    int row;
    TLangue langue;
    std::u16string symbol, name;
  };
  for (const Case& c : {Case{3, TLangue::Francais, u"\u00B0C", u"degr\u00E9s Celsius"}, Case{8, TLangue::Anglais, u"\u03A9", u"Ohms"},
                        Case{30, TLangue::Anglais, u"K\u03A9", u"KOhms"}, Case{0, TLangue::Anglais, u"", u"none"}}) {
    TCanvasRecorder r;
    PaintUnitTrace(r, c.row, true, 70, 40, c.langue);
    const auto texts = r.OfKind(TCanvasOp::Text);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, c.symbol) << c.row;
    EXPECT_EQ(texts[0].x1, (70 - 6 * static_cast<int>(c.symbol.size())) / 2);
    EXPECT_EQ(texts[0].y1, 1);
    EXPECT_EQ(texts[0].font.Size, 18);
    EXPECT_EQ(texts[1].text, c.name) << c.row;
    EXPECT_EQ(texts[1].y1, 28);
    EXPECT_EQ(texts[1].font.Size, 6);
  }
}

TEST(UnitTrace, FrameIsWhiteWhenEnabledSilverWhenDisabled) {
  for (bool enabled : {true, false}) {
    TCanvasRecorder r;
    PaintUnitTrace(r, 3, enabled, 70, 40, TLangue::Anglais);
    const auto rects = r.OfKind(TCanvasOp::Rectangle);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].x2, 70);
    EXPECT_EQ(rects[0].y2, 40);
    EXPECT_EQ(rects[0].brush.Color, enabled ? clWhite : clSilver);
  }
}

TEST(UnitsWidget, KeepsItsSizeAndShowsArrowsOnMouseMovement) {
  VirtualScheduler vs;
  TUnits w(vs, TLangue::Anglais);
  w.resize(300, 100);
  EXPECT_EQ(w.size(), QSize(110, 40));
  EXPECT_EQ(w.Trace().geometry(), QRect(20, 0, 70, 40));
  EXPECT_EQ(w.RightArrow().geometry(), QRect(90, 0, 20, 40));
  MoveMouseOver(w);
  EXPECT_TRUE(w.LeftArrow().isHidden()) << "disabled";
  w.SetEnabled(true);
  MoveMouseOver(w.Trace());
  EXPECT_FALSE(w.LeftArrow().isHidden());
  EXPECT_FALSE(w.RightArrow().isHidden());
  w.RightArrow().click();
  EXPECT_EQ(w.UniteNb(), 1);
  EXPECT_EQ(w.Trace().Row(), 1);
  w.LeftArrow().click();
  EXPECT_EQ(w.Trace().Row(), 0);
  vs.Advance(2200);
  EXPECT_TRUE(w.RightArrow().isHidden());
}

TEST(UnitsWidget, DisabledUnitIsPaintedOnSilver) {
  VirtualScheduler vs;
  TUnits w(vs, TLangue::Anglais);
  EXPECT_EQ(w.Trace().grab().toImage().pixelColor(3, 3), QColor(192, 192, 192));
  EXPECT_EQ(w.Trace().grab().toImage().pixelColor(0, 0), QColor(0, 0, 0)) << "the frame";
  w.SetEnabled(true);
  EXPECT_EQ(w.Trace().grab().toImage().pixelColor(3, 3), QColor(255, 255, 255));
}
