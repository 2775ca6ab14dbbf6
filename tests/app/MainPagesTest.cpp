// The main window as it is built: every named control once, of its class, held by its
// member; the texts of both editions; the device tree; the menus with their tags; the
// status bar; and the states the controls start in.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QActionGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QDropEvent>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QRegularExpression>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStatusBar>
#include <QTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Texts.h"
#include "support/AppFixture.h"

namespace {

constexpr TLangue Editions[] = {TLangue::Anglais, TLangue::Francais};

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// The English edition's program.
struct MainPagesTest : AppFixture {};

// ---------------------------------------------------------------------------------------
// Every member of the window that is a control, with the class it is made of.

struct TMemberCase {
  const char* Name;
  std::function<QObject*(const TMainForm&)> Member;
  std::function<QObject*(const TMainForm&)> Find;  // findChild with the member's type
  const char* Class;
};

template <class T>
TMemberCase Member(const char* name, T* TMainForm::*member, const char* cls = T::staticMetaObject.className()) {
  return {name, [member](const TMainForm& f) -> QObject* { return f.*member; },
          [name](const TMainForm& f) -> QObject* { return f.findChild<T*>(QString::fromLatin1(name)); }, cls};
}

#define M(name) Member(#name, &TMainForm::name)

std::vector<TMemberCase> Members() {
  return {
      M(StProd), M(Connect), M(CTS_LED), M(CD_LED), M(StatusBar), M(Image1), M(BtRet), M(TabbedNotebook),
      // menus
      M(Systme1), M(ConfigurationMenu), M(NBPreambles), M(Preambles5), M(Preambles7), M(Preambles10),
      M(Preambles20), M(Quitter1), M(TransmetteurMenu), M(StatusCommMenu), M(Lecture1), M(Ecriture1),
      M(ResetMenu), M(Dconnexion1), M(Rglages1), M(Charge1), M(Sauve1), M(Developpement), M(Trace1), M(E2Prom1),
      M(MemoLog), M(AdresseDuMaitre), M(HHC), M(HOST), M(Liretout1), M(Editiondessegments1), M(HiddenItem),
      // page 0
      M(GroupBoxLangue1), M(BtnSearchOne), M(BtnSearchAll), M(BtnSearchTAG), M(EditConnectbyTAG), M(BtnSeach),
      M(TreeView), M(GrInfo), M(LbProdInfo), M(InfoPanel), M(LbComUniv), M(LbSpec), M(LbHard), M(LbSoft),
      M(LabelLangue12), M(LabelLangue13), M(LabelLangue14), M(LabelLangue15), M(BtnProd),
      // page 1
      M(LbPV), M(LbPourcent), M(Gauge), M(LbCurrent), M(LbDEP), M(LbProduit), M(LbMarque), M(LbIdent),
      M(LbDescripteur), M(EdTAG), M(EdDescripteur), M(DateTimePicker), M(EdMessage), M(BtnWR_TAG), M(BtnWR_DESC),
      M(BtnWR_DATE), M(BtnWR_MSG), M(BitBtnLangue1), M(DetailPanel), M(LbPV1), M(LbPV2), M(LbPV3), M(LbPV4),
      M(BtnZero), M(BtnPE), M(BtnPV),
      // page 2
      M(Range_Unit), M(EdURV), M(EdLRV), M(BtnWR_UNIT), M(BtnWR_RANGE), M(EdDAMP), M(BtnWR_DAMP), M(GrBoxDef),
      M(RdDefLow), M(RdDefHigh), M(BtnWR_DEF), M(BtnLin1), M(BtnLin2), M(BtnLock), M(BtnUnlock),
      // page 3
      M(EdSNb), M(BtnWR_SN), M(EdAssNb), M(BtnWR_ASSNB), M(LbLSL), M(LbUSL), M(LbMinSpan), M(Sensor_Unit),
      M(SensorPageControl), M(RbV), M(PanV), M(CbV1), M(CbV2), M(BtnEditVolt), M(RbR), M(PanR), M(CbR1), M(CbR2),
      M(RbPot), M(PanPot), M(CbPot1), M(CbPot2), M(BtnEditPot), M(PanPot2), M(LbAI1N), M(LbAI1UL), M(LbAI1LL),
      M(EdAI1N), M(EdAI1UL), M(EdAI1LL), M(ImgWrnAI1N), M(BitBtnLangue3), M(BitBtnLangue4), M(RbTC), M(PanTC),
      M(CbTC1), M(CbTC2), M(BtnWR_EXTRA),
      // page 4
      M(BtTestLoop), M(BtTestXt), M(BtAj4), M(BtAj20), M(Gr_Aj_Mes), M(BtAj), M(BtAjPE), M(BtAjBE), M(Gr_Tamb),
      M(BtTamb),
      // page 5
      M(EdAlr1), M(EdHys1), M(EdDel1), M(RdRelNo1), M(RdRelNf1), M(BtnWR_Alr1), M(EdAlr2), M(EdHys2), M(EdDel2),
      M(RdRelNo2), M(RdRelNf2), M(BtnWR_Alr2),
      // page 6
      M(GrPDafMod), M(TrackBarPDaf), M(LCD), M(RdMod0), M(RdMod2), M(RdMod5), M(RdMod10), M(CkDispUnit),
      M(Btn_WR_ExStatus), M(GrPVRange), M(PV_Unit), M(EdUPV), M(EdLPV), M(BtnWR_PV),
      // page 7
      M(BtnParamCheck), M(LbParamCheck), M(BtnRomCheck), M(LbRomCheck), M(BtStack), M(LbStackStatus), M(BtMaxSeg),
      M(LbMaxSeg), M(RdUnLock), M(RdLock), M(BitBtn1), M(lbADC_V1), M(lbADC_V2), M(BtnE), M(BtnZ), M(BtnResetCfg),
      M(BTDerive), M(BtStatus), M(BtnInit), M(BtnAjTimeDate), M(BtTEST),
      Member("TestLed", &TMainForm::TestLed, "TledLangue"),  // the modem test lamp has a hint
      M(BtnTESTExp), M(BtnTESTBroadcast), M(EdLongTAG), M(Button1), M(EdCfgCC),
  };
}

#undef M

TEST_F(MainPagesTest, EveryControlOfTheWindowIsItsMemberFoundByName) {
  for (const TMemberCase& c : Members()) {
    SCOPED_TRACE(c.Name);
    QObject* member = c.Member(Main());
    ASSERT_NE(member, nullptr);
    EXPECT_EQ(c.Find(Main()), member);
    EXPECT_STREQ(member->metaObject()->className(), c.Class);
    EXPECT_EQ(Main().findChildren<QObject*>(QString::fromLatin1(c.Name)).size(), 1);
  }
}

// ---------------------------------------------------------------------------------------
// Texts of both editions.

QString Shown(QObject* o) {
  if (auto* b = qobject_cast<QAbstractButton*>(o)) return b->text();
  if (auto* g = qobject_cast<QGroupBox*>(o)) return g->title();
  if (auto* l = qobject_cast<QLabel*>(o)) return l->text();
  return QStringLiteral("<no caption>");
}

struct TTextCase {
  const char* Name;
  bool Hint;  // the hint, else the caption
  const char* Anglais;
  const char* Francais;
};

const TTextCase TextCases[] = {
    {"GroupBoxLangue1", false, "Search", "Recherche"},
    {"GroupBoxLangue1", true, "Search device on the loop", "Rechercher un transmetteur sur la boucle"},
    {"BtnSearchOne", false, "Only the first device found", "Seulement le premier transmetteur trouvé"},
    {"BtnSearchTAG", false, "By TAG", "Par TAG"},
    {"EditConnectbyTAG", true, "TAG", "TAG"},
    {"BtnSeach", false, "Scan for device ...", "Rechercher un transmetteur ..."},
    {"LabelLangue12", false, "Universal commands Rev.", "Rév. des commandes universelles"},
    {"LabelLangue15", false, "Software Rev", "Rév. logicielle"},
    {"BtnProd", false, "Use this device", "Utiliser ce transmetteur"},
    {"LbPV", true, "Primary Variable", "Mesure principale (PV)"},
    {"LbPourcent", true, "Percent of range", "Mesure en pourcent"},
    {"Gauge", true, "Percent of range", "Mesure en pourcent"},
    {"LbProduit", true, "Type", "Modèle"},
    {"LbMarque", true, "Manufacturer", "Fabricant"},
    {"LbIdent", true, "Id code", "Numéro d'identifcation"},
    {"LbDescripteur", false, "Descriptor", "Descripteur"},
    {"EdDescripteur", true, "Descriptor", "Descripteur"},
    {"LbDEP", false, "OverRange", "Hors échelle"},
    {"BitBtnLangue1", false, "About measure", "Détails de la mesure"},
    {"BitBtnLangue1", true, "More information about measure", "Plus d'informations sur la mesure"},
    {"BtnZero", false, "Zero sensor trim       ", "Ajustage du zéro du capteur"},
    {"DateTimePicker", true, "Date", "Date"},
    {"BtnWR_TAG", true, "Send data to the transmitter", "Envoyer les informations au transmetteur"},
    {"BtnWR_EXTRA", true, "Send data to the transmitter", "Envoyer les informations au transmetteur"},
    {"BtnWR_SN", true, "", ""},
    {"EdDAMP", true, "Time constant (in seconds)", "Temps de réponse du courant (en Seconde)"},
    {"EdURV", true, "Value for 20mA output current", "Valeur à laquelle le courant sera de 20,0 mA"},
    {"EdLRV", true, "Valeur for 4mA output current", "Valeur à laquelle le courant sera de 4,0 mA"},
    {"GrBoxDef", false, "Failure Mode", "Mode de défaut"},
    {"BtnLin1", true, "Enable linearization mode", "Activer la linéarisation"},
    {"BtnUnlock", true, "Lock write protection", "Verrouiller la protection en écriture"},
    {"RbR", false, "Resistor (RTD)", "Résistance (RTD)"},
    {"BtnEditPot", true, "Linearization editor", "Editeur de linéarisation"},
    {"BitBtnLangue3", false, "Nominal Value", "Valeur nominale"},
    {"BtAj20", false, "D/A C trim (20mA)", "Ajustage du CNA (20mA)"},
    {"BtTamb", false, "Chip temperature update", "Mise à jour de la température interne"},
    {"GrPDafMod", false, "Decimal Point Position / Last Digit Step",
     "Position du point décimal / Pas du dernier digit"},
    {"GrPVRange", false, "PV Range Value", "Echelle de la PV"},
    {"BtRet", false, "Exit", "Quitter"},
    {"BtRet", true, "Close application", "Fermer l'application"},
    {"Image1", true, "OSTREL", "OSTREL"},
    {"Connect", false, "HART Offline", "HART Offline"},
    // the maker's page keeps its form's own texts
    {"BtnInit", false, "1 ère Indentification", "1 ère Indentification"},
    {"RdUnLock", false, "Linéarisation ON", "Linéarisation ON"},
    {"BtAjBE", false, "Ajustage bas d'échelle du capteur", "Ajustage bas d'échelle du capteur"},
};

// Groups that carry no name of their own, by their titles.
const char* const GroupTitles[][2] = {
    {"Range", "Echelle"},
    {"Filter", "Filtre"},
    {"Sensor reference", "Référence du capteur"},
    {"Alarm 1", "Alarme 1"},
    {"Alarm 2", "Alarme 2"},
    {"Test Modem", "Test Modem"},
};

TEST(MainPagesEditions, CaptionsHintsAndPagesInBothEditions) {
  const char* const pages[][2] = {
      {"Scanning", "Identification"}, {"Transmitter", "Transmetteur"}, {"Parameters", "Paramètres"},
      {"Sensor", "Sonde"},            {"Calibrate/Test", "Ajustage/Test"}, {"Alarms", "Alarmes"},
      {"Display", "Affichage"},       {"Ostrel", "Ostrel"},
  };
  for (TLangue langue : Editions) {
    SCOPED_TRACE(langue == TLangue::Francais ? "French" : "English");
    const int e = langue == TLangue::Francais ? 1 : 0;
    AppWorld w(langue);
    TMainForm& f = w.Main();

    ASSERT_EQ(f.TabbedNotebook->count(), 8);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(f.TabbedNotebook->tabText(i), U(pages[i][e])) << i;

    for (const TTextCase& c : TextCases) {
      SCOPED_TRACE(std::string(c.Name) + (c.Hint ? " hint" : " caption"));
      auto* o = f.findChild<QWidget*>(QString::fromLatin1(c.Name));
      ASSERT_NE(o, nullptr);
      EXPECT_EQ(c.Hint ? o->toolTip() : Shown(o), U(e == 1 ? c.Francais : c.Anglais));
    }

    QStringList titles;
    for (QGroupBox* g : f.findChildren<QGroupBox*>()) titles << g->title();
    for (const auto& title : GroupTitles) EXPECT_TRUE(titles.contains(U(title[e]))) << title[e];

    const std::vector<std::pair<QComboBox*, std::vector<const char*>>> combos = {
        {f.CbR1, {"Pt100", "Pt200", "Pt500", "Pt1000", "Ni100", "Ni200", "Ni500", "Ni1000"}},
        {f.CbR2, e == 1 ? std::vector<const char*>{"3 Fils", "2 Fils", "Diff Rt", "4 Fils"}
                        : std::vector<const char*>{"3 Wires", "2 Wires", "Delta Rt", "4 Wires"}},
        {f.CbTC1, {"J", "K", "T", "E", "N", "R", "S", "B", "W5"}},
        {f.CbTC2, e == 1 ? std::vector<const char*>{"Avec SF", "Sans SF"}
                         : std::vector<const char*>{"CJ on", "CJ off"}},
        {f.CbV1, {"0-10 / 0-20", "2-10 / 4-20"}},
        {f.CbV2, {"PV = AI1", "PV = AI2", "PV = AI1+AI2", "PV = AI1-AI2"}},
        {f.CbPot2, e == 1 ? std::vector<const char*>{"Avec Lin", "Sans Lin"}
                          : std::vector<const char*>{"Lin on", "Lin off"}},
    };
    for (const auto& [combo, items] : combos) {
      SCOPED_TRACE(combo->objectName().toStdString());
      QStringList expected;
      for (const char* item : items) expected << U(item);
      QStringList shown;
      for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
      EXPECT_EQ(shown, expected);
      EXPECT_EQ(combo->currentIndex(), 0);
    }

    const QStringList sheets = {"I/V", "P", "N", "T"};
    QStringList tabs;
    for (int i = 0; i < f.SensorPageControl->count(); ++i) tabs << f.SensorPageControl->tabText(i);
    EXPECT_EQ(tabs, sheets);

    // The write buttons' menu: "Send" runs the button's click, "Refresh" its second action.
    ASSERT_EQ(f.PopupMenu.Count(), 2);
    EXPECT_EQ(f.PopupMenu.Items(0).Name, "Send");
    EXPECT_EQ(Q(f.PopupMenu.Items(0).Caption), e == 1 ? U("Envoyer") : U("Send"));
    EXPECT_TRUE(f.PopupMenu.Items(0).Default);
    EXPECT_EQ(f.PopupMenu.Items(1).Name, "Refresh");
    EXPECT_EQ(Q(f.PopupMenu.Items(1).Caption), e == 1 ? U("Relire") : U("Refresh"));
    EXPECT_FALSE(f.PopupMenu.Items(1).Default);
  }
}

// ---------------------------------------------------------------------------------------
// Menus

QAction* ActionOf(QObject* o) {
  if (auto* menu = qobject_cast<QMenu*>(o)) return menu->menuAction();
  return qobject_cast<QAction*>(o);
}

TEST(MainPagesEditions, MenusHaveTheirTagsCaptionsAndPlaces) {
  struct TItem {
    const char* Name;
    int Tag;
    const char* Anglais;
    const char* Francais;
  };
  const TItem items[] = {
      {"Systme1", 1, "System", "Système"},
      {"Quitter1", 2, "Exit", "Quitter"},
      {"ConfigurationMenu", 3, "Setup", "Configuration"},
      {"TransmetteurMenu", 4, "Transmitter", "Transmetteur"},
      {"StatusCommMenu", 5, "Status", "Etat"},
      {"Lecture1", 6, "Read all", "Lecture complète"},
      {"Ecriture1", 7, "Write", "Ecriture"},
      {"ResetMenu", 8, "Reset", "Remise à  zéro"},
      {"Dconnexion1", 9, "Disconnect", "Déconnexion"},
      {"Rglages1", 10, "Records", "Enregistrements"},
      {"Charge1", 11, "Load", "Charge"},
      {"Sauve1", 12, "Save", "Sauve"},
      {"NBPreambles", 13, "Preamble length", "Longueur du préambule"},
      // untagged items keep their own captions
      {"Preambles5", 0, "5", "5"},
      {"Preambles20", 0, "20", "20"},
      {"Developpement", 0, "Ostrel", "Ostrel"},
      {"AdresseDuMaitre", 0, "Adresse du maitre", "Adresse du maitre"},
      {"HOST", 0, "HOST", "HOST"},
      {"Editiondessegments1", 0, "Edition des segments", "Edition des segments"},
      {"HiddenItem", 0, "", ""},
  };

  // Each menu's entries in order.
  const std::vector<std::pair<const char*, std::vector<const char*>>> places = {
      {"Systme1", {"ConfigurationMenu", "NBPreambles", "Quitter1"}},
      {"NBPreambles", {"Preambles5", "Preambles7", "Preambles10", "Preambles20"}},
      {"TransmetteurMenu", {"StatusCommMenu", "Lecture1", "Ecriture1", "ResetMenu", "Dconnexion1"}},
      {"Rglages1", {"Charge1", "Sauve1"}},
      {"Developpement",
       {"Trace1", "E2Prom1", "MemoLog", "AdresseDuMaitre", "Liretout1", "Editiondessegments1", "HiddenItem"}},
      {"AdresseDuMaitre", {"HHC", "HOST"}},
  };
  for (TLangue langue : Editions) {
    SCOPED_TRACE(langue == TLangue::Francais ? "French" : "English");
    AppWorld w(langue);
    TMainForm& f = w.Main();
    for (const TItem& item : items) {
      SCOPED_TRACE(item.Name);
      QAction* action = ActionOf(f.findChild<QObject*>(QString::fromLatin1(item.Name)));
      ASSERT_NE(action, nullptr);
      EXPECT_EQ(MenuTag(*action), item.Tag);
      EXPECT_EQ(action->text(), U(langue == TLangue::Francais ? item.Francais : item.Anglais));
    }
    QList<QAction*> bar;
    for (QMenu* menu : {f.Systme1, f.TransmetteurMenu, f.Rglages1, f.Developpement}) bar << menu->menuAction();
    EXPECT_EQ(f.menuBar()->actions(), bar);
    for (const auto& [menuName, entries] : places) {
      SCOPED_TRACE(menuName);
      QList<QAction*> expected;
      for (const char* entry : entries) expected << ActionOf(f.findChild<QObject*>(QString::fromLatin1(entry)));
      EXPECT_EQ(f.findChild<QMenu*>(QString::fromLatin1(menuName))->actions(), expected);
    }
  }
}

TEST_F(MainPagesTest, MenusStartAsTheFormStoresThem) {
  TMainForm& f = Main();
  EXPECT_FALSE(f.TransmetteurMenu->menuAction()->isEnabled());
  for (QAction* hidden : {f.Ecriture1, f.Dconnexion1, f.HiddenItem})
    EXPECT_FALSE(hidden->isVisible()) << hidden->objectName().toStdString();
  for (QAction* checkable : {f.StatusCommMenu, f.MemoLog, f.HHC, f.HOST}) EXPECT_TRUE(checkable->isCheckable());

  // The preamble lengths: one checked at a time, "7" at start.
  const QList<QAction*> preambles = {f.Preambles5, f.Preambles7, f.Preambles10, f.Preambles20};
  auto checked = [&] {
    QList<QAction*> on;
    for (QAction* a : preambles)
      if (a->isChecked()) on << a;
    return on;
  };
  EXPECT_EQ(checked(), QList<QAction*>{f.Preambles7});
  f.Preambles20->trigger();
  EXPECT_EQ(checked(), QList<QAction*>{f.Preambles20});
}

// ---------------------------------------------------------------------------------------
// Tree, status bar, write buttons and the other initial states.

TEST_F(MainPagesTest, TreeHoldsTheComputerAndSixteenAddresses) {
  TTreeView& tree = *Main().TreeView;
  ASSERT_EQ(tree.NodeCount(), 17);
  const QTreeWidgetItem& root = *tree.Node(0);
  EXPECT_EQ(TTreeView::Text(root), "PC");
  EXPECT_EQ((std::vector{TTreeView::ImageIndex(root), TTreeView::SelectedIndex(root), TTreeView::StateIndex(root)}),
            (std::vector{0, 0, 0}));
  EXPECT_TRUE(root.isExpanded());
  EXPECT_FALSE(root.icon(0).isNull());
  for (int k = 0; k < 16; ++k) {
    const QTreeWidgetItem& node = *tree.Node(k + 1);
    EXPECT_EQ(TTreeView::Text(node), std::to_string(k));
    EXPECT_EQ((std::vector{TTreeView::ImageIndex(node), TTreeView::SelectedIndex(node), TTreeView::StateIndex(node)}),
              (std::vector{-1, 1, -1}));
  }
  const QVariantList images = tree.property("ImageList").toList();
  ASSERT_EQ(images.size(), 3);
  for (const QVariant& image : images) EXPECT_FALSE(image.value<QIcon>().isNull());
}

// A node dragged inside the tree reaches the tree's drop handler with the node under the
// drop point, and the tree keeps its nodes.
TEST_F(MainPagesTest, NodeDraggedInsideTheTreeReachesTheDropHandler) {
  Main().show();
  QCoreApplication::processEvents();
  TTreeView& tree = *Main().TreeView;
  EXPECT_TRUE(tree.dragEnabled());
  EXPECT_EQ(tree.dragDropMode(), QAbstractItemView::DragDrop);
  tree.OnDragOver = [](QObject*, bool& accept) { accept = true; };
  int dropped = -2;
  tree.OnDragDrop = [&](QObject*, int absoluteIndex) { dropped = absoluteIndex; };

  std::unique_ptr<QMimeData> data(tree.model()->mimeData({tree.indexFromItem(tree.Node(3))}));
  const QPoint target = tree.visualItemRect(tree.Node(6)).center();
  const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
  QDragEnterEvent enter(target, actions, data.get(), Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(tree.viewport(), &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDragMoveEvent move(target, actions, data.get(), Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(tree.viewport(), &move);
  QDropEvent drop(target, actions, data.get(), Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(tree.viewport(), &drop);

  EXPECT_EQ(dropped, 6);
  EXPECT_EQ(tree.NodeCount(), 17);
  EXPECT_EQ(tree.Node(6)->childCount(), 0);
}

TEST_F(MainPagesTest, StatusBarHasAJobPanelAndALinkPanel) {
  TMainForm& f = Main();
  EXPECT_EQ(f.statusBar(), f.StatusBar);
  const QList<QLabel*> panels = f.StatusBar->findChildren<QLabel*>(QRegularExpression("^StatusPanel"));
  ASSERT_EQ(panels.size(), 2);
  EXPECT_EQ(f.StatusBar->findChild<QLabel*>("StatusPanel0")->width(), 300);
  EXPECT_EQ(f.StatusBar->findChild<QLabel*>("StatusPanel1")->width(), 100);
  f.SetStatusPanel(0, "Read measure");
  f.SetStatusPanel(1, "No response");
  EXPECT_EQ(f.StatusBar->findChild<QLabel*>("StatusPanel0")->text(), "Read measure");
  EXPECT_EQ(f.StatusPanel(1), "No response");
}

TEST_F(MainPagesTest, WriteButtonsShareTheSendRefreshMenu) {
  const QList<TBitBtnAlt*> buttons = Main().findChildren<TBitBtnAlt*>();
  EXPECT_EQ(buttons.size(), 15);
  for (TBitBtnAlt* b : buttons) {
    SCOPED_TRACE(b->objectName().toStdString());
    EXPECT_EQ(b->PopupMenu, &Main().PopupMenu);
    EXPECT_EQ(b->size(), QSize(25, 25));
    EXPECT_FALSE(b->icon().isNull());
  }
}

TEST_F(MainPagesTest, ControlsStartAsTheFormStoresThem) {
  TMainForm& f = Main();
  const std::vector<std::pair<const char*, std::function<bool()>>> states = {
      {"EditConnectbyTAG disabled", [&] { return !f.EditConnectbyTAG->isEnabled(); }},
      {"EditConnectbyTAG RV210, 8 characters",
       [&] { return f.EditConnectbyTAG->Text() == "RV210" && f.EditConnectbyTAG->maxLength() == 8; }},
      {"BtnSearchOne checked", [&] { return f.BtnSearchOne->isChecked(); }},
      {"BtnProd disabled", [&] { return !f.BtnProd->isEnabled(); }},
      {"InfoPanel hidden", [&] { return f.InfoPanel->isHidden(); }},
      {"DetailPanel hidden", [&] { return f.DetailPanel->isHidden(); }},
      {"LbDEP hidden", [&] { return f.LbDEP->isHidden(); }},
      {"ImgWrnAI1N hidden with a picture",
       [&] { return f.ImgWrnAI1N->isHidden() && !f.ImgWrnAI1N->pixmap().isNull(); }},
      {"one linearisation button shows", [&] { return !f.BtnLin1->isHidden() && f.BtnLin2->isHidden(); }},
      {"one protection button shows", [&] { return f.BtnLock->isHidden() && !f.BtnUnlock->isHidden(); }},
      {"lamps red and green, off", [&] {
         return f.CTS_LED->Kind() == TLedKind::Red && f.CD_LED->Kind() == TLedKind::Green && !f.CTS_LED->LedStatus() &&
                !f.CD_LED->LedStatus();
       }},
      {"Gauge 0..100", [&] { return f.Gauge->minimum() == 0 && f.Gauge->maximum() == 100; }},
      {"TrackBarPDaf 0..4 at 4", [&] {
         return f.TrackBarPDaf->orientation() == Qt::Horizontal && f.TrackBarPDaf->minimum() == 0 &&
                f.TrackBarPDaf->maximum() == 4 && f.TrackBarPDaf->value() == 4;
       }},
      {"LCD preview -19999, 4 and a half digits, no decimals", [&] {
         return f.LCD->Nb() == -19999 && f.LCD->Style() == TStyle::LCD && f.LCD->NbDigit() == 4 && f.LCD->HalfDigit() &&
                f.LCD->PointDecimal() == 0;
       }},
      {"text lengths 8, 16, 32", [&] {
         return f.EdTAG->maxLength() == 8 && f.EdDescripteur->maxLength() == 16 && f.EdMessage->maxLength() == 32;
       }},
      {"serial and assembly numbers without mask",
       [&] { return f.EdSNb->EditMask().empty() && f.EdAssNb->EditMask().empty(); }},
      {"date picker with a calendar", [&] { return f.DateTimePicker->calendarPopup(); }},
      {"sensor unit percent, disabled", [&] { return f.Sensor_Unit->CodeUnite() == 57 && !f.Sensor_Unit->Enabled(); }},
      {"range and PV units enabled", [&] { return f.Range_Unit->Enabled() && f.PV_Unit->Enabled(); }},
      {"sensor kinds disabled, none checked", [&] {
         for (QRadioButton* r : {f.RbV, f.RbR, f.RbPot, f.RbTC})
           if (r->isEnabled() || r->isChecked()) return false;
         return true;
       }},
      {"sensor kind unchecked by the program", [&] {
         f.RbTC->setChecked(true);
         f.RbTC->setChecked(false);
         return !f.RbTC->isChecked();
       }},
  };
  for (const auto& [what, holds] : states) EXPECT_TRUE(holds()) << what;
}

// The masks and default texts follow the locale's decimal separator.
TEST(MainPagesEditions, NumberEditsUseTheLocaleSeparator) {
  for (char ds : {',', '.'}) {
    SCOPED_TRACE(std::string(1, ds));
    TFormatSettings fs;
    fs.DecimalSeparator = ds;
    AppWorld w(TLangue::Anglais, fs);
    TMainForm& f = w.Main();
    const std::string d(1, ds);
    const std::vector<std::pair<TMaskEdit*, std::string>> masks = {
        {f.EdAlr1, "!###0" + d + "00;1;_"}, {f.EdHys1, "!###0" + d + "00;1;_"}, {f.EdAlr2, "!###0" + d + "00;1;_"},
        {f.EdHys2, "!###0" + d + "00;1;_"}, {f.EdDel1, "!90;1;_"},              {f.EdDel2, "!90;1;_"},
        {f.EdDAMP, "!90" + d + "0;1;_"},    {f.EdAI1N, "!##0" + d + "00;1;_"},  {f.EdAI1UL, "!###0" + d + "0;1;_"},
        {f.EdAI1LL, "!###0" + d + "0;1;_"},
    };
    for (const auto& [edit, mask] : masks) EXPECT_EQ(edit->EditMask(), mask) << edit->objectName().toStdString();
    EXPECT_EQ(f.EdAI1UL->Text(), "   2" + d + "0");
    EXPECT_EQ(f.EdAI1LL->Text(), "  -2" + d + "0");
  }
}

TEST_F(MainPagesTest, SearchedTagIsTypedInUpperCase) {
  TEdit& edit = *Main().EditConnectbyTAG;
  edit.setEnabled(true);
  edit.clear();
  QTest::keyClicks(&edit, "rv2x");
  EXPECT_EQ(edit.Text(), "RV2X");
  QTest::keyClick(&edit, Qt::Key_Home);
  QTest::keyClicks(&edit, "ab");
  EXPECT_EQ(edit.Text(), "ABRV2X");
  EXPECT_EQ(edit.cursorPosition(), 2);
}

}  // namespace

