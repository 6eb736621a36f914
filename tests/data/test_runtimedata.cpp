// The runtime data shipped with the program: the KALNO form definition, its pictures, help pages
// and the sample document.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QImageReader>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <map>
#include <set>

#include "TestSupport.h"
#include "definition/WizardSteps.h"
#include "rules/uValueRules.h"
#include "rules/uFieldFit.h"
#include "storage/uDocuments.h"
#include "storage/uFileHelpers.h"
#include "storage/uWin1252.h"

namespace {
constexpr float kPageWidth = 210.0f, kPageHeight = 297.0f;
constexpr float kEps = 0.001f;

class RuntimeData : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    definition_ = TWizardDefinition::Load(DefinitionFileName(SourceRuntimeFolder())).release();
    lists_ = new TFieldLists;
    BuildFieldLists(*definition_, *lists_);
  }
  static void TearDownTestSuite() {
    delete lists_;
    delete definition_;
    lists_ = nullptr;
    definition_ = nullptr;
  }
  static const TWizardDefinition& Def() { return *definition_; }
  static const TFieldLists& Lists() { return *lists_; }

  static TWizardDefinition* definition_;
  static TFieldLists* lists_;
};
TWizardDefinition* RuntimeData::definition_ = nullptr;
TFieldLists* RuntimeData::lists_ = nullptr;

// Steps 1 and 2 go onto page 1 of the paper form, all later ones onto page 2.
int PageOfStep(std::size_t step) { return step < 2 ? 1 : 2; }

// The area a field takes on paper: digit boxes print their cells at width / n + 0.1 mm, so their
// last cell reaches beyond the nominal width.
QRectF PaperRect(const TFormField& f) {
  float w = f.Width();
  if (f.Kind() == TFormFieldKind::EditExt && f.NumberOfDigits() > 0)
    w = f.NumberOfDigits() * (f.Width() / f.NumberOfDigits() + 0.1f);
  return QRectF(f.Left(), f.Top(), w, f.Height());
}

QString Describe(const TFormField& f) {
  const QRectF r = PaperRect(f);
  return QStringLiteral("%1 (%2, %3, %4 x %5)").arg(f.Name()).arg(r.left()).arg(r.top()).arg(r.width()).arg(r.height());
}
}  // namespace

TEST_F(RuntimeData, SevenStepsWithTextsAndFields) {
  ASSERT_EQ(Def().StepCount(), 7);
  ASSERT_EQ(Lists().size(), 7u);
  for (int i = 0; i < 7; ++i) {
    SCOPED_TRACE(i);
    EXPECT_FALSE(Def().InfoText(i).trimmed().isEmpty());
    EXPECT_FALSE(Def().NavigationText(i).trimmed().isEmpty());
    EXPECT_GT(Lists()[std::size_t(i)].Count(), 0);
  }
}

// The names the form rules, the checks and the printing rely on, with the step they are read
// from and the kind they need.
struct TRuleField {
  int Step;
  std::string Name;
  TFormFieldKind Kind;
  int Length;  // for edits: the box's length limit that a rule relies on, else -1
};

void PrintTo(const TRuleField& f, std::ostream* os) { *os << f.Name; }

class RuleFields : public RuntimeData, public ::testing::WithParamInterface<TRuleField> {};

TEST_P(RuleFields, PresentOnItsStepWithItsKind) {
  const TRuleField& p = GetParam();
  const TFormField* f = Lists()[std::size_t(p.Step)].FieldByName(QString::fromStdString(p.Name));
  ASSERT_NE(f, nullptr) << p.Name << " fehlt in Schritt " << p.Step + 1;
  EXPECT_EQ(int(f->Kind()), int(p.Kind)) << p.Name;
  if (p.Length >= 0) {
    EXPECT_EQ(f->MaxLength(), p.Length) << p.Name;
  }
}

namespace {
using K = TFormFieldKind;
std::vector<TRuleField> RuleFieldTable() {
  std::vector<TRuleField> t = {
      {0, "DatumAntrag", K::Edit, 10},
      {0, "AntragstellerFirmaTypSp3", K::Combobox, -1},
      {0, "AntragstellerFirmaBezeichnung1Sp3", K::Edit, 35},
      {0, "AntragstellerVertreter1RefNr", K::Combobox, -1},
      {0, "AntragstellerVertreter2RefNr", K::Combobox, -1},
      {1, "AntragsGegnerFirmaTypSp3", K::Combobox, -1},
      {1, "AntragsGegnerFirmaBezeichnung1Sp3", K::Edit, 35},
      {1, "AntragsGegnerGesetzlicherVertreter1RefNr", K::Combobox, -1},
      {1, "AntragsGegnerGesetzlicherVertreter2RefNr", K::Combobox, -1},
      {2, "HauptAnspruchZeile35PLZOrt", K::Edit, -1},
      {2, "HauptAnspruchZeile35Vertragsart", K::Edit, -1},
      {2, "SonstigerAnspruchZeile1", K::Edit, -1},
      {2, "SonstigerAnspruchZeile2", K::Edit, -1},
      {2, "SonstigerAnspruchDatumVom", K::Edit, 8},
      {2, "SonstigerAnspruchDatumBis", K::ComboEdit, -1},
      {3, "StreitigesVerfahrenGericht", K::Combobox, -1},
      {4, "ProzessbevollmaechtigterTyp", K::Combobox, -1},
      {4, "ProzessbevollmaechtigterIBAN", K::EditExt, 4},
      {4, "ProzessbevollmaechtigterBLZ", K::EditExt, 8},
      {4, "ProzessbevollmaechtigterKontoNr", K::EditExt, 10},
      {4, "ProzessbevollmaechtigterKontoNrExt", K::EditExt, 12},
      {4, "ProzessbevollmaechtigterBIC", K::EditExt, 11},
      {5, "GegenleistungAbhaengt", K::Checkbox, -1},
      {5, "GegenleistungNichtAbhaengt", K::Checkbox, -1},
      {5, "GegenleistungUnterschrift", K::Edit, -1},
      {5, "AntragstellerGeschaeftszeichen", K::Edit, 35},
      {6, "AmtsgerichtPLZOrt", K::Combobox, -1},
      {6, "AmtsgerichtName", K::Edit, -1},
  };
  static const char* const kPersonParts[] = {"Vorname", "Nachname", "StrasseHNr", "PLZ", "Ort", "Kz"};
  auto add = [&](int step, const std::string& name, K kind, int length) { t.push_back({step, name, kind, length}); };
  for (int party = 0; party < 2; ++party) {
    const std::string prefix = party == 0 ? "Antragsteller" : "AntragsGegner";
    for (const char* sp : {"Sp1", "Sp2"}) {
      add(party, prefix + "Geschlecht" + sp, K::Combobox, -1);
      for (const char* part : kPersonParts) add(party, prefix + part + sp, K::Edit, -1);
    }
  }
  for (int i = 1; i <= 3; ++i) {
    const std::string n = std::to_string(i);
    add(2, "HauptAnspruchKatalogNr" + n, K::Combobox, -1);
    add(2, "HauptAnspruchBezeichnung" + n, K::Edit, -1);
    add(2, "HauptAnspruchDatumVon" + n, K::Edit, 8);
    add(2, "HauptAnspruchDatumBis" + n, K::ComboEdit, -1);
    add(3, "ForderungsuebergangLaufendeZinsenZeilenNr" + n, K::Combobox, -1);
    add(3, "ForderungsuebergangLaufendeZinsenZeitraum" + n, K::Combobox, -1);
    add(4, "Kreditgeber" + n + "RefNr", K::Combobox, -1);
  }
  return t;
}
}  // namespace

INSTANTIATE_TEST_SUITE_P(Shipped, RuleFields, ::testing::ValuesIn(RuleFieldTable()),
                         [](const ::testing::TestParamInfo<TRuleField>& info) { return info.param.Name; });

TEST_F(RuntimeData, FieldNamesAreUniqueAcrossAllSteps) {
  // Documents key every value by the field name alone; a name used twice would share one entry.
  std::set<QString> seen;
  for (const TFormFieldList& l : Lists())
    for (int j = 0; j < l.Count(); ++j) EXPECT_TRUE(seen.insert(l.Fields(j)->Name()).second) << l.Fields(j)->Name().toStdString();
}

TEST_F(RuntimeData, EveryBoxLiesOnA4InsideItsStepRegion) {
  for (std::size_t i = 0; i < Lists().size(); ++i) {
    const TStepMetric& m = Def().StepMetric(int(i));
    const QRectF region(m.Left, m.Top, m.Width, m.Height);
    EXPECT_GE(region.left(), 0.0);
    EXPECT_GE(region.top(), 0.0);
    EXPECT_LE(region.right(), kPageWidth + kEps);
    EXPECT_LE(region.bottom(), kPageHeight + kEps);
    const TFormFieldList& l = Lists()[i];
    for (int j = 0; j < l.Count(); ++j) {
      const TFormField& f = *l.Fields(j);
      const QRectF r = PaperRect(f);
      EXPECT_GT(f.Width(), 0.0f) << f.Name().toStdString();
      EXPECT_GT(f.Height(), 0.0f) << f.Name().toStdString();
      EXPECT_TRUE(region.adjusted(-kEps, -kEps, kEps, kEps).contains(r))
          << Describe(f).toStdString() << " liegt nicht im Bereich von Schritt " << i + 1;
    }
  }
}

TEST_F(RuntimeData, StepRegionsOfOnePageDoNotOverlap) {
  for (std::size_t a = 0; a < Lists().size(); ++a)
    for (std::size_t b = a + 1; b < Lists().size(); ++b) {
      if (PageOfStep(a) != PageOfStep(b)) continue;
      const TStepMetric& ma = Def().StepMetric(int(a));
      const TStepMetric& mb = Def().StepMetric(int(b));
      const QRectF ra(ma.Left, ma.Top, ma.Width, ma.Height), rb(mb.Left, mb.Top, mb.Width, mb.Height);
      EXPECT_LE(ra.intersected(rb).height() * ra.intersected(rb).width(), kEps) << a + 1 << " / " << b + 1;
    }
}

TEST_F(RuntimeData, NoTwoBoxesOfOnePageOverlap) {
  std::map<int, std::vector<const TFormField*>> pages;
  for (std::size_t i = 0; i < Lists().size(); ++i)
    for (int j = 0; j < Lists()[i].Count(); ++j) pages[PageOfStep(i)].push_back(Lists()[i].Fields(j));
  for (const auto& [page, fields] : pages)
    for (std::size_t a = 0; a < fields.size(); ++a)
      for (std::size_t b = a + 1; b < fields.size(); ++b) {
        const QRectF ra = PaperRect(*fields[a]), rb = PaperRect(*fields[b]);
        const QRectF x = ra.intersected(rb);
        EXPECT_FALSE(x.width() > kEps && x.height() > kEps)
            << "Seite " << page << ": " << Describe(*fields[a]).toStdString() << " / "
            << Describe(*fields[b]).toStdString();
      }
}

TEST_F(RuntimeData, EditsHaveALengthAndTheirLongestTextFitsTheBox) {
  // A text as long as the limit fits the box on paper in the field's font, even of the widest
  // characters, so that the edit takes the whole length the definition gives.
  for (const TFormFieldList& l : Lists())
    for (int j = 0; j < l.Count(); ++j) {
      const TFormField& f = *l.Fields(j);
      if (f.Kind() != TFormFieldKind::Edit && f.Kind() != TFormFieldKind::EditExt) continue;
      SCOPED_TRACE(f.Name().toStdString());
      ASSERT_GT(f.MaxLength(), 0);
      if (f.Kind() == TFormFieldKind::EditExt) {
        EXPECT_EQ(f.NumberOfDigits(), f.MaxLength()) << "eine Ziffernbox je Zeichen";
        EXPECT_LE(TextWidthMM(QStringLiteral("0"), f.Font()), f.Width() / f.NumberOfDigits() + 0.1f);
        continue;
      }
      const QString longest(f.MaxLength(), QLatin1Char('n'));
      EXPECT_LE(TextWidthMM(longest, f.Font()), f.Width());
      // The court name comes from the court list, is never typed and prints in Arial bold.
      if (f.Name() != QLatin1String("AmtsgerichtName")) {
        EXPECT_EQ(EditorMaxLength(f, QString()), f.MaxLength());
      }
    }
}

TEST_F(RuntimeData, BoxesAreTallEnoughForTheirEditors) {
  // An edit is laid 2 pixels below the box's top and 4 pixels less high; at the screen scale of
  // about 4.5 pixels per millimetre a 10 pt line still fits.
  for (const TFormFieldList& l : Lists())
    for (int j = 0; j < l.Count(); ++j) {
      const TFormField& f = *l.Fields(j);
      EXPECT_GE(f.Height(), 5.0f) << f.Name().toStdString();
      if (f.Kind() == TFormFieldKind::Checkbox) {
        EXPECT_GE(f.Width(), 5.0f) << f.Name().toStdString();
      }
    }
}

namespace {
QString StepPicture(int step) { return BuildRuntimeFolder() + QStringLiteral("images/Step%1.jpg").arg(step + 1); }
}  // namespace

TEST_F(RuntimeData, EveryStepPictureShowsExactlyItsRegion) {
  for (int i = 0; i < Def().StepCount(); ++i) {
    SCOPED_TRACE(StepPicture(i).toStdString());
    QImageReader reader(StepPicture(i));
    ASSERT_TRUE(reader.canRead()) << reader.errorString().toStdString();
    EXPECT_EQ(reader.format(), QByteArray("jpeg"));
    const QSize size = reader.size();
    const TStepMetric& m = Def().StepMetric(i);
    const double pictureAspect = double(size.width()) / size.height();
    const double regionAspect = double(m.Width) / m.Height;
    EXPECT_NEAR(pictureAspect / regionAspect, 1.0, 0.01);
    EXPECT_NEAR(size.width() / double(m.Width), 4.5, 0.25) << "Pixel je Millimeter";
  }
  EXPECT_FALSE(QFileInfo::exists(BuildRuntimeFolder() + QStringLiteral("images/Step0.jpg")));
}

TEST_F(RuntimeData, PicturesAreWhiteWhereTheEditorsLie) {
  // The centre of every box is white paper on the picture, and the paper around it is not, so
  // a field drawn in the wrong place shows.
  for (int i = 0; i < Def().StepCount(); ++i) {
    const QImage img(StepPicture(i));
    ASSERT_FALSE(img.isNull());
    const TStepMetric& m = Def().StepMetric(i);
    const double sx = img.width() / double(m.Width), sy = img.height() / double(m.Height);
    auto pixel = [&](double x, double y) { return img.pixelColor(int((x - m.Left) * sx), int((y - m.Top) * sy)); };
    const TFormFieldList& l = Lists()[std::size_t(i)];
    for (int j = 0; j < l.Count(); ++j) {
      const TFormField& f = *l.Fields(j);
      const QColor inside = pixel(f.Left() + 0.6, f.Top() + f.Height() / 2);
      EXPECT_GE(qMin(inside.red(), qMin(inside.green(), inside.blue())), 235) << f.Name().toStdString();
      const QColor above = pixel(f.Left() + f.Width() / 2, f.Top() - 0.5);
      EXPECT_LT(qMin(above.red(), qMin(above.green(), above.blue())), 235) << f.Name().toStdString();
    }
  }
}

TEST_F(RuntimeData, PageOneCarriesTheCornerMarkOfTheTestPrint) {
  // The calibration cross of the test print lands on (19.9, 26) mm: there the black corner
  // between lines 1 and 2 has its corner point.
  const QImage img(StepPicture(0));
  ASSERT_FALSE(img.isNull());
  const TStepMetric& m = Def().StepMetric(0);
  ASSERT_TRUE(QRectF(m.Left, m.Top, m.Width, m.Height).contains(QPointF(19.9, 26)));
  const double sx = img.width() / double(m.Width), sy = img.height() / double(m.Height);
  auto grey = [&](double x, double y) { return qGray(img.pixel(int((x - m.Left) * sx), int((y - m.Top) * sy))); };
  EXPECT_LT(grey(19.4, 25.5), 60);  // inside the corner
  EXPECT_LT(grey(16.0, 25.5), 60);  // its horizontal arm
  EXPECT_LT(grey(19.4, 23.2), 60);  // its vertical arm
  EXPECT_GT(grey(20.6, 26.7), 160);  // beyond the corner point
  EXPECT_GT(grey(17.0, 23.5), 160);  // inside the L
  const TFormFieldList& l = Lists()[0];
  for (int j = 0; j < l.Count(); ++j)
    EXPECT_FALSE(PaperRect(*l.Fields(j)).adjusted(-1, -1, 1, 1).contains(QPointF(19.9, 26))) << l.Fields(j)->Name().toStdString();
}

TEST_F(RuntimeData, SplashAndAboutPicturesAreDrawn) {
  for (const char* name : {"Splash.jpg", "About.png"}) {
    const QImage img(BuildRuntimeFolder() + QStringLiteral("images/") + QLatin1String(name));
    ASSERT_FALSE(img.isNull()) << name;
    EXPECT_EQ(img.size(), QSize(400, 300)) << name;
    std::set<QRgb> colours;
    for (int y = 0; y < img.height(); y += 7)
      for (int x = 0; x < img.width(); x += 7) colours.insert(img.pixel(x, y));
    EXPECT_GT(colours.size(), 50u) << name << " ist kein Bild";
  }
}

namespace {
const QString kSample = QStringLiteral("examples/Beispiel.kln");

// The sample loaded into fresh field lists the way the program opens a document.
TFieldLists LoadSample(const TWizardDefinition& def) {
  TFieldLists lists;
  BuildFieldLists(def, lists);
  TScriptedDialogs dialogs;
  TDocument document(lists);
  EXPECT_TRUE(document.LoadDocument(SourceRuntimeFolder() + kSample));
  EXPECT_TRUE(dialogs.Messages.empty());
  return lists;
}
}  // namespace

TEST_F(RuntimeData, SampleDocumentIsExactlyWhatTheProgramWrites) {
  // Every field of every step in definition order, Windows-1252 with CR LF: saving the loaded
  // sample again gives the same bytes.
  TFieldLists lists = LoadSample(Def());
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString copy = dir.filePath(QStringLiteral("Kopie.kln"));
  TScriptedDialogs dialogs;
  TDocument document(lists);
  ASSERT_TRUE(document.WriteDocument(copy));
  EXPECT_EQ(LoadFileToString(copy), LoadFileToString(SourceRuntimeFolder() + kSample));
}

TEST_F(RuntimeData, SampleDocumentPassesTheCompletenessCheck) {
  const TFieldLists lists = LoadSample(Def());
  QString message = QStringLiteral("unverändert");
  EXPECT_TRUE(CheckCompleteness(lists, message));
  EXPECT_TRUE(message.isEmpty()) << message.toStdString();
}

TEST_F(RuntimeData, SampleDocumentIsAFittingApplication) {
  const TFieldLists lists = LoadSample(Def());
  auto value = [&](int step, const char* name) { return lists[std::size_t(step)].ValueByName(QString::fromLatin1(name)); };
  // A craftsman's invoice with running interest, before the central court of Hessen.
  EXPECT_EQ(value(kClaimStep, "HauptAnspruchKatalogNr1"), QStringLiteral("8"));
  EXPECT_EQ(value(3, "ForderungsuebergangLaufendeZinsenZeilenNr1"), QStringLiteral("32"));
  EXPECT_FALSE(value(3, "ForderungsuebergangLaufendeZinsenZinssatz1").isEmpty());
  const QString court = value(kCourtStep, "AmtsgerichtPLZOrt");
  EXPECT_EQ(court, QStringLiteral("36084 Hünfeld"));
  EXPECT_EQ(value(kCourtStep, "AmtsgerichtName"), CourtNameForIndex(int(CourtList().Codes.indexOf(court))));
  for (const TFormFieldList& l : lists)
    for (int j = 0; j < l.Count(); ++j) {
      const TFormField& f = *l.Fields(j);
      const QString& v = f.Value();
      SCOPED_TRACE(f.Name().toStdString() + "=" + v.toStdString());
      // Codes from the lists the editors offer.
      if (const TChoiceList* list = FixedChoiceList(f.Name(), f.Kind())) {
        EXPECT_TRUE(list->Codes.contains(v));
      }
      // Dates as the date check leaves them: nothing to correct, nothing refused.
      const TDateCheck date = CheckDateEntry(f.Name(), v, QDate(2026, 12, 1));
      EXPECT_TRUE(date.Accept && (!date.Rewrite || date.NewText == v)) << date.NewText.toStdString();
      if (f.Kind() == TFormFieldKind::Checkbox) {
        EXPECT_TRUE(v.isEmpty() || v == QLatin1String("X"));
      }
      if (f.Kind() == TFormFieldKind::Edit || f.Kind() == TFormFieldKind::EditExt) {
        EXPECT_LE(v.size(), f.MaxLength());
        EXPECT_LE(TextWidthMM(v, f.Font()), f.Width());
      }
      // Every value prints inside its box, every digit in its cell.
      EXPECT_TRUE(CheckFieldFit(f).Fits());
    }
  // Exactly one of the two declarations on the consideration, and the place of signing.
  EXPECT_NE(value(5, "GegenleistungAbhaengt").isEmpty(), value(5, "GegenleistungNichtAbhaengt").isEmpty());
  EXPECT_FALSE(value(5, "GegenleistungUnterschrift").isEmpty());
}

TEST_F(RuntimeData, EveryStepHasAHelpPageWithTheStyleSheetPlaceholder) {
  QStringList pages{QStringLiteral("General.html")};
  for (int i = 0; i < Def().StepCount(); ++i) pages << QStringLiteral("Step%1.html").arg(i + 1);
  for (const QString& page : pages) {
    SCOPED_TRACE(page.toStdString());
    const QByteArray html = LoadFileToString(SourceRuntimeFolder() + QStringLiteral("help/") + page);
    const qsizetype head = html.indexOf("<head>"), endHead = html.indexOf("</head>");
    ASSERT_TRUE(head >= 0 && endHead > head);
    const qsizetype placeholder = html.indexOf("CSSFILENAMEPATH");
    EXPECT_TRUE(placeholder > head && placeholder < endHead) << "Platzhalter im Kopf";
    // Plain ASCII with entities reads the same under any 8-bit decoding.
    EXPECT_TRUE(std::all_of(html.begin(), html.end(), [](char c) { return (unsigned char)c < 128; }));
    EXPECT_GT(html.count("<td"), 4) << "erklärt die Zeilen";
  }
  EXPECT_TRUE(QFileInfo(SourceRuntimeFolder() + QStringLiteral("help/Mahnbescheid.css")).isFile());
  EXPECT_FALSE(QFileInfo::exists(SourceRuntimeFolder() + QStringLiteral("help/Step0.html")));
}

TEST_F(RuntimeData, PromotionPageLinksToTheWebAndShowsItsPicture) {
  const QString page = QString::fromLatin1(LoadFileToString(SourceRuntimeFolder() + QStringLiteral("w2.htm")));
  EXPECT_GE(page.count(QStringLiteral("href=\"http://")), 3);
  const QRegularExpressionMatch img = QRegularExpression(QStringLiteral("<img src=\"([^\"]+)\"")).match(page);
  ASSERT_TRUE(img.hasMatch());
  // Relative references resolve against the runtime folder beside the program.
  EXPECT_FALSE(QImage(BuildRuntimeFolder() + img.captured(1)).isNull()) << img.captured(1).toStdString();
}
