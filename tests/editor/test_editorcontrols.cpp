#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QPainter>
#include <QKeyEvent>
#include <QTest>

#include "TestSupport.h"
#include "editor/uFlatCombobox.h"
#include "editor/uFormEditors.h"
#include "editor/uFormularEditorControls.h"
#include "editor/uVisualStyles.h"
#include "fields/uFormFields.h"

namespace {

const QString kCodes = QStringLiteral(",1,2");
const QString kDisplays = QStringLiteral("\"\", \"1 = Herr\", \"2 = Frau\"");

// A shown, active top-level window, so focus and key events behave as on the desktop.
struct TWindow {
  QWidget w;
  TWindow() {
    w.resize(400, 300);
    w.show();
    QApplication::setActiveWindow(&w);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
  }
};

// Types any text, one key event per character (QTest's key clicks know only ASCII keys).
void TypeText(QWidget* w, const QString& text) {
  for (QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(w, &release);
  }
}

QRgb Pixel(QWidget* w, int x, int y) { return w->grab().toImage().pixel(x, y) & 0xFFFFFF; }
QRgb Rgb(const QColor& c) { return c.rgb() & 0xFFFFFF; }

}  // namespace

// --- comma text -------------------------------------------------------------------------------

struct TCommaCase {
  const char* text;
  QStringList items;
};

class CommaText : public ::testing::TestWithParam<TCommaCase> {};

TEST_P(CommaText, SplitsLikeTheStringList) {
  EXPECT_EQ(CommaTextToStrings(QString::fromUtf8(GetParam().text)), GetParam().items);
  // Writing the items and reading them back gives the same items.
  EXPECT_EQ(CommaTextToStrings(StringsToCommaText(GetParam().items)), GetParam().items);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CommaText,
    ::testing::Values(TCommaCase{",1,2", {"", "1", "2"}},
                      TCommaCase{"\"\", \"1 = Herr\", \"2 = Frau\"", {"", "1 = Herr", "2 = Frau"}},
                      TCommaCase{"", {}}, TCommaCase{"  \t x", {"x"}}, TCommaCase{"a b", {"a", "b"}},
                      TCommaCase{"a , b", {"a", "b"}}, TCommaCase{"1,", {"1", ""}},
                      TCommaCase{",,", {"", "", ""}}, TCommaCase{"\"a\"\"b\",c", {"a\"b", "c"}},
                      TCommaCase{"\"a, b\"x", {"a, b", "x"}}, TCommaCase{"\"offen", {"offen"}},
                      TCommaCase{"1 = Herr", {"1", "=", "Herr"}}));

// --- check box --------------------------------------------------------------------------------

struct TCheckCase {
  const char* text;
  bool checked;
};
class CheckBoxText : public ::testing::TestWithParam<TCheckCase> {};

TEST_P(CheckBoxText, ChecksExactlyForCapitalX) {
  TFormularCheckBox box;
  box.SetText(QString::fromUtf8(GetParam().text));
  EXPECT_EQ(box.isChecked(), GetParam().checked);
  EXPECT_EQ(box.Text(), QString::fromUtf8(GetParam().text));  // the stored string
}

INSTANTIATE_TEST_SUITE_P(Values, CheckBoxText,
                         ::testing::Values(TCheckCase{"X", true}, TCheckCase{"x", false}, TCheckCase{" X", false},
                                           TCheckCase{"1", false}, TCheckCase{"", false}));

TEST(FormularCheckBox, ClickRaisesOnClickBeforeTextFollows) {
  TFormularCheckBox box;
  QStringList seen;
  box.OnClick = [&](TFormularCheckBox* s) { seen << (s->isChecked() ? "on:" : "off:") + s->Text(); };
  box.click();
  EXPECT_EQ(seen, QStringList{"on:"});
  EXPECT_EQ(box.Text(), "X");
  box.click();
  EXPECT_EQ(seen, (QStringList{"on:", "off:X"}));
  EXPECT_EQ(box.Text(), "");
  box.SetText("x");  // unchanged state: no click
  EXPECT_EQ(seen.size(), 2);
}

// --- code-list combo box ------------------------------------------------------------------------

TEST(FormularComboBox, ClosedShowsCodesOpenShowsDisplayTextsAndChoiceStoresTheCode) {
  TWindow win;
  auto* combo = new TFormularComboBox(&win.w);
  combo->setGeometry(10, 10, 120, 24);
  combo->show();
  combo->SetLists(0, kDisplays, kCodes);
  EXPECT_EQ(combo->count(), 3);
  EXPECT_EQ(combo->currentIndex(), 0);  // Text is empty: the empty first pair
  combo->SetText("2");
  EXPECT_EQ(combo->currentText(), "2");

  QStringList log;
  combo->OnDropDown = [&](TFlatComboBox* c) { log << "drop:" + c->currentText(); };
  combo->OnCloseUp = [&](TFlatComboBox* c) { log << "close:" + c->currentText(); };
  combo->setFocus();
  combo->showPopup();
  ASSERT_TRUE(combo->view()->isVisible());
  // The open list highlights the pair of the selected code and shows its display text.
  EXPECT_EQ(combo->view()->currentIndex().row(), 2);
  EXPECT_EQ(combo->DisplayTextAt(combo->view()->currentIndex().row()), "2 = Frau");
  // Choose "1 = Herr" with the keyboard.
  QTest::keyClick(combo->view(), Qt::Key_Up);
  QTest::keyClick(combo->view(), Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_FALSE(combo->ListOpen());
  EXPECT_EQ(combo->currentText(), "1");
  EXPECT_EQ(log, (QStringList{"drop:2", "close:1"}));
  EXPECT_EQ(combo->Text(), "2");  // the value the program set last
}

// While the list is open, typing searches the texts it shows; the codes behind them are numbers.
TEST(FormularComboBox, TypingInTheOpenListSearchesTheShownTexts) {
  TWindow win;
  auto* combo = new TFormularComboBox(&win.w);
  combo->setGeometry(10, 10, 60, 24);
  combo->show();
  const QStringList codes{QString(), "1", "2", "11", "21", "28", "3"};
  const QStringList texts{QString(), "Anzeigen in Zeitungen", "Ärztliche Leistungen", "Kaufvertrag",
                          "Kreditkartenvertrag", "Miete für Wohnraum", "Bürgschaft"};
  combo->SetLists(415, StringsToCommaText(texts), StringsToCommaText(codes));
  combo->setFocus();
  combo->showPopup();
  ASSERT_TRUE(combo->view()->isVisible());
  auto row = [&] { return combo->view()->currentIndex().row(); };
  QTest::keyClicks(combo->view(), "K");
  EXPECT_EQ(combo->DisplayTextAt(row()), "Kaufvertrag");
  // The same letter again moves on; letters in quick succession make one search.
  QTest::keyClicks(combo->view(), "k");
  EXPECT_EQ(combo->DisplayTextAt(row()), "Kreditkartenvertrag");
  QTest::qWait(QApplication::keyboardInputInterval() + 50);
  QTest::keyClicks(combo->view(), "ka");
  EXPECT_EQ(combo->DisplayTextAt(row()), "Kaufvertrag");
  QTest::qWait(QApplication::keyboardInputInterval() + 50);
  // A digit is no text's beginning: the highlighted entry stays, no code is jumped to.
  QTest::keyClicks(combo->view(), "2");
  EXPECT_EQ(combo->DisplayTextAt(row()), "Kaufvertrag");
  QTest::qWait(QApplication::keyboardInputInterval() + 50);
  TypeText(combo->view(), QStringLiteral("ä"));
  EXPECT_EQ(combo->DisplayTextAt(row()), "Ärztliche Leistungen");
  QTest::qWait(QApplication::keyboardInputInterval() + 50);
  QTest::keyClicks(combo->view(), "M");
  QTest::keyClick(combo->view(), Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_FALSE(combo->ListOpen());
  EXPECT_EQ(combo->currentText(), "28");

  // The closed box still finds its codes.
  QTest::keyClicks(combo, "3");
  EXPECT_EQ(combo->currentText(), "3");
}

TEST(FormularComboBox, RepeatedCodesSelectTheFirstPair) {
  TFormularComboBox combo;
  combo.SetLists(0, "\"a\",\"b\",\"c\"", "1,1,2");
  combo.SetText("1");
  EXPECT_EQ(combo.currentIndex(), 0);
  EXPECT_EQ(combo.DisplayTextAt(combo.currentIndex()), "a");
}

TEST(FormularComboBox, UnknownValueKeepsTheSelectionAndAnEditableBoxShowsIt) {
  TFormularComboBox list;
  list.SetLists(0, kDisplays, kCodes);
  list.SetText("7");
  EXPECT_EQ(list.currentIndex(), 0);
  EXPECT_EQ(list.Text(), "7");

  TFormularComboBox edit;
  edit.setEditable(true);
  edit.SetLists(50, "\"\",Rest,Teil", ",Rest,Teil");
  edit.SetText("12.03.07");
  EXPECT_EQ(edit.currentText(), "12.03.07");
  edit.SetText("Teil");
  EXPECT_EQ(edit.currentIndex(), 2);
}

TEST(FormularComboBox, OpenListWidth) {
  TWindow win;
  auto* combo = new TFormularComboBox(&win.w);
  combo->setGeometry(10, 10, 40, 24);
  combo->show();
  const QStringList displays{"Antragsteller aus Spalte 1: Max Mustermann", "kurz", "Antragsteller aus Spalte 2"};
  combo->SetLists(0, StringsToCommaText(displays), "1,2,3");
  combo->showPopup();
  const QFontMetrics fm(combo->font());
  int widest = 0;
  for (const QString& d : displays) widest = std::max(widest, fm.horizontalAdvance(d));
  EXPECT_EQ(combo->DroppedWidth(), widest + 20);
  EXPECT_GE(combo->view()->window()->width(), widest + 20);
  combo->hidePopup();

  combo->SetLists(250, StringsToCommaText(displays), "1,2,3");
  combo->showPopup();
  EXPECT_EQ(combo->DroppedWidth(), 250);
  combo->hidePopup();

  combo->SetLists(0, "", "");
  combo->showPopup();
  EXPECT_EQ(combo->DroppedWidth(), 0);
  combo->hidePopup();
  QApplication::processEvents();
}

// --- flat combo box ----------------------------------------------------------------------------

TEST(FlatComboBox, ArrowIsFiveThreeOnePixels) {
  QImage img(20, 20, QImage::Format_RGB32);
  img.fill(Qt::white);
  {
    QPainter p(&img);
    TFlatComboBox::DrawArrow(p, 2, 0, 14, 12, Qt::black);  // 12 wide: x0 = 6, y0 = 5
    TFlatComboBox::DrawArrow(p, 0, 14, 4, 20, Qt::black);  // narrower than 5: nothing
  }
  auto row = [&](int y) {
    QString s;
    for (int x = 0; x < 20; ++x) s += img.pixelColor(x, y) == QColor(Qt::black) ? '#' : '.';
    return s;
  };
  EXPECT_EQ(row(5), "......#####.........");
  EXPECT_EQ(row(6), ".......###..........");
  EXPECT_EQ(row(7), "........#...........");
  for (int y = 14; y < 20; ++y) EXPECT_EQ(row(y), QString(20, '.'));
}

TEST(FlatComboBox, FrameRingsFollowHotAndFocus) {
  SetVisualStylesActive(false);
  TWindow win;
  auto* other = new QLineEdit(&win.w);
  other->setGeometry(200, 10, 80, 24);
  other->show();
  auto* combo = new TFlatComboBox(&win.w);
  combo->setGeometry(10, 10, 120, 25);
  combo->show();
  EXPECT_EQ(combo->height(), 25);
  const QRect b = combo->ButtonRect();
  const int sb = combo->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, combo);
  EXPECT_EQ(b, QRect(QPoint(120 - sb - 2, 2), QPoint(117, 22)));

  // At rest the third ring is the window colour; hot or focused it shows the inner border.
  EXPECT_EQ(Pixel(combo, 2, 12), Rgb(SysWindowColor()));
  QEvent enter(QEvent::Enter);
  QApplication::sendEvent(combo, &enter);
  EXPECT_TRUE(combo->States() & TFlatComboBox::fcsHot);
  EXPECT_EQ(Pixel(combo, 2, 12), Rgb(SysButtonShadowColor()));
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(combo, &leave);
  EXPECT_EQ(combo->States(), 0u);
  combo->setFocus();
  EXPECT_TRUE(combo->States() & TFlatComboBox::fcsFocused);
  EXPECT_EQ(Pixel(combo, 2, 12), Rgb(SysButtonShadowColor()));
  other->setFocus();
  EXPECT_EQ(combo->States(), 0u);
  ResetVisualStyles();
}

TEST(FlatComboBox, HeightFollowsTheFontAndColoursFollowEnabled) {
  TFlatComboBox combo;
  QFont f("Arial");
  f.setPixelSize(20);
  combo.setFont(f);
  EXPECT_EQ(combo.height(), QFontMetrics(f).height() + 6);
  combo.setEnabled(false);
  EXPECT_EQ(Rgb(combo.palette().color(QPalette::Base)), Rgb(SysButtonFaceColor()));
  EXPECT_EQ(Rgb(combo.palette().color(QPalette::Text)), Rgb(SysButtonShadowColor()));
  combo.setEnabled(true);
  EXPECT_EQ(Rgb(combo.palette().color(QPalette::Base)), Rgb(SysWindowColor()));
}

// --- edits: Windows-1252 and length ------------------------------------------------------------

TEST(FormularEdit, RefusesCharactersWindows1252CannotHold) {
  TWindow win;
  auto* edit = new TFormularEdit(&win.w);
  edit->show();
  edit->setFocus();
  TypeText(edit, QString::fromUtf8("Stra\u00dfe \u20ac\u2713\u0141"));
  EXPECT_EQ(edit->text(), QString::fromUtf8("Stra\u00dfe \u20ac"));
  QApplication::clipboard()->setText(QString::fromUtf8("a\u2192b"));
  QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(edit->text(), QString::fromUtf8("Stra\u00dfe \u20acab"));
}

TEST(FormularEdit, MaximumLengthLimitsTypingNotTheProgram) {
  TWindow win;
  auto* edit = new TFormularEdit(&win.w);
  edit->show();
  edit->setFocus();
  edit->SetMaxLength(3);
  QTest::keyClicks(edit, "abcdef");
  EXPECT_EQ(edit->text(), "abc");
  edit->setText("langer Wert");  // the program may set more
  EXPECT_EQ(edit->text(), "langer Wert");
  edit->SetMaxLength(1);  // the width rule: keeps the text, blocks typing
  edit->end(false);
  QTest::keyClicks(edit, "x");
  EXPECT_EQ(edit->text(), "langer Wert");
  QTest::keyClick(edit, Qt::Key_Backspace);
  EXPECT_EQ(edit->text(), "langer Wer");
  QApplication::clipboard()->setText("12345");
  edit->SetMaxLength(12);
  QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);  // a paste is cut to what fits
  EXPECT_EQ(edit->text(), "langer Wer12");
  edit->SetMaxLength(0);
  QTest::keyClicks(edit, "zz");
  EXPECT_EQ(edit->text(), "langer Wer12zz");
}

// --- date edit ---------------------------------------------------------------------------------

TEST(FormularDateEdit, ValueIsEightCharactersWithBlanks) {
  TFormularDateEdit edit;
  EXPECT_EQ(edit.MaskedText(), "  .  .  ");
  edit.SetMaskedText("05.03.07");
  EXPECT_EQ(edit.MaskedText(), "05.03.07");
  EXPECT_EQ(edit.displayText(), "05.03.07");
  edit.SetMaskedText("  .  .  ");
  EXPECT_EQ(edit.displayText(), "__.__.__");
  edit.SetMaskedText("1 .12.  ");
  EXPECT_EQ(edit.MaskedText(), "1 .12.  ");
}

TEST(FormularDateEdit, TypingFillsThePositionsAndAMissingYearIsRefused) {
  TScriptedDialogs dialogs;
  TWindow win;
  auto* edit = new TFormularDateEdit(&win.w);
  edit->show();
  edit->setFocus();
  edit->home(false);
  EXPECT_TRUE(edit->ValidateEdit());  // unchanged: may be left
  QTest::keyClicks(edit, "0503a");
  EXPECT_EQ(edit->MaskedText(), "05.03.  ");
  EXPECT_FALSE(edit->ValidateEdit());
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Text,
            QString::fromUtf8("Ung\u00fcltiger Eingabewert. Mit der Taste ESC machen Sie die \u00c4nderungen r\u00fcckg\u00e4ngig."));
  QTest::keyClicks(edit, "07");
  EXPECT_EQ(edit->MaskedText(), "05.03.07");
  EXPECT_TRUE(edit->ValidateEdit());
  // Esc goes back to the text of the last program setting.
  edit->SetMaskedText("01.01.99");
  edit->home(false);
  QTest::keyClicks(edit, "3");
  EXPECT_EQ(edit->MaskedText(), "31.01.99");
  QTest::keyClick(edit, Qt::Key_Escape);
  EXPECT_EQ(edit->MaskedText(), "01.01.99");
  EXPECT_FALSE(edit->Modified());
}

// --- editor list -------------------------------------------------------------------------------

TEST(FormEditorList, FindsByExactFieldNameAndOwnsItsControls) {
  TFormFieldList fields;
  TFormField* a = fields.AddEdit("AntragstellerNachnameSp1", 35, 0, 0, 10, 5, TFormField::DefaultFont());
  TFormField* b = fields.AddCheckbox("Gegenleistung", 0, 0, 5, 5);
  QWidget panel;
  QPointer<QWidget> ea, eb;
  {
    TFormEditorList list;
    ea = new TFormularEdit(&panel);
    eb = new TFormularCheckBox(&panel);
    SetEditorField(ea, a);
    SetEditorField(eb, b);
    EXPECT_EQ(list.Add(ea), 0);
    EXPECT_EQ(list.Add(eb), 1);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(1), eb.data());
    EXPECT_EQ(EditorField(eb), b);
    EXPECT_EQ(list.EditorByName("Gegenleistung"), eb.data());
    EXPECT_EQ(list.EditorByName("gegenleistung"), nullptr);
    EXPECT_EQ(list.EditorByName("Fehlt"), nullptr);
    list.Remove(eb);
    EXPECT_TRUE(eb.isNull());
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.EditorByName("Gegenleistung"), nullptr);
  }
  EXPECT_TRUE(ea.isNull());  // the list destroyed it
}

TEST(FormEditorList, SurvivesItsControlsDyingWithTheirPanel) {
  TFormEditorList list;
  auto* panel = new QWidget;
  list.Add(new QLineEdit(panel));
  delete panel;
  EXPECT_EQ(list.Items(0), nullptr);
  EXPECT_EQ(list.EditorByName("x"), nullptr);
}
