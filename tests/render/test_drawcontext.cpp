#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <cmath>
#include <cstdio>

#include "render/uDrawContext.h"
#include "render/uFontcache.h"
#include "render/uPrinterDrawContext.h"
#include "storage/uWin1252.h"

namespace {

// Records the text runs of the contexts while it lives.
struct RunRecorder {
  std::vector<TTextRun> runs;
  RunRecorder() {
    SetTextRunRecorder([this](const TTextRun& r) { runs.push_back(r); });
  }
  ~RunRecorder() { SetTextRunRecorder(nullptr); }
};

void SetUpPrinter(TDrawContext& dc, int dpi) {
  const float s = float(dpi) / 25.4f;
  dc.Transformation().Scale(s, s);
}

QImage WhitePage(int w, int h, int dpi) {
  QImage img(w, h, QImage::Format_ARGB32);
  img.fill(Qt::white);
  img.setDotsPerMeterX(qRound(dpi / 0.0254));
  img.setDotsPerMeterY(qRound(dpi / 0.0254));
  return img;
}

// The bounding box of all pixels that are not white.
QRect InkBox(const QImage& img) {
  int l = img.width(), t = img.height(), r = -1, b = -1;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (img.pixel(x, y) != qRgb(255, 255, 255)) {
        l = std::min(l, x);
        r = std::max(r, x);
        t = std::min(t, y);
        b = std::max(b, y);
      }
  return r < 0 ? QRect() : QRect(QPoint(l, t), QPoint(r, b));
}

// ---------------------------------------------------------------- heights, pens, mapping

struct HeightCase {
  int dpi;
  int points;
  int expectedLogical;
  double expectedUnrounded;
};
class FontHeights : public ::testing::TestWithParam<HeightCase> {};

TEST_P(FontHeights, LogicalHeightIsRoundedEmHeight) {
  const HeightCase& c = GetParam();
  TDrawContext dc;
  SetUpPrinter(dc, c.dpi);
  dc.Font().setPointSize(c.points);
  dc.ApplyFont();
  EXPECT_EQ(dc.CanvasFontHeight(), c.expectedLogical);
  EXPECT_NEAR(dc.FontHeight(), c.expectedUnrounded, 0.01);
  EXPECT_EQ(dc.CanvasFont().pixelSize(), -c.expectedLogical);
  EXPECT_EQ(dc.Escapement(), 0);
  EXPECT_EQ(dc.FontHeightForSize(c.points), c.expectedLogical);
}

INSTANTIATE_TEST_SUITE_P(WorkedExamples, FontHeights,
                         ::testing::Values(HeightCase{600, 10, -83, 83.333}, HeightCase{300, 10, -42, 41.667},
                                           HeightCase{1200, 10, -167, 166.667},
                                           HeightCase{600, 12, -100, 100.0}, HeightCase{96, 8, -11, 10.667}));

TEST(DrawContext, FontHeightForSizeZeroIsOnePixel) {
  TDrawContext dc;
  SetUpPrinter(dc, 600);
  EXPECT_EQ(dc.FontHeightForSize(0), -1);
}

struct PenCase {
  int dpi;
  float mm;
  int pixels;
};
class PenWidths : public ::testing::TestWithParam<PenCase> {};

TEST_P(PenWidths, FromMillimetres) {
  const PenCase& c = GetParam();
  QImage img = WhitePage(10, 10, c.dpi);
  QPainter p(&img);
  TDrawContext dc(&p);
  SetUpPrinter(dc, c.dpi);
  dc.SetLineWidth(c.mm);
  EXPECT_EQ(dc.PenWidth(), c.pixels);
  EXPECT_EQ(p.pen().width(), c.pixels);
  EXPECT_FLOAT_EQ(dc.LineWidth(), c.mm);
}

INSTANTIATE_TEST_SUITE_P(WorkedExamples, PenWidths,
                         ::testing::Values(PenCase{600, 0.0f, 1}, PenCase{600, 0.3f, 7}, PenCase{300, 0.3f, 4},
                                           PenCase{1200, 0.3f, 14}, PenCase{600, 1.0f, 24}));

TEST(DrawContext, LineGoesBetweenTheDevicePoints) {
  QImage img = WhitePage(200, 200, 254);
  QPainter p(&img);
  TDrawContext dc(&p);
  SetUpPrinter(dc, 254);  // ten pixels per millimetre
  dc.SetLineWidth(0);
  dc.Line(2, 5, 15, 5);
  p.end();
  const QRect ink = InkBox(img);
  EXPECT_NEAR(ink.left(), 20, 1);
  EXPECT_NEAR(ink.right(), 150, 1);
  EXPECT_NEAR(ink.top(), 50, 1);
}

struct DeviceCase {
  float value;  // device coordinate before snapping
  int expected;
  int expectedNegated;  // trunc(v * 10000 + 0.5) truncates toward zero, so negatives differ
};
class ToDeviceSnapping : public ::testing::TestWithParam<DeviceCase> {};

TEST_P(ToDeviceSnapping, FourDecimalsThenHalvesToEven) {
  const DeviceCase& c = GetParam();
  TDrawContext dc;  // identity: world = device
  EXPECT_EQ(dc.ToDevice(c.value, -c.value), QPoint(c.expected, c.expectedNegated)) << c.value;
}

INSTANTIATE_TEST_SUITE_P(Table, ToDeviceSnapping,
                         ::testing::Values(DeviceCase{2.49996f, 2, -2},   // 2.5 after four decimals
                                           DeviceCase{3.49996f, 4, -3},   // 3.5 goes to the even 4
                                           DeviceCase{2.4999f, 2, -2},
                                           DeviceCase{2.5001f, 3, -2},    // -25000.999 + 0.5 -> -2.5000
                                           DeviceCase{186.22f, 186, -186}, DeviceCase{0.0f, 0, 0}));

TEST(DrawContext, ToDeviceVectorIgnoresTranslation) {
  TDrawContext dc;
  dc.Transformation().Translate(100, 100);
  dc.Transformation().Scale(2, 2);
  EXPECT_EQ(dc.ToDeviceVector(1.25f, 3), QPoint(2, 6));  // 2.5 -> 2
  EXPECT_EQ(dc.ToDevice(1.25f, 3), QPoint(102, 106));
}

struct AngleCase {
  float x, y, degrees;
};
class Angles : public ::testing::TestWithParam<AngleCase> {};

TEST_P(Angles, InZeroTo360) {
  const AngleCase& c = GetParam();
  EXPECT_NEAR(AngleOf(c.x, c.y), c.degrees, 1e-3);
}

INSTANTIATE_TEST_SUITE_P(Table, Angles,
                         ::testing::Values(AngleCase{1, 0, 0}, AngleCase{0, 1, 90}, AngleCase{0, -1, 270},
                                           AngleCase{0, 0, 270}, AngleCase{-1, 0, 180}, AngleCase{1, -1, 315},
                                           AngleCase{1, 1, 45}));

TEST(DrawContext, RotatedTransformationTurnsTheFont) {
  TDrawContext dc;
  SetUpPrinter(dc, 600);
  dc.Transformation().Rotate(90);
  dc.Font().setPointSize(10);
  dc.ApplyFont();
  EXPECT_EQ(dc.Escapement(), 2700);
  EXPECT_EQ(dc.CanvasFontHeight(), -83);
}

// ---------------------------------------------------------------- text placement

class TextInBox : public ::testing::Test {
 protected:
  void SetUp() override {
    SetUpPrinter(dc, 600);
    dc.Font().setPointSize(10);
  }
  TDrawContext dc;  // no canvas: the runs still go to the recorder
  RunRecorder rec;
  float Px(int devicePixels) const { return float(devicePixels) * 25.4f / 600.0f; }
};

TEST_F(TextInBox, EmptyTextDrawsNothing) {
  for (TTextFlags f : {0u, unsigned(tfWordBreak), unsigned(tfVertCenter | tfRight)})
    EXPECT_EQ(dc.DrawTextInBox(QString(), f, 10, 10, 50, 20), 0.0f);
  EXPECT_TRUE(rec.runs.empty());
}

TEST_F(TextInBox, NoFlagsPutsTheCellCornerOnTheBoxCorner) {
  dc.DrawTextInBox(QStringLiteral("Amtsgericht"), 0, 12.3f, 45.6f, 80, 60);
  ASSERT_EQ(rec.runs.size(), 1u);
  EXPECT_EQ(rec.runs[0].Origin, dc.ToDevice(12.3f, 45.6f));
}

TEST_F(TextInBox, HorizontalFlags) {
  const QString t = QStringLiteral("Hamburg");
  const float w = dc.TextWidth(t);
  dc.DrawTextInBox(t, tfRight, 10, 10, 60, 20);
  dc.DrawTextInBox(t, tfHorzCenter, 10, 10, 60, 20);
  dc.DrawTextInBox(t, tfHorzCenter | tfRight, 10, 10, 60, 20);  // the later rule wins
  ASSERT_EQ(rec.runs.size(), 3u);
  EXPECT_NEAR(Px(rec.runs[0].Origin.x() + rec.runs[0].Advance), 60.0f, Px(2));
  EXPECT_NEAR(Px(rec.runs[1].Origin.x()), (70.0f - w) / 2.0f, Px(1));
  EXPECT_EQ(rec.runs[2].Origin, rec.runs[0].Origin);
}

TEST_F(TextInBox, VerticalFlags) {
  const QString t = QStringLiteral("Köln");
  const float h = dc.TextHeight(t);
  dc.DrawTextInBox(t, tfVertCenter, 10, 10, 60, 30);
  dc.DrawTextInBox(t, tfBottom, 10, 10, 60, 30);
  dc.DrawTextInBox(t, tfVertCenter | tfBottom, 10, 10, 60, 30);
  dc.DrawTextInBox(t, tfVertCenter, 10, 10, 60, 11);  // taller than the box: starts above it
  ASSERT_EQ(rec.runs.size(), 4u);
  EXPECT_NEAR(Px(rec.runs[0].Origin.y()) + h / 2.0f, 20.0f, Px(1));
  EXPECT_NEAR(Px(rec.runs[1].Origin.y()) + h, 30.0f, Px(1));
  EXPECT_EQ(rec.runs[2].Origin, rec.runs[1].Origin);
  EXPECT_LT(Px(rec.runs[3].Origin.y()), 10.0f);
}

TEST_F(TextInBox, CalcOnlyReturnsTheDrawnHeightAndDrawsNothing) {
  const QString t = QStringLiteral("Gläubiger Forderung aus Kaufvertrag vom 01.02.2026");
  for (TTextFlags f : {0u, unsigned(tfWordBreak)}) {
    rec.runs.clear();
    const float calc = dc.DrawTextInBox(t, f | tfCalcOnly, 10, 10, 40, 20);
    EXPECT_TRUE(rec.runs.empty());
    const float drawn = dc.DrawTextInBox(t, f, 10, 10, 40, 20);
    EXPECT_FALSE(rec.runs.empty());
    EXPECT_FLOAT_EQ(calc, drawn);
  }
  QImage img = WhitePage(100, 100, 600);
  QPainter p(&img);
  TDrawContext onImage(&p);
  onImage.DrawTextInBox(t, tfCalcOnly | tfWordBreak, 0, 0, 30, 30);
  p.end();
  EXPECT_TRUE(InkBox(img).isNull());
}

TEST_F(TextInBox, WordBreakBlockStartsAtTopWhenTallerThanTheBox) {
  const QString t = QStringLiteral("eins zwei drei vier fünf sechs sieben acht");
  const float total = dc.DrawTextInBox(t, tfWordBreak | tfVertCenter, 10, 10, 25, 12);
  ASSERT_GT(rec.runs.size(), 2u);
  EXPECT_FLOAT_EQ(total, float(rec.runs.size()) * dc.TextHeight(QStringLiteral("Xy")));
  EXPECT_EQ(rec.runs[0].Origin.y(), dc.ToDevice(10, 10).y());
}

TEST_F(TextInBox, WordBreakUsesTheXyPitch) {
  const float pitch = dc.TextHeight(QStringLiteral("Xy"));
  dc.DrawTextInBox(QStringLiteral("aaa\r\n...\r\n___"), tfWordBreak, 10, 10, 60, 40);
  ASSERT_EQ(rec.runs.size(), 3u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(rec.runs[size_t(i)].Origin, dc.ToDevice(10, 10 + float(i) * pitch));
}

TEST_F(TextInBox, WordBreakCentresAndRightAlignsEachLine) {
  dc.DrawTextInBox(QStringLiteral("Zeile eins\rzwei"), tfWordBreak | tfRight, 10, 10, 60, 40);
  ASSERT_EQ(rec.runs.size(), 2u);
  for (const TTextRun& r : rec.runs) EXPECT_NEAR(Px(r.Origin.x() + r.Advance), 60.0f, Px(2));
}

TEST_F(TextInBox, AdvancesAreDifferencesOfRoundedCumulativePositions) {
  dc.DrawTextAt(QStringLiteral("Wii"), 0, 0);
  ASSERT_EQ(rec.runs.size(), 1u);
  const TFontInfo& info = FontCache().GetFontInfo(dc.Font());
  const float h = dc.FontHeight();
  float acc = 0;
  std::vector<int> expected;
  int prev = 0;
  for (char c : std::string("Wii")) {
    expected.push_back(prev);
    acc += info.CharWidth(static_cast<unsigned char>(c), h);
    prev = int(std::trunc(acc + 0.5f));
  }
  EXPECT_EQ(rec.runs[0].Offsets, expected);
  EXPECT_EQ(rec.runs[0].Advance, prev);
  EXPECT_NEAR(h, 83.333, 0.001);  // the advances use the unrounded height
  EXPECT_EQ(rec.runs[0].PixelHeight, 83);
}

TEST_F(TextInBox, TextLongerThan1024CharactersIsDrawnWhole) {
  const QString t(1500, QLatin1Char('x'));
  dc.DrawTextAt(t, 0, 0);
  ASSERT_EQ(rec.runs.size(), 1u);
  ASSERT_EQ(rec.runs[0].Offsets.size(), 1500u);
  const TFontInfo& info = FontCache().GetFontInfo(dc.Font());
  EXPECT_NEAR(rec.runs[0].Advance, 1500 * info.CharWidth('x', dc.FontHeight()), 1.0);

  // And on a real device the last character is there too.
  QImage img = WhitePage(3500, 60, 96);
  QPainter p(&img);
  TDrawContext small(&p);
  SetUpPrinter(small, 96);
  small.Font().setPointSize(3);  // an em of 4 pixels, 2 pixels per x
  small.DrawTextAt(t, 0, 0);
  p.end();
  const QRect ink = InkBox(img);
  const int end = rec.runs.back().Origin.x() + rec.runs.back().Advance;
  EXPECT_GT(end, 2900);
  EXPECT_GT(ink.right(), end - 4);
}

// ---------------------------------------------------------------- WrapText

struct WrapCase {
  const char* name;
  const char* text;  // UTF-8
  float width;       // mm
  std::vector<const char*> lines;
};
class Wrapping : public ::testing::TestWithParam<WrapCase> {};

TEST_P(Wrapping, Lines) {
  const WrapCase& c = GetParam();
  TDrawContext dc;
  dc.Font().setPointSize(10);
  QStringList lines;
  dc.WrapText(QString::fromUtf8(c.text), lines, c.width);
  QStringList expected;
  for (const char* l : c.lines) expected << QString::fromUtf8(l);
  EXPECT_EQ(lines, expected) << c.name << ": " << lines.join(QLatin1Char('|')).toStdString();
}

// In Arial 10 pt "Müller" is about 11.6 mm wide, a space about 1 mm.
INSTANTIATE_TEST_SUITE_P(
    Table, Wrapping,
    ::testing::Values(WrapCase{"empty", "", 50, {}},
                      WrapCase{"fits", "Müller Meier", 50, {"Müller Meier"}},
                      WrapCase{"break at space", "Müller Meier", 15, {"Müller", "Meier"}},
                      WrapCase{"only the last space before the overflow is dropped", "Müller  Meier", 15, {"Müller ", "Meier"}},
                      WrapCase{"crlf", "a\r\nb", 50, {"a", "b"}},
                      WrapCase{"lone cr", "a\rb", 50, {"a", "b"}},
                      WrapCase{"lone lf", "a\nb", 50, {"a", "b"}},
                      WrapCase{"empty line between", "a\r\n\r\nb", 50, {"a", "", "b"}},
                      WrapCase{"trailing crlf adds no line", "a\r\n", 50, {"a"}},
                      WrapCase{"word split at last fitting char", "Mahnbescheid", 10, {"Mahn", "besch", "eid"}},
                      WrapCase{"narrower than a letter", "Wal", 0.5f, {"W", "a", "l"}},
                      WrapCase{"zero width", "ab", 0, {"a", "b"}},
                      WrapCase{"negative width", "ab", -5, {"a", "b"}}),
    [](const auto& info) {
      std::string n = info.param.name;
      for (char& ch : n)
        if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return n;
    });

TEST(DrawContext, WrappedLinesFitTheWidth) {
  TDrawContext dc;
  dc.Font().setPointSize(10);
  QStringList lines;
  const QString text = QStringLiteral(
      "Forderung aus Warenlieferung gemäß Rechnung Nr. 2026-0815 vom 14.03.2026 über insgesamt "
      "1.234,56 EUR zuzüglich Verzugszinsen");
  dc.WrapText(text, lines, 40);
  ASSERT_GT(lines.size(), 2);
  for (const QString& l : lines) EXPECT_LE(dc.TextWidth(l), 40.0f + 0.04f) << l.toStdString();
  EXPECT_EQ(lines.join(QLatin1Char(' ')), text);
}

// ---------------------------------------------------------------- device independence

TEST(DrawContext, LayoutIsTheSameAt300_600_1200Dpi) {
  const QString line = QStringLiteral("Antragsteller: Müller & Söhne GmbH, Köln");  // 40 characters
  ASSERT_EQ(line.size(), 40);
  const int dpis[] = {300, 600, 1200};
  const TTextFlags flagSets[] = {0, tfHorzCenter, tfRight, tfWordBreak, tfWordBreak | tfRight};
  // Per flag set and dpi: the left edge of every character in millimetres.
  std::map<std::pair<TTextFlags, int>, std::vector<double>> edges;
  std::map<int, double> widthMm;
  for (int dpi : dpis) {
    TDrawContext dc;
    SetUpPrinter(dc, dpi);
    dc.Font().setPointSize(10);
    for (TTextFlags f : flagSets) {
      RunRecorder rec;
      dc.DrawTextInBox(line, f, 15.0f, 20.0f, 120.0f, 40.0f);
      std::vector<double>& e = edges[{f, dpi}];
      for (const TTextRun& r : rec.runs)
        for (int off : r.Offsets) e.push_back((r.Origin.x() + off) * 25.4 / dpi);
      if (f == 0) widthMm[dpi] = rec.runs.at(0).Advance * 25.4 / dpi;
    }
  }
  // The exact design positions of the unflagged line, for reference.
  TDrawContext ref;
  ref.Font().setPointSize(10);
  const TFontInfo& info = FontCache().GetFontInfo(ref.Font());
  const double emMm = 10.0 / 72.0 * 25.4;
  std::vector<double> exact;
  double acc = 15.0;
  for (QChar ch : line) {
    exact.push_back(acc);
    acc += double(info.Width(static_cast<unsigned char>(UnicodeToWin1252(ch)))) / info.EmSize() * emMm;
  }
  double maxDev[3] = {0, 0, 0};
  for (int k = 0; k < 3; ++k) {
    const std::vector<double>& e = edges[{0u, dpis[k]}];
    ASSERT_EQ(e.size(), exact.size());
    for (size_t i = 0; i < e.size(); ++i) maxDev[k] = std::max(maxDev[k], std::fabs(e[i] - exact[i]));
    EXPECT_LE(maxDev[k], 25.4 / dpis[k]) << dpis[k] << " dpi";
  }
  for (TTextFlags f : flagSets) {
    const auto& a = edges[{f, 300}];
    for (int dpi : {600, 1200}) {
      const auto& b = edges[{f, dpi}];
      ASSERT_EQ(a.size(), b.size());
      // Within one device pixel of the coarsest device.
      for (size_t i = 0; i < a.size(); ++i) EXPECT_LE(std::fabs(a[i] - b[i]), 25.4 / 300) << "flags " << f << " char " << i;
    }
  }
  EXPECT_LT(std::fabs(widthMm[300] - widthMm[600]), 0.1);
  EXPECT_LT(std::fabs(widthMm[300] - widthMm[1200]), 0.1);
  EXPECT_LT(std::fabs(widthMm[600] - widthMm[1200]), 0.1);
  std::printf("device independence, 40-character Arial 10 pt line:\n");
  std::printf("  dpi   line width mm   max char edge deviation mm   one pixel mm\n");
  for (int k = 0; k < 3; ++k)
    std::printf("  %4d  %13.4f   %26.4f   %12.4f\n", dpis[k], widthMm[dpis[k]], maxDev[k], 25.4 / dpis[k]);
  std::printf("  exact design width: %.4f mm\n", acc - 15.0);
}

// ---------------------------------------------------------------- pixels

TEST(DrawContext, GlyphInkSitsInTheCellAtThePoint) {
  const int dpi = 600;
  QImage img = WhitePage(400, 300, dpi);
  QPainter p(&img);
  TDrawContext dc(&p);
  SetUpPrinter(dc, dpi);
  dc.Font().setPointSize(10);
  dc.DrawTextAt(QStringLiteral("H"), 5, 4);
  p.end();
  const QPoint at = dc.ToDevice(5, 4);
  QFont f(QStringLiteral("Arial"));
  f.setPixelSize(83);
  QRawFont raw = QRawFont::fromFont(f);
  const quint32 glyph = raw.glyphIndexesForString(QStringLiteral("H")).at(0);
  const QRectF expected = raw.boundingRect(glyph).translated(at.x(), at.y() + raw.ascent());
  const QRect ink = InkBox(img);
  EXPECT_NEAR(ink.left(), expected.left(), 1.5);
  EXPECT_NEAR(ink.top(), expected.top(), 1.5);
  EXPECT_NEAR(ink.right() + 1, expected.right(), 1.5);
  EXPECT_NEAR(ink.bottom() + 1, expected.bottom(), 1.5);
}

TEST(DrawContext, TextColourIsTheFontColour) {
  QImage img = WhitePage(200, 100, 300);
  QPainter p(&img);
  TDrawContext dc(&p);
  SetUpPrinter(dc, 300);
  dc.Font().setPointSize(20);
  dc.SetFontColor(QColor(200, 0, 0));
  dc.DrawTextAt(QStringLiteral("I"), 2, 2);
  p.end();
  const QRect ink = InkBox(img);
  ASSERT_FALSE(ink.isNull());
  const QRgb mid = img.pixel(ink.center());
  EXPECT_EQ(qRed(mid), 200);
  EXPECT_EQ(qGreen(mid), 0);
}

TEST(DrawContext, RotatedTextRunsDownTheDevice) {
  QImage img = WhitePage(300, 600, 300);
  QPainter p(&img);
  TDrawContext dc(&p);
  SetUpPrinter(dc, 300);
  dc.Transformation().Translate(20, 5);
  dc.Transformation().Rotate(90);  // world x runs down the device
  dc.Font().setPointSize(12);
  dc.DrawTextAt(QStringLiteral("MMMMMMMM"), 0, 0);
  p.end();
  const QRect ink = InkBox(img);
  ASSERT_FALSE(ink.isNull());
  EXPECT_GT(ink.height(), 3 * ink.width());
  const QPoint at = dc.ToDevice(0, 0);
  EXPECT_LE(ink.right(), at.x() + 1);  // the cell lies to the left of the point after the turn
  EXPECT_GE(ink.top(), at.y() - 1);
}

TEST(PrinterDrawContext, TakesTheGivenPageAndResolution) {
  QImage img = WhitePage(50, 70, 96);
  QPainter p(&img);
  TPrinterDrawContext dc(p, QRect(0, 0, 4960, 7016), 600);
  EXPECT_EQ(dc.DeviceRect(), TRect(0, 0, 4960, 7016));
  EXPECT_EQ(dc.ClipRect(), TRect(-32000, -32000, 32000, 32000));
  EXPECT_EQ(dc.ResolutionY(), 600);
  EXPECT_EQ(dc.Canvas(), &p);
}

TEST(DrawContext, DefaultsAfterConstruction) {
  QImage img = WhitePage(10, 10, 300);
  QPainter p(&img);
  TDrawContext dc(&p);
  EXPECT_EQ(dc.Font().family(), QStringLiteral("Arial"));
  EXPECT_EQ(dc.Font().pointSize(), 8);
  EXPECT_FALSE(dc.Font().bold());
  EXPECT_EQ(dc.DeviceRect(), TRect(-32000, -32000, 32000, 32000));
  EXPECT_EQ(dc.ResolutionY(), 300);
  EXPECT_EQ(dc.Transformation().TransformPoint(3, 4), QPointF(3, 4));
}

}  // namespace
