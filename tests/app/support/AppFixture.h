#pragma once

// The whole application offscreen in virtual time: the program's windows on a
// VirtualScheduler, the real link on a fake serial modem answered by the simulated
// transmitter over a timed HART line, and recording desktop services.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/Program.h"
#include "app/main.h"
#include "support/FakeHid.h"
#include "support/FakeSerial.h"
#include "support/FakeTransport.h"
#include "support/RecordingUi.h"
#include "support/SimLine.h"
#include "support/SimTransmitter.h"
#include "support/VirtualScheduler.h"

// The ports the program sees: COM1 to COM4 are the paths of PortPath(1..4) (none of them a
// real device) and the ones listed in Ports are there; the USB modem is there when USB is set.
struct AppPorts {
  std::vector<int> Ports;  // 1 to 4
  bool USB = false;
  std::vector<std::string> Args;  // the command line
};
std::string PortPath(int n);

struct AppWorld {
  explicit AppWorld(TLangue langue = TLangue::Anglais, TFormatSettings fs = {}, AppPorts ports = {});
  ~AppWorld();

  // The test back-ends of the link's transports.
  ProbeSerial* Serial = nullptr;
  std::shared_ptr<FakeHidModem> Hid = std::make_shared<FakeHidModem>();

  VirtualScheduler Sched;
  SimTransmitter Sim;
  FakeTransport Fake{Sched};
  SimLine Line{Sched, Sim, Fake.Deliverer()};
  RecordingUi Ui;
  std::unique_ptr<TProgram> Program;

  TMainForm& Main() const { return Program->MainForm(); }
  TJobList& Jobs() const { return Program->Jobs; }
  TXmt& Xmt() const { return Main().Transmetteur; }

  void Advance(std::int64_t ms) { Sched.Advance(ms); }
  // Commands the simulated transmitter received, in order.
  std::vector<int> Commands() const;
  // Runs until the transmitter has received n more requests (false after maxMs).
  bool AdvanceUntilRequests(std::size_t n, std::int64_t maxMs = 10000);
  // Connects the model to the simulated transmitter as a search by address does (command
  // 0 answered), and leaves the list idle and the pages free.
  void Connect();
  // Sets the list and the tick as a window would, and runs until the list is idle again
  // (its index on a 0) or maxMs passed; true when it went idle.
  bool RunList(std::initializer_list<std::int32_t> jobs, std::int64_t maxMs = 60000);
};

// The program's objects of one edition without a line, for tests of what windows show.
struct AppFixture : ::testing::Test {
  AppWorld World;
  TMainForm& Main() const { return World.Main(); }
};
