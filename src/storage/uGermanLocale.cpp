#include "storage/uGermanLocale.h"

const QLocale& GermanLocale() {
  static const QLocale german = [] {
    QLocale l(QLocale::German, QLocale::Germany);
    // "1.500" is no number on our forms: thousands separators are neither written nor read.
    l.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return l;
  }();
  return german;
}

bool ParseDecimal(const QString& text, double* value) {
  QString t = text.trimmed();
  if (t.isEmpty() || t.count(QLatin1Char(',')) + t.count(QLatin1Char('.')) > 1) return false;
  t.replace(QLatin1Char(','), QLatin1Char('.'));
  bool ok = false;
  const double v = QLocale::c().toDouble(t, &ok);
  if (!ok || !qIsFinite(v)) return false;
  *value = v;
  return true;
}

bool ParseInteger(const QString& text, int* value) {
  bool ok = false;
  const int v = QLocale::c().toInt(text.trimmed(), &ok);
  if (!ok) return false;
  *value = v;
  return true;
}
