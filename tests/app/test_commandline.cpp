#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTextStream>
#include <vector>

#include "TestSupport.h"
#include "app/uCommandLine.h"
#include "storage/uProgramPaths.h"

namespace {

QString Fixture(const char* name) { return FixturePath(QStringLiteral("check/%1.kln").arg(QLatin1String(name))); }

struct TCheckResult {
  int Status;
  QString Out;
  QString Err;
};

// The command inside this process, with the build's runtime folder and the tests' today.
TCheckResult Check(const QStringList& documents) {
  SetProgramFolderForTesting(QStringLiteral(KALNO_BUILD_DIR "/"));
  TFakeClock clock;
  clock.TodayDate = QDate(2026, 12, 11);
  QString out, err;
  QTextStream o(&out), e(&err);
  const int rc = CheckCommand(documents, o, e);
  o.flush();
  e.flush();
  SetProgramFolderForTesting(QString());
  return {rc, out, err};
}

struct TFixtureCase {
  const char* Fixture;
  int Status;
  const char* Out;
};

void PrintTo(const TFixtureCase& c, std::ostream* os) { *os << c.Fixture; }

const TFixtureCase kFixtures[] = {
    {"clean", 0, ""},
    {"no-applicant", 2,
     "Fehler: Zeile 4: Nachname: Bitte tragen Sie mindestens einen Antragsteller ein (Nachname in Spalte 1 oder Firma "
     "in Spalte 3).\n"},
    {"too-long", 2,
     "Fehler: Zeile 6: Ort: Das Feld nimmt höchstens 27 Zeichen auf, eingetragen sind 32. Bitte kürzen Sie den "
     "Eintrag.\n"},
    {"too-many-cells", 2,
     "Fehler: Zeile 32: Betrag EUR (mit Komma): Das Feld hat 11 Kästchen, eingetragen sind 12 Zeichen; gedruckt würde "
     "nur „1.234.567,8“. Bitte kürzen Sie den Eintrag.\n"},
    {"postcode", 2,
     "Fehler: Zeile 21: PLZ: Eine deutsche Postleitzahl hat fünf Ziffern. Liegt die Anschrift im Ausland, tragen Sie "
     "das Länderkennzeichen unter „Ausl.-Kz.“ ein.\n"},
    {"no-such-date", 2,
     "Fehler: Zeile 32: Datum / vom: „31.02.26“ ist kein gültiges Datum. Bitte geben Sie Tag, Monat und Jahr ein (z. B. "
     "31.01.26).\n"},
    {"amount", 2,
     "Fehler: Zeile 32: Betrag EUR (mit Komma): Bitte schreiben Sie den Betrag mit Komma und zwei Nachkommastellen, "
     "z. B. 1250,00 (ohne €-Zeichen).\n"},
    {"interest-rate", 1,
     "Hinweis: Zeile 38: Zinssatz %: Mehr als 9 Prozentpunkte über dem Basiszinssatz: Das Gesetz gibt 5 Prozentpunkte "
     "(§ 288 Abs. 1 BGB), bei Geschäften ohne Verbraucher 9 Prozentpunkte (§ 288 Abs. 2 BGB). Einen höheren Satz muss "
     "eine Vereinbarung tragen.\n"},
    {"interest-empty-line", 2,
     "Fehler: Zeile 38: Zeilen-Nr.: Die Zeile 33 enthält keinen Anspruch. Bitte wählen Sie die Zeile des verzinsten "
     "Anspruchs oder tragen Sie ihn in Zeile 33 ein.\n"},
    {"catalogue-28", 2,
     "Fehler: Zeile 35: Nur bei Kat.-Nr. 28: Vertragsart: Zu Katalog-Nr. 28 in Zeile 32 gehört die Vertragsart in "
     "Zeile 35 (rechte Hälfte).\n"},
    {"iban", 2,
     "Fehler: Zeile 49: IBAN: Die Prüfziffern der IBAN passen nicht zu den übrigen Stellen. Bitte vergleichen Sie die "
     "IBAN Stelle für Stelle mit Ihren Bankunterlagen.\n"},
    {"second-column", 1,
     "Hinweis: Zeile 3: Vorname: Spalte 2 ist gesperrt, solange in Spalte 1 kein Nachname steht; ihre Angaben werden "
     "trotzdem gedruckt. Tragen Sie die Person in Spalte 1 ein oder leeren Sie Spalte 2.\n"},
    {"abroad", 2,
     "Fehler: PLZ und Ort des zentralen Mahngerichts: Hat der Antragsteller keinen Sitz in Deutschland, ist allein das "
     "Amtsgericht Wedding zuständig: Bitte wählen Sie „Ausland“ (13357 Berlin).\n"},
};

class CheckFixtures : public ::testing::TestWithParam<TFixtureCase> {};

TEST_P(CheckFixtures, LineAndStatus) {
  const TFixtureCase& c = GetParam();
  const TCheckResult r = Check({Fixture(c.Fixture)});
  EXPECT_EQ(r.Out.toStdString(), std::string(c.Out));
  EXPECT_EQ(r.Status, c.Status);
  EXPECT_TRUE(r.Err.isEmpty()) << r.Err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(PerRule, CheckFixtures, ::testing::ValuesIn(kFixtures),
                         [](const ::testing::TestParamInfo<TFixtureCase>& i) {
                           QString n = QString::fromLatin1(i.param.Fixture);
                           return n.remove(QLatin1Char('-')).toStdString();
                         });

TEST(CheckCommand, SeveralDocumentsNameTheirFindingsAndTheWorstStatusWins) {
  const TCheckResult r = Check({Fixture("interest-rate"), Fixture("clean"), Fixture("amount")});
  EXPECT_EQ(r.Status, 2);
  const QStringList lines = r.Out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 2);
  EXPECT_TRUE(lines[0].startsWith(Fixture("interest-rate") + QStringLiteral(": Hinweis: Zeile 38: Zinssatz %: ")));
  EXPECT_TRUE(lines[1].startsWith(Fixture("amount") + QStringLiteral(": Fehler: Zeile 32: Betrag EUR (mit Komma): ")));
}

TEST(CheckCommand, HintsOnlyOverSeveralDocumentsIsOne) {
  EXPECT_EQ(Check({Fixture("clean"), Fixture("second-column")}).Status, 1);
}

TEST(CheckCommand, UnreadableDocumentIsThreeAndTheOthersAreStillChecked) {
  const QString missing = Fixture("gibt-es-nicht");
  const TCheckResult r = Check({missing, Fixture("amount")});
  EXPECT_EQ(r.Status, 3);
  EXPECT_TRUE(r.Err.startsWith(missing + QStringLiteral(": Das Dokument kann nicht gelesen werden."))) << r.Err.toStdString();
  EXPECT_TRUE(r.Out.startsWith(Fixture("amount") + QStringLiteral(": Fehler: Zeile 32: ")));
  // A folder is no document either.
  EXPECT_EQ(Check({FixturePath(QStringLiteral("check"))}).Status, 3);
}

TEST(CheckCommand, NoDocumentIsAWrongCall) {
  const TCheckResult r = Check({});
  EXPECT_EQ(r.Status, 2);
  EXPECT_TRUE(r.Err.contains(QStringLiteral("--check DOKUMENT.kln")));
}

// --- The real program, without a display ------------------------------------------------------

struct TRun {
  int Status;
  QByteArray Out;
  QByteArray Err;
};

TRun RunProgram(const QStringList& arguments) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  // No display and no platform chosen: the command must not need either.
  env.remove(QStringLiteral("DISPLAY"));
  env.remove(QStringLiteral("WAYLAND_DISPLAY"));
  env.remove(QStringLiteral("QT_QPA_PLATFORM"));
  // Nor a desktop session, as in a batch run from cron.
  env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
  p.setProcessEnvironment(env);
  p.start(QStringLiteral(KALNO_BUILD_DIR "/mahnbescheid"), arguments);
  EXPECT_TRUE(p.waitForFinished(120000));
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
          p.readAllStandardError()};
}

TEST(CommandLine, CheckOfTheSampleDocumentSaysNothing) {
  const TRun r = RunProgram({QStringLiteral("--check"),
                             QStringLiteral(KALNO_BUILD_DIR "/Mahnbescheid Runtime/examples/Beispiel.kln")});
  EXPECT_EQ(r.Status, 0) << r.Err.toStdString();
  EXPECT_TRUE(r.Out.isEmpty()) << r.Out.toStdString();
  EXPECT_TRUE(r.Err.isEmpty()) << r.Err.toStdString();
}

TEST(CommandLine, CheckWithAnErrorWithoutDisplay) {
  const TRun r = RunProgram({QStringLiteral("--check"), Fixture("no-such-date")});
  EXPECT_EQ(r.Status, 2);
  EXPECT_EQ(QString::fromUtf8(r.Out),
            QStringLiteral("Fehler: Zeile 32: Datum / vom: „31.02.26“ ist kein gültiges Datum. Bitte geben Sie Tag, "
                           "Monat und Jahr ein (z. B. 31.01.26).\n"));
}

TEST(CommandLine, HelpListsEveryForm) {
  const TRun r = RunProgram({QStringLiteral("--help")});
  EXPECT_EQ(r.Status, 0);
  const QString help = QString::fromUtf8(r.Out);
  for (const char* form : {"mahnbescheid [DOKUMENT.kln]", "--print-pdf AUSGABE.pdf DOKUMENT.kln",
                           "--preview-pdf AUSGABE.pdf DOKUMENT.kln", "--check DOKUMENT.kln", "--version", "--help"})
    EXPECT_TRUE(help.contains(QLatin1String(form))) << form;
  EXPECT_EQ(help, CommandLineHelp());
}

TEST(CommandLine, UnknownOptionGetsTheListAndStatusTwo) {
  // Without a display a started window would fail differently; the list comes before any window.
  const TRun r = RunProgram({QStringLiteral("--pruefen")});
  EXPECT_EQ(r.Status, 2);
  EXPECT_TRUE(r.Out.isEmpty());
  const QString err = QString::fromUtf8(r.Err);
  EXPECT_TRUE(err.contains(QStringLiteral("Unbekannte Option: --pruefen")));
  EXPECT_TRUE(err.contains(CommandLineHelp()));
}

TEST(CommandLine, ActionOfEachForm) {
  struct TActionCase {
    std::vector<const char*> Args;
    TCommandLineAction Action;
  };
  const TActionCase cases[] = {
      {{"mahnbescheid"}, TCommandLineAction::Window},
      {{"mahnbescheid", "a.kln"}, TCommandLineAction::Window},
      {{"mahnbescheid", "-platform", "offscreen", "a.kln"}, TCommandLineAction::Window},
      {{"mahnbescheid", "-style=fusion"}, TCommandLineAction::Window},
      {{"mahnbescheid", "--check", "a.kln"}, TCommandLineAction::Check},
      {{"mahnbescheid", "--print-pdf", "o.pdf", "a.kln"}, TCommandLineAction::PrintPdf},
      {{"mahnbescheid", "--preview-pdf", "o.pdf", "a.kln"}, TCommandLineAction::PrintPdf},
      {{"mahnbescheid", "a.kln", "--help"}, TCommandLineAction::Help},
      {{"mahnbescheid", "-h"}, TCommandLineAction::Help},
      {{"mahnbescheid", "--version"}, TCommandLineAction::Version},
      {{"mahnbescheid", "--chek", "a.kln"}, TCommandLineAction::Unknown},
      {{"mahnbescheid", "a.kln", "-x"}, TCommandLineAction::Unknown},
      {{"mahnbescheid", "-platformx"}, TCommandLineAction::Unknown},
  };
  for (const TActionCase& c : cases) {
    std::vector<char*> argv;
    for (const char* a : c.Args) argv.push_back(const_cast<char*>(a));
    EXPECT_EQ(CommandLineAction(int(argv.size()), argv.data()), c.Action) << c.Args.back();
  }
}

}  // namespace
