#include "app/QtUiServices.h"

#include <QApplication>
#include <QFileDialog>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>

#include "app/Form.h"
#include "app/Texts.h"
#include "controls/QtServices.h"

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
// sequencer) returns at once.
void QtUiServices::ReportError(const std::string& text) {
  auto* box = new QMessageBox(QMessageBox::Critical, QApplication::applicationName(), Q(text), QMessageBox::Ok, Parent);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setModal(false);
  box->show();
}


int QtUiServices::RunModal(TForm& form) {
  form.ModalResult = 0;
  form.setModal(true);
  form.exec();
  form.setModal(false);
  return form.ModalResult;
}

namespace {

// "Text|*.XMT|Text|*.*" as Qt filters: "Text (*.XMT);;Text (*.*)".
QString QtFilter(const std::string& filter) {
  const QStringList parts = Q(filter).split('|');
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) filters << QStringLiteral("%1 (%2)").arg(parts[i], parts[i + 1]);
  return filters.join(QStringLiteral(";;"));
}

QString StartPath(const TFileDialogOptions& options) {
  QString dir = Q(options.InitialDir.empty() ? std::string(".") : options.InitialDir);
  if (options.FileName.empty()) return dir;
  return dir + '/' + Q(options.FileName);
}

QString WithDefaultExt(QString path, const std::string& ext) {
  if (!path.isEmpty() && !ext.empty() && QFileInfo(path).suffix().isEmpty()) path += '.' + Q(ext);
  return path;
}

}  // namespace

bool QtUiServices::AskSavePath(const TFileDialogOptions& options, std::string& path) {
  QFileDialog::Options flags;
  if (!options.OverwritePrompt) flags |= QFileDialog::DontConfirmOverwrite;
  const QString chosen =
      QFileDialog::getSaveFileName(Parent, Q(options.Title), StartPath(options), QtFilter(options.Filter), nullptr, flags);
  if (chosen.isEmpty()) return false;
  path = QFile::encodeName(WithDefaultExt(chosen, options.DefaultExt)).toStdString();  // the file system's bytes
  return true;
}

bool QtUiServices::AskOpenPath(const TFileDialogOptions& options, std::string& path) {
  const QString chosen = QFileDialog::getOpenFileName(Parent, Q(options.Title), StartPath(options), QtFilter(options.Filter));
  if (chosen.isEmpty()) return false;
  path = QFile::encodeName(chosen).toStdString();
  return true;
}

void QtUiServices::ShowMessage(const std::string& text) {
  MessageBox(text, FromQ(QApplication::applicationName()), TMsgKind::Information, TMsgButtons::Ok);
}
