#include "storage/uQVRegistry.h"

#include <QSettings>
#include <QStringList>
#include <QVariant>
#include <QtDebug>

#include "storage/uGermanLocale.h"
#include "storage/uProgramPaths.h"

namespace {
std::unique_ptr<TQVRegIniFile>& Instance() {
  static std::unique_ptr<TQVRegIniFile> instance;
  return instance;
}

TQVRegIniFile::TWriteErrorHandler& ErrorHandler() {
  static TQVRegIniFile::TWriteErrorHandler handler;
  return handler;
}
}  // namespace

TQVRegIniFile::TQVRegIniFile()
    : settings_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                            QStringLiteral("KALNO"), QStringLiteral("Mahnbescheid"))) {
  settings_->setFallbacksEnabled(false);
}

TQVRegIniFile::~TQVRegIniFile() = default;

QString TQVRegIniFile::SectionKey(const QString& section) {
  QString s = section;
  s.replace(QLatin1Char('\\'), QLatin1Char('/'));
  return s.split(QLatin1Char('/'), Qt::SkipEmptyParts).join(QLatin1Char('/'));
}

QString TQVRegIniFile::FloatToText(double value) {
  // General format, at most 15 significant digits, German decimal comma; 12 stays "12".
  return GermanLocale().toString(value, 'g', 15);
}

bool TQVRegIniFile::ReadText(const QString& section, const QString& name, QString* text) {
  const QString key = SectionKey(section);
  const QString path = key.isEmpty() ? name : key + QLatin1Char('/') + name;
  const QVariant v = settings_->value(path);
  // Only text values count; anything else reads as missing.
  if (!v.isValid() || v.typeId() != QMetaType::QString) return false;
  *text = v.toString();
  return true;
}

void TQVRegIniFile::WriteText(const QString& section, const QString& name, const QString& text) {
  const QString key = SectionKey(section);
  const QString path = key.isEmpty() ? name : key + QLatin1Char('/') + name;
  settings_->setValue(path, text);
  settings_->sync();
  if (settings_->status() != QSettings::NoError && !reported_) {
    reported_ = true;
    const QString msg = QStringLiteral(
        "Die Einstellungen können nicht gespeichert werden (%1). Das Programm arbeitet weiter, "
        "aber Änderungen an den Einstellungen gehen beim Beenden verloren.")
                            .arg(settings_->fileName());
    if (ErrorHandler())
      ErrorHandler()(msg);
    else
      qWarning().noquote() << msg;
  }
}

bool TQVRegIniFile::ReadBool(const QString& section, const QString& name, bool def) {
  return ReadInteger(section, name, def ? 1 : 0) != 0;
}

int TQVRegIniFile::ReadInteger(const QString& section, const QString& name, int def) {
  QString text;
  if (!ReadText(section, name, &text)) return def;
  bool ok = false;
  const int v = text.toInt(&ok, 10);
  return ok ? v : def;
}

double TQVRegIniFile::ReadFloat(const QString& section, const QString& name, double def) {
  QString text;
  if (!ReadText(section, name, &text)) return def;
  bool ok = false;
  const double v = GermanLocale().toDouble(text, &ok);
  return ok && qIsFinite(v) ? v : def;
}

void TQVRegIniFile::WriteBool(const QString& section, const QString& name, bool value) {
  WriteText(section, name, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TQVRegIniFile::WriteInteger(const QString& section, const QString& name, int value) {
  WriteText(section, name, QString::number(value));
}

void TQVRegIniFile::WriteFloat(const QString& section, const QString& name, double value) {
  WriteText(section, name, FloatToText(value));
}

void TQVRegIniFile::WriteString(const QString& section, const QString& name, const QString& value) {
  WriteText(section, name, value);
}

void TQVRegIniFile::SetWriteErrorHandler(TWriteErrorHandler handler) { ErrorHandler() = std::move(handler); }

void TQVRegIniFile::ResetForTesting() { Instance().reset(); }

TQVRegIniFile& QVRegIniFile() {
  if (!Instance()) Instance() = std::make_unique<TQVRegIniFile>();
  return *Instance();
}

void WriteInstallDir() { QVRegIniFile().WriteString(QString(), QStringLiteral("InstallDir"), NativeProgramFolder()); }
