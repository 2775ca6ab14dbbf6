#include "controls/SEGMENTS.h"

#include <QPainter>
#include <array>
#include <string>

#include "controls/QtCanvas.h"

namespace {

struct TSegmentEntry {
  std::int32_t Key;
  unsigned char Bits;  // bit 0 = a (top) .. bit 6 = g (middle), bit 7 = the point
};

constexpr std::array<TSegmentEntry, 14> SegmentTable{{
    {0, 0x3F}, {1, 0x06}, {2, 0x5B}, {3, 0x4F}, {4, 0x66}, {5, 0x6D}, {6, 0x7D},
    {7, 0x07}, {8, 0x7F}, {9, 0x6F}, {10, 0x5E}, {11, 0x79}, {12, 0x73}, {TCustomSeg::MinusKey, 0x40},
}};

struct TSegmentLine {
  int X1, Y1, X2, Y2;
};

// Segments a to g, relative to the cell origin.
constexpr std::array<TSegmentLine, 7> SegmentLines{{
    {12, 0, 36, 0},    // a
    {32, 18, 36, 2},   // b
    {28, 38, 32, 22},  // c
    {4, 40, 28, 40},   // d
    {2, 38, 6, 22},    // e
    {6, 18, 10, 2},    // f
    {8, 20, 32, 20},   // g
}};

constexpr int KeyD = 10, KeyE = 11, KeyP = 12;

// The digit text holds the number's digits and the zeros that put a digit left of the
// point; cells further left than this are never inside the control.
constexpr std::int64_t MaxCells = 10;

}  // namespace

void TCustomSeg::SetNb(std::int32_t nb) {
  if (nb == nb_) return;
  nb_ = nb;
  Refresh();
}

void TCustomSeg::SetPointDecimal(std::int32_t digits) {
  if (digits == pointDecimal_) return;
  pointDecimal_ = digits;
  Refresh();
}

void TCustomSeg::SetStyle(TStyle style) {
  if (style == style_) return;
  style_ = style;
  Refresh();
}

void TCustomSeg::SetNbDigit(std::int32_t n) {
  if (n < 1 || n > 8 || n == nbDigit_) return;
  nbDigit_ = n;
  UpdateSize();
  Refresh();
}

void TCustomSeg::SetHalfDigit(bool half) {
  if (half == halfDigit_) return;
  halfDigit_ = half;
  UpdateSize();
  Refresh();
}

bool TCustomSeg::InRange() const {
  std::int64_t p = 1;
  for (int i = 0; i < nbDigit_; ++i) p *= 10;
  const std::int64_t low = halfDigit_ ? -(2 * p - 1) : -(p / 10 - 1);
  const std::int64_t high = halfDigit_ ? 2 * p - 1 : p - 1;
  return nb_ >= low && nb_ <= high;
}

void TCustomSeg::DrawGlyph(TCanvas& canvas, int key, int x, int y) {
  for (const TSegmentEntry& e : SegmentTable) {
    if (e.Key != key) continue;
    for (std::size_t s = 0; s < SegmentLines.size(); ++s)
      if (e.Bits >> s & 1) {
        const TSegmentLine& l = SegmentLines[s];
        canvas.MoveTo(x + l.X1, y + l.Y1);
        canvas.LineTo(x + l.X2, y + l.Y2);
      }
    if (e.Bits & 0x80) DrawPoint(canvas, x, y);
    return;
  }
}

void TCustomSeg::DrawPoint(TCanvas& canvas, int x, int y) { canvas.Ellipse(x + 2, y + 38, x + 6, y + 42); }

void TCustomSeg::Paint(TCanvas& canvas) const {
  const int n = nbDigit_;
  const int h = halfDigit_ ? 20 : 0;
  const int X = n * 40 - 32 + h;
  const int y = 5;
  const bool led = style_ == TStyle::LED;
  const TColor background = led ? RGB(128, 0, 0) : RGB(223, 223, 223);
  canvas.Pen = TPen{background, 1, TPenStyle::Solid, TPenMode::Copy};
  canvas.Brush = TBrush{background, TBrushStyle::Solid};
  canvas.Rectangle(0, 0, Width(), Height());
  canvas.Pen.Color = led ? RGB(255, 0, 0) : RGB(128, 128, 128);
  canvas.Pen.Width = 4;

  if (!InRange()) {
    if (n >= 3) {
      DrawGlyph(canvas, KeyD, X - 80, y);
      DrawGlyph(canvas, KeyE, X - 40, y);
      DrawGlyph(canvas, KeyP, X, y);
    }
    return;
  }
  // A point further left than the digit text reaches would lie outside the control.
  if (pointDecimal_ > 0 && pointDecimal_ < MaxCells) DrawPoint(canvas, (n - pointDecimal_) * 40 + h, y);

  const std::int64_t magnitude = nb_ < 0 ? -static_cast<std::int64_t>(nb_) : nb_;
  std::string digits = std::to_string(magnitude);
  // Zeros up to one digit left of the point, as far as a cell can still be seen.
  const std::int64_t cells = std::max<std::int64_t>(static_cast<std::int64_t>(digits.size()), std::int64_t{pointDecimal_} + 1);
  if (static_cast<std::int64_t>(digits.size()) < std::min(cells, MaxCells))
    digits.insert(0, static_cast<std::size_t>(std::min(cells, MaxCells)) - digits.size(), '0');
  const int c = static_cast<int>(digits.size());
  for (int i = c; i >= 1; --i) DrawGlyph(canvas, digits[static_cast<std::size_t>(i - 1)] - '0', X - 40 * (c - i), y);
  if (nb_ < 0) {
    if (cells <= MaxCells) DrawGlyph(canvas, MinusKey, X - 40 * c, y);
    if (halfDigit_) {
      canvas.MoveTo(8, 25);
      canvas.LineTo(16, 25);
    }
  }
}

TSEG::TSEG(QWidget* parent) : QWidget(parent) { UpdateSize(); }

void TSEG::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  TQtCanvas canvas(painter);
  Paint(canvas);
}
