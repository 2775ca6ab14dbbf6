// The About box's texts from a fixed system record, in both editions.

#include <gtest/gtest.h>

#include <QPushButton>
#include <QPoint>

#include "app/About.h"
#include "app/StdCtrls.h"
#include "support/AppFixture.h"

TEST(AboutTest, ShowsProductVersionCreditAndSystem) {
  struct Case {
    TLangue langue;
    const char *caption, *product, *credit, *system, *version;
  };
  const Case cases[] = {
      {TLangue::Anglais, "About ...", "Corvin - English", "Programmer : the Ostrel software team",
       "Syst\xE8me : Linux", "Version n\xB0 : 6.1.0-test"},
      {TLangue::Francais, "A propos de ...", "Corvin - Fran\xE7" "ais", "Programmeur : l'\xE9quipe logicielle Ostrel",
       "Syst\xE8me : Linux", "Version n\xB0 : 6.1.0-test"},
  };
  for (const Case& c : cases) {
    AppWorld world(c.langue);
    TAboutBox& f = *world.Program->Forms.AboutBox;
    f.SystemInfo = [] { return std::optional<TSystemRecord>(TSystemRecord{"Linux", "6.1.0-test"}); };
    world.Ui.OnModal["AboutBox"] = [](TForm& form) { static_cast<TAboutBox&>(form).OKButton->click(); };
    EXPECT_EQ(f.ShowModal(), 1);  // OK
    EXPECT_FALSE(f.Visible());
    EXPECT_EQ(f.Caption(), c.caption);
    EXPECT_EQ(f.ProductName->Caption(), c.product);
    EXPECT_EQ(f.Version->Caption(), "Version : 3.23");
    EXPECT_EQ(f.Programmeur->Caption(), c.credit);
    EXPECT_EQ(f.Systeme->Caption(), c.system);
    EXPECT_EQ(f.VersionWin->Caption(), c.version);
  }
}

TEST(AboutTest, ASystemThatTellsNothingLeavesTheSystemLinesAsTheyWere) {
  AppWorld world;
  TAboutBox& f = *world.Program->Forms.AboutBox;
  f.SystemInfo = [] { return std::optional<TSystemRecord>(TSystemRecord{"Linux", "6.1"}); };
  f.ShowModal();
  f.SystemInfo = [] { return std::optional<TSystemRecord>(); };
  f.ShowModal();
  EXPECT_EQ(f.Systeme->Caption(), "Syst\xE8me : Linux");
  EXPECT_EQ(f.VersionWin->Caption(), "Version n\xB0 : 6.1");
  EXPECT_EQ(f.ProductName->Caption(), "Corvin - English");
}

TEST(AboutTest, TheRunningSystemIsNamedByDefault) {
  AppWorld world;
  TAboutBox& f = *world.Program->Forms.AboutBox;
  f.ShowModal();
  const std::optional<TSystemRecord> system = CurrentSystemRecord();
  ASSERT_TRUE(system.has_value());
  EXPECT_EQ(f.Systeme->Caption(), "Syst\xE8me : " + system->Name);
  EXPECT_EQ(f.VersionWin->Caption(), "Version n\xB0 : " + system->Release);
}

// The lines are filled when the window shows: it widens so that each one shows whole, in
// both editions and with a long release text.
TEST(AboutTest, EveryLineShowsWhole) {
  for (const TLangue langue : {TLangue::Anglais, TLangue::Francais}) {
    for (const char* release : {"6.1", "6.12.43-1-generic-with-a-rather-long-release-name"}) {
      SCOPED_TRACE(release);
      AppWorld world(langue);
      TAboutBox& f = *world.Program->Forms.AboutBox;
      f.SystemInfo = [release] { return std::optional<TSystemRecord>(TSystemRecord{"Linux", release}); };
      f.Show();
      for (TLabel* line : {f.ProductName, f.Version, f.Programmeur, f.Systeme, f.VersionWin}) {
        const int needed = line->fontMetrics().horizontalAdvance(line->text());
        EXPECT_GE(line->width(), needed) << line->Caption();
        EXPECT_LE(line->mapTo(&f, QPoint(line->width(), 0)).x(), f.width()) << line->Caption();
      }
      EXPECT_GE(f.width(), 265);
      EXPECT_GE(f.height(), 217);
      f.Close();
    }
  }
}
