#pragma once

// Saving a whole file so that a failed save never leaves a half-written one: the bytes go
// to a new file beside the target, which is then renamed over it.

#include <string>
#include <string_view>

// Writes the bytes as the file at path, replacing the file there. A file that is there is
// replaced only when it is a regular file the user may write; a link to one replaces the file
// it leads to; the new file keeps the old one's access rights. False when the file cannot be
// created, written or renamed into place, or may not be replaced; the old file is then left
// as it was and no temporary file remains.
bool WriteFileReplacing(const std::string& path, std::string_view bytes);
