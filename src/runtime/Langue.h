#pragma once

// Language of an edition: every text compiled into the program exists in both.
enum class TLangue : int { Anglais = 0, Francais = 1 };

// The wording of a text in the given language.
inline const char* Texte(TLangue langue, const char* anglais, const char* francais) {
  return langue == TLangue::Francais ? francais : anglais;
}
