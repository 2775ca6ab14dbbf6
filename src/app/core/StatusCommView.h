#pragma once

// What the communication status window shows of the additional device status (command 48):
// the bit grids, the CPU error address, the operating mode and the LED rows, all taken from
// the 24 status bytes the model keeps.

#include <array>
#include <cstdint>
#include <string>

#include "model/Utils.h"
#include "runtime/Langue.h"

// The window's heights: the status boxes alone, and with the pages of command 48.
constexpr int StatusBoxesHeight = 234;
constexpr int StatusPagesHeight = 714;

// The names of the device-specific status bits 0 to 6 of the first grid.
extern const std::array<const char*, 7> AdditionalStatusBitNames;

struct TAdditionalStatusView {
  int Height = StatusBoxesHeight;
  // Device-specific status bits, bytes 0 to 5: the heading and "1" or "0" of each column.
  std::array<std::string, 48> SpecificNames;
  std::array<std::string, 48> SpecificBits;
  std::string CpuErrorAddress;       // bytes 1 and 2, big-endian, 4 hexadecimal digits
  int ExtendedDeviceStatus = 0;      // byte 6
  std::string OperatingMode;         // byte 7, as the edition words it (Windows-1252)
  int StandardStatus0 = 0;           // byte 8
  int OutputsSaturated = 0;          // byte 10
  int OutputsFixed = 0;              // byte 13
  // The 80 bits of bytes 14 to 23.
  std::array<std::string, 80> MoreNames;
  std::array<std::string, 80> MoreBits;
};

// count: the answer's byte count less its two status bytes; bytes: what the model holds.
TAdditionalStatusView AdditionalStatusView(std::int32_t count, const std::array<Byte, 24>& bytes, TLangue langue);

// The text of the operating-mode byte.
std::string OperatingModeText(Byte mode, TLangue langue);
