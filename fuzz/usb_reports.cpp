// Sequences of input reports of the USB HART modem, fed to the report handler one by one,
// of any length and content. The frame the modem gives (RxCount, ReadFrame, Read) is the
// chunks stored at their offsets within the 257-byte buffer, announced once per new
// length; carrier detect, end of transmission and status changes fire exactly on their
// changes; reports too short for the header change nothing.

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "FuzzInput.h"
#include "comm/USB.h"
#include "support/FakeHid.h"
#include "support/VirtualScheduler.h"

namespace {

// The modem's side as its report rules describe it.
struct TExpected {
  std::array<std::uint8_t, TCustomUSBHIDModem::ReceiveBufferSize> Receive{};
  std::array<std::uint8_t, TCustomUSBHIDModem::ReceiveBufferSize> Frame{};
  int FrameLength = 0;
  int PrevFrameLength = 0;
  std::uint8_t Status = 0;
  bool CarrierDetect = false, Transmitting = false;
  int Frames = 0, StatusChanges = 0, CDChanges = 0, EndsOfTx = 0;

  void Take(const std::vector<std::uint8_t>& r) {
    if (r.size() < 5) return;
    const int offset = r[1];
    const int length = r[2] & 0x3F;
    const bool last = (r[2] & 0x80) != 0;
    if (r[3] != Status) ++StatusChanges;
    Status = r[3];
    const bool cd = (r[3] & 2) != 0, tx = (r[3] & 1) != 0;
    for (int i = 0; i < length && 5 + i < static_cast<int>(r.size()); ++i)
      if (offset + i < TCustomUSBHIDModem::ReceiveBufferSize)
        Receive[static_cast<std::size_t>(offset + i)] = r[static_cast<std::size_t>(5 + i)];
    if (last) {
      Frame = Receive;
      FrameLength = std::min(offset + length, TCustomUSBHIDModem::ReceiveBufferSize);
      if (FrameLength != PrevFrameLength) ++Frames;
      PrevFrameLength = FrameLength;
    } else {
      PrevFrameLength = 0;
    }
    if (cd != CarrierDetect) ++CDChanges;
    if (Transmitting && !tx) ++EndsOfTx;
    CarrierDetect = cd;
    Transmitting = tx;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  VirtualScheduler sched;
  TUSBHIDModem modem(sched, std::make_shared<FakeHidModem>());  // the I/O thread never starts
  int frames = 0, statusChanges = 0, cdChanges = 0, endsOfTx = 0;
  modem.OnRXFrame = [&](TObject*) { ++frames; };
  modem.OnStatusChange = [&](TObject*) { ++statusChanges; };
  modem.OnCDChange = [&](TObject*) { ++cdChanges; };
  modem.OnEndOfTx = [&](TObject*) { ++endsOfTx; };
  TExpected expected;

  for (int n = 0; n < 64 && !in.Empty(); ++n) {
    // A report of its own length in a buffer of that size; the header is often a plausible one.
    const std::size_t len = in.Range(0, 72);
    std::vector<std::uint8_t> report = in.Bytes(len);
    report.shrink_to_fit();
    modem.HandleReport(report);
    expected.Take(report);
    sched.RunPending();

    FUZZ_CHECK(frames == expected.Frames);
    FUZZ_CHECK(statusChanges == expected.StatusChanges);
    FUZZ_CHECK(cdChanges == expected.CDChanges);
    FUZZ_CHECK(endsOfTx == expected.EndsOfTx);
    const int count = modem.RxCount();
    FUZZ_CHECK(count == expected.FrameLength);
    FUZZ_CHECK(count >= 0 && count <= TCustomUSBHIDModem::ReceiveBufferSize);
    std::array<std::uint8_t, TCustomUSBHIDModem::ReceiveBufferSize> frame{};
    FUZZ_CHECK(modem.ReadFrame(frame.data()) == count);
    FUZZ_CHECK(std::equal(frame.begin(), frame.begin() + count, expected.Frame.begin()));
    // Read gives the first bytes of the same frame, never more than the buffer holds.
    const int want = static_cast<int>(in.Range(-2, 300));
    const int fits = std::clamp(want, 0, TCustomUSBHIDModem::ReceiveBufferSize);
    std::vector<std::uint8_t> read(static_cast<std::size_t>(std::max(fits, 1)));
    const int got = modem.Read(read.data(), want);
    FUZZ_CHECK(got == fits);
    FUZZ_CHECK(std::equal(read.begin(), read.begin() + got, expected.Frame.begin()));
  }
  return 0;
}
