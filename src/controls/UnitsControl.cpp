#include "controls/UnitsControl.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <cstring>

#include "controls/Cp1252.h"
#include "controls/QtCanvas.h"
#include "model/Units.h"

namespace {

std::array<std::int32_t, DefaultUnitRows + 1> DefaultList() {
  std::array<std::int32_t, DefaultUnitRows + 1> list{};
  for (int row = 0; row < DefaultUnitRows; ++row) list[static_cast<std::size_t>(row)] = UnitRow(row).Code;
  list[DefaultUnitRows] = TCustomUnits::EndOfList;
  return list;
}

int RowOfEntry(std::int32_t code) { return UnitCodeToIndex(static_cast<Byte>(code & 0xFF)); }

}  // namespace

TCustomUnits::TCustomUnits(Scheduler& scheduler) : timer_(scheduler, 100) {
  timer_.OnTimer = [this](TObject*) { TimerTick(); };
  list_.fill(EndOfList);
  const auto defaults = DefaultList();
  std::copy(defaults.begin(), defaults.end(), list_.begin());
}

void TCustomUnits::FindPosition(std::int32_t code) {
  for (int i = 0; i < ListSize && list_[static_cast<std::size_t>(i)] != EndOfList; ++i)
    if (list_[static_cast<std::size_t>(i)] == code) {
      position_ = i;
      return;
    }
}

void TCustomUnits::SetUniteNb(int row) {
  if (row == uniteNb_) return;
  uniteNb_ = row > DefaultUnitRows - 1 ? DefaultUnitRows : (row < 0 ? 0 : row);
  FindPosition(UnitRow(uniteNb_).Code);
  TraceChanged();
  OnChange(this);
}

int TCustomUnits::CodeUnite() const { return UnitRow(uniteNb_).Code; }

void TCustomUnits::SetCodeUnite(int code) {
  if (code == lastCode_) return;
  FindPosition(code);
  lastCode_ = code;
  uniteNb_ = RowOfEntry(code);
  TraceChanged();
  OnChange(this);
}

void TCustomUnits::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (!enabled_) HideArrows();
  TraceChanged();
}

void TCustomUnits::SetUnitList(std::span<const std::int32_t> list) {
  // Entries past the end mark are -1 too, so nothing of an earlier list is ever reached.
  list_.fill(EndOfList);
  for (std::size_t i = 0; i < list.size() && i < ListSize - 1; ++i) {
    list_[i] = list[i];
    if (list[i] == EndOfList) break;
  }
  position_ = 0;
  SetUniteNb(0);
  TraceChanged();
}

void TCustomUnits::SetAllUnits() {
  const auto defaults = DefaultList();
  SetUnitList(defaults);
}

void TCustomUnits::Step(int delta) {
  idleCount_ = 0;
  const int next = position_ + delta;
  if (next < 0 || list_[static_cast<std::size_t>(position_)] == EndOfList || list_[static_cast<std::size_t>(next)] == EndOfList)
    return;
  position_ = next;
  SetUniteNb(RowOfEntry(list_[static_cast<std::size_t>(next)]));
  TraceChanged();
  OnChange(this);
}

void TCustomUnits::NextUnit() { Step(1); }

void TCustomUnits::PrevUnit() { Step(-1); }

void TCustomUnits::TimerTick() {
  if (idleCount_ <= 20)
    ++idleCount_;
  else
    HideArrows();
}

void TCustomUnits::ShowArrows() {
  idleCount_ = 0;
  if (enabled_) SetArrows(true);
}

void TCustomUnits::HideArrows() { SetArrows(false); }

void TCustomUnits::SetArrows(bool visible) {
  if (visible == arrowsVisible_) return;
  arrowsVisible_ = visible;
  ArrowsChanged();
}

std::u16string UnitSymbolText(int row) {
  const TUnitInfo& u = UnitRow(row);
  std::u16string text = Cp1252ToUtf16(u.Symbol);
  if (std::strcmp(u.FontName, "Symbol") == 0)
    for (char16_t& c : text)
      if (c == u'W') c = u'\u03A9';
  return text;
}

void PaintUnitTrace(TCanvas& canvas, int row, bool enabled, int width, int height, TLangue langue) {
  const TUnitInfo& u = UnitRow(row);
  canvas.Brush = {enabled ? clWhite : clSilver, TBrushStyle::Solid};
  canvas.Pen = TPen{};
  canvas.Rectangle(0, 0, width, height);
  // The symbol font only lends its omega; the text itself is drawn in the row's roman font.
  const bool symbolFont = std::strcmp(u.FontName, "Symbol") == 0;
  canvas.Font = {symbolFont ? "NewTimeRoman" : u.FontName, 18, clBlack};
  const std::u16string symbol = UnitSymbolText(row);
  canvas.TextOut((width - canvas.TextWidth(symbol)) / 2, 1, symbol);
  canvas.Font = {"MS Serif", 6, clBlack};
  const std::u16string name = Cp1252ToUtf16(u.Name(langue));
  canvas.TextOut((width - canvas.TextWidth(name)) / 2, 28, name);
}

TTrace::TTrace(TLangue langue, QWidget* parent) : QWidget(parent), langue_(langue) { setMouseTracking(true); }

void TTrace::SetRow(int row) {
  row_ = row;
  update();
}

void TTrace::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  TQtCanvas canvas(painter);
  PaintUnitTrace(canvas, row_, isEnabled(), width(), height(), langue_);
}

void TTrace::mouseMoveEvent(QMouseEvent* event) {
  OnDbClick(this);
  QWidget::mouseMoveEvent(event);
}

TUnits::TUnits(Scheduler& scheduler, TLangue langue, QWidget* parent)
    : QWidget(parent), TCustomUnits(scheduler), left_(new QToolButton(this)), right_(new QToolButton(this)),
      trace_(new TTrace(langue, this)) {
  setFixedSize(110, 40);
  setMouseTracking(true);
  left_->setText("<");
  right_->setText(">");
  left_->setGeometry(0, 0, 20, 40);
  right_->setGeometry(90, 0, 20, 40);
  left_->hide();
  right_->hide();
  trace_->setGeometry(20, 0, 70, 40);
  trace_->setEnabled(false);
  connect(left_, &QToolButton::clicked, this, [this] { PrevUnit(); });
  connect(right_, &QToolButton::clicked, this, [this] { NextUnit(); });
  trace_->OnDbClick = [this](TObject*) { ShowArrows(); };
}

void TUnits::ArrowsChanged() {
  left_->setVisible(ArrowsVisible());
  right_->setVisible(ArrowsVisible());
}

void TUnits::TraceChanged() {
  trace_->setEnabled(Enabled());
  trace_->SetRow(UniteNb());
}

void TUnits::mouseMoveEvent(QMouseEvent* event) {
  ShowArrows();
  QWidget::mouseMoveEvent(event);
}
