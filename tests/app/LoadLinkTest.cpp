// The load form against the simulated transmitter in virtual time: a file read from disk,
// checked, chosen and written group by group; a link that is failing when the writes
// start or that fails in the middle of them; and a hostile file whose bad groups never
// reach the device. The device keeps its texts blank-padded to their full length.

#include <gtest/gtest.h>

#include <QSlider>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "app/Dessin.h"
#include "app/Erreur.h"
#include "app/Texts.h"
#include "app/load.h"
#include "model/Units.h"
#include "support/AppFixture.h"

namespace fs = std::filesystem;

namespace {

constexpr Byte DeviceType = 203;  // a maker's device with segments, alarms, extended status and limits

class LoadLinkTest : public ::testing::Test {
protected:
  LoadLinkTest() {
    World.Sim.Identity.DeviceType = DeviceType;
    World.Connect();
    World.Xmt().OnLoadedFormDisk = [this](TObject*) { Load().FileLoaded(); };
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path = fs::temp_directory_path() / (std::string("corvin_load_") + info->name() + ".XMT");
    File.SetMagic();
    File.SetByte(TXmtRecord::OffManufacturerId, 250);
    File.SetByte(TXmtRecord::OffDeviceType, DeviceType | 0x80);
    File.SetByte(TXmtRecord::OffPollingAddress, 0);
    File.SetString(TXmtRecord::OffTag, 10, "TT-205");
    File.SetString(TXmtRecord::OffDescriptor, 20, "BOILER OUT");
    File.SetString(TXmtRecord::OffDate, 10, "15/03/2024");
    File.SetString(TXmtRecord::OffMessage, 40, "CHECKED 2024");
    File.SetInt32(TXmtRecord::OffRangeUnit, UnitCodeToIndex(33));
    File.SetSingle(TXmtRecord::OffUpperRangeValue, 150.0f);
    File.SetSingle(TXmtRecord::OffLowerRangeValue, -50.0f);
    File.SetSingle(TXmtRecord::OffDamping, 2.5f);
    File.SetInt32(TXmtRecord::OffFinalAssemblyNumber, 70001);
    File.SetInt32(TXmtRecord::OffSensorSerialNumber, 120035);
    File.SetByte(TXmtRecord::OffTransferFunction, 253);
    File.SetByte(TXmtRecord::OffWriteProtect, 1);
    File.SetByte(TXmtRecord::OffCacheMemory, 0);
    File.SetByte(TXmtRecord::OffFault1High, 1);
    File.SetByte(TXmtRecord::OffFault2High, 0);
    File.SetInt32(TXmtRecord::OffSegmentCount, 5);
    for (int i = 0; i < TXmtRecord::PointCount; ++i) File.SetPoint(i, 10.0f * i, 100.0f + 2.0f * i);
    File.SetByte(TXmtRecord::OffPVUnit, static_cast<Byte>(UnitCodeToIndex(32)));
    File.SetSingle(TXmtRecord::OffPVUpperValue, 400.0f);
    File.SetSingle(TXmtRecord::OffPVLowerValue, 4.0f);
    TAlarmInfo a;
    a.SetPointEditable = a.HysteresisEditable = a.DelayEditable = a.RelayEditable = true;
    a.Decimals = 1;
    a.SetPoint = 1234;
    a.Hysteresis = 10;
    a.Delay = 5;
    File.SetAlarm(TXmtRecord::OffAlarm1, a);
    a.SetPoint = -250;
    a.RelayNormallyClosed = 1;
    File.SetAlarm(TXmtRecord::OffAlarm2, a);
    File.SetByte(TXmtRecord::OffDecimalPoint, 2);
    File.SetByte(TXmtRecord::OffLastDigitStep, 2);
    File.SetSingle(TXmtRecord::OffAI1UpperLimit, 110.0f);
    File.SetSingle(TXmtRecord::OffAI1LowerLimit, 90.0f);
  }
  ~LoadLinkTest() override {
    std::error_code ec;
    fs::remove(path, ec);
  }

  TLoadForm& Load() const { return *World.Program->Forms.LoadForm; }

  // Writes File to disk, reads it as the "Load" menu does, and answers the form with the
  // groups chosen (all when none is named) and "Update".
  void LoadAndUpdate(std::vector<int> groups = {}) {
    {
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(File.Bytes.data()), TXmtRecord::Size);
    }
    World.Ui.OnModal["LoadForm"] = [groups](TForm& form) {
      auto& f = static_cast<TLoadForm&>(form);
      if (!groups.empty()) {
        f.BtnDelAll->click();
        for (int g : groups) f.ListDestination->addItem(Q(f.GroupItem(g)));
      }
      f.BitBtnLangue1->click();
    };
    ASSERT_EQ(World.Xmt().LoadFromFile(path.string()), TLoadResult::Loaded);
    ASSERT_EQ(World.Ui.ModalRuns, (std::vector<std::string>{"LoadForm"}));
  }

  // Runs the sequencer until the list is idle again.
  bool RunUntilIdle(std::int64_t maxMs = 120000) {
    return World.Sched.AdvanceUntil(
        [&] { return World.Jobs().At(World.Jobs().JobIndex) == 0 && World.Jobs().CurrentJob == 0 && !World.Jobs().Busy; },
        maxMs);
  }

  std::vector<int> CommandsFrom(std::size_t from) const {
    const std::vector<int> all = World.Commands();
    return {all.begin() + static_cast<std::ptrdiff_t>(std::min(from, all.size())), all.end()};
  }

  void ExpectPoints(int last) const {
    for (int i = 0; i <= last; ++i) {
      EXPECT_EQ(World.Sim.State.Points[static_cast<std::size_t>(i)].X, 10.0f * i) << i;
      EXPECT_EQ(World.Sim.State.Points[static_cast<std::size_t>(i)].Y, 100.0f + 2.0f * i) << i;
    }
  }

  AppWorld World;
  TXmtRecord File;
  fs::path path;
};

std::uint16_t U16(const std::array<std::uint8_t, 8>& a, int at) {
  return static_cast<std::uint16_t>(a[static_cast<std::size_t>(at)] << 8 | a[static_cast<std::size_t>(at) + 1]);
}

}  // namespace

TEST_F(LoadLinkTest, EveryGroupReachesTheTransmitter) {
  LoadAndUpdate();
  ASSERT_TRUE(RunUntilIdle());
  const SimState& s = World.Sim.State;
  EXPECT_EQ(s.Tag, "TT-205  ");
  EXPECT_EQ(s.Descriptor, "BOILER OUT      ");
  EXPECT_EQ(s.Day, 15);
  EXPECT_EQ(s.Month, 3);
  EXPECT_EQ(s.YearSince1900, 124);
  EXPECT_EQ(s.Message, "CHECKED 2024                    ");
  EXPECT_EQ(s.RangeUnitCode, 33);
  EXPECT_EQ(s.UpperRangeValue, 150.0f);
  EXPECT_EQ(s.LowerRangeValue, -50.0f);
  EXPECT_EQ(s.Damping, 2.5f);
  EXPECT_EQ(s.SensorSerialNumber, 120035u);
  EXPECT_EQ(s.FinalAssemblyNumber, 70001u);
  ExpectPoints(5);
  EXPECT_EQ(s.SegmentCount, 5);
  EXPECT_EQ(s.TransferFunction, 253);
  EXPECT_EQ(s.StatusRegister, 1 + 4 + 16 * 10 + 256 * 30);
  EXPECT_EQ(s.PVRangeUnitCode, 32);
  EXPECT_EQ(s.PVUpperValue, 400.0f);
  EXPECT_EQ(s.PVLowerValue, 4.0f);
  EXPECT_EQ(U16(s.Alarms[0], 2), 1234);
  EXPECT_EQ(static_cast<std::int16_t>(U16(s.Alarms[1], 2)), -250);
  EXPECT_EQ(s.Alarms[1][7], 255) << "normally closed";
  EXPECT_EQ(s.ExtendedStatus & 0x3, 2) << "last-digit step 2";
  EXPECT_NEAR(s.AI1UpperLimit, 110.0f, 1e-3);
  EXPECT_NEAR(s.AI1LowerLimit, 90.0f, 1e-3);
  EXPECT_EQ(World.Sim.Identity.PollingAddress, 0);
  EXPECT_TRUE(World.Main().TabbedNotebook->isEnabled());
  EXPECT_FALSE(World.Program->Forms.ErreurForm->Visible());
}

TEST_F(LoadLinkTest, ANewPollingAddressIsWritten) {
  File.SetByte(TXmtRecord::OffPollingAddress, 5);
  LoadAndUpdate({1});
  ASSERT_TRUE(RunUntilIdle());
  EXPECT_EQ(World.Sim.Identity.PollingAddress, 5);
}

// The link is failing when the list starts: the sequencer repeats LastJob, which must be the
// file's first write and not a job of an earlier list.
TEST_F(LoadLinkTest, ALinkFailingAtTheStartRepeatsTheFilesFirstWrite) {
  World.Sim.Faults.Silent = true;
  World.RunList({201}, 6000);
  ASSERT_NE(World.Main().MainHart->Erreur.GetCode(), 0);
  const std::size_t from = World.Sim.Requests.size();
  LoadAndUpdate({3});
  World.Sim.Faults.Silent = false;
  ASSERT_TRUE(RunUntilIdle());
  const std::vector<int> sent = CommandsFrom(from);
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent.front(), 17);
  EXPECT_EQ(std::count(sent.begin(), sent.end(), 13), 0) << "the earlier read is not replayed";
  EXPECT_EQ(World.Sim.State.Message, "CHECKED 2024                    ");
}

// The device stops answering in the middle of the table: the write in flight is repeated
// until it is answered, and the table ends complete.
TEST_F(LoadLinkTest, ALinkThatFailsInTheMiddleLosesNothing) {
  LoadAndUpdate({3, 8});
  ASSERT_TRUE(World.Sched.AdvanceUntil(
      [&] {
        const std::vector<int> sent = World.Commands();
        return std::count(sent.begin(), sent.end(), 201) >= 3;
      },
      30000));
  World.Sim.Faults.Silent = true;
  World.Advance(9000);
  EXPECT_TRUE(World.Jobs().Busy);
  EXPECT_FALSE(World.Main().TabbedNotebook->isEnabled());
  World.Sim.Faults.Silent = false;
  ASSERT_TRUE(RunUntilIdle());
  ExpectPoints(5);
  EXPECT_EQ(World.Sim.State.SegmentCount, 5);
  EXPECT_EQ(World.Sim.State.TransferFunction, 0) << "the table is written with the linearisation off";
  EXPECT_EQ(World.Sim.State.Message, "CHECKED 2024                    ");
}

// Counts out of range, strings at full length, values no edit can hold: the bad groups are
// named in the error window and never sent; the sound ones are written.
TEST_F(LoadLinkTest, AHostileFileWritesOnlyItsSoundGroups) {
  File.SetString(TXmtRecord::OffTag, 10, "ABCDEFGHIJ");
  File.SetString(TXmtRecord::OffMessage, 40, std::string(40, 'Z'));
  File.SetByte(TXmtRecord::OffDescriptor, 255);  // a length byte beyond its field
  File.SetInt32(TXmtRecord::OffSegmentCount, 1000);
  File.SetSingle(TXmtRecord::OffUpperRangeValue, std::numeric_limits<float>::infinity());
  File.SetSingle(TXmtRecord::OffDamping, 12345.0f);
  File.SetInt32(TXmtRecord::OffSensorSerialNumber, 0x7FFFFFFF);
  File.SetByte(TXmtRecord::OffDecimalPoint, 255);
  File.SetSingle(TXmtRecord::OffAI1UpperLimit, 5.0f);
  File.SetSingle(TXmtRecord::OffAI1LowerLimit, -5.0f);
  const SimState before = World.Sim.State;
  LoadAndUpdate();
  ASSERT_TRUE(RunUntilIdle());
  const SimState& s = World.Sim.State;
  EXPECT_EQ(s.Message, std::string(32, 'Z'));
  EXPECT_EQ(s.Tag, "ABCDEFGH");
  EXPECT_EQ(s.FinalAssemblyNumber, 70001u);
  EXPECT_EQ(s.SegmentCount, before.SegmentCount);
  EXPECT_EQ(s.Points[1].X, before.Points[1].X);
  EXPECT_EQ(s.UpperRangeValue, before.UpperRangeValue);
  EXPECT_EQ(s.Damping, before.Damping);
  EXPECT_EQ(s.SensorSerialNumber, before.SensorSerialNumber);
  EXPECT_EQ(s.ExtendedStatus, before.ExtendedStatus);
  EXPECT_EQ(s.PVUpperValue, before.PVUpperValue);
  EXPECT_EQ(s.AI1UpperLimit, before.AI1UpperLimit);
  EXPECT_EQ(s.AI1LowerLimit, before.AI1LowerLimit);
  EXPECT_EQ(s.TransferFunction, 253);
  const std::string shown = World.Program->Forms.ErreurForm->LbErreur->Caption();
  EXPECT_NE(shown.find("Bad segment number"), std::string::npos) << shown;
  for (int g : {4, 5, 6, 12, 15}) EXPECT_NE(shown.find(Load().GroupItem(g)), std::string::npos) << g;
}

// In offline mode any file opens the form; the controls are filled and nothing is sent.
TEST_F(LoadLinkTest, OfflineFillsThePagesAndSendsNothing) {
  World.Main().OfflineMode = true;
  File.SetByte(TXmtRecord::OffManufacturerId, 17);
  const std::size_t from = World.Sim.Requests.size();
  LoadAndUpdate({2, 3});
  World.Advance(5000);
  EXPECT_FALSE(World.Jobs().Busy);
  EXPECT_EQ(World.Main().EdMessage->Text(), "CHECKED 2024");
  EXPECT_TRUE(CommandsFrom(from).empty());
}
