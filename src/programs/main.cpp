// The program: corvin-en or corvin-fr, the same sources built with their edition's language.

#include <QApplication>
#include <QLocale>
#include <QTranslator>
#include <string>
#include <vector>

#include "app/Program.h"
#include "app/QtScheduler.h"
#include "app/QtUiServices.h"
#include "app/main.h"

#ifndef CORVIN_LANGUE
#error "CORVIN_LANGUE chooses the edition: 0 English, 1 French"
#endif

namespace {

// The user's number and date settings, read once at start-up.
TFormatSettings SystemFormatSettings() {
  TFormatSettings fs;
  const QLocale locale = QLocale::system();
  const QString point = locale.decimalPoint();
  if (point.size() == 1 && point[0].unicode() < 0x80) fs.DecimalSeparator = static_cast<char>(point[0].unicode());
  for (QChar c : locale.dateFormat(QLocale::ShortFormat)) {
    if (!c.isLetter()) {
      if (c.unicode() < 0x80 && c != ' ') fs.DateSeparator = static_cast<char>(c.unicode());
      break;
    }
  }
  return fs;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);  // the program's objects give it its title
  const auto edition = static_cast<TLangue>(CORVIN_LANGUE);
  QTranslator qtTexts;
  if (!InstallQtTexts(edition, qtTexts)) qWarning("Qt's French translations were not found: its dialogs stay in English");

  std::vector<std::string> args(argv + 1, argv + argc);
  QtScheduler scheduler;
  QtUiServices ui;
  TProgram program(edition, scheduler, ui, SystemFormatSettings(), {}, args);
  TMainForm& mainForm = program.MainForm();
  ui.Parent = &mainForm;

  mainForm.show();
  mainForm.FormShow();
  // No port chosen: the main window closed itself and the program ends.
  if (!mainForm.isVisible()) return 0;
  return QApplication::exec();
}
