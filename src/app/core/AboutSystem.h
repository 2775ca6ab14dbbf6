#pragma once

// The texts of the About box: product, version, credit line, and the operating system the
// program runs on, as uname names it. Texts are Windows-1252.

#include <optional>
#include <string>

#include "runtime/Langue.h"

// The running system's name and release ("Linux", "6.1.0-18-amd64").
struct TSystemRecord {
  std::string Name;
  std::string Release;
};

// The record of the running system; empty when the system does not tell. Bytes outside
// printable ASCII become '?', so the texts stay valid Windows-1252.
std::optional<TSystemRecord> CurrentSystemRecord();

std::string AboutCaption(TLangue langue);
std::string AboutProductName(TLangue langue);
std::string AboutVersion();
std::string AboutCredit(TLangue langue);
// The system's lines read the same in both editions.
// "Système : Linux"
std::string AboutSystemLine(const TSystemRecord& system);
// "Version n° : 6.1.0-18-amd64"
std::string AboutSystemVersionLine(const TSystemRecord& system);
