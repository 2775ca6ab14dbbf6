// The curve editor's view: picture, line clipper, read-outs, zoom and mouse.
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

#include "controls/Cp1252.h"
#include "controls/Draw.h"
#include "controls/QtCanvas.h"
#include "controls/QtServices.h"

namespace {

// Squares are drawn directly; far outside the view they only need to stay far outside.
int Far(std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, -30000, 30000)); }

}  // namespace

TClipper::TClipper(TCanvas& canvas, int left, int top, int right, int bottom)
    : canvas_(canvas), left_(left), top_(top), right_(right), bottom_(bottom) {}

int TClipper::OutCode(std::int64_t x, std::int64_t y) const {
  int code = 0;
  if (x < left_) code += 1;
  if (y < top_) code += 2;
  if (x > right_) code += 4;
  if (y > bottom_) code += 8;
  return code;
}

void TClipper::ClipMoveTo(std::int64_t x, std::int64_t y) {
  penX_ = x;
  penY_ = y;
}

void TClipper::ClipLineTo(std::int64_t x, std::int64_t y) {
  std::int64_t x0 = penX_, y0 = penY_, x1 = x, y1 = y;
  if (ClipSegment(x0, y0, x1, y1)) {
    canvas_.MoveTo(static_cast<int>(x0), static_cast<int>(y0));
    canvas_.LineTo(static_cast<int>(x1), static_cast<int>(y1));
  }
  penX_ = x;
  penY_ = y;
}

bool TClipper::ClipSegment(std::int64_t& x0, std::int64_t& y0, std::int64_t& x1, std::int64_t& y1) const {
  int c0 = OutCode(x0, y0);
  int c1 = OutCode(x1, y1);
  // Each pass puts the outer end on a window edge, so a few passes always settle it.
  for (int pass = 0; pass < 16; ++pass) {
    if ((c0 | c1) == 0) return true;
    if ((c0 & c1) != 0) return false;
    if (c0 == 0) {
      std::swap(x0, x1);
      std::swap(y0, y1);
      std::swap(c0, c1);
    }
    // Each slope is a quotient in extended precision held as a double.
    auto edgeX = [&](int edge) {
      const double s = static_cast<double>(static_cast<long double>(y1 - y0) / static_cast<long double>(x1 - x0));
      y0 += RoundPixel(static_cast<long double>(edge - x0) * s);
      x0 = edge;
    };
    auto edgeY = [&](int edge) {
      const double s = static_cast<double>(static_cast<long double>(x1 - x0) / static_cast<long double>(y1 - y0));
      x0 += RoundPixel(static_cast<long double>(edge - y0) * s);
      y0 = edge;
    };
    if ((c0 & 1) && x0 != x1) edgeX(left_);
    if ((c0 & 2) && y0 != y1) edgeY(top_);
    if ((c0 & 4) && x0 != x1) edgeX(right_);
    if ((c0 & 8) && y0 != y1) edgeY(bottom_);
    c0 = OutCode(x0, y0);
  }
  return false;
}

void TCustomDraw::Repaint() {
  readout_ = {};
  ShowPointReadout();
}

void TCustomDraw::ShowPointReadout() {
  if (IsPoint(Selected)) {
    const auto k = static_cast<std::size_t>(Selected);
    TRealPoint p = Points[k];
    if (MovedIndex != -1) p = {ToRealX(Pixels[k].X), ToRealY(Pixels[k].Y)};
    readout_ = {"S=" + std::to_string(Selected) + "  ", "X=" + FormatFixed(p.X, 1, FormatSettings) + "  ",
                "Y=" + FormatFixed(p.Y, 1, FormatSettings) + "  "};
  }
  Invalidate();
}

void TCustomDraw::ShowCursorReadout() {
  readout_ = {"S=" + std::to_string(SegIndex) + "  ", "X=" + FormatFixed(CrossX, 1, FormatSettings) + "  ",
              "Y=" + FormatFixed(CrossY, 1, FormatSettings) + "  "};
  Invalidate();
}

void TCustomDraw::Paint(TCanvas& canvas) {
  canvas.Brush = Brush;
  canvas.Pen = TPen{};
  canvas.Rectangle(0, 0, Width(), Height());
  if (XRange <= 0 || YRange <= 0) {
    canvas.TextOut(5, 5, AsciiText(Texte(langue_, "DRAW", "DESSIN")));
    return;
  }
  canvas.Pen = TPen{clRed, 1, TPenStyle::Solid, TPenMode::Copy};
  const std::int64_t tx = ToPixelX(100.0L);
  const std::int64_t ty = ToPixelY(100.0L);
  AxisPx = RoundPixel(Width() * static_cast<long double>(-xmin_) / XRange);
  AxisPy = RoundPixel((static_cast<long double>(ymin_) / YRange + 1.0L) * Height());
  const std::int64_t ax = AxisPx, ay = AxisPy;
  TClipper clipper(canvas, 0, 0, clipRight_, clipBottom_);
  clipper.ClipMoveTo(ax - 5, ty);
  clipper.ClipLineTo(ax + 5, ty);
  clipper.ClipMoveTo(tx, ay - 5);
  clipper.ClipLineTo(tx, ay + 5);
  clipper.ClipMoveTo(0, ay);
  clipper.ClipLineTo(Width(), ay);
  clipper.ClipMoveTo(ax, 0);
  clipper.ClipLineTo(ax, Height());
  DrawCurve(canvas, clipper);
  DrawCrosshair(canvas, clipper);
  for (std::size_t row = 0; row < readout_.size(); ++row)
    if (!readout_[row].empty()) canvas.TextOut(5, 5 + 20 * static_cast<int>(row), Cp1252ToUtf16(readout_[row]));
}

void TCustomDraw::DrawCurve(TCanvas& canvas, TClipper& clipper) const {
  if (XRange <= 0 || YRange <= 0) return;
  canvas.Brush = TBrush{clWhite, TBrushStyle::Solid};
  canvas.Pen.Mode = TPenMode::NotXor;
  canvas.Pen.Width = Pen.Width;
  canvas.Pen.Style = Pen.Style;
  canvas.Pen.Color = Pen.Color;
  const int last = Last();
  if (Bezier) {
    clipper.ClipMoveTo(Pixels[0].X, Pixels[0].Y);
    int j = 0;
    do {
      for (double t = 0.025; t < 1.0; t += 0.025) {
        const TPixel p = RealToScreen(QuadX(j, t), QuadY(j, t));
        clipper.ClipLineTo(p.X, p.Y);
      }
      j += 2;
    } while (j <= last - 2);
    canvas.Pen.Style = TPenStyle::Dash;
  }
  clipper.ClipMoveTo(Pixels[0].X, Pixels[0].Y);
  for (int i = 0; i <= last; ++i) {
    const TPixel p = Pixels[static_cast<std::size_t>(i)];
    clipper.ClipLineTo(p.X, p.Y);
    const std::int64_t x = p.X, y = p.Y;
    if (i == Selected) {
      canvas.Pen.Width = 3;
      canvas.Rectangle(Far(x - 5), Far(y - 5), Far(x + 5), Far(y + 5));
      canvas.Pen.Width = 1;
    } else if (clip_) {
      canvas.Rectangle(Far(x - 5), Far(y - 5), Far(x + 5), Far(y + 5));
    }
  }
}

void TCustomDraw::DrawCrosshair(TCanvas& canvas, TClipper& clipper) const {
  canvas.Pen.Style = TPenStyle::Dash;
  canvas.Pen.Color = clBlue;
  clipper.ClipMoveTo(CursorPx.X, 0);
  clipper.ClipLineTo(CursorPx.X, Height());
  clipper.ClipMoveTo(0, CursorPx.Y);
  clipper.ClipLineTo(Width(), CursorPx.Y);
}

void TCustomDraw::ZoomIn() {
  ZoomItem(2).Enabled = static_cast<std::int64_t>(ZoomLevel) <= static_cast<std::int64_t>(ZoomMax) - 2;
  ZoomItem(3).Enabled = true;
  if (ZoomLevel > ZoomMax) {
    DoBeep();
    return;
  }
  ViewAroundCrosshair(XRange / 8.0L, YRange / 8.0L);
  UpdateCurve();
  if (ZoomLevel < INT_MAX) ++ZoomLevel;
  OnZoom(this);
}

void TCustomDraw::ZoomOut() {
  ZoomItem(3).Enabled = static_cast<std::int64_t>(ZoomLevel) >= static_cast<std::int64_t>(ZoomMin) + 2;
  ZoomItem(2).Enabled = true;
  if (ZoomLevel < ZoomMin) {
    DoBeep();
    return;
  }
  ViewAroundCrosshair(2.0L * XRange, 2.0L * YRange);
  UpdateCurve();
  if (ZoomLevel > INT_MIN) --ZoomLevel;
  OnZoom(this);
}

void TCustomDraw::ViewAroundCrosshair(long double halfX, long double halfY) {
  // The bounds are written directly: the new view takes effect through UpdateCurve.
  const long double cx = ToRealX(CursorPx.X), cy = ToRealY(CursorPx.Y);
  xmin_ = static_cast<float>(cx - halfX);
  xmax_ = static_cast<float>(cx + halfX);
  ymin_ = static_cast<float>(cy - halfY);
  ymax_ = static_cast<float>(cy + halfY);
}

void TCustomDraw::ZoomCenter() {
  ViewAroundCrosshair(XRange / 2.0L, YRange / 2.0L);
  UpdateCurve();
}

void TCustomDraw::ZoomReset() {
  ZoomItem(0).Enabled = true;
  ZoomItem(2).Enabled = true;
  ZoomItem(3).Enabled = true;
  ZoomLevel = 0;
  xmin_ = -25.0f;
  xmax_ = 110.0f;
  ymin_ = -25.0f;
  ymax_ = 110.0f;
  OnZoom(this);
  UpdateCurve();
}

void TCustomDraw::PopupMenuAt(int, int) {}

void TCustomDraw::HandleMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  LastClick = {x, y};
  if (button == TMouseButton::Right) {
    DeleteItem().Enabled = Selected != -1;
    InsertItem().Enabled = Selected != -1;
    PopupMenuAt(x, y);
    return;
  }
  if (button != TMouseButton::Left) return;
  if (shift.Ctrl) MenuInsertSegment();
  if (clip_) {
    Selected = -1;
    for (int i = 0; i <= Last(); ++i) {
      const TPixel p = Pixels[static_cast<std::size_t>(i)];
      if (std::int64_t{p.X} - 5 < x && x < std::int64_t{p.X} + 5 && std::int64_t{p.Y} - 5 < y && y < std::int64_t{p.Y} + 5) {
        DragIndex = i;
        Selected = i;
        OnSelect(this);
        ShowPointReadout();
        break;
      }
    }
    Repaint();
  }
  if (shift.Double) SetCursorPx(x);
  if (std::int64_t{CursorPx.X} - 2 < x && x < std::int64_t{CursorPx.X} + 2) CrosshairGrab = 1;
  if (shift.Alt) MenuDeleteSegment();
}

void TCustomDraw::HandleMouseMove(TShiftState, int x, int y) {
  if (IsPoint(DragIndex)) {
    MovedIndex = DragIndex;
    ClampPoint(x, y);
    const auto k = static_cast<std::size_t>(DragIndex);
    Pixels[k] = {x, y};
    Points[k] = {ToRealX(x), ToRealY(y)};
    ShowPointReadout();
  }
  if (CrosshairGrab == 1) {
    SetCursorPx(x);
    PanToCursor();
  }
}

void TCustomDraw::PanToCursor() {
  // A crosshair dragged out of the view moves the view a quarter of its size that way. The
  // quarter is worked out wide: a size near the integer limit must not overflow.
  const int quarterX = static_cast<int>((std::int64_t{Width()} + 3) / 4);
  const int quarterY = static_cast<int>((std::int64_t{Height()} + 3) / 4);
  auto pan = [this](int& coordinate, std::int64_t centre) {
    coordinate = static_cast<int>(centre);
    ZoomCenter();
  };
  if (CursorPx.X < 0) pan(CursorPx.X, quarterX);
  if (CursorPx.X > Width()) pan(CursorPx.X, std::int64_t{Width()} - quarterX);
  if (CursorPx.Y < 0) pan(CursorPx.Y, quarterY);
  if (CursorPx.Y > Height()) pan(CursorPx.Y, std::int64_t{Height()} - quarterY);
}

void TCustomDraw::HandleMouseUp(TMouseButton, TShiftState, int, int) {
  if (DragIndex >= 0) {
    if (MovedIndex != -1 && IsPoint(DragIndex)) {
      const auto k = static_cast<std::size_t>(DragIndex);
      Points[k] = {ToRealX(Pixels[k].X), ToRealY(Pixels[k].Y)};
      OnChange(this);
    }
    Snapshot();
    SetCursorPx(CursorPx.X);
    DragIndex = -1;
    MovedIndex = -1;
  }
  CrosshairGrab = -1;
}

TDraw::TDraw(TLangue langue, QWidget* parent) : QWidget(parent), TCustomDraw(langue), MenuPresenter(QtPresentMenu) {
  Beep = QtBeep;
  setCursor(Qt::CrossCursor);
  setMouseTracking(true);
  setContextMenuPolicy(Qt::PreventContextMenu);
}

void TDraw::PopupMenuAt(int x, int y) {
  const QPoint global = mapToGlobal(QPoint(x, y));
  if (MenuPresenter) MenuPresenter(Menu(), global.x(), global.y());
}

void TDraw::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  TQtCanvas canvas(painter);
  Paint(canvas);
}

namespace {

TMouseButton ButtonOf(const QMouseEvent& e) {
  switch (e.button()) {
    case Qt::LeftButton: return TMouseButton::Left;
    case Qt::RightButton: return TMouseButton::Right;
    default: return TMouseButton::Middle;
  }
}

TShiftState ShiftOf(const QMouseEvent& e, bool dbl) {
  const Qt::KeyboardModifiers m = e.modifiers();
  return {m.testFlag(Qt::ShiftModifier), m.testFlag(Qt::AltModifier), m.testFlag(Qt::ControlModifier), dbl};
}

}  // namespace

void TDraw::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  HandleMouseDown(ButtonOf(*event), ShiftOf(*event, false), p.x(), p.y());
}

void TDraw::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  HandleMouseDown(ButtonOf(*event), ShiftOf(*event, true), p.x(), p.y());
}

void TDraw::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  HandleMouseMove(ShiftOf(*event, false), p.x(), p.y());
}

void TDraw::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  HandleMouseUp(ButtonOf(*event), ShiftOf(*event, false), p.x(), p.y());
}
