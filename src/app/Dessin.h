#pragma once

// The linearisation window: the curve editor Draw1 with its grid and transfers. Draw1's
// points are the program's one copy of the linearisation curve.

#include <QTableWidget>
#include <functional>
#include <optional>
#include <string>

#include "app/Form.h"
#include "controls/Draw.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QScrollBar;
class TBitBtnLangue;
class TLabel;
class TLabelLangue;

// The grid of the points. Rows are counted as the window counts them: row 0 is the header
// ("Points:", "X", "Y"), row r (1 to 361) shows point r - 1 with its number in column 0.
// Only the X and Y cells of rows the window enables can become current or be edited.
class TStringGrid : public QTableWidget {
  Q_OBJECT

public:
  static constexpr int RowCount = 362;  // the header and one row for each table entry

  explicit TStringGrid(QWidget* parent = nullptr);

  // Windows-1252.
  std::string Cell(int col, int row) const;
  void SetCell(int col, int row, const std::string& text);
  // Rows 1 to last can be chosen (and their X and Y edited); the others cannot.
  void SetChoosableRows(int last);
  // The current cell's row and column (0, 0 when there is none).
  int Row() const;
  int Col() const;
  // Makes a cell current, as a click on it does.
  void SetCurrentCell(int col, int row);
  bool Editing() const { return state() == EditingState; }

  // A cell became current (col, row).
  std::function<void(int, int)> OnSelectCell;
  // Enter, Esc, Insert and Delete (Qt key codes) with whether a cell was being edited.
  // Enter and Esc that end an edit come here too, Enter once the text is in the cell.
  std::function<void(int, bool)> OnKeyDown;

protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
  QTableWidgetItem* At(int col, int row) const;
  int choosable_ = 0;
};

class TDessinForm : public TForm {
  Q_OBJECT

public:
  explicit TDessinForm(TAppContext& app);

  // The live measure: the over-range label, the primary variable's text and the measuring
  // cross at the percent of range.
  void ShowMeasure(bool overRange, const std::string& pvText, float percent);
  // Enables or disables the transfers to and from the device ("PC->XT", "XT->PC").
  void EnableTransfers(bool enabled);

  // The grid back at its top with its header.
  void ResetGrid();

  // Handlers, as the controls call them.
  void Draw1Change(TObject* sender);
  void Draw1Zoom(TObject* sender);
  void StringGrid1SelectCell(int col, int row);
  void StringGrid1KeyDown(int key, bool editing);
  void Btn_C0Click();      // "Origin"
  void Btn_New0Click();    // "New"
  void Btn_Load0Click();   // "Load"
  void Btn_Save0Click();   // "Save"
  void Btn_RDClick();      // "XT->PC"
  void Btn_WRClick();      // "PC->XT"
  void BtnClearXT();       // "Clear XT"
  void Btn_Quit0Click();   // "Close"
  void BitBtnLangue1Click();  // "Measure"
  void ZoomBarChange();
  void CheckBox1Click();

  // Loads a *.LIN file as "Load" does once a file is chosen: the curve changes only when
  // the whole file was read; the messages are shown. True when the curve took the file.
  bool LoadLinFile(const std::string& path);
  // Saves the curve as a *.LIN file; a message says so when it cannot be written.
  bool SaveLinFile(const std::string& path);

  TDraw* Draw1 = nullptr;
  TStringGrid* StringGrid1 = nullptr;
  QCheckBox* CheckBox1 = nullptr;
  TBitBtnLangue* Btn_C = nullptr;
  QLabel* Label1 = nullptr;
  QScrollBar* ZoomBar = nullptr;
  TBitBtnLangue* Btn_New = nullptr;
  TBitBtnLangue* Btn_Load = nullptr;
  TBitBtnLangue* Btn_Save = nullptr;
  QPushButton* Btn_RD = nullptr;
  QPushButton* Btn_WR = nullptr;
  TBitBtnLangue* BtnClear = nullptr;
  TBitBtnLangue* Btn_Quit = nullptr;
  TBitBtnLangue* BitBtnLangue1 = nullptr;
  TLabel* LbPV = nullptr;
  TLabelLangue* LbDEP = nullptr;

protected:
  void FormShow() override;
  void keyPressEvent(QKeyEvent* event) override;

private:
  void BuildControls();
  void EnterPoint();
  // A grid text as a number: the program's decimal separator or '.'; empty when it is not
  // a number a point can hold.
  std::optional<float> GridNumber(const std::string& text) const;
  // The window's title, as the messages' caption.
  std::string EditorTitle() const;
  // The list of a transfer button, written as it stands; Busy is left alone.
  void SetJobs(std::int32_t lastJob, std::initializer_list<std::int32_t> jobs);

  std::string openPath_;  // the file last chosen in the open dialog, as the file system names it
};
