#include "app/core/E2PromWords.h"

#include <algorithm>

#include "app/core/DisplayFormat.h"

bool HexToWord(const std::string& text, std::uint16_t& value) {
  value = 0;
  if (text.size() != 4) return false;
  bool valid = true;
  unsigned sum = 0;
  for (char c : text) {
    unsigned digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else {
      valid = false;
    }
    sum = sum * 16 + digit;
  }
  value = static_cast<std::uint16_t>(sum);
  return valid;
}

int EepromTypeSize(int item) {
  switch (item) {
    case 0: return 64;
    case 1: return 128;
    case 2: return 256;
    default: return 0;
  }
}

int EepromEndAddress(const std::string& fieldText) {
  std::uint16_t end = 0;
  HexToWord("0" + fieldText, end);
  return end;
}

std::uint16_t EepromChecksum(const TEepromImage& image, int size, int endAddress) {
  const int last = std::min({size, endAddress, EepromMaxWords});
  unsigned sum = 0;
  for (int a = 2; a < last; ++a) {
    const auto i = static_cast<std::size_t>(a);
    if (image.Known[i]) sum += image.Words[i];
  }
  return static_cast<std::uint16_t>(sum & 0xFFFF);
}

std::string EepromRowText(int row) { return IntToHex(static_cast<std::uint32_t>(8 * row), 3) + "  :"; }
