#pragma once

// Stand-ins for the standard controls of the windows that Qt has no exact twin for: the
// masked number edit, the static text, the tabbed notebook whose page changes can be
// refused, and menu items with a tag.

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTreeWidget>
#include <functional>
#include <string>

#include "controls/PopupMenu.h"
#include "runtime/Events.h"

// A one-line edit with an edit mask such as "!###0.00;1;_", whose places are fixed: as many
// characters before the mask's decimal separator as it has positions there (digits, blanks,
// a sign where '#' allows one), then the separator and as many after it; a mask without a
// separator limits the length alone. A character typed where the separator stands goes on
// after it ("39870" typed into "!90,0000" shows "39,870"). A keystroke that has no place is
// refused with a beep, and so is a text put in at once (pasted, dropped) that the mask cannot
// hold whole: the edit keeps its text, so what it shows is what will be sent. SetText is not
// checked, and a text it sets longer than the mask can still be shortened. The text is
// right-aligned when the mask begins with '!'.
class TMaskValidator;

class TMaskEdit : public QLineEdit {
  Q_OBJECT

public:
  explicit TMaskEdit(QWidget* parent = nullptr);

  const std::string& EditMask() const { return editMask_; }
  void SetEditMask(const std::string& mask);
  // The characters the mask holds: what the user can type at most.
  int MaskLength() const { return maskLength_; }
  // Windows-1252. A text the program sets is never cut, even when it is longer than the mask.
  std::string Text() const;
  void SetText(const std::string& text);

  // The beep of refused input; the owner routes it through its desktop services.
  TBeepHook Beep;

protected:
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;

private:
  friend class TMaskValidator;
  bool Accepts(const QString& text) const;
  bool Type(QChar c);
  bool StepOverSeparator(bool backward);
  void Shown(const QString& text);

  std::string editMask_;
  int maskLength_ = 32767;
  TMaskValidator* places_ = nullptr;
  // While the program sets the text: whatever it is, it is shown whole.
  bool setting_ = false;
  // The texts shown since the program last set one, where undo and redo may go back.
  QStringList shown_;
};

// A one-line edit whose text is Windows-1252 in and out.
class TEdit : public QLineEdit {
  Q_OBJECT

public:
  explicit TEdit(QWidget* parent = nullptr);
  std::string Text() const;
  void SetText(const std::string& text);
};

// A plain label: its caption is Windows-1252; a click fires OnClick.
class TLabel : public QLabel, public TObject {
  Q_OBJECT

public:
  explicit TLabel(QWidget* parent = nullptr);
  std::string Caption() const;
  void SetCaption(const std::string& text);
  TNotifyEvent OnClick;

protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

// A label in a sunken frame.
class TStaticText : public QLabel {
  Q_OBJECT

public:
  explicit TStaticText(QWidget* parent = nullptr);
  std::string Caption() const;
  void SetCaption(const std::string& text);
};

// A notebook whose page changes, by the user or by the program, first ask OnChanging; a
// change it refuses leaves the current page as it is.
class TTabbedNotebook : public QTabWidget {
  Q_OBJECT

public:
  explicit TTabbedNotebook(QWidget* parent = nullptr);

  // newTab, allowChange (true on entry).
  std::function<void(int, bool&)> OnChanging;

  int PageIndex() const { return currentIndex(); }
  // Asks OnChanging, then changes the page when allowed.
  void SetPageIndex(int index);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

private:
  bool Allowed(int index);
  bool changing_ = false;
};

// The device tree: a root node and its children, each node with the three image indexes of
// its form (image, selected image, state image; -1 for none), which a node's icon shows.
class TTreeView : public QTreeWidget {
  Q_OBJECT

public:
  explicit TTreeView(QWidget* parent = nullptr);

  // The node at an absolute index (0 the root, then its children in order); null outside.
  QTreeWidgetItem* Node(int absoluteIndex) const;
  int NodeCount() const;
  // The absolute index of a node; -1 for null.
  int AbsoluteIndex(const QTreeWidgetItem* node) const;

  static int ImageIndex(const QTreeWidgetItem& node);
  static int SelectedIndex(const QTreeWidgetItem& node);
  static int StateIndex(const QTreeWidgetItem& node);
  void SetImages(QTreeWidgetItem& node, int image, int selected, int state);
  // Windows-1252.
  static std::string Text(const QTreeWidgetItem& node);
  static void SetText(QTreeWidgetItem& node, const std::string& text);

  QTreeWidgetItem* Selected() const;
  // Selects the node (null: none).
  void SetSelected(QTreeWidgetItem* node);

  // The owner's handlers. A node is edited only when OnEditing allows it; OnEdited gets the
  // text as typed in the editor (not yet Windows-1252, so that the owner sees every
  // character) and may change what the node keeps. OnEdited runs once the editor is closed,
  // so that it may show a message: a modal window's event loop inside the commit would let
  // the tree commit again and close the editor twice. A drag over the tree asks OnDragOver
  // (the drag's source widget); a drop calls OnDragDrop with the absolute index of the node
  // under the drop point (-1 where no node lies) and never copies or moves a node itself.
  std::function<void(QTreeWidgetItem* node, bool& allowEdit)> OnEditing;
  std::function<void(QTreeWidgetItem* node, QString& text)> OnEdited;
  std::function<void()> OnDblClick;
  std::function<void(QObject* source, bool& accept)> OnDragOver;
  std::function<void(QObject* source, int absoluteIndex)> OnDragDrop;

protected:
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
  void commitData(QWidget* editor) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

private:
  void ShowImages(QTreeWidgetItem& node);
  // Hands the committed text to OnEdited and the node.
  void FinishEdit();
  // The node whose editor is open: the current node may change before the text is taken.
  QPersistentModelIndex editing_;
  // The edit committed and not yet handed over: its node and text.
  QPersistentModelIndex committed_;
  QString committedText_;
};

// Checks or unchecks a check box or radio button as the program does: a radio button can
// be unchecked too, leaving none of its group checked.
void SetChecked(QAbstractButton& button, bool checked);

// A menu item with the tag its form gives it.
int MenuTag(const QAction& item);
void SetMenuTag(QAction& item, int tag);
