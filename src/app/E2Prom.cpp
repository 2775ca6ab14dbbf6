#include "app/E2Prom.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QStyle>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/Texts.h"
#include "app/UiServices.h"
#include "app/core/DisplayFormat.h"
#include "app/main.h"

namespace {


constexpr int GridRows = 32;
constexpr int GridColumns = 9;
constexpr int ColumnWidth = 42;
constexpr int RowHeight = 18;
constexpr int VisibleRows = 16;
const char* const Unknown = "????";

}  // namespace

TE2PromForm::TE2PromForm(TAppContext& app) : TForm(app, "E2PromForm") {
  TEdition& e = app.Edition;

  GrCell = MakeLangue<TGroupBoxLangue>(e, this, "GrCell", "Cell", "Cellule");
  BtLecture = MakeLangue<TBitBtnLangue>(e, GrCell, "BtLecture", "Read", "Lecture");
  BtEcriture = MakeLangue<TBitBtnLangue>(e, GrCell, "BtEcriture", "Write", "Ecriture");
  auto* cell = new QVBoxLayout(GrCell);
  cell->addWidget(BtLecture);
  cell->addWidget(BtEcriture);

  BtReadAll = MakeLangue<TBitBtnLangue>(e, this, "BtReadAll", "Read all", "Lire tout");
  BtReadAll->setMinimumWidth(BtReadAll->sizeHint().width() + 16);
  CmbType = new QComboBox(this);
  CmbType->setObjectName("CmbType");
  CmbType->addItems({QStringLiteral("93C46"), QStringLiteral("93C56"), QStringLiteral("93C66")});
  CmbType->setCurrentIndex(1);

  LbAddr = new TLabel(this);
  LbAddr->setObjectName("LbAddr");
  LbAddr->SetCaption(Tx(app.Langue(), "Address", "Adresse"));
  EdAdr = new TMaskEdit(this);
  EdAdr->setObjectName("EdAdr");
  EdAdr->SetEditMask("!000;1;_");
  LbAddrFin = new TLabel(this);
  LbAddrFin->setObjectName("LbAddrFin");
  LbAddrFin->SetCaption(Tx(app.Langue(), "Parameter end address", "Adresse fin param"));
  EdAdrFin = new TMaskEdit(this);
  EdAdrFin->setObjectName("EdAdrFin");
  EdAdrFin->SetEditMask("!000;1;_");
  EdAdrFin->SetText("07F");
  // Room for the longest texts the labels take.
  LbAddr->setMinimumWidth(LbAddr->fontMetrics().horizontalAdvance(Q(Tx(app.Langue(), "Address (255):", "Adresse (255) :"))) + 4);
  LbAddrFin->setMinimumWidth(
      LbAddrFin->fontMetrics().horizontalAdvance(Q(Tx(app.Langue(), "Parameter end address (4095):", "Adresse fin param (4095) :"))) + 4);
  for (TMaskEdit* edit : {EdAdr, EdAdrFin}) {
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
    edit->Beep = [this] { App().Ui.Beep(); };
  }
  SpeedButton1 = new QToolButton(this);
  SpeedButton1->setObjectName("SpeedButton1");
  SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
  LbCHK = new TLabel(this);
  LbCHK->setObjectName("LbCHK");
  LbCHK->SetCaption("CHK: ????");

  EEPROM_Grid = new QTableWidget(GridRows, GridColumns, this);
  EEPROM_Grid->setObjectName("EEPROM_Grid");
  EEPROM_Grid->horizontalHeader()->hide();
  EEPROM_Grid->verticalHeader()->hide();
  EEPROM_Grid->horizontalHeader()->setMinimumSectionSize(ColumnWidth);
  EEPROM_Grid->horizontalHeader()->setDefaultSectionSize(ColumnWidth);
  EEPROM_Grid->verticalHeader()->setMinimumSectionSize(RowHeight);
  EEPROM_Grid->verticalHeader()->setDefaultSectionSize(RowHeight);
  EEPROM_Grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  EEPROM_Grid->setSelectionMode(QAbstractItemView::SingleSelection);
  EEPROM_Grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::AnyKeyPressed);
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  EEPROM_Grid->setFont(fixed);
  for (int row = 0; row < GridRows; ++row) {
    for (int col = 0; col < GridColumns; ++col) {
      auto* item = new QTableWidgetItem;
      if (col == 0) {
        // The fixed column of row addresses: shown, never selected or edited.
        item->setFlags(Qt::ItemIsEnabled);
        item->setBackground(palette().button());
      }
      EEPROM_Grid->setItem(row, col, item);
    }
  }
  // The row addresses need more room than a word in the fixed font.
  const int firstColumn = std::max(ColumnWidth, QFontMetrics(fixed).horizontalAdvance(QStringLiteral("000  :")) + 10);
  EEPROM_Grid->setColumnWidth(0, firstColumn);
  const int frame = 2 * EEPROM_Grid->frameWidth();
  EEPROM_Grid->setFixedSize(firstColumn + (GridColumns - 1) * ColumnWidth + frame +
                                EEPROM_Grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent),
                            VisibleRows * RowHeight + frame);

  auto* address = new QGridLayout;
  address->addWidget(LbAddr, 0, 0);
  address->addWidget(EdAdr, 0, 1);
  address->addWidget(LbAddrFin, 1, 0);
  address->addWidget(EdAdrFin, 1, 1);
  address->addWidget(SpeedButton1, 1, 2);
  address->setColumnStretch(3, 1);
  auto* top = new QHBoxLayout;
  top->addWidget(GrCell);
  auto* middle = new QVBoxLayout;
  middle->addWidget(BtReadAll);
  middle->addWidget(CmbType);
  middle->addStretch();
  top->addLayout(middle);
  top->addLayout(address, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(EEPROM_Grid);
  layout->addWidget(LbCHK);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(BtLecture, &QPushButton::clicked, this, [this] { BtLectureClick(); });
  connect(BtEcriture, &QPushButton::clicked, this, [this] { BtEcritureClick(); });
  connect(BtReadAll, &QPushButton::clicked, this, [this] { BtReadAllClick(); });
  connect(CmbType, &QComboBox::currentIndexChanged, this, [this] { CmbTypeChange(); });
  connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
  connect(EEPROM_Grid, &QTableWidget::currentCellChanged, this,
          [this](int row, int col) { EEPROM_GridSelectCell(col, row); });
}

void TE2PromForm::FormShow() {
  SetCaption("E2Prom");
  RefreshGrid();
}

void TE2PromForm::SetCell(int col, int row, const std::string& text) {
  if (QTableWidgetItem* item = EEPROM_Grid->item(row, col)) item->setText(Q(text));
}

std::string TE2PromForm::CellText(int address) const {
  const QTableWidgetItem* item = EEPROM_Grid->item(address / 8, address % 8 + 1);
  return item ? FromQ(item->text()) : std::string();
}

void TE2PromForm::SetCellText(int address, const std::string& text) { SetCell(address % 8 + 1, address / 8, text); }

void TE2PromForm::RefreshGrid() {
  const int end = EepromEndAddress(EdAdrFin->Text());
  LbAddrFin->SetCaption(Tx(Langue(), "Parameter end address (", "Adresse fin param (") + std::to_string(end) +
                        Tx(Langue(), "):", ") :"));
  const int rows = EepromSize / 8;
  for (int row = 0; row < GridRows; ++row) {
    if (row >= rows) {
      for (int col = 0; col < GridColumns; ++col) SetCell(col, row, "");
      continue;
    }
    SetCell(0, row, EepromRowText(row));
    for (int col = 0; col < 8; ++col) {
      const auto a = static_cast<std::size_t>(8 * row + col);
      SetCell(col + 1, row, Eeprom.Known[a] ? IntToHex(Eeprom.Words[a], 4) : Unknown);
    }
  }
  LbCHK->SetCaption("CHK: " + IntToHex(EepromChecksum(Eeprom, EepromSize, end), 4));
}

void TE2PromForm::EEPROM_GridSelectCell(int col, int row) {
  if (col < 1 || row < 0) return;  // the fixed column, or no cell
  SelectedAddress = 8 * row + col - 1;
  LbAddr->SetCaption(Tx(Langue(), "Address (", "Adresse (") + std::to_string(SelectedAddress) + Tx(Langue(), "):", ") :"));
  EdAdr->SetText(IntToHex(static_cast<std::uint32_t>(SelectedAddress), 3));
}

void TE2PromForm::BtLectureClick() {
  App().Forms.MainForm->Transmetteur.EepromAddress = SelectedAddress;
  App().Jobs.Start(215);
  SetCellText(SelectedAddress, Unknown);
}

// Only four upper-case hexadecimal digits are written; anything else empties the cell.
void TE2PromForm::BtEcritureClick() {
  std::uint16_t value = 0;
  if (!HexToWord(CellText(SelectedAddress), value)) {
    SetCellText(SelectedAddress, "");
    App().Ui.Beep();
    return;
  }
  TXmt& xmt = App().Forms.MainForm->Transmetteur;
  xmt.EepromAddress = SelectedAddress;
  xmt.EepromValue = value;
  App().Jobs.Start(318);
  SetCellText(SelectedAddress, IntToHex(value, 4));
}

void TE2PromForm::SetReadingAll(bool reading) {
  ReadingAll = reading;
  SetTexts(*BtReadAll, reading ? "Stop!" : "Read all", reading ? "Arrêt !" : "Lire tout");
  GrCell->setEnabled(!reading);
}

void TE2PromForm::BtReadAllClick() {
  if (ReadingAll) {
    SetReadingAll(false);
    return;
  }
  SetReadingAll(true);
  App().Forms.MainForm->Transmetteur.EepromAddress = 0;
  App().Jobs.Start(215);
}

void TE2PromForm::CmbTypeChange() {
  if (const int size = EepromTypeSize(CmbType->currentIndex()); size != 0) EepromSize = size;
  RefreshGrid();
}

void TE2PromForm::SpeedButton1Click() { RefreshGrid(); }

// A read of all words asks for the next address after each answer, up to the EEPROM's size.
void TE2PromForm::WordReceived(Byte address, std::int32_t value) {
  Eeprom.Words[address] = static_cast<std::uint16_t>(value & 0xFFFF);
  Eeprom.Known[address] = true;
  RefreshGrid();
  if (!ReadingAll) return;
  const int next = address + 1;
  if (next < EepromSize) {
    App().Forms.MainForm->Transmetteur.EepromAddress = next;
    App().Jobs.Start(215);
    SetCellText(next, Unknown);
  } else {
    SetReadingAll(false);
  }
}
