#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "CanvasRecorder.h"
#include "controls/Draw.h"

// The curve editor at sizes up to the integer limits, run under the sanitizers: its pixel
// arithmetic must never overflow, whatever size it is given.

namespace {

// An editor of any size, as a subclass may report it.
class SizedDraw : public TCustomDraw {
public:
  SizedDraw(int width, int height) : TCustomDraw(TLangue::Anglais), width_(width), height_(height) {
    SetClip(true);
    SetNbMaxSegment(40);
    Beep = [] {};
  }
  int Width() const override { return width_; }
  int Height() const override { return height_; }

private:
  int width_, height_;
};

// The share of the view's width by which dragging the crosshair far out to the left moves
// the view, along a level curve so that the view moves only sideways.
double PanShare(int width, int height) {
  SizedDraw d(width, height);
  d.Points[0] = {-10000, 50};
  d.Points[1] = {10000, 50};
  d.LastIndex = 1;
  d.UpdateCurve();
  const double xmin = d.Xmin(), range = d.XRange;
  d.HandleMouseDown(TMouseButton::Left, {}, d.CursorPx.X, 10);
  d.HandleMouseMove({}, INT_MIN, 10);
  d.HandleMouseUp(TMouseButton::Left, {}, INT_MIN, 10);
  return (xmin - d.Xmin()) / range;
}

}  // namespace

TEST(DrawSizes, PanningIsTheSameShareOfTheViewUpToTheIntegerLimit) {
  const double share = PanShare(409, 409);
  EXPECT_NEAR(share, 0.25, 0.01) << "a quarter of the view";
  for (int size : {INT_MAX, INT_MAX - 1, INT_MAX - 3})
    EXPECT_NEAR(PanShare(size, size), share, 0.01) << size;
}

TEST(DrawSizes, EveryGestureAndPictureStaysWithinRangeAtExtremeSizes) {
  const std::vector<int> sizes = {INT_MAX, INT_MAX - 3, INT_MIN, INT_MIN + 1, -1, 0, 1};
  for (int w : sizes)
    for (int h : sizes) {
      SCOPED_TRACE(testing::Message() << w << " x " << h);
      SizedDraw d(w, h);
      d.Points[1] = {50, 80};
      d.Points[2] = {100, 100};
      d.LastIndex = 2;
      d.UpdateCurve();
      const std::vector<TPixel> spots = {{0, 0}, {INT_MAX, INT_MAX}, {INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, d.Pixels[1], d.CursorPx};
      for (const TPixel& p : spots) {
        d.HandleMouseDown(TMouseButton::Left, {}, p.X, p.Y);  // picks a point or grabs the crosshair
        for (const TPixel& q : spots) d.HandleMouseMove({}, q.X, q.Y);
        d.HandleMouseUp(TMouseButton::Left, {}, p.X, p.Y);
        d.Selected = 1;
        d.HandleMouseDown(TMouseButton::Left, {false, false, true, false}, p.X, p.Y);  // Ctrl: insert
        d.HandleMouseDown(TMouseButton::Left, {false, false, false, true}, p.X, p.Y);  // double click
        d.HandleMouseDown(TMouseButton::Right, {}, p.X, p.Y);
        d.HandleMouseUp(TMouseButton::Left, {}, p.X, p.Y);
      }
      d.Selected = 1;
      d.InsertPoint(1);
      d.DeletePoint(1);
      for (int i = 0; i < 6; ++i) d.ZoomIn();
      for (int i = 0; i < 12; ++i) d.ZoomOut();
      d.ZoomCenter();
      d.SetMeasure(1e30f);
      int px = INT_MAX, py = INT_MIN;
      d.ClampPoint(px, py);
      TCanvasRecorder r;
      d.Paint(r);
      d.ZoomReset();
      d.Paint(r);
      if (w >= 0 && h >= 0)
        for (const TCanvasOp& op : r.OfKind(TCanvasOp::Line)) {
          EXPECT_GE(std::min(op.x1, op.x2), 0);
          EXPECT_LE(std::max(op.x1, op.x2), w);
          EXPECT_GE(std::min(op.y1, op.y2), 0);
          EXPECT_LE(std::max(op.y1, op.y2), h);
        }
    }
}

TEST(DrawSizes, SizesAndZoomLevelsSaturate) {
  TCustomDraw d(TLangue::Anglais);
  d.SetSize(INT_MIN, INT_MIN);
  EXPECT_EQ(d.Width(), 0);
  EXPECT_EQ(d.Height(), 0);
  d.SetSize(INT_MAX, INT_MAX);
  d.UpdateCurve();
  d.ZoomMax = INT_MAX;
  d.ZoomLevel = INT_MAX;
  d.ZoomIn();
  EXPECT_EQ(d.ZoomLevel, INT_MAX);
  d.ZoomMin = INT_MIN;
  d.ZoomLevel = INT_MIN;
  d.ZoomOut();
  EXPECT_EQ(d.ZoomLevel, INT_MIN);
}
