#pragma once

// A canvas that keeps what was drawn on it, for tests of the controls' pictures.

#include <string>
#include <vector>

#include "controls/Canvas.h"

struct TCanvasOp {
  enum Kind { Rectangle, Ellipse, Line, Text } kind;
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  std::u16string text;
  TPen pen;
  TBrush brush;
  TFont font;
};

class TCanvasRecorder : public TCanvas {
public:
  std::vector<TCanvasOp> Ops;

  void Rectangle(int x1, int y1, int x2, int y2) override { Add(TCanvasOp::Rectangle, x1, y1, x2, y2); }
  void Ellipse(int x1, int y1, int x2, int y2) override { Add(TCanvasOp::Ellipse, x1, y1, x2, y2); }
  void MoveTo(int x, int y) override {
    x_ = x;
    y_ = y;
  }
  void LineTo(int x, int y) override {
    Add(TCanvasOp::Line, x_, y_, x, y);
    x_ = x;
    y_ = y;
  }
  void TextOut(int x, int y, const std::u16string& text) override {
    Add(TCanvasOp::Text, x, y, x, y);
    Ops.back().text = text;
  }
  // Six pixels a character, so centred texts have known places.
  int TextWidth(const std::u16string& text) override { return 6 * static_cast<int>(text.size()); }

  std::vector<TCanvasOp> OfKind(TCanvasOp::Kind kind) const {
    std::vector<TCanvasOp> out;
    for (const TCanvasOp& op : Ops)
      if (op.kind == kind) out.push_back(op);
    return out;
  }

private:
  void Add(TCanvasOp::Kind kind, int x1, int y1, int x2, int y2) {
    Ops.push_back(TCanvasOp{kind, x1, y1, x2, y2, {}, Pen, Brush, Font});
  }
  int x_ = 0, y_ = 0;
};

inline std::u16string U16(const char* ascii) {
  std::u16string s;
  for (const char* p = ascii; *p; ++p) s.push_back(static_cast<unsigned char>(*p));
  return s;
}
