#pragma once
#include <QDialog>
#include <QString>
#include <memory>

#include "fields/uFormFields.h"
#include "platform/UserDialogs.h"
#include "print/uPrintJob.h"

class QPrinter;
class QPrintPreviewWidget;
class QPushButton;
class TPrintDevice;
class TWizardDefinition;

// The print preview: both pages of the form as they come out, the blank form (the step pictures)
// under the values at their print positions with the current print offset, drawn by the same
// code as the print job. Page switch, zoom, "Drucken" (closes the preview with Accepted, the
// caller then runs the print command) and "Schließen".
class TDruckvorschau : public QDialog {
  Q_OBJECT
 public:
  // The preview printer's resolution: text positions are device independent, so this only sets
  // the grid of the glyph positions and of the pictures (at most 360 dpi in any case).
  static constexpr int kResolution = 300;

  // `lists`, `stepCount` and `background` must outlive the dialog.
  TDruckvorschau(const TFieldLists& lists, int stepCount, const TFormBackground& background,
                 QWidget* parent = nullptr);
  ~TDruckvorschau() override;

  QPrintPreviewWidget* Preview = nullptr;
  QPushButton *btnSeite1 = nullptr, *btnSeite2 = nullptr;
  QPushButton *btnVergroessern = nullptr, *btnVerkleinern = nullptr, *btnGanzeSeite = nullptr;
  QPushButton *btnDrucken = nullptr, *btnSchliessen = nullptr;

  // The printer the preview lays its pages out on (A4, no margins, kResolution); never printed on.
  QPrinter& Printer() const { return *printer_; }
  // Every page of the preview onto `device`, as the preview itself paints them.
  void PaintPages(TPrintDevice& device) const;
  // 1 or 2.
  int CurrentPage() const;
  void ShowPage(int page);

 public Q_SLOTS:
  void PaintRequested(QPrinter* printer);
  void btnDruckenClick();

 private:
  void UpdatePageButtons();

  const TFieldLists& lists_;
  int steps_;
  const TFormBackground& background_;
  std::unique_ptr<QPrinter> printer_;
};

// "Druckvorschau...": runs the preview modally through Dialogs(); true when the user chose
// "Drucken" in it (the caller runs the print command then).
bool ShowPrintPreview(const TFieldLists& lists, int stepCount, const TWizardDefinition& definition);

// The filled form with its blank form as background, both pages, into a PDF file: written
// completely or not at all. False with `error` (German) when it could not be written.
bool WriteFormPdf(const QString& fileName, const TFieldLists& lists, int stepCount, const TFormBackground& background,
                  QString* error);

// The file dialog's request of "Als PDF exportieren...": the document's folder and name with
// ".pdf" when it has one.
TFileDialogRequest PdfExportRequest(const QString& documentName);

// "Als PDF exportieren...": asks for the file name through Dialogs(), writes the PDF, shows an
// error box when it cannot be written. True when a PDF was written.
bool ExportFormPdf(const TFieldLists& lists, int stepCount, const TWizardDefinition& definition,
                   const QString& documentName);
