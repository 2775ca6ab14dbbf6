#include "app/StatusComm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <initializer_list>

#include "app/Texts.h"
#include "app/core/StatusCommView.h"
#include "app/main.h"

namespace {


struct TText {
  const char* Anglais;
  const char* Francais;
};

// The LEDs of a group touch one another; each caption is one LED high, beside its LED.
constexpr int LedSpacing = 0;

// A group box holding a column of LEDs, top to bottom, each with its caption beside it.
TGroupLed* LedColumn(TEdition& e, QWidget* parent, const char* groupName, const char* name, TText caption,
                     std::initializer_list<TText> leds, QWidget** box) {
  auto* group = MakeLangue<TGroupBoxLangue>(e, parent, groupName, caption.Anglais, caption.Francais);
  auto* row = new TGroupLed(group);
  row->setObjectName(QLatin1String(name));
  row->SetKind(TLedKind::Red);
  row->SetSpacing(LedSpacing);
  row->SetOrientation(TOrientation::Sud);
  row->SetNumber(static_cast<int>(leds.size()));
  auto* captions = new QVBoxLayout;
  captions->setSpacing(LedSpacing);
  for (const TText& t : leds) {
    auto* label = MakeLangue<TLabelLangue>(e, group, nullptr, t.Anglais, t.Francais);
    label->setFixedHeight(16);
    captions->addWidget(label);
  }
  captions->addStretch();  // a taller box leaves the captions beside their LEDs
  auto* layout = new QHBoxLayout(group);
  layout->addWidget(row, 0, Qt::AlignTop);
  layout->addLayout(captions);
  layout->addStretch();
  *box = group;
  return row;
}

// A group box holding a row of 8 green LEDs, left to right, numbered 0 and 7 at the ends.
TGroupLed* LedRow(TEdition& e, QWidget* parent, const char* groupName, const char* name, TText caption, QWidget** box) {
  auto* group = MakeLangue<TGroupBoxLangue>(e, parent, groupName, caption.Anglais, caption.Francais);
  auto* row = new TGroupLed(group);
  row->setObjectName(QLatin1String(name));
  row->SetKind(TLedKind::Green);
  row->SetSpacing(LedSpacing);
  row->SetOrientation(TOrientation::Est);
  auto* ends = new QHBoxLayout;
  ends->setContentsMargins(0, 0, 0, 0);
  for (const char* text : {"0", "7"}) {
    auto* label = new QLabel(QString::fromLatin1(text), group);
    label->setFixedWidth(16);
    label->setAlignment(Qt::AlignHCenter);
    ends->addWidget(label);
    if (text[0] == '0') ends->addStretch();
  }
  auto* holder = new QWidget(group);
  holder->setLayout(ends);
  holder->setFixedWidth(row->width());
  auto* layout = new QGridLayout(group);
  layout->addWidget(row, 0, 0);
  layout->addWidget(holder, 1, 0);
  layout->setColumnStretch(1, 1);
  *box = group;
  return row;
}

// A grid of bits: row 0 the headings, row 1 the bits, one column per bit.
QTableWidget* BitGrid(QWidget* parent, const char* name, int columns, int columnWidth) {
  auto* grid = new QTableWidget(2, columns, parent);
  grid->setObjectName(QLatin1String(name));
  grid->horizontalHeader()->hide();
  grid->verticalHeader()->hide();
  grid->horizontalHeader()->setMinimumSectionSize(columnWidth);
  grid->horizontalHeader()->setDefaultSectionSize(columnWidth);
  grid->verticalHeader()->setDefaultSectionSize(20);
  grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  for (int col = 0; col < columns; ++col) {
    for (int row = 0; row < 2; ++row) {
      auto* item = new QTableWidgetItem;
      item->setTextAlignment(Qt::AlignCenter);
      item->setFlags(Qt::ItemIsEnabled);
      if (row == 0) item->setBackground(parent->palette().button());
      grid->setItem(row, col, item);
    }
  }
  grid->setFixedHeight(2 * 20 + 2 * grid->frameWidth() + grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
  return grid;
}

void Fill(QTableWidget& grid, int column, const std::string& heading, const std::string& bit) {
  grid.item(0, column)->setText(Q(heading));
  grid.item(1, column)->setText(Q(bit));
}

}  // namespace

// The status boxes fill the top 234 pixels; the pages lie below them and show only when the
// window is made 714 high.
TStatusCommForm::TStatusCommForm(TAppContext& app) : TForm(app, "StatusCommForm") {
  setWindowFlag(Qt::Tool);
  setWindowFlag(Qt::WindowStaysOnTopHint);
  TEdition& e = app.Edition;

  auto* top = new QWidget(this);
  GroupBox1 = new QGroupBox(top);
  GroupBox1->setObjectName("GroupBox1");
  CK7 = MakeLangue<TCheckBoxLangue>(e, GroupBox1, "CK7", "Hardware failure", "Défaut matériel");
  CK6 = MakeLangue<TCheckBoxLangue>(e, GroupBox1, "CK6", "Configuration changed", "Configuration modifiée");
  CK5 = MakeLangue<TCheckBoxLangue>(e, GroupBox1, "CK5", "Cold start detected", "Démarrage à froid détecté");
  CK4 = MakeLangue<TCheckBoxLangue>(e, GroupBox1, "CK4", "More status information available (command 48)",
                                "Informations d'état supplémentaires disponibles (commande 48)");
  CK3 = MakeLangue<TCheckBoxLangue>(e, GroupBox1, "CK3", "Analogue output current fixed", "Courant de sortie analogique fixé");
  CK2 = MakeLangue<TCheckBoxLangue>(e, GroupBox1, "CK2", "Analogue current saturated", "Courant analogique saturé");
  CK1 = MakeLangue<TCheckBoxLangue>(e, GroupBox1, "CK1", "Non-primary variable out of limits", "Variable non primaire hors limites");
  CK0 = MakeLangue<TCheckBoxLangue>(e, GroupBox1, "CK0", "Primary variable out of limits", "Variable primaire hors limites");
  BtnReadAddStatus = MakeLangue<TBitBtnLangue>(e, GroupBox1, "BtnReadAddStatus", "Read", "Lire");
  SetHints(*BtnReadAddStatus, "Read additionnal device status", "Lire les états supplémentaires de l'appareil");
  BtnReadAddStatus->setEnabled(false);
  // The boxes only show the device's bits: the user cannot tick them. The read button
  // beside CK4 stays usable.
  auto* boxes = new QGridLayout(GroupBox1);
  boxes->setVerticalSpacing(2);
  boxes->setContentsMargins(9, 4, 9, 4);
  int row = 0;
  for (TCheckBoxLangue* ck : {CK7, CK6, CK5, CK4, CK3, CK2, CK1, CK0}) {
    ck->setEnabled(false);
    boxes->addWidget(ck, row++, 0);
  }
  boxes->addWidget(BtnReadAddStatus, 3, 1);
  boxes->setColumnStretch(2, 1);
  auto* topLayout = new QVBoxLayout(top);
  topLayout->setContentsMargins(6, 6, 6, 6);
  topLayout->addWidget(GroupBox1);

  auto* pages = new QWidget(this);
  PageControl1 = new QTabWidget(pages);
  PageControl1->setObjectName("PageControl1");
  PageControl1->addTab(BuildStandardPage(), QString::fromUtf8(Texte(app.Langue(), "Standard", "Standard")));
  PageControl1->addTab(BuildSpecificPage(), QString::fromUtf8(Texte(app.Langue(), "Specific", "Spécifique")));
  PageControl1->addTab(BuildOutputsPage(), QString::fromUtf8(Texte(app.Langue(), "Outputs", "Sorties")));
  auto* pagesLayout = new QVBoxLayout(pages);
  pagesLayout->setContentsMargins(6, 0, 6, 6);
  pagesLayout->addWidget(PageControl1);

  const int width = std::max({top->sizeHint().width(), pages->sizeHint().width(), 560});
  top->setGeometry(0, 0, width, StatusBoxesHeight);
  pages->setGeometry(0, StatusBoxesHeight, width, StatusPagesHeight - StatusBoxesHeight);
  setFixedWidth(width);
  SetHeight(StatusBoxesHeight);

  connect(BtnReadAddStatus, &QPushButton::clicked, this, [this] { BtnReadAddStatusClick(); });
}

QWidget* TStatusCommForm::BuildStandardPage() {
  TEdition& e = App().Edition;
  auto* page = new QWidget;
  QWidget* extBox = nullptr;
  ExtDevStatus = LedColumn(e, page, "GrExtDevStatus", "ExtDevStatus", {"Extended Device Status", "État étendu de l'appareil"},
                           {{"Maintenance Required", "Maintenance requise"},
                            {"Dev Var Alert", "Alerte de variable d'appareil"},
                            {"Critical Power Failure", "Défaut d'alimentation critique"}},
                           &extBox);
  auto* opMode = MakeLangue<TGroupBoxLangue>(e, page, "GrOpMode", "Operational modes", "Modes de fonctionnement");
  EdOpMode = new TEdit(opMode);
  EdOpMode->setObjectName("EdOpMode");
  EdOpMode->setReadOnly(true);
  EdOpMode->SetText("?");
  (new QVBoxLayout(opMode))->addWidget(EdOpMode);
  QWidget* stdBox = nullptr;
  StdStatus0 = LedColumn(e, page, "GrStdStatus0", "StdStatus0", {"Standard Status 0", "État standard 0"},
                         {{"Simulation", "Simulation"},
                          {"NV Memory", "Mémoire non volatile"},
                          {"V Memory", "Mémoire volatile"},
                          {"WatchDog", "Chien de garde"},
                          {"Environment", "Environnement"},
                          {"Electronic", "Électronique"}},
                         &stdBox);
  GrSStatus1 = MakeLangue<TGroupBoxLangue>(e, page, "GrSStatus1", "Standard Status 1", "État standard 1");
  GrSStatus2 = MakeLangue<TGroupBoxLangue>(e, page, "GrSStatus2", "Standard Status 2", "État standard 2");
  GrSStatus3 = MakeLangue<TGroupBoxLangue>(e, page, "GrSStatus3", "Standard Status 3", "État standard 3");

  auto* layout = new QGridLayout(page);
  layout->addWidget(extBox, 0, 0);
  layout->addWidget(opMode, 1, 0);
  layout->addWidget(stdBox, 0, 1, 2, 1);
  auto* more = new QHBoxLayout;
  for (QWidget* g : {GrSStatus1, GrSStatus2, GrSStatus3}) {
    g->setMinimumHeight(80);
    more->addWidget(g);
  }
  layout->addLayout(more, 2, 0, 1, 2);
  layout->setRowStretch(3, 1);
  return page;
}

QWidget* TStatusCommForm::BuildSpecificPage() {
  TEdition& e = App().Edition;
  auto* page = new QWidget;
  auto* cpuLabel = MakeLangue<TLabelLangue>(e, page, "LbCPU_Bug_Address", "CPU error address", "Adresse CPU de l'erreur");
  EdCPU_Bug_Address = new TEdit(page);
  EdCPU_Bug_Address->setObjectName("EdCPU_Bug_Address");
  EdCPU_Bug_Address->setReadOnly(true);
  EdCPU_Bug_Address->SetText("0000");
  EdCPU_Bug_Address->setFixedWidth(EdCPU_Bug_Address->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);

  auto* specific = MakeLangue<TGroupBoxLangue>(e, page, "GrAddStatus", "Device specific status (48 bits)",
                                           "État spécifique de l'appareil (48 bits)");
  int nameWidth = 0;
  for (const char* name : AdditionalStatusBitNames)
    nameWidth = std::max(nameWidth, specific->fontMetrics().horizontalAdvance(QString::fromLatin1(name)));
  StrGrAddStatus = BitGrid(specific, "StrGrAddStatus", 48, nameWidth + 10);
  (new QVBoxLayout(specific))->addWidget(StrGrAddStatus);
  auto* moreBox = MakeLangue<TGroupBoxLangue>(e, page, "GrAddStatusMore", "Device specific status (80 bits)",
                                          "État spécifique de l'appareil (80 bits)");
  // Columns 20 wide, or as wide as two digits need in this font.
  const int bitWidth = std::max(20, moreBox->fontMetrics().horizontalAdvance(QStringLiteral("00")) + 10);
  StrGrAddStatusMore = BitGrid(moreBox, "StrGrAddStatusMore", 80, bitWidth);
  (new QVBoxLayout(moreBox))->addWidget(StrGrAddStatusMore);

  auto* cpu = new QHBoxLayout;
  cpu->addWidget(cpuLabel);
  cpu->addWidget(EdCPU_Bug_Address);
  cpu->addStretch();
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(cpu);
  layout->addWidget(specific);
  layout->addWidget(moreBox);
  layout->addStretch();
  return page;
}

QWidget* TStatusCommForm::BuildOutputsPage() {
  TEdition& e = App().Edition;
  auto* page = new QWidget;
  QWidget* saturated = nullptr;
  QWidget* fixed = nullptr;
  GrLedAS_0 = LedRow(e, page, "GrAS_0", "GrLedAS_0", {"Analogue outputs saturated", "Sorties analogiques saturées"}, &saturated);
  GrLedAF_0 = LedRow(e, page, "GrAF_0", "GrLedAF_0", {"Analogue outputs fixed", "Sorties analogiques fixées"}, &fixed);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(saturated);
  layout->addWidget(fixed);
  layout->addStretch();
  return page;
}

void TStatusCommForm::SetHeight(int height) { setFixedHeight(height); }

void TStatusCommForm::FormShow() {
  SetCaption(Tx(Langue(), "Transmitter status", "État du transmetteur"));
  SetHeight(StatusBoxesHeight);
}

void TStatusCommForm::FormClose() {
  if (TMainForm* main = App().Forms.MainForm; main && main->StatusCommMenu) main->StatusCommMenu->setChecked(false);
}

void TStatusCommForm::BtnReadAddStatusClick() { App().Jobs.Start(417); }

void TStatusCommForm::ShowDeviceStatus(int status) {
  TCheckBoxLangue* const boxes[] = {CK0, CK1, CK2, CK3, CK4, CK5, CK6, CK7};
  for (int bit = 0; bit < 8; ++bit) boxes[bit]->setChecked((status >> bit & 1) != 0);
  if ((status & 0x10) != 0) BtnReadAddStatus->setEnabled(true);
}

void TStatusCommForm::ShowStatusBoxesOnly() { SetHeight(StatusBoxesHeight); }

void TStatusCommForm::ShowAdditionalStatus() {
  const TXmt& xmt = App().Forms.MainForm->Transmetteur;
  const TAdditionalStatusView v = AdditionalStatusView(xmt.AdditionalStatusCount, xmt.AdditionalStatus, Langue());
  SetHeight(v.Height);
  for (int c = 0; c < 48; ++c)
    Fill(*StrGrAddStatus, c, v.SpecificNames[static_cast<std::size_t>(c)], v.SpecificBits[static_cast<std::size_t>(c)]);
  EdCPU_Bug_Address->SetText(v.CpuErrorAddress);
  ExtDevStatus->SetValue(v.ExtendedDeviceStatus);
  EdOpMode->SetText(v.OperatingMode);
  StdStatus0->SetValue(v.StandardStatus0);
  GrLedAS_0->SetValue(v.OutputsSaturated);
  GrLedAF_0->SetValue(v.OutputsFixed);
  for (int c = 0; c < 80; ++c)
    Fill(*StrGrAddStatusMore, c, v.MoreNames[static_cast<std::size_t>(c)], v.MoreBits[static_cast<std::size_t>(c)]);
}
