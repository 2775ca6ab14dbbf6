// The ini text on any bytes, then writes of whole numbers under section and key names of
// the program's kind (letters, digits, '_', any case). Every value written reads back, the
// other lines stay as they were, and the text reads back as itself.

#include <algorithm>
#include <cctype>
#include <iterator>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "app/core/IniFile.h"

namespace {

// A name from a few the program uses, their other cases, or letters from the input.
std::string Name(fuzz::Input& in) {
  static const char* const known[] = {"PORT", "port", "Port", "Config", "CONFIG", "Langue", "x", "_1"};
  const std::uint8_t pick = in.Byte();
  if (pick < 200) return known[pick % std::size(known)];
  static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_";
  std::string name;
  const int len = static_cast<int>(in.Range(1, 12));
  for (int i = 0; i < len; ++i) name += alphabet[in.Byte() % (sizeof alphabet - 1)];
  return name;
}

// The lines after the byte-order mark, which the text keeps in front of them.
std::vector<std::string> Lines(const std::string& text, const std::string& eol) {
  std::vector<std::string> lines;
  std::size_t start = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
  while (start < text.size()) {
    const std::size_t end = text.find(eol, start);
    FUZZ_CHECK(end != std::string::npos);  // every line ends with the line end
    lines.push_back(text.substr(start, end - start));
    start = end + eol.size();
  }
  return lines;
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  const std::size_t textLength = in.U16();
  const std::string original = in.Text(textLength);
  const std::size_t body = original.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
  const std::string eol = original.size() <= body || original.find("\r\n", body) != std::string::npos ? "\r\n" : "\n";

  TIniText ini(original);
  std::string text = ini.Text();
  FUZZ_CHECK(TIniText(text).Text() == text);
  std::vector<std::string> lines = Lines(text, eol);

  struct TWritten {
    std::string Section, Key;
    int Value;
  };
  std::vector<TWritten> written;
  for (int n = 0; n < 4 && !in.Empty(); ++n) {
    const std::string section = Name(in);
    const std::string key = Name(in);
    const int value = static_cast<int>(in.U32());
    ini.WriteInteger(section, key, value);
    written.push_back({section, key, value});
    FUZZ_CHECK(ini.ReadInteger(section, key, value == 7 ? 8 : 7) == value);

    // One line changed, or one added, or a section and its line added at the end.
    const std::string next = ini.Text();
    const std::vector<std::string> after = Lines(next, eol);
    const std::string entry = key + "=" + std::to_string(value);
    if (after.size() == lines.size()) {
      int changed = 0;
      for (std::size_t i = 0; i < lines.size(); ++i)
        if (after[i] != lines[i]) {
          ++changed;
          FUZZ_CHECK(after[i] == entry);
        }
      FUZZ_CHECK(changed <= 1);
    } else if (after.size() == lines.size() + 1) {
      const auto at = std::find(after.begin(), after.end(), entry);
      FUZZ_CHECK(at != after.end());
      std::vector<std::string> without = after;
      bool found = false;
      for (std::size_t i = 0; i < after.size() && !found; ++i) {
        if (after[i] != entry) continue;
        without = after;
        without.erase(without.begin() + static_cast<std::ptrdiff_t>(i));
        found = without == lines;
      }
      FUZZ_CHECK(found);
    } else {
      FUZZ_CHECK(after.size() == lines.size() + 2);
      FUZZ_CHECK(std::equal(lines.begin(), lines.end(), after.begin()));
      FUZZ_CHECK(after[lines.size()] == "[" + section + "]" && after[lines.size() + 1] == entry);
    }
    lines = after;
  }
  // The last value written under each name is the one read.
  for (std::size_t i = 0; i < written.size(); ++i) {
    bool later = false;
    for (std::size_t j = i + 1; j < written.size(); ++j)
      later = later || (SameIgnoringCase(written[j].Section, written[i].Section) &&
                        SameIgnoringCase(written[j].Key, written[i].Key));
    if (!later) FUZZ_CHECK(ini.ReadInteger(written[i].Section, written[i].Key, 0) == written[i].Value);
  }
  // Read back from its own text, which it gives again.
  const TIniText again(ini.Text());
  FUZZ_CHECK(again.Text() == ini.Text());
  for (const TWritten& w : written)
    FUZZ_CHECK(again.ReadInteger(w.Section, w.Key, 0) == ini.ReadInteger(w.Section, w.Key, 0));
  return 0;
}
