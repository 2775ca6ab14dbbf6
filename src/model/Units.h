#pragma once

// The 36 HART engineering units the program knows. The model and the transmitter file
// store the row index; the wire carries the HART code. The row order is part of the file
// format. Texts are Windows-1252 bytes.

#include <cstdint>
#include <string>

#include "model/Utils.h"
#include "runtime/Langue.h"

struct TUnitInfo {
  std::int32_t Code;
  const char* NameAnglais;
  const char* NameFrancais;
  const char* Symbol;
  const char* FontName;  // "NewTimeRoman", or "Symbol" where the letter W is drawn as omega

  const char* Name(TLangue langue) const { return Texte(langue, NameAnglais, NameFrancais); }
};

constexpr int UnitCount = 36;
constexpr int DefaultUnitRows = 35;  // rows 0..34 form the selector's default list

// Row 0..35 of the table; a row outside it gives row 0.
const TUnitInfo& UnitRow(int row);

// First row whose code equals the byte; 0 ("none") when no row holds it.
int UnitCodeToIndex(Byte code);

// The symbol of the code's row, or its name for the rows drawn in the "Symbol" font;
// at most 20 characters.
std::string UnitCodeToText(Byte code, TLangue langue);
