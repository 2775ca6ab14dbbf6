// The main window's menus and its other handlers: preamble length and master address on
// the wire, "Read all", "Reset", "Status", the transmitter files, "Setup", the PV label,
// the display page's preview and PV unit, the sensor trim with its input selection, every
// dialog opener, the log window, the modem test and the maker's direct requests.

#include <gtest/gtest.h>

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Dessin.h"
#include "app/E2Prom.h"
#include "app/InSelect.h"
#include "app/Memolog.h"
#include "app/Ns.h"
#include "app/StatusComm.h"
#include "app/StatusXT.h"
#include "app/Texts.h"
#include "app/commcfg.h"
#include "app/tstXT.h"
#include "support/AppFixture.h"
#include "support/FileRights.h"

namespace {

using TList = std::vector<std::int32_t>;

TList ListOf(const TJobList& l) {
  TList jobs;
  for (int i = 0; i < TJobList::Slots && l.At(i) != 0; ++i) jobs.push_back(l.At(i));
  return jobs;
}

std::unique_ptr<AppWorld> ConnectedWorld(Byte type, TLangue langue = TLangue::Anglais) {
  auto w = std::make_unique<AppWorld>(langue);
  w->Sim.Identity.DeviceType = type;
  w->Connect();
  return w;
}

// Runs one read and returns the request the transmitter got for it.
SimRequest NextRequest(AppWorld& w) {
  const std::size_t before = w.Sim.Requests.size();
  EXPECT_TRUE(w.RunList({201, 500}));
  EXPECT_GT(w.Sim.Requests.size(), before);
  return w.Sim.Requests.back();
}

// Counts the close requests a widget receives.
struct TCloseCounter : QObject {
  int Count = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Close) ++Count;
    return false;
  }
};

}  // namespace

// ---------------------------------------------------------------------------------------
// System menu

TEST(MainMenus, PreambleLengthReachesTheFramesAndOneItemIsChecked) {
  auto w = ConnectedWorld(0x16);
  TMainForm& m = w->Main();
  EXPECT_TRUE(m.Preambles7->isChecked());
  const std::pair<QAction*, int> items[] = {{m.Preambles20, 20}, {m.Preambles5, 5}, {m.Preambles10, 10}, {m.Preambles7, 7}};
  for (const auto& [item, count] : items) {
    item->trigger();
    for (QAction* a : {m.Preambles5, m.Preambles7, m.Preambles10, m.Preambles20}) {
      EXPECT_EQ(a->isChecked(), a == item) << count;
    }
    EXPECT_EQ(NextRequest(*w).Preambles, count);
  }
  // Choosing the checked item again keeps it.
  m.Preambles7->trigger();
  EXPECT_TRUE(m.Preambles7->isChecked());
  EXPECT_EQ(NextRequest(*w).Preambles, 7);
}

TEST(MainMenus, MasterAddressReachesTheFrames) {
  auto w = ConnectedWorld(0x16);
  TMainForm& m = w->Main();
  m.HHC->trigger();
  EXPECT_TRUE(m.HHC->isChecked());
  EXPECT_FALSE(m.HOST->isChecked());
  EXPECT_FALSE(NextRequest(*w).PrimaryMaster);
  m.HOST->trigger();
  EXPECT_FALSE(m.HHC->isChecked());
  EXPECT_TRUE(m.HOST->isChecked());
  EXPECT_TRUE(NextRequest(*w).PrimaryMaster);
}

TEST(MainMenus, SetupShowsThePortDialogWithoutCountdownThenTheSearchPage) {
  // The port dialog keeps its choice in the current directory: a temporary one here.
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  struct TRestore {
    QString Previous = QDir::currentPath();
    ~TRestore() { QDir::setCurrent(Previous); }
  } restore;
  ASSERT_TRUE(QDir::setCurrent(dir.path()));
  {
    auto w = ConnectedWorld(0x16);
    TMainForm& m = w->Main();
    m.TabbedNotebook->SetPageIndex(2);
    ASSERT_EQ(m.TabbedNotebook->PageIndex(), 2);
    w->Jobs().StartList({203, 500});
    int countdown = 99;
    int tag = 99;
    w->Ui.OnModal["CfgForm"] = [&](TForm& f) {
      countdown = static_cast<TCfgForm&>(f).CfgCountdown;
      tag = f.Tag;
    };
    m.ConfigurationMenu->trigger();
    EXPECT_EQ(w->Ui.ModalRuns, std::vector<std::string>{"CfgForm"});
    EXPECT_EQ(tag, -1);
    EXPECT_EQ(countdown, -1);
    EXPECT_EQ(m.TabbedNotebook->PageIndex(), 0);
    EXPECT_EQ(ListOf(w->Jobs()), TList{});
    EXPECT_TRUE(w->Jobs().Busy);
  }
}

TEST_F(AppFixture, ExitAndTheExitButtonCloseTheMainWindow) {
  TCloseCounter counter;
  Main().installEventFilter(&counter);
  Main().Quitter1->trigger();
  EXPECT_EQ(counter.Count, 1);
  Main().BtRet->click();
  EXPECT_EQ(counter.Count, 2);
  Main().removeEventFilter(&counter);
}

// ---------------------------------------------------------------------------------------
// Transmitter menu

TEST(MainMenus, ReadAllResetAndStatus) {
  auto w = ConnectedWorld(203);
  TMainForm& m = w->Main();
  w->Jobs().StartList({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20});
  w->Jobs().JobIndex = 5;
  m.Lecture1->trigger();
  // Type 203 takes every read but the sensor description's (213).
  EXPECT_EQ(ListOf(w->Jobs()), (TList{201, 200, 204, 222, 203, 202, 205, 206, 208, 209, 219, 220, 221, 223, 500}));
  EXPECT_EQ(w->Jobs().LastJob, 201);
  EXPECT_EQ(w->Jobs().JobIndex, 0);
  EXPECT_TRUE(w->Jobs().Busy);
  EXPECT_FALSE(m.TabbedNotebook->isEnabled());
  ASSERT_TRUE(w->Sched.AdvanceUntil([&] { return !w->Jobs().Busy; }, 60000));
  EXPECT_TRUE(m.TabbedNotebook->isEnabled());

  // "Reset" is the next job, once.
  w->Jobs().SetIdle();
  m.ResetMenu->trigger();
  EXPECT_EQ(ListOf(w->Jobs()), TList{400});
  const std::size_t first = w->Sim.Requests.size();
  w->Advance(1000);
  ASSERT_GT(w->Sim.Requests.size(), first);
  EXPECT_EQ(w->Sim.Requests[first].Command, 42);

  TStatusCommForm& status = *m.Forms().StatusCommForm;
  m.StatusCommMenu->trigger();
  EXPECT_TRUE(status.Visible());
  EXPECT_TRUE(m.StatusCommMenu->isChecked());
  m.StatusCommMenu->trigger();
  EXPECT_FALSE(status.Visible());
  EXPECT_FALSE(m.StatusCommMenu->isChecked());
}

TEST_F(AppFixture, LectureRefreshesThePageShown) {
  TMainForm& m = Main();
  World.Jobs().Busy = false;
  m.TabbedNotebook->SetPageIndex(2);
  ASSERT_EQ(m.TabbedNotebook->PageIndex(), 2);
  m.LectureClick(&m);
  EXPECT_EQ(ListOf(World.Jobs()), (TList{201, 200, 204, 203, 202, 205, 206, 213, 500}));
}

TEST(MainMenus, SaveThenLoadOpensTheLoadForm) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string path = (dir.path() + QStringLiteral("/TT101.XMT")).toStdString();
  auto w = ConnectedWorld(203);
  TMainForm& m = w->Main();

  w->Ui.SavePaths.push_back("");  // cancelled: no file
  m.Sauve1->trigger();
  EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
  w->Ui.SavePaths.push_back(path);
  m.Sauve1->trigger();
  ASSERT_TRUE(QFile::exists(QString::fromStdString(path)));
  EXPECT_EQ(QFile(QString::fromStdString(path)).size(), 848);

  w->Ui.OpenPaths.push_back("");  // cancelled: nothing opens
  m.Charge1->trigger();
  EXPECT_TRUE(w->Ui.ModalRuns.empty());
  w->Ui.OpenPaths.push_back(path);
  m.Charge1->trigger();
  EXPECT_EQ(w->Ui.ModalRuns, std::vector<std::string>{"LoadForm"});
  EXPECT_EQ(w->Ui.FileDialogs.size(), 4u);

  // A file that is not a transmitter file is refused with the model's message.
  const std::string bad = (dir.path() + QStringLiteral("/BAD.XMT")).toStdString();
  {
    QFile f(QString::fromStdString(bad));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(900, 'x'));
  }
  w->Ui.OpenPaths.push_back(bad);
  m.Charge1->trigger();
  EXPECT_EQ(w->Ui.ModalRuns.size(), 1u);
  ASSERT_FALSE(w->Ui.Messages.empty());
  EXPECT_EQ(w->Ui.Messages.back(), "  Bad file format !  ");
}

// Files the menu items cannot read or write: a message box each, and the file image, the
// pages and the list as they were.
TEST(MainMenus, TransmitterFilesThatCannotBeReadOrWrittenSayWhy) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const auto at = [&](const char* name) { return dir.path() + QLatin1Char('/') + QLatin1String(name); };
  const auto bytesOf = [&](const char* name) {
    QFile f(at(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  };
  constexpr auto readAndPass = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther | QFileDevice::ExeOther;
  ASSERT_TRUE(QFile::setPermissions(dir.path(), readAndPass | QFileDevice::WriteOwner));  // an ordinary user passes
  auto w = ConnectedWorld(203);
  TMainForm& m = w->Main();
  w->Ui.SavePaths.push_back(at("GOOD.XMT").toStdString());
  m.Sauve1->trigger();
  ASSERT_EQ(bytesOf("GOOD.XMT").size(), 848);
  ASSERT_TRUE(QFile::copy(at("GOOD.XMT"), at("SECRET.XMT")));
  ASSERT_TRUE(QFile::setPermissions(at("SECRET.XMT"), QFileDevice::WriteOwner));
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("FOLDER.XMT")));
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("LOCKED")));
  ASSERT_TRUE(QFile::copy(at("GOOD.XMT"), at("LOCKED/OLD.XMT")));
  ASSERT_TRUE(QFile::setPermissions(at("LOCKED"), readAndPass));
  ASSERT_TRUE(QFile(at("PLAIN")).open(QIODevice::WriteOnly));
  const QByteArray old = bytesOf("LOCKED/OLD.XMT");

  // A file image that differs from every file here, and a page value the load form would change.
  m.Transmetteur.FileImage.SetString(TXmtRecord::OffTag, 10, "IMAGE");
  const TXmtRecord image = m.Transmetteur.FileImage;
  m.EdTAG->SetText("PAGE");
  w->Jobs().StartList({201, 1});
  const TList list = ListOf(w->Jobs());
  w->Ui.ModalRuns.clear();

  struct Case {
    const char* what;
    QAction* item;
    const char* file;
    bool ordinaryUser;  // tried with the rights of an ordinary user
    const char* message;
  };
  const Case cases[] = {
      {"a folder", m.Charge1, "FOLDER.XMT", false, "  The transmitter file cannot be opened !  "},
      {"a missing file", m.Charge1, "MISSING.XMT", false, "  The transmitter file cannot be opened !  "},
      {"a file without read rights", m.Charge1, "SECRET.XMT", true, "  The transmitter file cannot be opened !  "},
      {"a missing folder", m.Sauve1, "NO_DIR/A.XMT", false, "  The transmitter file cannot be written !  "},
      {"below a plain file", m.Sauve1, "PLAIN/A.XMT", false, "  The transmitter file cannot be written !  "},
      {"a folder without write rights", m.Sauve1, "LOCKED/OLD.XMT", true, "  The transmitter file cannot be written !  "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    w->Ui.Messages.clear();
    (c.item == m.Charge1 ? w->Ui.OpenPaths : w->Ui.SavePaths).push_back(at(c.file).toStdString());
    if (c.ordinaryUser) {
      OrdinaryFileRights rights;
      c.item->trigger();
    } else {
      c.item->trigger();
    }
    EXPECT_EQ(w->Ui.Messages, std::vector<std::string>{c.message});
    EXPECT_TRUE(w->Ui.ModalRuns.empty());
    EXPECT_EQ(m.Transmetteur.FileImage.Bytes, image.Bytes);
    EXPECT_EQ(m.EdTAG->Text(), "PAGE");
    EXPECT_EQ(ListOf(w->Jobs()), list);
  }
  EXPECT_EQ(bytesOf("LOCKED/OLD.XMT"), old);
  EXPECT_FALSE(QFile::exists(at("NO_DIR")));
  EXPECT_EQ(QDir(at("LOCKED")).entryList(QDir::Files), QStringList{QStringLiteral("OLD.XMT")});

  // With its rights back the same file loads: the rights alone refused it.
  ASSERT_TRUE(QFile::setPermissions(at("SECRET.XMT"), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
  w->Ui.OpenPaths.push_back(at("SECRET.XMT").toStdString());
  m.Charge1->trigger();
  EXPECT_EQ(w->Ui.ModalRuns, std::vector<std::string>{"LoadForm"});
  QFile::setPermissions(at("LOCKED"), readAndPass | QFileDevice::WriteOwner);  // so that the folder can be removed
}

// ---------------------------------------------------------------------------------------
// The pages' controls

TEST_F(AppFixture, ThreeClicksOnThePVLabelReturnToTheFirstFormat) {
  TMainForm& m = Main();
  for (int expected : {1, 2, 0, 1}) {
    QTest::mouseClick(m.LbPV, Qt::LeftButton);
    EXPECT_EQ(m.PVFormat, expected);
  }
  QTest::mouseClick(m.LbPV, Qt::RightButton);
  EXPECT_EQ(m.PVFormat, 1);
}

TEST_F(AppFixture, TrackBarGivesThePreviewItsDecimals) {
  TMainForm& m = Main();
  for (int position : {1, 0, 3, 4, 2}) {
    m.TrackBarPDaf->setValue(position);
    EXPECT_EQ(m.LCD->PointDecimal(), 4 - position) << position;
  }
}

TEST_F(AppFixture, PercentAsPVUnitLeavesNoRangeToWrite) {
  TMainForm& m = Main();
  m.PV_Unit->SetCodeUnite(57);
  EXPECT_FALSE(m.BtnWR_PV->isEnabled());
  EXPECT_TRUE(m.EdUPV->isHidden());
  EXPECT_TRUE(m.EdLPV->isHidden());
  m.PV_Unit->SetCodeUnite(32);
  EXPECT_TRUE(m.BtnWR_PV->isEnabled());
  EXPECT_FALSE(m.EdUPV->isHidden());
  EXPECT_FALSE(m.EdLPV->isHidden());
  m.PV_Unit->SetCodeUnite(57);
  m.PV_Unit->NextUnit();  // the arrows too
  ASSERT_NE(m.PV_Unit->CodeUnite(), 57);
  EXPECT_TRUE(m.BtnWR_PV->isEnabled());
}

TEST(MainMenus, DetailPanelAndPVRangeButton) {
  auto w = ConnectedWorld(203);
  TMainForm& m = w->Main();
  m.TabbedNotebook->SetPageIndex(1);
  ASSERT_TRUE(m.DetailPanel->isHidden());
  m.BitBtnLangue1->click();
  EXPECT_FALSE(m.DetailPanel->isHidden());
  // The polling then reads every dynamic variable.
  const std::size_t first = w->Sim.Requests.size();
  ASSERT_TRUE(w->AdvanceUntilRequests(1));
  EXPECT_EQ(w->Sim.Requests[first].Command, 3);
  m.BitBtnLangue1->click();
  EXPECT_TRUE(m.DetailPanel->isHidden());

  m.BtnPV->click();
  EXPECT_EQ(m.TabbedNotebook->PageIndex(), 6);
  // The page rule refuses the display page to a device without it.
  auto other = ConnectedWorld(0x16);
  other->Main().TabbedNotebook->SetPageIndex(1);
  other->Main().BtnPV->click();
  EXPECT_EQ(other->Main().TabbedNotebook->PageIndex(), 1);
}

// ---------------------------------------------------------------------------------------
// Sensor trim with the input selection

TEST_F(AppFixture, SensorTrimAsksForTheInputOnlyOnTwoInputDevices) {
  TMainForm& m = Main();
  struct Case {
    const char* Name;
    Byte Type;
    std::function<void()> Click;
    std::function<void(TForm&)> Selection;  // null: the selection is not expected
    std::vector<std::string> Modals;
    int TrimTag;  // -1: no trim
  };
  auto next = [](TForm& f) { static_cast<TInputSelectForm&>(f).BtnNextClick(nullptr); };
  auto cancel = [](TForm& f) { static_cast<TInputSelectForm&>(f).BtnCancelClick(nullptr); };
  const Case cases[] = {
      {"full scale, one input", 0x16, [&] { m.BtnPE->click(); }, nullptr, {"AjustCaptForm"}, 1},
      {"full scale, two inputs", 0x40, [&] { m.BtnPE->click(); }, next, {"InputSelectForm", "AjustCaptForm"}, 1},
      {"full scale, cancelled", 0x40, [&] { m.BtnPE->click(); }, cancel, {"InputSelectForm"}, -1},
      {"maker's full scale", 0x40, [&] { m.BtAjPE->click(); }, next, {"InputSelectForm", "AjustCaptForm"}, 1},
      {"offset, two inputs", 0x00, [&] { m.BtAjBE->click(); }, next, {"InputSelectForm", "AjustCaptForm"}, 0},
      {"offset, cancelled", 0x00, [&] { m.BtAjBE->click(); }, cancel, {"InputSelectForm"}, -1},
      {"offset, one input", 0x0C, [&] { m.BtAjBE->click(); }, nullptr, {"AjustCaptForm"}, 0},
      {"zero, two inputs", 0x40, [&] { m.BtnZero->click(); }, nullptr, {"AjustCaptForm"}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    m.Transmetteur.DeviceType = c.Type;
    m.Transmetteur.SelectedInput = 5;
    World.Ui.ModalRuns.clear();
    int trimTag = -1;
    World.Ui.OnModal["InputSelectForm"] = c.Selection;
    World.Ui.OnModal["AjustCaptForm"] = [&](TForm& f) { trimTag = f.Tag; };
    c.Click();
    EXPECT_EQ(World.Ui.ModalRuns, c.Modals);
    EXPECT_EQ(trimTag, c.TrimTag);
    if (c.Selection) {
      EXPECT_EQ(m.Transmetteur.SelectedInput, c.TrimTag < 0 ? -1 : 1);
    }
  }
}

// ---------------------------------------------------------------------------------------
// Dialog openers

TEST_F(AppFixture, EveryOpenerOpensItsWindow) {
  TMainForm& m = Main();
  TForms& forms = m.Forms();
  struct Case {
    const char* Form;
    std::function<void()> Open;
    TForm* Shown;  // a window shown, not modal; null: a modal one
    int Tag;       // the Tag the modal window is given; -1 none
  };
  const Case cases[] = {
      {"TstLoopForm", [&] { m.BtTestLoop->click(); }, nullptr, -1},
      {"TstXTForm", [&] { m.BtTestXt->click(); }, forms.TstXTForm, -1},
      {"AjustSAForm", [&] { m.BtAj4->click(); }, nullptr, 0},
      {"AjustSAForm", [&] { m.BtAj20->click(); }, nullptr, 1},
      {"AjustCaptForm", [&] { m.BtnZero->click(); }, nullptr, 0},
      {"AjLINForm", [&] { m.BtAj->click(); }, nullptr, -1},
      {"TambForm", [&] { m.BtTamb->click(); }, nullptr, -1},
      {"DeriveForm", [&] { m.BTDerive->click(); }, nullptr, -1},
      {"StatusXTForm", [&] { m.BtStatus->click(); }, forms.StatusXTForm, -1},
      {"NSForm", [&] { m.BtnInit->click(); }, forms.NSForm, -1},
      {"TimeDateFrom", [&] { m.BtnAjTimeDate->click(); }, nullptr, -1},
      {"AboutBox", [&] { QTest::mouseClick(m.Image1, Qt::LeftButton); }, nullptr, -1},
      {"E2PromForm", [&] { m.E2Prom1->trigger(); }, forms.E2PromForm, -1},
      {"DessinForm", [&] { m.BtnEditVolt->click(); }, forms.DessinForm, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Form);
    World.Ui.ModalRuns.clear();
    int tag = -1;
    World.Ui.OnModal[c.Form] = [&](TForm& f) { tag = f.Tag; };
    c.Open();
    if (c.Shown) {
      EXPECT_TRUE(World.Ui.ModalRuns.empty());
      EXPECT_TRUE(c.Shown->Visible());
      EXPECT_EQ(c.Shown->objectName().toStdString(), c.Form);
      c.Shown->Close();
    } else {
      EXPECT_EQ(World.Ui.ModalRuns, std::vector<std::string>{c.Form});
      if (c.Tag >= 0) {
        EXPECT_EQ(tag, c.Tag);
      }
    }
  }
}

TEST_F(AppFixture, LinearisationEditorButtonsToggleTheWindow) {
  TMainForm& m = Main();
  TDessinForm& dessin = *m.Forms().DessinForm;
  m.BtnEditPot->click();
  EXPECT_TRUE(dessin.Visible());
  m.BtnEditVolt->click();
  EXPECT_FALSE(dessin.Visible());
  m.Editiondessegments1->trigger();
  EXPECT_TRUE(dessin.Visible());
  m.Editiondessegments1->trigger();
  EXPECT_FALSE(dessin.Visible());
}

TEST_F(AppFixture, LogWindowSitsAgainstTheMainWindow) {
  TMainForm& m = Main();
  TMemoLogForm& log = *m.Forms().MemoLogForm;
  m.setGeometry(100, 50, 800, 600);
  m.MemoLog->trigger();
  EXPECT_TRUE(log.Visible());
  EXPECT_TRUE(m.MemoLog->isChecked());
  const QRect main = m.frameGeometry();
  EXPECT_EQ(log.frameGeometry().topLeft(), QPoint(main.x() + main.width(), main.y()));
  EXPECT_EQ(log.frameGeometry().height(), main.height());
  m.MemoLog->trigger();
  EXPECT_FALSE(log.Visible());
  EXPECT_FALSE(m.MemoLog->isChecked());
}

// ---------------------------------------------------------------------------------------
// The maker page's modem test and direct requests

TEST_F(AppFixture, ModemTestSendsRandomBytesEveryQuarterSecond) {
  TMainForm& m = Main();
  FakeTransport& fake = World.Fake;
  fake.Sent.clear();
  const int beeps = World.Ui.Beeps;
  m.BtTEST->click();
  EXPECT_TRUE(m.TimerTest.Enabled());
  EXPECT_TRUE(m.TestLed->LedStatus());
  World.Advance(1000);
  ASSERT_EQ(fake.Sent.size(), 4u);
  EXPECT_EQ(World.Ui.Beeps, beeps + 4);
  for (const FakeTransport::TSent& s : fake.Sent) {
    EXPECT_GE(s.Bytes.size(), 2u);
    EXPECT_LE(s.Bytes.size(), 49u);
    for (char c : s.Bytes) EXPECT_NE(static_cast<unsigned char>(c), 255);
  }
  m.BtTEST->click();
  EXPECT_FALSE(m.TimerTest.Enabled());
  EXPECT_FALSE(m.TestLed->LedStatus());
  World.Advance(1000);
  EXPECT_EQ(fake.Sent.size(), 4u);
}

TEST(MainMenus, MakerPageRequestsGoStraightToTheLink) {
  auto w = ConnectedWorld(0x16);
  TMainForm& m = w->Main();
  w->Fake.Sent.clear();
  m.BtnTESTExp->click();
  ASSERT_EQ(w->Fake.Sent.size(), 1u);
  const std::string& frame = w->Fake.Sent[0].Bytes;
  ASSERT_EQ(frame.size(), 29u);
  EXPECT_EQ(frame.substr(0, 5), std::string("\xFF\xFF\xFF\xFF\xA6"));
  EXPECT_EQ(static_cast<Byte>(frame[19]), 0x82);
  EXPECT_EQ(static_cast<Byte>(frame[21]), 0x16);  // the device type

  // Its last frame is an identity request to the connected device.
  std::size_t first = w->Sim.Requests.size();
  ASSERT_TRUE(w->AdvanceUntilRequests(1));
  EXPECT_EQ(w->Sim.Requests[first].Command, 0);
  EXPECT_TRUE(w->Sim.Requests[first].LongFrame);
  w->Advance(1000);

  m.EdLongTAG->SetText("TT-101 SIMULATED");
  first = w->Sim.Requests.size();
  m.BtnTESTBroadcast->click();
  ASSERT_TRUE(w->AdvanceUntilRequests(1));
  EXPECT_EQ(w->Sim.Requests[first].Command, 21);
  EXPECT_TRUE(w->Sim.Requests[first].Broadcast);
}
