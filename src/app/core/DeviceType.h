#pragma once

// The fields of the maker's device-type byte that the application tests.

#include <cstdint>

// Bits 3-2: the kind of input (0 voltage/current with two inputs, 1 resistance,
// 2 potentiometer, 3 thermocouple); it also chooses the sheet of the sensor page.
constexpr unsigned DeviceInputKind(std::uint8_t t) { return (t >> 2) & 3u; }
// Bits 6-4: the product series, which decides the optional device-specific commands.
constexpr unsigned DeviceSeries(std::uint8_t t) { return (t >> 4) & 7u; }
// Bits 6-2: series and input kind together, which decide the sensor controls, the unit
// lists and the display page.
constexpr unsigned DeviceSensorCode(std::uint8_t t) { return (t & 0x7Cu) >> 2; }
