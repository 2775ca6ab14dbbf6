#include "controls/QtCanvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QRectF>
#include <algorithm>
#include <cmath>

TQtCanvas::TQtCanvas(QPainter& painter) : painter_(painter), baseFont_(painter.font()) { painter_.setRenderHint(QPainter::Antialiasing, false); }

void TQtCanvas::ApplyMode() {
  painter_.setCompositionMode(Pen.Mode == TPenMode::NotXor ? QPainter::RasterOp_NotSourceXorDestination
                                                           : QPainter::CompositionMode_SourceOver);
}

void TQtCanvas::ApplyPen(bool forLine) {
  QPen pen(ToQColor(Pen.Color));
  const int width = std::max(1, Pen.Width);
  pen.setWidth(width);
  // A one-pixel line leaves out its end pixel; a wide pen has round ends and joins.
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
// edge; the fill covers what lies inside the outline.
QRectF OutlineRect(int x1, int y1, int x2, int y2) {
  if (x2 < x1) std::swap(x1, x2);
  if (y2 < y1) std::swap(y1, y2);
  return QRectF(x1 + 0.5, y1 + 0.5, std::max(0, x2 - x1 - 1), std::max(0, y2 - y1 - 1));
}
}  // namespace

void TQtCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  if (x2 < x1) std::swap(x1, x2);
  if (y2 < y1) std::swap(y1, y2);
  if (x2 - x1 < 1 || y2 - y1 < 1) return;
  const int inset = (std::max(1, Pen.Width) + 1) / 2;
  ApplyPen(false);
  if (Brush.Style == TBrushStyle::Solid && x2 - x1 > 2 * inset && y2 - y1 > 2 * inset)
    painter_.fillRect(QRect(QPoint(x1 + inset, y1 + inset), QPoint(x2 - 1 - inset, y2 - 1 - inset)),
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

void TQtCanvas::LineTo(int x, int y) {
  ApplyPen(true);
  if (std::max(1, Pen.Width) == 1) {
    if (x != penX_ || y != penY_) painter_.drawLine(QPoint(penX_, penY_), QPoint(x, y));
  } else {
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
