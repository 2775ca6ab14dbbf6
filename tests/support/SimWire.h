#pragma once

// Wire encodings of the simulated transmitter: big-endian integers and IEEE singles,
// packed ASCII, the check byte. Written apart from the program's own helpers on purpose,
// so that the simulator checks them rather than repeats them.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

using SimBytes = std::vector<std::uint8_t>;

inline void SimPutU8(SimBytes& out, unsigned v) { out.push_back(static_cast<std::uint8_t>(v & 0xFF)); }

inline void SimPutU16(SimBytes& out, unsigned v) {
  SimPutU8(out, v >> 8);
  SimPutU8(out, v);
}

inline void SimPutU24(SimBytes& out, std::uint32_t v) {
  SimPutU8(out, v >> 16);
  SimPutU8(out, v >> 8);
  SimPutU8(out, v);
}

inline void SimPutF32(SimBytes& out, float f) {
  const std::uint32_t v = std::bit_cast<std::uint32_t>(f);
  SimPutU16(out, v >> 16);
  SimPutU16(out, v & 0xFFFF);
}

// Reading request data: bytes past the end read as 0, so a short request never reads
// outside its data.
inline std::uint8_t SimAt(std::span<const std::uint8_t> d, std::size_t i) { return i < d.size() ? d[i] : 0; }

inline unsigned SimGetU16(std::span<const std::uint8_t> d, std::size_t i) {
  return (unsigned{SimAt(d, i)} << 8) | SimAt(d, i + 1);
}

inline std::uint32_t SimGetU24(std::span<const std::uint8_t> d, std::size_t i) {
  return (std::uint32_t{SimAt(d, i)} << 16) | (std::uint32_t{SimAt(d, i + 1)} << 8) | SimAt(d, i + 2);
}

inline float SimGetF32(std::span<const std::uint8_t> d, std::size_t i) {
  const std::uint32_t v = (std::uint32_t{SimGetU16(d, i)} << 16) | SimGetU16(d, i + 2);
  return std::bit_cast<float>(v);
}

// Packed ASCII: the text cut or padded with blanks to `chars` characters (a multiple of 4),
// each character kept as its low six bits, four characters in three bytes. Lower-case
// letters are taken as capitals, the only letters the code has.
inline void SimPutPacked(SimBytes& out, const std::string& text, std::size_t chars) {
  for (std::size_t g = 0; g < chars; g += 4) {
    std::uint32_t bits = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      unsigned char c = g + k < text.size() ? static_cast<unsigned char>(text[g + k]) : ' ';
      if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 'a' + 'A');
      bits = (bits << 6) | (c & 0x3Fu);
    }
    SimPutU24(out, bits);
  }
}

// The inverse: every 6-bit code below 0x20 stands for 0x40 + code ('@', 'A'..'_').
inline std::string SimGetPacked(std::span<const std::uint8_t> d, std::size_t i, std::size_t chars) {
  std::string text;
  for (std::size_t g = 0; g < chars; g += 4) {
    const std::uint32_t bits = SimGetU24(d, i + g / 4 * 3);
    for (int k = 3; k >= 0; --k) {
      const unsigned code = (bits >> (6 * k)) & 0x3F;
      text.push_back(static_cast<char>(code < 0x20 ? code + 0x40 : code));
    }
  }
  return text;
}

inline std::uint8_t SimXor(std::span<const std::uint8_t> d) {
  std::uint8_t x = 0;
  for (std::uint8_t b : d) x ^= b;
  return x;
}
