#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPalette>

#include "controls/Group.h"
#include "controls/Led.h"

namespace {

struct CountingLed : Tled {
  int refreshes = 0;
  void Refresh() override {
    ++refreshes;
    Tled::Refresh();
  }
};

QColor PixelOf(QWidget& w, int x, int y) { return w.grab().toImage().pixelColor(x, y); }

}  // namespace

TEST(Led, NewLampIsOffRedAndSixteenSquare) {
  Tled led;
  EXPECT_EQ(led.width(), 16);
  EXPECT_EQ(led.height(), 16);
  EXPECT_FALSE(led.LedStatus());
  EXPECT_EQ(led.Kind(), TLedKind::Red);
}

TEST(Led, OnlyAChangedValueRepaints) {
  CountingLed led;
  led.SetLedStatus(false);
  led.SetKind(TLedKind::Red);
  EXPECT_EQ(led.refreshes, 0);
  led.SetLedStatus(true);
  led.SetLedStatus(true);
  led.SetKind(TLedKind::Green);
  led.SetKind(TLedKind::Green);
  EXPECT_EQ(led.refreshes, 2);
}

TEST(Led, BitmapsHaveTheirCentreColoursOnASilverSurround) {
  struct Case {
    bool lit;
    TLedKind kind;
    TColor centre;
  };
  for (const Case& c : {Case{true, TLedKind::Red, RGB(255, 0, 0)}, Case{false, TLedKind::Red, RGB(128, 0, 0)},
                        Case{true, TLedKind::Green, RGB(0, 255, 0)}, Case{false, TLedKind::Green, RGB(0, 128, 0)}}) {
    const TLedBitmap bmp = LedBitmap(c.lit, c.kind);
    EXPECT_EQ(bmp[15 * 16], clSilver);
    EXPECT_EQ(bmp[0], clSilver);
    EXPECT_EQ(bmp[8 * 16 + 8], c.centre);
    EXPECT_EQ(bmp[0 * 16 + 8], RGB(128, 128, 128)) << "grey ring at the top edge";
  }
}

TEST(Led, PaintsTheLampAndLetsTheBackgroundShowAround) {
  Tled led;
  QPalette pal = led.palette();
  pal.setColor(QPalette::Window, QColor(0, 0, 255));
  led.setPalette(pal);
  led.SetLedStatus(true);
  EXPECT_EQ(PixelOf(led, 8, 8), QColor(255, 0, 0));
  EXPECT_EQ(PixelOf(led, 0, 15), QColor(0, 0, 255)) << "the silver surround is transparent";
  led.SetLedStatus(false);
  EXPECT_EQ(PixelOf(led, 8, 8), QColor(128, 0, 0));
}

TEST(LedRow, ArrangementForEveryOrientation) {
  struct Case {
    TOrientation o;
    int number, spacing, width, height;
    std::vector<TLedPlace> first;  // LED 1, 2, 3...
  };
  const std::vector<Case> cases = {
      {TOrientation::Nord, 3, 2, 16, 52, {{0, 36}, {0, 18}, {0, 0}}},
      {TOrientation::NordOuest, 3, 2, 52, 52, {{36, 36}, {18, 18}, {0, 0}}},
      {TOrientation::Ouest, 3, 2, 52, 16, {{36, 0}, {18, 0}, {0, 0}}},
      {TOrientation::SudOuest, 2, 0, 32, 32, {{16, 0}, {0, 16}}},
      {TOrientation::Sud, 3, 2, 16, 52, {{0, 0}, {0, 18}, {0, 36}}},
      {TOrientation::SudEst, 3, 2, 52, 52, {{0, 0}, {18, 18}, {36, 36}}},
      {TOrientation::Est, 8, 0, 128, 16, {{0, 0}, {16, 0}, {32, 0}, {112, 0}}},
      {TOrientation::NordEst, 3, 2, 52, 52, {{0, 36}, {18, 18}, {36, 0}}},
  };
  for (const Case& c : cases) {
    const TLedArrangement a = ArrangeLeds(c.o, c.number, c.spacing);
    EXPECT_EQ(a.Width, c.width) << static_cast<int>(c.o);
    EXPECT_EQ(a.Height, c.height) << static_cast<int>(c.o);
    for (std::size_t i = 0; i < c.first.size() && i < 3; ++i) EXPECT_EQ(a.Places[i], c.first[i]) << static_cast<int>(c.o) << " LED " << i + 1;
  }
  // LEDs past the count go on outside the group.
  EXPECT_EQ(ArrangeLeds(TOrientation::Sud, 3, 2).Places[7], (TLedPlace{0, 126}));
  EXPECT_EQ(ArrangeLeds(TOrientation::Nord, 3, 2).Places[7], (TLedPlace{0, -90}));
}

TEST(LedRow, NewGroupIsEightGreenLedsLeftToRight) {
  TGroupLed g;
  EXPECT_EQ(g.width(), 128);
  EXPECT_EQ(g.height(), 16);
  EXPECT_EQ(g.Number(), 8);
  EXPECT_EQ(g.Orientation(), TOrientation::Est);
  EXPECT_EQ(g.Value(), 0);
  for (int i = 1; i <= 8; ++i) {
    EXPECT_EQ(g.Led(i).pos(), QPoint((i - 1) * 16, 0));
    EXPECT_EQ(g.Led(i).Kind(), TLedKind::Green);
    EXPECT_FALSE(g.Led(i).LedStatus());
    EXPECT_FALSE(g.Led(i).isHidden());
  }
}

TEST(LedRow, ValueLightsTheLowEightBits) {
  TGroupLed g;
  struct Case {
    int value;
    unsigned lit;  // bit i-1 for LED i
  };
  for (const Case& c : {Case{5, 0x05}, Case{256, 0x00}, Case{511, 0xFF}, Case{-1, 0xFF}, Case{0x80, 0x80}}) {
    g.SetValue(c.value);
    for (int i = 1; i <= 8; ++i) EXPECT_EQ(g.Led(i).LedStatus(), ((c.lit >> (i - 1)) & 1) != 0) << c.value << " LED " << i;
  }
}

TEST(LedRow, OutOfRangeNumberAndSpacingAreIgnored) {
  TGroupLed g;
  for (int n : {0, 9, -1}) g.SetNumber(n);
  for (int s : {-1, 26}) g.SetSpacing(s);
  EXPECT_EQ(g.Number(), 8);
  EXPECT_EQ(g.Spacing(), 0);
  EXPECT_EQ(g.width(), 128);
  g.SetSpacing(25);
  EXPECT_EQ(g.Spacing(), 25);
  EXPECT_EQ(g.width(), 16 * 8 + 7 * 25);
  EXPECT_EQ(g.Led(2).pos(), QPoint(41, 0));
}

TEST(LedRow, ShrinkingHidesAndGrowingShowsFromTheOldCount) {
  TGroupLed g;
  g.SetNumber(3);
  for (int i = 1; i <= 8; ++i) EXPECT_EQ(g.Led(i).isHidden(), i > 3) << i;
  g.SetOrientation(TOrientation::Sud);
  EXPECT_EQ(g.size(), QSize(16, 48));
  g.SetNumber(5);
  for (int i = 1; i <= 8; ++i) EXPECT_EQ(g.Led(i).isHidden(), i > 5) << i;
  EXPECT_EQ(g.size(), QSize(16, 80));
  EXPECT_EQ(g.Led(5).pos(), QPoint(0, 64));
}

TEST(LedRow, KindRecoloursEveryLedHiddenOnesToo) {
  TGroupLed g;
  g.SetNumber(2);
  g.SetValue(0xFF);
  g.SetKind(TLedKind::Red);
  for (int i = 1; i <= 8; ++i) {
    EXPECT_EQ(g.Led(i).Kind(), TLedKind::Red) << i;
    EXPECT_TRUE(g.Led(i).LedStatus()) << "hidden LEDs follow their bits too";
  }
}

TEST(LedRow, RendersItsLitLeds) {
  TGroupLed g;
  g.SetValue(0x02);
  const QImage img = g.grab().toImage();
  EXPECT_EQ(img.pixelColor(8, 8), QColor(0, 128, 0));
  EXPECT_EQ(img.pixelColor(16 + 8, 8), QColor(0, 255, 0));
}
