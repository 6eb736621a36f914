#pragma once
#include <QByteArray>
#include <QString>

// Windows-1252, the 8-bit character set of field values and documents. The five bytes the code
// page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same value,
// so every byte survives a round trip.

// The character of byte b.
QChar Win1252ToUnicode(unsigned char b);
// The byte of c, or -1 when Windows-1252 cannot hold it.
int UnicodeToWin1252(QChar c);

QString FromWin1252(const QByteArray& bytes);
// Characters Windows-1252 cannot hold become '?'; check with IsWin1252Text first where that matters.
QByteArray ToWin1252(const QString& text);
bool IsWin1252Text(const QString& text);
// The text without the characters Windows-1252 cannot hold.
QString StripNonWin1252(const QString& text);
