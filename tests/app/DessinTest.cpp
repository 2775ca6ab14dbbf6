// The linearisation window and the transfer progress window: the grid and its keys, the
// buttons' job lists, *.LIN loads and saves through the recorded dialogs, both editions,
// and the transfers against the simulated transmitter.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/Dessin.h"
#include "app/Erreur.h"
#include "app/Xfert.h"
#include "app/core/LinFile.h"
#include "controls/MyControls.h"
#include "model/Format.h"
#include "support/AppFixture.h"
#include "support/FileRights.h"

namespace fs = std::filesystem;

namespace {

TFormatSettings Comma() {
  TFormatSettings fs;
  fs.DecimalSeparator = ',';
  return fs;
}

std::vector<std::int32_t> ListOf(const TJobList& j) {
  std::vector<std::int32_t> codes;
  for (int i = 0; i < TJobList::Slots && j.At(i) != 0; ++i) codes.push_back(j.At(i));
  return codes;
}

std::vector<TRealPoint> Curve(const TDraw& d) {
  return {d.Points.begin(), d.Points.begin() + d.LastIndex + 1};
}

void SetCurve(TDraw& d, const std::vector<TRealPoint>& points) {
  for (std::size_t i = 0; i < points.size(); ++i) d.Points[i] = points[i];
  d.LastIndex = static_cast<int>(points.size()) - 1;
  d.UpdateCurve();
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// One world of either edition, its linearisation window shown, and a folder for files.
class DessinTest : public ::testing::Test {
protected:
  explicit DessinTest(TLangue langue = TLangue::Anglais, TFormatSettings fs = {}) : World(langue, fs) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = fs::temp_directory_path() / (std::string("corvin_dessin_") + info->test_suite_name() + "_" + info->name() +
                                       "_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    Form().Show();
  }
  ~DessinTest() override {
    std::error_code ec;
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir, ec);
  }

  TDessinForm& Form() const { return *World.Program->Forms.DessinForm; }
  TDraw& Draw() const { return *Form().Draw1; }
  TStringGrid& Grid() const { return *Form().StringGrid1; }
  std::string PathOf(const std::string& name) const { return (dir / name).string(); }

  // The texts of a grid row.
  std::vector<std::string> Row(int r) const { return {Grid().Cell(0, r), Grid().Cell(1, r), Grid().Cell(2, r)}; }

  // The open cell editor; null when no cell is being edited.
  QLineEdit* Editor() const {
    for (QLineEdit* e : Grid().findChildren<QLineEdit*>())
      if (e->isVisible()) return e;
    return nullptr;
  }

  // Clicks a cell of the grid (rows as the window counts them).
  void Click(int col, int row) {
    const QRect cell = Grid().visualRect(Grid().model()->index(row - 1, col));
    QTest::mouseClick(Grid().viewport(), Qt::LeftButton, {}, cell.center());
  }

  // Types the texts into the row's X and Y cells, as the editor leaves them.
  void Type(int row, const std::string& x, const std::string& y) {
    Grid().SetCell(1, row, x);
    Grid().SetCell(2, row, y);
  }

  AppWorld World;
  fs::path dir;
};

class DessinFrench : public DessinTest {
protected:
  DessinFrench() : DessinTest(TLangue::Francais, Comma()) {}
};

const std::vector<TRealPoint> Three{{0, 0}, {50, 50}, {100, 100}};

}  // namespace

// ---------------------------------------------------------------------------------------
// The grid

TEST_F(DessinTest, ShowingTheWindowFillsTheGridWithTheCurve) {
  EXPECT_EQ(Form().Caption(), "Linearization editor");
  EXPECT_EQ(Row(0), (std::vector<std::string>{"Points:", "X", "Y"}));
  EXPECT_EQ(Row(1), (std::vector<std::string>{" 0 ", "0.00", "0.00"}));
  EXPECT_EQ(Row(2), (std::vector<std::string>{" 1 ", "100.00", "100.00"}));
  EXPECT_EQ(Row(3), (std::vector<std::string>{"", "", ""}));
  EXPECT_EQ(Grid().horizontalHeader()->height(), 20);
  EXPECT_EQ(Draw().width(), 409);
  EXPECT_EQ(Draw().height(), 409);
  EXPECT_TRUE(Draw().Clip());
  EXPECT_EQ(Draw().NbMaxSegment(), 40);

  // The grid taking the focus chooses no point (its first cell, a point number, cannot be
  // current).
  QApplication::setActiveWindow(&Form());
  Grid().setFocus();
  QCoreApplication::processEvents();
  EXPECT_EQ(Draw().Selected, -1);

  // A shorter curve empties the rows behind it.
  SetCurve(Draw(), Three);
  SetCurve(Draw(), {{-12.5f, 3.256f}, {100, 100}});
  EXPECT_EQ(Row(1), (std::vector<std::string>{" 0 ", "-12.50", "3.26"}));
  EXPECT_EQ(Row(3), (std::vector<std::string>{"", "", ""}));
}

TEST_F(DessinTest, OnlyThePointsRowsCanBeChosen) {
  SetCurve(Draw(), Three);
  Click(1, 2);
  EXPECT_EQ(Grid().Row(), 2);
  EXPECT_EQ(Draw().Selected, 1);
  Click(2, 4);  // no point there
  EXPECT_EQ(Grid().Row(), 2);
  EXPECT_EQ(Draw().Selected, 1);
  Click(0, 3);  // the number column
  EXPECT_EQ(Grid().Row(), 2);
  QTest::keyClick(&Grid(), Qt::Key_Down);
  EXPECT_EQ(Grid().Row(), 3);
  EXPECT_EQ(Draw().Selected, 2);
  QTest::keyClick(&Grid(), Qt::Key_Down);  // the last point's row is the end
  EXPECT_EQ(Grid().Row(), 3);
  EXPECT_EQ(Draw().Selected, 2);

  // After a delete the freed row cannot be chosen either.
  Draw().DeletePoint(1);
  Draw().UpdateCurve();
  Click(1, 3);
  EXPECT_NE(Draw().Selected, 2);
}

TEST_F(DessinTest, EnterTakesTheRowWhenItIsANumberInItsPlace) {
  struct Case {
    const char* x;
    const char* y;
    TRealPoint point;  // the point afterwards
    bool beep;
  };
  const std::vector<Case> cases = {
      {"60", "40", {60, 40}, false},
      {" 60.5 ", "-12.25", {60.5f, -12.25f}, false},
      {"abc", "40", {50, 50}, true},          // not a number: the point stays (not 0)
      {"60", "", {50, 50}, true},
      {"60,5", "40", {50, 50}, true},         // ',' is not this program's separator
      {"-5", "40", {50, 50}, true},           // left of the previous point's column
      {"101", "40", {50, 50}, true},          // right of the next point's column
      {"60", "200", {50, 50}, true},          // above the view
      {"1e39", "40", {50, 50}, true},         // beyond a single
      {"0", "40", {0, 40}, false},            // the previous point's column is allowed
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.x) + " / " + c.y);
    SetCurve(Draw(), Three);
    Grid().SetCurrentCell(1, 2);
    const int beeps = World.Ui.Beeps;
    Type(2, c.x, c.y);
    QTest::keyClick(&Grid(), Qt::Key_Return);
    if (QLineEdit* editor = Editor()) QTest::keyClick(editor, Qt::Key_Escape);  // Enter opened the cell
    EXPECT_EQ(Draw().Points[1], c.point);
    EXPECT_EQ(World.Ui.Beeps - beeps, c.beep ? 1 : 0);
    EXPECT_EQ(Draw().Points[0], Three[0]);
    EXPECT_EQ(Draw().LastIndex, 2);
    // The grid shows the point as it now stands.
    TFormatSettings fs;
    EXPECT_EQ(Grid().Cell(1, 2), FormatFloat00(c.point.X, fs));
  }
}

TEST_F(DessinTest, EnterInTheEditorTakesTheTypedText) {
  SetCurve(Draw(), Three);
  Grid().SetCurrentCell(1, 2);
  Grid().editItem(Grid().currentItem());
  QLineEdit* editor = Editor();
  ASSERT_NE(editor, nullptr);
  editor->setText("70");
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();  // the edit ends just after the key
  EXPECT_FALSE(Grid().Editing());
  EXPECT_EQ(Draw().Points[1], (TRealPoint{70, 50}));
  EXPECT_EQ(Grid().Cell(1, 2), "70.00");
  EXPECT_TRUE(Form().Visible());

  // Esc in the editor drops the text and goes back to the last snapshot.
  Grid().editItem(Grid().currentItem());
  editor = Editor();
  ASSERT_NE(editor, nullptr);
  editor->setText("80");
  QTest::keyClick(editor, Qt::Key_Escape);
  QCoreApplication::processEvents();
  EXPECT_FALSE(Grid().Editing());
  EXPECT_EQ(Draw().Points[1], (TRealPoint{70, 50}));
  EXPECT_EQ(Grid().Cell(1, 2), "70.00");
  EXPECT_TRUE(Form().Visible());
}

TEST_F(DessinTest, InsertDeleteAndEscOnTheGrid) {
  SetCurve(Draw(), Three);
  Grid().SetCurrentCell(1, 2);  // point 1

  // Insert: a point at the pixel middle of the segment that ends at the selected point.
  QTest::keyClick(&Grid(), Qt::Key_Insert);
  ASSERT_EQ(Draw().LastIndex, 3);
  EXPECT_EQ(Draw().Selected, 1);
  EXPECT_NEAR(Draw().Points[1].X, 25.0f, 0.5f);
  EXPECT_EQ(Draw().Points[2], Three[1]);
  EXPECT_EQ(Row(4)[0], " 3 ");

  // Each key takes a snapshot, so Esc has nothing to undo right after one.
  QTest::keyClick(&Grid(), Qt::Key_Escape);
  EXPECT_EQ(Draw().LastIndex, 3);
  EXPECT_TRUE(Form().Visible());  // Esc does not close the window

  // Delete removes the selected point.
  QTest::keyClick(&Grid(), Qt::Key_Delete);
  EXPECT_EQ(Curve(Draw()), Three);

  // A change of the mouse's menu is undone by Esc.
  Draw().DeletePoint(1);
  ASSERT_EQ(Draw().LastIndex, 1);
  QTest::keyClick(&Grid(), Qt::Key_Escape);
  EXPECT_EQ(Curve(Draw()), Three);
  EXPECT_EQ(Row(3)[1], "100.00");

  // While a cell is edited, Insert and Delete belong to the editor.
  Grid().editItem(Grid().currentItem());
  QLineEdit* editor = Editor();
  ASSERT_NE(editor, nullptr);
  QTest::keyClick(editor, Qt::Key_Delete);
  QTest::keyClick(editor, Qt::Key_Insert);
  EXPECT_EQ(Draw().LastIndex, 2);
}

TEST_F(DessinTest, DrawBeepsThroughTheDesktopServices) {
  Draw().ZoomLevel = Draw().ZoomMax + 1;
  Draw().ZoomIn();  // refused
  EXPECT_EQ(World.Ui.Beeps, 1);
}

// ---------------------------------------------------------------------------------------
// Buttons

TEST_F(DessinTest, TransferButtonsWriteTheirListsAndLeaveBusy) {
  struct Case {
    QPushButton* button;
    std::vector<std::int32_t> list;
    std::int32_t lastJob;
  };
  const std::vector<Case> cases = {
      {Form().Btn_RD, {208, 209, 500}, 208},
      {Form().Btn_WR, {312, 309, 313, 311, 500}, 312},
      {Form().BtnClear, {312, 410, 500}, 312},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button->objectName().toStdString());
    for (bool busy : {false, true}) {
      World.Jobs().StartList({1, 2, 3, 4, 5, 6, 7});
      World.Jobs().JobIndex = 3;
      World.Jobs().Busy = busy;
      c.button->click();
      EXPECT_EQ(ListOf(World.Jobs()), c.list);
      EXPECT_EQ(World.Jobs().LastJob, c.lastJob);
      EXPECT_EQ(World.Jobs().JobIndex, 0);
      EXPECT_EQ(World.Jobs().Busy, busy);
    }
  }
  // Reading from the device leaves the curve until its answers come.
  EXPECT_EQ(Draw().LastIndex, 1);
  World.Sim.Identity.DeviceType = 0x10;  // a voltage input: its curve can be transferred
  World.Connect();
  SetCurve(Draw(), Three);
  World.Sim.State.SegmentCount = 2;
  for (std::size_t i = 0; i < 3; ++i) World.Sim.State.Points[i] = {static_cast<float>(i) + 1, static_cast<float>(i) + 2};
  World.Main().SegmentCounter = 0;
  Form().Btn_RD->click();
  ASSERT_TRUE(World.Sched.AdvanceUntil([&] { return World.Main().SegmentCounter == 2; }, 20000));  // two points in
  EXPECT_EQ(Curve(Draw()), Three);
  ASSERT_TRUE(World.Sched.AdvanceUntil([&] { return World.Jobs().At(World.Jobs().JobIndex) == 0; }, 20000));
  EXPECT_EQ(Curve(Draw()), (std::vector<TRealPoint>{{1, 2}, {2, 3}, {3, 4}}));
}

TEST_F(DessinTest, PcToXtRefusesMoreThan48Points) {
  std::vector<TRealPoint> points;
  for (int i = 0; i < 49; ++i) points.push_back({static_cast<float>(i), static_cast<float>(i)});
  SetCurve(Draw(), points);
  World.Jobs().StartList({7});
  Form().Btn_WR->click();
  EXPECT_EQ(ListOf(World.Jobs()), std::vector<std::int32_t>{7});
  EXPECT_TRUE(World.Program->Forms.ErreurForm->Visible());
  EXPECT_EQ(World.Program->Forms.ErreurForm->LbErreur->Caption(), "Bad segment number");

  points.pop_back();  // 48 points: the device's whole table
  SetCurve(Draw(), points);
  Form().Btn_WR->click();
  EXPECT_EQ(ListOf(World.Jobs()), (std::vector<std::int32_t>{312, 309, 313, 311, 500}));
}

TEST_F(DessinTest, MeasureShowsTheMainWindowsMeasureAndPolls) {
  World.Jobs().StartList({201, 200});
  World.Jobs().Busy = false;
  Form().BitBtnLangue1->click();
  EXPECT_EQ(ListOf(World.Jobs()), std::vector<std::int32_t>{1});
  EXPECT_EQ(World.Jobs().JobIndex, 0);
  EXPECT_EQ(World.Main().TabbedNotebook->PageIndex(), 1);
  EXPECT_FALSE(World.Main().DetailPanel->isHidden());

  Form().ShowMeasure(true, "42.00", 42.0f);
  EXPECT_FALSE(Form().LbDEP->isHidden());
  EXPECT_EQ(Form().LbPV->Caption(), "42.00");
  EXPECT_FLOAT_EQ(Draw().CrossX, 42.0f);
  Form().ShowMeasure(false, "150.00", 150.0f);
  EXPECT_TRUE(Form().LbDEP->isHidden());
  EXPECT_FLOAT_EQ(Draw().CrossX, 100.0f);  // held at the last point
}

TEST_F(DessinTest, NewOriginZoomCloseAndTransfersSwitch) {
  Form().ZoomBar->setValue(1);
  EXPECT_EQ(Draw().ZoomLevel, 1);
  EXPECT_FLOAT_EQ(Draw().XRange, 33.75f);
  Form().ZoomBar->setValue(0);
  EXPECT_EQ(Draw().ZoomLevel, 0);
  EXPECT_FLOAT_EQ(Draw().XRange, 135.0f);
  Draw().ZoomIn();  // from the view's menu: the bar follows
  EXPECT_EQ(Form().ZoomBar->value(), 1);

  Form().Btn_C->click();  // "Origin"
  EXPECT_EQ(Draw().ZoomLevel, 0);
  EXPECT_EQ(Form().ZoomBar->value(), 0);
  EXPECT_FLOAT_EQ(Draw().Xmin(), -25.0f);

  SetCurve(Draw(), Three);
  Draw().Selected = 2;
  Draw().ZoomIn();
  Form().Btn_New->click();
  EXPECT_EQ(Curve(Draw()), (std::vector<TRealPoint>{{0, 0}, {100, 100}}));
  EXPECT_EQ(Draw().Selected, 2);
  EXPECT_EQ(Draw().ZoomLevel, 0);
  EXPECT_FLOAT_EQ(Draw().Xmin(), -10.0f);
  EXPECT_FLOAT_EQ(Draw().Ymax(), 110.0f);
  EXPECT_FLOAT_EQ(Draw().XRange, 120.0f);

  Form().EnableTransfers(false);
  EXPECT_FALSE(Form().Btn_WR->isEnabled());
  EXPECT_FALSE(Form().Btn_RD->isEnabled());
  Form().EnableTransfers(true);
  EXPECT_TRUE(Form().Btn_WR->isEnabled());

  Form().Btn_Quit->click();
  EXPECT_FALSE(Form().Visible());
}

// ---------------------------------------------------------------------------------------
// *.LIN files through the dialogs

TEST_F(DessinTest, LoadTakesAWholeFile) {
  const std::vector<TLinPoint> points{{-10, -5}, {20, 30.5f}, {105, 99}};
  WriteAll(PathOf("CURVE.LIN"), WriteLinText(points));
  World.Ui.OpenPaths.push_back(PathOf("CURVE.LIN"));
  Form().Btn_Load->click();

  ASSERT_EQ(World.Ui.FileDialogs.size(), 1u);
  EXPECT_EQ(World.Ui.FileDialogs[0].Title, "Load file");
  EXPECT_EQ(World.Ui.FileDialogs[0].Filter, "Linearization file (*.LIN)|*.LIN|All files (*.*)|*.*");
  EXPECT_EQ(Curve(Draw()), (std::vector<TRealPoint>{{-10, -5}, {20, 30.5f}, {105, 99}}));
  EXPECT_EQ(Form().Caption(), PathOf("CURVE.LIN"));
  EXPECT_EQ(Row(2), (std::vector<std::string>{" 1 ", "20.00", "30.50"}));
  EXPECT_TRUE(World.Ui.Messages.empty());
  EXPECT_TRUE(World.Ui.ErrorReports.empty());

  // A cancelled dialog changes nothing.
  Form().Btn_Load->click();
  EXPECT_EQ(Draw().LastIndex, 2);
}

TEST_F(DessinTest, LoadWarnsOfACountThatDiffers) {
  std::string text = WriteLinText(std::vector<TLinPoint>{{1, 2}, {3, 4}, {5, 6}, {7, 8}});
  text.replace(text.find(".equ 4"), 6, ".equ 5");
  WriteAll(PathOf("FOUR.LIN"), text);
  World.Ui.OpenPaths.push_back(PathOf("FOUR.LIN"));
  Form().Btn_Load->click();
  EXPECT_EQ(World.Ui.Messages, std::vector<std::string>{"Warning : Bad segment number"});
  EXPECT_EQ(Draw().LastIndex, 3);
}

TEST_F(DessinTest, ALoadThatFailsChangesNothing) {
  SetCurve(Draw(), Three);
  const std::string caption = Form().Caption();
  const std::vector<std::string> row2 = Row(2);

  WriteAll(PathOf("BAD.LIN"),
           "Nb_Seg .equ 3\r\n.float 1\r\n.float 2\r\n.float 3\r\n.float x\r\n.float 5\r\n.float 6\r\n");
  WriteAll(PathOf("ONE.LIN"), WriteLinText(std::vector<TLinPoint>{{1, 2}}));
  WriteAll(PathOf("COUNT.LIN"), "Nb_Seg .equ 2 \r\n.float 1\r\n.float 2\r\n.float 3\r\n.float 4\r\n");
  fs::create_directory(PathOf("FOLDER.LIN"));
  WriteAll(PathOf("SECRET.LIN"), WriteLinText(std::vector<TLinPoint>{{1, 2}, {3, 4}}));
  fs::permissions(PathOf("SECRET.LIN"), fs::perms::owner_write);

  struct Case {
    const char* file;
    std::vector<std::string> messages;
    std::vector<std::string> reports;
  };
  const std::vector<Case> cases = {
      {"BAD.LIN", {}, {"'x' is not a valid floating point value"}},
      {"COUNT.LIN", {}, {"'2' is not a valid integer value"}},
      {"ONE.LIN", {"Warning : Bad segment number"}, {}},
      {"FOLDER.LIN", {"The linearization file cannot be opened."}, {}},
      {"MISSING.LIN", {"The linearization file cannot be opened."}, {}},
      {"SECRET.LIN", {"The linearization file cannot be opened."}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    World.Ui.Messages.clear();
    World.Ui.ErrorReports.clear();
    World.Ui.OpenPaths.push_back(PathOf(c.file));
    {
      OrdinaryFileRights rights;
      Form().Btn_Load->click();
    }
    EXPECT_EQ(World.Ui.Messages, c.messages);
    EXPECT_EQ(World.Ui.ErrorReports, c.reports);
    EXPECT_EQ(Curve(Draw()), Three);
    EXPECT_EQ(Form().Caption(), caption);
    EXPECT_EQ(Row(2), row2);
  }
}

TEST_F(DessinTest, SaveWritesTheCurveAndProposesTheLastLoadedFile) {
  SetCurve(Draw(), {{-12.5f, 0}, {33.333f, 66.666f}, {100, 100}});
  World.Ui.SavePaths.push_back(PathOf("OUT.LIN"));
  Form().Btn_Save->click();
  ASSERT_EQ(World.Ui.FileDialogs.size(), 1u);
  const TFileDialogOptions& o = World.Ui.FileDialogs[0];
  EXPECT_EQ(o.Title, "Save file");
  EXPECT_EQ(o.Filter, "Linearization file (*.LIN)|*.LIN|All files (*.*)|*.*");
  EXPECT_EQ(o.DefaultExt, "Lin");
  EXPECT_TRUE(o.OverwritePrompt);
  EXPECT_EQ(ReadAll(PathOf("OUT.LIN")),
            WriteLinText(std::vector<TLinPoint>{{-12.5f, 0}, {33.333f, 66.666f}, {100, 100}}));
  EXPECT_TRUE(World.Ui.Messages.empty());

  // Loaded back: the same points to two decimals.
  World.Ui.OpenPaths.push_back(PathOf("OUT.LIN"));
  Form().Btn_Load->click();
  EXPECT_EQ(Curve(Draw()), (std::vector<TRealPoint>{{-12.5f, 0}, {33.33f, 66.67f}, {100, 100}}));
  EXPECT_TRUE(World.Ui.Messages.empty());

  // The next save proposes that file; a cancelled save writes nothing.
  Form().Btn_Save->click();
  ASSERT_EQ(World.Ui.FileDialogs.size(), 3u);
  EXPECT_EQ(World.Ui.FileDialogs[2].FileName, "OUT.LIN");
  EXPECT_EQ(World.Ui.FileDialogs[2].InitialDir, dir.string());
}

TEST_F(DessinTest, ASaveThatFailsSaysSoAndKeepsTheOldFile) {
  WriteAll(PathOf("OLD.LIN"), "old");
  WriteAll(PathOf("PLAIN"), "x");
  fs::create_directory(PathOf("LOCKED"));
  WriteAll(PathOf("LOCKED/OLD.LIN"), "old");
  fs::permissions(PathOf("LOCKED"), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                                        fs::perms::others_exec);
  for (const std::string& path : {PathOf("PLAIN/A.LIN"), PathOf("NO_DIR/A.LIN"), PathOf("LOCKED/OLD.LIN")}) {
    SCOPED_TRACE(path);
    World.Ui.Messages.clear();
    World.Ui.SavePaths.push_back(path);
    {
      OrdinaryFileRights rights;
      Form().Btn_Save->click();
    }
    EXPECT_EQ(World.Ui.Messages, std::vector<std::string>{"The linearization file cannot be written."});
  }
  EXPECT_EQ(ReadAll(PathOf("LOCKED/OLD.LIN")), "old");
  EXPECT_EQ(Curve(Draw()), (std::vector<TRealPoint>{{0, 0}, {100, 100}}));
}

// ---------------------------------------------------------------------------------------
// The French edition with a decimal comma

TEST_F(DessinFrench, TextsGridAndFilesWithADecimalComma) {
  EXPECT_EQ(Form().Caption(), "\xC9" "diteur de lin\xE9" "arisation");
  EXPECT_EQ(Row(0)[0], "Points :");
  EXPECT_EQ(Row(2), (std::vector<std::string>{" 1 ", "100,00", "100,00"}));
  EXPECT_EQ(Form().Btn_Load->Caption(), "Charger");
  EXPECT_EQ(Form().Btn_Save->Caption(), "Enregistrer");
  EXPECT_EQ(Form().Btn_Quit->Caption(), "Fermer");
  EXPECT_EQ(Form().LbDEP->Caption(), "D\xE9p");

  // The grid takes the comma and the point.
  SetCurve(Draw(), Three);
  Grid().SetCurrentCell(1, 2);
  Type(2, "60,5", "40.25");
  QTest::keyClick(&Grid(), Qt::Key_Return);
  EXPECT_EQ(Draw().Points[1], (TRealPoint{60.5f, 40.25f}));
  EXPECT_EQ(Row(2)[1], "60,50");
  EXPECT_EQ(World.Ui.Beeps, 0);

  // Files keep the point.
  World.Ui.SavePaths.push_back(PathOf("FR.LIN"));
  Form().Btn_Save->click();
  EXPECT_EQ(World.Ui.FileDialogs.back().Title, "Enregistrer le fichier");
  EXPECT_EQ(ReadAll(PathOf("FR.LIN")), WriteLinText(std::vector<TLinPoint>{{0, 0}, {60.5f, 40.25f}, {100, 100}}));

  WriteAll(PathOf("FIVE.LIN"), "Nb_Seg .equ 5\r\n.float 1\r\n.float 2\r\n.float -12.5\r\n.float 4,5\r\n");
  World.Ui.OpenPaths.push_back(PathOf("FIVE.LIN"));
  Form().Btn_Load->click();
  EXPECT_EQ(World.Ui.FileDialogs.back().Title, "Charger un fichier");
  EXPECT_EQ(World.Ui.FileDialogs.back().Filter,
            "Fichier de lin\xE9" "arisation (*.LIN)|*.LIN|Tous les fichiers (*.*)|*.*");
  EXPECT_EQ(World.Ui.Messages, std::vector<std::string>{"Attention : nombre de segments incorrect"});
  EXPECT_EQ(Curve(Draw()), (std::vector<TRealPoint>{{1, 2}, {-12.5f, 4.5f}}));

  World.Ui.Messages.clear();
  World.Ui.OpenPaths.push_back(PathOf("NOTHING.LIN"));
  Form().Btn_Load->click();
  EXPECT_EQ(World.Ui.Messages, std::vector<std::string>{"Impossible d'ouvrir le fichier de lin\xE9" "arisation."});

  std::vector<TRealPoint> many;
  for (int i = 0; i < 49; ++i) many.push_back({static_cast<float>(i), 0});
  SetCurve(Draw(), many);
  Form().Btn_WR->click();
  EXPECT_EQ(World.Program->Forms.ErreurForm->LbErreur->Caption(), "Nombre de segments incorrect");
}

// ---------------------------------------------------------------------------------------
// The progress window

TEST_F(DessinTest, ProgressWindow) {
  TXfertForm& x = *World.Program->Forms.XfertForm;
  x.SetPosition(3);
  x.StartProgress(10);
  EXPECT_TRUE(x.Visible());
  EXPECT_EQ(x.Caption(), "Transferring Linearization data");
  EXPECT_EQ(x.Progress->minimum(), 0);
  EXPECT_EQ(x.Progress->maximum(), 10);
  EXPECT_EQ(x.Progress->value(), 3);  // left as it was
  x.SetPosition(12);
  EXPECT_EQ(x.Progress->value(), 10);
  x.StartProgress(4);  // a shorter transfer: the position stops at its end
  EXPECT_EQ(x.Progress->value(), 4);
  x.Close();
  EXPECT_FALSE(x.Visible());

  AppWorld fr(TLangue::Francais);
  fr.Program->Forms.XfertForm->StartProgress(2);
  EXPECT_EQ(fr.Program->Forms.XfertForm->Caption(), "Transfert des donn\xE9" "es de lin\xE9" "arisation");
}

// ---------------------------------------------------------------------------------------
// Transfers against the simulated transmitter

namespace {

// Runs until the list has come back to its idle end (or maxMs passed).
bool RunTransfer(AppWorld& w, std::int64_t maxMs = 60000) {
  return w.Sched.AdvanceUntil(
      [&] {
        const TJobList& j = w.Jobs();
        return j.At(j.JobIndex) == 0 && j.CurrentJob == 0 && !w.Program->Forms.XfertForm->Visible();
      },
      maxMs);
}

}  // namespace

TEST_F(DessinTest, TransfersReachTheTransmittersTable) {
  Form().EnableTransfers(false);
  World.Sim.Identity.DeviceType = 0x10;  // a voltage input: its curve can be transferred
  World.Connect();
  ASSERT_TRUE(Form().Btn_WR->isEnabled());
  ASSERT_TRUE(Form().Btn_RD->isEnabled());

  // "PC->XT": the curve goes into the device's table with its segment count.
  SetCurve(Draw(), {{-10, -5}, {20, 30.5f}, {60, 55}, {110, 104}});
  Form().Btn_WR->click();
  ASSERT_TRUE(RunTransfer(World));
  EXPECT_EQ(World.Sim.State.SegmentCount, 3);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(World.Sim.State.Points[static_cast<std::size_t>(i)].X, Draw().Points[static_cast<std::size_t>(i)].X);
    EXPECT_EQ(World.Sim.State.Points[static_cast<std::size_t>(i)].Y, Draw().Points[static_cast<std::size_t>(i)].Y);
  }

  // "XT->PC": the device's table comes back into Draw1 and the grid.
  World.Sim.State.Points[1] = {25, 35};
  World.Sim.State.SegmentCount = 2;
  Form().Btn_RD->click();
  ASSERT_TRUE(RunTransfer(World));
  EXPECT_EQ(Curve(Draw()), (std::vector<TRealPoint>{{-10, -5}, {25, 35}, {60, 55}}));
  EXPECT_EQ(Row(2), (std::vector<std::string>{" 1 ", "25.00", "35.00"}));

  // "Clear XT": the count goes to 0 and no point is sent.
  const std::size_t before = World.Sim.Requests.size();
  Form().BtnClear->click();
  ASSERT_TRUE(RunTransfer(World));
  EXPECT_EQ(World.Sim.State.SegmentCount, 0);
  for (std::size_t i = before; i < World.Sim.Requests.size(); ++i) EXPECT_NE(World.Sim.Requests[i].Command, 201);
  EXPECT_EQ(Draw().LastIndex, 2);
}
