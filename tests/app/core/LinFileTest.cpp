// Linearisation files: the exact bytes written, the reader against a table of texts, a
// write-then-read round trip, and the file functions on files that cannot be read or written.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "app/core/LinFile.h"
#include "support/FileRights.h"
#include "support/FolderTest.h"

namespace fs = std::filesystem;

namespace {

using K = TLinMessageKind;

std::string Join(const std::vector<std::string>& lines, const std::string& eol = "\r\n") {
  std::string text;
  for (const std::string& l : lines) text += l + eol;
  return text;
}

std::vector<TLinPoint> Ramp(int n) {
  std::vector<TLinPoint> points;
  for (int i = 0; i < n; ++i) points.push_back({static_cast<float>(i), static_cast<float>(i) * 0.5f - 3.0f});
  return points;
}

std::vector<K> Kinds(const TLinTable& t) {
  std::vector<K> kinds;
  for (const TLinMessage& m : t.Messages) kinds.push_back(m.Kind);
  return kinds;
}

// Replaces the first occurrence of what in text.
std::string Replaced(std::string text, const std::string& what, const std::string& with) {
  const auto at = text.find(what);
  EXPECT_NE(at, std::string::npos) << what;
  if (at != std::string::npos) text.replace(at, what.size(), with);
  return text;
}

// A C library locale whose decimal point is a comma, for the rest of the scope; the
// process locale is put back afterwards. When the machine has none installed, one is
// compiled from the system's locale sources into a temporary folder.
class CommaLocale {
public:
  CommaLocale() : old_(std::setlocale(LC_NUMERIC, nullptr)) {
    for (const char* name : {"fr_FR.UTF-8", "fr_FR.utf8", "de_DE.UTF-8", "de_DE.utf8"})
      if (Use(name)) return;
    built_ = fs::temp_directory_path() / ("corvin_lin_locale_" + std::to_string(getpid()));
    fs::create_directories(built_);
    const std::string make =
        "localedef -i fr_FR -f UTF-8 -c '" + (built_ / "fr_FR.UTF-8").string() + "' >/dev/null 2>&1";
    if (std::system(make.c_str()) == -1) return;
    const char* oldPath = std::getenv("LOCPATH");
    if (oldPath) oldLocPath_ = oldPath;
    hadLocPath_ = oldPath != nullptr;
    setenv("LOCPATH", built_.c_str(), 1);
    Use("fr_FR.UTF-8");
  }
  ~CommaLocale() {
    std::setlocale(LC_NUMERIC, old_.c_str());
    if (!built_.empty()) {
      if (hadLocPath_)
        setenv("LOCPATH", oldLocPath_.c_str(), 1);
      else
        unsetenv("LOCPATH");
      std::error_code ec;
      fs::remove_all(built_, ec);
    }
  }
  CommaLocale(const CommaLocale&) = delete;
  CommaLocale& operator=(const CommaLocale&) = delete;
  bool Active() const { return active_; }

private:
  bool Use(const char* name) {
    active_ = std::setlocale(LC_NUMERIC, name) != nullptr && std::localeconv()->decimal_point[0] == ',';
    return active_;
  }

  std::string old_;
  fs::path built_;
  std::string oldLocPath_;
  bool hadLocPath_ = false;
  bool active_ = false;
};

}  // namespace

TEST(LinWrite, TwoDefaultPointsGiveTheTenLinesByteForByte) {
  const std::vector<TLinPoint> points{{0.0f, 0.0f}, {100.0f, 100.0f}};
  const std::string expected =
      "; /* SEG\r\n"
      "; g\xE9n\xE9rateur de segment de lin\xE9" "arisation\r\n"
      ";\r\n"
      "Nb_Seg\t\t.equ 2\r\n"
      "TABpoint:\r\n"
      "\t\t.float\t0.00\t\t; X 0\r\n"
      "\t\t.float\t0.00\t\t; Y 0\r\n"
      "\t\t.float\t100.00\t\t; X 1\r\n"
      "\t\t.float\t100.00\t\t; Y 1\r\n"
      "END\r\n";
  EXPECT_EQ(WriteLinText(points), expected);
}

TEST(LinWrite, NumbersHaveTwoDecimalsAndAPointWhateverTheLocale) {
  const std::vector<TLinPoint> points{{-12.5f, 0.004f}, {1234.567f, -0.004f}, {-7.891f, 5.0f}};
  const std::string expected =
      "Nb_Seg\t\t.equ 3\r\nTABpoint:\r\n"
      "\t\t.float\t-12.50\t\t; X 0\r\n\t\t.float\t0.00\t\t; Y 0\r\n"
      "\t\t.float\t1234.57\t\t; X 1\r\n\t\t.float\t0.00\t\t; Y 1\r\n"
      "\t\t.float\t-7.89\t\t; X 2\r\n\t\t.float\t5.00\t\t; Y 2\r\nEND\r\n";
  const std::string head = "; /* SEG\r\n; g\xE9n\xE9rateur de segment de lin\xE9" "arisation\r\n;\r\n";
  EXPECT_EQ(WriteLinText(points), head + expected);

  CommaLocale comma;
  if (!comma.Active()) GTEST_SKIP() << "no locale with a decimal comma on this machine";
  EXPECT_EQ(WriteLinText(points), head + expected);
  const TLinTable back = ReadLinText(WriteLinText(points));
  ASSERT_EQ(back.Count(), 3);
  EXPECT_FLOAT_EQ(back.Points[0].X, -12.5f);
  EXPECT_FLOAT_EQ(back.Points[1].X, 1234.57f);
}

TEST(LinRead, TableOfTexts) {
  const std::string saved = WriteLinText(std::vector<TLinPoint>{{0, 0}, {100, 100}});
  const std::string longBlank(77, ' ');
  struct Case {
    const char* name;
    std::string text;
    std::vector<TLinPoint> points;
    std::optional<int> expected;
    std::vector<K> messages;
  };
  const std::vector<Case> cases = {
      {"saved file", saved, {{0, 0}, {100, 100}}, 2, {}},
      {"LF line ends", Replaced(saved, "\r\n", "\n"), {{0, 0}, {100, 100}}, 2, {}},
      {"CR line ends", Join({"Nb_Seg .equ 2", ".float 1", ".float 2", ".float 3", ".float 4"}, "\r"),
       {{1, 2}, {3, 4}}, 2, {}},
      {"mixed separators and blanks",
       Join({"Nb_Seg\t\t.equ 2", "\t.float\t-12.5 \t; X", " .float 1,25", ".float\t 3.", ".float ,5;"}),
       {{-12.5f, 1.25f}, {3.0f, 0.5f}}, 2, {}},
      {"two values on one line, no comments", Join({".equ 2", ".float 1;.float 2", ".float 3;.float 4"}),
       {{1, 2}, {3, 4}}, 2, {}},
      {"exponent", Join({".equ 2", ".float 1e2", ".float -2.5E-1", ".float 0", ".float 0"}),
       {{100, -0.25f}, {0, 0}}, 2, {}},
      {"an empty line ends the reading",
       Join({".equ 3", ".float 1", ".float 2", ".float 3", ".float 4", "", ".float 5", ".float 6"}),
       {{1, 2}, {3, 4}}, 3, {K::BadSegmentNumber}},
      {"an X without its Y is dropped", Join({".equ 2", ".float 1", ".float 2", ".float 3", ".float 4", ".float 5"}),
       {{1, 2}, {3, 4}}, 2, {}},
      {"count line gives 5, file holds 4",
       Join({".equ 5", ".float 1", ".float 2", ".float 3", ".float 4", ".float 5", ".float 6", ".float 7", ".float 8"}),
       {{1, 2}, {3, 4}, {5, 6}, {7, 8}}, 5, {K::BadSegmentNumber}},
      {"no count line", Join({".float 1", ".float 2", ".float 3", ".float 4"}), {{1, 2}, {3, 4}}, std::nullopt,
       {K::BadSegmentNumber}},
      {"the last count line counts", Join({".equ 7", ".float 1", ".float 2", ".equ 2", ".float 3", ".float 4"}),
       {{1, 2}, {3, 4}}, 2, {}},
      {"count with a comment right after", Join({".equ 2;points", ".float 1", ".float 2", ".float 3", ".float 4"}),
       {{1, 2}, {3, 4}}, 2, {}},
      {"lines without a keyword are ignored",
       Join({"; version 1.0 .", "; .Float 9", "TABpoint:", ".equ 2", ".float 1", ".float 2", ".float 3", ".float 4",
             "END .floa", "x ."}),
       {{1, 2}, {3, 4}}, 2, {}},
      {"a single point", Join({".equ 1", ".float 1", ".float 2"}), {{1, 2}}, 1, {K::BadSegmentNumber}},
      {"empty text", "", {}, std::nullopt, {K::BadSegmentNumber}},
      {"no value at all", Join({"; /* SEG", "TABpoint:", "END"}), {}, std::nullopt, {K::BadSegmentNumber}},
      {"80 characters of value text",
       Join({".equ 2", ".float" + longBlank + "1.5", ".float 2", ".float 3", ".float 4"}),
       {{1.5f, 2}, {3, 4}}, 2, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TLinTable t = ReadLinText(c.text);
    EXPECT_FALSE(t.ConversionFailed);
    EXPECT_EQ(t.Points, c.points);
    EXPECT_EQ(t.Expected, c.expected);
    EXPECT_EQ(Kinds(t), c.messages);
    EXPECT_EQ(t.Usable(), c.points.size() >= 2);
  }
}

TEST(LinRead, AValueThatDoesNotConvertStopsTheRead) {
  const std::string longBlank(78, ' ');
  struct Case {
    const char* name;
    std::string text;
    TLinMessage message;
  };
  const std::vector<Case> cases = {
      {"not a number", Join({".equ 2", ".float 1", ".float abc", ".float 3", ".float 4"}), {K::BadFloat, "abc"}},
      {"empty value", Join({".equ 2", ".float 1", ".float", ".float 3", ".float 4"}), {K::BadFloat, ""}},
      {"two separators", Join({".equ 2", ".float 1.234,5", ".float 2", ".float 3", ".float 4"}),
       {K::BadFloat, "1,234,5"}},
      {"beyond a single", Join({".equ 2", ".float 1e39", ".float 2", ".float 3", ".float 4"}), {K::BadFloat, "1e39"}},
      {"81 characters of value text", Join({".equ 2", ".float" + longBlank + "1.5", ".float 2"}),
       {K::BadFloat, "1,"}},  // the first 80 characters, as the converter takes them
      {"blanks after the count", Join({"Nb_Seg\t\t.equ 2  ", ".float 1", ".float 2", ".float 3", ".float 4"}),
       {K::BadInteger, "2"}},
      {"comment after blanks", Join({"Nb_Seg\t\t.equ 2 ; count", ".float 1", ".float 2"}), {K::BadInteger, "2"}},
      {"count not a number", Join({".equ two", ".float 1", ".float 2"}), {K::BadInteger, "two"}},
      {"damaged bytes", std::string("\x01\xFF.float\x00\x7F;", 11) + "\r\n.float 2\r\n",
       {K::BadFloat, std::string("\x00\x7F", 2)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TLinTable t = ReadLinText(c.text);
    EXPECT_TRUE(t.ConversionFailed);
    EXPECT_FALSE(t.Usable());
    ASSERT_EQ(t.Messages.size(), 1u);  // no count warning after the error
    EXPECT_EQ(t.Messages[0], c.message);
  }
}

TEST(LinRead, FullTableAndOneTooMany) {
  const std::vector<TLinPoint> full = Ramp(361);
  const std::vector<TLinPoint> over = Ramp(362);
  const std::vector<TLinPoint> first360(full.begin(), full.begin() + 360);

  // 361 points with their own count: all of them, no message.
  TLinTable t = ReadLinText(WriteLinText(full));
  EXPECT_EQ(t.Points, full);
  EXPECT_TRUE(Kinds(t).empty());

  // 361 points whose count line says otherwise: all of them and the warning.
  t = ReadLinText(Replaced(WriteLinText(full), ".equ 361", ".equ 360"));
  EXPECT_EQ(t.Points, full);
  EXPECT_EQ(Kinds(t), std::vector<K>{K::BadSegmentNumber});

  // 362 points with their own count: the first 360, both messages in that order.
  t = ReadLinText(WriteLinText(over));
  EXPECT_EQ(t.Points, first360);
  EXPECT_EQ(t.Expected, 362);
  EXPECT_EQ(Kinds(t), (std::vector<K>{K::TooManySegments, K::BadSegmentNumber}));
  EXPECT_TRUE(t.Usable());

  // 362 points counted as 360: the first 360 and only the first message.
  t = ReadLinText(Replaced(WriteLinText(over), ".equ 362", ".equ 360"));
  EXPECT_EQ(t.Points, first360);
  EXPECT_EQ(Kinds(t), std::vector<K>{K::TooManySegments});

  // Nothing after the value that overflowed is read, not even a bad one.
  t = ReadLinText(Replaced(WriteLinText(over), "END", ".float junk"));
  EXPECT_FALSE(t.ConversionFailed);
  EXPECT_EQ(t.Points, first360);
}

TEST(LinRead, WriteThenReadGivesThePointsToTwoDecimals) {
  const std::vector<TLinPoint> points{{-25.0f, -12.345f}, {0.004f, 1.234f}, {33.333f, 66.666f}, {109.999f, -0.006f}};
  const std::vector<TLinPoint> expected{{-25.0f, -12.35f}, {0.0f, 1.23f}, {33.33f, 66.67f}, {110.0f, -0.01f}};
  const TLinTable t = ReadLinText(WriteLinText(points));
  EXPECT_TRUE(t.Messages.empty());
  EXPECT_EQ(t.Points, expected);
}

TEST(LinRead, MessagesInBothEditions) {
  EXPECT_EQ(LinMessageText(TLangue::Anglais, {K::TooManySegments, {}}), "Too many segments");
  EXPECT_EQ(LinMessageText(TLangue::Anglais, {K::BadSegmentNumber, {}}), "Warning : Bad segment number");
  EXPECT_EQ(LinMessageText(TLangue::Francais, {K::TooManySegments, {}}), "Trop de segments");
  EXPECT_EQ(LinMessageText(TLangue::Francais, {K::BadSegmentNumber, {}}), "Attention : nombre de segments incorrect");
  EXPECT_EQ(LinMessageText(TLangue::Anglais, {K::BadFloat, "1,2,3"}), "'1,2,3' is not a valid floating point value");
  EXPECT_EQ(LinMessageText(TLangue::Francais, {K::BadInteger, "2  "}),
            "'2  ' n'est pas une valeur enti\xE8re correcte");
}

// ---------------------------------------------------------------------------------------
// The file functions

namespace {

class LinFiles : public FolderTest {};

}  // namespace

TEST_F(LinFiles, SaveThenLoad) {
  const std::vector<TLinPoint> points = Ramp(5);
  ASSERT_TRUE(SaveLinFile(PathOf("A.LIN"), points));
  EXPECT_EQ(ReadAll(PathOf("A.LIN")), WriteLinText(points));
  EXPECT_EQ(Names(), "A.LIN;");  // no temporary file left

  // Saving again replaces the file whole.
  ASSERT_TRUE(SaveLinFile(PathOf("A.LIN"), Ramp(2)));
  EXPECT_EQ(ReadAll(PathOf("A.LIN")), WriteLinText(Ramp(2)));

  const TLinFileRead r = ReadLinFile(PathOf("A.LIN"));
  EXPECT_EQ(r.Status, TLinFileStatus::Read);
  EXPECT_EQ(r.Table.Points, Ramp(2));
}

TEST_F(LinFiles, FilesThatCannotBeRead) {
  EXPECT_EQ(ReadLinFile(PathOf("MISSING.LIN")).Status, TLinFileStatus::CannotOpen);
  EXPECT_EQ(ReadLinFile(dir.string()).Status, TLinFileStatus::CannotOpen);
  EXPECT_EQ(ReadLinFile("").Status, TLinFileStatus::CannotOpen);
  ASSERT_EQ(mkfifo(PathOf("PIPE.LIN").c_str(), 0600), 0);
  EXPECT_EQ(ReadLinFile(PathOf("PIPE.LIN")).Status, TLinFileStatus::CannotOpen);  // and does not block

  // A file without read rights, read by a user whom the rights bind.
  WriteAll(PathOf("SECRET.LIN"), WriteLinText(Ramp(2)));
  fs::permissions(PathOf("SECRET.LIN"), fs::perms::owner_write);
  EXPECT_TRUE(AsUnprivileged([&] { return ReadLinFile(PathOf("SECRET.LIN")).Status == TLinFileStatus::CannotOpen; }));
}

TEST_F(LinFiles, SavesThatFailLeaveWhatWasThere) {
  // The target is a folder: nothing replaces it and no temporary file stays.
  fs::create_directory(PathOf("FOLDER.LIN"));
  EXPECT_FALSE(SaveLinFile(PathOf("FOLDER.LIN"), Ramp(2)));
  EXPECT_TRUE(fs::is_directory(PathOf("FOLDER.LIN")));
  EXPECT_EQ(Names(), "FOLDER.LIN;");

  // No such folder, a regular file as the folder, no file name.
  EXPECT_FALSE(SaveLinFile(PathOf("NO_DIR/A.LIN"), Ramp(2)));
  WriteAll(PathOf("PLAIN"), "x");
  EXPECT_FALSE(SaveLinFile(PathOf("PLAIN") + "/A.LIN", Ramp(2)));
  EXPECT_FALSE(SaveLinFile(dir.string() + "/", Ramp(2)));

  // A folder that cannot be written: the old file stays as it was.
  WriteAll(PathOf("OLD.LIN"), "old");
  fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read | fs::perms::group_exec |
                           fs::perms::others_read | fs::perms::others_exec);
  EXPECT_TRUE(AsUnprivileged([&] { return !SaveLinFile(PathOf("OLD.LIN"), Ramp(2)); }));
  EXPECT_EQ(ReadAll(PathOf("OLD.LIN")), "old");
  EXPECT_EQ(Names().find(".tmp"), std::string::npos);
}

// A file too large to be a curve is not read at all: a huge file chosen by mistake neither
// stalls the program nor takes its memory. Up to the limit it reads as any other.
TEST_F(LinFiles, AFileTooLargeToBeACurveIsNotRead) {
  std::string text = WriteLinText(Ramp(3));
  text += "\r\n";  // the empty line ends the curve; what follows is never looked at
  text.resize(LinMaxFileBytes, 'x');
  WriteAll(PathOf("BIG.LIN"), text);
  const TLinFileRead atLimit = ReadLinFile(PathOf("BIG.LIN"));
  EXPECT_EQ(atLimit.Status, TLinFileStatus::Read);
  EXPECT_EQ(atLimit.Table.Points, Ramp(3));

  WriteAll(PathOf("BIG.LIN"), text + "x");
  const TLinFileRead over = ReadLinFile(PathOf("BIG.LIN"));
  EXPECT_EQ(over.Status, TLinFileStatus::TooLarge);
  EXPECT_TRUE(over.Table.Points.empty());

  EXPECT_EQ(LinFileStatusText(TLangue::Anglais, TLinFileStatus::TooLarge),
            "The file is too large to be a linearization file.");
  EXPECT_EQ(LinFileStatusText(TLangue::Francais, TLinFileStatus::TooLarge),
            "Le fichier est trop volumineux pour \xEAtre un fichier de lin\xE9" "arisation.");
  EXPECT_EQ(LinFileStatusText(TLangue::Anglais, TLinFileStatus::CannotOpen), "The linearization file cannot be opened.");
  EXPECT_EQ(LinFileStatusText(TLangue::Francais, TLinFileStatus::CannotOpen),
            "Impossible d'ouvrir le fichier de lin\xE9" "arisation.");
}
