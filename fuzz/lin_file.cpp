// The *.LIN reader on any text, and curves written and read back. A read gives at most 361
// points and says why it refuses a table; a usable table written out reads back as the
// same points; a written curve reads back equal to its values at two decimals, and writing
// what was read gives the same text again.

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "app/core/LinFile.h"

namespace {

// Within half of the last written decimal, and the single's own step beyond it.
bool CloseTo(float read, float written) {
  const float step = std::fabs(std::nextafter(written, 0.0f) - written);
  return std::fabs(static_cast<double>(read) - written) <= 0.005 + step;
}

// Written, read back: every point there, within two decimals; written again, the same text.
void RoundTrip(const std::vector<TLinPoint>& points) {
  const std::string text = WriteLinText(points);
  const TLinTable back = ReadLinText(text);
  FUZZ_CHECK(back.Usable());
  FUZZ_CHECK(back.Messages.empty());
  FUZZ_CHECK(back.Expected && *back.Expected == static_cast<int>(points.size()));
  FUZZ_CHECK(back.Points.size() == points.size());
  for (std::size_t i = 0; i < points.size(); ++i) {
    FUZZ_CHECK(CloseTo(back.Points[i].X, points[i].X));
    FUZZ_CHECK(CloseTo(back.Points[i].Y, points[i].Y));
  }
  FUZZ_CHECK(WriteLinText(back.Points) == text);
}

void CheckTable(const TLinTable& t) {
  FUZZ_CHECK(t.Count() <= LinMaxPoints);
  for (const TLinPoint& p : t.Points) FUZZ_CHECK(std::isfinite(p.X) && std::isfinite(p.Y));
  FUZZ_CHECK(t.Usable() == (!t.ConversionFailed && t.Count() >= 2));
  int refusals = 0, tooMany = 0;
  for (const TLinMessage& m : t.Messages) {
    refusals += m.Kind == TLinMessageKind::BadFloat || m.Kind == TLinMessageKind::BadInteger;
    tooMany += m.Kind == TLinMessageKind::TooManySegments;
    FUZZ_CHECK(m.Value.size() <= LinMaxValueText);
    FUZZ_CHECK(!LinMessageText(TLangue::Anglais, m).empty() && !LinMessageText(TLangue::Francais, m).empty());
  }
  // A refused value ends the read with its message; too many points keep 360.
  FUZZ_CHECK(refusals == (t.ConversionFailed ? 1 : 0));
  if (t.ConversionFailed) {
    const TLinMessageKind k = t.Messages.back().Kind;
    FUZZ_CHECK(k == TLinMessageKind::BadFloat || k == TLinMessageKind::BadInteger);
  }
  FUZZ_CHECK(tooMany <= 1);
  if (tooMany) FUZZ_CHECK(t.Count() == LinMaxPoints - 1);
  if (!t.ConversionFailed) {
    const bool countOk = t.Expected && *t.Expected == t.Count() && t.Count() >= 2;
    const bool warned = std::any_of(t.Messages.begin(), t.Messages.end(),
                                    [](const TLinMessage& m) { return m.Kind == TLinMessageKind::BadSegmentNumber; });
    FUZZ_CHECK(warned == !countOk);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  const int mode = in.Byte() % 8;
  if (mode < 6) {
    // Any text.
    const std::string text = in.Text(in.Left());
    const TLinTable table = ReadLinText(text);
    CheckTable(table);
    // Its first points, as a curve of their own (all of them would cost more than the read).
    if (table.Usable())
      RoundTrip(std::vector<TLinPoint>(table.Points.begin(), table.Points.begin() + std::min(table.Count(), 16)));
    return 0;
  }
  // A curve of 2 to 361 points, as many as the input gives values for; mostly short ones,
  // which cost less.
  const auto asked = static_cast<std::size_t>(in.Range(2, mode == 6 ? 24 : LinMaxPoints));
  std::vector<TLinPoint> points(std::min(asked, 2 + in.Left() / 6));
  for (TLinPoint& p : points) {
    p.X = in.Float();
    p.Y = in.Float();
  }
  RoundTrip(points);
  return 0;
}
