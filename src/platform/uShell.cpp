#include "platform/uShell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {
TShellOpener& Opener() {
  static TShellOpener opener;
  return opener;
}

bool DesktopOpen(const QString& target) {
  const QUrl url(target, QUrl::StrictMode);
  if (url.isValid() && !url.scheme().isEmpty() && url.scheme().size() > 1)
    return QDesktopServices::openUrl(url);
  const QFileInfo fi(target);
  if (!fi.exists()) return false;
  // Starting a program is what the shell's default action does for an executable.
  if (fi.isFile() && fi.isExecutable()) return QProcess::startDetached(fi.absoluteFilePath(), {});
  return QDesktopServices::openUrl(QUrl::fromLocalFile(fi.absoluteFilePath()));
}
}  // namespace

bool ShellOpen(const QString& target) {
  if (Opener()) return Opener()(target);
  return DesktopOpen(target);
}

void SetShellOpener(TShellOpener opener) { Opener() = std::move(opener); }

bool FindTopLevelWindow(const QString& caption) {
#ifdef Q_OS_WIN
  return FindWindowW(nullptr, reinterpret_cast<LPCWSTR>(caption.utf16())) != nullptr;
#else
  Q_UNUSED(caption);
  return false;
#endif
}
