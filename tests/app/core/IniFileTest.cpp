// The ini file: reading and writing one key keeps everything else as it was.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "app/core/IniFile.h"

namespace fs = std::filesystem;

TEST(IniFileTest, ReadingFindsSectionAndKeyWhateverTheirCase) {
  struct Case {
    const char* text;
    int port;
  };
  for (const Case& c : std::initializer_list<Case>{
           {"", 0},
           {"[CONFIG]\r\nPORT=2\r\n", 2},
           {"[config]\nport = 3\n", 3},
           {"  [ Config ]  \n  Port=  -1  \n", -1},
           {"[OTHER]\nPORT=4\n[CONFIG]\nX=1\n", 0},  // the key of another section does not count
           {"[CONFIG]\nPORT=abc\n", 0},
           {"[CONFIG]\nPORT=2;comment\n", 0},
           {"[CONFIG]\nPORT=\n", 0},
           {"[CONFIG]\n;PORT=4\nPORT=5000\n", 5000},
           {"[CONFIG]\nPORT=1\nPORT=2\n", 1},
           {"[CONFIG]\nPORT=99999999999\n", 0},
           {"\x01\x02garbage\xff\n[CONFIG\nPORT=3\n", 0},
           {"\xEF\xBB\xBF[CONFIG]\r\nPORT=4\r\n", 4},  // a byte-order mark before the first line
       }) {
    EXPECT_EQ(TIniText(c.text).ReadInteger("CONFIG", "PORT", 0), c.port) << c.text;
  }
  EXPECT_EQ(TIniText("[CONFIG]\n").ReadInteger("CONFIG", "PORT", 7), 7);
}

TEST(IniFileTest, WritingKeepsEveryOtherLine) {
  struct Case {
    const char* before;
    const char* after;
  };
  for (const Case& c : std::initializer_list<Case>{
           {"", "[CONFIG]\r\nPORT=3\r\n"},
           {"[CONFIG]\r\nPORT=1\r\n", "[CONFIG]\r\nPORT=3\r\n"},
           {"; mine\n[A]\nx=1\n\n[config]\nOther=2\nport=1\n[B]\ny=2\n", "; mine\n[A]\nx=1\n\n[config]\nOther=2\nPORT=3\n[B]\ny=2\n"},
           {"[CONFIG]\nOther=2\n\n[B]\n", "[CONFIG]\nOther=2\nPORT=3\n\n[B]\n"},
           {"[A]\nx=1\n", "[A]\nx=1\n[CONFIG]\nPORT=3\n"},
           {"\xEF\xBB\xBF[CONFIG]\nPORT=1\n", "\xEF\xBB\xBF[CONFIG]\nPORT=3\n"},
           {"\xEF\xBB\xBF", "\xEF\xBB\xBF[CONFIG]\r\nPORT=3\r\n"},
       }) {
    TIniText ini(c.before);
    ini.WriteInteger("CONFIG", "PORT", 3);
    EXPECT_EQ(ini.Text(), c.after) << c.before;
    EXPECT_EQ(TIniText(ini.Text()).ReadInteger("CONFIG", "PORT", 0), 3);
  }
}

TEST(IniFileTest, TheFileIsReplacedWholeAndAFailedWriteChangesNothing) {
  const fs::path dir = fs::temp_directory_path() / ("corvin-ini-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string path = (dir / "Corvin.ini").string();
  EXPECT_EQ(ReadIniInteger(path, "CONFIG", "PORT", 0), 0);
  ASSERT_TRUE(WriteIniInteger(path, "CONFIG", "PORT", 2));
  EXPECT_EQ(ReadIniInteger(path, "CONFIG", "PORT", 0), 2);
  {
    std::ofstream(path, std::ios::binary) << "[Other]\r\nk=v\r\n[CONFIG]\r\nPORT=2\r\n";
  }
  ASSERT_TRUE(WriteIniInteger(path, "CONFIG", "PORT", -1));
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "[Other]\r\nk=v\r\n[CONFIG]\r\nPORT=-1\r\n");

  // A directory in the file's place: read as missing, never replaced.
  const std::string folder = (dir / "Folder.ini").string();
  fs::create_directories(folder);
  EXPECT_EQ(ReadIniInteger(folder, "CONFIG", "PORT", 0), 0);
  EXPECT_FALSE(WriteIniInteger(folder, "CONFIG", "PORT", 1));
  EXPECT_TRUE(fs::is_directory(folder));
  // A folder that does not exist cannot take the file.
  EXPECT_FALSE(WriteIniInteger((dir / "missing" / "Corvin.ini").string(), "CONFIG", "PORT", 1));
  fs::remove_all(dir);
}
