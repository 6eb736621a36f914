#include "help/uHelpPages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "help/uHtmlView.h"
#include "storage/uProgramPaths.h"

namespace {
const QString kPlaceholder = QStringLiteral("CSSFILENAMEPATH");

// The text as lines, each followed by CR LF (the last one too); a final line break does not
// start another line.
QString JoinLinesCrLf(const QString& text) {
  QString out;
  out.reserve(text.size() + text.size() / 16 + 2);
  int start = 0;
  const int n = text.size();
  while (start < n) {
    int end = start;
    while (end < n && text.at(end) != QLatin1Char('\r') && text.at(end) != QLatin1Char('\n')) ++end;
    out += QStringView(text).mid(start, end - start);
    out += QLatin1String("\r\n");
    if (end < n && text.at(end) == QLatin1Char('\r') && end + 1 < n && text.at(end + 1) == QLatin1Char('\n'))
      start = end + 2;
    else
      start = end + 1;
  }
  return out;
}
}  // namespace

QString HelpStyleSheetPath() {
  return QDir::toNativeSeparators(RuntimeFolder() + QStringLiteral("help/Mahnbescheid.css"));
}

QString HelpStyleSheetLink() {
  return QStringLiteral("<LINK href= \"") + HelpStyleSheetPath() +
         QStringLiteral("\" type=\"text/css\" rel=\"stylesheet\">");
}

QString ApplyStyleSheetPlaceholder(const QString& html, const QString& link) {
  QString out = html;
  out.replace(kPlaceholder, link, Qt::CaseSensitive);
  return out;
}

namespace {
bool ReadHelpPage(const QString& htmlFileName, QString* text, bool* tooLarge) {
  QByteArray bytes;
  if (!ReadLocalFile(htmlFileName, kMaxHtmlPageSize, &bytes, tooLarge)) return false;
  const QString lines = JoinLinesCrLf(DecodeHtmlBytes(bytes));
  const QString link = QFileInfo(HelpStyleSheetPath()).isFile() ? HelpStyleSheetLink() : QString();
  *text = ApplyStyleSheetPlaceholder(lines, link);
  return true;
}
}  // namespace

bool ReadHelpPageText(const QString& htmlFileName, QString* text) { return ReadHelpPage(htmlFileName, text, nullptr); }

bool LoadHelpPage(THtmlView& viewer, const QString& htmlFileName) {
  QString text;
  bool tooLarge = false;
  if (!ReadHelpPage(htmlFileName, &text, &tooLarge)) {
    // The page of another step must not stay in view as if it were this one's.
    if (tooLarge) {
      viewer.Clear();
      viewer.LoadFromString(RefusedPageHtml(htmlFileName));
    }
    return false;
  }
  viewer.Clear();
  viewer.LoadFromString(text);
  return true;
}

QString GeneralHelpPagePath() { return RuntimeFolder() + QStringLiteral("help/General.html"); }

QString StepHelpPagePath(int step) {
  return RuntimeFolder() + QStringLiteral("help/Step%1.html").arg(step + 1);
}
