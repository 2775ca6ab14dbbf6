// What the communication status window shows of a command 48 answer.

#include <gtest/gtest.h>

#include "app/core/StatusCommView.h"

namespace {

std::array<Byte, 24> Bytes(std::initializer_list<std::pair<int, Byte>> set) {
  std::array<Byte, 24> b{};
  for (auto [i, v] : set) b[static_cast<std::size_t>(i)] = v;
  return b;
}

TEST(AdditionalStatusView, NamesTheFirstSevenBitsAndNumbersTheRest) {
  const auto v = AdditionalStatusView(24, Bytes({{0, 0x05}}), TLangue::Anglais);
  EXPECT_EQ(v.SpecificNames[0], "HWD_Test");
  EXPECT_EQ(v.SpecificNames[1], "OSC_Fault");
  EXPECT_EQ(v.SpecificNames[2], "SP_Underflow");
  EXPECT_EQ(v.SpecificNames[6], "ID_Undefine");
  EXPECT_EQ(v.SpecificBits[0], "1");
  EXPECT_EQ(v.SpecificBits[1], "0");
  EXPECT_EQ(v.SpecificBits[2], "1");
  for (int c = 7; c < 48; ++c) EXPECT_EQ(v.SpecificNames[static_cast<std::size_t>(c)], std::to_string(c));
  for (int c = 0; c < 80; ++c) EXPECT_EQ(v.MoreNames[static_cast<std::size_t>(c)], std::to_string(c));
}

TEST(AdditionalStatusView, BitsOfEachByteLowestFirst) {
  const auto v = AdditionalStatusView(24, Bytes({{5, 0x80}, {14, 0x01}, {23, 0x80}, {3, 0x10}}), TLangue::Anglais);
  for (int c = 0; c < 48; ++c)
    EXPECT_EQ(v.SpecificBits[static_cast<std::size_t>(c)], c == 47 || c == 28 ? "1" : "0") << c;
  for (int c = 0; c < 80; ++c) EXPECT_EQ(v.MoreBits[static_cast<std::size_t>(c)], c == 0 || c == 79 ? "1" : "0") << c;
}

TEST(AdditionalStatusView, AddressLedRowsAndHeight) {
  const auto v = AdditionalStatusView(
      14, Bytes({{1, 0x12}, {2, 0x34}, {6, 0x05}, {8, 0x21}, {9, 0xFF}, {10, 0x81}, {11, 0xFF}, {12, 0xFF}, {13, 0x7E}}),
      TLangue::Anglais);
  EXPECT_EQ(v.CpuErrorAddress, "1234");
  EXPECT_EQ(v.ExtendedDeviceStatus, 0x05);
  EXPECT_EQ(v.StandardStatus0, 0x21);
  EXPECT_EQ(v.OutputsSaturated, 0x81);  // byte 10; bytes 9, 11, 12 are not shown
  EXPECT_EQ(v.OutputsFixed, 0x7E);
  EXPECT_EQ(v.Height, StatusPagesHeight);
  EXPECT_EQ(AdditionalStatusView(1, {}, TLangue::Anglais).Height, 714);
  EXPECT_EQ(AdditionalStatusView(0, {}, TLangue::Anglais).Height, 234);
  EXPECT_EQ(AdditionalStatusView(-2, {}, TLangue::Anglais).Height, 234);
  EXPECT_EQ(AdditionalStatusView(0, Bytes({{1, 0xAB}, {2, 0x0C}}), TLangue::Anglais).CpuErrorAddress, "AB0C");
}

TEST(AdditionalStatusView, OperatingModesInBothEditions) {
  struct Case {
    Byte mode;
    const char* en;
    const char* fr;
  };
  for (const Case c : {Case{0, "Normal", "Normal"}, Case{250, "Reserved", "R\xE9serv\xE9"}, Case{255, "Reserved", "R\xE9serv\xE9"},
                       Case{1, "Undefined", "Ind\xE9" "fini"}, Case{249, "Undefined", "Ind\xE9" "fini"},
                       Case{254, "Undefined", "Ind\xE9" "fini"}}) {
    EXPECT_EQ(AdditionalStatusView(24, Bytes({{7, c.mode}}), TLangue::Anglais).OperatingMode, c.en) << int(c.mode);
    EXPECT_EQ(AdditionalStatusView(24, Bytes({{7, c.mode}}), TLangue::Francais).OperatingMode, c.fr) << int(c.mode);
  }
}

}  // namespace
