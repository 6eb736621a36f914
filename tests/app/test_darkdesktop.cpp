// On a dark desktop (the Fusion style with dark colours) the parts the program paints in fixed
// colours keep them: the form area, the editors on the step picture, the information line and
// the context help stay as light and legible as on a light desktop. Read from what is drawn.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QStyleFactory>
#include <QTest>
#include <algorithm>

#include "ShippedForm.h"
#include "TestSupport.h"
#include "app/Wizardframe.h"
#include "app/uPanels.h"
#include "definition/WizardSteps.h"
#include "editor/uFormEditors.h"
#include "editor/uFormularEditorControls.h"
#include "editor/uFormularManager.h"
#include "help/uHelpPanels.h"
#include "storage/uProgramPaths.h"

namespace {

QPalette DarkPalette() {
  QPalette p;
  const QColor window(53, 53, 53), base(35, 35, 35), text(235, 235, 235);
  p.setColor(QPalette::Window, window);
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Base, base);
  p.setColor(QPalette::AlternateBase, window);
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::Button, window);
  p.setColor(QPalette::ButtonText, text);
  p.setColor(QPalette::Light, QColor(80, 80, 80));
  p.setColor(QPalette::Midlight, QColor(70, 70, 70));
  p.setColor(QPalette::Mid, QColor(40, 40, 40));
  p.setColor(QPalette::Dark, QColor(25, 25, 25));
  p.setColor(QPalette::Shadow, Qt::black);
  p.setColor(QPalette::Highlight, QColor(42, 130, 218));
  p.setColor(QPalette::HighlightedText, Qt::black);
  p.setColor(QPalette::ToolTipBase, window);
  p.setColor(QPalette::ToolTipText, text);
  return p;
}

// The grey levels of a widget as drawn: the median (its face) and the darkest (its text).
struct TLook {
  int Median = 0;
  int Darkest = 255;
};
TLook Look(QWidget* w, QRect area = QRect()) {
  QImage image = w->grab().toImage();
  if (!area.isNull()) image = image.copy(area);
  std::vector<int> greys;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) greys.push_back(qGray(image.pixel(x, y)));
  TLook look;
  if (greys.empty()) return look;
  std::nth_element(greys.begin(), greys.begin() + greys.size() / 2, greys.end());
  look.Median = greys[greys.size() / 2];
  look.Darkest = *std::min_element(greys.begin(), greys.end());
  return look;
}

class DarkDesktop : public TShippedFormWindowTest {
 protected:
  static void SetUpTestSuite() {
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(DarkPalette());
  }
};

}  // namespace

TEST_F(DarkDesktop, TheDesktopReallyIsDark) {
  EXPECT_LT(qGray(QApplication::palette().color(QPalette::Base).rgb()), 60);
  EXPECT_LT(Look(frame->MainToolBar).Median, 90);
}

TEST_F(DarkDesktop, EditorsKeepTheirLightFacesAndDarkText) {
  int checked = 0;
  ForEachEditor([&](int, QWidget* editor) {
    const std::string where = EditorField(editor)->Name().toStdString();
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
      line->setText(qobject_cast<TFormularDateEdit*>(editor) ? QStringLiteral("01.02.03") : QStringLiteral("Muster"));
    } else if (auto* combo = qobject_cast<QComboBox*>(editor)) {
      if (combo->isEditable())
        combo->setEditText(QStringLiteral("12"));
      else if (combo->count() > 0)
        combo->setCurrentIndex(0);
    } else if (auto* box = qobject_cast<QCheckBox*>(editor)) {
      box->setChecked(true);
    }
    editor->clearFocus();
    QApplication::processEvents();
    const TLook look = Look(editor);
    // The face is the form's light colour (white, or silver while switched off) ...
    EXPECT_GT(look.Median, 170) << where << " face grey " << look.Median;
    // ... and what is written on it is dark.
    EXPECT_LT(look.Darkest, 90) << where << " darkest grey " << look.Darkest;
    ++checked;
  });
  EXPECT_GT(checked, 140);
}

TEST_F(DarkDesktop, FocusColourStaysTheDesignsColour) {
  Show(0);
  QWidget* editor = frame->FormularManager().Editors().EditorByName(QStringLiteral("AntragstellerNachnameSp1"));
  ASSERT_NE(editor, nullptr);
  editor->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
  const QImage image = editor->grab().toImage();
  // The right end of an empty edit shows its face: the design's focus colour $F0CAA6.
  EXPECT_EQ(QColor(image.pixel(image.width() - 3, image.height() / 2)), QColor(0xA6, 0xCA, 0xF0));
}

TEST_F(DarkDesktop, FormAreaInformationLineAndContextHelpKeepTheirColours) {
  Show(5);
  // The form area around the picture: silver.
  QWidget* viewport = frame->ScrollBox1->viewport();
  const QImage area = viewport->grab().toImage();
  EXPECT_EQ(QColor(area.pixel(5, 5)), QColor(0xC0, 0xC0, 0xC0));
  // The information line: white on green.
  EXPECT_EQ(QColor(frame->panInfo->grab().toImage().pixel(4, frame->panInfo->height() / 2)), QColor(0, 0x80, 0));
  const QImage info = frame->InfoText->grab().toImage();
  int white = 0;
  for (int y = 0; y < info.height(); ++y)
    for (int x = 0; x < info.width(); ++x) white += qGray(info.pixel(x, y)) > 240;
  EXPECT_GT(white, 50) << "the step's information in white letters";
  // The context help of the signature: maroon on white in a black frame.
  QWidget* signature = frame->FormularManager().Editors().EditorByName(QStringLiteral("GegenleistungUnterschrift"));
  ASSERT_NE(signature, nullptr);
  signature->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
  ASSERT_TRUE(frame->panContextHelp->isVisible());
  const QImage hint = frame->panContextHelp->grab().toImage();
  EXPECT_EQ(QColor(hint.pixel(0, hint.height() / 2)), QColor(Qt::black)) << "frame";
  EXPECT_EQ(QColor(hint.pixel(hint.width() - 4, hint.height() - 4)), QColor(Qt::white)) << "face";
  const TLook look = Look(frame->panContextHelp);
  EXPECT_GT(look.Median, 240);
  EXPECT_LT(look.Darkest, 60);
}
