#include <gtest/gtest.h>

#include <QWidget>

#include "TestSupport.h"
#include "app/uFormPosition.h"
#include "storage/uQVRegistry.h"

namespace {
const QString kSection = QStringLiteral("FormPosition");

struct TClampCase {
  QRect stored;
  QSize screen;
  QRect expected;
};
class Clamp : public ::testing::TestWithParam<TClampCase> {};
}  // namespace

TEST_P(Clamp, PullsBackOntoTheScreen) {
  EXPECT_EQ(ClampFormRect(GetParam().stored, GetParam().screen), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Clamp,
    ::testing::Values(
        TClampCase{QRect(-50, 100, 800, 600), QSize(1280, 1024), QRect(0, 100, 800, 600)},
        TClampCase{QRect(200, 100, 3000, 600), QSize(1280, 1024), QRect(0, 100, 1280, 600)},
        TClampCase{QRect(600, 500, 800, 600), QSize(1280, 1024), QRect(480, 424, 800, 600)},
        // Touching the right edge exactly counts as off it.
        TClampCase{QRect(480, 0, 800, 600), QSize(1280, 1024), QRect(480, 0, 800, 600)},
        TClampCase{QRect(10, -5, 900, 2000), QSize(1280, 1024), QRect(10, 0, 900, 1024)},
        TClampCase{QRect(101, 196, 900, 667), QSize(1280, 1024), QRect(101, 196, 900, 667)}));

class FormPosition : public ::testing::Test {
 protected:
  void SetUp() override { ClearTestSettings(); }
  void Store(int state, int l, int t, int w, int h) {
    QVRegIniFile().WriteInteger(kSection, QStringLiteral("WindowState"), state);
    QVRegIniFile().WriteInteger(kSection, QStringLiteral("Left"), l);
    QVRegIniFile().WriteInteger(kSection, QStringLiteral("Top"), t);
    QVRegIniFile().WriteInteger(kSection, QStringLiteral("Width"), w);
    QVRegIniFile().WriteInteger(kSection, QStringLiteral("Height"), h);
  }
};

TEST_F(FormPosition, StoredLeftMinus50AndWidth3000OnA1280Screen) {
  QWidget w;
  w.setGeometry(101, 196, 900, 667);
  Store(0, -50, 20, 3000, 500);
  RestoreFormPosition(&w, kSection, QSize(1280, 1024));
  EXPECT_EQ(w.pos(), QPoint(0, 20));
  EXPECT_EQ(w.size(), QSize(1280, 500));
  EXPECT_EQ(w.windowState(), Qt::WindowNoState);
}

TEST_F(FormPosition, MaximizedStateIgnoresThePosition) {
  QWidget w;
  w.setGeometry(101, 196, 900, 667);
  Store(2, 5, 5, 300, 200);
  RestoreFormPosition(&w, kSection, QSize(1280, 1024));
  EXPECT_TRUE(w.windowState() & Qt::WindowMaximized);
  EXPECT_EQ(w.size(), QSize(900, 667));
}

TEST_F(FormPosition, MissingValuesKeepTheWindowsOwn) {
  QWidget w;
  w.move(101, 196);
  w.resize(900, 667);
  RestoreFormPosition(&w, kSection, QSize(1280, 1024));
  EXPECT_EQ(w.pos(), QPoint(101, 196));
  EXPECT_EQ(w.size(), QSize(900, 667));
}

TEST_F(FormPosition, DamagedSizeKeepsTheWindowsOwn) {
  QWidget w;
  w.move(10, 10);
  w.resize(900, 667);
  Store(0, 10, 10, 0, -20);
  RestoreFormPosition(&w, kSection, QSize(1280, 1024));
  EXPECT_EQ(w.size(), QSize(900, 667));
}

TEST_F(FormPosition, SaveWritesStateAndNormalGeometry) {
  QWidget w;
  w.move(33, 44);
  w.resize(640, 480);
  SaveFormPosition(&w, kSection);
  EXPECT_EQ(QVRegIniFile().ReadInteger(kSection, QStringLiteral("WindowState"), -1), 0);
  EXPECT_EQ(QVRegIniFile().ReadInteger(kSection, QStringLiteral("Left"), -1), 33);
  EXPECT_EQ(QVRegIniFile().ReadInteger(kSection, QStringLiteral("Top"), -1), 44);
  EXPECT_EQ(QVRegIniFile().ReadInteger(kSection, QStringLiteral("Width"), -1), 640);
  EXPECT_EQ(QVRegIniFile().ReadInteger(kSection, QStringLiteral("Height"), -1), 480);
  // Round trip.
  QWidget other;
  other.resize(100, 100);
  RestoreFormPosition(&other, kSection, QSize(1280, 1024));
  EXPECT_EQ(other.pos(), QPoint(33, 44));
  EXPECT_EQ(other.size(), QSize(640, 480));
}

TEST_F(FormPosition, SaveMaximizedWritesOnlyTheState) {
  QWidget w;
  w.setWindowState(Qt::WindowMaximized);
  SaveFormPosition(&w, kSection);
  EXPECT_EQ(QVRegIniFile().ReadInteger(kSection, QStringLiteral("WindowState"), -1), 2);
  EXPECT_EQ(QVRegIniFile().ReadInteger(kSection, QStringLiteral("Left"), -1), -1);
  EXPECT_EQ(QVRegIniFile().ReadInteger(kSection, QStringLiteral("Width"), -1), -1);
}
