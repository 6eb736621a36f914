// The fast reader of the definition against the general one (Qt's stream reader): wherever the
// fast one takes a file, both build the same tree; whatever it does not take, the general one
// reads or refuses with its message.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "definition/WizardSteps.h"
#include "definition/uDefinitionReading.h"

namespace {
const QString kStepTail = QStringLiteral(
    "<navigationText>N</navigationText>"
    "<stepMetric><left>0</left><top>0</top><width>210</width><height>100</height></stepMetric>"
    "<font><size>10</size><family>Arial</family><style>Bold</style></font><fields/></wizardStep>");

// Every attribute name the cases and the files below use.
const QStringList kAttributes = {"Art", "Step", "Name", "kind", "colour", "size", "bold", "align", "x", "y", "titel", "a"};
}  // namespace

namespace {
// Every element with its attributes and text, depth first: all the views and the generator read.
void Dump(const TXMLElement& e, QString& out) {
  out += QLatin1Char('<') + e.tagName();
  for (const QString& name : kAttributes)
    if (!e.attribute(name, QStringLiteral("\x01")).startsWith(QChar(1)))
      out += QLatin1Char(' ') + name + QStringLiteral("=[") + e.attribute(name) + QLatin1Char(']');
  out += QStringLiteral(">[") + e.text() + QStringLiteral("]\n");
  for (TXMLElement c = e.firstChildElement(); !c.isNull(); c = c.nextSiblingElement()) Dump(c, out);
}

QString Read(const QByteArray& bytes, TDefinitionReading reading) {
  struct TReset {
    ~TReset() { SetDefinitionReading(TDefinitionReading::Fast); }
  } reset;
  SetDefinitionReading(reading);
  try {
    const auto def = TWizardDefinition::Parse(bytes, QStringLiteral("test.xml"));
    QString out;
    Dump(def->WizardDefinition().Element(), out);
    return out;
  } catch (const EDefinitionError& e) {
    return QStringLiteral("Fehler: ") + e.Message();
  }
}

QByteArray WithStep(const QByteArray& inside, const QByteArray& head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") {
  return head + "<wizardSteps>\r\n <wizardStep><infoText>" + inside + "</infoText>" + kStepTail.toUtf8() + "\n</wizardSteps>\n";
}

QByteArray File(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct TReaderCase {
  const char* what;
  QByteArray xml;
  bool plain;  // the fast reader takes it
};
}  // namespace

TEST(DefinitionReader, FastAndGeneralReaderAgree) {
  std::vector<TReaderCase> cases = {
      {"shipped definition", File(QStringLiteral(KALNO_SOURCE_DIR "/data/Mahnbescheid Runtime/WizardSteps.xml")), true},
      {"line breaks CR LF and CR", WithStep("a\r\nb\rc\n\r\nd"), true},
      {"attribute white space", WithStep("<b x=\"1\t2\n3\r\n4\r5  6\" y='\"'/>"), true},
      {"references", WithStep("&lt;&gt;&amp;&quot;&apos;&#65;&#x42;&#x1F600;&#10;<b x=\"&#10;&#x9;&amp;\"/>"), true},
      {"CDATA", WithStep("<![CDATA[a\r\n<b>&amp;]]]]><![CDATA[>]]>"), true},
      {"brackets in text", WithStep("a]b]]c] ]>"), true},
      {"comments", WithStep("a<!-- x\r\ny -->b") + "<!-- nach dem Ende -->\n", true},
      {"umlauts and more", WithStep("Straße € 😀 <b titel=\"Müller\"/>"), true},
      {"empty elements and spaces in tags", WithStep("<b/><c  a = \"1\"  /><d></d ><e\n>x</e\t>"), true},
      {"no declaration", WithStep("x", ""), true},
      {"declaration variants", WithStep("x", "<?xml version='1.0' encoding='utf-8' standalone='yes' ?>"), true},
      {"byte order mark", "\xEF\xBB\xBF" + WithStep("x"), true},
      {"declared version 1.1", WithStep("x", "<?xml version=\"1.1\"?>"), false},
      {"standalone before encoding", WithStep("x", "<?xml version=\"1.0\" standalone=\"no\" encoding=\"UTF-8\"?>"), false},
      {"declaration not at the start", WithStep("x", " <?xml version=\"1.0\"?>"), false},
      {"processing instruction", WithStep("a<?pi b?>c"), false},
      {"document type with entity", WithStep("&e;", "<?xml version=\"1.0\"?><!DOCTYPE wizardSteps [<!ENTITY e \"Eins\">]>"), false},
      {"undeclared entity", WithStep("&nbsp;"), false},
      {"character reference out of range", WithStep("&#1;"), false},
      {"upper-case hex reference", WithStep("&#X41;"), false},
      {"end of CDATA in text", WithStep("a]]>b"), false},
      {"double hyphen in comment", WithStep("<!-- a -- b -->"), false},
      {"control character", WithStep("a\x01" "b"), false},
      {"invalid UTF-8", WithStep("a\xC3(b"), false},
      {"mismatched end tag", WithStep("<b></c>"), false},
      {"duplicate attribute", WithStep("<b x=\"1\" x=\"2\"/>"), false},
      {"attributes without space", WithStep("<b x=\"1\"y=\"2\"/>"), false},
      {"less-than in attribute", WithStep("<b x=\"<\"/>"), false},
      {"text after the root", WithStep("x") + "Rest", false},
      {"second root", WithStep("x") + "<wizardSteps/>", false},
      {"unfinished", WithStep("x").left(60), false},
      {"name with a colon", WithStep("<a:b/>"), false},
      {"name with umlaut", WithStep("<größe/>"), false},
      {"nested 64 deep in all", WithStep(QByteArray("<a>").repeated(61) + QByteArray("</a>").repeated(61)), true},
      {"nested 65 deep", WithStep(QByteArray("<a>").repeated(62) + QByteArray("</a>").repeated(62)), false},
      {"windows-1252 declared", WithStep("\x80", "<?xml version=\"1.0\" encoding=\"windows-1252\"?>"), false},
      {"UTF-8 declared as UTF-16", QString::fromUtf8(WithStep("Ä", "<?xml version=\"1.0\" encoding=\"UTF-16\"?>")).toUtf8(), false},
  };
  const QDir corpus(QStringLiteral(KALNO_SOURCE_DIR "/fuzz/corpus/definition"));
  for (const QString& f : corpus.entryList(QDir::Files)) cases.push_back({"corpus", File(corpus.filePath(f)), false});

  for (const TReaderCase& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_FALSE(c.xml.isEmpty());
    const QString general = Read(c.xml, TDefinitionReading::General);
    EXPECT_EQ(Read(c.xml, TDefinitionReading::Fast), general);
    const QString plain = Read(c.xml, TDefinitionReading::PlainOnly);
    if (c.plain) {
      EXPECT_EQ(plain, general);
      EXPECT_FALSE(general.startsWith(QStringLiteral("Fehler"))) << general.toStdString();
    } else if (QByteArray(c.what) != "corpus") {
      EXPECT_TRUE(plain.contains(QStringLiteral("kein einfaches XML"))) << plain.toStdString();
    }
  }
}
