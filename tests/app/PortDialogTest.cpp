// The port dialog: what it preselects from the ini file and the ports that are there, its
// countdown from the showing, what it opens and saves on confirmation, and ini files that
// are damaged, unusual or cannot be written.

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QPushButton>
#include <QScreen>
#include <QRadioButton>

#include "app/commcfg.h"
#include "app/core/IniFile.h"
#include "support/AppFixture.h"
#include "support/TempCwd.h"

namespace {

const std::string Ini = "Corvin.ini";

std::vector<QRadioButton*> Buttons(const TCfgForm& f) {
  return {f.RBtnOFFLINE, f.RBtnCOM1, f.RBtnCOM2, f.RBtnCOM3, f.RBtnCOM4, f.RBtnCOM5, f.RBtnCOM6, f.RBtnCOM0};
}

// The checked button's name.
std::string Checked(const TCfgForm& f) {
  for (QRadioButton* b : Buttons(f))
    if (b->isChecked()) return b->objectName().toStdString();
  return "(none)";
}

// The ports the link was asked to open, in order.
std::vector<std::string> Opened(const AppWorld& w) {
  std::vector<std::string> opened;
  for (const std::string& a : w.Serial->Asked())
    if (a.rfind("open ", 0) == 0) opened.push_back(a.substr(5));
  return opened;
}

// What one showing did, seen from the user's side.
struct TShowing {
  std::string Checked;             // when shown
  std::string FirstTick;           // the button's caption just after the first tick
  std::int64_t ClosedAfterMs = -1; // from the showing; -1: still open after 20 s
};

// Shows the dialog as its callers do, with the given countdown start, and waits up to 20 s
// for it to confirm itself; then, when still open, `user` runs (nothing: the dialog is
// closed as with its close box). The dialog's timer ticks from the program's start: the
// showing comes 230 ms into a period, so that a countdown that did not start at the showing
// shows.
TShowing Show(AppWorld& w, int tag, const std::function<void(TCfgForm&)>& user = nullptr) {
  TCfgForm& cfg = *w.Program->Forms.CfgForm;
  w.Advance(230);
  TShowing s;
  w.Ui.OnModal["CfgForm"] = [&](TForm&) {
    const std::int64_t t0 = w.Sched.NowMs();
    s.Checked = Checked(cfg);
    w.Advance(500);
    s.FirstTick = cfg.BtnOK->text().toStdString();
    if (w.Sched.AdvanceUntil([&] { return !cfg.Visible(); }, 20000)) {
      s.ClosedAfterMs = w.Sched.NowMs() - t0;
    } else if (user) {
      user(cfg);
    }
  };
  cfg.Tag = tag;
  cfg.ShowModal();
  EXPECT_FALSE(cfg.Visible());
  return s;
}

std::string IniText(int port) { return "[CONFIG]\r\nPORT=" + std::to_string(port) + "\r\n"; }

}  // namespace

// Every saved port with the ports that are there or not, at start-up (countdown from 10).
TEST(PortDialog, SavedChoiceAndThePortsThatAreThere) {
  struct Case {
    const char* name;
    const char* ini;  // null: no file
    std::vector<int> ports;
    bool usb;
    const char* checked;
    std::int64_t closedAfterMs;  // -1: waits for the user
    TPortKind kind;              // the link's transport afterwards (nothing chosen: the one it had)
    std::vector<std::string> opened;
    int saved;
    int beeps;
    bool offline;
  };
  const std::string com2 = PortPath(2);
  const std::vector<Case> cases = {
      {"first run", nullptr, {1, 2}, true, "RBtnCOM0", -1, TPortKind::Serial, {}, 0, 1, false},
      {"COM2 there", "[CONFIG]\r\nPORT=2\r\n", {2}, false, "RBtnCOM2", 5500, TPortKind::Serial, {com2}, 2, 0, false},
      {"COM2 gone", "[CONFIG]\r\nPORT=2\r\n", {1, 3}, true, "RBtnCOM0", 5500, TPortKind::Serial, {}, 0, 1, false},
      {"USB there", "[CONFIG]\r\nPORT=5000\r\n", {1}, true, "RBtnCOM5", 5500, TPortKind::USB, {}, 5000, 0, false},
      {"USB as 5", "[CONFIG]\r\nPORT=5\r\n", {}, true, "RBtnCOM5", 5500, TPortKind::USB, {}, 5000, 0, false},
      {"USB gone", "[CONFIG]\r\nPORT=5000\r\n", {1, 2, 3, 4}, false, "RBtnCOM0", 5500, TPortKind::Serial, {}, 0, 1, false},
      {"offline", "[CONFIG]\r\nPORT=-1\r\n", {1}, true, "RBtnOFFLINE", 5500, TPortKind::None, {}, -1, 0, true},
      {"nothing chosen", "[CONFIG]\r\nPORT=0\r\n", {1}, false, "RBtnCOM0", -1, TPortKind::Serial, {}, 0, 1, false},
      {"unknown number", "[CONFIG]\r\nPORT=6\r\n", {1}, true, "RBtnCOM0", -1, TPortKind::Serial, {}, 0, 1, false},
      {"VCOM's number", "[CONFIG]\r\nPORT=6000\r\n", {1}, true, "RBtnCOM0", -1, TPortKind::Serial, {}, 0, 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempCwd dir;
    if (c.ini) TempCwd::Write(Ini, c.ini);
    const ino_t before = TempCwd::Inode(Ini);
    AppWorld w(TLangue::Anglais, {}, AppPorts{c.ports, c.usb, {}});
    TMainForm& m = w.Main();
    const TShowing s = Show(w, 10);

    EXPECT_EQ(s.Checked, c.checked);
    EXPECT_EQ(s.FirstTick, c.closedAfterMs < 0 ? "Ok" : "Ok (10)");
    EXPECT_EQ(s.ClosedAfterMs, c.closedAfterMs);
    EXPECT_EQ(w.Fake.CloseCount, 1);  // the port in use was closed before the list was made
    ASSERT_TRUE(m.MainHart);
    EXPECT_EQ(m.MainHart->PortKind, c.kind);
    EXPECT_EQ(Opened(w), c.opened);
    EXPECT_EQ(m.MainHart->USBModem->OutputReportLength() > 0, c.kind == TPortKind::USB);  // opened
    if (c.saved == 0) {
      EXPECT_EQ(m.MainHart->Transport(), &w.Fake);  // nothing opened
    }
    EXPECT_EQ(m.OfflineMode, c.offline);
    EXPECT_EQ(w.Ui.Beeps, c.beeps);
    EXPECT_EQ(w.Program->Forms.CfgForm->NoPortChosen(), c.saved == 0);
    // Saved at every confirmation, also when the value did not change: a new file.
    EXPECT_EQ(TempCwd::Read(Ini), IniText(c.saved));
    EXPECT_NE(TempCwd::Inode(Ini), before);
    EXPECT_EQ(dir.Listing(), "Corvin.ini;");

    // Between showings the timer goes on ticking and confirms nothing.
    const auto opened = Opened(w);
    w.Advance(12000);
    EXPECT_EQ(w.Program->Forms.CfgForm->BtnOK->text(), "Ok");
    EXPECT_EQ(Opened(w), opened);
    EXPECT_EQ(w.Ui.Beeps, c.beeps);
  }
}

TEST(PortDialog, FirstRunWaitsAndOkWithNothingChosenBeepsAndSavesZero) {
  TempCwd dir;
  AppWorld w(TLangue::Anglais, {}, AppPorts{{1, 2, 3, 4}, true, {}});
  const TShowing s = Show(w, 10, [&](TCfgForm& f) {
    EXPECT_EQ(w.Ui.Beeps, 0);
    EXPECT_EQ(TempCwd::Read(Ini), "");
    f.BtnOK->click();
    EXPECT_FALSE(f.Visible());
  });
  EXPECT_EQ(s.Checked, "RBtnCOM0");
  EXPECT_EQ(s.ClosedAfterMs, -1);
  EXPECT_EQ(w.Ui.Beeps, 1);  // once: closing after the click does not confirm again
  EXPECT_EQ(TempCwd::Read(Ini), IniText(0));
  EXPECT_TRUE(w.Program->Forms.CfgForm->NoPortChosen());
  EXPECT_TRUE(Opened(w).empty());
}

TEST(PortDialog, ButtonsFollowThePortListAtEachShowing) {
  TempCwd dir;
  AppWorld w(TLangue::Anglais, {}, AppPorts{{1, 3}, true, {}});
  TCfgForm& f = *w.Program->Forms.CfgForm;
  auto enabled = [&] {
    std::string e;
    for (QRadioButton* b : Buttons(f)) e += b->isEnabled() ? '1' : '0';
    return e;
  };
  std::string first;
  Show(w, -1, [&](TCfgForm&) { first = enabled(); });
  // OFFLINE, COM1..COM4, USB, VCOM, (none)
  EXPECT_EQ(first.substr(0, 7), "1101010");
  EXPECT_TRUE(f.RBtnCOM0->isHidden());
  EXPECT_NE(f.RBtnCOM5->toolTip().toStdString().find("Port USB"), std::string::npos);
  EXPECT_EQ(w.Serial->Asked().size(), 4u);  // each COM port probed, none opened

  w.Hid->SetPlugged(false);
  std::string second;
  Show(w, -1, [&](TCfgForm&) { second = enabled(); });
  EXPECT_EQ(second.substr(0, 7), "1101000");
  EXPECT_TRUE(f.RBtnCOM5->toolTip().isEmpty());
}

// The dialog as it shows, the same in both editions: its caption and controls, on top of the
// other windows, centred on the screen.
TEST(PortDialog, ACentredDialogOnTopWithTheSameTextsInBothEditions) {
  for (TLangue langue : {TLangue::Anglais, TLangue::Francais}) {
    SCOPED_TRACE(static_cast<int>(langue));
    TempCwd dir;
    AppWorld w(langue, {}, AppPorts{{1}, false, {}});
    TCfgForm& f = *w.Program->Forms.CfgForm;
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Configuration"));
    EXPECT_EQ(f.windowType(), Qt::Dialog);
    EXPECT_TRUE(f.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(f.GroupBox1->title(), QStringLiteral("Port"));
    std::vector<std::string> captions;
    for (QRadioButton* b : Buttons(f)) captions.push_back(b->text().toStdString());
    EXPECT_EQ(captions, (std::vector<std::string>{"OFFLINE", "COM1", "COM2", "COM3", "COM4", "USB", "VCOM", ""}));
    EXPECT_EQ(f.BtnOK->text(), QStringLiteral("Ok"));
    EXPECT_TRUE(f.RBtnCOM0->isChecked());
    EXPECT_EQ(f.Tag, 10);
    QPoint centre;
    Show(w, -1, [&](TCfgForm& shown) {
      centre = shown.frameGeometry().center();
      EXPECT_TRUE(shown.RBtnCOM0->isHidden());
    });
    const QPoint screen = f.screen()->availableGeometry().center();
    EXPECT_LE((centre - screen).manhattanLength(), 4) << centre.x() << "," << centre.y();
  }
}

// From the Setup menu: no countdown; the user's choice is confirmed by Ok, by the close box
// and by Esc, once.
TEST(PortDialog, SetupWaitsAndConfirmsTheChoiceHoweverItIsClosed) {
  struct Case {
    const char* name;
    std::function<void(TCfgForm&)> user;
    TPortKind kind;
    int saved;
    bool offline;
  };
  const std::vector<Case> cases = {
      {"close box, saved choice", [](TCfgForm& f) { f.close(); }, TPortKind::Serial, 3, false},
      {"Ok, COM1", [](TCfgForm& f) { f.RBtnCOM1->click(); f.BtnOK->click(); }, TPortKind::Serial, 1, false},
      {"Esc, OFFLINE", [](TCfgForm& f) { f.RBtnOFFLINE->click(); f.reject(); }, TPortKind::None, -1, true},
      {"close box, USB", [](TCfgForm& f) { f.RBtnCOM5->click(); f.close(); }, TPortKind::USB, 5000, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempCwd dir;
    TempCwd::Write(Ini, "; kept\r\n[CONFIG]\r\nPORT=3\r\n[OTHER]\r\nKEY=value\r\n");
    AppWorld w(TLangue::Anglais, {}, AppPorts{{1, 3}, true, {}});
    TMainForm& m = w.Main();
    m.OfflineMode = !c.offline;
    const TShowing s = Show(w, -1, [&](TCfgForm& f) {
      EXPECT_EQ(f.BtnOK->text(), "Ok");
      c.user(f);
      EXPECT_FALSE(f.Visible());
    });
    EXPECT_EQ(s.Checked, "RBtnCOM3");
    EXPECT_EQ(s.FirstTick, "Ok");
    EXPECT_EQ(s.ClosedAfterMs, -1);
    EXPECT_EQ(m.MainHart->PortKind, c.kind);
    EXPECT_EQ(m.OfflineMode, c.offline);
    EXPECT_EQ(Opened(w).size(), c.kind == TPortKind::Serial ? 1u : 0u);
    EXPECT_EQ(w.Ui.Beeps, 0);
    EXPECT_EQ(TempCwd::Read(Ini),
              "; kept\r\n[CONFIG]\r\nPORT=" + std::to_string(c.saved) + "\r\n[OTHER]\r\nKEY=value\r\n");
  }
}

// A second start-up showing counts from its own start again, whatever the first did.
TEST(PortDialog, EachShowingCountsDownFromItsTag) {
  TempCwd dir;
  TempCwd::Write(Ini, IniText(1));
  AppWorld w(TLangue::Anglais, {}, AppPorts{{1}, false, {}});
  EXPECT_EQ(Show(w, 10).ClosedAfterMs, 5500);
  w.Advance(170);
  const TShowing again = Show(w, 10);
  EXPECT_EQ(again.FirstTick, "Ok (10)");
  EXPECT_EQ(again.ClosedAfterMs, 5500);
  const TShowing quick = Show(w, 0);
  EXPECT_EQ(quick.FirstTick, "Ok (0)");
  EXPECT_EQ(quick.ClosedAfterMs, 500);
  EXPECT_EQ(Opened(w).size(), 3u);
}

// Files that were edited by hand, damaged or are not text: the dialog reads what it can
// (nothing else reads as 0), and its confirmation writes PORT and keeps every other line.
TEST(PortDialog, DamagedAndUnusualIniFiles) {
  struct Case {
    const char* name;
    std::string ini;
    const char* checked;
    bool countdown;
    std::string after;  // the file after the confirmation
  };
  const std::string longLine(100000, 'x');
  const std::string binary("\0\xFF\xFE\x01[\x80]\r\n=\r\n", 12);
  const std::vector<Case> cases = {
      {"empty", "", "RBtnCOM0", false, "[CONFIG]\r\nPORT=0\r\n"},
      {"lower case, LF, blanks", "[config]\nport = 3\n", "RBtnCOM3", true, "[config]\nPORT=3\n"},
      {"not a number", "[CONFIG]\r\nPORT=COM2\r\n", "RBtnCOM0", false, "[CONFIG]\r\nPORT=0\r\n"},
      {"empty value", "[CONFIG]\r\nPORT=\r\n", "RBtnCOM0", false, "[CONFIG]\r\nPORT=0\r\n"},
      {"fraction", "[CONFIG]\r\nPORT=2.5\r\n", "RBtnCOM0", false, "[CONFIG]\r\nPORT=0\r\n"},
      {"too large", "[CONFIG]\r\nPORT=4294967297\r\n", "RBtnCOM0", false, "[CONFIG]\r\nPORT=0\r\n"},
      {"no last line end", "[CONFIG]\r\nPORT=3", "RBtnCOM3", true, "[CONFIG]\r\nPORT=3\r\n"},
      {"other sections and comments",
       "; saved by hand\r\n[OTHER]\r\nPORT=1\r\n\r\n[CONFIG]\r\nLANG=fr\r\nPORT=3\r\n\r\n[LAST]\r\nX=1\r\n", "RBtnCOM3", true,
       "; saved by hand\r\n[OTHER]\r\nPORT=1\r\n\r\n[CONFIG]\r\nLANG=fr\r\nPORT=3\r\n\r\n[LAST]\r\nX=1\r\n"},
      {"key outside a section", "PORT=3\r\n", "RBtnCOM0", false, "PORT=3\r\n[CONFIG]\r\nPORT=0\r\n"},
      {"header not closed", "[CONFIG\r\nPORT=3\r\n", "RBtnCOM0", false, "[CONFIG\r\nPORT=3\r\n[CONFIG]\r\nPORT=0\r\n"},
      {"key twice", "[CONFIG]\r\nPORT=-1\r\nPORT=3\r\n", "RBtnOFFLINE", true, "[CONFIG]\r\nPORT=-1\r\nPORT=3\r\n"},
      {"section without the key", "[CONFIG]\r\nOTHER=1\r\n\r\n[NEXT]\r\n", "RBtnCOM0", false,
       "[CONFIG]\r\nOTHER=1\r\nPORT=0\r\n\r\n[NEXT]\r\n"},
      {"long line", "[CONFIG]\r\n" + longLine + "\r\nPORT=3\r\n", "RBtnCOM3", true,
       "[CONFIG]\r\n" + longLine + "\r\nPORT=3\r\n"},
      {"binary", binary, "RBtnCOM0", false,
       binary + "[CONFIG]\r\nPORT=0\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempCwd dir;
    TempCwd::Write(Ini, c.ini);
    AppWorld w(TLangue::Anglais, {}, AppPorts{{3}, false, {}});
    const TShowing s = Show(w, 10);
    EXPECT_EQ(s.Checked, c.checked);
    EXPECT_EQ(s.ClosedAfterMs, c.countdown ? 5500 : -1);
    EXPECT_EQ(TempCwd::Read(Ini), c.after);
    EXPECT_EQ(dir.Listing(), "Corvin.ini;");
  }
}

// A directory named Corvin.ini reads as no file and cannot be written: the choice holds
// all the same, and the directory is left as it is.
TEST(PortDialog, AnIniFileThatCannotBeWrittenStopsNothing) {
  TempCwd dir;
  std::filesystem::create_directory(Ini);
  TempCwd::Write(Ini + "/inside", "kept");
  AppWorld w(TLangue::Anglais, {}, AppPorts{{2}, false, {}});
  const TShowing s = Show(w, 10, [](TCfgForm& f) {
    f.RBtnCOM2->click();
    f.BtnOK->click();
  });
  EXPECT_EQ(s.Checked, "RBtnCOM0");
  EXPECT_EQ(Opened(w), std::vector<std::string>{PortPath(2)});
  EXPECT_FALSE(w.Program->Forms.CfgForm->NoPortChosen());
  EXPECT_EQ(w.Ui.Beeps, 0);
  EXPECT_TRUE(std::filesystem::is_directory(Ini));
  EXPECT_EQ(TempCwd::Read(Ini + "/inside"), "kept");
  EXPECT_EQ(dir.Listing(), "Corvin.ini;");
}

// The file is looked for in the directory that is current at each read and write.
TEST(PortDialog, TheIniFileFollowsTheCurrentDirectory) {
  TempCwd first;
  TempCwd::Write(Ini, IniText(-1));
  AppWorld w(TLangue::Anglais, {}, AppPorts{{1}, false, {}});
  EXPECT_EQ(Show(w, 0).Checked, "RBtnOFFLINE");
  {
    TempCwd second;
    const TShowing s = Show(w, -1, [](TCfgForm& f) {
      f.RBtnCOM1->click();
      f.close();
    });
    EXPECT_EQ(s.Checked, "RBtnOFFLINE");  // no saved port: the earlier showing's choice stays
    EXPECT_EQ(TempCwd::Read(Ini), IniText(1));
  }
  EXPECT_EQ(TempCwd::Read(Ini), IniText(-1));
}
