#include "app/TimeDate.h"

#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/Texts.h"
#include "app/UiServices.h"
#include "app/core/TimeDateClock.h"

namespace {


// A value label: it shows its own name until it is first written.
TLabel* ValueLabel(QWidget* parent, const char* name) {
  auto* label = new TLabel(parent);
  label->setObjectName(QLatin1String(name));
  label->SetCaption(name);
  label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("00/00/0000  00:00:00")) + 4);
  return label;
}

TDateTime LocalNow() {
  const QDateTime now = QDateTime::currentDateTime();
  const qint64 days = QDate(1899, 12, 30).daysTo(now.date());
  return static_cast<double>(days) + now.time().msecsSinceStartOfDay() / 86400000.0;
}

constexpr int AdjustPage = 1;

constexpr TDateTime OneMs = 1.0 / 86400000.0;
// The sequencer's pause between an answer and the next request.
constexpr TDateTime AnswerPause = 50 * OneMs;

}  // namespace

TTimeDateFrom::TTimeDateFrom(TAppContext& app)
    : TForm(app, "TimeDateFrom"), Now(LocalNow), DateTimeTimer(app.Sched, 250) {
  setWindowFlag(Qt::Tool);
  TEdition& e = app.Edition;

  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName("PageControl1");
  TabSheet2 = new QWidget;
  TabSheet2->setObjectName("TabSheet2");
  TabAdjustTime = new QWidget;
  TabAdjustTime->setObjectName("TabAdjustTime");
  // "&&" shows one ampersand rather than marking a shortcut.
  PageControl1->addTab(TabSheet2, QString::fromUtf8(Texte(app.Langue(), "Time && Date", "Heure et date")));
  PageControl1->addTab(TabAdjustTime, QString::fromUtf8(Texte(app.Langue(), "Adjust Time", "Réglage de l'heure")));

  Label6 = MakeLangue<TLabelLangue>(e, TabSheet2, "Label6", "Device Time", "Heure de l'appareil");
  Label7 = ValueLabel(TabSheet2, "Label7");
  Label8 = MakeLangue<TLabelLangue>(e, TabSheet2, "Label8", "Device Setup Time", "Heure du dernier réglage");
  Label9 = ValueLabel(TabSheet2, "Label9");
  Label10 = ValueLabel(TabSheet2, "Label10");
  BtnReadTime = MakeLangue<TButtonLangue>(e, TabSheet2, "BtnReadTime", "Read", "Lire");
  auto* read = new QGridLayout(TabSheet2);
  read->addWidget(Label6, 0, 0);
  read->addWidget(Label7, 0, 1);
  read->addWidget(Label8, 1, 0);
  read->addWidget(Label9, 1, 1);
  read->addWidget(Label10, 2, 1);
  read->addWidget(BtnReadTime, 3, 1, Qt::AlignRight);
  read->setRowStretch(4, 1);

  Label1 = MakeLangue<TLabelLangue>(e, TabAdjustTime, "Label1", "HOST Time :", "Heure de l'hôte :");
  Label4 = ValueLabel(TabAdjustTime, "Label4");
  Label2 = MakeLangue<TLabelLangue>(e, TabAdjustTime, "Label2", "Device Time", "Heure de l'appareil");
  Label3 = ValueLabel(TabAdjustTime, "Label3");
  Label5 = ValueLabel(TabAdjustTime, "Label5");
  BtnSynchro = MakeLangue<TButtonLangue>(e, TabAdjustTime, "BtnSynchro", "BtnSynchro", "Synchroniser");
  auto* adjust = new QGridLayout(TabAdjustTime);
  adjust->addWidget(Label1, 0, 0);
  adjust->addWidget(Label4, 0, 1);
  adjust->addWidget(Label2, 1, 0);
  adjust->addWidget(Label3, 1, 1);
  adjust->addWidget(Label5, 2, 1);
  adjust->addWidget(BtnSynchro, 3, 1, Qt::AlignRight);
  adjust->setRowStretch(4, 1);

  BtnClose = MakeLangue<TButtonLangue>(e, this, "BtnClose", "BtnClose", "Fermer");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(BtnClose);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(PageControl1);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(PageControl1, &QTabWidget::currentChanged, this, [this] { PageControl1Change(); });
  connect(BtnReadTime, &QPushButton::clicked, this, [this] { BtnReadTimeClick(); });
  connect(BtnSynchro, &QPushButton::clicked, this, [this] { BtnSynchroClick(); });
  connect(BtnClose, &QPushButton::clicked, this, [this] { BtnCloseClick(); });
  DateTimeTimer.OnTimer = [this](TObject*) { DateTimeTimerTimer(); };
}

// Sends nothing: the first page only shows what was read before.
void TTimeDateFrom::FormShow() {
  SetCaption(Tx(Langue(), "TimeDateFrom", "Date et heure"));
  const QSignalBlocker quiet(PageControl1);
  PageControl1->setCurrentIndex(0);
}

void TTimeDateFrom::BtnReadTimeClick() {
  TJobList& jobs = App().Jobs;
  jobs.LastJob = 251;
  jobs.JobIndex = 0;
  jobs.Set(0, 251);
  jobs.Set(1, Job::Restart);
  jobs.Set(2, Job::Idle);
}

void TTimeDateFrom::ClockReadAnswer(TObject*, TXmt& xmt) {
  const TFormatSettings& fs = App().FormatSettings;
  Label7->SetCaption(ClockText(xmt.DeviceClock, fs));
  Label9->SetCaption(ClockText(xmt.LastClockSet, fs));
  Label10->SetCaption(std::to_string(xmt.ClockFlags));
}

// On "Adjust Time" the clock command runs in its reading mode again and again, each answer
// measuring the exchange; leaving the page ends the loop.
void TTimeDateFrom::PageControl1Change() {
  if (PageControl1->currentIndex() == AdjustPage) {
    DateTimeTimer.SetEnabled(true);
    TJobList& jobs = App().Jobs;
    jobs.LastJob = 250;
    jobs.JobIndex = 0;
    const std::int32_t list[] = {250, Job::Restart, 350, Job::Restart, Job::Idle};
    for (int i = 0; i < 5; ++i) jobs.Set(i, list[i]);
    clockMark_ = Now();
    measured_ = false;
  } else {
    App().Jobs.Start(Job::EndOfSequence);
    DateTimeTimer.SetEnabled(false);
  }
}

void TTimeDateFrom::DateTimeTimerTimer() { Label4->SetCaption(ClockText(Now(), App().FormatSettings)); }

void TTimeDateFrom::ClockSetAnswer(TObject*, TXmt& xmt) {
  const TDateTime now = Now();
  const TDateTime delay = now - clockMark_;
  Label5->SetCaption(ExchangeDelayText(delay));
  Label3->SetCaption(ClockText(xmt.DeviceClock, App().FormatSettings));
  clockMark_ = now;
  sendTime_ = now + delay;
  measured_ = true;
  answered_ = true;
  answeredAt_ = now;
}

TDateTime TTimeDateFrom::SendTime() const {
  if (!answered_) return sendTime_;
  const TDateTime late = Now() - answeredAt_ - AnswerPause;
  return late >= OneMs ? sendTime_ + late : sendTime_;
}

// The next tick sets the clock once, then the measuring loop goes on. Until an exchange
// has been measured on this visit of the page, the time to send would be 0 (the year 1899)
// or one left from long ago: nothing is sent then.
void TTimeDateFrom::BtnSynchroClick() {
  if (!measured_) {
    App().Ui.Beep();
    return;
  }
  App().Jobs.JobIndex = 2;
}

void TTimeDateFrom::BtnCloseClick() { Close(); }

// Every way of closing ends the clock's list and stops the timer.
void TTimeDateFrom::FormClose() {
  App().Jobs.Start(Job::EndOfSequence);
  DateTimeTimer.SetEnabled(false);
}
