#include "model/Xmt.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <limits>

// ---------------------------------------------------------------------------------------
// TErreur

bool TErreur::Report(const std::string& message, std::int32_t delta, std::int32_t code) {
  Message = message.substr(0, 80);
  Code = code;
  // Computed wide so that no delta can overflow; the level stays within 0..5.
  const std::int64_t level = std::clamp<std::int64_t>(std::int64_t{Level} + delta, 0, 5);
  Level = static_cast<std::int32_t>(level);
  return Level > 4;
}

// ---------------------------------------------------------------------------------------
// TAlarmInfo

void TAlarmInfo::ToBytes(std::span<Byte, Size> out) const {
  out[0] = SetPointEditable ? 1 : 0;
  out[1] = HysteresisEditable ? 1 : 0;
  out[2] = DelayEditable ? 1 : 0;
  out[3] = RelayEditable ? 1 : 0;
  out[4] = Decimals;
  out[5] = Reserved;
  const auto sp = static_cast<std::uint16_t>(SetPoint);
  const auto hy = static_cast<std::uint16_t>(Hysteresis);
  out[6] = static_cast<Byte>(sp & 0xFF);
  out[7] = static_cast<Byte>(sp >> 8);
  out[8] = static_cast<Byte>(hy & 0xFF);
  out[9] = static_cast<Byte>(hy >> 8);
  out[10] = Delay;
  out[11] = RelayNormallyClosed;
}

TAlarmInfo TAlarmInfo::FromBytes(std::span<const Byte, Size> in) {
  TAlarmInfo a;
  a.SetPointEditable = in[0] != 0;
  a.HysteresisEditable = in[1] != 0;
  a.DelayEditable = in[2] != 0;
  a.RelayEditable = in[3] != 0;
  a.Decimals = in[4];
  a.Reserved = in[5];
  a.SetPoint = static_cast<std::int16_t>(static_cast<std::uint16_t>(in[6] | (in[7] << 8)));
  a.Hysteresis = static_cast<std::int16_t>(static_cast<std::uint16_t>(in[8] | (in[9] << 8)));
  a.Delay = in[10];
  a.RelayNormallyClosed = in[11];
  return a;
}

// ---------------------------------------------------------------------------------------
// TXmtRecord

const std::array<Byte, 21>& TXmtRecord::Magic() {
  static const std::array<Byte, 21> magic = [] {
    std::array<Byte, 21> m{};
    const char* text = "[XMT] File V1.0-KVRM";
    m[0] = 20;
    std::memcpy(m.data() + 1, text, 20);
    return m;
  }();
  return magic;
}

namespace {
std::size_t At(int off, int size) {
  // Offsets are compile-time constants of the layout; a wrong one is a programming error.
  if (off < 0 || off + size > TXmtRecord::Size) std::abort();
  return static_cast<std::size_t>(off);
}
}  // namespace

Byte TXmtRecord::GetByte(int off) const { return Bytes[At(off, 1)]; }
void TXmtRecord::SetByte(int off, Byte v) { Bytes[At(off, 1)] = v; }

std::int32_t TXmtRecord::GetInt32(int off) const {
  const std::size_t i = At(off, 4);
  const std::uint32_t u = std::uint32_t{Bytes[i]} | (std::uint32_t{Bytes[i + 1]} << 8) |
                          (std::uint32_t{Bytes[i + 2]} << 16) | (std::uint32_t{Bytes[i + 3]} << 24);
  return static_cast<std::int32_t>(u);
}

void TXmtRecord::SetInt32(int off, std::int32_t v) {
  const std::size_t i = At(off, 4);
  const auto u = static_cast<std::uint32_t>(v);
  for (int k = 0; k < 4; ++k) Bytes[i + static_cast<std::size_t>(k)] = static_cast<Byte>(u >> (8 * k));
}

float TXmtRecord::GetSingle(int off) const { return std::bit_cast<float>(static_cast<std::uint32_t>(GetInt32(off))); }
void TXmtRecord::SetSingle(int off, float v) { SetInt32(off, static_cast<std::int32_t>(std::bit_cast<std::uint32_t>(v))); }

std::string TXmtRecord::GetString(int off, int maxLen) const {
  const std::size_t i = At(off, maxLen + 1);
  const std::size_t len = std::min<std::size_t>(Bytes[i], static_cast<std::size_t>(maxLen));
  return std::string(reinterpret_cast<const char*>(Bytes.data() + i + 1), len);
}

void TXmtRecord::SetString(int off, int maxLen, const std::string& text) {
  const std::size_t i = At(off, maxLen + 1);
  const std::size_t len = std::min<std::size_t>(text.size(), static_cast<std::size_t>(maxLen));
  Bytes[i] = static_cast<Byte>(len);
  std::memcpy(Bytes.data() + i + 1, text.data(), len);
}

TAlarmInfo TXmtRecord::GetAlarm(int off) const {
  return TAlarmInfo::FromBytes(std::span<const Byte, TAlarmInfo::Size>(Bytes.data() + At(off, TAlarmInfo::Size), TAlarmInfo::Size));
}

void TXmtRecord::SetAlarm(int off, const TAlarmInfo& a) {
  a.ToBytes(std::span<Byte, TAlarmInfo::Size>(Bytes.data() + At(off, TAlarmInfo::Size), TAlarmInfo::Size));
}

float TXmtRecord::PointX(int index) const {
  if (index < 0 || index >= PointCount) return 0.0f;
  return GetSingle(OffPoints + 8 * index);
}

float TXmtRecord::PointY(int index) const {
  if (index < 0 || index >= PointCount) return 0.0f;
  return GetSingle(OffPoints + 8 * index + 4);
}

void TXmtRecord::SetPoint(int index, float x, float y) {
  if (index < 0 || index >= PointCount) return;
  SetSingle(OffPoints + 8 * index, x);
  SetSingle(OffPoints + 8 * index + 4, y);
}

bool TXmtRecord::HasMagic() const { return std::equal(Magic().begin(), Magic().end(), Bytes.begin()); }

void TXmtRecord::SetMagic() { std::copy(Magic().begin(), Magic().end(), Bytes.begin()); }

void TXmtRecord::ClampStringLengths() {
  struct Field {
    int off, maxLen;
  };
  static constexpr Field fields[] = {{OffMagic, 20}, {OffTag, 10}, {OffDescriptor, 20}, {OffDate, 10}, {OffMessage, 40}};
  for (const Field& f : fields) {
    Byte& len = Bytes[At(f.off, 1)];
    if (len > f.maxLen) len = static_cast<Byte>(f.maxLen);
  }
}

// ---------------------------------------------------------------------------------------
// TXmt: construction, connection, errors, status word

TXmt::TXmt(TLangue langue) : Langue(langue), Erreur(std::make_unique<TErreur>()) {}

TXmt::~TXmt() = default;

void TXmt::SetConnected(Byte state) {
  if (state == Connected) return;
  Connected = state;
  if (state == 1)
    OnConnect(this);
  else
    OnDisconnect(this);
}

void TXmt::ReportError(const std::string& message, std::int32_t delta, std::int32_t code) {
  if (Erreur->Report(message, delta, code)) OnError(this);
}

std::string TXmt::GetErrorMessage() const { return Erreur->GetMessage(); }
std::int32_t TXmt::GetErrorCode() const { return Erreur->GetCode(); }

void TXmt::SetPollAddress(Byte address) {
  PollingAddress = address;
  LiveRecord.SetByte(TXmtRecord::OffPollingAddress, address);
}

void TXmt::BuildStatusRegister() {
  StatusRegister = (WriteProtect ? 1 : 0) + 2 * (CacheMemory ? 1 : 0) + 4 * (Fault1High ? 1 : 0) +
                   8 * (Fault2High ? 1 : 0) + 16 * (LowPowerDuration & 15) + 256 * CpuFrequency;
}
