#include "platform/uPrintDevice.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <cmath>

#include "platform/UserDialogs.h"

TPrintDevice::~TPrintDevice() = default;

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
  const bool painted = painter_.end();
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

bool TQPrinterDevice::ChoosePrinter(UserDialogs& dialogs) { return dialogs.PrintDialog(*printer_); }

bool TQPrinterDevice::WritesToFile() const {
  return printer_->outputFormat() == QPrinter::PdfFormat || !printer_->outputFileName().isEmpty();
}

QPagedPaintDevice& TQPrinterDevice::Device() const { return *printer_; }
void TQPrinterDevice::SetJobTitle(const QString& title) { printer_->setDocName(title); }
int TQPrinterDevice::Resolution() const { return printer_->resolution(); }
QPageLayout TQPrinterDevice::Layout() const { return printer_->pageLayout(); }

// --- PDF file -------------------------------------------------------------------------------

struct TPdfPrintDevice::TOutput {
  explicit TOutput(const QString& name) : File(name) {}
  QSaveFile File;
  std::unique_ptr<QPdfWriter> Writer;
  QString Title;
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

bool TPdfPrintDevice::ChoosePrinter(UserDialogs&) { return true; }

void TPdfPrintDevice::SetJobTitle(const QString& title) {
  if (out_) out_->Title = title;
}

bool TPdfPrintDevice::BeginJob(const QString& title) {
  if (painter_.isActive()) return false;
  error_.clear();
  out_ = std::make_unique<TOutput>(fileName_);
  if (!out_->File.open(QIODevice::WriteOnly)) {
    error_ = QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden: %2")
                 .arg(QFileInfo(fileName_).absoluteFilePath(), out_->File.errorString());
    out_.reset();
    return false;
  }
  out_->Writer = std::make_unique<QPdfWriter>(&out_->File);
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

bool TPdfPrintDevice::FinishOutput() {
  if (!out_) return false;
  out_->Writer.reset();
  const bool ok = out_->File.commit();
  if (!ok)
    error_ = QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden: %2")
                 .arg(QFileInfo(fileName_).absoluteFilePath(), out_->File.errorString());
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

bool TImagePrintDevice::ChoosePrinter(UserDialogs& dialogs) {
  if (!dialogPrinter_) dialogPrinter_ = std::make_unique<QPrinter>();
  return dialogs.PrintDialog(*dialogPrinter_);
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
