#include <gtest/gtest.h>

#include <QRandomGenerator>

#include "TestSupport.h"
#include "storage/uProfileFile.h"
#include "storage/uWin1252.h"

// Readable failure output.
static inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {
const QString kSection = QStringLiteral("Mahnbescheid");

QByteArray Bytes(const char* s) { return QByteArray(s); }
QByteArray Bytes(const char* s, int n) { return QByteArray(s, n); }

// ---- Reading --------------------------------------------------------------------------------

struct TReadCase {
  const char* Label;
  QByteArray File;
  QString Name;
  QString Expected;
  bool Present;
};

class ProfileRead : public ::testing::TestWithParam<TReadCase> {};

TEST_P(ProfileRead, FollowsTheProfileRules) {
  const TReadCase& c = GetParam();
  const TProfileFile file(c.File);
  EXPECT_EQ(file.ReadString(kSection, c.Name), c.Expected);
  EXPECT_EQ(file.HasEntry(kSection, c.Name), c.Present);
}

const QString k3000 = QString(3000, QLatin1Char('x'));

INSTANTIATE_TEST_SUITE_P(
    Rules, ProfileRead,
    ::testing::Values(
        TReadCase{"plain", Bytes("[Mahnbescheid]\r\nName=Wert\r\n"), "Name", "Wert", true},
        TReadCase{"case of section and name", Bytes("[mahnBESCHEID]\r\nNAME=Wert\r\n"), "name", "Wert", true},
        TReadCase{"blanks trimmed", Bytes("[Mahnbescheid]\r\n  Name \t=  a  b \t\r\n"), "Name", "a  b", true},
        TReadCase{"double quotes", Bytes("[Mahnbescheid]\r\nName=\"  x  \"\r\n"), "Name", "  x  ", true},
        TReadCase{"single quotes", Bytes("[Mahnbescheid]\r\nName='x'\r\n"), "Name", "x", true},
        TReadCase{"one pair only", Bytes("[Mahnbescheid]\r\nName=\"\"x\"\"\r\n"), "Name", "\"x\"", true},
        TReadCase{"unmatched quotes stay", Bytes("[Mahnbescheid]\r\nName=\"x'\r\n"), "Name", "\"x'", true},
        TReadCase{"a lone quote stays", Bytes("[Mahnbescheid]\r\nName=\"\r\n"), "Name", "\"", true},
        TReadCase{"empty quotes", Bytes("[Mahnbescheid]\r\nName=\"\"\r\n"), "Name", "", true},
        TReadCase{"= inside the value", Bytes("[Mahnbescheid]\r\nName=a=b==c\r\n"), "Name", "a=b==c", true},
        TReadCase{"empty value", Bytes("[Mahnbescheid]\r\nName=\r\n"), "Name", "", true},
        TReadCase{"missing entry", Bytes("[Mahnbescheid]\r\nAnders=1\r\n"), "Name", "", false},
        TReadCase{"missing section", Bytes("[Anders]\r\nName=1\r\n"), "Name", "", false},
        TReadCase{"entries before any section", Bytes("Name=1\r\n[Mahnbescheid]\r\n"), "Name", "", false},
        TReadCase{"first entry counts", Bytes("[Mahnbescheid]\r\nName=1\r\nname=2\r\n"), "Name", "1", true},
        TReadCase{"first section counts", Bytes("[Mahnbescheid]\r\nA=1\r\n[Mahnbescheid]\r\nName=2\r\n"), "Name", "",
                  false},
        TReadCase{"line feeds only", Bytes("[Mahnbescheid]\nA=1\nName=2\n"), "Name", "2", true},
        TReadCase{"carriage returns only", Bytes("[Mahnbescheid]\rA=1\rName=2\r"), "Name", "2", true},
        TReadCase{"carriage return ends the value", Bytes("[Mahnbescheid]\rName=a\rb=c\r"), "Name", "a", true},
        TReadCase{"line ends mixed", Bytes("[Anders]\nName=1\r\n[Mahnbescheid]\rA=1\r\nName=2\n"), "Name", "2", true},
        TReadCase{"section ends at a header after a CR", Bytes("[Mahnbescheid]\rA=1\r[Anders]\rName=2\r"), "Name", "",
                  false},
        TReadCase{"CR CR LF is an empty line between", Bytes("[Mahnbescheid]\r\r\nName=2\r\r\n"), "Name", "2", true},
        TReadCase{"no final line break", Bytes("[Mahnbescheid]\r\nName=2"), "Name", "2", true},
        TReadCase{"header with blanks", Bytes("  [ Mahnbescheid ]  ; Kopf\r\nName=2\r\n"), "Name", "2", true},
        TReadCase{"bracket not closed is no header", Bytes("[Mahnbescheid\r\nName=2\r\n"), "Name", "", false},
        TReadCase{"comment line", Bytes("[Mahnbescheid]\r\n;Name=2\r\n"), "Name", "", false},
        TReadCase{"line without =", Bytes("[Mahnbescheid]\r\nName\r\n"), "Name", "", false},
        TReadCase{"Windows-1252", Bytes("[Mahnbescheid]\r\nName=\x80 M\xFC\x6C\x6C\x65r \x84Z\x93\r\n"), "Name",
                  QStringLiteral("€ Müller „Z“"), true},
        TReadCase{"UTF-8 with byte order mark", Bytes("\xEF\xBB\xBF[Mahnbescheid]\r\nName=M\xC3\xBCller\r\n"), "Name",
                  QStringLiteral("Müller"), true},
        TReadCase{"NUL ends the value", Bytes("[Mahnbescheid]\r\nName=ab\0cd\r\n", 25), "Name", "ab", true},
        TReadCase{"2047 characters at most", "[Mahnbescheid]\r\nName=" + k3000.toLatin1() + "\r\n", "Name",
                  k3000.left(2047), true},
        TReadCase{"quotes go before the cut",
                  "[Mahnbescheid]\r\nName=\"" + QByteArray(2047, 'y') + "\"\r\n", "Name", QString(2047, QLatin1Char('y')),
                  true}),
    [](const ::testing::TestParamInfo<TReadCase>& info) {
      std::string s;
      for (const char* p = info.param.Label; *p; ++p) s += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
      return s;
    });

TEST(ProfileRead, ManyNamesInOnePassKeepTheCallersSpelling) {
  const TProfileFile file(Bytes("[Mahnbescheid]\r\nALPHA=1\r\nbeta=2\r\n"));
  const auto values = file.ReadStrings(kSection, {"Alpha", "Beta", "Gamma"});
  EXPECT_EQ(values.value("Alpha"), "1");
  EXPECT_EQ(values.value("Beta"), "2");
  EXPECT_FALSE(values.contains("Gamma"));
}

// ---- Writing --------------------------------------------------------------------------------

struct TWriteCase {
  const char* Label;
  QByteArray Before;
  std::vector<std::pair<QString, QString>> Writes;
  QByteArray After;
};

class ProfileWrite : public ::testing::TestWithParam<TWriteCase> {};

TEST_P(ProfileWrite, ChangesOnlyItsEntries) {
  const TWriteCase& c = GetParam();
  TProfileFile file(c.Before);
  file.WriteStrings(kSection, c.Writes);
  EXPECT_EQ(file.Data(), c.After);
  // One call per entry gives the same file.
  TProfileFile single(c.Before);
  for (const auto& w : c.Writes) single.WriteString(kSection, w.first, w.second);
  EXPECT_EQ(single.Data(), c.After);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ProfileWrite,
    ::testing::Values(
        TWriteCase{"new file", Bytes(""), {{"A", "1"}, {"B", ""}}, Bytes("[Mahnbescheid]\r\nA=1\r\nB=\r\n")},
        TWriteCase{"replaced in place",
                   Bytes("[Mahnbescheid]\r\nA=1\r\nName = alt ; x\r\nB=2\r\n"),
                   {{"Name", "neu"}},
                   Bytes("[Mahnbescheid]\r\nA=1\r\nName=neu\r\nB=2\r\n")},
        TWriteCase{"letter case of the file",
                   Bytes("[MAHNBESCHEID]\r\nname=alt\r\n"),
                   {{"Name", "neu"}},
                   Bytes("[MAHNBESCHEID]\r\nName=neu\r\n")},
        TWriteCase{"appended at the end of its section",
                   Bytes("[Mahnbescheid]\r\nA=1\r\n; Ende\r\n\r\n[Anders]\r\nX=1\r\n"),
                   {{"Name", "x"}, {"A", "2"}},
                   Bytes("[Mahnbescheid]\r\nA=2\r\n; Ende\r\nName=x\r\n\r\n[Anders]\r\nX=1\r\n")},
        TWriteCase{"missing section appended",
                   Bytes("[Anders]\r\nX=1\r\n"),
                   {{"Name", "x"}},
                   Bytes("[Anders]\r\nX=1\r\n\r\n[Mahnbescheid]\r\nName=x\r\n")},
        TWriteCase{"no final line break",
                   Bytes("[Mahnbescheid]\r\nA=1"),
                   {{"Name", "x"}},
                   Bytes("[Mahnbescheid]\r\nA=1\r\nName=x\r\n")},
        TWriteCase{"foreign line breaks kept",
                   Bytes("; Kommentar\n[Mahnbescheid]\nA=1\n\n"),
                   {{"A", "2"}, {"B", "3"}},
                   Bytes("; Kommentar\n[Mahnbescheid]\nA=2\nB=3\r\n\n")},
        TWriteCase{"carriage returns only: replaced in place, appended inside the section",
                   Bytes("[Mahnbescheid]\rA=1\rB=2\r\r[Anders]\rX=1\r"),
                   {{"B", "3"}, {"C", "4"}},
                   Bytes("[Mahnbescheid]\rA=1\rB=3\rC=4\r\n\r[Anders]\rX=1\r")},
        TWriteCase{"carriage returns only: no final line break",
                   Bytes("[Mahnbescheid]\rA=1"),
                   {{"C", "4"}},
                   Bytes("[Mahnbescheid]\rA=1\r\nC=4\r\n")},
        TWriteCase{"carriage returns only: missing section appended after a blank line",
                   Bytes("[Anders]\rX=1\r"),
                   {{"Name", "x"}},
                   Bytes("[Anders]\rX=1\r\r\n[Mahnbescheid]\r\nName=x\r\n")},
        TWriteCase{"one name twice: the later value",
                   Bytes(""),
                   {{"Name", "erst"}, {"Anders", "1"}, {"Name", "dann"}},
                   Bytes("[Mahnbescheid]\r\nName=dann\r\nAnders=1\r\n")},
        TWriteCase{"a value the reading rules would change is quoted",
                   Bytes(""),
                   {{"A", "  x "}, {"B", "\"y\""}, {"C", "'"}, {"D", "a\"b\""}},
                   Bytes("[Mahnbescheid]\r\nA=\"  x \"\r\nB=\"\"y\"\"\r\nC='\r\nD=a\"b\"\r\n")},
        TWriteCase{"line breaks cannot enter the file",
                   Bytes(""),
                   {{"A", "1\r\nB=2"}},
                   Bytes("[Mahnbescheid]\r\nA=1  B=2\r\n")},
        TWriteCase{"UTF-8 file stays UTF-8",
                   Bytes("\xEF\xBB\xBF[Mahnbescheid]\r\nA=1\r\n"),
                   {{"A", QStringLiteral("ä€")}},
                   Bytes("\xEF\xBB\xBF[Mahnbescheid]\r\nA=\xC3\xA4\xE2\x82\xAC\r\n")}),
    [](const ::testing::TestParamInfo<TWriteCase>& info) {
      std::string s;
      for (const char* p = info.param.Label; *p; ++p) s += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
      return s;
    });

TEST(ProfileWrite, ReadsSeeTheWrites) {
  TProfileFile file(Bytes("[Mahnbescheid]\r\nA=1\r\n"));
  file.WriteString(kSection, "a", "2");
  file.WriteString(kSection, "Neu", "3");
  file.WriteString("Zweite", "X", "4");
  EXPECT_EQ(file.ReadString(kSection, "A"), "2");
  EXPECT_EQ(file.ReadString(kSection, "neu"), "3");
  EXPECT_EQ(file.ReadString("zweite", "x"), "4");
}

// ---- Round trip of values ------------------------------------------------------------------

QString AllHighBytes() {
  QString s;
  for (int b = 0x80; b <= 0x9F; ++b) s += Win1252ToUnicode(static_cast<unsigned char>(b));
  return s;
}

struct TRoundTrip {
  const char* Label;
  QString Value;
  QString Expected;
};

class ProfileRoundTrip : public ::testing::TestWithParam<TRoundTrip> {};

TEST_P(ProfileRoundTrip, ValueComesBack) {
  const TRoundTrip& c = GetParam();
  TProfileFile file;
  file.WriteString(kSection, "Feld", c.Value);
  const TProfileFile reread(file.Data());
  EXPECT_EQ(reread.ReadString(kSection, "Feld"), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ProfileRoundTrip,
    ::testing::Values(TRoundTrip{"umlauts", QStringLiteral("Äöü ß Müller"), QStringLiteral("Äöü ß Müller")},
                      TRoundTrip{"euro", QStringLiteral("1.234,56 €"), QStringLiteral("1.234,56 €")},
                      TRoundTrip{"bytes 80 to 9F", AllHighBytes(), AllHighBytes()},
                      TRoundTrip{"leading and trailing blanks", "  Müller  ", "  Müller  "},
                      TRoundTrip{"only blanks", "   ", "   "},
                      TRoundTrip{"enclosing quotes", "\"Sonne\"", "\"Sonne\""},
                      TRoundTrip{"enclosing single quotes", "'a'", "'a'"},
                      TRoundTrip{"equals signs", "a=b=", "a=b="},
                      TRoundTrip{"2047 characters", QString(2047, QLatin1Char('z')), QString(2047, QLatin1Char('z'))},
                      TRoundTrip{"2047 quoted", " " + QString(2045, QLatin1Char('z')) + " ",
                                 " " + QString(2045, QLatin1Char('z')) + " "},
                      TRoundTrip{"3000 characters are cut", QString(3000, QLatin1Char('z')),
                                 QString(2047, QLatin1Char('z'))}),
    [](const ::testing::TestParamInfo<TRoundTrip>& info) {
      std::string s;
      for (const char* p = info.param.Label; *p; ++p) s += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
      return s;
    });

// ---- Files that are no profile -------------------------------------------------------------

struct THostile {
  const char* Label;
  std::function<QByteArray()> Make;
};

class ProfileHostile : public ::testing::TestWithParam<THostile> {};

TEST_P(ProfileHostile, ReadsEmptyAndKeepsEveryByte) {
  const QByteArray data = GetParam().Make();
  TProfileFile file(data);
  const auto values = file.ReadStrings(kSection, {"Name", "AntragstellerNachnameSp1"});
  EXPECT_TRUE(values.isEmpty());
  file.WriteStrings(kSection, {{"Name", "Wert"}});
  const QByteArray out = file.Data();
  ASSERT_TRUE(out.startsWith(data));
  EXPECT_EQ(TProfileFile(out).ReadString(kSection, "Name"), "Wert");
}

INSTANTIATE_TEST_SUITE_P(
    Files, ProfileHostile,
    ::testing::Values(
        THostile{"random bytes",
                 [] {
                   QByteArray b(1 << 20, Qt::Uninitialized);
                   QRandomGenerator gen(42);
                   for (char& c : b) c = char(gen.bounded(256));
                   b.replace("[", "(");  // no accidental headers
                   return b;
                 }},
        THostile{"NUL bytes", [] { return QByteArray(100000, '\0'); }},
        THostile{"a megabyte line", [] { return QByteArray(1 << 20, '=') + "\r\n" + QByteArray(1 << 20, 'a'); }},
        THostile{"50 MB of short lines",
                 [] { return QByteArray("Name=x\n").repeated((50 << 20) / 7); }},
        THostile{"50 MB of line breaks", [] { return QByteArray(50 << 20, '\n'); }},
        THostile{"UTF-16 text", [] { return QByteArray("\xFF\xFE[\0M\0]\0\r\0\n\0N\0=\0x\0", 18); }}),
    [](const ::testing::TestParamInfo<THostile>& info) {
      std::string s;
      for (const char* p = info.param.Label; *p; ++p) s += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
      return s;
    });

}  // namespace
