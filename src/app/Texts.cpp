#include "app/Texts.h"

#include "controls/Cp1252.h"
#include "controls/MyControls.h"

std::string Cp(const char* utf8) { return Utf16ToCp1252(QString::fromUtf8(utf8).toStdU16String()); }

QString Q(const std::string& cp1252) { return QString::fromStdU16String(Cp1252ToUtf16(cp1252)); }

std::string FromQ(const QString& text) { return Utf16ToCp1252(text.toStdU16String()); }

std::optional<std::string> FromQExactly(const QString& text) {
  std::string bytes = FromQ(text);
  if (Q(bytes) != text) return std::nullopt;
  return bytes;
}

void SetTexts(TLangueControl& control, const char* anglais, const char* francais) {
  if (TMultiLangue* set = control.CaptionSet()) {
    set->Texte_Anglais = Cp(anglais);
    set->Texte_Francais = Cp(francais);
  }
  control.Loaded();
}

void SetHints(TLangueControl& control, const char* anglais, const char* francais) {
  control.HintSet.Texte_Anglais = Cp(anglais);
  control.HintSet.Texte_Francais = Cp(francais);
  control.Loaded();
}
