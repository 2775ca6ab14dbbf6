#pragma once

// Texts of the application: literals are UTF-8 in the sources, the model and the controls
// hold Windows-1252 bytes, Qt shows UTF-16.

#include <QString>
#include <optional>
#include <string>

#include "runtime/Langue.h"

class QWidget;
class TEdition;
class TLangueControl;

// A UTF-8 literal as Windows-1252 bytes.
std::string Cp(const char* utf8);
// The edition's wording, as Windows-1252 bytes.
inline std::string Tx(TLangue langue, const char* anglais, const char* francais) {
  return Cp(Texte(langue, anglais, francais));
}
// Windows-1252 bytes as Qt text, and back.
QString Q(const std::string& cp1252);
std::string FromQ(const QString& text);
// The text as Windows-1252 bytes when every character has one; nothing when one would become
// '?' (what the user typed would not be what goes on).
std::optional<std::string> FromQExactly(const QString& text);

// The caption set, then the hint set, of a two-language control (UTF-8 literals); the
// control shows the edition's wording at once. An empty hint leaves the hint set alone.
void SetTexts(TLangueControl& control, const char* anglais, const char* francais);
void SetHints(TLangueControl& control, const char* anglais, const char* francais);

// A two-language control of the edition, named, with its captions (UTF-8 literals).
template <class W>
W* MakeLangue(TEdition& edition, QWidget* parent, const char* name, const char* anglais, const char* francais) {
  auto* w = new W(edition, parent);
  if (name != nullptr) w->setObjectName(QLatin1String(name));
  SetTexts(*w, anglais, francais);
  return w;
}
