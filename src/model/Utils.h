#pragma once

// HART wire bytes to program values and back: check byte, packed ASCII,
// 24-bit big-endian integers and big-endian IEEE singles.

#include <cstdint>
#include <span>
#include <string>

using Byte = std::uint8_t;

// One group of four characters in both forms. Ascii holds the four characters,
// Packed the three packed bytes; both are byte strings (Windows-1252).
struct TPackedAscii {
  std::string Ascii;
  std::string Packed;
};

// XOR of the n bytes at positions 1..n of buf (position 0 is not included); 0 when n <= 0.
// Reads only within buf: positions past its end count as absent.
Byte CheckByteXor(std::span<const Byte> buf, int n);

// Fills both parts from the first 4 characters of text; a shorter text packs as if
// padded with blanks. No upper-casing.
void StrToPackedAscii(TPackedAscii& pa, const std::string& text);

// Fills both parts from 3 packed bytes.
void PackedAsciiToStr(TPackedAscii& pa, Byte p0, Byte p1, Byte p2);

std::string GetAsciiPart(const TPackedAscii& pa);
std::string GetPackedPart(const TPackedAscii& pa);

// b0 * 65536 + b1 * 256 + b2, never negative.
std::int32_t Bytes3ToInt(Byte b0, Byte b1, Byte b2);

// The big-endian IEEE single b0 b1 b2 b3. Exponent fields 254 and 255 (infinities, NaNs,
// the HART not-a-number 7F A0 00 00 and magnitudes of 2^127 or more) give 0.0; the value is
// normalised by adding 0.0, so negative zero reads as +0.0.
double BytesToSingle(Byte b0, Byte b1, Byte b2, Byte b3);

// Decodes k packed groups (3 bytes each) starting at data[0]; bytes past the end read as 0.
std::string UnpackText(std::span<const Byte> data, int groups);
