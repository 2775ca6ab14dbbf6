#include "model/FileWrite.h"

#include <filesystem>
#include <fstream>
#include <optional>
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
  fs::path target(path);
  if (!target.has_filename()) return false;
  std::error_code ec;
  // A file that is there is replaced where it really lies (a link stays a link), only when
  // it is a regular file the user may write (a read-only file stays as it is), and keeps its
  // access rights.
  std::optional<fs::perms> perms;
  if (fs::exists(fs::symlink_status(target, ec))) {
    target = fs::canonical(target, ec);
    if (ec || !fs::is_regular_file(target, ec)) return false;
    if (!std::ofstream(target, std::ios::binary | std::ios::app)) return false;
    perms = fs::status(target, ec).permissions();
    if (ec) return false;
  }
  ec.clear();
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
  if (written && perms) fs::permissions(tmp, *perms, ec);
  if (written && !ec) fs::rename(tmp, target, ec);
  if (!written || ec) {
    fs::remove(tmp, ec);
    return false;
  }
  return true;
}
