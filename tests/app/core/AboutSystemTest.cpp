// The About box's texts in both editions, from a fixed system record and from the running
// system.

#include <gtest/gtest.h>

#include <string>

#include "app/core/AboutSystem.h"

TEST(AboutSystemTest, TextsOfBothEditions) {
  const TSystemRecord system{"Linux", "6.1.0-18-amd64"};
  struct Case {
    TLangue langue;
    const char *caption, *product, *credit, *systemLine, *versionLine;
  };
  const Case cases[] = {
      {TLangue::Anglais, "About ...", "Corvin - English", "Programmer : the Ostrel software team",
       "Syst\xE8me : Linux", "Version n\xB0 : 6.1.0-18-amd64"},
      {TLangue::Francais, "A propos de ...", "Corvin - Fran\xE7" "ais", "Programmeur : l'\xE9quipe logicielle Ostrel",
       "Syst\xE8me : Linux", "Version n\xB0 : 6.1.0-18-amd64"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AboutCaption(c.langue), c.caption);
    EXPECT_EQ(AboutProductName(c.langue), c.product);
    EXPECT_EQ(AboutCredit(c.langue), c.credit);
    EXPECT_EQ(AboutSystemLine(system), c.systemLine);
    EXPECT_EQ(AboutSystemVersionLine(system), c.versionLine);
  }
  EXPECT_EQ(AboutVersion(), "Version : 3.23");
}

TEST(AboutSystemTest, EmptyFieldsLeaveThePrefixes) {
  const TSystemRecord empty;
  EXPECT_EQ(AboutSystemLine(empty), "Syst\xE8me : ");
  EXPECT_EQ(AboutSystemVersionLine(empty), "Version n\xB0 : ");
}

TEST(AboutSystemTest, TheRunningSystemHasAPrintableNameAndRelease) {
  const std::optional<TSystemRecord> system = CurrentSystemRecord();
  ASSERT_TRUE(system.has_value());
  EXPECT_FALSE(system->Name.empty());
  EXPECT_FALSE(system->Release.empty());
  for (char c : system->Name + system->Release) {
    EXPECT_GE(static_cast<unsigned char>(c), 0x20);
    EXPECT_LT(static_cast<unsigned char>(c), 0x7F);
  }
}
