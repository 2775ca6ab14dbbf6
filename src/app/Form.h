#pragma once

// The base of the program's dialog windows: created once at start-up, hidden, then shown
// and closed, or run modally, as often as needed. FormShow runs each time the window is
// shown, FormClose each time it is closed, whichever way (its own button, the close box,
// Esc, or a caller's Close).

#include <QDialog>
#include <string>

#include "app/AppContext.h"
#include "runtime/Events.h"

class TForm : public QDialog, public TObject {
  Q_OBJECT

public:
  TForm(TAppContext& app, const char* name);

  // Free for the caller's use; several windows take their mode from it.
  int Tag = 0;
  // Set by a button of a modal window before it closes; what ShowModal returns.
  int ModalResult = 0;

  void Show();
  void Close();
  // Runs the window modally through the desktop services.
  int ShowModal();
  bool Visible() const { return isVisible(); }

  // The window's title, Windows-1252.
  void SetCaption(const std::string& caption);
  std::string Caption() const;

  TAppContext& App() const { return app_; }
  TLangue Langue() const { return app_.Langue(); }

  // Esc closes the window as its close box does.
  void reject() override;

protected:
  virtual void FormShow() {}
  virtual void FormClose() {}

  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

private:
  TAppContext& app_;
};
