#pragma once

// Texts held in French and in English, shown in the language of the edition.
//
// The edition's language is fixed when the program starts: each program's main creates
// one TEdition with its build's language and hands it to the windows, which hand it to
// every two-language control. The edition also carries the little state that all
// two-language objects of one program share. A test builds its own TEdition for the
// edition it covers, so both editions are exercised side by side in one test program.

#include <string>

#include "runtime/Events.h"
#include "runtime/Langue.h"

class TEdition {
public:
  explicit TEdition(TLangue langue) : langue_(langue) {}
  TEdition(const TEdition&) = delete;
  TEdition& operator=(const TEdition&) = delete;

  TLangue Langue() const { return langue_; }

  // The last language written to any TMultiLangue of this program (English at start).
  TLangue CurrentLangue = TLangue::Anglais;
  // Set while a two-language control refreshes its siblings.
  bool LanguageRefreshBusy = false;

private:
  const TLangue langue_;
};

class TMultiLangue : public TObject {
public:
  explicit TMultiLangue(TEdition& edition) : edition_(edition) {}

  // Always the edition's language, whatever was written.
  TLangue Langue() const { return edition_.Langue(); }
  // A value that differs from the last one written on any set of the program is
  // remembered and fires this set's OnChangeLangue; any other write does nothing.
  void SetLangue(TLangue langue);

  std::string Texte_Francais;  // Windows-1252
  std::string Texte_Anglais;   // Windows-1252
  TNotifyEvent OnChangeLangue;

  // The text in the edition's language.
  const std::string& GetText() const;

  TEdition& Edition() const { return edition_; }

private:
  TEdition& edition_;
};
