// Which tags can be sent as packed text, and their capitals.

#include <gtest/gtest.h>

#include "app/core/TagText.h"

TEST(TagTextTest, PackedTextHoldsBlankToUnderscoreAndSmallLetters) {
  struct Case {
    std::string text;  // Windows-1252
    bool packed;
    const char* upper;
  };
  const std::vector<Case> cases = {
      {"", true, ""},
      {"TT-101", true, "TT-101"},
      {"tt-101b", true, "TT-101B"},
      {" !\"#$%&'()*+,-./09:;<=>?@AZ[\\]^_", true, " !\"#$%&'()*+,-./09:;<=>?@AZ[\\]^_"},
      {"az", true, "AZ"},
      {"`", false, "`"},
      {"{|}~", false, "{|}~"},
      {"\x7F", false, "\x7F"},
      {"A\x1F", false, "A\x1F"},
      {"\t", false, "\t"},
      {std::string(1, '\0'), false, ""},
      {"t\xE9t\xE9", false, "T\xE9T\xE9"},
      {"\xC9", false, "\xC9"},
      {"\x80\xFF", false, "\x80\xFF"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsPackedText(c.text), c.packed) << c.text;
    if (c.text.size() == 1 && c.text[0] == '\0') continue;
    EXPECT_EQ(AsciiUpperCase(c.text), c.upper) << c.text;
  }
}
