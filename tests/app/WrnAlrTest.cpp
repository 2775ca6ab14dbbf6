// The alarm scaling warning: the factor text of each change of decimals, Tag while it is
// shown and after it is closed, whichever way, and its texts in both editions.

#include <gtest/gtest.h>

#include <QGroupBox>
#include <climits>
#include <functional>
#include <string>

#include "app/Texts.h"
#include "app/WrnAlr.h"
#include "support/AppFixture.h"

namespace {

struct WrnAlrTest : AppFixture {
  TWarningAlrForm& Form() const { return *World.Program->Forms.WarningAlrForm; }
};

}  // namespace

TEST_F(WrnAlrTest, TheFactorOfEachChangeOfDecimals) {
  struct Case {
    int d;
    const char* text;
    int tag;
  };
  for (const Case& c : std::initializer_list<Case>{
           {2, "/ 100", 2},
           {1, "/ 10", 1},
           {4, "/ 10000", 4},
           {-1, "x 10", 1},
           {-3, "x 1000", 3},
           {-7, "x 10000000", 7},
           {0, "x 1", 0},
       }) {
    int shownTag = -99;
    World.Ui.OnModal["WarningAlrForm"] = [&](TForm& f) { shownTag = f.Tag; };
    Form().Tag = c.d;
    Form().ShowModal();
    EXPECT_EQ(Form().Label2->Caption(), c.text) << c.d;
    EXPECT_EQ(Form().Label1->Caption(), c.text) << c.d;
    EXPECT_EQ(shownTag, c.tag) << c.d << ": the magnitude while shown";
    EXPECT_EQ(Form().Tag, 0) << c.d << ": closing clears it";
  }
  EXPECT_EQ(Form().Caption(), "Attention !");
  EXPECT_TRUE(Form().GroupBox1->isHidden());
}

// No value of Tag overflows the factor: the text stops at 99 zeros.
TEST_F(WrnAlrTest, AbsurdChangesOfDecimalsDoNotOverflow) {
  for (const int d : {INT_MIN, INT_MAX, -1000}) {
    Form().Tag = d;
    Form().Show();
    const std::string text = Form().Label2->Caption();
    EXPECT_EQ(text.substr(0, 3), d > 0 ? "/ 1" : "x 1");
    EXPECT_EQ(text.size(), 3u + 99u);
    EXPECT_EQ(Form().Tag, d == INT_MIN ? INT_MAX : (d > 0 ? d : -d));
    Form().Close();
  }
}

TEST_F(WrnAlrTest, EveryWayOfClosingClearsTag) {
  for (const auto& close : std::vector<std::function<void(TWarningAlrForm&)>>{
           [](TWarningAlrForm& f) { f.BitBtnLangue1->click(); }, [](TWarningAlrForm& f) { f.Close(); },
           [](TWarningAlrForm& f) { f.reject(); }}) {
    Form().Tag = -2;
    Form().Show();
    EXPECT_EQ(Form().Tag, 2);
    close(Form());
    EXPECT_FALSE(Form().Visible());
    EXPECT_EQ(Form().Tag, 0);
  }
}

TEST(WrnAlrFrench, TextsOfBothEditions) {
  AppWorld fr(TLangue::Francais);
  TWarningAlrForm& f = *fr.Program->Forms.WarningAlrForm;
  f.Tag = 1;
  f.Show();
  EXPECT_EQ(f.Caption(), "Attention !");
  EXPECT_EQ(f.LabelLangue1->ShownCaption(), "Les valeurs des alarmes peuvent changer");
  EXPECT_EQ(f.BitBtnLangue1->ShownCaption(), "OK");
  EXPECT_EQ(f.Label2->Caption(), "/ 10");
  AppWorld en;
  EXPECT_EQ(en.Program->Forms.WarningAlrForm->LabelLangue1->ShownCaption(), "Alarms values may change");
}
