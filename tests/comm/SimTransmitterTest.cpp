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

}  // namespace
