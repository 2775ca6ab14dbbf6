#pragma once

// The EEPROM editor: reads and writes single words of the transmitter's EEPROM, reads them
// all one after another, shows them eight to a row and adds up the parameter area.

#include <cstdint>

#include "app/Form.h"
#include "app/StdCtrls.h"
#include "app/core/E2PromWords.h"
#include "controls/MyControls.h"
#include "model/Utils.h"

class QComboBox;
class QTableWidget;
class QToolButton;

class TE2PromForm : public TForm {
  Q_OBJECT

public:
  explicit TE2PromForm(TAppContext& app);

  // A word read from or written to the device at the given word address.
  void WordReceived(Byte address, std::int32_t value);

  // Every cell from the stored words, the end address and the checksum.
  void RefreshGrid();
  // The grid's cell at column col (1..8), row row was selected.
  void EEPROM_GridSelectCell(int col, int row);
  void BtLectureClick();
  void BtEcritureClick();
  void BtReadAllClick();
  void CmbTypeChange();
  void SpeedButton1Click();

  // Kept for the whole run: the words received, the EEPROM's size in words, the selected
  // address, and whether a read of all words runs.
  TEepromImage Eeprom;
  int EepromSize = 128;
  int SelectedAddress = 0;
  bool ReadingAll = false;

  TGroupBoxLangue* GrCell = nullptr;
  TBitBtnLangue* BtLecture = nullptr;
  TBitBtnLangue* BtEcriture = nullptr;
  TBitBtnLangue* BtReadAll = nullptr;
  QComboBox* CmbType = nullptr;
  TLabel* LbAddr = nullptr;
  TMaskEdit* EdAdr = nullptr;
  TLabel* LbAddrFin = nullptr;
  TMaskEdit* EdAdrFin = nullptr;
  QToolButton* SpeedButton1 = nullptr;
  TLabel* LbCHK = nullptr;
  QTableWidget* EEPROM_Grid = nullptr;

  // The text of the cell of a word address (Windows-1252).
  std::string CellText(int address) const;
  void SetCellText(int address, const std::string& text);

protected:
  void FormShow() override;

private:
  void SetReadingAll(bool reading);
  void SetCell(int col, int row, const std::string& text);
};
