#include "help/FStartBildMahnbescheid_KALNO.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#include "platform/uClock.h"
#include "platform/uColors.h"
#include "storage/uProgramPaths.h"
#include "uVersion.h"

namespace {
QPointer<TStartbild> g_splash;
qint64 g_splashStart = 0;

// While the program starts, every box and dialog comes first: the splash stays on top of all
// windows and would hide a message the user has to answer, and the start would look hung.
class TSplashGivesWayToDialogs : public QObject {
 public:
  explicit TSplashGivesWayToDialogs(TStartbild* splash) : QObject(splash), splash_(splash) {
    qApp->installEventFilter(this);
  }
  ~TSplashGivesWayToDialogs() override { qApp->removeEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && watched != splash_ && watched->isWidgetType()) {
      const auto* w = static_cast<QWidget*>(watched);
      if (w->isWindow() && (qobject_cast<const QDialog*>(w) || w->isModal())) splash_->hide();
    }
    return false;
  }

 private:
  TStartbild* splash_;
};

// A close request while the main window waits, disabled, behind the splash would hide the window
// with the message loop not yet running: the process would go on without any window. The request
// is held back and made again once the window takes input.
class THeldCloseRequest : public QObject {
 public:
  bool Requested = false;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::Close) return false;
    event->ignore();
    Requested = true;
    return true;
  }
};

// Our own start picture for a runtime folder without one: the form's green, the program's name.
QPixmap DrawnStartPicture() {
  QPixmap pm(400, 300);
  pm.fill(ColorFromBGR(0x00DDF3FF));
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(QRect(0, 0, 400, 70), ColorFromBGR(0x008000));
  p.setPen(Qt::white);
  QFont big(QStringLiteral("Arial"));
  big.setPixelSize(34);
  big.setBold(true);
  p.setFont(big);
  p.drawText(QRect(20, 0, 360, 70), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("KALNO"));
  p.setPen(ColorFromBGR(0x000080));
  QFont mid(QStringLiteral("Arial"));
  mid.setPixelSize(22);
  mid.setBold(true);
  p.setFont(mid);
  p.drawText(QRect(20, 95, 360, 60), Qt::AlignLeft | Qt::TextWordWrap,
             QStringLiteral("Beschriftungs-Software für PC-Mahnbescheide"));
  // A sheet of the form, slightly turned: white with ruled lines.
  p.save();
  p.translate(300, 215);
  p.rotate(-6);
  p.setPen(QPen(QColor(120, 120, 120), 1));
  p.setBrush(Qt::white);
  p.drawRect(-45, -60, 90, 120);
  p.setPen(QPen(ColorFromBGR(0x008000), 1));
  for (int y = -45; y < 55; y += 10) p.drawLine(-35, y, 35, y);
  p.restore();
  QFont small(QStringLiteral("Arial"));
  small.setPixelSize(12);
  p.setFont(small);
  p.setPen(QColor(60, 60, 60));
  p.drawText(QRect(20, 260, 240, 24), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("Version " KALNO_VERSION_STRING " wird gestartet ..."));
  return pm;
}
}  // namespace

void UseStatusBarFont(QFont& font) {
  // The desktop's font for status bars; Qt knows it per widget class.
  QFont f = QApplication::font("QStatusBar");
  f.setPointSize(8);
  font = f;
}

QPixmap StartPicture() {
  // A JPEG: it decodes in a quarter of the time a PNG of the same picture takes, and the start
  // waits for it before anything else is shown.
  const QString file = RuntimeFolder() + QStringLiteral("images/Splash.jpg");
  if (QFileInfo(file).isFile()) {
    QPixmap pm(file);
    if (!pm.isNull()) return pm.size() == QSize(400, 300) ? pm : pm.scaled(400, 300, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
  return DrawnStartPicture();
}

TStartbild::TStartbild(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setWindowTitle(QStringLiteral("Startbild"));
  setObjectName(QStringLiteral("Startbild"));
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFixedSize(400, 300);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, ColorFromBGR(0x00DDF3FF));
  setPalette(pal);
  setAutoFillBackground(true);
  QFont f = font();
  UseStatusBarFont(f);
  setFont(f);
  Image1 = new QLabel(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(0, 0, 400, 300);
  Image1->setPixmap(StartPicture());
  if (const QScreen* s = QGuiApplication::primaryScreen()) {
    const QRect g = s->availableGeometry();
    move(g.x() + (g.width() - 400) / 2, g.y() + (g.height() - 300) / 2);
  }
}

TStartbild* Startbild() { return g_splash.data(); }

void ShowSplash() {
  g_splashStart = Clock().NowMs();
  delete g_splash.data();
  g_splash = new TStartbild();
  new TSplashGivesWayToDialogs(g_splash);
  g_splash->show();
  g_splash->repaint();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CloseSplash(QWidget* mainWindow) {
  // Disabling takes the focus away; the control that had it gets it back at the end.
  QPointer<QWidget> active = mainWindow ? mainWindow->focusWidget() : nullptr;
  THeldCloseRequest heldClose;
  if (mainWindow) {
    mainWindow->installEventFilter(&heldClose);
    mainWindow->setEnabled(false);
    mainWindow->show();
  }
  // The tick difference taken in 32 bits, as the tick counter of the desktop would wrap.
  auto elapsed = [] { return quint32(quint64(Clock().NowMs()) - quint64(g_splashStart)); };
  // Waiting sleeps a few milliseconds between rounds instead of spinning a core for two seconds.
  while (elapsed() < quint32(kSplashMinimumMs)) {
    Clock().ProcessEvents();
    const quint32 e = elapsed();
    if (e < quint32(kSplashMinimumMs)) Clock().SleepMs(int(qMin<quint32>(10, quint32(kSplashMinimumMs) - e)));
  }
  if (mainWindow) {
    mainWindow->removeEventFilter(&heldClose);
    mainWindow->setEnabled(true);
    mainWindow->activateWindow();
    if (QWidget* f = mainWindow->focusWidget()) f->clearFocus();
    if (active) active->setFocus(Qt::OtherFocusReason);
    mainWindow->repaint();
    // Made once the message loop runs, so closing ends the program as any other close does
    // (the unsaved-changes question included).
    if (heldClose.Requested) QTimer::singleShot(0, mainWindow, [mainWindow] { mainWindow->close(); });
  }
  delete g_splash.data();
  g_splash = nullptr;
}
