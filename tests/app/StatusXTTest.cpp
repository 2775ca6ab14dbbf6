// The status register window: the register's parts shown from an answer, the word built from
// the controls, the list that writes it, refused numbers, and the write reaching the device.

#include <gtest/gtest.h>

#include "app/StatusXT.h"
#include "app/StdCtrls.h"
#include "app/core/DisplayFormat.h"
#include "controls/MyControls.h"
#include "support/AppFixture.h"

namespace {

std::vector<std::int32_t> ListOf(const TJobList& j) { return {j.List.begin(), j.List.begin() + j.Length()}; }

struct StatusXT : ::testing::Test {
  explicit StatusXT(TLangue langue = TLangue::Anglais) : World(langue) {}
  TStatusXTForm& F() const { return *World.Program->Forms.StatusXTForm; }
  TXmt& X() const { return World.Xmt(); }

  // The controls as the user sets them.
  void Set(bool wp, bool cache, bool fault1High, bool fault2High, const char* lowPower, const char* cpu) {
    F().CkWP->setChecked(wp);
    F().CkCache->setChecked(cache);
    (fault1High ? F().BtnDef1_H : F().BtnDef1_L)->setChecked(true);
    (fault2High ? F().BtnDef2_H : F().BtnDef2_L)->setChecked(true);
    F().EdLPM->SetText(lowPower);
    F().EdQZ->SetText(cpu);
  }

  AppWorld World;
};

}  // namespace

TEST_F(StatusXT, ShowsThePartsOfTheAnsweredWord) {
  struct Case {
    Byte hi, lo;
    bool wp, cache, fault1High, fault2High;
    const char *lowPower, *cpu;
  };
  const Case cases[] = {
      {0x1E, 0xAE, false, true, true, true, "10", "30"},
      {0x0F, 0x45, true, false, true, false, "4", "15"},
      {0xFF, 0xF9, true, false, false, true, "15", "255"},
      {0x00, 0x00, false, false, false, false, "0", "0"},
  };
  for (const Case& c : cases) {
    const Byte answer[] = {c.hi, c.lo};
    X().DecodeCmd194(answer);
    F().ShowStatusRegister(X());
    EXPECT_EQ(F().CkWP->isChecked(), c.wp);
    EXPECT_EQ(F().CkCache->isChecked(), c.cache);
    EXPECT_EQ(F().BtnDef1_H->isChecked(), c.fault1High);
    EXPECT_EQ(F().BtnDef1_L->isChecked(), !c.fault1High);
    EXPECT_EQ(F().BtnDef2_H->isChecked(), c.fault2High);
    EXPECT_EQ(F().BtnDef2_L->isChecked(), !c.fault2High);
    EXPECT_EQ(F().EdLPM->Text(), c.lowPower);
    EXPECT_EQ(F().EdQZ->Text(), c.cpu);
  }
}

TEST_F(StatusXT, WriteBuildsTheWordAndQueuesWriteReadEndWithoutTouchingBusy) {
  for (bool busy : {false, true}) {
    World.Jobs().SetIdle();
    World.Jobs().Busy = busy;
    Set(true, false, true, false, "10", "31");
    F().BtEcritureClick(nullptr);
    EXPECT_EQ(X().WriteProtect, 1);
    EXPECT_EQ(X().CacheMemory, 0);
    EXPECT_EQ(X().Fault1High, 1);
    EXPECT_EQ(X().Fault2High, 0);
    EXPECT_EQ(X().LowPowerDuration, 10);
    EXPECT_EQ(X().CpuFrequency, 31);
    EXPECT_EQ(X().StatusRegister, 1 + 4 + 10 * 16 + 31 * 256);
    EXPECT_EQ(ListOf(World.Jobs()), (std::vector<std::int32_t>{308, 205, 500}));
    EXPECT_EQ(World.Jobs().LastJob, 308);
    EXPECT_EQ(World.Jobs().JobIndex, 0);
    EXPECT_EQ(World.Jobs().Busy, busy);
  }
}

TEST_F(StatusXT, AFaultWithNeitherCurrentCheckedIsWrittenHighAndShownSo) {
  // What the window holds before any answer: no fault current checked.
  ASSERT_FALSE(F().BtnDef1_L->isChecked() || F().BtnDef1_H->isChecked());
  ASSERT_TRUE(F().StatusFormToXmt());
  EXPECT_EQ(X().Fault1High, 1);
  EXPECT_EQ(X().Fault2High, 1);
  EXPECT_TRUE(F().BtnDef1_H->isChecked());
  EXPECT_TRUE(F().BtnDef2_H->isChecked());
}

TEST_F(StatusXT, RefusedNumbersSendNothingAndLeaveTheWordAlone) {
  struct Case {
    const char *lowPower, *cpu;
    int beeps;
    const char* report;  // "" when none
  };
  const Case cases[] = {
      {"16", "31", 1, ""},  // would spill into the frequency's bits
      {"99", "31", 1, ""},
      {"10", "256", 1, ""},
      {"10", "999", 1, ""},
      {"", "31", 0, "'' is not a valid integer value"},
      {"10", "3x", 0, "'3x' is not a valid integer value"},
      {"a", "999", 0, "'a' is not a valid integer value"},
  };
  for (const Case& c : cases) {
    World.Ui.Beeps = 0;
    World.Ui.ErrorReports.clear();
    World.Jobs().StartList({1, 2});
    World.Jobs().JobIndex = 1;
    X().StatusRegister = 0x1EAE;
    X().LowPowerDuration = 10;
    X().CpuFrequency = 30;
    X().WriteProtect = 0;
    Set(true, true, false, false, c.lowPower, c.cpu);
    F().BtEcritureClick(nullptr);
    EXPECT_EQ(World.Ui.Beeps, c.beeps) << c.lowPower << " " << c.cpu;
    if (*c.report) {
      EXPECT_EQ(World.Ui.ErrorReports, (std::vector<std::string>{c.report})) << c.lowPower << " " << c.cpu;
    } else {
      EXPECT_TRUE(World.Ui.ErrorReports.empty());
    }
    EXPECT_EQ(ListOf(World.Jobs()), (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(World.Jobs().JobIndex, 1);
    EXPECT_EQ(X().StatusRegister, 0x1EAE);
    EXPECT_EQ(X().LowPowerDuration, 10);
    EXPECT_EQ(X().CpuFrequency, 30);
    EXPECT_EQ(X().WriteProtect, 1);  // the flags copied before the numbers stay
  }
}

TEST(StatusXTFrench, TheConversionReportIsInTheEditionsLanguage) {
  AppWorld world(TLangue::Francais);
  TStatusXTForm& f = *world.Program->Forms.StatusXTForm;
  f.EdLPM->SetText("1O");
  f.BtEcritureClick(nullptr);
  EXPECT_EQ(world.Ui.ErrorReports, (std::vector<std::string>{IntConversionErrorText(TLangue::Francais, "1O")}));
  EXPECT_EQ(f.Caption(), "Etat du transmetteur");
}

TEST_F(StatusXT, OpeningAndReadingQueueTheReadAndTheCacheButtonItsRefresh) {
  F().Show();
  EXPECT_EQ(ListOf(World.Jobs()), (std::vector<std::int32_t>{205, 500}));
  EXPECT_TRUE(World.Jobs().Busy);
  World.Jobs().SetIdle();
  F().BtLecture->click();
  EXPECT_EQ(ListOf(World.Jobs()), (std::vector<std::int32_t>{205, 500}));
  F().EEPRM_CTRL->click();
  EXPECT_EQ(ListOf(World.Jobs()), (std::vector<std::int32_t>{408, 500}));
  F().BtRetour->click();
  EXPECT_FALSE(F().Visible());
  F().Show();  // every opening reads the register again
  EXPECT_EQ(ListOf(World.Jobs()), (std::vector<std::int32_t>{205, 500}));
}

TEST_F(StatusXT, TheWrittenWordReachesTheDeviceAndItsReadBackIsShown) {
  World.Sim.Identity.DeviceType = 203;
  World.Connect();
  World.Sim.State.StatusRegister = 0x1EAE;
  Set(true, false, true, false, "10", "31");
  const std::size_t from = World.Sim.Requests.size();
  F().BtEcritureClick(nullptr);
  World.Main().Evenement.SetInterval(50);
  ASSERT_TRUE(World.AdvanceUntilRequests(2));
  ASSERT_TRUE(World.Sched.AdvanceUntil([&] { return World.Jobs().At(World.Jobs().JobIndex) == 0; }, 10000));
  EXPECT_EQ(World.Sim.Requests[from].Command, 194);
  EXPECT_EQ(World.Sim.Requests[from + 1].Command, 195);
  EXPECT_EQ(World.Sim.State.StatusRegister, 0x1FA5);
  // the device's read-back fills the window again
  F().EdQZ->SetText("");
  World.Sim.State.StatusRegister = 0x2012;  // cache on, 1 in the duration, 32 in the frequency
  F().BtLecture->click();
  ASSERT_TRUE(World.Sched.AdvanceUntil([&] { return !World.Jobs().Busy; }, 10000));
  EXPECT_EQ(F().EdQZ->Text(), "32");
  EXPECT_EQ(F().EdLPM->Text(), "1");
  EXPECT_TRUE(F().CkCache->isChecked());
  EXPECT_FALSE(F().CkWP->isChecked());
}

TEST_F(StatusXT, ARefusedWriteSendsNothingToTheDevice) {
  World.Sim.Identity.DeviceType = 203;
  World.Connect();
  const std::size_t from = World.Sim.Requests.size();
  Set(false, true, true, true, "16", "30");
  World.Ui.Beeps = 0;
  F().BtEcritureClick(nullptr);
  World.Advance(3000);
  for (std::size_t i = from; i < World.Sim.Requests.size(); ++i) EXPECT_NE(World.Sim.Requests[i].Command, 194);
  EXPECT_EQ(World.Sim.State.StatusRegister, 0x1EAE);
  EXPECT_EQ(World.Ui.Beeps, 1);
}
