// The form at any desktop scale: run once per scale factor (CTest starts this program with
// QT_SCALE_FACTOR 1, 1.25, 1.5, 2 and on a 144-dpi screen, each announcing the device pixel
// ratio it expects). Every editor of the shipped form lies over its box of the step picture as
// the picture lands on the screen, in device pixels, and the text typed into it is not clipped.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTest>

#include "ShippedForm.h"
#include "TestSupport.h"
#include "app/Wizardframe.h"
#include "definition/WizardSteps.h"
#include "editor/uFormEditors.h"
#include "editor/uFormularEditorControls.h"
#include "editor/uFormularManager.h"
#include "storage/uProgramPaths.h"

namespace {

qreal ExpectedRatio() {
  bool ok = false;
  const qreal r = qEnvironmentVariable("KALNO_EXPECTED_DPR").toDouble(&ok);
  return ok ? r : 1.0;
}

// First and last row (device pixels) that carry dark ink, -1 when none.
std::pair<int, int> InkRows(const QImage& image) {
  int first = -1, last = -1;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qGray(image.pixel(x, y)) < 110) {
        if (first < 0) first = y;
        last = y;
        break;
      }
  return {first, last};
}

// The ink height of `text` in `font` drawn with nothing around it, in device pixels.
int FreeInkHeight(const QFont& font, const QString& text, qreal dpr) {
  QImage image(QSize(600, 200) * dpr, QImage::Format_RGB32);
  image.setDevicePixelRatio(dpr);
  image.fill(Qt::white);
  {
    QPainter p(&image);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QPointF(10, 100), text);
  }
  const auto rows = InkRows(image);
  return rows.first < 0 ? 0 : rows.second - rows.first + 1;
}

using Scale = TShippedFormWindowTest;

}  // namespace

TEST_F(Scale, RunsAtTheRatioItWasStartedWith) {
  EXPECT_NEAR(frame->devicePixelRatioF(), ExpectedRatio(), 1e-9);
}

TEST_F(Scale, EveryEditorLiesOverItsBox) {
  const qreal dpr = frame->devicePixelRatioF();
  int checked = 0;
  for (int step = 0; step < frame->StepCount(); ++step) {
    Show(step);
    TFormularManager& manager = frame->FormularManager();
    const TStepMetric& m = WizardDefinition()->StepMetric(step);
    // The picture file's own pixels, and where they land on the screen in device pixels.
    const QSize file = QImageReader(RuntimeFolder() + QStringLiteral("images/Step%1.jpg").arg(step + 1)).size();
    ASSERT_TRUE(file.isValid()) << "Schritt " << step + 1;
    QLabel* picture = manager.Picture();
    const QPointF origin = QPointF(picture->mapTo(frame.get(), QPoint(0, 0))) * dpr;
    const double sx = picture->width() * dpr / file.width();
    const double sy = picture->height() * dpr / file.height();
    EXPECT_NEAR(sx, dpr, 1e-9) << "the picture is shown at one picture pixel per screen pixel";
    EXPECT_NEAR(sy, dpr, 1e-9);
    TFormEditorList& list = manager.Editors();
    for (int i = 0; i < list.Count(); ++i) {
      QWidget* editor = list.Items(i);
      const TFormField& f = *EditorField(editor);
      // The box in picture pixels, halves to even as at scale 1; edits sit 2 pixels inside it.
      const auto px = [](double v) { return std::nearbyint(v); };
      const double L = px((f.Left() - m.Left) * file.width() / m.Width);
      const double T = px((f.Top() - m.Top) * file.height() / m.Height);
      const double R = px((f.Left() + f.Width() - m.Left) * file.width() / m.Width);
      const double B = px((f.Top() + f.Height() - m.Top) * file.height() / m.Height);
      const bool edit = qobject_cast<QLineEdit*>(editor) != nullptr;
      const QRectF want(origin.x() + L * sx, origin.y() + (edit ? T + 2 : T) * sy, (R - L) * sx,
                        (edit ? B - T - 4 : B - T) * sy);
      const QRectF got(QPointF(editor->mapTo(frame.get(), QPoint(0, 0))) * dpr, QSizeF(editor->size()) * dpr);
      const std::string where = f.Name().toStdString();
      EXPECT_NEAR(got.left(), want.left(), 1.0) << where;
      EXPECT_NEAR(got.top(), want.top(), 1.0) << where;
      EXPECT_NEAR(got.width(), want.width(), 1.0) << where;
      EXPECT_NEAR(got.height(), want.height(), 1.0) << where;
      ++checked;
    }
  }
  EXPECT_GT(checked, 140);
}

TEST_F(Scale, PictureHasOnePixelPerScreenPixel) {
  const qreal dpr = frame->devicePixelRatioF();
  for (int step = 0; step < frame->StepCount(); ++step) {
    Show(step);
    const QSize file = QImageReader(RuntimeFolder() + QStringLiteral("images/Step%1.jpg").arg(step + 1)).size();
    const QPixmap shown = frame->FormularManager().Picture()->pixmap();
    // Drawn without stretching: as many picture pixels as the screen gives the picture.
    EXPECT_NEAR(shown.devicePixelRatio(), dpr, 1e-9);
    EXPECT_NEAR(shown.width(), file.width() * dpr, 1.0);
    EXPECT_NEAR(shown.height(), file.height() * dpr, 1.0);
    EXPECT_EQ(frame->FormularManager().Picture()->size(), file);
  }
}

TEST_F(Scale, TextInTheEditorsIsNotClipped) {
  const qreal dpr = frame->devicePixelRatioF();
  int checked = 0;
  ForEachEditor([&](int, QWidget* editor) {
    QLineEdit* line = qobject_cast<QLineEdit*>(editor);
    if (auto* combo = qobject_cast<QComboBox*>(editor)) line = combo->lineEdit();
    if (!line || !editor->isEnabled()) return;
    // Capitals with umlauts and letters below the line: the full height a name can take.
    const QString text = qobject_cast<TFormularDateEdit*>(editor) ? QStringLiteral("31.12.08") : QStringLiteral("ÄÖÜgjpq");
    line->setText(text);
    line->setCursorPosition(0);
    line->deselect();
    editor->clearFocus();
    const QImage shot = editor->grab().toImage();
    const auto rows = InkRows(shot);
    const std::string where = EditorField(editor)->Name().toStdString();
    if (rows.first < 0) {
      ADD_FAILURE() << where << ": no text to be seen";
      return;
    }
    const int free = FreeInkHeight(line->font(), text, dpr);
    // Clipped text loses rows at its top or bottom; one row of antialiasing may differ.
    EXPECT_GE(rows.second - rows.first + 1, free - 1) << where << " shows " << rows.second - rows.first + 1
                                                    << " of " << free << " device pixel rows";
    EXPECT_GT(rows.first, 0) << where << ": the text touches the top edge";
    EXPECT_LT(rows.second, shot.height() - 1) << where << ": the text touches the bottom edge";
    ++checked;
  });
  EXPECT_GT(checked, 80);
}
