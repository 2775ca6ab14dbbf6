// Whole numbers typed or read from files take one sign at most.

#include <gtest/gtest.h>

#include "app/core/DisplayFormat.h"
#include "app/core/IniFile.h"
#include "app/core/LinFile.h"

// Found by fuzzing: "+-5" was read as -5, by the whole-number conversion of the windows and
// the ini file, and by the count of a *.LIN file.
TEST(NumberSignTest, ASignAfterAPlusIsNoNumber) {
  struct Case {
    const char* text;
    std::optional<std::int32_t> value;
  };
  for (const Case& c : std::initializer_list<Case>{
           {"+-5", std::nullopt}, {"+-0", std::nullopt}, {"++5", std::nullopt}, {"-+5", std::nullopt},
           {"--5", std::nullopt}, {"+", std::nullopt}, {"-", std::nullopt}, {" +-214 ", std::nullopt},
           {"+5", 5}, {"-5", -5}, {" -0 ", 0}, {"+2147483647", 2147483647}, {"-2147483648", -2147483647 - 1}}) {
    EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
  }
  EXPECT_EQ(TIniText("[CONFIG]\nPORT=+-1\n").ReadInteger("CONFIG", "PORT", 7), 0);

  for (const char* count : {"+-2", "++2", "-+2", "+"}) {
    const TLinTable t = ReadLinText(std::string(".equ ") + count + "\n.float 1\n.float 2\n.float 3\n.float 4\n");
    EXPECT_TRUE(t.ConversionFailed) << count;
    ASSERT_FALSE(t.Messages.empty()) << count;
    EXPECT_EQ(t.Messages.back().Kind, TLinMessageKind::BadInteger) << count;
  }
  const TLinTable plus = ReadLinText(".equ +2\n.float 1\n.float 2\n.float 3\n.float 4\n");
  EXPECT_TRUE(plus.Usable());
  EXPECT_EQ(plus.Expected, 2);
}
