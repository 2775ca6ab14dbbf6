// The search page: the search button by address and by tag, the device tree's drag and drop,
// renaming and double click, and the information panel, through the real tree widget and
// the simulated transmitter.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDrag>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <algorithm>

#include "app/Dessin.h"
#include "app/Erreur.h"
#include "app/OfflineSelect.h"
#include "app/QtUiServices.h"
#include "app/Xfert.h"
#include "app/core/TagText.h"
#include "app/tstXT.h"
#include "support/AppFixture.h"
#include "support/RealDrags.h"
#include "support/SimWire.h"
#include "support/TempCwd.h"

namespace {

struct SearchPage : ::testing::Test {
  explicit SearchPage(TLangue langue = TLangue::Anglais) : World(langue) {}
  AppWorld World;
  TMainForm& M() const { return World.Main(); }
  TTreeView& Tree() const { return *World.Main().TreeView; }
  QTreeWidgetItem* Node(int address) const { return Tree().Node(address + 1); }

  // A search by address that finds the simulated transmitter at `address`.
  void FindAt(int address) {
    World.Sim.Identity.PollingAddress = static_cast<std::uint8_t>(address);
    M().BtnSeach->click();
    ASSERT_TRUE(World.Sched.AdvanceUntil([&] { return World.Jobs().JobIndex == 5; }, 60000));
    World.Advance(3000);
    ASSERT_EQ(M().CurrentAddress, address);
    ASSERT_EQ(TTreeView::SelectedIndex(*Node(address)), -1);
    ASSERT_EQ(TTreeView::Text(*Node(address)), World.Xmt().Tag);
  }
  // The jobs from the list index on, up to the 0.
  std::vector<std::int32_t> Next() const {
    std::vector<std::int32_t> jobs;
    for (int i = World.Jobs().JobIndex; World.Jobs().At(i) != 0; ++i) jobs.push_back(World.Jobs().At(i));
    return jobs;
  }
  bool InfoShown() const { return !M().InfoPanel->isHidden(); }
  // Presses the mouse at `from` on `pressOn`, moves it to begin a drag of `source` and lets
  // it go over the point `to` of `target`, through the platform's drag. Windows shown.
  static void DragWithTheMouse(QWidget* source, QWidget* pressOn, QPoint from, QWidget* target, QPoint to) {
    // Once the drag has begun, its own event loop runs the moves and the release.
    auto dragging = [source] { return source->findChild<QDrag*>() != nullptr; };
    int step = 0;
    QTimer stepper;
    QObject::connect(&stepper, &QTimer::timeout, [&] {
      if (step == 0 && !dragging()) return;
      switch (step++) {
        case 0: QTest::mouseMove(target, to + QPoint(0, 2)); break;
        case 1: QTest::mouseMove(target, to); break;
        case 2: QTest::mouseRelease(target, Qt::LeftButton, {}, to); break;
        default: break;
      }
    });
    stepper.start(10);
    QTest::mousePress(pressOn, Qt::LeftButton, {}, from);
    // The tree readies a drag at the first move and begins it at the next one beyond the
    // start distance.
    QTest::mouseMove(pressOn, from + QPoint(1, 0));
    QTest::mouseMove(pressOn, from + QPoint(QApplication::startDragDistance() + 4, 0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return step > 2 && !dragging(); }, 5000)) << "the drag did not end";
  }
  // The node taken in the tree.
  void DragNode(QTreeWidgetItem* node, QWidget* target, QPoint to) {
    DragWithTheMouse(&Tree(), Tree().viewport(), Tree().visualItemRect(node).center(), target, to);
  }
  // Renames the node as the user does: F2, the text typed (a control character pasted, as
  // it cannot be typed), Return. The window must be shown.
  void RenameInTheEditor(QTreeWidgetItem* node, const QString& typed) {
    Tree().SetSelected(node);
    Tree().setFocus();
    QTest::keyClick(&Tree(), Qt::Key_F2);
    auto* e = qobject_cast<QLineEdit*>(Tree().indexWidget(Tree().indexFromItem(node)));
    ASSERT_NE(e, nullptr);
    e->selectAll();
    e->del();
    for (char32_t c : typed.toUcs4()) {
      const QString one = QString::fromUcs4(&c, 1);
      if (c < 0x20) {
        e->insert(one);
        continue;
      }
      QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, one);
      QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, one);
      QCoreApplication::sendEvent(e, &press);
      QCoreApplication::sendEvent(e, &release);
    }
    ASSERT_EQ(e->text(), typed);
    const std::size_t messages = World.Ui.Messages.size();
    QTest::keyClick(e, Qt::Key_Return);
    ASSERT_TRUE(TreeTookTheEdit(node, messages));
  }
  // The tree hands an edit over once its editor is closed, from the event loop: to a refusal
  // (a message) or to the rename (jobs queued).
  bool TreeTookTheEdit(QTreeWidgetItem* node, std::size_t messagesBefore) {
    return QTest::qWaitFor(
        [&] {
          return Tree().indexWidget(Tree().indexFromItem(node)) == nullptr &&
                 (World.Ui.Messages.size() > messagesBefore || !Next().empty());
        },
        10000);
  }
  // The request of the given command the transmitter received last.
  const SimRequest* LastRequest(int command) const {
    for (auto r = World.Sim.Requests.rbegin(); r != World.Sim.Requests.rend(); ++r)
      if (r->Command == command) return &*r;
    return nullptr;
  }
};

}  // namespace

TEST_F(SearchPage, SearchByAddressStartsAfresh) {
  TMainForm& m = M();
  FindAt(2);
  // Leftovers of the last search and of the panel.
  TTreeView::SetText(*Node(9), "OLD");
  Tree().SetImages(*Node(9), 0, -1, 2);
  m.ShowDeviceInfo(nullptr);
  ASSERT_TRUE(InfoShown());
  for (TForm* f : std::initializer_list<TForm*>{World.Program->Forms.DessinForm, World.Program->Forms.ErreurForm,
                                                World.Program->Forms.TstXTForm, World.Program->Forms.XfertForm})
    f->Show();
  m.ScanAddress = 9;
  m.ScanLimit = 3;
  const int beeps = World.Ui.Beeps;
  const std::size_t sent = World.Fake.Sent.size();

  m.BtnSeach->click();
  const std::int64_t t0 = World.Sched.NowMs();
  for (int k = 0; k < 16; ++k) {
    EXPECT_EQ(TTreeView::Text(*Node(k)), std::to_string(k));
    EXPECT_EQ((std::vector{TTreeView::ImageIndex(*Node(k)), TTreeView::SelectedIndex(*Node(k)), TTreeView::StateIndex(*Node(k))}),
              (std::vector{-1, 1, -1}))
        << k;
  }
  EXPECT_FALSE(InfoShown());
  EXPECT_EQ(m.GrInfo->title(), "");
  EXPECT_FALSE(m.BtnProd->isEnabled());
  for (TLabel* l : {m.LbComUniv, m.LbSpec, m.LbHard, m.LbSoft}) EXPECT_EQ(l->Caption(), "0");
  EXPECT_EQ(m.LbProdInfo->Caption(), "Type");
  EXPECT_EQ(Next(), (std::vector<std::int32_t>{100, 101, 102, 103, 104}));
  EXPECT_EQ(World.Jobs().LastJob, 100);
  EXPECT_TRUE(World.Jobs().Busy);
  EXPECT_EQ(m.ScanAddress, 0);
  EXPECT_EQ(m.ScanLimit, 16);
  EXPECT_EQ(m.TabbedNotebook->PageIndex(), 0);
  EXPECT_EQ(m.Connect->Caption(), "* Disconnected *");  // the device found before is let go
  EXPECT_EQ(World.Ui.Beeps, beeps + 1);
  for (TForm* f : std::initializer_list<TForm*>{World.Program->Forms.DessinForm, World.Program->Forms.ErreurForm,
                                                World.Program->Forms.TstXTForm, World.Program->Forms.XfertForm})
    EXPECT_FALSE(f->Visible()) << f->objectName().toStdString();

  World.Advance(49);
  EXPECT_EQ(World.Fake.Sent.size(), sent);
  World.Advance(1);
  ASSERT_EQ(World.Fake.Sent.size(), sent + 1);
  EXPECT_EQ(World.Fake.Sent.back().AtMs, t0 + 50);
  ASSERT_TRUE(World.AdvanceUntilRequests(1));
  EXPECT_EQ(World.Sim.Requests.back().Command, 0);
}

// By tag: 111 then 112, with the tag of the search field; the address of the device found
// before is kept.
TEST_F(SearchPage, SearchByTagKeepsTheCurrentAddress) {
  TMainForm& m = M();
  m.CurrentAddress = 7;
  World.Sim.Identity.PollingAddress = 3;
  World.Sim.State.Tag = "PT-7";
  m.BtnSearchTAG->click();
  EXPECT_TRUE(m.TreeView->isHidden());
  EXPECT_TRUE(m.EditConnectbyTAG->isEnabled());
  m.EditConnectbyTAG->SetText("PT-7");
  m.BtnSeach->click();
  EXPECT_EQ(Next(), (std::vector<std::int32_t>{111, 112}));
  EXPECT_EQ(World.Jobs().LastJob, 111);
  ASSERT_TRUE(World.Sched.AdvanceUntil([&] { return World.Jobs().JobIndex == 2 && World.Jobs().At(2) == 0; }, 20000));
  World.Advance(3000);
  EXPECT_EQ(World.Commands(), (std::vector<int>{11, 13}));
  EXPECT_EQ(SimGetPacked(LastRequest(11)->Data, 0, 8), "PT-7    ");
  EXPECT_EQ(m.Transmetteur.GetConnected(), 1);
  EXPECT_EQ(m.CurrentAddress, 7);
  EXPECT_TRUE(InfoShown());
  EXPECT_EQ(m.GrInfo->title(), "");  // a search by tag leaves the caption alone

  m.BtnSearchOne->click();
  EXPECT_FALSE(m.TreeView->isHidden());
  EXPECT_FALSE(m.EditConnectbyTAG->isEnabled());
}

// Whatever the search field holds, the tag asked for is what it shows, in the characters a
// device keeps; text that cannot be sent as it stands is refused.
TEST_F(SearchPage, SearchedTagsOfAnyLengthAndCharacter) {
  struct Case {
    std::string typed;  // Windows-1252
    const char* asked;  // null: refused
  };
  const std::vector<Case> cases = {
      {"", "        "},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123", "ABCDEFGH"},  // the field keeps 8
      {"T\xC9T\xC9", nullptr},
      {"A{B}", nullptr},
      {"A\x01", nullptr},
      {"A_B@[]^", "A_B@[]^ "},
  };
  M().BtnSearchTAG->click();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    World.Jobs().SetIdle();
    World.Jobs().Busy = false;
    M().EditConnectbyTAG->SetText(c.typed);
    const std::size_t requests = World.Sim.Requests.size();
    const int beeps = World.Ui.Beeps;
    const std::size_t messages = World.Ui.Messages.size();
    M().BtnSeach->click();
    World.Advance(1000);
    if (c.asked) {
      ASSERT_EQ(World.Sim.Requests.size(), requests + 1);
      EXPECT_EQ(SimGetPacked(World.Sim.Requests.back().Data, 0, 8), c.asked);
      EXPECT_EQ(World.Ui.Messages.size(), messages);
    } else {
      EXPECT_EQ(World.Sim.Requests.size(), requests);
      EXPECT_EQ(World.Ui.Beeps, beeps + 1);
      ASSERT_EQ(World.Ui.Messages.size(), messages + 1);
      EXPECT_EQ(World.Ui.Messages.back(), "Character not allowed in a TAG");
      EXPECT_EQ(World.Jobs().At(World.Jobs().JobIndex), 0);
    }
  }
}

// Drag and drop inside the tree, by the dragged node and the node it is dropped on.
TEST_F(SearchPage, DragAndDropInTheTree) {
  FindAt(2);
  struct Case {
    const char* name;
    int dragged;         // absolute index of the selected node
    int target;          // absolute index under the drop point (-1: none)
    bool fromTree;       // the drag's source is the tree
    bool moves;          // job 300 queued, to target - 1
    int info;            // 1 shown, 0 cleared, -1 left as it was
  };
  const std::vector<Case> cases = {
      {"connected onto 5", 3, 6, true, true, -1},
      {"connected onto 15", 3, 16, true, true, -1},
      {"connected onto 0", 3, 1, true, true, -1},
      {"another onto 5", 5, 6, true, false, -1},
      {"connected onto itself", 3, 3, true, false, -1},
      {"connected onto the root", 3, 0, true, false, 1},
      {"another onto the root", 5, 0, true, false, 0},
      {"connected onto nothing", 3, -1, true, false, -1},
      {"from another control", 3, 6, false, false, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    World.Jobs().SetIdle();
    M().NewPollingAddress = 0;
    M().ClearDeviceInfo(nullptr);
    const bool before = InfoShown();
    Tree().SetSelected(Tree().Node(c.dragged));
    bool accept = false;
    M().LbProdDragOver(nullptr, c.fromTree ? static_cast<QObject*>(&Tree()) : M().LbPV, accept);
    EXPECT_EQ(accept, c.fromTree);
    M().TreeViewDragDrop(nullptr, c.fromTree ? static_cast<QObject*>(&Tree()) : M().LbPV, c.target);
    EXPECT_EQ(Next(), c.moves ? std::vector<std::int32_t>{300} : std::vector<std::int32_t>{});
    EXPECT_EQ(M().NewPollingAddress, c.moves ? c.target - 1 : 0);
    EXPECT_EQ(InfoShown(), c.info < 0 ? before : c.info == 1);
  }
  // The root cannot be dragged.
  Tree().SetSelected(Tree().Node(0));
  bool accept = true;
  M().LbProdDragOver(nullptr, &Tree(), accept);
  EXPECT_FALSE(accept);
}

// Drag and drop as the user does it, with the mouse, in the tree and onto the information
// panel: only the connected device's node, dragged elsewhere, moves it; the root cannot be
// dragged; a drag from another control is refused; no node is ever moved by the tree itself.
TEST_F(SearchPage, DragAndDropWithTheMouse) {
  if (!RealDragsHere()) return;
  FindAt(2);
  TMainForm& m = M();
  m.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&m));
  QWidget* viewport = Tree().viewport();
  auto at = [&](QTreeWidgetItem* node) { return Tree().visualItemRect(node).center(); };
  const QPoint below(at(Node(15)).x(), Tree().visualItemRect(Node(15)).bottom() + 20);
  ASSERT_LT(below.y(), viewport->height());  // the tree has room below its last node
  std::vector<std::string> texts;
  for (int n = 0; n < Tree().NodeCount(); ++n) texts.push_back(TTreeView::Text(*Tree().Node(n)));

  enum TInfo { Shown, Cleared, AsItWas };
  struct Case {
    const char* name;
    QTreeWidgetItem* dragged;
    QWidget* target;
    QPoint to;
    int newAddress;  // job 300 queued with it; -1: nothing queued
    TInfo info;
  };
  const std::vector<Case> cases = {
      {"connected onto 5", Node(2), viewport, at(Node(5)), 5, AsItWas},
      {"connected onto 0", Node(2), viewport, at(Node(0)), 0, AsItWas},
      {"connected onto itself", Node(2), viewport, at(Node(2)), -1, AsItWas},
      {"another onto 5", Node(4), viewport, at(Node(5)), -1, AsItWas},
      {"connected onto the root", Node(2), viewport, at(Tree().Node(0)), -1, Shown},
      {"another onto the root", Node(4), viewport, at(Tree().Node(0)), -1, Cleared},
      {"connected below the nodes", Node(2), viewport, below, -1, AsItWas},
      {"the root onto 5", Tree().Node(0), viewport, at(Node(5)), -1, AsItWas},
      {"connected onto the panel", Node(2), m.LbProdInfo, m.LbProdInfo->rect().center(), -1, Shown},
      {"connected onto the panel's box", Node(2), m.GrInfo, QPoint(m.GrInfo->width() / 2, 8), -1, Shown},
      {"another onto the panel", Node(4), m.LbProdInfo, m.LbProdInfo->rect().center(), -1, Cleared},
      {"the root onto the panel", Tree().Node(0), m.LbProdInfo, m.LbProdInfo->rect().center(), -1, AsItWas},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    World.Jobs().SetIdle();
    m.NewPollingAddress = 99;
    // From the other state, so that a change shows; shown when nothing may change it.
    if (c.info == Shown) {
      m.ClearDeviceInfo(nullptr);
    } else {
      m.ShowDeviceInfo(nullptr);
    }
    DragNode(c.dragged, c.target, c.to);
    EXPECT_EQ(Next(), c.newAddress >= 0 ? std::vector<std::int32_t>{300} : std::vector<std::int32_t>{});
    EXPECT_EQ(m.NewPollingAddress, c.newAddress >= 0 ? c.newAddress : 99);
    EXPECT_EQ(InfoShown(), c.info != Cleared);
    std::vector<std::string> now;
    for (int n = 0; n < Tree().NodeCount(); ++n) now.push_back(TTreeView::Text(*Tree().Node(n)));
    EXPECT_EQ(now, texts);
    EXPECT_EQ(Tree().indexWidget(Tree().indexFromItem(c.dragged)), nullptr);  // no editor opened
  }

  // A drag that starts elsewhere, the text of another window, is refused by the tree and by
  // the panel.
  QLineEdit other(QStringLiteral("2222222222"));
  other.setDragEnabled(true);
  other.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
  for (QWidget* target : std::initializer_list<QWidget*>{viewport, m.LbProdInfo}) {
    SCOPED_TRACE(target->objectName().toStdString());
    World.Jobs().SetIdle();
    Tree().SetSelected(Node(2));
    m.ShowDeviceInfo(nullptr);
    other.selectAll();
    const QPoint from(20, other.height() / 2);  // on the selected text
    DragWithTheMouse(&other, &other, from, target, target == viewport ? at(Tree().Node(0)) : target->rect().center());
    EXPECT_TRUE(Next().empty());
    EXPECT_TRUE(InfoShown());
    EXPECT_EQ(other.text(), QStringLiteral("2222222222"));
  }
}

// The connected device moved by drag and drop: command 6 with the new address, and the node
// follows the answer.
TEST_F(SearchPage, DraggingTheConnectedDeviceMovesIt) {
  FindAt(2);
  Tree().SetSelected(Node(2));
  M().TreeViewDragDrop(nullptr, &Tree(), Tree().AbsoluteIndex(Node(5)));
  ASSERT_TRUE(World.Sched.AdvanceUntil([&] { return LastRequest(6) != nullptr; }, 5000));
  EXPECT_EQ(LastRequest(6)->Data, (std::vector<std::uint8_t>{5}));
  World.Advance(2000);
  EXPECT_EQ(M().CurrentAddress, 5);
  EXPECT_EQ(TTreeView::Text(*Node(5)), World.Xmt().Tag);
  EXPECT_EQ(TTreeView::Text(*Node(2)), "2");
}

// A node dropped on the information panel shows the connected device there, else clears it.
TEST_F(SearchPage, DropOnTheInformationPanel) {
  FindAt(4);
  TMainForm& m = M();
  m.ClearDeviceInfo(nullptr);
  Tree().SetSelected(Node(4));
  m.LbProdDragDrop(nullptr, &Tree());
  EXPECT_TRUE(InfoShown());
  EXPECT_EQ(m.GrInfo->title().toStdString(), World.Xmt().Tag);
  EXPECT_EQ(m.LbComUniv->Caption(), "5");
  EXPECT_EQ(m.LbProdInfo->Caption(), m.Transmetteur.ManufacturerName + " / " + m.Transmetteur.ModelName);
  EXPECT_TRUE(m.BtnProd->isEnabled());
  Tree().SetSelected(Node(3));
  m.LbProdDragDrop(nullptr, &Tree());
  EXPECT_FALSE(InfoShown());
  Tree().SetSelected(Node(4));
  m.LbProdDragDrop(nullptr, m.LbPV);
  EXPECT_FALSE(InfoShown());

  // Nothing is shown of a device that is not connected.
  m.Transmetteur.SetConnected(0);
  m.LbProdDragDrop(nullptr, &Tree());
  EXPECT_FALSE(InfoShown());
}

TEST_F(SearchPage, DoubleClick) {
  FindAt(2);
  TMainForm& m = M();
  m.show();
  QCoreApplication::processEvents();
  Tree().SetSelected(Node(2));
  QTest::mouseDClick(Tree().viewport(), Qt::LeftButton, {}, Tree().visualItemRect(Node(2)).center());
  EXPECT_TRUE(InfoShown());
  EXPECT_EQ(Tree().indexWidget(Tree().indexFromItem(Node(2))), nullptr);  // a double click does not rename
  Tree().SetSelected(Tree().Node(0));
  QTest::mouseDClick(Tree().viewport(), Qt::LeftButton, {}, Tree().visualItemRect(Tree().Node(0)).center());
  EXPECT_FALSE(InfoShown());
  m.ShowDeviceInfo(nullptr);
  Tree().SetSelected(Node(6));
  m.TreeViewDblClick(nullptr);
  EXPECT_FALSE(InfoShown());
}

// Renaming through the tree's own editor: only the connected device's node; the tag goes to
// the Transmitter page in capitals and is written, then read back.
TEST_F(SearchPage, RenamingTheConnectedDevice) {
  FindAt(2);
  TMainForm& m = M();
  m.show();
  QCoreApplication::processEvents();
  auto editor = [&](QTreeWidgetItem* node) {
    return qobject_cast<QLineEdit*>(Tree().indexWidget(Tree().indexFromItem(node)));
  };

  // Not the root, not a node without a device, not while another node is selected.
  for (QTreeWidgetItem* node : {Tree().Node(0), Node(5)}) {
    Tree().SetSelected(node);
    Tree().editItem(node);
    EXPECT_EQ(editor(node), nullptr);
  }
  Tree().SetSelected(Node(5));
  Tree().editItem(Node(2));
  EXPECT_EQ(editor(Node(2)), nullptr);

  Tree().SetSelected(Node(2));
  Tree().setFocus();
  QTest::keyClick(&Tree(), Qt::Key_F2);
  QLineEdit* e = editor(Node(2));
  ASSERT_NE(e, nullptr);
  e->setText("tt-9b");
  QTest::keyClick(e, Qt::Key_Return);
  ASSERT_TRUE(TreeTookTheEdit(Node(2), 0));
  EXPECT_EQ(TTreeView::Text(*Node(2)), "tt-9b");  // as typed until the read-back
  EXPECT_EQ(m.EdTAG->Text(), "TT-9B");
  EXPECT_EQ(Next(), (std::vector<std::int32_t>{303, 201}));
  EXPECT_FALSE(InfoShown());

  ASSERT_TRUE(World.Sched.AdvanceUntil([&] { return LastRequest(13) && LastRequest(18); }, 10000));
  World.Advance(1000);
  EXPECT_EQ(World.Sim.State.Tag, "TT-9B   ");
  EXPECT_EQ(SimGetPacked(LastRequest(18)->Data, 0, 8), "TT-9B   ");
  EXPECT_EQ(TTreeView::Text(*Node(2)), "TT-9B   ");
}

// The text goes to the node that was edited, even when the search selects another one
// before the editor closes.
TEST_F(SearchPage, TheEditedNodeTakesTheTextWhateverIsSelectedMeanwhile) {
  FindAt(2);
  M().show();
  QCoreApplication::processEvents();
  Tree().SetSelected(Node(2));
  Tree().editItem(Node(2));
  auto* e = qobject_cast<QLineEdit*>(Tree().indexWidget(Tree().indexFromItem(Node(2))));
  ASSERT_NE(e, nullptr);
  e->setText("NEW");
  Tree().SetSelected(Node(6));
  ASSERT_TRUE(TreeTookTheEdit(Node(2), 0));
  EXPECT_EQ(TTreeView::Text(*Node(2)), "NEW");
  EXPECT_EQ(TTreeView::Text(*Node(6)), "6");
  EXPECT_EQ(M().EdTAG->Text(), "NEW");
}

// Texts the device cannot keep, typed into the tree's own editor: too long, a character
// outside Windows-1252 (which the conversion would turn into '?'), or one packed text has
// not. The node keeps the device's tag and nothing is queued; what it keeps is written.
TEST_F(SearchPage, RenamingRefusesWhatTheDeviceCannotKeep) {
  FindAt(2);
  TMainForm& m = M();
  m.show();
  QCoreApplication::processEvents();
  struct Case {
    QString typed;
    const char* message;  // null: accepted
    const char* sent;
  };
  const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");  // one character, two UTF-16 units
  const std::vector<Case> cases = {
      {"ABCDEFGHI", "Only 8 characters", nullptr},
      {QString(30, 'x'), "Only 8 characters", nullptr},
      {QString::fromUtf8("ABCDEFGH\xCE\xA9"), "Only 8 characters", nullptr},
      {QString::fromUtf8("t\xC3\xA9t\xC3\xA9"), "Character not allowed in a TAG", nullptr},
      {QString::fromUtf8("\xC3\x89T\xC3\x89"), "Character not allowed in a TAG", nullptr},
      {"a~b", "Character not allowed in a TAG", nullptr},
      {"a\tb", "Character not allowed in a TAG", nullptr},
      {QString::fromUtf8("A\xCE\xA9"), "Character not allowed in a TAG", nullptr},  // not Windows-1252
      {QString::fromUtf8("A\xE2\x82\xAC"), "Character not allowed in a TAG", nullptr},  // Windows-1252, not packed
      {"TAG" + emoji, "Character not allowed in a TAG", nullptr},
      {"ABCDEFG" + emoji, "Character not allowed in a TAG", nullptr},  // 8 characters
      {"", nullptr, "        "},
      {"abcdefgh", nullptr, "ABCDEFGH"},
      {"#1 (a)", nullptr, "#1 (A)  "},
      {"A?", nullptr, "A?      "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed.toStdString());
    World.Jobs().SetIdle();
    m.EdTAG->SetText("BEFORE");
    const std::string deviceTag = m.Transmetteur.Tag;
    const int beeps = World.Ui.Beeps;
    const std::size_t messages = World.Ui.Messages.size();
    RenameInTheEditor(Node(2), c.typed);
    if (c.message) {
      EXPECT_EQ(TTreeView::Text(*Node(2)), deviceTag);
      EXPECT_EQ(m.EdTAG->Text(), "BEFORE");
      EXPECT_TRUE(Next().empty());
      EXPECT_EQ(World.Ui.Beeps, beeps + 1);
      ASSERT_EQ(World.Ui.Messages.size(), messages + 1);
      EXPECT_EQ(World.Ui.Messages.back(), c.message);
    } else {
      EXPECT_EQ(Node(2)->text(0), c.typed);  // as typed until the read-back
      EXPECT_EQ(Next(), (std::vector<std::int32_t>{303, 201}));
      EXPECT_EQ(World.Ui.Beeps, beeps);
      ASSERT_TRUE(World.Sched.AdvanceUntil(
          [&] { return World.Jobs().At(World.Jobs().JobIndex) == 0 && World.Jobs().CurrentJob == 0; }, 10000));
      EXPECT_EQ(SimGetPacked(LastRequest(18)->Data, 0, 8), c.sent);
      EXPECT_EQ(World.Sim.State.Tag, std::string(c.sent));
    }
  }
}

// Through the editor, a refused text leaves the device's tag in the node.
TEST_F(SearchPage, TheEditorShowsTheDevicesTagAfterARefusal) {
  FindAt(2);
  M().show();
  QCoreApplication::processEvents();
  Tree().SetSelected(Node(2));
  Tree().editItem(Node(2));
  auto* e = qobject_cast<QLineEdit*>(Tree().indexWidget(Tree().indexFromItem(Node(2))));
  ASSERT_NE(e, nullptr);
  e->setText("NINE CHRS");
  QTest::keyClick(e, Qt::Key_Return);
  ASSERT_TRUE(TreeTookTheEdit(Node(2), 0));
  EXPECT_EQ(TTreeView::Text(*Node(2)), World.Xmt().Tag);
  EXPECT_EQ(World.Ui.Messages, std::vector<std::string>{"Only 8 characters"});
}

// Renaming with the program's own message boxes, modal in their event loop, which the user
// reads and acknowledges with Return: a refusal gives one message and one beep, the node
// keeps the device's tag, the editor is closed cleanly and nothing is sent; an accepted
// name is written in capitals and read back.
struct RenamingWithMessageBoxes : SearchPage, ::testing::WithParamInterface<TLangue> {
  RenamingWithMessageBoxes() : SearchPage(GetParam()) {}
};

// Qt's warnings about item editors, such as one closed twice.
static QStringList editorWarnings;

TEST_P(RenamingWithMessageBoxes, OneMessageAndTheEditorClosedCleanly) {
  const TLangue langue = GetParam();
  FindAt(2);
  TMainForm& m = M();
  QtUiServices desktop;
  desktop.Parent = &m;
  World.Ui.Desktop = &desktop;
  m.show();
  QCoreApplication::processEvents();

  editorWarnings.clear();
  const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
    if (text.contains(QLatin1String("editor"), Qt::CaseInsensitive)) editorWarnings << text;
  });
  QStringList shown;
  QTimer user;
  QObject::connect(&user, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || box->property("read").toBool()) return;
    box->setProperty("read", true);
    shown << box->text();
    QTest::keyClick(box, Qt::Key_Return);
  });
  user.start(20);

  auto requests = [&](int command) {
    return std::count_if(World.Sim.Requests.begin(), World.Sim.Requests.end(),
                         [command](const SimRequest& r) { return r.Command == command; });
  };
  struct Case {
    QString typed;
    const char* message;  // null: accepted
  };
  const Case cases[] = {
      {"ABCDEFGHI", Texte(langue, "Only 8 characters", "8 caractères au maximum")},
      {"a~b", TagCharacterText(langue)},  // packed text has no '~'
      {QString::fromUtf8("A\xCE\xA9"), TagCharacterText(langue)},  // no Windows-1252 byte
      {"tt-9b", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed.toStdString());
    World.Jobs().SetIdle();
    const std::string deviceTag = m.Transmetteur.Tag;
    const qsizetype before = shown.size();
    const int beeps = World.Ui.Beeps;
    const auto writes = requests(18);
    RenameInTheEditor(Node(2), c.typed);
    if (c.message) {
      ASSERT_TRUE(QTest::qWaitFor([&] { return shown.size() > before && !QApplication::activeModalWidget(); }, 10000));
      QCoreApplication::processEvents();
      EXPECT_EQ(shown.size(), before + 1) << shown.join(QLatin1String(" | ")).toStdString();
      EXPECT_EQ(shown.back().toStdString(), c.message);
      EXPECT_EQ(World.Ui.Beeps, beeps + 1);
      EXPECT_EQ(TTreeView::Text(*Node(2)), deviceTag);
      EXPECT_TRUE(Next().empty());
      World.Advance(3000);
      EXPECT_EQ(requests(18), writes);
    } else {
      ASSERT_TRUE(QTest::qWaitFor([&] { return !Next().empty(); }, 10000));
      EXPECT_EQ(Next(), (std::vector<std::int32_t>{303, 201}));
      EXPECT_EQ(m.EdTAG->Text(), "TT-9B");
      ASSERT_TRUE(World.Sched.AdvanceUntil([&] { return requests(18) > writes && requests(13) > 0; }, 10000));
      World.Advance(1000);
      EXPECT_EQ(World.Sim.State.Tag, "TT-9B   ");
      EXPECT_EQ(TTreeView::Text(*Node(2)), "TT-9B   ");
      EXPECT_EQ(shown.size(), before);
    }
    EXPECT_EQ(Tree().indexWidget(Tree().indexFromItem(Node(2))), nullptr) << "the editor is closed";
  }
  qInstallMessageHandler(previous);
  EXPECT_TRUE(editorWarnings.isEmpty()) << editorWarnings.join(QLatin1Char('\n')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Editions, RenamingWithMessageBoxes, ::testing::Values(TLangue::Anglais, TLangue::Francais),
                         [](const auto& info) { return info.param == TLangue::Anglais ? "English" : "French"; });

// Setup in the middle of a search, by address or by tag: afterwards the search page with an
// idle list, nothing more sent for the old search, and a new search finds the device.
TEST(SearchPageSetup, ASearchInterruptedBySetupLeavesAUsableSearchPage) {
  for (const bool byTag : {false, true}) {
    SCOPED_TRACE(byTag ? "by tag" : "by address");
    TempCwd dir;  // the port dialog keeps its choice there
    TempCwd::Write("Corvin.ini", "[CONFIG]\r\nPORT=1\r\n");
    AppWorld w(TLangue::Anglais, {}, AppPorts{{1}, false, {}});
    TMainForm& m = w.Main();
    w.Sim.Identity.PollingAddress = 9;
    if (byTag) {
      m.BtnSearchTAG->click();
      m.EditConnectbyTAG->SetText("NOBODY");  // no device answers it: the search goes on asking
    }
    m.BtnSeach->click();
    ASSERT_TRUE(w.Sched.AdvanceUntil([&] { return w.Fake.Sent.size() >= 3; }, 60000));
    w.Advance(20);  // the last request is on the line
    ASSERT_NE(w.Jobs().At(w.Jobs().JobIndex), 0);

    // Setup: COM1 is confirmed again with the dialog's close box; it is the simulated line.
    w.Ui.OnModal["CfgForm"] = [](TForm&) {};
    m.ConfigurationMenu->trigger();
    ASSERT_EQ(w.Ui.ModalRuns, std::vector<std::string>{"CfgForm"});
    EXPECT_EQ(w.Serial->Asked().back(), "open " + PortPath(1));
    m.MainHart->UseTransport(&w.Fake, TPortKind::Serial);

    EXPECT_EQ(m.TabbedNotebook->PageIndex(), 0);
    EXPECT_TRUE(m.TabbedNotebook->isEnabled());
    EXPECT_TRUE(m.BtnSeach->isEnabled());
    EXPECT_EQ(w.Jobs().At(0), 0);
    EXPECT_TRUE(w.Jobs().Busy);
    EXPECT_EQ(m.Connect->Caption(), "HART");
    const std::size_t sent = w.Fake.Sent.size();
    w.Advance(30000);
    EXPECT_EQ(w.Fake.Sent.size(), sent);
    EXPECT_EQ(w.Serial->Written(), "");
    const std::size_t received = w.Sim.Requests.size();
    EXPECT_EQ(w.Xmt().GetConnected(), 0);
    EXPECT_EQ(w.Ui.Beeps, 0);

    if (byTag) m.EditConnectbyTAG->SetText(w.Sim.State.Tag);
    m.BtnSeach->click();
    ASSERT_TRUE(w.Sched.AdvanceUntil([&] { return w.Xmt().GetConnected() == 1; }, 60000));
    w.Advance(3000);
    EXPECT_EQ(m.Connect->Caption(), "* Connected *");
    EXPECT_EQ(w.Sim.Requests[received].Command, byTag ? 11 : 0);
    if (!byTag) {
      EXPECT_EQ(m.CurrentAddress, 9);
      EXPECT_EQ(TTreeView::Text(*m.TreeView->Node(10)), w.Xmt().Tag);
    }
    EXPECT_EQ(w.Jobs().At(w.Jobs().JobIndex), 0);
  }
}

TEST(SearchPageFrench, MessagesInFrench) {
  AppWorld w(TLangue::Francais);
  TMainForm& m = w.Main();
  QString text = QStringLiteral("ABCDEFGHI");
  m.TreeViewEdited(nullptr, m.TreeView->Node(3), text);
  text = QString::fromUtf8("\xC3\xA9");
  m.TreeViewEdited(nullptr, m.TreeView->Node(3), text);
  EXPECT_EQ(w.Ui.Messages, (std::vector<std::string>{"8 caract\xE8res au maximum", "Caract\xE8re non autoris\xE9 dans un TAG"}));
}

// Offline, the search first asks for the model, whose type then gates the pages.
TEST_F(SearchPage, OfflineSearchShowsTheChosenModel) {
  TMainForm& m = M();
  m.OfflineMode = true;
  World.Ui.OnModal["OfflineSelectForm"] = [&](TForm& f) {
    auto& select = static_cast<TOfflineSelectForm&>(f);
    select.CbSelectXT->setCurrentIndex(2);  // WB7
    select.BtnSelect->click();
  };
  m.BtnSeach->click();
  EXPECT_EQ(m.Transmetteur.DeviceType, 154);
  EXPECT_EQ(m.Connect->Caption(), "HART Offline");
  EXPECT_EQ(m.LbProduit->Caption(), "XT Offline");
  EXPECT_EQ(World.Ui.Beeps, 0);
  ASSERT_TRUE(World.Sched.AdvanceUntil([&] { return !World.Jobs().Busy; }, 1000));
  EXPECT_TRUE(World.Sim.Requests.empty());
  m.TabbedNotebook->SetPageIndex(6);
  EXPECT_EQ(m.TabbedNotebook->PageIndex(), 6);
  m.TabbedNotebook->SetPageIndex(5);
  EXPECT_EQ(m.TabbedNotebook->PageIndex(), 6);
}
