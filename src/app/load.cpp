#include "app/load.h"

#include <QDateEdit>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSlider>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>

#include "app/Dessin.h"
#include "app/Erreur.h"
#include "app/StdCtrls.h"
#include "app/Texts.h"
#include "app/UiServices.h"
#include "app/core/JobList.h"
#include "app/main.h"
#include "controls/MyControls.h"

// ---------------------------------------------------------------------------------------
// The list boxes

TLoadList::TLoadList(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSortingEnabled(true);
  setDragEnabled(true);
  setAcceptDrops(true);
  setDropIndicatorShown(false);
  setDragDropMode(QAbstractItemView::DragDrop);
  setDefaultDropAction(Qt::CopyAction);
  setMouseTracking(true);
}

std::vector<std::string> TLoadList::Items() const {
  std::vector<std::string> texts;
  for (int i = 0; i < count(); ++i) texts.push_back(FromQ(item(i)->text()));
  return texts;
}

std::vector<std::string> TLoadList::SelectedItems() const {
  std::vector<std::string> texts;
  for (int i = 0; i < count(); ++i) {
    if (item(i)->isSelected()) texts.push_back(FromQ(item(i)->text()));
  }
  return texts;
}

// A click and a selection made with the keys both count as a click of the list.
void TLoadList::mousePressEvent(QMouseEvent* event) {
  QListWidget::mousePressEvent(event);
  if (event->button() == Qt::LeftButton) OnClick(this);
}

void TLoadList::mouseDoubleClickEvent(QMouseEvent* event) {
  QListWidget::mouseDoubleClickEvent(event);
  if (event->button() == Qt::LeftButton) OnDblClick(this);
}

void TLoadList::mouseMoveEvent(QMouseEvent* event) {
  QListWidget::mouseMoveEvent(event);
  if (OnMouseMove) OnMouseMove(event->position().toPoint());
}

void TLoadList::keyPressEvent(QKeyEvent* event) {
  if (OnKeyDown) OnKeyDown(event->key());
  if (event->key() == Qt::Key_Insert || event->key() == Qt::Key_Delete) return;
  QListWidget::keyPressEvent(event);
  OnClick(this);
}

// Items are only ever copied out by a drag: the form decides what a drop does.
void TLoadList::startDrag(Qt::DropActions) { QListWidget::startDrag(Qt::CopyAction); }

void TLoadList::dragEnterEvent(QDragEnterEvent* event) {
  if (OnDragOver && OnDragOver(event->source())) {
    event->setDropAction(Qt::CopyAction);
    event->accept();
  } else {
    event->ignore();
  }
}

void TLoadList::dragMoveEvent(QDragMoveEvent* event) {
  if (OnDragOver && OnDragOver(event->source())) {
    event->setDropAction(Qt::CopyAction);
    event->accept();
  } else {
    event->ignore();
  }
}

void TLoadList::dropEvent(QDropEvent* event) {
  event->setDropAction(Qt::CopyAction);
  event->accept();
  if (OnDragDrop) OnDragDrop(event->source());
}

// ---------------------------------------------------------------------------------------
// The form

namespace {

struct TGroupLabel {
  const char* Anglais;
  const char* Francais;
};

const TGroupLabel GroupLabels[LoadGroup::Count] = {
    {"Polling Address", "Adresse de scrutation"},
    {"Tag / Descriptor / Date", "Tag / Descripteur / Date"},
    {"Message", "Message"},
    {"Range and Unit", "Échelle et unité"},
    {"Damping value", "Valeur d'amortissement"},
    {"Sensor serial number", "Numéro de série du capteur"},
    {"Assembly number", "Numéro d'assemblage"},
    {"Linearization table", "Table de linéarisation"},
    {"Transfert function", "Fonction de transfert"},
    {"Sensor type", "Type de capteur"},
    {"Write Protection / Default configuration", "Protection en écriture / Configuration du défaut"},
    {"PV Range values", "Valeurs d'échelle de la PV"},
    {"Alarm n°1 parameters", "Paramètres de l'alarme n°1"},
    {"Alarm n°2 parameters", "Paramètres de l'alarme n°2"},
    {"Secondary variable limits", "Limites de la variable secondaire"},
};


}  // namespace

TLoadForm::TLoadForm(TAppContext& app) : TForm(app, "LoadForm") {
  TEdition& e = app.Edition;

  GroupBoxLangue1 = MakeLangue<TGroupBoxLangue>(e, this, "GroupBoxLangue1", "Select parameters to be updated",
                                          "Choisissez les paramètres à mettre à jour");
  LabelSource = MakeLangue<TLabelLangue>(e, GroupBoxLangue1, "LabelSource", "File", "Fichier");
  LabelDestination = MakeLangue<TLabelLangue>(e, GroupBoxLangue1, "LabelDestination", "Transmitter", "Transmetteur");
  ListSource = new TLoadList(GroupBoxLangue1);
  ListSource->setObjectName("ListSource");
  ListDestination = new TLoadList(GroupBoxLangue1);
  ListDestination->setObjectName("ListDestination");
  const int listWidth = ListSource->fontMetrics().horizontalAdvance(Q(Cp(GroupLabels[10].Francais))) + 50;
  for (TLoadList* list : {ListSource, ListDestination}) {
    list->setMinimumWidth(listWidth);
    list->setMinimumHeight(list->fontMetrics().height() * 16);
  }
  LabelIdSource = MakeLangue<TLabelLangue>(e, GroupBoxLangue1, "LabelIdSource", "Id :", "Id :");
  LbIdSource = new TLabel(GroupBoxLangue1);
  LbIdSource->setObjectName("LbIdSource");
  LabelIdDestination = MakeLangue<TLabelLangue>(e, GroupBoxLangue1, "LabelIdDestination", "Id :", "Id :");
  LbIdDestination = new TLabel(GroupBoxLangue1);
  LbIdDestination->setObjectName("LbIdDestination");
  BtnAddAll = MakeLangue<TButtonLangue>(e, GroupBoxLangue1, "BtnAddAll", "Add all", "Tout ajouter");
  BtnAdd = MakeLangue<TButtonLangue>(e, GroupBoxLangue1, "BtnAdd", "Add", "Ajouter");
  BtnDelAll = MakeLangue<TButtonLangue>(e, GroupBoxLangue1, "BtnDelAll", "Remove all", "Tout retirer");
  BtnDel = MakeLangue<TButtonLangue>(e, GroupBoxLangue1, "BtnDel", "Remove", "Retirer");

  BitBtnLangue1 = MakeLangue<TBitBtnLangue>(e, this, "BitBtnLangue1", "Update", "Mettre à jour");
  BitBtnLangue1->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
  LabelLangue1 = MakeLangue<TLabelLangue>(e, this, "LabelLangue1", "Existing values will be updated",
                                    "Les valeurs existantes seront mises à jour");
  LabelLangue2 = MakeLangue<TLabelLangue>(e, this, "LabelLangue2", "Update tranmitter data (loaded form disk)",
                                    "Mise à jour du transmetteur (données lues sur disque)");
  BitBtnLangue2 = MakeLangue<TBitBtnLangue>(e, this, "BitBtnLangue2", "Cancel", "Annuler");
  BitBtnLangue2->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
  LabelLangue3 = MakeLangue<TLabelLangue>(e, this, "LabelLangue3", "Drop out data (loaded form disk)",
                                    "Abandon des données (lues sur disque)");
  LabelLangue4 = MakeLangue<TLabelLangue>(e, this, "LabelLangue4", "Keep existing values", "Les valeurs existantes sont conservées");

  auto* moves = new QVBoxLayout;
  moves->addStretch();
  for (QWidget* w : std::initializer_list<QWidget*>{BtnAddAll, BtnAdd, BtnDelAll, BtnDel}) moves->addWidget(w);
  moves->addStretch();
  auto idRow = [](QWidget* caption, QWidget* value) {
    auto* row = new QHBoxLayout;
    row->addWidget(caption);
    row->addWidget(value, 1);
    return row;
  };
  auto* lists = new QGridLayout(GroupBoxLangue1);
  lists->addWidget(LabelSource, 0, 0);
  lists->addWidget(LabelDestination, 0, 2);
  lists->addWidget(ListSource, 1, 0);
  lists->addLayout(moves, 1, 1);
  lists->addWidget(ListDestination, 1, 2);
  lists->addLayout(idRow(LabelIdSource, LbIdSource), 2, 0);
  lists->addLayout(idRow(LabelIdDestination, LbIdDestination), 2, 2);

  auto action = [](QWidget* button, QWidget* first, QWidget* second) {
    auto* texts = new QVBoxLayout;
    texts->setSpacing(0);
    texts->addWidget(first);
    texts->addWidget(second);
    auto* row = new QHBoxLayout;
    row->addWidget(button);
    row->addLayout(texts, 1);
    return row;
  };
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(GroupBoxLangue1, 1);
  layout->addLayout(action(BitBtnLangue1, LabelLangue1, LabelLangue2));
  layout->addLayout(action(BitBtnLangue2, LabelLangue3, LabelLangue4));
  const int buttonWidth = std::max(BitBtnLangue1->sizeHint().width(), BitBtnLangue2->sizeHint().width());
  BitBtnLangue1->setMinimumWidth(buttonWidth);
  BitBtnLangue2->setMinimumWidth(buttonWidth);

  connect(BtnAddAll, &QPushButton::clicked, this, [this] { BtnAddAllClick(); });
  connect(BtnAdd, &QPushButton::clicked, this, [this] { BtnAddClick(); });
  connect(BtnDelAll, &QPushButton::clicked, this, [this] { BtnDelAllClick(); });
  connect(BtnDel, &QPushButton::clicked, this, [this] { BtnDelClick(); });
  connect(BitBtnLangue1, &QPushButton::clicked, this, [this] { BitBtnLangue1Click(); });
  connect(BitBtnLangue2, &QPushButton::clicked, this, [this] { BitBtnLangue2Click(); });
  ListSource->OnClick = [this](TObject*) { ListSourceClick(); };
  ListDestination->OnClick = [this](TObject*) { ListDestinationClick(); };
  ListSource->OnDblClick = [this](TObject*) { ListSourceDblClick(); };
  ListDestination->OnDblClick = [this](TObject*) { ListDestinationDblClick(); };
  ListSource->OnKeyDown = [this](int key) { ListSourceKeyDown(key); };
  ListDestination->OnKeyDown = [this](int key) { ListDestinationKeyDown(key); };
  ListSource->OnMouseMove = [this](const QPoint& p) { ListSourceMouseMove(p); };
  ListDestination->OnMouseMove = [this](const QPoint& p) { ListDestinationMouseMove(p); };
  for (TLoadList* list : {ListSource, ListDestination}) {
    list->OnDragOver = [this, list](QObject* source) { return ListDragOver(*list, source); };
    list->OnDragDrop = [this, list](QObject* source) { ListDragDrop(*list, source); };
  }
}

std::string TLoadForm::GroupItem(int group) const {
  if (group < 1 || group > LoadGroup::Count) return {};
  char number[8];
  std::snprintf(number, sizeof number, "%02d - ", group);
  const TGroupLabel& l = GroupLabels[group - 1];
  return number + Tx(Langue(), l.Anglais, l.Francais);
}

// ---------------------------------------------------------------------------------------
// Entry, showing

void TLoadForm::FileLoaded() {
  TMainForm& main = *App().Forms.MainForm;
  const TXmt& x = main.Transmetteur;
  const TXmtRecord& file = x.FileImage;
  if (!main.OfflineMode) {
    if (file.GetByte(TXmtRecord::OffManufacturerId) != x.LongAddress[0]) {
      App().Ui.ShowMessage(Tx(Langue(), "  Invalid manufacturer !   ", "  Fabricant incorrect !   "));
      return;
    }
    // Bit 7 of the device type is not part of the product.
    if ((file.GetByte(TXmtRecord::OffDeviceType) & 0x7F) != (x.LongAddress[1] & 0x7F)) {
      App().Ui.ShowMessage(Tx(Langue(), "  Invalid product !        ", "  Produit incorrect !        "));
      return;
    }
  }
  ShowModal();
}

void TLoadForm::FormShow() {
  SetCaption(Tx(Langue(), "Data loaded ...", "Données chargées ..."));
  ListSource->clear();
  ListDestination->clear();
  const TXmt& x = App().Forms.MainForm->Transmetteur;
  for (int group : OfferedLoadGroups(JobCapabilities(x))) ListSource->addItem(Q(GroupItem(group)));
  LbIdSource->SetCaption(std::to_string(x.FileImage.GetInt32(TXmtRecord::OffDeviceId)));
  LbIdDestination->SetCaption(std::to_string(x.DeviceId));
  BtnAddAllClick();
}

// ---------------------------------------------------------------------------------------
// List moves

bool TLoadForm::IsGroupSelected(int group) const {
  char number[4];
  std::snprintf(number, sizeof number, "%02d", group);
  const std::vector<std::string> items = ListDestination->Items();
  return std::any_of(items.begin(), items.end(), [&](const std::string& item) { return item.compare(0, 2, number) == 0; });
}

void TLoadForm::AddSelected() {
  for (const std::string& text : ListSource->SelectedItems()) {
    if (ListDestination->findItems(Q(text), Qt::MatchExactly).isEmpty()) ListDestination->addItem(Q(text));
  }
}

void TLoadForm::RemoveSelected() { qDeleteAll(ListDestination->selectedItems()); }

void TLoadForm::DeselectSource() { ListSource->clearSelection(); }

void TLoadForm::DeselectDestination() { ListDestination->clearSelection(); }

void TLoadForm::BtnAddAllClick() {
  ListSource->selectAll();
  AddSelected();
  DeselectSource();
}

void TLoadForm::BtnAddClick() { AddSelected(); }

void TLoadForm::BtnDelAllClick() { ListDestination->clear(); }

void TLoadForm::BtnDelClick() { RemoveSelected(); }

// A selection exists in one list at a time.
void TLoadForm::ListSourceClick() { DeselectDestination(); }

void TLoadForm::ListDestinationClick() { DeselectSource(); }

void TLoadForm::ListSourceDblClick() { AddSelected(); }

void TLoadForm::ListDestinationDblClick() { RemoveSelected(); }

void TLoadForm::ListSourceKeyDown(int key) {
  if (key == Qt::Key_Insert) AddSelected();
}

void TLoadForm::ListDestinationKeyDown(int key) {
  if (key == Qt::Key_Delete) RemoveSelected();
}

void TLoadForm::ListSourceMouseMove(const QPoint& pos) {
  if (QListWidgetItem* item = ListSource->itemAt(pos)) ListSource->setToolTip(item->text());
}

void TLoadForm::ListDestinationMouseMove(const QPoint& pos) {
  if (QListWidgetItem* item = ListDestination->itemAt(pos)) ListDestination->setToolTip(item->text());
}

bool TLoadForm::ListDragOver(TLoadList&, QObject* source) const { return qobject_cast<TLoadList*>(source) != nullptr; }

void TLoadForm::ListDragDrop(TLoadList& target, QObject* source) {
  if (source == ListSource && &target == ListDestination) AddSelected();
  if (source == ListDestination && &target == ListSource) RemoveSelected();
}

// ---------------------------------------------------------------------------------------
// Update and Cancel

void TLoadForm::BitBtnLangue1Click() {
  TMainForm& main = *App().Forms.MainForm;
  TXmt& x = main.Transmetteur;
  const std::uint32_t capabilities = JobCapabilities(x);
  main.SetRangeMasks(this, LoadRangeDecimals(x.FileImage, capabilities));

  TLoadRequest request;
  for (int g = 1; g <= LoadGroup::Count; ++g) request.Chosen[static_cast<std::size_t>(g)] = IsGroupSelected(g);
  request.Capabilities = capabilities;
  request.RangeFormat = main.RangeFormat;
  request.Format = App().FormatSettings;
  request.Lengths.Range = std::min({main.EdURV->MaskLength(), main.EdLRV->MaskLength(), main.EdUPV->MaskLength(), main.EdLPV->MaskLength()});
  request.Lengths.Damping = main.EdDAMP->MaskLength();
  request.Lengths.SerialNumber = main.EdSNb->maxLength();
  request.Lengths.AssemblyNumber = main.EdAssNb->maxLength();
  request.Lengths.AI1Nominal = main.EdAI1N->MaskLength();
  request.Lengths.AI1Percent = std::min(main.EdAI1UL->MaskLength(), main.EdAI1LL->MaskLength());
  request.Lengths.AlarmDelay = std::min(main.EdDel1->MaskLength(), main.EdDel2->MaskLength());
  const TLoadPlan plan = BuildLoadPlan(x.FileImage, request);

  ApplyCopies(plan.Copies);

  // The list the sequencer runs next; its first job is the one to repeat while the link fails.
  TJobList& jobs = App().Jobs;
  int slot = 0;
  for (std::int32_t code : plan.Jobs) slot = jobs.Append(code, slot);
  jobs.JobIndex = 0;
  jobs.LastJob = plan.Jobs.front();
  jobs.Busy = true;
  main.TabbedNotebook->setEnabled(false);

  ModalResult = 1;
  Close();
  ReportRefusals(plan);
}

void TLoadForm::BitBtnLangue2Click() {
  ModalResult = 2;
  Close();
}

// The copies in the order the groups are taken; the write jobs read these controls and
// fields when they run.
void TLoadForm::ApplyCopies(const TLoadCopies& c) {
  TMainForm& main = *App().Forms.MainForm;
  TXmt& x = main.Transmetteur;
  if (c.NewPollingAddress) main.NewPollingAddress = *c.NewPollingAddress;
  if (c.TagDescriptorDate) {
    main.EdTAG->SetText(c.TagDescriptorDate->Tag);
    main.EdDescripteur->SetText(c.TagDescriptorDate->Descriptor);
    // A file without a valid date leaves the picker's date as it is.
    if (c.TagDescriptorDate->Date) {
      int y = 0, m = 0, d = 0;
      DecodeDate(*c.TagDescriptorDate->Date, y, m, d);
      const QDate date(y, m, d);
      QDateEdit& picker = *main.DateTimePicker;
      if (date.isValid() && date >= picker.minimumDate() && date <= picker.maximumDate()) picker.setDate(date);
    }
  }
  if (c.Message) main.EdMessage->SetText(*c.Message);
  if (c.Display) {
    x.DecimalPoint = c.Display->DecimalPoint;
    x.LastDigitStep = c.Display->LastDigitStep;
    if (c.Display->TrackBarPosition) main.TrackBarPDaf->setValue(*c.Display->TrackBarPosition);
    switch (c.Display->LastDigitStep) {
      case 0: main.RdMod0->setChecked(true); break;
      case 1: main.RdMod2->setChecked(true); break;
      case 2: main.RdMod5->setChecked(true); break;
      case 3: main.RdMod10->setChecked(true); break;
      default: break;
    }
  }
  if (c.PVRange) {
    main.PV_Unit->SetUniteNb(c.PVRange->UnitRow);
    main.EdLPV->SetText(c.PVRange->Lower);
    main.EdUPV->SetText(c.PVRange->Upper);
  }
  if (c.Range) {
    main.EdLRV->SetText(c.Range->Lower);
    main.EdURV->SetText(c.Range->Upper);
    main.Range_Unit->SetUniteNb(c.Range->UnitRow);
  }
  if (c.Damping) main.EdDAMP->SetText(*c.Damping);
  if (c.SensorSerialNumber) main.EdSNb->SetText(*c.SensorSerialNumber);
  if (c.AssemblyNumber) main.EdAssNb->SetText(*c.AssemblyNumber);
  if (c.Curve) {
    // The editor is not redrawn here; the points are what job 309 sends.
    TDraw& draw = *App().Forms.DessinForm->Draw1;
    draw.LastIndex = c.Curve->LastIndex;
    x.SegmentCount = c.Curve->LastIndex;
    for (std::size_t i = 0; i < c.Curve->Points.size() && i < draw.Points.size(); ++i) {
      draw.Points[i] = {c.Curve->Points[i].X, c.Curve->Points[i].Y};
    }
  }
  if (c.SensorInfo) x.SensorInfo = *c.SensorInfo;
  if (c.Status) {
    x.WriteProtect = c.Status->WriteProtect;
    x.CacheMemory = c.Status->CacheMemory;
    x.Fault1High = c.Status->Fault1High;
    x.Fault2High = c.Status->Fault2High;
    x.BuildStatusRegister();
  }
  if (c.Alarm1) {
    x.Alarm1 = *c.Alarm1;
    main.ShowAlarm(this, 1);
  }
  if (c.Alarm2) {
    x.Alarm2 = *c.Alarm2;
    main.ShowAlarm(this, 2);
  }
  if (c.AI1) {
    x.AI1UpperLimit = c.AI1->UpperLimit;
    x.AI1LowerLimit = c.AI1->LowerLimit;
    main.EdAI1N->SetText(c.AI1->Nominal);
    main.EdAI1UL->SetText(c.AI1->UpperPercent);
    main.EdAI1LL->SetText(c.AI1->LowerPercent);
  }
}

// Groups of the file that were not written, one line each, in the error window.
void TLoadForm::ReportRefusals(const TLoadPlan& plan) {
  if (plan.Refused.empty()) return;
  std::string text;
  for (const auto& [group, why] : plan.Refused) {
    if (!text.empty()) text += '\n';
    if (why == TLoadRefusal::BadSegmentNumber) {
      text += Tx(Langue(), "Bad segment number", "Nombre de segments incorrect");
    } else {
      text += Tx(Langue(), "Invalid value in the file, not written: ", "Valeur incorrecte dans le fichier, non écrite : ") +
              GroupItem(group);
    }
  }
  App().Forms.ErreurForm->ShowError(text);
}
