// The simulated transmitter seen from the line: frames are built by hand here, so that the
// simulator is checked against the HART rules and not against the program's own code.

#include "support/SimTransmitter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Hex(const std::string& text) {
  Bytes out;
  std::istringstream in(text);
  std::string b;
  while (in >> b) out.push_back(static_cast<std::uint8_t>(std::stoul(b, nullptr, 16)));
  return out;
}

std::string ToHex(const Bytes& bytes) {
  std::string s;
  static const char* digits = "0123456789ABCDEF";
  for (std::uint8_t b : bytes) {
    if (!s.empty()) s += ' ';
    s += digits[b >> 4];
    s += digits[b & 15];
  }
  return s;
}

// preambles, the frame with its check byte appended, and the trailing 0x00 a master sends.
Bytes OnLine(const Bytes& frame, int preambles = 5) {
  Bytes out(static_cast<std::size_t>(preambles), 0xFF);
  std::uint8_t check = 0;
  for (std::uint8_t b : frame) check ^= b;
  out.insert(out.end(), frame.begin(), frame.end());
  out.push_back(check);
  out.push_back(0x00);
  return out;
}

// A long request from the primary master to the default identity (250 / 0x16 / 01 02 03).
Bytes LongRequest(std::uint8_t command, const Bytes& data = {}, std::uint8_t addr0 = 0xBA) {
  Bytes f{0x82, addr0, 0x16, 0x01, 0x02, 0x03, command, static_cast<std::uint8_t>(data.size())};
  f.insert(f.end(), data.begin(), data.end());
  return OnLine(f);
}

struct Answer {
  int Preambles = 0;
  std::uint8_t Delimiter = 0;
  Bytes Address;
  std::uint8_t Command = 0, ByteCount = 0, ResponseCode = 0, DeviceStatus = 0;
  Bytes Data;
  bool CheckOk = false;
};

// Reads an answer as a master would; fails the test when it is not well formed.
Answer Parse(const std::optional<Bytes>& raw) {
  Answer a;
  EXPECT_TRUE(raw.has_value());
  if (!raw) return a;
  const Bytes& r = *raw;
  std::size_t i = 0;
  while (i < r.size() && r[i] == 0xFF) ++i;
  a.Preambles = static_cast<int>(i);
  const std::size_t start = i;
  if (i >= r.size()) {
    ADD_FAILURE() << "no delimiter";
    return a;
  }
  a.Delimiter = r[i++];
  const std::size_t addrLen = (a.Delimiter & 0x80) ? 5 : 1;
  if (r.size() < i + addrLen + 4) {
    ADD_FAILURE() << "answer too short: " << ToHex(r);
    return a;
  }
  a.Address.assign(r.begin() + static_cast<std::ptrdiff_t>(i), r.begin() + static_cast<std::ptrdiff_t>(i + addrLen));
  i += addrLen;
  a.Command = r[i++];
  a.ByteCount = r[i++];
  EXPECT_EQ(r.size(), i + a.ByteCount + 1) << "frame length against byte count: " << ToHex(r);
  if (r.size() < i + a.ByteCount + 1 || a.ByteCount < 2) return a;
  a.ResponseCode = r[i];
  a.DeviceStatus = r[i + 1];
  a.Data.assign(r.begin() + static_cast<std::ptrdiff_t>(i + 2), r.begin() + static_cast<std::ptrdiff_t>(i + a.ByteCount));
  std::uint8_t x = 0;
  for (std::size_t k = start; k < r.size(); ++k) x ^= r[k];
  a.CheckOk = x == 0;
  return a;
}

TEST(SimTransmitterTest, AnswersCommandZeroWithTheFullIdentityFrame) {
  SimTransmitter sim;
  const auto answer = sim.Feed(Hex("FF FF FF FF FF 02 80 00 00 82 00"));
  ASSERT_TRUE(answer);
  EXPECT_EQ(ToHex(*answer),
            "FF FF FF FF FF 06 80 00 18 00 00 FE FA 16 05 05 01 01 08 00 01 02 03 05 04 00 00 00 00 FA 00 FA 01 84");

  // Without the configuration change counter the identity stops after the device id.
  sim.Identity.SendConfigChangeCounter = false;
  sim.Identity.ConfigChangeCounter = 0x1234;
  Answer a = Parse(sim.Feed(Hex("FF FF FF FF FF 02 80 00 00 82 00")));
  EXPECT_EQ(a.ByteCount, 14);
  EXPECT_EQ(ToHex(a.Data), "FE FA 16 05 05 01 01 08 00 01 02 03");
  sim.Identity.SendConfigChangeCounter = true;
  a = Parse(sim.Feed(Hex("FF FF FF FF FF 02 80 00 00 82 00")));
  EXPECT_EQ(a.Data[14], 0x12);
  EXPECT_EQ(a.Data[15], 0x34);
}

TEST(SimTransmitterTest, IdentityFieldsGoWhereTheDecoderReadsThem) {
  SimTransmitter sim;
  sim.Identity = {};
  sim.Identity.ManufacturerId = 0x26;
  sim.Identity.DeviceType = 0x10;
  sim.Identity.UniversalRevision = 7;
  sim.Identity.DeviceRevision = 3;
  sim.Identity.SoftwareRevision = 9;
  sim.Identity.HardwareRevision = 0x1F;
  sim.Identity.SignalingCode = 5;
  sim.Identity.DeviceId = 0x0A0B0C;
  sim.Identity.PreamblesRequested = 7;
  // The request of the wire example, as a secondary master.
  const Answer a = Parse(sim.Feed(Hex("FF FF FF FF FF 82 26 10 0A 0B 0C 00 00 B9 00")));
  EXPECT_EQ(a.Delimiter, 0x86);
  EXPECT_EQ(ToHex(a.Address), "26 10 0A 0B 0C");
  EXPECT_EQ(ToHex(Bytes(a.Data.begin(), a.Data.begin() + 12)), "FE 26 10 07 07 03 09 FD 00 0A 0B 0C");
  EXPECT_TRUE(a.CheckOk);
}

// Which frames the device takes as addressed to it, and how it answers them.
TEST(SimTransmitterTest, FrameAddressingAndLineNoise) {
  struct Case {
    const char* name;
    Bytes line;
    bool answered;
    std::uint8_t delimiter;
    std::string address;
    std::uint8_t command;
    int preambles;
  };
  const Bytes cmd1 = Hex("82 BA 16 01 02 03 01 00");
  Bytes noisy = Hex("00 12 FF 3F 55 AA 82");
  const Bytes req = OnLine(cmd1, 3);
  noisy.insert(noisy.end(), req.begin(), req.end());
  Bytes badCheck = OnLine(cmd1);
  badCheck[badCheck.size() - 2] ^= 0x01;
  const Case cases[] = {
      {"short, primary master", OnLine(Hex("02 80 00 00")), true, 0x06, "80", 0, 5},
      {"short, secondary master", OnLine(Hex("02 00 00 00")), true, 0x06, "00", 0, 5},
      {"short, another polling address", OnLine(Hex("02 83 00 00")), false, 0, "", 0, 0},
      {"long, primary master", OnLine(cmd1), true, 0x86, "BA 16 01 02 03", 1, 5},
      {"long, secondary master, 20 preambles", OnLine(Hex("82 3A 16 01 02 03 01 00"), 20), true, 0x86,
       "3A 16 01 02 03", 1, 20},
      {"long, two preambles", OnLine(cmd1, 2), true, 0x86, "BA 16 01 02 03", 1, 2},
      {"long, one preamble is not enough", OnLine(cmd1, 1), false, 0, "", 0, 0},
      {"long, another device id", OnLine(Hex("82 BA 16 01 02 04 01 00")), false, 0, "", 0, 0},
      {"long, another device type", OnLine(Hex("82 BA 17 01 02 03 01 00")), false, 0, "", 0, 0},
      {"long, manufacturer compared on its low six bits", OnLine(Hex("82 FA 16 01 02 03 01 00")), true, 0x86,
       "BA 16 01 02 03", 1, 5},
      {"noise before the preambles", noisy, true, 0x86, "BA 16 01 02 03", 1, 3},
      {"bad check byte", badCheck, false, 0, "", 0, 0},
      {"another slave's answer", OnLine(Hex("86 BA 16 01 02 03 01 02 00 00")), false, 0, "", 0, 0},
      {"broadcast read of the primary variable", OnLine(Hex("82 80 00 00 00 00 01 00")), false, 0, "", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SimTransmitter sim;
    const auto raw = sim.Feed(c.line);
    ASSERT_EQ(raw.has_value(), c.answered);
    if (!c.answered) continue;
    const Answer a = Parse(raw);
    EXPECT_EQ(a.Delimiter, c.delimiter);
    EXPECT_EQ(ToHex(a.Address), c.address);
    EXPECT_EQ(a.Command, c.command);
    EXPECT_EQ(a.Preambles, 5);
    EXPECT_TRUE(a.CheckOk);
    ASSERT_EQ(sim.Requests.size(), 1u);
    EXPECT_EQ(sim.Requests[0].Command, c.command);
    EXPECT_EQ(sim.Requests[0].Preambles, c.preambles);
    EXPECT_EQ(sim.Requests[0].LongFrame, c.delimiter == 0x86);
    EXPECT_EQ(sim.Requests[0].PrimaryMaster, (a.Address[0] & 0x80) != 0);
  }
}

TEST(SimTransmitterTest, RequestFedInPiecesIsAnsweredOnItsLastByte) {
  SimTransmitter sim;
  const Bytes line = LongRequest(2);
  for (std::size_t i = 0; i + 2 < line.size(); ++i)
    EXPECT_FALSE(sim.Feed(Bytes{line[i]})) << "byte " << i;
  const Answer a = Parse(sim.Feed(Bytes{line[line.size() - 2]}));  // the check byte
  EXPECT_EQ(a.Command, 2);
  EXPECT_FALSE(sim.Feed(Bytes{0x00}));  // the trailing byte answers nothing
  EXPECT_EQ(sim.Requests.size(), 1u);
}

TEST(SimTransmitterTest, SearchByTagAnswersOnlyTheMatchingTag) {
  SimTransmitter sim;
  sim.State.Tag = "TT-101";
  const Bytes search = Hex("82 80 00 00 00 00 0B 06");
  Bytes match = search, other = search;
  for (std::uint8_t b : Hex("51 4B 71 C3 18 20")) match.push_back(b);  // "TT-101  "
  for (std::uint8_t b : Hex("20 53 0C 3E 08 20")) other.push_back(b);  // "HELLO   "

  EXPECT_FALSE(sim.Feed(OnLine(other)));
  ASSERT_EQ(sim.Requests.size(), 1u);
  EXPECT_TRUE(sim.Requests[0].Broadcast);

  const Answer a = Parse(sim.Feed(OnLine(match)));
  EXPECT_EQ(a.Command, 11);
  EXPECT_EQ(ToHex(a.Address), "BA 16 01 02 03");  // the device's own address, not the broadcast one
  EXPECT_EQ(ToHex(Bytes(a.Data.begin() + 9, a.Data.begin() + 12)), "01 02 03");
}

TEST(SimTransmitterTest, SearchByLongTagComparesTheBlankPaddedText) {
  SimTransmitter sim;
  sim.State.LongTag = "BOILER 3 OUTLET";
  auto search = [](const std::string& tag) {
    Bytes f = Hex("82 00 00 00 00 00 15 20");
    std::string padded = tag;
    padded.resize(32, ' ');
    f.insert(f.end(), padded.begin(), padded.end());
    return OnLine(f);
  };
  EXPECT_FALSE(sim.Feed(search("BOILER 3")));
  const Answer a = Parse(sim.Feed(search("BOILER 3 OUTLET")));
  EXPECT_EQ(a.Command, 21);
  EXPECT_EQ(ToHex(a.Address), "3A 16 01 02 03");
}

// Answer data of the reads, against a known state.
TEST(SimTransmitterTest, ReadAnswerLayouts) {
  SimTransmitter sim;
  SimState& s = sim.State;
  s.PVUnitCode = 32;
  s.PV = 25.0f;
  s.SVUnitCode = 33;
  s.SV = 21.5f;
  s.TVUnitCode = 35;
  s.TV = 4.0f;
  s.QVUnitCode = 32;
  s.QV = -1.5f;
  s.LoopCurrent = 8.0f;
  s.PercentOfRange = 25.0f;
  s.Message = "TEST BENCH";
  s.Tag = "TT-101";
  s.Descriptor = "SIMULATED XMTR";
  s.Day = 15;
  s.Month = 3;
  s.YearSince1900 = 124;
  s.AlarmSelection = 1;
  s.TransferFunction = 0;
  s.RangeUnitCode = 32;
  s.UpperRangeValue = 100.0f;
  s.LowerRangeValue = -50.0f;
  s.Damping = 2.5f;
  s.WriteProtect = 1;

  struct Case {
    std::uint8_t command;
    Bytes request;
    std::string data;
  };
  const Case cases[] = {
      {1, {}, "20 41 C8 00 00"},
      {2, {}, "41 00 00 00 41 C8 00 00"},
      {3, {}, "41 00 00 00 20 41 C8 00 00 21 41 AC 00 00 23 40 80 00 00 20 BF C0 00 00"},
      {12, {}, "50 54 D4 80 21 4E 0C 88 20 82 08 20 82 08 20 82 08 20 82 08 20 82 08 20"},
      {13, {}, "51 4B 71 C3 18 20 4C 93 55 30 15 05 12 06 0D 51 28 20 0F 03 7C"},
      {15, {}, "01 00 20 42 C8 00 00 C2 48 00 00 40 20 00 00 01 FA"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.command));
    const Answer a = Parse(sim.Feed(LongRequest(c.command, c.request)));
    EXPECT_EQ(a.Command, c.command);
    EXPECT_EQ(a.ResponseCode, 0);
    EXPECT_TRUE(a.CheckOk);
    EXPECT_EQ(ToHex(a.Data), c.data);
  }
}

TEST(SimTransmitterTest, WritesAreAppliedAndEchoedAsTheDeviceNowHoldsThem) {
  SimTransmitter sim;
  // Command 17 with "ABC": the device keeps the padded text and answers it back.
  const Bytes abc = Hex("04 20 E0 82 08 20 82 08 20 82 08 20 82 08 20 82 08 20 82 08 20 82 08 20");
  Answer a = Parse(sim.Feed(LongRequest(17, abc)));
  EXPECT_EQ(a.Data, abc);
  EXPECT_EQ(sim.State.Message, "ABC" + std::string(29, ' '));
  EXPECT_EQ(Parse(sim.Feed(LongRequest(12))).Data, abc);

  // Command 18: tag "HELLO", descriptor "NEW DESCRIPTION", 5 March 2001.
  const Bytes tdd = Hex("20 53 0C 3E 08 20 38 55 E0 10 54 C3 48 94 14 24 F3 A0 05 03 65");
  a = Parse(sim.Feed(LongRequest(18, tdd)));
  EXPECT_EQ(a.Data, tdd);
  EXPECT_EQ(sim.State.Tag, "HELLO   ");
  EXPECT_EQ(sim.State.Descriptor, "NEW DESCRIPTION ");
  EXPECT_EQ(sim.State.Day, 5);
  EXPECT_EQ(sim.State.Month, 3);
  EXPECT_EQ(sim.State.YearSince1900, 101);
  EXPECT_EQ(Parse(sim.Feed(LongRequest(13))).Data, tdd);
}


// The device's remaining reads and actions, against a known state.
TEST(SimTransmitterTest, DeviceSpecificAndOtherReadLayouts) {
  SimTransmitter sim;
  SimState& s = sim.State;
  s.SensorSerialNumber = 0x011170;
  s.SensorUnitCode = 32;
  s.SensorUpperLimit = 850.0f;
  s.SensorLowerLimit = -200.0f;
  s.MinimumSpan = 10.0f;
  s.FinalAssemblyNumber = 0x0A0B0C;
  s.AdditionalStatus = Hex("01 02 03 04 05 06");
  s.ClockDate = {5, 3, 101};
  s.ClockTime = 0x06DDD000;
  s.ClockSetDate = {1, 2, 100};
  s.ClockSetTime = 0x0A4CB800;
  s.ClockFlags = 0x81;
  s.SensorInfo = 0x5A;
  s.AI1UpperLimit = 153.0f;
  s.AI1LowerLimit = 147.0f;
  s.ParamChecksum = 0x1234;
  s.RomChecksum = 0xBEEF;
  s.TopOfStack = 0x0040;
  s.Eeprom[0x2A] = 0xCAFE;
  s.StatusRegister = 0x1EAE;
  s.SelfTestResult = 3;
  s.PeakMinimum = 0x80;
  s.PeakMaximum = 0xFF;
  s.DriftZ1 = 0.125f;
  s.DriftG1 = 1.5f;
  s.DriftZ2 = -2.0f;
  s.DriftG2 = 0.75f;
  s.Points[12] = {30.0f, 70.0f};
  s.SegmentCount = 7;
  s.MaxSegments = 47;
  s.PVRangeUnitCode = 33;
  s.PVUpperValue = 200.0f;
  s.PVLowerValue = -50.0f;
  s.AdcValue1 = 1.25f;
  s.AdcValue2 = 0.5f;
  s.Alarms[1] = {2, 0x92, 0xFF, 0x38, 0x00, 0x0A, 0x05, 0x01};
  s.ExtendedStatus = 0x0A02;

  struct Case {
    std::uint8_t command;
    std::string request, data;
  };
  const Case cases[] = {
      {14, "", "01 11 70 20 44 54 80 00 C3 48 00 00 41 20 00 00"},
      {16, "", "0A 0B 0C"},
      {48, "", "01 02 03 04 05 06"},
      {90, "", "05 03 65 06 DD D0 00 01 02 64 0A 4C B8 00 81"},
      {137, "", "5A"},
      {144, "01", "01 43 19 00 00 43 13 00 00"},
      {144, "02", "02 00 00 00 00 00 00 00 00"},
      {189, "", "12 34"},
      {190, "", "BE EF"},
      {191, "", "00 40"},
      {192, "2A", "2A CA FE"},
      {192, "2B", "2B 00 00"},
      {195, "", "1E AE"},
      {196, "", "03"},
      {198, "", "80 FF"},
      {200, "", "3E 00 00 00 3F C0 00 00 C0 00 00 00 3F 40 00 00"},
      {202, "0C", "0C 41 F0 00 00 42 8C 00 00"},
      {202, "FF", "FF 00 00 00 00 00 00 00 00"},
      {204, "", "07"},
      {205, "", "2F"},
      {208, "", "21 43 48 00 00 C2 48 00 00"},
      {210, "", "3F A0 00 00 3F 00 00 00"},
      {212, "02", "02 92 FF 38 00 0A 05 01"},
      {212, "03", "03 00 00 00 00 00 00 00"},
      {214, "", "0A 02"},
      // Actions carry no answer data.
      {38, "", ""},
      {41, "", ""},
      {42, "", ""},
      {134, "", ""},
      {135, "", ""},
      {138, "", ""},
      {139, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "command " << int{c.command} << " request " << c.request);
    const Answer a = Parse(sim.Feed(LongRequest(c.command, Hex(c.request))));
    EXPECT_EQ(a.Command, c.command);
    EXPECT_EQ(a.ResponseCode, 0);
    EXPECT_EQ(a.ByteCount, Hex(c.data).size() + 2);
    EXPECT_TRUE(a.CheckOk);
    EXPECT_EQ(ToHex(a.Data), c.data);
  }
}

// Each write is answered with what the device now holds, and the matching read gives it back.
TEST(SimTransmitterTest, WriteThenReadTable) {
  struct Case {
    std::uint8_t write;
    std::string data, echo;  // an empty echo: the answer repeats the request data
    int read;                // -1: no read command
    std::string readRequest, readData;
  };
  const Case cases[] = {
      {19, "01 11 70", "", 16, "", "01 11 70"},
      {34, "40 20 00 00", "", -1, "", ""},
      {35, "20 42 C8 00 00 00 00 00 00", "", -1, "", ""},
      {39, "01", "", -1, "", ""},
      {40, "40 80 00 00", "", -1, "", ""},
      {44, "21", "", 1, "", "21 41 C8 00 00"},
      {45, "40 80 00 00", "", -1, "", ""},
      {46, "41 A0 00 00", "", -1, "", ""},
      {47, "FD", "", -1, "", ""},
      {49, "01 11 70", "", 14, "", "01 11 70 20 44 54 80 00 C3 48 00 00 41 20 00 00"},
      {89, "01 05 03 65 06 DD D0 00 00 00", "", 90, "", "05 03 65 06 DD D0 00 05 03 65 06 DD D0 00 00"},
      {129, "41 C8 00 00", "", -1, "", ""},
      {133, "03", "", -1, "", ""},
      {136, "A5", "", 137, "", "A5"},
      {140, "02", "", -1, "", ""},
      {143, "01 43 19 00 00 43 13 00 00", "", 144, "01", "01 43 19 00 00 43 13 00 00"},
      {143, "02 43 19 00 00 43 13 00 00", "", 144, "01", "01 43 18 00 00 43 14 00 00"},  // input 2: not kept
      {193, "2A 12 34", "", 192, "2A", "2A 12 34"},
      {194, "1E 8F", "", 195, "", "1E 8F"},
      {197, "78 88", "", 198, "", "78 88"},
      {199, "3E 00 00 00 3F C0 00 00 C0 00 00 00 3F 40 00 00", "", 200, "",
       "3E 00 00 00 3F C0 00 00 C0 00 00 00 3F 40 00 00"},
      {201, "0C 41 F0 00 00 42 8C 00 00", "", 202, "0C", "0C 41 F0 00 00 42 8C 00 00"},
      {203, "05 00", "", 204, "", "05"},
      {206, "1B FB", "01", -1, "", ""},  // 7163 locks
      {207, "21 43 48 00 00 C2 48 00 00", "", 208, "", "21 43 48 00 00 C2 48 00 00"},
      {211, "02 92 FF 38 00 0A 05 01", "", 212, "02", "02 92 FF 38 00 0A 05 01"},
      {211, "03 92 FF 38 00 0A 05 01", "", 212, "02", "02 F1 FC 18 00 0A 05 01"},  // alarm 3: not kept
      {213, "0A 02", "", 214, "", "0A 02"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "write " << int{c.write} << " " << c.data);
    SimTransmitter sim;
    sim.State.PV = 25.0f;
    sim.State.SensorUnitCode = 32;
    sim.State.SensorUpperLimit = 850.0f;
    sim.State.SensorLowerLimit = -200.0f;
    sim.State.MinimumSpan = 10.0f;
    sim.State.AI1UpperLimit = 152.0f;
    sim.State.AI1LowerLimit = 148.0f;
    sim.State.Alarms[1] = {2, 0xF1, 0xFC, 0x18, 0x00, 0x0A, 0x05, 0x01};
    const Answer w = Parse(sim.Feed(LongRequest(c.write, Hex(c.data))));
    EXPECT_EQ(w.Command, c.write);
    EXPECT_EQ(w.ResponseCode, 0);
    EXPECT_EQ(ToHex(w.Data), c.echo.empty() ? c.data : c.echo);
    if (c.read < 0) continue;
    const Answer r = Parse(sim.Feed(LongRequest(static_cast<std::uint8_t>(c.read), Hex(c.readRequest))));
    EXPECT_EQ(ToHex(r.Data), c.readData);
  }
}

TEST(SimTransmitterTest, OutputInformationFollowsItsWrites) {
  SimTransmitter sim;
  sim.State.AlarmSelection = 0;
  sim.State.WriteProtect = 0;
  sim.Feed(LongRequest(34, Hex("40 20 00 00")));                   // damping 2.5 s
  sim.Feed(LongRequest(35, Hex("20 42 C8 00 00 C2 48 00 00")));    // degC, 100 .. -50
  sim.Feed(LongRequest(47, Hex("FD")));                            // transfer function 253
  EXPECT_EQ(ToHex(Parse(sim.Feed(LongRequest(15))).Data), "00 FD 20 42 C8 00 00 C2 48 00 00 40 20 00 00 00 FA");
  sim.Feed(LongRequest(44, Hex("21")));  // the PV unit is the unit of the range too
  EXPECT_EQ(Parse(sim.Feed(LongRequest(15))).Data[2], 0x21);
  EXPECT_EQ(Parse(sim.Feed(LongRequest(1))).Data[0], 0x21);
}

TEST(SimTransmitterTest, AccessCodesLockAndUnlock) {
  SimTransmitter sim;
  EXPECT_EQ(ToHex(Parse(sim.Feed(LongRequest(206, Hex("1B FB")))).Data), "01");  // 7163
  EXPECT_EQ(ToHex(Parse(sim.Feed(LongRequest(206, Hex("00 05")))).Data), "01");  // unknown code: unchanged
  EXPECT_EQ(ToHex(Parse(sim.Feed(LongRequest(206, Hex("11 3A")))).Data), "00");  // 4410
}

TEST(SimTransmitterTest, NewPollingAddressAndRegisteredIdAddressTheDevice) {
  SimTransmitter sim;
  EXPECT_EQ(ToHex(Parse(sim.Feed(LongRequest(6, Hex("05")))).Data), "05");
  EXPECT_FALSE(sim.Feed(OnLine(Hex("02 80 00 00"))));
  EXPECT_EQ(ToHex(Parse(sim.Feed(OnLine(Hex("02 85 00 00")))).Address), "85");

  // Registration: serial 70000, 5 March 2001, signature "R6". The answer still carries the
  // address it was asked at; the identity already holds the new id.
  const Answer a = Parse(sim.Feed(LongRequest(128, Hex("01 11 70 05 03 65 52 36"))));
  EXPECT_EQ(a.ResponseCode, 0);
  EXPECT_EQ(ToHex(a.Address), "BA 16 01 02 03");
  EXPECT_EQ(ToHex(Bytes(a.Data.begin() + 9, a.Data.begin() + 12)), "01 11 70");
  EXPECT_EQ(sim.Identity.DeviceId, 70000u);
  EXPECT_EQ(sim.State.RegistrationDate, (std::array<std::uint8_t, 3>{5, 3, 101}));
  EXPECT_FALSE(sim.Feed(LongRequest(1)));
  EXPECT_TRUE(sim.Feed(OnLine(Hex("82 BA 16 01 11 70 01 00"))));
}

TEST(SimTransmitterTest, RefusedRequestsChangeNothing) {
  struct Case {
    const char* name;
    std::uint8_t command;
    std::string data;
    std::uint8_t code;
  };
  const Case cases[] = {
      {"range values one byte short", 35, "20 42 C8 00 00 00 00 00", 5},
      {"upper range value 900 above the sensor's 850", 35, "20 44 61 00 00 00 00 00 00", 11},
      {"upper range value -300 below the sensor's -200", 35, "20 C3 96 00 00 C3 96 00 00", 12},
      {"lower range value 900", 35, "20 42 C8 00 00 44 61 00 00", 9},
      {"lower range value -300", 35, "20 42 C8 00 00 C3 96 00 00", 10},
      {"message without data", 17, "", 5},
      {"registration without its signature", 128, "01 11 70 05 03 65 52 37", 16},
      {"a command the device does not know", 100, "", 64},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SimTransmitter sim;
    const SimState before = sim.State;
    const Answer a = Parse(sim.Feed(LongRequest(c.command, Hex(c.data))));
    EXPECT_EQ(a.Command, c.command);
    EXPECT_EQ(a.ResponseCode, c.code);
    EXPECT_EQ(a.ByteCount, 2);
    EXPECT_TRUE(a.CheckOk);
    EXPECT_EQ(sim.State.UpperRangeValue, before.UpperRangeValue);
    EXPECT_EQ(sim.State.Message, before.Message);
    EXPECT_EQ(sim.Identity.DeviceId, 0x010203u);
  }
}

TEST(SimTransmitterTest, Faults) {
  const Bytes writeDamping = LongRequest(34, Hex("40 20 00 00"));
  {
    SCOPED_TRACE("response code: status bytes only, the write is refused");
    SimTransmitter sim;
    sim.Faults.ResponseCode = 7;
    sim.Faults.DeviceStatus = 0x40;
    const Answer a = Parse(sim.Feed(writeDamping));
    EXPECT_EQ(a.ResponseCode, 7);
    EXPECT_EQ(a.DeviceStatus, 0x40);
    EXPECT_EQ(a.ByteCount, 2);
    EXPECT_TRUE(a.CheckOk);
    EXPECT_EQ(sim.State.Damping, 1.0f);
    sim.Faults.ResponseCode = 0x88;  // a communication error reported by the device
    EXPECT_EQ(Parse(sim.Feed(LongRequest(1))).ResponseCode, 0x88);
  }
  {
    SCOPED_TRACE("device status with a good answer");
    SimTransmitter sim;
    sim.Faults.DeviceStatus = 0x10;
    const Answer a = Parse(sim.Feed(LongRequest(1)));
    EXPECT_EQ(a.ResponseCode, 0);
    EXPECT_EQ(a.DeviceStatus, 0x10);
    EXPECT_EQ(a.Data.size(), 5u);
  }
  {
    SCOPED_TRACE("silent: heard, not applied, not answered");
    SimTransmitter sim;
    sim.Faults.Silent = true;
    EXPECT_FALSE(sim.Feed(writeDamping));
    EXPECT_EQ(sim.Requests.size(), 1u);
    EXPECT_EQ(sim.State.Damping, 1.0f);
    sim.Faults.Silent = false;
    EXPECT_TRUE(sim.Feed(LongRequest(1)));
  }
  {
    SCOPED_TRACE("answer for another command: its number and its data");
    SimTransmitter sim;
    sim.State.LoopCurrent = 8.0f;
    sim.State.PercentOfRange = 25.0f;
    sim.Faults.AnswerAsCommand = 2;
    const Answer a = Parse(sim.Feed(writeDamping));
    EXPECT_EQ(a.Command, 2);
    EXPECT_EQ(ToHex(a.Data), "41 00 00 00 41 C8 00 00");
    EXPECT_TRUE(a.CheckOk);
    EXPECT_EQ(sim.State.Damping, 2.5f);  // the request itself was carried out
    EXPECT_EQ(sim.Requests.back().Command, 34);
  }
  {
    SCOPED_TRACE("corrupted byte");
    SimTransmitter sim;
    const Bytes good = *sim.Feed(LongRequest(1));
    for (int index : {0, 9, 15, 16}) {
      sim.Faults.CorruptByteIndex = index;
      const Bytes bad = *sim.Feed(LongRequest(1));
      ASSERT_EQ(bad.size(), good.size());
      for (std::size_t i = 0; i < good.size(); ++i)
        EXPECT_EQ(bad[i], good[i] ^ (static_cast<int>(i) == index + 5 ? 0x55 : 0x00)) << "index " << index << " byte " << i;
    }
  }
}

TEST(SimTransmitterTest, ExpansionTestSequenceGetsTheIdentityOfTheRealFrame) {
  // A foreign slave answer whose delimiter announces an expansion byte, then preambles and a
  // command-0 request in long form to this device.
  SimTransmitter sim;
  const Answer a = Parse(sim.Feed(
      Hex("FF FF FF FF A6 AF FA 12 34 56 55 01 0F D8 FF FF FF FF FF 82 3A 16 01 02 03 00 00 AE 00")));
  EXPECT_EQ(a.Delimiter, 0x86);
  EXPECT_EQ(a.Command, 0);
  EXPECT_EQ(ToHex(a.Address), "3A 16 01 02 03");
  EXPECT_EQ(a.Data[1], 250);
  ASSERT_EQ(sim.Requests.size(), 1u);
  EXPECT_EQ(sim.Requests[0].Preambles, 5);
  EXPECT_FALSE(sim.Requests[0].PrimaryMaster);
}

TEST(SimTransmitterTest, AnIncompleteFrameDoesNotHideAFollowingRequest) {
  SimTransmitter sim;
  // Noise that looks like the start of a long frame with 200 data bytes, then a request.
  Bytes line = Hex("FF FF 82 BA 16 01 02 03 01 C8 00");
  const Bytes req = LongRequest(2);
  line.insert(line.end(), req.begin(), req.end());
  EXPECT_EQ(Parse(sim.Feed(line)).Command, 2);
  // Nothing of it is left over to answer again.
  EXPECT_FALSE(sim.Feed(Bytes{0x00}));
  EXPECT_EQ(Parse(sim.Feed(LongRequest(1))).Command, 1);
}

// Every command the program sends, with the byte count it sends it with, is answered with
// success (the two searches have their own test).
TEST(SimTransmitterTest, AnswersEveryCommandOfTheProgram) {
  const std::pair<int, int> commands[] = {
      {0, 0},   {13, 0},  {1, 0},   {2, 0},   {3, 0},   {6, 1},   {12, 0},  {16, 0},  {14, 0},  {15, 0},
      {19, 3},  {17, 24}, {18, 21}, {34, 4},  {35, 9},  {38, 0},  {39, 1},  {40, 4},  {41, 0},  {42, 0},
      {44, 1},  {45, 4},  {46, 4},  {47, 1},  {48, 0},  {49, 3},  {89, 10}, {90, 0},  {128, 8}, {129, 4},
      {133, 1}, {134, 0}, {135, 0}, {136, 1}, {137, 0}, {138, 0}, {139, 0}, {140, 1}, {143, 9}, {144, 1},
      {189, 0}, {190, 0}, {191, 0}, {192, 1}, {193, 3}, {194, 2}, {195, 0}, {196, 0}, {197, 2}, {198, 0},
      {199, 16}, {200, 0}, {201, 9}, {202, 1}, {203, 2}, {204, 0}, {205, 0}, {206, 2}, {207, 9}, {208, 0},
      {210, 0}, {211, 8}, {212, 1}, {213, 2}, {214, 0},
  };
  for (const auto& [command, count] : commands) {
    SCOPED_TRACE(command);
    SimTransmitter sim;
    Bytes data(static_cast<std::size_t>(count), 0);
    if (command == 128) data = Hex("00 00 01 01 01 65 52 36");
    const Answer a = Parse(sim.Feed(LongRequest(static_cast<std::uint8_t>(command), data)));
    EXPECT_EQ(a.Command, command);
    EXPECT_EQ(a.ResponseCode, 0);
    EXPECT_TRUE(a.CheckOk);
  }
}

}  // namespace
