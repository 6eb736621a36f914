// "mahnbescheid --print-pdf OUT.pdf DOC.kln": a two-page PDF from a document, with no window.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include "PrintFixtures.h"
#include "TestSupport.h"
#include "print/uPrintPdfCommand.h"
#include "storage/uProgramPaths.h"

namespace {
QString Field(const char* name, const char* type, double left, double top, int digits = 0) {
  QString extra = QStringLiteral("<validation><length>35</length></validation>");
  if (digits > 0)
    extra += QStringLiteral("<extraParameters><numberOfDigits>%1</numberOfDigits></extraParameters>").arg(digits);
  return QStringLiteral(
             "<field Name=\"%1\"><type>%2</type><fieldMetric><left>%3</left><top>%4</top><width>40</width>"
             "<height>5</height></fieldMetric>%5</field>")
      .arg(QLatin1String(name), QLatin1String(type))
      .arg(left)
      .arg(top)
      .arg(extra);
}

QString Step(const QString& fields) {
  return QStringLiteral(
             "<wizardStep><infoText>i</infoText><navigationText>n</navigationText>"
             "<stepMetric><left>0</left><top>0</top><width>210</width><height>100</height></stepMetric>"
             "<font><size>10</size><family>Courier New</family><style>Regular</style></font>"
             "<fields>%1</fields></wizardStep>")
      .arg(fields);
}

// Seven steps with the entries the completeness check looks at and one digit box on page 2.
QByteArray Definition() {
  QString steps;
  steps += Step(Field("AntragstellerNachnameSp1", "Edit", 20, 40));
  steps += Step(Field("AntragsGegnerNachnameSp1", "Edit", 20, 180));
  steps += Step(Field("HauptAnspruchKatalogNr1", "Edit", 20, 20) + Field("HauptAnspruchBetrag1", "EditExt", 120, 20, 8));
  steps += Step(QString()) + Step(QString()) + Step(QString());
  steps += Step(Field("AmtsgerichtPLZOrt", "Edit", 20, 250));
  return (QStringLiteral("<?xml version=\"1.0\"?>\n<wizardSteps>") + steps + QStringLiteral("</wizardSteps>")).toUtf8();
}

class PrintPdf : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearTestSettings();
    QDir(dir.path()).mkpath(QStringLiteral("Mahnbescheid Runtime"));
    QFile def(dir.filePath(QStringLiteral("Mahnbescheid Runtime/WizardSteps.xml")));
    ASSERT_TRUE(def.open(QIODevice::WriteOnly));
    def.write(Definition());
    def.close();
    SetProgramFolderForTesting(dir.path());
  }
  void TearDown() override { SetProgramFolderForTesting(QString()); }

  QString Document(bool complete) {
    QString text = QStringLiteral("[Mahnbescheid]\r\nAntragstellerNachnameSp1=Müller\r\nHauptAnspruchBetrag1=1250,00\r\n");
    if (complete)
      text += QStringLiteral("AntragsGegnerNachnameSp1=Schulze\r\nHauptAnspruchKatalogNr1=10\r\nAmtsgerichtPLZOrt=Wedding\r\n");
    const QString name = dir.filePath(QStringLiteral("antrag.kln"));
    QFile f(name);
    f.open(QIODevice::WriteOnly);
    f.write(text.toLatin1());  // Windows-1252 and Latin-1 agree on these characters
    return name;
  }

  int Run(const QStringList& args) {
    err.clear();
    QTextStream stream(&err);
    const int rc = PrintPdfCommand(args, stream);
    stream.flush();
    return rc;
  }

  QTemporaryDir dir;
  QString err;
};

TEST_F(PrintPdf, TwoPagesWithTheStoredOffset) {
  StorePrintSettings(1.5, -0.5, false);
  const QString out = dir.filePath(QStringLiteral("antrag.pdf"));
  ASSERT_EQ(Run({QStringLiteral("--print-pdf"), out, Document(true)}), 0) << err.toStdString();
  EXPECT_EQ(err, QString());
  ASSERT_EQ(PdfPageCount(out), 2);
  std::map<QString, TPdfWord> words;
  int digits = 0;
  for (const TPdfWord& w : PdfWords(out)) {
    words[w.Text] = w;
    if (w.Page == 2 && w.Text.size() == 1) ++digits;
  }
  ASSERT_EQ(words.count(QStringLiteral("Müller")), 1u);
  EXPECT_EQ(words[QStringLiteral("Müller")].Page, 1);
  EXPECT_NEAR(words[QStringLiteral("Müller")].XMin, 21.5, 0.1);  // no physical offset
  EXPECT_NEAR(words[QStringLiteral("Müller")].CentreY(), 42.0, 0.2);
  EXPECT_EQ(words[QStringLiteral("Schulze")].Page, 1);
  EXPECT_EQ(words[QStringLiteral("Wedding")].Page, 2);
  EXPECT_EQ(digits, 7);  // "1250,00" one character per cell
}

TEST_F(PrintPdf, MissingEntriesGoToStandardErrorAndThePdfIsWritten) {
  const QString out = dir.filePath(QStringLiteral("antrag.pdf"));
  ASSERT_EQ(Run({QStringLiteral("--print-pdf"), out, Document(false)}), 0);
  EXPECT_EQ(err, QStringLiteral("Bitte tragen Sie mindestens einen Antragsgegner ein. (Schritt2)\n"
                                "Bitte tragen Sie mindestens einen Anspruch ein. (Schritt3)\n"
                                "Bitte tragen Sie das Amtsgericht ein. (Schritt7)\n"));
  EXPECT_EQ(PdfPageCount(out), 2);
}

TEST_F(PrintPdf, FailuresSayWhyInGerman) {
  const QString doc = Document(true);
  const QString out = dir.filePath(QStringLiteral("antrag.pdf"));
  const struct {
    QStringList Args;
    int Code;
    QString Start;
  } table[] = {
      {{QStringLiteral("--print-pdf"), out, dir.filePath(QStringLiteral("fehlt.kln"))}, 1,
       QStringLiteral("Das Dokument \"")},
      {{QStringLiteral("--print-pdf"), dir.filePath(QStringLiteral("kein/ordner/a.pdf")), doc}, 1,
       QStringLiteral("Die Datei \"")},
      {{QStringLiteral("--print-pdf"), out}, 2, QStringLiteral("Aufruf: mahnbescheid --print-pdf")},
  };
  for (const auto& row : table) {
    EXPECT_EQ(Run(row.Args), row.Code) << row.Args.join(' ').toStdString();
    EXPECT_TRUE(err.startsWith(row.Start)) << err.toStdString();
    EXPECT_FALSE(QFile::exists(out));
  }
}

TEST_F(PrintPdf, AFailedWriteKeepsTheOldFile) {
  // A folder where the PDF should go cannot be replaced by a file.
  const QString out = dir.filePath(QStringLiteral("ordner.pdf"));
  QDir().mkpath(out);
  EXPECT_EQ(Run({QStringLiteral("--print-pdf"), out, Document(true)}), 1);
  // The reason in German, not the system's English.
  EXPECT_TRUE(err.contains(QStringLiteral("kann nicht geschrieben werden: Unter diesem Namen gibt es bereits einen Ordner.")))
      << err.toStdString();
  EXPECT_TRUE(QFileInfo(out).isDir());
}

TEST_F(PrintPdf, MissingDefinitionIsReported) {
  QFile::remove(dir.filePath(QStringLiteral("Mahnbescheid Runtime/WizardSteps.xml")));
  EXPECT_EQ(Run({QStringLiteral("--print-pdf"), dir.filePath(QStringLiteral("a.pdf")), Document(true)}), 1);
  EXPECT_FALSE(err.isEmpty());
  EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("a.pdf"))));
}
}  // namespace
