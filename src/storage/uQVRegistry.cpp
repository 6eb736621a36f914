#include "storage/uQVRegistry.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringDecoder>
#include <QStringList>
#include <utility>
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

namespace {
std::unique_ptr<QSettings> OpenSettings() {
  auto s = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("KALNO"),
                                       QStringLiteral("Mahnbescheid"));
  s->setFallbacksEnabled(false);
  return s;
}

// Whether the settings file exists but is nothing the store can read. QSettings would replace
// such a file with its own few values at the next write, and everything in it would be lost: a
// file it cannot open, one with NUL bytes or bytes that are no UTF-8, and one with lines that
// are neither section headers, entries, comments nor blank.
bool UnreadableSettingsFile(const QString& fileName) {
  const QFileInfo info(fileName);
  if (!info.exists() || !info.isFile()) return false;
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) return true;
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError || bytes.contains('\0')) return true;
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString text = utf8.decode(bytes);
  if (utf8.hasError()) return true;
  for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
    line = line.trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#'))) continue;
    if (line.startsWith(QLatin1Char('['))) {
      if (!line.contains(QLatin1Char(']'))) return true;
      continue;
    }
    if (!line.contains(QLatin1Char('='))) return true;
  }
  return false;
}

// A free name beside the file: "<name>.corrupt-<date>", numbered when that is taken.
QString AsideName(const QString& fileName) {
  const QString base = fileName + QStringLiteral(".corrupt-") + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
  QString name = base;
  for (int n = 2; QFileInfo::exists(name); ++n) name = base + QStringLiteral("-%1").arg(n);
  return name;
}

QString Shown(const QString& path) { return QDir::toNativeSeparators(path); }

// The settings file's own text of the entry at `path` ("Section/Name"; a name alone lies in
// [General]), as written there. QSettings takes an unquoted comma in an INI file as a list
// separator, so a hand-written "OffsetX=1,5" would not read as the text it is.
bool IniEntryText(const QString& fileName, const QString& path, QString* text) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return false;
  const qsizetype slash = path.indexOf(QLatin1Char('/'));
  const QString section = slash < 0 ? QStringLiteral("General") : path.left(slash);
  const QString name = slash < 0 ? path : path.mid(slash + 1).replace(QLatin1Char('/'), QLatin1Char('\\'));
  const QString all = QString::fromUtf8(file.readAll());
  bool inSection = false;
  for (QStringView line : QStringView(all).split(QLatin1Char('\n'))) {
    line = line.trimmed();
    if (line.startsWith(QLatin1Char('['))) {
      const qsizetype close = line.indexOf(QLatin1Char(']'));
      inSection = close > 0 && line.mid(1, close - 1).trimmed() == section;
      continue;
    }
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (!inSection || eq <= 0 || line.left(eq).trimmed() != name) continue;
    *text = line.mid(eq + 1).trimmed().toString();
    return true;
  }
  return false;
}
}  // namespace

TQVRegIniFile::TQVRegIniFile() : settings_(OpenSettings()) {
  const QString fileName = settings_->fileName();
  if (!UnreadableSettingsFile(fileName)) return;
  // Moved aside before anything is written, so it is kept as it was; the program starts with
  // the defaults. Where it cannot be moved, nothing is ever written to it.
  settings_.reset();
  const QString aside = AsideName(fileName);
  if (QFile::rename(fileName, aside)) {
    settings_ = OpenSettings();
    Report(QStringLiteral("Die Einstellungen in %1 können nicht gelesen werden. Die Datei bleibt als %2 "
                          "erhalten; das Programm beginnt mit den Voreinstellungen.")
               .arg(Shown(fileName), Shown(aside)));
  } else {
    writeReported_ = true;  // this message says it already
    Report(QStringLiteral("Die Einstellungen in %1 können nicht gelesen werden. Das Programm beginnt mit den "
                          "Voreinstellungen und lässt die Datei unverändert; Änderungen an den Einstellungen "
                          "gehen beim Beenden verloren.")
               .arg(Shown(fileName)));
  }
}

void TQVRegIniFile::Report(const QString& message) {
  // Before a handler is installed (the first write comes before the application object), the
  // message waits for it, so the user is told once it can be.
  if (ErrorHandler())
    ErrorHandler()(message);
  else {
    qWarning().noquote() << message;
    pending_ << message;
  }
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
  if (!settings_) {
    auto it = memory_.constFind(path);
    if (it == memory_.constEnd()) return false;
    *text = *it;
    return true;
  }
  const QVariant v = settings_->value(path);
#if !defined(Q_OS_WIN) && !defined(Q_OS_DARWIN)
  // Settings are an INI file here: a list is a text with a comma in it.
  if (v.typeId() == QMetaType::QStringList) return IniEntryText(settings_->fileName(), path, text);
#endif
  // Only text values count; anything else reads as missing.
  if (!v.isValid() || v.typeId() != QMetaType::QString) return false;
  *text = v.toString();
  return true;
}

void TQVRegIniFile::WriteText(const QString& section, const QString& name, const QString& text) {
  const QString key = SectionKey(section);
  const QString path = key.isEmpty() ? name : key + QLatin1Char('/') + name;
  if (!settings_) {
    memory_.insert(path, text);
    return;
  }
#if !defined(Q_OS_WIN) && !defined(Q_OS_DARWIN)
  // Writing rewrites the whole file, lists as "1, 5": hand-written texts with a comma are kept as
  // the texts they are, in quotation marks.
  for (const QString& key : settings_->allKeys()) {
    QString own;
    if (key != path && settings_->value(key).typeId() == QMetaType::QStringList &&
        IniEntryText(settings_->fileName(), key, &own))
      settings_->setValue(key, own);
  }
#endif
  settings_->setValue(path, text);
  settings_->sync();
  if (settings_->status() != QSettings::NoError && !writeReported_) {
    writeReported_ = true;
    Report(QStringLiteral("Die Einstellungen können nicht gespeichert werden (%1). Das Programm arbeitet weiter, "
                          "aber Änderungen an den Einstellungen gehen beim Beenden verloren.")
               .arg(Shown(settings_->fileName())));
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

void TQVRegIniFile::SetWriteErrorHandler(TWriteErrorHandler handler) {
  ErrorHandler() = std::move(handler);
  if (!ErrorHandler() || !Instance()) return;
  const QStringList pending = std::exchange(Instance()->pending_, QStringList());
  for (const QString& m : pending) ErrorHandler()(m);
}

void TQVRegIniFile::ResetForTesting() { Instance().reset(); }

TQVRegIniFile& QVRegIniFile() {
  if (!Instance()) Instance() = std::make_unique<TQVRegIniFile>();
  return *Instance();
}

void WriteInstallDir() { QVRegIniFile().WriteString(QString(), QStringLiteral("InstallDir"), NativeProgramFolder()); }
