// Transmitter files: the bytes a save writes, which files a load accepts, and the dialog
// steps in both editions.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "AnswerBytes.h"
#include "model/Xmt.h"

namespace fs = std::filesystem;

namespace {

const std::string MagicText = "\x14[XMT] File V1.0-KVRM";

class Files : public ::testing::Test {
protected:
  Files() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = fs::temp_directory_path() / (std::string("corvin_xmt_") + info->test_suite_name() + "_" + info->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  ~Files() override { fs::remove_all(dir); }

  std::string PathOf(const std::string& name) const { return (dir / name).string(); }

  static std::vector<Byte> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static void WriteAll(const std::string& path, const std::vector<Byte>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  // An 848-byte record with the magic and a recognisable pattern after it.
  static std::vector<Byte> GoodFile(std::size_t size = 848) {
    std::vector<Byte> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<Byte>(i * 7 + 3);
    std::copy(MagicText.begin(), MagicText.end(), bytes.begin());
    bytes[32] = 8;  // string lengths that fit their fields
    bytes[43] = 16;
    bytes[64] = 10;
    bytes[75] = 32;
    return bytes;
  }
  std::string Names() const {
    std::string names;
    for (const auto& e : fs::directory_iterator(dir)) names += e.path().filename().string() + ";";
    return names;
  }

  fs::path dir;
};

std::vector<Byte> Slice(const std::vector<Byte>& v, std::size_t off, std::size_t n) {
  return {v.begin() + static_cast<std::ptrdiff_t>(off), v.begin() + static_cast<std::ptrdiff_t>(off + n)};
}
std::vector<Byte> Le32(std::uint32_t u) {
  return {static_cast<Byte>(u), static_cast<Byte>(u >> 8), static_cast<Byte>(u >> 16), static_cast<Byte>(u >> 24)};
}
std::vector<Byte> LeSingle(float f) { return Le32(std::bit_cast<std::uint32_t>(f)); }
std::vector<Byte> Short(const std::string& s) {
  std::vector<Byte> v(s.begin(), s.end());
  v.insert(v.begin(), static_cast<Byte>(s.size()));
  return v;
}

}  // namespace

TEST_F(Files, FreshModelSavesMagicAndZeros) {
  TXmt x;
  ASSERT_TRUE(x.SaveToFile(PathOf("EMPTY.XMT")));
  const auto bytes = ReadAll(PathOf("EMPTY.XMT"));
  ASSERT_EQ(bytes.size(), 848u);
  EXPECT_EQ(Slice(bytes, 0, 21), std::vector<Byte>(MagicText.begin(), MagicText.end()));
  // No answer came: every field, every point included, is 0.
  EXPECT_EQ(Slice(bytes, 21, 827), std::vector<Byte>(827, 0));
  EXPECT_EQ(Names(), "EMPTY.XMT;");  // no temporary file left behind
}

TEST_F(Files, RecordOffsetsInTheSavedFile) {
  TXmt x;
  x.DecodeIdentity(AnswerBytes{254, 250, 0x16, 5, 5, 3, 9, 0x2B, 0, 0xA1, 0xB2, 0xC3, 0, 0, 0, 1}, 18);
  x.SetPollAddress(6);  // the answer of command 6
  x.DecodeCmd13(AnswerBytes{}.Packed("TAG1", 2).Packed("DESCRIPTOR", 4).Add({5, 7, 123}));
  x.DecodeCmd12(AnswerBytes{}.Packed("MSG", 8));
  x.DecodeCmd15(AnswerBytes{0, 253, 33}.Single(150.0f).Single(-50.0f).Single(2.5f).Add({1}));
  x.DecodeCmd16(AnswerBytes{0x01, 0x02, 0x03});
  x.DecodeCmd14(AnswerBytes{0x04, 0x05, 0x06, 32}.Single(850.0f).Single(-200.0f).Single(10.0f));
  x.DecodeCmd136(AnswerBytes{0x5A});
  x.DecodeCmd194(AnswerBytes{0x1E, 0xAE});  // overrides write protect with 0
  x.DecodeCmd204(AnswerBytes{9});
  x.DecodeCmd202(AnswerBytes{1}.Single(1.5f).Single(2.5f));
  x.DecodeCmd202(AnswerBytes{47}.Single(-3.5f).Single(4.5f));
  x.DecodeCmd208(AnswerBytes{35}.Single(400.0f).Single(-10.0f));
  x.DecodeCmd211(AnswerBytes{1, 0x92, 0xFF, 0x38, 0x00, 0x0A, 0x05, 0x01});
  x.DecodeCmd211(AnswerBytes{2, 0x01, 0x00, 0x64, 0x00, 0x02, 0x03, 0x00});
  x.DecodeCmd213(AnswerBytes{0x0B, 0x02});
  x.DecodeCmd143(AnswerBytes{1}.Single(20.0f).Single(4.0f));
  ASSERT_TRUE(x.SaveToFile(PathOf("FULL.XMT")));
  const auto b = ReadAll(PathOf("FULL.XMT"));
  ASSERT_EQ(b.size(), 848u);

  struct Field {
    std::size_t off;
    std::vector<Byte> bytes;
  };
  const Field fields[] = {
      {0, std::vector<Byte>(MagicText.begin(), MagicText.end())},
      {21, {250, 0x16, 0xA1, 0xB2, 0xC3, 0, 6}},
      {28, Le32(0xA1B2C3)},
      {32, Short("TAG1    ")},
      {43, Short("DESCRIPTOR      ")},
      {64, Short("05/07/2023")},
      {75, Short("MSG" + std::string(29, ' '))},
      {116, Le32(4)},  // unit row of degrees Fahrenheit
      {120, LeSingle(150.0f)},
      {124, LeSingle(-50.0f)},
      {128, LeSingle(2.5f)},
      {132, Le32(0x010203)},
      {136, Le32(0x040506)},
      {140, {0x5A, 253, 0, 1, 1, 1, 0, 0}},
      {148, Le32(9)},
      {152, std::vector<Byte>(8, 0)},  // point 0 is never read back
      {160, LeSingle(1.5f)},
      {164, LeSingle(2.5f)},
      {152 + 8 * 47, LeSingle(-3.5f)},
      {156 + 8 * 47, LeSingle(4.5f)},
      {536, {6, 0, 0, 0}},  // unit row of Kelvin (code 35)
      {540, LeSingle(400.0f)},
      {544, LeSingle(-10.0f)},
      {548, {1, 0, 0, 1, 2, 0, 0x38, 0xFF, 0x0A, 0x00, 5, 1}},
      {560, {0, 0, 0, 0, 1, 0, 0x64, 0x00, 0x02, 0x00, 3, 0}},
      {572, {3, 2, 0, 0}},
      {576, LeSingle(20.0f)},
      {580, LeSingle(4.0f)},
      {584, std::vector<Byte>(8, 0)},
      {592, {1}},
      {593, std::vector<Byte>(255, 0)},
  };
  for (const Field& f : fields) EXPECT_EQ(Slice(b, f.off, f.bytes.size()), f.bytes) << "offset " << f.off;
  // Points 2..46 were never answered.
  EXPECT_EQ(Slice(b, 168, 8 * 45), std::vector<Byte>(8 * 45, 0));
}

TEST_F(Files, SaveAndLoadGiveBackTheRecord) {
  TXmt x;
  x.DecodeCmd13(AnswerBytes{}.Packed("ROUND", 2).Packed("TRIP", 4).Add({1, 2, 99}));
  x.DecodeCmd208(AnswerBytes{32}.Single(123.25f).Single(-1.0f));
  int loaded = 0;
  x.OnLoadedFormDisk = [&](TObject* s) {
    ++loaded;
    EXPECT_EQ(s, &x);
  };
  ASSERT_TRUE(x.SaveToFile(PathOf("A.XMT")));
  EXPECT_EQ(x.LoadFromFile(PathOf("A.XMT")), TLoadResult::Loaded);
  EXPECT_EQ(loaded, 1);
  EXPECT_EQ(x.FileImage.Bytes, x.LiveRecord.Bytes);
  EXPECT_EQ(x.FileImage.GetString(TXmtRecord::OffTag, 10), "ROUND   ");
  EXPECT_EQ(x.FileImage.GetSingle(TXmtRecord::OffPVUpperValue), 123.25f);

  // Saving again replaces the file.
  x.DecodeCmd13(AnswerBytes{}.Packed("SECOND", 2).Packed("", 4).Add({1, 2, 99}));
  ASSERT_TRUE(x.SaveToFile(PathOf("A.XMT")));
  EXPECT_EQ(ReadAll(PathOf("A.XMT")), std::vector<Byte>(x.LiveRecord.Bytes.begin(), x.LiveRecord.Bytes.end()));
  EXPECT_EQ(Names(), "A.XMT;");
}

TEST_F(Files, AcceptanceAndRefusal) {
  struct Case {
    const char* what;
    std::vector<Byte> bytes;
    TLoadResult result;
  };
  std::vector<Case> cases;
  cases.push_back({"848 bytes", GoodFile(), TLoadResult::Loaded});
  cases.push_back({"900 bytes", GoodFile(900), TLoadResult::Loaded});
  cases.push_back({"847 bytes", GoodFile(847), TLoadResult::BadFormat});
  cases.push_back({"empty", {}, TLoadResult::BadFormat});
  auto bad = GoodFile();
  bad[0] = 0x15;
  cases.push_back({"length byte 0x15", bad, TLoadResult::BadFormat});
  bad = GoodFile();
  bad[20] = 'X';
  cases.push_back({"last magic letter", bad, TLoadResult::BadFormat});
  bad = GoodFile();
  bad[1] = '{';
  cases.push_back({"first magic letter", bad, TLoadResult::BadFormat});

  for (const Case& c : cases) {
    TXmt x;
    x.FileImage.Bytes.fill(0x5C);
    const auto before = x.FileImage.Bytes;
    int loaded = 0;
    x.OnLoadedFormDisk = [&](TObject*) { ++loaded; };
    WriteAll(PathOf("F.XMT"), c.bytes);
    EXPECT_EQ(x.LoadFromFile(PathOf("F.XMT")), c.result) << c.what;
    if (c.result == TLoadResult::Loaded) {
      EXPECT_EQ(loaded, 1) << c.what;
      EXPECT_TRUE(std::equal(x.FileImage.Bytes.begin(), x.FileImage.Bytes.end(), c.bytes.begin())) << c.what;
    } else {
      EXPECT_EQ(loaded, 0) << c.what;
      EXPECT_EQ(x.FileImage.Bytes, before) << c.what;  // a refused file changes nothing
    }
  }
}

TEST_F(Files, LoadedStringLengthsAreClampedToTheirFields) {
  auto bytes = GoodFile();
  bytes[32] = 200;  // tag
  bytes[43] = 21;   // descriptor
  bytes[64] = 10;   // date: fits
  bytes[75] = 255;  // message
  WriteAll(PathOf("LONG.XMT"), bytes);
  TXmt x;
  ASSERT_EQ(x.LoadFromFile(PathOf("LONG.XMT")), TLoadResult::Loaded);
  EXPECT_EQ(x.FileImage.Bytes[32], 10);
  EXPECT_EQ(x.FileImage.Bytes[43], 20);
  EXPECT_EQ(x.FileImage.Bytes[64], 10);
  EXPECT_EQ(x.FileImage.Bytes[75], 40);
  EXPECT_EQ(x.FileImage.Bytes[33], bytes[33]);  // the characters themselves are kept
}

TEST_F(Files, FilesThatCannotBeOpenedOrWritten) {
  TXmt x;
  x.FileImage.Bytes.fill(0x11);
  const auto before = x.FileImage.Bytes;
  EXPECT_EQ(x.LoadFromFile(PathOf("MISSING.XMT")), TLoadResult::CannotOpen);
  EXPECT_EQ(x.LoadFromFile(dir.string()), TLoadResult::CannotOpen);
  EXPECT_EQ(x.LoadFromFile(""), TLoadResult::CannotOpen);
  EXPECT_EQ(x.FileImage.Bytes, before);

  std::string error;
  EXPECT_FALSE(x.SaveToFile(PathOf("NO_SUCH_DIR/A.XMT"), &error));
  EXPECT_EQ(error, "  The transmitter file cannot be written !  ");
  EXPECT_FALSE(x.SaveToFile("", nullptr));
  EXPECT_FALSE(x.SaveToFile(dir.string() + "/", nullptr));  // a folder, no file name

  // A target that cannot be replaced is kept as it was, and no temporary file stays.
  fs::create_directories(dir / "KEEP.XMT");
  WriteAll(PathOf("KEEP.XMT/inside"), {1, 2, 3});
  TXmt fr(TLangue::Francais);
  EXPECT_FALSE(fr.SaveToFile(PathOf("KEEP.XMT"), &error));
  EXPECT_EQ(error, "  Impossible d'\xE9" "crire le fichier transmetteur !  ");
  EXPECT_EQ(ReadAll(PathOf("KEEP.XMT/inside")), (std::vector<Byte>{1, 2, 3}));
  EXPECT_EQ(Names(), "KEEP.XMT;");
}

TEST_F(Files, ProposedFileNameFromTheTag) {
  const std::pair<const char*, const char*> cases[] = {
      {"TT-101  ", "TT-101"}, {"A/B:C*D?", "A_B_C_D_"}, {"<\"|>\\  ", "_____"}, {"  X  ", "  X"},
      {"", ""},               {"        ", ""},         {"TE.1 2", "TE.1 2"},
  };
  for (const auto& [tag, name] : cases) {
    TXmt x;
    x.Tag = tag;
    EXPECT_EQ(x.ProposedFileName(), name) << tag;
  }
}

// ---------------------------------------------------------------------------------------
// The dialog steps

namespace {
class RecordingDialogs : public TXmtDialogs {
public:
  bool AskSavePath(const TFileDialogOptions& options, std::string& path) override {
    ++saveAsks;
    asked = options;
    path = answer;
    return !answer.empty();
  }
  bool AskOpenPath(const TFileDialogOptions& options, std::string& path) override {
    ++openAsks;
    asked = options;
    path = answer;
    return !answer.empty();
  }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }

  std::string answer;  // empty: the user cancels
  int saveAsks = 0, openAsks = 0;
  TFileDialogOptions asked;
  std::vector<std::string> messages;
};
}  // namespace

TEST_F(Files, SaveDialogInBothEditions) {
  struct Case {
    TLangue langue;
    const char* title;
    const char* filter;
  };
  const Case cases[] = {
      {TLangue::Anglais, "Save transmitter file", "Transmitter file (*.XMT)|*.XMT|All files (*.*)|*.*"},
      {TLangue::Francais, "sauve un fichier transmetteur",
       "Fichiers transmetteur (*.XMT)|*.XMT|Tous les fichiers (*.*)|*.*"},
  };
  for (const Case& c : cases) {
    TXmt x(c.langue);
    RecordingDialogs d;
    x.Dialogs = &d;
    x.Tag = "T/1     ";
    x.SaveToDisk();  // cancelled
    EXPECT_EQ(d.saveAsks, 1);
    EXPECT_EQ(d.asked.Title, c.title);
    EXPECT_EQ(d.asked.Filter, c.filter);
    EXPECT_EQ(d.asked.DefaultExt, "XMT");
    EXPECT_EQ(d.asked.InitialDir, ".");
    EXPECT_EQ(d.asked.FileName, "T_1");
    EXPECT_TRUE(d.asked.OverwritePrompt);
    EXPECT_EQ(Names(), "");
    EXPECT_TRUE(d.messages.empty());

    d.answer = PathOf("T_1.XMT");
    x.SaveToDisk();
    EXPECT_EQ(ReadAll(d.answer).size(), 848u);
    EXPECT_TRUE(d.messages.empty());
    fs::remove(d.answer);

    d.answer = PathOf("NO_SUCH_DIR/T_1.XMT");
    x.SaveToDisk();
    ASSERT_EQ(d.messages.size(), 1u);
    EXPECT_EQ(d.messages[0], c.langue == TLangue::Anglais ? "  The transmitter file cannot be written !  "
                                                           : "  Impossible d'\xE9" "crire le fichier transmetteur !  ");
  }
}

TEST_F(Files, LoadDialogInBothEditions) {
  WriteAll(PathOf("GOOD.XMT"), GoodFile());
  WriteAll(PathOf("SHORT.XMT"), GoodFile(847));
  struct Case {
    TLangue langue;
    const char* title;
    const char* filter;
    const char* badFormat;
    const char* cannotOpen;
  };
  const Case cases[] = {
      {TLangue::Anglais, "Load transmitter file", "Transmitter file (*.XMT)|*.XMT|All files (*.*)|*.*",
       "  Bad file format !  ", "  The transmitter file cannot be opened !  "},
      {TLangue::Francais, "Charge un fichier transmetteur",
       "Fichiers transmetteur (*.XMT)|*.XMT|Tous les fichiers (*.*)|*.*", "  Fichier incorrect !  ",
       "  Impossible d'ouvrir le fichier transmetteur !  "},
  };
  for (const Case& c : cases) {
    TXmt x(c.langue);
    RecordingDialogs d;
    x.Dialogs = &d;
    int loaded = 0;
    x.OnLoadedFormDisk = [&](TObject*) { ++loaded; };

    x.LoadFromDisk();  // cancelled
    EXPECT_EQ(d.openAsks, 1);
    EXPECT_EQ(d.asked.Title, c.title);
    EXPECT_EQ(d.asked.Filter, c.filter);
    EXPECT_EQ(d.asked.InitialDir, ".");
    EXPECT_TRUE(d.messages.empty());

    d.answer = PathOf("GOOD.XMT");
    x.LoadFromDisk();
    EXPECT_EQ(loaded, 1);
    EXPECT_TRUE(d.messages.empty());

    d.answer = PathOf("SHORT.XMT");
    x.LoadFromDisk();
    d.answer = PathOf("MISSING.XMT");
    x.LoadFromDisk();
    EXPECT_EQ(loaded, 1);
    EXPECT_EQ(d.messages, (std::vector<std::string>{c.badFormat, c.cannotOpen}));
    EXPECT_TRUE(std::equal(x.FileImage.Bytes.begin(), x.FileImage.Bytes.end(), GoodFile().begin()));
  }
}

TEST_F(Files, NoDialogsNothingHappens) {
  TXmt x;
  x.SaveToDisk();
  x.LoadFromDisk();
  EXPECT_EQ(Names(), "");
}

// The file load reads the file and hands its bytes to LoadFromBytes; the save writes what
// SaveToBytes gives. Both forms agree on every file.
TEST_F(Files, BytesAndFileFormsAgree) {
  auto longStrings = GoodFile(900);
  longStrings[75] = 255;
  for (const std::vector<Byte>& bytes : {GoodFile(), GoodFile(847), std::vector<Byte>{}, longStrings,
                                         std::vector<Byte>(848, 0x14)}) {
    TXmt fromFile, fromBytes;
    int loadedFile = 0, loadedBytes = 0;
    fromFile.OnLoadedFormDisk = [&](TObject*) { ++loadedFile; };
    fromBytes.OnLoadedFormDisk = [&](TObject*) { ++loadedBytes; };
    WriteAll(PathOf("F.XMT"), bytes);
    EXPECT_EQ(fromBytes.LoadFromBytes(bytes), fromFile.LoadFromFile(PathOf("F.XMT"))) << bytes.size();
    EXPECT_EQ(loadedBytes, loadedFile);
    EXPECT_EQ(fromBytes.FileImage.Bytes, fromFile.FileImage.Bytes);
  }

  TXmt x;
  x.LiveRecord.SetString(TXmtRecord::OffTag, 10, "TT-1");
  const std::string image = x.SaveToBytes();
  ASSERT_TRUE(x.SaveToFile(PathOf("S.XMT")));
  const std::vector<Byte> saved = ReadAll(PathOf("S.XMT"));
  EXPECT_EQ(std::string(saved.begin(), saved.end()), image);
  EXPECT_EQ(image.substr(0, 21), MagicText);
  // Reloaded, the saved bytes give the same image.
  TXmt again;
  ASSERT_EQ(again.LoadFromBytes(saved), TLoadResult::Loaded);
  EXPECT_EQ(again.FileImage.Bytes, x.LiveRecord.Bytes);
}
