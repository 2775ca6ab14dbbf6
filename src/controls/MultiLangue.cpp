#include "controls/MultiLangue.h"

void TMultiLangue::SetLangue(TLangue langue) {
  if (langue == edition_.CurrentLangue) return;
  edition_.CurrentLangue = langue;
  OnChangeLangue(this);
}

const std::string& TMultiLangue::GetText() const {
  return Langue() == TLangue::Francais ? Texte_Francais : Texte_Anglais;
}
