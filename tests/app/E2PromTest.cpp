// The EEPROM editor: the grid, the selected address, the reads and writes of single words,
// the read of all words for each EEPROM size, and the checksum's range.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QTableWidget>
#include <QToolButton>

#include "app/E2Prom.h"
#include "app/Texts.h"
#include "app/core/DisplayFormat.h"
#include "support/AppFixture.h"

namespace {

struct E2PromTest : AppFixture {
  TE2PromForm& Form() const { return *World.Program->Forms.E2PromForm; }
  std::string Cell(int row, int col) const { return FromQ(Form().EEPROM_Grid->item(row, col)->text()); }
  bool Started(std::int32_t code) const {
    const TJobList& j = World.Jobs();
    return j.At(0) == code && j.At(1) == 500 && j.At(2) == 0;
  }
  void Idle() { World.Jobs().StartMeasurePolling(); }
};

TEST_F(E2PromTest, FirstShowingOfTheGrid) {
  Form().Show();
  EXPECT_EQ(Form().Caption(), "E2Prom");
  EXPECT_EQ(Form().EEPROM_Grid->columnCount(), 9);
  EXPECT_EQ(Form().EEPROM_Grid->rowCount(), 32);
  for (int row = 0; row < 16; ++row) {
    EXPECT_EQ(Cell(row, 0), IntToHex(static_cast<std::uint32_t>(8 * row), 3) + "  :") << row;
    for (int col = 1; col <= 8; ++col) EXPECT_EQ(Cell(row, col), "????");
  }
  EXPECT_EQ(Cell(15, 0), "078  :");
  for (int row = 16; row < 32; ++row)
    for (int col = 0; col <= 8; ++col) EXPECT_EQ(Cell(row, col), "") << row;
  EXPECT_EQ(Form().LbAddrFin->Caption(), "Parameter end address (127):");
  EXPECT_EQ(Form().LbCHK->Caption(), "CHK: 0000");
}

TEST_F(E2PromTest, TheTypeSetsTheRowsShown) {
  Form().Show();
  struct Case {
    int item;
    int rows;
  };
  for (const Case c : {Case{0, 8}, Case{2, 32}, Case{1, 16}}) {
    Form().CmbType->setCurrentIndex(c.item);
    EXPECT_EQ(Form().EepromSize, c.rows * 8);
    for (int row = 0; row < 32; ++row) EXPECT_EQ(Cell(row, 1).empty(), row >= c.rows) << c.item << " row " << row;
  }
  Form().CmbType->setCurrentIndex(-1);  // no item: the size stays
  EXPECT_EQ(Form().EepromSize, 128);
}

TEST_F(E2PromTest, SelectingACellShowsItsAddress) {
  Form().Show();
  Form().EEPROM_Grid->setCurrentCell(2, 3);
  EXPECT_EQ(Form().SelectedAddress, 18);
  EXPECT_EQ(Form().LbAddr->Caption(), "Address (18):");
  EXPECT_EQ(Form().EdAdr->Text(), "012");
  Form().EEPROM_Grid->setCurrentCell(3, 0);  // the fixed column selects nothing
  EXPECT_EQ(Form().SelectedAddress, 18);
  Form().EEPROM_Grid->setCurrentCell(31, 8);
  EXPECT_EQ(Form().EdAdr->Text(), "0FF");
}

TEST_F(E2PromTest, ReadBeforeAnySelectionReadsAddressZero) {
  Form().Show();
  World.Xmt().EepromAddress = 77;
  Form().BtLecture->click();
  EXPECT_EQ(World.Xmt().EepromAddress, 0);
  EXPECT_TRUE(Started(215));
  EXPECT_EQ(Cell(0, 1), "????");
}

TEST_F(E2PromTest, OnlyFourUpperCaseDigitsAreWritten) {
  Form().Show();
  Form().EEPROM_Grid->setCurrentCell(2, 3);
  struct Case {
    const char* text;
    bool sent;
    const char* shown;
  };
  for (const Case c : {Case{"00FF", true, "00FF"}, Case{"00ff", false, ""}, Case{"FF", false, ""}, Case{"", false, ""},
                       Case{"12345", false, ""}, Case{"ABCD", true, "ABCD"}, Case{"0x1F", false, ""}}) {
    Idle();
    World.Ui.Beeps = 0;
    World.Xmt().EepromValue = -1;
    Form().SetCellText(18, c.text);
    Form().BtEcriture->click();
    EXPECT_EQ(Cell(2, 3), c.shown) << c.text;
    EXPECT_EQ(Started(318), c.sent) << c.text;
    EXPECT_EQ(World.Ui.Beeps, c.sent ? 0 : 1) << c.text;
    if (c.sent) {
      EXPECT_EQ(World.Xmt().EepromAddress, 18);
      EXPECT_EQ(static_cast<std::uint32_t>(World.Xmt().EepromValue), std::stoul(c.text, nullptr, 16));
    } else {
      EXPECT_EQ(World.Xmt().EepromValue, -1) << c.text;
      EXPECT_EQ(World.Jobs().At(0), 1) << c.text;
    }
  }
}

TEST_F(E2PromTest, ReadOfAllWordsForEachSize) {
  for (const int item : {0, 1, 2}) {
    AppWorld w;
    TE2PromForm& f = *w.Program->Forms.E2PromForm;
    f.Show();
    f.CmbType->setCurrentIndex(item);
    const int size = 64 << item;
    f.BtReadAll->click();
    EXPECT_TRUE(f.ReadingAll);
    EXPECT_FALSE(f.GrCell->isEnabled());
    EXPECT_EQ(f.BtReadAll->ShownCaption(), "Stop!");
    std::vector<int> requested;
    for (int guard = 0; guard < 300 && f.ReadingAll; ++guard) {
      const int a = w.Xmt().EepromAddress;
      ASSERT_EQ(w.Jobs().At(0), 215);
      requested.push_back(a);
      w.Jobs().StartMeasurePolling();
      f.WordReceived(static_cast<Byte>(a), 0x10000 + a);  // only the low 16 bits are kept
    }
    ASSERT_EQ(static_cast<int>(requested.size()), size) << item;
    for (int a = 0; a < size; ++a) EXPECT_EQ(requested[static_cast<std::size_t>(a)], a);
    EXPECT_EQ(w.Jobs().At(0), 1) << "no request after the last address";
    EXPECT_TRUE(f.GrCell->isEnabled());
    EXPECT_EQ(f.BtReadAll->ShownCaption(), "Read all");
    EXPECT_EQ(f.Eeprom.Words[static_cast<std::size_t>(size - 1)], size - 1);
    EXPECT_EQ(FromQ(f.EEPROM_Grid->item(size / 8 - 1, 8)->text()), IntToHex(static_cast<std::uint32_t>(size - 1), 4));
  }
}

TEST_F(E2PromTest, StopEndsTheReadAndTheAnswerUnderWayIsStillStored) {
  Form().Show();
  Form().BtReadAll->click();
  Form().WordReceived(0, 0x1234);
  ASSERT_EQ(World.Xmt().EepromAddress, 1);
  EXPECT_EQ(Cell(0, 2), "????");
  Form().BtReadAll->click();
  EXPECT_FALSE(Form().ReadingAll);
  EXPECT_TRUE(Form().GrCell->isEnabled());
  Idle();
  Form().WordReceived(1, 0xBEEF);
  EXPECT_EQ(Cell(0, 2), "BEEF");
  EXPECT_EQ(World.Jobs().At(0), 1) << "nothing more is requested";
}

TEST_F(E2PromTest, ChecksumCoversTheKnownWordsFromTwoToBeforeTheEnd) {
  Form().Show();
  for (int a = 0; a < 256; ++a) Form().WordReceived(static_cast<Byte>(a), 1);
  EXPECT_EQ(Form().LbCHK->Caption(), "CHK: 007D");  // words 2..126
  Form().EdAdrFin->SetText("100");
  Form().SpeedButton1->click();
  EXPECT_EQ(Form().LbAddrFin->Caption(), "Parameter end address (256):");
  EXPECT_EQ(Form().LbCHK->Caption(), "CHK: 007E") << "only the 128 words shown: 2..127";
  Form().CmbType->setCurrentIndex(2);
  EXPECT_EQ(Form().LbCHK->Caption(), "CHK: 00FE");  // 2..255
  Form().CmbType->setCurrentIndex(0);
  EXPECT_EQ(Form().LbCHK->Caption(), "CHK: 003E");  // 2..63
  // A word above the size stays stored, neither shown nor added.
  Form().WordReceived(200, 0x7777);
  EXPECT_EQ(Form().Eeprom.Words[200], 0x7777);
  EXPECT_EQ(Form().LbCHK->Caption(), "CHK: 003E");
  EXPECT_EQ(Cell(25, 1), "");
}

TEST(E2PromFrench, TextsOfTheFrenchEdition) {
  AppWorld w(TLangue::Francais);
  TE2PromForm& f = *w.Program->Forms.E2PromForm;
  f.Show();
  EXPECT_EQ(f.LbAddrFin->Caption(), "Adresse fin param (127) :");
  f.EEPROM_Grid->setCurrentCell(2, 3);
  EXPECT_EQ(f.LbAddr->Caption(), "Adresse (18) :");
  f.BtReadAll->click();
  EXPECT_EQ(f.BtReadAll->ShownCaption(), Cp("Arrêt !"));
  EXPECT_EQ(f.GrCell->ShownCaption(), "Cellule");
}

// Through the link: a write reaches the transmitter and its answer shows the word; a read
// of all words of a 93C46 asks for each address once.
TEST(E2PromLink, WriteAndReadAllOnTheTransmitter) {
  AppWorld w;
  w.Connect();
  TE2PromForm& f = *w.Program->Forms.E2PromForm;
  f.Show();
  f.EEPROM_Grid->setCurrentCell(1, 2);
  f.SetCellText(9, "A55A");
  f.BtEcriture->click();
  ASSERT_TRUE(w.AdvanceUntilRequests(1));
  EXPECT_EQ(w.Sim.Requests.back().Command, 193);
  EXPECT_EQ(w.Sim.State.Eeprom[9], 0xA55A);
  w.Advance(1000);
  EXPECT_EQ(FromQ(f.EEPROM_Grid->item(1, 2)->text()), "A55A");

  w.Sim.State.Eeprom[63] = 0x0102;
  f.CmbType->setCurrentIndex(0);
  const std::size_t from = w.Sim.Requests.size();
  f.BtReadAll->click();
  ASSERT_TRUE(w.Sched.AdvanceUntil([&] { return !f.ReadingAll; }, 120000));
  std::vector<int> addresses;
  for (std::size_t i = from; i < w.Sim.Requests.size(); ++i) {
    EXPECT_EQ(w.Sim.Requests[i].Command, 192);
    addresses.push_back(w.Sim.Requests[i].Data.at(0));
  }
  ASSERT_EQ(addresses.size(), 64u);
  for (int a = 0; a < 64; ++a) EXPECT_EQ(addresses[static_cast<std::size_t>(a)], a);
  EXPECT_EQ(FromQ(f.EEPROM_Grid->item(7, 8)->text()), "0102");
  EXPECT_EQ(FromQ(f.EEPROM_Grid->item(1, 2)->text()), "A55A");
}

}  // namespace
