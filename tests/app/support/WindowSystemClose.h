#pragma once

// A close by the window system (the title bar's close box, a keyboard shortcut of the
// desktop): the window gets a spontaneous close event, and hides when it accepts it.

#include <QApplication>
#include <QCloseEvent>
#include <QSpontaneKeyEvent>
#include <QWidget>

inline void WindowSystemClose(QWidget& window) {
  QCloseEvent close;
  QSpontaneKeyEvent::setSpontaneous(&close);
  QApplication::instance()->notify(&window, &close);  // sendEvent would clear the mark
  if (close.isAccepted()) window.hide();
}
