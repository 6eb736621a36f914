#include "storage/uDocumentValues.h"

#include <QHash>
#include <QStringList>

#include "storage/uProfileFile.h"
#include "storage/uSafeFile.h"
#include "storage/uWin1252.h"

const char* const kDocumentSection = "Mahnbescheid";

bool ReadDocumentValues(const QString& path, TFieldLists& lists, bool* exists, QString* reason) {
  QByteArray data;
  bool found = false;
  if (!ReadFileLimited(path, kMaxDocumentFileSize, &data, &found, reason)) return false;
  if (exists) *exists = found;
  const TProfileFile file(data);
  QStringList names;
  for (const TFormFieldList& list : lists)
    for (int i = 0; i < list.Count(); ++i) names << list.Fields(i)->Name();
  const QHash<QString, QString> values = file.ReadStrings(QString::fromLatin1(kDocumentSection), names);
  for (const TFormFieldList& list : lists) {
    for (int i = 0; i < list.Count(); ++i) {
      TFormField* field = list.Fields(i);
      QString value = values.value(field->Name());
      // Field values hold only what Windows-1252 can, as the editors do.
      if (file.IsUtf8()) value = StripNonWin1252(value);
      field->SetValue(value);
    }
  }
  return true;
}
