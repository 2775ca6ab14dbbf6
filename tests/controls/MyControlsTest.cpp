#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "controls/Cp1252.h"
#include "controls/MultiLangue.h"
#include "controls/MyControls.h"

namespace {

constexpr TLangue Editions[] = {TLangue::Anglais, TLangue::Francais};

void Give(TLangueControl& c, const std::string& fr, const std::string& en, const std::string& hintFr, const std::string& hintEn) {
  if (c.CaptionSet()) {
    c.CaptionSet()->Texte_Francais = fr;
    c.CaptionSet()->Texte_Anglais = en;
  }
  c.HintSet.Texte_Francais = hintFr;
  c.HintSet.Texte_Anglais = hintEn;
}

// Every two-language class, made on a parent.
std::vector<std::function<TLangueControl*(TEdition&, QWidget*)>> Makers() {
  return {
      [](TEdition& e, QWidget* p) { return new TLabelLangue(e, p); },
      [](TEdition& e, QWidget* p) { return new TButtonLangue(e, p); },
      [](TEdition& e, QWidget* p) { return new TBitBtnLangue(e, p); },
      [](TEdition& e, QWidget* p) { return new TCheckBoxLangue(e, p); },
      [](TEdition& e, QWidget* p) { return new TRadioButtonLangue(e, p); },
      [](TEdition& e, QWidget* p) { return new TGroupBoxLangue(e, p); },
      [](TEdition& e, QWidget* p) { return new TPanelLangue(e, p); },
      [](TEdition& e, QWidget* p) { return new TledLangue(e, p); },
  };
}

// The text the base widget shows.
QString ShownByWidget(TLangueControl* c) {
  if (auto* w = dynamic_cast<QLabel*>(c)) return w->text();
  if (auto* w = dynamic_cast<QAbstractButton*>(c)) return w->text();
  if (auto* w = dynamic_cast<QGroupBox*>(c)) return w->title();
  if (auto* w = dynamic_cast<TPanel*>(c)) return w->PanelCaption();
  return {};
}

struct CountingLabel : TLabelLangue {
  using TLabelLangue::TLabelLangue;
  int repaints = 0;
  std::function<void()> during;
  void Repaint() override {
    ++repaints;
    if (during) during();
    TLabelLangue::Repaint();
  }
};

}  // namespace

TEST(Cp1252, ConvertsTheBytesThatDifferFromLatin1) {
  EXPECT_EQ(Cp1252ToUtf16("degr\xE9s"), u"degr\u00E9s");
  EXPECT_EQ(Cp1252ToUtf16("\x80\x92\x9F\xB0" "C"), u"\u20AC\u2019\u0178\u00B0C");
  EXPECT_EQ(Utf16ToCp1252(u"\u20AC\u2019\u00E9\u03A9"), "\x80\x92\xE9?");
  EXPECT_EQ(Utf16ToCp1252(Cp1252ToUtf16("\x81\x8D\x8F\x90\x9D")), "\x81\x8D\x8F\x90\x9D");
}

TEST(MultiLangue, ReadsTheEditionWhateverWasWritten) {
  for (TLangue edition : Editions) {
    TEdition e(edition);
    TMultiLangue set(e);
    set.Texte_Francais = "Envoyer";
    set.Texte_Anglais = "Send";
    for (TLangue written : {TLangue::Francais, TLangue::Anglais, TLangue::Francais}) {
      set.SetLangue(written);
      EXPECT_EQ(set.Langue(), edition);
      EXPECT_EQ(set.GetText(), edition == TLangue::Francais ? "Envoyer" : "Send");
    }
  }
}

TEST(MultiLangue, OnlyAWriteThatDiffersFromTheLastOneAnywhereFires) {
  TEdition e(TLangue::Anglais);
  TMultiLangue a(e), b(e);
  std::vector<TObject*> fired;
  a.OnChangeLangue = [&](TObject* s) { fired.push_back(s); };
  b.OnChangeLangue = [&](TObject* s) { fired.push_back(s); };
  a.SetLangue(TLangue::Anglais);  // the program starts in English
  EXPECT_TRUE(fired.empty());
  b.SetLangue(TLangue::Francais);
  a.SetLangue(TLangue::Francais);  // the last value written on any set
  b.SetLangue(TLangue::Francais);
  ASSERT_EQ(fired.size(), 1u);
  EXPECT_EQ(fired[0], &b);
  a.SetLangue(TLangue::Anglais);
  ASSERT_EQ(fired.size(), 2u);
  EXPECT_EQ(fired[1], &a);
}

TEST(LangueControls, LoadedShowsTheEditionsTextsInEveryClass) {
  for (TLangue edition : Editions) {
    TEdition e(edition);
    QWidget form;
    for (const auto& make : Makers()) {
      TLangueControl* c = make(e, &form);
      // As a form is read: the streamed French caption and hint first, then the sets.
      c->SetCaption("Annuler");
      c->SetHint("Annuler l'op\xE9ration");
      Give(*c, "Annuler", "Cancel", "Annuler l'op\xE9ration", "Cancel the operation");
      c->Loaded();
      const bool fr = edition == TLangue::Francais;
      EXPECT_EQ(c->ShownHint(), fr ? "Annuler l'op\xE9ration" : "Cancel the operation");
      EXPECT_EQ(dynamic_cast<QWidget*>(c)->toolTip(), fr ? QString::fromStdU16String(u"Annuler l'op\u00E9ration") : QString("Cancel the operation"));
      if (c->CaptionSet()) {
        EXPECT_EQ(c->ShownCaption(), fr ? "Annuler" : "Cancel");
        EXPECT_EQ(ShownByWidget(c), fr ? "Annuler" : "Cancel");
      }
    }
  }
}

TEST(LangueControls, AMissingTextShowsEmptyWhateverWasStreamed) {
  TEdition e(TLangue::Anglais);
  QWidget form;
  TLabelLangue label(e, &form);
  TCheckBoxLangue box(e, &form);
  TledLangue led(e, &form);
  for (TLangueControl* c : std::initializer_list<TLangueControl*>{&label, &box, &led}) {
    c->SetCaption("Mesure");
    c->SetHint("Lecture de la mesure");
    Give(*c, "Mesure", "", "Lecture", "");
    c->Loaded();
    EXPECT_EQ(c->ShownCaption(), "");
    EXPECT_EQ(c->ShownHint(), "");
  }
  EXPECT_TRUE(label.text().isEmpty());
  EXPECT_TRUE(box.text().isEmpty());
  EXPECT_TRUE(led.toolTip().isEmpty());
}

TEST(LangueControls, CaptionWritesShowTheSetButOnTheCheckBox) {
  TEdition e(TLangue::Francais);
  QWidget form;
  TLabelLangue label(e, &form);
  TCheckBoxLangue box(e, &form);
  Give(label, "Adresse", "Address", "", "");
  Give(box, "Hors limites", "Out of limits", "", "");
  label.Loaded();
  box.Loaded();
  label.SetCaption("autre");
  box.SetCaption("autre");
  EXPECT_EQ(label.text(), "Adresse");
  EXPECT_EQ(box.text(), "autre");
  EXPECT_EQ(box.Caption(), "Hors limites") << "reading gives the set's text";
  box.Refresh();
  EXPECT_EQ(box.text(), "Hors limites");
  box.SetCaption("encore");
  label.LanguageChanged(nullptr);  // a sibling's language change brings the set back
  EXPECT_EQ(box.text(), "Hors limites");
}

TEST(LangueControls, HintReadsTheSetWhileTheWrittenHintShowsUntilRepaint) {
  TEdition e(TLangue::Anglais);
  TButtonLangue b(e);
  Give(b, "", "", "Relire", "Read back");
  b.Loaded();
  b.SetHint("other");
  EXPECT_EQ(b.Hint(), "Read back");
  EXPECT_EQ(b.toolTip(), "other");
  b.Repaint();
  EXPECT_EQ(b.toolTip(), "Read back");
}

TEST(LangueControls, StreamedLanguageWriteRunsLanguageChanged) {
  TEdition e(TLangue::Anglais);
  QWidget form;
  TRadioButtonLangue r(e, &form);
  Give(r, "Par TAG", "By TAG", "", "");
  r.CaptionSet()->SetLangue(TLangue::Francais);  // differs from the program's English start
  EXPECT_EQ(r.text(), "By TAG");
}

TEST(LangueControls, LanguageChangedRefreshesEachOtherSiblingOnce) {
  TEdition e(TLangue::Anglais);
  auto* parent = new CountingLabel(e);  // a two-language parent is not refreshed either
  std::unique_ptr<CountingLabel> owner(parent);
  auto* a = new CountingLabel(e, parent);
  auto* b = new CountingLabel(e, parent);
  auto* c = new CountingLabel(e, parent);
  auto* plain = new QLabel(parent);
  (void)plain;
  b->LanguageChanged(nullptr);
  EXPECT_EQ(a->repaints, 1);
  EXPECT_EQ(b->repaints, 0);
  EXPECT_EQ(c->repaints, 1);
  EXPECT_EQ(parent->repaints, 0);
  EXPECT_FALSE(e.LanguageRefreshBusy);
}

TEST(LangueControls, ANestedLanguageChangeRefreshesNothing) {
  TEdition e(TLangue::Anglais);
  QWidget form;
  QWidget other;
  auto* a = new CountingLabel(e, &form);
  auto* b = new CountingLabel(e, &form);
  auto* x = new CountingLabel(e, &other);
  auto* y = new CountingLabel(e, &other);
  auto* nested = new TCheckBoxLangue(e, &other);
  Give(*nested, "", "Nested", "", "");
  nested->SetCaption("written");
  b->during = [&] { nested->LanguageChanged(nullptr); };
  a->LanguageChanged(nullptr);
  EXPECT_EQ(b->repaints, 1);
  EXPECT_EQ(nested->text(), "Nested") << "it re-applies its own texts";
  EXPECT_EQ(x->repaints + y->repaints, 0) << "but refreshes no sibling";
}

TEST(LangueControls, WithoutParentOnlyItsOwnTextsAreApplied) {
  TEdition e(TLangue::Francais);
  TGroupBoxLangue g(e);
  Give(g, "Recherche", "Search", "Recherche sur la boucle", "Search device on the loop");
  g.Loaded();
  EXPECT_EQ(g.title(), "Recherche");
  EXPECT_EQ(g.toolTip(), "Recherche sur la boucle");
  EXPECT_FALSE(e.LanguageRefreshBusy);
}

TEST(LangueControls, LedStatusChangeShowsTheHintAgain) {
  TEdition e(TLangue::Anglais);
  TledLangue led(e);
  Give(led, "", "", "Emission", "Transmit");
  led.Loaded();
  led.SetHint("x");
  led.SetLedStatus(true);
  EXPECT_EQ(led.toolTip(), "Transmit");
  EXPECT_EQ(led.CaptionSet(), nullptr);
}

namespace {

struct AltFixture : ::testing::Test {
  TPopupMenu menu;
  TBitBtnAlt a, b;
  std::vector<std::string> ran;
  std::vector<TObject*> senders;
  int presented = 0;

  AltFixture() {
    menu.Add("", "Send");
    menu.Add("", "Refresh");
    menu.Items(0).Default = true;
    for (auto [btn, name] : {std::pair{&a, "A"}, std::pair{&b, "B"}}) {
      const std::string n = name;
      btn->OnClick = [this, n](TObject* s) { ran.push_back(n + " click"); senders.push_back(s); };
      btn->OnAltClick = [this, n](TObject* s) { ran.push_back(n + " alt"); senders.push_back(s); };
      btn->PopupMenu = &menu;
      btn->MenuPresenter = [this](TPopupMenu&, int, int) { ++presented; };
    }
  }

  static void RightClick(QWidget& w) {
    QContextMenuEvent ev(QContextMenuEvent::Mouse, QPoint(3, 4), w.mapToGlobal(QPoint(3, 4)));
    QApplication::sendEvent(&w, &ev);
  }
};

}  // namespace

TEST_F(AltFixture, TheMenuRunsTheActionsOfTheButtonClickedLast) {
  RightClick(a);
  RightClick(b);
  EXPECT_EQ(presented, 2);
  menu.Items(1).Click();
  menu.Items(0).Click();
  EXPECT_EQ(ran, (std::vector<std::string>{"B alt", "B click"}));
  EXPECT_EQ(senders[0], &menu.Items(1)) << "the item passes itself as sender";
}

TEST_F(AltFixture, ALeftClickRunsOnClick) {
  a.click();
  EXPECT_EQ(ran, (std::vector<std::string>{"A click"}));
  EXPECT_EQ(senders[0], static_cast<TObject*>(&a));
}

TEST_F(AltFixture, NoMenuOrAnEmptyMenuOpensNothing) {
  a.PopupMenu = nullptr;
  RightClick(a);
  TPopupMenu empty;
  b.PopupMenu = &empty;
  RightClick(b);
  EXPECT_EQ(presented, 0);
  bool handled = false;
  b.ContextPopup(&b, 0, 0, handled);
  EXPECT_TRUE(handled);
}

TEST_F(AltFixture, OneItemMenuOffersOnlyTheFirstAction) {
  TPopupMenu one;
  one.Add("", "Send");
  a.PopupMenu = &one;
  RightClick(a);
  EXPECT_EQ(presented, 1);
  one.Items(0).Click();
  EXPECT_EQ(ran, (std::vector<std::string>{"A click"}));
}

TEST_F(AltFixture, UnassignedAltClickLeavesTheSecondItemWithoutAction) {
  RightClick(a);
  b.OnAltClick = nullptr;
  RightClick(b);
  menu.Items(1).Click();
  EXPECT_TRUE(ran.empty());
  EXPECT_FALSE(menu.Items(1).OnClick.Assigned());
}

TEST_F(AltFixture, ASenderThatIsNoSuchButtonOpensNothing) {
  TObject other;
  bool handled = false;
  a.ContextPopup(&other, 0, 0, handled);
  EXPECT_TRUE(handled);
  EXPECT_FALSE(menu.Items(0).OnClick.Assigned());
}

namespace {
QMenu* OpenMenu() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* m = qobject_cast<QMenu*>(w); m != nullptr && m->isVisible()) return m;
  return nullptr;
}
}  // namespace

TEST(PopupMenu, TheQtMenuRunsTheChosenItem) {
  TPopupMenu menu;
  std::vector<std::string> ran;
  menu.Add("", "Envoyer", [&](TObject*) { ran.push_back("send"); }).Default = true;
  auto& zoom = menu.Add("Z1", "Zoom");
  zoom.Add("", "In", [&](TObject*) { ran.push_back("in"); });
  zoom.Add("", "Out", [&](TObject*) { ran.push_back("out"); }).Enabled = false;
  QtPresentMenu(menu, 10, 10);
  QMenu* qm = OpenMenu();
  ASSERT_NE(qm, nullptr);
  ASSERT_EQ(qm->actions().size(), 2);
  EXPECT_TRUE(qm->actions()[0]->font().bold());
  QMenu* sub = qm->actions()[1]->menu();
  ASSERT_NE(sub, nullptr);
  sub->actions()[0]->trigger();
  EXPECT_FALSE(sub->actions()[1]->isEnabled());
  qm->actions()[0]->trigger();
  EXPECT_EQ(ran, (std::vector<std::string>{"in", "send"}));
  qm->close();
}

TEST(PopupMenu, AChoiceAfterTheMenuDiedIsDropped) {
  auto menu = std::make_unique<TPopupMenu>();
  int clicks = 0;
  menu->Add("", "Send", [&](TObject*) { ++clicks; });
  QtPresentMenu(*menu, 10, 10);
  QMenu* qm = OpenMenu();
  ASSERT_NE(qm, nullptr);
  menu.reset();
  qm->actions()[0]->trigger();
  EXPECT_EQ(clicks, 0);
  qm->close();
}

TEST(PopupMenu, DisabledItemsAndSubmenusDoNothingWhenClicked) {
  TPopupMenu menu;
  int clicks = 0;
  auto& item = menu.Add("", "Send", [&](TObject*) { ++clicks; });
  item.Enabled = false;
  item.Click();
  auto& sub = menu.Add("", "Zoom", [&](TObject*) { ++clicks; });
  sub.Add("", "In");
  sub.Click();
  EXPECT_EQ(clicks, 0);
}
