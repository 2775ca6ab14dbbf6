// The page-change rule of the main window's notebook (none while a sequence runs; the alarm
// and display pages only for the maker's devices that have them; never the maker's page)
// and the small handlers through which the link and the model report.

#include <gtest/gtest.h>

#include <QAction>
#include <QDateEdit>
#include <QMenu>
#include <QTabBar>
#include <QTest>

#include "app/Erreur.h"
#include "support/AppFixture.h"

namespace {

struct PageGating : ::testing::Test {
  AppWorld World;
  TMainForm& M() const { return World.Main(); }
  TTabbedNotebook& Book() const { return *World.Main().TabbedNotebook; }

  // The maker's device (or another maker's) of the given type, on page `from`, not busy.
  void Device(Byte type, bool maker = true, int from = 0) {
    World.Jobs().Busy = false;
    M().Transmetteur.DeviceType = type;
    M().Transmetteur.Is_Ostrel = maker;
    Book().SetPageIndex(from);
    ASSERT_EQ(Book().PageIndex(), from);
  }
  bool Opens(int page) {
    const int from = Book().PageIndex();
    Book().SetPageIndex(page);
    const bool opened = Book().PageIndex() == page;
    Book().SetPageIndex(from);
    return opened;
  }
};

}  // namespace

TEST_F(PageGating, AlarmAndDisplayPagesByDeviceType) {
  struct Case {
    int type;
    bool maker;
    bool alarms;   // page 5
    bool display;  // page 6
  };
  const std::vector<Case> cases = {
      {0x57, true, true, true},    // both by their explicit values
      {0x5B, true, true, true},    // page 5 explicit, page 6 by s = 22
      {0x41, true, true, true},    // (t and $70) = $40, (t and $71) = $41
      {0x40, true, true, false},   // s = 16
      {22, true, false, false},    // s = 5, series 1
      {26, true, false, true},     // s = 6
      {154, true, false, true},    // $9A: series 1, s = 6
      {203, true, true, true},     // $CB: series 4, (t and $71) = $41
      {0x20, true, true, false},   // series 2
      {0x28, true, true, true},    // s = 10
      {0x38, true, false, true},   // s = 14
      {0x48, true, true, true},    // s = 18
      {0x00, true, false, false},
      {0x57, false, false, false},  // another maker's device whose type byte matches
      {0x5B, false, false, false},
      {0x41, false, false, false},
      {26, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "type " << c.type << (c.maker ? "" : " of another maker"));
    Device(static_cast<Byte>(c.type), c.maker);
    EXPECT_EQ(Opens(5), c.alarms);
    EXPECT_EQ(Opens(6), c.display);
    EXPECT_FALSE(Opens(7));
    EXPECT_EQ(World.Ui.Beeps, 0);  // refused silently
  }
}

TEST_F(PageGating, SensorSheetFollowsTheInputKindBits) {
  struct Case {
    int type;
    int sheet;
  };
  for (const Case& c : {Case{0x0C, 3}, Case{0x00, 0}, Case{0x04, 1}, Case{0x08, 2}, Case{0xFF, 3}, Case{0xF3, 0}}) {
    Device(static_cast<Byte>(c.type), true, 0);
    M().SensorPageControl->setCurrentIndex(c.sheet == 0 ? 1 : 0);
    Book().SetPageIndex(3);
    EXPECT_EQ(Book().PageIndex(), 3);
    EXPECT_EQ(M().SensorPageControl->currentIndex(), c.sheet) << c.type;
  }
  EXPECT_EQ(M().SensorPageControl->tabText(3), "T");
  EXPECT_EQ(M().SensorPageControl->tabText(0), "I/V");
}

// What each allowed change does to the menus and the job list.
TEST_F(PageGating, EachPageSetsTheMenusAndTheList) {
  struct Case {
    int page;
    bool transmitterMenu;
    bool setupMenu;
    std::int32_t job0;
  };
  M().Transmetteur.ManufacturerName = "Ostrel";
  M().Transmetteur.ModelName = "XT 210";
  for (const Case& c : {Case{1, true, false, 1}, Case{2, true, true, 0}, Case{3, false, true, 0}, Case{4, false, true, 0},
                        Case{5, false, true, 0}, Case{6, false, true, 0}, Case{0, false, true, 0}}) {
    Device(0x57, true, c.page == 1 ? 2 : 1);
    World.Jobs().StartList({201, 200, 500});
    World.Jobs().Busy = false;
    M().TransmetteurMenu->menuAction()->setEnabled(!c.transmitterMenu);
    M().ConfigurationMenu->setEnabled(!c.setupMenu);
    Book().SetPageIndex(c.page);
    SCOPED_TRACE(c.page);
    EXPECT_EQ(Book().PageIndex(), c.page);
    EXPECT_EQ(M().TransmetteurMenu->isEnabled(), c.transmitterMenu);
    EXPECT_EQ(M().ConfigurationMenu->isEnabled(), c.setupMenu);
    EXPECT_EQ(World.Jobs().At(0), c.job0);
    EXPECT_EQ(World.Jobs().At(1), 0);
    EXPECT_EQ(World.Jobs().JobIndex, 0);
  }
  EXPECT_EQ(M().StProd->Caption(), "Ostrel / XT 210");
}

// While a sequence runs every change beeps and is refused, the program's too; the Setup menu
// is enabled by the attempt all the same.
TEST_F(PageGating, NoChangeWhileBusy) {
  Device(0x57, true, 2);
  World.Jobs().StartList({303, 201, 500});
  for (int page : {0, 1, 3, 4, 5, 6, 7}) {
    M().ConfigurationMenu->setEnabled(false);
    Book().SetPageIndex(page);
    EXPECT_EQ(Book().PageIndex(), 2) << page;
    EXPECT_TRUE(M().ConfigurationMenu->isEnabled()) << page;
  }
  EXPECT_EQ(World.Ui.Beeps, 7);
  EXPECT_EQ(World.Jobs().At(0), 303);  // the sequence goes on
  EXPECT_EQ(World.Jobs().At(1), 201);
}

// A refused alarm page stops the measure polling of page 1 and disables its menu, and page 1
// stays shown.
TEST_F(PageGating, ARefusedPageFromTheTransmitterPageStopsThePolling) {
  for (int page : {5, 6}) {
    Device(22, true, 1);
    ASSERT_EQ(World.Jobs().At(0), 1);
    ASSERT_TRUE(M().TransmetteurMenu->isEnabled());
    Book().SetPageIndex(page);
    EXPECT_EQ(Book().PageIndex(), 1) << page;
    EXPECT_EQ(World.Jobs().At(0), 0) << page;
    EXPECT_FALSE(M().TransmetteurMenu->isEnabled()) << page;
    EXPECT_TRUE(M().ConfigurationMenu->isEnabled()) << page;
  }
  EXPECT_EQ(World.Ui.Beeps, 0);
}

// The user's ways of changing page go through the same rule as the program's.
TEST_F(PageGating, TheUsersChangesAreGatedToo) {
  M().show();
  QCoreApplication::processEvents();
  QTabBar* bar = Book().findChild<QTabBar*>();
  ASSERT_NE(bar, nullptr);
  Device(22, true, 4);

  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(5).center());
  EXPECT_EQ(Book().PageIndex(), 4);
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(3).center());
  EXPECT_EQ(Book().PageIndex(), 3);
  QTest::keyClick(bar, Qt::Key_Right);
  EXPECT_EQ(Book().PageIndex(), 4);
  QTest::keyClick(bar, Qt::Key_Right);  // page 5 refused
  EXPECT_EQ(Book().PageIndex(), 4);
  // The notebook's own keys, from a control of a page.
  QWidget* inPage = M().BtTestLoop;
  QTest::keyClick(inPage, Qt::Key_Tab, Qt::ControlModifier);  // page 5 refused
  EXPECT_EQ(Book().PageIndex(), 4);
  QTest::keyClick(inPage, Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Book().PageIndex(), 3);
  QTest::keyClick(M().EdSNb, Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(Book().PageIndex(), 4);
  QTest::keyClick(bar, Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(Book().PageIndex(), 4);
  Book().SetPageIndex(3);

  World.Jobs().Busy = true;
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
  QTest::keyClick(M().EdSNb, Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Book().PageIndex(), 3);
  EXPECT_EQ(World.Ui.Beeps, 2);
}

// Link errors: the status text; "No response" also the disconnection, shown and beeped once.
TEST_F(PageGating, LinkErrorsAndTheDisconnection) {
  World.Connect();
  TMainForm& m = M();
  ASSERT_EQ(m.Connect->Caption(), "* Connected *");
  m.MainHart->Erreur.Report("Checksum error", 1, 512);
  m.CommCommError(nullptr);
  EXPECT_EQ(m.StatusPanel(1), "Checksum error");
  EXPECT_EQ(m.Connect->Caption(), "* Connected *");
  EXPECT_EQ(m.Transmetteur.GetConnected(), 1);
  EXPECT_EQ(World.Ui.Beeps, 0);

  // The device goes silent while its measures are polled.
  Book().SetPageIndex(1);
  World.Sim.Faults.Silent = true;
  ASSERT_TRUE(World.Sched.AdvanceUntil([&] { return m.Transmetteur.GetConnected() == 0; }, 20000));
  EXPECT_EQ(m.MainHart->Erreur.GetCode(), 768);
  EXPECT_EQ(m.StatusPanel(1), m.MainHart->Erreur.GetMessage());
  EXPECT_EQ(m.Connect->Caption(), "* Disconnected *");
  EXPECT_EQ(World.Ui.Beeps, 1);
  World.Advance(30000);  // the link keeps reporting: no more beeps
  EXPECT_EQ(World.Ui.Beeps, 1);
  EXPECT_EQ(m.Connect->Caption(), "* Disconnected *");
}

TEST_F(PageGating, OfflineADisconnectionShowsNothing) {
  TMainForm& m = M();
  m.OfflineMode = true;
  m.Transmetteur.SetConnected(1);
  m.Connect->SetCaption("HART Offline");
  m.Transmetteur.SetConnected(0);
  EXPECT_EQ(m.Connect->Caption(), "HART Offline");
  EXPECT_EQ(World.Ui.Beeps, 0);
}

TEST_F(PageGating, DeviceErrorsShowTheModelsMessage) {
  TMainForm& m = M();
  TErreurForm& e = *World.Program->Forms.ErreurForm;
  m.TransmetteurError(nullptr);  // no message: nothing
  EXPECT_FALSE(e.Visible());
  m.Transmetteur.ReportError("Device busy", 5, 32);
  EXPECT_TRUE(e.Visible());
  EXPECT_EQ(e.LbErreur->Caption(), "Device busy");
}

TEST_F(PageGating, LampsResetAndDate) {
  TMainForm& m = M();
  m.CTS_LED->SetLedStatus(true);
  m.CommSendComplete(nullptr);
  EXPECT_FALSE(m.CTS_LED->LedStatus());
  m.CD_LED->SetLedStatus(false);
  m.CommModemChange(nullptr);
  EXPECT_TRUE(m.CD_LED->LedStatus());

  World.Jobs().StartList({1, 2});
  World.Jobs().JobIndex = 1;
  m.ResetMenu->trigger();
  EXPECT_EQ(World.Jobs().At(World.Jobs().JobIndex), 400);

  m.DateTimePicker->setDate(QDate(2031, 2, 7));
  EXPECT_EQ(m.Transmetteur.DateText, "07/02/2031");
}
