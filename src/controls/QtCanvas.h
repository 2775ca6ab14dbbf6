#pragma once

// TCanvas on a QPainter, keeping the conventions that TCanvas describes.

#include <QColor>
#include <QFont>
#include <QString>

#include "controls/Canvas.h"
#include "controls/Cp1252.h"

class QPainter;

inline QColor ToQColor(TColor c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }
inline QString ToQString(const std::string& cp1252) { return QString::fromStdU16String(Cp1252ToUtf16(cp1252)); }
inline QString ToQString(const std::u16string& text) { return QString::fromStdU16String(text); }

class TQtCanvas : public TCanvas {
public:
  explicit TQtCanvas(QPainter& painter);

  void Rectangle(int x1, int y1, int x2, int y2) override;
  void Ellipse(int x1, int y1, int x2, int y2) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void TextOut(int x, int y, const std::u16string& text) override;
  int TextWidth(const std::u16string& text) override;

private:
  void ApplyPen(bool forLine);
  void ApplyMode();
  void ApplyFont();
  void DrawThinLine(int x0, int y0, int x1, int y1);

  QPainter& painter_;
  QFont baseFont_;  // the control's own font
  int penX_ = 0;
  int penY_ = 0;
};
