#include "app/uFormPosition.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "storage/uQVRegistry.h"

namespace {
const QString kState = QStringLiteral("WindowState");
const QString kLeft = QStringLiteral("Left");
const QString kTop = QStringLiteral("Top");
const QString kWidth = QStringLiteral("Width");
const QString kHeight = QStringLiteral("Height");

QSize ScreenOf(const QWidget* window) {
  const QScreen* s = window->screen();
  if (!s) s = QGuiApplication::primaryScreen();
  return s ? s->geometry().size() : QSize(1024, 768);
}
}  // namespace

int FormWindowState(const QWidget* window) {
  const Qt::WindowStates st = window->windowState();
  if (st & Qt::WindowMinimized) return fwsMinimized;
  if (st & (Qt::WindowMaximized | Qt::WindowFullScreen)) return fwsMaximized;
  return fwsNormal;
}

QRect ClampFormRect(const QRect& stored, const QSize& screen) {
  int l = stored.x(), t = stored.y(), w = stored.width(), h = stored.height();
  if (w > screen.width()) w = screen.width();
  if (h > screen.height()) h = screen.height();
  if (l + w >= screen.width()) l = screen.width() - w;
  if (t + h >= screen.height()) t = screen.height() - h;
  if (l < 0) l = 0;
  if (t < 0) t = 0;
  return QRect(l, t, w, h);
}

void SaveFormPosition(QWidget* window, const QString& section) {
  TQVRegIniFile& reg = QVRegIniFile();
  const int state = FormWindowState(window);
  reg.WriteInteger(section, kState, state);
  if (state == fwsMaximized) return;
  // A minimized window still knows where it lies when restored.
  const QRect r = window->isWindow() && state == fwsMinimized ? window->normalGeometry() : QRect();
  const QPoint pos = r.isValid() ? r.topLeft() : window->pos();
  const QSize size = r.isValid() ? r.size() : window->size();
  reg.WriteInteger(section, kLeft, pos.x());
  reg.WriteInteger(section, kTop, pos.y());
  reg.WriteInteger(section, kWidth, size.width());
  reg.WriteInteger(section, kHeight, size.height());
}

void RestoreFormPosition(QWidget* window, const QString& section, const QSize& screen) {
  TQVRegIniFile& reg = QVRegIniFile();
  const int state = reg.ReadInteger(section, kState, FormWindowState(window));
  if (state == fwsMinimized) {
    window->setWindowState(Qt::WindowMinimized);
    return;
  }
  if (state == fwsMaximized) {
    window->setWindowState(Qt::WindowMaximized);
    return;
  }
  if (state != fwsNormal) return;  // an unknown state leaves the window as it is
  window->setWindowState(Qt::WindowNoState);
  const QRect stored(reg.ReadInteger(section, kLeft, window->x()), reg.ReadInteger(section, kTop, window->y()),
                     reg.ReadInteger(section, kWidth, window->width()),
                     reg.ReadInteger(section, kHeight, window->height()));
  // A stored size of zero or less is a damaged value, not a wish for an invisible window.
  QRect sized = stored;
  if (sized.width() <= 0) sized.setWidth(window->width());
  if (sized.height() <= 0) sized.setHeight(window->height());
  const QRect r = ClampFormRect(sized, screen.isValid() ? screen : ScreenOf(window));
  window->move(r.topLeft());
  window->resize(r.size());
}
