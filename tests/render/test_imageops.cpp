#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>

#include "TestSupport.h"
#include "diagnostics/udebug.h"
#include "platform/uErrors.h"
#include "render/uDrawContext.h"
#include "render/uPrinterDrawContext.h"

namespace {

// A 4 x 4 source whose every pixel has its own colour.
QImage Source4x4() {
  QImage img(4, 4, QImage::Format_ARGB32);
  for (int v = 0; v < 4; ++v)
    for (int u = 0; u < 4; ++u) img.setPixel(u, v, qRgb(40 + 50 * u, 40 + 50 * v, 255 - 30 * (u + v)));
  return img;
}

QImage Page(int w, int h, int dpi) {
  QImage img(w, h, QImage::Format_ARGB32);
  img.fill(Qt::white);
  img.setDotsPerMeterX(qRound(dpi / 0.0254));
  img.setDotsPerMeterY(qRound(dpi / 0.0254));
  return img;
}

// Device pixels per millimetre at the dpi used below: 254 dpi = 10 px/mm, 508 dpi = 20 px/mm.
float PxPerMm(int dpi) { return float(dpi) / 25.4f; }

enum class Op { OrthogonalBlt, BitsOrthogonal, Bits };

struct OrthoCase {
  const char* name;
  Op op;
  int dpi;
};
class OrthogonalDraw : public ::testing::TestWithParam<OrthoCase> {};

// A 4 x 4 source into the 4 x 4 mm square at (1, 1): every source pixel fills its own
// 1 mm block of device pixels.
TEST_P(OrthogonalDraw, EachSourcePixelFillsItsBlock) {
  const OrthoCase& c = GetParam();
  const float s = PxPerMm(c.dpi);
  const int block = qRound(s);
  QImage page = Page(7 * block, 7 * block, c.dpi);
  const QImage src = Source4x4();
  {
    QPainter p(&page);
    TPrinterDrawContext dc(p, page.rect(), c.dpi);
    dc.Transformation().Scale(s, s);
    switch (c.op) {
      case Op::OrthogonalBlt: dc.DrawImageOrthogonalBlt(src, 1, 1, 4, 4); break;
      case Op::BitsOrthogonal: dc.DrawBitsOrthogonal(TBitmapData::FromImage(src), 1, 1, 4, 4, 0, 0, 4, 4); break;
      case Op::Bits: dc.DrawBits(TBitmapData::FromImage(src), 1, 1, 4, 4, 0, 0, 4, 4); break;
    }
  }
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x) {
      const int u = x / block - 1, v = y / block - 1;
      const QRgb expected = (u >= 0 && u < 4 && v >= 0 && v < 4) ? src.pixel(u, v) : qRgb(255, 255, 255);
      ASSERT_EQ(page.pixel(x, y), expected) << c.name << " at " << x << "," << y;
    }
}

INSTANTIATE_TEST_SUITE_P(
    SmallImages, OrthogonalDraw,
    ::testing::Values(OrthoCase{"blt_254dpi", Op::OrthogonalBlt, 254}, OrthoCase{"blt_508dpi", Op::OrthogonalBlt, 508},
                      OrthoCase{"bits_orthogonal_254dpi", Op::BitsOrthogonal, 254},
                      OrthoCase{"bits_orthogonal_508dpi", Op::BitsOrthogonal, 508},
                      OrthoCase{"bits_254dpi", Op::Bits, 254}, OrthoCase{"bits_762dpi", Op::Bits, 762}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ImageOps, SourceRangeSelectsPixels) {
  QImage page = Page(60, 60, 254);
  const QImage src = Source4x4();
  {
    QPainter p(&page);
    TPrinterDrawContext dc(p, page.rect(), 254);
    dc.Transformation().Scale(10, 10);
    dc.DrawBitsOrthogonal(TBitmapData::FromImage(src), 1, 1, 2, 2, 2, 1, 2, 2);  // pixels (2..3, 1..2)
  }
  EXPECT_EQ(page.pixel(15, 15), src.pixel(2, 1));
  EXPECT_EQ(page.pixel(25, 15), src.pixel(3, 1));
  EXPECT_EQ(page.pixel(15, 25), src.pixel(2, 2));
  EXPECT_EQ(page.pixel(29, 29), src.pixel(3, 2));
  EXPECT_EQ(page.pixel(30, 30), qRgb(255, 255, 255));
}

TEST(ImageOps, ClippedByTheDeviceRectTheVisiblePartStaysInPlace) {
  QImage page = Page(60, 60, 254);
  const QImage src = Source4x4();
  {
    QPainter p(&page);
    TPrinterDrawContext dc(p, QRect(0, 0, 60, 60), 254);
    dc.Transformation().Scale(10, 10);
    dc.DrawBitsOrthogonal(TBitmapData::FromImage(src), -2, 0, 4, 4, 0, 0, 4, 4);  // half off the page
  }
  // Columns 2 and 3 of the source are visible at x 0..19; nothing purple, nothing shifted.
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 20; ++x) ASSERT_EQ(page.pixel(x, y), src.pixel(2 + x / 10, y / 10)) << x << "," << y;
    for (int x = 20; x < 60; ++x) ASSERT_EQ(page.pixel(x, y), qRgb(255, 255, 255)) << x << "," << y;
  }
}

TEST(ImageOps, QuarterTurnGoesThroughTheOrthogonalPath) {
  QImage page = Page(80, 80, 254);
  const QImage src = Source4x4();
  {
    QPainter p(&page);
    TPrinterDrawContext dc(p, page.rect(), 254);
    dc.Transformation().Scale(10, 10);
    dc.Transformation().Translate(6, 1);
    dc.Transformation().Rotate(90);  // world (x, y) -> device ((6 - y) * 10, (x + 1) * 10)
    dc.DrawBits(TBitmapData::FromImage(src), 1, 1, 4, 4, 0, 0, 4, 4);
  }
  for (int v = 0; v < 4; ++v)
    for (int u = 0; u < 4; ++u) {
      const int x = int((6 - (1.5 + v)) * 10), y = int((1.5 + u + 1) * 10);
      EXPECT_EQ(page.pixel(x, y), src.pixel(u, v)) << u << "," << v;
    }
  // The image covers device x 10..49 and y 20..59 only.
  EXPECT_EQ(page.pixel(9, 30), qRgb(255, 255, 255));
  EXPECT_EQ(page.pixel(50, 30), qRgb(255, 255, 255));
  EXPECT_EQ(page.pixel(30, 19), qRgb(255, 255, 255));
  EXPECT_EQ(page.pixel(30, 60), qRgb(255, 255, 255));
}

struct RotatedCase {
  int dpi;
  float angle;
};
class RotatedDraw : public ::testing::TestWithParam<RotatedCase> {};

// The rotated path: each source pixel's centre lands on the mapped centre, and the image stays
// inside its parallelogram.
TEST_P(RotatedDraw, PixelCentresLandOnTheMappedCentres) {
  const int dpi = GetParam().dpi;
  const float s = PxPerMm(dpi);
  QImage page = Page(int(16 * s), int(16 * s), dpi);
  const QImage src = Source4x4();
  TTransformation map;
  {
    QPainter p(&page);
    TPrinterDrawContext dc(p, page.rect(), dpi);
    dc.Transformation().Scale(s, s);
    dc.Transformation().RotateAbout(8, 8, GetParam().angle);
    dc.DrawBits(TBitmapData::FromImage(src), 4, 4, 8, 8, 0, 0, 4, 4);  // 2 mm per source pixel
    map.Assign(dc.Transformation());
  }
  for (int v = 0; v < 4; ++v)
    for (int u = 0; u < 4; ++u) {
      const QPointF c = map.TransformPoint(4 + 2 * u + 1.0f, 4 + 2 * v + 1.0f);
      EXPECT_EQ(page.pixel(int(c.x()), int(c.y())), src.pixel(u, v)) << u << "," << v;
    }
  // The centre of the square and a point well outside it.
  const QPointF outside = map.TransformPoint(8, 3);  // 1 mm above the square, in its own frame
  EXPECT_EQ(page.pixel(int(outside.x()), int(outside.y())), qRgb(255, 255, 255));
  int purple = 0;
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x) purple += page.pixel(x, y) == qRgb(0x80, 0, 0x80);
  EXPECT_EQ(purple, 0);
}

INSTANTIATE_TEST_SUITE_P(Angles, RotatedDraw,
                         ::testing::Values(RotatedCase{254, 30}, RotatedCase{254, -45}, RotatedCase{600, 30},
                                           RotatedCase{1200, 135}));

TEST(ImageOps, DrawImageRotatedFillsTheParallelogram) {
  QImage page = Page(100, 100, 254);
  const QImage src = Source4x4();
  TTransformation map;
  {
    QPainter p(&page);
    TDrawContext dc(&p);
    dc.Transformation().Scale(10, 10);
    dc.DrawImageRotated(src, 5, 5, 8, 8, 90, 0, 0, 4, 4);
    EXPECT_EQ(dc.Transformation().StackDepth(), 0);
    map.Assign(dc.Transformation());
    map.Translate(5, 5);
    map.Rotate(90);
  }
  for (int v = 0; v < 4; ++v)
    for (int u = 0; u < 4; ++u) {
      const QPointF c = map.TransformPoint(-4 + 2 * u + 1.0f, -4 + 2 * v + 1.0f);
      const QRgb got = page.pixel(int(c.x()), int(c.y())), want = src.pixel(u, v);
      // Smooth scaling, as the original graphics library draws: near the centre of a block.
      EXPECT_NEAR(qRed(got), qRed(want), 8) << u << "," << v;
      EXPECT_NEAR(qGreen(got), qGreen(want), 8) << u << "," << v;
      EXPECT_NEAR(qBlue(got), qBlue(want), 8) << u << "," << v;
    }
}

TEST(ImageOps, RefusedSourceRangesDrawNothing) {
  QImage page = Page(60, 60, 254);
  const QImage src = Source4x4();
  {
    QPainter p(&page);
    TPrinterDrawContext dc(p, page.rect(), 254);
    dc.Transformation().Scale(10, 10);
    dc.Transformation().Rotate(10);
    const TBitmapData bits = TBitmapData::FromImage(src);
    dc.DrawBits(bits, 1, 1, 4, 4, -1, 0, 4, 4);
    dc.DrawBits(bits, 1, 1, 4, 4, 0, 0, 5, 4);
    dc.DrawBits(bits, 1, 1, 4, 4, 2, 0, 3, 4);  // would read past the right edge
    dc.DrawBits(bits, 1, 1, 4, 4, 0, 0, 0, 4);
    dc.DrawBits(TBitmapData(), 1, 1, 4, 4, 0, 0, 4, 4);
  }
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 60; ++x) ASSERT_EQ(page.pixel(x, y), qRgb(255, 255, 255));
}

TEST(ImageOps, NullImageIsLoggedAndNothingDrawn) {
  QStringList lines;
  TDebug::SetLineSinkForTesting([&](const QString& l) { lines << l; });
  QImage page = Page(40, 40, 254);
  {
    QPainter p(&page);
    TDrawContext dc(&p);
    dc.Transformation().Scale(10, 10);
    dc.DrawImageOrthogonalBlt(QImage(), 0, 0, 3, 3);
  }
  TDebug::SetLineSinkForTesting(nullptr);
  ASSERT_FALSE(lines.isEmpty());
  EXPECT_TRUE(lines.last().endsWith(QStringLiteral("DrawImageOrthogonalBlt: Lockbits failed 2")))
      << lines.last().toStdString();
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(page.pixel(x, y), qRgb(255, 255, 255));
}

TEST(ImageOps, DrawImageAlphaIsNotImplemented) {
  TDrawContext dc;
  try {
    dc.DrawImageAlpha(TBitmapData(), 0, 0, 1, 1, 0, 0, 1, 1);
    FAIL() << "no exception";
  } catch (const EKalnoError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("TDrawContext.DrawImageAlpha ist nicht implementiert"));
  }
}

TEST(ImageOps, DrawShadowRectSaysSoInAPlainBox) {
  TScriptedDialogs dialogs;
  TDrawContext dc;
  dc.DrawShadowRect(1, 2, 3, 4, 5, 6);
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Kind, TDialogKind::Plain);
  EXPECT_EQ(dialogs.Messages[0].Text,
            QStringLiteral("DrawShadowRect(cxDest, cyDest, wDest, hDest, angle, BlurWidth: single) in "
                           "TDrawContext noch nicht implementiert"));
  EXPECT_EQ(dialogs.Messages[0].Buttons, TDialogButtons(dbOk));
}

TEST(ImageOps, IntermediateResolutionIsAtMost360Dpi) {
  // At 762 dpi (30 px/mm) the divisor is 3: a 40-pixel source over 4 mm goes through a bitmap of
  // 10 px/mm, one intermediate pixel per source pixel, three device pixels each.
  QImage page = Page(200, 200, 762);
  QImage src(40, 1, QImage::Format_ARGB32);
  for (int u = 0; u < 40; ++u) src.setPixel(u, 0, u % 2 ? qRgb(0, 0, 0) : qRgb(255, 0, 0));
  {
    QPainter p(&page);
    TPrinterDrawContext dc(p, page.rect(), 762);
    dc.Transformation().Scale(30, 30);
    dc.DrawImageOrthogonalBlt(src, 0, 0, 4, 1);
  }
  for (int x = 0; x < 120; ++x) EXPECT_EQ(page.pixel(x, 10), src.pixel(x / 3, 0)) << x;
  EXPECT_EQ(page.pixel(120, 10), qRgb(255, 255, 255));
}

}  // namespace
