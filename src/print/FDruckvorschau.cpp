#include "print/FDruckvorschau.h"

#include <QButtonGroup>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

#include "platform/uPrintDevice.h"
#include "storage/uDocuments.h"
#include "storage/uProgramPaths.h"

namespace {
constexpr qreal kZoomStep = 1.25;
const QString kPdfTitle = QStringLiteral("KALNO-Mahnbescheid");

QPushButton* Button(const QString& text, const char* name, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(QLatin1String(name));
  b->setAutoDefault(false);
  return b;
}
}  // namespace

TDruckvorschau::TDruckvorschau(const TFieldLists& lists, int stepCount, const TFormBackground& background,
                               QWidget* parent)
    : QDialog(parent),
      lists_(lists),
      steps_(qBound(0, stepCount, int(lists.size()))),
      background_(background),
      printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
  setObjectName(QStringLiteral("Druckvorschau"));
  setWindowTitle(QStringLiteral("Druckvorschau"));
  // A PDF printer is there on every system; the preview only borrows its page geometry.
  printer_->setOutputFormat(QPrinter::PdfFormat);
  printer_->setResolution(kResolution);
  printer_->setPageLayout(
      QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(), QPageLayout::Millimeter));
  printer_->setDocName(kPdfTitle);

  auto* layout = new QVBoxLayout(this);
  auto* bar = new QHBoxLayout();
  btnSeite1 = Button(QStringLiteral("Seite 1"), "btnSeite1", this);
  btnSeite2 = Button(QStringLiteral("Seite 2"), "btnSeite2", this);
  for (QPushButton* b : {btnSeite1, btnSeite2}) b->setCheckable(true);
  auto* pages = new QButtonGroup(this);
  pages->setExclusive(true);
  pages->addButton(btnSeite1, 1);
  pages->addButton(btnSeite2, 2);
  btnVergroessern = Button(QStringLiteral("Vergrößern"), "btnVergroessern", this);
  btnVerkleinern = Button(QStringLiteral("Verkleinern"), "btnVerkleinern", this);
  btnGanzeSeite = Button(QStringLiteral("Ganze Seite"), "btnGanzeSeite", this);
  btnDrucken = Button(QStringLiteral("Drucken"), "btnDrucken", this);
  btnSchliessen = Button(QStringLiteral("Schließen"), "btnSchliessen", this);
  bar->addWidget(btnSeite1);
  bar->addWidget(btnSeite2);
  bar->addSpacing(16);
  bar->addWidget(btnVergroessern);
  bar->addWidget(btnVerkleinern);
  bar->addWidget(btnGanzeSeite);
  bar->addStretch(1);
  bar->addWidget(btnDrucken);
  bar->addWidget(btnSchliessen);
  layout->addLayout(bar);

  Preview = new QPrintPreviewWidget(printer_.get(), this);
  Preview->setObjectName(QStringLiteral("Preview"));
  Preview->setViewMode(QPrintPreviewWidget::SinglePageView);
  Preview->setZoomMode(QPrintPreviewWidget::FitInView);
  layout->addWidget(Preview, 1);

  connect(Preview, &QPrintPreviewWidget::paintRequested, this, &TDruckvorschau::PaintRequested);
  connect(Preview, &QPrintPreviewWidget::previewChanged, this, &TDruckvorschau::UpdatePageButtons);
  connect(pages, &QButtonGroup::idClicked, this, &TDruckvorschau::ShowPage);
  connect(btnVergroessern, &QPushButton::clicked, Preview, [this] { Preview->zoomIn(kZoomStep); });
  connect(btnVerkleinern, &QPushButton::clicked, Preview, [this] { Preview->zoomOut(kZoomStep); });
  connect(btnGanzeSeite, &QPushButton::clicked, Preview, &QPrintPreviewWidget::fitInView);
  connect(btnDrucken, &QPushButton::clicked, this, &TDruckvorschau::btnDruckenClick);
  connect(btnSchliessen, &QPushButton::clicked, this, &QDialog::reject);
  // The keys of the page and zoom buttons.
  auto* next = new QShortcut(QKeySequence(Qt::Key_PageDown), this);
  connect(next, &QShortcut::activated, this, [this] { ShowPage(CurrentPage() + 1); });
  auto* previous = new QShortcut(QKeySequence(Qt::Key_PageUp), this);
  connect(previous, &QShortcut::activated, this, [this] { ShowPage(CurrentPage() - 1); });
  auto* in = new QShortcut(QKeySequence::ZoomIn, this);
  connect(in, &QShortcut::activated, btnVergroessern, &QPushButton::click);
  auto* out = new QShortcut(QKeySequence::ZoomOut, this);
  connect(out, &QShortcut::activated, btnVerkleinern, &QPushButton::click);

  // A whole sheet fits at a readable size: nine tenths of the screen's height, A4-wide.
  if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
    const QRect free = screen->availableGeometry();
    const int h = qMax(480, free.height() * 9 / 10);
    resize(qMin(free.width(), qMax(640, h * 210 / 297 + 60)), h);
  }
  // Laid out now, so the page buttons and the page count are right before the dialog shows.
  Preview->updatePreview();
  UpdatePageButtons();
}

TDruckvorschau::~TDruckvorschau() = default;

void TDruckvorschau::PaintPages(TPrintDevice& device) const {
  PrintPagesToOneJob(lists_, steps_, device, ReadPrintOffset(), kPdfTitle, &background_);
}

void TDruckvorschau::PaintRequested(QPrinter* printer) {
  if (!printer) return;
  TQPrinterDevice device(*printer);
  PaintPages(device);
}

int TDruckvorschau::CurrentPage() const { return Preview->currentPage(); }

void TDruckvorschau::ShowPage(int page) {
  const int count = Preview->pageCount();
  if (count <= 0) return;
  Preview->setCurrentPage(qBound(1, page, count));
  UpdatePageButtons();
}

void TDruckvorschau::UpdatePageButtons() {
  const int count = Preview->pageCount();
  btnSeite1->setEnabled(count >= 1);
  btnSeite2->setEnabled(count >= 2);
  const int page = Preview->currentPage();
  btnSeite1->setChecked(page <= 1);
  btnSeite2->setChecked(page == 2);
}

void TDruckvorschau::btnDruckenClick() { accept(); }

bool ShowPrintPreview(const TFieldLists& lists, int stepCount, const TWizardDefinition& definition) {
  const TFormBackground background(definition, RuntimeFolder());
  TDruckvorschau dialog(lists, stepCount, background, Dialogs().ParentWidget());
  return Dialogs().ExecDialog(dialog) == QDialog::Accepted;
}

bool WriteFormPdf(const QString& fileName, const TFieldLists& lists, int stepCount, const TFormBackground& background,
                  QString* error) {
  TPdfPrintDevice device(fileName);
  if (PrintPagesToOneJob(lists, stepCount, device, ReadPrintOffset(), kPdfTitle, &background)) return true;
  if (error) {
    *error = device.ErrorText();
    if (error->isEmpty())
      *error = QStringLiteral("Die PDF-Datei \"%1\" konnte nicht geschrieben werden.")
                   .arg(QFileInfo(fileName).absoluteFilePath());
  }
  return false;
}

TFileDialogRequest PdfExportRequest(const QString& documentName) {
  TFileDialogRequest r;
  r.Title = QStringLiteral("Als PDF exportieren");
  r.Filter = QStringLiteral("PDF-Dateien (*.pdf)|*.pdf");
  r.DefaultExtension = QStringLiteral("pdf");
  if (documentName.isEmpty()) {
    r.InitialDir = TDocument::DocumentFolder();
  } else {
    const QFileInfo doc(documentName);
    r.InitialDir = doc.absolutePath();
    r.FileName = doc.completeBaseName() + QStringLiteral(".pdf");
  }
  return r;
}

bool ExportFormPdf(const TFieldLists& lists, int stepCount, const TWizardDefinition& definition,
                   const QString& documentName) {
  const QString chosen = Dialogs().SaveFileName(PdfExportRequest(documentName));
  if (chosen.isEmpty()) return false;
  QString error;
  bool written = false;
  {
    // A few seconds at the PDF's resolution.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const TFormBackground background(definition, RuntimeFolder(), TFormBackground::TUse::PdfOnly);
    written = WriteFormPdf(chosen, lists, stepCount, background, &error);
    QGuiApplication::restoreOverrideCursor();
  }
  if (written) return true;
  Dialogs().ShowError(error);
  return false;
}
