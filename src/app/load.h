#pragma once

// The load form: after a transmitter file was read, the user chooses group by group what
// of it is to be written to the connected device. "Update" copies the chosen groups into the
// main window's controls and the model and starts the job list that writes them and reads
// them back; "Cancel" changes nothing. Nothing is sent while the form is open.

#include <QListWidget>
#include <functional>
#include <string>

#include "app/Form.h"
#include "app/core/LoadQueue.h"
#include "runtime/Events.h"

class TLabel;
class TLabelLangue;
class TButtonLangue;
class TBitBtnLangue;
class TGroupBoxLangue;

// A list box of the load form: sorted, multi-select, items dragged to the other list. Its
// clicks, keys, mouse moves and drops go to the form's handlers.
class TLoadList : public QListWidget, public TObject {
  Q_OBJECT

public:
  explicit TLoadList(QWidget* parent = nullptr);

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  std::function<void(int key)> OnKeyDown;             // Qt key code
  std::function<void(const QPoint& pos)> OnMouseMove;  // viewport coordinates
  std::function<bool(QObject* source)> OnDragOver;     // true: the drop is accepted
  std::function<void(QObject* source)> OnDragDrop;

  // The items' texts in their order (Windows-1252).
  std::vector<std::string> Items() const;
  // The texts of the selected items, in list order.
  std::vector<std::string> SelectedItems() const;

protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void startDrag(Qt::DropActions supportedActions) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
};

class TLoadForm : public TForm {
  Q_OBJECT

public:
  explicit TLoadForm(TAppContext& app);

  // The main window's handler of the model's OnLoadedFormDisk: a file of the connected
  // device's maker and product (any in offline mode) opens the form modally; another one is
  // refused with a message box.
  void FileLoaded();

  bool IsGroupSelected(int group) const;
  void AddSelected();
  void RemoveSelected();
  void DeselectSource();
  void DeselectDestination();

  void BtnAddAllClick();
  void BtnAddClick();
  void BtnDelAllClick();
  void BtnDelClick();
  void ListSourceClick();
  void ListDestinationClick();
  void ListSourceDblClick();
  void ListDestinationDblClick();
  void ListSourceKeyDown(int key);
  void ListDestinationKeyDown(int key);
  void ListSourceMouseMove(const QPoint& pos);
  void ListDestinationMouseMove(const QPoint& pos);
  // A drag over either list is accepted when it comes from a list box.
  bool ListDragOver(TLoadList& target, QObject* source) const;
  void ListDragDrop(TLoadList& target, QObject* source);
  // "Update": the chosen groups are copied and written; the form closes.
  void BitBtnLangue1Click();
  // "Cancel".
  void BitBtnLangue2Click();

  // The list item of a group in the edition's words ("01 - Polling Address").
  std::string GroupItem(int group) const;

  TGroupBoxLangue* GroupBoxLangue1 = nullptr;
  TLabelLangue* LabelSource = nullptr;
  TLabelLangue* LabelDestination = nullptr;
  TLoadList* ListSource = nullptr;
  TLoadList* ListDestination = nullptr;
  TLabelLangue* LabelIdSource = nullptr;
  TLabel* LbIdSource = nullptr;
  TLabelLangue* LabelIdDestination = nullptr;
  TLabel* LbIdDestination = nullptr;
  TButtonLangue* BtnAddAll = nullptr;
  TButtonLangue* BtnAdd = nullptr;
  TButtonLangue* BtnDelAll = nullptr;
  TButtonLangue* BtnDel = nullptr;
  TBitBtnLangue* BitBtnLangue1 = nullptr;
  TLabelLangue* LabelLangue1 = nullptr;
  TLabelLangue* LabelLangue2 = nullptr;
  TBitBtnLangue* BitBtnLangue2 = nullptr;
  TLabelLangue* LabelLangue3 = nullptr;
  TLabelLangue* LabelLangue4 = nullptr;

protected:
  void FormShow() override;

private:
  void ApplyCopies(const TLoadCopies& copies);
  void ReportRefusals(const TLoadPlan& plan);
};
