#pragma once

// The words of the EEPROM editor: the 256 words the device may hold with which of them were
// received, the hexadecimal word texts typed into the grid, the EEPROM types, and the
// checksum of the parameter area.

#include <array>
#include <cstdint>
#include <string>

// Exactly four upper-case hexadecimal digits, the first the most significant. The value is
// always set: 0 when the length is not 4, otherwise the digits at their places with a
// refused character (a lower-case letter among them) counting as 0.
bool HexToWord(const std::string& text, std::uint16_t& value);

constexpr int EepromMaxWords = 256;

// The words of the device's EEPROM, by word address, and which were received.
struct TEepromImage {
  std::array<std::uint16_t, EepromMaxWords> Words{};
  std::array<bool, EepromMaxWords> Known{};
};

// Words of the EEPROM types of the type list ("93C46", "93C56", "93C66"); 0 for another
// item.
int EepromTypeSize(int item);

// The end address of the parameter area from the text of its 3-digit field, read as
// hexadecimal ("07F" is 127; a text that is not 3 digits gives 0).
int EepromEndAddress(const std::string& fieldText);

// The sum, modulo 65536, of the known words from address 2 up to endAddress - 1 among the
// first `size` words.
std::uint16_t EepromChecksum(const TEepromImage& image, int size, int endAddress);

// Column 0 of a grid row: its first address in 3 hexadecimal digits, two blanks and a colon.
std::string EepromRowText(int row);
