// The English edition of the trim, test, status, registration, ambient, clock, drift,
// EEPROM and About windows shows no French text: every caption, hint, page and menu text
// either differs from the French edition's or is one of the few listed below that both
// editions share. One French text has one English wording, and no two windows share a
// caption.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <map>
#include <set>

#include "app/About.h"
#include "app/Ajlin.h"
#include "app/Ajmes.h"
#include "app/Ajsa.h"
#include "app/Derive.h"
#include "app/E2Prom.h"
#include "app/InSelect.h"
#include "app/Ns.h"
#include "app/StatusComm.h"
#include "app/StatusXT.h"
#include "app/Tamb.h"
#include "app/TimeDate.h"
#include "app/tstXT.h"
#include "app/tstloop.h"
#include "support/AppFixture.h"

namespace {

struct TShown {
  std::string Where;
  QString Text;
  QString Owner;  // the name of the widget that shows it
};

// Every text a window shows of its own, in the order of its widgets.
std::vector<TShown> ShownTexts(QWidget& window) {
  std::vector<TShown> out{{"caption", window.windowTitle(), window.objectName()}};
  for (QWidget* w : window.findChildren<QWidget*>()) {
    const std::string name = w->objectName().isEmpty() ? w->metaObject()->className() : w->objectName().toStdString();
    auto add = [&](const char* what, const QString& text) { out.push_back({name + " " + what, text, w->objectName()}); };
    if (auto* b = qobject_cast<QAbstractButton*>(w)) add("text", b->text());
    if (auto* l = qobject_cast<QLabel*>(w)) add("text", l->text());
    if (auto* g = qobject_cast<QGroupBox*>(w)) add("title", g->title());
    if (auto* m = qobject_cast<QMenu*>(w)) add("menu", m->title());
    if (auto* t = qobject_cast<QTabWidget*>(w)) {
      for (int i = 0; i < t->count(); ++i) add("page", t->tabText(i));
    }
    add("hint", w->toolTip());
  }
  for (QAction* a : window.findChildren<QAction*>())
    out.push_back({"menu item " + a->objectName().toStdString(), a->text(), a->objectName()});
  return out;
}

bool HasLetter(const QString& text) {
  for (const QChar c : text)
    if (c.isLetter()) return true;
  return false;
}

bool HasFrenchLetter(const QString& text) {
  for (const QChar c : text)
    if (QStringLiteral("àâçéèêëîïôùûüœÀÂÇÉÈÊËÎÏÔÙÛÜŒ").contains(c)) return true;
  return false;
}

std::vector<TForm*> Dialogs(TProgram& p) {
  TForms& f = p.Forms;
  return {f.TstLoopForm, f.TstXTForm,    f.AjustSAForm, f.AjustCaptForm, f.AjLINForm,  f.InputSelectForm, f.StatusCommForm,
          f.StatusXTForm, f.NSForm, f.TambForm, f.TimeDateFrom, f.DeriveForm, f.E2PromForm, f.AboutBox};
}

TEST(DialogEditionTexts, TheEnglishEditionShowsNoFrenchText) {
  // Texts that both editions show alike: names, units, codes, and words that are the same
  // in both languages.
  const std::set<QString> shared = {
      QStringLiteral("TEST"),       QStringLiteral("4 mA"),       QStringLiteral("20 mA"),     QStringLiteral("mA"),
      QStringLiteral("EEPROM SGN"), QStringLiteral("ADC Stop"),   QStringLiteral("EEPROM CSK"), QStringLiteral("Correction"),
      QStringLiteral("EEPROM"),     QStringLiteral("E2Prom"),     QStringLiteral("CHK: 0000"), QStringLiteral("0°C"),
      QStringLiteral("°C"),         QStringLiteral("Ta"),         QStringLiteral("Te"),        QStringLiteral("4.0 mA"),
      QStringLiteral("20.0 mA"),    QStringLiteral("Gain"),       QStringLiteral("Configuration"),
      QStringLiteral("Initialise"), QStringLiteral("Standard"),   QStringLiteral("Simulation"), QStringLiteral("OK"),
      QStringLiteral("Version : 3.23"), QStringLiteral("Ost"),    QStringLiteral("rel"),
  };
  // The input selection's own texts, which the English edition shows in French typography.
  const std::set<QString> ownFrench = {QStringLiteral("Attention !"), QStringLiteral("Input n°1"),
                                       QStringLiteral("Input n°2")};

  AppWorld en(TLangue::Anglais);
  AppWorld fr(TLangue::Francais);
  const std::vector<TForm*> englishDialogs = Dialogs(*en.Program);
  const std::vector<TForm*> frenchDialogs = Dialogs(*fr.Program);
  // French texts to which the windows give English wordings of their own: the current trim
  // and the sensor trim word their last step each in its way; the registration window
  // warns in English where the input selection keeps its French caption.
  const std::set<QString> severalWordings = {QString::fromUtf8("3 - Appuyez sur correction pour appliquer la valeur."),
                                             QStringLiteral("Attention !")};
  std::set<QString> sharedSeen;
  std::set<QString> ownFrenchSeen;
  std::map<QString, QString> wordings;       // one English wording for each French text
  std::map<QString, std::string> captions;  // the window of each English caption
  for (std::size_t d = 0; d < englishDialogs.size(); ++d) {
    for (AppWorld* w : {&en, &fr}) w->Program->Forms.AboutBox->SystemInfo = [] { return std::optional<TSystemRecord>(); };
    TForm& e = *englishDialogs[d];
    TForm& f = *frenchDialogs[d];
    SCOPED_TRACE(e.objectName().toStdString());
    e.Show();
    f.Show();
    const std::vector<TShown> english = ShownTexts(e);
    const std::vector<TShown> french = ShownTexts(f);
    ASSERT_EQ(english.size(), french.size());
    EXPECT_TRUE(captions.emplace(e.windowTitle(), e.objectName().toStdString()).second)
        << "the caption of " << captions[e.windowTitle()] << " too";
    for (std::size_t i = 0; i < english.size(); ++i) {
      const QString& text = english[i].Text;
      const auto [wording, added] = wordings.emplace(french[i].Text, text);
      EXPECT_TRUE(added || wording->second == text || !HasLetter(text) || text == english[i].Owner ||
                  severalWordings.count(french[i].Text))
          << english[i].Where << ": " << text.toStdString() << ", elsewhere " << wording->second.toStdString();
      // A value label shows its own name until it is written.
      if (!HasLetter(text) || text == english[i].Owner) continue;
      if (ownFrench.count(text)) {
        ownFrenchSeen.insert(text);
        continue;
      }
      EXPECT_FALSE(HasFrenchLetter(text)) << english[i].Where << ": " << text.toStdString();
      if (text == french[i].Text) {
        EXPECT_TRUE(shared.count(text)) << english[i].Where << " is the French text: " << text.toStdString();
        sharedSeen.insert(text);
      }
    }
    e.Close();
    f.Close();
  }
  for (const QString& text : shared) EXPECT_TRUE(sharedSeen.count(text)) << "listed but not shown: " << text.toStdString();
  EXPECT_EQ(ownFrenchSeen, ownFrench);
}

}  // namespace
