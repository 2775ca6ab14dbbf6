#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "comm/HART.h"
#include "support/FakeHid.h"
#include "support/FakeSerial.h"
#include "support/RealTimeLoop.h"

namespace {

// Command 0 to polling address 0: delimiter, address, command, byte count, check byte.
const std::string Command0(std::string("\x02\x00\x00\x00\x02", 5));

std::string ProbePath(int n) { return "/nonexistent/corvin-com" + std::to_string(n); }

// A link whose serial and USB transports run on the test back-ends; COM1 to COM4 name paths
// no real port has, and only COM3 is "there".
struct HARTBackends : ::testing::Test {
  RealTimeLoop loop;
  std::shared_ptr<FakeHidModem> usb = std::make_shared<FakeHidModem>();
  ProbeSerial* serial = nullptr;
  std::unique_ptr<THART> hart;

  HARTBackends() {
    for (int n = 1; n <= 4; ++n) PointComNowhere(n);
    auto probe = std::make_unique<ProbeSerial>(ProbePath(3));
    serial = probe.get();
    hart = std::make_unique<THART>(loop, TLangue::Anglais, std::move(probe), usb);
    usb->SetReportPeriodMs(1);
  }
};

}  // namespace

TEST_F(HARTBackends, ListsThePortsThroughTheBackEndsItWasGiven) {
  std::array<TPortInfo, 6> ports;
  hart->ListPorts(ports);
  EXPECT_EQ(serial->Asked(), (std::vector<std::string>{"probe " + ProbePath(1), "probe " + ProbePath(2),
                                                        "probe " + ProbePath(3), "probe " + ProbePath(4)}));
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(ports[i].Available, i == 2) << "COM" << i + 1;
  EXPECT_EQ(ports[4].Device, "fake-hid:0");
  EXPECT_TRUE(ports[4].Available);
}

TEST_F(HARTBackends, ARequestGoesOutThroughTheSerialBackEndItWasGiven) {
  int sent = 0;
  hart->OnSendComplete = [&](TObject*) { ++sent; };
  std::string msg;
  hart->OpenPort(1, msg);
  EXPECT_EQ(msg, "Le port de communication n\xB0" "1 n'est pas disponible.");
  hart->OpenPort(3, msg);
  ASSERT_EQ(msg, "Le port de communication n\xB0" "3 est ouvert.");
  EXPECT_EQ(serial->Asked(), (std::vector<std::string>{"open " + ProbePath(1), "open " + ProbePath(3)}));

  ASSERT_TRUE(hart->ReadUniqueIdentifier(0));
  const std::string written = serial->Written();
  EXPECT_EQ(written.substr(0, 5), std::string(5, '\xFF')) << "preambles";
  EXPECT_NE(written.find(Command0), std::string::npos);
  EXPECT_TRUE(loop.RunUntil([&] { return sent == 1; }, 5000)) << "the end of transmission came from the back-end";
  hart->ClosePort();
}

TEST_F(HARTBackends, ARequestGoesOutThroughTheUSBBackEndItWasGiven) {
  std::string msg;
  hart->OpenPort(TCustomModem::USBPortBase, msg);
  ASSERT_EQ(msg, "Le dispositif USB est ouvert.");
  // Opened for its report lengths; the I/O thread opens it again at each of its cycles, as
  // soon as it runs, so the count depends on the thread's timing.
  EXPECT_GE(usb->Opens(), 1);
  ASSERT_TRUE(hart->ReadUniqueIdentifier(0));
  ASSERT_TRUE(loop.RunUntil([&] { return !usb->Frames().empty(); }, 5000)) << "the frame reached the modem";
  const auto frames = usb->Frames();
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_NE(std::string(frames[0].begin(), frames[0].end()).find(Command0), std::string::npos);
  EXPECT_TRUE(serial->Written().empty());
  hart->ClosePort();
}
