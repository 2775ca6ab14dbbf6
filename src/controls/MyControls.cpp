#include "controls/MyControls.h"

#include <QContextMenuEvent>
#include <QPainter>
#include <QPointer>
#include <vector>

#include "controls/QtCanvas.h"

TLangueControl::TLangueControl(TEdition& edition, bool hasCaption, bool captionShowsWritten)
    : HintSet(edition), edition_(edition), captionShowsWritten_(captionShowsWritten) {
  if (hasCaption) captionSet_ = std::make_unique<TMultiLangue>(edition);
  HintSet.OnChangeLangue = [this](TObject* sender) { LanguageChanged(sender); };
  if (captionSet_) captionSet_->OnChangeLangue = [this](TObject* sender) { LanguageChanged(sender); };
}

std::string TLangueControl::Caption() const { return captionSet_ ? captionSet_->GetText() : std::string(); }

void TLangueControl::SetCaption(const std::string& value) {
  if (!captionSet_) return;
  shownCaption_ = captionShowsWritten_ ? value : captionSet_->GetText();
  ShowCaption(shownCaption_);
}

std::string TLangueControl::Hint() const { return HintSet.GetText(); }

void TLangueControl::SetHint(const std::string& value) {
  shownHint_ = value;
  ShowHint(shownHint_);
}

void TLangueControl::Repaint() {
  SetCaption(Caption());
  SetHint(Hint());
  BaseRepaint();
}

void TLangueControl::LanguageChanged(TObject*) {
  SetCaption(Caption());
  SetHint(Hint());
  // A control on its own has no siblings to refresh.
  if (!HasParent() || edition_.LanguageRefreshBusy) return;
  edition_.LanguageRefreshBusy = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{edition_.LanguageRefreshBusy};
  RefreshSiblings();
}

TPanel::TPanel(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setLineWidth(1);
}

void TPanel::SetPanelCaption(const QString& caption) {
  caption_ = caption;
  update();
}

void TPanel::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  painter.drawText(contentsRect(), Qt::AlignCenter, caption_);
}

namespace langue_detail {

void SetBaseCaption(QLabel& w, const QString& s) { w.setText(s); }
void SetBaseCaption(QAbstractButton& w, const QString& s) { w.setText(s); }
void SetBaseCaption(QGroupBox& w, const QString& s) { w.setTitle(s); }
void SetBaseCaption(TPanel& w, const QString& s) { w.SetPanelCaption(s); }
void SetBaseCaption(Tled&, const QString&) {}

QString ToQString(const std::string& cp1252) { return ::ToQString(cp1252); }

void RefreshSiblingsOf(QWidget& self) {
  QWidget* parent = self.parentWidget();
  if (parent == nullptr) return;
  std::vector<QPointer<QWidget>> siblings;
  for (QObject* child : parent->children())
    if (auto* w = qobject_cast<QWidget*>(child)) siblings.emplace_back(w);
  for (const QPointer<QWidget>& w : siblings) {
    if (w.isNull() || w.data() == &self) continue;
    if (auto* langue = dynamic_cast<TLangueControl*>(w.data()))
      langue->Refresh();
    else
      w->update();
  }
}

}  // namespace langue_detail

TLabelLangue::TLabelLangue(TEdition& edition, QWidget* parent) : TLangueWidget(edition, parent, true) {
  setTextFormat(Qt::PlainText);
}

TBitBtnAlt::TBitBtnAlt(QWidget* parent) : QPushButton(parent) {
  connect(this, &QPushButton::clicked, this, [this] { OnClick(this); });
}

void TBitBtnAlt::ContextPopup(TObject* sender, int, int, bool& handled) {
  handled = true;
  if (dynamic_cast<TBitBtnAlt*>(sender) == nullptr || PopupMenu == nullptr) return;
  if (PopupMenu->Count() >= 1) {
    PopupMenu->Items(0).OnClick = OnClick;
    handled = false;
  }
  if (PopupMenu->Count() >= 2) PopupMenu->Items(1).OnClick = OnAltClick;
}

void TBitBtnAlt::contextMenuEvent(QContextMenuEvent* event) {
  bool handled = true;
  ContextPopup(this, event->pos().x(), event->pos().y(), handled);
  if (!handled && PopupMenu != nullptr && MenuPresenter) MenuPresenter(*PopupMenu, event->globalPos().x(), event->globalPos().y());
  event->accept();
}
