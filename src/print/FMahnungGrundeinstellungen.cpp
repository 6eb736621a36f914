#include "print/FMahnungGrundeinstellungen.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <cmath>

#include "platform/UserDialogs.h"
#include "platform/uPrintDevice.h"
#include "print/uPrintJob.h"
#include "print/uUpDown.h"
#include "render/uPrinterDrawContext.h"
#include "storage/uGermanLocale.h"
#include "storage/uQVRegistry.h"

namespace {
const QString kSection = QStringLiteral("Mahnbescheid");
constexpr int kRange = 100;  // half millimetres: +-50 mm

// A stored offset (mm) as up-down position; hand-edited values beyond the range stop at its ends.
int PositionFromMillimetres(double mm) {
  if (!std::isfinite(mm)) return 0;
  const double p = std::nearbyint(mm * 2.0);  // halves to even
  return int(qBound(double(-kRange), p, double(kRange)));
}

QString ShiftAmount(int p) { return GermanLocale().toString(std::abs(p) / 2.0, 'f', 2); }

QFont DialogFont() {
  QFont f;
  f.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
  f.setPointSize(8);
  return f;
}
}  // namespace

QString HorizontalShiftText(int p) {
  if (p == 0) return QStringLiteral("keine waagrechte Verschiebung");
  return QStringLiteral("Verschiebung um %1 mm nach %2")
      .arg(ShiftAmount(p), p < 0 ? QStringLiteral("links") : QStringLiteral("rechts"));
}

QString VerticalShiftText(int p) {
  if (p == 0) return QStringLiteral("keine senkrechte Verschiebung");
  return QStringLiteral("Verschiebung um %1 mm nach %2")
      .arg(ShiftAmount(p), p < 0 ? QStringLiteral("unten") : QStringLiteral("oben"));
}

QString TestPrintExplanation() {
  return QStringLiteral(
      "Der Schnittpunkt dieses Kreuzes muß auf dem Eckpunkt des schwarzen Ecks liegen, das sich "
      "zwischen Zeile 1 und Zeile 2 auf der ersten Seite des Mahnbescheid befindet.");
}

TMahnungGrundeinstellungen::TMahnungGrundeinstellungen(QWidget* parent, TPrintDevice* device)
    : QDialog(parent), device_(device) {
  setWindowTitle(QStringLiteral("Grundeinstellungen"));
  setFont(DialogFont());
  setFixedSize(470, 367);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);

  btnOk = new QPushButton(QStringLiteral("OK"), this);
  btnOk->setObjectName(QStringLiteral("btnOk"));
  btnOk->setGeometry(362, 13, 99, 23);
  btnOk->setDefault(true);
  btnCancel = new QPushButton(QStringLiteral("Abbrechen"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  btnCancel->setGeometry(363, 45, 99, 23);

  GroupBox1 = new QGroupBox(QStringLiteral("Informationen zur Druckposition"), this);
  GroupBox1->setGeometry(16, 8, 337, 217);
  laInfo = new QLabel(GroupBox1);
  laInfo->setObjectName(QStringLiteral("laInfo"));
  laInfo->setGeometry(8, 19, 321, 150);
  laInfo->setWordWrap(true);
  laInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  laInfo->setText(QStringLiteral(
      "Bitte drucken Sie eine Testseite aus. Klicken Sie dazu auf die Schaltfläche \"Testdruck\". "
      "Verwenden Sie für den Testdruck ein leeres DIN A4 Blatt. (bitte kein Formular verwenden). "
      "Legen Sie nach dem Ausdruck den Testdruck hinter das eigentliche Formular und prüfen, ob das "
      "Markierungskreuz an der richtigen Stelle ausgedruckt wird. Falls das Kreuz z.B. zu weit links "
      "ausgedruckt wird messen Sie mit dem Linieal aus wieviele mm es zu weit links gedruckt wird "
      "und stellen danach bei der Druckposition (siehe unten) eine \"waagrechte Verschiebung\" um "
      "den entsprechenden mm-Wert nach rechts ein. Verfahren Sie entsprechend mit der senkrechten "
      "Verschiebung."));
  Label1 = new QLabel(GroupBox1);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setGeometry(8, 176, 321, 33);
  Label1->setWordWrap(true);
  Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Label1->setText(
      QStringLiteral("Prüfen Sie danach das Ergebnis und drucken erst dann auf ein Formularblatt."));

  GroupBox2 = new QGroupBox(QStringLiteral("Druckposition"), this);
  GroupBox2->setGeometry(16, 237, 337, 121);
  lblWaagrecht = new QLabel(GroupBox2);
  lblWaagrecht->setObjectName(QStringLiteral("lblWaagrecht"));
  lblWaagrecht->setGeometry(64, 38, 153, 13);
  lblWaagrecht->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  udWaagrecht = new TUpDown(Qt::Horizontal, GroupBox2);
  udWaagrecht->setObjectName(QStringLiteral("udWaagrecht"));
  udWaagrecht->setGeometry(243, 36, 29, 16);
  udWaagrecht->SetRange(-kRange, kRange);
  lblSenkrecht = new QLabel(GroupBox2);
  lblSenkrecht->setObjectName(QStringLiteral("lblSenkrecht"));
  lblSenkrecht->setGeometry(67, 72, 150, 13);
  lblSenkrecht->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  udSenkrecht = new TUpDown(Qt::Vertical, GroupBox2);
  udSenkrecht->setObjectName(QStringLiteral("udSenkrecht"));
  udSenkrecht->setGeometry(249, 64, 16, 29);
  udSenkrecht->SetRange(-kRange, kRange);

  btnTestPrint = new QPushButton(QStringLiteral("Testdruck"), this);
  btnTestPrint->setObjectName(QStringLiteral("btnTestPrint"));
  btnTestPrint->setGeometry(363, 242, 99, 23);

  // Tab order as the controls appear.
  setTabOrder(btnOk, btnCancel);
  setTabOrder(btnCancel, udWaagrecht);
  setTabOrder(udWaagrecht, udSenkrecht);
  setTabOrder(udSenkrecht, btnTestPrint);

  connect(udWaagrecht, &TUpDown::Clicked, this, &TMahnungGrundeinstellungen::udClick);
  connect(udSenkrecht, &TUpDown::Clicked, this, &TMahnungGrundeinstellungen::udClick);
  connect(btnOk, &QPushButton::clicked, this, &TMahnungGrundeinstellungen::btnOkClick);
  connect(btnCancel, &QPushButton::clicked, this, &TMahnungGrundeinstellungen::btnCancelClick);
  connect(btnTestPrint, &QPushButton::clicked, this, &TMahnungGrundeinstellungen::btnTestPrintClick);

  FormCreate();
}

void TMahnungGrundeinstellungen::FormCreate() { LoadPositions(); }

void TMahnungGrundeinstellungen::SetCancelAllowed(bool allowed) {
  cancelAllowed_ = allowed;
  btnCancel->setVisible(allowed);
  setWindowFlag(Qt::WindowCloseButtonHint, allowed);
}

void TMahnungGrundeinstellungen::LoadPositions() {
  udWaagrecht->SetPosition(PositionFromMillimetres(QVRegIniFile().ReadFloat(kSection, QStringLiteral("OffsetX"), 0)));
  udSenkrecht->SetPosition(-PositionFromMillimetres(QVRegIniFile().ReadFloat(kSection, QStringLiteral("OffsetY"), 0)));
  UpdateLabels();
}

void TMahnungGrundeinstellungen::StorePositions() {
  QVRegIniFile().WriteFloat(kSection, QStringLiteral("OffsetX"), udWaagrecht->Position() / 2.0);
  // Up is positive on the control, down is positive on paper.
  QVRegIniFile().WriteFloat(kSection, QStringLiteral("OffsetY"), -udSenkrecht->Position() / 2.0);
}

namespace {
// The labels are right-aligned against their arrows; a text wider than the designed box grows
// to the left instead of being cut off (fonts here are wider than the original dialog font).
void SetRightAlignedText(QLabel* label, const QString& text, const QRect& designed) {
  label->setText(text);
  const int need = label->fontMetrics().horizontalAdvance(text) + 2;
  const int width = qMax(designed.width(), need);
  label->setGeometry(designed.right() + 1 - width, designed.top(), width, designed.height());
}
}  // namespace

void TMahnungGrundeinstellungen::UpdateLabels() {
  SetRightAlignedText(lblWaagrecht, HorizontalShiftText(udWaagrecht->Position()), QRect(64, 38, 153, 13));
  SetRightAlignedText(lblSenkrecht, VerticalShiftText(udSenkrecht->Position()), QRect(67, 72, 150, 13));
}

void TMahnungGrundeinstellungen::udClick() { UpdateLabels(); }

void TMahnungGrundeinstellungen::btnOkClick() {
  StorePositions();
  accept();
}

void TMahnungGrundeinstellungen::btnCancelClick() { reject(); }

void TMahnungGrundeinstellungen::btnTestPrintClick() {
  TPrintDevice& device = device_ ? *device_ : PrintDevice();
  // One sheet: the dialog offers no page range.
  if (!device.ChoosePrinter(Dialogs(), 1)) return;
  StorePositions();
  const TPrintOffset off = ReadPrintOffset();
  if (!PrintTestPage(device, off.X, off.Y)) {
    Dialogs().ShowError(PrintFailedMessage());
    return;
  }
  // Only a sheet that came out of a printer can be laid behind the form and measured; a file (chosen,
  // or Qt's PDF stand-in when no printer is installed) says nothing about where a printer puts its ink.
  if (!device.WritesToFile()) QVRegIniFile().WriteBool(kSection, QStringLiteral("Testdruck"), true);
}

void TMahnungGrundeinstellungen::keyPressEvent(QKeyEvent* event) {
  // Escape is the Cancel button's key; without that button it does nothing.
  if (event->key() == Qt::Key_Escape && !cancelAllowed_) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void ShowPrintPositionDialog(bool withCancel) {
  TMahnungGrundeinstellungen dialog(Dialogs().ParentWidget());
  dialog.SetCancelAllowed(withCancel);
  Dialogs().ExecDialog(dialog);
}

bool PrintTestPage(TPrintDevice& device, double offX, double offY) {
  if (!device.BeginJob(QStringLiteral("KALNO-Mahnbescheid Testdruck"))) return false;
  {
    TPrinterDrawContext context(device.Painter(), device.PageRect(), device.ResolutionY());
    SetDeviceTransformation(context.Transformation(), device);
    const float x = float(offX), y = float(offY);
    context.SetLineWidth(0.3f);
    context.Line(14.9f + x, 26.0f + y, 24.4f + x, 26.0f + y);
    context.Line(19.9f + x, 21.0f + y, 19.9f + x, 31.0f + y);
    context.DrawTextInBox(TestPrintExplanation(), tfWordBreak, 25.0f, 32.0f, 120.0f, 75.0f);
  }
  return device.EndJob();
}
