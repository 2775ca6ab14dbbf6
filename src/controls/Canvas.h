#pragma once

// The drawing surface of the program's own controls. The controls describe their picture
// with these few operations, in the conventions of the windowing system they were designed
// on: a rectangle excludes its right and bottom edge, LineTo excludes its end pixel, text is
// placed by its top, wide pens have round ends. TQtCanvas renders it; tests record it.

#include <cstdint>
#include <string>

// 0x00BBGGRR.
using TColor = std::uint32_t;

constexpr TColor RGB(int r, int g, int b) {
  return static_cast<TColor>(r & 0xFF) | static_cast<TColor>(g & 0xFF) << 8 | static_cast<TColor>(b & 0xFF) << 16;
}
constexpr int GetRValue(TColor c) { return static_cast<int>(c & 0xFF); }
constexpr int GetGValue(TColor c) { return static_cast<int>(c >> 8 & 0xFF); }
constexpr int GetBValue(TColor c) { return static_cast<int>(c >> 16 & 0xFF); }

constexpr TColor clBlack = RGB(0, 0, 0);
constexpr TColor clWhite = RGB(255, 255, 255);
constexpr TColor clRed = RGB(255, 0, 0);
constexpr TColor clBlue = RGB(0, 0, 255);
constexpr TColor clSilver = RGB(192, 192, 192);

enum class TPenStyle { Solid, Dash };
// NotXor inverts the destination where the pen is black and leaves it where it is white,
// so drawing the same figure twice restores the picture.
enum class TPenMode { Copy, NotXor };
enum class TBrushStyle { Solid, Clear };

struct TPen {
  TColor Color = clBlack;
  int Width = 1;
  TPenStyle Style = TPenStyle::Solid;
  TPenMode Mode = TPenMode::Copy;
  bool operator==(const TPen&) const = default;
};

struct TBrush {
  TColor Color = clWhite;
  TBrushStyle Style = TBrushStyle::Solid;
  bool operator==(const TBrush&) const = default;
};

struct TFont {
  std::string Name;  // empty: the control's own font; a missing font falls back to a serif one
  int Size = 8;      // points, at 96 pixels per inch
  TColor Color = clBlack;
  bool operator==(const TFont&) const = default;
};

class TCanvas {
public:
  virtual ~TCanvas() = default;

  TPen Pen;
  TBrush Brush;
  TFont Font;

  // Filled with the brush, outlined with the pen; (x2, y2) lies outside.
  virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
  // In the bounding box (x1, y1)-(x2, y2), filled and outlined like Rectangle.
  virtual void Ellipse(int x1, int y1, int x2, int y2) = 0;
  virtual void MoveTo(int x, int y) = 0;
  // From the pen position to (x, y), which is not drawn; the pen position becomes (x, y).
  virtual void LineTo(int x, int y) = 0;
  // UTF-16 text with its top left corner at (x, y), on the brush colour unless the brush
  // is clear.
  virtual void TextOut(int x, int y, const std::u16string& text) = 0;
  virtual int TextWidth(const std::u16string& text) = 0;
};

inline std::u16string AsciiText(const std::string& ascii) { return {ascii.begin(), ascii.end()}; }
