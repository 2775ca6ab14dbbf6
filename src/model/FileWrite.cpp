#include "model/FileWrite.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// A name beside the target that no file holds yet, for writing before the rename.
fs::path TemporaryPathFor(const fs::path& target) {
  std::error_code ec;
  for (int k = 0;; ++k) {
    fs::path tmp = target;
    tmp += ".tmp" + std::to_string(k);
    if (!fs::exists(fs::symlink_status(tmp, ec))) return tmp;
  }
}

}  // namespace

bool WriteFileReplacing(const std::string& path, std::string_view bytes) {
  const fs::path target(path);
  if (!target.has_filename()) return false;
  const fs::path tmp = TemporaryPathFor(target);
  bool written = false;
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (out) {
      out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
      out.close();
      written = !out.fail();
    }
  }
  std::error_code ec;
  if (written) fs::rename(tmp, target, ec);
  if (!written || ec) {
    fs::remove(tmp, ec);
    return false;
  }
  return true;
}
