// The one-pass reader of the definition: the element tree it keeps for the views and the picture
// generator, and the white space of the texts.
#include <gtest/gtest.h>

#include "definition/WizardSteps.h"

namespace {
const QString kStepTail = QStringLiteral(
    "<navigationText>N</navigationText>"
    "<stepMetric><left>0</left><top>0</top><width>210</width><height>100</height></stepMetric>"
    "<font><size>10</size><family>Arial</family><style>Bold</style></font><fields/></wizardStep>");

std::unique_ptr<TWizardDefinition> ParseSteps(const QString& steps) {
  return TWizardDefinition::Parse(
      (QStringLiteral("<?xml version=\"1.0\"?>\n<wizardSteps>") + steps + QStringLiteral("</wizardSteps>")).toUtf8(),
      QStringLiteral("test.xml"));
}
}  // namespace

TEST(DefinitionReader, TextsKeepTheirWhiteSpace) {
  const struct {
    const char* what;
    QString xml;
    QString text;
  } cases[] = {
      {"only blanks", QStringLiteral("   "), QStringLiteral("   ")},
      {"line break and tab", QStringLiteral("\n\t"), QStringLiteral("\n\t")},
      {"around words", QStringLiteral("  Zeile A ||  Zeile B  "), QStringLiteral("  Zeile A ||  Zeile B  ")},
      {"blank between child elements", QStringLiteral("Zeile<b/> <b/>A"), QStringLiteral("Zeile A")},
      {"text of child elements", QStringLiteral("Ab<i>c<b>d</b></i>e"), QStringLiteral("Abcde")},
      {"character data, references, comments",
       QStringLiteral("<![CDATA[ <x> ]]>&amp;&#x20;&lt;<!-- nicht -->ü"), QStringLiteral(" <x> & <ü")},
  };
  for (const auto& c : cases) {
    const auto def = ParseSteps(QStringLiteral("<wizardStep><infoText>") + c.xml + QStringLiteral("</infoText>") + kStepTail);
    EXPECT_EQ(def->InfoText(0), c.text) << c.what;
  }
}

TEST(DefinitionReader, ElementsAsTheGeneratorReadsThem) {
  const auto def = ParseSteps(QStringLiteral(
                                  "<wizardStep Step=\"7\"><infoText>I</infoText><formTexts>"
                                  "<formBand kind=\"sub\"><left>1</left></formBand>"
                                  "<!-- a comment between -->"
                                  "<formText size=\"5,5\" bold='True'><text>Antrag</text></formText>"
                                  "<formBand><left>2</left></formBand></formTexts>") +
                              kStepTail);
  const TXMLElement step = def->WizardDefinition().Items(0).Element();
  EXPECT_EQ(step.tagName(), QStringLiteral("wizardStep"));
  EXPECT_EQ(step.attribute(QStringLiteral("Step")), QStringLiteral("7"));
  EXPECT_EQ(step.attribute(QStringLiteral("step"), QStringLiteral("fehlt")), QStringLiteral("fehlt"));  // case counts

  const TXMLElement texts = step.firstChildElement(QStringLiteral("formTexts"));
  QStringList tags;
  for (TXMLElement e = texts.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) tags << e.tagName();
  EXPECT_EQ(tags, (QStringList{"formBand", "formText", "formBand"}));

  const TXMLElement band = texts.firstChildElement(QStringLiteral("formBand"));
  EXPECT_EQ(band.attribute(QStringLiteral("kind")), QStringLiteral("sub"));
  EXPECT_EQ(band.nextSiblingElement(QStringLiteral("formBand")).firstChildElement(QStringLiteral("left")).text(),
            QStringLiteral("2"));
  const TXMLElement text = texts.firstChildElement(QStringLiteral("formText"));
  EXPECT_EQ(text.attribute(QStringLiteral("size")), QStringLiteral("5,5"));
  EXPECT_EQ(text.attribute(QStringLiteral("bold")), QStringLiteral("True"));
  EXPECT_EQ(texts.text(), QStringLiteral("1Antrag2"));

  // Nothing there: null elements all the way down, never a crash.
  const TXMLElement none = step.firstChildElement(QStringLiteral("caption"));
  EXPECT_TRUE(none.isNull());
  EXPECT_TRUE(none.firstChildElement().isNull());
  EXPECT_TRUE(none.nextSiblingElement(QStringLiteral("x")).isNull());
  EXPECT_EQ(none.text(), QString());
  EXPECT_EQ(none.tagName(), QString());
  EXPECT_EQ(none.attribute(QStringLiteral("a"), QStringLiteral("b")), QStringLiteral("b"));
  EXPECT_TRUE(TXMLElement().isNull());
}

TEST(DefinitionReader, TheTreeLivesAsLongAsTheDefinition) {
  auto def = ParseSteps(QStringLiteral("<wizardStep><infoText>Eins</infoText>") + kStepTail +
                        QStringLiteral("<wizardStep><infoText>Zwei</infoText>") + kStepTail);
  // Views copied out read the same tree; a second definition has its own.
  const TXMLWizardStepType second = def->WizardDefinition().Items(1);
  auto other = ParseSteps(QStringLiteral("<wizardStep><infoText>Andere</infoText>") + kStepTail);
  EXPECT_EQ(second.InfoText(), QStringLiteral("Zwei"));
  EXPECT_EQ(other->InfoText(0), QStringLiteral("Andere"));
  EXPECT_EQ(def->StepCount(), 2);
}
