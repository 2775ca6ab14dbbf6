#pragma once

// The two-language controls: the standard label, buttons, check box, radio button, group
// box and panel, and the LED, each with a HintSet and (but for the LED) a CaptionSet from
// which its hint and caption are taken in the edition's language. And TBitBtnAlt, the
// button with a second action offered by its context menu.
//
// Captions and hints go through Caption/SetCaption and Hint/SetHint; the base widgets'
// own text setters bypass the sets and are not used on these controls.

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <memory>
#include <string>

#include "controls/Led.h"
#include "controls/MultiLangue.h"
#include "controls/PopupMenu.h"
#include "controls/QtServices.h"

// What every two-language control adds to its base widget.
class TLangueControl {
public:
  TLangueControl(TEdition& edition, bool hasCaption, bool captionShowsWritten);
  TLangueControl(const TLangueControl&) = delete;
  TLangueControl& operator=(const TLangueControl&) = delete;
  virtual ~TLangueControl() = default;

  TMultiLangue HintSet;
  // Null on the LED, which has no caption.
  TMultiLangue* CaptionSet() const { return captionSet_.get(); }

  // The CaptionSet text. A write shows the CaptionSet text and drops the value written,
  // except on the check box, which shows the value written.
  std::string Caption() const;
  void SetCaption(const std::string& value);
  // The HintSet text. A write puts the value into the hint the control shows.
  std::string Hint() const;
  void SetHint(const std::string& value);

  // What the base control shows now (Windows-1252).
  const std::string& ShownCaption() const { return shownCaption_; }
  const std::string& ShownHint() const { return shownHint_; }

  // Shows the sets' texts again, then repaints the control.
  virtual void Repaint();
  void Refresh() { Repaint(); }
  // Once the control's texts and language have been given, as after reading a form.
  void Loaded() { LanguageChanged(nullptr); }
  // Shows the sets' texts, then refreshes every other control of the same parent once,
  // unless another control is refreshing its siblings already. Bound to the sets'
  // OnChangeLangue.
  void LanguageChanged(TObject* sender);

  TEdition& Edition() const { return edition_; }

protected:
  virtual void ShowCaption(const std::string& text) = 0;
  virtual void ShowHint(const std::string& text) = 0;
  virtual void BaseRepaint() = 0;
  virtual bool HasParent() const = 0;
  virtual void RefreshSiblings() = 0;

private:
  TEdition& edition_;
  std::unique_ptr<TMultiLangue> captionSet_;
  bool captionShowsWritten_;
  std::string shownCaption_;
  std::string shownHint_;
};

// A panel: a raised frame with its caption in the middle.
class TPanel : public QFrame {
  Q_OBJECT

public:
  explicit TPanel(QWidget* parent = nullptr);
  void SetPanelCaption(const QString& caption);
  QString PanelCaption() const { return caption_; }

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  QString caption_;
};

namespace langue_detail {
void SetBaseCaption(QLabel& w, const QString& s);
void SetBaseCaption(QAbstractButton& w, const QString& s);
void SetBaseCaption(QGroupBox& w, const QString& s);
void SetBaseCaption(TPanel& w, const QString& s);
void SetBaseCaption(Tled& w, const QString& s);
void RefreshSiblingsOf(QWidget& self);
QString ToQString(const std::string& cp1252);
}  // namespace langue_detail

// The controls are told apart by qobject_cast and findChild, so each concrete one below
// carries its own Q_OBJECT (a class template cannot); the widget base comes first.
template <class Base>
class TLangueWidget : public Base, public TLangueControl {
public:
  TLangueWidget(TEdition& edition, QWidget* parent, bool hasCaption, bool captionShowsWritten = false)
      : Base(parent), TLangueControl(edition, hasCaption, captionShowsWritten) {}

protected:
  void ShowCaption(const std::string& text) override { langue_detail::SetBaseCaption(*this, langue_detail::ToQString(text)); }
  void ShowHint(const std::string& text) override { this->setToolTip(langue_detail::ToQString(text)); }
  void BaseRepaint() override { this->update(); }
  bool HasParent() const override { return this->parentWidget() != nullptr; }
  void RefreshSiblings() override { langue_detail::RefreshSiblingsOf(*this); }
};

class TLabelLangue : public TLangueWidget<QLabel> {
  Q_OBJECT

public:
  explicit TLabelLangue(TEdition& edition, QWidget* parent = nullptr);
};

class TButtonLangue : public TLangueWidget<QPushButton> {
  Q_OBJECT

public:
  explicit TButtonLangue(TEdition& edition, QWidget* parent = nullptr) : TLangueWidget(edition, parent, true) {}
};

// A button with a glyph, which its form sets as the icon.
class TBitBtnLangue : public TLangueWidget<QPushButton> {
  Q_OBJECT

public:
  explicit TBitBtnLangue(TEdition& edition, QWidget* parent = nullptr) : TLangueWidget(edition, parent, true) {}
};

class TCheckBoxLangue : public TLangueWidget<QCheckBox> {
  Q_OBJECT

public:
  explicit TCheckBoxLangue(TEdition& edition, QWidget* parent = nullptr) : TLangueWidget(edition, parent, true, true) {}
};

class TRadioButtonLangue : public TLangueWidget<QRadioButton> {
  Q_OBJECT

public:
  explicit TRadioButtonLangue(TEdition& edition, QWidget* parent = nullptr) : TLangueWidget(edition, parent, true) {}
};

class TGroupBoxLangue : public TLangueWidget<QGroupBox> {
  Q_OBJECT

public:
  explicit TGroupBoxLangue(TEdition& edition, QWidget* parent = nullptr) : TLangueWidget(edition, parent, true) {}
};

class TPanelLangue : public TLangueWidget<TPanel> {
  Q_OBJECT

public:
  explicit TPanelLangue(TEdition& edition, QWidget* parent = nullptr) : TLangueWidget(edition, parent, true) {}
};

class TledLangue : public TLangueWidget<Tled> {
  Q_OBJECT

public:
  explicit TledLangue(TEdition& edition, QWidget* parent = nullptr) : TLangueWidget(edition, parent, false) {}
  // The lamp's own repaints (a status or colour change) show the hint again too.
  void Refresh() override { Repaint(); }
};

// A glyph button with a second action. Its context menu is its PopupMenu, often shared by
// several buttons: each time it opens for this button, its first item is bound to this
// button's OnClick and its second item to its OnAltClick.
class TBitBtnAlt : public QPushButton, public TObject {
  Q_OBJECT

public:
  explicit TBitBtnAlt(QWidget* parent = nullptr);

  TNotifyEvent OnClick;  // a left click, and the menu's first item
  TNotifyEvent OnAltClick;  // the menu's second item
  TPopupMenu* PopupMenu = nullptr;  // not owned
  TMenuPresenter MenuPresenter = QtPresentMenu;

  // Binds the menu to this button's actions; Handled stays true (no menu opens) when
  // there is no menu or it has no items.
  void ContextPopup(TObject* sender, int x, int y, bool& handled);

protected:
  void contextMenuEvent(QContextMenuEvent* event) override;
};
