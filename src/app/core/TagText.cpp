#include "app/core/TagText.h"

bool IsPackedText(const std::string& text) {
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (!((c >= 0x20 && c <= 0x5F) || (c >= 'a' && c <= 'z'))) return false;
  }
  return true;
}

std::string AsciiUpperCase(const std::string& text) {
  std::string upper = text;
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return upper;
}

const char* TagCharacterText(TLangue langue) {
  return Texte(langue, "Character not allowed in a TAG", "Caractère non autorisé dans un TAG");
}
