// Transmitter files from bytes: a file is accepted exactly when it has at least 848 bytes
// and begins with the magic; an accepted file lands in the file image (string lengths kept
// within their fields), a refused one changes nothing; saving the image and loading the
// saved bytes gives the same bytes.

#include <algorithm>
#include <span>

#include "FuzzInput.h"
#include "model/Xmt.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const Byte> bytes(data, size);
  TXmt xmt;
  int loaded = 0;
  xmt.OnLoadedFormDisk = [&loaded](TObject*) { ++loaded; };
  const TXmtRecord before = xmt.FileImage;

  const bool shouldAccept =
      size >= TXmtRecord::Size && std::equal(TXmtRecord::Magic().begin(), TXmtRecord::Magic().end(), data);
  const TLoadResult result = xmt.LoadFromBytes(bytes);
  FUZZ_CHECK(result != TLoadResult::CannotOpen);
  FUZZ_CHECK((result == TLoadResult::Loaded) == shouldAccept);
  if (!shouldAccept) {
    FUZZ_CHECK(loaded == 0);
    FUZZ_CHECK(xmt.FileImage.Bytes == before.Bytes);
    return 0;
  }
  FUZZ_CHECK(loaded == 1);

  // The image is the file's first 848 bytes, but for string lengths beyond their fields.
  struct Field {
    int off, maxLen;
  };
  constexpr Field strings[] = {{TXmtRecord::OffMagic, 20},      {TXmtRecord::OffTag, 10},
                               {TXmtRecord::OffDescriptor, 20}, {TXmtRecord::OffDate, 10},
                               {TXmtRecord::OffMessage, 40}};
  for (int i = 0; i < TXmtRecord::Size; ++i) {
    const Byte got = xmt.FileImage.Bytes[static_cast<std::size_t>(i)];
    const auto field = std::find_if(std::begin(strings), std::end(strings), [i](const Field& f) { return f.off == i; });
    if (field == std::end(strings))
      FUZZ_CHECK(got == data[i]);
    else
      FUZZ_CHECK(got == std::min<int>(data[i], field->maxLen));
  }
  for (const Field& f : strings)
    FUZZ_CHECK(xmt.FileImage.GetString(f.off, f.maxLen).size() == xmt.FileImage.GetByte(f.off));

  // Saved from the live record and loaded again, byte for byte.
  xmt.LiveRecord = xmt.FileImage;
  const std::string saved = xmt.SaveToBytes();
  FUZZ_CHECK(saved.size() == static_cast<std::size_t>(TXmtRecord::Size));
  FUZZ_CHECK(std::equal(saved.begin(), saved.end(), xmt.FileImage.Bytes.begin(),
                        [](char c, Byte b) { return static_cast<Byte>(c) == b; }));
  TXmt again;
  const auto savedBytes = std::span<const Byte>(reinterpret_cast<const Byte*>(saved.data()), saved.size());
  FUZZ_CHECK(again.LoadFromBytes(savedBytes) == TLoadResult::Loaded);
  FUZZ_CHECK(again.FileImage.Bytes == xmt.FileImage.Bytes);
  return 0;
}
