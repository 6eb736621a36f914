#pragma once
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <functional>

class QPrinter;
class QTextDocument;

// The program's HTML display: help pages, the general help page and the promotion page.
// Links are never followed by Qt itself: every click goes to `OnHotSpotClick` first, and only a
// target the handler leaves unhandled is followed here, and then only to a local HTML page or an
// anchor of the shown page. Nothing in this class ever hands a target to the desktop.
class THtmlView : public QTextBrowser {
  Q_OBJECT

 public:
  // (sender, link target as written in the page, handled); handled starts false.
  using THotSpotClickEvent = std::function<void(THtmlView* sender, const QString& target, bool& handled)>;

  explicit THtmlView(QWidget* parent = nullptr);
  ~THtmlView() override;

  // Empties the document; references resolve against nothing afterwards.
  void Clear();
  // Loads a page from disk; relative references resolve against the file's folder. False (and the
  // view unchanged) when the file cannot be read; a file larger than kMaxHtmlPageSize is not
  // loaded either, and the view says so instead.
  bool LoadFromFile(const QString& fileName);
  // Loads a page held in memory. With an empty base relative references resolve to nothing (not
  // to the working folder); absolute local paths, such as the style sheet's, still load.
  void LoadFromString(const QString& html, const QString& baseFolder = QString());
  // The folder relative references resolve against; empty for a page loaded from text.
  QString BaseFolder() const { return baseFolder_; }

  // Prints pages fromPage..toPage (clamped to the pages the document has) on `printer`, with
  // 2 cm margins and scale 1. Returns false when the printer could not be opened.
  bool PrintPages(QPrinter& printer, int fromPage = 1, int toPage = 99);

  // The promotion viewer's look: white background, no border, vertical scroll bar only and
  // always shown; printed text black.
  void UsePromotionLook();
  bool PrintBlackText() const { return printBlackText_; }
  void SetPrintBlackText(bool on) { printBlackText_ = on; }

  // Hosts `child` inside the view at the top right corner, `right` pixels left of the text
  // area's right edge and `top` pixels down, and keeps it there when the view is resized.
  void SetTopRightControl(QWidget* child, int right = 3, int top = 3);
  QWidget* TopRightControl() const { return topRight_; }

  THotSpotClickEvent OnHotSpotClick;

  // Follows a target the way an unhandled click does; public for the panels' controller.
  void FollowLink(const QString& target);

  // What LoadResource reads for `url`: the local file, or empty when the reference leads nowhere
  // this view may go (network, other schemes, relative without a base). Files are read only when
  // they are ordinary files of at most kMaxHtmlResourceSize bytes, images only with at most
  // kMaxHtmlImagePixels pixels; anything else loads as nothing.
  QString LocalPathFor(const QUrl& url) const;

 protected:
  QVariant loadResource(int type, const QUrl& name) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void HotSpotClicked(const QUrl& link);
  void PlaceTopRightControl();
  void ApplyDefaults();

  QString baseFolder_;
  bool printBlackText_ = false;
  QPointer<QWidget> topRight_;
  int topRightRight_ = 3;
  int topRightTop_ = 3;
};

// Limits of what the view loads. Real pages have a few kilobytes and their pictures some hundred;
// a text document of many megabytes takes seconds to lay out, and a picture's pixels take four
// bytes each once decoded.
constexpr qint64 kMaxHtmlPageSize = 2 * 1024 * 1024;
constexpr qint64 kMaxHtmlResourceSize = 16 * 1024 * 1024;
constexpr qint64 kMaxHtmlImagePixels = 16 * 1000 * 1000;

// Reads an ordinary file (no device, no pipe) of at most `maxSize` bytes; false when it cannot be
// read, with `tooLarge` (optional) set when its size was the reason.
bool ReadLocalFile(const QString& fileName, qint64 maxSize, QByteArray* bytes, bool* tooLarge);
// The page shown instead of one that is too large to be shown.
QString RefusedPageHtml(const QString& fileName);

// Qt adds the heading's own size step (h1 +3, ...) to a font size the page's style sheet gives
// a heading; this takes the step away again wherever an explicit size is set, so a heading of
// "font-size: 13pt" is 13 pt as the page's author meant.
void HonourHeadingFontSizes(QTextDocument& doc);

// The text of an HTML file: UTF-8 when it carries a byte-order mark or is valid UTF-8 with
// non-ASCII characters, otherwise Windows-1252, the program's 8-bit character set.
QString DecodeHtmlBytes(const QByteArray& bytes);
