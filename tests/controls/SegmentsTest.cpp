#include <gtest/gtest.h>

#include <QImage>
#include <climits>
#include <map>
#include <utility>
#include <vector>

#include "CanvasRecorder.h"
#include "controls/SEGMENTS.h"

namespace {

struct SegLine {
  int x1, y1, x2, y2;
};
// a..g relative to the cell origin.
const SegLine Lines[7] = {{12, 0, 36, 0}, {32, 18, 36, 2}, {28, 38, 32, 22}, {4, 40, 28, 40},
                          {2, 38, 6, 22}, {6, 18, 10, 2}, {8, 20, 32, 20}};

char CharOf(int bits) {
  const std::map<int, char> chars = {{0x3F, '0'}, {0x06, '1'}, {0x5B, '2'}, {0x4F, '3'}, {0x66, '4'},
                                     {0x6D, '5'}, {0x7D, '6'}, {0x07, '7'}, {0x7F, '8'}, {0x6F, '9'},
                                     {0x5E, 'd'}, {0x79, 'E'}, {0x73, 'P'}, {0x40, '-'}};
  const auto it = chars.find(bits);
  return it == chars.end() ? '?' : it->second;
}

struct Picture {
  std::vector<std::pair<int, char>> cells;  // cell origin x and what it shows, left to right
  std::vector<int> points;                  // cell origins of decimal points
  bool signBar = false;
  int otherLines = 0;
};

// Reads the recorded lines back as glyphs in the cells of origin X - 40 k, y = 5.
Picture Read(const TCanvasRecorder& r, int X) {
  std::map<int, int> bits;
  Picture p;
  for (const TCanvasOp& op : r.OfKind(TCanvasOp::Line)) {
    if (op.x1 == 8 && op.y1 == 25 && op.x2 == 16 && op.y2 == 25) {
      p.signBar = true;
      continue;
    }
    bool found = false;
    for (int s = 0; s < 7 && !found; ++s) {
      const int ox = op.x1 - Lines[s].x1, oy = op.y1 - Lines[s].y1;
      if (oy == 5 && ((ox - X) % 40 + 40) % 40 == 0 && op.x2 == ox + Lines[s].x2 && op.y2 == oy + Lines[s].y2) {
        bits[ox] |= 1 << s;
        found = true;
      }
    }
    if (!found) ++p.otherLines;
  }
  for (auto [x, b] : bits) p.cells.emplace_back(x, CharOf(b));
  for (const TCanvasOp& op : r.OfKind(TCanvasOp::Ellipse)) {
    EXPECT_EQ(op.x2 - op.x1, 4);
    EXPECT_EQ(op.y1, 43);
    p.points.push_back(op.x1 - 2);
  }
  return p;
}

Picture PaintOf(const TCustomSeg& s, TCanvasRecorder& r) {
  s.Paint(r);
  return Read(r, s.NbDigit() * 40 - 32 + (s.HalfDigit() ? 20 : 0));
}

using Cells = std::vector<std::pair<int, char>>;

}  // namespace

TEST(Segments, NewDisplayShowsZeroInItsRightCellInRed) {
  TCustomSeg s;
  EXPECT_EQ(s.Width(), 174);
  EXPECT_EQ(s.Height(), 52);
  EXPECT_EQ(s.Style(), TStyle::LED);
  TCanvasRecorder r;
  const Picture p = PaintOf(s, r);
  EXPECT_EQ(p.cells, (Cells{{128, '0'}}));
  const auto rects = r.OfKind(TCanvasOp::Rectangle);
  ASSERT_EQ(rects.size(), 1u);
  EXPECT_EQ(rects[0].x2, 174);
  EXPECT_EQ(rects[0].brush.Color, RGB(128, 0, 0));
  for (const TCanvasOp& l : r.OfKind(TCanvasOp::Line)) {
    EXPECT_EQ(l.pen.Color, RGB(255, 0, 0));
    EXPECT_EQ(l.pen.Width, 4);
  }
}

TEST(Segments, DigitsAndHalfDigitSetTheSize) {
  TCustomSeg s;
  s.SetNbDigit(0);
  s.SetNbDigit(9);
  EXPECT_EQ(s.NbDigit(), 4);
  s.SetNbDigit(8);
  s.SetHalfDigit(true);
  EXPECT_EQ(s.Width(), 354);
  TSEG w;
  w.SetHalfDigit(true);
  EXPECT_EQ(w.size(), QSize(194, 52));
  w.resize(300, 10);
  EXPECT_EQ(w.size(), QSize(194, 52));
}

TEST(Segments, RangeOfEveryDigitCount) {
  struct Row {
    int n;
    std::int64_t low, high, lowHalf, highHalf;
  };
  const Row rows[] = {{1, 0, 9, -19, 19},
                      {2, -9, 99, -199, 199},
                      {3, -99, 999, -1999, 1999},
                      {4, -999, 9999, -19999, 19999},
                      {5, -9999, 99999, -199999, 199999},
                      {6, -99999, 999999, -1999999, 1999999},
                      {7, -999999, 9999999, -19999999, 19999999},
                      {8, -9999999, 99999999, -199999999, 199999999}};
  for (const Row& row : rows)
    for (bool half : {false, true}) {
      TCustomSeg s;
      s.SetNbDigit(row.n);
      s.SetHalfDigit(half);
      const std::int64_t lo = half ? row.lowHalf : row.low, hi = half ? row.highHalf : row.high;
      for (auto [v, in] : {std::pair{lo, true}, std::pair{hi, true}, std::pair{lo - 1, false}, std::pair{hi + 1, false}}) {
        s.SetNb(static_cast<std::int32_t>(v));
        EXPECT_EQ(s.InRange(), in) << row.n << (half ? " half " : " ") << v;
      }
    }
  TCustomSeg s;
  for (std::int32_t v : {INT_MIN, INT_MAX}) {
    s.SetNb(v);
    EXPECT_FALSE(s.InRange());
  }
}

TEST(Segments, WhatEachNumberShows) {
  struct Case {
    int n;
    bool half;
    std::int32_t nb;
    std::int32_t point;
    Cells cells;
    std::vector<int> points;
    bool signBar;
  };
  const Case cases[] = {
      {4, false, 9999, 0, {{8, '9'}, {48, '9'}, {88, '9'}, {128, '9'}}, {}, false},
      {4, false, 10000, 0, {{48, 'd'}, {88, 'E'}, {128, 'P'}}, {}, false},
      {4, false, -1000, 0, {{48, 'd'}, {88, 'E'}, {128, 'P'}}, {}, false},
      {4, false, -999, 0, {{8, '-'}, {48, '9'}, {88, '9'}, {128, '9'}}, {}, false},
      {4, false, 5, 2, {{48, '0'}, {88, '0'}, {128, '5'}}, {80}, false},
      {4, true, -5, 0, {{108, '-'}, {148, '5'}}, {}, true},
      {4, true, -19999, 0, {{-52, '-'}, {-12, '1'}, {28, '9'}, {68, '9'}, {108, '9'}, {148, '9'}}, {}, true},
      {4, true, 20000, 0, {{68, 'd'}, {108, 'E'}, {148, 'P'}}, {}, false},
      {4, true, 5, 4, {{-12, '0'}, {28, '0'}, {68, '0'}, {108, '0'}, {148, '5'}}, {20}, false},
      {3, true, 1999, 0, {{-12, '1'}, {28, '9'}, {68, '9'}, {108, '9'}}, {}, false},
      {3, true, 2000, 0, {{28, 'd'}, {68, 'E'}, {108, 'P'}}, {}, false},
      {2, false, 100, 0, {}, {}, false},
      {4, false, 123, -3, {{48, '1'}, {88, '2'}, {128, '3'}}, {}, false},
  };
  for (const Case& c : cases) {
    TCustomSeg s;
    s.SetNbDigit(c.n);
    s.SetHalfDigit(c.half);
    s.SetNb(c.nb);
    s.SetPointDecimal(c.point);
    TCanvasRecorder r;
    const Picture p = PaintOf(s, r);
    EXPECT_EQ(p.cells, c.cells) << c.n << " " << c.nb << " " << c.point;
    EXPECT_EQ(p.points, c.points) << c.nb;
    EXPECT_EQ(p.signBar, c.signBar) << c.nb;
    EXPECT_EQ(p.otherLines, 0);
  }
}

TEST(Segments, AnyPointPositionStaysWithinTheDigitText) {
  for (std::int32_t point : {9, 10, 12, 1000, INT_MAX}) {
    TCustomSeg s;
    s.SetHalfDigit(true);
    s.SetNb(-5);
    s.SetPointDecimal(point);
    TCanvasRecorder r;
    const Picture p = PaintOf(s, r);
    ASSERT_FALSE(p.cells.empty());
    EXPECT_EQ(p.cells.back(), (std::pair<int, char>{148, '5'})) << point;
    for (std::size_t i = 0; i + 1 < p.cells.size(); ++i) {
      if (p.cells[i].second != '-') {
        EXPECT_EQ(p.cells[i].second, '0') << point;
      }
    }
    EXPECT_LE(p.cells.size(), 11u);
    EXPECT_TRUE(p.signBar);
  }
  TCustomSeg s;
  s.SetNb(5);
  s.SetPointDecimal(9);  // the largest the digit text holds: every cell drawn, as far left as it goes
  TCanvasRecorder r;
  const Picture p = PaintOf(s, r);
  EXPECT_EQ(p.cells.size(), 10u);
  EXPECT_EQ(p.cells.front().first, 128 - 9 * 40);
  EXPECT_EQ(p.points, (std::vector<int>{-200}));
}

TEST(Segments, RenderedColoursOfBothStyles) {
  struct Case {
    TStyle style;
    QColor segment, background;
  };
  for (const Case& c : {Case{TStyle::LED, QColor(255, 0, 0), QColor(128, 0, 0)}, Case{TStyle::LCD, QColor(128, 128, 128), QColor(223, 223, 223)}}) {
    TSEG w;
    w.SetStyle(c.style);
    w.SetNb(8);
    const QImage img = w.grab().toImage();
    EXPECT_EQ(img.pixelColor(150, 5), c.segment) << "segment a of the right cell";
    EXPECT_EQ(img.pixelColor(150, 25), c.segment) << "segment g";
    EXPECT_EQ(img.pixelColor(3, 3), c.background);
    EXPECT_EQ(img.pixelColor(150, 15), c.background) << "inside the upper loop of the 8";
  }
}
