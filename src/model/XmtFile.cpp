// Transmitter files (*.XMT): one 848-byte record, written from the live record and read
// into the file image. The dialog steps go through TXmtDialogs.

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

#include "model/FileWrite.h"
#include "model/Xmt.h"

namespace fs = std::filesystem;

namespace {

// What both file dialogs share: title, filter and the current folder to start in.
TFileDialogOptions DialogOptions(const char* title, TLangue langue) {
  TFileDialogOptions options;
  options.Title = title;
  options.Filter = Texte(langue, "Transmitter file (*.XMT)|*.XMT|All files (*.*)|*.*",
                         "Fichiers transmetteur (*.XMT)|*.XMT|Tous les fichiers (*.*)|*.*");
  options.InitialDir = ".";
  return options;
}

}  // namespace

std::string TXmt::ProposedFileName() const {
  std::string name = Tag;
  while (!name.empty() && name.back() == ' ') name.pop_back();
  constexpr std::string_view unsafe = "/\\:*?\"<>|";
  for (char& c : name)
    if (unsafe.find(c) != std::string_view::npos) c = '_';
  return name;
}

std::string TXmt::SaveToBytes() {
  LiveRecord.SetMagic();
  return std::string(reinterpret_cast<const char*>(LiveRecord.Bytes.data()), TXmtRecord::Size);
}

bool TXmt::SaveToFile(const std::string& path, std::string* errorText) {
  // Written beside the target and renamed over it, so a failed save leaves the old file.
  if (!WriteFileReplacing(path, SaveToBytes())) {
    if (errorText)
      *errorText = Texte(Langue, "  The transmitter file cannot be written !  ",
                         "  Impossible d'\xE9" "crire le fichier transmetteur !  ");
    return false;
  }
  return true;
}

TLoadResult TXmt::LoadFromFile(const std::string& path) {
  // Only a regular file is read: a directory or a device would never be a transmitter file,
  // and a pipe could block the program.
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return TLoadResult::CannotOpen;
  std::ifstream in(path, std::ios::binary);
  if (!in) return TLoadResult::CannotOpen;

  // Bytes beyond the record are never read.
  std::array<Byte, TXmtRecord::Size> bytes{};
  in.read(reinterpret_cast<char*>(bytes.data()), TXmtRecord::Size);
  if (in.bad()) return TLoadResult::CannotOpen;
  return LoadFromBytes(std::span<const Byte>(bytes.data(), static_cast<std::size_t>(in.gcount())));
}

TLoadResult TXmt::LoadFromBytes(std::span<const Byte> bytes) {
  // Checked in a record of its own first: a refused file leaves the file image as it was.
  if (bytes.size() < static_cast<std::size_t>(TXmtRecord::Size)) return TLoadResult::BadFormat;
  TXmtRecord image;
  std::copy_n(bytes.begin(), TXmtRecord::Size, image.Bytes.begin());
  if (!image.HasMagic()) return TLoadResult::BadFormat;

  image.ClampStringLengths();
  FileImage = image;
  OnLoadedFormDisk(this);
  return TLoadResult::Loaded;
}

void TXmt::SaveToDisk() {
  if (!Dialogs) return;
  TFileDialogOptions options =
      DialogOptions(Texte(Langue, "Save transmitter file", "sauve un fichier transmetteur"), Langue);
  options.DefaultExt = "XMT";
  options.FileName = ProposedFileName();
  options.OverwritePrompt = true;
  std::string path;
  if (!Dialogs->AskSavePath(options, path)) return;
  std::string errorText;
  if (!SaveToFile(path, &errorText)) Dialogs->ShowMessage(errorText);
}

void TXmt::LoadFromDisk() {
  if (!Dialogs) return;
  const TFileDialogOptions options =
      DialogOptions(Texte(Langue, "Load transmitter file", "Charge un fichier transmetteur"), Langue);
  std::string path;
  if (!Dialogs->AskOpenPath(options, path)) return;
  switch (LoadFromFile(path)) {
    case TLoadResult::Loaded:
      break;
    case TLoadResult::BadFormat:
      Dialogs->ShowMessage(Texte(Langue, "  Bad file format !  ", "  Fichier incorrect !  "));
      break;
    case TLoadResult::CannotOpen:
      Dialogs->ShowMessage(Texte(Langue, "  The transmitter file cannot be opened !  ",
                                 "  Impossible d'ouvrir le fichier transmetteur !  "));
      break;
  }
}
