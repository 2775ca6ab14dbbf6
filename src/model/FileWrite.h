#pragma once

// Saving a whole file so that a failed save never leaves a half-written one: the bytes go
// to a new file beside the target, which is then renamed over it.

#include <string>
#include <string_view>

// Writes the bytes as the file at path, replacing any file there. False when the file
// cannot be created, written or renamed into place; the old file is then left as it was
// and no temporary file remains.
bool WriteFileReplacing(const std::string& path, std::string_view bytes);
