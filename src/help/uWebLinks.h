#pragma once
#include <QString>

// The maker's web site; the three fixed commands open addresses below it.
QString KalnoWebBase();                 // "https://www.kalno.de/"
QString KalnoManualAddress();           // the user manual, manual.pdf
QString KalnoHomepageAddress();         // the home page
QString KalnoFormsAddress();            // the page "formulare"

// Where a click on a link in one of the program's HTML views goes.
enum class TLinkRoute {
  Browser,  // an absolute http:/https: address: the user's web browser
  Panel,    // a relative reference or an anchor: followed inside the view
  Nothing,  // every other scheme (file:, javascript:, data:, mailto:, ...): ignored
};
TLinkRoute RouteForLinkTarget(const QString& target);
// An absolute web address: scheme http or https (any case) and a host.
bool IsBrowserAddress(const QString& target);

// The hot-spot rule of the program's views: web addresses go to the browser (a failure is
// silent), other schemes are swallowed, relative targets are left to the view (handled false).
void HandleLinkClick(const QString& target, bool& handled);

// Opens a web address in the browser with the hour-glass shown meanwhile; reports "Der
// Internet-Browser konnte nicht geöffnet werden" when the desktop refuses it or when `address` is
// not a web address. Returns whether the browser was started.
bool OpenURL(const QString& address);
