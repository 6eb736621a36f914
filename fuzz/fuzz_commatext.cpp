// Comma text: any text splits into items, and every way the program writes a list reads back
// as the same items.
#include <QStringList>

#include "FuzzSupport.h"
#include "editor/uFormularEditorControls.h"
#include "rules/uCodeLists.h"
#include "storage/uWin1252.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes = FuzzBytes(data, size);
  // Once as 8-bit text, once as UTF-16 (any code units, lone surrogates too).
  const QString texts[] = {FromWin1252(bytes),
                           QString(reinterpret_cast<const QChar*>(bytes.constData()), bytes.size() / 2)};
  for (const QString& text : texts) {
    const QStringList items = CommaTextToStrings(text);
    for (const QString& item : items) FUZZ_CHECK(!item.contains(QChar(0)));
    FUZZ_CHECK(CommaTextToStrings(StringsToCommaText(items)) == items);
    FUZZ_CHECK(CommaTextToStrings(ToCommaText(items, false)) == items);
    FUZZ_CHECK(CommaTextToStrings(ToCommaText(items, true)) == items);
  }
  return 0;
}
