// The offline model choice: the device type of each model, RV210P's PV, the PV bar's ranges,
// and Select without a choice.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QSlider>

#include "app/OfflineSelect.h"
#include "app/StdCtrls.h"
#include "controls/MyControls.h"
#include "support/AppFixture.h"

namespace {
struct OfflineSelect : ::testing::Test {
  TOfflineSelectForm& F() const { return *World.Program->Forms.OfflineSelectForm; }
  AppWorld World;
};
}  // namespace

TEST_F(OfflineSelect, EachModelGivesItsDeviceTypeAndCloses) {
  struct Case {
    int item;
    int deviceType;
  };
  for (const Case& c : {Case{0, 22}, Case{1, 26}, Case{2, 154}, Case{3, 203}}) {
    World.Xmt().DeviceType = 0;
    World.Ui.OnModal["OfflineSelectForm"] = [&](TForm&) {
      F().CbSelectXT->setCurrentIndex(c.item);
      F().BtnSelect->click();
      EXPECT_FALSE(F().Visible()) << c.item;
    };
    F().ShowModal();
    EXPECT_EQ(World.Xmt().DeviceType, c.deviceType) << c.item;
  }
}

TEST_F(OfflineSelect, OnlyRV210PTakesThePVBarsPosition) {
  World.Xmt().PV = 5;
  World.Ui.OnModal["OfflineSelectForm"] = [&](TForm&) {
    F().CbSelectXT->setCurrentIndex(0);
    F().BtnSelect->click();
  };
  F().ShowModal();
  EXPECT_EQ(World.Xmt().PV, 0.0f);  // the hidden bar stays at 0

  World.Ui.OnModal["OfflineSelectForm"] = [&](TForm&) {
    F().CbSelectXT->setCurrentIndex(0);
    F().TbPV->setValue(-120);
    EXPECT_EQ(F().LbPV->Caption(), "PV : -120");
    F().BtnSelect->click();
  };
  F().ShowModal();
  EXPECT_EQ(World.Xmt().PV, -120.0f);

  World.Ui.OnModal["OfflineSelectForm"] = [&](TForm&) {
    F().CbSelectXT->setCurrentIndex(2);
    F().TbPV->setValue(50);
    F().BtnSelect->click();
  };
  F().ShowModal();
  EXPECT_EQ(World.Xmt().PV, -120.0f);
}

TEST_F(OfflineSelect, SelectWithoutAChoiceKeepsTheWindowOpen) {
  World.Xmt().DeviceType = 99;
  World.Ui.OnModal["OfflineSelectForm"] = [&](TForm&) {
    EXPECT_EQ(F().CbSelectXT->currentIndex(), -1);
    F().BtnSelect->click();
    EXPECT_TRUE(F().Visible());
  };
  F().ShowModal();
  EXPECT_EQ(World.Xmt().DeviceType, 99);
}

TEST_F(OfflineSelect, EachOpeningStartsWithoutAChoiceAndTheBarFollowsTheModel) {
  World.Ui.OnModal["OfflineSelectForm"] = [&](TForm&) {
    EXPECT_FALSE(F().TbPV->isEnabled());
    F().CbSelectXT->setCurrentIndex(0);
    EXPECT_TRUE(F().TbPV->isEnabled());
    EXPECT_EQ(F().TbPV->minimum(), -200);
    EXPECT_EQ(F().TbPV->maximum(), 850);
    EXPECT_EQ(F().TbPV->tickInterval(), 50);
    F().CbSelectXT->setCurrentIndex(3);  // WBL7 keeps the range
    EXPECT_EQ(F().TbPV->minimum(), -200);
    EXPECT_EQ(F().TbPV->maximum(), 850);
    F().CbSelectXT->setCurrentIndex(1);
    EXPECT_EQ(F().TbPV->minimum(), 0);
    EXPECT_EQ(F().TbPV->maximum(), 100);
    EXPECT_EQ(F().TbPV->tickInterval(), 10);
    F().BtnSelect->click();
  };
  F().ShowModal();
  World.Ui.OnModal["OfflineSelectForm"] = [&](TForm&) {
    EXPECT_EQ(F().CbSelectXT->currentIndex(), -1);
    EXPECT_FALSE(F().TbPV->isEnabled());
    EXPECT_TRUE(F().TbPV->isHidden());
    EXPECT_TRUE(F().LbPV->isHidden());
  };
  F().ShowModal();
}

TEST_F(OfflineSelect, TheOfflineSearchAsksForTheModelFirst) {
  World.Main().OfflineMode = true;
  World.Ui.OnModal["OfflineSelectForm"] = [&](TForm&) {
    F().CbSelectXT->setCurrentIndex(2);
    F().BtnSelect->click();
  };
  World.Main().BtnRecherche(nullptr);
  EXPECT_EQ(World.Ui.ModalRuns, (std::vector<std::string>{"OfflineSelectForm"}));
  EXPECT_EQ(World.Xmt().DeviceType, 154);
}

TEST(OfflineSelectTexts, CaptionsOfBothEditions) {
  AppWorld en(TLangue::Anglais);
  AppWorld fr(TLangue::Francais);
  TOfflineSelectForm& e = *en.Program->Forms.OfflineSelectForm;
  TOfflineSelectForm& f = *fr.Program->Forms.OfflineSelectForm;
  EXPECT_EQ(e.Caption(), "Selection");
  EXPECT_EQ(f.Caption(), "S\xE9lection");
  EXPECT_EQ(e.BtnSelect->ShownCaption(), "Select");
  EXPECT_EQ(f.LabelLangue1->ShownCaption(), "Mod\xE8le");
  ASSERT_EQ(e.CbSelectXT->count(), 4);
  EXPECT_EQ(e.CbSelectXT->itemText(3), "WBL7");
}
