// One whole application as a user makes it, with the shipped form: start, type the parties,
// pick a claim, bank details and the court, save, start anew, open it again, print to PDF and
// close.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <map>

#include "../print/PrintFixtures.h"
#include "ShippedForm.h"
#include "TestSupport.h"
#include "app/Wizardframe.h"
#include "app/uReviewWindow.h"
#include "definition/WizardSteps.h"
#include "editor/uFormEditors.h"
#include "editor/uFormularEditorControls.h"
#include "editor/uFormularManager.h"
#include "help/FStartBildMahnbescheid_KALNO.h"
#include "help/uHelpPanels.h"
#include "platform/uPrintDevice.h"
#include "storage/uProgramPaths.h"

namespace {

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override { UseShippedForm(); }
  void TearDown() override {
    SetPrintDevice(nullptr);
    frame.reset();
    ReleaseWizardDefinition();
    SetProgramFolderForTesting(QString());
  }

  QWidget* Editor(const QString& name) { return frame->FormularManager().Editors().EditorByName(name); }
  QString Value(const QString& name) { return ValueByName(frame->FieldLists(), name); }
  QString Focused() {
    QWidget* w = QApplication::focusWidget();
    for (; w; w = w->parentWidget())
      if (const TFormField* f = EditorField(w)) return f->Name();
    return QString();
  }
  // Types into the focused editor and moves on with Return.
  void TypeAndReturn(const QString& text) {
    QWidget* w = QApplication::focusWidget();
    ASSERT_NE(w, nullptr);
    if (!text.isEmpty()) QTest::keyClicks(w, text);
    QTest::keyClick(w, Qt::Key_Return);
    QApplication::processEvents();
  }
  void ClickStep(int step) {
    QTest::mouseClick(frame->NavButtons()[std::size_t(step)], Qt::LeftButton);
    QApplication::processEvents();
  }
  void Pick(const QString& name, const QString& code) {
    auto* combo = qobject_cast<TFormularComboBox*>(Editor(name));
    ASSERT_NE(combo, nullptr) << name.toStdString();
    QTest::mouseClick(combo, Qt::LeftButton);
    QApplication::processEvents();
    if (!combo->view()->isVisible()) combo->showPopup();
    const int row = combo->CodeItems().indexOf(code);
    ASSERT_GE(row, 0) << code.toStdString();
    combo->view()->setCurrentIndex(combo->model()->index(row, 0));
    QTest::keyClick(combo->view(), Qt::Key_Return);
    QApplication::processEvents();
  }
  std::map<QString, QString> AllValues() {
    std::map<QString, QString> v;
    for (const TFormFieldList& l : frame->FieldLists())
      for (int i = 0; i < l.Count(); ++i) v[l.Fields(i)->Name()] = l.Fields(i)->Value();
    return v;
  }
  const TFormField& Field(const QString& name) { return *FieldByName(frame->FieldLists(), name); }

  TScriptedDialogs dialogs;
  TFakeClock clock;
  QTemporaryDir dir;
  std::unique_ptr<TMainFrame> frame;
};

TEST_F(EndToEnd, AWholeApplicationFromStartToPrint) {
  // Start: the splash stays up its two seconds, then the window takes input.
  clock.StepMs = 50;
  ShowSplash();
  ASSERT_NE(Startbild(), nullptr);
  frame = std::make_unique<TMainFrame>(QStringList{QStringLiteral("mahnbescheid")});
  frame->resize(1200, 900);
  CloseSplash(frame.get());
  EXPECT_EQ(Startbild(), nullptr);
  EXPECT_GE(clock.NowMs(), kSplashMinimumMs);
  EXPECT_TRUE(frame->isEnabled());
  frame->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
  QApplication::processEvents();
  TMainFrame& f = *frame;
  EXPECT_EQ(f.ShownStep(), 0);
  EXPECT_FALSE(f.Dirty());

  // Step 1, keyboard only: the date is filled in, Return walks the boxes.
  EXPECT_EQ(Focused(), QStringLiteral("DatumAntrag"));
  TypeAndReturn(QString());  // keep today's date
  EXPECT_EQ(Focused(), QStringLiteral("AntragstellerGeschlechtSp1"));
  TypeAndReturn(QString());
  for (const QString& v : {QStringLiteral("Anna"), QStringLiteral("Muster"), QStringLiteral("Lindenstraße 12"),
                           QStringLiteral("34117"), QStringLiteral("Kassel")})
    TypeAndReturn(v);
  EXPECT_EQ(Value(QStringLiteral("AntragstellerVornameSp1")), QStringLiteral("Anna"));
  EXPECT_EQ(Value(QStringLiteral("AntragstellerNachnameSp1")), QStringLiteral("Muster"));
  EXPECT_EQ(Value(QStringLiteral("AntragstellerStrasseHNrSp1")), QStringLiteral("Lindenstraße 12"));
  EXPECT_EQ(Value(QStringLiteral("AntragstellerOrtSp1")), QStringLiteral("Kassel"));
  EXPECT_TRUE(f.Dirty());

  // Step 2: a respondent.
  QTest::mouseClick(f.ButtonForward, Qt::LeftButton);
  QApplication::processEvents();
  EXPECT_EQ(f.ShownStep(), 1);
  EXPECT_EQ(Focused(), QStringLiteral("AntragsGegnerGeschlechtSp1"));
  TypeAndReturn(QString());
  for (const QString& v : {QStringLiteral("Bernd"), QStringLiteral("Schuldner"), QStringLiteral("Ahornweg 3"),
                           QStringLiteral("10115"), QStringLiteral("Berlin")})
    TypeAndReturn(v);
  EXPECT_EQ(Value(QStringLiteral("AntragsGegnerNachnameSp1")), QStringLiteral("Schuldner"));

  // Step 3: catalogue number 19 from the open list shows its hint; dates are put right on leaving.
  ClickStep(2);
  Pick(QStringLiteral("HauptAnspruchKatalogNr1"), QStringLiteral("19"));
  EXPECT_EQ(Value(QStringLiteral("HauptAnspruchKatalogNr1")), QStringLiteral("19"));
  EXPECT_TRUE(f.HelpPanels().ContextHelpVisible());
  EXPECT_TRUE(f.laContextHelp->text().contains(QStringLiteral("Katalog Nr. 19")));
  Editor(QStringLiteral("HauptAnspruchDatumVon1"))->setFocus(Qt::MouseFocusReason);
  TypeAndReturn(QStringLiteral("1.3.2007"));
  EXPECT_EQ(Value(QStringLiteral("HauptAnspruchDatumVon1")), QStringLiteral("01.03.07"));
  EXPECT_EQ(Focused(), QStringLiteral("HauptAnspruchDatumBis1"));
  TypeAndReturn(QStringLiteral("rest"));
  EXPECT_EQ(Value(QStringLiteral("HauptAnspruchDatumBis1")), QStringLiteral("Rest"));
  EXPECT_EQ(Focused(), QStringLiteral("HauptAnspruchBetrag1"));
  TypeAndReturn(QStringLiteral("1785,00"));
  EXPECT_EQ(Value(QStringLiteral("HauptAnspruchBetrag1")), QStringLiteral("1785,00"));
  EXPECT_TRUE(dialogs.Messages.empty());

  // Step 5: a pasted IBAN fills its box and the focus walks on.
  ClickStep(4);
  QApplication::clipboard()->setText(QStringLiteral("DE89370400440532013000"));
  Editor(QStringLiteral("ProzessbevollmaechtigterIBAN"))->setFocus(Qt::MouseFocusReason);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
  QApplication::processEvents();
  EXPECT_EQ(Value(QStringLiteral("ProzessbevollmaechtigterIBAN")), QStringLiteral("DE89"));
  EXPECT_EQ(Focused(), QStringLiteral("ProzessbevollmaechtigterBLZ"));
  QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("37040044"));
  QApplication::processEvents();
  EXPECT_EQ(Focused(), QStringLiteral("ProzessbevollmaechtigterKontoNr"));

  // Step 7: Berlin's court is Wedding.
  ClickStep(6);
  EXPECT_TRUE(f.ButtonPrint->isVisible());
  Pick(QStringLiteral("AmtsgerichtPLZOrt"), QStringLiteral("13357 Berlin"));
  EXPECT_EQ(Value(QStringLiteral("AmtsgerichtName")), QStringLiteral("Wedding"));

  // Save under a new name, start a new one, open the saved one again: everything is back.
  const std::map<QString, QString> entered = AllValues();
  const QString doc = QDir(dir.path()).filePath(QStringLiteral("Miete März.kln"));
  dialogs.AnswerFile(doc);
  f.smSpeichernUnter->trigger();
  ASSERT_TRUE(QFileInfo(doc).isFile());
  EXPECT_FALSE(f.Dirty());
  EXPECT_EQ(f.windowTitle(), MainTitle() + QStringLiteral(" - ") + QDir::toNativeSeparators(doc));

  f.btnNeu->trigger();
  EXPECT_EQ(f.ShownStep(), 0);
  EXPECT_TRUE(f.FileName().isEmpty());
  EXPECT_TRUE(Value(QStringLiteral("AntragstellerNachnameSp1")).isEmpty());
  EXPECT_EQ(f.windowTitle(), MainTitle());

  dialogs.AnswerFile(doc);
  f.btnOeffnen->trigger();
  EXPECT_EQ(AllValues(), entered);
  EXPECT_EQ(EditorText(Editor(QStringLiteral("AntragstellerNachnameSp1"))), QStringLiteral("Muster"));
  EXPECT_EQ(f.windowTitle(), MainTitle() + QStringLiteral(" - ") + QDir::toNativeSeparators(doc));
  EXPECT_FALSE(f.Dirty());

  // Print into a PDF: no paper prompts, both pages in one file, each kind of field in its box.
  StorePrintSettings(0, 0, true);
  const QString pdf = QDir(dir.path()).filePath(QStringLiteral("antrag.pdf"));
  TPdfPrintDevice device(pdf);
  SetPrintDevice(&device);
  ClickStep(6);
  const std::size_t asked = dialogs.Messages.size();
  // The review before printing: catalogue number 19 wants the premises in line 35 and the German
  // IBAN its account number; the user prints all the same.
  QStringList findings;
  dialogs.AnswerDialog([&](QDialog& d) {
    auto* review = qobject_cast<TReviewWindow*>(&d);
    if (!review) return int(QDialog::Rejected);
    for (const TFinding& finding : review->Findings()) findings << finding.FieldName;
    QTest::mouseClick(review->ButtonContinue, Qt::LeftButton);
    return d.result();
  });
  QTest::mouseClick(f.ButtonPrint, Qt::LeftButton);
  QApplication::processEvents();
  EXPECT_EQ(findings, QStringList({QStringLiteral("HauptAnspruchZeile35PLZOrt"),
                                   QStringLiteral("ProzessbevollmaechtigterKontoNr")}));
  EXPECT_EQ(dialogs.Messages.size(), asked);  // complete: no completeness question
  ASSERT_EQ(PdfPageCount(pdf), 2);
  const std::vector<TPdfWord> words = PdfWords(pdf);
  auto expectInBox = [&](const QString& name, const QString& word, int page) {
    const TFormField& field = Field(name);
    bool found = false;
    for (const TPdfWord& w : words) {
      if (w.Text != word || w.Page != page) continue;
      found = true;
      EXPECT_NEAR(w.XMin, field.Left(), 0.3) << name.toStdString();
      EXPECT_NEAR(w.CentreY(), field.Top() + field.Height() / 2, 0.3) << name.toStdString();
    }
    EXPECT_TRUE(found) << name.toStdString() << " " << word.toStdString();
  };
  expectInBox(QStringLiteral("AntragstellerNachnameSp1"), QStringLiteral("Muster"), 1);            // Edit
  expectInBox(QStringLiteral("AntragsGegnerNachnameSp1"), QStringLiteral("Schuldner"), 1);         // Edit
  expectInBox(QStringLiteral("HauptAnspruchKatalogNr1"), QStringLiteral("19"), 2);                 // Combobox
  expectInBox(QStringLiteral("HauptAnspruchDatumBis1"), QStringLiteral("Rest"), 2);                // ComboEdit
  expectInBox(QStringLiteral("ProzessbevollmaechtigterIBAN"), QStringLiteral("DE89"), 2);          // EditExt cells
  expectInBox(QStringLiteral("AmtsgerichtName"), QStringLiteral("Wedding"), 2);

  // Close: unsaved changes ask; "Abbrechen" keeps the window, "Nein" lets it go.
  ClickStep(0);
  QWidget* ort = Editor(QStringLiteral("AntragstellerOrtSp1"));
  ort->setFocus();
  QTest::keyClicks(ort, QStringLiteral(" Nord"));
  EXPECT_TRUE(f.Dirty());
  dialogs.AnswerMessage(dbCancel);
  EXPECT_FALSE(f.close());
  EXPECT_TRUE(f.isVisible());
  dialogs.AnswerMessage(dbNo);
  EXPECT_TRUE(f.close());
  // The saved file kept the state of the save.
  QFile saved(doc);
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_FALSE(saved.readAll().contains("Kassel Nord"));
}

TEST_F(EndToEnd, ClosingWithoutChangesAsksNothing) {
  frame = std::make_unique<TMainFrame>(QStringList{QStringLiteral("mahnbescheid")});
  frame->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
  for (int step = 0; step < frame->StepCount(); ++step) ClickStep(step);
  EXPECT_TRUE(frame->close());
  EXPECT_TRUE(dialogs.Messages.empty());
}

}  // namespace

// The real program, started as a double-click on a document starts it: in the document's folder.
TEST(ProgramStart, InstallDirIsTheProgramsFolderNotTheDocumentsFolder) {
  const QString program = QStringLiteral(KALNO_BUILD_DIR "/mahnbescheid");
  ASSERT_TRUE(QFileInfo(program).isExecutable()) << program.toStdString();
  QTemporaryDir home;
  ASSERT_TRUE(home.isValid());
  const QString documents = home.filePath(QStringLiteral("Dokumente"));
  ASSERT_TRUE(QDir().mkpath(documents));
  const QString document = documents + QStringLiteral("/Miete.kln");
  {
    QFile f(document);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Mahnbescheid]\r\nAntragstellerNachnameSp1=M\xFCller\r\n");
  }
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("HOME"), home.path());
  env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
  env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  QProcess child;
  child.setProcessEnvironment(env);
  child.setWorkingDirectory(documents);
  child.start(program, {QStringLiteral("Miete.kln")});
  ASSERT_TRUE(child.waitForStarted());
  // Written at once at start; the program then waits for its user and is stopped here.
  const QString settings = home.filePath(QStringLiteral("config/KALNO/Mahnbescheid.conf"));
  QString installDir;
  QElapsedTimer waited;
  waited.start();
  while (installDir.isEmpty() && child.state() == QProcess::Running && waited.elapsed() < 60000) {
    child.waitForFinished(100);
    installDir = QSettings(settings, QSettings::IniFormat).value(QStringLiteral("InstallDir")).toString();
  }
  child.kill();
  child.waitForFinished();
  EXPECT_EQ(installDir, QDir(QStringLiteral(KALNO_BUILD_DIR)).canonicalPath() + QLatin1Char('/'));
}
