// The menus and the other handlers of the main window.

#include "app/main.h"

void TMainForm::BindMenus() {}
