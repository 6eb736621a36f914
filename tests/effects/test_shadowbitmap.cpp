#include <gtest/gtest.h>

#include "effects/uShadowBitmap.h"

namespace {

struct KernelCase {
  double width;
  int radius;
  std::vector<int> k;
};
class Kernels : public ::testing::TestWithParam<KernelCase> {};

TEST_P(Kernels, WorkedExamples) {
  const KernelCase& c = GetParam();
  EXPECT_EQ(TShadowBitmap::ShadowRadius(c.width), c.radius);
  EXPECT_EQ(TShadowBitmap::IntegerKernel(), c.k);
  int sum = 0;
  for (int v : TShadowBitmap::IntegerKernel()) sum += v;
  EXPECT_EQ(sum, 256);
}

INSTANTIATE_TEST_SUITE_P(Widths, Kernels,
                         ::testing::Values(KernelCase{2.0, 5, {2, 7, 17, 31, 45, 52, 45, 31, 17, 7, 2}},
                                           KernelCase{1.0, 2, {14, 63, 102, 63, 14}},
                                           KernelCase{0.5, 1, {27, 202, 27}},
                                           KernelCase{0.0, 0, {256}}, KernelCase{-3.0, 0, {256}}));

struct TransparencyCase {
  float percent;
  int level;
};
class Transparencies : public ::testing::TestWithParam<TransparencyCase> {};

TEST_P(Transparencies, Level) {
  TShadowBitmap b(2, 2);
  b.Transparency(GetParam().percent);
  EXPECT_EQ(b.ShadowLevel(), GetParam().level);
  EXPECT_EQ(b.Brush().color(), QColor(GetParam().level, GetParam().level, GetParam().level));
  EXPECT_EQ(b.Pen().color(), b.Brush().color());
  EXPECT_EQ(b.FontColor(), b.Brush().color());
}

INSTANTIATE_TEST_SUITE_P(Table, Transparencies,
                         ::testing::Values(TransparencyCase{0, 255}, TransparencyCase{100, 0},
                                           TransparencyCase{150, 0}, TransparencyCase{-10, 255},
                                           TransparencyCase{50, 128}, TransparencyCase{25, 191}));

TEST(ShadowBitmap, StartsAtLevel128WithAllOverrides) {
  TShadowBitmap b(4, 4);
  EXPECT_EQ(b.ShadowLevel(), 128);
  EXPECT_TRUE(b.OverridePen && b.OverrideBrush && b.OverrideFont);
}

TEST(ShadowBitmap, BrushIsForcedToGrayUnlessItHasNoFill) {
  TShadowBitmap b(4, 4);
  b.ClearShadow();
  b.SetBrush(QBrush(Qt::red));
  b.FillRect(QRect(0, 0, 2, 4));
  EXPECT_EQ(qRed(b.Image().pixel(0, 0)), 128);
  EXPECT_EQ(qGreen(b.Image().pixel(1, 3)), 128);
  EXPECT_EQ(qRed(b.Image().pixel(2, 0)), 0);  // right edge excluded
  b.SetBrush(QBrush(Qt::red, Qt::NoBrush));
  EXPECT_EQ(b.Brush().color(), QColor(Qt::red));
  b.OverrideBrush = false;
  b.SetBrush(QBrush(Qt::blue));
  EXPECT_EQ(b.Brush().color(), QColor(Qt::blue));
  b.OverridePen = false;
  b.SetPen(QPen(Qt::green));
  EXPECT_EQ(b.Pen().color(), QColor(Qt::green));
}

TEST(ShadowBitmap, ClearShadowFillsBlackAndKeepsTheOverride) {
  TShadowBitmap b(3, 3);
  b.SetBrush(QBrush(Qt::white));
  b.FillRect(QRect(0, 0, 3, 3));
  b.ClearShadow();
  EXPECT_EQ(b.Brush().color(), QColor(Qt::black));  // gray again only with the next brush
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(b.Image().pixel(x, y) & 0x00FFFFFFu, 0u);
  EXPECT_TRUE(b.OverrideBrush);
}

TEST(ShadowBitmap, OnePixelWideBitmapBlursEachRowIntoItself) {
  TShadowBitmap b(1, 5);
  b.ClearShadow();
  b.SetBrush(QBrush(Qt::red));  // forced to gray 128
  b.FillRect(QRect(0, 0, 1, 5));  // gray 128 everywhere
  b.Blur(Qt::black, 2.0f);
  for (int y = 0; y < 5; ++y) EXPECT_EQ(qAlpha(b.Image().pixel(0, y)), 128) << y;
}

TEST(ShadowBitmap, BlurSpreadsAPointByTheKernel) {
  TShadowBitmap b(11, 1);
  b.ClearShadow();
  b.Transparency(0);  // gray 255
  b.FillRect(QRect(5, 0, 1, 1));
  b.Blur(Qt::black, 1.0f);
  const int expected[11] = {0, 0, 0, 14 * 255 / 256, 63 * 255 / 256, 102 * 255 / 256, 63 * 255 / 256,
                            14 * 255 / 256, 0, 0, 0};
  for (int x = 0; x < 11; ++x) EXPECT_EQ(qAlpha(b.Image().pixel(x, 0)), expected[x]) << x;
}

TEST(ShadowBitmap, BlurColoursEveryPixelWithTheGivenColour) {
  TShadowBitmap b(6, 6);
  b.ClearShadow();
  b.SetBrush(QBrush(Qt::red));
  b.FillRect(QRect(2, 2, 2, 2));
  b.Blur(QColor(200, 10, 30), 0.5f);
  for (QPoint p : {QPoint(0, 0), QPoint(2, 2), QPoint(5, 5)}) {
    const QRgb px = b.Image().pixel(p);
    EXPECT_EQ(qRed(px), 200);
    EXPECT_EQ(qGreen(px), 10);
    EXPECT_EQ(qBlue(px), 30);
  }
  EXPECT_GT(qAlpha(b.Image().pixel(2, 2)), 0);
  EXPECT_EQ(qAlpha(b.Image().pixel(0, 0)), 0);
}

TEST(ShadowBitmap, ZeroWidthLeavesTheShapeUnblurred) {
  for (float w : {0.0f, -1.0f}) {
    TShadowBitmap b(5, 5);
    b.ClearShadow();
    b.SetBrush(QBrush(Qt::red));
    b.FillRect(QRect(1, 1, 3, 3));
    b.Blur(Qt::black, w);
    EXPECT_EQ(qAlpha(b.Image().pixel(1, 1)), 128);
    EXPECT_EQ(qAlpha(b.Image().pixel(3, 3)), 128);
    EXPECT_EQ(qAlpha(b.Image().pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(b.Image().pixel(4, 2)), 0);
  }
}

TEST(ShadowBitmap, SameWidthComputesTheKernelOnce) {
  TShadowBitmap b(3, 3);
  TShadowBitmap::ShadowRadius(1.5);
  const int before = TShadowBitmap::KernelComputations();
  b.Blur(Qt::black, 1.5f);
  b.Blur(Qt::black, 1.5f);
  EXPECT_EQ(TShadowBitmap::KernelComputations(), before);
  b.Blur(Qt::black, 2.5f);
  EXPECT_EQ(TShadowBitmap::KernelComputations(), before + 1);
}

TEST(ShadowBitmap, StartUpTileIsASoftBlackSquare) {
  CreateShadowTile();
  const TShadowBitmap& t = ShadowTile();
  ASSERT_EQ(t.Width(), 30);
  ASSERT_EQ(t.Height(), 30);
  int maxAlpha = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) {
      const QRgb px = t.Image().pixel(x, y);
      EXPECT_EQ(px & 0x00FFFFFFu, 0u);
      maxAlpha = std::max(maxAlpha, qAlpha(px));
      // Symmetric about the centre (not about the diagonal: each pass truncates on its own).
      EXPECT_EQ(qAlpha(px), qAlpha(t.Image().pixel(29 - x, 29 - y)));
      EXPECT_NEAR(qAlpha(px), qAlpha(t.Image().pixel(y, x)), 1);
    }
  EXPECT_EQ(maxAlpha, 128);
  EXPECT_EQ(qAlpha(t.Image().pixel(15, 15)), 128);
  EXPECT_EQ(qAlpha(t.Image().pixel(0, 0)), 0);
  // The square's first column: the kernel's centre and right half (154 of 256) of gray 128.
  EXPECT_EQ(qAlpha(t.Image().pixel(5, 15)), 154 * 128 / 256);
  EXPECT_EQ(&ShadowTile(), &t);
}

}  // namespace
