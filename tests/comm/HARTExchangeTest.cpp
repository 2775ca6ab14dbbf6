// Whole request/answer exchanges between the link and the simulated transmitter, on a HART
// line in virtual time.

#include <cmath>
#include <set>

#include "HARTTestFrames.h"
#include "model/Units.h"
#include "support/SimLine.h"
#include "support/SimTransmitter.h"

using namespace hart_test;

namespace {

struct ExchangeFixture : ::testing::Test {
  VirtualScheduler sched;
  SimTransmitter sim;
  FakeTransport fake{sched};
  SimLine line{sched, sim, fake.Deliverer()};
  TXmt xmt;
  THART hart{sched};
  int arrivals = 0;
  std::vector<std::string> commErrors;

  ExchangeFixture() {
    fake.Attach(line);
    hart.UseTransport(&fake, TPortKind::Serial);
    hart.OnDataArrival = [this](TObject*) {
      ++arrivals;
      hart.HandleResponse(xmt);
    };
    hart.OnCommError = [this](TObject*) { commErrors.push_back(hart.Erreur.GetMessage()); };
    hart.Now = [] { return 36892.5; };  // 2001-01-01 12:00
  }

  // Runs a request and the line until its answer was read; false when none came in 3 s.
  bool Exchange(const std::function<void()>& request) {
    const int before = arrivals;
    request();
    return sched.AdvanceUntil([&] { return arrivals > before; }, 3000);
  }
  void Connect() {
    ASSERT_TRUE(Exchange([&] { hart.ReadUniqueIdentifier(sim.Identity.PollingAddress); }));
    ASSERT_EQ(xmt.GetConnected(), 1);
  }
};

struct ExchangeCase {
  const char* name;
  std::function<void(SimTransmitter&)> setup;  // may be empty
  std::function<void(THART&, TXmt&)> request;
  int command;                                // the answer's command
  std::function<void(const TXmt&, const SimTransmitter&)> check;
};

TDateTime Date(int y, int m, int d) { return *TryEncodeDate(y, m, d); }

}  // namespace

TEST_F(ExchangeFixture, EveryRequestOperationIsAnsweredAndFillsTheModel) {
  using H = THART;
  using X = TXmt;
  using S = SimTransmitter;
  const int degC = UnitCodeToIndex(32), degF = UnitCodeToIndex(33);
  TAlarmInfo alarm;
  alarm.SetPointEditable = alarm.DelayEditable = true;
  alarm.Decimals = 2;
  alarm.SetPoint = -200;
  alarm.Hysteresis = 10;
  alarm.Delay = 5;
  alarm.RelayNormallyClosed = 1;

  const std::vector<ExchangeCase> cases = {
      {"0 identity", [](S& s) { s.Identity.ConfigChangeCounter = 0x0102; },
       [](H& h, X&) { h.ReadUniqueIdentifier(0); }, 0,
       [](const X& x, const S& s) {
         EXPECT_EQ(x.ManufacturerId, 250);
         EXPECT_EQ(x.DeviceType, 0x16);
         EXPECT_EQ(x.DeviceId, 0x010203);
         EXPECT_EQ(x.LongAddress, (std::array<Byte, 5>{250, 0x16, 1, 2, 3}));
         EXPECT_EQ(x.UniversalRevision, 5);
         EXPECT_EQ(x.ConfigChangeCounter, 0x0102);
         EXPECT_EQ(x.ModelName, "RV210-P");
         EXPECT_EQ(x.GetConnected(), 1);
         EXPECT_FALSE(s.Requests.back().LongFrame);
         EXPECT_EQ(s.Requests.back().Preambles, 7);
       }},
      {"11 find by tag", nullptr, [](H& h, X&) { h.FindByTag("tt-101"); }, 11,
       [](const X& x, const S& s) {
         EXPECT_TRUE(s.Requests.back().Broadcast);
         EXPECT_EQ(x.DeviceId, 0x010203);
       }},
      {"21 find by long tag", nullptr, [](H& h, X&) { h.FindByLongTag("TT-101 SIMULATED"); }, 21,
       [](const X& x, const S& s) {
         EXPECT_TRUE(s.Requests.back().Broadcast);
         EXPECT_EQ(x.DeviceType, 0x16);
       }},
      {"1 primary variable", nullptr, [](H& h, X& x) { h.ReadPrimaryVariable(x); }, 1,
       [](const X& x, const S&) {
         EXPECT_FLOAT_EQ(x.PV, 25.0f);
         EXPECT_EQ(x.PVUnitCode, 32);
         EXPECT_EQ(x.PVText.substr(0, 6), "25.00 ");
       }},
      {"2 current and percent", nullptr, [](H& h, X& x) { h.ReadCurrentAndPercent(x); }, 2,
       [](const X& x, const S&) {
         EXPECT_FLOAT_EQ(x.LoopCurrent, 8.0f);
         EXPECT_FLOAT_EQ(x.PercentOfRange, 25.0f);
       }},
      {"3 dynamic variables", [](S& s) { s.State.LoopCurrent = 12.0f; }, [](H& h, X& x) { h.ReadDynamicVariables(x); },
       3,
       [](const X& x, const S&) {
         EXPECT_FLOAT_EQ(x.LoopCurrent, 12.0f);
         EXPECT_FLOAT_EQ(x.SV, 21.5f);
         EXPECT_EQ(x.SVText.substr(0, 6), "21.50 ");
       }},
      {"12 message", nullptr, [](H& h, X& x) { h.ReadMessage(x); }, 12,
       [](const X& x, const S&) { EXPECT_EQ(x.Message, "TEST BENCH" + std::string(22, ' ')); }},
      {"17 write message", nullptr, [](H& h, X& x) { h.WriteMessage(x, "new message"); }, 17,
       [](const X& x, const S& s) {
         EXPECT_EQ(x.Message, "NEW MESSAGE" + std::string(21, ' '));
         EXPECT_EQ(s.State.Message.substr(0, 11), "NEW MESSAGE");
       }},
      {"13 tag, descriptor, date", nullptr, [](H& h, X& x) { h.ReadTagDescriptorDate(x); }, 13,
       [](const X& x, const S&) {
         EXPECT_EQ(x.Tag, "TT-101  ");
         EXPECT_EQ(x.Descriptor, "SIMULATED XMTR  ");
         EXPECT_EQ(x.DateText, "15/03/2024");
       }},
      {"18 write tag, descriptor, date", nullptr,
       [](H& h, X& x) { h.WriteTagDescriptorDate(x, "pt-7", "bench", "5/7/2023"); }, 18,
       [](const X& x, const S& s) {
         EXPECT_EQ(x.Tag, "PT-7    ");
         EXPECT_EQ(x.Descriptor, "BENCH" + std::string(11, ' '));
         EXPECT_EQ(x.DateText, "05/07/2023");
         EXPECT_EQ(s.State.YearSince1900, 123);
       }},
      {"14 sensor information", nullptr, [](H& h, X& x) { h.ReadSensorInformation(x); }, 14,
       [degC](const X& x, const S&) {
         EXPECT_EQ(x.SensorSerialNumber, 120034);
         EXPECT_EQ(x.SensorUnit, degC);
         EXPECT_FLOAT_EQ(x.SensorUpperLimit, 850.0f);
         EXPECT_FLOAT_EQ(x.SensorLowerLimit, -200.0f);
         EXPECT_FLOAT_EQ(x.MinimumSpan, 10.0f);
       }},
      {"15 output information", [](S& s) { s.State.WriteProtect = 1; }, [](H& h, X& x) { h.ReadOutputInformation(x); },
       15,
       [degC](const X& x, const S&) {
         EXPECT_EQ(x.RangeUnit, degC);
         EXPECT_FLOAT_EQ(x.UpperRangeValue, 100.0f);
         EXPECT_FLOAT_EQ(x.LowerRangeValue, 0.0f);
         EXPECT_FLOAT_EQ(x.Damping, 1.0f);
         EXPECT_EQ(x.WriteProtect, 1);
       }},
      {"16 assembly number", nullptr, [](H& h, X& x) { h.ReadAssemblyNumber(x); }, 16,
       [](const X& x, const S&) { EXPECT_EQ(x.FinalAssemblyNumber, 70000); }},
      {"19 write assembly number", nullptr, [](H& h, X& x) { h.WriteAssemblyNumber(x, 654321); }, 19,
       [](const X& x, const S& s) {
         EXPECT_EQ(x.FinalAssemblyNumber, 654321);
         EXPECT_EQ(s.State.FinalAssemblyNumber, 654321u);
       }},
      {"6 write polling address", nullptr, [](H& h, X& x) { h.WritePollingAddress(x, 4); }, 6,
       [](const X& x, const S& s) {
         EXPECT_EQ(s.Identity.PollingAddress, 4);
         EXPECT_EQ(x.PollingAddress, 4);
       }},
      {"34 write damping", nullptr, [](H& h, X& x) { h.WriteDampingValue(x, 2.5f); }, 34,
       [](const X&, const S& s) { EXPECT_FLOAT_EQ(s.State.Damping, 2.5f); }},
      {"35 write range", nullptr, [](H& h, X& x) { h.WriteRangeValues(x, 32, 150.0f, -50.0f); }, 35,
       [](const X&, const S& s) {
         EXPECT_FLOAT_EQ(s.State.UpperRangeValue, 150.0f);
         EXPECT_FLOAT_EQ(s.State.LowerRangeValue, -50.0f);
       }},
      {"38 reset configuration flag", nullptr, [](H& h, X& x) { h.ResetConfigChangedFlag(x); }, 38, nullptr},
      {"39 refresh cache", nullptr, [](H& h, X& x) { h.RefreshCacheMemory(x); }, 39, nullptr},
      {"40 fix current", nullptr, [](H& h, X& x) { h.FixCurrent(x, 12.0f); }, 40,
       [](const X&, const S& s) { EXPECT_FLOAT_EQ(s.State.FixedCurrent, 12.0f); }},
      {"41 self test", nullptr, [](H& h, X& x) { x.SelfTestResult = 9; h.PerformSelfTest(x); }, 41,
       [](const X& x, const S&) { EXPECT_EQ(x.SelfTestResult, 0); }},
      {"42 reset", nullptr, [](H& h, X& x) { h.ResetDevice(x); }, 42, nullptr},
      {"44 write units", nullptr, [](H& h, X& x) { h.WriteUnits(x, 33); }, 44,
       [degF](const X& x, const S& s) {
         EXPECT_EQ(x.RangeUnit, degF);
         EXPECT_EQ(s.State.RangeUnitCode, 33);
       }},
      {"45 trim current zero", nullptr, [](H& h, X& x) { h.TrimCurrentZero(x, 4.01f); }, 45,
       [](const X&, const S& s) { EXPECT_FLOAT_EQ(s.State.DacZeroTrim, 4.01f); }},
      {"46 trim current gain", nullptr, [](H& h, X& x) { h.TrimCurrentGain(x, 19.99f); }, 46,
       [](const X&, const S& s) { EXPECT_FLOAT_EQ(s.State.DacGainTrim, 19.99f); }},
      {"47 write transfer function", nullptr, [](H& h, X& x) { h.WriteTransferFunction(x, 253); }, 47,
       [](const X& x, const S&) { EXPECT_EQ(x.TransferFunction, 253); }},
      {"48 additional status",
       [](S& s) {
         s.State.AdditionalStatus[0] = 0x11;
         s.State.AdditionalStatus[12] = 0x22;
         s.State.AdditionalStatus[23] = 0x33;
       },
       [](H& h, X& x) { h.ReadAdditionalStatus(x); }, 48,
       [](const X& x, const S&) {
         EXPECT_EQ(x.AdditionalStatus[0], 0x11);
         EXPECT_EQ(x.AdditionalStatus[12], 0x22);
         EXPECT_EQ(x.AdditionalStatus[23], 0x33);
         EXPECT_EQ(x.AdditionalStatusCount, 25);
       }},
      {"49 write serial number", nullptr, [](H& h, X& x) { h.WriteSerialNumber(x, 987654); }, 49,
       [](const X&, const S& s) { EXPECT_EQ(s.State.SensorSerialNumber, 987654u); }},
      {"89 set clock", nullptr, [](H& h, X& x) { h.SetRealTimeClock(x, 0, 36892.5); }, 89,
       [](const X& x, const S& s) {
         EXPECT_DOUBLE_EQ(x.DeviceClock, 36892.5);
         EXPECT_EQ(s.State.ClockDate, (std::array<std::uint8_t, 3>{1, 1, 101}));
       }},
      {"90 read clock",
       [](S& s) {
         s.State.ClockDate = {2, 3, 124};
         s.State.ClockTime = 5400000u * 32;  // 01:30
         s.State.ClockSetDate = {1, 3, 124};
         s.State.ClockSetTime = 0;
         s.State.ClockFlags = 5;
       },
       [](H& h, X& x) { h.ReadRealTimeClock(x); }, 90,
       [](const X& x, const S&) {
         EXPECT_DOUBLE_EQ(x.DeviceClock, Date(2024, 3, 2) + 0.0625);
         EXPECT_DOUBLE_EQ(x.LastClockSet, Date(2024, 3, 1));
         EXPECT_EQ(x.ClockFlags, 5);
       }},
      {"129 trim ambient", nullptr, [](H& h, X& x) { h.TrimAmbientTemperature(x, 23.5f); }, 129,
       [](const X&, const S& s) { EXPECT_FLOAT_EQ(s.State.AmbientTrim, 23.5f); }},
      {"133 trim mid-scale", nullptr, [](H& h, X& x) { h.TrimMidScalePoints(x, 3); }, 133,
       [](const X&, const S& s) { EXPECT_EQ(s.State.MidScalePoint, 3); }},
      {"134 trim full scale", nullptr, [](H& h, X& x) { h.TrimSensorFullScale(x); }, 134, nullptr},
      {"135 trim offset", nullptr, [](H& h, X& x) { h.TrimSensorOffset(x); }, 135, nullptr},
      {"136 write sensor info", nullptr, [](H& h, X& x) { h.WriteSensorInfo(x, 0xC3); }, 136,
       [](const X& x, const S&) {
         EXPECT_EQ(x.SensorInfo, 0xC3);
         EXPECT_EQ(x.SensorKind, 3);
         EXPECT_EQ(x.SensorConnection, 0);
         EXPECT_EQ(x.SensorType, 3);
       }},
      {"137 read sensor info", [](S& s) { s.State.SensorInfo = 0x5A; }, [](H& h, X& x) { h.ReadSensorInfo(x); }, 137,
       [](const X& x, const S&) {
         EXPECT_EQ(x.SensorKind, 1);
         EXPECT_EQ(x.SensorConnection, 1);
         EXPECT_EQ(x.SensorType, 10);
       }},
      {"138 PE reference", nullptr, [](H& h, X& x) { h.SetPEReference(x); }, 138, nullptr},
      {"139 Z reference", nullptr, [](H& h, X& x) { h.SetZReference(x); }, 139, nullptr},
      {"140 select input", nullptr, [](H& h, X& x) { h.SelectInput(x, 2); }, 140,
       [](const X& x, const S&) { EXPECT_EQ(x.SelectedInput, 2); }},
      {"143 write AI1 limits", nullptr, [](H& h, X& x) { h.WriteSecondaryInputLimits(x, 1, 160.0f, 140.0f); }, 143,
       [](const X& x, const S&) {
         EXPECT_FLOAT_EQ(x.AI1UpperLimit, 160.0f);
         EXPECT_FLOAT_EQ(x.AI1LowerLimit, 140.0f);
       }},
      {"144 read AI1 limits", [](S& s) { s.State.AI1UpperLimit = 153.0f; },
       [](H& h, X& x) { h.ReadSecondaryInputLimits(x, 1); }, 144,
       [](const X& x, const S&) { EXPECT_FLOAT_EQ(x.AI1UpperLimit, 153.0f); }},
      {"189 parameter checksum", nullptr, [](H& h, X& x) { h.ReadParamChecksum(x); }, 189,
       [](const X& x, const S&) { EXPECT_EQ(x.ParamChecksum, 0x1234); }},
      {"190 ROM checksum", nullptr, [](H& h, X& x) { h.ReadRomChecksum(x); }, 190,
       [](const X& x, const S&) { EXPECT_EQ(x.RomChecksum, 0xBEEF); }},
      {"191 top of stack", nullptr, [](H& h, X& x) { h.ReadTopOfStack(x); }, 191,
       [](const X& x, const S&) { EXPECT_EQ(x.TopOfStack, 0x40); }},
      {"192 read EEPROM", [](S& s) { s.State.Eeprom[0x10] = 0xCAFE; }, [](H& h, X& x) { h.ReadE2PromValue(x, 0x110); },
       192,
       [](const X& x, const S&) {
         EXPECT_EQ(x.EepromAddress, 0x10);
         EXPECT_EQ(x.EepromValue, 0xCAFE);
       }},
      {"193 write EEPROM", nullptr, [](H& h, X& x) { h.WriteE2PromValue(x, 0x91, 0x1234); }, 193,
       [](const X& x, const S& s) {
         EXPECT_EQ(s.State.Eeprom.at(0x91), 0x1234);
         EXPECT_EQ(x.EepromAddress, 0x91 - 256);
         EXPECT_EQ(x.EepromValue, 0x1234);
       }},
      {"194 write status register", nullptr, [](H& h, X& x) { h.WriteStatusRegister(x, 0x1EAF); }, 194,
       [](const X& x, const S&) {
         EXPECT_EQ(x.StatusRegister, 0x1EAF);
         EXPECT_EQ(x.WriteProtect, 1);
         EXPECT_EQ(x.CpuFrequency, 30);
       }},
      {"195 read status register", [](S& s) { s.State.StatusRegister = 0x1EAE; },
       [](H& h, X& x) { h.ReadStatusRegister(x); }, 195,
       [](const X& x, const S&) {
         EXPECT_EQ(x.StatusRegister, 7854);
         EXPECT_EQ(x.WriteProtect, 0);
         EXPECT_EQ(x.LowPowerDuration, 10);
       }},
      {"196 autotest", [](S& s) { s.State.SelfTestResult = 0x21; }, [](H& h, X& x) { h.ReadAutotestResult(x); }, 196,
       [](const X& x, const S&) { EXPECT_EQ(x.SelfTestResult, 0x21); }},
      {"197 write peaks", nullptr, [](H& h, X& x) { h.WritePeakThermalValue(x, 0x80, 0xFF); }, 197,
       [](const X& x, const S&) {
         EXPECT_EQ(x.PeakMinimum, 128);
         EXPECT_EQ(x.PeakMaximum, -1);
       }},
      {"198 read peaks",
       [](S& s) {
         s.State.PeakMinimum = 0xF6;
         s.State.PeakMaximum = 0x2D;
       },
       [](H& h, X& x) { h.ReadPeakThermalValue(x); }, 198,
       [](const X& x, const S&) {
         EXPECT_EQ(x.PeakMinimum, -10);
         EXPECT_EQ(x.PeakMaximum, 45);
       }},
      {"199 write drift", nullptr, [](H& h, X& x) { h.WriteThermalDriftCorrection(x, 0.1f, 1.1f, 0.2f, 1.2f); }, 199,
       [](const X&, const S& s) { EXPECT_FLOAT_EQ(s.State.DriftG2, 1.2f); }},
      {"200 read drift", nullptr, [](H& h, X& x) { h.ReadThermalDriftCorrection(x); }, 200,
       [](const X& x, const S&) {
         EXPECT_FLOAT_EQ(x.DriftZ1, 0.1f);
         EXPECT_FLOAT_EQ(x.DriftG1, 1.1f);
         EXPECT_FLOAT_EQ(x.DriftZ2, 0.2f);
         EXPECT_FLOAT_EQ(x.DriftG2, 1.2f);
       }},
      {"201 write segment", nullptr, [](H& h, X& x) { h.WriteSegment(x, 3, 10.0f, 20.0f); }, 201,
       [](const X& x, const S& s) {
         EXPECT_FLOAT_EQ(s.State.Points[3].X, 10.0f);
         EXPECT_FLOAT_EQ(s.State.Points[3].Y, 20.0f);
         EXPECT_FLOAT_EQ(x.LiveRecord.PointX(3), 10.0f);
       }},
      {"202 read segment", nullptr, [](H& h, X& x) { h.ReadSegment(x, 3); }, 202,
       [](const X& x, const S&) {
         EXPECT_EQ(x.SegmentIndex, 3);
         EXPECT_FLOAT_EQ(x.SegmentX, 10.0f);
         EXPECT_FLOAT_EQ(x.SegmentY, 20.0f);
       }},
      {"203 write segment count", nullptr, [](H& h, X& x) { h.WriteSegmentNumber(x, 12); }, 203,
       [](const X& x, const S& s) {
         EXPECT_EQ(s.State.SegmentCount, 12);
         EXPECT_EQ(x.LiveRecord.GetInt32(TXmtRecord::OffSegmentCount), 12);
       }},
      {"204 read segment count", nullptr, [](H& h, X& x) { h.ReadSegmentNumber(x); }, 204,
       [](const X& x, const S&) { EXPECT_EQ(x.SegmentCount, 12); }},
      {"205 maximum segments", nullptr, [](H& h, X& x) { h.ReadMaxSegments(x); }, 205,
       [](const X& x, const S&) { EXPECT_EQ(x.MaxSegments, 47); }},
      {"206 access lock", nullptr, [](H& h, X& x) { h.WriteAccessLock(x, 7163); }, 206,
       [](const X& x, const S&) { EXPECT_EQ(x.LockState, 1); }},
      {"207 write PV range", nullptr, [](H& h, X& x) { h.WritePVRangeInfo(x, 33, 200.0f, -10.0f); }, 207,
       [](const X&, const S& s) {
         EXPECT_EQ(s.State.PVRangeUnitCode, 33);
         EXPECT_FLOAT_EQ(s.State.PVUpperValue, 200.0f);
       }},
      {"208 read PV range", nullptr, [](H& h, X& x) { h.ReadPVRangeInfo(x); }, 208,
       [degF](const X& x, const S&) {
         EXPECT_EQ(x.SensorUnit, degF);
         EXPECT_FLOAT_EQ(x.PVUpperValue, 200.0f);
         EXPECT_FLOAT_EQ(x.PVLowerValue, -10.0f);
       }},
      {"210 ADC values", nullptr, [](H& h, X& x) { h.ReadADCValues(x); }, 210,
       [](const X& x, const S&) {
         EXPECT_FLOAT_EQ(x.AdcValue1, 1.25f);
         EXPECT_FLOAT_EQ(x.AdcValue2, 0.5f);
       }},
      {"211 write alarm", nullptr, [alarm](H& h, X& x) { h.WriteAlarmInfo(x, 1, alarm); }, 211,
       [alarm](const X& x, const S&) {
         EXPECT_EQ(x.AlarmSelector, 1);
         EXPECT_EQ(x.Alarm1, alarm);
       }},
      {"212 read alarm", nullptr, [](H& h, X& x) { h.ReadAlarmInfo(x, 2); }, 212,
       [](const X& x, const S&) {
         EXPECT_EQ(x.AlarmSelector, 2);
         EXPECT_TRUE(x.Alarm2.SetPointEditable && x.Alarm2.RelayEditable);
         EXPECT_EQ(x.Alarm2.Decimals, 1);
         EXPECT_EQ(x.Alarm2.SetPoint, -1000);
         EXPECT_EQ(x.Alarm2.Hysteresis, 10);
         EXPECT_EQ(x.Alarm2.Delay, 5);
         EXPECT_EQ(x.Alarm2.RelayNormallyClosed, 1);
       }},
      {"213 write display settings", nullptr, [](H& h, X& x) { h.WriteExtendedStatus(x, 0x0C01); }, 213,
       [](const X& x, const S&) {
         EXPECT_EQ(x.DecimalPoint, 4);
         EXPECT_EQ(x.UnitDisplay, 1);
         EXPECT_EQ(x.LastDigitStep, 1);
       }},
      {"214 read display settings", [](S& s) { s.State.ExtendedStatus = 0x0200; },
       [](H& h, X& x) { h.ReadExtendedStatus(x); }, 214,
       [](const X& x, const S&) {
         EXPECT_EQ(x.DecimalPoint, 2);
         EXPECT_EQ(x.UnitDisplay, 0);
         EXPECT_EQ(x.LastDigitStep, 0);
       }},
      {"expansion test frame", nullptr, [](H& h, X& x) { h.SendExpansionTestFrame(x); }, 0,
       [](const X& x, const S& s) {
         EXPECT_TRUE(s.Requests.back().LongFrame);
         EXPECT_EQ(s.Requests.back().Command, 0);
         EXPECT_EQ(x.DeviceId, 0x010203);
       }},
      {"128 register", nullptr, [](H& h, X& x) { h.RegisterDevice(x, 0x0A0B0C); }, 128,
       [](const X& x, const S& s) {
         EXPECT_EQ(s.State.RegistrationDate, (std::array<std::uint8_t, 3>{1, 1, 101}));
         EXPECT_EQ(s.Identity.DeviceId, 0x0A0B0Cu);
         EXPECT_EQ(x.DeviceId, 0x0A0B0C);  // the answer is an identity answer
       }},
      {"1 to the registered address", nullptr, [](H& h, X& x) { h.ReadPrimaryVariable(x); }, 1,
       [](const X& x, const S&) { EXPECT_EQ(x.LongAddress[4], 0x0C); }},
  };

  std::set<int> commands;
  for (const auto& c : cases) {
    if (c.setup) c.setup(sim);
    const std::size_t requests = sim.Requests.size();
    ASSERT_TRUE(Exchange([&] { c.request(hart, xmt); })) << c.name;
    EXPECT_EQ(sim.Requests.size(), requests + 1) << c.name;
    EXPECT_EQ(hart.LastCommand, c.command) << c.name;
    EXPECT_EQ(xmt.GetErrorCode(), 0) << c.name;
    EXPECT_EQ(xmt.GetErrorMessage(), "") << c.name;
    if (hart.ExpectedCommand == c.command) {
      EXPECT_EQ(hart.Erreur.GetCode(), 0) << c.name;
    }
    if (c.check) c.check(xmt, sim);
    commands.insert(sim.Requests.back().Command);
  }
  EXPECT_TRUE(commErrors.empty());
  // Every template's command went over the line.
  for (const auto& t : RequestTemplates()) EXPECT_TRUE(commands.count(t.Command)) << int(t.Command);
}

TEST_F(ExchangeFixture, MasterBitPreamblesAndPollingAddressReachTheDevice) {
  sim.Identity.PollingAddress = 5;
  hart.MasterAdress = TMasterAdress::Host_Communicator;
  hart.NbPreambles = 20;
  Connect();
  EXPECT_TRUE(sim.Requests.back().PrimaryMaster);
  EXPECT_EQ(sim.Requests.back().Preambles, 20);
  EXPECT_EQ(hart.PollingAddress, 5);
  EXPECT_EQ(xmt.PollingAddress, 5);
  // Another polling address gets no answer.
  const int before = arrivals;
  hart.ReadUniqueIdentifier(6);
  sched.Advance(2000);
  EXPECT_EQ(arrivals, before);
  // Modem chunks of 8 bytes instead of single bytes change nothing.
  line.ChunkBytes = 8;
  ASSERT_TRUE(Exchange([&] { hart.ReadPrimaryVariable(xmt); }));
  EXPECT_EQ(hart.LastCommand, 1);
  EXPECT_FLOAT_EQ(xmt.PV, 25.0f);
}

TEST_F(ExchangeFixture, MisbehavingDevice) {
  Connect();
  sched.Advance(1000);

  // Silent: "No response" from the fifth check on, then at every check.
  sim.Faults.Silent = true;
  hart.ReadPrimaryVariable(xmt);
  sched.Advance(5 * 520);
  EXPECT_EQ(commErrors, (std::vector<std::string>{"No response"}));
  EXPECT_EQ(hart.Erreur.GetCode(), 768);
  sched.Advance(520);
  EXPECT_EQ(commErrors.size(), 2u);

  // Back again: the answer to the expected command clears the link's error.
  sim.Faults.Silent = false;
  ASSERT_TRUE(Exchange([&] { hart.ReadPrimaryVariable(xmt); }));
  EXPECT_EQ(hart.Erreur.Level, 0);
  EXPECT_EQ(hart.Erreur.GetCode(), 0);

  // A response code: the model's message, no decoding, supervision counts it.
  sim.Faults.ResponseCode = 7;
  ASSERT_TRUE(Exchange([&] { hart.WriteTagDescriptorDate(xmt, "X", "Y", "01/01/2001"); }));
  EXPECT_EQ(xmt.GetErrorMessage(), "Write protected");
  EXPECT_EQ(xmt.GetErrorCode(), 7);
  EXPECT_EQ(hart.LastCommand, -1);
  EXPECT_NE(xmt.Tag, "X       ");
  sched.Advance(520);
  EXPECT_EQ(hart.Erreur.GetCode(), 768);
  sim.Faults.ResponseCode = 0;

  // A corrupted byte: the link's own error, no answer to the model.
  commErrors.clear();
  sim.Faults.CorruptByteIndex = 9;
  const int before = arrivals;
  hart.ReadPrimaryVariable(xmt);
  sched.Advance(1500);
  EXPECT_EQ(arrivals, before);
  ASSERT_FALSE(commErrors.empty());
  EXPECT_EQ(commErrors.front(), "PC communication error");
  sim.Faults.CorruptByteIndex = -1;

  // An answer for another command: decoded, but the expected command stays unanswered.
  ASSERT_TRUE(Exchange([&] { hart.ReadPrimaryVariable(xmt); }));
  ASSERT_EQ(hart.Erreur.GetCode(), 0);
  sim.Faults.AnswerAsCommand = 2;
  ASSERT_TRUE(Exchange([&] { hart.ReadPrimaryVariable(xmt); }));
  EXPECT_EQ(hart.LastCommand, 2);
  sim.Faults.AnswerAsCommand = -1;

  // A late answer: a check falls before it and reports once; the answer clears it.
  ASSERT_TRUE(Exchange([&] { hart.ReadPrimaryVariable(xmt); }));
  sim.Faults.ExtraDelayMs = 600;
  commErrors.clear();
  bool seen768 = false;
  hart.OnCommError = nullptr;
  const int late = arrivals;
  hart.ReadPrimaryVariable(xmt);
  ASSERT_TRUE(sched.AdvanceUntil(
      [&] {
        seen768 = seen768 || hart.Erreur.GetCode() == 768;
        return arrivals > late;
      },
      3000));
  EXPECT_TRUE(seen768);
  EXPECT_EQ(hart.Erreur.GetCode(), 0);
  EXPECT_EQ(hart.Erreur.Level, 0);
}
