#pragma once

// A row of eight LEDs showing the low bits of a value, in one of eight directions.

#include <QWidget>
#include <array>

#include "controls/Led.h"

enum class TOrientation { Nord = 0, NordOuest = 1, Ouest = 2, SudOuest = 3, Sud = 4, SudEst = 5, Est = 6, NordEst = 7 };

struct TLedPlace {
  int Left = 0;
  int Top = 0;
  bool operator==(const TLedPlace&) const = default;
};

// Size of the row and place of LED 1..8 (index 0..7) for `number` LEDs shown, `spacing`
// pixels apart. LEDs past `number` continue the row outside the group.
struct TLedArrangement {
  int Width = 0;
  int Height = 0;
  std::array<TLedPlace, 8> Places{};
};
TLedArrangement ArrangeLeds(TOrientation orientation, int number, int spacing);

class TGroupLed : public QWidget, public TObject {
  Q_OBJECT

public:
  explicit TGroupLed(QWidget* parent = nullptr);

  int Value() const { return value_; }
  void SetValue(int value);
  int Number() const { return number_; }
  void SetNumber(int number);    // 1..8, other values are ignored
  int Spacing() const { return spacing_; }
  void SetSpacing(int spacing);  // 0..25, other values are ignored
  TLedKind Kind() const { return kind_; }
  void SetKind(TLedKind kind);
  TOrientation Orientation() const { return orientation_; }
  void SetOrientation(TOrientation orientation);

  // LED 1..8.
  Tled& Led(int i) { return *leds_.at(static_cast<std::size_t>(i - 1)); }

  virtual void Refresh() { update(); }

private:
  void Arrange();

  int value_ = 0;
  int number_ = 8;
  int spacing_ = 0;
  TLedKind kind_ = TLedKind::Red;
  TOrientation orientation_ = TOrientation::Nord;
  std::array<Tled*, 8> leds_{};
};
