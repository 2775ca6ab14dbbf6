#pragma once

// Linearisation files (*.LIN): the curve as assembler-style text, a ".equ" line with the
// number of points and a ".float" line for each X and each Y. Single-byte text, lines ended
// by CR LF, numbers written with '.' whatever the locale and read with '.' or ','.
//
// The reader works on the file's bytes in memory and fills a table of its own, so that the
// caller decides whether the curve takes it; the file functions only move the bytes.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/Langue.h"

struct TLinPoint {
  float X = 0.0f;
  float Y = 0.0f;
  bool operator==(const TLinPoint&) const = default;
};

// The curve editor's table: a file gives at most this many points.
constexpr int LinMaxPoints = 361;
// A value text (after "float" or "equ", up to what ends it) holds at most this many characters.
constexpr std::size_t LinMaxValueText = 80;

// The whole file for the points, in order.
std::string WriteLinText(std::span<const TLinPoint> points);

// What a read has to tell the user, in the order it happened.
enum class TLinMessageKind {
  TooManySegments,   // more than 361 points: the first 360 are kept
  BadSegmentNumber,  // the count line is missing or differs, or fewer than 2 points
  BadFloat,          // a ".float" value is not a number (the read stops)
  BadInteger,        // a ".equ" count is not a whole number (the read stops)
};

struct TLinMessage {
  TLinMessageKind Kind = TLinMessageKind::BadSegmentNumber;
  std::string Value;  // the text that did not convert (Windows-1252)
  bool operator==(const TLinMessage&) const = default;
};

// The edition's wording of a message (Windows-1252).
std::string LinMessageText(TLangue langue, const TLinMessage& message);

struct TLinTable {
  std::vector<TLinPoint> Points;  // the complete points read, at most 361
  std::optional<int> Expected;    // the number of the last ".equ" line
  std::vector<TLinMessage> Messages;
  bool ConversionFailed = false;  // a value did not convert: the table is not to be used

  int Count() const { return static_cast<int>(Points.size()); }
  // True when a curve may take the table: every value converted and there are at least two
  // points (the curve editor needs two).
  bool Usable() const { return !ConversionFailed && Points.size() >= 2; }
};

// Reads a file's text. Lines end with CR LF, LF or CR; an empty line or the end of the text
// ends the reading. Each ".float" value is the X, then the Y, of the next point (an X
// without its Y is dropped); ".equ" gives the expected number of points.
TLinTable ReadLinText(std::string_view text);

// A file larger than this is no curve (one of 361 points takes some 20 KB): it is not read, so
// that a huge file chosen by mistake neither stalls nor exhausts the program.
constexpr std::uintmax_t LinMaxFileBytes = 1 << 20;

enum class TLinFileStatus { Read, CannotOpen, TooLarge };

// The edition's message for a file that was not read (Windows-1252).
std::string LinFileStatusText(TLangue langue, TLinFileStatus status);

struct TLinFileRead {
  TLinFileStatus Status = TLinFileStatus::CannotOpen;
  TLinTable Table;
};

// Reads the file at path with ReadLinText; CannotOpen for anything but a readable regular
// file, TooLarge for a file of more than LinMaxFileBytes.
TLinFileRead ReadLinFile(const std::string& path);

// Writes the file at path through a temporary file renamed over it; false when the file
// cannot be created or written (the old file is then left as it was).
bool SaveLinFile(const std::string& path, std::span<const TLinPoint> points);
