#include "app/core/StatusCommView.h"

#include "app/core/DisplayFormat.h"

const std::array<const char*, 7> AdditionalStatusBitNames = {"HWD_Test",   "OSC_Fault",    "SP_Underflow", "SP_Overflow",
                                                             "STZ_Memory", "Param_Memory", "ID_Undefine"};

namespace {

const char* Bit(Byte value, int bit) { return (value >> bit & 1) != 0 ? "1" : "0"; }

}  // namespace

std::string OperatingModeText(Byte mode, TLangue langue) {
  if (mode == 0) return "Normal";
  if (mode == 250 || mode == 255) return Texte(langue, "Reserved", "R\xE9serv\xE9");
  return Texte(langue, "Undefined", "Ind\xE9" "fini");
}

TAdditionalStatusView AdditionalStatusView(std::int32_t count, const std::array<Byte, 24>& bytes, TLangue langue) {
  TAdditionalStatusView v;
  v.Height = count > 0 ? StatusPagesHeight : StatusBoxesHeight;
  for (int i = 0; i < 6; ++i) {
    for (int b = 0; b < 8; ++b) {
      const int c = 8 * i + b;
      const auto column = static_cast<std::size_t>(c);
      v.SpecificNames[column] = c <= 6 ? AdditionalStatusBitNames[column] : std::to_string(c);
      v.SpecificBits[column] = Bit(bytes[static_cast<std::size_t>(i)], b);
    }
  }
  v.CpuErrorAddress = IntToHex(static_cast<std::uint32_t>(bytes[1] << 8 | bytes[2]), 4);
  v.ExtendedDeviceStatus = bytes[6];
  v.OperatingMode = OperatingModeText(bytes[7], langue);
  v.StandardStatus0 = bytes[8];
  v.OutputsSaturated = bytes[10];
  v.OutputsFixed = bytes[13];
  for (int i = 14; i < 24; ++i) {
    for (int b = 0; b < 8; ++b) {
      const auto column = static_cast<std::size_t>(8 * (i - 14) + b);
      v.MoreNames[column] = std::to_string(column);
      v.MoreBits[column] = Bit(bytes[static_cast<std::size_t>(i)], b);
    }
  }
  return v;
}
