#include "app/Dessin.h"

#include <QCheckBox>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <filesystem>
#include <vector>

#include "app/Erreur.h"
#include "app/StdCtrls.h"
#include "app/Texts.h"
#include "app/UiServices.h"
#include "app/core/DisplayFormat.h"
#include "app/core/LinFile.h"
#include "app/main.h"
#include "controls/MyControls.h"

// ---------------------------------------------------------------------------------------
// The grid

TStringGrid::TStringGrid(QWidget* parent) : QTableWidget(RowCount - 1, 3, parent) {
  setHorizontalHeaderLabels({QStringLiteral("Points:"), QStringLiteral("X"), QStringLiteral("Y")});
  verticalHeader()->hide();
  verticalHeader()->setMinimumSectionSize(1);
  verticalHeader()->setDefaultSectionSize(18);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setMinimumSectionSize(1);
  horizontalHeader()->setDefaultSectionSize(56);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setFixedHeight(20);
  horizontalHeader()->setHighlightSections(false);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed);
  setTabKeyNavigation(false);

  // Column 0 is the points' numbers, shown like a header.
  const QBrush fixedBack = palette().brush(QPalette::Button);
  const QBrush fixedText = palette().brush(QPalette::ButtonText);
  for (int r = 0; r < RowCount - 1; ++r) {
    auto* number = new QTableWidgetItem;
    number->setFlags(Qt::NoItemFlags);
    number->setBackground(fixedBack);
    number->setForeground(fixedText);
    setItem(r, 0, number);
    for (int c = 1; c < 3; ++c) {
      auto* value = new QTableWidgetItem;
      value->setFlags(Qt::NoItemFlags);
      setItem(r, c, value);
    }
  }
}

QTableWidgetItem* TStringGrid::At(int col, int row) const {
  if (row < 1 || row >= RowCount || col < 0 || col > 2) return nullptr;
  return item(row - 1, col);
}

std::string TStringGrid::Cell(int col, int row) const {
  if (row == 0 && col >= 0 && col <= 2) return FromQ(horizontalHeaderItem(col)->text());
  const QTableWidgetItem* cell = At(col, row);
  return cell ? FromQ(cell->text()) : std::string();
}

void TStringGrid::SetCell(int col, int row, const std::string& text) {
  const QString shown = Q(text);
  if (row == 0 && col >= 0 && col <= 2) {
    horizontalHeaderItem(col)->setText(shown);
    return;
  }
  QTableWidgetItem* cell = At(col, row);
  if (cell && cell->text() != shown) cell->setText(shown);
}

void TStringGrid::SetChoosableRows(int last) {
  last = std::clamp(last, 0, RowCount - 1);
  if (last == choosable_) return;
  constexpr Qt::ItemFlags open = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
  for (int r = 1; r < RowCount; ++r)
    for (int c = 1; c < 3; ++c) At(c, r)->setFlags(r <= last ? open : Qt::NoItemFlags);
  choosable_ = last;
}

int TStringGrid::Row() const { return currentIndex().isValid() ? currentIndex().row() + 1 : 0; }

int TStringGrid::Col() const { return currentIndex().isValid() ? currentIndex().column() : 0; }

void TStringGrid::SetCurrentCell(int col, int row) {
  QTableWidgetItem* cell = At(col, row);
  if (cell && (cell->flags() & Qt::ItemIsEnabled)) setCurrentItem(cell);
}

void TStringGrid::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      // In a cell being edited, the editor hands Enter on and ends the edit just after:
      // closeEditor reports it then, with the typed text in the cell.
      if (Editing()) {
        event->accept();
        return;
      }
      // Enter takes the row's values, then opens the cell for typing.
      if (OnKeyDown) OnKeyDown(Qt::Key_Return, false);
      if (currentItem() && (currentItem()->flags() & Qt::ItemIsEditable)) editItem(currentItem());
      event->accept();
      return;
    case Qt::Key_Escape:
    case Qt::Key_Insert:
    case Qt::Key_Delete:
      // Handled here, so that Esc does not close the window. The editor passes on what it
      // does not use itself (Insert).
      if (OnKeyDown) OnKeyDown(key, Editing());
      event->accept();
      return;
    default:
      QTableWidget::keyPressEvent(event);
  }
}

void TStringGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  QTableWidget::closeEditor(editor, hint);
  // The delegate ends an edit with these hints for Enter (after writing the text into the
  // cell) and for Esc (without writing it).
  if (!OnKeyDown) return;
  if (hint == QAbstractItemDelegate::SubmitModelCache) OnKeyDown(Qt::Key_Return, true);
  if (hint == QAbstractItemDelegate::RevertModelCache) OnKeyDown(Qt::Key_Escape, true);
}

void TStringGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableWidget::currentChanged(current, previous);
  if (current.isValid() && OnSelectCell) OnSelectCell(current.column(), current.row() + 1);
}

// ---------------------------------------------------------------------------------------
// The window

namespace {

template <class W>
W* Named(W* widget, const char* name) {
  widget->setObjectName(QLatin1String(name));
  return widget;
}

// The dialogs' filter, in the edition's language.
std::string LinFilter(TLangue langue) {
  return Tx(langue, "Linearization file (*.LIN)|*.LIN|All files (*.*)|*.*",
            "Fichier de linéarisation (*.LIN)|*.LIN|Tous les fichiers (*.*)|*.*");
}

// A path as the file system names it, as text to show (the window title, and through FromQ
// the dialogs' Windows-1252 fields).
QString PathText(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

}  // namespace

TDessinForm::TDessinForm(TAppContext& app) : TForm(app, "DessinForm") {
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  BuildControls();
  SetCaption(EditorTitle());
}

void TDessinForm::BuildControls() {
  TEdition& edition = App().Edition;
  auto button = [&](const char* name, const char* anglais, const char* francais) {
    auto* b = Named(new TBitBtnLangue(edition, this), name);
    SetTexts(*b, anglais, francais);
    b->setAutoDefault(false);
    return b;
  };

  Draw1 = Named(new TDraw(Langue(), this), "Draw1");
  Draw1->setFixedSize(409, 409);  // the view's size is the curve's pixel scale
  Draw1->SetClip(true);
  Draw1->SetNbMaxSegment(40);
  Draw1->FormatSettings = App().FormatSettings;
  Draw1->Beep = [this] { App().Ui.Beep(); };
  Draw1->OnChange = [this](TObject* s) { Draw1Change(s); };
  Draw1->OnZoom = [this](TObject* s) { Draw1Zoom(s); };

  StringGrid1 = Named(new TStringGrid(this), "StringGrid1");
  StringGrid1->setFixedSize(193, 345);
  StringGrid1->OnSelectCell = [this](int col, int row) { StringGrid1SelectCell(col, row); };
  StringGrid1->OnKeyDown = [this](int key, bool editing) { StringGrid1KeyDown(key, editing); };

  CheckBox1 = Named(new QCheckBox(QStringLiteral("Bezier"), this), "CheckBox1");
  CheckBox1->setEnabled(false);
  CheckBox1->hide();
  connect(CheckBox1, &QCheckBox::clicked, this, [this] { CheckBox1Click(); });

  Label1 = Named(new QLabel(QStringLiteral("ZOOM"), this), "Label1");
  QFont bold = Label1->font();
  bold.setBold(true);
  Label1->setFont(bold);
  ZoomBar = Named(new QScrollBar(Qt::Horizontal, this), "ZoomBar");
  ZoomBar->setRange(-1, 3);
  ZoomBar->setSingleStep(1);
  ZoomBar->setPageStep(1);
  ZoomBar->setValue(0);
  connect(ZoomBar, &QScrollBar::valueChanged, this, [this] { ZoomBarChange(); });
  Btn_C = button("Btn_C", "Origin", "Origine");

  Btn_New = button("Btn_New", "New", "Nouveau");
  Btn_Load = button("Btn_Load", "Load", "Charger");
  Btn_Save = button("Btn_Save", "Save", "Enregistrer");
  Btn_RD = Named(new QPushButton(QStringLiteral("XT->PC"), this), "Btn_RD");
  Btn_WR = Named(new QPushButton(QStringLiteral("PC->XT"), this), "Btn_WR");
  Btn_RD->setAutoDefault(false);
  Btn_WR->setAutoDefault(false);
  BtnClear = button("BtnClear", "Clear XT", "Effacer XT");
  BitBtnLangue1 = button("BitBtnLangue1", "Measure", "Mesure");
  Btn_Quit = button("Btn_Quit", "Close", "Fermer");

  LbPV = Named(new TLabel(this), "LbPV");
  LbPV->SetCaption("--.--");
  LbPV->setAlignment(Qt::AlignCenter);
  QFont pvFont = LbPV->font();
  pvFont.setBold(true);
  pvFont.setPixelSize(19);
  LbPV->setFont(pvFont);
  LbDEP = Named(new TLabelLangue(edition, this), "LbDEP");
  SetTexts(*LbDEP, "Ovr", "Dép");
  LbDEP->setStyleSheet(QStringLiteral("background-color: #ff0000; color: #ffffff; padding: 1px 3px"));
  LbDEP->hide();

  connect(Btn_C, &QPushButton::clicked, this, [this] { Btn_C0Click(); });
  connect(Btn_New, &QPushButton::clicked, this, [this] { Btn_New0Click(); });
  connect(Btn_Load, &QPushButton::clicked, this, [this] { Btn_Load0Click(); });
  connect(Btn_Save, &QPushButton::clicked, this, [this] { Btn_Save0Click(); });
  connect(Btn_RD, &QPushButton::clicked, this, [this] { Btn_RDClick(); });
  connect(Btn_WR, &QPushButton::clicked, this, [this] { Btn_WRClick(); });
  connect(BtnClear, &QPushButton::clicked, this, [this] { BtnClearXT(); });
  connect(Btn_Quit, &QPushButton::clicked, this, [this] { Btn_Quit0Click(); });
  connect(BitBtnLangue1, &QPushButton::clicked, this, [this] { BitBtnLangue1Click(); });

  // The view and the grid side by side; the zoom and the measure under the grid; the
  // buttons along the bottom.
  auto* zoomRow = new QHBoxLayout;
  zoomRow->addWidget(Label1);
  zoomRow->addWidget(ZoomBar, 1);
  zoomRow->addWidget(Btn_C);
  auto* measureRow = new QHBoxLayout;
  measureRow->addWidget(LbPV, 1);
  measureRow->addWidget(LbDEP);
  auto* right = new QVBoxLayout;
  right->addWidget(StringGrid1);
  right->addLayout(zoomRow);
  right->addLayout(measureRow);
  right->addWidget(CheckBox1);
  right->addStretch(1);

  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {static_cast<QPushButton*>(Btn_New), static_cast<QPushButton*>(Btn_Load),
                         static_cast<QPushButton*>(Btn_Save)})
    buttons->addWidget(b);
  buttons->addSpacing(12);
  for (QPushButton* b : {Btn_RD, Btn_WR, static_cast<QPushButton*>(BtnClear)}) buttons->addWidget(b);
  buttons->addSpacing(12);
  buttons->addStretch(1);
  buttons->addWidget(BitBtnLangue1);
  buttons->addWidget(Btn_Quit);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(8, 8, 8, 8);
  grid->setSpacing(7);
  grid->addWidget(Draw1, 0, 0, Qt::AlignTop);
  grid->addLayout(right, 0, 1);
  grid->addLayout(buttons, 1, 0, 1, 2);
  grid->setSizeConstraint(QLayout::SetFixedSize);
}

std::string TDessinForm::EditorTitle() const {
  return Tx(Langue(), "Linearization editor", "Éditeur de linéarisation");
}

void TDessinForm::FormShow() {
  SetCaption(EditorTitle());
  Draw1->UpdateCurve();
  ResetGrid();
  StringGrid1->setFocus();
}

// The window has no Cancel button, so Esc does not close it; in the grid, Esc undoes the
// last change of the curve.
void TDessinForm::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Cancel)) {
    event->accept();
    return;
  }
  TForm::keyPressEvent(event);
}

void TDessinForm::ShowMeasure(bool overRange, const std::string& pvText, float percent) {
  LbDEP->setVisible(overRange);
  LbPV->SetCaption(pvText);
  Draw1->SetMeasure(percent);
}

void TDessinForm::EnableTransfers(bool enabled) {
  Btn_WR->setEnabled(enabled);
  Btn_RD->setEnabled(enabled);
}

void TDessinForm::ResetGrid() {
  StringGrid1->SetCell(0, 0, Tx(Langue(), "Points:", "Points :"));
  StringGrid1->SetCell(1, 0, "X");
  StringGrid1->SetCell(2, 0, "Y");
  StringGrid1->horizontalHeader()->setFixedHeight(20);
  StringGrid1->scrollToTop();
}

// ---------------------------------------------------------------------------------------
// The curve and the grid

void TDessinForm::Draw1Change(TObject*) {
  StringGrid1->setFocus();
  const TFormatSettings& fs = App().FormatSettings;
  const int last = std::clamp(Draw1->LastIndex, -1, TCustomDraw::PointCount - 1);
  for (int n = 0; n <= last; ++n) {
    const TRealPoint& p = Draw1->Points[static_cast<std::size_t>(n)];
    StringGrid1->SetCell(0, n + 1, " " + std::to_string(n) + " ");
    StringGrid1->SetCell(1, n + 1, FormatFloat("##0.00", p.X, fs));
    StringGrid1->SetCell(2, n + 1, FormatFloat("##0.00", p.Y, fs));
  }
  for (int r = last + 2; r < TStringGrid::RowCount; ++r)
    for (int c = 0; c < 3; ++c) StringGrid1->SetCell(c, r, "");
  StringGrid1->SetChoosableRows(last + 1);
}

void TDessinForm::Draw1Zoom(TObject*) {
  const QSignalBlocker quiet(ZoomBar);
  ZoomBar->setRange(Draw1->ZoomMin, Draw1->ZoomMax);
  ZoomBar->setValue(Draw1->ZoomLevel);
}

void TDessinForm::ZoomBarChange() {
  if (ZoomBar->value() > Draw1->ZoomLevel) Draw1->ZoomIn();
  if (ZoomBar->value() < Draw1->ZoomLevel) Draw1->ZoomOut();
}

void TDessinForm::CheckBox1Click() {
  Draw1->Bezier = CheckBox1->isChecked();
  Draw1->UpdateCurve();
}

void TDessinForm::StringGrid1SelectCell(int, int row) {
  if (row < 1 || row > Draw1->LastIndex + 1) return;
  Draw1->Selected = row - 1;
  Draw1->UpdateCurve();
}

void TDessinForm::StringGrid1KeyDown(int key, bool editing) {
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      EnterPoint();
      break;
    case Qt::Key_Escape:
      Draw1->CancelEdit();
      Draw1->UpdateCurve();
      break;
    case Qt::Key_Insert:
      if (editing) break;
      Draw1->InsertPoint(Draw1->Selected);
      Draw1->UpdateCurve();
      break;
    case Qt::Key_Delete:
      if (editing) break;
      Draw1->DeletePoint(Draw1->Selected);
      Draw1->UpdateCurve();
      break;
    default:
      break;
  }
}

std::optional<float> TDessinForm::GridNumber(const std::string& text) const {
  TFormatSettings point = App().FormatSettings;
  point.DecimalSeparator = '.';
  std::optional<double> v = StrToFloat(text, App().FormatSettings);
  if (!v) v = StrToFloat(text, point);
  if (!v || std::fabs(*v) > static_cast<double>(FLT_MAX)) return std::nullopt;
  return static_cast<float>(*v);
}

// The values typed in the selected point's row: taken when they are numbers and the point
// stays between its neighbours' columns and inside the view; otherwise a beep and the
// point as it was. The grid shows the point again in both cases.
void TDessinForm::EnterPoint() {
  const int s = Draw1->Selected;
  const std::optional<float> x = GridNumber(StringGrid1->Cell(1, s + 1));
  const std::optional<float> y = GridNumber(StringGrid1->Cell(2, s + 1));
  bool taken = false;
  if (s >= 0 && s <= Draw1->LastIndex && s < TCustomDraw::PointCount && x && y) {
    TPixel p = Draw1->RealToScreen(*x, *y);
    if (Draw1->ClampPoint(p.X, p.Y)) {
      Draw1->Points[static_cast<std::size_t>(s)] = {*x, *y};
      taken = true;
    }
  }
  if (!taken) App().Ui.Beep();
  Draw1->UpdateCurve();
}

// ---------------------------------------------------------------------------------------
// Buttons

void TDessinForm::Btn_C0Click() {
  Draw1->ZoomReset();
  ResetGrid();
}

void TDessinForm::Btn_New0Click() {
  Btn_C0Click();
  Draw1->SetXmin(-10);
  Draw1->SetXmax(110);
  Draw1->SetYmin(-10);
  Draw1->SetYmax(110);
  Draw1->Points[0] = {0.0f, 0.0f};
  Draw1->Points[1] = {100.0f, 100.0f};
  Draw1->LastIndex = 1;
  Draw1->UpdateCurve();
}

void TDessinForm::Btn_Load0Click() {
  TFileDialogOptions options;
  options.Title = Tx(Langue(), "Load file", "Charger un fichier");
  options.Filter = LinFilter(Langue());
  if (!openPath_.empty()) options.InitialDir = FromQ(PathText(std::filesystem::path(openPath_).parent_path().string()));
  std::string path;
  if (App().Ui.AskOpenPath(options, path)) {
    openPath_ = path;
    LoadLinFile(path);
  }
  ResetGrid();
}

bool TDessinForm::LoadLinFile(const std::string& path) {
  const TLinFileRead read = ReadLinFile(path);
  if (read.Status != TLinFileStatus::Read) {
    App().Ui.MessageBox(LinFileStatusText(Langue(), read.Status), EditorTitle(), TMsgKind::Error, TMsgButtons::Ok);
    return false;
  }
  const TLinTable& table = read.Table;
  for (const TLinMessage& m : table.Messages) {
    const std::string text = LinMessageText(Langue(), m);
    if (m.Kind == TLinMessageKind::BadFloat || m.Kind == TLinMessageKind::BadInteger)
      App().Ui.ReportError(text);
    else
      App().Ui.ShowMessage(text);
  }
  // A file that did not read whole, or gave fewer than two points, leaves the curve.
  if (!table.Usable()) return false;
  for (int n = 0; n < table.Count(); ++n) {
    const TLinPoint& p = table.Points[static_cast<std::size_t>(n)];
    Draw1->Points[static_cast<std::size_t>(n)] = {p.X, p.Y};
  }
  Draw1->LastIndex = table.Count() - 1;
  Draw1->UpdateCurve();
  setWindowTitle(PathText(path));
  return true;
}

void TDessinForm::Btn_Save0Click() {
  TFileDialogOptions options;
  options.Title = Tx(Langue(), "Save file", "Enregistrer le fichier");
  options.Filter = LinFilter(Langue());
  options.DefaultExt = "Lin";
  options.OverwritePrompt = true;
  // The last file loaded is proposed.
  if (!openPath_.empty()) {
    const std::filesystem::path last(openPath_);
    options.InitialDir = FromQ(PathText(last.parent_path().string()));
    options.FileName = FromQ(PathText(last.filename().string()));
  }
  std::string path;
  if (!App().Ui.AskSavePath(options, path)) return;
  SaveLinFile(path);
}

bool TDessinForm::SaveLinFile(const std::string& path) {
  const int count = std::clamp(Draw1->LastIndex + 1, 0, TCustomDraw::PointCount);
  std::vector<TLinPoint> points;
  for (int n = 0; n < count; ++n) {
    const TRealPoint& p = Draw1->Points[static_cast<std::size_t>(n)];
    points.push_back({p.X, p.Y});
  }
  if (::SaveLinFile(path, points)) return true;
  App().Ui.MessageBox(Tx(Langue(), "The linearization file cannot be written.",
                         "Impossible d'écrire le fichier de linéarisation."),
                      EditorTitle(), TMsgKind::Error, TMsgButtons::Ok);
  return false;
}

void TDessinForm::SetJobs(std::int32_t lastJob, std::initializer_list<std::int32_t> jobs) {
  TJobList& list = App().Jobs;
  list.LastJob = lastJob;
  list.JobIndex = 0;
  int slot = 0;
  for (std::int32_t code : jobs) list.Set(slot++, code);
}

void TDessinForm::Btn_RDClick() {
  ResetGrid();
  SetJobs(208, {208, 209, Job::EndOfSequence, 0});
}

void TDessinForm::Btn_WRClick() {
  // The device's table holds points 0 to 47: a longer curve is not sent at all.
  if (Draw1->LastIndex > 47) {
    if (App().Forms.ErreurForm)
      App().Forms.ErreurForm->ShowError(Tx(Langue(), "Bad segment number", "Nombre de segments incorrect"));
    return;
  }
  SetJobs(312, {312, 309, 313, 311, Job::EndOfSequence, 0});
}

void TDessinForm::BtnClearXT() { SetJobs(312, {312, 410, Job::EndOfSequence, 0}); }

void TDessinForm::Btn_Quit0Click() { Close(); }

void TDessinForm::BitBtnLangue1Click() {
  if (TMainForm* main = App().Forms.MainForm) {
    if (main->TabbedNotebook) main->TabbedNotebook->SetPageIndex(1);
    if (main->DetailPanel) main->DetailPanel->show();
  }
  TJobList& list = App().Jobs;
  list.JobIndex = 0;
  list.Set(0, 1);
  list.Set(1, 0);
}
