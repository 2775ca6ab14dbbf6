#pragma once

// A test with a folder of its own for its files (named after the test, removed at the end,
// whatever rights the test left on it) and the helpers that read, write and list them.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class FolderTest : public ::testing::Test {
protected:
  FolderTest() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = std::filesystem::temp_directory_path() /
          ("corvin_" + std::string(info->test_suite_name()) + "_" + info->name() + "_" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
  }
  ~FolderTest() override {
    std::error_code ec;
    std::filesystem::permissions(dir, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(dir, ec);
  }

  std::string PathOf(const std::string& name) const { return (dir / name).string(); }
  static std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  }
  // The names in the folder, each followed by ';', in the order the folder lists them.
  std::string Names() const {
    std::string names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) names += e.path().filename().string() + ";";
    return names;
  }

  std::filesystem::path dir;
};
