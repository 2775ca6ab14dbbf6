// The program's start-up once the main window shows: the edition's captions and menu, the
// port dialog's outcome (the search page, or the end of the program), the command line's
// "-notimer", and the main window's closing, after which nothing of the link runs.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>

#include "app/commcfg.h"
#include "app/Texts.h"
#include "support/AppFixture.h"
#include "support/TempCwd.h"

namespace {

const std::string Ini = "Corvin.ini";

// Runs the main window's start-up; while the port dialog is up, waits up to 20 s for it to
// confirm itself, then `user` runs when it is still open (nothing: it is closed as with its
// close box). Gives the time from the showing to the dialog's closing (-1: the user's).
std::int64_t StartUp(AppWorld& w, const std::function<void(TCfgForm&)>& user = nullptr) {
  TCfgForm& cfg = *w.Program->Forms.CfgForm;
  std::int64_t closedAfter = -1;
  w.Ui.OnModal["CfgForm"] = [&](TForm&) {
    const std::int64_t t0 = w.Sched.NowMs();
    if (w.Sched.AdvanceUntil([&] { return !cfg.Visible(); }, 20000)) {
      closedAfter = w.Sched.NowMs() - t0;
    } else if (user) {
      user(cfg);
    }
  };
  w.Advance(170);  // the dialog's timer is not in step with the showing
  w.Main().FormShow();
  return closedAfter;
}

std::string Title(const TMainForm& m) { return m.windowTitle().toStdString(); }

// The program's windows, by name, in the order of the start-up.
const std::vector<std::string> WindowOrder = {
    "MainForm",      "DessinForm",      "StatusCommForm", "TraceForm",     "ErreurForm",    "TstLoopForm",
    "TstXTForm",     "TambForm",        "DeriveForm",     "AjustSAForm",   "AjustCaptForm", "AjLINForm",
    "StatusXTForm",  "NSForm",          "E2PromForm",     "AboutBox",      "LoadForm",      "XfertForm",
    "WarningAlrForm", "InputSelectForm", "MemoLogForm",   "OfflineSelectForm", "TimeDateFrom", "CfgForm"};

// Every widget created while it lives, in order: each widget gets a Create event as it is
// constructed.
struct TCreations : QObject {
  TCreations() { qApp->installEventFilter(this); }
  ~TCreations() override { qApp->removeEventFilter(this); }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Create && watched->isWidgetType()) Order.push_back(watched);
    return false;
  }
  // Where the widget was created; -1 when it was not. An address can come back after a
  // widget was freed: the last creation is the living one's.
  int IndexOf(const QObject* widget) const {
    for (int i = static_cast<int>(Order.size()) - 1; i >= 0; --i)
      if (Order[static_cast<std::size_t>(i)] == widget) return i;
    return -1;
  }
  std::vector<QObject*> Order;
};

// The living windows with that name.
std::vector<QWidget*> WindowsNamed(const std::string& name) {
  std::vector<QWidget*> found;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName().toStdString() == name) found.push_back(w);
  return found;
}

}  // namespace

// The application's title is the same in both editions, and is the application's name only:
// a display name of its own would be added to every window's caption by the desktop.
TEST(Startup, TheApplicationsTitleInBothEditions) {
  const QString before = QCoreApplication::applicationName();
  for (TLangue langue : {TLangue::Anglais, TLangue::Francais}) {
    QCoreApplication::setApplicationName(QStringLiteral("before"));
    AppWorld w(langue);
    EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("Logiciel Ostrel"));
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("Logiciel Ostrel"));
    QCoreApplication::setApplicationName(QStringLiteral("probe"));
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("probe"));
  }
  QCoreApplication::setApplicationName(before);
}

// The 24 windows, each created once, in the order of the start-up, the main window first; all
// hidden but the main window once it shows, and still the same windows after the port dialog
// has been shown twice.
TEST(Startup, TheWindowsAreCreatedOnceInOrderAndHiddenButTheMainWindow) {
  TempCwd dir;
  TempCwd::Write(Ini, "[CONFIG]\r\nPORT=-1\r\n");
  std::vector<QWidget*> windows;
  {
    TCreations creations;
    AppWorld w(TLangue::Anglais, {}, AppPorts{{}, false, {"-notimer"}});
    int previous = -1;
    for (const std::string& name : WindowOrder) {
      SCOPED_TRACE(name);
      const std::vector<QWidget*> named = WindowsNamed(name);
      ASSERT_EQ(named.size(), 1u);
      windows.push_back(named[0]);
      const int at = creations.IndexOf(named[0]);
      EXPECT_GT(at, previous);
      previous = at;
      EXPECT_TRUE(named[0]->isHidden());
    }
    EXPECT_EQ(windows[0], &w.Main());
    EXPECT_EQ(windows.back(), w.Program->Forms.CfgForm);

    w.Main().show();
    w.Ui.OnModal["CfgForm"] = [&](TForm& f) { w.Sched.AdvanceUntil([&] { return !f.Visible(); }, 2000); };
    w.Main().FormShow();
    w.Main().ConfigurationMenu->trigger();
    EXPECT_EQ(w.Ui.ModalRuns, (std::vector<std::string>{"CfgForm", "CfgForm"}));
    EXPECT_TRUE(w.Main().isVisible());
    for (std::size_t i = 0; i < WindowOrder.size(); ++i) {
      SCOPED_TRACE(WindowOrder[i]);
      EXPECT_EQ(WindowsNamed(WindowOrder[i]), std::vector<QWidget*>{windows[i]});
      if (i > 0) {
        EXPECT_FALSE(windows[i]->isVisible());
      }
    }
  }
  for (const std::string& name : WindowOrder) EXPECT_TRUE(WindowsNamed(name).empty()) << name;
}

// Saved port and no user action: the search page 5.5 s after the showing, its status panel
// empty, the other pages locked until a device has been taken.
TEST(Startup, SavedPortLeadsToTheLockedSearchPage) {
  TempCwd dir;
  TempCwd::Write(Ini, "[CONFIG]\r\nPORT=2\r\n");
  AppWorld w(TLangue::Anglais, {}, AppPorts{{2}, false, {}});
  TMainForm& m = w.Main();
  m.TabbedNotebook->SetPageIndex(2);
  m.PVFormat = 2;
  m.Connect->SetCaption("* Connected *");
  m.StProd->SetCaption("Maker / Model");
  m.show();

  EXPECT_EQ(StartUp(w), 5500);
  EXPECT_TRUE(m.isVisible());
  EXPECT_EQ(m.MainHart->PortKind, TPortKind::Serial);
  EXPECT_EQ(w.Serial->Asked().back(), "open " + PortPath(2));
  EXPECT_EQ(m.TabbedNotebook->PageIndex(), 0);
  EXPECT_EQ(m.StatusPanel(0), "");
  EXPECT_FALSE(m.StatusBar->isHidden());
  EXPECT_EQ(m.PVFormat, 0);
  EXPECT_EQ(m.Connect->Caption(), "HART");
  EXPECT_EQ(m.StProd->Caption(), "");
  EXPECT_TRUE(w.Jobs().Busy);
  EXPECT_EQ(w.Jobs().At(0), 0);
  EXPECT_EQ(w.Ui.Beeps, 0);

  w.Advance(10000);  // the idle list sends nothing and frees nothing
  EXPECT_TRUE(w.Serial->Written().empty());
  for (int page = 1; page <= 7; ++page) {
    m.TabbedNotebook->SetPageIndex(page);
    EXPECT_EQ(m.TabbedNotebook->PageIndex(), 0) << page;
  }
  EXPECT_EQ(w.Ui.Beeps, 7);
}

// Nothing chosen (first run), or a saved port that is gone: the dialog beeps, PORT=0 is
// saved and the main window closes, which ends the program.
TEST(Startup, WithoutAPortTheMainWindowCloses) {
  struct Case {
    const char* name;
    const char* ini;
    std::int64_t closedAfterMs;
  };
  for (const Case& c : {Case{"first run", nullptr, -1}, Case{"saved port gone", "[CONFIG]\r\nPORT=3\r\n", 5500}}) {
    SCOPED_TRACE(c.name);
    TempCwd dir;
    if (c.ini) TempCwd::Write(Ini, c.ini);
    AppWorld w(TLangue::Anglais, {}, AppPorts{{1, 2}, false, {}});
    TMainForm& m = w.Main();
    m.TabbedNotebook->SetPageIndex(2);
    m.PVFormat = 2;
    m.Connect->SetCaption("* Connected *");
    m.StProd->SetCaption("Maker / Model");
    m.StatusBar->hide();
    m.show();
    EXPECT_EQ(StartUp(w), c.closedAfterMs);
    EXPECT_FALSE(m.isVisible());
    EXPECT_EQ(w.Ui.Beeps, 1);
    EXPECT_EQ(w.Ui.Messages.size(), 0u);
    EXPECT_EQ(TempCwd::Read(Ini), "[CONFIG]\r\nPORT=0\r\n");
    // The steps after the closing still run: the status bar, the PV format, the search page.
    EXPECT_FALSE(m.StatusBar->isHidden());
    EXPECT_EQ(m.PVFormat, 0);
    EXPECT_EQ(m.TabbedNotebook->PageIndex(), 0);
    EXPECT_EQ(m.Connect->Caption(), "HART");
    EXPECT_EQ(m.StProd->Caption(), "");
    EXPECT_TRUE(w.Jobs().Busy);
    EXPECT_EQ(w.Jobs().At(w.Jobs().JobIndex), 0);
    w.Advance(10000);  // until the message loop ends, nothing goes wrong
    EXPECT_EQ(w.Sim.Requests.size(), 0u);
  }
}

// Offline: the simulated transmitter's identity at once, and the pages free after the first
// tick of the sequencer.
TEST(Startup, OfflineShowsTheOfflineIdentityAndFreesThePages) {
  TempCwd dir;
  TempCwd::Write(Ini, "[CONFIG]\r\nPORT=-1\r\n");
  AppWorld w(TLangue::Anglais, {}, AppPorts{{1}, true, {}});
  TMainForm& m = w.Main();
  m.Transmetteur.DeviceId = 77;
  EXPECT_EQ(StartUp(w), 5500);
  EXPECT_TRUE(m.OfflineMode);
  EXPECT_EQ(m.MainHart->PortKind, TPortKind::None);
  EXPECT_EQ(m.Connect->Caption(), "HART Offline");
  EXPECT_EQ(m.LbMarque->Caption(), "Ostrel");
  EXPECT_EQ(m.LbProduit->Caption(), "XT Offline");
  EXPECT_EQ(m.LbIdent->Caption(), "0");
  EXPECT_EQ(m.Transmetteur.DeviceId, 0u);
  EXPECT_TRUE(w.Jobs().Busy);

  ASSERT_TRUE(w.Sched.AdvanceUntil([&] { return !w.Jobs().Busy; }, 1000));
  m.TabbedNotebook->SetPageIndex(2);
  EXPECT_EQ(m.TabbedNotebook->PageIndex(), 2);
  EXPECT_EQ(w.Ui.Beeps, 0);
  w.Advance(5000);
  EXPECT_EQ(w.Sim.Requests.size(), 0u);
  EXPECT_EQ(w.Serial->Asked().size(), 4u);  // the COM ports probed, none opened
}

// "-notimer", whole and in any case, anywhere on the command line, makes the dialog confirm
// at its first tick.
TEST(Startup, NoTimerOnTheCommandLine) {
  struct Case {
    std::vector<std::string> args;
    std::int64_t closedAfterMs;
  };
  const std::vector<Case> cases = {
      {{}, 5500},
      {{"-notimer"}, 500},
      {{"x.xmt", "-NoTimer", "-v"}, 500},
      {{"-NOTIMER"}, 500},
      {{"-notimerx"}, 5500},
      {{"notimer"}, 5500},
      {{"-notimer "}, 5500},
      {{"--notimer"}, 5500},
      {{""}, 5500},
      {{"-notimer", "-notimerx"}, 500},
  };
  for (const Case& c : cases) {
    TempCwd dir;
    TempCwd::Write(Ini, "[CONFIG]\r\nPORT=1\r\n");
    AppWorld w(TLangue::Anglais, {}, AppPorts{{1}, false, c.args});
    EXPECT_EQ(StartUp(w), c.closedAfterMs) << ::testing::PrintToString(c.args);
    EXPECT_EQ(w.Serial->Asked().back(), "open " + PortPath(1));
  }
}

TEST(Startup, CaptionsMasterAddressAndHiddenDeveloperParts) {
  struct Case {
    TLangue langue;
    const char* title;
    const char* send;
    const char* refresh;
  };
  for (const Case& c : {Case{TLangue::Anglais, "Corvin English Version - HART", "Send", "Refresh"},
                        Case{TLangue::Francais, "Corvin Version Française - HART", "Envoyer", "Relire"}}) {
    TempCwd dir;
    TempCwd::Write(Ini, "[CONFIG]\r\nPORT=-1\r\n");
    AppWorld w(c.langue, {}, AppPorts{{}, false, {"-notimer"}});
    TMainForm& m = w.Main();
    m.HHC->setChecked(true);
    m.HOST->setChecked(false);
    m.Developpement->menuAction()->setVisible(true);
    m.Gr_Aj_Mes->show();
    m.Gr_Tamb->show();
    StartUp(w);
    StartUp(w);  // the caption is built anew, not added to
    EXPECT_EQ(Title(m), c.title);
    EXPECT_EQ(m.MainHart->MasterAdress, TMasterAdress::Host_Communicator);
    EXPECT_TRUE(m.HOST->isChecked());
    EXPECT_FALSE(m.HHC->isChecked());
    EXPECT_FALSE(m.Developpement->menuAction()->isVisible());
    EXPECT_TRUE(m.Gr_Aj_Mes->isHidden());
    EXPECT_TRUE(m.Gr_Tamb->isHidden());
    EXPECT_EQ(m.PopupMenu.Items(0).Caption, Cp(c.send));
    EXPECT_EQ(m.PopupMenu.Items(1).Caption, Cp(c.refresh));
    EXPECT_EQ(w.Program->FormatSettings.ShortDateFormat, "DD/MM/YYYY");
  }
}

// Tags 1 to 13 take the edition's text, at any depth; any other tag keeps its caption.
TEST(Startup, TranslateMenuByTag) {
  const std::vector<const char*> english = {"System", "Exit",    "Setup",   "Transmitter", "Status",
                                            "Read all", "Write", "Reset",   "Disconnect",  "Records",
                                            "Load",   "Save",    "Preamble length"};
  const std::vector<const char*> french = {"Système",      "Quitter",  "Configuration", "Transmetteur", "Etat",
                                           "Lecture complète", "Ecriture", "Remise à  zéro", "Déconnexion",
                                           "Enregistrements", "Charge", "Sauve", "Longueur du préambule"};
  for (TLangue langue : {TLangue::Anglais, TLangue::Francais}) {
    AppWorld w(langue);
    QMenu top;
    QMenu sub;
    QMenu subsub;
    std::vector<QAction*> tagged;
    for (int tag = 1; tag <= 13; ++tag) {
      QMenu& holder = tag <= 5 ? top : tag <= 9 ? sub : subsub;
      QAction* a = holder.addAction(QStringLiteral("item"));
      SetMenuTag(*a, tag);
      tagged.push_back(a);
    }
    struct Kept {
      int tag;
      QAction* item;
    };
    std::vector<Kept> kept;
    for (int tag : {0, 14, -1, 100, 3000}) {
      QAction* a = (tag % 2 ? sub : subsub).addAction(QString::fromUtf8("keep ") + QString::number(tag));
      SetMenuTag(*a, tag);
      kept.push_back({tag, a});
    }
    QAction* subItem = top.addMenu(&sub);
    SetMenuTag(*subItem, 0);
    sub.menuAction()->setText(QStringLiteral("sub"));
    QAction* subsubItem = sub.addMenu(&subsub);
    SetMenuTag(*subsubItem, 8);

    w.Main().TranslateMenu(top.actions());
    const auto& texts = langue == TLangue::Anglais ? english : french;
    for (int tag = 1; tag <= 13; ++tag) {
      EXPECT_EQ(tagged[static_cast<std::size_t>(tag - 1)]->text().toStdString(), texts[static_cast<std::size_t>(tag - 1)])
          << tag;
    }
    for (const Kept& k : kept) EXPECT_EQ(k.item->text(), QStringLiteral("keep %1").arg(k.tag));
    EXPECT_EQ(subItem->text(), QStringLiteral("sub"));
    EXPECT_EQ(subsubItem->text().toStdString(), texts[7]);
  }
}

// The link is freed with the window's closing: neither the sequencer nor the link's own
// timer runs afterwards, also with a request under way and its answer on the line.
TEST(Startup, NothingRunsAfterTheMainWindowsClose) {
  AppWorld w;
  w.Connect();
  TMainForm& m = w.Main();
  m.TabbedNotebook->SetPageIndex(1);  // measure polling
  ASSERT_TRUE(w.AdvanceUntilRequests(3));
  w.Advance(5);  // the last request is on the line, its answer not yet back
  const std::size_t sent = w.Fake.Sent.size();
  const std::size_t received = w.Sim.Requests.size();
  const std::string panel0 = m.StatusPanel(0);
  m.CTS_LED->SetLedStatus(true);
  m.CD_LED->SetLedStatus(false);

  m.FormClose();
  EXPECT_EQ(m.MainHart, nullptr);
  w.Advance(30000);
  EXPECT_EQ(w.Fake.Sent.size(), sent);
  EXPECT_EQ(w.Sim.Requests.size(), received);
  EXPECT_EQ(m.StatusPanel(0), panel0);
  EXPECT_EQ(m.StatusPanel(1), "");
  EXPECT_TRUE(m.CTS_LED->LedStatus());
  EXPECT_FALSE(m.CD_LED->LedStatus());
  EXPECT_EQ(m.Connect->Caption(), "* Connected *");

  // What the window's other parts may still do does not reach the freed link.
  m.Jobs().StartList({201, 500});
  m.Evenement.SetInterval(50);
  m.FormClose();
  w.Advance(5000);
  EXPECT_EQ(w.Fake.Sent.size(), sent);
}

// The search page is reached while a sequence runs; the pages stay locked after it.
TEST(Startup, ResetToSearchGoesToTheSearchPageEvenWhileBusy) {
  AppWorld w;
  w.Connect();
  TMainForm& m = w.Main();
  m.TabbedNotebook->SetPageIndex(2);
  ASSERT_EQ(m.TabbedNotebook->PageIndex(), 2);
  m.TransmetteurMenu->setEnabled(true);
  w.Jobs().StartList({201, 200, 500});
  m.ResetToSearch();
  EXPECT_EQ(m.TabbedNotebook->PageIndex(), 0);
  EXPECT_TRUE(w.Jobs().Busy);
  EXPECT_EQ(w.Jobs().At(0), 0);
  EXPECT_EQ(w.Jobs().At(1), 0);
  EXPECT_EQ(w.Jobs().JobIndex, 0);
  EXPECT_FALSE(m.TransmetteurMenu->isEnabled());
  EXPECT_EQ(m.Connect->Caption(), "HART");
  EXPECT_EQ(w.Ui.Beeps, 0);
  m.TabbedNotebook->SetPageIndex(1);
  EXPECT_EQ(m.TabbedNotebook->PageIndex(), 0);
  EXPECT_EQ(w.Ui.Beeps, 1);
}

// Back on the search page in the middle of the full read (the notebook disabled until its
// end, which the idle list no longer reaches), the search can be started again.
TEST(Startup, ResetToSearchDuringTheFullReadLeavesTheSearchUsable) {
  AppWorld w;
  w.Connect();
  TMainForm& m = w.Main();
  m.BtnProd->setEnabled(true);
  m.BtnProd->click();
  ASSERT_FALSE(m.TabbedNotebook->isEnabled());
  ASSERT_TRUE(w.AdvanceUntilRequests(2));
  m.ResetToSearch();
  w.Advance(20000);
  EXPECT_EQ(m.TabbedNotebook->PageIndex(), 0);
  EXPECT_TRUE(m.BtnSeach->isEnabled());
  EXPECT_TRUE(w.Jobs().Busy);
  const std::size_t requests = w.Sim.Requests.size();
  m.BtnSeach->click();
  ASSERT_TRUE(w.AdvanceUntilRequests(1));
  EXPECT_EQ(w.Sim.Requests[requests].Command, 0);
}
