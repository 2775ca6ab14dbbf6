#pragma once

// The Qt side of the controls' platform hooks: the beep and the context menu.

#include "controls/PopupMenu.h"

void QtBeep();

// Opens the menu without blocking; a choice made after the menu object died is dropped.
void QtPresentMenu(TPopupMenu& menu, int screenX, int screenY);
