#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include "TestSupport.h"
#include "storage/uDocuments.h"
#include "storage/uProfileFile.h"
#include "storage/uProgramPaths.h"
#include "storage/uSafeFile.h"
#include "storage/uWin1252.h"

#ifdef Q_OS_UNIX
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

// Readable failure output.
static inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

// Three steps as the definition builds them; "Name" is in two steps.
TFieldLists MakeLists() {
  TFieldLists lists(3);
  const QFont f = TFormField::DefaultFont();
  lists[0].AddEdit("AntragstellerNachnameSp1", 35, 10, 10, 50, 5, f);
  lists[0].AddCheckbox("Kosten", 10, 20, 4, 4);
  lists[0].AddDateEdit("Datum", 10, 30, 20, 5, f);
  lists[1].AddEdit("Name", 35, 10, 10, 50, 5, f);
  lists[1].AddEdit("Strasse", 35, 10, 20, 50, 5, f);
  lists[1].AddButton("Knopf", 10, 30, 10, 5);
  lists[2].AddEdit("Name", 35, 10, 10, 50, 5, f);
  lists[2].AddCombobox("Gericht", 10, 20, 50, 5, f);
  return lists;
}

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return QByteArray();
  return f.readAll();
}

QByteArray Md5(const QString& path) { return QCryptographicHash::hash(ReadAll(path), QCryptographicHash::Md5); }

void WriteAll(const QString& path, const QByteArray& data) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(f.write(data), data.size());
}

QString Entry(const QString& path, const QString& name) {
  return TProfileFile(ReadAll(path)).ReadString("Mahnbescheid", name);
}

void SetAll(TFieldLists& lists, const QString& value) {
  for (auto& l : lists)
    for (int i = 0; i < l.Count(); ++i) l.Fields(i)->SetValue(value);
}

class DocumentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    lists_ = MakeLists();
    doc_ = std::make_unique<TDocument>(lists_);
    doc_->OnShowFirstStep = [this] { ++shown_; };
  }
  QString Path(const QString& name) const { return dir_.filePath(name); }
  QString Value(int step, int index) const { return lists_[std::size_t(step)].Fields(index)->Value(); }
  TFormField* Field(int step, int index) { return lists_[std::size_t(step)].Fields(index); }
  // "Name" is in steps 2 and 3; the file holds the later one.
  void SetName(const QString& value) {
    Field(1, 0)->SetValue(value);
    Field(2, 0)->SetValue(value);
  }

  QTemporaryDir dir_;
  TFieldLists lists_;
  std::unique_ptr<TDocument> doc_;
  TScriptedDialogs dialogs_;
  int shown_ = 0;
};

// ---- The file ------------------------------------------------------------------------------

TEST_F(DocumentTest, WritesEveryFieldOfEveryStepInListOrder) {
  Field(0, 0)->SetValue(QStringLiteral("Müller"));
  Field(0, 1)->SetValue("X");
  Field(1, 0)->SetValue("erst");
  Field(2, 0)->SetValue("zuletzt");
  ASSERT_TRUE(doc_->WriteDocument(Path("a.kln")));
  EXPECT_EQ(ReadAll(Path("a.kln")),
            QByteArray("[Mahnbescheid]\r\nAntragstellerNachnameSp1=M\xFCller\r\nKosten=X\r\nDatum=\r\n"
                       "Name=zuletzt\r\nStrasse=\r\nKnopf=\r\nGericht=\r\n"));
  EXPECT_TRUE(dialogs_.Messages.empty());
}

TEST_F(DocumentTest, TwoFieldsOfOneNameHoldTheLaterValueAfterReload) {
  Field(1, 0)->SetValue("Schritt 2");
  Field(2, 0)->SetValue("Schritt 3");
  ASSERT_TRUE(doc_->WriteDocument(Path("a.kln")));
  SetAll(lists_, "");
  ASSERT_TRUE(doc_->LoadDocument(Path("a.kln")));
  EXPECT_EQ(Value(1, 0), "Schritt 3");
  EXPECT_EQ(Value(2, 0), "Schritt 3");
}

struct TValueCase {
  const char* Label;
  QString Value;
  QString Expected;
};

class DocumentRoundTrip : public DocumentTest, public ::testing::WithParamInterface<TValueCase> {};

TEST_P(DocumentRoundTrip, ValueSurvivesSaveAndLoad) {
  const TValueCase& c = GetParam();
  Field(0, 0)->SetValue(c.Value);
  Field(1, 1)->SetValue("Nachbar");
  ASSERT_TRUE(doc_->WriteDocument(Path("r.kln")));
  SetAll(lists_, "alt");
  ASSERT_TRUE(doc_->LoadDocument(Path("r.kln")));
  EXPECT_EQ(Value(0, 0), c.Expected);
  EXPECT_EQ(Value(1, 1), "Nachbar");
  EXPECT_EQ(Value(2, 1), "");
}

QString HighBytes() {
  QString s;
  for (int b = 0x80; b <= 0x9F; ++b) s += Win1252ToUnicode(static_cast<unsigned char>(b));
  return s;
}

INSTANTIATE_TEST_SUITE_P(
    Values, DocumentRoundTrip,
    ::testing::Values(TValueCase{"umlauts", QStringLiteral("Jürgen Öztürk-Straße"), QStringLiteral("Jürgen Öztürk-Straße")},
                      TValueCase{"euro", QStringLiteral("€ 12,50"), QStringLiteral("€ 12,50")},
                      TValueCase{"bytes 80 to 9F", HighBytes(), HighBytes()},
                      TValueCase{"blanks at both ends", "  GmbH  ", "  GmbH  "},
                      TValueCase{"enclosing quotes", "\"Sonnenschein\"", "\"Sonnenschein\""},
                      TValueCase{"equals sign", "a = b", "a = b"},
                      TValueCase{"2047 characters", QString(2047, QLatin1Char('k')), QString(2047, QLatin1Char('k'))},
                      TValueCase{"3000 characters read as 2047", QString(3000, QLatin1Char('k')),
                                 QString(2047, QLatin1Char('k'))}),
    [](const ::testing::TestParamInfo<TValueCase>& info) {
      std::string s;
      for (const char* p = info.param.Label; *p; ++p) s += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
      return s;
    });

TEST_F(DocumentTest, ForeignSectionsEntriesAndLinesSurviveASave) {
  const QString path = Path("fremd.kln");
  ASSERT_TRUE(QFile::copy(FixturePath("documents/foreign.kln"), path));
  QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
  const QByteArray before = ReadAll(path);
  ASSERT_TRUE(doc_->LoadDocument(path));
  EXPECT_EQ(Value(0, 0), QStringLiteral("Müller"));
  EXPECT_EQ(Value(1, 0), "Meier");  // the first of two entries of one name
  Field(0, 0)->SetValue("Schulz");
  ASSERT_TRUE(doc_->WriteDocument(path));
  const QByteArray after = ReadAll(path);
  // Every line of the old file that is not one of our entries is still there, byte for byte.
  for (const QByteArray& line : before.split('\n')) {
    if (line.startsWith("AntragstellerNachnameSp1") || line.startsWith("Name=")) continue;
    EXPECT_TRUE(after.contains(line + '\n') || after.endsWith(line)) << line.constData();
  }
  const TProfileFile reread(after);
  EXPECT_EQ(reread.ReadString("Mahnbescheid", "AntragstellerNachnameSp1"), "Schulz");
  EXPECT_EQ(reread.ReadString("Mahnbescheid", "Version"), "7.1");
  EXPECT_EQ(reread.ReadString("Drucker", "Name"), "Laser");
  EXPECT_EQ(reread.ReadString("Mahnbescheid", "Gericht"), "");
}

TEST_F(DocumentTest, LinesEndingInCarriageReturnAloneOpenAndSaveInPlace) {
  // As old editors and some mail gateways leave a document: lines ended by CR alone.
  WriteAll(Path("cr.kln"), "[Mahnbescheid]\rAntragstellerNachnameSp1=M\xFCller\rKosten=X\rName=Meier\r");
  SetAll(lists_, "alt");
  ASSERT_TRUE(doc_->LoadDocument(Path("cr.kln")));
  EXPECT_EQ(Value(0, 0), QStringLiteral("Müller"));
  EXPECT_EQ(Value(0, 1), "X");
  EXPECT_EQ(Value(2, 0), "Meier");
  EXPECT_EQ(Value(0, 2), "");
  Field(2, 0)->SetValue("Schulz");
  ASSERT_TRUE(doc_->WriteDocument(Path("cr.kln")));
  const QByteArray after = ReadAll(Path("cr.kln"));
  // Each entry once, the old ones changed where they stood.
  EXPECT_EQ(after.count("Name="), 1) << after.constData();
  EXPECT_EQ(after.count("Kosten="), 1) << after.constData();
  EXPECT_TRUE(after.startsWith("[Mahnbescheid]\rAntragstellerNachnameSp1=M\xFCller\rKosten=X\rName=Schulz\r"))
      << after.constData();
  EXPECT_EQ(Entry(Path("cr.kln"), "Name"), "Schulz");
  EXPECT_TRUE(dialogs_.Messages.empty());
}

TEST_F(DocumentTest, MissingFileEmptiesEveryField) {
  SetAll(lists_, "alt");
  ASSERT_TRUE(doc_->LoadDocument(Path("gibtsnicht.kln")));
  for (int s = 0; s < 3; ++s)
    for (int i = 0; i < lists_[std::size_t(s)].Count(); ++i) EXPECT_EQ(Value(s, i), "");
  EXPECT_FALSE(QFileInfo::exists(Path("gibtsnicht.kln")));
}

TEST_F(DocumentTest, UnreadableOrHugeFileLeavesTheFieldsAndSaysWhy) {
  SetAll(lists_, "alt");
  QDir().mkpath(Path("ordner.kln"));
  EXPECT_FALSE(doc_->LoadDocument(Path("ordner.kln")));
  {
    QFile big(Path("riesig.kln"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(kMaxDocumentFileSize + 1));  // sparse
  }
  EXPECT_FALSE(doc_->LoadDocument(Path("riesig.kln")));
  ASSERT_EQ(dialogs_.Messages.size(), 2u);
  EXPECT_EQ(dialogs_.Messages[0].Kind, TDialogKind::Error);
  EXPECT_TRUE(dialogs_.Messages[0].Text.contains(QDir::toNativeSeparators(Path("ordner.kln"))));
  EXPECT_TRUE(dialogs_.Messages[1].Text.contains(QStringLiteral("zu groß")));
  EXPECT_EQ(Value(0, 0), "alt");
#ifdef Q_OS_UNIX
  // A pipe or an endless device would block or never end: refused at once, for reading and
  // for a save into it.
  ASSERT_EQ(mkfifo(QFile::encodeName(Path("rohr.kln")).constData(), 0600), 0);
  ASSERT_TRUE(QFile::link("/dev/zero", Path("null.kln")));
  EXPECT_FALSE(doc_->LoadDocument(Path("rohr.kln")));
  EXPECT_FALSE(doc_->LoadDocument(Path("null.kln")));
  EXPECT_FALSE(doc_->WriteDocument(Path("rohr.kln")));
  ASSERT_EQ(dialogs_.Messages.size(), 5u);
  EXPECT_TRUE(dialogs_.Messages[4].Text.startsWith(
      QStringLiteral("In %1 kann nicht geschrieben werden").arg(QDir::toNativeSeparators(Path("rohr.kln")))));
  EXPECT_EQ(Value(0, 0), "alt");
#endif
}

TEST_F(DocumentTest, OpenOfAnUnreadableFileKeepsTheCurrentDocument) {
  WriteAll(Path("a.kln"), "[Mahnbescheid]\r\nName=A-Wert\r\n");
  ASSERT_TRUE(doc_->OpenCommandLineDocument({"p", Path("a.kln")}));
  SetName("geändert");
  doc_->SetDirty(true);
  QDir().mkpath(Path("ordner.kln"));
  dialogs_.AnswerMessage(dbNo);
  dialogs_.AnswerFile(Path("ordner.kln"));
  doc_->Open();
  EXPECT_EQ(dialogs_.Log, QStringList({"message", "open", "message"}));
  EXPECT_EQ(dialogs_.Messages.back().Kind, TDialogKind::Error);
  EXPECT_EQ(doc_->FileName(), Path("a.kln"));
  EXPECT_EQ(Value(1, 0), QStringLiteral("geändert"));
  EXPECT_TRUE(doc_->Dirty());
  EXPECT_EQ(shown_, 0);
}

TEST_F(DocumentTest, FileThatIsNoDocumentReadsEmpty) {
  const QByteArray junk = QByteArray("\0\x01\xFF[=]\n\r\x80 Name=\0", 16).repeated((50 << 20) / 16);
  WriteAll(Path("junk.kln"), junk);
  SetAll(lists_, "alt");
  ASSERT_TRUE(doc_->LoadDocument(Path("junk.kln")));
  EXPECT_EQ(Value(1, 0), "");
  EXPECT_TRUE(dialogs_.Messages.empty());
}

// ---- Extensions ----------------------------------------------------------------------------

struct TExtCase {
  const char* Name;
  bool Accepted;
};

class DocumentExtension : public DocumentTest, public ::testing::WithParamInterface<TExtCase> {};

TEST_P(DocumentExtension, OpenChecksTheLastExtension) {
  const TExtCase& c = GetParam();
  WriteAll(Path(c.Name), "[Mahnbescheid]\r\nName=geladen\r\n");
  Field(1, 0)->SetValue("vorher");
  dialogs_.AnswerFile(Path(c.Name));
  doc_->Open();
  if (c.Accepted) {
    EXPECT_TRUE(dialogs_.Messages.empty());
    EXPECT_EQ(Value(1, 0), "geladen");
    EXPECT_EQ(doc_->FileName(), QFileInfo(Path(c.Name)).absoluteFilePath());
  } else {
    ASSERT_EQ(dialogs_.Messages.size(), 1u);
    EXPECT_EQ(dialogs_.Messages[0].Kind, TDialogKind::Plain);
    EXPECT_EQ(dialogs_.Messages[0].Text, QStringLiteral("Die ist keine korrekte Datei und kann daher nicht geöffnet werden."));
    EXPECT_EQ(Value(1, 0), "vorher");
    EXPECT_EQ(doc_->FileName(), "");
  }
  EXPECT_EQ(TDocument::HasDocumentExtension(Path(c.Name)), c.Accepted);
}

INSTANTIATE_TEST_SUITE_P(Names, DocumentExtension,
                         ::testing::Values(TExtCase{"akte.kln", true}, TExtCase{"AKTE.KLN", true},
                                           TExtCase{"akte.Kln", true}, TExtCase{"akte.kln.txt", false},
                                           TExtCase{"akte", false}, TExtCase{"akte.kl", false},
                                           TExtCase{"akte.klnx", false}));

TEST_F(DocumentTest, WrongExtensionsOfTheOtherCommands) {
  WriteAll(Path("v.txt"), "[Mahnbescheid]\r\nName=geladen\r\n");
  dialogs_.AnswerFile(Path("v.txt"));
  doc_->NewFromTemplate();
  dialogs_.AnswerFile(Path("s.txt"));
  doc_->SaveUnder();
  dialogs_.AnswerFile(Path("t"));
  doc_->SaveAsTemplate();
  ASSERT_EQ(dialogs_.Messages.size(), 3u);
  EXPECT_EQ(dialogs_.Messages[0].Text,
            QStringLiteral("Die ist keine korrekte Vorlagen Datei und kann daher nicht geöffnet werden."));
  EXPECT_EQ(dialogs_.Messages[1].Text, QStringLiteral("Die ist keine korrekter Dateiname."));
  EXPECT_EQ(dialogs_.Messages[2].Text, QStringLiteral("Die ist keine korrekter Dateiname."));
  EXPECT_FALSE(QFileInfo::exists(Path("s.txt")));
  EXPECT_FALSE(QFileInfo::exists(Path("t")));
  EXPECT_EQ(Value(1, 0), "");
}

// ---- The dialogs ---------------------------------------------------------------------------

TEST_F(DocumentTest, DialogRequestsStartInTheirFoldersAndRememberTheLastName) {
  SetProgramFolderForTesting(dir_.path());
  QDir().mkpath(Path("Mahnbescheide"));
  QDir().mkpath(Path("Mahnbescheid Vorlagen"));

  TFileDialogRequest r = doc_->OpenRequest();
  EXPECT_EQ(r.Title, QStringLiteral("Mahnbescheid öffnen"));
  EXPECT_EQ(r.Filter, "KALNO Mahnbescheid (*.kln)|*.kln");
  EXPECT_EQ(r.DefaultExtension, "");
  EXPECT_EQ(QDir(r.InitialDir), QDir(Path("Mahnbescheide")));
  r = doc_->TemplateOpenRequest();
  EXPECT_EQ(r.Title, "Mahnbescheid Vorlage laden");
  EXPECT_EQ(r.Filter, "KALNO Mahnbescheid Vorlage (*.kln)|*.kln");
  EXPECT_EQ(QDir(r.InitialDir), QDir(Path("Mahnbescheid Vorlagen")));
  r = doc_->SaveRequest();
  EXPECT_EQ(r.Title, "Mahnbescheid speichern");
  EXPECT_EQ(r.Filter, "KALNO Mahnbescheid (*.kln)|*.kln");
  EXPECT_EQ(r.DefaultExtension, "kln");
  EXPECT_EQ(QDir(r.InitialDir), QDir(Path("Mahnbescheide")));
  r = doc_->TemplateSaveRequest();
  EXPECT_EQ(r.Title, "Mahnbescheid Vorlagen speichern");
  EXPECT_EQ(r.Filter, "KALNO Mahnbescheid Vorlage (*.kln)|*.kln");
  EXPECT_EQ(r.DefaultExtension, "kln");
  EXPECT_EQ(QDir(r.InitialDir), QDir(Path("Mahnbescheid Vorlagen")));

  // Open and New from template share one dialog, the three saves the other.
  QDir().mkpath(Path("anderswo"));
  dialogs_.AnswerFile(Path("anderswo/eins.kln"));
  doc_->Open();
  dialogs_.AnswerFile(Path("anderswo/zwei.kln"));
  doc_->SaveAsTemplate();
  EXPECT_EQ(doc_->TemplateOpenRequest().FileName, "eins.kln");
  EXPECT_EQ(doc_->SaveRequest().FileName, "zwei.kln");
  // A named document saves into its own folder.
  EXPECT_EQ(QDir(doc_->SaveRequest().InitialDir), QDir(Path("anderswo")));
  SetProgramFolderForTesting(QString());
}

TEST_F(DocumentTest, WithoutFoldersBesideTheProgramTheyAreMadeInTheUsersDocuments) {
  SetProgramFolderForTesting(dir_.path());
  const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  ASSERT_FALSE(docs.isEmpty());
  QDir(docs + "/Mahnbescheide").removeRecursively();
  QDir(docs + "/Mahnbescheid Vorlagen").removeRecursively();
  EXPECT_EQ(QDir(doc_->OpenRequest().InitialDir), QDir(docs + "/Mahnbescheide"));
  EXPECT_EQ(QDir(doc_->TemplateSaveRequest().InitialDir), QDir(docs + "/Mahnbescheid Vorlagen"));
  EXPECT_TRUE(QFileInfo(docs + "/Mahnbescheide").isDir());
  EXPECT_TRUE(QFileInfo(docs + "/Mahnbescheid Vorlagen").isDir());
  EXPECT_FALSE(QFileInfo::exists(Path("Mahnbescheide")));
  SetProgramFolderForTesting(QString());
}

// ---- Command sequences ---------------------------------------------------------------------

enum class TCommand { New, Open, Template };

struct TSequence {
  const char* Label;
  TCommand Command;
  bool Named;     // the document is a.kln (else unnamed)
  bool Dirty;
  std::vector<TDialogButton> Answers;  // to the unsaved-changes question
  QStringList Files;                   // names the file dialogs answer ("" cancels)
  QStringList Log;                     // what was asked, in order
  QString Value;                       // "Name" of step 2 afterwards
  QString FileName;                    // file name afterwards, relative to the folder
  bool DirtyAfter;
  QString OnDisk;                      // "Name" in a.kln afterwards
  QString OnDiskC;                     // "Name" in c.kln afterwards ("" when not written)
};

class DocumentSequence : public DocumentTest, public ::testing::WithParamInterface<TSequence> {};

TEST_P(DocumentSequence, FollowsTheTable) {
  const TSequence& c = GetParam();
  WriteAll(Path("a.kln"), "[Mahnbescheid]\r\nName=A-Wert\r\n");
  WriteAll(Path("b.kln"), "[Mahnbescheid]\r\nName=B-Wert\r\n");
  WriteAll(Path("t.kln"), "[Mahnbescheid]\r\nName=T-Wert\r\nStrasse=Vorlagenweg\r\n");
  if (c.Named) {
    ASSERT_TRUE(doc_->OpenCommandLineDocument({"mahnbescheid", Path("a.kln")}));
  }
  Field(1, 0)->SetValue(QStringLiteral("geändert"));
  Field(2, 0)->SetValue(QStringLiteral("geändert"));
  doc_->SetDirty(c.Dirty);
  for (TDialogButton b : c.Answers) dialogs_.AnswerMessage(b);
  for (const QString& f : c.Files) dialogs_.AnswerFile(f.isEmpty() ? QString() : Path(f));
  shown_ = 0;

  switch (c.Command) {
    case TCommand::New: doc_->New(); break;
    case TCommand::Open: doc_->Open(); break;
    case TCommand::Template: doc_->NewFromTemplate(); break;
  }

  EXPECT_EQ(dialogs_.Log, c.Log);
  if (!dialogs_.Messages.empty() && dialogs_.Log.first() == "message") {
    EXPECT_EQ(dialogs_.Messages[0].Kind, TDialogKind::Confirmation);
    EXPECT_EQ(dialogs_.Messages[0].Text,
              QStringLiteral("Sie haben Ihre Änderungen noch nicht gespeichert. Wollen Sie dies jetzt tun."));
    EXPECT_EQ(dialogs_.Messages[0].Buttons, TDialogButtons(dbYes | dbNo | dbCancel));
  }
  EXPECT_EQ(Value(2, 0), c.Value);
  EXPECT_EQ(doc_->FileName(), c.FileName.isEmpty() ? QString() : QFileInfo(Path(c.FileName)).absoluteFilePath());
  EXPECT_EQ(doc_->Dirty(), c.DirtyAfter);
  EXPECT_EQ(Entry(Path("a.kln"), "Name"), c.OnDisk);
  EXPECT_EQ(Entry(Path("c.kln"), "Name"), c.OnDiskC);
  EXPECT_EQ(shown_, c.Value != QStringLiteral("geändert") ? 1 : 0);
}

const QString kChanged = QStringLiteral("geändert");
const QString kAsked = QStringLiteral("message");

INSTANTIATE_TEST_SUITE_P(
    Table, DocumentSequence,
    ::testing::Values(
        // New
        TSequence{"new_clean", TCommand::New, true, false, {}, {}, {}, "", "", false, "A-Wert", ""},
        TSequence{"new_dirty_cancel", TCommand::New, true, true, {dbCancel}, {}, {kAsked}, kChanged, "a.kln", true,
                  "A-Wert", ""},
        TSequence{"new_dirty_no", TCommand::New, true, true, {dbNo}, {}, {kAsked}, "", "", false, "A-Wert", ""},
        TSequence{"new_dirty_yes_named", TCommand::New, true, true, {dbYes}, {}, {kAsked}, "", "", false, kChanged, ""},
        TSequence{"new_dirty_yes_unnamed_cancelled", TCommand::New, false, true, {dbYes}, {""}, {kAsked, "save"},
                  kChanged, "", true, "A-Wert", ""},
        TSequence{"new_dirty_yes_unnamed_saved", TCommand::New, false, true, {dbYes}, {"c.kln"}, {kAsked, "save"}, "",
                  "", false, "A-Wert", kChanged},
        // Open
        TSequence{"open_clean", TCommand::Open, true, false, {}, {"b.kln"}, {"open"}, "B-Wert", "b.kln", false, "A-Wert",
                  ""},
        TSequence{"open_dirty_cancel", TCommand::Open, true, true, {dbCancel}, {"b.kln"}, {kAsked}, kChanged, "a.kln",
                  true, "A-Wert", ""},
        TSequence{"open_dirty_no", TCommand::Open, true, true, {dbNo}, {"b.kln"}, {kAsked, "open"}, "B-Wert", "b.kln",
                  false, "A-Wert", ""},
        TSequence{"open_dirty_yes", TCommand::Open, true, true, {dbYes}, {"b.kln"}, {kAsked, "open"}, "B-Wert", "b.kln",
                  false, kChanged, ""},
        TSequence{"open_dirty_yes_unnamed_cancelled", TCommand::Open, false, true, {dbYes}, {""}, {kAsked, "save"},
                  kChanged, "", true, "A-Wert", ""},
        TSequence{"open_dirty_no_dialog_cancelled", TCommand::Open, true, true, {dbNo}, {""}, {kAsked, "open"},
                  kChanged, "a.kln", true, "A-Wert", ""},
        TSequence{"open_missing_file", TCommand::Open, true, false, {}, {"neu.kln"}, {"open"}, "", "neu.kln", false,
                  "A-Wert", ""},
        // New from template
        TSequence{"template_clean", TCommand::Template, true, false, {}, {"t.kln"}, {"open"}, "T-Wert", "", false,
                  "A-Wert", ""},
        TSequence{"template_dirty_cancel", TCommand::Template, true, true, {dbCancel}, {"t.kln"}, {kAsked}, kChanged,
                  "a.kln", true, "A-Wert", ""},
        TSequence{"template_dirty_no", TCommand::Template, true, true, {dbNo}, {"t.kln"}, {kAsked, "open"}, "T-Wert", "",
                  false, "A-Wert", ""},
        TSequence{"template_dirty_yes", TCommand::Template, true, true, {dbYes}, {"t.kln"}, {kAsked, "open"}, "T-Wert",
                  "", false, kChanged, ""},
        TSequence{"template_dirty_yes_unnamed_saved", TCommand::Template, false, true, {dbYes}, {"c.kln", "t.kln"},
                  {kAsked, "save", "open"}, "T-Wert", "", false, "A-Wert", kChanged}),
    [](const ::testing::TestParamInfo<TSequence>& info) { return std::string(info.param.Label); });

TEST_F(DocumentTest, NewClearsDirtyOnlyAfterTheFirstStepIsShown) {
  Field(0, 0)->SetValue("x");
  doc_->SetFileName(Path("a.kln"));
  bool dirtyWhileShown = true;
  // Building step 0 sets values (a checked box) and so marks the document changed.
  doc_->OnShowFirstStep = [&] {
    dirtyWhileShown = doc_->Dirty();
    EXPECT_EQ(Value(0, 0), "");
    EXPECT_EQ(doc_->FileName(), "");
    doc_->SetDirty(true);
  };
  doc_->NewDocument();
  EXPECT_FALSE(dirtyWhileShown);
  EXPECT_FALSE(doc_->Dirty());
}

TEST_F(DocumentTest, StateChangesAreReported) {
  int changes = 0;
  doc_->OnStateChanged = [&] { ++changes; };
  doc_->SetDirty(true);
  doc_->SetDirty(true);
  EXPECT_EQ(changes, 1);
  dialogs_.AnswerFile(Path("neu.kln"));
  ASSERT_TRUE(doc_->SaveDocument(false));
  EXPECT_EQ(changes, 3);  // the name, then the flag
  EXPECT_FALSE(doc_->Dirty());
}

TEST_F(DocumentTest, TemplateThenSaveAsksForAName) {
  WriteAll(Path("t.kln"), "[Mahnbescheid]\r\nName=T-Wert\r\n");
  dialogs_.AnswerFile(Path("t.kln"));
  doc_->NewFromTemplate();
  EXPECT_EQ(doc_->FileName(), "");
  EXPECT_EQ(Value(1, 0), "T-Wert");
  SetName("Eigener Wert");
  doc_->SetDirty(true);
  dialogs_.AnswerFile(Path("eigen.kln"));
  doc_->Save();
  EXPECT_EQ(dialogs_.Log, QStringList({"open", "save"}));
  EXPECT_EQ(doc_->FileName(), Path("eigen.kln"));
  EXPECT_FALSE(doc_->Dirty());
  EXPECT_EQ(Entry(Path("eigen.kln"), "Name"), "Eigener Wert");
  EXPECT_EQ(Entry(Path("t.kln"), "Name"), "T-Wert");
  // Named now: the next save goes there without a dialog.
  SetName("Zweiter Wert");
  doc_->SetDirty(true);
  doc_->Save();
  EXPECT_EQ(dialogs_.SaveRequests.size(), 1u);
  EXPECT_EQ(Entry(Path("eigen.kln"), "Name"), "Zweiter Wert");
}

TEST_F(DocumentTest, SaveUnderAlwaysAsksAndTakesTheNewName) {
  WriteAll(Path("a.kln"), "[Mahnbescheid]\r\nName=A-Wert\r\n");
  ASSERT_TRUE(doc_->OpenCommandLineDocument({"p", Path("a.kln")}));
  SetName("Kopie");
  doc_->SetDirty(true);
  dialogs_.AnswerFile(Path("kopie.kln"));
  doc_->SaveUnder();
  EXPECT_EQ(dialogs_.SaveRequests.size(), 1u);
  EXPECT_EQ(doc_->FileName(), Path("kopie.kln"));
  EXPECT_FALSE(doc_->Dirty());
  EXPECT_EQ(Entry(Path("a.kln"), "Name"), "A-Wert");
  EXPECT_EQ(Entry(Path("kopie.kln"), "Name"), "Kopie");
}

TEST_F(DocumentTest, SaveAsTemplateKeepsTheDocumentsState) {
  WriteAll(Path("a.kln"), "[Mahnbescheid]\r\nName=A-Wert\r\n");
  ASSERT_TRUE(doc_->OpenCommandLineDocument({"p", Path("a.kln")}));
  SetName("Vorlagenwert");
  doc_->SetDirty(true);
  dialogs_.AnswerFile(Path("vorlage.kln"));
  doc_->SaveAsTemplate();
  EXPECT_EQ(dialogs_.Log, QStringList({"save", "message"}));  // no unsaved-changes question
  ASSERT_EQ(dialogs_.Messages.size(), 1u);
  EXPECT_EQ(dialogs_.Messages[0].Kind, TDialogKind::Plain);
  EXPECT_EQ(dialogs_.Messages[0].Text,
            QStringLiteral("Die Vorlage wurde gespeichert und kann ab jetzt über den Button Neu -> Neu von Vorlage "
                           "verwendet werden!"));
  EXPECT_EQ(Entry(Path("vorlage.kln"), "Name"), "Vorlagenwert");
  EXPECT_EQ(doc_->FileName(), Path("a.kln"));
  EXPECT_TRUE(doc_->Dirty());
}

TEST_F(DocumentTest, CloseAsksAndStaysOpenWhenTheSaveIsCancelled) {
  EXPECT_TRUE(doc_->CanClose());  // nothing unsaved, nothing asked
  EXPECT_TRUE(dialogs_.Log.isEmpty());
  doc_->SetDirty(true);
  dialogs_.AnswerMessage(dbYes);  // then the save dialog cancels
  EXPECT_FALSE(doc_->CanClose());
  EXPECT_TRUE(doc_->Dirty());
  dialogs_.AnswerMessage(dbCancel);
  EXPECT_FALSE(doc_->CanClose());
  dialogs_.AnswerMessage(dbNo);
  EXPECT_TRUE(doc_->CanClose());
  EXPECT_EQ(dialogs_.Log, QStringList({"message", "save", "message", "message"}));
}

struct TCommandLine {
  const char* Label;
  QStringList Arguments;  // "%1" stands for the folder
  bool Loaded;
};

class DocumentCommandLine : public DocumentTest, public ::testing::WithParamInterface<TCommandLine> {};

TEST_P(DocumentCommandLine, LoadsAnExistingFileWithoutAnyMessage) {
  WriteAll(Path("start.kln"), "[Mahnbescheid]\r\nName=Start\r\n");
  WriteAll(Path("start.txt"), "[Mahnbescheid]\r\nName=Text\r\n");
  QStringList args;
  for (const QString& a : GetParam().Arguments) args << QString(a).replace("%1", dir_.path());
  Field(1, 0)->SetValue("vorher");
  EXPECT_EQ(doc_->OpenCommandLineDocument(args), GetParam().Loaded);
  EXPECT_TRUE(dialogs_.Log.isEmpty());
  EXPECT_EQ(shown_, 0);
  EXPECT_FALSE(doc_->Dirty());
  if (GetParam().Loaded) {
    EXPECT_NE(Value(1, 0), "vorher");
    EXPECT_EQ(doc_->FileName(), QFileInfo(args.at(1)).absoluteFilePath());
  } else {
    EXPECT_EQ(Value(1, 0), "vorher");
    EXPECT_EQ(doc_->FileName(), "");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, DocumentCommandLine,
    ::testing::Values(TCommandLine{"none", {"mahnbescheid"}, false},
                      TCommandLine{"document", {"mahnbescheid", "%1/start.kln"}, true},
                      TCommandLine{"no extension check", {"mahnbescheid", "%1/start.txt"}, true},
                      TCommandLine{"only the first counts", {"mahnbescheid", "%1/fehlt.kln", "%1/start.kln"}, false},
                      TCommandLine{"missing file", {"mahnbescheid", "%1/fehlt.kln"}, false},
                      TCommandLine{"a folder", {"mahnbescheid", "%1"}, false},
                      TCommandLine{"empty argument", {"mahnbescheid", ""}, false}),
    [](const ::testing::TestParamInfo<TCommandLine>& info) {
      std::string s;
      for (const char* p = info.param.Label; *p; ++p) s += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
      return s;
    });

// ---- Saving loses nothing ------------------------------------------------------------------

#ifdef Q_OS_UNIX
// Root may write anywhere; the read-only cases run with the rights of "nobody", with the way
// back kept in the saved user id.
class TAsNobody {
 public:
  explicit TAsNobody(bool wanted) {
    if (!wanted || geteuid() != 0) return;
    active_ = setresgid(65534, 65534, 0) == 0 && setresuid(65534, 65534, 0) == 0;
  }
  ~TAsNobody() {
    if (!active_) return;
    [[maybe_unused]] int a = setresuid(0, 0, 0);
    [[maybe_unused]] int b = setresgid(0, 0, 0);
  }

 private:
  bool active_ = false;
};
#endif

enum class TFailure { ReadOnlyFile, ReadOnlyFolder, FullDevice };

struct TFailureCase {
  const char* Label;
  TFailure Failure;
  bool ViaDialog;  // Save under a new name into the failing place, else Save to FileName
};

class DocumentSaveFailure : public DocumentTest, public ::testing::WithParamInterface<TFailureCase> {
 protected:
  void TearDown() override {
    SetFileWriterForTesting({});
#ifdef Q_OS_UNIX
    if (mounted_) umount2(QFile::encodeName(folder_).constData(), MNT_DETACH);
#endif
    if (!folder_.isEmpty()) QFile::setPermissions(folder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
  QString folder_;
  bool mounted_ = false;
};

TEST_P(DocumentSaveFailure, OldFileStaysIntactAndDirtyStaysTrue) {
  const TFailureCase& c = GetParam();
  folder_ = Path("ablage");
  ASSERT_TRUE(QDir().mkpath(folder_));
  QString expectedReason;
#ifdef Q_OS_UNIX
  if (c.Failure == TFailure::FullDevice && geteuid() == 0)
    mounted_ = mount("tmpfs", QFile::encodeName(folder_).constData(), "tmpfs", 0, "size=64k") == 0;
#endif
  const QString path = folder_ + "/akte.kln";
  const QString previous = Path("vorher.kln");
  SetAll(lists_, "alter Inhalt");
  ASSERT_TRUE(doc_->WriteDocument(path));
  ASSERT_TRUE(doc_->WriteDocument(previous));
  const QByteArray oldSum = Md5(path);
  ASSERT_FALSE(oldSum.isEmpty());

  // The new content: large enough not to fit on the small device.
  SetAll(lists_, QString(10000, QLatin1Char('n')));
  doc_->SetFileName(c.ViaDialog ? previous : path);
  doc_->SetDirty(true);

  switch (c.Failure) {
    case TFailure::ReadOnlyFile:
      QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
      QFile::setPermissions(dir_.path(), QFileDevice::Permissions(0x7777));
      QFile::setPermissions(folder_, QFileDevice::Permissions(0x7777));
      expectedReason = QStringLiteral("Die Datei ist schreibgeschützt.");
      break;
    case TFailure::ReadOnlyFolder:
      QFile::setPermissions(dir_.path(), QFileDevice::Permissions(0x7777));
      QFile::setPermissions(path, QFileDevice::Permissions(0x6666));
      QFile::setPermissions(folder_, QFileDevice::Permissions(0x5555));
      expectedReason = QStringLiteral("In den Ordner %1 darf nicht geschrieben werden.").arg(QDir::toNativeSeparators(folder_));
      break;
    case TFailure::FullDevice:
      expectedReason = QStringLiteral("Auf dem Datenträger ist nicht genug Platz frei.");
      if (!mounted_) {
        // No right to mount a small device: a writer that fails as a full one does.
        SetFileWriterForTesting([](const QString&, const QByteArray&, QString* reason) {
          *reason = SystemErrorText(ENOSPC, QString());
          return false;
        });
      }
      break;
  }

  if (c.ViaDialog) dialogs_.AnswerFile(path);
  bool saved;
  {
#ifdef Q_OS_UNIX
    TAsNobody nobody(c.Failure != TFailure::FullDevice);
#endif
    saved = c.ViaDialog ? doc_->SaveDocument(true) : doc_->SaveDocument(false);
  }
  EXPECT_FALSE(saved);
  EXPECT_EQ(Md5(path), oldSum);
  EXPECT_TRUE(doc_->Dirty());
  EXPECT_EQ(doc_->FileName(), c.ViaDialog ? previous : path);  // the name is taken only on success
  ASSERT_EQ(dialogs_.Messages.size(), 1u);
  EXPECT_EQ(dialogs_.Messages[0].Kind, TDialogKind::Error);
  EXPECT_EQ(dialogs_.Messages[0].Text,
            QStringLiteral("In %1 kann nicht geschrieben werden\n\n%2").arg(QDir::toNativeSeparators(path), expectedReason));
  // No half-written temporary file stays behind.
  EXPECT_EQ(QDir(folder_).entryList(QDir::Files | QDir::Hidden), QStringList({"akte.kln"}));
  // The close handler's question fails the same way and keeps the window open.
  dialogs_.AnswerMessage(dbYes);
  if (c.ViaDialog) dialogs_.AnswerFile(path);
  {
#ifdef Q_OS_UNIX
    TAsNobody nobody(c.Failure != TFailure::FullDevice);
#endif
    EXPECT_FALSE(c.ViaDialog ? (doc_->SetFileName(QString()), doc_->CanClose()) : doc_->CanClose());
  }
  EXPECT_EQ(Md5(path), oldSum);
  EXPECT_TRUE(doc_->Dirty());
}

INSTANTIATE_TEST_SUITE_P(Failures, DocumentSaveFailure,
                         ::testing::Values(TFailureCase{"ReadOnlyFile", TFailure::ReadOnlyFile, false},
                                           TFailureCase{"ReadOnlyFileSaveUnder", TFailure::ReadOnlyFile, true},
                                           TFailureCase{"ReadOnlyFolder", TFailure::ReadOnlyFolder, false},
                                           TFailureCase{"ReadOnlyFolderSaveUnder", TFailure::ReadOnlyFolder, true},
                                           TFailureCase{"FullDevice", TFailure::FullDevice, false},
                                           TFailureCase{"FullDeviceSaveUnder", TFailure::FullDevice, true}),
                         [](const ::testing::TestParamInfo<TFailureCase>& info) { return std::string(info.param.Label); });

TEST_F(DocumentTest, SaveKeepsTheFilesPermissions) {
  const QString path = Path("rechte.kln");
  ASSERT_TRUE(doc_->WriteDocument(path));
  const auto perms = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
  QFile::setPermissions(path, perms);
  Field(0, 0)->SetValue("neu");
  ASSERT_TRUE(doc_->WriteDocument(path));
  const QFileDevice::Permissions notUser(0xF0FF);
  EXPECT_EQ(QFile::permissions(path) & notUser, perms);
}

#ifdef Q_OS_UNIX
TEST_F(DocumentTest, SaveThroughALinkWritesTheLinkedFile) {
  QDir().mkpath(Path("echt"));
  WriteAll(Path("echt/akte.kln"), "[Mahnbescheid]\r\nName=alt\r\n");
  ASSERT_TRUE(QFile::link(Path("echt/akte.kln"), Path("verweis.kln")));
  SetName("neu");
  ASSERT_TRUE(doc_->WriteDocument(Path("verweis.kln")));
  EXPECT_TRUE(QFileInfo(Path("verweis.kln")).isSymLink());
  EXPECT_EQ(Entry(Path("echt/akte.kln"), "Name"), "neu");
}
#endif

// The child's part of the next test: saves a large document and stops half-way, waiting to be
// killed. Runs only when started by it.
TEST(DocumentChild, SaveUntilKilled) {
  const QString path = qEnvironmentVariable("KALNO_CHILD_SAVE");
  if (path.isEmpty()) GTEST_SKIP() << "started only by DocumentKill";
  TFieldLists lists(1);
  for (int i = 0; i < 4000; ++i)
    lists[0].AddEdit(QStringLiteral("Feld%1").arg(i), 2000, 0, 0, 1, 1, TFormField::DefaultFont())
        ->SetValue(QString(1000, QLatin1Char('a' + i % 26)));
  TDocument doc(lists);
  SetSaveProgressHookForTesting([](qint64 written, qint64 total) {
    if (written * 2 < total) return;
    fputs("HALF\n", stdout);
    fflush(stdout);
    for (;;) QThread::sleep(1);
  });
  doc.WriteDocument(path);
  FAIL() << "the save went through";
}

TEST(DocumentKill, ProgramKilledDuringASaveLeavesTheOldFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath("gross.kln");
  {
    TFieldLists lists = MakeLists();
    SetAll(lists, QStringLiteral("alter Stand"));
    TDocument doc(lists);
    ASSERT_TRUE(doc.WriteDocument(path));
  }
  const QByteArray oldSum = Md5(path);
  QProcess child;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("KALNO_CHILD_SAVE", path);
  child.setProcessEnvironment(env);
  child.setProcessChannelMode(QProcess::SeparateChannels);
  child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=DocumentChild.SaveUntilKilled"});
  ASSERT_TRUE(child.waitForStarted());
  QByteArray out;
  while (!out.contains("HALF") && child.state() == QProcess::Running) {
    child.waitForReadyRead(1000);
    out += child.readAllStandardOutput();
  }
  ASSERT_TRUE(out.contains("HALF")) << out.constData() << child.readAllStandardError().constData();
#ifdef Q_OS_LINUX
  // Half of the new document is on the disk now, in a temporary file the child holds open
  // (one without a name, where the system offers those).
  qint64 pending = 0;
  const QString fds = QStringLiteral("/proc/%1/fd").arg(child.processId());
  for (const QFileInfo& fd : QDir(fds).entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
    const QString target = fd.symLinkTarget();
    if (target.startsWith(dir.path()) && !target.endsWith("/gross.kln")) pending = qMax(pending, QFileInfo(fd.filePath()).size());
  }
  EXPECT_GT(pending, 2000000);
#endif
  child.kill();
  ASSERT_TRUE(child.waitForFinished(10000));
  EXPECT_EQ(Md5(path), oldSum);
  TFieldLists lists = MakeLists();
  TDocument doc(lists);
  ASSERT_TRUE(doc.LoadDocument(path));
  EXPECT_EQ(lists[1].Fields(0)->Value(), "alter Stand");
}

}  // namespace
