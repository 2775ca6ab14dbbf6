#pragma once

// The main window: the eight pages of the notebook with every control, the menus, the
// status bar and the two lamps; the model Transmetteur and the link MainHart; the
// sequencer that runs the job list one job per tick of Evenement; the job table; and the
// answer dispatch, the only road from the device back to the screen.
//
// The window is written over several files by topic:
//   main.cpp          life cycle, lamps, link and model events, the list builders
//   MainPages.cpp     builds the menus, the status bar, the frame and pages 0 to 2
//   MainPagesSetup.cpp  builds pages 3 to 7
//   MainJobs.cpp      the sequencer and the job table
//   MainDispatch.cpp  the answer dispatch
//   MainDisplay.cpp   identity display, range masks, alarms, device information
//   MainSearch.cpp    the search page: search button, device tree, information panel
//   MainButtons.cpp   the write and read buttons of the pages
//   MainMenus.cpp     the menus, the dialog openers, the display page and the maker page

#include <QMainWindow>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/AppContext.h"
#include "app/StdCtrls.h"
#include "comm/HART.h"
#include "controls/Draw.h"
#include "controls/Led.h"
#include "controls/MyControls.h"
#include "controls/PopupMenu.h"
#include "controls/SEGMENTS.h"
#include "controls/UnitsControl.h"
#include "model/Xmt.h"
#include "runtime/Timer.h"

class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSlider;
class QStatusBar;

class TMainForm : public QMainWindow, public TObject {
  Q_OBJECT

public:
  // Creates the window with its controls, the model and the link (FormCreate).
  explicit TMainForm(TAppContext& app);
  ~TMainForm() override;

  TAppContext& App() const { return app_; }
  TLangue Langue() const { return app_.Langue(); }
  TJobList& Jobs() const { return app_.Jobs; }
  TForms& Forms() const { return app_.Forms; }
  const TFormatSettings& FormatSettings() const { return app_.FormatSettings; }

  // ---- The model, the link and the sequencer's timer.
  TXmt Transmetteur;
  std::unique_ptr<THART> MainHart;  // null once FormClose has freed it
  TTimer Evenement;

  // ---- Unit-wide state of the window.
  bool OfflineMode = false;
  std::int32_t ScanAddress = 0;
  std::int32_t ScanLimit = 0;
  bool AI1NominalPending = false;
  std::int32_t SegmentCounter = 0;   // linearisation point that jobs 209 and 309 transfer
  std::int32_t UploadCount = 0;      // last point index of the curve being uploaded
  // The points of a download; the curve takes them only once the last one arrived.
  std::array<TRealPoint, 48> DownloadPoints{};
  Byte NewPollingAddress = 0;        // address chosen by a drag and drop in the tree
  std::int32_t CurrentAddress = 0;   // polling address of the connected device
  std::int32_t PVFormat = 0;         // 0 the model's PV text, 1 one decimal, 2 none
  std::string RangeFormat;           // number pattern of range values
  // The years a device's date can hold: it keeps year - 1900 in one byte.
  static constexpr int FirstDeviceYear = 1900;
  static constexpr int LastDeviceYear = 2155;

  // ---- Life cycle and events.
  // Start-up once the window shows: texts, masks, the port dialog, the search page. Closes
  // the window when no port was chosen.
  void FormShow();
  // Tagged items (1 to 13) take the edition's caption of their tag, sub-items too.
  void TranslateMenu(const QList<QAction*>& items);
  // "Corvin English Version" or its French twin.
  std::string EditionCaption() const;
  void FormClose();
  void CommSendComplete(TObject* sender);
  void CommModemChange(TObject* sender);
  void CommDataArrival(TObject* sender);
  void CommCommError(TObject* sender);
  void TransmetteurConnect(TObject* sender);
  void TransmetteurDisconnect(TObject* sender);
  void TransmetteurError(TObject* sender);

  // ---- Sequencer and job table.
  void EvenementTimer(TObject* sender);
  // Runs one job code as the sequencer does after its tick head.
  void RunJob(std::int32_t code);
  // The status text a job shows in the edition's language ("" when it shows none).
  std::string JobStatusText(std::int32_t code) const;

  // ---- List builders.
  bool IsJobSupported(std::int32_t code) const;
  void StartMeasurePolling();
  void StartInfoRead();
  void StartFullRead();
  void RefreshPage();

  // ---- Displays.
  void ShowIdentity(TObject* sender);
  void SetRangeMasks(TObject* sender, unsigned decimals);
  void ShowAlarm(TObject* sender, int alarm);
  // The record jobs 320 and 321 send; empty (after a beep) when a text is not a number.
  std::optional<TAlarmInfo> BuildAlarmRecord(TObject* sender, int alarm);
  void ClearDeviceInfo(TObject* sender);
  void ShowDeviceInfo(TObject* sender);
  void BtnRecherche(TObject* sender);
  // True when the tag typed for the search by tag can go to the loop as it stands: every
  // character one packed text holds (small letters go as capitals).
  bool SearchTagFits() const;
  void ResetToSearch();

  // ---- The search page (MainSearch.cpp).
  void BtnProdClick(TObject* sender);
  void BtnSearchOneClick(TObject* sender);
  void BtnSearchTAGClick(TObject* sender);
  // A drag from the tree over the information panel; `source` is the drag's widget.
  void LbProdDragOver(TObject* sender, QObject* source, bool& accept);
  void LbProdDragDrop(TObject* sender, QObject* source);
  // A node dropped on the tree, over the node of the given absolute index (-1: none).
  void TreeViewDragDrop(TObject* sender, QObject* source, int targetIndex);
  void TreeViewEditing(TObject* sender, QTreeWidgetItem* node, bool& allowEdit);
  void TreeViewEdited(TObject* sender, QTreeWidgetItem* node, QString& text);
  void TreeViewDblClick(TObject* sender);

  // ---- Write and read buttons (MainButtons.cpp). A click (or the popup's "Send") runs
  // the Click handler, the popup's "Refresh" the AltClick one; each replaces the job list.
  void BtnWR_TAGClick(TObject* sender);  // also BtnWR_DESC, BtnWR_DATE
  void BtnWR_TAGAltClick(TObject* sender);
  void BtnWR_MSGClick(TObject* sender);
  void BtnWR_MSGAltClick(TObject* sender);
  void BtnWR_UNITClick(TObject* sender);
  void BtnWR_UNITAltClick(TObject* sender);
  void BtnWR_RANGEClick(TObject* sender);
  void BtnWR_RangeAltClick(TObject* sender);  // also BtnWR_DAMP's
  void BtnWR_DAMPClick(TObject* sender);
  void BtnWR_DEFClick(TObject* sender);
  void BtnWR_DEFAltClick(TObject* sender);
  void BtnWR_SNClick(TObject* sender);
  void BtnWR_SNAltClick(TObject* sender);
  void BtnWR_ASSNBClick(TObject* sender);
  void BtnWR_ASSNBAltClick(TObject* sender);
  void BtnWR_EXTRAClick(TObject* sender);
  void BtnWR_EXTRAAltClick(TObject* sender);
  void BtnWR_Alr1Click(TObject* sender);
  void BtnWR_Alr1AltClick(TObject* sender);
  void BtnWR_Alr2Click(TObject* sender);
  void BtnWR_Alr2AltClick(TObject* sender);
  void Btn_WR_ExStatusClick(TObject* sender);
  void Btn_RD_ExStatusAltClick(TObject* sender);
  void BtnWR_PVClick(TObject* sender);
  void BtnWR_PVAltClick(TObject* sender);
  void BtnLin10Click(TObject* sender);
  void BtnLin20Click(TObject* sender);
  void BtnLock0Click(TObject* sender);
  void BtnUnlock0Click(TObject* sender);
  void BitBtnLangue3Click(TObject* sender);  // "Nominal Value"
  void BitBtnLangue4Click(TObject* sender);  // "Reset" of the potentiometer limits
  // The sensor kind radios: run when the identity display checks one.
  void RbV0Click(TObject* sender);
  void RbR0Click(TObject* sender);
  void RbPot0Click(TObject* sender);
  void RbTC0Click(TObject* sender);
  // The maker page's job buttons.
  void BtnParamCheckClick(TObject* sender);
  void BtnRomCheckClick(TObject* sender);
  void BtStackClick(TObject* sender);
  void BtMaxSegClick(TObject* sender);
  void RdUnLockClick(TObject* sender);
  void RdLockClick(TObject* sender);
  void BtnReadADCClick(TObject* sender);
  void BtnEClick(TObject* sender);
  void BtnZClick(TObject* sender);
  void BtnResetCfgClick(TObject* sender);

  // ---- Menus and the other handlers of the window (MainMenus.cpp).
  void ConfigurationMenuClick(TObject* sender);  // "Setup"
  void Preambles5Click(TObject* sender);
  void Preambles7Click(TObject* sender);
  void Preambles10Click(TObject* sender);
  void Preambles20Click(TObject* sender);
  void Quitter1Click(TObject* sender);        // "Exit"
  void StatusCommMenuClick(TObject* sender);  // "Status"
  void Lecture1Click(TObject* sender);        // "Read all"
  void Charge1Click(TObject* sender);         // "Load"
  void Sauve1Click(TObject* sender);          // "Save"
  void E2Prom1Click(TObject* sender);
  void MemoLogClick(TObject* sender);
  void HHCClick(TObject* sender);
  void HOSTClick(TObject* sender);
  // Runs RefreshPage; no control is bound to it.
  void LectureClick(TObject* sender);
  // Dialog openers.
  void BtnLinEditClick(TObject* sender);
  void BtTestLoop0Click(TObject* sender);
  void BtTestXt0Click(TObject* sender);
  void BtAj40Click(TObject* sender);
  void BtAj200Click(TObject* sender);
  void BtnZeroClick(TObject* sender);
  void BtAjPEClick(TObject* sender);  // full scale trim, after the input selection
  void BtAjBEClick(TObject* sender);  // offset trim, after the input selection
  void BtAjClick(TObject* sender);
  void BtTambClick(TObject* sender);
  void BTDeriveClick(TObject* sender);
  void BtStatusClick(TObject* sender);
  void BtnInitClick(TObject* sender);
  void BtnAjTimeDateClick(TObject* sender);
  void Image1Click(TObject* sender);
  // The pages' other controls.
  void BtnPVClick(TObject* sender);
  void btMESClick(TObject* sender);  // the detail panel
  void LbPVClick(TObject* sender);   // the next format of the PV label
  void TrackBarPDafChange(TObject* sender);
  void PV_UnitChange(TObject* sender);
  void EdAI1NChange(TObject* sender);
  void EdAI1ULChange(TObject* sender);
  void EdAI1LLChange(TObject* sender);
  void BtRetClick(TObject* sender);
  // The maker page's modem test and direct requests.
  void BtTESTClick(TObject* sender);
  void TimerTestTimer(TObject* sender);
  void BtnTESTExpClick(TObject* sender);
  void BtnTESTBroadcastClick(TObject* sender);

  // ---- Page gating and small handlers (main.cpp).
  void TabbedNotebookChange(TObject* sender, int newTab, bool& allowChange);
  void ResetMenuClick(TObject* sender);
  void DateTimePickerChange(TObject* sender);
  // Status-bar panel 0 (job texts) and 1 (link errors).
  std::string StatusPanel(int panel) const;
  void SetStatusPanel(int panel, const std::string& text);

  // ---- Window-wide controls.
  TStaticText* StProd = nullptr;
  TStaticText* Connect = nullptr;
  TledLangue* CTS_LED = nullptr;
  TledLangue* CD_LED = nullptr;
  QStatusBar* StatusBar = nullptr;
  QLabel* Image1 = nullptr;
  TBitBtnLangue* BtRet = nullptr;
  TTabbedNotebook* TabbedNotebook = nullptr;
  TPopupMenu PopupMenu;  // shared by the two-action buttons: "Send", "Refresh"

  // ---- Main menu.
  QMenu* Systme1 = nullptr;
  QAction* ConfigurationMenu = nullptr;
  QMenu* NBPreambles = nullptr;
  QAction* Preambles5 = nullptr;
  QAction* Preambles7 = nullptr;
  QAction* Preambles10 = nullptr;
  QAction* Preambles20 = nullptr;
  QAction* Quitter1 = nullptr;
  QMenu* TransmetteurMenu = nullptr;
  QAction* StatusCommMenu = nullptr;
  QAction* Lecture1 = nullptr;
  QAction* Ecriture1 = nullptr;
  QAction* ResetMenu = nullptr;
  QAction* Dconnexion1 = nullptr;
  QMenu* Rglages1 = nullptr;
  QAction* Charge1 = nullptr;
  QAction* Sauve1 = nullptr;
  QMenu* Developpement = nullptr;
  QAction* Trace1 = nullptr;
  QAction* E2Prom1 = nullptr;
  QAction* MemoLog = nullptr;
  QMenu* AdresseDuMaitre = nullptr;
  QAction* HHC = nullptr;
  QAction* HOST = nullptr;
  QAction* Liretout1 = nullptr;
  QAction* Editiondessegments1 = nullptr;
  QAction* HiddenItem = nullptr;

  // ---- Page 0, "Scanning".
  TGroupBoxLangue* GroupBoxLangue1 = nullptr;
  TRadioButtonLangue* BtnSearchOne = nullptr;
  TRadioButtonLangue* BtnSearchAll = nullptr;
  TRadioButtonLangue* BtnSearchTAG = nullptr;
  TEdit* EditConnectbyTAG = nullptr;
  TBitBtnLangue* BtnSeach = nullptr;
  TTreeView* TreeView = nullptr;
  QGroupBox* GrInfo = nullptr;
  TLabel* LbProdInfo = nullptr;
  TPanel* InfoPanel = nullptr;
  TLabel* LbComUniv = nullptr;
  TLabel* LbSpec = nullptr;
  TLabel* LbHard = nullptr;
  TLabel* LbSoft = nullptr;
  TLabelLangue* LabelLangue12 = nullptr;
  TLabelLangue* LabelLangue13 = nullptr;
  TLabelLangue* LabelLangue14 = nullptr;
  TLabelLangue* LabelLangue15 = nullptr;
  TBitBtnLangue* BtnProd = nullptr;

  // ---- Page 1, "Transmitter".
  TLabel* LbPV = nullptr;
  TLabel* LbPourcent = nullptr;
  QProgressBar* Gauge = nullptr;
  TLabel* LbCurrent = nullptr;
  TLabelLangue* LbDEP = nullptr;  // "OverRange"
  TLabel* LbProduit = nullptr;
  TLabel* LbMarque = nullptr;
  TLabel* LbIdent = nullptr;
  TLabelLangue* LbDescripteur = nullptr;
  TEdit* EdTAG = nullptr;
  TEdit* EdDescripteur = nullptr;
  QDateEdit* DateTimePicker = nullptr;
  TEdit* EdMessage = nullptr;
  TBitBtnAlt* BtnWR_TAG = nullptr;
  TBitBtnAlt* BtnWR_DESC = nullptr;
  TBitBtnAlt* BtnWR_DATE = nullptr;
  TBitBtnAlt* BtnWR_MSG = nullptr;
  TBitBtnLangue* BitBtnLangue1 = nullptr;  // "About measure": the detail panel
  TPanel* DetailPanel = nullptr;
  TLabel* LbPV1 = nullptr;
  TLabel* LbPV2 = nullptr;
  TLabel* LbPV3 = nullptr;
  TLabel* LbPV4 = nullptr;
  TBitBtnLangue* BtnZero = nullptr;
  TBitBtnLangue* BtnPE = nullptr;
  TBitBtnLangue* BtnPV = nullptr;

  // ---- Page 2, "Parameters".
  TUnits* Range_Unit = nullptr;
  TMaskEdit* EdURV = nullptr;
  TMaskEdit* EdLRV = nullptr;
  TBitBtnAlt* BtnWR_UNIT = nullptr;
  TBitBtnAlt* BtnWR_RANGE = nullptr;
  TMaskEdit* EdDAMP = nullptr;
  TBitBtnAlt* BtnWR_DAMP = nullptr;
  TGroupBoxLangue* GrBoxDef = nullptr;
  TRadioButtonLangue* RdDefLow = nullptr;
  TRadioButtonLangue* RdDefHigh = nullptr;
  TBitBtnAlt* BtnWR_DEF = nullptr;
  TBitBtnLangue* BtnLin1 = nullptr;
  TBitBtnLangue* BtnLin2 = nullptr;
  TBitBtnLangue* BtnLock = nullptr;
  TBitBtnLangue* BtnUnlock = nullptr;

  // ---- Page 3, "Sensor".
  TMaskEdit* EdSNb = nullptr;
  TBitBtnAlt* BtnWR_SN = nullptr;
  TMaskEdit* EdAssNb = nullptr;
  TBitBtnAlt* BtnWR_ASSNB = nullptr;
  TLabel* LbLSL = nullptr;
  TLabel* LbUSL = nullptr;
  TLabel* LbMinSpan = nullptr;
  TUnits* Sensor_Unit = nullptr;
  QTabWidget* SensorPageControl = nullptr;  // "I/V", "P", "N", "T"
  TRadioButtonLangue* RbV = nullptr;
  TPanel* PanV = nullptr;
  QComboBox* CbV1 = nullptr;
  QComboBox* CbV2 = nullptr;
  TBitBtnLangue* BtnEditVolt = nullptr;
  TRadioButtonLangue* RbR = nullptr;
  TPanel* PanR = nullptr;
  QComboBox* CbR1 = nullptr;
  QComboBox* CbR2 = nullptr;
  TRadioButtonLangue* RbPot = nullptr;
  TPanel* PanPot = nullptr;
  QComboBox* CbPot1 = nullptr;
  QComboBox* CbPot2 = nullptr;
  TBitBtnLangue* BtnEditPot = nullptr;
  TPanel* PanPot2 = nullptr;
  TLabel* LbAI1N = nullptr;
  TLabel* LbAI1UL = nullptr;
  TLabel* LbAI1LL = nullptr;
  TMaskEdit* EdAI1N = nullptr;
  TMaskEdit* EdAI1UL = nullptr;
  TMaskEdit* EdAI1LL = nullptr;
  QLabel* ImgWrnAI1N = nullptr;
  TBitBtnLangue* BitBtnLangue3 = nullptr;  // "Nominal Value"
  TBitBtnLangue* BitBtnLangue4 = nullptr;  // "Reset"
  TRadioButtonLangue* RbTC = nullptr;
  TPanel* PanTC = nullptr;
  QComboBox* CbTC1 = nullptr;
  QComboBox* CbTC2 = nullptr;
  TBitBtnAlt* BtnWR_EXTRA = nullptr;

  // ---- Page 4, "Calibrate/Test".
  TBitBtnLangue* BtTestLoop = nullptr;
  TBitBtnLangue* BtTestXt = nullptr;
  TBitBtnLangue* BtAj4 = nullptr;
  TBitBtnLangue* BtAj20 = nullptr;
  TGroupBoxLangue* Gr_Aj_Mes = nullptr;
  QPushButton* BtAj = nullptr;
  QPushButton* BtAjPE = nullptr;
  QPushButton* BtAjBE = nullptr;
  TGroupBoxLangue* Gr_Tamb = nullptr;
  TBitBtnLangue* BtTamb = nullptr;

  // ---- Page 5, "Alarms".
  TMaskEdit* EdAlr1 = nullptr;
  TMaskEdit* EdHys1 = nullptr;
  TMaskEdit* EdDel1 = nullptr;
  TRadioButtonLangue* RdRelNo1 = nullptr;
  TRadioButtonLangue* RdRelNf1 = nullptr;
  TBitBtnAlt* BtnWR_Alr1 = nullptr;
  TMaskEdit* EdAlr2 = nullptr;
  TMaskEdit* EdHys2 = nullptr;
  TMaskEdit* EdDel2 = nullptr;
  TRadioButtonLangue* RdRelNo2 = nullptr;
  TRadioButtonLangue* RdRelNf2 = nullptr;
  TBitBtnAlt* BtnWR_Alr2 = nullptr;

  // ---- Page 6, "Display".
  TGroupBoxLangue* GrPDafMod = nullptr;
  QSlider* TrackBarPDaf = nullptr;
  TSEG* LCD = nullptr;
  TRadioButtonLangue* RdMod0 = nullptr;
  TRadioButtonLangue* RdMod2 = nullptr;
  TRadioButtonLangue* RdMod5 = nullptr;
  TRadioButtonLangue* RdMod10 = nullptr;
  TCheckBoxLangue* CkDispUnit = nullptr;
  TBitBtnAlt* Btn_WR_ExStatus = nullptr;
  TGroupBoxLangue* GrPVRange = nullptr;
  TUnits* PV_Unit = nullptr;
  TMaskEdit* EdUPV = nullptr;
  TMaskEdit* EdLPV = nullptr;
  TBitBtnAlt* BtnWR_PV = nullptr;

  // ---- Page 7, the maker's page (never opened in use).
  QPushButton* BtnParamCheck = nullptr;
  TLabel* LbParamCheck = nullptr;
  QPushButton* BtnRomCheck = nullptr;
  TLabel* LbRomCheck = nullptr;
  QPushButton* BtStack = nullptr;
  TLabel* LbStackStatus = nullptr;
  QPushButton* BtMaxSeg = nullptr;
  TLabel* LbMaxSeg = nullptr;
  QRadioButton* RdUnLock = nullptr;
  QRadioButton* RdLock = nullptr;
  QPushButton* BitBtn1 = nullptr;  // "ADC"
  TLabel* lbADC_V1 = nullptr;
  TLabel* lbADC_V2 = nullptr;
  QPushButton* BtnE = nullptr;
  QPushButton* BtnZ = nullptr;
  QPushButton* BtnResetCfg = nullptr;
  QPushButton* BTDerive = nullptr;
  QPushButton* BtStatus = nullptr;
  QPushButton* BtnInit = nullptr;
  QPushButton* BtnAjTimeDate = nullptr;
  QPushButton* BtTEST = nullptr;
  Tled* TestLed = nullptr;
  QPushButton* BtnTESTExp = nullptr;
  QPushButton* BtnTESTBroadcast = nullptr;
  TEdit* EdLongTAG = nullptr;
  QPushButton* Button1 = nullptr;
  TEdit* EdCfgCC = nullptr;
  TTimer TimerTest;

private:
  // MainPages.cpp
  void BuildMenus();
  void BuildStatusBar();
  void BuildPages();
  QWidget* BuildScanningPage();
  QWidget* BuildTransmitterPage();
  QWidget* BuildParametersPage();
  QWidget* BuildSensorPage();
  QWidget* BuildCalibratePage();
  QWidget* BuildAlarmsPage();
  QWidget* BuildDisplayPage();
  QWidget* BuildMakerPage();

  // MainDispatch.cpp
  void DispatchAnswer(TObject* sender, std::int32_t command);
  QTreeWidgetItem* AddressNode(int address) const;
  void MovePollingAddressNode();
  void ShowLinearisationButtons();
  void ShowSensorDescription();
  static std::string WordText(std::int32_t word);
  void ShowAI1Nominal(double nominal);
  void SecondaryInputNominalStep();
  void SecondaryInputLimitStep();
  void UploadStep();
  void DownloadStep();
  void SegmentCountStep();

  // main.cpp
  void SetStartupMasks();
  // Closing the main window ends the program, whichever other window is open.
  void closeEvent(QCloseEvent* event) override;

  // MainDisplay.cpp
  void ShowSensorKind(unsigned sensorCode);

  // MainButtons.cpp, MainMenus.cpp: bind the handlers to their controls.
  void BindButtons();
  void BindMenus();

  // MainButtons.cpp: the list builders of the write buttons.
  // LastJob := write, then each job appended when the device supports it, then 500.
  void StartFilteredList(std::int32_t write, std::initializer_list<std::int32_t> jobs);
  // 500 started, the jobs inserted in front of it in reverse order: the jobs, 500, 500.
  void StartInsertedList(std::initializer_list<std::int32_t> jobs);
  // The sensor kind, wiring and type from the sheet's combo boxes, then 317, 202, 500.
  void SendSensorInfo(Byte kind, const QComboBox* connection, const QComboBox* type);
  // The panel of the checked sensor kind raised and enabled, the others flat and disabled.
  void ShowSensorPanel(TPanel* active);
  void SetWriteProtection(bool locked);

  // MainMenus.cpp
  void SetPreambles(QAction* item, Byte count);
  void SetMasterAddress(QAction* item, TMasterAdress address);
  // The sensor trim of the given Tag, after the input selection on a two-input device.
  void SensorTrimWithInput(int tag);

  // MainSearch.cpp
  void BindSearchPage();
  bool eventFilter(QObject* watched, QEvent* event) override;

  // MainJobs.cpp: the job table, one row per job code (and per state where a job's text
  // and request depend on one).
  enum class TJobKind {
    Request,  // status panels, transmit lamp, then the request
    Quiet,    // the request alone (the clock jobs)
    Status,   // status panel 0, then the action; no request
    Control,  // the action alone
  };
  enum class TJobArg { None, ScanAddress, SegmentCounter };  // what "%d" of a text shows
  struct TJobRow {
    std::int32_t Code;
    int Variant;  // -1 for every state; else the value of JobVariant it serves
    TJobKind Kind;
    const char* Anglais;  // status text; null for none
    const char* Francais;
    TJobArg Arg;
    int SkipMs;  // > 0: only for devices that support the job; skipped with this interval
    bool (*Run)(TMainForm& f);  // the request or action; false when nothing was sent
  };
  static const TJobRow JobTable[];
  static const TJobRow* FindJobRow(std::int32_t code, bool variant);
  bool JobVariant(std::int32_t code) const;
  std::string StatusOf(const TJobRow& row) const;
  void BeginRequest(const std::string& status);
  // A number of an edit, for a job about to send it; empty (after a beep, or after the
  // conversion report when `report`) when the text is not a number.
  std::optional<double> JobNumber(const std::string& text, bool report);
  // A serial or assembly number: the device keeps 24 bits, so a number with a fraction or
  // outside 0..16777215 is reported and not sent either.
  std::optional<double> JobNumber24(const std::string& text);
  void AfterMeasureRead();
  void MarkSearchedNode();
  void MarkFoundNode();
  // The picker's date as job 303 sends it, "DD/MM/YYYY"; empty, after the report, for a
  // year the device cannot keep.
  std::optional<std::string> JobDateText();
  TDateTime ClockSendTime() const;
  std::int32_t DisplayWordOfPage() const;

  TAppContext& app_;
  QLabel* statusPanels_[2] = {nullptr, nullptr};
};
