#pragma once

// The unit selector: one engineering unit of the unit table, and two arrows that step
// through a list of allowed HART unit codes. The arrows appear when the mouse moves over
// the control and disappear about 2.2 s after the last movement.

#include <QWidget>
#include <array>
#include <cstdint>
#include <span>

#include "controls/Canvas.h"
#include "runtime/Events.h"
#include "runtime/Langue.h"
#include "runtime/Timer.h"

class QToolButton;

// The selector's behaviour; TUnits shows it.
class TCustomUnits : public TObject {
public:
  static constexpr int ListSize = 256;
  static constexpr std::int32_t EndOfList = -1;

  explicit TCustomUnits(Scheduler& scheduler);

  // The shown row of the unit table. A row above 34 shows row 35, a negative one row 0.
  int UniteNb() const { return uniteNb_; }
  void SetUniteNb(int row);
  // The HART code of the shown row; writing shows the row of a code (row 0 for a code that
  // is not in the table).
  int CodeUnite() const;
  void SetCodeUnite(int code);
  // The selector is disabled until its owner enables it: painted on silver, no arrows.
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  TNotifyEvent OnChange;

  // The allowed codes, ended by -1; at most 255 codes are kept.
  void SetUnitList(std::span<const std::int32_t> list);
  // Every code of rows 0..34.
  void SetAllUnits();

  // The right and left arrows.
  void NextUnit();
  void PrevUnit();

  void TimerTick();
  void ShowArrows();
  void HideArrows();

  int Position() const { return position_; }
  const std::array<std::int32_t, ListSize>& List() const { return list_; }
  bool ArrowsVisible() const { return arrowsVisible_; }
  int IdleCount() const { return idleCount_; }

protected:
  // The arrows were shown or hidden.
  virtual void ArrowsChanged() {}
  // The shown row or the enabled state changed: the unit is to be painted again.
  virtual void TraceChanged() {}

private:
  void FindPosition(std::int32_t code);
  void Step(int delta);
  void SetArrows(bool visible);

  int position_ = 0;
  std::array<std::int32_t, ListSize> list_{};
  bool arrowsVisible_ = false;
  TTimer timer_;
  int idleCount_ = 0;
  int uniteNb_ = 0;
  int lastCode_ = 0;
  bool enabled_ = false;
};

// The picture of one unit: its symbol above its name, on white (silver when disabled),
// in a frame of width x height.
void PaintUnitTrace(TCanvas& canvas, int row, bool enabled, int width, int height, TLangue langue);
// The symbol as the screen shows it: the rows drawn in the symbol font hold a W for the
// ohm sign.
std::u16string UnitSymbolText(int row);

class TTrace : public QWidget, public TObject {
  Q_OBJECT

public:
  TTrace(TLangue langue, QWidget* parent);

  int Row() const { return row_; }
  void SetRow(int row);

  // Fired on every mouse movement over the unit.
  TNotifyEvent OnDbClick;

protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

private:
  TLangue langue_;
  int row_ = 0;
};

class TUnits : public QWidget, public TCustomUnits {
  Q_OBJECT

public:
  TUnits(Scheduler& scheduler, TLangue langue, QWidget* parent = nullptr);

  QToolButton& LeftArrow() const { return *left_; }
  QToolButton& RightArrow() const { return *right_; }
  TTrace& Trace() const { return *trace_; }

protected:
  void ArrowsChanged() override;
  void TraceChanged() override;
  void mouseMoveEvent(QMouseEvent* event) override;

private:
  QToolButton* left_;
  QToolButton* right_;
  TTrace* trace_;
};
