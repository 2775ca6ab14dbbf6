#pragma once

// The About box: product, version, credit line and the operating system the program runs on.

#include <functional>
#include <optional>

#include "app/Form.h"
#include "app/core/AboutSystem.h"

class QFrame;
class QLabel;
class QPushButton;
class TLabel;

class TAboutBox : public TForm {
  Q_OBJECT

public:
  explicit TAboutBox(TAppContext& app);

  // Where the system's name and release come from; uname unless a test gives its own. When
  // it tells nothing, the two system lines keep their previous text.
  std::function<std::optional<TSystemRecord>()> SystemInfo = CurrentSystemRecord;

  void OKButtonClick(TObject* sender);

  QLabel* Label1 = nullptr;  // the heading, black part
  QLabel* Label2 = nullptr;  // the heading, red part
  QFrame* Panel1 = nullptr;
  QLabel* ProgramIcon = nullptr;
  TLabel* ProductName = nullptr;
  TLabel* Version = nullptr;
  TLabel* Programmeur = nullptr;
  TLabel* Systeme = nullptr;
  TLabel* VersionWin = nullptr;
  QPushButton* OKButton = nullptr;

protected:
  // Fills the texts each time the window is shown.
  void FormShow() override;
};
