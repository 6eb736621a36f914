#include "print/uPrintJob.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <cmath>

#include "platform/UserDialogs.h"
#include "platform/uClock.h"
#include "platform/uPrintDevice.h"
#include "print/FMahnungGrundeinstellungen.h"
#include "render/uPictureLoader.h"
#include "render/uPrinterDrawContext.h"
#include "render/uTransformation.h"
#include "rules/uValueRules.h"
#include "storage/uQVRegistry.h"

namespace {
const QString kSection = QStringLiteral("Mahnbescheid");
constexpr qint64 kPagePauseMs = 6000;
bool g_running = false;

// The hour-glass for the rest of the command, given back on every way out.
class TWaitCursor {
 public:
  TWaitCursor() { Set(); }
  ~TWaitCursor() { Clear(); }
  void Set() {
    if (!active_ && qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
      QGuiApplication::setOverrideCursor(Qt::WaitCursor);
      active_ = true;
    }
  }
  void Clear() {
    if (active_) QGuiApplication::restoreOverrideCursor();
    active_ = false;
  }

 private:
  bool active_ = false;
};

// While the command waits between the pages the windows keep painting, but input and close
// requests are held back: the field lists being printed must not change or go away meanwhile.
class TUserInputBlocker : public QObject {
 public:
  TUserInputBlocker() {
    if (QCoreApplication::instance()) QCoreApplication::instance()->installEventFilter(this);
  }
  ~TUserInputBlocker() override {
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::Shortcut:
      case QEvent::ShortcutOverride:
      case QEvent::Wheel:
      case QEvent::TouchBegin:
      case QEvent::TouchUpdate:
      case QEvent::TouchEnd:
      case QEvent::Close:
        event->ignore();
        return true;
      default:
        return false;
    }
  }
};

class TRunningFlag {
 public:
  TRunningFlag() { g_running = true; }
  ~TRunningFlag() { g_running = false; }
};

bool AskYes(TDialogKind kind, const QString& text, TDialogButtons buttons) {
  return Dialogs().Message(kind, text, buttons, dbYes) == dbYes;
}
}  // namespace

double RoundToHalfMillimetre(double mm) {
  if (!std::isfinite(mm)) return 0.0;
  return std::nearbyint(mm * 2.0) / 2.0;  // the default rounding mode: halves to even
}

TPrintOffset ReadPrintOffset() {
  TPrintOffset o;
  o.X = RoundToHalfMillimetre(QVRegIniFile().ReadFloat(kSection, QStringLiteral("OffsetX"), 0));
  o.Y = RoundToHalfMillimetre(QVRegIniFile().ReadFloat(kSection, QStringLiteral("OffsetY"), 0));
  return o;
}

void SetDeviceTransformation(TTransformation& transformation, const TPrintDevice& device) {
  const QPoint off = device.PhysicalOffset();
  transformation.Translate(float(-off.x()), float(-off.y()));
  transformation.Scale(float(device.ResolutionX() / 25.4), float(device.ResolutionY() / 25.4));
}

void PrintField(TDrawContext& context, const TFormField& field, const TPrintOffset& offset) {
  if (field.Kind() == TFormFieldKind::Button) return;
  const QFont saved = context.Font();
  context.SetFont(field.Font());
  const double left = offset.X + field.Left();
  const double top = offset.Y + field.Top();
  const double bottom = top + field.Height();
  const QString& value = field.Value();
  if (field.Kind() == TFormFieldKind::EditExt && field.NumberOfDigits() > 0) {
    const float cell = field.Width() / float(field.NumberOfDigits()) + 0.1f;
    for (int k = 1; k <= field.NumberOfDigits(); ++k) {
      const QString ch = k <= value.size() ? QString(value.at(k - 1)) : QString();
      const double shift = double(k - 1) * cell;
      context.DrawTextInBox(ch, tfVertCenter, float(left + shift), float(top), float(left + field.Width() + shift),
                            float(bottom));
    }
  } else {
    context.DrawTextInBox(value, tfVertCenter, float(left), float(top), float(left + field.Width()), float(bottom));
  }
  context.SetFont(saved);
}

void PrintFieldList(TDrawContext& context, const TFormFieldList& list, const TPrintOffset& offset) {
  for (int i = 0; i < list.Count(); ++i) PrintField(context, *list.Fields(i), offset);
}

TFormBackground::TFormBackground(const TWizardDefinition& definition, const QString& runtimeFolder, TUse use) {
  for (int i = 0; i < definition.StepCount(); ++i) {
    // The same limits as on screen: a hostile or broken picture leaves its region white.
    const QString file = runtimeFolder + QStringLiteral("images/Step%1.jpg").arg(i + 1);
    TPicture p{i, definition.StepMetric(i), QImage(), QByteArray(), TJpegHeader()};
    QByteArray jpeg;
    if (use == TUse::PdfOnly) {
      // Only a file whose header says what the decoder found may stand for the picture.
      const TStepPicture checked = CheckStepPicture(file, &jpeg);
      if (checked.State == TStepPicture::Loaded && ReadJpegHeader(jpeg, &p.Header) &&
          QSize(p.Header.Width, p.Header.Height) == checked.Size) {
        p.Jpeg = jpeg;
        pictures_.push_back(std::move(p));
        continue;
      }
      if (checked.State == TStepPicture::Missing || checked.State == TStepPicture::Refused) continue;
    }
    const TStepPicture picture = LoadStepPicture(file, &jpeg);
    if (picture.Picture.isNull()) continue;
    p.Image = picture.Picture.toImage();
    if (ReadJpegHeader(jpeg, &p.Header) && QSize(p.Header.Width, p.Header.Height) == p.Image.size()) p.Jpeg = jpeg;
    pictures_.push_back(std::move(p));
  }
}

namespace {
constexpr float kSheetWidthMM = 210.0f, kSheetHeightMM = 297.0f;

// From the lower left to the upper right corner of the sheet, in a light grey that lets the
// form show through.
void DrawCheckOnlyMark(QPainter& canvas, TTransformation& toDevice) {
  const QPointF topLeft = toDevice.TransformPoint(0, 0);
  const QPointF bottomRight = toDevice.TransformPoint(kSheetWidthMM, kSheetHeightMM);
  const QPointF centre = (topLeft + bottomRight) / 2;
  const double pixelsPerMM = (bottomRight.x() - topLeft.x()) / double(kSheetWidthMM);
  QFont font(QStringLiteral("Arial"));
  font.setBold(true);
  font.setPixelSize(qMax(1, int(std::lround(11.0 * pixelsPerMM))));  // about 31 points
  const double diagonal = std::hypot(double(kSheetWidthMM), double(kSheetHeightMM)) * pixelsPerMM;
  const QFontMetricsF metrics(font, canvas.device());
  const double width = metrics.horizontalAdvance(CheckOnlyMarkText());
  // Never longer than nine tenths of the diagonal, whatever font the system gives for Arial.
  if (width > 0.9 * diagonal) font.setPixelSize(qMax(1, int(font.pixelSize() * 0.9 * diagonal / width)));
  canvas.save();
  canvas.setFont(font);
  canvas.setPen(QColor(128, 128, 128, 80));
  canvas.translate(centre);
  canvas.rotate(-std::atan2(double(kSheetHeightMM), double(kSheetWidthMM)) * 180.0 / M_PI);
  const QRectF box(-diagonal / 2, -font.pixelSize(), diagonal, 2.0 * font.pixelSize());
  canvas.drawText(box, Qt::AlignCenter, CheckOnlyMarkText());
  canvas.restore();
}
}  // namespace

QString CheckOnlyMarkText() { return QStringLiteral("Nur zur Kontrolle – nicht bei Gericht einreichen"); }

void TFormBackground::DrawPage(TDrawContext& context, int page, TPdfJpegImages* jpegs) const {
  QPainter* canvas = context.Canvas();
  if (!canvas) return;
  TTransformation& toDevice = context.Transformation();
  for (const TPicture& p : pictures_) {
    if (PageOfStep(p.Step) != page) continue;
    const QPointF a = toDevice.TransformPoint(p.Metric.Left, p.Metric.Top);
    const QPointF b = toDevice.TransformPoint(p.Metric.Left + p.Metric.Width, p.Metric.Top + p.Metric.Height);
    const QRectF box = QRectF(a, b).normalized();
    if (jpegs && !p.Jpeg.isEmpty())
      canvas->drawImage(box, jpegs->StandIn(p.Jpeg, p.Header));
    else if (!p.Image.isNull())
      canvas->drawImage(box, p.Image);
    else
      canvas->drawImage(box, QImage::fromData(p.Jpeg, "JPEG"));  // only checked, yet not for a PDF
  }
  DrawCheckOnlyMark(*canvas, toDevice);
}

void DrawFormPage(TDrawContext& context, const TFieldLists& lists, int stepCount, int page, const TPrintOffset& offset,
                  const TFormBackground* background, TPdfJpegImages* jpegs) {
  if (background) background->DrawPage(context, page, jpegs);
  const int steps = qBound(0, stepCount, int(lists.size()));
  for (int i = 0; i < steps; ++i)
    if (PageOfStep(i) == page) PrintFieldList(context, lists[std::size_t(i)], offset);
}

QString TestPrintReminderText() {
  return QStringLiteral(
      "Sie haben noch keinen Testdruck gemacht, um das Formular richtig zu positionieren. Wollen Sie "
      "den Testdruck jetzt durchführen?");
}

QString InsertPage1Text() { return InsertPageText(1); }

QString InsertPageText(int page) {
  return QStringLiteral(
             "Bitte legen Sie Seite %1 von 2 eines \"Kalno - Antrag auf Erlass eines Mahnbescheides\" "
             "Formulares - in Ihren Drucker.")
      .arg(page);
}

QString InsertPage2Text() {
  return QStringLiteral("Warten Sie bitte, bis Seite ") + QStringLiteral("1") +
         QStringLiteral(" des Mahnbescheides ausgedruckt worden ist!") + QStringLiteral("\r\n") +
         QStringLiteral("\r\n") + QStringLiteral("Bitte legen Sie danach Seite ") + QStringLiteral("2") +
         QStringLiteral(" von 2 eines \"Kalno - Antrag auf Erlass eines Mahnbescheides\" Formulares - in Ihren "
                        "Drucker ein.");
}

QString PrintFailedMessage() { return QStringLiteral("Der Druck konnte nicht ausgeführt werden."); }

QString NoFormPageChosenText() {
  return QStringLiteral(
      "Im gewählten Seitenbereich liegt keine Seite des Formulars. Das Formular hat die Seiten 1 und 2; "
      "es wurde nichts gedruckt.");
}

namespace {
QString PageJobTitle(int page) { return QStringLiteral("KALNO-Mahnbescheid Seite ") + QString::number(page); }
}  // namespace

// --- The command ----------------------------------------------------------------------------

TPrintCommand::TPrintCommand(const TFieldLists& lists, int stepCount, TPrintDevice& device)
    : lists_(lists), steps_(qBound(0, stepCount, int(lists.size()))), device_(device) {}

bool TPrintCommand::Running() { return g_running; }

bool TPrintCommand::BeginJob(const QString& title) {
  if (!device_.BeginJob(title)) return false;
  context_ = std::make_unique<TPrinterDrawContext>(device_.Painter(), device_.PageRect(), device_.ResolutionY());
  SetDeviceTransformation(context_->Transformation(), device_);
  return true;
}

void TPrintCommand::ShowFailure() {
  const QString detail = device_.ErrorText();
  Dialogs().ShowError(detail.isEmpty() ? PrintFailedMessage() : PrintFailedMessage() + QStringLiteral("\r\n") + detail);
}

TPrintResult TPrintCommand::Run() {
  if (g_running) return TPrintResult::Busy;
  TRunningFlag running;

  QString message;
  const bool ask = !Review.CompletenessConfirmed && !CheckCompleteness(lists_, message);
  if (ask && !AskYes(TDialogKind::Warning, message, dbYes | dbNo)) return TPrintResult::IncompleteCancelled;
  if (Review.Gate && !Review.Gate(ask)) return TPrintResult::ReviewCancelled;

  if (!QVRegIniFile().ReadBool(kSection, QStringLiteral("Testdruck"), false) &&
      AskYes(TDialogKind::Confirmation, TestPrintReminderText(), dbYes | dbNo))
    ShowPrintPositionDialog(false);

  // A definition without steps still prints its (empty) first sheet.
  const int pageCount = qMax(1, PageCount(steps_));
  if (!device_.ChoosePrinter(Dialogs(), pageCount)) return TPrintResult::PrinterDialogCancelled;
  const qint64 t0 = Clock().NowMs();
  const std::vector<int> pages = device_.ChosenPages(pageCount);
  if (pages.empty()) {
    Dialogs().ShowInformation(NoFormPageChosenText());
    return TPrintResult::NoPageChosen;
  }

  if (device_.WritesToFile()) return PrintToFile(ReadPrintOffset(), pages);
  if (!AskYes(TDialogKind::Confirmation, InsertPageText(pages.front()), dbYes | dbCancel))
    return TPrintResult::Page1Cancelled;
  return PrintToPaper(t0, ReadPrintOffset(), pages);
}

TPrintResult TPrintCommand::PrintToPaper(qint64 t0, const TPrintOffset& offset, const std::vector<int>& pages) {
  TWaitCursor cursor;
  if (!BeginJob(PageJobTitle(pages.front()))) {
    cursor.Clear();
    ShowFailure();
    return TPrintResult::Failed;
  }
  DrawFormPage(*context_, lists_, steps_, pages.front(), offset);
  // Only the whole form has a second sheet; a single chosen page needs no pause.
  if (pages.size() > 1) {
    context_.reset();
    if (!device_.EndJob()) {
      cursor.Clear();
      ShowFailure();
      return TPrintResult::Failed;
    }
    {
      TUserInputBlocker blocker;
      Clock().WaitUntil(t0 + kPagePauseMs);
    }
    // The user answers the paper prompt with the usual pointer.
    cursor.Clear();
    if (!AskYes(TDialogKind::Confirmation, InsertPage2Text(), dbYes | dbCancel)) return TPrintResult::Page2Cancelled;
    cursor.Set();
    if (!BeginJob(PageJobTitle(pages[1]))) {
      cursor.Clear();
      ShowFailure();
      return TPrintResult::Failed;
    }
    DrawFormPage(*context_, lists_, steps_, pages[1], offset);
  }
  context_.reset();
  const bool ended = device_.EndJob();
  cursor.Clear();
  if (!ended) {
    ShowFailure();
    return TPrintResult::Failed;
  }
  return TPrintResult::Printed;
}

TPrintResult TPrintCommand::PrintToFile(const TPrintOffset& offset, const std::vector<int>& pages) {
  TWaitCursor cursor;
  const bool ok = PrintChosenPagesToOneJob(lists_, steps_, device_, offset, QStringLiteral("KALNO-Mahnbescheid"), pages);
  cursor.Clear();
  if (!ok) {
    ShowFailure();
    return TPrintResult::Failed;
  }
  return TPrintResult::Printed;
}

TPrintResult ButtonPrintClick(const TFieldLists& lists, int stepCount, const TPrintReview& review) {
  TPrintCommand command(lists, stepCount, PrintDevice());
  command.Review = review;
  return command.Run();
}

bool PrintPagesToOneJob(const TFieldLists& lists, int stepCount, TPrintDevice& device, const TPrintOffset& offset,
                        const QString& title, const TFormBackground* background) {
  std::vector<int> pages;
  for (int page = 1; page <= PageCount(qBound(0, stepCount, int(lists.size()))); ++page) pages.push_back(page);
  return PrintChosenPagesToOneJob(lists, stepCount, device, offset, title, pages, background);
}

bool PrintChosenPagesToOneJob(const TFieldLists& lists, int stepCount, TPrintDevice& device,
                              const TPrintOffset& offset, const QString& title, const std::vector<int>& pages,
                              const TFormBackground* background) {
  const int steps = qBound(0, stepCount, int(lists.size()));
  if (!device.BeginJob(title)) return false;
  bool ok = true;
  for (std::size_t i = 0; i < pages.size(); ++i) {
    const int page = pages[i];
    if (i > 0) ok = device.NewPage() && ok;
    TPrinterDrawContext context(device.Painter(), device.PageRect(), device.ResolutionY());
    SetDeviceTransformation(context.Transformation(), device);
    DrawFormPage(context, lists, steps, page, offset, background, device.JpegImages());
  }
  return device.EndJob() && ok;
}
