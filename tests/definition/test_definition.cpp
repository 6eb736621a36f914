#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "definition/WizardSteps.h"
#include "storage/uWin1252.h"

namespace {
// A definition around the given steps' XML.
QByteArray Doc(const QString& steps, const QString& decl = QStringLiteral("<?xml version=\"1.0\"?>")) {
  return (decl + QStringLiteral("\n<wizardSteps Art=\"x\">") + steps + QStringLiteral("</wizardSteps>")).toUtf8();
}

QString Step(const QString& fields, const QString& font = QStringLiteral("<size>10</size><family>Courier New</family><style>Bold</style>")) {
  return QStringLiteral(
             "<wizardStep Step=\"1\"><infoText>Zeile A||Zeile B</infoText><navigationText>Hinweis</navigationText>"
             "<stepMetric><left>0</left><top>10,5</top><width>210</width><height>80.25</height></stepMetric>"
             "<font>%1</font><fields>%2</fields></wizardStep>")
      .arg(font, fields);
}

QString Field(const QString& name, const QString& type, const QString& extra = QString()) {
  return QStringLiteral(
             "<field Name=\"%1\"><type>%2</type>"
             "<fieldMetric><left>12,5</left><top>20</top><width>80</width><height>5</height></fieldMetric>%3</field>")
      .arg(name, type, extra);
}

const QString kValidation = QStringLiteral("<validation><length>35</length></validation>");
const QString kDigits = QStringLiteral("<extraParameters><numberOfDigits>8</numberOfDigits></extraParameters>");
const QString kPrivate = QStringLiteral(
    "<usePrivateFont>True</usePrivateFont><privateFont><size>7</size><family>Arial</family><style>Italic</style></privateFont>");

TFieldLists Build(const QByteArray& xml) {
  auto def = TWizardDefinition::Parse(xml, QStringLiteral("test.xml"));
  TFieldLists lists;
  BuildFieldLists(*def, lists);
  return lists;
}

// The German message of a definition that cannot be used.
QString ErrorOf(const QByteArray& xml) {
  try {
    Build(xml);
  } catch (const EDefinitionError& e) {
    return e.Message();
  }
  return QString();
}
}  // namespace

TEST(Definition, StepsTextsAndMetric) {
  auto def = TWizardDefinition::Parse(Doc(Step(QString()) + Step(QString())), QStringLiteral("t.xml"));
  ASSERT_EQ(def->StepCount(), 2);
  EXPECT_EQ(def->InfoText(0), QStringLiteral("Zeile A||Zeile B"));
  EXPECT_EQ(def->NavigationText(1), QStringLiteral("Hinweis"));
  EXPECT_FLOAT_EQ(def->StepMetric(0).Top, 10.5f);
  EXPECT_FLOAT_EQ(def->StepMetric(0).Height, 80.25f);
  TFieldLists lists;
  BuildFieldLists(*def, lists);
  ASSERT_EQ(lists.size(), 2u);
  EXPECT_EQ(lists[0].Count(), 0);
}

TEST(Definition, EveryKindAndWhatItReads) {
  const TFieldLists lists = Build(Doc(Step(
      Field(QStringLiteral("E"), QStringLiteral("Edit"), kValidation + kDigits) +
      Field(QStringLiteral("X"), QStringLiteral("EditExt"), kValidation + kDigits) +
      Field(QStringLiteral("D"), QStringLiteral("DateEdit"), kValidation) +
      Field(QStringLiteral("C"), QStringLiteral("Combobox")) + Field(QStringLiteral("CE"), QStringLiteral("ComboEdit")) +
      Field(QStringLiteral("K"), QStringLiteral("Checkbox"), kValidation + kDigits + kPrivate) +
      Field(QStringLiteral("B"), QStringLiteral("Button")) + Field(QStringLiteral("P"), QStringLiteral("Edit"), kValidation + kPrivate))));
  ASSERT_EQ(lists.size(), 1u);
  const TFormFieldList& l = lists[0];
  ASSERT_EQ(l.Count(), 8);
  EXPECT_EQ(l.Fields(0)->Kind(), TFormFieldKind::Edit);
  EXPECT_EQ(l.Fields(0)->MaxLength(), 35);
  EXPECT_EQ(l.Fields(0)->NumberOfDigits(), 0);
  EXPECT_EQ(l.Fields(1)->Kind(), TFormFieldKind::EditExt);
  EXPECT_EQ(l.Fields(1)->NumberOfDigits(), 8);
  EXPECT_EQ(l.Fields(2)->Kind(), TFormFieldKind::DateEdit);
  EXPECT_EQ(l.Fields(2)->MaxLength(), 0);
  EXPECT_EQ(l.Fields(3)->Kind(), TFormFieldKind::Combobox);
  EXPECT_EQ(l.Fields(4)->Kind(), TFormFieldKind::ComboEdit);
  EXPECT_EQ(l.Fields(5)->Kind(), TFormFieldKind::Checkbox);
  EXPECT_EQ(l.Fields(5)->MaxLength(), 0);
  EXPECT_EQ(l.Fields(6)->Kind(), TFormFieldKind::Button);
  EXPECT_FLOAT_EQ(l.Fields(0)->Left(), 12.5f);
  // Step font for the edit, the private one where asked; check box and button keep Arial 10.
  EXPECT_EQ(l.Fields(0)->Font().family(), QStringLiteral("Courier New"));
  EXPECT_TRUE(l.Fields(0)->Font().bold());
  EXPECT_EQ(l.Fields(5)->Font().family(), QStringLiteral("Arial"));
  EXPECT_EQ(l.Fields(5)->Font().pointSize(), 10);
  EXPECT_FALSE(l.Fields(5)->Font().italic());
  EXPECT_EQ(l.Fields(7)->Font().pointSize(), 7);
  EXPECT_TRUE(l.Fields(7)->Font().italic());
  EXPECT_FALSE(l.Fields(7)->Font().bold());
}

TEST(Definition, UnknownKindsAndWrongCaseAreLeftOut) {
  const QString lower = QStringLiteral("<usePrivateFont>true</usePrivateFont>");
  const TFieldLists lists = Build(Doc(Step(Field(QStringLiteral("A"), QStringLiteral("edit"), kValidation) +
                                           Field(QStringLiteral("B"), QStringLiteral("Edit"), kValidation + lower) +
                                           Field(QStringLiteral("C"), QStringLiteral("Slider")) +
                                           Field(QStringLiteral("D"), QStringLiteral("Checkbox")))));
  ASSERT_EQ(lists[0].Count(), 2);
  EXPECT_EQ(lists[0].Fields(0)->Name(), QStringLiteral("B"));
  EXPECT_EQ(lists[0].Fields(0)->Font().family(), QStringLiteral("Courier New"));  // "true" is not "True"
  EXPECT_EQ(lists[0].Fields(1)->Name(), QStringLiteral("D"));
}

TEST(Definition, StyleOtherThanBoldOrItalicIsRegular) {
  const QString regular = QStringLiteral(
      "<usePrivateFont>True</usePrivateFont><privateFont><size>9</size><family>Arial</family><style></style></privateFont>");
  const TFieldLists lists = Build(Doc(Step(Field(QStringLiteral("A"), QStringLiteral("Edit"), kValidation) +
                                           Field(QStringLiteral("B"), QStringLiteral("Edit"), kValidation + regular))));
  EXPECT_TRUE(lists[0].Fields(0)->Font().bold());
  EXPECT_FALSE(lists[0].Fields(1)->Font().bold());
  EXPECT_FALSE(lists[0].Fields(1)->Font().italic());
}

struct BadDefinition {
  const char* what;
  QByteArray xml;
  QStringList mustMention;
};

class DefinitionErrors : public ::testing::TestWithParam<BadDefinition> {};

TEST_P(DefinitionErrors, AreReportedInGermanWithThePlace) {
  const BadDefinition& c = GetParam();
  const QString msg = ErrorOf(c.xml);
  ASSERT_FALSE(msg.isEmpty()) << c.what;
  EXPECT_TRUE(msg.contains(QStringLiteral("test.xml"))) << qPrintable(msg);
  for (const QString& word : c.mustMention) EXPECT_TRUE(msg.contains(word)) << c.what << ": " << qPrintable(msg);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DefinitionErrors,
    ::testing::Values(
        BadDefinition{"not well-formed", QByteArray("<?xml version=\"1.0\"?>\n<wizardSteps>\n  <wizardStep>\n</wizardSteps>"),
                      {QStringLiteral("Zeile 4"), QStringLiteral("Spalte")}},
        BadDefinition{"wrong root", QByteArray("<steps/>"), {QStringLiteral("wizardSteps")}},
        BadDefinition{"no step", Doc(QString()), {QStringLiteral("keinen Wizardschritt")}},
        BadDefinition{"missing metric element",
                      Doc(Step(QStringLiteral("<field Name=\"Ort\"><type>Edit</type>") + kValidation +
                               QStringLiteral("<fieldMetric><left>1</left><top>1</top><width>1</width></fieldMetric></field>"))),
                      {QStringLiteral("Schritt 1"), QStringLiteral("\"Ort\""), QStringLiteral("\"height\"")}},
        BadDefinition{"not a number", Doc(Step(QString()) + Step(Field(QStringLiteral("PLZ"), QStringLiteral("Edit"),
                                                                    QStringLiteral("<validation><length>fünf</length></validation>")))),
                      {QStringLiteral("Schritt 2"), QStringLiteral("PLZ"), QStringLiteral("length"), QStringLiteral("fünf")}},
        BadDefinition{"edit without validation", Doc(Step(Field(QStringLiteral("N"), QStringLiteral("Edit")))),
                      {QStringLiteral("validation")}},
        BadDefinition{"private font missing", Doc(Step(Field(QStringLiteral("K"), QStringLiteral("Checkbox"),
                                                             QStringLiteral("<usePrivateFont>True</usePrivateFont>")))),
                      {QStringLiteral("privateFont")}},
        BadDefinition{"bad step metric",
                      Doc(QStringLiteral("<wizardStep><stepMetric><left>a</left></stepMetric></wizardStep>")),
                      {QStringLiteral("Schritt 1"), QStringLiteral("left")}}));

TEST(Definition, EightBitEncodingsLoadLikeUtf8) {
  const QString steps = Step(Field(QStringLiteral("StraßeÄ"), QStringLiteral("Edit"), kValidation));
  const QByteArray latin1 = QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<wizardSteps>%1</wizardSteps>")
                                .arg(steps)
                                .toLatin1();
  const QByteArray cp1252 = ToWin1252(
      QStringLiteral("<?xml version='1.0' encoding='windows-1252'?><wizardSteps>%1</wizardSteps>")
          .arg(Step(Field(QStringLiteral("Preis€"), QStringLiteral("Edit"), kValidation))));
  EXPECT_EQ(Build(latin1)[0].Fields(0)->Name(), QStringLiteral("StraßeÄ"));
  EXPECT_EQ(Build(cp1252)[0].Fields(0)->Name(), QStringLiteral("Preis€"));
  EXPECT_EQ(Build(Doc(steps))[0].Fields(0)->Name(), QStringLiteral("StraßeÄ"));
}

TEST(Definition, MissingFileHasItsOwnMessage) {
  try {
    TWizardDefinition::Load(QStringLiteral("/nonexistent/WizardSteps.xml"));
    FAIL();
  } catch (const EDefinitionMissing& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Die Formatbeschreibung der Wizarddatei konnte nicht gefunden werden!"));
  }
}

TEST(Definition, LoadsFromAFolder) {
  QTemporaryDir dir;
  QFile f(DefinitionFileName(dir.path()));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(Doc(Step(Field(QStringLiteral("A"), QStringLiteral("Button")))));
  f.close();
  auto def = TWizardDefinition::Load(DefinitionFileName(dir.path()));
  EXPECT_EQ(def->StepCount(), 1);
}
