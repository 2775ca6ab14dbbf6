#pragma once

// A seven-segment display of a signed integer: 1 to 8 digits, an optional leading half
// digit with a sign bar, a decimal point, and a red LED or a grey LCD look. It is drawn
// with lines only.

#include <QWidget>
#include <cstdint>

#include "controls/Canvas.h"
#include "runtime/Events.h"

enum class TStyle { LCD = 0, LED = 1 };

// The display's state and picture; TSEG shows it.
class TCustomSeg : public TObject {
public:
  static constexpr int MinusKey = -3;

  TCustomSeg() = default;

  std::int32_t Nb() const { return nb_; }
  void SetNb(std::int32_t nb);
  // Digits right of the decimal point; 0 or less: no point.
  std::int32_t PointDecimal() const { return pointDecimal_; }
  void SetPointDecimal(std::int32_t digits);
  TStyle Style() const { return style_; }
  void SetStyle(TStyle style);
  // 1..8; other values are ignored.
  std::int32_t NbDigit() const { return nbDigit_; }
  void SetNbDigit(std::int32_t n);
  bool HalfDigit() const { return halfDigit_; }
  void SetHalfDigit(bool half);

  // The size follows the digits; nothing else can change it.
  int Width() const { return nbDigit_ * 40 + 14 + (halfDigit_ ? 20 : 0); }
  int Height() const { return 52; }

  // Whether Nb fits the digits (otherwise "dEP" is shown).
  bool InRange() const;

  // The segments of a key of the segment table with the cell origin at (x, y); a key that
  // is not in the table draws nothing.
  static void DrawGlyph(TCanvas& canvas, int key, int x, int y);
  static void DrawPoint(TCanvas& canvas, int x, int y);
  void Paint(TCanvas& canvas) const;

protected:
  virtual void Refresh() {}
  virtual void UpdateSize() {}

private:
  std::int32_t nb_ = 0;
  std::int32_t pointDecimal_ = 0;
  TStyle style_ = TStyle::LED;
  std::int32_t nbDigit_ = 4;
  bool halfDigit_ = false;
};

class TSEG : public QWidget, public TCustomSeg {
  Q_OBJECT

public:
  explicit TSEG(QWidget* parent = nullptr);

protected:
  void Refresh() override { update(); }
  void UpdateSize() override { setFixedSize(Width(), Height()); }
  void paintEvent(QPaintEvent* event) override;
};
