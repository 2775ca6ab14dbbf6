// Request templates and frame building, answer extraction and parsing, link messages.

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>

#include "comm/HART.h"

namespace {

constexpr Byte ShortDelimiter = 0x02;
constexpr Byte LongDelimiter = 0x82;
constexpr int ShortHeader = 4;  // delimiter, address, command, byte count
constexpr int LongHeader = 8;   // delimiter, 5 address bytes, command, byte count
constexpr std::array<Byte, 2> Signature128{'R', '6'};

constexpr std::array<TRequestTemplate, 67> Templates{{
    {0, 0},    {11, 6},   {21, 32},  {13, 0},   {1, 0},    {2, 0},    {3, 0},    {6, 1},    {12, 0},
    {16, 0},   {14, 0},   {15, 0},   {19, 3},   {17, 24},  {18, 21},  {34, 4},   {35, 9},   {38, 0},
    {39, 1},   {40, 4},   {41, 0},   {42, 0},   {44, 1},   {45, 4},   {46, 4},   {47, 1},   {48, 0},
    {49, 3},   {89, 10},  {90, 0},   {128, 8},  {129, 4},  {133, 1},  {134, 0},  {135, 0},  {136, 1},
    {137, 0},  {138, 0},  {139, 0},  {140, 1},  {143, 9},  {144, 1},  {189, 0},  {190, 0},  {191, 0},
    {192, 1},  {193, 3},  {194, 2},  {195, 0},  {196, 0},  {197, 2},  {198, 0},  {199, 16}, {200, 0},
    {201, 9},  {202, 1},  {203, 2},  {204, 0},  {205, 0},  {206, 2},  {207, 9},  {208, 0},  {210, 0},
    {211, 8},  {212, 1},  {213, 2},  {214, 0},
}};

bool IsShort(const TRequestTemplate& t) { return t.Command == 0; }
int HeaderOf(const TRequestTemplate& t) { return IsShort(t) ? ShortHeader : LongHeader; }
// Frame length: header, data and check byte.
int FrameLength(const TRequestTemplate& t) { return HeaderOf(t) + t.ByteCount + 1; }

// The template's frame: zero address, zero data but the signature of command 128, zero
// check byte. Long enough for the longest frame.
using TFrame = std::array<Byte, LongHeader + 255 + 1>;
TFrame TemplateFrame(const TRequestTemplate& t) {
  TFrame f{};
  const int header = HeaderOf(t);
  f[0] = IsShort(t) ? ShortDelimiter : LongDelimiter;
  f[header - 2] = t.Command;
  f[header - 1] = t.ByteCount;
  if (t.Command == 128) {
    f[header + t.ByteCount - 2] = Signature128[0];
    f[header + t.ByteCount - 1] = Signature128[1];
  }
  return f;
}

// XOR of bytes[0..count-1].
Byte XorOf(std::span<const Byte> bytes, int count) {
  if (count <= 0) return 0;
  return static_cast<Byte>(bytes[0] ^ CheckByteXor(bytes, count - 1));
}

// The low 8 bits of a whole floating value (two's complement for negative ones).
Byte Low8(double whole) {
  double r = std::fmod(whole, 256.0);
  if (r < 0) r += 256.0;
  return static_cast<Byte>(static_cast<int>(r));
}

}  // namespace

std::span<const TRequestTemplate> RequestTemplates() { return Templates; }

const TRequestTemplate* FindRequestTemplate(Byte command) {
  for (const auto& t : Templates)
    if (t.Command == command) return &t;
  return nullptr;
}

std::string RequestTemplateEntry(const TRequestTemplate& t) {
  const int len = FrameLength(t);
  const TFrame f = TemplateFrame(t);
  std::string entry(1, static_cast<char>(len + 1));
  entry.append(f.begin(), f.begin() + len);
  return entry;
}

// ---------------------------------------------------------------------------------------
namespace HartEncode {

std::array<Byte, 2> U16(std::int32_t value) {
  const std::int32_t high = value / 256;  // truncates toward zero
  const std::int32_t low = value - 256 * high;
  return {static_cast<Byte>(high & 0xFF), static_cast<Byte>(low & 0xFF)};
}

std::array<Byte, 2> I16(std::int16_t value) {
  const auto u = static_cast<std::uint16_t>(value);
  return {static_cast<Byte>(u >> 8), static_cast<Byte>(u & 0xFF)};
}

std::array<Byte, 3> U24(double x) {
  if (!std::isfinite(x)) return {0, 0, 0};
  const double high = std::trunc(x / 65536.0);
  x -= 65536.0 * high;
  const double middle = std::trunc(x / 256.0);
  x -= 256.0 * middle;
  const double low = std::trunc(x);
  return {Low8(high), Low8(middle), Low8(low)};
}

std::array<Byte, 4> F32(float value) {
  const auto bits = std::bit_cast<std::uint32_t>(value);
  return {static_cast<Byte>(bits >> 24), static_cast<Byte>(bits >> 16), static_cast<Byte>(bits >> 8),
          static_cast<Byte>(bits)};
}

std::string PackedText(const std::string& text, int chars) {
  std::string padded = text.substr(0, static_cast<std::size_t>(chars));
  padded.resize(static_cast<std::size_t>(chars), ' ');
  // Packed ASCII has no lower case: a-z would come back as punctuation.
  for (char& c : padded)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  std::string packed;
  TPackedAscii pa;
  for (int i = 0; i + 4 <= chars; i += 4) {
    StrToPackedAscii(pa, padded.substr(static_cast<std::size_t>(i), 4));
    const std::string p = GetPackedPart(pa);
    packed += p.substr(p.size() - 3);  // the three packed bytes
  }
  return packed;
}

std::array<Byte, 3> Date(int day, int month, int year) {
  return {static_cast<Byte>(day & 0xFF), static_cast<Byte>(month & 0xFF), static_cast<Byte>((year - 1900) & 0xFF)};
}

}  // namespace HartEncode

// ---------------------------------------------------------------------------------------
int TCustomHART::PlaceFrame(const TRequestTemplate& t, std::span<const Byte, 5> address, std::span<const Byte> data) {
  TFrame f = TemplateFrame(t);
  const int header = HeaderOf(t);
  const int len = FrameLength(t);
  std::copy_n(address.begin(), header - 3, f.begin() + 1);
  const auto n = std::min<std::size_t>(data.size(), t.ByteCount);
  std::copy_n(data.begin(), n, f.begin() + header);
  f[len - 1] = XorOf(f, len - 1);

  // Preambles as asked, but never so many that the frame would leave the buffer.
  const int preambles = std::min<int>(NbPreambles, TxBufferSize - len - 1);
  std::fill_n(TxBuffer.begin(), preambles, Byte{0xFF});
  std::copy_n(f.begin(), len, TxBuffer.begin() + preambles);
  TxBuffer[preambles + len] = 0x00;
  return preambles + len;
}

int TCustomHART::BuildLongFrame(const TRequestTemplate& t, const TXmt& xmt, int n, std::span<const Byte> data) {
  const std::array<Byte, 5> address{static_cast<Byte>(MasterBit() | (xmt.LongAddress[0] & 0x3F)), xmt.LongAddress[1],
                                    xmt.LongAddress[2], xmt.LongAddress[3], xmt.LongAddress[4]};
  return PlaceFrame(t, address, data.first(std::min<std::size_t>(data.size(), static_cast<std::size_t>(std::max(n, 0)))));
}

bool TCustomHART::ExtractFrame() {
  AnswerFrame.fill(0);
  AnswerLength = 0;
  // Positions count from 1 as the modem delivered the bytes; never past the buffer.
  const int limit = std::clamp(ReceivedCount, 0, RxBufferSize);
  ReceivedCount = 0;
  auto at = [this](int pos) { return RxBuffer[static_cast<std::size_t>(pos - 1)]; };
  int pos = 1;
  while (pos <= limit && at(pos) != 0xFF) ++pos;
  if (pos > limit) return false;
  // 0x3F is what the serial port puts for a byte received with a parity error.
  while (pos <= limit && (at(pos) == 0xFF || at(pos) == 0x3F)) ++pos;
  if (pos > limit) return false;
  if (limit - pos <= 0) return false;  // the delimiter is the last byte
  AnswerLength = std::min(limit - pos + 1, AnswerFrameSize);
  std::copy_n(RxBuffer.begin() + (pos - 1), AnswerLength, AnswerFrame.begin());
  return true;
}

bool TCustomHART::ParseFrame() {
  const auto& f = AnswerFrame;
  ResponseCode = 0;
  DeviceStatusByte = 0;
  AnswerFrameType = f[0] & 7;
  int dataStart;
  if (f[0] & 0x80) {
    AnswerIsLong = 1;
    AnswerDeviceId = Bytes3ToInt(f[3], f[4], f[5]);
    AnswerCommand = f[6];
    AnswerByteCount = f[7];
    dataStart = LongHeader;
  } else {
    AnswerIsLong = 0;
    PollingAddress = f[1] & 0x0F;
    AnswerCommand = f[2];
    AnswerByteCount = f[3];
    dataStart = ShortHeader;
  }
  const int checkAt = dataStart + AnswerByteCount;
  bool checked = false;
  if (checkAt < AnswerLength) {
    AnswerCheck = XorOf(f, checkAt + 1);
    checked = AnswerCheck == 0;
  } else {
    AnswerCheck = 0xFF;  // the frame ends before its check byte
  }
  // Every answer carries its two status bytes within its byte count; a shorter one is a damaged
  // frame, and a status byte it does not hold reads as 0 (so does one past the received frame,
  // which was zeroed).
  if (AnswerByteCount < 2) checked = false;
  ResponseCode = AnswerByteCount >= 1 ? f[static_cast<std::size_t>(dataStart)] : 0;
  DeviceStatusByte = AnswerByteCount >= 2 ? f[static_cast<std::size_t>(dataStart + 1)] : 0;
  AnswerDataPosition = dataStart + 2;

  if (!checked) ReportLinkError(Texte(Langue, "PC communication error", "Erreur de communication PC"), 256);
  if (ResponseCode & 0x80) {
    const char* message;
    switch (ResponseCode) {
      case 0x82: message = Texte(Langue, "Device buffer overflow", "D\xE9" "bordement du tampon de l'appareil"); break;
      case 0x88: message = Texte(Langue, "Device checkSum error", "Erreur de somme de contr\xF4le de l'appareil"); break;
      case 0x90: message = Texte(Langue, "Device faming error", "Erreur de trame de l'appareil"); break;
      case 0xA0: message = Texte(Langue, "Device oerrun error", "Erreur de d\xE9passement de l'appareil"); break;
      case 0xC0: message = Texte(Langue, "Device paity error", "Erreur de parit\xE9 de l'appareil"); break;
      default: message = Texte(Langue, "Device communication error", "Erreur de communication de l'appareil"); break;
    }
    ReportLinkError(message, 512);
    return false;
  }
  return checked;
}

void TCustomHART::ReportLinkError(const std::string& message, std::int32_t code) {
  Erreur.Report(message, +1, code);
  OnCommError(this);
}

TAnswerData TCustomHART::AnswerData() const {
  return TAnswerData(AnswerFrame).subspan(static_cast<std::size_t>(std::clamp(AnswerDataPosition, 0, AnswerFrameSize)));
}
