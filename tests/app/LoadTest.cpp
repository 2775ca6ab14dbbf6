// The load form on its own: the groups it offers, the moves between its lists, the maker
// and product checks of a loaded file, the job list of the Update, the values it copies
// into the main window's pages, and the groups a damaged file cannot give.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDateEdit>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "app/Dessin.h"
#include "app/Erreur.h"
#include "app/Texts.h"
#include "app/load.h"
#include "support/AppFixture.h"
#include "support/RealDrags.h"

namespace {

using Codes = std::vector<std::int32_t>;
using Texts = std::vector<std::string>;

Codes ListOf(const TJobList& j) {
  Codes codes;
  for (int i = 0; i < TJobList::Slots && j.At(i) != 0; ++i) codes.push_back(j.At(i));
  return codes;
}

TFormatSettings Comma() {
  TFormatSettings fs;
  fs.DecimalSeparator = ',';
  return fs;
}

// The connected device as the identity answer leaves it.
void SetDevice(TXmt& x, Byte manufacturer, Byte type) {
  x.Is_Ostrel = manufacturer == 250;
  x.ManufacturerId = manufacturer;
  x.DeviceType = type;
  x.DeviceId = 0x010203;
  x.LongAddress = {manufacturer, type, 0x01, 0x02, 0x03};
}

// A file of that device with a value in every group.
void FillFile(TXmtRecord& r, Byte manufacturer, Byte type) {
  r.SetMagic();
  r.SetByte(TXmtRecord::OffManufacturerId, manufacturer);
  r.SetByte(TXmtRecord::OffDeviceType, type);
  r.SetInt32(TXmtRecord::OffDeviceId, 4711);
  r.SetByte(TXmtRecord::OffPollingAddress, 5);
  r.SetString(TXmtRecord::OffTag, 10, "TT-205");
  r.SetString(TXmtRecord::OffDescriptor, 20, "BOILER OUT");
  r.SetString(TXmtRecord::OffDate, 10, "15/03/2024");
  r.SetString(TXmtRecord::OffMessage, 40, "CHECKED 2024");
  r.SetInt32(TXmtRecord::OffRangeUnit, 1);
  r.SetSingle(TXmtRecord::OffUpperRangeValue, 150.0f);
  r.SetSingle(TXmtRecord::OffLowerRangeValue, -50.0f);
  r.SetSingle(TXmtRecord::OffDamping, 2.5f);
  r.SetInt32(TXmtRecord::OffFinalAssemblyNumber, 70001);
  r.SetInt32(TXmtRecord::OffSensorSerialNumber, 120035);
  r.SetByte(TXmtRecord::OffSensorInfo, 0x91);
  r.SetByte(TXmtRecord::OffTransferFunction, 253);
  r.SetByte(TXmtRecord::OffWriteProtect, 1);
  r.SetByte(TXmtRecord::OffCacheMemory, 0);
  r.SetByte(TXmtRecord::OffFault1High, 1);
  r.SetByte(TXmtRecord::OffFault2High, 0);
  r.SetInt32(TXmtRecord::OffSegmentCount, 3);
  for (int i = 0; i < TXmtRecord::PointCount; ++i) r.SetPoint(i, 10.0f * i, 100.0f + i);
  r.SetByte(TXmtRecord::OffPVUnit, 2);
  r.SetSingle(TXmtRecord::OffPVUpperValue, 400.0f);
  r.SetSingle(TXmtRecord::OffPVLowerValue, 4.0f);
  TAlarmInfo a;
  a.SetPointEditable = a.HysteresisEditable = a.DelayEditable = a.RelayEditable = true;
  a.Decimals = 1;
  a.SetPoint = 1234;
  a.Hysteresis = 10;
  a.Delay = 5;
  r.SetAlarm(TXmtRecord::OffAlarm1, a);
  a.SetPoint = -250;
  a.RelayNormallyClosed = 1;
  r.SetAlarm(TXmtRecord::OffAlarm2, a);
  r.SetByte(TXmtRecord::OffDecimalPoint, 2);
  r.SetByte(TXmtRecord::OffLastDigitStep, 2);
  r.SetSingle(TXmtRecord::OffAI1UpperLimit, 110.0f);
  r.SetSingle(TXmtRecord::OffAI1LowerLimit, 90.0f);
}

class LoadTest : public ::testing::Test {
protected:
  explicit LoadTest(TLangue langue = TLangue::Anglais, TFormatSettings fs = {}) : World(langue, fs) {}

  TLoadForm& Form() const { return *World.Program->Forms.LoadForm; }
  TMainForm& Main() const { return World.Main(); }
  TXmt& Xmt() const { return World.Xmt(); }

  // A device of that maker and type, a file of it, and the form shown for it.
  void Open(Byte manufacturer = 250, Byte type = 203) {
    SetDevice(Xmt(), manufacturer, type);
    FillFile(Xmt().FileImage, manufacturer, type);
    Form().Show();
  }
  // Only these groups in the destination list.
  void Choose(std::initializer_list<int> groups) {
    Form().BtnDelAllClick();
    for (int g : groups) Form().ListDestination->addItem(Q(Form().GroupItem(g)));
  }
  void Select(TLoadList& list, std::initializer_list<int> rows) {
    list.clearSelection();
    for (int r : rows) list.item(r)->setSelected(true);
  }
  QPoint Centre(TLoadList& list, int row) const { return list.visualItemRect(list.item(row)).center(); }

  AppWorld World;
};

class LoadFrench : public LoadTest {
protected:
  LoadFrench() : LoadTest(TLangue::Francais, Comma()) {}
};

}  // namespace

TEST_F(LoadTest, ShowingOffersTheGroupsTheDeviceTakesAndChoosesThemAll) {
  struct Case {
    Byte manufacturer, type;
    std::vector<int> groups;
  };
  for (const Case& c : std::initializer_list<Case>{
           {17, 0x16, {1, 2, 3, 4, 5, 6, 7}},
           {250, 22, {1, 2, 3, 4, 5, 6, 7, 10, 11}},
           {250, 26, {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12}},
           {250, 203, {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15}},
       }) {
    Open(c.manufacturer, c.type);
    Texts items;
    for (int g : c.groups) items.push_back(Form().GroupItem(g));
    EXPECT_EQ(Form().ListSource->Items(), items) << int{c.type};
    EXPECT_EQ(Form().ListDestination->Items(), items) << int{c.type};
    EXPECT_TRUE(Form().ListSource->SelectedItems().empty());
    Form().Close();
  }
  EXPECT_EQ(Form().GroupItem(1), "01 - Polling Address");
  EXPECT_EQ(Form().GroupItem(13), Cp("13 - Alarm n°1 parameters"));
  EXPECT_EQ(Form().Caption(), "Data loaded ...");
  EXPECT_EQ(Form().LbIdSource->Caption(), "4711");
  EXPECT_EQ(Form().LbIdDestination->Caption(), "66051");
}

TEST_F(LoadTest, EachShowingStartsFromScratch) {
  Open();
  Form().BtnDelAllClick();
  Form().Close();
  Xmt().FileImage.SetInt32(TXmtRecord::OffDeviceId, 99);
  Form().Show();
  EXPECT_EQ(Form().ListDestination->count(), 14);
  EXPECT_EQ(Form().LbIdSource->Caption(), "99");
}

TEST_F(LoadTest, ButtonsAndKeysMoveGroupsWithoutDuplicates) {
  Open(17, 0x16);
  TLoadList& src = *Form().ListSource;
  TLoadList& dst = *Form().ListDestination;
  Form().BtnDelAll->click();
  EXPECT_EQ(dst.count(), 0);

  Select(src, {1, 3});
  Form().BtnAdd->click();
  EXPECT_EQ(dst.Items(), (Texts{Form().GroupItem(2), Form().GroupItem(4)}));
  Select(src, {0, 1});
  Form().BtnAdd->click();
  EXPECT_EQ(dst.Items(), (Texts{Form().GroupItem(1), Form().GroupItem(2), Form().GroupItem(4)})) << "kept sorted, no duplicate";
  EXPECT_EQ(src.count(), 7) << "the source keeps its items";

  Select(dst, {0, 2});
  Form().BtnDel->click();
  EXPECT_EQ(dst.Items(), (Texts{Form().GroupItem(2)}));

  src.setFocus();
  Select(src, {6});
  QTest::keyClick(&src, Qt::Key_Insert);
  EXPECT_EQ(dst.Items(), (Texts{Form().GroupItem(2), Form().GroupItem(7)}));
  QTest::keyClick(&src, Qt::Key_Delete);
  EXPECT_EQ(dst.count(), 2) << "Delete in the source list removes nothing";
  Select(dst, {1});
  QTest::keyClick(&dst, Qt::Key_Insert);
  EXPECT_EQ(dst.count(), 2) << "Insert in the destination list adds nothing";
  QTest::keyClick(&dst, Qt::Key_Delete);
  EXPECT_EQ(dst.Items(), (Texts{Form().GroupItem(2)}));

  Form().BtnAddAll->click();
  EXPECT_EQ(dst.count(), 7);
  EXPECT_TRUE(src.SelectedItems().empty());
  EXPECT_TRUE(Form().IsGroupSelected(7));
  EXPECT_FALSE(Form().IsGroupSelected(8));
}

TEST_F(LoadTest, DoubleClicksClicksAndHints) {
  Open(17, 0x16);
  TLoadList& src = *Form().ListSource;
  TLoadList& dst = *Form().ListDestination;
  Form().BtnDelAllClick();
  QTest::mouseDClick(src.viewport(), Qt::LeftButton, {}, Centre(src, 2));
  QTest::mouseDClick(src.viewport(), Qt::LeftButton, {}, Centre(src, 2));
  EXPECT_EQ(dst.Items(), (Texts{Form().GroupItem(3)}));

  // A click in one list clears the selection of the other.
  Select(src, {0});
  QTest::mouseClick(dst.viewport(), Qt::LeftButton, {}, Centre(dst, 0));
  EXPECT_TRUE(src.SelectedItems().empty());
  EXPECT_EQ(dst.SelectedItems().size(), 1u);
  QTest::mouseClick(src.viewport(), Qt::LeftButton, {}, Centre(src, 4));
  EXPECT_TRUE(dst.SelectedItems().empty());

  // A plain click first, so that the test's quick clicks in two lists do not count as one
  // double click.
  QTest::mouseClick(dst.viewport(), Qt::LeftButton, {}, Centre(dst, 0));
  QTest::mouseDClick(dst.viewport(), Qt::LeftButton, {}, Centre(dst, 0));
  EXPECT_EQ(dst.count(), 0);

  // The hint is the item under the mouse, and stays when no item is there.
  Form().ListSourceMouseMove(Centre(src, 5));
  EXPECT_EQ(FromQ(src.toolTip()), Form().GroupItem(6));
  Form().ListSourceMouseMove(QPoint(2, src.viewport()->height() - 2));
  EXPECT_EQ(FromQ(src.toolTip()), Form().GroupItem(6));
  Form().BtnAddAllClick();
  Form().ListDestinationMouseMove(Centre(dst, 1));
  EXPECT_EQ(FromQ(dst.toolTip()), Form().GroupItem(2));
}

TEST_F(LoadTest, DragAndDropBetweenTheLists) {
  Open(17, 0x16);
  TLoadList& src = *Form().ListSource;
  TLoadList& dst = *Form().ListDestination;
  QLabel other;
  EXPECT_TRUE(Form().ListDragOver(dst, &src));
  EXPECT_TRUE(Form().ListDragOver(src, &dst));
  EXPECT_TRUE(Form().ListDragOver(src, &src));
  EXPECT_FALSE(Form().ListDragOver(dst, &other));
  EXPECT_FALSE(Form().ListDragOver(dst, nullptr));

  Form().BtnDelAllClick();
  Select(src, {0, 5});
  Form().ListDragDrop(dst, &src);
  Form().ListDragDrop(dst, &src);
  EXPECT_EQ(dst.Items(), (Texts{Form().GroupItem(1), Form().GroupItem(6)}));
  Form().ListDragDrop(src, &src);
  Form().ListDragDrop(dst, &dst);
  EXPECT_EQ(dst.count(), 2);
  EXPECT_EQ(src.count(), 7);
  Select(dst, {1});
  Form().ListDragDrop(src, &dst);
  EXPECT_EQ(dst.Items(), (Texts{Form().GroupItem(1)}));
  EXPECT_EQ(src.count(), 7);
}

TEST_F(LoadTest, AFileOfAnotherMakerOrProductNeverReachesTheForm) {
  struct Case {
    const char* what;
    Byte fileManufacturer, fileType;
    bool offline;
    const char* message;  // null: the form opens
  };
  for (const Case& c : std::initializer_list<Case>{
           {"same device", 250, 203, false, nullptr},
           {"bit 7 of the type differs only", 250, 203 ^ 0x80, false, nullptr},
           {"another maker", 17, 203, false, "  Invalid manufacturer !   "},
           {"another product", 250, 203 ^ 0x01, false, "  Invalid product !        "},
           {"another product, bit 6", 250, 203 ^ 0x40, false, "  Invalid product !        "},
           {"offline takes any file", 17, 0x16, true, nullptr},
       }) {
    SetDevice(Xmt(), 250, 203);
    Main().OfflineMode = c.offline;
    FillFile(Xmt().FileImage, c.fileManufacturer, c.fileType);
    World.Ui.Messages.clear();
    World.Ui.ModalRuns.clear();
    const Codes before = ListOf(World.Jobs());
    Form().FileLoaded();
    if (c.message) {
      EXPECT_EQ(World.Ui.Messages, (Texts{c.message})) << c.what;
      EXPECT_TRUE(World.Ui.ModalRuns.empty()) << c.what;
    } else {
      EXPECT_TRUE(World.Ui.Messages.empty()) << c.what;
      EXPECT_EQ(World.Ui.ModalRuns, (Texts{"LoadForm"})) << c.what;
    }
    EXPECT_EQ(ListOf(World.Jobs()), before) << c.what << ": closing the form changes nothing";
  }
}

TEST_F(LoadTest, UpdateQueuesTheChosenGroupsThenTheTail) {
  struct Case {
    const char* what;
    Byte manufacturer, type;
    std::initializer_list<int> groups;  // empty list: every group offered
    bool all;
    Codes jobs;
  };
  for (const Case& c : std::initializer_list<Case>{
           {"another maker's seven groups", 17, 0x16, {}, true, {300, 303, 307, 302, 304, 306, 305, 202, 203, 500}},
           {"message and PV range", 250, 203, {3, 12}, false, {307, 322, 319, 219, 202, 203, 500}},
           {"PV range without the extended status", 250, 26, {12}, false, {319, 219, 202, 203, 500}},
           {"transfer function 253", 250, 203, {9}, false, {311, 202, 203, 500}},
           {"nothing chosen", 250, 203, {}, false, {202, 203, 500}},
           {"every group of type 203", 250, 203, {}, true,
            {300, 303, 307, 322, 319, 219, 302, 304, 306, 305, 312, 309, 313, 311, 308, 205, 320, 321, 323, 202, 203, 500}},
       }) {
    World.Jobs().StartList({201, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24});
    World.Jobs().JobIndex = 7;
    World.Jobs().Busy = false;
    Main().TabbedNotebook->setEnabled(true);
    Open(c.manufacturer, c.type);
    if (!c.all) Choose(c.groups);
    Form().BitBtnLangue1->click();
    EXPECT_FALSE(Form().Visible()) << c.what;
    EXPECT_EQ(ListOf(World.Jobs()), c.jobs) << c.what;
    EXPECT_EQ(World.Jobs().JobIndex, 0) << c.what;
    EXPECT_EQ(World.Jobs().LastJob, c.jobs.front()) << c.what << ": the first write is the one to repeat";
    EXPECT_TRUE(World.Jobs().Busy) << c.what;
    EXPECT_FALSE(Main().TabbedNotebook->isEnabled()) << c.what;
  }
}

TEST_F(LoadTest, CancelChangesNothing) {
  World.Jobs().StartList({1});
  World.Jobs().Busy = false;
  Main().EdTAG->SetText("OLD");
  Open();
  Form().BitBtnLangue2->click();
  EXPECT_FALSE(Form().Visible());
  EXPECT_EQ(ListOf(World.Jobs()), (Codes{1}));
  EXPECT_FALSE(World.Jobs().Busy);
  EXPECT_EQ(Main().EdTAG->Text(), "OLD");
  EXPECT_EQ(Xmt().SegmentCount, 0);
}

TEST_F(LoadTest, UpdateCopiesTheFileIntoThePages) {
  Open(250, 203);
  Xmt().FileImage.SetString(TXmtRecord::OffTag, 10, "ABCDEFGHIJ");  // full length; the edit takes 8
  Main().RdMod10->setChecked(true);
  Form().BitBtnLangue1Click();
  TMainForm& m = Main();
  EXPECT_EQ(m.NewPollingAddress, 5);
  EXPECT_EQ(m.EdTAG->Text(), "ABCDEFGH");
  EXPECT_EQ(m.EdDescripteur->Text(), "BOILER OUT");
  EXPECT_EQ(m.DateTimePicker->date(), QDate(2024, 3, 15));
  EXPECT_EQ(m.EdMessage->Text(), "CHECKED 2024");
  EXPECT_EQ(Xmt().DecimalPoint, 2);
  EXPECT_EQ(Xmt().LastDigitStep, 2);
  EXPECT_EQ(m.TrackBarPDaf->value(), 2);
  EXPECT_TRUE(m.RdMod5->isChecked());
  EXPECT_EQ(m.RangeFormat, "##0.00") << "the range masks follow the file's decimals";
  EXPECT_EQ(m.PV_Unit->UniteNb(), 2);
  EXPECT_EQ(m.EdUPV->Text(), "400.00");
  EXPECT_EQ(m.EdLPV->Text(), "4.00");
  EXPECT_EQ(m.Range_Unit->UniteNb(), 1);
  EXPECT_EQ(m.EdURV->Text(), "150.00");
  EXPECT_EQ(m.EdLRV->Text(), "-50.00");
  EXPECT_EQ(m.EdDAMP->Text(), "2.5");
  EXPECT_EQ(m.EdSNb->Text(), "120035");
  EXPECT_EQ(m.EdAssNb->Text(), "70001");
  const TDraw& draw = *World.Program->Forms.DessinForm->Draw1;
  EXPECT_EQ(draw.LastIndex, 3);
  EXPECT_EQ(Xmt().SegmentCount, 3);
  for (int i = 0; i <= 3; ++i) EXPECT_EQ(draw.Points[static_cast<std::size_t>(i)], (TRealPoint{10.0f * i, 100.0f + i}));
  EXPECT_EQ(draw.Points[4], TRealPoint{}) << "only points 0 to n";
  EXPECT_EQ(Xmt().WriteProtect, 1);
  EXPECT_EQ(Xmt().CacheMemory, 0);
  EXPECT_EQ(Xmt().StatusRegister, 1 + 4 + 16 * 10 + 256 * 30);
  EXPECT_EQ(Xmt().Alarm1.SetPoint, 1234);
  EXPECT_EQ(m.EdAlr1->Text(), "123.4");
  EXPECT_EQ(m.EdAlr2->Text(), "-25.0");
  EXPECT_TRUE(m.RdRelNf2->isChecked());
  EXPECT_EQ(Xmt().AI1UpperLimit, 110.0f);
  EXPECT_EQ(m.EdAI1N->Text(), "100.00");
  EXPECT_EQ(m.EdAI1UL->Text(), "10.0");
  EXPECT_EQ(m.EdAI1LL->Text(), "-10.0");
  EXPECT_FALSE(World.Program->Forms.ErreurForm->Visible());
}

TEST_F(LoadTest, SensorTypeGroupCopiesTheSensorByte) {
  Open(250, 22);
  Choose({10});
  Form().BitBtnLangue1Click();
  EXPECT_EQ(Xmt().SensorInfo, 0x91);
  EXPECT_EQ(ListOf(World.Jobs()), (Codes{317, 213, 202, 203, 500}));
}

TEST_F(LoadTest, DisplayDecimalsTheTrackBarCannotShowLeaveItWhereItIs) {
  Open(250, 203);
  Main().TrackBarPDaf->setValue(3);
  Xmt().FileImage.SetByte(TXmtRecord::OffDecimalPoint, 6);
  Xmt().FileImage.SetByte(TXmtRecord::OffLastDigitStep, 9);
  Main().RdMod2->setChecked(true);
  Choose({12});
  Form().BitBtnLangue1Click();
  EXPECT_EQ(Xmt().DecimalPoint, 6);
  EXPECT_EQ(Main().TrackBarPDaf->value(), 3);
  EXPECT_TRUE(Main().RdMod2->isChecked()) << "an unknown step checks no other button";
  EXPECT_EQ(ListOf(World.Jobs()), (Codes{322, 319, 219, 202, 203, 500}));
}

TEST_F(LoadTest, AFileWithoutAValidDateStillWritesTagAndDescriptor) {
  for (const char* date : {"", "31/02/2024", "2024-03-15", "00/00/0000"}) {
    Open(250, 203);
    Main().DateTimePicker->setDate(QDate(2001, 2, 3));
    Xmt().FileImage.SetString(TXmtRecord::OffDate, 10, date);
    Choose({2});
    Form().BitBtnLangue1Click();
    EXPECT_EQ(Main().DateTimePicker->date(), QDate(2001, 2, 3)) << date;
    EXPECT_EQ(Main().EdTAG->Text(), "TT-205") << date;
    EXPECT_EQ(ListOf(World.Jobs()), (Codes{303, 202, 203, 500})) << date;
    EXPECT_TRUE(World.Ui.ErrorReports.empty());
  }
}

TEST_F(LoadTest, ABadSegmentNumberRefusesTheTableAloneWithAMessage) {
  for (const std::int32_t n : {0, -5, 48, 100000}) {
    Open(250, 203);
    TDraw& draw = *World.Program->Forms.DessinForm->Draw1;
    draw.LastIndex = 2;
    draw.Points[0] = {1, 2};
    Xmt().SegmentCount = 2;
    Xmt().FileImage.SetInt32(TXmtRecord::OffSegmentCount, n);
    Choose({3, 8, 9});
    Form().BitBtnLangue1Click();
    EXPECT_EQ(ListOf(World.Jobs()), (Codes{307, 311, 202, 203, 500})) << n;
    EXPECT_EQ(draw.LastIndex, 2) << n;
    EXPECT_EQ(draw.Points[0], (TRealPoint{1, 2})) << n;
    EXPECT_EQ(Xmt().SegmentCount, 2) << n;
    TErreurForm& error = *World.Program->Forms.ErreurForm;
    EXPECT_TRUE(error.Visible());
    EXPECT_EQ(error.LbErreur->Caption(), "Bad segment number");
    error.Close();
  }
}

// A hostile file: strings whose length bytes pass their fields, values out of every range.
// The good groups are written, the others are named in the error window, nothing else moves.
TEST_F(LoadTest, AHostileFileGivesOnlyItsSoundGroups) {
  Open(250, 203);
  TXmtRecord& f = Xmt().FileImage;
  for (int off : {TXmtRecord::OffTag, TXmtRecord::OffDescriptor, TXmtRecord::OffDate, TXmtRecord::OffMessage}) f.SetByte(off, 255);
  f.SetByte(TXmtRecord::OffPollingAddress, 200);
  f.SetInt32(TXmtRecord::OffRangeUnit, -7);
  f.SetSingle(TXmtRecord::OffDamping, std::numeric_limits<float>::quiet_NaN());
  f.SetSingle(TXmtRecord::OffPVUpperValue, 1e30f);
  f.SetInt32(TXmtRecord::OffSensorSerialNumber, -1);
  f.SetInt32(TXmtRecord::OffSegmentCount, std::numeric_limits<std::int32_t>::min());
  TAlarmInfo a = f.GetAlarm(TXmtRecord::OffAlarm2);
  a.Decimals = 200;
  f.SetAlarm(TXmtRecord::OffAlarm2, a);
  Main().EdDAMP->SetText("1.0");
  Form().BitBtnLangue1Click();
  EXPECT_EQ(ListOf(World.Jobs()), (Codes{303, 307, 305, 311, 308, 205, 320, 323, 202, 203, 500}));
  EXPECT_EQ(Main().EdTAG->Text().size(), 8u);
  EXPECT_EQ(Main().EdMessage->Text().size(), 32u);
  EXPECT_EQ(Main().EdDAMP->Text(), "1.0");
  const std::string expected = std::string("Invalid value in the file, not written: ") + Form().GroupItem(1) + "\n" +
                               "Invalid value in the file, not written: " + Form().GroupItem(12) + "\n" +
                               "Invalid value in the file, not written: " + Form().GroupItem(4) + "\n" +
                               "Invalid value in the file, not written: " + Form().GroupItem(5) + "\n" +
                               "Invalid value in the file, not written: " + Form().GroupItem(6) + "\n" +
                               "Bad segment number\n" + "Invalid value in the file, not written: " + Form().GroupItem(14);
  EXPECT_EQ(World.Program->Forms.ErreurForm->LbErreur->Caption(), expected);
}

TEST_F(LoadFrench, TextsAndCopiesOfTheFrenchEdition) {
  Open(250, 203);
  EXPECT_EQ(Form().Caption(), Cp("Données chargées ..."));
  EXPECT_EQ(Form().GroupItem(1), "01 - Adresse de scrutation");
  EXPECT_EQ(Form().BitBtnLangue1->ShownCaption(), Cp("Mettre à jour"));
  EXPECT_EQ(Form().BtnAddAll->ShownCaption(), "Tout ajouter");
  Xmt().FileImage.SetInt32(TXmtRecord::OffSegmentCount, 50);
  Choose({4, 5, 8, 15});
  Form().BitBtnLangue1Click();
  EXPECT_EQ(Main().EdURV->Text(), "150,00");
  EXPECT_EQ(Main().EdDAMP->Text(), "2,5");
  EXPECT_EQ(Main().EdAI1N->Text(), "100,00");
  EXPECT_EQ(Main().EdAI1LL->Text(), "-10,0");
  EXPECT_EQ(World.Program->Forms.ErreurForm->LbErreur->Caption(), "Nombre de segments incorrect");

  SetDevice(Xmt(), 250, 203);
  World.Ui.Messages.clear();
  Xmt().FileImage.SetByte(TXmtRecord::OffManufacturerId, 1);
  Form().FileLoaded();
  Xmt().FileImage.SetByte(TXmtRecord::OffManufacturerId, 250);
  Xmt().FileImage.SetByte(TXmtRecord::OffDeviceType, 1);
  Form().FileLoaded();
  EXPECT_EQ(World.Ui.Messages, (Texts{"  Fabricant incorrect !   ", "  Produit incorrect !        "}));
}

// ---------------------------------------------------------------------------------------
// Real drags and mouse moves

namespace {

// What a list did with the events a drag over it brings: enter, move, drop.
struct TDropSeen {
  bool Entered = false;
  bool Moved = false;
  bool Dropped = false;
  Qt::DropAction Action = Qt::IgnoreAction;  // what the drop tells the drag's source
};

// The events a drag brings to the list it passes over and is dropped on, with the data and
// the actions the drag offers.
TDropSeen DragOver(TLoadList& onto, const QMimeData* data, Qt::DropActions actions) {
  const QPoint at = onto.viewport()->rect().center();
  QDragEnterEvent enter(at, actions, data, Qt::LeftButton, {});
  QApplication::sendEvent(onto.viewport(), &enter);
  QDragMoveEvent move(at, actions, data, Qt::LeftButton, {});
  QApplication::sendEvent(onto.viewport(), &move);
  QDropEvent drop(at, actions, data, Qt::LeftButton, {});
  QApplication::sendEvent(onto.viewport(), &drop);
  return {enter.isAccepted(), move.isAccepted(), drop.isAccepted(), drop.dropAction()};
}

// A drag of the selected items of `from`, started as the mouse starts it (a press on the first
// of them, then moves past the drag distance): while it runs, it passes over and is dropped on
// `onto`; Esc then ends it, so the drag itself drops nothing more.
TDropSeen Drag(TLoadList& from, TLoadList& onto) {
  TDropSeen seen;
  bool ran = false;
  QTimer::singleShot(0, &from, [&] {
    if (auto* drag = from.findChild<QDrag*>()) {
      ran = true;
      seen = DragOver(onto, drag->mimeData(), drag->supportedActions());
    }
    QTest::keyPress(&from, Qt::Key_Escape);
  });
  int first = 0;
  while (!from.item(first)->isSelected()) ++first;
  const QPoint start = from.visualItemRect(from.item(first)).center();
  QTest::mousePress(from.viewport(), Qt::LeftButton, {}, start);
  QTest::mouseMove(from.viewport(), start + QPoint(5, 2));
  QTest::mouseMove(from.viewport(), start + QPoint(40, 10));
  QTest::mouseRelease(from.viewport(), Qt::LeftButton, {}, start + QPoint(40, 10));
  EXPECT_TRUE(ran) << "no drag started";
  return seen;
}

}  // namespace

TEST_F(LoadTest, RealDragsCopyOnceAndNeverMove) {
  if (!RealDragsHere()) return;
  Open(17, 0x16);
  TLoadList& src = *Form().ListSource;
  TLoadList& dst = *Form().ListDestination;
  const Texts offered = src.Items();
  Form().BtnDelAllClick();

  // From the file's list onto the transmitter's: a copy, however often it is dropped.
  for (int i = 0; i < 2; ++i) {
    Select(src, {0, 5});
    const TDropSeen seen = Drag(src, dst);
    EXPECT_TRUE(seen.Entered && seen.Moved && seen.Dropped) << i;
    EXPECT_EQ(seen.Action, Qt::CopyAction) << i << ": the source never deletes what it gave";
    EXPECT_EQ(dst.Items(), (Texts{Form().GroupItem(1), Form().GroupItem(6)})) << i;
    EXPECT_EQ(src.Items(), offered) << i;
  }

  // A list onto itself changes nothing.
  Select(src, {2});
  EXPECT_TRUE(Drag(src, src).Dropped);
  Select(dst, {1});
  EXPECT_TRUE(Drag(dst, dst).Dropped);
  EXPECT_EQ(dst.Items(), (Texts{Form().GroupItem(1), Form().GroupItem(6)}));
  EXPECT_EQ(src.Items(), offered);

  // From the transmitter's list back onto the file's: the item leaves the transmitter's list,
  // and the file's list takes nothing.
  Select(dst, {1});
  const TDropSeen back = Drag(dst, src);
  EXPECT_TRUE(back.Dropped);
  EXPECT_EQ(back.Action, Qt::CopyAction);
  EXPECT_EQ(dst.Items(), (Texts{Form().GroupItem(1)}));
  EXPECT_EQ(src.Items(), offered);
}

TEST_F(LoadTest, ADragFromOutsideIsRefused) {
  Open(17, 0x16);
  TLoadList& src = *Form().ListSource;
  TLoadList& dst = *Form().ListDestination;
  const Texts offered = src.Items();
  Form().BtnDelAllClick();
  Select(src, {0, 5});
  // The lists' own data, and a text, as another program would drag them.
  std::unique_ptr<QMimeData> listData(src.model()->mimeData(src.selectionModel()->selectedIndexes()));
  ASSERT_NE(listData, nullptr);
  QMimeData text;
  text.setText(Q(Form().GroupItem(1)));
  for (TLoadList* onto : {&dst, &src}) {
    for (const QMimeData* data : std::vector<const QMimeData*>{listData.get(), &text}) {
      const TDropSeen seen = DragOver(*onto, data, Qt::CopyAction | Qt::MoveAction);
      EXPECT_FALSE(seen.Entered);
      EXPECT_FALSE(seen.Moved);
      EXPECT_FALSE(seen.Dropped);
    }
  }
  EXPECT_EQ(dst.count(), 0);
  EXPECT_EQ(src.Items(), offered);
}

TEST_F(LoadTest, TheHintFollowsTheMouse) {
  Open(17, 0x16);
  TLoadList& src = *Form().ListSource;
  TLoadList& dst = *Form().ListDestination;
  Form().BtnDelAllClick();
  Select(src, {2, 4});
  Form().BtnAddClick();
  struct Step {
    TLoadList* list;
    QPoint at;
    std::string srcHint, dstHint;  // both lists' hints afterwards
  };
  const QPoint empty(4, src.viewport()->height() - 4);  // below the items
  const Step steps[] = {
      {&src, Centre(src, 5), Form().GroupItem(6), ""},
      {&src, Centre(src, 0), Form().GroupItem(1), ""},
      {&src, empty, Form().GroupItem(1), ""},  // no item there: the hint stays
      {&dst, Centre(dst, 1), Form().GroupItem(1), Form().GroupItem(5)},
      {&dst, empty, Form().GroupItem(1), Form().GroupItem(5)},
  };
  for (const Step& s : steps) {
    QTest::mouseMove(s.list->viewport(), s.at);
    EXPECT_EQ(FromQ(src.toolTip()), s.srcHint) << s.at.x() << "," << s.at.y();
    EXPECT_EQ(FromQ(dst.toolTip()), s.dstHint) << s.at.x() << "," << s.at.y();
  }
}

TEST_F(LoadTest, EachLastDigitStepChecksItsButton) {
  Open(250, 203);
  TMainForm& m = Main();
  struct Case {
    Byte step;
    QRadioButton* checked;  // null: the buttons stay as they were
  };
  const Case cases[] = {
      {0, m.RdMod0}, {1, m.RdMod2}, {2, m.RdMod5}, {3, m.RdMod10}, {4, nullptr}, {255, nullptr},
  };
  for (QRadioButton* before : {m.RdMod0, m.RdMod10}) {
    for (const Case& c : cases) {
      before->setChecked(true);
      Xmt().FileImage.SetByte(TXmtRecord::OffLastDigitStep, c.step);
      Choose({12});
      Form().BitBtnLangue1Click();
      QRadioButton* expected = c.checked ? c.checked : before;
      for (QRadioButton* b : {m.RdMod0, m.RdMod2, m.RdMod5, m.RdMod10})
        EXPECT_EQ(b->isChecked(), b == expected) << int{c.step} << " " << b->objectName().toStdString();
      EXPECT_EQ(Xmt().LastDigitStep, c.step);
    }
  }
}
