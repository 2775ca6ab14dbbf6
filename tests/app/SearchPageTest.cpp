// The search page: the search button by address and by tag, the device tree's drag and drop,
// renaming and double click, and the information panel, through the real tree widget and
// the simulated transmitter.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QTest>

#include "app/Dessin.h"
#include "app/Erreur.h"
#include "app/OfflineSelect.h"
#include "app/Xfert.h"
#include "app/tstXT.h"
#include "support/AppFixture.h"
#include "support/SimWire.h"

namespace {

struct SearchPage : ::testing::Test {
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
  QCoreApplication::processEvents();  // the editor's commit is queued
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
  QCoreApplication::processEvents();
  EXPECT_EQ(TTreeView::Text(*Node(2)), "NEW");
  EXPECT_EQ(TTreeView::Text(*Node(6)), "6");
  EXPECT_EQ(M().EdTAG->Text(), "NEW");
}

// Texts the device cannot keep: too long, or with characters packed text has not. The node
// keeps the device's tag and nothing is queued.
TEST_F(SearchPage, RenamingRefusesWhatTheDeviceCannotKeep) {
  FindAt(2);
  TMainForm& m = M();
  struct Case {
    std::string typed;  // Windows-1252
    const char* message;  // null: accepted
    const char* sent;
  };
  const std::vector<Case> cases = {
      {"ABCDEFGHI", "Only 8 characters", nullptr},
      {std::string(30, 'x'), "Only 8 characters", nullptr},
      {"t\xE9t\xE9", "Character not allowed in a TAG", nullptr},
      {"\xC9T\xC9", "Character not allowed in a TAG", nullptr},
      {"a~b", "Character not allowed in a TAG", nullptr},
      {"a\tb", "Character not allowed in a TAG", nullptr},
      {"", nullptr, "        "},
      {"abcdefgh", nullptr, "ABCDEFGH"},
      {"#1 (a)", nullptr, "#1 (A)  "},
  };
  const std::string deviceTag = m.Transmetteur.Tag;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    World.Jobs().SetIdle();
    m.EdTAG->SetText("BEFORE");
    Tree().SetSelected(Node(2));
    std::string text = c.typed;
    const int beeps = World.Ui.Beeps;
    const std::size_t messages = World.Ui.Messages.size();
    m.TreeViewEdited(nullptr, Node(2), text);
    if (c.message) {
      EXPECT_EQ(text, deviceTag);
      EXPECT_EQ(m.EdTAG->Text(), "BEFORE");
      EXPECT_TRUE(Next().empty());
      EXPECT_EQ(World.Ui.Beeps, beeps + 1);
      ASSERT_EQ(World.Ui.Messages.size(), messages + 1);
      EXPECT_EQ(World.Ui.Messages.back(), c.message);
    } else {
      EXPECT_EQ(text, c.typed);
      EXPECT_EQ(Next(), (std::vector<std::int32_t>{303, 201}));
      EXPECT_EQ(World.Ui.Beeps, beeps);
      ASSERT_TRUE(World.Sched.AdvanceUntil(
          [&] { return World.Jobs().At(World.Jobs().JobIndex) == 0 && World.Jobs().CurrentJob == 0; }, 10000));
      EXPECT_EQ(SimGetPacked(LastRequest(18)->Data, 0, 8), c.sent);
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
  QCoreApplication::processEvents();  // the editor's commit is queued
  EXPECT_EQ(TTreeView::Text(*Node(2)), World.Xmt().Tag);
  EXPECT_EQ(World.Ui.Messages, std::vector<std::string>{"Only 8 characters"});
}

TEST(SearchPageFrench, MessagesInFrench) {
  AppWorld w(TLangue::Francais);
  TMainForm& m = w.Main();
  std::string text = "ABCDEFGHI";
  m.TreeViewEdited(nullptr, m.TreeView->Node(3), text);
  text = "\xE9";
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
