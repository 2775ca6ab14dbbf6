#include "app/QtUiServices.h"

#include <QApplication>
#include <QFileDialog>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>

#include "app/Form.h"
#include "app/Texts.h"
#include "controls/QtServices.h"

bool InstallQtTexts(TLangue langue, QTranslator& translator) {
  const bool french = langue == TLangue::Francais;
  QLocale::setDefault(french ? QLocale(QLocale::French, QLocale::France) : QLocale(QLocale::English, QLocale::UnitedKingdom));
  if (!french) return true;
  if (!translator.load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) return false;
  return QCoreApplication::installTranslator(&translator);
}

void QtUiServices::Beep() { QtBeep(); }

TMsgResult QtUiServices::MessageBox(const std::string& text, const std::string& caption, TMsgKind kind,
                                    TMsgButtons buttons) {
  QMessageBox::Icon icon = QMessageBox::Information;
  switch (kind) {
    case TMsgKind::Information: icon = QMessageBox::Information; break;
    case TMsgKind::Warning: icon = QMessageBox::Warning; break;
    case TMsgKind::Error: icon = QMessageBox::Critical; break;
    case TMsgKind::Confirmation: icon = QMessageBox::Question; break;
  }
  QMessageBox::StandardButtons shown = QMessageBox::Ok;
  switch (buttons) {
    case TMsgButtons::Ok: shown = QMessageBox::Ok; break;
    case TMsgButtons::OkCancel: shown = QMessageBox::Ok | QMessageBox::Cancel; break;
    case TMsgButtons::YesNo: shown = QMessageBox::Yes | QMessageBox::No; break;
    case TMsgButtons::YesNoCancel: shown = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
  }
  QMessageBox box(icon, Q(caption), Q(text), shown, Parent);
  switch (box.exec()) {
    case QMessageBox::Yes: return TMsgResult::Yes;
    case QMessageBox::No: return TMsgResult::No;
    case QMessageBox::Cancel: return TMsgResult::Cancel;
    default: return TMsgResult::Ok;
  }
}

// Shown without a nested event loop, so that the code that reports (a tick of the
// sequencer) returns at once. While a modal window runs, the report takes the input in turn:
// otherwise that window would block it and it could not be acknowledged.
void QtUiServices::ReportError(const std::string& text) {
  auto* box = new QMessageBox(QMessageBox::Critical, QApplication::applicationName(), Q(text), QMessageBox::Ok, Parent);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(QApplication::activeModalWidget() ? Qt::ApplicationModal : Qt::NonModal);
  box->show();
}

int QtUiServices::RunModal(TForm& form) {
  form.ModalResult = 0;
  form.setModal(true);
  form.exec();
  form.setModal(false);
  return form.ModalResult;
}

QString QtFileFilter(const std::string& filter) {
  const QStringList parts = Q(filter).split('|');
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    // The texts of the program's filters already name their patterns ("Transmitter file (*.XMT)").
    const QString& text = parts[i];
    const QString& pattern = parts[i + 1];
    filters << (text.contains(QStringLiteral("(") + pattern + QStringLiteral(")")) ? text
                                                                                  : QStringLiteral("%1 (%2)").arg(text, pattern));
  }
  return filters.join(QStringLiteral(";;"));
}

namespace {

QString StartPath(const TFileDialogOptions& options) {
  QString dir = Q(options.InitialDir.empty() ? std::string(".") : options.InitialDir);
  if (options.FileName.empty()) return dir;
  return dir + '/' + Q(options.FileName);
}

// The file system's bytes of the chosen path.
std::string PathBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

bool QtUiServices::AskSavePath(const TFileDialogOptions& options, std::string& path) {
  // The dialog adds the default extension itself, before it asks whether to replace a file:
  // "CURVE" typed while CURVE.Lin exists asks about CURVE.Lin.
  QFileDialog dialog(Parent, Q(options.Title), StartPath(options), QtFileFilter(options.Filter));
  // Qt's own dialog, in both: its texts follow the edition, where the desktop's dialog
  // would follow the system's language.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(Q(options.DefaultExt));
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.OverwritePrompt);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  path = PathBytes(dialog.selectedFiles().constFirst());
  return true;
}

bool QtUiServices::AskOpenPath(const TFileDialogOptions& options, std::string& path) {
  QFileDialog dialog(Parent, Q(options.Title), StartPath(options), QtFileFilter(options.Filter));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  path = PathBytes(dialog.selectedFiles().constFirst());
  return true;
}

void QtUiServices::ShowMessage(const std::string& text) {
  MessageBox(text, FromQ(QApplication::applicationName()), TMsgKind::Information, TMsgButtons::Ok);
}
