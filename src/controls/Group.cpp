#include "controls/Group.h"

TLedArrangement ArrangeLeds(TOrientation orientation, int number, int spacing) {
  const int step = 16 + spacing;
  const int length = 16 * number + (number - 1) * spacing;
  const int end = (number - 1) * step;
  int x0 = 0, y0 = 0, dx = 0, dy = 0;
  TLedArrangement a;
  a.Width = length;
  a.Height = length;
  switch (orientation) {
    case TOrientation::Nord: a.Width = 16; y0 = end; dy = -step; break;
    case TOrientation::NordOuest: x0 = end; y0 = end; dx = -step; dy = -step; break;
    case TOrientation::Ouest: a.Height = 16; x0 = end; dx = -step; break;
    case TOrientation::SudOuest: x0 = end; dx = -step; dy = step; break;
    case TOrientation::Sud: a.Width = 16; dy = step; break;
    case TOrientation::SudEst: dx = step; dy = step; break;
    case TOrientation::Est: a.Height = 16; dx = step; break;
    case TOrientation::NordEst: y0 = end; dx = step; dy = -step; break;
  }
  for (int i = 0; i < 8; ++i) a.Places[static_cast<std::size_t>(i)] = {x0 + i * dx, y0 + i * dy};
  return a;
}

TGroupLed::TGroupLed(QWidget* parent) : QWidget(parent) {
  for (int i = 0; i < 8; ++i) {
    auto* led = new Tled(this);
    led->move(i * 16, 0);
    led->SetKind(TLedKind::Green);
    led->setVisible(true);
    leds_[static_cast<std::size_t>(i)] = led;
  }
  SetSpacing(0);
  SetKind(TLedKind::Green);
  SetOrientation(TOrientation::Est);
  Arrange();
}

void TGroupLed::SetValue(int value) {
  if (value == value_) return;
  value_ = value;
  for (int i = 0; i < 8; ++i) leds_[static_cast<std::size_t>(i)]->SetLedStatus((value >> i & 1) != 0);
  Refresh();
}

void TGroupLed::SetNumber(int number) {
  if (number < 1 || number > 8 || number == number_) return;
  // Growing shows LEDs from the old count on (that one was already shown), shrinking hides
  // the ones past the new count.
  if (number > number_)
    for (int i = number_; i <= number; ++i) Led(i).setVisible(true);
  else
    for (int i = number + 1; i <= number_; ++i) Led(i).setVisible(false);
  number_ = number;
  Arrange();
  Refresh();
}

void TGroupLed::SetSpacing(int spacing) {
  if (spacing < 0 || spacing > 25 || spacing == spacing_) return;
  spacing_ = spacing;
  Arrange();
  Refresh();
}

void TGroupLed::SetKind(TLedKind kind) {
  if (kind == kind_) return;
  kind_ = kind;
  for (Tled* led : leds_) led->SetKind(kind);
  Refresh();
}

void TGroupLed::SetOrientation(TOrientation orientation) {
  if (orientation == orientation_) return;
  orientation_ = orientation;
  Arrange();
  Refresh();
}

void TGroupLed::Arrange() {
  const TLedArrangement a = ArrangeLeds(orientation_, number_, spacing_);
  setFixedSize(a.Width, a.Height);
  for (int i = 0; i < 8; ++i) leds_[static_cast<std::size_t>(i)]->move(a.Places[static_cast<std::size_t>(i)].Left, a.Places[static_cast<std::size_t>(i)].Top);
}
