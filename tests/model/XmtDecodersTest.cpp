// The decoders of the universal, common-practice and device-specific answers: the model
// fields and the record bytes each one fills.

#include <gtest/gtest.h>

#include <string>

#include "AnswerBytes.h"
#include "model/Xmt.h"

class Decoders : public ::testing::Test {
protected:
  Decoders() {
    x.OnChange = [this](TObject* s) {
      ++changes;
      EXPECT_EQ(s, &x);
    };
  }
  // The record's bytes at off, as a little-endian int32 or single.
  std::int32_t RecInt(int off) const { return x.LiveRecord.GetInt32(off); }
  float RecSingle(int off) const { return x.LiveRecord.GetSingle(off); }
  // A short string read straight from the bytes: the length byte must fit the field.
  std::string RecString(int off, int maxLen) const {
    const Byte len = x.LiveRecord.Bytes[static_cast<std::size_t>(off)];
    EXPECT_LE(len, maxLen);
    return std::string(reinterpret_cast<const char*>(&x.LiveRecord.Bytes[static_cast<std::size_t>(off) + 1]), len);
  }
  TXmt x;
  int changes = 0;
};

TEST_F(Decoders, Cmd1PrimaryVariableAndItsText) {
  x.DecodeCmd1(AnswerBytes{32}.Single(23.456f));
  EXPECT_EQ(x.PVUnitCode, 32);
  EXPECT_FLOAT_EQ(x.PV, 23.456f);
  EXPECT_EQ(x.PVText, "23.46 \xB0" "C");
  EXPECT_EQ(changes, 1);

  x.FormatSettings.DecimalSeparator = ',';
  x.DecodeCmd1(AnswerBytes{37}.Single(-0.125f));
  EXPECT_EQ(x.PVText, "-0,13 Ohms");
  TXmt fr(TLangue::Francais);
  fr.DecodeCmd1(AnswerBytes{37}.Single(100.0f));
  EXPECT_EQ(fr.PVText, "100.00 Ohm");

  // HART's not-a-number reads as 0; an unknown unit gives no unit text; at most 20 bytes.
  x.DecodeCmd1(AnswerBytes{99, 0x7F, 0xA0, 0x00, 0x00});
  EXPECT_EQ(x.PV, 0.0f);
  EXPECT_EQ(x.PVText, "0,00 ");
  x.FormatSettings.DecimalSeparator = '.';
  x.DecodeCmd1(AnswerBytes{32}.Single(1.0e15f));
  EXPECT_EQ(x.PVText, "999999986991104.00 \xB0");
}

TEST_F(Decoders, Cmd2And3Measures) {
  x.DecodeCmd2(AnswerBytes{}.Single(12.5f).Single(53.125f));
  EXPECT_EQ(x.LoopCurrent, 12.5f);
  EXPECT_EQ(x.PercentOfRange, 53.125f);
  EXPECT_EQ(changes, 1);

  x.DecodeCmd3(AnswerBytes{}.Single(4.0f).Add({32}).Single(21.5f).Add({36}).Single(-1.005f).Add({57}).Single(50.0f)
                   .Add({250}).Single(2.0f));
  EXPECT_EQ(x.LoopCurrent, 4.0f);
  EXPECT_EQ(x.PVUnitCode, 32);
  EXPECT_EQ(x.PV, 21.5f);
  EXPECT_EQ(x.SV, -1.005f);
  EXPECT_EQ(x.PVText, "21.50 \xB0" "C");
  EXPECT_EQ(x.SVText, "-1.00 mV");  // the single -1.005 is -1.00499999...
  EXPECT_EQ(x.TVText, "50.00 %");
  EXPECT_EQ(x.QVText, "2.00 ");
  EXPECT_EQ(changes, 2);
}

TEST_F(Decoders, Cmd12MessageAndCmd13TagDescriptorDate) {
  x.DecodeCmd12(AnswerBytes{}.Packed("HELLO WORLD 0123456789 ABCDEFGHI", 8));
  EXPECT_EQ(x.Message, "HELLO WORLD 0123456789 ABCDEFGHI");
  EXPECT_EQ(RecString(TXmtRecord::OffMessage, 40), x.Message);

  x.DecodeCmd13(AnswerBytes{}.Packed("TT-101", 2).Packed("BOILER INLET", 4).Add({5, 7, 123}));
  EXPECT_EQ(x.Tag, "TT-101  ");
  EXPECT_EQ(x.Descriptor, "BOILER INLET    ");
  EXPECT_EQ(x.DateText, "05/07/2023");
  EXPECT_EQ(RecString(TXmtRecord::OffTag, 10), "TT-101  ");
  EXPECT_EQ(RecString(TXmtRecord::OffDescriptor, 20), "BOILER INLET    ");
  EXPECT_EQ(RecString(TXmtRecord::OffDate, 10), "05/07/2023");
  EXPECT_EQ(changes, 0);
}

TEST_F(Decoders, Cmd13DateClampsAndUserFormat) {
  struct Case {
    int day, month, year;
    const char* record;
    const char* dateText;  // in the format "MM-DD-YYYY" with separator '-'
  };
  const Case cases[] = {
      {0, 0, 100, "01/01/2000", "01-01-2000"},
      {40, 13, 100, "31/12/2000", "12-31-2000"},
      {5, 7, 123, "05/07/2023", "07-05-2023"},
      {29, 2, 0, "29/02/1900", "29/02/1900"},   // does not exist: the device's text stays
      {30, 2, 123, "30/02/2023", "30/02/2023"},
      {31, 4, 255, "31/04/2155", "31/04/2155"},
  };
  for (const Case& c : cases) {
    TXmt y;
    y.FormatSettings.DateSeparator = '-';
    y.FormatSettings.ShortDateFormat = "MM/DD/YYYY";
    y.DecodeCmd13(AnswerBytes{}.Packed("TAG", 2).Packed("DESC", 4).Add({c.day, c.month, c.year}));
    EXPECT_EQ(y.LiveRecord.GetString(TXmtRecord::OffDate, 10), c.record);
    EXPECT_EQ(y.DateText, c.dateText);
    // Tag and descriptor are stored whether the date exists or not.
    EXPECT_EQ(y.LiveRecord.GetString(TXmtRecord::OffTag, 10), "TAG     ");
    EXPECT_EQ(y.LiveRecord.GetString(TXmtRecord::OffDescriptor, 20), "DESC            ");
  }
  EXPECT_EQ(x.FormatSettings.DateSeparator, '/');
  EXPECT_EQ(x.FormatSettings.ShortDateFormat, "DD/MM/YYYY");
}

TEST_F(Decoders, Cmd14SensorAnd15Output) {
  x.DecodeCmd14(AnswerBytes{0x01, 0x02, 0x03, 32}.Single(850.0f).Single(-200.0f).Single(10.0f));
  EXPECT_EQ(x.SensorSerialNumber, 66051);
  EXPECT_EQ(RecInt(TXmtRecord::OffSensorSerialNumber), 66051);
  EXPECT_EQ(x.SensorUnit, 3);
  EXPECT_EQ(x.LiveRecord.GetByte(TXmtRecord::OffPVUnit), 3);
  EXPECT_EQ(x.SensorUpperLimit, 850.0f);
  EXPECT_EQ(x.SensorLowerLimit, -200.0f);
  EXPECT_EQ(x.MinimumSpan, 10.0f);

  for (const auto& [protect, expected] : {std::pair{251, 1}, std::pair{250, 0}, std::pair{1, 1}}) {
    x.DecodeCmd15(AnswerBytes{0, 253, 12}.Single(150.0f).Single(-50.0f).Single(2.5f).Add({protect}));
    EXPECT_EQ(x.WriteProtect, expected) << protect;
    EXPECT_EQ(x.LiveRecord.GetByte(TXmtRecord::OffWriteProtect), expected);
  }
  EXPECT_EQ(x.TransferFunction, 253);
  EXPECT_EQ(x.LiveRecord.GetByte(TXmtRecord::OffTransferFunction), 253);
  EXPECT_EQ(x.RangeUnit, 35);
  EXPECT_EQ(RecInt(TXmtRecord::OffRangeUnit), 35);
  EXPECT_EQ(x.UpperRangeValue, 150.0f);
  EXPECT_EQ(RecSingle(TXmtRecord::OffUpperRangeValue), 150.0f);
  EXPECT_EQ(x.LowerRangeValue, -50.0f);
  EXPECT_EQ(RecSingle(TXmtRecord::OffLowerRangeValue), -50.0f);
  EXPECT_EQ(x.Damping, 2.5f);
  EXPECT_EQ(RecSingle(TXmtRecord::OffDamping), 2.5f);
}

TEST_F(Decoders, Cmd16_41_44_47) {
  x.DecodeCmd16(AnswerBytes{0xFF, 0xFF, 0xFF});
  EXPECT_EQ(x.FinalAssemblyNumber, 16777215);
  EXPECT_EQ(RecInt(TXmtRecord::OffFinalAssemblyNumber), 16777215);

  x.SelfTestResult = 9;
  x.DecodeCmd41({});
  EXPECT_EQ(x.SelfTestResult, 0);

  x.DecodeCmd44(AnswerBytes{33});
  EXPECT_EQ(x.RangeUnit, 4);
  EXPECT_EQ(RecInt(TXmtRecord::OffRangeUnit), 4);
  x.DecodeCmd44(AnswerBytes{200});  // not in the table: row "none"
  EXPECT_EQ(x.RangeUnit, 0);

  x.DecodeCmd47(AnswerBytes{1});
  EXPECT_EQ(x.TransferFunction, 1);
  EXPECT_EQ(x.LiveRecord.GetByte(TXmtRecord::OffTransferFunction), 1);
}

TEST_F(Decoders, Cmd48CopiesOnlyTheBytesTheAnswerHolds) {
  AnswerBytes full;
  for (int i = 0; i < 25; ++i) full.Add({0x10 + i});
  struct Case {
    int byteCount;
    int copied;
  };
  const Case cases[] = {{27, 24}, {26, 24}, {10, 8}, {8, 6}, {3, 1}, {2, 0}};
  for (const Case& c : cases) {
    TXmt y;
    y.AdditionalStatus.fill(0xAA);
    const std::size_t n = static_cast<std::size_t>(c.byteCount > 2 ? c.byteCount - 2 : 0);
    y.DecodeCmd48(std::span<const Byte>(full.Bytes().data(), std::min<std::size_t>(n, 25)), c.byteCount);
    EXPECT_EQ(y.AdditionalStatusCount, c.byteCount - 2);
    for (int i = 0; i < 24; ++i)
      EXPECT_EQ(y.AdditionalStatus[static_cast<std::size_t>(i)], i < c.copied ? 0x10 + i : 0xAA)
          << "count " << c.byteCount << " slot " << i;
  }
}

TEST_F(Decoders, Cmd89And90DeviceClock) {
  // 0x0A4CB800 / 32 ms is 01:30:00.000.
  x.DecodeCmd89(AnswerBytes{0, 5, 7, 123, 0x0A, 0x4C, 0xB8, 0x00});
  EXPECT_DOUBLE_EQ(x.DeviceClock, *TryEncodeDate(2023, 7, 5) + *TryEncodeTime(1, 30, 0, 0));
  int h = 0, m = 0, s = 0, ms = 0;
  DecodeTime(x.DeviceClock, h, m, s, ms);
  EXPECT_EQ((std::array<int, 4>{h, m, s, ms}), (std::array<int, 4>{1, 30, 0, 0}));

  const TDateTime before = x.DeviceClock;
  for (const AnswerBytes& bad : {AnswerBytes{0, 30, 2, 123, 0, 0, 0, 0},                  // 30 February
                                 AnswerBytes{0, 0, 7, 123, 0, 0, 0, 0},                   // day 0
                                 AnswerBytes{0, 5, 7, 123, 0xA4, 0xCB, 0x80, 0x00}}) {    // 24:00:00.000
    x.DecodeCmd89(bad);
    EXPECT_EQ(x.DeviceClock, before);
  }

  // Current moment, moment last set, flags.
  x.DecodeCmd90(AnswerBytes{1, 1, 124, 0, 0, 0, 0x20, 31, 12, 123, 0x0A, 0x4C, 0xB8, 0x00, 0x5A});
  EXPECT_DOUBLE_EQ(x.DeviceClock, *TryEncodeDate(2024, 1, 1) + 1.0 / 86400000.0);
  EXPECT_DOUBLE_EQ(x.LastClockSet, *TryEncodeDate(2023, 12, 31) + *TryEncodeTime(1, 30, 0, 0));
  EXPECT_EQ(x.ClockFlags, 0x5A);

  // Day 0 keeps the current moment; an invalid moment keeps its old value; the rest is stored.
  struct Case {
    AnswerBytes answer;
    bool clockKept, lastSetKept;
  };
  const Case cases[] = {
      {AnswerBytes{0, 1, 124, 0, 0, 0, 0, 2, 2, 120, 0, 0, 0, 0, 7}, true, false},
      {AnswerBytes{2, 2, 124, 0, 0, 0, 0, 30, 2, 120, 0, 0, 0, 0, 7}, false, true},
      {AnswerBytes{2, 13, 124, 0, 0, 0, 0, 2, 2, 120, 0xA4, 0xCB, 0x80, 0x00, 7}, true, true},
      {AnswerBytes{2, 2, 124, 0xFF, 0xFF, 0xFF, 0xFF, 2, 0, 120, 0, 0, 0, 0, 7}, true, true},
  };
  for (const Case& c : cases) {
    TXmt y;
    y.DeviceClock = 1.5;
    y.LastClockSet = 2.5;
    y.DecodeCmd90(c.answer);
    EXPECT_EQ(y.DeviceClock == 1.5, c.clockKept);
    EXPECT_EQ(y.LastClockSet == 2.5, c.lastSetKept);
    EXPECT_EQ(y.ClockFlags, 7);
  }
}

TEST_F(Decoders, SensorInputAndLimits) {
  x.DecodeCmd136(AnswerBytes{0x5A});
  EXPECT_EQ((std::array<int, 4>{x.SensorInfo, x.SensorKind, x.SensorConnection, x.SensorType}),
            (std::array<int, 4>{0x5A, 1, 1, 10}));
  EXPECT_EQ(x.LiveRecord.GetByte(TXmtRecord::OffSensorInfo), 0x5A);
  x.DecodeCmd136(AnswerBytes{0xF3});
  EXPECT_EQ((std::array<int, 3>{x.SensorKind, x.SensorConnection, x.SensorType}), (std::array<int, 3>{3, 3, 3}));

  x.DecodeCmd140(AnswerBytes{2});
  EXPECT_EQ(x.SelectedInput, 2);

  x.DecodeCmd143(AnswerBytes{2}.Single(9.0f).Single(8.0f));  // not input 1: nothing stored
  EXPECT_EQ(x.AI1UpperLimit, 0.0f);
  EXPECT_EQ(RecSingle(TXmtRecord::OffAI1UpperLimit), 0.0f);
  x.DecodeCmd143(AnswerBytes{1}.Single(20.0f).Single(4.0f));
  EXPECT_EQ(x.AI1UpperLimit, 20.0f);
  EXPECT_EQ(x.AI1LowerLimit, 4.0f);
  EXPECT_EQ(RecSingle(TXmtRecord::OffAI1UpperLimit), 20.0f);
  EXPECT_EQ(RecSingle(TXmtRecord::OffAI1LowerLimit), 4.0f);
}

TEST_F(Decoders, ChecksumsEepromPeaksAndSelfTest) {
  x.DecodeCmd189(AnswerBytes{0x12, 0x34});
  x.DecodeCmd190(AnswerBytes{0xFF, 0xFE});
  x.DecodeCmd191(AnswerBytes{0x00, 0x80});
  EXPECT_EQ((std::array<int, 3>{x.ParamChecksum, x.RomChecksum, x.TopOfStack}), (std::array<int, 3>{0x1234, 0xFFFE, 0x80}));

  // A byte up to 128 is positive.
  struct Case {
    int byte;
    int value;
  };
  const Case signedCases[] = {{0x00, 0}, {0x7F, 127}, {0x80, 128}, {0x81, -127}, {0xFF, -1}};
  for (const Case& c : signedCases) {
    x.DecodeCmd192(AnswerBytes{c.byte, 0xAB, 0xCD});
    EXPECT_EQ(x.EepromAddress, c.value);
    EXPECT_EQ(x.EepromValue, 0xABCD);
    x.DecodeCmd197(AnswerBytes{c.byte, c.byte});
    EXPECT_EQ(x.PeakMinimum, c.value);
    EXPECT_EQ(x.PeakMaximum, c.value);
  }
  x.DecodeCmd197(AnswerBytes{0x80, 0xFF});
  EXPECT_EQ(x.PeakMinimum, 128);
  EXPECT_EQ(x.PeakMaximum, -1);

  x.DecodeCmd196(AnswerBytes{0x42});
  EXPECT_EQ(x.SelfTestResult, 0x42);
}

TEST_F(Decoders, DriftSegmentsLockAndAdc) {
  x.DecodeCmd200(AnswerBytes{}.Single(1.0f).Single(2.0f).Single(-3.0f).Single(4.5f));
  EXPECT_EQ((std::array<float, 4>{x.DriftZ1, x.DriftG1, x.DriftZ2, x.DriftG2}), (std::array<float, 4>{1.0f, 2.0f, -3.0f, 4.5f}));

  struct Case {
    int index;
    bool stored;
  };
  const Case cases[] = {{0, false}, {1, true}, {47, true}, {48, false}, {255, false}};
  for (const Case& c : cases) {
    TXmt y;
    y.DecodeCmd202(AnswerBytes{c.index}.Single(12.5f).Single(-7.25f));
    EXPECT_EQ(y.SegmentIndex, c.index);
    EXPECT_EQ(y.SegmentX, 12.5f);
    EXPECT_EQ(y.SegmentY, -7.25f);
    const TXmtRecord empty;
    if (c.stored) {
      EXPECT_EQ(y.LiveRecord.GetSingle(152 + 8 * c.index), 12.5f);
      EXPECT_EQ(y.LiveRecord.GetSingle(152 + 8 * c.index + 4), -7.25f);
    } else {
      EXPECT_EQ(y.LiveRecord.Bytes, empty.Bytes) << c.index;
    }
  }

  x.DecodeCmd204(AnswerBytes{12});
  EXPECT_EQ(x.SegmentCount, 12);
  EXPECT_EQ(RecInt(TXmtRecord::OffSegmentCount), 12);
  x.DecodeCmd205(AnswerBytes{47});
  EXPECT_EQ(x.MaxSegments, 47);
  EXPECT_EQ(x.LockState, 255);
  x.DecodeCmd206(AnswerBytes{1});
  EXPECT_EQ(x.LockState, 1);

  x.DecodeCmd208(AnswerBytes{33}.Single(212.0f).Single(32.0f));
  EXPECT_EQ(x.SensorUnit, 4);
  EXPECT_EQ(x.PVUpperValue, 212.0f);
  EXPECT_EQ(x.PVLowerValue, 32.0f);
  EXPECT_EQ(x.LiveRecord.GetByte(TXmtRecord::OffPVUnit), 4);
  EXPECT_EQ(RecSingle(TXmtRecord::OffPVUpperValue), 212.0f);
  EXPECT_EQ(RecSingle(TXmtRecord::OffPVLowerValue), 32.0f);

  x.DecodeCmd210(AnswerBytes{}.Single(1234.5f).Single(-0.5f));
  EXPECT_EQ(x.AdcValue1, 1234.5f);
  EXPECT_EQ(x.AdcValue2, -0.5f);
  EXPECT_EQ(changes, 0);
}

TEST_F(Decoders, Cmd211Alarms) {
  x.DecodeCmd211(AnswerBytes{1, 0x92, 0xFF, 0x38, 0x00, 0x0A, 0x05, 0x01});
  EXPECT_EQ(x.AlarmSelector, 1);
  const TAlarmInfo& a = x.Alarm1;
  EXPECT_TRUE(a.SetPointEditable);
  EXPECT_FALSE(a.HysteresisEditable);
  EXPECT_FALSE(a.DelayEditable);
  EXPECT_TRUE(a.RelayEditable);
  EXPECT_EQ(a.Decimals, 2);
  EXPECT_EQ(a.SetPoint, -200);
  EXPECT_EQ(a.Hysteresis, 10);
  EXPECT_EQ(a.Delay, 5);
  EXPECT_EQ(a.RelayNormallyClosed, 1);
  // The record's 12 bytes: four flags, decimals, reserved, little-endian set point and hysteresis.
  const std::array<Byte, 12> bytes{1, 0, 0, 1, 2, 0, 0x38, 0xFF, 0x0A, 0x00, 5, 1};
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), x.LiveRecord.Bytes.begin() + 548));
  EXPECT_EQ(x.Alarm2, TAlarmInfo{});

  x.DecodeCmd211(AnswerBytes{2, 0x70, 0x7F, 0xFF, 0x80, 0x00, 0xFF, 0x00});
  EXPECT_EQ(x.Alarm2.SetPoint, 32767);
  EXPECT_EQ(x.Alarm2.Hysteresis, -32768);
  EXPECT_TRUE(x.Alarm2.HysteresisEditable && x.Alarm2.DelayEditable && x.Alarm2.SetPointEditable);
  EXPECT_EQ(x.LiveRecord.GetAlarm(560), x.Alarm2);
  EXPECT_EQ(x.LiveRecord.GetAlarm(548), x.Alarm1);

  const TXmtRecord before = x.LiveRecord;
  const TAlarmInfo a1 = x.Alarm1, a2 = x.Alarm2;
  x.DecodeCmd211(AnswerBytes{3, 0xFF, 1, 2, 3, 4, 5, 6});
  EXPECT_EQ(x.AlarmSelector, 3);
  EXPECT_EQ(x.Alarm1, a1);
  EXPECT_EQ(x.Alarm2, a2);
  EXPECT_EQ(x.LiveRecord.Bytes, before.Bytes);
}

TEST_F(Decoders, Cmd213DisplaySettings) {
  x.DecodeCmd213(AnswerBytes{0x0C, 0xFE});
  EXPECT_EQ(x.DecimalPoint, 4);
  EXPECT_EQ(x.UnitDisplay, 1);
  EXPECT_EQ(x.LastDigitStep, 2);
  EXPECT_EQ(x.LiveRecord.GetByte(572), 4);
  EXPECT_EQ(x.LiveRecord.GetByte(573), 2);
  EXPECT_EQ(x.LiveRecord.GetByte(592), 1);
  x.DecodeCmd213(AnswerBytes{0xF7, 0x03});
  EXPECT_EQ((std::array<int, 3>{x.DecimalPoint, x.UnitDisplay, x.LastDigitStep}), (std::array<int, 3>{7, 0, 3}));
}

// Every decoder given no data at all reads zeros and stays inside its buffer.
TEST_F(Decoders, EmptyAnswersReadZeros) {
  const TAnswerData none;
  using Decoder = void (TXmt::*)(TAnswerData);
  const Decoder all[] = {
      &TXmt::DecodeCmd1,   &TXmt::DecodeCmd2,   &TXmt::DecodeCmd3,   &TXmt::DecodeCmd12,  &TXmt::DecodeCmd13,
      &TXmt::DecodeCmd14,  &TXmt::DecodeCmd15,  &TXmt::DecodeCmd16,  &TXmt::DecodeCmd41,  &TXmt::DecodeCmd44,
      &TXmt::DecodeCmd47,  &TXmt::DecodeCmd89,  &TXmt::DecodeCmd90,  &TXmt::DecodeCmd136, &TXmt::DecodeCmd140,
      &TXmt::DecodeCmd143, &TXmt::DecodeCmd189, &TXmt::DecodeCmd190, &TXmt::DecodeCmd191, &TXmt::DecodeCmd192,
      &TXmt::DecodeCmd194, &TXmt::DecodeCmd196, &TXmt::DecodeCmd197, &TXmt::DecodeCmd200, &TXmt::DecodeCmd202,
      &TXmt::DecodeCmd204, &TXmt::DecodeCmd205, &TXmt::DecodeCmd206, &TXmt::DecodeCmd208, &TXmt::DecodeCmd210,
      &TXmt::DecodeCmd211, &TXmt::DecodeCmd213,
  };
  for (Decoder d : all) (x.*d)(none);
  x.DecodeCmd48(none, 27);
  EXPECT_EQ(x.PVText, "0.00 ");
  EXPECT_EQ(x.Tag, "@@@@@@@@");
  EXPECT_EQ(x.DateText, "01/01/1900");
  EXPECT_EQ(x.LockState, 0);
  EXPECT_EQ(x.AdditionalStatusCount, 25);
  EXPECT_EQ(x.AdditionalStatus, (std::array<Byte, 24>{}));

  // A short tag answer: the missing bytes are zeros, which unpack as at-signs.
  x.DecodeCmd13(AnswerBytes{0x04, 0x20, 0xC4, 0x04});
  EXPECT_EQ(x.Tag, "ABCDA@@@");
  EXPECT_EQ(x.Descriptor, std::string(16, '@'));
}
