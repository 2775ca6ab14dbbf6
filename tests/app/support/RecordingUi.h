#pragma once

// Desktop services for the tests: every beep, message and modal run is recorded; message
// boxes and file dialogs answer what the test scripted; a modal window runs the test's
// script for it while it is shown, then closes unless the script closed it.

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/Form.h"
#include "app/UiServices.h"

class RecordingUi : public TUiServices {
public:
  int Beeps = 0;
  std::vector<std::string> Messages;      // ShowMessage and MessageBox texts, in order
  std::vector<std::string> ErrorReports;  // ReportError texts
  std::vector<std::string> ModalRuns;     // objectName of every window run modally
  std::deque<TMsgResult> MessageAnswers;  // taken in order; Ok when empty
  std::deque<std::string> SavePaths;      // "" cancels; taken in order; cancel when empty
  std::deque<std::string> OpenPaths;
  std::vector<TFileDialogOptions> FileDialogs;
  // By objectName: what the user does while the window is shown modally.
  std::map<std::string, std::function<void(TForm&)>> OnModal;
  // When set, messages are also shown by these services (the program's own message boxes,
  // modal in their event loop), and their answer is the one given.
  TUiServices* Desktop = nullptr;

  void Beep() override { ++Beeps; }
  TMsgResult MessageBox(const std::string& text, const std::string& caption, TMsgKind kind,
                        TMsgButtons buttons) override;
  void ReportError(const std::string& text) override { ErrorReports.push_back(text); }
  int RunModal(TForm& form) override;
  bool AskSavePath(const TFileDialogOptions& options, std::string& path) override;
  bool AskOpenPath(const TFileDialogOptions& options, std::string& path) override;
  void ShowMessage(const std::string& text) override;
};
