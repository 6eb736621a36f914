// Windows-1252: every byte survives the way to text and back, and text is cut down only to what
// the character set holds.
#include "FuzzSupport.h"
#include "storage/uWin1252.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes = FuzzBytes(data, size);
  const QString text = FromWin1252(bytes);
  FUZZ_CHECK(text.size() == bytes.size());
  FUZZ_CHECK(IsWin1252Text(text));
  FUZZ_CHECK(ToWin1252(text) == bytes);
  FUZZ_CHECK(StripNonWin1252(text) == text);

  const QString any(reinterpret_cast<const QChar*>(bytes.constData()), bytes.size() / 2);
  const QString kept = StripNonWin1252(any);
  FUZZ_CHECK(IsWin1252Text(kept));
  FUZZ_CHECK(FromWin1252(ToWin1252(kept)) == kept);
  const QByteArray asBytes = ToWin1252(any);
  FUZZ_CHECK(asBytes.size() == any.size());
  for (qsizetype i = 0; i < any.size(); ++i) {
    const int b = UnicodeToWin1252(any.at(i));
    FUZZ_CHECK(b >= -1 && b <= 255);
    FUZZ_CHECK(b < 0 ? asBytes.at(i) == '?' : Win1252ToUnicode(static_cast<unsigned char>(b)) == any.at(i));
  }
  return 0;
}
