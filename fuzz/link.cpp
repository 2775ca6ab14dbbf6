// Answers through the real link in virtual time: a request goes out on a fake serial modem,
// then any bytes arrive in pieces at any times. An answer is read only after 120 to 140 ms
// of line silence, it is a piece of what arrived, it holds its count and its check byte,
// and the model it reaches stays within its fields; the error levels stay within 0..5.

#include <algorithm>
#include <functional>
#include <vector>

#include "FuzzInput.h"
#include "comm/HART.h"
#include "support/FakeTransport.h"
#include "support/VirtualScheduler.h"

namespace {

using TRequest = std::function<void(THART&, TXmt&, fuzz::Input&)>;

const std::vector<TRequest>& Requests() {
  static const std::vector<TRequest> requests = {
      [](THART& h, TXmt&, fuzz::Input& in) { h.ReadUniqueIdentifier(in.Byte() % 16); },
      [](THART& h, TXmt& x, fuzz::Input&) { h.ReadPrimaryVariable(x); },
      [](THART& h, TXmt& x, fuzz::Input&) { h.ReadDynamicVariables(x); },
      [](THART& h, TXmt& x, fuzz::Input&) { h.ReadMessage(x); },
      [](THART& h, TXmt& x, fuzz::Input&) { h.ReadTagDescriptorDate(x); },
      [](THART& h, TXmt& x, fuzz::Input&) { h.ReadAdditionalStatus(x); },
      [](THART& h, TXmt& x, fuzz::Input& in) { h.ReadSegment(x, in.Byte()); },
      [](THART& h, TXmt& x, fuzz::Input& in) { h.ReadAlarmInfo(x, in.Byte()); },
      [](THART& h, TXmt& x, fuzz::Input&) { h.ReadRealTimeClock(x); },
      [](THART& h, TXmt& x, fuzz::Input&) { h.ResetDevice(x); },
      [](THART& h, TXmt&, fuzz::Input& in) { h.FindByTag(in.Text(8)); },
      [](THART& h, TXmt& x, fuzz::Input& in) { h.WriteMessage(x, in.Text(32)); },
  };
  return requests;
}

struct TRun {
  VirtualScheduler Sched;
  FakeTransport Fake{Sched};
  THART Hart{Sched};
  TXmt Xmt;
  std::string Arrived;           // every byte delivered, in order
  std::int64_t LastNotice = -1;  // when the link last heard of received bytes
  int Answers = 0;

  TRun() {
    Hart.UseTransport(&Fake, TPortKind::Serial);
    Hart.OnModemChange = [this](TObject*) { LastNotice = Sched.NowMs(); };
    Hart.OnDataArrival = [this](TObject*) { Answer(); };
  }

  void Answer() {
    ++Answers;
    THART& h = Hart;
    // Read after the line was silent for the settling time, never sooner nor much later.
    FUZZ_CHECK(LastNotice >= 0);
    const std::int64_t silence = Sched.NowMs() - LastNotice;
    FUZZ_CHECK(silence >= 120 && silence <= 140);
    // A piece of what arrived, holding its count, status bytes and check byte.
    const auto& f = h.AnswerFrame;
    FUZZ_CHECK(h.AnswerLength >= 1 && h.AnswerLength <= TCustomHART::AnswerFrameSize);
    FUZZ_CHECK(std::search(Arrived.begin(), Arrived.end(), f.begin(), f.begin() + h.AnswerLength,
                           [](char a, Byte b) { return static_cast<Byte>(a) == b; }) != Arrived.end());
    const int dataStart = (f[0] & 0x80) ? 8 : 4;
    const int checkAt = dataStart + h.AnswerByteCount;
    FUZZ_CHECK(h.AnswerByteCount >= 2 && checkAt < h.AnswerLength);
    Byte x = 0;
    for (int i = 0; i <= checkAt; ++i) x ^= f[static_cast<std::size_t>(i)];
    FUZZ_CHECK(x == 0);
    FUZZ_CHECK((h.ResponseCode & 0x80) == 0);
    h.HandleResponse(Xmt);
    CheckModel();
  }

  void CheckModel() const {
    FUZZ_CHECK(Hart.Erreur.Level >= 0 && Hart.Erreur.Level <= 5);
    FUZZ_CHECK(Xmt.Erreur->Level >= 0 && Xmt.Erreur->Level <= 5);
    FUZZ_CHECK(Hart.SettleCounter >= -1 && Hart.SettleCounter <= 6);
    FUZZ_CHECK(Hart.SupervisionCounter >= 0 && Hart.SupervisionCounter <= 25);
    FUZZ_CHECK(Xmt.Tag.size() <= 10 && Xmt.Descriptor.size() <= 20 && Xmt.Message.size() <= 40);
    FUZZ_CHECK(Xmt.DateText.size() <= 10 && Xmt.PVText.size() <= 20);
    FUZZ_CHECK(Xmt.ManufacturerName.size() <= 40 && Xmt.ModelName.size() <= 40);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  TRun run;
  run.Hart.NbPreambles = static_cast<Byte>(in.Range(2, 20));
  const auto& requests = Requests();
  requests[in.Byte() % requests.size()](run.Hart, run.Xmt, in);

  // Pieces of bytes at increasing times; now and then another request on the way.
  std::int64_t at = 0;
  for (int piece = 0; piece < 24 && !in.Empty(); ++piece) {
    const Byte step = in.Byte();
    at += step & 0x7F ? (step & 0x7F) * 3 : 0;
    if (step & 0x80) {
      const std::size_t which = in.Byte() % requests.size();
      const Byte arg = in.Byte();
      run.Sched.Schedule(at - run.Sched.NowMs(), [&run, which, arg] {
        fuzz::Input one(&arg, 1);
        Requests()[which](run.Hart, run.Xmt, one);
      });
    }
    const std::string chunk = in.Text(static_cast<std::size_t>(in.Range(0, 90)));
    run.Fake.ScriptAt(at, chunk);
    run.Sched.Schedule(at - run.Sched.NowMs(), [&run, chunk] { run.Arrived += chunk; });
  }
  run.Sched.Advance(at + 1500);
  run.CheckModel();
  return 0;
}
