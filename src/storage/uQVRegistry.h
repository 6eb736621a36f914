#pragma once
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QSettings;

// The program's settings store: "Software\KALNO\Mahnbescheid" of the current user (the registry on
// Windows, an INI file in the user's configuration folder elsewhere). Every value is text.
class TQVRegIniFile {
 public:
  TQVRegIniFile();
  ~TQVRegIniFile();

  bool ReadBool(const QString& section, const QString& name, bool def);
  int ReadInteger(const QString& section, const QString& name, int def);
  double ReadFloat(const QString& section, const QString& name, double def);
  void WriteBool(const QString& section, const QString& name, bool value);
  void WriteInteger(const QString& section, const QString& name, int value);
  void WriteFloat(const QString& section, const QString& name, double value);
  void WriteString(const QString& section, const QString& name, const QString& value);

  // "\Help\", "Help" and "Help\" are one key: empty path components are dropped.
  static QString SectionKey(const QString& section);
  // The text forms of the stored values.
  static QString FloatToText(double value);

  // A failed write is reported once per process through this handler (default: a warning on the
  // console); the program goes on with the value unsaved. A settings file that cannot be read
  // (unopenable, NUL bytes, no UTF-8, lines that are no entries) is never written over: it is
  // renamed to "<name>.corrupt-<yyyy-MM-dd>" and the store starts empty, or, where it cannot be
  // renamed, the store keeps its values in memory only; either is reported once as well.
  // Reports made before a handler is installed reach it when it is installed.
  using TWriteErrorHandler = std::function<void(const QString& message)>;
  static void SetWriteErrorHandler(TWriteErrorHandler handler);

  // Drops the store so the next QVRegIniFile() opens it anew (tests point it at another folder).
  static void ResetForTesting();

 private:
  bool ReadText(const QString& section, const QString& name, QString* text);
  void WriteText(const QString& section, const QString& name, const QString& text);
  void Report(const QString& message);
  std::unique_ptr<QSettings> settings_;  // null when the file must not be touched
  QHash<QString, QString> memory_;       // the values written while settings_ is null
  QStringList pending_;                  // reports waiting for a handler
  bool writeReported_ = false;
};

TQVRegIniFile& QVRegIniFile();
// The folder of the running program written as "InstallDir", at every start.
void WriteInstallDir();
