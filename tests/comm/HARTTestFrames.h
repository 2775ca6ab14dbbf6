#pragma once

// What the HART link tests share: a link on a fake modem in virtual time, answers written
// by hand (with their own check byte, not the program's) and a reader of sent requests.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "comm/HART.h"
#include "support/FakeTransport.h"
#include "support/VirtualScheduler.h"

namespace hart_test {

inline std::string Bytes(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s.push_back(static_cast<char>(b));
  return s;
}

inline std::string Hex(const std::string& s) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : s) {
    if (!out.empty()) out += ' ';
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

inline char XorAll(const std::string& s) {
  unsigned char x = 0;
  for (unsigned char c : s) x ^= c;
  return static_cast<char>(x);
}

// A slave's long answer: preambles, 0x86, address, command, byte count, the two status
// bytes, data and check byte.
inline std::string LongAnswer(std::array<int, 5> address, int command, int rc, int status, const std::string& data,
                              int preambles = 5) {
  std::string f = Bytes({0x86, address[0], address[1], address[2], address[3], address[4], command,
                         static_cast<int>(data.size()) + 2, rc, status});
  f += data;
  f += XorAll(f);
  return std::string(static_cast<std::size_t>(preambles), '\xFF') + f;
}

inline std::string ShortAnswer(int address, int command, int rc, int status, const std::string& data) {
  std::string f = Bytes({0x06, address, command, static_cast<int>(data.size()) + 2, rc, status});
  f += data;
  f += XorAll(f);
  return std::string(5, '\xFF') + f;
}

// A request as it left the link.
struct TRequestSeen {
  int Preambles = 0;
  bool Long = false;
  std::string Address;  // 1 byte (short) or 5 bytes (long)
  int Command = -1;
  std::string Data;
  bool CheckOk = false;
  bool Trailer = false;  // exactly one 0x00 after the check byte
};

inline TRequestSeen ReadRequest(const std::string& sent) {
  TRequestSeen r;
  std::size_t i = 0;
  while (i < sent.size() && static_cast<unsigned char>(sent[i]) == 0xFF) ++i;
  r.Preambles = static_cast<int>(i);
  if (i >= sent.size()) return r;
  const std::string f = sent.substr(i);
  r.Long = static_cast<unsigned char>(f[0]) == 0x82;
  const std::size_t header = r.Long ? 8 : 4;
  if (f.size() < header + 2) return r;
  r.Address = f.substr(1, header - 3);
  r.Command = static_cast<unsigned char>(f[header - 2]);
  const std::size_t bc = static_cast<unsigned char>(f[header - 1]);
  if (f.size() < header + bc + 1) return r;
  r.Data = f.substr(header, bc);
  r.CheckOk = XorAll(f.substr(0, header + bc + 1)) == 0;
  r.Trailer = f.size() == header + bc + 2 && f.back() == '\0';
  return r;
}

// A link on a fake serial modem; its answers go to the model as the main window does it.
struct LinkFixture : ::testing::Test {
  VirtualScheduler sched;
  FakeTransport fake{sched};
  TXmt xmt;
  THART hart{sched};
  std::vector<std::int64_t> arrivals;  // times of OnDataArrival
  std::vector<std::string> commErrors;  // link message at each OnCommError

  LinkFixture() {
    hart.UseTransport(&fake, TPortKind::Serial);
    hart.OnDataArrival = [this](TObject*) {
      arrivals.push_back(sched.NowMs());
      hart.HandleResponse(xmt);
    };
    hart.OnCommError = [this](TObject*) { commErrors.push_back(hart.Erreur.GetMessage()); };
    hart.Now = [] { return 36892.5; };  // 2001-01-01 12:00
  }

  // The device the tests talk to: manufacturer 0x26, type 0x10, id 0A 0B 0C.
  void Address(std::array<Byte, 5> address = {0x26, 0x10, 0x0A, 0x0B, 0x0C}) {
    xmt.LongAddress = address;
    xmt.DeviceId = Bytes3ToInt(address[2], address[3], address[4]);
  }
  std::string LastSent() const { return fake.LastSent(); }
};

}  // namespace hart_test
