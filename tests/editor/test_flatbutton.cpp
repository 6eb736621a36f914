#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>

#include "TestSupport.h"
#include "editor/uVisualStyles.h"
#include "editor/uqvFlatButton.h"

namespace {

// Mouse events straight to the button, as the platform delivers them while a press is captured.
void Mouse(QWidget* w, QEvent::Type type, QPoint pos) {
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

struct TButtonFixture : ::testing::Test {
  QWidget window;
  TQVFlatButton* button = nullptr;
  QMenu menu;
  int clicks = 0;
  std::vector<QPoint> popups;

  void SetUp() override {
    window.resize(300, 200);
    button = new TQVFlatButton(&window);
    button->setGeometry(50, 40, 80, 24);
    button->SetCaption("Hilfe ?");
    button->OnClick = [this](TQVFlatButton*) { ++clicks; };
    menu.addAction("Eins");
    TQVFlatButton::SetMenuPopper([this](QMenu*, const QPoint& p) { popups.push_back(p); });
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  }
  void TearDown() override { TQVFlatButton::SetMenuPopper({}); }
  void ClickAt(QPoint p) {
    Mouse(button, QEvent::MouseButtonPress, p);
    Mouse(button, QEvent::MouseButtonRelease, p);
  }
};

}  // namespace

TEST_F(TButtonFixture, PressDragRelease) {
  Mouse(button, QEvent::MouseButtonPress, {10, 10});
  EXPECT_TRUE(button->ButtonPressed());
  EXPECT_EQ(button->PressedPart(), 1);
  Mouse(button, QEvent::MouseMove, {200, 10});
  EXPECT_FALSE(button->ButtonPressed());
  Mouse(button, QEvent::MouseButtonRelease, {200, 10});
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(button->PressedPart(), 0);
  EXPECT_FALSE(button->Tracking());

  Mouse(button, QEvent::MouseButtonPress, {10, 10});
  Mouse(button, QEvent::MouseMove, {200, 10});
  Mouse(button, QEvent::MouseMove, {20, 12});
  EXPECT_TRUE(button->ButtonPressed());
  Mouse(button, QEvent::MouseButtonRelease, {20, 12});
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(button->hasFocus());  // a press takes the focus when TabStop is set
}

// "Hilfe ?" and the "x" buttons: a click, as the window system delivers it, acts and leaves the focus
// in the field being typed in; Tab, Return and Space never reach the button.
TEST_F(TButtonFixture, WithoutTabStopTheButtonNeverTakesTheFocus) {
  auto* edit = new QLineEdit(&window);
  edit->setGeometry(50, 100, 120, 24);
  auto* other = new QLineEdit(&window);
  other->setGeometry(50, 140, 120, 24);
  edit->show();
  other->show();
  button->SetTabStop(false);
  EXPECT_FALSE(button->TabStop());
  edit->setFocus(Qt::OtherFocusReason);
  QTest::keyClicks(edit, QStringLiteral("31.0"));
  ASSERT_TRUE(edit->hasFocus());

  QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(edit->hasFocus());
  EXPECT_FALSE(button->hasFocus());
  EXPECT_FALSE(button->HasFocusFlag());
  // Typing goes on in the field; Space and Return are the field's.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(edit->text(), QStringLiteral("31.0 "));
  EXPECT_EQ(clicks, 1);
  // Tab passes it by.
  QTest::keyClick(edit, Qt::Key_Tab);
  EXPECT_TRUE(other->hasFocus());
  QTest::keyClick(other, Qt::Key_Tab);
  EXPECT_FALSE(button->hasFocus());

  // With a tab stop, the same click takes the focus.
  button->SetTabStop(true);
  QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
  EXPECT_EQ(clicks, 2);
  EXPECT_TRUE(button->hasFocus());
}

TEST_F(TButtonFixture, ComboPartsShareOneColumnAndOpenTheMenuByItsAlignment) {
  button->SetStyle(fbCombo);
  EXPECT_EQ(button->ButtonPartRect(), QRect(0, 0, 68, 24));
  EXPECT_EQ(button->DropDownPartRect(), QRect(67, 0, 13, 24));
  ClickAt({10, 10});
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(popups.empty());
  ClickAt({75, 10});  // no menu: nothing
  EXPECT_TRUE(popups.empty());

  button->SetComboPopupMenu(&menu);
  const int mw = menu.sizeHint().width();
  const QPoint below = button->mapToGlobal(QPoint(0, 24));
  SetMenuAlignment(&menu, TMenuAlignment::Left);
  ClickAt({75, 10});
  SetMenuAlignment(&menu, TMenuAlignment::Right);
  ClickAt({75, 10});
  SetMenuAlignment(&menu, TMenuAlignment::Center);
  ClickAt({75, 10});
  ASSERT_EQ(popups.size(), 3u);
  EXPECT_EQ(popups[0], below);
  EXPECT_EQ(popups[1], below + QPoint(80 - mw, 0));
  EXPECT_EQ(popups[2], below + QPoint(40 - mw / 2, 0));
  EXPECT_EQ(clicks, 1);

  Mouse(button, QEvent::MouseButtonPress, {67, 10});  // the shared column: the drop-down part
  EXPECT_TRUE(button->ButtonPressed());
  EXPECT_TRUE(button->DropDownPressed());
  EXPECT_EQ(button->PressedPart(), 2);
  Mouse(button, QEvent::MouseButtonRelease, {67, 10});
  EXPECT_EQ(popups.size(), 4u);
}

TEST_F(TButtonFixture, DropDownStyleOpensTheMenuOrClicks) {
  button->SetStyle(fbDropDown);
  ClickAt({10, 10});
  EXPECT_EQ(clicks, 1);
  button->SetComboPopupMenu(&menu);
  ClickAt({10, 10});
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(popups.size(), 1u);
  EXPECT_FALSE(button->IsMouseOver());
}

TEST_F(TButtonFixture, Keys) {
  button->setFocus();
  ASSERT_TRUE(button->hasFocus());
  QTest::keyClick(button, Qt::Key_Return);
  EXPECT_EQ(clicks, 1);
  QTest::keyClick(button, Qt::Key_Return, Qt::ControlModifier);  // DropDown, without a menu nothing
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(popups.empty());
  button->SetComboPopupMenu(&menu);
  QTest::keyClick(button, Qt::Key_Return, Qt::ControlModifier);
  EXPECT_EQ(popups.size(), 1u);
  QTest::keyClick(button, Qt::Key_Space);
  EXPECT_EQ(clicks, 2);
  button->SetCaption("&Hilfe");
  QTest::keyClick(&window, Qt::Key_H, Qt::AltModifier);
  EXPECT_EQ(clicks, 3);
}

TEST_F(TButtonFixture, MenuDestructionClearsTheReference) {
  auto* m = new QMenu;
  button->SetComboPopupMenu(m);
  delete m;
  EXPECT_EQ(button->ComboPopupMenu(), nullptr);
  button->DropDown();  // nothing to open
  EXPECT_TRUE(popups.empty());
}

TEST_F(TButtonFixture, FlatLookColours) {
  SetVisualStylesActive(false);
  button->SetColor(QColor(0x21, 0x8C, 0x00));
  button->SetBorderColor(QColor(0xFF, 0xFB, 0xF0));
  button->SetHighlightColor(QColor(0x2D, 0xBE, 0x00));
  QImage img = button->grab().toImage();
  EXPECT_EQ(img.pixelColor(0, 0), QColor(0xFF, 0xFB, 0xF0));
  EXPECT_EQ(img.pixelColor(79, 23), QColor(0xFF, 0xFB, 0xF0));
  // Middle rows of the face: the base colour, 10 % lighter than the face colour.
  const QColor base = TQVFlatButton::AdjustLightness(QColor(0x21, 0x8C, 0x00), 10);
  EXPECT_EQ(img.pixelColor(3, 12), base);
  // The top row is lighter than the base, the bottom row darker.
  EXPECT_GT(img.pixelColor(3, 1).lightness(), base.lightness());
  EXPECT_LT(img.pixelColor(3, 22).lightness(), base.lightness());

  button->setEnabled(false);
  img = button->grab().toImage();
  EXPECT_EQ(img.pixelColor(0, 0), QColor(0x2D, 0xBE, 0x00));
  bool textInHighlight = false;
  for (int x = 10; x < 70; ++x)
    for (int y = 6; y < 18; ++y) textInHighlight |= img.pixelColor(x, y) == QColor(0x2D, 0xBE, 0x00);
  EXPECT_TRUE(textInHighlight);
  ResetVisualStyles();
}

TEST_F(TButtonFixture, ClassicLookShowsSunkenEdgeWhilePressed) {
  SetVisualStylesActive(false);
  button->SetFlat(false);
  EXPECT_EQ(button->grab().toImage().pixel(0, 0) & 0xFFFFFF, SysButtonHighlightColor().rgb() & 0xFFFFFF);
  Mouse(button, QEvent::MouseButtonPress, {10, 10});
  EXPECT_EQ(button->grab().toImage().pixel(0, 0) & 0xFFFFFF, SysButtonDarkShadowColor().rgb() & 0xFFFFFF);
  Mouse(button, QEvent::MouseButtonRelease, {10, 10});
  ResetVisualStyles();
}

struct TLightCase {
  unsigned rgb;
  double percent;
  unsigned expected;
};
class AdjustLightness : public ::testing::TestWithParam<TLightCase> {};

TEST_P(AdjustLightness, Table) {
  const QColor c = TQVFlatButton::AdjustLightness(QColor::fromRgb(GetParam().rgb), GetParam().percent);
  EXPECT_EQ(c.rgb() & 0xFFFFFF, GetParam().expected) << std::hex << (c.rgb() & 0xFFFFFF);
}

INSTANTIATE_TEST_SUITE_P(Values, AdjustLightness,
                         ::testing::Values(TLightCase{0xFFFFFF, 20, 0xFFFFFF}, TLightCase{0x000000, 50, 0x000000},
                                           TLightCase{0x000000, -50, 0x000000}, TLightCase{0x808080, -20, 0x666666},
                                           TLightCase{0xFF0000, -50, 0x800000},
                                           // green face of the main window's buttons, 10 % lighter
                                           TLightCase{0x218C00, 10, 0x249A00}));

TEST(FlatButtonArrow, FiveThreeOne) {
  QImage img(30, 10, QImage::Format_RGB32);
  img.fill(Qt::white);
  {
    QPainter p(&img);
    TQVFlatButton::DrawArrow(p, 10, 0, 22, 10, Qt::black);  // 12 wide: starts at left + 4
    TQVFlatButton::DrawArrow(p, 0, 0, 4, 10, Qt::black);    // 4 wide: nothing
  }
  auto row = [&](int y) {
    QString s;
    for (int x = 0; x < 30; ++x) s += img.pixelColor(x, y) == QColor(Qt::black) ? '#' : '.';
    return s;
  };
  // y = (0 + 10 - 3) div 2 + 1 = 4
  EXPECT_EQ(row(3), QString(30, '.'));
  EXPECT_EQ(row(4), "..............#####...........");
  EXPECT_EQ(row(5), "...............###............");
  EXPECT_EQ(row(6), "................#.............");
  EXPECT_EQ(row(7), QString(30, '.'));
}
