#include "help/FInfoFensterKALNO.h"

#include <QApplication>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include "help/uFileInfo.h"
#include "platform/UserDialogs.h"
#include "platform/uColors.h"
#include "platform/uShell.h"
#include "storage/uProgramPaths.h"

namespace {
QFrame* Line(QWidget* parent, int y, int width) {
  auto* f = new QFrame(parent);
  f->setFrameShape(QFrame::HLine);
  f->setFrameShadow(QFrame::Sunken);
  f->setGeometry(0, y, width, 2);
  return f;
}

QLabel* Text(QWidget* parent, const QString& name, const QString& text, int x, int y) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(name);
  l->adjustSize();
  l->move(x, y);
  return l;
}

QPixmap DrawnAboutPicture() {
  QPixmap pm(400, 300);
  pm.fill(Qt::white);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, 0, 300);
  g.setColorAt(0, ColorFromBGR(0x00DDF3FF));
  g.setColorAt(1, Qt::white);
  p.fillRect(pm.rect(), g);
  p.fillRect(QRect(0, 0, 400, 8), ColorFromBGR(0x008000));
  QFont big(QStringLiteral("Arial"));
  big.setPixelSize(40);
  big.setBold(true);
  p.setFont(big);
  p.setPen(ColorFromBGR(0x008000));
  p.drawText(QRect(0, 60, 400, 60), Qt::AlignCenter, QStringLiteral("KALNO"));
  QFont mid(QStringLiteral("Arial"));
  mid.setPixelSize(18);
  p.setFont(mid);
  p.setPen(QColor(40, 40, 40));
  p.drawText(QRect(20, 130, 360, 60), Qt::AlignCenter | Qt::TextWordWrap,
             QStringLiteral("Beschriftungs-Software für PC-Mahnbescheide"));
  p.setPen(QColor(120, 120, 120));
  mid.setPixelSize(13);
  p.setFont(mid);
  p.drawText(QRect(20, 220, 360, 40), Qt::AlignCenter | Qt::TextWordWrap,
             QStringLiteral("Antrag auf Erlass eines Mahnbescheides"));
  return pm;
}
}  // namespace

QString ProgrammingHomepage() { return QStringLiteral("https://www.kalno.de/"); }

QPixmap AboutPicture() {
  const QString file = RuntimeFolder() + QStringLiteral("images/About.png");
  if (QFileInfo(file).isFile()) {
    QPixmap pm(file);
    if (!pm.isNull()) return pm.size() == QSize(400, 300) ? pm : pm.scaled(400, 300, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
  return DrawnAboutPicture();
}

TDlgInfo::TDlgInfo(QWidget* parent, const TFileInfo* info) : QDialog(parent) {
  setObjectName(QStringLiteral("DlgInfo"));
  setWindowTitle(QStringLiteral("Infos"));
  setWindowFlags((windowFlags() | Qt::MSWindowsFixedSizeDialogHint) & ~Qt::WindowContextHelpButtonHint);
  setFixedSize(400, 467);

  Image1 = new QLabel(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(1, 1, 400, 300);
  Image1->setPixmap(AboutPicture());
  Bevel1 = new QFrame(this);
  Bevel1->setObjectName(QStringLiteral("Bevel1"));
  Bevel1->setFrameShape(QFrame::Box);
  Bevel1->setFrameShadow(QFrame::Sunken);
  Bevel1->setGeometry(0, 0, 402, 301);
  Bevel1->setAttribute(Qt::WA_TransparentForMouseEvents);

  Label1 = Text(this, QStringLiteral("Label1"), QStringLiteral("Programmierung:"), 15, 314);
  Label4 = Text(this, QStringLiteral("Label4"), QStringLiteral("KALNO Software-Entwicklung"), 103, 315);
  Label5 = Text(this, QStringLiteral("Label5"), QStringLiteral("Abteilung Formular-Software"), 103, 330);
  Label6 = Text(this, QStringLiteral("Label6"), QStringLiteral("Deutschland"), 103, 354);
  lblHomepage = new QLabel(this);
  lblHomepage->setObjectName(QStringLiteral("lblHomepage"));
  lblHomepage->setText(QStringLiteral("<a href=\"%1\" style=\"color:#0000ff; text-decoration:underline\">%2</a>")
                           .arg(ProgrammingHomepage(), QStringLiteral("www.kalno.de")));
  lblHomepage->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  lblHomepage->setOpenExternalLinks(false);
  lblHomepage->setCursor(Qt::PointingHandCursor);
  lblHomepage->adjustSize();
  lblHomepage->move(276, 354);
  connect(lblHomepage, &QLabel::linkActivated, this, [this](const QString&) { lblHomepageClick(); });

  Bevel3 = Line(this, 381, 400);
  Bevel3->setObjectName(QStringLiteral("Bevel3"));
  Version = Text(this, QStringLiteral("Version"), QString(), 15, 394);
  Bevel2 = Line(this, 418, 400);
  Bevel2->setObjectName(QStringLiteral("Bevel2"));

  OKButton = new QPushButton(QStringLiteral("OK"), this);
  OKButton->setObjectName(QStringLiteral("OKButton"));
  OKButton->setGeometry(157, 429, 77, 27);
  OKButton->setDefault(true);
  OKButton->setAutoDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

  FormCreate(info ? *info : FileInfo());

  if (const QScreen* s = QGuiApplication::primaryScreen()) {
    const QRect g = s->availableGeometry();
    move(g.x() + (g.width() - width()) / 2, g.y() + (g.height() - height()) / 2);
  }
}

void TDlgInfo::FormCreate(const TFileInfo& info) {
  // Without a version the line says so instead of showing made-up numbers.
  if (const TProjVersion* v = info.FixedFileVersion())
    Version->setText(VersionLine(*v));
  else
    Version->setText(QStringLiteral("Version unbekannt"));
  Version->adjustSize();
  Image1->lower();
}

void TDlgInfo::lblHomepageClick() {
  if (!ShellOpen(ProgrammingHomepage()))
    Dialogs().ShowPlain(QStringLiteral("Der Internet-Browser konnte nicht geöffnet werden"));
}

void ShowAbout() {
  TDlgInfo dlg(nullptr);
  Dialogs().ExecDialog(dlg);
}
