#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <cfloat>
#include <climits>
#include <cmath>
#include <vector>

#include "CanvasRecorder.h"
#include "controls/Draw.h"

namespace {

struct DrawFixture : ::testing::Test {
  TCustomDraw d{TLangue::Anglais};
  int changes = 0, selects = 0, zooms = 0, beeps = 0;

  DrawFixture() {
    d.SetSize(409, 409);
    d.SetClip(true);
    d.SetNbMaxSegment(40);
    d.OnChange = [this](TObject*) { ++changes; };
    d.OnSelect = [this](TObject*) { ++selects; };
    d.OnZoom = [this](TObject*) { ++zooms; };
    d.Beep = [this] { ++beeps; };
    d.UpdateCurve();
    changes = 0;
  }

  void Load(const std::vector<TRealPoint>& pts) {
    for (std::size_t i = 0; i < pts.size(); ++i) d.Points[i] = pts[i];
    d.LastIndex = static_cast<int>(pts.size()) - 1;
    d.UpdateCurve();
    changes = 0;
  }

  void Press(int x, int y, TShiftState s = {}) { d.HandleMouseDown(TMouseButton::Left, s, x, y); }
  void Move(int x, int y) { d.HandleMouseMove({}, x, y); }
  void Release(int x, int y) { d.HandleMouseUp(TMouseButton::Left, {}, x, y); }
};

TShiftState Ctrl() { return {false, false, true, false}; }
TShiftState Alt() { return {false, true, false, false}; }
TShiftState Double() { return {false, false, false, true}; }

}  // namespace

TEST_F(DrawFixture, FreshCurveIsTwoPointsWithExtrapolatedEnds) {
  EXPECT_EQ(d.LastIndex, 1);
  EXPECT_EQ(d.Points[0], (TRealPoint{0, 0}));
  EXPECT_EQ(d.Points[1], (TRealPoint{100, 100}));
  EXPECT_EQ(d.Selected, -1);
  for (float x : {50.0f, -10.0f, 150.0f}) EXPECT_FLOAT_EQ(d.Evaluate(x), x);
}

TEST_F(DrawFixture, MappingOfTheDefaultView) {
  EXPECT_FLOAT_EQ(d.XRange, 135.0f);
  EXPECT_EQ(d.Pixels[0], (TPixel{76, 333}));
  EXPECT_EQ(d.Pixels[1], (TPixel{379, 30}));
  EXPECT_EQ(d.ToRealX(76), static_cast<float>(76.0L * 135 / 409 - 25));
  EXPECT_EQ(d.CursorPx, (TPixel{76, 333}));
}

TEST_F(DrawFixture, PixelRoundingTakesHalvesToEven) {
  d.SetSize(135, 135);  // one pixel a unit: x + 25 and 110 - y
  d.UpdateCurve();
  struct Case {
    float v;
    int px, py;
  };
  for (const Case& c : {Case{-0.5f, 24, 110}, Case{0.5f, 26, 110}, Case{1.5f, 26, 108}, Case{2.5f, 28, 108}}) {
    EXPECT_EQ(d.ToPixelX(c.v), c.px) << c.v;
    EXPECT_EQ(d.ToPixelY(c.v), c.py) << c.v;
  }
}

TEST_F(DrawFixture, HugeAndNonFiniteValuesSaturate) {
  EXPECT_EQ(d.RealToScreen(1e30f, -1e30f), (TPixel{5000, 5000}));
  EXPECT_EQ(d.RealToScreen(NAN, INFINITY), (TPixel{0, -5000}));
  EXPECT_EQ(d.ToPixelX(1e38L), INT_MAX);
  EXPECT_EQ(d.ToPixelX(-1e38L), INT_MIN);
  EXPECT_EQ(d.ToPixelX(2147483000.0L * 135 / 409), RoundPixel(2147483000.0L * 135 / 409 * 409 / 135 + 25 * 409.0L / 135));
  Load({{0, 0}, {1e38f, -1e38f}});
  EXPECT_EQ(d.Pixels[1], (TPixel{INT_MAX, INT_MAX}));
  d.InsertPoint(1);  // the pixel midpoint does not overflow either
  EXPECT_EQ(d.LastIndex, 2);
  EXPECT_EQ(d.Pixels[1].X, static_cast<int>((76LL + INT_MAX) / 2));
  TCanvasRecorder r;
  d.Paint(r);
  for (const TCanvasOp& op : r.OfKind(TCanvasOp::Line)) {
    EXPECT_GE(std::min(op.x1, op.x2), 0);
    EXPECT_LE(std::max(op.x1, op.x2), 409);
  }
}

TEST_F(DrawFixture, EvaluateOfAVerticalSegmentSaturates) {
  Load({{0, 0}, {100, 0}, {100, 1e30f}});
  EXPECT_EQ(d.Evaluate(100), FLT_MAX);
  EXPECT_EQ(d.SegIndex, 1);
  Load({{0, 0}, {100, 0}, {100, -1e30f}});
  EXPECT_EQ(d.Evaluate(100), -FLT_MAX);
  Load({{0, 5}, {100, 5}, {100, 5}});
  EXPECT_EQ(d.Evaluate(100), 5.0f) << "a zero rise gives the start Y";
  Load({{0, 0}, {10, 20}, {30, 20}, {40, 0}});
  EXPECT_FLOAT_EQ(d.Evaluate(5), 10);
  EXPECT_EQ(d.SegIndex, 0);
  EXPECT_FLOAT_EQ(d.Evaluate(35), 10);
  EXPECT_EQ(d.SegIndex, 2);
  EXPECT_FLOAT_EQ(d.Evaluate(50), -20);
}

TEST_F(DrawFixture, EvaluateHoldsTheSegmentFractionAsASingle) {
  // 1/3 and 1/6 kept as singles: the results are the singles just above the exact 7/3 and
  // 35/9, where the unrounded fraction gives the singles just below them.
  struct Case {
    bool bezier;
    std::vector<TRealPoint> pts;
    float x, y;
  };
  for (const Case& c : {Case{false, {{0, 0}, {3, 7}}, 1, 2.33333349228f}, Case{true, {{0, 0}, {3, 7}, {6, 0}}, 1, 3.88888907433f}}) {
    Load(c.pts);
    d.Bezier = c.bezier;
    EXPECT_EQ(d.Evaluate(c.x), c.y) << c.bezier;
  }
}

TEST_F(DrawFixture, InsertPointPutsThePixelMidpointAndStopsAtTheLimit) {
  d.InsertPoint(1);
  EXPECT_EQ(d.LastIndex, 2);
  EXPECT_EQ(d.Selected, 1);
  EXPECT_EQ(d.Pixels[1], (TPixel{227, 181}));
  EXPECT_FLOAT_EQ(d.Points[1].X, 227.0f * 135 / 409 - 25);
  EXPECT_FLOAT_EQ(d.Points[1].Y, (1 - 181.0f / 409) * 135 - 25);
  EXPECT_EQ(d.Points[2], (TRealPoint{100, 100}));
  EXPECT_EQ(changes, 1);
  d.InsertPoint(2);  // on the last point: between the last two
  EXPECT_EQ(d.Pixels[2], (TPixel{303, 105}));
  EXPECT_EQ(d.Points[3], (TRealPoint{100, 100}));
  for (int i = 0; i < 100; ++i) d.InsertPoint(1);
  EXPECT_EQ(d.LastIndex, 39) << "40 points";
}

TEST_F(DrawFixture, InsertPointRefusesAnIndexOutside1ToLastIndex) {
  for (int index : {0, -1, 2, 361, INT_MIN}) {
    d.InsertPoint(index);
    EXPECT_EQ(d.LastIndex, 1) << index;
  }
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(beeps, 0);
}

TEST_F(DrawFixture, NbMaxSegmentLimits) {
  d.SetNbMaxSegment(400);
  EXPECT_EQ(d.NbMaxSegment(), 359);
  d.SetNbMaxSegment(0);
  EXPECT_EQ(d.NbMaxSegment(), 0);
  d.InsertPoint(1);
  EXPECT_EQ(d.LastIndex, 1);
  d.SetNbMaxSegment(INT_MIN);
  d.InsertPoint(1);
  EXPECT_EQ(d.LastIndex, 1);
}

TEST_F(DrawFixture, MenuInsertGoesOnTo360PointsInsideTheSelectedSegment) {
  d.Selected = 1;
  d.LastClick = d.Pixels[0];
  for (int i = 0; i < 400; ++i) d.MenuInsertSegment();
  EXPECT_EQ(d.LastIndex, 359);
  EXPECT_EQ(beeps, 0);
  EXPECT_EQ(d.Points[359], (TRealPoint{100, 100}));
}

TEST_F(DrawFixture, MenuInsertOutsideTheSelectedSegmentBeeps) {
  d.Selected = 1;
  d.LastClick = {10, 200};
  d.MenuInsertSegment();
  EXPECT_EQ(beeps, 1);
  EXPECT_EQ(d.LastIndex, 1);
  d.LastClick = {200, 400};  // inside the segment's columns; the row is not checked
  d.MenuInsertSegment();
  EXPECT_EQ(d.LastIndex, 2);
  EXPECT_EQ(d.Pixels[1], (TPixel{200, 400}));
  EXPECT_EQ(d.Points[2], (TRealPoint{100, 100}));
  EXPECT_EQ(changes, 1);
}

TEST_F(DrawFixture, DeletePointKeepsTwoPointsAndMovesTheSelection) {
  d.DeletePoint(1);
  EXPECT_EQ(d.LastIndex, 1);
  EXPECT_EQ(d.Selected, 1);
  d.DeletePoint(5);
  EXPECT_EQ(d.Selected, 1) << "the smaller of the index and LastIndex";
  Load({{0, 0}, {50, 40}, {100, 100}});
  d.DeletePoint(2);  // the last point
  EXPECT_EQ(d.LastIndex, 1);
  EXPECT_EQ(d.Selected, 1);
  EXPECT_EQ(d.Points[1], (TRealPoint{50, 40}));
  Load({{0, 0}, {50, 40}, {100, 100}});
  d.DeletePoint(0);
  EXPECT_EQ(d.Points[0], (TRealPoint{50, 40}));
  d.DeletePoint(-1);
  EXPECT_EQ(d.Selected, -1);
  Load({{0, 0}, {50, 40}, {100, 100}});
  d.DeletePoint(-7);  // an index below the table removes nothing
  EXPECT_EQ(d.LastIndex, 2);
  EXPECT_EQ(d.Selected, -1);
}

TEST_F(DrawFixture, RemovingFromAFullTableShiftsOnlyEntriesThatExist) {
  for (int i = 0; i < 361; ++i) d.Points[static_cast<std::size_t>(i)] = {static_cast<float>(i), static_cast<float>(i)};
  d.LastIndex = 500;  // a caller's LastIndex above the table
  d.UpdateCurve();
  EXPECT_EQ(d.LastIndex, 360);
  d.DeletePoint(100);
  EXPECT_EQ(d.LastIndex, 359);
  EXPECT_EQ(d.Points[100], (TRealPoint{101, 101}));
  EXPECT_EQ(d.Points[359], (TRealPoint{360, 360}));
  EXPECT_EQ(d.Points[360], (TRealPoint{360, 360}));
  EXPECT_EQ(d.Selected, 100);
}

TEST_F(DrawFixture, ATableBelowTwoPointsIsShownButNotEdited) {
  for (int last : {0, -1, INT_MIN}) {
    d.LastIndex = last;
    d.UpdateCurve();
    d.SetMeasure(50);
    d.Selected = 0;
    int px = 10, py = 10;
    EXPECT_EQ(d.ClampPoint(px, py), last == 0) << last;
    d.InsertPoint(0);
    d.InsertPoint(1);
    d.Selected = 1;
    d.MenuInsertSegment();
    d.DeletePoint(0);
    Press(76, 333);
    Move(100, 100);
    Release(100, 100);
    EXPECT_EQ(d.LastIndex, last);
    TCanvasRecorder r;
    d.Paint(r);
    d.CancelEdit();
  }
}

TEST_F(DrawFixture, ClampPointKeepsThePointBetweenItsNeighbours) {
  Load({{0, 0}, {50, 40}, {100, 100}});
  struct Case {
    int selected, px, py, x, y;
    bool unchanged;
  };
  const int mid = d.Pixels[1].X;
  for (const Case& c : {Case{0, -3, 5, 0, 5, false}, Case{0, mid, 5, mid, 5, true}, Case{0, mid + 1, 5, mid, 5, false},
                        Case{2, mid, 5, mid, 5, true}, Case{2, mid - 1, 5, mid, 5, false}, Case{2, 409, 409, 409, 409, true},
                        Case{2, 420, 500, 409, 409, false}, Case{1, 200, -4, 200, 0, false}, Case{-1, -3, -3, -3, -3, false}}) {
    d.Selected = c.selected;
    int x = c.px, y = c.py;
    EXPECT_EQ(d.ClampPoint(x, y), c.unchanged) << c.selected << " " << c.px;
    EXPECT_EQ(x, c.x);
    EXPECT_EQ(y, c.y);
  }
}

TEST_F(DrawFixture, CancelEditRestoresTheSnapshotButNotTheSelection) {
  d.Selected = 1;
  d.LastClick = {200, 200};
  d.MenuInsertSegment();
  EXPECT_EQ(d.LastIndex, 2);
  d.CancelEdit();
  EXPECT_EQ(d.LastIndex, 1);
  EXPECT_EQ(d.Points[1], (TRealPoint{100, 100}));
  EXPECT_EQ(d.Selected, 1);
  EXPECT_EQ(d.Pixels[1], (TPixel{379, 30}));
}

TEST_F(DrawFixture, MeasureCrosshairStaysOnTheCurve) {
  d.SetMeasure(150);
  EXPECT_EQ(d.CrossX, 100);
  EXPECT_EQ(d.CursorPx, (TPixel{379, 30}));
  d.SetMeasure(-50);
  EXPECT_EQ(d.CrossX, 0);
  EXPECT_EQ(d.CursorPx, (TPixel{76, 333}));
  d.SetCursorPx(1000);
  EXPECT_EQ(d.CrossX, 100);
  EXPECT_EQ(d.CursorPx.X, 379);
  d.SetCursorPx(227);
  EXPECT_FLOAT_EQ(d.CrossY, d.CrossX);
  EXPECT_EQ(changes, 0) << "no event";
}

TEST_F(DrawFixture, ZoomInAndOutAroundTheCrosshair) {
  const float cx = d.ToRealX(d.CursorPx.X), cy = d.ToRealY(d.CursorPx.Y);
  d.ZoomIn();
  EXPECT_NEAR(d.Xmax() - d.Xmin(), 33.75, 1e-4);
  EXPECT_NEAR(d.Ymax() - d.Ymin(), 33.75, 1e-4);
  EXPECT_NEAR((d.Xmax() + d.Xmin()) / 2, cx, 1e-4);
  EXPECT_NEAR((d.Ymax() + d.Ymin()) / 2, cy, 1e-4);
  EXPECT_NEAR(d.XRange, 33.75, 1e-4) << "the view is recomputed";
  d.ZoomIn();
  EXPECT_NEAR(d.XRange, 8.4375, 1e-4);
  EXPECT_EQ(d.ZoomLevel, 2);
  EXPECT_EQ(zooms, 2);
  d.ZoomReset();
  EXPECT_EQ(d.Xmin(), -25);
  EXPECT_EQ(d.Ymax(), 110);
  EXPECT_EQ(d.ZoomLevel, 0);
  d.ZoomOut();
  EXPECT_NEAR(d.XRange, 540, 1e-3);
  d.ZoomCenter();
  EXPECT_NEAR(d.XRange, 540, 1e-3);
  EXPECT_EQ(zooms, 4) << "centring is no zoom";
}

TEST_F(DrawFixture, ZoomLevelsOfTheMenuAndOfDirectCalls) {
  std::vector<bool> inEnabled;
  for (int i = 0; i < 3; ++i) {
    d.ZoomIn();
    inEnabled.push_back(d.ZoomItem(2).Enabled);
  }
  EXPECT_EQ(inEnabled, (std::vector<bool>{true, true, false})) << "the zoom that reaches 3 disables In";
  EXPECT_EQ(d.ZoomLevel, 3);
  d.ZoomIn();  // a direct call goes one beyond the menu
  EXPECT_EQ(d.ZoomLevel, 4);
  const float range = d.XRange;
  d.ZoomIn();
  EXPECT_EQ(d.ZoomLevel, 4);
  EXPECT_EQ(d.XRange, range);
  EXPECT_EQ(beeps, 1);
  d.ZoomReset();
  d.ZoomOut();
  EXPECT_FALSE(d.ZoomItem(3).Enabled) << "the zoom that reaches -1 disables Out";
  EXPECT_TRUE(d.ZoomItem(2).Enabled);
  d.ZoomOut();
  EXPECT_EQ(d.ZoomLevel, -2);
  d.ZoomOut();
  EXPECT_EQ(d.ZoomLevel, -2);
  EXPECT_EQ(beeps, 2);
}

TEST(DrawClipper, CutsLinesAtTheWindow) {
  struct Case {
    int x0, y0, x1, y1;
    bool drawn;
    int cx0, cy0, cx1, cy1;
  };
  const Case cases[] = {
      {-20, 10, -5, 50, false, 0, 0, 0, 0},
      {-50, 50, 150, 50, true, 0, 50, 100, 50},
      {20, 20, 80, 60, true, 20, 20, 80, 60},
      {-50, 0, 50, 100, true, 0, 50, 50, 100},
      {-10, -10, 110, 110, true, 0, 0, 100, 100},
      {50, -50, 50, 150, true, 50, 0, 50, 100},
      {-1, 0, 1, 1, true, 0, 0, 1, 1},  // 0.5 rounds to 0
      {-3, 0, 1, 2, true, 0, 2, 1, 2},  // 1.5 rounds to 2
      {-15, 0, 5, 4, true, 0, 3, 5, 4},  // 3.0
      {150, 20, 50, 60, true, 100, 40, 50, 60},
      {120, -30, 130, 200, false, 0, 0, 0, 0},
      {0, 0, 100, 100, true, 0, 0, 100, 100},
  };
  for (const Case& c : cases) {
    TCanvasRecorder r;
    TClipper clip(r, 0, 0, 100, 100);
    clip.ClipMoveTo(c.x0, c.y0);
    clip.ClipLineTo(c.x1, c.y1);
    const auto lines = r.OfKind(TCanvasOp::Line);
    ASSERT_EQ(lines.size(), c.drawn ? 1u : 0u) << c.x0 << "," << c.y0;
    if (!c.drawn) continue;
    // The clipped line may come out in either direction.
    const bool same = lines[0].x1 == c.cx0 && lines[0].y1 == c.cy0 && lines[0].x2 == c.cx1 && lines[0].y2 == c.cy1;
    const bool swapped = lines[0].x1 == c.cx1 && lines[0].y1 == c.cy1 && lines[0].x2 == c.cx0 && lines[0].y2 == c.cy0;
    EXPECT_TRUE(same || swapped) << c.x0 << "," << c.y0 << " got " << lines[0].x1 << "," << lines[0].y1 << " " << lines[0].x2 << "," << lines[0].y2;
  }
}

TEST(DrawClipper, TheSlopeIsWorkedOutInExtendedPrecisionThenHeldAsADouble) {
  // 115 / 4102 taken straight to a double lies below the double of its extended quotient;
  // 2051 times the one is just under 57.5, times the other just over.
  TCanvasRecorder r;
  TClipper clip(r, 0, 0, 3000, 3000);
  clip.ClipMoveTo(-2051, 0);
  clip.ClipLineTo(2051, 115);
  const auto lines = r.OfKind(TCanvasOp::Line);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].x1, 0);
  EXPECT_EQ(lines[0].y1, 58);
  EXPECT_EQ(lines[0].x2, 2051);
  EXPECT_EQ(lines[0].y2, 115);
}

TEST(DrawClipper, ThePenMovesToTheUnclippedTarget) {
  TCanvasRecorder r;
  TClipper clip(r, 0, 0, 100, 100);
  clip.ClipMoveTo(-20, 10);
  clip.ClipLineTo(-5, 50);
  clip.ClipLineTo(50, 50);
  clip.ClipLineTo(INT_MAX, INT_MIN);
  const auto lines = r.OfKind(TCanvasOp::Line);
  ASSERT_GE(lines.size(), 1u);
  EXPECT_EQ(lines[0].x1, 0);
  EXPECT_EQ(lines[0].y1, 50);
  EXPECT_EQ(lines[0].x2, 50);
  EXPECT_EQ(clip.OutCode(-1, 101), 1 + 8);
  EXPECT_EQ(clip.OutCode(101, -1), 4 + 2);
}

TEST_F(DrawFixture, MousePressOrderCtrlInsertThenPick) {
  d.Selected = 1;
  Press(200, 200, Ctrl());
  EXPECT_EQ(d.LastIndex, 2);
  EXPECT_EQ(d.Pixels[1], (TPixel{200, 200}));
  EXPECT_EQ(d.Selected, 1) << "the new point is picked at once";
  EXPECT_EQ(d.DragIndex, 1);
  EXPECT_EQ(selects, 1);
  Move(190, 150);
  Release(190, 150);
  EXPECT_FLOAT_EQ(d.Points[1].X, d.ToRealX(190));
  EXPECT_FLOAT_EQ(d.Points[1].Y, d.ToRealY(150));
}

TEST_F(DrawFixture, PickingNeedsStrictlyLessThanFivePixels) {
  struct Case {
    int x, y, picked;
  };
  for (const Case& c : {Case{81, 333, -1}, Case{80, 337, 0}, Case{71, 333, -1}, Case{72, 329, 0}, Case{379, 34, 1}, Case{379, 35, -1}}) {
    Press(c.x, c.y);
    EXPECT_EQ(d.Selected, c.picked) << c.x << "," << c.y;
    EXPECT_EQ(d.DragIndex, c.picked);
    Release(c.x, c.y);
  }
  Load({{0, 0}, {1, 0}, {100, 100}});  // two points within reach: the lower index wins
  Press(78, 333);
  EXPECT_EQ(d.Selected, 0);
}

TEST_F(DrawFixture, WithoutClipNothingIsPickedAndTheSelectionStays) {
  d.SetClip(false);
  d.Selected = 1;
  Press(379, 30);
  EXPECT_EQ(d.DragIndex, -1);
  EXPECT_EQ(d.Selected, 1);
  EXPECT_EQ(selects, 0);
  TCanvasRecorder r;
  d.Paint(r);
  const auto rects = r.OfKind(TCanvasOp::Rectangle);
  ASSERT_EQ(rects.size(), 2u) << "the frame and the selected square only";
  EXPECT_EQ(rects[1].x1, 374);
  EXPECT_EQ(rects[1].y2, 35);
  EXPECT_EQ(rects[1].pen.Width, 3);
}

TEST_F(DrawFixture, DoubleClickMovesAndGrabsTheCrosshair) {
  Press(300, 250, Double());
  EXPECT_EQ(d.CursorPx.X, 300);
  EXPECT_EQ(d.CrosshairGrab, 1);
  Move(250, 10);
  EXPECT_EQ(d.CursorPx.X, 250);
  EXPECT_FLOAT_EQ(d.CrossY, d.CrossX);
  Release(250, 10);
  EXPECT_EQ(d.CrosshairGrab, -1);
  Move(200, 10);
  EXPECT_EQ(d.CursorPx.X, 250);
  Press(251, 100);
  EXPECT_EQ(d.CrosshairGrab, 1) << "within a pixel of the crosshair column";
  Release(251, 100);
  Press(252, 100);
  EXPECT_EQ(d.CrosshairGrab, -1);
}

TEST_F(DrawFixture, AltClickDeletesThePointJustPicked) {
  Load({{0, 0}, {50, 40}, {100, 100}});
  Press(379, 30, Alt());
  EXPECT_EQ(d.LastIndex, 1);
  EXPECT_EQ(d.Points[1], (TRealPoint{50, 40}));
  EXPECT_EQ(d.Selected, 1);
  EXPECT_EQ(d.DragIndex, -1);
  EXPECT_EQ(changes, 2) << "the menu's delete fires twice";
}

TEST_F(DrawFixture, DragStopsAtTheNeighbourAndTheTopAndTakesASnapshot) {
  Load({{0, 0}, {50, 40}, {100, 100}});
  const TPixel p = d.Pixels[1];
  Press(p.X, p.Y);
  Move(10, p.Y);
  EXPECT_EQ(d.Pixels[1], (TPixel{76, p.Y}));
  Move(p.X, -20);
  EXPECT_EQ(d.Pixels[1], (TPixel{p.X, 0}));
  EXPECT_EQ(changes, 0) << "nothing fires during the drag";
  EXPECT_EQ(d.Readout()[0], "S=1  ");
  Release(p.X, -20);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(d.DragIndex, -1);
  EXPECT_EQ(d.MovedIndex, -1);
  EXPECT_FLOAT_EQ(d.Points[1].Y, 110);
  d.CancelEdit();
  EXPECT_FLOAT_EQ(d.Points[1].Y, 110) << "the drag's end is the new snapshot";
}

TEST_F(DrawFixture, CrosshairDraggedOutPansAtMostAQuarter) {
  for (bool zoomedOut : {false, true}) {
    Load({{-10000, -10000}, {10000, 10000}});
    d.ZoomReset();
    if (zoomedOut) d.ZoomOut();
    const float xmin = d.Xmin(), range = d.XRange;
    Press(d.CursorPx.X, 100);
    ASSERT_EQ(d.CrosshairGrab, 1);
    Move(-50, 100);
    EXPECT_LT(d.Xmin(), xmin) << "the view moves the way the crosshair went";
    EXPECT_LE(xmin - d.Xmin(), range / 4 + 1e-3) << zoomedOut;
    Release(-50, 100);
  }
}

TEST_F(DrawFixture, PaintBeforeTheFirstUpdateShowsOnlyTheFrame) {
  TCustomDraw fresh(TLangue::Anglais);
  fresh.SetSize(409, 409);
  TCanvasRecorder r;
  fresh.Paint(r);
  ASSERT_EQ(r.Ops.size(), 2u);
  EXPECT_EQ(r.Ops[0].kind, TCanvasOp::Rectangle);
  EXPECT_EQ(r.Ops[0].x2, 409);
  EXPECT_EQ(r.Ops[1].text, U16("DRAW"));
  EXPECT_EQ(r.Ops[1].x1, 5);
  EXPECT_EQ(r.Ops[1].y1, 5);
}

TEST_F(DrawFixture, PaintDrawsAxesTicksCurveAndCrosshair) {
  d.SetClip(false);
  TCanvasRecorder r;
  d.Paint(r);
  EXPECT_EQ(d.AxisPx, 76);
  EXPECT_EQ(d.AxisPy, 333);
  struct L {
    int x1, y1, x2, y2;
    TColor color;
    TPenMode mode;
    TPenStyle style;
  };
  const std::vector<L> expected = {
      {71, 30, 81, 30, clRed, TPenMode::Copy, TPenStyle::Solid},       // tick at Y = 100
      {379, 328, 379, 338, clRed, TPenMode::Copy, TPenStyle::Solid},   // tick at X = 100
      {0, 333, 409, 333, clRed, TPenMode::Copy, TPenStyle::Solid},     // X axis
      {76, 0, 76, 409, clRed, TPenMode::Copy, TPenStyle::Solid},       // Y axis
      {76, 333, 76, 333, clBlack, TPenMode::NotXor, TPenStyle::Solid}, // to the first point
      {76, 333, 379, 30, clBlack, TPenMode::NotXor, TPenStyle::Solid},
      {76, 0, 76, 409, clBlue, TPenMode::NotXor, TPenStyle::Dash},     // crosshair
      {0, 333, 409, 333, clBlue, TPenMode::NotXor, TPenStyle::Dash},
  };
  const auto lines = r.OfKind(TCanvasOp::Line);
  ASSERT_EQ(lines.size(), expected.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].x1, expected[i].x1) << i;
    EXPECT_EQ(lines[i].y1, expected[i].y1) << i;
    EXPECT_EQ(lines[i].x2, expected[i].x2) << i;
    EXPECT_EQ(lines[i].y2, expected[i].y2) << i;
    EXPECT_EQ(lines[i].pen.Color, expected[i].color) << i;
    EXPECT_EQ(lines[i].pen.Mode, expected[i].mode) << i;
    EXPECT_EQ(lines[i].pen.Style, expected[i].style) << i;
  }
}

TEST_F(DrawFixture, ReadoutsShowThePointOrTheCrosshair) {
  d.FormatSettings.DecimalSeparator = ',';
  d.Selected = 1;
  d.UpdateCurve();
  EXPECT_EQ(d.Readout(), (std::array<std::string, 3>{"S=1  ", "X=100,0  ", "Y=100,0  "}));
  d.SetMeasure(33.75f);
  EXPECT_EQ(d.Readout(), (std::array<std::string, 3>{"S=0  ", "X=33,8  ", "Y=33,8  "}));
  TCanvasRecorder r;
  d.Paint(r);
  const auto texts = r.OfKind(TCanvasOp::Text);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[2].text, U16("Y=33,8  "));
  EXPECT_EQ(texts[2].x1, 5);
  EXPECT_EQ(texts[2].y1, 45);
  d.Selected = -1;
  d.UpdateCurve();
  EXPECT_EQ(d.Readout(), (std::array<std::string, 3>{}));
  Load({{-10, -2000}, {10, 2000}});
  d.FormatSettings.DecimalSeparator = '.';
  d.SetMeasure(-9.99f);
  EXPECT_EQ(d.Readout()[1], "X=-10.0  ");
  EXPECT_EQ(d.Readout()[2], "Y=-1998.0  ");
  d.FormatSettings.DecimalSeparator = '\xB7';  // a separator beyond ASCII reaches the screen as itself
  d.SetMeasure(5);
  TCanvasRecorder shown;
  d.Paint(shown);
  const auto lines = shown.OfKind(TCanvasOp::Text);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1].text, u"X=5\u00B70  ");
}

TEST_F(DrawFixture, RightClickEnablesTheEditItemsByTheSelection) {
  struct Opening : TCustomDraw {
    using TCustomDraw::TCustomDraw;
    int opened = 0;
    void PopupMenuAt(int, int) override { ++opened; }
  } m(TLangue::Francais);
  m.HandleMouseDown(TMouseButton::Right, {}, 10, 10);
  EXPECT_EQ(m.opened, 1);
  EXPECT_FALSE(m.DeleteItem().Enabled);
  EXPECT_FALSE(m.InsertItem().Enabled);
  EXPECT_EQ(m.InsertItem().Caption, "Ins\xE9rer un segment");
  m.Selected = 0;
  m.HandleMouseDown(TMouseButton::Right, {}, 10, 10);
  EXPECT_TRUE(m.DeleteItem().Enabled);
  EXPECT_EQ(m.LastClick, (TPixel{10, 10}));
  EXPECT_EQ(m.Menu().Items(0).Name, "Z1");
  EXPECT_EQ(m.Menu().Items(0).Count(), 4);
}

namespace {

void SendMouse(QWidget& w, QEvent::Type type, Qt::MouseButton button, QPoint p, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease || type == QEvent::MouseMove ? Qt::MouseButtons(Qt::NoButton) : Qt::MouseButtons(button);
  QMouseEvent ev(type, QPointF(p), w.mapToGlobal(QPointF(p)), type == QEvent::MouseMove ? Qt::NoButton : button, held, mods);
  QApplication::sendEvent(&w, &ev);
}

struct DrawWidgetFixture : ::testing::Test {
  TDraw w{TLangue::Anglais};
  int opened = 0;
  DrawWidgetFixture() {
    w.resize(409, 409);
    w.SetClip(true);
    w.SetNbMaxSegment(40);
    w.MenuPresenter = [this](TPopupMenu&, int, int) { ++opened; };
    w.Beep = [] {};
    w.UpdateCurve();
  }
};

}  // namespace

TEST_F(DrawWidgetFixture, RendersAxesCurveAndCrosshair) {
  w.SetMeasure(50);
  ASSERT_EQ(w.CursorPx.X, 227);
  const QImage img = w.grab().toImage();
  EXPECT_EQ(img.pixelColor(300, 333), QColor(255, 0, 0)) << "X axis";
  EXPECT_EQ(img.pixelColor(76, 200), QColor(255, 0, 0)) << "Y axis";
  EXPECT_EQ(img.pixelColor(300, 109), QColor(0, 0, 0)) << "the curve, not-xor on white";
  EXPECT_EQ(img.pixelColor(227, 100), QColor(0, 0, 255)) << "the crosshair, dashed";
  EXPECT_EQ(img.pixelColor(350, 380), QColor(255, 255, 255)) << "background";
  EXPECT_EQ(img.pixelColor(0, 0), QColor(0, 0, 0)) << "frame";
  EXPECT_EQ(img.pixelColor(408, 408), QColor(0, 0, 0)) << "frame, its right and bottom edge excluded";
}

TEST_F(DrawWidgetFixture, EveryInnerPointOfTheCurveIsDrawnOnce) {
  // A steep rise, then a flat run and a fall back to the left: not-xor leaves a white hole
  // wherever two segments both draw their shared point.
  w.Points[1] = {10, 100};
  w.Points[2] = {100, 100};
  w.Points[3] = {60, 50};
  w.Points[4] = {80, 0};
  w.LastIndex = 4;
  w.UpdateCurve();
  w.SetMeasure(-25);  // the crosshair out of the way
  const QImage img = w.grab().toImage();
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(img.pixelColor(w.Pixels[i].X, w.Pixels[i].Y), QColor(0, 0, 0)) << "point " << i;
}

TEST_F(DrawWidgetFixture, NotXorCrosshairOverAnAxisShowsTheInverse) {
  w.SetMeasure(50);
  ASSERT_EQ(w.CursorPx.Y, 182);
  // Blue drawn not-xor on the red Y axis.
  EXPECT_EQ(w.grab().toImage().pixelColor(76, 182), QColor(0, 255, 0));
}

TEST_F(DrawWidgetFixture, MouseEventsReachTheEditor) {
  SendMouse(w, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(379, 30));
  EXPECT_EQ(w.Selected, 1);
  SendMouse(w, QEvent::MouseMove, Qt::NoButton, QPoint(300, 60));
  SendMouse(w, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(300, 60));
  EXPECT_EQ(w.Pixels[1], (TPixel{300, 60}));
  EXPECT_EQ(w.DragIndex, -1);
  SendMouse(w, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(200, 200), Qt::ControlModifier);
  EXPECT_EQ(w.LastIndex, 2) << "Ctrl inserts in the selected segment";
  SendMouse(w, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(200, 200));
  SendMouse(w, QEvent::MouseButtonDblClick, Qt::LeftButton, QPoint(150, 200));
  EXPECT_EQ(w.CursorPx.X, 150);
  SendMouse(w, QEvent::MouseButtonPress, Qt::RightButton, QPoint(150, 200));
  EXPECT_EQ(opened, 1);
  w.ZoomItem(2).Click();
  EXPECT_EQ(w.ZoomLevel, 1);
}
