#include "comm/Modem.h"

TCustomModem::~TCustomModem() { Unbind(); }

bool TCustomModem::Send(const std::string& s, int len) {
  if (transport_ == nullptr || s.empty()) return false;
  if (len < 0 || static_cast<std::size_t>(len) > s.size()) return false;
  return transport_->Send(s, len);
}

std::string TCustomModem::Receive() { return transport_ != nullptr ? transport_->Receive() : std::string(); }

int TCustomModem::RxCount() { return transport_ != nullptr ? transport_->RxCount() : 0; }

void TCustomModem::ClosePort() {
  if (transport_ != nullptr) transport_->Close();
}

void TCustomModem::DoRXFrame() { OnRXFrame(this); }

void TCustomModem::DoCDChange() { OnCDChange(this); }

void TCustomModem::DoEndOfTx() {
  if (transport_ != nullptr) transport_->SetRts(false);
  OnEndOfTx(this);
}

void TCustomModem::UseTransport(TModemTransport* transport, TPortKind kind) {
  Unbind();
  transport_ = transport;
  PortKind = kind;
  if (transport_ == nullptr) return;
  transport_->OnRXFrame = [this] { DoRXFrame(); };
  transport_->OnCDChange = [this] { DoCDChange(); };
  transport_->OnEndOfTx = [this] { DoEndOfTx(); };
}

void TCustomModem::Unbind() {
  if (transport_ == nullptr) return;
  transport_->OnRXFrame = nullptr;
  transport_->OnCDChange = nullptr;
  transport_->OnEndOfTx = nullptr;
}
