// Nothing the user did not touch changes. With the sample document loaded, on every step, random
// wheel notches (over anything, closed code lists included), clicks and key presses outside the
// editors (step help, picture background, bars, buttons that change no value) leave every value of
// the document, its unsaved-changes flag and its file as they were. The random sequence is seeded,
// so a failure names the step and the action that changed something and can be replayed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>
#include <random>

#include "ShippedForm.h"
#include "TestSupport.h"
#include "app/Wizardframe.h"
#include "editor/uFormEditors.h"
#include "editor/uFormularManager.h"
#include "app/uPanels.h"
#include "help/uHelpPanels.h"
#include "help/uHtmlView.h"
#include "platform/uShell.h"
#include "storage/uProgramPaths.h"

namespace {

constexpr std::uint32_t kSeed = 20261211;
constexpr int kActionsPerStep = 240;

const int kKeys[] = {Qt::Key_A,      Qt::Key_K,       Qt::Key_X,        Qt::Key_1,    Qt::Key_2,    Qt::Key_8,
                     Qt::Key_Space,  Qt::Key_Return, Qt::Key_Escape,   Qt::Key_Up,   Qt::Key_Down, Qt::Key_Left,
                     Qt::Key_Right,  Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End,  Qt::Key_Backspace,
                     Qt::Key_Delete, Qt::Key_Tab,    Qt::Key_F4};

class NoSilentChange : public ::testing::Test {
 protected:
  void SetUp() override {
    UseShippedForm();
    SetShellOpener([this](const QString& target) {
      opened << target;
      return true;
    });
  }
  void TearDown() override {
    frame.reset();
    ReleaseWizardDefinition();
    SetProgramFolderForTesting(QString());
    SetShellOpener({});
  }

  QStringList Values() const {
    QStringList v;
    for (const TFormFieldList& list : frame->FieldLists())
      for (int i = 0; i < list.Count(); ++i) v << list.Fields(i)->Name() + QLatin1Char('=') + list.Fields(i)->Value();
    return v;
  }

  // Inside an editor of the shown step (or one of its parts, such as a list's edit).
  bool InEditor(QWidget* w) const {
    for (; w; w = w->parentWidget())
      if (EditorField(w)) return true;
    return false;
  }

  bool Excluded(QWidget* w) const {
    // Buttons that move, print or open something are not part of this: they change no value
    // either, but they leave the step or open windows of their own.
    const QWidget* const excluded[] = {frame->ButtonBack, frame->ButtonForward, frame->ButtonPrint,
                                       frame->HTMLViewerWerbung, frame->MainToolBar};
    for (const QWidget* b : excluded)
      if (b && (w == b || b->isAncestorOf(w))) return true;
    // Of the step buttons only the shown step's own, which shows nothing new.
    if (auto* nav = qobject_cast<QToolButton*>(w))
      if (nav->parentWidget() == frame->panNavigationContainerLeft)
        return nav != frame->NavButtons()[std::size_t(frame->CurrentStep())];
    return false;
  }

  // The places the actions aim at: what lies outside the editors, plus the form area as a whole,
  // over which the wheel also turns across the editors.
  std::vector<QWidget*> Areas() const {
    std::vector<QWidget*> a{frame->ScrollBox1->viewport(), frame->panInfo, frame->panNavigationContainerBottom,
                            frame->panNavigationContainerLeft, frame->ButtonImageHelp};
    if (frame->HTMLView->isVisible()) a.push_back(frame->HTMLView->viewport());
    if (frame->ButtonCloseHelp->isVisible()) a.push_back(frame->ButtonCloseHelp);
    if (frame->panContextHelp->isVisible()) a.push_back(frame->panContextHelp);
    if (frame->ButtonCloseWerbung && frame->ButtonCloseWerbung->isVisible()) a.push_back(frame->ButtonCloseWerbung);
    return a;
  }

  QPoint RandomPoint(std::mt19937& rng, QWidget* area) const {
    std::uniform_int_distribution<int> x(0, std::max(0, area->width() - 1)), y(0, std::max(0, area->height() - 1));
    return area->mapToGlobal(QPoint(x(rng), y(rng)));
  }

  // A point outside the editors and the excluded buttons, with the widget under it; null when
  // the area offered none in a few tries.
  QWidget* Target(std::mt19937& rng, QPoint* global) const {
    const std::vector<QWidget*> areas = Areas();
    std::uniform_int_distribution<std::size_t> pick(0, areas.size() - 1);
    for (int tries = 0; tries < 30; ++tries) {
      *global = RandomPoint(rng, areas[pick(rng)]);
      QWidget* w = frame->childAt(frame->mapFromGlobal(*global));
      if (w && w->isVisible() && !InEditor(w) && !Excluded(w)) return w;
    }
    return nullptr;
  }

  // One random action; returns what it did, for the failure message.
  QString Act(std::mt19937& rng) {
    std::uniform_int_distribution<int> kind(0, 2);
    QPoint global;
    switch (kind(rng)) {
      case 0: {
        const std::vector<QWidget*> areas = Areas();
        global = RandomPoint(rng, areas[std::uniform_int_distribution<std::size_t>(0, areas.size() - 1)(rng)]);
        const int delta = std::bernoulli_distribution(0.5)(rng) ? 120 : -120;
        QWidget* under = frame->childAt(frame->mapFromGlobal(global));
        WheelNotch(frame.get(), global, delta);
        return QStringLiteral("wheel %1 over %2").arg(delta).arg(Describe(under));
      }
      case 1: {
        QWidget* w = Target(rng, &global);
        if (!w) return QStringLiteral("nothing to click");
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->mapFromGlobal(global));
        return QStringLiteral("click on %1").arg(Describe(w));
      }
      default: {
        QWidget* w = Target(rng, &global);
        // The key goes to the widget aimed at, or to the one with the focus when that is no editor.
        QWidget* focus = QApplication::focusWidget();
        if (focus && !InEditor(focus) && !Excluded(focus) && std::bernoulli_distribution(0.3)(rng)) w = focus;
        if (!w) return QStringLiteral("nothing to type into");
        const int key = kKeys[std::uniform_int_distribution<std::size_t>(0, std::size(kKeys) - 1)(rng)];
        QTest::keyClick(w, Qt::Key(key));
        return QStringLiteral("key %1 to %2").arg(QKeySequence(key).toString(), Describe(w));
      }
    }
  }

  static QString Describe(QWidget* w) {
    if (!w) return QStringLiteral("nothing");
    QString name = w->objectName();
    for (QWidget* p = w->parentWidget(); name.isEmpty() && p; p = p->parentWidget()) name = p->objectName();
    return QString::fromLatin1(w->metaObject()->className()) + QLatin1Char('(') + name + QLatin1Char(')');
  }

  TScriptedDialogs dialogs;
  std::unique_ptr<TMainFrame> frame;
  QStringList opened;
};

TEST_F(NoSilentChange, WheelClicksAndKeysOutsideTheEditorsChangeNothing) {
  QTemporaryDir dir;
  const QString document = dir.filePath(QStringLiteral("Beispiel.kln"));
  ASSERT_TRUE(QFile::copy(BuildRuntimeFolder() + QStringLiteral("examples/Beispiel.kln"), document));
  QFile file(document);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray stored = file.readAll();
  file.close();

  frame = std::make_unique<TMainFrame>(QStringList{QStringLiteral("mahnbescheid"), document});
  frame->showNormal();
  frame->resize(1100, 800);
  frame->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
  const QStringList before = Values();
  ASSERT_FALSE(frame->Dirty());

  std::mt19937 rng(kSeed);
  int actions = 0;
  for (int step = 0; step < frame->StepCount(); ++step) {
    frame->OnNavButtonClick(step);
    QApplication::processEvents();
    ASSERT_FALSE(frame->Dirty()) << "showing step " << step + 1;
    for (int i = 0; i < kActionsPerStep; ++i) {
      const QString did = Act(rng);
      QApplication::processEvents();
      ++actions;
      const QStringList now = Values();
      if (now != before || frame->Dirty() || frame->CurrentStep() != step) {
        QString changed;
        for (int k = 0; k < now.size(); ++k)
          if (now.at(k) != before.at(k)) changed += QStringLiteral(" [%1 -> %2]").arg(before.at(k), now.at(k));
        FAIL() << "seed " << kSeed << ", step " << step + 1 << ", action " << i + 1 << ": " << did.toStdString()
               << "; dirty " << frame->Dirty() << ", on step " << frame->CurrentStep() + 1 << changed.toStdString();
      }
    }
  }
  EXPECT_EQ(actions, frame->StepCount() * kActionsPerStep);
  EXPECT_FALSE(frame->Dirty());
  EXPECT_TRUE(dialogs.Messages.empty());
  EXPECT_TRUE(dialogs.SaveRequests.empty());
  EXPECT_TRUE(opened.isEmpty()) << opened.join(QLatin1Char(' ')).toStdString();
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), stored);
  EXPECT_EQ(QFileInfo(frame->FileName()).fileName(), QStringLiteral("Beispiel.kln"));
}

}  // namespace
