#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <climits>
#include <functional>
#include <vector>

#include "controls/QtCanvas.h"

namespace {

// A white image drawn on through the Qt canvas in black, read back pixel by pixel.
QImage Drawn(const std::function<void(TCanvas&)>& draw) {
  QImage img(40, 40, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter painter(&img);
  TQtCanvas canvas(painter);
  canvas.Pen = TPen{};
  canvas.Brush = TBrush{clWhite, TBrushStyle::Solid};
  draw(canvas);
  painter.end();
  return img;
}

bool Black(const QImage& img, int x, int y) { return img.pixelColor(x, y) == QColor(0, 0, 0); }

}  // namespace

TEST(QtCanvas, KeepsTheWindowingConventions) {
  struct Case {
    const char* what;
    std::function<void(TCanvas&)> draw;
    std::vector<QPoint> inked, blank;
  };
  const std::vector<Case> cases = {
      {"a rectangle leaves out its right and bottom edge", [](TCanvas& c) { c.Rectangle(2, 2, 8, 6); },
       {{2, 2}, {7, 2}, {2, 5}, {7, 5}}, {{8, 2}, {2, 6}, {8, 6}, {4, 4}}},
      {"LineTo leaves out its end pixel", [](TCanvas& c) { c.MoveTo(1, 10); c.LineTo(10, 10); },
       {{1, 10}, {9, 10}}, {{0, 10}, {10, 10}}},
      {"the same backwards", [](TCanvas& c) { c.MoveTo(20, 3); c.LineTo(14, 3); }, {{20, 3}, {15, 3}}, {{14, 3}}},
      {"and upwards", [](TCanvas& c) { c.MoveTo(12, 9); c.LineTo(12, 1); }, {{12, 9}, {12, 2}}, {{12, 1}}},
      {"and on a diagonal", [](TCanvas& c) { c.MoveTo(1, 12); c.LineTo(5, 16); }, {{1, 12}, {4, 15}}, {{5, 16}}},
      {"and on a steep rise", [](TCanvas& c) { c.MoveTo(30, 16); c.LineTo(33, 4); }, {{30, 16}, {33, 5}}, {{33, 4}}},
      {"a wide pen has round ends past both points",
       [](TCanvas& c) { c.Pen.Width = 4; c.MoveTo(20, 20); c.LineTo(30, 20); },
       {{20, 20}, {30, 20}, {31, 20}, {19, 20}}, {{18, 18}, {32, 18}, {25, 24}}},
      {"two lines in not-xor meet without a gap",
       [](TCanvas& c) { c.Pen.Mode = TPenMode::NotXor; c.MoveTo(0, 30); c.LineTo(10, 35); c.LineTo(20, 30); },
       {{0, 30}, {10, 35}, {18, 31}}, {{20, 30}}},
      {"a not-xor line turning after a steep rise keeps the corner",
       [](TCanvas& c) { c.Pen.Mode = TPenMode::NotXor; c.MoveTo(25, 38); c.LineTo(27, 28); c.LineTo(37, 28); },
       {{25, 38}, {27, 28}, {36, 28}}, {{37, 28}}},
      {"a dashed line is 18 pixels on and 6 off from its start",
       [](TCanvas& c) { c.Pen.Style = TPenStyle::Dash; c.MoveTo(39, 39); c.LineTo(0, 39); },
       {{39, 39}, {22, 39}, {15, 39}, {1, 39}}, {{21, 39}, {16, 39}, {0, 39}}},
  };
  for (const Case& c : cases) {
    const QImage img = Drawn(c.draw);
    for (const QPoint& p : c.inked) EXPECT_TRUE(Black(img, p.x(), p.y())) << c.what << " at " << p.x() << "," << p.y();
    for (const QPoint& p : c.blank) EXPECT_FALSE(Black(img, p.x(), p.y())) << c.what << " at " << p.x() << "," << p.y();
  }
}

TEST(QtCanvas, TextIsPlacedByItsTopOnTheBrush) {
  const QImage img = Drawn([](TCanvas& c) {
    c.Brush = TBrush{clRed, TBrushStyle::Solid};
    c.TextOut(5, 12, u"Wg");
  });
  EXPECT_EQ(img.pixelColor(5, 12), QColor(255, 0, 0)) << "the text's box starts at its top left";
  EXPECT_EQ(img.pixelColor(5, 11), QColor(255, 255, 255));
  EXPECT_EQ(img.pixelColor(4, 12), QColor(255, 255, 255));
}

TEST(QtCanvas, BoxesAndPensUpToTheIntegerLimitsStayInRange) {
  // A box over the whole integer range: its fill covers the image, its outline lies outside.
  QImage img = Drawn([](TCanvas& c) {
    c.Brush = TBrush{clRed, TBrushStyle::Solid};
    c.Rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    c.Rectangle(INT_MAX, INT_MAX, INT_MIN, INT_MIN);  // corners given the other way round
    c.Ellipse(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  });
  EXPECT_EQ(img.pixelColor(20, 20), QColor(255, 0, 0));
  EXPECT_EQ(img.pixelColor(0, 0), QColor(255, 0, 0));
  // A pen wider than any box: nothing is left inside to fill.
  img = Drawn([](TCanvas& c) {
    c.Pen.Width = INT_MAX;
    c.Brush = TBrush{clRed, TBrushStyle::Solid};
    c.Rectangle(-2, -2, 3, 3);
  });
  EXPECT_NE(img.pixelColor(39, 39), QColor(255, 0, 0));
}
