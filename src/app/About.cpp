#include "app/About.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/StdCtrls.h"
#include "app/Texts.h"

namespace {

constexpr int ModalResultOk = 1;
constexpr int MinimumWidth = 265;
constexpr int MinimumHeight = 217;

// The program's icon: a temperature probe on a current loop.
QPixmap ProgramPixmap() {
  QPixmap pixmap(80, 80);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient back(0, 0, 80, 80);
  back.setColorAt(0, QColor(40, 70, 130));
  back.setColorAt(1, QColor(15, 30, 70));
  p.setPen(Qt::NoPen);
  p.setBrush(back);
  p.drawRoundedRect(QRectF(2, 2, 76, 76), 12, 12);
  // the loop
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(240, 200, 60), 3));
  p.drawRoundedRect(QRectF(12, 18, 56, 44), 8, 8);
  // the probe: stem and bulb
  p.setPen(QPen(Qt::white, 1.5));
  p.setBrush(Qt::white);
  p.drawRoundedRect(QRectF(36, 10, 8, 44), 4, 4);
  p.setBrush(QColor(220, 40, 40));
  p.drawEllipse(QPointF(40, 60), 8, 8);
  p.drawRect(QRectF(38.5, 30, 3, 26));
  return pixmap;
}

TLabel* NewLabel(QWidget* parent, const char* name) {
  auto* label = new TLabel(parent);
  label->setObjectName(name);
  return label;
}

}  // namespace

TAboutBox::TAboutBox(TAppContext& app) : TForm(app, "AboutBox") {
  QFont heading(QStringLiteral("Times New Roman"));
  heading.setStyleHint(QFont::Serif);
  heading.setPixelSize(21);
  heading.setBold(true);
  Label1 = new QLabel(QStringLiteral("Ost"), this);
  Label1->setObjectName("Label1");
  Label1->setFont(heading);
  Label2 = new QLabel(QStringLiteral("rel"), this);
  Label2->setObjectName("Label2");
  Label2->setFont(heading);
  Label2->setStyleSheet(QStringLiteral("color: red"));

  Panel1 = new QFrame(this);
  Panel1->setObjectName("Panel1");
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  ProgramIcon = new QLabel(Panel1);
  ProgramIcon->setObjectName("ProgramIcon");
  ProgramIcon->setPixmap(ProgramPixmap());
  ProgramIcon->setFixedSize(80, 80);
  ProductName = NewLabel(Panel1, "ProductName");
  QFont bold = ProductName->font();
  bold.setBold(true);
  ProductName->setFont(bold);
  Version = NewLabel(Panel1, "Version");
  Programmeur = NewLabel(Panel1, "Programmeur");
  Systeme = NewLabel(Panel1, "Systeme");
  VersionWin = NewLabel(Panel1, "VersionWin");

  OKButton = new QPushButton(QStringLiteral("OK"), this);
  OKButton->setObjectName("OKButton");
  OKButton->setDefault(true);
  connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(this); });

  auto* titleRow = new QHBoxLayout;
  titleRow->setSpacing(0);
  titleRow->addStretch();
  titleRow->addWidget(Label1);
  titleRow->addWidget(Label2);
  titleRow->addStretch();
  auto* product = new QHBoxLayout;
  product->addWidget(ProgramIcon, 0, Qt::AlignTop);
  auto* productLines = new QVBoxLayout;
  productLines->addWidget(ProductName);
  productLines->addWidget(Version);
  productLines->addStretch();
  product->addLayout(productLines, 1);
  auto* panel = new QVBoxLayout(Panel1);
  panel->addLayout(product);
  panel->addWidget(Programmeur);
  panel->addWidget(Systeme);
  panel->addWidget(VersionWin);
  auto* buttonRow = new QHBoxLayout;
  buttonRow->addStretch();
  buttonRow->addWidget(OKButton);
  buttonRow->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(titleRow);
  layout->addWidget(Panel1, 1);
  layout->addLayout(buttonRow);
  setMinimumSize(MinimumWidth, MinimumHeight);
}

void TAboutBox::FormShow() {
  const TLangue langue = Langue();
  SetCaption(AboutCaption(langue));
  ProductName->SetCaption(AboutProductName(langue));
  Version->SetCaption(AboutVersion());
  Programmeur->SetCaption(AboutCredit(langue));
  if (const std::optional<TSystemRecord> system = SystemInfo ? SystemInfo() : std::nullopt) {
    Systeme->SetCaption(AboutSystemLine(*system));
    VersionWin->SetCaption(AboutSystemVersionLine(*system));
  }
  // The lines are known only now: the window widens so that each one shows whole.
  Panel1->updateGeometry();
  setMinimumSize(QSize(MinimumWidth, MinimumHeight).expandedTo(minimumSizeHint()));
}

void TAboutBox::OKButtonClick(TObject*) {
  ModalResult = ModalResultOk;
  Close();
}
