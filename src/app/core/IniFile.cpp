#include "app/core/IniFile.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>

#include "app/core/DisplayFormat.h"
#include "model/FileWrite.h"

namespace {

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
           return std::tolower(x) == std::tolower(y);
         });
}

// The section name of a "[name]" line; empty optional for any other line.
std::optional<std::string> HeaderName(const std::string& line) {
  const std::string t = Trim(line);
  if (t.size() < 2 || t.front() != '[') return std::nullopt;
  const auto close = t.find(']');
  if (close == std::string::npos) return std::nullopt;
  return Trim(t.substr(1, close - 1));
}

// The key of a "key=value" line; empty optional for any other line.
std::optional<std::string> KeyName(const std::string& line) {
  const std::string t = Trim(line);
  if (t.empty() || t[0] == ';' || t[0] == '[') return std::nullopt;
  const auto eq = t.find('=');
  if (eq == std::string::npos) return std::nullopt;
  return Trim(t.substr(0, eq));
}

}  // namespace

TIniText::TIniText(const std::string& text) {
  static constexpr std::string_view bom = "\xEF\xBB\xBF";
  std::size_t start = 0;
  if (text.compare(0, bom.size(), bom) == 0) {
    bom_ = bom;
    start = bom.size();
  }
  if (start < text.size() && text.find("\r\n", start) == std::string::npos) eol_ = "\n";
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (end == text.size()) {
      // The last line without its LF: carriage returns at its end are what is left of its
      // line end. Kept, they would come back written as CR LF, and the text would read
      // differently next time.
      while (!line.empty() && line.back() == '\r') line.pop_back();
    } else if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    lines_.push_back(line);
    start = end + 1;
  }
}

int TIniText::FindSection(const std::string& section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const auto name = HeaderName(lines_[i]);
    if (name && SameName(*name, section)) return static_cast<int>(i);
  }
  return -1;
}

int TIniText::SectionEnd(int sectionLine) const {
  int i = sectionLine + 1;
  while (i < static_cast<int>(lines_.size()) && !HeaderName(lines_[static_cast<std::size_t>(i)])) ++i;
  return i;
}

int TIniText::FindKey(int sectionLine, const std::string& key) const {
  if (sectionLine < 0) return -1;
  const int end = SectionEnd(sectionLine);
  for (int i = sectionLine + 1; i < end; ++i) {
    const auto name = KeyName(lines_[static_cast<std::size_t>(i)]);
    if (name && SameName(*name, key)) return i;
  }
  return -1;
}

std::optional<std::string> TIniText::ReadString(const std::string& section, const std::string& key) const {
  const int line = FindKey(FindSection(section), key);
  if (line < 0) return std::nullopt;
  const std::string& l = lines_[static_cast<std::size_t>(line)];
  return Trim(l.substr(l.find('=') + 1));
}

int TIniText::ReadInteger(const std::string& section, const std::string& key, int def) const {
  const auto value = ReadString(section, key);
  if (!value) return def;
  return StrToInt(*value).value_or(0);
}

void TIniText::WriteInteger(const std::string& section, const std::string& key, int value) {
  const std::string entry = key + "=" + std::to_string(value);
  int sectionLine = FindSection(section);
  if (sectionLine < 0) {
    lines_.push_back("[" + section + "]");
    lines_.push_back(entry);
    return;
  }
  const int line = FindKey(sectionLine, key);
  if (line >= 0) {
    lines_[static_cast<std::size_t>(line)] = entry;
    return;
  }
  // After the section's last non-blank line, so that a blank line before the next section stays.
  int at = SectionEnd(sectionLine);
  while (at > sectionLine + 1 && Trim(lines_[static_cast<std::size_t>(at - 1)]).empty()) --at;
  lines_.insert(lines_.begin() + at, entry);
}

std::string TIniText::Text() const {
  std::string text = bom_;
  for (const std::string& line : lines_) text += line + eol_;
  return text;
}

namespace {

// The file's text: empty when there is no file; nothing when one is there but cannot be
// read (a write must not replace what it could not keep).
std::optional<TIniText> ReadIni(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return TIniText();
  if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return TIniText(text.str());
}

}  // namespace

int ReadIniInteger(const std::string& path, const std::string& section, const std::string& key, int def) {
  const auto ini = ReadIni(path);
  return ini ? ini->ReadInteger(section, key, def) : def;
}

bool WriteIniInteger(const std::string& path, const std::string& section, const std::string& key, int value) {
  auto ini = ReadIni(path);
  if (!ini) return false;
  ini->WriteInteger(section, key, value);
  return WriteFileReplacing(path, ini->Text());
}
