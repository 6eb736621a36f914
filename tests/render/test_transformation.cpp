#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "render/uTransformation.h"

namespace {

struct PointCase {
  const char* name;
  std::function<void(TTransformation&)> setup;
  float x, y;
  double expX, expY;
  bool vector;
};

class TransformationPoints : public ::testing::TestWithParam<PointCase> {};

TEST_P(TransformationPoints, MapsAsWorkedOut) {
  const PointCase& c = GetParam();
  TTransformation t;
  c.setup(t);
  const QPointF p = c.vector ? t.TransformVector(c.x, c.y) : t.TransformPoint(c.x, c.y);
  EXPECT_NEAR(p.x(), c.expX, 1e-4) << c.name;
  EXPECT_NEAR(p.y(), c.expY, 1e-4) << c.name;
}

const float kDpmm600 = 600.0f / 25.4f;

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, TransformationPoints,
    ::testing::Values(
        PointCase{"identity", [](TTransformation&) {}, 3, 4, 3, 4, false},
        PointCase{"printer set-up",
                  [](TTransformation& t) {
                    t.Translate(-50, -60);
                    t.Scale(kDpmm600, kDpmm600);
                  },
                  10, 20, 10.0 * 600 / 25.4 - 50, 20.0 * 600 / 25.4 - 60, false},
        PointCase{"translation acts first",
                  [](TTransformation& t) {
                    t.Scale(2, 3);
                    t.Translate(1, 1);
                  },
                  0, 0, 2, 3, false},
        PointCase{"rotate 90 vector", [](TTransformation& t) { t.Rotate(90); }, 1, 0, 0, 1, true},
        PointCase{"vector ignores translation", [](TTransformation& t) { t.Translate(7, 9); }, 1, 2, 1, 2,
                  true},
        PointCase{"rotate about centre keeps centre", [](TTransformation& t) { t.RotateAbout(10, 10, 180); },
                  10, 10, 10, 10, false},
        PointCase{"rotate about centre", [](TTransformation& t) { t.RotateAbout(10, 10, 180); }, 11, 10, 9,
                  10, false},
        PointCase{"multiply appends", [](TTransformation& t) {
                    TTransformation o;
                    o.Translate(5, 0);
                    t.Scale(2, 2);
                    t.Multiply(o);
                  },
                  1, 1, 12, 2, false}),
    [](const auto& info) {
      std::string n = info.param.name;
      for (char& ch : n)
        if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return n;
    });

TEST(Transformation, PrinterSetUpMatchesTheWorkedNumbers) {
  TTransformation t;
  t.Translate(-50, -60);
  t.Scale(kDpmm600, kDpmm600);
  const QPointF p = t.TransformPoint(10, 20);
  EXPECT_NEAR(p.x(), 186.22, 0.005);
  EXPECT_NEAR(p.y(), 412.44, 0.005);
}

TEST(Transformation, SingularMatrixInvertsToIdentity) {
  TTransformation t;
  t.Scale(0, 1);
  EXPECT_EQ(t.InversePointFixed(5, 7), QPoint(5, 7));
}

TEST(Transformation, FixedPointInverseRoundsHalvesDown) {
  TTransformation t;
  t.Scale(2, 4);  // inverse halves x, quarters y
  EXPECT_EQ(t.InversePointFixed(5, 6), QPoint(2, 1));    // 2.5 -> 2, 1.5 -> 1
  EXPECT_EQ(t.InversePointFixed(7, 10), QPoint(3, 2));   // 3.5 -> 3, 2.5 -> 2
  EXPECT_EQ(t.InversePointFixed(-5, -6), QPoint(-3, -2));  // -2.5 -> -3, -1.5 -> -2
  EXPECT_EQ(t.InversePointFixed(9, 11), QPoint(4, 3));   // 4.5 -> 4, 2.75 -> 3
}

TEST(Transformation, FixedPointInverseUndoesTheMapping) {
  TTransformation t;
  t.Translate(-120, 33);
  t.Scale(kDpmm600, kDpmm600);
  t.Translate(3, 4);
  for (int x = -10; x <= 10; x += 5)
    for (int y = -10; y <= 10; y += 5) {
      const QPointF d = t.TransformPoint(float(x), float(y));
      EXPECT_EQ(t.InversePointFixed(qRound(d.x()), qRound(d.y())), QPoint(x, y));
    }
}

TEST(Transformation, FixedPointInverseOfFarPointsDoesNotWrap) {
  TTransformation t;
  t.Scale(1.0f / 64, 1.0f / 64);  // entries of 64 * 4096 in the fixed-point inverse
  const QPoint p = t.InversePointFixed(30000, -30000);
  EXPECT_EQ(p, QPoint(30000 * 64, -30000 * 64));
}

TEST(Transformation, FixedCopyIsRoundedInverse) {
  TTransformation t;
  t.Scale(3, 1);
  t.Update();
  EXPECT_TRUE(t.Valid());
  EXPECT_EQ(t.InverseFixed()[0], 1365);  // 4096 / 3 = 1365.33
  EXPECT_EQ(t.InverseFixed()[4], 4096);
  EXPECT_EQ(t.InverseFixed()[8], 4096);
}

struct RectCase {
  float x1, y1, x2, y2;
  TRect expected;
};
class TransformationRects : public ::testing::TestWithParam<RectCase> {};

TEST_P(TransformationRects, NormalisedAndRoundedToEven) {
  const RectCase& c = GetParam();
  TTransformation t;
  const TRect r = t.TransformRect(c.x1, c.y1, c.x2, c.y2);
  EXPECT_EQ(r, c.expected) << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom;
}

INSTANTIATE_TEST_SUITE_P(Corners, TransformationRects,
                         ::testing::Values(RectCase{10, 10, 0, 0, TRect(0, 0, 10, 10)},
                                           RectCase{2.5f, 3.5f, 0, 0, TRect(0, 0, 2, 4)},
                                           RectCase{-2.5f, -3.5f, 1.5f, 0.5f, TRect(-2, -4, 2, 0)}));

TEST(Transformation, RectOfARotationIsTheBoundingBox) {
  TTransformation t;
  t.Rotate(45);
  const TRect r = t.TransformRect(0, 0, 10, 10);
  EXPECT_EQ(r, TRect(-7, 0, 7, 14));
}

TEST(Transformation, PushPopRestoresAndEmptyPopIsNoOp) {
  TTransformation t;
  t.Translate(1, 2);
  const TMatrix before = t.Matrix();
  t.Push();
  t.Scale(2, 2);
  EXPECT_NE(t.Matrix(), before);
  t.Pop();
  EXPECT_EQ(t.Matrix(), before);
  EXPECT_TRUE(t.Valid());
  t.Pop();
  EXPECT_EQ(t.Matrix(), before);
}

TEST(Transformation, ResetKeepsTheStack) {
  TTransformation t;
  t.Scale(5, 5);
  const TMatrix pushed = t.Matrix();
  t.Push();
  t.Reset();
  EXPECT_EQ(t.TransformPoint(1, 1), QPointF(1, 1));
  t.Pop();
  EXPECT_EQ(t.Matrix(), pushed);
}

TEST(Transformation, PopAllEmptiesTheStackToTheFirstPushed) {
  TTransformation t;
  t.Push();
  t.Scale(2, 2);
  t.Push();
  t.Scale(3, 3);
  t.PopAll();
  EXPECT_EQ(t.StackDepth(), 0);
  EXPECT_EQ(t.TransformPoint(1, 1), QPointF(1, 1));
}

TEST(Transformation, ValidityFollowsChangesAndAssign) {
  TTransformation t;
  EXPECT_FALSE(t.Valid());
  t.TransformPoint(0, 0);
  EXPECT_TRUE(t.Valid());
  t.Translate(1, 0);
  EXPECT_FALSE(t.Valid());
  t.Update();
  TTransformation copy;
  copy.Push();
  copy.Assign(t);
  EXPECT_TRUE(copy.Valid());
  EXPECT_EQ(copy.Matrix(), t.Matrix());
  EXPECT_EQ(copy.StackDepth(), 1);  // the stack is not copied
}

TEST(Transformation, RoundHalfEvenTable) {
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(2.5000001), 3);
  EXPECT_EQ(RoundHalfEven(std::nan("")), 0);
  EXPECT_EQ(RoundHalfEven(1e300), INT_MAX);
}

}  // namespace
