#pragma once
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <map>
#include <utility>
#include <vector>

// An INI-style text file read and written by the rules of the Windows profile functions, so that
// documents move freely between this program and its Windows versions:
// - section and entry names are found regardless of letter case; the first section and the first
//   entry of a name count;
// - a value is the rest of the entry line after the first "=", blanks removed at both ends, one
//   pair of enclosing quotation marks (" or ') removed, at most 2047 characters;
// - writing replaces an entry's line in place, appends a new entry after the last line of its
//   section, appends a missing section at the end, and keeps every other byte of the file.
// Text is Windows-1252 with CR LF; reading takes CR LF, LF and a lone CR as line ends. A file that
// starts with a UTF-8 byte order mark stays UTF-8.
// Lines are kept as spans of the original bytes, so a file that is not a profile at all (binary
// data, megabyte lines) costs one pass and loses nothing when written back.
class TProfileFile {
 public:
  static constexpr int MaxValueLength = 2047;

  TProfileFile() = default;
  explicit TProfileFile(const QByteArray& data) { SetData(data); }

  // Replaces the content with `data` and forgets all writes.
  void SetData(const QByteArray& data);
  // The whole file as it is to be stored, writes included.
  QByteArray Data() const;
  bool IsUtf8() const { return utf8_; }

  // The value of one entry; empty when the section or the entry is missing.
  QString ReadString(const QString& section, const QString& name) const;
  bool HasEntry(const QString& section, const QString& name) const;
  // Many entries in one pass over the file: the result holds, for every name of `names` that the
  // section has, its value, keyed by the name as given.
  QHash<QString, QString> ReadStrings(const QString& section, const QStringList& names) const;

  void WriteString(const QString& section, const QString& name, const QString& value);
  // Writes the entries in order, as that many WriteString calls would, in one pass over the file.
  void WriteStrings(const QString& section, const std::vector<std::pair<QString, QString>>& entries);

  // The text that goes after "=" so that reading gives `value` back: a value that the reading
  // rules would change (blanks at either end, enclosing quotation marks) is put in quotation
  // marks, which the reading rules take off again. Line breaks and NUL cannot be stored and
  // become blanks.
  static QString EncodeValue(const QString& value);
  // The reading rules applied to the raw text after "=".
  static QString DecodeValue(const QString& raw);

 private:
  // Where the first section of a name lies in the original bytes.
  struct TSectionSpan {
    bool Found = false;
    qsizetype BodyStart = 0;  // first byte after the header line
    qsizetype BodyEnd = 0;    // start of the next header line, or the end of the data
    qsizetype InsertAt = 0;   // just after the section's last non-blank line: new entries go here
  };
  // One entry line in the present state: an original line (Offset = its start), a line inserted
  // at Offset (Index in that insertion), or a line of an appended section (Offset = section).
  struct TEntryRef {
    enum { Original, Inserted, Appended } Kind = Original;
    qsizetype Offset = 0;
    int Index = 0;
  };
  struct TReplacement {
    qsizetype Length = 0;  // of the original line, without its line break
    QByteArray Bytes;
  };
  struct TAppendedSection {
    QString FoldedName;
    QByteArray Header;
    std::vector<QByteArray> Lines;
  };

  QString Decode(const QByteArray& bytes) const;
  // The lookup key of a name: ASCII names fold byte by byte, others through Unicode case folding.
  void FoldKey(const char* s, qsizetype n, QByteArray* key) const;
  QByteArray FoldedKey(const QString& name) const;
  QByteArray Encode(const QString& text) const;
  const TSectionSpan& Span(const QString& foldedSection) const;
  int AppendedIndex(const QString& foldedSection) const;
  // Calls f(name bytes, raw value bytes, ref) for every entry of the section in file order, with
  // the writes so far applied, until f returns false.
  template <class F>
  void ForEachEntry(const QString& foldedSection, F&& f) const;
  void SetLine(const TEntryRef& ref, const QByteArray& line);

  QByteArray data_;
  bool utf8_ = false;
  std::map<qsizetype, TReplacement> replaced_;             // by the original line's start
  std::map<qsizetype, std::vector<QByteArray>> inserted_;  // new lines before this offset
  std::vector<TAppendedSection> appended_;
  mutable QString spanName_;
  mutable TSectionSpan span_;
  mutable bool spanValid_ = false;
};
