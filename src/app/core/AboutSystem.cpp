#include "app/core/AboutSystem.h"

#include <sys/utsname.h>

namespace {

std::string Printable(const char* text) {
  std::string out;
  for (const char* p = text; *p != '\0'; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    out += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
  }
  return out;
}

}  // namespace

std::optional<TSystemRecord> CurrentSystemRecord() {
  utsname u{};
  if (uname(&u) != 0) return std::nullopt;
  return TSystemRecord{Printable(u.sysname), Printable(u.release)};
}

std::string AboutCaption(TLangue langue) { return Texte(langue, "About ...", "A propos de ..."); }

std::string AboutProductName(TLangue langue) { return Texte(langue, "Corvin - English", "Corvin - Fran\xE7" "ais"); }

std::string AboutVersion() { return "Version : 3.23"; }

std::string AboutCredit(TLangue langue) {
  return Texte(langue, "Programmer : the Ostrel software team", "Programmeur : l'\xE9quipe logicielle Ostrel");
}

std::string AboutSystemLine(const TSystemRecord& system) { return "Syst\xE8me : " + system.Name; }

std::string AboutSystemVersionLine(const TSystemRecord& system) { return "Version n\xB0 : " + system.Release; }
