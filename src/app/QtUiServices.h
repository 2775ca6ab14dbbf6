#pragma once

// The desktop services on Qt: the system beep, Qt message boxes and file dialogs, and the
// modal run of a window in a nested event loop (the scheduler's timer keeps firing in it).

#include <QString>
#include <QTranslator>
#include <QWidget>
#include <string>

#include "app/UiServices.h"
#include "runtime/Langue.h"

// Qt's own texts (the buttons of message boxes, the file dialogs, the edits' context menu)
// and formats in the edition's language, whatever the system's: the French edition installs
// Qt's French translations into `translator`, the English edition keeps Qt's built-in
// English. False when the French translations cannot be found.
bool InstallQtTexts(TLangue langue, QTranslator& translator);

// "Text|*.XMT|Text|*.*" as Qt's filters "Text (*.XMT);;Text (*.*)"; a text that already
// names its pattern is kept as it is.
QString QtFileFilter(const std::string& filter);

class QtUiServices : public TUiServices {
public:
  // Message boxes and file dialogs are placed over the given window when it is set.
  QWidget* Parent = nullptr;

  void Beep() override;
  TMsgResult MessageBox(const std::string& text, const std::string& caption, TMsgKind kind,
                        TMsgButtons buttons) override;
  void ReportError(const std::string& text) override;
  int RunModal(TForm& form) override;
  bool AskSavePath(const TFileDialogOptions& options, std::string& path) override;
  bool AskOpenPath(const TFileDialogOptions& options, std::string& path) override;
  void ShowMessage(const std::string& text) override;
};
