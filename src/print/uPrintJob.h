#pragma once
#include <QImage>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "definition/WizardSteps.h"
#include "fields/uFormFields.h"
#include "platform/uPdfJpegImages.h"

class TDrawContext;
class TPdfJpegImages;
class TPrintDevice;
class TTransformation;

// The calibrated print offset in millimetres: positive X moves the print right, positive Y down.
struct TPrintOffset {
  double X = 0.0;
  double Y = 0.0;
};

// A value on the half-millimetre grid (times 2, rounded halves to even, halved); 0 for NaN/inf.
double RoundToHalfMillimetre(double mm);
// "OffsetX" / "OffsetY" of section "Mahnbescheid", on the half-millimetre grid.
TPrintOffset ReadPrintOffset();

// World millimetres from the sheet's top-left corner to the device pixels of the printable area:
// Translate(-physical offset), then Scale(dpi / 25.4).
void SetDeviceTransformation(TTransformation& transformation, const TPrintDevice& device);

// One field in its box plus offset: every kind but Button, vertically centred, from the box's
// left edge; digit boxes one character per cell of Width / NumberOfDigits + 0.1 mm. The
// context's font is the field's font while it is drawn and is restored afterwards.
void PrintField(TDrawContext& context, const TFormField& field, const TPrintOffset& offset);
void PrintFieldList(TDrawContext& context, const TFormFieldList& list, const TPrintOffset& offset);

// Steps 0 and 1 go onto page 1, every later step onto page 2.
inline int PageOfStep(int stepIndex) { return stepIndex < 2 ? 1 : 2; }
// How many pages `stepCount` steps fill: 0, 1 or 2.
inline int PageCount(int stepCount) { return stepCount <= 0 ? 0 : stepCount <= 2 ? 1 : 2; }

// The blank form for the preview and the PDF: the step pictures (images/Step<k>.jpg of the
// runtime folder) at their step metrics, in millimetres from the sheet's top-left corner, and
// across each page the mark that says it is a copy for checking (CheckOnlyMarkText). On paper
// the form is pre-printed, so the print command draws none of this.
class TFormBackground {
 public:
  TFormBackground() = default;
  // Where the background goes: the preview on screen and paper devices need the pictures decoded;
  // a PDF alone carries the JPEG files themselves and needs them only checked.
  enum class TUse { AnyDevice, PdfOnly };
  // A step without a picture file (or with one that does not load) leaves its region white.
  TFormBackground(const TWizardDefinition& definition, const QString& runtimeFolder, TUse use = TUse::AnyDevice);
  // The pictures of the steps on `page`, not shifted by the print offset (the offset corrects the
  // printer, not the form), then the mark. Each picture goes to the device once, at its own
  // resolution: the device scales it, and a PDF keeps the picture's pixels. With `jpegs` (a PDF
  // device's) a picture whose file a PDF can carry goes there as the file's own bytes.
  void DrawPage(TDrawContext& context, int page, TPdfJpegImages* jpegs = nullptr) const;
  int PictureCount() const { return int(pictures_.size()); }

 private:
  struct TPicture {
    int Step = 0;
    TStepMetric Metric;
    QImage Image;     // null for a picture only checked (PdfOnly), which Jpeg then holds
    QByteArray Jpeg;  // the file, when a PDF can carry it as it is
    TJpegHeader Header;
  };
  std::vector<TPicture> pictures_;
};

// Page 1 or 2 of the filled form on a context whose transformation maps sheet millimetres to the
// device (SetDeviceTransformation): with a background, the blank form first; then every field of
// the page's steps at its box plus `offset`. Paper, preview and PDF all draw through here.
void DrawFormPage(TDrawContext& context, const TFieldLists& lists, int stepCount, int page, const TPrintOffset& offset,
                  const TFormBackground* background = nullptr, TPdfJpegImages* jpegs = nullptr);

// The light diagonal mark across every page of the preview and the PDF of the filled form: the
// court takes only the original sheet and sends a printed picture of it back.
QString CheckOnlyMarkText();

// The texts of the command's boxes.
QString TestPrintReminderText();
QString InsertPage1Text();
// The prompt for the first (or only) sheet of a print that starts with `page`.
QString InsertPageText(int page);
QString InsertPage2Text();
QString PrintFailedMessage();
QString NoFormPageChosenText();

// How the print command ended.
enum class TPrintResult {
  Busy,                // a print command is already running
  IncompleteCancelled, // "Nein" on the completeness warning
  ReviewCancelled,     // "Zurück zum Formular" in the review before printing
  PrinterDialogCancelled,
  NoPageChosen,        // the printer dialog's page range holds no page of the form (a box said so)
  Page1Cancelled,      // the first paper prompt: nothing printed
  Page2Cancelled,      // page 1 printed
  Failed,              // the device could not start or finish a job (an error box was shown)
  Printed,
};

// The review before printing, right after the completeness warning. `CompletenessConfirmed`
// skips that warning when the user has just accepted the same missing entries elsewhere (the
// review before the preview); `Gate` gets whether the warning was answered with "Ja" and returns
// false to stop the command.
struct TPrintReview {
  bool CompletenessConfirmed = false;
  std::function<bool(bool completenessAnswered)> Gate;
};

// The print command of the main window ("Drucken"): completeness warning, test-print reminder,
// printer dialog, then page 1 (steps 0, 1) and page 2 (every later step) as two jobs with the
// paper prompts and a pause of at least 6000 ms from the printer dialog to the page-2 prompt.
// A page range chosen in the printer dialog (a reprint after a paper jam) prints only those pages:
// a single page gets its own prompt and no pause. A printer that writes into a file gets the
// chosen pages in one job, without prompts or pause.
// The wait keeps the windows painting but holds back user input, so the fields cannot change
// or go away under the running job. All boxes go through Dialogs(), time through Clock().
class TPrintCommand {
 public:
  // `stepCount` is the definition's step count; steps beyond the lists print nothing.
  TPrintCommand(const TFieldLists& lists, int stepCount, TPrintDevice& device);
  TPrintResult Run();
  TPrintReview Review;

  // True while a print command runs (it waits with the event loop turning).
  static bool Running();

 private:
  TPrintResult PrintToPaper(qint64 t0, const TPrintOffset& offset, const std::vector<int>& pages);
  TPrintResult PrintToFile(const TPrintOffset& offset, const std::vector<int>& pages);
  bool BeginJob(const QString& title);
  void ShowFailure();

  const TFieldLists& lists_;
  int steps_;
  TPrintDevice& device_;
  std::unique_ptr<TDrawContext> context_;
};


// ButtonPrintClick: the print command on PrintDevice().
TPrintResult ButtonPrintClick(const TFieldLists& lists, int stepCount, const TPrintReview& review = {});

// Both pages into one running-to-the-end job on `device`, without boxes or waits: the output
// of a file printer and of the --print-pdf command, and with the blank form as background that of
// the preview, the PDF export and --preview-pdf. False when the device failed.
bool PrintPagesToOneJob(const TFieldLists& lists, int stepCount, TPrintDevice& device, const TPrintOffset& offset,
                        const QString& title, const TFormBackground* background = nullptr);
// The same with only `pages` (ascending, each 1 or 2) in the job.
bool PrintChosenPagesToOneJob(const TFieldLists& lists, int stepCount, TPrintDevice& device,
                              const TPrintOffset& offset, const QString& title, const std::vector<int>& pages,
                              const TFormBackground* background = nullptr);
