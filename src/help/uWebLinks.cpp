#include "help/uWebLinks.h"

#include <QApplication>
#include <QCursor>
#include <QUrl>

#include "platform/UserDialogs.h"
#include "platform/uShell.h"

namespace {
class TWaitCursor {
 public:
  TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~TWaitCursor() { Restore(); }
  void Restore() {
    if (active_) QApplication::restoreOverrideCursor();
    active_ = false;
  }

 private:
  bool active_ = true;
};
}  // namespace

QString KalnoWebBase() { return QStringLiteral("https://www.kalno.de/"); }
QString KalnoManualAddress() { return KalnoWebBase() + QStringLiteral("manual.pdf"); }
QString KalnoHomepageAddress() { return KalnoWebBase(); }
QString KalnoFormsAddress() { return KalnoWebBase() + QStringLiteral("formulare"); }

bool IsBrowserAddress(const QString& target) {
  const QUrl url(target.trimmed(), QUrl::StrictMode);
  if (!url.isValid()) return false;
  const QString scheme = url.scheme().toLower();
  if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) return false;
  return !url.host().isEmpty();
}

TLinkRoute RouteForLinkTarget(const QString& target) {
  if (IsBrowserAddress(target)) return TLinkRoute::Browser;
  const QUrl url(target.trimmed());
  // A malformed target or one with any scheme (a drive letter included) is not followed.
  if (!url.isValid() || !url.scheme().isEmpty()) return TLinkRoute::Nothing;
  return TLinkRoute::Panel;
}

void HandleLinkClick(const QString& target, bool& handled) {
  switch (RouteForLinkTarget(target)) {
    case TLinkRoute::Browser:
      ShellOpen(target.trimmed());  // a link that fails to open is silent
      handled = true;
      break;
    case TLinkRoute::Nothing:
      handled = true;
      break;
    case TLinkRoute::Panel:
      handled = false;
      break;
  }
}

bool OpenURL(const QString& address) {
  TWaitCursor wait;
  const bool ok = IsBrowserAddress(address) && ShellOpen(address.trimmed());
  // The hour-glass goes before the box: the user is asked to act, not to wait.
  wait.Restore();
  if (!ok) Dialogs().ShowPlain(QStringLiteral("Der Internet-Browser konnte nicht geöffnet werden"));
  return ok;
}
