#include "controls/QtCanvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QRectF>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

TQtCanvas::TQtCanvas(QPainter& painter) : painter_(painter), baseFont_(painter.font()) { painter_.setRenderHint(QPainter::Antialiasing, false); }

void TQtCanvas::ApplyMode() {
  painter_.setCompositionMode(Pen.Mode == TPenMode::NotXor ? QPainter::RasterOp_NotSourceXorDestination
                                                           : QPainter::CompositionMode_SourceOver);
}

void TQtCanvas::ApplyPen(bool forLine) {
  QPen pen(ToQColor(Pen.Color));
  const int width = std::max(1, Pen.Width);
  pen.setWidth(width);
  // A one-pixel outline stays on its pixels; a wide pen has round ends and joins.
  if (width == 1) {
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
  } else {
    pen.setCapStyle(forLine ? Qt::RoundCap : Qt::SquareCap);
    pen.setJoinStyle(forLine ? Qt::RoundJoin : Qt::MiterJoin);
  }
  // A dashed pen is dashed only one pixel wide, as the windowing system draws it.
  if (Pen.Style == TPenStyle::Dash && width == 1) pen.setDashPattern({18, 6});
  painter_.setPen(pen);
  ApplyMode();
}

namespace {
// The figure's outline runs on the pixel centres of its box without the right and bottom
// edge; the fill covers what lies inside the outline. Sizes are worked out wide: a box may
// span the whole integer range.
QRectF OutlineRect(int x1, int y1, int x2, int y2) {
  if (x2 < x1) std::swap(x1, x2);
  if (y2 < y1) std::swap(y1, y2);
  const std::int64_t w = std::max<std::int64_t>(0, std::int64_t{x2} - x1 - 1);
  const std::int64_t h = std::max<std::int64_t>(0, std::int64_t{y2} - y1 - 1);
  return QRectF(x1 + 0.5, y1 + 0.5, static_cast<qreal>(w), static_cast<qreal>(h));
}
}  // namespace

void TQtCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  if (x2 < x1) std::swap(x1, x2);
  if (y2 < y1) std::swap(y1, y2);
  const std::int64_t w = std::int64_t{x2} - x1, h = std::int64_t{y2} - y1;
  if (w < 1 || h < 1) return;
  const std::int64_t inset = (std::max<std::int64_t>(1, Pen.Width) + 1) / 2;
  ApplyPen(false);
  // Inside the box, so every corner of the fill is an int again.
  if (Brush.Style == TBrushStyle::Solid && w > 2 * inset && h > 2 * inset)
    painter_.fillRect(QRect(QPoint(static_cast<int>(x1 + inset), static_cast<int>(y1 + inset)),
                            QPoint(static_cast<int>(x2 - 1 - inset), static_cast<int>(y2 - 1 - inset))),
                      ToQColor(Brush.Color));
  painter_.setBrush(Qt::NoBrush);
  painter_.drawRect(OutlineRect(x1, y1, x2, y2));
}

void TQtCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  ApplyPen(true);
  painter_.setBrush(Brush.Style == TBrushStyle::Solid ? QBrush(ToQColor(Brush.Color)) : QBrush(Qt::NoBrush));
  painter_.drawEllipse(OutlineRect(x1, y1, x2, y2));
  painter_.setBrush(Qt::NoBrush);
}

void TQtCanvas::MoveTo(int x, int y) {
  penX_ = x;
  penY_ = y;
}

namespace {

__extension__ using TWide = __int128;

// Rounds n / d to the nearest integer, halves towards +infinity; d > 0.
std::int64_t RoundDiv(TWide n, TWide d) {
  TWide q = (2 * n + d) / (2 * d);
  if ((2 * n + d) % (2 * d) != 0 && (2 * n + d) < 0) --q;  // floor of the quotient
  return static_cast<std::int64_t>(q);
}

}  // namespace

// The pixels of a one-pixel line from its start on, one for each step along its longer
// axis, its end left out. Qt's own thin lines leave out the end with the larger
// coordinate whichever way they run, which would draw a shared corner twice in not-xor.
// A dashed pen shows 18 pixels and skips 6, counted from the start.
void TQtCanvas::DrawThinLine(int x0, int y0, int x1, int y1) {
  const std::int64_t dx = std::int64_t{x1} - x0, dy = std::int64_t{y1} - y0;
  const bool xMajor = std::llabs(dx) >= std::llabs(dy);
  const std::int64_t n = xMajor ? std::llabs(dx) : std::llabs(dy);
  if (n == 0) return;
  const std::int64_t major0 = xMajor ? x0 : y0, minor0 = xMajor ? y0 : x0;
  const std::int64_t dMinor = xMajor ? dy : dx;
  const std::int64_t step = (xMajor ? dx : dy) > 0 ? 1 : -1;
  // Only the steps that land on the device: a line far outside costs nothing.
  const std::int64_t size = xMajor ? painter_.device()->width() : painter_.device()->height();
  const std::int64_t minorSize = xMajor ? painter_.device()->height() : painter_.device()->width();
  std::int64_t first = 0, last = n - 1;
  if (step > 0) {
    first = std::max(first, -major0);
    last = std::min(last, size - 1 - major0);
  } else {
    first = std::max(first, major0 - (size - 1));
    last = std::min(last, major0);
  }
  const bool dashed = Pen.Style == TPenStyle::Dash;
  std::vector<QPoint> pixels;
  for (std::int64_t i = first; i <= last; ++i) {
    if (dashed && i % 24 >= 18) continue;
    const std::int64_t major = major0 + i * step;
    const std::int64_t minor = minor0 + RoundDiv(static_cast<TWide>(i) * dMinor, n);
    if (minor < 0 || minor >= minorSize) continue;
    pixels.emplace_back(static_cast<int>(xMajor ? major : minor), static_cast<int>(xMajor ? minor : major));
  }
  QPen pen(ToQColor(Pen.Color));
  pen.setWidth(1);
  painter_.setPen(pen);
  ApplyMode();
  painter_.drawPoints(pixels.data(), static_cast<int>(pixels.size()));
}

void TQtCanvas::LineTo(int x, int y) {
  if (std::max(1, Pen.Width) == 1) {
    DrawThinLine(penX_, penY_, x, y);
  } else {
    ApplyPen(true);
    painter_.drawLine(QPointF(penX_ + 0.5, penY_ + 0.5), QPointF(x + 0.5, y + 0.5));
  }
  penX_ = x;
  penY_ = y;
}

void TQtCanvas::ApplyFont() {
  QFont font = baseFont_;
  if (!Font.Name.empty()) {
    font.setFamily(ToQString(Font.Name));
    font.setStyleHint(QFont::Serif);
  }
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(Font.Size * 96.0 / 72.0))));
  painter_.setFont(font);
}

void TQtCanvas::TextOut(int x, int y, const std::u16string& text) {
  ApplyFont();
  const QString s = ToQString(text);
  const QFontMetrics fm = painter_.fontMetrics();
  painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
  if (Brush.Style == TBrushStyle::Solid)
    painter_.fillRect(QRect(x, y, fm.horizontalAdvance(s), fm.height()), ToQColor(Brush.Color));
  painter_.setPen(ToQColor(Font.Color));
  painter_.drawText(x, y + fm.ascent(), s);
}

int TQtCanvas::TextWidth(const std::u16string& text) {
  ApplyFont();
  return painter_.fontMetrics().horizontalAdvance(ToQString(text));
}
