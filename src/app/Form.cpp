#include "app/Form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QShowEvent>

#include "app/Texts.h"
#include "app/UiServices.h"

TForm::TForm(TAppContext& app, const char* name) : QDialog(nullptr), app_(app) {
  setObjectName(name);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

void TForm::Show() {
  // A window shown while a modal one runs (the error window over a trim) would be blocked by
  // it and could not be acknowledged: it takes the input in turn until it is closed.
  if (!isVisible()) {
    QWidget* modal = QApplication::activeModalWidget();
    setWindowModality(modal && modal != this ? Qt::ApplicationModal : Qt::NonModal);
  }
  show();
  raise();
}

void TForm::Close() { close(); }

int TForm::ShowModal() { return app_.Ui.RunModal(*this); }

void TForm::SetCaption(const std::string& caption) { setWindowTitle(Q(caption)); }

std::string TForm::Caption() const { return FromQ(windowTitle()); }

void TForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

// QDialog's own close handling would reject() and so call back here: the window just hides.
void TForm::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
}

void TForm::reject() { close(); }
