#pragma once

// What the builders of the main window's pages share (MainPages.cpp, MainPagesSetup.cpp):
// two-language controls made in the edition's language, named plain controls, value labels
// and the write buttons.

#include <QComboBox>
#include <QString>
#include <initializer_list>
#include <string>

#include "app/Texts.h"
#include "app/main.h"

namespace mainpages {

// Makes the controls of one page in the edition's language.
class TKit {
public:
  explicit TKit(TMainForm& form) : edition_(form.App().Edition), langue_(form.Langue()) {}

  // A text of the edition for a plain control.
  QString Tr(const char* anglais, const char* francais) const {
    return QString::fromUtf8(Texte(langue_, anglais, francais));
  }

  // A two-language control with its captions and, when given, its hints.
  template <class W>
  W* Langue(QWidget* parent, const char* name, const char* anglais, const char* francais,
            const char* hintAnglais = nullptr, const char* hintFrancais = nullptr) const {
    auto* w = MakeLangue<W>(edition_, parent, name, anglais, francais);
    if (hintAnglais != nullptr) SetHints(*w, hintAnglais, hintFrancais);
    return w;
  }

  // The caption of a field that has no name of its own.
  TLabelLangue* Caption(QWidget* parent, const char* anglais, const char* francais) const {
    return Langue<TLabelLangue>(parent, nullptr, anglais, francais);
  }

  // "Send data to the transmitter", the hint of most write buttons.
  QString SendHint() const { return Tr("Send data to the transmitter", "Envoyer les informations au transmetteur"); }

  TLangue Edition() const { return langue_; }

private:
  TEdition& edition_;
  TLangue langue_;
};

template <class W>
W* Named(W* widget, const char* name) {
  widget->setObjectName(QLatin1String(name));
  return widget;
}

// A label that shows a value received from the device; "----" until the first answer.
TLabel* ValueLabel(QWidget* parent, const char* name);

// A number edit, as wide as a number needs.
TMaskEdit* NumberEdit(QWidget* parent, const char* name);

// A combo box with its items (UTF-8), the first one chosen.
QComboBox* Combo(QWidget* parent, const char* name, std::initializer_list<const char*> items);

// A write button: the send glyph, 25 x 25, with the window's shared Send/Refresh menu.
TBitBtnAlt* WriteButton(QWidget* parent, const char* name, TPopupMenu& menu, const QString& hint = {});

}  // namespace mainpages
