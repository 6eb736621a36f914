#include "storage/uSafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {
TFileWriter& InjectedWriter() {
  static TFileWriter writer;
  return writer;
}
TSaveProgressHook& ProgressHook() {
  static TSaveProgressHook hook;
  return hook;
}

// The last system error, where the platform keeps it in errno; Qt's own text elsewhere.
int LastErrno() {
#ifdef Q_OS_UNIX
  return errno;
#else
  return 0;
#endif
}

constexpr qint64 kPiece = 64 * 1024;
}  // namespace

QString OpenFailureReason(const QString& fileName, int error, const QString& qtText) {
  const QFileInfo file(fileName);
  const QFileInfo folder(file.absolutePath());
  if (file.isDir()) return QStringLiteral("Unter diesem Namen gibt es bereits einen Ordner.");
  if (!folder.exists()) return QStringLiteral("Der Ordner %1 existiert nicht.").arg(QDir::toNativeSeparators(folder.filePath()));
  if (file.exists() && !file.isWritable()) return QStringLiteral("Die Datei ist schreibgeschützt.");
  if (!folder.isWritable())
    return QStringLiteral("In den Ordner %1 darf nicht geschrieben werden.").arg(QDir::toNativeSeparators(folder.filePath()));
  return SystemErrorText(error, qtText);
}

QString SystemErrorText(int error, const QString& fallback) {
#ifdef Q_OS_UNIX
  switch (error) {
    case EACCES:
    case EPERM: return QStringLiteral("Der Zugriff wurde verweigert.");
    case EROFS: return QStringLiteral("Der Datenträger ist schreibgeschützt.");
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
      return QStringLiteral("Auf dem Datenträger ist nicht genug Platz frei.");
    case ENOENT: return QStringLiteral("Die Datei oder der Ordner existiert nicht.");
    case EISDIR: return QStringLiteral("Unter diesem Namen gibt es bereits einen Ordner.");
    case ENOTDIR: return QStringLiteral("Ein Teil des Pfades ist kein Ordner.");
    case ENAMETOOLONG: return QStringLiteral("Der Dateiname ist zu lang.");
    case EFBIG: return QStringLiteral("Die Datei wäre zu groß.");
    case EIO: return QStringLiteral("Beim Zugriff auf den Datenträger ist ein Fehler aufgetreten.");
    case EBUSY:
    case ETXTBSY: return QStringLiteral("Die Datei wird gerade verwendet.");
    case EMFILE:
    case ENFILE: return QStringLiteral("Es sind zu viele Dateien geöffnet.");
    default: break;
  }
#endif
  if (fallback.isEmpty()) return QStringLiteral("Unbekannter Fehler.");
  return QStringLiteral("Systemmeldung: %1").arg(fallback);
}

void SetFileWriterForTesting(TFileWriter writer) { InjectedWriter() = std::move(writer); }
void SetSaveProgressHookForTesting(TSaveProgressHook hook) { ProgressHook() = std::move(hook); }

bool WriteFileSafely(const QString& fileName, const QByteArray& data, QString* reason) {
  QString dummy;
  if (!reason) reason = &dummy;
  if (InjectedWriter()) return InjectedWriter()(fileName, data, reason);

  if (QFileInfo(fileName).isDir()) {
    *reason = QStringLiteral("Unter diesem Namen gibt es bereits einen Ordner.");
    return false;
  }
  QSaveFile file(fileName);
  errno = 0;
  if (!file.open(QIODevice::WriteOnly)) {
    *reason = OpenFailureReason(fileName, LastErrno(), file.errorString());
    return false;
  }
  // Written in pieces so that a progress hook can watch; the device's buffer is skipped by
  // flushing each piece, so a full disk shows at the piece that does not fit.
  const qint64 total = data.size();
  qint64 written = 0;
  while (written < total) {
    const qint64 n = qMin(kPiece, total - written);
    errno = 0;
    if (file.write(data.constData() + written, n) != n || !file.flush()) {
      *reason = SystemErrorText(LastErrno(), file.errorString());
      file.cancelWriting();
      return false;
    }
    written += n;
    if (ProgressHook()) ProgressHook()(written, total);
  }
  errno = 0;
  if (!file.flush()) {
    *reason = SystemErrorText(LastErrno(), file.errorString());
    file.cancelWriting();
    return false;
  }
#ifdef Q_OS_UNIX
  // On the disk before it replaces the old file, so a power cut leaves one or the other.
  if (::fsync(file.handle()) != 0) {
    *reason = SystemErrorText(LastErrno(), file.errorString());
    file.cancelWriting();
    return false;
  }
#endif
  errno = 0;
  if (!file.commit()) {
    *reason = SystemErrorText(LastErrno(), file.errorString());
    return false;
  }
  return true;
}

bool ReadFileLimited(const QString& fileName, qint64 maxSize, QByteArray* data, bool* exists, QString* reason) {
  data->clear();
  const QFileInfo info(fileName);
  *exists = info.exists();
  if (!*exists) {
    // A dangling link names a file that cannot be read, not a new document.
    if (info.isSymLink()) {
      *exists = true;
      *reason = QStringLiteral("Die Verknüpfung zeigt auf keine Datei.");
      return false;
    }
    return true;
  }
  if (info.isDir()) {
    *reason = QStringLiteral("Unter diesem Namen gibt es einen Ordner, keine Datei.");
    return false;
  }
  // A pipe or a device would block or never end.
  if (!info.isFile()) {
    *reason = QStringLiteral("Das ist keine gewöhnliche Datei.");
    return false;
  }
  QFile f(fileName);
  errno = 0;
  if (!f.open(QIODevice::ReadOnly)) {
    *reason = SystemErrorText(LastErrno(), f.errorString());
    return false;
  }
  if (f.size() > maxSize) {
    *reason = QStringLiteral("Die Datei ist mit %1 MB zu groß für einen Mahnbescheid.").arg(f.size() / (1024 * 1024));
    return false;
  }
  // read() up to one byte past the limit: a device that reports no size (a pipe) is limited too.
  errno = 0;
  *data = f.read(maxSize + 1);
  if (f.error() != QFileDevice::NoError) {
    *reason = SystemErrorText(LastErrno(), f.errorString());
    data->clear();
    return false;
  }
  if (data->size() > maxSize) {
    *reason = QStringLiteral("Die Datei ist zu groß für einen Mahnbescheid.");
    data->clear();
    return false;
  }
  return true;
}
