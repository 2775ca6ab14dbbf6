// Feeds every file of the given folders (or the given files) to the fuzz target once, in
// name order, so that the ordinary build replays the regression corpus without libFuzzer.
// A failed invariant aborts; a folder without any case fails too.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FuzzInput.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  std::vector<fs::path> files;
  for (int i = 1; i < argc; ++i) {
    const fs::path p = argv[i];
    std::error_code ec;
    if (fs::is_directory(p, ec)) {
      for (const auto& entry : fs::directory_iterator(p))
        if (entry.is_regular_file()) files.push_back(entry.path());
    } else if (fs::is_regular_file(p, ec)) {
      files.push_back(p);
    } else {
      std::fprintf(stderr, "no such corpus: %s\n", p.c_str());
      return 2;
    }
  }
  if (files.empty()) {
    std::fprintf(stderr, "no case to replay\n");
    return 2;
  }
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in.good() && !in.eof()) {
      std::fprintf(stderr, "cannot read %s\n", file.c_str());
      return 2;
    }
    std::fprintf(stderr, "replaying %s\n", file.filename().c_str());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  }
  std::printf("%zu cases replayed\n", files.size());
  return 0;
}
