#include "controls/QtServices.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPoint>
#include <memory>

#include "controls/QtCanvas.h"

void QtBeep() { QApplication::beep(); }

namespace {

void Fill(QMenu& menu, TMenuItem& parent, const std::shared_ptr<const bool>& alive) {
  for (int i = 0; i < parent.Count(); ++i) {
    TMenuItem* item = &parent.Items(i);
    if (item->Count() > 0) {
      QMenu* sub = menu.addMenu(ToQString(item->Caption));
      sub->setEnabled(item->Enabled);
      Fill(*sub, *item, alive);
      continue;
    }
    QAction* action = menu.addAction(ToQString(item->Caption));
    action->setEnabled(item->Enabled);
    if (item->Default) {
      QFont bold = action->font();
      bold.setBold(true);
      action->setFont(bold);
    }
    std::weak_ptr<const bool> weak = alive;
    QObject::connect(action, &QAction::triggered, [item, weak] {
      const auto token = weak.lock();
      if (token && *token) item->Click();
    });
  }
}

}  // namespace

void QtPresentMenu(TPopupMenu& menu, int screenX, int screenY) {
  auto* qmenu = new QMenu;
  qmenu->setAttribute(Qt::WA_DeleteOnClose);
  Fill(*qmenu, menu, menu.Alive());
  qmenu->popup(QPoint(screenX, screenY));
}
