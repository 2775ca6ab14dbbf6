#pragma once

// What the windows need from the desktop besides their own controls: the beep of refused
// input, message boxes, the modal run of a dialog and the file dialogs. The programs use
// the Qt version; the tests a recording one.

#include <string>

#include "model/Xmt.h"

class TForm;

// Buttons of a message box, and the button that closed it.
enum class TMsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class TMsgResult { Ok, Cancel, Yes, No };
enum class TMsgKind { Information, Warning, Error, Confirmation };

class TUiServices : public TXmtDialogs {
public:
  // The short beep of refused input.
  virtual void Beep() = 0;
  // A modal message box; texts are Windows-1252.
  virtual TMsgResult MessageBox(const std::string& text, const std::string& caption, TMsgKind kind,
                                TMsgButtons buttons) = 0;
  // A message that does not wait for the user (the report of a number that does not
  // convert, raised while the sequencer ticks).
  virtual void ReportError(const std::string& text) = 0;
  // Runs the form modally: shows it, returns once it is closed, gives its ModalResult. The
  // program's timers go on ticking meanwhile.
  virtual int RunModal(TForm& form) = 0;
};
