#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "comm/Modem.h"
#include "support/FakeHid.h"
#include "support/FakeSerial.h"
#include "support/RealTimeLoop.h"
#include "support/VirtualScheduler.h"

namespace {

std::string PortText(int n, const char* state) { return "Le port de communication n\xB0" + std::to_string(n) + state; }

// A modem with COM2 on a pseudo-terminal, COM1, COM3 and COM4 absent, a recorded serial
// back-end and the fake USB modem.
template <class Sched>
struct Ports {
  Sched sched;
  PtyPair pty;
  std::shared_ptr<FakeHidModem> usb = std::make_shared<FakeHidModem>();
  RecordingSerial* serial = nullptr;
  std::unique_ptr<TCustomModem> modem;

  Ports() {
    pty.PointCom(2);
    for (int n : {1, 3, 4}) PointComNowhere(n);
    auto rec = std::make_unique<RecordingSerial>();
    serial = rec.get();
    modem = std::make_unique<TCustomModem>(sched, std::move(rec), usb);
  }
};

struct ModemPorts : ::testing::Test, Ports<RealTimeLoop> {};

}  // namespace

TEST_F(ModemPorts, ListPortsNamesTheSerialPortsAndTheFirstUSBModem) {
  ASSERT_TRUE(pty.Ok());
  modem->USBModem->SetPid(4);
  std::array<TPortInfo, 6> ports;
  modem->ListPorts(ports);
  const std::vector<std::pair<std::string, bool>> serialPorts = {
      {"Port serie n\xB0" "1", false}, {"Port serie n\xB0" "2", true}, {"Port serie n\xB0" "3", false}, {"Port serie n\xB0" "4", false}};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(ports[i].Caption, serialPorts[i].first);
    EXPECT_EQ(ports[i].Device, "COM" + std::to_string(i + 1));
    EXPECT_EQ(ports[i].Available, serialPorts[i].second) << i;
  }
  EXPECT_EQ(ports[4].Caption, "Port USB n\xB0" "0 :  Fake Maker  HART USB Modem  {0001}");
  EXPECT_EQ(ports[4].Device, "fake-hid:0");
  EXPECT_TRUE(ports[4].Available);
  EXPECT_EQ(modem->USBModem->Pid(), 9);
  EXPECT_EQ(ports[5].Caption, "");
  EXPECT_FALSE(ports[5].Available);

  usb->HasStrings = false;  // strings that cannot be read
  modem->ListPorts(ports);
  EXPECT_EQ(ports[4].Caption, "Port USB n\xB0" "0 :      {unknown}");

  usb->SetPlugged(false);
  ports[4].Caption = "stale";
  modem->ListPorts(ports);
  EXPECT_EQ(ports[4].Caption, "");
  EXPECT_EQ(ports[4].Device, "");
  EXPECT_FALSE(ports[4].Available);
}

TEST_F(ModemPorts, OpenPortChoosesTheTransportAndGivesItsStatusText) {
  ASSERT_TRUE(pty.Ok());
  struct Case {
    int port;
    bool plugged;
    TPortKind kind;
    std::string msg;
  };
  const std::vector<Case> cases = {
      {0, true, TPortKind::None, ""},
      {-1, true, TPortKind::None, ""},
      {1, true, TPortKind::Serial, PortText(1, " n'est pas disponible.")},
      {2, true, TPortKind::Serial, PortText(2, " est ouvert.")},
      {5000, false, TPortKind::USB, "Le dispositif USB n'est pas ouvert."},
      {5001, true, TPortKind::USB, "Le dispositif USB n'est pas ouvert."},
      {5000, true, TPortKind::USB, "Le dispositif USB est ouvert."},
  };
  for (const Case& c : cases) {
    usb->SetPlugged(c.plugged);
    modem->ClosePort();
    std::string msg = "stale";
    modem->OpenPort(c.port, msg);
    EXPECT_EQ(msg, c.msg) << c.port;
    EXPECT_EQ(modem->PortKind, c.kind) << c.port;
    const bool opened = c.msg.find(" est ouvert.") != std::string::npos;
    if (!opened) {
      EXPECT_FALSE(modem->Send("\xFF\x02", 2)) << c.port;
      EXPECT_EQ(modem->Receive(), "") << c.port;
      EXPECT_EQ(modem->RxCount(), 0) << c.port;
    }
    if (c.port == 2) {
      // The serial modem's line, and the read interval the link works with.
      const TComm& com = *modem->SerialPort;
      EXPECT_EQ(com.BaudRate(), TBaudRate::__1200);
      EXPECT_EQ(com.Parity(), TParity::ODD);
      EXPECT_EQ(com.StopBits(), TStopBits::TWO);
      EXPECT_EQ(com.ByteSize(), 8);
      EXPECT_EQ(com.EventChar(), '\xFF');
      EXPECT_TRUE(com.ModemDTR());
      EXPECT_FALSE(com.ModemRTS());
      EXPECT_EQ(com.Timeouts().ReadIntervalTimeout, 50);
    }
  }
  // The USB modem was chosen last: the serial port is closed.
  EXPECT_EQ(modem->SerialPort->GetHandle(), 0);
  modem->ClosePort();
  EXPECT_EQ(modem->PortKind, TPortKind::USB);
}

TEST_F(ModemPorts, TheUSBCountIsThatOfTheFrameReceiveGaveEvenWhenAFrameCompletesInBetween) {
  usb->SetReportPeriodMs(1);
  int announced = 0;
  modem->OnRXFrame = [&](TObject*) { ++announced; };
  std::string msg;
  modem->OpenPort(5000, msg);
  ASSERT_EQ(msg, "Le dispositif USB est ouvert.");

  const std::string first("\xFF\xFF\x06\x80\x00\x0E\x00\x00\x08", 9);
  usb->SendFrame(FakeHidModem::TReport(first.begin(), first.end()));
  ASSERT_TRUE(sched.RunUntil([&] { return announced == 1; }, 5000));
  EXPECT_EQ(modem->RxCount(), 9);
  ASSERT_EQ(modem->Receive(), first);

  // The next frame completes on the I/O thread while the link is between Receive and RxCount.
  const std::string second(20, '\x33');
  usb->SendFrame(FakeHidModem::TReport(second.begin(), second.end()));
  for (int i = 0; i < 500 && modem->USBModem->RxCount() != 20; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_EQ(modem->USBModem->RxCount(), 20);
  EXPECT_EQ(modem->RxCount(), 9);  // the bytes Receive gave, not the frame behind them

  // Its announcement then leads to a read of the new frame, with its own count.
  ASSERT_TRUE(sched.RunUntil([&] { return announced == 2; }, 5000));
  EXPECT_EQ(modem->RxCount(), 20);
  EXPECT_EQ(modem->Receive(), second);
  EXPECT_EQ(modem->RxCount(), 20);
  modem->ClosePort();
}

TEST(ModemSerialKeying, RtsIsUpFromTheSendUntilTheEndOfTransmissionAndDownBeforeItsEvent) {
  Ports<VirtualScheduler> p;
  ASSERT_TRUE(p.pty.Ok());
  TCustomModem& modem = *p.modem;
  std::vector<std::string> seen;
  modem.OnEndOfTx = [&](TObject* s) { seen.push_back(s == &modem && !p.serial->Rts() ? "eot" : "eot, rts up"); };
  std::string msg;
  modem.OpenPort(2, msg);
  ASSERT_EQ(msg, PortText(2, " est ouvert."));
  const std::string request = std::string(5, '\xFF') + std::string("\x02\x80\x00\x00\x82\x00", 6) + "A";  // 12 bytes
  const std::int64_t t0 = p.sched.NowMs();
  ASSERT_TRUE(modem.Send(request, 12));
  EXPECT_TRUE(p.serial->Rts());
  EXPECT_EQ(p.pty.ReadFar(12, 2000), request);
  ASSERT_TRUE(p.serial->WaitDrainHandedOver(p.sched, 1));
  p.sched.Advance(119);
  EXPECT_TRUE(p.serial->Rts());  // still transmitting
  EXPECT_TRUE(seen.empty());
  ASSERT_TRUE(p.sched.AdvanceUntil([&] { return !seen.empty(); }, 5000));
  EXPECT_EQ(seen, (std::vector<std::string>{"eot"}));
  EXPECT_GE(p.sched.NowMs() - t0, 120);
  const auto rts = p.serial->RtsLog();
  ASSERT_GE(rts.size(), 2u);
  EXPECT_EQ(std::vector<bool>(rts.end() - 2, rts.end()), (std::vector<bool>{true, false}));
}

TEST_F(ModemPorts, TheUSBModemCarriesWholeFramesAndEndOfTxAlsoLowersTheSerialRts) {
  usb->SetReportPeriodMs(1);
  std::vector<std::string> seen;
  modem->OnRXFrame = [&](TObject*) { seen.push_back("rx"); };
  modem->OnEndOfTx = [&](TObject*) { seen.push_back(modem->SerialPort->ModemRTS() ? "eot, rts up" : "eot"); };
  std::string msg;
  modem->OpenPort(5000, msg);
  ASSERT_EQ(msg, "Le dispositif USB est ouvert.");

  const std::string frame("\x06\x80\x00\x0E\x00\x00\x10\x20", 8);
  ASSERT_TRUE(modem->Send(frame, 8));
  const auto frames = usb->Frames();
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(std::string(frames[0].begin(), frames[0].end()), frame);
  EXPECT_FALSE(modem->Send(std::string(256, 'x'), 256));  // more than a frame can hold

  const std::string answer("\xFF\xFF\x06\x80\x00\x0E\x00\x00\x08", 9);
  usb->SendFrame(FakeHidModem::TReport(answer.begin(), answer.end()));
  ASSERT_TRUE(sched.RunUntil([&] { return !seen.empty(); }, 5000));
  EXPECT_EQ(modem->RxCount(), 9);
  EXPECT_EQ(modem->Receive(), answer);
  EXPECT_EQ(modem->Receive(), answer);  // the same frame until the next one

  // The modem's transmitter falls: the end of transmission, with the serial RTS down.
  modem->SerialPort->SetModemRTS(true);
  int statusChanges = 0;
  modem->USBModem->OnStatusChange = [&](TObject*) { ++statusChanges; };
  usb->SetStatus(0x01);
  ASSERT_TRUE(sched.RunUntil([&] { return statusChanges == 1; }, 5000));
  usb->SetStatus(0x00);
  ASSERT_TRUE(sched.RunUntil([&] { return seen.size() >= 2; }, 5000));
  EXPECT_EQ(seen, (std::vector<std::string>{"rx", "eot"}));
  EXPECT_FALSE(modem->SerialPort->ModemRTS());

  modem->ClosePort();  // the USB modem stops
  const TComm& com = *modem->SerialPort;
  EXPECT_EQ(com.GetHandle(), 0);
  EXPECT_FALSE(modem->Send(frame, 8));
  EXPECT_EQ(modem->PortKind, TPortKind::USB);
}
