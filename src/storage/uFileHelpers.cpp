#include "storage/uFileHelpers.h"

#include <QFile>
#include <QFontMetricsF>
#include <QCoreApplication>
#include <QHash>
#include <memory>

#include "platform/uErrors.h"

QByteArray LoadFileToString(const QString& fileName) {
  QFile f(fileName);
  if (!f.open(QIODevice::ReadOnly))
    throw EKalnoError(QStringLiteral("Die Datei %1 kann nicht geöffnet werden: %2").arg(fileName, f.errorString()));
  QByteArray data = f.readAll();
  if (f.error() != QFileDevice::NoError)
    throw EKalnoError(QStringLiteral("Die Datei %1 kann nicht gelesen werden: %2").arg(fileName, f.errorString()));
  return data;
}

void SplitString(const QString& text, const QString& delimiter, QStringList& list) {
  list.clear();
  if (delimiter.isEmpty()) {
    list.append(text);
    return;
  }
  qsizetype start = 0;
  for (;;) {
    const qsizetype at = text.indexOf(delimiter, start, Qt::CaseSensitive);
    if (at < 0) break;
    list.append(text.mid(start, at - start));
    start = at + delimiter.size();
  }
  list.append(text.mid(start));
}

namespace {
// The 720 dpi metrics of each font, kept because the change handler measures on every keystroke.
// Emptied when the application object goes, before the font engines do.
QHash<QString, std::shared_ptr<QFontMetricsF>>& MetricsCache() {
  static QHash<QString, std::shared_ptr<QFontMetricsF>> cache;
  static bool registered = false;
  if (!registered) {
    registered = true;
    qAddPostRoutine([] { MetricsCache().clear(); });
  }
  return cache;
}

const QFontMetricsF& MetricsAt720(const QFont& font) {
  auto& cache = MetricsCache();
  const QString key = font.key();
  auto it = cache.constFind(key);
  if (it != cache.constEnd()) return **it;
  QFont f(font);
  const qreal points = font.pointSizeF() > 0 ? font.pointSizeF() : qreal(font.pixelSize()) * 72.0 / 96.0;
  f.setPixelSize(qMax(1, qRound(points * 10.0)));  // ten pixels per point = 720 dpi
  f.setHintingPreference(QFont::PreferNoHinting);
  f.setKerning(false);
  if (cache.size() > 64) cache.clear();
  auto m = std::make_shared<QFontMetricsF>(f);
  cache.insert(key, m);
  return *m;
}
}  // namespace

float TextWidthMM(const QString& text, const QFont& font) {
  if (text.isEmpty()) return 0.0f;
  const qreal px = MetricsAt720(font).horizontalAdvance(text);
  return float(px / 720.0 * 25.4);
}
