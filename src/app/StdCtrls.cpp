#include "app/StdCtrls.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QValidator>
#include <QTabBar>
#include <QIcon>
#include <QInputMethodEvent>
#include <QVariant>
#include <algorithm>
#include <limits>
#include <optional>
#include <vector>

#include "app/Texts.h"
#include "controls/QtServices.h"

// ---------------------------------------------------------------------------------------

// The places of a mask, and the judge of every change that Qt makes to a masked edit's text
// by itself (a paste, a drop, a deletion, undo and redo). The mask's literal characters (the
// decimal separator) cut its positions into groups; each group holds at most as many
// characters as it has positions: digits, blanks, and signs where the group has a '#'. A
// literal stands only at its place: it may be left out, and then nothing that belongs after
// it. So "!90,00" holds "4", "12,5" or " 4,00", never "1200" or "39870".
class TMaskValidator : public QValidator {
public:
  explicit TMaskValidator(TMaskEdit& edit) : QValidator(&edit), edit_(edit) {}

  void SetPositions(const std::string& positions) {
    groups_.assign(1, {});
    for (char c : positions) {
      switch (c) {
        case '!': break;
        case '#': groups_.back().Sign = true; [[fallthrough]];
        case '0':
        case '9': ++groups_.back().Positions; break;
        default: groups_.push_back({QChar::fromLatin1(c), 0, false}); break;
      }
    }
    if (groups_.size() == 1 && groups_[0].Positions == 0) groups_[0].Positions = std::numeric_limits<int>::max();
  }

  bool Fits(const QString& text) const {
    std::size_t group = 0;
    int used = 0;
    return Walk(text, text.size(), group, used);
  }

  bool IsLiteral(QChar c) const {
    return std::any_of(groups_.begin() + 1, groups_.end(), [c](const TGroup& g) { return g.Literal == c; });
  }

  // The literal that a character typed at `at` goes after: the group in front of `at` is
  // full and the literal comes next in the mask, standing at `at` already or not typed yet.
  std::optional<QChar> SeparatorAt(const QString& text, qsizetype at) const {
    std::size_t group = 0;
    int used = 0;
    if (!Walk(text, at, group, used) || group + 1 >= groups_.size() || used < groups_[group].Positions) return std::nullopt;
    const QChar literal = groups_[group + 1].Literal;
    if (at < text.size() && text[at] != literal) return std::nullopt;
    return literal;
  }

  State validate(QString& input, int&) const override { return edit_.Accepts(input) ? Acceptable : Invalid; }

private:
  struct TGroup {
    QChar Literal;  // the literal in front of the group; none for the first
    int Positions = 0;
    bool Sign = false;
  };

  // Follows the text's first `end` characters through the groups: false as soon as one has
  // no place; else the group reached and the places it uses.
  bool Walk(const QString& text, qsizetype end, std::size_t& group, int& used) const {
    for (qsizetype i = 0; i < end; ++i) {
      const QChar c = text[i];
      if (group + 1 < groups_.size() && c == groups_[group + 1].Literal) {
        ++group;
        used = 0;
        continue;
      }
      const TGroup& g = groups_[group];
      const bool fits = c == QLatin1Char(' ') || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                        (g.Sign && (c == QLatin1Char('+') || c == QLatin1Char('-')));
      if (!fits || ++used > g.Positions) return false;
    }
    return true;
  }

  TMaskEdit& edit_;
  std::vector<TGroup> groups_;
};

namespace {

// The text before a change with one run of characters taken out, none of them a literal:
// a text longer than its mask grows shorter without its groups running together.
bool Shortened(const QString& before, const QString& after, const TMaskValidator& places) {
  if (after.size() >= before.size()) return false;
  qsizetype same = 0;
  while (same < after.size() && after[same] == before[same]) ++same;
  const qsizetype removed = before.size() - after.size();
  if (QStringView(after).mid(same) != QStringView(before).mid(same + removed)) return false;
  const QStringView gone = QStringView(before).mid(same, removed);
  return std::none_of(gone.begin(), gone.end(), [&](QChar c) { return places.IsLiteral(c); });
}

}  // namespace

TMaskEdit::TMaskEdit(QWidget* parent) : QLineEdit(parent), Beep(QtBeep), shown_{QString()} {
  connect(this, &QLineEdit::textChanged, this, [this](const QString& text) { Shown(text); });
  // Qt has already put the text back when it rejects a change.
  connect(this, &QLineEdit::inputRejected, this, [this] {
    if (Beep) Beep();
  });
}

void TMaskEdit::SetEditMask(const std::string& mask) {
  editMask_ = mask;
  const std::string positions = mask.substr(0, mask.find(';'));
  int length = 0;
  for (char c : positions) length += c != '!';
  maskLength_ = length > 0 ? length : 32767;
  setAlignment(!positions.empty() && positions[0] == '!' ? Qt::AlignRight : Qt::AlignLeft);
  if (!places_) {
    places_ = new TMaskValidator(*this);
    setValidator(places_);
  }
  places_->SetPositions(positions);
}

std::string TMaskEdit::Text() const { return FromQ(text()); }

// A value longer than the mask (a device's value with more digits than the display's
// decimals leave room for) is shown whole: cut, it would be written back as another value.
void TMaskEdit::SetText(const std::string& text) {
  setting_ = true;
  setText(Q(text));
  setting_ = false;
  shown_ = QStringList{this->text()};
}

void TMaskEdit::Shown(const QString& text) {
  shown_.removeAll(text);
  shown_.append(text);
}

// What the mask takes, a shortening of a text the program set longer, or a text shown before.
bool TMaskEdit::Accepts(const QString& text) const {
  return setting_ || places_->Fits(text) || Shortened(shown_.back(), text, *places_) || shown_.contains(text);
}

// One typed character, in place of the selection: where it stands when the mask takes it
// there, else after the separator when it is typed where the separator belongs. False when
// it has no place.
bool TMaskEdit::Type(QChar c) {
  const QString now = text();
  const qsizetype from = hasSelectedText() ? selectionStart() : cursorPosition();
  const qsizetype to = hasSelectedText() ? selectionEnd() : from;
  if (from == to && from < now.size() && now[from] == c && places_->IsLiteral(c)) {
    cursorForward(false);  // the separator is at its place already
    return true;
  }
  const QString rest = QString(now).remove(from, to - from);
  if (places_->Fits(QString(rest).insert(from, c))) {
    insert(QString(c));
    return true;
  }
  const std::optional<QChar> separator = places_->SeparatorAt(rest, from);
  if (!separator) return false;
  // The separator already typed goes with the selection and comes back in front of c.
  const qsizetype replaced = to - from + (from < rest.size() ? 1 : 0);
  const QString typed = QString(*separator) + c;
  if (!places_->Fits(QString(now).replace(from, replaced, typed))) return false;
  if (replaced > 0) setSelection(static_cast<int>(from), static_cast<int>(replaced));
  insert(typed);
  return true;
}

// Backspace or Delete on the separator when the groups on both sides would not fit together:
// the separator stays at its place and the cursor passes over it.
bool TMaskEdit::StepOverSeparator(bool backward) {
  if (hasSelectedText()) return false;
  const QString now = text();
  const int at = backward ? cursorPosition() - 1 : cursorPosition();
  if (at < 0 || at >= now.size() || !places_->IsLiteral(now[at])) return false;
  if (places_->Fits(QString(now).remove(at, 1))) return false;
  if (backward) {
    cursorBackward(false);
  } else {
    cursorForward(false);
  }
  return true;
}

void TMaskEdit::keyPressEvent(QKeyEvent* event) {
  if (!places_ || isReadOnly()) return QLineEdit::keyPressEvent(event);
  const QString typed = event->text();
  const Qt::KeyboardModifiers mods = event->modifiers();
  // A character key, as the line edit itself tells one from a shortcut.
  if (typed.size() == 1 && typed[0].isPrint() && mods != Qt::ControlModifier &&
      mods != (Qt::ShiftModifier | Qt::ControlModifier)) {
    if (!Type(typed[0]) && Beep) Beep();
    event->accept();
    return;
  }
  const bool backspace = event->key() == Qt::Key_Backspace && !(mods & Qt::ControlModifier);
  if ((backspace && StepOverSeparator(true)) || (event->matches(QKeySequence::Delete) && StepOverSeparator(false))) {
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

// Some keyboards (on-screen ones, compositions) hand their characters over through the input
// method: one character committed alone is a keystroke like any other.
void TMaskEdit::inputMethodEvent(QInputMethodEvent* event) {
  const QString typed = event->commitString();
  if (!places_ || isReadOnly() || typed.size() != 1 || !event->preeditString().isEmpty() ||
      event->replacementLength() != 0) {
    return QLineEdit::inputMethodEvent(event);
  }
  QInputMethodEvent composed(QString(), event->attributes());  // ends any composition shown
  QLineEdit::inputMethodEvent(&composed);
  if (!Type(typed[0]) && Beep) Beep();
  event->accept();
}

// ---------------------------------------------------------------------------------------

TEdit::TEdit(QWidget* parent) : QLineEdit(parent) {}

std::string TEdit::Text() const { return FromQ(text()); }

void TEdit::SetText(const std::string& text) { setText(Q(text)); }

// ---------------------------------------------------------------------------------------

TLabel::TLabel(QWidget* parent) : QLabel(parent) {}

std::string TLabel::Caption() const { return FromQ(text()); }

void TLabel::SetCaption(const std::string& text) { setText(Q(text)); }

void TLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) OnClick(this);
}

// ---------------------------------------------------------------------------------------

TStaticText::TStaticText(QWidget* parent) : QLabel(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setAlignment(Qt::AlignCenter);
}

std::string TStaticText::Caption() const { return FromQ(text()); }

void TStaticText::SetCaption(const std::string& text) { setText(Q(text)); }

// ---------------------------------------------------------------------------------------

TTabbedNotebook::TTabbedNotebook(QWidget* parent) : QTabWidget(parent) { tabBar()->installEventFilter(this); }

bool TTabbedNotebook::Allowed(int index) {
  bool allow = true;
  if (OnChanging) OnChanging(index, allow);
  return allow;
}

void TTabbedNotebook::SetPageIndex(int index) {
  if (index < 0 || index >= count() || changing_) return;
  changing_ = true;
  const bool allow = Allowed(index);
  changing_ = false;
  if (allow) setCurrentIndex(index);
}

// The tab bar's own page changes (a click, the arrow keys, the wheel) go through
// SetPageIndex, so that they can be refused like the program's.
bool TTabbedNotebook::eventFilter(QObject* watched, QEvent* event) {
  if (watched != tabBar()) return QTabWidget::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() != Qt::LeftButton) return true;
      const int index = tabBar()->tabAt(mouse->position().toPoint());
      if (index >= 0 && index != currentIndex()) SetPageIndex(index);
      return true;
    }
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      int step = 0;
      if (key->key() == Qt::Key_Left) step = -1;
      if (key->key() == Qt::Key_Right) step = 1;
      if (step == 0) return false;
      SetPageIndex(currentIndex() + step);
      return true;
    }
    case QEvent::Wheel:
      return true;
    default:
      return false;
  }
}

// Ctrl+Tab and Ctrl+Shift+Tab from anywhere in the notebook: the next or previous enabled
// page, asked first like every other change.
void TTabbedNotebook::keyPressEvent(QKeyEvent* event) {
  const bool ctrlTab = (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) &&
                       (event->modifiers() & Qt::ControlModifier);
  if (!ctrlTab) return QTabWidget::keyPressEvent(event);
  event->accept();
  const int pages = count();
  if (pages < 2) return;
  const int step = event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier) ? -1 : 1;
  int page = currentIndex();
  for (int pass = 0; pass < pages; ++pass) {
    page = (page + step + pages) % pages;
    if (isTabEnabled(page)) {
      SetPageIndex(page);
      return;
    }
  }
}

// ---------------------------------------------------------------------------------------

namespace {
constexpr int ImageRole = Qt::UserRole + 1;
constexpr int SelectedRole = Qt::UserRole + 2;
constexpr int StateRole = Qt::UserRole + 3;
}  // namespace

TTreeView::TTreeView(QWidget* parent) : QTreeWidget(parent) {
  setHeaderHidden(true);
  setColumnCount(1);
  // A click on the selected node, or F2, renames it; a double click is the owner's.
  setEditTriggers(SelectedClicked | EditKeyPressed);
  connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* now, QTreeWidgetItem* before) {
    if (before) ShowImages(*before);
    if (now) ShowImages(*now);
  });
}

QTreeWidgetItem* TTreeView::Node(int absoluteIndex) const {
  if (absoluteIndex < 0 || topLevelItemCount() == 0) return nullptr;
  QTreeWidgetItem* root = topLevelItem(0);
  if (absoluteIndex == 0) return root;
  return absoluteIndex - 1 < root->childCount() ? root->child(absoluteIndex - 1) : nullptr;
}

int TTreeView::NodeCount() const { return topLevelItemCount() == 0 ? 0 : 1 + topLevelItem(0)->childCount(); }

int TTreeView::AbsoluteIndex(const QTreeWidgetItem* node) const {
  if (!node || topLevelItemCount() == 0) return -1;
  QTreeWidgetItem* root = topLevelItem(0);
  if (node == root) return 0;
  const int i = root->indexOfChild(const_cast<QTreeWidgetItem*>(node));
  return i < 0 ? -1 : i + 1;
}

int TTreeView::ImageIndex(const QTreeWidgetItem& node) { return node.data(0, ImageRole).toInt(); }
int TTreeView::SelectedIndex(const QTreeWidgetItem& node) { return node.data(0, SelectedRole).toInt(); }
int TTreeView::StateIndex(const QTreeWidgetItem& node) { return node.data(0, StateRole).toInt(); }

void TTreeView::SetImages(QTreeWidgetItem& node, int image, int selected, int state) {
  node.setData(0, ImageRole, image);
  node.setData(0, SelectedRole, selected);
  node.setData(0, StateRole, state);
  ShowImages(node);
}

std::string TTreeView::Text(const QTreeWidgetItem& node) { return FromQ(node.text(0)); }

void TTreeView::SetText(QTreeWidgetItem& node, const std::string& text) { node.setText(0, Q(text)); }

QTreeWidgetItem* TTreeView::Selected() const { return currentItem(); }

void TTreeView::SetSelected(QTreeWidgetItem* node) {
  if (node) {
    setCurrentItem(node);
  } else {
    setCurrentItem(nullptr);
    clearSelection();
  }
}

bool TTreeView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  QTreeWidgetItem* node = itemFromIndex(index);
  if (trigger != NoEditTriggers && trigger != CurrentChanged && node) {
    bool allow = static_cast<bool>(OnEditing);
    if (OnEditing) OnEditing(node, allow);
    if (!allow) return false;
    // Any node can be renamed once the owner allows it.
    node->setFlags(node->flags() | Qt::ItemIsEditable);
  }
  const bool opened = QTreeWidget::edit(index, trigger, event);
  if (opened && indexWidget(index) != nullptr) editing_ = index;
  return opened;
}

// The text is taken now; the tree closes the editor next, and the text goes to the owner
// and the node afterwards, from the event loop. A second commit of the same edit before
// then (the editor losing the focus as it closes) only takes its text again.
void TTreeView::commitData(QWidget* editor) {
  auto* line = qobject_cast<QLineEdit*>(editor);
  QTreeWidgetItem* node = editing_.isValid() ? itemFromIndex(editing_) : currentItem();
  if (!line || !node) return QTreeWidget::commitData(editor);
  const bool handedOver = !committed_.isValid();
  committed_ = indexFromItem(node);
  committedText_ = line->text();
  if (handedOver) QMetaObject::invokeMethod(this, [this] { FinishEdit(); }, Qt::QueuedConnection);
}

void TTreeView::FinishEdit() {
  QTreeWidgetItem* node = committed_.isValid() ? itemFromIndex(committed_) : nullptr;
  QString text = committedText_;
  committed_ = QPersistentModelIndex();
  if (!node) return;
  if (OnEdited) OnEdited(node, text);
  node->setText(0, text);
}

void TTreeView::mouseDoubleClickEvent(QMouseEvent* event) {
  QTreeWidget::mouseDoubleClickEvent(event);
  if (OnDblClick) OnDblClick();
}

void TTreeView::dragEnterEvent(QDragEnterEvent* event) { dragMoveEvent(event); }

void TTreeView::dragMoveEvent(QDragMoveEvent* event) {
  bool accept = false;
  if (OnDragOver) OnDragOver(event->source(), accept);
  if (accept) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void TTreeView::dropEvent(QDropEvent* event) {
  const int target = AbsoluteIndex(itemAt(event->position().toPoint()));
  event->setDropAction(Qt::IgnoreAction);
  event->accept();
  if (OnDragDrop) OnDragDrop(event->source(), target);
}

// The icon a node shows: its selected image while it is the current node, else its image,
// and its state image in front when it has one. The pictures come from the owner through
// the "ImageList" property (a list of icons).
void TTreeView::ShowImages(QTreeWidgetItem& node) {
  const QVariantList images = property("ImageList").toList();
  auto picture = [&](int i) { return i >= 0 && i < images.size() ? images[i].value<QIcon>() : QIcon(); };
  const int shown = &node == currentItem() ? SelectedIndex(node) : ImageIndex(node);
  QIcon icon = picture(StateIndex(node));
  if (icon.isNull()) icon = picture(shown);
  node.setIcon(0, icon);
}

// ---------------------------------------------------------------------------------------

void SetChecked(QAbstractButton& button, bool checked) {
  if (button.isChecked() == checked) return;
  if (checked) {
    button.setChecked(true);  // its radio siblings go off
    return;
  }
  const bool exclusive = button.autoExclusive();
  button.setAutoExclusive(false);
  button.setChecked(false);
  button.setAutoExclusive(exclusive);
}

int MenuTag(const QAction& item) { return item.property("Tag").toInt(); }

void SetMenuTag(QAction& item, int tag) { item.setProperty("Tag", tag); }
