// Saving a whole file by writing a new one and renaming it into place.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "model/FileWrite.h"
#include "support/FileRights.h"
#include "support/FolderTest.h"

namespace fs = std::filesystem;

namespace {

struct FileWrite : FolderTest {};

}  // namespace

// The replacing file keeps the rights the user gave the old one, and a link keeps leading to
// the file, which gets the new bytes.
TEST_F(FileWrite, ReplacesTheFileWhereItLiesWithItsRights) {
  WriteAll(PathOf("A.INI"), "old");
  fs::permissions(PathOf("A.INI"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_TRUE(WriteFileReplacing(PathOf("A.INI"), "new"));
  EXPECT_EQ(ReadAll(PathOf("A.INI")), "new");
  EXPECT_EQ(fs::status(PathOf("A.INI")).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

  fs::create_directory(PathOf("real"));
  WriteAll(PathOf("real/B.XMT"), "old");
  fs::create_symlink(PathOf("real/B.XMT"), PathOf("B.XMT"));
  ASSERT_TRUE(WriteFileReplacing(PathOf("B.XMT"), "new"));
  EXPECT_TRUE(fs::is_symlink(PathOf("B.XMT")));
  EXPECT_EQ(ReadAll(PathOf("real/B.XMT")), "new");
  EXPECT_EQ(Names().find(".tmp"), std::string::npos);
}

// A file the user made read-only, or that is not a plain file, is not replaced, even where the
// folder would let a new file take its name.
TEST_F(FileWrite, AFileThatMayNotBeWrittenStaysAsItIs) {
  fs::permissions(dir, fs::perms::all);
  WriteAll(PathOf("RO.INI"), "[CONFIG]\r\nPORT=2\r\n");
  fs::permissions(PathOf("RO.INI"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_TRUE(AsUnprivileged([&] { return !WriteFileReplacing(PathOf("RO.INI"), "x"); }));
  EXPECT_EQ(ReadAll(PathOf("RO.INI")), "[CONFIG]\r\nPORT=2\r\n");

  fs::create_directory(PathOf("DIR.LIN"));
  EXPECT_FALSE(WriteFileReplacing(PathOf("DIR.LIN"), "x"));
  EXPECT_TRUE(fs::is_directory(PathOf("DIR.LIN")));
  fs::create_symlink(PathOf("nowhere/C.XMT"), PathOf("DANGLING.XMT"));
  EXPECT_FALSE(WriteFileReplacing(PathOf("DANGLING.XMT"), "x"));
  EXPECT_TRUE(fs::is_symlink(PathOf("DANGLING.XMT")));
  EXPECT_EQ(Names().find(".tmp"), std::string::npos);
}
