#include "SimTransmitter.h"

#include <algorithm>

#include "SimWire.h"

namespace {

// A slave needs at least two preamble bytes to lock onto a frame.
constexpr std::size_t kMinPreambles = 2;

constexpr std::uint8_t kFrameBurst = 1, kFrameRequest = 2, kFrameAnswer = 6;

std::string LongTagKey(std::span<const std::uint8_t> bytes) {
  std::string s(bytes.begin(), bytes.begin() + std::min<std::size_t>(bytes.size(), 32));
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
  return s;
}

}  // namespace

struct SimTransmitter::Frame {
  std::uint8_t Delimiter = 0;
  std::vector<std::uint8_t> Address;  // 1 byte (short) or 5 bytes (long)
  std::uint8_t Command = 0;
  std::vector<std::uint8_t> Data;
  int Preambles = 0;
};

std::optional<std::vector<std::uint8_t>> SimTransmitter::Feed(std::span<const std::uint8_t> bytes) {
  pending_.insert(pending_.end(), bytes.begin(), bytes.end());
  const std::vector<std::uint8_t>& p = pending_;
  const std::size_t n = p.size();
  constexpr std::size_t none = static_cast<std::size_t>(-1);

  // Scan for preambles and a frame behind them. A frame with a bad check byte may have been
  // noise that merely looked like a start, so the scan resumes right after its delimiter.
  // An incomplete frame is kept for the next bytes, unless a complete one follows it.
  std::size_t pos = 0;
  std::size_t keepFrom = none;
  std::optional<std::vector<std::uint8_t>> answer;
  for (;;) {
    while (pos < n && p[pos] != 0xFF) ++pos;
    const std::size_t runStart = pos;
    while (pos < n && p[pos] == 0xFF) ++pos;
    if (pos >= n) {
      keepFrom = std::min(keepFrom, runStart);
      break;
    }
    if (pos - runStart < kMinPreambles) continue;

    const std::size_t d = pos;
    const std::uint8_t delimiter = p[d];
    const std::uint8_t type = delimiter & 0x07;
    if (type != kFrameBurst && type != kFrameRequest && type != kFrameAnswer) continue;
    const std::size_t addressLen = (delimiter & 0x80) ? 5 : 1;
    const std::size_t expansion = (delimiter >> 5) & 0x03;
    const std::size_t header = 1 + addressLen + expansion + 2;  // up to the byte count
    const std::size_t total = n - d >= header ? header + p[d + header - 1] + 1 : none;
    if (total == none || n - d < total) {
      keepFrom = std::min(keepFrom, runStart);
      pos = d + 1;
      continue;
    }
    if (SimXor(std::span<const std::uint8_t>(p.data() + d, total)) != 0) {
      pos = d + 1;
      continue;
    }
    pos = d + total;
    if (type != kFrameRequest) continue;  // another slave's answer, or a burst message

    Frame f;
    f.Delimiter = delimiter;
    f.Address.assign(p.begin() + static_cast<std::ptrdiff_t>(d + 1),
                     p.begin() + static_cast<std::ptrdiff_t>(d + 1 + addressLen));
    f.Command = p[d + header - 2];
    f.Data.assign(p.begin() + static_cast<std::ptrdiff_t>(d + header),
                  p.begin() + static_cast<std::ptrdiff_t>(d + total - 1));
    f.Preambles = static_cast<int>(d - runStart);
    answer = Handle(f);
    if (answer) {
      keepFrom = pos;  // what follows the answered request waits for the next call
      break;
    }
  }
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(std::min(keepFrom, n)));
  return answer;
}

std::optional<std::vector<std::uint8_t>> SimTransmitter::Handle(const Frame& f) {
  const bool isLong = (f.Delimiter & 0x80) != 0;
  const std::uint8_t masterBit = f.Address[0] & 0x80;
  bool ours = false;
  bool broadcast = false;
  if (!isLong) {
    ours = (f.Address[0] & 0x3F) == Identity.PollingAddress;
  } else {
    const std::uint32_t id = (std::uint32_t{f.Address[2]} << 16) | (std::uint32_t{f.Address[3]} << 8) | f.Address[4];
    ours = (f.Address[0] & 0x3F) == (Identity.ManufacturerId & 0x3F) && f.Address[1] == Identity.DeviceType &&
           id == (Identity.DeviceId & 0xFFFFFF);
    broadcast = !ours && (f.Address[0] & 0x3F) == 0 && f.Address[1] == 0 && id == 0;
  }
  if (!ours && !broadcast) return std::nullopt;
  Requests.push_back({isLong, broadcast, masterBit != 0, f.Command, f.Data, f.Preambles});

  // The broadcast address serves the two searches only, and a search is answered only by
  // the device that holds the tag asked for.
  if (broadcast && f.Command != 11 && f.Command != 21) return std::nullopt;
  if (f.Command == 11) {
    SimBytes tag;
    SimPutPacked(tag, State.Tag, 8);
    if (f.Data.size() < tag.size() || !std::equal(tag.begin(), tag.end(), f.Data.begin())) return std::nullopt;
  }
  if (f.Command == 21) {
    const std::string own(State.LongTag.begin(), State.LongTag.begin() + std::min<std::size_t>(State.LongTag.size(), 32));
    if (f.Data.size() < 32 || LongTagKey(f.Data) != LongTagKey({reinterpret_cast<const std::uint8_t*>(own.data()), own.size()}))
      return std::nullopt;
  }
  if (Faults.Silent) return std::nullopt;

  // The answer carries the address the request came to (the device's own for a broadcast),
  // taken before a write may change it.
  SimBytes frame;
  if (!isLong) {
    frame = {0x06, static_cast<std::uint8_t>(masterBit | (Identity.PollingAddress & 0x3F))};
  } else {
    frame = {0x86, static_cast<std::uint8_t>(masterBit | (Identity.ManufacturerId & 0x3F)), Identity.DeviceType};
    SimPutU24(frame, Identity.DeviceId);
  }

  int responseCode = Faults.ResponseCode & 0xFF;
  SimBytes data;
  if (responseCode == 0) {
    responseCode = Apply(f.Command, f.Data);
    if (responseCode == 0)
      data = AnswerData(Faults.AnswerAsCommand >= 0 ? static_cast<std::uint8_t>(Faults.AnswerAsCommand) : f.Command, f.Data);
  }
  SimPutU8(frame, Faults.AnswerAsCommand >= 0 ? static_cast<unsigned>(Faults.AnswerAsCommand) : f.Command);
  SimPutU8(frame, static_cast<unsigned>(data.size() + 2));
  SimPutU8(frame, static_cast<unsigned>(responseCode));
  SimPutU8(frame, Faults.DeviceStatus);
  frame.insert(frame.end(), data.begin(), data.end());
  SimPutU8(frame, SimXor(frame));
  if (Faults.CorruptByteIndex >= 0 && static_cast<std::size_t>(Faults.CorruptByteIndex) < frame.size())
    frame[static_cast<std::size_t>(Faults.CorruptByteIndex)] ^= 0x55;

  std::vector<std::uint8_t> out(static_cast<std::size_t>(std::max(AnswerPreambles, 0)), 0xFF);
  out.insert(out.end(), frame.begin(), frame.end());
  return out;
}
