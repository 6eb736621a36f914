#pragma once
#include <QString>

class THtmlView;

// The style sheet of every help page: "help/Mahnbescheid.css" in the runtime data folder, as an
// absolute path in the platform's spelling.
QString HelpStyleSheetPath();
// The LINK element that takes the place of the placeholder "CSSFILENAMEPATH".
QString HelpStyleSheetLink();
// A page's text with every (case-sensitive) "CSSFILENAMEPATH" replaced by `link`, or removed when
// `link` is empty.
QString ApplyStyleSheetPlaceholder(const QString& html, const QString& link);

// The text LoadHelpPage gives the viewer: the file's lines each followed by CR LF, the placeholder
// resolved. False when the file does not exist, cannot be read, is no ordinary file or is larger
// than kMaxHtmlPageSize.
bool ReadHelpPageText(const QString& htmlFileName, QString* text);

// Loads a help page into `viewer`: lines joined with CR LF, the style-sheet placeholder resolved,
// loaded as text without a base. A page that does not exist leaves the viewer as it was; one that
// is too large is replaced by a short notice saying so. The result says whether the page was
// loaded.
bool LoadHelpPage(THtmlView& viewer, const QString& htmlFileName);

// The runtime data folder's help pages.
QString GeneralHelpPagePath();
// Step help page of step `step` (0-based): "help/Step<step + 1>.html".
QString StepHelpPagePath(int step);
