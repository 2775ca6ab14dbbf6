#pragma once

// The program's ini file: sections of "key=value" lines. Held as its lines, so that writing
// one value keeps every other section, key, comment and blank line as it was. Section and
// key names are compared without regard to case.

#include <optional>
#include <string>
#include <vector>

class TIniText {
public:
  // Lines may end in CR LF or LF. A UTF-8 byte-order mark at the start, which some editors
  // write, is not part of the first line and is kept.
  explicit TIniText(const std::string& text = {});

  std::optional<std::string> ReadString(const std::string& section, const std::string& key) const;
  // The value as a whole number; def when the key is missing, 0 when its value is not a
  // whole number.
  int ReadInteger(const std::string& section, const std::string& key, int def) const;
  // Replaces the key's first value in the section, or adds the key at the end of the
  // section, or the section at the end of the text.
  void WriteInteger(const std::string& section, const std::string& key, int value);

  // The text, with the line ending it was read with (CR LF for a new text).
  std::string Text() const;

private:
  // The line index of the section's header, and of the key's line in it; -1 when missing.
  int FindSection(const std::string& section) const;
  int FindKey(int sectionLine, const std::string& key) const;
  int SectionEnd(int sectionLine) const;

  std::vector<std::string> lines_;
  std::string bom_;
  std::string eol_ = "\r\n";
};

// The file forms: a file that is missing or cannot be read reads as empty. A write goes to
// a new file that replaces the old one, so a failed write leaves the old file; false then.
int ReadIniInteger(const std::string& path, const std::string& section, const std::string& key, int def);
bool WriteIniInteger(const std::string& path, const std::string& section, const std::string& key, int value);
