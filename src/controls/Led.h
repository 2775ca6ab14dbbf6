#pragma once

// A 16 x 16 signal lamp, red or green, lit or off.

#include <QWidget>
#include <array>

#include "controls/Canvas.h"
#include "runtime/Events.h"

enum class TLedKind { Red = 0, Green = 1 };

// The lamp's picture, row by row from the top: a round lamp in a grey ring on a silver
// surround, which the control leaves transparent.
using TLedBitmap = std::array<TColor, 16 * 16>;
TLedBitmap LedBitmap(bool lit, TLedKind kind);

class Tled : public QWidget, public TObject {
  Q_OBJECT

public:
  explicit Tled(QWidget* parent = nullptr);

  bool LedStatus() const { return ledStatus_; }
  void SetLedStatus(bool lit);
  TLedKind Kind() const { return kind_; }
  void SetKind(TLedKind kind);

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;

  // Repaints the lamp.
  virtual void Refresh() { update(); }

protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
  bool ledStatus_ = false;
  TLedKind kind_ = TLedKind::Red;
};
