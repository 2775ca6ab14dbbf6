// The curve editor's data: mapping, editing, snapshot and evaluation.
#include "controls/Draw.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>

int RoundPixel(long double v) {
  if (std::isnan(v)) return 0;
  const long double r = std::nearbyintl(v);  // the default rounding: halves to even
  if (r >= static_cast<long double>(INT_MAX)) return INT_MAX;
  if (r <= static_cast<long double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(r);
}

namespace {

// The largest single for a result beyond the single range.
float SaturateSingle(long double v) {
  if (v > static_cast<long double>(FLT_MAX)) return FLT_MAX;
  if (v < -static_cast<long double>(FLT_MAX)) return -FLT_MAX;
  return static_cast<float>(v);
}

// The fraction of a segment of zero width: 1.0E38 as a single.
constexpr float HugeFraction = 1.0E38f;

}  // namespace

TCustomDraw::TCustomDraw(TLangue langue) : Curve(this), langue_(langue) {
  Points[0] = {0.0f, 0.0f};
  Points[1] = {100.0f, 100.0f};
  SnapshotPoints = Points;
  auto& zoom = menu_.Add("Z1", "Zoom");
  zoom.Add("", "1:1", [this](TObject*) { ZoomReset(); });
  zoom.Add("", Texte(langue, "Center", "Centrer"), [this](TObject*) { ZoomCenter(); });
  zoom.Add("", Texte(langue, "In", "Avant"), [this](TObject*) { ZoomIn(); });
  zoom.Add("", Texte(langue, "Out", "Arri\xE8re"), [this](TObject*) { ZoomOut(); });
  menu_.Add("", Texte(langue, "Delete segment", "Supprimer le segment"), [this](TObject*) { MenuDeleteSegment(); });
  menu_.Add("", Texte(langue, "Insert segment", "Ins\xE9rer un segment"), [this](TObject*) { MenuInsertSegment(); });
}

void TCustomDraw::SetShape(TBackgroundShape shape) {
  if (shape == shape_) return;
  shape_ = shape;
  Repaint();
}

void TCustomDraw::SetBound(float& field, float v) {
  if (v == field) return;
  field = v;
  Repaint();
}

void TCustomDraw::SetXmax(float v) { SetBound(xmax_, v); }
void TCustomDraw::SetXmin(float v) { SetBound(xmin_, v); }
void TCustomDraw::SetYmax(float v) { SetBound(ymax_, v); }
void TCustomDraw::SetYmin(float v) { SetBound(ymin_, v); }

void TCustomDraw::SetClip(bool clip) {
  if (clip == clip_) return;
  clip_ = clip;
  Repaint();
}

void TCustomDraw::SetNbMaxSegment(int n) {
  if (n >= 360) {
    nbMaxSegment_ = 359;
    Repaint();
    return;
  }
  if (n == nbMaxSegment_) return;
  nbMaxSegment_ = n;
  Repaint();
}

void TCustomDraw::SetSize(int width, int height) {
  width_ = std::max(0, width);
  height_ = std::max(0, height);
}

int TCustomDraw::Last() const { return std::min(LastIndex, PointCount - 1); }

int TCustomDraw::ToPixelX(long double x) const {
  return RoundPixel((x - xmin_) * Width() / static_cast<long double>(XRange));
}

int TCustomDraw::ToPixelY(long double y) const {
  return RoundPixel((1.0L - (y - ymin_) / static_cast<long double>(YRange)) * Height());
}

float TCustomDraw::ToRealX(long double px) const {
  return static_cast<float>(px * XRange / static_cast<long double>(Width()) + xmin_);
}

float TCustomDraw::ToRealY(long double py) const {
  return static_cast<float>((1.0L - py / static_cast<long double>(Height())) * YRange + ymin_);
}

TPixel TCustomDraw::RealToScreen(float x, float y) const {
  return {std::clamp(ToPixelX(x), -5000, 5000), std::clamp(ToPixelY(y), -5000, 5000)};
}

void TCustomDraw::RecalcPixels() {
  XRange = static_cast<float>(static_cast<long double>(xmax_) - xmin_);
  YRange = static_cast<float>(static_cast<long double>(ymax_) - ymin_);
  if (XRange > 0 && YRange > 0)
    for (int i = 0; i <= Last(); ++i) {
      const auto k = static_cast<std::size_t>(i);
      Pixels[k] = {ToPixelX(Points[k].X), ToPixelY(Points[k].Y)};
    }
  CursorPx = RealToScreen(CrossX, CrossY);
}

void TCustomDraw::Snapshot() {
  SnapshotLastIndex = LastIndex;
  SnapshotPoints = Points;
}

void TCustomDraw::UpdateCurve() {
  if (LastIndex > PointCount - 1) LastIndex = PointCount - 1;
  clipRight_ = Width();
  clipBottom_ = Height();
  Snapshot();
  RecalcPixels();
  SetCursorPx(CursorPx.X);
  OnChange(this);
  Repaint();
}

void TCustomDraw::CancelEdit() {
  LastIndex = SnapshotLastIndex;
  Points = SnapshotPoints;
  DragIndex = -1;
  MovedIndex = -1;
  RecalcPixels();
  OnChange(this);
  Repaint();
}

void TCustomDraw::RemoveAt(int index) {
  if (!IsPoint(index)) return;
  // Each entry from index on takes the one after it, as far as there is one.
  for (int k = index; k <= Last() && k + 1 < PointCount; ++k) {
    Points[static_cast<std::size_t>(k)] = Points[static_cast<std::size_t>(k + 1)];
    Pixels[static_cast<std::size_t>(k)] = Pixels[static_cast<std::size_t>(k + 1)];
  }
  LastIndex = Last() - 1;
}

void TCustomDraw::OpenSlot(int index) {
  const int last = Last();
  if (index < 1 || index > last || last >= PointCount - 1) return;
  for (int k = last; k >= index; --k) {
    Points[static_cast<std::size_t>(k + 1)] = Points[static_cast<std::size_t>(k)];
    Pixels[static_cast<std::size_t>(k + 1)] = Pixels[static_cast<std::size_t>(k)];
  }
  Points[static_cast<std::size_t>(index)] = {};
  Pixels[static_cast<std::size_t>(index)] = {};
  LastIndex = last + 1;
}

bool TCustomDraw::ClampPoint(int& px, int& py) const {
  const int i = Selected;
  if (!IsPoint(i)) return false;
  const int left = i > 0 ? Pixels[static_cast<std::size_t>(i - 1)].X : 0;
  const int right = i < Last() ? Pixels[static_cast<std::size_t>(i + 1)].X : Width();
  bool unchanged = true;
  if (px < left) px = left, unchanged = false;
  if (px > right) px = right, unchanged = false;
  if (py < 0) py = 0, unchanged = false;
  if (py > Height()) py = Height(), unchanged = false;
  return unchanged;
}

void TCustomDraw::InsertPoint(int index) {
  // A point goes only between two existing points, and only while the limit allows.
  if (index >= 1 && index <= Last() && static_cast<std::int64_t>(Last()) + 1 < nbMaxSegment_) {
    const TPixel a = Pixels[static_cast<std::size_t>(index - 1)];
    const TPixel b = Pixels[static_cast<std::size_t>(index)];
    OpenSlot(index);
    // The pixel midpoint of the segment, not its real midpoint.
    const TPixel mid{static_cast<int>((std::int64_t{a.X} + b.X) / 2), static_cast<int>((std::int64_t{a.Y} + b.Y) / 2)};
    Pixels[static_cast<std::size_t>(index)] = mid;
    Points[static_cast<std::size_t>(index)] = {ToRealX(mid.X), ToRealY(mid.Y)};
    Selected = index;
    OnChange(this);
  }
  DragIndex = -1;
  Repaint();
}

void TCustomDraw::MenuInsertSegment() {
  const int s = Selected;
  if (s > 0 && s <= Last() && Last() < 359) {
    if (Pixels[static_cast<std::size_t>(s - 1)].X <= LastClick.X && LastClick.X <= Pixels[static_cast<std::size_t>(s)].X) {
      OpenSlot(s);
      Pixels[static_cast<std::size_t>(s)] = LastClick;
      Points[static_cast<std::size_t>(s)] = {ToRealX(LastClick.X), ToRealY(LastClick.Y)};
      OnChange(this);
    } else {
      DoBeep();
    }
  }
  Repaint();
}

void TCustomDraw::DeletePoint(int index) {
  if (index != -1 && LastIndex > 1) {
    RemoveAt(index);
    OnChange(this);
  }
  Selected = index < 0 ? -1 : std::min(index, Last());
  DragIndex = -1;
  Repaint();
}

void TCustomDraw::MenuDeleteSegment() {
  DeletePoint(Selected);
  OnChange(this);
  Repaint();
}

float TCustomDraw::Evaluate(float x) {
  const int last = Last();
  int k = 1;
  while (!(x < Points[static_cast<std::size_t>(k)].X || k >= last)) ++k;
  const int i = k - 1;
  const TRealPoint p0 = Points[static_cast<std::size_t>(i)];
  const TRealPoint p1 = Points[static_cast<std::size_t>(i + 1)];
  // The width and the fraction of the segment are held as singles.
  if (!Bezier) {
    SegIndex = i;
    const float dx = static_cast<float>(static_cast<long double>(p1.X) - p0.X);
    const float t = dx != 0.0f ? SaturateSingle((static_cast<long double>(x) - p0.X) / dx) : HugeFraction;
    return SaturateSingle((static_cast<long double>(p1.Y) - p0.Y) * t + p0.Y);
  }
  const long double dx = static_cast<long double>(p1.X) - p0.X;
  float t = dx != 0.0L ? SaturateSingle((static_cast<long double>(x) - p0.X) * 0.5L / dx) : HugeFraction;
  if (i % 2 == 1) t = SaturateSingle(static_cast<long double>(t) + 0.5L);
  const int j = i - i % 2;
  SegIndex = j;
  return QuadY(j, t);
}

float TCustomDraw::QuadX(int j, double t) const {
  j = std::clamp(j, 0, PointCount - 3);
  const auto k = static_cast<std::size_t>(j);
  if (t > 0.5) {
    const long double s = (static_cast<long double>(t) - 0.5L) * 2.0L;
    return SaturateSingle(Points[k + 1].X + (static_cast<long double>(Points[k + 2].X) - Points[k + 1].X) * s);
  }
  const long double s = 2.0L * t;
  return SaturateSingle(Points[k].X + (static_cast<long double>(Points[k + 1].X) - Points[k].X) * s);
}

float TCustomDraw::QuadY(int j, double t) const {
  j = std::clamp(j, 0, PointCount - 3);
  const auto k = static_cast<std::size_t>(j);
  const long double u = t;
  return SaturateSingle(Points[k].Y * (1.0L - 3.0L * u + 2.0L * u * u) + Points[k + 1].Y * 4.0L * u * (1.0L - u) +
                        Points[k + 2].Y * u * (2.0L * u - 1.0L));
}

void TCustomDraw::SetCursorPx(int px) {
  const TRealPoint first = Points[0];
  const TRealPoint last = Points[static_cast<std::size_t>(std::max(0, Last()))];
  CursorPx.X = px;
  CrossX = ToRealX(px);
  if (CrossX < first.X) {
    CrossX = first.X;
    CursorPx.X = ToPixelX(CrossX);
  }
  if (CrossX > last.X) {
    CrossX = last.X;
    CursorPx.X = ToPixelX(CrossX);
  }
  CrossY = Evaluate(CrossX);
  CursorPx.Y = ToPixelY(CrossY);
  ShowCursorReadout();
}

void TCustomDraw::SetMeasure(float x) {
  const TRealPoint first = Points[0];
  const TRealPoint last = Points[static_cast<std::size_t>(std::max(0, Last()))];
  CrossX = x;
  if (CrossX < first.X) CrossX = first.X;
  if (CrossX > last.X) CrossX = last.X;
  CrossY = Evaluate(CrossX);
  CursorPx = {ToPixelX(CrossX), ToPixelY(CrossY)};
  ShowCursorReadout();
}

void TCustomDraw::DoBeep() const {
  if (Beep) Beep();
}
