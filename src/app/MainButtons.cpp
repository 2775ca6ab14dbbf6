// The write and read buttons of the pages.

#include "app/main.h"

void TMainForm::BindButtons() {}
