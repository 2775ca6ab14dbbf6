#include <set>

#include "HARTTestFrames.h"

using namespace hart_test;

namespace {

struct OpCase {
  const char* name;
  std::function<void(THART&, TXmt&)> send;
  int command;
  std::string data;  // hex
};

std::string Packed(const std::string& text, int chars) { return Hex(HartEncode::PackedText(text, chars)); }

std::string Join(std::initializer_list<std::string> parts) {
  std::string out;
  for (const auto& p : parts) {
    if (p.empty()) continue;
    if (!out.empty()) out += ' ';
    out += p;
  }
  return out;
}

const TDateTime Jan1st2001 = 36892.0;

}  // namespace

TEST_F(LinkFixture, EveryRequestOperationSendsItsCommandAndDataInWireOrder) {
  using H = THART;
  using X = TXmt;
  TAlarmInfo alarm;
  alarm.SetPointEditable = alarm.HysteresisEditable = alarm.DelayEditable = alarm.RelayEditable = true;
  alarm.Decimals = 1;
  alarm.SetPoint = -1;
  alarm.Hysteresis = 2;
  alarm.Delay = 3;
  alarm.RelayNormallyClosed = 0;
  TAlarmInfo plain;
  plain.Decimals = 2;
  plain.RelayEditable = true;
  plain.SetPoint = 1000;
  plain.RelayNormallyClosed = 1;

  const std::vector<OpCase> cases = {
      {"ReadPrimaryVariable", [](H& h, X& x) { h.ReadPrimaryVariable(x); }, 1, ""},
      {"ReadCurrentAndPercent", [](H& h, X& x) { h.ReadCurrentAndPercent(x); }, 2, ""},
      {"ReadDynamicVariables", [](H& h, X& x) { h.ReadDynamicVariables(x); }, 3, ""},
      {"ReadMessage", [](H& h, X& x) { h.ReadMessage(x); }, 12, ""},
      {"ReadTagDescriptorDate", [](H& h, X& x) { h.ReadTagDescriptorDate(x); }, 13, ""},
      {"ReadSensorInformation", [](H& h, X& x) { h.ReadSensorInformation(x); }, 14, ""},
      {"ReadOutputInformation", [](H& h, X& x) { h.ReadOutputInformation(x); }, 15, ""},
      {"ReadAssemblyNumber", [](H& h, X& x) { h.ReadAssemblyNumber(x); }, 16, ""},
      {"ResetConfigChangedFlag", [](H& h, X& x) { h.ResetConfigChangedFlag(x); }, 38, ""},
      {"PerformSelfTest", [](H& h, X& x) { h.PerformSelfTest(x); }, 41, ""},
      {"ResetDevice", [](H& h, X& x) { h.ResetDevice(x); }, 42, ""},
      {"ReadAdditionalStatus", [](H& h, X& x) { h.ReadAdditionalStatus(x); }, 48, ""},
      {"ReadRealTimeClock", [](H& h, X& x) { h.ReadRealTimeClock(x); }, 90, ""},
      {"TrimSensorFullScale", [](H& h, X& x) { h.TrimSensorFullScale(x); }, 134, ""},
      {"TrimSensorOffset", [](H& h, X& x) { h.TrimSensorOffset(x); }, 135, ""},
      {"ReadSensorInfo", [](H& h, X& x) { h.ReadSensorInfo(x); }, 137, ""},
      {"SetPEReference", [](H& h, X& x) { h.SetPEReference(x); }, 138, ""},
      {"SetZReference", [](H& h, X& x) { h.SetZReference(x); }, 139, ""},
      {"ReadParamChecksum", [](H& h, X& x) { h.ReadParamChecksum(x); }, 189, ""},
      {"ReadRomChecksum", [](H& h, X& x) { h.ReadRomChecksum(x); }, 190, ""},
      {"ReadTopOfStack", [](H& h, X& x) { h.ReadTopOfStack(x); }, 191, ""},
      {"ReadStatusRegister", [](H& h, X& x) { h.ReadStatusRegister(x); }, 195, ""},
      {"ReadAutotestResult", [](H& h, X& x) { h.ReadAutotestResult(x); }, 196, ""},
      {"ReadPeakThermalValue", [](H& h, X& x) { h.ReadPeakThermalValue(x); }, 198, ""},
      {"ReadThermalDriftCorrection", [](H& h, X& x) { h.ReadThermalDriftCorrection(x); }, 200, ""},
      {"ReadSegmentNumber", [](H& h, X& x) { h.ReadSegmentNumber(x); }, 204, ""},
      {"ReadMaxSegments", [](H& h, X& x) { h.ReadMaxSegments(x); }, 205, ""},
      {"ReadPVRangeInfo", [](H& h, X& x) { h.ReadPVRangeInfo(x); }, 208, ""},
      {"ReadADCValues", [](H& h, X& x) { h.ReadADCValues(x); }, 210, ""},
      {"ReadExtendedStatus", [](H& h, X& x) { h.ReadExtendedStatus(x); }, 214, ""},

      {"WritePollingAddress", [](H& h, X& x) { h.WritePollingAddress(x, 5); }, 6, "05"},
      {"WriteMessage", [](H& h, X& x) { h.WriteMessage(x, "ABC"); }, 17,
       "04 20 E0 82 08 20 82 08 20 82 08 20 82 08 20 82 08 20 82 08 20 82 08 20"},
      {"WriteMessage cut to 32", [](H& h, X& x) { h.WriteMessage(x, std::string(40, 'A')); }, 17,
       Packed(std::string(32, 'A'), 32)},
      {"WriteTagDescriptorDate", [](H& h, X& x) { h.WriteTagDescriptorDate(x, "tt-101", "desc", "15/03/2001"); },
       18, Join({Packed("TT-101", 8), Packed("DESC", 16), "0F 03 65"})},
      {"WriteAssemblyNumber", [](H& h, X& x) { h.WriteAssemblyNumber(x, 70000); }, 19, "01 11 70"},
      {"WriteDampingValue", [](H& h, X& x) { h.WriteDampingValue(x, 2.5f); }, 34, "40 20 00 00"},
      {"WriteRangeValues", [](H& h, X& x) { h.WriteRangeValues(x, 32, 100.0f, 0.0f); }, 35,
       "20 42 C8 00 00 00 00 00 00"},
      {"RefreshCacheMemory", [](H& h, X& x) { h.RefreshCacheMemory(x); }, 39, "01"},
      {"FixCurrent", [](H& h, X& x) { h.FixCurrent(x, 4.0f); }, 40, "40 80 00 00"},
      {"WriteUnits", [](H& h, X& x) { h.WriteUnits(x, 33); }, 44, "21"},
      {"TrimCurrentZero", [](H& h, X& x) { h.TrimCurrentZero(x, 4.0f); }, 45, "40 80 00 00"},
      {"TrimCurrentGain", [](H& h, X& x) { h.TrimCurrentGain(x, 20.0f); }, 46, "41 A0 00 00"},
      {"WriteTransferFunction", [](H& h, X& x) { h.WriteTransferFunction(x, 253); }, 47, "FD"},
      {"WriteSerialNumber", [](H& h, X& x) { h.WriteSerialNumber(x, 123456); }, 49, "01 E2 40"},
      {"SetRealTimeClock", [](H& h, X& x) { h.SetRealTimeClock(x, 1, Jan1st2001 + 1.0 / 24); }, 89,
       "01 01 01 65 06 DD D0 00 00 00"},
      {"SetRealTimeClock last millisecond", [](H& h, X& x) { h.SetRealTimeClock(x, 2, 36950.0 + 86399999.0 / 86400000); },
       89, "02 1C 02 65 A4 CB 7F E0 00 00"},
      {"RegisterDevice", [](H& h, X& x) { h.RegisterDevice(x, 70000); }, 128, "01 11 70 01 01 65 52 36"},
      {"TrimAmbientTemperature", [](H& h, X& x) { h.TrimAmbientTemperature(x, 25.0f); }, 129, "41 C8 00 00"},
      {"TrimMidScalePoints", [](H& h, X& x) { h.TrimMidScalePoints(x, 3); }, 133, "03"},
      {"WriteSensorInfo", [](H& h, X& x) { h.WriteSensorInfo(x, 0x5A); }, 136, "5A"},
      {"SelectInput", [](H& h, X& x) { h.SelectInput(x, 2); }, 140, "02"},
      {"WriteSecondaryInputLimits", [](H& h, X& x) { h.WriteSecondaryInputLimits(x, 1, 153.0f, 147.0f); }, 143,
       "01 43 19 00 00 43 13 00 00"},
      {"ReadSecondaryInputLimits", [](H& h, X& x) { h.ReadSecondaryInputLimits(x, 1); }, 144, "01"},
      {"ReadE2PromValue", [](H& h, X& x) { h.ReadE2PromValue(x, 0x1A5); }, 192, "A5"},
      {"WriteE2PromValue", [](H& h, X& x) { h.WriteE2PromValue(x, 0x1A5, 0xBEEF); }, 193, "A5 BE EF"},
      {"WriteStatusRegister", [](H& h, X& x) { h.WriteStatusRegister(x, 7854); }, 194, "1E AE"},
      {"WritePeakThermalValue", [](H& h, X& x) { h.WritePeakThermalValue(x, 0xF6, 0x2D); }, 197, "F6 2D"},
      {"WriteThermalDriftCorrection", [](H& h, X& x) { h.WriteThermalDriftCorrection(x, 1.0f, 2.0f, -1.0f, 0.5f); },
       199, "3F 80 00 00 40 00 00 00 BF 80 00 00 3F 00 00 00"},
      {"WriteSegment", [](H& h, X& x) { h.WriteSegment(x, 300, 1.0f, 2.0f); }, 201, "2C 3F 80 00 00 40 00 00 00"},
      {"ReadSegment", [](H& h, X& x) { h.ReadSegment(x, 7); }, 202, "07"},
      {"WriteSegmentNumber", [](H& h, X& x) { h.WriteSegmentNumber(x, 260); }, 203, "04 00"},
      {"WriteAccessLock", [](H& h, X& x) { h.WriteAccessLock(x, 7163); }, 206, "1B FB"},
      {"WriteAccessLock below 256", [](H& h, X& x) { h.WriteAccessLock(x, 200); }, 206, "00 C8"},
      {"WritePVRangeInfo", [](H& h, X& x) { h.WritePVRangeInfo(x, 32, 100.0f, -50.0f); }, 207,
       "20 42 C8 00 00 C2 48 00 00"},
      {"WriteAlarmInfo", [&alarm](H& h, X& x) { h.WriteAlarmInfo(x, 1, alarm); }, 211, "01 F1 FF FF 00 02 03 00"},
      {"WriteAlarmInfo, one flag", [&plain](H& h, X& x) { h.WriteAlarmInfo(x, 2, plain); }, 211,
       "02 82 03 E8 00 00 00 01"},
      {"ReadAlarmInfo", [](H& h, X& x) { h.ReadAlarmInfo(x, 2); }, 212, "02"},
      {"WriteExtendedStatus", [](H& h, X& x) { h.WriteExtendedStatus(x, 0x0C01); }, 213, "0C 01"},

      {"ReadUniqueIdentifier", [](H& h, X&) { h.ReadUniqueIdentifier(2); }, 0, ""},
      {"FindByTag", [](H& h, X&) { h.FindByTag("pt-7"); }, 11, Packed("PT-7", 8)},
      {"FindByLongTag", [](H& h, X&) { h.FindByLongTag("Long tag"); }, 21,
       Hex("Long tag" + std::string(24, ' '))},
  };

  hart.NbPreambles = 5;
  hart.MasterAdress = TMasterAdress::Host_Communicator;
  Address({0xFA, 0x16, 0x01, 0x02, 0x03});
  std::set<int> commands;
  for (const auto& c : cases) {
    hart.LastCommand = 77;
    c.send(hart, xmt);
    const TRequestSeen r = ReadRequest(LastSent());
    EXPECT_EQ(r.Preambles, 5) << c.name;
    EXPECT_TRUE(r.CheckOk) << c.name;
    EXPECT_TRUE(r.Trailer) << c.name;
    EXPECT_EQ(r.Command, c.command) << c.name;
    EXPECT_EQ(Hex(r.Data), c.data) << c.name;
    const bool broadcast = c.command == 11 || c.command == 21;
    if (c.command == 0)
      EXPECT_EQ(Hex(r.Address), "82") << c.name;
    else
      EXPECT_EQ(Hex(r.Address), broadcast ? "80 00 00 00 00" : "BA 16 01 02 03") << c.name;
    ASSERT_NE(FindRequestTemplate(static_cast<Byte>(c.command)), nullptr) << c.name;
    EXPECT_EQ(static_cast<std::size_t>(FindRequestTemplate(static_cast<Byte>(c.command))->ByteCount), r.Data.size())
        << c.name;
    EXPECT_EQ(hart.LastCommand, -1) << c.name;
    EXPECT_EQ(hart.ExpectedCommand, c.command == 42 || c.command == 128 ? -1 : c.command) << c.name;
    commands.insert(c.command);
  }
  // One operation for each of the 67 templates.
  std::set<int> templated;
  for (const auto& t : RequestTemplates()) templated.insert(t.Command);
  EXPECT_EQ(commands, templated);
}

TEST_F(LinkFixture, ExpansionTestFrameIsFixedWhateverPreamblesAndMaster) {
  hart.NbPreambles = 20;
  hart.MasterAdress = TMasterAdress::Host_Communicator;
  Address({0xFA, 0x16, 0x01, 0x02, 0x03});
  hart.ReadTopOfStack(xmt);
  hart.LastCommand = 5;
  EXPECT_TRUE(hart.SendExpansionTestFrame(xmt));
  EXPECT_EQ(Hex(LastSent()), "FF FF FF FF A6 AF FA 12 34 56 55 01 0F D8 FF FF FF FF FF 82 3A 16 01 02 03 00 00 AE 00");
  EXPECT_EQ(hart.LastCommand, -1);
  EXPECT_EQ(hart.ExpectedCommand, 191);  // left as it was
}

TEST_F(LinkFixture, DateTextOfTheTagWriteIsReadDayFirst) {
  Address();
  struct DateCase {
    std::string text;
    char separator;
    const char* bytes;
  };
  const std::vector<DateCase> good = {
      {"5/3/2001", '/', "05 03 65"},   {"15/03/2001", '/', "0F 03 65"}, {"15/3/2001", '/', "0F 03 65"},
      {"05.07.2023", '.', "05 07 7B"}, {"1.2.1999", '.', "01 02 63"},   {"31-12-1899", '/', "1F 0C FF"},
      {" 5/ 3/2001", '/', "05 03 65"},
  };
  for (const auto& c : good) {
    xmt.FormatSettings.DateSeparator = c.separator;
    hart.WriteTagDescriptorDate(xmt, "T", "D", c.text);
    EXPECT_EQ(Hex(ReadRequest(LastSent()).Data.substr(18)), c.bytes) << c.text;
  }
  xmt.FormatSettings.DateSeparator = '/';
  for (const std::string bad : {"ab/03/2001", "", "15/03/20x1", "15/03", "5 /03/2001", "15/0A/2001"}) {
    const std::size_t sent = fake.Sent.size();
    hart.LastCommand = 4;
    hart.ExpectedCommand = 4;
    EXPECT_THROW(hart.WriteTagDescriptorDate(xmt, "T", "D", bad), EConvertError) << bad;
    EXPECT_EQ(fake.Sent.size(), sent) << bad;
    EXPECT_EQ(hart.LastCommand, -1) << bad;
    EXPECT_EQ(hart.ExpectedCommand, 18) << bad;
  }
}

TEST_F(LinkFixture, SegmentWritesAlsoStoreIntoTheLiveRecord) {
  Address();
  xmt.LiveRecord.SetPoint(1, 9.0f, 9.0f);
  for (int index : {0, 1, 47}) {
    hart.WriteSegment(xmt, index, 1.5f + static_cast<float>(index), -2.0f);
    EXPECT_FLOAT_EQ(xmt.LiveRecord.PointX(index), 1.5f + static_cast<float>(index));
    EXPECT_FLOAT_EQ(xmt.LiveRecord.PointY(index), -2.0f);
  }
  // Beyond the record's 48 points the request goes out but nothing is stored.
  const auto before = xmt.LiveRecord.Bytes;
  for (int index : {48, 255, 360, -1}) {
    hart.WriteSegment(xmt, index, 7.0f, 7.0f);
    EXPECT_EQ(ReadRequest(LastSent()).Command, 201);
    EXPECT_TRUE(xmt.LiveRecord.Bytes == before) << index;
  }
  xmt.LiveRecord.SetInt32(TXmtRecord::OffSegmentCount, 5);
  hart.WriteSegmentNumber(xmt, 0);
  EXPECT_EQ(Hex(ReadRequest(LastSent()).Data), "00 00");
  EXPECT_EQ(xmt.LiveRecord.GetInt32(TXmtRecord::OffSegmentCount), 0);
}
