#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>

#include "TestSupport.h"
#include "help/uHelpPages.h"
#include "help/uHtmlView.h"
#include "platform/uShell.h"
#include "storage/uProgramPaths.h"

// Readable failure output.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
  f.write(bytes);
}

// A program folder of its own (with a blank in its name, as the real one has) per test.
class HelpPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    program_ = dir_.path() + QStringLiteral("/Programm Ordner/");
    QDir().mkpath(program_ + QStringLiteral("Mahnbescheid Runtime/help"));
    SetProgramFolderForTesting(program_);
  }
  void TearDown() override { SetProgramFolderForTesting(QString()); }

  QString Help(const QString& name) const { return program_ + QStringLiteral("Mahnbescheid Runtime/help/") + name; }
  void WriteCss(const QByteArray& css) { WriteFile(Help(QStringLiteral("Mahnbescheid.css")), css); }

  QTemporaryDir dir_;
  QString program_;
};

// The colour of the first character of `text` in the view's document.
QColor ColourOf(THtmlView& view, const QString& text) {
  QTextCursor c = view.document()->find(text);
  if (c.isNull()) return QColor();
  QTextCursor at(view.document());
  at.setPosition(c.selectionStart() + 1);
  return at.charFormat().foreground().color();
}

int CountPixels(const QImage& img, const std::function<bool(QColor)>& match) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (match(img.pixelColor(x, y))) ++n;
  return n;
}

TEST_F(HelpPageTest, PlaceholderBecomesOneLinkPerOccurrence) {
  WriteCss("p { color: #123456; }");
  const QString link = HelpStyleSheetLink();
  const QString css = QDir::toNativeSeparators(Help(QStringLiteral("Mahnbescheid.css")));
  EXPECT_EQ(link, QStringLiteral("<LINK href= \"") + css + QStringLiteral("\" type=\"text/css\" rel=\"stylesheet\">"));
  EXPECT_EQ(HelpStyleSheetPath(), css);

  EXPECT_EQ(ApplyStyleSheetPlaceholder(QStringLiteral("aCSSFILENAMEPATHbCSSFILENAMEPATHc"), link),
            QStringLiteral("a") + link + QStringLiteral("b") + link + QStringLiteral("c"));
  EXPECT_EQ(ApplyStyleSheetPlaceholder(QStringLiteral("a cssfilenamepath CssFileNamePath b"), link),
            QStringLiteral("a cssfilenamepath CssFileNamePath b"));
  EXPECT_EQ(ApplyStyleSheetPlaceholder(QStringLiteral("aCSSFILENAMEPATHbCSSFILENAMEPATH"), QString()),
            QStringLiteral("ab"));
}

TEST_F(HelpPageTest, StyleSheetFromThePlaceholderColoursTheRenderedText) {
  WriteCss("p.big { color: #ff0000; font-size: 40px; font-weight: bold; }\n");
  WriteFile(Help(QStringLiteral("Step1.html")),
            "<html><head>CSSFILENAMEPATH</head>\n<body><p class=\"big\">HHHH</p>"
            "<p>schwarz</p></body></html>\n");
  THtmlView view;
  view.resize(400, 200);
  ASSERT_TRUE(LoadHelpPage(view, StepHelpPagePath(0)));
  EXPECT_EQ(ColourOf(view, QStringLiteral("HHHH")), QColor(0xff, 0, 0));
  EXPECT_NE(ColourOf(view, QStringLiteral("schwarz")), QColor(0xff, 0, 0));
  const QImage shot = view.grab().toImage();
  const int red = CountPixels(shot, [](QColor c) { return c.red() > 200 && c.green() < 60 && c.blue() < 60; });
  EXPECT_GT(red, 100) << "the style sheet's colour is not on the screen";
}

TEST_F(HelpPageTest, WithoutStyleSheetThePlaceholderGoesAndThePageStillShows) {
  WriteFile(Help(QStringLiteral("Step2.html")),
            "<html><head>CSSFILENAMEPATH</head><body><p>Text CSSFILENAMEPATH Ende</p></body></html>");
  THtmlView view;
  ASSERT_TRUE(LoadHelpPage(view, StepHelpPagePath(1)));
  EXPECT_EQ(view.toPlainText().trimmed(), QStringLiteral("Text Ende"));
}

TEST_F(HelpPageTest, LowerCasePlaceholderIsShownAsItIs) {
  WriteCss("p { color: #00ff00; }");
  WriteFile(Help(QStringLiteral("Step1.html")), "<p>cssfilenamepath</p>");
  THtmlView view;
  ASSERT_TRUE(LoadHelpPage(view, StepHelpPagePath(0)));
  EXPECT_EQ(view.toPlainText().trimmed(), QStringLiteral("cssfilenamepath"));
}

TEST_F(HelpPageTest, LinesAreJoinedWithCrLfAfterEveryLine) {
  const std::pair<QByteArray, QString> cases[] = {
      {"eins\r\nzwei\ndrei\rvier", QStringLiteral("eins\r\nzwei\r\ndrei\r\nvier\r\n")},
      {"eins\r\n", QStringLiteral("eins\r\n")},
      {"eins\n\nzwei", QStringLiteral("eins\r\n\r\nzwei\r\n")},
      {"", QString()},
  };
  for (const auto& [bytes, expected] : cases) {
    WriteFile(Help(QStringLiteral("Step1.html")), bytes);
    QString text;
    ASSERT_TRUE(ReadHelpPageText(StepHelpPagePath(0), &text));
    EXPECT_EQ(text, expected);
  }
  QString untouched = QStringLiteral("vorher");
  EXPECT_FALSE(ReadHelpPageText(Help(QStringLiteral("Step9.html")), &untouched));
  EXPECT_EQ(untouched, QStringLiteral("vorher"));
}

TEST_F(HelpPageTest, MissingPageKeepsThePageShownBefore) {
  WriteFile(Help(QStringLiteral("Step1.html")), "<p>Schritt eins</p>");
  THtmlView view;
  ASSERT_TRUE(LoadHelpPage(view, StepHelpPagePath(0)));
  EXPECT_FALSE(LoadHelpPage(view, StepHelpPagePath(1)));
  EXPECT_FALSE(LoadHelpPage(view, Help(QString())));  // the folder itself is no page
  EXPECT_EQ(view.toPlainText().trimmed(), QStringLiteral("Schritt eins"));
}

TEST_F(HelpPageTest, PagesInWindows1252AndUtf8ShowTheirUmlauts) {
  WriteFile(Help(QStringLiteral("Step1.html")), "<p>Gr\xfc\xdf" "e \x80</p>");
  WriteFile(Help(QStringLiteral("Step2.html")), "<p>Gr\xc3\xbc\xc3\x9f" "e \xe2\x82\xac</p>");
  THtmlView view;
  ASSERT_TRUE(LoadHelpPage(view, StepHelpPagePath(0)));
  EXPECT_EQ(view.toPlainText().trimmed(), QStringLiteral("Grüße €"));
  ASSERT_TRUE(LoadHelpPage(view, StepHelpPagePath(1)));
  EXPECT_EQ(view.toPlainText().trimmed(), QStringLiteral("Grüße €"));
}

TEST_F(HelpPageTest, DefaultFontsAreTimesNewRomanAndCourierNew) {
  THtmlView view;
  view.LoadFromString(QStringLiteral("<p>Fliesstext</p><pre>Festbreite</pre>"));
  EXPECT_EQ(view.document()->defaultFont().family(), QStringLiteral("Times New Roman"));
  QTextCursor c = view.document()->find(QStringLiteral("Festbreite"));
  ASSERT_FALSE(c.isNull());
  QTextCursor at(view.document());
  at.setPosition(c.selectionStart() + 1);
  EXPECT_TRUE(at.charFormat().fontFamilies().toStringList().contains(QStringLiteral("Courier New")));
}

// The font the layout really uses for the first character of `text`.
QFont FontOf(THtmlView& view, const QString& text) {
  QTextCursor c = view.document()->find(text);
  QTextCursor at(view.document());
  at.setPosition(c.selectionStart() + 1);
  return at.charFormat().font();
}

TEST_F(HelpPageTest, HeadingsTakeTheSizeTheStyleSheetGivesThem) {
  WriteCss("h1 { font-size: 13pt; } h2 { font-size: 10.5pt; } p { font-size: 9pt; }");
  WriteFile(Help(QStringLiteral("Step1.html")),
            "<head>CSSFILENAMEPATH</head><h1>Kopf <b>fett</b></h1><h2>Unterkopf</h2><h3>Ohne</h3><p>Text</p>");
  THtmlView view;
  ASSERT_TRUE(LoadHelpPage(view, StepHelpPagePath(0)));
  EXPECT_DOUBLE_EQ(FontOf(view, QStringLiteral("Kopf")).pointSizeF(), 13.0);
  EXPECT_DOUBLE_EQ(FontOf(view, QStringLiteral("fett")).pointSizeF(), 13.0);
  EXPECT_DOUBLE_EQ(FontOf(view, QStringLiteral("Unterkopf")).pointSizeF(), 10.5);
  EXPECT_DOUBLE_EQ(FontOf(view, QStringLiteral("Text")).pointSizeF(), 9.0);
  // A heading the sheet says nothing about keeps its larger size.
  EXPECT_GT(FontOf(view, QStringLiteral("Ohne")).pointSizeF(), view.document()->defaultFont().pointSizeF());
}

// Solid images of the three formats, side by side.
TEST_F(HelpPageTest, JpegPngAndGifImagesRenderRelativeToThePagesFolder) {
  const QString folder = program_ + QStringLiteral("Mahnbescheid Runtime/");
  QImage red(20, 20, QImage::Format_RGB32);
  red.fill(QColor(255, 0, 0));
  ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("bilder")));
  ASSERT_TRUE(red.save(folder + QStringLiteral("bilder/rot.png")));
  QImage green(20, 20, QImage::Format_RGB32);
  green.fill(QColor(0, 255, 0));
  ASSERT_TRUE(green.save(folder + QStringLiteral("bilder/gruen.jpg"), "JPG", 100));
  // A 1 x 1 GIF whose only pixel is palette entry 0, pure blue.
  WriteFile(folder + QStringLiteral("bilder/blau.gif"),
            QByteArray("GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\xff\x00\x00\x00"
                       "\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3b",
                       35));
  WriteFile(folder + QStringLiteral("seite.htm"),
            "<body bgcolor=\"white\"><img src=\"bilder/rot.png\" width=\"20\" height=\"20\">"
            "<img src=\"bilder/gruen.jpg\" width=\"20\" height=\"20\">"
            "<img src=\"bilder/blau.gif\" width=\"20\" height=\"20\"></body>");
  THtmlView view;
  view.resize(300, 120);
  ASSERT_TRUE(view.LoadFromFile(folder + QStringLiteral("seite.htm")));
  const QImage shot = view.grab().toImage();
  EXPECT_GE(CountPixels(shot, [](QColor c) { return c.red() > 240 && c.green() < 20 && c.blue() < 20; }), 300);
  EXPECT_GE(CountPixels(shot, [](QColor c) { return c.green() > 230 && c.red() < 30 && c.blue() < 30; }), 300);
  EXPECT_GE(CountPixels(shot, [](QColor c) { return c.blue() > 240 && c.red() < 20 && c.green() < 20; }), 300);
}

TEST_F(HelpPageTest, TextWithoutBaseResolvesRelativeNamesToNothingNotTheWorkingFolder) {
  const QString cwd = QDir::currentPath();
  QImage red(4, 4, QImage::Format_RGB32);
  red.fill(Qt::red);
  ASSERT_TRUE(red.save(dir_.path() + QStringLiteral("/rot.png")));
  ASSERT_TRUE(QDir::setCurrent(dir_.path()));
  THtmlView view;
  view.LoadFromString(QStringLiteral("<img src=\"rot.png\">"));
  EXPECT_TRUE(view.LocalPathFor(QUrl(QStringLiteral("rot.png"))).isEmpty());
  const QVariant data = view.document()->resource(QTextDocument::ImageResource, QUrl(QStringLiteral("rot.png")));
  QDir::setCurrent(cwd);
  EXPECT_TRUE(data.toByteArray().isEmpty());
  // Absolute paths (the style sheet's) still load; network and other schemes never.
  EXPECT_EQ(view.LocalPathFor(QUrl(dir_.path() + QStringLiteral("/rot.png"))), dir_.path() + QStringLiteral("/rot.png"));
  EXPECT_TRUE(view.LocalPathFor(QUrl(QStringLiteral("http://www.example.com/a.png"))).isEmpty());
  EXPECT_TRUE(view.LocalPathFor(QUrl(QStringLiteral("javascript:alert(1)"))).isEmpty());
}

// --- links

struct TOpenRecorder {
  TOpenRecorder() {
    SetShellOpener([this](const QString& t) {
      Opened << t;
      return true;
    });
  }
  ~TOpenRecorder() { SetShellOpener(nullptr); }
  QStringList Opened;
};

TEST_F(HelpPageTest, UnhandledRelativeLinkIsFollowedInsideWithoutHistory) {
  const QString folder = program_ + QStringLiteral("Mahnbescheid Runtime/");
  WriteFile(folder + QStringLiteral("a.htm"), "<a href=\"unter/b.htm\">weiter</a>");
  WriteFile(folder + QStringLiteral("unter/b.htm"), "<p>Seite B</p><a href=\"../a.htm\">zur\xfc" "ck</a>");
  WriteFile(folder + QStringLiteral("unter/bild.png"), "kein Bild");
  THtmlView view;
  ASSERT_TRUE(view.LoadFromFile(folder + QStringLiteral("a.htm")));
  view.FollowLink(QStringLiteral("unter/b.htm"));
  EXPECT_EQ(view.toPlainText().trimmed(), QStringLiteral("Seite B\nzurück"));
  EXPECT_FALSE(view.isBackwardAvailable());
  EXPECT_EQ(view.historyUrl(-1), QUrl());
  // Only HTML pages are shown; anything else, or a page that is not there, leaves the view.
  view.FollowLink(QStringLiteral("bild.png"));
  view.FollowLink(QStringLiteral("fehlt.htm"));
  EXPECT_EQ(view.toPlainText().trimmed(), QStringLiteral("Seite B\nzurück"));
  view.FollowLink(QStringLiteral("../a.htm"));
  EXPECT_EQ(view.toPlainText().trimmed(), QStringLiteral("weiter"));
}

TEST_F(HelpPageTest, ClickOnALinkReachesTheHandlerWithTheTarget) {
  THtmlView view;
  view.resize(400, 200);
  view.show();
  view.LoadFromString(QStringLiteral("<p><a href=\"https://www.example.com/x\">Verweis</a></p>"));
  QStringList seen;
  view.OnHotSpotClick = [&](THtmlView* sender, const QString& target, bool& handled) {
    EXPECT_EQ(sender, &view);
    EXPECT_FALSE(handled);
    seen << target;
    handled = true;
  };
  QTextCursor c = view.document()->find(QStringLiteral("Verweis"));
  ASSERT_FALSE(c.isNull());
  QTextCursor mid(view.document());
  mid.setPosition(c.selectionStart() + 2);
  const QPoint at = view.cursorRect(mid).center();
  QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, at);
  EXPECT_EQ(seen, QStringList{QStringLiteral("https://www.example.com/x")});
}

TEST_F(HelpPageTest, UnhandledSchemesAreNeverFollowedNorOpened) {
  TOpenRecorder opener;
  THtmlView view;
  view.LoadFromString(QStringLiteral("<p>bleibt</p>"), program_);
  for (const char* t : {"javascript:alert(1)", "file:///etc/passwd", "mailto:a@b.de", "http://www.example.com/",
                        "data:text/html,<p>x</p>", "c:\\windows\\x.htm"})
    view.FollowLink(QString::fromLatin1(t));
  EXPECT_EQ(view.toPlainText().trimmed(), QStringLiteral("bleibt"));
  EXPECT_TRUE(opener.Opened.isEmpty());
}

TEST_F(HelpPageTest, ChildControlStaysAtTheTopRightWhenResized) {
  THtmlView view;
  view.UsePromotionLook();
  auto* button = new QPushButton(QStringLiteral("x"));
  button->setFixedSize(19, 20);
  view.resize(200, 300);
  view.SetTopRightControl(button, 5, 3);
  view.show();
  auto gap = [&] { return view.viewport()->geometry().right() - button->geometry().right(); };
  EXPECT_EQ(button->parentWidget(), &view);
  EXPECT_EQ(gap(), 5);
  EXPECT_EQ(button->y(), view.viewport()->y() + 3);
  view.resize(380, 300);
  EXPECT_EQ(gap(), 5);
  EXPECT_GT(button->x(), 300);
  EXPECT_TRUE(view.verticalScrollBar()->isVisible());
  EXPECT_EQ(view.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

// --- printing

int PdfPages(const QString& pdf) {
  QProcess p;
  p.start(QStringLiteral("pdfinfo"), {pdf});
  p.waitForFinished();
  for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n')))
    if (line.startsWith(QStringLiteral("Pages:"))) return line.mid(6).trimmed().toInt();
  return -1;
}

QString PdfText(const QString& pdf) {
  QProcess p;
  p.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
  p.waitForFinished();
  return QString::fromUtf8(p.readAllStandardOutput());
}

TEST_F(HelpPageTest, PrintingStopsAfterPage99AndPrintsTheText) {
  QString html = QStringLiteral("<p>Anfang der Hilfe</p>");
  for (int i = 0; i < 110; ++i) html += QStringLiteral("<p style=\"page-break-before: always\">Seite %1</p>").arg(i + 2);
  THtmlView view;
  view.LoadFromString(html);
  QPrinter printer(QPrinter::ScreenResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  const QString pdf = dir_.path() + QStringLiteral("/hilfe.pdf");
  printer.setOutputFileName(pdf);
  ASSERT_TRUE(view.PrintPages(printer, 1, 99));
  EXPECT_EQ(PdfPages(pdf), 99);
  const QString text = PdfText(pdf);
  EXPECT_TRUE(text.contains(QStringLiteral("Anfang der Hilfe")));
  EXPECT_TRUE(text.contains(QStringLiteral("Seite 99")));
  EXPECT_FALSE(text.contains(QStringLiteral("Seite 100")));
}

TEST_F(HelpPageTest, PrinterThatCannotBeOpenedIsReported) {
  THtmlView view;
  view.LoadFromString(QStringLiteral("<p>x</p>"));
  QPrinter printer(QPrinter::ScreenResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(dir_.path() + QStringLiteral("/fehlt/ordner/x.pdf"));
  EXPECT_FALSE(view.PrintPages(printer));
}

}  // namespace
