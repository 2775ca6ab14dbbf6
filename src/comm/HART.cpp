// The HART master link: receive timing on the 20 ms timer, frame reads, supervision.

#include <algorithm>
#include <ctime>
#include <utility>

#include "comm/HART.h"

namespace {

constexpr int TickMs = 20;
constexpr int SettleTicks = 6;        // the answer is read at the 7th tick of silence
constexpr int SupervisionTicks = 25;  // a check every 26 ticks

TDateTime LocalNow() {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  const auto date = TryEncodeDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
  const auto time = TryEncodeTime(tm.tm_hour, tm.tm_min, std::min(tm.tm_sec, 59), 0);
  return date.value_or(0) + time.value_or(0);
}

}  // namespace

TCustomHART::TCustomHART(Scheduler& scheduler, TLangue langue, std::unique_ptr<SerialBackend> serialBackend,
                         std::shared_ptr<HidBackend> hidBackend)
    : TCustomModem(scheduler, std::move(serialBackend), std::move(hidBackend)), Langue(langue), Now(LocalNow) {
  Timer = std::make_unique<TTimer>(scheduler, TickMs);
  Timer->OnTimer = [this](TObject*) { TimerTick(); };
  OnEndOfTx = [this](TObject*) { DoSendComplete(); };
  OnRXFrame = [this](TObject*) { DataArrived(); };
}

TCustomHART::~TCustomHART() { Timer.reset(); }

void TCustomHART::DoSendComplete() { OnSendComplete(this); }

bool TCustomHART::SendFrame(const std::string& s, int count) { return Send(s, count + 1); }

bool TCustomHART::SendTxBuffer(int count) {
  return SendFrame(std::string(TxBuffer.begin(), TxBuffer.end()), count);
}

void TCustomHART::DataArrived() {
  SettleCounter = 0;
  OnModemChange(this);
}

void TCustomHART::TimerTick() {
  if (SettleCounter != -1) {
    if (SettleCounter < SettleTicks) {
      ++SettleCounter;
    } else {
      ReadReceivedData();
      SettleCounter = -1;
      SupervisionCounter = 0;
      if (LastCommand == ExpectedCommand) Erreur.Report("", -10, 0);
    }
  }
  if (SupervisionCounter == SupervisionTicks) {
    if (LastCommand == -1 && ExpectedCommand != -1) {
      if (Erreur.Report(Texte(Langue, "No response", "Pas de r\xE9ponse"), +1, 768)) OnCommError(this);
    }
    SupervisionCounter = 0;
  } else {
    ++SupervisionCounter;
  }
}

void TCustomHART::ReadReceivedData() {
  const std::string s = Receive();
  RxBuffer.fill(0);
  std::copy_n(s.begin(), std::min<std::size_t>(s.size(), RxBuffer.size()), RxBuffer.begin());
  ReceivedCount = RxCount();
  if (ExtractFrame() && ParseFrame()) OnDataArrival(this);
}
