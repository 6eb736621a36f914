#include "storage/uProgramPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <vector>

#if defined(Q_OS_WIN)
#include <windows.h>
#elif defined(Q_OS_DARWIN)
#include <mach-o/dyld.h>
#endif

namespace {
// The running program's file as the system names it, also before the application object exists
// (the settings get "InstallDir" then). Empty where the system cannot say.
QString ExecutableFile() {
#if defined(Q_OS_WIN)
  std::vector<wchar_t> buf(MAX_PATH);
  while (buf.size() <= 65536) {
    const DWORD n = GetModuleFileNameW(nullptr, buf.data(), DWORD(buf.size()));
    if (n == 0) return QString();
    if (n < buf.size()) return QString::fromWCharArray(buf.data(), int(n));
    buf.resize(buf.size() * 2);  // a long path was cut
  }
  return QString();
#elif defined(Q_OS_DARWIN)
  uint32_t size = 0;
  _NSGetExecutablePath(nullptr, &size);
  std::vector<char> buf(size + 1, '\0');
  if (_NSGetExecutablePath(buf.data(), &size) != 0) return QString();
  return QFileInfo(QString::fromUtf8(buf.data())).canonicalFilePath();
#elif defined(Q_OS_LINUX)
  const QFileInfo exe(QStringLiteral("/proc/self/exe"));
  return exe.exists() ? exe.symLinkTarget() : QString();
#else
  return QString();
#endif
}

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
  // The working directory is a last resort only: a program started by a double-click on a
  // document works in the document's folder.
  const QString exe = ExecutableFile();
  if (!exe.isEmpty()) return WithSlash(QFileInfo(exe).absolutePath());
  return WithSlash(QDir::currentPath());
}

QString RuntimeFolder() { return ProgramFolder() + QStringLiteral("Mahnbescheid Runtime/"); }

void SetProgramFolderForTesting(const QString& folder) { Override() = folder; }

QString NativeProgramFolder() {
  QString s = QDir::toNativeSeparators(ProgramFolder());
  return s;
}
