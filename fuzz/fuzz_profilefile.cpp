// The profile file (documents): reading any bytes, writing entries into them and reading the
// written file back. What is not written must read as before; what is written must read back.
#include <QHash>
#include <QStringList>

#include "FuzzSupport.h"
#include "storage/uProfileFile.h"
#include "storage/uWin1252.h"

namespace {
const QStringList& Names() {
  static const QStringList names{QStringLiteral("Name"), QStringLiteral("name"),  QStringLiteral("Ort"),
                                 QStringLiteral("a"),    QStringLiteral("Feld1"), QStringLiteral("Feld2"),
                                 QStringLiteral("Straße")};
  return names;
}

// The value a read gives back for `v` once it has been written.
QString Stored(const QString& v) {
  QString s = v;
  for (QChar& c : s)
    if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c.unicode() == 0) c = QLatin1Char(' ');
  return s.left(TProfileFile::MaxValueLength);
}

QHash<QString, QString> Without(QHash<QString, QString> h, const QStringList& written) {
  for (const QString& w : written) h.remove(w);
  return h;
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  EnsureFuzzApplication();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes = FuzzBytes(data, size);
  TProfileFile file(bytes);
  FUZZ_CHECK(file.Data() == bytes);

  const QString doc = QStringLiteral("Mahnbescheid");
  const QString other = QStringLiteral("Andere");
  const QHash<QString, QString> docBefore = file.ReadStrings(doc, Names());
  const QHash<QString, QString> otherBefore = file.ReadStrings(other, Names());
  for (const QString& n : Names()) FUZZ_CHECK(file.ReadString(doc, n) == docBefore.value(n));

  // Values that the file's character set can hold: taken from the input's last bytes.
  const QString v1 = FromWin1252(bytes.right(24));
  const QString v2 = FromWin1252(bytes.left(8)) + QStringLiteral(" \"x\" ");
  file.WriteStrings(doc, {{QStringLiteral("Feld1"), v1}, {QStringLiteral("Straße"), v2}});
  file.WriteString(doc, QStringLiteral("Feld1"), v2);  // overwrites an entry written before
  file.WriteString(QStringLiteral("NEU"), QStringLiteral("Feld2"), v1);
  file.WriteString(QStringLiteral("neu"), QStringLiteral("feld2"), v1 + v2);

  const QStringList written{QStringLiteral("Feld1"), QStringLiteral("Straße")};
  const QByteArray out = file.Data();
  TProfileFile reread(out);
  for (const TProfileFile* f : {&file, &reread}) {
    FUZZ_CHECK(f->ReadString(doc, QStringLiteral("Feld1")) == Stored(v2));
    FUZZ_CHECK(f->ReadString(doc, QStringLiteral("Straße")) == Stored(v2));
    FUZZ_CHECK(f->ReadString(QStringLiteral("Neu"), QStringLiteral("FELD2")) == Stored(v1 + v2));
    FUZZ_CHECK(Without(f->ReadStrings(doc, Names()), written) == Without(docBefore, written));
    FUZZ_CHECK(f->ReadStrings(other, Names()) == otherBefore);
  }
  // Writing back what is there changes nothing.
  TProfileFile again(out);
  again.WriteString(doc, QStringLiteral("Feld1"), Stored(v2));
  FUZZ_CHECK(again.ReadString(doc, QStringLiteral("Feld1")) == Stored(v2));
  return 0;
}
