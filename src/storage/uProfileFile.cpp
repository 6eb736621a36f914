#include "storage/uProfileFile.h"

#include <QSet>
#include <cstring>

#include "storage/uWin1252.h"

namespace {
const char kUtf8Bom[] = "\xEF\xBB\xBF";

// The blanks the profile rules trim around names and values.
inline bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }
inline bool IsBlank(QChar c) {
  const char16_t u = c.unicode();
  return u == ' ' || u == '\t' || u == '\r' || u == '\v' || u == '\f';
}
inline bool IsQuote(QChar c) { return c == QLatin1Char('"') || c == QLatin1Char('\''); }

// [begin, end) of the line starting at `pos`, without its line break; `next` is the start of
// the following line. CR LF, LF and a lone CR each end a line, as in the Windows functions: files
// from old editors and some mail gateways end their lines with CR alone.
inline void LineAt(const QByteArray& data, qsizetype pos, qsizetype* end, qsizetype* next) {
  const char* base = data.constData();
  const qsizetype size = data.size();
  const void* nl = std::memchr(base + pos, '\n', size_t(size - pos));
  const qsizetype lf = nl ? static_cast<const char*>(nl) - base : size;
  // A CR is looked for only up to the LF, so a file of LF lines is still read in one pass.
  const void* cr = std::memchr(base + pos, '\r', size_t(lf - pos));
  if (cr) {
    const qsizetype at = static_cast<const char*>(cr) - base;
    *end = at;
    *next = (at + 1 < size && base[at + 1] == '\n') ? at + 2 : at + 1;
  } else {
    *end = lf;
    *next = nl ? lf + 1 : size;
  }
}

inline bool IsLineBreak(char c) { return c == '\n' || c == '\r'; }

inline void Trim(const char* s, qsizetype len, qsizetype* from, qsizetype* to) {
  qsizetype a = 0, b = len;
  while (a < b && IsBlank(s[a])) ++a;
  while (b > a && IsBlank(s[b - 1])) --b;
  *from = a;
  *to = b;
}

// A section header line: "[name]" after optional blanks; the name is trimmed. A line with an
// opening bracket but no closing one is no header, as in the Windows functions.
bool HeaderName(const char* s, qsizetype len, QByteArray* name) {
  qsizetype a = 0;
  while (a < len && IsBlank(s[a])) ++a;
  if (a >= len || s[a] != '[') return false;
  const void* close = std::memchr(s + a + 1, ']', size_t(len - a - 1));
  if (!close) return false;
  const qsizetype c = static_cast<const char*>(close) - s;
  qsizetype f, t;
  Trim(s + a + 1, c - a - 1, &f, &t);
  if (name) *name = QByteArray(s + a + 1 + f, t - f);
  return true;
}

// An entry line: a name before the first "=", trimmed and not empty. Comment lines (";") and
// headers are no entries.
bool EntryParts(const char* s, qsizetype len, const char** name, qsizetype* nameLen, const char** raw,
                qsizetype* rawLen) {
  qsizetype a = 0;
  while (a < len && IsBlank(s[a])) ++a;
  if (a >= len || s[a] == ';' || HeaderName(s, len, nullptr)) return false;
  const void* eq = std::memchr(s + a, '=', size_t(len - a));
  if (!eq) return false;
  const qsizetype e = static_cast<const char*>(eq) - s;
  qsizetype b = e;
  while (b > a && IsBlank(s[b - 1])) --b;
  if (b == a) return false;
  *name = s + a;
  *nameLen = b - a;
  *raw = s + e + 1;
  *rawLen = len - e - 1;
  return true;
}

bool IsBlankLine(const char* s, qsizetype len) {
  for (qsizetype i = 0; i < len; ++i)
    if (!IsBlank(s[i])) return false;
  return true;
}
}  // namespace

void TProfileFile::SetData(const QByteArray& data) {
  data_ = data;
  utf8_ = data_.startsWith(kUtf8Bom);
  replaced_.clear();
  inserted_.clear();
  appended_.clear();
  spanValid_ = false;
}

QString TProfileFile::Decode(const QByteArray& bytes) const {
  return utf8_ ? QString::fromUtf8(bytes) : FromWin1252(bytes);
}

QByteArray TProfileFile::Encode(const QString& text) const { return utf8_ ? text.toUtf8() : ToWin1252(text); }

QString TProfileFile::EncodeValue(const QString& value) {
  QString v = value;
  for (QChar& c : v)
    if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c.unicode() == 0) c = QLatin1Char(' ');
  if (v.isEmpty()) return v;
  const bool needsQuotes = IsBlank(v.front()) || IsBlank(v.back()) ||
                           (v.size() >= 2 && IsQuote(v.front()) && v.front() == v.back());
  if (!needsQuotes) return v;
  return QLatin1Char('"') + v + QLatin1Char('"');
}

QString TProfileFile::DecodeValue(const QString& raw) {
  QString v = raw;
  const qsizetype nul = v.indexOf(QChar(0));
  if (nul >= 0) v.truncate(nul);
  qsizetype a = 0, b = v.size();
  while (a < b && IsBlank(v[a])) ++a;
  while (b > a && IsBlank(v[b - 1])) --b;
  if (b - a >= 2 && IsQuote(v[a]) && v[a] == v[b - 1]) {
    ++a;
    --b;
  }
  return v.mid(a, qMin<qsizetype>(b - a, MaxValueLength));
}

const TProfileFile::TSectionSpan& TProfileFile::Span(const QString& foldedSection) const {
  if (spanValid_ && spanName_ == foldedSection) return span_;
  spanValid_ = true;
  spanName_ = foldedSection;
  span_ = TSectionSpan();
  const qsizetype size = data_.size();
  const char* base = data_.constData();
  const QByteArray encodedLen = Encode(foldedSection);
  qsizetype pos = utf8_ ? 3 : 0;
  QByteArray name;
  // Find the header, then the end of the section and its last non-blank line.
  while (pos < size) {
    qsizetype end, next;
    LineAt(data_, pos, &end, &next);
    if (!span_.Found) {
      if (HeaderName(base + pos, end - pos, &name) && (utf8_ || name.size() == encodedLen.size()) &&
          Decode(name).toCaseFolded() == foldedSection) {
        span_.Found = true;
        span_.BodyStart = next;
        span_.InsertAt = next;
        span_.BodyEnd = size;
      }
    } else {
      if (HeaderName(base + pos, end - pos, nullptr)) {
        span_.BodyEnd = pos;
        break;
      }
      if (!IsBlankLine(base + pos, end - pos)) span_.InsertAt = next;
    }
    pos = next;
  }
  return span_;
}

int TProfileFile::AppendedIndex(const QString& foldedSection) const {
  for (std::size_t i = 0; i < appended_.size(); ++i)
    if (appended_[i].FoldedName == foldedSection) return int(i);
  return -1;
}

template <class F>
void TProfileFile::ForEachEntry(const QString& foldedSection, F&& f) const {
  const char* name;
  const char* raw;
  qsizetype nameLen, rawLen;
  const TSectionSpan& span = Span(foldedSection);
  if (span.Found) {
    const char* base = data_.constData();
    qsizetype pos = span.BodyStart;
    while (pos < span.BodyEnd) {
      qsizetype end, next;
      LineAt(data_, pos, &end, &next);
      const char* s = base + pos;
      qsizetype len = end - pos;
      auto rep = replaced_.find(pos);
      if (rep != replaced_.end()) {
        s = rep->second.Bytes.constData();
        len = rep->second.Bytes.size();
      }
      if (EntryParts(s, len, &name, &nameLen, &raw, &rawLen)) {
        TEntryRef ref;
        ref.Kind = TEntryRef::Original;
        ref.Offset = pos;
        if (!f(name, nameLen, raw, rawLen, ref)) return;
      }
      pos = next;
    }
    auto ins = inserted_.find(span.InsertAt);
    if (ins != inserted_.end()) {
      for (std::size_t i = 0; i < ins->second.size(); ++i) {
        const QByteArray& line = ins->second[i];
        if (EntryParts(line.constData(), line.size(), &name, &nameLen, &raw, &rawLen)) {
          TEntryRef ref;
          ref.Kind = TEntryRef::Inserted;
          ref.Offset = span.InsertAt;
          ref.Index = int(i);
          if (!f(name, nameLen, raw, rawLen, ref)) return;
        }
      }
    }
    return;
  }
  const int a = AppendedIndex(foldedSection);
  if (a < 0) return;
  const auto& lines = appended_[std::size_t(a)].Lines;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const QByteArray& line = lines[i];
    if (EntryParts(line.constData(), line.size(), &name, &nameLen, &raw, &rawLen)) {
      TEntryRef ref;
      ref.Kind = TEntryRef::Appended;
      ref.Offset = a;
      ref.Index = int(i);
      if (!f(name, nameLen, raw, rawLen, ref)) return;
    }
  }
}

void TProfileFile::FoldKey(const char* s, qsizetype n, QByteArray* key) const {
  key->resize(n);
  char* d = key->data();
  for (qsizetype i = 0; i < n; ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c >= 0x80) {
      *key = Decode(QByteArray(s, n)).toCaseFolded().toUtf8();
      return;
    }
    d[i] = (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : char(c);
  }
}

QByteArray TProfileFile::FoldedKey(const QString& name) const {
  const QByteArray encoded = Encode(name.trimmed());
  QByteArray key;
  FoldKey(encoded.constData(), encoded.size(), &key);
  return key;
}

QHash<QString, QString> TProfileFile::ReadStrings(const QString& section, const QStringList& names) const {
  QHash<QString, QString> result;
  // Folded name -> the names asked for that fold to it.
  QHash<QByteArray, QStringList> wanted;
  for (const QString& n : names) wanted[FoldedKey(n)].append(n);
  qsizetype left = wanted.size();
  if (left == 0) return result;
  QByteArray key;
  ForEachEntry(section.trimmed().toCaseFolded(),
               [&](const char* name, qsizetype nameLen, const char* raw, qsizetype rawLen, const TEntryRef&) {
                 FoldKey(name, nameLen, &key);
                 auto it = wanted.find(key);
                 if (it == wanted.end() || it->isEmpty()) return true;
                 const QString value = DecodeValue(Decode(QByteArray(raw, rawLen)));
                 for (const QString& n : *it) result.insert(n, value);
                 it->clear();  // the first entry of a name counts
                 return --left > 0;
               });
  return result;
}

QString TProfileFile::ReadString(const QString& section, const QString& name) const {
  return ReadStrings(section, QStringList{name}).value(name);
}

bool TProfileFile::HasEntry(const QString& section, const QString& name) const {
  return ReadStrings(section, QStringList{name}).contains(name);
}

void TProfileFile::SetLine(const TEntryRef& ref, const QByteArray& line) {
  switch (ref.Kind) {
    case TEntryRef::Original: {
      auto it = replaced_.find(ref.Offset);
      if (it == replaced_.end()) {
        qsizetype end, next;
        LineAt(data_, ref.Offset, &end, &next);
        replaced_[ref.Offset] = TReplacement{end - ref.Offset, line};
      } else {
        it->second.Bytes = line;
      }
      break;
    }
    case TEntryRef::Inserted: inserted_[ref.Offset][std::size_t(ref.Index)] = line; break;
    case TEntryRef::Appended: appended_[std::size_t(ref.Offset)].Lines[std::size_t(ref.Index)] = line; break;
  }
}

void TProfileFile::WriteStrings(const QString& section, const std::vector<std::pair<QString, QString>>& entries) {
  if (entries.empty()) return;
  const QString foldedSection = section.trimmed().toCaseFolded();
  // Where each name's entry is now: found in one pass, then kept up to date as entries are added.
  QHash<QByteArray, TEntryRef> where;
  QHash<QByteArray, bool> seen;
  for (const auto& e : entries) seen.insert(FoldedKey(e.first), false);
  qsizetype left = seen.size();
  QByteArray key;
  ForEachEntry(foldedSection,
               [&](const char* name, qsizetype nameLen, const char*, qsizetype, const TEntryRef& ref) {
                 FoldKey(name, nameLen, &key);
                 auto it = seen.find(key);
                 if (it == seen.end() || it.value()) return true;
                 it.value() = true;
                 where.insert(key, ref);
                 return --left > 0;
               });

  const TSectionSpan& span = Span(foldedSection);
  int appendedIndex = span.Found ? -1 : AppendedIndex(foldedSection);
  for (const auto& e : entries) {
    const QString name = e.first.trimmed();
    const QByteArray folded = FoldedKey(name);
    const QByteArray line = Encode(name) + '=' + Encode(EncodeValue(e.second));
    auto it = where.find(folded);
    if (it != where.end()) {
      SetLine(it.value(), line);
      continue;
    }
    TEntryRef ref;
    if (span.Found) {
      auto& lines = inserted_[span.InsertAt];
      ref.Kind = TEntryRef::Inserted;
      ref.Offset = span.InsertAt;
      ref.Index = int(lines.size());
      lines.push_back(line);
    } else {
      if (appendedIndex < 0) {
        TAppendedSection s;
        s.FoldedName = foldedSection;
        s.Header = '[' + Encode(section.trimmed()) + ']';
        appended_.push_back(std::move(s));
        appendedIndex = int(appended_.size()) - 1;
      }
      auto& lines = appended_[std::size_t(appendedIndex)].Lines;
      ref.Kind = TEntryRef::Appended;
      ref.Offset = appendedIndex;
      ref.Index = int(lines.size());
      lines.push_back(line);
    }
    where.insert(folded, ref);
  }
}

void TProfileFile::WriteString(const QString& section, const QString& name, const QString& value) {
  WriteStrings(section, {{name, value}});
}

QByteArray TProfileFile::Data() const {
  static const QByteArray crlf("\r\n");
  // The original bytes with the replacements and insertions spliced in, in offset order.
  struct TEvent {
    qsizetype Offset;
    const std::vector<QByteArray>* Insert;
    const TReplacement* Replace;
  };
  std::vector<TEvent> events;
  events.reserve(replaced_.size() + inserted_.size());
  for (const auto& r : replaced_) events.push_back({r.first, nullptr, &r.second});
  for (const auto& i : inserted_) events.push_back({i.first, &i.second, nullptr});
  std::stable_sort(events.begin(), events.end(), [](const TEvent& a, const TEvent& b) {
    if (a.Offset != b.Offset) return a.Offset < b.Offset;
    return a.Insert && !b.Insert;  // insertions go before a line replaced at the same place
  });

  qsizetype extra = 0;
  for (const auto& r : replaced_) extra += r.second.Bytes.size();
  for (const auto& i : inserted_)
    for (const auto& l : i.second) extra += l.size() + 2;
  for (const auto& s : appended_) {
    extra += s.Header.size() + 6;
    for (const auto& l : s.Lines) extra += l.size() + 2;
  }
  QByteArray out;
  out.reserve(data_.size() + extra + 4);

  qsizetype pos = 0;
  for (const TEvent& e : events) {
    out.append(data_.constData() + pos, e.Offset - pos);
    pos = e.Offset;
    if (e.Insert) {
      if (!out.isEmpty() && !IsLineBreak(out.back())) out.append(crlf);
      for (const QByteArray& l : *e.Insert) {
        out.append(l);
        out.append(crlf);
      }
    } else {
      out.append(e.Replace->Bytes);
      pos += e.Replace->Length;
    }
  }
  out.append(data_.constData() + pos, data_.size() - pos);

  for (const TAppendedSection& s : appended_) {
    const qsizetype contentStart = utf8_ ? 3 : 0;
    if (out.size() > contentStart) {
      if (!IsLineBreak(out.back())) out.append(crlf);
      // A blank line before the new section, unless the file already ends with one.
      qsizetype lastEnd = out.size() - 1;  // the final line break
      if (out.endsWith("\r\n") && lastEnd > contentStart) --lastEnd;
      qsizetype lastStart = lastEnd;
      while (lastStart > contentStart && !IsLineBreak(out[lastStart - 1])) --lastStart;
      if (!IsBlankLine(out.constData() + lastStart, lastEnd - lastStart)) out.append(crlf);
    }
    out.append(s.Header);
    out.append(crlf);
    for (const QByteArray& l : s.Lines) {
      out.append(l);
      out.append(crlf);
    }
  }
  return out;
}
