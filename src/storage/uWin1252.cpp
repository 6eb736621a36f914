#include "storage/uWin1252.h"

namespace {
const char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};
}  // namespace

QChar Win1252ToUnicode(unsigned char b) {
  if (b >= 0x80 && b <= 0x9F) return QChar(kHigh[b - 0x80]);
  return QChar(char16_t(b));
}

int UnicodeToWin1252(QChar c) {
  const char16_t u = c.unicode();
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return int(u);
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == u) return 0x80 + i;
  return -1;
}

QString FromWin1252(const QByteArray& bytes) {
  QString out(bytes.size(), Qt::Uninitialized);
  QChar* d = out.data();
  for (qsizetype i = 0; i < bytes.size(); ++i) d[i] = Win1252ToUnicode(static_cast<unsigned char>(bytes[i]));
  return out;
}

QByteArray ToWin1252(const QString& text) {
  QByteArray out(text.size(), Qt::Uninitialized);
  char* d = out.data();
  for (qsizetype i = 0; i < text.size(); ++i) {
    const int b = UnicodeToWin1252(text[i]);
    d[i] = b < 0 ? '?' : char(b);
  }
  return out;
}

bool IsWin1252Text(const QString& text) {
  for (QChar c : text)
    if (UnicodeToWin1252(c) < 0) return false;
  return true;
}

QString StripNonWin1252(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (QChar c : text)
    if (UnicodeToWin1252(c) >= 0) out.append(c);
  return out;
}
