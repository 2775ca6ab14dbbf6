// The curve editor's operations in any order: loads of any points (as a file or a device
// may give them), mouse gestures, menu items, zoom, measuring and painting, on a view of a
// size fixed per case. Indexes stay within the table, the selection on a point, the zoom
// level within its bounds, and every line the clipper draws lies inside the view.

#include <algorithm>
#include <cmath>

#include "FuzzInput.h"
#include "controls/Draw.h"

namespace {

// A canvas that checks where lines go and keeps nothing.
class TCheckingCanvas : public TCanvas {
public:
  TCheckingCanvas(int width, int height) : width_(width), height_(height) {}
  void Rectangle(int, int, int, int) override {}
  void Ellipse(int, int, int, int) override {}
  void MoveTo(int x, int y) override {
    x_ = x;
    y_ = y;
  }
  void LineTo(int x, int y) override {
    FUZZ_CHECK(Inside(x_, y_) && Inside(x, y));
    x_ = x;
    y_ = y;
  }
  void TextOut(int, int, const std::u16string&) override {}
  int TextWidth(const std::u16string& text) override { return 6 * static_cast<int>(text.size()); }

private:
  bool Inside(int x, int y) const { return x >= 0 && x <= width_ && y >= 0 && y <= height_; }
  int width_, height_;
  int x_ = 0, y_ = 0;
};

TShiftState Shift(fuzz::Input& in) {
  const std::uint8_t b = in.Byte();
  return {(b & 1) != 0, (b & 2) != 0, (b & 4) != 0, (b & 8) != 0};
}

TMouseButton Button(fuzz::Input& in) {
  switch (in.Byte() % 3) {
    case 0: return TMouseButton::Left;
    case 1: return TMouseButton::Right;
    default: return TMouseButton::Middle;
  }
}

// A value near the view most of the time, any single else.
float Coordinate(fuzz::Input& in) { return in.Byte() < 224 ? in.Float() : in.RawFloat(); }
int Pixel(fuzz::Input& in, int size) {
  return in.Byte() < 240 ? static_cast<int>(in.Range(-50, size + 50)) : static_cast<int>(in.U32());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  TCustomDraw d(TLangue::Anglais);
  const int width = static_cast<int>(in.Range(0, 1200));
  const int height = static_cast<int>(in.Range(0, 1200));
  d.SetSize(width, height);
  d.SetClip(in.Bool());
  d.SetNbMaxSegment(static_cast<int>(in.Range(-2, 400)));
  d.UpdateCurve();
  int lowestLoaded = 1;  // the lowest last index a load wrote: deleting stops at 1

  for (int step = 0; step < 48 && !in.Empty(); ++step) {
    switch (in.Byte() % 16) {
      case 0: {  // a loader writes the points and the last index
        const int last = static_cast<int>(in.Range(-1, 362));
        const int filled = std::clamp(last + 1, 0, TCustomDraw::PointCount);
        for (int i = 0; i < filled; ++i) d.Points[static_cast<std::size_t>(i)] = {Coordinate(in), Coordinate(in)};
        d.LastIndex = last;
        lowestLoaded = std::min(lowestLoaded, last);
        d.UpdateCurve();
        break;
      }
      case 1: d.HandleMouseDown(Button(in), Shift(in), Pixel(in, width), Pixel(in, height)); break;
      case 2: d.HandleMouseMove(Shift(in), Pixel(in, width), Pixel(in, height)); break;
      case 3: d.HandleMouseUp(Button(in), Shift(in), Pixel(in, width), Pixel(in, height)); break;
      case 4: d.ZoomIn(); break;
      case 5: d.ZoomOut(); break;
      case 6: d.ZoomCenter(); break;
      case 7: d.ZoomReset(); break;
      case 8: d.InsertPoint(static_cast<int>(in.Range(-2, 362))); break;
      case 9: d.DeletePoint(static_cast<int>(in.Range(-2, 362))); break;
      case 10: d.MenuInsertSegment(); break;
      case 11: d.MenuDeleteSegment(); break;
      case 12: d.SetMeasure(Coordinate(in)); break;
      case 13: (void)d.Evaluate(Coordinate(in)); break;
      case 14:
        if (in.Bool()) d.CancelEdit(); else d.Bezier = !d.Bezier;
        break;
      default: {
        TCheckingCanvas canvas(width, height);
        d.Paint(canvas);
        break;
      }
    }
    const int last = std::min(d.LastIndex, TCustomDraw::PointCount - 1);
    FUZZ_CHECK(d.LastIndex <= TCustomDraw::PointCount - 1);
    // A load may leave the selection or a drag beyond a shorter curve; they stay in the table.
    FUZZ_CHECK(d.Selected >= -1 && d.Selected < TCustomDraw::PointCount);
    FUZZ_CHECK(d.DragIndex >= -1 && d.DragIndex < TCustomDraw::PointCount);
    FUZZ_CHECK(last >= std::min(lowestLoaded, 1));
    FUZZ_CHECK(d.ZoomLevel >= d.ZoomMin - 1 && d.ZoomLevel <= d.ZoomMax + 1);
    FUZZ_CHECK(d.SegIndex >= 0 && d.SegIndex < TCustomDraw::PointCount);
    for (const std::string& line : d.Readout()) FUZZ_CHECK(line.size() < 80);
  }
  TCheckingCanvas canvas(width, height);
  d.Paint(canvas);
  return 0;
}
