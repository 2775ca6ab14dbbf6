#include "controls/Led.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "controls/QtCanvas.h"

TLedBitmap LedBitmap(bool lit, TLedKind kind) {
  const bool red = kind == TLedKind::Red;
  const TColor bright = red ? RGB(255, 0, 0) : RGB(0, 255, 0);
  const TColor dark = red ? RGB(128, 0, 0) : RGB(0, 128, 0);
  const TColor gray = RGB(128, 128, 128);
  TLedBitmap bmp{};
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const double dx = x - 7.5;
      const double dy = y - 7.5;
      const double d = std::sqrt(dx * dx + dy * dy);
      TColor c = clSilver;
      if (d <= 5.6) {
        c = lit && d <= 4.0 ? bright : dark;
        // a small reflection towards the top left of a lit lamp
        if (lit && x >= 5 && x <= 6 && y >= 5 && y <= 6) c = clWhite;
      } else if (d <= 7.6) {
        c = gray;  // the ring
      }
      bmp[static_cast<std::size_t>(y * 16 + x)] = c;
    }
  }
  return bmp;
}

Tled::Tled(QWidget* parent) : QWidget(parent) { setFixedSize(16, 16); }

void Tled::SetLedStatus(bool lit) {
  if (lit == ledStatus_) return;
  ledStatus_ = lit;
  Refresh();
}

void Tled::SetKind(TLedKind kind) {
  if (kind == kind_) return;
  kind_ = kind;
  Refresh();
}

void Tled::paintEvent(QPaintEvent*) {
  // The picture is made for each paint and dropped after it; its bottom-left colour is
  // the transparent one, so the parent's background shows around the lamp.
  const TLedBitmap bmp = LedBitmap(ledStatus_, kind_);
  const TColor transparent = bmp[15 * 16];
  QImage image(16, 16, QImage::Format_ARGB32);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const TColor c = bmp[static_cast<std::size_t>(y * 16 + x)];
      image.setPixel(x, y, c == transparent ? qRgba(0, 0, 0, 0) : ToQColor(c).rgb());
    }
  QPainter painter(this);
  painter.drawImage(0, 0, image);
}

void Tled::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) OnClick(this);
  QWidget::mouseReleaseEvent(event);
}

void Tled::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) OnDblClick(this);
  QWidget::mouseDoubleClickEvent(event);
}
