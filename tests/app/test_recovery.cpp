// The recovery copy of unsaved work: a program killed while the user types leaves it, the next
// start offers it and brings every value back; saving, New, Open and a normal close remove it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <iostream>

#include "MainFrameTestData.h"
#include "TestSupport.h"
#include "app/Wizardframe.h"
#include "definition/WizardSteps.h"
#include "editor/uFormEditors.h"
#include "editor/uFormularEditorControls.h"
#include "editor/uFormularManager.h"
#include "storage/uDocuments.h"
#include "storage/uProfileFile.h"
#include "storage/uProgramPaths.h"
#include "storage/uRecovery.h"
#include "storage/uSafeFile.h"

namespace {
// What the test program needs to know when it runs as the typing child.
const char* const kEnvFolder = "KALNO_RECOVERY_TEST_FOLDER";      // the folder of the copies
const char* const kEnvMode = "KALNO_RECOVERY_TEST_MODE";          // "kill" or "close"
const char* const kEnvDocument = "KALNO_RECOVERY_TEST_DOCUMENT";  // document argument, may be empty
const char* const kEnvTruth = "KALNO_RECOVERY_TEST_TRUTH";        // where the child notes its values
constexpr int kDeadlineMs = 120000;

void UseShippedForm() {
  QDir build(BuildRuntimeFolder());
  build.cdUp();
  SetProgramFolderForTesting(build.absolutePath() + QLatin1Char('/'));
}

// Every field name of the shipped form, in step order.
QStringList FieldNames() {
  const auto definition = TWizardDefinition::Load(DefinitionFileName(RuntimeFolder()));
  TFieldLists lists;
  BuildFieldLists(*definition, lists);
  QStringList names;
  for (const TFormFieldList& list : lists)
    for (int i = 0; i < list.Count(); ++i) names << list.Fields(i)->Name();
  FreeFieldLists(lists);
  return names;
}

QHash<QString, QString> ReadValues(const QString& file, const QStringList& names) {
  QByteArray data;
  bool exists = false;
  QString reason;
  if (!ReadFileLimited(file, kMaxDocumentFileSize, &data, &exists, &reason) || !exists) return {};
  return TProfileFile(data).ReadStrings(QString::fromLatin1(kDocumentSection), names);
}

// Types into the first two free edits of every step and ticks the first check box of each.
void TypeIntoEveryStep(TMainFrame& frame) {
  for (int step = 0; step < frame.StepCount(); ++step) {
    frame.OnNavButtonClick(step);
    QCoreApplication::processEvents();
    const TFormFieldList& list = frame.FieldLists()[std::size_t(step)];
    int edits = 0;
    bool ticked = false;
    for (int i = 0; i < list.Count(); ++i) {
      const TFormField* field = list.Fields(i);
      QWidget* editor = frame.FormularManager().Editors().EditorByName(field->Name());
      if (!editor || !editor->isEnabled()) continue;
      if (auto* edit = qobject_cast<TFormularEdit*>(editor); edit && !edit->isReadOnly() && edits < 2 &&
                                                              field->Kind() == TFormFieldKind::Edit) {
        edit->setFocus(Qt::TabFocusReason);
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("Neu%1x%2").arg(step + 1).arg(++edits));
      } else if (auto* box = qobject_cast<TFormularCheckBox*>(editor); box && !ticked) {
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
        ticked = true;
      }
    }
  }
}

// The test program as the child that types: not a test of its own.
TEST(RecoveryChild, TypesIntoTheShippedForm) {
  if (qEnvironmentVariableIsEmpty(kEnvFolder)) GTEST_SKIP() << "the recovery tests run this as their child";
  ClearTestSettings();
  UseShippedForm();
  TRecovery::SetFolderForTesting(qEnvironmentVariable(kEnvFolder));
  TScriptedDialogs dialogs;
  QStringList arguments{QStringLiteral("mahnbescheid")};
  if (!qEnvironmentVariableIsEmpty(kEnvDocument)) arguments << qEnvironmentVariable(kEnvDocument);
  TMainFrame frame(arguments);
  frame.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
  TypeIntoEveryStep(frame);
  ASSERT_TRUE(frame.Dirty());
  // What the parent has to find again: every value as the window holds it now.
  TProfileFile truth;
  for (const TFormFieldList& list : frame.FieldLists())
    for (int i = 0; i < list.Count(); ++i)
      truth.WriteString(QString::fromLatin1(kDocumentSection), list.Fields(i)->Name(), list.Fields(i)->Value());
  QString reason;
  ASSERT_TRUE(WriteFileSafely(qEnvironmentVariable(kEnvTruth), truth.Data(), &reason));
  std::cout << "typed" << std::endl;
  if (qEnvironmentVariable(kEnvMode) == QLatin1String("kill")) {
    for (;;) QTest::qWait(50);  // until the parent kills the program
  }
  // A normal close without saving, once the copy is there.
  QElapsedTimer waited;
  waited.start();
  while (!frame.Recovery().HasCopy() && waited.elapsed() < kDeadlineMs) QTest::qWait(50);
  ASSERT_TRUE(frame.Recovery().HasCopy());
  dialogs.AnswerMessage(dbNo);
  EXPECT_TRUE(frame.close());
  std::cout << "closed" << std::endl;
}

class RecoveryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearTestSettings();
    runFolder = TRecovery::Folder();
    TRecovery::SetFolderForTesting(folder.filePath(QStringLiteral("daten")));
  }
  void TearDown() override {
    frame.reset();
    ReleaseWizardDefinition();
    TRecovery::SetFolderForTesting(runFolder);
    SetProgramFolderForTesting(QString());
  }
  QString CopyFile() const { return folder.filePath(QStringLiteral("daten/recovery.kln")); }

  // Runs the test program as the typing child; returns once it has typed.
  void StartChild(QProcess& child, const QString& mode, const QString& document) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QLatin1String(kEnvFolder), folder.filePath(QStringLiteral("daten")));
    env.insert(QLatin1String(kEnvMode), mode);
    env.insert(QLatin1String(kEnvDocument), document);
    env.insert(QLatin1String(kEnvTruth), truthFile());
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=RecoveryChild.*"), QStringLiteral("--gtest_brief=1")});
    ASSERT_TRUE(child.waitForStarted());
    QByteArray out;
    QElapsedTimer waited;
    waited.start();
    while (!out.contains("typed") && child.state() == QProcess::Running && waited.elapsed() < kDeadlineMs) {
      child.waitForReadyRead(200);
      out += child.readAllStandardOutput();
    }
    ASSERT_TRUE(out.contains("typed")) << out.toStdString();
  }
  QString truthFile() const { return folder.filePath(QStringLiteral("wahrheit.kln")); }

  QTemporaryDir folder;
  QString runFolder;
  TScriptedDialogs dialogs;
  std::unique_ptr<TTestRuntime> runtime;
  std::unique_ptr<TMainFrame> frame;
};

struct TKillCase {
  const char* Name;
  bool Named;  // started with a document
};
class KilledWhileTyping : public RecoveryTest, public ::testing::WithParamInterface<TKillCase> {};

TEST_P(KilledWhileTyping, TheNextStartOffersTheCopyAndRestoresEveryValue) {
  UseShippedForm();
  const QStringList names = FieldNames();
  QString document;
  if (GetParam().Named) {
    // A name beyond Windows-1252 too: the copy keeps it exactly.
    document = folder.filePath(QStringLiteral("Miete Müller ☂.kln"));
    ASSERT_TRUE(QFile::copy(BuildRuntimeFolder() + QStringLiteral("examples/Beispiel.kln"), document));
  }
  QProcess child;
  StartChild(child, QStringLiteral("kill"), document);
  const QHash<QString, QString> truth = ReadValues(truthFile(), names);
  ASSERT_TRUE(truth.values().contains(QStringLiteral("Neu1x1")) && truth.values().contains(QStringLiteral("X")))
      << "the child typed nothing";
  // The copy follows the typing within a few seconds; then the program dies without a word.
  QElapsedTimer waited;
  waited.start();
  while (ReadValues(CopyFile(), names) != truth && waited.elapsed() < kDeadlineMs) QTest::qWait(100);
  child.kill();
  ASSERT_TRUE(child.waitForFinished());
  EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
  ASSERT_EQ(ReadValues(CopyFile(), names), truth);

  // The next start: "Ja" brings every value back as changed work, under the old name if any.
  dialogs.AnswerMessage(dbYes);
  frame = std::make_unique<TMainFrame>();
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Kind, TDialogKind::Confirmation);
  EXPECT_EQ(dialogs.Messages[0].Buttons, TDialogButtons(dbYes | dbNo));
  EXPECT_EQ(dialogs.Messages[0].Text,
            QStringLiteral("Beim letzten Mal wurde das Programm beendet, ohne dass Ihre Änderungen gespeichert wurden. "
                           "Wollen Sie die wiederhergestellten Angaben laden?"));
  int compared = 0;
  for (const TFormFieldList& list : frame->FieldLists())
    for (int i = 0; i < list.Count(); ++i, ++compared)
      EXPECT_EQ(list.Fields(i)->Value(), truth.value(list.Fields(i)->Name())) << list.Fields(i)->Name().toStdString();
  EXPECT_EQ(compared, names.size());
  EXPECT_TRUE(frame->Dirty());
  EXPECT_TRUE(frame->btnSpeichern->isEnabled());
  EXPECT_EQ(frame->FileName(), document.isEmpty() ? QString() : QFileInfo(document).absoluteFilePath());
  EXPECT_TRUE(QFile::exists(CopyFile()));  // until the work is saved or dropped

  // Another start that answers "Nein": the copy is gone and the form is empty.
  frame.reset();
  dialogs.AnswerMessage(dbNo);
  frame = std::make_unique<TMainFrame>();
  EXPECT_EQ(dialogs.Messages.size(), 2u);
  EXPECT_FALSE(QFile::exists(CopyFile()));
  EXPECT_FALSE(frame->Dirty());
  EXPECT_EQ(frame->FileName(), QString());
  frame.reset();
  frame = std::make_unique<TMainFrame>();
  EXPECT_EQ(dialogs.Messages.size(), 2u);  // nothing to offer any more
}

INSTANTIATE_TEST_SUITE_P(Documents, KilledWhileTyping,
                         ::testing::Values(TKillCase{"Unnamed", false}, TKillCase{"Named", true}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(RecoveryTest, ANormalCloseWithoutSavingLeavesNoCopy) {
  UseShippedForm();
  QProcess child;
  StartChild(child, QStringLiteral("close"), QString());
  ASSERT_TRUE(child.waitForFinished(kDeadlineMs));
  EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(child.exitCode(), 0);
  EXPECT_FALSE(QFile::exists(CopyFile()));
}

// What happens to a copy that was written, command by command, in one window.
struct TCommandCase {
  const char* Name;
  std::function<void(TMainFrame&, TScriptedDialogs&, const QString& folder)> Run;
  bool CopyRemains;
};
class CopyAfterCommand : public RecoveryTest, public ::testing::WithParamInterface<TCommandCase> {};

TEST_P(CopyAfterCommand, RemovedWhenTheWorkIsSavedOrDropped) {
  runtime = std::make_unique<TTestRuntime>(ThreeSteps());
  frame = std::make_unique<TMainFrame>();
  TMainFrame& f = *frame;
  EXPECT_TRUE(dialogs.Messages.empty());  // nothing to offer
  // A change schedules the copy; it is written by the timer, not at once.
  FieldByName(f.FieldLists(), QStringLiteral("B1"))->SetValue(QStringLiteral("Berta"));
  f.SetDirty(true);
  EXPECT_TRUE(f.Recovery().WritePending());
  EXPECT_FALSE(QFile::exists(CopyFile()));
  ASSERT_TRUE(f.Recovery().WriteNow());
  EXPECT_EQ(ReadValues(CopyFile(), {QStringLiteral("B1")}).value(QStringLiteral("B1")), QStringLiteral("Berta"));

  GetParam().Run(f, dialogs, runtime->Folder());
  EXPECT_EQ(QFile::exists(CopyFile()), GetParam().CopyRemains);
  if (!GetParam().CopyRemains) {
    EXPECT_FALSE(f.Recovery().WritePending());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CopyAfterCommand,
    ::testing::Values(
        TCommandCase{"Save",
                     [](TMainFrame& f, TScriptedDialogs& d, const QString& dir) {
                       d.AnswerFile(dir + QStringLiteral("gespeichert.kln"));
                       f.btnSpeichernClick();
                     },
                     false},
        TCommandCase{"New",
                     [](TMainFrame& f, TScriptedDialogs& d, const QString&) {
                       d.AnswerMessage(dbNo);
                       f.btnNeuClick();
                     },
                     false},
        TCommandCase{"Open",
                     [](TMainFrame& f, TScriptedDialogs& d, const QString& dir) {
                       QFile doc(dir + QStringLiteral("alt.kln"));
                       doc.open(QIODevice::WriteOnly);
                       doc.write("[Mahnbescheid]\r\nA1=Alt\r\n");
                       doc.close();
                       d.AnswerMessage(dbNo);
                       d.AnswerFile(doc.fileName());
                       f.btnOeffnenClick();
                     },
                     false},
        TCommandCase{"CloseWithoutSaving",
                     [](TMainFrame& f, TScriptedDialogs& d, const QString&) {
                       d.AnswerMessage(dbNo);
                       EXPECT_TRUE(f.close());
                     },
                     false},
        TCommandCase{"CloseCancelled",
                     [](TMainFrame& f, TScriptedDialogs& d, const QString&) {
                       d.AnswerMessage(dbCancel);
                       EXPECT_FALSE(f.close());
                     },
                     true},
        // Whatever ends the program without its close keeps the work.
        TCommandCase{"EndWithoutClose", [](TMainFrame&, TScriptedDialogs&, const QString&) {}, true}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(RecoveryTest, ASecondProgramKeepsItsOwnCopy) {
  TFieldLists lists(1);
  lists[0].AddEdit(QStringLiteral("A1"), 35, 10, 10, 60, 5, QFont());
  TDocument first(lists), second(lists);
  TRecovery a(first, lists), b(second, lists);
  ASSERT_FALSE(a.FileName().isEmpty());
  ASSERT_FALSE(b.FileName().isEmpty());
  EXPECT_NE(a.FileName(), b.FileName());
  lists[0].Fields(0)->SetValue(QStringLiteral("Anna"));
  first.SetDirty(true);
  ASSERT_TRUE(a.WriteNow());
  EXPECT_TRUE(a.HasCopy());
  EXPECT_FALSE(b.HasCopy());
  // Unchanged work has nothing to keep.
  EXPECT_FALSE(b.WriteNow());
  EXPECT_FALSE(b.HasCopy());
  FreeFieldLists(lists);
}
}  // namespace
