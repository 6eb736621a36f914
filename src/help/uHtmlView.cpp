#include "help/uHtmlView.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QBuffer>
#include <QImageReader>
#include <QPrinter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextFragment>
#include <QTextDocument>

#include "storage/uWin1252.h"

namespace {
// A drive letter ("c:\...") parses as a one-letter scheme.
bool IsDriveScheme(const QString& scheme) { return scheme.size() == 1 && scheme.at(0).isLetter(); }

bool IsHtmlFile(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  return suffix == QLatin1String("htm") || suffix == QLatin1String("html");
}
// An image whose pixels would not fit the limit is left out of the page (the document shows its
// placeholder): decoding a 30 000 x 30 000 picture would take gigabytes.
bool ImageTooLarge(const QByteArray& bytes) {
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  const QSize size = reader.size();
  if (!size.isValid()) return false;  // the decoder itself refuses what it cannot size
  return qint64(size.width()) * qint64(size.height()) > kMaxHtmlImagePixels;
}

// The payload of a "data:" address, decoded; false when it is no well-formed one.
bool DataUrlBytes(const QUrl& url, QByteArray* bytes) {
  const QByteArray text = url.toEncoded(QUrl::RemoveScheme);
  const qsizetype comma = text.indexOf(',');
  if (comma < 0) return false;
  const QByteArray header = QByteArray::fromPercentEncoding(text.left(comma)).trimmed().toLower();
  const QByteArray payload = QByteArray::fromPercentEncoding(text.mid(comma + 1));
  *bytes = header.endsWith(";base64") ? QByteArray::fromBase64(payload) : payload;
  return true;
}

// The size step Qt gives h1..h6 on top of the default size.
int HeadingAdjustment(int level) { return 4 - level; }
}  // namespace

void HonourHeadingFontSizes(QTextDocument& doc) {
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    const int level = block.blockFormat().headingLevel();
    if (level < 1 || level > 6) continue;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      QTextCharFormat format = fragment.charFormat();
      const bool sized = format.hasProperty(QTextFormat::FontPointSize) || format.hasProperty(QTextFormat::FontPixelSize);
      if (!sized || !format.hasProperty(QTextFormat::FontSizeAdjustment) ||
          format.intProperty(QTextFormat::FontSizeAdjustment) != HeadingAdjustment(level))
        continue;
      format.clearProperty(QTextFormat::FontSizeAdjustment);
      QTextCursor cursor(&doc);
      cursor.setPosition(fragment.position());
      cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
      cursor.setCharFormat(format);
    }
  }
}

QString DecodeHtmlBytes(const QByteArray& bytes) {
  if (bytes.startsWith("\xEF\xBB\xBF")) return QString::fromUtf8(bytes.mid(3));
  bool ascii = true;
  for (char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      ascii = false;
      break;
    }
  }
  if (ascii) return QString::fromLatin1(bytes);
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString asUtf8 = utf8.decode(bytes);
  if (!utf8.hasError()) return asUtf8;
  return FromWin1252(bytes);
}

THtmlView::THtmlView(QWidget* parent) : QTextBrowser(parent) { ApplyDefaults(); }

THtmlView::~THtmlView() = default;

void THtmlView::ApplyDefaults() {
  // Links are ours to judge: Qt must neither follow them nor pass them to the desktop.
  setOpenLinks(false);
  setOpenExternalLinks(false);
  setUndoRedoEnabled(false);
  setFrameShape(QFrame::StyledPanel);
  setFocusPolicy(Qt::StrongFocus);
  document()->setDefaultFont(QFont(QStringLiteral("Times New Roman"), 12));
  document()->setDefaultStyleSheet(
      QStringLiteral("pre, code, tt, kbd, samp { font-family: \"Courier New\"; }"));
  connect(this, &QTextBrowser::anchorClicked, this, &THtmlView::HotSpotClicked);
}

void THtmlView::Clear() {
  baseFolder_.clear();
  clear();
  clearHistory();
}

bool ReadLocalFile(const QString& fileName, qint64 maxSize, QByteArray* bytes, bool* tooLarge) {
  bytes->clear();
  if (tooLarge) *tooLarge = false;
  // Only ordinary files: a device (/dev/zero) or a pipe would never end or block.
  const QFileInfo info(fileName);
  if (!info.isFile()) return false;
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) return false;
  if (file.size() > maxSize) {
    if (tooLarge) *tooLarge = true;
    return false;
  }
  *bytes = file.read(maxSize + 1);
  if (file.error() != QFileDevice::NoError || bytes->size() > maxSize) {
    if (tooLarge && bytes->size() > maxSize) *tooLarge = true;
    bytes->clear();
    return false;
  }
  return true;
}

QString RefusedPageHtml(const QString& fileName) {
  return QStringLiteral("<p>Diese Seite kann nicht angezeigt werden: die Datei %1 ist zu groß.</p>")
      .arg(QDir::toNativeSeparators(fileName).toHtmlEscaped());
}

bool THtmlView::LoadFromFile(const QString& fileName) {
  QByteArray bytes;
  bool tooLarge = false;
  if (!ReadLocalFile(fileName, kMaxHtmlPageSize, &bytes, &tooLarge)) {
    if (tooLarge) LoadFromString(RefusedPageHtml(fileName));
    return false;
  }
  const QString html = DecodeHtmlBytes(bytes);
  LoadFromString(html, QFileInfo(fileName).absolutePath());
  return true;
}

void THtmlView::LoadFromString(const QString& html, const QString& baseFolder) {
  // The base must be in place before the text is parsed: images and style sheets load during
  // parsing.
  clear();
  baseFolder_ = baseFolder;
  setHtml(html);
  HonourHeadingFontSizes(*document());
  clearHistory();
}

QString THtmlView::LocalPathFor(const QUrl& url) const {
  const QString scheme = url.scheme();
  if (IsDriveScheme(scheme))
    return QDir::cleanPath(scheme + QLatin1Char(':') + url.path(QUrl::FullyDecoded));
  QString path;
  if (scheme.compare(QLatin1String("file"), Qt::CaseInsensitive) == 0)
    path = url.toLocalFile();
  else if (scheme.isEmpty())
    path = url.path(QUrl::FullyDecoded);
  else
    return QString();  // no network, no other schemes
  if (path.isEmpty()) return QString();
  if (QDir::isAbsolutePath(path)) return QDir::cleanPath(path);
  // Relative to the page's folder; a page without one has nothing to resolve against (never the
  // working folder, which depends on how the program was started).
  if (baseFolder_.isEmpty()) return QString();
  return QDir::cleanPath(QDir(baseFolder_).absoluteFilePath(path));
}

QVariant THtmlView::loadResource(int type, const QUrl& name) {
  QByteArray bytes;
  if (name.scheme().compare(QLatin1String("data"), Qt::CaseInsensitive) == 0) {
    // Other data: resources are decoded by the document itself; images are decoded here, so
    // that the size limit holds for them as for files.
    if (type != QTextDocument::ImageResource || !DataUrlBytes(name, &bytes)) return QVariant();
  } else {
    const QString path = LocalPathFor(name);
    if (!path.isEmpty()) ReadLocalFile(path, kMaxHtmlResourceSize, &bytes, nullptr);
  }
  if (type == QTextDocument::ImageResource && ImageTooLarge(bytes)) bytes.clear();
  // A non-null answer even for nothing found: a null one would let the document look the name
  // up relative to the working folder.
  if (type == QTextDocument::StyleSheetResource || type == QTextDocument::HtmlResource)
    return QVariant(DecodeHtmlBytes(bytes));
  return QVariant(bytes);
}

bool THtmlView::PrintPages(QPrinter& printer, int fromPage, int toPage) {
  if (!printer.isValid()) return false;
  fromPage = qMax(1, fromPage);
  toPage = qMax(fromPage, toPage);
  printer.setFromTo(fromPage, toPage);
  std::unique_ptr<QTextDocument> copy;
  const QTextDocument* doc = document();
  if (printBlackText_) {
    copy.reset(document()->clone());
    QTextCursor all(copy.get());
    all.select(QTextCursor::Document);
    QTextCharFormat black;
    black.setForeground(Qt::black);
    all.mergeCharFormat(black);
    doc = copy.get();
  }
  // QTextDocument prints with 2 cm margins and at the document's true size.
  doc->print(&printer);
  return printer.printerState() != QPrinter::Error;
}

void THtmlView::UsePromotionLook() {
  setFrameShape(QFrame::NoFrame);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QPalette pal = palette();
  pal.setColor(QPalette::Base, Qt::white);
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);
  setAutoFillBackground(true);
  printBlackText_ = true;
}

void THtmlView::SetTopRightControl(QWidget* child, int right, int top) {
  topRight_ = child;
  topRightRight_ = right;
  topRightTop_ = top;
  if (!child) return;
  child->setParent(this);
  PlaceTopRightControl();
  child->show();
}

void THtmlView::PlaceTopRightControl() {
  if (!topRight_) return;
  const QRect area = viewport()->geometry();
  topRight_->move(area.right() + 1 - topRightRight_ - topRight_->width(), area.top() + topRightTop_);
  topRight_->raise();
}

void THtmlView::resizeEvent(QResizeEvent* event) {
  QTextBrowser::resizeEvent(event);
  PlaceTopRightControl();
}

void THtmlView::HotSpotClicked(const QUrl& link) {
  const QString target = link.toString();
  bool handled = false;
  if (OnHotSpotClick) OnHotSpotClick(this, target, handled);
  if (!handled) FollowLink(target);
}

void THtmlView::FollowLink(const QString& target) {
  const QUrl url(target);
  if (!url.isValid()) return;
  const QString fragment = url.fragment(QUrl::FullyDecoded);
  if (url.scheme().isEmpty() && url.path().isEmpty()) {
    if (!fragment.isEmpty()) scrollToAnchor(fragment);
    return;
  }
  // Only relative references are followed inside the view; every scheme (file:, javascript:,
  // mailto:, and web addresses nobody handled) stays where it is.
  if (!url.scheme().isEmpty()) return;
  const QString path = LocalPathFor(url);
  if (path.isEmpty() || !IsHtmlFile(path) || !QFileInfo(path).isFile()) return;
  if (!LoadFromFile(path)) return;
  if (!fragment.isEmpty()) scrollToAnchor(fragment);
}
