#include "controls/Cp1252.h"

#include <array>

namespace {

// 0x80..0x9F differ from Latin-1; the five unassigned bytes map to the same C1 code points
// as the system's own conversion does.
constexpr std::array<char16_t, 32> High{{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
}};

}  // namespace

std::u16string Cp1252ToUtf16(const std::string& bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    out.push_back(b >= 0x80 && b <= 0x9F ? High[b - 0x80] : static_cast<char16_t>(b));
  }
  return out;
}

std::string Utf16ToCp1252(const std::u16string& text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t c : text) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    char b = '?';
    for (std::size_t i = 0; i < High.size(); ++i)
      if (High[i] == c) b = static_cast<char>(0x80 + i);
    out.push_back(b);
  }
  return out;
}
