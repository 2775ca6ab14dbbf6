#pragma once

// A fresh temporary directory made the current one for the life of the object, for the
// tests of what the program keeps in the current directory (the ini file). The previous
// directory comes back and the temporary one goes when the object is destroyed.

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

class TempCwd {
public:
  TempCwd() : previous_(std::filesystem::current_path()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "corvin-cwd-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    dir_ = pattern;
    std::filesystem::current_path(dir_);
  }
  ~TempCwd() {
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
    std::filesystem::remove_all(dir_, ec);
  }
  TempCwd(const TempCwd&) = delete;
  TempCwd& operator=(const TempCwd&) = delete;

  const std::filesystem::path& Dir() const { return dir_; }

  // The bytes of a file of the directory; empty when there is none.
  static std::string Read(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static void Write(const std::string& name, const std::string& bytes) {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out << bytes;
  }
  // The file's inode: a file written anew by a rename gets another one.
  static ino_t Inode(const std::string& name) {
    struct stat st {};
    return ::stat(name.c_str(), &st) == 0 ? st.st_ino : 0;
  }
  // The names in the directory, sorted.
  std::string Listing() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir_)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    std::string all;
    for (const std::string& n : names) all += n + ";";
    return all;
  }

private:
  std::filesystem::path previous_;
  std::filesystem::path dir_;
};
