#include "model/Units.h"

#include <array>
#include <cstring>

namespace {

constexpr const char* Roman = "NewTimeRoman";
constexpr const char* SymbolFont = "Symbol";

// "\xB0" is the degree sign, "\xB2" and "\xB3" the superscripts two and three,
// "\xE9" e acute, "\xE8" e grave (Windows-1252).
constexpr std::array<TUnitInfo, UnitCount> Table{{
    {0, "none", "aucune", "", Roman},
    {7, "bars", "bar", "b", Roman},
    {8, "millibars", "millibar", "mb", Roman},
    {32, "degrees Celsius", "degr\xE9s Celsius", "\xB0" "C", Roman},
    {33, "degrees Fahrenheit", "degr\xE9s Fahrenheit", "\xB0" "F", Roman},
    {34, "degrees Rankin", "degr\xE9s Rankin", "\xB0" "R", Roman},
    {35, "Kelvin", "Kelvin", "K", Roman},
    {36, "milliVolts", "milliVolt", "mV", Roman},
    {37, "Ohms", "Ohm", "W", SymbolFont},
    {39, "milliAmperes", "milliAmp\xE8re", "mA", Roman},
    {41, "liters", "litre", "l", Roman},
    {45, "meters", "m\xE8tre", "m", Roman},
    {48, "centimeters", "centim\xE8tre", "cm", Roman},
    {49, "millimeters", "millim\xE8tre", "mm", Roman},
    {57, "percent", "pourcent", "%", Roman},
    {58, "Volts", "Volt", "V", Roman},
    {60, "grams", "gramme", "g", Roman},
    {61, "Kilograms", "Kilogramme", "Kg", Roman},
    {38, "Hertz", "Hertz", "Hz", Roman},
    {40, "gallons", "gallons", "USgal", Roman},
    {42, "Imp gallons", "Imp gallons", "UKgal", Roman},
    {43, "cubic meters", "m\xE8tre cube", "m\xB3", Roman},
    {44, "feet", "feet", "ft", Roman},
    {46, "Barrels", "Baril", "bbl", Roman},
    {47, "Inches", "Inches", "in", Roman},
    {62, "Tons", "Tonne", "t", Roman},
    {63, "Pounds", "Pounds", "lb", Roman},
    {111, "Cubic yards", "Yards cube", "yd\xB3", Roman},
    {112, "Cubic feet", "feet cube", "ft\xB3", Roman},
    {113, "Cubic inches", "inches cube", "in\xB3", Roman},
    {163, "KOhms", "KOhms", "KW", SymbolFont},
    {236, "hecto liter", "hecto litre", "hl", Roman},
    {9, "grams/cm\xB2", "gramme/cm\xB2", "g/cm\xB2", Roman},
    {10, "Kilograms/cm\xB2", "Kilogramme/cm\xB2", "Kg/cm\xB2", Roman},
    {11, "pascal", "pascal", "Pa", Roman},
    {12, "Kilopascal", "Kilopascal", "KPa", Roman},
}};

}  // namespace

const TUnitInfo& UnitRow(int row) {
  if (row < 0 || row >= UnitCount) row = 0;
  return Table[static_cast<std::size_t>(row)];
}

int UnitCodeToIndex(Byte code) {
  for (int row = 0; row < UnitCount; ++row)
    if (Table[static_cast<std::size_t>(row)].Code == code) return row;
  return 0;
}

std::string UnitCodeToText(Byte code, TLangue langue) {
  const TUnitInfo& u = Table[static_cast<std::size_t>(UnitCodeToIndex(code))];
  std::string text = std::strcmp(u.FontName, Roman) == 0 ? u.Symbol : u.Name(langue);
  return text.substr(0, 20);
}
