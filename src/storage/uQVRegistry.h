#pragma once
#include <QString>
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
  // console); the program goes on with the value unsaved.
  using TWriteErrorHandler = std::function<void(const QString& message)>;
  static void SetWriteErrorHandler(TWriteErrorHandler handler);

  // Drops the store so the next QVRegIniFile() opens it anew (tests point it at another folder).
  static void ResetForTesting();

 private:
  bool ReadText(const QString& section, const QString& name, QString* text);
  void WriteText(const QString& section, const QString& name, const QString& text);
  std::unique_ptr<QSettings> settings_;
  bool reported_ = false;
};

TQVRegIniFile& QVRegIniFile();
// The folder of the running program written as "InstallDir", at every start.
void WriteInstallDir();
