#include <cmath>
#include <limits>

#include "HARTTestFrames.h"

using namespace hart_test;

// ---------------------------------------------------------------------------------------
// Request templates

TEST(RequestTemplatesTest, OrderAndByteCountsOfAllEntries) {
  const std::vector<std::pair<int, int>> expected = {
      {0, 0},    {11, 6},   {21, 32},  {13, 0},   {1, 0},    {2, 0},    {3, 0},    {6, 1},    {12, 0},
      {16, 0},   {14, 0},   {15, 0},   {19, 3},   {17, 24},  {18, 21},  {34, 4},   {35, 9},   {38, 0},
      {39, 1},   {40, 4},   {41, 0},   {42, 0},   {44, 1},   {45, 4},   {46, 4},   {47, 1},   {48, 0},
      {49, 3},   {89, 10},  {90, 0},   {128, 8},  {129, 4},  {133, 1},  {134, 0},  {135, 0},  {136, 1},
      {137, 0},  {138, 0},  {139, 0},  {140, 1},  {143, 9},  {144, 1},  {189, 0},  {190, 0},  {191, 0},
      {192, 1},  {193, 3},  {194, 2},  {195, 0},  {196, 0},  {197, 2},  {198, 0},  {199, 16}, {200, 0},
      {201, 9},  {202, 1},  {203, 2},  {204, 0},  {205, 0},  {206, 2},  {207, 9},  {208, 0},  {210, 0},
      {211, 8},  {212, 1},  {213, 2},  {214, 0}};
  const auto table = RequestTemplates();
  ASSERT_EQ(table.size(), 67u);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(table[i].Command, expected[i].first) << "entry " << i;
    EXPECT_EQ(table[i].ByteCount, expected[i].second) << "entry " << i;
    // Every entry: L, delimiter, zero address, command, byte count, zero data, zero check.
    const std::string entry = RequestTemplateEntry(table[i]);
    const bool isShort = table[i].Command == 0;
    const std::size_t frameLen = (isShort ? 5u : 9u) + table[i].ByteCount;
    ASSERT_EQ(entry.size(), frameLen + 1) << "entry " << i;
    EXPECT_EQ(static_cast<unsigned char>(entry[0]), frameLen + 1);
    std::string frame = std::string(1, isShort ? '\x02' : '\x82') + std::string(isShort ? 1 : 5, '\0');
    frame += static_cast<char>(table[i].Command);
    frame += static_cast<char>(table[i].ByteCount);
    std::string data(table[i].ByteCount, '\0');
    if (table[i].Command == 128) data.replace(6, 2, "R6");
    frame += data + '\0';
    EXPECT_EQ(Hex(entry.substr(1)), Hex(frame)) << "entry " << i;
  }
  EXPECT_EQ(FindRequestTemplate(7), nullptr);
  ASSERT_NE(FindRequestTemplate(214), nullptr);
  EXPECT_EQ(FindRequestTemplate(214)->Command, 214);
}

// ---------------------------------------------------------------------------------------
// Request bytes on the wire

struct WireCase {
  const char* name;
  int preambles;
  TMasterAdress master;
  std::array<Byte, 5> address;
  std::function<void(THART&, TXmt&)> send;
  std::string expected;
};

TEST_F(LinkFixture, RequestBytesForShortLongAndBroadcastFrames) {
  using M = TMasterAdress;
  const std::array<Byte, 5> dev{0x26, 0x10, 0x0A, 0x0B, 0x0C};
  const std::vector<WireCase> cases = {
      {"long, secondary master", 5, M::Hand_Held_Communicator, dev,
       [](THART& h, TXmt& x) { h.ReadPrimaryVariable(x); },
       Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x82, 0x26, 0x10, 0x0A, 0x0B, 0x0C, 0x01, 0x00, 0xB8, 0x00})},
      {"long, primary master", 5, M::Host_Communicator, dev, [](THART& h, TXmt& x) { h.ReadPrimaryVariable(x); },
       Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x82, 0xA6, 0x10, 0x0A, 0x0B, 0x0C, 0x01, 0x00, 0x38, 0x00})},
      {"manufacturer id masked to six bits", 5, M::Hand_Held_Communicator, {0xE6, 0x10, 0x0A, 0x0B, 0x0C},
       [](THART& h, TXmt& x) { h.ReadPrimaryVariable(x); },
       Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x82, 0x26, 0x10, 0x0A, 0x0B, 0x0C, 0x01, 0x00, 0xB8, 0x00})},
      {"long with data, 7 preambles", 7, M::Host_Communicator, {250, 0x16, 0x01, 0x02, 0x03},
       [](THART& h, TXmt& x) { h.WritePollingAddress(x, 3); },
       std::string(7, '\xFF') + Bytes({0x82, 0xBA, 0x16, 0x01, 0x02, 0x03, 0x06, 0x01, 0x03, 0x2A, 0x00})},
      {"short, primary master", 10, M::Host_Communicator, dev, [](THART& h, TXmt&) { h.ReadUniqueIdentifier(3); },
       std::string(10, '\xFF') + Bytes({0x02, 0x83, 0x00, 0x00, 0x81, 0x00})},
      {"short, secondary master", 5, M::Hand_Held_Communicator, dev,
       [](THART& h, TXmt&) { h.ReadUniqueIdentifier(15); },
       std::string(5, '\xFF') + Bytes({0x02, 0x0F, 0x00, 0x00, 0x0D, 0x00})},
      {"broadcast by tag", 5, M::Host_Communicator, dev, [](THART& h, TXmt&) { h.FindByTag("ABCD"); },
       std::string(5, '\xFF') +
           Bytes({0x82, 0x80, 0, 0, 0, 0, 0x0B, 0x06, 0x04, 0x20, 0xC4, 0x82, 0x08, 0x20, 0x45, 0x00})},
      {"broadcast by long tag, secondary master", 20, M::Hand_Held_Communicator, dev,
       [](THART& h, TXmt&) { h.FindByLongTag("x"); },
       std::string(20, '\xFF') + Bytes({0x82, 0, 0, 0, 0, 0, 0x15, 0x20}) + "x" + std::string(31, ' ') +
           Bytes({0xEF, 0x00})},
  };
  for (const auto& c : cases) {
    hart.NbPreambles = static_cast<Byte>(c.preambles);
    hart.MasterAdress = c.master;
    Address(c.address);
    c.send(hart, xmt);
    EXPECT_EQ(Hex(LastSent()), Hex(c.expected)) << c.name;
  }
}

// The address of a long frame is the model's five address bytes, not its identity fields.
TEST_F(LinkFixture, LongFramesAreAddressedFromTheModelsAddressBytes) {
  hart.NbPreambles = 5;
  xmt.ManufacturerId = 0x11;
  xmt.DeviceType = 0x22;
  xmt.DeviceId = 0x334455;
  xmt.LongAddress = {0x26, 0x10, 0x0A, 0x0B, 0x0C};
  hart.ReadPrimaryVariable(xmt);
  EXPECT_EQ(Hex(ReadRequest(LastSent()).Address), "26 10 0A 0B 0C");
  hart.SendExpansionTestFrame(xmt);
  EXPECT_EQ(Hex(LastSent().substr(19, 8)), "82 26 10 0A 0B 0C 00 00");
}

TEST_F(LinkFixture, PreamblesFollowNbPreamblesButTheFrameNeverLeavesTheBuffer) {
  Address();
  for (int n : {0, 1, 5, 20, 198}) {
    hart.NbPreambles = static_cast<Byte>(n);
    hart.FindByLongTag("T");  // the longest frame: 41 bytes
    const auto r = ReadRequest(LastSent());
    EXPECT_EQ(r.Preambles, n);
    EXPECT_TRUE(r.CheckOk && r.Trailer) << n;
  }
  // More preambles than fit: as many as leave room for the frame and its trailing byte.
  hart.NbPreambles = 255;
  hart.FindByLongTag("T");
  EXPECT_EQ(LastSent().size(), 240u);
  auto r = ReadRequest(LastSent());
  EXPECT_EQ(r.Preambles, 198);
  EXPECT_TRUE(r.CheckOk && r.Trailer);
  EXPECT_EQ(hart.NbPreambles, 255);  // the setting keeps its value
  hart.ReadPrimaryVariable(xmt);
  r = ReadRequest(LastSent());
  EXPECT_EQ(r.Preambles, 230);
  EXPECT_TRUE(r.CheckOk && r.Trailer);
}

// ---------------------------------------------------------------------------------------
// Encodings

template <std::size_t N>
std::string Str(const std::array<Byte, N>& a) {
  return Hex(std::string(a.begin(), a.end()));
}

TEST(HartEncodeTest, SixteenBitEncodingsOnTheirEdges) {
  const std::vector<std::pair<std::int32_t, const char*>> u16 = {
      {0, "00 00"}, {1, "00 01"}, {255, "00 FF"}, {256, "01 00"}, {7854, "1E AE"},
      {65535, "FF FF"}, {65536, "00 00"}, {65791, "00 FF"},
      // Negative values: high = value div 256 truncates toward zero, each part its low bits.
      {-1, "00 FF"}, {-256, "FF 00"}, {-257, "FF FF"}};
  for (const auto& [v, hex] : u16) EXPECT_EQ(Str(HartEncode::U16(v)), hex) << v;
  const std::vector<std::pair<std::int16_t, const char*>> i16 = {
      {0, "00 00"}, {-1, "FF FF"}, {2, "00 02"}, {-200, "FF 38"}, {32767, "7F FF"}, {-32768, "80 00"}};
  for (const auto& [v, hex] : i16) EXPECT_EQ(Str(HartEncode::I16(v)), hex) << v;
}

TEST(HartEncodeTest, TwentyFourBitEncodingOfFloatingValues) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<std::pair<double, const char*>> cases = {
      {0.0, "00 00 00"},
      {70000.0, "01 11 70"},
      {123.9, "00 00 7B"},  // fractions are cut
      {16777215.0, "FF FF FF"},
      {16777216.0 + 5, "00 00 05"},  // the low 24 bits
      {1099511627776.0 + 0x123456, "12 34 56"},
      {1e30, "00 00 00"},
      {-1.5, "00 00 FF"},  // each part keeps its own low bits
      {-70000.0, "FF EF 90"},
      {std::nan(""), "00 00 00"},
      {inf, "00 00 00"},
      {-inf, "00 00 00"}};
  for (const auto& [v, hex] : cases) EXPECT_EQ(Str(HartEncode::U24(v)), hex) << v;
}

TEST(HartEncodeTest, SinglesTextsAndDates) {
  EXPECT_EQ(Str(HartEncode::F32(100.0f)), "42 C8 00 00");
  EXPECT_EQ(Str(HartEncode::F32(1.0f)), "3F 80 00 00");
  EXPECT_EQ(Str(HartEncode::F32(-0.0f)), "80 00 00 00");
  EXPECT_EQ(Str(HartEncode::F32(std::numeric_limits<float>::infinity())), "7F 80 00 00");
  EXPECT_EQ(Str(HartEncode::F32(-2.5f)), "C0 20 00 00");

  const std::vector<std::tuple<std::string, int, const char*>> texts = {
      {"ABCD", 8, "04 20 C4 82 08 20"},
      {"abcd", 8, "04 20 C4 82 08 20"},  // no lower case in packed ASCII
      {"", 8, "82 08 20 82 08 20"},
      {"ABCDEFGHIJ", 8, "04 20 C4 14 61 C8"},  // cut to the field
      {"ABC", 32, "04 20 E0 82 08 20 82 08 20 82 08 20 82 08 20 82 08 20 82 08 20 82 08 20"},
      {"\xE9{", 4, "A7 B8 20"}};  // only a-z change
  for (const auto& [text, chars, hex] : texts) EXPECT_EQ(Hex(HartEncode::PackedText(text, chars)), hex) << text;

  EXPECT_EQ(Str(HartEncode::Date(5, 3, 2001)), "05 03 65");
  EXPECT_EQ(Str(HartEncode::Date(15, 3, 2001)), "0F 03 65");
  EXPECT_EQ(Str(HartEncode::Date(31, 12, 1899)), "1F 0C FF");
  EXPECT_EQ(Str(HartEncode::Date(1, 1, 2156)), "01 01 00");
}

// ---------------------------------------------------------------------------------------
// Extraction and parsing of what the modem delivered

namespace {

const std::array<int, 5> Dev{0x26, 0x10, 0x0A, 0x0B, 0x0C};
const std::string Pv = Bytes({0x20, 0x41, 0x20, 0x00, 0x00});  // unit 32, 10.0

std::string WithByte(std::string s, std::size_t index, int value) {
  s[index] = static_cast<char>(value);
  return s;
}
std::string FrameOf(const std::string& answer) { return answer.substr(answer.find('\x86')); }

// A long answer to command 1 with byte count n (0 or 1): the check byte, right, stands where
// the status bytes should be; noise follows it.
std::string NoStatus(int n) {
  std::string f = Bytes({0x86, Dev[0], Dev[1], Dev[2], Dev[3], Dev[4], 1, n});
  if (n == 1) f += '\x00';
  f += XorAll(f);
  return std::string(5, '\xFF') + f + Bytes({0x00, 0x00, 0x00});
}

struct ParseCase {
  const char* name;
  std::string received;
  bool arrives;
  std::vector<std::string> errors;  // OnCommError messages, in order
  int code;                         // the link's error code afterwards (-1: no report)
};

}  // namespace

TEST_F(LinkFixture, ExtractionAndParsingOverNoisyShortOversizedAndCorruptedInput) {
  const std::string good = LongAnswer(Dev, 1, 0, 0, Pv);
  const std::size_t rcAt = good.find('\x86') + 8;  // first status byte
  std::string tooLong72 = LongAnswer(Dev, 1, 0, 0, std::string(70, '\x01'));
  const std::vector<ParseCase> cases = {
      {"noise and parity bytes before the delimiter", Bytes({0x00, 0x12, 0xFF, 0xFF, 0x3F, 0xFF}) + FrameOf(good),
       true, {}, -1},
      {"bytes after the check byte are ignored", good + Bytes({0x55, 0xAA}), true, {}, -1},
      {"the delimiter is the last byte", Bytes({0xFF, 0xFF, 0xFF, 0x86}), false, {}, -1},
      {"no preamble at all", FrameOf(good), false, {}, -1},
      {"only preamble and parity bytes", Bytes({0x00, 0xFF, 0x3F, 0xFF, 0x3F}), false, {}, -1},
      {"nothing", "", false, {}, -1},
      {"wrong check byte", WithByte(good, good.size() - 1, good.back() ^ 0x01), false, {"PC communication error"},
       256},
      {"frame ends before its check byte", good.substr(0, good.size() - 3), false, {"PC communication error"}, 256},
      {"byte count 72 does not fit the answer frame", tooLong72, false, {"PC communication error"}, 256},
      {"byte count 71 fits exactly", LongAnswer(Dev, 1, 0, 0, std::string(69, '\x01')), true, {}, -1},
      {"cut by the 240-byte receive buffer", std::string(230, '\x00') + good, false, {"PC communication error"},
       256},
      {"status 0x88", LongAnswer(Dev, 1, 0x88, 0, Pv), false, {"Device checkSum error"}, 512},
      {"status 0x82", LongAnswer(Dev, 1, 0x82, 0, Pv), false, {"Device buffer overflow"}, 512},
      {"status 0x90", LongAnswer(Dev, 1, 0x90, 0, Pv), false, {"Device faming error"}, 512},
      {"status 0xA0", LongAnswer(Dev, 1, 0xA0, 0, Pv), false, {"Device oerrun error"}, 512},
      {"status 0xC0", LongAnswer(Dev, 1, 0xC0, 0, Pv), false, {"Device paity error"}, 512},
      {"two error bits", LongAnswer(Dev, 1, 0xC8, 0, Pv), false, {"Device communication error"}, 512},
      {"status 0x81", LongAnswer(Dev, 1, 0x81, 0, Pv), false, {"Device communication error"}, 512},
      // A byte count below 2 leaves no room for the status bytes: never taken for a good answer,
      // even when its check byte is right.
      {"byte count 0 with a right check byte", NoStatus(0), false, {"PC communication error"}, 256},
      {"byte count 1 with a right check byte", NoStatus(1), false, {"PC communication error"}, 256},
      {"wrong check byte and status 0xC0", WithByte(LongAnswer(Dev, 1, 0xC0, 0, Pv), rcAt + 3, 0x77), false,
       {"PC communication error", "Device paity error"}, 512},
  };
  for (const auto& c : cases) {
    arrivals.clear();
    commErrors.clear();
    hart.Erreur.Report("", -10, -1);
    fake.Deliver(c.received);
    sched.Advance(200);
    EXPECT_EQ(!arrivals.empty(), c.arrives) << c.name;
    EXPECT_EQ(commErrors, c.errors) << c.name;
    EXPECT_EQ(hart.Erreur.GetCode(), c.code) << c.name;
    EXPECT_EQ(hart.Erreur.Level, static_cast<int>(c.errors.size())) << c.name;
    EXPECT_EQ(hart.ReceivedCount, 0) << c.name;
    // One read takes at most 240 bytes; the rest waits for the next notification.
    EXPECT_EQ(fake.Pending().size(), c.received.size() > 240 ? c.received.size() - 240 : 0) << c.name;
    fake.Receive();
  }
}

namespace {

// A modem whose reported count of received bytes is set by the test, whatever it delivered.
class CountingTransport : public FakeTransport {
public:
  using FakeTransport::FakeTransport;
  int ReportedCount = 0;
  int RxCount() override { return ReportedCount; }
};

}  // namespace

TEST_F(LinkFixture, ExtractionUsesTheReportedCountButNeverMoreThanTheReceiveBuffer) {
  CountingTransport modem(sched);
  hart.UseTransport(&modem, TPortKind::USB);
  const std::string good = LongAnswer(Dev, 1, 0, 0, Pv);
  struct CountCase {
    const char* name;
    std::string received;
    int reported;
    bool arrives;
    std::vector<std::string> errors;
  };
  const std::vector<CountCase> cases = {
      {"more reported than delivered: the frame within the buffer is read", good, 300, true, {}},
      {"the delimiter is the buffer's last byte", std::string(237, '\x00') + Bytes({0xFF, 0xFF, 0x86}), 300, false,
       {}},
      {"a frame that runs past the buffer", std::string(230, '\x00') + good.substr(0, 10), 300, false,
       {"PC communication error"}},
      {"fewer reported than delivered: the frame is cut", good, static_cast<int>(good.size()) - 1, false,
       {"PC communication error"}},
  };
  for (const auto& c : cases) {
    arrivals.clear();
    commErrors.clear();
    modem.ReportedCount = c.reported;
    modem.Deliver(c.received);
    sched.Advance(200);
    EXPECT_EQ(!arrivals.empty(), c.arrives) << c.name;
    EXPECT_EQ(commErrors, c.errors) << c.name;
    EXPECT_EQ(hart.ReceivedCount, 0) << c.name;
  }
  hart.UseTransport(&fake, TPortKind::Serial);
}

TEST_F(LinkFixture, ParsedFieldsOfLongAndShortAnswers) {
  fake.Deliver(LongAnswer({0x3A, 0x16, 0x01, 0x02, 0x03}, 15, 0, 0x40, std::string(16, '\x02')));
  sched.Advance(200);
  ASSERT_EQ(arrivals.size(), 1u);
  EXPECT_EQ(hart.AnswerFrame[0], 0x86);
  EXPECT_EQ(hart.AnswerFrameType, 6);
  EXPECT_EQ(hart.AnswerIsLong, 1);
  EXPECT_EQ(hart.AnswerDeviceId, 0x010203);
  EXPECT_EQ(hart.AnswerCheck, 0);
  EXPECT_EQ(hart.AnswerCommand, 15);
  EXPECT_EQ(hart.ResponseCode, 0);
  EXPECT_EQ(hart.DeviceStatusByte, 0x40);
  EXPECT_EQ(hart.AnswerByteCount, 18);
  EXPECT_EQ(hart.AnswerDataPosition, 10);
  EXPECT_EQ(hart.AnswerData()[0], 0x02);

  // A short answer sets the polling address from its address byte, even with a bad check.
  std::string shortAnswer = ShortAnswer(0x85, 0, 0, 0, std::string(12, '\x00'));
  shortAnswer.back() ^= 0x10;
  fake.Deliver(shortAnswer);
  sched.Advance(200);
  EXPECT_EQ(hart.PollingAddress, 5);
  EXPECT_EQ(hart.AnswerIsLong, 0);
  EXPECT_EQ(hart.AnswerDataPosition, 6);
  EXPECT_EQ(commErrors, (std::vector<std::string>{"PC communication error"}));

  // A frame whose byte count leaves no room for the status bytes: the status bytes it does
  // not hold read as 0 (not its check byte), what lies past the received frame reads as 0,
  // never as a byte of an earlier answer, and it does not arrive.
  std::string bare = Bytes({0x86, 0x26, 0x10, 0x0A, 0x0B, 0x0C, 0x01, 0x00});
  bare += XorAll(bare);
  fake.Deliver(std::string(5, '\xFF') + bare);
  sched.Advance(200);
  EXPECT_EQ(hart.ResponseCode, 0);
  EXPECT_EQ(hart.DeviceStatusByte, 0);
  EXPECT_EQ(hart.AnswerFrame[9], 0);
  EXPECT_EQ(arrivals.size(), 1u);
}
