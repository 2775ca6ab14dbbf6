#include "app/StdCtrls.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QValidator>
#include <QTabBar>
#include <QIcon>
#include <QVariant>
#include <algorithm>
#include <limits>
#include <vector>

#include "app/Texts.h"

// ---------------------------------------------------------------------------------------

namespace {

// What may be typed into a masked edit. The mask's literal characters (the decimal
// separator) cut its positions into groups; each group holds at most as many characters as
// it has positions: digits, blanks, and signs where the group has a '#'. A literal stands
// only at its place: it may be left out, and then nothing that belongs after it. So
// "!90,00" takes "4", "12,5" or " 4,00", never "1200" or "39870".
class TMaskValidator : public QValidator {
public:
  TMaskValidator(const std::string& positions, QObject* parent) : QValidator(parent) {
    groups_.push_back({});
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

  State validate(QString& input, int&) const override {
    std::size_t group = 0;
    int used = 0;
    for (const QChar c : input) {
      if (group + 1 < groups_.size() && c == groups_[group + 1].Literal) {
        ++group;
        used = 0;
        continue;
      }
      const TGroup& g = groups_[group];
      const bool fits = c == QLatin1Char(' ') || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                        (g.Sign && (c == QLatin1Char('+') || c == QLatin1Char('-')));
      if (!fits || ++used > g.Positions) return Invalid;
    }
    return Acceptable;
  }

private:
  struct TGroup {
    QChar Literal;  // the literal in front of the group; none for the first
    int Positions = 0;
    bool Sign = false;
  };
  std::vector<TGroup> groups_;
};

}  // namespace

TMaskEdit::TMaskEdit(QWidget* parent) : QLineEdit(parent) {
  // Once the user shortens a longer text the program wrote, the mask's length holds again.
  connect(this, &QLineEdit::textEdited, this, [this] { FitLength(); });
}

void TMaskEdit::SetEditMask(const std::string& mask) {
  editMask_ = mask;
  const std::string positions = mask.substr(0, mask.find(';'));
  int length = 0;
  for (char c : positions) length += c != '!';
  maskLength_ = length > 0 ? length : 32767;
  setAlignment(!positions.empty() && positions[0] == '!' ? Qt::AlignRight : Qt::AlignLeft);
  FitLength();
  const QValidator* previous = validator();
  setValidator(new TMaskValidator(positions, this));
  delete previous;
}

std::string TMaskEdit::Text() const { return FromQ(text()); }

// A value longer than the mask (a device's value with more digits than the display's
// decimals leave room for) is shown whole: cut, it would be written back as another value.
void TMaskEdit::SetText(const std::string& text) {
  const QString q = Q(text);
  setMaxLength(std::max(maskLength_, static_cast<int>(q.size())));
  setText(q);
}

void TMaskEdit::FitLength() { setMaxLength(std::max(maskLength_, static_cast<int>(text().size()))); }

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
