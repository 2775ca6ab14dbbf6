// The HART frame functions on their own. Answers: any received bytes and count, any command
// 0-255; an extracted frame is the piece after the preamble, and a frame the parser accepts
// really holds its byte count, its two status bytes and a right check byte; the answer then
// goes to the model's decoders. Requests: every template with any address, data and number
// of preambles fits the transmit buffer, carries its check byte, and reads back as itself.

#include <algorithm>
#include <memory>
#include <vector>

#include "FuzzInput.h"
#include "comm/HART.h"
#include "support/VirtualScheduler.h"

namespace {

struct TLink {
  VirtualScheduler Sched;
  THART Hart{Sched};
  int CommErrors = 0;
  TLink() {
    Hart.OnCommError = [this](TObject*) { ++CommErrors; };
  }
};

TLink& Link() {
  static TLink* link = new TLink;  // kept for the whole run: building a link is costly
  return *link;
}

Byte XorOf(const std::array<Byte, TCustomHART::AnswerFrameSize>& f, int from, int to) {
  Byte x = 0;
  for (int i = from; i <= to; ++i) x ^= f[static_cast<std::size_t>(i)];
  return x;
}

// Where the answer starts after the preamble, as positions from 0; -1 when there is none.
int AnswerStart(const std::array<Byte, TCustomHART::RxBufferSize>& rx, int limit) {
  int pos = 0;
  while (pos < limit && rx[static_cast<std::size_t>(pos)] != 0xFF) ++pos;
  while (pos < limit && (rx[static_cast<std::size_t>(pos)] == 0xFF || rx[static_cast<std::size_t>(pos)] == 0x3F)) ++pos;
  return pos < limit - 1 ? pos : -1;
}

void Answers(TLink& link, fuzz::Input& in) {
  THART& h = link.Hart;
  // The count the transport reports: mostly the bytes there are, else anything up to past
  // a USB frame's 257.
  const Byte countKind = in.Byte();
  h.Langue = in.Bool() ? TLangue::Francais : TLangue::Anglais;
  const std::vector<Byte> bytes = in.Bytes(TCustomHART::RxBufferSize + 16);
  const int count = countKind < 200 ? static_cast<int>(bytes.size()) : (countKind - 200) * 6 - 4;
  h.RxBuffer.fill(0);
  std::copy_n(bytes.begin(), std::min<std::size_t>(bytes.size(), h.RxBuffer.size()), h.RxBuffer.begin());
  h.ReceivedCount = count;
  const std::array<Byte, TCustomHART::RxBufferSize> rx = h.RxBuffer;

  const bool extracted = h.ExtractFrame();
  FUZZ_CHECK(h.ReceivedCount == 0);
  const int limit = std::clamp(count, 0, TCustomHART::RxBufferSize);
  const int start = AnswerStart(rx, limit);
  FUZZ_CHECK(extracted == (start >= 0));
  if (!extracted) return;
  FUZZ_CHECK(h.AnswerLength == std::min(limit - start, TCustomHART::AnswerFrameSize));
  FUZZ_CHECK(std::equal(h.AnswerFrame.begin(), h.AnswerFrame.begin() + h.AnswerLength, rx.begin() + start));
  FUZZ_CHECK(std::all_of(h.AnswerFrame.begin() + h.AnswerLength, h.AnswerFrame.end(), [](Byte b) { return b == 0; }));

  link.CommErrors = 0;
  const bool parsed = h.ParseFrame();
  const auto& f = h.AnswerFrame;
  const bool isLong = (f[0] & 0x80) != 0;
  const int dataStart = isLong ? 8 : 4;
  FUZZ_CHECK(h.AnswerIsLong == (isLong ? 1 : 0));
  FUZZ_CHECK(h.AnswerCommand == f[static_cast<std::size_t>(dataStart - 2)]);
  FUZZ_CHECK(h.AnswerByteCount == f[static_cast<std::size_t>(dataStart - 1)]);
  FUZZ_CHECK(h.AnswerDataPosition == dataStart + 2);
  FUZZ_CHECK(h.AnswerData().size() == static_cast<std::size_t>(TCustomHART::AnswerFrameSize - h.AnswerDataPosition));
  if (parsed) {
    // The frame holds the whole answer: the count, the two status bytes and the check byte.
    const int checkAt = dataStart + h.AnswerByteCount;
    FUZZ_CHECK(h.AnswerByteCount >= 2);
    FUZZ_CHECK(checkAt < h.AnswerLength);
    FUZZ_CHECK(XorOf(f, 0, checkAt) == 0);
    FUZZ_CHECK(h.AnswerCheck == 0);
    FUZZ_CHECK(h.ResponseCode == f[static_cast<std::size_t>(dataStart)]);
    FUZZ_CHECK(h.DeviceStatusByte == f[static_cast<std::size_t>(dataStart + 1)]);
    FUZZ_CHECK((h.ResponseCode & 0x80) == 0);
    FUZZ_CHECK(link.CommErrors == 0);
  } else {
    FUZZ_CHECK(link.CommErrors >= 1 && link.CommErrors <= 2);
    FUZZ_CHECK(h.Erreur.Code == 256 || h.Erreur.Code == 512);
  }
  FUZZ_CHECK(h.Erreur.Level >= 0 && h.Erreur.Level <= 5);
  if (!parsed) return;

  // The answer, whatever its command, goes to the model.
  TXmt xmt(h.Langue);
  h.LastCommand = -1;
  h.HandleResponse(xmt);
  const bool decoded = h.AnswerFrameType == 6 && h.ResponseCode == 0;
  FUZZ_CHECK(h.LastCommand == (decoded ? h.AnswerCommand : -1));
  FUZZ_CHECK(xmt.Erreur->Level >= 0 && xmt.Erreur->Level <= 5);
  FUZZ_CHECK(xmt.Erreur->Message.size() <= 80);
  FUZZ_CHECK(xmt.Tag.size() <= 10 && xmt.Descriptor.size() <= 20 && xmt.Message.size() <= 40);
  FUZZ_CHECK(xmt.LiveRecord.GetByte(TXmtRecord::OffPollingAddress) <= 255);
}

void Requests(TLink& link, fuzz::Input& in) {
  THART& h = link.Hart;
  const auto templates = RequestTemplates();
  const TRequestTemplate& t = templates[in.Byte() % templates.size()];
  h.NbPreambles = in.Byte();
  h.MasterAdress = in.Bool() ? TMasterAdress::Host_Communicator : TMasterAdress::Hand_Held_Communicator;
  TXmt xmt;
  for (Byte& b : xmt.LongAddress) b = in.Byte();
  const int n = static_cast<int>(in.Range(-2, 40));
  const std::vector<Byte> data = in.Bytes(40);

  h.TxBuffer.fill(0xEE);
  const int end = h.BuildLongFrame(t, xmt, n, data);
  const bool isShort = t.Command == 0;
  const int header = isShort ? 4 : 8;
  const int len = header + t.ByteCount + 1;
  // Preambles, the frame and the trailing 0x00 within the transmit buffer.
  FUZZ_CHECK(end >= len && end < TCustomHART::TxBufferSize);
  const int preambles = end - len;
  FUZZ_CHECK(preambles == std::min<int>(h.NbPreambles, TCustomHART::TxBufferSize - len - 1));
  FUZZ_CHECK(std::all_of(h.TxBuffer.begin(), h.TxBuffer.begin() + preambles, [](Byte b) { return b == 0xFF; }));
  FUZZ_CHECK(h.TxBuffer[static_cast<std::size_t>(end)] == 0x00);
  const Byte* frame = h.TxBuffer.data() + preambles;
  Byte x = 0;
  for (int i = 0; i < len; ++i) x ^= frame[i];
  FUZZ_CHECK(x == 0);
  FUZZ_CHECK(frame[0] == (isShort ? 0x02 : 0x82));
  FUZZ_CHECK(frame[header - 2] == t.Command && frame[header - 1] == t.ByteCount);
  const Byte master = h.MasterAdress == TMasterAdress::Host_Communicator ? 0x80 : 0x00;
  FUZZ_CHECK(frame[1] == (master | (xmt.LongAddress[0] & 0x3F)));
  if (!isShort) FUZZ_CHECK(std::equal(xmt.LongAddress.begin() + 1, xmt.LongAddress.end(), frame + 2));
  // The data given, as far as the template holds them; the rest as the template has it.
  const int given = std::clamp(std::min(n, static_cast<int>(data.size())), 0, static_cast<int>(t.ByteCount));
  FUZZ_CHECK(std::equal(data.begin(), data.begin() + given, frame + header));
  const std::string entry = RequestTemplateEntry(t);
  for (int i = given; i < t.ByteCount; ++i)
    FUZZ_CHECK(frame[header + i] == static_cast<Byte>(entry[static_cast<std::size_t>(1 + header + i)]));

  // The request read back as an answer by a listener on the line is the same frame.
  if (preambles == 0) return;
  h.RxBuffer.fill(0);
  std::copy_n(h.TxBuffer.begin(), end + 1, h.RxBuffer.begin());
  h.ReceivedCount = end + 1;
  FUZZ_CHECK(h.ExtractFrame());
  FUZZ_CHECK(std::equal(h.AnswerFrame.begin(), h.AnswerFrame.begin() + std::min(len, h.AnswerLength), frame));
  link.CommErrors = 0;
  const bool parsed = h.ParseFrame();
  FUZZ_CHECK(h.AnswerCommand == t.Command);
  FUZZ_CHECK(h.AnswerByteCount == t.ByteCount);
  FUZZ_CHECK(parsed == (t.ByteCount >= 2 && (frame[header] & 0x80) == 0));
  if (!isShort) FUZZ_CHECK(h.AnswerDeviceId == Bytes3ToInt(frame[3], frame[4], frame[5]));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in(data, size);
  TLink& link = Link();
  if (in.Byte() % 4 == 0)
    Requests(link, in);
  else
    Answers(link, in);
  return 0;
}
