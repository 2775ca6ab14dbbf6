#include "app/core/LinFile.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "app/core/DisplayFormat.h"
#include "model/FileWrite.h"

namespace {

constexpr const char* CrLf = "\r\n";

// The file's numbers: "##0.00" with '.' whatever the program's own settings.
std::string FileNumber(float value) {
  TFormatSettings fs;
  fs.DecimalSeparator = '.';
  return FormatFloat("##0.00", value, fs);
}

}  // namespace

std::string WriteLinText(std::span<const TLinPoint> points) {
  std::string text;
  text += "; /* SEG";
  text += CrLf;
  text += "; g\xE9n\xE9rateur de segment de lin\xE9" "arisation";
  text += CrLf;
  text += ";";
  text += CrLf;
  text += "Nb_Seg\t\t.equ " + std::to_string(points.size());
  text += CrLf;
  text += "TABpoint:";
  text += CrLf;
  for (std::size_t n = 0; n < points.size(); ++n) {
    text += "\t\t.float\t" + FileNumber(points[n].X) + "\t\t; X " + std::to_string(n);
    text += CrLf;
    text += "\t\t.float\t" + FileNumber(points[n].Y) + "\t\t; Y " + std::to_string(n);
    text += CrLf;
  }
  text += "END";
  text += CrLf;
  return text;
}

std::string LinMessageText(TLangue langue, const TLinMessage& message) {
  switch (message.Kind) {
    case TLinMessageKind::TooManySegments:
      return Texte(langue, "Too many segments", "Trop de segments");
    case TLinMessageKind::BadSegmentNumber:
      return Texte(langue, "Warning : Bad segment number", "Attention : nombre de segments incorrect");
    case TLinMessageKind::BadFloat:
      return FloatConversionErrorText(langue, message.Value);
    case TLinMessageKind::BadInteger:
      return IntConversionErrorText(langue, message.Value);
  }
  return {};
}

namespace {

// The value text after a keyword: up to a ';' or the end of the line, tabs as blanks.
struct TValueText {
  std::string Text;     // cut to the longest a value text may be
  bool TooLong = false;
  std::size_t End = 0;  // where it ends in the line
};

TValueText ValueTextAt(std::string_view line, std::size_t from) {
  TValueText v;
  v.End = std::min(line.find(';', from), line.size());
  v.Text = line.substr(from, v.End - from);
  for (char& c : v.Text)
    if (c == '\t') c = ' ';
  v.TooLong = v.Text.size() > LinMaxValueText;
  if (v.TooLong) v.Text.resize(LinMaxValueText);
  return v;
}

std::string TrimBlanks(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A ".float" value, its '.' already made ','. Blanks around it are allowed, and it must fit
// a single.
std::optional<float> FloatValue(const std::string& text) {
  TFormatSettings fs;
  fs.DecimalSeparator = ',';
  const std::optional<double> v = StrToFloat(text, fs);
  if (!v || std::fabs(*v) > static_cast<double>(FLT_MAX)) return std::nullopt;
  return static_cast<float>(*v);
}

// A ".equ" count: leading blanks, an optional sign and decimal digits, nothing after them.
std::optional<int> CountValue(const std::string& text) {
  const std::size_t i = text.find_first_not_of(' ');
  if (i == std::string::npos) return std::nullopt;
  const char* begin = text.data() + i;
  const char* last = text.data() + text.size();
  // One sign at most: after a '+' only digits may follow.
  if (*begin == '+') {
    ++begin;
    if (begin == last || *begin < '0' || *begin > '9') return std::nullopt;
  }
  int v = 0;
  const auto [end, ec] = std::from_chars(begin, last, v);
  if (ec != std::errc() || end != last) return std::nullopt;
  return v;
}

// The next line of the text from pos, without its end (CR LF, LF or CR); false at the end.
bool NextLine(std::string_view text, std::size_t& pos, std::string_view& line) {
  if (pos >= text.size()) return false;
  const std::size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
  line = text.substr(pos, end - pos);
  pos = end + 1;
  if (end < text.size() && text[end] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
  return true;
}

bool Follows(std::string_view line, std::size_t at, std::string_view word) {
  return line.substr(at, word.size()) == word;
}

// A value that does not convert ends the read; the table is then not to be used.
TLinTable Refused(TLinTable table, TLinMessageKind kind, const std::string& text) {
  table.Messages.push_back({kind, TrimBlanks(text)});
  table.ConversionFailed = true;
  return table;
}

}  // namespace

TLinTable ReadLinText(std::string_view text) {
  TLinTable table;
  std::array<TLinPoint, LinMaxPoints> points{};
  int q = 0;          // points complete
  bool halfX = true;  // the next value is an X
  bool reading = true;
  std::size_t pos = 0;
  std::string_view line;

  while (reading && NextLine(text, pos, line) && !line.empty()) {
    // The last character is not looked at: a '.' there has nothing after it.
    for (std::size_t i = 0; reading && i + 1 < line.size(); ++i) {
      if (line[i] != '.') continue;
      if (Follows(line, i + 1, "float")) {
        TValueText v = ValueTextAt(line, i + 6);
        for (char& c : v.Text)
          if (c == '.') c = ',';
        const std::optional<float> value = v.TooLong ? std::nullopt : FloatValue(v.Text);
        if (!value) return Refused(std::move(table), TLinMessageKind::BadFloat, v.Text);
        if (q > LinMaxPoints - 1) {
          // 361 points are complete: the table keeps 360 and the reading ends here.
          table.Messages.push_back({TLinMessageKind::TooManySegments, {}});
          q = LinMaxPoints - 1;
          reading = false;
        }
        TLinPoint& p = points[static_cast<std::size_t>(q)];
        if (halfX) {
          p.X = *value;
        } else {
          p.Y = *value;
          ++q;
        }
        halfX = !halfX;
        i = v.End - 1;  // on past the value text
      } else if (Follows(line, i + 1, "equ")) {
        const TValueText v = ValueTextAt(line, i + 4);
        const std::optional<int> count = v.TooLong ? std::nullopt : CountValue(v.Text);
        if (!count) return Refused(std::move(table), TLinMessageKind::BadInteger, v.Text);
        table.Expected = *count;
        i = v.End - 1;
      }
    }
  }

  table.Points.assign(points.begin(), points.begin() + q);
  if (!table.Expected || *table.Expected != q || q < 2)
    table.Messages.push_back({TLinMessageKind::BadSegmentNumber, {}});
  return table;
}

TLinFileRead ReadLinFile(const std::string& path) {
  TLinFileRead result;
  // Only a regular file is read: a directory is no curve, and a pipe could block the program.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return result;
  std::ifstream in(path, std::ios::binary);
  if (!in) return result;
  // Read up to one byte past the limit, whatever size the file claims (it may grow meanwhile).
  std::string bytes(LinMaxFileBytes + 1, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (in.bad()) return result;
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  if (bytes.size() > LinMaxFileBytes) {
    result.Status = TLinFileStatus::TooLarge;
    return result;
  }
  result.Status = TLinFileStatus::Read;
  result.Table = ReadLinText(bytes);
  return result;
}

std::string LinFileStatusText(TLangue langue, TLinFileStatus status) {
  switch (status) {
    case TLinFileStatus::Read: break;
    case TLinFileStatus::CannotOpen:
      return Texte(langue, "The linearization file cannot be opened.", "Impossible d'ouvrir le fichier de lin\xE9" "arisation.");
    case TLinFileStatus::TooLarge:
      return Texte(langue, "The file is too large to be a linearization file.",
                   "Le fichier est trop volumineux pour \xEA" "tre un fichier de lin\xE9" "arisation.");
  }
  return {};
}

bool SaveLinFile(const std::string& path, std::span<const TLinPoint> points) {
  return WriteFileReplacing(path, WriteLinText(points));
}
