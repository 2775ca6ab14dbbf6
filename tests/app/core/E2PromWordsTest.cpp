// The EEPROM editor's words: typed hexadecimal words, the EEPROM types, the end address of
// the parameter area and its checksum.

#include <gtest/gtest.h>

#include "app/core/E2PromWords.h"

namespace {

TEST(HexToWord, TakesExactlyFourUpperCaseDigits) {
  struct Case {
    const char* text;
    bool ok;
    std::uint16_t value;  // set whatever the result
  };
  for (const Case c : {Case{"00FF", true, 0x00FF}, Case{"FFFF", true, 0xFFFF}, Case{"0000", true, 0},
                       Case{"1A2B", true, 0x1A2B}, Case{"9999", true, 0x9999},
                       // refused characters count as 0 at their place
                       Case{"00ff", false, 0x0000}, Case{"1a2B", false, 0x102B}, Case{"12G4", false, 0x1204},
                       Case{" 0FF", false, 0x00FF}, Case{"-001", false, 0x0001},
                       // any other length gives 0
                       Case{"FF", false, 0}, Case{"", false, 0}, Case{"00FFF", false, 0}, Case{"0FF", false, 0}}) {
    std::uint16_t value = 0xBEEF;
    EXPECT_EQ(HexToWord(c.text, value), c.ok) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
}

TEST(EepromType, SizesOfTheThreeTypes) {
  EXPECT_EQ(EepromTypeSize(0), 64);
  EXPECT_EQ(EepromTypeSize(1), 128);
  EXPECT_EQ(EepromTypeSize(2), 256);
  EXPECT_EQ(EepromTypeSize(-1), 0);
  EXPECT_EQ(EepromTypeSize(3), 0);
}

TEST(EepromEndAddress, ReadsTheFieldAsHexadecimal) {
  EXPECT_EQ(EepromEndAddress("07F"), 127);
  EXPECT_EQ(EepromEndAddress("100"), 256);
  EXPECT_EQ(EepromEndAddress("040"), 64);
  EXPECT_EQ(EepromEndAddress("7F"), 0);   // not three digits
  EXPECT_EQ(EepromEndAddress("   "), 0);  // the mask's blanks
}

TEST(EepromChecksum, AddsTheKnownWordsFromTwoToBeforeTheEnd) {
  TEepromImage image;
  for (int a = 0; a < EepromMaxWords; ++a) {
    image.Words[static_cast<std::size_t>(a)] = static_cast<std::uint16_t>(a + 1);
    image.Known[static_cast<std::size_t>(a)] = true;
  }
  // Words 2..126 hold 3..127.
  EXPECT_EQ(EepromChecksum(image, 128, 127), (3 + 127) * 125 / 2);
  // Words 0, 1 and the end word are out; the size cuts before the end address does.
  EXPECT_EQ(EepromChecksum(image, 128, 3), 3);
  EXPECT_EQ(EepromChecksum(image, 128, 2), 0);
  EXPECT_EQ(EepromChecksum(image, 64, 127), (3 + 64) * 62 / 2);
  EXPECT_EQ(EepromChecksum(image, 256, 256), ((3 + 256) * 254 / 2) & 0xFFFF);
  EXPECT_EQ(EepromChecksum(image, 128, 0), 0);
  // Unknown words are not added; the sum wraps at 65536.
  image.Known[10] = false;
  EXPECT_EQ(EepromChecksum(image, 128, 12), 3 + 4 + 5 + 6 + 7 + 8 + 9 + 10 + 12);
  TEepromImage full;
  full.Words.fill(0xFFFF);
  full.Known.fill(true);
  EXPECT_EQ(EepromChecksum(full, 128, 127), static_cast<std::uint16_t>(0xFFFFu * 125u));
}

TEST(EepromRowText, IsTheRowsFirstAddress) {
  EXPECT_EQ(EepromRowText(0), "000  :");
  EXPECT_EQ(EepromRowText(1), "008  :");
  EXPECT_EQ(EepromRowText(15), "078  :");
  EXPECT_EQ(EepromRowText(31), "0F8  :");
}

}  // namespace
