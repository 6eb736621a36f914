#pragma once
#include <QByteArray>
#include <QFont>
#include <QString>
#include <QStringList>

// The file's bytes, unconverted. Throws EKalnoError naming the file and the system's reason when
// it cannot be read; never returns part of a file.
QByteArray LoadFileToString(const QString& fileName);

// Clears `list` and fills it with the pieces of `text` between occurrences of `delimiter`
// (case-sensitive). An empty delimiter is never found.
void SplitString(const QString& text, const QString& delimiter, QStringList& list);

// Width of `text` in `font` in millimetres, measured at 720 dpi so that it does not depend on the
// screen.
float TextWidthMM(const QString& text, const QFont& font);
