#include "model/Utils.h"

#include <bit>
#include <cmath>

Byte CheckByteXor(std::span<const Byte> buf, int n) {
  Byte x = 0;
  for (int i = 1; i <= n && static_cast<std::size_t>(i) < buf.size(); ++i) x ^= buf[static_cast<std::size_t>(i)];
  return x;
}

namespace {
Byte SixBitCode(Byte c) { return static_cast<Byte>((c >= 64 ? c - 64 : c) & 63); }
}  // namespace

void StrToPackedAscii(TPackedAscii& pa, const std::string& text) {
  std::string four = text.substr(0, 4);
  four.resize(4, ' ');
  pa.Ascii = four;
  const Byte k1 = SixBitCode(static_cast<Byte>(four[0]));
  const Byte k2 = SixBitCode(static_cast<Byte>(four[1]));
  const Byte k3 = SixBitCode(static_cast<Byte>(four[2]));
  const Byte k4 = SixBitCode(static_cast<Byte>(four[3]));
  pa.Packed.assign(3, ' ');
  pa.Packed[0] = static_cast<char>(static_cast<Byte>(k1 * 4 + (k2 >> 4)));
  pa.Packed[1] = static_cast<char>(static_cast<Byte>((k2 * 16) % 256 + (k3 >> 2)));
  pa.Packed[2] = static_cast<char>(static_cast<Byte>((k3 * 64) % 256 + k4));
}

void PackedAsciiToStr(TPackedAscii& pa, Byte p0, Byte p1, Byte p2) {
  const Byte u[4] = {
      static_cast<Byte>(p0 >> 2),
      static_cast<Byte>((p0 & 3) * 16 + (p1 >> 4)),
      static_cast<Byte>((p1 & 15) * 4 + (p2 >> 6)),
      static_cast<Byte>(p2 & 63),
  };
  pa.Ascii.assign(4, ' ');
  for (int i = 0; i < 4; ++i) pa.Ascii[static_cast<std::size_t>(i)] = static_cast<char>(u[i] < 32 ? u[i] + 64 : u[i]);
  pa.Packed = std::string{static_cast<char>(p0), static_cast<char>(p1), static_cast<char>(p2)};
}

std::string GetAsciiPart(const TPackedAscii& pa) { return pa.Ascii; }
std::string GetPackedPart(const TPackedAscii& pa) { return pa.Packed; }

std::int32_t Bytes3ToInt(Byte b0, Byte b1, Byte b2) { return b0 * 65536 + b1 * 256 + b2; }

double BytesToSingle(Byte b0, Byte b1, Byte b2, Byte b3) {
  if ((b0 & 0x7F) == 0x7F) return 0.0;
  const std::uint32_t bits = (std::uint32_t{b0} << 24) | (std::uint32_t{b1} << 16) | (std::uint32_t{b2} << 8) | b3;
  const double v = static_cast<double>(std::bit_cast<float>(bits)) + 0.0;
  return std::isfinite(v) ? v : 0.0;
}

std::string UnpackText(std::span<const Byte> data, int groups) {
  auto at = [&](std::size_t i) -> Byte { return i < data.size() ? data[i] : 0; };
  std::string text;
  TPackedAscii pa;
  for (int g = 0; g < groups; ++g) {
    const std::size_t i = static_cast<std::size_t>(g) * 3;
    PackedAsciiToStr(pa, at(i), at(i + 1), at(i + 2));
    text += pa.Ascii;
  }
  return text;
}
