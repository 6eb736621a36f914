// The dialogs and menus Qt draws itself speak German, also on a desktop whose language is not
// German (this test runs with LANG=C); the open dialog takes a typed name of a new document.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "ShippedForm.h"
#include "TestSupport.h"
#include "app/Wizardframe.h"
#include "app/uStartup.h"
#include "definition/WizardSteps.h"
#include "editor/uFormEditors.h"
#include "editor/uFormularManager.h"
#include "platform/UserDialogs.h"
#include "platform/uQtTranslations.h"
#include "storage/uProgramPaths.h"

namespace {

// A text as the user reads it: without the accelerator mark and the shortcut after a tab.
QString Shown(QString text) {
  text = text.section(QLatin1Char('\t'), 0, 0);
  text.remove(QLatin1Char('&'));
  return text.trimmed();
}

// Every caption of a window: buttons, labels, menu entries.
QStringList Captions(QWidget* window) {
  QStringList out;
  for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) out << Shown(b->text());
  for (QLabel* l : window->findChildren<QLabel*>()) out << Shown(l->text());
  if (auto* menu = qobject_cast<QMenu*>(window))
    for (QAction* a : menu->actions()) out << Shown(a->text());
  out.removeAll(QString());
  return out;
}

// Once `find` sees the window the next modal call shows, `act` runs on it; `act` must close it.
// Runs from the event loop of the modal call that follows.
void WhenShown(std::function<QWidget*()> find, std::function<void(QWidget*)> act) {
  auto* timer = new QTimer(qApp);
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, find, act] {
    QWidget* w = find();
    if (!w || !w->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    act(w);
  });
  timer->start();
}

QWidget* ModalDialog() { return QApplication::activeModalWidget(); }
QWidget* Popup() { return QApplication::activePopupWidget(); }

class GermanDialogs : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // The program's own set-up of the application object, as at every start.
    SetUpApplication();
  }
  void SetUp() override {
    UseShippedForm();
    frame = std::make_unique<TMainFrame>();
  }
  void TearDown() override {
    frame.reset();
    ReleaseWizardDefinition();
    SetProgramFolderForTesting(QString());
  }
  std::unique_ptr<TMainFrame> frame;
};

}  // namespace

TEST_F(GermanDialogs, TheDesktopIsNotGermanButQtSpeaksGerman) {
  // Without this the test would prove nothing: the desktop's own language must not be German.
  EXPECT_NE(QLocale::system().language(), QLocale::German);
  EXPECT_FALSE(InstallQtGermanTranslations().isEmpty()) << "qtbase_de.qm from qt6-translations-l10n is missing";
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Save"), QStringLiteral("Speichern"));
}

TEST_F(GermanDialogs, SaveDialogIsGerman) {
  QStringList seen;
  QString title;
  WhenShown(ModalDialog, [&](QWidget* w) {
    title = w->windowTitle();
    seen = Captions(w);
    static_cast<QDialog*>(w)->reject();
  });
  frame->smSpeichernUnterClick();
  EXPECT_EQ(title, QStringLiteral("Mahnbescheid speichern"));
  EXPECT_TRUE(seen.contains(QStringLiteral("Speichern"))) << seen.join(QLatin1Char('|')).toStdString();
  EXPECT_TRUE(seen.contains(QStringLiteral("Abbrechen"))) << seen.join(QLatin1Char('|')).toStdString();
  EXPECT_FALSE(seen.contains(QStringLiteral("Cancel")));
  EXPECT_FALSE(seen.contains(QStringLiteral("Save")));
  // Cancelled: nothing was stored and the document is still unnamed.
  EXPECT_TRUE(frame->FileName().isEmpty());
}

TEST_F(GermanDialogs, PrinterDialogIsGerman) {
  QStringList seen;
  WhenShown(ModalDialog, [&](QWidget* w) {
    seen = Captions(w);
    static_cast<QDialog*>(w)->reject();
  });
  QPrinter printer;
  EXPECT_FALSE(Dialogs().PrintDialog(printer, 2));
  EXPECT_TRUE(seen.contains(QStringLiteral("Drucken"))) << seen.join(QLatin1Char('|')).toStdString();
  EXPECT_TRUE(seen.contains(QStringLiteral("Abbrechen"))) << seen.join(QLatin1Char('|')).toStdString();
  EXPECT_FALSE(seen.contains(QStringLiteral("Print")));
}

TEST_F(GermanDialogs, EditorContextMenuIsGerman) {
  QWidget* editor = frame->FormularManager().Editors().EditorByName(QStringLiteral("AntragstellerNachnameSp1"));
  ASSERT_NE(editor, nullptr);
  QStringList seen;
  WhenShown(Popup, [&](QWidget* w) {
    seen = Captions(w);
    w->close();
  });
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), editor->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(editor, &event);
  for (const char* text : {"Rückgängig", "Ausschneiden", "Kopieren", "Einfügen", "Alles auswählen"})
    EXPECT_TRUE(seen.contains(QString::fromUtf8(text))) << text << ": " << seen.join(QLatin1Char('|')).toStdString();
  EXPECT_FALSE(seen.contains(QStringLiteral("Cut")));
}

TEST_F(GermanDialogs, MessageBoxKeepsTheProgramsButtons) {
  QStringList seen;
  WhenShown(ModalDialog, [&](QWidget* w) {
    seen = Captions(w);
    static_cast<QDialog*>(w)->reject();
  });
  Dialogs().Message(TDialogKind::Confirmation, QStringLiteral("Frage?"), dbYes | dbNo | dbCancel, dbYes);
  EXPECT_TRUE(seen.contains(QStringLiteral("Ja")));
  EXPECT_TRUE(seen.contains(QStringLiteral("Nein")));
  EXPECT_TRUE(seen.contains(QStringLiteral("Abbrechen")));
}

TEST_F(GermanDialogs, OpenDialogTakesTheTypedNameOfANewDocument) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = QDir(dir.path()).absoluteFilePath(QStringLiteral("Neuer Antrag.kln"));
  ASSERT_FALSE(QFileInfo::exists(path));
  // Values of an earlier document must not survive.
  TFormField* name = FieldByName(frame->FieldLists(), QStringLiteral("AntragstellerNachnameSp1"));
  ASSERT_NE(name, nullptr);
  name->SetValue(QStringLiteral("Alt"));
  bool refused = false;
  QString title;
  WhenShown(ModalDialog, [&](QWidget* w) {
    auto* dialog = qobject_cast<QFileDialog*>(w);
    auto* edit = dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
    if (!edit) {
      ADD_FAILURE() << "no file dialog with a name field";
      w->close();
      return;
    }
    title = dialog->windowTitle();
    dialog->setDirectory(dir.path());
    edit->setText(QStringLiteral("Neuer Antrag.kln"));
    static_cast<QDialog*>(dialog)->accept();  // as the Open button does
    // A dialog that refuses the name stays open; close it so the test ends.
    if (dialog->isVisible()) {
      refused = true;
      dialog->reject();
    }
  });
  frame->btnOeffnenClick();
  EXPECT_EQ(title, QStringLiteral("Mahnbescheid öffnen"));
  EXPECT_FALSE(refused);
  EXPECT_EQ(QFileInfo(frame->FileName()).absoluteFilePath(), path);
  EXPECT_FALSE(frame->Dirty());
  // Every field empty; only the application's date is today's, as on any new application.
  for (const TFormFieldList& list : frame->FieldLists())
    for (int i = 0; i < list.Count(); ++i) {
      if (list.Fields(i)->Name() != QLatin1String("DatumAntrag")) {
        EXPECT_TRUE(list.Fields(i)->Value().isEmpty()) << list.Fields(i)->Name().toStdString();
      }
    }
  EXPECT_EQ(ValueByName(frame->FieldLists(), QStringLiteral("DatumAntrag")),
            QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));
  // Opening creates nothing on disk; the first save does.
  EXPECT_FALSE(QFileInfo::exists(path));
}
