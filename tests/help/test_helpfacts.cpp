// The help pages are the user's lawyer: every catalogue number, code and form line they name must
// be one the program and the form know, and the legal facts users rely on must be there.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QSet>
#include <QTextDocumentFragment>
#include <memory>

#include "TestSupport.h"
#include "definition/WizardSteps.h"
#include "rules/uCodeLists.h"
#include "storage/uFileHelpers.h"
#include "storage/uWin1252.h"

namespace {

const char* const kPages[] = {"General.html", "Step1.html", "Step2.html", "Step3.html",
                              "Step4.html",   "Step5.html", "Step6.html", "Step7.html"};

QString Html(const QString& page) {
  return FromWin1252(LoadFileToString(SourceRuntimeFolder() + QStringLiteral("help/") + page));
}
QString Text(const QString& page) {
  return QTextDocumentFragment::fromHtml(Html(page)).toPlainText().simplified();
}

QSet<int> FormLines() {
  const auto definition = TWizardDefinition::Load(DefinitionFileName(SourceRuntimeFolder()));
  QSet<int> lines;
  const TXMLWizardStepsType& steps = definition->WizardDefinition();
  for (int s = 0; s < steps.Count(); ++s) {
    const TXMLFieldsType fields = steps.Items(s).Fields();
    for (int i = 0; i < fields.Count(); ++i) {
      bool ok = false;
      const int line = fields.Items(i).Element().firstChildElement(QStringLiteral("formLine")).text().toInt(&ok);
      if (ok) lines.insert(line);
    }
  }
  return lines;
}

QSet<QString> AllCodes() {
  QSet<QString> codes;
  for (const TChoiceList* l : {&SalutationList(), &CompanyTypeList(), &InterestPeriodList(), &ContestedCourtList(),
                               &RepresentativeTypeList(), &ClaimCatalogueList()})
    for (const QString& c : l->Codes)
      if (!c.isEmpty()) codes.insert(c);
  return codes;
}

QList<int> Numbers(const QString& text) {
  QList<int> out;
  static const QRegularExpression number(QStringLiteral("\\d+"));
  for (auto it = number.globalMatch(text); it.hasNext();) out << it.next().captured().toInt();
  return out;
}

// A run of numbers: "32", "32 bis 37", "46 und 47", "17, 19, 20 und 90", "32–34".
const QString kRun = QStringLiteral("(\\d+(?:\\s*(?:\u2013|-|bis|und|oder|,)\\s*\\d+)*)");

TEST(HelpFacts, EveryLineAPageNamesIsALineOfTheForm) {
  const QSet<int> lines = FormLines();
  ASSERT_TRUE(lines.contains(1) && lines.contains(53));
  const QRegularExpression inText(QStringLiteral("Zeilen?\\s+") + kRun);
  const QRegularExpression inCell(QStringLiteral("class=\"zeile\">([^<]*)<"));
  int named = 0;
  for (const char* page : kPages) {
    const QString p = QString::fromLatin1(page);
    QList<int> found;
    for (auto it = inText.globalMatch(Text(p)); it.hasNext();) found << Numbers(it.next().captured(1));
    for (auto it = inCell.globalMatch(Html(p)); it.hasNext();) found << Numbers(it.next().captured(1));
    for (int line : found) EXPECT_TRUE(lines.contains(line)) << page << ": Zeile " << line;
    named += int(found.size());
  }
  EXPECT_GT(named, 40);  // the pages do name lines: the patterns still find them
}

TEST(HelpFacts, EveryCatalogueNumberAPageNamesIsInTheCatalogue) {
  QSet<QString> catalogue;
  for (const QString& c : ClaimCatalogueList().Codes) catalogue.insert(c);
  const QRegularExpression named(QStringLiteral("(?:Katalognummern?|Katalog-Nr\\.)\\s+") + kRun);
  int count = 0;
  for (const char* page : kPages) {
    for (auto it = named.globalMatch(Text(QString::fromLatin1(page))); it.hasNext();) {
      for (int n : Numbers(it.next().captured(1))) {
        EXPECT_TRUE(catalogue.contains(QString::number(n))) << page << ": Katalognummer " << n;
        ++count;
      }
    }
  }
  EXPECT_GT(count, 5);
}

TEST(HelpFacts, EveryCodeAPageShowsIsInACodeList) {
  const QSet<QString> codes = AllCodes();
  // Codes are numbers; the same type face also shows file names such as ".kln".
  const QRegularExpression code(QStringLiteral("class=\"code\">(\\d+)<"));
  int count = 0;
  for (const char* page : kPages) {
    for (auto it = code.globalMatch(Html(QString::fromLatin1(page))); it.hasNext();) {
      const QString c = it.next().captured(1);
      EXPECT_TRUE(codes.contains(c)) << page << ": Kennziffer " << c.toStdString();
      ++count;
    }
  }
  EXPECT_GT(count, 20);
}

TEST(HelpFacts, EveryStepAPageNamesExists) {
  const auto definition = TWizardDefinition::Load(DefinitionFileName(SourceRuntimeFolder()));
  const QRegularExpression step(QStringLiteral("Schritt\\s+(\\d+)"));
  for (const char* page : kPages)
    for (auto it = step.globalMatch(Text(QString::fromLatin1(page))); it.hasNext();) {
      const int n = it.next().captured(1).toInt();
      EXPECT_TRUE(n >= 1 && n <= definition->StepCount()) << page << ": Schritt " << n;
    }
}

TEST(HelpFacts, WhatUsersMustKnowIsSaid) {
  struct TFact {
    const char* Page;
    const char* Text;
  };
  const TFact facts[] = {
      // Lawyers and registered debt collectors file only in machine-readable form.
      {"General.html", "§ 690 Abs. 3 ZPO"},
      {"Step1.html", "§ 690 Abs. 3 ZPO"},
      {"Step5.html", "§ 690 Abs. 3 ZPO"},
      // The enforcement order within six months.
      {"General.html", "sechs Monate nach der Zustellung"},
      {"General.html", "§ 701 ZPO"},
      // A claimant acting alone still gives the bank details of line 49.
      {"Step5.html", "Zeilen 46 bis 48 frei"},
      {"Step5.html", "Ihre eigene Bankverbindung"},
      // Preview and PDF never go to the court.
      {"General.html", "Beides geht nie an das Gericht"},
      // The review and what it checks.
      {"General.html", "Datei – Prüfen (Taste F9)"},
      {"Step3.html", "Was das Programm prüft"},
      {"Step4.html", "Ergänzungsblatt"},
      {"Step7.html", "§ 689 Abs. 2 ZPO"},
  };
  for (const TFact& f : facts)
    EXPECT_TRUE(Text(QString::fromLatin1(f.Page)).contains(QString::fromUtf8(f.Text)))
        << f.Page << ": " << f.Text;
  // The old advice that contradicted the form and the general help.
  EXPECT_FALSE(Text(QStringLiteral("Step5.html")).contains(QStringLiteral("46 bis 49 frei")));
  EXPECT_FALSE(Text(QStringLiteral("Step3.html")).contains(QStringLiteral("nicht vollständig")));
}

}  // namespace
