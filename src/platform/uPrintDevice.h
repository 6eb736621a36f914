#pragma once
#include <QImage>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageRanges>
#include <QPageSize>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class QIODevice;
class QPagedPaintDevice;
class QPdfWriter;
class QPrinter;
class TPdfJpegImages;
class UserDialogs;

// The printer as the print command and the test print see it: the printer dialog, jobs with
// titles, one painter per job whose origin is the top-left corner of the printable area, and the
// device capabilities (resolution, physical offset of the printable area, printable page).
class TPrintDevice {
 public:
  virtual ~TPrintDevice();

  // The printer dialog on this device's printer for a form of `pageCount` pages; a page range is
  // offered only when there are several. Every dialog starts with the whole form chosen. False when
  // the user cancelled it.
  virtual bool ChoosePrinter(UserDialogs& dialogs, int pageCount) = 0;
  // The pages of 1..pageCount the last printer dialog chose, ascending: all of them unless the user
  // limited the print to some; empty when the choice holds none of the form's pages.
  virtual std::vector<int> ChosenPages(int pageCount) const;
  // True when the chosen printer writes into a file (PDF) rather than onto paper: a second job
  // would overwrite the first, so both pages belong into one job.
  virtual bool WritesToFile() const = 0;

  // Starts a job; Painter() is active until EndJob. False when the device could not start one.
  virtual bool BeginJob(const QString& title) = 0;
  // The next sheet within the running job.
  virtual bool NewPage() = 0;
  // Ends the running job; false when the device reported a failure. No-op without a job.
  virtual bool EndJob() = 0;
  bool JobActive() const { return painter_.isActive(); }
  QPainter& Painter() { return painter_; }

  // LOGPIXELSX / LOGPIXELSY.
  virtual int ResolutionX() const = 0;
  virtual int ResolutionY() const = 0;
  // PHYSICALOFFSETX / PHYSICALOFFSETY: where the printable area starts on the sheet, in device
  // pixels.
  virtual QPoint PhysicalOffset() const = 0;
  // The printable area in device pixels, at the painter's origin.
  virtual QRect PageRect() const = 0;
  // Why the last job could not be started or finished, when the device knows (German).
  virtual QString ErrorText() const { return QString(); }
  // While a job runs on a device that stores JPEG pictures as they are: where they go; else null.
  virtual TPdfJpegImages* JpegImages() { return nullptr; }

 protected:
  QPainter painter_;
};

// A paged paint device of Qt (printer, PDF writer) as print device. The printable area follows
// the device's page layout: its margins are the physical offset.
class TPagedPrintDevice : public TPrintDevice {
 public:
  bool BeginJob(const QString& title) override;
  bool NewPage() override;
  bool EndJob() override;
  int ResolutionX() const override;
  int ResolutionY() const override;
  QPoint PhysicalOffset() const override;
  QRect PageRect() const override;

 protected:
  virtual QPagedPaintDevice& Device() const = 0;
  virtual void SetJobTitle(const QString& title) = 0;
  // Called after the painter has ended; false when the output failed.
  virtual bool FinishOutput() { return true; }
  virtual int Resolution() const = 0;
  // The page layout the next or running job uses.
  virtual QPageLayout Layout() const = 0;
};

// The real printer: a QPrinter (not owned, or an own one), chosen through the printer dialog. Every
// job is set up for the paper form first (SetUpFormSheet), whatever the dialog or the queue chose.
class TQPrinterDevice : public TPagedPrintDevice {
 public:
  TQPrinterDevice();                          // an own QPrinter in high resolution
  explicit TQPrinterDevice(QPrinter& printer);  // not owned
  ~TQPrinterDevice() override;

  QPrinter& Printer() const { return *printer_; }
  bool ChoosePrinter(UserDialogs& dialogs, int pageCount) override;
  std::vector<int> ChosenPages(int pageCount) const override;
  bool WritesToFile() const override;
  bool BeginJob(const QString& title) override;

 protected:
  QPagedPaintDevice& Device() const override;
  void SetJobTitle(const QString& title) override;
  int Resolution() const override;
  QPageLayout Layout() const override;

 private:
  std::unique_ptr<QPrinter> own_;
  QPrinter* printer_ = nullptr;
};

// A PDF file of A4 pages written without any printer or dialog. The output goes to a temporary
// file first and replaces `fileName` only when the whole job has been written, so a failed job
// never leaves a damaged file behind. `margins` (millimetres) play the printer's physical offset.
class TPdfPrintDevice : public TPagedPrintDevice {
 public:
  explicit TPdfPrintDevice(const QString& fileName, int dpi = 1200, const QMarginsF& marginsMM = QMarginsF());
  ~TPdfPrintDevice() override;

  const QString& FileName() const { return fileName_; }
  QString ErrorText() const override { return error_; }
  // Without a printer dialog; always "confirmed", with the whole form.
  bool ChoosePrinter(UserDialogs& dialogs, int pageCount) override;
  bool WritesToFile() const override { return true; }
  bool BeginJob(const QString& title) override;
  TPdfJpegImages* JpegImages() override;

 protected:
  QPagedPaintDevice& Device() const override;
  void SetJobTitle(const QString& title) override;
  bool FinishOutput() override;
  int Resolution() const override { return dpi_; }
  QPageLayout Layout() const override { return layout_; }

 private:
  struct TOutput;
  QString fileName_;
  int dpi_;
  QPageLayout layout_;
  QString error_;
  std::unique_ptr<TOutput> out_;
};

// Sheets painted into images: chosen resolution and physical offset, each page one image of the
// printable area (white). For previews, screenshots and pixel checks; the printer dialog is the
// program's usual one (through UserDialogs) on a printer object that is never printed on.
class TImagePrintDevice : public TPrintDevice {
 public:
  // `physicalOffsetMM` is the unprintable margin on every side of the A4 sheet.
  TImagePrintDevice(int dpi, double physicalOffsetMM, bool writesToFile = false);
  ~TImagePrintDevice() override;

  bool ChoosePrinter(UserDialogs& dialogs, int pageCount) override;
  std::vector<int> ChosenPages(int pageCount) const override;
  bool WritesToFile() const override { return writesToFile_; }
  bool BeginJob(const QString& title) override;
  bool NewPage() override;
  bool EndJob() override;
  int ResolutionX() const override { return dpi_; }
  int ResolutionY() const override { return dpi_; }
  QPoint PhysicalOffset() const override { return offset_; }
  QRect PageRect() const override { return QRect(QPoint(0, 0), size_); }

  struct TJob {
    QString Title;
    std::vector<QImage> Pages;
  };
  const std::vector<TJob>& Jobs() const { return jobs_; }
  // Keeps only one page image and paints every page onto it (benchmarks).
  void SetReusePages(bool reuse) { reuse_ = reuse; }

 private:
  bool StartPage();
  int dpi_;
  QPoint offset_;
  QSize size_;
  bool writesToFile_;
  bool reuse_ = false;
  std::unique_ptr<QPrinter> dialogPrinter_;
  std::vector<TJob> jobs_;
};

// The device of the print command and the test print: the real printer unless a test installed
// another one.
TPrintDevice& PrintDevice();
void SetPrintDevice(TPrintDevice* device);  // not owned; nullptr restores the real printer

// The A4 sheet in pixels at `dpi`.
QSize A4SizePixels(int dpi);

// --- What the printer dialog chose ----------------------------------------------------------

// The job options a CUPS printer gets besides the page layout, as Qt's print dialog keeps them on the
// printer: name, value, name, value ... Empty for printers that are not CUPS queues.
QStringList CupsJobOptions(const QPrinter& printer);
void SetCupsJobOptions(QPrinter& printer, const QStringList& options);

// The pages of 1..pageCount a print dialog chose, ascending: `appRange` is the range the application
// is asked to print (empty: all); `pageSet` ("odd", "even" or anything else for all) and `cupsRanges`
// (CUPS page-ranges syntax "1-2,5", empty: all) are what the CUPS server would filter. CUPS counts
// odd and even among the pages the job holds, so `pageSet` counts within `appRange`.
std::vector<int> ChosenFormPages(int pageCount, const QPageRanges& appRange, const QString& pageSet,
                                 const QString& cupsRanges);
// ChosenFormPages of what the dialog left on `printer`.
std::vector<int> PagesChosenOn(const QPrinter& printer, int pageCount);
// Back to the whole form, so the next dialog does not start from an earlier reprint's range.
void ForgetChosenPages(QPrinter& printer);

// The paper form's sheet on `printer`: A4, portrait, full page (the painter's origin is the sheet's
// corner), one page per sheet and unscaled, whatever the queue's defaults or the dialog's choices.
// Page choices are dropped too: each job holds exactly the page it is meant to print.
void SetUpFormSheet(QPrinter& printer);
