// The ini text's line ends: a text that was written reads back as the same text.

#include <gtest/gtest.h>

#include "app/core/IniFile.h"

// Found by fuzzing: a last line ending in several carriage returns without a line feed came
// back written with CR LF, so the next read took the whole file for a CR LF one and changed
// that line again.
TEST(IniTextLineEndTest, WrittenTextReadsBackAsItself) {
  for (const char* text : {"[A]\n \r\r", "[A]\nx=1\r", "[A]\r\nx=1\r\r", "a\rb\n", "[A]\r\nx=\r1\r\n", "\r\r\r"}) {
    TIniText ini(text);
    ini.WriteInteger("PORT", "PORT", 5);
    const std::string written = ini.Text();
    EXPECT_EQ(TIniText(written).Text(), written) << text;
    EXPECT_EQ(TIniText(written).ReadInteger("PORT", "PORT", 0), 5) << text;
  }
  EXPECT_EQ(TIniText("[A]\n \r\r").Text(), "[A]\n \n");
  EXPECT_EQ(TIniText("[A]\r\nx=\r1\r\n").Text(), "[A]\r\nx=\r1\r\n");  // a CR inside a line stays
}
