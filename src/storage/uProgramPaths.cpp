#include "storage/uProgramPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
QString& Override() {
  static QString folder;
  return folder;
}

QString WithSlash(QString s) {
  if (!s.endsWith(QLatin1Char('/'))) s += QLatin1Char('/');
  return s;
}
}  // namespace

QString ProgramFolder() {
  if (!Override().isEmpty()) return WithSlash(Override());
  if (QCoreApplication::instance()) return WithSlash(QCoreApplication::applicationDirPath());
#ifdef Q_OS_LINUX
  const QFileInfo exe(QStringLiteral("/proc/self/exe"));
  if (exe.exists()) return WithSlash(QFileInfo(exe.symLinkTarget()).absolutePath());
#endif
  return WithSlash(QDir::currentPath());
}

QString RuntimeFolder() { return ProgramFolder() + QStringLiteral("Mahnbescheid Runtime/"); }

void SetProgramFolderForTesting(const QString& folder) { Override() = folder; }

QString NativeProgramFolder() {
  QString s = QDir::toNativeSeparators(ProgramFolder());
  return s;
}
