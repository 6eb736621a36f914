#include "platform/uPrintDevice.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QPdfWriter>
#include <QPrintEngine>
#include <QPrinter>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <cmath>

#include "diagnostics/udebug.h"
#include "platform/UserDialogs.h"
#include "platform/uPdfGlyphLookup.h"
#include "platform/uPdfJpegImages.h"
#include "storage/uSafeFile.h"

TPrintDevice::~TPrintDevice() = default;

std::vector<int> TPrintDevice::ChosenPages(int pageCount) const {
  std::vector<int> pages;
  for (int page = 1; page <= pageCount; ++page) pages.push_back(page);
  return pages;
}

QSize A4SizePixels(int dpi) {
  const QSizeF mm = QPageSize(QPageSize::A4).size(QPageSize::Millimeter);
  return QSize(int(std::lround(mm.width() / 25.4 * dpi)), int(std::lround(mm.height() / 25.4 * dpi)));
}

// --- Paged devices --------------------------------------------------------------------------

bool TPagedPrintDevice::BeginJob(const QString& title) {
  if (painter_.isActive()) return false;
  SetJobTitle(title);
  return painter_.begin(&Device());
}

bool TPagedPrintDevice::NewPage() {
  if (!painter_.isActive()) return false;
  return Device().newPage();
}

bool TPagedPrintDevice::EndJob() {
  if (!painter_.isActive()) return true;
  bool painted;
  {
    // Qt's PDF writer (also behind the printer) writes the fonts now.
    TPdfGlyphLookupScope glyphs;
    painted = painter_.end();
  }
  const bool written = FinishOutput();
  return painted && written;
}

int TPagedPrintDevice::ResolutionX() const { return Resolution(); }
int TPagedPrintDevice::ResolutionY() const { return Resolution(); }

QPoint TPagedPrintDevice::PhysicalOffset() const {
  const QPageLayout layout = Layout();
  return layout.paintRectPixels(Resolution()).topLeft() - layout.fullRectPixels(Resolution()).topLeft();
}

QRect TPagedPrintDevice::PageRect() const {
  return QRect(QPoint(0, 0), Layout().paintRectPixels(Resolution()).size());
}

// --- The real printer -----------------------------------------------------------------------

TQPrinterDevice::TQPrinterDevice()
    : own_(std::make_unique<QPrinter>(QPrinter::HighResolution)), printer_(own_.get()) {}

TQPrinterDevice::TQPrinterDevice(QPrinter& printer) : printer_(&printer) {}

TQPrinterDevice::~TQPrinterDevice() {
  if (painter_.isActive()) painter_.end();
}

bool TQPrinterDevice::ChoosePrinter(UserDialogs& dialogs, int pageCount) {
  ForgetChosenPages(*printer_);
  return dialogs.PrintDialog(*printer_, pageCount);
}

std::vector<int> TQPrinterDevice::ChosenPages(int pageCount) const { return PagesChosenOn(*printer_, pageCount); }

bool TQPrinterDevice::BeginJob(const QString& title) {
  if (painter_.isActive()) return false;
  SetUpFormSheet(*printer_);
  return TPagedPrintDevice::BeginJob(title);
}

bool TQPrinterDevice::WritesToFile() const {
  return printer_->outputFormat() == QPrinter::PdfFormat || !printer_->outputFileName().isEmpty();
}

QPagedPaintDevice& TQPrinterDevice::Device() const { return *printer_; }
void TQPrinterDevice::SetJobTitle(const QString& title) { printer_->setDocName(title); }
int TQPrinterDevice::Resolution() const { return printer_->resolution(); }
QPageLayout TQPrinterDevice::Layout() const { return printer_->pageLayout(); }

// --- PDF file -------------------------------------------------------------------------------

// Qt's writer fills a buffer; the file gets it once the JPEG pictures are in place.
struct TPdfPrintDevice::TOutput {
  explicit TOutput(const QString& name) : File(name) {}
  QSaveFile File;
  QByteArray Pdf;
  QBuffer Buffer{&Pdf};
  std::unique_ptr<QPdfWriter> Writer;
  QString Title;
  TPdfJpegImages Jpegs;
};

TPdfPrintDevice::TPdfPrintDevice(const QString& fileName, int dpi, const QMarginsF& marginsMM)
    : fileName_(fileName),
      dpi_(dpi > 0 ? dpi : 1200),
      layout_(QPageSize(QPageSize::A4), QPageLayout::Portrait, marginsMM, QPageLayout::Millimeter) {}

TPdfPrintDevice::~TPdfPrintDevice() {
  // A job that was never ended leaves the old file as it was.
  if (painter_.isActive()) painter_.end();
  if (out_) out_->File.cancelWriting();
}

bool TPdfPrintDevice::ChoosePrinter(UserDialogs&, int) { return true; }

void TPdfPrintDevice::SetJobTitle(const QString& title) {
  if (out_) out_->Title = title;
}

bool TPdfPrintDevice::BeginJob(const QString& title) {
  if (painter_.isActive()) return false;
  error_.clear();
  out_ = std::make_unique<TOutput>(fileName_);
  if (!out_->File.open(QIODevice::WriteOnly)) {
    const int error = errno;
    error_ = QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden: %2")
                 .arg(QFileInfo(fileName_).absoluteFilePath(),
                      OpenFailureReason(fileName_, error, out_->File.errorString()));
    out_.reset();
    return false;
  }
  out_->Buffer.open(QIODevice::WriteOnly);
  out_->Writer = std::make_unique<QPdfWriter>(&out_->Buffer);
  out_->Writer->setResolution(dpi_);
  out_->Writer->setPageLayout(layout_);
  out_->Writer->setTitle(title);
  out_->Writer->setCreator(ApplicationTitle());
  if (!painter_.begin(out_->Writer.get())) {
    error_ = QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden.").arg(QFileInfo(fileName_).absoluteFilePath());
    out_->File.cancelWriting();
    out_.reset();
    return false;
  }
  return true;
}

QPagedPaintDevice& TPdfPrintDevice::Device() const { return *out_->Writer; }

TPdfJpegImages* TPdfPrintDevice::JpegImages() { return out_ && painter_.isActive() ? &out_->Jpegs : nullptr; }

bool TPdfPrintDevice::FinishOutput() {
  if (!out_) return false;
  out_->Writer.reset();
  out_->Buffer.close();
  QString why;
  if (!out_->Jpegs.Apply(out_->Pdf, &why)) {
    // Qt laid the file out differently: without its pictures it would be wrong, so none is written.
    Debug().Log(QStringLiteral("PDF: Bilder nicht eingesetzt: ") + why);
    error_ = QStringLiteral("Die Bilder des Formulars konnten nicht in die PDF-Datei \"%1\" geschrieben werden.")
                 .arg(QFileInfo(fileName_).absoluteFilePath());
    out_->File.cancelWriting();
    out_.reset();
    return false;
  }
  const bool ok = out_->File.write(out_->Pdf) == out_->Pdf.size() && out_->File.commit();
  const int error = errno;
  if (!ok)
    error_ = QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden: %2")
                 .arg(QFileInfo(fileName_).absoluteFilePath(), SystemErrorText(error, out_->File.errorString()));
  out_.reset();
  return ok;
}

// --- Images ---------------------------------------------------------------------------------

TImagePrintDevice::TImagePrintDevice(int dpi, double physicalOffsetMM, bool writesToFile)
    : dpi_(dpi), writesToFile_(writesToFile) {
  const int off = int(std::lround(physicalOffsetMM / 25.4 * dpi));
  offset_ = QPoint(off, off);
  const QSize sheet = A4SizePixels(dpi);
  size_ = QSize(sheet.width() - 2 * off, sheet.height() - 2 * off);
}

TImagePrintDevice::~TImagePrintDevice() {
  if (painter_.isActive()) painter_.end();
}

bool TImagePrintDevice::ChoosePrinter(UserDialogs& dialogs, int pageCount) {
  if (!dialogPrinter_) dialogPrinter_ = std::make_unique<QPrinter>();
  ForgetChosenPages(*dialogPrinter_);
  return dialogs.PrintDialog(*dialogPrinter_, pageCount);
}

std::vector<int> TImagePrintDevice::ChosenPages(int pageCount) const {
  return dialogPrinter_ ? PagesChosenOn(*dialogPrinter_, pageCount) : TPrintDevice::ChosenPages(pageCount);
}

bool TImagePrintDevice::StartPage() {
  TJob& job = jobs_.back();
  if (!reuse_ || job.Pages.empty()) {
    QImage page(size_, QImage::Format_RGB32);
    if (page.isNull()) return false;
    page.setDotsPerMeterX(int(std::lround(dpi_ / 0.0254)));
    page.setDotsPerMeterY(int(std::lround(dpi_ / 0.0254)));
    page.fill(Qt::white);
    job.Pages.push_back(std::move(page));
  }
  return painter_.begin(&job.Pages.back());
}

bool TImagePrintDevice::BeginJob(const QString& title) {
  if (painter_.isActive()) return false;
  if (!reuse_ || jobs_.empty()) jobs_.push_back(TJob{title, {}});
  jobs_.back().Title = title;
  return StartPage();
}

bool TImagePrintDevice::NewPage() {
  if (!painter_.isActive()) return false;
  painter_.end();
  return StartPage();
}

bool TImagePrintDevice::EndJob() {
  if (!painter_.isActive()) return true;
  return painter_.end();
}

// --- The device in use ----------------------------------------------------------------------

namespace {
TPrintDevice* g_device = nullptr;
std::unique_ptr<TQPrinterDevice>& RealDevice() {
  static std::unique_ptr<TQPrinterDevice> real;
  return real;
}
}  // namespace

TPrintDevice& PrintDevice() {
  if (g_device) return *g_device;
  // One printer for the whole run, so the printer dialog remembers the last choice; released
  // with the application object, before the print system goes away.
  std::unique_ptr<TQPrinterDevice>& real = RealDevice();
  if (!real) {
    real = std::make_unique<TQPrinterDevice>();
    qAddPostRoutine([] { RealDevice().reset(); });
  }
  return *real;
}

void SetPrintDevice(TPrintDevice* device) { g_device = device; }

// --- What the printer dialog chose ----------------------------------------------------------

namespace {
// The engine property under which Qt's print dialog and its CUPS engine keep the job options.
const auto kCupsOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);

QString OptionValue(const QStringList& options, const QString& name) {
  for (int i = 0; i + 1 < options.size(); i += 2)
    if (options[i] == name) return options[i + 1];
  return QString();
}

QStringList WithoutOptions(const QStringList& options, const QStringList& names) {
  QStringList kept;
  for (int i = 0; i + 1 < options.size(); i += 2)
    if (!names.contains(options[i])) kept << options[i] << options[i + 1];
  return kept;
}

bool IsCupsQueue(const QPrinter& printer) {
  return printer.outputFormat() == QPrinter::NativeFormat && printer.printEngine() != nullptr;
}

// "1-2,5", "3-", "-2": the pages of 1..pageCount the CUPS page-ranges syntax names.
std::vector<int> PagesInCupsRanges(const QString& ranges, int pageCount) {
  std::vector<bool> in(std::size_t(pageCount + 1), false);
  for (const QString& part : ranges.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
    const QString range = part.trimmed();
    const qsizetype dash = range.indexOf(QLatin1Char('-'));
    bool okFrom = true, okTo = true;
    int from = 0, to = 0;
    if (dash < 0) {
      from = to = range.toInt(&okFrom);
    } else {
      const QString a = range.left(dash).trimmed(), b = range.mid(dash + 1).trimmed();
      from = a.isEmpty() ? 1 : a.toInt(&okFrom);
      to = b.isEmpty() ? pageCount : b.toInt(&okTo);
    }
    if (!okFrom || !okTo) continue;
    for (int page = qMax(1, from); page <= qMin(to, pageCount); ++page) in[std::size_t(page)] = true;
  }
  std::vector<int> pages;
  for (int page = 1; page <= pageCount; ++page)
    if (in[std::size_t(page)]) pages.push_back(page);
  return pages;
}
}  // namespace

QStringList CupsJobOptions(const QPrinter& printer) {
  if (!IsCupsQueue(printer)) return QStringList();
  return printer.printEngine()->property(kCupsOptionsKey).toStringList();
}

void SetCupsJobOptions(QPrinter& printer, const QStringList& options) {
  if (IsCupsQueue(printer)) printer.printEngine()->setProperty(kCupsOptionsKey, options);
}

std::vector<int> ChosenFormPages(int pageCount, const QPageRanges& appRange, const QString& pageSet,
                                 const QString& cupsRanges) {
  std::vector<int> pages;
  for (int page = 1; page <= pageCount; ++page)
    if (appRange.isEmpty() || appRange.contains(page)) pages.push_back(page);
  const bool odd = pageSet == QLatin1String("odd"), even = pageSet == QLatin1String("even");
  if (odd || even) {
    std::vector<int> kept;
    for (std::size_t i = 0; i < pages.size(); ++i)
      if ((i % 2 == 0) == odd) kept.push_back(pages[i]);
    pages = kept;
  }
  if (!cupsRanges.trimmed().isEmpty()) {
    const std::vector<int> named = PagesInCupsRanges(cupsRanges, pageCount);
    std::vector<int> kept;
    for (int page : pages)
      if (std::find(named.begin(), named.end(), page) != named.end()) kept.push_back(page);
    pages = kept;
  }
  return pages;
}

std::vector<int> PagesChosenOn(const QPrinter& printer, int pageCount) {
  const QPageRanges appRange = printer.printRange() == QPrinter::PageRange ? printer.pageRanges() : QPageRanges();
  const QStringList options = CupsJobOptions(printer);
  return ChosenFormPages(pageCount, appRange, OptionValue(options, QStringLiteral("page-set")),
                         OptionValue(options, QStringLiteral("page-ranges")));
}

void ForgetChosenPages(QPrinter& printer) {
  printer.setPrintRange(QPrinter::AllPages);
  printer.setPageRanges(QPageRanges());
  const QStringList options = CupsJobOptions(printer);
  const QStringList kept = WithoutOptions(options, {QStringLiteral("page-ranges"), QStringLiteral("page-set")});
  if (kept != options) SetCupsJobOptions(printer, kept);
}

void SetUpFormSheet(QPrinter& printer) {
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setPageOrientation(QPageLayout::Portrait);
  printer.setFullPage(true);
  if (!IsCupsQueue(printer)) return;
  // Whatever would move, shrink, turn or filter the page on its way through CUPS goes; what is left
  // (copies, banners, hold, PPD choices such as the tray) stays the user's. Explicit values win over
  // defaults an administrator may have set on the queue.
  QStringList options = WithoutOptions(
      CupsJobOptions(printer),
      {QStringLiteral("page-ranges"), QStringLiteral("page-set"), QStringLiteral("number-up"),
       QStringLiteral("number-up-layout"), QStringLiteral("fit-to-page"), QStringLiteral("fitplot"),
       QStringLiteral("print-scaling"), QStringLiteral("scaling"), QStringLiteral("natural-scaling"),
       QStringLiteral("landscape"), QStringLiteral("orientation-requested"), QStringLiteral("mirror"),
       QStringLiteral("position"), QStringLiteral("media"), QStringLiteral("PageSize"), QStringLiteral("PageRegion")});
  options << QStringLiteral("number-up") << QStringLiteral("1") << QStringLiteral("print-scaling")
          << QStringLiteral("none") << QStringLiteral("fit-to-page") << QStringLiteral("false")
          << QStringLiteral("orientation-requested") << QStringLiteral("3");
  SetCupsJobOptions(printer, options);
}
