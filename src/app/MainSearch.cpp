// The search page: the search button, the device tree with its drag and drop and editing,
// the information panel and "Use this device". The search itself runs as jobs of the
// sequencer; the answers reach the tree through the dispatch.

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QPushButton>

#include "app/Texts.h"
#include "app/UiServices.h"
#include "app/core/TagText.h"
#include "app/main.h"

void TMainForm::BindSearchPage() {
  connect(BtnSeach, &QPushButton::clicked, this, [this] { BtnRecherche(this); });
  connect(BtnProd, &QPushButton::clicked, this, [this] { BtnProdClick(this); });
  connect(BtnSearchOne, &QRadioButton::clicked, this, [this] { BtnSearchOneClick(this); });
  connect(BtnSearchTAG, &QRadioButton::clicked, this, [this] { BtnSearchTAGClick(this); });
  TreeView->OnEditing = [this](QTreeWidgetItem* node, bool& allow) { TreeViewEditing(this, node, allow); };
  TreeView->OnEdited = [this](QTreeWidgetItem* node, QString& text) { TreeViewEdited(this, node, text); };
  TreeView->OnDblClick = [this] { TreeViewDblClick(this); };
  TreeView->OnDragOver = [this](QObject* source, bool& accept) { LbProdDragOver(this, source, accept); };
  TreeView->OnDragDrop = [this](QObject* source, int target) { TreeViewDragDrop(this, source, target); };
  // The information panel takes a node dropped on it, whichever of its parts.
  for (QWidget* w : std::initializer_list<QWidget*>{GrInfo, LbProdInfo, BtnProd, InfoPanel, LbHard, LbSoft, LbSpec, LbComUniv,
                                                    LabelLangue12, LabelLangue13, LabelLangue14, LabelLangue15}) {
    w->setAcceptDrops(true);
    w->installEventFilter(this);
  }
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDragMoveEvent*>(event);
      bool accept = false;
      LbProdDragOver(this, drag->source(), accept);
      if (accept) {
        drag->acceptProposedAction();
      } else {
        drag->ignore();
      }
      return true;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      drop->setDropAction(Qt::IgnoreAction);
      drop->accept();
      LbProdDragDrop(this, drop->source());
      return true;
    }
    default:
      return QMainWindow::eventFilter(watched, event);
  }
}

void TMainForm::BtnProdClick(TObject*) { StartFullRead(); }

void TMainForm::BtnSearchOneClick(TObject*) {
  TreeView->show();
  EditConnectbyTAG->setEnabled(false);
}

void TMainForm::BtnSearchTAGClick(TObject*) {
  TreeView->hide();
  EditConnectbyTAG->setEnabled(true);
}

// Only an address node can be dragged, onto another node or the information panel.
void TMainForm::LbProdDragOver(TObject*, QObject* source, bool& accept) {
  accept = source == TreeView && TreeView->Selected() != TreeView->Node(0);
}

void TMainForm::LbProdDragDrop(TObject* sender, QObject* source) {
  if (source == TreeView && TreeView->AbsoluteIndex(TreeView->Selected()) - 1 == CurrentAddress) {
    ShowDeviceInfo(sender);
  } else {
    ClearDeviceInfo(sender);
  }
}

void TMainForm::TreeViewDragDrop(TObject* sender, QObject* source, int targetIndex) {
  if (source != TreeView || targetIndex < 0) return;  // no node under the drop point
  const int dragged = TreeView->AbsoluteIndex(TreeView->Selected()) - 1;
  const int target = targetIndex - 1;
  if (target == -1) {  // dropped on the root
    if (dragged == CurrentAddress) {
      ShowDeviceInfo(sender);
    } else {
      ClearDeviceInfo(sender);
    }
    return;
  }
  // The connected device dragged to another address: command 6 goes next.
  if (target != dragged && dragged == CurrentAddress) {
    NewPollingAddress = static_cast<Byte>(target);
    Jobs().Insert(300);
  }
}

// Only the connected device's node can be renamed.
void TMainForm::TreeViewEditing(TObject*, QTreeWidgetItem* node, bool& allowEdit) {
  allowEdit = node && TTreeView::SelectedIndex(*node) == -1 &&
              TreeView->AbsoluteIndex(TreeView->Selected()) - 1 == CurrentAddress;
}

// The device keeps 8 characters of packed text: a longer text, a character outside
// Windows-1252 (which would become '?') or one packed text has not would reach it changed,
// so the node goes back to the device's tag.
void TMainForm::TreeViewEdited(TObject* sender, QTreeWidgetItem*, QString& text) {
  const auto tag = FromQExactly(text);
  const bool tooLong = text.toUcs4().size() > 8;
  if (tooLong || !tag || !IsPackedText(*tag)) {
    app_.Ui.ShowMessage(tooLong ? Tx(Langue(), "Only 8 characters", "8 caractères au maximum")
                                : Cp(TagCharacterText(Langue())));
    app_.Ui.Beep();
    text = Q(Transmetteur.Tag);
    return;
  }
  EdTAG->SetText(AsciiUpperCase(*tag));
  // Inserted in reverse: the tag is written, then read back.
  Jobs().Insert(201);
  Jobs().Insert(303);
  ClearDeviceInfo(sender);
}

void TMainForm::TreeViewDblClick(TObject* sender) {
  if (TreeView->AbsoluteIndex(TreeView->Selected()) - 1 == CurrentAddress) {
    ShowDeviceInfo(sender);
  } else {
    ClearDeviceInfo(sender);
  }
}
