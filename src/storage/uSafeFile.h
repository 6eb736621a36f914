#pragma once
#include <QByteArray>
#include <QString>
#include <functional>

// Writing a whole file so that a failure never costs the old one: the new content goes to a
// temporary file beside it (QSaveFile), is flushed to the disk, and replaces the old file in one
// step only when it is complete. A full disk, a read-only file or folder, or the program being
// killed half-way leave the old file byte for byte as it was.
//
// On failure `reason` gets a German sentence saying why, from the system's error.
bool WriteFileSafely(const QString& fileName, const QByteArray& data, QString* reason);

// Reads a whole file of at most `maxSize` bytes. A missing file is no failure: `exists` is set to
// false and `data` emptied. On failure `reason` says why (unreadable, a folder, too large).
bool ReadFileLimited(const QString& fileName, qint64 maxSize, QByteArray* data, bool* exists, QString* reason);

// German text for a system error number (errno); `fallback` when there is none for it.
QString SystemErrorText(int error, const QString& fallback);
// Why a file could not be opened for writing (QSaveFile::open), in German: a folder of that
// name, a missing or closed folder, a read-only file; else the system error as above. The
// conditions QSaveFile checks itself leave no errno, so they are looked at first.
QString OpenFailureReason(const QString& fileName, int error, const QString& qtText);

// Test seams. A writer replaces the real one (a full disk without root rights); the progress
// hook is called after every piece the real writer has put into the temporary file (a save that
// is killed half-way). Empty functions restore the defaults.
using TFileWriter = std::function<bool(const QString& fileName, const QByteArray& data, QString* reason)>;
void SetFileWriterForTesting(TFileWriter writer);
using TSaveProgressHook = std::function<void(qint64 written, qint64 total)>;
void SetSaveProgressHookForTesting(TSaveProgressHook hook);
